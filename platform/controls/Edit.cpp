// Single- and multi-line edit fields (class EDIT). The text is the window
// text; positions are byte offsets into it. Lines end with "\r\n" (a lone
// "\n" also ends a line); the caret never stands between "\r" and "\n".
#include <algorithm>
#include <cctype>

#include "platform/controls/Controls_p.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace controls {
namespace {

struct EditState : ControlState {
  int caret = 0;
  int anchor = 0;   // the other end of the selection
  int scrollX = 0;  // pixels scrolled to the left
  int firstLine = 0;
  bool modified = false;
  int limit = kEditDefaultLimit;
  bool tracking = false;
  bool internal = false;  // our own SetWindowText is running
};

bool Multi(Hwnd h) {
  return (GetStyle(h) & kEsMultiline) != 0;
}

/// Where text lines begin.
std::vector<int> LineStarts(const std::string& t) {
  std::vector<int> starts{0};
  for (std::size_t i = 0; i < t.size(); ++i)
    if (t[i] == '\n') starts.push_back(static_cast<int>(i + 1));
  return starts;
}

int LineOf(const std::vector<int>& starts, int pos) {
  return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), pos) - starts.begin()) - 1;
}

/// The end of line LINE's characters (before its "\r\n" or "\n").
int LineEnd(const std::string& t, const std::vector<int>& starts, int line) {
  const auto next = static_cast<std::size_t>(line) + 1;
  if (next >= starts.size()) return static_cast<int>(t.size());
  int end = starts[next] - 1;  // the "\n"
  if (end > starts[next - 1] && t[static_cast<std::size_t>(end) - 1] == '\r') --end;
  return end;
}

/// Keeps POS inside the text and off the middle of a "\r\n".
int Clean(const std::string& t, int pos) {
  pos = std::clamp(pos, 0, static_cast<int>(t.size()));
  if (pos > 0 && pos < static_cast<int>(t.size()) && t[static_cast<std::size_t>(pos)] == '\n' &&
      t[static_cast<std::size_t>(pos) - 1] == '\r')
    --pos;
  return pos;
}

std::string Shown(Hwnd h, std::string_view s) {
  if ((GetStyle(h) & kEsPassword) != 0) return std::string(s.size(), '*');
  return std::string(s);
}

Rect TextArea(Hwnd h) {
  Rect r = GetClientRect(h);
  const int inset = (GetStyle(h) & kWsBorder) != 0 ? 3 : 1;
  return {r.left + inset, r.top + inset - (Multi(h) ? 0 : 1), r.right - inset,
          r.bottom - inset + (Multi(h) ? 0 : 1)};
}

int VisibleLines(Hwnd h) {
  return std::max(1, TextArea(h).Height() / LineHeight(h));
}

/// X of position POS within its line, relative to the line's start, unscrolled.
int XOf(Hwnd h, const std::string& t, const std::vector<int>& starts, int pos) {
  const int line = LineOf(starts, pos);
  const int from = starts[static_cast<std::size_t>(line)];
  return TextWidth(h, Shown(h, std::string_view(t).substr(static_cast<std::size_t>(from),
                                                          static_cast<std::size_t>(pos - from))));
}

/// Left offset of single-line text for centred and right alignment.
int AlignOffset(Hwnd h, const std::string& t) {
  if (Multi(h)) return 0;
  const unsigned a = GetStyle(h) & 0x3;
  if (a == kEsLeft) return 0;
  const int spare = TextArea(h).Width() - TextWidth(h, Shown(h, t)) - 1;
  if (spare <= 0) return 0;
  return a == kEsCenter ? spare / 2 : spare;
}

