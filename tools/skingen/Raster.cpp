#include "tools/skingen/Raster.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace skingen {

namespace {

// Coverage from a signed distance at the pixel centre (negative inside): a
// one-pixel ramp, exact for edges that run along pixel borders.
double CoverageOf(double d) { return std::clamp(0.5 - d, 0.0, 1.0); }

double RoundRectDistance(double px, double py, double l, double t, double r, double b, double radius) {
  const double cx = (l + r) / 2, cy = (t + b) / 2;
  const double hx = (r - l) / 2, hy = (b - t) / 2;
  radius = std::min({radius, hx, hy});
  const double qx = std::abs(px - cx) - (hx - radius);
  const double qy = std::abs(py - cy) - (hy - radius);
  const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
  return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0) - radius;
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

uint8_t Byte(double v) { return uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

}  // namespace

TCoverage RoundRect(double l, double t, double r, double b, double radius) {
  return [=](int x, int y) { return CoverageOf(RoundRectDistance(x + 0.5, y + 0.5, l, t, r, b, radius)); };
}

TCoverage RoundRing(double l, double t, double r, double b, double radius, double w) {
  return Minus(RoundRect(l, t, r, b, radius), RoundRect(l + w, t + w, r - w, b - w, std::max(0.0, radius - w)));
}

TCoverage Polyline(std::vector<double> points, double w) {
  return [points = std::move(points), w](int x, int y) {
    double best = 1e9;
    for (size_t i = 0; i + 3 < points.size(); i += 2)
      best = std::min(best, SegmentDistance(x + 0.5, y + 0.5, points[i], points[i + 1], points[i + 2], points[i + 3]));
    return CoverageOf(best - w / 2);
  };
}

TCoverage Minus(TCoverage a, TCoverage b) {
  return [=](int x, int y) { return std::max(0.0, a(x, y) - b(x, y)); };
}

TCoverage Union(TCoverage a, TCoverage b) {
  return [=](int x, int y) { return std::min(1.0, std::max(a(x, y), b(x, y))); };
}

TCoverage Blurred(const TCoverage& shape, int w, int h, double sigma) {
  const int radius = std::max(1, int(std::ceil(sigma * 3)));
  std::vector<double> kernel(size_t(2 * radius + 1));
  double sum = 0;
  for (int i = -radius; i <= radius; ++i) sum += kernel[size_t(i + radius)] = std::exp(-(i * i) / (2 * sigma * sigma));
  for (double& k : kernel) k /= sum;
  std::vector<double> a(size_t(w) * h), b(size_t(w) * h, 0.0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) a[size_t(y) * w + x] = shape(x, y);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double s = 0;
      for (int i = -radius; i <= radius; ++i)
        if (x + i >= 0 && x + i < w) s += kernel[size_t(i + radius)] * a[size_t(y) * w + x + i];
      b[size_t(y) * w + x] = s;
    }
  auto out = std::make_shared<std::vector<double>>(size_t(w) * h, 0.0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double s = 0;
      for (int i = -radius; i <= radius; ++i)
        if (y + i >= 0 && y + i < h) s += kernel[size_t(i + radius)] * b[size_t(y + i) * w + x];
      (*out)[size_t(y) * w + x] = s;
    }
  return [out, w, h](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h ? (*out)[size_t(y) * w + x] : 0.0; };
}

TCanvas::TCanvas(int w, int h) : FW(w), FH(h), FPx(size_t(w) * h), FKey(size_t(w) * h, 0) {}

void TCanvas::Fill(const TCoverage& shape, TRgb c, double alpha) {
  const float r = c.R / 255.f, g = c.G / 255.f, b = c.B / 255.f;
  for (int y = 0; y < FH; ++y)
    for (int x = 0; x < FW; ++x) {
      const float a = float(std::clamp(alpha * shape(x, y), 0.0, 1.0));
      if (a <= 0) continue;
      TPx& p = At(x, y);
      p.R = r * a + p.R * (1 - a);
      p.G = g * a + p.G * (1 - a);
      p.B = b * a + p.B * (1 - a);
      p.A = a + p.A * (1 - a);
    }
}

void TCanvas::Add(const TCoverage& shape, TRgb c, double alpha) {
  for (int y = 0; y < FH; ++y)
    for (int x = 0; x < FW; ++x) {
      const float a = std::min(float(std::clamp(alpha * shape(x, y), 0.0, 1.0)), 1 - At(x, y).A);
      if (a <= 0) continue;
      TPx& p = At(x, y);
      p.R += c.R / 255.f * a;
      p.G += c.G / 255.f * a;
      p.B += c.B / 255.f * a;
      p.A += a;
    }
}

