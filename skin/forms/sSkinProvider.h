// TsSkinProvider: the component that gives the form owning it a skinned
// frame. It takes over the form's window procedure, paints the whole
// non-client area (frame, title bar, title buttons, grip) and the client
// background into one window image (the cache of its TsCommonData), answers
// the hit tests of that area, runs the title buttons, and with the skin's
// extended borders shows frame and shadow in a layered border window behind
// the form (TkxBorderForm) while the form's own window is cut to its client
// area. One per form, and only on forms; a second one made at run time stays
// inert. UI thread only.
//
// The implementation is split by concern:
//   sSkinProvider_win.cpp        creation, the window procedure, hit tests,
//                                mouse handling of the title buttons, the
//                                window behaviour (activation, caption,
//                                size, maximise, system commands, styles,
//                                DWM, the caption cover, extended borders)
//   sSkinProviderPaint_win.cpp   the window image (PaintAll and its parts),
//                                the title buttons' glyphs and painting,
//                                copying the frame to the screen, the region
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "skin/data/sSkinManager.h"
#include "skin/forms/kxBorderForm.h"
#include "skin/forms/kxCtrlAdapter.h"
#include "skin/framework/kxFormRegistry.h"
#include "skin/framework/sCommonData.h"
#include "skin/paint/sFormGeometry.h"
#include "toolkit/Forms.h"
#include "toolkit/Messages.h"
#include "toolkit/StdCtrls.h"

namespace kx {

class TsSkinManager;
class TkxScrollWnd;

// One title button's state (system buttons and user buttons alike).
struct TsCaptionButton {
  int State = -1;       // -1 not shown, 0 normal, 1 hot, 2 pressed
  int ImageIndex = -1;  // mask index in the skin, -1 none
  tk::TRect Rect;       // image coordinates
  bool HaveAlignment = false;
  int GlowID = -1;
  int HitCode = 0;
};

// The text added after the caption, in its own font.
class TkxAddedTitle : public tk::TPersistent {
 public:
  tk::String Text;
  tk::TFont Font;  // colour clNone: the title's colour
  TkxAddedTitle();
};

// An own title icon; empty: the form's or the application's icon.
class TsTitleIcon : public tk::TPersistent {
 public:
  tk::TBitmap Glyph;
  int Width = 0, Height = 0;
};

// A user title button.
class TsTitleButton : public tk::TPersistent {
 public:
  tk::String Name = L"TsTitleButton";
  tk::TBitmap Glyph;
  bool UseSkinData = true;
  bool Enabled = true;
  bool Visible = true;
  tk::String Hint;
  tk::TNotifyEvent OnMouseDown, OnMouseUp;  // Sender = the provider
  TsCaptionButton BtnData;
};

class TsTitleButtons : public tk::TPersistent {
 public:
  std::vector<std::unique_ptr<TsTitleButton>> Items;
  TsTitleButton* Add();
  int Count() const { return static_cast<int>(Items.size()); }
};

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };
// The manager's show actions: one set of names in the engine.
using TShowAction = TacShowAction;

