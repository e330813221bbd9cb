#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/controls/Controls.h"
#include "platform/dialog/FileDialog.h"
#include "platform/dialog/MessageBox.h"
#include "platform/testing/Harness.h"
#include "platform/window/VirtualKeys.h"
#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"

namespace plat::testing {
namespace {

namespace fs = std::filesystem;

TEST(FileFilterTest, ParsesPairsWithTheClosingSeparator) {
  struct Case {
    const char* text;
    std::vector<FileFilter> expected;
  };
  const Case cases[] = {
      {"SEG-Y Seismic Files|*.SGY|", {{"SEG-Y Seismic Files", {"*.SGY"}}}},
      {"Flat|*.DAT|Text Files|*.TXT;*.ASC|  ",
       {{"Flat", {"*.DAT"}}, {"Text Files", {"*.TXT", "*.ASC"}}}},
      {"Comma,*.CSV,All,*.*,", {{"Comma", {"*.CSV"}}, {"All", {"*.*"}}}},
      {"Lonely description|", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const auto got = ParseFileFilters(c.text);
    ASSERT_EQ(got.size(), c.expected.size()) << c.text;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].description, c.expected[i].description) << c.text;
      EXPECT_EQ(got[i].patterns, c.expected[i].patterns) << c.text;
    }
  }
}

TEST(FileFilterTest, MatchesWithoutRegardToCaseAndGivesTheExtension) {
  const FileFilter sgy{"SEG-Y", {"*.SGY", "*.SEGY"}};
  EXPECT_TRUE(MatchesFileFilter(sgy, "shot.sgy"));
  EXPECT_TRUE(MatchesFileFilter(sgy, "SHOT.Segy"));
  EXPECT_FALSE(MatchesFileFilter(sgy, "shot.sg2"));
  EXPECT_FALSE(MatchesFileFilter(sgy, "sgy"));
  EXPECT_TRUE(MatchesFileFilter({"All", {"*.*"}}, "README"));
  EXPECT_TRUE(MatchesFileFilter({"None", {}}, "anything"));
  EXPECT_EQ(FilterDefaultExtension(sgy), "SGY");
  EXPECT_EQ(FilterDefaultExtension({"All", {"*.*"}}), "");
  EXPECT_EQ(FilterDefaultExtension({"Mixed", {"R*.*", "*.DAT"}}), "DAT");
}

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::canonical(dir.path()).string();
    fs::create_directory(root + "/sub");
    testing_support::WriteFile(root + "/a.sgy", "a");
    testing_support::WriteFile(root + "/sub/b.SGY", "b");
    testing_support::WriteFile(root + "/sub/c.sgy", "c");
    ClearMessageBoxLog();
  }
  FileDialogParams Open() const {
    FileDialogParams p;
    p.filters = ParseFileFilters("SEG-Y|*.SGY|Text|*.TXT|");
    return p;
  }
  testing_support::TempDir dir;
  std::string root;
  testing_support::ScopedCurrentDir cd{dir.path()};
  Harness harness;
};

