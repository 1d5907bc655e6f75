// Switching pages in the notepad's form leaves no GDI objects or windows
// behind: the editor's adapter and its skinned bar are made once and reused
// for a long page and a short one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/Unit1.h"
#include "skin/data/sSkinManager.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Pump_win.h"
#include "toolkit/Forms.h"

namespace {

using tk::test::PumpPending;

std::wstring TempDir() {
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  std::wstring d = std::wstring(base) + L"tabulo-pages-" + std::to_wstring(::GetCurrentProcessId());
  ::CreateDirectoryW(d.c_str(), nullptr);
  return d;
}

TEST(PageSwitch, TwoHundredSwitchesLeaveGdiObjectsAndWindowsWhereTheyWere) {
  kx::InitializeEngine();
  const std::wstring dir = TempDir();
  {
    HANDLE f = ::CreateFileW((dir + L"\\B.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(f, "short\r\npage", 11, &written, nullptr);
    ::CloseHandle(f);
  }
  std::wstring longText;
  for (int i = 0; i < 300; ++i) longText += L"line " + std::to_wstring(i) + L"\r\n";

  auto* form = tk::Create<TForm1>(tk::Application);
  form->DirLabel->SetCaption(dir);
  form->FileLabel->SetCaption(dir + L"\\A.txt");
  form->sMemo1->SetText(longText);
  form->Show();
  PumpPending();
  ASSERT_NE(form->sMemo1->ListSW(), nullptr);
  tk::test::ParkPointerAwayFrom(form->Handle());
  // A first round makes what is kept for the rest of the run.
  form->SelectPage(L'B');
  form->SelectPage(L'A');
  PumpPending();
  const size_t gdi = tk::test::GdiObjects(), windows = tk::test::ProcessWindows();
  for (int i = 0; i < 100; ++i) {
    form->SelectPage(L'B');
    PumpPending();
    form->SelectPage(L'A');
    PumpPending();
  }
  EXPECT_EQ(form->sMemo1->Text(), longText);
  EXPECT_NE(form->sMemo1->ListSW(), nullptr);
  EXPECT_LE(tk::test::GdiObjects(), gdi + tk::test::kDcCacheSlack);
  EXPECT_EQ(tk::test::ProcessWindows(), windows);
  tk::FreeAndNil(form);
  ::DeleteFileW((dir + L"\\A.txt").c_str());
  ::DeleteFileW((dir + L"\\B.txt").c_str());
  ::RemoveDirectoryW(dir.c_str());
}

}  // namespace
