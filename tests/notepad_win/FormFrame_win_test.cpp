// The notepad window's frame as its provider paints it: the window image
// with the internal skin's extended borders (frame, title, buttons, caption,
// shadow), the title buttons' looks, the window region, and repainting
// without leaking. The pixels are read from the image itself: Wine places
// the border window but does not blend it on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/Unit1.h"
#include "skin/data/sSkinManager.h"
#include "skin/framework/kxColors.h"
#include "skin/paint/StretchHalftone.h"
#include "skin/paint/sSkinItemPaint.h"
#include "tests/support/GdiObjects_win.h"
#include "tests/support/Pump_win.h"

namespace {

using tk::test::PumpPending;

struct TBgra {
  uint8_t B, G, R, A;
};

TBgra PixelAt(tk::TBitmap* Bmp, int X, int Y) {
  const uint8_t* p = Bmp->ScanLine(Y) + X * 4;
  return {p[0], p[1], p[2], p[3]};
}

bool SameColour(TBgra P, tk::TColor C) {
  return P.R == (C & 0xFF) && P.G == ((C >> 8) & 0xFF) && P.B == ((C >> 16) & 0xFF);
}

// The bytes of R of a 32-bit bitmap, row after row.
std::vector<uint8_t> Bytes(tk::TBitmap* Bmp, tk::TRect R) {
  std::vector<uint8_t> out;
  for (int y = R.Top; y < R.Bottom; ++y) {
    const uint8_t* p = Bmp->ScanLine(y) + R.Left * 4;
    out.insert(out.end(), p, p + R.Width() * 4);
  }
  return out;
}

class FormFrame : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { kx::InitializeEngine(); }
  void SetUp() override {
    Form = tk::Create<TForm1>(tk::Application);
    Form->Show();
    PumpPending();
    P = Form->sSkinProvider1;
    ASSERT_TRUE(P->Frame().Skin.ExtBorders) << "the notepad runs with extended borders";
  }
  void TearDown() override {
    Form->Free();
    PumpPending();
  }
  tk::TBitmap* Image() const { return P->SkinData()->FCacheBmp.get(); }
  void Repaint() const {
    P->SkinData()->BGChanged = true;
    P->PaintAll();
  }
  const kx::TkxSkinContent& Skin() const { return Form->sSkinManager1->Content(); }
  int Title() const { return Skin().GetSkinIndex(L"FORMTITLE"); }

  TForm1* Form = nullptr;
  kx::TsSkinProvider* P = nullptr;
};

