#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/menu/Menu.h"
#include "platform/testing/Harness.h"
#include "platform/window/VirtualKeys.h"

namespace plat::testing {
namespace {

MenuEntry Cmd(int id, std::string text, bool greyed = false, bool checked = false) {
  MenuEntry e;
  e.id = id;
  e.text = std::move(text);
  e.greyed = greyed;
  e.checked = checked;
  return e;
}

MenuEntry Pop(int id, std::string text, HMenu sub) {
  MenuEntry e = Cmd(id, std::move(text));
  e.kind = MenuEntry::Kind::Popup;
  e.submenu = sub;
  return e;
}

MenuEntry Sep() {
  MenuEntry e;
  e.kind = MenuEntry::Kind::Separator;
  return e;
}

Message Key(Hwnd h, Msg m, WParam w) {
  Message out;
  out.hwnd = h;
  out.msg = m;
  out.wParam = w;
  return out;
}

/// A menu: File (Open 101, Save 102 greyed, separator, Recent > Last 104),
/// Edit (Cut 201 checked).
HMenu MakeMenu() {
  const HMenu bar = CreateMenu();
  const HMenu file = CreateMenu();
  const HMenu recent = CreateMenu();
  const HMenu edit = CreateMenu();
  InsertMenuEntry(recent, -1, Cmd(104, "&Last\tCtrl+L"));
  InsertMenuEntry(file, -1, Cmd(101, "&Open"));
  InsertMenuEntry(file, -1, Cmd(102, "&Save", true));
  InsertMenuEntry(file, -1, Sep());
  InsertMenuEntry(file, -1, Pop(103, "&Recent", recent));
  InsertMenuEntry(edit, -1, Cmd(201, "Cu&t", false, true));
  InsertMenuEntry(bar, -1, Pop(100, "&File", file));
  InsertMenuEntry(bar, -1, Pop(200, "&Edit", edit));
  return bar;
}

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterControls());
    RegisterWindowClass({"MenuHost",
                         [this](Hwnd h, Msg m, WParam w, LParam l) -> LResult {
                           if (m == Msg::Command) commands.push_back(LowWord(w));
                           if (m == Msg::Char) chars.push_back(static_cast<char>(w));
                           if (m == Msg::MenuSelect) selected.push_back(l == 0 ? -1 : int(w));
                           if (m == Msg::EnterMenuLoop) entered.push_back(int(w));
                           if (m == Msg::ExitMenuLoop) exited.push_back(int(w));
                           return DefWindowProc(h, m, w, l);
                         },
                         0, Rgb(255, 255, 255)});
    top = CreateWindow({.className = "MenuHost",
                        .title = "Host",
                        .style = kStyleVisible,
                        .rect = {100, 100, 500, 400}});
    menu = MakeMenu();
  }
  void TearDown() override { DestroyMenu(menu); }

  Harness harness;
  Hwnd top = kNoWindow;
  HMenu menu = kNoMenu;
  std::vector<int> commands, selected, entered, exited;
  std::string chars;
};

TEST(MenuModel, EntriesPathsAndDestruction) {
  const HMenu m = MakeMenu();
  EXPECT_EQ(MenuEntryCount(m), 2);
  const MenuPlace last = FindMenuEntry(m, 104);
  ASSERT_TRUE(last.Found());
  EXPECT_EQ(GetMenuEntry(last.menu, last.pos)->text, "&Last\tCtrl+L");
  EXPECT_EQ(MenuPathTo(m, 104), (std::vector<int>{0, 3, 0}));
  EXPECT_EQ(MenuPathTo(m, 200), (std::vector<int>{1}));
  EXPECT_TRUE(MenuPathTo(m, 999).empty());
  EXPECT_FALSE(FindMenuEntry(m, 0).Found());  // separators and unnamed entries are never found
  const HMenu file = GetMenuEntry(m, 0)->submenu;
  EXPECT_FALSE(InsertMenuEntry(m, 0, Pop(1, "x", 12345)));
  EXPECT_TRUE(DeleteMenuEntry(m, 0));
  EXPECT_FALSE(IsMenu(file));
  EXPECT_TRUE(DestroyMenu(m));
  EXPECT_FALSE(IsMenu(m));
  EXPECT_FALSE(DestroyMenu(m));
}

TEST_F(MenuTest, BarShowsAlongTheTopAndClickingAnItemPostsItsCommand) {
  ASSERT_TRUE(SetMenu(top, menu));
  EXPECT_EQ(GetMenu(top), menu);
  const Hwnd bar = GetMenuBarWindow(top);
  ASSERT_NE(bar, kNoWindow);
  EXPECT_EQ(GetWindowRect(bar).top, 0);
  EXPECT_GT(MenuBarHeight(top), 0);
  harness.PickMenuItem(top, 101);
  harness.DispatchPending();
  EXPECT_EQ(commands, std::vector<int>{101});
  EXPECT_EQ(entered, std::vector<int>{0});
  EXPECT_EQ(exited, std::vector<int>{0});
  EXPECT_EQ(selected, (std::vector<int>{100, 101, -1}));
  EXPECT_FALSE(MenuLoopActive());
}

