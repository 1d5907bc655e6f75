// The engine's labels: TsCustomLabel / TsLabel (plain text; the notepad's
// hidden page state and the about box) and TsWebLabel (a link that opens its
// URL with the shell). Window-less; UI thread only.
#pragma once

#include <cstdint>

#include "toolkit/StdCtrls.h"

namespace kx {

// The system's show commands 0 to 10, handed to the shell unchanged.
enum TsWindowShowMode : uint8_t {
  soHide,
  soNormal,
  soShowMinimized,
  soMaximize,
  soShowNoActivate,
  soShow,
  soMinimize,
  soShowMinNoActive,
  soShowNA,
  soRestore,
  soDefault,
};

class TsCustomLabel : public tk::TCustomLabel {
 public:
  TK_CLASS_NAME(TsCustomLabel)
  explicit TsCustomLabel(tk::TComponent* AOwner);

  const tk::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const tk::String& Value);

  tk::TNotifyEvent OnMouseEnter;
  tk::TNotifyEvent OnMouseLeave;

  void WndProc(tk::TMessage& Message) override;

 protected:
  // The font to paint with (its colour adjusted); the label's own by default.
  virtual tk::TFont* GetCurrentFont();
  void Paint() override;

 private:
  tk::String FSkinSection;
};

class TsLabel : public TsCustomLabel {
 public:
  TK_CLASS_NAME(TsLabel)
  explicit TsLabel(tk::TComponent* AOwner) : TsCustomLabel(AOwner) {}
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool v) { FUseSkinColor = v; }

 private:
  bool FUseSkinColor = true;
};

class TsWebLabel : public TsLabel {
 public:
  TK_CLASS_NAME(TsWebLabel)
  explicit TsWebLabel(tk::TComponent* AOwner);

  // The link's font when not hovered: assigned to the label's font and kept.
  void SetFont(const tk::TFont* Value);
  tk::TFont* NormalFont() { return &FNormalFont; }
  tk::TFont* HoverFont() { return &FHoverFont; }
  void SetHoverFont(const tk::TFont* Value) { FHoverFont.Assign(Value); }
  const tk::String& URL() const { return FURL; }
  void SetURL(const tk::String& v) { FURL = v; }
  TsWindowShowMode ShowMode() const { return FShowMode; }
  void SetShowMode(TsWindowShowMode v) { FShowMode = v; }
  bool MouseAbove() const { return FMouseAbove; }

  void WndProc(tk::TMessage& Message) override;
  void Loaded() override;

 protected:
  tk::TFont* GetCurrentFont() override;

 private:
  void HoverChanged(bool Above);

  tk::TFont FNormalFont;
  tk::TFont FHoverFont;
  tk::String FURL;
  TsWindowShowMode FShowMode = soDefault;
  bool FMouseAbove = false;
};

}  // namespace kx
