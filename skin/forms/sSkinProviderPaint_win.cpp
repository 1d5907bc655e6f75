// The provider's painting: the whole window image (frame, title, icon,
// caption, title buttons, grip, shadow) in the cache bitmap, the title
// buttons repainted one by one, the frame copied to the screen, and the
// window region.
#include <windows.h>

#include <algorithm>

#include "skin/data/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/framework/sCacheToDevice.h"
#include "skin/framework/sGraphicChildren.h"
#include "skin/framework/sSkinText.h"
#include "skin/paint/StretchHalftone.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBorderTemplate.h"
#include "skin/paint/sDeviceFills.h"
#include "skin/paint/sGlyphs.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

using tk::TBitmap;
using tk::TPixelFormat;
using tk::TRect;

constexpr uint32_t kCaptionFormat = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;

bool StandardBorder(const TkxFormFrame& F) {
  return F.BorderStyle == TkxBorderKind::bkSingle || F.BorderStyle == TkxBorderKind::bkSizeable;
}

int GlobalMask(const TkxSkinContent& Skin, const wchar_t* Name) { return Skin.GetMaskIndex(L"GLOBALINFO", Name); }

// A title button's width: its glyph's frame width, 21 without a glyph.
int GlyphWidth(const TkxSkinContent& Skin, int Mask) {
  if (!Skin.IsValidImgIndex(Mask)) return 21;
  const int w = MaskFrameSize(Skin.ma[Mask]).cx;
  return w > 0 ? w : 21;
}

// The title buttons' height: half of a glyph picture of its own (normal and
// mask halves), else the close glyph's frame height.
int GlyphHeight(const TkxSkinContent& Skin, int Mask) {
  if (!Skin.IsValidImgIndex(Mask)) return 21;
  const TsMaskData& m = Skin.ma[Mask];
  const int h = m.Bmp ? (m.R.Height() + 1) / 2 : MaskFrameSize(m).cy;
  return h > 0 ? h : 21;
}

// The window has a system menu: it still has the style, or the provider
// took it away so that the system draws no buttons.
bool HasSysMenu(const TsSkinProvider& P) {
  tk::TCustomForm* form = P.Form();
  if (P.HaveSysMenu) return true;
  return form && form->HandleAllocated() && (::GetWindowLongW(form->Handle(), GWL_STYLE) & WS_SYSMENU);
}

std::unique_ptr<TBitmap> CopyOf(TBitmap* Src, const TRect& R) {
  auto out = std::make_unique<TBitmap>(std::max(R.Width(), 0), std::max(R.Height(), 0), Src->PixelFormat());
  if (!out->Empty()) CopyPixels(out->View(), 0, 0, Src->View(), R);
  return out;
}

// R of Src copied into Keep, which is made anew only when its size or
// format does not fit.
TBitmap* CopyInto(std::unique_ptr<TBitmap>& Keep, TBitmap* Src, const TRect& R) {
  if (!Keep || Keep->Width() != R.Width() || Keep->Height() != R.Height() || Keep->PixelFormat() != Src->PixelFormat())
    Keep = CopyOf(Src, R);
  else if (!Keep->Empty()) CopyPixels(Keep->View(), 0, 0, Src->View(), R);
  return Keep.get();
}

// Windows' own application icon; shared, so it is never destroyed.
HICON SystemIcon() {
  static const HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
  return icon;
}

// The icon drawn by the system at Size, as colour and straight alpha: drawn
// once over black and once over white, a pixel's alpha is what the white
// did not show through.
std::unique_ptr<TBitmap> IconPicture(HICON Icon, tk::TSize Size) {
  auto black = std::make_unique<TBitmap>(Size.cx, Size.cy, TPixelFormat::pf32bit);
  TBitmap white(Size.cx, Size.cy, TPixelFormat::pf32bit);
  FillBitmapRect(&white, TRect{0, 0, Size.cx, Size.cy}, 0xFFFFFF);
  ::DrawIconEx(black->Canvas()->Handle(), 0, 0, Icon, Size.cx, Size.cy, 0, nullptr, DI_NORMAL);
  ::DrawIconEx(white.Canvas()->Handle(), 0, 0, Icon, Size.cx, Size.cy, 0, nullptr, DI_NORMAL);
  ::GdiFlush();
  for (int y = 0; y < Size.cy; ++y) {
    uint8_t* b = black->ScanLine(y);
    const uint8_t* w = white.ScanLine(y);
    for (int x = 0; x < Size.cx * 4; x += 4) {
      const int a = 255 - std::clamp(int(w[x + 1]) - int(b[x + 1]), 0, 255);
      for (int c = 0; c < 3; ++c) b[x + c] = static_cast<uint8_t>(a ? std::min(255, (b[x + c] * 255 + a / 2) / a) : 0);
      b[x + 3] = static_cast<uint8_t>(a);
    }
  }
  return black;
}

// The system's caption font with the charset of the form's font.
void CaptionFont(tk::TFont& Font, tk::TCustomForm* Form) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return;
  const LOGFONTW& lf = ncm.lfCaptionFont;
  Font.SetName(lf.lfFaceName);
  Font.SetHeight(lf.lfHeight);
  tk::TFontStyles style;
  if (lf.lfWeight >= FW_BOLD) style.Include(tk::fsBold);
  if (lf.lfItalic) style.Include(tk::fsItalic);
  Font.SetStyle(style);
  Font.SetCharset(Form->Font()->Charset());
}

