// The frame arithmetic of a skinned form, worked out by hand for the
// notepad's window (the internal skin's extended borders in draw mode 1,
// 16 pixels of shadow on every side) and for the system-framed cases.
#include <gtest/gtest.h>

#include <array>
#include <ostream>

#include "skin/paint/sFormGeometry.h"

namespace tk {
void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
void PrintTo(const TPoint& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }
void PrintTo(const TSize& s, std::ostream* os) { *os << s.cx << " x " << s.cy; }
}  // namespace tk

using namespace kx;
using tk::TPoint;
using tk::TRect;
using tk::TSize;

namespace {

// A 640 x 480 sizeable window with the classic metrics (frame 4, caption 19).
TkxFormFrame Plain() {
  TkxFormFrame f;
  f.Window = {640, 480};
  f.Client = {632, 453};
  return f;
}

// The same window framed by the internal skin's extended borders.
TkxFormFrame Notepad() {
  TkxFormFrame f = Plain();
  TkxFrameSkin& k = f.Skin;
  k.ExtBorders = true;
  k.ExBorderWidth = 26, k.ExTitleHeight = 51, k.ExMaxHeight = 34, k.ExContentOffs = 16, k.ExCenterOffs = 5;
  k.ExDrawMode = 1;
  k.BISpacing = 2;
  k.Shadow = {16, 16, 16, 16};  // draw mode 1: FORMOFFSET on every side
  return f;
}

// The skin's close, maximise and minimise glyphs are 36 x 24.
TkxTitleButtonSet NotepadButtons() {
  TkxTitleButtonSet b;
  b.CloseWidth = b.MaxWidth = b.MinWidth = b.HelpWidth = 36;
  b.Height = 24;
  return b;
}

template <class F>
TkxFormFrame With(TkxFormFrame f, F change) {
  change(f);
  return f;
}

TkxFormFrame Zoomed(TkxFormFrame f) {
  f.Zoomed = true;
  return f;
}

}  // namespace

