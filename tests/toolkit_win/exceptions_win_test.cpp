// Exceptions never cross a window procedure: they reach the application's
// handler (replaceable for these tests) and the program goes on.
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Timers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "tests/support/Owned.h"
#include "tests/support/Pump_win.h"
#include "tests/toolkit_win/ExceptionSink.h"

using namespace tk;

namespace {
class TThrowingForm : public TForm {
 public:
  using TForm::TForm;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_APP + 1) throw EFCreateError(L"Cannot create file \"C:\\x\\A.txt\". Access is denied.");
    if (m.Msg == WM_APP + 2) throw EAbort(L"silent");
    if (m.Msg == WM_APP + 3) throw std::runtime_error("plain failure");
    TForm::WndProc(m);
  }
};

class TFailingCreate : public TForm {
 public:
  explicit TFailingCreate(TComponent* o) : TForm(o) {
    OnCreate = [](TObject*) { throw Exception(L"create failed"); };
  }
};
}  // namespace

TEST(CallbackExceptions, AnExceptionInAHandlerIsShownAndTheWindowLivesOn) {
  tk::test::TExceptionSink sink;
  tk::test::TOwned<TThrowingForm> form;
  HWND h = form->Handle();
  EXPECT_EQ(::SendMessageW(h, WM_APP + 1, 0, 0), 0);
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(sink.Messages[0], L"Cannot create file \"C:\\x\\A.txt\". Access is denied.");
  EXPECT_EQ(sink.Senders[0], form.get());
  EXPECT_TRUE(::IsWindow(h));
  ::PostMessageW(h, WM_APP + 3, 0, 0);
  tk::test::PumpPending();
  ASSERT_EQ(sink.Messages.size(), 2u);
  EXPECT_EQ(sink.Messages[1], L"plain failure");
}

TEST(CallbackExceptions, ASilentAbortIsNotShown) {
  tk::test::TExceptionSink sink;
  tk::test::TOwned<TThrowingForm> form;
  ::SendMessageW(form->Handle(), WM_APP + 2, 0, 0);
  EXPECT_TRUE(sink.Messages.empty());
}

TEST(CallbackExceptions, AFailingOnCloseKeepsTheFormOpen) {
  tk::test::TExceptionSink sink;
  tk::test::TOwned<> form;
  form->OnClose = [](TObject*, TCloseAction&) { throw EIniFileException(L"Unable to write to C:\\T.ini"); };
  form->Show();
  ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(sink.Messages[0], L"Unable to write to C:\\T.ini");
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(::IsWindowVisible(form->Handle()));
}

TEST(CallbackExceptions, AFailingOnCreateIsReportedAndTheFormIsStillMade) {
  tk::test::TExceptionSink sink;
  tk::test::TOwned<TFailingCreate> form;
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(sink.Messages[0], L"create failed");
  EXPECT_FALSE(form->FormState().Contains(fsCreating));
  EXPECT_NE(form->Handle(), nullptr);
}

TEST(CallbackExceptions, ATimerHandlerThatThrowsIsReportedAndTheTimerGoesOn) {
  tk::test::TExceptionSink sink;
  auto* t = Create<TTimer>(nullptr);
  int ticks = 0;
  t->OnTimer = [&](TObject*) {
    ++ticks;
    throw Exception(L"tick failed");
  };
  t->SetInterval(15);
  EXPECT_TRUE(tk::test::PumpUntil([&] { return ticks >= 3; }));
  EXPECT_GE(sink.Messages.size(), 3u);
  EXPECT_EQ(sink.Messages[0], L"tick failed");
  t->Free();
}

TEST(CallbackExceptions, ReleaseFreesTheFormAfterPendingMessages) {
  struct TNoted : TForm {
    using TForm::TForm;
    bool* Gone = nullptr;
    ~TNoted() override { *Gone = true; }
  };
  bool gone = false;
  auto* f = Create<TNoted>(nullptr);
  f->Gone = &gone;
  HWND h = f->Handle();
  f->Release();
  EXPECT_FALSE(gone);
  tk::test::PumpUntil([&] { return gone; }, 1000);
  EXPECT_TRUE(gone);
  EXPECT_FALSE(::IsWindow(h));
}
