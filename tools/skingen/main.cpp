// skingen: makes the internal skin's pictures and options from Design.h.
//   skingen write SKINS          writes SKINS/Pearlmist and SKINS/Shadows
//   skingen preview SKINS OUT    contact sheet of the skin in SKINS as a PNG
#include <cstdio>
#include <exception>
#include <string>

#include "skin/data/kxImageWrite.h"
#include "skin/data/kxPngReader.h"
#include "skin/data/sSkinLoad.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"
#include "tools/skingen/Preview.h"
#include "tools/skingen/SkinBuild.h"

namespace {

std::unique_ptr<tk::TBitmap> LoadPng(const std::string& path) {
  tk::TMemoryStream m;
  m.LoadFromFile(tk::FromUtf8(path));
  return kx::ReadPng(m.Memory(), size_t(m.Size()));
}

int Preview(const std::string& skins, const std::string& out) {
  kx::TkxLoadSettings settings;
  settings.SkinPath = tk::FromUtf8(skins + "/Pearlmist/");
  const auto skin = kx::TkxSkinLoad(settings).FromFolder();
  const auto shda = LoadPng(skins + "/Shadows/kxSHDA.png");
  const auto shdi = LoadPng(skins + "/Shadows/kxSHDI.png");
  const auto sheet = skingen::ContactSheet(*skin, {shda.get(), shdi.get()});
  const std::vector<uint8_t> png = kx::WritePng(*sheet);
  tk::TMemoryStream m(png.data(), png.size());
  m.SaveToFile(tk::FromUtf8(out));
  std::printf("wrote %s (%d x %d)\n", out.c_str(), sheet->Width(), sheet->Height());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string cmd = argc > 1 ? argv[1] : "";
  try {
    if (cmd == "write" && argc == 3) {
      skingen::WriteSkinFiles(skingen::BuildPearlmist(), argv[2]);
      std::printf("wrote %s/Pearlmist and %s/Shadows\n", argv[2], argv[2]);
      return 0;
    }
    if (cmd == "preview" && argc == 4) return Preview(argv[2], argv[3]);
  } catch (const tk::Exception& e) {
    std::fprintf(stderr, "skingen: %s\n", tk::ToUtf8(e.Message()).c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skingen: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: skingen write SKINS | skingen preview SKINS OUT.png\n");
  return 2;
}
