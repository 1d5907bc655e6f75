#include "skin/controls/kxScrollWnd.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sSkinItemPaint.h"
#include "toolkit/Controls.h"
#include "toolkit/Handles.h"

namespace kx {

static_assert(sizeof(TkxScrollInfo) == sizeof(SCROLLINFO), "TkxScrollInfo mirrors SCROLLINFO");

// The look a bar was composed for; equal keys give equal pixels.
struct TBarLook {
  int Width = 0, Height = 0;
  int ThumbStart = 0, ThumbLength = 0;
  bool ShowThumb = false, Active = false;
  int Arrow1 = 0, Arrow2 = 0, Track1 = 0, Track2 = 0, Thumb = 0;
  uint32_t Generation = 0;
  tk::TColor Background = 0;
  bool operator==(const TBarLook&) const = default;
};

struct TkxScrollBar::TCache {
  TBarLook Key;
  std::unique_ptr<tk::TBitmap> Bmp;
};

namespace {

// The default arrow length, the same for the life of the process.
int DefaultArrow() {
  static const int da = ::GetSystemMetrics(SM_CXHSCROLL);
  return da;
}

const TkxSkinContent* SkinOf(const TkxScrollWnd& a) {
  TsSkinManager* m = a.SkinManager;
  return m && m->Active() && !a.Destroyed ? &m->Content() : nullptr;
}

TkxScrollBar* BarOf(TkxScrollWnd& a, int BarType) { return BarType == 1 ? a.sBarVert.get() : a.sBarHorz.get(); }

bool Visible(const TkxScrollBar* b) { return b && b->fScrollVisible; }

void ReadInfo(TkxScrollBar& b) {
  b.ScrollInfo = TkxScrollInfo{};
  b.ScrollInfo.fMask = SIF_ALL;
  if (!::GetScrollInfo(b.sw->CtrlHandle, b.nBarType, reinterpret_cast<SCROLLINFO*>(&b.ScrollInfo))) {
    b.ScrollInfo = TkxScrollInfo{};
  }
}

tk::TRect BarRectOf(const TkxScrollWnd& a, int BarType) { return BarType == 1 ? VertBarRect(a) : HorzBarRect(a); }

tk::TRect WindowRect(HWND h) {
  RECT r{};
  ::GetWindowRect(h, &r);
  return tk::TRect{r.left, r.top, r.right, r.bottom};
}

tk::TPoint CursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  return tk::TPoint{p.x, p.y};
}

// A mouse message's point (client coordinates, beyond the client area while
// captured) on the screen.
tk::TPoint ScreenPointOf(HWND h, const tk::TMessage& m) {
  POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  ::ClientToScreen(h, &p);
  return tk::TPoint{p.x, p.y};
}

// A strip along the bar, from a to b, across its whole thickness.
tk::TRect Along(bool Vertical, int a, int b, int Thickness) {
  return Vertical ? tk::TRect{0, a, Thickness, b} : tk::TRect{a, 0, b, Thickness};
}

void KillTimers(HWND h) {
  ::KillTimer(h, kxFirstRepeatTimer);
  ::KillTimer(h, kxRepeatTimer);
}

// Forgets a press or hover on h's bars without sending anything: the
// window is going away or letting go of its adapter.
void ForgetTracking(HWND h) {
  TkxScrollTracking& t = ScrollTracking;
  if (t.CurWnd != h) return;
  KillTimers(h);
  if (t.HoverTimer) ::KillTimer(h, kxHoverTimer);
  if (t.PressedPart != -1 && ::GetCapture() == h) {
    t.PressedPart = -1;  // the capture change that follows finds nothing pressed
    ::ReleaseCapture();
  }
  t = TkxScrollTracking{};
}

// The window's background as an item's parent: its picture or its colour.
TCacheInfo WindowBackground(HWND h, TBackgroundQuery& q) {
  q = TBackgroundQuery{};
  QueryWindowBackground(q, h, false);
  return ToCacheInfo(q);
}

tk::TColor BackgroundColor(const TBackgroundQuery& q, const TkxScrollWnd& a) {
  if (q.Kind == kxBGColor) return q.Color;
  return a.SkinManager ? a.SkinManager->GetGlobalColor() : tk::TColor(::GetSysColor(COLOR_WINDOW));
}

// The section indexes of one bar's pieces.
struct TBarSections {
  int Track1, Track2, Button1, Button2, Slider;
  const wchar_t *Track1Name, *Track2Name, *Button1Name, *Button2Name, *SliderName;
  int Track1Mask, Track2Mask, Track1Bg, Track2Bg, Track1Hot, Track2Hot;
  int Button1Mask, Button2Mask, Button1Bg, Button2Bg, Button1Hot, Button2Hot, Arrow1, Arrow2;
  int SliderMask, SliderBg, SliderHot, SliderGlyph;
};

TBarSections SectionsOf(const TConstantSkinData& c, bool v) {
  if (v)
    return {c.IndexScrollBar1V,    c.IndexScrollBar2V,       c.IndexScrollTop,        c.IndexScrollBottom,
            c.IndexSliderVert,     L"SCROLLBAR1V",           L"SCROLLBAR2V",          L"SCROLLBTNTOP",
            L"SCROLLBTNBOTTOM",    L"SCROLLSLIDERV",         c.MaskScrollBar1V,       c.MaskScrollBar2V,
            c.BGScrollBar1V,       c.BGScrollBar2V,          c.BGHotScrollBar1V,      c.BGHotScrollBar2V,
            c.MaskScrollTop,       c.MaskScrollBottom,       c.IndexBGScrollTop,      c.IndexBGScrollBottom,
            c.IndexBGHotScrollTop, c.IndexBGHotScrollBottom, c.MaskArrowTop,          c.MaskArrowBottom,
            c.MaskSliderVert,      c.ScrollSliderBGVert,     c.ScrollSliderBGHotVert, c.MaskSliderGlyphVert};
  return {c.IndexScrollBar1H,     c.IndexScrollBar2H,      c.IndexScrollLeft,       c.IndexScrollRight,
          c.IndexSliderHorz,      L"SCROLLBAR1H",          L"SCROLLBAR2H",          L"SCROLLBTNLEFT",
          L"SCROLLBTNRIGHT",      L"SCROLLSLIDERH",        c.MaskScrollBar1H,       c.MaskScrollBar2H,
          c.BGScrollBar1H,        c.BGScrollBar2H,         c.BGHotScrollBar1H,      c.BGHotScrollBar2H,
          c.MaskScrollLeft,       c.MaskScrollRight,       c.IndexBGScrollLeft,     c.IndexBGScrollRight,
          c.IndexBGHotScrollLeft, c.IndexBGHotScrollRight, c.MaskArrowLeft,         c.MaskArrowRight,
          c.MaskSliderHorz,       c.ScrollSliderBGHorz,    c.ScrollSliderBGHotHorz, c.MaskSliderGlyphHorz};
}

// Frame size of a mask image.
tk::TSize FrameOf(const TsMaskData& m) {
  return tk::TSize{m.ImageCount > 0 ? m.R.Width() / m.ImageCount : 0, m.R.Height() / (m.MaskType + 1)};
}

// Composes one bar into a 24-bit bitmap of the bar's size. Parts are painted
// over what is already there: the tracks over the window's background, the
// buttons and the thumb over the tracks.
class TBarComposer {
 public:
  TBarComposer(const TkxSkinContent& Skin, bool Vertical, const TBarLook& Look, tk::TPoint BarOrigin)
      : FSkin(Skin),
        FV(Vertical),
        FLook(Look),
        FSec(SectionsOf(Skin.ConstData, Vertical)),
        FOrigin(BarOrigin),
        FBmp(NewBitmap24(Look.Width, Look.Height)) {}

