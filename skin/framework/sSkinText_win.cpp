#include "skin/framework/sSkinText.h"

#include <windows.h>

#include <cstring>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGlyphs.h"
#include "toolkit/Controls.h"
#include "toolkit/Handles.h"

namespace kx {

using tk::String;
using tk::TCanvas;
using tk::TColor;
using tk::TRect;

namespace {

// The offsets of the copies in entries 1..4 of a font colour array.
constexpr POINT kCopyOffsets[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};

void DrawIn(TCanvas* Canvas, const String& Text, TColor Colour, TRect R, uint32_t Format) {
  Canvas->Font()->SetColor(Colour);
  Canvas->TextDraw(Text, R, Format);
}

// The offset copies (entries 1..4 that are set), then the text in entry 0;
// an unset main colour leaves the font's own.
void DrawOutlined(TCanvas* Canvas, const String& Text, const TsFontColors& Colours, TRect R, uint32_t Format) {
  for (int i = 1; i <= 4; ++i) {
    if (Colours[i] == -1) continue;
    TRect r = R;
    r.Offset(kCopyOffsets[i - 1].x, kCopyOffsets[i - 1].y);
    DrawIn(Canvas, Text, Colours[i], r, Format);
  }
  DrawIn(Canvas, Text, Colours[0] == -1 ? Canvas->Font()->Color() : Colours[0], R, Format);
}

// 40% of the section's text colour over 60% of Back.
TColor DimmedColour(const TsGeneralData& s, TColor Back, TColor FontColour) {
  return MixColors(s.FontColor[0] == -1 ? FontColour : s.FontColor[0], Back, 0.4);
}

bool SeeThrough(const TsGeneralData* s, bool Hot) { return s && (Hot ? s->HotTransparency : s->Transparency) >= 1; }

// Graphic controls, check boxes, radio buttons and group boxes that take
// their parent's font show their parent's text colours where their own
// section lets the parent through.
int FontSectionOf(const TsCommonData& Data, bool Hot, TsSkinManager* Manager) {
  tk::TControl* c = Data.FOwnerControl;
  if (!c || !c->ParentFont() || !SeeThrough(Data.Section(), Hot)) return Data.SkinIndex;
  const bool graphic = dynamic_cast<tk::TWinControl*>(c) == nullptr;
  const bool boxes = Data.COC == cocCheckBox || Data.COC == cocRadioButton || Data.COC == cocGroupBox;
  return graphic || boxes ? FindFontSection(c, Data.SkinIndex, Manager) : Data.SkinIndex;
}

// Clips the canvas to R until the scope ends. RestoreDC puts back the
// objects selected when the state was saved, so the canvas then selects its
// font and brush afresh (members go in reverse order: state first).
class TCanvasClip {
 public:
  TCanvasClip(TCanvas* Canvas, const TRect& R) : FRefresh{Canvas}, FState(Canvas->Handle()) {
    ::IntersectClipRect(Canvas->Handle(), R.Left, R.Top, R.Right, R.Bottom);
  }

