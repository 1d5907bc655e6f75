// The design of the internal skin "Pearlmist (internal)": every colour and
// measure the generator paints with. A designer changes the look here; the
// pictures and Options.dat follow on the next `make skin`.
//
// Colours are plain RGB; the generator turns them into the skin's 0x00BBGGRR
// integers. Measures are pixels at 100 % scale.
#pragma once

#include <cstdint>

namespace skingen {

struct TRgb {
  uint8_t R = 0, G = 0, B = 0;
};

// The skin's colour integer (0x00BBGGRR), as Options.dat writes it.
constexpr int32_t ColorInt(TRgb c) { return c.R | (c.G << 8) | (c.B << 16); }

namespace design {

// --- Palette -------------------------------------------------------------
constexpr TRgb Pearl{255, 255, 255};         // faces, editor, menus
constexpr TRgb Mist{241, 241, 241};          // 0xF1F1F1: panels, frame, dialogs
constexpr TRgb MistInactive{245, 245, 245};  // title band top of an inactive window
constexpr TRgb Text{33, 33, 33};             // every text; the about panel's designed grey
constexpr TRgb TextMuted{104, 110, 118};     // caption of an inactive window (4.8:1 on the title)
constexpr TRgb Hairline{200, 205, 212};      // outlines of controls
constexpr TRgb HairlineSoft{218, 222, 228};  // panel edges, separators, track edge
constexpr TRgb FrameActive{160, 170, 184};   // window outline, active
constexpr TRgb FrameInactive{196, 201, 208};
constexpr TRgb Accent{70, 120, 190};        // the misty blue of focus and pressed states
constexpr TRgb AccentHover{146, 178, 220};  // outlines in the hot state
constexpr TRgb AccentFace{230, 238, 250};   // hot faces
constexpr TRgb AccentFaceLow{244, 248, 253};
constexpr TRgb AccentText{22, 50, 92};  // text on hot faces
constexpr TRgb Warm{212, 58, 50};       // the close button when hot
constexpr TRgb WarmPressed{172, 40, 36};
constexpr TRgb Link{28, 88, 168};     // web label
constexpr TRgb LinkHot{176, 32, 28};  // web label while hovered
constexpr TRgb GlyphInk{60, 66, 74};  // title-button symbols, check marks
constexpr TRgb Track{246, 247, 249};  // scroll-bar track
constexpr TRgb TrackPressed{234, 237, 242};
constexpr TRgb Thumb{196, 202, 210};
constexpr TRgb ThumbHot{160, 168, 180};
constexpr TRgb ArrowInk{122, 128, 137};
constexpr TRgb ArrowInkHot{64, 72, 84};
constexpr TRgb Shadow{18, 26, 38};  // colour of every drop shadow

// The quoted gradient: white fading to Mist over 97 % of the height, then flat.
constexpr const wchar_t* PearlGradient = L"16777215;15856113;97;0;0;15856113;15856113;0;0;0";

// --- Shapes ----------------------------------------------------------------
constexpr double CornerRadius = 4.0;      // buttons, edits, menus, panels
constexpr double PageButtonRadius = 6.0;  // the 50 x 50 page buttons
constexpr double WindowRadius = 8.0;      // the outer corners of the window frame
constexpr double Stroke = 1.0;            // hairline width

// --- Shadow ------------------------------------------------------------------
// Depth is the shadow's opacity right under the window edge, softness the
// blur's standard deviation; the shadow drops a little below the window.
constexpr double ShadowDepthActive = 0.30;
constexpr double ShadowDepthInactive = 0.16;
constexpr double ShadowSoftness = 4.5;
constexpr double ShadowDrop = 2.0;
constexpr double GlowDepth = 0.55;  // halos of title buttons and push buttons
constexpr double GlowSoftness = 2.2;

// --- Window frame (fixed by the skin's geometry) -----------------------------
constexpr int ShadowBand = 16;   // FORMOFFSET
constexpr int FrameWidth = 26;   // BORDERWIDTH
constexpr int TitleHeight = 51;  // TITLEHEIGHT
constexpr int MaxTitleHeight = 34;
constexpr int CenterOffset = 5;

// --- Element sizes -------------------------------------------------------------
constexpr int TitleButtonWidth = 36;
constexpr int TitleButtonHeight = 24;
constexpr int TitleGlowMargin = 6;
constexpr int PageButton = 50;
constexpr int CheckSize = 13;

}  // namespace design
}  // namespace skingen
