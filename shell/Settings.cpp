#include "shell/Settings.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "support/Logical.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

namespace fs = std::filesystem;

// Only this many characters of a line are searched for a key, and a value is
// the first word after the key, at most this long.
constexpr std::size_t kLineChars = 80;
constexpr std::size_t kWordChars = 20;
// A settings file is small; anything beyond this is not ours to read.
constexpr std::size_t kMaxFileBytes = 1 << 20;
// Nine significant digits read back as the same 32-bit real.
constexpr int kMaxRealDigits = 8;
constexpr std::string_view kWideIntegerFormat = "(I11)";

// ---------------------------------------------------------------------------
// The keys, in the order they are written.

enum class Kind {
  Section,       // a section line, no value
  Integer,       // 32-bit integer
  Real,          // 32-bit real
  Logical,       // T or F
  LogicalAsInt,  // a logical kept as the integer -1 or 0
  DeadText,      // the 8-character dead-trace text, blanks kept
  RealPair,      // two reals separated by ", " (a comma or blanks on reading)
};

struct Key {
  std::string_view key;  // with its "=", or the section line
  Kind kind;
  std::string_view format;  // edit descriptor of the written value
  void* target;             // int32_t, float, bool, FixedString<8> or float[2]
};

// The "[Windows]" chain: every key in this order, each on the line after the
// one before.
struct WindowGroup {
  std::string_view prefix;
  WindowPlacement* place;
  bool positionOnly;
};

std::vector<WindowGroup> WindowGroups(SettingsValues& v) {
  return {{"Dialog", &v.filterDialog, true},          {"Window", &v.mainWindow, false},
          {"Ref Window", &v.refractionWindow, false}, {"WSpect", &v.filterSpectrumWindow, false},
          {"WOutpt", &v.filterOutputWindow, false},   {"WImpls", &v.filterImpulseWindow, false},
          {"WInput", &v.filterInputWindow, false},    {"NMO", &v.nmoDialog, true},
          {"WSpectrum", &v.spectrumWindow, false},    {"WWave", &v.waveletWindow, false}};
}

struct ChainKey {
  std::string key;
  std::int32_t* target;
};

std::vector<ChainKey> WindowChain(SettingsValues& v) {
  std::vector<ChainKey> chain;
  for (const WindowGroup& g : WindowGroups(v)) {
    const std::string p(g.prefix);
    chain.push_back({p + " X=", &g.place->x});
    chain.push_back({p + " Y=", &g.place->y});
    if (g.positionOnly) continue;
    chain.push_back({p + " W=", &g.place->width});
    chain.push_back({p + " H=", &g.place->height});
    chain.push_back({p + " State=", &g.place->state});
  }
  return chain;
}

