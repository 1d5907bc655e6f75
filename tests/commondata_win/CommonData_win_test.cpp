// The per-control skin state on the engine's controls: section changes and
// what they announce, the container bit, the background query through
// see-through controls, colours, and the bound label's place.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "skin/controls/sLabel.h"
#include "skin/controls/sMemo.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxColors.h"
#include "skin/framework/sCacheToDevice.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sMessages.h"
#include "toolkit/Forms.h"

namespace kx {
namespace {

using tk::String;

// A panel that records every engine command the common handler passes on.
class TRecordingPanel : public TsPanel {
 public:
  explicit TRecordingPanel(tk::TComponent* AOwner) : TsPanel(AOwner) {}
  std::vector<uint16_t> Commands;
  std::vector<intptr_t> LParams;
  void Dispatch(tk::TMessage& m) override {
    if (const uint16_t c = CommandOf(m)) {
      Commands.push_back(c);
      LParams.push_back(m.LParam);
    }
    TsPanel::Dispatch(m);
  }
};

TsGeneralData Sec(const wchar_t* Name, int Transparency, int GradientPercent = 0, tk::TColor Color = 0xFFFFFF) {
  TsGeneralData s;
  s.ClassName = Name;
  s.Transparency = Transparency;
  s.GradientPercent = GradientPercent;
  s.Color = Color;
  s.BorderIndex = -1;
  return s;
}

class CommonDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Manager = tk::Create<TsSkinManager>(nullptr);
    ASSERT_EQ(DefaultManager(), Manager);
    auto& gd = Manager->gd();
    gd.push_back(Sec(L"PANEL", 0, 0, 0xC0C0C0));
    gd.push_back(Sec(L"PAINTED", 0, 60));
    gd.push_back(Sec(L"CLEAR", 100));
    gd.push_back(Sec(L"HALF", 50));
    gd.push_back(Sec(L"TINTED", 40, 0, 0xFFFFFF));
    gd.push_back(Sec(L"EDIT", 0, 0, 0x00FFFF));
    Form = tk::Create<tk::TForm>(tk::Application);
    Form->SetBounds(10, 10, 400, 300);
  }
  void TearDown() override {
    tk::FreeAndNil(Form);
    tk::FreeAndNil(Manager);
  }
  // A loaded panel with a section, placed at (x, y) in Parent.
  TRecordingPanel* Panel(tk::TWinControl* Parent, const wchar_t* Section, int x, int y, int w = 100, int h = 80) {
    auto* p = tk::Create<TRecordingPanel>(Form);
    p->BeginReading();
    p->SetParent(Parent);
    p->SetBounds(x, y, w, h);
    p->SetSkinSection(Section);
    p->HandleNeeded();
    p->EndReading();
    p->Loaded();
    p->Commands.clear();
    p->LParams.clear();
    return p;
  }

  TsSkinManager* Manager = nullptr;
  tk::TForm* Form = nullptr;
};

TEST_F(CommonDataTest, ASectionChangeIsAnnouncedOnceAndAnEmptyNameStoresUnknown) {
  TRecordingPanel* p = Panel(Form, L"PANEL", 0, 0);
  TsCommonData* d = p->SkinData();
  EXPECT_EQ(d->SkinIndex, 0);
  EXPECT_TRUE(d->Skinned());
  EXPECT_FALSE(d->Skinned(true)) << "no skin applied yet";

  d->SetSkinSection(L"clear");
  EXPECT_EQ(d->SkinSection(), L"CLEAR");
  EXPECT_EQ(d->SkinIndex, 2);
  ASSERT_EQ(p->Commands, std::vector<uint16_t>{KX_SKINREFRESH});
  EXPECT_EQ(p->LParams[0], reinterpret_cast<intptr_t>(Manager));

  d->SetSkinSection(L"CLEAR");
  d->SetSkinSection(L"Clear");
  EXPECT_EQ(p->Commands.size(), 1u) << "the same section again sends nothing";

  d->SetSkinSection(L"");
  EXPECT_EQ(d->SkinSection(), L"UNKNOWN");
  EXPECT_EQ(d->SkinIndex, -1);
  EXPECT_EQ(d->Texture, -1);
  EXPECT_FALSE(d->Skinned());
  EXPECT_EQ(p->Commands.back(), KX_SKINREMOVED);
  EXPECT_EQ(d->ControlColor(), p->Color()) << "unskinned: the control's own colour";
}

