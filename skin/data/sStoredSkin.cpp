// Writing internal skins out: the extract operations and SaveToIni.
#include "skin/data/sStoredSkin.h"

#include "skin/data/kxNotifier.h"
#include "skin/data/sSkinData.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

// The destination with one trailing separator ("C" becomes "C:\" on Windows).
String DirWithSeparator(String Dir) {
#ifdef _WIN32
  if (Dir.size() == 1) return Dir + L":\\";
#endif
  if (!Dir.empty() && (Dir.back() == L'/' || Dir.back() == L'\\'))
    Dir.back() = tk::PathDelim;
  else
    Dir += tk::PathDelim;
  return Dir;
}

}  // namespace

void ExtractByIndex(const std::vector<TsStoredSkin>& Skins, int Index, const String& Dir) {
  if (Index < 0 || Index >= static_cast<int>(Skins.size())) return;
  const String dir = DirWithSeparator(Dir);
  if (!tk::DirectoryExists(dir) && !tk::ForceDirectories(dir)) {
    Notify(L"Directory " + dir + L" creation error.");
    return;
  }
  const TsStoredSkin& skin = Skins[Index];
  if (!skin.IsPacked()) return;
  try {
    skin.PackedData->SaveToFile(dir + skin.Name + L" extracted.kxz");
  } catch (const tk::Exception& e) {
    // Extracting reports and returns; a full disk is no reason to end the program.
    Notify(e.Message());
  }
}

void ExtractInternalSkin(const std::vector<TsStoredSkin>& Skins, const String& Name, const String& Dir) {
  bool found = false;
  for (size_t i = 0; i < Skins.size(); ++i) {
    if (Skins[i].Name != Name) continue;
    found = true;
    if (tk::DirectoryExists(Dir))
      ExtractByIndex(Skins, static_cast<int>(i), Dir);
    else
      Notify(L"Directory does not exists.");
  }
  if (!found) Notify(L"Skin does not exists.");
}

void SaveToIni(const TsStoredSkin& Skin, tk::TMemIniFile& Ini) {
  static const wchar_t* const fontKeys[5] = {L"FONTCOLOR", L"TCLEFT", L"TCTOP", L"TCRIGHT", L"TCBOTTOM"};
  static const wchar_t* const hotKeys[5] = {L"HOTFONTCOLOR", L"HOTTCLEFT", L"HOTTCTOP", L"HOTTCRIGHT",
                                            L"HOTTCBOTTOM"};
  auto words = [](const String& s) {
    std::vector<String> w;
    size_t i = 0;
    while (i < s.size()) {
      while (i < s.size() && s[i] == L' ') ++i;
      size_t j = i;
      while (j < s.size() && s[j] != L' ') ++j;
      if (j > i) w.push_back(s.substr(i, j - i));
      i = j;
    }
    return w;
  };
  for (const TsSkinGeneral& g : Skin.GeneralData) {
    if (g.SectionName.empty()) continue;
    const String& s = g.SectionName;
    auto putInt = [&](const wchar_t* key, int v) { Ini.WriteString(s, key, tk::IntToStr(v)); };
    auto putBool = [&](const wchar_t* key, bool v) { Ini.WriteString(s, key, v ? L"TRUE" : L"FALSE"); };
    auto putColors = [&](const wchar_t* const* keys, const String& text) {
      std::vector<String> w = words(text);
      for (int i = 0; i < 5; ++i) Ini.WriteString(s, keys[i], i < static_cast<int>(w.size()) ? w[i] : String());
    };
    Ini.WriteString(s, L"PARENTCLASS", g.ParentClass);
    putInt(L"COLOR", g.Color);
    putBool(L"RESERVEDBOOLEAN", g.ReservedBoolean);
    putBool(L"GIVEOWNFONT", g.GiveOwnFont);
    putInt(L"GLOW", g.GlowCount);
    putInt(L"GLOWMARGIN", g.GlowMargin);
    putColors(fontKeys, g.FontColor);
    putColors(hotKeys, g.HotFontColor);
    putInt(L"TRANSPARENCY", g.Transparency);
    putInt(L"GRADIENTPERCENT", g.GradientPercent);
    putInt(L"IMAGEPERCENT", g.ImagePercent);
    Ini.WriteString(s, L"GRADIENTDATA", g.GradientData);
    putBool(L"SHOWFOCUS", g.ShowFocus);
    putBool(L"FADINGENABLED", g.FadingEnabled);
    putInt(L"FADINGITERATIONS", g.FadingIterations);
    putInt(L"HOTCOLOR", g.HotColor);
    putInt(L"HOTTRANSPARENCY", g.HotTransparency);
    putInt(L"HOTGRADIENTPERCENT", g.HotGradientPercent);
    Ini.WriteString(s, L"HOTGRADIENTDATA", g.HotGradientData);
    putInt(L"HOTIMAGEPERCENT", g.HotImagePercent);
    putInt(L"HGCOL", g.HotGlowColor);
    putInt(L"GCOL", g.GlowColor);
    putInt(L"HGSIZE", g.HotGlowSize);
    putInt(L"GSIZE", g.GlowSize);
  }
}

void SaveToIni(const std::vector<TsStoredSkin>& Skins, int Index, tk::TMemIniFile& Ini) {
  if (Index >= 0 && Index < static_cast<int>(Skins.size())) SaveToIni(Skins[size_t(Index)], Ini);
}

}  // namespace kx
