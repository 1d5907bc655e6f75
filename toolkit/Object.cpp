#include "toolkit/Object.h"

#include "toolkit/SysUtils.h"

namespace tk {

void TPersistent::Assign(const TPersistent* Source) {
  if (Source) {
    Source->AssignTo(this);
    return;
  }
  throw EConvertError(L"Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) const {
  throw EConvertError(L"Cannot assign a " + ClassName() + L" to a " + Dest->ClassName());
}

}  // namespace tk
