#pragma once
// The text of the rich-text control: characters with character formats,
// paragraphs with paragraph formats, undo and redo in groups, and the plain
// and RTF streams. It knows nothing of windows; the control
// (RichEdit.cpp) draws it and turns the user's keys into its edits.
//
// Positions count characters from 0. A paragraph ends with one "\r" (the
// control's line end counts as one character); the last paragraph has no
// mark. Bytes are Latin-1.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

/// What a character format sets (the masks of RichTextSetCharFormat).
enum CharFormatMask : std::uint32_t {
  kCfmBold = 0x1,
  kCfmItalic = 0x2,
  kCfmUnderline = 0x4,
  kCfmStrikeOut = 0x8,
  kCfmProtected = 0x10,
  kCfmSize = 0x80000000,
  kCfmColour = 0x40000000,
  kCfmFace = 0x20000000,
  kCfmBackColour = 0x04000000,
  kCfmAll = 0xFFFFFFFF,
};

/// The automatic colour: the window text (or window background) colour.
inline constexpr std::int32_t kAutoColour = -1;

struct CharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool isProtected = false;
  int size = 240;                     // twentieths of a point
  std::int32_t colour = kAutoColour;  // R + 256 G + 65536 B, or automatic
  std::int32_t backColour = kAutoColour;
  std::string face = "Arial";
  friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

/// Paragraph alignment.
enum class ParaAlign : std::uint8_t { Left = 1, Right = 2, Centre = 3 };

struct ParaFormat {
  bool bullet = false;
  ParaAlign align = ParaAlign::Left;
  friend bool operator==(const ParaFormat&, const ParaFormat&) = default;
};

enum ParaFormatMask : std::uint32_t { kPfmBullet = 0x1, kPfmAlign = 0x2 };

/// A stretch of characters of one format.
struct FormatRun {
  int length = 0;
  CharFormat format;
  friend bool operator==(const FormatRun&, const FormatRun&) = default;
};

/// A copy of a range of the text with its formats: what undo keeps, and
/// what streams in.
struct RichPiece {
  std::string text;
  std::vector<FormatRun> runs;    // cover text exactly
  std::vector<ParaFormat> marks;  // one for each "\r" in text, in order
  ParaFormat tail;                // the last paragraph's (used when it replaces everything)
};

class RichText {
 public:
  RichText();

  const std::string& Text() const { return text_; }
  int Length() const { return static_cast<int>(text_.size()); }
  int ParagraphCount() const { return static_cast<int>(paras_.size()); }
  /// The paragraph that holds position POS (0-based).
  int ParagraphOf(int pos) const;
  /// The first position of paragraph N.
  int ParagraphStart(int n) const;
  const ParaFormat& Paragraph(int n) const { return paras_[static_cast<std::size_t>(n)]; }
  const std::vector<FormatRun>& Runs() const { return runs_; }

  /// The format of the character at POS (the end: the last character's).
  CharFormat FormatAt(int pos) const;
  /// True when any character in [a, b) is protected.
  bool AnyProtected(int a, int b) const;

  /// The format new text takes where nothing else says (empty text).
  const CharFormat& DefaultFormat() const { return default_; }
  void SetDefaultFormat(const CharFormat& f);

  /// Replaces [A, B) with TEXT in format F ("\n" and "\r\n" become "\r");
  /// recorded for undo in the current group. Returns the inserted length.
  int Replace(int a, int b, std::string_view text, const CharFormat& f);
  /// Replaces [A, B) with a piece (its formats kept); recorded for undo.
  int ReplacePiece(int a, int b, const RichPiece& piece);
  /// Sets the parts of F that MASK names on [A, B); recorded for undo.
  void SetCharFormat(int a, int b, std::uint32_t mask, const CharFormat& f);
  /// Sets the paragraphs touching [A, B) (the one at A when empty).
  void SetParaFormat(int a, int b, std::uint32_t mask, const ParaFormat& p);
  /// A copy of [A, B) with its formats.
  RichPiece Extract(int a, int b) const;

  /// Replaces everything and empties the undo history.
  void Reset(const RichPiece& piece);

  // Undo. Edits between two EndUndoGroup calls form one group; typing that
  // continues where the last typing stopped joins the group before it.
  void EndUndoGroup();
  /// Marks the next edits as typing at POS (they join a typing group).
  void NoteTyping(int pos);
  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < static_cast<int>(groups_.size()); }
  /// Undoes the last group; the range that changed (start, end of new text).
  bool Undo(int& caret);
  bool Redo(int& caret);
  void ClearUndo();
  void SetUndoLimit(int groups) { limit_ = groups; }

  /// The text with "\r\n" line ends, or the text of [A, B) so.
  std::string PlainText(int a, int b) const;

 private:
  struct Step {
    int at = 0;
    RichPiece before, after;
  };
  struct Group {
    std::vector<Step> steps;
    bool typing = false;
    int typedTo = -1;
  };
  int Apply(int a, int b, const RichPiece& piece);
  void Record(Step step);

  std::string text_;
  std::vector<FormatRun> runs_;
  std::vector<ParaFormat> paras_;  // one more than the marks
  CharFormat default_;
  std::vector<Group> groups_;
  int done_ = 0;
  bool groupOpen_ = false;
  int typingAt_ = -1;
  int limit_ = 100;
};

/// Plain text as the control streams it in: "\r\n", "\n" and "\r" end
/// paragraphs.
RichPiece PlainPiece(std::string_view text, const CharFormat& f);
/// Reads RTF into a piece: the groups, fonts, colours, character and
/// paragraph formats it can hold; unknown control words and destinations are
/// skipped. False when TEXT is not RTF (it does not begin "{\rtf").
bool ReadRtf(std::string_view text, const CharFormat& base, RichPiece& out);
/// Writes [A, B) of TEXT as RTF.
std::string WriteRtf(const RichText& text, int a, int b);

}  // namespace plat
