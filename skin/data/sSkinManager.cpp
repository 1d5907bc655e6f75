// The pure half of the skin manager: directory rules, skin lists, shadow
// templates and colour queries (the component itself is sSkinManager_win.cpp).
#include <cstring>
#include <filesystem>
#include <system_error>

#include "skin/data/sSkinManager.h"
#include "skin/framework/kxColors.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

namespace fs = std::filesystem;

fs::path PathOf(const String& s) {
#ifdef _WIN32
  return fs::path(s);
#else
  return fs::path(tk::ToUtf8(s));
#endif
}

String NameOf(const fs::path& p) {
#ifdef _WIN32
  return p.filename().wstring();
#else
  return tk::FromUtf8(p.filename().string());
#endif
}

bool StartsWith(const String& s, const wchar_t* prefix) { return s.rfind(prefix, 0) == 0; }

// A 32-bit copy of the area (x, y, w, h) of Src; 24-bit sources become opaque.
std::unique_ptr<tk::TBitmap> CopyArea(const tk::TBitmap& Src, int x, int y, int w, int h) {
  auto out = std::make_unique<tk::TBitmap>(std::max(w, 0), std::max(h, 0), tk::TPixelFormat::pf32bit);
  const int bpp = tk::BytesPerPixel(Src.PixelFormat());
  if (bpp < 3) return out;
  for (int row = 0; row < h; ++row) {
    const int sy = y + row;
    if (sy < 0 || sy >= Src.Height()) continue;
    const uint8_t* s = Src.ScanLine(sy);
    uint8_t* d = out->ScanLine(row);
    for (int col = 0; col < w; ++col) {
      const int sx = x + col;
      if (sx < 0 || sx >= Src.Width()) continue;
      const uint8_t* p = s + sx * bpp;
      d[col * 4 + 0] = p[0];
      d[col * 4 + 1] = p[1];
      d[col * 4 + 2] = p[2];
      d[col * 4 + 3] = bpp == 4 ? p[3] : 255;
    }
  }
  return out;
}

// White pixels with alpha 0 are "nothing" in a shadow: zero them, so that
// blending them with straight alpha cannot lighten what lies below.
void ClearTransparentWhite(tk::TBitmap& b) {
  for (int y = 0; y < b.Height(); ++y) {
    uint8_t* p = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x, p += 4)
      if (p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 0) std::memset(p, 0, 4);
  }
}

const TsGeneralData* Section(const TkxSkinContent& c, const wchar_t* name) {
  const int i = c.GetSkinIndex(name);
  return c.IsValidSkinIndex(i) ? &c.gd[i] : nullptr;
}

bool IsPlain(tk::TColor v) { return v == -1 || v == kxKeyColor || v == 0xFFFFFF; }

}  // namespace

String FullSkinDirectory(const String& SkinDirectory, const String& ProgramDir) {
  String r = SkinDirectory;
  if (StartsWith(r, L"..")) {
    String dir = ProgramDir;
    if (!dir.empty() && (dir.back() == L'\\' || dir.back() == L'/')) dir.pop_back();
    const size_t cut = dir.find_last_of(L"\\/");
    dir = cut == String::npos ? String() : dir.substr(0, cut + 1);
    r = dir + (r.size() > 3 ? r.substr(3) : String());
  } else if (StartsWith(r, L".\\") || StartsWith(r, L"./")) {
    r = tk::IncludeTrailingPathDelimiter(ProgramDir) + r.substr(2);
  } else if (r.find(L':') == String::npos && r.find(L"\\\\") == String::npos) {
    r = ProgramDir + r;
  }
  if (r.size() == 1) r += L":\\";
  else if (!r.empty() && r.back() == L'/') r.back() = L'\\';
  else if (r.empty() || r.back() != L'\\') r += L'\\';
  return r;
}

String PackedSkinName(const String& FileName) {
  if (tk::ExtractFileExt(FileName) != L".kxz") return String();
  return FileName.substr(0, FileName.find(L'.'));
}

void AddExternalSkinNames(const String& Dir, TacSkinTypes SkinType, std::vector<String>& Names) {
  std::error_code ec;
  const fs::path dir = PathOf(Dir);
  if (!fs::is_directory(dir, ec)) return;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const String name = NameOf(it->path());
    if (name.empty() || name[0] == L'.') continue;
    std::error_code e2;
    if (it->is_directory(e2)) {
      if (SkinType != stPacked && fs::is_regular_file(it->path() / "Options.dat", e2)) Names.push_back(name);
    } else if (SkinType != stUnpacked) {
      const String packed = PackedSkinName(name);
      if (!packed.empty()) Names.push_back(packed);
    }
  }
}

