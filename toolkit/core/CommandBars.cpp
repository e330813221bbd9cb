// Menus, toolbars and accelerators of windows that carry out their own
// commands: see CommandBars.h.
#include "toolkit/core/CommandBars.h"

#include "platform/window/VirtualKeys.h"
#include "resources/ResourceFormat.h"

namespace tk {

const WindowCommand* FindWindowCommand(std::span<const WindowCommand> table, int id) {
  for (const WindowCommand& c : table)
    if (c.id == id) return &c;
  return nullptr;
}

CommandMenuLine CommandItem(std::span<const WindowCommand> table, int id) {
  const WindowCommand* c = FindWindowCommand(table, id);
  CommandMenuLine line;
  line.id = id;
  if (c != nullptr) {
    line.text = c->text;
    line.keys = c->keys;
  }
  return line;
}

CommandMenuLine CommandPopup(std::span<const WindowCommand> table, int id,
                             std::vector<CommandMenuLine> items) {
  CommandMenuLine line = CommandItem(table, id);
  line.keys.clear();
  line.popup = true;
  line.items = std::move(items);
  return line;
}

plat::HAccel CommandAccelerators(std::span<const WindowCommand> table,
                                 const std::function<bool(int id)>& present) {
  std::vector<plat::Accelerator> entries;
  for (const WindowCommand& c : table)
    if (c.key != 0 && present(c.id)) entries.push_back({c.modifiers, c.key, c.id});
  return plat::CreateAcceleratorTable(entries);
}

void SetCommandItemEnabled(plat::HMenu menu, int id, bool enabled) {
  if (menu == plat::kNoMenu) return;
  const plat::MenuPlace place = plat::FindMenuEntry(menu, id);
  std::optional<plat::MenuEntry> e = plat::GetMenuEntry(place.menu, place.pos);
  if (!e) return;
  e->greyed = !enabled;
  plat::SetMenuEntry(place.menu, place.pos, *e);
}

plat::HMenu BuildCommandMenu(std::span<const CommandMenuLine> lines, bool keyTexts) {
  const plat::HMenu m = plat::CreateMenu();
  for (const CommandMenuLine& line : lines) {
    plat::MenuEntry e;
    e.id = line.id;
    e.greyed = line.greyed;
    e.checked = line.checked;
    if (line.popup) {
      e.kind = plat::MenuEntry::Kind::Popup;
      e.text = line.text;
      e.submenu = BuildCommandMenu(line.items, keyTexts);
    } else if (line.text.empty()) {
      e.kind = plat::MenuEntry::Kind::Separator;
    } else {
      e.text = keyTexts && !line.keys.empty() ? line.text + "\t" + line.keys : line.text;
    }
    plat::InsertMenuEntry(m, -1, e);
  }
  return m;
}

void InsertCommandPopups(plat::HMenu bar, std::span<const CommandMenuLine> popups, bool keyTexts) {
  int at = 0;
  for (const CommandMenuLine& line : popups) {
    plat::MenuEntry e;
    e.kind = plat::MenuEntry::Kind::Popup;
    e.id = line.id;
    e.text = line.text;
    e.greyed = line.greyed;
    e.submenu = BuildCommandMenu(line.items, keyTexts);
    plat::InsertMenuEntry(bar, at++, e);
  }
}

plat::HMenu CommandPopupOf(plat::HMenu bar, int id) {
  for (int k = 0; k < plat::MenuEntryCount(bar); ++k)
    if (const auto e = plat::GetMenuEntry(bar, k);
        e && e->kind == plat::MenuEntry::Kind::Popup && e->id == id)
      return e->submenu;
  return plat::kNoMenu;
}

std::shared_ptr<plat::Surface> IconStrip(std::span<const std::string_view> names, plat::Size size) {
  if (names.empty() || size.width <= 0 || size.height <= 0) return nullptr;
  const int count = static_cast<int>(names.size());
  auto strip = std::make_shared<plat::Surface>(size.width * count, size.height);
  for (int i = 0; i < count; ++i) {
    const res::Icon* icon = res::ProgramResources().FindIcon(names[static_cast<std::size_t>(i)]);
    if (icon == nullptr || icon->image.width < size.width || icon->image.height < size.height)
      return nullptr;
    for (int y = 0; y < size.height; ++y)
      for (int x = 0; x < size.width; ++x) strip->Set(i * size.width + x, y, icon->image.At(x, y));
  }
  return strip;
}

plat::Hwnd MakeCommandToolbar(plat::Hwnd parent, int id, std::shared_ptr<const plat::Surface> strip,
                              plat::Size image, std::span<const plat::ToolbarButton> buttons) {
  if (strip == nullptr) return plat::kNoWindow;
  if (!plat::IsClassRegistered(plat::kToolbarClass)) plat::RegisterControls();
  const plat::Hwnd t =
      plat::CreateWindow({.className = plat::kToolbarClass,
                          .style = plat::kStyleChild | plat::kStyleVisible | plat::kTbStyleTooltips,
                          .rect = {0, 0, image.width + 7, image.height + 6},
                          .parent = parent,
                          .id = id});
  if (t == plat::kNoWindow) return t;
  plat::ToolbarSetBitmap(t, std::move(strip), image);
  plat::ToolbarAddButtons(t, buttons);
  return t;
}

std::string AcceleratorText(const plat::Accelerator& a) {
  std::string text;
  if ((a.modifiers & plat::kAccelControl) != 0) text += "Ctrl+";
  if ((a.modifiers & plat::kAccelShift) != 0) text += "Shift+";
  if ((a.modifiers & plat::kAccelAlt) != 0) text += "Alt+";
  if (a.key >= plat::kVkF1 && a.key <= plat::kVkF24)
    text += "F" + std::to_string(a.key - plat::kVkF1 + 1);
  else if (a.key == plat::kVkDelete)
    text += "Del";
  else
    text += static_cast<char>(a.key);
  return text;
}

}  // namespace tk
