// TsBoundLabel: the caption label of an edit-like control, placed beside or
// above it on the same parent. The label (a TsEditLabel) is owned by the
// owner control and freed with its components; this object creates, places
// and frees it, and the label tells it when it goes. UI thread only.
#pragma once

#include "skin/framework/sBoundLabelPlace.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Types.h"

namespace kx {

class TsCommonData;
class TsEditLabel;

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
  // The label's flag; kept here while there is no label, and handed to it
  // when it is made.
  bool UseSkinColor() const;
  void SetUseSkinColor(bool Value);

  void AlignLabel();
  TsEditLabel* TheLabel() const { return FTheLabel; }

 private:
  friend class TsEditLabel;  // clears FTheLabel when it is freed

  int FMaxWidth = 0;
  tk::String FText;
  TsCaptionLayout FLayout = sclLeft;
  tk::TFont FFont;
  int FIndent = 0;
  bool FActive = false;
  bool FUseSkinColor = true;
  TsEditLabel* FTheLabel = nullptr;
  tk::TControl* FOwner;
  TsCommonData* FCommonData;
};

}  // namespace kx
