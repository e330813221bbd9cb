// The rich-text control: lays out and draws a RichText, turns keys and the
// mouse into edits and selections, and notifies its parent.
#include "platform/controls/RichEdit.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>

#include "platform/controls/Controls_p.h"
#include "platform/draw/DrawContext.h"
#include "platform/system/Clipboard.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace controls {
namespace {

constexpr int kScreenDpi = 96;
constexpr int kTabTwips = 720 * 20 / 20;  // tab stops every half inch (in twentieths of a point)
constexpr int kBulletIndentPoints = 18;

/// One display line: characters [start, end) shown, NEXT the first of the
/// following line (past the paragraph mark or the break).
struct LineBox {
  int start = 0;
  int end = 0;
  int next = 0;
  int height = 0;
  int ascent = 0;
  int width = 0;
  int indent = 0;
  int top = 0;  // from the top of the text
};

/// Fonts of character formats at one scale.
class FontCache {
 public:
  explicit FontCache(double pixelsPerTwentieth) : scale_(pixelsPerTwentieth) {}
  const Font* Get(const CharFormat& f) {
    const auto key = std::make_tuple(f.face, f.size, f.bold, f.italic, f.underline);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
      FontSpec spec;
      spec.face = f.face;
      spec.height = -std::max(1, static_cast<int>(f.size * scale_ + 0.5));
      spec.weight = f.bold ? kFontWeightBold : kFontWeightNormal;
      spec.italic = f.italic;
      spec.underline = f.underline;
      it = fonts_.emplace(key, OpenFont(spec)).first;
    }
    return it->second.get();
  }
  double Scale() const { return scale_; }

 private:
  double scale_;
  std::map<std::tuple<std::string, int, bool, bool, bool>, std::shared_ptr<const Font>> fonts_;
};

/// The font of the format last asked for, looked up again only when the
/// format (a run's, by address) changes: layout asks once per character.
class FontOfRun {
 public:
  explicit FontOfRun(FontCache& cache) : cache_(cache) {}
  const Font* operator()(const CharFormat& f) {
    if (&f != last_) {
      last_ = &f;
      font_ = cache_.Get(f);
    }
    return font_;
  }

 private:
  FontCache& cache_;
  const CharFormat* last_ = nullptr;
  const Font* font_ = nullptr;
};

/// Walks the runs of a text forwards.
class RunCursor {
 public:
  explicit RunCursor(const RichText& t) : t_(t) {}
  const CharFormat& At(int pos) {
    const auto& runs = t_.Runs();
    if (runs.empty()) return t_.DefaultFormat();
    if (pos < runStart_) {
      index_ = 0;
      runStart_ = 0;
    }
    while (index_ + 1 < runs.size() && pos >= runStart_ + runs[index_].length) {
      runStart_ += runs[index_].length;
      ++index_;
    }
    return runs[index_].format;
  }

 private:
  const RichText& t_;
  std::size_t index_ = 0;
  int runStart_ = 0;
};

int TabWidth(double scale) {
  return std::max(1, static_cast<int>(kTabTwips * 20 * scale / 20 + 0.5));
}

int CharAdvance(const Font* f, unsigned char c, int x, double scale) {
  if (c == '\t') {
    const int tab = TabWidth(scale);
    return (x / tab + 1) * tab - x;
  }
  return f ? f->Advance(c) : 6;
}

/// Lays the text out in lines WIDTH pixels wide (-1: no wrapping).
std::vector<LineBox> Layout(const RichText& t, FontCache& fonts, int width) {
  std::vector<LineBox> lines;
  const std::string& s = t.Text();
  const int n = t.Length();
  RunCursor cursor(t);
  FontOfRun fontOf(fonts);
  const Font* base = fonts.Get(t.Runs().empty() ? t.DefaultFormat() : t.FormatAt(0));
  int para = 0, top = 0;
  int pos = 0;
  while (true) {
    const std::size_t cr = s.find('\r', static_cast<std::size_t>(pos));
    const int pe = cr == std::string::npos ? n : static_cast<int>(cr);
    const int indent = t.Paragraph(para).bullet
                           ? static_cast<int>(kBulletIndentPoints * 20 * fonts.Scale() + 0.5)
                           : 0;
    int ls = pos;
    do {
      LineBox line;
      line.start = ls;
      line.indent = indent;
      int x = 0, lastBreak = -1, i = ls;
      int asc = 0, desc = 0;
      for (; i < pe; ++i) {
        const Font* font = fontOf(cursor.At(i));
        const unsigned char c = static_cast<unsigned char>(s[static_cast<std::size_t>(i)]);
        const int adv = CharAdvance(font, c, x, fonts.Scale());
        if (width > 0 && x + adv > width - indent && i > ls) {
          if (lastBreak > ls) i = lastBreak;
          break;
        }
        x += adv;
        if (c == ' ' || c == '\t') lastBreak = i + 1;
      }
      line.end = i;
      line.next = i;
      if (i >= pe) line.next = pe < n ? pe + 1 : pe;
      // Height from the fonts of the line (the mark's when it is empty).
      int w = 0;
      for (int k = line.start; k < std::max(line.end, line.start + 1) && k <= n; ++k) {
        const Font* font = k < n ? fontOf(cursor.At(k)) : base;
        if (k == line.start && k >= n && k > 0) font = fonts.Get(cursor.At(k - 1));
        if (font == nullptr) continue;
        asc = std::max(asc, font->Metrics().ascent);
        desc = std::max(desc, font->Metrics().descent);
        if (k < line.end)
          w += CharAdvance(font, static_cast<unsigned char>(s[static_cast<std::size_t>(k)]), w,
                           fonts.Scale());
      }
      line.ascent = asc;
      line.height = std::max(1, asc + desc);
      line.width = w;
      line.top = top;
      top += line.height;
      lines.push_back(line);
      ls = line.next;
    } while (ls < pe);
    if (pe >= n) break;
    pos = pe + 1;
    ++para;
    if (pos == n) {  // an empty last paragraph after the final mark
      LineBox line;
      line.start = line.end = line.next = n;
      const Font* font = fonts.Get(t.FormatAt(n - 1));
      line.ascent = font ? font->Metrics().ascent : 10;
      line.height = font ? std::max(1, font->Metrics().height) : 12;
      line.top = top;
      lines.push_back(line);
      break;
    }
  }
  return lines;
}