  std::unique_ptr<tk::TBitmap> Compose(const TCacheInfo& ci, int ButtonLength) {
    const int len = FV ? FLook.Height : FLook.Width, thick = FV ? FLook.Width : FLook.Height;
    tk::detail::FlushPixelStore();
    if (2 * ButtonLength < len) {
      const int split = FLook.ThumbStart + FLook.ThumbLength / 2;
      Track(FSec.Track1, FSec.Track1Name, FSec.Track1Mask, FSec.Track1Bg, FSec.Track1Hot, Along(FV, 0, split, thick),
            FLook.Track1, ci);
      Track(FSec.Track2, FSec.Track2Name, FSec.Track2Mask, FSec.Track2Bg, FSec.Track2Hot, Along(FV, split, len, thick),
            FLook.Track2, ci);
      Button(true, Along(FV, 0, ButtonLength, thick), FLook.Arrow1);
      Button(false, Along(FV, len - ButtonLength, len, thick), FLook.Arrow2);
      if (FLook.ShowThumb) Thumb(Along(FV, FLook.ThumbStart, FLook.ThumbStart + FLook.ThumbLength, thick));
    } else {
      // Too short for two arrows: halves, no thumb.
      const int half = len / 2;
      Track(FSec.Track1, FSec.Track1Name, FSec.Track1Mask, FSec.Track1Bg, FSec.Track1Hot, Along(FV, 0, half, thick), 0,
            ci);
      Track(FSec.Track2, FSec.Track2Name, FSec.Track2Mask, FSec.Track2Bg, FSec.Track2Hot, Along(FV, half, len, thick),
            0, ci);
      Button(true, Along(FV, 0, half, thick), FLook.Arrow1);
      Button(false, Along(FV, half, len, thick), FLook.Arrow2);
    }
    return std::move(FBmp);
  }

 private:
  void Part(int Index, const wchar_t* Name, int Mask, int Bg, int Hot, tk::TRect r, int State, const TCacheInfo& ci,
            tk::TPoint Offset) {
    if (r.IsEmpty()) return;
    PaintScrollPart(TkxSectionRef{Index, Name, Hot, Bg, &FSkin, kxKeyColor}, Mask,
                    TkxPaintTarget{FBmp.get(), r, Offset, State, ci}, true);
  }
  void Track(int Index, const wchar_t* Name, int Mask, int Bg, int Hot, tk::TRect r, int State, const TCacheInfo& ci) {
    Part(Index, Name, Mask, Bg, Hot, r, State, ci, tk::TPoint{FOrigin.X + r.Left, FOrigin.Y + r.Top});
  }
  // Over the bar composed so far.
  void Over(int Index, const wchar_t* Name, int Mask, int Bg, int Hot, tk::TRect r, int State) {
    Part(Index, Name, Mask, Bg, Hot, r, State, MakeCacheInfo(FBmp.get()), tk::TPoint{r.Left, r.Top});
  }
  void Glyph(int Mask, tk::TRect Space, int State) {
    if (!FSkin.IsValidImgIndex(Mask)) return;
    const TsMaskData& m = FSkin.ma[size_t(Mask)];
    const tk::TSize f = FrameOf(m);
    const tk::TPoint p{Space.Left + (Space.Width() - f.cx) / 2, Space.Top + (Space.Height() - f.cy) / 2};
    DrawMaskImage(FBmp.get(), p, State, MakeCacheInfo(FBmp.get()), m, mimOpaque);
  }
  // The arrow sits in a square of the default arrow length at the bar's end.
  void Button(bool First, tk::TRect r, int State) {
    if (First) Over(FSec.Button1, FSec.Button1Name, FSec.Button1Mask, FSec.Button1Bg, FSec.Button1Hot, r, State);
    else Over(FSec.Button2, FSec.Button2Name, FSec.Button2Mask, FSec.Button2Bg, FSec.Button2Hot, r, State);
    const int len = FV ? r.Height() : r.Width(), da = std::min(DefaultArrow(), len);
    tk::TRect sq = r;
    int& end = FV ? (First ? sq.Bottom : sq.Top) : (First ? sq.Right : sq.Left);
    end = First ? (FV ? sq.Top : sq.Left) + da : (FV ? sq.Bottom : sq.Right) - da;
    Glyph(First ? FSec.Arrow1 : FSec.Arrow2, sq, State);
  }
  void Thumb(tk::TRect r) {
    Over(FSec.Slider, FSec.SliderName, FSec.SliderMask, FSec.SliderBg, FSec.SliderHot, r, FLook.Thumb);
    Glyph(FSec.SliderGlyph, r, FLook.Thumb);
  }

