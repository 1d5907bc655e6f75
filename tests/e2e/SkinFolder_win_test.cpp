// A skin folder in the skin directory under the internal skin's name wins
// over the internal skin; a damaged one must neither stop Tabulo nor leave it
// without its look.
#include <gtest/gtest.h>

#include <windows.h>

#include <zlib.h>

#include <string>

#include "tests/e2e/Harness_win.h"

namespace {

using namespace e2e;

const std::wstring kSkinDir = L"c:\\Skins";
const std::wstring kFolder = kSkinDir + L"\\Pearlmist (internal)";

void Put32(std::string& s, uint32_t v) {
  for (int i = 3; i >= 0; --i) s += static_cast<char>(v >> (8 * i));
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  Put32(png, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  png += body;
  Put32(png, crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
}

// A valid 2 x 2 RGBA picture.
std::string SmallPng() {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  Put32(ihdr, 2);
  Put32(ihdr, 2);
  ihdr += std::string("\x08\x06\x00\x00\x00", 5);
  Chunk(png, "IHDR", ihdr);
  std::string raw;
  for (int row = 0; row < 2; ++row) raw += '\0' + std::string(2 * 4, '\x40');  // filter 0, then the pixels
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string z(size, '\0');
  compress(reinterpret_cast<Bytef*>(z.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  z.resize(size);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");
  return png;
}

void WriteAll(const std::wstring& path, const std::string& data) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
  CloseHandle(f);
}

// The folder exists only while the test runs: every other test expects the
// internal skin.
struct SkinFolder {
  SkinFolder() {
    Remove();
    CreateDirectoryW(kSkinDir.c_str(), nullptr);
    CreateDirectoryW(kFolder.c_str(), nullptr);
  }
  ~SkinFolder() { Remove(); }
  static void Remove() {
    for (const wchar_t* f : {L"\\Options.dat", L"\\A.PNG"}) DeleteFileW((kFolder + f).c_str());
    RemoveDirectoryW(kFolder.c_str());
    RemoveDirectoryW(kSkinDir.c_str());  // only when empty
  }
};

TEST(SkinFolder, ADamagedFolderOfTheInternalSkinsNameIsReportedAndTheInternalSkinShown) {
  SkinFolder folder;
  WriteAll(kFolder + L"\\Options.dat", "[GLOBALINFO]\r\nVERSION=6.50\r\n[PANEL]\r\nBORDERSMASK=!A.PNG!1!-1!0\r\n");
  WriteAll(kFolder + L"\\A.PNG", SmallPng());

  TabuloApp app;
  app.Launch();
  ModalBox box = app.WaitModalBox(20000);
  ASSERT_NE(box.Wnd, nullptr) << "Tabulo said nothing about the folder";
  EXPECT_NE(box.Text.find(L"[PANEL] BORDERSMASK: the picture value \"!A.PNG!1!-1!0\" has a layer count of -1"),
            std::wstring::npos)
      << Utf8(box.Text);
  EXPECT_NE(box.Text.find(L"The internal skin \"Pearlmist (internal)\" is used instead."), std::wstring::npos)
      << Utf8(box.Text);
  PostMessageW(box.Wnd, WM_COMMAND, IDOK, 0);
  app.WaitForWindow();
  ASSERT_NE(app.Form(), nullptr);
  EXPECT_TRUE(app.Running());
  EXPECT_TRUE(app.CloseAndWait());
  EXPECT_EQ(app.ExitCode(), 0u);
}

}  // namespace