int AlignOffset(const RichText& t, const LineBox& line, int width) {
  if (width <= 0) return 0;
  const ParaAlign a = t.Paragraph(t.ParagraphOf(line.start)).align;
  const int spare = width - line.indent - line.width;
  if (spare <= 0 || a == ParaAlign::Left) return 0;
  return a == ParaAlign::Centre ? spare / 2 : spare;
}

int LineOfPos(const std::vector<LineBox>& lines, int pos) {
  int lo = 0, hi = static_cast<int>(lines.size()) - 1;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (lines[static_cast<std::size_t>(mid)].start <= pos)
      lo = mid;
    else
      hi = mid - 1;
  }
  // A break inside a paragraph: the end of a line belongs to the next one.
  return std::max(lo, 0);
}

/// The x of POS on its line, from the line's left.
int XOnLine(const RichText& t, FontCache& fonts, const LineBox& line, int pos) {
  RunCursor cursor(t);
  int x = 0;
  for (int i = line.start; i < std::min(pos, line.end); ++i)
    x += CharAdvance(fonts.Get(cursor.At(i)),
                     static_cast<unsigned char>(t.Text()[static_cast<std::size_t>(i)]), x,
                     fonts.Scale());
  return x;
}

void FillRectSolid(Surface& surface, const Rect& r, Pixel colour) {
  for (int y = std::max(r.top, 0); y < std::min(r.bottom, surface.Height()); ++y)
    for (int x = std::max(r.left, 0); x < std::min(r.right, surface.Width()); ++x)
      surface.Set(x, y, colour);
}

/// Where laid-out lines are drawn: a surface (the screen, a page in memory)
/// or a drawing context (a printer page).
class LinePainter {
 public:
  virtual ~LinePainter() = default;
  /// Fills R (already clipped) with COLOUR.
  virtual void Fill(const Rect& r, Pixel colour) = 0;
  /// Draws TEXT with its cell's top-left corner at AT, inside CLIP.
  virtual void Text(const Font& font, Point at, std::string_view text, const TextStyle& style,
                    const Rect& clip) = 0;
};

class SurfacePainter : public LinePainter {
 public:
  explicit SurfacePainter(Surface& surface) : surface_(surface) {}
  void Fill(const Rect& r, Pixel colour) override { FillRectSolid(surface_, r, colour); }
  void Text(const Font& font, Point at, std::string_view text, const TextStyle& style,
            const Rect& clip) override {
    DrawText(surface_, font, at, text, style, clip);
  }

 private:
  Surface& surface_;
};

/// Draws through a drawing context, joining the characters of a word that
/// share font and colour into one text call.
class ContextPainter : public LinePainter {
 public:
  explicit ContextPainter(DrawContext& dc) : dc_(dc) {}
  ~ContextPainter() override { Flush(); }
  void Fill(const Rect& r, Pixel colour) override {
    if (r.Empty()) return;
    Flush();
    dc_.SetClip(std::nullopt);
    dc_.SetPen(Pen::Styled(PenStyle::Null, colour));
    Brush b;
    b.kind = Brush::Kind::Solid;
    b.colour = colour;
    dc_.SetBrush(b);
    dc_.Rectangle(r);
  }
  void Text(const Font& font, Point at, std::string_view text, const TextStyle& style,
            const Rect& clip) override {
    const bool joins = font_ == &font && at.y == at_.y && at.x == nextX_ &&
                       style.colour == style_.colour && clip == clip_;
    if (!joins) {
      Flush();
      font_ = &font;
      at_ = at;
      style_ = style;
      clip_ = clip;
    }
    text_.append(text);
    nextX_ = at.x + font.TextWidth(text);
  }

 private:
  void Flush() {
    if (font_ != nullptr && !text_.empty()) {
      dc_.SetClip(clip_);
      dc_.Text(*font_, at_, text_, style_);
    }
    font_ = nullptr;
    text_.clear();
  }
  DrawContext& dc_;
  const Font* font_ = nullptr;
  Point at_{};
  int nextX_ = 0;
  TextStyle style_;
  Rect clip_{};
  std::string text_;
};

/// Draws LINES [FIRST, ...) of T with the top of line FIRST at ORIGIN.y,
/// the text's left at ORIGIN.x, inside CLIP (surface coordinates).
void DrawLines(LinePainter& paint, Point origin, Rect clip, const RichText& t, FontCache& fonts,
               const std::vector<LineBox>& lines, int first, int alignWidth, int selA, int selB,
               bool showSel, int stopAt = -1, int startAt = 0) {
  RunCursor cursor(t);
  const std::string& s = t.Text();
  const int top0 =
      first < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(first)].top : 0;
  for (int li = first; li < static_cast<int>(lines.size()); ++li) {
    const LineBox& line = lines[static_cast<std::size_t>(li)];
    if (stopAt >= 0 && line.start >= stopAt) break;
    const int y = origin.y + line.top - top0;
    if (y >= clip.bottom) break;
    if (y + line.height <= clip.top) continue;
    int x0 = origin.x + line.indent + AlignOffset(t, line, alignWidth);
    if (line.indent > 0 && line.start >= startAt &&
        line.start == t.ParagraphStart(t.ParagraphOf(line.start))) {
      const CharFormat& f =
          line.start < t.Length() ? cursor.At(line.start) : t.FormatAt(line.start);
      if (const Font* font = fonts.Get(f)) {
        TextStyle st;
        st.colour = f.colour >= 0 ? static_cast<Pixel>(Rgb(f.colour & 0xFF, (f.colour >> 8) & 0xFF,
                                                           (f.colour >> 16) & 0xFF))
                                  : kColourText;
        paint.Text(*font, {origin.x + line.indent / 4, y + line.ascent - font->Metrics().ascent},
                   "\xB7", st, clip);
      }
    }
    int x = 0;
    // Characters outside [startAt, stopAt) are left out; the first one
    // drawn starts at the line's left.
    for (int i = std::max(line.start, startAt); i < line.end; ++i) {
      if (stopAt >= 0 && i >= stopAt) break;
      const CharFormat& f = cursor.At(i);
      const Font* font = fonts.Get(f);
      const unsigned char c = static_cast<unsigned char>(s[static_cast<std::size_t>(i)]);
      const int adv = CharAdvance(font, c, x, fonts.Scale());
      const bool selected = showSel && i >= selA && i < selB;
      const Rect cell{x0 + x, y, x0 + x + adv, y + line.height};
      Pixel ink = f.colour >= 0
                      ? Rgb(f.colour & 0xFF, (f.colour >> 8) & 0xFF, (f.colour >> 16) & 0xFF)
                      : kColourText;
      if (selected) {
        paint.Fill(cell.Intersect(clip), kColourSelection);
        ink = kColourSelectionText;
      } else if (f.backColour >= 0) {
        paint.Fill(
            cell.Intersect(clip),
            Rgb(f.backColour & 0xFF, (f.backColour >> 8) & 0xFF, (f.backColour >> 16) & 0xFF));
      }
      if (font != nullptr && c != '\t' && c != ' ') {
        TextStyle st;
        st.colour = ink;
        const char one = static_cast<char>(c);
        paint.Text(*font, {cell.left, y + line.ascent - font->Metrics().ascent},
                   std::string_view(&one, 1), st, clip);
      }
      if (f.strikeOut) {
        const int sy = y + line.ascent - std::max(1, line.ascent / 3);
        paint.Fill(Rect{cell.left, sy, cell.right, sy + 1}.Intersect(clip), ink);
      }
      x += adv;
    }
    // A selected line end shows as a small highlighted cell.
    if (showSel && line.next > line.end && line.end >= selA && line.end < selB) {
      const Rect cell{x0 + x, y, x0 + x + std::max(2, line.height / 3), y + line.height};
      paint.Fill(cell.Intersect(clip), kColourSelection);
    }
  }
}

