// Field access by type: numbers through edit descriptors with ranges, texts,
// check boxes, radio groups, field states, options and information.
#include <cmath>
#include <limits>

#include "platform/FixedText.h"
#include "platform/controls/Controls.h"
#include "platform/window/Window.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/DialogFieldGraphics.h"
#include "toolkit/dialogs/DialogLists.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/dialogs/GridLink.h"

namespace tk {

namespace {

constexpr std::string_view kDefaultRealFormat = "(G15.5E2)";
constexpr std::size_t kFormatCapacity = 50;
constexpr std::size_t kTextCapacity = 100;
constexpr std::size_t kReadCapacity = 254;

/// The current dialog, or null after reporting 1005 under NAME.
LoadedDialog* NeedDialog(std::string_view name) {
  LoadedDialog* d = CurrentDialog();
  if (d == nullptr) ReportLibraryError(kErrNoDialog, name);
  return d;
}

/// Field ID of the current dialog, or null after reporting 1006 under NAME.
DialogField* NeedField(LoadedDialog& d, int id, std::string_view name) {
  DialogField* f = FindField(d, id);
  if (f == nullptr) ReportLibraryError(kErrBadField, name);
  return f;
}


/// The window holding a field's text (a combo box's edit when it has one).
plat::Hwnd TextWindow(const DialogField& f) {
  const plat::Hwnd edit = plat::ComboBoxGetEdit(f.hwnd);
  return edit != plat::kNoWindow ? edit : f.hwnd;
}

std::string GetFieldFormat(const DialogField* f) {
  if (f != nullptr && f->rec.format &&
      (SameClass(f->className, "REALEDIT") || SameClass(f->className, "DOUBLEEDIT")))
    return f->rec.format->substr(0, kFormatCapacity - 1);
  return std::string(kDefaultRealFormat);
}

bool InRange(const ControlRecord& r, double v) {
  if (std::isnan(v)) return false;
  if (r.rangeLow > r.rangeHigh) return true;
  return r.rangeLow <= v && !(r.rangeHigh < v);
}

void StoreFieldText(DialogField& f, double value, const std::string& text,
                    const std::string& descriptor) {
  ControlRecord& r = f.rec;
  const int saved = r.reportEveryChange;
  r.reportEveryChange = 0;
  plat::SetWindowText(TextWindow(f), text);
  r.value = value;
  if (value == 0.0) {
    double parsed = 0.0;
    int valid = 0;
    ParseDoubleChecked(parsed, valid, text);
    if (valid) r.value = parsed;
  }
  r.hasValue = FirstNonBlank(text) > 0 ? 1 : 0;
  r.format.reset();
  if (!descriptor.empty()) r.format = descriptor;
  if (IsEditType(f)) plat::EditSetModify(f.hwnd, false);
  plat::InvalidateRect(f.hwnd, std::nullopt, true);
  r.reportEveryChange = saved;
}

/// The common part of the numeric puts, from the text on.
void PutNumber(std::string_view name, int field, double value, std::string text,
               const std::string& descriptor) {
  LoadedDialog* d = NeedDialog(name);
  if (d == nullptr) return;
  JustifyString(text, "L");
  DialogField* f = NeedField(*d, field, name);
  if (f == nullptr) return;
  if (!InRange(f->rec, value)) {
    ReportLibraryError(kErrOutOfRange, name);
    return;
  }
  StoreFieldText(*f, value, std::string(plat::TrimRight(text, plat::kBlankOrNul)), descriptor);
}

/// The field's number; nullopt when its text is blank.
std::optional<double> ReadFieldNumber(const DialogField& f) {
  std::string text = plat::GetWindowText(TextWindow(f));
  if (text.size() > kReadCapacity) text.resize(kReadCapacity);
  if (FirstNonBlank(text) == 0) return std::nullopt;
  if (IsNumericClass(f.className) && !plat::EditGetModify(f.hwnd)) return f.rec.value;
  double v = 0.0;
  ParseDoubleQuiet(v, text);
  return v;
}

/// First and last control (indices into the fields) of FIELD's radio group.
std::pair<std::size_t, std::size_t> FindRadioGroup(const LoadedDialog& d, std::size_t at) {
  const std::vector<DialogField>& fs = d.fields;
  auto starts = [&](std::size_t i) { return (plat::GetStyle(fs[i].hwnd) & plat::kWsGroup) != 0; };
  auto same = [&](std::size_t i) { return SameClass(fs[i].className, fs[at].className); };
  std::size_t first = at;
  while (!starts(first) && first > 0) {
    if (!same(first - 1)) break;
    --first;
  }
  std::size_t last = at;
  while (last + 1 < fs.size() && !starts(last + 1) && same(last + 1)) ++last;
  return {first, last};
}

std::size_t IndexOf(const LoadedDialog& d, const DialogField* f) {
  return static_cast<std::size_t>(f - d.fields.data());
}

}  // namespace

void WDialogPutInteger(int field, std::int32_t value) {
  std::string text(kTextCapacity, ' ');
  IntegerToString(value, text, "(I11)");
  PutNumber("WDialogPutInteger", field, value, std::move(text), "");
}

void WDialogPutReal(int field, float value, std::optional<std::string_view> format) {
  constexpr std::string_view kName = "WDialogPutReal";
  std::string descriptor;
  if (format && FirstNonBlank(*format) > 0)
    descriptor = plat::TrimRight(format->substr(0, kFormatCapacity), plat::kBlankOrNul);
  else {
    LoadedDialog* d = CurrentDialog();
    descriptor = GetFieldFormat(d ? FindField(*d, field) : nullptr);
  }
  std::string text(kTextCapacity, ' ');
  IRealToString(value, text, descriptor);
  PutNumber(kName, field, static_cast<double>(value), std::move(text), descriptor);
}

void WDialogGetInteger(int field, std::int32_t& value) {
  constexpr std::string_view kName = "WDialogGetInteger";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = NeedField(*d, field, kName);
  if (f == nullptr) return;
  const std::optional<double> v = ReadFieldNumber(*f);
  if (!v) {
    value = kUndefinedInteger;
    ReportLibraryError(kErrUndefined, kName);
    return;
  }
  // Truncated toward zero; a number beyond the integer range stops at its end.
  const double t = std::trunc(*v);
  if (std::isnan(t))
    value = 0;
  else if (t >= 2147483647.0)
    value = std::numeric_limits<std::int32_t>::max();
  else if (t <= -2147483648.0)
    value = std::numeric_limits<std::int32_t>::min();
  else
    value = static_cast<std::int32_t>(t);
}

void WDialogGetReal(int field, float& value) {
  constexpr std::string_view kName = "WDialogGetReal";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = NeedField(*d, field, kName);
  if (f == nullptr) return;
  const std::optional<double> v = ReadFieldNumber(*f);
  if (!v) {
    value = kUndefinedReal;
    ReportLibraryError(kErrUndefined, kName);
    return;
  }
  value = static_cast<float>(*v);
}

void WDialogPutString(int field, std::string_view text) {
  constexpr std::string_view kName = "WDialogPutString";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = NeedField(*d, field, kName);
  if (f == nullptr) return;
  StoreFieldText(*f, 0.0, std::string(plat::TrimRight(text, plat::kBlankOrNul)), "");
}

void WDialogGetString(int field, std::string& text) {
  constexpr std::string_view kName = "WDialogGetString";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = FindField(*d, field);
  const std::size_t size = text.size();
  if (f == nullptr) {
    text.assign(size, ' ');
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  std::string t = plat::GetWindowText(TextWindow(*f));
  if (t.size() > size) t.resize(size);
  t.resize(size, ' ');
  text = std::move(t);
}

void WDialogGetStringLength(int field, std::int32_t& length) {
  constexpr std::string_view kName = "WDialogGetStringLength";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = NeedField(*d, field, kName);
  if (f == nullptr) return;
  length = static_cast<std::int32_t>(plat::GetWindowText(TextWindow(*f)).size());
}

void WDialogPutCheckBox(int field, std::int32_t state) {
  constexpr std::string_view kName = "WDialogPutCheckBox";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = FindField(*d, field);
  if (f == nullptr || (FieldTypeOf(*f) != kFieldCheckBox && FieldTypeOf(*f) != kFieldRadioButton)) {
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  plat::ButtonSetCheck(f->hwnd, state);
}

void WDialogGetCheckBox(int field, std::int32_t& state) {
  constexpr std::string_view kName = "WDialogGetCheckBox";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = FindField(*d, field);
  if (f == nullptr || (FieldTypeOf(*f) != kFieldCheckBox && FieldTypeOf(*f) != kFieldRadioButton)) {
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  state = plat::ButtonGetCheck(f->hwnd) == plat::kUnchecked ? 0 : 1;
}

void WDialogPutRadioButton(int field) {
  constexpr std::string_view kName = "WDialogPutRadioButton";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = FindField(*d, field);
  if (f == nullptr || FieldTypeOf(*f) != kFieldRadioButton) {
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  const auto [first, last] = FindRadioGroup(*d, IndexOf(*d, f));
  for (std::size_t i = first; i <= last; ++i)
    plat::ButtonSetCheck(d->fields[i].hwnd,
                         d->fields[i].hwnd == f->hwnd ? plat::kChecked : plat::kUnchecked);
}

void WDialogGetRadioButton(int field, std::int32_t& position) {
  constexpr std::string_view kName = "WDialogGetRadioButton";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = FindField(*d, field);
  if (f == nullptr || FieldTypeOf(*f) != kFieldRadioButton) {
    position = 0;
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  const auto [first, last] = FindRadioGroup(*d, IndexOf(*d, f));
  for (std::size_t i = first; i <= last; ++i) {
    if (plat::ButtonGetCheck(d->fields[i].hwnd) != plat::kUnchecked) {
      position = static_cast<std::int32_t>(i - first + 1);
      return;
    }
  }
  position = kUndefinedInteger;
  ReportLibraryError(kErrUndefined, kName);
}

void WDialogFieldState(int field, int state) {
  constexpr std::string_view kName = "WDialogFieldState";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = NeedField(*d, field, kName);
  if (f == nullptr) return;
  f->rec.state = state;
  const plat::Hwnd focus = plat::GetFocus();
  const bool hadFocus = focus == f->hwnd || plat::IsChild(f->hwnd, focus);
  const bool grid = FieldTypeOf(*f) == kFieldGrid;
  const bool moveFocus = state == kFieldDisabled || state == kFieldHidden ||
                         (state == kFieldReadOnly && !IsEditType(*f) && !grid);
  if (IsEditType(*f)) {
    plat::EnableWindow(f->hwnd, state == kFieldEnabled || state == kFieldReadOnly);
    plat::EditSetReadOnly(f->hwnd, state == kFieldReadOnly);
  } else if (grid) {
    // A read-only grid stays enabled, so that it scrolls and its cells can
    // be looked at and copied; its read-only bit refuses every change.
    constexpr unsigned kGridReadOnly = 0x0800;
    const unsigned style = plat::GetStyle(f->hwnd);
    plat::SetStyle(f->hwnd, state == kFieldReadOnly ? style | kGridReadOnly : style & ~kGridReadOnly);
    plat::EnableWindow(f->hwnd, state == kFieldEnabled || state == kFieldReadOnly);
    if (const GridLink& link = GetGridLink(); link.readOnlyChanged) link.readOnlyChanged(f->hwnd);
  } else {
    plat::EnableWindow(f->hwnd, state == kFieldEnabled);
  }
  plat::ShowWindow(f->hwnd,
                   state == kFieldHidden ? plat::ShowCmd::Hide : plat::ShowCmd::ShowNoActivate);
  if (f->rec.buddy != plat::kNoWindow) {  // a spin field's arrows follow it
    plat::EnableWindow(f->rec.buddy, state == kFieldEnabled);
    plat::ShowWindow(f->rec.buddy,
                     state == kFieldHidden ? plat::ShowCmd::Hide : plat::ShowCmd::ShowNoActivate);
  }
  if (FieldTypeOf(*f) == kFieldTab) TabFieldShowPage(*d, *f, -1);  // its page goes with it
  plat::InvalidateRect(f->hwnd, std::nullopt, true);
  if (moveFocus && hadFocus) {
    d->rec.focusField = 0;
    plat::SetFocus(d->rec.combinedWindow != plat::kNoWindow ? d->rec.combinedWindow : d->hwnd);
  }
}

void WDialogFieldOptions(int field, int option, int value) {
  constexpr std::string_view kName = "WDialogFieldOptions";
  // Grid options: Enter moves down (1), Tab moves between cells (2).
  constexpr unsigned kGridEnterMovesDown = 0x1000;
  constexpr unsigned kGridTabMoves = 0x4000;
  if (field == 0 && (option == 1 || option == 2)) {
    // Field 0: the grid of the current window when it is a grid window.
    const plat::Hwnd grid = CurrentWindowGridField();
    if (grid == plat::kNoWindow) {
      ReportLibraryError(kErrBadField, kName);
      return;
    }
    const unsigned bit = option == 1 ? kGridEnterMovesDown : kGridTabMoves;
    const unsigned style = plat::GetStyle(grid);
    plat::SetStyle(grid, value != 0 ? style | bit : style & ~bit);
    return;
  }
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = NeedField(*d, field, kName);
  if (f == nullptr) return;
  const FieldType t = FieldTypeOf(*f);
  if (option == 1 || option == 2) {
    if (t != kFieldGrid) {
      ReportLibraryError(kErrBadField, kName);
      return;
    }
    const unsigned bit = option == 1 ? kGridEnterMovesDown : kGridTabMoves;
    const unsigned style = plat::GetStyle(f->hwnd);
    plat::SetStyle(f->hwnd, value != 0 ? style | bit : style & ~bit);
    return;
  }
  if (option == 3) {
    if (!IsEditType(*f) && t != kFieldComboBox && t != kFieldGrid) {
      ReportLibraryError(kErrBadField, kName);
      return;
    }
    f->rec.reportEveryChange = value != 0 ? 1 : 0;
  }
}

int WDialogFieldInfo(int field, int item) {
  LoadedDialog* d = CurrentDialog();
  if (d == nullptr) return 0;
  DialogField* f = FindField(*d, field);
  if (f == nullptr) return 0;
  int rect[4] = {0, 0, 0, 0};
  FieldRectangle(field, rect[0], rect[1], rect[2], rect[3], 1);
  switch (item) {
    case 1:
    case 2:
    case 3:
    case 4:
      return rect[item - 1];
    case 5:
      return FieldTypeOf(*f);
    case 6:
      return FieldStateOf(*f);
    case 7:
    case 8:
      if (FieldTypeOf(*f) != kFieldTrackbar) return 0;
      return item == 7 ? plat::TrackbarGetRangeMin(f->hwnd) : plat::TrackbarGetRangeMax(f->hwnd);
    default:
      return 0;
  }
}

void WDialogRangeInteger(int field, std::optional<std::int32_t> minimum,
                         std::optional<std::int32_t> maximum) {
  constexpr std::string_view kName = "WDialogRangeInteger";
  LoadedDialog* d = NeedDialog(kName);
  if (d == nullptr) return;
  DialogField* f = NeedField(*d, field, kName);
  if (f == nullptr) return;
  if (!minimum && !maximum) {
    f->rec.rangeLow = 1000.0;
    f->rec.rangeHigh = -1000.0;
    return;
  }
  f->rec.rangeLow = minimum.value_or(-2147483647);
  f->rec.rangeHigh = maximum.value_or(2147483647);
}

}  // namespace tk
