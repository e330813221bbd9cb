// Dialog windows from templates, their keyboard navigation and modal runs.
#include "platform/dialog/Dialog.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "platform/controls/Controls.h"
#include "platform/window/VirtualKeys.h"

namespace plat {

namespace {

/// The dialog font's character cell in pixels (4 horizontal and 8 vertical
/// dialog units).
constexpr int kBaseX = 6;
constexpr int kBaseY = 13;

/// Posted to a dialog to carry out its scripted answer.
constexpr Msg kMsgRunScript = UserMessage(0x7E01);

struct DialogExtra : WindowExtra {
  int templateId = 0;
  DialogHandler handler;
  std::vector<Hwnd> controls;
  std::optional<std::string> script;  // taken from the backend, carried out in the loop
};

DialogExtra* ExtraOf(Hwnd dlg) {
  if (GetClassName(dlg) != kDialogClass) return nullptr;
  return dynamic_cast<DialogExtra*>(GetWindowExtra(dlg));
}

bool IsClass(Hwnd h, std::string_view name) {
  const std::string c = GetClassName(h);
  if (c.size() != name.size()) return false;
  for (std::size_t i = 0; i < c.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(c[i])) !=
        std::toupper(static_cast<unsigned char>(name[i])))
      return false;
  return true;
}

bool IsPushButton(Hwnd h) {
  if (!IsClass(h, kButtonClass)) return false;
  const unsigned type = GetStyle(h) & kBsTypeMask;
  return type == kBsPushButton || type == kBsDefPushButton || type == kBsOwnerDraw;
}

/// Shown (whether or not the dialog itself is yet) and enabled.
bool IsUsable(Hwnd h) {
  return IsShown(h) && IsWindowEnabled(h);
}

/// The direct child of the dialog that H is or lies in.
Hwnd ControlOf(Hwnd dlg, Hwnd h) {
  while (h != kNoWindow && GetParent(h) != dlg) h = GetParent(h);
  return h;
}

/// The window that takes the focus for control C (a combo box's edit).
Hwnd FocusTarget(Hwnd c) {
  const Hwnd edit = ComboBoxGetEdit(c);
  return edit != kNoWindow ? edit : c;
}

void FocusControl(Hwnd c) {
  if (c == kNoWindow) return;
  const Hwnd target = FocusTarget(c);
  SetFocus(target);
  if (IsClass(target, kEditClass) && !(GetStyle(target) & kEsMultiline)) EditSetSel(target, 0, -1);
}

/// Takes the scripted answer for the dialog from the backend, if one is
/// queued, to be carried out at the next dispatch.
bool TakeScript(Hwnd dlg) {
  Backend* backend = GetBackend();
  DialogExtra* extra = ExtraOf(dlg);
  if (backend == nullptr || extra == nullptr) return false;
  extra->script = backend->ScriptedAnswer("dialog " + std::to_string(extra->templateId));
  if (!extra->script) return false;
  PostMessage(dlg, kMsgRunScript);
  return true;
}

void RunScript(Hwnd dlg) {
  DialogExtra* extra = ExtraOf(dlg);
  if (extra == nullptr || !extra->script) return;
  const std::string script = *extra->script;
  extra->script.reset();
  std::istringstream lines(script);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!IsWindow(dlg)) return;
    if (line.rfind("press ", 0) == 0) {
      PressDialogButton(dlg, std::atoi(line.c_str() + 6));
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const Hwnd c = DialogItem(dlg, std::atoi(line.substr(0, eq).c_str()));
    const std::string text = line.substr(eq + 1);
    if (c == kNoWindow) continue;
    if (IsClass(c, kButtonClass) && !IsPushButton(c)) {
      const bool want = text == "1";
      if ((ButtonGetCheck(c) != 0) != want) ButtonClick(c);
      if (!want) ButtonSetCheck(c, kUnchecked);
    } else if (IsClass(c, kListBoxClass)) {
      ListBoxSetCurSel(c, ListBoxFindStringExact(c, -1, text));
    } else if (IsClass(c, kComboBoxClass)) {
      const int i = ComboBoxFindStringExact(c, -1, text);
      if (i >= 0)
        ComboBoxSetCurSel(c, i);
      else if (ComboBoxGetEdit(c) != kNoWindow)
        SetWindowText(ComboBoxGetEdit(c), text);
    } else {
      // As typed by the user: the text counts as edited.
      SetWindowText(c, text);
      if (IsClass(c, kEditClass)) EditSetModify(c, true);
    }
  }
}

