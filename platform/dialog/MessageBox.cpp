// The message box: see MessageBox.h.
#include "platform/dialog/MessageBox.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/controls/Controls_p.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 8;

std::vector<MessageBoxRecord>& Log() {
  static std::vector<MessageBoxRecord> log;
  return log;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

/// The button Escape presses; Failed when Escape does nothing.
MessageBoxResult EscapeAnswer(const std::vector<MessageBoxResult>& row) {
  if (row.size() == 1) return row.front();
  return std::find(row.begin(), row.end(), MessageBoxResult::Cancel) != row.end()
             ? MessageBoxResult::Cancel
             : MessageBoxResult::Failed;
}

/// A scripted answer read as a button of ROW (Failed when it names none).
MessageBoxResult ScriptedButton(std::string_view answer, const std::vector<MessageBoxResult>& row,
                                int defaultPos) {
  if (SameNoCase(answer, "Enter")) return row[static_cast<std::size_t>(defaultPos)];
  if (SameNoCase(answer, "Escape")) return EscapeAnswer(row);
  for (MessageBoxResult b : row)
    if (SameNoCase(answer, MessageBoxButtonName(b))) return b;
  return MessageBoxResult::Failed;
}

struct BoxState : WindowExtra {
  std::vector<std::string> lines;
  MessageBoxIcon icon = MessageBoxIcon::None;
  std::vector<MessageBoxResult> row;
  std::vector<Hwnd> buttons;
  int focus = 0;
};

BoxState* Box(Hwnd h) {
  return dynamic_cast<BoxState*>(GetWindowExtra(h));
}

void PaintIcon(controls::Painter& p, MessageBoxIcon icon) {
  const Rect r{kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize};
  Canvas& c = p.GetCanvas();
  c.SetPen(Pen::Solid(kColourDarkShadow));
  switch (icon) {
    case MessageBoxIcon::Stop:
      c.SetBrush(Brush::Solid(Rgb(255, 0, 0)));
      c.Ellipse(r);
      c.SetPen(Pen::Solid(kColourWindow, 4));
      c.MoveTo({r.left + 10, r.top + 10});
      c.LineTo({r.right - 10, r.bottom - 10});
      c.MoveTo({r.right - 10, r.top + 10});
      c.LineTo({r.left + 10, r.bottom - 10});
      return;
    case MessageBoxIcon::Exclamation: {
      c.SetBrush(Brush::Solid(Rgb(255, 255, 0)));
      const Point tri[] = {
          {r.left + kIconSize / 2, r.top}, {r.right - 1, r.bottom - 2}, {r.left, r.bottom - 2}};
      c.Polygon(tri);
      p.Text({r.left, r.top + 8, r.right, r.bottom}, "!", controls::Align::Centre, kColourText);
      return;
    }
    case MessageBoxIcon::Question:
    case MessageBoxIcon::Information:
      c.SetBrush(Brush::Solid(kColourWindow));
      c.Ellipse(r);
      p.Text(r, icon == MessageBoxIcon::Question ? "?" : "i", controls::Align::Centre,
             Rgb(0, 0, 255));
      return;
    case MessageBoxIcon::None:
      return;
  }
}

void Focus(Hwnd h, BoxState& s, int i) {
  if (s.buttons.empty()) return;
  const int n = static_cast<int>(s.buttons.size());
  s.focus = (i % n + n) % n;
  for (int k = 0; k < n; ++k)
    ButtonSetStyle(s.buttons[static_cast<std::size_t>(k)],
                   (k == s.focus ? kBsDefPushButton : kBsPushButton) | kWsTabStop);
  SetFocus(s.buttons[static_cast<std::size_t>(s.focus)]);
  (void)h;
}

LResult BoxProc(Hwnd h, Msg m, WParam w, LParam l) {
  BoxState* s = Box(h);
  switch (m) {
    case Msg::Paint: {
      controls::Painter p(h);
      if (!p.Ok() || s == nullptr) return 0;
      p.Fill(p.Client(), kColourFace);
      PaintIcon(p, s->icon);
      const int x = s->icon == MessageBoxIcon::None ? kMargin : 2 * kMargin + kIconSize;
      const int lh = controls::LineHeight(h);
      int y = kMargin + 2;
      for (const std::string& line : s->lines) {
        p.TextAt({x, y}, line, kColourText, p.Client());
        y += lh;
      }
      return 0;
    }
    case Msg::EraseBackground:
      return 1;
    case Msg::Command:
      if (s != nullptr && plat::HighWord(w) == kBnClicked) EndModalLoop(h, plat::LowWord(w));
      return 0;
    case Msg::Close:
      if (s != nullptr) {
        const MessageBoxResult esc = EscapeAnswer(s->row);
        if (esc != MessageBoxResult::Failed) EndModalLoop(h, static_cast<int>(esc));
      }
      return 0;
    default:
      return DefWindowProc(h, m, w, l);
  }
}

/// Keys of the box, taken before they reach the focused button.
bool BoxKey(Hwnd box, const Message& m) {
  BoxState* s = Box(box);
  if (s == nullptr || (m.hwnd != box && !IsChild(box, m.hwnd))) return false;
  if (m.msg == Msg::KeyDown || m.msg == Msg::SysKeyDown) {
    switch (static_cast<int>(m.wParam)) {
      case kVkReturn:
        EndModalLoop(box, static_cast<int>(s->row[static_cast<std::size_t>(s->focus)]));
        return true;
      case kVkEscape: {
        const MessageBoxResult esc = EscapeAnswer(s->row);
        if (esc != MessageBoxResult::Failed) EndModalLoop(box, static_cast<int>(esc));
        return true;
      }
      case kVkLeft:
      case kVkUp:
        Focus(box, *s, s->focus - 1);
        return true;
      case kVkRight:
      case kVkDown:
        Focus(box, *s, s->focus + 1);
        return true;
      case kVkTab:
        Focus(box, *s, s->focus + (IsKeyDown(kVkShift) ? -1 : 1));
        return true;
      default:
        return false;
    }
  }
  if (m.msg == Msg::Char || m.msg == Msg::SysChar) {
    const int ch = std::toupper(static_cast<int>(m.wParam & 0xFF));
    for (MessageBoxResult b : s->row) {
      if (std::toupper(static_cast<unsigned char>(MessageBoxButtonName(b)[0])) == ch) {
        EndModalLoop(box, static_cast<int>(b));
        return true;
      }
    }
    return m.wParam != ' ';
  }
  return false;
}

/// Shows the box window and runs its loop.
MessageBoxResult RunBox(const MessageBoxParams& params, const std::vector<MessageBoxResult>& row,
                        int defaultPos) {
  if (!IsClassRegistered(kMessageBoxClass) &&
      !RegisterWindowClass({std::string(kMessageBoxClass), BoxProc, 0, kColourFace}))
    return MessageBoxResult::Failed;
  if (!IsClassRegistered(kButtonClass) && !RegisterControls()) return MessageBoxResult::Failed;

  auto state = std::make_unique<BoxState>();
  state->lines = SplitLines(params.text);
  state->icon = params.icon;
  state->row = row;
  const auto font = DefaultControlFont();
  const int lh = font ? font->Metrics().height : 13;
  int textWidth = 0;
  for (const std::string& line : state->lines)
    textWidth = std::max(textWidth, font ? font->TextWidth(line) : 0);
  const bool icon = params.icon != MessageBoxIcon::None;
  const int textLeft = icon ? 2 * kMargin + kIconSize : kMargin;
  const int n = static_cast<int>(row.size());
  const int rowWidth = n * kButtonWidth + (n - 1) * kButtonGap;
  const int width = std::max({textLeft + textWidth + kMargin, rowWidth + 2 * kMargin, 160});
  const int textHeight = std::max(static_cast<int>(state->lines.size()) * lh, icon ? kIconSize : 0);
  const int buttonsTop = kMargin + textHeight + 16;
  const int height = buttonsTop + kButtonHeight + kMargin;

  const Size screen = ScreenSize();
  Rect around{0, 0, screen.width, screen.height};
  if (IsWindowVisible(params.owner)) {
    const Point o = ClientToScreen(params.owner, {0, 0});
    const Rect c = GetClientRect(params.owner);
    around = c.Offset(o.x, o.y);
  }
  const int x = around.left + (around.Width() - width) / 2;
  const int y = around.top + (around.Height() - height) / 2;

  CreateParams cp;
  cp.className = kMessageBoxClass;
  cp.title = params.caption;
  cp.style = kStylePopup;
  cp.rect = {x, y, x + width, y + height};
  cp.owner = params.owner == kNoWindow ? kNoWindow : GetTopLevel(params.owner);
  const Hwnd box = CreateWindow(cp);
  if (box == kNoWindow) return MessageBoxResult::Failed;
  BoxState* s = state.get();
  SetWindowExtra(box, std::move(state));
  const int left = (width - rowWidth) / 2;
  for (int i = 0; i < n; ++i) {
    CreateParams bp;
    bp.className = kButtonClass;
    bp.title = MessageBoxButtonName(row[static_cast<std::size_t>(i)]);
    bp.style = kStyleChild | kStyleVisible | kWsTabStop | kBsPushButton;
    bp.rect = {left + i * (kButtonWidth + kButtonGap), buttonsTop,
               left + i * (kButtonWidth + kButtonGap) + kButtonWidth, buttonsTop + kButtonHeight};
    bp.parent = box;
    bp.id = static_cast<int>(row[static_cast<std::size_t>(i)]);
    s->buttons.push_back(CreateWindow(bp));
  }

  const Hwnd owner = cp.owner;
  const bool ownerWasEnabled = owner != kNoWindow && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, false);
  ShowWindow(box, ShowCmd::Show);
  Focus(box, *s, defaultPos);
  const int result = RunModalLoop(box, [box](Message& m) { return BoxKey(box, m); });
  if (ownerWasEnabled) EnableWindow(owner, true);
  DestroyWindow(box);
  if (owner != kNoWindow && IsWindow(owner)) SetActiveWindow(owner);
  switch (result) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
      return static_cast<MessageBoxResult>(result);
    default:
      return MessageBoxResult::Failed;
  }
}

}  // namespace