tk::TSize TextSize(HDC DC, tk::TFont& Font, const tk::String& Text) {
  const tk::TSelectObject font(DC, Font.Handle());
  SIZE s{};
  ::GetTextExtentPoint32W(DC, Text.c_str(), static_cast<int>(Text.size()), &s);
  return {s.cx, s.cy};
}

// Everything one painting pass needs, read once.
class TFramePainter {
 public:
  TFramePainter(TsSkinProvider& P, TsSkinManager& M)
      : P(P), D(*P.SkinData()), Skin(M.Content()), M(M), Form(P.Form()), F(P.Frame()) {
    HS.Buttons = P.ButtonSet();
    HS.MaxEnabled = P.EnabledMax();
    HS.MinEnabled = P.EnabledMin();
    HS.RestoreEnabled = P.EnabledRestore();
    // Shown as the provider's hit test counts it.
    const bool icon =
        StandardBorder(F) && P.ShowAppIcon() && (P.HaveSysMenu || Form->BorderIcons().Contains(tk::biSystemMenu));
    HS.Icon = kx::IconRect(F, TitleIconSize(F, icon, P.TitleIcon()->Width, P.TitleIcon()->Height));
    Ext = F.Skin.ExtBorders;
    Mode1 = Ext && F.Skin.ExDrawMode == 1;
    Size = ImageSize(F);
    R = ContentRect(F);
    T = TitleBottom(F);
    State = P.FormActive() ? 1 : 0;
  }

  void PaintAll();
  void PaintTitle(TBitmap* Behind);
  void PaintCaptionText();
  void PaintGrip();
  void SaveTitleBG();
  // The strip under the buttons is saved first when Save, else restored.
  void PaintCaptionButtons(bool Save);
  void RepaintButton(int HT);
  void FillTransparentCorners();
  void UpdateRegion(bool Redraw);
  // The region, when something it depends on changed.
  void RegionIfDue(bool Redraw);
  void PaintNonClient();
  void PaintClientBackground(HDC DC);

 private:
  TBitmap* Cache() const { return D.FCacheBmp.get(); }
  bool Dirty() const {
    TBitmap* c = Cache();
    return !c || D.BGChanged || c->Width() != Size.cx || c->Height() != Size.cy || c->PixelFormat() != Format();
  }
  TPixelFormat Format() const { return Ext ? TPixelFormat::pf32bit : TPixelFormat::pf24bit; }
  TkxSectionRef FormSection() const {
    return TkxSectionRef{D.SkinIndex, D.SkinSection(), D.HotTexture,
                         D.Texture,   &Skin,           D.CustomColor() ? tk::ColorToRGB(Form->Color()) : kxKeyColor};
  }
  int TitleIndex() const { return Skin.GetSkinIndex(P.TitleSkin().empty() ? tk::String(L"FORMTITLE") : P.TitleSkin()); }
  int FormMask(const wchar_t* Name) const { return Skin.GetMaskIndex(D.SkinIndex, D.SkinSection(), Name); }
  bool GripVisible() const { return P.GripMode == gmRightBottom && !F.Zoomed && F.ThickFrame; }
  // Where the provider's hit test finds the icon: empty when none is shown.
  TRect Icon() const { return HS.Icon; }

  void PaintBackground();
  void PaintTemplate();
  void RedrawBorderCorners();
  void PaintTitleIcon();
  void PaintTitleBar();
  // The glyph a system button shows now and whether it is enabled.
  int ButtonGlyph(const TsCaptionButton& B, bool& Enabled);
  void DrawButton(const TsCaptionButton& B);
  void DrawUserButton(TsTitleButton& B);
  std::vector<TRect> RegionRects() const;

  TsSkinProvider& P;
  TsCommonData& D;
  const TkxSkinContent& Skin;
  TsSkinManager& M;
  tk::TCustomForm* Form;
  TkxFormFrame F;
  // The buttons shown, what they allow and the icon, read once: every
  // reading of the form's window is a round trip to the system. (Rects
  // are not filled.)
  TkxHitState HS;
  bool Ext = false, Mode1 = false;
  tk::TSize Size;
  TRect R;
  int T = 0;
  int State = 0;
};

void TFramePainter::PaintAll() {
  if (Size.cx <= 0 || Size.cy <= 0) return;
  auto& cache = D.FCacheBmp;
  if (!cache) {
    cache = std::make_unique<TBitmap>(Size.cx, Size.cy, Format());
    D.UpdateSkinState(!Form->IsLoading());
    D.BGChanged = true;
  }
  if (!Dirty()) return;
  if (cache->Width() != Size.cx || cache->Height() != Size.cy) {
    // A new size is the one background change that may reshape the window.
    P.RgnChanged = true;
    cache->SetSize(Size.cx, Size.cy);
  }
  if (cache->PixelFormat() != Format()) cache->SetPixelFormat(Format());

  if (D.Section()) {
    PaintBackground();
    if (!Mode1) { PaintTitle(CopyInto(P.FTitleBehind, cache.get(), TRect{0, 0, Size.cx, T})); }
    if (Ext && !Mode1) PaintCaptionText();
    if (Ext) PaintTemplate();
    const int border = D.BorderIndex;
    if (!Skin.IsValidImgIndex(border) || Skin.ma[border].ImageCount <= 1) SaveTitleBG();
    if (!Ext) PaintCaptionText();
    if (CaptionHeight(F, true) > 0 && P.DrawNonClientArea()) PaintCaptionButtons(true);
  }
  D.BGChanged = false;
  P.FirstInitialized = true;
  D.SetUpdating(false);
}

