// GDI half of the drawing tools and canvases.
#include "toolkit/Graphics.h"

#include "toolkit/Controls.h"
#include "toolkit/SysUtils.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "toolkit/Handles.h"
#include "toolkit/Premultiply.h"
#include "toolkit/WinSupport.h"

#undef TextOut

namespace tk {

namespace {

TColor SystemColor(int index) { return static_cast<TColor>(::GetSysColor(index)); }

struct TGdiEntryPoints {
  decltype(&::GdiAlphaBlend) AlphaBlend = nullptr;
  decltype(&::GdiTransparentBlt) TransparentBlt = nullptr;
  TGdiEntryPoints() {
    if (HMODULE gdi = ::GetModuleHandleW(L"gdi32.dll")) {
      AlphaBlend =
          reinterpret_cast<decltype(AlphaBlend)>(reinterpret_cast<void*>(::GetProcAddress(gdi, "GdiAlphaBlend")));
      TransparentBlt = reinterpret_cast<decltype(TransparentBlt)>(
          reinterpret_cast<void*>(::GetProcAddress(gdi, "GdiTransparentBlt")));
    }
  }
};

const TGdiEntryPoints& Gdi() {
  static const TGdiEntryPoints e;
  return e;
}

void NoDC() { throw EInvalidOperation(L"Canvas does not allow drawing"); }

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

}  // namespace

void InitGraphics() { SetSysColorFunc(SystemColor); }

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    HDC dc = ::GetDC(nullptr);
    int v = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ::ReleaseDC(nullptr, dc);
    return v > 0 ? v : 96;
  }();
  return ppi;
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// --- TFont ---------------------------------------------------------------------

TFont::TFont() : FPixelsPerInch(ScreenPixelsPerInch()) {}

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
  if (FHandle) ::DeleteObject(FHandle);
  FHandle = nullptr;
}

// Listeners hear of the change while the old handle still exists, so a
// canvas can deselect it before it is deleted.
void TFont::Change() {
  HFONT old = FHandle;
  FHandle = nullptr;
  Changed();
  if (old) ::DeleteObject(old);
}

void TFont::SetName(const String& v) {
  if (v == FName || v.empty()) return;
  FName = v;
  Change();
}

void TFont::SetHeight(int v) {
  if (v == FHeight) return;
  FHeight = v;
  Change();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int v) { SetHeight(-MulDiv(v, FPixelsPerInch, 72)); }

void TFont::SetColor(TColor v) {
  if (v == FColor) return;
  FColor = v;
  // Colour is not part of the GDI font: keep the handle.
  Changed();
}

void TFont::SetStyle(TFontStyles v) {
  if (v == FStyle) return;
  FStyle = v;
  Change();
}

void TFont::SetCharset(TFontCharset v) {
  if (v == FCharset) return;
  FCharset = v;
  Change();
}

void TFont::SetPitch(TFontPitch v) {
  if (v == FPitch) return;
  FPitch = v;
  Change();
}

void TFont::SetOrientation(int v) {
  if (v == FOrientation) return;
  FOrientation = v;
  Change();
}

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONTW lf{};
    lf.lfHeight = FHeight;
    lf.lfEscapement = FOrientation;
    lf.lfOrientation = FOrientation;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic);
    lf.lfUnderline = FStyle.Contains(fsUnderline);
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    lf.lfCharSet = FCharset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    const size_t n = std::min<size_t>(FName.size(), LF_FACESIZE - 1);
    std::memcpy(lf.lfFaceName, FName.data(), n * sizeof(wchar_t));
    FHandle = ::CreateFontIndirectW(&lf);
    if (!FHandle) throw EOutOfResources(L"Out of system resources");
  }
  return FHandle;
}

void TFont::SetHandle(HFONT h) {
  LOGFONTW lf{};
  if (!h || !::GetObjectW(h, sizeof(lf), &lf)) return;
  FName = lf.lfFaceName;
  FHeight = lf.lfHeight;
  FStyle = TFontStyles{};
  if (lf.lfWeight >= FW_BOLD) FStyle.Include(fsBold);
  if (lf.lfItalic) FStyle.Include(fsItalic);
  if (lf.lfUnderline) FStyle.Include(fsUnderline);
  if (lf.lfStrikeOut) FStyle.Include(fsStrikeOut);
  FCharset = lf.lfCharSet;
  FOrientation = lf.lfEscapement;
  const int pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  Change();
}

