// Where the caption label of an edit-like control goes: beside it on the
// left, or above it at its left edge, centre or right edge. Pure: builds
// natively; the label itself is TsBoundLabel (skin/controls/sBoundLabel.h).
#pragma once

#include <cstdint>

#include "toolkit/Types.h"

namespace kx {

enum TsCaptionLayout : uint8_t { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

// The label's top-left from the owner's bounds and the label's size.
tk::TPoint BoundLabelPosition(TsCaptionLayout Layout, const tk::TRect& Owner, int LabelWidth, int LabelHeight,
                              int Indent);

}  // namespace kx
