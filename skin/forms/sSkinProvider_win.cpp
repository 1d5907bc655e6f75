#include "skin/forms/sSkinProvider.h"

#include "toolkit/SysUtils.h"

namespace kx {

namespace {

tk::TCustomForm* FormOf(tk::TComponent* Owner) {
  auto* form = dynamic_cast<tk::TCustomForm*>(Owner);
  if (!form) throw tk::Exception(L"TsSkinProvider component may be used with forms only!");
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (dynamic_cast<TsSkinProvider*>(form->Components(i)))
      throw tk::Exception(L"Only one instance of the TsSkinProvider component is allowed!");
  return form;
}

}  // namespace

// The checks run before the component joins its owner, so a refused one
// leaves the form as it was.
TsSkinProvider::TsSkinProvider(tk::TComponent* AOwner)
    : tk::TComponent((FormOf(AOwner), AOwner)), FForm(static_cast<tk::TCustomForm*>(AOwner)) {}

TsSkinProvider::~TsSkinProvider() = default;

}  // namespace kx
