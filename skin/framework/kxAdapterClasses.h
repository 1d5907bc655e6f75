// Which window adapter a window of a system dialog gets: by its window
// class name (compared without regard to case) and its style, the kind of
// adapter and the skin section it falls back on. The dialog skinning
// attaches adapters by this table; kinds whose adapters do not exist yet
// are named all the same, and their windows simply stay unskinned until
// they do. Pure: builds natively.
#pragma once

#include <cstdint>

#include "toolkit/Types.h"

namespace kx {

enum class TkxAdapterKind : uint8_t {
  None,        // the window stays as it is
  Static,      // TkxStaticWnd: static texts
  Icon,        // TkxIconWnd: static icons and bitmaps
  Link,        // TkxLinkWnd: link controls
  DlgPanel,    // TkxDlgPanelWnd: toolkit panels inside dialogs
  Button,      // TkxBtnWnd: push buttons
  CheckBox,    // TkxCheckBoxWnd: check boxes, three-state boxes, radio buttons
  GroupBox,    // TkxGroupBoxWnd
  TransPanel,  // TkxTransPanelWnd: nested dialog pages, folder-browser panes
  Sizer,       // TkxSizerWnd: size grips
  Edit,        // TkxEditWnd: edits, list boxes, combo drop-down lists (only once visible)
  ComboBox,    // TkxComboBoxWnd
  TabControl,  // TkxTabControlWnd
  ListView,    // TkxListViewWnd
  TreeView,    // TkxTreeViewWnd
  Spin,        // TkxSpinWnd: up-down controls
  ToolBar,     // TkxToolBarWnd
  Menu,        // TkxMnuWnd: popup-menu windows
};

struct TkxAdapterChoice {
  TkxAdapterKind Kind = TkxAdapterKind::None;
  tk::String Section;  // empty with Kind None
  bool operator==(const TkxAdapterChoice&) const = default;
};

// The adapter for a window of class ClassName with the window style Style.
// Statics and buttons are told apart by their type (the low bits of the
// style), never by single bits that several types share: a simple or
// owner-drawn static or an enhanced-metafile picture gets no adapter, and
// a radio button, automatic or not, gets the check-box adapter, which
// shows it with the radio images.
TkxAdapterChoice AdapterForClass(const tk::String& ClassName, uint32_t Style);

}  // namespace kx
