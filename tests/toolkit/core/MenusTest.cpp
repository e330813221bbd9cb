#include <gtest/gtest.h>

#include <array>

#include "platform/controls/Controls.h"
#include "platform/dialog/MessageBox.h"
#include "platform/testing/Harness.h"
#include "platform/window/VirtualKeys.h"
#include "resources/ResourceFormat.h"
#include "toolkit/core/AbnormalExit.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/Windows.h"

namespace tk::testing {
namespace {

/// The main window with menu 30001 and a status bar, client 801 x 600.
class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetErrorState();
    WindowStyleRecord style;
    style.flags = kDefaultWindowFlags | kWsStatusBar;
    style.x = 100;
    style.y = 50;
    style.width = 801;
    style.height = 600;
    style.menu = 30001;
    style.title = "Velloran";
    WindowOpen(style);
  }
  void TearDown() override {
    WindowShutdown();
    ResetErrorState();
    SetErrorDeliveryHook(nullptr);
    SetAbnormalExitHooks(nullptr, nullptr);
  }

  std::pair<int, EventRecord> Wait() {
    int type = 0;
    EventRecord r;
    WEventWait(type, r);
    return {type, r};
  }

  /// The next event other than an expose or resize.
  std::pair<int, EventRecord> WaitPastPictures() {
    for (;;) {
      auto e = Wait();
      if (e.first != kEventExpose && e.first != kEventResize) return e;
    }
  }

  /// The menu entry with command ID of window N.
  plat::MenuEntry Entry(int id, int n = 0) {
    const plat::MenuPlace p = plat::FindMenuEntry(WindowMenuHandle(n), id);
    return plat::GetMenuEntry(p.menu, p.pos).value_or(plat::MenuEntry{});
  }

  plat::testing::Harness harness{{1920, 1080}};
};

TEST_F(MenusTest, MainMenuLoadsWithPopupIdentifiersAndABarAboveTheClient) {
  const plat::HMenu menu = WindowMenuHandle(0);
  ASSERT_NE(menu, plat::kNoMenu);
  EXPECT_EQ(plat::GetMenu(WindowFrameHandle(0)), menu);
  EXPECT_EQ(plat::GetMenuEntry(menu, 0)->id, 40001);  // File
  EXPECT_EQ(plat::GetMenuEntry(menu, 5)->id, 40041);  // Help
  EXPECT_TRUE(Entry(40004).greyed);
  EXPECT_FALSE(Entry(40002).greyed);
  // The frame grew by the bar and the status bar; the client keeps its size.
  EXPECT_EQ(WindowClientSize(0), (plat::Size{801, 600}));
  const plat::Rect client = plat::GetWindowRect(WindowClientHandle(0));
  EXPECT_EQ(client.top, plat::MenuBarHeight(WindowFrameHandle(0)));
  EXPECT_NE(WindowStatusBarHandle(0), plat::kNoWindow);
}

TEST_F(MenusTest, MenuReplacedAndRemovedAndRefused) {
  WMenu(30008);
  EXPECT_EQ(plat::GetMenuEntry(WindowMenuHandle(0), 1)->id, 40016);
  WMenu(0);
  EXPECT_EQ(WindowMenuHandle(0), plat::kNoMenu);
  EXPECT_EQ(plat::GetMenuBarWindow(WindowFrameHandle(0)), plat::kNoWindow);
  EXPECT_EQ(WindowClientHandle(0) != plat::kNoWindow, true);
  EXPECT_EQ(plat::GetWindowRect(WindowClientHandle(0)).top, 0);
  WMenu(12345);
  EXPECT_EQ(WErrorStatusQuery(1), 1002);
  WMenuWindow(30001, 7);
  EXPECT_EQ(WErrorStatusQuery(1), 1003);
}

