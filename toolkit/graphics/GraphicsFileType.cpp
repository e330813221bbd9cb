#include "toolkit/graphics/GraphicsFileType.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <vector>

#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"

namespace tk {

namespace {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kLineChars = 128;
constexpr std::size_t kCountLineChars = 10;
constexpr std::size_t kCgmParamBytes = 848;

// HP-GL plotter models 1-10 and HP-GL/2 devices 1-5.
constexpr std::array<int, 10> kPlotterUnitsPerInch = {1016, 1021, 1021, 1016, 1016,
                                                      1016, 1016, 1016, 1016, 1016};
constexpr std::array<int, 10> kPlotterPens = {4, 6, 6, 4, 6, 8, 8, 8, 6, 6};
constexpr std::array<int, 5> kHpgl2Colours = {2, 256, 2, 256, 256};

// The 128-byte header; bytes past a short file's end read as 0.
struct Header {
  std::array<std::uint8_t, kHeaderBytes> b{};
  explicit Header(std::span<const std::uint8_t> bytes) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), b.size()), b.begin());
  }
  std::uint32_t U16(std::size_t at) const { return b[at] | (std::uint32_t{b[at + 1]} << 8); }
  std::uint32_t U32(std::size_t at) const { return U16(at) | (U16(at + 2) << 16); }
  std::uint32_t BE32(std::size_t at) const {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
  }
  bool Has(std::size_t at, std::string_view s) const {
    return at + s.size() <= b.size() && std::memcmp(b.data() + at, s.data(), s.size()) == 0;
  }
  std::optional<std::size_t> Find(std::string_view s, std::size_t limit = kHeaderBytes) const {
    for (std::size_t i = 0; i + s.size() <= limit; ++i)
      if (Has(i, s)) return i;
    return std::nullopt;
  }
  // Position of the first byte neither blank nor NUL.
  std::optional<std::size_t> FirstInk() const {
    for (std::size_t i = 0; i < b.size(); ++i)
      if (b[i] != ' ' && b[i] != 0) return i;
    return std::nullopt;
  }
};

// A whole number within the 32-bit range, or -1: the one checked path by
// which numbers from headers and text become items.
std::int32_t ItemOf(double value) {
  if (!std::isfinite(value)) return -1;
  const double t = std::trunc(value);
  if (t < std::numeric_limits<std::int32_t>::min() || t > std::numeric_limits<std::int32_t>::max())
    return -1;
  return static_cast<std::int32_t>(t);
}
std::int32_t ItemOf(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return -1;
  return static_cast<std::int32_t>(value);
}
std::int32_t PowerOfTwo(std::uint32_t bits) { return bits <= 30 ? (1 << bits) : -1; }

// Lines of a text file, as the parsers read them: split at line feeds, a
// carriage return before it dropped, each cut or blank-padded to WIDTH.
class LineSource {
 public:
  LineSource(std::span<const std::uint8_t> file, std::size_t width) : f_(file), w_(width) {}
  bool Next(std::string& line) {
    if (pos_ >= f_.size()) return false;
    std::size_t end = pos_;
    while (end < f_.size() && f_[end] != '\n') ++end;
    std::size_t stop = end;
    if (stop > pos_ && f_[stop - 1] == '\r') --stop;
    line.assign(reinterpret_cast<const char*>(f_.data()) + pos_, std::min(stop - pos_, w_));
    line.resize(w_, ' ');
    pos_ = end < f_.size() ? end + 1 : end;
    return true;
  }

 private:
  std::span<const std::uint8_t> f_;
  std::size_t w_;
  std::size_t pos_ = 0;
};

// Silences error reports while a text header is parsed; restores the mode.
class SilentScan {
 public:
  SilentScan() : mode_(ErrorState().reportMode) { ErrorReportModeSet(kReportSilent); }
  ~SilentScan() { ErrorReportModeSet(mode_); }
  SilentScan(const SilentScan&) = delete;
  SilentScan& operator=(const SilentScan&) = delete;

 private:
  int mode_;
};

