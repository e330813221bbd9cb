#include "resources/ResourceFormat.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "resources/ResourceFormat_p.h"
#include "resources/Resources.h"

namespace res {

std::string ResourceError::Text() const {
  if (line > 0) return file + ":" + std::to_string(line) + ": " + message;
  return file + ": " + message;
}

namespace {

using detail::FailAt;
using detail::PlaceText;

// Reports the first identifier used twice among ITEMS (KEY gives it).
template <typename T, typename Key>
bool Unique(const std::vector<T>& items, Key key, const char* kind, ResourceError& error) {
  std::map<int, const T*> seen;
  for (const T& item : items) {
    auto [it, fresh] = seen.emplace(key(item), &item);
    if (!fresh) {
      return FailAt(error, item.place,
                    std::string(kind) + " " + std::to_string(key(item)) +
                        " defined twice (first at " + PlaceText(it->second->place) + ")");
    }
  }
  return true;
}

}  // namespace

const MenuItem* Menu::FindItem(int commandId) const {
  std::vector<const std::vector<MenuItem>*> todo{&items};
  while (!todo.empty()) {
    const std::vector<MenuItem>* list = todo.back();
    todo.pop_back();
    for (const MenuItem& item : *list) {
      if (item.kind == MenuItem::Kind::Command && item.id == commandId) return &item;
      if (item.kind == MenuItem::Kind::Popup) todo.push_back(&item.items);
    }
  }
  return nullptr;
}

const MenuItem* MenuPopupIds::Resolve(const Menu& menu, const std::vector<int>& path) {
  const std::vector<MenuItem>* list = &menu.items;
  const MenuItem* item = nullptr;
  for (int position : path) {
    if (position < 1 || static_cast<std::size_t>(position) > list->size()) return nullptr;
    item = &(*list)[position - 1];
    if (item->kind != MenuItem::Kind::Popup) return nullptr;
    list = &item->items;
  }
  return item;
}

const std::string* HelpTexts::Find(int commandId) const {
  for (const HelpText& h : entries) {
    if (h.commandId == commandId) return &h.text;
  }
  return nullptr;
}

namespace {
template <typename T, typename Pred>
const T* FindIn(const std::vector<T>& items, Pred pred) {
  auto it = std::find_if(items.begin(), items.end(), pred);
  return it == items.end() ? nullptr : &*it;
}
}  // namespace

const DialogTemplate* ResourceSet::FindDialog(int id) const {
  return FindIn(dialogs, [id](const DialogTemplate& d) { return d.id == id; });
}
const Menu* ResourceSet::FindMenu(int id) const {
  return FindIn(menus, [id](const Menu& m) { return m.id == id; });
}
const MenuPopupIds* ResourceSet::FindPopupIds(int menuId) const {
  return FindIn(popupIds, [menuId](const MenuPopupIds& p) { return p.menuId == menuId; });
}
const HelpTexts* ResourceSet::FindHelpTexts(int menuId) const {
  return FindIn(helpTexts, [menuId](const HelpTexts& h) { return h.menuId == menuId; });
}
const Toolbar* ResourceSet::FindToolbar(int id) const {
  return FindIn(toolbars, [id](const Toolbar& t) { return t.id == id; });
}
const Icon* ResourceSet::FindIcon(std::string_view name) const {
  return FindIn(icons, [name](const Icon& i) { return i.name == name; });
}
const std::string* ResourceSet::FindString(int id) const {
  const StringEntry* s = FindIn(strings, [id](const StringEntry& e) { return e.id == id; });
  return s ? &s->text : nullptr;
}
const AcceleratorTable* ResourceSet::FindAccelerators(int id) const {
  return FindIn(accelerators, [id](const AcceleratorTable& a) { return a.id == id; });
}
const CommandEntry* ResourceSet::FindCommand(int id) const {
  return FindIn(commands, [id](const CommandEntry& c) { return c.id == id; });
}

bool FinishResourceSet(ResourceSet& set, ResourceError& error) {
  return detail::MakeIcons(set, error) && detail::MakeToolbarBitmaps(set, error) &&
         Unique(
             set.dialogs, [](const DialogTemplate& d) { return d.id; }, "dialog", error) &&
         Unique(
             set.menus, [](const Menu& m) { return m.id; }, "menu", error) &&
         Unique(
             set.popupIds, [](const MenuPopupIds& p) { return p.menuId; }, "popupids", error) &&
         Unique(
             set.helpTexts, [](const HelpTexts& h) { return h.menuId; }, "helptexts", error) &&
         Unique(
             set.accelerators, [](const AcceleratorTable& a) { return a.id; }, "accelerators",
             error) &&
         Unique(
             set.toolbars, [](const Toolbar& t) { return t.id; }, "toolbar", error) &&
         Unique(
             set.strings, [](const StringEntry& s) { return s.id; }, "string", error) &&
         Unique(
             set.commands, [](const CommandEntry& c) { return c.id; }, "command", error);
}

bool LoadEmbeddedResources(ResourceSet& set, ResourceError& error) {
  for (std::string_view name : Names()) {
    if (name.size() < 4 || name.substr(name.size() - 4) != ".txt") continue;
    if (!ParseResourceText(name, Find(name), set, error)) return false;
  }
  return FinishResourceSet(set, error);
}

const ResourceSet& ProgramResources() {
  static const ResourceSet resources = [] {
    ResourceSet set;
    ResourceError error;
    if (!LoadEmbeddedResources(set, error)) {
      std::fprintf(stderr, "resources: %s\n", error.Text().c_str());
      set = ResourceSet();
    }
    return set;
  }();
  return resources;
}

}  // namespace res
