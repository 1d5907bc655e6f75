// The code sets and default sections. Beside each named class stand the
// codes of the controls that share its look or its reactions.
#include "skin/framework/kxControlClass.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "toolkit/SysUtils.h"

namespace kx {

namespace {

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

bool OneOf(int v, std::initializer_list<int> list) { return std::find(list.begin(), list.end(), v) != list.end(); }

}  // namespace

bool IsContainerClass(int COC) {
  return COC == cocBar || InRange(COC, cocPanel, cocGroupBox) || COC == 110 || InRange(COC, cocPageControl, cocGauge);
}

bool IsNoGlowClass(int COC) {
  return OneOf(COC, {cocPanel, cocPanelLow, 54, 68, 73, cocGroupBox, 110, cocPageControl, 143, cocStatusBar, cocGauge,
                     226}) ||
         InRange(COC, cocDragBar, 60);
}

bool IsEditLikeClass(int COC) {
  return InRange(COC, cocEdit, 18) || COC == 41 || InRange(COC, 76, 84) || COC == 96 || COC == 97 ||
         InRange(COC, 131, 140);
}

bool IsButtonClass(int COC) { return InRange(COC, cocSpeedButton, 94); }

tk::String DefaultSectionOf(int COC, const tk::String& ClassName) {
  if (InRange(COC, cocEdit, 8) || OneOf(COC, {10, 41, 76, 78, 83, 84, 96, 97, 131, 140, 227})) return L"EDIT";
  if (InRange(COC, cocComboBox, 18) || COC == 81 || COC == 82) return L"COMBOBOX";
  static const std::pair<int, const wchar_t*> single[] = {
      {cocBar, L"BAR"},
      {cocBarTitle, L"BARTITLE"},
      {cocCheckBox, L"CHECKBOX"},
      {152, L"CHECKBOX"},
      {cocRadioButton, L"RADIOBUTTON"},
      {cocPanel, L"PANEL"},
      {59, L"PANEL"},
      {68, L"PANEL"},
      {73, L"PANEL"},
      {cocPanelLow, L"PANEL_LOW"},
      {58, L"PANEL_LOW"},
      {cocToolBar, L"TOOLBAR"},
      {54, L"TOOLBAR"},
      {60, L"TOOLBAR"},
      {cocDragBar, L"DRAGBAR"},
      {cocTabSheet, L"TABSHEET"},
      {cocGroupBox, L"GROUPBOX"},
      {226, L"GROUPBOX"},
      {cocSplitter, L"SPLITTER"},
      {cocSpeedButton, L"SPEEDBUTTON"},
      {95, L"SPEEDBUTTON"},
      {cocButton, L"BUTTON"},
      {94, L"BUTTON"},
      {cocToolButton, L"TOOLBUTTON"},
      {cocPageControl, L"PAGECONTROL"},
      {143, L"PAGECONTROL"},
      {cocStatusBar, L"STATUSBAR"},
      {cocGauge, L"GAUGE"},
      {cocTrackBar, L"TRACKBAR"},
  };
  for (const auto& [code, name] : single)
    if (code == COC) return name;
  return tk::UpperCaseAscii(ClassName);
}

}  // namespace kx
