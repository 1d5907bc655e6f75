// TForm1: the notepad window. A column of 27 page buttons ("A" to "Z" and
// "0-9") beside the editor; each page is one text file beside the program.
// The page state lives in the captions of three hidden labels.
#pragma once

#include <array>

#include "skin/controls/sButton.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sMemo.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/data/sSkinManager.h"
#include "skin/forms/sSkinProvider.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

class TForm1 : public tk::TForm {
 public:
  TK_CLASS_NAME(TForm1)
  explicit TForm1(tk::TComponent* AOwner);

  static constexpr int PageCount = 27;

  kx::TsPanel* sPanel1 = nullptr;
  // BtnA .. BtnZ, then Btn9 ("0-9").
  std::array<kx::TsSpeedButton*, PageCount> PageButtons{};
  kx::TsLabel* TextName = nullptr;
  kx::TsLabel* DirLabel = nullptr;
  kx::TsLabel* FileLabel = nullptr;
  kx::TsMemo* sMemo1 = nullptr;
  kx::TsPanel* AboutPanel = nullptr;
  kx::TsLabel* sLabel1 = nullptr;
  kx::TsLabel* sLabel2 = nullptr;
  kx::TsLabel* sLabel3 = nullptr;
  kx::TsLabel* sLabel4 = nullptr;
  kx::TsWebLabel* sWebLabel1 = nullptr;
  kx::TsButton* AboutCloseBtn = nullptr;
  kx::TsSkinManager* sSkinManager1 = nullptr;
  kx::TsSkinProvider* sSkinProvider1 = nullptr;
  tk::TPopupMenu* PopupMenu1 = nullptr;
  tk::TMenuItem *Undo1 = nullptr, *N3 = nullptr, *Cut1 = nullptr, *Copy1 = nullptr, *Paste1 = nullptr, *N1 = nullptr,
                *SelectAll1 = nullptr, *N2 = nullptr, *About1 = nullptr;

  // The program's directory, ending with a backslash.
  tk::String GetAppDir() const;
  void ReadIniSettings();
  void WriteIniSettings();

  void FormCreate(tk::TObject* Sender);
  void FormClose(tk::TObject* Sender, tk::TCloseAction& Action);
  void FormResize(tk::TObject* Sender);
  // Every page button's click: the page of its letter ('A'..'Z', '9').
  void SelectPage(wchar_t Letter);
  void Undo1Click(tk::TObject* Sender);
  void Cut1Click(tk::TObject* Sender);
  void Copy1Click(tk::TObject* Sender);
  void Paste1Click(tk::TObject* Sender);
  void SelectAll1Click(tk::TObject* Sender);
  void About1Click(tk::TObject* Sender);
  void AboutCloseBtnClick(tk::TObject* Sender);

  void Dispatch(tk::TMessage& Message) override;

 private:
  tk::String SettingsFileName() const;
  tk::String PageFileName() const;
  void SavePage();
  // Loads the current page's file; a page without a file shows empty.
  void LoadPage();
  void PlaceAboutPanel();
  // Log-off and shut-down end the program without a close: what closing
  // saves is saved then. False (the failure shown) when the save failed.
  bool SaveForSessionEnd();

  // The current page's file is not written unless the user edits the page:
  // it could not be read, or the editor shows its NULs replaced.
  bool FKeepPageFile = false;
  // What the editor showed of such a page when it was loaded.
  tk::String FShownText;
};