TEST_F(MenusTest, StatesMirrorBetweenMenuItemsAndToolbarButtons) {
  WMenuToolbar(30102);
  const plat::Hwnd bar = WindowToolbarHandle(0, 1);
  ASSERT_NE(bar, plat::kNoWindow);
  EXPECT_FALSE(plat::ToolbarIsButtonEnabled(bar, 40004));  // greyed in the menu
  EXPECT_TRUE(plat::ToolbarIsButtonEnabled(bar, 40002));

  WMenuSetState(40004, 1, 1);
  EXPECT_FALSE(Entry(40004).greyed);
  EXPECT_TRUE(plat::ToolbarIsButtonEnabled(bar, 40004));
  WMenuSetState(40017, 2, 1);
  EXPECT_TRUE(Entry(40017).checked);
  EXPECT_TRUE(plat::ToolbarIsButtonChecked(bar, 40017));
  EXPECT_EQ(WMenuGetState(40017, 2), 1);
  WMenuSetState(40002, 1, 0);
  EXPECT_TRUE(Entry(40002).greyed);
  EXPECT_FALSE(plat::ToolbarIsButtonEnabled(bar, 40002));

  WMenuSetState(40102, 1, 0);  // only the toolbar has it
  EXPECT_FALSE(plat::ToolbarIsButtonEnabled(bar, 40102));
  WMenuSetState(40002, 3, 1);  // other kinds and values do nothing
  WMenuSetState(40002, 1, 2);
  EXPECT_TRUE(Entry(40002).greyed);
  EXPECT_EQ(WErrorStatusQuery(1), 0);
  WMenuSetState(12345, 1, 1);
  EXPECT_EQ(WErrorStatusQuery(1), 1001);
}

TEST_F(MenusTest, ToolbarKeepsTheFrameAndShrinksTheClient) {
  const plat::Rect frame = plat::GetWindowRect(WindowFrameHandle(0));
  WMenuToolbar(30102, 0, 7);  // position 7 counts as the top
  const plat::Hwnd bar = WindowToolbarHandle(0, 1);
  ASSERT_NE(bar, plat::kNoWindow);
  EXPECT_EQ(plat::GetWindowRect(WindowFrameHandle(0)), frame);
  EXPECT_EQ(WindowClientSize(0).height, 600 - 22);
  EXPECT_EQ(plat::GetWindowRect(bar).top, plat::MenuBarHeight(WindowFrameHandle(0)));
  EXPECT_EQ(plat::GetWindowRect(WindowClientHandle(0)).top, plat::GetWindowRect(bar).bottom);
  WMenuToolbar(0);
  EXPECT_EQ(WindowToolbarHandle(0, 1), plat::kNoWindow);
  EXPECT_EQ(WindowClientSize(0).height, 600);
  WMenuToolbar(31234);
  EXPECT_EQ(WErrorStatusQuery(1), 1002);
}

TEST_F(MenusTest, ToolbarClickAndMenuPickDeliverMenuEvents) {
  WMenuToolbar(30102);
  const plat::Hwnd bar = WindowToolbarHandle(0, 1);
  const plat::Rect r = plat::ToolbarGetButtonRect(bar, 40005);
  harness.Click(bar, {r.left + 3, r.top + 3});
  auto [type, rec] = WaitPastPictures();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(rec.value1, 40005);

  harness.PickMenuItem(WindowFrameHandle(0), 40002);
  std::tie(type, rec) = WaitPastPictures();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(rec.value1, 40002);
  EXPECT_EQ(rec.window, 0);
}

TEST_F(MenusTest, KeyboardOpensTheMenuBar) {
  harness.Key(plat::kVkF1 + 9).Key(plat::kVkDown).Key(plat::kVkReturn);
  auto [type, rec] = WaitPastPictures();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(rec.value1, 40002);
  harness.Char('e', true).Key(plat::kVkReturn);  // Alt+E: Edit, its first entry
  std::tie(type, rec) = WaitPastPictures();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(rec.value1, 40008);
}

TEST_F(MenusTest, TooltipsAreTheCommandsStrings) {
  WMenuToolbar(30102);
  const plat::Hwnd bar = WindowToolbarHandle(0, 1);
  const plat::Rect r = plat::ToolbarGetButtonRect(bar, 40002);
  std::string tip;
  harness.MouseMove(bar, {r.left + 4, r.top + 4}).Pause(plat::kTooltipDelayMs + 10).Call([&] {
    tip = plat::GetWindowText(plat::ToolbarGetTooltip(bar));
  });
  harness.DispatchPending();
  EXPECT_EQ(tip, "Open Velloran File");
}

TEST_F(MenusTest, HoveringShowsHelpTextsInTheStatusBar) {
  const plat::Hwnd frame = WindowFrameHandle(0);
  const plat::Hwnd status = WindowStatusBarHandle(0);
  std::string onFile = "unset";
  std::string onOpen;
  bool simple = false;
  harness.HoverMenuItem(frame, 40001).Call([&] { onFile = WindowMenuHelpText(0); });
  harness.HoverOpenMenuItem(40002).Call([&] {
    onOpen = WindowMenuHelpText(0);
    simple = plat::StatusBarIsSimple(status);
  });
  harness.Key(plat::kVkEscape).Key(plat::kVkEscape);
  harness.DispatchPending();
  EXPECT_EQ(onFile, "");
  EXPECT_EQ(onOpen, "Opens Velloran file with .TRX extension");
  EXPECT_TRUE(simple);
  EXPECT_FALSE(plat::StatusBarIsSimple(status));
}

