#pragma once
// What the resource files' reader shares between its files: the tokens of a
// line, the parser of the nine kinds of resource, and the helpers the icon
// builder and the checks use.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resources/ResourceFormat.h"

namespace res::detail {

/// "file:line" of a place in a resource file.
std::string PlaceText(const SourcePlace& p);
/// Sets ERROR to MESSAGE at PLACE; returns false.
bool FailAt(ResourceError& error, const SourcePlace& place, const std::string& message);

struct Token {
  enum class Kind { Word, Number, Text, Bar };
  Kind kind = Kind::Word;
  std::string text;        // the word, the number as written, or the decoded text
  std::int64_t value = 0;  // a number's value
};


/// A number as written: decimal, or hexadecimal after "0x"; false when it is
/// neither or too long.
bool ParseNumber(std::string_view s, std::int64_t& out);
bool IsSpace(char c);
std::string_view Trim(std::string_view s);
/// TEXT in double quotes with its quotes, backslashes and control characters escaped.
std::string Quote(std::string_view text);
/// Describes a token for messages.
std::string Describe(const Token& t);

enum class Block {
  None,
  Dialog,
  Extras,
  Menu,
  PopupIds,
  Accelerators,
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
  bool AcceleratorsLine();
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

/// Builds the icons from their text rows, then each toolbar's bitmap from its
/// buttons' icons.
bool MakeIcons(ResourceSet& set, ResourceError& error);
bool MakeToolbarBitmaps(ResourceSet& set, ResourceError& error);

}  // namespace res::detail