TkxShadows BuildShadows(const TkxSkinContent& Content, const tk::TBitmap* BuiltinActive,
                        const tk::TBitmap* BuiltinInactive, bool Composition) {
  TkxShadows s;
  s.Active = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf32bit);
  s.Inactive = std::make_unique<tk::TBitmap>(0, 0, tk::TPixelFormat::pf32bit);
  const int ex = Content.ConstData.ExBorder;
  if (Content.IsValidImgIndex(ex)) {
    const TsMaskData& m = Content.ma[ex];
    const TsSkinData& d = Content.SkinData;
    if (d.ExDrawMode != 0) s.Size = tk::Rect(d.ExContentOffs, d.ExContentOffs, d.ExContentOffs, d.ExContentOffs);
    else
      s.Size = tk::Rect(m.WL - d.ExContentOffs, m.WT - d.ExContentOffs, m.WR - d.ExContentOffs, m.WB - d.ExContentOffs);
    const tk::TBitmap* pic = m.Bmp ? m.Bmp.get() : Content.MasterBitmap.get();
    if (pic) {
      const tk::TSize f = MaskFrameSize(m);
      const int fw = f.cx, fh = f.cy;
      s.Inactive = CopyArea(*pic, m.R.Left, m.R.Top, fw, fh);
      s.Active =
          m.ImageCount > 1 ? CopyArea(*pic, m.R.Left + fw, m.R.Top, fw, fh) : CopyArea(*s.Inactive, 0, 0, fw, fh);
    }
  } else if (BuiltinActive && BuiltinInactive) {
    const int more = Composition ? 1 : 0;
    s.Size = tk::Rect(11 + more, 7 + more, 11 + more, 11 + more);
    s.Active = CopyArea(*BuiltinActive, 0, 0, BuiltinActive->Width(), BuiltinActive->Height());
    s.Inactive = CopyArea(*BuiltinInactive, 0, 0, BuiltinInactive->Width(), BuiltinInactive->Height());
  }
  ClearTransparentWhite(*s.Active);
  ClearTransparentWhite(*s.Inactive);
  return s;
}

tk::TColor GlobalColorOf(const TkxSkinContent& c) {
  const TsGeneralData* g = Section(c, L"GLOBALINFO");
  return tk::ColorToRGB(g ? g->Color : tk::clBtnFace);
}

tk::TColor GlobalFontColorOf(const TkxSkinContent& c) {
  const TsGeneralData* g = Section(c, L"GLOBALINFO");
  return g ? tk::ColorToRGB(g->FontColor[0]) : kxKeyColor;
}

tk::TColor ActiveEditColorOf(const TkxSkinContent& c) {
  const TsGeneralData* g = Section(c, L"GLOBALINFO");
  return tk::ColorToRGB(g ? g->HotColor : tk::clWindow);
}

tk::TColor ActiveEditFontColorOf(const TkxSkinContent& c) {
  const TsGeneralData* g = Section(c, L"EDIT");
  return g ? tk::ColorToRGB(g->HotFontColor[0]) : kxKeyColor;
}

tk::TColor HighLightColorOf(const TkxSkinContent& c) {
  const TsGeneralData* g = Section(c, L"MENUITEM");
  return tk::ColorToRGB(g && !IsPlain(g->HotColor) ? g->HotColor : tk::clHighlight);
}

tk::TColor HighLightFontColorOf(const TkxSkinContent& c) {
  const TsGeneralData* g = Section(c, L"MENUITEM");
  const bool own = g && !IsPlain(g->HotFontColor[0]) && g->HotFontColor[0] != 0 && !IsPlain(g->HotColor);
  return tk::ColorToRGB(own ? g->HotFontColor[0] : tk::clHighlightText);
}

TkxThirdPartyList DefaultThirdParty() {
  TkxThirdPartyList l;
  l.fill(L" ");
  l[1] = L"TButton";
  return l;
}

const TsStoredSkin* TsStoredSkins::Find(const String& Name) const {
  for (const TsStoredSkin& s : FItems)
    if (s.Name == Name) return &s;
  return nullptr;
}

}  // namespace kx
