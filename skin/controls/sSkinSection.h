// The skin state of the engine's controls: each carries its TsCommonData
// (published as SkinData) with the control-class code kCOC, resolves its
// section when it finishes loading, and hands every message to the common
// handler first. Until the control paints from its skin, the look is the
// toolkit control's own.
#pragma once

#include <memory>

#include "skin/framework/kxControlClass.h"
#include "skin/framework/sCommonData.h"
#include "skin/framework/sCommonHandler.h"
#include "toolkit/Types.h"

namespace kx {

template <class Base, TkxControlClass kCOC>
class TsSectioned : public Base {
 public:
  explicit TsSectioned(tk::TComponent* AOwner)
      : Base(AOwner),
        FCommonData(std::make_unique<TsCommonData>(this, true)),
        FHandler(std::make_unique<TkxCommonHandler>(*FCommonData)) {
    FCommonData->COC = kCOC;
  }

  TsCommonData* SkinData() const { return FCommonData.get(); }
  const tk::String& SkinSection() const { return FCommonData->SkinSection(); }
  void SetSkinSection(const tk::String& Value) { FCommonData->SetSkinSection(Value); }

  void Loaded() override {
    Base::Loaded();
    FCommonData->Loaded();
  }

  void WndProc(tk::TMessage& Message) override {
    if (!FHandler->HandleSkinMessage(Message)) Base::WndProc(Message);
  }

 protected:
  TkxCommonHandler& SkinHandler() const { return *FHandler; }

 private:
  std::unique_ptr<TsCommonData> FCommonData;
  std::unique_ptr<TkxCommonHandler> FHandler;
};

}  // namespace kx