void TFramePainter::PaintBackground() {
  TBitmap* cache = Cache();
  const TCacheInfo parent = Form->Parent() ? D.GetParentCache() : EmptyCacheInfo();
  const tk::TPoint at{Form->Left(), Form->Top()};
  if (D.CtrlSkinState & kxStateContainer) {
    const TRect fill = Ext ? R : TRect{0, 0, Size.cx, CaptionHeight(F, true) + BorderWidth(F, true) + 1};
    FillBitmapRect(cache, fill, P.FormColor());
    if (!Mode1 && Skin.IsValidImgIndex(D.BorderIndex))
      DrawBorderFromMask(cache, R, false, true, State, Skin.ma[D.BorderIndex], parent);
  } else if (P.HaveBorder() || (Form->Parent() && !Mode1)) {
    PaintControlLook(FormSection(), TkxPaintTarget{cache, R, at, State, parent}, true, true);
  } else {
    const TCacheInfo keyed{nullptr, 0, 0, static_cast<tk::TColor>(0xFF00FF), false};
    PaintSectionBackground(FormSection(), TkxPaintTarget{cache, R, at, State, keyed});
  }
  if (GripVisible() && D.UsesCache()) PaintGrip();
}

void TFramePainter::PaintTemplate() {
  TBitmap* cache = Cache();
  MakeOpaque(cache, R);
  TBitmap* tpl = P.FormActive() ? M.ShdaTemplate() : M.ShdiTemplate();
  const bool haveTemplate = tpl && !tpl->Empty();
  if (!Mode1) {
    if (haveTemplate) {
      ApplyShadowTemplate(cache, tpl, F.Skin.Shadow, F.Skin.ExContentOffs);
      RedrawBorderCorners();
    }
    return;
  }
  if (haveTemplate) {
    const int ex = Skin.ConstData.ExBorder;
    const TRect& sh = F.Skin.Shadow;
    TkxWidths margins{sh.Left, sh.Top, sh.Right, sh.Bottom};
    if (Skin.IsValidImgIndex(ex)) {
      const TsMaskData& m = Skin.ma[ex];
      margins = TkxWidths{m.WL, m.WT, m.WR, m.WB};
    }
    ApplyFrameTemplate(cache, tpl, margins, CaptionHeight(F, true), sh, BorderWidth(F, true));
  }
  // The title goes over the template even when the skin has none, or the
  // form would show no caption at all.
  TBitmap* behind = CopyInto(P.FTitleBehind, cache, TRect{0, 0, Size.cx, T});
  PaintTitle(behind);
  PaintCaptionText();
  KeepAlphaOf(cache, behind, TRect{0, 0, Size.cx, T});
}

// The template's shadow covers the rounded corners of the frame: they are
// drawn once more from the border masks (the title's for the top ones).
void TFramePainter::RedrawBorderCorners() {
  TBitmap* cache = Cache();
  const int title = TitleIndex();
  const int titleMask = Skin.IsValidSkinIndex(title) ? Skin.GetMaskIndex(title, P.TitleSkin(), L"BORDERSMASK") : -1;
  const int formMask = D.BorderIndex;
  auto corners = [&](int Mask, bool Top, int Limit) {
    if (!Skin.IsValidImgIndex(Mask)) return;
    const TsMaskData& m = Skin.ma[Mask];
    const int wl = std::min<int>(m.WL, Limit), wr = std::min<int>(m.WR, Limit);
    const int h = std::min<int>(Top ? m.WT : m.WB, Limit);
    if (wl + wr <= 0 || h <= 0) return;
    // The whole ring drawn on a piece of the image just large enough, of
    // which only the corners are kept.
    const int pw = m.WL + m.WR, ph = m.WT + m.WB;
    const int y0 = Top ? R.Top : R.Bottom - ph;
    for (int side = 0; side < 2; ++side) {
      const int x0 = side == 0 ? R.Left : R.Right - pw;
      const TRect src{x0, y0, x0 + pw, y0 + ph};
      auto tmp = CopyOf(cache, src);
      if (tmp->Empty()) continue;
      DrawBorderFromMask(tmp.get(), TRect{0, 0, pw, ph}, false, true, State, m, MakeCacheInfo(tmp.get()));
      const int cw = side == 0 ? wl : wr;
      const int cx = side == 0 ? 0 : pw - cw;
      const int cy = Top ? 0 : ph - h;
      CopyPixels(cache->View(), x0 + cx, y0 + cy, tmp->View(), TRect{cx, cy, cx + cw, cy + h});
    }
  };
  if (Skin.IsValidImgIndex(titleMask)) corners(titleMask, true, 1 << 16);
  else corners(formMask, true, 8);
  corners(formMask, false, 1 << 16);
}

// Behind holds the image's top strip as it was before the title, for the
// see-through corners of the title's border.
void TFramePainter::PaintTitle(TBitmap* Behind) {
  if (CaptionHeight(F, true) <= 0 || !P.DrawNonClientArea()) return;
  TBitmap* cache = Cache();
  const int title = TitleIndex();
  if (Skin.IsValidSkinIndex(title)) {
    const TRect r = F.Iconic ? R : TRect{R.Left, R.Top, R.Right, T};
    const TkxSectionRef s{title,     P.TitleSkin().empty() ? tk::String(L"FORMTITLE") : P.TitleSkin(), -1, -1, &Skin,
                          kxKeyColor};
    const TCacheInfo behind{Behind, 0, 0, kxKeyColor, Behind && !Behind->Empty()};
    PaintSectionLook(s, TkxPaintTarget{cache, r, tk::TPoint{r.Left, r.Top}, State, behind}, true);
  }
  PaintTitleIcon();
  PaintTitleBar();
}

