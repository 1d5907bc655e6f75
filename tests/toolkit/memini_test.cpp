#include <gtest/gtest.h>

#include "TempDir.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/Streams.h"

using namespace tk;

namespace {

std::vector<String> Sections(const TMemIniFile& ini) {
  TStringList l;
  ini.ReadSections(&l);
  std::vector<String> out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l[i]);
  return out;
}

std::vector<String> Keys(const TMemIniFile& ini, const String& section) {
  TStringList l;
  ini.ReadSection(section, &l);
  std::vector<String> out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l[i]);
  return out;
}

TMemIniFile FromText(const String& text) {
  TMemIniFile ini;
  ini.SetText(text);
  return ini;
}

}  // namespace

TEST(OptionsSyntax, EachLineRule) {
  struct {
    const wchar_t* text;
    const wchar_t* key;
    const wchar_t* expected;  // null: default
  } cases[] = {
      {L"[S]\r\nKEY=value", L"KEY", L"value"},
      {L"  [ S ]  \r\n  KEY  =  value with blanks  ", L"KEY", L"value with blanks"},  // trimmed
      {L"[S]\nA=1=2", L"A", L"1=2"},                                                  // first "=" splits
      {L"[S]\r\n;KEY=commented", L"KEY", nullptr},
      {L"[S]\r\n   ;KEY=indented comment", L"KEY", nullptr},
      {L"KEY=before any section\r\n[S]", L"KEY", nullptr},
      {L"[S]\r\nkey=lower", L"KEY", L"lower"},                // keys ignore case
      {L"[s]\r\nKEY=x", L"KEY", L"x"},                        // sections too
      {L"[S]\r\nKEY=first\r\nKEY=second", L"KEY", L"first"},  // first wins
      {L"[S]\r\nKEY=\r\n", L"KEY", L""},
      {L"[S]\r\nKEY", L"KEY", nullptr},  // no "=": no value
      {L"[S]\rKEY=cr only", L"KEY", L"cr only"},
      {L"[S]\r\n\r\n\t\r\nKEY=after blanks", L"KEY", L"after blanks"},
      {L"[S]\r\n[broken\r\nKEY=v", L"KEY", L"v"},  // "[broken" is a key line
  };
  for (auto& c : cases) {
    TMemIniFile ini;
    ini.SetText(c.text);
    String got = ini.ReadString(L"S", c.key, L"<default>");
    EXPECT_EQ(got, c.expected ? String(c.expected) : String(L"<default>")) << ToUtf8(c.text);
  }
}

TEST(OptionsSyntax, DuplicateSectionsAreListedButTheFirstIsRead) {
  auto ini = FromText(L"[Panel]\r\nA=1\r\n[EDIT]\r\n[PANEL]\r\nA=2\r\nB=3\r\n");
  EXPECT_EQ(Sections(ini), (std::vector<String>{L"Panel", L"EDIT", L"PANEL"}));
  EXPECT_EQ(ini.ReadString(L"panel", L"A", L""), L"1");
  EXPECT_FALSE(ini.ValueExists(L"PANEL", L"B"));
  // Erasing the first makes the later one the one found.
  ini.EraseSection(L"PANEL");
  EXPECT_EQ(ini.ReadString(L"PANEL", L"A", L""), L"2");
  EXPECT_EQ(Sections(ini), (std::vector<String>{L"EDIT", L"PANEL"}));
}

TEST(OptionsSyntax, KeysAreListedInFileOrderIncludingThoseWithoutValue) {
  auto ini = FromText(L"[M]\r\nZETA=1\r\nALPHA=2\r\nLONELY\r\nMID=3\r\nalpha=dup\r\n");
  EXPECT_EQ(Keys(ini, L"m"), (std::vector<String>{L"ZETA", L"ALPHA", L"LONELY", L"MID", L"alpha"}));
  EXPECT_TRUE(ini.ValueExists(L"M", L"LONELY"));
  TStringList values;
  ini.ReadSectionValues(L"M", &values);
  EXPECT_EQ(values.Text(), L"ZETA=1\r\nALPHA=2\r\nLONELY\r\nMID=3\r\nalpha=dup\r\n");
  EXPECT_TRUE(Keys(ini, L"NOPE").empty());
}

TEST(OptionsValues, IntegersBooleansAndFloats) {
  auto ini = FromText(
      L"[GLOBALINFO]\r\nCOLOR=15461355\r\nHEX=0x20\r\nSYS=0xFF00000F\r\nBAD=12px\r\nEMPTY=\r\n"
      L"B1=TRUE\r\nB2=true\r\nB3=1\r\nB4=yes\r\nVERSION=6.65\r\nV2=6,65\r\n");
  EXPECT_EQ(ini.ReadInteger(L"GLOBALINFO", L"COLOR", -1), 0xEBEBEB);
  EXPECT_EQ(ini.ReadInteger(L"GLOBALINFO", L"HEX", -1), 32);
  EXPECT_EQ(ini.ReadInteger(L"GLOBALINFO", L"SYS", -1), static_cast<int>(0xFF00000Fu));
  EXPECT_EQ(ini.ReadInteger(L"GLOBALINFO", L"BAD", -1), -1);
  EXPECT_EQ(ini.ReadInteger(L"GLOBALINFO", L"EMPTY", -1), -1);
  EXPECT_EQ(ini.ReadInteger(L"GLOBALINFO", L"MISSING", 4), 4);
  EXPECT_TRUE(ini.ReadBool(L"GLOBALINFO", L"B1", false));
  EXPECT_TRUE(ini.ReadBool(L"GLOBALINFO", L"B2", false));
  EXPECT_FALSE(ini.ReadBool(L"GLOBALINFO", L"B3", true));  // only the text TRUE is true
  EXPECT_FALSE(ini.ReadBool(L"GLOBALINFO", L"B4", true));
  EXPECT_FALSE(ini.ReadBool(L"GLOBALINFO", L"EMPTY", true));
  EXPECT_TRUE(ini.ReadBool(L"GLOBALINFO", L"MISSING", true));
  EXPECT_DOUBLE_EQ(ini.ReadFloat(L"GLOBALINFO", L"VERSION", 0), 6.65);
  EXPECT_DOUBLE_EQ(ini.ReadFloat(L"GLOBALINFO", L"V2", -1), -1);
}

