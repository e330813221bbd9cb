// The parser of the resource files: dialogs and their extras, menus, pop-up
// identifiers, help texts, strings, commands, the palette, icons and toolbars.
#include "resources/ResourceFormat_p.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace res {

namespace detail {

constexpr int kMaxMenuDepth = 8;

constexpr std::int64_t kMaxId = 65535;

bool Parser::Run() {
  while (NextLine()) {
    if (block_ == Block::Icon || block_ == Block::Extras) {
      // Raw lines: pixel rows, or the dialog-extras text kept verbatim.
      std::string_view trimmed = Trim(raw_);
      if (trimmed == "end") {
        block_ = block_ == Block::Icon ? Block::None : Block::Dialog;
        continue;
      }
      if (block_ == Block::Extras) {
        DialogTemplate& d = set_.dialogs.back();
        d.extras.append(raw_);
        d.extras += '\n';
        continue;
      }
      if (!IconLine()) return false;
      continue;
    }
    if (!Tokenize()) return false;
    if (AtEnd()) continue;
    bool ok = true;
    if (block_ != Block::None && block_ != Block::Dialog && block_ != Block::Menu &&
        tokens_[0].kind == Token::Kind::Word && tokens_[0].text == "end") {
      // The blocks of plain lines close alike; menus and dialogs check more.
      ++pos_;
      block_ = Block::None;
      if (!LineEnd("\"end\"")) return false;
      continue;
    }
    switch (block_) {
      case Block::None:
        ok = TopLevel();
        break;
      case Block::Dialog:
        ok = DialogLine();
        break;
      case Block::Menu:
        ok = MenuLine();
        break;
      case Block::PopupIds:
        ok = PopupIdsLine();
        break;
      case Block::HelpTexts:
        ok = HelpTextsLine();
        break;
      case Block::Accelerators:
        ok = AcceleratorsLine();
        break;
      case Block::Strings:
        ok = StringsLine();
        break;
      case Block::Commands:
        ok = CommandsLine();
        break;
      case Block::Palette:
        ok = PaletteLine();
        break;
      case Block::Toolbar:
        ok = ToolbarLine();
        break;
      case Block::Icon:
      case Block::Extras:
        break;
    }
    if (!ok) return false;
  }
  if (block_ != Block::None) {
    line_ = blockLine_;
    return Fail("no \"end\" for " + blockName_);
  }
  return true;
}

bool Parser::TopLevel() {
  std::string keyword = tokens_[0].text;
  if (tokens_[0].kind != Token::Kind::Word) {
    return Fail("expected a resource keyword, found " + Describe(tokens_[0]));
  }
  ++pos_;
  blockLine_ = line_;
  if (keyword == "dialog") {
    DialogTemplate d;
    d.place = Here();
    std::string kind;
    if (!Int("a dialog identifier", 1, kMaxId, d.id) || !Word("the dialog kind", kind)) {
      return false;
    }
    if (kind == "popup") {
      d.kind = DialogKind::Popup;
    } else if (kind == "child") {
      d.kind = DialogKind::Child;
    } else {
      --pos_;
      return Fail("dialog kind must be \"popup\" or \"child\", found \"" + kind + "\"");
    }
    if (!LineEnd("the dialog kind")) return false;
    blockName_ = "dialog " + std::to_string(d.id);
    set_.dialogs.push_back(std::move(d));
    sawCaption_ = sawRect_ = sawFont_ = sawStyle_ = false;
    block_ = Block::Dialog;
  } else if (keyword == "menu") {
    Menu m;
    m.place = Here();
    if (!Int("a menu identifier", 1, kMaxId, m.id) || !LineEnd("the menu identifier")) {
      return false;
    }
    blockName_ = "menu " + std::to_string(m.id);
    set_.menus.push_back(std::move(m));
    menuStack_.clear();
    block_ = Block::Menu;
  } else if (keyword == "popupids") {
    MenuPopupIds p;
    p.place = Here();
    if (!Int("a menu identifier", 1, kMaxId, p.menuId) || !LineEnd("the menu identifier")) {
      return false;
    }
    blockName_ = "popupids " + std::to_string(p.menuId);
    set_.popupIds.push_back(std::move(p));
    block_ = Block::PopupIds;
  } else if (keyword == "helptexts") {
    HelpTexts h;
    h.place = Here();
    if (!Int("a menu identifier", 1, kMaxId, h.menuId) || !LineEnd("the menu identifier")) {
      return false;
    }
    blockName_ = "helptexts " + std::to_string(h.menuId);
    set_.helpTexts.push_back(std::move(h));
    block_ = Block::HelpTexts;
  } else if (keyword == "accelerators") {
    AcceleratorTable a;
    a.place = Here();
    if (!Int("a menu identifier", 1, kMaxId, a.id) || !LineEnd("the menu identifier")) {
      return false;
    }
    blockName_ = "accelerators " + std::to_string(a.id);
    set_.accelerators.push_back(std::move(a));
    block_ = Block::Accelerators;
  } else if (keyword == "toolbar") {
    Toolbar t;
    t.place = Here();
    if (!Int("a toolbar identifier", 1, kMaxId, t.id) ||
        !Int("an image width", 1, 64, t.imageWidth) ||
        !Int("an image height", 1, 64, t.imageHeight) || !LineEnd("the image height")) {
      return false;
    }
    blockName_ = "toolbar " + std::to_string(t.id);
    set_.toolbars.push_back(std::move(t));
    block_ = Block::Toolbar;
  } else if (keyword == "icon") {
    ResourceSet::IconRows icon;
    icon.place = Here();
    if (!Word("an icon name", icon.name) || !LineEnd("the icon name")) return false;
    blockName_ = "icon \"" + icon.name + "\"";
    set_.pendingIcons.push_back(std::move(icon));
    block_ = Block::Icon;
  } else if (keyword == "strings" || keyword == "commands" || keyword == "palette") {
    if (!LineEnd(("\"" + keyword + "\"").c_str())) return false;
    blockName_ = keyword;
    block_ = keyword == "strings"    ? Block::Strings
             : keyword == "commands" ? Block::Commands
                                     : Block::Palette;
  } else {
    return Fail("unknown resource keyword \"" + keyword + "\"");
  }
  return true;
}

bool Parser::DialogLine() {
  DialogTemplate& d = set_.dialogs.back();
  const Token& first = tokens_[0];
  std::string keyword = first.kind == Token::Kind::Word ? first.text : "";
  ++pos_;
  auto once = [&](bool& seen) {
    if (seen) return Fail("second \"" + keyword + "\" line in dialog " + std::to_string(d.id));
    seen = true;
    return true;
  };
  if (keyword == "end") {
    if (!LineEnd("\"end\"")) return false;
    if (!sawRect_) {
      line_ = blockLine_;
      return Fail("dialog " + std::to_string(d.id) + " has no \"rect\" line");
    }
    block_ = Block::None;
    return true;
  }
  if (keyword == "caption") {
    return once(sawCaption_) && Text("a caption", d.caption) && LineEnd("the caption");
  }
  if (keyword == "rect") {
    return once(sawRect_) && Int("an x position", -32768, 32767, d.x) &&
           Int("a y position", -32768, 32767, d.y) && Int("a width", 0, 32767, d.width) &&
           Int("a height", 0, 32767, d.height) && LineEnd("the height");
  }
  if (keyword == "font") {
    return once(sawFont_) && Int("a point size", 1, 255, d.fontPoints) &&
           Text("a font face", d.fontFace) && LineEnd("the font face");
  }
  if (keyword == "style") {
    return once(sawStyle_) && Style("a style", d.style) && LineEnd("the style");
  }
  if (keyword == "control") {
    DialogControl c;
    c.place = Here();
    if (!Word("a control class", c.className) || !Int("a field identifier", -1, kMaxId, c.id) ||
        !Int("an x position", -32768, 32767, c.x) || !Int("a y position", -32768, 32767, c.y) ||
        !Int("a width", 0, 32767, c.width) || !Int("a height", 0, 32767, c.height) ||
        !Text("the control text", c.text)) {
      return false;
    }
    if (!AtEnd() && !Style("a style", c.style)) return false;
    if (!LineEnd("the style")) return false;
    d.controls.push_back(std::move(c));
    return true;
  }
  if (keyword == "extras") {
    if (d.hasExtras) return Fail("second \"extras\" in dialog " + std::to_string(d.id));
    if (!LineEnd("\"extras\"")) return false;
    d.hasExtras = true;
    block_ = Block::Extras;
    return true;
  }
  --pos_;
  return Fail("unknown dialog line " + Describe(first));
}

std::vector<MenuItem>& Parser::CurrentMenuItems() {
  return menuStack_.empty() ? set_.menus.back().items : menuStack_.back()->items;
}

bool Parser::MenuLine() {
  const Token& first = tokens_[0];
  std::string keyword = first.kind == Token::Kind::Word ? first.text : "";
  ++pos_;
  if (keyword == "end") {
    if (!LineEnd("\"end\"")) return false;
    if (menuStack_.empty()) {
      block_ = Block::None;
    } else {
      menuStack_.pop_back();
    }
    return true;
  }
  MenuItem item;
  item.place = Here();
  if (keyword == "separator") {
    item.kind = MenuItem::Kind::Separator;
    if (!LineEnd("\"separator\"")) return false;
    CurrentMenuItems().push_back(std::move(item));
    return true;
  }
  if (keyword == "item") {
    item.kind = MenuItem::Kind::Command;
    if (!Int("a command identifier", 1, kMaxId, item.id)) return false;
  } else if (keyword == "popup") {
    item.kind = MenuItem::Kind::Popup;
    if (static_cast<int>(menuStack_.size()) + 1 >= kMaxMenuDepth) {
      return Fail("pop-ups nested deeper than " + std::to_string(kMaxMenuDepth - 1));
    }
  } else {
    --pos_;
    return Fail("unknown menu line " + Describe(first));
  }
  if (!Text("the item text", item.text)) return false;
  while (!AtEnd()) {
    const Token& t = tokens_[pos_];
    if (t.kind == Token::Kind::Word && t.text == "greyed") {
      item.greyed = true;
    } else if (t.kind == Token::Kind::Word && t.text == "checked") {
      item.checked = true;
    } else {
      return Fail("unexpected " + Describe(t) + " after the item text");
    }
    ++pos_;
  }
  std::vector<MenuItem>& items = CurrentMenuItems();
  items.push_back(std::move(item));
  if (items.back().kind == MenuItem::Kind::Popup) menuStack_.push_back(&items.back());
  return true;
}

bool Parser::PopupIdsLine() {
  PopupIdRecord r;
  r.place = Here();
  if (!Int("a command identifier", 1, kMaxId, r.commandId)) return false;
  do {
    int p = 0;
    if (!Int("a position", 1, 255, p)) return false;
    r.path.push_back(p);
  } while (!AtEnd() && r.path.size() < kMaxMenuDepth);
  if (!LineEnd("the positions")) return false;
  set_.popupIds.back().records.push_back(std::move(r));
  return true;
}

bool Parser::HelpTextsLine() {
  HelpText h;
  h.place = Here();
  if (!Int("a command identifier", 1, kMaxId, h.commandId) || !Text("a help text", h.text) ||
      !LineEnd("the help text")) {
    return false;
  }
  HelpTexts& block = set_.helpTexts.back();
  for (const HelpText& other : block.entries) {
    if (other.commandId == h.commandId) {
      return Fail("second help text for " + std::to_string(h.commandId) + " in helptexts " +
                  std::to_string(block.menuId) + " (first at " + PlaceText(other.place) + ")");
    }
  }
  block.entries.push_back(std::move(h));
  return true;
}

bool Parser::AcceleratorsLine() {
  AcceleratorEntry e;
  e.place = Here();
  std::string keys;
  if (!Int("a command identifier", 1, kMaxId, e.commandId) || !Word("a key", keys)) return false;
  // Modifiers joined to the key with "+": "Ctrl+Shift+F2".
  std::string_view rest = keys;
  for (std::size_t plus; (plus = rest.find('+')) != std::string_view::npos && plus + 1 < rest.size();
       rest.remove_prefix(plus + 1)) {
    std::string mod(rest.substr(0, plus));
    for (char& c : mod) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bool& flag = mod == "ctrl" ? e.control : mod == "shift" ? e.shift : e.alt;
    if ((mod != "ctrl" && mod != "shift" && mod != "alt") || flag) {
      --pos_;
      return Fail("\"" + keys + "\": \"" + std::string(rest.substr(0, plus)) +
                  "\" is no modifier (Ctrl, Shift, Alt), or it is given twice");
    }
    flag = true;
  }
  if (!AcceleratorKeyValue(rest, e.key)) {
    --pos_;
    return Fail("\"" + keys + "\": unknown key \"" + std::string(rest) + "\"");
  }
  if (!LineEnd("the key")) return false;
  AcceleratorTable& table = set_.accelerators.back();
  for (const AcceleratorEntry& other : table.entries) {
    if (other.key == e.key && other.control == e.control && other.shift == e.shift &&
        other.alt == e.alt) {
      return Fail("second entry for " + keys + " in accelerators " + std::to_string(table.id) +
                  " (first at " + PlaceText(other.place) + ")");
    }
  }
  table.entries.push_back(std::move(e));
  return true;
}

bool Parser::StringsLine() {
  StringEntry s;
  s.place = Here();
  if (!Int("a string identifier", 1, kMaxId, s.id) || !Text("a string", s.text) ||
      !LineEnd("the string")) {
    return false;
  }
  set_.strings.push_back(std::move(s));
  return true;
}

bool Parser::CommandsLine() {
  CommandEntry c;
  c.place = Here();
  std::string use;
  if (!Int("a command identifier", 1, kMaxId, c.id) || !Word("the command's use", use))
    return false;
  if (use == "command") {
    c.use = CommandUse::Command;
  } else if (use == "popup") {
    c.use = CommandUse::Popup;
  } else if (use == "button") {
    c.use = CommandUse::Button;
  } else if (use == "inert") {
    c.use = CommandUse::Inert;
  } else {
    --pos_;
    return Fail("use must be \"command\", \"popup\", \"button\" or \"inert\", found \"" + use +
                "\"");
  }
  if (!Word("a command name", c.name) || !LineEnd("the command name")) return false;
  set_.commands.push_back(std::move(c));
  return true;
}

bool Parser::PaletteLine() {
  ResourceSet::PaletteEntry e;
  e.place = Here();
  std::string key;
  if (!Word("a colour key", key)) return false;
  if (key.size() != 1) {
    --pos_;
    return Fail("a colour key is one character, found \"" + key + "\"");
  }
  int r = 0, g = 0, b = 0;
  if (!Int("red", 0, 255, r) || !Int("green", 0, 255, g) || !Int("blue", 0, 255, b)) return false;
  if (!LineEnd("blue")) return false;
  e.key = key[0];
  e.rgb = static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
          static_cast<std::uint32_t>(b);
  for (const ResourceSet::PaletteEntry& other : set_.palette) {
    if (other.key == e.key) {
      return Fail("colour key \"" + key + "\" defined twice (first at " + PlaceText(other.place) +
                  ")");
    }
  }
  set_.palette.push_back(std::move(e));
  return true;
}

bool Parser::IconLine() {
  std::string_view row = Trim(raw_);
  if (row.empty()) return true;
  ResourceSet::IconRows& icon = set_.pendingIcons.back();
  if (icon.rows.size() >= 64) return Fail("icon \"" + icon.name + "\" has more than 64 rows");
  if (!icon.rows.empty() && row.size() != icon.rows[0].size()) {
    return Fail("icon row of " + std::to_string(row.size()) + " pixels, the first row has " +
                std::to_string(icon.rows[0].size()));
  }
  if (row.size() > 64) return Fail("icon row longer than 64 pixels");
  icon.rows.emplace_back(row);
  icon.rowLines.push_back(line_);
  return true;
}

bool Parser::ToolbarLine() {
  const Token& first = tokens_[0];
  std::string keyword = first.kind == Token::Kind::Word ? first.text : "";
  ++pos_;
  ToolbarButton b;
  b.place = Here();
  if (keyword == "separator") {
    if (!LineEnd("\"separator\"")) return false;
  } else if (keyword == "button") {
    if (!Int("a command identifier", 1, kMaxId, b.commandId) || !Word("an icon name", b.icon) ||
        !LineEnd("the icon name")) {
      return false;
    }
  } else {
    --pos_;
    return Fail("unknown toolbar line " + Describe(first));
  }
  set_.toolbars.back().buttons.push_back(std::move(b));
  return true;
}

}  // namespace detail

