// Writes the seed corpora of the fuzz targets: valid inputs of every kind the
// readers know. Usage: make_seeds DIR (creates DIR/<target>/...).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "skin/data/kxImageWrite.h"
#include "skin/data/kxSkinPack.h"
#include "tests/skindata/TestBytes.h"

namespace fs = std::filesystem;
using kxtest::BmpLayout;
using kxtest::Bytes;

namespace {

fs::path gRoot;

void Put(const std::string& target, const std::string& name, const Bytes& b) {
  fs::create_directories(gRoot / target);
  std::ofstream f(gRoot / target / name, std::ios::binary);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}
void Put(const std::string& target, const std::string& name, const std::string& s) {
  Put(target, name, Bytes(s.begin(), s.end()));
}

tk::TBitmap& Pattern(tk::TBitmap& b) {
  return *kxtest::Fill(b,
                       [](int x, int y) { return uint32_t((x * 37) << 24 | (x * 9) << 16 | (y * 13) << 8 | (x ^ y)); });
}

void Bmps() {
  BmpLayout s;
  s.width = 9, s.height = 3, s.bpp = 1;
  s.extra = kxtest::Palette({0, 0xFF00FF});
  s.pixels = Bytes(12, 0xA5);
  Put("bmp", "1bit.bmp", kxtest::MakeBmp(s));
  s = {};
  s.width = 5, s.height = 2, s.bpp = 4, s.clrUsed = 3;
  s.extra = kxtest::Palette({1, 2, 3});
  s.pixels = Bytes(8, 0x12);
  Put("bmp", "4bit.bmp", kxtest::MakeBmp(s));
  s = {};
  s.width = 3, s.height = 2, s.bpp = 8, s.clrUsed = 2;
  s.extra = kxtest::Palette({0xFF, 0xFF00});
  s.pixels = {0, 1, 0, 0, 1, 0, 1, 0};
  Put("bmp", "8bit.bmp", kxtest::MakeBmp(s));
  s.compression = 1;
  s.pixels = {2, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 2, 1, 0, 0, 1};
  Put("bmp", "rle8.bmp", kxtest::MakeBmp(s));
  s = {};
  s.width = 6, s.height = 2, s.bpp = 4, s.compression = 2, s.clrUsed = 2;
  s.extra = kxtest::Palette({0, 0xFFFFFF});
  s.pixels = {3, 0x01, 0, 0, 0, 3, 0x11, 0x10, 0, 1};
  Put("bmp", "rle4.bmp", kxtest::MakeBmp(s));
  s = {};
  s.width = 2, s.height = 2, s.bpp = 16;
  s.pixels = {0xFF, 0x7F, 0x00, 0x7C, 0x1F, 0x00, 0xE0, 0x03};
  Put("bmp", "555.bmp", kxtest::MakeBmp(s));
  s.compression = 3;
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) kxtest::Put32(s.extra, m);
  Put("bmp", "565.bmp", kxtest::MakeBmp(s));
  s = {};
  s.headerSize = 124, s.width = 2, s.height = -2, s.bpp = 32, s.compression = 3;
  s.masks[0] = 0xFF0000, s.masks[1] = 0xFF00, s.masks[2] = 0xFF, s.masks[3] = 0xFF000000u;
  s.pixels = Bytes(16, 0x80);
  Put("bmp", "v5alpha.bmp", kxtest::MakeBmp(s));
  s = {};
  s.headerSize = 12, s.width = 2, s.height = 1, s.bpp = 24;
  s.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  Put("bmp", "core.bmp", kxtest::MakeBmp(s));
  tk::TBitmap b24(7, 5, tk::TPixelFormat::pf24bit), b32(7, 5, tk::TPixelFormat::pf32bit);
  Put("bmp", "24bit.bmp", kx::WriteBmp(Pattern(b24)));
  Put("bmp", "32bit.bmp", kx::WriteBmp(Pattern(b32)));
}

void Pngs() {
  tk::TBitmap b24(11, 7, tk::TPixelFormat::pf24bit), b32(6, 9, tk::TPixelFormat::pf32bit);
  Put("png", "rgb.png", kx::WritePng(Pattern(b24)));
  Put("png", "rgba.png", kx::WritePng(Pattern(b32)));
}

void Jpegs() {
  tk::TBitmap b(17, 9, tk::TPixelFormat::pf24bit);
  Put("jpeg", "q90.jpg", kx::WriteJpeg(Pattern(b)));
  Put("jpeg", "q20.jpg", kx::WriteJpeg(b, 20));
}

