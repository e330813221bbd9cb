// External positions, their cache, the state queries and range formatting.
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/editor/EditorPositions.h"

namespace tk::testing {
namespace {

class EditorPositionsTest : public EditorFixture {};

TEST_F(EditorPositionsTest, ExternalPositionsCountALineEndTwice) {
  Put("ab\r\ncd");  // control: a=0 b=1 end=2 c=3 d=4
  struct Case {
    int external;
    int control;
  };
  const Case cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {99, 5}};
  for (const Case& c : cases) {
    rec.positionCache.Clear();
    EXPECT_EQ(EditorMapPositions(rec, c.external, c.external).first, c.control) << c.external;
  }
  // Both at once, and in either order.
  EXPECT_EQ(EditorMapPositions(rec, 4, 0), (std::pair{3, 0}));
  int value = 0;
  ASSERT_TRUE(EditorInfoItem(rec, 2, value));
  EXPECT_EQ(value, 6);
  plat::RichEditSetSel(rec.textControl, 4, 4);  // after "c"
  ASSERT_TRUE(EditorInfoItem(rec, 4, value));
  EXPECT_EQ(value, 6);
  EditorSelect(rec, 0, 6);
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{0, 5}));
  ASSERT_TRUE(EditorInfoItem(rec, 5, value));
  EXPECT_EQ(value, 6);
  int status = -1;
  std::string text;
  EditorGetText(rec, status, 3, text);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(text, "ab");
  EditorGetText(rec, status, 6, text);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(text, "ab\rcd");
  EditorGetTextPart(rec, 4, 2, text);
  EXPECT_EQ(text, "cd");
}

TEST_F(EditorPositionsTest, RawPositionsAreNotMapped) {
  Put("ab\r\ncd");
  rec.rawPositions = true;
  EXPECT_EQ(EditorMapPositions(rec, 4, 5), (std::pair{4, 5}));
  int value = 0;
  ASSERT_TRUE(EditorInfoItem(rec, 2, value));
  EXPECT_EQ(value, 5);
  ASSERT_TRUE(EditorInfoItem(rec, 104, value));
  EXPECT_EQ(value, 1);
  EXPECT_EQ(EditorLinePosition(rec, 2, 1), 3);
}

TEST_F(EditorPositionsTest, TheCacheRestartsAfterAChangeOfTextAndStaysAfterAFormatChange) {
  Put("one\r\ntwo\r\nthree\r\nfour");
  rec.formatting = true;
  EditorMapPositions(rec, 10, 10);  // "t" of "three"
  const EditorPositionCache after = rec.positionCache;
  EXPECT_FALSE(after.Empty());
  int status = -1;
  EditorFormatChars(rec, status, 11, 15, 1, -1, -1, -1, -1, -2, -2, "");
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(rec.positionCache.Empty());
  EXPECT_GE(rec.positionCache.external, after.external);
  EXPECT_EQ(plat::RichEditText(rec.textControl)->FormatAt(8).bold, true);
  EXPECT_EQ(plat::RichEditText(rec.textControl)->FormatAt(7).bold, false);
  // A replacement empties it; the next mapping walks from the start and
  // sees the new text.
  EditorReplaceRange(rec, 0, 5, "1\r\n2\r\n");
  EXPECT_TRUE(rec.positionCache.Empty());
  EXPECT_EQ(Text(), "1\r2\rtwo\rthree\rfour");
  EXPECT_EQ(EditorMapPositions(rec, 6, 6).first, 4);
  // The caret stands after the inserted text.
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{4, 4}));
  // Without formatting ranges are not formatted.
  rec.formatting = false;
  EditorFormatParagraphs(rec, status, 1, 2, 1, 1);
  EXPECT_EQ(status, -2);
}

TEST_F(EditorPositionsTest, InfoTextsAreCopiedUpToTheLengthGiven) {
  rec.findWhat = "needle";
  rec.replaceWith = "thread";
  rec.documentName = "/tmp/a.txt";
  struct Case {
    int item;
    std::size_t size;
    std::string expected;
  };
  const Case cases[] = {{1, 8, "needle  "}, {2, 3, "thr"}, {3, 10, "/tmp/a.txt"}, {4, 4, "keep"}};
  for (const Case& c : cases) {
    std::string text = std::string("keep").substr(0, c.size);
    text.resize(c.size, ' ');
    EditorInfoTextItem(rec, c.item, text);
    EXPECT_EQ(text, c.expected) << c.item;
  }
}

TEST_F(EditorPositionsTest, LinePositionsAndParagraphFormats) {
  Put("ab\r\ncd\r\nef");
  EXPECT_EQ(EditorLinePosition(rec, 1, 5), 1);
  EXPECT_EQ(EditorLinePosition(rec, 2, 2), 8);  // 6 control + 2 line ends
  rec.formatting = true;
  plat::RichEditSetSel(rec.textControl, 1, 1);
  int status = -1;
  EditorFormatParagraphs(rec, status, 5, 6, 1, 2);
  const plat::RichText* t = plat::RichEditText(rec.textControl);
  EXPECT_FALSE(t->Paragraph(0).bullet);
  EXPECT_TRUE(t->Paragraph(1).bullet);
  EXPECT_EQ(t->Paragraph(1).align, plat::ParaAlign::Right);
  EXPECT_EQ(plat::RichEditGetSel(rec.textControl), (std::pair{1, 1}));
}

}  // namespace
}  // namespace tk::testing
