// Menus, toolbars and status bars of the toolkit's windows: see Menus.h.
#include "toolkit/core/Menus.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/FixedText.h"
#include "platform/controls/Controls.h"
#include "platform/menu/Accelerators.h"
#include "resources/ResourceFormat.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows_p.h"

namespace tk {

plat::HAccel LoadAcceleratorResource(int id, const res::ResourceSet* set) {
  const res::ResourceSet& from = set != nullptr ? *set : res::ProgramResources();
  const res::AcceleratorTable* table = from.FindAccelerators(id);
  if (table == nullptr) return plat::kNoAccel;
  std::vector<plat::Accelerator> entries;
  for (const res::AcceleratorEntry& e : table->entries) {
    plat::Accelerator a;
    a.modifiers = (e.control ? plat::kAccelControl : 0u) | (e.shift ? plat::kAccelShift : 0u) |
                  (e.alt ? plat::kAccelAlt : 0u);
    a.key = e.key;
    a.command = e.commandId;
    entries.push_back(a);
  }
  return plat::CreateAcceleratorTable(entries);
}

namespace {

constexpr int kErrInvalidMenuItem = 1001;
constexpr int kErrMenuResource = 1002;
constexpr int kErrInvalidWindow = 1003;
constexpr int kStatusBarId = 999;
constexpr int kMaxStatusParts = 255;
constexpr std::size_t kTooltipChars = 79;
constexpr std::size_t kPopupTextChars = 100;

/// What window N has of menus and bars.
struct Bars {
  plat::Hwnd frame = plat::kNoWindow;  // the frame these belong to
  plat::HMenu menu = plat::kNoMenu;
  const res::HelpTexts* help = nullptr;
  std::map<int, std::string> attachedHelp;  // help strings attached to items
  plat::Hwnd status = plat::kNoWindow;
  std::array<plat::PartBorder, kMaxStatusParts> partBorders{};
  std::array<plat::Hwnd, 4> toolbars{};
  std::vector<std::pair<int, std::string>> tooltips;  // sized to the buttons
  std::string helpShown;                              // the menu help text on the status bar
  bool helpActive = false;
  plat::Hwnd helpBar = plat::kNoWindow;
  int helpOwner = 0;  // the window whose menu is open
  std::array<plat::HAccel, 2> accelerators{};            // a special window's own, then its caller's
  std::function<std::string(int id)> commandHelp;        // a special window's own help texts
};

void FreeAccelerators(Bars& b) {
  for (plat::HAccel& a : b.accelerators) {
    if (a != plat::kNoAccel) plat::DestroyAcceleratorTable(a);
    a = plat::kNoAccel;
  }
}

std::array<Bars, kWindowSlots>& AllBars() {
  static std::array<Bars, kWindowSlots> bars;
  return bars;
}

/// Help texts of the pop-up menu being shown.
const res::HelpTexts* g_popupHelp = nullptr;


/// Window N's bars, forgotten when the slot now holds another window.
Bars& BarsOf(int n) {
  Bars& b = AllBars()[static_cast<std::size_t>(n)];
  const plat::Hwnd frame = WindowFrameHandle(n);
  if (b.frame != frame) {
    if (b.menu != plat::kNoMenu) plat::DestroyMenu(b.menu);
    FreeAccelerators(b);
    b = Bars{};
    b.frame = frame;
    b.partBorders.fill(plat::PartBorder::Sunken);
  }
  return b;
}

plat::HMenu BuildMenu(const std::vector<res::MenuItem>& items) {
  const plat::HMenu m = plat::CreateMenu();
  for (const res::MenuItem& item : items) {
    plat::MenuEntry e;
    e.text = item.text;
    e.greyed = item.greyed;
    e.checked = item.checked;
    switch (item.kind) {
      case res::MenuItem::Kind::Separator:
        e.kind = plat::MenuEntry::Kind::Separator;
        break;
      case res::MenuItem::Kind::Popup:
        e.kind = plat::MenuEntry::Kind::Popup;
        e.submenu = BuildMenu(item.items);
        break;
      case res::MenuItem::Kind::Command:
        e.id = item.id;
        break;
    }
    plat::InsertMenuEntry(m, -1, e);
  }
  return m;
}

}  // namespace

plat::HMenu LoadMenuResource(int id) {
  const res::ResourceSet& set = res::ProgramResources();
  const res::Menu* menu = set.FindMenu(id);
  if (menu == nullptr) return plat::kNoMenu;
  const plat::HMenu m = BuildMenu(menu->items);
  if (const res::MenuPopupIds* ids = set.FindPopupIds(id)) {
    for (const res::PopupIdRecord& r : ids->records) {
      plat::HMenu at = m;
      for (std::size_t k = 0; k < r.path.size() && at != plat::kNoMenu; ++k) {
        const int pos = r.path[k] - 1;
        const std::optional<plat::MenuEntry> e = plat::GetMenuEntry(at, pos);
        if (!e || e->kind != plat::MenuEntry::Kind::Popup) break;
        if (k + 1 == r.path.size()) {
          plat::MenuEntry named = *e;
          named.id = r.commandId;
          plat::SetMenuEntry(at, pos, named);
        }
        at = e->submenu;
      }
    }
  }
  return m;
}

namespace {

plat::Hwnd Frame(int n) {
  return WindowFrameHandle(n);
}

/// The window whose menu and toolbars WMenuSetState addresses.
int StateWindow() {
  const int n = CurrentWindow();
  if (WindowSlotInUse(n)) {
    Bars& b = BarsOf(n);
    if (b.menu != plat::kNoMenu || std::any_of(b.toolbars.begin(), b.toolbars.end(),
                                               [](plat::Hwnd t) { return t != plat::kNoWindow; }))
      return n;
  }
  return kMainWindow;
}

/// The top-level toolkit window N lies in.
int TopLevelOf(int n) {
  for (int guard = 0; guard < kWindowSlots && WindowSlotInUse(n); ++guard) {
    const detail::WindowSlot& s = detail::Slot(n);
    if (!s.inside || !WindowSlotInUse(s.parent)) return n;
    n = s.parent;
  }
  return n;
}

/// The status bar of N or of the nearest window enclosing it.
plat::Hwnd NearestStatusBar(int n) {
  for (int guard = 0; guard < kWindowSlots && WindowSlotInUse(n); ++guard) {
    Bars& b = BarsOf(n);
    if (b.status != plat::kNoWindow) return b.status;
    const detail::WindowSlot& s = detail::Slot(n);
    if (!s.inside || !WindowSlotInUse(s.parent)) break;
    n = s.parent;
  }
  return plat::kNoWindow;
}

void SetBarSizes(int n) {
  Bars& b = BarsOf(n);
  std::array<int, 4> extents{};
  for (int p = 0; p < 4; ++p) {
    const plat::Hwnd t = b.toolbars[static_cast<std::size_t>(p)];
    if (t == plat::kNoWindow) continue;
    const plat::Size image = plat::ToolbarButtonSize(t);
    extents[static_cast<std::size_t>(p)] = (p == 0 || p == 3) ? image.height : image.width - 4;
  }
  detail::Slot(n).menuBarHeight = plat::MenuBarHeight(Frame(n));
  SetWindowBarSizes(n, b.status != plat::kNoWindow ? plat::StatusBarHeight(b.status) : 0, extents);
}

/// The drawable, text cell and graphics surface follow a new client size.
void ClientSizeChanged(int n) {
  if (n != CurrentWindow()) return;
  const plat::Size now = WindowClientSize(n);
  SetCurrentDrawable(kDrawableWindow, now);
  TextCellToPixels();
  if (GetGraphicsLink().windowSurfaceResized) GetGraphicsLink().windowSurfaceResized(n, now);
}

std::shared_ptr<plat::Surface> StripOf(const res::Bitmap& bmp) {
  auto strip = std::make_shared<plat::Surface>(std::max(bmp.width, 1), std::max(bmp.height, 1));
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) strip->Set(x, y, bmp.At(x, y));
  return strip;
}

int ButtonCount(const Bars& b) {
  int count = 0;
  for (plat::Hwnd t : b.toolbars)
    if (t != plat::kNoWindow) count += plat::ToolbarButtonCount(t);
  return count;
}

}  // namespace

