#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TempDir.h"
#include "toolkit/Encoding.h"
#include "toolkit/SysUtils.h"

using namespace tk;
using tktest::Bytes;
using tktest::ReadBytes;
using tktest::TempDir;
using tktest::WriteBytes;

TEST(ByteOrderMarks, EachMarkSelectsItsDecodingAndIsSkipped) {
  TTextEncoding e;
  EXPECT_EQ(DecodeText(Bytes(std::string("\xFF\xFE"
                                         "A\0\xE9\0",
                                         6)),
                       &e),
            L"A\u00e9");
  EXPECT_EQ(e, TTextEncoding::teUtf16LE);
  EXPECT_EQ(DecodeText(Bytes(std::string("\xFE\xFF\0A\x20\xAC", 6)), &e), L"A\u20ac");
  EXPECT_EQ(e, TTextEncoding::teUtf16BE);
  EXPECT_EQ(DecodeText(Bytes("\xEF\xBB\xBF"
                             "A\xC3\xA9"),
                       &e),
            L"A\u00e9");
  EXPECT_EQ(e, TTextEncoding::teUtf8);
  EXPECT_EQ(DecodeText(Bytes("plain"), &e), L"plain");
  EXPECT_EQ(e, TTextEncoding::teAnsi);
  EXPECT_EQ(DecodeText(Bytes(""), &e), L"");
  EXPECT_EQ(e, TTextEncoding::teAnsi);
}

TEST(ByteOrderMarks, Utf8WithoutAMarkIsReadAsAnsi) {
  TTextEncoding e;
  String s = DecodeText(Bytes("A\xC3\xA9"), &e);
  EXPECT_EQ(e, TTextEncoding::teAnsi);
  EXPECT_EQ(s.size(), 3u);
  if (AnsiCodePage() == 1252) { EXPECT_EQ(s, L"A\u00c3\u00a9"); }
}

TEST(ByteOrderMarks, PartialMarksAndOddLengthsAreHandledSafely) {
  TTextEncoding e;
  EXPECT_EQ(DecodeText(Bytes("\xEF\xBB"), &e).size(), 2u);  // not a mark: two ANSI characters
  EXPECT_EQ(e, TTextEncoding::teAnsi);
  EXPECT_EQ(DecodeText(Bytes(std::string("\xFF\xFE"
                                         "A\0B",
                                         5))),
            L"A");  // last odd byte dropped
  EXPECT_EQ(DecodeText(Bytes("\xFF\xFE")), L"");
  // FF FE is checked first, so FF FE FF is little-endian, not big-endian.
  EXPECT_EQ(DetectEncoding(reinterpret_cast<const uint8_t*>("\xFF\xFE\xFF"), 3), TTextEncoding::teUtf16LE);
}

TEST(ByteOrderMarks, Utf16SurrogatePairsSurviveDecoding) {
  String s = DecodeText(Bytes(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6)));
  EXPECT_EQ(ToUtf8(s), "\xF0\x9F\x98\x80");
}

TEST(LineBreaks, EveryLoneBreakBecomesCrLf) {
  struct {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"a\rb", L"a\r\nb"},
      {L"a\nb", L"a\r\nb"},
      {L"a\r\nb", L"a\r\nb"},
      {L"a\n\rb", L"a\r\n\r\nb"},
      {L"a\r\r\nb", L"a\r\n\r\nb"},
      {L"a\n", L"a\r\n"},
      {L"a\r", L"a\r\n"},
      {L"\n", L"\r\n"},
      {L"", L""},
      {L"x\r\n\ny\rz\r\n", L"x\r\n\r\ny\r\nz\r\n"},
  };
  for (auto& c : cases) EXPECT_EQ(NormalizeLineBreaks(c.in), c.out) << ToUtf8(c.in);
}

TEST(PageTextEncoding, AnsiWithoutMarkWhenEveryCharacterFits) {
  bool utf8 = true;
  EXPECT_EQ(EncodePageText(L"Hello\r\nWorld", &utf8), Bytes("Hello\r\nWorld"));
  EXPECT_FALSE(utf8);
  EXPECT_TRUE(EncodePageText(L"").empty());
}

