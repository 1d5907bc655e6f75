// Page files: byte-order marks and line ends on load, the code page on save.
#include <gtest/gtest.h>

#include "tests/e2e/Harness_win.h"

using namespace e2e;

struct MarkedFile {
  const char* name;
  Bytes bytes;
};

// Text every Western ANSI code page holds; the tests check that assumption.
namespace {

const std::wstring kWestern = L"Gr\u00FC\u00DFe, caf\u00E9\r\nzweite Zeile";

}  // namespace

class MarkedPage : public ::testing::TestWithParam<MarkedFile> {};

TEST_P(MarkedPage, LoadsDecodedAndIsSavedBackInAnsiWithoutTheMark) {
  bool lossless = false;
  Bytes ansi = Ansi(kWestern, &lossless);
  if (!lossless) GTEST_SKIP() << "the ANSI code page of this system lacks the sample's letters";
  TabuloApp app;
  app.WriteFile(L"D.txt", GetParam().bytes);
  app.Start();
  app.ClickPage(L'D');
  EXPECT_TRUE(WaitFor([&] { return app.EditorText() == kWestern; }))
      << "editor shows \"" << Utf8(app.EditorText()) << "\"";
  app.ClickPage(L'E');
  EXPECT_TRUE(WaitFor([&] { return app.ReadFile(L"D.txt") == ansi; }))
      << "saved as \"" << app.ReadFile(L"D.txt") << "\"";
  ASSERT_TRUE(app.CloseAndWait());
}

INSTANTIATE_TEST_SUITE_P(ByteOrderMarks, MarkedPage,
                         ::testing::Values(MarkedFile{"Utf8", "\xEF\xBB\xBF" + Utf8(kWestern)},
                                           MarkedFile{"Utf16LittleEndian", "\xFF\xFE" + Utf16Le(kWestern)},
                                           MarkedFile{"Utf16BigEndian", "\xFE\xFF" + Utf16Be(kWestern)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PageFile, Utf8WithoutAMarkIsReadAsAnsi) {
  bool lossless = false;
  std::wstring asAnsi(L"caf\u00C3\u00A9");  // what "café" in UTF-8 looks like in Windows-1252
  Ansi(asAnsi, &lossless);
  if (!lossless || GetACP() != 1252) GTEST_SKIP() << "needs the Windows-1252 code page";
  TabuloApp app;
  app.WriteFile(L"A.txt", Utf8(L"caf\u00E9"));
  app.Start();
  EXPECT_TRUE(WaitFor([&] { return app.EditorText() == asAnsi; })) << Utf8(app.EditorText());
  ASSERT_TRUE(app.CloseAndWait());
}

TEST(PageFile, LineFeedsOnlyShowOneLinePerLineAndAreSavedBackWithCrLf) {
  TabuloApp app;
  app.WriteFile(L"A.txt", "one\ntwo\nthree\n");
  app.Start();
  ASSERT_TRUE(WaitFor([&] { return app.EditorText() == L"one\r\ntwo\r\nthree\r\n"; })) << Utf8(app.EditorText());
  DWORD_PTR lines = 0;
  SendMessageTimeoutW(app.Editor(), EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &lines);
  EXPECT_EQ(lines, 4u);  // three lines and the empty one after the last break
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "one\r\ntwo\r\nthree\r\n");
}

TEST(PageFile, LoneCarriageReturnsAndMixedBreaksBecomeCrLf) {
  TabuloApp app;
  app.WriteFile(L"A.txt", "a\rb\r\nc\n\rd\r\re");
  app.Start();
  ASSERT_TRUE(WaitFor([&] { return app.EditorText() == L"a\r\nb\r\nc\r\n\r\nd\r\n\r\ne"; })) << Utf8(app.EditorText());
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "a\r\nb\r\nc\r\n\r\nd\r\n\r\ne");
}

TEST(PageFile, AnEmptyFileAndAFileOfOnlyAMarkLoadAsEmptyPages) {
  TabuloApp app;
  app.WriteFile(L"A.txt", "not shown for long");
  app.WriteFile(L"B.txt", "");
  app.WriteFile(L"C.txt", "\xFF\xFE");
  app.Start();
  ASSERT_TRUE(WaitFor([&] { return app.EditorText() == L"not shown for long"; }));
  app.ClickPage(L'B');
  EXPECT_TRUE(WaitFor([&] { return app.EditorText().empty(); }));
  app.ClickPage(L'C');
  EXPECT_TRUE(WaitFor([&] { return app.EditorText().empty(); }));
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"C.txt"), "");
}

TEST(PageFile, TextTheCodePageCannotHoldIsSavedAsUtf8WithAMark) {
  const std::wstring text = L"\u65E5\u672C \u0416 ok";  // CJK and Cyrillic
  bool lossless = true;
  Bytes ansi = Ansi(text, &lossless);
  TabuloApp app;
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(text, text);
  app.ClickPage(L'B');
  Bytes want = lossless ? ansi : "\xEF\xBB\xBF" + Utf8(text);
  EXPECT_TRUE(WaitFor([&] { return app.ReadFile(L"A.txt") == want; }))
      << "saved as \"" << app.ReadFile(L"A.txt") << "\"";
  // It reads back as the same text.
  app.ClickPage(L'A');
  EXPECT_TRUE(WaitFor([&] { return app.EditorText() == text; })) << Utf8(app.EditorText());
  ASSERT_TRUE(app.CloseAndWait());
}

TEST(PageFile, TextTheCodePageHoldsIsStillSavedInAnsiWithoutAMark) {
  const std::wstring text = L"plain \u00E9t\u00E9 text";
  bool lossless = false;
  Bytes ansi = Ansi(text, &lossless);
  if (!lossless) GTEST_SKIP() << "the ANSI code page of this system lacks the sample's letters";
  TabuloApp app;
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(text, text);
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), ansi);
}

TEST(PageFile, AUtf16PageWithoutAMarkShowsEveryCharacterAndIsOnlyWrittenBackWhenEdited) {
  // Read as ANSI: every second byte is a NUL, which the editor shows replaced.
  const std::wstring text = L"Notes on A";
  std::wstring shown;
  for (wchar_t c : text) shown += std::wstring{c, L'\uFFFD'};
  TabuloApp app;
  app.WriteFile(L"A.txt", Utf16Le(text));
  app.Start();
  EXPECT_TRUE(WaitFor([&] { return app.EditorText() == shown; })) << Utf8(app.EditorText());
  app.ClickPage(L'B');
  app.ClickPage(L'A');
  EXPECT_TRUE(WaitFor([&] { return app.EditorText() == shown; })) << Utf8(app.EditorText());
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), Utf16Le(text));

  // An edit saves what the editor shows.
  app.Start();
  app.ClickEditor();
  app.TypeAndWait(L"!", shown + L"!");
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ReadFile(L"A.txt"), "\xEF\xBB\xBF" + Utf8(shown + L"!"));
}
