// The container and grip adapters with the internal skin: a dialog's size
// grip shows the skin's grip image and sizes the dialog from anywhere on it,
// an adapted toolkit panel shows its section and a caption centred on the
// height of a "W", a nested dialog page shows its parent's picture, and a
// toolkit speed button shows the skin's button, hot under the mouse.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "skin/controls/kxPanelWnd.h"
#include "skin/controls/kxSizerWnd.h"
#include "skin/controls/kxSpeedButtonHandler.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sSkinItemPaint.h"
#include "tests/manager_win/Support_win.h"
#include "tests/support/Pump_win.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace kx {
namespace {

using tk::test::PumpPending;

bool Near(COLORREF a, COLORREF b, int tolerance = 2) {
  auto d = [&](int x, int y) { return std::abs(x - y) <= tolerance; };
  return d(tk::GetRValue(a), tk::GetRValue(b)) && d(tk::GetGValue(a), tk::GetGValue(b)) &&
         d(tk::GetBValue(a), tk::GetBValue(b));
}

// What the window shows at (x, y) of its whole-window rectangle.
COLORREF WindowPixel(HWND w, int x, int y) {
  HDC dc = ::GetWindowDC(w);
  const COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(w, dc);
  return c;
}

void Repaint(HWND w) {
  ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpPending();
}

class PanelWnds : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Manager = mgrtest::LoadedManager(L"", L"Pearlmist (internal)"); }
  static void TearDownTestSuite() { tk::FreeAndNil(Manager); }
  static TsSkinManager* Manager;
};
TsSkinManager* PanelWnds::Manager = nullptr;

// Records whether the adapter's property was still there when the window's
// last message passed the procedure installed over the adapter's.
WNDPROC OverPrev = nullptr;
bool PropAtNCDestroy = true;
LRESULT CALLBACK OverProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NCDESTROY) PropAtNCDestroy = ::GetPropW(w, kxAdapterProp) != nullptr;
  return ::CallWindowProcW(OverPrev, w, m, wp, lp);
}

TEST_F(PanelWnds, ADialogsSizeGripShowsTheSkinsGripAndSizesFromAnywhereOnIt) {
  HWND dlg = ::CreateWindowExW(0, L"#32770", L"sized", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, 100, 100,
                               300, 200, nullptr, nullptr, nullptr, nullptr);
  RECT c{};
  ::GetClientRect(dlg, &c);
  HWND grip =
      ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 0,
                        0, c.right, c.bottom, dlg, nullptr, nullptr, nullptr);
  TkxMainWnd* a = AttachAdapter<TkxSizerWnd>(grip, false, tk::String(L"CHECKBOX"), Manager, nullptr);
  EXPECT_EQ(SendCommand(grip, KX_QUERYHANDLED), 1);
  EXPECT_EQ(::GetPropW(grip, kxAdapterProp), a);

  RECT g{};
  ::GetWindowRect(grip, &g);
  for (POINT p :
       {POINT{g.left, g.top}, POINT{(g.left + g.right) / 2, (g.top + g.bottom) / 2}, POINT{g.right - 1, g.bottom - 1}})
    EXPECT_EQ(::SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTBOTTOMRIGHT) << p.x << "," << p.y;

  // A pixel of the grip picture's first frame that covers whatever is
  // behind it: the same over black and over white.
  const TsMaskData& mask = Manager->ma()[size_t(Manager->Content().GetMaskIndex(L"GLOBALINFO", L"GRIPIMAGE"))];
  const int fw = mask.R.Width() / std::max<int>(mask.ImageCount, 1), fh = mask.R.Height() / (mask.MaskType + 1);
  tk::TBitmap black(fw, fh, tk::TPixelFormat::pf24bit), white(fw, fh, tk::TPixelFormat::pf24bit);
  tk::detail::FlushPixelStore();
  ::PatBlt(white.Canvas()->Handle(), 0, 0, fw, fh, WHITENESS);
  ::PatBlt(black.Canvas()->Handle(), 0, 0, fw, fh, BLACKNESS);
  DrawMaskImage(&black, tk::TPoint{0, 0}, 0, MakeCacheInfo(&black), mask, mimOpaque);
  DrawMaskImage(&white, tk::TPoint{0, 0}, 0, MakeCacheInfo(&white), mask, mimOpaque);
  tk::detail::FlushPixelStore();
  const COLORREF face = ::GetSysColor(COLOR_3DFACE);
  int px = -1, py = -1;
  COLORREF ink = 0;
  for (int y = 0; y < fh && px < 0; ++y)
    for (int x = 0; x < fw && px < 0; ++x) {
      const COLORREF b = ::GetPixel(black.Canvas()->Handle(), x, y);
      if (b == ::GetPixel(white.Canvas()->Handle(), x, y) && !Near(b, face, 24)) px = x, py = y, ink = b;
    }
  ASSERT_GE(px, 0) << "the grip picture covers nothing";

  Repaint(dlg);
  const int w = g.right - g.left, h = g.bottom - g.top;
  EXPECT_TRUE(Near(WindowPixel(grip, std::max(w - fw, 0) + px, std::max(h - fh, 0) + py), ink));

  OverPrev = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(grip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OverProc)));
  ::DestroyWindow(dlg);
  EXPECT_TRUE(a->Destroyed);
  EXPECT_FALSE(PropAtNCDestroy);
  delete a;
}