void TFramePainter::PaintTitleBar() {
  const TkxTitleButtonSet& set = HS.Buttons;
  if (!set.CloseVisible) return;
  const int mask = FormMask(L"TITLEBAR");
  if (!Skin.IsValidImgIndex(mask)) return;
  const TsMaskData& m = Skin.ma[mask];
  const int extra = m.Bmp ? m.Bmp->Width() / 9 * 2 : 2 * MaskFrameSize(m).cx;
  const int w = kx::ButtonsWidth(F, set) + extra;
  const TRect r{CaptionWidth(F) - w, 0, Size.cx, CaptionHeight(F, true) + SysBorderHeight(F, false)};
  DrawBorderFromMask(Cache(), r, true, true, State, m, MakeCacheInfo(Cache()));
}

void TFramePainter::PaintTitleIcon() {
  const TRect ir = Icon();
  const tk::TSize is{ir.Width(), ir.Height()};
  if (is.cx <= 0 || is.cy <= 0) return;
  TBitmap* cache = Cache();
  TsTitleIcon* own = P.TitleIcon();
  if (!own->Glyph.Empty()) {
    TBitmap* g = &own->Glyph;
    if (g->PixelFormat() == TPixelFormat::pf32bit) {
      const TRect d{ir.Left, ir.Top, ir.Left + g->Width(), ir.Top + g->Height()};
      CopyMaskedPicture(d, TRect{0, 0, g->Width(), g->Height()}, cache, false, EmptyCacheInfo(), g);
    } else {
      auto stretched = std::make_unique<TBitmap>(is.cx, is.cy, TPixelFormat::pf24bit);
      StretchPixels(stretched->View(), TRect{0, 0, is.cx, is.cy}, g->View(), TRect{0, 0, g->Width(), g->Height()},
                    stmColorOnColor);
      CopyKeyed(cache, stretched.get(), ir.Left, static_cast<tk::TColor>(0xFF00FF), ir.Top);
    }
    return;
  }
  HICON icon = Form->Icon()->Handle();
  if (!icon && tk::Application) icon = tk::Application->Icon()->Handle();
  if (!icon && tk::Application && tk::Application->Handle())
    icon = reinterpret_cast<HICON>(::SendMessageW(tk::Application->Handle(), WM_GETICON, ICON_SMALL2, 0));
  if (!icon) icon = SystemIcon();
  if (!icon) return;
  std::unique_ptr<TBitmap>& pic = P.FIconPicture;
  if (!pic || P.FIconPictureOf != icon || pic->Width() != is.cx || pic->Height() != is.cy) {
    pic = IconPicture(icon, is);
    P.FIconPictureOf = icon;
  }
  CopyMaskedPicture(ir, TRect{0, 0, is.cx, is.cy}, cache, false, EmptyCacheInfo(), pic.get());
}

void TFramePainter::PaintCaptionText() {
  if (CaptionHeight(F, true) <= 0 || !P.DrawNonClientArea()) return;
  const int capIndex = Skin.GetSkinIndex(L"CAPTION");
  const bool plate = Skin.IsValidSkinIndex(capIndex);
  TRect r = CaptionTextRect(F, Icon().Width(), plate, kx::ButtonsWidth(F, HS.Buttons));
  if (r.Width() <= 0 || r.Height() <= 0) return;

  TBitmap* cache = Cache();
  tk::TCanvas* canvas = cache->Canvas();
  HDC dc = canvas->Handle();
  const tk::String text = Form->Caption();
  TkxAddedTitle* added = P.AddedTitle();
  const int addedWidth = added->Text.empty() ? 0 : TextSize(dc, added->Font, added->Text).cx;
  {
    // The canvas keeps its font handle while the font stays the same: a
    // font made anew for every paint costs more than the rest of the text.
    tk::TFont font;
    CaptionFont(font, Form);
    font.SetColor(canvas->Font()->Color());
    canvas->Font()->Assign(&font);
  }
  tk::TFont& font = *canvas->Font();
  const tk::TSize ts = TextSize(dc, font, text);
  const TkxCaptionAlign align = P.CaptionAlignment() == tk::taRightJustify ? TkxCaptionAlign::caRight
                                : P.CaptionAlignment() == tk::taCenter     ? TkxCaptionAlign::caCenter
                                                                           : TkxCaptionAlign::caLeft;
  r = AlignCaptionRect(r, ts.cx, ts.cy, addedWidth, align);

  const int title = TitleIndex();
  const bool active = P.FormActive();
  const bool enabled = Form->Enabled();
  auto glowAndText = [&](int Section, TRect Box) {
    if (Skin.IsValidSkinIndex(Section)) {
      const TsGeneralData& g = Skin.gd[Section];
      const int radius = active ? g.HotGlowSize : g.GlowSize;
      if (radius > 0) {
        TkxGlowMask mask;
        mask.Bmp = std::move(active ? P.FGlow1 : P.FGlow2);
        DrawTextGlow(cache, text, Box, mask, active ? g.HotGlowColor : g.GlowColor, radius, 0, kCaptionFormat, &font);
        (active ? P.FGlow1 : P.FGlow2) = std::move(mask.Bmp);
      }
    }
    WriteSectionText(canvas, text, enabled, &M, active, Section, kCaptionFormat, Box);
  };
  if (!plate) {
    glowAndText(title, r);
    r.Left += ts.cx;
  } else {
    TRect box = r;
    {
      const tk::TDCState state(dc);
      const tk::TSelectObject sel(dc, font.Handle());
      RECT calc{box.Left, box.Top, box.Right, box.Bottom};
      ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &calc, kCaptionFormat | DT_CALCRECT);
      box = TRect{calc.left, calc.top, calc.right, calc.bottom};
    }
    ::GdiFlush();
    box.Inflate(4, 2);
    const TkxSectionRef s{capIndex, L"CAPTION", -1, -1, &Skin, kxKeyColor};
    PaintSectionLook(s, TkxPaintTarget{cache, box, tk::TPoint{box.Left, box.Top}, State, MakeCacheInfo(cache)}, true);
    glowAndText(capIndex, r);
    r.Left = box.Right;
  }
  if (addedWidth > 4) {
    r.Left += 4;
    r.Right = r.Left + addedWidth + 4;
    tk::TColor colour = added->Font.Color();
    const tk::TColor own = Skin.IsValidSkinIndex(title)
                               ? (active ? Skin.gd[title].HotFontColor[0] : Skin.gd[title].FontColor[0])
                               : tk::ColorToRGB(tk::clCaptionText);
    if (colour == tk::clNone || colour == tk::clWindowText) colour = own;
    else if (!active) colour = MixColors(tk::ColorToRGB(colour), own, 0.5);
    const tk::TDCState state(dc);
    const tk::TSelectObject sel(dc, added->Font.Handle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, tk::ColorToRGB(colour));
    RECT rr{r.Left, r.Top, r.Right, r.Bottom};
    ::DrawTextW(dc, added->Text.c_str(), static_cast<int>(added->Text.size()), &rr, kCaptionFormat);
  }
  ::GdiFlush();
}