// The instruction at the first non-blank position: its two characters, with
// them and everything before them blanked. Empty when the line is blank.
// AFTER := the position of the character that follows the instruction.
std::string TakeInstruction(std::string& line, std::size_t& after) {
  const int p = FirstNonBlank(line);
  after = line.size();
  if (p == 0) return {};
  const std::size_t at = static_cast<std::size_t>(p - 1);
  std::string ins = line.substr(at, 2);
  after = std::min(line.size(), at + 2);
  std::fill_n(line.begin(), after, ' ');
  return ins;
}
// A comment proper, not a title comment: "CO" not immediately followed by ":".
bool IsComment(const std::string& ins, const std::string& line, std::size_t after) {
  return ins == "CO" && !(after < line.size() && line[after] == ':');
}

// After any other instruction: the text after the first ";" is scanned again
// (true), or the next line is read (false).
bool SkipToSemicolon(std::string& line) {
  const std::size_t semi = line.find(';');
  if (semi == std::string::npos) return false;
  std::fill_n(line.begin(), semi + 1, ' ');
  return true;
}

std::int32_t TakeInt(std::string& line) {
  std::int32_t v = 0;
  TokenTakeInteger(line, static_cast<int>(line.size()), v);
  return v;
}

// The integer tokens of the text between the first two double quotes.
std::string QuotedText(const std::string& line) {
  const std::size_t a = line.find('"');
  if (a == std::string::npos) return {};
  const std::size_t b = line.find('"', a + 1);
  if (b == std::string::npos) return {};
  return line.substr(a + 1, b - a - 1);
}

// What the HP-GL and HP-GL/2 scans find: the plotter model or device, and
// the plot size from IP in plotter units.
struct HpglFacts {
  int model = -1;
  std::int64_t w = 0, h = 0;
  bool haveSize = false;
};

// Scans the instructions line by line: SC -13 b gives the model b (for
// HP-GL/2 less MODEL_OFFSET), IP the size; with COMMENTS a comment's quoted
// "13 d" gives the device d. After SC, IP and comments the next line is read;
// after any other instruction the text after its ";", or else the next line.
// Ends at the end of the file or once the model and size are known.
HpglFacts ScanHpgl(std::span<const std::uint8_t> file, int modelOffset, bool comments) {
  HpglFacts f;
  LineSource src(file, kLineChars);
  std::string line;
  if (!src.Next(line)) return f;
  for (;;) {
    std::size_t after = 0;
    const std::string ins = TakeInstruction(line, after);
    bool readNext = true;
    if (comments && IsComment(ins, line, after)) {
      std::string q = QuotedText(line);
      if (!q.empty()) {
        const std::int32_t a = TakeInt(q), b = TakeInt(q);
        if (a == 13) f.model = b;
      }
    } else if (ins == "SC") {
      const std::int32_t a = TakeInt(line), b = TakeInt(line);
      if (a == -13) f.model = b - modelOffset;
    } else if (ins == "IP") {
      const std::int64_t x1 = TakeInt(line), y1 = TakeInt(line), x2 = TakeInt(line),
                         y2 = TakeInt(line);
      f.w = x2 - x1 + 1;
      f.h = y2 - y1 + 1;
      f.haveSize = true;
    } else {
      readNext = ins.empty() || !SkipToSemicolon(line);
    }
    if (readNext) {
      if (!src.Next(line)) break;
      if (f.model != -1 && f.haveSize) break;
    }
  }
  return f;
}

void HpglExtents(std::span<const std::uint8_t> file, std::array<std::int32_t, 6>& items, int n) {
  const HpglFacts f = ScanHpgl(file, 0, false);
  if (f.model >= 1 && f.model <= 10) {
    const std::int64_t upi = kPlotterUnitsPerInch[static_cast<std::size_t>(f.model - 1)];
    if (f.haveSize) {
      items[1] = ItemOf(f.w * 72 / upi);
      items[2] = ItemOf(f.h * 72 / upi);
    }
    items[3] = kPlotterPens[static_cast<std::size_t>(f.model - 1)];
    items[4] = f.model;
  }
  if (n >= 6) items[5] = CountHpglPictures(file);
}

