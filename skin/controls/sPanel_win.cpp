#include "skin/controls/sPanel.h"

#include <windows.h>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sCacheToDevice.h"
#include "skin/framework/sCommonHandler.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sGraphicChildren.h"
#include "skin/framework/sSkinFrame.h"
#include "skin/framework/sSkinText.h"
#include "skin/paint/FrameGeometry.h"
#include "skin/paint/sDeviceFills.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {

// The common handling, with the panel's own cache building behind
// KX_BUILDCACHE.
class TsPanel::THandler : public TkxCommonHandler {
 public:
  explicit THandler(TsPanel& Panel) : TkxCommonHandler(*Panel.FCommonData), FPanel(Panel) {}
  void PrepareCache() override { FPanel.PrepareCache(); }
  bool Own(intptr_t Sender) const { return IsOwnManager(Sender); }

 private:
  TsPanel& FPanel;
};

namespace {

// T percent of the parent's colour over the rest of the own one, per channel.
tk::TColor MixPercent(tk::TColor Own, tk::TColor Parent, int T) {
  auto mix = [T](uint8_t o, uint8_t p) {
    return static_cast<uint8_t>(tk::Round(T / 100.0 * p + (1 - T / 100.0) * o));
  };
  return tk::RGBColor(mix((tk::GetRValue)(Own), (tk::GetRValue)(Parent)), mix((tk::GetGValue)(Own), (tk::GetGValue)(Parent)),
                      mix((tk::GetBValue)(Own), (tk::GetBValue)(Parent)));
}

// A canvas on a device context for the length of a scope, drawing with
// Font and a clear brush; the DC gets its own objects back at the end.
class TScopedCanvas {
 public:
  TScopedCanvas(HDC DC, tk::TFont* Font) {
    FCanvas.SetHandle(DC);
    FCanvas.Font()->Assign(Font);
    FCanvas.Brush()->SetStyle(tk::bsClear);
  }
  ~TScopedCanvas() { FCanvas.SetHandle(nullptr); }
  TScopedCanvas(const TScopedCanvas&) = delete;
  TScopedCanvas& operator=(const TScopedCanvas&) = delete;
  tk::TCanvas* Get() { return &FCanvas; }

 private:
  tk::TCanvas FCanvas;
};

bool IsGraphic(tk::TControl* c) { return !dynamic_cast<tk::TWinControl*>(c); }

}  // namespace

TsPanel::TsPanel(tk::TComponent* AOwner)
    : tk::TPanel(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true)) {
  FCommonData->COC = cocPanel;
  FHandler = std::make_unique<THandler>(*this);
}

TsPanel::~TsPanel() {
  // Messages that reach the panel while its window goes find no skin state.
  FHandler.reset();
  FCommonData.reset();
}

void TsPanel::AfterConstruction() {
  tk::TPanel::AfterConstruction();
  FCommonData->Loaded();
}

void TsPanel::Loaded() {
  tk::TPanel::Loaded();
  FCommonData->Loaded();
}

bool TsPanel::Ready() {
  return HandleAllocated() && !ControlState().Contains(tk::csCreating) && !IsLoading() &&
         !ComponentState().Contains(tk::csReading) && !IsDestroying() && Parent();
}

bool TsPanel::PaintsThroughCache() const {
  return (FCommonData->UsesCache() && !FCommonData->CustomColor()) || AnimationFlag();
}

bool TsPanel::RefreshUpdating() {
  FCommonData->SetUpdating(FCommonData->IsUpdating());
  return FCommonData->UpdatingFlag();
}

tk::TRect TsPanel::CaptionArea() {
  tk::TRect r = ClientRect();
  const int inset = BevelInset();
  r.Inflate(-inset, -inset);
  return r;
}

// --- Painting -----------------------------------------------------------------------------

void TsPanel::Paint() {
  tk::TPanel::Paint();
  if (Showing() && OnPaint) OnPaint(this, Canvas());
}

void TsPanel::PaintWindow(HDC DC) {
  if (!ControlState().Contains(tk::csPaintCopy) || !Skinned()) tk::TPanel::PaintWindow(DC);
  OurPaint(DC, true);
}

