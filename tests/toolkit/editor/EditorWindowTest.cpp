// Turning a toolkit window into an editor: statuses, the text control and
// its layout, further documents, the close request and destruction.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/controls/RichEdit.h"
#include "platform/dialog/MessageBox.h"
#include "tests/TestSupport.h"
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk::testing {
namespace {

class EditorWindowTest : public EditorWindowFixture {
 protected:

  int Child(int flags = 7, int parent = -1) {
    int n = 0;
    if (parent >= 0)
      WindowOpenChild(n, flags, 0, 0, 2000, 2000, 0, {}, 0, "Notes", parent);
    else
      WindowOpenChild(n, flags, 10, 10, 400, 300, 0, {}, 0, "Notes");
    return n;
  }
  int Open(std::uint32_t flags = 0, std::string_view name = {},
           EditorMode mode = EditorMode::Modeless) {
    int status = -1;
    EditorOpen(status, mode, 0, flags, 0, 0, -1, name, {});
    lastMode = mode;
    return status;
  }
  void Type(std::string_view text) {
    plat::RichEditReplaceSel(CurrentEditor()->textControl, text, true);
  }

  EditorMode lastMode = EditorMode::Modeless;
};

TEST_F(EditorWindowTest, OpenStatusesByWindow) {
  // The main window cannot become an editor.
  EXPECT_EQ(Open(), kEditorOpenMainWindow);
  EXPECT_EQ(CurrentEditor(), nullptr);

  // A grid window is already special.
  const int grid = Child();
  SetWindowGridField(grid, WindowClientHandle(grid));
  EXPECT_EQ(Open(), kEditorOpenOtherSpecial);
  EXPECT_EQ(CurrentEditor(), nullptr);
  SetWindowGridField(grid, plat::kNoWindow);

  // A window holding inside windows.
  const int outer = Child();
  const int inner = Child(kWsInsideParent | 7, outer);
  WindowMakeCurrent(outer);
  EXPECT_EQ(Open(), kEditorOpenInsideChildren);
  EXPECT_EQ(CurrentEditor(), nullptr);

  struct Case {
    EditorMode mode;
    std::uint32_t flags;
    int status;
  };
  const Case cases[] = {
      {EditorMode::Modal, kEditorNoMenu, kEditorOpenModeForced},
      {EditorMode::SemiModeless, 0, kEditorOpenModeForced},
      {EditorMode::Modeless, 0, kEditorOpenMenuInsideParent},
      {EditorMode::Modeless, kEditorNoMenu, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode) * 100 + (c.flags != 0));
    const int n = Child(kWsInsideParent | 7, inner);
    ASSERT_GT(n, 0);
    EXPECT_EQ(Open(c.flags, {}, c.mode), c.status);
    EXPECT_EQ(lastMode, EditorMode::Modeless);
    ASSERT_NE(CurrentEditor(), nullptr);  // each leaves a working editor
    EXPECT_EQ(WindowQuery(10), 1);
    WindowCloseChild(n);
  }
}

TEST_F(EditorWindowTest, AModalEditorTakesTheWindowsOwnToolbarsAwayOthersRecordThem) {
  int n = 0;
  WindowOpenChild(n, 7, 10, 10, 400, 300, 0, {30102, 0, 0, 0}, 0, "Notes");
  const plat::Hwnd own = WindowToolbarHandle(n, 1);
  ASSERT_NE(own, plat::kNoWindow);
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(CurrentEditor()->windowToolbars[0], own);
  EXPECT_EQ(CurrentEditor()->windowToolbars[1], plat::kNoWindow);
  EXPECT_TRUE(plat::IsWindow(own));
  WindowCloseChild(n);

  WindowOpenChild(n, 7, 10, 10, 400, 300, 0, {30102, 0, 0, 0}, 0, "Notes");
  ASSERT_NE(WindowToolbarHandle(n, 1), plat::kNoWindow);
  bool checked = false;
  harness.Call([&] {
    EditorRecord* rec = EditorOfWindow(n);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(WindowToolbarHandle(n, 1), plat::kNoWindow);
    EXPECT_EQ(rec->windowToolbars[0], plat::kNoWindow);
    EXPECT_NE(rec->toolbar, plat::kNoWindow);  // the editor's own stays
    // The text fills what the toolbar left.
    EXPECT_EQ(plat::GetWindowRect(rec->textControl), plat::GetClientRect(Client(n)));
    checked = true;
    plat::PostMessage(Frame(n), plat::Msg::Close);
  });
  EXPECT_EQ(Open(0, {}, EditorMode::Modal), 0);
  EXPECT_TRUE(checked);
  EXPECT_EQ(EditorOfWindow(n), nullptr);
}

TEST_F(EditorWindowTest, TheWindowsFocusGoesToTheChildThatHadItLast) {
  for (std::uint32_t line : {kEditorCommandLine, kEditorHistory}) {
    SCOPED_TRACE(line);
    const int n = Child();
    ASSERT_EQ(Open(line), 0);
    EditorRecord* rec = CurrentEditor();
    ASSERT_NE(rec->commandEdit, plat::kNoWindow);
    EXPECT_EQ(plat::GetFocus(), rec->commandEdit);  // the command line first
    plat::SetFocus(rec->textControl);
    EXPECT_EQ(rec->focusChild, rec->textControl);
    plat::SetFocus(Frame(n));
    EXPECT_EQ(plat::GetFocus(), rec->textControl);
    plat::SetFocus(rec->commandEdit);
    EXPECT_EQ(rec->focusChild, rec->commandEdit);
    plat::SetFocus(Frame(n));
    EXPECT_EQ(plat::GetFocus(), rec->commandEdit);
    WindowCloseChild(n);
  }
}

TEST_F(EditorWindowTest, TheTextControlFillsTheClientAreaAndFollowsItsSize) {
  const int n = Child();
  ASSERT_EQ(Open(kEditorViewer | kEditorWrap), 0);
  EditorRecord* rec = CurrentEditor();
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(EditorOfWindow(n), rec);
  EXPECT_EQ(EditorOfHandle(Frame(n)), rec);
  EXPECT_EQ(plat::GetParent(rec->textControl), Client(n));
  EXPECT_EQ(plat::GetWindowId(rec->textControl), 1002);
  EXPECT_EQ(plat::GetClassName(rec->textControl), plat::kRichEditClass);
  EXPECT_NE(plat::GetStyle(rec->textControl) & plat::kEsReadOnly, 0u);
  EXPECT_EQ(plat::GetStyle(rec->textControl) & plat::kWsHScroll, 0u);
  EXPECT_EQ(plat::RichEditGetLimit(rec->textControl), kEditorTextLimit);
  EXPECT_TRUE(rec->readOnly);
  EXPECT_FALSE(rec->allowSave);
  EXPECT_EQ(rec->windowTitle, "Notes");
  EXPECT_TRUE(plat::IsWindowVisible(rec->textControl));
  const auto clientRect = [&] { return plat::GetClientRect(Client(n)); };
  EXPECT_EQ(plat::GetClientRect(rec->textControl).Width(), clientRect().Width());
  EXPECT_EQ(plat::GetWindowRect(rec->textControl), clientRect());

  WindowReposition(600, 500);
  EXPECT_EQ(plat::GetWindowRect(rec->textControl), clientRect());

  // Without wrapping the control scrolls sideways.
  Child();
  ASSERT_EQ(Open(), 0);
  EXPECT_NE(plat::GetStyle(CurrentEditor()->textControl) & plat::kWsHScroll, 0u);
  EXPECT_EQ(plat::GetStyle(CurrentEditor()->textControl) & plat::kEsReadOnly, 0u);
}

TEST_F(EditorWindowTest, TheStatusBarGetsFourReadOuts) {
  const int n = Child(7 | kWsStatusBar);
  ASSERT_NE(WindowStatusBarHandle(n), plat::kNoWindow);
  ASSERT_EQ(Open(), 0);
  const plat::Hwnd bar = CurrentEditor()->statusBar;
  ASSERT_EQ(bar, WindowStatusBarHandle(n));
  EXPECT_EQ(plat::StatusBarGetParts(bar), (std::vector<int>{130, 170, 210, -1}));
  EXPECT_EQ(plat::StatusBarGetText(bar, 0), "Line:1   Col:1");
  EXPECT_EQ(plat::StatusBarGetText(bar, 1), "");
  EXPECT_EQ(plat::StatusBarGetText(bar, 3), "\tINS");
  // The text control stays above the bar.
  EXPECT_EQ(plat::GetWindowRect(CurrentEditor()->textControl), plat::GetClientRect(Client(n)));
  EXPECT_LE(plat::GetWindowRect(Client(n)).bottom, plat::GetWindowRect(bar).top);
  // Without a status bar there is none to fill.
  Child();
  ASSERT_EQ(Open(), 0);
  EXPECT_EQ(CurrentEditor()->statusBar, plat::kNoWindow);
}

TEST_F(EditorWindowTest, AGivenFileIsLoadedUnmodified) {
  const std::string path =
      (std::filesystem::path(::testing::TempDir()) / "editor-window-load.txt").lexically_normal();
  std::ofstream(path, std::ios::binary) << "first\r\nsecond";
  Child();
  ASSERT_EQ(Open(0, path), 0);
  EditorRecord* rec = CurrentEditor();
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "first\rsecond");
  EXPECT_FALSE(plat::RichEditGetModify(rec->textControl));
  EXPECT_EQ(rec->changedFlag, 0);
  EXPECT_EQ(rec->documentName, path);
  WindowCloseChild(CurrentWindow());
  std::remove(path.c_str());
}

