// What Tabulo.exe carries inside: the internal skin, the shadow pictures,
// the system-menu captions and the icon.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/e2e/Harness_win.h"

namespace {

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Module = LoadLibraryExW(e2e::TabuloExePath().c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(Module, nullptr);
  }
  void TearDown() override {
    if (Module) FreeLibrary(Module);
  }
  std::string Data(const wchar_t* name) const {
    HRSRC r = FindResourceW(Module, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!r) return {};
    HGLOBAL g = LoadResource(Module, r);
    return std::string(static_cast<const char*>(LockResource(g)), SizeofResource(Module, r));
  }
  std::wstring Text(UINT id) const {
    wchar_t buf[128] = {};
    int n = LoadStringW(Module, id, buf, 128);
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
  }
  HMODULE Module = nullptr;
};

// PNG width and height from the header chunk.
void PngSize(const std::string& png, int& w, int& h) {
  auto be = [&](size_t at) {
    return (static_cast<uint8_t>(png[at]) << 24) | (static_cast<uint8_t>(png[at + 1]) << 16) |
           (static_cast<uint8_t>(png[at + 2]) << 8) | static_cast<uint8_t>(png[at + 3]);
  };
  w = png.size() > 24 ? be(16) : 0;
  h = png.size() > 24 ? be(20) : 0;
}

}  // namespace

TEST_F(ResourcesTest, TheInternalSkinAndTheShadowPicturesAreLinkedIn) {
  const std::string skin = Data(L"SKIN_PEARLMIST");
  ASSERT_GT(skin.size(), 1000u);
  EXPECT_EQ(skin.substr(0, 4), "KXzf");
  int w = 0, h = 0;
  const std::string active = Data(L"kxSHDA"), inactive = Data(L"kxSHDI");
  ASSERT_GT(active.size(), 8u);
  EXPECT_EQ(active.substr(1, 3), "PNG");
  PngSize(active, w, h);
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 32);
  PngSize(inactive, w, h);
  EXPECT_EQ(w, 31);
  EXPECT_EQ(h, 31);
}

TEST_F(ResourcesTest, SystemMenuCaptionsAndTheIcon) {
  EXPECT_EQ(Text(58963), L"(internal)");
  EXPECT_EQ(Text(58964), L"Available skins");
  EXPECT_EQ(Text(58976), L"Close");
  EXPECT_EQ(Text(58977), L"Maximize");
  EXPECT_EQ(Text(58978), L"Minimize");
  EXPECT_EQ(Text(58979), L"Size");
  EXPECT_EQ(Text(58980), L"Move");
  EXPECT_EQ(Text(58981), L"Restore");
  EXPECT_NE(FindResourceW(Module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
}
