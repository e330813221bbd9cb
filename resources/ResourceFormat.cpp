#include "resources/ResourceFormat.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>

#include "resources/Resources.h"

namespace res {

std::string ResourceError::Text() const {
  if (line > 0) return file + ":" + std::to_string(line) + ": " + message;
  return file + ": " + message;
}

namespace {

std::string PlaceText(const SourcePlace& p) {
  return p.file + ":" + std::to_string(p.line);
}

// ---------------------------------------------------------------------------
// Style names and their values (the standard window-system values, which the
// toolkit's field logic tests bit by bit).

struct StyleName {
  std::string_view name;
  std::uint32_t value;
};

constexpr StyleName kStyleNames[] = {
    // window styles
    {"WS_POPUP", 0x80000000},
    {"WS_CHILD", 0x40000000},
    {"WS_MINIMIZE", 0x20000000},
    {"WS_VISIBLE", 0x10000000},
    {"WS_DISABLED", 0x08000000},
    {"WS_CLIPSIBLINGS", 0x04000000},
    {"WS_CLIPCHILDREN", 0x02000000},
    {"WS_MAXIMIZE", 0x01000000},
    {"WS_CAPTION", 0x00C00000},
    {"WS_BORDER", 0x00800000},
    {"WS_DLGFRAME", 0x00400000},
    {"WS_VSCROLL", 0x00200000},
    {"WS_HSCROLL", 0x00100000},
    {"WS_SYSMENU", 0x00080000},
    {"WS_THICKFRAME", 0x00040000},
    {"WS_GROUP", 0x00020000},
    {"WS_TABSTOP", 0x00010000},
    {"WS_MINIMIZEBOX", 0x00020000},
    {"WS_MAXIMIZEBOX", 0x00010000},
    // dialog styles
    {"DS_ABSALIGN", 0x0001},
    {"DS_SYSMODAL", 0x0002},
    {"DS_3DLOOK", 0x0004},
    {"DS_FIXEDSYS", 0x0008},
    {"DS_NOFAILCREATE", 0x0010},
    {"DS_LOCALEDIT", 0x0020},
    {"DS_SETFONT", 0x0040},
    {"DS_MODALFRAME", 0x0080},
    {"DS_NOIDLEMSG", 0x0100},
    {"DS_SETFOREGROUND", 0x0200},
    {"DS_CONTROL", 0x0400},
    {"DS_CENTER", 0x0800},
    {"DS_CENTERMOUSE", 0x1000},
    {"DS_CONTEXTHELP", 0x2000},
    // push buttons, check boxes, radio buttons, group boxes
    {"BS_PUSHBUTTON", 0x0},
    {"BS_DEFPUSHBUTTON", 0x1},
    {"BS_CHECKBOX", 0x2},
    {"BS_AUTOCHECKBOX", 0x3},
    {"BS_RADIOBUTTON", 0x4},
    {"BS_3STATE", 0x5},
    {"BS_AUTO3STATE", 0x6},
    {"BS_GROUPBOX", 0x7},
    {"BS_AUTORADIOBUTTON", 0x9},
    {"BS_OWNERDRAW", 0xB},
    {"BS_LEFTTEXT", 0x20},
    {"BS_ICON", 0x40},
    {"BS_BITMAP", 0x80},
    {"BS_LEFT", 0x100},
    {"BS_RIGHT", 0x200},
    {"BS_CENTER", 0x300},
    {"BS_TOP", 0x400},
    {"BS_BOTTOM", 0x800},
    {"BS_VCENTER", 0xC00},
    {"BS_PUSHLIKE", 0x1000},
    {"BS_MULTILINE", 0x2000},
    {"BS_NOTIFY", 0x4000},
    {"BS_FLAT", 0x8000},
    // static fields
    {"SS_LEFT", 0x0},
    {"SS_CENTER", 0x1},
    {"SS_RIGHT", 0x2},
    {"SS_ICON", 0x3},
    {"SS_BLACKRECT", 0x4},
    {"SS_GRAYRECT", 0x5},
    {"SS_WHITERECT", 0x6},
    {"SS_BLACKFRAME", 0x7},
    {"SS_GRAYFRAME", 0x8},
    {"SS_WHITEFRAME", 0x9},
    {"SS_SIMPLE", 0xB},
    {"SS_LEFTNOWORDWRAP", 0xC},
    {"SS_BITMAP", 0xE},
    {"SS_ENHMETAFILE", 0xF},
    {"SS_ETCHEDHORZ", 0x10},
    {"SS_ETCHEDVERT", 0x11},
    {"SS_ETCHEDFRAME", 0x12},
    {"SS_NOPREFIX", 0x80},
    {"SS_NOTIFY", 0x100},
    {"SS_CENTERIMAGE", 0x200},
    {"SS_RIGHTJUST", 0x400},
    {"SS_SUNKEN", 0x1000},
    // edit fields (also the numeric classes)
    {"ES_LEFT", 0x0},
    {"ES_CENTER", 0x1},
    {"ES_RIGHT", 0x2},
    {"ES_MULTILINE", 0x4},
    {"ES_UPPERCASE", 0x8},
    {"ES_LOWERCASE", 0x10},
    {"ES_PASSWORD", 0x20},
    {"ES_AUTOVSCROLL", 0x40},
    {"ES_AUTOHSCROLL", 0x80},
    {"ES_NOHIDESEL", 0x100},
    {"ES_READONLY", 0x800},
    {"ES_WANTRETURN", 0x1000},
    {"ES_NUMBER", 0x2000},
    // list boxes
    {"LBS_NOTIFY", 0x1},
    {"LBS_SORT", 0x2},
    {"LBS_NOREDRAW", 0x4},
    {"LBS_MULTIPLESEL", 0x8},
    {"LBS_HASSTRINGS", 0x40},
    {"LBS_USETABSTOPS", 0x80},
    {"LBS_NOINTEGRALHEIGHT", 0x100},
    {"LBS_MULTICOLUMN", 0x200},
    {"LBS_WANTKEYBOARDINPUT", 0x400},
    {"LBS_EXTENDEDSEL", 0x800},
    {"LBS_DISABLENOSCROLL", 0x1000},
    {"LBS_NOSEL", 0x4000},
    // combo boxes
    {"CBS_SIMPLE", 0x1},
    {"CBS_DROPDOWN", 0x2},
    {"CBS_DROPDOWNLIST", 0x3},
    {"CBS_AUTOHSCROLL", 0x40},
    {"CBS_SORT", 0x100},
    {"CBS_HASSTRINGS", 0x200},
    {"CBS_NOINTEGRALHEIGHT", 0x400},
    {"CBS_DISABLENOSCROLL", 0x800},
    {"CBS_UPPERCASE", 0x2000},
    {"CBS_LOWERCASE", 0x4000},
    // scroll bars and size grips
    {"SBS_HORZ", 0x0},
    {"SBS_VERT", 0x1},
    {"SBS_SIZEBOXBOTTOMRIGHTALIGN", 0x4},
    {"SBS_SIZEBOX", 0x8},
    {"SBS_SIZEGRIP", 0x10},
    // trackbars
    {"TBS_AUTOTICKS", 0x1},
    {"TBS_VERT", 0x2},
    {"TBS_HORZ", 0x0},
    {"TBS_TOP", 0x4},
    {"TBS_BOTTOM", 0x0},
    {"TBS_LEFT", 0x4},
    {"TBS_RIGHT", 0x0},
    {"TBS_BOTH", 0x8},
    {"TBS_NOTICKS", 0x10},
    {"TBS_ENABLESELRANGE", 0x20},
    {"TBS_FIXEDLENGTH", 0x40},
    {"TBS_NOTHUMB", 0x80},
    {"TBS_TOOLTIPS", 0x100},
    // up-down controls
    {"UDS_WRAP", 0x1},
    {"UDS_SETBUDDYINT", 0x2},
    {"UDS_ALIGNRIGHT", 0x4},
    {"UDS_ALIGNLEFT", 0x8},
    {"UDS_AUTOBUDDY", 0x10},
    {"UDS_ARROWKEYS", 0x20},
    {"UDS_HORZ", 0x40},
    {"UDS_NOTHOUSANDS", 0x80},
    // progress bars
    {"PBS_SMOOTH", 0x1},
    {"PBS_VERTICAL", 0x4},
    // tab controls
    {"TCS_BUTTONS", 0x100},
    {"TCS_MULTILINE", 0x200},
    {"TCS_FIXEDWIDTH", 0x400},
    {"TCS_TOOLTIPS", 0x4000},
    {"TCS_FOCUSNEVER", 0x8000},
    // tree views
    {"TVS_HASBUTTONS", 0x1},
    {"TVS_HASLINES", 0x2},
    {"TVS_LINESATROOT", 0x4},
    {"TVS_EDITLABELS", 0x8},
    {"TVS_DISABLEDRAGDROP", 0x10},
    {"TVS_SHOWSELALWAYS", 0x20},
};

// ---------------------------------------------------------------------------
// Lines and tokens

struct Token {
  enum class Kind { Word, Number, Text, Bar };
  Kind kind = Kind::Word;
  std::string text;        // the word, the number as written, or the decoded text
  std::int64_t value = 0;  // a number's value
};

bool ParseNumber(std::string_view s, std::int64_t& out) {
  bool negative = false;
  std::string_view digits = s;
  int base = 10;
  if (!digits.empty() && digits[0] == '-') {
    negative = true;
    digits.remove_prefix(1);
  }
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    if (negative) return false;
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty() || digits.size() > 12) return false;
  std::int64_t v = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) return false;
  out = negative ? -v : v;
  return true;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

// Describes a token for messages.
std::string Describe(const Token& t) {
  switch (t.kind) {
    case Token::Kind::Text:
      return Quote(t.text);
    case Token::Kind::Bar:
      return "\"|\"";
    default:
      return "\"" + t.text + "\"";
  }
}

enum class Block {
  None,
  Dialog,
  Extras,
  Menu,
  PopupIds,
  HelpTexts,
  Strings,
  Commands,
  Palette,
  Icon,
  Toolbar
};

class Parser {
 public:
  Parser(std::string_view file, std::string_view text, ResourceSet& set, ResourceError& error)
      : file_(file), text_(text), set_(set), error_(error) {}

