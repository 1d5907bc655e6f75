// The skinned panels on screen: the page-button column and the about panel
// show the internal skin's panel colour inside their border, answer the
// engine's questions, and keep every page button visible and working.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/Harness_win.h"
#include "tests/support/Pump_win.h"

using namespace e2e;

namespace {

constexpr UINT kEngineCommand = 0xA100;
constexpr WPARAM kQueryHandled = WPARAM(7) << 16;
constexpr WPARAM kQueryColor = WPARAM(21) << 16;

// The "PANEL" section's colour in the skin's options, as 0x00BBGGRR.
COLORREF SkinPanelColour() {
  const std::wstring options = HostPath(TABULO_SKINS_DIR "/Pearlmist/Options.dat");
  return static_cast<COLORREF>(GetPrivateProfileIntW(L"PANEL", L"COLOR", -1, options.c_str()));
}

bool Near(uint32_t rgb, COLORREF want, int tol = 3) {
  const int r = int(rgb >> 16 & 0xFF), g = int(rgb >> 8 & 0xFF), b = int(rgb & 0xFF);
  return std::abs(r - int(GetRValue(want))) <= tol && std::abs(g - int(GetGValue(want))) <= tol &&
         std::abs(b - int(GetBValue(want))) <= tol;
}

// Points in form client coordinates that lie in the panel's own face: the
// gaps between the page buttons, and the margins inside the border.
std::vector<POINT> ColumnGaps(const RECT& column) {
  std::vector<POINT> out;
  for (int y = 10; y < column.bottom - 10; y += 37) out.push_back({column.left + 61, y});  // between columns 1 and 2
  for (int row = 0; row < 8; ++row) out.push_back({column.left + 90, 8 + 56 * row + 53});  // between rows
  out.push_back({column.left + 6, (column.top + column.bottom) / 2});                      // left margin
  out.push_back({column.left + 175, 30});                                                  // right margin
  return out;
}

std::vector<POINT> AboutFace(const RECT& about) {
  return {{about.left + 12, about.top + 12},
          {about.left + 290, about.top + 100},
          {about.left + 30, about.top + 185},
          {about.left + 250, about.top + 30}};
}

// Every point shows the panel colour, and the panel's outermost ring does not.
void ExpectSkinnedPanel(const TabuloApp& app, const RECT& panel, const std::vector<POINT>& face, const char* what) {
  const COLORREF want = SkinPanelColour();
  Capture shot = app.CaptureClient();
  for (POINT p : face)
    EXPECT_TRUE(Near(shot.At(p.x, p.y), want)) << what << " at " << p.x << "," << p.y << ": " << std::hex
                                               << shot.At(p.x, p.y) << " " << SaveFailureShot(shot, what);
  const int midY = (panel.top + panel.bottom) / 2, midX = (panel.left + panel.right) / 2;
  EXPECT_FALSE(Near(shot.At(panel.left, midY), want)) << what << ": no left border " << SaveFailureShot(shot, what);
  EXPECT_FALSE(Near(shot.At(midX, panel.bottom - 1), want))
      << what << ": no bottom border " << SaveFailureShot(shot, what);
}

void ExpectColumnSkinned(const TabuloApp& app, const char* what) {
  const RECT column = app.ClientRectOf(app.ButtonColumn());
  ExpectSkinnedPanel(app, column, ColumnGaps(column), what);
}

}  // namespace

TEST(PanelLook, ColumnAndAboutPanelShowTheSkinsPanelColourWithABorder) {
  ASSERT_NE(SkinPanelColour(), COLORREF(-1)) << "no PANEL colour in the skin's options";
  TabuloApp app;
  app.Start();
  ASSERT_NE(app.ButtonColumn(), nullptr);
  ExpectColumnSkinned(app, "designed size");

  PostMessageW(app.Form(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return IsZoomed(app.Form()) != 0; }));
  WaitFor([&] { return app.ClientRectOf(app.ButtonColumn()).bottom > 514; });
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
  ExpectColumnSkinned(app, "maximized");
  PostMessageW(app.Form(), WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsZoomed(app.Form()); }));
  WaitFor([&] { return app.ClientRectOf(app.ButtonColumn()).bottom == 514; });
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
  ExpectColumnSkinned(app, "restored");

  ASSERT_TRUE(app.ShowAboutPanel());
  ASSERT_TRUE(tk::test::RoundTrip(app.Form()));
  const RECT about = app.ClientRectOf(app.AboutPanel());
  ExpectSkinnedPanel(app, about, AboutFace(about), "about panel");
  ASSERT_TRUE(app.CloseAndWait());
}

TEST(PanelLook, BothPanelsAnswerTheEngineAndTheColumnReportsItsColour) {
  TabuloApp app;
  app.Start();
  EXPECT_EQ(SendMessageW(app.ButtonColumn(), kEngineCommand, kQueryHandled, 0), 1);
  EXPECT_EQ(SendMessageW(app.AboutPanel(), kEngineCommand, kQueryHandled, 0), 1);
  EXPECT_EQ(COLORREF(SendMessageW(app.ButtonColumn(), kEngineCommand, kQueryColor, 0)), SkinPanelColour());
  ASSERT_TRUE(app.CloseAndWait());
}

TEST(PanelLook, EveryPageButtonShowsAndSwitchesItsPage) {
  TabuloApp app;
  app.Start();
  Capture shot = app.CaptureClient();
  const COLORREF panel = SkinPanelColour();
  auto notPanel = [&](uint8_t r, uint8_t g, uint8_t b) { return !Near(uint32_t(r) << 16 | g << 8 | b, panel, 6); };
  const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ9";
  for (int i = 0; i < 27; ++i) {
    // Each button is drawn over the column: its bottom edge is not the column's colour.
    const POINT c = app.PageButtonCentre(i);
    const RECT bottom{c.x - 20, c.y + 22, c.x + 20, c.y + 25};
    EXPECT_GT(shot.Count(bottom, notPanel), 20) << "button " << i << " " << SaveFailureShot(shot, "buttons");
  }
  // Leaving a page writes its file: after B .. "0-9" and back to A, all 27 exist.
  for (int i = 1; i <= 27; ++i) {
    const wchar_t next = letters[i % 27], left = letters[i - 1];
    app.ClickPage(next);
    const std::wstring file = std::wstring(1, left) + L".txt";
    EXPECT_TRUE(WaitFor([&] { return app.Exists(file); }))
        << "clicking " << char(next) << " did not leave page " << char(left);
  }
  ASSERT_TRUE(app.CloseAndWait());
}
