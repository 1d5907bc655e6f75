// Where a bound label goes beside or above its control.
#include "skin/framework/sBoundLabelPlace.h"

namespace kx {

tk::TPoint BoundLabelPosition(TsCaptionLayout Layout, const tk::TRect& Owner, int LabelWidth, int LabelHeight,
                              int Indent) {
  const int top = Owner.Top - LabelHeight - Indent;
  switch (Layout) {
    case sclLeft: return {Owner.Left - LabelWidth - Indent - 4, Owner.Top + (Owner.Height() - LabelHeight) / 2 - 1};
    case sclTopLeft: return {Owner.Left, top};
    case sclTopCenter: return {Owner.Left + (Owner.Width() - LabelWidth) / 2, top};
    case sclTopRight: return {Owner.Left + Owner.Width() - LabelWidth, top};
  }
  return {Owner.Left, top};
}

}  // namespace kx