void TFramePainter::PaintGrip() {
  const int mask = GlobalMask(Skin, L"GRIPIMAGE");
  if (!Skin.IsValidImgIndex(mask)) return;
  const tk::TSize fs = MaskFrameSize(Skin.ma[mask]);
  if (fs.cx <= 0 || fs.cy <= 0) return;
  DrawMaskImage(Cache(), GripPosition(F, fs), 0, MakeCacheInfo(Cache()), Skin.ma[mask], mimOpaque);
}

void TFramePainter::SaveTitleBG() {
  if (P.TitleBG && P.TitleBG->Width() == CaptionWidth(F)) return;
  const int h = SysBorderHeight(F, true) + CaptionHeight(F, true) + F.Skin.Shadow.Top;
  P.TitleBG = CopyOf(Cache(), TRect{0, 0, Size.cx, std::min(h, Size.cy)});
  P.TitleBG->SetPixelFormat(TPixelFormat::pf32bit);
}

int TFramePainter::ButtonGlyph(const TsCaptionButton& B, bool& Enabled) {
  const TkxHitState& hs = HS;
  Enabled = true;
  if (&B == &P.ButtonMax) {
    if (F.Zoomed) {
      Enabled = hs.RestoreEnabled;
      const int norm = GlobalMask(Skin, L"BICONNORM");
      return Skin.IsValidImgIndex(norm) ? norm : FormMask(L"BICONNORM");
    }
    Enabled = hs.MaxEnabled;
  } else if (&B == &P.ButtonMin) {
    if (F.Iconic) {
      Enabled = hs.RestoreEnabled;
      return GlobalMask(Skin, L"BICONNORM");
    }
    Enabled = hs.MinEnabled;
  }
  return B.ImageIndex;
}

void TFramePainter::DrawButton(const TsCaptionButton& B) {
  bool enabled = true;
  const int mask = ButtonGlyph(B, enabled);
  if (B.State < 0 || !Skin.IsValidImgIndex(mask)) return;
  const bool inactive = !enabled || (B.State == 0 && !P.FormActive());
  DrawMaskImage(Cache(), tk::TPoint{B.Rect.Left, B.Rect.Top}, inactive ? 0 : B.State, MakeCacheInfo(Cache()),
                Skin.ma[mask], inactive ? 0 : mimOpaque);
}

void TFramePainter::DrawUserButton(TsTitleButton& B) {
  TsCaptionButton& b = B.BtnData;
  if (b.State < 0) return;
  TBitmap* cache = Cache();
  const bool inactive = !B.Enabled || (b.State == 0 && !P.FormActive());
  if (B.UseSkinData && Skin.IsValidImgIndex(P.UserBtnIndex))
    DrawMaskImage(cache, tk::TPoint{b.Rect.Left, b.Rect.Top}, inactive ? 0 : b.State, MakeCacheInfo(cache),
                  Skin.ma[P.UserBtnIndex], inactive ? 0 : mimOpaque);
  TBitmap* g = &B.Glyph;
  if (g->Empty()) return;
  const int shift = b.State == 2 ? 1 : 0;
  const int x = b.Rect.Left + (b.Rect.Width() - g->Width()) / 2 + shift;
  const int y = b.Rect.Top + (b.Rect.Height() - g->Height()) / 2 + shift;
  if (g->PixelFormat() == TPixelFormat::pf32bit) {
    CopyMaskedPicture(TRect{x, y, x + g->Width(), y + g->Height()}, TRect{0, 0, g->Width(), g->Height()}, cache, false,
                      EmptyCacheInfo(), g);
    return;
  }
  auto rgb = CopyOf(g, TRect{0, 0, g->Width(), g->Height()});
  rgb->SetPixelFormat(TPixelFormat::pf24bit);
  const uint8_t* px = rgb->ScanLine(rgb->Height() - 1);
  CopyKeyed(cache, rgb.get(), x, tk::RGBColor(px[2], px[1], px[0]), y);
}

