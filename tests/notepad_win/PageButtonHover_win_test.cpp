// The notepad's form in this process: hovering its page buttons in and out
// (each hover starting or reversing a fade) leaves no GDI object or window
// behind.
#include <gtest/gtest.h>

#include "app/Unit1.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Pump_win.h"
#include "toolkit/Forms.h"

namespace {

using tk::test::GdiObjects;
using tk::test::ProcessWindows;
using tk::test::PumpFor;
using tk::test::PumpPending;
using tk::test::PumpUntil;

bool AnyFading(const TForm1& f) {
  for (kx::TsSpeedButton* b : f.PageButtons)
    if (b->Fading()) return true;
  return false;
}

// Into button b and out again, leaving Ms of the fade to run in between.
void Hover(kx::TsSpeedButton* b, int Ms) {
  b->Perform(tk::CM_MOUSEENTER);
  if (Ms > 0) PumpFor(Ms);
  b->Perform(tk::CM_MOUSELEAVE);
  PumpPending();
}

}  // namespace

TEST(NotepadPageButtons, HoverCyclesLeaveGdiObjectsAndWindowsWhereTheyWere) {
  kx::InitializeEngine();
  auto* form = tk::Create<TForm1>(tk::Application);
  form->Show();
  PumpPending();
  kx::TsSpeedButton* k = form->PageButtons[10];
  ASSERT_TRUE(k->SkinData()->Skinned());
  // One full cycle first: caches and fonts made once are not leaks.
  Hover(k, 400);
  ASSERT_TRUE(PumpUntil([&] { return !AnyFading(*form); }, 2000));
  const std::size_t gdi = GdiObjects(), windows = ProcessWindows();

  for (int i = 0; i < 200; ++i) {
    // Cut short at every stage, reversed while running, and let to finish.
    Hover(form->PageButtons[1 + i % 26], i % 5 * 30);
    if (i % 50 == 49) PumpUntil([&] { return !AnyFading(*form); }, 2000);
  }
  ASSERT_TRUE(PumpUntil([&] { return !AnyFading(*form); }, 2000));
  EXPECT_LE(GdiObjects(), gdi + tk::test::kDcCacheSlack);
  EXPECT_EQ(ProcessWindows(), windows);
  form->Free();
  PumpPending();
}