bool AcceleratorKeyValue(std::string_view name, int& key) {
  std::string n(name);
  for (char& c : n) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (n.size() == 1 && ((n[0] >= 'A' && n[0] <= 'Z') || (n[0] >= '0' && n[0] <= '9'))) {
    key = n[0];
    return true;
  }
  if (n.size() >= 2 && n.size() <= 3 && n[0] == 'F' &&
      std::all_of(n.begin() + 1, n.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    const int f = std::stoi(n.substr(1));
    if (f < 1 || f > 24) return false;
    key = 0x70 + f - 1;
    return true;
  }
  struct Named {
    const char* name;
    int key;
  };
  static constexpr Named kNamed[] = {
      {"BACKSPACE", 0x08}, {"TAB", 0x09},   {"ENTER", 0x0D},  {"RETURN", 0x0D}, {"ESC", 0x1B},
      {"ESCAPE", 0x1B},    {"SPACE", 0x20}, {"PGUP", 0x21},   {"PAGEUP", 0x21}, {"PGDN", 0x22},
      {"PAGEDOWN", 0x22},  {"END", 0x23},   {"HOME", 0x24},   {"LEFT", 0x25},   {"UP", 0x26},
      {"RIGHT", 0x27},     {"DOWN", 0x28},  {"INS", 0x2D},    {"INSERT", 0x2D}, {"DEL", 0x2E},
      {"DELETE", 0x2E},
  };
  for (const Named& k : kNamed) {
    if (n == k.name) {
      key = k.key;
      return true;
    }
  }
  return false;
}

bool ParseResourceText(std::string_view file, std::string_view text, ResourceSet& set,
                       ResourceError& error) {
  detail::Parser parser(file, text, set, error);
  return parser.Run();
}

}  // namespace res
