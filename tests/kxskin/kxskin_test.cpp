#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "skin/data/kxImageWrite.h"
#include "skin/data/kxSkinPack.h"
#include "tools/kxskin/kxSkinTool.h"
#include "toolkit/SysUtils.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

struct ToolRun {
  int code;
  std::string out, err;
};

ToolRun Kx(std::vector<std::string> args) {
  std::vector<tk::String> a;
  for (const auto& s : args) a.push_back(tk::FromUtf8(s));
  std::ostringstream out, err;
  int code = kxtool::RunKxSkin(a, out, err);
  return {code, out.str(), err.str()};
}

Bytes ReadAll(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

void WriteAll(const fs::path& p, const Bytes& b) {
  std::ofstream f(p, std::ios::binary);
  f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

void WriteText(const fs::path& p, const std::string& s) { WriteAll(p, Bytes(s.begin(), s.end())); }

Bytes Master() {
  tk::TBitmap b(40, 20, tk::TPixelFormat::pf24bit);
  for (int y = 0; y < 20; ++y) std::fill_n(b.ScanLine(y), 120, uint8_t(y * 10));
  return kx::WriteBmp(b);
}

class KxSkinTool : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("kxskin_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    fs::create_directories(root / "src");
  }
  void TearDown() override { fs::remove_all(root); }
  std::string P(const fs::path& p) { return p.string(); }

  // A small but complete skin folder.
  void GoodFolder(const fs::path& dir) {
    fs::create_directories(dir);
    WriteText(dir / "Options.dat",
              "[GLOBALINFO]\nVERSION=6.65\nAUTHOR=Tester\nMASTERBITMAP=MASTER.BMP\n"
              "[PANEL]\nBORDERSMASK=^0000^0000^0030^0009^0000^0000^0000^0000^1^0^0^0\n"
              "[SPEEDBUTTON]\nPARENTCLASS=PANEL\nGLOW0=!GLOW.PNG!1!0!3\n");
    WriteAll(dir / "Master.bmp", Master());
    tk::TBitmap g(6, 6, tk::TPixelFormat::pf32bit);
    WriteAll(dir / "Glow.png", kx::WritePng(g));
    WriteAll(dir / "Zebra.bmp", Master());
  }
  fs::path root;
};

}  // namespace

TEST_F(KxSkinTool, HelpAndUsageErrors) {
  ToolRun h = Kx({"--help"});
  EXPECT_EQ(h.code, 0);
  EXPECT_NE(h.out.find("unpack SKIN.kxz DIR"), std::string::npos);
  ToolRun none = Kx({});
  EXPECT_NE(none.code, 0);
  EXPECT_EQ(std::count(none.err.begin(), none.err.end(), '\n'), 1);
  ToolRun bad = Kx({"frobnicate"});
  EXPECT_NE(bad.code, 0);
  EXPECT_EQ(bad.err, "kxskin: unknown command \"frobnicate\" (kxskin --help lists them)\n");
  EXPECT_NE(Kx({"pack", "only-one"}).code, 0);
}

TEST_F(KxSkinTool, PackPutsOptionsFirstThenPicturesInNameOrder) {
  GoodFolder(root / "src");
  ASSERT_EQ(Kx({"pack", P(root / "src"), P(root / "a.kxz")}).code, 0);
  tk::TMemoryStream data;
  data.LoadFromFile(tk::FromUtf8(P(root / "a.kxz")));
  auto entries = kx::ReadPackedEntries(&data);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].Name, L"Options.dat");
  EXPECT_EQ(entries[1].Name, L"Glow.png");
  EXPECT_EQ(entries[2].Name, L"Master.bmp");
  EXPECT_EQ(entries[3].Name, L"Zebra.bmp");
  EXPECT_EQ(entries[2].Data->Bytes(), Master());
}