// The bounding box of the pixels within R of DC that Match.
template <class Match>
tk::TRect Find(HDC DC, tk::TRect R, Match match) {
  tk::TRect box{R.Right, R.Bottom, R.Left, R.Top};
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x)
      if (match(::GetPixel(DC, x, y)))
        box = tk::TRect{std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                        std::max(box.Bottom, y + 1)};
  return box;
}
bool Red(COLORREF c) { return Near(c, RGB(255, 0, 0), 8); }
bool Ink(COLORREF c) { return std::max({tk::GetRValue(c), tk::GetGValue(c), tk::GetBValue(c)}) < 0x70; }

// A window-less child that paints itself red.
class TRedBox : public tk::TGraphicControl {
 public:
  explicit TRedBox(tk::TComponent* AOwner) : tk::TGraphicControl(AOwner) {}

 protected:
  void Paint() override {
    RECT r{0, 0, Width(), Height()};
    HBRUSH b = ::CreateSolidBrush(RGB(255, 0, 0));
    ::FillRect(Canvas()->Handle(), &r, b);
    ::DeleteObject(b);
  }
};

TEST_F(PanelWnds, AnAdaptedToolkitPanelShowsItsBevelsSectionAndACaptionCentredOnAW) {
  tk::test::TOwned<> form;
  form->SetBounds(120, 120, 320, 220);
  form->SetColor(tk::TColor(0x3050A0));
  auto* panel = tk::Create<tk::TPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(10, 10, 200, 100);
  panel->SetBevelOuter(tk::bvLowered);
  panel->SetBorderStyle(tk::bsSingle);
  panel->SetCaption(L"W");
  auto* box = tk::Create<TRedBox>(form.get());
  box->SetParent(panel);
  box->SetBounds(10, 10, 12, 12);
  form->Show();
  TsCommonData data(panel, true);
  TkxMainWnd* a = AttachAdapter<TkxPanelWnd>(panel->Handle(), false, tk::String(), Manager, &data);
  EXPECT_EQ(data.SkinSection(), L"PANEL_LOW");
  ASSERT_NE(data.Section(), nullptr);
  Repaint(form->Handle());

  HDC dc = ::GetWindowDC(panel->Handle());
  const COLORREF section = tk::ColorToRGB(data.Section()->Color);
  EXPECT_TRUE(Near(::GetPixel(dc, 20, 50), section)) << std::hex << ::GetPixel(dc, 20, 50);
  // The window-less child sits at its place in the client area, inside the border.
  const int edge = (panel->Width() - panel->ClientWidth()) / 2;
  ASSERT_GT(edge, 0);
  const tk::TRect red = Find(dc, tk::TRect{0, 0, panel->Width(), panel->Height()}, Red);
  EXPECT_EQ(red, (tk::TRect{10 + edge, 10 + edge, 22 + edge, 22 + edge}));

  // The rows the caption's ink takes lie in the band of a "W" centred in
  // the client area inside the bevel.
  tk::TBitmap measure(1, 1, tk::TPixelFormat::pf24bit);
  measure.Canvas()->Font()->Assign(panel->Font());
  const int th = measure.Canvas()->TextHeight(L"W");
  const int inset = panel->BevelInset();
  const int band = edge + (inset + (panel->ClientHeight() - inset) - th) / 2;
  const tk::TRect ink =
      Find(dc, tk::TRect{80, 0, 120, panel->Height()}, [&](COLORREF c) { return !Near(c, section, 40); });
  ::ReleaseDC(panel->Handle(), dc);
  ASSERT_FALSE(ink.IsEmpty()) << "no caption drawn";
  EXPECT_GE(ink.Top, band);
  EXPECT_LE(ink.Bottom, band + th);
  EXPECT_GT(ink.Top, inset + edge + 10) << "the caption sits at the top";
  delete a;
}