TEST_F(CommonDataTest, LoadedChoosesTheDefaultSectionAndGivesAnEditTheSkinColours) {
  auto* panel = tk::Create<TsPanel>(Form);
  panel->SetParent(Form);
  panel->Loaded();
  EXPECT_EQ(panel->SkinSection(), L"PANEL");
  EXPECT_EQ(panel->SkinData()->SkinIndex, 0);

  auto* memo = tk::Create<TsMemo>(Form);
  memo->SetParent(Form);
  memo->SetColor(tk::clWhite);
  memo->Loaded();
  EXPECT_EQ(memo->SkinSection(), L"EDIT");
  EXPECT_EQ(memo->Color(), 0x00FFFFu);
  memo->SkinData()->SetCustomColor(true);
  memo->SetColor(tk::clWhite);
  memo->SkinData()->Loaded();
  EXPECT_EQ(memo->Color(), static_cast<tk::TColor>(tk::clWhite)) << "a custom colour is kept";
}

TEST_F(CommonDataTest, AFlatPanelIsAContainerThatNeedsNoCacheUntilItIsActive) {
  TRecordingPanel* flat = Panel(Form, L"PANEL", 0, 0);
  TsCommonData* d = flat->SkinData();
  EXPECT_TRUE(d->CtrlSkinState & kxStateContainer);
  EXPECT_FALSE(d->UsesCache());
  d->FFocused = true;
  EXPECT_TRUE(d->UsesCache());
  d->FFocused = false;
  flat->SetEnabled(false);
  d->FFocused = true;
  EXPECT_FALSE(d->UsesCache()) << "a disabled control is never active";
  d->FFocused = false;
  flat->SetEnabled(true);

  TRecordingPanel* painted = Panel(Form, L"PAINTED", 0, 0);
  EXPECT_FALSE(painted->SkinData()->CtrlSkinState & kxStateContainer);
  EXPECT_TRUE(painted->SkinData()->UsesCache());

  // See-through: a container only over a parent that is one itself.
  EXPECT_TRUE(Panel(flat, L"CLEAR", 5, 5)->SkinData()->CtrlSkinState & kxStateContainer);
  EXPECT_FALSE(Panel(painted, L"CLEAR", 5, 5)->SkinData()->CtrlSkinState & kxStateContainer);

  d->BeginUpdate();
  EXPECT_TRUE(d->CtrlSkinState & kxStateUpdating);
  EXPECT_TRUE(d->IsUpdating());
  d->EndUpdate();
  EXPECT_FALSE(d->CtrlSkinState & kxStateUpdating);
  EXPECT_FALSE(d->IsUpdating());
  EXPECT_EQ(flat->Commands, (std::vector<uint16_t>{KX_UPDATEBEGUN, KX_UPDATEENDED}));
}

TEST_F(CommonDataTest, SeeThroughControlsAnswerWithTheirParentsPictureOffsetByTheirPositions) {
  TRecordingPanel* base = Panel(Form, L"PAINTED", 0, 0, 300, 200);
  base->SkinData()->InitCacheBmp();
  TRecordingPanel* outer = Panel(base, L"CLEAR", 10, 20, 150, 120);
  TRecordingPanel* inner = Panel(outer, L"CLEAR", 3, 4, 60, 50);

  TBackgroundQuery q;
  QueryControlBackground(q, outer, false);
  EXPECT_EQ(q.Kind, kxBGBitmap);
  EXPECT_EQ(q.Bmp, base->SkinData()->FCacheBmp.get());
  EXPECT_EQ(q.X, 10);
  EXPECT_EQ(q.Y, 20);

  q = TBackgroundQuery{};
  QueryControlBackground(q, inner, false);
  EXPECT_EQ(q.Bmp, base->SkinData()->FCacheBmp.get());
  EXPECT_EQ(q.X, 13);
  EXPECT_EQ(q.Y, 24);

  // A control inside the inner one learns the same through GetParentCache.
  TRecordingPanel* child = Panel(inner, L"PANEL", 1, 1, 10, 10);
  const TCacheInfo ci = child->SkinData()->GetParentCache();
  EXPECT_TRUE(ci.Ready);
  EXPECT_EQ(ci.Bmp, base->SkinData()->FCacheBmp.get());
  EXPECT_EQ(ci.X, 13);
  EXPECT_EQ(ci.Y, 24);
}

