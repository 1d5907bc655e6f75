// Section records, constant indexes, the colour adjustment and the whole-skin
// loads of TkxSkinContent; the internal-skin helpers (extract, SaveToIni).
#include "skin/data/sSkinData.h"

#include <array>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "skin/data/kxFileLookup.h"
#include "skin/data/kxNotifier.h"
#include "skin/data/kxSkinError.h"
#include "skin/data/sSectionSchema.h"
#include "skin/paint/sAlphaGraph.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

const String kGlobalInfo = L"GLOBALINFO";

size_t CountWords(const String& s, wchar_t sep) {
  size_t n = 0;
  bool in = false;
  for (wchar_t c : s) {
    if (c == sep) in = false;
    else if (!in) in = true, ++n;
  }
  return n;
}

// Remembers the answers of a colour operation: skins have few colours, and
// the HSV arithmetic per pixel is what a hue change costs.
template <class Op>
class TColorMemo {
 public:
  explicit TColorMemo(Op op) : FOp(op) {}
  tk::TColor operator()(tk::TColor c) {
    uint32_t h = (static_cast<uint32_t>(c) * 2654435761u) >> 20;  // 12 bits
    // A separate mark, not a reserved key: every 32-bit value is some colour
    // (-1 among them, read from "SHADOW1COLOR=-1").
    if (!FUsed[h] || FKeys[h] != c) FUsed[h] = true, FKeys[h] = c, FValues[h] = FOp(c);
    return FValues[h];
  }

 private:
  Op FOp;
  bool FUsed[4096] = {};
  tk::TColor FKeys[4096];
  tk::TColor FValues[4096];
};

bool IsGrey(const uint8_t* p) { return p[0] == p[1] && p[1] == p[2]; }
bool IsMagenta(const uint8_t* p) { return p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF; }

template <class Op>
void AdjustPixels(tk::TBitmap& bmp, bool skipGrey, Op& op) {
  const int bpp = bmp.PixelFormat() == tk::TPixelFormat::pf32bit ? 4 : 3;
  for (int y = 0; y < bmp.Height(); ++y) {
    uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x, p += bpp) {
      if (IsMagenta(p) || (skipGrey && IsGrey(p))) continue;
      tk::TColor c = op(tk::RGBColor(p[2], p[1], p[0]));
      p[0] = tk::GetBValue(c), p[1] = tk::GetGValue(c), p[2] = tk::GetRValue(c);
    }
  }
}

// A rectangle of the master bitmap kept aside while the rest is recoloured.
struct TSavedRect {
  tk::TRect R;
  std::vector<uint8_t> Pixels;
};

TSavedRect SaveRect(tk::TBitmap& bmp, const tk::TRect& r) {
  TSavedRect s;
  if (!tk::IntersectRect(s.R, r, tk::Rect(0, 0, bmp.Width(), bmp.Height()))) return s;
  const size_t row = static_cast<size_t>(s.R.Width()) * 3;
  for (int y = s.R.Top; y < s.R.Bottom; ++y) {
    const uint8_t* p = bmp.ScanLine(y) + s.R.Left * 3;
    s.Pixels.insert(s.Pixels.end(), p, p + row);
  }
  return s;
}

void RestoreRect(tk::TBitmap& bmp, const TSavedRect& s) {
  const size_t row = static_cast<size_t>(s.R.Width()) * 3;
  const uint8_t* src = s.Pixels.data();
  for (int y = s.R.Top; y < s.R.Bottom && !s.Pixels.empty(); ++y, src += row)
    std::memcpy(bmp.ScanLine(y) + s.R.Left * 3, src, row);
}

}  // namespace

void TkxSkinContent::Problem(const String& Section, const String& Key, const String& Text) const {
  if (Problems) Problems->push_back({Section, Key, Text});
}

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

