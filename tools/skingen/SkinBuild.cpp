#include "tools/skingen/SkinBuild.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "skin/data/kxImageWrite.h"
#include "skin/paint/sGradient.h"
#include "tools/skingen/Raster.h"

namespace skingen {

namespace d = design;

namespace {

TRgb Mix(TRgb a, TRgb b, double f) {
  auto m = [f](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * f)); };
  return {m(a.R, b.R), m(a.G, b.G), m(a.B, b.B)};
}

TCoverage Everything() {
  return [](int, int) { return 1.0; };
}

TCoverage Box(double l, double t, double r, double b) { return RoundRect(l, t, r, b, 0); }

using TFrames = std::vector<TCanvas>;

// --- Master bitmap -----------------------------------------------------------

// Frames of one element side by side, their mask layer below them.
class TAtlas {
 public:
  int Add(TFrames frames) {
    FItems.push_back({std::move(frames), {}});
    return int(FItems.size()) - 1;
  }
  tk::TRect Rect(int id) const { return FItems[size_t(id)].R; }

  // Shelves of 256 pixels, tallest items first; 2 magenta pixels between items.
  std::unique_ptr<tk::TBitmap> Pack() {
    constexpr int kWidth = 256, kGap = 2;
    std::vector<size_t> order(FItems.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return Size(a).cy > Size(b).cy; });
    int x = 0, y = 0, shelf = 0;
    for (size_t i : order) {
      const tk::TSize s = Size(i);
      if (x + s.cx > kWidth) x = 0, y += shelf + kGap, shelf = 0;
      FItems[i].R = tk::Bounds(x, y, s.cx, s.cy);
      x += s.cx + kGap;
      shelf = std::max(shelf, s.cy);
    }
    auto bmp = std::make_unique<tk::TBitmap>(kWidth, y + shelf, tk::TPixelFormat::pf24bit);
    for (int row = 0; row < bmp->Height(); ++row) {
      uint8_t* p = bmp->ScanLine(row);
      for (int col = 0; col < kWidth; ++col, p += 3) p[0] = 0xFF, p[1] = 0, p[2] = 0xFF;
    }
    for (const TItem& it : FItems) {
      const int fw = it.Frames[0].Width(), fh = it.Frames[0].Height();
      for (size_t f = 0; f < it.Frames.size(); ++f)
        WriteMasked(it.Frames[f], *bmp, it.R.Left + int(f) * fw, it.R.Top, fh);
    }
    return bmp;
  }

 private:
  struct TItem {
    TFrames Frames;
    tk::TRect R;
  };
  tk::TSize Size(size_t i) const {
    const TFrames& f = FItems[i].Frames;
    return {f[0].Width() * int(f.size()), f[0].Height() * 2};
  }
  std::vector<TItem> FItems;
};

// --- Value notations -----------------------------------------------------------

std::string Border(const tk::TRect& r, int frames, int wl, int wt, int wr, int wb, int drawMode, int borderWidth) {
  char s[64];
  std::snprintf(s, sizeof s, "^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%d^1^%d^%d", r.Left, r.Top, r.Right, r.Bottom,
                wl, wt, wr, wb, frames, drawMode, borderWidth);
  return s;
}

std::string Glyph(const tk::TRect& r, int frames) {
  char s[40];
  std::snprintf(s, sizeof s, "@%04d@%04d@%04d@%04d@%d@1", r.Left, r.Top, r.Right, r.Bottom, frames);
  return s;
}

std::string OwnPicture(const char* file, int frames, int maskType, int imgType, int wl = -1, int wt = 0, int wr = 0,
                       int wb = 0) {
  char s[80];
  if (wl < 0) std::snprintf(s, sizeof s, "!%s!%d!%d!%d", file, frames, maskType, imgType);
  else std::snprintf(s, sizeof s, "!%s!%d!%d!%d!%04d!%04d!%04d!%04d", file, frames, maskType, imgType, wl, wt, wr, wb);
  return s;
}

class TOptionsText {
 public:
  void Section(const std::string& name) {
    if (!FText.empty()) FText += "\r\n";
    FText += "[" + name + "]\r\n";
  }
  void Key(const std::string& k, const std::string& v) { FText += k + "=" + v + "\r\n"; }
  void Key(const std::string& k, int v) { Key(k, std::to_string(v)); }
  void Key(const std::string& k, TRgb c) { Key(k, ColorInt(c)); }
  void Comment(const std::string& c) { FText += "; " + c + "\r\n"; }
  const std::string& Text() const { return FText; }

 private:
  std::string FText;
};

std::string Narrow(const wchar_t* w) {
  std::string s;
  for (; *w; ++w) s += char(*w);
  return s;
}