struct RichState : ControlState {
  RichText doc;
  int caret = 0;
  int anchor = 0;
  bool hideSel = false;
  int firstLine = 0;
  int scrollX = 0;
  bool modified = false;
  int limit = kRichEditDefaultLimit;
  unsigned mask = 0;
  int zoomNum = 0, zoomDen = 0;
  bool tracking = false;
  bool internal = false;
  std::uint64_t version = 0;
  // The layout of the last version at the last width and zoom.
  std::vector<LineBox> lines;
  std::uint64_t laidOutVersion = ~0ULL;
  int laidOutWidth = -2;
  double laidOutScale = 0;
  std::unique_ptr<FontCache> fonts;
};

bool Wraps(Hwnd h) {
  return (GetStyle(h) & kEsAutoHScroll) == 0;
}

Rect TextArea(Hwnd h) {
  Rect r = GetClientRect(h);
  const int inset = (GetStyle(h) & kWsBorder) != 0 ? 3 : 1;
  return {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
}

double ScaleOf(const RichState& s) {
  double scale = kScreenDpi / (72.0 * 20.0);
  if (s.zoomNum > 0 && s.zoomDen > 0) scale = scale * s.zoomNum / s.zoomDen;
  return scale;
}

const std::vector<LineBox>& Lines(Hwnd h, RichState& s) {
  const int width = Wraps(h) ? std::max(1, TextArea(h).Width()) : -1;
  const double scale = ScaleOf(s);
  if (!s.fonts || s.laidOutScale != scale) s.fonts = std::make_unique<FontCache>(scale);
  if (s.laidOutVersion != s.version || s.laidOutWidth != width || s.laidOutScale != scale) {
    s.lines = Layout(s.doc, *s.fonts, width);
    s.laidOutVersion = s.version;
    s.laidOutWidth = width;
    s.laidOutScale = scale;
  }
  return s.lines;
}

int VisibleLineCount(Hwnd h, RichState& s) {
  const auto& lines = Lines(h, s);
  const int height = TextArea(h).Height();
  int n = 0, used = 0;
  for (std::size_t i = static_cast<std::size_t>(s.firstLine); i < lines.size(); ++i) {
    used += lines[i].height;
    if (used > height && n > 0) break;
    ++n;
  }
  return std::max(n, 1);
}

void Changed(RichState& s) {
  ++s.version;
}

void SyncWindowText(Hwnd h, RichState& s) {
  s.internal = true;
  SetWindowText(h, s.doc.PlainText(0, s.doc.Length()));
  if (RichState* again = StateOf<RichState>(h)) again->internal = false;
}

void NotifySelChange(Hwnd h, RichState& s) {
  if ((s.mask & kEnmSelChange) == 0) return;
  SelChangeNotify n;
  n.start = std::min(s.caret, s.anchor);
  n.end = std::max(s.caret, s.anchor);
  NotifyParent(h, n.hdr, kEnSelChange);
}

void ScrollToCaret(Hwnd h, RichState& s) {
  const auto& lines = Lines(h, s);
  const int line = LineOfPos(lines, s.caret);
  const int visible = VisibleLineCount(h, s);
  const int old = s.firstLine;
  if (line < s.firstLine) s.firstLine = line;
  if (line >= s.firstLine + visible) s.firstLine = line - visible + 1;
  if (!Wraps(h)) {
    const LineBox& box = lines[static_cast<std::size_t>(line)];
    const int x = box.indent + XOnLine(s.doc, *s.fonts, box, s.caret);
    const int w = std::max(TextArea(h).Width() - 1, 1);
    if (x < s.scrollX) s.scrollX = std::max(0, x - w / 4);
    if (x >= s.scrollX + w) s.scrollX = x - w + w / 4;
  }
  if (old != s.firstLine && (s.mask & kEnmScroll) != 0) NotifyCommand(h, kEnVScroll);
}

void SetCaret(Hwnd h, RichState& s, int pos, bool extend) {
  s.caret = std::clamp(pos, 0, s.doc.Length());
  if (!extend) s.anchor = s.caret;
  ScrollToCaret(h, s);
  Repaint(h);
  NotifySelChange(h, s);
}

/// Asks the parent whether protected text in [A, B) may change.
bool ProtectionAllows(Hwnd h, RichState& s, int a, int b) {
  const bool touches = a == b ? (a > 0 && a < s.doc.Length() && s.doc.FormatAt(a - 1).isProtected &&
                                 s.doc.FormatAt(a).isProtected)
                              : s.doc.AnyProtected(a, b);
  if (!touches) return true;
  if ((s.mask & kEnmProtected) == 0) return false;
  ProtectedNotify n;
  n.start = a;
  n.end = b;
  return NotifyParent(h, n.hdr, kEnProtected) == 0;
}

/// Replaces the selection with TEXT for the user: checks read-only,
/// protection and the limit. TYPING joins the typing group.
bool UserReplace(Hwnd h, RichState& s, std::string_view text, bool typing) {
  if ((GetStyle(h) & kEsReadOnly) != 0) {
    Beep();
    return false;
  }
  const int a = std::min(s.caret, s.anchor), b = std::max(s.caret, s.anchor);
  if (!ProtectionAllows(h, s, a, b)) {
    Beep();
    return false;
  }
  if (StateOf<RichState>(h) != &s) return false;
  RichPiece piece = PlainPiece(text, a > 0 ? s.doc.FormatAt(a - 1) : s.doc.FormatAt(a));
  for (FormatRun& r : piece.runs) r.format.isProtected = false;
  const int room = s.limit - (s.doc.Length() - (b - a));
  if (static_cast<int>(piece.text.size()) > room) {
    Beep();
    return false;
  }
  if (piece.text.empty() && a == b) return false;
  if (typing)
    s.doc.NoteTyping(a);
  else
    s.doc.EndUndoGroup();
  const int n = s.doc.ReplacePiece(a, b, piece);
  if (!typing) s.doc.EndUndoGroup();
  s.caret = s.anchor = a + n;
  s.modified = true;
  Changed(s);
  SyncWindowText(h, s);
  ScrollToCaret(h, s);
  Repaint(h);
  if ((s.mask & kEnmChange) != 0) NotifyCommand(h, kEnChange);
  NotifySelChange(h, s);
  return true;
}

int PosAtX(RichState& s, const LineBox& line, int x) {
  RunCursor cursor(s.doc);
  int cur = 0;
  for (int i = line.start; i < line.end; ++i) {
    const int adv =
        CharAdvance(s.fonts->Get(cursor.At(i)),
                    static_cast<unsigned char>(s.doc.Text()[static_cast<std::size_t>(i)]), cur,
                    s.fonts->Scale());
    if (x < cur + adv / 2) return i;
    cur += adv;
  }
  return line.end;
}

int HitTest(Hwnd h, RichState& s, Point p) {
  const auto& lines = Lines(h, s);
  const Rect area = TextArea(h);
  const int top0 = lines[static_cast<std::size_t>(s.firstLine)].top;
  int li = s.firstLine;
  const int y = p.y - area.top + top0;
  if (p.y < area.top)
    li = std::max(0, s.firstLine - 1);
  else
    while (li + 1 < static_cast<int>(lines.size()) &&
           lines[static_cast<std::size_t>(li) + 1].top <= y)
      ++li;
  const LineBox& line = lines[static_cast<std::size_t>(li)];
  const int width = Wraps(h) ? area.Width() : -1;
  return PosAtX(s, line,
                p.x - area.left + s.scrollX - line.indent - AlignOffset(s.doc, line, width));
}

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

void KeyDown(Hwnd h, RichState& s, int vk) {
  const bool shift = IsKeyDown(kVkShift), ctrl = IsKeyDown(kVkControl);
  const auto& lines = Lines(h, s);
  const int line = LineOfPos(lines, s.caret);
  const std::string& t = s.doc.Text();
  const int n = s.doc.Length();
  switch (vk) {
    case kVkLeft:
      if (!shift && s.caret != s.anchor) {
        SetCaret(h, s, std::min(s.caret, s.anchor), false);
      } else if (ctrl) {
        int p = s.caret;
        while (p > 0 && !IsWordChar(t[static_cast<std::size_t>(p) - 1])) --p;
        while (p > 0 && IsWordChar(t[static_cast<std::size_t>(p) - 1])) --p;
        SetCaret(h, s, p, shift);
      } else {
        SetCaret(h, s, s.caret - 1, shift);
      }
      break;
    case kVkRight:
      if (!shift && s.caret != s.anchor) {
        SetCaret(h, s, std::max(s.caret, s.anchor), false);
      } else if (ctrl) {
        int p = s.caret;
        while (p < n && IsWordChar(t[static_cast<std::size_t>(p)])) ++p;
        while (p < n && !IsWordChar(t[static_cast<std::size_t>(p)])) ++p;
        SetCaret(h, s, p, shift);
      } else {
        SetCaret(h, s, s.caret + 1, shift);
      }
      break;
    case kVkHome:
      SetCaret(h, s, ctrl ? 0 : lines[static_cast<std::size_t>(line)].start, shift);
      break;
    case kVkEnd:
      SetCaret(h, s, ctrl ? n : lines[static_cast<std::size_t>(line)].end, shift);
      break;
    case kVkUp:
    case kVkDown:
    case kVkPrior:
    case kVkNext: {
      const int page = VisibleLineCount(h, s);
      const int delta = vk == kVkUp ? -1 : vk == kVkDown ? 1 : vk == kVkPrior ? -page : page;
      const int target = line + delta;
      if (target < 0) {
        SetCaret(h, s, 0, shift);
      } else if (target >= static_cast<int>(lines.size())) {
        SetCaret(h, s, n, shift);
      } else {
        const LineBox& from = lines[static_cast<std::size_t>(line)];
        const int x = XOnLine(s.doc, *s.fonts, from, s.caret);
        SetCaret(h, s, PosAtX(s, lines[static_cast<std::size_t>(target)], x), shift);
      }
      break;
    }
    case kVkDelete:
      if (shift && s.caret != s.anchor) {
        RichEditCut(h);
        break;
      }
      if (s.caret == s.anchor) {
        if (s.caret >= n) break;
        s.anchor = s.caret + 1;
      }
      UserReplace(h, s, {}, false);
      break;
    case 'A':
      if (ctrl) {
        s.anchor = 0;
        SetCaret(h, s, n, true);
      }
      break;
    case 'Z':
      if (ctrl && (GetStyle(h) & kEsReadOnly) == 0) RichEditUndo(h);
      break;
    case 'C':
      if (ctrl) RichEditCopy(h);
      break;
    case 'X':
      if (ctrl) RichEditCut(h);
      break;
    case 'V':
      if (ctrl) RichEditPaste(h, false);
      break;
    case kVkInsert:
      if (ctrl) RichEditCopy(h);
      if (shift && !ctrl) RichEditPaste(h, false);
      break;
    case 'Y':
      if (ctrl && (GetStyle(h) & kEsReadOnly) == 0) RichEditRedo(h);
      break;
    default:
      break;
  }
}

void Char(Hwnd h, RichState& s, std::uint32_t ch) {
  if (ch == 0x1B || ch == 0x7F || ch > 0xFF) return;
  if (ch < 0x20 && ch != '\b' && ch != '\r' && ch != '\t') return;  // Ctrl combinations
  if (ch == '\b') {
    if (s.caret == s.anchor) {
      if (s.caret == 0) return;
      s.anchor = s.caret - 1;
    }
    UserReplace(h, s, {}, false);
    return;
  }
  if (ch == '\r') {
    UserReplace(h, s, "\r", false);
    return;
  }
  const char c = static_cast<char>(ch);
  UserReplace(h, s, std::string_view(&c, 1), true);
}

void PaintRich(Hwnd h, RichState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const unsigned style = GetStyle(h);
  const bool focused = GetFocus() == h;
  const Rect c = p.Client();
  const ControlColours colours = AskColours(h, Msg::CtlColourEdit, kColourText, kColourWindow);
  p.Fill(c, colours.background);
  if ((style & kWsBorder) != 0) p.DrawBevel(c, Bevel::Sunken);
  const Rect area = TextArea(h);
  const auto& lines = Lines(h, s);
  const PaintContext& ctx = p.Context();
  const Rect clip = area.Intersect(ctx.clip).Offset(ctx.origin.x, ctx.origin.y);
  const int selA = std::min(s.caret, s.anchor), selB = std::max(s.caret, s.anchor);
  const bool showSel = selA != selB && !s.hideSel && (focused || (style & kEsNoHideSel) != 0);
  const Point origin{area.left - s.scrollX + ctx.origin.x, area.top + ctx.origin.y};
  SurfacePainter painter(*ctx.surface);
  DrawLines(painter, origin, clip, s.doc, *s.fonts, lines, s.firstLine,
            Wraps(h) ? area.Width() : -1, selA, selB, showSel);
  if (focused && selA == selB) {
    const Point at = RichEditPosFromChar(h, s.caret);
    const LineBox& line = lines[static_cast<std::size_t>(LineOfPos(lines, s.caret))];
    p.Fill(Rect{at.x, at.y, at.x + 1, at.y + line.height}.Intersect(area), kColourText);
  }
}

}  // namespace