void TFramePainter::PaintCaptionButtons(bool Save) {
  TBitmap* cache = Cache();
  if (!cache || cache->Empty() || !P.DrawNonClientArea() || CaptionHeight(F, true) <= 0) return;
  const TkxTitleButtonSet& set = HS.Buttons;
  const TkxTitleButtonRects rects = LayoutTitleButtons(F, set);
  auto place = [](TsCaptionButton& b, bool visible, const TRect& r) {
    b.Rect = visible ? r : TRect{};
    if (!visible) b.State = -1;
    else if (b.State < 0) b.State = 0;
  };
  place(P.ButtonClose, set.CloseVisible, rects.Close);
  place(P.ButtonMax, set.CloseVisible && set.MaxVisible, rects.Max);
  place(P.ButtonMin, set.CloseVisible && set.MinVisible, rects.Min);
  place(P.ButtonHelp, set.CloseVisible && set.Help, rects.Help);
  TsTitleButtons* user = P.TitleButtons();
  size_t k = 0;
  for (int i = 0; i < user->Count(); ++i) {
    TsTitleButton& b = *user->Items[i];
    const bool shown = b.Visible && k < rects.User.size();
    place(b.BtnData, shown, shown ? rects.User[k] : TRect{});
    b.BtnData.HitCode = kxHTUserButton + i;
    if (shown) ++k;
  }

  // The strip from the leftmost button to the image's right edge, as the
  // title left it: the background a button is repainted over.
  int left = Size.cx, bottom = T;
  for (const TsCaptionButton* b : {&P.ButtonClose, &P.ButtonMax, &P.ButtonMin, &P.ButtonHelp})
    if (b->State >= 0) left = std::min(left, b->Rect.Left), bottom = std::max(bottom, b->Rect.Bottom);
  for (const auto& b : user->Items)
    if (b->BtnData.State >= 0)
      left = std::min(left, b->BtnData.Rect.Left), bottom = std::max(bottom, b->BtnData.Rect.Bottom);
  left = std::max(left, 0);
  bottom = std::min(bottom, Size.cy);
  if (Save || !P.TempBmp || P.TempBmp->Width() != Size.cx - left || P.TempBmp->Height() != bottom)
    CopyInto(P.TempBmp, cache, TRect{left, 0, Size.cx, bottom});
  else
    CopyPixels(cache->View(), Size.cx - P.TempBmp->Width(), 0, P.TempBmp->View(),
               TRect{0, 0, P.TempBmp->Width(), P.TempBmp->Height()});

  for (TsCaptionButton* b : {&P.ButtonClose, &P.ButtonMax, &P.ButtonMin, &P.ButtonHelp}) DrawButton(*b);
  for (auto& b : user->Items) DrawUserButton(*b);
}

void TFramePainter::RepaintButton(int HT) {
  TsCaptionButton* b = P.ButtonFor(HT);
  TBitmap* cache = Cache();
  if (!b || b->State < 0 || !cache || cache->Empty() || b->Rect.IsEmpty()) return;
  if (b->Rect.Left <= Icon().Right) return;
  if (TBitmap* strip = P.TempBmp.get()) {
    const int sx = strip->Width() + b->Rect.Left - cache->Width();
    CopyPixels(cache->View(), b->Rect.Left, b->Rect.Top, strip->View(),
               TRect{sx, b->Rect.Top, sx + b->Rect.Width(), b->Rect.Top + b->Rect.Height()});
  }
  if (HT >= kxHTUserButton) {
    const int i = HT - kxHTUserButton;
    if (i < P.TitleButtons()->Count()) DrawUserButton(*P.TitleButtons()->Items[i]);
  } else {
    DrawButton(*b);
  }
  if (Ext) {
    if (TkxBorderForm* bf = P.BorderForm()) bf->UpdateExBordersPos(true);
    return;
  }
  const tk::TWindowDC dc(Form->Handle(), true);
  const TRect& sh = F.Skin.Shadow;
  ::BitBlt(dc, b->Rect.Left - sh.Left, b->Rect.Top - sh.Top, b->Rect.Width(), b->Rect.Height(),
           cache->Canvas()->Handle(), b->Rect.Left, b->Rect.Top, SRCCOPY);
}

void TFramePainter::FillTransparentCorners() {
  P.ArOR.clear();
  const int w = CaptionWidth(F);
  if (Skin.IsValidImgIndex(D.BorderIndex)) {
    const TsMaskData& m = Skin.ma[D.BorderIndex];
    AddTransparentCornerRects(P.ArOR, w, m, false, 0);
    AddTransparentCornerRects(P.ArOR, w, m, true, F.Window.cy - m.WB);
  }
  const int title = TitleIndex();
  if (Skin.IsValidSkinIndex(title)) {
    const int mask =
        Skin.GetMaskIndex(title, P.TitleSkin().empty() ? tk::String(L"FORMTITLE") : P.TitleSkin(), L"BORDERSMASK");
    if (Skin.IsValidImgIndex(mask)) AddTransparentCornerRects(P.ArOR, w, Skin.ma[mask], false, 0);
  }
}

// The first rectangle is the region's outline, the rest are cut from it.
std::vector<TRect> TFramePainter::RegionRects() const {
  std::vector<TRect> out{FormRegionRect(F)};
  if (!Ext && !F.Zoomed) {
    out.front() = TRect{0, 0, CaptionWidth(F), F.Window.cy};
    out.insert(out.end(), P.ArOR.begin(), P.ArOR.end());
  }
  return out;
}

