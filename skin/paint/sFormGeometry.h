// The geometry of a skinned form's frame: border widths, title height, where
// the client sits in the window image, the title icon, the caption text and
// the title buttons, the hit codes of the non-client area, the border
// window's place and region, the maximised placement and snapping to the
// work area. Everything is computed from one record (the system's metrics,
// the window's style, the skin's frame values), so it is the same numbers
// on every system for the same record. Pure: builds natively.
//
// Coordinates: "window" coordinates are relative to the form's window
// rectangle; "image" coordinates to the window image (the provider's cache),
// which with extended borders includes the shadow margins and the wider
// skinned frame; "border" coordinates to the border window, whose rectangle
// is the image's.
#pragma once

#include <vector>

#include "toolkit/Types.h"

namespace kx {

// GetSystemMetrics values the frame is measured with.
struct TkxSysMetrics {
  int CxFrame = 4;       // SM_CXFRAME
  int CxDlgFrame = 3;    // SM_CXDLGFRAME
  int CyCaption = 19;    // SM_CYCAPTION
  int CySmCaption = 15;  // SM_CYSMCAPTION
  int CyMenu = 19;       // SM_CYMENU
  int CyHScroll = 17;    // SM_CYHSCROLL
};

// The skin's frame values (section GLOBALINFO) and the shadow margins.
struct TkxFrameSkin {
  bool ExtBorders = false;  // the frame is drawn by the border window
  int ExBorderWidth = 4;    // BORDERWIDTH
  int ExTitleHeight = 30;   // TITLEHEIGHT
  int ExMaxHeight = 0;      // MAXHEIGHT; 0 = ExTitleHeight
  int ExContentOffs = 8;    // FORMOFFSET
  int ExCenterOffs = 0;     // CENTEROFFSET
  int ExDrawMode = 0;       // BORDERMODE
  int BILeft = 0, BITop = 0, BIVAlign = 0, BIRight = 0, BISpacing = 0;
  // The manager's FormShadowSize: four margins (Left, Top, Right, Bottom);
  // all 0 without extended borders.
  tk::TRect Shadow;
  // The effective maximised title height (ExMaxHeight, or ExTitleHeight when 0).
  int MaxHeight() const { return ExMaxHeight ? ExMaxHeight : ExTitleHeight; }
};

enum class TkxBorderKind { bkNone, bkSingle, bkSizeable, bkDialog, bkToolWindow, bkSizeToolWin };

// One form as the frame arithmetic sees it.
struct TkxFormFrame {
  TkxSysMetrics Sys;
  TkxFrameSkin Skin;
  TkxBorderKind BorderStyle = TkxBorderKind::bkSizeable;
  bool ThickFrame = true;  // WS_THICKFRAME
  bool Border = true;      // WS_BORDER
  bool Caption = true;     // both WS_CAPTION bits
  bool HasFrame = true;    // the form has a frame at all (border style not none)
  bool Iconic = false;
  bool Zoomed = false;
  // Maximised with extended borders and a skin title lower than the
  // system's + 4 (recomputed on every position change: SysExHeightFor).
  bool SysExHeight = false;
  bool MaxConstraints = false;  // the form limits its maximised size
  int FormBorderWidth = 0;      // the form's own BorderWidth
  tk::TSize Window;             // the form's window size (Width, Height)
  tk::TSize Client;             // its client size
  bool OwnMenu = false;         // the form shows its own main-menu bar
  int MenuRows = 0;             // rows of that bar
  int VScrollWidth = 0;         // the visible skinned vertical bar of the form, else 0
  int HScrollHeight = 0;        // the visible skinned horizontal bar, else 0
};

// --- Frame and title metrics --------------------------------------------------------------

// With CheckSkin and extended borders the skin's BORDERWIDTH (when not 0);
// otherwise SM_CXFRAME for a sizing frame, SM_CXDLGFRAME for WS_BORDER, else 0.
int SysBorderWidth(const TkxFormFrame& F, bool CheckSkin);
// 0 with extended borders, else SysBorderWidth.
int SysBorderHeight(const TkxFormFrame& F, bool CheckSkin);
int DiffBorder(const TkxFormFrame& F);
int DiffTitle(const TkxFormFrame& F);
int BorderWidth(const TkxFormFrame& F, bool CheckSkin);
int BorderHeight(const TkxFormFrame& F, bool CheckSkin);
int CaptionHeight(const TkxFormFrame& F, bool CheckSkin);
int CaptionWidth(const TkxFormFrame& F);
// SM_CYMENU - 1 with an own menu bar, else 0 (one row).
int MenuHeight(const TkxFormFrame& F);
int OffsetX(const TkxFormFrame& F);
int OffsetY(const TkxFormFrame& F);
int HeaderHeight(const TkxFormFrame& F);
// The FSysExHeight rule for the form's current state.
bool SysExHeightFor(const TkxFormFrame& F);
// The window image's size (PaintAll step 1).
tk::TSize ImageSize(const TkxFormFrame& F);
// The content rectangle: the image without the shadow margins.
tk::TRect ContentRect(const TkxFormFrame& F);
// The title's bottom in image coordinates (SysBorderHeight(false) +
// CaptionHeight(true) + shadow top).
int TitleBottom(const TkxFormFrame& F);

// --- Title icon and caption ----------------------------------------------------------------

// The title icon's size: (0, 0) when not Shown; else the given width and
// height where not 0, the rest from the title height (1, 8 or 16).
tk::TSize TitleIconSize(const TkxFormFrame& F, bool Shown, int IconWidth, int IconHeight);
tk::TRect IconRect(const TkxFormFrame& F, tk::TSize IconSize);
// The caption text's rectangle before measuring (step 1 of the caption
// painting), in image coordinates.
tk::TRect CaptionTextRect(const TkxFormFrame& F, int IconWidth, bool CaptionSection, int ButtonsWidth);
enum class TkxCaptionAlign { caLeft, caRight, caCenter };
// Steps 2 and 3: R centred vertically on TextHeight and aligned for a text
// TextWidth wide followed by an added title AddedWidth wide. A centred
// text never starts left of R.Left.
tk::TRect AlignCaptionRect(tk::TRect R, int TextWidth, int TextHeight, int AddedWidth, TkxCaptionAlign Align);

// --- Title buttons -------------------------------------------------------------------------

// The buttons the layout places, right to left: close, maximise (or
// restore), minimise, help, then the user buttons in collection order.
struct TkxTitleButtonSet {
  bool CloseVisible = true;  // also: the form has a system menu
  bool MaxVisible = true;
  bool MinVisible = true;
  bool Help = false;
  int CloseWidth = 21, MaxWidth = 21, MinWidth = 21, HelpWidth = 21;
  int Height = 21;              // SysButtonHeight
  bool HaveAlignment = true;    // BIVAlign applies (standard border styles)
  std::vector<int> UserWidths;  // visible user buttons only, collection order
};
// BISPACE for single and sizeable forms, else 0.
int ButtonSpacing(const TkxFormFrame& F);
int ButtonsWidth(const TkxFormFrame& F, const TkxTitleButtonSet& B);
// The top of a title button (PlaceButton's vertical rule).
int TitleButtonTop(const TkxFormFrame& F, int ButtonHeight, bool HaveAlignment);
// Rectangles in image coordinates; an invisible button gets an empty
// rectangle. User gives one rectangle per entry of UserWidths.
struct TkxTitleButtonRects {
  tk::TRect Close, Max, Min, Help;
  std::vector<tk::TRect> User;
};
TkxTitleButtonRects LayoutTitleButtons(const TkxFormFrame& F, const TkxTitleButtonSet& B);

// --- Hit testing ---------------------------------------------------------------------------

// Hit codes (the system's values) and the engine's own.
enum : int {
  kxHTNOWHERE = 0,
  kxHTCLIENT = 1,
  kxHTCAPTION = 2,
  kxHTSYSMENU = 3,
  kxHTMENU = 5,
  kxHTMINBUTTON = 8,
  kxHTMAXBUTTON = 9,
  kxHTLEFT = 10,
  kxHTRIGHT = 11,
  kxHTTOP = 12,
  kxHTTOPLEFT = 13,
  kxHTTOPRIGHT = 14,
  kxHTBOTTOM = 15,
  kxHTBOTTOMLEFT = 16,
  kxHTBOTTOMRIGHT = 17,
  kxHTBORDER = 18,
  kxHTCLOSE = 20,
  kxHTHELP = 21,
  kxHTUserButton = 1000  // + the user button's collection index
};

// What the hit test needs besides the frame: the buttons where they were
// painted (image coordinates), what is enabled, the icon and the grip.
struct TkxHitState {
  TkxTitleButtonSet Buttons;
  TkxTitleButtonRects Rects;
  bool MaxEnabled = true, MinEnabled = true, RestoreEnabled = true;
  std::vector<bool> UserEnabled;  // per entry of UserWidths
  std::vector<int> UserIndex;     // collection index per entry of UserWidths
  tk::TRect Icon;                 // IconRect
  bool GripShown = false;         // a grip the form paints, or the scroll bars' corner
  tk::TSize GripSize;             // one frame of GRIPIMAGE; (0, 0): none
  bool ContextHelp = false;       // WS_EX_CONTEXTHELP (counts the help button on the border window)
};
// The provider's hit test for P in window coordinates (without extended
// borders the button rectangles are image coordinates shifted by the shadow).
int HTProcess(const TkxFormFrame& F, const TkxHitState& S, tk::TPoint P);
// The grip's top-left in image coordinates for an image of ImageSize.
tk::TPoint GripPosition(const TkxFormFrame& F, tk::TSize GripSize);

// --- The border window ---------------------------------------------------------------------

// How far the border window's top-left lies left of and above the form's
// window (UpdateExBordersPos step 3): the window goes to form - offset.
tk::TPoint BorderWindowOffset(const TkxFormFrame& F);
// The drawn frame (the border window's image less its shadow) relative to
// the form window's top-left corner: it reaches past the window where the
// skin's frame is wider or its title taller than the system's.
tk::TRect DrawnFrameRect(const TkxFormFrame& F);
// The move that brings a drawn frame back into the work area on the sides
// where only the skin's larger frame leaves it (the window itself is inside
// there); a window placed partly off the screen on purpose stays. Where the
// frame is larger than the area, its top and left are kept in.
tk::TPoint FrameShiftIntoArea(const tk::TRect& Window, const tk::TRect& Frame, const tk::TRect& Work);
// True when P (border coordinates, window of Size) lies on the shadow margin.
bool OverShadow(const TkxFormFrame& F, tk::TSize Size, tk::TPoint P);
// The border window's hit test for P in border coordinates; -1 when the
// point belongs to no frame element. OwnerDisabled gives -1 at once.
int BorderHitTest(const TkxFormFrame& F, const TkxHitState& S, tk::TSize Size, tk::TPoint P, bool OwnerDisabled);
// The border window's region as rectangles: Keep is what stays of the
// window (all of it, or the on-screen part when maximised), Hole the part
// where the form's own window shows (empty for a dialog owner).
struct TkxBorderRegion {
  tk::TRect Keep, Hole;
};
TkxBorderRegion BorderRegion(const TkxFormFrame& F, tk::TSize Size, bool ProviderOwner);
// The form's own window region with extended borders (client and menu part
// only); for a maximised form without extended borders the window minus
// the system frame; otherwise the whole window (corner cuts are the
// caller's). Window coordinates.
tk::TRect FormRegionRect(const TkxFormFrame& F);

// --- Placement -----------------------------------------------------------------------------

struct TkxMaxPlacement {
  tk::TPoint Position;
  tk::TSize Size;
};
// WM_GETMINMAXINFO for a work area of WorkArea's size.
TkxMaxPlacement MaximizedPlacement(const TkxFormFrame& F, tk::TSize WorkArea);
// Snapping of a new position (X, Y) of a form of F.Window's size to the
// work area; Buffer is the snapping distance.
tk::TPoint SnapToWorkArea(const TkxFormFrame& F, tk::TPoint Pos, const tk::TRect& WorkArea, int Buffer);

// Moving and sizing by an outline: the outline R dragged by its edge HT
// (a sizing hit code; any other code moves the bottom edge) to the cursor
// C, never narrower than MinWidth nor lower than MinHeight (the moving edge
// stops at the limit).
tk::TRect SizedOutline(tk::TRect R, int HT, tk::TPoint C, int MinWidth, int MinHeight);

}  // namespace kx
