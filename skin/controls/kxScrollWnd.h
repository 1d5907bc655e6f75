// TkxScrollWnd: the adapter of a scrollable window, whose system scroll bars
// it replaces by bars drawn from the skin. The window keeps its
// WS_HSCROLL/WS_VSCROLL styles and its scroll information (GetScrollInfo
// stays the source of truth); the adapter hides the styles from the
// window's own frame calculation, reserves the same room itself, paints
// there, and turns clicks and drags into WM_HSCROLL/WM_VSCROLL. Scrollable
// adapters (the editor's among them) derive from it.
//
// Ownership: the adapter owns its two TkxScrollBar records; the rest as for
// TkxMainWnd. The press, drag and hover state is engine-wide
// (ScrollTracking): one bar in the process can be pressed or hovered at a
// time. Windows only; UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "skin/controls/kxMainWnd.h"
#include "skin/framework/kxScrollGeometry.h"

namespace kx {

class TkxScrollWnd;

// The window's scroll information, laid out as the system's SCROLLINFO.
struct TkxScrollInfo {
  uint32_t cbSize = sizeof(TkxScrollInfo);
  uint32_t fMask = 0;
  int nMin = 0;
  int nMax = 0;
  uint32_t nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// fScrollFlags: the window style shows the bar.
constexpr uint16_t kxBarStyled = 8;

class TkxScrollBar {
 public:
  TkxScrollBar(TkxScrollWnd* Owner, uint16_t BarType) : nBarType(BarType), sw(Owner) {}

  uint16_t fScrollFlags = 0;
  bool fScrollVisible = false;  // has room and is shown (each frame calculation)
  TkxScrollInfo ScrollInfo;
  int nArrowLength = -1;  // negative -k: k default arrow lengths
  int nArrowWidth = -1;   // negative -k: k system bar thicknesses
  uint16_t nBarType;      // 0 SB_HORZ, 1 SB_VERT
  int nMinThumbSize = 10;
  TkxScrollWnd* sw;

  bool Vertical() const { return nBarType == 1; }
  // The values the geometry works on, with the plain arrow length.
  TkxBarValues Values() const;

  // The composed bar and what it was composed for: the window's own
  // scrolling makes the system draw its bar again and again for an
  // unchanged look, which is then copied, not composed anew.
  struct TCache;
  std::shared_ptr<TCache> Cache;
};

class TkxScrollWnd : public TkxMainWnd {
 public:
  TK_CLASS_NAME(TkxScrollWnd)
  using TkxMainWnd::TkxMainWnd;
  // Detaches (bars, timers and a press on them included) unless Destroyed.
  ~TkxScrollWnd() override;

  // Attaches the scroll bars (AttachScrollBars), which subclasses.
  void Attach() override;
  void kxWndProc(tk::TMessage& Message) override;

  uint16_t bars = 0;
  std::unique_ptr<TkxScrollBar> sBarHorz;
  std::unique_ptr<TkxScrollBar> sBarVert;
  bool fThumbTracking = false;
  bool fLeftScrollbar = false;
  int cxLeftEdge = 0, cxRightEdge = 0, cyTopEdge = 0, cyBottomEdge = 0;
  bool bPreventStyleChange = false;

 private:
  void WMNCCalcSize(tk::TMessage& m);
  void WMNCHitTest(tk::TMessage& m);
  void WMNCLButtonDown(tk::TMessage& m);
  void WMNCMouseMove(tk::TMessage& m);
  bool WMMouseMove(tk::TMessage& m);
  bool WMLButtonUp(tk::TMessage& m);
  void WMTimer(tk::TMessage& m);
  void WMNCPaint(tk::TMessage& m);
  void WMStyleChanged(tk::TMessage& m);
  void WMDestroy(tk::TMessage& m);
  bool OnBar(const tk::TMessage& m) const;
  // The system bar is drawn anew, over the skinned one, by every message
  // that makes the window set its scroll information.
  void AfterMessage(const tk::TMessage& m);
};

// Engine-wide press, drag and hover state (see the header's paragraph).
struct TkxScrollTracking {
  HWND CurWnd = nullptr;
  int HoverBar = -1, HoverPart = -1, LastHoverPart = -1;
  tk::TRect HoverRect;
  uintptr_t HoverTimer = 0;
  int PressedBar = -1, PressedPart = -1;
  int PressedPartUnderMouse = -1;
  uint32_t ScrollMsg = 0;
  uintptr_t RepeatTimer = 0;
  int ThumbSize = 0, ThumbPos = 0;
  tk::TRect ThumbBounds;
  int ThumbMouseOffset = 0;
  int LastTrackPos = 0;
};
inline TkxScrollTracking ScrollTracking;

// Timer identifiers of the bars (on the adapted window).
constexpr uintptr_t kxFirstRepeatTimer = 0xFFFD;  // 300 ms after the press
constexpr uintptr_t kxRepeatTimer = 0xFFFE;       // every 55 ms after that
constexpr uintptr_t kxHoverTimer = 0xFFF2;        // every 20 ms while hovered

// Creates both bars, reads their scroll information, sets the property and
// subclasses; with Redraw the frame is recalculated.
void AttachScrollBars(TkxScrollWnd* Adapter, HWND Handle, bool Redraw);
// Ends a press or hover on the window's bars, undoes the subclassing, frees
// the bars and gives the window its frame back (recalculated with Redraw,
// else repainted). FreeAdapter frees the adapter and clears the reference.
void DetachScrollBars(HWND Handle, bool FreeAdapter, bool Redraw, TkxScrollWnd*& Adapter);
// Re-reads both scroll infos of a visible, settled window; with Repaint the
// bars are painted.
void RefreshBars(TkxScrollWnd* Adapter, bool Repaint);
// Both bars and the corner box; DC null: the window DC.
void PaintBars(TkxScrollWnd* Adapter, HWND Handle, HDC DC);
// Metric 1: bar thickness; 0: arrow length (UseSkin: a skin's wider arrow
// pictures count).
int BarMetric(const TkxScrollBar& Bar, int Metric, bool UseSkin);
// The bars' screen rectangles.
tk::TRect HorzBarRect(const TkxScrollWnd& Adapter);
tk::TRect VertBarRect(const TkxScrollWnd& Adapter);
// Whether the bar reacts to the mouse and is drawn enabled.
bool BarIsActive(const TkxScrollBar& Bar);
// One scroll command: KX_SCROLLSTART, the scroll message, KX_SCROLLDONE.
void SendScrollCommand(HWND Handle, uint32_t Msg, int Code, int Pos);

}  // namespace kx