// The keys after "[Windows]", found on any line in any order when reading.
std::vector<Key> OrdinaryKeys(TraceDisplayOptions& o, SettingsValues& v) {
  PickExportOptions& p = v.pickExport;
  BandpassSettings& b = v.bandpass;
  FkFilterSettings& f = v.fkFilter;
  return {
      {"[Flags]", Kind::Section, {}, nullptr},
      {"LZOOM=", Kind::Logical, "(L1)", &v.LZOOM},
      {"IMERGE=", Kind::Integer, "(I2)", &v.IMERGE},
      {"IPICKOUT=", Kind::Integer, "(I2)", &p.IPICKOUT},
      {"IDEADOUT=", Kind::Integer, "(I2)", &p.IDEADOUT},
      {"CDEADOUT=", Kind::DeadText, "(A8)", &p.CDEADOUT},
      {"IPOSOUT=", Kind::Integer, "(I2)", &p.IPOSOUT},
      {"CSValue=", Kind::Logical, "(L1)", &p.CSValue},
      {"Remove Delay=", Kind::LogicalAsInt, "(I5)", &v.LREMOVEDELAY},
      {"[Properties]", Kind::Section, {}, nullptr},
      {"Trace Clip=", Kind::Real, "(F5.1)", &o.TRACECLIP},
      {"Trace Overlap=", Kind::Real, "(F5.1)", &o.TRACEWIDTH},
      {"AGC Length=", Kind::Real, "(F5.2)", &o.AGCFRAC},
      {"Gain Method=", Kind::Integer, "(I5)", &o.IGAINMETHOD},
      {"Time Lines=", Kind::Integer, "(I5)", &o.ITIMELINES},
      {"Vertical Display=", Kind::Logical, "(L1)", &o.LVERTICAL},
      {"Variable Area=", Kind::Logical, "(L1)", &o.LVARAREA},
      {"Plot Picks=", Kind::Logical, "(L1)", &o.LPLOTPICKS},
      {"Trace Position=", Kind::Logical, "(L1)", &o.LGEOPOS},
      {"Pixel Size=", Kind::Real, "(F5.3)", &o.PIXELSIZE},
      {"[ASCII File]", Kind::Section, {}, nullptr},
      {"ILABEL=", Kind::Integer, "(I5)", &v.asciiExport.ILABEL},
      {"LTIMES=", Kind::Logical, "(L1)", &v.asciiExport.LTIMES},
      {"LPOSITS=", Kind::Logical, "(L1)", &v.asciiExport.LPOSITS},
      {"[Filters]", Kind::Section, {}, nullptr},
      {"Freq1=", Kind::Real, "(F10.6)", &b.Freq1},
      {"Freq2=", Kind::Real, "(F10.6)", &b.Freq2},
      {"Freq3=", Kind::Real, "(F10.6)", &b.Freq3},
      {"Freq4=", Kind::Real, "(F10.6)", &b.Freq4},
      {"Freq5=", Kind::Real, "(F10.6)", &b.Freq5},
      {"Freq6=", Kind::Real, "(F10.6)", &b.Freq6},
      {"Freq7=", Kind::Real, "(F10.6)", &b.Freq7},
      {"Freq8=", Kind::Real, "(F10.6)", &b.Freq8},
      {"FSmooth=", Kind::Real, "(F10.6)", &b.FSmooth},
      {"Velocity=", Kind::RealPair, "(F10.1)", f.Velocity.data()},
      {"Widths=", Kind::RealPair, "(F10.2)", f.Widths.data()},
      {"Enhance=", Kind::RealPair, "(F10.6)", f.Enhance.data()},
      {"VSmooth=", Kind::Real, "(F10.6)", &f.VSmooth},
  };
}

// ---------------------------------------------------------------------------
// Reading values.

bool Contains(std::string_view line, std::string_view key) {
  return line.substr(0, kLineChars).find(key) != std::string_view::npos;
}

// The first blank-delimited word of TEXT, at most kWordChars long.
std::string_view FirstWord(std::string_view text, std::size_t* end = nullptr) {
  std::size_t b = 0;
  while (b < text.size() && text[b] == ' ') ++b;
  std::size_t e = b;
  while (e < text.size() && text[e] != ' ') ++e;
  if (end) *end = e;
  return text.substr(b, std::min(e - b, kWordChars));
}

[[nodiscard]] bool ParseInteger(std::string_view word, std::int32_t& out) {
  word = word.substr(0, 10);
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  if (word.empty()) return false;
  std::int32_t value = 0;
  const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || ptr != word.data() + word.size()) return false;
  out = value;
  return true;
}

[[nodiscard]] bool ParseReal(std::string_view word, float& out) {
  if (word.empty()) return false;
  double value = 0.0;
  int valid = 0;
  tk::ParseDoubleChecked(value, valid, word);
  if (valid == 0) return false;
  out = static_cast<float>(value);
  return true;
}

[[nodiscard]] bool ParseLogical(std::string_view word, bool& out) {
  if (word.empty()) return false;
  switch (word.front()) {
    case 'T':
    case 't':
      out = true;
      return true;
    case 'F':
    case 'f':
      out = false;
      return true;
    default:
      return false;
  }
}

