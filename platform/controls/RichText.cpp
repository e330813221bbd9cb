// The rich-text control's text: characters, formats, paragraphs and undo.
#include "platform/controls/RichText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace plat {
namespace {

/// The runs covering [A, B) of RUNS.
std::vector<FormatRun> SliceRuns(const std::vector<FormatRun>& runs, int a, int b) {
  std::vector<FormatRun> out;
  int at = 0;
  for (const FormatRun& r : runs) {
    const int from = std::max(a, at), to = std::min(b, at + r.length);
    if (from < to) out.push_back({to - from, r.format});
    at += r.length;
    if (at >= b) break;
  }
  return out;
}

/// Joins neighbours of one format and drops empty runs.
void Normalise(std::vector<FormatRun>& runs) {
  std::vector<FormatRun> out;
  out.reserve(runs.size());
  for (FormatRun& r : runs) {
    if (r.length <= 0) continue;
    if (!out.empty() && out.back().format == r.format)
      out.back().length += r.length;
    else
      out.push_back(std::move(r));
  }
  runs.swap(out);
}

int CountMarks(std::string_view t) {
  return static_cast<int>(std::count(t.begin(), t.end(), '\r'));
}

void Merge(CharFormat& into, std::uint32_t mask, const CharFormat& f) {
  if ((mask & kCfmBold) != 0) into.bold = f.bold;
  if ((mask & kCfmItalic) != 0) into.italic = f.italic;
  if ((mask & kCfmUnderline) != 0) into.underline = f.underline;
  if ((mask & kCfmStrikeOut) != 0) into.strikeOut = f.strikeOut;
  if ((mask & kCfmProtected) != 0) into.isProtected = f.isProtected;
  if ((mask & kCfmSize) != 0) into.size = f.size;
  if ((mask & kCfmColour) != 0) into.colour = f.colour;
  if ((mask & kCfmBackColour) != 0) into.backColour = f.backColour;
  if ((mask & kCfmFace) != 0) into.face = f.face;
}

}  // namespace

RichPiece PlainPiece(std::string_view text, const CharFormat& f) {
  RichPiece p;
  p.text.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // the "\n" ends it
    p.text.push_back(c == '\n' ? '\r' : c);
  }
  if (!p.text.empty()) p.runs.push_back({static_cast<int>(p.text.size()), f});
  // No marks: new paragraphs take the format of the one they split.
  return p;
}

RichText::RichText() : paras_(1) {}

int RichText::ParagraphOf(int pos) const {
  pos = std::clamp(pos, 0, Length());
  return static_cast<int>(std::count(text_.begin(), text_.begin() + pos, '\r'));
}

int RichText::ParagraphStart(int n) const {
  int at = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t cr = text_.find('\r', static_cast<std::size_t>(at));
    if (cr == std::string::npos) return Length();
    at = static_cast<int>(cr) + 1;
  }
  return at;
}

CharFormat RichText::FormatAt(int pos) const {
  if (runs_.empty()) return default_;
  int at = 0;
  for (const FormatRun& r : runs_) {
    if (pos < at + r.length) return r.format;
    at += r.length;
  }
  return runs_.back().format;
}

bool RichText::AnyProtected(int a, int b) const {
  int at = 0;
  for (const FormatRun& r : runs_) {
    if (r.format.isProtected && std::max(a, at) < std::min(b, at + r.length)) return true;
    at += r.length;
    if (at >= b) break;
  }
  return false;
}

void RichText::SetDefaultFormat(const CharFormat& f) {
  default_ = f;
}

RichPiece RichText::Extract(int a, int b) const {
  a = std::clamp(a, 0, Length());
  b = std::clamp(b, a, Length());
  RichPiece p;
  p.text = text_.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a));
  p.runs = SliceRuns(runs_, a, b);
  const int first = ParagraphOf(a);
  const int k = CountMarks(p.text);
  p.marks.assign(paras_.begin() + first, paras_.begin() + first + k);
  return p;
}

