// Drawing tools and the canvas: TFont, TBrush, TPen (each caching its GDI
// handle, rebuilt after a change), TCanvas over an owned or borrowed DC,
// TControlCanvas for controls, TIcon. UI thread only.
//
// A canvas selects its font, brush and pen into the DC when a drawing call
// needs them and puts the DC's previous objects back when the DC is
// detached; it never deletes a DC it borrowed.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/Bitmap.h"
#include "toolkit/Classes.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

// <windows.h> maps TextOut to TextOutW; the canvas keeps the toolkit's name
// and answers to both spellings, whichever order the headers come in.
#ifdef TextOut
#undef TextOut
#endif

namespace tk {

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
constexpr TFontCharset DefaultCharset = 1;  // the system's DEFAULT_CHARSET

// Logical pixels per inch of the screen (96 unless the system says else).
int ScreenPixelsPerInch();

// Base of the drawing tools: change notification and a cached handle.
class TGraphicsObject : public TPersistent {
 public:
  TK_CLASS_NAME(TGraphicsObject)
  TNotifyEvent OnChange;

 protected:
  void Changed();
};

class TFont : public TGraphicsObject {
 public:
  TK_CLASS_NAME(TFont)
  TFont();
  ~TFont() override;

  const String& Name() const { return FName; }
  void SetName(const String& v);
  // Negative: character height in pixels; positive: cell height.
  int Height() const { return FHeight; }
  void SetHeight(int v);
  // Points, derived from Height at PixelsPerInch.
  int Size() const;
  void SetSize(int v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles v);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset v);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch v);
  // Tenths of a degree, counter-clockwise.
  int Orientation() const { return FOrientation; }
  void SetOrientation(int v);
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int v) { FPixelsPerInch = v; }

  // Created on first use; valid until the next change.
  HFONT Handle();
  // Takes over the description of a foreign font handle (not the handle).
  void SetHandle(HFONT h);

  void Assign(const TPersistent* Source) override;
  // Same name, height, colour, style, charset, pitch and orientation.
  bool Equals(const TFont& o) const;

 private:
  void Change();
  void FreeHandle();
  String FName = L"Tahoma";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontCharset FCharset = DefaultCharset;
  TFontPitch FPitch = fpDefault;
  int FOrientation = 0;
  int FPixelsPerInch = 96;
  HFONT FHandle = nullptr;
};

enum TBrushStyle : uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

class TBrush : public TGraphicsObject {
 public:
  TK_CLASS_NAME(TBrush)
  TBrush() = default;
  ~TBrush() override;
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle v);
  // The hollow stock brush for bsClear (not owned).
  HBRUSH Handle();
  void Assign(const TPersistent* Source) override;

 private:
  void Change();
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  HBRUSH FHandle = nullptr;
};

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Raster operations of SetROP2.
enum TPenMode : uint8_t { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmXor };

class TPen : public TGraphicsObject {
 public:
  TK_CLASS_NAME(TPen)
  TPen() = default;
  ~TPen() override;
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  int Width() const { return FWidth; }
  void SetWidth(int v);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle v);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode v);
  HPEN Handle();
  void Assign(const TPersistent* Source) override;

 private:
  void Change();
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
  HPEN FHandle = nullptr;
};

class TIcon;

class TCanvas : public TPersistent {
 public:
  TK_CLASS_NAME(TCanvas)
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The DC; a canvas without one asks CreateHandle for it.
  HDC Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Borrows DC (null detaches: previous objects back, nothing deleted).
  void SetHandle(HDC DC);

  // Lock count: code that draws from several places takes it around a
  // batch so that a control canvas keeps its DC.
  void Lock() { ++FLockCount; }
  void Unlock();
  int LockCount() const { return FLockCount; }
  bool TryLock();