// "A;B;97;0;0;B;B;0;0;0": A fading to B over 97 % of the height, then flat B.
std::string PearlStyleGradient(TRgb a, TRgb b) {
  const std::string sa = std::to_string(ColorInt(a)), sb = std::to_string(ColorInt(b));
  return sa + ";" + sb + ";97;0;0;" + sb + ";" + sb + ";0;0;0";
}

// Colours of the quoted gradient over h rows, painted by the engine's own
// gradient painter so the frame matches what sections paint.
std::vector<TRgb> GradientRows(const std::string& data, int h) {
  kx::TsGradArray arr;
  kx::ParseGradientData(tk::String(data.begin(), data.end()), arr);
  tk::TBitmap bmp(1, h, tk::TPixelFormat::pf24bit);
  kx::PaintGradient(&bmp, tk::Rect(0, 0, 1, h), arr);
  std::vector<TRgb> rows;
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = bmp.ScanLine(y);
    rows.push_back({p[2], p[1], p[0]});
  }
  return rows;
}

// --- Elements --------------------------------------------------------------------

enum class TState { Normal, Hot, Pressed };

// A rounded frame whose face shows the section's own background. Pixels
// outside the frame are key; the outer part of its antialiased edge is mixed
// with parent (the colour the element stands on) when one is given, else
// with whatever the engine draws under it. The face carries no tint of its
// own: the centre piece is drawn only on some callers' request, and a tint
// in the sides alone would show as an inner frame.
TCanvas RoundFrame(int w, int h, double radius, TRgb line, const TRgb* parent, bool openBottom = false) {
  TCanvas c(w, h);
  const double bottom = openBottom ? h + radius + 1 : h;
  const TCoverage body = RoundRect(0, 0, w, bottom, radius);
  c.Fill(RoundRing(0, 0, w, bottom, radius, d::Stroke), line);
  if (parent) c.Add(Minus(Everything(), body), *parent);
  c.KeyOutside(body);
  return c;
}

TFrames StateFrames(int w, int h, double radius, TRgb normal, const TRgb* parent) {
  return {RoundFrame(w, h, radius, normal, parent), RoundFrame(w, h, radius, d::AccentHover, parent),
          RoundFrame(w, h, radius, d::Accent, parent)};
}

// The scroll-bar pieces stand on the track next to the editor; a hairline on
// the editor's side (column 0 of the vertical pictures) separates them.
TCanvas TrackPiece() {
  TCanvas c(3, 3);
  c.Fill(Box(0, 0, 1, 3), d::HairlineSoft);
  return c;
}

TCanvas ScrollButton(TState s) {
  TCanvas c(15, 15);
  c.Fill(Box(0, 0, 1, 15), d::HairlineSoft);
  const TCoverage face = RoundRect(3, 2, 14, 13, 3);
  if (s == TState::Normal) {
    c.Add(Box(1, 0, 15, 15), d::Track);
    return c;
  }
  c.Add(Minus(Box(1, 0, 15, 15), face), d::Track);
  return c;
}

// Thumb: a rounded bar inset from the track; its face is the section colour.
TCanvas ScrollThumb() {
  TCanvas c(14, 9);
  c.Fill(Box(0, 0, 1, 9), d::HairlineSoft);
  c.Add(Minus(Box(1, 0, 14, 9), RoundRect(4, 1, 11, 8, 3)), d::Track);
  return c;
}

TCanvas Chevron(bool up, TRgb ink) {
  TCanvas c(9, 9);
  const double y0 = up ? 6.0 : 3.0, y1 = up ? 3.0 : 6.0;
  c.Fill(Polyline({1.5, y0, 4.5, y1, 7.5, y0}, 1.5), ink);
  c.KeyTransparent();
  return c;
}

TFrames Chevrons(bool up) { return {Chevron(up, d::ArrowInk), Chevron(up, d::ArrowInkHot), Chevron(up, d::Accent)}; }

TFrames Transposed(const TFrames& f) {
  TFrames t;
  for (const TCanvas& c : f) t.push_back(c.Transposed());
  return t;
}

enum class TTitleButton { Min, Max, Restore, Close };

