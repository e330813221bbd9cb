// Push buttons, check boxes, radio buttons and group boxes (class BUTTON).
#include <algorithm>

#include "platform/controls/Controls_p.h"
#include "platform/window/VirtualKeys.h"

namespace plat {
namespace controls {
namespace {

struct ButtonState : ControlState {
  int check = kUnchecked;
  bool pushed = false;    // drawn pressed
  bool tracking = false;  // the mouse went down on it and is captured
  bool spaceDown = false;
  std::shared_ptr<const Surface> image;
};

unsigned TypeOf(Hwnd h) {
  return GetStyle(h) & kBsTypeMask;
}

bool IsCheckType(unsigned t) {
  return t == kBsCheckBox || t == kBsAutoCheckBox || t == kBs3State || t == kBsAuto3State;
}
bool IsRadioType(unsigned t) {
  return t == kBsRadioButton || t == kBsAutoRadioButton;
}

/// Unchecks the other auto radio buttons of H's group: the siblings from the
/// nearest kWsGroup control at or before H up to the next kWsGroup control.
void ClearRadioGroup(Hwnd h) {
  const std::vector<Hwnd> kids = GetChildren(GetParent(h));
  const auto self = std::find(kids.begin(), kids.end(), h);
  if (self == kids.end()) return;
  auto first = self;
  while (first != kids.begin() && (GetStyle(*first) & kWsGroup) == 0) --first;
  for (auto it = first; it != kids.end(); ++it) {
    if (it != first && (GetStyle(*it) & kWsGroup) != 0) break;
    if (*it == h || GetClassName(*it) != GetClassName(h)) continue;
    if ((GetStyle(*it) & kBsTypeMask) == kBsAutoRadioButton) ButtonSetCheck(*it, kUnchecked);
  }
}

/// What a click does: the automatic check change, then kBnClicked.
void Clicked(Hwnd h) {
  const unsigned t = TypeOf(h);
  if (t == kBsAutoCheckBox)
    ButtonSetCheck(h, ButtonGetCheck(h) == kUnchecked ? kChecked : kUnchecked);
  if (t == kBsAuto3State) ButtonSetCheck(h, (ButtonGetCheck(h) + 1) % 3);
  if (t == kBsAutoRadioButton) {
    ButtonSetCheck(h, kChecked);
    ClearRadioGroup(h);
  }
  NotifyCommand(h, kBnClicked);
}

void SetPushed(Hwnd h, ButtonState* s, bool pushed) {
  if (s->pushed == pushed) return;
  s->pushed = pushed;
  Repaint(h);
}

void PaintPushButton(Painter& p, Hwnd h, const ButtonState& s, const Mnemonic& label, bool enabled,
                     bool focused) {
  Rect r = p.Client();
  p.Fill(r, kColourFace);
  const bool down = s.pushed || ((GetStyle(h) & kBsPushLike) != 0 && s.check != kUnchecked);
  if (TypeOf(h) == kBsDefPushButton) {
    p.Frame(r, kColourDarkShadow);
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
  p.DrawBevel(r, down ? Bevel::Pushed : Bevel::Raised);
  Rect inner{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  if (down) inner = inner.Offset(1, 1);
  if (s.image && (GetStyle(h) & kBsBitmap) != 0) {
    const Point at{inner.left + (inner.Width() - s.image->Width()) / 2,
                   inner.top + (inner.Height() - s.image->Height()) / 2};
    p.Image(*s.image, s.image->Bounds(), at, inner, std::nullopt, !enabled);
  } else if (enabled) {
    p.Text(inner, label.text, Align::Centre, kColourText, label.underline);
  } else {
    p.GreyText(inner, label.text, Align::Centre, label.underline);
  }
  if (focused) p.FocusRect({r.left + 2, r.top + 2, r.right - 2, r.bottom - 2});
}

void PaintCheckOrRadio(Painter& p, Hwnd h, const ButtonState& s, const Mnemonic& label,
                       bool enabled, bool focused) {
  const Rect c = p.Client();
  const ControlColours colours = AskColours(h, Msg::CtlColourStatic, kColourText, kColourFace);
  p.Fill(c, colours.background);
  const bool radio = IsRadioType(TypeOf(h));
  const bool leftText = (GetStyle(h) & kBsLeftText) != 0;
  const int box = 13;
  const int top = c.top + (c.Height() - box) / 2;
  const int left = leftText ? c.right - box : c.left;
  const Rect mark{left, top, left + box, top + box};
  const Pixel inside = s.pushed || !enabled ? kColourFace : kColourWindow;
  if (radio) {
    Canvas& cv = p.GetCanvas();
    cv.SetPen(Pen::Solid(kColourShadow));
    cv.SetBrush(Brush::Solid(inside));
    cv.Ellipse({mark.left, mark.top, mark.right - 1, mark.bottom - 1});
    cv.SetPen(Pen::Solid(kColourHighlight3d));
    cv.SetBrush(Brush::None());
    cv.Arc({mark.left + 1, mark.top + 1, mark.right, mark.bottom}, {mark.right, mark.top},
           {mark.left, mark.bottom});
    if (s.check != kUnchecked) {
      cv.SetPen(Pen::None());
      cv.SetBrush(Brush::Solid(enabled ? kColourText : kColourGreyText));
      cv.Ellipse({mark.left + 4, mark.top + 4, mark.left + 9, mark.top + 9});
    }
  } else {
    p.DrawBevel(mark, Bevel::Sunken);
    p.Fill({mark.left + 2, mark.top + 2, mark.right - 2, mark.bottom - 2},
           s.check == kIndeterminate ? kColourFace : inside);
    if (s.check != kUnchecked) {
      // The classic tick: a 7-pixel wide check mark three pixels thick.
      const Pixel ink = s.check == kIndeterminate || !enabled ? kColourGreyText : kColourText;
      const int x0 = mark.left + 3, y0 = mark.top + 5;
      for (int i = 0; i < 7; ++i) {
        const int y = i < 3 ? y0 + i : y0 + 4 - i;
        p.Fill({x0 + i, y, x0 + i + 1, y + 3}, ink);
      }
    }
  }
  Rect text = leftText ? Rect{c.left, c.top, mark.left - 4, c.bottom}
                       : Rect{mark.right + 4, c.top, c.right, c.bottom};
  if (enabled)
    p.Text(text, label.text, Align::Left, colours.text, label.underline);
  else
    p.GreyText(text, label.text, Align::Left, label.underline);
  if (focused && !label.text.empty()) {
    const int w = std::min(TextWidth(h, label.text), text.Width());
    const int lh = LineHeight(h);
    const int ty = text.top + (text.Height() - lh) / 2;
    p.FocusRect({text.left - 1, ty - 1, text.left + w + 1, ty + lh + 1});
  }
}

void PaintGroupBox(Painter& p, Hwnd h, const Mnemonic& label, bool enabled) {
  const Rect c = p.Client();
  const ControlColours colours = AskColours(h, Msg::CtlColourStatic, kColourText, kColourFace);
  p.Fill(c, colours.background);
  const int lh = LineHeight(h);
  p.DrawBevel({c.left, c.top + lh / 2, c.right, c.bottom}, Bevel::Etched);
  if (label.text.empty()) return;
  const int w = TextWidth(h, label.text);
  const Rect t{c.left + 8, c.top, std::min(c.left + 8 + w + 4, c.right), c.top + lh};
  p.Fill(t, colours.background);
  const Rect tt{t.left + 2, t.top, t.right, t.bottom};
  if (enabled)
    p.Text(tt, label.text, Align::Left, colours.text, label.underline);
  else
    p.GreyText(tt, label.text, Align::Left, label.underline);
}

void PaintButton(Hwnd h, const ButtonState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Mnemonic label = StripMnemonic(GetWindowText(h), true);
  const bool enabled = IsWindowEnabled(h);
  const bool focused = GetFocus() == h;
  const unsigned t = TypeOf(h);
  if (t == kBsGroupBox)
    PaintGroupBox(p, h, label, enabled);
  else if ((IsCheckType(t) || IsRadioType(t)) && (GetStyle(h) & kBsPushLike) == 0)
    PaintCheckOrRadio(p, h, s, label, enabled, focused);
  else
    PaintPushButton(p, h, s, label, enabled, focused);
}

}  // namespace

LResult ButtonProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](ButtonState* s) -> std::optional<LResult> {
    const bool group = TypeOf(h) == kBsGroupBox;
    switch (m) {
      case Msg::NcHitTest:
        // A group box lets clicks through to what lies below it.
        return group ? kHtTransparent : kHtClient;
      case Msg::LButtonDown:
        if (group) return 0;
        SetFocus(h);
        SetCapture(h);
        s->tracking = true;
        SetPushed(h, s, true);
        return 0;
      case Msg::MouseMove:
        if (s->tracking) SetPushed(h, s, GetClientRect(h).Contains(LParamToPoint(l)));
        return 0;
      case Msg::LButtonUp:
        if (!s->tracking) return 0;
        s->tracking = false;
        ReleaseCapture();
        if (s->pushed) {
          SetPushed(h, s, false);
          Clicked(h);
        }
        return 0;
      case Msg::CaptureChanged:
        if (s->tracking && static_cast<Hwnd>(l) != h) {
          s->tracking = false;
          SetPushed(h, s, false);
        }
        return 0;
      case Msg::KeyDown:
        if (w == kVkSpace && !group && !s->spaceDown) {
          s->spaceDown = true;
          SetPushed(h, s, true);
        }
        return 0;
      case Msg::KeyUp:
        if (w == kVkSpace && s->spaceDown) {
          s->spaceDown = false;
          SetPushed(h, s, false);
          Clicked(h);
        }
        return 0;
      case Msg::SetFocus:
      case Msg::KillFocus:
        if (m == Msg::KillFocus) {
          s->spaceDown = false;
          if (s->tracking) ReleaseCapture();
          s->tracking = false;
          s->pushed = false;
        }
        Repaint(h);
        if ((GetStyle(h) & kBsNotify) != 0)
          NotifyCommand(h, m == Msg::SetFocus ? kBnSetFocus : kBnKillFocus);
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<ButtonState>(h, m, w, l, kRepaintOnEnable | kRepaintOnText, PaintButton,
                                  handle);
}

}  // namespace controls

int ButtonGetCheck(Hwnd h) {
  const auto* s = controls::StateOf<controls::ButtonState>(h);
  return s ? s->check : 0;
}

void ButtonSetCheck(Hwnd h, int state) {
  auto* s = controls::StateOf<controls::ButtonState>(h);
  if (s == nullptr) return;
  const unsigned t = GetStyle(h) & kBsTypeMask;
  const bool three = t == kBs3State || t == kBsAuto3State;
  if (!controls::IsCheckType(t) && !controls::IsRadioType(t)) return;
  state = state == kUnchecked ? kUnchecked
                              : (three && state == kIndeterminate ? kIndeterminate : kChecked);
  if (s->check == state) return;
  s->check = state;
  controls::Repaint(h);
}

void ButtonSetStyle(Hwnd h, unsigned style) {
  if (controls::StateOf<controls::ButtonState>(h) == nullptr) return;
  SetStyle(h, (GetStyle(h) & ~0xFFFFu) | (style & 0xFFFFu));
  controls::Repaint(h);
}

void ButtonSetImage(Hwnd h, std::shared_ptr<const Surface> image) {
  if (auto* s = controls::StateOf<controls::ButtonState>(h)) {
    s->image = std::move(image);
    controls::Repaint(h);
  }
}

void ButtonClick(Hwnd h) {
  if (controls::StateOf<controls::ButtonState>(h) != nullptr && IsWindowEnabled(h))
    controls::Clicked(h);
}

}  // namespace plat
