#include <gtest/gtest.h>

#include "toolkit/SysUtils.h"
#include "toolkit/WorkArea.h"

using namespace tk;

namespace {

struct IntCase {
  const wchar_t* text;
  int expected;
};

}  // namespace

TEST(ForgivingIntegerReader, FollowsTheDecimalAndZeroXRule) {
  const IntCase cases[] = {
      {L"0x20", 32},
      {L"0X1f", 31},
      {L"0x1F", 31},
      {L"12", 12},
      {L"-12", -12},
      {L"+7", 7},
      {L"0", 0},
      {L"007", 7},
      {L"0xFF00000F", static_cast<int>(0xFF00000Fu)},
      {L"0xFFFFFFFF", -1},
      {L"2147483647", 2147483647},
      {L"-2147483648", -2147483647 - 1},
  };
  for (auto& c : cases) EXPECT_EQ(ReadIntegerValue(c.text, -99), c.expected) << "value \"" << ToUtf8(c.text) << "\"";
}

TEST(ForgivingIntegerReader, AnythingElseGivesTheDefault) {
  // "0x" alone is two characters: not hexadecimal, and not a decimal either.
  const wchar_t* bad[] = {L"0x", L"0X",  L"-0x1", L"$10",         L"0x1G",       L"0x-1",        L"",    L"abc",  L" 5",
                          L"5 ", L"1.5", L"-",    L"0x1FFFFFFFF", L"2147483648", L"-2147483649", L"x20", L"12abc"};
  for (auto* s : bad) EXPECT_EQ(ReadIntegerValue(s, -99), -99) << "value \"" << ToUtf8(s) << "\"";
}

TEST(StrictIntegerConversion, AcceptsDecimalAndHexPrefixes) {
  EXPECT_EQ(StrToInt(L"42"), 42);
  EXPECT_EQ(StrToInt(L"-42"), -42);
  EXPECT_EQ(StrToInt(L"$1F"), 31);
  EXPECT_EQ(StrToInt(L"0x10"), 16);
  EXPECT_EQ(StrToInt(L"-$10"), -16);
  EXPECT_EQ(StrToIntDef(L"zz", 5), 5);
  int v = 3;
  EXPECT_FALSE(TryStrToInt(L"99999999999", v));
  EXPECT_EQ(v, 3);
}

TEST(StrictIntegerConversion, RaisesTheConversionErrorWithTheValue) {
  try {
    StrToInt(L"12a");
    FAIL() << "no error";
  } catch (const EConvertError& e) { EXPECT_EQ(e.Message(), L"''12a'' is not a valid integer value"); }
  EXPECT_THROW(StrToInt(L""), EConvertError);
  EXPECT_THROW(StrToInt(L" 1"), EConvertError);
  EXPECT_THROW(StrToInt(L"$"), EConvertError);
}

TEST(FloatWithDot, ReadsAndWritesADotWhateverTheLocale) {
  EXPECT_DOUBLE_EQ(StrToFloatDot(L"6.65"), 6.65);
  EXPECT_DOUBLE_EQ(StrToFloatDot(L" -1.5e2 "), -150.0);
  EXPECT_DOUBLE_EQ(StrToFloatDot(L"3"), 3.0);
  double d = 7;
  EXPECT_FALSE(TryStrToFloatDot(L"1,5", d));
  EXPECT_FALSE(TryStrToFloatDot(L"nan", d));
  EXPECT_FALSE(TryStrToFloatDot(L"", d));
  EXPECT_EQ(d, 7);
  EXPECT_THROW(StrToFloatDot(L"x"), EConvertError);
  EXPECT_EQ(FloatToStrDot(6.65), L"6.65");
  EXPECT_EQ(FloatToStrDot(1.0), L"1");
  EXPECT_EQ(FloatToStrDot(-0.25), L"-0.25");
  EXPECT_EQ(FloatToStrDot(0.1 + 0.2), L"0.3");  // fifteen digits hide the binary noise
  for (double x : {0.001, 123456.789, 1e-7, 5.5e20}) EXPECT_DOUBLE_EQ(StrToFloatDot(FloatToStrDot(x)), x);
}

TEST(Formatting, ReplacesPlaceholdersInOrder) {
  EXPECT_EQ(Fmt(L"Cannot create file \"%s\". %s", {L"C:\\a.txt", L"Access is denied."}),
            L"Cannot create file \"C:\\a.txt\". Access is denied.");
  EXPECT_EQ(Fmt(L"100%% of %s", {L"x"}), L"100% of x");
  EXPECT_EQ(Fmt(L"%s and %s", {L"one"}), L"one and ");
  EXPECT_EQ(Fmt(L"%d stays", {L"x"}), L"%d stays");
  EXPECT_EQ(IntToStr(-9223372036854775807LL - 1), L"-9223372036854775808");
}

TEST(Text, TrimAndAsciiCaseTouchOnlyWhatTheyShould) {
  EXPECT_EQ(Trim(L" \t a b \r\n"), L"a b");
  EXPECT_EQ(Trim(L"   "), L"");
  EXPECT_EQ(UpperCaseAscii(L"master.bmp \u00e9"), L"MASTER.BMP \u00e9");
  EXPECT_EQ(LowerCaseAscii(L"/KXVER \u00c9"), L"/kxver \u00c9");
  EXPECT_TRUE(SameTextAscii(L"Options.DAT", L"options.dat"));
  EXPECT_FALSE(SameTextAscii(L"\u00e9", L"\u00c9"));
  EXPECT_FALSE(SameTextAscii(L"ab", L"abc"));
}