/// The position nearest to client point P.
int HitTest(Hwnd h, const EditState& s, Point p) {
  const std::string t = GetWindowText(h);
  const std::vector<int> starts = LineStarts(t);
  const Rect area = TextArea(h);
  int line = Multi(h) ? s.firstLine + (p.y - area.top) / LineHeight(h) : 0;
  if (p.y < area.top && Multi(h)) line = s.firstLine - 1;
  line = std::clamp(line, 0, static_cast<int>(starts.size()) - 1);
  const int from = starts[static_cast<std::size_t>(line)];
  const int to = LineEnd(t, starts, line);
  const int x = p.x - area.left + s.scrollX - AlignOffset(h, t);
  const Font* f = FontOf(h);
  int cur = 0;
  for (int i = from; i < to; ++i) {
    const unsigned char c = (GetStyle(h) & kEsPassword) != 0
                                ? '*'
                                : static_cast<unsigned char>(t[static_cast<std::size_t>(i)]);
    const int adv = f ? f->Advance(c) : 6;
    if (x < cur + adv / 2) return i;
    cur += adv;
  }
  return to;
}

void ScrollToCaret(Hwnd h, EditState& s) {
  const std::string t = GetWindowText(h);
  const std::vector<int> starts = LineStarts(t);
  const Rect area = TextArea(h);
  const int x = XOf(h, t, starts, s.caret);
  const int w = std::max(area.Width() - 1, 1);
  if (x < s.scrollX) s.scrollX = std::max(0, x - w / 4);
  if (x >= s.scrollX + w) s.scrollX = x - w + w / 4;
  if (Multi(h)) {
    const int line = LineOf(starts, s.caret);
    const int visible = VisibleLines(h);
    if (line < s.firstLine) s.firstLine = line;
    if (line >= s.firstLine + visible) s.firstLine = line - visible + 1;
  }
}

void MoveCaret(Hwnd h, EditState& s, int pos, bool extend) {
  const std::string t = GetWindowText(h);
  s.caret = Clean(t, pos);
  if (!extend) s.anchor = s.caret;
  ScrollToCaret(h, s);
  Repaint(h);
}

/// Writes the text ourselves: no reset of the caret.
void StoreText(Hwnd h, EditState& s, const std::string& t) {
  s.internal = true;
  SetWindowText(h, t);
  if (EditState* again = StateOf<EditState>(h)) again->internal = false;
}

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

/// Replaces the selection with INSERT; LIMITED applies the text limit.
/// Returns false when nothing changed.
bool Replace(Hwnd h, EditState& s, std::string insert, bool limited) {
  std::string t = GetWindowText(h);
  const int a = std::min(s.caret, s.anchor), b = std::max(s.caret, s.anchor);
  const unsigned style = GetStyle(h);
  if (!Multi(h)) {
    const std::size_t nl = insert.find_first_of("\r\n");
    if (nl != std::string::npos) insert.resize(nl);
  }
  if ((style & kEsUppercase) != 0)
    for (char& c : insert) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if ((style & kEsLowercase) != 0)
    for (char& c : insert) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (limited) {
    const int room = s.limit - (static_cast<int>(t.size()) - (b - a));
    if (static_cast<int>(insert.size()) > room) {
      insert.resize(static_cast<std::size_t>(std::max(room, 0)));
      if (!insert.empty() && insert.back() == '\r') insert.pop_back();
      NotifyCommand(h, kEnMaxText);
      if (StateOf<EditState>(h) != &s) return false;
      if (insert.empty() && a == b) {
        Beep();
        return false;
      }
    }
  }
  if (insert.empty() && a == b) return false;
  t.replace(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a), insert);
  s.caret = s.anchor = a + static_cast<int>(insert.size());
  s.modified = true;
  StoreText(h, s, t);
  ScrollToCaret(h, s);
  Repaint(h);
  NotifyCommand(h, kEnChange);
  return true;
}

/// The position one character left or right of POS, a "\r\n" counting as one.
int Step(const std::string& t, int pos, int dir) {
  if (dir < 0) {
    if (pos <= 0) return 0;
    if (pos >= 2 && t[static_cast<std::size_t>(pos) - 1] == '\n' &&
        t[static_cast<std::size_t>(pos) - 2] == '\r')
      return pos - 2;
    return pos - 1;
  }
  if (pos >= static_cast<int>(t.size())) return pos;
  if (t[static_cast<std::size_t>(pos)] == '\r' && pos + 1 < static_cast<int>(t.size()) &&
      t[static_cast<std::size_t>(pos) + 1] == '\n')
    return pos + 2;
  return pos + 1;
}

