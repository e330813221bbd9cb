// The editor window's menus, accelerators and toolbar, its commands, the
// find dialogs, the read-outs and the View menu of several documents.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/controls/Controls.h"
#include "platform/controls/RichEdit.h"
#include "platform/dialog/Dialog.h"
#include "platform/dialog/MessageBox.h"
#include "platform/system/Clipboard.h"
#include "platform/window/VirtualKeys.h"
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk::testing {
namespace {

class EditorCommandsTest : public EditorWindowFixture {
 protected:

  EditorRecord* Open(std::uint32_t flags, int windowFlags = 7) {
    int n = 0;
    WindowOpenChild(n, windowFlags, 10, 10, 500, 300, 0, {}, 0, "Notes");
    int status = -1;
    EditorMode mode = EditorMode::Modeless;
    EditorOpen(status, mode, 0, flags, 0, 0, -1, {}, {});
    EXPECT_EQ(status, 0);
    window = n;
    return CurrentEditor();
  }
  void Command(int id) {
    plat::SendMessage(Frame(window), plat::Msg::Command, plat::MakeWParam(id, 0), 0);
  }

  /// The identifiers of MENU's entries, 0 for a separator.
  static std::vector<int> Ids(plat::HMenu menu) {
    std::vector<int> ids;
    for (int k = 0; k < plat::MenuEntryCount(menu); ++k) ids.push_back(plat::GetMenuEntry(menu, k)->id);
    return ids;
  }
  static std::vector<int> Buttons(plat::Hwnd toolbar) {
    std::vector<int> ids;
    for (int k = 0; k < plat::ToolbarButtonCount(toolbar); ++k)
      ids.push_back(plat::ToolbarGetButton(toolbar, k)->command);
    return ids;
  }
  static std::vector<int> Keys(plat::HAccel a) {
    std::vector<int> ids;
    for (const plat::Accelerator& e : plat::AcceleratorEntries(a)) ids.push_back(e.command);
    return ids;
  }

  int window = 0;
};

TEST_F(EditorCommandsTest, MenusAcceleratorsAndToolbarFollowTheFlags) {
  struct Case {
    const char* what;
    std::uint32_t flags;
    std::vector<int> bar, file, edit, search, keys, buttons;
  };
  const std::vector<int> fullEdit{kEdUndo, kEdRedo, 0, kEdCut, kEdCopy, kEdPaste, kEdDelete, 0,
                                  kEdSelectAll};
  const std::vector<int> fullSearch{kEdFind, kEdFindNext, kEdReplace, 0, kEdSetBookmark,
                                    kEdGotoBookmark};
  const std::vector<int> plainKeys{kEdNew,         kEdOpen,         kEdSave,   kEdSaveAs,
                                   kEdPrint,       kEdFind,         kEdFindNext, kEdSetBookmark,
                                   kEdGotoBookmark, kEdReplace};
  const std::vector<int> plainButtons{kEdNew, kEdOpen, kEdSave, 0,     kEdPrint, 0,      kEdFind,
                                      0,      kEdCut,  kEdCopy, kEdPaste, kEdUndo, kEdRedo};
  std::vector<int> formatKeys = plainKeys;
  for (int id : {kEdBold, kEdItalic, kEdUnderline, kEdAlignLeft, kEdCentre, kEdAlignRight})
    formatKeys.push_back(id);
  std::vector<int> formatButtons = plainButtons;
  for (int id : std::initializer_list<int>{0, kEdBold, kEdItalic, kEdUnderline, 0, kEdAlignLeft, kEdCentre, kEdAlignRight, 0,
                 kEdBullet})
    formatButtons.push_back(id);
  const Case cases[] = {
      {"plain", 0,
       {kEdFilePopup, kEdEditPopup, kEdSearchPopup},
       {kEdNew, kEdOpen, kEdSave, kEdSaveAs, 0, kEdPrint, kEdPrintSelection, 0, kEdExit},
       fullEdit, fullSearch, plainKeys, plainButtons},
      {"viewer", kEditorViewer | kEditorFormatting,
       {kEdFilePopup, kEdEditPopup, kEdSearchPopup},
       {kEdOpen, 0, kEdPrint, kEdPrintSelection, 0, kEdExit},
       {kEdCopy, 0, kEdSelectAll},
       {kEdFind, kEdFindNext, 0, kEdSetBookmark, kEdGotoBookmark},
       {kEdOpen, kEdPrint, kEdFind, kEdFindNext, kEdSetBookmark, kEdGotoBookmark},
       {kEdOpen, 0, kEdPrint, 0, kEdFind, 0, kEdCopy}},
      {"formatting", kEditorFormatting,
       {kEdFilePopup, kEdEditPopup, kEdSearchPopup, kEdFormatPopup},
       {kEdNew, kEdOpen, kEdSave, kEdSaveAs, 0, kEdPrint, kEdPrintSelection, 0, kEdExit},
       fullEdit, fullSearch, formatKeys, formatButtons},
      {"several documents", kEditorMultiDocument,
       {kEdFilePopup, kEdEditPopup, kEdSearchPopup, kEdViewPopup},
       {kEdNew, kEdOpen, kEdClose, 0, kEdSave, kEdSaveAs, 0, kEdPrint, kEdPrintSelection, 0,
        kEdExit},
       fullEdit, fullSearch, plainKeys, plainButtons},
      {"no save, new, open or print", kEditorNoSave | kEditorNoNewOpen | kEditorNoPrint,
       {kEdFilePopup, kEdEditPopup, kEdSearchPopup},
       {kEdExit},
       fullEdit, fullSearch,
       {kEdFind, kEdFindNext, kEdSetBookmark, kEdGotoBookmark, kEdReplace},
       {kEdFind, 0, kEdCut, kEdCopy, kEdPaste, kEdUndo, kEdRedo}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EditorRecord* rec = Open(c.flags);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(WindowMenuHandle(window), rec->menuBar);
    EXPECT_EQ(plat::GetMenu(Frame(window)), rec->menuBar);
    EXPECT_EQ(Ids(rec->menuBar), c.bar);
    EXPECT_EQ(Ids(rec->fileMenu), c.file);
    EXPECT_EQ(Ids(rec->editMenu), c.edit);
    EXPECT_EQ(Ids(rec->searchMenu), c.search);
    EXPECT_EQ(Keys(rec->accelerators), c.keys);
    ASSERT_NE(rec->toolbar, plat::kNoWindow);
    EXPECT_EQ(Buttons(rec->toolbar), c.buttons);
    EXPECT_TRUE(plat::GetMenuEntry(rec->searchMenu, plat::MenuEntryCount(rec->searchMenu) - 1)->greyed);
    // The toolbar lies under the menu bar, the client area under it.
    EXPECT_LE(plat::GetWindowRect(rec->toolbar).bottom, plat::GetWindowRect(Client(window)).top);
    WindowCloseChild(window);
  }
}

TEST_F(EditorCommandsTest, KeyTextsHelpTextsAndTooltips) {
  EditorRecord* rec = Open(kEditorFormatting);
  EXPECT_EQ(plat::GetMenuEntry(rec->fileMenu, 0)->text, "&New\tCtrl+N");
  EXPECT_EQ(plat::GetMenuEntry(rec->fileMenu, 3)->text, "Save &As\tF12");
  EXPECT_EQ(plat::GetMenuEntry(rec->searchMenu, 4)->text, "&Set Bookmark\tShift+F2");
  EXPECT_EQ(plat::GetMenuEntry(rec->editMenu, 3)->text, "Cu&t\tCtrl+X");
  EXPECT_EQ(EditorHelpText(*rec, kEdExit), "Closes the editor; prompts you to save changes");
  EXPECT_EQ(EditorHelpText(*rec, kEdSearchPopup), "Commands to locate and replace text");
  EXPECT_EQ(EditorTooltip(kEdPrintSelection), "Print selected text");
  EXPECT_EQ(EditorTooltip(kEdCentre), "Centre");
  plat::TooltipTextNotify note;
  note.hdr.id = kEdBullet;
  note.hdr.code = plat::kTtnGetDispInfo;
  plat::SendMessage(Frame(window), plat::Msg::Notify, kEdBullet, reinterpret_cast<plat::LParam>(&note));
  EXPECT_EQ(note.text, "Bullets");
  WindowCloseChild(window);

  rec = Open(kEditorViewer);
  EXPECT_EQ(EditorHelpText(*rec, kEdExit), "Closes the browser");
  EXPECT_EQ(EditorHelpText(*rec, kEdClose), "Closes the current document");
  WindowCloseChild(window);
}

TEST_F(EditorCommandsTest, AcceleratorsReachTheEditorThroughTheEventLoop) {
  EditorRecord* rec = Open(0);
  plat::RichEditReplaceSel(rec->textControl, "abc abc", true);
  plat::RichEditSetModify(rec->textControl, false);
  // Shift+F2 sets the bookmark, F2 goes there; Ctrl+N makes a new document
  // and tells the application.
  plat::RichEditSetSel(rec->textControl, 2, 2);
  harness.Modifiers(true, false).Key(plat::kVkF1 + 1).Modifiers(false, false);
  harness.Call([&] { EXPECT_EQ(rec->bookmark[1], 2); });
  harness.Modifiers(false, true).Key('N').Modifiers(false, false);
  const auto [type, event] = Wait();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(event.value1, kEdNew);
  EXPECT_EQ(plat::RichEditGetTextLength(rec->textControl), 0);
  EXPECT_EQ(rec->bookmark[1], -1);
  WindowCloseChild(window);
}

TEST_F(EditorCommandsTest, PrintSelectionWithoutPrintingDoesNothing) {
  Open(kEditorNoPrint);
  Command(kEdPrintSelection);
  // A caller's own identifier is still told to the application.
  plat::PostMessage(Frame(window), plat::Msg::Command, plat::MakeWParam(40001, 0), 0);
  const auto [type, event] = Wait();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(event.value1, 40001);
  WindowCloseChild(window);
}

TEST_F(EditorCommandsTest, TheViewMenuNamesTheDocumentsAndTheTenthIsA) {
  EditorRecord* rec = Open(kEditorMultiDocument);
  ASSERT_NE(rec->viewMenu, plat::kNoMenu);
  EXPECT_EQ(plat::GetMenuEntry(rec->viewMenu, 0)->text, "&1\tUntitled");
  for (int d = 2; d <= 10; ++d) Command(kEdNew);
  EXPECT_EQ(rec->documentCount, 10);
  EXPECT_EQ(plat::MenuEntryCount(rec->viewMenu), 10);
  EXPECT_EQ(plat::GetMenuEntry(rec->viewMenu, 9)->text, "&A\tUntitled");
  EXPECT_EQ(EditorViewItemText(10, "/tmp/x.txt"), "&A\t/tmp/x.txt");
  EXPECT_EQ(EditorViewItemText(20, "n"), "&K\tn");
  // Only the current document's item is checked.
  int checked = 0;
  for (int k = 0; k < 10; ++k) checked += plat::GetMenuEntry(rec->viewMenu, k)->checked ? 1 : 0;
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(plat::GetMenuEntry(rec->viewMenu, 9)->checked);
  WindowCloseChild(window);
}

TEST_F(EditorCommandsTest, CloseMovesTheLaterDocumentsDown) {
  const std::string base =
      (std::filesystem::path(::testing::TempDir()) / "editor-close-doc").lexically_normal().string();
  for (int d = 1; d <= 3; ++d) std::ofstream(base + std::to_string(d) + ".txt") << "text" << d;
  EditorRecord* rec = Open(kEditorMultiDocument);
  for (int d = 1; d <= 3; ++d) {
    int status = -1;
    EditorMode mode = EditorMode::Modeless;
    EditorOpen(status, mode, 0, kEditorMultiDocument, 0, 0, 2 + d, base + std::to_string(d) + ".txt",
               {});
  }
  ASSERT_EQ(rec->documentCount, 3);
  rec->bookmark[3] = 2;
  EditorSelectBuffer(*rec, 1);
  Command(kEdClose);
  EXPECT_EQ(rec->documentCount, 2);
  EXPECT_EQ(rec->currentDocument, 1);
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "text2");
  EXPECT_EQ(rec->fileType[1], 4);
  EXPECT_EQ(rec->fileType[2], 5);
  EXPECT_EQ(rec->bookmark[2], 2);
  ASSERT_EQ(plat::MenuEntryCount(rec->viewMenu), 2);
  EXPECT_EQ(plat::GetMenuEntry(rec->viewMenu, 1)->text, "&2\t" + base + "3.txt");
  EXPECT_EQ(plat::GetMenuEntry(rec->viewMenu, 1)->id, kEdViewFirst + 1);
  // The View item switches and tells the application.
  plat::PostMessage(Frame(window), plat::Msg::Command, plat::MakeWParam(kEdViewFirst + 1, 0), 0);
  EXPECT_EQ(Wait().second.value1, kEdViewFirst + 1);
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "text3");
  WindowCloseChild(window);
  for (int d = 1; d <= 3; ++d) std::remove((base + std::to_string(d) + ".txt").c_str());
}

TEST_F(EditorCommandsTest, FindAndReplaceDialogsDriveTheSearch) {
  EditorRecord* rec = Open(0);
  plat::RichEditReplaceSel(rec->textControl, "cat dog cat", true);
  plat::RichEditSetSel(rec->textControl, 0, 0);
  Command(kEdFind);
  ASSERT_NE(rec->findDialog, plat::kNoWindow);
  EXPECT_EQ(plat::DialogTemplateId(rec->findDialog), plat::kFindDialogId);
  plat::SetWindowText(plat::DialogItem(rec->findDialog, plat::kFindItemWhat), "cat");
  plat::PressDialogButton(rec->findDialog, plat::kFindItemFindNext);
  EXPECT_EQ(plat::RichEditGetSel(rec->textControl), std::make_pair(0, 3));
  plat::PressDialogButton(rec->findDialog, plat::kFindItemFindNext);
  EXPECT_EQ(plat::RichEditGetSel(rec->textControl), std::make_pair(8, 11));
  EXPECT_EQ(rec->findWhat, "cat");
  // Cancel closes it and the record forgets it.
  plat::PressDialogButton(rec->findDialog, plat::kFindItemCancel);
  EXPECT_EQ(rec->findDialog, plat::kNoWindow);

  // Replace All with a replacement holding the text searched for.
  Command(kEdReplace);
  ASSERT_NE(rec->findDialog, plat::kNoWindow);
  EXPECT_EQ(plat::GetWindowText(plat::DialogItem(rec->findDialog, plat::kFindItemWhat)), "cat");
  plat::SetWindowText(plat::DialogItem(rec->findDialog, plat::kFindItemReplaceWith), "cats");
  plat::ClearMessageBoxLog();
  plat::PressDialogButton(rec->findDialog, plat::kFindItemReplaceAll);
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "cats dog cats");
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  EXPECT_EQ(plat::MessageBoxLog()[0].text, "End of text reached");
  // Find Next repeats the last search without the dialog.
  EditorCloseFindDialog(*rec);
  plat::RichEditSetSel(rec->textControl, 0, 0);
  Command(kEdFindNext);
  EXPECT_EQ(plat::RichEditGetSel(rec->textControl), std::make_pair(0, 3));
  WindowCloseChild(window);
}

