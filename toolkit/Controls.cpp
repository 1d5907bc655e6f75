// The portable part of the controls: layout arithmetic, size limits,
// alignment and the properties that need no window. The Windows half is
// Controls_win.cpp.
#include "toolkit/Controls.h"

#include <algorithm>

namespace tk {

TPopupMenuHooks PopupMenuHooks;

// --- Layout arithmetic ------------------------------------------------------------------

void ClampSize(int& Width, int& Height, int MinWidth, int MinHeight, int MaxWidth, int MaxHeight) {
  if (MaxWidth > 0 && Width > MaxWidth) Width = MaxWidth;
  if (MaxHeight > 0 && Height > MaxHeight) Height = MaxHeight;
  if (MinWidth > 0 && Width < MinWidth) Width = MinWidth;
  if (MinHeight > 0 && Height < MinHeight) Height = MinHeight;
}

namespace {

// Same-side items keep their visual order: the one nearest the edge first.
bool NearerTheEdge(TAlign Kind, const TRect& x, const TRect& y) {
  switch (Kind) {
    case alTop: return x.Top < y.Top;
    case alBottom: return x.Bottom > y.Bottom;
    case alLeft: return x.Left < y.Left;
    case alRight: return x.Right > y.Right;
    default: return false;
  }
}

// Where an item aligned to Kind goes in Space, keeping the size across it.
TRect WantedBounds(TAlign Kind, const TRect& Space, const TRect& Bounds) {
  const int w = std::max(Space.Width(), 0), h = std::max(Space.Height(), 0);
  switch (Kind) {
    case alTop: return tk::Bounds(Space.Left, Space.Top, w, Bounds.Height());
    case alBottom: return tk::Bounds(Space.Left, Space.Bottom - Bounds.Height(), w, Bounds.Height());
    case alLeft: return tk::Bounds(Space.Left, Space.Top, Bounds.Width(), h);
    case alRight: return tk::Bounds(Space.Right - Bounds.Width(), Space.Top, Bounds.Width(), h);
    case alClient: return tk::Bounds(Space.Left, Space.Top, w, h);
    default: return Bounds;
  }
}

void TakeSpace(TAlign Kind, TRect& Space, const TRect& Placed) {
  switch (Kind) {
    case alTop: Space.Top += Placed.Height(); break;
    case alBottom: Space.Bottom -= Placed.Height(); break;
    case alLeft: Space.Left += Placed.Width(); break;
    case alRight: Space.Right -= Placed.Width(); break;
    default: break;
  }
}

}  // namespace

void AlignPass(TAlign Kind, std::vector<TAlignItem>& Items, TRect& Space, const TAlignPlaceFn& Place) {
  std::vector<size_t> order;
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i].Align == Kind && Items[i].Visible) order.push_back(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t x, size_t y) { return NearerTheEdge(Kind, Items[x].Bounds, Items[y].Bounds); });
  for (size_t i : order) {
    Items[i].Bounds = Place(i, WantedBounds(Kind, Space, Items[i].Bounds));
    TakeSpace(Kind, Space, Items[i].Bounds);
  }
}

uint32_t BiDiDrawTextFlags(TBiDiMode Mode, uint32_t Flags) {
  // DrawText's values; this file stays free of the system headers.
  constexpr uint32_t kCenter = 0x1, kRight = 0x2, kRtlReading = 0x20000;
  if (Mode == bdRightToLeft) {
    if ((Flags & kRight) == kRight) Flags &= ~kRight;
    else if ((Flags & kCenter) != kCenter) Flags |= kRight;
  }
  if (Mode != bdLeftToRight) Flags |= kRtlReading;
  return Flags;
}

// --- TSizeConstraints ----------------------------------------------------------------------

void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
  if (FControl) FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
}

void TSizeConstraints::SetMinWidth(int v) {
  if (v == FMinWidth) return;
  FMinWidth = std::max(v, 0);
  if (FMaxWidth > 0 && FMaxWidth < FMinWidth) FMaxWidth = FMinWidth;
  Change();
}

void TSizeConstraints::SetMinHeight(int v) {
  if (v == FMinHeight) return;
  FMinHeight = std::max(v, 0);
  if (FMaxHeight > 0 && FMaxHeight < FMinHeight) FMaxHeight = FMinHeight;
  Change();
}

void TSizeConstraints::SetMaxWidth(int v) {
  if (v == FMaxWidth) return;
  FMaxWidth = std::max(v, 0);
  if (FMaxWidth > 0 && FMaxWidth < FMinWidth) FMinWidth = FMaxWidth;
  Change();
}

void TSizeConstraints::SetMaxHeight(int v) {
  if (v == FMaxHeight) return;
  FMaxHeight = std::max(v, 0);
  if (FMaxHeight > 0 && FMaxHeight < FMinHeight) FMinHeight = FMaxHeight;
  Change();
}

void TSizeConstraints::Assign(const TPersistent* Source) {
  auto* s = dynamic_cast<const TSizeConstraints*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  FMinWidth = s->FMinWidth;
  FMinHeight = s->FMinHeight;
  FMaxWidth = s->FMaxWidth;
  FMaxHeight = s->FMaxHeight;
  Change();
}

void TSizeConstraints::Apply(int& Width, int& Height) const {
  ClampSize(Width, Height, FMinWidth, FMinHeight, FMaxWidth, FMaxHeight);
}

