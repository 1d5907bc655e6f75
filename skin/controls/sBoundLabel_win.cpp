#include "skin/controls/sBoundLabel.h"

#include <algorithm>

#include "skin/controls/sLabel.h"

namespace kx {

TsBoundLabel::TsBoundLabel(tk::TControl* AOwner, TsCommonData* CommonData) : FOwner(AOwner), FCommonData(CommonData) {}

TsBoundLabel::~TsBoundLabel() {
  // While its owner goes, the label was freed with the owner's components
  // (and has let go of this object); otherwise it goes now.
  if (!FTheLabel) return;
  if (FOwner && FOwner->IsDestroying()) FTheLabel->BoundLabel = nullptr;
  else tk::FreeAndNil(FTheLabel);
}

namespace {

tk::TAlignment AlignmentOf(TsCaptionLayout Layout) {
  switch (Layout) {
    case sclTopLeft: return tk::taLeftJustify;
    case sclTopCenter: return tk::taCenter;
    case sclLeft:
    case sclTopRight: return tk::taRightJustify;
  }
  return tk::taLeftJustify;
}

}  // namespace

void TsBoundLabel::SetActive(bool Value) {
  if (!Value) {
    FActive = false;
    tk::FreeAndNil(FTheLabel);
    return;
  }
  FActive = true;
  if (FTheLabel) return;
  FTheLabel = tk::Create<TsEditLabel>(FOwner, this);
  FTheLabel->SetUseSkinColor(FUseSkinColor);
  FTheLabel->SetVisible(false);
  FTheLabel->SetParent(FOwner->Parent());
  FTheLabel->SetFocusControl(dynamic_cast<tk::TWinControl*>(FOwner));
  FTheLabel->SetAlignment(AlignmentOf(FLayout));
  FTheLabel->SetName(FOwner->Name() + L"Label");
  FTheLabel->Font()->Assign(&FFont);
  if (FText.empty()) FText = FOwner->Name();
  FTheLabel->SetCaption(FText);
  FTheLabel->SetVisible(FOwner->Visible());
  FTheLabel->SetEnabled(FOwner->Enabled());
  AlignLabel();
}

void TsBoundLabel::SetCaption(const tk::String& Value) {
  FText = Value;
  if (FTheLabel) FTheLabel->SetCaption(Value);
  AlignLabel();
}

void TsBoundLabel::SetIndent(int Value) {
  FIndent = Value;
  AlignLabel();
}

tk::TFont* TsBoundLabel::Font() { return FTheLabel ? FTheLabel->Font() : &FFont; }

void TsBoundLabel::SetFont(const tk::TFont* Value) {
  FFont.Assign(Value);
  if (FTheLabel) FTheLabel->Font()->Assign(Value);
  AlignLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout Value) {
  FLayout = Value;
  if (FTheLabel) FTheLabel->SetAlignment(AlignmentOf(Value));
  AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int Value) {
  FMaxWidth = Value;
  AlignLabel();
}

bool TsBoundLabel::UseSkinColor() const { return FTheLabel ? FTheLabel->UseSkinColor() : FUseSkinColor; }

void TsBoundLabel::SetUseSkinColor(bool Value) {
  FUseSkinColor = Value;
  if (FTheLabel) {
    FTheLabel->SetUseSkinColor(Value);
    FTheLabel->Invalidate();
  }
}

void TsBoundLabel::AlignLabel() {
  if (!FActive || !FTheLabel || !FTheLabel->Visible() || FOwner->IsDestroying()) return;
  FTheLabel->SetParent(FOwner->Parent());
  FTheLabel->SetAutoSize(true);
  // Sized before it is placed: a left label's place depends on its width.
  if (FMaxWidth != 0) {
    FTheLabel->SetAutoSize(false);
    FTheLabel->SetWidth(FMaxWidth);
    FTheLabel->SetWordWrap(true);
    FTheLabel->SetHeight(std::max(FTheLabel->Height(), FOwner->Height()));
  }
  const tk::TPoint p =
      BoundLabelPosition(FLayout, FOwner->BoundsRect(), FTheLabel->Width(), FTheLabel->Height(), FIndent);
  FTheLabel->SetBounds(p.X, p.Y, FTheLabel->Width(), FTheLabel->Height());
}

}  // namespace kx