void TsPanel::OurPaint(HDC DC, bool SendUpdated) {
  if (!Showing() || !FCommonData || !Skinned()) return;
  if (!DC) DC = Canvas()->Handle();
  if (PaintsThroughCache()) PaintCached(DC);
  else PaintSolid(DC);
  if (SendUpdated && !ControlState().Contains(tk::csPaintCopy)) {
    tk::TMessage m = MakeCommand(KX_PARENTUPDATED);
    BroadcastToChildren(this, m);
  }
}

void TsPanel::PaintCached(HDC DC) {
  TsCommonData& d = *FCommonData;
  if (!RefreshUpdating()) {
    const bool stale = d.HalfVisible || d.BGChanged;
    if (d.RepaintIfMoved()) {
      RECT clip{};
      ::GetClipBox(DC, &clip);
      d.HalfVisible = clip.right - clip.left != Width() || clip.bottom - clip.top != Height();
    } else {
      d.HalfVisible = false;
    }
    if (stale && !d.UrgentPainting) PrepareCache();
  }
  CopyCacheToDevice(d, tk::TRect{0, 0, Width(), Height()}, DC, tk::TPoint{0, 0});
  PaintGraphicChildren(DC, this, tk::TPoint{0, 0});
}

void TsPanel::PaintSolid(HDC DC) {
  TsCommonData& d = *FCommonData;
  const TsGeneralData* s = d.Section();
  d.SetUpdating(false);
  const int frame = SkinFrameWidth(d);
  const int w = Width(), h = Height();
  const tk::TRect whole{0, 0, w, h};
  {
    const tk::TDCState state(DC);
    for (int i = 0; i < ControlCount(); ++i)
      if (tk::TControl* c = Controls(i); c->Visible() && IsGraphic(c))
        ::ExcludeClipRect(DC, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());

    TBackgroundQuery q;
    if (d.CustomColor()) {
      q.Kind = kxBGColor;
      q.Color = tk::ColorToRGB(Color());
    } else if (Parent()) {
      QueryControlBackground(q, Parent(), false);
    }
    if (s->Transparency == 100 && q.Kind == kxBGBitmap && q.Bmp) {
      // The parent's picture under the panel shows through, inside the frame.
      HDC src = q.Bmp->Canvas()->Handle();
      const int x = q.X + Left(), y = q.Y + Top();
      if (frame > 0) {
        tk::TRect inner;
        PaintSkinFrame(DC, whole, frame, inner, 0, d);
        ::BitBlt(DC, frame, frame, w - 2 * frame, h - 2 * frame, src, x + frame, y + frame, SRCCOPY);
      } else {
        ::BitBlt(DC, 0, 0, w, h, src, x, y, SRCCOPY);
      }
    } else {
      const tk::TColor own = d.CustomColor() ? tk::ColorToRGB(Color()) : tk::ColorToRGB(s->Color);
      const tk::TColor parent = q.Kind == kxBGColor ? q.Color : ReportedColor(Parent());
      const int t = s->Transparency;
      const tk::TColor colour = t <= 0 ? own : t >= 100 ? parent : MixPercent(own, parent, t);
      if (frame > 0) {
        tk::TRect inner;
        PaintSkinFrame(DC, whole, frame, inner, 0, d);
        FillDeviceRect(DC, inner, colour);
      } else {
        FillDeviceRect(DC, whole, colour);
      }
    }
    PaintCaption(DC);
    d.BGChanged = false;
  }
  PaintGraphicChildren(DC, this, tk::TPoint{0, 0});
}

void TsPanel::PaintCaption(HDC DC) {
  TScopedCanvas canvas(DC, Font());
  WriteText(CaptionArea(), canvas.Get(), nullptr);
  if (OnPaint) OnPaint(this, canvas.Get());
}

void TsPanel::PrepareCache() {
  TsCommonData& d = *FCommonData;
  if (!d.UsesCache() && !AnimationFlag()) return;
  d.InitCacheBmp();
  tk::TBitmap* cache = d.FCacheBmp.get();
  PaintControlLookOverParent(d, Parent(), true, true, cache, tk::TPoint{Left(), Top()},
                             tk::TRect{0, 0, Width(), Height()}, 0);
  tk::TCanvas* c = cache->Canvas();
  c->Brush()->SetStyle(tk::bsClear);
  WriteText(CaptionArea(), c, nullptr);
  if (OnPaint) OnPaint(this, c);
  d.CacheBuilt(0);
}

