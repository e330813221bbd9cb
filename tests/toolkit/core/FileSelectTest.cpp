#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/dialog/FileDialog.h"
#include "platform/dialog/MessageBox.h"
#include "platform/testing/Harness.h"
#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/ToolkitState.h"

namespace tk {
namespace {

namespace fs = std::filesystem;

std::string Padded(std::string text, std::size_t size) {
  text.resize(size, ' ');
  return text;
}

class FileSelectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::canonical(dir.path()).string();
    fs::create_directory(root + "/data");
    testing_support::WriteFile(root + "/data/shot.sgy", "x");
    testing_support::WriteFile(root + "/data/two.SGY", "x");
    ResetToolkitForTesting();
    plat::ClearMessageBoxLog();
  }
  std::string Cwd() const { return fs::current_path().string(); }

  testing_support::TempDir dir;
  std::string root;
  testing_support::ScopedCurrentDir cd{dir.path()};
  plat::testing::Harness harness;
};

constexpr std::string_view kSgy = "SEG-Y Seismic Files|*.SGY|";

// Open (42 and 34), save with the replace question (43, 35), multiple
// selection (58, 50) and cancel, each with and without keeping the folder.
TEST_F(FileSelectTest, AnswersAndTheCurrentDirectory) {
  struct Case {
    const char* what;
    int flags;
    std::vector<std::pair<std::string, std::string>> script;  // kind, answer
    int answer;
    std::string chosen;  // before padding; empty: unchanged
    bool folderKept;
  };
  const std::string data = root + "/data";
  const std::string f = std::string(plat::kFileDialogAnswer);
  const Case cases[] = {
      {"open", 42, {{f, "data/shot"}}, 1, data + "/shot.sgy", true},
      {"open, folder restored", 34, {{f, "data/shot.sgy"}}, 1, data + "/shot.sgy", false},
      {"open, create declined", 42, {{f, "data/new"}, {"messagebox", "No"}}, 0, "", false},
      {"save, replace", 43, {{f, "data/shot"}, {"messagebox", "Yes"}}, 1, data + "/shot.sgy", true},
      {"save, replace declined then new",
       35,
       {{f, "data/shot"}, {"messagebox", "No"}, {f, "data/out"}},
       1,
       data + "/out.SGY",
       false},
      {"multiple",
       58,
       {{f, "data"}, {f, "\"shot.sgy\" \"two\""}},
       1,
       data + std::string("\0shot.sgy\0two.SGY\0\0", 19),
       true},
      {"multiple, one file", 50, {{f, "data/two.SGY"}}, 1, data + "/two.SGY", false},
      {"cancel", 42, {{f, "Cancel"}}, 0, "", false},
      {"cancel after going into the folder", 58, {{f, "data"}, {f, "Cancel"}}, 0, "", false},
      {"nothing scripted", 43, {}, 0, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Cwd(), root);
    for (const auto& [kind, text] : c.script) harness.Answer(kind, text);
    DialogStatus().answer = 7;
    std::string name = Padded("proposal", 120);
    WSelectFile(kSgy, c.flags, name, "Title");
    EXPECT_EQ(DialogStatus().answer, c.answer);
    EXPECT_EQ(name, Padded(c.chosen.empty() ? "proposal" : c.chosen, 120));
    EXPECT_EQ(Cwd(), c.folderKept ? data : root);
    EXPECT_EQ(WErrorStatusQuery(1), 0);
    fs::current_path(root);
  }
}

TEST_F(FileSelectTest, ProposalFolderTitleAndFilterIndex) {
  std::string name = Padded("data/shot.sgy", 80);
  int index = 2;
  harness.Answer(std::string(plat::kFileDialogAnswer), "two");
  WSelectFile("Text|*.TXT|SEG-Y|*.SGY|", 32, name, "   ", &index);
  EXPECT_EQ(name, Padded(root + "/data/two.SGY", 80));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(Cwd(), root);

  // A filter with another separator; the question's caption is the title.
  name = Padded("", 80);
  harness.Answer(std::string(plat::kFileDialogAnswer), "data/none").Answer("messagebox", "Yes");
  WSelectFile("Files,*.DAT,", 42, name, "Pick one");
  EXPECT_EQ(name, Padded(root + "/data/none.DAT", 80));
  ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
  EXPECT_EQ(plat::MessageBoxLog()[0].caption, "Pick one");
}