// Takes the value of KEY from LINE (the value starts as many characters into
// the line as the key is long). False when it cannot be read.
[[nodiscard]] bool TakeValue(const Key& k, std::string_view line) {
  const std::string_view head = line.substr(0, kLineChars);
  const std::string_view rest = head.substr(std::min(k.key.size(), head.size()));
  switch (k.kind) {
    case Kind::Section:
      return true;
    case Kind::Integer:
      return ParseInteger(FirstWord(rest), *static_cast<std::int32_t*>(k.target));
    case Kind::Real:
      return ParseReal(FirstWord(rest), *static_cast<float*>(k.target));
    case Kind::Logical:
      return ParseLogical(FirstWord(rest), *static_cast<bool*>(k.target));
    case Kind::LogicalAsInt: {
      std::int32_t value = 0;
      if (!ParseInteger(FirstWord(rest), value)) return false;
      *static_cast<bool*>(k.target) = sup::FromLogical32(value);
      return true;
    }
    case Kind::DeadText:
      // The text is the eight characters after the key, leading blanks kept.
      *static_cast<sup::FixedString<8>*>(k.target) = rest.substr(0, 8);
      return true;
    case Kind::RealPair: {
      std::string spaced(rest);
      std::replace(spaced.begin(), spaced.end(), ',', ' ');
      std::size_t end = 0;
      float first = 0.0f, second = 0.0f;
      if (!ParseReal(FirstWord(spaced, &end), first)) return false;
      if (!ParseReal(FirstWord(std::string_view(spaced).substr(end)), second)) return false;
      static_cast<float*>(k.target)[0] = first;
      static_cast<float*>(k.target)[1] = second;
      return true;
    }
  }
  return false;
}

// Lines of the file: split at LF, a CR before it dropped.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t lf = text.find('\n', start);
    const bool last = lf == std::string::npos;
    if (last) lf = text.size();
    std::size_t end = lf;
    if (end > start && text[end - 1] == '\r') --end;
    lines.emplace_back(text, start, end - start);
    start = lf + 1;
  }
  return lines;
}

[[nodiscard]] bool ReadWholeFile(const fs::path& path, std::string& text) {
  int handle = -1;
  if (plat::FileOpen(path.string(), plat::FileAccess::Read, handle) != 0) return false;
  text.clear();
  char buffer[4096];
  bool ok = true;
  while (text.size() < kMaxFileBytes) {
    std::size_t moved = 0;
    if (plat::FileRead(handle, buffer, sizeof buffer, moved) != 0) {
      ok = false;
      break;
    }
    if (moved == 0) break;
    text.append(buffer, moved);
  }
  plat::FileClose(handle);
  return ok;
}

// Reads the lines into the settings, stopping at the end or at the first
// value that cannot be read.
void ReadSettings(const std::vector<std::string>& lines, TraceDisplayOptions& opts,
                  SettingsValues& values, const SettingsEnvironment& env) {
  const std::vector<Key> keys = OrdinaryKeys(opts, values);
  const std::vector<ChainKey> chain = WindowChain(values);
  // The last three wavelet-window keys must follow or the reading ends.
  const std::size_t firstRequired = chain.size() - 3;

  std::size_t next = 0;
  std::string line;
  const auto readLine = [&]() {
    if (next >= lines.size()) return false;
    line = lines[next++];
    return true;
  };

  if (!readLine()) return;
  for (;;) {
    if (Contains(line, "[Directories]")) {
      if (!readLine()) return;
      if (Contains(line, "LastDir=")) {
        // The whole rest of the line, however long the path.
        std::string folder = line.size() > 8 ? line.substr(8) : std::string();
        folder.resize(plat::TrimRight(folder).size());
        if (!folder.empty() && env.changeDirectory) (void)env.changeDirectory(folder);
        if (!readLine()) return;
      }
      continue;  // examine the line afresh
    }
    if (Contains(line, "[Windows]")) {
      if (!readLine()) return;
      for (std::size_t i = 0; i < chain.size(); ++i) {
        if (!Contains(line, chain[i].key)) {
          if (i >= firstRequired) return;
          break;  // the chain stops; this line is examined afresh
        }
        const std::string_view head = std::string_view(line).substr(0, kLineChars);
        const std::string_view rest = head.substr(std::min(chain[i].key.size(), head.size()));
        if (!ParseInteger(FirstWord(rest), *chain[i].target)) return;
        if (!readLine()) return;
      }
      continue;
    }
    for (const Key& k : keys) {
      if (k.kind == Kind::Section || !Contains(line, k.key)) continue;
      if (!TakeValue(k, line)) return;
    }
    if (!readLine()) return;
  }
}

// ---------------------------------------------------------------------------
// Writing values.

