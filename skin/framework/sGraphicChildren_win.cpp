#include "skin/framework/sGraphicChildren.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "skin/framework/kxColors.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/paint/sDeviceFills.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Handles.h"

namespace kx {

namespace {

bool Designing(const tk::TControl* c) { return c->ComponentState().Contains(tk::csDesigning); }

RECT OnTarget(const tk::TControl* c, tk::TPoint Offset) {
  return RECT{c->Left() + Offset.X, c->Top() + Offset.Y, c->Left() + Offset.X + c->Width(),
              c->Top() + Offset.Y + c->Height()};
}

bool Qualifies(HDC DC, const tk::TControl* c, tk::TPoint Offset) {
  const bool designing = Designing(c);
  if (!c->Visible() && !designing) return false;
  if (dynamic_cast<const tk::TWinControl*>(c) || c->Width() < 1 || c->Height() < 1 || c->IsDestroying()) return false;
  if (designing && c->ControlStyle().Contains(tk::csNoDesignVisible)) return false;
  const RECT r = OnTarget(c, Offset);
  return ::RectVisible(DC, &r) != 0;
}

// What the child's rectangle shows before the child paints: an opaque
// child's own colour, else what the container shows there.
void PreFill(HDC Picture, tk::TControl* c, const TCacheInfo& Back) {
  const tk::TRect r = c->BoundsRect();
  if (c->ControlStyle().Contains(tk::csOpaque)) FillDeviceRect(Picture, r, ReportedColor(c));
  else if (!Back.Ready) FillDeviceRect(Picture, r, Back.FillColor);
  else
    ::BitBlt(Picture, r.Left, r.Top, r.Width(), r.Height(), Back.Bmp->Canvas()->Handle(), r.Left + Back.X,
             r.Top + Back.Y, SRCCOPY);
}

bool Inside(const RECT& r, const RECT& box) {
  return r.left >= box.left && r.top >= box.top && r.right <= box.right && r.bottom <= box.bottom;
}

}  // namespace

void PaintGraphicChildren(HDC DC, tk::TWinControl* Container, tk::TPoint Offset) {
  if (Engine.PaintingGraphicChildren || !DC || !Container) return;
  const TkxFlagScope running(Engine.PaintingGraphicChildren);
  if ((!Container->Visible() && !Designing(Container)) || Container->ControlCount() == 0) return;
  RECT box{};
  const int clip = ::GetClipBox(DC, &box);
  if (clip == NULLREGION || clip == ERROR || box.right <= box.left || box.bottom <= box.top) {
    SendControlCommand(Container, KX_SETHALFVISIBLE);
    return;
  }
  std::vector<tk::TControl*> children;
  for (int i = 0; i < Container->ControlCount(); ++i)
    if (tk::TControl* c = Container->Controls(i); Qualifies(DC, c, Offset)) children.push_back(c);
  if (children.empty()) return;

  TBackgroundQuery query;
  QueryControlBackground(query, Container, false);
  const TCacheInfo back = ToCacheInfo(query);
  const tk::TWindowDC screen(nullptr);
  const tk::TOwnedDC picture(::CreateCompatibleDC(screen));
  const tk::TBitmapHandle bitmap(
      ::CreateCompatibleBitmap(screen, std::max(Container->Width(), 1), std::max(Container->Height(), 1)));
  if (!picture || !bitmap) return;
  const tk::TSelectObject selected(picture, bitmap);
  for (tk::TControl* c : children) PreFill(picture, c, back);

  auto* form = dynamic_cast<tk::TCustomForm*>(Container);
  const bool mdiParent = form && form->FormStyle() == tk::fsMDIForm;
  const bool copy = Container->ControlState().Contains(tk::csPaintCopy);
  // A child's painting may remove a sibling: each is looked up again.
  auto present = [&](tk::TControl* c) { return Container->IndexOfControl(c) >= 0; };
  for (tk::TControl* c : children) {
    if (!present(c)) continue;
    if (mdiParent && c->Align() != tk::alNone) SendControlCommand(c, KX_REPAINTNOW);
    const tk::TDCState state(picture);
    // A child clipped by DC is painted over part of its background only:
    // it must rebuild when it is shown whole again.
    if (!Inside(OnTarget(c, Offset), box)) SendControlCommand(c, KX_SETHALFVISIBLE);
    ::OffsetViewportOrgEx(picture, c->Left(), c->Top(), nullptr);
    ::IntersectClipRect(picture, 0, 0, c->Width(), c->Height());
    const tk::TPaintCopyScope mark(c, copy);
    c->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(picture.Get()), 0);
  }
  for (tk::TControl* c : children) {
    // Nothing was painted where the key colour still shows.
    if (!present(c) || ::GetPixel(picture, c->Left(), c->Top()) == static_cast<COLORREF>(kxKeyColor)) continue;
    ::BitBlt(DC, c->Left() + Offset.X, c->Top() + Offset.Y, c->Width(), c->Height(), picture, c->Left(), c->Top(),
             SRCCOPY);
  }
}

}  // namespace kx
