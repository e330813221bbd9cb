// Applying the extras text to a dialog just made: each entry acts on its
// field by the field's kind; what does not fit is passed over.
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/menu/Menu.h"
#include "platform/text/Font.h"
#include "platform/window/Window.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/DialogExtras_p.h"
#include "toolkit/dialogs/DialogLists.h"
#include "toolkit/dialogs/GridLink.h"

namespace tk {

namespace {

/// The screen's logical resolution that font sizes in points refer to.
constexpr int kScreenPixelsPerInch = 96;
constexpr int kSizeGripSize = 14;
/// Scroll bar style: a size box aligned with the bottom-right corner.
constexpr unsigned kSbsSizeBoxBottomRightAlign = 0x4;

/// The low 16 bits as a signed number, as a 16-bit range holds it.
int Low16(std::int32_t v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF));
}

/// The integer at the start of a control's template text (0 when none).
int TextPosition(plat::Hwnd h) {
  const std::string t = plat::GetWindowText(h);
  std::size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  const bool negative = i < t.size() && t[i] == '-';
  if (negative) ++i;
  std::int64_t v = 0;
  for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
    v = v * 10 + (t[i] - '0');
    if (v > std::numeric_limits<std::int32_t>::max()) return 0;
  }
  return static_cast<int>(negative ? -v : v);
}

bool IsClass(const DialogField& f, std::string_view cls) {
  return SameClass(f.className, cls);
}

bool IsSizeGrip(const DialogField& f) {
  return IsClass(f, plat::kScrollBarClass) &&
         (plat::GetStyle(f.hwnd) & (plat::kSbsSizeGrip | plat::kSbsSizeBox)) != 0;
}

/// A field's rectangle in the dialog's client area, reaching to the right
/// edge of its up-down control when it has one.
plat::Rect ExtendedRect(const DialogField& f) {
  plat::Rect r = plat::GetWindowRect(f.hwnd);
  if (f.rec.buddy != plat::kNoWindow && plat::IsWindow(f.rec.buddy))
    r.right = plat::GetWindowRect(f.rec.buddy).right;
  return r;
}

bool Encloses(const plat::Rect& q, const plat::Rect& r) {
  return q.left <= r.left && q.top <= r.top && r.right <= q.right && r.bottom <= q.bottom;
}

void ApplyRanges(DialogField& f, const ExtrasEntry& e) {
  const FieldType type = FieldTypeOf(f);
  const std::int32_t low = TruncateInt(e.numbers[0]);
  const std::int32_t high = TruncateInt(e.numbers[1]);
  if (type == kFieldProgressBar) {
    plat::ProgressSetRange(f.hwnd, Low16(low), Low16(high));
    plat::ProgressSetPos(f.hwnd, TextPosition(f.hwnd));
  } else if (type == kFieldTrackbar) {
    plat::TrackbarSetRange(f.hwnd, low, high);
    plat::TrackbarSetPos(f.hwnd, TextPosition(f.hwnd));
  } else {
    StoreFieldRange(f, e.numbers[0], e.numbers[1]);
  }
}

void ApplyMenus(DialogField& f, const ExtrasEntry& e, int slot) {
  const int count = static_cast<int>(e.lines.size());
  const int initial = slot == -1 ? 1 : e.ints[1];
  const int select = initial >= 1 && initial <= count ? initial - 1 : -1;
  if (FieldTypeOf(f) == kFieldListBox) {
    plat::ListBoxResetContent(f.hwnd);
    for (const std::string& o : e.lines) plat::ListBoxAddString(f.hwnd, o);
    plat::ListBoxSetCurSel(f.hwnd, select);
  } else if (FieldTypeOf(f) == kFieldComboBox) {
    plat::ComboBoxResetContent(f.hwnd);
    for (const std::string& o : e.lines) plat::ComboBoxAddString(f.hwnd, o);
    plat::ComboBoxSetCurSel(f.hwnd, select);
  }
}

