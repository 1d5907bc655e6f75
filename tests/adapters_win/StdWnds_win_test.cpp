// The standard-window adapters on a plain window of system controls, painted
// from the internal skin: each window answers the engine, shows its
// section's normal, hot, pressed and disabled looks, radio buttons of both
// kinds show the radio images, and the adapters let go of windows that are
// destroyed or subclassed again.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <vector>

#include "skin/controls/kxBtnWnd.h"
#include "skin/controls/kxCheckBoxWnd.h"
#include "skin/controls/kxGroupBoxWnd.h"
#include "skin/controls/kxStaticWnd.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sMessages.h"
#include "tests/manager_win/Support_win.h"
#include "tests/support/Owned.h"
#include "tests/support/Pump_win.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace kx {
namespace {

using tk::test::PumpPending;

// The colour the host window reports as its own: a strong one, so that a
// mix with it is told apart from the skin's pale greys.
constexpr COLORREF kHostColour = RGB(0x20, 0x60, 0xC0);
constexpr UINT WM_PROBE = WM_APP + 21;

LRESULT CALLBACK HostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == SM_KESTRIXCMD && HIWORD(wp) == KX_QUERYCOLOR) return kHostColour;
  if (m == WM_ERASEBKGND) {
    RECT r;
    ::GetClientRect(w, &r);
    HBRUSH b = ::CreateSolidBrush(kHostColour);
    ::FillRect(reinterpret_cast<HDC>(wp), &r, b);
    ::DeleteObject(b);
    return 1;
  }
  return ::DefWindowProcW(w, m, wp, lp);
}

// A window as a picture: 32-bit pixels, top row first.
struct TPicture {
  int W = 0, H = 0;
  std::vector<uint32_t> Px;
  COLORREF At(int x, int y) const {
    const uint32_t p = Px[size_t(y) * size_t(W) + size_t(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  bool operator==(const TPicture&) const = default;
  friend void PrintTo(const TPicture& p, std::ostream* os) { *os << "picture " << p.W << " x " << p.H; }
};

// What the window draws of itself when asked to print (the adapter paints
// from its cache), read back from a device-independent bitmap.
TPicture Capture(HWND w) {
  RECT r;
  ::GetWindowRect(w, &r);
  TPicture p;
  p.W = r.right - r.left;
  p.H = r.bottom - r.top;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), p.W, -p.H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(dc, bmp);
  ::PrintWindow(w, dc, 0);
  ::GdiFlush();
  const auto* src = static_cast<const uint32_t*>(bits);
  p.Px.assign(src, src + size_t(p.W) * size_t(p.H));
  ::SelectObject(dc, old);
  ::DeleteObject(bmp);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return p;
}

// 40 % of A over 60 % of B, channel by channel, within Tolerance.
bool IsMix(COLORREF Got, COLORREF A, COLORREF B, int Tolerance = 2) {
  auto ch = [](COLORREF c, int s) { return int((c >> s) & 0xFF); };
  for (int s : {0, 8, 16}) {
    const double want = 0.4 * ch(A, s) + 0.6 * ch(B, s);
    if (std::abs(ch(Got, s) - want) > Tolerance) return false;
  }
  return true;
}

class StdWnds : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Manager = mgrtest::LoadedManager(L"", L"Pearlmist (internal)");
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TabuloStdWndsHost";
    ::RegisterClassW(&wc);
  }
  static void TearDownTestSuite() { tk::FreeAndNil(Manager); }

