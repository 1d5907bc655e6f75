// Pure rules of the per-control skin state: the background kind of a
// section, and when a control needs a cache of its own.
#include "skin/framework/sCommonData.h"

namespace kx {

uint16_t BGTypeOf(const TsGeneralData& Section) {
  uint16_t t = 0;
  if (Section.ImagePercent != 0) t |= kxBGTexture;
  if (Section.GradientPercent != 0 && !Section.GradientArray.empty()) {
    switch (Section.GradientArray.front().Mode1) {
      case 0: t |= kxBGVertical; break;
      case 1: t |= kxBGHorizontal; break;
      case 2: t |= kxBGHorizontal | kxBGVertical; break;
      default: break;
    }
  }
  return t;
}

bool NeedsOwnCacheRule(const TsGeneralData& Section, const TkxCacheNeed& Border, const bool* ParentIsFlatContainer) {
  if (Border.WL + Border.WR > 30 || Border.WT + Border.WB > 30) return true;
  const int t = Section.Transparency;
  if (t == 100) return !ParentIsFlatContainer || !*ParentIsFlatContainer;
  if (t > 0 && t < 100) return true;
  return Section.ImagePercent != 0 || Section.GradientPercent != 0;
}

}  // namespace kx