int WordStep(const std::string& t, int pos, int dir) {
  const int n = static_cast<int>(t.size());
  if (dir < 0) {
    while (pos > 0 && !IsWordChar(t[static_cast<std::size_t>(pos) - 1])) --pos;
    while (pos > 0 && IsWordChar(t[static_cast<std::size_t>(pos) - 1])) --pos;
  } else {
    while (pos < n && IsWordChar(t[static_cast<std::size_t>(pos)])) ++pos;
    while (pos < n && !IsWordChar(t[static_cast<std::size_t>(pos)])) ++pos;
  }
  return pos;
}

/// The position on line LINE nearest to pixel X (unscrolled).
int PosAtX(Hwnd h, const std::string& t, const std::vector<int>& starts, int line, int x) {
  line = std::clamp(line, 0, static_cast<int>(starts.size()) - 1);
  const int from = starts[static_cast<std::size_t>(line)], to = LineEnd(t, starts, line);
  int cur = 0;
  for (int i = from; i < to; ++i) {
    const int adv =
        TextWidth(h, Shown(h, std::string_view(t).substr(static_cast<std::size_t>(i), 1)));
    if (x < cur + adv / 2) return i;
    cur += adv;
  }
  return to;
}

void KeyDown(Hwnd h, EditState& s, int vk) {
  const bool shift = IsKeyDown(kVkShift), ctrl = IsKeyDown(kVkControl);
  const std::string t = GetWindowText(h);
  const std::vector<int> starts = LineStarts(t);
  const int line = LineOf(starts, s.caret);
  switch (vk) {
    case kVkLeft:
      if (!shift && s.caret != s.anchor)
        MoveCaret(h, s, std::min(s.caret, s.anchor), false);
      else
        MoveCaret(h, s, ctrl ? WordStep(t, s.caret, -1) : Step(t, s.caret, -1), shift);
      break;
    case kVkRight:
      if (!shift && s.caret != s.anchor)
        MoveCaret(h, s, std::max(s.caret, s.anchor), false);
      else
        MoveCaret(h, s, ctrl ? WordStep(t, s.caret, 1) : Step(t, s.caret, 1), shift);
      break;
    case kVkHome:
      MoveCaret(h, s, ctrl ? 0 : starts[static_cast<std::size_t>(line)], shift);
      break;
    case kVkEnd:
      MoveCaret(h, s, ctrl ? static_cast<int>(t.size()) : LineEnd(t, starts, line), shift);
      break;
    case kVkUp:
    case kVkDown:
    case kVkPrior:
    case kVkNext: {
      if (!Multi(h)) break;
      const int page = VisibleLines(h);
      const int delta = vk == kVkUp ? -1 : vk == kVkDown ? 1 : vk == kVkPrior ? -page : page;
      const int target = line + delta;
      if (target < 0) {
        MoveCaret(h, s, 0, shift);
      } else if (target >= static_cast<int>(starts.size())) {
        MoveCaret(h, s, static_cast<int>(t.size()), shift);
      } else {
        MoveCaret(h, s, PosAtX(h, t, starts, target, XOf(h, t, starts, s.caret)), shift);
      }
      break;
    }
    case kVkDelete:
      if ((GetStyle(h) & kEsReadOnly) != 0) {
        Beep();
        break;
      }
      if (s.caret == s.anchor) s.anchor = Step(t, s.caret, 1);
      Replace(h, s, {}, false);
      break;
    case 'A':
      if (ctrl) {
        s.anchor = 0;
        MoveCaret(h, s, static_cast<int>(t.size()), true);
      }
      break;
    default:
      break;
  }
}

void Char(Hwnd h, EditState& s, std::uint32_t ch) {
  if (ch == '\t' || ch == 0x1B || ch == 0x7F) return;
  if (ch < 0x20 && ch != '\b' && ch != '\r') return;  // Ctrl combinations
  if ((GetStyle(h) & kEsReadOnly) != 0) {
    Beep();
    return;
  }
  if (ch == '\r') {
    if (Multi(h)) Replace(h, s, "\r\n", true);
    return;
  }
  if (ch == '\b') {
    if (s.caret == s.anchor) s.anchor = Step(GetWindowText(h), s.caret, -1);
    Replace(h, s, {}, false);
    return;
  }
  if (ch > 0xFF) return;
  if ((GetStyle(h) & kEsNumber) != 0 && (ch < '0' || ch > '9')) {
    Beep();
    return;
  }
  Replace(h, s, std::string(1, static_cast<char>(ch)), true);
}

