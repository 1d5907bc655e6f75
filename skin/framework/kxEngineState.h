// Engine-wide state of the user-interface thread: the flags the skin manager
// raises while it loads, announces or removes a skin, and which painting code
// reads to skip work meanwhile. Plain variables guarded by flags, never by
// locks: only the UI thread touches them. Pure: builds natively.
#pragma once

#include "toolkit/Types.h"
#include "toolkit/WinTypes.h"

namespace tk {
class TControl;
}

namespace kx {

struct TkxEngineState {
  // A skin is being loaded or applied; painting skips work while it is set.
  bool SkinLoading = false;
  // Between freezing and releasing the forms of a skin change.
  bool SkinChangeAnimating = false;
  // BeginUpdate of a skin manager is in force.
  bool UpdateLocked = false;
  // The standard dialogs are to be skinned (the default manager's dialog rule).
  bool SkinDialogs = false;
  // KX_SKINLOADED is being broadcast.
  bool Announcing = false;
  // Skinning is being switched off.
  bool RemovingSkin = false;
  // The section named by the KX_SECTIONCHANGED broadcast running now (upper case).
  tk::String ChangedSection;
  // A window animation is being prepared or played. Controls that see it
  // (or a skin change holding the forms frozen) paint only into PaintTarget
  // or from their caches.
  bool WindowAnimating = false;
  // DC of the bitmap a window picture is being captured into, else null.
  HDC PaintTarget = nullptr;
  // PaintGraphicChildren is running: a call nested in a child's painting
  // paints nothing.
  bool PaintingGraphicChildren = false;
  // Application-wide veto: a control for which this answers true is left out
  // of the broadcasts to children (the broadcast does not descend into it).
  bool (*ExcludeFromSkinning)(tk::TControl* Control) = nullptr;
};

inline TkxEngineState Engine;

// The engine-wide animation flag: a window animation, or a skin change that
// holds the forms frozen.
inline bool AnimationFlag() { return Engine.WindowAnimating || Engine.SkinChangeAnimating; }

// Sets a flag for the length of a scope and gives it its previous value back,
// also when the scope is left by an exception: a load that fails must not
// leave the engine believing it is still loading.
class TkxFlagScope {
 public:
  TkxFlagScope(bool& Flag, bool Value = true) : FFlag(Flag), FOld(Flag) { FFlag = Value; }
  ~TkxFlagScope() { FFlag = FOld; }
  TkxFlagScope(const TkxFlagScope&) = delete;
  TkxFlagScope& operator=(const TkxFlagScope&) = delete;

 private:
  bool& FFlag;
  bool FOld;
};

}  // namespace kx