TEST(Utf8, RoundTripsEveryPlane) {
  String s = L"A\u00e9\u20ac\U0001F600z";
  std::string u = ToUtf8(s);
  EXPECT_EQ(u, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(FromUtf8(u), s);
}

TEST(Utf8, DamagedBytesBecomeReplacementCharactersAndTheRestSurvives) {
  EXPECT_EQ(FromUtf8("a\xFF"
                     "b"),
            L"a\uFFFDb");
  EXPECT_EQ(FromUtf8("a\xC3"), L"a\uFFFD");  // cut short
  EXPECT_EQ(FromUtf8("\xC0\xAF"
                     "x"),
            L"\uFFFD\uFFFDx");                                 // overlong
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");  // surrogate
}

TEST(AnsiCodePage, ReportsCharactersItCannotHold) {
  bool lossless = false;
  EXPECT_EQ(WideToAnsi(L"plain text", &lossless), "plain text");
  EXPECT_TRUE(lossless);
  WideToAnsi(L"\u4e2d\u6587", &lossless);
  EXPECT_FALSE(lossless);
  if (AnsiCodePage() == 1252) {
    EXPECT_EQ(WideToAnsi(L"\u20ac\u00e9", &lossless), "\x80\xE9");
    EXPECT_TRUE(lossless);
    EXPECT_EQ(AnsiToWide("\x80\xE9\x9F"), L"\u20ac\u00e9\u0178");
    // A best-fit "a" would be as much a loss as "?".
    WideToAnsi(L"\u0101", &lossless);
    EXPECT_FALSE(lossless);
    for (int b = 1; b < 256; ++b) {
      std::string one(1, static_cast<char>(b));
      EXPECT_EQ(WideToAnsi(AnsiToWide(one), &lossless), one) << "byte " << b;
      EXPECT_TRUE(lossless) << "byte " << b;
    }
  }
}

TEST(FileNames, SplitAtTheLastDelimiter) {
  EXPECT_EQ(ExtractFilePath(L"C:\\Tools\\Tabulo.exe"), L"C:\\Tools\\");
  EXPECT_EQ(ExtractFileName(L"C:\\Tools\\Tabulo.exe"), L"Tabulo.exe");
  EXPECT_EQ(ExtractFilePath(L"C:x.txt"), L"C:");
  EXPECT_EQ(ExtractFilePath(L"plain"), L"");
  EXPECT_EQ(ExtractFileExt(L"C:\\a.b\\Glyph.bmp.png"), L".png");
  EXPECT_EQ(ExtractFileExt(L"C:\\a.b\\noext"), L"");
  EXPECT_EQ(ChangeFileExt(L"C:\\Tools\\Tabulo.exe", L".ini"), L"C:\\Tools\\Tabulo.ini");
  EXPECT_EQ(ChangeFileExt(L"C:\\v1.2\\Tabulo", L".ini"), L"C:\\v1.2\\Tabulo.ini");
  EXPECT_EQ(IncludeTrailingPathDelimiter(L"C:\\Skins\\"), L"C:\\Skins\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(L"dir"), String(L"dir") + PathDelim);
}

TEST(SystemErrorText, HasNoTrailingLineBreak) {
  String m = SysErrorMessage(2);  // file not found on both systems
  ASSERT_FALSE(m.empty());
  EXPECT_NE(m.back(), L'\n');
  EXPECT_NE(m.back(), L'\r');
}

TEST(ExceptionMessage, IsAlsoAvailableAsUtf8) {
  EConvertError e(L"\u00e9 bad");
  EXPECT_STREQ(e.what(), "\xC3\xA9 bad");
  e.SetMessage(L"other");
  EXPECT_STREQ(e.what(), "other");
}

TEST(WorkAreaCoordinates, ARectangleMovesByTheRoomTheTaskBarTakesAtTheTopOrLeftOfItsMonitor) {
  struct Case {
    const char* where;
    TRect monitor, work, screen, placement;
  };
  const Case cases[] = {
      {"no task bar", {0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {40, 30, 840, 630}, {40, 30, 840, 630}},
      {"task bar below or right", {0, 0, 1920, 1080}, {0, 0, 1860, 1040}, {40, 30, 840, 630}, {40, 30, 840, 630}},
      {"task bar at the top", {0, 0, 1920, 1080}, {0, 40, 1920, 1080}, {40, 70, 840, 670}, {40, 30, 840, 630}},
      {"task bar at the left", {0, 0, 1920, 1080}, {60, 0, 1920, 1080}, {100, 30, 900, 630}, {40, 30, 840, 630}},
      {"second monitor, bar at its top",
       {1920, 0, 3200, 1024},
       {1920, 30, 3200, 1024},
       {2000, 130, 2800, 730},
       {2000, 100, 2800, 700}},
      {"monitor left of the primary, bar at its left",
       {-1280, 0, 0, 1024},
       {-1220, 0, 0, 1024},
       {-1000, 50, -200, 650},
       {-1060, 50, -260, 650}},
      {"window above the work area", {0, 0, 1920, 1080}, {0, 40, 1920, 1080}, {10, 20, 810, 620}, {10, -20, 810, 580}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScreenToWorkArea(c.screen, c.monitor, c.work), c.placement) << c.where;
    EXPECT_EQ(WorkAreaToScreen(c.placement, c.monitor, c.work), c.screen) << c.where;
  }
}
