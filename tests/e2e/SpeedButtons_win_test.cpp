// The page buttons as a person sees them: painted from the skin's
// "SPEEDBUTTON" section, the current page's button faded into the column
// with a grey letter, a hover that cross-fades to the hot look and back, a
// press that moves the letter, and no button left lit after a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>

#include "skin/data/sSkinLoad.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sSkinItemPaint.h"
#include "tests/e2e/Harness_win.h"
#include "toolkit/Streams.h"

using namespace e2e;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSize = 50;
// How far in from the edge looks are compared: the caption lies inside.
constexpr int kFace = 12;

// The skin packed into the program under test, read from its resources.
const kx::TkxSkinContent& ProgramSkin() {
  static const std::unique_ptr<kx::TkxSkinContent> skin = [] {
    HMODULE m = LoadLibraryExW(TabuloExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC r = m ? FindResourceW(m, L"SKIN_PEARLMIST", MAKEINTRESOURCEW(10)) : nullptr;
    HGLOBAL g = r ? LoadResource(m, r) : nullptr;
    tk::TMemoryStream data(g ? LockResource(g) : nullptr, g ? SizeofResource(m, r) : 0);
    if (m) FreeLibrary(m);
    return kx::TkxSkinLoad().FromPacked(&data);
  }();
  return *skin;
}

// The button's look in State over the column's colour Behind, rendered
// here through the item painter; disabled as the engine dims it.
std::unique_ptr<tk::TBitmap> ReferenceLook(int State, uint32_t Behind, bool Disabled) {
  const kx::TkxSkinContent& skin = ProgramSkin();
  const tk::TColor back = tk::RGBColor((Behind >> 16) & 0xFF, (Behind >> 8) & 0xFF, Behind & 0xFF);
  const kx::TCacheInfo ci{nullptr, 0, 0, back, false};
  auto bmp = kx::NewBitmap24(kSize, kSize);
  kx::PaintControlLook(kx::TkxControlSkin{skin.GetSkinIndex(L"SPEEDBUTTON"), L"SPEEDBUTTON", -1, -1, &skin, kxKeyColor},
                       ci, true, true, bmp.get(), tk::TPoint{}, tk::TRect{0, 0, kSize, kSize}, State);
  if (Disabled) kx::MakeDisabledLook(bmp.get(), kx::dkBlended, [back] { return back; }, tk::TPoint{}, ci);
  return bmp;
}

RECT ButtonRect(const TabuloApp& app, int index) {
  const POINT c = app.PageButtonCentre(index);
  return RECT{c.x - kSize / 2, c.y - kSize / 2, c.x + kSize / 2, c.y + kSize / 2};
}

// The largest channel difference between the screen and the reference over
// the button's border and face, Width pixels in from the edge (the caption
// lies further in).
int RingDifference(const Capture& shot, RECT r, const tk::TBitmap& ref, int Width) {
  int worst = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      if (x >= Width && x < kSize - Width && y >= Width && y < kSize - Width) continue;
      const uint32_t s = shot.At(r.left + x, r.top + y);
      const uint8_t* p = const_cast<tk::TBitmap&>(ref).ScanLine(y) + x * 3;
      worst = std::max({worst, std::abs(int((s >> 16) & 0xFF) - p[2]), std::abs(int((s >> 8) & 0xFF) - p[1]),
                        std::abs(int(s & 0xFF) - p[0])});
    }
  return worst;
}

// The caption's pixels: darker than the face by far.
bool Ink(uint8_t r, uint8_t g, uint8_t b) { return r + g + b < 3 * 110; }
bool GreyInk(uint8_t r, uint8_t g, uint8_t b) { return !Ink(r, g, b) && r + g + b < 3 * 200; }

RECT Inner(RECT r) { return RECT{r.left + 8, r.top + 8, r.right - 8, r.bottom - 8}; }

// Bounding box of the caption's ink inside r.
RECT InkBox(const Capture& shot, RECT r) {
  RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const uint32_t c = shot.At(x, y);
      if (!Ink(c >> 16, (c >> 8) & 0xFF, c & 0xFF)) continue;
      box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                 std::max<LONG>(box.bottom, y + 1)};
    }
  return box;
}

