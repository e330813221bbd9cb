// Showing and hiding dialogs: the three show modes, placement and focus, and
// the disabling of the other windows while a dialog is modal or
// semi-modeless.
//
// A modal show runs the loaded dialog itself in the window system's modal
// loop. Nothing it does while modal is recorded or raised as an event
// except what the closing push button records (the button, the field that
// had the focus, the dialog's identifier), so the fields keep what the user
// left in them, whichever button closed the dialog.
#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/Window.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/DialogLists.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace tk {

int HideDialogByNumber(int number);

namespace {

/// Dialogs whose parent is a toolkit window or none take part in owner
/// disabling.
bool TakesPart(const LoadedDialog& d) {
  const plat::Hwnd p = plat::GetParent(d.hwnd);
  return p == plat::kNoWindow || WindowNumberFromHandle(p) >= 0;
}

template <typename F>
void ForEachLoaded(F f) {
  DialogManagerState& s = Dm();
  for (int i = 1; i <= s.loadedCount; ++i)
    if (LoadedDialog* d = s.table[static_cast<std::size_t>(i)].get()) f(*d);
}

void SelectFieldText(plat::Hwnd h) {
  if (const plat::Hwnd edit = plat::ComboBoxGetEdit(h); edit != plat::kNoWindow) h = edit;
  if (!SameClass(plat::GetClassName(h), plat::kEditClass)) return;
  if (plat::GetStyle(h) & plat::kEsMultiline) {
    plat::EditSetSel(h, -1, 0);
  } else {
    plat::EditSetSel(h, 0, -1);
    plat::EditScrollCaret(h);
  }
}

/// Places the dialog at the pending position, centring a -1.
void PlaceDialog(LoadedDialog& d) {
  DialogManagerState& s = Dm();
  const plat::Rect r = plat::GetWindowRect(d.hwnd);
  plat::Size area = plat::ScreenSize();
  if (d.child) {
    const plat::Rect pc = plat::GetClientRect(plat::GetParent(d.hwnd));
    area = {pc.Width(), pc.Height()};
  }
  int x = s.pendingX;
  int y = s.pendingY;
  if (x == -1) x = (area.width - r.Width()) / 2;
  if (y == -1) y = (area.height - r.Height()) / 2;
  plat::MoveWindow(d.hwnd, {x, y, x + r.Width(), y + r.Height()}, false);
}

/// Gives the pending field the focus (the first tab stop for field 0).
void FocusPending(LoadedDialog& d) {
  DialogManagerState& s = Dm();
  plat::Hwnd target = plat::kNoWindow;
  if (DialogField* f = s.pendingFocusField ? FindField(d, s.pendingFocusField) : nullptr)
    target = f->hwnd;
  if (target == plat::kNoWindow) target = plat::NextTabStop(d.hwnd, plat::kNoWindow, false);
  if (target == plat::kNoWindow) {
    plat::SetFocus(d.hwnd);
    return;
  }
  const plat::Hwnd edit = plat::ComboBoxGetEdit(target);
  plat::SetFocus(edit != plat::kNoWindow ? edit : target);
  SelectFieldText(target);
}

int FocusedField(LoadedDialog& d) {
  DialogField* f = FieldOfWindow(d, plat::GetFocus());
  return f ? f->id : 0;
}

/// The show itself; returns 0, or -1 (mode changed), -2 (parent hidden).
int ShowCurrentDialog(LoadedDialog& d, int x, int y, int mode, int field) {
  DialogManagerState& s = Dm();
  if (d.rec.shown) {
    plat::BringToTop(d.hwnd);
    plat::ShowWindow(d.hwnd, plat::ShowCmd::Show);
    plat::InvalidateRect(d.hwnd, std::nullopt, true);
    if (d.child) {
      plat::SetFocus(d.hwnd);
      s.activeDialog = d.hwnd;
    }
    return 0;
  }
  int result = 0;
  if (mode != kShowModal && mode != kShowModeless && mode != kShowSemiModeless)
    mode = kShowModeless;
  if (mode == kShowModeless && s.semiModelessCount > 0) {
    mode = kShowSemiModeless;
    result = -1;
  }
  if (d.child && mode != kShowModeless) {
    if (mode == kShowModal) {
      int snapshot = 0;
      WindowSnapshot(0, -1, snapshot);
    }
    mode = kShowModeless;
    result = -1;
  }
  s.pendingFocusField = field;
  s.pendingX = x;
  s.pendingY = y;
  const plat::Hwnd active =
      s.activeDialog != plat::kNoWindow && plat::IsWindowVisible(s.activeDialog) ? s.activeDialog
                                                                                 : plat::kNoWindow;
  if (active != plat::kNoWindow) {
    const LoadedDialog* a = FindLoaded(active);
    d.rec.ownerWindow = (a && a->rec.combinedWindow) ? a->rec.combinedWindow : active;
  } else {
    const plat::Hwnd top = plat::GetActiveWindow();
    d.rec.ownerWindow =
        (top != plat::kNoWindow && top != d.hwnd) ? top : WindowFrameHandle(kMainWindow);
  }
  d.rec.reenableWindow =
      s.semiModelessDialog != plat::kNoWindow ? s.semiModelessDialog : d.rec.ownerWindow;
  d.rec.showMode = mode;

  if (mode == kShowModal) {
    const plat::Hwnd savedActiveDialog = s.activeDialog;
    const plat::Hwnd savedTop = plat::GetActiveWindow();
    DisableOwnerWindows(d.rec.ownerWindow, true);
    // The owner itself takes no input while the dialog runs either, as the
    // system's modal dialog box disables its owner.
    const plat::Hwnd owner = d.rec.ownerWindow;
    const bool ownerDisabled = plat::IsWindow(owner) && plat::IsWindowEnabled(owner) &&
                               (plat::EnableWindow(owner, false), true);
    s.creatingDialog = 1;
    PlaceDialog(d);
    s.modalDialog = d.hwnd;
    plat::ShowWindow(d.hwnd, plat::ShowCmd::Show);
    FocusPending(d);
    s.creatingDialog = 0;
    plat::RunDialogModal(d.hwnd);
    // Hidden while still modal: the focus leaving a field as the dialog
    // goes must not take the closing button's place in the status.
    if (plat::IsWindow(d.hwnd)) plat::ShowWindow(d.hwnd, plat::ShowCmd::Hide);
    s.modalDialog = plat::kNoWindow;
    if (ownerDisabled && plat::IsWindow(owner)) plat::EnableWindow(owner, true);
    EnableOwnerWindows(
        s.semiModelessDialog != plat::kNoWindow ? s.semiModelessDialog : d.rec.ownerWindow, true);
    s.activeDialog = savedActiveDialog;
    if (plat::IsWindow(savedTop) && plat::IsWindowEnabled(savedTop))
      plat::SetActiveWindow(savedTop);
    return result;
  }
  if (mode == kShowSemiModeless) {
    ++s.semiModelessCount;
    s.semiModelessDialog = d.hwnd;
    DisableOwnerWindows(plat::kNoWindow, false);
    for (int n = 0; n <= kMaxWindowNumber; ++n)
      if (WindowSlotInUse(n)) plat::EnableWindow(WindowFrameHandle(n), false);
  }
  if (d.child) {
    const plat::Hwnd parent = plat::GetParent(d.hwnd);
    const int n = WindowNumberFromHandle(parent);
    if (n >= 0 && !plat::IsWindowVisible(WindowFrameHandle(n))) return -2;
  }
  PlaceDialog(d);
  plat::BringToTop(d.hwnd);
  plat::EnableWindow(d.hwnd, true);
  plat::ShowWindow(d.hwnd, plat::ShowCmd::Show);
  if (d.child) s.activeDialog = d.hwnd;
  // The focus given here is the show's own, not a change by the user.
  s.creatingDialog = 1;
  FocusPending(d);
  s.creatingDialog = 0;
  plat::InvalidateRect(d.hwnd, std::nullopt, true);
  d.rec.currentField = FocusedField(d);
  d.rec.shown = 1;
  plat::QueueDialogScript(d.hwnd);
  return result;
}

}  // namespace