  void SetUp() override {
    ASSERT_TRUE(Manager && Manager->Active());
    Host = ::CreateWindowExW(0, L"TabuloStdWndsHost", L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 420,
                             300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    Manager->TrackActiveWindow(nullptr);
  }
  void TearDown() override {
    for (TkxMainWnd* a : Adapters) delete a;
    if (::IsWindow(Host)) ::DestroyWindow(Host);
  }

  HWND Child(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H) {
    return ::CreateWindowExW(0, Class, Text, WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Host, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
  }
  template <class T>
  T* Adapt(HWND w, const wchar_t* Section = L"") {
    T* a = AttachAdapter<T>(w, false, tk::String(Section), Manager, nullptr);
    Adapters.push_back(a);
    return a;
  }

  static inline TsSkinManager* Manager = nullptr;
  HWND Host = nullptr;
  std::vector<TkxMainWnd*> Adapters;
};

TEST_F(StdWnds, EveryAdaptedWindowAnswersTheEngineAndCarriesItsAdapter) {
  HWND icon = Child(L"STATIC", L"", SS_ICON, 10, 10, 32, 32);
  ::SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconW(nullptr, IDI_APPLICATION)), 0);
  const std::vector<std::pair<HWND, TkxMainWnd*>> windows = [&] {
    std::vector<std::pair<HWND, TkxMainWnd*>> v;
    auto add = [&]<class T>(HWND w, T*, const wchar_t* Section = L"") { v.emplace_back(w, Adapt<T>(w, Section)); };
    add(Child(L"STATIC", L"Name:", SS_LEFT, 50, 10, 80, 16), static_cast<TkxStaticWnd*>(nullptr), L"CHECKBOX");
    add(icon, static_cast<TkxIconWnd*>(nullptr), L"CHECKBOX");
    add(Child(L"BUTTON", L"Apply", BS_PUSHBUTTON, 10, 50, 75, 25), static_cast<TkxBtnWnd*>(nullptr));
    add(Child(L"BUTTON", L"OK", BS_DEFPUSHBUTTON, 90, 50, 75, 25), static_cast<TkxBtnWnd*>(nullptr));
    add(Child(L"BUTTON", L"Check", BS_AUTOCHECKBOX, 10, 80, 120, 20), static_cast<TkxCheckBoxWnd*>(nullptr));
    add(Child(L"BUTTON", L"Three", BS_AUTO3STATE, 10, 100, 120, 20), static_cast<TkxCheckBoxWnd*>(nullptr));
    add(Child(L"BUTTON", L"Radio", BS_RADIOBUTTON, 10, 120, 120, 20), static_cast<TkxCheckBoxWnd*>(nullptr));
    add(Child(L"BUTTON", L"Auto", BS_AUTORADIOBUTTON, 10, 140, 120, 20), static_cast<TkxCheckBoxWnd*>(nullptr));
    add(Child(L"BUTTON", L"Group", BS_GROUPBOX, 200, 10, 180, 120), static_cast<TkxGroupBoxWnd*>(nullptr));
    return v;
  }();
  PumpPending();
  const TPicture host = Capture(Host);  // painting everything once must not fail
  for (const auto& [w, a] : windows) {
    EXPECT_EQ(::SendMessageW(w, SM_KESTRIXCMD, CommandWParam(KX_QUERYHANDLED), 0), 1);
    EXPECT_EQ(::GetPropW(w, kxAdapterProp), a);
    EXPECT_FALSE(a->Destroyed);
  }
  // The sections the adapters fall back on.
  EXPECT_EQ(windows[2].second->SkinData->SkinSection(), L"BUTTON");
  EXPECT_EQ(windows[4].second->SkinData->SkinSection(), L"CHECKBOX");
  EXPECT_EQ(windows[8].second->SkinData->SkinSection(), L"GROUPBOX");
  // The text static writes in the section's dark text colour; the icon
  // static shows its icon over the host's colour.
  const TPicture text = Capture(windows[0].first), pic = Capture(icon);
  auto dark = [](const TPicture& p) {
    for (int y = 0; y < p.H; ++y)
      for (int x = 0; x < p.W; ++x)
        if (tk::GetRValue(p.At(x, y)) < 0x60 && tk::GetGValue(p.At(x, y)) < 0x60 && tk::GetBValue(p.At(x, y)) < 0x60)
          return true;
    return false;
  };
  EXPECT_TRUE(dark(text));
  // A static's own alignment places its text.
  auto darkColumns = [](const TPicture& p) {
    std::pair<int, int> span{p.W, -1};
    for (int y = 0; y < p.H; ++y)
      for (int x = 0; x < p.W; ++x)
        if (tk::GetRValue(p.At(x, y)) < 0x60 && tk::GetBValue(p.At(x, y)) < 0x60) {
          span.first = std::min(span.first, x);
          span.second = std::max(span.second, x);
        }
    return span;
  };
  HWND right = Child(L"STATIC", L"Hi", SS_RIGHT, 50, 200, 120, 16);
  HWND centre = Child(L"STATIC", L"Hi", SS_CENTER, 50, 220, 120, 16);
  Adapt<TkxStaticWnd>(right, L"CHECKBOX");
  Adapt<TkxStaticWnd>(centre, L"CHECKBOX");
  const auto r = darkColumns(Capture(right)), c = darkColumns(Capture(centre));
  EXPECT_GT(r.first, 80);
  EXPECT_GT(c.first, 30);
  EXPECT_LT(c.second, 90);
  int notHost = 0;
  for (uint32_t px : pic.Px) notHost += RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF) != kHostColour;
  EXPECT_GT(notHost, 50);
  // The group box's caption band shows the host; the frame begins at half
  // the caption's height.
  HWND group = windows[8].first;
  const int ch = int(::SendMessageW(group, SM_KESTRIXCMD, CommandWParam(KX_QUERYEXTRA), 0));
  ASSERT_GT(ch, 4);
  const TPicture g = Capture(group);
  EXPECT_EQ(g.At(g.W - 3, 0), kHostColour);
  EXPECT_EQ(g.At(1, ch / 2 - 1), kHostColour);
  EXPECT_NE(g.At(g.W / 2, g.H - 1), kHostColour);  // the frame's bottom edge
  (void)host;
}

