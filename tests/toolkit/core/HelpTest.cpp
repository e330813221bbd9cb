#include <gtest/gtest.h>

#include "platform/system/Environment.h"
#include "tests/ScopedEnv.h"
#include "tests/TestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Help.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/ToolkitState.h"

namespace {

using testing_support::ScopedCurrentDir;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFile;

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tk::ResetErrorState();
    tk::SetDocumentOpener([this](const std::string& command) {
      commands_.push_back(command);
      return openerStatus_;
    });
  }
  void TearDown() override {
    tk::SetDocumentOpener(nullptr);
    tk::ResetErrorState();
  }
  std::string Here(const std::string& name) const {
    return (std::filesystem::current_path() / name).string();
  }

  TempDir dir_;
  ScopedCurrentDir in_{dir_.path()};
  std::vector<std::string> commands_;
  int openerStatus_ = 32;
};

TEST_F(HelpTest, OpensExistingHelpFilesQuoted) {
  WriteFile(dir_ / "my help.hlp", "");
  WriteFile(dir_ / "guide.PDF", "");
  WriteFile(dir_ / "book.chm", "");
  tk::WHelpFile("   my help.hlp   ", 5);
  tk::WHelpFile("guide.PDF");
  tk::WHelpFile("book.chm", -1, 1);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  EXPECT_EQ(commands_, (std::vector<std::string>{"xdg-open \"" + Here("my help.hlp") + "\"",
                                                 "xdg-open \"" + Here("guide.PDF") + "\"",
                                                 "xdg-open \"" + Here("book.chm") + "\""}));
}

TEST_F(HelpTest, WebPagesAndAddressesTakeTheTopicAsAnchor) {
  WriteFile(dir_ / "index.html", "");
  struct Case {
    const char* name;
    int topic;
    std::string command;
  };
  const Case cases[] = {
      {"index.html", 12, "xdg-open \"file://" + Here("index.html") + "#12\""},
      {"index.html", 0, "xdg-open \"file://" + Here("index.html") + "\""},
      {"file://index.html", -1, "xdg-open \"file://" + Here("index.html") + "\""},
      {"http://example.org/help", 3, "xdg-open \"http://example.org/help#3\""},
      {"HTTP://example.org/x.txt", -1, "xdg-open \"HTTP://example.org/x.txt\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    commands_.clear();
    tk::WHelpFile(c.name, c.topic);
    EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
    EXPECT_EQ(commands_, std::vector<std::string>{c.command});
  }
}

TEST_F(HelpTest, Failures) {
  struct Case {
    const char* name;
    int code;
  };
  const Case cases[] = {
      {"notes.txt", 1031},
      {"missing.hlp", tk::kErrOpen},
      {"/nowhere/missing.pdf", tk::kErrOpen},
      {"file://missing.htm", tk::kErrOpen},
      {"file://", 1031},
      {"     ", 0},  // closes the viewers: nothing to report
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tk::WHelpFile(c.name);
    EXPECT_EQ(tk::WErrorStatusQuery(1), c.code);
  }
  EXPECT_TRUE(commands_.empty());
  WriteFile(dir_ / "help.hlp", "");
  openerStatus_ = 2;  // the opener could not start
  tk::WHelpFile("help.hlp");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 1030);
  EXPECT_EQ(commands_.size(), 1u);
}

TEST_F(HelpTest, HelpFileBesideTheProgram) {
  // The test program's own folder is the build's tests folder.
  const std::string program = plat::ExecutablePath();
  const std::string folder = program.substr(0, program.find_last_of('/') + 1);
  const std::string name = "velloran-help-test-" + std::to_string(getpid()) + ".hlp";
  WriteFile(folder + name, "");
  tk::WHelpFile(name);
  std::filesystem::remove(folder + name);
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  EXPECT_EQ(commands_, std::vector<std::string>{"xdg-open \"" + folder + name + "\""});
}

TEST_F(HelpTest, InfoFilenames) {
  ScopedEnv temp("TEMP", dir_.path().string());
  ScopedEnv parven("PARVEN", "/opt/parv");
  tk::ResetToolkitForTesting();
  tk::StartToolkitCore({});
  std::string name(40, '?');
  struct Case {
    int item;
    std::string value;
  };
  const Case cases[] = {{3, "standard.chr"},
                        {5, "/opt/parv/charsets/"},
                        {7, "/opt/parv/"},
                        {8, "/usr/lib/"},
                        {1, ""},
                        {9, ""},
                        {4, ""},
                        {99, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    tk::WInfoFilename(c.item, name);
    std::string expected = c.value;
    expected.resize(40, ' ');
    EXPECT_EQ(name, expected);
  }
  std::string big(300, ' ');
  tk::WInfoFilename(10, big);
  EXPECT_EQ(big.substr(0, big.find_last_not_of(' ') + 1), dir_.path().string() + "/");
  tk::WInfoFilename(11, big);
  const std::string temporary = big.substr(0, big.find_last_not_of(' ') + 1);
  const std::string base = temporary.substr(temporary.find_last_of('/') + 1);
  EXPECT_EQ(base.size(), 16u);
  EXPECT_EQ(base.substr(0, 2), "xx");
  EXPECT_EQ(base.substr(12), ".tmp");
  EXPECT_FALSE(std::filesystem::exists(temporary));
  std::string small(5, '?');
  tk::WInfoFilename(10, small);
  EXPECT_EQ(small, "     ");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 1023);
  tk::ResetToolkitForTesting();
}

}  // namespace