std::shared_ptr<plat::Surface> LoadBitmapResource(int id) {
  const res::Toolbar* tb = res::ProgramResources().FindToolbar(id);
  if (tb == nullptr || tb->bitmap.width <= 0 || tb->bitmap.height <= 0) return nullptr;
  return StripOf(tb->bitmap);
}

namespace {

/// Creates toolbar ID at position P (0-3) of window N; false when the
/// resource is missing or the control cannot be made.
bool MakeToolbar(int n, int id, int p) {
  const res::Toolbar* tb = res::ProgramResources().FindToolbar(id);
  if (tb == nullptr) return false;
  Bars& b = BarsOf(n);
  plat::CreateParams cp;
  cp.className = plat::kToolbarClass;
  cp.style = plat::kStyleChild | plat::kStyleVisible | plat::kTbStyleTooltips |
             ((p == 1 || p == 2) ? plat::kCcsVert : 0u);
  cp.rect = {0, 0, tb->imageWidth + 7, tb->imageHeight + 6};
  cp.parent = Frame(n);
  cp.id = id;
  if (!plat::IsClassRegistered(plat::kToolbarClass)) plat::RegisterControls();
  const plat::Hwnd t = plat::CreateWindow(cp);
  if (t == plat::kNoWindow) return false;
  plat::ToolbarSetBitmap(t, StripOf(tb->bitmap), {tb->imageWidth, tb->imageHeight});
  std::vector<plat::ToolbarButton> buttons;
  int image = 0;
  for (const res::ToolbarButton& rb : tb->buttons) {
    plat::ToolbarButton button;
    if (rb.commandId != 0) {
      button.image = image++;
      button.command = rb.commandId;
      const plat::MenuPlace place = plat::FindMenuEntry(b.menu, rb.commandId);
      if (const auto e = plat::GetMenuEntry(place.menu, place.pos)) {
        button.checked = e->checked;
        button.enabled = e->checked || !e->greyed;
      }
    }
    buttons.push_back(button);
  }
  plat::ToolbarAddButtons(t, buttons);
  b.toolbars[static_cast<std::size_t>(p)] = t;
  const std::size_t needed = static_cast<std::size_t>(ButtonCount(b));
  if (b.tooltips.size() < needed) b.tooltips.resize(needed);
  return true;
}

/// The help text for command ID in window N's menus.
std::string HelpFor(int n, int id) {
  Bars& top = BarsOf(TopLevelOf(n));
  if (auto it = top.attachedHelp.find(id); it != top.attachedHelp.end()) return it->second;
  if (const Bars& b = BarsOf(n); b.help != nullptr)
    if (const std::string* t = b.help->Find(id)) return *t;
  if (g_popupHelp != nullptr)
    if (const std::string* t = g_popupHelp->Find(id)) return *t;
  if (top.commandHelp) return top.commandHelp(id);
  return {};
}

void ShowHelp(Bars& owner, std::string text) {
  owner.helpShown = std::move(text);
  if (owner.helpBar != plat::kNoWindow) {
    plat::StatusBarSetSimpleText(owner.helpBar, owner.helpShown);
    plat::UpdateWindow(owner.helpBar);
  }
}

}  // namespace