std::vector<MessageBoxResult> MessageBoxButtonRow(MessageBoxButtons buttons) {
  using R = MessageBoxResult;
  switch (buttons) {
    case MessageBoxButtons::OkCancel:
      return {R::Ok, R::Cancel};
    case MessageBoxButtons::RetryCancel:
      return {R::Retry, R::Cancel};
    case MessageBoxButtons::YesNo:
      return {R::Yes, R::No};
    case MessageBoxButtons::YesNoCancel:
      return {R::Yes, R::No, R::Cancel};
    case MessageBoxButtons::AbortRetryIgnore:
      return {R::Abort, R::Retry, R::Ignore};
    case MessageBoxButtons::Ok:
      break;
  }
  return {R::Ok};
}

std::string_view MessageBoxButtonName(MessageBoxResult button) {
  switch (button) {
    case MessageBoxResult::Ok:
      return "OK";
    case MessageBoxResult::Cancel:
      return "Cancel";
    case MessageBoxResult::Abort:
      return "Abort";
    case MessageBoxResult::Retry:
      return "Retry";
    case MessageBoxResult::Ignore:
      return "Ignore";
    case MessageBoxResult::Yes:
      return "Yes";
    case MessageBoxResult::No:
      return "No";
    case MessageBoxResult::Failed:
      break;
  }
  return "";
}