void TCanvas::KeyTransparent() {
  for (size_t i = 0; i < FPx.size(); ++i)
    if (FPx[i].A * 255 < 0.5f) FKey[i] = 1;
}

void TCanvas::FillAll(TRgb c, double alpha) {
  Fill([](int, int) { return 1.0; }, c, alpha);
}

void TCanvas::FillVertical(const TCoverage& shape, TRgb top, TRgb bottom, int y0, int y1) {
  for (int y = 0; y < FH; ++y) {
    const double f = y1 > y0 ? std::clamp(double(y - y0) / (y1 - y0), 0.0, 1.0) : 0.0;
    auto mix = [f](uint8_t a, uint8_t b) { return uint8_t(std::lround(a + (b - a) * f)); };
    const TRgb c{mix(top.R, bottom.R), mix(top.G, bottom.G), mix(top.B, bottom.B)};
    Fill([&](int x, int yy) { return yy == y ? shape(x, yy) : 0.0; }, c);
  }
}

void TCanvas::KeyOutside(const TCoverage& shape) {
  for (int y = 0; y < FH; ++y)
    for (int x = 0; x < FW; ++x)
      if (shape(x, y) <= 0) FKey[size_t(y) * FW + x] = 1;
}

TCanvas TCanvas::Transposed() const {
  TCanvas t(FH, FW);
  for (int y = 0; y < FH; ++y)
    for (int x = 0; x < FW; ++x) {
      t.At(y, x) = At(x, y);
      t.FKey[size_t(x) * FH + y] = FKey[size_t(y) * FW + x];
    }
  return t;
}

void TCanvas::Blit(const TCanvas& src, int x0, int y0) {
  for (int y = 0; y < src.FH; ++y)
    for (int x = 0; x < src.FW; ++x) {
      if (x0 + x < 0 || y0 + y < 0 || x0 + x >= FW || y0 + y >= FH) continue;
      At(x0 + x, y0 + y) = src.At(x, y);
      FKey[size_t(y0 + y) * FW + x0 + x] = src.FKey[size_t(y) * src.FW + x];
    }
}

void WriteMasked(const TCanvas& c, tk::TBitmap& dst, int x0, int y0, int maskOffset) {
  for (int y = 0; y < c.Height(); ++y) {
    uint8_t* pic = dst.ScanLine(y0 + y) + 3 * x0;
    uint8_t* mask = dst.ScanLine(y0 + y + maskOffset) + 3 * x0;
    for (int x = 0; x < c.Width(); ++x, pic += 3, mask += 3) {
      const TPx& p = c.At(x, y);
      uint8_t m = Byte(1.0 - p.A);
      if (c.IsKey(x, y)) {
        pic[0] = 0xFF, pic[1] = 0x00, pic[2] = 0xFF;
        mask[0] = mask[1] = mask[2] = 0xFF;
        continue;
      }
      if (p.A * 255 < 0.5) {
        pic[0] = pic[1] = pic[2] = 0;
      } else {
        pic[0] = Byte(p.B / p.A), pic[1] = Byte(p.G / p.A), pic[2] = Byte(p.R / p.A);
        // Magenta would read as "not part of the element".
        if (pic[0] == 0xFF && pic[1] == 0 && pic[2] == 0xFF) pic[1] = 1;
      }
      mask[0] = mask[1] = mask[2] = m;
    }
  }
}

void WriteKeyed(const TCanvas& c, tk::TBitmap& dst, int x0, int y0) {
  for (int y = 0; y < c.Height(); ++y) {
    uint8_t* pic = dst.ScanLine(y0 + y) + 3 * x0;
    for (int x = 0; x < c.Width(); ++x, pic += 3) {
      const TPx& p = c.At(x, y);
      if (c.IsKey(x, y) || p.A < 0.5f) {
        pic[0] = 0xFF, pic[1] = 0x00, pic[2] = 0xFF;
        continue;
      }
      pic[0] = Byte(p.B / p.A), pic[1] = Byte(p.G / p.A), pic[2] = Byte(p.R / p.A);
      if (pic[0] == 0xFF && pic[1] == 0 && pic[2] == 0xFF) pic[1] = 1;
    }
  }
}

void WritePremultiplied(const TCanvas& c, tk::TBitmap& dst, int x0, int y0) {
  for (int y = 0; y < c.Height(); ++y) {
    uint8_t* o = dst.ScanLine(y0 + y) + 4 * x0;
    for (int x = 0; x < c.Width(); ++x, o += 4) {
      const TPx& p = c.At(x, y);
      const uint8_t a = c.IsKey(x, y) ? 0 : Byte(p.A);
      o[0] = std::min(a, Byte(p.B));
      o[1] = std::min(a, Byte(p.G));
      o[2] = std::min(a, Byte(p.R));
      o[3] = a;
    }
  }
}

}  // namespace skingen
