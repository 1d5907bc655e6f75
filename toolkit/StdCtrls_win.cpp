// The Windows half of the standard controls: label drawing and sizing, the
// EDIT window behind TCustomEdit/TCustomMemo, the BUTTON window behind
// TButton.
//
// Our headers before <windows.h>: the colour helpers of Types.h share their
// names with the system's GetRValue/GetGValue/GetBValue macros.
#include "toolkit/StdCtrls.h"

#include <windows.h>

#include "toolkit/Graphics.h"
#include "toolkit/Handles.h"

namespace tk {

// --- TCustomLabel -------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + csReplicatable + csOpaque);
  SetBounds(0, 0, 65, 17);
}

TCustomLabel::~TCustomLabel() = default;

void TCustomLabel::SetAlignment(TAlignment v) {
  if (FAlignment == v) return;
  FAlignment = v;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
  if (FAutoSize == v) return;
  FAutoSize = v;
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (FLayout == v) return;
  FLayout = v;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (FWordWrap == v) return;
  FWordWrap = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (FShowAccelChar == v) return;
  FShowAccelChar = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (FTransparent == v) return;
  FTransparent = v;
  TControlStyle s = ControlStyle();
  s.Set(csOpaque, !v);
  SetControlStyle(s);
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
  if (FFocusControl == v) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = v;
  if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

String TCustomLabel::GetLabelText() { return Caption(); }

unsigned TCustomLabel::DrawFlags() const {
  unsigned f = DT_EXPANDTABS;
  if (FWordWrap) f |= DT_WORDBREAK;
  switch (FAlignment) {
    case taLeftJustify: f |= DT_LEFT; break;
    case taRightJustify: f |= DT_RIGHT; break;
    case taCenter: f |= DT_CENTER; break;
  }
  return f;
}

void TCustomLabel::DoDrawText(TRect& R, unsigned Flags) {
  String text = GetLabelText();
  // An empty text still measures one line high, and a lone "&" is not
  // swallowed as a prefix.
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == L"&"))) text += L' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  Flags = DrawTextBiDiModeFlags(Flags);
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  if (!Enabled() && !(Flags & DT_CALCRECT)) {
    // The classic etched look: a highlight copy one pixel down-right, the
    // shadow-coloured text over it.
    TRect r = R;
    r.Offset(1, 1);
    c->Font()->SetColor(clBtnHighlight);
    c->TextDraw(text, r, Flags);
    c->Font()->SetColor(clBtnShadow);
    c->TextDraw(text, R, Flags);
    return;
  }
  c->TextDraw(text, R, Flags);
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  TRect rc = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(rc);
  }
  c->Brush()->SetStyle(bsClear);
  unsigned flags = DrawFlags();
  if (FLayout != tlTop) {
    TRect calc = rc;
    DoDrawText(calc, flags | DT_CALCRECT);
    int dy = FLayout == tlBottom ? Height() - calc.Bottom : (Height() - calc.Bottom) / 2;
    rc.Offset(0, dy);
  }
  DoDrawText(rc, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || FAdjusting || IsLoading() || ComponentState().Contains(csReading) || IsDestroying()) return;
  TRect r = ClientRect();
  // Measured on a screen DC: the label may have no parent window yet.
  TWindowDC screen(nullptr);
  if (auto* cc = dynamic_cast<TControlCanvas*>(Canvas())) cc->FreeHandle();
  Canvas()->SetHandle(screen);
  DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
  Canvas()->SetHandle(nullptr);
  int x = Left();
  TAlignment a = FAlignment;
  if (UseRightToLeftAlignment()) {
    if (a == taLeftJustify) a = taRightJustify;
    else if (a == taRightJustify) a = taLeftJustify;
  }
  // A right-aligned label keeps its right edge where it was.
  if (a == taRightJustify) x += Width() - r.Right;
  FAdjusting = true;
  try {
    SetBounds(x, Top(), r.Right, r.Bottom);
  } catch (...) {
    FAdjusting = false;
    throw;
  }
  FAdjusting = false;
}

void TCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      TGraphicControl::Dispatch(Message);
      Invalidate();
      AdjustBounds();
      return;
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(Message);
      AdjustBounds();
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(static_cast<wchar_t>(Message.WParam), Caption()) &&
          FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TGraphicControl::Dispatch(Message);
}

// --- TCustomEdit -------------------------------------------------------------------

namespace {

// The largest text a multi-line edit takes (what EM_SETLIMITTEXT 0 means on NT).
constexpr WPARAM kNoTextLimit = 0x7FFFFFFE;

[[noreturn]] void RaiseCapacity() { throw EInvalidOperation(L"Text exceeds memo capacity"); }

}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 121, 25);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  SetControlStyle(ControlStyle() + csClickEvents + csSetCaption + csDoubleClicks);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateHandleDone() {
  TWinControl::CreateHandleDone();
  HWND h = FHandle;
  // Without this a multi-line edit stops the user at 32767 characters.
  ::SendMessageW(h, EM_SETLIMITTEXT, FMaxLength > 0 ? static_cast<WPARAM>(FMaxLength) : kNoTextLimit, 0);
  // The window may have been created without the text (or refused part of it).
  if (static_cast<size_t>(::GetWindowTextLengthW(h)) != FText.size()) SetWindowTextChecked(FText);
  if (FHaveSavedState) {
    FHaveSavedState = false;
    ::SendMessageW(h, EM_SETSEL, static_cast<WPARAM>(FSavedSelStart), static_cast<LPARAM>(FSavedSelEnd));
    if (FSavedTopLine > 0) ::SendMessageW(h, EM_LINESCROLL, 0, FSavedTopLine);
    ::SendMessageW(h, EM_SETMODIFY, FModified ? TRUE : FALSE, 0);
  }
}

void TCustomEdit::DestroyWnd() {
  if (HandleAllocated() && !IsDestroying()) {
    HWND h = FHandle;
    // Kept for the next window (RecreateWnd): text, selection, scroll, modified.
    FText = GetText();
    DWORD s = 0, e = 0;
    ::SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    FSavedSelStart = static_cast<int>(s);
    FSavedSelEnd = static_cast<int>(e);
    FSavedTopLine = static_cast<int>(::SendMessageW(h, EM_GETFIRSTVISIBLELINE, 0, 0));
    FModified = ::SendMessageW(h, EM_GETMODIFY, 0, 0) != 0;
    FHaveSavedState = true;
  }
  TWinControl::DestroyWnd();
}

void TCustomEdit::SetWindowTextChecked(const String& Value) {
  HWND h = Handle();
  LRESULT ok = ::SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
  int len = ::GetWindowTextLengthW(h);
  if (!ok || len < 0 || static_cast<size_t>(len) < Value.size()) RaiseCapacity();
}

void TCustomEdit::SetText(const String& Value) {
  if (!HandleAllocated()) {
    TControl::SetText(Value);
    return;
  }
  SetWindowTextChecked(Value);
  // The window holds the text now; FText is refreshed when it goes.
  TextChanged();
  Perform(CM_TEXTCHANGED);
  // A multi-line edit window sends no EN_CHANGE for WM_SETTEXT.
  if (::GetWindowLongPtrW(FHandle, GWL_STYLE) & ES_MULTILINE) Change();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
  if (FBorderStyle == v) return;
  FBorderStyle = v;
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  if (FCharCase == v) return;
  FCharCase = v;
  if (!HandleAllocated()) return;
  // The style only acts on typed text; what is there is converted too.
  LONG_PTR style = ::GetWindowLongPtrW(FHandle, GWL_STYLE) & ~static_cast<LONG_PTR>(ES_UPPERCASE | ES_LOWERCASE);
  if (v == ecUpperCase) style |= ES_UPPERCASE;
  if (v == ecLowerCase) style |= ES_LOWERCASE;
  ::SetWindowLongPtrW(FHandle, GWL_STYLE, style);
  if (v != ecNormal) {
    String t = GetText();
    if (!t.empty()) {
      if (v == ecUpperCase) ::CharUpperBuffW(t.data(), static_cast<DWORD>(t.size()));
      else ::CharLowerBuffW(t.data(), static_cast<DWORD>(t.size()));
      SetWindowTextChecked(t);
    }
  }
}

