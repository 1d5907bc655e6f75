#include "skin/paint/sFormGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace kx {

namespace {

bool Ext(const TkxFormFrame& F) { return F.Skin.ExtBorders; }
bool DrawMode1(const TkxFormFrame& F) { return F.Skin.ExtBorders && F.Skin.ExDrawMode == 1; }
bool StandardBorder(const TkxFormFrame& F) {
  return F.BorderStyle == TkxBorderKind::bkSingle || F.BorderStyle == TkxBorderKind::bkSizeable;
}
// A skin without MAXHEIGHT has no separate maximised title: comparing the
// raw 0 with TITLEHEIGHT would shift a maximised title by its whole height.
bool MaxTitleDiffers(const TkxFormFrame& F) { return F.Skin.ExTitleHeight != F.Skin.MaxHeight(); }
int MenuRowsHeight(const TkxFormFrame& F) { return std::max(F.MenuRows, 0) * MenuHeight(F); }
// Where the title stops in the form's own window (window coordinates): the
// system frame and caption; a maximised form with a low skin title has its
// caption 4 pixels higher than the system's (CaptionHeight(false) counts them).
int WindowTitleBottom(const TkxFormFrame& F) {
  return SysBorderWidth(F, false) + CaptionHeight(F, false) - (F.SysExHeight ? 4 : 0);
}
tk::TRect NonNegative(tk::TRect R) {
  R.Right = std::max(R.Right, R.Left);
  R.Bottom = std::max(R.Bottom, R.Top);
  return R;
}

}  // namespace

// --- Frame and title metrics --------------------------------------------------------------

int SysBorderWidth(const TkxFormFrame& F, bool CheckSkin) {
  // A zero (or nonsense negative) BORDERWIDTH falls back to the system frame.
  if (CheckSkin && Ext(F) && F.Skin.ExBorderWidth > 0) return F.Skin.ExBorderWidth;
  if (F.ThickFrame) return F.Sys.CxFrame;
  if (F.Border) return F.Sys.CxDlgFrame;
  return 0;
}

int SysBorderHeight(const TkxFormFrame& F, bool CheckSkin) { return Ext(F) ? 0 : SysBorderWidth(F, CheckSkin); }

int DiffBorder(const TkxFormFrame& F) { return Ext(F) ? SysBorderWidth(F, true) - SysBorderWidth(F, false) : 0; }

int DiffTitle(const TkxFormFrame& F) {
  return Ext(F) ? CaptionHeight(F, true) - CaptionHeight(F, false) - SysBorderWidth(F, false) : 0;
}

int BorderWidth(const TkxFormFrame& F, bool CheckSkin) { return SysBorderWidth(F, CheckSkin) + F.FormBorderWidth; }

int BorderHeight(const TkxFormFrame& F, bool CheckSkin) { return SysBorderHeight(F, CheckSkin) + F.FormBorderWidth; }

int CaptionHeight(const TkxFormFrame& F, bool CheckSkin) {
  if (!((F.HasFrame && F.Caption) || F.Iconic)) return 0;
  const bool tool = F.BorderStyle == TkxBorderKind::bkToolWindow || F.BorderStyle == TkxBorderKind::bkSizeToolWin;
  // An iconic tool window shows the normal caption.
  const int s = tool && !F.Iconic ? F.Sys.CySmCaption : F.Sys.CyCaption;
  const int r = CheckSkin && Ext(F) ? std::max(F.Skin.ExTitleHeight, 0) : 0;
  if (F.SysExHeight) return std::max(r, s + 4);
  return r ? r : s;
}

int CaptionWidth(const TkxFormFrame& F) {
  const int w = F.Iconic ? F.Window.cx : F.Window.cx + 2 * DiffBorder(F);
  return std::max(w, 0) + F.Skin.Shadow.Left + F.Skin.Shadow.Right;
}

int MenuHeight(const TkxFormFrame& F) { return F.OwnMenu ? F.Sys.CyMenu - 1 : 0; }

int OffsetX(const TkxFormFrame& F) {
  if (Ext(F)) return BorderWidth(F, true) + F.Skin.Shadow.Left;
  return std::max((F.Window.cx - F.Client.cx - F.VScrollWidth) / 2, 0);
}