void TFramePainter::UpdateRegion(bool Redraw) {
  if (!P.DrawNonClientArea() || !Form->HandleAllocated()) return;
  if (!(F.HasFrame || F.Iconic || F.ThickFrame)) return;
  HWND h = Form->Handle();
  std::vector<TRect> rects = RegionRects();
  // An equal region is not set again: setting one repaints the frame, and
  // that paint would come back here.
  RECT box{};
  if (rects == P.FLastRegion && ::GetWindowRgnBox(h, &box) != ERROR) return;
  tk::TRegionHandle rgn(::CreateRectRgn(rects[0].Left, rects[0].Top, rects[0].Right, rects[0].Bottom));
  for (size_t i = 1; i < rects.size(); ++i) {
    const tk::TRegionHandle cut(::CreateRectRgn(rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom));
    ::CombineRgn(rgn, rgn, cut, RGN_DIFF);
  }
  P.RgnChanging = true;
  // The system owns the region once it is set.
  if (::SetWindowRgn(h, rgn, Redraw)) {
    rgn.Release();
    P.FLastRegion = std::move(rects);
  }
  P.RgnChanging = false;
}

void TFramePainter::RegionIfDue(bool Redraw) {
  if (!P.RgnChanged || P.RgnChanging) return;
  P.RgnChanged = false;
  if (F.HasFrame || F.Iconic || F.ThickFrame) {
    FillTransparentCorners();
    UpdateRegion(Redraw);
  } else if (!P.FLastRegion.empty()) {
    P.RgnChanging = true;
    ::SetWindowRgn(Form->Handle(), nullptr, Redraw);
    P.RgnChanging = false;
    P.FLastRegion.clear();
  }
}

void TFramePainter::PaintNonClient() {
  if (!P.DrawNonClientArea() || !Form->HandleAllocated()) return;
  HWND h = Form->Handle();
  D.SetUpdating(false);
  // The image first: a new size found there makes the region due too.
  if (Dirty()) PaintAll();
  RegionIfDue(!P.SkinChanging);
  TBitmap* cache = Cache();
  if (!cache || cache->Empty()) return;
  const tk::TWindowDC wdc(h, true);
  const tk::TDCState state(wdc);
  HDC src = cache->Canvas()->Handle();
  auto copy = [&](int x, int y, int w, int hh, int sx, int sy) {
    if (w > 0 && hh > 0) ::BitBlt(wdc, x, y, w, hh, src, sx, sy, SRCCOPY);
  };
  if (Ext) {
    // Frame and title are on the border window; only an inner border of
    // the form's own remains in its window.
    const int bw = F.FormBorderWidth;
    if (bw > 0) {
      const int a = SysBorderWidth(F, false);
      const int top = a + CaptionHeight(F, false);
      const int ox = OffsetX(F) - bw, oy = OffsetY(F) - bw;
      const int cw = F.Client.cx + 2 * bw, ch = F.Client.cy + 2 * bw;
      copy(a, top, cw, bw, ox, oy);
      copy(a, top + bw, bw, ch - 2 * bw, ox, oy + bw);
      copy(a, top + ch - bw, cw, bw, ox, oy + ch - bw);
      copy(a + cw - bw, top + bw, bw, ch - 2 * bw, ox + cw - bw, oy + bw);
    }
    return;
  }
  const int y = F.Caption ? HeaderHeight(F) : BorderHeight(F, true);
  const int bw = BorderWidth(F, true), bh = BorderHeight(F, true);
  const int sy = (F.Iconic ? 1 : 0) + SysBorderHeight(F, true) + CaptionHeight(F, true) + F.FormBorderWidth;
  copy(0, 0, CaptionWidth(F), y, 0, 0);
  copy(0, y, bw, Size.cy - y, 0, sy);
  copy(bw, F.Window.cy - bh, CaptionWidth(F) - bw, bh, SysBorderWidth(F, true) + F.FormBorderWidth, F.Window.cy - bh);
  copy(Size.cx - bw, y, bw, Size.cy - bh - y, Size.cx - bw, sy);
}

void TFramePainter::PaintClientBackground(HDC DC) {
  if (!DC) return;
  const TRect client{0, 0, F.Client.cx, F.Client.cy};
  if (D.CtrlSkinState & kxStateContainer) {
    FillDeviceRect(DC, client, P.FormColor());
  } else {
    if (Dirty()) PaintAll();
    TBitmap* cache = Cache();
    if (!cache || cache->Empty()) return;
    const int x = OffsetX(F), y = OffsetY(F);
    CopyCacheToDevice(D, TRect{x, y, x + client.Width(), y + client.Height()}, DC, tk::TPoint{0, 0}, false, 0,
                      Form->Handle());
  }
  PaintGraphicChildren(DC, Form, tk::TPoint{0, 0});
}

// The painter for a provider that may paint now, else nothing.
template <class Fn>
void WithPainter(TsSkinProvider& P, Fn&& Do) {
  tk::TCustomForm* form = P.Form();
  TsCommonData* d = P.SkinData();
  if (!form || !d || P.RTEmpty() || !form->HandleAllocated() || form->FormState().Contains(tk::fsCreating)) return;
  TsSkinManager* m = d->EffectiveManager();
  if (!m || !d->Skinned()) return;
  if (!d->IndexesCurrent()) d->UpdateIndexes();
  TFramePainter painter(P, *m);
  Do(painter);
}

}  // namespace

// --- The provider's painting members ------------------------------------------------------

