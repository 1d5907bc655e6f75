// The control-class code (TsCommonData::COC) an owner sets: it chooses the
// section a control without one is painted from, and which shared reactions
// it gets (mouse-above state, glow, redraw on focus and hover). The codes
// are stored with forms, so their numbers never change. Pure.
#pragma once

#include "toolkit/Types.h"

namespace kx {

enum TkxControlClass : int {
  cocNone = 0,
  cocEdit = 2,
  cocMemo = 7,
  cocComboBox = 11,
  cocBar = 19,
  cocBarTitle = 20,
  cocCheckBox = 32,
  cocRadioButton = 33,
  cocPanel = 51,
  cocPanelLow = 52,
  cocToolBar = 53,
  cocDragBar = 56,
  cocTabSheet = 57,
  cocGroupBox = 74,
  cocSplitter = 75,
  cocSpeedButton = 92,
  cocButton = 93,
  cocToolButton = 98,
  cocPageControl = 141,
  cocStatusBar = 151,
  cocGauge = 161,
  cocTrackBar = 165,
  cocAdapterItem = 227,  // a foreign control skinned by the form's child-control adapter
};

// Containers: no mouse-above state.
bool IsContainerClass(int COC);
// Shows no glow on hover.
bool IsNoGlowClass(int COC);
// Edit-like: redrawn on focus and hover changes.
bool IsEditLikeClass(int COC);
// Buttons, which show their own hover look instead of the glow's.
bool IsButtonClass(int COC);
// The section a control without one is painted from; ClassName (upper-cased)
// for a code without an entry.
tk::String DefaultSectionOf(int COC, const tk::String& ClassName);

}  // namespace kx
