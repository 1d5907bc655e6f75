// The skin sections window adapters fall back on when their creator names
// none, chosen from what the adapted control is. Pure: builds natively.
#pragma once

#include "toolkit/ExtCtrls.h"
#include "toolkit/Types.h"

namespace kx {

// A toolkit panel's section by its bevels: two bevels cut opposite ways
// read as a group frame, a raised outer bevel as a panel, a lowered one (or
// a border without bevels) as a sunken panel; a panel with neither bevel
// nor border is flat ("CHECKBOX").
tk::String PanelSectionFor(tk::TBevelCut Outer, tk::TBevelCut Inner, bool Bordered);

}  // namespace kx
