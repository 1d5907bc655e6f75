#include "skin/framework/kxAdoption.h"

#include "skin/framework/kxFormRegistry.h"

namespace kx {

void AdoptPopupMenuWindow(HWND, TsSkinManager*) {}

bool AdoptWindow(HWND) { return false; }

void ReleaseDestroyedAdapters(HWND) {}

void ReleaseMenuWindowAdapters() {}

void ReleaseAdaptedWindows() { ClearSubclassedWindows(); }

void ResetMenuBorderWidth() {}

void PaintMenuBorderOfItem(intptr_t) {}

void PaintMenuBorder(HWND) {}

}  // namespace kx
