#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "skin/data/kxSkinError.h"
#include "skin/data/kxSkinPack.h"
#include "tests/skindata/TestBytes.h"
#include "toolkit/SysUtils.h"

using namespace kxtest;
using kx::TkxPackInput;
using kx::TkxSkinConvertor;

namespace {

struct Entry {
  std::string name;
  std::string data;
};

Bytes Pack(const std::vector<Entry>& entries) {
  std::vector<TkxPackInput> in;
  for (const Entry& e : entries) in.push_back({e.name, reinterpret_cast<const uint8_t*>(e.data.data()), e.data.size()});
  return kx::WritePackedSkin(in);
}

std::string Text(tk::TMemoryStream* s) {
  return std::string(reinterpret_cast<const char*>(s->Memory()), size_t(s->Size()));
}

// Unpacks bytes; returns the error text, empty on success.
std::string UnpackError(const Bytes& b, TkxSkinConvertor* keep = nullptr) {
  TkxSkinConvertor local;
  TkxSkinConvertor& c = keep ? *keep : local;
  tk::TMemoryStream data(b.data(), b.size());
  c.LendPackedData(&data);
  try {
    c.Unpack();
  } catch (const tk::Exception& e) {
    c.ReturnPackedData();
    return e.what();
  }
  c.ReturnPackedData();
  return "";
}

// Offset of the first entry's size field in a packed file.
size_t SizeFieldOfFirst(const Bytes& b) {
  uint32_t n = uint32_t(b[8]) | uint32_t(b[9]) << 8;
  return 12 + n;
}

void Poke32(Bytes& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(uint32_t(v) >> (8 * i));
}

const std::vector<Entry> kSkin = {{"Options.dat", "[GLOBALINFO]\r\nVERSION=6.5\r\n"},
                                  {"Master.bmp", std::string(300, 'm')},
                                  {"Exbor.png", "png bytes"},
                                  {"Glyph.Bmp", "g"},
                                  {"Glyph.bmp.png", "gp"}};

}  // namespace

TEST(SkinPack, UnpackSplitsTheOptionsEntryFromTheImagesInFileOrder) {
  TkxSkinConvertor c;
  ASSERT_EQ(UnpackError(Pack(kSkin), &c), "");
  ASSERT_TRUE(c.Options);
  EXPECT_EQ(Text(c.Options.get()), kSkin[0].data);
  ASSERT_EQ(c.ImageCount, 4);
  ASSERT_EQ(c.Files.size(), 4u);
  EXPECT_EQ(c.Files[0].FileName, L"Master.bmp");
  EXPECT_EQ(Text(c.Files[0].FileStream.get()), kSkin[1].data);
  EXPECT_EQ(c.Files[1].FileName, L"Exbor.png");
  EXPECT_TRUE(c.Files[0].IsBitmap);
  EXPECT_FALSE(c.Files[1].IsBitmap);
  EXPECT_TRUE(c.Files[2].IsBitmap) << "Glyph.Bmp";
  EXPECT_FALSE(c.Files[3].IsBitmap) << "Glyph.bmp.png";
}

TEST(SkinPack, OptionsEntryIsFoundInAnyCaseAndAtAnyPosition) {
  TkxSkinConvertor c;
  ASSERT_EQ(UnpackError(Pack({{"a.bmp", "x"}, {"options.DAT", "opts"}}), &c), "");
  ASSERT_TRUE(c.Options);
  EXPECT_EQ(Text(c.Options.get()), "opts");
  EXPECT_EQ(c.ImageCount, 1);
}

TEST(SkinPack, SkinWithoutImagesHasImageCountZero) {
  TkxSkinConvertor c;
  ASSERT_EQ(UnpackError(Pack({{"Options.dat", ""}}), &c), "");
  EXPECT_EQ(c.ImageCount, 0);
  EXPECT_TRUE(c.Files.empty());
  ASSERT_TRUE(c.Options);
  EXPECT_EQ(c.Options->Size(), 0);
}

TEST(SkinPack, ImageCountCountsTheImagesWhateverTheNumberOfOptionsEntries) {
  TkxSkinConvertor c;
  ASSERT_EQ(UnpackError(Pack({{"Options.dat", "first"}, {"a.bmp", "1"}, {"OPTIONS.DAT", "last"}, {"b.bmp", "2"}}), &c),
            "");
  EXPECT_EQ(Text(c.Options.get()), "last");
  EXPECT_EQ(c.ImageCount, 2);
  EXPECT_NE(c.FindImage(L"B.BMP"), nullptr) << "the last image must still be found";
  ASSERT_EQ(UnpackError(Pack({{"a.bmp", "1"}, {"b.bmp", "2"}}), &c), "");
  EXPECT_FALSE(c.Options);
  EXPECT_EQ(c.ImageCount, 2);
  EXPECT_NE(c.FindImage(L"B.BMP"), nullptr);
}

TEST(SkinPack, ImageLookUpComparesTheUpperCasedEntryNameExactly) {
  TkxSkinConvertor c;
  ASSERT_EQ(UnpackError(Pack(kSkin), &c), "");
  tk::TMemoryStream* s = c.FindImage(L"MASTER.BMP");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(c.FindImage(L"master.bmp"), nullptr);
  EXPECT_EQ(c.FindImage(L"Master.bmp"), nullptr);
  EXPECT_EQ(c.FindImage(L"MASTER"), nullptr);
  s->SetPosition(100);
  EXPECT_EQ(c.FindImage(L"MASTER.BMP")->Position(), 0) << "the entry is rewound before it is read";
}