TEST_F(StdWnds, PushButtonsShowTheNormalHotPressedAndDisabledLooks) {
  HWND plain = Child(L"BUTTON", L"Apply", BS_PUSHBUTTON, 10, 10, 75, 25);
  HWND def = Child(L"BUTTON", L"OK", BS_DEFPUSHBUTTON, 100, 10, 75, 25);
  Adapt<TkxBtnWnd>(plain);
  Adapt<TkxBtnWnd>(def);
  PumpPending();
  const TPicture normal = Capture(plain);
  // A point of the face away from the caption and the border.
  const int x = 9, y = 12;
  const COLORREF face = normal.At(x, y);
  // The skin's normal face is a neutral grey, its hot face a blue-tinted white.
  EXPECT_EQ(tk::GetRValue(face), tk::GetBValue(face));
  EXPECT_NE(face, kHostColour);
  auto hotTinted = [](COLORREF c) { return tk::GetBValue(c) > tk::GetRValue(c); };
  EXPECT_TRUE(hotTinted(Capture(def).At(x, y))) << "the default button shows the hot look";

  Manager->TrackActiveWindow(plain);
  PumpPending();
  const TPicture hot = Capture(plain);
  EXPECT_TRUE(hotTinted(hot.At(x, y)));
  Manager->TrackActiveWindow(nullptr);

  ::SendMessageW(plain, BM_SETSTATE, TRUE, 0);
  const TPicture pressed = Capture(plain);
  EXPECT_NE(pressed, hot);
  EXPECT_NE(pressed, normal);
  ::SendMessageW(plain, BM_SETSTATE, FALSE, 0);
  EXPECT_EQ(Capture(plain), normal);

  ::EnableWindow(plain, FALSE);
  const TPicture disabled = Capture(plain);
  EXPECT_TRUE(IsMix(disabled.At(x, y), face, kHostColour)) << std::hex << disabled.At(x, y) << " from " << face;
  ::EnableWindow(plain, TRUE);
  EXPECT_EQ(Capture(plain), normal);

  // A long caption wraps only on a multi-line button.
  const wchar_t* text = L"Save all the pages now";
  HWND oneLine = Child(L"BUTTON", text, BS_PUSHBUTTON, 10, 50, 75, 40);
  HWND multi = Child(L"BUTTON", text, BS_PUSHBUTTON | BS_MULTILINE, 100, 50, 75, 40);
  auto* a1 = Adapt<TkxBtnWnd>(oneLine);
  auto* a2 = Adapt<TkxBtnWnd>(multi);
  (void)Capture(oneLine);
  (void)Capture(multi);
  EXPECT_GT(a2->TextRectSize().cy, a1->TextRectSize().cy);
}

