// The picture passes of a skin load: the masks and patterns named by the
// options file (the seven value notations) or carried by an internal skin.
#include "skin/data/sSkinImages.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "skin/data/kxBmpReader.h"
#include "skin/data/kxFileLookup.h"
#include "skin/data/kxJpegReader.h"
#include "skin/data/kxPngReader.h"
#include "skin/data/kxSkinError.h"
#include "skin/data/kxSkinPack.h"
#include "skin/data/sSkinData.h"
#include "skin/framework/kxColors.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

const String kGlobalInfo = L"GLOBALINFO";

enum class TPicKind { Bmp, Png, Jpeg };

// Where the pictures of the skin being loaded come from: the image entries of
// a packed skin, or the files of a folder skin.
class TPictureSource {
 public:
  explicit TPictureSource(TkxPictureLoad& Load)
      : FPacked(Load.Packed), FPath(Load.SkinPath), FMaxPixels(Load.MaxPixels), FDecoded(Load.DecodedPixels) {}

  // Decodes the picture Name; null when it does not exist. Damaged data
  // raises, naming the picture.
  std::unique_ptr<tk::TBitmap> Load(const String& Name, TPicKind Kind) const {
    const uint8_t* data = nullptr;
    size_t size = 0;
    tk::TMemoryStream file;
    if (FPacked) {
      tk::TMemoryStream* s = FPacked->FindImage(Name);
      if (!s) return nullptr;
      data = s->Memory();
      size = static_cast<size_t>(s->Size());
    } else {
      // A name with a drive is a path of its own.
      String path = Name.find(L':') != String::npos ? Name : FPath + Name;
      path = FindFileNoCase(path);
      if (path.empty()) return nullptr;
      LoadSkinFile(path, file);
      data = file.Memory();
      size = static_cast<size_t>(file.Size());
    }
    std::unique_ptr<tk::TBitmap> bmp;
    try {
      switch (Kind) {
        case TPicKind::Bmp: bmp = ReadBmp(data, size); break;
        case TPicKind::Png:
          bmp = ReadPng(data, size);
          ClearWhiteTransparent(*bmp);
          break;
        case TPicKind::Jpeg: bmp = ReadJpeg(data, size); break;
      }
    } catch (const tk::Exception& e) {
      throw tk::EInvalidGraphic(L"Skin picture \"" + EscapeSkinText(Name) + L"\" can't be read. " + e.Message());
    }
    if (bmp) FDecoded += int64_t(bmp->Width()) * bmp->Height();
    if (FDecoded > FMaxPixels)
      throw EkxSkinError(L"The skin's pictures hold more than " + tk::IntToStr(FMaxPixels) +
                         L" pixels in all (the last one read was \"" + EscapeSkinText(Name) + L"\")");
    return bmp;
  }

  // Every pure white pixel with alpha 0 becomes all zero: such pixels are
  // invisible anyway, and the layered windows take colour as premultiplied.
  static void ClearWhiteTransparent(tk::TBitmap& bmp) {
    if (bmp.PixelFormat() != tk::TPixelFormat::pf32bit) return;
    const uint8_t white[4] = {0xFF, 0xFF, 0xFF, 0};
    uint32_t key;
    std::memcpy(&key, white, 4);
    for (int y = 0; y < bmp.Height(); ++y) {
      uint8_t* row = bmp.ScanLine(y);
      for (int x = 0; x < bmp.Width(); ++x) {
        uint32_t px;
        std::memcpy(&px, row + 4 * x, 4);
        if (px == key) std::memset(row + 4 * x, 0, 4);
      }
    }
  }

 private:
  const TkxSkinConvertor* FPacked;
  String FPath;
  int64_t FMaxPixels;
  int64_t& FDecoded;
};