void TkxSkinContent::LoadAllGeneralData(const tk::TMemIniFile& Options, const TkxLoadSettings& Settings) {
  TsSkinData& d = SkinData;
  const tk::TMemIniFile& o = Options;
  auto i16 = [&](const wchar_t* key, int def) { return static_cast<int16_t>(o.ReadInteger(kGlobalInfo, key, def)); };
  auto strict = [&](const wchar_t* key, const wchar_t* def) {
    return static_cast<int16_t>(tk::StrToInt(o.ReadString(kGlobalInfo, key, def)));
  };
  d.Version = o.ReadFloat(kGlobalInfo, L"VERSION", 0);
  d.Author = o.ReadString(kGlobalInfo, L"AUTHOR", String());
  d.Description = o.ReadString(kGlobalInfo, L"DESCRIPTION", String());
  d.ExBorderWidth = i16(L"BORDERWIDTH", 4);
  d.ExTitleHeight = i16(L"TITLEHEIGHT", 30);
  d.ExMaxHeight = i16(L"MAXHEIGHT", 0);
  if (d.ExMaxHeight == 0) d.ExMaxHeight = d.ExTitleHeight;
  d.ExContentOffs = i16(L"FORMOFFSET", 8);
  d.ExCenterOffs = i16(L"CENTEROFFSET", 0);
  d.ExDrawMode = i16(L"BORDERMODE", 0);
  d.Shadow1Color = o.ReadInteger(kGlobalInfo, L"SHADOW1COLOR", 0);
  d.Shadow1Offset = strict(L"SHADOW1OFFSET", L"0");
  d.Shadow1Blur = strict(L"SHADOW1BLUR", L"-1");
  d.Shadow1Transparency = strict(L"SHADOW1TRANSPARENCY", L"0");
  d.BISpacing = i16(L"BISPACE", 0);
  d.BIVAlign = i16(L"BIVALIGN", 0);
  d.BIRightMargin = i16(L"BIRIGHT", 0);
  d.BILeftMargin = i16(L"BILEFT", 0);
  d.BITopMargin = i16(L"BITOP", 0);
  d.BorderColor = o.ReadInteger(kGlobalInfo, L"BORDERCOLOR", 0);
  d.BIKeepHUE = i16(L"BIKEEPHUE", 0);
  d.BICloseGlow = strict(L"BICONCLOSEGLOW", L"0");
  d.BICloseGlowMargin = strict(L"BICONCLOSEGLOWMARGIN", L"0");
  d.BIMaxGlow = strict(L"BICONMAXGLOW", L"0");
  d.BIMaxGlowMargin = strict(L"BICONMAXGLOWMARGIN", L"0");
  d.BIMinGlow = strict(L"BICONMINGLOW", L"0");
  d.BIMinGlowMargin = strict(L"BICONMINGLOWMARGIN", L"0");
  CheckVersion();

  TkxOptionKeys own;
  const TkxOptionKeys& keys = FKeys ? *FKeys : (own = ReadAllKeys(o));
  gd = ReadSections(keys);
  FSkinIndexCount = size_t(-1);
  FinishGeneralData(Settings);
}

void TkxSkinContent::LoadAllGeneralData(const TsStoredSkin& Skin, const TkxLoadSettings& Settings) {
  SkinData.Version = Skin.Version;
  SkinData.Author = Skin.Author;
  SkinData.Description = Skin.Description;
  SkinData.Shadow1Color = Skin.Shadow1Color;
  SkinData.Shadow1Offset = static_cast<int16_t>(Skin.Shadow1Offset);
  SkinData.Shadow1Blur = static_cast<int16_t>(Skin.Shadow1Blur);
  SkinData.Shadow1Transparency = static_cast<int16_t>(Skin.Shadow1Transparency);
  SkinData.BorderColor = Skin.BorderColor;
  CheckVersion();
  gd.clear();
  FSkinIndexCount = size_t(-1);
  for (const TsSkinGeneral& s : Skin.GeneralData) gd.push_back(SectionFromItem(s));
  FinishGeneralData(Settings);
}

void TkxSkinContent::FinishGeneralData(const TkxLoadSettings& Settings) {
  MergeCommonSections(Settings);
  if (!FWholeLoad) InitMaskIndexes();
  ApplyColorAdjustment(Settings.HueOffset, Settings.Saturation);
}

