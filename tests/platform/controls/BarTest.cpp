// Status bar and toolbar.
#include "tests/platform/controls/ControlFixture.h"

namespace plat::testing {
namespace {

using BarTest = ControlTest;

TEST_F(BarTest, StatusBarDocksAndKeepsPartTexts) {
  const Hwnd bar = Make(kStatusBarClass, "", 0, {0, 0, 10, 10}, 9);
  const Rect r = GetWindowRect(bar);
  EXPECT_EQ(r.bottom, 300);
  EXPECT_EQ(r.Width(), 400);
  EXPECT_EQ(r.Height(), StatusBarHeight(bar));
  const int edges[] = {80, 200, -1};
  ASSERT_TRUE(StatusBarSetParts(bar, edges));
  EXPECT_TRUE(StatusBarSetText(bar, 0, "Ready"));
  EXPECT_TRUE(StatusBarSetText(bar, 2, "x=12", PartBorder::Raised));
  EXPECT_FALSE(StatusBarSetText(bar, 3, "none"));
  EXPECT_EQ(StatusBarGetText(bar, 0), "Ready");
  EXPECT_EQ(StatusBarGetText(bar, 2), "x=12");
  EXPECT_EQ(StatusBarGetParts(bar), (std::vector<int>{80, 200, -1}));
  // The text shows in its part only; a sunken part has a grey top edge.
  EXPECT_GT(Count(bar, {0, 0, 80, r.Height()}, kColourText), 5);
  EXPECT_EQ(Count(bar, {82, 0, 200, r.Height()}, kColourText), 0);
  EXPECT_EQ(Shown(bar, {40, 2}), kColourShadow);
  // Fewer parts keep the texts of those that stay.
  const int one[] = {-1};
  ASSERT_TRUE(StatusBarSetParts(bar, one));
  EXPECT_EQ(StatusBarGetText(bar, 0), "Ready");
  StatusBarSetSimple(bar, true);
  StatusBarSetSimpleText(bar, "");
  EXPECT_EQ(Count(bar, GetClientRect(bar), kColourText), 0);
  StatusBarSetSimple(bar, false);
  EXPECT_GT(Count(bar, GetClientRect(bar), kColourText), 5);
}

TEST_F(BarTest, TabsCentreAndRightAlignAPartsText) {
  const Hwnd bar = Make(kStatusBarClass, "", 0, {0, 0, 10, 10}, 9);
  const int edges[] = {300, -1};
  ASSERT_TRUE(StatusBarSetParts(bar, edges));
  const int h = GetWindowRect(bar).Height();
  const auto thirds = [&] {
    return std::vector<int>{Count(bar, {0, 0, 100, h}, kColourText),
                            Count(bar, {100, 0, 200, h}, kColourText),
                            Count(bar, {200, 0, 300, h}, kColourText)};
  };
  StatusBarSetText(bar, 0, "\tINS");
  std::vector<int> ink = thirds();
  EXPECT_EQ(ink[0], 0);
  EXPECT_GT(ink[1], 5);
  EXPECT_EQ(ink[2], 0);
  StatusBarSetText(bar, 0, "L\t\tR");
  ink = thirds();
  EXPECT_GT(ink[0], 0);
  EXPECT_EQ(ink[1], 0);
  EXPECT_GT(ink[2], 0);
}

class ToolbarTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    bar = Make(kToolbarClass, "", kTbStyleTooltips, {0, 0, 400, 22}, 30101);
    auto strip = std::make_shared<Surface>(48, 16, Rgb(192, 192, 192));
    for (int x = 0; x < 48; ++x) strip->Set(x, 8, Rgb(0, 0, 0));  // a black bar in each image
    ToolbarSetBitmap(bar, strip, {16, 16});
    const ToolbarButton buttons[] = {{.image = 0, .command = 40101},
                                     {.command = 0},
                                     {.image = 1, .command = 40102},
                                     {.image = 2, .command = 40103, .checkable = true}};
    ToolbarAddButtons(bar, buttons);
    onNotify = [](NotifyHeader* hdr) -> LResult {
      if (hdr->code == kTtnGetDispInfo)
        reinterpret_cast<TooltipTextNotify*>(hdr)->text = "Tip " + std::to_string(hdr->id);
      return 0;
    };
  }
  Point Centre(int command) {
    const Rect r = ToolbarGetButtonRect(bar, command);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  Hwnd bar = kNoWindow;
};

TEST_F(ToolbarTest, ClickSendsTheCommandUnlessDisabled) {
  EXPECT_EQ(ToolbarButtonSize(bar), (Size{23, 22}));
  EXPECT_EQ(ToolbarGetButtonRect(bar, 40102), (Rect{31, 0, 54, 22}));  // after the separator
  ASSERT_TRUE(ToolbarEnableButton(bar, 40102, false));
  harness.Click(bar, Centre(40101)).Click(bar, Centre(40102)).Click(bar, Centre(40103));
  harness.Click(bar, {27, 10});  // the separator
  harness.DispatchPending();
  EXPECT_EQ(Take(), (std::vector<Note>{Cmd(40101, kBnClicked), Cmd(40103, kBnClicked)}));
  EXPECT_TRUE(ToolbarIsButtonChecked(bar, 40103));  // a check button toggles
  EXPECT_FALSE(ToolbarIsButtonEnabled(bar, 40102));
  EXPECT_FALSE(ToolbarEnableButton(bar, 1, true));
  // Released off the button: nothing.
  harness.Press(bar, Centre(40101)).Release(bar, {300, 10});
  harness.DispatchPending();
  EXPECT_TRUE(Take().empty());
}

TEST_F(ToolbarTest, ImagesShowAndDisabledOnesAreGreyed) {
  const Rect a = ToolbarGetButtonRect(bar, 40101);
  const Rect b = ToolbarGetButtonRect(bar, 40102);
  EXPECT_GT(Count(bar, a, kColourDarkShadow), 10);
  ToolbarEnableButton(bar, 40102, false);
  const Rect inner{b.left + 2, b.top + 2, b.right - 2, b.bottom - 2};
  EXPECT_EQ(Count(bar, inner, kColourDarkShadow), 0);
  EXPECT_GT(Count(bar, inner, kColourShadow), 10);
}

TEST_F(ToolbarTest, TooltipShowsAfterTheMouseRests) {
  harness.MouseMove(bar, Centre(40102)).Pause(kTooltipDelayMs + 50).MouseMove(bar, Centre(40102));
  harness.DispatchPending();
  const Hwnd tip = ToolbarGetTooltip(bar);
  ASSERT_NE(tip, kNoWindow);
  EXPECT_EQ(GetWindowText(tip), "Tip 40102");
  EXPECT_EQ(Take(), (std::vector<Note>{{Msg::Notify, 40102, kTtnGetDispInfo}}));
  EXPECT_EQ(GetActiveWindow(), host);  // the tooltip never takes activation
  harness.MouseMove(bar, {350, 10}).Pause(200).MouseMove(bar, {351, 10});
  harness.DispatchPending();
  EXPECT_EQ(ToolbarGetTooltip(bar), kNoWindow);
}

}  // namespace
}  // namespace plat::testing
