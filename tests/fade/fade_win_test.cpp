// Fades on test controls that answer the fade commands the way the engine's
// buttons do: a windowed one (TsFadeTimer) and a window-less one
// (TsAnimTimer). Each paints its cache in the colour of its state.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sFadeTimer.h"
#include "skin/framework/sMessages.h"
#include "skin/paint/BlendRow.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Owned.h"
#include "tests/support/Pump_win.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"
#include "toolkit/Timers.h"

namespace kx {
namespace {

// Old-look weights of the frames of a 20-step fade, and of a halved one.
const std::vector<int> kWeights20 = {243, 230, 217, 204, 191, 179, 166, 153, 140, 127,
                                     115, 102, 89,  76,  63,  51,  38,  25,  12,  0};
const std::vector<int> kWeights10 = {230, 204, 179, 153, 127, 102, 76, 51, 25, 0};

constexpr uint8_t kNormal = 255, kHot = 0, kDisabled = 128;

// Frame bytes of a fade from the normal to the hot look.
std::vector<int> FrameBytes(const std::vector<int>& Weights) {
  std::vector<int> bytes;
  for (int w : Weights) bytes.push_back(BlendByte(kNormal, kHot, static_cast<uint8_t>(w)));
  return bytes;
}

void Fill(tk::TBitmap& Bmp, int W, int H, uint8_t Byte) {
  Bmp.SetSize(W, H);
  const tk::TPixelView v = Bmp.View();
  for (int y = 0; y < v.height; ++y) std::memset(v.Row(y), Byte, static_cast<size_t>(v.width) * v.Bpp());
}

// What a fading control hears, in order: commands and frame bytes.
struct TLog {
  std::vector<int> Frames;  // first byte of each frame
  int Stops = 0;
  int Updating = 0;
  // A command whose answer raises (0: none).
  uint16_t Raise = 0;
  void Check(uint16_t Command) const {
    if (Command == Raise) throw tk::Exception(L"fade command failed");
  }
};

uint8_t LookOf(tk::TControl* C, int State) { return !C->Enabled() ? kDisabled : State ? kHot : kNormal; }

// A windowed control faded by TsFadeTimer, freeing the timer in its answer to
// KX_STOPFADE, as the push button does.
class TFadeButton : public tk::TCustomControl {
 public:
  explicit TFadeButton(tk::TComponent* AOwner) : tk::TCustomControl(AOwner), Data(this, true) {
    Data.SetSkinSection(L"BUTTON");
  }
  ~TFadeButton() override { StopFade(Timer, Data); }
  TsCommonData Data;
  TsFadeTimer* Timer = nullptr;
  int State = 0;
  TLog Log;

  void ChangeState(int NewState, bool Fade = true) {
    State = NewState;
    Data.BGChanged = false;
    ChangeStateFaded(Timer, Data, false, fdUp, Fade);
  }
  void Dispatch(tk::TMessage& m) override {
    switch (CommandOf(m)) {
      case KX_BUILDCACHE: BuildCache(); return;
      case KX_FADEFRAME:
        EXPECT_TRUE(IsTrustedPointerCommand(m));  // the frame's address comes from the timer itself
        Log.Frames.push_back(reinterpret_cast<tk::TBitmap*>(m.LParam)->ScanLine(0)[0]);
        m.Result = 0;  // the timer draws it
        return;
      case KX_STOPFADE:
        ++Log.Stops;
        Log.Check(KX_STOPFADE);
        StopFade(Timer, Data);
        return;
      default: tk::TCustomControl::Dispatch(m);
    }
  }

 protected:
  void Paint() override {
    if (Data.BGChanged) BuildCache();
    ::BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), Data.FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
  }

