// The rich-text control: typing, undo, notifications, protected text,
// hidden selection, scrolling, zoom, streams and page formatting.
#include "platform/controls/RichEdit.h"
#include "platform/system/Clipboard.h"
#include "tests/platform/controls/ControlFixture.h"

namespace plat::testing {
namespace {

class RichEditTest : public ControlTest {
 protected:
  Hwnd Rich(unsigned style = kWsBorder | kEsMultiline, std::string_view text = "",
            Rect r = {10, 10, 310, 130}) {
    const Hwnd e = Make(kRichEditClass, text, style, r, 9);
    SetFocus(e);
    Take();
    return e;
  }
  int Count(int code) {
    int n = 0;
    for (const Note& note : Take())
      n += (note.msg == Msg::Command || note.msg == Msg::Notify) && note.id == 9 &&
           note.code == code;
    return n;
  }
};

TEST_F(RichEditTest, TypingEditsAndOneUndoTakesBackTheTypedWord) {
  const Hwnd e = Rich();
  RichEditSetEventMask(e, kEnmChange);
  harness.Type("one");
  harness.Key(kVkReturn, '\r');
  harness.Type("two");
  harness.DispatchPending();
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "one\rtwo");
  EXPECT_EQ(GetWindowText(e), "one\r\ntwo");
  EXPECT_EQ(RichEditGetTextLength(e), 7);
  EXPECT_EQ(Count(kEnChange), 7);
  EXPECT_TRUE(RichEditGetModify(e));
  ASSERT_TRUE(RichEditUndo(e));
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "one\r");
  ASSERT_TRUE(RichEditRedo(e));
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "one\rtwo");
  // Ctrl+Z is the control's own key.
  harness.KeyDown(kVkControl).Key('Z').KeyUp(kVkControl);
  harness.DispatchPending();
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "one\r");
  RichEditEmptyUndo(e);
  EXPECT_FALSE(RichEditCanUndo(e));
}

TEST_F(RichEditTest, ReplaceSelectionKeepsTheFormatBeforeItAndEndsAnUndoGroup) {
  const Hwnd e = Rich();
  RichEditStreamIn(e, RichStream::Rtf, "{\\rtf1 plain {\\b bold}}", false);
  RichEditSetSel(e, 10, 10);
  RichEditReplaceSel(e, "er", true);
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "plain bolder");
  RichEditSetSel(e, 6, 12);
  const auto [format, mask] = RichEditGetCharFormat(e);
  EXPECT_TRUE(format.bold);
  EXPECT_NE(mask & kCfmBold, 0u);
  RichEditSetSel(e, 0, 12);
  EXPECT_EQ(RichEditGetCharFormat(e).second & kCfmBold, 0u);
  EXPECT_EQ(RichEditGetSel(e), (std::pair{0, 12}));
  RichEditUndo(e);
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "plain bold");
  // A replacement that may not be undone empties the history.
  RichEditReplaceSel(e, "x", false);
  EXPECT_FALSE(RichEditCanUndo(e));
}

TEST_F(RichEditTest, FiltersAndSelectionNotificationsFollowTheEventMask) {
  const Hwnd e = Rich();
  harness.Type("ab");
  harness.DispatchPending();
  EXPECT_EQ(Count(kEnSelChange), 0);
  RichEditSetEventMask(e, kEnmSelChange | kEnmKeyEvents | kEnmMouseEvents);
  int dropped = 0;
  onNotify = [&](NotifyHeader* hdr) -> LResult {
    if (hdr->code != kEnMsgFilter) return 0;
    auto* n = reinterpret_cast<MsgFilterNotify*>(hdr);
    if (n->msg == Msg::Char && n->wParam == 'x') return ++dropped;
    return 0;
  };
  harness.Type("xy");
  harness.Key(kVkHome);
  harness.DispatchPending();
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "aby");
  EXPECT_EQ(dropped, 1);
  const std::vector<Note> notes = Take();
  int sel = 0, filters = 0;
  for (const Note& n : notes) {
    sel += n.code == kEnSelChange;
    filters += n.code == kEnMsgFilter;
  }
  EXPECT_EQ(sel, 2);  // after "y" and after Home
  EXPECT_GE(filters, 4);
  harness.Click(e, {20, 10});
  harness.DispatchPending();
  EXPECT_GE(Count(kEnMsgFilter), 2);
}

