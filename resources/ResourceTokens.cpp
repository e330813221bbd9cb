// Lines and tokens of the resource files: numbers, quoted texts, words and
// "|", and the parser's reading of them.
#include "resources/ResourceFormat_p.h"

#include <charconv>

namespace res::detail {

std::string PlaceText(const SourcePlace& p) {
  return p.file + ":" + std::to_string(p.line);
}

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

}  // namespace res::detail