int OffsetY(const TkxFormFrame& F) {
  if (Ext(F)) return CaptionHeight(F, true) + MenuRowsHeight(F) + F.FormBorderWidth + F.Skin.Shadow.Top;
  return std::max(F.Window.cy - F.Client.cy - (F.Border ? BorderWidth(F, true) : 0) - F.HScrollHeight, 0);
}

int HeaderHeight(const TkxFormFrame& F) {
  if (Ext(F)) return SysBorderHeight(F, false) + CaptionHeight(F, true);
  int h = F.Window.cy - F.Client.cy;
  if (F.Caption || F.Border) h -= BorderHeight(F, true);
  h = std::max(h, 0);
  if (F.Iconic) h += SysBorderHeight(F, false);
  return std::max(h - F.HScrollHeight, 0);
}

bool SysExHeightFor(const TkxFormFrame& F) {
  if (!F.Zoomed || !Ext(F)) return false;
  // Judged on the plain heights: measured with the flag already set, the
  // answer would depend on the previous one and could never turn off again.
  TkxFormFrame plain = F;
  plain.SysExHeight = false;
  return CaptionHeight(plain, true) < CaptionHeight(plain, false) + 4;
}

tk::TSize ImageSize(const TkxFormFrame& F) {
  const int t = SysBorderHeight(F, false), k = CaptionHeight(F, true);
  int h = F.Iconic ? t + k + 2 : std::max(F.Window.cy, 0);
  if (Ext(F))
    h = DiffBorder(F) + h + DiffTitle(F) + F.Skin.Shadow.Top + F.Skin.Shadow.Bottom + (MenuHeight(F) > 0 ? 1 : 0);
  return {CaptionWidth(F), std::max(h, 0)};
}

tk::TRect ContentRect(const TkxFormFrame& F) {
  const tk::TSize s = ImageSize(F);
  const tk::TRect& sh = F.Skin.Shadow;
  return NonNegative({sh.Left, sh.Top, s.cx - sh.Right, s.cy - sh.Bottom});
}

int TitleBottom(const TkxFormFrame& F) {
  return SysBorderHeight(F, false) + CaptionHeight(F, true) + F.Skin.Shadow.Top;
}

// --- Title icon and caption ----------------------------------------------------------------

tk::TSize TitleIconSize(const TkxFormFrame& F, bool Shown, int IconWidth, int IconHeight) {
  if (!Shown) return {};
  const int c = CaptionHeight(F, true);
  const int derived = c <= 8 ? 1 : c <= 16 ? 8 : 16;
  return {IconWidth > 0 ? IconWidth : derived, IconHeight > 0 ? IconHeight : derived};
}

namespace {
// The vertical shift of the title's content: the skin's centre offset, and
// for a maximised form half the difference of the two title heights.
int TitleContentShift(const TkxFormFrame& F) {
  int d = F.Skin.ExCenterOffs;
  if (F.Zoomed && MaxTitleDiffers(F)) d += (F.Skin.ExTitleHeight - F.Skin.MaxHeight()) / 2 - 2;
  return d;
}
}  // namespace

tk::TRect IconRect(const TkxFormFrame& F, tk::TSize IconSize) {
  const tk::TRect& sh = F.Skin.Shadow;
  tk::TRect r;
  r.Left = SysBorderWidth(F, true) + F.Skin.BILeft + sh.Left;
  r.Right = r.Left + IconSize.cx;
  r.Top = SysBorderWidth(F, false) / 2 + sh.Top - 1;
  r.Top += (SysBorderHeight(F, false) + CaptionHeight(F, true) + sh.Top - r.Top - IconSize.cy) / 2;
  r.Bottom = r.Top + IconSize.cy;
  if (Ext(F)) r.Offset(0, TitleContentShift(F));
  return r;
}

tk::TRect CaptionTextRect(const TkxFormFrame& F, int IconWidth, bool CaptionSection, int ButtonsWidth) {
  const tk::TRect& sh = F.Skin.Shadow;
  tk::TRect r;
  r.Left = SysBorderWidth(F, true) + IconWidth + F.Skin.BILeft + sh.Left + (CaptionSection ? 2 : 0) + 4;
  r.Right = (CaptionWidth(F) - sh.Right) - ButtonsWidth - sh.Right - 12;
  r.Top = F.Zoomed ? SysBorderWidth(F, false) / 2 + sh.Top + 1 : sh.Top + 2;
  r.Bottom = TitleBottom(F);
  if (DrawMode1(F)) r.Offset(0, TitleContentShift(F));
  // A window narrower than its buttons gets an empty rectangle, not a reversed one.
  return NonNegative(r);
}