void TCustomEdit::SetReadOnly(bool v) {
  if (FReadOnly == v) return;
  FReadOnly = v;
  if (HandleAllocated()) ::SendMessageW(FHandle, EM_SETREADONLY, v ? TRUE : FALSE, 0);
}

void TCustomEdit::SetMaxLength(int v) {
  if (v < 0) v = 0;
  if (FMaxLength == v) return;
  FMaxLength = v;
  if (HandleAllocated()) ::SendMessageW(FHandle, EM_SETLIMITTEXT, v > 0 ? static_cast<WPARAM>(v) : kNoTextLimit, 0);
}

void TCustomEdit::SetHideSelection(bool v) {
  if (FHideSelection == v) return;
  FHideSelection = v;
  RecreateWnd();
}

bool TCustomEdit::Modified() {
  if (!HandleAllocated()) return FModified;
  return ::SendMessageW(FHandle, EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool v) {
  FModified = v;
  if (HandleAllocated()) ::SendMessageW(FHandle, EM_SETMODIFY, v ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart() {
  DWORD s = 0;
  ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), 0);
  return static_cast<int>(s);
}

void TCustomEdit::SetSelStart(int v) { ::SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(v), v); }

int TCustomEdit::SelLength() {
  DWORD s = 0, e = 0;
  ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(e - s);
}

void TCustomEdit::SetSelLength(int v) {
  DWORD s = 0;
  ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), 0);
  ::SendMessageW(Handle(), EM_SETSEL, s, static_cast<LPARAM>(s) + v);
  ::SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
}

String TCustomEdit::SelText() {
  DWORD s = 0, e = 0;
  ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  String t = GetText();
  if (s > t.size()) return String();
  return t.substr(s, e - s);
}

void TCustomEdit::SetSelText(const String& v) {
  ::SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(v.c_str()));
}

int TCustomEdit::GetTextLen() {
  return HandleAllocated() ? ::GetWindowTextLengthW(FHandle) : static_cast<int>(FText.size());
}

bool TCustomEdit::CanUndo() { return HandleAllocated() && ::SendMessageW(FHandle, EM_CANUNDO, 0, 0) != 0; }
void TCustomEdit::Undo() { ::SendMessageW(Handle(), EM_UNDO, 0, 0); }
void TCustomEdit::ClearUndo() { ::SendMessageW(Handle(), EM_EMPTYUNDOBUFFER, 0, 0); }
void TCustomEdit::CutToClipboard() { ::SendMessageW(Handle(), WM_CUT, 0, 0); }
void TCustomEdit::CopyToClipboard() { ::SendMessageW(Handle(), WM_COPY, 0, 0); }
void TCustomEdit::PasteFromClipboard() { ::SendMessageW(Handle(), WM_PASTE, 0, 0); }
void TCustomEdit::SelectAll() { ::SendMessageW(Handle(), EM_SETSEL, 0, -1); }
void TCustomEdit::ClearSelection() { ::SendMessageW(Handle(), WM_CLEAR, 0, 0); }

void TCustomEdit::Change() {
  Perform(CM_CHANGED, 0, reinterpret_cast<intptr_t>(this));
  OnChange(this);
}

void TCustomEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
    Change();
    return;
  }
  TWinControl::Dispatch(Message);
}

// --- TCustomMemo ---------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style &= ~static_cast<uint32_t>(ES_AUTOHSCROLL);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (FWantReturns) Params.Style |= ES_WANTRETURN;
  switch (FAlignment) {
    case taLeftJustify: Params.Style |= ES_LEFT; break;
    case taRightJustify: Params.Style |= ES_RIGHT; break;
    case taCenter: Params.Style |= ES_CENTER; break;
  }
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  // A horizontal bar means lines run on instead of wrapping.
  if (!FWordWrap || FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= ES_AUTOHSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
  if (FScrollBars == v) return;
  FScrollBars = v;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool v) {
  if (FWordWrap == v) return;
  FWordWrap = v;
  RecreateWnd();
}