class TsSkinProvider : public tk::TComponent,
                       public IkxCommonDataProvider,
                       public IkxSkinnedForm,
                       public IkxBorderOwner {
 public:
  TK_CLASS_NAME(TsSkinProvider)
  // Raises when AOwner is no form. A second provider on the same form is
  // inert (RTEmpty), unless the first was made by CreateRT and is still
  // waiting for its first use, which is then freed.
  explicit TsSkinProvider(tk::TComponent* AOwner);
  // A provider made by code after the form exists: it prepares itself on
  // the first hit test, non-client paint or show.
  static TsSkinProvider* CreateRT(tk::TComponent* AOwner, bool InitRT = true);
  ~TsSkinProvider() override;

  // --- Published -------------------------------------------------------------------------
  const tk::String& SkinSection() const;
  void SetSkinSection(const tk::String& v);
  TsCommonData* SkinData() const { return FCommonData.get(); }
  bool AllowExtBorders() const { return FAllowExtBorders; }
  void SetAllowExtBorders(bool v);
  tk::TAlignment CaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(tk::TAlignment v);
  bool DrawNonClientArea() const { return FDrawNonClientArea; }
  void SetDrawNonClientArea(bool v);
  TsGripMode GripMode = gmNone;
  bool MakeSkinMenu = false;
  tk::String MenuLineSkin;
  TsResizeMode ResizeMode = rmStandard;
  bool ScreenSnap = false;
  int SnapBuffer = 10;
  bool ShowAppIcon() const { return FShowAppIcon; }
  void SetShowAppIcon(bool v);
  TsTitleButtons* TitleButtons() { return &FTitleButtons; }
  TsTitleIcon* TitleIcon() { return &FTitleIcon; }
  const tk::String& TitleSkin() const { return FTitleSkin; }
  void SetTitleSkin(const tk::String& v);
  bool UseGlobalColor() const { return FUseGlobalColor; }
  void SetUseGlobalColor(bool v);
  TkxAddedTitle* AddedTitle() { return &FAddedTitle; }
  // Asked first by the border window's hit test; a non-zero Result wins.
  std::function<void(tk::TMessage&)> OnExtHitTest;
  // Lets the application veto or re-section each child the adapter skins.
  TAddItemEvent OnSkinItem;
  // The child-control adapter; null while the form is not skinned.
  TkxCtrlAdapter* Adapter() const { return FAdapter.get(); }

  tk::TCustomForm* Form() const { return FForm; }
  bool RTEmpty() const { return FRTEmpty; }
  bool FormActive() const { return FFormActive; }
  TkxBorderForm* BorderForm() const { return FBorderForm.get(); }

  // --- Geometry (the form's current frame record and its measures) ------------------------
  // The record the frame arithmetic works on, read from the form now.
  TkxFormFrame Frame() const;
  int OffsetX() const { return kx::OffsetX(Frame()); }
  int OffsetY() const { return kx::OffsetY(Frame()); }
  tk::TRect ShadowSize() const;
  int CaptionHeight(bool CheckSkin) const { return kx::CaptionHeight(Frame(), CheckSkin); }
  int SysBorderWidth(bool CheckSkin) const { return kx::SysBorderWidth(Frame(), CheckSkin); }
  tk::TColor FormColor() const;
  bool HaveBorder() const;    // the form has a frame (border style not bsNone)
  bool ExtBordersOn() const;  // extended borders are in use now
  TkxTitleButtonSet ButtonSet() const;
  TkxHitState HitState() const;
  tk::TRect IconRect() const;

  // --- Window behaviour (sSkinProvider_win.cpp) ------------------------------------------
  void PrepareForm();
  void LoadInit();
  void CheckSysMenu(bool Skinned);
  void SetExtBorders(bool Show);
  void RepaintNonClient();
  void ShowCaptionCover();
  void HideCaptionCover();
  void SetHotHT(int HT, bool Repaint) override;
  void SetPressedHT(int HT);
  void KillAnimations() override;
  bool UpdateMenu();
  void InitMenuItems(bool Active);
  void RepaintMenu();
  virtual void CreateAdapter();
  // The adapter's AddAllItems below Below (null: the form), made first when
  // there is none.
  void AdaptAll(tk::TWinControl* Below);
  // The system's own menu at (X, Y) with its items enabled as the form
  // allows; the command chosen is posted back as a system command.
  void DropSysMenu(int X, int Y);
  // What the title buttons and the system menu allow now.
  bool VisibleMax() const;
  bool VisibleMin() const;
  bool EnabledMax() const;
  bool EnabledMin() const;
  bool EnabledRestore() const;
  // Asked by WM_QUERYENDSESSION, which waits (about a second at most) while
  // it answers true; null: nothing to wait for.
  static inline bool (*FadesRunning)() = nullptr;
  // The form's window procedure while hooked.
  void NewWndProc(tk::TMessage& Message);

  // --- Painting (sSkinProviderPaint_win.cpp) ----------------------------------------------
  // Rebuilds what is dirty of the window image (the cache bitmap).
  void PaintAll() override;
  void InitButtons();
  void PaintCaptionButtons();
  void RepaintButton(int HT);
  int ButtonsWidth() const;
  // WM_NCPAINT's work: the region when due, then the frame from the image.
  void PaintNonClient();
  // The client background from the image (or the form's colour) into DC.
  void PaintClientBackground(HDC DC);
  void FillTransparentCorners();
  // Sets the window region when it changed (never on every paint).
  void UpdateRegion(bool Redraw);
  // The region, when the size, state, skin or styles changed since it was set.
  void RegionIfDue(bool Redraw);
  // The title icon as a 32-bit picture with its alpha, made once per icon
  // and size: drawing an icon through the system costs milliseconds.
  std::unique_ptr<tk::TBitmap> FIconPicture;
  HICON FIconPictureOf = nullptr;
  // The top strip as it was before the title went over it, kept between
  // paints so that no new bitmap is made for it every time.
  std::unique_ptr<tk::TBitmap> FTitleBehind;

  // --- Moving and sizing by an outline (ResizeMode rmBorder) -------------------------------
  // Starts a move (Moving) or a size by the edge HT (0: the bottom), with
  // the mouse captured; the window stays where it is until the end.
  void StartBorderDrag(bool Moving, int HT);
  // The outline follows the cursor.
  void TrackBorderDrag();
  // Apply: the window takes the outline's place; else it stays.
  void EndBorderDrag(bool Apply);
  bool BorderDragging() const { return FDrag.DC != nullptr; }

  // --- Title buttons ----------------------------------------------------------------------
  TsCaptionButton ButtonMin, ButtonMax, ButtonClose, ButtonHelp;
  int CurrentHT = 0;
  // The button for a hit code (system or user), null for others.
  TsCaptionButton* ButtonFor(int HT);

  // --- IkxCommonDataProvider, IkxSkinnedForm, IkxBorderOwner ---------------------------------
  tk::TCustomForm* ProviderForm() const override { return FForm; }
  void ProviderWndProc(tk::TMessage& Message) override { NewWndProc(Message); }
  void DropTitleImage() override;
  tk::TCustomForm* SkinnedForm() const override { return FForm; }
  TsSkinManager* FormSkinManager() const override;
  void SetSkinChanging(bool Changing) override;
  void RebuildFrame() override;
  HWND OwnerHandle() const override;
  TsCommonData* OwnerSkinData() const override { return FCommonData.get(); }
  TkxFormFrame OwnerFrame() const override { return Frame(); }
  TkxHitState OwnerHitState() const override { return HitState(); }
  bool OwnerIsProvider() const override { return true; }
  bool OwnerCanPlaceBorders() const override;
  int OwnerExtHitTest(tk::TMessage& Message) override;
  void OwnerDoubleClick(int HT) override;
  tk::TBitmap* OwnerTemplate() const override;
  uint8_t OwnerAlpha() const override;

  // --- State shared by the two halves -------------------------------------------------------
  bool RgnChanged = true;
  bool RgnChanging = false;
  bool HaveSysMenu = false;
  bool FirstInitialized = false;
  bool FSysExHeight = false;
  int FTitleSkinIndex = -1;
  int FCaptionSkinIndex = -1;
  int UserBtnIndex = -1;
  int LockCount = 0;
  bool RTInit = false;
  bool FInAnimation = false;
  bool fAnimating = false;
  bool SkipAnimation = false;
  bool SkinChanging = false;
  TShowAction ShowAction = saIgnore;
  tk::TRect LastClientRect;
  std::vector<tk::TRect> ArOR;           // corners cut from the region
  std::unique_ptr<tk::TBitmap> TempBmp;  // the title strip under the buttons
  std::unique_ptr<tk::TBitmap> TitleBG;
  std::unique_ptr<tk::TBitmap> FGlow1, FGlow2;
  // The region last handed to the system, to skip setting an equal one.
  std::vector<tk::TRect> FLastRegion;

 protected:
  void Loaded() override;

 private:
  // Window behaviour's own state (sSkinProvider_win.cpp).
  tk::TCustomForm* FForm = nullptr;
  std::unique_ptr<TsCommonData> FCommonData;
  std::unique_ptr<TkxBorderForm> FBorderForm;
  std::unique_ptr<TkxCtrlAdapter> FAdapter;
  struct TBorderDrag {
    HDC DC = nullptr;  // the screen's, while an outline is shown
    int Saved = 0;     // its state before the outline's drawing mode
    bool Moving = false;
    int HT = 0;
    tk::TRect Outline;
    tk::TPoint Last;
    int MinWidth = 0, MinHeight = 0;
  } FDrag;
  void DrawOutline();
  std::unique_ptr<TkxScrollWnd> ListSW;
  tk::TWndMethod OldWndProc;
  HWND CaptForm = nullptr;
  bool FRTEmpty = false;
  bool FFormActive = true;
  bool FAllowExtBorders = true;
  bool FDrawNonClientArea = true;
  bool FShowAppIcon = true;
  bool FUseGlobalColor = true;
  tk::TAlignment FCaptionAlignment = tk::taLeftJustify;
  bool FPrepared = false;      // PrepareForm ran for the skin now applied
  bool FSettingStyle = false;  // our own style change is on its way
  tk::TSize FRgnSize{-1, -1};  // the window size the region was marked for
  tk::String FTitleSkin;
  TsTitleIcon FTitleIcon;
  TsTitleButtons FTitleButtons;
  TkxAddedTitle FAddedTitle;

  bool Prepared() const;
  void FrameChanged();
  void ApplyGlobalColor();
  bool IconShown() const;
  bool IsIconicNow() const;
  bool IsZoomedNow() const;
  void ResolveIndexes();
  void SetStyleBits(uint32_t Style);
  void SetDwmTransitions(bool Enabled);
  void SetCachePixelFormat(tk::TPixelFormat Format);
  void RemoveRegion();
  void PlaceBorders(bool Redraw);
  void ResolveRT();
  void WithoutVisibleStyle(const std::function<void()>& Pass);
  void DropSysMenuAtCursor();
  int HitCodeOf(tk::TMessage& m);
  bool PointInButton(const tk::TMessage& m, const TsCaptionButton& b);

  // The window procedure's stages and handlers.
  void CallOld(tk::TMessage& m);
  bool SkinCommandAnyState(tk::TMessage& m);
  void AnswerBackground(TBackgroundQuery& q);
  void SkinRemoved();
  void SkinLoaded();
  void UnskinnedWndProc(tk::TMessage& m);
  void SkinCommand(tk::TMessage& m);
  void SkinnedWndProc(tk::TMessage& m);
  bool CachedBackground() const;
  void WMPaint(tk::TMessage& m);
  void WMEraseBkgnd(tk::TMessage& m);
  void WMPrint(tk::TMessage& m);
  void WMQueryEndSession(tk::TMessage& m);
  void WMNCHitTest(tk::TMessage& m);
  void WMNCPaint(tk::TMessage& m);
  void WMNCActivate(tk::TMessage& m);
  void WMSetText(tk::TMessage& m);
  void WMSize(tk::TMessage& m);
  void WMGetMinMaxInfo(tk::TMessage& m);
  void WMWindowPosChanging(tk::TMessage& m);
  void WMWindowPosChanged(tk::TMessage& m);
  void WMStyleChanged(tk::TMessage& m);
  void CMVisibleChanged(tk::TMessage& m);
  void CMShowingChanged(tk::TMessage& m);
  void KeepFrameInWorkArea();
  void WMSysCommand(tk::TMessage& m);
  void WMNCLButtonDown(tk::TMessage& m);
  void WMButtonUp(tk::TMessage& m);
  void WMNCLButtonDblClk(tk::TMessage& m);
  void WMNCRButtonUp(tk::TMessage& m);
};

}  // namespace kx