tk::TRect AlignCaptionRect(tk::TRect R, int TextWidth, int TextHeight, int AddedWidth, TkxCaptionAlign Align) {
  R.Top += (R.Height() - TextHeight) / 2;
  R.Bottom = R.Top + TextHeight;
  const int block = TextWidth + AddedWidth + 4;
  switch (Align) {
    case TkxCaptionAlign::caRight:
      if (block < R.Width()) R.Left = R.Right - block;
      break;
    case TkxCaptionAlign::caCenter:
      R.Left = std::max(R.Left, R.Left + (R.Width() - block) / 2);
      R.Right = std::min(R.Left + TextWidth, R.Right);
      break;
    case TkxCaptionAlign::caLeft: break;
  }
  return R;
}

// --- Title buttons -------------------------------------------------------------------------

int ButtonSpacing(const TkxFormFrame& F) { return StandardBorder(F) ? F.Skin.BISpacing : 0; }

int ButtonsWidth(const TkxFormFrame& F, const TkxTitleButtonSet& B) {
  const int s = ButtonSpacing(F);
  int w = F.Skin.BIRight;
  if (B.CloseVisible) {
    w += B.CloseWidth;
    if (B.MaxVisible) w += B.MaxWidth + s;
    if (B.MinVisible) w += B.MinWidth + s;
    if (B.Help) w += B.HelpWidth + s;
  }
  if (!B.UserWidths.empty()) w += 8;
  for (int u : B.UserWidths) w += u + s;
  return w;
}

int TitleButtonTop(const TkxFormFrame& F, int ButtonHeight, bool HaveAlignment) {
  const TkxFrameSkin& k = F.Skin;
  const int shTop = k.Shadow.Top;
  int top;
  if (HaveAlignment && k.BIVAlign == 1) {
    if (!Ext(F)) top = shTop;
    else if (F.Zoomed && k.BITop != 0) top = SysBorderWidth(F, false) + shTop;
    else top = shTop + k.BITop;
    if (F.Zoomed) {
      if (!F.MaxConstraints) top += SysBorderWidth(F, false) - 1;
      if (Ext(F) && MaxTitleDiffers(F)) top += k.ExTitleHeight - k.MaxHeight();
      if (DrawMode1(F)) top += k.ExCenterOffs;
    }
  } else {
    top = (SysBorderHeight(F, true) + CaptionHeight(F, true) - ButtonHeight) / 2 + shTop;
    if (DrawMode1(F)) top += k.ExCenterOffs;
    // The maximised corrections follow the skin's title heights, which only
    // extended borders use.
    if (F.Zoomed && Ext(F)) {
      top -= 2;
      if (MaxTitleDiffers(F)) top += (k.ExTitleHeight - k.MaxHeight() - k.ExCenterOffs) / 2 - 2;
      top += SysBorderWidth(F, false) / 2;
    }
    if (StandardBorder(F) && ButtonHeight < 16) top += 2;
  }
  return top;
}

TkxTitleButtonRects LayoutTitleButtons(const TkxFormFrame& F, const TkxTitleButtonSet& B) {
  TkxTitleButtonRects out;
  const int s = ButtonSpacing(F);
  int x = CaptionWidth(F) - F.Skin.BIRight - F.Skin.Shadow.Right - SysBorderWidth(F, true);
  auto place = [&](tk::TRect& r, int width, bool aligned) {
    const int top = TitleButtonTop(F, B.Height, aligned);
    r = {x - width, top, x, top + B.Height};
    x = r.Left - s;
  };
  if (B.CloseVisible) {
    place(out.Close, B.CloseWidth, B.HaveAlignment);
    if (B.MaxVisible) place(out.Max, B.MaxWidth, B.HaveAlignment);
    if (B.MinVisible) place(out.Min, B.MinWidth, B.HaveAlignment);
    if (B.Help) place(out.Help, B.HelpWidth, false);
  }
  if (!B.UserWidths.empty()) x -= 8;
  out.User.resize(B.UserWidths.size());
  for (size_t i = 0; i < B.UserWidths.size(); ++i) place(out.User[i], B.UserWidths[i], false);
  return out;
}

// --- Hit testing ---------------------------------------------------------------------------