// ---------------------------------------------------------------------------

void WMenuWindow(int menuId, int window) {
  if (!WindowSlotInUse(window) || detail::Slot(window).inside ||
      detail::Slot(window).specialKind != 0) {
    ReportLibraryError(kErrInvalidWindow, "WMenu");
    return;
  }
  plat::HMenu menu = plat::kNoMenu;
  if (menuId != 0) {
    menu = LoadMenuResource(menuId);
    if (menu == plat::kNoMenu) {
      ReportLibraryError(kErrMenuResource, "WMenu");
      return;
    }
  }
  Bars& b = BarsOf(window);
  plat::SetMenu(Frame(window), menu);
  if (b.menu != plat::kNoMenu) plat::DestroyMenu(b.menu);
  b.attachedHelp.clear();
  b.menu = menu;
  b.help = menu != plat::kNoMenu ? res::ProgramResources().FindHelpTexts(menuId) : nullptr;
  detail::Slot(window).menu = menuId;
  SetBarSizes(window);
  ClientSizeChanged(window);
}

void SetWindowOwnMenu(int n, plat::HMenu menu, int helpId) {
  if (!WindowSlotInUse(n)) return;
  Bars& b = BarsOf(n);
  const bool inside = detail::Slot(n).inside;
  if (!inside) plat::SetMenu(Frame(n), menu);
  if (b.menu != plat::kNoMenu && b.menu != menu) plat::DestroyMenu(b.menu);
  b.attachedHelp.clear();
  FreeAccelerators(b);
  b.menu = menu;
  b.help = helpId != 0 ? res::ProgramResources().FindHelpTexts(helpId) : nullptr;
  detail::Slot(n).menu = helpId;
  SetBarSizes(n);
  ClientSizeChanged(n);
}

