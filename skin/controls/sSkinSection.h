// The skin section a control is painted from. Until the control paints from
// its skin, it only keeps the name; the look is the toolkit control's own.
#pragma once

#include "toolkit/Types.h"

namespace kx {

template <class Base>
class TsSectioned : public Base {
 public:
  using Base::Base;
  const tk::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const tk::String& Value) {
    if (Value == FSkinSection) return;
    FSkinSection = Value;
    this->Invalidate();
  }

 private:
  tk::String FSkinSection;
};

}  // namespace kx