LResult RichEditProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](RichState* s) -> std::optional<LResult> {
    const auto filtered = [&]() {
      const bool key = m >= kKeyFirst && m <= kKeyLast;
      const bool mouse = m >= kMouseFirst && m <= kMouseLast;
      if (!((key && (s->mask & kEnmKeyEvents) != 0) || (mouse && (s->mask & kEnmMouseEvents) != 0)))
        return false;
      MsgFilterNotify n;
      n.msg = m;
      n.wParam = w;
      n.lParam = l;
      return NotifyParent(h, n.hdr, kEnMsgFilter) != 0;
    };
    switch (m) {
      case Msg::Create:
        s->doc.SetDefaultFormat(CharFormat{});
        s->doc.Reset(PlainPiece(GetWindowText(h), s->doc.DefaultFormat()));
        return 0;
      case Msg::SetText:
        if (!s->internal) {
          s->doc.Reset(PlainPiece(GetWindowText(h), s->doc.DefaultFormat()));
          s->caret = s->anchor = 0;
          s->firstLine = s->scrollX = 0;
          s->modified = false;
          Changed(*s);
          Repaint(h);
          if ((s->mask & kEnmChange) != 0) NotifyCommand(h, kEnChange);
        }
        return 0;
      case Msg::LButtonDown: {
        if (filtered()) return 0;
        if (GetFocus() != h) SetFocus(h);
        s = StateOf<RichState>(h);
        if (s == nullptr) return 0;
        SetCapture(h);
        s->tracking = true;
        s->doc.EndUndoGroup();
        SetCaret(h, *s, HitTest(h, *s, LParamToPoint(l)), IsKeyDown(kVkShift));
        return 0;
      }
      case Msg::MouseMove:
        if (filtered()) return 0;
        if (s->tracking) SetCaret(h, *s, HitTest(h, *s, LParamToPoint(l)), true);
        return 0;
      case Msg::LButtonUp:
        if (filtered()) return 0;
        if (s->tracking) {
          s->tracking = false;
          ReleaseCapture();
        }
        return 0;
      case Msg::RButtonDown:
      case Msg::RButtonUp:
        if (filtered()) return 0;
        return std::nullopt;
      case Msg::CaptureChanged:
        if (static_cast<Hwnd>(l) != h) s->tracking = false;
        return 0;
      case Msg::LButtonDblClk: {
        if (filtered()) return 0;
        const std::string& t = s->doc.Text();
        int a = HitTest(h, *s, LParamToPoint(l)), b = a;
        while (a > 0 && IsWordChar(t[static_cast<std::size_t>(a) - 1])) --a;
        while (b < static_cast<int>(t.size()) && IsWordChar(t[static_cast<std::size_t>(b)])) ++b;
        s->anchor = a;
        SetCaret(h, *s, b, true);
        return 0;
      }
      case Msg::MouseWheel: {
        if (filtered()) return 0;
        if (IsKeyDown(kVkControl)) {
          // Ctrl and the wheel zoom in steps of a tenth.
          int num = s->zoomNum > 0 ? s->zoomNum : 100, den = s->zoomDen > 0 ? s->zoomDen : 100;
          num = num * 100 / den + (SignedHigh(w) > 0 ? 10 : -10);
          RichEditSetZoom(h, std::clamp(num, 10, 500), 100);
          return 0;
        }
        RichEditLineScroll(h, -SignedHigh(w) / 40, 0);
        return 0;
      }
      case Msg::KeyDown:
        if (filtered()) return 0;
        KeyDown(h, *s, static_cast<int>(w));
        return 0;
      case Msg::KeyUp:
        if (filtered()) return 0;
        return 0;
      case Msg::Char:
        if (filtered()) return 0;
        Char(h, *s, static_cast<std::uint32_t>(w));
        return 0;
      case Msg::SetFocus:
      case Msg::KillFocus:
        Repaint(h);
        NotifyCommand(h, m == Msg::SetFocus ? kEnSetFocus : kEnKillFocus);
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<RichState>(h, m, w, l, kRepaintOnEnable | kRepaintOnSize, PaintRich, handle);
}

}  // namespace controls