void DisableShownDialogs(plat::Hwnd owner) {
  ForEachLoaded([&](LoadedDialog& d) {
    if (d.hwnd == owner || !d.rec.shown || !TakesPart(d)) return;
    if (owner != plat::kNoWindow && d.rec.combinedWindow == owner) return;
    plat::EnableWindow(d.hwnd, false);
  });
}

bool EnableShownDialogs() {
  if (Dm().semiModelessCount > 0) return false;
  ForEachLoaded([&](LoadedDialog& d) {
    if (d.rec.shown && TakesPart(d)) plat::EnableWindow(d.hwnd, true);
  });
  return true;
}

int HideDialogByNumber(int number) {
  DialogManagerState& s = Dm();
  LoadedDialog* d = number == -1 ? CurrentDialog()
                    : (number >= 1 && number <= s.loadedCount)
                        ? s.table[static_cast<std::size_t>(number)].get()
                        : nullptr;
  if (d == nullptr) return -1;
  if (number == -1 && d->rec.combinedWindow != plat::kNoWindow) return -1;
  // A tab page of another loaded dialog comes and goes with its tab.
  if (d->child) {
    bool page = false;
    ForEachLoaded([&](LoadedDialog& o) {
      if (&o == d || &o == CurrentDialog()) return;
      for (const int id : TabPagesOf(o)) page = page || id == d->rec.identifier;
    });
    if (page) return -2;
  }
  const plat::Hwnd self = d->hwnd;
  const bool wasActive = s.activeDialog == self;
  if (d->rec.shown && d->rec.showMode == kShowSemiModeless) {
    --s.semiModelessCount;
    EnableOwnerWindows(wasActive ? d->rec.reenableWindow : plat::kNoWindow, true);
  }
  ForEachLoaded([&](LoadedDialog& o) {
    if (o.rec.ownerWindow == self) o.rec.ownerWindow = d->rec.ownerWindow;
    if (o.rec.reenableWindow == self) o.rec.reenableWindow = d->rec.reenableWindow;
  });
  if (wasActive) s.activeDialog = plat::kNoWindow;
  plat::ShowWindow(self, plat::ShowCmd::Hide);
  d->rec.shown = 0;
  if (s.semiModelessDialog == self)
    s.semiModelessDialog = s.semiModelessCount > 0 ? d->rec.reenableWindow : plat::kNoWindow;
  if (wasActive && plat::IsWindow(d->rec.ownerWindow)) {
    plat::SetFocus(d->rec.ownerWindow);
    if (FindLoaded(d->rec.ownerWindow) != nullptr) s.activeDialog = d->rec.ownerWindow;
  }
  return 0;
}