  const TkxSkinContent& FSkin;
  bool FV;
  TBarLook FLook;
  TBarSections FSec;
  tk::TPoint FOrigin;
  std::unique_ptr<tk::TBitmap> FBmp;
};

// A disabled bar fades into the window's background.
void FadeInactive(tk::TBitmap* bmp, HWND h, const TkxScrollWnd& a, tk::TPoint Origin) {
  TBackgroundQuery q;
  WindowBackground(h, q);
  const tk::TRect all{0, 0, bmp->Width() - 1, bmp->Height() - 1};
  if (q.Kind == kxBGBitmap && q.Bmp) {
    const tk::TRect src{q.X + Origin.X, q.Y + Origin.Y, q.X + Origin.X + all.Right, q.Y + Origin.Y + all.Bottom};
    BlendFromBitmap(bmp, 0, 0, tk::TColor(0xFF000000), 0.4, src, q.Bmp);
  } else {
    BlendRectWithColor(bmp, all, 60, BackgroundColor(q, a));
  }
}

struct TPaintRequest {
  int ThumbOverride = -1;  // thumb start in bar coordinates, -1 none
  int Pressed = -1;        // pressed part of this bar
  bool Dragging = false;   // the thumb is being dragged: the drag's own look
};

void PaintBar(TkxScrollWnd& a, TkxScrollBar& bar, HDC dc, const TPaintRequest& rq) {
  if (a.fThumbTracking && !rq.Dragging) return;
  const TkxSkinContent* skin = SkinOf(a);
  if (!skin || !bar.fScrollVisible) return;
  const bool v = bar.Vertical();
  if (!skin->IsValidSkinIndex(v ? skin->ConstData.IndexScrollBar1V : skin->ConstData.IndexScrollBar1H)) return;
  if (v && a.DontRepaint && !rq.Dragging) return;
  const HWND h = a.CtrlHandle;
  const tk::TRect wr = WindowRect(h);
  tk::TRect r = BarRectOf(a, bar.nBarType);
  r.Offset(-wr.Left, -wr.Top);
  const int len = v ? r.Height() : r.Width();
  if (len <= 1) return;
  ReadInfo(bar);
  const TkxScrollTracking& t = ScrollTracking;
  const int b = BarMetric(bar, 0, true);
  bool active = BarIsActive(bar);
  if (tk::TControl* c = a.SkinData ? a.SkinData->FOwnerControl : nullptr) active = active && c->Enabled();

  TBarLook look;
  look.Width = r.Width();
  look.Height = r.Height();
  look.Active = active;
  look.Generation = skin->Generation;
  const bool cur = t.CurWnd == h;
  const int pressed = cur ? rq.Pressed : -1;
  const bool hovered = cur && t.HoverBar == bar.nBarType && active;
  auto arrowState = [&](int part) { return pressed == part ? 2 : (hovered && t.HoverPart == part ? 1 : 0); };
  if (!rq.Dragging) {
    look.Arrow1 = arrowState(sbpArrow1);
    look.Arrow2 = arrowState(sbpArrow2);
    look.Track1 = pressed == sbpTrackBefore ? 2 : 0;
    look.Track2 = pressed == sbpTrackAfter ? 2 : 0;
    look.Thumb = hovered && t.HoverPart == sbpThumb ? 1 : 0;
  } else {
    look.Thumb = 2;
  }
  const TkxThumb th = ThumbGeometry(bar.Values(), r);
  look.ThumbLength = th.Length;
  look.ThumbStart = rq.ThumbOverride >= 0 ? rq.ThumbOverride : th.Start - (v ? r.Top : r.Left);
  look.ShowThumb = active && ThumbFits(bar.Values(), len - 2 * b);

  TBackgroundQuery q;
  const TCacheInfo ci = WindowBackground(h, q);
  look.Background = ci.Ready ? kxKeyColor : ci.FillColor;
  // A bar over a picture is composed every time; over a colour its look is
  // the key of the kept bitmap.
  if (!bar.Cache) bar.Cache = std::make_shared<TkxScrollBar::TCache>();
  TkxScrollBar::TCache& cache = *bar.Cache;
  if (ci.Ready || !cache.Bmp || !(cache.Key == look)) {
    auto bmp = TBarComposer(*skin, v, look, tk::TPoint{r.Left, r.Top}).Compose(ci, b);
    if (!active) FadeInactive(bmp.get(), h, a, tk::TPoint{r.Left, r.Top});
    cache.Bmp = std::move(bmp);
    cache.Key = ci.Ready ? TBarLook{} : look;
  }
  tk::detail::FlushPixelStore();
  ::BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), cache.Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The size grip is drawn in the corner box when the window's corner lies on
// its top-level parent's client corner.
bool GripApplies(const TkxScrollWnd& a) {
  const HWND parent = ::GetParent(a.CtrlHandle);
  if (!parent || (::GetWindowLongW(parent, GWL_STYLE) & WS_CHILD)) return false;
  RECT pc{};
  ::GetClientRect(parent, &pc);
  POINT corner{a.fLeftScrollbar ? pc.left : pc.right, pc.bottom};
  ::ClientToScreen(parent, &corner);
  const tk::TRect w = WindowRect(a.CtrlHandle);
  return corner.x == (a.fLeftScrollbar ? w.Left : w.Right) && corner.y == w.Bottom;
}

tk::TRect CornerRect(const TkxScrollWnd& a) {
  const tk::TRect v = VertBarRect(a), h = HorzBarRect(a);
  return tk::TRect{v.Left, h.Top, v.Right, h.Bottom};
}

void PaintCorner(TkxScrollWnd& a, HDC dc) {
  const TkxSkinContent* skin = SkinOf(a);
  if (!skin) return;
  const tk::TRect wr = WindowRect(a.CtrlHandle);
  tk::TRect r = CornerRect(a);
  r.Offset(-wr.Left, -wr.Top);
  if (r.IsEmpty()) return;
  auto bmp = NewBitmap24(r.Width(), r.Height());
  tk::detail::FlushPixelStore();
  TBackgroundQuery q;
  WindowBackground(a.CtrlHandle, q);
  const tk::TRect all{0, 0, r.Width() - 1, r.Height() - 1};
  if (q.Kind == kxBGBitmap && q.Bmp)
    BlendFromBitmap(bmp.get(), 0, 0, tk::TColor(0xFF000000), 0.0,
                    tk::TRect{q.X + r.Left, q.Y + r.Top, q.X + r.Left + all.Right, q.Y + r.Top + all.Bottom}, q.Bmp);
  else BlendRectWithColor(bmp.get(), all, 0, BackgroundColor(q, a));
  if (GripApplies(a)) {
    const int grip = skin->GetMaskIndex(L"GLOBALINFO", L"GRIPIMAGE");
    if (skin->IsValidImgIndex(grip)) {
      const TsMaskData& m = skin->ma[size_t(grip)];
      const tk::TSize f = FrameOf(m);
      DrawMaskImage(bmp.get(), tk::TPoint{r.Width() - f.cx, r.Height() - f.cy}, 0, MakeCacheInfo(bmp.get()), m,
                    mimOpaque);
    }
  }
  tk::detail::FlushPixelStore();
  ::BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

int PressedOn(const TkxScrollBar& bar) {
  const TkxScrollTracking& t = ScrollTracking;
  return t.PressedBar == bar.nBarType ? t.PressedPartUnderMouse : -1;
}

// The messages after which the window has set its scroll information and so
// drawn the system bar over the skinned one (see the notes on the edit
// control under Wine): typing, clipboard and undo, text and selection
// changes, scrolling of every kind, size and font changes, and the mouse
// selecting text.
bool RedrawsSystemBar(const tk::TMessage& m, HWND h) {
  switch (m.Msg) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_IME_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_SIZE:
    case WM_ENABLE:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case EM_UNDO:
    case EM_SETSEL:
    case EM_REPLACESEL:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
    case EM_SETRECT:
    case EM_SETHANDLE:
    case tk::CM_MOUSEWHEEL:
    case tk::CM_FOCUSCHANGED:
    // Wine's default handling draws the system bar afresh when the pointer
    // leaves the frame, to clear the bar's hover look.
    case WM_NCMOUSELEAVE: return true;
    case WM_MOUSEMOVE: return ::GetCapture() == h;
    default: return false;
  }
}

}  // namespace

