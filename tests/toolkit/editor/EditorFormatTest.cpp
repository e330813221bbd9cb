// Bold, italic and underline toggles, bullets, alignment and the bookmark.
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/editor/EditorFiles.h"
#include "toolkit/editor/EditorFormat.h"

namespace tk::testing {
namespace {

class EditorFormatTest : public EditorFixture {
 protected:
  const plat::RichText& Doc() { return *plat::RichEditText(rec.textControl); }
};

TEST_F(EditorFormatTest, StylesAreSetWhenMixedOrAbsentAndRemovedWhenThroughout) {
  rec.formatting = true;
  Put("alpha beta");
  plat::RichEditSetSel(rec.textControl, 0, 3);
  EditorToggleStyle(rec, plat::kCfmBold);
  EXPECT_TRUE(Doc().FormatAt(0).bold);
  EXPECT_FALSE(Doc().FormatAt(3).bold);
  // Mixed: set throughout.
  plat::RichEditSetSel(rec.textControl, 0, 5);
  EditorToggleStyle(rec, plat::kCfmBold);
  EXPECT_TRUE(Doc().FormatAt(4).bold);
  EditorToggleStyle(rec, plat::kCfmBold);
  EXPECT_FALSE(Doc().FormatAt(0).bold);
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{0, 5}));
  // An empty selection acts on its word only.
  plat::RichEditSetSel(rec.textControl, 8, 8);
  EditorToggleStyle(rec, plat::kCfmItalic);
  EXPECT_TRUE(Doc().FormatAt(6).italic);
  EXPECT_TRUE(Doc().FormatAt(9).italic);
  EXPECT_FALSE(Doc().FormatAt(5).italic);
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{8, 8}));
  // Not without formatting.
  rec.formatting = false;
  plat::RichEditSetSel(rec.textControl, 0, 5);
  EditorToggleStyle(rec, plat::kCfmUnderline);
  EXPECT_FALSE(Doc().FormatAt(0).underline);
}

TEST_F(EditorFormatTest, BulletsAndAlignmentApplyToTheSelectedParagraphs) {
  Put("one\r\ntwo\r\nthree");
  plat::RichEditSetSel(rec.textControl, 5, 5);
  EditorToggleBullet(rec);
  EXPECT_TRUE(Doc().Paragraph(1).bullet);
  // One of two with bullets: both get them; then both lose them.
  plat::RichEditSetSel(rec.textControl, 0, 5);
  EditorToggleBullet(rec);
  EXPECT_TRUE(Doc().Paragraph(0).bullet);
  EXPECT_TRUE(Doc().Paragraph(1).bullet);
  EditorToggleBullet(rec);
  EXPECT_FALSE(Doc().Paragraph(0).bullet);
  EXPECT_FALSE(Doc().Paragraph(1).bullet);
  plat::RichEditSetSel(rec.textControl, 9, 9);
  EditorSetAlignment(rec, plat::ParaAlign::Centre);
  EXPECT_EQ(Doc().Paragraph(2).align, plat::ParaAlign::Centre);
  EXPECT_EQ(Doc().Paragraph(1).align, plat::ParaAlign::Left);
}

TEST_F(EditorFormatTest, GotoBookmarkPutsTheCaretThere) {
  Put("abcdef");
  EditorGotoBookmark(rec);  // none set: nothing happens
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{0, 0}));
  plat::RichEditSetSel(rec.textControl, 2, 4);
  EditorSetBookmark(rec);
  plat::RichEditSetSel(rec.textControl, 0, 0);
  EditorGotoBookmark(rec);
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{4, 4}));
}

}  // namespace
}  // namespace tk::testing