void PaintEdit(Hwnd h, const EditState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const unsigned style = GetStyle(h);
  const bool enabled = IsWindowEnabled(h);
  const bool focused = GetFocus() == h;
  const Rect c = p.Client();
  // A read-only or disabled edit asks for its colours as a static does.
  const bool writable = enabled && (style & kEsReadOnly) == 0;
  const ControlColours colours =
      writable ? AskColours(h, Msg::CtlColourEdit, kColourText, kColourWindow)
               : AskColours(h, Msg::CtlColourStatic, kColourText, kColourFace);
  p.Fill(c, colours.background);
  if ((style & kWsBorder) != 0) p.DrawBevel(c, Bevel::Sunken);
  const Rect area = TextArea(h);
  const std::string t = GetWindowText(h);
  const std::vector<int> starts = LineStarts(t);
  const int lh = LineHeight(h);
  const int selA = std::min(s.caret, s.anchor), selB = std::max(s.caret, s.anchor);
  const bool showSel = selA != selB && (focused || (style & kEsNoHideSel) != 0);
  const int x0 = area.left - s.scrollX + AlignOffset(h, t);
  const int first = Multi(h) ? s.firstLine : 0;
  const int ytop = Multi(h) ? area.top : area.top + (area.Height() - lh) / 2;
  for (int line = first; line < static_cast<int>(starts.size()); ++line) {
    const int y = ytop + (line - first) * lh;
    if (y >= area.bottom) break;
    const int from = starts[static_cast<std::size_t>(line)], to = LineEnd(t, starts, line);
    const std::string shown =
        Shown(h, std::string_view(t).substr(static_cast<std::size_t>(from),
                                            static_cast<std::size_t>(to - from)));
    const Pixel ink = enabled ? colours.text : kColourGreyText;
    p.TextAt({x0, y}, shown, ink, area);
    const int a = std::clamp(selA, from, to), b = std::clamp(selB, from, to);
    if (showSel && a < b) {
      const int xa = x0 + TextWidth(h, shown.substr(0, static_cast<std::size_t>(a - from)));
      const int xb = x0 + TextWidth(h, shown.substr(0, static_cast<std::size_t>(b - from)));
      const Rect sel = Rect{xa, y, xb, y + lh}.Intersect(area);
      p.Fill(sel, kColourSelection);
      p.TextAt({xa, y},
               shown.substr(static_cast<std::size_t>(a - from), static_cast<std::size_t>(b - a)),
               kColourSelectionText, sel);
    }
  }
  if (focused) {
    const int line = LineOf(starts, s.caret);
    const int y = ytop + (line - first) * lh;
    const int x = x0 + XOf(h, t, starts, s.caret);
    p.Fill(Rect{x, y, x + 1, y + lh}.Intersect(area), kColourText);
  }
}

}  // namespace