void Hpgl2Extents(std::span<const std::uint8_t> file, std::array<std::int32_t, 6>& items, int n) {
  const HpglFacts f = ScanHpgl(file, 10, true);
  if (f.haveSize) {
    items[1] = ItemOf(72 * f.w / 1016);
    items[2] = ItemOf(72 * f.h / 1016);
  }
  if (f.model >= 1 && f.model <= 5) {
    items[3] = kHpgl2Colours[static_cast<std::size_t>(f.model - 1)];
    items[4] = f.model;
  }
  if (n >= 6) items[5] = CountHpglPictures(file);
}

void PostScriptExtents(std::span<const std::uint8_t> file, std::array<std::int32_t, 6>& items) {
  LineSource src(file, kLineChars);
  std::string line;
  if (!src.Next(line)) return;
  items[3] = 0;
  if (!src.Next(line)) return;
  const int p = FirstNonBlank(line);
  constexpr std::string_view kBox = "%%BoundingBox:";
  if (p == 0 || line.compare(static_cast<std::size_t>(p - 1), kBox.size(), kBox) != 0) return;
  items[3] = 1;
  std::fill_n(line.begin(), static_cast<std::size_t>(p - 1) + kBox.size(), ' ');
  TakeInt(line);
  TakeInt(line);
  items[1] = TakeInt(line);
  items[2] = TakeInt(line);
}

std::int32_t ScaledReal(std::string_view text, double scale) {
  double v = 0;
  int valid = 0;
  ParseDoubleChecked(v, valid, text);
  return valid ? ItemOf(v * scale) : -1;
}

void DxfExtents(std::span<const std::uint8_t> file, std::array<std::int32_t, 6>& items) {
  LineSource src(file, kLineChars);
  std::string line;
  for (int k = 1; k <= 16 && src.Next(line); ++k) {
    if (k == 14) items[1] = ScaledReal(line, 72.0);
    if (k == 16) items[2] = ScaledReal(line, 72.0);
  }
}

std::int32_t SvgAttribute(const std::string& line, std::string_view key) {
  const std::size_t at = line.find(key);
  if (at == std::string::npos) return -1;
  const std::size_t from = at + key.size();
  const std::size_t to = line.find('"', from);
  if (to == std::string::npos) return -1;
  return ScaledReal(std::string_view(line).substr(from, to - from), 1.0);
}

void SvgExtents(std::span<const std::uint8_t> file, std::array<std::int32_t, 6>& items) {
  LineSource src(file, kLineChars);
  std::string line;
  if (!src.Next(line)) return;
  while (src.Next(line)) {
    LowerCaseInPlace(line);
    if (line.find("<svg ") == std::string::npos) continue;
    items[1] = SvgAttribute(line, "width=\"");
    items[2] = SvgAttribute(line, "height=\"");
    return;
  }
}