 private:
  void BuildCache() {
    Fill(*Data.FCacheBmp, Width(), Height(), LookOf(this, State));
    Data.BGChanged = false;
  }
};

// A window-less control faded by TsAnimTimer, as the speed button does.
class TFadeSwatch : public tk::TGraphicControl {
 public:
  explicit TFadeSwatch(tk::TComponent* AOwner) : tk::TGraphicControl(AOwner), Data(this, true) {
    Data.SetSkinSection(L"BUTTON");
  }
  ~TFadeSwatch() override { StopFade(Anim); }
  TsCommonData Data;
  TsAnimTimer* Anim = nullptr;
  TLog Log;

  // The speed button shows the first frame at once; FirstFrameNow false
  // leaves it to the first tick.
  void FadeToHot(bool FirstFrameNow = true) {
    Fill(*Data.FCacheBmp, Width(), Height(), kNormal);
    Anim = tk::Create<TsAnimTimer>();
    Anim->SetOwnerData(&Data);
    Anim->FadeLevel = 1;
    Anim->BmpFrom->Assign(Data.FCacheBmp.get());
    Fill(*Data.FCacheBmp, Width(), Height(), kHot);
    Anim->SetEnabled(true);
    if (FirstFrameNow) Anim->DoFade();
  }
  void Dispatch(tk::TMessage& m) override {
    switch (CommandOf(m)) {
      case KX_SETUPDATING: ++Log.Updating; return;
      case KX_REPAINTNOW:
        Log.Check(KX_REPAINTNOW);
        Log.Frames.push_back(Anim->TmpBmp->ScanLine(0)[0]);
        return;
      case KX_STOPFADE:
        ++Log.Stops;
        Log.Check(KX_STOPFADE);
        StopFade(Anim);
        return;
      default: tk::TGraphicControl::Dispatch(m);
    }
  }
};

// Watches a fade timer being freed: when, and whether its tick was still
// running then (the toolkit would go on running the freed timer's method).
class TFreeWatch : public tk::TComponent {
 public:
  explicit TFreeWatch(TkxFadeTimerBase* Timer) : tk::TComponent(nullptr) { Timer->FreeNotification(this); }
  bool Freed = false, FreedInTick = false;

 protected:
  void Notification(tk::TComponent* AComponent, tk::TOperation Operation) override {
    if (Operation != tk::opRemove) return;
    Freed = true;
    FreedInTick = static_cast<TkxFadeTimerBase*>(AComponent)->InTick();
  }
};

// Waits until a timer of the fades' 10 ms interval ticked Count times: by
// then a stopped fade would have ticked too, had it still been running.
bool WitnessTicks(int Count) {
  tk::test::TOwned<tk::TTimer> witness(tk::Create<tk::TTimer>(nullptr));
  int ticks = 0;
  witness->OnTimer = [&](tk::TObject*) { ++ticks; };
  witness->SetInterval(10);
  return tk::test::PumpUntil([&] { return ticks >= Count; });
}

class FadeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Manager = tk::Create<TsSkinManager>(nullptr);
    TsGeneralData s;
    s.ClassName = L"BUTTON";
    s.FadingEnabled = true;
    s.FadingIterations = 20;
    Manager->gd().push_back(s);
    Form = tk::Create<tk::TForm>(nullptr);
    Form->SetBounds(40, 40, 200, 150);
    Form->Show();
    GlowHooks.Update = [](TsCommonData&, bool Pressed, HWND) { GlowPresses.push_back(Pressed); };
    GlowPresses.clear();
  }
  void TearDown() override {
    GlowHooks.Update = nullptr;
    tk::Application->OnException = nullptr;
    tk::FreeAndNil(Form);
    tk::FreeAndNil(Manager);
    tk::test::PumpPending();
  }
  TFadeButton* Button() {
    auto* b = tk::Create<TFadeButton>(Form);
    b->SetBounds(10, 10, 50, 50);
    b->SetParent(Form);
    b->HandleNeeded();
    b->Update();
    return b;
  }
  uint8_t ShownByte(tk::TWinControl* C) {
    tk::test::PumpPending();
    HDC dc = ::GetDC(C->Handle());
    const COLORREF c = ::GetPixel(dc, 25, 25);
    ::ReleaseDC(C->Handle(), dc);
    return tk::GetBValue(c);
  }
  // Runs one fade of b to State to its end.
  static bool FadeTo(TFadeButton* b, int State) {
    const int stops = b->Log.Stops;
    b->ChangeState(State);
    return tk::test::PumpUntil([&] { return b->Log.Stops > stops; });
  }

  inline static std::vector<bool> GlowPresses;
  TsSkinManager* Manager = nullptr;
  tk::TForm* Form = nullptr;
};

