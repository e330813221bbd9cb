// Option lists, tab pages, progress bars, trackbars and tree views.
#include "toolkit/dialogs/DialogLists.h"
#include "toolkit/dialogs/GridLink.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <memory>

#include "platform/FixedText.h"
#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/dialogs/DialogFieldGraphics.h"
#include "toolkit/dialogs/NumericFields_p.h"

namespace tk {

namespace {

/// The current dialog, or null after reporting 1005 under NAME.
LoadedDialog* NeedDialog(std::string_view name) {
  LoadedDialog* d = CurrentDialog();
  if (d == nullptr) ReportLibraryError(kErrNoDialog, name);
  return d;
}

/// Field ID of the current dialog when TYPE is its type (kFieldOther: any),
/// or null after reporting 1005 or 1006 under NAME.
DialogField* NeedKind(int id, FieldType type, std::string_view name) {
  LoadedDialog* d = NeedDialog(name);
  if (d == nullptr) return nullptr;
  DialogField* f = FindField(*d, id);
  if (f == nullptr || (type != kFieldOther && FieldTypeOf(*f) != type)) {
    ReportLibraryError(kErrBadField, name);
    return nullptr;
  }
  return f;
}

/// Field ID of the current dialog when it is of TYPE; no report.
DialogField* KindOf(int id, FieldType type) {
  LoadedDialog* d = CurrentDialog();
  DialogField* f = d ? FindField(*d, id) : nullptr;
  return f != nullptr && FieldTypeOf(*f) == type ? f : nullptr;
}


bool SameText(std::string_view a, std::string_view b) {
  return SameClass(a, b);  // whole text, letter case ignored
}

using plat::PadInto;

int OptionCount(const DialogField& f, int kind) {
  return kind == 1 ? plat::ListBoxGetCount(f.hwnd) : plat::ComboBoxGetCount(f.hwnd);
}

void SelectOption(const DialogField& f, int kind, int index) {
  if (kind == 1)
    plat::ListBoxSetCurSel(f.hwnd, index);
  else
    plat::ComboBoxSetCurSel(f.hwnd, index);
}

/// The text a combo box shows (its edit part's when it has one).
std::string ComboShownText(const DialogField& f) {
  const plat::Hwnd edit = plat::ComboBoxGetEdit(f.hwnd);
  return plat::GetWindowText(edit != plat::kNoWindow ? edit : f.hwnd);
}

// --- Tabs ---

/// The tab index a refused field holds the tab control to, -1 when none.
int& TabSnapBack() {
  static int index = -1;
  return index;
}

// A tab's data word: the page's identifier, with the disabled mark above it.
constexpr std::intptr_t kTabDisabledBit = std::intptr_t{1} << 32;

int TabPageId(plat::Hwnd tab, int index) {
  return static_cast<std::int32_t>(plat::TabGetItemData(tab, index) & 0xFFFFFFFF);
}
bool TabDisabled(plat::Hwnd tab, int index) {
  return (plat::TabGetItemData(tab, index) & kTabDisabledBit) != 0;
}

/// The loaded page dialog IDENTIFIER inside D (null when none).
LoadedDialog* PageDialog(const LoadedDialog& d, int identifier) {
  DialogManagerState& s = Dm();
  for (int i = 1; i <= s.loadedCount; ++i) {
    LoadedDialog* p = s.table[static_cast<std::size_t>(i)].get();
    if (p != nullptr && p->rec.identifier == identifier && plat::GetParent(p->hwnd) == d.hwnd)
      return p;
  }
  return nullptr;
}

/// Places the page on the tab field's display area, just above the tab in z-order.
void PlacePage(const DialogField& tab, const LoadedDialog& page) {
  const plat::Rect area = plat::TabAdjustRect(tab.hwnd, false, plat::GetWindowRect(tab.hwnd));
  plat::MoveWindow(page.hwnd, area, false);
}

// --- Trees ---

bool& UniqueTreeIds() {
  static bool on = false;
  return on;
}

/// Depth-first search: an item, then its children, then its next sibling.
plat::TreeItem FindTreeItem(plat::Hwnd tree, plat::TreeItem from, std::int32_t id) {
  for (plat::TreeItem i = from; i != plat::kTreeNone;
       i = plat::TreeViewGetNextItem(tree, i, plat::TreeRelation::Next)) {
    if (static_cast<std::int32_t>(plat::TreeViewGetItemData(tree, i)) == id) return i;
    const plat::TreeItem c = plat::TreeViewGetNextItem(tree, i, plat::TreeRelation::Child);
    if (c != plat::kTreeNone) {
      const plat::TreeItem found = FindTreeItem(tree, c, id);
      if (found != plat::kTreeNone) return found;
    }
  }
  return plat::kTreeNone;
}

plat::TreeItem FindTree(plat::Hwnd tree, std::int32_t id) {
  return FindTreeItem(
      tree, plat::TreeViewGetNextItem(tree, plat::kTreeNone, plat::TreeRelation::Root), id);
}

/// The field of the current dialog that is a tree view, and the item ID in it.
struct TreeTarget {
  DialogField* field = nullptr;
  plat::TreeItem item = plat::kTreeNone;
};
int FindTarget(int field, std::int32_t id, TreeTarget& t) {
  t.field = KindOf(field, kFieldTreeView);
  if (t.field == nullptr) return kOpMissing;
  t.item = FindTree(t.field->hwnd, id);
  return t.item == plat::kTreeNone ? kOpNotFound : 0;
}

/// Makes F the dialog's current field as the user's move would, raising a
/// field-changed event outside a modal show.
void MakeCurrentField(LoadedDialog& d, DialogField& f, plat::LParam value) {
  if (Dm().creatingDialog) return;
  d.rec.focusField = f.id;
  if (d.rec.currentField == f.id) return;
  d.rec.previousField = d.rec.currentField;
  d.rec.currentField = f.id;
  if (!IsInModal(d)) StoreEvent(kEventFieldChanged, 0, plat::MakeWParam(f.id, 0), value, d.hwnd);
}

/// The trackbar position at which Shift went down; one for the toolkit.
constexpr int kNoAnchor = std::numeric_limits<int>::min();
int& TrackAnchor() {
  static int anchor = kNoAnchor;
  return anchor;
}

bool HasSelRange(plat::Hwnd h) {
  return (plat::GetStyle(h) & plat::kTbsEnableSelRange) != 0;
}

/// The trackbar becomes the dialog's current field after a selection key.
void TrackSelectionChanged(plat::Hwnd h) {
  LoadedDialog* d = FindLoaded(plat::GetParent(h));
  DialogField* f = d ? FieldOfWindow(*d, h) : nullptr;
  if (f == nullptr) return;
  d->rec.previousField = d->rec.currentField;
  d->rec.currentField = f->id;
  RecordFocusField(h, f->id);
  if (!IsInModal(*d)) StoreEvent(kEventFieldChanged, 0, plat::MakeWParam(f->id, 0), h, d->hwnd);
}

}  // namespace

void InstallListFieldProcedure(DialogField& f) {
  if (FieldTypeOf(f) != kFieldTrackbar) return;
  auto own = std::make_shared<plat::WindowProc>();
  *own = plat::SetWindowProc(
      f.hwnd, [own](plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) -> plat::LResult {
        const plat::WindowProc previous = *own;
        switch (m) {
          case plat::Msg::SetFocus: {
            const plat::LResult r = previous(h, m, w, l);
            LoadedDialog* d = FindLoaded(plat::GetParent(h));
            if (DialogField* f = d ? FieldOfWindow(*d, h) : nullptr)
              MakeCurrentField(*d, *f, static_cast<plat::LParam>(h));
            return r;
          }
          case plat::Msg::KillFocus:
            TrackAnchor() = kNoAnchor;
            return previous(h, m, w, l);
          case plat::Msg::KeyDown:
            if (!HasSelRange(h)) break;
            if (w == plat::kVkShift) {
              if (TrackAnchor() == kNoAnchor) TrackAnchor() = plat::TrackbarGetPos(h);
            } else if (w == plat::kVkDelete) {
              plat::TrackbarClearSel(h);
              TrackSelectionChanged(h);
              return 0;
            } else if (w == 'A' && plat::IsKeyDown(plat::kVkControl)) {
              plat::TrackbarSetSel(h, plat::TrackbarGetRangeMin(h), plat::TrackbarGetRangeMax(h));
              TrackSelectionChanged(h);
              return 0;
            }
            break;
          case plat::Msg::KeyUp:
            if (w == plat::kVkShift && HasSelRange(h)) {
              const auto sel = plat::TrackbarGetSel(h);
              if (sel && sel->first == sel->second) plat::TrackbarClearSel(h);
              TrackAnchor() = kNoAnchor;
            }
            break;
          default:
            break;
        }
        return previous(h, m, w, l);
      });
}

int ListKindOf(const DialogField& f) {
  const unsigned style = plat::GetStyle(f.hwnd);
  if (SameClass(f.className, plat::kListBoxClass))
    return (style & (plat::kLbsMultipleSel | plat::kLbsExtendedSel)) ? 4 : 1;
  if (SameClass(f.className, plat::kComboBoxClass)) return (style & 15) == 3 ? 2 : 3;
  return 0;
}

bool ClearFieldContents(DialogField& f) {
  const FieldType type = FieldTypeOf(f);
  switch (type) {
    case kFieldStaticText:
    case kFieldOtherStatic:
    case kFieldGroupBox:
    case kFieldPushButton:
    case kFieldString:
    case kFieldInteger:
    case kFieldReal:
    case kFieldDouble:
      plat::SetWindowText(f.hwnd, "");
      if (IsEditType(f)) plat::EditSetModify(f.hwnd, false);
      break;
    case kFieldComboBox:
      plat::ComboBoxResetContent(f.hwnd);
      break;
    case kFieldListBox:
      plat::ListBoxResetContent(f.hwnd);
      break;
    case kFieldGrid:
      if (GetGridLink().clearAllCells != nullptr) GetGridLink().clearAllCells(f.hwnd, 1);
      break;
    case kFieldCheckBox:
      plat::ButtonSetCheck(f.hwnd, plat::kUnchecked);
      break;
    case kFieldRadioButton: {
      // Every button of the group, each redrawn by its own check change.
      LoadedDialog* d = nullptr;
      DialogManagerState& s = Dm();
      for (int i = 1; i <= s.loadedCount && d == nullptr; ++i) {
        LoadedDialog* c = s.table[static_cast<std::size_t>(i)].get();
        if (c != nullptr && FieldOfWindow(*c, f.hwnd) == &f) d = c;
      }
      if (d == nullptr) return false;
      const auto at = static_cast<std::size_t>(&f - d->fields.data());
      std::size_t first = at, last = at;
      auto starts = [&](std::size_t i) {
        return (plat::GetStyle(d->fields[i].hwnd) & plat::kWsGroup) != 0;
      };
      auto same = [&](std::size_t i) { return FieldTypeOf(d->fields[i]) == kFieldRadioButton; };
      while (!starts(first) && first > 0 && same(first - 1)) --first;
      while (last + 1 < d->fields.size() && !starts(last + 1) && same(last + 1)) ++last;
      for (std::size_t i = first; i <= last; ++i)
        plat::ButtonSetCheck(d->fields[i].hwnd, plat::kUnchecked);
      f.rec.value = 0.0;
      f.rec.hasValue = 0;
      return true;
    }
    case kFieldProgressBar:
      plat::ProgressSetPos(f.hwnd, plat::ProgressGetRange(f.hwnd).first);
      break;
    case kFieldTrackbar:
      if (!(plat::GetStyle(f.hwnd) & plat::kTbsEnableSelRange)) return false;
      plat::TrackbarClearSel(f.hwnd);
      break;
    case kFieldTreeView:
      plat::TreeViewDeleteItem(f.hwnd, plat::kTreeNone);
      break;
    default:
      return false;
  }
  f.rec.value = 0.0;
  f.rec.hasValue = 0;
  plat::InvalidateRect(f.hwnd, std::nullopt, true);
  return true;
}

// ---------------------------------------------------------------------------
// Option lists

namespace {

/// Field FIELD of the current dialog when it is a list or combo box that
/// holds options (KIND from `ListKindOf`); otherwise reports the error and
/// answers null.
DialogField* OptionListField(std::string_view routine, int field, int& kind) {
  LoadedDialog* d = NeedDialog(routine);
  if (d == nullptr) return nullptr;
  DialogField* f = FindField(*d, field);
  kind = f ? ListKindOf(*f) : 0;
  if (kind == 0 || kind == 4) {
    ReportLibraryError(kErrBadField, routine);
    return nullptr;
  }
  return f;
}

}  // namespace

void WDialogPutMenu(int field, std::span<const std::string> options, int n, int option,
                    std::optional<std::string_view> text) {
  constexpr std::string_view kName = "WDialogPutMenu";
  int kind = 0;
  DialogField* f = OptionListField(kName, field, kind);
  if (f == nullptr) return;
  ClearFieldContents(*f);
  // A count beyond the texts given adds only the texts there are.
  const int count = std::clamp(n, 0, static_cast<int>(options.size()));
  for (int i = 0; i < count; ++i) {
    const std::string t(plat::TrimRight(options[static_cast<std::size_t>(i)], plat::kBlankOrNul));
    if (kind == 1)
      plat::ListBoxAddString(f->hwnd, t);
    else
      plat::ComboBoxAddString(f->hwnd, t);
  }
  if (kind == 3 && text && option == 0) {
    const std::string t(plat::TrimRight(*text, plat::kBlankOrNul));
    const int at = plat::ComboBoxFindStringExact(f->hwnd, -1, t);
    if (at >= 0 && SameText(plat::ComboBoxGetText(f->hwnd, at).value_or(""), t)) {
      plat::ComboBoxSetCurSel(f->hwnd, at);
    } else {
      plat::ComboBoxSetCurSel(f->hwnd, -1);
      const plat::Hwnd edit = plat::ComboBoxGetEdit(f->hwnd);
      plat::SetWindowText(edit != plat::kNoWindow ? edit : f->hwnd, t);
    }
    return;
  }
  if (option < 1 || option > count) {
    ReportLibraryError(kErrBadOption, kName);
    return;
  }
  SelectOption(*f, kind, option - 1);
}

namespace {

void GetMenu(int field, std::int32_t& option, std::string* text) {
  constexpr std::string_view kName = "WDialogGetMenu";
  int kind = 0;
  DialogField* f = OptionListField(kName, field, kind);
  if (f == nullptr) return;
  if (kind == 1) {
    const int cur = plat::ListBoxGetCurSel(f->hwnd);
    if (cur < 0) {
      option = kUndefinedInteger;
      ReportLibraryError(kErrUndefined, kName);
      return;
    }
    option = cur + 1;
    if (text) PadInto(*text, plat::ListBoxGetText(f->hwnd, cur).value_or(""));
    return;
  }
  const std::string shown = ComboShownText(*f);
  int cur = plat::ComboBoxGetCurSel(f->hwnd);
  // Text typed over a selected option no longer names that option.
  if (cur >= 0 && !SameText(plat::ComboBoxGetText(f->hwnd, cur).value_or(""), shown)) cur = -1;
  if (text) PadInto(*text, shown);
  if (cur >= 0) {
    option = cur + 1;
    return;
  }
  if (shown.empty()) {
    option = kUndefinedInteger;
    ReportLibraryError(kErrUndefined, kName);
    return;
  }
  const int count = plat::ComboBoxGetCount(f->hwnd);
  option = 0;
  for (int i = 0; i < count; ++i)
    if (SameText(plat::ComboBoxGetText(f->hwnd, i).value_or(""), shown)) {
      option = i + 1;
      break;
    }
}

}  // namespace

void WDialogGetMenu(int field, std::int32_t& option) {
  GetMenu(field, option, nullptr);
}

void WDialogGetMenu(int field, std::int32_t& option, std::string& text) {
  GetMenu(field, option, &text);
}

void WDialogPutOption(int field, int option) {
  constexpr std::string_view kName = "WDialogPutOption";
  int kind = 0;
  DialogField* f = OptionListField(kName, field, kind);
  if (f == nullptr) return;
  if (option < 1 || option > OptionCount(*f, kind)) {
    SelectOption(*f, kind, -1);
    ReportLibraryError(kErrBadOption, kName);
    return;
  }
  SelectOption(*f, kind, option - 1);
}

// ---------------------------------------------------------------------------
// Tabs

bool TabFieldAddPage(LoadedDialog& d, DialogField& tab, int pageId, std::string_view caption) {
  DialogManagerState& s = Dm();
  const plat::Hwnd dialog = d.hwnd;
  const int savedNumber = s.currentNumber;
  const std::int32_t savedItem3 = DialogStatus().item3;
  const plat::Hwnd tabWindow = tab.hwnd;
  const int tabId = tab.id;
  s.loadParent = dialog;
  WDialogLoad(pageId);
  s.loadParent = plat::kNoWindow;
  LoadedDialog* page = CurrentDialog();
  s.currentNumber = savedNumber;
  DialogStatus().item3 = savedItem3;
  // The load may have moved the table's records: look everything up again.
  LoadedDialog* owner = FindLoaded(dialog);
  if (page == nullptr || owner == nullptr || plat::GetParent(page->hwnd) != dialog) return false;
  DialogField* t = FindField(*owner, tabId);
  if (t == nullptr || t->hwnd != tabWindow) return false;
  const int index = plat::TabInsertItem(tabWindow, plat::TabGetItemCount(tabWindow), caption,
                                        static_cast<std::uint32_t>(pageId));
  PlacePage(*t, *page);
  TabFieldShowPage(*owner, *t, plat::TabGetCurSel(tabWindow));
  return index >= 0;
}

void TabFieldShowPage(LoadedDialog& d, DialogField& tab, int index) {
  const int count = plat::TabGetItemCount(tab.hwnd);
  if (index >= 0 && index < count) plat::TabSetCurSel(tab.hwnd, index);
  const int cur = plat::TabGetCurSel(tab.hwnd);
  const bool tabShown = plat::IsShown(tab.hwnd);
  for (int i = 0; i < count; ++i) {
    LoadedDialog* page = PageDialog(d, TabPageId(tab.hwnd, i));
    if (page == nullptr) continue;
    if (i == cur && tabShown) {
      PlacePage(tab, *page);
      plat::BringToTop(page->hwnd);
      plat::ShowWindow(page->hwnd, plat::ShowCmd::ShowNoActivate);
      plat::InvalidateRect(page->hwnd, std::nullopt, true);
    } else {
      plat::ShowWindow(page->hwnd, plat::ShowCmd::Hide);
    }
  }
}

void TabFieldSetDisabled(DialogField& tab, int index, bool disabled) {
  if (index < 0 || index >= plat::TabGetItemCount(tab.hwnd)) return;
  // The tab control keeps one data word; rebuild the item with the new mark.
  const std::string caption = plat::TabGetItemText(tab.hwnd, index).value_or("");
  std::intptr_t data = plat::TabGetItemData(tab.hwnd, index) & 0xFFFFFFFF;
  if (disabled) data |= kTabDisabledBit;
  const int cur = plat::TabGetCurSel(tab.hwnd);
  plat::TabDeleteItem(tab.hwnd, index);
  plat::TabInsertItem(tab.hwnd, index, caption, data);
  if (cur >= 0) plat::TabSetCurSel(tab.hwnd, cur);
}

std::vector<int> TabPagesOf(LoadedDialog& d) {
  std::vector<int> out;
  for (DialogField& f : d.fields)
    if (FieldTypeOf(f) == kFieldTab)
      for (int i = 0; i < plat::TabGetItemCount(f.hwnd); ++i) out.push_back(TabPageId(f.hwnd, i));
  return out;
}

void WDialogSetTab(int field, int page) {
  constexpr std::string_view kName = "WDialogSetTab";
  DialogField* f = NeedKind(field, kFieldTab, kName);
  if (f == nullptr) return;
  const int count = plat::TabGetItemCount(f->hwnd);
  for (int i = 0; i < count; ++i) {
    if (TabPageId(f->hwnd, i) != page || TabDisabled(f->hwnd, i)) continue;
    TabFieldShowPage(*CurrentDialog(), *f, i);
    return;
  }
  ReportLibraryError(kErrBadTab, kName);
}

void WDialogGetTab(int field, std::int32_t& page) {
  DialogField* f = NeedKind(field, kFieldTab, "WDialogGetTab");
  if (f == nullptr) return;
  page = TabPageId(f->hwnd, plat::TabGetCurSel(f->hwnd));
}

// ---------------------------------------------------------------------------
// Progress bars and trackbars

void WDialogPutProgressBar(int field, int value, std::optional<int> mode) {
  DialogField* f = NeedKind(field, kFieldProgressBar, "WDialogPutProgressBar");
  if (f == nullptr) return;
  if (mode.value_or(0) == 0)
    plat::ProgressSetPos(f->hwnd, value);
  else
    plat::ProgressDeltaPos(f->hwnd, value);
}

int ProgressRange(int field, int minimum, int maximum) {
  DialogField* f = KindOf(field, kFieldProgressBar);
  if (f == nullptr) return kOpMissing;
  // The bar keeps 16-bit ends.
  plat::ProgressSetRange(f->hwnd, static_cast<std::int16_t>(minimum),
                         static_cast<std::int16_t>(maximum));
  return 0;
}

int TrackbarPosition(int field, int position, int selStart, int selEnd, int selMode) {
  DialogField* f = KindOf(field, kFieldTrackbar);
  if (f == nullptr) return kOpMissing;
  plat::TrackbarSetPos(f->hwnd, position);
  if (plat::GetStyle(f->hwnd) & plat::kTbsEnableSelRange) {
    if (selMode == 0)
      plat::TrackbarSetSel(f->hwnd, selStart, selEnd);
    else if (selMode == 2)
      plat::TrackbarClearSel(f->hwnd);
  }
  return 0;
}

int TrackbarRange(int field, int minimum, int maximum, int ticFrequency) {
  DialogField* f = KindOf(field, kFieldTrackbar);
  if (f == nullptr) return kOpMissing;
  plat::TrackbarSetRange(f->hwnd, minimum, maximum);
  if (ticFrequency > 0) plat::TrackbarSetTicFreq(f->hwnd, ticFrequency);
  return 0;
}

int TrackbarSteps(int field, int lineSize, int pageSize) {
  DialogField* f = KindOf(field, kFieldTrackbar);
  if (f == nullptr) return kOpMissing;
  plat::TrackbarSetLineSize(f->hwnd, lineSize);
  plat::TrackbarSetPageSize(f->hwnd, pageSize > 0 ? pageSize : lineSize);
  return 0;
}

namespace {
int& TrackbarNoSelection() {
  static int value = 0;
  return value;
}
}  // namespace

void SetTrackbarNoSelectionValue(int value) {
  TrackbarNoSelection() = value;
}

int TrackbarQuery(int field, int& position, int& selStart, int& selEnd) {
  DialogField* f = KindOf(field, kFieldTrackbar);
  if (f == nullptr) return kOpMissing;
  position = plat::TrackbarGetPos(f->hwnd);
  selStart = selEnd = TrackbarNoSelection();
  if (plat::GetStyle(f->hwnd) & plat::kTbsEnableSelRange) {
    const auto sel = plat::TrackbarGetSel(f->hwnd);
    if (sel && sel->first < sel->second) {
      selStart = sel->first;
      selEnd = sel->second;
    }
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Lists with multiple selection

int ListItemSelected(int field, int item) {
  DialogField* f = KindOf(field, kFieldListBox);
  if (f == nullptr) return kOpMissing;
  return plat::ListBoxGetSel(f->hwnd, item - 1) ? 1 : 0;
}

int ListCount(int field) {
  DialogField* f = KindOf(field, kFieldListBox);
  return f ? plat::ListBoxGetCount(f->hwnd) : kOpMissing;
}

int ListSelectItem(int field, int item, int state) {
  DialogField* f = KindOf(field, kFieldListBox);
  if (f == nullptr) return kOpMissing;
  const bool want = state == 1;
  if (plat::ListBoxGetSel(f->hwnd, item - 1) != want) plat::ListBoxSetSel(f->hwnd, item - 1, want);
  return 0;
}

int ListSelectRange(int field, int first, int last, int state) {
  DialogField* f = KindOf(field, kFieldListBox);
  if (f == nullptr) return kOpMissing;
  const bool want = state == 1;
  if (last <= 65535) {
    plat::ListBoxSelItemRange(f->hwnd, first - 1, last - 1, want);
  } else {
    for (int i = first; i <= last && i <= plat::ListBoxGetCount(f->hwnd); ++i)
      plat::ListBoxSetSel(f->hwnd, i - 1, want);
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Tree views

int TreeItemSelected(int field, std::int32_t& identifier, std::string* caption) {
  DialogField* f = KindOf(field, kFieldTreeView);
  if (f == nullptr) return kOpMissing;
  const plat::TreeItem sel =
      plat::TreeViewGetNextItem(f->hwnd, plat::kTreeNone, plat::TreeRelation::Selection);
  if (sel == plat::kTreeNone) return kOpNotFound;
  identifier = static_cast<std::int32_t>(plat::TreeViewGetItemData(f->hwnd, sel));
  if (caption) PadInto(*caption, plat::TreeViewGetItemText(f->hwnd, sel).value_or(""));
  return 0;
}

int TreeSelectItem(int field, std::int32_t identifier) {
  TreeTarget t;
  if (const int r = FindTarget(field, identifier, t); r != 0) return r;
  plat::TreeViewSelectItem(t.field->hwnd, t.item);
  return 0;
}

int TreeDeleteItem(int field, std::int32_t identifier) {
  TreeTarget t;
  if (const int r = FindTarget(field, identifier, t); r != 0) return r;
  plat::TreeViewDeleteItem(t.field->hwnd, t.item);
  return 0;
}

int TreeInsertItem(int field, std::int32_t relative, int position, std::int32_t identifier,
                   std::string_view caption) {
  DialogField* f = KindOf(field, kFieldTreeView);
  if (f == nullptr) return kOpMissing;
  const plat::Hwnd tree = f->hwnd;
  if (UniqueTreeIds() && FindTree(tree, identifier) != plat::kTreeNone) return kOpNotBranch;
  const std::intptr_t data = identifier;
  if (plat::TreeViewGetCount(tree) == 0) {
    plat::TreeViewInsertItem(tree, plat::kTreeNone, plat::kTreeLast, caption, data);
    return 0;
  }
  const plat::TreeItem at = FindTree(tree, relative);
  if (at == plat::kTreeNone) return kOpNotFound;
  const plat::TreeItem parent = plat::TreeViewGetNextItem(tree, at, plat::TreeRelation::Parent);
  if (position == 3) {
    plat::TreeViewInsertItem(tree, at, plat::kTreeLast, caption, data);
  } else if (position == 1) {
    const plat::TreeItem before = plat::TreeViewGetNextItem(tree, at, plat::TreeRelation::Previous);
    plat::TreeViewInsertItem(tree, parent, before == plat::kTreeNone ? plat::kTreeFirst : before,
                             caption, data);
  } else {
    plat::TreeViewInsertItem(tree, parent, at, caption, data);
  }
  return 0;
}

int TreeBranchState(int field, std::int32_t identifier, int& state) {
  TreeTarget t;
  if (const int r = FindTarget(field, identifier, t); r != 0) return r;
  if (!plat::TreeViewHasChildren(t.field->hwnd, t.item)) return kOpNotBranch;
  state = plat::TreeViewIsExpanded(t.field->hwnd, t.item) ? 2 : 1;
  return 0;
}

int TreeExpandItem(int field, std::int32_t identifier, int action) {
  TreeTarget t;
  if (const int r = FindTarget(field, identifier, t); r != 0) return r;
  if (!plat::TreeViewHasChildren(t.field->hwnd, t.item)) return kOpNotBranch;
  plat::TreeViewExpand(t.field->hwnd, t.item,
                       action == 1 ? plat::TreeExpand::Collapse : plat::TreeExpand::Expand);
  return 0;
}

int TreeRenameItem(int field, std::int32_t identifier, std::string_view caption) {
  TreeTarget t;
  if (const int r = FindTarget(field, identifier, t); r != 0) return r;
  plat::TreeViewSetItemText(t.field->hwnd, t.item, caption);
  return 0;
}

void TreeUniqueIdentifiers(int on) {
  UniqueTreeIds() = on == 1;
}

// ---------------------------------------------------------------------------
// The dialog procedure's part

std::optional<plat::LResult> ListFieldMessage(LoadedDialog& d, plat::Msg m, plat::WParam w,
                                              plat::LParam l) {
  DialogManagerState& s = Dm();
  if (m == plat::Msg::HScroll || m == plat::Msg::VScroll) {
    const auto ctrl = static_cast<plat::Hwnd>(l);
    DialogField* f = ctrl != plat::kNoWindow ? FieldOfWindow(d, ctrl) : nullptr;
    if (f == nullptr || FieldTypeOf(*f) != kFieldTrackbar) return std::nullopt;
    if (plat::LowWord(w) == plat::kSbEndScroll || s.creatingDialog) return 0;
    // Shift held: the selection spans the anchor and the new position.
    if (HasSelRange(f->hwnd) && plat::IsKeyDown(plat::kVkShift) && TrackAnchor() != kNoAnchor) {
      const int pos = plat::TrackbarGetPos(f->hwnd);
      plat::TrackbarSetSel(f->hwnd, std::min(pos, TrackAnchor()), std::max(pos, TrackAnchor()));
    }
    d.rec.focusField = f->id;
    if (IsInModal(d)) return 0;
    d.rec.previousField = d.rec.currentField;
    d.rec.currentField = f->id;
    StoreEvent(kEventFieldChanged, 0, plat::MakeWParam(f->id, 0), l, d.hwnd);
    return 0;
  }
  if (m != plat::Msg::Notify) return std::nullopt;
  const auto* hdr = reinterpret_cast<const plat::NotifyHeader*>(l);
  if (hdr == nullptr) return std::nullopt;
  DialogField* f = FieldOfWindow(d, hdr->from);
  if (f == nullptr) return std::nullopt;
  const FieldType type = FieldTypeOf(*f);
  if (type == kFieldTab) {
    const int cur = plat::TabGetCurSel(f->hwnd);
    if (hdr->code == plat::kTcnSelChanging) {
      // The field being left is checked first; while one holds a refused
      // text the change goes ahead in the control, to be undone below.
      const plat::Hwnd focus = plat::GetFocus();
      if (PendingRefusedField() == plat::kNoWindow && focus != plat::kNoWindow && focus != f->hwnd)
        ValidateNumericField(focus, f->hwnd, 0);
      if (PendingRefusedField() != plat::kNoWindow) {
        TabSnapBack() = cur;
        BeepIfEnabled();
        return 0;
      }
      TabSnapBack() = -1;
      if (!IsInModal(d) && !s.creatingDialog) d.rec.previousPage = TabPageId(f->hwnd, cur);
      return 0;
    }
    if (hdr->code == plat::kTcnSelChange) {
      const plat::Hwnd refused = PendingRefusedField();
      if (refused != plat::kNoWindow && TabSnapBack() >= 0) {
        // Back to the tab left, and the focus back into the refused field.
        plat::TabSetCurSel(f->hwnd, TabSnapBack());
        TabSnapBack() = -1;
        plat::InvalidateRect(f->hwnd, std::nullopt, true);
        FocusRefusedField(refused);
        return 0;
      }
      if (TabDisabled(f->hwnd, cur)) {
        // A disabled tab keeps its old page.
        for (int i = 0; i < plat::TabGetItemCount(f->hwnd); ++i)
          if (TabPageId(f->hwnd, i) == d.rec.previousPage && !TabDisabled(f->hwnd, i)) {
            TabFieldShowPage(d, *f, i);
            break;
          }
        return 0;
      }
      TabFieldShowPage(d, *f, cur);
      if (!IsInModal(d) && !s.creatingDialog) {
        d.rec.currentPage = TabPageId(f->hwnd, cur);
        StoreEvent(kEventTabChanged, 0, 0, 0, d.hwnd);
      }
      return 0;
    }
    return std::nullopt;
  }
  if (type == kFieldTreeView) {
    if (s.creatingDialog) return 0;
    if (hdr->code == plat::kNmSetFocus) {
      MakeCurrentField(d, *f, static_cast<plat::LParam>(f->hwnd));
      return 0;
    }
    if (hdr->code == plat::kTvnSelChanged || hdr->code == plat::kTvnItemExpanded) {
      d.rec.focusField = f->id;
      if (IsInModal(d)) return 0;
      d.rec.previousField = d.rec.currentField = f->id;
      StoreEvent(kEventFieldChanged, 0, plat::MakeWParam(f->id, 0),
                 static_cast<plat::LParam>(f->hwnd), d.hwnd);
      return 0;
    }
    if (hdr->code == plat::kNmDblClk && !(f->rec.flags & 1)) {
      const auto* n = reinterpret_cast<const plat::TreeViewNotify*>(hdr);
      if (!plat::TreeViewHasChildren(f->hwnd, n->newItem)) {
        const plat::Hwnd def = plat::DialogDefaultButton(d.hwnd);
        if (def != plat::kNoWindow) plat::PressDialogButton(d.hwnd, plat::GetWindowId(def));
        return 1;
      }
    }
    return 0;
  }
  return std::nullopt;
}

}  // namespace tk
