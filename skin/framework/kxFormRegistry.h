// The engine's registry of skinned forms and its list of subclassed top-level
// windows, both read by the broadcasts to forms (kxCommands.h) and by the
// skin manager's freezing of forms during a skin change.
//
// A form's skin provider registers itself when it is created and leaves when
// it is freed; the registry does not own the entries. Removal moves the last
// entry into the freed place, so the order is not stable. Adapted top-level
// windows (dialogs) are listed by handle by whoever subclassed them. UI
// thread only. Pure: builds natively.
#pragma once

#include <vector>

#include "toolkit/WinTypes.h"

namespace tk {
class TCustomForm;
}

namespace kx {

class TsSkinManager;

// What the engine needs from a skinned form's provider.
class IkxSkinnedForm {
 public:
  virtual tk::TCustomForm* SkinnedForm() const = 0;
  virtual TsSkinManager* FormSkinManager() const = 0;
  // A skin change starts (true) or has ended (false) for this form.
  virtual void SetSkinChanging(bool Changing) = 0;
  // The shadow window takes the region of the form's border while frozen.
  virtual void FreezeShadow() {}
  // After the release: rebuild the painted frame.
  virtual void RebuildFrame() {}

 protected:
  ~IkxSkinnedForm() = default;
};

void RegisterSkinnedForm(IkxSkinnedForm* Form);
// Unknown entries are ignored.
void UnregisterSkinnedForm(IkxSkinnedForm* Form);
// A copy: a broadcast may make forms come and go.
std::vector<IkxSkinnedForm*> SkinnedForms();
int SkinnedFormCount();

void AddSubclassedWindow(HWND Wnd);
void RemoveSubclassedWindow(HWND Wnd);
std::vector<HWND> SubclassedWindows();
void ClearSubclassedWindows();

}  // namespace kx
