#pragma once
// Where the menu commands of the main window (or of another window's menu
// bar) sit on the screen, for the tests that
// choose them with a real mouse and keyboard: worked out from the menu
// resource and the control font as the platform's menus lay them out.
#include <cctype>
#include <optional>
#include <ostream>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/text/Font.h"
#include "resources/ResourceFormat.h"
#include "resources/Resources.h"

namespace testing_support {

/// A command as the user finds it: the bar title and the entry's label, as
/// shown (without the mnemonic marks).
struct MenuCommand {
  const char* title;
  const char* entry;
};
/// How a test names a command in its messages: "File > Open".
inline void PrintTo(const MenuCommand& c, std::ostream* os) { *os << c.title << " > " << c.entry; }

inline std::string Shown(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
    out += text[i];
  }
  return out;
}

/// Where a command sits in the menu bar: the bar title's index, the entry's
/// index, and how many Down keys from the first entry reach it.
struct MenuPlace {
  int title = -1;
  int entry = -1;
  std::string mnemonic;  // the title's underlined letter as a keysym name; empty when none
  int downs = 0;
  int titleLeft = 0, titleRight = 0;  // in the menu bar, pixels
  int entryTop = 0, entryBottom = 0;  // in the open pop-up, pixels
};

// The menu bar's and pop-ups' layout: titles and entries are as wide and
// tall as their text in the control font with the bar's padding and the
// pop-up's border (as the platform's menus lay them out).
inline std::optional<MenuPlace> Find(const MenuCommand& c, int menuId = 30001) {
  const res::Menu* menu = res::ProgramResources().FindMenu(menuId);
  const auto font = plat::DefaultControlFont();
  if (menu == nullptr || !font) return std::nullopt;
  const int line = font->Metrics().height;
  MenuPlace place;
  int x = 2;
  for (std::size_t t = 0; t < menu->items.size(); ++t) {
    const res::MenuItem& popup = menu->items[t];
    const int width = font->TextWidth(Shown(popup.text)) + 14;
    if (Shown(popup.text) != c.title) {
      x += width;
      continue;
    }
    place.title = static_cast<int>(t);
    if (const auto amp = popup.text.find('&'); amp != std::string::npos && amp + 1 < popup.text.size())
      place.mnemonic = std::string(1, static_cast<char>(std::tolower(popup.text[amp + 1])));
    place.titleLeft = x;
    place.titleRight = x + width;
    int y = 3, downs = 0;
    for (std::size_t e = 0; e < popup.items.size(); ++e) {
      const res::MenuItem& item = popup.items[e];
      const bool separator = item.kind == res::MenuItem::Kind::Separator;
      const int height = separator ? 8 : line + 6;
      if (!separator && Shown(item.text) == c.entry) {
        place.entry = static_cast<int>(e);
        place.downs = downs;
        place.entryTop = y;
        place.entryBottom = y + height;
        return place;
      }
      if (!separator) ++downs;
      y += height;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace testing_support