using controls::RichState;
using controls::StateOf;

unsigned RichEditSetEventMask(Hwnd h, unsigned mask) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return 0;
  const unsigned old = s->mask;
  s->mask = mask;
  return old;
}

const RichText* RichEditText(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  return s ? &s->doc : nullptr;
}

std::string RichEditGetTextRange(Hwnd h, int a, int b) {
  const RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return {};
  const int n = s->doc.Length();
  if (b < 0 || b > n) b = n;
  a = std::clamp(a, 0, b);
  return s->doc.Text().substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a));
}

int RichEditGetTextLength(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  return s ? s->doc.Length() : 0;
}

void RichEditSetSel(Hwnd h, int start, int end) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return;
  const int n = s->doc.Length();
  s->doc.EndUndoGroup();
  if (start < 0) {
    s->anchor = s->caret;
  } else {
    if (end < 0 || end > n) end = n;
    s->anchor = std::min(start, n);
    s->caret = end;
  }
  if (!s->hideSel) controls::ScrollToCaret(h, *s);
  controls::Repaint(h);
  controls::NotifySelChange(h, *s);
}

std::pair<int, int> RichEditGetSel(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return {0, 0};
  return {std::min(s->caret, s->anchor), std::max(s->caret, s->anchor)};
}

void RichEditHideSelection(Hwnd h, bool hide) {
  if (RichState* s = StateOf<RichState>(h)) {
    s->hideSel = hide;
    controls::Repaint(h);
  }
}

