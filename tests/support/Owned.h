// A component made for a test, freed when the test ends.
#pragma once

#include "toolkit/Classes.h"

namespace tk {
class TForm;
}

namespace tk::test {

// TOwned<TForm> form; makes an unowned form; TOwned<T> x(Create<T>(...))
// takes one made elsewhere.
template <class T = TForm>
class TOwned {
 public:
  TOwned() : FObject(Create<T>(nullptr)) {}
  explicit TOwned(T* Object) : FObject(Object) {}
  ~TOwned() { FreeAndNil(FObject); }
  TOwned(const TOwned&) = delete;
  TOwned& operator=(const TOwned&) = delete;
  T* operator->() const { return FObject; }
  T* get() const { return FObject; }

 private:
  T* FObject;
};

}  // namespace tk::test
