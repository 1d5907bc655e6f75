// Screen capture through the screen DC, and a small PNG writer (zlib's
// deflate and CRC; filter 0 rows) so failures can be looked at.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>

#include "tests/e2e/Harness_win.h"

namespace e2e {

Capture Capture::Screen(const RECT& r) {
  Capture c;
  c.FWidth = std::max<int>(0, r.right - r.left);
  c.FHeight = std::max<int>(0, r.bottom - r.top);
  c.FBgra.assign(static_cast<size_t>(c.FWidth) * c.FHeight * 4, 0);
  if (c.FWidth == 0 || c.FHeight == 0) return c;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = c.FWidth;
  bi.bmiHeader.biHeight = -c.FHeight;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, c.FWidth, c.FHeight, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    memcpy(c.FBgra.data(), bits, c.FBgra.size());
    SelectObject(mem, old);
  }
  if (dib) DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return c;
}

uint32_t Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0xFFFFFFFF;
  const uint8_t* p = &FBgra[(static_cast<size_t>(y) * FWidth + x) * 4];
  return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

int Capture::Count(const RECT& r, const std::function<bool(uint8_t, uint8_t, uint8_t)>& pred) const {
  int n = 0;
  for (int y = std::max<int>(0, r.top); y < std::min<int>(FHeight, r.bottom); ++y) {
    const uint8_t* p = &FBgra[(static_cast<size_t>(y) * FWidth + std::max<int>(0, r.left)) * 4];
    for (int x = std::max<int>(0, r.left); x < std::min<int>(FWidth, r.right); ++x, p += 4)
      if (pred(p[2], p[1], p[0])) ++n;
  }
  return n;
}

int Capture::Differences(const Capture& o, const RECT& r, int tol) const {
  if (o.FWidth != FWidth || o.FHeight != FHeight) return -1;
  int n = 0;
  for (int y = std::max<int>(0, r.top); y < std::min<int>(FHeight, r.bottom); ++y)
    for (int x = std::max<int>(0, r.left); x < std::min<int>(FWidth, r.right); ++x) {
      const uint8_t* a = &FBgra[(static_cast<size_t>(y) * FWidth + x) * 4];
      const uint8_t* b = &o.FBgra[(static_cast<size_t>(y) * FWidth + x) * 4];
      if (std::abs(a[0] - b[0]) > tol || std::abs(a[1] - b[1]) > tol || std::abs(a[2] - b[2]) > tol) ++n;
    }
  return n;
}

namespace {

void Put32(std::string& s, uint32_t v) {
  for (int i = 3; i >= 0; --i) s += static_cast<char>((v >> (i * 8)) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  Put32(png, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  png += body;
  Put32(png,
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

}  // namespace

bool Capture::SavePng(const std::wstring& path) const {
  if (FWidth <= 0 || FHeight <= 0) return false;
  std::string raw;
  raw.reserve(static_cast<size_t>(FHeight) * (FWidth * 3 + 1));
  for (int y = 0; y < FHeight; ++y) {
    raw += '\0';
    const uint8_t* p = &FBgra[static_cast<size_t>(y) * FWidth * 4];
    for (int x = 0; x < FWidth; ++x, p += 4) {
      raw += static_cast<char>(p[2]);
      raw += static_cast<char>(p[1]);
      raw += static_cast<char>(p[0]);
    }
  }
  uLongf zlen = compressBound(static_cast<uLong>(raw.size()));
  std::string z(zlen, '\0');
  if (compress2(reinterpret_cast<Bytef*>(z.data()), &zlen, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), 6) != Z_OK)
    return false;
  z.resize(zlen);
  std::string ihdr;
  Put32(ihdr, static_cast<uint32_t>(FWidth));
  Put32(ihdr, static_cast<uint32_t>(FHeight));
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
  std::string png("\x89PNG\r\n\x1a\n", 8);
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  bool ok = fwrite(png.data(), 1, png.size(), f) == png.size();
  return fclose(f) == 0 && ok;
}

std::string SaveFailureShot(const Capture& c, const char* what) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name =
      std::string(info ? info->test_suite_name() : "e2e") + "." + (info ? info->name() : "shot") + "-" + what + ".png";
  for (char& ch : name)
    if (ch == '/' || ch == '\\') ch = '_';
  std::wstring w(name.begin(), name.end());
  return c.SavePng(w) ? name : name + " (could not be saved)";
}

}  // namespace e2e