namespace {

constexpr int kNoButton = -2;

// The title button under P (image coordinates), or kNoButton. Only visible
// buttons are hit; a disabled user button counts as none, a disabled
// maximise or minimise button as the caption (it drags the form).
int ButtonHit(const TkxFormFrame& F, const TkxHitState& S, tk::TPoint P, bool HelpShown) {
  const TkxTitleButtonSet& B = S.Buttons;
  const TkxTitleButtonRects& R = S.Rects;
  if (B.CloseVisible) {
    if (R.Close.Contains(P)) return kxHTCLOSE;
    if (B.MaxVisible && R.Max.Contains(P)) {
      return S.MaxEnabled || (S.RestoreEnabled && !F.Iconic) ? kxHTMAXBUTTON : kxHTCAPTION;
    }
    if (B.MinVisible && R.Min.Contains(P)) return F.Iconic || S.MinEnabled ? kxHTMINBUTTON : kxHTCAPTION;
    if (HelpShown && R.Help.Contains(P)) return kxHTHELP;
  }
  const size_t n = std::min(B.UserWidths.size(), R.User.size());
  for (size_t i = 0; i < n; ++i) {
    if (!R.User[i].Contains(P)) continue;
    const bool enabled = i >= S.UserEnabled.size() || S.UserEnabled[i];
    if (!enabled) return kNoButton;
    return kxHTUserButton + (i < S.UserIndex.size() ? S.UserIndex[i] : static_cast<int>(i));
  }
  return kNoButton;
}

// Turns a top, bottom or no border code into its corner or side by x.
int SideCode(int vertical, bool left, bool right) {
  if (left) return vertical == kxHTTOP ? kxHTTOPLEFT : vertical == kxHTBOTTOM ? kxHTBOTTOMLEFT : kxHTLEFT;
  if (right) return vertical == kxHTTOP ? kxHTTOPRIGHT : vertical == kxHTBOTTOM ? kxHTBOTTOMRIGHT : kxHTRIGHT;
  return vertical;
}

bool OnGrip(const TkxFormFrame& F, const TkxHitState& S, tk::TPoint Image) {
  if (!S.GripShown || S.GripSize.cx <= 0 || S.GripSize.cy <= 0) return false;
  const tk::TPoint g = GripPosition(F, S.GripSize);
  return Image.X >= g.X && Image.Y >= g.Y;
}

}  // namespace

int HTProcess(const TkxFormFrame& F, const TkxHitState& S, tk::TPoint P) {
  // The window image lies this far left of and above the form's window.
  const tk::TPoint img{P.X + DiffBorder(F) + F.Skin.Shadow.Left, P.Y + DiffTitle(F) + F.Skin.Shadow.Top};
  // With extended borders the border window answers for the buttons.
  if (!Ext(F)) {
    const int b = ButtonHit(F, S, img, S.Buttons.Help);
    if (b != kNoButton) return b;
  }
  if (!F.Zoomed && F.ThickFrame && !Ext(F)) {
    const int f = SysBorderWidth(F, true), g = SysBorderHeight(F, false);
    // The last f pixels are the frame: the edges are exclusive.
    const int v = P.Y >= F.Window.cy - f ? kxHTBOTTOM : P.Y < g ? kxHTTOP : kxHTNOWHERE;
    const int code = SideCode(v, P.X < f, P.X >= F.Window.cx - f);
    if (code != kxHTNOWHERE) return code;
  }
  const int titleEnd = WindowTitleBottom(F);
  if (P.Y >= 0 && P.Y < titleEnd) return S.Icon.Contains(img) ? kxHTSYSMENU : kxHTCAPTION;
  if (P.Y >= titleEnd && P.Y < titleEnd + MenuRowsHeight(F)) return kxHTMENU;
  return OnGrip(F, S, img) ? kxHTBOTTOMRIGHT : kxHTCLIENT;
}

tk::TPoint GripPosition(const TkxFormFrame& F, tk::TSize GripSize) {
  const tk::TSize img = ImageSize(F);
  const int b = SysBorderWidth(F, true);
  return {img.cx - GripSize.cx - b - F.Skin.Shadow.Right - 1, img.cy - GripSize.cy - b - F.Skin.Shadow.Bottom - 1};
}

// --- The border window ---------------------------------------------------------------------

