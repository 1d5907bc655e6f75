// The background query: how a control learns what its parent shows behind
// it. The asker passes a TBackgroundQuery by pointer in LParam of
// KX_QUERYBACKGROUND; a skinned parent answers from its TsCommonData, a
// parent that knows nothing of the engine is asked for its colour, or to
// paint itself, instead. ToCacheInfo is the one place an answer becomes the
// TCacheInfo that painting takes. Windows only (sBackgroundQuery_win.cpp);
// queries are synchronous, UI thread only.
#pragma once

#include <cstdint>

#include "skin/framework/sCacheInfo.h"
#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace tk {
class TBitmap;
class TControl;
}  // namespace tk

namespace kx {

class TsCommonData;

// X, Y answer where the asked control's origin lies inside Bmp; painting
// adds the asking control's position.
struct TBackgroundQuery {
  tk::TBitmap* Bmp = nullptr;  // answer
  tk::TColor Color = 0;        // answer when there is no bitmap
  int X = 0, Y = 0;            // answer
  tk::TRect R;                 // question: rectangle for PaintNow
  uint8_t Kind = 0;            // answer: 0 none, 1 colour, 2 bitmap
  uint8_t PaintNow = 0;        // question: paint into DC at R instead
  HDC DC = nullptr;            // question: target of PaintNow
};

constexpr uint8_t kxBGNone = 0;
constexpr uint8_t kxBGColor = 1;
constexpr uint8_t kxBGBitmap = 2;

// A bitmap answer is Ready; a picture of nothing, or a colour, is not.
TCacheInfo ToCacheInfo(const TBackgroundQuery& Query);

// Asks Control (or the plain window Wnd) for its background. A control
// that leaves the query unanswered is asked to paint itself into the
// query's DC when the query asked for painting before, else for its colour.
void QueryControlBackground(TBackgroundQuery& Query, tk::TControl* Control, bool PaintNow);
void QueryWindowBackground(TBackgroundQuery& Query, HWND Wnd, bool PaintNow);
// What the parent window of Wnd shows; the empty TCacheInfo without one.
TCacheInfo GetWindowParentCache(HWND Wnd);
// Control's answer to KX_QUERYCOLOR; its own colour when it gives none or
// answers that it does not know.
tk::TColor ReportedColor(tk::TControl* Control);
// A plain window's answer to KX_QUERYCOLOR; Fallback when it gives none.
tk::TColor WindowColor(HWND Wnd, tk::TColor Fallback);

// What Data's owner answers to KX_QUERYBACKGROUND in the normal (or hot)
// state; Wnd stands for the owner when it is a plain window.
void AnswerBackgroundQuery(const TsCommonData& Data, TBackgroundQuery& Query, bool Hot = false, HWND Wnd = nullptr);
// What lies behind Data's owner, asked of its parent.
TCacheInfo GetParentCache(const TsCommonData& Data);

}  // namespace kx