// --- TControl: message entry, bounds and properties ----------------------------------------

void TControl::WndProc(TMessage& Message) { Dispatch(Message); }

intptr_t TControl::Perform(uint32_t Msg, uintptr_t WParam, intptr_t LParam) {
  TMessage m = MakeMessage(Msg, WParam, LParam);
  if (WindowProc) WindowProc(m);
  else WndProc(m);
  return m.Result;
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::CanResize(int&, int&) { return true; }

void TControl::ConstrainedResize(int&, int&, int&, int&) {}

bool TControl::ApplyConstraints(int& Width, int& Height) {
  if (!CanResize(Width, Height)) return false;
  int minW = FConstraints.MinWidth(), minH = FConstraints.MinHeight();
  int maxW = FConstraints.MaxWidth(), maxH = FConstraints.MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  ClampSize(Width, Height, minW, minH, maxW, maxH);
  return true;
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FParent) {
    if (FParentFont) ParentFontChanged();
    if (FParentColor) ParentColorChanged();
  }
  RequestAlign();
}

void TControl::UpdateBoundsRect(const TRect& R) {
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
}

TRect TControl::ClientRect() { return TRect{0, 0, FWidth, FHeight}; }

void TControl::SetClientWidth(int v) { SetWidth(FWidth - ClientWidth() + v); }

void TControl::SetClientHeight(int v) { SetHeight(FHeight - ClientHeight() + v); }

TPoint TControl::ClientOrigin() {
  if (!FParent) return TPoint{FLeft, FTop};
  TPoint p = FParent->ClientOrigin();
  return TPoint{p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) {
  TPoint o = ClientOrigin();
  return TPoint{P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint P) {
  TPoint o = ClientOrigin();
  return TPoint{P.X - o.X, P.Y - o.Y};
}

void TControl::SetAlign(TAlign v) {
  if (v == FAlign) return;
  FAlign = v;
  if (FParent) FParent->Realign();
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::SetParentColor(bool v) {
  if (v == FParentColor) return;
  FParentColor = v;
  if (v) ParentColorChanged();
}

void TControl::SetParentFont(bool v) {
  if (v == FParentFont) return;
  FParentFont = v;
  if (v) ParentFontChanged();
}

String TControl::GetText() { return FText; }

void TControl::SetCursor(TCursor v) {
  if (v == FCursor) return;
  FCursor = v;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode v) {
  if (v == FBiDiMode) return;
  FBiDiMode = v;
  Perform(CM_BIDIMODECHANGED);
}

bool TControl::UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }

bool TControl::UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }

uint32_t TControl::DrawTextBiDiModeFlags(uint32_t Flags) const { return BiDiDrawTextFlags(FBiDiMode, Flags); }

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

// --- TWinControl: children, alignment, focus and keys --------------------------------------

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* c = Control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

int TWinControl::IndexOfControl(const TControl* Control) const {
  auto it = std::find(FControls.begin(), FControls.end(), Control);
  return it == FControls.end() ? -1 : static_cast<int>(it - FControls.begin());
}

void TWinControl::Broadcast(TMessage& Message) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (IndexOfControl(c) < 0) continue;
    c->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::AlignControl(TControl* AControl) {
  if (AControl && AControl->Align() == alNone) return;
  Realign();
}

void TWinControl::Realign() {
  if (AlignDisabled() || IsLoading() || IsDestroying() || FControlState.Contains(csDestroyingHandle)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  FControlState.Exclude(csAlignmentNeeded);
  DisableAlign();
  try {
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
  } catch (...) {
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
    throw;
  }
  // Bounds set during alignment asked for another pass: the layout is
  // already final, so don't loop.
  FControlState.Exclude(csAlignmentNeeded);
  --FAlignLevel;
}

void TWinControl::AdjustClientRect(TRect& Rect) { Rect.Inflate(-FBorderWidth, -FBorderWidth); }

void TWinControl::AlignControls(TControl*, TRect& Rect) {
  for (TAlign a : kAlignOrder) {
    // Read afresh for every side: placing one side may show or move others.
    std::vector<TControl*> controls(FControls);
    std::vector<TAlignItem> items;
    items.reserve(controls.size());
    for (TControl* c : controls) items.push_back(TAlignItem{c->Align(), c->Visible(), c->BoundsRect()});
    AlignPass(a, items, Rect, [&](size_t i, const TRect& r) {
      controls[i]->SetBoundsRect(r);
      return controls[i]->BoundsRect();
    });
  }
}

void TWinControl::SetBorderWidth(int v) {
  if (v == FBorderWidth) return;
  FBorderWidth = std::max(v, 0);
  Realign();
  Invalidate();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

void TWinControl::Resize() { TControl::Resize(); }

void TWinControl::ShowingChanged() { Perform(CM_SHOWINGCHANGED); }

void TWinControl::SetParentBackground(bool v) {
  if (v == ParentBackground()) return;
  FControlStyle.Set(csParentBackground, v);
  Invalidate();
}

bool TWinControl::CanFocus() {
  for (TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(wchar_t& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::IsMenuShortCut(TMessage& KeyMsg) {
  if (!PopupMenuHooks.IsShortCut) return false;
  for (TControl* c = this; c; c = c->Parent())
    if (c->PopupMenu() && PopupMenuHooks.IsShortCut(c->PopupMenu(), KeyMsg)) return true;
  return false;
}

bool TWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  return handled;
}

}  // namespace tk