void RichEditReplaceSel(Hwnd h, std::string_view text, bool undoable) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return;
  const int a = std::min(s->caret, s->anchor), b = std::max(s->caret, s->anchor);
  RichPiece piece = PlainPiece(text, a > 0 ? s->doc.FormatAt(a - 1) : s->doc.FormatAt(a));
  s->doc.EndUndoGroup();
  const int n = s->doc.ReplacePiece(a, b, piece);
  s->doc.EndUndoGroup();
  if (!undoable) s->doc.ClearUndo();
  s->caret = s->anchor = a + n;
  s->modified = true;
  controls::Changed(*s);
  controls::SyncWindowText(h, *s);
  controls::Repaint(h);
  if ((s->mask & kEnmChange) != 0) controls::NotifyCommand(h, kEnChange);
}

void RichEditScrollCaret(Hwnd h) {
  if (RichState* s = StateOf<RichState>(h)) {
    controls::ScrollToCaret(h, *s);
    controls::Repaint(h);
  }
}

std::pair<CharFormat, std::uint32_t> RichEditGetCharFormat(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return {};
  const int a = std::min(s->caret, s->anchor), b = std::max(s->caret, s->anchor);
  if (a == b) return {a > 0 ? s->doc.FormatAt(a - 1) : s->doc.FormatAt(0), kCfmAll};
  const RichPiece piece = s->doc.Extract(a, b);
  const CharFormat f = piece.runs.empty() ? s->doc.FormatAt(a) : piece.runs.front().format;
  std::uint32_t mask = kCfmAll;
  for (const FormatRun& r : piece.runs) {
    const CharFormat& g = r.format;
    if (g.bold != f.bold) mask &= ~kCfmBold;
    if (g.italic != f.italic) mask &= ~kCfmItalic;
    if (g.underline != f.underline) mask &= ~kCfmUnderline;
    if (g.strikeOut != f.strikeOut) mask &= ~kCfmStrikeOut;
    if (g.isProtected != f.isProtected) mask &= ~kCfmProtected;
    if (g.size != f.size) mask &= ~kCfmSize;
    if (g.colour != f.colour) mask &= ~kCfmColour;
    if (g.backColour != f.backColour) mask &= ~kCfmBackColour;
    if (g.face != f.face) mask &= ~kCfmFace;
  }
  return {f, mask};
}

bool RichEditSetCharFormat(Hwnd h, bool all, std::uint32_t mask, const CharFormat& f) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return false;
  int a = std::min(s->caret, s->anchor), b = std::max(s->caret, s->anchor);
  if (all) {
    a = 0;
    b = s->doc.Length();
    CharFormat d = s->doc.DefaultFormat();
    if ((mask & kCfmBold) != 0) d.bold = f.bold;
    if ((mask & kCfmItalic) != 0) d.italic = f.italic;
    if ((mask & kCfmUnderline) != 0) d.underline = f.underline;
    if ((mask & kCfmStrikeOut) != 0) d.strikeOut = f.strikeOut;
    if ((mask & kCfmSize) != 0) d.size = f.size;
    if ((mask & kCfmColour) != 0) d.colour = f.colour;
    if ((mask & kCfmBackColour) != 0) d.backColour = f.backColour;
    if ((mask & kCfmFace) != 0) d.face = f.face;
    s->doc.SetDefaultFormat(d);
  }
  s->doc.EndUndoGroup();
  s->doc.SetCharFormat(a, b, mask, f);
  s->doc.EndUndoGroup();
  controls::Changed(*s);
  controls::Repaint(h);
  return true;
}

ParaFormat RichEditGetParaFormat(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return {};
  return s->doc.Paragraph(s->doc.ParagraphOf(std::min(s->caret, s->anchor)));
}

void RichEditSetParaFormat(Hwnd h, std::uint32_t mask, const ParaFormat& p) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return;
  s->doc.SetParaFormat(std::min(s->caret, s->anchor), std::max(s->caret, s->anchor), mask, p);
  controls::Changed(*s);
  controls::Repaint(h);
}

namespace {
bool UndoRedo(Hwnd h, bool redo) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return false;
  int caret = s->caret;
  if (!(redo ? s->doc.Redo(caret) : s->doc.Undo(caret))) return false;
  s->caret = s->anchor = std::clamp(caret, 0, s->doc.Length());
  s->modified = true;
  controls::Changed(*s);
  controls::SyncWindowText(h, *s);
  controls::ScrollToCaret(h, *s);
  controls::Repaint(h);
  if ((s->mask & kEnmChange) != 0) controls::NotifyCommand(h, kEnChange);
  return true;
}
}  // namespace

bool RichEditUndo(Hwnd h) {
  return UndoRedo(h, false);
}
bool RichEditRedo(Hwnd h) {
  return UndoRedo(h, true);
}
bool RichEditCanUndo(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  return s != nullptr && s->doc.CanUndo();
}
bool RichEditCanRedo(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  return s != nullptr && s->doc.CanRedo();
}
void RichEditStopGroupTyping(Hwnd h) {
  if (RichState* s = StateOf<RichState>(h)) s->doc.EndUndoGroup();
}
void RichEditEmptyUndo(Hwnd h) {
  if (RichState* s = StateOf<RichState>(h)) s->doc.ClearUndo();
}