/// Whether Enter or Escape in H is the dialog's rather than the control's.
bool KeepsKey(Hwnd dlg, Hwnd h, int vk) {
  if (vk == kVkReturn)
    return !(IsClass(h, kEditClass) && (GetStyle(h) & kEsMultiline) &&
             (GetStyle(h) & kEsWantReturn));
  return !ComboBoxGetDroppedState(ControlOf(dlg, h));
}

/// Keyboard navigation inside a dialog; true when the key was used.
bool DialogKey(Hwnd dlg, Hwnd h, int vk) {
  const Hwnd c = ControlOf(dlg, h);
  switch (vk) {
    case kVkTab:
      FocusControl(NextTabStop(dlg, c, IsKeyDown(kVkShift)));
      return true;
    case kVkReturn: {
      if (IsClass(h, kEditClass) && (GetStyle(h) & kEsMultiline) && (GetStyle(h) & kEsWantReturn))
        return false;
      if (IsPushButton(c)) {
        PressDialogButton(dlg, GetWindowId(c));
        return true;
      }
      const Hwnd def = DialogDefaultButton(dlg);
      if (def != kNoWindow) {
        if (IsWindowEnabled(def)) PressDialogButton(dlg, GetWindowId(def));
      } else {
        SendMessage(dlg, Msg::Command, MakeWParam(kIdOk, 0), 0);
      }
      return true;
    }
    case kVkF1:
      SendMessage(dlg, Msg::Help, 0, static_cast<LParam>(c));
      return true;
    case kVkEscape:
      if (ComboBoxGetDroppedState(c)) return false;
      SendMessage(dlg, Msg::Command, MakeWParam(kIdCancel, 0), 0);
      return true;
    case kVkLeft:
    case kVkUp:
    case kVkRight:
    case kVkDown: {
      if (!IsClass(c, kButtonClass)) return false;
      const Hwnd next = NextGroupItem(dlg, c, vk == kVkLeft || vk == kVkUp);
      if (next == kNoWindow || next == c) return true;
      FocusControl(next);
      if (IsClass(next, kButtonClass) && (GetStyle(next) & kBsTypeMask) == kBsAutoRadioButton)
        ButtonClick(next);
      return true;
    }
    default:
      return false;
  }
}

/// Whether the control asks for the key or character of message M itself.
bool WantsKey(Hwnd h, Msg m, WParam wp) {
  if (m != Msg::KeyDown && m != Msg::Char) return false;
  const LResult codes = SendMessage(h, Msg::GetDlgCode, wp, 0);
  if (codes & kDlgcWantAllKeys) return true;
  if (m == Msg::Char) return wp != '\t' && wp != '\r' && wp != 0x1B && (codes & kDlgcWantChars);
  if (wp == kVkTab) return (codes & kDlgcWantTab) != 0;
  const bool arrow = wp == kVkLeft || wp == kVkUp || wp == kVkRight || wp == kVkDown;
  return arrow && (codes & kDlgcWantArrows);
}

/// Puts the dialog's keyboard handling in front of control H's procedure
/// (and of the children a control has, such as a combo box's edit).
void Subclass(Hwnd dlg, Hwnd h) {
  auto old = std::make_shared<WindowProc>();
  auto own = [dlg, old](Hwnd w, Msg m, WParam wp, LParam lp) -> LResult {
    const bool enterOrEscape = wp == kVkReturn || wp == kVkEscape;
    if (IsWindow(dlg) && !WantsKey(w, m, wp)) {
      // Enter and Escape act on their character, which comes after the key
      // went down, so nothing of the keystroke is left to reach the window
      // that gets the focus when the dialog closes but the key's release.
      if (m == Msg::KeyDown && enterOrEscape && KeepsKey(dlg, w, static_cast<int>(wp))) return 0;
      if (m == Msg::KeyDown && !enterOrEscape && DialogKey(dlg, w, static_cast<int>(wp))) return 0;
      if (m == Msg::Char && wp == '\t') return 0;
      if (m == Msg::Char && (wp == '\r' || wp == 0x1B) &&
          DialogKey(dlg, w, wp == '\r' ? kVkReturn : kVkEscape))
        return 0;
    }
    return *old ? (*old)(w, m, wp, lp) : DefWindowProc(w, m, wp, lp);
  };
  *old = SetWindowProc(h, own);
  for (Hwnd child : GetChildren(h)) Subclass(dlg, child);
}

