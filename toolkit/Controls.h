// Controls: TControl (bounds, alignment, state, the message path),
// TWinControl (a control with a window), TGraphicControl (window-less,
// painted by its parent) and TCustomControl (a window with a canvas).
// UI thread only.
//
// Message path: every message for a control - from its window, from
// Perform, from SendMessage - enters through WindowProc, a replaceable
// method (object + member) that starts as the control's own WndProc.
// WndProc hands the message to Dispatch, which each class overrides with
// its own handlers and falls back to its base; the root ends in
// DefaultHandler, which for a windowed control calls the window class's
// original procedure. Messages sent during CreateWindowEx (even
// WM_GETMINMAXINFO before WM_NCCREATE) take the same path.
//
// Ownership: a TWinControl frees the child controls still parented to it
// when it goes; components are freed by their owner (see Classes.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Messages.h"
// Controls subclass foreign windows through object instances.
#include "toolkit/ObjectInstances.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace tk {

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TControlStateItem : uint8_t {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,   // the window is being created
  csPaintCopy,  // painted as a copy into another picture
  csCustomPaint,
  csDestroyingHandle,
  csDocking,
};
using TControlState = TSet<TControlStateItem>;

enum TControlStyleItem : uint8_t {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground,
};
using TControlStyle = TSet<TControlStyleItem>;

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TBiDiMode : uint8_t { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragKind : uint8_t { dkDrag, dkDock };
// Forms use all six; other controls only bsNone and bsSingle.
enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
// The system cursor for a TCursor (shared handle, never destroyed).
HCURSOR CursorHandle(TCursor c);

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TKeyEvent = TEvent<TObject*, uint16_t&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, wchar_t&>;
using TMouseWheelEvent = TEvent<TObject*, TShiftState, int, TPoint, bool&>;

// Shift state from a mouse message's WParam (MK_* bits) and the keyboard.
TShiftState MouseShiftState(uintptr_t WParam);
TShiftState KeyboardShiftState();
// Shift state from a key message's LParam (Alt from the context bit).
TShiftState KeyDataToShiftState(intptr_t KeyData);

// --- Layout arithmetic (pure) ------------------------------------------------------
// Lowers a size to the maximum, then raises it to the minimum (0 = no limit),
// so a minimum above the maximum wins.
void ClampSize(int& Width, int& Height, int MinWidth, int MinHeight, int MaxWidth, int MaxHeight);

// A child as alignment sees it.
struct TAlignItem {
  TAlign Align = alNone;
  bool Visible = true;
  TRect Bounds;
};
// The order in which the aligned children take the parent's space.
inline constexpr TAlign kAlignOrder[] = {alTop, alBottom, alLeft, alRight, alClient};
// Moves item Index to Wanted and returns where it went (its own limits may
// keep it from the wanted size).
using TAlignPlaceFn = std::function<TRect(size_t Index, const TRect& Wanted)>;
// Places the visible items aligned to Kind along their edge of Space, the one
// nearest the edge first, and takes from Space what each one occupies.
// Items' bounds follow what Place answered.
void AlignPass(TAlign Kind, std::vector<TAlignItem>& Items, TRect& Space, const TAlignPlaceFn& Place);

// DrawText flags for a reading order: right-aligned text turns left and
// left-aligned text turns right under right-to-left alignment; centred
// stays; right-to-left reading adds DT_RTLREADING.
uint32_t BiDiDrawTextFlags(TBiDiMode Mode, uint32_t Flags);

// Minimum and maximum size of a control; 0 = no limit. Applied bounds are
// raised to the minimum and lowered to the maximum.
class TSizeConstraints : public TPersistent {
 public:
  TK_CLASS_NAME(TSizeConstraints)
  explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
  int MinWidth() const { return FMinWidth; }
  int MinHeight() const { return FMinHeight; }
  int MaxWidth() const { return FMaxWidth; }
  int MaxHeight() const { return FMaxHeight; }
  void SetMinWidth(int v);
  void SetMinHeight(int v);
  void SetMaxWidth(int v);
  void SetMaxHeight(int v);
  TControl* Control() const { return FControl; }
  void Assign(const TPersistent* Source) override;
  // Clamps a size to the limits.
  void Apply(int& Width, int& Height) const;
  TNotifyEvent OnChange;

 private:
  void Change();
  TControl* FControl;
  int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// The window class part of TCreateParams (what RegisterClassW takes).
struct TWndClassInfo {
  uint32_t style = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
};

struct TCreateParams {
  String Caption;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  TWndClassInfo WindowClass;
  // Registered class name; the control's ClassName() by default.
  String WinClassName;
  // System class the window is built on ("EDIT", "BUTTON"); empty for our own.
  String SystemClassName;
};

// Filled by the menus unit: popping a popup menu up and offering it a key.
struct TPopupMenuHooks {
  // Shows Menu at screen point X, Y with PopupComponent; returns when it closed.
  void (*Popup)(TPopupMenu* Menu, TComponent* PopupComponent, int X, int Y) = nullptr;
  // True when the key message (WM_KEYDOWN / WM_SYSKEYDOWN) was one of
  // Menu's shortcuts and its item ran.
  bool (*IsShortCut)(TPopupMenu* Menu, TMessage& KeyMsg) = nullptr;
  // The menu as a component, for free notification.
  TComponent* (*AsComponent)(TPopupMenu* Menu) = nullptr;
};
extern TPopupMenuHooks PopupMenuHooks;

class TControl : public TComponent {
 public:
  TK_CLASS_NAME(TControl)
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;

  // --- Message path -----------------------------------------------------
  // Where every message enters; replace it to intercept, call the saved one
  // to pass on.
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);
  // Delivers a message through WindowProc now and returns its Result.
  intptr_t Perform(uint32_t Msg, uintptr_t WParam = 0, intptr_t LParam = 0);

  // --- Parent and bounds -------------------------------------------------
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  virtual bool HasParent() const { return FParent != nullptr; }

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  // One move and resize; constraints applied, the window moved, the parent
  // realigned.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }
  void SetClientWidth(int v);
  void SetClientHeight(int v);
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint P);
  TPoint ScreenToClient(TPoint P);

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign v);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors v) { FAnchors = v; }
  TSizeConstraints* Constraints() { return &FConstraints; }

  // --- Appearance and state ---------------------------------------------
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool v);
  TFont* Font() { return &FFont; }
  void SetFont(const TFont* v) { FFont.Assign(v); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool v);
  // Caption and Text are one property (the window text for windows).
  String Caption() { return GetText(); }
  void SetCaption(const String& v) { SetText(v); }
  String Text() { return GetText(); }
  void SetText(const String& v);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v);
  const String& Hint() const { return FHint; }
  void SetHint(const String& v) { FHint = v; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v) { FShowHint = v; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* v);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode v);
  bool UseRightToLeftAlignment() const;
  bool UseRightToLeftReading() const;
  // Adds DT_RIGHT / DT_RTLREADING as the reading order asks; identity for
  // a left-to-right control.
  uint32_t DrawTextBiDiModeFlags(uint32_t Flags) const;
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind v) { FDragKind = v; }
  TObject* Action() const { return FAction; }
  void SetAction(TObject* v) { FAction = v; }

  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState v) { FControlState = v; }
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle v) { FControlStyle = v; }

  bool MouseCapture() const;
  void SetMouseCapture(bool v);
  // True for the control under the mouse (set by the mouse enter/leave logic).
  bool MouseInClient() const { return FMouseInClient; }

  // --- Painting ----------------------------------------------------------
  virtual void Invalidate();
  // Invalidate and paint at once.
  virtual void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // --- Mouse -------------------------------------------------------------
  virtual void Click();
  virtual void DblClick();
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;

  // The form a control sits on (top-level parent), or null.
  TCustomForm* GetParentForm() const;

  void Loaded() override;

 protected:
  virtual String GetText();
  virtual void TextChanged() {}
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void Resize();
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
  virtual void Notification(TComponent* AComponent, TOperation Operation) override;
  // Tells the parent that this control's place in the alignment changed.
  virtual void RequestAlign();
  // The parent's font/colour changed (used with ParentFont / ParentColor).
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();
  // Text of a window-less control (and of a window not yet created).
  String FText;

  // Updates bounds without moving any window (used by handles and realign).
  void UpdateBoundsRect(const TRect& R);
  bool ApplyConstraints(int& Width, int& Height);

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  TFont FFont;
  bool FParentFont = true;
  TControlState FControlState;
  TControlStyle FControlStyle;

 private:
  friend class TWinControl;
  void FontChanged(TObject* Sender);
  void DispatchMouse(TMessage& Message);
  void WMContextMenu(TMessage& Message, TPoint ScreenPos);
  void CMMouseEnterLeave(TMessage& Message);

  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TSizeConstraints FConstraints{this};
  TCursor FCursor = crDefault;
  String FHint;
  bool FShowHint = false;
  TPopupMenu* FPopupMenu = nullptr;
  TBiDiMode FBiDiMode = bdLeftToRight;
  TDragKind FDragKind = dkDrag;
  TObject* FAction = nullptr;
  bool FMouseInClient = false;
  bool FSettingFont = false;
};