// Copy(p, n) of the notations: n characters from position p (from 1), as a
// strict decimal integer; a short value gives an empty text and so the error.
int CopyInt(const String& v, size_t p, size_t n) {
  // Plain digits, by far the common case, are read in place; anything else
  // goes through the toolkit's conversion for its rules and its error.
  if (p - 1 < v.size() && n <= 9) {
    const wchar_t* d = v.data() + (p - 1);
    const size_t len = std::min(n, v.size() - (p - 1));
    int r = 0;
    size_t i = 0;
    for (; i < len && d[i] >= L'0' && d[i] <= L'9'; ++i) r = r * 10 + (d[i] - L'0');
    if (i == len && len > 0) return r;
  }
  String part = p - 1 < v.size() ? v.substr(p - 1, n) : String();
  return tk::StrToInt(part);
}

std::vector<String> Words(const String& v, const wchar_t* separators) {
  std::vector<String> out;
  size_t i = 0;
  while (i < v.size()) {
    size_t j = v.find_first_of(separators, i);
    if (j == String::npos) j = v.size();
    if (j > i) out.push_back(v.substr(i, j - i));
    i = j + 1;
  }
  return out;
}

int DivOrZero(int a, int b) { return b == 0 ? 0 : a / b; }

// Side widths of a border picture given none: the border width, else a third
// of a state picture's width and height.
void ApplyBorderRule(TsMaskData& m) {
  if (m.WL + m.WT + m.WR + m.WB != 0) return;
  if (m.BorderWidth != 0) {
    m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
    return;
  }
  m.WL = static_cast<int16_t>(DivOrZero(m.R.Width(), m.ImageCount * 3));
  m.WT = static_cast<int16_t>(DivOrZero(m.R.Height(), (m.MaskType + 1) * 3));
  m.WR = m.WL;
  m.WB = m.WT;
}

bool Contains(const String& s, const wchar_t* what) { return s.find(what) != String::npos; }

wchar_t UpCase(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

// Contains for an upper-case Needle that starts with a non-letter (".BMP"),
// ignoring the case of ASCII letters in s: most values are no picture names,
// and they are not copied to find that out.
bool ContainsNoCase(const String& s, std::wstring_view Needle) {
  for (size_t i = s.find(Needle[0]); i != String::npos && i + Needle.size() <= s.size(); i = s.find(Needle[0], i + 1)) {
    size_t j = 1;
    while (j < Needle.size() && UpCase(s[i + j]) == Needle[j]) ++j;
    if (j == Needle.size()) return true;
  }
  return false;
}

int16_t S16(int v) { return static_cast<int16_t>(v); }

// A mask without states is drawn with one, as the size queries read it.
int16_t StateCount(int v) { return S16(v == 0 ? 1 : v); }

// Layers stacked below a picture: the painters divide its height by the count
// plus one, and know no more than a mask layer.
constexpr int kxMaxLayerCount = 9;

// Free text of the skin's description: never a picture, whatever it holds
// ("Blue skin #2" would read as the older rectangle notation).
bool IsDescriptiveKey(const String& Key) {
  static const wchar_t* const keys[] = {L"AUTHOR",  L"DESCRIPTION", L"VERSION", L"NAME",
                                        L"COMMENT", L"COPYRIGHT",   L"URL",     L"EMAIL"};
  for (const wchar_t* k : keys)
    if (tk::SameTextAscii(Key, k)) return true;
  return false;
}

// Keys of the options that the picture passes scan: MASTERBITMAP and the
// descriptive keys of GLOBALINFO are left out.
template <class Scan>
void ForEachPictureKey(const TkxOptionKeys& Keys, Scan scan) {
  for (size_t i = 0; i < Keys.Names.size(); ++i) {
    const String& name = Keys.Names[i];
    const bool global = tk::SameTextAscii(name, kGlobalInfo);
    for (const TkxOptionKeys::TEntry& k : Keys.Keys[i]) {
      if (!k.Value) continue;
      if (global && (tk::SameTextAscii(*k.Name, L"MASTERBITMAP") || IsDescriptiveKey(*k.Name))) continue;
      scan(name, *k.Name, *k.Value);
    }
  }
}

}  // namespace