TEST_F(CommonDataTest, WithoutAPictureTheQueryAnswersAColour) {
  // Half see-through without a built cache: unknown, so the asker paints opaque.
  TRecordingPanel* half = Panel(Form, L"HALF", 0, 0);
  TBackgroundQuery q;
  QueryControlBackground(q, half, false);
  EXPECT_EQ(q.Kind, kxBGColor);
  EXPECT_EQ(q.Color, kxKeyColor);

  TRecordingPanel* flat = Panel(Form, L"PANEL", 0, 0);
  q = TBackgroundQuery{};
  QueryControlBackground(q, flat, false);
  EXPECT_EQ(q.Kind, kxBGColor);
  EXPECT_EQ(q.Color, 0xC0C0C0u);

  // A custom colour is the owner's own, whatever the section's transparency.
  for (const wchar_t* section : {L"TINTED", L"CLEAR", L"HALF"}) {
    TRecordingPanel* custom = Panel(flat, section, 0, 0);
    custom->SetColor(0x0A0B0C);
    custom->SkinData()->SetCustomColor(true);
    q = TBackgroundQuery{};
    QueryControlBackground(q, custom, false);
    EXPECT_EQ(q.Kind, kxBGColor);
    EXPECT_EQ(q.Color, 0x0A0B0Cu) << tk::ToUtf8(section);
  }

  // A parent that knows nothing of the engine: its own colour.
  auto* plain = tk::Create<tk::TPanel>(Form);
  plain->SetParent(Form);
  plain->SetColor(0x123456);
  TRecordingPanel* over = Panel(plain, L"CLEAR", 0, 0);
  const TCacheInfo ci = over->SkinData()->GetParentCache();
  EXPECT_FALSE(ci.Ready);
  EXPECT_EQ(ci.FillColor, 0x123456u);
}

TEST_F(CommonDataTest, ATintedControlShowsItsParentWithTheTransparencyWeight) {
  // Parent black (0x000000 would read as "no answer", so nearly black).
  auto* parent = tk::Create<tk::TPanel>(Form);
  parent->SetParent(Form);
  parent->SetColor(0x010101);
  TRecordingPanel* tinted = Panel(parent, L"TINTED", 0, 0);
  // 40 % of 0x01 and 60 % of 0xFF per channel.
  const tk::TColor c = tinted->SkinData()->ControlColor();
  EXPECT_EQ(c & 0xFF, 153u);
  EXPECT_EQ(Panel(parent, L"CLEAR", 0, 0)->SkinData()->ControlColor(), 0x010101u);
}

TEST_F(CommonDataTest, ACacheFitsOnlyTheSizeStateAndSkinItWasBuiltFor) {
  TRecordingPanel* p = Panel(Form, L"PAINTED", 0, 0, 100, 80);
  TsCommonData* d = p->SkinData();
  d->InitCacheBmp();
  EXPECT_FALSE(d->CacheFits(0)) << "never built";
  d->CacheBuilt(0);
  EXPECT_TRUE(d->CacheFits(0));
  EXPECT_FALSE(d->CacheFits(1)) << "another state";
  d->Invalidate();
  EXPECT_FALSE(d->CacheFits(0)) << "marked stale";
  d->CacheBuilt(0);
  p->SetBounds(0, 0, 101, 80);
  EXPECT_FALSE(d->CacheFits(0)) << "resized";
  d->InitCacheBmp();
  d->CacheBuilt(0);
  ASSERT_TRUE(d->IndexesCurrent());

  // The skin is replaced: the indexes point into a skin that is gone.
  const uint32_t before = Manager->SkinGeneration();
  Manager->RemoveSkin();
  EXPECT_NE(Manager->SkinGeneration(), before);
  EXPECT_FALSE(d->IndexesCurrent());
  EXPECT_FALSE(d->CacheFits(0));
  d->UpdateIndexes();
  EXPECT_TRUE(d->IndexesCurrent());
  EXPECT_EQ(d->SkinIndex, -1);
}

TEST_F(CommonDataTest, TheCacheGoesToTheScreenAroundTheChildrenThatPaintThemselves) {
  TRecordingPanel* p = Panel(Form, L"PAINTED", 0, 0, 100, 80);
  TsCommonData* d = p->SkinData();
  d->InitCacheBmp();
  FillBitmapRect(d->FCacheBmp.get(), tk::TRect{0, 0, 100, 80}, 0x0000FF);
  auto* button = tk::Create<TsSpeedButton>(Form);
  button->SetParent(p);
  button->SetBounds(10, 10, 20, 20);

  tk::TBitmap screen(120, 100, tk::TPixelFormat::pf24bit);
  FillBitmapRect(&screen, tk::TRect{0, 0, 120, 100}, 0xFFFFFF);
  // The left half of the cache, shown at (5, 5).
  CopyCacheToDevice(*d, tk::TRect{0, 0, 50, 80}, screen.Canvas()->Handle(), tk::TPoint{5, 5});
  ::GdiFlush();
  auto red = [&](int x, int y) {
    const uint8_t* px = screen.ScanLine(y) + x * 3;
    return px[2] == 0xFF && px[1] == 0 && px[0] == 0;
  };
  EXPECT_TRUE(red(5, 5));
  EXPECT_TRUE(red(54, 84));
  EXPECT_FALSE(red(55, 5)) << "clipped to the target";
  EXPECT_FALSE(red(4, 5));
  EXPECT_FALSE(red(20, 20)) << "the button paints itself there";
  EXPECT_TRUE(red(14, 20));
}

