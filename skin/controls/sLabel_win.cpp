#include "skin/controls/sLabel.h"

#include <windows.h>
#include <shellapi.h>

#include "skin/controls/sBoundLabel.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxColors.h"
#include "skin/framework/kxCommands.h"
#include "skin/framework/kxEngineState.h"
#include "skin/framework/sBackgroundQuery.h"
#include "skin/framework/sControlPaint.h"
#include "skin/framework/sSkinText.h"
#include "skin/paint/sAlphaGraph.h"
#include "toolkit/Forms.h"

namespace kx {

namespace {

// Set while Paint changes a label's font, so the font-changed notification
// it causes doesn't re-measure and repaint the label again. One for all
// labels: Paint never runs for two labels at once.
bool gLabelPainting = false;

// The default manager, when it has a skin applied and is not going away.
TsSkinManager* ActiveManager() {
  TsSkinManager* m = DefaultManager();
  return m && !m->IsDestroying() && m->SkinData().Active ? m : nullptr;
}

const TsGeneralData* SectionOf(TsSkinManager* m, int Index) {
  return m && m->IsValidSkinIndex(Index) ? &m->gd()[size_t(Index)] : nullptr;
}

void SetFontColor(tk::TFont* Font, tk::TColor Color) {
  if (Font->Color() != Color) Font->SetColor(Color);
}

}  // namespace

// --- TsCustomLabel -------------------------------------------------------------------

TsCustomLabel::TsCustomLabel(tk::TComponent* AOwner) : tk::TCustomLabel(AOwner) { SetTransparent(true); }

void TsCustomLabel::SetSkinSection(const tk::String& Value) {
  if (Value == FSkinSection) return;
  FSkinSection = Value;
  Repaint();
}

void TsCustomLabel::TakeSkinFontColor() {
  TsSkinManager* m = ActiveManager();
  if (!m) return;
  const TsGeneralData* s = SectionOf(m, FindFontSection(this, -1, m));
  const tk::TColor c = s ? s->FontColor[0] : m->GetGlobalFontColor();
  if (c != kxKeyColor) SetFontColor(Font(), c);
}

void TsCustomLabel::TakeWindowTextColor() { SetFontColor(Font(), tk::clWindowText); }

tk::TFont* TsCustomLabel::GetCurrentFont() {
  TakeSkinFontColor();
  return Font();
}

void TsCustomLabel::Paint() {
  TsSkinManager* m = ActiveManager();
  const int section = m && !FSkinSection.empty() ? m->GetSkinIndex(FSkinSection) : -1;
  if (!IsDestroying() && !gLabelPainting) {
    TkxFlagScope painting(gLabelPainting);
    tk::TFont* f = GetCurrentFont();
    if (f != Font()) Font()->Assign(f);
    if (const TsGeneralData* s = SectionOf(m, section)) SetFontColor(Font(), s->FontColor[0]);
  }
  if (section > 0 && Parent()) {
    TBackgroundQuery q;
    QueryControlBackground(q, Parent(), false);
    PaintSectionToDevice(section, FSkinSection, ToCacheInfo(q), m, Canvas()->Handle(), tk::TPoint{Left(), Top()},
                         tk::TRect{0, 0, Width(), Height()}, 0, true);
  }
  tk::TCustomLabel::Paint();
}

void TsCustomLabel::DoDrawText(tk::TRect& R, unsigned Flags) {
  if (Enabled() || IsDestroying() || !ActiveManager() || !Parent()) {
    tk::TCustomLabel::DoDrawText(R, Flags);
    return;
  }
  tk::String text = GetLabelText();
  if ((Flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == L"&"))) text += L' ';
  if (!ShowAccelChar()) Flags |= DT_NOPREFIX;
  Flags = DrawTextBiDiModeFlags(Flags);
  tk::TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  c->Font()->SetColor(MixColors(Font()->Color(), ReportedColor(Parent()), 0.4));
  c->Brush()->SetStyle(tk::bsClear);
  c->TextDraw(text, R, Flags);
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
  if (CommandOf(Message) == KX_SKINREMOVED) {
    if (!IsDestroying() && Message.LParam && reinterpret_cast<TsSkinManager*>(Message.LParam) == DefaultManager())
      TakeWindowTextColor();
  } else if (Message.Msg == tk::CM_MOUSELEAVE && OnMouseLeave) {
    OnMouseLeave(this);
  }
}

// --- TsLabel -------------------------------------------------------------------------

tk::TFont* TsLabel::GetCurrentFont() {
  if (FUseSkinColor && !IsDestroying()) TakeSkinFontColor();
  return Font();
}

void TsLabel::WndProc(tk::TMessage& Message) {
  if (CommandOf(Message) == KX_SKINREMOVED) {
    TsSkinManager* m = DefaultManager();
    if (m && reinterpret_cast<TsSkinManager*>(Message.LParam) == m && FUseSkinColor) TakeWindowTextColor();
    return;
  }
  TsCustomLabel::WndProc(Message);
}

// --- TsEditLabel ---------------------------------------------------------------------

TsEditLabel::~TsEditLabel() {
  if (BoundLabel && BoundLabel->FTheLabel == this) BoundLabel->FTheLabel = nullptr;
}

// --- TsWebLabel ----------------------------------------------------------------------

TsWebLabel::TsWebLabel(tk::TComponent* AOwner) : TsLabel(AOwner) {
  SetCursor(tk::crHandPoint);
  auto style = ControlStyle();
  style.Include(tk::csOpaque);
  SetControlStyle(style);
  SetTransparent(true);
  FNormalFont.Assign(Font());
  FHoverFont.Assign(Font());
  // Without colours of their own the link is the classic blue, red while
  // hovered.
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
  // The colour goes to the label's font only: the normal and hover fonts
  // keep their own for when the skin is gone.
  const tk::TFont* f = FMouseAbove ? &FHoverFont : &FNormalFont;
  tk::TColor c = f->Color();
  TsSkinManager* m = ActiveManager();
  if (const TsGeneralData* info = UseSkinColor() ? SectionOf(m, m ? m->ConstData().IndexGLobalInfo : -1) : nullptr)
    c = info->FontColor[FMouseAbove ? 2 : 4];
  if (c == -1) c = FMouseAbove ? tk::TColor(0x0000FF) : tk::TColor(0xFF0000);
  tk::TFont wanted;
  wanted.Assign(f);
  wanted.SetColor(c);
  Font()->Assign(&wanted);
  return Font();
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