TEST_F(RichEditTest, ProtectedTextChangesOnlyWhenTheParentAllows) {
  const Hwnd e = Rich();
  RichEditStreamIn(e, RichStream::Rtf, "{\\rtf1 ab{\\protect CD}ef}", false);
  RichEditSetEventMask(e, kEnmProtected);
  LResult answer = 1;
  onNotify = [&](NotifyHeader* hdr) -> LResult { return hdr->code == kEnProtected ? answer : 0; };
  RichEditSetSel(e, 3, 3);
  harness.Type("z");
  harness.DispatchPending();
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "abCDef");
  EXPECT_EQ(Count(kEnProtected), 1);
  // Typing next to protected text is allowed without asking.
  RichEditSetSel(e, 2, 2);
  harness.Type("z");
  harness.DispatchPending();
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "abzCDef");
  EXPECT_EQ(Count(kEnProtected), 0);
  answer = 0;
  RichEditSetSel(e, 3, 5);
  harness.Key(kVkDelete);
  harness.DispatchPending();
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "abzef");
  // Without the protected notification the change is refused.
  RichEditStreamIn(e, RichStream::Rtf, "{\\rtf1 {\\protect P}}", false);
  RichEditSetEventMask(e, 0);
  RichEditSetSel(e, 0, 1);
  harness.Key(kVkDelete);
  harness.DispatchPending();
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "P");
}

TEST_F(RichEditTest, ClipboardKeysCutCopyAndPasteWithinProtectionAndReadOnly) {
  const Hwnd e = Rich();
  RichEditStreamIn(e, RichStream::Rtf, "{\\rtf1 ab{\\b cd}{\\protect PQ}}", false);
  RichEditSetEventMask(e, kEnmProtected);
  onNotify = [&](NotifyHeader* hdr) -> LResult { return hdr->code == kEnProtected ? 1 : 0; };
  // Ctrl+C copies text and rich text; Ctrl+V pastes the rich text back.
  RichEditSetSel(e, 1, 4);
  harness.KeyDown(kVkControl).Key('C').KeyUp(kVkControl);
  harness.DispatchPending();
  EXPECT_EQ(ClipboardText(), std::optional<std::string>("bcd"));
  EXPECT_TRUE(RichEditCanPaste(false));
  RichEditSetSel(e, 0, 0);
  harness.KeyDown(kVkShift).Key(kVkInsert).KeyUp(kVkShift);
  harness.DispatchPending();
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "bcdabcdPQ");
  RichEditSetSel(e, 1, 2);
  EXPECT_TRUE(RichEditGetCharFormat(e).first.bold);
  // Shift+Delete cuts; protected text stays when the parent refuses.
  RichEditSetSel(e, 0, 3);
  harness.KeyDown(kVkShift).Key(kVkDelete).KeyUp(kVkShift);
  harness.DispatchPending();
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "abcdPQ");
  RichEditSetSel(e, 3, 6);
  EXPECT_FALSE(RichEditCut(e));
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "abcdPQ");
  EXPECT_EQ(ClipboardText(), std::optional<std::string>("bcd"));
  // Text only: the rich text is not used; a read-only control takes nothing.
  ClipboardSetText("x\r\ny");
  RichEditSetSel(e, 0, 0);
  EXPECT_TRUE(RichEditPaste(e, true));
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "x\ryabcdPQ");
  RichEditSetReadOnly(e, true);
  EXPECT_FALSE(RichEditPaste(e, false));
  EXPECT_FALSE(RichEditCut(e));
  ClipboardEmpty();
  EXPECT_FALSE(RichEditCanPaste(false));
}

TEST_F(RichEditTest, HiddenSelectionDoesNotShowAndComesBack) {
  const Hwnd e = Rich(kWsBorder | kEsMultiline, "selected text");
  const Rect area{3, 3, 297, 117};
  RichEditSetSel(e, 0, 8);
  EXPECT_GT(ControlTest::Count(e, area, kColourSelection), 0);
  RichEditHideSelection(e, true);
  EXPECT_EQ(ControlTest::Count(e, area, kColourSelection), 0);
  EXPECT_EQ(RichEditGetSel(e), (std::pair{0, 8}));
  RichEditHideSelection(e, false);
  EXPECT_GT(ControlTest::Count(e, area, kColourSelection), 0);
}

TEST_F(RichEditTest, ScrollingByLineAndPageAndTheFirstVisibleLine) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\r\n";
  const Hwnd e = Rich(kWsBorder | kEsMultiline, text);
  RichEditSetEventMask(e, kEnmScroll);
  EXPECT_EQ(RichEditGetLineCount(e), 41);
  EXPECT_EQ(RichEditGetFirstVisibleLine(e), 0);
  EXPECT_EQ(RichEditScroll(e, kSbLineDown), 1);
  const int page = RichEditScroll(e, kSbPageDown);
  EXPECT_GT(page, 3);
  EXPECT_EQ(RichEditGetFirstVisibleLine(e), 1 + page);
  EXPECT_EQ(Count(kEnVScroll), 2);
  RichEditLineScroll(e, -100, 0);
  EXPECT_EQ(RichEditGetFirstVisibleLine(e), 0);
  // The caret is scrolled into view.
  RichEditSetSel(e, RichEditLineIndex(e, 30), RichEditLineIndex(e, 30));
  EXPECT_LE(RichEditGetFirstVisibleLine(e), 30);
  EXPECT_GT(RichEditGetFirstVisibleLine(e), 20);
  EXPECT_EQ(RichEditLineFromChar(e, RichEditLineIndex(e, 30) + 2), 30);
  EXPECT_EQ(RichEditLineIndex(e, 41), -1);
}