  TFont* Font() { return &FFont; }
  void SetFont(const TFont* v) { FFont.Assign(v); }
  TBrush* Brush() { return &FBrush; }
  void SetBrush(const TBrush* v) { FBrush.Assign(v); }
  TPen* Pen() { return &FPen; }
  void SetPen(const TPen* v) { FPen.Assign(v); }

  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
  // ExtTextOut options (ETO_CLIPPED, ETO_OPAQUE ...) used by TextRect.
  int TextFlags() const { return FTextFlags; }
  void SetTextFlags(int v) { FTextFlags = v; }
  // Raster operation of CopyRect (SRCCOPY by default).
  uint32_t CopyMode() const { return FCopyMode; }
  void SetCopyMode(uint32_t v) { FCopyMode = v; }

  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  void Rectangle(const TRect& R);
  void FillRect(const TRect& R);
  void FrameRect(const TRect& R);
  void TextOut(int X, int Y, const String& Text);
  // Where <windows.h> came after this header, TextOut reads TextOutW.
  void TextOutW(int X, int Y, const String& Text) { TextOut(X, Y, Text); }
  void TextRect(const TRect& R, int X, int Y, const String& Text);
  TSize TextExtent(const String& Text);
  int TextWidth(const String& Text) { return TextExtent(Text).cx; }
  int TextHeight(const String& Text) { return TextExtent(Text).cy; }
  // DrawTextW with the canvas's font and colour; returns the text height.
  int TextDraw(const String& Text, TRect& R, uint32_t Format);

  // 24-bit bitmaps are copied, 32-bit bitmaps drawn with their alpha
  // (straight, not premultiplied) over what is there; transparent bitmaps
  // leave their TransparentColor pixels out.
  void Draw(int X, int Y, TBitmap* Bitmap);
  void StretchDraw(const TRect& R, TBitmap* Bitmap);
  void Draw(int X, int Y, TIcon* Icon);
  void CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect);

  TColor Pixel(int X, int Y);
  void SetPixel(int X, int Y, TColor C);
  TRect ClipRect();

  // Selects the tools afresh at the next drawing call.
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Supplies a DC when none is set (control, bitmap canvases).
  virtual void CreateHandle() {}
  void Changing();
  void Changed();
  void RequireFont();
  void RequireBrush();
  void RequirePen();
  void DeselectHandles();

  HDC FHandle = nullptr;

 private:
  void ToolChanged(TObject*);
  TFont FFont;
  TBrush FBrush;
  TPen FPen;
  TPoint FPenPos;
  int FTextFlags = 0;
  uint32_t FCopyMode = 0x00CC0020;  // SRCCOPY
  int FLockCount = 0;
  bool FFontSelected = false, FBrushSelected = false, FPenSelected = false;
  void* FOldFont = nullptr;
  void* FOldBrush = nullptr;
  void* FOldPen = nullptr;
};

class TControl;

// Canvas of a control: a window DC of the control (windowed) or of its
// parent with the origin moved to the control and clipped to it (graphic),
// obtained on demand and given back by FreeHandle or when unlocked.
class TControlCanvas : public TCanvas {
 public:
  TK_CLASS_NAME(TControlCanvas)
  TControlCanvas() = default;
  explicit TControlCanvas(TControl* AControl) : FControl(AControl) {}
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* v);
  // Gives the DC back to the window (only one obtained by this canvas).
  void FreeHandle();
  // Re-applies origin and clip after the control moved.
  void UpdateTextFlags();
  // Gives the DC back when it belongs to Wnd (any window when null).
  void FreeHandleFor(HWND Wnd);

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

// An icon handle holder (form and application icons).
class TIcon : public TPersistent {
 public:
  TK_CLASS_NAME(TIcon)
  TIcon() = default;
  ~TIcon() override;
  HICON Handle() const { return FHandle; }
  // Takes ownership of h (destroyed with the icon unless Shared).
  void SetHandle(HICON h, bool Shared = false);
  bool Empty() const { return FHandle == nullptr; }
  int Width() const;
  int Height() const;
  // Copies the picture (a new handle).
  void Assign(const TPersistent* Source) override;
  TNotifyEvent OnChange;

 private:
  void FreeHandle();
  HICON FHandle = nullptr;
  bool FShared = false;
};

// Installs GetSysColor behind ColorToRGB; called by TApplication's
// constructor (and harmless to call again).
void InitGraphics();

}  // namespace tk
