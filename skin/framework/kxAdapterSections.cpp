#include "skin/framework/kxAdapterSections.h"

namespace kx {

tk::String PanelSectionFor(tk::TBevelCut Outer, tk::TBevelCut Inner, bool Bordered) {
  switch (Outer) {
    case tk::bvLowered: return Inner == tk::bvRaised ? L"GROUPBOX" : L"PANEL_LOW";
    case tk::bvRaised: return Inner == tk::bvLowered ? L"GROUPBOX" : L"PANEL";
    default: return Bordered ? L"PANEL_LOW" : L"CHECKBOX";
  }
}

}  // namespace kx