// --- Bars ---------------------------------------------------------------------------------

TkxBarValues TkxScrollBar::Values() const {
  TkxBarValues v;
  v.Vertical = Vertical();
  v.ArrowLength = BarMetric(*this, 0, false);
  v.MinThumbSize = nMinThumbSize;
  v.Min = ScrollInfo.nMin;
  v.Max = ScrollInfo.nMax;
  v.Page = ScrollInfo.nPage;
  v.Pos = ScrollInfo.nPos;
  return v;
}

int BarMetric(const TkxScrollBar& Bar, int Metric, bool UseSkin) {
  if (Metric == 1)
    return ScaledBarSize(Bar.nArrowWidth, ::GetSystemMetrics(Bar.Vertical() ? SM_CXVSCROLL : SM_CYHSCROLL));
  int unit = DefaultArrow();
  const TkxSkinContent* skin = UseSkin && Bar.sw ? SkinOf(*Bar.sw) : nullptr;
  if (Bar.nArrowLength < 0 && skin) {
    // A skin may ask for arrow buttons as long as its wider pictures.
    const TConstantSkinData& c = skin->ConstData;
    const int mask = Bar.Vertical() ? c.MaskScrollTop : c.MaskScrollLeft;
    if (skin->IsValidSkinIndex(c.IndexScrollLeft) && skin->gd[size_t(c.IndexScrollLeft)].ReservedBoolean &&
        skin->IsValidImgIndex(c.MaskScrollLeft) && skin->IsValidImgIndex(mask)) {
      const tk::TSize f = FrameOf(skin->ma[size_t(mask)]);
      unit = std::max(unit, Bar.Vertical() ? f.cy : f.cx);
    }
  }
  return ScaledBarSize(Bar.nArrowLength, unit);
}