TEST_F(EditorCommandsTest, ReadOutsStatesAndChangesFollowTheText) {
  EditorRecord* rec = Open(kEditorFormatting, 7 | kWsStatusBar);
  const plat::Hwnd c = rec->textControl;
  plat::RichEditReplaceSel(c, "one\rtwo", true);
  EXPECT_EQ(rec->changedFlag, 1);
  EXPECT_TRUE(plat::ToolbarIsButtonEnabled(rec->toolbar, kEdUndo));
  plat::RichEditSetSel(c, 5, 6);
  EXPECT_EQ(plat::StatusBarGetText(rec->statusBar, 0), "Line:2   Col:3");
  EXPECT_TRUE(plat::ToolbarIsButtonEnabled(rec->toolbar, kEdCut));
  EXPECT_TRUE(plat::ToolbarIsButtonEnabled(rec->toolbar, kEdCopy));
  plat::RichEditSetSel(c, 5, 5);
  EXPECT_FALSE(plat::ToolbarIsButtonEnabled(rec->toolbar, kEdCut));
  // Bold on a word checks the bold button; the position cache survives.
  rec->positionCache = {2, 3};
  Command(kEdBold);
  EXPECT_TRUE(plat::ToolbarIsButtonChecked(rec->toolbar, kEdBold));
  EXPECT_EQ(rec->positionCache.control, 2);
  Command(kEdCentre);
  EXPECT_TRUE(plat::ToolbarIsButtonChecked(rec->toolbar, kEdCentre));
  EXPECT_FALSE(plat::ToolbarIsButtonChecked(rec->toolbar, kEdAlignLeft));
  // Menu states when a menu opens.
  plat::SendMessage(Frame(window), plat::Msg::EnterMenuLoop, 0, 0);
  const auto greyed = [](plat::HMenu m, int id) {
    const plat::MenuPlace p = plat::FindMenuEntry(m, id);
    return plat::GetMenuEntry(p.menu, p.pos)->greyed;
  };
  EXPECT_TRUE(greyed(rec->editMenu, kEdCopy));
  EXPECT_FALSE(greyed(rec->editMenu, kEdUndo));
  EXPECT_TRUE(greyed(rec->searchMenu, kEdFindNext));
  EXPECT_TRUE(greyed(rec->fileMenu, kEdPrintSelection));
  plat::SendMessage(Frame(window), plat::Msg::ExitMenuLoop, 0, 0);
  // Insert toggles the insert mode read-out.
  harness.Key(plat::kVkInsert);
  harness.DispatchPending();
  EXPECT_EQ(rec->insertMode, 0);
  EXPECT_EQ(plat::StatusBarGetText(rec->statusBar, 3), "\tOVR");
  WindowCloseChild(window);
}

