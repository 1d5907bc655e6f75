// Root of the class tree: run-time class names and assignment.
// Class names are compared exactly by the skin engine (third-party lists,
// default section names), so every class answers its own name.
#pragma once

#include "toolkit/Types.h"

namespace tk {

class TObject {
 public:
  virtual ~TObject() = default;
  // The exact, case-sensitive class name ("TButton", "TForm1", ...).
  virtual String ClassName() const { return L"TObject"; }
  template <class T>
  bool InheritsFrom() const {
    return dynamic_cast<const T*>(this) != nullptr;
  }
};

#define TK_CLASS_NAME(name) \
  ::tk::String ClassName() const override { return L## #name; }

class TPersistent : public TObject {
 public:
  TK_CLASS_NAME(TPersistent)
  // Copies Source into this object; throws EConvertError when the classes
  // don't fit, as the toolkit's assignment does.
  virtual void Assign(const TPersistent* Source);

 protected:
  virtual void AssignTo(TPersistent* Dest) const;
};

}  // namespace tk