// The pixels of one button as a comparable value.
std::vector<uint32_t> Look(const Capture& shot, RECT r) {
  std::vector<uint32_t> v;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) v.push_back(shot.At(x, y));
  return v;
}

std::vector<uint32_t> ScreenLook(const TabuloApp& app, int index) {
  const RECT r = ButtonRect(app, index);
  RECT s = app.FormClient();
  s = RECT{s.left + r.left, s.top + r.top, s.left + r.right, s.top + r.bottom};
  return Look(Capture::Screen(s), RECT{0, 0, kSize, kSize});
}

POINT ScreenOf(const TabuloApp& app, POINT client) {
  ClientToScreen(app.Form(), &client);
  return client;
}

void MoveToEditor(TabuloApp& app) {
  const RECT e = app.ClientRectOf(app.Editor());
  const POINT p = ScreenOf(app, POINT{(e.left + e.right) / 2, (e.top + e.bottom) / 2});
  app.MoveTo(p.x, p.y);
}

// Waits until a button shows the same pixels for 150 ms; returns them.
std::vector<uint32_t> SteadyLook(const TabuloApp& app, int index) {
  std::vector<uint32_t> last = ScreenLook(app, index);
  auto since = Clock::now();
  const auto end = since + std::chrono::seconds(3);
  while (Clock::now() < end && Clock::now() - since < std::chrono::milliseconds(150)) {
    std::vector<uint32_t> now = ScreenLook(app, index);
    if (now != last) last = std::move(now), since = Clock::now();
  }
  return last;
}

// The look a change brings, once it has come (a busy machine may take a
// while) and stands still.
std::vector<uint32_t> ChangedLook(const TabuloApp& app, int index, const std::vector<uint32_t>& before) {
  WaitFor([&] { return ScreenLook(app, index) != before; }, 2000);
  return SteadyLook(app, index);
}

// Every button at rest against the reference; Disabled is the current page's.
void ExpectRestingLooks(const TabuloApp& app, int Disabled) {
  for (int i = 0; i < 27; ++i) SteadyLook(app, i);
  const Capture shot = app.CaptureClient();
  // The column between the buttons.
  const uint32_t behind = shot.At(5, 30);
  const auto normal = ReferenceLook(0, behind, false), dimmed = ReferenceLook(0, behind, true);
  for (int i = 0; i < 27; ++i) {
    const int d = RingDifference(shot, ButtonRect(app, i), i == Disabled ? *dimmed : *normal, kFace);
    EXPECT_LE(d, 12) << "button " << i << (i == Disabled ? " (current page)" : "") << " differs by " << d << "; "
                     << SaveFailureShot(shot, "ring");
  }
}

class PageButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Start();
    app.Foreground();
    MoveToEditor(app);
    ASSERT_TRUE(ProgramSkin().GetSkinIndex(L"SPEEDBUTTON") >= 0);
  }
  TabuloApp app;
};

}  // namespace

TEST_F(PageButtons, RestWithTheSkinsBorderAndOnlyTheCurrentPagesLetterGrey) {
  ExpectRestingLooks(app, 0);
  const Capture shot = app.CaptureClient();
  for (int i = 0; i < 27; ++i) {
    const RECT in = Inner(ButtonRect(app, i));
    if (i == 0) {
      EXPECT_EQ(shot.Count(in, Ink), 0) << "the current page's letter is dark";
      EXPECT_GT(shot.Count(in, GreyInk), 10) << "the current page's letter is not grey";
    } else {
      EXPECT_GT(shot.Count(in, Ink), 10) << "button " << i << " shows no dark letter";
    }
  }
}