TEST_F(FileDialogTest, ScriptedOpenTakesNamesRelativeToTheFolderShown) {
  struct Case {
    const char* startFolder;
    std::string typed;
    std::string folder;
    std::string name;
  };
  const Case cases[] = {
      {"", "a.sgy", root, "a.sgy"},
      {"", "sub/c.sgy", root + "/sub", "c.sgy"},
      {"sub", "c.sgy", root + "/sub", "c.sgy"},
      {"sub", "../a.sgy", root, "a.sgy"},
      {"", root + "/sub/c.sgy", root + "/sub", "c.sgy"},
  };
  for (const Case& c : cases) {
    FileDialogParams p = Open();
    p.folder = c.startFolder;
    harness.Answer(kFileDialogAnswer, c.typed);
    const FileDialogResult r = FileDialog(p);
    EXPECT_EQ(r.outcome, DialogOutcome::Confirmed) << c.typed;
    EXPECT_EQ(r.folder, c.folder) << c.typed;
    EXPECT_EQ(r.names, std::vector<std::string>{c.name}) << c.typed;
  }
  EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(FileDialogTest, DefaultExtensionFollowsTheChosenFilterAndExistingSpelling) {
  FileDialogParams p = Open();
  p.appendExtension = true;
  p.folder = "sub";
  harness.Answer(kFileDialogAnswer, "b");  // on disk as b.SGY
  FileDialogResult r = FileDialog(p);
  EXPECT_EQ(r.names, std::vector<std::string>{"b.SGY"});
  harness.Answer(kFileDialogAnswer, "c");  // on disk as c.sgy: the file's own spelling
  r = FileDialog(p);
  EXPECT_EQ(r.names, std::vector<std::string>{"c.sgy"});
  p.filterIndex = 1;
  p.save = true;
  harness.Answer(kFileDialogAnswer, "notes");
  r = FileDialog(p);
  EXPECT_EQ(r.names, std::vector<std::string>{"notes.TXT"});
  EXPECT_EQ(r.filterIndex, 1);
  p.appendExtension = false;
  harness.Answer(kFileDialogAnswer, "plain");
  EXPECT_EQ(FileDialog(p).names, std::vector<std::string>{"plain"});
}

TEST_F(FileDialogTest, OpenChecksOfMissingFiles) {
  struct Case {
    bool confirm;
    bool mustExist;
    const char* boxAnswer;  // nullptr: no box expected
    DialogOutcome outcome;
  };
  const Case cases[] = {
      {false, false, nullptr, DialogOutcome::Confirmed},
      {true, false, "Yes", DialogOutcome::Confirmed},
      {true, false, "No", DialogOutcome::Cancelled},
      {true, true, "OK", DialogOutcome::Cancelled},
      {false, true, "OK", DialogOutcome::Cancelled},
  };
  for (const Case& c : cases) {
    ClearMessageBoxLog();
    FileDialogParams p = Open();
    p.confirm = c.confirm;
    p.fileMustExist = c.mustExist;
    harness.Answer(kFileDialogAnswer, "missing.sgy");
    if (c.boxAnswer != nullptr) harness.Answer("messagebox", c.boxAnswer);
    const FileDialogResult r = FileDialog(p);
    EXPECT_EQ(r.outcome, c.outcome) << c.confirm << c.mustExist;
    EXPECT_EQ(MessageBoxLog().size(), c.boxAnswer != nullptr ? 1u : 0u);
  }
}

TEST_F(FileDialogTest, SaveAsksBeforeReplacingAndARefusalKeepsTheDialogOpen) {
  FileDialogParams p = Open();
  p.save = true;
  p.confirm = true;
  harness.Answer(kFileDialogAnswer, "a.sgy").Answer("messagebox", "No");
  harness.Answer(kFileDialogAnswer, "new.sgy");
  FileDialogResult r = FileDialog(p);
  EXPECT_EQ(r.outcome, DialogOutcome::Confirmed);
  EXPECT_EQ(r.names, std::vector<std::string>{"new.sgy"});
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_EQ(MessageBoxLog()[0].buttons, MessageBoxButtons::YesNo);
  EXPECT_NE(MessageBoxLog()[0].text.find("already exists"), std::string::npos);

  harness.Answer(kFileDialogAnswer, "a.sgy").Answer("messagebox", "Yes");
  EXPECT_EQ(FileDialog(p).names, std::vector<std::string>{"a.sgy"});
  // Nobody to answer the question: the file is not replaced.
  harness.Answer(kFileDialogAnswer, "a.sgy");
  EXPECT_EQ(FileDialog(p).outcome, DialogOutcome::Cancelled);
  // A save into a folder that does not exist is refused unless allowed.
  ClearMessageBoxLog();
  harness.Answer(kFileDialogAnswer, "nowhere/x.sgy");
  EXPECT_EQ(FileDialog(p).outcome, DialogOutcome::Cancelled);
  EXPECT_EQ(MessageBoxLog().size(), 1u);
  p.pathNeedNotExist = true;
  harness.Answer(kFileDialogAnswer, "nowhere/x.sgy");
  EXPECT_EQ(FileDialog(p).folder, root + "/nowhere");
}

TEST_F(FileDialogTest, MultipleSelectionTakesQuotedNamesInOneFolder) {
  FileDialogParams p = Open();
  p.multiSelect = true;
  p.folder = "sub";
  harness.Answer(kFileDialogAnswer, "\"b.SGY\" \"c.sgy\"");
  FileDialogResult r = FileDialog(p);
  EXPECT_EQ(r.folder, root + "/sub");
  EXPECT_EQ(r.names, (std::vector<std::string>{"b.SGY", "c.sgy"}));
  harness.Answer(kFileDialogAnswer, "\"c.sgy\" \"../a.sgy\"").Answer("messagebox", "OK");
  EXPECT_EQ(FileDialog(p).outcome, DialogOutcome::Cancelled);
  // Without multiple selection quotes only wrap one name.
  p.multiSelect = false;
  harness.Answer(kFileDialogAnswer, "\"c.sgy\"");
  EXPECT_EQ(FileDialog(p).names, std::vector<std::string>{"c.sgy"});
}

TEST_F(FileDialogTest, CancelFailureAndNothingScripted) {
  harness.Answer(kFileDialogAnswer, "cancel");
  EXPECT_EQ(FileDialog(Open()).outcome, DialogOutcome::Cancelled);
  harness.Answer(kFileDialogAnswer, "Fail");
  EXPECT_EQ(FileDialog(Open()).outcome, DialogOutcome::Failed);
  EXPECT_EQ(FileDialog(Open()).outcome, DialogOutcome::Cancelled);
  // A folder name opens that folder; the next answer chooses in it.
  harness.Answer(kFileDialogAnswer, "sub").Answer(kFileDialogAnswer, "c.sgy");
  EXPECT_EQ(FileDialog(Open()).folder, root + "/sub");
  EXPECT_EQ(fs::current_path().string(), root);
}

TEST_F(FileDialogTest, FolderChooserChecksAsked) {
  testing_support::WriteFile(root + "/file", "x");
  struct Case {
    bool acceptMissing;
    bool offerCreate;
    const char* typed;
    std::vector<const char*> boxes;  // scripted box answers
    DialogOutcome outcome;
    std::string_view firstText;  // of the first box
    bool created;
  };
  const Case cases[] = {
      {false, false, "sub", {}, DialogOutcome::Confirmed, "", false},
      {false, false, "new", {"OK"}, DialogOutcome::Cancelled, kMissingFolder, false},
      {true, false, "new", {}, DialogOutcome::Confirmed, "", false},
      {false, true, "new", {"No"}, DialogOutcome::Cancelled, kCreateFolderQuestion, false},
      {false, true, "new", {"Yes"}, DialogOutcome::Confirmed, kCreateFolderQuestion, true},
      {false, false, "file", {"OK"}, DialogOutcome::Cancelled, kNotAFolder, false},
      {false,
       true,
       "file/x",
       {"Yes", "OK"},
       DialogOutcome::Cancelled,
       kCreateFolderQuestion,
       false},
  };
  for (const Case& c : cases) {
    ClearMessageBoxLog();
    std::error_code ec;
    fs::remove(root + "/new", ec);
    harness.Answer(kFolderDialogAnswer, c.typed);
    for (const char* b : c.boxes) harness.Answer("messagebox", b);
    FolderDialogParams p;
    p.acceptMissing = c.acceptMissing;
    p.offerCreate = c.offerCreate;
    const FolderDialogResult r = FolderDialog(p);
    EXPECT_EQ(r.outcome, c.outcome) << c.typed;
    if (c.outcome == DialogOutcome::Confirmed) {
      EXPECT_EQ(r.folder, root + "/" + c.typed);
    }
    ASSERT_EQ(MessageBoxLog().size(), c.boxes.size()) << c.typed;
    if (!c.boxes.empty()) {
      EXPECT_EQ(MessageBoxLog()[0].text, c.firstText);
    }
    EXPECT_EQ(fs::is_directory(root + "/new"), c.created) << c.typed;
  }
  ASSERT_FALSE(MessageBoxLog().empty());
  EXPECT_EQ(MessageBoxLog()[1].caption, "Error");
}

TEST_F(FileDialogTest, TheWindowAnswersKeysAndTheList) {
  FileDialogParams p = Open();
  p.folder = "sub";
  // Typed into the name field, confirmed with Enter (on its character, so
  // none of the keystroke but its release outlives the dialog).
  harness.Type("c.sgy").Key(kVkReturn, '\r');
  FileDialogResult r = FileDialog(p);
  EXPECT_EQ(r.outcome, DialogOutcome::Confirmed);
  EXPECT_EQ(r.names, std::vector<std::string>{"c.sgy"});
  // Escape cancels.
  harness.Key(kVkEscape, 0x1B);
  EXPECT_EQ(FileDialog(p).outcome, DialogOutcome::Cancelled);
}

// The open dialog as a user meets it: every file of its folder can be
// listed through the added "All files (*.*)" entry, Escape on the dropped
// "Files of type" list closes only the list, and the dialog opens centred
// on its owner window.
TEST_F(FileDialogTest, AllFilesEscapeOnTheTypeListAndThePlaceOverTheOwner) {
  testing_support::WriteFile(root + "/Rec_00001.seg2", "r");
  RegisterWindowClass({"DialogOwner", DefWindowProc, 0, Rgb(255, 255, 255)});
  const Hwnd owner = CreateWindow({.className = "DialogOwner",
                                   .title = "Owner",
                                   .style = kStyleVisible,
                                   .rect = {100, 80, 900, 680}});
  FileDialogParams p = Open();
  p.owner = owner;
  struct Seen {
    bool open = false;
    std::vector<std::string> types;
    std::vector<std::string> listed;  // under the last entry
    bool dropped = false;
    Rect place;
  };
  Seen first, afterEscape;
  const auto look = [&](Seen& seen) {
    for (const Hwnd top : GetTopLevelWindows()) {
      if (GetClassName(top) != kFileDialogClass || !IsWindowVisible(top)) continue;
      seen.open = true;
      seen.place = GetWindowRect(top);
      for (const Hwnd c : GetChildren(top)) {
        if (GetClassName(c) == kComboBoxClass) {
          seen.dropped = ComboBoxGetDroppedState(c);
          seen.types.clear();
          for (int i = 0; i < ComboBoxGetCount(c); ++i)
            seen.types.push_back(ComboBoxGetText(c, i).value_or(""));
        }
        if (GetClassName(c) == kListBoxClass) {
          seen.listed.clear();
          for (int i = 0; i < ListBoxGetCount(c); ++i)
            seen.listed.push_back(ListBoxGetText(c, i).value_or(""));
        }
      }
    }
  };
  // With the type list focused, F4 drops it, End picks its last entry,
  // Return takes it; F4 drops it again and Escape closes it.
  harness
      .Call([&] {
        for (const Hwnd top : GetTopLevelWindows())
          if (GetClassName(top) == kFileDialogClass)
            for (const Hwnd c : GetChildren(top))
              if (GetClassName(c) == kComboBoxClass) SetFocus(c);
      })
      .Key(kVkF1 + 3)
      .Key(kVkEnd)
      .Key(kVkReturn, '\r')
      .Call([&] { look(first); })
      .Key(kVkF1 + 3)
      .Key(kVkEscape, 0x1B)
      .Call([&] { look(afterEscape); })
      .Key(kVkEscape, 0x1B);
  const FileDialogResult r = FileDialog(p);
  EXPECT_EQ(r.outcome, DialogOutcome::Cancelled);
  ASSERT_TRUE(first.open);
  EXPECT_EQ(first.types, (std::vector<std::string>{"SEG-Y", "Text", "All files (*.*)"}));
  EXPECT_NE(std::find(first.listed.begin(), first.listed.end(), "Rec_00001.seg2"),
            first.listed.end());
  EXPECT_NE(std::find(first.listed.begin(), first.listed.end(), "a.sgy"), first.listed.end());
  EXPECT_TRUE(afterEscape.open) << "Escape on the dropped list closed the dialog";
  EXPECT_FALSE(afterEscape.dropped);
  // Centred on the owner (whose frame is 800 x 600 at 100, 80).
  const Rect o = GetWindowRect(owner);
  EXPECT_LE(std::abs((first.place.left + first.place.right) - (o.left + o.right)), 2);
  EXPECT_LE(std::abs((first.place.top + first.place.bottom) - (o.top + o.bottom)), 2);
  DestroyWindow(owner);
}

TEST_F(FileDialogTest, AnAllFilesEntryOfTheCallerIsNotRepeated) {
  FileDialogParams p;
  p.filters = ParseFileFilters("Text|*.TXT|Everything|*.*|");
  std::vector<std::string> types;
  harness.Call([&] {
    for (const Hwnd top : GetTopLevelWindows())
      if (GetClassName(top) == kFileDialogClass)
        for (const Hwnd c : GetChildren(top))
          if (GetClassName(c) == kComboBoxClass)
            for (int i = 0; i < ComboBoxGetCount(c); ++i) types.push_back(ComboBoxGetText(c, i).value_or(""));
  });
  harness.Key(kVkEscape, 0x1B);
  FileDialog(p);
  EXPECT_EQ(types, (std::vector<std::string>{"Text", "Everything"}));
}

}  // namespace
}  // namespace plat::testing
