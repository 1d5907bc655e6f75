#include "skin/framework/sBackgroundQuery.h"

#include <windows.h>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxColors.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sDeviceFills.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

tk::TColor GlobalColor() {
  TsSkinManager* m = DefaultManager();
  return m ? m->GetGlobalColor() : kxSysBtnFace;
}

// A control that does not answer is asked to paint itself into the query's
// DC, moved so that its origin lands at (-X, -Y) of the target.
template <class Deliver>
void PaintInto(TBackgroundQuery& Q, Deliver deliver) {
  const tk::TDCState state(Q.DC);
  ::OffsetViewportOrgEx(Q.DC, -Q.X, -Q.Y, nullptr);
  tk::TRect r = Q.R;
  r.Offset(Q.X, Q.Y);
  ::IntersectClipRect(Q.DC, r.Left, r.Top, r.Right, r.Bottom);
  deliver(WM_ERASEBKGND);
  deliver(WM_PAINT);
}

void AnswerColor(TBackgroundQuery& Q, tk::TColor Color) {
  Q.Kind = kxBGColor;
  Q.Color = Color;
  if (Q.PaintNow) FillDeviceRect(Q.DC, Q.R, Q.Color);
}

void AnswerWithCache(const TsCommonData& Data, TBackgroundQuery& Q) {
  Q.Kind = kxBGBitmap;
  if (Q.PaintNow) {
    if (Q.DC && !Q.R.IsEmpty())
      ::BitBlt(Q.DC, Q.R.Left, Q.R.Top, Q.R.Width(), Q.R.Height(), Data.FCacheBmp->Canvas()->Handle(), Q.X, Q.Y,
               SRCCOPY);
  } else {
    Q.Bmp = Data.FCacheBmp.get();
    Q.X = 0;
    Q.Y = 0;
  }
}

// A see-through control with a thin border shows its parent: the parent's
// answer, moved by the control's place in it.
void AnswerThroughParent(const TsCommonData& Data, TBackgroundQuery& Q, HWND Wnd) {
  tk::TControl* placed = Data.FOwnerControl;
  if (!placed && Data.Provider()) placed = Data.Provider()->ProviderForm();
  tk::TControl* parent = placed ? placed->Parent() : nullptr;
  if (parent) {
    QueryControlBackground(Q, parent, Q.PaintNow);
    if (Q.Kind == kxBGBitmap) {
      Q.X += placed->Left();
      Q.Y += placed->Top();
    }
  } else if (HWND pw = Wnd ? ::GetParent(Wnd) : nullptr) {
    QueryWindowBackground(Q, pw, false);
    if (Q.Kind == kxBGBitmap) {
      RECT r;
      ::GetWindowRect(Wnd, &r);
      POINT p{r.left, r.top};
      ::ScreenToClient(pw, &p);
      Q.X += p.x;
      Q.Y += p.y;
    }
  } else {
    Q.Kind = kxBGColor;
    Q.Color = GlobalColor();
  }
}

}  // namespace

TCacheInfo ToCacheInfo(const TBackgroundQuery& q) {
  if (q.Kind == kxBGBitmap) {
    if (q.Bmp && !q.Bmp->Empty()) return TCacheInfo{q.Bmp, q.X, q.Y, kxKeyColor, true};
    // A picture of nothing tells nothing: the asker paints its own look.
    return TCacheInfo{nullptr, q.X, q.Y, kxKeyColor, false};
  }
  return TCacheInfo{nullptr, q.X, q.Y, tk::ColorToRGB(q.Color), false};
}

tk::TColor ReportedColor(tk::TControl* Control) {
  // Only a control that handles engine commands answers; its 0 is black.
  // The key colour is the answer "not known".
  if (SendControlCommand(Control, KX_QUERYHANDLED) != 1) return tk::ColorToRGB(Control->Color());
  const intptr_t c = SendControlCommand(Control, KX_QUERYCOLOR, kxKeyColor);
  return c != kxKeyColor ? static_cast<tk::TColor>(c) : tk::ColorToRGB(Control->Color());
}

