// The skin manager: choosing, loading and announcing skins, switching off,
// shadows, the version notices and the hooks.
#include <gtest/gtest.h>

#include "skin/data/kxSkinPack.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/kxSystemCaps.h"
#include "skin/framework/sMessages.h"
#include "skin/paint/sAlphaGraph.h"
#include "tests/manager_win/Support_win.h"

namespace {

using namespace mgrtest;
using kx::KX_SKINLOADED;
using kx::KX_SKINREMOVED;

const String kInternal = L"Pearlmist (internal)";

String ProgramDir() { return tk::ExtractFilePath(tk::Application->ExeName()); }

TEST(SkinManager, TheInternalSkinLoadsWithAnEmptyOrMissingSkinDirectory) {
  for (const String& dir : {String(), String(L"c:\\No\\Such\\Skins")}) {
    TOwned<kx::TsSkinManager> m(LoadedManager(dir, kInternal));
    EXPECT_TRUE(m->SkinData().Active);
    EXPECT_TRUE(m->SkinIsPacked());
    EXPECT_GE(m->GetSkinIndex(L"SPEEDBUTTON"), 0);
    EXPECT_EQ(m->SkinInfo(), L"6.5");
    EXPECT_FALSE(kx::Engine.SkinLoading);
  }
}

TEST(SkinManager, AFolderOfTheSameNameWithOptionsWinsOverTheInternalSkin) {
  TTempDir dir;
  dir.MakeDir(kInternal);
  dir.Write(kInternal + L"\\Options.dat", FolderOptions("[FOLDERONLY]\r\nCOLOR=255\r\n"));
  TOwned<kx::TsSkinManager> m(LoadedManager(dir.Path(), kInternal));
  EXPECT_GE(m->GetSkinIndex(L"FOLDERONLY"), 0);
  EXPECT_FALSE(m->SkinIsPacked());
  EXPECT_EQ(m->SkinData().SkinPath, dir.Path() + kInternal + L"\\");
}

TEST(SkinManager, AnUnknownNameEndsWithTheInternalSkinAppliedUnderItsName) {
  TOwned<TRecForm> form(tk::Create<TRecForm>(tk::Application));
  form->HandleNeeded();
  TOwned<kx::TsSkinManager> m(LoadedManager(L"", L"Nowhere"));
  EXPECT_EQ(m->SkinName(), kInternal);
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(form->Log.Count(KX_SKINLOADED), 1);
  EXPECT_EQ(form->Log.LParams[0], reinterpret_cast<intptr_t>(m.get()));

  TOwned<kx::TsSkinManager> bare(LoadedManager(L"", L"Nowhere", false));
  EXPECT_FALSE(bare->Active()) << "without internal skins skinning switches off";
}

TEST(SkinManager, SkinDirectoriesResolveAgainstTheProgramsDirectory) {
  TOwned<kx::TsSkinManager> m(tk::Create<kx::TsSkinManager>(nullptr));
  EXPECT_EQ(m->SkinDirectory(), L"c:\\Skins");
  const String prog = ProgramDir();
  m->SetSkinDirectory(L"Skins");
  EXPECT_EQ(m->GetFullSkinDirectory(), prog + L"Skins\\");
  m->SetSkinDirectory(L"..\\Skins");
  String parent = prog.substr(0, prog.size() - 1);
  parent = parent.substr(0, parent.find_last_of(L"\\/") + 1);
  EXPECT_EQ(m->GetFullSkinDirectory(), parent + L"Skins\\");
  m->SetSkinDirectory(L"\\\\server\\share");
  EXPECT_EQ(m->GetFullSkinDirectory(), L"\\\\server\\share\\");
}

TEST(SkinManager, SkinListsNameAPackedFileBeforeItsFirstDot) {
  TTempDir dir;
  dir.Write(L"My.Skin.kxz", "x");
  dir.MakeDir(L"Folder");
  dir.Write(L"Folder\\Options.dat", FolderOptions(""));
  TOwned<kx::TsSkinManager> m(tk::Create<kx::TsSkinManager>(nullptr));
  AddPearlmist(m.get());
  m->SetSkinDirectory(dir.Path());
  tk::TStringList names;
  EXPECT_EQ(m->GetSkinNames(&names), kInternal) << "the first name found is the internal skin's";
  ASSERT_EQ(names.Count(), 3);
  EXPECT_EQ(names.Text(), String(L"Folder\r\nMy\r\n") + kInternal + L"\r\n");
  EXPECT_EQ(m->GetExternalSkinNames(&names, kx::stPacked), L"My");
  EXPECT_EQ(names.Count(), 1);
}

TEST(SkinManager, SwitchingOffTellsEveryFormOnceAndLeavesNoSection) {
  TOwned<TRecForm> a(tk::Create<TRecForm>(tk::Application)), b(tk::Create<TRecForm>(tk::Application));
  a->HandleNeeded();
  TOwned<kx::TsSkinManager> m(LoadedManager(L"", kInternal));
  const std::vector<String> sections = m->GetSkinSections();
  ASSERT_GT(sections.size(), 10u);
  m->SetActive(false);
  EXPECT_EQ(a->Log.Count(KX_SKINREMOVED), 1);
  EXPECT_EQ(b->Log.Count(KX_SKINREMOVED), 1);
  for (const String& s : sections) EXPECT_EQ(m->GetSkinIndex(s), -1) << tk::ToUtf8(s);
  EXPECT_TRUE(m->GetSkinSections().empty());
  EXPECT_EQ(m->SkinInfo(), L"N/A");
  EXPECT_EQ(kx::InstalledWindowHooks(), 0);
  m->SetActive(false);
  EXPECT_EQ(a->Log.Count(KX_SKINREMOVED), 1);
  m->SetActive(true);
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(a->Log.Count(KX_SKINLOADED), 2);
}

TEST(SkinManager, ExtendedBordersWithoutExBorderGiveTheBuiltInShadow) {
  ASSERT_NE(kx::BuiltinShadow(true), nullptr);
  ASSERT_NE(kx::SystemCaps().UpdateLayeredWindow, nullptr);
  TTempDir dir;
  dir.MakeDir(L"Plain");
  dir.Write(L"Plain\\Options.dat", FolderOptions("[FORM]\r\nCOLOR=255\r\n"));
  TOwned<kx::TsSkinManager> m(LoadedManager(dir.Path(), L"Plain"));
  EXPECT_EQ(m->FormShadowSize(), tk::TRect()) << "no extended borders yet";
  m->SetExtendedBorders(true);
  const int more = kx::DesktopComposition() ? 1 : 0;
  EXPECT_EQ(m->FormShadowSize(), tk::Rect(11 + more, 7 + more, 11 + more, 11 + more));
  ASSERT_NE(m->ShdaTemplate(), nullptr);
  EXPECT_EQ(m->ShdaTemplate()->Width(), 32);
  EXPECT_EQ(m->ShdiTemplate()->Width(), 31);
  EXPECT_TRUE(m->SkinData().Active);
}

TEST(SkinManager, ANewerSkinShowsTheVersionNoticeAndStillLoads) {
  TRecordingNotifier notices;
  TTempDir dir;
  dir.MakeDir(L"Future");
  dir.Write(L"Future\\Options.dat", FolderOptions("[PANEL]\r\nCOLOR=255\r\n", "7.00"));
  TOwned<kx::TsSkinManager> m(LoadedManager(dir.Path(), L"Future"));
  ASSERT_EQ(notices.Texts.size(), 1u);
  EXPECT_EQ(notices.Texts[0], kx::kxNewerSkinMessage);
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(m->SkinInfo(), L"7");
}

TEST(SkinManager, AFailedLoadRaisesAndLeavesTheAppliedSkinIntact) {
  TTempDir dir;
  dir.MakeDir(L"Good");
  dir.Write(L"Good\\Options.dat", FolderOptions("[GOODONLY]\r\nCOLOR=255\r\n"));
  dir.Write(L"Bad.kxz", std::string("KXzf\x02\x00\x00\x00garbage that is no zlib stream", 38));
  dir.MakeDir(L"Odd");
  dir.Write(L"Odd\\Options.dat", FolderOptions("[PANEL]\r\nBORDERSMASK=# (1,2,x,4) 1\r\n"));
  TOwned<TRecForm> form(tk::Create<TRecForm>(tk::Application));
  form->HandleNeeded();
  TOwned<kx::TsSkinManager> m(LoadedManager(dir.Path(), L"Good"));
  ASSERT_GE(m->GetSkinIndex(L"GOODONLY"), 0);
  const int loaded = form->Log.Count(KX_SKINLOADED);
  for (const String& bad : {String(L"Bad"), String(L"Odd")}) {
    EXPECT_THROW(m->SetSkinName(bad), tk::Exception) << tk::ToUtf8(bad);
    EXPECT_FALSE(kx::Engine.SkinLoading);
    EXPECT_EQ(m->SkinName(), L"Good");
    EXPECT_TRUE(m->SkinData().Active);
    EXPECT_GE(m->GetSkinIndex(L"GOODONLY"), 0);
  }
  EXPECT_EQ(form->Log.Count(KX_SKINLOADED), loaded) << "nothing new was announced";
  m->SetSkinName(L"Good");
  EXPECT_EQ(form->Log.Count(KX_SKINLOADED), loaded + 1);
}

TEST(SkinManager, ASkinNamedWhileLoadingIsAnnouncedOnlyByLoaded) {
  TOwned<TRecForm> form(tk::Create<TRecForm>(tk::Application));
  form->HandleNeeded();
  auto* m = tk::Create<kx::TsSkinManager>(nullptr);
  TOwned<kx::TsSkinManager> owned(m);
  m->BeginReading();
  AddPearlmist(m);
  m->SetSkinName(kInternal);
  EXPECT_GE(m->GetSkinIndex(L"PANEL"), 0) << "loaded at once";
  EXPECT_EQ(form->Log.Count(KX_SKINLOADED), 0) << "but not announced";
  EXPECT_EQ(kx::InstalledWindowHooks(), 0);
  m->EndReading();
  m->Loaded();
  EXPECT_EQ(form->Log.Count(KX_SKINLOADED), 1);
  EXPECT_EQ(m->MenuSupport()->IcoLineSkin, L"ICOLINE");
  EXPECT_EQ(m->ThirdLists()[1], std::vector<String>{L"TButton"});
  EXPECT_TRUE(m->ThirdLists()[0].empty());
}

TEST(SkinManager, HueAndSaturationSetBeforeTheSkinIsAppliedAreAppliedWithIt) {
  TTempDir dir;
  dir.MakeDir(L"Red");
  dir.Write(L"Red\\Options.dat", FolderOptions("[PANEL]\r\nCOLOR=255\r\n"));
  auto* m = tk::Create<kx::TsSkinManager>(nullptr);
  TOwned<kx::TsSkinManager> owned(m);
  // While the description is read the skin is loaded at once and applied by Loaded.
  m->BeginReading();
  m->SetSkinDirectory(dir.Path());
  m->SetSkinName(L"Red");
  m->SetHueOffset(120);
  m->EndReading();
  m->Loaded();
  const tk::TColor turned = kx::RotateHue(120, 255);
  EXPECT_EQ(m->gd()[m->GetSkinIndex(L"PANEL")].Color, turned);
  // Inside BeginUpdate the skin is loaded, and applied by EndUpdate.
  m->BeginUpdate();
  m->SetSkinName(L"Red");
  m->SetSaturation(100);
  EXPECT_FALSE(m->SkinData().Active);
  m->EndUpdate();
  EXPECT_TRUE(m->SkinData().Active);
  EXPECT_EQ(m->gd()[m->GetSkinIndex(L"PANEL")].Color, kx::ShiftSaturation(turned, -100));

  m->SetCommonSections({L" [MINE]\t", L"\tCOLOR = 7", L"; a  comment"});
  EXPECT_EQ(m->CommonSections(), (std::vector<String>{L"[MINE]", L"COLOR=7", L"; a  comment"}))
      << "stored as they are compared: blanks and tabs removed";
  EXPECT_EQ(m->gd()[m->GetSkinIndex(L"MINE")].Color, kx::ShiftSaturation(kx::RotateHue(120, 7), -100));
}

TEST(SkinManager, TheWindowHookIsInstalledOnceByTheDefaultManagerAndRemovedWithIt) {
  {
    TOwned<kx::TsSkinManager> first(LoadedManager(L"", kInternal));
    TOwned<kx::TsSkinManager> second(LoadedManager(L"", kInternal));
    EXPECT_TRUE(first->IsDefault());
    EXPECT_FALSE(second->IsDefault());
    first->ApplySkin(true);
    second->ApplySkin(true);
    EXPECT_TRUE(first->GlobalHookInstalled());
    EXPECT_FALSE(second->GlobalHookInstalled());
    EXPECT_EQ(kx::InstalledWindowHooks(), 1);
    // Windows made while the hook is in place pass through it unharmed.
    HWND w =
        CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(w, nullptr);
    DestroyWindow(w);
  }
  EXPECT_EQ(kx::InstalledWindowHooks(), 0);
  EXPECT_EQ(kx::DefaultManager(), nullptr);
}

TEST(SkinManager, TheApplicationWindowHookRecordsShowCommandsAndAnswersMenuBorders) {
  TOwned<kx::TsSkinManager> m(LoadedManager(L"", kInternal));
  HWND app = tk::Application->Handle();
  SendMessageW(app, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(m->ShowState(), kx::saMinimize);
  SendMessageW(app, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(m->ShowState(), kx::saRestore);
  EXPECT_EQ(SendMessageW(app, kx::SM_PAINTMENUBORDER, 0, 0), 1);
  EXPECT_EQ(SendMessageW(app, kx::SM_PAINTMENUITEMBORDER, 0, 0), 1);
  PumpPending();
}

TEST(SkinManager, TrackingTellsTheWindowLeftAndTheWindowEntered) {
  TOwned<TRecForm> a(tk::Create<TRecForm>(nullptr)), b(tk::Create<TRecForm>(nullptr));
  TOwned<kx::TsSkinManager> m(LoadedManager(L"", kInternal));
  m->TrackActiveWindow(a->Handle());
  m->TrackActiveWindow(a->Handle());
  m->TrackActiveWindow(b->Handle());
  EXPECT_EQ(a->Log.Commands, (std::vector<uint16_t>{kx::KX_MOUSEIN, kx::KX_MOUSEOUT}));
  EXPECT_EQ(b->Log.Commands, (std::vector<uint16_t>{kx::KX_MOUSEIN}));
}

struct TFindBox {
  DWORD Pid;
  HWND Box = nullptr;
  String Text;
};

BOOL CALLBACK AddText(HWND c, LPARAM lp) {
  wchar_t t[128] = {};
  GetWindowTextW(c, t, 128);
  reinterpret_cast<String*>(lp)->append(t);
  return TRUE;
}

// The first visible message box of the process, with the texts of its children.
BOOL CALLBACK FindBox(HWND w, LPARAM lp) {
  auto* f = reinterpret_cast<TFindBox*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t cls[64] = {};
  GetClassNameW(w, cls, 64);
  if (pid != f->Pid || String(cls) != L"#32770" || !IsWindowVisible(w)) return TRUE;
  EnumChildWindows(w, AddText, reinterpret_cast<LPARAM>(&f->Text));
  f->Box = w;
  return FALSE;
}

TEST(SkinManager, TheVersionSwitchInCapitalsShowsTheVersionBox) {
  TTempDir dir;
  String exe = TABULO_EXE_PATH[0] == '/' ? String(L"Z:") : String();
  for (const char* p = TABULO_EXE_PATH; *p; ++p) exe += *p == '/' ? L'\\' : wchar_t(*p);
  ASSERT_TRUE(CopyFileW(exe.c_str(), (dir.Path() + L"Tabulo.exe").c_str(), FALSE));
  String cmd = L"\"" + dir.Path() + L"Tabulo.exe\" /KXVER";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.Path().c_str(), &si, &pi));
  TFindBox f{pi.dwProcessId, nullptr, String()};
  const DWORD start = GetTickCount();
  while (!f.Box && GetTickCount() - start < 20000) {
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&f));
    Sleep(50);
  }
  EXPECT_NE(f.Box, nullptr);
  EXPECT_NE(f.Text.find(L"Kestrix v6.65"), String::npos) << tk::ToUtf8(f.Text);
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

}  // namespace
