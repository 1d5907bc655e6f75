#include "skin/framework/kxAdapterClasses.h"

#include <cwctype>

namespace kx {

namespace {

tk::String Lower(const tk::String& s) {
  tk::String r(s);
  for (wchar_t& c : r) c = static_cast<wchar_t>(std::towlower(c));
  return r;
}

// Style types of "static" and "button" windows.
constexpr uint32_t kStaticTypeMask = 0x1F;
constexpr uint32_t kSsGrayRect = 5, kSsWhiteRect = 6, kSsIcon = 3, kSsSimple = 0xB, kSsOwnerDraw = 0xD, kSsBitmap = 0xE,
                   kSsEnhMetaFile = 0xF;
constexpr uint32_t kButtonTypeMask = 0xF;
constexpr uint32_t kTcsOwnerDrawFixed = 0x2000;
constexpr uint32_t kToolBarBarLook = 0x200;  // tool bars with this bit take the "BAR" look

TkxAdapterChoice StaticChoice(uint32_t Style) {
  switch (Style & kStaticTypeMask) {
    case kSsIcon:
    case kSsBitmap: return {TkxAdapterKind::Icon, L"CHECKBOX"};
    // Plain fills, the system's own simple text, what the owner draws, and
    // pictures the icon adapter cannot show.
    case kSsGrayRect:
    case kSsWhiteRect:
    case kSsSimple:
    case kSsOwnerDraw:
    case kSsEnhMetaFile: return {};
    default: return {TkxAdapterKind::Static, L"CHECKBOX"};
  }
}

TkxAdapterChoice ButtonChoice(uint32_t Style) {
  const uint32_t t = Style & kButtonTypeMask;
  if ((t & 7) == 7) return {TkxAdapterKind::GroupBox, L"GROUPBOX"};
  // Check boxes and three-state boxes (and owner-drawn buttons, whose type
  // shares their bits), then the radio buttons.
  if ((t & 3) == 3 || (t & 2) || (t & 5) == 5) return {TkxAdapterKind::CheckBox, L"CHECKBOX"};
  if ((t & 9) == 9 || (t & 4)) return {TkxAdapterKind::CheckBox, L"CHECKBOX"};
  return {TkxAdapterKind::Button, L"BUTTON"};
}

}  // namespace

TkxAdapterChoice AdapterForClass(const tk::String& ClassName, uint32_t Style) {
  const tk::String c = Lower(ClassName);
  using K = TkxAdapterKind;
  if (c == L"static") return StaticChoice(Style);
  if (c == L"button") return ButtonChoice(Style);
  if (c == L"#32770" || c == L"shbrowseforfolder") return {K::TransPanel, L"CHECKBOX"};
  if (c == L"tpanel" || c == L"tsilentpaintpanel") return {K::DlgPanel, L"PANEL"};
  if (c == L"edit" || c == L"listbox") return {K::Edit, L"EDIT"};
  if (c == L"combolbox") return {K::Edit, L"COMBOBOX"};
  if (c == L"combobox" || c == L"comboboxex32") return {K::ComboBox, L"COMBOBOX"};
  if (c == L"scrollbar") return {K::Sizer, L"CHECKBOX"};
  if (c == L"systabcontrol32") {
    if (Style & kTcsOwnerDrawFixed) return {};
    return {K::TabControl, L"PAGECONTROL"};
  }
  if (c == L"syslistview32") return {K::ListView, L"EDIT"};
  if (c == L"systreeview32") return {K::TreeView, L"EDIT"};
  if (c == L"msctls_updown32") return {K::Spin, L"SPEEDBUTTON_SMALL"};
  if (c == L"link window" || c == L"syslink") return {K::Link, L"CHECKBOX"};
  if (c == L"toolbarwindow32") return {K::ToolBar, Style & kToolBarBarLook ? L"BAR" : L"CHECKBOX"};
  if (c == L"#32768") return {K::Menu, L"MAINMENU"};
  return {};
}

}  // namespace kx
