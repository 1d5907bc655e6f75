// The internal skin's looks against committed pictures: a change of the
// painting or of the skin shows up here with both pictures saved. Run with
// TABULO_UPDATE_GOLDEN=1 to write new pictures after an intended change.
#include <gtest/gtest.h>

#include <cstdlib>

#include "skin/data/kxImageWrite.h"
#include "skin/data/kxPngReader.h"
#include "skin/data/sSkinLoad.h"
#include "skin/paint/sSkinItemPaint.h"
#include "tests/paint/PaintTest.h"
#include "toolkit/Streams.h"
#include "tools/kxskin/kxSkinRender.h"

namespace {

using painttest::LooksAlike;
using tk::TBitmap;

// Gradients go through floating point; a step of 2 is rounding, not a look.
constexpr int kTolerance = 2;

const kx::TkxSkinContent& Pearlmist() {
  static const std::unique_ptr<kx::TkxSkinContent> skin = [] {
    tk::TMemoryStream data;
    data.LoadFromFile(tk::FromUtf8(TABULO_PEARLMIST_KXZ));
    return kx::TkxSkinLoad().FromPacked(&data);
  }();
  return *skin;
}

std::string GoldenPath(const std::string& name) { return std::string(TABULO_GOLDEN_DIR) + "/" + name + ".png"; }

void ExpectGolden(TBitmap& got, const std::string& name) {
  if (std::getenv("TABULO_UPDATE_GOLDEN")) {
    const std::vector<uint8_t> png = kx::WritePng(got);
    tk::TMemoryStream(png.data(), png.size()).SaveToFile(tk::FromUtf8(GoldenPath(name)));
    GTEST_SKIP() << "wrote " << GoldenPath(name);
  }
  tk::TMemoryStream file;
  file.LoadFromFile(tk::FromUtf8(GoldenPath(name)));
  auto want = kx::ReadPng(file.Memory(), size_t(file.Size()));
  ASSERT_TRUE(want);
  EXPECT_TRUE(LooksAlike(got, *want, kTolerance, "itempaint-" + name));
}

TEST(PearlmistGolden, TheSheetOfEverySectionLooksAsCommitted) {
  auto sheet = kxtool::RenderSheet(Pearlmist());
  ExpectGolden(*sheet, "pearlmist-sheet");
}

TEST(PearlmistGolden, PageButtonStatesOverThePanelLookAsCommitted) {
  const kxtool::TRenderParent panel{kxtool::TRenderParent::rpSection, 0, L"PANEL"};
  for (int state = 0; state < 3; ++state) {
    auto button = kxtool::RenderSection(Pearlmist(), L"SPEEDBUTTON", 50, 50, state, panel);
    ASSERT_TRUE(button);
    ExpectGolden(*button, "speedbutton-state" + std::to_string(state));
  }
}

}  // namespace
