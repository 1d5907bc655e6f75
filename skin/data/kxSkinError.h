// The error every skin load raises for data it cannot accept (damaged packed
// files, missing options). Conversion, stream and picture errors keep their
// own toolkit classes and texts.
#pragma once

#include "toolkit/SysUtils.h"

namespace kx {

class EkxSkinError : public tk::Exception {
 public:
  using Exception::Exception;
};

}  // namespace kx