class TWinControl : public TControl {
 public:
  TK_CLASS_NAME(TWinControl)
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // --- Window ------------------------------------------------------------
  // The window, created with the parent chain on first use.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // A foreign parent window for a control without a parent control.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND v);
  // Destroys and creates the window again (text and state kept by the
  // control's own handlers); deferred until shown when no window exists.
  void RecreateWnd();
  // The window class's original procedure (for CallWindowProcW).
  void* DefWndProc() const { return FDefWndProc; }
  // Visible, and every parent showing (the window's visibility follows it).
  bool Showing() const { return FShowing; }

  // --- Children ----------------------------------------------------------
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int Index) const { return FControls.at(Index); }
  bool ContainsControl(const TControl* Control) const;
  // The visible (or any) child under a client point, topmost first.
  TControl* ControlAtPos(TPoint P, bool AllowDisabled, bool AllowWinControls = false);
  // Perform to every child until one answers non-zero.
  void Broadcast(TMessage& Message);
  int IndexOfControl(const TControl* Control) const;
  void SetChildOrder(TControl* Child, int Order);

  // --- Alignment -----------------------------------------------------------
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  void Realign();
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int v);

  // --- Focus and keyboard ---------------------------------------------------
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool v) { FTabStop = v; }
  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int v) { FTabOrder = v; }
  // Visible and enabled up the whole parent chain.
  virtual bool CanFocus();
  bool Focused();
  virtual void SetFocus();
  // The window control after (or before) Current among this control's
  // descendants in tab order (TabOrder, then creation order, depth first)
  // that can take the focus and, with CheckTabStop, is a tab stop; wraps
  // around. Null when there is none other than Current.
  TWinControl* FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop);
  // True when the control takes the Tab key itself instead of moving the focus.
  virtual bool WantsTab();
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TMouseWheelEvent OnMouseWheel;

  // --- Painting -------------------------------------------------------------
  // Paints this control and its children into DC at X, Y (WM_PRINT path);
  // meanwhile they carry the paint-copy mark (csPaintCopy).
  void PaintTo(HDC DC, int X, int Y);
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }
  bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
  void SetParentBackground(bool v);
  TBrush* Brush() { return &FBrush; }

  void Invalidate() override;
  void Repaint() override;
  void Update() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetParent(TWinControl* AParent) override;
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  // Toolkit window of a handle (ours only), else null.
  static TWinControl* FindControl(HWND Wnd);
  void Loaded() override;

 protected:
  virtual void CreateParams(TCreateParams& Params);
  // Fills the window class from an existing system class ("EDIT", ...).
  void CreateSubClass(TCreateParams& Params, const wchar_t* ControlClassName);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void CreateHandle();
  virtual void DestroyHandle();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  // After the window exists: font, text and children's windows.
  virtual void CreateHandleDone() {}

  virtual void PaintWindow(HDC DC);
  // Paints the visible graphic children (from First on, all when null) into
  // DC, each with the origin moved to it and clipped to it.
  void PaintControls(HDC DC, TControl* First);
  // WM_PAINT of a window: BeginPaint (unless WParam is a DC), PaintWindow,
  // graphic children, EndPaint.
  void PaintHandler(TMessage& Message);

  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  virtual void KeyDown(uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(wchar_t& Key);
  // Wheel: OnMouseWheel, then (unhandled) the parent. Returns handled.
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual void DoEnter();
  virtual void DoExit();
  // The shortcut chain: this control's popup menu, then the parents'.
  bool IsMenuShortCut(TMessage& KeyMsg);
  void UpdateShowing();
  void ShowingChanged();
  void Resize() override;
  // Text of a control with a window lives in the window.
  String GetText() override;

  HWND FHandle = nullptr;
  void* FDefWndProc = nullptr;

 private:
  friend class TControl;
  friend struct TWinControlAccess;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  void AlignControl(TControl* AControl);
  void UpdateControlState();
  // Message handlers: Dispatch cracks the parameters; m is there for the
  // result and for passing the message on.
  void WMPaint(TMessage& m);
  void WMPrint(TMessage& m, HDC DC, uint32_t Flags);
  void WMPrintClient(TMessage& m, HDC DC);
  void WMEraseBkgnd(TMessage& m, HDC DC);
  void WMMouse(TMessage& m);
  void WMMouseLeave(TMessage& m);
  void WMCaptureChanged(TMessage& m, HWND NewCapture);
  void WMCancelMode(TMessage& m);
  void WMSetCursor(TMessage& m, HWND Wnd, uint32_t HitTest);
  void WMContextMenu(TMessage& m, TPoint ScreenPos);
  // Hands a parent's notification to the child control it concerns (as
  // message Reflected), or to the default handler.
  void WMNotifyReflect(TMessage& m, uint32_t Reflected, HWND Child);
  void CNCtlColor(TMessage& m, HDC DC);
  void WMSize(TMessage& m);
  void WMMove(TMessage& m);
  void WMWindowPosChanged(TMessage& m);
  void WMSetFocus(TMessage& m);
  void WMMouseWheel(TMessage& m);
  void CMMouseWheel(TMessage& m, TShiftState Shift, int WheelDelta, TPoint MousePos);
  void WMKeyDown(TMessage& m, uint16_t Key, TShiftState Shift);
  void WMKeyUp(TMessage& m, uint16_t Key, TShiftState Shift);
  void WMChar(TMessage& m, wchar_t Key);
  void CNKeyDown(TMessage& m, uint32_t KeyMsg);
  void CMShowingChanged();
  void ReadBoundsFromWindow();

  std::vector<TControl*> FControls;     // in insertion (z) order
  std::vector<TControl*> FWinControls;  // windowed subset, same order
  HWND FParentWindow = nullptr;
  TBrush FBrush;
  int FAlignLevel = 0;
  int FBorderWidth = 0;
  bool FTabStop = false;
  int FTabOrder = -1;
  bool FShowing = false;
  bool FDoubleBuffered = false;
  bool FRecreatePending = false;
  bool FSettingBounds = false;
  TControl* FCaptureControl = nullptr;  // graphic child pressed
  bool FTrackingLeave = false;
};