tk::TSize MaskFrameSize(const TsMaskData& m) {
  if (m.ImageCount <= 0 || m.MaskType < 0) return {};
  return tk::TSize{m.R.Width() / m.ImageCount, m.R.Height() / (m.MaskType + 1)};
}

// The mask scan over one key; shared by the options sections and (for the
// older notations) the common sections.
class TkxMaskBuilder {
 public:
  TkxMaskBuilder(TkxSkinContent& Content, TkxPictureLoad& Load, const TPictureSource& Source)
      : C(Content), L(Load), S(Source) {}

  TsMaskData& Add(const String& Section, const String& Key) {
    TsMaskData& m = C.ma.emplace_back();
    m.ClassName = Section;
    m.PropertyName = Key;
    m.Manager = &C;
    return m;
  }

  // Fields are read left to right, so that an error names the first bad one.
  tk::TRect RectAt(const String& v) {
    const int l = CopyInt(v, 2, 4);
    const int t = CopyInt(v, 7, 4);
    const int r = CopyInt(v, 12, 4);
    const int b = CopyInt(v, 17, 4);
    return tk::Rect(l, t, r, b);
  }

  void Border(const String& sec, const String& key, const String& v) {
    tk::TRect r = RectAt(v);
    int wl = CopyInt(v, 22, 4), wt = CopyInt(v, 27, 4), wr = CopyInt(v, 32, 4), wb = CopyInt(v, 37, 4);
    int ic = CopyInt(v, 42, 1), mt = CopyInt(v, 44, 1), dm = CopyInt(v, 46, 1), bw = CopyInt(v, 48, 1);
    TsMaskData& m = Add(sec, key);
    m.R = r;
    m.WL = S16(wl), m.WT = S16(wt), m.WR = S16(wr), m.WB = S16(wb);
    m.ImageCount = StateCount(ic), m.MaskType = S16(mt), m.DrawMode = S16(dm), m.BorderWidth = S16(bw);
    m.ImgType = itisaBorder;
    ApplyBorderRule(m);
  }

  void Glyph(const String& sec, const String& key, const String& v) {
    tk::TRect r = RectAt(v);
    int ic = CopyInt(v, 22, 1), mt = CopyInt(v, 24, 1);
    TsMaskData& m = Add(sec, key);
    m.R = r;
    m.ImageCount = StateCount(ic), m.MaskType = S16(mt);
    m.ImgType = itisaGlyph;
  }

  void Texture(const String& sec, const String& key, const String& v) {
    tk::TRect r = RectAt(v);
    int dm = CopyInt(v, 22, 2);
    int mt = v.size() > 24 ? CopyInt(v, 25, 1) : 0;
    TsMaskData& m = Add(sec, key);
    m.R = r;
    m.ImageCount = 1, m.DrawMode = S16(dm), m.MaskType = S16(mt);
    m.ImgType = itisaTexture;
  }

