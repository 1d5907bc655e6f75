// PaintSkinFrame: a control's skin border painted into its cache bitmap and
// framed onto a device context, for owners that fill their inside with a
// plain colour straight on the device (the panel in its solid-colour mode,
// the form provider, the dialog adapters). Windows only
// (sSkinFrame_win.cpp); UI thread only.
#pragma once

#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace kx {

class TsCommonData;

// Paints the border of SkinData's owner over R in State. With a border mask
// the mask is drawn into the cache bitmap (made the owner's size) over what
// lies behind the owner, the ring between the mask and a frame FrameWidth
// wide is filled with the control's colour there, and that frame is copied
// onto DC (unless DC is the cache's own). Without a mask a frame
// FrameWidth wide is filled on DC with the control's colour. Inner gets
// what is left inside: R inside the frame, or inside the mask's margins
// when FrameWidth is 0.
void PaintSkinFrame(HDC DC, const tk::TRect& R, int FrameWidth, tk::TRect& Inner, int State, TsCommonData& SkinData);

// The widest margin of a border mask whose frame is drawn in the normal
// state, 0 without one: how wide a solid-colour owner's frame is.
int SkinFrameWidth(const TsCommonData& SkinData);

}  // namespace kx