TEST_F(StdWnds, CheckBoxesAndRadioButtonsShowTheirImages) {
  auto box = [&](DWORD style, int y) {
    HWND w = Child(L"BUTTON", L"Choice", style, 10, y, 120, 20);
    Adapt<TkxCheckBoxWnd>(w);
    return w;
  };
  HWND check = box(BS_AUTOCHECKBOX, 10), three = box(BS_AUTO3STATE, 40);
  HWND radio = box(BS_RADIOBUTTON, 70), autoRadio = box(BS_AUTORADIOBUTTON, 100);
  PumpPending();
  // Same caption and size over the same colour: only the box image differs.
  const TPicture c0 = Capture(check), r0 = Capture(radio), a0 = Capture(autoRadio);
  EXPECT_EQ(a0, r0) << "both radio styles show the radio images";
  EXPECT_NE(r0, c0);
  EXPECT_EQ(Capture(three), c0);
  // Under the mouse the box shows its hot frame.
  Manager->TrackActiveWindow(check);
  EXPECT_NE(Capture(check), c0);
  Manager->TrackActiveWindow(nullptr);
  EXPECT_EQ(Capture(check), c0);

  ::SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
  ::SendMessageW(autoRadio, BM_SETCHECK, BST_CHECKED, 0);
  ::SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
  ::SendMessageW(three, BM_SETCHECK, BST_INDETERMINATE, 0);
  const TPicture c1 = Capture(check), r1 = Capture(radio);
  EXPECT_EQ(Capture(autoRadio), r1);
  EXPECT_NE(r1, r0);
  EXPECT_NE(c1, c0);
  EXPECT_NE(r1, c1);
  const TPicture grayed = Capture(three);
  EXPECT_NE(grayed, c0);
  EXPECT_NE(grayed, c1);

  // The image is the skin's own mask: where the checked image differs from
  // the unchecked one lies inside the box at the left.
  auto* a = static_cast<TkxCheckBoxWnd*>(TkxMainWnd::FromHandle(check));
  const tk::TRect boxRect = a->CheckRect(BS_AUTOCHECKBOX);
  ASSERT_GT(boxRect.Width(), 4);
  for (int yy = 0; yy < c0.H; ++yy)
    for (int xx = 0; xx < c0.W; ++xx)
      if (c0.At(xx, yy) != c1.At(xx, yy)) { EXPECT_TRUE(boxRect.Contains(tk::TPoint{xx, yy})) << xx << "," << yy; }

  // Disabled: 40 % of the picture over 60 % of the host, away from the text.
  ::SendMessageW(check, BM_SETCHECK, BST_UNCHECKED, 0);
  ::EnableWindow(check, FALSE);
  const TPicture off = Capture(check);
  const int x = boxRect.Left + boxRect.Width() / 2, y = boxRect.Top + 1;
  EXPECT_TRUE(IsMix(off.At(x, y), c0.At(x, y), kHostColour)) << std::hex << off.At(x, y) << " from " << c0.At(x, y);
}

// A plain subclass in the usual Win32 manner.
WNDPROC UnderPrev = nullptr;
int TextsSet = 0;
LRESULT CALLBACK CountingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_SETTEXT) ++TextsSet;
  if (m == WM_PROBE) return 42;
  return ::CallWindowProcW(UnderPrev, w, m, wp, lp);
}

// A procedure a later subclasser installs over an adapter.
struct TOver {
  static inline WNDPROC Prev = nullptr;
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PROBE) return 43;
    return ::CallWindowProcW(Prev, w, m, wp, lp);
  }
};

TEST_F(StdWnds, TextChangesReachTheWindowOnceAndAdaptersLetGoOfTheirWindows) {
  HWND button = Child(L"BUTTON", L"Before", BS_PUSHBUTTON, 10, 10, 75, 25);
  UnderPrev =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
  auto* a = Adapt<TkxBtnWnd>(button);
  PumpPending();
  TextsSet = 0;
  ::SetWindowTextW(button, L"After");
  EXPECT_EQ(TextsSet, 1);
  EXPECT_EQ(a->Caption, L"After");
  wchar_t text[16] = {};
  ::GetWindowTextW(button, text, 16);
  EXPECT_STREQ(text, L"After");

  // Destroying an adapted window detaches its adapter.
  HWND check = Child(L"BUTTON", L"Gone", BS_AUTOCHECKBOX, 10, 40, 120, 20);
  auto* c = Adapt<TkxCheckBoxWnd>(check);
  EXPECT_TRUE(::DestroyWindow(check));
  EXPECT_TRUE(c->Destroyed);

  // A procedure installed over an adapter keeps working after it is gone.
  HWND label = Child(L"STATIC", L"Label", SS_LEFT, 10, 70, 80, 16);
  auto* s = Adapt<TkxStaticWnd>(label, L"CHECKBOX");
  TOver::Prev =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TOver::Proc)));
  std::erase(Adapters, s);
  delete s;
  EXPECT_EQ(::GetPropW(label, kxAdapterProp), nullptr);
  EXPECT_EQ(::SendMessageW(label, WM_PROBE, 0, 0), 43);
  ::SetWindowTextW(label, L"Still");
  ::GetWindowTextW(label, text, 16);
  EXPECT_STREQ(text, L"Still");
  ::UpdateWindow(label);
  (void)Capture(label);
  EXPECT_TRUE(::DestroyWindow(label));
}