TEST(FormMetrics, FrameTitleAndOffsetsPerKindOfForm) {
  TkxFormFrame tool = Plain(), iconicTool = Plain(), dialog = Plain(), noSkinWidth = Notepad(), noCaption = Plain();
  tool.BorderStyle = TkxBorderKind::bkToolWindow, tool.ThickFrame = false, tool.Client = {634, 459};
  iconicTool.BorderStyle = TkxBorderKind::bkSizeToolWin, iconicTool.Iconic = true;
  iconicTool.Window = {160, 27}, iconicTool.Client = {};
  dialog.BorderStyle = TkxBorderKind::bkDialog, dialog.ThickFrame = false, dialog.Client = {634, 455};
  noSkinWidth.Skin.ExBorderWidth = 0;
  noCaption.Caption = false, noCaption.Client = {632, 472};
  TkxFormFrame menu = Notepad();
  menu.OwnMenu = true, menu.MenuRows = 1, menu.FormBorderWidth = 2;
  const struct {
    const char* What;
    TkxFormFrame F;
    // SysBorderWidth(true, false), SysBorderHeight(false), CaptionHeight(true, false), DiffBorder, DiffTitle
    std::array<int, 7> Frame;
    // CaptionWidth, OffsetX, OffsetY, HeaderHeight, TitleBottom
    std::array<int, 5> Offsets;
    TSize Image;
  } cases[] = {
      {"notepad", Notepad(), {26, 4, 0, 51, 19, 22, 28}, {716, 42, 67, 51, 67}, {716, 562}},
      {"without extended borders", Plain(), {4, 4, 4, 19, 19, 0, 0}, {640, 4, 23, 23, 23}, {640, 480}},
      {"tool window", tool, {3, 3, 3, 15, 15, 0, 0}, {640, 3, 18, 18, 18}, {640, 480}},
      {"iconic tool window", iconicTool, {4, 4, 4, 19, 19, 0, 0}, {160, 80, 23, 27, 23}, {160, 25}},
      {"dialog border", dialog, {3, 3, 3, 19, 19, 0, 0}, {640, 3, 22, 22, 22}, {640, 480}},
      {"skin border width 0", noSkinWidth, {4, 4, 0, 51, 19, 0, 28}, {672, 20, 67, 51, 67}, {672, 540}},
      {"no caption style", noCaption, {4, 4, 4, 0, 0, 0, 0}, {640, 4, 4, 4, 4}, {640, 480}},
      {"menu row and form border", menu, {26, 4, 0, 51, 19, 22, 28}, {716, 44, 87, 51, 67}, {716, 563}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    const TkxFormFrame& f = c.F;
    EXPECT_EQ((std::array{SysBorderWidth(f, true), SysBorderWidth(f, false), SysBorderHeight(f, false),
                          CaptionHeight(f, true), CaptionHeight(f, false), DiffBorder(f), DiffTitle(f)}),
              c.Frame);
    EXPECT_EQ((std::array{CaptionWidth(f), OffsetX(f), OffsetY(f), HeaderHeight(f), TitleBottom(f)}), c.Offsets);
    EXPECT_EQ(ImageSize(f), c.Image);
  }
  // The image's client lies exactly where the border window shows the form's.
  const TkxFormFrame n = Notepad();
  EXPECT_EQ(ContentRect(n), (TRect{16, 16, 700, 546}));
  EXPECT_EQ(OffsetX(n) + n.Client.cx + BorderWidth(n, true), ContentRect(n).Right);
  EXPECT_EQ(OffsetY(n) + n.Client.cy + SysBorderWidth(n, true), ContentRect(n).Bottom);
}

TEST(FormMetrics, LowSkinTitleOfAMaximisedFormUsesTheSystemCaptionPlusFour) {
  const TkxFormFrame zoomed = Zoomed(Notepad());
  const TkxFormFrame low = With(zoomed, [](auto& f) { f.Skin.ExTitleHeight = 20, f.Skin.ExMaxHeight = 0; });
  EXPECT_FALSE(SysExHeightFor(Notepad()));
  EXPECT_FALSE(SysExHeightFor(zoomed));
  EXPECT_TRUE(SysExHeightFor(low));
  TkxFormFrame set = low;
  set.SysExHeight = true;
  EXPECT_EQ((std::array{CaptionHeight(set, true), CaptionHeight(set, false), DiffTitle(set)}),
            (std::array{23, 23, -4}));
  // The answer does not depend on the flag it recomputes: a 25-pixel title
  // is high enough, whatever the flag said before.
  TkxFormFrame mid = set;
  mid.Skin.ExTitleHeight = 25;
  EXPECT_FALSE(SysExHeightFor(mid));
  EXPECT_TRUE(SysExHeightFor(set));
  set.Zoomed = false;
  EXPECT_FALSE(SysExHeightFor(set));
}

TEST(TitleIcon, SizeFollowsTheTitleHeightUnlessGiven) {
  const struct {
    int Title, W, H;
    TSize Want;
  } cases[] = {{8, 0, 0, {1, 1}},     {9, 0, 0, {8, 8}},     {16, 0, 0, {8, 8}},    {17, 0, 0, {16, 16}},
               {19, 20, 0, {20, 16}}, {19, 0, 12, {16, 12}}, {51, 24, 24, {24, 24}}};
  for (const auto& c : cases) {
    const TkxFormFrame f = With(Plain(), [&](auto& f) { f.Sys.CyCaption = c.Title; });
    EXPECT_EQ(TitleIconSize(f, true, c.W, c.H), c.Want) << "title " << c.Title;
  }
  EXPECT_EQ(TitleIconSize(Plain(), false, 20, 20), (TSize{0, 0}));
}

TEST(TitleIcon, RectangleIsCentredInTheTitleAndMovedByTheSkinOffsets) {
  EXPECT_EQ(IconRect(Plain(), {16, 16}), (TRect{4, 4, 20, 20}));
  EXPECT_EQ(IconRect(Notepad(), {16, 16}), (TRect{42, 39, 58, 55}));
  // Maximised: half the difference of the two title heights less 2.
  EXPECT_EQ(IconRect(Zoomed(Notepad()), {16, 16}), (TRect{42, 45, 58, 61}));
  // A skin without MAXHEIGHT has one title height for both states.
  EXPECT_EQ(IconRect(With(Notepad(), [](auto& f) { f.Zoomed = true, f.Skin.ExMaxHeight = 0; }), {16, 16}),
            (TRect{42, 39, 58, 55}));
}

TEST(CaptionText, RectangleBetweenIconAndButtons) {
  EXPECT_EQ(CaptionTextRect(Notepad(), 16, false, 112), (TRect{62, 23, 560, 72}));
  EXPECT_EQ(CaptionTextRect(Notepad(), 16, true, 112), (TRect{64, 23, 560, 72}));
  EXPECT_EQ(CaptionTextRect(Zoomed(Notepad()), 16, false, 112), (TRect{62, 30, 560, 78}));
  EXPECT_EQ(CaptionTextRect(Plain(), 16, false, 67), (TRect{24, 2, 561, 23}));
  // A window narrower than its buttons: empty, never reversed.
  const TRect narrow = CaptionTextRect(With(Notepad(), [](auto& f) { f.Window.cx = 100; }), 16, false, 112);
  EXPECT_TRUE(narrow.IsEmpty());
  EXPECT_EQ(narrow.Width(), 0);
}

TEST(CaptionText, AlignmentCentresVerticallyAndNeverStartsLeftOfTheRectangle) {
  const TRect r{10, 0, 110, 20};
  const struct {
    const char* What;
    int Text, Added;
    TkxCaptionAlign Align;
    TRect Want;
  } cases[] = {
      {"left", 40, 0, TkxCaptionAlign::caLeft, {10, 5, 110, 15}},
      {"centred", 40, 0, TkxCaptionAlign::caCenter, {38, 5, 78, 15}},
      {"centred, longer than the rectangle", 200, 0, TkxCaptionAlign::caCenter, {10, 5, 110, 15}},
      {"centred with an added title", 40, 20, TkxCaptionAlign::caCenter, {28, 5, 68, 15}},
      {"right", 40, 0, TkxCaptionAlign::caRight, {66, 5, 110, 15}},
      {"right with an added title", 40, 20, TkxCaptionAlign::caRight, {46, 5, 110, 15}},
      {"right, too long to move", 96, 0, TkxCaptionAlign::caRight, {10, 5, 110, 15}},
  };
  for (const auto& c : cases) EXPECT_EQ(AlignCaptionRect(r, c.Text, 10, c.Added, c.Align), c.Want) << c.What;
}

TEST(TitleButtons, LaidOutRightToLeftWithSpacing) {
  const TkxTitleButtonRects n = LayoutTitleButtons(Notepad(), NotepadButtons());
  EXPECT_EQ(n.Close, (TRect{638, 34, 674, 58}));
  EXPECT_EQ(n.Max, (TRect{600, 34, 636, 58}));
  EXPECT_EQ(n.Min, (TRect{562, 34, 598, 58}));
  EXPECT_TRUE(n.Help.IsEmpty());
  EXPECT_EQ(ButtonsWidth(Notepad(), NotepadButtons()), 112);

  // Spacing applies to single and sizeable forms only; user buttons follow 8 further left.
  TkxTitleButtonSet b;
  b.Help = true;
  b.UserWidths = {21, 25};
  const TkxFormFrame plain = With(Plain(), [](auto& f) { f.Skin.BISpacing = 2; });
  const TkxTitleButtonRects p = LayoutTitleButtons(plain, b);
  EXPECT_EQ((std::array{p.Close, p.Max, p.Min, p.Help}), (std::array{TRect{615, 1, 636, 22}, TRect{592, 1, 613, 22},
                                                                     TRect{569, 1, 590, 22}, TRect{546, 1, 567, 22}}));
  EXPECT_EQ((std::array{p.User[0], p.User[1]}), (std::array{TRect{515, 1, 536, 22}, TRect{488, 1, 513, 22}}));
  EXPECT_EQ(ButtonsWidth(plain, b), 21 + 23 * 3 + 8 + 23 + 27);
  const TkxFormFrame dialog = With(plain, [](auto& f) { f.BorderStyle = TkxBorderKind::bkDialog; });
  EXPECT_EQ(ButtonsWidth(dialog, b), 21 * 4 + 8 + 21 + 25);

  // A close button alone sits at the right end; without it only user buttons are placed.
  TkxTitleButtonSet alone = NotepadButtons();
  alone.MaxVisible = alone.MinVisible = false;
  const TkxTitleButtonRects a = LayoutTitleButtons(Notepad(), alone);
  EXPECT_EQ(a.Close, n.Close);
  EXPECT_TRUE(a.Max.IsEmpty() && a.Min.IsEmpty());
  EXPECT_EQ(ButtonsWidth(Notepad(), alone), 36);
  TkxTitleButtonSet none = b;
  none.CloseVisible = false;
  EXPECT_EQ(LayoutTitleButtons(plain, none).User[0], (TRect{607, 1, 628, 22}));
  EXPECT_EQ(ButtonsWidth(plain, none), 8 + 23 + 27);
}

TEST(TitleButtons, VerticalPlacement) {
  const struct {
    const char* What;
    TkxFormFrame F;
    int Height;
    bool Aligned;
    int Top;
  } cases[] = {
      {"centred in the notepad's title", Notepad(), 24, true, 34},
      {"maximised notepad", Zoomed(Notepad()), 24, true, 38},
      {"system frame", Plain(), 21, true, 1},
      {"small buttons of a standard form", Plain(), 14, true, 6},
      {"small buttons of a tool window", With(Plain(), [](auto& f) { f.BorderStyle = TkxBorderKind::bkToolWindow; }),
       14, false, 2},
      {"top aligned", With(Notepad(), [](auto& f) { f.Skin.BIVAlign = 1, f.Skin.BITop = 3; }), 24, true, 19},
      {"top aligned, maximised",
       With(Notepad(), [](auto& f) { f.Skin.BIVAlign = 1, f.Skin.BITop = 3, f.Zoomed = true; }), 24, true, 45},
      {"top alignment does not apply", With(Notepad(), [](auto& f) { f.Skin.BIVAlign = 1; }), 24, false, 34},
      {"top aligned without extended borders, maximised",
       With(Plain(), [](auto& f) { f.Skin.BIVAlign = 1, f.Zoomed = true; }), 21, true, 3},
  };
  for (const auto& c : cases) EXPECT_EQ(TitleButtonTop(c.F, c.Height, c.Aligned), c.Top) << c.What;
}

namespace {

TkxHitState HitStateFor(const TkxFormFrame& f, TkxTitleButtonSet b) {
  TkxHitState s;
  s.Buttons = b;
  s.Rects = LayoutTitleButtons(f, b);
  s.Icon = IconRect(f, {16, 16});
  return s;
}

}  // namespace

TEST(HitTest, ProviderAnswersButtonsBordersTitleAndClient) {
  TkxTitleButtonSet b;
  b.Help = true;
  b.UserWidths = {21, 21};
  const TkxFormFrame f = With(Plain(), [](auto& f) { f.Skin.BISpacing = 2; });
  TkxHitState s = HitStateFor(f, b);
  s.UserIndex = {0, 3};
  s.UserEnabled = {true, false};
  const struct {
    const char* What;
    TPoint P;
    int Want;
  } cases[] = {
      {"close", {625, 10}, kxHTCLOSE},
      {"maximise", {600, 10}, kxHTMAXBUTTON},
      {"minimise", {575, 10}, kxHTMINBUTTON},
      {"help", {556, 10}, kxHTHELP},
      {"user button", {520, 10}, kxHTUserButton + 0},
      {"disabled user button", {497, 10}, kxHTCAPTION},
      {"spacing between buttons", {614, 10}, kxHTCAPTION},
      {"top", {300, 2}, kxHTTOP},
      {"top left", {2, 2}, kxHTTOPLEFT},
      {"top right", {638, 2}, kxHTTOPRIGHT},
      {"left", {3, 300}, kxHTLEFT},
      {"right", {636, 300}, kxHTRIGHT},
      {"bottom", {300, 476}, kxHTBOTTOM},
      {"bottom left", {0, 479}, kxHTBOTTOMLEFT},
      {"bottom right", {639, 479}, kxHTBOTTOMRIGHT},
      {"title", {300, 10}, kxHTCAPTION},
      {"icon", {10, 10}, kxHTSYSMENU},
      {"title's last row", {300, 22}, kxHTCAPTION},
      {"client's first row", {300, 23}, kxHTCLIENT},
      {"client", {300, 200}, kxHTCLIENT},
  };
  for (const auto& c : cases) EXPECT_EQ(HTProcess(f, s, c.P), c.Want) << c.What;

  // Disabled buttons drag the form; a hidden one is never answered.
  TkxHitState off = s;
  off.MaxEnabled = off.MinEnabled = off.RestoreEnabled = false;
  EXPECT_EQ(HTProcess(f, off, {600, 10}), kxHTCAPTION);
  EXPECT_EQ(HTProcess(f, off, {575, 10}), kxHTCAPTION);
  off.Buttons.MaxVisible = false;  // its old rectangle is still there
  EXPECT_EQ(HTProcess(f, off, {600, 10}), kxHTCAPTION);
  off.Buttons.CloseVisible = false;
  EXPECT_EQ(HTProcess(f, off, {625, 10}), kxHTCAPTION);
  EXPECT_EQ(HTProcess(f, off, {556, 10}), kxHTCAPTION);
  // Maximised: restore enabled keeps the button, no sizing borders.
  const TkxFormFrame zoomed = Zoomed(f);
  TkxHitState restore = HitStateFor(zoomed, b);
  restore.MaxEnabled = false;
  EXPECT_EQ(HTProcess(zoomed, restore, {600, 10}), kxHTMAXBUTTON);
  EXPECT_EQ(HTProcess(zoomed, restore, {300, 2}), kxHTCAPTION);
}

TEST(HitTest, ProviderMenuRowsAndGrip) {
  TkxFormFrame f = With(Plain(), [](auto& f) { f.OwnMenu = true, f.MenuRows = 1, f.Client = {632, 435}; });
  TkxHitState s = HitStateFor(f, {});
  EXPECT_EQ(HTProcess(f, s, {300, 23}), kxHTMENU);
  EXPECT_EQ(HTProcess(f, s, {300, 40}), kxHTMENU);
  EXPECT_EQ(HTProcess(f, s, {300, 41}), kxHTCLIENT);

  f = Plain();
  s = HitStateFor(f, {});
  s.GripShown = true;
  s.GripSize = {12, 12};
  EXPECT_EQ(GripPosition(f, s.GripSize), (TPoint{623, 463}));
  EXPECT_EQ(HTProcess(f, s, {630, 470}), kxHTBOTTOMRIGHT);
  EXPECT_EQ(HTProcess(f, s, {620, 470}), kxHTCLIENT);
  s.GripSize = {};  // no grip image: no grip area
  EXPECT_EQ(HTProcess(f, s, {630, 470}), kxHTCLIENT);

  // With extended borders the grip sits at the same place of the form's window.
  const TkxFormFrame n = Notepad();
  TkxHitState e = HitStateFor(n, NotepadButtons());
  e.GripShown = true;
  e.GripSize = {12, 12};
  EXPECT_EQ(GripPosition(n, e.GripSize), (TPoint{661, 507}));
  EXPECT_EQ(HTProcess(n, e, {625, 465}), kxHTBOTTOMRIGHT);
  EXPECT_EQ(HTProcess(n, e, {300, 200}), kxHTCLIENT);
}

TEST(HitTest, BorderWindowAnswersTheFrameAndLetsTheShadowThrough) {
  const TkxFormFrame n = Notepad();
  const TSize size = ImageSize(n);
  TkxHitState s = HitStateFor(n, NotepadButtons());
  s.GripShown = true;
  s.GripSize = {12, 12};
  const struct {
    const char* What;
    TPoint P;
    int Want;
  } cases[] = {
      {"left shadow", {5, 100}, -1},
      {"top shadow", {100, 5}, -1},
      {"right shadow", {710, 300}, -1},
      {"bottom shadow", {300, 560}, -1},
      {"close", {650, 40}, kxHTCLOSE},
      {"minimise", {570, 40}, kxHTMINBUTTON},
      {"top band", {300, 17}, kxHTTOP},
      {"top left", {17, 17}, kxHTTOPLEFT},
      {"left band", {20, 300}, kxHTLEFT},
      {"right band", {697, 300}, kxHTRIGHT},
      {"bottom band", {300, 544}, kxHTBOTTOM},
      {"bottom right", {698, 544}, kxHTBOTTOMRIGHT},
      {"skin frame inside the band", {30, 300}, -1},
      {"bottom frame inside the band", {300, 530}, -1},
      {"title", {300, 40}, kxHTCAPTION},
      {"icon", {50, 45}, kxHTSYSMENU},
      {"grip", {665, 510}, kxHTBOTTOMRIGHT},
  };
  for (const auto& c : cases) EXPECT_EQ(BorderHitTest(n, s, size, c.P, false), c.Want) << c.What;

  EXPECT_EQ(BorderHitTest(n, s, size, {650, 40}, true), -1);
  // Maximised: no shadow and no sizing.
  const TkxFormFrame zoomed = Zoomed(n);
  EXPECT_FALSE(OverShadow(zoomed, size, {5, 100}));
  EXPECT_EQ(BorderHitTest(zoomed, HitStateFor(zoomed, NotepadButtons()), size, {300, 17}, false), kxHTCAPTION);
  // The owner's context help shows the help button on the border window.
  TkxHitState help = s;
  help.Rects.Help = {520, 34, 556, 58};
  EXPECT_EQ(BorderHitTest(n, help, size, {530, 40}, false), kxHTCAPTION);
  help.ContextHelp = true;
  EXPECT_EQ(BorderHitTest(n, help, size, {530, 40}, false), kxHTHELP);
  // Menu rows right under the title, inside the side frames.
  const TkxFormFrame menu = With(n, [](auto& f) { f.OwnMenu = true, f.MenuRows = 1; });
  EXPECT_EQ(BorderHitTest(menu, s, ImageSize(menu), {300, 70}, false), kxHTMENU);
  EXPECT_EQ(BorderHitTest(menu, s, ImageSize(menu), {30, 70}, false), -1);
}

TEST(BorderWindow, OffsetAndRegion) {
  const TkxFormFrame n = Notepad();
  // The image's client (42, 67) lands on the form's (4, 23).
  EXPECT_EQ(BorderWindowOffset(n), (TPoint{38, 44}));
  EXPECT_EQ(BorderWindowOffset(With(n, [](auto& f) { f.Skin.ExBorderWidth = 0; })), (TPoint{16, 44}));
  EXPECT_EQ(BorderWindowOffset(With(n, [](auto& f) { f.Zoomed = f.SysExHeight = true, f.Skin.ExTitleHeight = 20; })),
            (TPoint{38, 16}));

  const TkxBorderRegion r = BorderRegion(n, ImageSize(n), true);
  EXPECT_EQ(r.Keep, (TRect{0, 0, 716, 562}));
  EXPECT_EQ(r.Hole, (TRect{42, 67, 674, 520}));
  EXPECT_TRUE(BorderRegion(n, ImageSize(n), false).Hole.IsEmpty());

  // Maximised on a 1024 x 768 work area: the frame's on-screen part and 4
  // pixels of the shadow top stay.
  const TkxMaxPlacement m = MaximizedPlacement(n, {1024, 768});
  TkxFormFrame z = With(n, [&](auto& f) {
    f.Zoomed = true, f.Window = m.Size, f.Client = {m.Size.cx - 8, m.Size.cy - 27};
  });
  const TSize zs = ImageSize(z);
  const TkxBorderRegion zr = BorderRegion(z, zs, true);
  EXPECT_EQ(zr.Keep, (TRect{42, 20, 1066, 810}));
  EXPECT_EQ(zr.Hole, (TRect{42, 67, 1066, 810}));
  const TPoint origin{m.Position.X - BorderWindowOffset(z).X, m.Position.Y - BorderWindowOffset(z).Y};
  EXPECT_EQ((std::array{origin.X + zr.Keep.Left, origin.X + zr.Keep.Right, origin.Y + zr.Keep.Bottom}),
            (std::array{0, 1024, 768}));
}

TEST(BorderWindow, FormRegionKeepsTheClientAndMenuPart) {
  EXPECT_EQ(FormRegionRect(Notepad()), (TRect{4, 23, 636, 476}));
  EXPECT_EQ(FormRegionRect(Plain()), (TRect{0, 0, 640, 480}));
  EXPECT_EQ(FormRegionRect(Zoomed(Plain())), (TRect{4, 4, 636, 476}));
  EXPECT_EQ(FormRegionRect(With(Plain(), [](auto& f) { f.Zoomed = f.MaxConstraints = true; })),
            (TRect{0, 0, 640, 480}));
}

TEST(BorderWindow, WindowsSmallerThanTheirFrameGiveEmptyRectanglesNotReversedOnes) {
  const TkxFormFrame tiny = With(Notepad(), [](auto& f) { f.Window = {6, 6}, f.Client = {}; });
  const TRect region = FormRegionRect(tiny);
  EXPECT_TRUE(region.IsEmpty());
  EXPECT_GE(region.Width(), 0);
  EXPECT_GE(region.Height(), 0);
  const TkxFormFrame zoomed = Zoomed(tiny);
  const TkxBorderRegion r = BorderRegion(zoomed, {20, 20}, true);
  EXPECT_GE(r.Keep.Width(), 0);
  EXPECT_GE(r.Keep.Height(), 0);
  EXPECT_TRUE(r.Hole.IsEmpty());
  EXPECT_GE(OffsetX(With(Plain(), [](auto& f) { f.Window = {0, 0}; })), 0);
}

TEST(Placement, MaximisedPositionAndSize) {
  TkxFormFrame oneTitle = Notepad(), lowTitle = Notepad(), topAligned = Notepad(), noCaption = Notepad();
  oneTitle.Skin.ExMaxHeight = 0;
  lowTitle.Skin.ExTitleHeight = 20, lowTitle.Skin.ExMaxHeight = 0;
  topAligned.Skin.BIVAlign = 1, topAligned.Skin.BITop = 3;
  noCaption.Caption = false;
  const struct {
    const char* What;
    TkxFormFrame F;
    TPoint Pos;
    TSize Size;
  } cases[] = {
      {"system frame outside the work area", Plain(), {-4, -4}, {1032, 776}},
      {"notepad: title difference absorbed in the position", Notepad(), {-4, 2}, {1032, 770}},
      {"skin without a separate maximised title", oneTitle, {-4, 24}, {1032, 748}},
      {"skin title lower than the system's", lowTitle, {-4, 0}, {1032, 772}},
      {"top-aligned buttons with a margin", topAligned, {-4, 3}, {1032, 769}},
      {"no caption style: no title to absorb", noCaption, {-4, -4}, {1032, 776}},
  };
  for (const auto& c : cases) {
    const TkxMaxPlacement m = MaximizedPlacement(c.F, {1024, 768});
    EXPECT_EQ(m.Position, c.Pos) << c.What;
    EXPECT_EQ(m.Size, c.Size) << c.What;
  }
}

TEST(Placement, SnapsToTheWorkAreaWithinTheBuffer) {
  const TRect work{0, 0, 1024, 768};
  TkxFormFrame wide = Plain();
  wide.Window = {1020, 300};
  const struct {
    const char* What;
    TkxFormFrame F;
    TPoint From, To;
  } cases[] = {
      {"left at 9", Plain(), {9, 100}, {0, 100}},
      {"left at 10", Plain(), {10, 100}, {10, 100}},
      {"left beyond the edge", Plain(), {-9, 100}, {0, 100}},
      {"top at 9", Plain(), {100, 9}, {100, 0}},
      {"right", Plain(), {375, 100}, {384, 100}},
      {"bottom", Plain(), {100, 280}, {100, 288}},
      {"notepad: the drawn frame snaps, left", Notepad(), {31, 100}, {22, 100}},
      {"notepad: left at 10", Notepad(), {32, 100}, {32, 100}},
      {"notepad: top", Notepad(), {100, 37}, {100, 28}},
      {"notepad: right", Notepad(), {353, 100}, {362, 100}},
      {"notepad: bottom", Notepad(), {100, 275}, {100, 266}},
      {"maximised never snaps", Zoomed(Plain()), {9, 9}, {9, 9}},
      {"left wins on a small work area", wide, {2, 100}, {0, 100}},
  };
  for (const auto& c : cases) EXPECT_EQ(SnapToWorkArea(c.F, c.From, work, 10), c.To) << c.What;
}

TEST(Placement, DrawnFrameIsMovedBackOnlyWhereTheSkinPushedItOut) {
  // The notepad's frame reaches 22 pixels past the window at the sides and
  // bottom and 28 above it.
  EXPECT_EQ(DrawnFrameRect(Notepad()), (TRect{-22, -28, 662, 502}));
  EXPECT_EQ(DrawnFrameRect(Plain()), (TRect{0, 0, 640, 480}));
  const TRect work{0, 0, 1024, 768};
  const struct {
    const char* What;
    TPoint At;
    TPoint Shift;
  } cases[] = {
      {"at the top-left corner", {0, 0}, {22, 28}},
      {"inside", {100, 100}, {0, 0}},
      {"at the bottom-right corner", {384, 288}, {-22, -22}},
      {"partly off the screen on purpose", {-50, 280}, {0, -14}},
      {"frame already inside", {22, 28}, {0, 0}},
  };
  for (const auto& c : cases) {
    const TRect window{c.At.X, c.At.Y, c.At.X + 640, c.At.Y + 480};
    TRect frame = DrawnFrameRect(Notepad());
    frame.Offset(c.At.X, c.At.Y);
    EXPECT_EQ(FrameShiftIntoArea(window, frame, work), c.Shift) << c.What;
  }
  // Larger than the area: its top-left corner is kept in.
  EXPECT_EQ(FrameShiftIntoArea(TRect{0, 0, 640, 480}, TRect{-22, -28, 662, 502}, TRect{0, 0, 650, 490}),
            (TPoint{22, 28}));
}

TEST(Placement, AnOutlineFollowsTheCursorByItsEdgeAndKeepsTheMinimumSize) {
  const TRect r{100, 100, 900, 700};
  const struct {
    const char* What;
    int HT;
    TPoint C;
    TRect Want;
  } cases[] = {
      {"bottom-right corner", kxHTBOTTOMRIGHT, {950, 760}, {100, 100, 950, 760}},
      {"top-left corner", kxHTTOPLEFT, {80, 90}, {80, 90, 900, 700}},
      {"left edge alone", kxHTLEFT, {120, 500}, {120, 100, 900, 700}},
      {"top edge alone", kxHTTOP, {500, 140}, {100, 140, 900, 700}},
      {"no edge code: the bottom", 0, {500, 650}, {100, 100, 900, 650}},
      {"the right edge stops at the minimum width", kxHTRIGHT, {300, 400}, {100, 100, 858, 700}},
      {"the top edge stops at the minimum height", kxHTTOPRIGHT, {950, 600}, {100, 150, 950, 700}},
  };
  for (const auto& c : cases) EXPECT_EQ(SizedOutline(r, c.HT, c.C, 758, 550), c.Want) << c.What;
}