void RemoveMenuAndToolbars(int n) {
  if (!WindowSlotInUse(n)) return;
  Bars& b = BarsOf(n);
  if (b.menu != plat::kNoMenu) {
    plat::SetMenu(Frame(n), plat::kNoMenu);
    plat::DestroyMenu(b.menu);
  }
  b.menu = plat::kNoMenu;
  b.help = nullptr;
  b.attachedHelp.clear();
  detail::Slot(n).menu = 0;
  RemoveWindowToolbars(n);
}

void RemoveWindowToolbars(int n) {
  if (!WindowSlotInUse(n)) return;
  Bars& b = BarsOf(n);
  for (plat::Hwnd& t : b.toolbars) {
    if (t != plat::kNoWindow) plat::DestroyWindow(t);
    t = plat::kNoWindow;
  }
  b.tooltips.clear();
  SetBarSizes(n);
  ClientSizeChanged(n);
}

void SetWindowAccelerators(int n, plat::HAccel own, plat::HAccel user) {
  if (!WindowSlotInUse(n)) return;
  Bars& b = BarsOf(n);
  FreeAccelerators(b);
  b.accelerators = {own, user};
}

void SetWindowCommandHelp(int n, std::function<std::string(int id)> help) {
  if (!WindowSlotInUse(n)) return;
  BarsOf(n).commandHelp = std::move(help);
}

void WMenu(int menuId) {
  WMenuWindow(menuId, kMainWindow);
}

void WMenuSetState(int id, int kind, int value) {
  if ((kind != 1 && kind != 2) || (value != 0 && value != 1)) return;
  const int n = StateWindow();
  if (!WindowSlotInUse(n)) {
    ReportLibraryError(kErrInvalidMenuItem, "WMenuSetState");
    return;
  }
  Bars& b = BarsOf(n);
  bool found = false;
  const plat::MenuPlace place = plat::FindMenuEntry(b.menu, id);
  if (std::optional<plat::MenuEntry> e = plat::GetMenuEntry(place.menu, place.pos)) {
    if (kind == 1)
      e->greyed = value == 0;
    else
      e->checked = value == 1;
    plat::SetMenuEntry(place.menu, place.pos, *e);
    if (place.menu == b.menu) plat::DrawMenuBar(Frame(n));
    found = true;
  }
  for (plat::Hwnd t : b.toolbars) {
    if (t == plat::kNoWindow || !plat::ToolbarHasButton(t, id)) continue;
    if (kind == 1)
      plat::ToolbarEnableButton(t, id, value == 1);
    else
      plat::ToolbarCheckButton(t, id, value == 1);
    plat::UpdateWindow(t);
    found = true;
  }
  if (!found) ReportLibraryError(kErrInvalidMenuItem, "WMenuSetState");
}