TEST_F(MenusTest, FloatingMenuTakesOverStatesShowsHelpAndDeliversItsCommand) {
  bool printGreyed = false;
  std::string help;
  harness.Call([&] {
    const std::vector<plat::HMenu> open = plat::OpenMenus();
    ASSERT_EQ(open.size(), 1u);
    printGreyed = plat::GetMenuEntry(open[0], 0)->greyed;  // 40046 Print, greyed in the main menu
  });
  // The main window's own help texts come before the pop-up's.
  harness.HoverOpenMenuItem(40018).Call([&] { help = WindowMenuHelpText(0); });
  harness.PickOpenMenuItem(40048);
  WMenuFloating(30005, 100, 100);
  EXPECT_TRUE(printGreyed);
  EXPECT_EQ(help, "Autoscale graphics");
  auto [type, rec] = WaitPastPictures();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(rec.value1, 40048);

  harness.HoverOpenMenuItem(40064).Call([&] { help = WindowMenuHelpText(0); });
  harness.PickOpenMenuItem(40064);
  WMenuFloating(30002, 5000, 5000);
  EXPECT_EQ(help, "Write this trace out as an ASCII file");
  std::tie(type, rec) = WaitPastPictures();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(rec.value1, 40064);

  WMenuFloating(31999, 0, 0);
  EXPECT_EQ(WErrorStatusQuery(1), 1002);
}

TEST_F(MenusTest, StatusBarPartsAndTexts) {
  const std::array<int, 5> widths{1000, 1500, 1500, 1500, 5000};
  const std::array<int, 5> styles{1, 0, 2, 7, 1};
  WindowStatusText(2, "kept   ");
  WindowStatusParts(5, widths, styles);
  const plat::Hwnd status = WindowStatusBarHandle(0);
  EXPECT_EQ(plat::StatusBarGetParts(status), (std::vector<int>{80, 200, 320, 440, 840}));
  WindowStatusText(2, "second   ");
  EXPECT_EQ(plat::StatusBarGetText(status, 1), "second");
  WindowStatusParts(0, widths);  // out of range: nothing
  WindowStatusParts(3, std::array<int, 3>{2000, -1, 3000});
  EXPECT_EQ(plat::StatusBarGetParts(status), (std::vector<int>{160, -1, 320}));
  WindowStatusText(256, "ignored");
}

TEST_F(MenusTest, ErrorReporterModesThreeAndFour) {
  const std::array<int, 2> widths{5000, -1};
  WindowStatusParts(2, widths);
  ErrorReportModeSet(kReportStatusBar);
  ReportLibraryError(1010, "WDialogGetReal");
  EXPECT_EQ(plat::StatusBarGetText(WindowStatusBarHandle(0), 0),
            "Routine:WDialogGetReal Error=1010:Field value undefined");
  EXPECT_EQ(WErrorStatusQuery(1), 1010);

  int exitCode = -1;
  SetAbnormalExitHooks(nullptr, [&](int code) { exitCode = code; });
  ErrorReportModeSet(kReportMessageBox);
  DialogStatus().answer = 0;  // an earlier dialog's Cancel must not count
  harness.Answer("messagebox", "OK");
  ReportLibraryError(1002, "WMenu");
  EXPECT_EQ(exitCode, -1);
  const plat::MessageBoxRecord& box = plat::MessageBoxLog().back();
  EXPECT_EQ(box.caption, "Library Error");
  EXPECT_EQ(box.text, "Routine:WMenu\rError=1002\rUnable to load menu from resource");
  EXPECT_EQ(box.icon, plat::MessageBoxIcon::Exclamation);
  EXPECT_EQ(box.buttons, plat::MessageBoxButtons::OkCancel);
  EXPECT_EQ(box.defaultButton, 0);
  harness.Answer("messagebox", "Retry");  // names no button: the box fails
  ReportLibraryError(1002, "WMenu");
  EXPECT_EQ(exitCode, -1);
  harness.Answer("messagebox", "Cancel");
  ReportLibraryError(1002, "WMenu");
  EXPECT_EQ(exitCode, 1);
  EXPECT_EQ(WErrorStatusQuery(1), 1002);
}

