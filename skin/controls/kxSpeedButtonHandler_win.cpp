// Our headers before <windows.h>: the colour helpers of Types.h share their
// names with the system's GetRValue/GetGValue/GetBValue macros.
#include "skin/controls/kxSpeedButtonHandler.h"

#include <windows.h>

#include <algorithm>

#include "skin/controls/kxBtnWnd.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCacheToDevice.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sCommonHandler.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sSkinText.h"
#include "skin/paint/sAlphaGraph.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {

// What the button's WindowProc holds in the handler's name. While the
// handler is attached every message goes to it; once it has let go, the
// link only forwards to the previous method. A link taken out of the chain
// is freed when no call of it is running; one left under a later method
// stays for as long as the button may call it.
class TkxSpeedButtonHandler::TLink {
 public:
  TLink(TkxSpeedButtonHandler* Handler, tk::TControl* Control)
      : FHandler(Handler), FControl(Control), FOld(Control->WindowProc) {}

  tk::TWndMethod AsMethod() { return tk::TWndMethod(this, &TLink::Method); }
  void Install() { FControl->WindowProc = AsMethod(); }
  void CallPrev(tk::TMessage& m) {
    if (FOld) FOld(m);
    else m.Result = 0;
  }

  // The handler goes: the previous method back when the link is on top.
  static void Release(TLink* Link) {
    Link->FHandler = nullptr;
    if (!(Link->FControl->WindowProc == Link->AsMethod())) return;  // a pass-through from now on
    Link->FControl->WindowProc = Link->FOld;
    Link->FRetired = true;
    if (Link->FDepth == 0) delete Link;
  }

 private:
  void Method(tk::TMessage& m) {
    ++FDepth;
    struct TLeave {
      TLink* l;
      ~TLeave() {
        if (--l->FDepth == 0 && l->FRetired) delete l;
      }
    } leave{this};
    if (TkxSpeedButtonHandler* h = FHandler) h->kxWndProc(m);
    else CallPrev(m);
  }

  TkxSpeedButtonHandler* FHandler;
  tk::TControl* FControl;
  tk::TWndMethod FOld;
  int FDepth = 0;
  bool FRetired = false;
};

class TkxSpeedButtonHandler::THandler : public TkxCommonHandler {
 public:
  THandler(TsCommonData& Data, TkxSpeedButtonHandler& Owner) : TkxCommonHandler(Data), FOwner(Owner) {}
  void PrepareCache() override { FOwner.PrepareCache(); }

 private:
  TkxSpeedButtonHandler& FOwner;
};

TkxSpeedButtonHandler::TkxSpeedButtonHandler(tk::TControl* Btn, bool Repaint, const tk::String& SkinSection,
                                             TsSkinManager* Manager, TsCommonData* Data)
    : Ctrl(Btn) {
  (void)Repaint;  // the button paints through its parent: nothing to recalculate
  if (!Data) {
    FOwnData = std::make_unique<TsCommonData>(Btn, true);
    Data = FOwnData.get();
  }
  SkinData = Data;
  SkinManager = Manager ? Manager : Data->EffectiveManager();
  if (Data->SkinSection().empty()) Data->SetSkinSection(SkinSection);
  FHandler = std::make_unique<THandler>(*Data, *this);
  FLink = new TLink(this, Btn);
  FLink->Install();
}

TkxSpeedButtonHandler::~TkxSpeedButtonHandler() {
  if (!Destroyed && FLink) TLink::Release(FLink);
  FLink = nullptr;
  Destroyed = true;
  SkinManager = nullptr;
}

tk::TSpeedButton* TkxSpeedButtonHandler::Button() const { return dynamic_cast<tk::TSpeedButton*>(Ctrl); }

tk::String TkxSpeedButtonHandler::Caption() const { return Ctrl ? Ctrl->Caption() : tk::String(); }

bool TkxSpeedButtonHandler::Own(intptr_t Sender) const {
  return reinterpret_cast<TsSkinManager*>(Sender) == SkinManager;
}

void TkxSpeedButtonHandler::RepaintVisible() {
  if (Ctrl->Visible()) Ctrl->Repaint();
}

void TkxSpeedButtonHandler::CallPrevWndProc(tk::TMessage& m) {
  if (FLink && !Destroyed) FLink->CallPrev(m);
  else m.Result = 0;
}

// --- Layout -----------------------------------------------------------------------------

int TkxSpeedButtonHandler::CurrentState() const {
  if (tk::TSpeedButton* b = Button(); b && (b->State() == tk::bsDown || b->State() == tk::bsExclusive)) return 2;
  return SkinData->IsActive() ? 1 : 0;
}

int TkxSpeedButtonHandler::GlyphWidth() const {
  tk::TSpeedButton* b = Button();
  return b && !b->Glyph()->Empty() ? b->Glyph()->Width() / std::max<int>(b->NumGlyphs(), 1) : 0;
}

int TkxSpeedButtonHandler::GlyphHeight() const {
  tk::TSpeedButton* b = Button();
  return b && !b->Glyph()->Empty() ? b->Glyph()->Height() : 0;
}