int RichText::Apply(int a, int b, const RichPiece& piece) {
  const int first = ParagraphOf(a);
  const int k = CountMarks(
      std::string_view(text_).substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)));
  std::vector<FormatRun> runs = SliceRuns(runs_, 0, a);
  runs.insert(runs.end(), piece.runs.begin(), piece.runs.end());
  const std::vector<FormatRun> tail = SliceRuns(runs_, b, Length());
  runs.insert(runs.end(), tail.begin(), tail.end());
  Normalise(runs);
  runs_.swap(runs);
  text_.replace(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a), piece.text);
  paras_.erase(paras_.begin() + first, paras_.begin() + first + k);
  std::vector<ParaFormat> marks = piece.marks;
  marks.resize(static_cast<std::size_t>(CountMarks(piece.text)),
               paras_[std::min<std::size_t>(static_cast<std::size_t>(first), paras_.size() - 1)]);
  paras_.insert(paras_.begin() + first, marks.begin(), marks.end());
  return static_cast<int>(piece.text.size());
}

void RichText::Record(Step step) {
  if (static_cast<int>(groups_.size()) > done_) groups_.resize(static_cast<std::size_t>(done_));
  bool join = groupOpen_ && done_ > 0;
  const bool typing = typingAt_ >= 0;
  if (typing) join = done_ > 0 && groups_.back().typing && groups_.back().typedTo == typingAt_;
  if (!join) {
    groups_.push_back({});
    groups_.back().typing = typing;
    ++done_;
    if (limit_ > 0 && static_cast<int>(groups_.size()) > limit_) {
      groups_.erase(groups_.begin());
      --done_;
    }
  }
  Group& g = groups_.back();
  if (typing) g.typedTo = step.at + static_cast<int>(step.after.text.size());
  g.steps.push_back(std::move(step));
  groupOpen_ = !typing;
  typingAt_ = -1;
}

void RichText::EndUndoGroup() {
  groupOpen_ = false;
  if (done_ > 0) groups_[static_cast<std::size_t>(done_) - 1].typedTo = -1;
}

void RichText::NoteTyping(int pos) {
  typingAt_ = pos;
}

int RichText::ReplacePiece(int a, int b, const RichPiece& piece) {
  a = std::clamp(a, 0, Length());
  b = std::clamp(b, a, Length());
  if (a == b && piece.text.empty()) {
    typingAt_ = -1;
    return 0;
  }
  Step step{a, Extract(a, b), piece};
  const int n = Apply(a, b, piece);
  Record(std::move(step));
  return n;
}

int RichText::Replace(int a, int b, std::string_view text, const CharFormat& f) {
  return ReplacePiece(a, b, PlainPiece(text, f));
}

void RichText::SetCharFormat(int a, int b, std::uint32_t mask, const CharFormat& f) {
  a = std::clamp(a, 0, Length());
  b = std::clamp(b, a, Length());
  if (a == b) return;
  RichPiece after = Extract(a, b);
  for (FormatRun& r : after.runs) Merge(r.format, mask, f);
  Normalise(after.runs);
  Step step{a, Extract(a, b), after};
  if (step.before.runs == after.runs) return;
  Apply(a, b, after);
  Record(std::move(step));
}

void RichText::SetParaFormat(int a, int b, std::uint32_t mask, const ParaFormat& p) {
  const int first = ParagraphOf(a), last = ParagraphOf(std::max(a, b));
  for (int n = first; n <= last && n < ParagraphCount(); ++n) {
    ParaFormat& q = paras_[static_cast<std::size_t>(n)];
    if ((mask & kPfmBullet) != 0) q.bullet = p.bullet;
    if ((mask & kPfmAlign) != 0) q.align = p.align;
  }
}

void RichText::Reset(const RichPiece& piece) {
  text_ = piece.text;
  runs_ = piece.runs;
  Normalise(runs_);
  paras_ = piece.marks;
  paras_.resize(static_cast<std::size_t>(CountMarks(text_)));
  paras_.push_back(piece.tail);
  ClearUndo();
}

void RichText::ClearUndo() {
  groups_.clear();
  done_ = 0;
  groupOpen_ = false;
  typingAt_ = -1;
}

bool RichText::Undo(int& caret) {
  if (!CanUndo()) return false;
  Group& g = groups_[static_cast<std::size_t>(--done_)];
  for (auto it = g.steps.rbegin(); it != g.steps.rend(); ++it) {
    Apply(it->at, it->at + static_cast<int>(it->after.text.size()), it->before);
    caret = it->at + static_cast<int>(it->before.text.size());
  }
  groupOpen_ = false;
  return true;
}

