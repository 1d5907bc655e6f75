// Glow windows: the soft halo a skin section may show around a control while
// the mouse is over it. A glow is a top-level layered tool window of its own,
// placed around the control and showing the section's glow picture framed
// with nine-slice rules; it never takes the mouse or the activation.
//
// The engine keeps one list of the glows it shows; a glow's id leads to it
// and each control keeps the id of its own in TsCommonData::GlowID. The list
// owns the glows, each glow its window and picture. Ids are never given out
// twice, so a control that still holds the id of a glow freed with all the
// others can never hide another control's glow with it.
//
// The placement arithmetic (GlowPlacement, kxGlow.cpp) is pure; the rest is
// Windows-only (kxGlow_win.cpp). UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/Object.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace kx {

class TsSkinManager;
class TsCommonData;
class TkxLayeredSurface;

// --- Placement (pure) --------------------------------------------------------

// What a glow is placed from: the control's screen rectangle R, its visible
// part V in control coordinates, the glow picture's side widths and how far
// the picture's frame overlaps the control (the section's GlowMargin).
struct TkxGlowFrame {
  tk::TRect R;
  tk::TRect V;
  int WL = 0, WT = 0, WR = 0, WB = 0;
  int Margin = 0;
};

// Where the glow goes: the full picture is FullW x FullH; the window shows
// its part of W x H from (CutLeft, CutTop), with its top-left at X, Y on the
// screen. Empty when nothing of it would be seen.
struct TkxGlowPlace {
  int FullW = 0, FullH = 0;
  int CutLeft = 0, CutTop = 0;
  int W = 0, H = 0;
  int X = 0, Y = 0;
  bool Empty() const { return W <= 0 || H <= 0; }
};

// The picture is the control's size plus the side widths less twice the
// margin; the parts beyond a clipped edge of V are cut away. A control
// without a visible part, or too small to leave any picture, gets an empty
// place. The cuts never reach outside the full picture.
TkxGlowPlace GlowPlacement(const TkxGlowFrame& F);

// --- Glows (Windows) ---------------------------------------------------------

class TkxGlowEffect : public tk::TObject {
 public:
  TK_CLASS_NAME(TkxGlowEffect)
  // Manager null: the default manager.
  explicit TkxGlowEffect(TsSkinManager* Manager);
  // The window goes at once when AtOnce is set or the manager is being
  // destroyed; otherwise it is hidden now and destroyed after the messages
  // already queued.
  ~TkxGlowEffect() override;
  TkxGlowEffect(const TkxGlowEffect&) = delete;
  TkxGlowEffect& operator=(const TkxGlowEffect&) = delete;

  TsSkinManager* SkinManager = nullptr;
  // The glow picture among the manager's masks.
  int MaskIndex = -1;
  int Margin = 0;
  bool AtOnce = false;

  // Builds the picture and shows the window around R (see GlowPlacement),
  // above the host's z-order group and topmost with it. False (and nothing
  // shown) when no part of the glow would be seen or the window could not
  // be made. Nothing when already shown.
  bool Show(const tk::TRect& R, const tk::TRect& V, HWND Host, uint8_t Alpha);

  // The glow window (null while not shown) and the picture it was given:
  // 32-bit, premultiplied alpha, as handed to the system.
  HWND Wnd() const { return FWnd; }
  TkxLayeredSurface* Surface() const { return FSurface.get(); }

 private:
  HWND FWnd = nullptr;
  std::unique_ptr<TkxLayeredSurface> FSurface;
};

// Shows a glow around the screen rectangle R whose visible part is V (in
// R's coordinates), with the picture named GlowName + "0" of Section (looked
// up with the section's parents). Manager null: the default manager. Answers
// the glow's id, or -1 when layered windows are unavailable, the section has
// no such picture, or nothing of the glow would be seen.
int ShowGlow(const tk::TRect& R, const tk::TRect& V, const tk::String& Section, TsSkinManager* Manager, HWND Host,
             uint8_t Alpha, int Margin, const tk::String& GlowName = L"GLOW");
// Frees the glow Id; ids of freed glows and ids never given are ignored.
void HideGlow(int Id);
// Frees every glow. AtOnce destroys their windows now (the manager is
// going); otherwise they go after the messages already queued.
void HideAllGlows(bool AtOnce = false);
// After a hover or state change: shows or hides the glow of Data's control
// (or, without owner control, of the window Wnd) and keeps Data.GlowID.
void UpdateControlGlow(TsCommonData& Data, bool Pressed, HWND Wnd = nullptr);

// The glow of Id while it is shown, else null.
const TkxGlowEffect* GlowOf(int Id);
// Glows shown now.
int GlowCount();
// Glows are shown at all: Manager allows them (null: the default manager),
// the system has layered windows, and the process is not a 32-bit one on
// 64-bit Windows without desktop composition.
bool GlowingAllowed(const TsSkinManager* Manager);

// Makes the controls' glow hooks (TsCommonData) lead here; the skin manager
// calls it when it is made. Repeated calls change nothing.
void InstallGlowHooks();

}  // namespace kx