void TCustomMemo::SetWantReturns(bool v) {
  if (FWantReturns == v) return;
  FWantReturns = v;
  RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment v) {
  if (FAlignment == v) return;
  FAlignment = v;
  RecreateWnd();
}

int TCustomMemo::TopLine() {
  return HandleAllocated() ? static_cast<int>(::SendMessageW(FHandle, EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
}

TPoint TCustomMemo::CaretPos() {
  HWND h = Handle();
  DWORD s = 0;
  ::SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&s), 0);
  int line = static_cast<int>(::SendMessageW(h, EM_LINEFROMCHAR, s, 0));
  int start = static_cast<int>(::SendMessageW(h, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  return Point(static_cast<int>(s) - start, line);
}

void TCustomMemo::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(Message);
    const MSG* m = reinterpret_cast<const MSG*>(Message.LParam);
    WPARAM key = (m && (m->message == WM_KEYDOWN || m->message == WM_CHAR)) ? m->wParam : 0;
    if (FWantTabs) {
      Message.Result |= DLGC_WANTTAB;
    } else {
      Message.Result &= ~static_cast<intptr_t>(DLGC_WANTTAB);
      if (key == VK_TAB) Message.Result &= ~static_cast<intptr_t>(DLGC_WANTALLKEYS);
    }
    if (!FWantReturns && key == VK_RETURN) Message.Result &= ~static_cast<intptr_t>(DLGC_WANTALLKEYS);
    return;
  }
  TCustomEdit::Dispatch(Message);
}

// --- TMemoStrings --------------------------------------------------------------------

namespace {

LRESULT Send(TCustomMemo* m, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  return ::SendMessageW(m->Handle(), msg, wp, lp);
}

}  // namespace

int TMemoStrings::Count() const {
  int n = static_cast<int>(Send(FMemo, EM_GETLINECOUNT));
  // A text that ends with a line break shows an empty last line; it is not a line.
  LRESULT lastStart = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(n - 1));
  if (n > 0 && Send(FMemo, EM_LINELENGTH, static_cast<WPARAM>(lastStart)) == 0) --n;
  return n;
}

String TMemoStrings::Get(int Index) const {
  LRESULT start = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index));
  if (Index < 0 || start < 0) IndexError(Index);
  int len = static_cast<int>(Send(FMemo, EM_LINELENGTH, static_cast<WPARAM>(start)));
  if (len <= 0) return String();
  // EM_GETLINE reads the buffer size from the buffer's first word.
  String buf(static_cast<size_t>(std::max(len, 1)) + 1, L'\0');
  buf[0] = static_cast<wchar_t>(len > 0xFFFF ? 0xFFFF : len);
  int got = static_cast<int>(Send(FMemo, EM_GETLINE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(buf.data())));
  if (len > 0xFFFF) return FMemo->Text().substr(static_cast<size_t>(start), static_cast<size_t>(len));
  buf.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return buf;
}

void TMemoStrings::Put(int Index, const String& S) {
  LRESULT start = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index));
  if (Index < 0 || start < 0) IndexError(Index);
  LRESULT len = Send(FMemo, EM_LINELENGTH, static_cast<WPARAM>(start));
  Send(FMemo, EM_SETSEL, static_cast<WPARAM>(start), start + len);
  Send(FMemo, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

void TMemoStrings::Insert(int Index, const String& S) {
  if (Index < 0) IndexError(Index);
  int count = Count();
  if (Index > count) IndexError(Index);
  String ins;
  LRESULT pos;
  if (Index < count) {
    pos = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index));
    ins = S + L"\r\n";
  } else {
    String t = FMemo->Text();
    pos = static_cast<LRESULT>(t.size());
    bool endsWithBreak = t.size() >= 2 && t.compare(t.size() - 2, 2, L"\r\n") == 0;
    ins = (t.empty() || endsWithBreak) ? S : L"\r\n" + S;
  }
  Send(FMemo, EM_SETSEL, static_cast<WPARAM>(pos), pos);
  Send(FMemo, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(ins.c_str()));
}