TEST_F(FadeTest, AFullFadeShowsEveryWeightThenStopsAndTheButtonFreesItsTimerInTheLastTick) {
  TFadeButton* b = Button();
  ASSERT_EQ(ShownByte(b), kNormal);
  b->ChangeState(1);
  tk::test::TOwned<TFreeWatch> watch(tk::Create<TFreeWatch>(b->Timer));
  ASSERT_TRUE(tk::test::PumpUntil([&] { return b->Log.Stops > 0; }));
  EXPECT_EQ(b->Log.Frames, FrameBytes(kWeights20));
  EXPECT_EQ(b->Timer, nullptr);
  tk::test::PumpPending();
  EXPECT_TRUE(watch->Freed);
  EXPECT_FALSE(watch->FreedInTick);
  EXPECT_TRUE(WitnessTicks(3));
  EXPECT_EQ(b->Log.Stops, 1);
  EXPECT_EQ(ShownByte(b), kHot);
  EXPECT_EQ(GlowPresses, std::vector<bool>{false});
}

TEST_F(FadeTest, StoppingFromInsideTheLastTickLeavesNoObjectsBehind) {
  TFadeButton* b = Button();
  ASSERT_TRUE(FadeTo(b, 1));  // the first fade makes what stays for all (the release window)
  tk::test::PumpPending();
  const size_t gdi = tk::test::GdiObjects(), windows = tk::test::ProcessWindows();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(FadeTo(b, i % 2 ? 1 : 0));
  tk::test::PumpPending();
  EXPECT_EQ(tk::test::GdiObjects(), gdi);
  EXPECT_EQ(tk::test::ProcessWindows(), windows);
}

TEST_F(FadeTest, APressFadesInHalfTheSteps) {
  TFadeButton* b = Button();
  b->State = 1;
  b->Data.BGChanged = false;
  ChangeStateFaded(b->Timer, b->Data, true, fdUp, true);
  ASSERT_TRUE(tk::test::PumpUntil([&] { return b->Log.Stops > 0; }));
  EXPECT_EQ(b->Log.Frames, FrameBytes(kWeights10));
  EXPECT_EQ(GlowPresses, std::vector<bool>{true});
}

TEST_F(FadeTest, AStateChangeDuringAFadeRestartsItFromTheFirstStep) {
  TFadeButton* b = Button();
  b->ChangeState(1);
  ASSERT_TRUE(tk::test::PumpUntil([&] { return b->Log.Frames.size() >= 5; }));
  TsFadeTimer* running = b->Timer;
  b->Log.Frames.clear();
  b->ChangeState(0);
  EXPECT_EQ(b->Timer, running) << "the running timer is redirected";
  ASSERT_TRUE(tk::test::PumpUntil([&] { return b->Log.Stops > 0; }));
  std::vector<int> back;
  for (int w : kWeights20) back.push_back(BlendByte(kHot, kNormal, static_cast<uint8_t>(w)));
  EXPECT_EQ(b->Log.Frames, back) << "from the hot look, which the cache held when the fade turned";
}

TEST_F(FadeTest, WithoutFadingTheNewLookIsShownAtOnce) {
  TFadeButton* b = Button();
  b->ChangeState(1, false);
  EXPECT_EQ(b->Timer, nullptr);
  EXPECT_EQ(ShownByte(b), kHot);
  EXPECT_TRUE(b->Log.Frames.empty());
}