TEST(PageTextEncoding, Utf8WithMarkWhenAnsiWouldLoseCharacters) {
  bool utf8 = false;
  String text = L"Note \u4e2d\u6587 \u00e9\r\n";
  auto bytes = EncodePageText(text, &utf8);
  EXPECT_TRUE(utf8);
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_EQ(bytes[0], 0xEF);
  EXPECT_EQ(bytes[1], 0xBB);
  EXPECT_EQ(bytes[2], 0xBF);
  EXPECT_EQ(DecodeText(bytes), text);  // the loader brings back every character
}

TEST(PageTextEncoding, RoundTripsThroughDecodeText) {
  for (String text : {String(L"abc"), String(L"\u20ac uro"), String(L"\U0001F600"), String(L"a\u00e9\r\nb")}) {
    EXPECT_EQ(DecodeText(EncodePageText(text)), text) << ToUtf8(text);
  }
}

TEST(ReplacingSave, CreatesANewFile) {
  TempDir d;
  SaveFileReplacing(d.File("A.txt"), Bytes("new"));
  EXPECT_EQ(ReadBytes(d.Path("A.txt")), "new");
  EXPECT_EQ(d.Names(), std::vector<std::string>{"A.txt"});  // no temporary file left
}

TEST(ReplacingSave, ReplacesAnExistingFileWhole) {
  TempDir d;
  WriteBytes(d.Path("A.txt"), "a much longer old text");
  SaveFileReplacing(d.File("A.txt"), Bytes("short"));
  EXPECT_EQ(ReadBytes(d.Path("A.txt")), "short");
  SaveFileReplacing(d.File("A.txt"), {});
  EXPECT_EQ(ReadBytes(d.Path("A.txt")), "");
  EXPECT_EQ(d.Names(), std::vector<std::string>{"A.txt"});
}

TEST(ReplacingSave, ReadOnlyTargetIsRefusedAndKeepsItsText) {
  TempDir d;
  auto p = d.Path("K.txt");
  WriteBytes(p, "old text");
  namespace fs = std::filesystem;
  fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  try {
    SaveFileReplacing(p.wstring(), Bytes("new text"));
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    String prefix = L"Cannot create file \"" + p.wstring() + L"\". ";
    EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    EXPECT_GT(e.Message().size(), prefix.size()) << "the system's reason is missing";
  }
  EXPECT_EQ(ReadBytes(p), "old text");
  EXPECT_EQ(d.Names(), std::vector<std::string>{"K.txt"});
}

TEST(ReplacingSave, MissingDirectoryFailsWithTheTargetPath) {
  TempDir d;
  String target = d.File("no such dir") + PathDelim + L"A.txt";
  try {
    SaveFileReplacing(target, Bytes("x"));
    FAIL() << "no error";
  } catch (const EFCreateError& e) { EXPECT_NE(e.Message().find(L"\"" + target + L"\""), String::npos); }
  EXPECT_TRUE(d.Names().empty());
}

TEST(ReplacingSave, ADirectoryInTheWayStaysAndNothingIsLeftBehind) {
  TempDir d;
  std::filesystem::create_directory(d.Path("A.txt"));
  std::filesystem::path inner = d.Path("A.txt") / "keep";
  WriteBytes(inner, "kept");
  EXPECT_THROW(SaveFileReplacing(d.File("A.txt"), Bytes("x")), EFCreateError);
  EXPECT_EQ(ReadBytes(inner), "kept");
  EXPECT_EQ(d.Names(), std::vector<std::string>{"A.txt"});
}

TEST(TextFileLoading, ReadsTheWholeFileAndDecodesIt) {
  TempDir d;
  WriteBytes(d.Path("u.txt"),
             "\xEF\xBB\xBF"
             "caf\xC3\xA9\nline");
  TTextEncoding e;
  EXPECT_EQ(LoadTextFile(d.File("u.txt"), &e), L"caf\u00e9\nline");
  EXPECT_EQ(e, TTextEncoding::teUtf8);
}

TEST(TextFileLoading, AMissingFileRaisesTheOpenError) {
  TempDir d;
  String p = d.File("none.txt");
  try {
    LoadTextFile(p);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    String prefix = L"Cannot open file \"" + p + L"\". ";
    EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
    EXPECT_GT(e.Message().size(), prefix.size());
  }
}
