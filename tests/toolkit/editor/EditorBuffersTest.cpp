// Document buffers, the save prompt, the caption and the close sequence.
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/editor/EditorBuffers.h"

namespace tk::testing {
namespace {

class EditorBuffersTest : public EditorFixture {
 protected:
  void SetUp() override {
    EditorFixture::SetUp();
    EditorBuffersAllocate();
    rec.windowNumber = 3;
    rec.windowTitle = "Notes";
  }
  void TearDown() override { EditorBuffersRelease(); }

  /// Three documents "one" (shown), "two" and "three", each modified
  /// unless said otherwise, named a.txt, b.txt and c.txt.
  void ThreeDocuments(bool secondModified = true) {
    rec.multiDocument = true;
    rec.documentCount = 3;
    const char* texts[] = {"one", "two", "three"};
    const char* names[] = {"a.txt", "b.txt", "c.txt"};
    for (int n = 3; n >= 1; --n) {
      Put(texts[n - 1]);
      plat::RichEditSetModify(rec.textControl, n != 2 || secondModified);
      EditorBufferSetName(rec.windowNumber, n, names[n - 1]);
      if (n > 1) EditorBufferSave(rec, n);
    }
    rec.documentName = "a.txt";
  }
  std::vector<std::string> Questions() {
    std::vector<std::string> out;
    for (const plat::MessageBoxRecord& r : plat::MessageBoxLog()) out.push_back(r.text);
    return out;
  }
};

TEST_F(EditorBuffersTest, SwitchingToTheSameDocumentDoesNothing) {
  ThreeDocuments();
  rec.currentDocument = 2;
  const std::string before = EditorBuffer(3, 2)->savedText;
  EditorBufferSwitch(rec, 2, 2);
  EXPECT_EQ(Text(), "one");
  EXPECT_EQ(EditorBuffer(3, 2)->savedText, before);
  EXPECT_TRUE(EditorBuffer(3, 2)->textSet);
}

TEST_F(EditorBuffersTest, SelectingADocumentKeepsTheOtherWithItsSelectionAndState) {
  ThreeDocuments(false);
  plat::RichEditSetSel(rec.textControl, 1, 2);
  EditorSelectBuffer(rec, 2);
  EXPECT_EQ(rec.currentDocument, 2);
  EXPECT_EQ(Text(), "two");
  EXPECT_EQ(rec.documentName, "b.txt");
  EXPECT_FALSE(plat::RichEditGetModify(rec.textControl));
  EXPECT_EQ(plat::GetWindowText(host), "Notes - [b.txt]");
  EditorSelectBuffer(rec, 1);
  EXPECT_EQ(Text(), "one");
  EXPECT_TRUE(plat::RichEditGetModify(rec.textControl));
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{1, 2}));
  EXPECT_FALSE(EditorBuffer(3, 1)->textSet);
}

TEST_F(EditorBuffersTest, RemovingTheFirstOfThreeKeepsTheOthersInOrder) {
  ThreeDocuments();
  EditorBufferSetName(3, 20, "last");
  EditorBufferRemove(3, 1);
  std::string name(10, ' ');
  EditorBufferName(3, 1, name);
  EXPECT_EQ(name, "b.txt     ");
  EditorBufferName(3, 2, name);
  EXPECT_EQ(name, "c.txt     ");
  EXPECT_EQ(EditorBuffer(3, 19)->name, "last");
  EXPECT_FALSE(EditorBuffer(3, 20)->nameSet);
  EXPECT_EQ(EditorBuffer(3, 20)->savedSize, 0);
  rec.currentDocument = 2;
  EditorBufferLoad(rec, 1);
  EXPECT_EQ(Text(), "two");
}

TEST_F(EditorBuffersTest, AnEmptyBufferLoadsAsAnEmptyText) {
  Put("");
  EditorBufferSave(rec, 4);
  EXPECT_EQ(EditorBuffer(3, 4)->savedSize, 0);
  Put("something");
  EditorBufferLoad(rec, 4);
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(EditorBuffer(3, 4)->textSet);
  EXPECT_EQ(EditorBuffer(51, 1), nullptr);
  EXPECT_EQ(EditorBuffer(3, 21), nullptr);
}

TEST_F(EditorBuffersTest, PromptTextsNameTheDocumentUnlessTold) {
  struct Case {
    std::string name;
    bool withoutName;
    const char* question;
    const char* caption;
  };
  const Case cases[] = {
      {"a.txt", false, "Do you want to save changes to a.txt?", "Notes - [a.txt *]"},
      {"a.txt", true, "Do you want to save changes?", "Notes"},
      {"", false, "Do you want to save changes?", "Notes"},
  };
  rec.starModified = true;
  for (const Case& c : cases) {
    plat::ClearMessageBoxLog();
    Put("x");
    plat::RichEditSetModify(rec.textControl, true);
    rec.documentName = c.name;
    rec.promptWithoutName = c.withoutName;
    harness.Answer("messagebox", "No");
    EXPECT_EQ(EditorSavePrompt(rec), 1);
    EXPECT_EQ(Questions(), std::vector<std::string>{c.question});
    EXPECT_EQ(plat::MessageBoxLog().at(0).caption, "Notes");
    EditorCaptionUpdate(rec);
    EXPECT_EQ(plat::GetWindowText(host), c.caption);
  }
  // Unmodified, or without Save: no question.
  plat::ClearMessageBoxLog();
  plat::RichEditSetModify(rec.textControl, false);
  EXPECT_EQ(EditorSavePrompt(rec), 1);
  plat::RichEditSetModify(rec.textControl, true);
  rec.allowSave = false;
  EXPECT_EQ(EditorSavePrompt(rec), 1);
  EXPECT_TRUE(Questions().empty());
}

TEST_F(EditorBuffersTest, CloseAsksForEachModifiedDocumentAndCancelGoesBack) {
  ThreeDocuments();
  harness.Answer("messagebox", "No").Answer("messagebox", "Cancel");
  EXPECT_EQ(EditorCloseCheck(rec), 0);
  EXPECT_EQ(Questions(), (std::vector<std::string>{"Do you want to save changes to a.txt?",
                                                   "Do you want to save changes to b.txt?"}));
  EXPECT_EQ(rec.currentDocument, 1);
  EXPECT_EQ(Text(), "one");
  EXPECT_EQ(rec.documentName, "a.txt");
  // A document kept unmodified is not asked for.
  plat::ClearMessageBoxLog();
  EditorBuffersRelease();
  EditorBuffersAllocate();
  ThreeDocuments(false);
  harness.Answer("messagebox", "No").Answer("messagebox", "No");
  EXPECT_EQ(EditorCloseCheck(rec), 1);
  EXPECT_EQ(Questions(), (std::vector<std::string>{"Do you want to save changes to a.txt?",
                                                   "Do you want to save changes to c.txt?"}));
}

}  // namespace
}  // namespace tk::testing