void RichEditSetLimit(Hwnd h, int limit) {
  if (RichState* s = StateOf<RichState>(h)) s->limit = limit > 0 ? limit : kRichEditDefaultLimit;
}
int RichEditGetLimit(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  return s ? s->limit : 0;
}
void RichEditSetModify(Hwnd h, bool modified) {
  if (RichState* s = StateOf<RichState>(h)) s->modified = modified;
}
bool RichEditGetModify(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  return s != nullptr && s->modified;
}
void RichEditSetReadOnly(Hwnd h, bool readOnly) {
  if (StateOf<RichState>(h) == nullptr) return;
  const unsigned style = GetStyle(h);
  SetStyle(h, readOnly ? style | kEsReadOnly : style & ~kEsReadOnly);
  controls::Repaint(h);
}

int RichEditGetLineCount(Hwnd h) {
  RichState* s = StateOf<RichState>(h);
  return s ? static_cast<int>(controls::Lines(h, *s).size()) : 0;
}

int RichEditLineFromChar(Hwnd h, int pos) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return 0;
  if (pos < 0) pos = std::min(s->caret, s->anchor);
  return controls::LineOfPos(controls::Lines(h, *s), pos);
}

int RichEditLineIndex(Hwnd h, int line) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return -1;
  const auto& lines = controls::Lines(h, *s);
  if (line < 0) line = controls::LineOfPos(lines, s->caret);
  if (line >= static_cast<int>(lines.size())) return -1;
  return lines[static_cast<std::size_t>(line)].start;
}

int RichEditGetFirstVisibleLine(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  return s ? s->firstLine : 0;
}

void RichEditLineScroll(Hwnd h, int lines, int columns) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return;
  const int count = static_cast<int>(controls::Lines(h, *s).size());
  const int old = s->firstLine, oldX = s->scrollX;
  s->firstLine = std::clamp(s->firstLine + lines, 0, std::max(0, count - 1));
  if (!controls::Wraps(h)) {
    const Font* f = s->fonts->Get(s->doc.DefaultFormat());
    s->scrollX = std::max(0, s->scrollX + columns * (f ? f->Metrics().averageCharWidth : 7));
  }
  controls::Repaint(h);
  if ((s->mask & kEnmScroll) != 0) {
    if (old != s->firstLine) controls::NotifyCommand(h, kEnVScroll);
    if (oldX != s->scrollX) controls::NotifyCommand(h, kEnHScroll);
  }
}

int RichEditScroll(Hwnd h, int code) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return 0;
  const int page = controls::VisibleLineCount(h, *s);
  const int delta = code == kSbLineUp     ? -1
                    : code == kSbLineDown ? 1
                    : code == kSbPageUp   ? -page
                    : code == kSbPageDown ? page
                                          : 0;
  const int old = s->firstLine;
  RichEditLineScroll(h, delta, 0);
  return s->firstLine - old;
}

Point RichEditPosFromChar(Hwnd h, int pos) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return {};
  pos = std::clamp(pos, 0, s->doc.Length());
  const auto& lines = controls::Lines(h, *s);
  const int li = controls::LineOfPos(lines, pos);
  const controls::LineBox& line = lines[static_cast<std::size_t>(li)];
  const Rect area = controls::TextArea(h);
  const int width = controls::Wraps(h) ? area.Width() : -1;
  const int x = area.left - s->scrollX + line.indent + controls::AlignOffset(s->doc, line, width) +
                controls::XOnLine(s->doc, *s->fonts, line, pos);
  const int y = area.top + line.top - lines[static_cast<std::size_t>(s->firstLine)].top;
  return {x, y};
}

int RichEditCharFromPos(Hwnd h, Point p) {
  RichState* s = StateOf<RichState>(h);
  return s ? controls::HitTest(h, *s, p) : 0;
}

bool RichEditSetZoom(Hwnd h, int numerator, int denominator) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return false;
  if (numerator == 0 && denominator == 0) {
    s->zoomNum = s->zoomDen = 0;
  } else {
    if (numerator <= 0 || denominator <= 0 || numerator > 64 * denominator ||
        denominator > 64 * numerator)
      return false;
    s->zoomNum = numerator;
    s->zoomDen = denominator;
  }
  controls::Repaint(h);
  return true;
}

std::pair<int, int> RichEditGetZoom(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  return s ? std::pair{s->zoomNum, s->zoomDen} : std::pair{0, 0};
}

bool RichEditCopy(Hwnd h) {
  const RichState* s = StateOf<RichState>(h);
  if (s == nullptr || s->caret == s->anchor) return false;
  const std::string text = RichEditStreamOut(h, RichStream::Plain, true);
  const std::string rtf = RichEditStreamOut(h, RichStream::Rtf, true);
  ClipboardEmpty();
  ClipboardSetData(kClipText, std::vector<std::uint8_t>(text.begin(), text.end()));
  ClipboardSetData(ClipboardRegisterFormat(kRichTextClipFormat),
                   std::vector<std::uint8_t>(rtf.begin(), rtf.end()));
  return true;
}

bool RichEditCut(Hwnd h) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr || s->caret == s->anchor) return false;
  if ((GetStyle(h) & kEsReadOnly) != 0) {
    Beep();
    return false;
  }
  const int a = std::min(s->caret, s->anchor), b = std::max(s->caret, s->anchor);
  if (s->doc.AnyProtected(a, b) && !controls::ProtectionAllows(h, *s, a, b)) {
    Beep();
    return false;
  }
  if (StateOf<RichState>(h) != s || !RichEditCopy(h)) return false;
  // Protection was asked already: the cut itself goes through unasked.
  const unsigned mask = s->mask;
  s->mask &= ~kEnmProtected;
  s->doc.EndUndoGroup();
  const int n = s->doc.ReplacePiece(a, b, PlainPiece({}, s->doc.FormatAt(a)));
  (void)n;
  s->doc.EndUndoGroup();
  s->mask = mask;
  s->caret = s->anchor = a;
  s->modified = true;
  controls::Changed(*s);
  controls::SyncWindowText(h, *s);
  controls::ScrollToCaret(h, *s);
  controls::Repaint(h);
  if ((s->mask & kEnmChange) != 0) controls::NotifyCommand(h, kEnChange);
  controls::NotifySelChange(h, *s);
  return true;
}

bool RichEditCanPaste(bool textOnly) {
  return ClipboardHasFormat(kClipText) ||
         (!textOnly && ClipboardHasFormat(ClipboardRegisterFormat(kRichTextClipFormat)));
}