tk::TPoint BorderWindowOffset(const TkxFormFrame& F) {
  const tk::TRect& sh = F.Skin.Shadow;
  const int a = SysBorderWidth(F, false);
  // The skin frame's effective width and title height, so a zero BORDERWIDTH
  // or TITLEHEIGHT (which fall back to the system's) keeps the image's client
  // over the form's.
  const int left = SysBorderWidth(F, true) + sh.Left - a;
  const int top =
      F.SysExHeight ? a + sh.Top + DiffTitle(F) : sh.Top + CaptionHeight(F, true) - a - CaptionHeight(F, false);
  return {left, top};
}

tk::TRect DrawnFrameRect(const TkxFormFrame& F) {
  if (!F.Skin.ExtBorders) return {0, 0, F.Window.cx, F.Window.cy};
  const tk::TPoint off = BorderWindowOffset(F);
  const tk::TSize img = ImageSize(F);
  const tk::TRect& sh = F.Skin.Shadow;
  return {sh.Left - off.X, sh.Top - off.Y, img.cx - sh.Right - off.X, img.cy - sh.Bottom - off.Y};
}

namespace {

// One axis of FrameShiftIntoArea: window [w0, w1), frame [f0, f1), area [a0, a1).
int ShiftIntoArea(int W0, int W1, int F0, int F1, int A0, int A1) {
  int shift = 0;
  if (F1 > A1 && W1 <= A1) shift = A1 - F1;
  if (F0 + shift < A0 && W0 >= A0) shift = A0 - F0;
  return shift;
}

}  // namespace

tk::TPoint FrameShiftIntoArea(const tk::TRect& Window, const tk::TRect& Frame, const tk::TRect& Work) {
  return {ShiftIntoArea(Window.Left, Window.Right, Frame.Left, Frame.Right, Work.Left, Work.Right),
          ShiftIntoArea(Window.Top, Window.Bottom, Frame.Top, Frame.Bottom, Work.Top, Work.Bottom)};
}

bool OverShadow(const TkxFormFrame& F, tk::TSize Size, tk::TPoint P) {
  if (F.Zoomed) return false;
  const tk::TRect& sh = F.Skin.Shadow;
  return !tk::TRect{sh.Left, sh.Top, Size.cx - sh.Right, Size.cy - sh.Bottom}.Contains(P);
}

int BorderHitTest(const TkxFormFrame& F, const TkxHitState& S, tk::TSize Size, tk::TPoint P, bool OwnerDisabled) {
  if (OwnerDisabled) return -1;
  // The shadow is no frame element: clicks there go to the window below.
  if (OverShadow(F, Size, P)) return -1;
  const int b = ButtonHit(F, S, P, S.Buttons.Help || S.ContextHelp);
  if (b != kNoButton) return b;
  const tk::TRect& sh = F.Skin.Shadow;
  if (!F.Zoomed && F.ThickFrame) {
    // The sizing band is the system frame's width at the drawn frame's outer edge.
    const int f = SysBorderWidth(F, false);
    int v = kxHTNOWHERE;
    if (P.Y >= Size.cy - f - sh.Bottom && P.Y <= Size.cy - sh.Bottom) v = kxHTBOTTOM;
    else if (P.Y >= sh.Top && P.Y <= sh.Top + f) v = kxHTTOP;
    const bool left = P.X >= sh.Left && P.X <= sh.Left + f;
    const bool right = P.X >= Size.cx - f - sh.Right && P.X <= Size.cx - sh.Right;
    const int code = SideCode(v, left, right);
    if (code != kxHTNOWHERE) return code;
  }
  const int title = CaptionHeight(F, true) + sh.Top;
  if (P.Y >= 0 && P.Y <= title) return S.Icon.Contains(P) ? kxHTSYSMENU : kxHTCAPTION;
  // The menu rows lie right under the title, inside the side frames.
  const int frame = SysBorderWidth(F, true);
  if (P.Y <= title + MenuRowsHeight(F) && P.X >= sh.Left + frame && P.X < Size.cx - sh.Right - frame) return kxHTMENU;
  if (OnGrip(F, S, P)) return kxHTBOTTOMRIGHT;
  return -1;
}