void WMenuFloating(int id, int x, int y, int option) {
  const int n = CurrentWindow();
  if (!WindowSlotInUse(n)) {
    ReportLibraryError(kErrInvalidWindow, "WMenuFloating");
    return;
  }
  const plat::Hwnd client = WindowClientHandle(n);
  plat::Point screen{x, y};
  if ((option & 1) == 0) {
    int px = 0;
    int py = 0;
    RelativeToPixel(x, y, px, py);
    screen = plat::ClientToScreen(client, {px, py});
  }
  const plat::HMenu menu = LoadMenuResource(id);
  if (menu == plat::kNoMenu) {
    ReportLibraryError(kErrMenuResource, "WMenuFloating");
    return;
  }
  // Entries of commands the window's own menu has take over their state and text.
  int from = TopLevelOf(n);
  if (BarsOf(from).menu == plat::kNoMenu) from = kMainWindow;
  const plat::HMenu own = WindowSlotInUse(from) ? BarsOf(from).menu : plat::kNoMenu;
  for (int i = 0; i < plat::MenuEntryCount(menu); ++i) {
    std::optional<plat::MenuEntry> e = plat::GetMenuEntry(menu, i);
    if (!e || e->id == 0 || e->kind == plat::MenuEntry::Kind::Separator) continue;
    const plat::MenuPlace place = plat::FindMenuEntry(own, e->id);
    if (const auto mine = plat::GetMenuEntry(place.menu, place.pos)) {
      e->checked = mine->checked;
      e->greyed = mine->greyed;
      e->text = mine->text.substr(0, kPopupTextChars);
      plat::SetMenuEntry(menu, i, *e);
    }
  }
  g_popupHelp = res::ProgramResources().FindHelpTexts(id);
  const int chosen = plat::TrackPopupMenu(menu, screen, client);
  g_popupHelp = nullptr;
  plat::DestroyMenu(menu);
  // Posted, so the next wait delivers it as a menu-command event.
  if (chosen != 0 && plat::IsWindow(client))
    plat::PostMessage(client, plat::Msg::Command, plat::MakeWParam(chosen, 0), 0);
}

void WMenuToolbar(int id, int window, int position) {
  const int p = (position >= 1 && position <= 4 ? position : 1) - 1;
  if (!WindowSlotInUse(window)) {
    ReportLibraryError(kErrInvalidWindow, "WMenuToolbar");
    return;
  }
  Bars& b = BarsOf(window);
  plat::Hwnd& slot = b.toolbars[static_cast<std::size_t>(p)];
  if (slot != plat::kNoWindow) {
    plat::DestroyWindow(slot);
    slot = plat::kNoWindow;
    if (ButtonCount(b) == 0) b.tooltips.clear();
  }
  bool ok = true;
  if (id != 0) {
    ok = MakeToolbar(window, id, p);
    if (!ok) ReportLibraryError(kErrMenuResource, "WMenuToolbar");
  }
  SetBarSizes(window);
  ClientSizeChanged(window);
}

void WindowStatusParts(int n, std::span<const int> widths, std::span<const int> styles) {
  if (n < 1 || n > kMaxStatusParts) return;
  const int w = CurrentWindow();
  if (!WindowSlotInUse(w)) return;
  Bars& b = BarsOf(w);
  if (b.status == plat::kNoWindow) return;
  std::vector<int> edges = plat::StatusBarGetParts(b.status);
  edges.resize(static_cast<std::size_t>(n), -1);
  const int extent = DrawableSize().width - 1;
  int right = 0;
  for (int i = 0; i < n; ++i) {
    const int width =
        i < static_cast<int>(widths.size()) ? widths[static_cast<std::size_t>(i)] : -1;
    const int style = i < static_cast<int>(styles.size()) ? styles[static_cast<std::size_t>(i)] : 1;
    b.partBorders[static_cast<std::size_t>(i)] = style == 0   ? plat::PartBorder::None
                                                 : style == 2 ? plat::PartBorder::Raised
                                                              : plat::PartBorder::Sunken;
    if (width == -1) {
      edges[static_cast<std::size_t>(i)] = -1;
      break;
    }
    right += width * extent / 9999;
    edges[static_cast<std::size_t>(i)] = right;
  }
  plat::StatusBarSetParts(b.status, edges);
  for (int i = 0; i < n; ++i)
    plat::StatusBarSetText(b.status, i, plat::StatusBarGetText(b.status, i),
                           b.partBorders[static_cast<std::size_t>(i)]);
  plat::UpdateWindow(b.status);
}