LResult DialogClassProc(Hwnd dlg, Msg m, WParam w, LParam l) {
  if (m == kMsgRunScript) {
    RunScript(dlg);
    return 0;
  }
  DialogExtra* extra = ExtraOf(dlg);
  if (extra != nullptr && extra->handler) {
    // The handler may destroy the dialog: keep a copy of it for the call.
    const DialogHandler handler = extra->handler;
    if (const std::optional<LResult> r = handler(dlg, m, w, l)) return *r;
    if (!IsWindow(dlg)) return 0;
  }
  if (m == Msg::Close) {
    SendMessage(dlg, Msg::Command, MakeWParam(kIdCancel, 0), 0);
    return 0;
  }
  return DefWindowProc(dlg, m, w, l);
}

}  // namespace

bool RegisterDialogClass() {
  if (IsClassRegistered(kDialogClass)) return true;
  WindowClass cls;
  cls.name = std::string(kDialogClass);
  cls.proc = DialogClassProc;
  cls.style = kClassDblClks;
  cls.background = kColourFace;
  return RegisterWindowClass(cls);
}

Rect DialogUnitsToPixels(const Rect& du) {
  const int left = du.left * kBaseX / 4;
  const int top = du.top * kBaseY / 8;
  return {left, top, left + du.Width() * kBaseX / 4, top + du.Height() * kBaseY / 8};
}

Hwnd CreateDialogFromSpec(const DialogSpec& spec, Hwnd parent, DialogHandler handler) {
  if (!RegisterControls() || !RegisterDialogClass()) return kNoWindow;
  if (spec.child && parent == kNoWindow) return kNoWindow;
  CreateParams p;
  p.className = kDialogClass;
  p.title = spec.caption;
  p.style = (spec.style & ~kStyleVisible & ~kStyleChild & ~kStylePopup) |
            (spec.child ? kStyleChild : kStylePopup);
  p.rect = DialogUnitsToPixels(spec.rect);
  p.parent = spec.child ? parent : kNoWindow;
  p.owner = spec.child ? kNoWindow : parent;
  p.id = spec.id;
  const Hwnd dlg = CreateWindow(p);
  if (dlg == kNoWindow) return kNoWindow;
  auto extra = std::make_unique<DialogExtra>();
  extra->templateId = spec.id;
  DialogExtra* e = extra.get();
  SetWindowExtra(dlg, std::move(extra));
  for (const DialogControlSpec& c : spec.controls) {
    CreateParams cp;
    cp.className = c.className;
    cp.title = c.text;
    cp.style = (c.style & ~kStylePopup) | kStyleChild;
    cp.rect = DialogUnitsToPixels(c.rect);
    cp.parent = dlg;
    cp.id = c.id;
    const Hwnd h = CreateWindow(cp);
    if (h == kNoWindow) {
      DestroyWindow(dlg);
      return kNoWindow;
    }
    e->controls.push_back(h);
    Subclass(dlg, h);
  }
  e->handler = std::move(handler);
  return dlg;
}

void AttachDialogKeys(Hwnd h) {
  const Hwnd dlg = DialogOf(h);
  if (dlg != kNoWindow && IsWindow(h)) Subclass(dlg, h);
}

int DialogTemplateId(Hwnd dlg) {
  const DialogExtra* e = ExtraOf(dlg);
  return e ? e->templateId : 0;
}

std::vector<Hwnd> DialogControls(Hwnd dlg) {
  const DialogExtra* e = ExtraOf(dlg);
  if (e == nullptr) return {};
  std::vector<Hwnd> out;
  for (Hwnd h : e->controls)
    if (IsWindow(h)) out.push_back(h);
  return out;
}

Hwnd DialogItem(Hwnd dlg, int id) {
  for (Hwnd h : DialogControls(dlg))
    if (GetWindowId(h) == id) return h;
  return kNoWindow;
}

Hwnd DialogOf(Hwnd h) {
  for (Hwnd p = GetParent(h); p != kNoWindow; p = GetParent(p))
    if (ExtraOf(p) != nullptr) return p;
  return kNoWindow;
}