void TMemoStrings::Delete(int Index) {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  LRESULT start = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index));
  LRESULT next = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index + 1));
  if (next < 0) {
    // The last line: take the line break before it with it.
    next = Send(FMemo, WM_GETTEXTLENGTH);
    if (Index > 0) start -= 2;
  }
  Send(FMemo, EM_SETSEL, static_cast<WPARAM>(start), next);
  Send(FMemo, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L""));
}

void TMemoStrings::Clear() { FMemo->SetText(String()); }

// --- Buttons ----------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }

void TButtonControl::SetWordWrap(bool v) {
  if (FWordWrap == v) return;
  FWordWrap = v;
  RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, L"BUTTON");
  if (FWordWrap) Params.Style |= BS_MULTILINE;
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  // The click comes from the window's BN_CLICKED, not from the mouse handling.
  SetControlStyle(ControlStyle() + csSetCaption - csClickEvents - csDoubleClicks);
}

void TButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  Params.Style |= FActive ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v) {
  if (FDefault == v) return;
  FDefault = v;
  // A focused button stays the default one; otherwise Default decides.
  if (!HandleAllocated() || !Focused()) SetButtonStyle(v);
}

void TButton::SetButtonStyle(bool ADefault) {
  if (FActive == ADefault) return;
  FActive = ADefault;
  if (!HandleAllocated()) return;
  LONG_PTR type = ::GetWindowLongPtrW(FHandle, GWL_STYLE) & BS_TYPEMASK;
  // Owner-drawn buttons keep their type; they show the state themselves.
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
    ::SendMessageW(FHandle, BM_SETSTYLE, ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm()) form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::CNDrawItem(TMessage& Message) { TButtonControl::Dispatch(Message); }

void TButton::CNMeasureItem(TMessage& Message) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (mis) {
    mis->itemWidth = static_cast<UINT>(Width());
    mis->itemHeight = static_cast<UINT>(Height());
    Message.Result = 1;
  }
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: return CNCommand(Message, HIWORD(Message.WParam));
    case CN_DRAWITEM: return CNDrawItem(Message);
    case CN_MEASUREITEM: return CNMeasureItem(Message);
    case CM_DIALOGKEY: return CMDialogKey(Message, Message.WParam, KeyDataToShiftState(Message.LParam));
    case CM_DIALOGCHAR: return CMDialogChar(Message, static_cast<wchar_t>(Message.WParam));
    case CM_FOCUSCHANGED: return CMFocusChanged(Message, reinterpret_cast<TControl*>(Message.LParam));
    default: return TButtonControl::Dispatch(Message);
  }
}

void TButton::CNCommand(TMessage& Message, uint16_t Notification) {
  if (Notification != BN_CLICKED) return TButtonControl::Dispatch(Message);
  Click();
}

void TButton::CMDialogKey(TMessage& Message, uintptr_t Key, TShiftState Shift) {
  const bool plain = Shift.Empty() && !(::GetKeyState(VK_CONTROL) < 0) && !(::GetKeyState(VK_SHIFT) < 0);
  if (plain && ((Key == VK_RETURN && FActive) || (Key == VK_ESCAPE && FCancel)) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::Dispatch(Message);
}

void TButton::CMDialogChar(TMessage& Message, wchar_t Key) {
  if (IsAccel(Key, Caption()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::Dispatch(Message);
}

void TButton::CMFocusChanged(TMessage& Message, TControl* Focused) {
  // Another button with the focus is the default one meanwhile.
  const bool isButton = Focused && dynamic_cast<TButton*>(Focused) != nullptr;
  SetButtonStyle(isButton ? Focused == this : FDefault);
  TButtonControl::Dispatch(Message);
}

}  // namespace tk