  void OwnPicture(const String& sec, const String& key, const String& v) {
    std::vector<String> w = Words(v, L"!");
    const String file = w.empty() ? String() : w[0];
    const bool bmpFile = Contains(file, L".BMP");
    if (!bmpFile && !Contains(file, L".PNG")) {
      L.Problem(sec, key, L"\"" + v + L"\" names no .BMP or .PNG picture (in upper case)");
      return;
    }
    auto bmp = S.Load(file, bmpFile ? TPicKind::Bmp : TPicKind::Png);
    if (!bmp || bmp->Width() <= 0) {
      if (!bmp) L.Problem(sec, key, L"picture \"" + file + L"\" is missing");
      return;
    }
    auto word = [&](size_t i) { return i < w.size() ? w[i] : String(); };
    TsMaskData& m = Add(sec, key);
    const int width = bmp->Width(), height = bmp->Height();
    m.R = tk::Rect(0, 0, width, height);
    m.Bmp = std::move(bmp);
    const int states = tk::StrToInt(word(1));
    const int layers = tk::StrToInt(word(2));
    // Painting divides the picture by both counts; checked before they are
    // narrowed to 16 bits, where 65535 would come back as -1.
    auto refuse = [&](const wchar_t* what, int count, const wchar_t* allowed) {
      throw EkxSkinError(
          tk::Fmt(L"[%s] %s: the picture value \"%s\" has a %s of %s (%s)",
                  {EscapeSkinText(sec), EscapeSkinText(key), EscapeSkinText(v), what, tk::IntToStr(count), allowed}));
    };
    if (states < 0 || states > INT16_MAX) refuse(L"state count", states, L"0 to 32767 are allowed");
    if (layers < 0 || layers > kxMaxLayerCount) refuse(L"layer count", layers, L"0 to 9 are allowed");
    m.ImageCount = StateCount(states);
    m.MaskType = S16(layers);
    m.DrawMode = bdmFillCentre;
    int type = tk::StrToInt(word(3));
    if (type < 0) {
      // No such type: drawn as a border, and the check tool says so.
      L.Problem(sec, key, L"image type " + tk::IntToStr(type) + L" is not one of 0 to 4");
      type = itisaBorder;
    }
    m.ImgType = static_cast<TkxImgType>(type > itisaPngGlyph ? itisaPngGlyph : type);
    if (bmpFile && m.ImgType != itisaTexture) m.Bmp->SetPixelFormat(tk::TPixelFormat::pf24bit);
    if (w.size() > 4) {
      m.WL = S16(tk::StrToInt(word(4)));
      m.WT = S16(tk::StrToInt(word(5)));
      m.WR = S16(tk::StrToInt(word(6)));
      m.WB = S16(tk::StrToInt(word(7)));
    } else {
      m.WL = S16(DivOrZero(width, m.ImageCount * 3));
      m.WT = S16(DivOrZero(height, (m.MaskType + 1) * 3));
      m.WR = m.WL;
      m.WB = m.WT;
    }
  }

  // "# (left,top,right,bottom) count,masktype,borderwidth,drawmode"
  void OldRect(const String& sec, const String& key, const String& v) {
    std::vector<String> w = Words(v, L" ()");
    std::vector<String> r = Words(w.size() > 1 ? w[1] : String(), L",");
    auto at = [](const std::vector<String>& a, size_t i) { return i < a.size() ? a[i] : String(); };
    const int left = tk::StrToInt(at(r, 0));
    const int top = tk::StrToInt(at(r, 1));
    const int right = tk::StrToInt(at(r, 2));
    const int bottom = tk::StrToInt(at(r, 3));
    const tk::TRect rect = tk::Rect(left, top, right, bottom);
    std::vector<String> f = Words(w.size() > 2 ? w[2] : String(), L",");
    int ic = f.size() > 0 ? std::max(1, tk::StrToInt(f[0])) : 1;
    int mt = f.size() > 1 ? std::max(0, tk::StrToInt(f[1])) : 0;
    int bw = f.size() > 2 ? std::max(0, tk::StrToInt(f[2])) : 0;
    int dm = f.size() > 3 ? tk::StrToInt(f[3]) : 1;
    TsMaskData& m = Add(tk::UpperCaseAscii(sec), tk::UpperCaseAscii(key));
    m.R = rect;
    m.ImageCount = S16(ic), m.MaskType = S16(mt), m.BorderWidth = S16(bw), m.DrawMode = S16(dm);
    m.ImgType = itisaBorder;
    ApplyBorderRule(m);
  }