  bool Run();

 private:
  // Line handling
  bool NextLine();
  bool Tokenize();
  bool Fail(const std::string& message) {
    error_.file = std::string(file_);
    error_.line = line_;
    error_.message = message;
    return false;
  }
  SourcePlace Here() const { return {std::string(file_), line_}; }

  // Token access within the current line
  bool AtEnd() const { return pos_ >= tokens_.size(); }
  const Token* Peek() const { return AtEnd() ? nullptr : &tokens_[pos_]; }
  bool Int(const char* what, std::int64_t lo, std::int64_t hi, int& out);
  bool Text(const char* what, std::string& out);
  bool Word(const char* what, std::string& out);
  bool Style(const char* what, std::uint32_t& out);
  bool LineEnd(const char* after);
  bool IsKeyword(std::string_view word) const {
    return !AtEnd() && tokens_[pos_].kind == Token::Kind::Word && tokens_[pos_].text == word;
  }

  // Blocks
  bool TopLevel();
  bool DialogLine();
  bool MenuLine();
  bool PopupIdsLine();
  bool HelpTextsLine();
  bool StringsLine();
  bool CommandsLine();
  bool PaletteLine();
  bool IconLine();
  bool ToolbarLine();

  std::vector<MenuItem>& CurrentMenuItems();

