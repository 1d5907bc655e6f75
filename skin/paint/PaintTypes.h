// The inputs of the disabled look that come from a control: its DisabledKind
// flags and the colour it reports when asked (the owner's answer to the
// colour query). Plain values filled by the caller per call.
#pragma once

#include <cstdint>
#include <functional>

#include "toolkit/Types.h"

namespace kx {

enum TsDisabledKind : uint8_t { dkBlended = 1, dkGrayed = 2 };
using TsDisabledKinds = uint8_t;  // a set of TsDisabledKind bits

// The colour an owner control reports through the colour query; the caller
// binds it to the control. Empty when there is no owner to ask.
using TkxColorQuery = std::function<tk::TColor()>;

}  // namespace kx
