#include "app/Unit1.h"

#include <windows.h>

#include "toolkit/Encoding.h"
#include "toolkit/IniFiles.h"
#include "toolkit/SysUtils.h"

using namespace tk;

namespace {

const wchar_t kMain[] = L"Main";

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
  if (width > 0 && height > 0) SetBounds(left, top, width, height);
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
  // A page whose file could not be read is not written over with an
  // editor nobody typed in: that would destroy the unread text.
  if (FPageUnread && !sMemo1->Modified()) return;
  SaveFileReplacing(FileLabel->Caption(), EncodePageText(sMemo1->Text()));
  FPageUnread = false;
}

void TForm1::LoadPage() {
  const String path = FileLabel->Caption();
  FPageUnread = false;
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
    FPageUnread = true;
    sMemo1->Clear();
    sMemo1->SetModified(false);
    throw;
  }
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