TEST_F(KxSkinTool, UnpackThenPackRoundTripsByteForByte) {
  GoodFolder(root / "src");
  // The entry order of the file is kept, even with the options entry last.
  WriteText(root / "src" / "kxskin.order", "Zebra.bmp\r\nMaster.bmp\nGlow.png\nOptions.dat\n");
  ASSERT_EQ(Kx({"pack", P(root / "src"), P(root / "a.kxz")}).code, 0);
  ToolRun u = Kx({"unpack", P(root / "a.kxz"), P(root / "out")});
  ASSERT_EQ(u.code, 0) << u.err;
  EXPECT_EQ(ReadAll(root / "out" / "Master.bmp"), Master());
  ASSERT_EQ(Kx({"pack", P(root / "out"), P(root / "b.kxz")}).code, 0);
  EXPECT_EQ(ReadAll(root / "a.kxz"), ReadAll(root / "b.kxz"));

  // A file made elsewhere, options in the middle.
  std::string o = "[GLOBALINFO]\n";
  Bytes m = Master();
  Bytes other = kx::WritePackedSkin({{"b.bmp", m.data(), m.size()},
                                     {"options.DAT", reinterpret_cast<const uint8_t*>(o.data()), o.size()},
                                     {"A.bmp", m.data(), 10}});
  WriteAll(root / "c.kxz", other);
  ASSERT_EQ(Kx({"unpack", P(root / "c.kxz"), P(root / "c")}).code, 0);
  ASSERT_EQ(Kx({"pack", P(root / "c"), P(root / "d.kxz")}).code, 0);
  EXPECT_EQ(ReadAll(root / "d.kxz"), other);
}

TEST_F(KxSkinTool, UnpackRefusesEntriesThatWouldLeaveTheFolderOrCollide) {
  std::string o = "[X]\n";
  auto packed = [&](const std::string& name, const std::string& second) {
    std::vector<kx::TkxPackInput> in = {{"Options.dat", reinterpret_cast<const uint8_t*>(o.data()), o.size()},
                                        {name, reinterpret_cast<const uint8_t*>(o.data()), o.size()}};
    if (!second.empty()) in.push_back({second, reinterpret_cast<const uint8_t*>(o.data()), o.size()});
    WriteAll(root / "x.kxz", kx::WritePackedSkin(in));
    return Kx({"unpack", P(root / "x.kxz"), P(root / "x")});
  };
  for (const char* name : {"../evil.bmp", "..\\evil.bmp", "c:evil.bmp", "..", "", "NUL.bmp", "kxskin.order"}) {
    ToolRun r = packed(name, "");
    EXPECT_EQ(r.code, 1) << name;
    EXPECT_NE(r.err.find("entry"), std::string::npos) << r.err;
  }
  ToolRun dup = packed("a.bmp", "A.BMP");
  EXPECT_EQ(dup.code, 1);
  EXPECT_NE(dup.err.find("stored twice"), std::string::npos);
  EXPECT_FALSE(fs::exists(root / "evil.bmp"));
  EXPECT_FALSE(fs::exists(root / "x")) << "nothing is written before every name is checked";
}

