#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "skin/data/kxPngReader.h"
#include "tools/kxskin/kxSkinRender.h"
#include "tools/kxskin/kxSkinTool.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace {

struct TRun {
  int code;
  std::string out, err;
};

TRun Kx(const std::vector<std::string>& args) {
  std::vector<tk::String> a;
  for (const auto& s : args) a.push_back(tk::FromUtf8(s));
  std::ostringstream out, err;
  const int code = kxtool::RunKxSkin(a, out, err);
  return {code, out.str(), err.str()};
}

std::unique_ptr<tk::TBitmap> ReadPicture(const std::string& path) {
  tk::TMemoryStream f;
  f.LoadFromFile(tk::FromUtf8(path));
  return kx::ReadPng(f.Memory(), size_t(f.Size()));
}

const std::string kSkin = TABULO_PEARLMIST_KXZ;

TEST(KxSkinRender, WritesTheSectionsLookOverItsParentAsAPicture) {
  const std::string out = ::testing::TempDir() + "itempaint-render.png";
  const TRun r = Kx({"render", kSkin, "SPEEDBUTTON", "50x50", "1", out, "--parent-section", "PANEL"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto got = ReadPicture(out), want = ReadPicture(std::string(TABULO_GOLDEN_DIR) + "/speedbutton-state1.png");
  ASSERT_TRUE(got && want);
  ASSERT_EQ(got->Width(), 50);
  ASSERT_EQ(got->Height(), 50);
  for (int y = 0; y < 50; ++y)
    ASSERT_EQ(0, std::memcmp(got->ScanLine(y), want->ScanLine(y), 150)) << "the same look as the golden picture";

  const TRun over = Kx({"render", kSkin, "PANEL", "7x5", "0", out, "--parent", "$FF0000"});
  EXPECT_EQ(over.code, 0) << over.err;
}

TEST(KxSkinRender, RefusesWhatItCannotPaint) {
  const std::string out = ::testing::TempDir() + "itempaint-refused.png";
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"render", kSkin, "NOSUCH", "10x10", "0", out}, "no section NOSUCH"},
      {{"render", kSkin, "PANEL", "10by10", "0", out}, "is no size"},
      {{"render", kSkin, "PANEL", "0x10", "0", out}, "is no size"},
      {{"render", kSkin, "PANEL", "10x10", "-1", out}, "is no state"},
      {{"render", kSkin, "PANEL", "10x10", "0", out, "--parent", "blue"}, "is no colour"},
      {{"render", kSkin, "PANEL", "10x10", "0", out, "--parent-section", "NOSUCH"}, "no section NOSUCH"},
      {{"render", kSkin, "PANEL", "10x10", "0", out, "--under", "1"}, "unknown option"},
      {{"sheet", kSkin}, "sheet needs"},
  };
  for (const auto& c : cases) {
    const TRun r = Kx(c.args);
    EXPECT_NE(r.code, 0) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
}

TEST(KxSkinRender, SheetShowsEverySectionInThreeStates) {
  const std::string out = ::testing::TempDir() + "itempaint-sheet.png";
  const TRun r = Kx({"sheet", kSkin, out});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("drew 43 sections"), std::string::npos) << r.out;
  auto got = ReadPicture(out);
  ASSERT_TRUE(got);
  EXPECT_GT(got->Height(), 43 * 50) << "a row per section";
}

}  // namespace