TEST(OptionsValues, LargeSectionsFindTheFirstOfEachKey) {
  String text = L"[BIG]\r\n";
  for (int i = 0; i < 200; ++i) text += L"K" + IntToStr(i) + L"=" + IntToStr(i) + L"\r\n";
  text += L"k7=late duplicate\r\n";
  auto ini = FromText(text);
  for (int i = 0; i < 200; i += 13) EXPECT_EQ(ini.ReadInteger(L"big", L"k" + IntToStr(i), -1), i);
  EXPECT_EQ(ini.ReadString(L"BIG", L"K7", L""), L"7");
  ini.WriteString(L"BIG", L"NEW", L"n");
  ini.DeleteKey(L"BIG", L"K0");
  EXPECT_EQ(ini.ReadString(L"BIG", L"new", L""), L"n");
  EXPECT_EQ(ini.ReadString(L"BIG", L"K0", L"gone"), L"gone");
  EXPECT_EQ(ini.ReadString(L"BIG", L"K199", L""), L"199");
}

TEST(OptionsText, ByteOrderMarksAreHonouredWhenLoadedFromAStream) {
  std::string utf16("\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0\xE9\0", 18);
  TMemoryStream s(utf16.data(), utf16.size());
  TMemIniFile ini;
  ini.LoadFromStream(&s);
  EXPECT_EQ(ini.ReadString(L"S", L"K", L""), L"\u00e9");
  std::string utf8 = "\xEF\xBB\xBF[S]\nK=\xE2\x82\xAC";
  TMemoryStream s8(utf8.data(), utf8.size());
  ini.LoadFromStream(&s8);
  EXPECT_EQ(ini.ReadString(L"S", L"K", L""), L"\u20ac");
}

TEST(OptionsWriting, WritesComeBackAfterSavingAndLoading) {
  TMemIniFile ini;
  ini.WriteString(L"FORM", L"PARENTCLASS", L"PANEL");
  ini.WriteInteger(L"FORM", L"COLOR", -5);
  ini.WriteBool(L"FORM", L"SHOWFOCUS", true);
  ini.WriteBool(L"FORM", L"FADINGENABLED", false);
  ini.WriteString(L"form", L"parentclass", L"BUTTON");  // same key, other case
  ini.WriteString(L"EXTRA", L"NOTE", L"\u4e2d");
  TMemoryStream s;
  ini.SaveToStream(&s);
  s.SetPosition(0);
  TMemIniFile back;
  back.LoadFromStream(&s);
  EXPECT_EQ(back.ReadString(L"FORM", L"PARENTCLASS", L""), L"BUTTON");
  EXPECT_EQ(back.ReadInteger(L"FORM", L"COLOR", 0), -5);
  EXPECT_TRUE(back.ReadBool(L"FORM", L"SHOWFOCUS", false));
  EXPECT_EQ(back.ReadString(L"FORM", L"FADINGENABLED", L""), L"FALSE");
  EXPECT_EQ(back.ReadString(L"EXTRA", L"NOTE", L""), L"\u4e2d");  // not turned into "?"
  EXPECT_EQ(Keys(back, L"FORM").size(), 4u);
}

TEST(OptionsWriting, GetStringsAndSetStringsRoundTrip) {
  auto ini = FromText(L"[A]\r\nX=1\r\nY\r\n[B]\r\nZ=2\r\n");
  TStringList lines;
  ini.GetStrings(&lines);
  TMemIniFile back;
  back.SetStrings(lines);
  EXPECT_EQ(Sections(back), (std::vector<String>{L"A", L"B"}));
  EXPECT_EQ(Keys(back, L"A"), (std::vector<String>{L"X", L"Y"}));
  EXPECT_EQ(back.ReadString(L"B", L"Z", L""), L"2");
}

TEST(OptionsFile, AMissingFileIsEmptyAndUpdateFileCreatesIt) {
  tktest::TempDir d;
  TMemIniFile ini(d.File("Options.dat"));
  EXPECT_EQ(ini.SectionCount(), 0);
  ini.WriteInteger(L"GLOBALINFO", L"BORDERWIDTH", 4);
  ini.UpdateFile();
  TMemIniFile back(d.File("Options.dat"));
  EXPECT_EQ(back.ReadInteger(L"GLOBALINFO", L"BORDERWIDTH", 0), 4);
  EXPECT_TRUE(back.SectionExists(L"globalinfo"));
}
