// TsMemo: the engine's multi-line editor, with its caption label.
#pragma once

#include <memory>

#include "skin/controls/sSkinSection.h"
#include "skin/controls/sBoundLabel.h"
#include "toolkit/StdCtrls.h"

namespace kx {

class TsMemo : public TsSectioned<tk::TMemo, cocMemo> {
 public:
  TK_CLASS_NAME(TsMemo)
  explicit TsMemo(tk::TComponent* AOwner)
      : TsSectioned<tk::TMemo, cocMemo>(AOwner), FBoundLabel(std::make_unique<TsBoundLabel>(this, SkinData())) {}
  TsBoundLabel* BoundLabel() const { return FBoundLabel.get(); }

 private:
  std::unique_ptr<TsBoundLabel> FBoundLabel;
};

}  // namespace kx