/// Adds the entries of MENU under PARENT in order, each with its text and
/// identifier, a pop-up entry's submenu as its children; a checked pop-up
/// starts expanded. Items are placed by handle, so entries that share an
/// identifier (pop-ups without one) still land where they belong.
void AddMenuToTree(plat::Hwnd tree, plat::TreeItem parent, plat::HMenu menu) {
  const int count = plat::MenuEntryCount(menu);
  for (int pos = 0; pos < count; ++pos) {
    const std::optional<plat::MenuEntry> e = plat::GetMenuEntry(menu, pos);
    if (!e || e->kind == plat::MenuEntry::Kind::Separator) continue;
    const plat::TreeItem item =
        plat::TreeViewInsertItem(tree, parent, plat::kTreeLast, e->text, e->id);
    if (item == plat::kTreeNone || e->kind != plat::MenuEntry::Kind::Popup) continue;
    AddMenuToTree(tree, item, e->submenu);
    if (e->checked) plat::TreeViewExpand(tree, item, plat::TreeExpand::Expand);
  }
}

/// Fills tree view F of dialog D (in SLOT) from menu resource ints[0] and
/// selects the item whose identifier is ints[1]; menu 0 leaves the tree.
void ApplyTreeview(LoadedDialog& d, DialogField& f, const ExtrasEntry& e, int slot) {
  if (FieldTypeOf(f) != kFieldTreeView || e.ints[0] == 0) return;
  const plat::HMenu menu = LoadMenuResource(e.ints[0]);
  if (menu == plat::kNoMenu) return;
  AddMenuToTree(f.hwnd, plat::kTreeNone, menu);
  plat::DestroyMenu(menu);
  // The tree calls act on the current dialog: make D current for the pick.
  DialogManagerState& s = Dm();
  const int savedNumber = s.currentNumber;
  const std::int32_t savedItem3 = DialogStatus().item3;
  s.currentNumber = slot;
  DialogStatus().item3 = d.rec.identifier;
  TreeSelectItem(f.id, e.ints[1]);
  s.currentNumber = savedNumber;
  DialogStatus().item3 = savedItem3;
}

void ApplyTabs(LoadedDialog& d, DialogField& f, const ExtrasEntry& e) {
  if (FieldTypeOf(f) != kFieldTab) return;
  DialogManagerState& s = Dm();
  const int savedNumber = s.currentNumber;
  const std::int32_t savedItem3 = DialogStatus().item3;
  // Every listed page gets its tab; its dialog loads hidden inside this one
  // (a page already loaded is only found again, one that cannot load is
  // passed over).
  std::vector<plat::Hwnd> pages;
  for (const ExtrasTabPage& p : e.pages) {
    const int at = plat::TabGetItemCount(f.hwnd);
    plat::TabInsertItem(f.hwnd, at, p.caption, p.page);
    s.loadParent = d.hwnd;
    const int slot = LoadDialogHidden(p.page, p.page, kMainWindow);
    s.loadParent = plat::kNoWindow;
    if (slot >= 1) pages.push_back(s.table[static_cast<std::size_t>(slot)]->hwnd);
  }
  s.currentNumber = savedNumber;
  DialogStatus().item3 = savedItem3;
  // Every page on the tab field's display area (in the dialog's client
  // coordinates).
  const plat::Rect area = plat::TabAdjustRect(f.hwnd, false, plat::GetWindowRect(f.hwnd));
  for (plat::Hwnd page : pages) plat::MoveWindow(page, area, false);
  int select = 0;
  for (int i = 0; i < plat::TabGetItemCount(f.hwnd); ++i)
    if (plat::TabGetItemData(f.hwnd, i) == e.ints[1]) {
      select = i;
      break;
    }
  if (plat::TabGetItemCount(f.hwnd) > 0) TabFieldShowPage(d, f, select);
}

void ApplyTrackbar(DialogField& f, const ExtrasEntry& e) {
  if (FieldTypeOf(f) != kFieldTrackbar) return;
  plat::TrackbarSetTicFreq(f.hwnd, e.ints[0]);
  plat::TrackbarSetLineSize(f.hwnd, e.ints[1]);
  plat::TrackbarSetPageSize(f.hwnd, e.ints[2]);
  if (plat::GetStyle(f.hwnd) & plat::kTbsEnableSelRange) {
    if (e.ints[3] == e.ints[4])
      plat::TrackbarClearSel(f.hwnd);
    else
      plat::TrackbarSetSel(f.hwnd, e.ints[3], e.ints[4]);
  }
}

void ApplyLength(DialogField& f, std::int32_t n) {
  if (IsEditType(f))
    plat::EditSetLimit(f.hwnd, n);
  else if (FieldTypeOf(f) == kFieldComboBox)
    plat::ComboBoxLimitText(f.hwnd, n);
  f.rec.maxLength = n;
}

