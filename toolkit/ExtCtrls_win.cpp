// The unskinned panel: bevels, border ring, background and caption.
//
// Our headers before <windows.h>: the colour helpers of Types.h share their
// names with the system's GetRValue/GetGValue/GetBValue macros.
#include "toolkit/ExtCtrls.h"

#include <windows.h>

#include "toolkit/Graphics.h"

namespace tk {

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  TBrush* b = Canvas->Brush();
  b->SetStyle(bsSolid);
  for (int i = 0; i < Width && !Rect.IsEmpty(); ++i) {
    const TRect& r = Rect;
    // The top-right and bottom-left corner pixels belong to the bottom colour.
    b->SetColor(TopColor);
    Canvas->FillRect(TRect{r.Left, r.Top, r.Right - 1, r.Top + 1});
    Canvas->FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1});
    b->SetColor(BottomColor);
    Canvas->FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom});
    Canvas->FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom});
    Rect.Inflate(-1, -1);
  }
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable, csParentBackground});
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
  SetParentColor(false);
}

TCustomPanel::~TCustomPanel() = default;

int TCustomPanel::BevelInset() const {
  int n = BorderWidth();
  if (FBevelOuter != bvNone) n += FBevelWidth;
  if (FBevelInner != bvNone) n += FBevelWidth;
  return n;
}

void TCustomPanel::SetAlignment(TAlignment v) {
  if (FAlignment == v) return;
  FAlignment = v;
  Invalidate();
}

void TCustomPanel::SetShowCaption(bool v) {
  if (FShowCaption == v) return;
  FShowCaption = v;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel v) {
  if (FBevelInner == v) return;
  FBevelInner = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel v) {
  if (FBevelOuter == v) return;
  FBevelOuter = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth v) {
  if (v < 1) v = 1;
  if (FBevelWidth == v) return;
  FBevelWidth = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
  if (FBorderStyle == v) return;
  FBorderStyle = v;
  RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  // Children aligned to the panel stay inside its bevels.
  int bevels = 0;
  if (FBevelOuter != bvNone) bevels += FBevelWidth;
  if (FBevelInner != bvNone) bevels += FBevelWidth;
  Rect.Inflate(-bevels, -bevels);
}

void TCustomPanel::Resize() {
  TCustomControl::Resize();
  if (FFullRepaint) Invalidate();
}

namespace {

void BevelColors(TPanelBevel bevel, TColor face, TColor& top, TColor& bottom) {
  switch (bevel) {
    case bvLowered:
      top = clBtnShadow;
      bottom = clBtnHighlight;
      break;
    case bvRaised:
      top = clBtnHighlight;
      bottom = clBtnShadow;
      break;
    default: top = bottom = face; break;
  }
}

}  // namespace

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  TColor top, bottom;
  if (FBevelOuter != bvNone) {
    BevelColors(FBevelOuter, Color(), top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  Frame3D(c, r, Color(), Color(), BorderWidth());
  if (FBevelInner != bvNone) {
    BevelColors(FBevelInner, Color(), top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  if (!FShowCaption) return;
  String text = Caption();
  if (text.empty()) return;
  unsigned flags = DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
  switch (FAlignment) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
  }
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  c->TextDraw(text, r, DrawTextBiDiModeFlags(flags));
}

void TCustomPanel::Dispatch(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED: Invalidate(); break;
    default: break;
  }
}

}  // namespace tk