class TGraphicControl : public TControl {
 public:
  TK_CLASS_NAME(TGraphicControl)
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  // Draws on the parent window: origin at the control, clipped to it. While
  // painting it is bound to the paint DC.
  TCanvas* Canvas() { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}

 private:
  void WMPaint(TMessage& m);
  std::unique_ptr<TControlCanvas> FCanvas;
};

class TCustomControl : public TWinControl {
 public:
  TK_CLASS_NAME(TCustomControl)
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  // Bound to the paint DC while painting; a window DC otherwise.
  TCanvas* Canvas() { return FCanvas.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// Gives Control the paint-copy mark (csPaintCopy) for a scope when Copy is
// set, and its previous state back afterwards, also when painting raises.
class TPaintCopyScope {
 public:
  TPaintCopyScope(TControl* Control, bool Copy)
      : FControl(Copy && Control && !Control->ControlState().Contains(csPaintCopy) ? Control : nullptr) {
    if (FControl) FControl->SetControlState(FControl->ControlState() + csPaintCopy);
  }
  ~TPaintCopyScope() {
    if (FControl) FControl->SetControlState(FControl->ControlState() - csPaintCopy);
  }
  TPaintCopyScope(const TPaintCopyScope&) = delete;
  TPaintCopyScope& operator=(const TPaintCopyScope&) = delete;

 private:
  TControl* FControl;
};

// The top-level form of a control, or null.
TCustomForm* GetParentForm(const TControl* Control);
// Mouse enter/leave: the control under the mouse now (null: none).
TControl* ControlUnderMouse();

}  // namespace tk