void ApplyFont(DialogField& f, const ExtrasEntry& e) {
  plat::FontSpec spec;
  spec.face = e.text;
  // Points to pixels of the screen, rounded.
  const std::int64_t scaled = std::int64_t{e.ints[0]} * kScreenPixelsPerInch;
  spec.height = -static_cast<int>((scaled + 36) / 72);
  spec.weight = std::clamp(e.ints[1], 0, 1000);
  spec.italic = e.ints[2] == 1;
  spec.charset = plat::Charset::Default;
  spec.family = plat::FontFamily::Swiss;
  std::shared_ptr<const plat::Font> font = plat::OpenFont(spec);
  if (font) plat::SetControlFont(f.hwnd, std::move(font));
}

void AddSizeGrip(LoadedDialog& d) {
  for (const DialogField& f : d.fields)
    if (IsSizeGrip(f)) return;
  const plat::Rect c = plat::GetClientRect(d.hwnd);
  plat::CreateParams p;
  p.className = plat::kScrollBarClass;
  p.title = " ";
  p.style = plat::kStyleChild | plat::kStyleVisible | plat::kSbsSizeGrip | plat::kSbsSizeBox |
            kSbsSizeBoxBottomRightAlign;
  p.rect = {c.right - kSizeGripSize, c.bottom - kSizeGripSize, c.right, c.bottom};
  p.parent = d.hwnd;
  p.id = -1;
  const plat::Hwnd h = plat::CreateWindow(p);
  if (h == plat::kNoWindow) return;
  DialogField grip;
  grip.hwnd = h;
  grip.className = std::string(plat::kScrollBarClass);
  grip.id = -1;
  d.fields.push_back(std::move(grip));
}

}  // namespace

void StoreFieldRange(DialogField& f, double low, double high) {
  f.rec.rangeLow = low;
  f.rec.rangeHigh = high;
}

void SetFieldColour(DialogField& f, int which, std::int32_t r, std::int32_t g, std::int32_t b) {
  std::int32_t& colour = which == 1 ? f.rec.textColour : f.rec.backgroundColour;
  if (which != 1 && which != 2) return;
  if (r == 256)
    colour = -1;
  else if (r != -1)
    colour = (r & 0xFF) + 256 * (g & 0xFF) + 65536 * (b & 0xFF);
}

void ComputeResizeLayout(LoadedDialog& d, int stretchField, int attach) {
  DialogField* stretch = FindField(d, stretchField);
  if (stretch == nullptr) return;
  const plat::Rect client = plat::GetClientRect(d.hwnd);
  const plat::Rect S = ExtendedRect(*stretch);
  d.rec.stretchField = stretchField;
  std::vector<DialogField*> fields;
  for (DialogField& f : d.fields)
    if (!IsClass(f, plat::kUpDownClass) && !IsSizeGrip(f)) fields.push_back(&f);
  for (DialogField* F : fields) {
    const bool isStretch = F == stretch;
    plat::Rect R = ExtendedRect(*F);
    const plat::Rect O = R;
    F->rec.rightMargin = client.Width() - R.right;
    F->rec.bottomMargin = client.Height() - R.bottom;
    for (DialogField* E : fields) {
      if (E == F) continue;
      const plat::Rect Q = plat::GetWindowRect(E->hwnd);
      if (!Encloses(Q, R)) continue;
      // A frame around the stretch field grows with it; a field inside
      // another frame moves as that frame does.
      if (isStretch)
        E->rec.resizeFlags |= 2 | 8;
      else if (!Encloses(Q, S))
        R = Q;
    }
    int& bits = F->rec.resizeFlags;
    if (isStretch) {
      bits |= 2 | 8;
      continue;
    }
    if (attach != 0 && R.right == S.right && (R.left != S.left || O.left == S.left)) {
      bits |= 2;
      if (O.left != S.left) bits |= 1;
    } else if (R.left >= S.right) {
      bits |= 1 | 2;
    }
    if (attach != 0 && R.bottom == S.bottom && (R.top != S.top || O.top == S.top)) {
      bits |= 8;
      if (O.top != S.top) bits |= 4;
    } else if (R.top >= S.bottom) {
      bits |= 4 | 8;
    }
    if (IsClass(*F, plat::kStaticClass)) {
      const unsigned type = plat::GetStyle(F->hwnd) & plat::kSsTypeMask;
      if (type == plat::kSsEtchedHorz && !(bits & 4)) bits &= ~8;
      if (type == plat::kSsEtchedVert && !(bits & 1)) bits &= ~2;
    }
  }
  AddSizeGrip(d);
}