bool ReadsBackAs(const std::string& text, float value) {
  float back = 0.0f;
  return ParseReal(FirstWord(text), back) && back == value;
}

// Writes VALUE with FORMAT when that reads back as the same value, else in
// exponent form with the fewest digits that do, so no setting is lost.
std::string RealText(float value, std::string_view format) {
  std::string text = tk::FormatRealField(value, format);
  if (ReadsBackAs(text, value)) return text;
  for (int digits = 1; digits <= kMaxRealDigits; ++digits) {
    const std::string exact =
        "(1PE" + std::to_string(digits + 7) + "." + std::to_string(digits) + ")";
    text = tk::FormatRealField(value, exact);
    if (ReadsBackAs(text, value) || digits == kMaxRealDigits) break;
  }
  return text;
}

std::string IntegerText(std::int32_t value, std::string_view format) {
  std::string text = tk::FormatIntegerField(value, format);
  if (text.empty() || text.find('*') != std::string::npos)
    text = tk::FormatIntegerField(value, kWideIntegerFormat);
  return text;
}

bool Writable(const Key& k) {
  if (k.kind == Kind::Real) return std::isfinite(*static_cast<const float*>(k.target));
  if (k.kind == Kind::RealPair) {
    const auto* pair = static_cast<const float*>(k.target);
    return std::isfinite(pair[0]) && std::isfinite(pair[1]);
  }
  return true;
}

std::string ValueText(const Key& k) {
  switch (k.kind) {
    case Kind::Section:
      return {};
    case Kind::Integer:
      return IntegerText(*static_cast<const std::int32_t*>(k.target), k.format);
    case Kind::Real:
      return RealText(*static_cast<const float*>(k.target), k.format);
    case Kind::Logical:
      return *static_cast<const bool*>(k.target) ? "T" : "F";
    case Kind::LogicalAsInt:
      return IntegerText(sup::ToLogical32(*static_cast<const bool*>(k.target)), k.format);
    case Kind::DeadText:
      return std::string(static_cast<const sup::FixedString<8>*>(k.target)->View());
    case Kind::RealPair: {
      const auto* pair = static_cast<const float*>(k.target);
      return RealText(pair[0], k.format) + ", " + RealText(pair[1], k.format);
    }
  }
  return {};
}

std::string SettingsText(const TraceDisplayOptions& opts, const SettingsValues& values,
                         const std::string& currentDir) {
  // The key tables bind to modifiable settings; writing works on copies.
  TraceDisplayOptions o = opts;
  SettingsValues v = values;
  std::string out;
  const auto line = [&out](std::string_view a, std::string_view b = {}) {
    out.append(a);
    out.append(b);
    out.append("\r\n");
  };
  line("[Directories]");
  if (!currentDir.empty()) line("LastDir=", currentDir);
  line("[Windows]");
  for (const ChainKey& c : WindowChain(v)) line(c.key, IntegerText(*c.target, "(I5)"));
  for (const Key& k : OrdinaryKeys(o, v)) {
    // A real that is not a number cannot be read back, and an unreadable value
    // would end the reading of every later key: such a key is left out, so it
    // keeps its load-time value next time.
    if (!Writable(k)) continue;
    line(k.key, ValueText(k));
  }
  return out;
}

std::string ProcessDirectory() {
  std::error_code ec;
  const fs::path p = fs::current_path(ec);
  return ec ? std::string() : p.string();
}

bool ChangeProcessDirectory(const std::string& folder) {
  std::error_code ec;
  fs::current_path(folder, ec);
  return !ec;
}

}  // namespace

SettingsValues DefaultSettings(std::int32_t screenWidth, std::int32_t screenHeight) {
  SettingsValues v;
  const double w = screenWidth, h = screenHeight;
  const std::int32_t x = tk::NearestInt(0.05 * w);
  v.mainWindow = {x, -1, tk::NearestInt(0.6 * w), tk::NearestInt(0.6 * h), 1};
  v.refractionWindow = {x, -1, tk::NearestInt(0.4 * w), tk::NearestInt(0.4 * h), 1};
  // The wavelet window shares the refraction window's place: clear of the
  // main window's menus at the top left of the screen.
  v.waveletWindow = v.refractionWindow;
  return v;
}