TEST_F(FormFrame, TheWindowImageIsTheFormWithItsSkinnedFrameAndASoftShadow) {
  Repaint();
  tk::TBitmap* img = Image();
  ASSERT_TRUE(img);
  EXPECT_EQ(img->PixelFormat(), tk::TPixelFormat::pf32bit);
  // The skin's frame (26) and title (51) in place of the system's, and a
  // shadow of FORMOFFSET (16) on every side.
  const int frame = GetSystemMetrics(SM_CXFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
  EXPECT_EQ(img->Width(), Form->Width() + 2 * (26 - frame) + 2 * 16);
  EXPECT_EQ(img->Height(), Form->Height() + (26 - frame) + (51 - caption - frame) + 2 * 16);

  const tk::TRect client{kx::OffsetX(P->Frame()), kx::OffsetY(P->Frame()), 0, 0};
  int seeThrough = 0;
  for (int y = client.Top; y < client.Top + Form->ClientHeight(); ++y)
    for (int x = client.Left; x < client.Left + Form->ClientWidth(); ++x) seeThrough += PixelAt(img, x, y).A != 255;
  EXPECT_EQ(seeThrough, 0) << "the client part of the image is opaque";
  int soft = 0;
  for (int x = 0; x < 16; ++x) {
    const uint8_t a = PixelAt(img, x, img->Height() / 2).A;
    soft += a > 0 && a < 255;
  }
  EXPECT_GT(soft, 0) << "the shadow beside the frame fades";
  EXPECT_LT(PixelAt(img, 0, 0).A, 255) << "the outer corner is see-through";
}

TEST_F(FormFrame, TheTitleShowsItsSectionsActiveOrInactiveLook) {
  const int title = Title();
  ASSERT_GE(title, 0);
  auto check = [&](int State) {
    Repaint();
    tk::TBitmap* img = Image();
    const tk::TRect r = kx::ContentRect(P->Frame());
    const int bottom = kx::TitleBottom(P->Frame());
    // The section painted on its own, the size of the title band.
    tk::TBitmap ref(r.Width(), bottom - r.Top, tk::TPixelFormat::pf32bit);
    const kx::TkxSectionRef s{title, L"FORMTITLE", -1, -1, &Skin(), kxKeyColor};
    kx::PaintSectionLook(
        s, kx::TkxPaintTarget{&ref, {0, 0, ref.Width(), ref.Height()}, {0, 0}, State, kx::EmptyCacheInfo()}, true);
    // A column between the caption and the buttons, inside the section's border.
    const int x = P->ButtonMin.Rect.Left - 6;
    int differing = 0;
    for (int y = r.Top + 10; y < bottom - 4; ++y) {
      const TBgra a = PixelAt(img, x, y), b = PixelAt(&ref, x - r.Left, y - r.Top);
      differing += a.R != b.R || a.G != b.G || a.B != b.B;
    }
    EXPECT_EQ(differing, 0) << "state " << State;
    return Bytes(img, {x, r.Top + 10, x + 1, bottom - 4});
  };
  const auto active = check(1);
  SendMessageW(Form->Handle(), WM_NCACTIVATE, FALSE, 0);
  ASSERT_FALSE(P->FormActive());
  const auto inactive = check(0);
  EXPECT_NE(active, inactive);
}

TEST_F(FormFrame, TheCaptionIsWrittenInTheTitlesFontColour) {
  Form->SetCaption(L"Frame caption WWW");
  const kx::TsGeneralData& g = Skin().gd[Title()];
  auto inkPixels = [&](tk::TColor Ink) {
    Repaint();
    tk::TBitmap* img = Image();
    const tk::TRect r = kx::ContentRect(P->Frame());
    int n = 0;
    for (int y = r.Top; y < kx::TitleBottom(P->Frame()); ++y)
      for (int x = P->IconRect().Right; x < P->ButtonMin.Rect.Left; ++x) n += SameColour(PixelAt(img, x, y), Ink);
    return n;
  };
  EXPECT_GT(inkPixels(g.HotFontColor[0]), 20);
  SendMessageW(Form->Handle(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_GT(inkPixels(g.FontColor[0]), 20);
}

TEST_F(FormFrame, TitleButtonsShowTheirGlyphsNormalHotAndPressed) {
  Repaint();
  struct TCase {
    int HT;
    kx::TsCaptionButton* Button;
    const wchar_t* Mask;
  } cases[] = {{HTCLOSE, &P->ButtonClose, L"BICONCLOSE"},
               {HTMAXBUTTON, &P->ButtonMax, L"BICONMAX"},
               {HTMINBUTTON, &P->ButtonMin, L"BICONMIN"}};
  const int bottom = kx::TitleBottom(P->Frame());
  int right = Image()->Width();
  for (const TCase& c : cases) {
    const tk::TRect b = c.Button->Rect;
    ASSERT_FALSE(b.IsEmpty()) << c.HT;
    EXPECT_EQ(c.Button->State, 0);
    EXPECT_LE(b.Right, right) << "right to left: close, maximise, minimise";
    EXPECT_GE(b.Top, kx::ContentRect(P->Frame()).Top);
    EXPECT_LE(b.Bottom, bottom);
    right = b.Left;

    const int mask = Skin().GetMaskIndex(L"GLOBALINFO", c.Mask);
    ASSERT_GE(mask, 0);
    std::vector<uint8_t> looks[3];
    for (int state = 0; state < 3; ++state) {
      c.Button->State = state;
      P->RepaintButton(c.HT);
      // The glyph's frame over the title as it was under the buttons.
      tk::TBitmap ref(b.Width(), b.Height(), tk::TPixelFormat::pf32bit);
      tk::TBitmap* strip = P->TempBmp.get();
      const int sx = strip->Width() + b.Left - Image()->Width();
      kx::CopyPixels(ref.View(), 0, 0, strip->View(), {sx, b.Top, sx + b.Width(), b.Bottom});
      kx::DrawMaskImage(&ref, {0, 0}, state, kx::MakeCacheInfo(&ref), Skin().ma[mask], kx::mimOpaque);
      looks[state] = Bytes(Image(), b);
      EXPECT_EQ(looks[state], Bytes(&ref, {0, 0, b.Width(), b.Height()})) << c.HT << " state " << state;
    }
    EXPECT_NE(looks[0], looks[1]) << c.HT;
    EXPECT_NE(looks[1], looks[2]) << c.HT;
    c.Button->State = 0;
    P->RepaintButton(c.HT);
  }
}

TEST_F(FormFrame, RepaintingGivesTheSameImageAndSetsTheRegionOnlyWhenItChanges) {
  Repaint();
  const auto first = Bytes(Image(), {0, 0, Image()->Width(), Image()->Height()});
  Repaint();
  EXPECT_EQ(Bytes(Image(), {0, 0, Image()->Width(), Image()->Height()}), first);

  HWND h = Form->Handle();
  auto box = [h] {
    RECT r{};
    GetWindowRgnBox(h, &r);
    return r;
  };
  P->RgnChanged = true;
  P->PaintNonClient();
  // Only the client part of the form's own window stays: the frame is on
  // the border window.
  const int a = GetSystemMetrics(SM_CXFRAME), c = GetSystemMetrics(SM_CYCAPTION);
  RECT r = box();
  EXPECT_EQ(r.left, a);
  EXPECT_EQ(r.top, a + c);
  EXPECT_EQ(r.right, Form->Width() - a);
  EXPECT_EQ(r.bottom, Form->Height() - a);

  // A region put there behind the provider's back stays: an equal one is
  // not handed to the system again.
  SetWindowRgn(h, CreateRectRgn(0, 0, 1, 1), FALSE);
  P->RgnChanged = true;
  P->PaintNonClient();
  r = box();
  EXPECT_EQ(r.right, 1);

  Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 40, Form->Height());
  PumpPending();
  P->RgnChanged = true;
  P->PaintNonClient();
  EXPECT_EQ(box().right, Form->Width() - a) << "a new size gives a new region";
}

TEST_F(FormFrame, RepaintingAtTwoSizesLeavesNoGdiObjectBehind) {
  const int w = Form->Width(), h = Form->Height();
  auto cycle = [&](int Width) {
    Form->SetBounds(Form->Left(), Form->Top(), Width, h);
    Repaint();
    P->RgnChanged = true;
    P->PaintNonClient();
    P->RepaintButton(HTCLOSE);
  };
  tk::test::ParkPointerAwayFrom(Form->Handle());
  cycle(w + 60);
  cycle(w);
  const std::size_t before = tk::test::GdiObjects();
  for (int i = 0; i < 100; ++i) cycle(i % 2 ? w : w + 60);
  EXPECT_LE(tk::test::GdiObjects(), before + tk::test::kDcCacheSlack);
}

}  // namespace