TEST_F(KxSkinTool, PackNeedsAnOptionsFileAndAConsistentOrder) {
  fs::create_directories(root / "empty");
  WriteAll(root / "empty" / "a.bmp", Master());
  ToolRun r = Kx({"pack", P(root / "empty"), P(root / "e.kxz")});
  EXPECT_EQ(r.err, "kxskin: the folder has no Options.dat\n");
  GoodFolder(root / "src");
  WriteText(root / "src" / "kxskin.order", "Options.dat\nGone.bmp\n");
  r = Kx({"pack", P(root / "src"), P(root / "e.kxz")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Gone.bmp"), std::string::npos);
}

TEST_F(KxSkinTool, CheckSummarisesAGoodSkin) {
  GoodFolder(root / "src");
  ASSERT_EQ(Kx({"pack", P(root / "src"), P(root / "a.kxz")}).code, 0);
  for (const fs::path& skin : {root / "a.kxz", root / "src"}) {
    ToolRun r = Kx({"check", "--strict", P(skin)});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Version: 6.65\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Author: Tester\n"), std::string::npos);
    EXPECT_NE(r.out.find("Sections: 3\n"), std::string::npos);
    EXPECT_NE(r.out.find("Masks: 2\n"), std::string::npos);
    EXPECT_NE(r.out.find("Patterns: 0\n"), std::string::npos);
    EXPECT_NE(r.out.find("  SPEEDBUTTON <- PANEL\n"), std::string::npos);
    EXPECT_NE(r.out.find("Problems: 0\n"), std::string::npos);
  }
}

TEST_F(KxSkinTool, CheckListsEveryKindOfProblem) {
  fs::path dir = root / "src";
  WriteText(dir / "Options.dat",
            "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nVERSION=7.1\n"
            "[panel]\nbordersmask=^0030^0000^0050^0009^0000^0000^0000^0000^1^0^0^0\n"
            "[EDIT]\nPARENTCLASS=NOTHERE\nGLOW0=!MISSING.PNG!1!0!3\nICON=icon.png\nGLYPHMASK=frame\n"
            "COLOR=frame\nPATTERN=~0000~0000~0004~0004~10\n"
            "[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=A\n");
  WriteAll(dir / "Master.bmp", Master());
  ToolRun r = Kx({"check", P(dir)});
  EXPECT_EQ(r.code, 0);
  auto has = [&](const char* s) { return r.out.find(s) != std::string::npos; };
  EXPECT_TRUE(has("[panel]: section name is not in upper case")) << r.out;
  EXPECT_TRUE(has("[panel] bordersmask: key name is not in upper case"));
  EXPECT_TRUE(has("[PANEL] BORDERSMASK: rectangle (30, 0, 50, 9) lies outside the master bitmap (40 x 20)") ||
              has("[panel] bordersmask: rectangle (30, 0, 50, 9) lies outside the master bitmap (40 x 20)"));
  EXPECT_TRUE(has("[EDIT] PARENTCLASS: inherits from \"NOTHERE\", which is no section"));
  EXPECT_TRUE(has("[EDIT] GLOW0: picture \"MISSING.PNG\" is missing"));
  EXPECT_TRUE(has("[EDIT] ICON: \"icon.png\" names a picture in no notation"));
  EXPECT_TRUE(has("[A] PARENTCLASS: the PARENTCLASS chain runs in a circle"));
  EXPECT_TRUE(has("[EDIT] GLYPHMASK: \"frame\" matches no picture notation"));
  EXPECT_TRUE(has("[GLOBALINFO] VERSION: the skin is newer than the engine (6.99)"));
  EXPECT_FALSE(has("[EDIT] COLOR")) << "only keys read as pictures are held to a notation";
  EXPECT_FALSE(has("[EDIT] PATTERN"));
  EXPECT_FALSE(has("[EDIT] GLOW0: \"")) << "a missing picture is reported once";
  ToolRun strict = Kx({"check", "--strict", P(dir)});
  EXPECT_EQ(strict.code, 3);
  EXPECT_NE(strict.err.find(" problems found in "), std::string::npos) << strict.err;
  EXPECT_EQ(std::count(strict.err.begin(), strict.err.end(), '\n'), 1);
}

TEST_F(KxSkinTool, CheckFailsWithTheLoadsError) {
  WriteText(root / "bad.kxz", "KXZF and then some");
  ToolRun r = Kx({"check", P(root / "bad.kxz")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "kxskin: Loaded data is not packed Kestrix file\n");
  WriteText(root / "src" / "Options.dat", "[GLOBALINFO]\nSHADOW1BLUR=soft\n");
  r = Kx({"check", P(root / "src")});
  EXPECT_EQ(r.err, "kxskin: ''soft'' is not a valid integer value\n");
  EXPECT_EQ(Kx({"check", P(root / "nothing")}).code, 1);
}

TEST_F(KxSkinTool, CheckShowsTheSkinsControlCharactersEscaped) {
  WriteText(root / "src" / "Options.dat",
            "[GLOBALINFO]\nAUTHOR=me\x1b]0;owned\x07 too\n[PANEL\x1b[31m]\nPARENTCLASS=NO\x1bNE\n");
  ToolRun r = Kx({"check", P(root / "src")});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Author: me\\x1B]0;owned\\x07 too\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  PANEL\\x1B[31m <- NO\\x1BNE\n"), std::string::npos) << r.out;
}
