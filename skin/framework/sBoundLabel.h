// TsBoundLabel: the caption label of an edit-like control, placed beside or
// above it on the same parent. The label itself is owned by the owner
// control (freed with its components); this object only creates, places
// and frees it. The class runs on Windows only (sBoundLabel_win.cpp); the
// placement rule (sBoundLabel.cpp) is pure. UI thread only.
#pragma once

#include <cstdint>

#include "toolkit/Controls.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Types.h"

namespace kx {

class TsCommonData;

enum TsCaptionLayout : uint8_t { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

class TsBoundLabel : public tk::TPersistent {
 public:
  TK_CLASS_NAME(TsBoundLabel)
  TsBoundLabel(tk::TControl* AOwner, TsCommonData* CommonData);
  ~TsBoundLabel() override;
  TsBoundLabel(const TsBoundLabel&) = delete;
  TsBoundLabel& operator=(const TsBoundLabel&) = delete;

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  const tk::String& Caption() const { return FText; }
  void SetCaption(const tk::String& Value);
  int Indent() const { return FIndent; }
  void SetIndent(int Value);
  tk::TFont* Font();
  void SetFont(const tk::TFont* Value);
  TsCaptionLayout Layout() const { return FLayout; }
  void SetLayout(TsCaptionLayout Value);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int Value);
  bool UseSkinColor() const;
  void SetUseSkinColor(bool Value);

  void AlignLabel();
  tk::TCustomLabel* TheLabel() const { return FTheLabel; }

 private:
  int FMaxWidth = 0;
  tk::String FText;
  TsCaptionLayout FLayout = sclLeft;
  tk::TFont FFont;
  int FIndent = 0;
  bool FActive = false;
  bool FUseSkinColor = true;
  tk::TCustomLabel* FTheLabel = nullptr;
  tk::TControl* FOwner;
  TsCommonData* FCommonData;
};

// Where a bound label goes: the owner's bounds and the label's size.
tk::TPoint BoundLabelPosition(TsCaptionLayout Layout, const tk::TRect& Owner, int LabelWidth, int LabelHeight,
                              int Indent);

}  // namespace kx
