// The dialog table, the current dialog, loading and unloading, the status
// words, and the dialog procedure that turns notifications into events.
#include <algorithm>
#include <cctype>

#include "platform/controls/Controls.h"
#include "toolkit/dialogs/FieldImages.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/Window.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/DialogExtras_p.h"
#include "toolkit/dialogs/DialogLists.h"
#include "toolkit/dialogs/GridLink.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/dialogs/NumericFields_p.h"

namespace tk {

namespace {

std::vector<res::DialogTemplate>& ExtraTemplates() {
  static std::vector<res::DialogTemplate> t;
  return t;
}

std::vector<int>& HiddenTemplates() {
  static std::vector<int> ids;
  return ids;
}


constexpr std::string_view kNumericClasses[] = {"INTEGEREDIT", "INTEGERSPIN", "REALEDIT",
                                                "REALSPIN",    "DOUBLEEDIT",  "DOUBLESPIN"};

/// The window class a template's control is made of.
std::string PlatformClass(const std::string& cls) {
  if (IsNumericClass(cls)) return std::string(plat::kEditClass);
  if (!plat::IsClassRegistered(cls)) return std::string(plat::kStaticClass);
  return cls;
}

plat::DialogSpec SpecOf(const res::DialogTemplate& t) {
  (void)plat::RegisterControls();
  plat::DialogSpec s;
  s.id = t.id;
  s.child = t.kind == res::DialogKind::Child;
  s.caption = t.caption;
  s.rect = {t.x, t.y, t.x + t.width, t.y + t.height};
  s.style = t.style;
  for (const res::DialogControl& c : t.controls) {
    plat::DialogControlSpec cs;
    cs.className = PlatformClass(c.className);
    cs.id = c.id;
    cs.rect = {c.x, c.y, c.x + c.width, c.y + c.height};
    cs.text = c.text;
    cs.style = c.style;
    if (!plat::IsClassRegistered(c.className) && !IsNumericClass(c.className))
      cs.style = c.style & (plat::kStyleVisible | plat::kStyleDisabled);
    s.controls.push_back(std::move(cs));
  }
  return s;
}

int FindDialogNumber(int identifier) {
  DialogManagerState& s = Dm();
  for (int i = 0; i <= s.loadedCount; ++i) {
    const auto& d = s.table[static_cast<std::size_t>(i)];
    if (d && d->rec.identifier == identifier) return i;
  }
  return -1;
}

/// Set-up of the fields of a freshly made dialog. A grid's column template
/// (COLUMNTEMPLATE) leaves the fields that are not numeric as they are, with
/// a fresh record each.
void SetupFields(LoadedDialog& d, const res::DialogTemplate& t, bool columnTemplate = false) {
  const std::vector<plat::Hwnd> controls = plat::DialogControls(d.hwnd);
  for (std::size_t i = 0; i < controls.size() && i < t.controls.size(); ++i) {
    DialogField f;
    f.hwnd = controls[i];
    f.className = t.controls[i].className;
    f.id = t.controls[i].id;
    ControlRecord& r = f.rec;
    if (columnTemplate && !IsNumericClass(f.className)) {
      d.fields.push_back(std::move(f));
      continue;
    }
    if (SameClass(f.className, plat::kEditClass)) {
      r.maxLength = (plat::GetStyle(f.hwnd) & plat::kEsMultiline) ? 65535 : 32767;
      plat::EditSetLimit(f.hwnd, r.maxLength);
    } else if (IsNumericClass(f.className)) {
      r.spinStep = 1.0;
      r.spinPageStep = 5.0;
      if (f.className.rfind("INTEGER", 0) == 0 || f.className.rfind("integer", 0) == 0) {
        r.maxLength = 11;
        plat::EditSetLimit(f.hwnd, r.maxLength);
      }
      const std::string text = plat::GetWindowText(f.hwnd);
      ParseDoubleQuiet(r.value, text);
      r.hasValue = FirstNonBlank(text) > 0 ? 1 : 0;
      SetupNumericField(d, f);
    } else if (SameClass(f.className, plat::kButtonClass)) {
      // Plain and three-state check boxes become automatic ones, plain
      // radio buttons automatic radio buttons.
      const unsigned style = plat::GetStyle(f.hwnd);
      const unsigned type = style & plat::kBsTypeMask;
      unsigned to = type;
      if (type == plat::kBsCheckBox || type == plat::kBs3State) to = plat::kBsAutoCheckBox;
      if (type == plat::kBsRadioButton) to = plat::kBsAutoRadioButton;
      if (to != type) plat::ButtonSetStyle(f.hwnd, (style & ~plat::kBsTypeMask) | to);
      InstallPushButtonProcedure(f);
    } else if (SameClass(f.className, plat::kTreeViewClass)) {
      plat::SetStyle(f.hwnd, plat::GetStyle(f.hwnd) | plat::kTvsHasButtons | plat::kTvsHasLines |
                                 plat::kTvsLinesAtRoot | plat::kTvsDisableDragDrop |
                                 plat::kTvsShowSelAlways);
    }
    InstallListFieldProcedure(f);
    d.fields.push_back(std::move(f));
  }
  for (DialogField& f : d.fields) f.rec.state = FieldStateOf(f);
}

/// The button F1 stands for.
constexpr int kHelpButton = 9;

int FocusedFieldId(LoadedDialog& d) {
  DialogField* f = FieldOfWindow(d, plat::GetFocus());
  return f ? f->id : 0;
}

bool IsPushButtonField(const DialogField& f) {
  if (FieldTypeOf(f) == kFieldPushButton) return true;
  if (FieldTypeOf(f) != kFieldStaticText) return false;
  const unsigned style = plat::GetStyle(f.hwnd);
  const unsigned type = style & 0xFF;
  return (style & plat::kSsNotify) && (type == plat::kSsLeft || type == plat::kSsCenter);
}

/// A push button, Escape or the close box.
std::optional<plat::LResult> PushButton(LoadedDialog& d, int button, DialogField* f) {
  DialogManagerState& s = Dm();
  if (RefusesPushButton(d, button)) return 0;
  const int focused = FocusedFieldId(d);
  const bool focusOnButton = f != nullptr && focused == f->id;
  if (IsInModal(d)) {
    s.closedModalId = d.rec.identifier;
    d.rec.currentField = button;
    if (!focusOnButton && focused != 0) d.rec.previousField = focused;
    // Enter or Escape in a field of a tab page ends the show too: the
    // dialog shown tells the button that closed it.
    if (LoadedDialog* top = FindLoaded(s.modalDialog); top != nullptr && top != &d) {
      top->rec.currentField = button;
      if (!focusOnButton && focused != 0) top->rec.previousField = focused;
    }
    plat::EndDialogModal(s.modalDialog, button);
    return 1;
  }
  // A button that took the focus with the click counts as the current field
  // from then on (the focus change itself raises no event here).
  if (!focusOnButton || d.rec.currentField != button) d.rec.previousField = d.rec.currentField;
  if (focusOnButton) d.rec.currentField = button;
  StoreEvent(kEventPushButton, button, plat::MakeWParam(button, 0), 0, d.hwnd);
  return 0;
}

void FieldChanged(LoadedDialog& d, DialogField& f, int code, plat::LParam l) {
  DialogManagerState& s = Dm();
  if (s.creatingDialog) return;
  d.rec.focusField = f.id;
  if (IsInModal(d)) return;
  const bool focusNote = code == 0x100 || code == 3 || code == 4 || code == 6;
  if (focusNote && f.id == d.rec.currentField) return;
  d.rec.previousField = d.rec.currentField;
  d.rec.currentField = f.id;
  StoreEvent(kEventFieldChanged, 0, plat::MakeWParam(f.id, code), l, d.hwnd);
}

// The control identifier in the low word of a command's WPARAM: 1..65534 as
// they stand (button identifiers above 32767 included), 0xFFFF the -1 of
// fields nothing addresses.
int ControlIdOf(plat::WParam w) {
  const int id = static_cast<int>(plat::LowWord(w));
  return id == 0xFFFF ? -1 : id;
}

std::optional<plat::LResult> OnCommand(LoadedDialog& d, plat::WParam w, plat::LParam l) {
  const int id = ControlIdOf(w);
  const int code = plat::HighWord(w);
  const auto ctrl = static_cast<plat::Hwnd>(l);
  DialogField* f = ctrl != plat::kNoWindow ? FieldOfWindow(d, ctrl) : nullptr;
  if (ctrl == plat::kNoWindow || (f == nullptr && code == 0)) return PushButton(d, id, nullptr);
  if (f == nullptr) return std::nullopt;
  if (code == 0 && IsPushButtonField(*f)) return PushButton(d, f->id, f);
  const FieldType type = FieldTypeOf(*f);
  if (code == 2 && (type == kFieldListBox || type == kFieldComboBox)) {
    if (!(f->rec.flags & 1)) {
      const plat::Hwnd def = plat::DialogDefaultButton(d.hwnd);
      if (def != plat::kNoWindow) plat::PressDialogButton(d.hwnd, plat::GetWindowId(def));
    }
    return 0;
  }
  const bool isButton = SameClass(f->className, plat::kButtonClass);
  switch (code) {
    case 0:
    case 1:
    case 3:
    case 4:
    case 0x100:
      break;
    case 6:
      if (!isButton) return 0;
      break;
    case 5:
    case 0x300:
      if (!f->rec.reportEveryChange) return 0;
      break;
    default:
      return 0;
  }
  FieldChanged(d, *f, code, l);
  return 0;
}

std::optional<plat::LResult> DialogHandler(plat::Hwnd dlg, plat::Msg m, plat::WParam w,
                                           plat::LParam l) {
  LoadedDialog* d = FindLoaded(dlg);
  if (d == nullptr) return std::nullopt;
  DialogManagerState& s = Dm();
  // A grid field's current cell moved: wParam the field, lParam the cell.
  if (m != plat::Msg::Null && m == GetGridLink().cellChange) {
    const int id = static_cast<int>(w);
    for (DialogField& f : d->fields)
      if (f.id == id) FieldChanged(*d, f, 0, l);
    return 0;
  }
  switch (m) {
    case plat::Msg::Command:
      return OnCommand(*d, w, l);
    case plat::Msg::Help:
      // F1 acts as a press of button 9, the help button, outside a modal show.
      if (!IsInModal(*d)) {
        if (FocusedFieldId(*d) != kHelpButton) d->rec.previousField = d->rec.currentField;
        StoreEvent(kEventPushButton, kHelpButton, plat::MakeWParam(kHelpButton, 0), 0, dlg);
      }
      return 1;
    case plat::Msg::Notify:
      if (l != 0 && HandleSpinNotify(*d, *reinterpret_cast<const plat::NotifyHeader*>(l))) return 1;
      return ListFieldMessage(*d, m, w, l);
    case plat::Msg::HScroll:
    case plat::Msg::VScroll:
      return ListFieldMessage(*d, m, w, l);
    case plat::Msg::CtlColourEdit:
    case plat::Msg::CtlColourListBox:
    case plat::Msg::CtlColourButton:
    case plat::Msg::CtlColourStatic: {
      if (l == 0) return 0;
      auto& colours = *reinterpret_cast<plat::ControlColours*>(l);
      return DialogControlColours(dlg, m, colours, colours.control) ? 1 : 0;
    }
    case plat::Msg::Size:
      if (w != plat::kSizeMinimized) ApplyResizeLayout(*d);
      return std::nullopt;
    case plat::Msg::Activate:
      if (w != plat::kInactive)
        s.activeDialog = dlg;
      else if (s.activeDialog == dlg)
        s.activeDialog = plat::kNoWindow;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

/// The items of dialog events (the event loop's link).
bool FillDialogEvent(int type, plat::WParam w, plat::LParam l, plat::Hwnd h, EventRecord& out) {
  LoadedDialog* d = FindLoaded(h);
  if (d == nullptr) return false;
  out = EventRecord{};
  out.window = d->rec.identifier;
  out.value1 = out.value2 = out.value3 = out.value4 = out.x = out.y = -1;
  switch (type) {
    case kEventPushButton:
      out.value1 = ControlIdOf(w);
      out.value2 = d->rec.previousField;
      return true;
    case kEventFieldChanged:
      out.value1 = d->rec.previousField;
      out.value2 = d->rec.currentField;
      out.value3 = 0;
      out.x = d->rec.lastCell;
      out.y = static_cast<std::int32_t>(l);
      d->rec.lastCell = out.y;
      return true;
    case kEventTabChanged:
      out.value1 = d->rec.previousPage;
      out.value2 = d->rec.currentPage;
      return true;
    default:
      return FillFieldEvent(*d, type, w, l, out);
  }
}

/// Takes out of the table every dialog whose window is gone, keeping the
/// current dialog current when it is still there.
void CompactTable() {
  DialogManagerState& s = Dm();
  LoadedDialog* current = CurrentDialog();
  std::vector<std::unique_ptr<LoadedDialog>> keep;
  for (int i = 1; i <= s.loadedCount; ++i) {
    auto& slot = s.table[static_cast<std::size_t>(i)];
    if (slot && plat::IsWindow(slot->hwnd)) keep.push_back(std::move(slot));
    slot.reset();
  }
  s.loadedCount = static_cast<int>(keep.size());
  s.currentNumber = 0;
  for (int i = 0; i < s.loadedCount; ++i) {
    if (keep[static_cast<std::size_t>(i)].get() == current) s.currentNumber = i + 1;
    s.table[static_cast<std::size_t>(i + 1)] = std::move(keep[static_cast<std::size_t>(i)]);
  }
  if (s.currentNumber == 0) DialogStatus().item3 = 0;
}

}  // namespace

bool IsInModal(const LoadedDialog& d) {
  const plat::Hwnd m = Dm().modalDialog;
  return m != plat::kNoWindow && (d.hwnd == m || plat::IsChild(m, d.hwnd));
}


// ---------------------------------------------------------------------------
// Shared helpers

const res::DialogTemplate* FindDialogTemplate(int id) {
  for (const res::DialogTemplate& t : ExtraTemplates())
    if (t.id == id) return &t;
  for (const int hidden : HiddenTemplates())
    if (hidden == id) return nullptr;
  return res::ProgramResources().FindDialog(id);
}

std::unique_ptr<LoadedDialog> LoadColumnDialog(int id, plat::Hwnd owner) {
  const res::DialogTemplate* t = FindDialogTemplate(id);
  if (t == nullptr) return nullptr;
  auto d = std::make_unique<LoadedDialog>();
  d->templateId = id;
  d->rec.identifier = id;
  plat::DialogSpec spec = SpecOf(*t);
  spec.style &= ~plat::kStyleVisible;
  spec.child = false;
  // The template only describes columns: its procedure leaves every message
  // to the default handling.
  d->hwnd = plat::CreateDialogFromSpec(
      spec, owner, [](plat::Hwnd, plat::Msg, plat::WParam, plat::LParam) {
        return std::optional<plat::LResult>{};
      });
  if (d->hwnd == plat::kNoWindow) return nullptr;
  DialogManagerState& s = Dm();
  const int savedCreating = s.creatingDialog;
  s.creatingDialog = 1;
  SetupFields(*d, *t, true);
  ReadDialogExtras(*d, *t, -1);
  s.creatingDialog = savedCreating;
  return d;
}

plat::Hwnd ActiveDialogOwner() {
  DialogManagerState& s = Dm();
  if (s.activeDialog != plat::kNoWindow && plat::IsWindowVisible(s.activeDialog)) {
    const LoadedDialog* d = FindLoaded(s.activeDialog);
    if (d != nullptr && d->rec.combinedWindow != plat::kNoWindow) return d->rec.combinedWindow;
    return s.activeDialog;
  }
  return plat::kNoWindow;
}

DialogManagerState& Dm() {
  static DialogManagerState s;
  return s;
}

LoadedDialog* FindLoaded(plat::Hwnd h) {
  if (h == plat::kNoWindow) return nullptr;
  DialogManagerState& s = Dm();
  for (int i = 1; i <= s.loadedCount; ++i) {
    LoadedDialog* d = s.table[static_cast<std::size_t>(i)].get();
    if (d && d->hwnd == h) return d;
  }
  return nullptr;
}

LoadedDialog* CurrentDialog() {
  DialogManagerState& s = Dm();
  if (DialogStatus().item3 == 0 || s.currentNumber < 1 || s.currentNumber > s.loadedCount)
    return nullptr;
  return s.table[static_cast<std::size_t>(s.currentNumber)].get();
}

DialogField* FindField(LoadedDialog& d, int id) {
  for (DialogField& f : d.fields)
    if (f.id == id && plat::IsWindow(f.hwnd)) return &f;
  return nullptr;
}

DialogField* FieldOfWindow(LoadedDialog& d, plat::Hwnd h) {
  for (; h != plat::kNoWindow && h != d.hwnd; h = plat::GetParent(h))
    for (DialogField& f : d.fields)
      if (f.hwnd == h) return &f;
  return nullptr;
}

bool SameClass(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

bool IsNumericClass(std::string_view cls) {
  return std::any_of(std::begin(kNumericClasses), std::end(kNumericClasses),
                     [&](std::string_view n) { return SameClass(cls, n); });
}

bool IsEditType(const DialogField& f) {
  return SameClass(f.className, plat::kEditClass) || IsNumericClass(f.className);
}

FieldType FieldTypeOf(const DialogField& f) {
  const std::string& c = f.className;
  const unsigned style = plat::GetStyle(f.hwnd);
  if (SameClass(c, plat::kStaticClass)) {
    const unsigned t = style & 0xFF;
    return (t == 0 || t == 1 || t == 11) ? kFieldStaticText : kFieldOtherStatic;
  }
  if (SameClass(c, plat::kEditClass)) return kFieldString;
  if (SameClass(c, "INTEGEREDIT") || SameClass(c, "INTEGERSPIN")) return kFieldInteger;
  if (SameClass(c, "REALEDIT") || SameClass(c, "REALSPIN")) return kFieldReal;
  if (SameClass(c, "DOUBLEEDIT") || SameClass(c, "DOUBLESPIN")) return kFieldDouble;
  if (SameClass(c, plat::kButtonClass)) {
    if ((style & 7) == 7) return kFieldGroupBox;
    if ((style & 3) == 3) return kFieldCheckBox;
    if ((style & 9) == 9) return kFieldRadioButton;
    return kFieldPushButton;
  }
  if (SameClass(c, plat::kComboBoxClass)) return kFieldComboBox;
  if (SameClass(c, plat::kListBoxClass)) return kFieldListBox;
  if (SameClass(c, plat::kTabClass)) return kFieldTab;
  if (SameClass(c, plat::kProgressClass)) return kFieldProgressBar;
  if (SameClass(c, "JQXGRID")) return kFieldGrid;
  if (SameClass(c, plat::kTrackbarClass)) return kFieldTrackbar;
  if (SameClass(c, plat::kTreeViewClass)) return kFieldTreeView;
  return kFieldOther;
}

int FieldStateOf(const DialogField& f) {
  if (!plat::IsShown(f.hwnd)) return kFieldHidden;
  if (!plat::IsWindowEnabled(f.hwnd)) return kFieldDisabled;
  const FieldType t = FieldTypeOf(f);
  if ((IsEditType(f) || t == kFieldGrid) && (plat::GetStyle(f.hwnd) & plat::kEsReadOnly))
    return kFieldReadOnly;
  return kFieldEnabled;
}

void AddDialogTemplate(const res::DialogTemplate& t) {
  for (res::DialogTemplate& e : ExtraTemplates())
    if (e.id == t.id) {
      e = t;
      return;
    }
  ExtraTemplates().push_back(t);
}

void HideDialogTemplate(int id) {
  HiddenTemplates().push_back(id);
}

void ClearDialogTemplates() {
  ExtraTemplates().clear();
  HiddenTemplates().clear();
}

void InstallDialogEvents() {
  ConnectDialogGraphics();
  static bool done = false;
  if (done) return;
  done = true;
  SetDialogEventLink(DialogEventLink{FillDialogEvent});
  SetModalDialogLink(ModalDialogLink{ActiveDialogOwner, DisableShownDialogs, EnableShownDialogs,
                                     CompactTable, ResetDialogManager});
}

void ResetDialogManager() {
  DialogManagerState& s = Dm();
  for (int i = s.loadedCount; i >= 1; --i) {
    auto& d = s.table[static_cast<std::size_t>(i)];
    if (d && plat::IsWindow(d->hwnd)) plat::DestroyWindow(d->hwnd);
  }
  s = DialogManagerState{};
  ResetDialogStatus();
  ResetNumericValidation();
}

// ---------------------------------------------------------------------------
// Calls of the application

int LoadDialogHidden(int id, int ident, int owner) {
  DialogManagerState& s = Dm();
  if (const int found = FindDialogNumber(ident); found >= 1) return found;
  if (s.loadedCount >= kMaxDialogs) return -1;
  const res::DialogTemplate* t = FindDialogTemplate(id);
  if (t == nullptr) return -2;
  plat::Hwnd parent = plat::kNoWindow;
  if (owner == -1)
    parent = CurrentOwnerWindow();
  else if (WindowSlotInUse(owner))
    parent = WindowClientHandle(owner);
  const bool child = t->kind == res::DialogKind::Child;
  if (!child && parent != plat::kNoWindow) parent = plat::GetTopLevel(parent);
  if (s.loadParent != plat::kNoWindow) parent = s.loadParent;

  auto d = std::make_unique<LoadedDialog>();
  d->templateId = id;
  d->child = child;
  d->rec.identifier = ident;
  s.pendingFocusField = s.pendingX = s.pendingY = 0;
  const int savedCreating = s.creatingDialog;
  s.creatingDialog = 1;
  const plat::Hwnd savedActive = s.activeDialog;
  d->hwnd = plat::CreateDialogFromSpec(SpecOf(*t), parent, DialogHandler);
  if (d->hwnd == plat::kNoWindow) {
    s.creatingDialog = savedCreating;
    return -3;
  }
  SetupFields(*d, *t);
  ShowTemplateIcons(*d);
  const plat::Rect r = plat::GetWindowRect(d->hwnd);
  d->rec.minWidth = r.Width();
  d->rec.minHeight = r.Height();
  ++s.loadedCount;
  const int slot = s.loadedCount;
  LoadedDialog& loaded = *d;
  s.table[static_cast<std::size_t>(slot)] = std::move(d);
  s.currentNumber = slot;
  ReadDialogExtras(loaded, *t, slot);
  for (DialogField& f : loaded.fields) f.rec.state = FieldStateOf(f);
  s.creatingDialog = savedCreating;
  s.currentNumber = slot;
  s.activeDialog = savedActive;
  return slot;
}

void WDialogLoad(int id, std::optional<int> identifier, int owner) {
  constexpr std::string_view kName = "WDialogLoad";
  InstallDialogEvents();
  DialogManagerState& s = Dm();
  const int ident = identifier.value_or(id);
  const int found = FindDialogNumber(ident);
  if (found >= 1) {
    s.currentNumber = found;
    DialogStatus().item3 = ident;
    return;
  }
  const int previous = s.currentNumber;
  const int slot = LoadDialogHidden(id, ident, owner);
  if (slot < 0) {
    s.currentNumber = previous;
    ReportLibraryError(slot == -1   ? kErrTooManyDialogs
                       : slot == -2 ? kErrNoTemplate
                                    : kErrCreationFailed,
                       kName);
    return;
  }
  DialogStatus().item3 = ident;
}

void WDialogSelect(int identifier) {
  DialogManagerState& s = Dm();
  const int found = FindDialogNumber(identifier);
  if (found < 1) {
    ReportLibraryError(kErrNotLoaded, "WDialogSelect");
    return;
  }
  s.currentNumber = found;
  DialogStatus().item3 = identifier;
}

int HideDialogByNumber(int number);

void WDialogUnload(int keepPages) {
  (void)keepPages;  // tab pages arrive with the dialog extras
  constexpr std::string_view kName = "WDialogUnload";
  LoadedDialog* d = CurrentDialog();
  if (d == nullptr) {
    ReportLibraryError(kErrNoDialog, kName);
    return;
  }
  const int hidden = HideDialogByNumber(-1);
  if (hidden == -1) {
    ReportLibraryError(kErrCombined, kName);
    return;
  }
  if (hidden == -2) {
    ReportLibraryError(kErrSubDialog, kName);
    return;
  }
  // Dialogs inside this one or owned by it go with it.
  DialogManagerState& s = Dm();
  for (int i = s.loadedCount; i >= 1; --i) {
    LoadedDialog* o = s.table[static_cast<std::size_t>(i)].get();
    if (o == nullptr || o == d) continue;
    bool below = plat::IsChild(d->hwnd, o->hwnd);
    for (plat::Hwnd w = plat::GetOwner(o->hwnd); !below && w != plat::kNoWindow;
         w = plat::GetOwner(w))
      below = w == d->hwnd;
    if (below) {
      const int saved = s.currentNumber;
      s.currentNumber = i;
      HideDialogByNumber(-1);
      s.currentNumber = saved;
    }
  }
  plat::DestroyWindow(d->hwnd);
  DialogStatus().item3 = 0;
  CompactTable();
  DialogStatus().item3 = 0;
  s.currentNumber = 0;
}

int WDialogStatusQuery(int item) {
  switch (item) {
    case 1:
      return DialogStatus().closingButton;
    case 2:
      return DialogStatus().focusBefore;
    case 3:
      return DialogStatus().item3;
    case 4:
      return DialogStatus().answer;
    case 5:
      return DialogStatus().item5;
    default:
      break;
  }
  LoadedDialog* d = CurrentDialog();
  if (d == nullptr || item < 6 || item > 10) return 0;
  const plat::Hwnd parent = plat::GetParent(d->hwnd);
  const bool inWindow = d->child && parent != plat::kNoWindow;
  if (item == 10) {
    if (d->rec.combinedWindow != plat::kNoWindow) return 4;
    if (!inWindow) return 1;
    return FindLoaded(parent) != nullptr ? 3 : 2;
  }
  const plat::Rect r = plat::GetWindowRect(d->hwnd);
  const int values[4] = {r.left, r.top, r.Width(), r.Height()};
  int v = values[item - 6];
  if (inWindow) {
    const plat::Rect pc = plat::GetClientRect(parent);
    const bool across = item == 6 || item == 8;
    v = PixelToUnit(v, across ? pc.Width() : pc.Height());
  }
  return v;
}

void WDialogTitle(std::optional<std::string_view> title, int icon) {
  (void)icon;  // dialogs carry no icon of their own here
  LoadedDialog* d = CurrentDialog();
  if (d == nullptr) {
    ReportLibraryError(kErrNoDialog, "WDialogTitle");
    return;
  }
  if (!title) return;
  std::string_view t = *title;
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  plat::SetWindowText(d->hwnd, t);
}

void WDialogSetField(int field, std::optional<int> position) {
  constexpr std::string_view kName = "WDialogSetField";
  LoadedDialog* d = CurrentDialog();
  if (d == nullptr) {
    ReportLibraryError(kErrNoDialog, kName);
    return;
  }
  DialogField* f = FindField(*d, field);
  if (f == nullptr) {
    ReportLibraryError(kErrBadField, kName);
    return;
  }
  if (!plat::IsWindowVisible(d->hwnd)) return;
  plat::Hwnd target = f->hwnd;
  if (const plat::Hwnd edit = plat::ComboBoxGetEdit(f->hwnd); edit != plat::kNoWindow)
    target = edit;
  plat::SetFocus(target);
  if (SameClass(plat::GetClassName(target), plat::kEditClass)) {
    if (position) {
      const int at = std::max(0, *position - 1);
      plat::EditSetSel(target, at, at);
      plat::EditScrollCaret(target);
    } else if (!(plat::GetStyle(target) & plat::kEsMultiline)) {
      plat::EditSetSel(target, 0, -1);
    }
  }
  d->rec.currentField = field;
  d->rec.focusField = field;
}

namespace {
// Part of the one reset for tests.
[[maybe_unused]] const bool kResetRegistered = RegisterToolkitReset(ToolkitLayer::Dialogs, ResetDialogManager);
}  // namespace

}  // namespace tk