bool RichText::Redo(int& caret) {
  if (!CanRedo()) return false;
  Group& g = groups_[static_cast<std::size_t>(done_++)];
  for (const Step& s : g.steps) {
    Apply(s.at, s.at + static_cast<int>(s.before.text.size()), s.after);
    caret = s.at + static_cast<int>(s.after.text.size());
  }
  groupOpen_ = false;
  return true;
}

std::string RichText::PlainText(int a, int b) const {
  a = std::clamp(a, 0, Length());
  b = std::clamp(b, a, Length());
  std::string out;
  out.reserve(static_cast<std::size_t>(b - a) + static_cast<std::size_t>(b - a) / 16);
  for (int i = a; i < b; ++i) {
    const char c = text_[static_cast<std::size_t>(i)];
    out.push_back(c);
    if (c == '\r') out.push_back('\n');
  }
  return out;
}

// ---------------------------------------------------------------------------
// RTF

namespace {

struct RtfFont {
  int number = 0;
  std::string face;
};

class RtfReader {
 public:
  RtfReader(std::string_view in, const CharFormat& base) : in_(in), base_(base) {}

  bool Run(RichPiece& out) {
    if (in_.substr(0, 5) != "{\\rtf") return false;
    State s;
    s.chars = base_;
    stack_.push_back(s);
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      if (c == '{') {
        if (stack_.size() >= kMaxDepth) return false;
        stack_.push_back(stack_.back());
        continue;
      }
      if (c == '}') {
        EndGroup();
        if (stack_.empty()) break;
        continue;
      }
      if (c == '\\') {
        ControlWord();
        continue;
      }
      if (c == '\r' || c == '\n') continue;
      Char(c);
    }
    FlushFont();
    out.text = std::move(text_);
    out.runs = std::move(runs_);
    Normalise(out.runs);
    out.marks = std::move(marks_);
    out.tail = para_;
    return true;
  }

 private:
  static constexpr std::size_t kMaxDepth = 10000;  // hostile nesting ends the read
  enum class Dest { Text, Skip, FontTable, ColourTable, Bullet };
  struct State {
    CharFormat chars;
    Dest dest = Dest::Text;
    int fontNumber = 0;
    int skipAfterUnicode = 1;
  };

  void EndGroup() {
    if (stack_.back().dest == Dest::FontTable) FlushFont();
    stack_.pop_back();
  }

  void Char(char c) {
    State& s = stack_.back();
    switch (s.dest) {
      case Dest::Text:
        Emit(c);
        break;
      case Dest::FontTable:
        if (c == ';')
          FlushFont();
        else
          fontFace_.push_back(c);
        break;
      case Dest::ColourTable:
        if (c == ';') {
          colours_.push_back(colourSeen_ ? red_ + 256 * green_ + 65536 * blue_ : kAutoColour);
          red_ = green_ = blue_ = 0;
          colourSeen_ = false;
        }
        break;
      default:
        break;
    }
  }

  void Emit(char c) {
    if (skip_ > 0) {
      --skip_;
      return;
    }
    text_.push_back(c);
    if (c == '\r') marks_.push_back(para_);
    const CharFormat& f = stack_.back().chars;
    if (!runs_.empty() && runs_.back().format == f)
      ++runs_.back().length;
    else
      runs_.push_back({1, f});
  }

  void FlushFont() {
    std::string face = fontFace_;
    while (!face.empty() && face.back() == ' ') face.pop_back();
    while (!face.empty() && face.front() == ' ') face.erase(face.begin());
    if (!face.empty()) fonts_.push_back({fontNumber_, face});
    fontFace_.clear();
  }

  std::string FaceOf(int n) const {
    for (const RtfFont& f : fonts_)
      if (f.number == n) return f.face;
    return base_.face;
  }
  std::int32_t ColourOf(int n) const {
    if (n <= 0 || n >= static_cast<int>(colours_.size())) return kAutoColour;
    return colours_[static_cast<std::size_t>(n)];
  }

