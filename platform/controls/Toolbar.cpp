// The toolbar (class ToolbarWindow32) with buttons from one bitmap strip,
// and the tooltip window (class tooltips_class32) it shows.
#include <algorithm>

#include "platform/controls/Controls_p.h"

namespace plat {
namespace controls {
namespace {

constexpr int kSeparator = 8;
constexpr std::uintptr_t kHoverTimer = 1;  // the mouse rests: show the tooltip
constexpr std::uintptr_t kLeaveTimer = 2;  // the tooltip shows: watch for the mouse leaving
constexpr std::uint32_t kLeaveCheckMs = 100;
constexpr std::size_t kTooltipChars = 79;

struct ToolbarState : ControlState {
  std::shared_ptr<const Surface> strip;
  Size image{16, 16};
  std::vector<ToolbarButton> buttons;
  int hot = -1;      // under the mouse
  int pressed = -1;  // the mouse went down on it
  bool inside = false;
  int hover = -1;  // waiting for the tooltip
  Hwnd tooltip = kNoWindow;
};

bool Vertical(Hwnd h) {
  return (GetStyle(h) & kCcsVert) != 0;
}

Size ButtonSizeOf(const ToolbarState& s) {
  return {s.image.width + 7, s.image.height + 6};
}

Rect ButtonRect(Hwnd h, const ToolbarState& s, int index) {
  const Size b = ButtonSizeOf(s);
  const bool vert = Vertical(h);
  const int width = vert ? std::max(GetClientRect(h).Width(), 1) : b.width;
  int pos = 0;
  for (int i = 0; i <= index && i < static_cast<int>(s.buttons.size()); ++i) {
    const bool sep = s.buttons[static_cast<std::size_t>(i)].command == 0;
    const int len = sep ? kSeparator : (vert ? b.height : b.width);
    if (i == index) {
      if (vert) return {0, pos, width, pos + len};
      return {pos, 0, pos + len, b.height};
    }
    pos += len;
  }
  return {};
}

int ButtonAt(Hwnd h, const ToolbarState& s, Point p) {
  for (int i = 0; i < static_cast<int>(s.buttons.size()); ++i)
    if (s.buttons[static_cast<std::size_t>(i)].command != 0 && ButtonRect(h, s, i).Contains(p))
      return i;
  return -1;
}

int IndexOf(const ToolbarState& s, int command) {
  if (command == 0) return -1;
  for (int i = 0; i < static_cast<int>(s.buttons.size()); ++i)
    if (s.buttons[static_cast<std::size_t>(i)].command == command) return i;
  return -1;
}

void HideTooltip(Hwnd h, ToolbarState& s) {
  KillTimer(h, kLeaveTimer);
  if (s.tooltip != kNoWindow) ShowWindow(s.tooltip, ShowCmd::Hide);
}

/// Asks the parent for button I's tooltip and shows it below the button.
void ShowTooltip(Hwnd h, ToolbarState& s, int i) {
  TooltipTextNotify note;
  note.hdr.from = h;
  note.hdr.id = s.buttons[static_cast<std::size_t>(i)].command;
  note.hdr.code = kTtnGetDispInfo;
  if (const Hwnd parent = GetParent(h); parent != kNoWindow)
    SendMessage(parent, Msg::Notify, static_cast<WParam>(note.hdr.id),
                reinterpret_cast<LParam>(&note.hdr));
  ToolbarState* again = StateOf<ToolbarState>(h);
  if (again != &s || note.text.empty()) return;
  if (note.text.size() > kTooltipChars) note.text.resize(kTooltipChars);
  const Rect b = ButtonRect(h, s, i);
  const Point at = ClientToScreen(h, {b.left + 4, b.bottom + 2});
  const Rect r{at.x, at.y, at.x + TextWidth(h, note.text) + 8, at.y + LineHeight(h) + 4};
  if (s.tooltip == kNoWindow) {
    CreateParams cp;
    cp.className = kTooltipClass;
    cp.style = kStylePopup;
    cp.rect = r;
    cp.owner = h;
    s.tooltip = CreateWindow(cp);
    if (s.tooltip == kNoWindow) return;
  }
  SetWindowText(s.tooltip, note.text);
  MoveWindow(s.tooltip, r);
  ShowWindow(s.tooltip, ShowCmd::ShowNoActivate);
  BringToTop(s.tooltip);
  SetTimer(h, kLeaveTimer, kLeaveCheckMs);
}

/// Whether the mouse still rests on button I.
bool MouseOn(Hwnd h, const ToolbarState& s, int i) {
  const Point screen = CursorPos();
  return WindowFromPoint(screen) == h && ButtonAt(h, s, ScreenToClient(h, screen)) == i;
}

void SetHot(Hwnd h, ToolbarState& s, int i) {
  if (s.hot == i) return;
  s.hot = i;
  Repaint(h);
}

void PaintToolbar(Hwnd h, const ToolbarState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  p.Fill(p.Client(), kColourFace);
  const bool flat = (GetStyle(h) & kTbStyleFlat) != 0;
  const bool enabledBar = IsWindowEnabled(h);
  for (int i = 0; i < static_cast<int>(s.buttons.size()); ++i) {
    const ToolbarButton& b = s.buttons[static_cast<std::size_t>(i)];
    const Rect r = ButtonRect(h, s, i);
    if (b.command == 0) {
      if (Vertical(h))
        p.DrawBevel({r.left + 2, r.top + 3, r.right - 2, r.top + 5}, Bevel::ThinSunken);
      else
        p.DrawBevel({r.left + 3, r.top + 2, r.left + 5, r.bottom - 2}, Bevel::ThinSunken);
      continue;
    }
    const bool enabled = b.enabled && enabledBar;
    const bool down = enabled && s.pressed == i && s.inside;
    if (b.checked && !down) {
      p.GetCanvas().FillRect(r, Brush::Halftone(kColourHighlight3d, kColourFace));
      p.DrawBevel(r, flat ? Bevel::ThinSunken : Bevel::Sunken);
    } else if (down) {
      p.DrawBevel(r, flat ? Bevel::ThinSunken : Bevel::Pushed);
    } else if (!flat) {
      p.DrawBevel(r, Bevel::Raised);
    } else if (enabled && s.hot == i) {
      p.DrawBevel(r, Bevel::ThinRaised);
    }
    if (!s.strip) continue;
    const Rect src{b.image * s.image.width, 0, (b.image + 1) * s.image.width, s.image.height};
    const int shift = down || b.checked ? 1 : 0;
    const Point at{r.left + (r.Width() - s.image.width) / 2 + shift,
                   r.top + (r.Height() - s.image.height) / 2 + shift};
    p.Image(*s.strip, src, at, r, s.strip->Get(0, 0), !enabled);
  }
}

}  // namespace

LResult ToolbarProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](ToolbarState* s) -> std::optional<LResult> {
    switch (m) {
      case Msg::MouseMove: {
        const int i = ButtonAt(h, *s, LParamToPoint(l));
        if (s->pressed >= 0) {
          const bool inside = i == s->pressed;
          if (inside != s->inside) {
            s->inside = inside;
            Repaint(h);
          }
          return 0;
        }
        SetHot(h, *s, i);
        if ((GetStyle(h) & kTbStyleTooltips) != 0 && i != s->hover) {
          s->hover = i;
          HideTooltip(h, *s);
          if (i >= 0)
            SetTimer(h, kHoverTimer, kTooltipDelayMs);
          else
            KillTimer(h, kHoverTimer);
        }
        return 0;
      }
      case Msg::LButtonDown:
      case Msg::LButtonDblClk: {
        HideTooltip(h, *s);
        KillTimer(h, kHoverTimer);
        const int i = ButtonAt(h, *s, LParamToPoint(l));
        if (i < 0 || !s->buttons[static_cast<std::size_t>(i)].enabled) return 0;
        s->pressed = i;
        s->inside = true;
        SetCapture(h);
        Repaint(h);
        return 0;
      }
      case Msg::LButtonUp: {
        if (s->pressed < 0) return 0;
        const int i = s->pressed;
        const bool inside = ButtonAt(h, *s, LParamToPoint(l)) == i;
        s->pressed = -1;
        ReleaseCapture();
        Repaint(h);
        s = StateOf<ToolbarState>(h);
        if (s == nullptr || !inside || i >= static_cast<int>(s->buttons.size())) return 0;
        ToolbarButton& b = s->buttons[static_cast<std::size_t>(i)];
        if (!b.enabled) return 0;
        if (b.checkable) b.checked = !b.checked;
        const int command = b.command;
        if (const Hwnd parent = GetParent(h); parent != kNoWindow)
          SendMessage(parent, Msg::Command, MakeWParam(command, kBnClicked),
                      static_cast<LParam>(h));
        return 0;
      }
      case Msg::CaptureChanged:
        if (static_cast<Hwnd>(l) != h && s->pressed >= 0) {
          s->pressed = -1;
          Repaint(h);
        }
        return 0;
      case Msg::Timer:
        if (w == kHoverTimer) {
          KillTimer(h, kHoverTimer);
          if (s->hover >= 0 && s->pressed < 0 && MouseOn(h, *s, s->hover))
            ShowTooltip(h, *s, s->hover);
        } else if (w == kLeaveTimer && !MouseOn(h, *s, s->hover)) {
          HideTooltip(h, *s);
          s->hover = -1;
          SetHot(h, *s, -1);
        }
        return 0;
      case Msg::Destroy:
        if (s->tooltip != kNoWindow) DestroyWindow(s->tooltip);
        s->tooltip = kNoWindow;
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<ToolbarState>(h, m, w, l, kRepaintOnEnable | kRepaintOnSize, PaintToolbar,
                                   handle);
}

LResult TooltipProc(Hwnd h, Msg m, WParam w, LParam l) {
  switch (m) {
    case Msg::Paint: {
      Painter p(h);
      if (!p.Ok()) return 0;
      const Rect c = p.Client();
      p.Fill(c, kColourTooltip);
      p.Frame(c, kColourDarkShadow);
      p.Text({c.left + 4, c.top, c.right - 2, c.bottom}, GetWindowText(h), Align::Left,
             kColourText);
      return 0;
    }
    case Msg::EraseBackground:
      return 1;
    case Msg::SetText:
      Repaint(h);
      return 0;
    case Msg::NcHitTest:
      return kHtTransparent;
    default:
      return DefWindowProc(h, m, w, l);
  }
}

ToolbarState* Toolbar(Hwnd h) {
  return StateOf<ToolbarState>(h);
}

}  // namespace controls

using controls::IndexOf;
using controls::Toolbar;
using controls::ToolbarState;

void ToolbarSetBitmap(Hwnd h, std::shared_ptr<const Surface> strip, Size imageSize) {
  if (ToolbarState* s = Toolbar(h)) {
    s->strip = std::move(strip);
    s->image = {std::max(imageSize.width, 1), std::max(imageSize.height, 1)};
    controls::Repaint(h);
  }
}

void ToolbarAddButtons(Hwnd h, std::span<const ToolbarButton> buttons) {
  if (ToolbarState* s = Toolbar(h)) {
    s->buttons.insert(s->buttons.end(), buttons.begin(), buttons.end());
    controls::Repaint(h);
  }
}

void ToolbarDeleteAll(Hwnd h) {
  if (ToolbarState* s = Toolbar(h)) {
    s->buttons.clear();
    s->hot = s->pressed = s->hover = -1;
    controls::HideTooltip(h, *s);
    controls::Repaint(h);
  }
}

int ToolbarButtonCount(Hwnd h) {
  const ToolbarState* s = Toolbar(h);
  return s ? static_cast<int>(s->buttons.size()) : 0;
}

std::optional<ToolbarButton> ToolbarGetButton(Hwnd h, int index) {
  const ToolbarState* s = Toolbar(h);
  if (s == nullptr || index < 0 || index >= static_cast<int>(s->buttons.size()))
    return std::nullopt;
  return s->buttons[static_cast<std::size_t>(index)];
}

namespace {
ToolbarButton* Find(Hwnd h, int command) {
  ToolbarState* s = Toolbar(h);
  if (s == nullptr) return nullptr;
  const int i = IndexOf(*s, command);
  return i < 0 ? nullptr : &s->buttons[static_cast<std::size_t>(i)];
}
}  // namespace

bool ToolbarEnableButton(Hwnd h, int command, bool enable) {
  ToolbarButton* b = Find(h, command);
  if (b == nullptr) return false;
  b->enabled = enable;
  controls::Repaint(h);
  return true;
}

bool ToolbarCheckButton(Hwnd h, int command, bool check) {
  ToolbarButton* b = Find(h, command);
  if (b == nullptr) return false;
  b->checked = check;
  controls::Repaint(h);
  return true;
}

bool ToolbarIsButtonEnabled(Hwnd h, int command) {
  const ToolbarButton* b = Find(h, command);
  return b != nullptr && b->enabled;
}

bool ToolbarIsButtonChecked(Hwnd h, int command) {
  const ToolbarButton* b = Find(h, command);
  return b != nullptr && b->checked;
}

bool ToolbarHasButton(Hwnd h, int command) {
  return Find(h, command) != nullptr;
}

Rect ToolbarGetButtonRect(Hwnd h, int command) {
  const ToolbarState* s = Toolbar(h);
  if (s == nullptr) return {};
  const int i = IndexOf(*s, command);
  return i < 0 ? Rect{} : controls::ButtonRect(h, *s, i);
}

Size ToolbarButtonSize(Hwnd h) {
  const ToolbarState* s = Toolbar(h);
  return s ? controls::ButtonSizeOf(*s) : Size{};
}

Hwnd ToolbarGetTooltip(Hwnd h) {
  const ToolbarState* s = Toolbar(h);
  return s != nullptr && s->tooltip != kNoWindow && IsShown(s->tooltip) ? s->tooltip : kNoWindow;
}

}  // namespace plat
