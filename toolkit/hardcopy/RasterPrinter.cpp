#include "toolkit/hardcopy/RasterPrinter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/RasterPage.h"

namespace tk {

namespace {

constexpr char ESC = '\x1b';
constexpr int kNoGraphics = 5;
constexpr int kPageTooLarge = 34;
constexpr int kPclRowLimit = 999;         // three-digit counts
constexpr int kEscP2RowLimit = 65535 / 8;  // the dot count is 16 bits
constexpr int kDotCountLimit = 65535;      // ESC/P counts are 16 bits
constexpr std::string_view kCapabilities = "00000111111111110010011011000";

std::string Byte(int v) { return std::string(1, static_cast<char>(v & 0xFF)); }
std::string Word(int v) { return Byte(v & 0xFF) + Byte((v >> 8) & 0xFF); }
/// V as K digits with leading zeros (held within the field).
std::string Digits(long long v, int k) {
  long long limit = 1;
  for (int i = 0; i < k; ++i) limit *= 10;
  v = std::clamp<long long>(v, 0, limit - 1);
  std::string s = std::to_string(v);
  return std::string(static_cast<std::size_t>(k) - s.size(), '0') + s;
}

const DeviceModelState& Model() { return CurrentDeviceModels(); }
bool Landscape() { return HardcopyOption(5) == 1; }

int QualityResolution(int q) {
  const DeviceModelState& m = Model();
  q = std::clamp(q, 1, 4);
  return m.resolutions[static_cast<std::size_t>(q - 1)];
}

/// Dots per inch along the paper feed at resolution R.
double FeedResolution(int r) {
  const DeviceModelState& m = Model();
  const int c = m.printerClass;
  if (c >= 6) return r;
  if (c == 5) return 180;
  const double v = static_cast<double>(m.pins) * 216.0 / std::max(1, m.lineStep);
  return r > 100 ? 2 * v : v;
}

std::int32_t TruncDots(double v) {
  if (!(v == v)) return 0;
  return static_cast<std::int32_t>(std::trunc(std::clamp(v, -2.0e9, 2.0e9)));
}

/// Print offsets in points along the paper: x across, y down.
void Offsets(double& x, double& y) {
  x = HardcopyOption(Landscape() ? 4 : 3);
  y = HardcopyOption(Landscape() ? 3 : 4);
}

std::uint8_t* Row() { return RasterRowBuffer(); }

bool WriteFailed() { return PlotFileStatus() == -1; }
void Send(const std::string& bytes) {
  PlotFileWrite(2, bytes, static_cast<int>(bytes.size()));
}
void SendRow(int n) {
  if (n > 0) PlotFileWriteRaster(2, n, 0);
}

/// Gathers printed row Y into the row buffer as bytes of 8 pixels, most
/// significant bit first; with ONES_BEYOND the bits past the last pixel are
/// set. Returns the trimmed length (bytes up to the last one with ink).
int GatherRow(const RasterPixelTest& test, int w, int y, bool onesBeyond) {
  const int bytes = (w + 7) / 8;
  std::uint8_t* row = Row();
  int trimmed = 0;
  for (int k = 0; k < bytes; ++k) {
    int b = 0;
    for (int e = 0; e < 8; ++e) {
      const int x = 8 * k + e;
      if (x < w && test(x, y)) b |= 0x80 >> e;
    }
    if (b != 0) trimmed = k + 1;
    if (onesBeyond && 8 * k + 8 > w) b |= 0xFF >> (w - 8 * k);
    row[k] = static_cast<std::uint8_t>(b);
  }
  return trimmed;
}

}  // namespace

PrinterCommandBlock& CurrentPrinterCommands() {
  static PrinterCommandBlock block;
  return block;
}

std::string PclRunLength(std::string_view row) {
  std::string out;
  for (std::size_t i = 0; i < row.size();) {
    std::size_t j = i + 1;
    while (j < row.size() && row[j] == row[i] && j - i < 256) ++j;
    out += Byte(static_cast<int>(j - i - 1));
    out += row[i];
    i = j;
  }
  return out;
}

std::string PackBits(std::string_view row) {
  std::string out;
  const std::size_t n = row.size();
  std::size_t i = 0;
  while (i < n) {
    if (i + 1 < n && row[i + 1] == row[i]) {
      std::size_t j = i + 1;
      while (j < n && row[j] == row[i] && j - i < 128) ++j;
      out += Byte(257 - static_cast<int>(j - i));
      out += row[i];
      i = j;
      continue;
    }
    const std::size_t start = i;
    std::size_t j = i;
    while (j < n) {
      const std::size_t length = j - start;  // bytes taken so far
      const bool pair = j + 1 < n && row[j + 1] == row[j];
      if (pair && j + 2 < n && row[j + 2] == row[j]) break;
      if (pair && length + 2 == 128 && j + 1 < n - 1) break;
      ++j;
      if (j - start == 127 && n - j >= 2) break;
    }
    out += Byte(static_cast<int>(j - start - 1));
    out.append(row.substr(start, j - start));
    i = j;
  }
  return out;
}

std::string EscP2RunLength(std::string_view row) {
  std::string out;
  const std::size_t n = row.size();
  const auto pieces = [&out](std::size_t length, const auto& emit) {
    std::size_t done = 0;
    while (done < length) {
      const std::size_t rest = length - done;
      const std::size_t piece = rest == 129 ? 127 : std::min<std::size_t>(rest, 128);
      emit(done, piece);
      done += piece;
    }
    (void)out;
  };
  std::size_t i = 0;
  while (i < n) {
    std::size_t j = i + 1;
    if (j < n && row[j] == row[i]) {
      while (j < n && row[j] == row[i]) ++j;
      const char b = row[i];
      pieces(j - i, [&](std::size_t, std::size_t piece) {
        out += Byte(257 - static_cast<int>(piece));
        out += b;
      });
    } else {
      while (j < n && !(j + 1 < n && row[j + 1] == row[j])) ++j;
      const std::size_t start = i;
      pieces(j - i, [&](std::size_t at, std::size_t piece) {
        out += Byte(static_cast<int>(piece) - 1);
        out.append(row.substr(start + at, piece));
      });
    }
    i = j;
  }
  return out;
}

void PclRowCompress(int& n, int k) {
  PrinterCommandBlock& block = CurrentPrinterCommands();
  const std::string_view row(reinterpret_cast<const char*>(Row()), static_cast<std::size_t>(n));
  const std::string packed = block.compression == 1 ? PclRunLength(row) : PackBits(row);
  const int length = std::min(static_cast<int>(packed.size()), kRasterRowBytes);
  std::memcpy(Row(), packed.data(), static_cast<std::size_t>(length));
  n = length;
  std::string& header = k == 0 ? block.rowHeader : block.planeHeaders[static_cast<std::size_t>(k - 1)];
  const char letter = header.empty() ? 'W' : header.back();
  header = std::string{ESC} + "*b" + std::to_string(n) + letter;
}

void EscP2RowCompress(int& n, std::vector<std::uint8_t>& scratch) {
  PrinterCommandBlock& block = CurrentPrinterCommands();
  const std::string_view row(reinterpret_cast<const char*>(Row()), static_cast<std::size_t>(n));
  const std::string packed = EscP2RunLength(row);
  scratch.assign(packed.begin(), packed.end());
  if (static_cast<int>(packed.size()) < n) {
    std::memcpy(Row(), packed.data(), packed.size());
    n = static_cast<int>(packed.size());
    block.rowHeader[6] = 1;
  } else {
    block.rowHeader[6] = 0;
  }
}

void DotRowLength(int& n) {
  PrinterCommandBlock& block = CurrentPrinterCommands();
  const DeviceModelState& m = Model();
  std::string& h = block.rowHeader;
  if (m.printerClass == 4) {
    const int count = n + 1;
    h[3] = static_cast<char>(count & 0xFF);
    h[4] = static_cast<char>((count >> 8) & 0xFF);
    return;
  }
  int count = n;
  if (m.printerClass == 5 && m.pins == 24) {
    n = (n + 2) / 3 * 3;
    count = n / 3;
  }
  h[h.size() - 2] = static_cast<char>(count & 0xFF);
  h[h.size() - 1] = static_cast<char>((count >> 8) & 0xFF);
}

void RasterPrinterCommands(int w, int h) {
  PrinterCommandBlock& block = CurrentPrinterCommands();
  const DeviceModelState& m = Model();
  const DriverParameters& dp = DriverParams();
  const int c = m.printerClass;
  const int r = QualityResolution(dp.rasterQuality);
  block = PrinterCommandBlock{};
  block.printedWidth = w;
  block.printedHeight = h;
  block.passes = (c <= 4 && r > 100) ? 2 : 1;
  double xOffset = 0, yOffset = 0;
  Offsets(xOffset, yOffset);
  const int copies = std::clamp(HardcopyOption(8), 1, 99);
  const bool eject = HardcopyOption(19) % 2 != 0;
  const bool reset = HardcopyOption(19) - HardcopyOption(19) % 2 != 0;
  block.planesInUse = std::max(1, dp.rasterPlanes);
  block.compression = std::clamp(HardcopyOption(24), 0, 2);
  block.colourSelections = {std::string{ESC} + "r" + Byte(4), std::string{ESC} + "r" + Byte(1),
                            std::string{ESC} + "r" + Byte(2), std::string{ESC} + "r" + Byte(0)};
  if (c <= 5) {
    // A negative offset gives no lead.
    const int lead = std::max(0, TruncDots(r * xOffset / 72.0));
    const double topDots = c <= 4 ? 3 * yOffset : 2.5 * yOffset;
    const int top = std::max(0, TruncDots(std::min(255.0, topDots)));
    const int fullRow = c == 4 ? 3 * (w + lead) + 1 : w + lead;
    if (c <= 3) {
      if (r == 60 || (r == 80 && c == 3))
        block.rowHeader = std::string{ESC} + "K";
      else if (r == 80)
        block.rowHeader = std::string{ESC} + "*" + Byte(4);
      else if (r == 90)
        block.rowHeader = std::string{ESC} + "*" + Byte(6);
      else if (r == 240)
        block.rowHeader = std::string{ESC} + "Z";
      else
        block.rowHeader = std::string{ESC} + "L";
      block.rowHeader += Word(fullRow);
    } else if (c == 4) {
      const int mode = r == 60 ? 8 : r == 120 ? 9 : r == 180 ? 11 : 12;
      block.rowHeader = std::string{ESC} + "[g" + Word(fullRow) + Byte(mode);
    } else {
      const int mode = r == 90 ? 38 : r == 120 ? 33 : r == 180 ? 39 : 40;
      block.rowHeader = std::string{ESC} + "*" + Byte(mode) + Word(fullRow);
    }
    block.leadingBlankBytes = std::clamp(c >= 4 ? 3 * lead : lead, 0, 39999);
    block.pageStart = std::string{ESC} + "U" + Byte(1);
    if (top > 0) block.pageStart += std::string{ESC} + "J" + Byte(top);
    if (block.passes == 1) block.pageStart += std::string{ESC} + "3" + Byte(m.lineStep);
    block.passSpacings = {std::string{ESC} + "3" + Byte(1),
                          std::string{ESC} + "3" + Byte(m.lineStep - 1)};
    block.endOfPage = std::string{ESC} + "2" + (eject ? "\f" : "");
  } else if (c == 6) {
    const int u = 3600 / std::max(1, r);
    const int p = std::clamp(TruncDots(r * yOffset / 72.0), 0, 65535);
    const int s = std::clamp(TruncDots(r * xOffset / 72.0), 0, 65535);
    block.pageStart = std::string{ESC} + "@" + ESC + "(G" + Byte(1) + Byte(0) + Byte(1) + ESC +
                      "(U" + Byte(1) + Byte(0) + Byte(u) + ESC + "(V" + Byte(2) + Byte(0) + Word(p);
    block.rowHeader = std::string{ESC} + "\\" + Word(s) + ESC + "." + Byte(0) + Byte(u) + Byte(u) +
                      Byte(1) + Word(0);
    block.lineAdvance = std::string{ESC} + "(v" + Byte(2) + Byte(0) + Byte(1) + Byte(0);
    block.endOfPage = std::string{ESC} + "@" + (eject ? "\f" : "");
  } else {
    const int b = (w + 7) / 8;
    const long long X = std::max(0, TruncDots(10 * xOffset));
    const long long Y = std::max(0, TruncDots(10 * yOffset));
    block.rowHeader = std::string{ESC} + "*b" + Digits(b, 3) + "W";
    block.planeHeaders = {std::string{ESC} + "*b" + Digits(b, 3) + "V",
                          std::string{ESC} + "*b" + Digits(b, 3) + "V"};
    std::string start = std::string{ESC} + "E" + ESC + "&a" + Digits(X, 4) + "h" + Digits(Y, 4) +
                        "V" + ESC + "*t" + Digits(r, 3) + "R" + ESC + "*r";
    if (m.rasterModel > 11) start += Digits(8LL * b, 4) + "s";
    if (m.colourPlanes > 1)
      start += (m.colourKind == 1 ? "" : "-") + std::to_string(block.planesInUse % 10) + "u";
    start += "1A";
    if ((c == 9 || c == 10) && HardcopyOption(20) != 0) start += std::string{ESC} + "&k3W";
    if (block.compression != 0) start += std::string{ESC} + "*b" + Digits(block.compression, 1) + "M";
    if (!reset) start.erase(0, 2);
    block.pageStart = start;
    if (c == 7 || m.rasterModel == 32) block.endOfPage = std::string{ESC} + "&l" + Digits(copies, 2) + "X";
    block.endOfPage += std::string{ESC} + "*rB";
    if (eject) block.endOfPage += std::string{ESC} + "E";
  }
}

void YYDUMP(int stream, const RasterPixelTest& test) {
  (void)stream;  // the printer output is stream 2
  PrinterCommandBlock& block = CurrentPrinterCommands();
  const DeviceModelState& m = Model();
  if (m.qualities <= 0) {
    ReportLibraryError(kNoGraphics, "YYDUMP");
    return;
  }
  if (!block.pageStart.empty()) {
    Send(block.pageStart);
    if (WriteFailed()) return;
  }
  const int c = m.printerClass;
  const int w = block.printedWidth, h = block.printedHeight;
  const int planes = block.planesInUse;
  if (c >= 7) {
    const bool onesBeyond = m.colourKind == 1 && planes > 1;
    const int bytes = (w + 7) / 8;
    for (int y = 0; y < h; ++y) {
      for (int p = 0; p < planes; ++p) {
        block.currentPlane = p;
        const int trimmed = GatherRow(test, w, y, onesBeyond);
        const int k = planes - 1 - p;
        std::string& header = k == 0 ? block.rowHeader : block.planeHeaders[static_cast<std::size_t>(k - 1)];
        int n = trimmed;
        if (block.compression == 0) {
          header.replace(3, header.size() - 4, Digits(trimmed, 3));
        } else {
          n = bytes;
          PclRowCompress(n, k);
        }
        Send(header);
        SendRow(n);
        if (WriteFailed()) return;
      }
    }
  } else if (c == 6) {
    const int colours = planes > 1 ? 4 : 1;
    std::vector<std::uint8_t> scratch;
    for (int y = 0; y < h; ++y) {
      for (int g = 1; g <= colours; ++g) {
        block.currentPlane = 3 - g;
        if (colours == 4) Send(block.colourSelections[static_cast<std::size_t>(g - 1)]);
        const int trimmed = GatherRow(test, w, y, false);
        int n = trimmed;
        EscP2RowCompress(n, scratch);
        const int dots = 8 * trimmed;
        block.rowHeader[10] = static_cast<char>(dots & 0xFF);
        block.rowHeader[11] = static_cast<char>((dots >> 8) & 0xFF);
        Send(block.rowHeader);
        SendRow(n);
        Send("\r");
        if (WriteFailed()) return;
      }
      Send(block.lineAdvance);
    }
  } else {
    const int pins = m.pins == 24 ? 24 : 8;
    const int passes = block.passes;
    const int band = pins * passes;
    const int colours = planes > 1 ? 4 : 1;
    const int lead = block.leadingBlankBytes;
    const bool fits = static_cast<long long>(lead) + static_cast<long long>(w) * pins / 8 <= kRasterRowBytes;
    std::uint8_t* row = Row();
    for (int f = 0; f < h; f += band) {
      for (int j = 0; j < passes; ++j) {
        for (int g = 1; g <= colours; ++g) {
          block.currentPlane = 3 - g;
          if (passes == 2 && g == 1) Send(block.passSpacings[static_cast<std::size_t>(j)]);
          if (colours == 4) Send(block.colourSelections[static_cast<std::size_t>(g - 1)]);
          if (!fits) Send(block.rowHeader);
          int used = lead;
          std::memset(row, 0, static_cast<std::size_t>(lead));
          const long long total = static_cast<long long>(w) * (pins / 8);
          long long done = 0;
          for (int x = 0; x < w; ++x) {
            for (int i = 0; i < pins / 8; ++i) {
              int b = 0;
              for (int e = 0; e < 8; ++e) {
                const int y = f + j + passes * (8 * i + e);
                if (y < h && test(x, y)) b |= 0x80 >> e;
              }
              row[used++] = static_cast<std::uint8_t>(b);
              ++done;
              if (used == kRasterRowBytes && done < total) {
                SendRow(used);
                used = 0;
              }
            }
          }
          if (fits) {
            int n = used;
            while (n > 0 && row[n - 1] == 0) --n;
            DotRowLength(n);
            Send(block.rowHeader);
            SendRow(n);
          } else {
            SendRow(used);
          }
          Send(g == colours ? "\r\n" : "\r");
        }
        if (WriteFailed()) return;
      }
    }
  }
  Send(block.endOfPage);
}

RasterPixelTest ChooseRasterPixelTest() {
  const RasterPage& page = CurrentRasterPage();
  const PrinterCommandBlock& block = CurrentPrinterCommands();
  const int c = Model().printerClass;
  // Printed pixel (x, y) from the top of the paper to the page, row 0 at the bottom.
  const auto pagePixel = [&page](int x, int y, int& px, int& py) {
    if (HardcopyOption(5) == 1) {
      px = page.width - 1 - y;
      py = page.height - 1 - x;
    } else {
      px = x;
      py = page.height - 1 - y;
    }
  };
  if (c >= 7) {
    return [&page, &block, pagePixel](int x, int y) {
      int px = 0, py = 0;
      pagePixel(x, y, px, py);
      return page.Get(px, py, page.bitsPerPixel == 1 ? 0 : block.currentPlane) != 0;
    };
  }
  if (page.bitsPerPixel == 1) {
    return [&page, pagePixel](int x, int y) {
      int px = 0, py = 0;
      pagePixel(x, y, px, py);
      return page.Get(px, py) != 0;
    };
  }
  // The colour rule: a pixel of all three inks prints once, in black.
  return [&page, &block, pagePixel](int x, int y) {
    int px = 0, py = 0;
    pagePixel(x, y, px, py);
    const std::uint32_t v = page.Get(px, py, 0) | page.Get(px, py, 1) << 1 | page.Get(px, py, 2) << 2;
    if (block.currentPlane < 0) return v == 7;
    return v != 7 && ((v >> block.currentPlane) & 1u) != 0;
  };
}

void XXRAST::Select() {
  DriverParameters& dp = DriverParams();
  if (dp.P1 == -999) {
    dp.P1 = kDriverRasterPrinter;
    return;
  }
  RasterDriver(DriverOperation::Select);
  const DeviceModelState& m = Model();
  const bool page = m.printerClass >= 6;
  HardcopyOptionStore(1, 576);
  HardcopyOptionStore(2, 432);
  HardcopyOptionStore(3, page ? 100 : 0);
  HardcopyOptionStore(4, page ? 70 : 0);
  HardcopyOptionStore(5, page ? 1 : 0);
  HardcopyOptionStore(13, std::min(m.qualities, 2));
  HardcopyOptionStore(19, 3);
  HardcopyOptionStore(20, 0);
  HardcopyOptionStore(24, std::min(m.option24Limit, 2));
  dp.rasterQuality = HardcopyOption(13);
  dp.deviceColours = 1 << std::clamp(m.colourPlanes, 1, 3);
  dp.spoolCapable = 1;
  dp.capabilities[1] = std::string(kCapabilities);
  HardcopyFileName() = "parvplot.prn";
  HardcopyFileName().resize(kHardcopyNameLength, ' ');
  dp.driverNumber = kDriverRasterPrinter;
}

void XXRAST::Begin() {
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  if (dp.P2 <= 0) {
    RasterDriver(DriverOperation::BeginPicture);
    return;
  }
  if (HardcopyOption(13) == 0) {
    ReportLibraryError(kNoGraphics, "XXRAST");
    gs.hardcopyOn = 0;
    return;
  }
  const DeviceModelState& m = Model();
  RasterPage& page = CurrentRasterPage();
  dp.rasterPlanes = HardcopyOption(6) == 1 ? 1 : std::max(1, m.colourPlanes);
  page.planes = dp.rasterPlanes;
  page.bitsPerPixel = dp.rasterPlanes == 1 ? 1 : 3;
  if (dp.rasterPlanes == 1) dp.trueColour[1] = 0;
  page.colourKind = m.colourKind;
  page.background = m.colourKind == 1 && page.bitsPerPixel == 3 ? 0xFFFFFFFFu : 0u;
  const int c = m.printerClass;
  int q = std::max(1, dp.rasterQuality);
  for (;;) {
    const int r = QualityResolution(q);
    const double v = FeedResolution(r);
    const bool landscape = Landscape();
    const double across = landscape ? v : r, up = landscape ? r : v;
    const double w = std::trunc(across * HardcopyOption(1) / 72.0);
    const double h = std::trunc(up * HardcopyOption(2) / 72.0);
    bool fits = w > 0 && h > 0 && w <= 1e9 && h <= 1e9;
    if (fits) {
      page.width = static_cast<std::int32_t>(w);
      page.height = static_cast<std::int32_t>(h);
      page.resolutionX = static_cast<float>(v);
      page.resolutionY = static_cast<float>(r);
      const long long printedW = landscape ? page.height : page.width;
      // Printed rows must fit the count fields of the language.
      if (c >= 7) fits = (printedW + 7) / 8 <= kPclRowLimit;
      if (c == 6) fits = (printedW + 7) / 8 <= kEscP2RowLimit;
      if (c <= 5) {
        const long long lead = static_cast<long long>(r) * std::max(0, HardcopyOption(Landscape() ? 4 : 3)) / 72;
        fits = (c == 4 ? 3 * (printedW + lead) + 1 : printedW + lead) <= kDotCountLimit;
      }
      fits = fits && page.Allocate();
    }
    if (fits) {
      page.usableWords = page.totalWords;
      PrinterCommandBlock& block = CurrentPrinterCommands();
      block.printedWidth = landscape ? page.height : page.width;
      block.printedHeight = landscape ? page.width : page.height;
      RasterDriver(DriverOperation::BeginPicture);
      RasterDriver(DriverOperation::Clear);
      return;
    }
    page.words.clear();
    page.words.shrink_to_fit();
    if (q < m.qualities) {
      ++q;
      dp.rasterQuality = q;
      continue;
    }
    ReportLibraryError(kPageTooLarge, "XXRAST");
    gs.hardcopyOn = 0;
    return;
  }
}

void XXRAST::Output(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  switch (op) {
    case DriverOperation::BeginPicture:
      Begin();
      break;
    case DriverOperation::EndPage: {
      if (!dp.pageDirty) break;
      PrinterCommandBlock& block = CurrentPrinterCommands();
      RasterPrinterCommands(block.printedWidth, block.printedHeight);
      YYDUMP(2, ChooseRasterPixelTest());
      dp.pageDirty = 0;
      RasterDriver(DriverOperation::Clear);
      break;
    }
    default:
      RasterDriver(op);
      break;
  }
}

void XXRAST::Draw(DriverOperation op) { RasterDriver(op); }
void XXRAST::Attribute(DriverOperation op) { RasterDriver(op); }
void XXRAST::Text(DriverOperation op) { RasterDriver(op); }

}  // namespace tk
