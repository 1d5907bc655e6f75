// TsMemo: the engine's multi-line editor.
#pragma once

#include "skin/controls/sSkinSection.h"
#include "toolkit/StdCtrls.h"

namespace kx {

class TsMemo : public TsSectioned<tk::TMemo> {
 public:
  TK_CLASS_NAME(TsMemo)
  explicit TsMemo(tk::TComponent* AOwner) : TsSectioned<tk::TMemo>(AOwner) {}
};

}  // namespace kx