TEST_F(RichEditTest, CharacterPositionsZoomAndWrapping) {
  const Hwnd e = Rich(kEsMultiline, "ab\rcd", {10, 10, 310, 130});
  const Point a = RichEditPosFromChar(e, 0), b = RichEditPosFromChar(e, 1),
              c = RichEditPosFromChar(e, 3);
  EXPECT_EQ(a.y, b.y);
  EXPECT_GT(b.x, a.x);
  EXPECT_GT(c.y, a.y);
  EXPECT_EQ(c.x, a.x);
  EXPECT_EQ(RichEditCharFromPos(e, {b.x + 1, b.y + 2}), 1);
  const int width = b.x - a.x;
  ASSERT_TRUE(RichEditSetZoom(e, 2, 1));
  EXPECT_EQ(RichEditGetZoom(e), (std::pair{2, 1}));
  const int zoomed = RichEditPosFromChar(e, 1).x - RichEditPosFromChar(e, 0).x;
  EXPECT_NEAR(zoomed, 2 * width, 2);
  EXPECT_FALSE(RichEditSetZoom(e, 1, 0));
  ASSERT_TRUE(RichEditSetZoom(e, 0, 0));
  // Without horizontal scrolling long lines wrap between words.
  const Hwnd w = Rich(kEsMultiline, std::string(16, 'w') + " " + std::string(16, 'w'));
  EXPECT_EQ(RichEditGetLineCount(w), 2);
  const Hwnd s =
      Rich(kEsMultiline | kEsAutoHScroll, std::string(16, 'w') + " " + std::string(16, 'w'));
  EXPECT_EQ(RichEditGetLineCount(s), 1);
}

TEST_F(RichEditTest, StreamsInAndOutAsPlainTextAndRtf) {
  const Hwnd e = Rich();
  EXPECT_EQ(RichEditStreamIn(e, RichStream::Plain, "a\r\nb\nc", false), 5);
  EXPECT_EQ(RichEditStreamOut(e, RichStream::Plain, false), "a\r\nb\r\nc");
  EXPECT_FALSE(RichEditGetModify(e));
  // An RTF stream that is no RTF comes in as plain text.
  RichEditStreamIn(e, RichStream::Rtf, "{\\r no", false);
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "{\\r no");
  RichEditStreamIn(e, RichStream::Rtf, "{\\rtf1 x{\\i y}z}", false);
  RichEditSetSel(e, 1, 2);
  const std::string part = RichEditStreamOut(e, RichStream::Rtf, true);
  RichPiece p;
  ASSERT_TRUE(ReadRtf(part, CharFormat{}, p));
  EXPECT_EQ(p.text, "y");
  EXPECT_TRUE(p.runs.at(0).format.italic);
  // Into the selection, held to the limit.
  RichEditSetLimit(e, 5);
  RichEditSetSel(e, 3, 3);
  EXPECT_EQ(RichEditStreamIn(e, RichStream::Plain, "12345", true), 2);
  EXPECT_EQ(RichEditGetTextRange(e, 0, -1), "xyz12");
}

TEST_F(RichEditTest, FindTextMatchesCaseWordsAndSearchesUp) {
  const Hwnd e = Rich(kEsMultiline, "Cat cat catalogue cat");
  EXPECT_EQ(RichEditFindText(e, 0, -1, "cat", 0), 0);
  EXPECT_EQ(RichEditFindText(e, 0, -1, "cat", kFindMatchCase), 4);
  EXPECT_EQ(RichEditFindText(e, 5, -1, "cat", kFindWholeWord), 18);
  EXPECT_EQ(RichEditFindText(e, 18, 0, "cat", 0), 8);
  EXPECT_EQ(RichEditFindText(e, 0, -1, "dog", 0), -1);
}

TEST_F(RichEditTest, FormatRangeStopsAtThePageEndAndContinues) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "row " + std::to_string(i) + "\r\n";
  const Hwnd e = Rich(kEsMultiline, text);
  Surface page(400, 300, Rgb(255, 255, 255));
  const Rect box{20, 20, 380, 120};  // room for a few lines at 96 dpi
  const int stop = RichEditFormatRange(e, &page, box, 96, 0, -1, true);
  EXPECT_GT(stop, 0);
  EXPECT_LT(stop, RichEditGetTextLength(e));
  EXPECT_EQ(RichEditText(e)->Text()[static_cast<std::size_t>(stop) - 1], '\r');
  // Ink only inside the box.
  int inside = 0, outside = 0;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      if (page.Get(x, y) != Rgb(255, 255, 255)) (box.Contains({x, y}) ? inside : outside)++;
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
  // Measuring only gives the same stop; the next page goes on from it.
  EXPECT_EQ(RichEditFormatRange(e, nullptr, box, 96, 0, -1, false), stop);
  EXPECT_GT(RichEditFormatRange(e, nullptr, box, 96, stop, -1, false), stop);
  EXPECT_EQ(RichEditFormatRange(e, nullptr, box, 96, 5, 5, false), 5);
}

}  // namespace
}  // namespace plat::testing
