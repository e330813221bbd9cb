#pragma once
// The rich-text control (class "RichEdit20A"): multi-line text with
// character and paragraph formats, undo and redo, hidden selection, zoom,
// RTF and plain streams, and page formatting for printing.
//
// Positions count a line end as one character. The window text holds the
// text with "\r\n" line ends; setting it replaces the text (plain).
// Styles: kEsMultiline, kEsReadOnly, kEsNoHideSel, kEsAutoHScroll (one line
// per paragraph, scrolled sideways; without it lines wrap at the width),
// kWsVScroll, kWsHScroll, kWsBorder.
//
// The control tells its parent:
//  - Command with kEnChange after a change of the text (kEnmChange),
//    kEnVScroll / kEnHScroll after it scrolled (kEnmScroll);
//  - Notify kEnMsgFilter before it handles a key (kEnmKeyEvents) or mouse
//    (kEnmMouseEvents) message: a non-zero answer drops the message;
//  - Notify kEnSelChange after the selection moved (kEnmSelChange);
//  - Notify kEnProtected before the user changes protected text
//    (kEnmProtected): a non-zero answer refuses the change.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/controls/Controls.h"
#include "platform/controls/RichText.h"
#include "platform/draw/Surface.h"

namespace plat {

class DrawContext;

inline constexpr std::string_view kRichEditClass = "RichEdit20A";

/// The longest text unless RichEditSetLimit says otherwise.
inline constexpr int kRichEditDefaultLimit = 32767;

enum : int {
  kEnHScroll = 0x601,    // EN_HSCROLL
  kEnVScroll = 0x602,    // EN_VSCROLL
  kEnMsgFilter = 0x700,  // EN_MSGFILTER
  kEnSelChange = 0x702,  // EN_SELCHANGE
  kEnProtected = 0x704,  // EN_PROTECTED
};

/// Which notifications the control sends (RichEditSetEventMask).
enum : unsigned {
  kEnmChange = 0x1,
  kEnmScroll = 0x4,
  kEnmKeyEvents = 0x10000,
  kEnmMouseEvents = 0x20000,
  kEnmSelChange = 0x80000,
  kEnmProtected = 0x200000,
};

struct MsgFilterNotify {
  NotifyHeader hdr;
  Msg msg = Msg::Null;
  WParam wParam = 0;
  LParam lParam = 0;
};
struct SelChangeNotify {
  NotifyHeader hdr;
  int start = 0;
  int end = 0;
};
struct ProtectedNotify {
  NotifyHeader hdr;
  int start = 0;  // the range the change would touch
  int end = 0;
};

unsigned RichEditSetEventMask(Hwnd h, unsigned mask);  // answers the old mask

/// The text, line ends as "\r".
const RichText* RichEditText(Hwnd h);
/// Characters [A, B) (B -1: the end), line ends as "\r".
std::string RichEditGetTextRange(Hwnd h, int a, int b);
int RichEditGetTextLength(Hwnd h);

// Selection and caret (the caret is the selection's end).
void RichEditSetSel(Hwnd h, int start, int end);  // start 0, end -1: all; start -1: none
std::pair<int, int> RichEditGetSel(Hwnd h);
void RichEditHideSelection(Hwnd h, bool hide);
/// Replaces the selection (line ends "\r", "\n" or "\r\n"), in the
/// selection's format; the caret after the new text. UNDOABLE: one undo
/// step, else the undo history is emptied.
void RichEditReplaceSel(Hwnd h, std::string_view text, bool undoable);
void RichEditScrollCaret(Hwnd h);

// The clipboard: the selection goes on it as text (lines "\r\n") and as
// rich text (format kRichTextClipFormat); Cut and Paste obey read-only and
// protection and are one undoable step. Keys: Ctrl+C and Ctrl+Insert copy,
// Ctrl+X and Shift+Delete cut, Ctrl+V and Shift+Insert paste.
inline constexpr std::string_view kRichTextClipFormat = "Rich Text Format";
/// False when nothing is selected.
bool RichEditCopy(Hwnd h);
bool RichEditCut(Hwnd h);
/// Pastes the clipboard's rich text, else its text (TEXT_ONLY: only text);
/// false when there is nothing to paste or the change is refused.
bool RichEditPaste(Hwnd h, bool textOnly);
/// Whether the clipboard holds something the control can paste.
bool RichEditCanPaste(bool textOnly);

// Formats.
/// The format of the selection (of the character before the caret when it
/// is empty), and the mask of the parts the whole selection shares.
std::pair<CharFormat, std::uint32_t> RichEditGetCharFormat(Hwnd h);
/// Sets parts of the format on the selection (ALL: on the whole text and
/// as the default for new text).
bool RichEditSetCharFormat(Hwnd h, bool all, std::uint32_t mask, const CharFormat& f);
ParaFormat RichEditGetParaFormat(Hwnd h);
void RichEditSetParaFormat(Hwnd h, std::uint32_t mask, const ParaFormat& p);

// Undo.
bool RichEditUndo(Hwnd h);
bool RichEditRedo(Hwnd h);
bool RichEditCanUndo(Hwnd h);
bool RichEditCanRedo(Hwnd h);
/// Ends the current undo group: the next edit starts a new one.
void RichEditStopGroupTyping(Hwnd h);
void RichEditEmptyUndo(Hwnd h);

void RichEditSetLimit(Hwnd h, int limit);
int RichEditGetLimit(Hwnd h);
void RichEditSetModify(Hwnd h, bool modified);
bool RichEditGetModify(Hwnd h);
void RichEditSetReadOnly(Hwnd h, bool readOnly);

// Lines and scrolling. Lines are the control's display lines.
int RichEditGetLineCount(Hwnd h);
int RichEditLineFromChar(Hwnd h, int pos);
int RichEditLineIndex(Hwnd h, int line);  // first position of LINE; -1 beyond the last
int RichEditGetFirstVisibleLine(Hwnd h);
/// Scrolls by LINES (down when positive) and COLUMNS average characters.
void RichEditLineScroll(Hwnd h, int lines, int columns);
/// kSbLineUp, kSbLineDown, kSbPageUp, kSbPageDown; answers the lines moved.
int RichEditScroll(Hwnd h, int code);
/// The client position of character POS's top-left corner (the end: after
/// the last character).
Point RichEditPosFromChar(Hwnd h, int pos);
int RichEditCharFromPos(Hwnd h, Point p);
/// Zoom as a ratio; 0/0 switches it off.
bool RichEditSetZoom(Hwnd h, int numerator, int denominator);
std::pair<int, int> RichEditGetZoom(Hwnd h);

// Streams.
enum class RichStream { Plain, Rtf };
/// Replaces the text (or only the selection) with DATA read as FORMAT; an
/// RTF stream that is no RTF is read as plain text. Answers the characters
/// read in.
int RichEditStreamIn(Hwnd h, RichStream format, std::string_view data, bool selectionOnly);
std::string RichEditStreamOut(Hwnd h, RichStream format, bool selectionOnly);

/// Finds TEXT in [A, B) (B -1: the end; B < A searches up from A); the
/// match's start or -1.
enum : unsigned { kFindMatchCase = 0x4, kFindWholeWord = 0x2 };
int RichEditFindText(Hwnd h, int a, int b, std::string_view text, unsigned flags);

/// Lays out characters [A, B) onto PAGE of TARGET (pixels at DPI dots per
/// inch; the text's points are scaled to it). RENDER false only measures.
/// Answers the first character that did not fit (B when all did).
int RichEditFormatRange(Hwnd h, Surface* target, Rect page, int dpi, int a, int b, bool render);
/// The same, drawing what fits through TARGET (a printer page).
int RichEditPrintRange(Hwnd h, DrawContext& target, Rect page, int dpi, int a, int b);

}  // namespace plat
