// TsSpeedButton: the engine's window-less button (the notepad's page buttons).
#pragma once

#include "skin/controls/sSkinSection.h"
#include "toolkit/Buttons.h"

namespace kx {

class TsSpeedButton : public TsSectioned<tk::TSpeedButton, cocSpeedButton> {
 public:
  TK_CLASS_NAME(TsSpeedButton)
  explicit TsSpeedButton(tk::TComponent* AOwner) : TsSectioned<tk::TSpeedButton, cocSpeedButton>(AOwner) {}
};

}  // namespace kx
