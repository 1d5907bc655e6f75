// TsButton: the engine's push button.
#pragma once

#include "skin/controls/sSkinSection.h"
#include "toolkit/StdCtrls.h"

namespace kx {

class TsButton : public TsSectioned<tk::TButton, cocButton> {
 public:
  TK_CLASS_NAME(TsButton)
  explicit TsButton(tk::TComponent* AOwner) : TsSectioned<tk::TButton, cocButton>(AOwner) {}
};

}  // namespace kx