const char* const kOptions =
    "[GLOBALINFO]\nVERSION=6.65\nMASTERBITMAP=MASTER.BMP\nBIKEEPHUE=1\nSHADOW1BLUR=2\n"
    "BICONCLOSE=@0001@0001@0010@0005@3@0\nEXBORDER=!A.PNG!2!0!3!0003!0002!0003!0002\n"
    "[PANEL]\nCOLOR=15461355\nHOTCOLOR=0xFF00000F\nFONTCOLOR=0\nTCLEFT=255\n"
    "GRADIENTDATA=16777215;15856113;97;0;0;15856113;15856113;0;0;0\n"
    "BORDERSMASK=^0000^0000^0012^0008^0000^0000^0000^0000^3^1^4^0\n"
    "PATTERN=~0000~0000~0004~0004~10~1\nIMGTOPLEFT=!B.BMP!1!0!1\n"
    "[SPEEDBUTTON]\nPARENTCLASS=PANEL\nFADINGENABLED=TRUE\nFADINGITERATIONS=20\nGLOW0=!A.PNG!1!0!4\n"
    "[EDIT]\nPARENTCLASS=SPEEDBUTTON\nOLD=# (1,1,8,8) 3,1,0,2\nFRAME=MASTER.BMP\nBACK=C.JPG\n"
    "[SCROLLBTNTOP]\nGLYPHMASK=@0002@0002@0008@0004@1@0\n[COMBOBTN]\nPATTERN=~0000~0000~0002~0002~00\n";

// Words of the options syntax and the notations for the options target
// (libFuzzer's dictionary format), written beside the seed folders.
void Dictionary(const char* target) {
  const char* const words[] = {"[GLOBALINFO]",
                               "[PANEL]",
                               "PARENTCLASS=",
                               "MASTERBITMAP=MASTER.BMP",
                               "BORDERSMASK=",
                               "GLYPHMASK=",
                               "PATTERN=",
                               "HOTPATTERN=",
                               "IMGTOPLEFT=",
                               "EXBORDER=",
                               "BICONCLOSE=",
                               "BICONMAX=",
                               "BIKEEPHUE=",
                               "GRADIENTDATA=",
                               "HOTGRADIENTDATA=",
                               "COLOR=",
                               "HOTCOLOR=",
                               "FONTCOLOR=",
                               "VERSION=",
                               "SHADOW1BLUR=",
                               "GLOW=",
                               "GSIZE=",
                               "0x",
                               "-1",
                               "?",
                               ";",
                               "!A.PNG!",
                               "!B.BMP!",
                               "^0001",
                               "@0001",
                               "~0001",
                               "# (",
                               ",",
                               ")",
                               "C.JPG",
                               "MASTER.BMP",
                               "TRUE",
                               "\xEF\xBB\xBF",
                               "\xFF\xFE",
                               "\xFE\xFF"};
  std::ofstream f(gRoot / (std::string(target) + ".dict"));
  for (const char* w : words) {
    f << '"';
    for (const char* p = w; *p; ++p) {
      const unsigned char c = static_cast<unsigned char>(*p);
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') f << hex;
      else f << *p;
    }
    f << "\"\n";
  }
}

void Options() {
  Put("options", "full.dat", std::string(kOptions));
  Put("options", "cycle.dat", std::string("[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=A\nCOLOR=-1\n"));
  Put("options", "bom.dat", std::string("\xEF\xBB\xBF[GLOBALINFO]\nAUTHOR=x\n[EDIT]\n[EDIT]\n"));
}

void Packed() {
  std::string o = kOptions;
  tk::TBitmap m(24, 16, tk::TPixelFormat::pf24bit), a(9, 6, tk::TPixelFormat::pf32bit);
  Bytes mb = kx::WriteBmp(Pattern(m)), ap = kx::WritePng(Pattern(a));
  Put("packed", "skin.kxz",
      kx::WritePackedSkin({{"Options.dat", reinterpret_cast<const uint8_t*>(o.data()), o.size()},
                           {"Master.bmp", mb.data(), mb.size()},
                           {"A.png", ap.data(), ap.size()}}));
  Put("packed", "empty.kxz", kx::WritePackedSkin({}));
  Put("packed", "two.kxz",
      kx::WritePackedSkin({{"options.DAT", reinterpret_cast<const uint8_t*>("x"), 1}, {"Options.dat", nullptr, 0}}));
}

Bytes ReadAll(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The painter's seeds: the internal skin packed as the build packs it (the
// options first, then the pictures) and its options text alone, beside the
// small skins of the other targets.
void Paint() {
  const fs::path dir = TABULO_SKIN_DIR;
  std::vector<std::pair<std::string, Bytes>> files;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (!e.is_regular_file() || name == "kxskin.order") continue;
    files.emplace_back(name, ReadAll(e.path()));
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    return (a.first == "Options.dat") != (b.first == "Options.dat") ? a.first == "Options.dat" : a.first < b.first;
  });
  std::vector<kx::TkxPackInput> in;
  for (const auto& f : files) in.push_back({f.first, f.second.data(), f.second.size()});
  Put("paint", "pearlmist.kxz", kx::WritePackedSkin(in));
  for (const auto& f : files)
    if (f.first == "Options.dat") Put("paint", "pearlmist.dat", f.second);
  std::string o = kOptions;
  Put("paint", "full.dat", o);
  Put("paint", "counts.dat",
      std::string("[PANEL]\nBORDERSMASK=!A.PNG!0!1!0\nIMGTOPLEFT=@0000@0000@0009@0006@0@0\n"
                  "PATTERN=~0000~0000~0009~0006~10~1\nIMAGEPERCENT=50\nTRANSPARENCY=40\n"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds DIR\n");
    return 2;
  }
  gRoot = argv[1];
  Bmps();
  Pngs();
  Jpegs();
  Options();
  Dictionary("options");
  Dictionary("paint");
  Packed();
  Paint();
  return 0;
}