tk::TRect HorzBarRect(const TkxScrollWnd& a) {
  const tk::TRect w = WindowRect(a.CtrlHandle);
  const int th = Visible(a.sBarHorz.get()) ? BarMetric(*a.sBarHorz, 1, false) : 0;
  const int vth = Visible(a.sBarVert.get()) ? BarMetric(*a.sBarVert, 1, false) : 0;
  tk::TRect r;
  r.Bottom = w.Bottom - a.cyBottomEdge;
  r.Top = r.Bottom - th;
  r.Left = w.Left + a.cxLeftEdge + (a.fLeftScrollbar ? vth : 0);
  r.Right = w.Right - a.cxRightEdge - (a.fLeftScrollbar ? 0 : vth);
  return r;
}

tk::TRect VertBarRect(const TkxScrollWnd& a) {
  const tk::TRect w = WindowRect(a.CtrlHandle);
  const int th = Visible(a.sBarVert.get()) ? BarMetric(*a.sBarVert, 1, false) : 0;
  const int hth = Visible(a.sBarHorz.get()) ? BarMetric(*a.sBarHorz, 1, false) : 0;
  tk::TRect r;
  r.Top = w.Top + a.cyTopEdge;
  r.Bottom = w.Bottom - a.cyBottomEdge - hth;
  if (a.fLeftScrollbar) {
    r.Left = w.Left + a.cxLeftEdge;
    r.Right = r.Left + th;
  } else {
    r.Right = w.Right - a.cxRightEdge;
    r.Left = r.Right - th;
  }
  return r;
}

bool BarIsActive(const TkxScrollBar& Bar) {
  if (!Bar.sw) return false;
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof sbi;
  if (!::GetScrollBarInfo(Bar.sw->CtrlHandle, Bar.Vertical() ? OBJID_VSCROLL : OBJID_HSCROLL, &sbi)) return false;
  if (sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) return false;
  // EnableScrollBar(ESB_DISABLE_BOTH) shows only in the two arrows' states.
  return !((sbi.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) && (sbi.rgstate[5] & STATE_SYSTEM_UNAVAILABLE));
}

void SendScrollCommand(HWND h, uint32_t Msg, int Code, int Pos) {
  const intptr_t what = MAKELONG(Code, Msg);
  intptr_t lp = Pos;
  if (SendCommand(h, KX_SCROLLSTART, what) != 1) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = Pos;
    if (Code == SB_THUMBTRACK) ::SetScrollInfo(h, Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si, FALSE);
    lp = 0;
  }
  ::SendMessageW(h, Msg, MAKEWPARAM(Code, std::clamp(Pos, 0, 0xFFFF)), lp);
  SendCommand(h, KX_SCROLLDONE, what);
}

void RefreshBars(TkxScrollWnd* a, bool Repaint) {
  if (!a || a->Destroyed || !::IsWindowVisible(a->CtrlHandle)) return;
  if (a->SkinData && a->SkinData->IsUpdating()) return;
  if (a->sBarHorz) ReadInfo(*a->sBarHorz);
  if (a->sBarVert) ReadInfo(*a->sBarVert);
  if (Repaint && !AnimationFlag()) PaintBars(a, a->CtrlHandle, nullptr);
}

void PaintBars(TkxScrollWnd* a, HWND h, HDC DC) {
  if (!a || !SkinOf(*a)) return;
  if (TsCommonData* d = a->SkinData) {
    if (d->IsUpdating()) return;
    if (d->FOwnerControl && d->FOwnerControl->ControlState().Contains(tk::csCreating)) return;
  }
  if (!::IsWindowVisible(h)) return;
  if (a->SkinData && a->SkinData->BGChanged) SendCommand(h, KX_BUILDCACHE);
  std::optional<tk::TWindowDC> own;
  if (!DC) DC = own.emplace(h, true).Get();
  if (Visible(a->sBarHorz.get())) PaintBar(*a, *a->sBarHorz, DC, TPaintRequest{-1, PressedOn(*a->sBarHorz), false});
  if (Visible(a->sBarVert.get())) PaintBar(*a, *a->sBarVert, DC, TPaintRequest{-1, PressedOn(*a->sBarVert), false});
  if (Visible(a->sBarHorz.get()) && Visible(a->sBarVert.get())) PaintCorner(*a, DC);
}

// --- Attaching ----------------------------------------------------------------------------