TEST_F(MenuTest, NestedEntryGreyedEntryAndHover) {
  SetMenu(top, menu);
  harness.PickMenuItem(top, 104);
  harness.PickMenuItem(top, 102).Key(kVkEscape).Key(kVkEscape);  // greyed: stays open
  harness.HoverMenuItem(top, 101)
      .Call([&] {
        EXPECT_TRUE(MenuLoopActive());
        const HMenu file = GetMenuEntry(menu, 0)->submenu;
        EXPECT_NE(OpenMenuWindow(file), kNoWindow);
        EXPECT_FALSE(OpenMenuEntryRect(file, 0).Empty());
      })
      .Key(kVkEscape)
      .Key(kVkEscape);
  harness.DispatchPending();
  EXPECT_EQ(commands, std::vector<int>{104});
  EXPECT_EQ(selected.back(), -1);
  EXPECT_NE(std::find(selected.begin(), selected.end(), 103), selected.end());
}

TEST_F(MenuTest, KeyboardMovesThroughEntriesAndChooses) {
  SetMenu(top, menu);
  // Open File with the mouse, then: Down (Open), Down (Save), Down (Recent,
  // past the separator), Right opens Recent with Last selected, Enter.
  harness.HoverMenuItem(top, 100);
  harness.Key(kVkDown).Key(kVkDown).Key(kVkDown).Key(kVkRight).Key(kVkReturn);
  // Right from File moves to Edit; its mnemonic letter chooses Cut.
  harness.HoverMenuItem(top, 100).Key(kVkRight).Char('t');
  harness.DispatchPending();
  EXPECT_EQ(commands, (std::vector<int>{104, 201}));
}

// A real keyboard types a character with Enter and Escape. The key that
// ends the menu takes its character with it, so the command it chose (a
// dialog whose default button Enter would press) never sees it; characters
// typed afterwards still arrive.
TEST_F(MenuTest, TheKeyThatEndsTheMenuTakesItsCharacterWithIt) {
  SetMenu(top, menu);
  harness.HoverMenuItem(top, 100);
  harness.Key(kVkDown).Key(kVkReturn, '\r').Char('x');
  harness.DispatchPending();
  EXPECT_EQ(commands, (std::vector<int>{101}));
  EXPECT_EQ(chars, "x");

  chars.clear();
  harness.HoverMenuItem(top, 100);
  harness.Key(kVkEscape, 0x1B).Key(kVkEscape, 0x1B).Char('y');
  harness.DispatchPending();
  EXPECT_EQ(commands, (std::vector<int>{101}));
  EXPECT_EQ(chars, "y");
}

TEST_F(MenuTest, F10AndAltLetterEnterTheBar) {
  constexpr WParam kF10 = kVkF1 + 9;
  SetMenu(top, menu);
  EXPECT_FALSE(TranslateMenuKey(Key(top, Msg::KeyUp, kF10)));
  EXPECT_FALSE(TranslateMenuKey(Key(top, Msg::SysChar, 'q')));
  harness.Key(kVkDown).Key(kVkReturn);
  EXPECT_TRUE(TranslateMenuKey(Key(top, Msg::KeyDown, kF10)));
  harness.Key(kVkReturn);
  EXPECT_TRUE(TranslateMenuKey(Key(top, Msg::SysChar, 'e')));
  harness.DispatchPending();  // the posted commands
  EXPECT_EQ(commands, (std::vector<int>{101, 201}));
}

TEST_F(MenuTest, TrackPopupMenuReturnsTheChoiceOrNothing) {
  const HMenu edit = GetMenuEntry(menu, 1)->submenu;
  harness.PickOpenMenuItem(201);
  EXPECT_EQ(TrackPopupMenu(edit, {200, 200}, top), 201);
  EXPECT_EQ(entered, std::vector<int>{1});
  EXPECT_EQ(selected, (std::vector<int>{201, -1}));
  harness.HoverOpenMenuItem(201).Key(kVkEscape);
  EXPECT_EQ(TrackPopupMenu(edit, {200, 200}, top), 0);
  harness.Click(top, {5, 5});  // a click outside closes it
  EXPECT_EQ(TrackPopupMenu(edit, {200, 200}, top), 0);
  EXPECT_TRUE(commands.empty());
}

TEST_F(MenuTest, PopupIsAnUnframedWindowKeptOnTheScreen) {
  const HMenu edit = GetMenuEntry(menu, 1)->submenu;
  bool overlay = false;
  Rect shown;
  harness.Call([&] {
    const Hwnd w = OpenMenuWindow(edit);
    shown = GetWindowRect(w);
    overlay = harness.Backend().Window(GetNativeWindow(w))->overlay;
  });
  harness.Key(kVkEscape);
  TrackPopupMenu(edit, {1915, 1075}, top);
  EXPECT_TRUE(overlay);
  EXPECT_LE(shown.right, 1920);
  EXPECT_LE(shown.bottom, 1080);
}

}  // namespace
}  // namespace plat::testing
