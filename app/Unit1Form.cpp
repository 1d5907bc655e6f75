// The window description of TForm1: components are created and their
// properties assigned in the description's order, then every component is
// told it has been loaded; OnCreate (FormCreate) runs after that.
#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "app/Unit1.h"
#include "app/resource.h"

using namespace tk;

namespace {

const wchar_t kFontName[] = L"Tahoma";
constexpr TColor kAboutText = 0x212121;  // red, green and blue 33

// Button index 0..25 for "A".."Z", 26 for "0-9".
wchar_t LetterOf(int index) { return index < 26 ? static_cast<wchar_t>(L'A' + index) : L'9'; }

// Collects what the description creates, so each gets its Loaded.
class TDescription {
 public:
  explicit TDescription(TComponent* Root) : FRoot(Root) { Root->BeginReading(); }

  template <class T>
  T* Make(const wchar_t* Name, TWinControl* Parent = nullptr) {
    T* c = Create<T>(FRoot);
    c->BeginReading();
    c->SetName(Name);
    if constexpr (std::is_base_of_v<TControl, T>) {
      if (Parent) c->SetParent(Parent);
    }
    FMade.push_back(c);
    return c;
  }

  void Finish() {
    for (TComponent* c : FMade) c->EndReading();
    FRoot->EndReading();
    // The root first, as the description reader does it: a component's
    // Loaded (the skin manager announcing its skin) finds the form loaded.
    FRoot->Loaded();
    for (TComponent* c : FMade) c->Loaded();
  }