TEST_F(EditorWindowTest, FurtherDocumentsUpToTwentyAndAKnownNameSwitches) {
  const std::string base = std::string(::testing::TempDir()) + "/editor-window-doc";
  std::ofstream(base + "1.txt", std::ios::binary) << "one";
  std::ofstream(base + "2.txt", std::ios::binary) << "two";
  Child();
  ASSERT_EQ(Open(kEditorMultiDocument, base + "1.txt"), 0);
  EditorRecord* rec = CurrentEditor();
  ASSERT_EQ(Open(kEditorMultiDocument, base + "2.txt"), 0);
  EXPECT_EQ(rec->documentCount, 2);
  EXPECT_EQ(rec->currentDocument, 2);
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "two");
  // The name of an open document, in other letter case, switches to it.
  ASSERT_EQ(Open(kEditorMultiDocument, base + "1.TXT"), 0);
  EXPECT_EQ(rec->documentCount, 2);
  EXPECT_EQ(rec->currentDocument, 1);
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "one");
  // Untitled further documents start empty, until all twenty are in use.
  for (int d = 3; d <= kEditorMaxDocuments; ++d) {
    ASSERT_EQ(Open(kEditorMultiDocument), 0) << d;
    EXPECT_EQ(rec->currentDocument, d);
    EXPECT_EQ(plat::RichEditGetTextLength(rec->textControl), 0);
  }
  EXPECT_EQ(Open(kEditorMultiDocument), kEditorOpenNoDocument);
  EXPECT_EQ(rec->documentCount, kEditorMaxDocuments);
  WindowCloseChild(CurrentWindow());
  std::remove((base + "1.txt").c_str());
  std::remove((base + "2.txt").c_str());
}