TEST_F(FadeTest, AButtonDisabledDuringAFadeShowsItsFinalLookAndGetsNoMoreFrames) {
  TFadeButton* b = Button();
  b->ChangeState(1);
  ASSERT_TRUE(tk::test::PumpUntil([&] { return b->Log.Frames.size() >= 3; }));
  b->SetEnabled(false);
  const size_t frames = b->Log.Frames.size();
  EXPECT_TRUE(WitnessTicks(4));
  EXPECT_EQ(b->Log.Frames.size(), frames);
  EXPECT_EQ(ShownByte(b), kDisabled);
}

TEST_F(FadeTest, AWindowlessControlRepaintsEveryFrameAndFreesItsTimerInTheLastTick) {
  auto* s = tk::Create<TFadeSwatch>(Form);
  s->SetBounds(80, 10, 40, 40);
  s->SetParent(Form);
  s->FadeToHot();
  tk::test::TOwned<TFreeWatch> watch(tk::Create<TFreeWatch>(s->Anim));
  ASSERT_TRUE(tk::test::PumpUntil([&] { return s->Log.Stops > 0; }));
  EXPECT_EQ(s->Log.Frames, FrameBytes(kWeights20));
  EXPECT_EQ(s->Log.Updating, static_cast<int>(kWeights20.size()));
  EXPECT_EQ(s->Anim, nullptr);
  tk::test::PumpPending();
  EXPECT_TRUE(watch->Freed);
  EXPECT_FALSE(watch->FreedInTick);
  EXPECT_TRUE(WitnessTicks(3));
  EXPECT_EQ(s->Log.Stops, 1);
}

// Window-less controls get the commands through Perform, so an answer that
// raises raises inside the tick.
TEST_F(FadeTest, AFailingFrameOrStopIsReportedOnceAndEndsTheFade) {
  for (uint16_t failing : {KX_REPAINTNOW, KX_STOPFADE}) {
    tk::test::TOwned<TFadeSwatch> s(tk::Create<TFadeSwatch>(nullptr));
    s->SetBounds(80, 10, 40, 40);
    s->SetParent(Form);
    std::vector<tk::String> reported;
    tk::Application->OnException = [&](tk::TObject*, const tk::Exception& e) { reported.push_back(e.Message()); };
    s->Log.Raise = failing;
    s->FadeToHot(false);
    ASSERT_TRUE(tk::test::PumpUntil([&] { return !reported.empty(); })) << failing;
    EXPECT_TRUE(WitnessTicks(4));
    EXPECT_EQ(reported.size(), 1u) << failing;
    EXPECT_EQ(s->Log.Frames.size(), failing == KX_STOPFADE ? kWeights20.size() : 0u) << failing;
    EXPECT_EQ(s->Log.Stops, failing == KX_STOPFADE ? 1 : 0) << failing;
    EXPECT_FALSE(s->Anim->Enabled()) << failing;
  }
}

// A windowed control's own window procedure reports what its answer raises;
// the timer sees a stop that did not free it.
TEST_F(FadeTest, AButtonWhoseStopFailsIsReportedOnceAndItsTimerStops) {
  TFadeButton* b = Button();
  int reported = 0;
  tk::Application->OnException = [&](tk::TObject*, const tk::Exception&) { ++reported; };
  b->Log.Raise = KX_STOPFADE;
  ASSERT_TRUE(FadeTo(b, 1));
  EXPECT_TRUE(WitnessTicks(4));
  EXPECT_EQ(b->Log.Stops, 1);
  EXPECT_EQ(reported, 1);
  ASSERT_NE(b->Timer, nullptr);
  EXPECT_FALSE(b->Timer->Enabled());
}

TEST_F(FadeTest, FadeAllowedAsksTheDefaultManagerWhenNoneIsNamed) {
  Manager->AnimEffects()->Buttons.Events = {aeMouseDown};
  EXPECT_TRUE(FadeAllowed(aeMouseDown, kxDefaultAnimatEvents));
  EXPECT_FALSE(FadeAllowed(aeMouseEnter, kxDefaultAnimatEvents));
}

}  // namespace
}  // namespace kx