 private:
  TComponent* FRoot;
  std::vector<TComponent*> FMade;
};

void SetFontOf(TFont* f, int height, TColor color) {
  f->SetName(kFontName);
  f->SetHeight(height);
  f->SetColor(color);
}

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
  TDescription d(this);
  SetName(L"Form1");
  SetLeft(0);
  SetTop(0);
  SetCaption(L"Tabulo");
  SetClientWidth(742);
  SetClientHeight(514);
  Constraints()->SetMinHeight(550);
  Constraints()->SetMinWidth(758);
  SetColor(clBtnFace);
  SetFontOf(Font(), -11, clWindowText);
  Icon()->SetHandle(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TABULO),
                                                    IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED)),
                    true);
  OnCreate = TNotifyEvent(this, &TForm1::FormCreate);
  OnClose = TCloseEvent(this, &TForm1::FormClose);
  OnResize = TNotifyEvent(this, &TForm1::FormResize);

  sPanel1 = d.Make<kx::TsPanel>(L"sPanel1", this);
  sPanel1->SetBounds(0, 0, 178, 514);
  sPanel1->SetAlign(alLeft);
  sPanel1->SetSkinSection(L"PANEL");

  for (int i = 0; i < PageCount; ++i) {
    const wchar_t letter = LetterOf(i);
    const String name = L"Btn" + String(1, letter);
    auto* b = d.Make<kx::TsSpeedButton>(name.c_str(), sPanel1);
    b->SetBounds(8 + 56 * (i % 3), 8 + 56 * (i / 3), 50, 50);
    b->SetCaption(i < 26 ? String(1, letter) : String(L"0-9"));
    b->SetEnabled(i != 0);
    SetFontOf(b->Font(), -16, clWindowText);
    b->SetSkinSection(L"SPEEDBUTTON");
    b->OnClick = TNotifyEvent([this, letter](TObject*) { SelectPage(letter); }, this);
    PageButtons[i] = b;
  }

  auto hiddenLabel = [&](const wchar_t* name, int top) {
    auto* l = d.Make<kx::TsLabel>(name, sPanel1);
    l->SetLeft(8);
    l->SetTop(top);
    l->SetCaption(name);
    l->SetVisible(false);
    SetFontOf(l->Font(), -11, clSilver);
    return l;
  };
  TextName = hiddenLabel(L"TextName", 568);
  TextName->SetCaption(L"A");
  DirLabel = hiddenLabel(L"DirLabel", 528);
  FileLabel = hiddenLabel(L"FileLabel", 549);

  sMemo1 = d.Make<kx::TsMemo>(L"sMemo1", this);
  sMemo1->SetBounds(178, 0, 564, 514);
  sMemo1->SetAlign(alClient);
  sMemo1->SetBorderStyle(bsNone);
  sMemo1->SetColor(clWhite);
  SetFontOf(sMemo1->Font(), -16, clBlack);
  sMemo1->SetScrollBars(ssVertical);
  sMemo1->SetWantTabs(true);
  sMemo1->SetSkinSection(L"EDIT");

  AboutPanel = d.Make<kx::TsPanel>(L"AboutPanel", this);
  AboutPanel->SetBounds(216, 42, 310, 200);
  AboutPanel->SetVisible(false);
  AboutPanel->SetSkinSection(L"PANEL");
  SetFontOf(AboutPanel->Font(), -11, kAboutText);

  auto aboutLabel = [&](const wchar_t* name, const wchar_t* caption, int height, int left, int top) {
    auto* l = d.Make<kx::TsLabel>(name, AboutPanel);
    l->SetLeft(left);
    l->SetTop(top);
    l->SetCaption(caption);
    SetFontOf(l->Font(), height, kAboutText);
    return l;
  };
  sLabel1 = aboutLabel(L"sLabel1", L"Tabulo", -21, 111, 22);
  sLabel2 = aboutLabel(L"sLabel2", L"Version 1.0", -13, 122, 48);
  sLabel3 = aboutLabel(L"sLabel3", L"Made by the Tabulo team", -11, 81, 78);
  sLabel4 = aboutLabel(L"sLabel4", L"Get more FREE software from", -11, 83, 107);

  sWebLabel1 = d.Make<kx::TsWebLabel>(L"sWebLabel1", AboutPanel);
  sWebLabel1->SetLeft(106);
  sWebLabel1->SetTop(126);
  sWebLabel1->SetCaption(L"www.tabulo.example");
  sWebLabel1->SetURL(L"https://www.tabulo.example/");
  {
    TFont normal, hover;
    SetFontOf(&normal, -13, kAboutText);
    SetFontOf(&hover, -13, clRed);
    sWebLabel1->SetFont(&normal);
    sWebLabel1->SetHoverFont(&hover);
  }

  AboutCloseBtn = d.Make<kx::TsButton>(L"AboutCloseBtn", AboutPanel);
  AboutCloseBtn->SetBounds(118, 157, 75, 25);
  AboutCloseBtn->SetCaption(L"OK");
  AboutCloseBtn->SetSkinSection(L"BUTTON");
  AboutCloseBtn->OnClick = TNotifyEvent(this, &TForm1::AboutCloseBtnClick);

  sSkinManager1 = d.Make<kx::TsSkinManager>(L"sSkinManager1");
  sSkinManager1->SetExtendedBorders(true);
  {
    kx::TsStoredSkin& internal = sSkinManager1->InternalSkins()->Add();
    internal.Name = L"Pearlmist (internal)";
    TResourceStream packed(nullptr, L"SKIN_PEARLMIST");
    internal.PackedData = std::make_shared<TMemoryStream>();
    internal.PackedData->LoadFromStream(&packed);
  }
  sSkinManager1->MenuSupport()->IcoLineSkin = L"ICOLINE";
  SetFontOf(&sSkinManager1->MenuSupport()->ExtraLineFont, -11, clWindowText);
  sSkinManager1->SetSkinDirectory(L"c:\\Skins");
  // Loads the internal skin now; the manager's Loaded applies it.
  sSkinManager1->SetSkinName(L"Pearlmist (internal)");
  sSkinManager1->SetThirdParty(kx::DefaultThirdParty());

  sSkinProvider1 = d.Make<kx::TsSkinProvider>(L"sSkinProvider1");
  sSkinProvider1->SetSkinSection(L"FORM");

  PopupMenu1 = d.Make<TPopupMenu>(L"PopupMenu1");
  auto item = [&](const wchar_t* name, const wchar_t* caption, TShortCut shortcut, void (TForm1::*handler)(TObject*)) {
    auto* m = d.Make<TMenuItem>(name);
    m->SetCaption(caption);
    m->SetShortCut(shortcut);
    if (handler) m->OnClick = TNotifyEvent(this, handler);
    PopupMenu1->Items()->Add(m);
    return m;
  };
  Undo1 = item(L"Undo1", L"Undo", ShortCut('Z', {ssCtrl}), &TForm1::Undo1Click);
  N3 = item(L"N3", L"-", scNone, nullptr);
  Cut1 = item(L"Cut1", L"Cut", ShortCut('X', {ssCtrl}), &TForm1::Cut1Click);
  Copy1 = item(L"Copy1", L"Copy", ShortCut('C', {ssCtrl}), &TForm1::Copy1Click);
  Paste1 = item(L"Paste1", L"Paste", ShortCut('V', {ssCtrl}), &TForm1::Paste1Click);
  N1 = item(L"N1", L"-", scNone, nullptr);
  SelectAll1 = item(L"SelectAll1", L"Select All", ShortCut('A', {ssCtrl}), &TForm1::SelectAll1Click);
  N2 = item(L"N2", L"-", scNone, nullptr);
  About1 = item(L"About1", L"About Tabulo ...", scNone, &TForm1::About1Click);
  sMemo1->SetPopupMenu(PopupMenu1);

  d.Finish();
}
