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

TEST_F(EditorFormatTest, TheFontDialogSetsTheChosenPartsOnTheSelectionOrItsWord) {
  rec.formatting = true;
  Put("alpha beta gamma");
  const plat::Hwnd c = rec.textControl;
  // Cancel changes nothing.
  plat::RichEditSetSel(c, 0, 5);
  harness.Answer("dialog 1543", "1136=Courier New\npress 2");
  EXPECT_FALSE(EditorChooseFont(rec));
  EXPECT_EQ(Doc().FormatAt(0).face, "Arial");
  // A face, style, size and colour on the selection only.
  harness.Answer("dialog 1543", "1136=Courier New\n1137=Bold\n1138=18\n1139=Red\npress 1");
  ASSERT_TRUE(EditorChooseFont(rec));
  const plat::CharFormat f = Doc().FormatAt(2);
  EXPECT_EQ(f.face, "Courier New");
  EXPECT_TRUE(f.bold);
  EXPECT_FALSE(f.italic);
  EXPECT_EQ(f.size, 360);
  EXPECT_EQ(f.colour, 0x0000FF);
  EXPECT_EQ(Doc().FormatAt(6).face, "Arial");
  EXPECT_EQ(plat::RichEditGetSel(c), (std::pair{0, 5}));
  // An empty selection: its word.
  plat::RichEditSetSel(c, 8, 8);
  harness.Answer("dialog 1543", "1041=1\npress 1");
  ASSERT_TRUE(EditorChooseFont(rec));
  EXPECT_TRUE(Doc().FormatAt(6).underline);
  EXPECT_TRUE(Doc().FormatAt(9).underline);
  EXPECT_FALSE(Doc().FormatAt(11).underline);
  EXPECT_EQ(plat::RichEditGetSel(c), (std::pair{8, 8}));
  // Bold, face and size mixed across the selection: untouched they stay
  // mixed; the size given reaches every character.
  plat::RichEditSetSel(c, 0, 16);
  harness.Answer("dialog 1543", "press 1");
  ASSERT_TRUE(EditorChooseFont(rec));
  EXPECT_TRUE(Doc().FormatAt(0).bold);
  EXPECT_FALSE(Doc().FormatAt(12).bold);
  EXPECT_EQ(Doc().FormatAt(0).face, "Courier New");
  EXPECT_EQ(Doc().FormatAt(12).face, "Arial");
  EXPECT_EQ(Doc().FormatAt(0).size, 360);
  EXPECT_EQ(Doc().FormatAt(12).size, 240);
  harness.Answer("dialog 1543", "1138=9\npress 1");
  ASSERT_TRUE(EditorChooseFont(rec));
  EXPECT_EQ(Doc().FormatAt(0).size, 180);
  EXPECT_EQ(Doc().FormatAt(12).size, 180);
  EXPECT_TRUE(Doc().FormatAt(0).bold);
  // Without formatting there is no dialog.
  rec.formatting = false;
  EXPECT_FALSE(EditorChooseFont(rec));
}

}  // namespace
}  // namespace tk::testing