TEST_F(MenusTest, MessageBoxAnswersAndStatusWords) {
  struct Case {
    int buttons, icon, defaultButton;
    const char* press;
    int answer;
    plat::MessageBoxButtons shown;
  } cases[] = {
      {5, 1, 1, "Enter", 1, plat::MessageBoxButtons::AbortRetryIgnore},
      {5, 1, 1, "Abort", 2, plat::MessageBoxButtons::AbortRetryIgnore},
      {5, 1, 7, "Enter", 0, plat::MessageBoxButtons::AbortRetryIgnore},
      {1, 2, 0, "Enter", 0, plat::MessageBoxButtons::OkCancel},
      {1, 2, 1, "Enter", 1, plat::MessageBoxButtons::OkCancel},
      {9, 0, 0, "OK", 1, plat::MessageBoxButtons::Ok},
      {3, 4, 1, "No", 2, plat::MessageBoxButtons::YesNo},
      {4, 3, 2, "Enter", 2, plat::MessageBoxButtons::YesNoCancel},
      {2, 9, 0, "Retry", 1, plat::MessageBoxButtons::RetryCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.press);
    DialogStatus().focusBefore = 5;
    harness.Answer("messagebox", c.press);
    WMessageBox(c.buttons, c.icon, c.defaultButton, "One\rTwo\rThree   ", "Title  ");
    EXPECT_EQ(DialogStatus().answer, c.answer);
    EXPECT_EQ(DialogStatus().focusBefore, 0);
    EXPECT_EQ(plat::MessageBoxLog().back().buttons, c.shown);
  }
  EXPECT_EQ(plat::MessageBoxLog().back().text, "One\rTwo\rThree");
  EXPECT_EQ(plat::MessageBoxLog().back().caption, "Title");
  // A box that cannot be answered keeps the previous answer and reports 1004.
  harness.Answer("messagebox", "Yes");
  WMessageBox(1, 0, 1, "text", "title");
  EXPECT_EQ(DialogStatus().answer, 1);
  EXPECT_EQ(WErrorStatusQuery(1), 1004);
}

TEST_F(MenusTest, MessageBoxKeepsTheWindowsPictureAndDisablesThem) {
  int child = -1;
  WindowOpenChild(child, kDefaultWindowFlags, 10, 10, 200, 100);
  ASSERT_GT(child, 0);
  bool mainEnabled = true;
  bool childEnabled = true;
  harness.Call([&] {
    mainEnabled = plat::IsWindowEnabled(WindowFrameHandle(0));
    childEnabled = plat::IsWindowEnabled(WindowFrameHandle(child));
    // Anything that invalidates the windows is repainted from the snapshot.
    plat::InvalidateRect(WindowClientHandle(0), std::nullopt, true);
  });
  harness.Key(plat::kVkReturn);
  WMessageBox(0, 4, 0, "Done", "Info");
  EXPECT_FALSE(mainEnabled);
  EXPECT_FALSE(childEnabled);
  EXPECT_TRUE(plat::IsWindowEnabled(WindowFrameHandle(0)));
  EXPECT_TRUE(plat::IsWindowEnabled(WindowFrameHandle(child)));
  EXPECT_EQ(DialogStatus().answer, 1);
  // The repaint during the box made no expose event.
  harness.Close(WindowFrameHandle(0));
  EXPECT_EQ(Wait().first, kEventClose);
}

}  // namespace
}  // namespace tk::testing

namespace tk::testing {
namespace {

TEST(AcceleratorResourceTest, ATableOfTheResourcesBecomesAPlatformTable) {
  res::ResourceSet set;
  res::ResourceError error;
  ASSERT_TRUE(res::ParseResourceText(
      "a.txt", "accelerators 700\n 40002 Ctrl+O\n 40003 Shift+Alt+F2\n 40004 Del\nend\n", set, error))
      << error.Text();
  const plat::HAccel a = LoadAcceleratorResource(700, &set);
  ASSERT_NE(a, plat::kNoAccel);
  const std::vector<plat::Accelerator> entries = plat::AcceleratorEntries(a);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].modifiers, plat::kAccelControl);
  EXPECT_EQ(entries[0].key, 'O');
  EXPECT_EQ(entries[0].command, 40002);
  EXPECT_EQ(entries[1].modifiers, plat::kAccelShift | plat::kAccelAlt);
  EXPECT_EQ(entries[1].key, plat::kVkF1 + 1);
  EXPECT_EQ(entries[2].modifiers, 0u);
  EXPECT_EQ(entries[2].key, plat::kVkDelete);
  EXPECT_EQ(entries[2].command, 40004);
  plat::DestroyAcceleratorTable(a);
  EXPECT_EQ(LoadAcceleratorResource(701, &set), plat::kNoAccel);
  // The program's own menus carry no key table.
  EXPECT_EQ(LoadAcceleratorResource(30001), plat::kNoAccel);
}

}  // namespace
}  // namespace tk::testing
