// The frame arithmetic's record for Tabulo's form, filled from the system's
// metrics and the internal skin's options, so expected places never rest on
// numbers that hold under one system only.
#pragma once

#include <windows.h>

#include "skin/paint/sFormGeometry.h"

namespace e2e {

// An integer of the internal skin's GLOBALINFO section.
int SkinInt(const wchar_t* Key);
// One frame's size of a glyph mask "@left@top@right@bottom@images@masktype".
SIZE GlyphSize(const wchar_t* Key);
// The frame record of the form as it stands now.
kx::TkxFormFrame FrameOf(HWND Form);
// The system's work area.
RECT WorkArea();

}  // namespace e2e
