#include "skin/framework/kxFormRegistry.h"

#include <algorithm>

namespace kx {

namespace {

std::vector<IkxSkinnedForm*> gForms;
std::vector<HWND> gWindows;

template <class T>
void RemoveMovingLast(std::vector<T>& v, T item) {
  auto it = std::find(v.begin(), v.end(), item);
  if (it == v.end()) return;
  *it = v.back();
  v.pop_back();
}

}  // namespace

void RegisterSkinnedForm(IkxSkinnedForm* Form) {
  if (Form && std::find(gForms.begin(), gForms.end(), Form) == gForms.end()) gForms.push_back(Form);
}

void UnregisterSkinnedForm(IkxSkinnedForm* Form) { RemoveMovingLast(gForms, Form); }

std::vector<IkxSkinnedForm*> SkinnedForms() { return gForms; }

int SkinnedFormCount() { return static_cast<int>(gForms.size()); }

void AddSubclassedWindow(HWND Wnd) {
  if (Wnd && std::find(gWindows.begin(), gWindows.end(), Wnd) == gWindows.end()) gWindows.push_back(Wnd);
}

void RemoveSubclassedWindow(HWND Wnd) { RemoveMovingLast(gWindows, Wnd); }

std::vector<HWND> SubclassedWindows() { return gWindows; }

void ClearSubclassedWindows() { gWindows.clear(); }

}  // namespace kx
