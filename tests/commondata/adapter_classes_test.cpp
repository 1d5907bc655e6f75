#include <gtest/gtest.h>

#include "skin/framework/kxAdapterClasses.h"

using kx::AdapterForClass;
using K = kx::TkxAdapterKind;

TEST(AdapterClasses, EachDialogWindowClassGetsItsAdapterAndSection) {
  struct Case {
    const wchar_t* cls;
    uint32_t style;
    K kind;
    const wchar_t* section;
  };
  const Case cases[] = {
      {L"Static", 0x50000000, K::Static, L"CHECKBOX"},        // SS_LEFT, class name in any case
      {L"STATIC", 0x50000002, K::Static, L"CHECKBOX"},        // SS_RIGHT
      {L"static", 0x50000007, K::Static, L"CHECKBOX"},        // a black frame is no icon
      {L"static", 0x50000003, K::Icon, L"CHECKBOX"},          // SS_ICON
      {L"static", 0x5000020E, K::Icon, L"CHECKBOX"},          // SS_BITMAP | SS_CENTERIMAGE
      {L"static", 0x5000000B, K::None, L""},                  // SS_SIMPLE
      {L"static", 0x5000000D, K::None, L""},                  // SS_OWNERDRAW
      {L"static", 0x5000000F, K::None, L""},                  // SS_ENHMETAFILE
      {L"static", 0x50000005, K::None, L""},                  // SS_GRAYRECT
      {L"Button", 0x50010000, K::Button, L"BUTTON"},          // BS_PUSHBUTTON
      {L"button", 0x50010001, K::Button, L"BUTTON"},          // BS_DEFPUSHBUTTON
      {L"button", 0x50012000, K::Button, L"BUTTON"},          // BS_MULTILINE push button
      {L"button", 0x50010002, K::CheckBox, L"CHECKBOX"},      // BS_CHECKBOX
      {L"button", 0x50010003, K::CheckBox, L"CHECKBOX"},      // BS_AUTOCHECKBOX
      {L"button", 0x50010005, K::CheckBox, L"CHECKBOX"},      // BS_3STATE
      {L"button", 0x50010006, K::CheckBox, L"CHECKBOX"},      // BS_AUTO3STATE
      {L"button", 0x50010004, K::CheckBox, L"CHECKBOX"},      // BS_RADIOBUTTON
      {L"button", 0x50010009, K::CheckBox, L"CHECKBOX"},      // BS_AUTORADIOBUTTON
      {L"button", 0x5001000B, K::CheckBox, L"CHECKBOX"},      // BS_OWNERDRAW
      {L"button", 0x50000007, K::GroupBox, L"GROUPBOX"},      // BS_GROUPBOX
      {L"button", 0x50000027, K::GroupBox, L"GROUPBOX"},      // with BS_LEFTTEXT
      {L"#32770", 0x50000000, K::TransPanel, L"CHECKBOX"},    // a nested dialog page
      {L"SHBrowseForFolder", 0, K::TransPanel, L"CHECKBOX"},  //
      {L"TPanel", 0, K::DlgPanel, L"PANEL"},
      {L"TSilentPaintPanel", 0, K::DlgPanel, L"PANEL"},
      {L"Edit", 0, K::Edit, L"EDIT"},
      {L"ListBox", 0, K::Edit, L"EDIT"},
      {L"ComboLBox", 0, K::Edit, L"COMBOBOX"},
      {L"ComboBox", 0, K::ComboBox, L"COMBOBOX"},
      {L"ComboBoxEx32", 0, K::ComboBox, L"COMBOBOX"},
      {L"ScrollBar", 0, K::Sizer, L"CHECKBOX"},
      {L"SysTabControl32", 0, K::TabControl, L"PAGECONTROL"},
      {L"SysTabControl32", 0x2000, K::None, L""},  // TCS_OWNERDRAWFIXED
      {L"SysListView32", 0, K::ListView, L"EDIT"},
      {L"SysTreeView32", 0, K::TreeView, L"EDIT"},
      {L"msctls_updown32", 0, K::Spin, L"SPEEDBUTTON_SMALL"},
      {L"SysLink", 0, K::Link, L"CHECKBOX"},
      {L"Link Window", 0, K::Link, L"CHECKBOX"},
      {L"ToolbarWindow32", 0x200, K::ToolBar, L"BAR"},
      {L"ToolbarWindow32", 0, K::ToolBar, L"CHECKBOX"},
      {L"#32768", 0, K::Menu, L"MAINMENU"},
      {L"RichEdit20W", 0, K::None, L""},
      {L"", 0, K::None, L""},
  };
  for (const Case& c : cases) {
    const kx::TkxAdapterChoice got = AdapterForClass(c.cls, c.style);
    EXPECT_EQ(got.Kind, c.kind) << std::string(c.cls, c.cls + wcslen(c.cls)) << " " << std::hex << c.style;
    EXPECT_EQ(got.Section, c.section) << std::string(c.cls, c.cls + wcslen(c.cls)) << " " << std::hex << c.style;
  }
}
