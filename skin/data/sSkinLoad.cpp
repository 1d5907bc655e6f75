// TkxSkinLoad: the order of a skin load, the skin-wide record, the merge of
// common sections and the colour adjustment at its end.
#include "skin/data/sSkinLoad.h"

#include <algorithm>
#include <cstring>

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

// Hue first, then saturation, each only when not 0, over the pictures, the
// section colours and the skin-wide colours.
void AdjustColors(TkxSkinContent& C, int HueOffset, int Saturation) {
  auto sections = [&C](auto& op) {
    for (TsGeneralData& g : C.gd) {
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
    C.SkinData.Shadow1Color = op(C.SkinData.Shadow1Color);
    C.SkinData.BorderColor = op(C.SkinData.BorderColor);
  };
  // Own bitmaps: 32-bit ones keep alpha and skip grey; others are made 24-bit.
  auto ownBitmaps = [&C](auto& op, const std::vector<bool>& skip, bool skipGrey24) {
    for (size_t i = 0; i < C.ma.size(); ++i) {
      tk::TBitmap* b = C.ma[i].Bmp.get();
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
    std::vector<bool> skip(C.ma.size(), false);
    std::vector<TSavedRect> saved;
    if (C.SkinData.BIKeepHUE != 0) {
      std::vector<String> names = {L"BICONCLOSE", L"SICONCLOSE"};
      if (C.SkinData.BIKeepHUE == 1)
        for (const wchar_t* n :
             {L"BICONMAX", L"BICONMIN", L"BICONNORM", L"BICONHELP", L"SICONMAX", L"SICONMIN", L"SICONNORM"})
          names.push_back(n);
      for (const String& n : names) {
        int m = C.GetMaskIndex(kGlobalInfo, n);
        if (m >= 0) {
          if (C.ma[m].Bmp) skip[m] = true;
          else if (C.MasterBitmap) saved.push_back(SaveRect(*C.MasterBitmap, C.ma[m].R));
        }
        int glow = C.GetMaskIndex(kGlobalInfo, n + L"GLOW0");
        if (glow >= 0 && C.ma[glow].Bmp) skip[glow] = true;
      }
    }
    if (C.MasterBitmap && !C.MasterBitmap->Empty()) {
      AdjustPixels(*C.MasterBitmap, true, hue);
      for (const TSavedRect& s : saved) RestoreRect(*C.MasterBitmap, s);
    }
    ownBitmaps(hue, skip, false);
    sections(hue);
  }
  const int amount = (-Saturation) % 101;
  if (Saturation != 0 && amount != 0) {
    TColorMemo sat([amount](tk::TColor c) { return ShiftSaturation(c, amount); });
    if (C.MasterBitmap && !C.MasterBitmap->Empty()) AdjustPixels(*C.MasterBitmap, true, sat);
    ownBitmaps(sat, std::vector<bool>(C.ma.size(), false), true);
    sections(sat);
  }
}

void CheckVersion(const TsSkinData& Data) {
  if (Data.Version > 6.99) Notify(kxNewerSkinMessage);
}

}  // namespace

TkxSkinLoad::TkxSkinLoad(TkxLoadSettings Settings, std::vector<TkxLoadProblem>* Problems)
    : FSettings(std::move(Settings)), FProblems(Problems), FCommon(SplitCommonSections(FSettings.CommonSections)) {}

std::unique_ptr<TkxSkinContent> TkxSkinLoad::FromOptions(const tk::TMemIniFile& Options,
                                                         const TkxSkinConvertor* Packed) {
  FContent = std::make_unique<TkxSkinContent>();
  TkxSkinContent& c = *FContent;
  c.SkinIsPacked = Packed != nullptr;
  c.SkinData.SkinPath = FSettings.SkinPath;
  // Every pass reads the options' keys; they are listed once.
  const TkxOptionKeys keys = ReadAllKeys(Options);
  TkxPictureLoad pictures{Packed, FSettings.SkinPath, FSettings.MaxPicturePixels, 0, FProblems};
  try {
    LoadAllMasks(c, pictures, Options, keys, FCommon);
    LoadAllPatterns(c, pictures, keys, FCommon);
    ReadSkinWide(Options);
    c.gd = ReadSections(keys);
    return Finish();
  } catch (const tk::EConvertError& e) {
    // The toolkit's conversion error quotes the skin's value as it is.
    throw tk::EConvertError(EscapeSkinText(e.Message()));
  }
}

std::unique_ptr<TkxSkinContent> TkxSkinLoad::FromPacked(tk::TStream* Data) {
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
  return FromOptions(*options, &conv);
}

std::unique_ptr<TkxSkinContent> TkxSkinLoad::FromFolder() {
  String file = FindFileNoCase(FSettings.SkinPath + L"Options.dat");
  if (file.empty()) throw EkxSkinError(L"There is no Options.dat in " + FSettings.SkinPath);
  auto options = ReadOptionsFile(file);
  return FromOptions(*options, nullptr);
}

std::unique_ptr<TkxSkinContent> TkxSkinLoad::FromStored(const TsStoredSkin& Skin) {
  if (Skin.IsPacked()) {
    FSettings.SkinPath.clear();
    return FromPacked(Skin.PackedData.get());
  }
  FContent = std::make_unique<TkxSkinContent>();
  TkxSkinContent& c = *FContent;
  LoadAllMasks(c, Skin);
  LoadAllPatterns(c, Skin);
  ReadSkinWide(Skin);
  for (const TsSkinGeneral& s : Skin.GeneralData) c.gd.push_back(SectionFromItem(s));
  return Finish();
}

void TkxSkinLoad::ReadSkinWide(const tk::TMemIniFile& Options) {
  TsSkinData& d = FContent->SkinData;
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
  CheckVersion(d);
}

void TkxSkinLoad::ReadSkinWide(const TsStoredSkin& Skin) {
  TsSkinData& d = FContent->SkinData;
  d.Version = Skin.Version;
  d.Author = Skin.Author;
  d.Description = Skin.Description;
  d.Shadow1Color = Skin.Shadow1Color;
  d.Shadow1Offset = static_cast<int16_t>(Skin.Shadow1Offset);
  d.Shadow1Blur = static_cast<int16_t>(Skin.Shadow1Blur);
  d.Shadow1Transparency = static_cast<int16_t>(Skin.Shadow1Transparency);
  d.BorderColor = Skin.BorderColor;
  CheckVersion(d);
}

std::unique_ptr<TkxSkinContent> TkxSkinLoad::Finish() {
  MergeCommonSections();
  AdjustColors(*FContent, FSettings.HueOffset, FSettings.Saturation);
  // The section mask indexes come with the constant ones.
  FContent->InitConstantIndexes();
  return std::move(FContent);
}

void TkxSkinLoad::MergeCommonSections() {
  std::vector<TsGeneralData>& gd = FContent->gd;
  for (const TkxCommonSection& cs : FCommon) {
    // A section the skin already has stays as the skin wrote it.
    if (FContent->GetSkinIndex(cs.Name) >= 0) continue;
    // The base is the first section whose name, upper-cased, is the parent's.
    const TkxCommonSection::TKey* p = cs.Find(L"PARENTCLASS");
    const String parent = p ? tk::UpperCaseAscii(p->Value) : String(L"-1");
    const TsGeneralData* base = nullptr;
    for (const TsGeneralData& e : gd)
      if (tk::UpperCaseAscii(e.ClassName) == parent) {
        base = &e;
        break;
      }
    static const TsGeneralData kNoBase{};
    gd.push_back(SectionFromCommon(cs, base ? *base : kNoBase));
  }
}

}  // namespace kx
