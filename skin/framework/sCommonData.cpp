// Pure rules of the per-control skin state: the COC tables, the background
// kind of a section, and when a control needs a cache of its own.
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "skin/framework/sCommonData.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

bool OneOf(int v, std::initializer_list<int> list) { return std::find(list.begin(), list.end(), v) != list.end(); }

}  // namespace

bool IsContainerCOC(int COC) { return COC == 19 || InRange(COC, 51, 74) || COC == 110 || InRange(COC, 141, 161); }

bool IsNoGlowCOC(int COC) {
  return OneOf(COC, {51, 52, 54, 68, 73, 74, 110, 141, 143, 151, 161, 226}) || InRange(COC, 56, 60);
}

bool IsEditLikeCOC(int COC) {
  return InRange(COC, 2, 18) || COC == 41 || InRange(COC, 76, 84) || COC == 96 || COC == 97 ||
         InRange(COC, 131, 140);
}

tk::String DefaultSectionOf(int COC, const tk::String& ClassName) {
  if (InRange(COC, 2, 8) || OneOf(COC, {10, 41, 76, 78, 83, 84, 96, 97, 131, 140, 227})) return L"EDIT";
  if (InRange(COC, 11, 18) || COC == 81 || COC == 82) return L"COMBOBOX";
  static const std::pair<int, const wchar_t*> single[] = {
      {19, L"BAR"},          {20, L"BARTITLE"},      {32, L"CHECKBOX"},     {152, L"CHECKBOX"},
      {33, L"RADIOBUTTON"},  {51, L"PANEL"},         {59, L"PANEL"},        {68, L"PANEL"},
      {73, L"PANEL"},        {52, L"PANEL_LOW"},     {58, L"PANEL_LOW"},    {53, L"TOOLBAR"},
      {54, L"TOOLBAR"},      {60, L"TOOLBAR"},       {56, L"DRAGBAR"},      {57, L"TABSHEET"},
      {74, L"GROUPBOX"},     {226, L"GROUPBOX"},     {75, L"SPLITTER"},     {92, L"SPEEDBUTTON"},
      {95, L"SPEEDBUTTON"},  {93, L"BUTTON"},        {94, L"BUTTON"},       {98, L"TOOLBUTTON"},
      {141, L"PAGECONTROL"}, {143, L"PAGECONTROL"},  {151, L"STATUSBAR"},   {161, L"GAUGE"},
      {165, L"TRACKBAR"},
  };
  for (const auto& [code, name] : single)
    if (code == COC) return name;
  return tk::UpperCaseAscii(ClassName);
}

uint16_t BGTypeOf(const TsGeneralData& Section) {
  uint16_t t = 0;
  if (Section.ImagePercent != 0) t |= kxBGTexture;
  if (Section.GradientPercent != 0 && !Section.GradientArray.empty()) {
    switch (Section.GradientArray.front().Mode1) {
      case 0: t |= kxBGVertical; break;
      case 1: t |= kxBGHorizontal; break;
      case 2: t |= kxBGHorizontal | kxBGVertical; break;
      default: break;
    }
  }
  return t;
}

bool NeedsOwnCacheRule(const TsGeneralData& Section, const TkxCacheNeed& Border, const bool* ParentIsFlatContainer) {
  if (Border.WL + Border.WR > 30 || Border.WT + Border.WB > 30) return true;
  const int t = Section.Transparency;
  if (t == 100) return !ParentIsFlatContainer || !*ParentIsFlatContainer;
  if (t > 0 && t < 100) return true;
  return Section.ImagePercent != 0 || Section.GradientPercent != 0;
}

}  // namespace kx
