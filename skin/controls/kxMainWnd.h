// TkxMainWnd: the root of the window adapters. An adapter attaches itself to
// one window that knows nothing of the skin (a system control, a toolkit
// control that does not skin itself, a window of a system dialog), sees
// every message of it first and paints it from a skin section, while the
// window keeps its own behaviour. This base holds what every adapter needs:
// the subclassing and its undoing, the "KXSBSC" property that leads from a
// window to its adapter, the window's geometry, and the message handling
// that all adapters share. Descendants add the painting of one kind of
// window and end in TkxMainWnd::kxWndProc for what they leave alone.
//
// Ownership: the creator owns the adapter (and frees it, or lets
// UnsubclassWindow free it); the adapter never owns its window, and owns its
// TsCommonData only when it made it (OwnSkinData).
//
// The procedure installed on the window is not the adapter itself but a
// small link that calls it. Detaching while another procedure has been
// installed over the adapter's leaves the link in place as a pass-through
// to the previous procedure, so whoever subclassed later is neither cut
// out of the chain nor left calling freed code; the link lives until the
// window is destroyed. Windows only; UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "toolkit/Controls.h"
#include "toolkit/Messages.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace kx {

class TsCommonData;
class TsSkinManager;
class TkxWndLink;

// The window property that holds a window's adapter.
constexpr const wchar_t* kxAdapterProp = L"KXSBSC";

// Engine-wide values an adapter copies when it is made: the dialog skinning
// raises DialogMode while it attaches adapters to a system dialog's windows.
struct TkxAdapterDefaults {
  bool DialogMode = false;
  bool CustomFont = false;
};
inline TkxAdapterDefaults AdapterDefaults;

class TkxMainWnd : public tk::TObject {
 public:
  TK_CLASS_NAME(TkxMainWnd)
  // Prepares an adapter for Handle; it is attached by Attach (AttachAdapter
  // does both). SkinManager null: the skin state's manager; SkinData null:
  // the adapter makes and owns one. SkinSection is given to a skin state
  // that has none yet. Repaint asks scrollable adapters for a frame
  // recalculation once attached.
  TkxMainWnd(HWND Handle, bool Repaint, const tk::String& SkinSection, TsSkinManager* SkinManager,
             TsCommonData* SkinData);
  // Detaches (unless already Destroyed), then frees what the adapter owns.
  // Only the base's RestoreStdParams can run here: a descendant that puts
  // colours back detaches in its own destructor (UnsubclassWindow).
  ~TkxMainWnd() override;
  TkxMainWnd(const TkxMainWnd&) = delete;
  TkxMainWnd& operator=(const TkxMainWnd&) = delete;

  // Subclasses the window (scrollable adapters attach their scroll bars
  // instead) and marks the owner control opaque. Called once, after the
  // most derived constructor, so that the window's messages reach the
  // finished object.
  virtual void Attach();

  // The adapter's window procedure: every message of the window passes
  // through it. Descendants handle what they paint and end here.
  virtual void kxWndProc(tk::TMessage& Message);
  // Hands a message to the window's previous procedure (the toolkit
  // control's former WindowProc, or the plain window's former procedure);
  // LParam is copied back. 0 once detached.
  intptr_t CallPrevWndProc(HWND Handle, uint32_t Msg, uintptr_t WParam, intptr_t& LParam);
  // The same for a whole message record; Result is the answer.
  void CallPrevWndProc(tk::TMessage& Message);

  virtual void SaveStdParams() {}
  virtual void RestoreStdParams() {}
  virtual void SetSkinParams() { ParamsChanged = true; }

  // Installs Adapter on Handle: the property, then one of three ways: the
  // window procedure of a plain window, the WindowProc of a form whose skin
  // provider owns the skin state, or the WindowProc of the owner control.
  static void SubclassWindow(TkxMainWnd* Adapter, HWND Handle);
  // Takes Adapter off Handle (nothing for a null adapter or one already
  // Destroyed): the previous procedure back, or a pass-through left in the
  // chain when another procedure was installed over the adapter's; then the
  // property removed, the owner's colours back and, for a visible window,
  // the frame redrawn (recalculated with Redraw). FreeAdapter frees the
  // adapter and clears the reference.
  static void UnsubclassWindow(HWND Handle, bool FreeAdapter, bool Redraw, TkxMainWnd*& Adapter);
  // The adapter of a window (by its property), or null.
  static TkxMainWnd* FromHandle(HWND Handle);

  // The previous plain window procedure, the installed thunk, and whether
  // a toolkit WindowProc was replaced; null / false once detached.
  void* OldProc() const;
  void* NewWndProcInstance() const;
  bool ReplacedWindowMethod() const;

  // --- State (fields in the engine's order) ---------------------------------
  bool DlgMode = false;
  tk::String Caption;
  tk::TRect WndRect;
  tk::TSize WndSize;
  tk::TPoint WndPos;
  tk::TRect ParentRect;
  HWND ParentWnd = nullptr;
  HWND CtrlHandle = nullptr;
  TsSkinManager* SkinManager = nullptr;
  TsCommonData* SkinData = nullptr;
  bool DontRepaint = false;
  bool ParamsChanged = false;
  tk::TColor StdColor = 0;
  tk::TColor StdFontColor = 0;
  bool Destroyed = false;
  bool OwnSkinData = false;
  intptr_t Tag = 0;

 protected:
  // False once the adapter was freed or its window went away; take the
  // token (FAlive) before a call that may free the adapter.
  bool Alive(const std::weak_ptr<bool>& Token) const;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

  // The toolkit control whose WindowProc the adapter replaces: the owner
  // control, or the form of a skin provider owning the skin state; null for
  // a plain window.
  tk::TControl* MethodTarget() const;
  bool Repaint() const { return FRepaint; }

  // --- Hooks of the common handling ---------------------------------------------
  // The common command handler's answer for a skin command this base does
  // not answer itself (KX_QUERYVARYINGBG of an adapter with an owner
  // control); true when it answered. Nothing here.
  virtual bool HandleSkinCommand(tk::TMessage& Message) {
    (void)Message;
    return false;
  }
  // KX_BUILDCACHE: paint the window's frame into the skin state's cache.
  virtual void BuildFrameCache() {}
  // The part of the common handling that needs a skin (engine commands);
  // called only with a skin state and an active manager.
  virtual void SkinCommand(tk::TMessage& Message);

 private:
  friend class TkxWndLink;
  void WMDestroy(tk::TMessage& m);
  void WMSetText(tk::TMessage& m);
  void WMMouseMove(tk::TMessage& m);
  // The link went with its window (WM_NCDESTROY reached it).
  void LinkGone();

  TkxWndLink* FLink = nullptr;
  bool FRepaint = false;
};

// Attaches a new adapter of class T: constructor, then Attach.
template <class T, class... Args>
T* AttachAdapter(Args&&... args) {
  T* a = new T(std::forward<Args>(args)...);
  try {
    a->Attach();
  } catch (...) {
    delete a;
    throw;
  }
  return a;
}

// Refreshes WndRect, ParentWnd, ParentRect, WndSize and WndPos of Adapter
// from its window. Every painting routine begins with it.
void UpdateWindowGeometry(TkxMainWnd* Adapter);
// Recalc: the frame is recalculated (SWP_FRAMECHANGED); otherwise only
// repainted (WM_NCPAINT).
void RedrawFrame(HWND Handle, bool Recalc);

}  // namespace kx
