// TkxBorderForm: the layered window that lies directly behind a skinned
// form (or a skinned dialog) and shows its whole window image, frame, title
// and soft shadow, with per-pixel alpha, while the owner's own window is cut
// to its client area. It forwards clicks on the frame to the owner, lets
// clicks on the transparent shadow fall through to the window below, and
// sets the sizing cursors. It asks its owner (IkxBorderOwner) for the image
// and the geometry, so a form's provider and a dialog adapter serve it the
// same way. Windows only; UI thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "skin/framework/kxLayeredSurface.h"
#include "skin/paint/sFormGeometry.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Messages.h"
#include "toolkit/WinTypes.h"

namespace kx {

class TsCommonData;

// What the border window needs from the window it serves.
class IkxBorderOwner {
 public:
  // The owner's window (null when it has none).
  virtual HWND OwnerHandle() const = 0;
  // Its skin state; the cache bitmap is the window image (32 bits per
  // pixel, with the shadow margins).
  virtual TsCommonData* OwnerSkinData() const = 0;
  // The frame record now (sizes, styles, skin values, shadow margins).
  virtual TkxFormFrame OwnerFrame() const = 0;
  // The title buttons, icon and grip for the hit test.
  virtual TkxHitState OwnerHitState() const = 0;
  // Rebuilds what is dirty of the window image.
  virtual void PaintAll() = 0;
  virtual void SetHotHT(int HT, bool Repaint) = 0;
  virtual void KillAnimations() = 0;
  // A form's provider (true) or a dialog adapter (false).
  virtual bool OwnerIsProvider() const = 0;
  // False while the owner must not show its borders now (a provider in its
  // showing phase, painting suspended, a show animation, updating, or its
  // non-client area not drawn).
  virtual bool OwnerCanPlaceBorders() const = 0;
  // The application's own hit test, asked first; non-zero wins.
  virtual int OwnerExtHitTest(tk::TMessage& Message) {
    (void)Message;
    return 0;
  }
  // A double click on the title (HTCAPTION) or the icon (HTSYSMENU).
  virtual void OwnerDoubleClick(int HT) = 0;
  // The template the frame and shadow come from now (active or inactive
  // look), null when the skin has none.
  virtual tk::TBitmap* OwnerTemplate() const = 0;
  // The constant opacity of the owner (its AlphaBlendValue), 255 usually.
  virtual uint8_t OwnerAlpha() const { return 255; }

 protected:
  ~IkxBorderOwner() = default;
};

class TkxBorderForm {
 public:
  // Creates the window (hidden; no owner window, WS_EX_NOACTIVATE |
  // WS_EX_TOOLWINDOW, WS_EX_LAYERED once shown, tagged so no adapter
  // touches it).
  explicit TkxBorderForm(IkxBorderOwner* Owner);
  ~TkxBorderForm();
  TkxBorderForm(const TkxBorderForm&) = delete;
  TkxBorderForm& operator=(const TkxBorderForm&) = delete;

  HWND Handle() const;
  IkxBorderOwner* Owner() const { return FOwner; }

  // Places the window behind the owner, reshapes and repaints it (Redraw,
  // or when the size changed) with the constant opacity Blend; hides it
  // while the owner is invisible. Re-entry and calls while the owner may
  // not show its borders do nothing.
  void UpdateExBordersPos(bool Redraw = true, uint8_t Blend = 255);
  void Hide();

  // The hit code for a screen point, -1 when it belongs to no frame element.
  int Ex_WMNCHitTest(tk::TPoint Screen);
  // Sets the sizing or arrow cursor for the point under the cursor; false:
  // leave it to the default handling.
  bool Ex_WMSetCursor();
  // A mouse message's point (client coordinates for WM_MOUSEMOVE, else the
  // screen point) lies on the shadow margin; clears the hot title button.
  bool MouseAboveTheShadow(const tk::TMessage& Message);

  // A mouse message is being forwarded through a hole in the region.
  bool kxInMouseMsg = false;

  // The surface holding the last picture handed to the system (tests read
  // its alpha; Wine does not blend it on screen).
  TkxLayeredSurface* Surface() const { return FSurface.get(); }

 private:
  void BorderProc(tk::TMessage& Message);
  struct TWindow;  // the window and its procedure (kxBorderForm_win.cpp)

  IkxBorderOwner* FOwner;
  std::unique_ptr<TWindow> FWindow;
  std::unique_ptr<TkxLayeredSurface> FSurface;
  bool ExBorderShowing = false;
};

}  // namespace kx