void KeepPlacementsOnScreen(SettingsValues& VALUES, std::int32_t screenWidth,
                            std::int32_t screenHeight) {
  const SettingsValues defaults = DefaultSettings(screenWidth, screenHeight);
  constexpr WindowPlacement SettingsValues::*kPlaces[] = {
      &SettingsValues::filterDialog,        &SettingsValues::mainWindow,
      &SettingsValues::refractionWindow,    &SettingsValues::filterSpectrumWindow,
      &SettingsValues::filterOutputWindow,  &SettingsValues::filterImpulseWindow,
      &SettingsValues::filterInputWindow,   &SettingsValues::nmoDialog,
      &SettingsValues::spectrumWindow,      &SettingsValues::waveletWindow};
  for (const auto member : kPlaces) {
    WindowPlacement& p = VALUES.*member;
    const WindowPlacement& d = defaults.*member;
    if (p.x >= screenWidth || p.y >= screenHeight) {
      p.x = d.x;
      p.y = d.y;
    }
    // Places that keep x and y only (a size of 0 by default) ignore the size.
    const bool sized = d.width > 0 || d.height > 0;
    if (sized && (p.width <= 0 || p.height <= 0 || p.width > screenWidth ||
                  p.height > screenHeight)) {
      p.width = d.width;
      p.height = d.height;
    }
    if (p.state < 0 || p.state > 2) p.state = d.state;  // minimised, normal or maximised
  }
}

SettingsFiles SettingsFilesFor(const fs::path& exe, const fs::path& folder) {
  std::string name = exe.filename().string();
  if (name.empty()) name = "velloran";
  if (name.size() > 4) {
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".exe") name.resize(name.size() - 4);
  }
  return {folder / (name + ".ini"), folder / (name + ".inw")};
}

fs::path UserConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return fs::path(xdg) / "velloran";
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : ".") / ".config" / "velloran";
}

SettingsFiles LocateSettingsFiles() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) exe = "velloran";
  // A settings file that came with the program beside it is kept there;
  // otherwise the settings live in the user's configuration folder, where
  // the first exit creates them.
  const fs::path beside = exe.parent_path();
  if (!beside.empty() && ::access(beside.c_str(), W_OK) == 0) {
    const SettingsFiles there = SettingsFilesFor(exe, beside);
    if (fs::is_regular_file(there.settings, ec) || fs::is_regular_file(there.work, ec)) return there;
  }
  const fs::path config = UserConfigFolder();
  fs::create_directories(config, ec);
  return SettingsFilesFor(exe, config);
}

SettingsEnvironment DefaultSettingsEnvironment() {
  return {LocateSettingsFiles(), ProcessDirectory, ChangeProcessDirectory};
}

void INIIN(TraceDisplayOptions& OPTS, SettingsValues& VALUES, const SettingsEnvironment& ENV) {
  std::string text;
  if (ReadWholeFile(ENV.files.settings, text) || ReadWholeFile(ENV.files.work, text)) {
    ReadSettings(SplitLines(text), OPTS, VALUES, ENV);
  } else {
    // A first run: the defaults hold, and the exit creates the settings
    // file (and its folder) so that the next run finds them.
    std::error_code ec;
    const fs::path folder = ENV.files.work.parent_path();
    if (!folder.empty()) fs::create_directories(folder, ec);
  }
  // An empty work file marks the settings as to be saved at exit.
  int handle = -1;
  if (plat::FileOpen(ENV.files.work.string(), plat::FileAccess::WriteCreate, handle) == 0)
    plat::FileClose(handle);
}

void LASTDIR(const TraceDisplayOptions& OPTS, const SettingsValues& VALUES,
             const SettingsEnvironment& ENV) {
  std::error_code ec;
  if (!fs::is_regular_file(ENV.files.work, ec)) return;
  const std::string dir = ENV.currentDirectory ? ENV.currentDirectory() : std::string();
  // The work file is written whole and renamed over the settings file in one
  // step, so a failure keeps the old settings; the settings keep their
  // permissions.
  const std::string text = SettingsText(OPTS, VALUES, dir);
  plat::ReplaceOptions how;
  how.temporary = ENV.files.work.string();
  (void)plat::ReplaceFileContents(ENV.files.settings.string(), text.data(), text.size(), how);
}

}  // namespace vel