void AttachScrollBars(TkxScrollWnd* a, HWND h, bool Redraw) {
  a->sBarHorz = std::make_unique<TkxScrollBar>(a, uint16_t(SB_HORZ));
  a->sBarVert = std::make_unique<TkxScrollBar>(a, uint16_t(SB_VERT));
  a->CtrlHandle = h;
  ReadInfo(*a->sBarHorz);
  ReadInfo(*a->sBarVert);
  a->fLeftScrollbar = (::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  const LONG style = ::GetWindowLongW(h, GWL_STYLE);
  if (style & WS_HSCROLL) a->sBarHorz->fScrollFlags |= kxBarStyled;
  if (style & WS_VSCROLL) a->sBarVert->fScrollFlags |= kxBarStyled;
  a->bPreventStyleChange = false;
  a->TkxMainWnd::Attach();  // the property and the subclassing
  if (Redraw) RedrawFrame(h, true);
}

void DetachScrollBars(HWND h, bool FreeAdapter, bool Redraw, TkxScrollWnd*& a) {
  if (!a) return;
  if (!a->Destroyed) {
    ForgetTracking(h);
    a->fThumbTracking = false;
    TkxMainWnd* base = a;
    TkxMainWnd::UnsubclassWindow(h, false, Redraw, base);
    a->sBarHorz.reset();
    a->sBarVert.reset();
  }
  if (FreeAdapter) {
    delete a;
    a = nullptr;
  }
}

TkxScrollWnd::~TkxScrollWnd() {
  if (Destroyed) return;
  TkxScrollWnd* self = this;
  DetachScrollBars(CtrlHandle, false, true, self);
}

void TkxScrollWnd::Attach() { AttachScrollBars(this, CtrlHandle, Repaint()); }

// --- Messages -----------------------------------------------------------------------------

namespace {

bool IsLinePart(int Part) { return Part >= sbpArrow1 && Part <= sbpTrackAfter; }

// The part under p on the pressed bar follows the mouse: the repeat pauses
// and the part is drawn unpressed while the mouse is elsewhere.
void FollowPressedPart(TkxScrollWnd& a, tk::TPoint p) {
  TkxScrollTracking& t = ScrollTracking;
  TkxScrollBar* bar = BarOf(a, t.PressedBar);
  if (!bar || !IsLinePart(t.PressedPart)) return;
  const int under = BarPart(bar->Values(), BarRectOf(a, t.PressedBar), p) == t.PressedPart ? t.PressedPart : -1;
  if (under == t.PressedPartUnderMouse) return;
  t.PressedPartUnderMouse = under;
  PaintBars(&a, a.CtrlHandle, nullptr);
}

// The dragged look: the thumb pressed at Start (bar coordinates).
void PaintDraggedBar(TkxScrollWnd& a, TkxScrollBar& bar, int Start) {
  tk::TWindowDC dc(a.CtrlHandle, true);
  PaintBar(a, bar, dc, TPaintRequest{Start, -1, true});
}

void DragThumb(TkxScrollWnd& a, tk::TPoint p) {
  TkxScrollTracking& t = ScrollTracking;
  TkxScrollBar* bar = BarOf(a, t.PressedBar);
  if (!bar) return;
  const bool v = bar->Vertical();
  const int arrow = BarMetric(*bar, 0, false);
  const int first = (v ? t.ThumbBounds.Top : t.ThumbBounds.Left);
  const int trackStart = first + arrow, trackEnd = (v ? t.ThumbBounds.Bottom : t.ThumbBounds.Right) - arrow;
  const int start = DraggedThumbStart(v ? p.Y : p.X, t.ThumbMouseOffset, t.ThumbSize, trackStart, trackEnd);
  const int pos = DraggedPosition(bar->Values(), start - trackStart, trackEnd - trackStart, t.ThumbSize);
  if (pos != t.LastTrackPos) {
    bar->ScrollInfo.nTrackPos = pos;
    {
      TkxFlagScope quiet(a.DontRepaint);
      SendScrollCommand(a.CtrlHandle, t.ScrollMsg, SB_THUMBTRACK, pos);
    }
    t.LastTrackPos = pos;
  }
  // After the command: the window's scrolling drew the system bar.
  PaintDraggedBar(a, *bar, start - first);
}

// Ends a press, by the button's release or by the capture taken away: the
// repeat stops, the window hears the end of the scroll, the bar is drawn
// released. The state is cleared first, so the capture change that our
// own ReleaseCapture causes finds nothing to end.
void EndPress(TkxScrollWnd& a) {
  TkxScrollTracking& t = ScrollTracking;
  const HWND h = a.CtrlHandle;
  const int part = t.PressedPart;
  const uint32_t msg = t.ScrollMsg;
  t.PressedPart = t.PressedPartUnderMouse = t.PressedBar = -1;
  t.ScrollMsg = 0;
  t.RepeatTimer = 0;
  KillTimers(h);
  if (::GetCapture() == h) ::ReleaseCapture();
  {
    TkxFlagScope quiet(a.DontRepaint);
    if (IsLinePart(part)) {
      SendScrollCommand(h, msg, SB_ENDSCROLL, 0);
    } else if (part == sbpThumb) {
      SendScrollCommand(h, msg, SB_THUMBPOSITION, t.LastTrackPos);
      a.fThumbTracking = false;
      SendScrollCommand(h, msg, SB_ENDSCROLL, t.LastTrackPos);
    }
  }
  a.fThumbTracking = false;
  RefreshBars(&a, true);
}

}  // namespace

void TkxScrollWnd::kxWndProc(tk::TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE: return WMNCCalcSize(m);
    case WM_NCHITTEST: return WMNCHitTest(m);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: return WMNCLButtonDown(m);
    case WM_NCMOUSEMOVE: WMNCMouseMove(m); break;
    case WM_MOUSEMOVE:
      if (WMMouseMove(m)) return;
      break;
    case WM_LBUTTONUP:
      if (WMLButtonUp(m)) return;
      break;
    case WM_TIMER: return WMTimer(m);
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (ScrollTracking.CurWnd == CtrlHandle && ScrollTracking.PressedPart != -1 &&
          (m.Msg == WM_CANCELMODE || reinterpret_cast<HWND>(m.LParam) != CtrlHandle))
        EndPress(*this);
      break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      if (!OnBar(m)) break;
      m.Result = 0;
      return;
    case WM_SYSCOMMAND:
      if (m.WParam == 0xF077) return;  // the system's scroll-bar tracking command
      break;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED: return WMStyleChanged(m);
    case WM_NCPAINT: return WMNCPaint(m);
    case WM_DESTROY:
    case WM_NCDESTROY: return WMDestroy(m);
    default: break;
  }
  // The owner may free the adapter while it handles the message.
  const std::weak_ptr<bool> token = FAlive;
  TkxMainWnd::kxWndProc(m);
  if (Alive(token)) AfterMessage(m);
}