MessageBoxResult MessageBox(const MessageBoxParams& params) {
  const std::vector<MessageBoxResult> row = MessageBoxButtonRow(params.buttons);
  const int defaultPos =
      params.defaultButton >= 0 && params.defaultButton < static_cast<int>(row.size())
          ? params.defaultButton
          : 0;
  MessageBoxRecord record{params.caption, params.text, params.buttons,
                          params.icon,    defaultPos,  MessageBoxResult::Failed};
  Backend* backend = GetBackend();
  std::optional<std::string> answer;
  if (backend != nullptr) answer = backend->ScriptedAnswer("messagebox");
  if (answer) {
    record.answer = ScriptedButton(*answer, row, defaultPos);
  } else if (backend == nullptr || !backend->CanWait()) {
    // Nobody can answer: say what the box says and take its default.
    std::string text;
    for (const std::string& line : SplitLines(params.text))
      text += (text.empty() ? "" : "\n") + line;
    std::fprintf(stderr, "%s: %s\n", params.caption.c_str(), text.c_str());
    std::fflush(stderr);
    record.answer = row[static_cast<std::size_t>(defaultPos)];
  } else {
    record.answer = RunBox(params, row, defaultPos);
  }
  Log().push_back(record);
  return record.answer;
}

const std::vector<MessageBoxRecord>& MessageBoxLog() {
  return Log();
}

void ClearMessageBoxLog() {
  Log().clear();
}

}  // namespace plat
