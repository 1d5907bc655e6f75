// Skins built in code for the tests: an options text plus named pictures,
// packed with the real packer and loaded through the real load.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "skin/data/kxImageWrite.h"
#include "skin/data/kxNotifier.h"
#include "skin/data/kxSkinPack.h"
#include "skin/data/sSkinLoad.h"
#include "tests/skindata/TestBytes.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace kxtest {

struct TestSkin {
  std::string options;
  std::vector<std::pair<std::string, Bytes>> pictures;

  TestSkin& Picture(const std::string& name, Bytes data) {
    pictures.emplace_back(name, std::move(data));
    return *this;
  }

  Bytes Packed() const {
    std::vector<kx::TkxPackInput> in;
    in.push_back({"Options.dat", reinterpret_cast<const uint8_t*>(options.data()), options.size()});
    for (const auto& p : pictures) in.push_back({p.first, p.second.data(), p.second.size()});
    return kx::WritePackedSkin(in);
  }

  std::unique_ptr<kx::TkxSkinContent> Load(const kx::TkxLoadSettings& settings = {},
                                           std::vector<kx::TkxLoadProblem>* problems = nullptr) const {
    Bytes b = Packed();
    tk::TMemoryStream data(b.data(), b.size());
    return kx::TkxSkinLoad(settings, problems).FromPacked(&data);
  }

  // The load's error text; empty when the skin loads.
  std::string LoadError(const kx::TkxLoadSettings& settings = {}) const {
    try {
      Load(settings);
    } catch (const tk::Exception& e) { return e.what(); }
    return "";
  }
};

// A master bitmap: every pixel has its own colour (x in red, y in green,
// blue 0x40), except the magenta square at (0..3, 0..3) and a grey square
// at (4..7, 0..3).
inline std::unique_ptr<tk::TBitmap> MasterPicture(int w = 64, int h = 64) {
  auto b = std::make_unique<tk::TBitmap>(w, h, tk::TPixelFormat::pf24bit);
  Fill(*b, [](int x, int y) -> uint32_t {
    if (y < 4 && x < 4) return 0xFF00FF;
    if (y < 4 && x < 8) return 0x808080;
    return uint32_t(x * 3) << 16 | uint32_t(y * 3) << 8 | 0x40;
  });
  return b;
}

inline Bytes MasterBmp(int w = 64, int h = 64) { return kx::WriteBmp(*MasterPicture(w, h)); }

inline Bytes SolidPng(int w, int h, uint32_t argb) {
  tk::TBitmap b(w, h, tk::TPixelFormat::pf32bit);
  Fill(b, [argb](int, int) { return argb; });
  return kx::WritePng(b);
}

inline Bytes SolidBmp(int w, int h, uint32_t rgb, tk::TPixelFormat f = tk::TPixelFormat::pf24bit) {
  tk::TBitmap b(w, h, f);
  Fill(b, [rgb](int, int) { return rgb; });
  return kx::WriteBmp(b);
}

inline Bytes SolidJpeg(int w, int h, uint32_t rgb) {
  tk::TBitmap b(w, h, tk::TPixelFormat::pf24bit);
  Fill(b, [rgb](int, int) { return rgb; });
  return kx::WriteJpeg(b);
}

// Records what would have been shown in message boxes.
struct RecordingNotifier : kx::IkxNotifier {
  std::vector<tk::String> texts;
  kx::IkxNotifier* previous;
  RecordingNotifier() : previous(kx::SetNotifier(this)) {}
  ~RecordingNotifier() override { kx::SetNotifier(previous); }
  void Notify(const tk::String& t) override { texts.push_back(t); }
};

}  // namespace kxtest