void WindowStatusText(int part, std::string_view text) {
  if (part < 1 || part > kMaxStatusParts) return;
  const int w = CurrentWindow();
  if (!WindowSlotInUse(w)) return;
  Bars& b = BarsOf(w);
  if (b.status == plat::kNoWindow) return;
  plat::StatusBarSetText(b.status, part - 1, plat::TrimRight(text, plat::kBlankOrNul),
                         b.partBorders[static_cast<std::size_t>(part - 1)]);
  plat::UpdateWindow(b.status);
}

int WMenuGetState(int id, int kind) {
  const int n = StateWindow();
  if (WindowSlotInUse(n)) {
    Bars& b = BarsOf(n);
    const plat::MenuPlace place = plat::FindMenuEntry(b.menu, id);
    if (const auto e = plat::GetMenuEntry(place.menu, place.pos))
      return kind == 2 ? (e->checked ? 1 : 0) : (e->greyed ? 0 : 1);
    for (plat::Hwnd t : b.toolbars) {
      if (t == plat::kNoWindow || !plat::ToolbarHasButton(t, id)) continue;
      return kind == 2 ? (plat::ToolbarIsButtonChecked(t, id) ? 1 : 0)
                       : (plat::ToolbarIsButtonEnabled(t, id) ? 1 : 0);
    }
  }
  ReportLibraryError(kErrInvalidMenuItem, "WMenuGetState");
  return -1;
}

void WMenuSetString(int id, std::string_view text) {
  const int n = CurrentWindow();
  const plat::MenuPlace place =
      WindowSlotInUse(n) ? plat::FindMenuEntry(BarsOf(n).menu, id) : plat::MenuPlace{};
  std::optional<plat::MenuEntry> e = plat::GetMenuEntry(place.menu, place.pos);
  if (!e) {
    ReportLibraryError(kErrInvalidMenuItem, "WMenuSetString");
    return;
  }
  e->text = std::string(plat::TrimRight(text, plat::kBlankOrNul));
  plat::SetMenuEntry(place.menu, place.pos, *e);
  if (place.menu == BarsOf(n).menu) plat::DrawMenuBar(Frame(n));
}

void WMenuItemHelp(int id, std::string_view text) {
  const int n = CurrentWindow();
  if (!WindowSlotInUse(n) || !plat::FindMenuEntry(BarsOf(n).menu, id).Found()) {
    ReportLibraryError(kErrInvalidMenuItem, "WMenuItemHelp");
    return;
  }
  BarsOf(n).attachedHelp[id] = std::string(plat::TrimRight(text, plat::kBlankOrNul));
}

void WMenuTooltip(int id, std::string_view text) {
  const int n = CurrentWindow();
  if (!WindowSlotInUse(n)) return;
  Bars& b = BarsOf(n);
  std::string value(text.substr(0, kTooltipChars));
  auto it = std::find_if(b.tooltips.begin(), b.tooltips.end(),
                         [id](const auto& e) { return e.first == id; });
  if (text.size() == 1) {
    if (it != b.tooltips.end()) *it = {};
    return;
  }
  if (it == b.tooltips.end())
    it = std::find_if(b.tooltips.begin(), b.tooltips.end(),
                      [](const auto& e) { return e.first == 0; });
  if (it != b.tooltips.end()) *it = {id, std::move(value)};
}

plat::HMenu WindowMenuHandle(int n) {
  return WindowSlotInUse(n) ? BarsOf(n).menu : plat::kNoMenu;
}

plat::Hwnd WindowStatusBarHandle(int n) {
  return WindowSlotInUse(n) ? BarsOf(n).status : plat::kNoWindow;
}

plat::Hwnd WindowToolbarHandle(int n, int position) {
  if (!WindowSlotInUse(n) || position < 1 || position > 4) return plat::kNoWindow;
  return BarsOf(n).toolbars[static_cast<std::size_t>(position - 1)];
}