void TFont::Assign(const TPersistent* Source) {
  auto* f = dynamic_cast<const TFont*>(Source);
  if (!f) {
    TPersistent::Assign(Source);
    return;
  }
  if (f == this || Equals(*f)) return;
  const bool onlyColor = FName == f->FName && FHeight == f->FHeight && FStyle == f->FStyle && FCharset == f->FCharset &&
                         FPitch == f->FPitch && FOrientation == f->FOrientation;
  FName = f->FName;
  FHeight = f->FHeight;
  FColor = f->FColor;
  FStyle = f->FStyle;
  FCharset = f->FCharset;
  FPitch = f->FPitch;
  FOrientation = f->FOrientation;
  if (onlyColor) Changed();
  else Change();
}

bool TFont::Equals(const TFont& o) const {
  return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle &&
         FCharset == o.FCharset && FPitch == o.FPitch && FOrientation == o.FOrientation;
}

// --- TBrush, TPen ----------------------------------------------------------------

TBrush::~TBrush() {
  if (FHandle) ::DeleteObject(FHandle);
}

void TBrush::Change() {
  HBRUSH old = FHandle;
  FHandle = nullptr;
  Changed();
  if (old) ::DeleteObject(old);
}

void TBrush::SetColor(TColor v) {
  if (v == FColor) return;
  FColor = v;
  if (FStyle == bsClear) FStyle = bsSolid;
  Change();
}

void TBrush::SetStyle(TBrushStyle v) {
  if (v == FStyle) return;
  FStyle = v;
  Change();
}

HBRUSH TBrush::Handle() {
  if (FStyle == bsClear) return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  if (!FHandle) {
    const COLORREF c = static_cast<COLORREF>(ColorToRGB(FColor));
    static const int hatch[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    FHandle = FStyle == bsSolid ? ::CreateSolidBrush(c) : ::CreateHatchBrush(hatch[FStyle], c);
    if (!FHandle) throw EOutOfResources(L"Out of system resources");
  }
  return FHandle;
}

void TBrush::Assign(const TPersistent* Source) {
  auto* b = dynamic_cast<const TBrush*>(Source);
  if (!b) {
    TPersistent::Assign(Source);
    return;
  }
  if (b == this || (b->FColor == FColor && b->FStyle == FStyle)) return;
  FColor = b->FColor;
  FStyle = b->FStyle;
  Change();
}

TPen::~TPen() {
  if (FHandle) ::DeleteObject(FHandle);
}

void TPen::Change() {
  HPEN old = FHandle;
  FHandle = nullptr;
  Changed();
  if (old) ::DeleteObject(old);
}

void TPen::SetColor(TColor v) {
  if (v == FColor) return;
  FColor = v;
  Change();
}

void TPen::SetWidth(int v) {
  if (v == FWidth) return;
  FWidth = v;
  Change();
}

void TPen::SetStyle(TPenStyle v) {
  if (v == FStyle) return;
  FStyle = v;
  Change();
}

void TPen::SetMode(TPenMode v) {
  if (v == FMode) return;
  FMode = v;
  Changed();
}

HPEN TPen::Handle() {
  if (!FHandle) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = ::CreatePen(styles[FStyle], FWidth, static_cast<COLORREF>(ColorToRGB(FColor)));
    if (!FHandle) throw EOutOfResources(L"Out of system resources");
  }
  return FHandle;
}

void TPen::Assign(const TPersistent* Source) {
  auto* p = dynamic_cast<const TPen*>(Source);
  if (!p) {
    TPersistent::Assign(Source);
    return;
  }
  if (p == this) return;
  FColor = p->FColor;
  FWidth = p->FWidth;
  FStyle = p->FStyle;
  FMode = p->FMode;
  Change();
}

// --- TCanvas -----------------------------------------------------------------

TCanvas::TCanvas() {
  FFont.OnChange = TNotifyEvent(this, &TCanvas::ToolChanged);
  FBrush.OnChange = TNotifyEvent(this, &TCanvas::ToolChanged);
  FPen.OnChange = TNotifyEvent(this, &TCanvas::ToolChanged);
}

