#include "platform/system/Registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/system/Environment.h"
#include "platform/system/File.h"

namespace plat {
namespace {

struct Value {
  std::string name;
  int type = 0;
  std::string data;
};

struct Key {
  std::string path;
  std::vector<Value> values;
};

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string Escape(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c > 0x7e || c == '\\' || c == '=' || c == '[' || c == ']') {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      const int hi = HexDigit(text[i + 2]);
      const int lo = HexDigit(text[i + 3]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 3;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// Reads the whole registry file. A missing file is an empty registry.
int Load(std::vector<Key>& keys) {
  keys.clear();
  const std::string path = RegistryFilePath();
  if (path.empty()) return ENOENT;
  std::ifstream in(path, std::ios::binary);
  if (!in) return errno == ENOENT ? 0 : (errno != 0 ? errno : EIO);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      keys.push_back({Unescape(line.substr(1, line.size() - 2)), {}});
      continue;
    }
    const std::size_t eq = line.find('=');
    const std::size_t colon = eq == std::string::npos ? eq : line.find(':', eq + 1);
    if (keys.empty() || colon == std::string::npos) continue;  // damaged line: skipped
    int type = 0;
    bool digits = colon > eq + 1 && colon - eq <= 10;
    for (std::size_t i = eq + 1; digits && i < colon; ++i) {
      if (line[i] < '0' || line[i] > '9')
        digits = false;
      else
        type = type * 10 + (line[i] - '0');
    }
    if (!digits) continue;
    keys.back().values.push_back(
        {Unescape(line.substr(0, eq)), type, Unescape(line.substr(colon + 1))});
  }
  return in.bad() ? EIO : 0;
}

int Save(const std::vector<Key>& keys) {
  const std::string path = RegistryFilePath();
  if (path.empty()) return ENOENT;
  const std::string folder = path.substr(0, path.find_last_of('/'));
  // Create the folder and its parents as needed.
  for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos == folder.size() || folder[pos] == '/') {
      const std::string part = folder.substr(0, pos);
      if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    }
  }
  std::ostringstream text;
  for (const Key& key : keys) {
    text << '[' << Escape(key.path) << "]\r\n";
    for (const Value& v : key.values)
      text << Escape(v.name) << '=' << v.type << ':' << Escape(v.data) << "\r\n";
  }
  const std::string bytes = text.str();
  plat::ReplaceOptions how;
  how.newMode = 0600;
  how.flush = true;
  return plat::ReplaceFileContents(path, bytes.data(), bytes.size(), how).error;
}

}  // namespace

std::string RegistryFilePath() {
  const std::string folder = UserConfigFolder();
  return folder.empty() ? std::string() : folder + "/registry.ini";
}

int RegistryRead(const std::string& key, const std::string& name, int& type, std::string& data,
                 bool& keyMissing) {
  type = 0;
  data.clear();
  keyMissing = true;
  std::vector<Key> keys;
  if (const int error = Load(keys); error != 0) return error;
  for (const Key& k : keys) {
    if (!SameText(k.path, key)) continue;
    keyMissing = false;
    for (const Value& v : k.values) {
      if (SameText(v.name, name)) {
        type = v.type;
        data = v.data;
        return 0;
      }
    }
  }
  return ENOENT;
}

int RegistryWrite(const std::string& key, const std::string& name, int type,
                  const std::string& data) {
  std::vector<Key> keys;
  if (const int error = Load(keys); error != 0) return error;
  Key* target = nullptr;
  for (Key& k : keys) {
    if (SameText(k.path, key)) target = &k;
  }
  if (target == nullptr) {
    keys.push_back({key, {}});
    target = &keys.back();
  }
  Value* value = nullptr;
  for (Value& v : target->values) {
    if (SameText(v.name, name)) value = &v;
  }
  if (value == nullptr) {
    target->values.push_back({name, type, data});
  } else {
    value->type = type;
    value->data = data;
  }
  return Save(keys);
}

}  // namespace plat