TEST_F(PanelWnds, APanelInsideADialogIsFoundByItsWindowAndTakesTheSkinsColour) {
  tk::test::TOwned<tk::TForm> form(tk::Create<tk::TForm>(tk::Application));
  auto* panel = tk::Create<tk::TPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(10, 10, 120, 60);
  form->Show();
  auto* a = AttachAdapter<TkxDlgPanelWnd>(panel->Handle(), false, tk::String(), Manager, nullptr);
  EXPECT_EQ(a->Panel, panel);
  EXPECT_EQ(a->SkinData->SkinSection(), L"CHECKBOX");
  EXPECT_EQ(panel->Color(), Manager->GetGlobalColor());
  delete a;

  // A window no component owns keeps the group frame.
  HWND plain = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 20, nullptr, nullptr, nullptr, nullptr);
  a = AttachAdapter<TkxDlgPanelWnd>(plain, false, tk::String(), Manager, nullptr);
  EXPECT_EQ(a->Panel, nullptr);
  EXPECT_EQ(a->SkinData->SkinSection(), L"GROUPBOX");
  delete a;
  ::DestroyWindow(plain);
}

// A window that answers the background query with its picture: colours
// that tell every pixel's place.
tk::TBitmap* HostPicture = nullptr;
LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == SM_KESTRIXCMD && HIWORD(wp) == KX_QUERYBACKGROUND && IsTrustedPointerCommand(tk::MakeMessage(m, wp, lp)) &&
      lp) {
    auto& q = *reinterpret_cast<TBackgroundQuery*>(lp);
    q.Kind = kxBGBitmap;
    q.Bmp = HostPicture;
    q.X = q.Y = 0;
    return 0;
  }
  return ::DefWindowProcW(w, m, wp, lp);
}

COLORREF HostColour(int x, int y) { return RGB(x * 2 % 256, y * 3 % 256, 0x80); }

TEST_F(PanelWnds, ANestedDialogPageShowsItsParentsPicture) {
  tk::TBitmap picture(300, 200, tk::TPixelFormat::pf24bit);
  tk::detail::FlushPixelStore();
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) ::SetPixel(picture.Canvas()->Handle(), x, y, HostColour(x, y));
  tk::detail::FlushPixelStore();
  HostPicture = &picture;
  WNDCLASSW wc{};
  wc.lpfnWndProc = HostProc;
  wc.lpszClassName = L"PanelWndsHost";
  ::RegisterClassW(&wc);
  HWND host = ::CreateWindowExW(0, L"PanelWndsHost", L"host", WS_POPUP | WS_VISIBLE, 150, 150, 300, 200, nullptr,
                                nullptr, nullptr, nullptr);
  HWND page = ::CreateWindowExW(WS_EX_CONTROLPARENT, L"#32770", L"", WS_CHILD | WS_VISIBLE, 20, 30, 120, 80, host,
                                nullptr, nullptr, nullptr);
  TkxMainWnd* a = AttachAdapter<TkxTransPanelWnd>(page, false, tk::String(L"CHECKBOX"), Manager, nullptr);
  Repaint(host);
  for (POINT p : {POINT{3, 3}, POINT{60, 40}, POINT{110, 70}})
    EXPECT_TRUE(Near(WindowPixel(page, p.x, p.y), HostColour(20 + p.x, 30 + p.y)))
        << p.x << "," << p.y << ": " << std::hex << WindowPixel(page, p.x, p.y);
  delete a;
  ::DestroyWindow(host);
  HostPicture = nullptr;
}