  void ControlWord() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++pos_;
      if (c == '\'') {
        int v = 0;
        for (int k = 0; k < 2 && pos_ < in_.size(); ++k, ++pos_) {
          const char h = in_[pos_];
          const int d = std::isdigit(static_cast<unsigned char>(h)) ? h - '0'
                        : (h >= 'a' && h <= 'f')                    ? h - 'a' + 10
                        : (h >= 'A' && h <= 'F')                    ? h - 'A' + 10
                                                                    : -1;
          if (d < 0) break;
          v = v * 16 + d;
        }
        Char(static_cast<char>(v));
      } else if (c == '*') {
        if (in_.substr(pos_, 4) == "\\pn " || in_.substr(pos_, 4) == "\\pn\\")
          stack_.back().dest = Dest::Bullet;
        else
          stack_.back().dest = Dest::Skip;
      } else if (c == '~') {
        Char(static_cast<char>(0xA0));
      } else if (c == '\\' || c == '{' || c == '}') {
        Char(c);
      } else if (c == '\r' || c == '\n') {
        if (stack_.back().dest == Dest::Text) Emit('\r');
      }
      return;
    }
    std::size_t start = pos_;
    while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_]))) ++pos_;
    const std::string word(in_.substr(start, pos_ - start));
    bool hasParam = false;
    long long param = 0;
    bool negative = false;
    if (pos_ < in_.size() && in_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
      hasParam = true;
      if (param < 100000000) param = param * 10 + (in_[pos_] - '0');
      ++pos_;
    }
    if (negative) param = -param;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    Word(word, hasParam, static_cast<int>(param));
  }

  void Word(const std::string& w, bool hasParam, int p) {
    State& s = stack_.back();
    const bool on = !hasParam || p != 0;
    if (s.dest == Dest::Skip) return;
    if (s.dest == Dest::Bullet) {
      if (w == "pnlvlblt") para_.bullet = true;
      return;
    }
    if (s.dest == Dest::FontTable) {
      if (w == "f") {
        FlushFont();
        fontNumber_ = p;
      }
      return;
    }
    if (s.dest == Dest::ColourTable) {
      colourSeen_ = true;
      if (w == "red") red_ = std::clamp(p, 0, 255);
      if (w == "green") green_ = std::clamp(p, 0, 255);
      if (w == "blue") blue_ = std::clamp(p, 0, 255);
      return;
    }
    CharFormat& f = s.chars;
    if (w == "fonttbl") {
      s.dest = Dest::FontTable;
    } else if (w == "colortbl") {
      s.dest = Dest::ColourTable;
    } else if (w == "stylesheet" || w == "info" || w == "pict" || w == "header" || w == "footer" ||
               w == "pntext" || w == "listtable" || w == "listoverridetable" || w == "object" ||
               w == "fldinst" || w == "themedata" || w == "generator") {
      s.dest = Dest::Skip;
    } else if (w == "par" || w == "line") {
      Emit('\r');
    } else if (w == "tab") {
      Emit('\t');
    } else if (w == "pard") {
      para_ = {};
    } else if (w == "ql" || w == "qj") {
      para_.align = ParaAlign::Left;
    } else if (w == "qc") {
      para_.align = ParaAlign::Centre;
    } else if (w == "qr") {
      para_.align = ParaAlign::Right;
    } else if (w == "plain") {
      f = base_;
    } else if (w == "b") {
      f.bold = on;
    } else if (w == "i") {
      f.italic = on;
    } else if (w == "ul") {
      f.underline = on;
    } else if (w == "ulnone") {
      f.underline = false;
    } else if (w == "strike") {
      f.strikeOut = on;
    } else if (w == "protect") {
      f.isProtected = on;
    } else if (w == "fs" && hasParam && p > 0) {
      f.size = std::min(p, 3200) * 10;
    } else if (w == "f" && hasParam) {
      f.face = FaceOf(p);
    } else if (w == "cf") {
      f.colour = ColourOf(p);
    } else if (w == "highlight" || w == "cb" || w == "chcbpat") {
      f.backColour = ColourOf(p);
    } else if (w == "uc" && hasParam) {
      s.skipAfterUnicode = std::clamp(p, 0, 10);
    } else if (w == "u" && hasParam) {
      const int code = p < 0 ? p + 65536 : p;
      Emit(code < 256 ? static_cast<char>(code) : '?');
      skip_ = s.skipAfterUnicode;
    } else if (w == "bullet") {
      Emit(static_cast<char>(0xB7));
    } else if (w == "lquote" || w == "rquote") {
      Emit('\'');
    } else if (w == "ldblquote" || w == "rdblquote") {
      Emit('"');
    } else if (w == "emdash" || w == "endash") {
      Emit('-');
    }
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  CharFormat base_;
  std::vector<State> stack_;
  std::string text_;
  std::vector<FormatRun> runs_;
  std::vector<ParaFormat> marks_;
  ParaFormat para_;
  std::vector<RtfFont> fonts_;
  std::string fontFace_;
  int fontNumber_ = 0;
  std::vector<std::int32_t> colours_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colourSeen_ = false;
  int skip_ = 0;
};

}  // namespace

