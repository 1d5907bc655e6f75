// Where a push button puts its image and caption, and when its window region
// must be rebuilt. Pure arithmetic over a record of measures; the skinned
// push button (skin/controls/sButton.h) fills the record from its window.
#pragma once

#include <cstdint>

#include "toolkit/Types.h"

namespace kx {

enum TkxImageAlignment : uint8_t { iaLeft, iaRight, iaTop, iaBottom, iaCenter };

struct TkxPushButtonMeasures {
  int W = 0, H = 0;    // the button
  int TW = 0, TH = 0;  // the caption as DrawText measures it
  bool HasImage = false;
  int IW = 0, IH = 0;  // one image of the list
  TkxImageAlignment Alignment = iaLeft;
  int MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0;
  bool Pressed = false;  // everything moves one pixel right and down
};

// The width DrawText may wrap the caption in: 0 (no limit) for no caption.
int PushButtonTextLimit(int W, bool HasCaption);
// IW x IH at the alignment's place; empty without an image.
tk::TRect PushButtonImageRect(const TkxPushButtonMeasures& M);
// The caption beside (or over) the image, widened by one pixel left and two
// right so that an outline pass is not clipped.
tk::TRect PushButtonCaptionRect(const TkxPushButtonMeasures& M);

// The frame of a border mask that a state paints: the state clamped to the
// mask's frames.
int MaskFrameFor(int State, int ImageCount);

// What a window region was cut for: the button's size, the skin, the border
// mask and its frame. The region is rebuilt only when one of them changes.
struct TkxRegionKey {
  int W = -1, H = -1;
  uint32_t Generation = 0;
  int MaskIndex = -1;
  int Frame = -1;
  bool operator==(const TkxRegionKey&) const = default;
};

}  // namespace kx