Hwnd DialogDefaultButton(Hwnd dlg) {
  Hwnd one = kNoWindow;
  for (Hwnd h : DialogControls(dlg)) {
    if (!IsPushButton(h)) continue;
    if ((GetStyle(h) & kBsTypeMask) == kBsDefPushButton) return h;
    if (GetWindowId(h) == kIdOk && one == kNoWindow) one = h;
  }
  return one;
}

Hwnd NextTabStop(Hwnd dlg, Hwnd from, bool backward) {
  const std::vector<Hwnd> all = DialogControls(dlg);
  const int n = static_cast<int>(all.size());
  if (n == 0) return kNoWindow;
  int start = backward ? n : -1;
  for (int i = 0; i < n; ++i)
    if (all[static_cast<std::size_t>(i)] == from) start = i;
  for (int k = 1; k <= n; ++k) {
    const int i = ((start + (backward ? -k : k)) % n + n) % n;
    const Hwnd h = all[static_cast<std::size_t>(i)];
    if (!IsUsable(h) || !(GetStyle(h) & kWsTabStop)) continue;
    // In a group of radio buttons Tab goes to the checked one.
    if (IsClass(h, kButtonClass) && (GetStyle(h) & kBsTypeMask) == kBsAutoRadioButton) {
      for (Hwnd g = h;;) {
        if (ButtonGetCheck(g) == kChecked) return g;
        g = NextGroupItem(dlg, g, false);
        if (g == h || g == kNoWindow) break;
      }
    }
    return h;
  }
  return from;
}

Hwnd NextGroupItem(Hwnd dlg, Hwnd from, bool backward) {
  const std::vector<Hwnd> all = DialogControls(dlg);
  const int n = static_cast<int>(all.size());
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (all[static_cast<std::size_t>(i)] == from) at = i;
  if (at < 0) return kNoWindow;
  int first = at;
  while (first > 0 && !(GetStyle(all[static_cast<std::size_t>(first)]) & kWsGroup)) --first;
  int last = at;
  while (last + 1 < n && !(GetStyle(all[static_cast<std::size_t>(last + 1)]) & kWsGroup)) ++last;
  const int size = last - first + 1;
  for (int k = 1; k < size; ++k) {
    const int off = ((at - first + (backward ? -k : k)) % size + size) % size;
    const Hwnd h = all[static_cast<std::size_t>(first + off)];
    if (IsUsable(h) && !(IsClass(h, kButtonClass) && (GetStyle(h) & kBsTypeMask) == kBsGroupBox) &&
        !IsClass(h, kStaticClass))
      return h;
  }
  return from;
}

void PressDialogButton(Hwnd dlg, int id) {
  const Hwnd b = DialogItem(dlg, id);
  if (b != kNoWindow && IsClass(b, kButtonClass)) {
    ButtonClick(b);
    return;
  }
  SendMessage(dlg, Msg::Command, MakeWParam(id, 0), static_cast<LParam>(b));
}

void QueueDialogScript(Hwnd dlg) {
  (void)TakeScript(dlg);
}

int RunDialogModal(Hwnd dlg) {
  if (ExtraOf(dlg) == nullptr) return -1;
  // With nothing that could ever answer (headless without scripted input)
  // the dialog is cancelled rather than waited for.
  const Backend* backend = GetBackend();
  if (!TakeScript(dlg) && backend != nullptr && !backend->CanWait())
    PostMessage(dlg, Msg::Command, MakeWParam(kIdCancel, 0), 0);
  return RunModalLoop(dlg);
}

bool EndDialogModal(Hwnd dlg, int result) {
  return EndModalLoop(dlg, result);
}

void CentreDialogOnOwner(Hwnd dlg, Hwnd owner) {
  const Rect r = GetWindowRect(dlg);
  const Size screen = ScreenSize();
  Rect around{0, 0, screen.width, screen.height};
  if (owner != kNoWindow && IsWindowVisible(owner)) {
    const Point o = ClientToScreen(owner, {0, 0});
    around = GetClientRect(owner).Offset(o.x, o.y);
  }
  const int x = std::max(0, around.left + (around.Width() - r.Width()) / 2);
  const int y = std::max(0, around.top + (around.Height() - r.Height()) / 2);
  MoveWindow(dlg, {x, y, x + r.Width(), y + r.Height()});
}

}  // namespace plat