void TkxSkinContent::MergeCommonSections(const TkxLoadSettings& Settings) {
  for (const TkxCommonSection& cs : SplitCommonSections(Settings.CommonSections)) {
    // A section the skin already has stays as the skin wrote it.
    if (GetSkinIndex(cs.Name) >= 0) continue;
    // The base is the first section whose name, upper-cased, is the parent's.
    const TkxCommonSection::TKey* p = cs.Find(L"PARENTCLASS");
    const String parent = p ? tk::UpperCaseAscii(p->Value) : String(L"-1");
    const TsGeneralData* base = nullptr;
    for (const TsGeneralData& e : gd)
      if (tk::UpperCaseAscii(e.ClassName) == parent) {
        base = &e;
        break;
      }
    TsGeneralData g = SectionFromCommon(cs, base ? *base : TsGeneralData{});
    gd.push_back(std::move(g));
    FSkinIndexCount = size_t(-1);
  }
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

void TkxSkinContent::CheckVersion() const {
  if (SkinData.Version > 6.99) Notify(kxNewerSkinMessage);
}

// --- Colour adjustment -------------------------------------------------------

void TkxSkinContent::ApplyColorAdjustment(int HueOffset, int Saturation) {
  auto sections = [this](auto& op) {
    for (TsGeneralData& g : gd) {
      g.Color = op(g.Color);
      g.HotColor = op(g.HotColor);
      g.GlowColor = op(g.GlowColor);
      g.HotGlowColor = op(g.HotGlowColor);
      for (int i = 0; i < 5; ++i) {
        if (g.FontColor[i] != -1) g.FontColor[i] = op(g.FontColor[i]);
        if (g.HotFontColor[i] != -1) g.HotFontColor[i] = op(g.HotFontColor[i]);
      }
      size_t bands = std::min(CountWords(g.GradientData, L';') / 5, g.GradientArray.size());
      for (size_t i = 0; i < bands; ++i) {
        g.GradientArray[i].Color1 = op(g.GradientArray[i].Color1);
        g.GradientArray[i].Color2 = op(g.GradientArray[i].Color2);
      }
      for (TsGradPie& b : g.HotGradientArray) {
        b.Color1 = op(b.Color1);
        b.Color2 = op(b.Color2);
      }
    }
    SkinData.Shadow1Color = op(SkinData.Shadow1Color);
    SkinData.BorderColor = op(SkinData.BorderColor);
  };
  // Own bitmaps: 32-bit ones keep alpha and skip grey; others are made 24-bit.
  auto ownBitmaps = [this](auto& op, const std::vector<bool>& skip, bool skipGrey24) {
    for (size_t i = 0; i < ma.size(); ++i) {
      tk::TBitmap* b = ma[i].Bmp.get();
      if (!b || b->Empty() || skip[i]) continue;
      if (b->PixelFormat() == tk::TPixelFormat::pf32bit) {
        AdjustPixels(*b, true, op);
      } else {
        b->SetPixelFormat(tk::TPixelFormat::pf24bit);
        AdjustPixels(*b, skipGrey24, op);
      }
    }
  };

  if (HueOffset != 0) {
    TColorMemo hue([HueOffset](tk::TColor c) { return RotateHue(HueOffset, c); });
    std::vector<bool> skip(ma.size(), false);
    std::vector<TSavedRect> saved;
    if (SkinData.BIKeepHUE != 0) {
      std::vector<String> names = {L"BICONCLOSE", L"SICONCLOSE"};
      if (SkinData.BIKeepHUE == 1)
        for (const wchar_t* n : {L"BICONMAX", L"BICONMIN", L"BICONNORM", L"BICONHELP", L"SICONMAX", L"SICONMIN",
                                 L"SICONNORM"})
          names.push_back(n);
      for (const String& n : names) {
        int m = GetMaskIndex(kGlobalInfo, n);
        if (m >= 0) {
          if (ma[m].Bmp)
            skip[m] = true;
          else if (MasterBitmap)
            saved.push_back(SaveRect(*MasterBitmap, ma[m].R));
        }
        int glow = GetMaskIndex(kGlobalInfo, n + L"GLOW0");
        if (glow >= 0 && ma[glow].Bmp) skip[glow] = true;
      }
    }
    if (MasterBitmap && !MasterBitmap->Empty()) {
      AdjustPixels(*MasterBitmap, true, hue);
      for (const TSavedRect& s : saved) RestoreRect(*MasterBitmap, s);
    }
    ownBitmaps(hue, skip, false);
    sections(hue);
  }
  const int amount = (-Saturation) % 101;
  if (Saturation != 0 && amount != 0) {
    TColorMemo sat([amount](tk::TColor c) { return ShiftSaturation(c, amount); });
    if (MasterBitmap && !MasterBitmap->Empty()) AdjustPixels(*MasterBitmap, true, sat);
    ownBitmaps(sat, std::vector<bool>(ma.size(), false), true);
    sections(sat);
  }
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

// --- Whole loads -------------------------------------------------------------

std::unique_ptr<TkxSkinContent> TkxSkinContent::Load(const tk::TMemIniFile& Options, const TkxSkinConvertor* Packed,
                                                     const TkxLoadSettings& Settings,
                                                     std::vector<TkxLoadProblem>* Problems) {
  auto c = std::make_unique<TkxSkinContent>();
  c->Problems = Problems;
  c->SkinIsPacked = Packed != nullptr;
  c->SkinData.SkinPath = Settings.SkinPath;
  const TkxOptionKeys keys = ReadAllKeys(Options);
  c->FKeys = &keys;
  c->FWholeLoad = true;
  try {
    c->LoadAllMasks(Options, Packed, Settings);
    c->LoadAllPatterns(Options, Packed, Settings);
    c->LoadAllGeneralData(Options, Settings);
  } catch (const tk::EConvertError& e) {
    // The toolkit's conversion error quotes the skin's value as it is.
    throw tk::EConvertError(EscapeSkinText(e.Message()));
  }
  c->InitConstantIndexes();
  c->FWholeLoad = false;
  c->FKeys = nullptr;
  c->Problems = nullptr;
  return c;
}

std::unique_ptr<TkxSkinContent> TkxSkinContent::LoadPacked(tk::TStream* Data, const TkxLoadSettings& Settings,
                                                           std::vector<TkxLoadProblem>* Problems) {
  TkxSkinConvertor conv;
  conv.LendPackedData(Data);
  try {
    conv.Unpack();
  } catch (...) {
    conv.ReturnPackedData();
    throw;
  }
  conv.ReturnPackedData();
  if (!conv.Options) throw EkxSkinError(L"The packed skin holds no Options.dat");
  auto options = ReadOptions(conv.Options.get());
  return Load(*options, &conv, Settings, Problems);
}

std::unique_ptr<TkxSkinContent> TkxSkinContent::LoadFolder(const TkxLoadSettings& Settings,
                                                           std::vector<TkxLoadProblem>* Problems) {
  String file = FindFileNoCase(Settings.SkinPath + L"Options.dat");
  if (file.empty()) throw EkxSkinError(L"There is no Options.dat in " + Settings.SkinPath);
  auto options = ReadOptionsFile(file);
  return Load(*options, nullptr, Settings, Problems);
}

std::unique_ptr<TkxSkinContent> TkxSkinContent::LoadStored(const TsStoredSkin& Skin,
                                                           const TkxLoadSettings& Settings,
                                                           std::vector<TkxLoadProblem>* Problems) {
  if (Skin.IsPacked()) {
    TkxLoadSettings s = Settings;
    s.SkinPath.clear();
    return LoadPacked(Skin.PackedData.get(), s, Problems);
  }
  auto c = std::make_unique<TkxSkinContent>();
  c->Problems = Problems;
  c->FWholeLoad = true;
  c->LoadAllMasks(Skin);
  c->LoadAllPatterns(Skin);
  c->LoadAllGeneralData(Skin, Settings);
  c->InitConstantIndexes();
  c->FWholeLoad = false;
  c->Problems = nullptr;
  return c;
}

}  // namespace kx