bool ReadRtf(std::string_view text, const CharFormat& base, RichPiece& out) {
  RtfReader reader(text, base);
  return reader.Run(out);
}

std::string WriteRtf(const RichText& t, int a, int b) {
  a = std::clamp(a, 0, t.Length());
  b = std::clamp(b, a, t.Length());
  const RichPiece piece = t.Extract(a, b);
  std::vector<std::string> faces;
  std::vector<std::int32_t> colours;
  const auto faceIndex = [&](const std::string& face) {
    const auto it = std::find(faces.begin(), faces.end(), face);
    if (it != faces.end()) return static_cast<int>(it - faces.begin());
    faces.push_back(face);
    return static_cast<int>(faces.size()) - 1;
  };
  const auto colourIndex = [&](std::int32_t c) {
    if (c < 0) return 0;
    const auto it = std::find(colours.begin(), colours.end(), c);
    if (it != colours.end()) return static_cast<int>(it - colours.begin()) + 1;
    colours.push_back(c);
    return static_cast<int>(colours.size());
  };
  faceIndex(t.FormatAt(a).face);
  for (const FormatRun& r : piece.runs) {
    faceIndex(r.format.face);
    colourIndex(r.format.colour);
    colourIndex(r.format.backColour);
  }
  std::string out = "{\\rtf1\\ansi\\deff0{\\fonttbl";
  for (std::size_t i = 0; i < faces.size(); ++i)
    out += "{\\f" + std::to_string(i) + "\\fnil " + faces[i] + ";}";
  out += "}\r\n";
  if (!colours.empty()) {
    out += "{\\colortbl ;";
    for (const std::int32_t c : colours)
      out += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) +
             "\\blue" + std::to_string((c >> 16) & 0xFF) + ";";
    out += "}\r\n";
  }
  int para = t.ParagraphOf(a);
  const auto paraWords = [&](int n) {
    const ParaFormat& p = t.Paragraph(n);
    std::string w = "\\pard";
    if (p.bullet) w += "{\\*\\pn\\pnlvlblt}";
    if (p.align == ParaAlign::Centre) w += "\\qc";
    if (p.align == ParaAlign::Right) w += "\\qr";
    return w;
  };
  out += paraWords(para);
  std::size_t at = 0;
  for (const FormatRun& r : piece.runs) {
    const CharFormat& f = r.format;
    out += "\\plain\\f" + std::to_string(faceIndex(f.face)) + "\\fs" + std::to_string(f.size / 10);
    if (f.colour >= 0) out += "\\cf" + std::to_string(colourIndex(f.colour));
    if (f.backColour >= 0) out += "\\highlight" + std::to_string(colourIndex(f.backColour));
    if (f.bold) out += "\\b";
    if (f.italic) out += "\\i";
    if (f.underline) out += "\\ul";
    if (f.strikeOut) out += "\\strike";
    if (f.isProtected) out += "\\protect";
    out += ' ';
    for (int i = 0; i < r.length; ++i, ++at) {
      const unsigned char c = static_cast<unsigned char>(piece.text[at]);
      if (c == '\r') {
        out += "\\par\r\n";
        ++para;
        if (para < t.ParagraphCount()) out += paraWords(para) + ' ';
      } else if (c == '\t') {
        out += "\\tab ";
      } else if (c == '\\' || c == '{' || c == '}') {
        out.push_back('\\');
        out.push_back(static_cast<char>(c));
      } else if (c < 0x20 || c >= 0x80) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\'%02x", c);
        out += hex;
      } else {
        out.push_back(static_cast<char>(c));
      }
    }
  }
  out += "}\r\n";
  return out;
}

}  // namespace plat