  void OldPicture(const String& sec, const String& key, const String& v) {
    auto bmp = S.Load(v, TPicKind::Bmp);
    if (!bmp) {
      L.Problem(sec, key, L"picture \"" + v + L"\" is missing");
      return;
    }
    if (bmp->Width() <= 0) return;
    bmp->SetPixelFormat(tk::TPixelFormat::pf24bit);
    TsMaskData& m = Add(tk::UpperCaseAscii(sec), tk::UpperCaseAscii(key));
    m.R = tk::Rect(0, 0, bmp->Width(), bmp->Height());
    m.ImageCount = 3, m.MaskType = 1;
    m.WL = S16(bmp->Width() / 9), m.WT = S16(bmp->Height() / 6);
    m.WR = m.WL, m.WB = m.WT;
    m.ImgType = itisaBorder;
    m.Bmp = std::move(bmp);
  }

  void Scan(const String& sec, const String& key, const String& v) {
    if (v.empty()) return;
    switch (v[0]) {
      case L'!': OwnPicture(sec, key, v); return;
      case L'@': Glyph(sec, key, v); return;
      case L'^': Border(sec, key, v); return;
      case L'~': Texture(sec, key, v); return;
      default: break;
    }
    ScanOld(sec, key, v, true);
  }

  void ScanOld(const String& sec, const String& key, const String& v, bool rects) {
    if (Contains(v, L"#")) {
      if (v == L"#") L.Problem(sec, key, L"\"#\" alone names no rectangle");
      else if (rects) OldRect(sec, key, v);
      return;
    }
    if (ContainsNoCase(v, L".BMP")) {
      OldPicture(sec, key, v);
    } else if (ContainsNoCase(v, L".PNG") || ContainsNoCase(v, L".GIF") || ContainsNoCase(v, L".ICO") ||
               ContainsNoCase(v, L".TGA")) {
      L.Problem(sec, key, L"\"" + v + L"\" names a picture in no notation the skin reader knows");
    }
  }

  void Pattern(const String& sec, const String& key, const String& v) {
    if (!ContainsNoCase(v, L".JPG") && !ContainsNoCase(v, L".JPEG")) return;
    const String name = tk::UpperCaseAscii(v);
    auto bmp = S.Load(name, TPicKind::Jpeg);
    if (!bmp) {
      L.Problem(sec, key, L"picture \"" + name + L"\" is missing");
      return;
    }
    if (bmp->Width() <= 0) return;
    const int64_t pixels = int64_t(bmp->Width()) * bmp->Height();
    if (pixels < 90000) {
      TsMaskData& m = Add(tk::UpperCaseAscii(sec), tk::UpperCaseAscii(key));
      m.R = tk::Rect(0, 0, bmp->Width(), bmp->Height());
      m.ImageCount = 1;
      m.ImgType = itisaTexture;
      m.Bmp = std::move(bmp);
    } else {
      TsPatternData& p = C.pa.emplace_back();
      p.Img = std::make_unique<TkxJpegImage>(std::move(bmp));
      p.ClassName = tk::UpperCaseAscii(sec);
      p.PropertyName = tk::UpperCaseAscii(key);
    }
  }

 private:
  TkxSkinContent& C;
  TkxPictureLoad& L;
  const TPictureSource& S;
};

void TkxPictureLoad::Problem(const String& Section, const String& Key, const String& Text) const {
  if (Problems) Problems->push_back({Section, Key, Text});
}

void LoadAllMasks(TkxSkinContent& C, TkxPictureLoad& Load, const tk::TMemIniFile& Options, const TkxOptionKeys& Keys,
                  const std::vector<TkxCommonSection>& Common) {
  C.ma.clear();
  C.MasterBitmap = std::make_unique<tk::TBitmap>();
  TPictureSource source(Load);
  const String master = Options.ReadString(kGlobalInfo, L"MASTERBITMAP", String());
  if (!master.empty()) {
    if (auto bmp = source.Load(master, TPicKind::Bmp)) C.MasterBitmap = std::move(bmp);
    else Load.Problem(kGlobalInfo, L"MASTERBITMAP", L"picture \"" + master + L"\" is missing");
  }
  C.MasterBitmap->SetPixelFormat(tk::TPixelFormat::pf24bit);
  C.MasterBitmap->Transparent = true;
  C.MasterBitmap->TransparentColor = kxKeyColor;

  TkxMaskBuilder builder(C, Load, source);
  ForEachPictureKey(Keys, [&](const String& sec, const String& key, const String& v) { builder.Scan(sec, key, v); });
  const bool haveMaster = !C.MasterBitmap->Empty();
  for (const TkxCommonSection& cs : Common)
    for (const TkxCommonSection::TKey& k : cs.Keys)
      if (!k.Value.empty()) builder.ScanOld(cs.Name, k.Name, k.Value, haveMaster);
}

