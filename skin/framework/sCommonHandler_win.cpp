#include "skin/framework/sCommonHandler.h"

#include <windows.h>

#include <algorithm>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/kxSystemCaps.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCommonData.h"
#include "toolkit/Buttons.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace kx {

namespace {

tk::TWinControl* Windowed(tk::TControl* c) { return dynamic_cast<tk::TWinControl*>(c); }

void Redraw(tk::TControl* c, UINT Flags) {
  if (tk::TWinControl* w = Windowed(c); w && w->HandleAllocated()) ::RedrawWindow(w->Handle(), nullptr, nullptr, Flags);
}

// Every child of Owner not being destroyed (and kept by Keep) is told it moved.
template <class Keep>
void ChildrenMoved(tk::TControl* Owner, uint16_t Redraw, Keep keep) {
  tk::TWinControl* w = Windowed(Owner);
  if (!w) return;
  for (int i = 0; i < w->ControlCount(); ++i)
    if (tk::TControl* c = w->Controls(i); !c->IsDestroying() && keep(c))
      SendControlCommand(c, KX_CHECKMOVED, 0, Redraw);
}

bool Designing(const tk::TControl* c) { return c && c->ComponentState().Contains(tk::csDesigning); }

// Buttons show their own hover look; containers and the like none.
bool ShowsGlow(int COC) { return !IsNoGlowClass(COC) && !IsButtonClass(COC); }

// The colours an edit takes from the section, or the system's without a skin.
void ColourEdit(TsCommonData& d, tk::TColor Back, tk::TColor Text) {
  auto* edit = dynamic_cast<tk::TCustomEdit*>(d.FOwnerControl);
  if (!edit) return;
  d.TakeColours(Back, Text);
  Redraw(edit, RDW_FRAME | RDW_INVALIDATE);
}

// The colour a child sees through this control: the parent's weighted by
// the section's transparency percent, each byte of the colour value on its
// own, T taken as parts of 256.
tk::TColor SeeThroughColor(tk::TColor Parent, tk::TColor Own, int T) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int p = static_cast<int>((Parent >> shift) & 0xFF), c = static_cast<int>((Own >> shift) & 0xFF);
    out |= static_cast<uint32_t>(std::clamp((T * (p - c) + c * 256) >> 8, 0, 255)) << shift;
  }
  return static_cast<tk::TColor>(out);
}

}  // namespace

bool TkxCommonHandler::HandleSkinMessage(tk::TMessage& m) {
  switch (m.Msg) {
    case SM_KESTRIXCMD: return HandleSkinCommand(m);
    case WM_MOVE: Moved(); return false;
    case WM_SIZE: Sized(); return false;
    case WM_SETFOCUS: FocusChanged(true); return false;
    case WM_KILLFOCUS: FocusChanged(false); return false;
    case WM_CONTEXTMENU: return ContextMenu();
    case WM_UPDATEUISTATE: return UpdateUIState() ? (m.Result = 1, true) : false;
    case WM_PARENTNOTIFY:
      if (m.WParamLo() == WM_CREATE) ChildCreated();
      return false;
    case tk::CM_VISIBLECHANGED: VisibleChanged(m.WParam != 0); return false;
    case tk::CM_ENABLEDCHANGED: EnabledChanged(); return false;
    case tk::CM_MOUSEENTER: MouseEntered(reinterpret_cast<tk::TControl*>(m.LParam)); return false;
    case tk::CM_MOUSELEAVE: MouseLeft(); return false;
    default: return false;
  }
}

bool TkxCommonHandler::HandleSkinCommand(tk::TMessage& m) { return m.Msg == SM_KESTRIXCMD && Command(m); }

