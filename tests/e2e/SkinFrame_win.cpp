#include "tests/e2e/SkinFrame_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

#include "tests/e2e/Harness_win.h"

namespace e2e {

namespace {

std::wstring Options() { return HostPath(TABULO_SKINS_DIR "/Pearlmist/Options.dat"); }

}  // namespace

int SkinInt(const wchar_t* Key) {
  const int v = static_cast<int>(GetPrivateProfileIntW(L"GLOBALINFO", Key, -12345, Options().c_str()));
  EXPECT_NE(v, -12345) << "no " << Utf8(Key) << " in the skin";
  return v;
}

SIZE GlyphSize(const wchar_t* Key) {
  wchar_t v[128] = {};
  GetPrivateProfileStringW(L"GLOBALINFO", Key, L"", v, 128, Options().c_str());
  int l = 0, t = 0, r = 0, b = 0, n = 1, type = 0;
  EXPECT_EQ(swscanf(v, L"@%d@%d@%d@%d@%d@%d", &l, &t, &r, &b, &n, &type), 6) << Utf8(v);
  return SIZE{(r - l) / std::max(n, 1), (b - t) / (type + 1)};
}

kx::TkxFormFrame FrameOf(HWND Form) {
  kx::TkxFormFrame f;
  f.Sys.CxFrame = GetSystemMetrics(SM_CXFRAME);
  f.Sys.CxDlgFrame = GetSystemMetrics(SM_CXDLGFRAME);
  f.Sys.CyCaption = GetSystemMetrics(SM_CYCAPTION);
  f.Sys.CySmCaption = GetSystemMetrics(SM_CYSMCAPTION);
  f.Sys.CyMenu = GetSystemMetrics(SM_CYMENU);
  f.Sys.CyHScroll = GetSystemMetrics(SM_CYHSCROLL);
  f.Skin.ExtBorders = true;
  f.Skin.ExBorderWidth = SkinInt(L"BORDERWIDTH");
  f.Skin.ExTitleHeight = SkinInt(L"TITLEHEIGHT");
  f.Skin.ExMaxHeight = SkinInt(L"MAXHEIGHT");
  f.Skin.ExContentOffs = SkinInt(L"FORMOFFSET");
  f.Skin.ExCenterOffs = SkinInt(L"CENTEROFFSET");
  f.Skin.ExDrawMode = SkinInt(L"BORDERMODE");
  f.Skin.BISpacing = SkinInt(L"BISPACE");
  f.Skin.BIVAlign = SkinInt(L"BIVALIGN");
  f.Skin.BIRight = SkinInt(L"BIRIGHT");
  f.Skin.BILeft = SkinInt(L"BILEFT");
  f.Skin.BITop = SkinInt(L"BITOP");
  // Drawn from the frame template (draw mode 1), the shadow is the content
  // offset on every side.
  const int s = f.Skin.ExContentOffs;
  f.Skin.Shadow = tk::TRect{s, s, s, s};
  RECT w, c;
  GetWindowRect(Form, &w);
  GetClientRect(Form, &c);
  f.Window = {w.right - w.left, w.bottom - w.top};
  f.Client = {c.right, c.bottom};
  f.Zoomed = IsZoomed(Form) != 0;
  f.Iconic = IsIconic(Form) != 0;
  f.SysExHeight = kx::SysExHeightFor(f);
  return f;
}

RECT WorkArea() {
  RECT r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

}  // namespace e2e
