// Dialog fields as drawing targets: the selection the graphics layer calls,
// the events a field raises once it has been drawn into, field geometry and
// focus bookkeeping.
#include "toolkit/dialogs/DialogFieldGraphics.h"

#include <algorithm>
#include <memory>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/window/Window.h"
#include "toolkit/core/Events.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/graphics/GraphicsState.h"

namespace tk {

namespace {

/// The loaded dialog that H is (or holds H as a field), and the field (0 for the dialog).
LoadedDialog* Owner(plat::Hwnd h, int& field) {
  if (LoadedDialog* d = FindLoaded(h)) {
    field = 0;
    return d;
  }
  LoadedDialog* d = FindLoaded(plat::GetParent(h));
  if (d == nullptr) return nullptr;
  DialogField* f = FieldOfWindow(*d, h);
  if (f == nullptr) return nullptr;
  field = f->id;
  return d;
}

void Raise(LoadedDialog& d, int field, int event, plat::WParam w, plat::LParam l) {
  d.rec.eventField = field;
  StoreEvent(kFieldEventOffset + event, 0, w, l, d.hwnd);
}

int ButtonOf(plat::Msg m) {
  switch (m) {
    case plat::Msg::LButtonDown:
    case plat::Msg::LButtonDblClk:
    case plat::Msg::LButtonUp:
      return 1;
    case plat::Msg::MButtonDown:
    case plat::Msg::MButtonDblClk:
    case plat::Msg::MButtonUp:
      return 2;
    default:
      return 3;
  }
}

/// Mouse messages of a static field or the dialog itself as events; true
/// when M was one.
bool MouseEvent(plat::Hwnd h, LoadedDialog& d, int field, plat::Msg m, plat::WParam w,
                plat::LParam l) {
  switch (m) {
    case plat::Msg::MouseMove:
      d.rec.mouseButton = 0;
      Raise(d, field, kEventMouseMove, w, l);
      return true;
    case plat::Msg::LButtonDown:
    case plat::Msg::MButtonDown:
    case plat::Msg::RButtonDown:
      plat::SetCapture(h);
      d.rec.mouseButton = ButtonOf(m);
      Raise(d, field, kEventButtonDown, w, l);
      return true;
    case plat::Msg::LButtonDblClk:
    case plat::Msg::MButtonDblClk:
    case plat::Msg::RButtonDblClk: {
      plat::SetCapture(h);
      d.rec.mouseButton = ButtonOf(m);
      int doubles = 0;
      EventTypeEnabled(kEventDoubleClick, doubles);
      Raise(d, field, doubles ? kEventDoubleClick : kEventButtonDown, w, l);
      return true;
    }
    case plat::Msg::LButtonUp:
    case plat::Msg::MButtonUp:
    case plat::Msg::RButtonUp:
      plat::ReleaseCapture();
      d.rec.mouseButton = ButtonOf(m);
      Raise(d, field, kEventButtonUp, w, l);
      return true;
    default:
      return false;
  }
}

/// Puts the graphics procedure in front of the field's (or dialog's) own.
void InstallFieldProcedure(plat::Hwnd h, bool mouse) {
  auto own = std::make_shared<plat::WindowProc>();
  *own = plat::SetWindowProc(
      h, [own, mouse](plat::Hwnd hw, plat::Msg m, plat::WParam w, plat::LParam l) -> plat::LResult {
        const plat::WindowProc previous = *own;  // a copy: the window may go while it runs
        int field = 0;
        LoadedDialog* d = Owner(hw, field);
        if (d == nullptr || IsInModal(*d)) return previous(hw, m, w, l);
        if (mouse && MouseEvent(hw, *d, field, m, w, l)) return 0;
        const plat::LResult r = previous(hw, m, w, l);
        d = Owner(hw, field);  // the field's own handling may have changed the table
        if (d == nullptr) return r;
        if (m == plat::Msg::Paint) {
          Raise(*d, field, kEventExpose, 0, 0);
        } else if (m == plat::Msg::Size && w != plat::kSizeMinimized &&
                   (field != 0 || d->rec.stretchField != 0)) {
          // The dialog itself tells a new size only when it lays its fields out anew.
          const plat::Rect c = plat::GetClientRect(hw);
          FieldSurfaceResized(d->rec.identifier, field, c.Width(), c.Height());
          plat::InvalidateRect(hw, std::nullopt, true);
          plat::UpdateWindow(hw);
          if ((d = Owner(hw, field)) != nullptr)
            Raise(*d, field, kEventResize, w, plat::MakeLParam(c.Width(), c.Height()));
        }
        return r;
      });
}

/// The window of FIELD in D (the dialog for 0), or kNoWindow.
plat::Hwnd FieldWindow(LoadedDialog& d, int field) {
  if (field == 0) return d.hwnd;
  DialogField* f = FindField(d, field);
  return f ? f->hwnd : plat::kNoWindow;
}

std::optional<SurfaceBinding> SelectField(int field) {
  int width = 0, height = 0;
  if (SelectDialogFieldTarget(field, width, height) == -1) return std::nullopt;
  LoadedDialog* d = CurrentDialog();
  const plat::Hwnd h = FieldWindow(*d, field);
  const plat::PaintContext ctx = plat::GetDrawContext(h);
  return SurfaceBinding{ctx.surface, ctx.origin, {width, height}, h, true, false};
}

}  // namespace

void ConnectDialogGraphics() {
  if (Targets().selectField) return;
  GraphicsTargets t = Targets();
  t.dialogCurrent = [] { return CurrentDialog() != nullptr; };
  t.currentDialog = [] {
    const LoadedDialog* d = CurrentDialog();
    return d ? d->rec.identifier : 0;
  };
  t.selectField = SelectField;
  SetGraphicsTargets(std::move(t));
}

bool FillFieldEvent(LoadedDialog& d, int type, plat::WParam w, plat::LParam l, EventRecord& out) {
  if (type <= kFieldEventOffset) return false;
  const int event = type - kFieldEventOffset;
  out.value3 = kSourceField;
  out.value4 = d.rec.eventField;
  switch (event) {
    case kEventButtonDown:
    case kEventButtonUp:
    case kEventMouseMove:
    case kEventDoubleClick:
      out.value1 = event == kEventMouseMove ? -1 : d.rec.mouseButton;
      out.value2 = MouseKeyState(w);
      out.x = plat::SignedLow(static_cast<std::uintptr_t>(l));
      out.y = plat::SignedHigh(static_cast<std::uintptr_t>(l));
      return true;
    case kEventExpose:
      return true;
    case kEventResize:
      out.value1 = plat::LowWord(static_cast<std::uintptr_t>(l));
      out.value2 = plat::HighWord(static_cast<std::uintptr_t>(l));
      return true;
    default:
      return false;
  }
}

int SelectDialogFieldTarget(int field, int& width, int& height) {
  LoadedDialog* d = CurrentDialog();
  if (d == nullptr) return -1;
  const plat::Hwnd h = FieldWindow(*d, field);
  if (h == plat::kNoWindow) return -1;
  const plat::PaintContext ctx = plat::GetDrawContext(h);
  if (ctx.surface == nullptr) return -1;
  const plat::Rect c = plat::GetClientRect(h);
  width = c.Width();
  height = c.Height();
  std::int32_t& mark =
      field == 0 ? d->rec.graphicsTarget : FindField(*d, field)->rec.graphicsTarget;
  if (mark == 0) {
    mark = 1;
    const bool mouse = field == 0 || SameClass(plat::GetClassName(h), plat::kStaticClass);
    InstallFieldProcedure(h, mouse);
  }
  return field;
}

int FieldRectangle(int field, int& left, int& top, int& width, int& height, int mode) {
  LoadedDialog* d = CurrentDialog();
  DialogField* f = d ? FindField(*d, field) : nullptr;
  if (f == nullptr) return -1;
  plat::Rect r;
  if (mode == 1) {
    const plat::Point at = plat::ScreenToClient(d->hwnd, plat::ClientToScreen(f->hwnd, {0, 0}));
    const plat::Rect c = plat::GetClientRect(f->hwnd);
    r = {at.x, at.y, at.x + c.Width(), at.y + c.Height()};
  } else {
    const plat::Rect w = plat::GetWindowRect(f->hwnd);
    const plat::Point at = plat::ScreenToClient(
        d->hwnd, plat::ClientToScreen(plat::GetParent(f->hwnd), {w.left, w.top}));
    r = {at.x, at.y, at.x + w.Width(), at.y + w.Height()};
  }
  left = r.left;
  top = r.top;
  width = r.Width();
  height = r.Height();
  return field;
}

int FieldPlacement(plat::Hwnd field, const plat::Rect& r) {
  plat::Rect w = plat::GetWindowRect(field);
  int id = 0;
  if (LoadedDialog* d = Owner(field, id); d != nullptr && id != 0) {
    const DialogField* f = FindField(*d, id);
    if (f != nullptr && f->rec.buddy != plat::kNoWindow && plat::IsWindow(f->rec.buddy))
      w.right = plat::GetWindowRect(f->rec.buddy).right;
  }
  if (w.left >= r.left && w.top >= r.top && w.right <= r.right && w.bottom <= r.bottom) return 1;
  const bool apart = w.right < r.left || w.left > r.right || w.bottom < r.top || w.top > r.bottom;
  return apart ? 0 : 2;
}

bool DialogHasGraphicsField(plat::Hwnd dialog) {
  LoadedDialog* d = FindLoaded(dialog);
  if (d == nullptr) return false;
  if (d->rec.graphicsTarget) return true;
  for (const DialogField& f : d->fields) {
    if (f.rec.graphicsTarget) return true;
    if (FieldTypeOf(f) != kFieldTab) continue;
    const int cur = plat::TabGetCurSel(f.hwnd);
    const auto page = static_cast<std::int32_t>(plat::TabGetItemData(f.hwnd, cur) & 0xFFFFFFFF);
    DialogManagerState& s = Dm();
    for (int i = 1; i <= s.loadedCount; ++i) {
      LoadedDialog* p = s.table[static_cast<std::size_t>(i)].get();
      if (p != nullptr && p->rec.identifier == page && plat::GetParent(p->hwnd) == d->hwnd &&
          DialogHasGraphicsField(p->hwnd))
        return true;
    }
  }
  return false;
}

void RecordFocusField(plat::Hwnd h, int field) {
  int ignored = 0;
  LoadedDialog* d = Owner(h, ignored);
  while (d != nullptr) {
    d->rec.focusField = field;
    if (!d->child) break;
    d = FindLoaded(plat::GetParent(d->hwnd));
  }
}

void DialogUnitPixels(int& x, int& y) {
  const plat::Rect r = plat::DialogUnitsToPixels({0, 0, 4, 8});
  x = r.Width();
  y = r.Height();
}

}  // namespace tk