void BinaryExtents(const Header& h, std::int32_t code, std::span<const std::uint8_t> file,
                   std::array<std::int32_t, 6>& items, int n) {
  switch (code) {
    case kGfBmp: {
      items[1] = static_cast<std::int32_t>(h.U32(18));
      items[2] = static_cast<std::int32_t>(h.U32(22));
      const std::uint32_t bits = h.U16(28);
      items[3] = PowerOfTwo(bits == 32 ? 24 : bits);
      const std::uint32_t compression = h.U32(30);
      items[4] = (compression != 0 && compression != 3) ? 1 : 0;
      items[5] = static_cast<std::int32_t>(bits);
      break;
    }
    case kGfPcx: {
      items[1] = ItemOf(std::int64_t{h.U16(8)} - h.U16(4) + 1);
      items[2] = ItemOf(std::int64_t{h.U16(10)} - h.U16(6) + 1);
      const std::uint32_t bits = std::uint32_t{h.b[3]} * h.b[65];
      items[3] = PowerOfTwo(bits);
      items[4] = h.b[1];
      items[5] = static_cast<std::int32_t>(bits);
      break;
    }
    case kGfMetafile:
      if (h.U32(40) == 0x464D4520u) {
        items[1] = ItemOf((std::int64_t{h.U32(32)} - h.U32(24) + 1) * 72 / 2540);
        items[2] = ItemOf((std::int64_t{h.U32(36)} - h.U32(28) + 1) * 72 / 2540);
        items[3] = 2;
      } else if (h.U32(0) == 0x9AC6CDD7u) {
        const std::int64_t upi = h.U16(14);
        if (upi != 0) {
          items[1] = ItemOf((std::int64_t{h.U16(10)} - h.U16(6) + 1) * 72 / upi);
          items[2] = ItemOf((std::int64_t{h.U16(12)} - h.U16(8) + 1) * 72 / upi);
        }
        items[3] = 1;
      } else {
        items[3] = 0;
      }
      break;
    case kGfCgm: {
      std::int32_t count = 0;
      float aspect = 1.0f;
      (void)CgmPictureInfo(file, count, aspect);
      items[1] = 1000;
      items[2] = ItemOf(1000.0 / static_cast<double>(aspect));
      items[3] = count;
      break;
    }
    case kGfLotusPic:
      items[1] = 3201;
      items[2] = 2312;
      if (n >= 4) {
        bool cut = false;
        items[3] = CountPicPictures(file, cut);
      }
      break;
    case kGfDraw:
      items[1] = static_cast<std::int32_t>(h.U32(40) / 640);
      items[2] = static_cast<std::int32_t>(h.U32(44) / 640);
      break;
    case kGfPcl: {
      items[3] = (h.Find("s-3u1A") || h.Find("s3u1A")) ? 8 : 2;
      if (const auto at = h.Find("\x1B*t")) {
        const std::size_t from = *at + 3;
        std::string digits;
        for (std::size_t i = from; i < from + 3 && i < kHeaderBytes; ++i)
          digits.push_back(static_cast<char>(h.b[i]));
        std::int32_t v = 0;
        {
          SilentScan quiet;
          IStringToInteger(digits, v);
        }
        items[4] = v > 0 ? v : -1;
      }
      break;
    }
    case kGfEscP:
      items[3] = h.Find("\x1Br\x04") ? 8 : 0;
      if (const auto at = h.Find(std::string_view("\x1B(U\x01\x00", 5))) {
        const std::size_t m = *at + 5 < kHeaderBytes ? h.b[*at + 5] : 0;
        if (m != 0) items[4] = static_cast<std::int32_t>(3600 / m);
      }
      break;
    case kGfEpsonEscU:
      items[3] = h.Find("\x1Br\x04") ? 8 : 0;
      break;
    case kGfPng: {
      const std::uint32_t w = h.BE32(16), ht = h.BE32(20);
      items[1] = ItemOf(std::int64_t{w});
      items[2] = ItemOf(std::int64_t{ht});
      const int type = h.b[25], depth = h.b[24];
      if (type == 2 || type == 6) {
        items[3] = 16777216;
        items[5] = 24;
      } else if (type == 3) {
        items[3] = PowerOfTwo(static_cast<std::uint32_t>(depth));
        items[5] = depth;
      }
      items[4] = h.b[28];
      break;
    }
    default:
      break;
  }
}

std::span<const std::uint8_t> AsBytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace

std::int32_t GraphicsTypeOfHeader(std::span<const std::uint8_t> bytes) {
  const Header h(bytes);
  const auto p = h.FirstInk();
  const auto at = [&](std::string_view s) { return p && h.Has(*p, s); };
  if (at("IN")) return kGfHpgl;
  if (at("\x1B%0B")) return kGfHpgl2;
  if (at("%!PS")) return kGfPostScript;
  if ((at("0\n") || at("0\r")) && h.Find("SECTION", 20)) return kGfDxf;
  if ((h.Find("<!DOCTYPE svg") || h.Find("<!doctype svg")) &&
      (h.Find("<?XML ") || h.Find("<?xml ")))
    return kGfSvg;
  if (h.b[0] == 10 && h.b[2] == 1) return kGfPcx;
  if (h.b[0] == 0x42 && h.b[1] == 0x4D && h.U32(6) == 0 && h.U32(14) != 12) return kGfBmp;
  if (h.U32(40) == 0x464D4520u) return kGfMetafile;
  if (h.Has(0, std::string_view("\x01\x00\x09\x00\x00\x03", 6)) || h.U32(0) == 0x9AC6CDD7u)
    return kGfMetafile;
  if (h.b[0] == 0 && h.b[1] >= 16 && h.b[2] < 32) return kGfCgm;
  if (h.b[0] == 1 && h.b[4] == 1 && h.b[6] == 8 && h.b[8] == 0x44 && h.b[13] == 12)
    return kGfLotusPic;
  if (h.Has(0, "Draw")) return kGfDraw;
  if (h.Has(0, "\x1B[?38h")) return kGfTektronix;
  if (h.Has(0, "\x1B" "E") || h.Has(0, "\x1B&a")) return kGfPcl;
  if (h.Has(0, "\x1B@")) return kGfEscP;
  if (h.Has(0, "\x1BU\x01")) return kGfEpsonEscU;
  if (h.Has(0, "\x89PNG\r\n\x1A\n")) return kGfPng;
  return kGfUnknown;
}

