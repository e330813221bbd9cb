// Find, Find Next, Replace and Replace All.
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/editor/EditorSearch.h"

namespace tk::testing {
namespace {

class EditorSearchTest : public EditorFixture {
 protected:
  int Boxes() {
    int n = 0;
    for (const plat::MessageBoxRecord& r : plat::MessageBoxLog())
      n += r.caption == "Find" && r.text == "End of text reached";
    return n;
  }
};

TEST_F(EditorSearchTest, FindStartsAtTheCaretAndFindNextGoesOnAfterTheMatch) {
  Put("cat dog cat");
  rec.findWhat = "cat";
  plat::RichEditSetSel(rec.textControl, 0, 0);
  ASSERT_EQ(EditorFindNext(rec), 1);
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{0, 3}));
  ASSERT_EQ(EditorFindNext(rec), 1);
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{8, 11}));
  EXPECT_EQ(EditorFindNext(rec), 0);
  EXPECT_EQ(Boxes(), 1);
  // Upwards from the last match.
  rec.findFlags = 0;
  ASSERT_EQ(EditorFindNext(rec), 1);
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{0, 3}));
  // Match case and whole words.
  rec.findFlags = kFindDown | kFindMatchCase | kFindWholeWord;
  Put("Cat category cat");
  plat::RichEditSetSel(rec.textControl, 0, 0);
  ASSERT_EQ(EditorFindNext(rec), 1);
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{13, 16}));
}

TEST_F(EditorSearchTest, ReplaceAllEndsWithOneBoxEvenWhenTheReplacementHoldsTheText) {
  struct Case {
    const char* text;
    const char* what;
    const char* with;
    const char* result;
  };
  const Case cases[] = {
      {"a b a b a", "a", "aa", "aa b aa b aa"},
      {"xx\r\nxx", "x", "yx", "yxyx\ryxyx"},
      {"none here", "q", "z", "none here"},
      {"Abc abc", "abc", "", " "},
  };
  for (const Case& c : cases) {
    plat::ClearMessageBoxLog();
    Put(c.text);
    rec.findFlags = kFindDown;
    rec.findWhat = c.what;
    rec.replaceWith = c.with;
    EditorReplaceAll(rec);
    EXPECT_EQ(Text(), c.result) << c.text;
    EXPECT_EQ(Boxes(), 1) << c.text;
  }
}

TEST_F(EditorSearchTest, ReplaceNextReplacesOnlyASelectionEqualToTheText) {
  Put("one two one");
  rec.findWhat = "one";
  rec.replaceWith = "1";
  plat::RichEditSetSel(rec.textControl, 4, 7);  // "two": not replaced
  ASSERT_EQ(EditorReplaceNext(rec), 1);
  EXPECT_EQ(Text(), "one two one");
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{8, 11}));
  EXPECT_EQ(EditorReplaceNext(rec), 0);
  EXPECT_EQ(Text(), "one two 1");
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{9, 9}));
  // One undo step takes the replacement back.
  ASSERT_TRUE(plat::RichEditUndo(rec.textControl));
  EXPECT_EQ(Text(), "one two one");
}

}  // namespace
}  // namespace tk::testing
