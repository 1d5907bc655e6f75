// TsPanel: the engine's panel (page-button column, about box).
#pragma once

#include "skin/controls/sSkinSection.h"
#include "toolkit/ExtCtrls.h"

namespace kx {

class TsPanel : public TsSectioned<tk::TPanel, cocPanel> {
 public:
  TK_CLASS_NAME(TsPanel)
  explicit TsPanel(tk::TComponent* AOwner) : TsSectioned<tk::TPanel, cocPanel>(AOwner) {}
};

}  // namespace kx