bool TkxCommonHandler::Command(tk::TMessage& m) {
  auto* sender = reinterpret_cast<TsSkinManager*>(m.LParam);
  const bool arg = m.WParamLo() == 1;
  auto answer = [&](intptr_t Value) { return m.Result = Value, true; };
  switch (CommandOf(m)) {
    case KX_SKINLOADED:
      if (IsOwnManager(m.LParam)) SkinLoaded(sender);
      return false;
    case KX_SKINREMOVED:
      if (IsOwnManager(m.LParam)) SkinRemoved(sender);
      return false;
    case KX_SKINREFRESH:
      if (IsOwnManager(m.LParam)) SkinRefresh(sender);
      return false;
    case KX_QUERYHANDLED: return answer(1);
    case KX_SETUPDATING: SetUpdating(arg); return false;
    case KX_SETURGENT: SetUrgent(arg); return false;
    case KX_QUERYUPDATING: return answer(QueryUpdating());
    case KX_QUERYHALFVISIBLE: return answer(QueryHalfVisible());
    case KX_TRANSPARENTCHANGED: TransparentChanged(arg); return false;
    case KX_SECTIONCHANGED: SectionChanged(); return false;
    case KX_BGCHANGED: BackgroundChanged(); return false;
    case KX_REPAINTNOW: RepaintNow(); return false;
    case KX_QUERYVARYINGBG: return Data().Section() && answer(QueryVaryingBackground());
    case KX_CHECKMOVED: CheckMoved(arg); return false;
    case KX_QUERYCOLOR: return answer(static_cast<intptr_t>(QueryColor()));
    case KX_SETHALFVISIBLE: SetHalfVisible(); return false;
    case KX_BUILDCACHE: PrepareCache(); return false;
    // These write through LParam: only for a pointer this thread is sending
    // (anyone can send the message); anything else is answered with 0.
    case KX_QUERYSKININDEX:
      if (m.LParam && IsTrustedPointerCommand(m)) QuerySkinIndex(*reinterpret_cast<int*>(m.LParam));
      return answer(0);
    case KX_QUERYBACKGROUND:
      if (m.LParam && IsTrustedPointerCommand(m)) QueryBackground(*reinterpret_cast<TBackgroundQuery*>(m.LParam));
      return answer(0);
    case KX_QUERYSKINSTATE: return answer(QuerySkinState(m.LParam == 1));
    case KX_QUERYAPPLICATION: return answer(QueryApplication());
    default: return false;
  }
}

bool TkxCommonHandler::IsOwnManager(intptr_t Sender) const {
  // No manager named means the default one, as a null SkinManager does.
  if (Sender == 0) return Data().SkinManager() == nullptr;
  return reinterpret_cast<TsSkinManager*>(Sender) == Data().EffectiveManager();
}

// --- Commands ---------------------------------------------------------------------------

void TkxCommonHandler::SkinLoaded(TsSkinManager*) { Data().UpdateIndexes(); }

void TkxCommonHandler::SkinRemoved(TsSkinManager* Sender) {
  TsCommonData& d = Data();
  if (Sender && Sender->IsDestroying()) d.ForgetManager(Sender);
  d.ForgetIndexes();
  d.SetUpdating(true);
  if (d.FCacheBmp) d.FCacheBmp->SetSize(0, 0);
  if (dynamic_cast<tk::TCustomEdit*>(d.FOwnerControl)) {
    ColourEdit(d, tk::clWindow, tk::clWindowText);
  } else if (tk::TWinControl* w = Windowed(d.FOwnerControl)) {
    // Labels took their text colour from the skin painted behind them.
    for (int i = 0; i < w->ControlCount(); ++i)
      if (auto* label = dynamic_cast<tk::TCustomLabel*>(w->Controls(i))) label->Font()->SetColor(tk::clWindowText);
  }
}

void TkxCommonHandler::SkinRefresh(TsSkinManager*) {
  TsCommonData& d = Data();
  d.BGChanged = true;
  d.SetUpdating(false);
  if (!d.IndexesCurrent()) d.UpdateIndexes();
  if (const TsGeneralData* s = d.Skinned() ? d.Section() : nullptr) ColourEdit(d, s->Color, s->FontColor[0]);
  d.UpdateSkinState(false);
}