tk::TSize TkxSpeedButtonHandler::TextRectSize() {
  const tk::String caption = Caption();
  if (caption.empty()) return {};
  SkinData->InitCacheBmp();
  tk::TCanvas* c = SkinData->FCacheBmp->Canvas();
  c->Font()->Assign(Ctrl->Font());
  tk::TRect r{0, 0, 255, 0};
  c->TextDraw(caption, r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  return tk::TSize{r.Width(), r.Height()};
}

// The skinned speed button's layout: glyph and caption as one block, or at
// Margin from the edge on the side Layout names.
TkxButtonMeasures TkxSpeedButtonHandler::Measures() {
  TkxButtonMeasures m;
  m.W = Ctrl->Width();
  m.H = Ctrl->Height();
  if (tk::TSpeedButton* b = Button()) {
    m.Margin = b->Margin();
    m.Spacing = b->Spacing();
    m.Layout = b->Layout();
  }
  m.GW = GlyphWidth();
  m.GH = GlyphHeight();
  const tk::TSize t = TextRectSize();
  m.TW = t.cx;
  m.TH = t.cy;
  m.HasCaption = !Caption().empty();
  m.Pressed = CurrentState() == 2;
  return m;
}

tk::TRect TkxSpeedButtonHandler::ImgRect() { return kx::ImgRect(Measures()); }
tk::TRect TkxSpeedButtonHandler::CaptionRect() { return kx::CaptionRect(Measures()); }

// --- Painting -------------------------------------------------------------------------------

void TkxSpeedButtonHandler::DrawCaption() {
  if (Caption().empty()) return;
  tk::TCanvas* c = SkinData->FCacheBmp->Canvas();
  c->Font()->Assign(Ctrl->Font());
  c->Brush()->SetStyle(tk::bsClear);
  // Centred: the caption rectangle is a pixel wider than the text on the
  // left and two on the right, so the text starts Spacing after the glyph.
  DoDrawText(CaptionRect(), TextFormatFor(Ctrl, tk::taCenter) | DT_WORDBREAK | DT_EXPANDTABS);
}

void TkxSpeedButtonHandler::DoDrawText(tk::TRect R, uint32_t Format) {
  Format = Ctrl->DrawTextBiDiModeFlags(Format) & ~static_cast<uint32_t>(DT_SINGLELINE);
  WriteSkinText(SkinData->FCacheBmp->Canvas(), Caption(), true, CurrentState() != 0, *SkinData, Format, R);
}

void TkxSpeedButtonHandler::DrawGlyph() {
  tk::TSpeedButton* b = Button();
  if (!b || b->Glyph()->Empty()) return;
  const tk::TRect r = ImgRect();
  DrawBitBtnGlyph(SkinData->FCacheBmp.get(), b->Glyph(), b->NumGlyphs(), tk::TPoint{r.Left, r.Top}, b->Down(),
                  CurrentState(), b->Enabled());
}

void TkxSpeedButtonHandler::PrepareCache() {
  TsCommonData& d = *SkinData;
  tk::TWinControl* parent = Ctrl->Parent();
  const int w = Ctrl->Width(), h = Ctrl->Height();
  if (!parent || w < 1 || h < 1) return;
  d.InitCacheBmp();
  tk::TBitmap* cache = d.FCacheBmp.get();
  cache->Canvas()->Font()->Assign(Ctrl->Font());
  TBackgroundQuery q;
  QueryControlBackground(q, parent, false);
  // The parent has not been painted yet: nothing to lay the button over.
  if (q.Kind == kxBGBitmap && q.Bmp && q.Bmp->Width() == 0) return;
  const tk::TPoint at{Ctrl->Left(), Ctrl->Top()};
  const int state = CurrentState();
  PaintControlLook(d, ToCacheInfo(q), true, true, cache, at, tk::TRect{0, 0, w, h}, state);
  UpdateCorners(d, state);
  DrawCaption();
  DrawGlyph();
  if (!Ctrl->Enabled()) {
    const TCacheInfo behind = d.GetParentCache();
    MakeDisabledLook(
        cache, dkBlended, [&d] { return d.OwnerColor(); }, at, behind);
  }
  d.BGChanged = false;
}

void TkxSpeedButtonHandler::KX_WMPaint(tk::TMessage& m) {
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  m.Result = 0;
  if (!dc) return;
  const tk::TDCState state(dc);
  PrepareCache();
  tk::TBitmap* cache = SkinData->FCacheBmp.get();
  if (!cache || cache->Empty()) return;
  tk::detail::FlushPixelStore();
  ::BitBlt(dc, 0, 0, Ctrl->Width(), Ctrl->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// --- Messages ---------------------------------------------------------------------------------

void TkxSpeedButtonHandler::kxWndProc(tk::TMessage& m) {
  TsCommonData& d = *SkinData;
  if (m.Msg == SM_KESTRIXCMD) {
    switch (CommandOf(m)) {
      case KX_SKINLOADED:
        if (!Own(m.LParam)) break;
        FHandler->HandleSkinMessage(m);
        return;
      case KX_SKINREMOVED:
        if (!Own(m.LParam) || Ctrl->IsDestroying()) break;
        FHandler->HandleSkinMessage(m);
        RepaintVisible();
        break;
      case KX_SKINREFRESH:
        if (!Own(m.LParam)) break;
        FHandler->HandleSkinMessage(m);
        RepaintVisible();
        return;
      case KX_PARENTUPDATED:
        if (!d.UpdatingFlag()) break;
        d.SetUpdating(false);
        Ctrl->Repaint();
        return;
      case KX_QUERYHANDLED: m.Result = 1; return;
      case KX_REPAINTNOW:
        d.SetUpdating(false);
        d.BGChanged = true;
        Ctrl->Repaint();
        break;
      case KX_QUERYAPPLICATION: m.Result = reinterpret_cast<intptr_t>(tk::Application); return;
      default: break;
    }
    return CallPrevWndProc(m);
  }
  switch (m.Msg) {
    case WM_PAINT:
      // Without a skin the button paints itself.
      if (!d.Skinned()) break;
      return KX_WMPaint(m);
    case tk::CM_MOUSEENTER:
    case tk::CM_MOUSELEAVE:
      d.FMouseAbove = m.Msg == tk::CM_MOUSEENTER;
      CallPrevWndProc(m);
      Ctrl->Repaint();
      return;
    default: break;
  }
  CallPrevWndProc(m);
}

}  // namespace kx