// A toolkit button that carries a bit button's glyph: a strip of four
// 16 x 16 frames, red (up), green (disabled), blue (clicked) and yellow
// (down), each keyed by its magenta bottom-left pixel.
class TGlyphButton : public tk::TButton, public IkxBitBtn {
 public:
  explicit TGlyphButton(tk::TComponent* AOwner) : tk::TButton(AOwner), FGlyph(64, 16, tk::TPixelFormat::pf24bit) {
    const uint8_t bgr[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {0, 255, 255}};
    for (int y = 0; y < 16; ++y) {
      uint8_t* row = FGlyph.ScanLine(y);
      for (int x = 0; x < 64; ++x) {
        const bool key = y == 15 && x % 16 == 0;
        row[x * 3] = key ? 255 : bgr[x / 16][0];
        row[x * 3 + 1] = key ? 0 : bgr[x / 16][1];
        row[x * 3 + 2] = key ? 255 : bgr[x / 16][2];
      }
    }
  }
  tk::TBitmap* BitBtnGlyph() override { return &FGlyph; }
  int BitBtnNumGlyphs() override { return 4; }
  tk::TButtonLayout BitBtnLayout() override { return tk::blGlyphLeft; }
  int BitBtnSpacing() override { return 4; }
  int BitBtnMargin() override { return -1; }

 private:
  tk::TBitmap FGlyph;
};

TEST_F(StdWnds, ABitButtonShowsTheGlyphFrameOfItsStateBesideTheCaption) {
  tk::test::TOwned<> form;
  form->SetBounds(60, 60, 300, 200);
  auto* button = tk::Create<TGlyphButton>(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 10, 90, 30);
  button->SetCaption(L"Go");
  form->Show();
  // The skin state belongs to the button, as a child-control adapter's item
  // does: the adapter reads the glyph through it.
  TsCommonData data(button, true);
  data.SetSkinSection(L"BUTTON");
  auto* a = AttachAdapter<TkxBitBtnWnd>(button->Handle(), false, tk::String(), Manager, &data);
  PumpPending();
  UpdateWindowGeometry(a);
  const tk::TRect g = a->GlyphRect();
  ASSERT_EQ(g.Width(), 16);
  EXPECT_LE(g.Right, a->CaptionRect().Left);
  const int x = g.Left + 8, y = g.Top + 8;
  EXPECT_EQ(Capture(button->Handle()).At(x, y), RGB(255, 0, 0)) << "up";
  Manager->TrackActiveWindow(button->Handle());
  EXPECT_EQ(Capture(button->Handle()).At(x, y), RGB(255, 0, 0)) << "hot is drawn up";
  Manager->TrackActiveWindow(nullptr);
  ::SendMessageW(button->Handle(), BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(Capture(button->Handle()).At(x + 1, y + 1), RGB(0, 0, 255)) << "pressed: the clicked frame, moved";
  ::SendMessageW(button->Handle(), BM_SETSTATE, FALSE, 0);
  delete a;

  // A system button's own picture, without a toolkit bit button behind it.
  HWND pictured = Child(L"BUTTON", L"", BS_PUSHBUTTON | BS_BITMAP, 10, 200, 75, 25);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP picture = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* px = static_cast<uint32_t*>(bits);
  for (int i = 0; i < 256; ++i) px[i] = 0x00FF0000;  // red
  px[15 * 16] = 0x00FF00FF;                          // the key, bottom-left
  ::SendMessageW(pictured, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  auto* p = Adapt<TkxBitBtnWnd>(pictured);
  UpdateWindowGeometry(p);
  const tk::TRect pg = p->GlyphRect();
  ASSERT_EQ(pg.Width(), 16);
  EXPECT_EQ(Capture(pictured).At(pg.Left + 8, pg.Top + 8), RGB(255, 0, 0));
  ::DestroyWindow(pictured);
  ::DeleteObject(picture);
}

TEST(LinkText, AnchorTagsAreLeftOut) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"See <A>the notes</A>.", L"See the notes."},
      {L"<a href=\"https://example.org\">site</a> and <a id=\"x\">more</a>", L"site and more"},
      {L"a < b and <b>bold</b>", L"a < b and <b>bold</b>"},
      {L"<abbr>x</abbr> <a", L"<abbr>x</abbr> <a"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(LinkTextOf(in), out);
}

}  // namespace
}  // namespace kx