void TkxCommonHandler::SetUpdating(bool Value) { Data().SetUpdating(Value); }
void TkxCommonHandler::SetUrgent(bool Value) { Data().UrgentPainting = Value; }
bool TkxCommonHandler::QueryUpdating() const { return Data().BGChanged || Data().UpdatingFlag(); }
bool TkxCommonHandler::QueryHalfVisible() const { return Data().HalfVisible; }

void TkxCommonHandler::TransparentChanged(bool Rebuild) {
  const TsGeneralData* s = Data().Section();
  if (Rebuild && s && s->Transparency > 0) Data().BGChanged = true;
}

void TkxCommonHandler::SectionChanged() {
  if (Data().SkinSection() == Engine.ChangedSection) Data().Invalidate();
}

void TkxCommonHandler::BackgroundChanged() { Data().BGChanged = true; }
void TkxCommonHandler::RepaintNow() { Data().Invalidate(); }

bool TkxCommonHandler::QueryVaryingBackground() const {
  const TsGeneralData* s = Data().Section();
  if (s->Transparency == 100 && Data().FOwnerControl && Data().FOwnerControl->Parent()) return Data().ParentTextured();
  return s->GradientPercent + s->ImagePercent > 0 || Data().RepaintIfMoved();
}

void TkxCommonHandler::CheckMoved(bool RedrawToo) {
  TsCommonData& d = Data();
  const bool moved = d.RepaintIfMoved();
  d.BGChanged = d.BGChanged || moved;
  if (RedrawToo) Redraw(d.FOwnerControl, RDW_ALLCHILDREN | RDW_NOERASE | RDW_NOINTERNALPAINT | RDW_INVALIDATE);
  if (moved) ChildrenMoved(d.FOwnerControl, 0, [](tk::TControl*) { return true; });
}

tk::TColor TkxCommonHandler::QueryColor() const {
  const TsCommonData& d = Data();
  const TsGeneralData* s = d.Skinned() ? d.Section() : nullptr;
  // A custom colour is painted opaque, so that is what the owner shows.
  if (!s || d.CustomColor()) return tk::ColorToRGB(d.OwnerColor());
  const int t = s->Transparency;
  if (t <= 0) return tk::ColorToRGB(s->Color);
  // The parent's answer; one that gives none, or answers "not known", is
  // taken at its own colour (mixing with the key colour would show magenta).
  tk::TWinControl* parent = d.FOwnerControl ? d.FOwnerControl->Parent() : nullptr;
  const tk::TColor behind = parent ? ReportedColor(parent) : tk::ColorToRGB(d.OwnerColor());
  if (t >= 100) return behind;
  return SeeThroughColor(behind, tk::ColorToRGB(s->Color), t);
}

void TkxCommonHandler::SetHalfVisible() { Data().HalfVisible = true; }
void TkxCommonHandler::QuerySkinIndex(int& Index) const { Index = Data().SkinIndex; }
void TkxCommonHandler::QueryBackground(TBackgroundQuery& Query) const { AnswerBackgroundQuery(Data(), Query); }

uint16_t TkxCommonHandler::QuerySkinState(bool Recompute) {
  if (Recompute) Data().UpdateSkinState(true);
  return Data().CtrlSkinState;
}

intptr_t TkxCommonHandler::QueryApplication() const { return reinterpret_cast<intptr_t>(tk::Application); }

// --- Window messages ---------------------------------------------------------------------

void TkxCommonHandler::Moved() {
  TsCommonData& d = Data();
  if (!d.FOwnerControl || !d.RepaintIfMoved()) return;
  d.BGChanged = true;
  SendControlCommand(d.FOwnerControl, KX_CHECKMOVED, 0, 1);
  d.HideGlow();
}