TEST_F(EditorWindowTest, CloseRequestPromptsThenRaisesTheEventAndTheWindowStays) {
  const int n = Child();
  ASSERT_EQ(Open(), 0);
  Type("changed");
  // Cancel: the editor stays as it was.
  harness.Answer("messagebox", "Cancel");
  plat::SendMessage(Frame(n), plat::Msg::Close);
  EXPECT_TRUE(plat::RichEditGetModify(CurrentEditor()->textControl));
  EXPECT_EQ(plat::MessageBoxLog().size(), 1u);
  // No: the close request event, and the window stays.
  harness.Answer("messagebox", "No");
  plat::PostMessage(Frame(n), plat::Msg::Close);
  EXPECT_EQ(Wait().first, kEventClose);
  EXPECT_EQ(plat::MessageBoxLog().size(), 2u);
  EXPECT_TRUE(WindowSlotInUse(n));
  EXPECT_NE(CurrentEditor(), nullptr);
}

TEST_F(EditorWindowTest, ClosingTheWindowReleasesTheEditor) {
  const int n = Child();
  ASSERT_EQ(Open(), 0);
  WindowCloseChild(n);
  EXPECT_EQ(EditorOfWindow(n), nullptr);
  // The number is free for a plain window, and that one can be converted again.
  const int again = Child();
  ASSERT_EQ(again, n);
  EXPECT_EQ(WindowQuery(10), 0);
  EXPECT_EQ(CurrentEditor(), nullptr);
  EXPECT_EQ(Open(), 0);
  EXPECT_NE(CurrentEditor(), nullptr);
}

}  // namespace
}  // namespace tk::testing
