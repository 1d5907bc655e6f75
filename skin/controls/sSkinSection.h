// The skin state of the engine's controls: each carries its TsCommonData
// (published as SkinData) with the control-class code kCOC, and resolves its
// section when it finishes loading. Until the control paints from its skin,
// the look is the toolkit control's own.
#pragma once

#include <memory>

#include "skin/framework/sCommonData.h"
#include "toolkit/Types.h"

namespace kx {

template <class Base, int kCOC>
class TsSectioned : public Base {
 public:
  explicit TsSectioned(tk::TComponent* AOwner)
      : Base(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true)) {
    FCommonData->COC = kCOC;
  }

  TsCommonData* SkinData() const { return FCommonData.get(); }
  const tk::String& SkinSection() const { return FCommonData->SkinSection(); }
  void SetSkinSection(const tk::String& Value) { FCommonData->SetSkinSection(Value); }

  void Loaded() override {
    Base::Loaded();
    FCommonData->Loaded();
  }

 private:
  std::unique_ptr<TsCommonData> FCommonData;
};

}  // namespace kx