void ApplyResizeLayout(LoadedDialog& d) {
  if (d.rec.stretchField == 0) return;
  const plat::Rect c = plat::GetClientRect(d.hwnd);
  for (DialogField& f : d.fields) {
    if (IsSizeGrip(f)) {
      plat::MoveWindow(f.hwnd,
                       {c.right - kSizeGripSize, c.bottom - kSizeGripSize, c.right, c.bottom});
      continue;
    }
    const int bits = f.rec.resizeFlags;
    if (bits == 0 || IsClass(f, plat::kUpDownClass)) continue;
    const plat::Rect own = plat::GetWindowRect(f.hwnd);
    plat::Rect r = ExtendedRect(f);
    const int spin = r.right - own.right;
    if (bits & 2) {
      const int right = c.Width() - f.rec.rightMargin;
      if (bits & 1) r.left += right - r.right;
      r.right = right;
    }
    if (bits & 8) {
      const int bottom = c.Height() - f.rec.bottomMargin;
      if (bits & 4) r.top += bottom - r.bottom;
      r.bottom = bottom;
    }
    plat::MoveWindow(f.hwnd, {r.left, r.top, r.right - spin, r.bottom});
    if (f.rec.buddy != plat::kNoWindow)
      plat::MoveWindow(f.rec.buddy, {r.right - spin, r.top, r.right, r.bottom});
  }
}

void ReadDialogExtras(LoadedDialog& d, const res::DialogTemplate& t, int slot) {
  if (!t.hasExtras || t.extras.empty()) return;
  DialogExtras extras;
  // The lines that cannot be read are passed over; while errors go to the
  // debug log they are told there, for whoever writes the resources.
  if (!ParseDialogExtras(t.extras, extras, &t) && ErrorState().reportMode == kReportDebugLog)
    DebugLogLine("dialog " + std::to_string(t.id) + " extras: " + DescribeExtrasProblems(extras));
  for (const ExtrasEntry& e : extras.entries) {
    if (e.section == ExtrasSection::Dialog) {
      d.rec.resizable = e.field != 0 ? 1 : 0;
      if (e.ints[0] != 0) ComputeResizeLayout(d, e.ints[0], e.ints[1]);
      continue;
    }
    DialogField* f = FindField(d, e.field);
    if (f == nullptr) continue;
    switch (e.section) {
      case ExtrasSection::Ranges:
        ApplyRanges(*f, e);
        break;
      case ExtrasSection::Menus:
        ApplyMenus(*f, e, slot);
        break;
      case ExtrasSection::Checks:
        if (IsClass(*f, plat::kButtonClass)) plat::ButtonSetCheck(f->hwnd, e.ints[0]);
        break;
      case ExtrasSection::Tabs:
        ApplyTabs(d, *f, e);
        // Loading pages may have moved the table: look the fields up again.
        break;
      case ExtrasSection::Colours:
        SetFieldColour(*f, 1, e.ints[0], e.ints[1], e.ints[2]);
        SetFieldColour(*f, 2, e.ints[3], e.ints[4], e.ints[5]);
        break;
      case ExtrasSection::Trackbars:
        ApplyTrackbar(*f, e);
        break;
      case ExtrasSection::Lengths:
        ApplyLength(*f, e.ints[0]);
        break;
      case ExtrasSection::Formats:
        f->rec.format = e.text;
        break;
      case ExtrasSection::Fonts:
        ApplyFont(*f, e);
        break;
      case ExtrasSection::Flags:
        f->rec.flags = e.ints[0];
        break;
      case ExtrasSection::Treeviews:
        ApplyTreeview(d, *f, e, slot);
        break;
      case ExtrasSection::Grids:
        if (FieldTypeOf(*f) == kFieldGrid && GetGridLink().buildFromExtras != nullptr)
          GetGridLink().buildFromExtras(d, *f, e);
        break;
      case ExtrasSection::Dialog:
      case ExtrasSection::None:
        break;
    }
  }
}

namespace {
GridLink& Link() {
  static GridLink link;
  return link;
}
}  // namespace

void SetGridLink(const GridLink& link) {
  Link() = link;
}

const GridLink& GetGridLink() {
  return Link();
}

int& GridResizing() {
  static int resizing = 0;
  return resizing;
}

}  // namespace tk