  std::string_view file_;
  std::string_view text_;
  ResourceSet& set_;
  ResourceError& error_;

  std::size_t offset_ = 0;
  int line_ = 0;
  std::string_view raw_;  // the current line without its end
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;

  Block block_ = Block::None;
  int blockLine_ = 0;
  std::string blockName_;             // "menu 30001", for the missing "end" message
  std::vector<MenuItem*> menuStack_;  // open pop-ups of the menu being read
  bool sawCaption_ = false, sawRect_ = false, sawFont_ = false, sawStyle_ = false;
};

constexpr int kMaxMenuDepth = 8;

bool Parser::NextLine() {
  if (offset_ >= text_.size()) return false;
  std::size_t end = text_.find('\n', offset_);
  if (end == std::string_view::npos) end = text_.size();
  raw_ = text_.substr(offset_, end - offset_);
  if (!raw_.empty() && raw_.back() == '\r') raw_.remove_suffix(1);
  offset_ = end + 1;
  ++line_;
  return true;
}

bool Parser::Tokenize() {
  tokens_.clear();
  pos_ = 0;
  std::size_t i = 0;
  const std::string_view s = raw_;
  while (i < s.size()) {
    char c = s[i];
    if (IsSpace(c)) {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '|') {
      tokens_.push_back({Token::Kind::Bar, "|", 0});
      ++i;
    } else if (c == '"') {
      Token t{Token::Kind::Text, "", 0};
      ++i;
      bool closed = false;
      while (i < s.size()) {
        char d = s[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d != '\\') {
          t.text += d;
          continue;
        }
        if (i >= s.size()) break;
        char e = s[i++];
        switch (e) {
          case '"':
            t.text += '"';
            break;
          case '\\':
            t.text += '\\';
            break;
          case 't':
            t.text += '\t';
            break;
          case 'n':
            t.text += '\n';
            break;
          case 'r':
            t.text += '\r';
            break;
          default:
            return Fail(std::string("unknown escape \"\\") + e + "\" in text");
        }
      }
      if (!closed) return Fail("text not closed by \"");
      tokens_.push_back(std::move(t));
    } else {
      std::size_t start = i;
      while (i < s.size() && !IsSpace(s[i]) && s[i] != '"' && s[i] != '|' && s[i] != '#') ++i;
      Token t{Token::Kind::Word, std::string(s.substr(start, i - start)), 0};
      if (ParseNumber(t.text, t.value)) t.kind = Token::Kind::Number;
      tokens_.push_back(std::move(t));
    }
  }
  return true;
}

bool Parser::Int(const char* what, std::int64_t lo, std::int64_t hi, int& out) {
  const Token* t = Peek();
  if (!t || t->kind != Token::Kind::Number) {
    return Fail(std::string("expected ") + what + (t ? ", found " + Describe(*t) : ""));
  }
  if (t->value < lo || t->value > hi) {
    return Fail(std::string("expected ") + what + " from " + std::to_string(lo) + " to " +
                std::to_string(hi) + ", found " + t->text);
  }
  out = static_cast<int>(t->value);
  ++pos_;
  return true;
}

bool Parser::Text(const char* what, std::string& out) {
  const Token* t = Peek();
  if (!t || t->kind != Token::Kind::Text) {
    return Fail(std::string("expected ") + what + " in double quotes" +
                (t ? ", found " + Describe(*t) : ""));
  }
  out = t->text;
  ++pos_;
  return true;
}

bool Parser::Word(const char* what, std::string& out) {
  const Token* t = Peek();
  if (!t || t->kind == Token::Kind::Text || t->kind == Token::Kind::Bar) {
    return Fail(std::string("expected ") + what + (t ? ", found " + Describe(*t) : ""));
  }
  out = t->text;
  ++pos_;
  return true;
}

// One or more style names or numbers joined by "|".
bool Parser::Style(const char* what, std::uint32_t& out) {
  out = 0;
  for (;;) {
    const Token* t = Peek();
    if (!t || t->kind == Token::Kind::Text || t->kind == Token::Kind::Bar) {
      return Fail(std::string("expected ") + what + (t ? ", found " + Describe(*t) : ""));
    }
    std::uint32_t v = 0;
    if (t->kind == Token::Kind::Number) {
      if (t->value < 0 || t->value > 0xFFFFFFFFLL) {
        return Fail(std::string("expected ") + what + " from 0 to 0xFFFFFFFF, found " + t->text);
      }
      v = static_cast<std::uint32_t>(t->value);
    } else if (!StyleValue(t->text, v)) {
      return Fail("unknown style \"" + t->text + "\"");
    }
    out |= v;
    ++pos_;
    if (AtEnd() || tokens_[pos_].kind != Token::Kind::Bar) return true;
    ++pos_;
  }
}

bool Parser::LineEnd(const char* after) {
  if (AtEnd()) return true;
  return Fail("unexpected " + Describe(tokens_[pos_]) + " after " + after);
}

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

// ---------------------------------------------------------------------------
// Finishing: bitmaps and uniqueness

bool FailAt(ResourceError& error, const SourcePlace& place, const std::string& message) {
  error.file = place.file;
  error.line = place.line;
  error.message = message;
  return false;
}

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

bool MakeIcons(ResourceSet& set, ResourceError& error) {
  for (const ResourceSet::IconRows& rows : set.pendingIcons) {
    for (const Icon& other : set.icons) {
      if (other.name == rows.name) {
        return FailAt(
            error, rows.place,
            "icon \"" + rows.name + "\" defined twice (first at " + PlaceText(other.place) + ")");
      }
    }
    if (rows.rows.empty()) return FailAt(error, rows.place, "icon \"" + rows.name + "\" is empty");
    Icon icon;
    icon.name = rows.name;
    icon.place = rows.place;
    icon.image.width = static_cast<int>(rows.rows[0].size());
    icon.image.height = static_cast<int>(rows.rows.size());
    for (std::size_t y = 0; y < rows.rows.size(); ++y) {
      for (char c : rows.rows[y]) {
        auto colour = std::find_if(set.palette.begin(), set.palette.end(),
                                   [c](const ResourceSet::PaletteEntry& e) { return e.key == c; });
        if (colour == set.palette.end()) {
          return FailAt(error, {rows.place.file, rows.rowLines[y]},
                        std::string("icon \"") + rows.name + "\": colour key \"" + c +
                            "\" is not in the palette");
        }
        icon.image.pixels.push_back(colour->rgb);
      }
    }
    set.icons.push_back(std::move(icon));
  }
  set.pendingIcons.clear();
  return true;
}

bool MakeToolbarBitmaps(ResourceSet& set, ResourceError& error) {
  for (Toolbar& bar : set.toolbars) {
    std::vector<const Icon*> images;
    for (const ToolbarButton& b : bar.buttons) {
      if (b.commandId == 0) continue;
      const Icon* icon = set.FindIcon(b.icon);
      if (!icon) return FailAt(error, b.place, "no icon \"" + b.icon + "\"");
      if (icon->image.width != bar.imageWidth || icon->image.height != bar.imageHeight) {
        return FailAt(error, b.place,
                      "icon \"" + b.icon + "\" is " + std::to_string(icon->image.width) + " x " +
                          std::to_string(icon->image.height) + ", toolbar " +
                          std::to_string(bar.id) + " needs " + std::to_string(bar.imageWidth) +
                          " x " + std::to_string(bar.imageHeight));
      }
      images.push_back(icon);
    }
    Bitmap& bmp = bar.bitmap;
    bmp.width = bar.imageWidth * static_cast<int>(images.size());
    bmp.height = bar.imageHeight;
    bmp.pixels.assign(static_cast<std::size_t>(bmp.width) * bmp.height, kButtonFace);
    for (std::size_t i = 0; i < images.size(); ++i) {
      for (int y = 0; y < bar.imageHeight; ++y) {
        for (int x = 0; x < bar.imageWidth; ++x) {
          bmp.pixels[static_cast<std::size_t>(y) * bmp.width + i * bar.imageWidth + x] =
              images[i]->image.At(x, y);
        }
      }
    }
  }
  return true;
}

}  // namespace

