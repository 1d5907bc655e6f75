// Forms, the application object and the screen. UI thread only.
//
// TCustomForm is a top-level window whose window class carries the form's
// class name ("TForm1"). A form is built in its constructor (its
// description), gets Loaded like every component, and OnCreate runs from
// AfterConstruction. Forms created through Application->CreateForm are owned
// by the application; the first one becomes MainForm, and Run returns when
// it has closed.
//
// Every message entry point (window procedures, hooks, timers, thread
// synchronisation) catches exceptions and gives them to
// Application->HandleException, which shows the message (EAbort silently)
// and lets the program go on.
#pragma once

#include <cstdint>
#include <exception>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/SysUtils.h"

namespace tk {

class TMainMenu;

enum TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle : uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TFormStateItem : uint8_t { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;
enum TPosition : uint8_t {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter,
};
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2;

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

// A windowed container with (inert) own scroll bars.
class TScrollingWinControl : public TWinControl {
 public:
  TK_CLASS_NAME(TScrollingWinControl)
  explicit TScrollingWinControl(TComponent* AOwner) : TWinControl(AOwner) {}
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool v) { FAutoScroll = v; }

 private:
  bool FAutoScroll = false;
};

class TCustomForm : public TScrollingWinControl {
 public:
  TK_CLASS_NAME(TCustomForm)
  // A form without description: the constructor of a descendant builds
  // whatever it holds.
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons v);
  TWindowState WindowState() const;
  // Maximized keeps the normal rectangle, which SetBounds changes while
  // the form is maximized; on a hidden form the state is applied at show.
  void SetWindowState(TWindowState v);
  // The restored (normal) rectangle, also while maximized or minimized.
  TRect NormalBounds();
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle v);
  TFormState FormState() const { return FFormState; }
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition v) { FPosition = v; }
  TIcon* Icon() { return &FIcon; }
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* v) { FMenu = v; }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool v) { FKeyPreview = v; }
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool v);
  uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(uint8_t v);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult v) { FModalResult = v; }

  // The form's canvas (window DC; the paint DC while OnPaint runs).
  TCanvas* Canvas() { return FCanvas.get(); }

  // Shows and activates (brings to the front).
  void Show();
  void Hide() { SetVisible(false); }
  // OnCloseQuery, then OnClose with caHide (caFree for an owned child...);
  // closing the main form ends the application.
  void Close();
  // Frees the form after the messages already queued.
  void Release();
  // Runs a modal loop until ModalResult is set; returns it.
  TModalResult ShowModal();
  bool Active() const { return FActive; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* v);
  // Focus bookkeeping (called by the focus handling of controls).
  bool SetFocusedControl(TWinControl* Control);
  void SetFocus() override;
  bool CloseQuery();
  // A control of this form goes: forget it as focused / active control.
  void ControlDestroying(TWinControl* Control);

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnPaint;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  void SetVisible(bool v) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void PaintWindow(HDC DC) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoClose(TCloseAction& Action);
  virtual void DoShow();
  virtual void DoHide();
  virtual void Activate();
  virtual void Deactivate();
  void Resize() override;

  TFormState FFormState;

 private:
  void WMClose(TMessage& m);
  void WMActivate(TMessage& m);
  void WMGetMinMaxInfo(TMessage& m);
  void WMSysCommand(TMessage& m);
  void WMShowWindow(TMessage& m);
  void CMShowingChanged(TMessage& m);
  void ApplyAlpha();
  void ApplyWindowState();
  // First show in a minimized or maximized state, keeping the current
  // bounds as the normal (restored) rectangle.
  void ShowWithNormalRect(int ShowCmd);

  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TWindowState FWindowState = wsNormal;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TIcon FIcon;
  TMainMenu* FMenu = nullptr;
  bool FKeyPreview = false;
  bool FAlphaBlend = false;
  uint8_t FAlphaBlendValue = 255;
  TModalResult FModalResult = mrNone;
  std::unique_ptr<TControlCanvas> FCanvas;
  bool FActive = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  TRect FNormalBounds;
  bool FHaveNormalBounds = false;
};

class TForm : public TCustomForm {
 public:
  TK_CLASS_NAME(TForm)
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

using TExceptionEvent = TEvent<TObject*, const Exception&>;
// Main-window hook: set Handled to stop the message there.
using TWindowHook = TEvent<TMessage&, bool&>;

class TApplication : public TComponent {
 public:
  TK_CLASS_NAME(TApplication)
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;
  void BeforeDestruction() override;