TEST_F(EditorCommandsTest, TextTypedBeforeTheBookmarkMovesIt) {
  EditorRecord* rec = Open(0);
  const plat::Hwnd c = rec->textControl;
  plat::RichEditReplaceSel(c, "abcdef", true);
  plat::RichEditSetSel(c, 4, 4);
  Command(kEdSetBookmark);
  EXPECT_EQ(rec->bookmark[1], 4);
  plat::RichEditSetSel(c, 1, 1);
  plat::RichEditReplaceSel(c, "xyz", true);
  EXPECT_EQ(rec->bookmark[1], 7);
  plat::RichEditSetSel(c, 9, 9);
  plat::RichEditReplaceSel(c, "q", true);
  EXPECT_EQ(rec->bookmark[1], 7);
  plat::RichEditSetSel(c, 0, 0);
  Command(kEdGotoBookmark);
  EXPECT_EQ(plat::RichEditGetSel(c), std::make_pair(7, 7));
  WindowCloseChild(window);
}

TEST_F(EditorCommandsTest, CutCopyAndPasteGoThroughTheClipboard) {
  struct Case {
    const char* what;
    std::uint32_t flags;
    bool boldPasted;
  };
  const Case cases[] = {{"formatting", kEditorFormatting, true}, {"plain", 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EditorRecord* rec = Open(c.flags);
    const plat::Hwnd t = rec->textControl;
    plat::RichEditReplaceSel(t, "one\rtwo", true);
    plat::RichEditSetSel(t, 0, 3);
    plat::CharFormat bold;
    bold.bold = true;
    plat::RichEditSetCharFormat(t, false, plat::kCfmBold, bold);
    plat::RichEditSetSel(t, 2, 5);
    Command(kEdCopy);
    EXPECT_EQ(plat::ClipboardText(), std::optional<std::string>("e\r\nt"));
    Command(kEdCut);
    EXPECT_EQ(plat::RichEditGetTextRange(t, 0, -1), "onwo");
    // Ctrl+V pastes through the editor: rich text only with formatting.
    plat::RichEditSetSel(t, 4, 4);
    harness.Modifiers(false, true).Key('V').Modifiers(false, false);
    harness.DispatchPending();
    EXPECT_EQ(plat::RichEditGetTextRange(t, 0, -1), "onwoe\rt");
    plat::RichEditSetSel(t, 4, 5);
    EXPECT_EQ(plat::RichEditGetCharFormat(t).first.bold, c.boldPasted);
    // The paste is one undoable step.
    Command(kEdUndo);
    EXPECT_EQ(plat::RichEditGetTextRange(t, 0, -1), "onwo");
    WindowCloseChild(window);
  }
  // A viewer copies but neither cuts nor pastes.
  EditorRecord* rec = Open(kEditorViewer);
  plat::RichEditStreamIn(rec->textControl, plat::RichStream::Plain, "read only", false);
  plat::RichEditSetSel(rec->textControl, 0, 4);
  plat::ClipboardSetText("x");
  Command(kEdCut);
  Command(kEdPaste);
  EXPECT_EQ(plat::RichEditGetTextRange(rec->textControl, 0, -1), "read only");
  Command(kEdCopy);
  EXPECT_EQ(plat::ClipboardText(), std::optional<std::string>("read"));
  WindowCloseChild(window);
}

}  // namespace
}  // namespace tk::testing