void GraphicsFileTypeOfBytes(std::span<const std::uint8_t> file, std::span<std::int32_t> info,
                             int n) {
  n = std::max(n, 1);
  std::array<std::int32_t, 6> items{};
  items.fill(-1);
  if (file.size() >= 4) {
    items[0] = GraphicsTypeOfHeader(file);
    if (n >= 2) {
      const Header h(file);
      switch (items[0]) {
        case kGfHpgl: {
          SilentScan quiet;
          HpglExtents(file, items, n);
          break;
        }
        case kGfHpgl2: {
          SilentScan quiet;
          Hpgl2Extents(file, items, n);
          break;
        }
        case kGfPostScript: {
          SilentScan quiet;
          PostScriptExtents(file, items);
          break;
        }
        case kGfDxf:
          DxfExtents(file, items);
          break;
        case kGfSvg:
          SvgExtents(file, items);
          break;
        default:
          BinaryExtents(h, items[0], file, items, n);
          break;
      }
    }
  }
  const std::size_t count = std::min({static_cast<std::size_t>(std::min(n, 6)), info.size()});
  std::copy_n(items.begin(), count, info.begin());
}

std::string GraphicsFileName(std::string_view name, int nameLength) {
  std::string_view s = name.substr(0, static_cast<std::size_t>(std::clamp<int>(
                                          nameLength, 0, static_cast<int>(name.size()))));
  s = s.substr(0, s.find('\0'));
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

bool ReadGraphicsFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  in.seekg(0);
  out.assign(static_cast<std::size_t>(size), '\0');
  in.read(out.data(), size);
  out.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return true;
}

void GraphicsFileType(std::string_view name, int nameLength, std::span<std::int32_t> info,
                      int n) {
  std::string bytes;
  if (!ReadGraphicsFile(GraphicsFileName(name, nameLength), bytes)) bytes.clear();
  GraphicsFileTypeOfBytes(AsBytes(bytes), info, n);
}

// --- picture counters ---------------------------------------------------

std::int32_t CountHpglPictures(std::span<const std::uint8_t> file) {
  SilentScan quiet;
  LineSource src(file, kCountLineChars);
  std::string line;
  std::int32_t count = 0;
  while (src.Next(line)) {
    std::size_t after = 0;
    const std::string ins = TakeInstruction(line, after);
    if (ins == "SC") {
      if (line.find_first_not_of(' ') != std::string::npos && TakeInt(line) == -3) ++count;
    } else if (IsComment(ins, line, after)) {
      std::string q = QuotedText(line);
      if (!q.empty() && TakeInt(q) == 3) ++count;
    }
  }
  return std::max(count, 1);
}

void YYCNTHPG(std::string_view name, int nameLength, std::int32_t& count) {
  std::string bytes;
  if (!ReadGraphicsFile(GraphicsFileName(name, nameLength), bytes)) {
    ReportFileError(kErrOpen, 0, "YYCNTHPG");
    return;
  }
  count = CountHpglPictures(AsBytes(bytes));
}