void TsSkinProvider::PaintAll() {
  WithPainter(*this, [](TFramePainter& p) { p.PaintAll(); });
}

void TsSkinProvider::InitButtons() {
  TsSkinManager* m = FCommonData ? FCommonData->EffectiveManager() : nullptr;
  if (!m) return;
  const TkxSkinContent& skin = m->Content();
  if (!skin.IsValidSkinIndex(skin.ConstData.IndexGLobalInfo) && skin.GetSkinIndex(L"GLOBALINFO") < 0) return;
  ButtonMin.HitCode = kxHTMINBUTTON;
  ButtonMax.HitCode = kxHTMAXBUTTON;
  ButtonClose.HitCode = kxHTCLOSE;
  ButtonHelp.HitCode = kxHTHELP;
  const TkxFormFrame f = Frame();
  const TkxTitleButtonSet set = ButtonSet();
  const bool standard = StandardBorder(f);
  bool aligned = standard;
  if (standard) {
    ButtonMin.ImageIndex = GlobalMask(skin, L"BICONMIN");
    ButtonMax.ImageIndex = GlobalMask(skin, L"BICONMAX");
    ButtonClose.ImageIndex = -1;
    if (HasSysMenu(*this) && !set.MaxVisible && !set.MinVisible)
      ButtonClose.ImageIndex = GlobalMask(skin, L"BICLOSEALONE");
    if (!skin.IsValidImgIndex(ButtonClose.ImageIndex)) ButtonClose.ImageIndex = GlobalMask(skin, L"BICONCLOSE");
    ButtonHelp.ImageIndex = GlobalMask(skin, L"BICONHELP");
  } else {
    ButtonClose.ImageIndex = GlobalMask(skin, L"SICONCLOSE");
    ButtonMin.ImageIndex = GlobalMask(skin, L"SICONMIN");
    ButtonMax.ImageIndex = GlobalMask(skin, L"SICONMAX");
    ButtonHelp.ImageIndex = GlobalMask(skin, L"SICONHELP");
    if (!skin.IsValidImgIndex(ButtonHelp.ImageIndex)) ButtonHelp.ImageIndex = GlobalMask(skin, L"BICONHELP");
  }
  if (!skin.IsValidImgIndex(ButtonClose.ImageIndex)) {
    ButtonMin.ImageIndex = GlobalMask(skin, L"BICONMIN");
    ButtonMax.ImageIndex = GlobalMask(skin, L"BICONMAX");
    ButtonClose.ImageIndex = GlobalMask(skin, L"BICONCLOSE");
    ButtonHelp.ImageIndex = GlobalMask(skin, L"BICONHELP");
    aligned = true;
  }
  ButtonMin.HaveAlignment = ButtonMax.HaveAlignment = ButtonClose.HaveAlignment = aligned;
  ButtonHelp.HaveAlignment = false;
  UserBtnIndex = GlobalMask(skin, L"TITLEBUTTON");
}

TkxTitleButtonSet TsSkinProvider::ButtonSet() const {
  TkxTitleButtonSet set;
  TsSkinManager* m = FCommonData ? FCommonData->EffectiveManager() : nullptr;
  if (!FForm || !m) return set;
  const TkxSkinContent& skin = m->Content();
  set.CloseVisible = HaveSysMenu;
  set.MaxVisible = VisibleMax();
  set.MinVisible = VisibleMin();
  set.Help = FForm->BorderIcons().Contains(tk::biHelp);
  set.CloseWidth = GlyphWidth(skin, ButtonClose.ImageIndex);
  set.MaxWidth = GlyphWidth(skin, ButtonMax.ImageIndex);
  set.MinWidth = GlyphWidth(skin, ButtonMin.ImageIndex);
  set.HelpWidth = GlyphWidth(skin, ButtonHelp.ImageIndex);
  set.Height = GlyphHeight(skin, ButtonClose.ImageIndex);
  set.HaveAlignment = ButtonClose.HaveAlignment;
  const int face = skin.IsValidImgIndex(UserBtnIndex) ? GlyphWidth(skin, UserBtnIndex) : 21;
  for (const auto& b : FTitleButtons.Items)
    if (b->Visible) set.UserWidths.push_back(std::max(b->Glyph.Empty() ? 0 : b->Glyph.Width() + 2, face));
  return set;
}

int TsSkinProvider::ButtonsWidth() const { return kx::ButtonsWidth(Frame(), ButtonSet()); }

void TsSkinProvider::PaintCaptionButtons() {
  WithPainter(*this, [](TFramePainter& p) { p.PaintCaptionButtons(false); });
}

void TsSkinProvider::RepaintButton(int HT) {
  WithPainter(*this, [HT](TFramePainter& p) { p.RepaintButton(HT); });
}

void TsSkinProvider::PaintNonClient() {
  WithPainter(*this, [](TFramePainter& p) { p.PaintNonClient(); });
}

void TsSkinProvider::PaintClientBackground(HDC DC) {
  WithPainter(*this, [DC](TFramePainter& p) { p.PaintClientBackground(DC); });
}

void TsSkinProvider::FillTransparentCorners() {
  WithPainter(*this, [](TFramePainter& p) { p.FillTransparentCorners(); });
}

void TsSkinProvider::RegionIfDue(bool Redraw) {
  WithPainter(*this, [&](TFramePainter& p) { p.RegionIfDue(Redraw); });
}

void TsSkinProvider::UpdateRegion(bool Redraw) {
  WithPainter(*this, [Redraw](TFramePainter& p) { p.UpdateRegion(Redraw); });
}

}  // namespace kx