void QueryControlBackground(TBackgroundQuery& Q, tk::TControl* Control, bool PaintNow) {
  const bool asked = Q.PaintNow != 0;
  Q.Kind = kxBGNone;
  Q.PaintNow = PaintNow ? 1 : 0;
  if (!Control) return;
  SendTrustedCommand(Control, KX_QUERYBACKGROUND, &Q);
  if (Q.Kind != kxBGNone) return;
  if (asked && Q.DC) {
    PaintInto(Q, [&](uint32_t Msg) { Control->Perform(Msg, reinterpret_cast<uintptr_t>(Q.DC), 0); });
    return;
  }
  AnswerColor(Q, ReportedColor(Control));
}

void QueryWindowBackground(TBackgroundQuery& Q, HWND Wnd, bool PaintNow) {
  const bool asked = Q.PaintNow != 0;
  Q.Kind = kxBGNone;
  Q.PaintNow = PaintNow ? 1 : 0;
  if (!Wnd) return;
  SendTrustedCommand(Wnd, KX_QUERYBACKGROUND, &Q);
  if (Q.Kind != kxBGNone) return;
  if (asked && Q.DC) {
    PaintInto(Q, [&](uint32_t Msg) { ::SendMessageW(Wnd, Msg, reinterpret_cast<WPARAM>(Q.DC), 0); });
    return;
  }
  AnswerColor(Q, WindowColor(Wnd, GlobalColor()));
}

tk::TColor WindowColor(HWND Wnd, tk::TColor Fallback) {
  const intptr_t c = SendCommand(Wnd, KX_QUERYCOLOR, kxKeyColor);
  return c ? static_cast<tk::TColor>(c) : Fallback;
}

TCacheInfo GetWindowParentCache(HWND Wnd) {
  HWND parent = Wnd ? ::GetParent(Wnd) : nullptr;
  if (!parent) return EmptyCacheInfo();
  TBackgroundQuery q;
  QueryWindowBackground(q, parent, false);
  return ToCacheInfo(q);
}

TCacheInfo GetParentCache(const TsCommonData& Data) {
  if (Data.Skinned() && Data.FOwnerControl && Data.FOwnerControl->Parent()) {
    TBackgroundQuery q;
    QueryControlBackground(q, Data.FOwnerControl->Parent(), false);
    return ToCacheInfo(q);
  }
  return TCacheInfo{nullptr, 0, 0, Data.ControlColor(false), false};
}

void AnswerBackgroundQuery(const TsCommonData& Data, TBackgroundQuery& Q, bool Hot, HWND Wnd) {
  if (!Data.Skinned() || Data.CustomColor()) {
    // The owner's own colour: a custom colour is painted opaque, whatever
    // the section's transparency.
    Q.Kind = kxBGColor;
    Q.Color = Data.OwnerColor();
    return;
  }
  const TsGeneralData* s = Data.Section();
  TsSkinManager* m = Data.EffectiveManager();
  const int t = Hot ? s->HotTransparency : s->Transparency;
  const int gp = Hot ? s->HotGradientPercent : s->GradientPercent;
  const int ip = Hot ? s->HotImagePercent : s->ImagePercent;
  // A cache that was never sized holds nothing to show yet.
  const bool hasCache = Data.FCacheBmp && !Data.FCacheBmp->Empty();

  if (t >= 100) {
    bool thin = true;
    if (m->IsValidImgIndex(Data.BorderIndex)) {
      const TsMaskData& mask = m->ma()[Data.BorderIndex];
      thin = mask.WL + mask.WR <= 24 && mask.WT + mask.WB < 25;
    }
    if (thin) {
      AnswerThroughParent(Data, Q, Wnd);
    } else if (hasCache) {
      AnswerWithCache(Data, Q);
    } else {
      tk::TControl* parent = Data.FOwnerControl ? Data.FOwnerControl->Parent() : nullptr;
      if (!parent && Data.Provider() && Data.Provider()->ProviderForm())
        parent = Data.Provider()->ProviderForm()->Parent();
      Q.Kind = kxBGColor;
      Q.Color = parent ? ReportedColor(parent) : GlobalColor();
    }
  } else if (t > 0 || gp > 0 || ip > 0) {
    if (hasCache) {
      AnswerWithCache(Data, Q);
    } else {
      // Unknown: the asker paints its own look opaque.
      Q.Kind = kxBGColor;
      Q.Color = kxKeyColor;
    }
  } else {
    Q.Bmp = Data.FCacheBmp.get();
    AnswerColor(Q, Data.ControlColor(Hot, Wnd));
  }
}

}  // namespace kx
