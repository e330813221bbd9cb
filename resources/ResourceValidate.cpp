// The checks over a whole resource set: every identifier that is referenced
// exists, and every identifier is unique where it must be.
#include "resources/ResourceFormat_p.h"

#include <algorithm>
#include <map>
#include <set>

namespace res {

using detail::PlaceText;

std::vector<std::string> ValidateResourceSet(const ResourceSet& set) {
  std::vector<std::string> problems;
  auto problem = [&](const SourcePlace& p, const std::string& message) {
    problems.push_back(PlaceText(p) + ": " + message);
  };

  // Menu items name commands; remember which commands menus carry.
  std::set<int> inMenus;
  for (const Menu& menu : set.menus) {
    std::vector<const std::vector<MenuItem>*> todo{&menu.items};
    while (!todo.empty()) {
      const std::vector<MenuItem>* list = todo.back();
      todo.pop_back();
      for (const MenuItem& item : *list) {
        if (item.kind == MenuItem::Kind::Popup) todo.push_back(&item.items);
        if (item.kind != MenuItem::Kind::Command) continue;
        inMenus.insert(item.id);
        const CommandEntry* c = set.FindCommand(item.id);
        if (!c) {
          problem(item.place, "menu " + std::to_string(menu.id) + ": command " +
                                  std::to_string(item.id) + " is not in the command list");
        } else if (c->use != CommandUse::Command && c->use != CommandUse::Inert) {
          problem(item.place, "menu " + std::to_string(menu.id) + ": command " +
                                  std::to_string(item.id) + " is listed as no menu item (" +
                                  PlaceText(c->place) + ")");
        }
      }
    }
  }

  std::set<int> popupNames;
  for (const MenuPopupIds& ids : set.popupIds) {
    const Menu* menu = set.FindMenu(ids.menuId);
    if (!menu) {
      problem(ids.place, "popupids " + std::to_string(ids.menuId) + ": no such menu");
      continue;
    }
    for (const PopupIdRecord& r : ids.records) {
      popupNames.insert(r.commandId);
      const CommandEntry* c = set.FindCommand(r.commandId);
      if (!c || c->use != CommandUse::Popup) {
        problem(r.place, "popupids " + std::to_string(ids.menuId) + ": " +
                             std::to_string(r.commandId) +
                             " is not a pop-up identifier of the command list");
      }
      if (!MenuPopupIds::Resolve(*menu, r.path)) {
        problem(r.place, "popupids " + std::to_string(ids.menuId) + ": the path of " +
                             std::to_string(r.commandId) + " leads to no pop-up of menu " +
                             std::to_string(ids.menuId));
      }
    }
  }

  for (const HelpTexts& help : set.helpTexts) {
    const Menu* menu = set.FindMenu(help.menuId);
    if (!menu) {
      problem(help.place, "helptexts " + std::to_string(help.menuId) + ": no such menu");
      continue;
    }
    const MenuPopupIds* ids = set.FindPopupIds(help.menuId);
    for (const HelpText& h : help.entries) {
      bool named = menu->FindItem(h.commandId) != nullptr;
      if (!named && ids) {
        for (const PopupIdRecord& r : ids->records) named = named || r.commandId == h.commandId;
      }
      if (!named) {
        problem(h.place, "helptexts " + std::to_string(help.menuId) + ": " +
                             std::to_string(h.commandId) + " is no item or pop-up of menu " +
                             std::to_string(help.menuId));
      }
    }
  }

  for (const AcceleratorTable& table : set.accelerators) {
    for (const AcceleratorEntry& e : table.entries) {
      if (!set.FindCommand(e.commandId)) {
        problem(e.place, "accelerators " + std::to_string(table.id) + ": " +
                             std::to_string(e.commandId) + " is not in the command list");
      }
    }
  }

  std::set<int> onToolbars;
  for (const Toolbar& bar : set.toolbars) {
    for (const ToolbarButton& b : bar.buttons) {
      if (b.commandId == 0) continue;
      onToolbars.insert(b.commandId);
      const std::string where =
          "toolbar " + std::to_string(bar.id) + ": button " + std::to_string(b.commandId);
      const CommandEntry* c = set.FindCommand(b.commandId);
      if (!c) {
        problem(b.place, where + " is not in the command list");
      } else if (c->use == CommandUse::Command && !inMenus.count(b.commandId)) {
        problem(b.place, where + " is no menu item");
      } else if (c->use != CommandUse::Command && c->use != CommandUse::Button) {
        problem(b.place,
                where + " is listed as no command or button (" + PlaceText(c->place) + ")");
      }
      if (!set.FindString(b.commandId)) problem(b.place, where + " has no tooltip string");
    }
  }

  for (const StringEntry& s : set.strings) {
    if (!set.FindCommand(s.id)) {
      problem(s.place, "string " + std::to_string(s.id) + " names no command");
    }
  }

  for (const CommandEntry& c : set.commands) {
    const std::string what = "command " + std::to_string(c.id) + " (" + c.name + ")";
    switch (c.use) {
      case CommandUse::Command:
      case CommandUse::Inert:
        if (!inMenus.count(c.id)) problem(c.place, what + " is in no menu");
        break;
      case CommandUse::Popup:
        if (!popupNames.count(c.id)) problem(c.place, what + " names no pop-up");
        break;
      case CommandUse::Button:
        if (!onToolbars.count(c.id)) problem(c.place, what + " is on no toolbar");
        if (inMenus.count(c.id)) problem(c.place, what + " is a menu item too");
        break;
    }
  }

  for (const DialogTemplate& d : set.dialogs) {
    std::map<int, const DialogControl*> ids;
    for (const DialogControl& c : d.controls) {
      if (c.id == -1) continue;
      auto [it, fresh] = ids.emplace(c.id, &c);
      if (!fresh) {
        problem(c.place, "dialog " + std::to_string(d.id) + ": field " + std::to_string(c.id) +
                             " used twice (first at " + PlaceText(it->second->place) + ")");
      }
    }
  }
  return problems;
}

}  // namespace res
