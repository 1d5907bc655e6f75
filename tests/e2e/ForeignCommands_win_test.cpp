// The engine's command message as another program sees it: an ordinary
// window message that anyone on the desktop may send or post to Tabulo's
// windows. Commands that carry an address must never be written through.
#include <gtest/gtest.h>

#include "tests/e2e/Harness_win.h"
#include "tests/support/Pump_win.h"

using namespace e2e;

namespace {

constexpr UINT kCommand = 0xA100;
constexpr WPARAM Sub(WPARAM n) { return n << 16; }

// The answer to a sub-command sent with LParam 0 (0 when none came).
DWORD_PTR Ask(HWND w, WPARAM sub) {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(w, kCommand, Sub(sub), 0, SMTO_ABORTIFHUNG, 5000, &r);
  return r;
}

}  // namespace

TEST(ForeignCommands, AddressesSentByAnotherProgramAreNotWrittenThrough) {
  TabuloApp app;
  app.Start();
  // The button column fills the form's left edge.
  HWND column = ChildWindowFromPointEx(app.Form(), POINT{5, 5}, CWP_SKIPINVISIBLE);
  ASSERT_TRUE(column && column != app.Form());
  ASSERT_EQ(Ask(column, 7), 1u);
  const DWORD_PTR formAnswer = Ask(app.Form(), 7);
  for (HWND w : {column, app.Form()}) {
    for (WPARAM sub : {26, 34}) {
      DWORD_PTR r = 0;
      SendMessageTimeoutW(w, kCommand, Sub(sub), 0x10, SMTO_ABORTIFHUNG, 5000, &r);
      EXPECT_EQ(r, 0u) << sub;
      PostMessageW(w, kCommand, Sub(sub), 0x10);
    }
  }
  EXPECT_TRUE(tk::test::RoundTrip(app.Form()));
  ASSERT_TRUE(app.Running());
  EXPECT_EQ(Ask(column, 7), 1u);
  EXPECT_EQ(Ask(app.Form(), 7), formAnswer);
  ASSERT_TRUE(app.CloseAndWait());
}