void TitleSymbol(TCanvas& c, TTitleButton b, TRgb ink, double ox, double oy) {
  const double cx = ox + d::TitleButtonWidth / 2.0, cy = oy + d::TitleButtonHeight / 2.0;
  switch (b) {
    case TTitleButton::Min: c.Fill(Box(cx - 5, cy, cx + 5, cy + 1), ink); break;
    case TTitleButton::Max: c.Fill(RoundRing(cx - 5, cy - 5, cx + 5, cy + 5, 1.5, 1), ink); break;
    case TTitleButton::Restore:
      c.Fill(RoundRing(cx - 6, cy - 3, cx + 3, cy + 6, 1.5, 1), ink);
      c.Fill(Minus(RoundRing(cx - 3, cy - 6, cx + 6, cy + 3, 1.5, 1), Box(cx - 6, cy - 3, cx + 3, cy + 6)), ink);
      break;
    case TTitleButton::Close:
      c.Fill(Polyline({cx - 5, cy - 5, cx + 5, cy + 5}, 1.2), ink);
      c.Fill(Polyline({cx + 5, cy - 5, cx - 5, cy + 5}, 1.2), ink);
      break;
  }
}

TRgb TitleFace(TTitleButton b, TState s) {
  if (b == TTitleButton::Close) return s == TState::Hot ? d::Warm : d::WarmPressed;
  return s == TState::Hot ? d::AccentFace : Mix(d::AccentFace, d::Accent, 0.16);
}

TRgb TitleInk(TTitleButton b, TState s) {
  if (b == TTitleButton::Close && s != TState::Normal) return d::Pearl;
  return s == TState::Pressed ? d::AccentText : d::GlyphInk;
}

// The hot and pressed faces fill the whole frame; the engine's inactive look
// lightens the symbol of the normal frame.
TCanvas TitleFrame(TTitleButton b, TState s) {
  TCanvas c(d::TitleButtonWidth, d::TitleButtonHeight);
  if (s != TState::Normal)
    c.Fill(RoundRect(0, 0, d::TitleButtonWidth, d::TitleButtonHeight, d::CornerRadius), TitleFace(b, s));
  TitleSymbol(c, b, TitleInk(b, s), 0, 0);
  c.KeyTransparent();
  return c;
}

TFrames TitleFrames(TTitleButton b) {
  return {TitleFrame(b, TState::Normal), TitleFrame(b, TState::Hot), TitleFrame(b, TState::Pressed)};
}

enum class TCheck { Unchecked, Checked, Grayed, RadioOff, RadioOn };

TCanvas CheckFrame(TCheck k, TState s) {
  const int n = d::CheckSize;
  TCanvas c(n, n);
  const bool radio = k == TCheck::RadioOff || k == TCheck::RadioOn;
  const double r = radio ? n / 2.0 : 3.0;
  const bool filled = k == TCheck::Checked || k == TCheck::Grayed;
  TRgb line = s == TState::Normal ? d::Hairline : s == TState::Hot ? d::AccentHover : d::Accent;
  TRgb face = s == TState::Pressed ? d::AccentFace : d::Pearl;
  if (filled) {
    face = s == TState::Hot       ? Mix(d::Accent, d::Pearl, 0.15)
           : s == TState::Pressed ? Mix(d::Accent, d::Text, 0.2)
                                  : d::Accent;
    line = face;
  }
  if (k == TCheck::RadioOn) line = d::Accent;
  c.Fill(RoundRect(0, 0, n, n, r), face);
  c.Fill(RoundRing(0, 0, n, n, r, d::Stroke), line);
  if (k == TCheck::Checked) c.Fill(Polyline({3.3, 6.8, 5.5, 9.0, 9.8, 4.2}, 1.6), d::Pearl);
  if (k == TCheck::Grayed) c.Fill(Box(3.5, 6, 9.5, 7.5), d::Pearl);
  if (k == TCheck::RadioOn)
    c.Fill(RoundRect(3.5, 3.5, n - 3.5, n - 3.5, 3), s == TState::Pressed ? d::AccentText : d::Accent);
  c.KeyTransparent();
  return c;
}

TFrames CheckFrames(TCheck k) {
  return {CheckFrame(k, TState::Normal), CheckFrame(k, TState::Hot), CheckFrame(k, TState::Pressed)};
}

TCanvas Grip() {
  TCanvas c(12, 12);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j <= i; ++j) c.Fill(Box(9 - 3 * j, 3 + 3 * i, 11 - 3 * j, 5 + 3 * i), d::Hairline);
  c.KeyTransparent();
  return c;
}

// --- Own pictures ------------------------------------------------------------------

constexpr int kExborW = 128, kExborH = 156;
constexpr int kExborWL = 44, kExborWT = 72, kExborWR = 44, kExborWB = 44;

