#include <gtest/gtest.h>

#include "TempDir.h"
#include "toolkit/IniFiles.h"

using namespace tk;

TEST(ProfileFile, WrittenValuesReadBackAndMissingOnesGiveTheDefault) {
  tktest::TempDir d;
  String path = d.File("Tabulo.ini");
  {
    TIniFile ini(path);
    ini.WriteInteger(L"Main", L"Left", -8);
    ini.WriteInteger(L"Main", L"Width", 758);
    ini.WriteString(L"Main", L"Top", L"0x20");
    ini.WriteString(L"Main", L"Height", L"tall");
  }
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger(L"Main", L"Left", 0), -8);
  EXPECT_EQ(ini.ReadInteger(L"main", L"WIDTH", 0), 758);
  EXPECT_EQ(ini.ReadInteger(L"Main", L"Top", 0), 32);
  EXPECT_EQ(ini.ReadInteger(L"Main", L"Height", 0), 0);
  EXPECT_EQ(ini.ReadInteger(L"Main", L"Maximized", 0), 0);
  EXPECT_EQ(ini.ReadInteger(L"Other", L"Left", 5), 5);
  EXPECT_TRUE(ini.SectionExists(L"Main"));
  EXPECT_FALSE(ini.SectionExists(L"Other"));
  auto text = tktest::ReadBytes(d.Path("Tabulo.ini"));
  EXPECT_NE(text.find("[Main]"), std::string::npos);
  EXPECT_NE(text.find("Left=-8"), std::string::npos);
}

TEST(ProfileFile, AMissingFileReadsAsDefaults) {
  tktest::TempDir d;
  TIniFile ini(d.File("none.ini"));
  EXPECT_EQ(ini.ReadInteger(L"Main", L"Left", 0), 0);
  EXPECT_EQ(ini.ReadString(L"Main", L"Left", L"dflt"), L"dflt");
}

TEST(ProfileFile, LongValuesAreNotCutOff) {
  tktest::TempDir d;
  TIniFile ini(d.File("long.ini"));
  String v(5000, L'x');
  ini.WriteString(L"S", L"K", v);
  EXPECT_EQ(ini.ReadString(L"S", L"K", L""), v);
}

TEST(ProfileFile, AFailedWriteNamesTheFullPath) {
  tktest::TempDir d;
  String path = d.File("no dir") + L"\\Tabulo.ini";
  TIniFile ini(path);
  try {
    ini.WriteInteger(L"Main", L"Left", 1);
    FAIL() << "no error";
  } catch (const EIniFileException& e) { EXPECT_EQ(e.Message(), L"Unable to write to " + path); }
}