bool TkxScrollWnd::OnBar(const tk::TMessage& m) const { return m.WParam == HTHSCROLL || m.WParam == HTVSCROLL; }

void TkxScrollWnd::AfterMessage(const tk::TMessage& m) {
  if (Destroyed || DontRepaint || fThumbTracking) return;
  if (RedrawsSystemBar(m, CtrlHandle)) RefreshBars(this, true);
}

// The system would reserve room for its bars and draw them; the styles are
// hidden from its calculation and the same room reserved here.
void TkxScrollWnd::WMNCCalcSize(tk::TMessage& m) {
  auto* r = reinterpret_cast<RECT*>(m.LParam);
  const RECT old = r ? *r : RECT{};
  const LONG style = ::GetWindowLongW(CtrlHandle, GWL_STYLE);
  if (style & (WS_VSCROLL | WS_HSCROLL)) {
    TkxFlagScope prevent(bPreventStyleChange);
    ::SetWindowLongW(CtrlHandle, GWL_STYLE, style & ~(WS_VSCROLL | WS_HSCROLL));
    struct TRestore {
      HWND h;
      LONG s;
      ~TRestore() { ::SetWindowLongW(h, GWL_STYLE, s); }
    } restore{CtrlHandle, style};
    CallPrevWndProc(m);
  } else {
    CallPrevWndProc(m);
  }
  if (!r || !sBarHorz || !sBarVert) return;
  cxLeftEdge = r->left - old.left;
  cxRightEdge = old.right - r->right;
  cyTopEdge = r->top - old.top;
  cyBottomEdge = old.bottom - r->bottom;
  TkxScrollBar& hb = *sBarHorz;
  hb.fScrollFlags = (style & WS_HSCROLL) ? (hb.fScrollFlags | kxBarStyled) : (hb.fScrollFlags & ~kxBarStyled);
  const int hth = BarMetric(hb, 1, false);
  hb.fScrollVisible = (hb.fScrollFlags & kxBarStyled) && r->bottom - r->top >= hth;
  if (hb.fScrollVisible) r->bottom -= hth;
  TkxScrollBar& vb = *sBarVert;
  vb.fScrollFlags = (style & WS_VSCROLL) ? (vb.fScrollFlags | kxBarStyled) : (vb.fScrollFlags & ~kxBarStyled);
  const int vth = BarMetric(vb, 1, false);
  vb.fScrollVisible = (vb.fScrollFlags & kxBarStyled) && r->right - r->left >= vth;
  if (vb.fScrollVisible && fLeftScrollbar) r->left += vth;
  else if (vb.fScrollVisible) r->right -= vth;
}

void TkxScrollWnd::WMNCHitTest(tk::TMessage& m) {
  const tk::TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  if (Visible(sBarHorz.get()) && HorzBarRect(*this).Contains(p)) {
    m.Result = BarIsActive(*sBarHorz) ? HTHSCROLL : HTNOWHERE;
  } else if (Visible(sBarVert.get()) && VertBarRect(*this).Contains(p)) {
    m.Result = BarIsActive(*sBarVert) ? HTVSCROLL : HTNOWHERE;
  } else if (Visible(sBarHorz.get()) && Visible(sBarVert.get()) && CornerRect(*this).Contains(p) &&
             GripApplies(*this)) {
    m.Result = HTBOTTOMRIGHT;
  } else {
    CallPrevWndProc(m);
  }
}

void TkxScrollWnd::WMNCLButtonDown(tk::TMessage& m) {
  TkxScrollTracking& t = ScrollTracking;
  TkxScrollBar* bar = OnBar(m) ? BarOf(*this, m.WParam == HTVSCROLL ? 1 : 0) : nullptr;
  if (!bar) {
    t.PressedPart = -1;
    return CallPrevWndProc(m);
  }
  // Any press before (one whose release never came) ends here.
  if (t.PressedPart != -1 && t.CurWnd == CtrlHandle) EndPress(*this);
  const HWND h = CtrlHandle;
  t.CurWnd = h;
  t.ScrollMsg = bar->Vertical() ? WM_VSCROLL : WM_HSCROLL;
  t.PressedBar = bar->nBarType;
  ReadInfo(*bar);
  const tk::TRect br = BarRectOf(*this, bar->nBarType);
  const tk::TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  const int part = BarPart(bar->Values(), br, p);
  // A press on the bar never reaches the system's own bar tracking, which
  // would draw the system bar: parts that do nothing are swallowed.
  t.PressedPart = BarIsActive(*bar) ? part : -1;
  m.Result = 0;
  if (IsLinePart(t.PressedPart)) {
    t.PressedPartUnderMouse = part;
    PaintBars(this, h, nullptr);
    SendScrollCommand(h, t.ScrollMsg, part, 0);
    t.PressedPartUnderMouse = t.PressedPart;
    t.RepeatTimer = ::SetTimer(h, kxFirstRepeatTimer, 300, nullptr) ? kxFirstRepeatTimer : 0;
    RefreshBars(this, true);
  } else if (t.PressedPart == sbpThumb) {
    t.ThumbBounds = br;
    const TkxThumb th = ThumbGeometry(bar->Values(), br);
    t.ThumbSize = th.Length;
    t.ThumbPos = th.Start;
    fThumbTracking = true;
    bar->ScrollInfo.nTrackPos = bar->ScrollInfo.nPos;
    t.ThumbMouseOffset = (bar->Vertical() ? p.Y : p.X) - t.ThumbPos;
    t.LastTrackPos = bar->ScrollInfo.nPos;
    PaintDraggedBar(*this, *bar, th.Start - (bar->Vertical() ? br.Top : br.Left));
  } else {
    t.PressedPart = -1;
  }
  if (t.PressedPart != -1) ::SetCapture(h);
}