// One state of the window frame template: the shadow band, then an opaque
// frame ring whose title band carries the quoted gradient. The client area in
// the middle is never shown (draw mode 1 leaves it untouched).
TCanvas ExborFrame(bool active) {
  const int w = kExborW, h = kExborH, s = d::ShadowBand;
  TCanvas c(w, h);
  const TCoverage body = RoundRect(s, s, w - s, h - s, d::WindowRadius);
  c.Fill(
      Blurred(RoundRect(s, s + d::ShadowDrop, w - s, h - s + d::ShadowDrop, d::WindowRadius), w, h, d::ShadowSoftness),
      d::Shadow, active ? d::ShadowDepthActive : d::ShadowDepthInactive);
  const int titleBottom = s + d::TitleHeight;
  const std::vector<TRgb> rows =
      GradientRows(active ? Narrow(d::PearlGradient) : PearlStyleGradient(d::MistInactive, d::Mist), d::TitleHeight);
  for (int y = 0; y < h; ++y) {
    const TRgb col = y >= s && y < titleBottom ? rows[size_t(y - s)] : d::Mist;
    c.Fill([&](int x, int yy) { return yy == y ? body(x, yy) : 0.0; }, col);
  }
  c.Fill(RoundRing(s, s, w - s, h - s, d::WindowRadius, d::Stroke), active ? d::FrameActive : d::FrameInactive);
  return c;
}

// A title button in its hot look inside its halo: the picture replaces the
// whole hot button while it glows.
TCanvas TitleGlow(TTitleButton b) {
  const int m = d::TitleGlowMargin, bw = d::TitleButtonWidth, bh = d::TitleButtonHeight;
  const int w = bw + 2 * m, h = bh + 2 * m;
  TCanvas c(w, h);
  const TRgb halo = b == TTitleButton::Close ? d::Warm : d::AccentHover;
  c.Fill(Blurred(RoundRect(m, m, m + bw, m + bh, d::CornerRadius), w, h, d::GlowSoftness), halo, d::GlowDepth);
  c.Fill(RoundRect(m, m, m + bw, m + bh, d::CornerRadius), TitleFace(b, TState::Hot));
  TitleSymbol(c, b, TitleInk(b, TState::Hot), m, m);
  return c;
}

// A halo around a control whose edge lies `inset` pixels inside the picture;
// the inside stays clear because the glow window lies over the control.
TCanvas ControlGlow(int size, int inset, double radius, TRgb colour, double depth) {
  TCanvas c(size, size);
  const TCoverage edge = RoundRect(inset, inset, size - inset, size - inset, radius);
  c.Fill(Minus(Blurred(edge, size, size, d::GlowSoftness), edge), colour, depth);
  return c;
}

// Built-in shadows for skins without a frame template: the window covers the
// middle, the shadow reaches 11 pixels left, right and down and 7 up.
TCanvas BuiltInShadow(int size, double depth) {
  TCanvas c(size, size);
  c.Fill(Blurred(RoundRect(11, 7 + d::ShadowDrop / 2, size - 11, size - 11 + d::ShadowDrop / 2, 2), size, size, 3.2),
         d::Shadow, depth);
  return c;
}

std::vector<uint8_t> Png(const TCanvas& c) {
  tk::TBitmap bmp(c.Width(), c.Height(), tk::TPixelFormat::pf32bit);
  WritePremultiplied(c, bmp, 0, 0);
  return kx::WritePng(bmp);
}

std::vector<uint8_t> PngFrames(const TFrames& f) {
  tk::TBitmap bmp(f[0].Width() * int(f.size()), f[0].Height(), tk::TPixelFormat::pf32bit);
  for (size_t i = 0; i < f.size(); ++i) WritePremultiplied(f[i], bmp, int(i) * f[0].Width(), 0);
  return kx::WritePng(bmp);
}

// The page buttons' own picture: three 50 x 50 states over their mask layer.
std::vector<uint8_t> ButtonHuge() {
  const int n = d::PageButton;
  const TFrames f = StateFrames(n, n, d::PageButtonRadius, d::Hairline, &d::Mist);
  tk::TBitmap bmp(3 * n, 2 * n, tk::TPixelFormat::pf24bit);
  for (int i = 0; i < 3; ++i) WriteMasked(f[size_t(i)], bmp, i * n, 0, n);
  return kx::WriteBmp(bmp);
}

}  // namespace