TEST_F(PanelWnds, AToolkitSpeedButtonShowsTheSkinsButtonWithGlyphAndCaptionAsOneBlock) {
  tk::test::TOwned<> form;
  form->SetBounds(140, 140, 300, 160);
  auto* btn = tk::Create<tk::TSpeedButton>(form.get());
  btn->SetParent(form.get());
  btn->SetBounds(20, 20, 120, 40);
  btn->SetCaption(L"Go");
  // A red glyph; its bottom-left pixel is the see-through colour.
  tk::TBitmap glyph(16, 16, tk::TPixelFormat::pf24bit);
  tk::detail::FlushPixelStore();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ::SetPixel(glyph.Canvas()->Handle(), x, y, RGB(255, 0, 0));
  ::SetPixel(glyph.Canvas()->Handle(), 0, 15, RGB(0, 255, 0));
  tk::detail::FlushPixelStore();
  btn->SetGlyph(&glyph);
  TsCommonData data(btn, true);
  data.COC = cocSpeedButton;
  auto* handler = new TkxSpeedButtonHandler(btn, false, L"SPEEDBUTTON", Manager, &data);
  form->Show();
  Repaint(form->Handle());

  HDC dc = ::GetDC(form->Handle());
  const tk::TRect area = btn->BoundsRect();
  const tk::TRect red = Find(dc, area, Red);
  tk::TBitmap measure(1, 1, tk::TPixelFormat::pf24bit);
  measure.Canvas()->Font()->Assign(btn->Font());
  const int tw = measure.Canvas()->TextWidth(L"Go");
  // Margin -1: glyph, spacing and caption centred as one block.
  EXPECT_EQ(red.Left - area.Left, (120 - 16 - 4 - tw) / 2);
  EXPECT_EQ(red.Top - area.Top, (40 - 16) / 2);
  EXPECT_EQ(red.Width(), 16);
  const tk::TRect ink = Find(dc, tk::TRect{red.Right, area.Top, area.Right, area.Bottom}, Ink);
  EXPECT_NEAR(ink.Left - red.Right, 4, 2);
  EXPECT_NEAR(area.Right - ink.Right, red.Left - area.Left, 3);

  // The face below the caption: grey when normal, the hot blue under the mouse.
  const POINT face{area.Right - 14, area.Bottom - 14};
  auto blueness = [&] {
    const COLORREF c = ::GetPixel(dc, face.x, face.y);
    return int(tk::GetBValue(c)) - int(tk::GetRValue(c));
  };
  EXPECT_LE(std::abs(blueness()), 3);
  btn->Perform(tk::CM_MOUSEENTER);
  PumpPending();
  EXPECT_GE(blueness(), 6);
  btn->Perform(tk::CM_MOUSELEAVE);
  PumpPending();
  EXPECT_LE(std::abs(blueness()), 3);

  btn->SetState(tk::bsDown);
  btn->Repaint();
  PumpPending();
  const tk::TRect pressed = Find(dc, area, Red);
  EXPECT_EQ(pressed.Left, red.Left + 1);
  EXPECT_EQ(pressed.Top, red.Top + 1);
  const tk::TRect pressedInk = Find(dc, tk::TRect{pressed.Right, area.Top, area.Right, area.Bottom}, Ink);
  EXPECT_EQ(pressedInk.Left, ink.Left + 1);
  EXPECT_EQ(pressedInk.Top, ink.Top + 1);
  btn->SetState(tk::bsUp);
  ::ReleaseDC(form->Handle(), dc);

  // A method installed over the handler's keeps reaching the button.
  tk::TWndMethod under = btn->WindowProc;
  int over = 0;
  btn->WindowProc = tk::TWndMethod([&](tk::TMessage& m) {
    ++over;
    under(m);
  });
  delete handler;
  btn->SetCaption(L"still");
  EXPECT_EQ(btn->Caption(), L"still");
  EXPECT_GT(over, 0);
  btn->WindowProc = under;
}

}  // namespace
}  // namespace kx
