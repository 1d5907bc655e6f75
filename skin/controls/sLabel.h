// The engine's labels: window-less toolkit labels whose font colour follows
// the skin of the default skin manager (they have no TsCommonData), whose
// disabled text is mixed into the parent's colour, and which may paint a
// skin section behind the text. TsLabel can keep its own colour; TsEditLabel
// is the caption label of an edit-like control (sBoundLabel.h); TsWebLabel is
// a link that takes the skin's link colours and opens its URL with the
// shell. UI thread only.
#pragma once

#include <cstdint>

#include "toolkit/StdCtrls.h"

namespace kx {

class TsBoundLabel;

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

  // A section painted behind the text (only one with an index above 0);
  // its font colour applies whenever the skin knows it.
  const tk::String& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const tk::String& Value);

  tk::TNotifyEvent OnMouseEnter;
  tk::TNotifyEvent OnMouseLeave;

  void WndProc(tk::TMessage& Message) override;

 protected:
  // The font to paint with, its colour adjusted to the skin.
  virtual tk::TFont* GetCurrentFont();
  void Paint() override;
  // Disabled under an active skin: the text in 40 % of its colour over
  // 60 % of the parent's.
  void DoDrawText(tk::TRect& R, unsigned Flags) override;
  // Gives the font the colour of the skin's font section for this label.
  void TakeSkinFontColor();
  // The font colour the system uses without a skin, when it differs.
  void TakeWindowTextColor();

 private:
  tk::String FSkinSection;
};

class TsLabel : public TsCustomLabel {
 public:
  TK_CLASS_NAME(TsLabel)
  explicit TsLabel(tk::TComponent* AOwner) : TsCustomLabel(AOwner) {}
  // Off: the label keeps its own font colour (a SkinSection's still applies).
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool v) { FUseSkinColor = v; }

  void WndProc(tk::TMessage& Message) override;

 protected:
  tk::TFont* GetCurrentFont() override;

 private:
  bool FUseSkinColor = true;
};

// Made by a TsBoundLabel, which it tells when it is freed.
class TsEditLabel : public TsLabel {
 public:
  TK_CLASS_NAME(TsEditLabel)
  TsEditLabel(tk::TComponent* AOwner, TsBoundLabel* Bound) : TsLabel(AOwner), BoundLabel(Bound) {}
  ~TsEditLabel() override;

  TsBoundLabel* BoundLabel;
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