TEST_F(PageButtons, HoverCrossFadesToTheHotLookAndBack) {
  const int k = PageIndex(L'K');
  const std::vector<uint32_t> normal = SteadyLook(app, k);
  const POINT c = ScreenOf(app, app.PageButtonCentre(k));

  std::vector<std::vector<uint32_t>> seen;
  const auto start = Clock::now();
  app.MoveTo(c.x, c.y);
  Clock::time_point lastChange = start;
  // Until the fade has begun (a busy machine can take a while to start it),
  // then until it has stood still for 150 ms.
  bool begun = false;
  while (Clock::now() - start < std::chrono::milliseconds(1000)) {
    std::vector<uint32_t> now = ScreenLook(app, k);
    begun = begun || now != normal;
    if (seen.empty() || now != seen.back()) seen.push_back(std::move(now)), lastChange = Clock::now();
    if (begun && Clock::now() - lastChange > std::chrono::milliseconds(150)) break;
  }
  const std::vector<uint32_t> hot = ChangedLook(app, k, normal);
  std::printf("[ fade ] mouse entering to the last frame: %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(lastChange - start).count()));
  std::set<std::vector<uint32_t>> between(seen.begin(), seen.end());
  between.erase(normal);
  between.erase(hot);
  EXPECT_GE(between.size(), 3u) << "looks between normal and hot";
  EXPECT_LE(lastChange - start, std::chrono::milliseconds(1000));
  EXPECT_NE(hot, normal);

  // Hot: the section's hot look, a bluish face and a dark blue letter.
  const RECT r = ButtonRect(app, k);
  const Capture shot = app.CaptureClient();
  EXPECT_LE(RingDifference(shot, r, *ReferenceLook(1, shot.At(5, 30), false), kFace), 12)
      << SaveFailureShot(shot, "hot");
  const uint32_t face = shot.At(r.left + 6, r.top + kSize / 2);
  EXPECT_GT(face & 0xFF, (face >> 16) & 0xFF) << std::hex << face;
  int blueInk = shot.Count(Inner(r), [](uint8_t R, uint8_t, uint8_t B) { return Ink(R, R, B) && B > R + 20; });
  EXPECT_GT(blueInk, 10);

  MoveToEditor(app);
  const auto left = Clock::now();
  bool back = false;
  while (!back && Clock::now() - left < std::chrono::milliseconds(1000)) back = ScreenLook(app, k) == normal;
  EXPECT_TRUE(back) << "the normal look did not come back within 1 s";
}

TEST_F(PageButtons, PressingMovesTheLetterOneRightAndDown) {
  const int k = PageIndex(L'K');
  const POINT c = ScreenOf(app, app.PageButtonCentre(k));
  const std::vector<uint32_t> normal = SteadyLook(app, k);
  app.MoveTo(c.x, c.y);
  const std::vector<uint32_t> hot = ChangedLook(app, k, normal);
  const RECT r = Inner(ButtonRect(app, k));
  const RECT lit = InkBox(app.CaptureClient(), r);
  app.LeftButton(true, c);
  ChangedLook(app, k, hot);
  const RECT pressed = InkBox(app.CaptureClient(), r);
  app.LeftButton(false, c);
  EXPECT_EQ(pressed.left - lit.left, 1);
  EXPECT_EQ(pressed.top - lit.top, 1);
  EXPECT_EQ(pressed.right - lit.right, 1);
  EXPECT_EQ(pressed.bottom - lit.bottom, 1);
}

TEST_F(PageButtons, AfterAClickAndAFastMoveAwayNoButtonStaysLit) {
  app.ClickPage(L'B');
  MoveToEditor(app);
  ExpectRestingLooks(app, PageIndex(L'B'));
}

TEST_F(PageButtons, ManyFastHoversLeaveTabuloRunning) {
  const POINT c = ScreenOf(app, app.PageButtonCentre(PageIndex(L'K')));
  for (int i = 0; i < 500; ++i) {
    app.MoveTo(c.x, c.y);
    MoveToEditor(app);
  }
  ASSERT_TRUE(app.Running());
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutW(app.Form(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0);
  ExpectRestingLooks(app, 0);
}

TEST(PageButtonsAtStart, APointerRestingOnAButtonAtStartLeavesItUnlitOnceItMovesAway) {
  POINT c{};
  {
    TabuloApp first;
    first.Start();
    c = ScreenOf(first, first.PageButtonCentre(PageIndex(L'C')));
    ASSERT_TRUE(first.CloseAndWait());
  }
  TabuloApp app;
  SetCursorPos(c.x, c.y);
  app.Start();
  app.ClickEditor();
  ExpectRestingLooks(app, 0);
}