void ShowDialogNearWindow(int field, int mode, int window) {
  int x = 0, y = 0;
  ClientOriginOnScreen(window, x, y);
  WDialogShow(x, y, field, mode);
}

void WDialogShow(int x, int y, int field, int mode) {
  constexpr std::string_view kName = "WDialogShow";
  LoadedDialog* d = CurrentDialog();
  if (d == nullptr) {
    ReportLibraryError(kErrNoDialog, kName);
    return;
  }
  if (d->rec.combinedWindow != plat::kNoWindow) {
    ReportLibraryError(kErrCombined, kName);
    return;
  }
  if (d->child) {
    // Units of the parent window's client area.
    const plat::Rect pc = plat::GetClientRect(plat::GetParent(d->hwnd));
    if (x != -1) x = UnitToPixel(x, pc.Width());
    if (y != -1) y = UnitToPixel(y, pc.Height());
  }
  int snapshot = 0;
  if (mode == kShowModal) WindowSnapshot(1, -1, snapshot);
  const int result = ShowCurrentDialog(*d, x, y, mode, field);
  DialogManagerState& s = Dm();
  // A child-style dialog has already given its snapshots back.
  if (mode == kShowModal && !(d->child && result == -1)) WindowSnapshot(0, -1, snapshot);
  if (mode == kShowModal && result != -1) {
    DialogStatus().closingButton = d->rec.currentField;
    DialogStatus().focusBefore = d->rec.previousField;
    DialogStatus().item5 = s.closedModalId;
  }
  if (result == -1) ReportLibraryError(kErrBadMode, kName);
  if (result == -2) ReportLibraryError(kErrParentHidden, kName);
}

void WDialogHide() {
  if (CurrentDialog() == nullptr) return;
  const int r = HideDialogByNumber(-1);
  if (r == -1) ReportLibraryError(kErrCombined, "WDialogHide");
  if (r == -2) ReportLibraryError(kErrSubDialog, "WDialogHide");
}

}  // namespace tk