 private:
  struct TRefresh {
    TCanvas* Canvas;
    ~TRefresh() { Canvas->Refresh(); }
  } FRefresh;
  tk::TDCState FState;
};

}  // namespace

void DrawTextUnicode(HDC DC, const String& Text, TRect& R, uint32_t Format) {
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  ::DrawTextW(DC, Text.c_str(), static_cast<int>(Text.size()), &r, Format);
  R = TRect{r.left, r.top, r.right, r.bottom};
}

uint32_t TextFormatFor(tk::TControl* Control, tk::TAlignment Alignment) {
  static constexpr uint32_t kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  const uint32_t flags = kAlign[Alignment <= tk::taCenter ? Alignment : 0] | DT_VCENTER | DT_EXPANDTABS;
  return Control ? Control->DrawTextBiDiModeFlags(flags) : flags;
}

int FindFontSection(tk::TControl* Control, int OwnIndex, TsSkinManager* Manager) {
  if (!Manager) Manager = DefaultManager();
  if (!Manager) return OwnIndex;
  for (tk::TControl* c = Control; c && c->Parent(); c = c->Parent()) {
    tk::TWinControl* parent = c->Parent();
    int index = -1;
    SendTrustedCommand(parent, KX_QUERYSKININDEX, &index);
    if (!Manager->IsValidSkinIndex(index)) return OwnIndex;
    const TsGeneralData& s = Manager->gd()[index];
    // A mostly see-through parent shows its own parent's colours.
    if (s.Transparency > 50 && parent->Parent()) continue;
    return s.GiveOwnFont ? index : OwnIndex;
  }
  return OwnIndex;
}

String CutWithEllipsis(TCanvas* Canvas, const String& Text, int Width) {
  if (!Canvas) return Text;
  return CutWithEllipsis(Text, Width, [Canvas](const String& s) { return Canvas->TextWidth(s); });
}

void DrawTextGlow(tk::TBitmap* Target, const String& Text, TRect R, TkxGlowMask& Mask, TColor Glow, int Radius,
                  uint32_t Flags, uint32_t Format, tk::TFont* Font) {
  if (!Target || Text.empty() || Radius < 1 || !Font) return;
  const int margin = Radius + 4;
  const int w = R.Width() + 2 * margin, h = R.Height() + 2 * margin;
  if (w <= 0 || h <= 0) return;
  const bool fits = Mask.Bmp && Mask.Bmp->Width() == w && Mask.Bmp->Height() == h && Mask.Text == Text &&
                    Mask.Font.Equals(*Font) && Mask.Radius == Radius && Mask.Flags == Flags && Mask.Format == Format;
  if (!fits) {
    Mask.Bmp = std::make_unique<tk::TBitmap>(w, h, tk::TPixelFormat::pf8bit);
    const tk::TPixelView v = Mask.Bmp->View();
    for (int y = 0; y < h; ++y) std::memset(v.Row(y), 255, static_cast<size_t>(w));
    TCanvas* c = Mask.Bmp->Canvas();
    c->Font()->Assign(Font);
    c->Font()->SetColor(tk::clBlack);
    c->Brush()->SetStyle(tk::bsClear);
    const TRect at{margin, margin, margin + R.Width(), margin + R.Height()};
    TRect r = at;
    c->TextDraw(Text, r, Format);
    for (int bit = 0; bit < 4; ++bit) {
      if (!(Flags & (1u << bit))) continue;
      r = at;
      r.Offset(kCopyOffsets[bit].x, kCopyOffsets[bit].y);
      c->TextDraw(Text, r, Format);
    }
    BlurGray(Mask.Bmp.get(), Radius);
    Mask.Text = Text;
    Mask.Font.Assign(Font);
    Mask.Radius = Radius;
    Mask.Flags = Flags;
    Mask.Format = Format;
  }
  ApplyGlowMask(Target, Mask.Bmp.get(), tk::TPoint{R.Left - margin, R.Top - margin}, Glow);
}

void WriteSkinText(TCanvas* Canvas, const String& Text, bool Enabled, bool Hot, TsCommonData& Data, uint32_t Format,
                   TRect R) {
  TsSkinManager* manager = Data.EffectiveManager();
  if (!Canvas || !manager) return;
  if (Data.FOwnerControl) Canvas->Font()->Assign(Data.FOwnerControl->Font());
  const TsGeneralData* own = Data.Section();
  if (Hot && own && own->ClassName == L"WEBBUTTON") {
    tk::TFontStyles style = Canvas->Font()->Style();
    style.Include(tk::fsUnderline);
    Canvas->Font()->SetStyle(style);
  }
  TCanvasClip clip(Canvas, R);
  if (Text.empty()) return;
  const int b = FontSectionOf(Data, Hot, manager);
  Canvas->Brush()->SetStyle(tk::bsClear);
  if (!manager->IsValidSkinIndex(b)) {
    Canvas->TextDraw(Text, R, Format);
    return;
  }
  const TsGeneralData& s = manager->gd()[b];
  const int glow = Hot ? s.HotGlowSize : s.GlowSize;
  if (glow != 0 && Data.FCacheBmp && !Data.FCacheBmp->Empty()) {
    TkxGlowMask mask;
    DrawTextGlow(Data.FCacheBmp.get(), Text, R, mask, Hot ? s.HotGlowColor : s.GlowColor, glow, 15, Format,
                 Canvas->Font());
  }
  if (!Enabled) {
    DrawIn(Canvas, Text, DimmedColour(s, manager->GetGlobalColor(), Canvas->Font()->Color()), R, Format);
  } else if (Data.CustomFont()) {
    Canvas->TextDraw(Text, R, Format | DT_NOCLIP);
  } else {
    DrawOutlined(Canvas, Text, Hot ? s.HotFontColor : s.FontColor, R, Format | DT_NOCLIP);
  }
}

void WriteSectionText(TCanvas* Canvas, const String& Text, bool Enabled, TsSkinManager* Manager, bool Hot,
                      int SectionIndex, uint32_t Format, TRect R) {
  if (!Manager) Manager = DefaultManager();
  if (!Canvas || !Manager || Text.empty() || !Manager->IsValidSkinIndex(SectionIndex)) return;
  const TsGeneralData& s = Manager->gd()[SectionIndex];
  Canvas->Brush()->SetStyle(tk::bsClear);
  if (Enabled) DrawOutlined(Canvas, Text, Hot ? s.HotFontColor : s.FontColor, R, Format);
  else DrawIn(Canvas, Text, DimmedColour(s, s.Color, Canvas->Font()->Color()), R, Format);
}

void DrawDottedFocus(TCanvas* Canvas, TRect R) {
  if (!Canvas) return;
  HDC dc = Canvas->Handle();
  ForEachFocusDot(R,
                  [dc](int x, int y, bool black) { ::SetPixelV(dc, x, y, black ? RGB(0, 0, 0) : RGB(255, 255, 255)); });
}

}  // namespace kx
