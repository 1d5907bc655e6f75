#pragma once
// The engine's key colour, magenta. In pictures it marks see-through pixels;
// as the answer to a colour question it means that no colour is known.
#include "toolkit/Types.h"

constexpr tk::TColor kxKeyColor = 0xFF00FF;
