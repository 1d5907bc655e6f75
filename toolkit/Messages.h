// The message record every control receives through its WindowProc, and
// the toolkit's own notification numbers (CM_*: control notifications,
// CN_*: window notifications reflected from a parent back to the child
// control that caused them). Pure: builds natively.
//
// The numbers are part of the contract with the skin engine, which reacts
// to them by value: keep them unchanged.
#pragma once

#include <cstdint>

namespace tk {

struct TMessage {
  uint32_t Msg = 0;
  uintptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;

  uint16_t WParamLo() const { return static_cast<uint16_t>(WParam); }
  uint16_t WParamHi() const { return static_cast<uint16_t>(WParam >> 16); }
  uint16_t LParamLo() const { return static_cast<uint16_t>(static_cast<uintptr_t>(LParam)); }
  uint16_t LParamHi() const { return static_cast<uint16_t>(static_cast<uintptr_t>(LParam) >> 16); }
  uint16_t ResultLo() const { return static_cast<uint16_t>(static_cast<uintptr_t>(Result)); }
  uint16_t ResultHi() const { return static_cast<uint16_t>(static_cast<uintptr_t>(Result) >> 16); }
};

inline TMessage MakeMessage(uint32_t Msg, uintptr_t WParam = 0, intptr_t LParam = 0) {
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  return m;
}

// --- Control notifications (delivered through Perform) ---------------------
constexpr uint32_t CM_BASE = 0xB000;
// Application became active (to the application window) / a form was activated.
constexpr uint32_t CM_ACTIVATE = CM_BASE + 0x00;
constexpr uint32_t CM_DEACTIVATE = CM_BASE + 0x01;
constexpr uint32_t CM_GOTFOCUS = CM_BASE + 0x02;
constexpr uint32_t CM_LOSTFOCUS = CM_BASE + 0x03;
// The form lost activation or a capture was cancelled (to the focused control).
constexpr uint32_t CM_CANCELMODE = CM_BASE + 0x04;
constexpr uint32_t CM_DIALOGKEY = CM_BASE + 0x05;
// Accelerator character offered to a control (WParam = character).
constexpr uint32_t CM_DIALOGCHAR = CM_BASE + 0x06;
// Focus moved (LParam = the control that has it now); to the form's controls.
constexpr uint32_t CM_FOCUSCHANGED = CM_BASE + 0x07;
constexpr uint32_t CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr uint32_t CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
// Is the point (LParam: x low, y high, control-relative) inside? Result 1 = yes.
constexpr uint32_t CM_HITTEST = CM_BASE + 0x0A;
// WParam = 1 when the control became visible.
constexpr uint32_t CM_VISIBLECHANGED = CM_BASE + 0x0B;
constexpr uint32_t CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr uint32_t CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr uint32_t CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr uint32_t CM_CURSORCHANGED = CM_BASE + 0x0F;
constexpr uint32_t CM_TEXTCHANGED = CM_BASE + 0x12;
// LParam = the control entered / left (the control itself, or a child of it).
constexpr uint32_t CM_MOUSEENTER = CM_BASE + 0x13;
constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr uint32_t CM_MENUCHANGED = CM_BASE + 0x15;
// A speed button of a group went down (WParam = group, LParam = the button).
constexpr uint32_t CM_BUTTONPRESSED = CM_BASE + 0x18;
// "Visible and every parent visible" changed; the default shows/hides the window.
constexpr uint32_t CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr uint32_t CM_ENTER = CM_BASE + 0x1A;
constexpr uint32_t CM_EXIT = CM_BASE + 0x1B;
// Form.Release: posted to the form, frees it when it arrives.
constexpr uint32_t CM_RELEASE = CM_BASE + 0x21;
// A child was inserted (WParam = control, LParam = 1) or removed (LParam = 0).
constexpr uint32_t CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;
// Edit text changed (EN_CHANGE), sent to the edit control.
constexpr uint32_t CM_CHANGED = CM_BASE + 0x37;
constexpr uint32_t CM_BIDIMODECHANGED = CM_BASE + 0x3C;
// Wheel turned (WParam: key state low, delta high; LParam: screen point);
// offered to the focused control, then to each parent, until Result != 0.
constexpr uint32_t CM_MOUSEWHEEL = CM_BASE + 0x43;

// --- Reflected window notifications -----------------------------------------
constexpr uint32_t CN_BASE = 0xBC00;
constexpr uint32_t CN_DRAWITEM = CN_BASE + 0x002B;
constexpr uint32_t CN_MEASUREITEM = CN_BASE + 0x002C;
constexpr uint32_t CN_DELETEITEM = CN_BASE + 0x002D;
constexpr uint32_t CN_VKEYTOITEM = CN_BASE + 0x002E;
constexpr uint32_t CN_CHARTOITEM = CN_BASE + 0x002F;
constexpr uint32_t CN_COMPAREITEM = CN_BASE + 0x0039;
constexpr uint32_t CN_NOTIFY = CN_BASE + 0x004E;
constexpr uint32_t CN_KEYDOWN = CN_BASE + 0x0100;
constexpr uint32_t CN_KEYUP = CN_BASE + 0x0101;
constexpr uint32_t CN_CHAR = CN_BASE + 0x0102;
constexpr uint32_t CN_SYSKEYDOWN = CN_BASE + 0x0104;
constexpr uint32_t CN_SYSCHAR = CN_BASE + 0x0106;
constexpr uint32_t CN_COMMAND = CN_BASE + 0x0111;
constexpr uint32_t CN_HSCROLL = CN_BASE + 0x0114;
constexpr uint32_t CN_VSCROLL = CN_BASE + 0x0115;
constexpr uint32_t CN_CTLCOLORMSGBOX = CN_BASE + 0x0132;
constexpr uint32_t CN_CTLCOLOREDIT = CN_BASE + 0x0133;
constexpr uint32_t CN_CTLCOLORLISTBOX = CN_BASE + 0x0134;
constexpr uint32_t CN_CTLCOLORBTN = CN_BASE + 0x0135;
constexpr uint32_t CN_CTLCOLORDLG = CN_BASE + 0x0136;
constexpr uint32_t CN_CTLCOLORSCROLLBAR = CN_BASE + 0x0137;
constexpr uint32_t CN_CTLCOLORSTATIC = CN_BASE + 0x0138;

}  // namespace tk
