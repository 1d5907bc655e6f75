#include "skin/controls/sLabel.h"

#include <windows.h>
#include <shellapi.h>

#include "toolkit/Forms.h"

namespace kx {

namespace {

// Set while Paint changes a label's font, so the font-changed notification
// it causes doesn't re-measure and repaint the label again.
bool gLabelPainting = false;

}  // namespace

TsCustomLabel::TsCustomLabel(tk::TComponent* AOwner) : tk::TCustomLabel(AOwner) { SetTransparent(true); }

void TsCustomLabel::SetSkinSection(const tk::String& Value) {
  if (Value == FSkinSection) return;
  FSkinSection = Value;
  Repaint();
}

tk::TFont* TsCustomLabel::GetCurrentFont() { return Font(); }

void TsCustomLabel::Paint() {
  if (!IsDestroying() && !gLabelPainting) {
    gLabelPainting = true;
    tk::TFont* f = GetCurrentFont();
    if (f != Font()) Font()->Assign(f);
    gLabelPainting = false;
  }
  tk::TCustomLabel::Paint();
}

void TsCustomLabel::WndProc(tk::TMessage& Message) {
  switch (Message.Msg) {
    case tk::CM_FONTCHANGED:
      if (IsDestroying() || gLabelPainting) return;
      if (AutoSize()) AdjustBounds();
      Invalidate();
      return;
    case tk::CM_MOUSEENTER:
      if (OnMouseEnter) OnMouseEnter(this);
      break;
    default: break;
  }
  tk::TCustomLabel::WndProc(Message);
  if (Message.Msg == tk::CM_MOUSELEAVE && OnMouseLeave) OnMouseLeave(this);
}

TsWebLabel::TsWebLabel(tk::TComponent* AOwner) : TsLabel(AOwner) {
  SetCursor(tk::crHandPoint);
  auto style = ControlStyle();
  style.Include(tk::csOpaque);
  SetControlStyle(style);
  SetTransparent(true);
  FNormalFont.Assign(Font());
  FHoverFont.Assign(Font());
  FNormalFont.SetColor(-1);
  FHoverFont.SetColor(-1);
}

void TsWebLabel::SetFont(const tk::TFont* Value) {
  Font()->Assign(Value);
  FNormalFont.Assign(Value);
  Repaint();
}

void TsWebLabel::Loaded() {
  TsLabel::Loaded();
  Font()->Assign(&FNormalFont);
}

tk::TFont* TsWebLabel::GetCurrentFont() {
  // No skin colours yet: each font keeps its own; an unset colour is the
  // classic link blue, or red while hovered.
  tk::TFont* f = FMouseAbove ? &FHoverFont : &FNormalFont;
  if (f->Color() == -1) f->SetColor(FMouseAbove ? tk::TColor(0x0000FF) : tk::TColor(0xFF0000));
  return f;
}

void TsWebLabel::HoverChanged(bool Above) {
  FMouseAbove = Above;
  if (AutoSize()) {
    Invalidate();
    Update();
    AdjustBounds();
  }
  if (Parent() && Parent()->HandleAllocated()) {
    RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
    ::InvalidateRect(Parent()->Handle(), &r, TRUE);
  }
}

void TsWebLabel::WndProc(tk::TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: return;
    case tk::CM_MOUSEENTER:
      TsLabel::WndProc(Message);
      HoverChanged(true);
      return;
    case tk::CM_MOUSELEAVE:
      TsLabel::WndProc(Message);
      HoverChanged(false);
      return;
    case WM_LBUTTONDOWN:
      TsLabel::WndProc(Message);
      // What the shell makes of the address is its business: the result
      // is not checked.
      if (!FURL.empty())
        ::ShellExecuteW(tk::Application ? tk::Application->Handle() : nullptr, L"open", FURL.c_str(), nullptr, nullptr,
                        static_cast<int>(FShowMode));
      return;
    default: TsLabel::WndProc(Message);
  }
}

}  // namespace kx
