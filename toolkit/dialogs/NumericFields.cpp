// Numeric edit and spin fields: the six numeric classes are edits whose
// procedure the toolkit wraps. Typing is filtered to what a number of the
// class can hold; a field whose number lies outside its range (or whose
// text is no number) keeps the focus when the user tries to leave it, and
// OK is refused while it does; an accepted text is rewritten in canonical
// form; the spin classes step their value with an up-down control.
//
// The validation state is one for the whole toolkit, since only one field
// has the focus: the last valid text and value of the focused field (the
// snapshot a non-OK button restores), the field let go because the focus
// moved to a push button other than OK (deferred), and the field left for a
// tab control (tab-pending).
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/NumericFields_p.h"
#include "toolkit/dialogs/GridLink.h"

namespace tk {

namespace {

constexpr std::string_view kDefaultRealFormat = "(G15.5E2)";
constexpr std::size_t kReadCapacity = 255;
/// Up-down width in pixels and the time a held arrow takes to step by the
/// large step.
constexpr int kSpinWidth = 12;
constexpr std::uint64_t kLargeStepAfterMs = 2000;

enum class NumberKind { Integer, Real, Double };

struct ValidationState {
  std::string snapshotText;
  double snapshotValue = 0.0;
  bool snapshotWanted = true;
  plat::Hwnd deferred = plat::kNoWindow;
  plat::Hwnd tabPending = plat::kNoWindow;
  bool running = false;
  // Off while the toolkit itself takes the focus from a push button, so the
  // focus loss that causes does not refocus the deferred field a second time.
  bool buttonLeaveCheck = true;
  // The arrow being held: its up-down control and when the press began.
  plat::Hwnd spinPressed = plat::kNoWindow;
  std::uint64_t spinPressStart = 0;
};

ValidationState& Vs() {
  static ValidationState s;
  return s;
}

NumberKind KindOf(std::string_view cls) {
  if (cls.size() >= 7 && SameClass(cls.substr(0, 7), "INTEGER")) return NumberKind::Integer;
  if (cls.size() >= 4 && SameClass(cls.substr(0, 4), "REAL")) return NumberKind::Real;
  return NumberKind::Double;
}

bool IsSpinClass(std::string_view cls) {
  return cls.size() >= 4 && SameClass(cls.substr(cls.size() - 4), "SPIN");
}

/// The numeric field whose window is H, with its dialog.
DialogField* NumericField(plat::Hwnd h, LoadedDialog** dialog = nullptr) {
  LoadedDialog* d = FindLoaded(plat::GetParent(h));
  if (d == nullptr) {
    // A grid's cell editor lies inside the grid, not in a dialog.
    const GridLink& link = GetGridLink();
    DialogField* f = link.editorField ? link.editorField(h) : nullptr;
    return f != nullptr && IsNumericClass(f->className) ? f : nullptr;
  }
  for (DialogField& f : d->fields)
    if (f.hwnd == h && IsNumericClass(f.className)) {
      if (dialog) *dialog = d;
      return &f;
    }
  return nullptr;
}

std::string FieldText(plat::Hwnd h) {
  std::string t = plat::GetWindowText(h);
  if (t.size() > kReadCapacity) t.resize(kReadCapacity);
  return t;
}

bool RangeInForce(const ControlRecord& r) {
  return r.rangeLow <= r.rangeHigh;
}

bool IsPushButtonWindow(plat::Hwnd h) {
  if (!SameClass(plat::GetClassName(h), plat::kButtonClass)) return false;
  const unsigned type = plat::GetStyle(h) & plat::kBsTypeMask;
  return type == plat::kBsPushButton || type == plat::kBsDefPushButton;
}

std::string RealFormat(const ControlRecord& r) {
  return r.format ? *r.format : std::string(kDefaultRealFormat);
}

void SelectAll(plat::Hwnd h) {
  plat::EditSetSel(h, 0, -1);
  plat::EditScrollCaret(h);
}

/// Beeps unless RECEIVING is the field itself and gives the field the focus
/// with its whole text selected. A push button that was to receive the focus
/// keeps the plain look and the dialog's default button the default look:
/// the window system does not move the default look with the focus, and
/// the default button is known by its look.
void RefocusInvalidField(plat::Hwnd receiving, plat::Hwnd field) {
  if (receiving != field) BeepIfEnabled();
  plat::SetFocus(field);
  SelectAll(field);
  if (receiving != field && IsPushButtonWindow(receiving)) {
    const plat::Hwnd dialog = plat::GetParent(receiving);
    const plat::Hwnd def = plat::DialogDefaultButton(dialog);
    if (def != receiving &&
        (plat::GetStyle(receiving) & plat::kBsTypeMask) == plat::kBsDefPushButton)
      plat::ButtonSetStyle(receiving,
                           (plat::GetStyle(receiving) & ~plat::kBsTypeMask) | plat::kBsPushButton);
  }
}

/// A field still there to take the focus back: a numeric field window.
plat::Hwnd LiveField(plat::Hwnd& h) {
  if (h != plat::kNoWindow && (!plat::IsWindow(h) || NumericField(h) == nullptr))
    h = plat::kNoWindow;
  return h;
}

/// The accepted text rewritten in canonical form (on every accepted focus
/// loss for integers, only after an edit for reals).
void Normalise(DialogField& f) {
  ControlRecord& r = f.rec;
  const NumberKind kind = KindOf(f.className);
  if (kind != NumberKind::Integer && !plat::EditGetModify(f.hwnd)) return;
  std::string text = FieldText(f.hwnd);
  if (FirstNonBlank(text) > 0) {
    ParseDoubleQuiet(r.value, text);
    r.hasValue = 1;
    if (kind == NumberKind::Integer)
      NormaliseIntegerText(text);
    else if (kind == NumberKind::Real)
      NormaliseRealText(text, RealFormat(r));
    else
      NormaliseDoubleText(text, RealFormat(r));
    const int saved = r.reportEveryChange;
    r.reportEveryChange = 0;
    plat::SetWindowText(f.hwnd, text);
    r.reportEveryChange = saved;
  } else {
    r.value = 0.0;
  }
  plat::EditSetModify(f.hwnd, false);
}

/// Whether the character may reach the text; CH may be changed (letters
/// stored in upper case).
bool AcceptsChar(NumberKind kind, std::uint32_t& ch) {
  switch (ch) {
    case 3:
    case 8:
    case 9:
    case 13:
    case 22:
    case 24:
    case 26:
    case 27:
      return true;
    default:
      break;
  }
  if ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-') return true;
  if (kind == NumberKind::Integer) return false;
  if (ch == '.') return true;
  if (ch == 'e' || ch == 'E') {
    ch = 'E';
    return true;
  }
  if (kind == NumberKind::Double && (ch == 'd' || ch == 'D')) {
    ch = 'D';
    return true;
  }
  return false;
}

plat::LResult NumericProc(const plat::WindowProc& base, plat::Hwnd h, plat::Msg m, plat::WParam w,
                          plat::LParam l) {
  auto pass = [&] { return base ? base(h, m, w, l) : plat::DefWindowProc(h, m, w, l); };
  DialogField* f = NumericField(h);
  if (f == nullptr) return pass();
  ValidationState& s = Vs();
  switch (m) {
    case plat::Msg::Char: {
      std::uint32_t ch = static_cast<std::uint32_t>(w);
      if (ch == 1) {  // Ctrl+A
        SelectAll(h);
        return 0;
      }
      if (!AcceptsChar(KindOf(f->className), ch)) {
        BeepIfEnabled();
        return 0;
      }
      return base ? base(h, m, ch, l) : 0;
    }
    case plat::Msg::SetFocus:
      if (s.snapshotWanted) {
        s.snapshotWanted = false;
        s.snapshotText = FieldText(h);
        s.snapshotValue = f->rec.value;
      }
      f->rec.leftByTab = 0;
      plat::EditSetModify(h, false);
      return pass();
    case plat::Msg::KillFocus: {
      if (ValidateNumericField(h, static_cast<plat::Hwnd>(w), 0) != 0) return 0;
      const plat::LResult r = pass();
      // The field may have gone meanwhile: look it up again. A text let go
      // for a push button was not accepted: it stays as typed, to be
      // restored by the button or handed back to the user.
      if (DialogField* again = NumericField(h); again != nullptr && Vs().deferred != h)
        Normalise(*again);
      return r;
    }
    case plat::Msg::KeyDown:
      if (w == static_cast<plat::WParam>(plat::kVkTab)) f->rec.leftByTab = 1;
      return pass();
    default:
      return pass();
  }
}

/// The spin step of field F by the change DELTA of its up-down control.
void SpinStep(DialogField& f, int delta) {
  ControlRecord& r = f.rec;
  if (plat::EditGetModify(f.hwnd)) {
    const std::string text = FieldText(f.hwnd);
    r.value = 0.0;
    if (FirstNonBlank(text) > 0) ParseDoubleQuiet(r.value, text);
  }
  const NumberKind kind = KindOf(f.className);
  double step = 0.0;
  if (delta == 1 || delta == -1) step = r.spinStep;
  if (delta == 5 || delta == -5) step = r.spinPageStep;
  // An integer field steps by whole numbers, at least 1.
  if (kind == NumberKind::Integer && std::trunc(step) < 1.0 &&
      (delta == 1 || delta == -1 || delta == 5 || delta == -5))
    step = 1.0;
  double v = r.value;
  if (delta > 0) v += step;
  if (delta < 0) v -= step;
  bool clamped = false;
  if (RangeInForce(r)) {
    if (v < r.rangeLow) {
      v = r.rangeLow;
      clamped = true;
    } else if (v > r.rangeHigh) {
      v = r.rangeHigh;
      clamped = true;
    }
  }
  std::string text;
  if (kind == NumberKind::Integer) {
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = -kMax;
    double t = std::isnan(v) ? 0.0 : std::trunc(v);
    if (t > kMax) t = kMax;
    if (t < kMin) t = kMin;
    std::int64_t n = static_cast<std::int64_t>(t);
    if (!clamped && step != 0.0) {
      const std::int64_t grid = static_cast<std::int64_t>(std::trunc(step));
      const std::int64_t origin = r.spinOrigin;
      n = origin + grid * ((n - origin) / grid);
      n = std::clamp<std::int64_t>(n, static_cast<std::int64_t>(kMin),
                                   static_cast<std::int64_t>(kMax));
    }
    r.value = static_cast<double>(n);
    text.assign(11, ' ');
    IntegerToString(static_cast<std::int32_t>(n), text, "(I11)");
  } else {
    r.value = v;
    text.assign(100, ' ');
    IDoubleToString(v, text, RealFormat(r));
  }
  JustifyString(text, "L");
  while (!text.empty() && text.back() == ' ') text.pop_back();
  const int saved = r.reportEveryChange;
  r.reportEveryChange = 0;
  plat::SetWindowText(f.hwnd, text);
  r.reportEveryChange = saved;
  plat::EditSetModify(f.hwnd, false);
  r.hasValue = 1;
}

/// The up-down control's own handling: a press first moves the focus into
/// its field (so the field left is checked and the step acts on this one)
/// and starts the clock for the large step.
plat::LResult UpDownProc(const plat::WindowProc& base, plat::Hwnd h, plat::Msg m, plat::WParam w,
                         plat::LParam l) {
  ValidationState& s = Vs();
  switch (m) {
    case plat::Msg::LButtonDown:
    case plat::Msg::LButtonDblClk: {
      const plat::Hwnd buddy = plat::UpDownGetBuddy(h);
      if (buddy != plat::kNoWindow && plat::GetFocus() != buddy) plat::SetFocus(buddy);
      s.spinPressed = h;
      s.spinPressStart = plat::NowMs();
      break;
    }
    case plat::Msg::LButtonUp:
      s.spinPressed = plat::kNoWindow;
      break;
    case plat::Msg::CaptureChanged:
      if (static_cast<plat::Hwnd>(l) != h) s.spinPressed = plat::kNoWindow;
      break;
    default:
      break;
  }
  return base ? base(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
}

void Wrap(plat::Hwnd h, plat::LResult (*proc)(const plat::WindowProc&, plat::Hwnd, plat::Msg,
                                              plat::WParam, plat::LParam)) {
  auto old = std::make_shared<plat::WindowProc>();
  *old = plat::SetWindowProc(h, [old, proc](plat::Hwnd w, plat::Msg m, plat::WParam wp,
                                            plat::LParam lp) { return proc(*old, w, m, wp, lp); });
}

}  // namespace

void SetupNumericField(LoadedDialog& d, DialogField& f) {
  SetupNumericEditor(f, d.hwnd);
}

void SetupNumericEditor(DialogField& f, plat::Hwnd upDownParent) {
  Wrap(f.hwnd, NumericProc);
  plat::EditSetModify(f.hwnd, false);
  if (!IsSpinClass(f.className)) return;
  const std::string text = plat::GetWindowText(f.hwnd);
  const unsigned fieldStyle = plat::GetStyle(f.hwnd);
  plat::CreateParams p;
  p.className = plat::kUpDownClass;
  p.style = plat::kStyleChild | plat::kWsBorder | plat::kUdsAlignRight | plat::kUdsArrowKeys;
  if (KindOf(f.className) != NumberKind::Integer) p.style |= plat::kUdsNoThousands;
  if (fieldStyle & plat::kStyleVisible) p.style |= plat::kStyleVisible;
  if (fieldStyle & plat::kEsReadOnly) p.style |= plat::kStyleDisabled;
  const plat::Rect r = plat::GetWindowRect(f.hwnd);
  p.rect = {r.right, r.top, r.right + kSpinWidth, r.bottom};
  p.parent = upDownParent;
  p.id = -1;
  const plat::Hwnd ud = plat::CreateWindow(p);
  if (ud == plat::kNoWindow) return;
  f.rec.buddy = ud;
  plat::UpDownSetBuddy(ud, f.hwnd);
  // Both arrows stay active whatever the value: the steps are the field's.
  plat::UpDownSetRange(ud, -100, 100);
  if (KindOf(f.className) == NumberKind::Integer) {
    std::int32_t v = 0;
    ParseIntegerQuiet(v, text);
    plat::UpDownSetPos(ud, v);
  }
  plat::SetWindowText(f.hwnd, text);
  plat::EditSetModify(f.hwnd, false);
  Wrap(ud, UpDownProc);
}

int ValidateNumericField(plat::Hwnd field, plat::Hwnd receiving, int force) {
  ValidationState& s = Vs();
  if (s.running || GridResizing()) return 0;
  DialogField* f = NumericField(field);
  if (f == nullptr) return 0;
  // A field that is being hidden while the focus leaves it cannot take the
  // focus back; it counts as left. The check before a push button acts
  // looks at the focused field whether it shows or not.
  if (receiving != field && !plat::IsWindowVisible(field)) {
    s.snapshotWanted = true;
    if (s.deferred == field) s.deferred = plat::kNoWindow;
    if (s.tabPending == field) s.tabPending = plat::kNoWindow;
    return 0;
  }
  if (receiving != plat::kNoWindow &&
      (receiving == WindowFrameHandle(kMainWindow) || receiving == WindowClientHandle(kMainWindow)))
    return 0;
  const bool moving = receiving != field;
  if (moving) {
    s.deferred = plat::kNoWindow;
    if (f->rec.leftByTab == 0 && IsPushButtonWindow(receiving) &&
        plat::GetWindowId(receiving) != plat::kIdOk)
      s.deferred = field;
    else if (SameClass(plat::GetClassName(receiving), plat::kTabClass))
      s.tabPending = field;
  }
  const ControlRecord& r = f->rec;
  const std::string text = FieldText(field);
  bool refused = false;
  if (FirstNonBlank(text) > 0) {
    double v = 0.0;
    int valid = 0;
    ParseDoubleChecked(v, valid, text);
    if (valid)
      refused = RangeInForce(r) && (std::isnan(v) || !(r.rangeLow <= v && v <= r.rangeHigh));
    else
      // A text that is no number never passes: read as a number it would be
      // 0, which the user did not type.
      refused = true;
    // A grid's integer cell holds 32 bits: a longer number never reaches it.
    const bool gridEditor = FindLoaded(plat::GetParent(field)) == nullptr;
    if (valid && gridEditor && KindOf(f->className) == NumberKind::Integer &&
        !(v >= std::numeric_limits<std::int32_t>::min() &&
          v <= std::numeric_limits<std::int32_t>::max()))
      refused = true;
  } else {
    refused = r.hasValue == 1 && RangeInForce(r);
  }
  (void)force;  // a text that is no number is refused with or without it
  if (refused && s.deferred != plat::kNoWindow) return 0;
  if (refused) {
    s.running = true;
    RefocusInvalidField(receiving == plat::kNoWindow ? field : receiving, field);
    s.running = false;
    return 1;
  }
  if (moving) {
    s.deferred = plat::kNoWindow;
    s.tabPending = plat::kNoWindow;
    s.snapshotWanted = true;
  }
  return 0;
}

bool RefusesPushButton(LoadedDialog& d, int button) {
  ValidationState& s = Vs();
  // A field let go when the focus moved to this button gets its last valid
  // contents back, and the button acts.
  plat::Hwnd restore = s.deferred;
  s.deferred = plat::kNoWindow;
  const plat::Hwnd focus = plat::GetFocus();
  if (restore == plat::kNoWindow && NumericField(focus) != nullptr &&
      ValidateNumericField(focus, focus, 0) != 0) {
    if (button == plat::kIdOk) {
      BeepIfEnabled();
      plat::SetFocus(focus);
      SelectAll(focus);
      return true;
    }
    restore = focus;
  }
  if (restore != plat::kNoWindow) {
    if (s.tabPending == restore) s.tabPending = plat::kNoWindow;
    if (DialogField* f = NumericField(restore)) {
      const int saved = f->rec.reportEveryChange;
      f->rec.reportEveryChange = 0;
      plat::SetWindowText(f->hwnd, s.snapshotText);
      f->rec.reportEveryChange = saved;
      f->rec.value = s.snapshotValue;
      plat::EditSetModify(f->hwnd, false);
    }
    s.snapshotWanted = true;
  }
  (void)d;
  return false;
}

void StepSpinField(DialogField& f, const plat::NotifyHeader& hdr) {
  const auto& note = reinterpret_cast<const plat::UpDownNotify&>(hdr);
  ValidationState& s = Vs();
  int delta = note.delta;
  if (s.spinPressed == hdr.from && plat::NowMs() - s.spinPressStart >= kLargeStepAfterMs)
    delta *= 5;
  SpinStep(f, delta);
}

bool HandleSpinNotify(LoadedDialog& d, const plat::NotifyHeader& hdr) {
  if (hdr.code != plat::kUdnDeltaPos) return false;
  DialogField* f = nullptr;
  for (DialogField& g : d.fields)
    if (g.rec.buddy == hdr.from && IsNumericClass(g.className) && IsSpinClass(g.className)) f = &g;
  if (f == nullptr) return false;
  StepSpinField(*f, hdr);
  // The step is a change of the field (value -1), not while a dialog is
  // being made and not inside a modal show.
  DialogManagerState& dm = Dm();
  const bool modal = dm.modalDialog != plat::kNoWindow &&
                     (d.hwnd == dm.modalDialog || plat::IsChild(dm.modalDialog, d.hwnd));
  if (!dm.creatingDialog) {
    d.rec.focusField = f->id;
    if (!modal) {
      d.rec.previousField = d.rec.currentField = f->id;
      StoreEvent(kEventFieldChanged, 0, plat::MakeWParam(f->id, 0), -1, d.hwnd);
    }
  }
  return true;
}

plat::Hwnd PendingRefusedField() {
  ValidationState& s = Vs();
  if (LiveField(s.tabPending) != plat::kNoWindow) return s.tabPending;
  return LiveField(s.deferred);
}

void FocusRefusedField(plat::Hwnd field) {
  plat::SetFocus(field);
  SelectAll(field);
}

void InstallPushButtonProcedure(DialogField& f) {
  if (!IsPushButtonWindow(f.hwnd)) return;
  auto old = std::make_shared<plat::WindowProc>();
  *old = plat::SetWindowProc(f.hwnd, [old](plat::Hwnd h, plat::Msg m, plat::WParam w,
                                           plat::LParam l) -> plat::LResult {
    const plat::WindowProc previous = *old;  // a copy: the window may go while it runs
    auto pass = [&] { return previous ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l); };
    ValidationState& s = Vs();
    switch (m) {
      case plat::Msg::KillFocus: {
        // The focus leaves the button without a click: the field let go for
        // it takes the focus back.
        const plat::LResult r = pass();
        const plat::Hwnd field = LiveField(s.deferred);
        if (s.buttonLeaveCheck && !s.running && field != plat::kNoWindow &&
            static_cast<plat::Hwnd>(w) != field && plat::IsWindowVisible(field)) {
          s.deferred = plat::kNoWindow;
          s.running = true;
          RefocusInvalidField(h, field);
          s.running = false;
        }
        return r;
      }
      case plat::Msg::LButtonUp: {
        const bool outside = !plat::GetClientRect(h).Contains(plat::LParamToPoint(l));
        const plat::LResult r = pass();
        // Released outside the button: no click; the field let go for it
        // takes the focus back.
        const plat::Hwnd field = LiveField(s.deferred);
        if (outside && field != plat::kNoWindow && plat::IsWindowVisible(field) &&
            plat::GetFocus() == h) {
          s.deferred = plat::kNoWindow;
          s.buttonLeaveCheck = false;
          s.running = true;
          RefocusInvalidField(h, field);
          s.running = false;
          s.buttonLeaveCheck = true;
        }
        return r;
      }
      default:
        return pass();
    }
  });
}

void ResetNumericValidation() {
  Vs() = ValidationState{};
}

}  // namespace tk