std::int32_t CountPicPictures(std::span<const std::uint8_t> file, bool& shortRead) {
  shortRead = false;
  if (file.size() < 17) {
    shortRead = true;
    return 1;
  }
  std::int32_t count = 0;
  std::size_t pos = 17;
  const auto skip = [&](std::uint64_t n) {
    if (n > file.size() - pos) {
      shortRead = true;
      pos = file.size();
      return false;
    }
    pos += static_cast<std::size_t>(n);
    return true;
  };
  while (pos < file.size()) {
    const std::uint8_t b = file[pos++];
    if (b == 0xA0 || b == 0xA2 || b == 0xAC) {
      if (!skip(4)) break;
    } else if (b == 0xE0 || b == 0x30) {
      if (pos >= file.size()) {
        shortRead = true;
        break;
      }
      const std::uint64_t k = file[pos++];
      if (!skip((k + 1) * 4)) break;
    } else if (b == 0xA7) {
      if (!skip(1)) break;
    } else if (b == 0xA8) {
      if (!skip(1)) break;
      while (pos < file.size() && file[pos] != 0) ++pos;
      if (pos >= file.size()) {
        shortRead = true;
        break;
      }
      ++pos;
    } else if (b >= 0x60 && b <= 0x6F) {
      ++count;
    }
  }
  return std::max(count, 1);
}

void YYCNTPIC(std::string_view name, int nameLength, std::int32_t& count) {
  std::string bytes;
  if (!ReadGraphicsFile(GraphicsFileName(name, nameLength), bytes)) {
    ReportFileError(kErrOpen, 0, "YYCNTPIC");
    return;
  }
  bool cut = false;
  count = CountPicPictures(AsBytes(bytes), cut);
  if (cut) ReportLibraryError(kErrReadWrite, "YYCNTPIC");
}

// --- binary CGM ---------------------------------------------------------

bool CgmPictureInfo(std::span<const std::uint8_t> file, std::int32_t& count, float& aspect) {
  count = 0;
  int intPrecision = 16, vdcIntPrecision = 16, vdcType = 0;
  std::optional<double> maxExtent, extent;
  std::size_t pos = 0;
  bool complete = true;
  const auto word = [&](std::uint32_t& w) {
    if (file.size() - pos < 2) return false;
    w = (std::uint32_t{file[pos]} << 8) | file[pos + 1];
    pos += 2;
    return true;
  };
  // Width / height of an extent; a degenerate or non-finite one is ignored.
  const auto ratio = [](double x1, double y1, double x2, double y2) -> std::optional<double> {
    const double dy = y2 - y1, r = (x2 - x1) / dy;
    if (dy == 0 || x2 == x1 || !std::isfinite(r)) return std::nullopt;
    return r;
  };
  std::vector<std::uint8_t> params;
  for (bool ended = false; !ended;) {
    std::uint32_t h = 0;
    if (pos >= file.size()) break;  // the file ends between elements
    if (!word(h)) {
      complete = false;
      break;
    }
    const int cls = static_cast<int>(h >> 12), id = static_cast<int>((h >> 5) & 127);
    std::uint32_t length = h & 31;
    bool more = false;
    if (length == 31) {
      std::uint32_t l = 0;
      if (!word(l)) {
        complete = false;
        break;
      }
      length = l & 0x7FFF;
      more = (l & 0x8000) != 0;
    }
    const bool read = (cls == 1 && (id == 3 || id == 4 || id == 17)) || (cls == 2 && id == 6) ||
                      (cls == 3 && id == 1);
    params.clear();
    bool cut = false;
    for (;;) {
      const std::size_t padded = (length + 1) & ~std::size_t{1};
      if (padded > file.size() - pos) {
        cut = true;
        break;
      }
      if (read) {
        const std::size_t take = std::min(padded, kCgmParamBytes - std::min(kCgmParamBytes, params.size()));
        params.insert(params.end(), file.begin() + static_cast<std::ptrdiff_t>(pos),
                      file.begin() + static_cast<std::ptrdiff_t>(pos + take));
      }
      pos += padded;
      if (!more) break;
      std::uint32_t l = 0;
      if (!word(l)) {
        cut = true;
        break;
      }
      length = l & 0x7FFF;
      more = (l & 0x8000) != 0;
    }
    if (cut) {
      complete = false;
      break;
    }
    if (cls == 0 && id == 2) ended = true;
    if (cls == 0 && id == 5) ++count;
    if (cls == 1 && id == 3) vdcType = CgmParamInteger(params, 1, 16);
    if (cls == 1 && id == 4) intPrecision = CgmParamInteger(params, 1, intPrecision);
    if (cls == 3 && id == 1) vdcIntPrecision = CgmParamInteger(params, 1, intPrecision);
    if ((cls == 1 && id == 17) || (cls == 2 && id == 6)) {
      std::array<double, 4> v{};
      int at = 1;
      for (double& x : v) {
        if (vdcType == 0) {
          x = CgmParamInteger(params, at, vdcIntPrecision);
          at += vdcIntPrecision == 16 ? 2 : 4;
        } else {
          x = CgmParamReal(params, at);
          at += 4;
        }
      }
      const auto r = ratio(v[0], v[1], v[2], v[3]);
      if (r) (cls == 1 ? maxExtent : extent) = r;
    }
  }
  count = std::max(count, 1);
  aspect = static_cast<float>(maxExtent ? *maxExtent : extent ? *extent : 1.0);
  if (!std::isfinite(aspect) || aspect == 0.0f) aspect = 1.0f;
  return complete;
}