TEST(SkinPack, WrongMagicClearsTheConvertor) {
  Bytes b = Pack(kSkin);
  TkxSkinConvertor c;
  ASSERT_EQ(UnpackError(b, &c), "");
  b[2] = 'Z';  // "KXZf": differs only in the case of one letter
  EXPECT_EQ(UnpackError(b, &c), "Loaded data is not packed Kestrix file");
  EXPECT_TRUE(c.Files.empty());
  EXPECT_FALSE(c.Options);
  EXPECT_EQ(UnpackError(Bytes{'K', 'X'}), "Loaded data is not packed Kestrix file");
}

TEST(SkinPack, LoadPackedSkinFileReadsAFileAndDropsItsBytes) {
  auto dir = std::filesystem::temp_directory_path() / "kx_pack_test";
  std::filesystem::create_directories(dir);
  auto file = dir / "My.kxz";
  Bytes b = Pack(kSkin);
  tk::TMemoryStream(b.data(), b.size()).SaveToFile(tk::FromUtf8(file.string()));
  auto c = kx::LoadPackedSkinFile(tk::FromUtf8(file.string()));
  ASSERT_TRUE(c);
  EXPECT_EQ(c->ImageCount, 4);
  EXPECT_EQ(c->PackedData, nullptr);
  TkxSkinConvertor keep;
  ASSERT_TRUE(kx::LoadPackedSkinFile(tk::FromUtf8(file.string()), keep, false));
  ASSERT_NE(keep.PackedData, nullptr);
  EXPECT_EQ(keep.PackedData->Size(), int64_t(b.size()));
  EXPECT_EQ(kx::LoadPackedSkinFile(tk::FromUtf8((dir / "none.kxz").string())), nullptr);
  std::filesystem::remove_all(dir);
}

TEST(SkinPack, LentDataIsGivenBackUntouched) {
  Bytes b = Pack(kSkin);
  tk::TMemoryStream data(b.data(), b.size());
  {
    TkxSkinConvertor c;
    c.LendPackedData(&data);
    c.Unpack();
    EXPECT_EQ(c.ReturnPackedData(), &data);
  }
  EXPECT_EQ(data.Size(), int64_t(b.size()));
}

// --- Damaged packed files -----------------------------------------------------

TEST(SkinPackDamaged, EveryTruncationFailsWithAReadErrorAndClears) {
  Bytes full = Pack(kSkin);
  for (size_t n = 4; n < full.size(); ++n) {
    Bytes cut(full.begin(), full.begin() + n);
    TkxSkinConvertor c;
    EXPECT_NE(UnpackError(cut, &c), "") << n;
    EXPECT_TRUE(c.Files.empty()) << n;
  }
}

TEST(SkinPackDamaged, NegativeOrAbsurdCountsAndSizes) {
  Bytes base = Pack({{"Options.dat", "abc"}});
  Bytes b = base;
  Poke32(b, 4, -1);
  EXPECT_NE(UnpackError(b).find("negative entry count"), std::string::npos);
  b = base;
  Poke32(b, 4, 0x7FFFFFFF);  // more entries than the file holds
  EXPECT_NE(UnpackError(b), "");
  b = base;
  Poke32(b, 8, -5);
  EXPECT_NE(UnpackError(b).find("name length"), std::string::npos);
  b = base;
  Poke32(b, 8, 0x7FFFFFF0);
  EXPECT_NE(UnpackError(b).find("name length"), std::string::npos);
  b = base;
  Poke32(b, SizeFieldOfFirst(b), -3);
  EXPECT_NE(UnpackError(b).find("negative size"), std::string::npos);
  b = base;
  Poke32(b, SizeFieldOfFirst(b), 0x7FFFFFFF);
  EXPECT_NE(UnpackError(b).find("more than an entry may hold"), std::string::npos);
}

TEST(SkinPackDamaged, ADamagedNameIsShownWithItsControlCharactersEscaped) {
  Bytes b = Pack({{std::string("a\0b\x1b[2J\x7f", 8), "abc"}});
  Poke32(b, SizeFieldOfFirst(b), -3);
  EXPECT_EQ(UnpackError(b), "Packed skin file is damaged: entry \"a\\x00b\\x1B[2J\\x7F\" has a negative size");
  EXPECT_EQ(kx::EscapeSkinText(L"tab\there\u2028\u202E caf\u00E9 c:\\x"), L"tab\\x09here\\u2028\\u202E caf\u00E9 c:\\x")
      << "letters and backslashes stay";
}

TEST(SkinPackDamaged, DeclaredSizeAboveWhatTheStreamHoldsIsAStreamReadError) {
  Bytes b = Pack({{"Options.dat", "abc"}, {"a.bmp", "x"}});
  Poke32(b, SizeFieldOfFirst(b), 4);
  EXPECT_EQ(UnpackError(b), "Stream read error");
}

TEST(SkinPackDamaged, StreamHoldingMoreThanDeclaredIsRefused) {
  Bytes b = Pack({{"Options.dat", std::string(1000, 'a')}, {"a.bmp", "x"}});
  Poke32(b, SizeFieldOfFirst(b), 10);
  EXPECT_NE(UnpackError(b), "");
}

TEST(SkinPackDamaged, BrokenZlibDataGivesZlibsText) {
  Bytes b = Pack({{"Options.dat", "abcdef"}});
  b[SizeFieldOfFirst(b) + 4] ^= 0xFF;  // zlib header
  EXPECT_EQ(UnpackError(b), "data error");
}
