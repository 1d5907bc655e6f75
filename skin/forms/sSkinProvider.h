// TsSkinProvider: the component that skins the form that owns it. One per
// form, and only on forms. UI thread only.
#pragma once

#include "toolkit/Forms.h"

namespace kx {

class TsSkinProvider : public tk::TComponent {
 public:
  TK_CLASS_NAME(TsSkinProvider)
  // Raises when AOwner is no form or already has a provider.
  explicit TsSkinProvider(tk::TComponent* AOwner);
  ~TsSkinProvider() override;

  tk::TCustomForm* Form() const { return FForm; }
  const tk::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const tk::String& v) { FSkinSection = v; }

 private:
  tk::TCustomForm* FForm;
  tk::String FSkinSection = L"FORM";
};

}  // namespace kx
