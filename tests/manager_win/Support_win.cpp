#include "tests/manager_win/Support_win.h"

#include <memory>

#include <gtest/gtest.h>

namespace mgrtest {

namespace {

void RemoveTree(const String& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const String name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      const String full = dir + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full + L"\\");
      else DeleteFileW(full.c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

}  // namespace

TTempDir::TTempDir() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static int n = 0;
  FPath = String(base) + L"kxmgr" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++n) + L"\\";
  RemoveTree(FPath);
  CreateDirectoryW(FPath.c_str(), nullptr);
}

TTempDir::~TTempDir() { RemoveTree(FPath); }

void TTempDir::Write(const String& Name, const std::string& Data) const {
  tk::TMemoryStream s(Data.data(), Data.size());
  s.SaveToFile(FPath + Name);
}

void TTempDir::MakeDir(const String& Name) const { CreateDirectoryW((FPath + Name).c_str(), nullptr); }

std::string FolderOptions(const std::string& Sections, const std::string& Version) {
  return "[GLOBALINFO]\r\nVERSION=" + Version + "\r\nCOLOR=15856113\r\n" + Sections;
}

void AddPearlmist(kx::TsSkinManager* m, const String& Name) {
  kx::TsStoredSkin& s = m->InternalSkins()->Add();
  s.Name = Name;
  tk::TResourceStream res(nullptr, L"SKIN_PEARLMIST");
  s.PackedData = std::make_shared<tk::TMemoryStream>();
  s.PackedData->LoadFromStream(&res);
}

kx::TsSkinManager* LoadedManager(const String& SkinDirectory, const String& SkinName, bool Internal) {
  auto* m = tk::Create<kx::TsSkinManager>(nullptr);
  m->BeginReading();
  if (Internal) AddPearlmist(m);
  m->SetSkinDirectory(SkinDirectory);
  m->SetSkinName(SkinName);
  m->EndReading();
  m->Loaded();
  return m;
}

}  // namespace mgrtest