void LoadAllPatterns(TkxSkinContent& C, TkxPictureLoad& Load, const TkxOptionKeys& Keys,
                     const std::vector<TkxCommonSection>& Common) {
  C.pa.clear();
  TPictureSource source(Load);
  TkxMaskBuilder builder(C, Load, source);
  ForEachPictureKey(Keys, [&](const String& sec, const String& key, const String& v) { builder.Pattern(sec, key, v); });
  for (const TkxCommonSection& cs : Common)
    for (const TkxCommonSection::TKey& k : cs.Keys) builder.Pattern(cs.Name, k.Name, k.Value);
}

void LoadAllMasks(TkxSkinContent& C, const TsStoredSkin& Skin) {
  C.ma.clear();
  C.MasterBitmap = std::make_unique<tk::TBitmap>();
  if (Skin.MasterBitmap) C.MasterBitmap->Assign(Skin.MasterBitmap.get());
  C.MasterBitmap->SetPixelFormat(tk::TPixelFormat::pf24bit);
  C.MasterBitmap->Transparent = true;
  C.MasterBitmap->TransparentColor = kxKeyColor;
  for (const TsSkinImage& item : Skin.Images) {
    TsMaskData& m = C.ma.emplace_back();
    m.Manager = &C;
    m.ClassName = tk::UpperCaseAscii(item.SectionName);
    m.PropertyName = tk::UpperCaseAscii(item.PropertyName);
    if (!item.Name.empty()) {
      m.Bmp = std::make_unique<tk::TBitmap>();
      if (item.Image) m.Bmp->Assign(item.Image.get());
      m.Bmp->SetPixelFormat(tk::TPixelFormat::pf24bit);
      m.R = tk::Rect(0, 0, m.Bmp->Width(), m.Bmp->Height());
    } else {
      m.R = tk::Rect(item.Left, item.Top, item.Right, item.Bottom);
    }
    m.ImageCount = StateCount(item.ImageCount);
    m.MaskType = S16(item.MaskType);
    m.BorderWidth = S16(item.BorderWidth);
    m.DrawMode = S16(item.StretchMode);
    m.ImgType = static_cast<TkxImgType>(item.ImgType < 0 ? 0 : item.ImgType > 4 ? 4 : item.ImgType);
    m.WL = S16(item.WL), m.WT = S16(item.WT), m.WR = S16(item.WR), m.WB = S16(item.WB);
    ApplyBorderRule(m);
  }
}

void LoadAllPatterns(TkxSkinContent& C, const TsStoredSkin& Skin) {
  C.pa.clear();
  for (const TsSkinPattern& item : Skin.Patterns) {
    const TkxJpegImage* img = item.Image.get();
    if (!img || img->Width() <= 0)
      for (const TsSkinPattern& other : Skin.Patterns)
        if (other.Image && other.Image->Width() > 0 && other.Name == item.Name) {
          img = other.Image.get();
          break;
        }
    TsPatternData& p = C.pa.emplace_back();
    if (img) p.Img = img->Clone();
    p.ClassName = tk::UpperCaseAscii(item.SectionName);
    p.PropertyName = tk::UpperCaseAscii(item.PropertyName);
  }
}

}  // namespace kx
