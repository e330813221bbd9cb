#include "platform/system/Clipboard.h"

#include <map>
#include <mutex>

#include "platform/backend/Backend.h"
#include "platform/window/Window.h"

namespace plat {
namespace {

struct Store {
  std::mutex lock;
  std::map<unsigned, std::vector<std::uint8_t>> formats;
  std::map<std::string, unsigned, std::less<>> privateFormats;
};

Store& TheStore() {
  static Store store;
  return store;
}

// Offers the held text (empty when none) to the display's clipboard.
void Publish(Store& s) {
  Backend* backend = GetBackend();
  if (backend == nullptr) return;
  auto it = s.formats.find(kClipText);
  const std::string text =
      it == s.formats.end() ? std::string() : std::string(it->second.begin(), it->second.end());
  backend->ClaimClipboard(ClipTextToUtf8(text));
}

// When another program took the display's clipboard, what this program held
// is no longer the clipboard's: drop it.
void ForgetIfTaken(Store& s) {
  Backend* backend = GetBackend();
  if (backend != nullptr && !backend->ClipboardIsOurs()) s.formats.clear();
}

// Text another program holds on the display's clipboard.
std::optional<std::string> ForeignText() {
  Backend* backend = GetBackend();
  if (backend == nullptr || backend->ClipboardIsOurs()) return std::nullopt;
  std::optional<std::string> utf8 = backend->ForeignClipboardText();
  if (!utf8) return std::nullopt;
  return Utf8ToClipText(*utf8);
}

}  // namespace

unsigned ClipboardRegisterFormat(std::string_view name) {
  if (name.empty()) return 0;
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  auto it = s.privateFormats.find(name);
  if (it != s.privateFormats.end()) return it->second;
  const unsigned number = kClipFirstPrivate + static_cast<unsigned>(s.privateFormats.size());
  s.privateFormats.emplace(std::string(name), number);
  return number;
}

void ClipboardEmpty() {
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  s.formats.clear();
  Publish(s);
}

bool ClipboardSetData(unsigned format, std::vector<std::uint8_t> bytes) {
  if (format == 0) return false;
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  ForgetIfTaken(s);
  s.formats[format] = std::move(bytes);
  Publish(s);
  return true;
}

bool ClipboardHasFormat(unsigned format) {
  Store& s = TheStore();
  {
    std::lock_guard<std::mutex> hold(s.lock);
    ForgetIfTaken(s);
    if (s.formats.count(format) != 0) return true;
  }
  return format == kClipText && ForeignText().has_value();
}

std::optional<std::vector<std::uint8_t>> ClipboardData(unsigned format) {
  Store& s = TheStore();
  {
    std::lock_guard<std::mutex> hold(s.lock);
    ForgetIfTaken(s);
    auto it = s.formats.find(format);
    if (it != s.formats.end()) return it->second;
  }
  if (format != kClipText) return std::nullopt;
  std::optional<std::string> text = ForeignText();
  if (!text) return std::nullopt;
  return std::vector<std::uint8_t>(text->begin(), text->end());
}

bool ClipboardSetText(std::string_view text) {
  Store& s = TheStore();
  std::lock_guard<std::mutex> hold(s.lock);
  s.formats.clear();
  s.formats[kClipText] = std::vector<std::uint8_t>(text.begin(), text.end());
  Publish(s);
  return true;
}

std::optional<std::string> ClipboardText() {
  std::optional<std::vector<std::uint8_t>> bytes = ClipboardData(kClipText);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

std::string ClipTextToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Utf8ToClipText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    std::uint32_t code = '?';
    std::size_t length = 1;
    if (c < 0x80) {
      code = c;
    } else if ((c & 0xE0) == 0xC0) {
      length = 2;
    } else if ((c & 0xF0) == 0xE0) {
      length = 3;
    } else if ((c & 0xF8) == 0xF0) {
      length = 4;
    }
    if (length > 1) {
      // A sequence cut short or with a bad continuation byte stands as one "?".
      bool whole = i + length <= utf8.size();
      for (std::size_t k = 1; whole && k < length; ++k)
        whole = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
      if (!whole) {
        length = 1;
      } else {
        code = c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
          code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if (code > 0xFF) code = '?';
      }
    }
    i += length;
    if (code == 0) continue;  // the clipboard's text holds no NUL
    if (code == '\n' && (out.empty() || out.back() != '\r')) out += '\r';
    out += static_cast<char>(code);
  }
  return out;
}

}  // namespace plat
