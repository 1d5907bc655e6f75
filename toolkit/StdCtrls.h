// Standard controls: the window-less label (TCustomLabel / TLabel), the
// system edit control (TCustomEdit, TCustomMemo / TMemo with its lines)
// and the system push button (TButtonControl / TButton). UI thread only.
//
// The edit control's own operations (undo, cut, copy, paste, select all)
// are single messages to the edit window. Its default text limit is lifted
// when the window is made, so large pages fit; text the window still
// refuses raises "Text exceeds memo capacity" (EInvalidOperation). Page
// files are read and written elsewhere: the memo only holds text.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/StringList.h"

namespace tk {

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };

// The character after a single "&" in Caption equals Key (letters compared
// without case); "&&" is a literal ampersand.
bool IsAccel(wchar_t Key, const String& Caption);

// --- Label ------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
 public:
  TK_CLASS_NAME(TCustomLabel)
  explicit TCustomLabel(TComponent* AOwner);
  ~TCustomLabel() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  // Bounds follow the text (width, and height with WordWrap) after every
  // change of caption, font, wrap or accelerator rule.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool v);
  // A transparent label leaves what lies behind it; an opaque one fills
  // itself with Color first.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  // The control focused when the label's accelerator is pressed.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* v);

  void Dispatch(TMessage& Message) override;

  // Re-measures the text and sets the bounds (AutoSize only).
  virtual void AdjustBounds();

 protected:
  // The text to draw (the caption by default).
  virtual String GetLabelText();
  // Draws the text into R on Canvas; with DT_CALCRECT in Flags it only
  // measures and R gets the text's extent.
  virtual void DoDrawText(TRect& R, unsigned Flags);
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  unsigned DrawFlags() const;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  bool FTransparent = false;
  TWinControl* FFocusControl = nullptr;
  bool FAdjusting = false;
};

class TLabel : public TCustomLabel {
 public:
  TK_CLASS_NAME(TLabel)
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// --- Edit and memo -------------------------------------------------------------------

class TCustomEdit : public TWinControl {
 public:
  TK_CLASS_NAME(TCustomEdit)
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  // Sets the whole text. With a window: raises "Text exceeds memo capacity"
  // (EInvalidOperation) when the window refuses it or keeps less of it;
  // the window then holds whatever it accepted.
  void SetText(const String& Value);
  void SetCaption(const String& Value) { SetText(Value); }

  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase v);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v);
  // 0 = no limit (the largest the system allows).
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int v);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool v);
  bool Modified();
  void SetModified(bool v);

  int SelStart();
  void SetSelStart(int v);
  int SelLength();
  void SetSelLength(int v);
  String SelText();
  void SetSelText(const String& v);
  int GetTextLen();

  bool CanUndo();
  void Undo();
  void ClearUndo();
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void SelectAll();
  void ClearSelection();
  void Clear() { SetText(String()); }

  // After every change of the text (the window's EN_CHANGE).
  TNotifyEvent OnChange;

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateHandleDone() override;
  void DestroyWnd() override;
  virtual void Change();
  // Sends WM_SETTEXT and checks that the window took all of Value.
  void SetWindowTextChecked(const String& Value);

 private:
  TBorderStyle FBorderStyle = bsSingle;
  TEditCharCase FCharCase = ecNormal;
  bool FReadOnly = false;
  int FMaxLength = 0;
  bool FHideSelection = true;
  // Kept across a window recreation.
  bool FModified = false;
  int FSavedSelStart = 0, FSavedSelEnd = 0, FSavedTopLine = 0;
  bool FHaveSavedState = false;
};

class TEdit : public TCustomEdit {
 public:
  TK_CLASS_NAME(TEdit)
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo;

// The memo's text as lines, read from and written to the edit window (the
// window's own lines: with WordWrap these are the wrapped display lines).
class TMemoStrings : public TStrings {
 public:
  TK_CLASS_NAME(TMemoStrings)
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
  int Count() const override;
  String Get(int Index) const override;
  void Put(int Index, const String& S) override;
  void Insert(int Index, const String& S) override;
  void Delete(int Index) override;
  void Clear() override;

 private:
  TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
 public:
  TK_CLASS_NAME(TCustomMemo)
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TStrings* Lines() { return FLines.get(); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool v) { FWantTabs = v; }
  bool WantsTab() override { return FWantTabs; }
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  // First line shown at the top of the window.
  int TopLine();
  // Line and column of the caret.
  TPoint CaretPos();

  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  std::unique_ptr<TMemoStrings> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantTabs = false;
  bool FWantReturns = true;
  TAlignment FAlignment = taLeftJustify;
};

class TMemo : public TCustomMemo {
 public:
  TK_CLASS_NAME(TMemo)
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// --- Push button ------------------------------------------------------------------

class TButtonControl : public TWinControl {
 public:
  TK_CLASS_NAME(TButtonControl)
  explicit TButtonControl(TComponent* AOwner);
  // Caption on several lines when it does not fit on one.
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  bool FWordWrap = false;
};

class TButton : public TButtonControl {
 public:
  TK_CLASS_NAME(TButton)
  explicit TButton(TComponent* AOwner);

  // The button Enter presses (when no other button has the focus).
  bool Default() const { return FDefault; }
  void SetDefault(bool v);
  // The button Escape presses.
  bool Cancel() const { return FCancel; }
  void SetCancel(bool v) { FCancel = v; }
  // Given to the parent form when clicked (ends a modal form).
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult v) { FModalResult = v; }
  // Shown as the default button right now (focus or Default).
  bool Active() const { return FActive; }

  // Image properties of the system button; kept as state for the engine.
  TObject* Images() const { return FImages; }
  void SetImages(TObject* v) { FImages = v; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v) { FImageIndex = v; }

  void Click() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  // Called when the button becomes or stops being the default button.
  virtual void SetButtonStyle(bool ADefault);
  // Reflected owner-draw requests (BS_OWNERDRAW styles); LParam points to
  // the system's DRAWITEMSTRUCT / MEASUREITEMSTRUCT. The defaults leave
  // the request unanswered (measure: the button's size).
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);

 private:
  void CNCommand(TMessage& Message, uint16_t Notification);
  void CMDialogKey(TMessage& Message, uintptr_t Key, TShiftState Shift);
  void CMDialogChar(TMessage& Message, wchar_t Key);
  void CMFocusChanged(TMessage& Message, TControl* Focused);
  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
  TModalResult FModalResult = mrNone;
  TObject* FImages = nullptr;
  int FImageIndex = -1;
};

}  // namespace tk