TCanvas::~TCanvas() { DeselectHandles(); }

void TCanvas::ToolChanged(TObject* Sender) {
  // Put the DC's own object back now: the tool deletes its handle next.
  if (!FHandle) return;
  if (Sender == &FFont && FFontSelected) {
    ::SelectObject(FHandle, FOldFont);
    FFontSelected = false;
  } else if (Sender == &FBrush && FBrushSelected) {
    ::SelectObject(FHandle, FOldBrush);
    FBrushSelected = false;
  } else if (Sender == &FPen && FPenSelected) {
    ::SelectObject(FHandle, FOldPen);
    FPenSelected = false;
  }
}

HDC TCanvas::Handle() {
  if (!FHandle) CreateHandle();
  if (!FHandle) NoDC();
  return FHandle;
}

void TCanvas::SetHandle(HDC DC) {
  if (DC == FHandle) return;
  DeselectHandles();
  FHandle = DC;
  if (DC) {
    POINT p{};
    ::GetCurrentPositionEx(DC, &p);
    FPenPos = TPoint{p.x, p.y};
  }
}

void TCanvas::DeselectHandles() {
  if (!FHandle) {
    FFontSelected = FBrushSelected = FPenSelected = false;
    return;
  }
  if (FFontSelected) ::SelectObject(FHandle, FOldFont);
  if (FBrushSelected) ::SelectObject(FHandle, FOldBrush);
  if (FPenSelected) ::SelectObject(FHandle, FOldPen);
  FFontSelected = FBrushSelected = FPenSelected = false;
  FOldFont = FOldBrush = FOldPen = nullptr;
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Unlock() {
  if (FLockCount > 0) --FLockCount;
}

bool TCanvas::TryLock() {
  ++FLockCount;
  return true;
}

void TCanvas::RequireFont() {
  HDC dc = Handle();
  if (!FFontSelected) {
    HGDIOBJ old = ::SelectObject(dc, FFont.Handle());
    FOldFont = old;
    FFontSelected = true;
  }
  ::SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont.Color())));
}

void TCanvas::RequireBrush() {
  HDC dc = Handle();
  if (!FBrushSelected) {
    FOldBrush = ::SelectObject(dc, FBrush.Handle());
    FBrushSelected = true;
  }
  if (FBrush.Style() == bsClear) {
    ::SetBkMode(dc, TRANSPARENT);
  } else {
    ::SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(FBrush.Color())));
    ::SetBkMode(dc, OPAQUE);
  }
}

