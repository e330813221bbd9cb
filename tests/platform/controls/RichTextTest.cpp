// The rich-text control's text: edits, formats, paragraphs, undo groups and
// the plain and RTF streams.
#include <gtest/gtest.h>

#include "platform/controls/RichText.h"

namespace plat {
namespace {

CharFormat Bold() {
  CharFormat f;
  f.bold = true;
  return f;
}

TEST(RichTextTest, LineEndsBecomeOneMarkAndPlainTextGivesThemBack) {
  RichText t;
  t.Replace(0, 0, "ab\r\ncd\nef\rg", CharFormat{});
  EXPECT_EQ(t.Text(), "ab\rcd\ref\rg");
  EXPECT_EQ(t.ParagraphCount(), 4);
  EXPECT_EQ(t.ParagraphOf(3), 1);
  EXPECT_EQ(t.ParagraphStart(2), 6);
  EXPECT_EQ(t.PlainText(0, t.Length()), "ab\r\ncd\r\nef\r\ng");
}

TEST(RichTextTest, FormatsFollowTheirCharactersThroughEdits) {
  RichText t;
  t.Replace(0, 0, "hello world", CharFormat{});
  t.SetCharFormat(6, 11, kCfmBold, Bold());
  EXPECT_FALSE(t.FormatAt(5).bold);
  EXPECT_TRUE(t.FormatAt(6).bold);
  t.Replace(0, 5, "hi", CharFormat{});  // "hi world"
  EXPECT_TRUE(t.FormatAt(3).bold);
  EXPECT_FALSE(t.FormatAt(2).bold);
  ASSERT_EQ(t.Runs().size(), 2u);
  EXPECT_EQ(t.Runs()[0].length, 3);
  EXPECT_EQ(t.Runs()[1].length, 5);
  // Making everything bold joins the runs.
  t.SetCharFormat(0, t.Length(), kCfmBold, Bold());
  EXPECT_EQ(t.Runs().size(), 1u);
}

TEST(RichTextTest, ParagraphFormatsSplitAndJoinWithTheirMarks) {
  RichText t;
  t.Replace(0, 0, "one\rtwo\rthree", CharFormat{});
  ParaFormat centred;
  centred.align = ParaAlign::Centre;
  t.SetParaFormat(4, 4, kPfmAlign, centred);
  EXPECT_EQ(t.Paragraph(1).align, ParaAlign::Centre);
  EXPECT_EQ(t.Paragraph(0).align, ParaAlign::Left);
  // A new mark in the centred paragraph makes two centred ones.
  t.Replace(5, 5, "\r", CharFormat{});
  EXPECT_EQ(t.ParagraphCount(), 4);
  EXPECT_EQ(t.Paragraph(1).align, ParaAlign::Centre);
  EXPECT_EQ(t.Paragraph(2).align, ParaAlign::Centre);
  EXPECT_EQ(t.Paragraph(3).align, ParaAlign::Left);
  // Deleting the first mark joins paragraph 0 into the next one's format.
  t.Replace(3, 4, "", CharFormat{});
  EXPECT_EQ(t.ParagraphCount(), 3);
  EXPECT_EQ(t.Paragraph(0).align, ParaAlign::Centre);
}

TEST(RichTextTest, TypingJoinsOneUndoGroupUntilItIsEnded) {
  RichText t;
  for (int i = 0; i < 3; ++i) {
    t.NoteTyping(i);
    t.Replace(i, i, std::string(1, static_cast<char>('a' + i)), CharFormat{});
  }
  t.EndUndoGroup();
  t.NoteTyping(3);
  t.Replace(3, 3, "d", CharFormat{});
  // Typing somewhere else starts another group.
  t.NoteTyping(0);
  t.Replace(0, 0, "X", CharFormat{});
  EXPECT_EQ(t.Text(), "Xabcd");
  int caret = -1;
  ASSERT_TRUE(t.Undo(caret));
  EXPECT_EQ(t.Text(), "abcd");
  EXPECT_EQ(caret, 0);
  ASSERT_TRUE(t.Undo(caret));
  EXPECT_EQ(t.Text(), "abc");
  ASSERT_TRUE(t.Undo(caret));
  EXPECT_EQ(t.Text(), "");
  EXPECT_FALSE(t.CanUndo());
  ASSERT_TRUE(t.Redo(caret));
  EXPECT_EQ(t.Text(), "abc");
  EXPECT_EQ(caret, 3);
  // A new edit drops what could be redone.
  t.Replace(0, 0, "Q", CharFormat{});
  EXPECT_FALSE(t.CanRedo());
}

TEST(RichTextTest, UndoPutsBackFormatsAndReplacedText) {
  RichText t;
  t.Replace(0, 0, "abc\rdef", CharFormat{});
  t.EndUndoGroup();
  t.SetCharFormat(1, 5, kCfmBold, Bold());
  t.EndUndoGroup();
  t.Replace(2, 6, "", CharFormat{});
  EXPECT_EQ(t.Text(), "abf");
  int caret = 0;
  t.Undo(caret);
  EXPECT_EQ(t.Text(), "abc\rdef");
  EXPECT_TRUE(t.FormatAt(4).bold);
  EXPECT_EQ(t.ParagraphCount(), 2);
  t.Undo(caret);
  EXPECT_FALSE(t.FormatAt(4).bold);
  t.Redo(caret);
  t.Redo(caret);
  EXPECT_EQ(t.Text(), "abf");
  EXPECT_TRUE(t.FormatAt(1).bold);
}

TEST(RichTextTest, AnyProtectedSeesOnlyTheRangeAsked) {
  RichText t;
  t.Replace(0, 0, "open shut open", CharFormat{});
  CharFormat p;
  p.isProtected = true;
  t.SetCharFormat(5, 9, kCfmProtected, p);
  EXPECT_FALSE(t.AnyProtected(0, 5));
  EXPECT_TRUE(t.AnyProtected(4, 6));
  EXPECT_TRUE(t.AnyProtected(8, 20));
  EXPECT_FALSE(t.AnyProtected(9, 14));
}

TEST(RichTextTest, RtfRoundTripsTextCharacterAndParagraphFormats) {
  RichText t;
  t.Replace(0, 0, "Title\rplain {braces} \\ tab\there\r\xe9t\xe9", CharFormat{});
  CharFormat f;
  f.bold = true;
  f.italic = true;
  f.size = 360;
  f.colour = 0x0000FF;
  f.face = "Times New Roman";
  t.SetCharFormat(0, 5, kCfmAll & ~kCfmProtected & ~kCfmBackColour, f);
  CharFormat u;
  u.underline = true;
  u.strikeOut = true;
  u.backColour = 0x00FFFF;
  u.isProtected = true;
  t.SetCharFormat(6, 11, kCfmUnderline | kCfmStrikeOut | kCfmBackColour | kCfmProtected, u);
  ParaFormat centred;
  centred.align = ParaAlign::Centre;
  t.SetParaFormat(0, 0, kPfmAlign, centred);
  ParaFormat bullet;
  bullet.bullet = true;
  bullet.align = ParaAlign::Right;
  t.SetParaFormat(t.Length(), t.Length(), kPfmAlign | kPfmBullet, bullet);

  const std::string rtf = WriteRtf(t, 0, t.Length());
  RichPiece back;
  ASSERT_TRUE(ReadRtf(rtf, CharFormat{}, back));
  RichText again;
  again.Reset(back);
  EXPECT_EQ(again.Text(), t.Text());
  EXPECT_EQ(again.Runs(), t.Runs());
  ASSERT_EQ(again.ParagraphCount(), t.ParagraphCount());
  for (int n = 0; n < t.ParagraphCount(); ++n) EXPECT_EQ(again.Paragraph(n), t.Paragraph(n)) << n;
}

TEST(RichTextTest, RtfReaderSkipsWhatItCannotHoldAndSurvivesBrokenInput) {
  struct Case {
    const char* rtf;
    const char* text;
  };
  const Case cases[] = {
      {"{\\rtf1\\ansi{\\info{\\title secret}}{\\*\\generator x;}Hi\\par there}", "Hi\rthere"},
      {"{\\rtf1 a\\'e9b\\u8364?c\\uc0\\u65\\~e}",
       "a\xe9"
       "b?cA\xa0"
       "e"},
      {"{\\rtf1\\unknownword123 x{\\*\\unknowndest y}z}", "xz"},
      {"{\\rtf1 unclosed {\\b group", "unclosed group"},
      {"{\\rtf1 extra}}}} after", ""},
      {"{\\rtf1 \\'4", ""},
      {"{\\rtf1\\fs-5\\f99999999999 q}", "q"},
  };
  for (const Case& c : cases) {
    RichPiece p;
    ASSERT_TRUE(ReadRtf(c.rtf, CharFormat{}, p)) << c.rtf;
    if (std::string_view(c.text).empty()) continue;
    EXPECT_EQ(p.text, c.text) << c.rtf;
  }
  // Deep nesting ends the read instead of exhausting memory.
  RichPiece deep;
  EXPECT_FALSE(ReadRtf("{\\rtf1 " + std::string(100000, '{'), CharFormat{}, deep));
  // Not RTF at all.
  RichPiece none;
  EXPECT_FALSE(ReadRtf("{\\rt", CharFormat{}, none));
  EXPECT_FALSE(ReadRtf("plain", CharFormat{}, none));
}

TEST(RichTextTest, RtfReaderAppliesFontAndColourTables) {
  RichPiece p;
  ASSERT_TRUE(
      ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\froman Times New Roman;}}"
              "{\\colortbl ;\\red255\\green0\\blue0;}\\f1\\fs40\\cf1 A\\plain B}",
              CharFormat{}, p));
  ASSERT_EQ(p.runs.size(), 2u);
  EXPECT_EQ(p.runs[0].format.face, "Times New Roman");
  EXPECT_EQ(p.runs[0].format.size, 400);
  EXPECT_EQ(p.runs[0].format.colour, 0xFF);
  EXPECT_EQ(p.runs[1].format, CharFormat{});
}

}  // namespace
}  // namespace plat