LResult EditProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](EditState* s) -> std::optional<LResult> {
    switch (m) {
      case Msg::Create:
        s->limit = kEditDefaultLimit;
        return 0;
      case Msg::SetText:
        if (!s->internal) {
          s->caret = s->anchor = 0;
          s->scrollX = 0;
          s->firstLine = 0;
          s->modified = false;
          Repaint(h);
          NotifyCommand(h, kEnChange);
        }
        return 0;
      case Msg::LButtonDown: {
        if (GetFocus() != h) SetFocus(h);
        s = StateOf<EditState>(h);
        if (s == nullptr) return 0;
        SetCapture(h);
        s->tracking = true;
        MoveCaret(h, *s, HitTest(h, *s, LParamToPoint(l)), IsKeyDown(kVkShift));
        return 0;
      }
      case Msg::MouseMove:
        if (s->tracking) MoveCaret(h, *s, HitTest(h, *s, LParamToPoint(l)), true);
        return 0;
      case Msg::LButtonUp:
        if (s->tracking) {
          s->tracking = false;
          ReleaseCapture();
        }
        return 0;
      case Msg::CaptureChanged:
        if (static_cast<Hwnd>(l) != h) s->tracking = false;
        return 0;
      case Msg::LButtonDblClk: {
        const std::string t = GetWindowText(h);
        int a = HitTest(h, *s, LParamToPoint(l)), b = a;
        while (a > 0 && IsWordChar(t[static_cast<std::size_t>(a) - 1])) --a;
        while (b < static_cast<int>(t.size()) && IsWordChar(t[static_cast<std::size_t>(b)])) ++b;
        s->anchor = a;
        MoveCaret(h, *s, b, true);
        return 0;
      }
      case Msg::MouseWheel:
        if (!Multi(h)) return DefWindowProc(h, m, w, l);
        s->firstLine =
            std::clamp(s->firstLine - SignedHigh(w) / 40, 0, std::max(0, EditGetLineCount(h) - 1));
        Repaint(h);
        return 0;
      case Msg::KeyDown:
        KeyDown(h, *s, static_cast<int>(w));
        return 0;
      case Msg::Char:
        Char(h, *s, static_cast<std::uint32_t>(w));
        return 0;
      case Msg::SetFocus:
        Repaint(h);
        NotifyCommand(h, kEnSetFocus);
        return 0;
      case Msg::KillFocus:
        Repaint(h);
        NotifyCommand(h, kEnKillFocus);
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<EditState>(h, m, w, l, kRepaintOnEnable | kRepaintOnSize, PaintEdit, handle);
}

}  // namespace controls

using controls::EditState;
using controls::StateOf;

void EditSetSel(Hwnd h, int start, int end) {
  EditState* s = StateOf<EditState>(h);
  if (s == nullptr) return;
  const std::string t = GetWindowText(h);
  const int n = static_cast<int>(t.size());
  if (start < 0) {
    s->anchor = s->caret;
  } else {
    if (end < 0 || end > n) end = n;
    s->anchor = controls::Clean(t, std::min(start, n));
    s->caret = controls::Clean(t, end);
  }
  controls::ScrollToCaret(h, *s);
  controls::Repaint(h);
}

std::pair<int, int> EditGetSel(Hwnd h) {
  const EditState* s = StateOf<EditState>(h);
  if (s == nullptr) return {0, 0};
  return {std::min(s->caret, s->anchor), std::max(s->caret, s->anchor)};
}

void EditReplaceSel(Hwnd h, std::string_view text) {
  if (EditState* s = StateOf<EditState>(h)) controls::Replace(h, *s, std::string(text), false);
}

void EditSetLimit(Hwnd h, int limit) {
  if (EditState* s = StateOf<EditState>(h)) s->limit = limit > 0 ? limit : kEditDefaultLimit;
}

int EditGetLimit(Hwnd h) {
  const EditState* s = StateOf<EditState>(h);
  return s ? s->limit : 0;
}

void EditSetModify(Hwnd h, bool modified) {
  if (EditState* s = StateOf<EditState>(h)) s->modified = modified;
}

bool EditGetModify(Hwnd h) {
  const EditState* s = StateOf<EditState>(h);
  return s != nullptr && s->modified;
}

void EditSetReadOnly(Hwnd h, bool readOnly) {
  if (StateOf<EditState>(h) == nullptr) return;
  const unsigned style = GetStyle(h);
  SetStyle(h, readOnly ? style | kEsReadOnly : style & ~kEsReadOnly);
  controls::Repaint(h);
}

void EditScrollCaret(Hwnd h) {
  if (EditState* s = StateOf<EditState>(h)) {
    controls::ScrollToCaret(h, *s);
    controls::Repaint(h);
  }
}

int EditGetLineCount(Hwnd h) {
  if (StateOf<EditState>(h) == nullptr) return 0;
  if (!controls::Multi(h)) return 1;
  return static_cast<int>(controls::LineStarts(GetWindowText(h)).size());
}

int EditGetFirstVisibleLine(Hwnd h) {
  const EditState* s = StateOf<EditState>(h);
  return s ? s->firstLine : 0;
}

}  // namespace plat