  // Creates the hidden application window "TApplication".
  void Initialize();
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  bool MainFormOnTaskBar() const { return FMainFormOnTaskBar; }
  void SetMainFormOnTaskBar(bool v) { FMainFormOnTaskBar = v; }
  const String& Title() const { return FTitle; }
  void SetTitle(const String& v);
  TIcon* Icon() { return &FIcon; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v) { FShowHint = v; }
  const String& Hint() const { return FHint; }
  void SetHint(const String& v) { FHint = v; }
  // Full path of the running program.
  String ExeName() const;

  // Creates a form owned by the application; the first becomes MainForm.
  template <class T>
  T* CreateForm() {
    BeginMainForm();
    T* f;
    try {
      f = Create<T>(this);
    } catch (...) {
      EndMainForm(nullptr);
      throw;
    }
    EndMainForm(f);
    return f;
  }
  template <class T>
  void CreateForm(T*& Reference) {
    Reference = CreateForm<T>();
  }
  TCustomForm* MainForm() const { return FMainForm; }

  // Shows the main form and pumps messages until it has closed (or
  // Terminate); the application's forms stay until the application goes.
  void Run();
  // Handles every queued message, then returns.
  void ProcessMessages();
  // Waits for one message and handles it.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  bool Running() const { return FRunning; }
  bool Active() const { return FActive; }
  bool Minimized() const;
  void Minimize();
  void Restore();
  void BringToFront();

  // Offered every message to the application window first.
  void HookMainWindow(const TWindowHook& Hook);
  void UnhookMainWindow(const TWindowHook& Hook);

  // Call from a catch block: OnException when assigned, else
  // ShowException; EAbort is dropped silently.
  void HandleException(TObject* Sender);
  // A message box with the message; caption is the title.
  void ShowException(const Exception& E);
  TExceptionEvent OnException;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnIdle;

  // MessageBoxW owned by the active form; caption defaults to the title.
  int ShowMessageBox(const String& Text, const String& Caption, unsigned Flags);

  // The message loop's step: true when a message was handled.
  bool ProcessMessage();
  int ModalLevel() const { return FModalLevel; }
  void ModalStarted() { ++FModalLevel; }
  void ModalFinished() { --FModalLevel; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TCustomForm;
  friend struct TApplicationAccess;
  // The first form CreateForm makes is the main form from its constructor on.
  void BeginMainForm();
  void EndMainForm(TCustomForm* Form);
  void WndProc(TMessage& Message);
  bool IsShortCutMessage(void* Msg);
  void Idle();

  HWND FHandle = nullptr;
  bool FMainFormOnTaskBar = false;
  String FTitle;
  TIcon FIcon;
  bool FShowHint = true;
  String FHint;
  TCustomForm* FMainForm = nullptr;
  TCustomForm* FMainFormBefore = nullptr;
  bool FBeforeDestructionRun = false;
  bool FTerminated = false;
  bool FRunning = false;
  bool FActive = false;
  int FModalLevel = 0;
  std::vector<TWindowHook> FWindowHooks;
  bool FHandlingException = false;
};

class TScreen : public TComponent {
 public:
  TK_CLASS_NAME(TScreen)
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // Every toolkit form once created, in creation order.
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int Index) const { return FForms.at(Index); }
  TCustomForm* ActiveForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const;
  // The system's menu font (non-client metrics).
  TFont* MenuFont();
  TFont* HintFont();
  TFont* IconFont();
  int Width() const;
  int Height() const;
  int PixelsPerInch() const;
  // Work area of the monitor that holds most of Wnd / holds P.
  TRect MonitorWorkAreaOf(HWND Wnd) const;
  TRect MonitorWorkAreaAt(TPoint P) const;
  TRect WorkAreaRect() const;
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v);

  // Bookkeeping of forms (called by TCustomForm).
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void SetActiveForm(TCustomForm* Form);

 private:
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TFont FMenuFont, FHintFont, FIconFont;
  bool FFontsRead = false;
  TCursor FCursor = crDefault;
  void ReadFonts();
};

// Created at start-up, freed at exit.
extern TApplication* Application;
extern TScreen* Screen;
// Frees the application (and with it every form) now rather than at exit;
// the program calls it after Run so the forms go in a known order.
void DoneApplication();

}  // namespace tk
