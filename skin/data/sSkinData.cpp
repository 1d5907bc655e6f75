// Every operation of TkxSkinContent: the section and mask queries, the
// constant indexes and Clear.
#include "skin/data/sSkinData.h"

#include "toolkit/SysUtils.h"

namespace kx {

namespace {

const String kGlobalInfo = L"GLOBALINFO";

int DivOrZero(int a, int b) { return b == 0 ? 0 : a / b; }

}  // namespace

// --- Sections ----------------------------------------------------------------

int TkxSkinContent::GetSkinIndex(const String& SectionName) const {
  if (gd.empty()) return -1;
  if (FSkinIndexCount != gd.size() || FSkinIndexData != gd.data()) {
    FSkinIndex.clear();
    for (size_t i = 0; i < gd.size(); ++i) FSkinIndex.emplace(gd[i].ClassName, static_cast<int>(i));
    FSkinIndexCount = gd.size();
    FSkinIndexData = gd.data();
  }
  auto it = FSkinIndex.find(SectionName);
  return it == FSkinIndex.end() ? -1 : it->second;
}

std::vector<String> TkxSkinContent::GetSkinSections() const {
  std::vector<String> out;
  out.reserve(gd.size());
  for (const TsGeneralData& g : gd) out.push_back(g.ClassName);
  return out;
}

void TkxSkinContent::InitMaskIndexes() {
  const int global = GetSkinIndex(kGlobalInfo);
  for (size_t i = 0; i < gd.size(); ++i) {
    if (static_cast<int>(i) == global) continue;
    TsGeneralData& g = gd[i];
    const int si = static_cast<int>(i);
    g.BorderIndex = GetMaskIndex(si, g.ClassName, L"BORDERSMASK");
    g.ImgTL = GetMaskIndex(si, g.ClassName, L"IMGTOPLEFT");
    g.ImgTR = GetMaskIndex(si, g.ClassName, L"IMGTOPRIGHT");
    g.ImgBL = GetMaskIndex(si, g.ClassName, L"IMGBTMLEFT");
    g.ImgBR = GetMaskIndex(si, g.ClassName, L"IMGBTMRIGHT");
  }
}

void TkxSkinContent::InitConstantIndexes() {
  TConstantSkinData& c = ConstData;
  c = TConstantSkinData{};
  auto idx = [this](const wchar_t* s) { return static_cast<int16_t>(GetSkinIndex(s)); };
  auto mask = [this](int si, const wchar_t* s, const wchar_t* key) {
    return static_cast<int16_t>(GetMaskIndex(si, s, key));
  };
  c.IndexGLobalInfo = idx(L"GLOBALINFO");
  const int gi = c.IndexGLobalInfo;
  c.ExBorder = mask(gi, L"GLOBALINFO", L"EXBORDER");

  const wchar_t* tabs[4] = {L"TABTOP", L"TABBOTTOM", L"TABLEFT", L"TABRIGHT"};
  int16_t* tabIndex[4] = {&c.IndexTabTop, &c.IndexTabBottom, &c.IndexTabLeft, &c.IndexTabRight};
  int16_t* tabMask[4] = {&c.MaskTabTop, &c.MaskTabBottom, &c.MaskTabLeft, &c.MaskTabRight};
  for (int i = 0; i < 4; ++i) {
    *tabIndex[i] = idx(tabs[i]);
    *tabMask[i] = mask(*tabIndex[i], tabs[i], L"BORDERSMASK");
  }

  const wchar_t* btns[4] = {L"SCROLLBTNTOP", L"SCROLLBTNBOTTOM", L"SCROLLBTNLEFT", L"SCROLLBTNRIGHT"};
  int16_t* btnIndex[4] = {&c.IndexScrollTop, &c.IndexScrollBottom, &c.IndexScrollLeft, &c.IndexScrollRight};
  int16_t* btnMask[4] = {&c.MaskScrollTop, &c.MaskScrollBottom, &c.MaskScrollLeft, &c.MaskScrollRight};
  int16_t* btnBG[4] = {&c.IndexBGScrollTop, &c.IndexBGScrollBottom, &c.IndexBGScrollLeft, &c.IndexBGScrollRight};
  int16_t* btnHot[4] = {&c.IndexBGHotScrollTop, &c.IndexBGHotScrollBottom, &c.IndexBGHotScrollLeft,
                        &c.IndexBGHotScrollRight};
  int16_t* btnArrow[4] = {&c.MaskArrowTop, &c.MaskArrowBottom, &c.MaskArrowLeft, &c.MaskArrowRight};
  for (int i = 0; i < 4; ++i) {
    const int si = *btnIndex[i] = idx(btns[i]);
    *btnMask[i] = mask(si, btns[i], L"BORDERSMASK");
    *btnBG[i] = mask(si, btns[i], L"PATTERN");
    *btnHot[i] = mask(si, btns[i], L"HOTPATTERN");
    *btnArrow[i] = mask(si, btns[i], L"GLYPHMASK");
  }

  c.IndexSliderVert = idx(L"SCROLLSLIDERV");
  c.IndexSliderHorz = idx(L"SCROLLSLIDERH");
  c.MaskSliderVert = mask(c.IndexSliderVert, L"SCROLLSLIDERV", L"BORDERSMASK");
  c.MaskSliderHorz = mask(c.IndexSliderHorz, L"SCROLLSLIDERH", L"BORDERSMASK");
  c.MaskSliderGlyphVert = mask(c.IndexSliderVert, L"SCROLLSLIDERV", L"GLYPHMASK");
  c.MaskSliderGlyphHorz = mask(c.IndexSliderHorz, L"SCROLLSLIDERH", L"GLYPHMASK");
  c.ScrollSliderBGHorz = mask(c.IndexSliderHorz, L"SCROLLSLIDERH", L"PATTERN");
  c.ScrollSliderBGHotHorz = mask(c.IndexSliderHorz, L"SCROLLSLIDERH", L"HOTPATTERN");
  c.ScrollSliderBGVert = mask(c.IndexSliderVert, L"SCROLLSLIDERV", L"PATTERN");
  c.ScrollSliderBGHotVert = mask(c.IndexSliderVert, L"SCROLLSLIDERV", L"HOTPATTERN");

  const wchar_t* bars[4] = {L"SCROLLBAR1H", L"SCROLLBAR1V", L"SCROLLBAR2H", L"SCROLLBAR2V"};
  int16_t* barIndex[4] = {&c.IndexScrollBar1H, &c.IndexScrollBar1V, &c.IndexScrollBar2H, &c.IndexScrollBar2V};
  int16_t* barMask[4] = {&c.MaskScrollBar1H, &c.MaskScrollBar1V, &c.MaskScrollBar2H, &c.MaskScrollBar2V};
  int16_t* barBG[4] = {&c.BGScrollBar1H, &c.BGScrollBar1V, &c.BGScrollBar2H, &c.BGScrollBar2V};
  int16_t* barHot[4] = {&c.BGHotScrollBar1H, &c.BGHotScrollBar1V, &c.BGHotScrollBar2H, &c.BGHotScrollBar2V};
  for (int i = 0; i < 4; ++i) {
    const int si = *barIndex[i] = idx(bars[i]);
    *barMask[i] = mask(si, bars[i], L"BORDERSMASK");
    *barBG[i] = mask(si, bars[i], L"PATTERN");
    *barHot[i] = mask(si, bars[i], L"HOTPATTERN");
  }

  c.CheckBoxChecked = mask(gi, L"GLOBALINFO", L"BOXCHECKED");
  c.CheckBoxUnChecked = mask(gi, L"GLOBALINFO", L"BOXUNCHECKED");
  c.CheckBoxGrayed = mask(gi, L"GLOBALINFO", L"BOXGRAYED");
  c.RadioButtonChecked = mask(gi, L"GLOBALINFO", L"RADIOCHECKED");
  c.RadioButtonUnChecked = mask(gi, L"GLOBALINFO", L"RADIOUNCHECKED");
  c.RadioButtonGrayed = mask(gi, L"GLOBALINFO", L"RADIOGRAYED");
  c.SmallCheckBoxChecked = mask(gi, L"GLOBALINFO", L"SMALLCHECKED");
  c.SmallCheckBoxUnChecked = mask(gi, L"GLOBALINFO", L"SMALLUNCHECKED");
  c.SmallCheckBoxGrayed = mask(gi, L"GLOBALINFO", L"SMALLGRAYED");

  c.ComboBtnIndex = GetSkinIndex(L"COMBOBTN");
  c.ComboBtnBorder = GetMaskIndex(L"COMBOBTN", L"BORDERSMASK");
  c.ComboBtnBG = GetTextureIndex(c.ComboBtnIndex, L"COMBOBTN", L"PATTERN");
  c.ComboBtnBGHot = GetTextureIndex(c.ComboBtnIndex, L"COMBOBTN", L"HOTPATTERN");
  c.ComboGlyph = GetMaskIndex(L"COMBOBOX", L"GLYPHMASK");

  InitMaskIndexes();
}

void TkxSkinContent::Clear() {
  gd.clear();
  FSkinIndexCount = size_t(-1);
  ma.clear();
  FMaskIndexCount = size_t(-1);
  pa.clear();
  MasterBitmap.reset();
  SkinData = TsSkinData{};
  SkinIsPacked = false;
  InitConstantIndexes();
}

// --- Masks and patterns ------------------------------------------------------

template <class Match>
int TkxSkinContent::SearchWithParents(int SkinIndex, const String& SectionName, const String& PropertyName,
                                      Match match) const {
  String section = SectionName;
  // The depth limit ends PARENTCLASS cycles (A names B, B names A).
  for (int depth = 0; depth < kxMaxInheritDepth; ++depth) {
    if (SkinIndex < 0 || section.empty()) return -1;
    int found = match(section, PropertyName);
    if (found >= 0) return found;
    if (SkinIndex >= static_cast<int>(gd.size())) return -1;
    const String parent = gd[SkinIndex].ParentClass;
    if (parent.empty() || parent == section) return -1;
    SkinIndex = GetSkinIndex(parent);
    section = parent;
  }
  return -1;
}

int TkxSkinContent::GetMaskIndex(int SkinIndex, const String& SectionName, const String& PropertyName) const {
  return SearchWithParents(SkinIndex, SectionName, PropertyName,
                           [this](const String& s, const String& p) { return GetMaskIndex(s, p); });
}

int TkxSkinContent::GetMaskIndex(const String& SectionName, const String& PropertyName) const {
  if (SectionName.empty()) return -1;
  // Indexed by section name: loads look masks up thousands of times.
  if (FMaskIndexCount != ma.size()) {
    FMaskIndex.clear();
    for (size_t i = 0; i < ma.size(); ++i) FMaskIndex[ma[i].ClassName].emplace(ma[i].PropertyName, static_cast<int>(i));
    FMaskIndexCount = ma.size();
  }
  auto it = FMaskIndex.find(SectionName);
  if (it == FMaskIndex.end()) return -1;
  auto key = it->second.find(PropertyName);
  return key == it->second.end() ? -1 : key->second;
}

int TkxSkinContent::GetTextureIndex(int SkinIndex, const String& SectionName, const String& PropertyName) const {
  return SearchWithParents(SkinIndex, SectionName, PropertyName, [this](const String& s, const String& p) {
    for (size_t i = 0; i < ma.size(); ++i)
      if (ma[i].ImgType == itisaTexture && ma[i].ClassName == s && ma[i].PropertyName == p) return static_cast<int>(i);
    return -1;
  });
}

int TkxSkinContent::GetPatternIndex(int SkinIndex, const String& SectionName,
                                    const String& PropertyName) const noexcept {
  try {
    return SearchWithParents(SkinIndex, SectionName, PropertyName, [this](const String& s, const String& p) {
      for (size_t i = 0; i < pa.size(); ++i)
        if (pa[i].ClassName == s && pa[i].PropertyName == p) return static_cast<int>(i);
      return -1;
    });
  } catch (...) { return -1; }
}

tk::TSize TkxSkinContent::MaskSize(int MaskIndex) const {
  if (!IsValidImgIndex(MaskIndex)) return {};
  const TsMaskData& m = ma[MaskIndex];
  if (m.Bmp) return {m.Bmp->Width() / 3, m.Bmp->Height() / 2};
  return {DivOrZero(m.R.Width(), m.ImageCount), DivOrZero(m.R.Height(), m.MaskType + 1)};
}

int TkxSkinContent::MaskWidthLeft(int MaskIndex) const {
  if (!IsValidImgIndex(MaskIndex)) return 0;
  const TsMaskData& m = ma[MaskIndex];
  if (m.WL > 0) return m.WL;
  if (m.BorderWidth > 0) return m.BorderWidth;
  // A zero state count reads as one state.
  return m.R.Width() / (m.ImageCount == 0 ? 1 : m.ImageCount);
}

int TkxSkinContent::MaskWidthRight(int MaskIndex) const {
  if (!IsValidImgIndex(MaskIndex)) return 0;
  const TsMaskData& m = ma[MaskIndex];
  if (m.WR > 0) return m.WR;
  if (m.BorderWidth > 0) return m.BorderWidth;
  return DivOrZero(m.R.Width(), m.ImageCount);
}

int TkxSkinContent::MaskWidthTop(int MaskIndex) const {
  if (!IsValidImgIndex(MaskIndex)) return 0;
  const TsMaskData& m = ma[MaskIndex];
  if (m.WT > 0) return m.WT;
  if (m.BorderWidth > 0) return m.BorderWidth;
  return DivOrZero(m.R.Height(), m.MaskType + 1);
}

int TkxSkinContent::MaskWidthBottom(int MaskIndex) const {
  if (!IsValidImgIndex(MaskIndex)) return 0;
  const TsMaskData& m = ma[MaskIndex];
  if (m.WB > 0) return m.WB;
  if (m.BorderWidth > 0) return m.BorderWidth;
  return DivOrZero(m.R.Height(), m.MaskType + 1);
}

}  // namespace kx
