#include "skin/controls/sMemo.h"

#include <windows.h>

#include "skin/controls/kxEditWnd.h"
#include "skin/controls/sLabel.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sCommonData.h"
#include "toolkit/Forms.h"

namespace kx {

void RefreshEditScrolls(TsCommonData* SkinData, HWND Handle, TkxScrollWnd*& Adapter) {
  if (SkinData && SkinData->Skinned()) {
    if (Adapter && Adapter->Destroyed) DetachScrollBars(Handle, true, false, Adapter);
    if (!Adapter && Handle)
      Adapter = AttachAdapter<TkxEditWnd>(Handle, true, SkinData->SkinSection(), SkinData->EffectiveManager(), SkinData);
  } else if (Adapter) {
    DetachScrollBars(Handle, true, true, Adapter);
  }
}

TsMemo::TsMemo(tk::TComponent* AOwner)
    : TsSectioned<tk::TMemo, cocMemo>(AOwner), FBoundLabel(std::make_unique<TsBoundLabel>(this, SkinData())) {
  tk::TControlStyle s = ControlStyle();
  s.Exclude(tk::csOpaque);
  SetControlStyle(s);
  if (SkinSection().empty()) SetSkinSection(L"EDIT");
}

TsMemo::~TsMemo() {
  FreeAdapter();
  FBoundLabel.reset();
}

void TsMemo::FreeAdapter() {
  if (!FListSW) return;
  DetachScrollBars(FListSW->CtrlHandle, true, false, FListSW);
}

void TsMemo::SetDisabledKind(TsDisabledKinds Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  SkinData()->Invalidate();
}

void TsMemo::Loaded() {
  TsSectioned<tk::TMemo, cocMemo>::Loaded();
  RefreshEditScrolls();
}

void TsMemo::RefreshEditScrolls() {
  if (IsDestroying()) return;
  kx::RefreshEditScrolls(SkinData(), HandleAllocated() ? Handle() : nullptr, FListSW);
}

// A window made anew (a recreation) gets its adapter again.
void TsMemo::CreateHandleDone() {
  tk::TMemo::CreateHandleDone();
  if (!IsLoading() && FListSW) RefreshEditScrolls();
}

void TsMemo::WndProc(tk::TMessage& m) {
  if (m.Msg == tk::CM_FONTCHANGED && Showing() && HandleAllocated())
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
  if (m.Msg == SM_KESTRIXCMD) {
    const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == SkinData()->EffectiveManager();
    switch (m.WParamHi()) {
      case KX_SKINLOADED:
        if (!own) break;
        SkinHandler().HandleSkinMessage(m);
        RefreshEditScrolls();
        return;
      case KX_SKINREMOVED:
        if (!own) break;
        FreeAdapter();
        SkinHandler().HandleSkinMessage(m);
        // The system frame and bars come back only with a new window.
        if (HandleAllocated()) RecreateWnd();
        return;
      case KX_SKINREFRESH:
        if (!own) break;
        SkinHandler().HandleSkinMessage(m);
        RefreshEditScrolls();
        if (HandleAllocated()) ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
        return;
      case KX_QUERYHANDLED: m.Result = 1; return;
      case KX_QUERYAPPLICATION: m.Result = reinterpret_cast<intptr_t>(tk::Application); return;
      default: break;
    }
  }
  if (!SkinData()->Skinned() || IsLoading()) {
    tk::TMemo::WndProc(m);
    BoundLabelStep(m);
    return;
  }
  if (m.Msg == WM_PAINT) {
    if (SkinData()->IsUpdating()) {
      PAINTSTRUCT ps;
      ::BeginPaint(Handle(), &ps);
      ::EndPaint(Handle(), &ps);
      m.Result = 0;
      return;
    }
    tk::TMemo::WndProc(m);
    return;
  }
  if (SkinHandler().HandleSkinMessage(m)) return;
  tk::TMemo::WndProc(m);
  switch (m.Msg) {
    case WM_SETFONT:
    case tk::CM_VISIBLECHANGED:
    case tk::CM_ENABLEDCHANGED: SkinData()->Invalidate(); break;
    case EM_SETSEL:
      if (OnScrollCaret) OnScrollCaret(this);
      break;
    case WM_VSCROLL:
      if (OnVScroll) OnVScroll(this);
      break;
    case tk::CM_TEXTCHANGED:
    case tk::CM_CHANGED: RefreshBars(FListSW, true); break;
    case tk::CM_SHOWINGCHANGED: RefreshEditScrolls(); break;
    default: break;
  }
  BoundLabelStep(m);
}

void TsMemo::BoundLabelStep(const tk::TMessage& m) {
  TsEditLabel* label = FBoundLabel ? FBoundLabel->TheLabel() : nullptr;
  if (!label) return;
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED: break;
    case tk::CM_VISIBLECHANGED: label->SetVisible(Visible()); break;
    case tk::CM_ENABLEDCHANGED: label->SetEnabled(Enabled() || !(FDisabledKind & dkBlended)); break;
    case tk::CM_BIDIMODECHANGED: label->SetBiDiMode(BiDiMode()); break;
    default: return;
  }
  FBoundLabel->AlignLabel();
}

}  // namespace kx