TkxBorderRegion BorderRegion(const TkxFormFrame& F, tk::TSize Size, bool ProviderOwner) {
  const tk::TRect& sh = F.Skin.Shadow;
  TkxBorderRegion r;
  if (F.Zoomed) {
    // Only the part of the frame that stays on screen; 4 pixels of the shadow
    // top stay for the title's upper edge.
    const int e = SysBorderWidth(F, false) + DiffBorder(F);
    r.Keep = NonNegative({e + sh.Left, sh.Top + 4, Size.cx - e - sh.Right, Size.cy - e - sh.Bottom});
  } else {
    r.Keep = {0, 0, std::max(Size.cx, 0), std::max(Size.cy, 0)};
  }
  if (ProviderOwner) {
    const int x = OffsetX(F), y = OffsetY(F) - MenuRowsHeight(F);
    tk::TRect hole = NonNegative({x, y, x + F.Client.cx, OffsetY(F) + F.Client.cy});
    // The hole is cut by XOR: a part outside Keep would be added, not cut.
    if (!tk::IntersectRect(r.Hole, hole, r.Keep)) r.Hole = {};
  }
  return r;
}

tk::TRect FormRegionRect(const TkxFormFrame& F) {
  const int a = SysBorderWidth(F, false);
  const int w = F.Window.cx, h = F.Window.cy;
  if (Ext(F)) return NonNegative({a, WindowTitleBottom(F), w - a, h - a});
  if (F.Zoomed && !F.MaxConstraints) return NonNegative({a, a, w - a, h - a});
  return NonNegative({0, 0, CaptionWidth(F), h});
}

// --- Placement -----------------------------------------------------------------------------

TkxMaxPlacement MaximizedPlacement(const TkxFormFrame& F, tk::TSize WorkArea) {
  const int a = SysBorderWidth(F, false);
  const int W = WorkArea.cx, H = WorkArea.cy;
  if (!Ext(F)) return {{-a, -a}, {W + 2 * a, H + 2 * a}};
  const TkxFrameSkin& k = F.Skin;
  int h = 0, b = 0;
  // Without a caption there is no skin title whose height to absorb.
  if (F.Caption) {
    h = CaptionHeight(F, true) - (a + CaptionHeight(F, false));
    if (h <= 0) h = a;
    if (MaxTitleDiffers(F)) b = k.ExTitleHeight + k.ExCenterOffs - k.MaxHeight();
    if (k.BIVAlign == 1 && k.BITop != 0) b += k.BITop - a;
  }
  return {{-a, h - a - b}, {W + 2 * a, H + 2 * a + b - h}};
}

tk::TPoint SnapToWorkArea(const TkxFormFrame& F, tk::TPoint Pos, const tk::TRect& WorkArea, int Buffer) {
  if (F.Zoomed || (Pos.X == 0 && Pos.Y == 0)) return Pos;
  const int d = DiffBorder(F), t = DiffTitle(F);
  const int w = F.Window.cx, h = F.Window.cy;
  // Right and bottom first, so the left and top edges win on a small work area.
  if (std::abs(Pos.X + w + d - WorkArea.Right) < Buffer) Pos.X = WorkArea.Right - w - d;
  if (std::abs(Pos.Y + h + d - WorkArea.Bottom) < Buffer) Pos.Y = WorkArea.Bottom - h - d;
  if (std::abs(Pos.X - d - WorkArea.Left) < Buffer) Pos.X = WorkArea.Left + d;
  if (std::abs(Pos.Y - t - WorkArea.Top) < Buffer) Pos.Y = WorkArea.Top + t;
  return Pos;
}

tk::TRect SizedOutline(tk::TRect R, int HT, tk::TPoint C, int MinWidth, int MinHeight) {
  const bool top = HT == kxHTTOP || HT == kxHTTOPLEFT || HT == kxHTTOPRIGHT;
  const bool left = HT == kxHTLEFT || HT == kxHTTOPLEFT || HT == kxHTBOTTOMLEFT;
  const bool right = HT == kxHTRIGHT || HT == kxHTTOPRIGHT || HT == kxHTBOTTOMRIGHT;
  const bool bottom = !top && HT != kxHTLEFT && HT != kxHTRIGHT;
  if (top) R.Top = std::min(C.Y, R.Bottom - MinHeight);
  if (bottom) R.Bottom = std::max(C.Y, R.Top + MinHeight);
  if (left) R.Left = std::min(C.X, R.Right - MinWidth);
  if (right) R.Right = std::max(C.X, R.Left + MinWidth);
  return R;
}

}  // namespace kx