void TsPanel::WriteText(tk::TRect R, tk::TCanvas* Canvas, HDC DC) {
  if (!ShowCaption()) return;
  std::unique_ptr<TScopedCanvas> temporary;
  if (!Canvas) {
    if (!DC) return;
    temporary = std::make_unique<TScopedCanvas>(DC, Font());
    Canvas = temporary->Get();
  }
  const tk::String text = Caption();
  if (text.empty()) return;
  const uint32_t flags = TextFormatFor(this, Alignment()) | DT_WORDBREAK;
  Canvas->Font()->Assign(Font());
  tk::TRect measured = R;
  Canvas->TextDraw(text, measured, flags | DT_CALCRECT);
  R = PanelCaptionRect(R, 0, BorderWidth(), measured.Height());
  WriteSkinText(Canvas, text, Enabled(), false, *FCommonData, flags, R);
}

// --- Messages -----------------------------------------------------------------------------

void TsPanel::WndProc(tk::TMessage& Message) {
  if (!FCommonData) return Inherited(Message);
  if (!(Message.Msg == SM_KESTRIXCMD && EngineCommand(Message))) {
    if (Ready() && Skinned()) SkinnedMessage(Message);
    else PlainMessage(Message);
  }
  if (Message.Msg == tk::CM_MOUSEENTER) OnMouseEnter(this);
  else if (Message.Msg == tk::CM_MOUSELEAVE) OnMouseLeave(this);
}

void TsPanel::Common(tk::TMessage& m) {
  if (!FHandler->HandleSkinMessage(m)) Inherited(m);
}

bool TsPanel::EngineCommand(tk::TMessage& m) {
  auto opaque = [this](bool On) {
    tk::TControlStyle style = ControlStyle();
    style.Set(tk::csOpaque, On);
    SetControlStyle(style);
  };
  switch (CommandOf(m)) {
    case KX_SKINLOADED:
      opaque(false);
      BroadcastToChildren(this, m);
      if (FHandler->Own(m.LParam)) FHandler->HandleSkinMessage(m);
      return true;
    case KX_SKINREMOVED:
      opaque(false);
      if (FHandler->Own(m.LParam)) {
        FHandler->HandleSkinMessage(m);
        Invalidate();
      }
      BroadcastToChildren(this, m);
      return true;
    case KX_SKINREFRESH:
      if (FHandler->Own(m.LParam)) {
        FHandler->HandleSkinMessage(m);
        if (HandleAllocated() && !IsLoading()) {
          ::InvalidateRect(Handle(), nullptr, TRUE);
          ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
        }
      }
      BroadcastToChildren(this, m);
      return true;
    case KX_QUERYHANDLED: m.Result = 1; return true;
    case KX_QUERYBACKGROUND: {
      TsSkinManager* mgr = FCommonData->EffectiveManager();
      if (!mgr || !FCommonData->Section() || !mgr->IsValidImgIndex(FCommonData->BorderIndex)) return false;
      QueryBackground(m);
      return true;
    }
    case KX_QUERYAPPLICATION: m.Result = reinterpret_cast<intptr_t>(tk::Application); return true;
    default: return false;
  }
}

void TsPanel::QueryBackground(tk::TMessage& m) {
  // The answer is written through the pointer: only a send from this
  // process may name one.
  if (!m.LParam || !IsTrustedPointerCommand(m)) return;
  TsCommonData& d = *FCommonData;
  auto& q = *reinterpret_cast<TBackgroundQuery*>(m.LParam);
  if ((d.BGChanged || d.HalfVisible) && !d.IsUpdating() && d.Section()->Transparency != 100) PrepareCache();
  d.AnswerBackgroundQuery(q);
  // With a window border the children's origin is the client area's.
  if (ClientWidth() != Width() && q.Kind == kxBGBitmap && !q.PaintNow) {
    q.X += BevelInset();
    q.Y += BevelInset();
  }
}