void YYINFOCGM(std::string_view name, int nameLength, std::int32_t& count, float& aspect) {
  std::string bytes;
  if (!ReadGraphicsFile(GraphicsFileName(name, nameLength), bytes)) {
    ReportFileError(kErrOpen, 0, "YYINFOCGM");
    return;
  }
  if (!CgmPictureInfo(AsBytes(bytes), count, aspect)) ReportLibraryError(kErrReadWrite, "YYINFOCGM");
}

// --- tokens and byte fields ---------------------------------------------

void TokenTakeWord(std::string& line, int length, std::string& word) {
  const std::size_t len =
      static_cast<std::size_t>(std::clamp<int>(length, 0, static_cast<int>(line.size())));
  int first = 0, last = 0;
  NextWordBounds(std::string_view(line).substr(0, len), first, last);
  if (first == 0) {
    first = last = len > 0 ? 1 : 0;
  }
  const std::string w =
      first > 0 ? line.substr(static_cast<std::size_t>(first - 1),
                              static_cast<std::size_t>(last - first + 1))
                : std::string();
  if (first > 0)
    std::fill_n(line.begin() + first - 1, static_cast<std::size_t>(last - first + 1), ' ');
  if (word.empty()) {
    word = w;
  } else {
    const std::size_t keep = word.size();
    word = w;
    word.resize(keep, ' ');
  }
}

void TokenTakeInteger(std::string& line, int length, std::int32_t& value) {
  std::string w;
  TokenTakeWord(line, length, w);
  IStringToInteger(w, value);
}
void TokenTakeReal(std::string& line, int length, float& value) {
  std::string w;
  TokenTakeWord(line, length, w);
  IStringToReal(w, value);
}
void TokenTakeDouble(std::string& line, int length, double& value) {
  std::string w;
  TokenTakeWord(line, length, w);
  IStringToReal(w, value);
}

void ReadUIntLE(std::span<const std::uint8_t> bytes, int count, std::uint32_t& value) {
  value = 0;
  const int n = count == 2 ? 2 : 4;
  for (int i = n - 1; i >= 0; --i)
    value = (value << 8) | (static_cast<std::size_t>(i) < bytes.size() ? bytes[i] : 0u);
}

void ReadUInt32BE(std::span<const std::uint8_t> bytes, std::uint32_t& value) {
  value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | (i < bytes.size() ? bytes[i] : 0u);
}

std::int32_t CgmParamInteger(std::span<const std::uint8_t> params, int offset, int precision) {
  if (offset < 1) return 0;
  const std::size_t at = static_cast<std::size_t>(offset - 1);
  const auto byte = [&](std::size_t i) -> std::uint32_t {
    return at + i < params.size() ? params[at + i] : 0u;
  };
  if (precision == 16) return static_cast<std::int16_t>((byte(0) << 8) | byte(1));
  return static_cast<std::int32_t>((byte(0) << 24) | (byte(1) << 16) | (byte(2) << 8) | byte(3));
}

float CgmParamReal(std::span<const std::uint8_t> params, int offset) {
  return static_cast<float>(CgmParamInteger(params, offset, 32));
}

}  // namespace tk