void TCanvas::RequirePen() {
  HDC dc = Handle();
  if (!FPenSelected) {
    FOldPen = ::SelectObject(dc, FPen.Handle());
    FPenSelected = true;
  }
  static const int rop[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_XORPEN};
  ::SetROP2(dc, rop[FPen.Mode()]);
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::MoveTo(int X, int Y) {
  ::MoveToEx(Handle(), X, Y, nullptr);
  FPenPos = TPoint{X, Y};
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequirePen();
  ::LineTo(FHandle, X, Y);
  FPenPos = TPoint{X, Y};
  Changed();
}

void TCanvas::Rectangle(const TRect& R) {
  Changing();
  RequirePen();
  RequireBrush();
  ::Rectangle(FHandle, R.Left, R.Top, R.Right, R.Bottom);
  Changed();
}

void TCanvas::FillRect(const TRect& R) {
  Changing();
  RequireBrush();
  RECT r = ToRECT(R);
  ::FillRect(FHandle, &r, FBrush.Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& R) {
  Changing();
  RequireBrush();
  RECT r = ToRECT(R);
  ::FrameRect(FHandle, &r, FBrush.Handle());
  Changed();
}

void TCanvas::TextOut(int X, int Y, const String& Text) {
  Changing();
  RequireFont();
  RequireBrush();
  ::ExtTextOutW(FHandle, X, Y, static_cast<UINT>(FTextFlags), nullptr, Text.c_str(), static_cast<UINT>(Text.size()),
                nullptr);
  FPenPos = TPoint{X + TextExtent(Text).cx, Y};
  Changed();
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const String& Text) {
  Changing();
  RequireFont();
  RequireBrush();
  UINT options = static_cast<UINT>(FTextFlags) | ETO_CLIPPED;
  if (FBrush.Style() != bsClear) options |= ETO_OPAQUE;
  RECT r = ToRECT(R);
  ::ExtTextOutW(FHandle, X, Y, options, &r, Text.c_str(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const String& Text) {
  RequireFont();
  SIZE s{};
  if (!Text.empty()) {
    ::GetTextExtentPoint32W(FHandle, Text.c_str(), static_cast<int>(Text.size()), &s);
  } else {
    // An empty text still has the font's height.
    TEXTMETRICW tm{};
    ::GetTextMetricsW(FHandle, &tm);
    s.cy = tm.tmHeight;
  }
  return TSize{s.cx, s.cy};
}

int TCanvas::TextDraw(const String& Text, TRect& R, uint32_t Format) {
  Changing();
  RequireFont();
  RequireBrush();
  RECT r = ToRECT(R);
  int h = ::DrawTextW(FHandle, Text.c_str(), static_cast<int>(Text.size()), &r, Format);
  R = TRect{r.left, r.top, r.right, r.bottom};
  Changed();
  return h;
}

namespace {

// A premultiplied copy of a 32-bit bitmap for AlphaBlend, which only takes
// premultiplied pixels; ours are straight.
struct TPremultiplied {
  detail::TPixelStore store;
  TOwnedDC dc;
  HGDIOBJ old = nullptr;
  explicit TPremultiplied(TBitmap* src) {
    store = detail::AllocPixelStore(src->Width(), src->Height(), TPixelFormat::pf32bit);
    detail::FlushPixelStore();
    for (int y = 0; y < src->Height(); ++y) {
      uint8_t* d = store.bits + store.stride * y;
      std::memcpy(d, src->ScanLine(y), size_t(src->Width()) * 4);
      PremultiplyRow(d, src->Width());
    }
    dc.Reset(::CreateCompatibleDC(nullptr));
    old = ::SelectObject(dc, static_cast<HBITMAP>(store.handle));
  }
  ~TPremultiplied() {
    if (dc) ::SelectObject(dc, old);
    dc.Reset();
    detail::FreePixelStore(store);
  }
};

}  // namespace

void TCanvas::StretchDraw(const TRect& R, TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->Empty() || R.IsEmpty()) return;
  Changing();
  HDC dc = Handle();
  const int w = Bitmap->Width(), h = Bitmap->Height();
  if (Bitmap->PixelFormat() == TPixelFormat::pf32bit && !Bitmap->Transparent && Gdi().AlphaBlend) {
    TPremultiplied pm(Bitmap);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    Gdi().AlphaBlend(dc, R.Left, R.Top, R.Width(), R.Height(), pm.dc, 0, 0, w, h, bf);
  } else {
    HDC src = Bitmap->Canvas()->Handle();
    if (Bitmap->Transparent && Gdi().TransparentBlt) {
      Gdi().TransparentBlt(dc, R.Left, R.Top, R.Width(), R.Height(), src, 0, 0, w, h,
                           static_cast<UINT>(ColorToRGB(Bitmap->TransparentColor)));
    } else if (R.Width() == w && R.Height() == h) {
      ::BitBlt(dc, R.Left, R.Top, w, h, src, 0, 0, FCopyMode);
    } else {
      ::StretchBlt(dc, R.Left, R.Top, R.Width(), R.Height(), src, 0, 0, w, h, FCopyMode);
    }
  }
  Changed();
}

void TCanvas::Draw(int X, int Y, TBitmap* Bitmap) {
  if (!Bitmap) return;
  StretchDraw(Bounds(X, Y, Bitmap->Width(), Bitmap->Height()), Bitmap);
}

void TCanvas::Draw(int X, int Y, TIcon* Icon) {
  if (!Icon || Icon->Empty()) return;
  Changing();
  ::DrawIconEx(Handle(), X, Y, Icon->Handle(), 0, 0, 0, nullptr, DI_NORMAL);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect) {
  if (!Source) return;
  Changing();
  HDC dc = Handle();
  ::StretchBlt(dc, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Source->Handle(), SourceRect.Left, SourceRect.Top,
               SourceRect.Width(), SourceRect.Height(), FCopyMode);
  Changed();
}

TColor TCanvas::Pixel(int X, int Y) {
  COLORREF c = ::GetPixel(Handle(), X, Y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int X, int Y, TColor C) {
  Changing();
  ::SetPixelV(Handle(), X, Y, static_cast<COLORREF>(ColorToRGB(C)));
  Changed();
}

TRect TCanvas::ClipRect() {
  RECT r{};
  ::GetClipBox(Handle(), &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

// --- TControlCanvas -------------------------------------------------------------

namespace detail {
// Control canvases that hold a DC of their own; given back between messages.
// Never freed: canvases may still go during the program's exit.
std::vector<TControlCanvas*>& HeldControlCanvases() {
  static auto* v = new std::vector<TControlCanvas*>;
  return *v;
}
void FreeControlCanvases(HWND Wnd) {
  auto copy = HeldControlCanvases();
  for (TControlCanvas* c : copy)
    if (Wnd || c->LockCount() == 0) c->FreeHandleFor(Wnd);
}
}  // namespace detail

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* v) {
  if (v == FControl) return;
  FreeHandle();
  FControl = v;
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  SetHandle(nullptr);
  ::ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  FWindowHandle = nullptr;
  auto& held = detail::HeldControlCanvases();
  held.erase(std::remove(held.begin(), held.end(), this), held.end());
}

void TControlCanvas::FreeHandleFor(HWND Wnd) {
  if (!Wnd || Wnd == FWindowHandle) FreeHandle();
}

void TControlCanvas::CreateHandle() {
  if (!FControl || FDeviceContext) return;
  HWND wnd = nullptr;
  int dx = 0, dy = 0;
  auto* win = dynamic_cast<TWinControl*>(FControl);
  if (win) {
    wnd = win->Handle();
  } else {
    TWinControl* p = FControl->Parent();
    if (!p) return;
    wnd = p->Handle();
    dx = FControl->Left();
    dy = FControl->Top();
  }
  HDC dc = ::GetDCEx(wnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!dc) throw EOutOfResources(L"Out of system resources");
  if (!win) {
    ::SetViewportOrgEx(dc, dx, dy, nullptr);
    ::IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
  }
  FDeviceContext = dc;
  FWindowHandle = wnd;
  detail::HeldControlCanvases().push_back(this);
  SetHandle(dc);
  UpdateTextFlags();
}

void TControlCanvas::UpdateTextFlags() {
  if (!FControl) return;
  int f = TextFlags();
  if (FControl->UseRightToLeftReading()) f |= ETO_RTLREADING;
  else f &= ~ETO_RTLREADING;
  SetTextFlags(f);
}

// --- TIcon ---------------------------------------------------------------------

TIcon::~TIcon() { FreeHandle(); }

void TIcon::FreeHandle() {
  if (FHandle && !FShared) ::DestroyIcon(FHandle);
  FHandle = nullptr;
  FShared = false;
}

void TIcon::SetHandle(HICON h, bool Shared) {
  if (h == FHandle) {
    FShared = Shared;
    return;
  }
  FreeHandle();
  FHandle = h;
  FShared = Shared;
  if (OnChange) OnChange(this);
}

namespace {
SIZE IconSize(HICON h) {
  SIZE s{0, 0};
  ICONINFO ii{};
  if (!h || !::GetIconInfo(h, &ii)) return s;
  BITMAP bm{};
  if (ii.hbmColor && ::GetObjectW(ii.hbmColor, sizeof(bm), &bm)) {
    s = SIZE{bm.bmWidth, bm.bmHeight};
  } else if (ii.hbmMask && ::GetObjectW(ii.hbmMask, sizeof(bm), &bm)) {
    s = SIZE{bm.bmWidth, bm.bmHeight / 2};  // mask holds AND and XOR halves
  }
  if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
  if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
  return s;
}
}  // namespace

int TIcon::Width() const { return IconSize(FHandle).cx; }
int TIcon::Height() const { return IconSize(FHandle).cy; }

void TIcon::Assign(const TPersistent* Source) {
  if (!Source) {
    SetHandle(nullptr);
    return;
  }
  auto* i = dynamic_cast<const TIcon*>(Source);
  if (!i) {
    TPersistent::Assign(Source);
    return;
  }
  if (i == this) return;
  SetHandle(i->FHandle ? ::CopyIcon(i->FHandle) : nullptr);
}

}  // namespace tk
