// The programming interface on the current window: the modal editor's
// last values, whole-text streams, switching documents, suspending the
// display, the modified state and the font.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/controls/RichEdit.h"
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/editor/EditorApi.h"
#include "toolkit/editor/EditorFont.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk::testing {
namespace {

class EditorApiTest : public EditorWindowFixture {
 protected:
  int Child() {
    int n = 0;
    WindowOpenChild(n, 7, 10, 10, 400, 300, 0, {}, 0, "Api");
    return n;
  }
  int Open(std::uint32_t flags, std::string_view name = {}, EditorMode mode = EditorMode::Modeless) {
    int status = -1;
    EditorOpen(status, mode, 0, flags, 0, 0, -1, name, {});
    return status;
  }
};

TEST_F(EditorApiTest, AModalEditorRunsUntilItClosesAndLeavesItsValues) {
  const std::string path =
      (std::filesystem::path(::testing::TempDir()) / "editor-modal.txt").lexically_normal();
  std::ofstream(path, std::ios::binary) << "ab\r\ncd";
  const int n = Child();
  harness.Close(Frame(n));
  EXPECT_EQ(Open(kEditorNoMenu, path, EditorMode::Modal), 0);
  // Back here only after the window closed.
  EXPECT_FALSE(WindowSlotInUse(n));
  EXPECT_EQ(EditorOfWindow(n), nullptr);
  struct Case {
    int item, value;
  };
  const Case cases[] = {{1, 1}, {2, 6}, {3, 0}, {4, 1}, {6, 1}, {7, 1}, {10, 0}};
  for (const Case& c : cases) {
    int value = -7;
    EditorInfo(-1, c.item, value);
    EXPECT_EQ(value, c.value) << c.item;
  }
  int untouched = -7;
  EditorInfo(-1, 103, untouched);
  EXPECT_EQ(untouched, -7);
  std::string name(300, ' ');
  EditorInfoText(-1, 3, name);
  EXPECT_EQ(name.substr(0, path.size()), path);
  std::remove(path.c_str());
}

TEST_F(EditorApiTest, ContentsStreamOutAndBackIn) {
  int size = -1, status = -1;
  EditorTextSize(size, status);
  EXPECT_EQ(status, 1);  // the main window is no editor
  Child();
  ASSERT_EQ(Open(0), 0);
  EditorRecord* rec = CurrentEditor();
  plat::RichEditReplaceSel(rec->textControl, "ab\rcd", true);
  EditorTextSize(size, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(size, 6);
  std::string contents;
  EditorGetContents(contents);
  EXPECT_EQ(contents, "ab\r\ncd");
  rec->positionCache = {1, 1};
  EditorPutContents(4, "xy\r\nzzzz");
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "xy\r");
  EXPECT_TRUE(rec->positionCache.Empty());
  // A size beyond the buffer takes only the buffer.
  EditorPutContents(1000, "q");
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "q");
}

TEST_F(EditorApiTest, SwitchDocumentStatuses) {
  int status = -1;
  EditorSwitchDocument(1, status);
  EXPECT_EQ(status, 1);
  Child();
  ASSERT_EQ(Open(0), 0);
  EditorSwitchDocument(1, status);
  EXPECT_EQ(status, 2);
  Child();
  ASSERT_EQ(Open(kEditorMultiDocument), 0);
  EditorRecord* rec = CurrentEditor();
  plat::RichEditReplaceSel(rec->textControl, "first", true);
  ASSERT_EQ(Open(kEditorMultiDocument), 0);
  EXPECT_EQ(rec->documentCount, 2);
  for (int bad : {0, 3}) {
    EditorSwitchDocument(bad, status);
    EXPECT_EQ(status, 2);
  }
  EditorSwitchDocument(1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(rec->currentDocument, 1);
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "first");
  EXPECT_TRUE(plat::GetMenuEntry(rec->viewMenu, 0)->checked);
  EXPECT_FALSE(plat::GetMenuEntry(rec->viewMenu, 1)->checked);
}

TEST_F(EditorApiTest, SuspendedDisplayModifiedStateAndFont) {
  Child();
  ASSERT_EQ(Open(0), 0);
  EditorRecord* rec = CurrentEditor();
  const plat::Hwnd c = rec->textControl;
  plat::RichEditReplaceSel(c, "one two three", true);
  plat::RichEditSetSel(c, 4, 7);
  EditorSuspendDisplay(0);
  EXPECT_FALSE(plat::IsWindowVisible(c));
  EXPECT_TRUE(rec->displaySuspended);
  plat::RichEditSetSel(c, 0, 0);
  EditorSuspendDisplay(1);
  EXPECT_TRUE(plat::IsWindowVisible(c));
  EXPECT_FALSE(rec->displaySuspended);
  EXPECT_EQ(plat::RichEditGetSel(c), std::make_pair(4, 7));

  EditorSetModified(1, 1);
  EXPECT_FALSE(plat::RichEditGetModify(c));
  EXPECT_EQ(rec->changedFlag, 1);
  EditorSetModified(0, 0);
  EXPECT_TRUE(plat::RichEditGetModify(c));
  EditorClearUndo();
  EXPECT_FALSE(plat::RichEditCanUndo(c));

  // A new font: the text takes it and an unmodified text stays unmodified.
  EditorSetModified(1, 0);
  const int before = rec->lineHeight;
  int status = -1;
  EditorSetFont(4, 20, status);
  EXPECT_EQ(status, 0);
  EXPECT_GT(rec->lineHeight, before);
  EXPECT_FALSE(plat::RichEditGetModify(c));
  EXPECT_EQ(plat::RichEditGetCharFormat(c).first.face, "Courier New");
  int value = 0;
  EditorInfo(CurrentWindow(), 11, value);
  EXPECT_EQ(value, 4);
  EditorSetFont(-1, 10, status);
  EditorInfo(CurrentWindow(), 11, value);
  EXPECT_EQ(value, 4);
  EditorInfo(CurrentWindow(), 12, value);
  EXPECT_EQ(value, 10);
  // Fonts 7-10 have their own sizes.
  EXPECT_EQ(EditorFontFor(9, 30).points, 13);
  EXPECT_EQ(EditorFontFor(0, 0).points, 12);
  WindowMakeCurrent(0);
  EditorSetFont(1, 1, status);
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace tk::testing