void TkxScrollWnd::WMNCMouseMove(tk::TMessage& m) {
  if (!OnBar(m)) return;
  TkxScrollTracking& t = ScrollTracking;
  const int barType = m.WParam == HTVSCROLL ? 1 : 0;
  if (t.CurWnd != CtrlHandle && t.CurWnd && t.HoverTimer) {
    // Another window's hover ends where this one's begins.
    ::KillTimer(t.CurWnd, kxHoverTimer);
    t.HoverTimer = 0;
    t.HoverBar = -1;
  }
  t.CurWnd = CtrlHandle;
  if (barType == t.HoverBar) return;
  t.LastHoverPart = t.HoverPart = -1;
  t.HoverRect = BarRectOf(*this, barType);
  t.HoverBar = barType;
  t.HoverTimer = ::SetTimer(CtrlHandle, kxHoverTimer, 20, nullptr) ? kxHoverTimer : 0;
  PaintBars(this, CtrlHandle, nullptr);
}

bool TkxScrollWnd::WMMouseMove(tk::TMessage& m) {
  TkxScrollTracking& t = ScrollTracking;
  if (t.CurWnd != CtrlHandle || t.PressedPart == -1) return false;
  if (fThumbTracking) DragThumb(*this, ScreenPointOf(CtrlHandle, m));
  else FollowPressedPart(*this, ScreenPointOf(CtrlHandle, m));
  return true;
}

bool TkxScrollWnd::WMLButtonUp(tk::TMessage&) {
  TkxScrollTracking& t = ScrollTracking;
  if (t.CurWnd != CtrlHandle || t.PressedPart == -1) return false;
  EndPress(*this);
  return false;  // the window sees its button-up as well
}

void TkxScrollWnd::WMTimer(tk::TMessage& m) {
  TkxScrollTracking& t = ScrollTracking;
  const HWND h = CtrlHandle;
  switch (m.WParam) {
    case kxFirstRepeatTimer:
      ::KillTimer(h, kxFirstRepeatTimer);
      t.RepeatTimer = 0;
      if (t.CurWnd == h && IsLinePart(t.PressedPart))
        t.RepeatTimer = ::SetTimer(h, kxRepeatTimer, 55, nullptr) ? kxRepeatTimer : 0;
      break;
    case kxRepeatTimer:
      if (t.CurWnd != h || !IsLinePart(t.PressedPart)) {
        ::KillTimer(h, kxRepeatTimer);
        break;
      }
      FollowPressedPart(*this, CursorPos());
      if (t.PressedPartUnderMouse != -1) {
        TkxFlagScope quiet(DontRepaint);
        SendScrollCommand(h, t.ScrollMsg, t.PressedPartUnderMouse, 0);
      }
      break;
    case kxHoverTimer:
      if (t.CurWnd != h || t.HoverBar == -1) {
        ::KillTimer(h, kxHoverTimer);
        break;
      }
      if (fThumbTracking) break;
      if (TkxScrollBar* bar = BarOf(*this, t.HoverBar); bar && t.HoverRect.Contains(CursorPos())) {
        t.HoverPart = BarPart(bar->Values(), t.HoverRect, CursorPos());
        if (t.HoverPart != t.LastHoverPart) PaintBars(this, h, nullptr);
        t.LastHoverPart = t.HoverPart;
      } else {
        ::KillTimer(h, kxHoverTimer);
        t.HoverTimer = 0;
        t.HoverBar = t.LastHoverPart = t.HoverPart = -1;
        PaintBars(this, h, nullptr);
      }
      break;
    default: CallPrevWndProc(m); break;
  }
  if (!DontRepaint && !fThumbTracking) RefreshBars(this, true);
}

void TkxScrollWnd::WMNCPaint(tk::TMessage& m) {
  // Default first: the system's frame (and its bar, where the style shows
  // one), then the skinned bars over it.
  CallPrevWndProc(m);
  if (::IsWindowVisible(CtrlHandle) && !DontRepaint && !(SkinData && SkinData->IsUpdating()))
    PaintBars(this, CtrlHandle, nullptr);
}

void TkxScrollWnd::WMStyleChanged(tk::TMessage& m) {
  // The frame calculation hides and restores the scroll styles; the window
  // hears nothing of it.
  if (bPreventStyleChange) {
    m.Result = 0;
    return;
  }
  if (m.Msg == WM_STYLECHANGED && static_cast<int>(m.WParam) == GWL_EXSTYLE && m.LParam)
    fLeftScrollbar = (reinterpret_cast<const STYLESTRUCT*>(m.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
  TkxMainWnd::kxWndProc(m);
}

void TkxScrollWnd::WMDestroy(tk::TMessage& m) {
  ForgetTracking(CtrlHandle);
  TkxMainWnd::kxWndProc(m);  // the window's own handling, then the adapter lets go
  sBarHorz.reset();
  sBarVert.reset();
}

}  // namespace kx