TSkinFiles BuildPearlmist() {
  TAtlas atlas;
  const int formFrame = atlas.Add({RoundFrame(24, 24, d::WindowRadius, d::FrameInactive, nullptr),
                                   RoundFrame(24, 24, d::WindowRadius, d::FrameActive, nullptr)});
  const int titleFrame = atlas.Add({RoundFrame(24, 24, d::WindowRadius, d::FrameInactive, nullptr, true),
                                    RoundFrame(24, 24, d::WindowRadius, d::FrameActive, nullptr, true)});
  const int button = atlas.Add(StateFrames(24, 24, d::CornerRadius, d::Hairline, &d::Mist));
  const int edit = atlas.Add({RoundFrame(12, 12, 2, d::Hairline, nullptr), RoundFrame(12, 12, 2, d::Accent, nullptr)});
  const int panel = atlas.Add({RoundFrame(12, 12, d::CornerRadius, d::HairlineSoft, nullptr)});
  const int menu = atlas.Add({RoundFrame(12, 12, d::CornerRadius, d::Hairline, nullptr)});
  TCanvas itemHot(12, 12);
  itemHot.Add(Minus(Everything(), RoundRect(2, 1, 10, 11, 3)), d::Pearl);
  const int menuItem = atlas.Add({TCanvas(12, 12), itemHot});
  TCanvas sepH(12, 3), sepV(3, 12);
  sepH.Fill(Box(4, 0, 8, 1), d::HairlineSoft);
  sepV.Fill(Box(0, 4, 1, 8), d::HairlineSoft);
  const int dividerH = atlas.Add({sepH});
  const int dividerV = atlas.Add({sepV});
  const TFrames scrollBtn = {ScrollButton(TState::Normal), ScrollButton(TState::Hot), ScrollButton(TState::Pressed)};
  const int scrollBtnV = atlas.Add(scrollBtn);
  const int scrollBtnH = atlas.Add(Transposed(scrollBtn));
  const int thumbV = atlas.Add({ScrollThumb()});
  const int thumbH = atlas.Add({ScrollThumb().Transposed()});
  const int trackV = atlas.Add({TrackPiece()});
  const int trackH = atlas.Add({TrackPiece().Transposed()});
  const int arrowUp = atlas.Add(Chevrons(true));
  const int arrowDown = atlas.Add(Chevrons(false));
  const int arrowLeft = atlas.Add(Transposed(Chevrons(true)));
  const int arrowRight = atlas.Add(Transposed(Chevrons(false)));
  const int bMin = atlas.Add(TitleFrames(TTitleButton::Min));
  const int bMax = atlas.Add(TitleFrames(TTitleButton::Max));
  const int bNorm = atlas.Add(TitleFrames(TTitleButton::Restore));
  const int bClose = atlas.Add(TitleFrames(TTitleButton::Close));
  const int boxOn = atlas.Add(CheckFrames(TCheck::Checked));
  const int boxOff = atlas.Add(CheckFrames(TCheck::Unchecked));
  const int boxGray = atlas.Add(CheckFrames(TCheck::Grayed));
  const int radioOn = atlas.Add(CheckFrames(TCheck::RadioOn));
  const int radioOff = atlas.Add(CheckFrames(TCheck::RadioOff));
  const int grip = atlas.Add({Grip()});
  const std::unique_ptr<tk::TBitmap> master = atlas.Pack();
  auto R = [&](int id) { return atlas.Rect(id); };

  const std::string gradient = Narrow(d::PearlGradient);
  const std::string hotGradient = PearlStyleGradient(d::AccentFaceLow, d::AccentFace);

  TOptionsText o;
  o.Comment("Pearlmist (internal): the skin Tabulo carries inside itself. Made by tools/skingen.");
  o.Section("GLOBALINFO");
  o.Key("VERSION", "6.50");
  o.Key("AUTHOR", "Tabulo");
  o.Key("DESCRIPTION", "Pearl white and soft greys with a misty blue accent");
  o.Key("MASTERBITMAP", "MASTER.BMP");
  o.Key("COLOR", d::Mist);
  o.Key("HOTCOLOR", d::Pearl);
  o.Key("FONTCOLOR", d::Text);
  o.Key("TCTOP", d::LinkHot);
  o.Key("TCBOTTOM", d::Link);
  o.Key("BORDERWIDTH", d::FrameWidth);
  o.Key("TITLEHEIGHT", d::TitleHeight);
  o.Key("MAXHEIGHT", d::MaxTitleHeight);
  o.Key("FORMOFFSET", d::ShadowBand);
  o.Key("CENTEROFFSET", d::CenterOffset);
  o.Key("BORDERMODE", 1);
  o.Key("CAPTIONHEIGHT", d::TitleHeight - 10);
  o.Key("SHADOW1COLOR", d::Shadow);
  o.Key("SHADOW1OFFSET", 0);
  o.Key("SHADOW1BLUR", -1);
  o.Key("SHADOW1TRANSPARENCY", 0);
  o.Key("BISPACE", 2);
  o.Key("BIVALIGN", 0);
  o.Key("BIRIGHT", 0);
  o.Key("BILEFT", 0);
  o.Key("BITOP", 0);
  o.Key("BORDERCOLOR", d::Hairline);
  o.Key("BIKEEPHUE", 2);
  for (const char* b : {"BICONCLOSE", "BICONMAX", "BICONMIN"}) {
    o.Key(std::string(b) + "GLOW", d::TitleGlowMargin);
    o.Key(std::string(b) + "GLOWMARGIN", d::TitleGlowMargin);
  }
  o.Key("BICONNORMGLOW", d::TitleGlowMargin);
  o.Key("EXBORDER", OwnPicture("EXBOR.PNG", 2, 0, 3, kExborWL, kExborWT, kExborWR, kExborWB));
  o.Key("BICONMIN", Glyph(R(bMin), 3));
  o.Key("BICONMAX", Glyph(R(bMax), 3));
  o.Key("BICONNORM", Glyph(R(bNorm), 3));
  o.Key("BICONCLOSE", Glyph(R(bClose), 3));
  o.Key("BICONMINGLOW0", OwnPicture("GLOWMIN.PNG", 1, 0, 4));
  o.Key("BICONMAXGLOW0", OwnPicture("GLOWMAX.PNG", 1, 0, 4));
  o.Key("BICONNORMGLOW0", OwnPicture("GLOWNORM.PNG", 1, 0, 4));
  o.Key("BICONCLOSEGLOW0", OwnPicture("GLOWCLOSE.PNG", 1, 0, 4));
  o.Key("BOXCHECKED", Glyph(R(boxOn), 3));
  o.Key("BOXUNCHECKED", Glyph(R(boxOff), 3));
  o.Key("BOXGRAYED", Glyph(R(boxGray), 3));
  o.Key("RADIOCHECKED", Glyph(R(radioOn), 3));
  o.Key("RADIOUNCHECKED", Glyph(R(radioOff), 3));
  o.Key("GRIPIMAGE", Glyph(R(grip), 1));

  o.Section("FORM");
  o.Key("COLOR", d::Mist);
  o.Key("HOTCOLOR", d::Mist);
  o.Key("BORDERSMASK", Border(R(formFrame), 2, 8, 8, 8, 8, 0, 1));

  o.Section("FORMTITLE");
  o.Key("COLOR", d::Mist);
  o.Key("HOTCOLOR", d::Pearl);
  o.Key("GRADIENTPERCENT", 100);
  o.Key("GRADIENTDATA", PearlStyleGradient(d::MistInactive, d::Mist));
  o.Key("HOTGRADIENTPERCENT", 100);
  o.Key("HOTGRADIENTDATA", gradient);
  o.Key("FONTCOLOR", d::TextMuted);
  o.Key("HOTFONTCOLOR", d::Text);
  o.Key("BORDERSMASK", Border(R(titleFrame), 2, 8, 8, 8, 1, 0, 1));

  o.Section("PANEL");
  o.Key("COLOR", d::Mist);
  o.Key("FONTCOLOR", d::Text);
  o.Key("GIVEOWNFONT", "TRUE");
  o.Key("BORDERSMASK", Border(R(panel), 1, 4, 4, 4, 4, 0, 1));

  // Buttons: a pearl face in the quoted gradient, misty blue while hot or pressed.
  auto buttonFace = [&] {
    o.Key("COLOR", d::Pearl);
    o.Key("GRADIENTPERCENT", 100);
    o.Key("GRADIENTDATA", gradient);
    o.Key("HOTCOLOR", d::AccentFace);
    o.Key("HOTGRADIENTPERCENT", 100);
    o.Key("HOTGRADIENTDATA", hotGradient);
    o.Key("FONTCOLOR", d::Text);
    o.Key("HOTFONTCOLOR", d::AccentText);
  };
  o.Section("SPEEDBUTTON");
  buttonFace();
  o.Key("FADINGENABLED", "TRUE");
  o.Key("FADINGITERATIONS", 20);
  o.Key("BORDERSMASK", OwnPicture("BUTTONHUGE.BMP", 3, 1, 0, 10, 10, 10, 10));
  o.Key("GLOW", 0);
  o.Key("GLOWMARGIN", 6);
  o.Key("GLOW0", OwnPicture("GLOWH.PNG", 1, 0, 3, 12, 12, 12, 12));

  o.Section("EDIT");
  o.Key("COLOR", d::Pearl);
  o.Key("HOTCOLOR", d::Pearl);
  o.Key("FONTCOLOR", d::Text);
  o.Key("HOTFONTCOLOR", d::Text);
  o.Key("GLOW", 0);
  o.Key("BORDERSMASK", Border(R(edit), 2, 3, 3, 3, 3, 0, 1));

  auto track = [&](const char* name, int id, bool vertical) {
    o.Section(name);
    o.Key("COLOR", d::Track);
    o.Key("HOTCOLOR", d::TrackPressed);
    o.Key("BORDERSMASK", vertical ? Border(R(id), 1, 1, 0, 0, 0, 0, 0) : Border(R(id), 1, 0, 1, 0, 0, 0, 0));
  };
  auto arrow = [&](const char* name, int border, int glyph) {
    o.Section(name);
    o.Key("COLOR", d::Track);
    o.Key("HOTCOLOR", d::AccentFace);
    o.Key("BORDERSMASK", Border(R(border), 3, 5, 5, 5, 5, 0, 1));
    o.Key("GLYPHMASK", Glyph(R(glyph), 3));
  };
  auto thumb = [&](const char* name, int id, bool vertical) {
    o.Section(name);
    o.Key("COLOR", d::Thumb);
    o.Key("HOTCOLOR", d::ThumbHot);
    o.Key("BORDERSMASK", vertical ? Border(R(id), 1, 7, 4, 6, 4, 0, 1) : Border(R(id), 1, 4, 7, 4, 6, 0, 1));
  };
  track("SCROLLBAR1V", trackV, true);
  track("SCROLLBAR2V", trackV, true);
  arrow("SCROLLBTNTOP", scrollBtnV, arrowUp);
  arrow("SCROLLBTNBOTTOM", scrollBtnV, arrowDown);
  thumb("SCROLLSLIDERV", thumbV, true);
  track("SCROLLBAR1H", trackH, false);
  track("SCROLLBAR2H", trackH, false);
  arrow("SCROLLBTNLEFT", scrollBtnH, arrowLeft);
  o.Key("RESERVEDBOOLEAN", "FALSE");
  arrow("SCROLLBTNRIGHT", scrollBtnH, arrowRight);
  thumb("SCROLLSLIDERH", thumbH, false);

  o.Section("BUTTON");
  buttonFace();
  o.Key("SHOWFOCUS", "TRUE");
  o.Key("FADINGENABLED", "TRUE");
  o.Key("FADINGITERATIONS", 20);
  o.Key("BORDERSMASK", Border(R(button), 3, 6, 6, 6, 6, 0, 1));
  o.Key("GLOW", 1);
  o.Key("GLOWMARGIN", 4);
  o.Key("GLOW0", OwnPicture("GLOWBTN.PNG", 1, 0, 3, 10, 10, 10, 10));

  o.Section("MAINMENU");
  o.Key("COLOR", d::Pearl);
  o.Key("BORDERSMASK", Border(R(menu), 1, 3, 3, 3, 3, 0, 3));
  o.Section("MENUITEM");
  o.Key("COLOR", d::Pearl);
  o.Key("TRANSPARENCY", 100);
  o.Key("HOTCOLOR", d::AccentFace);
  o.Key("HOTTRANSPARENCY", 0);
  o.Key("FONTCOLOR", d::Text);
  o.Key("HOTFONTCOLOR", d::AccentText);
  o.Key("BORDERSMASK", Border(R(menuItem), 2, 5, 4, 5, 4, 2, 1));
  o.Section("ICOLINE");
  o.Key("COLOR", d::Pearl);
  o.Section("DIVIDERV");
  o.Key("COLOR", d::Pearl);
  o.Key("TRANSPARENCY", 100);
  o.Key("BORDERSMASK", Border(R(dividerH), 1, 4, 1, 4, 1, 0, 1));
  o.Section("DIVIDER");
  o.Key("TRANSPARENCY", 100);
  o.Key("BORDERSMASK", Border(R(dividerV), 1, 1, 4, 1, 4, 0, 1));

  o.Section("DIALOG");
  o.Key("COLOR", d::Mist);
  o.Key("HOTCOLOR", d::Mist);
  o.Key("GRADIENTPERCENT", 100);
  o.Key("GRADIENTDATA", gradient);
  o.Key("HOTGRADIENTPERCENT", 100);
  o.Key("HOTGRADIENTDATA", gradient);
  o.Key("FONTCOLOR", d::Text);
  o.Key("HOTFONTCOLOR", d::Text);
  o.Key("BORDERSMASK", Border(R(formFrame), 2, 8, 8, 8, 8, 0, 1));
  o.Section("CHECKBOX");
  o.Key("TRANSPARENCY", 100);
  o.Key("HOTTRANSPARENCY", 100);
  o.Key("FONTCOLOR", d::Text);
  o.Key("HOTFONTCOLOR", d::Text);

  // Controls the notepad does not have; later adapters find a look here.
  o.Section("GROUPBOX");
  o.Key("PARENTCLASS", "PANEL");
  o.Key("TRANSPARENCY", 100);
  o.Section("PANEL_LOW");
  o.Key("PARENTCLASS", "PANEL");
  o.Key("COLOR", Mix(d::Mist, d::Hairline, 0.25));
  o.Section("COMBOBOX");
  o.Key("PARENTCLASS", "EDIT");
  o.Key("GLYPHMASK", Glyph(R(arrowDown), 3));
  o.Section("COMBOBTN");
  o.Key("COLOR", d::Track);
  o.Key("HOTCOLOR", d::AccentFace);
  o.Key("BORDERSMASK", Border(R(scrollBtnV), 3, 5, 5, 5, 5, 0, 1));
  o.Section("COLHEADER");
  o.Key("PARENTCLASS", "BUTTON");
  o.Key("GLOW", 0);
  o.Section("SPEEDBUTTON_SMALL");
  o.Key("PARENTCLASS", "BUTTON");
  o.Key("GLOW", 0);
  o.Section("TOOLBUTTON");
  o.Key("PARENTCLASS", "SPEEDBUTTON");
  o.Key("GLOW", 1);
  o.Key("GLOWMARGIN", 4);
  o.Key("GLOW0", OwnPicture("GLOWWHITE.PNG", 1, 0, 3, 10, 10, 10, 10));
  for (const char* s : {"TOOLBAR", "BAR", "STATUSBAR", "PAGECONTROL"}) {
    o.Section(s);
    o.Key("PARENTCLASS", "PANEL");
  }
  for (const char* s : {"PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"}) {
    o.Section(s);
    o.Key("PARENTCLASS", "PAGECONTROL");
  }
  o.Section("TABTOP");
  o.Key("PARENTCLASS", "BUTTON");
  o.Key("GLOW", 0);
  for (const char* s : {"TABBOTTOM", "TABLEFT", "TABRIGHT"}) {
    o.Section(s);
    o.Key("PARENTCLASS", "TABTOP");
  }
  o.Section("UPDOWNBTN");
  o.Key("PARENTCLASS", "BUTTON");
  o.Key("GLOW", 0);

  TSkinFiles files;
  files.Options = o.Text();
  files.Pictures.push_back({"ButtonHuge.bmp", ButtonHuge()});
  files.Pictures.push_back({"Master.bmp", kx::WriteBmp(*master)});
  files.Pictures.push_back({"Exbor.png", PngFrames({ExborFrame(false), ExborFrame(true)})});
  files.Pictures.push_back({"GlowBtn.png", Png(ControlGlow(30, 6, d::CornerRadius, d::AccentHover, d::GlowDepth))});
  files.Pictures.push_back({"GlowClose.png", Png(TitleGlow(TTitleButton::Close))});
  files.Pictures.push_back({"GlowH.png", Png(ControlGlow(36, 6, d::PageButtonRadius, d::Accent, d::GlowDepth))});
  files.Pictures.push_back({"GlowMax.png", Png(TitleGlow(TTitleButton::Max))});
  files.Pictures.push_back({"GlowMin.png", Png(TitleGlow(TTitleButton::Min))});
  files.Pictures.push_back({"GlowNorm.png", Png(TitleGlow(TTitleButton::Restore))});
  files.Pictures.push_back({"GlowWhite.png", Png(ControlGlow(30, 6, d::CornerRadius, d::Pearl, 0.9))});
  files.ShadowActive = Png(BuiltInShadow(32, d::ShadowDepthActive));
  files.ShadowInactive = Png(BuiltInShadow(31, d::ShadowDepthInactive));
  return files;
}

void WriteSkinFiles(const TSkinFiles& Files, const std::string& Root) {
  namespace fs = std::filesystem;
  auto write = [](const fs::path& p, const void* data, size_t size) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(static_cast<const char*>(data), std::streamsize(size));
    if (!f) throw std::runtime_error("can't write " + p.string());
  };
  const fs::path skin = fs::path(Root) / "Pearlmist", shadows = fs::path(Root) / "Shadows";
  fs::create_directories(skin);
  fs::create_directories(shadows);
  std::string order = "Options.dat\n";
  write(skin / "Options.dat", Files.Options.data(), Files.Options.size());
  for (const auto& [name, bytes] : Files.Pictures) {
    write(skin / name, bytes.data(), bytes.size());
    order += name + "\n";
  }
  write(skin / "kxskin.order", order.data(), order.size());
  write(shadows / "kxSHDA.png", Files.ShadowActive.data(), Files.ShadowActive.size());
  write(shadows / "kxSHDI.png", Files.ShadowInactive.data(), Files.ShadowInactive.size());
}

}  // namespace skingen
