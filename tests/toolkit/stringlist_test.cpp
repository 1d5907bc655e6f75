#include <gtest/gtest.h>

#include "TempDir.h"
#include "toolkit/Streams.h"
#include "toolkit/StringList.h"

using namespace tk;

namespace {

std::vector<String> Items(const TStrings& l) {
  std::vector<String> out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l[i]);
  return out;
}

}  // namespace

TEST(StringListText, SplitsAtEveryKindOfLineBreakAndTerminatesEachLine) {
  TStringList l;
  l.SetText(L"a\r\nb\rc\nd");
  EXPECT_EQ(Items(l), (std::vector<String>{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(l.Text(), L"a\r\nb\r\nc\r\nd\r\n");
  l.SetText(L"x\r\n\r\n");
  EXPECT_EQ(Items(l), (std::vector<String>{L"x", L""}));
  l.SetText(l.Text());
  EXPECT_EQ(Items(l), (std::vector<String>{L"x", L""}));  // an empty last line survives
  l.SetText(L"");
  EXPECT_EQ(l.Count(), 0);
}

TEST(StringListSearch, IndexOfIgnoresCaseUnlessAskedNotTo) {
  TStringList l;
  l.Add(L"TButton");
  l.Add(L"TPanel");
  EXPECT_EQ(l.IndexOf(L"tpanel"), 1);
  l.SetCaseSensitive(true);
  EXPECT_EQ(l.IndexOf(L"tpanel"), -1);
  EXPECT_EQ(l.IndexOf(L"TPanel"), 1);
  EXPECT_EQ(l.IndexOf(L"TEdit"), -1);
}

TEST(StringListSort, SortedListsPlaceAddsAndHandleDuplicates) {
  TStringList l;
  l.SetSorted(true);
  for (auto* s : {L"Pearlmist", L"aqua", L"Zinc", L"Aqua", L"beta"}) l.Add(s);
  // Ignored duplicate: "Aqua" equals "aqua" without regard to case.
  EXPECT_EQ(Items(l), (std::vector<String>{L"aqua", L"beta", L"Pearlmist", L"Zinc"}));
  EXPECT_EQ(l.IndexOf(L"ZINC"), 3);
  EXPECT_THROW(l.Insert(0, L"x"), EStringListError);
  l.SetDuplicates(dupError);
  EXPECT_THROW(l.Add(L"BETA"), EStringListError);
  l.SetDuplicates(dupAccept);
  l.Add(L"BETA");
  EXPECT_EQ(Items(l), (std::vector<String>{L"aqua", L"beta", L"BETA", L"Pearlmist", L"Zinc"}));
}

TEST(StringListSort, SortIsStableAndCustomSortUsesTheComparison) {
  TStringList l;
  for (auto* s : {L"b", L"B", L"a", L"A"}) l.Add(s);
  l.Sort();
  EXPECT_EQ(Items(l), (std::vector<String>{L"a", L"A", L"b", L"B"}));
  l.CustomSort([](const TStringList& list, int i, int j) { return list[j].compare(list[i]); });
  EXPECT_EQ(Items(l), (std::vector<String>{L"b", L"a", L"B", L"A"}));
}

TEST(StringListValues, NameValueLines) {
  TStringList l;
  l.Add(L"Left=10");
  l.Add(L"no separator");
  l.Add(L"Top=a=b");
  EXPECT_EQ(l.Values(L"left"), L"10");
  EXPECT_EQ(l.Values(L"Top"), L"a=b");
  EXPECT_EQ(l.Names(1), L"");
  EXPECT_EQ(l.IndexOfName(L"no separator"), -1);
  l.SetValues(L"Width", L"5");
  EXPECT_EQ(l[3], L"Width=5");
  l.SetValues(L"LEFT", L"11");
  EXPECT_EQ(l[0], L"LEFT=11");
  l.SetValues(L"Left", L"");
  EXPECT_EQ(l.IndexOfName(L"Left"), -1);
}

TEST(StringListErrors, BadIndexesRaiseInsteadOfCrashing) {
  TStringList l;
  l.Add(L"one");
  EXPECT_THROW(l.Get(1), EStringListError);
  EXPECT_THROW(l.Get(-1), EStringListError);
  EXPECT_THROW(l.Delete(5), EStringListError);
  EXPECT_THROW(l.Insert(3, L"x"), EStringListError);
  l.Insert(1, L"two");
  EXPECT_EQ(l.Count(), 2);
}

TEST(StringListLoading, HonoursEachByteOrderMark) {
  struct {
    std::string bytes;
    std::vector<String> lines;
  } cases[] = {
      {std::string("\xFF\xFE"
                   "a\0\r\0\n\0\xE9\0",
                   10),
       {L"a", L"\u00e9"}},
      {std::string("\xFE\xFF\0a\0\n\0b", 8), {L"a", L"b"}},
      {"\xEF\xBB\xBF"
       "x\r\n\xE2\x82\xAC",
       {L"x", L"\u20ac"}},
      {"plain\r\ntext", {L"plain", L"text"}},
  };
  for (auto& c : cases) {
    TMemoryStream s(c.bytes.data(), c.bytes.size());
    TStringList l;
    l.LoadFromStream(&s);
    EXPECT_EQ(Items(l), c.lines);
  }
}

TEST(StringListSaving, AnsiByDefaultAndTheUtfFormsComeBack) {
  tktest::TempDir d;
  TStringList l;
  l.Add(L"one");
  l.Add(L"\u4e2d \U0001F600");
  for (auto e : {TTextEncoding::teUtf8, TTextEncoding::teUtf16LE, TTextEncoding::teUtf16BE}) {
    l.SaveToFile(d.File("l.txt"), e);
    TStringList back;
    back.LoadFromFile(d.File("l.txt"));
    EXPECT_TRUE(back.Equals(l)) << static_cast<int>(e);
  }
  TStringList plain;
  plain.Add(L"ab");
  plain.Add(L"c");
  plain.SaveToFile(d.File("p.txt"));
  EXPECT_EQ(tktest::ReadBytes(d.Path("p.txt")), "ab\r\nc\r\n");
}

TEST(StringListNotifications, OnChangeComesOnceAfterABatch) {
  TStringList l;
  int changes = 0;
  l.OnChange = [&](TObject*) { ++changes; };
  l.Add(L"x");
  EXPECT_EQ(changes, 1);
  l.SetText(L"a\nb\nc");
  EXPECT_EQ(changes, 2);
  TStringList other;
  other.Assign(&l);
  EXPECT_TRUE(other.Equals(l));
}