bool StyleValue(std::string_view name, std::uint32_t& value) {
  for (const StyleName& s : kStyleNames) {
    if (s.name == name) {
      value = s.value;
      return true;
    }
  }
  return false;
}

std::string FormatDialog(const DialogTemplate& d) {
  auto hex = [](std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return std::string(buf);
  };
  std::string out =
      "dialog " + std::to_string(d.id) + (d.kind == DialogKind::Child ? " child\n" : " popup\n");
  out += "  caption " + Quote(d.caption) + "\n";
  out += "  rect " + std::to_string(d.x) + " " + std::to_string(d.y) + " " +
         std::to_string(d.width) + " " + std::to_string(d.height) + "\n";
  if (d.fontPoints > 0)
    out += "  font " + std::to_string(d.fontPoints) + " " + Quote(d.fontFace) + "\n";
  out += "  style " + hex(d.style) + "\n";
  for (const DialogControl& c : d.controls) {
    out += "  control " + c.className + " " + std::to_string(c.id) + " " + std::to_string(c.x) +
           " " + std::to_string(c.y) + " " + std::to_string(c.width) + " " +
           std::to_string(c.height) + " " + Quote(c.text) + " " + hex(c.style) + "\n";
  }
  if (d.hasExtras) {
    out += "  extras\n" + d.extras;
    if (!d.extras.empty() && d.extras.back() != '\n') out += '\n';
    out += "  end\n";
  }
  return out + "end\n";
}

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
const CommandEntry* ResourceSet::FindCommand(int id) const {
  return FindIn(commands, [id](const CommandEntry& c) { return c.id == id; });
}

bool ParseResourceText(std::string_view file, std::string_view text, ResourceSet& set,
                       ResourceError& error) {
  Parser parser(file, text, set, error);
  return parser.Run();
}

bool FinishResourceSet(ResourceSet& set, ResourceError& error) {
  return MakeIcons(set, error) && MakeToolbarBitmaps(set, error) &&
         Unique(
             set.dialogs, [](const DialogTemplate& d) { return d.id; }, "dialog", error) &&
         Unique(
             set.menus, [](const Menu& m) { return m.id; }, "menu", error) &&
         Unique(
             set.popupIds, [](const MenuPopupIds& p) { return p.menuId; }, "popupids", error) &&
         Unique(
             set.helpTexts, [](const HelpTexts& h) { return h.menuId; }, "helptexts", error) &&
         Unique(
             set.toolbars, [](const Toolbar& t) { return t.id; }, "toolbar", error) &&
         Unique(
             set.strings, [](const StringEntry& s) { return s.id; }, "string", error) &&
         Unique(
             set.commands, [](const CommandEntry& c) { return c.id; }, "command", error);
}

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