TEST_F(CommonDataTest, RefreshedCornersShowWhatIsBehindTheControlNow) {
  // A 6 x 6 green border mask, 2 wide, whose outermost corner pixels are see-through.
  TsMaskData mask;
  mask.Bmp = std::make_unique<tk::TBitmap>(6, 6, tk::TPixelFormat::pf24bit);
  FillBitmapRect(mask.Bmp.get(), tk::TRect{0, 0, 6, 6}, 0x00FF00);
  for (tk::TPoint k : {tk::TPoint{0, 0}, tk::TPoint{5, 0}, tk::TPoint{0, 5}, tk::TPoint{5, 5}})
    FillBitmapRect(mask.Bmp.get(), tk::TRect{k.X, k.Y, k.X + 1, k.Y + 1}, kxKeyColor);
  mask.R = tk::TRect{0, 0, 6, 6};
  mask.ImageCount = 1;
  mask.WL = mask.WT = mask.WR = mask.WB = 2;
  mask.Manager = &Manager->Content();
  Manager->ma().push_back(std::move(mask));
  TsGeneralData framed = Sec(L"FRAMED", 0, 60);
  framed.BorderIndex = 0;
  Manager->gd().push_back(framed);

  TRecordingPanel* base = Panel(Form, L"PAINTED", 0, 0, 200, 150);
  base->SkinData()->InitCacheBmp();
  FillBitmapRect(base->SkinData()->FCacheBmp.get(), tk::TRect{0, 0, 200, 150}, 0xFF0000);
  FillBitmapRect(base->SkinData()->FCacheBmp.get(), tk::TRect{50, 30, 51, 31}, 0x00FFFF);
  TRecordingPanel* p = Panel(base, L"FRAMED", 50, 30, 40, 30);
  TsCommonData* d = p->SkinData();
  ASSERT_EQ(d->BorderIndex, 0);
  d->InitCacheBmp();
  FillBitmapRect(d->FCacheBmp.get(), tk::TRect{0, 0, 40, 30}, 0x0000FF);

  UpdateCorners(*d, 0, 1 | 8);
  auto at = [&](int x, int y) {
    const uint8_t* px = d->FCacheBmp->ScanLine(y) + x * 3;
    return tk::TColor(px[0] << 16 | px[1] << 8 | px[2]);
  };
  EXPECT_EQ(at(0, 0), 0x00FFFF) << "the parent's pixel behind the control";
  EXPECT_EQ(at(1, 1), 0x00FF00);
  EXPECT_EQ(at(39, 29), 0xFF0000);
  EXPECT_EQ(at(39, 0), 0x0000FF) << "the top-right corner was not asked for";
  EXPECT_EQ(at(20, 15), 0x0000FF) << "the rest of the cache stays";
  EXPECT_EQ(at(20, 0), 0x0000FF);
}

TEST_F(CommonDataTest, TheBoundLabelSitsLeftOfTheMemoOnItsParent) {
  auto* memo = tk::Create<TsMemo>(Form);
  memo->SetName(L"Notes");
  memo->SetParent(Form);
  memo->SetBounds(100, 50, 120, 20);
  TsBoundLabel* b = memo->BoundLabel();
  b->SetActive(true);
  tk::TCustomLabel* l = b->TheLabel();
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Parent(), Form);
  EXPECT_EQ(l->Name(), L"NotesLabel");
  EXPECT_EQ(l->Caption(), L"Notes");
  EXPECT_EQ(l->FocusControl(), memo);
  ASSERT_GT(l->Width(), 0);
  EXPECT_EQ(l->Left(), 100 - l->Width() - 4);
  EXPECT_EQ(l->Top(), 50 + (20 - l->Height()) / 2 - 1);

  b->SetLayout(sclTopRight);
  b->SetIndent(2);
  EXPECT_EQ(l->Left(), 220 - l->Width());
  EXPECT_EQ(l->Top(), 50 - l->Height() - 2);

  b->SetLayout(sclLeft);
  b->SetMaxWidth(40);
  EXPECT_EQ(l->Width(), 40);
  EXPECT_EQ(l->Left(), 100 - 40 - 2 - 4);
  EXPECT_GE(l->Height(), 20);

  b->SetActive(false);
  EXPECT_EQ(b->TheLabel(), nullptr);
  b->SetActive(true);
  // A label freed on its own lets go of the settings object.
  b->TheLabel()->Free();
  EXPECT_EQ(b->TheLabel(), nullptr);
  b->SetUseSkinColor(false);
  b->SetActive(true);
  EXPECT_FALSE(b->TheLabel()->UseSkinColor());
  // Freed with the memo's components.
}

}  // namespace
}  // namespace kx
