// The numbered window table: main and child windows, selection, queries.
#include <gtest/gtest.h>

#include "platform/window/Window.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/WindowUnits.h"

namespace tk {
namespace {

using testing::ToolkitWindowTest;

TEST_F(ToolkitWindowTest, MainWindowOpensWhereAskedAndIsCurrent) {
  EXPECT_TRUE(MainWindowOpen());
  EXPECT_EQ(CurrentWindow(), 0);
  EXPECT_EQ(WindowClientSize(0), (plat::Size{800, 600}));
  EXPECT_EQ(plat::GetWindowRect(Frame(0)), (plat::Rect{100, 50, 900, 650}));
  EXPECT_EQ(plat::GetWindowText(Frame(0)), "Velloran test");
  EXPECT_EQ(plat::GetClassName(Frame(0)), "PARVENDRITE");
  EXPECT_EQ(plat::GetClassName(Client(0)), "PARVCLIENT");
  EXPECT_TRUE(plat::IsWindowVisible(Client(0)));
  EXPECT_EQ(WindowQuery(1), 800);
  EXPECT_EQ(WindowQuery(2), 600);
  EXPECT_EQ(WindowQuery(3), kDefaultWindowFlags);
  EXPECT_EQ(WindowQuery(4), 0);
  EXPECT_EQ(WindowQuery(5), 100);
  EXPECT_EQ(WindowQuery(6), 50);
  EXPECT_EQ(WindowQuery(7), 100);
  EXPECT_EQ(WindowQuery(8), 50);
  EXPECT_EQ(WindowQuery(9), kShowNormal);
  EXPECT_EQ(WindowQuery(11), 800);
  EXPECT_EQ(WindowQuery(12), 600);
  EXPECT_EQ(WindowNumberFromHandle(Frame(0)), 0);
  EXPECT_EQ(WindowNumberFromHandle(Client(0)), 0);
  EXPECT_EQ(WindowNumberFromHandle(plat::kNoWindow), -1);

  // A second opening changes nothing.
  WindowStyleRecord other;
  other.width = 10;
  WindowOpen(other);
  EXPECT_EQ(WindowClientSize(0), (plat::Size{800, 600}));
}

TEST(ToolkitWindowOpen, NegativePositionCentresAndZeroSizeTakesEightyPercent) {
  plat::testing::Harness harness({1000, 500});
  WindowStyleRecord style;
  style.x = -1;
  style.y = -5;
  style.width = 0;
  style.height = -3;
  WindowOpen(style);
  EXPECT_EQ(WindowClientSize(0), (plat::Size{800, 400}));
  EXPECT_EQ(plat::GetWindowRect(WindowFrameHandle(0)), (plat::Rect{100, 50, 900, 450}));
  WindowShutdown();
  EXPECT_FALSE(MainWindowOpen());
  EXPECT_EQ(WindowQuery(3), -1);
}

TEST_F(ToolkitWindowTest, ChildWindowsTakeTheFirstFreeNumberAndCloseWithWhatTheyContain) {
  int a = 0;
  WindowOpenChild(a, 7, 10, 20, 300, 200, 0, {}, 0, "Spectrum  ");
  ASSERT_EQ(a, 1);
  EXPECT_EQ(CurrentWindow(), 1);
  EXPECT_EQ(plat::GetClassName(Frame(1)), "PARVCHILD");
  EXPECT_EQ(plat::GetWindowText(Frame(1)), "Spectrum");
  EXPECT_EQ(plat::GetWindowRect(Frame(1)), (plat::Rect{10, 20, 310, 220}));
  EXPECT_EQ(WindowQuery(1), 300);

  // Inside window 1: window units of its client area.
  int b = 0;
  WindowOpenChild(b, kWsInsideParent | 7, 0, 0, 5000, 5000, 0, {}, 0, "Inner", 1);
  ASSERT_EQ(b, 2);
  EXPECT_EQ(plat::GetParent(Frame(2)), Client(1));
  EXPECT_EQ(WindowClientSize(2), (plat::Size{150, 100}));
  EXPECT_EQ(WindowQuery(5), 16);  // the centre of pixel 0 of 300

  WindowMakeCurrent(0);
  int c = 0;
  WindowOpenChild(c);
  EXPECT_EQ(c, 3);
  WindowCloseChild(1);
  EXPECT_FALSE(WindowSlotInUse(1));
  EXPECT_FALSE(WindowSlotInUse(2));  // it lay inside window 1
  EXPECT_FALSE(plat::IsWindow(Frame(2)));
  EXPECT_TRUE(WindowSlotInUse(3));
  EXPECT_EQ(CurrentWindow(), 3);
  int d = 0;
  WindowOpenChild(d);
  EXPECT_EQ(d, 1);  // slots are reused
  WindowCloseChild(1);
  EXPECT_EQ(CurrentWindow(), 0);  // closing the current window selects the main one
}

TEST_F(ToolkitWindowTest, FailuresReportUnderTheirOwnNames) {
  WErrorStatusQuery(1);
  WindowCloseChild(0);
  EXPECT_EQ(WErrorStatusQuery(1), 1003);
  EXPECT_TRUE(WindowSlotInUse(0));
  WindowMakeCurrent(7);
  EXPECT_EQ(WErrorStatusQuery(1), 1003);
  EXPECT_EQ(CurrentWindow(), 0);
  int n = 5;
  WindowOpenChild(n, kWsInsideParent | 7, 0, 0, 0, 0, 0, {}, 0, std::nullopt, 9);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(WErrorStatusQuery(1), 1003);

  int hidden = 0;
  WindowOpenChild(hidden, 7 | kWsHidden, 0, 0, 100, 100);
  WindowOpenChild(n, kWsInsideParent | 7, 0, 0, 0, 0, 0, {}, 0, std::nullopt, hidden);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(WErrorStatusQuery(1), 1016);
}

TEST_F(ToolkitWindowTest, FiftyChildWindowsFillTheTableWithoutAReport) {
  for (int i = 1; i <= 50; ++i) {
    int n = 0;
    WindowOpenChild(n, 7, 0, 0, 50, 50);
    ASSERT_EQ(n, i);
  }
  WErrorStatusQuery(1);
  int n = 0;
  WindowOpenChild(n, 7, 0, 0, 50, 50);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(WErrorStatusQuery(1), 0);
}

TEST_F(ToolkitWindowTest, RepositionMovesSizesAndChangesTheShowState) {
  WindowReposition(400, 300, 20, 30);
  EXPECT_EQ(WindowClientSize(0), (plat::Size{400, 300}));
  EXPECT_EQ(plat::GetWindowRect(Frame(0)), (plat::Rect{20, 30, 420, 330}));
  EXPECT_EQ(WindowQuery(1), 400);

  WindowReposition(std::nullopt, std::nullopt, std::nullopt, std::nullopt, kShowMaximised);
  EXPECT_EQ(WindowQuery(9), kShowMaximised);
  EXPECT_EQ(WindowClientSize(0), (plat::Size{1920, 1080}));
  // The normal size and place while maximised.
  EXPECT_EQ(WindowQuery(11), 400);
  EXPECT_EQ(WindowQuery(12), 300);
  EXPECT_EQ(WindowQuery(13), 20);
  EXPECT_EQ(WindowQuery(14), 30);

  WindowReposition(std::nullopt, std::nullopt, std::nullopt, std::nullopt, kShowNormal);
  EXPECT_EQ(WindowClientSize(0), (plat::Size{400, 300}));
  WindowReposition(std::nullopt, std::nullopt, std::nullopt, std::nullopt, kShowHidden);
  EXPECT_EQ(WindowQuery(9), kShowHidden);
  EXPECT_FALSE(plat::IsWindowVisible(Frame(0)));
}

TEST_F(ToolkitWindowTest, TextStyleKeepsOldColoursForValuesOutOfRange) {
  WindowTextStyleRecord t;
  t.textColour = 3;
  t.backgroundColour = 16;
  WindowTextStyle(t);
  EXPECT_EQ(CurrentTextStyle().textColour, 3);
  EXPECT_EQ(CurrentTextStyle().backgroundColour, 17);
  t.textColour = 40;
  t.backgroundColour = -2;
  WindowTextStyle(t);
  EXPECT_EQ(CurrentTextStyle().textColour, 3);
  EXPECT_EQ(CurrentTextStyle().backgroundColour, 17);
  t.family = 7;
  t.textColour = 1;
  WindowTextStyle(t);
  EXPECT_EQ(CurrentTextStyle().textColour, 3);
}

TEST_F(ToolkitWindowTest, TitleOfTheCurrentWindow) {
  WindowTitle("Shot 12   ");
  EXPECT_EQ(plat::GetWindowText(Frame(0)), "Shot 12");
  WindowTitle();  // no title: the caption stays
  EXPECT_EQ(plat::GetWindowText(Frame(0)), "Shot 12");
  WErrorStatusQuery(1);
  WindowTitle(std::nullopt, 0);  // the program icon
  EXPECT_EQ(WErrorStatusQuery(1), 0);
  WindowTitle(std::nullopt, 4711);
  EXPECT_EQ(WErrorStatusQuery(1), 1015);
}

TEST_F(ToolkitWindowTest, DisplayQuery) {
  EXPECT_EQ(WDisplayQuery(1), 1920);
  EXPECT_EQ(WDisplayQuery(2), 1080);
  EXPECT_EQ(WDisplayQuery(4), 1);
  EXPECT_EQ(WDisplayQuery(5), 1);
}

TEST(ToolkitWindowOpenDeath, AClassThatCannotBeRegisteredEndsTheProgramWithFailure) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        plat::testing::Harness harness;
        plat::RegisterWindowClass({"PARVCLIENT", plat::DefWindowProc, 0, std::nullopt});
        WindowOpen(WindowStyleRecord{});
      },
      ::testing::ExitedWithCode(1), "Failed to register class - aborting.");
}

}  // namespace
}  // namespace tk