bool RichEditPaste(Hwnd h, bool textOnly) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return false;
  const unsigned rich = ClipboardRegisterFormat(kRichTextClipFormat);
  if (!textOnly && ClipboardHasFormat(rich)) {
    if ((GetStyle(h) & kEsReadOnly) != 0) {
      Beep();
      return false;
    }
    const int a = std::min(s->caret, s->anchor), b = std::max(s->caret, s->anchor);
    if (!controls::ProtectionAllows(h, *s, a, b)) {
      Beep();
      return false;
    }
    const auto bytes = ClipboardData(rich);
    if (!bytes || StateOf<RichState>(h) != s) return false;
    RichEditStreamIn(h, RichStream::Rtf,
                     std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                     true);
    return true;
  }
  const std::optional<std::string> text = ClipboardText();
  if (!text) return false;
  return controls::UserReplace(h, *s, *text, false);
}

int RichEditStreamIn(Hwnd h, RichStream format, std::string_view data, bool selectionOnly) {
  RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return 0;
  RichPiece piece;
  const CharFormat base = s->doc.DefaultFormat();
  if (format != RichStream::Rtf || !ReadRtf(data, base, piece)) piece = PlainPiece(data, base);
  const int room = selectionOnly ? s->limit - (s->doc.Length() - (std::max(s->caret, s->anchor) -
                                                                  std::min(s->caret, s->anchor)))
                                 : s->limit;
  if (static_cast<int>(piece.text.size()) > room) {
    // Cut to the limit, as the control's own stream does.
    const int keep = std::max(room, 0);
    piece.text.resize(static_cast<std::size_t>(keep));
    int left = keep;
    for (FormatRun& r : piece.runs) {
      r.length = std::min(r.length, left);
      left -= r.length;
    }
    piece.marks.resize(
        static_cast<std::size_t>(std::count(piece.text.begin(), piece.text.end(), '\r')));
  }
  int n = 0;
  if (selectionOnly) {
    const int a = std::min(s->caret, s->anchor), b = std::max(s->caret, s->anchor);
    s->doc.EndUndoGroup();
    n = s->doc.ReplacePiece(a, b, piece);
    s->doc.EndUndoGroup();
    s->caret = s->anchor = a + n;
  } else {
    s->doc.Reset(piece);
    n = s->doc.Length();
    s->caret = s->anchor = 0;
    s->firstLine = s->scrollX = 0;
    s->modified = false;
  }
  controls::Changed(*s);
  controls::SyncWindowText(h, *s);
  controls::Repaint(h);
  if ((s->mask & kEnmChange) != 0) controls::NotifyCommand(h, kEnChange);
  return n;
}

std::string RichEditStreamOut(Hwnd h, RichStream format, bool selectionOnly) {
  const RichState* s = StateOf<RichState>(h);
  if (s == nullptr) return {};
  int a = 0, b = s->doc.Length();
  if (selectionOnly) {
    a = std::min(s->caret, s->anchor);
    b = std::max(s->caret, s->anchor);
  }
  return format == RichStream::Rtf ? WriteRtf(s->doc, a, b) : s->doc.PlainText(a, b);
}

int RichEditFindText(Hwnd h, int a, int b, std::string_view text, unsigned flags) {
  const RichState* s = StateOf<RichState>(h);
  if (s == nullptr || text.empty()) return -1;
  const std::string& t = s->doc.Text();
  const int n = s->doc.Length();
  const bool up = b >= 0 && b < a;
  if (b < 0 || b > n) b = n;
  a = std::clamp(a, 0, n);
  const int len = static_cast<int>(text.size());
  const auto matchAt = [&](int i) {
    if (i < 0 || i + len > n) return false;
    for (int k = 0; k < len; ++k) {
      char x = t[static_cast<std::size_t>(i + k)], y = text[static_cast<std::size_t>(k)];
      if ((flags & kFindMatchCase) == 0) {
        x = static_cast<char>(std::tolower(static_cast<unsigned char>(x)));
        y = static_cast<char>(std::tolower(static_cast<unsigned char>(y)));
      }
      if (x != y) return false;
    }
    if ((flags & kFindWholeWord) != 0) {
      if (i > 0 && controls::IsWordChar(t[static_cast<std::size_t>(i) - 1])) return false;
      if (i + len < n && controls::IsWordChar(t[static_cast<std::size_t>(i + len)])) return false;
    }
    return true;
  };
  if (up) {
    for (int i = a - len; i >= b; --i)
      if (matchAt(i)) return i;
    return -1;
  }
  for (int i = a; i + len <= b; ++i)
    if (matchAt(i)) return i;
  return -1;
}

namespace {

/// Lays characters [A, B) out on PAGE at DPI and, with PAINT, draws what
/// fits; answers the first character that did not fit.
int FormatRange(Hwnd h, controls::LinePainter* paint, Rect page, int dpi, int a, int b) {
  controls::RichState* s = StateOf<controls::RichState>(h);
  if (s == nullptr || dpi <= 0 || page.Empty()) return a;
  const int n = s->doc.Length();
  if (b < 0 || b > n) b = n;
  a = std::clamp(a, 0, b);
  if (a >= b) return b;
  controls::FontCache fonts(dpi / (72.0 * 20.0));
  const std::vector<controls::LineBox> lines = controls::Layout(s->doc, fonts, page.Width());
  int first = controls::LineOfPos(lines, a);
  const int top0 = lines[static_cast<std::size_t>(first)].top;
  int li = first, stop = b;
  for (; li < static_cast<int>(lines.size()); ++li) {
    const controls::LineBox& line = lines[static_cast<std::size_t>(li)];
    if (line.start >= b) break;
    if (line.top - top0 + line.height > page.Height() && li > first) {
      stop = line.start;
      break;
    }
  }
  if (li >= static_cast<int>(lines.size())) stop = b;
  if (paint != nullptr)
    controls::DrawLines(*paint, {page.left, page.top}, page, s->doc, fonts, lines, first,
                        page.Width(), 0, 0, false, stop, a);
  return stop;
}

}  // namespace

int RichEditFormatRange(Hwnd h, Surface* target, Rect page, int dpi, int a, int b, bool render) {
  if (render && target != nullptr) {
    controls::SurfacePainter painter(*target);
    return FormatRange(h, &painter, page, dpi, a, b);
  }
  return FormatRange(h, nullptr, page, dpi, a, b);
}

int RichEditPrintRange(Hwnd h, DrawContext& target, Rect page, int dpi, int a, int b) {
  controls::ContextPainter painter(target);
  return FormatRange(h, &painter, page, dpi, a, b);
}

}  // namespace plat