void TsPanel::SkinnedMessage(tk::TMessage& m) {
  TsCommonData& d = *FCommonData;
  if (m.Msg == SM_KESTRIXCMD) {
    switch (CommandOf(m)) {
      case KX_PARENTUPDATED: return ParentUpdated(m);
      case KX_QUERYUPDATING: m.Result = d.IsUpdating() ? 1 : 0; return;
      default: FHandler->HandleSkinCommand(m); return;
    }
  }
  switch (m.Msg) {
    case WM_SIZE: d.BGChanged = true; return Common(m);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return Inherited(m);
    case WM_PAINT: return WMPaint(m);
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_WINDOWPOSCHANGING:
      if (d.Section()->Transparency != 0) d.BGChanged = true;
      return Common(m);
    case WM_PRINT: return WMPrint(m);
    case tk::CM_VISIBLECHANGED:
      d.BGChanged = true;
      d.SetUpdating(false);
      return Inherited(m);
    case tk::CM_COLORCHANGED:
      if (d.CustomColor()) d.BGChanged = true;
      return Common(m);
    case tk::CM_TEXTCHANGED:
      if (Parent()) d.Invalidate();
      return;
    default: break;
  }
  Common(m);
  if (m.Msg == WM_SETFONT && !Caption().empty()) {
    d.BGChanged = true;
    Repaint();
  } else if (m.Msg == tk::CM_ENABLEDCHANGED) {
    d.Invalidate();
  }
}

void TsPanel::PlainMessage(tk::TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // A panel painted by its handler paints its background there too.
      if (!OnPaint) Inherited(m);
      return;
    // The skin state stays in step while unskinned too, as every control's does.
    default: return Common(m);
  }
}

void TsPanel::ParentUpdated(tk::TMessage& m) {
  TsCommonData& d = *FCommonData;
  if (d.UpdatingFlag()) {
    d.SetUpdating(false);
    if (!RefreshUpdating())
      ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
  }
  BroadcastToChildren(this, m);
}

void TsPanel::WMPaint(tk::TMessage& m) {
  if (!Visible() && !ComponentState().Contains(tk::csDesigning)) return Common(m);
  HDC given = reinterpret_cast<HDC>(m.WParam);
  FErasedInPaint = false;
  std::unique_ptr<tk::TPaintDC> paint;
  if (!given) paint = std::make_unique<tk::TPaintDC>(Handle());
  const bool updating = RefreshUpdating();
  if (PaintsThroughCache() && !updating) {
    // The whole client area, not the update region: a clip box smaller
    // than the panel would mark it half visible and rebuild the cache.
    std::unique_ptr<tk::TWindowDC> own;
    HDC dc = given;
    if (!dc) {
      own = std::make_unique<tk::TWindowDC>(Handle());
      dc = own->Get();
    }
    const tk::TDCState state(dc);
    auto* canvas = static_cast<tk::TControlCanvas*>(Canvas());
    tk::TControlState cs = ControlState();
    cs.Include(tk::csCustomPaint);
    SetControlState(cs);
    canvas->Lock();
    canvas->SetHandle(dc);
    canvas->UpdateTextFlags();
    try {
      OurPaint(dc, true);
    } catch (...) {
      canvas->SetHandle(nullptr);
      canvas->Unlock();
      cs.Exclude(tk::csCustomPaint);
      SetControlState(cs);
      throw;
    }
    canvas->SetHandle(nullptr);
    canvas->Unlock();
    cs = ControlState();
    cs.Exclude(tk::csCustomPaint);
    SetControlState(cs);
  } else if (!updating && (given || !ParentBackground() || !FErasedInPaint)) {
    // The erase paints a panel that shows its parent's background; a paint
    // without an erase (or onto a given DC) must not leave it blank.
    OurPaint(given ? given : paint->Get(), true);
  }
  m.Result = 0;
}

void TsPanel::WMEraseBkgnd(tk::TMessage& m) {
  TsCommonData& d = *FCommonData;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (m.WParam != static_cast<uintptr_t>(m.LParam)) {
    if (!RefreshUpdating() && !PaintsThroughCache()) {
      OurPaint(dc, true);
      FErasedInPaint = true;
    }
    m.Result = 1;
    return;
  }
  if (!dc) return Common(m);
  // The toolkit asks for the panel's background in a child's DC.
  if (d.BGChanged) PrepareCache();
  if (!d.BGChanged) {
    if (PaintsThroughCache())
      ::BitBlt(dc, 0, 0, Width(), Height(), d.FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    else
      FillDeviceRect(dc, tk::TRect{0, 0, Width(), Height()},
                     static_cast<tk::TColor>(SendCommand(Handle(), KX_QUERYCOLOR)));
  }
  m.Result = 1;
}

void TsPanel::WMPrint(tk::TMessage& m) {
  TsCommonData& d = *FCommonData;
  d.SetUpdating(false);
  PrepareCache();
  UpdateCorners(d, 0, 15);
  OurPaint(reinterpret_cast<HDC>(m.WParam), false);
}

}  // namespace kx