void TkxCommonHandler::Sized() {
  TsCommonData& d = Data();
  if (!d.Skinned()) return;
  d.BGChanged = true;
  // A gradient stretches with the control: children placed on it show another part.
  if (d.Section()->GradientPercent >= 1)
    ChildrenMoved(d.FOwnerControl, 1, [](tk::TControl* c) {
      return !c->Anchors().Contains(tk::akRight) && !c->Anchors().Contains(tk::akBottom);
    });
  d.HideGlow();
}

void TkxCommonHandler::FocusChanged(bool Focused) {
  TsCommonData& d = Data();
  tk::TWinControl* w = Windowed(d.FOwnerControl);
  if (!w || !w->TabStop()) return;
  d.BGChanged = true;
  d.FFocused = Focused;
  if (IsEditLikeClass(d.COC) && (Focused || w->Visible())) Redraw(w, RDW_FRAME | RDW_INVALIDATE);
}

bool TkxCommonHandler::UpdateUIState() const {
  if (Data().Skinned()) return true;
  // A themed control draws its focus and accelerator cues itself: it is
  // redrawn, and the message goes on to it.
  if (tk::TWinControl* w = Windowed(Data().FOwnerControl); w && w->HandleAllocated() && VisualThemes())
    ::RedrawWindow(w->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return false;
}

void TkxCommonHandler::ChildCreated() {
  if (tk::TWinControl* w = Windowed(Data().FOwnerControl))
    if (tk::TCustomForm* form = tk::GetParentForm(w)) SendControlCommand(form, KX_CONTROLADDED);
}

void TkxCommonHandler::VisibleChanged(bool Visible) {
  TsCommonData& d = Data();
  if (!d.FCacheBmp) return;
  if (Visible) {
    d.SetUpdating(false);
    d.BGChanged = true;
  } else {
    d.FCacheBmp->SetSize(0, 0);
  }
}

void TkxCommonHandler::EnabledChanged() {
  TsCommonData& d = Data();
  d.FMouseAbove = false;
  d.FFocused = false;
  if (d.FOwnerControl && !d.FOwnerControl->Enabled()) d.HideGlow();
}

void TkxCommonHandler::MouseEntered(tk::TControl* From) {
  TsCommonData& d = Data();
  if (Designing(d.FOwnerControl)) return;
  d.FMouseAbove = !IsContainerClass(d.COC);
  tk::TWinControl* w = Windowed(d.FOwnerControl);
  TsSkinManager* m = DefaultManager();
  if (!w || !m) return;
  // The mouse came here from a child button: a button still lit would stay
  // so when it missed its own leave notification.
  for (int i = 0; i < w->ControlCount(); ++i)
    if (auto* b = dynamic_cast<tk::TSpeedButton*>(w->Controls(i)); b && b != From && b->MouseInControl())
      b->Perform(tk::CM_MOUSELEAVE);
  if (w->HandleAllocated()) m->TrackActiveWindow(w->Handle());
  if (ShowsGlow(d.COC)) d.UpdateGlow(false);
  if (IsEditLikeClass(d.COC)) {
    d.BGChanged = true;
    Redraw(w, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
  }
}

void TkxCommonHandler::MouseLeft() {
  TsCommonData& d = Data();
  if (Designing(d.FOwnerControl)) return;
  d.FMouseAbove = false;
  if (ShowsGlow(d.COC)) {
    d.HideGlow();
    if (GlowHooks.HideAll) GlowHooks.HideAll();
  }
  if (IsEditLikeClass(d.COC) && d.FOwnerControl && d.FOwnerControl->Visible()) {
    d.BGChanged = true;
    Redraw(d.FOwnerControl, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
  }
}

// --- Painting ---------------------------------------------------------------------------

void TkxCommonHandler::PrepareCache() {
  TsCommonData& d = Data();
  if (!d.IndexesCurrent()) d.UpdateIndexes();
  const int state = PaintState();
  if (d.CacheFits(state) || d.IsUpdating()) return;
  d.InitCacheBmp();
  PaintContent(*d.FCacheBmp, state);
  d.CacheBuilt(state);
}

}  // namespace kx