std::string WindowMenuHelpText(int n) {
  return WindowSlotInUse(n) ? BarsOf(n).helpShown : std::string();
}

// ---------------------------------------------------------------------------

namespace detail {

void AttachBars(int n, int menuId, bool statusBar, bool sizeGrip, std::array<int, 4> toolbars,
                bool centredX, bool centredY) {
  Bars& b = BarsOf(n);
  WindowSlot& s = Slot(n);
  const plat::Rect frameBefore = plat::GetWindowRect(s.frame);
  if (menuId != 0 && !s.inside) {
    b.menu = LoadMenuResource(menuId);
    if (b.menu != plat::kNoMenu) {
      plat::SetMenu(s.frame, b.menu);
      b.help = res::ProgramResources().FindHelpTexts(menuId);
    }
  }
  if (statusBar) {
    if (!plat::IsClassRegistered(plat::kStatusBarClass)) plat::RegisterControls();
    plat::CreateParams cp;
    cp.className = plat::kStatusBarClass;
    cp.style = plat::kStyleChild | plat::kStyleVisible | (sizeGrip ? plat::kSbarsSizeGrip : 0u);
    cp.parent = s.frame;
    cp.id = kStatusBarId;
    b.status = plat::CreateWindow(cp);
  }
  for (int p = 0; p < 4; ++p)
    if (toolbars[static_cast<std::size_t>(p)] != 0 &&
        !MakeToolbar(n, toolbars[static_cast<std::size_t>(p)], p))
      ReportLibraryError(kErrMenuResource, "WMenuToolbar");
  // Grow the frame by its bars, keeping the client size.
  const plat::Size client = WindowClientSize(n);
  s.menuBarHeight = plat::MenuBarHeight(s.frame);
  std::array<int, 4> extents{};
  for (int p = 0; p < 4; ++p) {
    const plat::Hwnd t = b.toolbars[static_cast<std::size_t>(p)];
    if (t == plat::kNoWindow) continue;
    const plat::Size button = plat::ToolbarButtonSize(t);
    extents[static_cast<std::size_t>(p)] = (p == 0 || p == 3) ? button.height : button.width - 4;
  }
  s.toolbarExtents = extents;
  s.statusBarHeight = b.status != plat::kNoWindow ? plat::StatusBarHeight(b.status) : 0;
  const plat::Size frame = FrameSizeFor(s, client);
  const int growX = frame.width - frameBefore.Width();
  const int growY = frame.height - frameBefore.Height();
  if (growX != 0 || growY != 0) {
    const int x = s.normal.left - (centredX ? growX / 2 : 0);
    const int y = s.normal.top - (centredY ? growY / 2 : 0);
    s.normal = {x, y, x + frame.width, y + frame.height};
    plat::MoveWindow(s.frame, s.normal, false);
  }
  LayoutFrame(n);
}

void ReleaseBars(int n) {
  if (n < 0 || n > kMaxWindowNumber) return;
  Bars& b = AllBars()[static_cast<std::size_t>(n)];
  if (b.menu != plat::kNoMenu) plat::DestroyMenu(b.menu);
  FreeAccelerators(b);
  b = Bars{};
}

bool TranslateWindowAccelerators(const plat::Message& m) {
  if (m.msg != plat::Msg::KeyDown && m.msg != plat::Msg::SysKeyDown) return false;
  // The innermost toolkit window around the key's target that has tables.
  for (plat::Hwnd h = m.hwnd; h != plat::kNoWindow; h = plat::GetParent(h)) {
    const int n = WindowNumberFromHandle(h);
    if (n < 0 || !WindowSlotInUse(n) || Frame(n) != h) continue;
    const Bars& b = BarsOf(n);
    for (plat::HAccel a : b.accelerators)
      if (a != plat::kNoAccel && plat::TranslateAccelerator(h, a, m)) return true;
  }
  return false;
}

void PlaceBars(int n) {
  const WindowSlot& s = Slot(n);
  Bars& b = BarsOf(n);
  const plat::Rect r = plat::GetClientRect(s.frame);
  const int mb = s.menuBarHeight;
  if (const plat::Hwnd bar = plat::GetMenuBarWindow(s.frame); bar != plat::kNoWindow)
    plat::MoveWindow(bar, {r.left, r.top, r.right, r.top + mb});
  const int sb = s.statusBarHeight;
  if (b.status != plat::kNoWindow)
    plat::MoveWindow(b.status, {r.left, r.bottom - sb, r.right, r.bottom});
  const auto& e = s.toolbarExtents;
  const int top = r.top + mb + s.bandTop;
  const int bottom = r.bottom - sb;
  const plat::Rect places[4] = {
      {r.left, top, r.right, top + e[0]},
      {r.left, top + e[0], r.left + e[1], bottom - e[3]},
      {r.right - e[2], top + e[0], r.right, bottom - e[3]},
      {r.left, bottom - e[3], r.right, bottom},
  };
  for (int p = 0; p < 4; ++p)
    if (const plat::Hwnd t = b.toolbars[static_cast<std::size_t>(p)]; t != plat::kNoWindow)
      plat::MoveWindow(t, places[p]);
}

bool BarMessage(int n, plat::Msg m, plat::WParam w, plat::LParam l, plat::LResult& result) {
  if (n < 0 || !WindowSlotInUse(n)) return false;
  result = 0;
  switch (m) {
    case plat::Msg::EnterMenuLoop: {
      const bool popup = w != 0;
      int owner = n;
      if (popup) {
        owner = TopLevelOf(n);
        if (BarsOf(owner).menu == plat::kNoMenu) owner = kMainWindow;
      }
      if (!WindowSlotInUse(owner)) return true;
      Bars& ob = BarsOf(owner);
      const bool available = ob.help != nullptr || g_popupHelp != nullptr ||
                             plat::GetMenu(Frame(n)) == plat::kNoMenu || !ob.attachedHelp.empty();
      Bars& b = BarsOf(n);
      b.helpOwner = owner;
      b.helpBar = available ? NearestStatusBar(n) : plat::kNoWindow;
      b.helpActive = available;
      if (b.helpBar != plat::kNoWindow) plat::StatusBarSetSimple(b.helpBar, true);
      ShowHelp(b, {});
      return true;
    }
    case plat::Msg::MenuSelect: {
      Bars& b = BarsOf(n);
      if (!b.helpActive || l == 0) return true;
      ShowHelp(b, WindowSlotInUse(b.helpOwner) ? HelpFor(b.helpOwner, static_cast<int>(w))
                                               : std::string());
      return true;
    }
    case plat::Msg::ExitMenuLoop: {
      Bars& b = BarsOf(n);
      if (b.helpBar != plat::kNoWindow) {
        plat::StatusBarSetSimple(b.helpBar, false);
        plat::UpdateWindow(b.helpBar);
      }
      b.helpActive = false;
      b.helpBar = plat::kNoWindow;
      b.helpShown.clear();
      return true;
    }
    case plat::Msg::Notify: {
      auto* hdr = reinterpret_cast<plat::NotifyHeader*>(l);
      if (hdr == nullptr || hdr->code != plat::kTtnGetDispInfo) return false;
      auto* note = reinterpret_cast<plat::TooltipTextNotify*>(hdr);
      const Bars& b = BarsOf(n);
      auto it = std::find_if(b.tooltips.begin(), b.tooltips.end(),
                             [id = hdr->id](const auto& e) { return e.first == id; });
      if (it != b.tooltips.end() && hdr->id != 0) {
        note->text = it->second;
      } else if (const std::string* text = res::ProgramResources().FindString(hdr->id)) {
        note->text = text->substr(0, kTooltipChars);
      }
      return true;
    }
    default:
      return false;
  }
}

void ReportToStatusBar(const std::string& report) {
  const int remembered = WindowQuery(4);
  WindowMakeCurrent(kMainWindow);
  WindowStatusText(1, report);
  WindowMakeCurrent(remembered);
}

}  // namespace detail

}  // namespace tk
