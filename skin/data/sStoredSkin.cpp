// Writing internal skins out: the extract operations and SaveToIni.
#include "skin/data/sStoredSkin.h"

#include "skin/data/kxNotifier.h"
#include "skin/data/sSectionSchema.h"
#include "toolkit/MemIniFile.h"
#include "toolkit/SysUtils.h"

namespace kx {

namespace {

// The destination with one trailing separator ("C" becomes "C:\" on Windows).
String DirWithSeparator(String Dir) {
#ifdef _WIN32
  if (Dir.size() == 1) return Dir + L":\\";
#endif
  if (!Dir.empty() && (Dir.back() == L'/' || Dir.back() == L'\\')) Dir.back() = tk::PathDelim;
  else Dir += tk::PathDelim;
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
    if (tk::DirectoryExists(Dir)) ExtractByIndex(Skins, static_cast<int>(i), Dir);
    else Notify(L"Directory does not exists.");
  }
  if (!found) Notify(L"Skin does not exists.");
}

void SaveToIni(const TsStoredSkin& Skin, tk::TMemIniFile& Ini) {
  for (const TsSkinGeneral& g : Skin.GeneralData)
    if (!g.SectionName.empty()) WriteItem(g, Ini);
}

void SaveToIni(const std::vector<TsStoredSkin>& Skins, int Index, tk::TMemIniFile& Ini) {
  if (Index >= 0 && Index < static_cast<int>(Skins.size())) SaveToIni(Skins[size_t(Index)], Ini);
}

}  // namespace kx
