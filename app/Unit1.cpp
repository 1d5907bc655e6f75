#include "app/Unit1.h"

#include <windows.h>

#include "toolkit/Encoding.h"
#include "toolkit/IniFiles.h"
#include "toolkit/SysUtils.h"
#include "toolkit/WorkArea.h"

using namespace tk;

namespace {

const wchar_t kMain[] = L"Main";
// What the editor shows for a NUL character of a page file.
constexpr wchar_t kNulShown = L'\uFFFD';

// Button index of a page letter: 0..25 for "A".."Z", 26 for "0-9".
int IndexOf(wchar_t letter) { return letter == L'9' ? 26 : letter - L'A'; }

}  // namespace

String TForm1::GetAppDir() const { return ExtractFilePath(Application->ExeName()); }

String TForm1::SettingsFileName() const { return ChangeFileExt(Application->ExeName(), L".ini"); }

// The directory already ends with a backslash, so the path holds two before
// the name; the file system reads them as one.
String TForm1::PageFileName() const { return DirLabel->Caption() + L"\\" + TextName->Caption() + L".txt"; }

void TForm1::ReadIniSettings() {
  TIniFile ini(SettingsFileName());
  const int left = ini.ReadInteger(kMain, L"Left", 0);
  const int top = ini.ReadInteger(kMain, L"Top", 0);
  const int width = ini.ReadInteger(kMain, L"Width", 0);
  const int height = ini.ReadInteger(kMain, L"Height", 0);
  // Written from the placement, in work-area coordinates: read as screen
  // coordinates, a task bar at the top or left would move the window on
  // every start.
  if (width > 0 && height > 0) {
    const TRect r = WorkAreaToScreen(Bounds(left, top, width, height));
    SetBounds(r.Left, r.Top, width, height);
  }
  if (ini.ReadInteger(kMain, L"Maximized", 0) != 0) SetWindowState(wsMaximized);
}

void TForm1::WriteIniSettings() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(WINDOWPLACEMENT);
  ::GetWindowPlacement(Handle(), &wp);
  const RECT& r = wp.rcNormalPosition;
  TIniFile ini(SettingsFileName());
  ini.WriteString(kMain, L"Left", IntToStr(r.left));
  ini.WriteString(kMain, L"Top", IntToStr(r.top));
  ini.WriteString(kMain, L"Width", IntToStr(r.right - r.left));
  ini.WriteString(kMain, L"Height", IntToStr(r.bottom - r.top));
  ini.WriteString(kMain, L"Maximized", WindowState() == wsMaximized ? L"1" : L"0");
}

// The old file stays intact until the new text is on the disk; text the
// ANSI code page can't hold is saved as UTF-8 with its mark.
void TForm1::SavePage() {
  // A page whose file the editor does not show as it is (unreadable, or
  // with NULs shown replaced) is not written over unless the user edited it:
  // that would destroy or alter text nobody touched.
  // The text is compared, not the edit window's modified flag, which a
  // skinned or recreated editor may set without an edit.
  if (FKeepPageFile && sMemo1->Text() == FShownText) return;
  SaveFileReplacing(FileLabel->Caption(), EncodePageText(sMemo1->Text()));
  FKeepPageFile = false;
}

void TForm1::LoadPage() {
  const String path = FileLabel->Caption();
  FKeepPageFile = false;
  if (!FileExists(path)) {
    sMemo1->Clear();  // the text of the page just left is not this page's
    return;
  }
  String text;
  try {
    text = NormalizeLineBreaks(LoadTextFile(path));
  } catch (...) {
    // The page has changed all the same; the text left is already in the
    // previous page's file.
    FKeepPageFile = true;
    FShownText.clear();
    sMemo1->Clear();
    throw;
  }
  // The edit window ends its text at the first NUL (a UTF-16 file without a
  // mark, read as ANSI, is full of them). Shown replaced, all of the text
  // stays visible; the file keeps its NULs until the user edits the page.
  for (wchar_t& c : text) {
    if (c != L'\0') continue;
    c = kNulShown;
    FKeepPageFile = true;
  }
  if (FKeepPageFile) FShownText = text;
  sMemo1->SetText(text);
}

void TForm1::FormCreate(TObject*) {
  DirLabel->SetCaption(GetAppDir());
  FileLabel->SetCaption(PageFileName());
  ReadIniSettings();
  LoadPage();
}

void TForm1::SelectPage(wchar_t Letter) {
  SavePage();
  TextName->SetCaption(String(1, Letter));
  const int chosen = IndexOf(Letter);
  for (int i = 0; i < PageCount; ++i) PageButtons[i]->SetEnabled(i != chosen);
  FileLabel->SetCaption(PageFileName());
  LoadPage();
}

void TForm1::FormClose(TObject*, TCloseAction&) {
  SavePage();
  WriteIniSettings();
}

bool TForm1::SaveForSessionEnd() {
  try {
    SavePage();
    WriteIniSettings();
    return true;
  } catch (...) {
    Application->HandleException(this);
    return false;
  }
}

void TForm1::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_QUERYENDSESSION:
      // A page that could not be saved keeps the session from ending, as
      // its text would be lost with it.
      Message.Result = SaveForSessionEnd() ? TRUE : FALSE;
      return;
    case WM_ENDSESSION:
      // Also when no query came first; text typed since it is saved too.
      if (Message.WParam) SaveForSessionEnd();
      Message.Result = 0;
      return;
    default: break;
  }
  TForm::Dispatch(Message);
}

void TForm1::PlaceAboutPanel() {
  // Centred over the editor; 178 is the width of the button column.
  AboutPanel->SetTop((sMemo1->Height() - 200) / 2);
  AboutPanel->SetLeft((sMemo1->Width() - 310) / 2 + 178);
}

void TForm1::FormResize(TObject*) { PlaceAboutPanel(); }

void TForm1::Undo1Click(TObject*) { sMemo1->Undo(); }
void TForm1::Cut1Click(TObject*) { sMemo1->CutToClipboard(); }
void TForm1::Copy1Click(TObject*) { sMemo1->CopyToClipboard(); }
void TForm1::Paste1Click(TObject*) { sMemo1->PasteFromClipboard(); }
void TForm1::SelectAll1Click(TObject*) { sMemo1->SelectAll(); }

void TForm1::About1Click(TObject*) {
  PlaceAboutPanel();
  AboutPanel->SetVisible(true);
  sMemo1->SetEnabled(false);
}

void TForm1::AboutCloseBtnClick(TObject*) {
  sMemo1->SetEnabled(true);
  AboutPanel->SetVisible(false);
  sMemo1->SetFocus();
}