TEST_F(FileSelectTest, FailuresReport1004AndLeaveTheNameAlone) {
  struct Case {
    const char* answer;
    std::size_t size;
  };
  for (const Case c : {Case{"Fail", 80}, Case{"data/shot.sgy", 10}}) {
    SCOPED_TRACE(c.answer);
    std::string name = Padded("keep", c.size);
    harness.Answer(std::string(plat::kFileDialogAnswer), c.answer);
    WSelectFile(kSgy, 42, name);
    EXPECT_EQ(name, Padded("keep", c.size));
    EXPECT_EQ(DialogStatus().answer, 0);
    EXPECT_EQ(WErrorStatusQuery(1), 1004);
    EXPECT_EQ(Cwd(), root);
  }
}

TEST_F(FileSelectTest, FolderSelection) {
  const std::string d = std::string(plat::kFolderDialogAnswer);
  struct Case {
    const char* what;
    int flags;
    std::vector<std::pair<std::string, std::string>> script;
    int answer;
    std::string chosen;
    std::string cwd;
  };
  const Case cases[] = {
      {"existing, made current", 8, {{d, "data"}}, 1, root + "/data", root + "/data"},
      {"existing", 0, {{d, "data"}}, 1, root + "/data", root},
      {"create declined, then created",
       72,
       {{d, "made"}, {"messagebox", "No"}, {d, "made"}, {"messagebox", "Yes"}},
       1,
       root + "/made",
       root + "/made"},
      {"missing accepted", 12, {{d, "ghost"}}, 1, root + "/ghost", root},
      {"cancel", 8, {{d, "Cancel"}}, 0, "", root},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& [kind, text] : c.script) harness.Answer(kind, text);
    std::string folder = Padded("", 100);
    WSelectDir(c.flags, folder);
    EXPECT_EQ(DialogStatus().answer, c.answer);
    EXPECT_EQ(folder, Padded(c.chosen, 100));
    EXPECT_EQ(Cwd(), c.cwd);
    fs::current_path(root);
  }
  EXPECT_TRUE(fs::is_directory(root + "/made"));
  EXPECT_FALSE(fs::exists(root + "/ghost"));
}

// The answer taken apart: a multiple choice by its NULs (names keep blanks,
// "?" and every other character), one choice at its last separator.
TEST(FileSelectionSplit, FolderAndNamesExactly) {
  struct Case {
    const char* what;
    std::string answer;
    std::string folder;
    std::vector<std::string> names;
  };
  const std::string padding(20, ' ');
  const Case cases[] = {
      {"several", std::string("/data/x\0a.trx\0b c.trx\0\0", 23) + padding, "/data/x",
       {"a.trx", "b c.trx"}},
      {"blanks and ?", std::string("/my dir\0 lead\0what?.trx\0\0", 25), "/my dir",
       {" lead", "what?.trx"}},
      {"one name in the list", std::string("/d\0only.trx\0\0", 13), "/d", {"only.trx"}},
      {"the root", std::string("/\0a\0\0", 5), "/", {"a"}},
      {"one full path", "/data/x/shot 1.trx" + padding, "/data/x", {"shot 1.trx"}},
      {"a backslash", "C:\\data\\shot.trx", "C:\\data", {"shot.trx"}},
      {"a file in the root", "/shot.trx", "/", {"shot.trx"}},
      {"a bare name", "shot.trx  ", "", {"shot.trx"}},
      {"a folder alone", "/data/", "/data", {}},
      {"blank", padding, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FileSelection got = SplitFileSelection(c.answer);
    EXPECT_EQ(got.folder, c.folder);
    EXPECT_EQ(got.names, c.names);
  }
  EXPECT_EQ(JoinFolderAndName("/data/x", "b c.trx"), "/data/x/b c.trx");
  EXPECT_EQ(JoinFolderAndName("/", "a"), "/a");
  EXPECT_EQ(JoinFolderAndName("C:\\d\\", "a"), "C:\\d\\a");
  EXPECT_EQ(JoinFolderAndName("", "a"), "a");
  EXPECT_EQ(JoinFolderAndName("/d", ""), "/d/");
}

}  // namespace
}  // namespace tk
