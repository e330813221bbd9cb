// The editor's command line: Enter, the history and its keys, the prompt
// and the programming interface.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "platform/controls/RichEdit.h"
#include "platform/window/VirtualKeys.h"
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/editor/EditorApi.h"
#include "toolkit/editor/EditorCommandLine.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk::testing {
namespace {

class EditorCommandLineTest : public EditorWindowFixture {
 protected:
  EditorRecord* Open(std::uint32_t flags, EditorMode mode = EditorMode::Modeless,
                     int expected = 0) {
    WindowOpenChild(window, 7 | kWsStatusBar, 10, 10, 500, 300, 0, {}, 0, "Commands");
    int status = -1;
    EditorOpen(status, mode, 0, flags, 0, 0, -1, {}, {});
    EXPECT_EQ(status, expected);
    return CurrentEditor();
  }
  /// Types TEXT into the command line and presses Enter; the event.
  std::pair<int, EventRecord> Enter(EditorRecord* rec, std::string_view text) {
    plat::SetFocus(rec->commandEdit);
    plat::SetWindowText(rec->commandEdit, text);
    harness.Key(plat::kVkReturn, '\r');
    return Wait();
  }
  std::vector<std::string> History(EditorRecord* rec) {
    std::vector<std::string> out;
    for (int k = 0; k < plat::ComboBoxGetCount(rec->commandLine); ++k)
      out.push_back(*plat::ComboBoxGetText(rec->commandLine, k));
    return out;
  }
  int window = 0;
};

TEST_F(EditorCommandLineTest, EnterRaisesTheEventAndKeepsAHistoryOfAHundred) {
  EditorRecord* rec = Open(kEditorHistory);
  ASSERT_NE(rec->commandLine, plat::kNoWindow);
  EXPECT_EQ(plat::GetClassName(rec->commandLine), plat::kComboBoxClass);
  EXPECT_EQ(rec->focusChild, rec->commandEdit);
  // The command line lies under the text, above the status bar.
  EXPECT_LE(plat::GetWindowRect(Client(window)).bottom, plat::GetWindowRect(rec->commandLine).top);
  const auto [type, event] = Enter(rec, "pick 12");
  EXPECT_EQ(type, kEventToolbarEnter);
  EXPECT_EQ(event.window, window);
  Enter(rec, "pick 12");  // the same again is kept once
  Enter(rec, "   ");      // blanks are not kept
  EXPECT_EQ(History(rec), (std::vector<std::string>{"pick 12"}));
  for (int k = 0; k < 105; ++k) Enter(rec, "c" + std::to_string(k));
  const std::vector<std::string> h = History(rec);
  ASSERT_EQ(h.size(), 100u);
  EXPECT_EQ(h.front(), "c104");
  EXPECT_EQ(h.back(), "c5");
  int value = 0;
  EditorInfo(window, 10, value);
  EXPECT_EQ(value, 100);
}

TEST_F(EditorCommandLineTest, UpAndDownWalkTheHistoryAndEscapeEmptiesTheLine) {
  EditorRecord* rec = Open(kEditorHistory);
  for (const char* t : {"load", "list", "zoom"}) EditorAddHistory(0, t);  // zoom, list, load
  plat::SetFocus(rec->commandEdit);
  plat::ComboBoxSetCurSel(rec->commandLine, -1);
  plat::SetWindowText(rec->commandEdit, "li");
  // Nothing selected: the first entry beginning with the typed text.
  harness.Key(plat::kVkUp);
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(rec->commandEdit), "list");
  harness.Key(plat::kVkUp).Key(plat::kVkUp);
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(rec->commandEdit), "zoom");
  harness.Key(plat::kVkDown).Key(plat::kVkDown).Key(plat::kVkDown);
  harness.DispatchPending();
  EXPECT_EQ(plat::ComboBoxGetCurSel(rec->commandLine), -1);
  plat::SetWindowText(rec->commandEdit, "typed");
  harness.Key(plat::kVkEscape);
  harness.DispatchPending();
  EXPECT_EQ(plat::GetWindowText(rec->commandEdit), "");
}

TEST_F(EditorCommandLineTest, APlainCommandLineScrollsTheTextAndTheInterfaceStatuses) {
  int status = -1;
  EditorSetPrompt(status, "x");
  EXPECT_EQ(status, 1);
  EditorRecord* rec = Open(kEditorCommandLine);
  EXPECT_EQ(plat::GetClassName(rec->commandLine), plat::kEditClass);
  EditorHasHistory(status);
  EXPECT_EQ(status, 2);
  EditorClearHistory(status);
  EXPECT_EQ(status, 2);
  std::string text;
  for (int k = 0; k < 60; ++k) text += "line\r";
  plat::RichEditReplaceSel(rec->textControl, text, true);
  plat::RichEditSetSel(rec->textControl, 0, 0);
  plat::RichEditScrollCaret(rec->textControl);
  plat::SetFocus(rec->commandEdit);
  harness.Key(plat::kVkDown);
  harness.DispatchPending();
  EXPECT_EQ(plat::RichEditGetFirstVisibleLine(rec->textControl), 1);
  harness.Key(plat::kVkNext);
  harness.DispatchPending();
  EXPECT_GT(plat::RichEditGetFirstVisibleLine(rec->textControl), 2);

  // The prompt takes its text's width and the command line the rest.
  const int before = plat::GetWindowRect(rec->commandLine).left;
  EditorSetPrompt(status, "Command:");
  EXPECT_EQ(status, 0);
  EXPECT_GT(plat::GetWindowRect(rec->commandLine).left, before);
  EXPECT_EQ(plat::GetWindowText(rec->promptText), "Command:");
  EditorSetCommandLine(status, "abcdef", 2);
  EXPECT_EQ(plat::EditGetSel(rec->commandEdit), std::make_pair(2, 2));
  EditorGetCommandLine(status, text, 10);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(text, "abcdef");
  EditorGetCommandLine(status, text, 4);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(text, "abc");
}

TEST_F(EditorCommandLineTest, AModalEditorGetsNoCommandLine) {
  WindowOpenChild(window, 7, 10, 10, 500, 300, 0, {}, 0, "Modal");
  harness.Close(Frame(window));
  int status = -1;
  EditorMode mode = EditorMode::Modal;
  EditorOpen(status, mode, 0, kEditorCommandLine | kEditorNoMenu, 0, 0, -1, {}, {});
  EXPECT_EQ(status, kEditorOpenCommandLineModal);
  EXPECT_FALSE(WindowSlotInUse(window));
}

}  // namespace
}  // namespace tk::testing
