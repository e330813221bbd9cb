// The software raster driver: lines, fills and pixels painted into the page
// in memory, in the page's own pixel format.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ImageLoad.h"
#include "toolkit/hardcopy/ColourShade.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HpglRecords.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/PolygonFill.h"
#include "toolkit/hardcopy/RasterPage.h"

namespace tk {

namespace {

constexpr int kImageNotLoaded = kImageUnsupported;

/// Truncation toward zero, held within the 32-bit range.
int TruncPixel(double v) {
  if (!(v == v)) return 0;
  constexpr double lo = std::numeric_limits<std::int32_t>::min();
  constexpr double hi = std::numeric_limits<std::int32_t>::max();
  return static_cast<int>(std::trunc(std::clamp(v, lo, hi)));
}
int PixelX(float x) { return TruncPixel(static_cast<double>(DriverParams().factorX) * x); }
int PixelY(float y) { return TruncPixel(static_cast<double>(DriverParams().factorY) * y); }

struct LineType {
  std::uint32_t pattern;
  int length;
};
constexpr std::array<LineType, 8> kLineTypes{{{0xFFF, 12},
                                              {0x104, 12},
                                              {0xE07, 12},
                                              {0x1E1, 12},
                                              {0x3C9, 12},
                                              {0xCE7, 12},
                                              {0x8E3, 12},
                                              {0x19CE7, 17}}};

constexpr std::array<std::uint32_t, 16> kOneBitCells{
    0xFFFFFFFF, 0xBFBFF7F7, 0x73CE7CC7, 0xC6EC3373, 0xE7EF7E7F, 0x7377EE67,
    0x676EE676, 0x311148C8, 0xEDED7777, 0xECEC3776, 0x6643CCC8, 0x64641313,
    0x3C669999, 0xC663366C, 0x32668CCC, 0x00000000};

int Mod(int a, int m) { return ((a % m) + m) % m; }

void CurrentDither(RasterPage& page) {
  std::int32_t w1 = 0, w2 = 0, w3 = 0;
  ColourToShade(page.colourKind, w1, w2, w3);
  page.dither = {static_cast<std::uint32_t>(w1), static_cast<std::uint32_t>(w2),
                 static_cast<std::uint32_t>(w3)};
}

/// The 3-bit value of an RGB colour: a bit per component at half strength.
std::uint32_t ThreeBit(int r, int g, int b) {
  return static_cast<std::uint32_t>((r >= 128) + 2 * (g >= 128) + 4 * (b >= 128));
}

void Colour(RasterPage& page) {
  const GraphicsState& gs = Gs();
  page.previousPixel = page.pixel;
  page.previousDither = page.dither;
  page.previousColourNumber = page.colourNumber;
  page.colourNumber = gs.current.number;
  CurrentDither(page);
  const int option6 = HardcopyOption(6);
  int r = 0, g = 0, b = 0;
  ColourToRgb(gs.colourMode == 1 ? gs.current.number : gs.current.rgb, r, g, b);
  switch (page.bitsPerPixel) {
    case 1:
      // The paper is white; pens whose palette entries were redefined (pen
      // 0 of the pen plotter is black) still ink.
      if (option6 == 0)
        page.pixel = r + 256 * g + 65536 * b == 0xFFFFFF ? 0 : 1;
      else
        page.pixel = gs.current.number == 223 ? 0 : 1;
      break;
    case 3: {
      std::uint32_t v = ThreeBit(r, g, b);
      if (option6 == 2 && (v == 0 || v == 7)) v = 7 - v;
      page.pixel = page.colourKind == 2 ? 7 - v : v;
      break;
    }
    case 4:
      page.pixel = RasterFourBitOfRgb(r + 256 * g + 65536 * b);
      break;
    case 8:
      page.pixel = static_cast<std::uint32_t>(gs.current.number) & 0xFF;
      break;
    default:
      page.pixel = static_cast<std::uint32_t>(r + 256 * g + 65536 * b);
      break;
  }
}

void SetFillWords(RasterPage& page) {
  const GraphicsState& gs = Gs();
  // Dither cells mark the lit (paper) dots; a one-bit page marks ink.
  const bool ink = page.pixelClass == 1;
  std::uint32_t first = ink ? ~page.dither[0] : page.dither[0];
  if (gs.glyphFill) {
    const bool inked = gs.current.number != 0;
    first = (inked != (HardcopyOption(6) != 0)) ? 0xFFFFFFFFu : 0u;
  }
  page.fillWords[0] = first;
  page.fillWords[1] =
      page.halftone ? (ink ? ~page.previousDither[0] : page.previousDither[0]) : first;
}

void LineTypeSet(RasterPage& page) {
  const int type = std::clamp(Gs().lineType, 0, 7);
  page.pattern = kLineTypes[type].pattern;
  page.patternLength = kLineTypes[type].length;
  page.solid = type == 0;
  page.patternBit = 0;
  page.patternCount = 1;
  page.dashUnitX = std::max(1, static_cast<int>(std::lround(page.resolutionX / 72.0f)));
  page.dashUnitY = std::max(1, static_cast<int>(std::lround(page.resolutionY / 72.0f)));
  page.lastX = page.lastY = -1;
}

void LineWidthSet(RasterPage& page) {
  const double option9 = HardcopyOption(9);
  const int wx = std::max(1, TruncPixel(option9 * page.resolutionX / 720.0 + 0.5));
  const int wy = std::max(1, TruncPixel(option9 * page.resolutionY / 720.0 + 0.5));
  page.columnThickness = wx - 1;
  page.rowThickness = wy - 1;
  if (HardcopyOption(5) == 1) std::swap(page.columnThickness, page.rowThickness);
  page.columnHalf = page.columnThickness / 2;
  page.rowHalf = page.rowThickness / 2;
}

void Clip(RasterPage& page) {
  const GraphicsState& gs = Gs();
  page.clipX0 = PixelX(gs.clipX0);
  page.clipX1 = PixelX(gs.clipX1);
  page.clipY0 = PixelY(gs.clipY0);
  page.clipY1 = PixelY(gs.clipY1);
}

void Clear(RasterPage& page) {
  if (page.words.empty()) return;
  const std::int64_t n =
      std::min<std::int64_t>(std::min(page.totalWords, page.usableWords) + 1,
                             static_cast<std::int64_t>(page.words.size()));
  std::fill_n(page.words.begin(), n, page.background);
}

void Begin(RasterPage& page) {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  if (dp.P2 > 0) {
    if (!OpenPlotOutput()) return;
    CurrentDither(page);
    RasterDitherTables();
    dp.deviceColours = page.bitsPerPixel >= 8 ? 256 : 1 << page.bitsPerPixel;
    page.lastX = page.lastY = -9999;
  }
  dp.factorX = static_cast<float>(page.width) / static_cast<float>(std::max(1, gs.width));
  dp.factorY = static_cast<float>(page.height) / static_cast<float>(std::max(1, gs.height));
}

void ShapeFill(RasterPage& page, DriverOperation op) {
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  if (dp.P2 == -1) return;
  dp.pageDirty = -1;
  if (gs.fillStyle < 3) {
    if (op == DriverOperation::EllipseHalftone) dp.P2 = -1;
    return;
  }
  page.halftone = gs.fillStyle == 3 && page.previousColourNumber != page.colourNumber;
  SetFillWords(page);
  const auto clipRow = [&](int y) { return y >= page.clipY0 && y <= page.clipY1; };
  switch (op) {
    case DriverOperation::EllipseHalftone:
    case DriverOperation::PieHalftone:
    case DriverOperation::PolygonHalftone:
      gs.fillRequestHardcopy = 1;
      dp.fillLineSpacing =
          static_cast<float>(gs.height) / static_cast<float>(std::max(1, page.height));
      break;
    case DriverOperation::RectangleHalftone: {
      const int x1 = PixelX(dp.X[0]), y1 = PixelY(dp.Y[0]);
      const int x2 = PixelX(dp.X[1]), y2 = PixelY(dp.Y[1]);
      const int xa = std::max(std::min(x1, x2), page.clipX0);
      const int xb = std::min(std::max(x1, x2), page.clipX1);
      for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y)
        if (clipRow(y)) RasterSpanFill(xa, xb, y);
      break;
    }
    case DriverOperation::TriangleHalftone:
    case DriverOperation::TrapeziumHalftone: {
      const int n = op == DriverOperation::TriangleHalftone ? 3 : 4;
      int px[4], py[4];
      for (int i = 0; i < n; ++i) px[i] = PixelX(dp.X[i]), py[i] = PixelY(dp.Y[i]);
      const int ylo = std::max(*std::min_element(py, py + n), page.clipY0);
      const int yhi = std::min(*std::max_element(py, py + n), page.clipY1);
      for (int y = ylo; y <= yhi; ++y) {
        int left = std::numeric_limits<int>::max(), right = std::numeric_limits<int>::min();
        for (int i = 0; i < n; ++i) {
          const int j = (i + 1) % n;
          if (y < std::min(py[i], py[j]) || y > std::max(py[i], py[j])) continue;
          if (py[i] == py[j]) {
            left = std::min({left, px[i], px[j]});
            right = std::max({right, px[i], px[j]});
            continue;
          }
          const int x = RasterEdgeX(px[i], py[i], px[j], py[j], y);
          left = std::min(left, x);
          right = std::max(right, x);
        }
        if (left > right) continue;
        RasterSpanFill(std::max(left, page.clipX0), std::min(right, page.clipX1), y);
      }
      break;
    }
    default:
      break;
  }
}

void Image(RasterPage& page) {
  DriverParameters& dp = DriverParams();
  const std::int64_t columns = dp.KX[1], rows = dp.KY[1];
  if (columns <= 0 || rows <= 0 || columns * rows > kRasterPageWordCap) {
    dp.P2 = kImageNotLoaded;
    dp.P1 = 0;
    return;
  }
  std::vector<std::int32_t> pixels(static_cast<std::size_t>(columns * rows), 0xFFFFFF);
  // The load reports nothing and leaves the toolkit's error record as it was.
  ToolkitErrorState& errors = ErrorState();
  const ToolkitErrorState kept = errors;
  errors.reportMode = kReportSilent;
  errors.lastError = 0;
  errors.systemError = 0;
  const std::string& name = DriverText();
  const std::size_t end = name.find_last_not_of(' ');
  const int length = end == std::string::npos ? 0 : static_cast<int>(end + 1);
  IGrLoadImageData(name, length, pixels);
  const std::int32_t code = errors.lastError, system = errors.systemError;
  errors = kept;
  if (code != 0) {
    dp.P2 = code;
    dp.P1 = system;
    return;
  }
  const std::int64_t clipRows = std::int64_t{page.clipY1} - page.clipY0 + 1;
  const std::int64_t clipColumns = std::int64_t{page.clipX1} - page.clipX0 + 1;
  for (int y = page.clipY0; clipRows > 0 && y <= page.clipY1; ++y) {
    const std::int64_t row = (std::int64_t{page.clipY1} - y) * rows / clipRows;
    for (int x = page.clipX0; clipColumns > 0 && x <= page.clipX1; ++x) {
      const std::int64_t column = (std::int64_t{x} - page.clipX0) * columns / clipColumns;
      RasterColourPixel(x, y, pixels[static_cast<std::size_t>(row * columns + column)]);
    }
  }
  dp.P2 = 0;
}

void SoftwareFill(RasterPage& page) {
  DriverParameters& dp = DriverParams();
  dp.pageDirty = -1;
  GradientPolygonBuffer& buf = GradientPolygon();
  const int n = std::clamp(dp.softwareFillCount, 0, kDriverMaxPoints);
  buf.Resize(n);  // the sender's colours stay
  for (int i = 0; i < n; ++i) {
    buf.x[i] = PixelX(dp.pointX[i]);
    buf.y[i] = PixelY(dp.pointY[i]);
    buf.realX[i] = dp.pointX[i];
    buf.realY[i] = dp.pointY[i];
  }
  PolygonFill(1, page.clipX0, page.clipY0, page.clipX1, page.clipY1, RasterColourPixel, {});
}

bool PatternOn(const RasterPage& page) { return (page.pattern >> page.patternBit) & 1u; }

void PatternAdvance(RasterPage& page, int unit) {
  if (++page.patternCount > unit) {
    page.patternBit = (page.patternBit + 1) % page.patternLength;
    page.patternCount = 1;
  }
}

}  // namespace

std::uint32_t RasterFourBitOfRgb(int rgb) {
  // The nearest of the 16-colour table, first entry on a tie. Its colour
  // number c is read back as 4 x plane 0 + 2 x plane 1 + plane 2 + 8 x plane 3.
  const int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
  int best = 0;
  long bestDistance = -1;
  for (int c = 0; c < 16; ++c) {
    const int e = PaletteSlot16(c);
    const long dr = r - (e & 0xFF), dg = g - ((e >> 8) & 0xFF), db = b - ((e >> 16) & 0xFF);
    const long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) best = c, bestDistance = d;
  }
  const auto c = static_cast<std::uint32_t>(best);
  return ((c >> 2) & 1u) | (((c >> 1) & 1u) << 1) | ((c & 1u) << 2) | (((c >> 3) & 1u) << 3);
}

bool RasterPage::Size() {
  switch (bitsPerPixel) {
    case 1: pixelClass = 1; break;
    case 3:
    case 4: pixelClass = 2; break;
    case 8: pixelClass = 3; break;
    default: pixelClass = 4; break;
  }
  if (width <= 0 || height <= 0 || planes <= 0) return false;
  const std::int64_t w = width;
  wordsPerRow = pixelClass <= 2 ? (w + 31) / 32 : pixelClass == 3 ? (w + 3) / 4 : w;
  wordsPerPlane = wordsPerRow * height;
  totalWords = wordsPerPlane * (pixelClass == 2 ? planes : 1);
  return totalWords + 1 <= kRasterPageWordCap;
}

bool RasterPage::Allocate() {
  words.clear();
  words.shrink_to_fit();
  if (!Size()) return false;
  try {
    words.assign(static_cast<std::size_t>(totalWords + 1), background);
  } catch (const std::bad_alloc&) {
    words.clear();
    return false;
  }
  return true;
}

std::uint32_t RasterPage::Get(int x, int y, int plane) const {
  if (x < 0 || y < 0 || x >= width || y >= height || words.empty()) return 0;
  switch (pixelClass) {
    case 1:
    case 2: {
      const std::int64_t i = x / 32 + y * wordsPerRow + plane * wordsPerPlane;
      return (words[static_cast<std::size_t>(i)] >> (x % 32)) & 1u;
    }
    case 3:
      return (words[static_cast<std::size_t>(x / 4 + y * wordsPerRow)] >> (8 * (x % 4))) & 0xFFu;
    default:
      return words[static_cast<std::size_t>(x + y * wordsPerRow)];
  }
}

RasterPage& CurrentRasterPage() {
  static RasterPage page;
  return page;
}

void RasterPixelSet(std::uint32_t value, int x, int y) {
  RasterPage& page = CurrentRasterPage();
  if (x < 0 || y < 0 || x >= page.width || y >= page.height || page.words.empty()) return;
  const std::int64_t row = static_cast<std::int64_t>(y) * page.wordsPerRow;
  switch (page.pixelClass) {
    case 1:
    case 2: {
      const std::uint32_t bit = 1u << (x % 32);
      const int planes = page.pixelClass == 1 ? 1 : page.planes;
      for (int p = 0; p < planes; ++p) {
        std::uint32_t& w = page.words[static_cast<std::size_t>(x / 32 + row + p * page.wordsPerPlane)];
        const bool on = page.pixelClass == 1 ? value != 0 : ((value >> p) & 1u) != 0;
        w = on ? (w | bit) : (w & ~bit);
      }
      break;
    }
    case 3: {
      std::uint32_t& w = page.words[static_cast<std::size_t>(x / 4 + row)];
      const int shift = 8 * (x % 4);
      w = (w & ~(0xFFu << shift)) | ((value & 0xFFu) << shift);
      break;
    }
    default:
      page.words[static_cast<std::size_t>(x + row)] = value;
      break;
  }
}

void RasterRunFill(std::uint32_t value, int x1, int y, int x2) {
  const RasterPage& page = CurrentRasterPage();
  x1 = std::max(x1, 0);
  x2 = std::min(x2, page.width - 1);
  for (int x = x1; x <= x2; ++x) RasterPixelSet(value, x, y);
}

void RasterSpanFill(int x1, int x2, int y) {
  RasterPage& page = CurrentRasterPage();
  if (y < 0 || y >= page.height) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, page.width - 1);
  if (x2 < x1) return;
  const auto bitIndex = [y](int x) { return Mod(y, 4) * 8 + Mod(x, 8); };
  if (page.pixelClass == 1) {
    for (int x = x1; x <= x2; ++x) {
      const int i = bitIndex(x);
      RasterPixelSet((page.fillWords[i % 2] >> i) & 1u, x, y);
    }
  } else if (page.pixelClass == 2 && page.bitsPerPixel == 3) {
    for (int x = x1; x <= x2; ++x) {
      const auto& words = page.halftone && (x + y) % 2 == 0 ? page.previousDither : page.dither;
      const int i = bitIndex(x);
      const std::uint32_t v =
          ((words[0] >> i) & 1u) | (((words[1] >> i) & 1u) << 1) | (((words[2] >> i) & 1u) << 2);
      RasterPixelSet(v, x, y);
    }
  } else if (!page.halftone) {
    RasterRunFill(page.pixel, x1, y, x2);
  } else {
    for (int x = x1; x <= x2; ++x)
      RasterPixelSet((x + y) % 2 == 0 ? page.previousPixel : page.pixel, x, y);
  }
}

int RasterEdgeX(int x1, int y1, int x2, int y2, int y) {
  const std::int64_t dx = static_cast<std::int64_t>(x2) - x1, dy = static_cast<std::int64_t>(y2) - y1;
  if (dy > 0) return static_cast<int>(x1 + dx * (y - y1) / dy);
  if (dy < 0) return static_cast<int>(x2 + dx * (y - y2) / dy);
  return 32767;
}

void RasterLine(int x1, int y1, int x2, int y2, bool skipFirst) {
  RasterPage& page = CurrentRasterPage();
  const std::int64_t dx = std::llabs(static_cast<std::int64_t>(x2) - x1);
  const std::int64_t dy = std::llabs(static_cast<std::int64_t>(y2) - y1);
  const int sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
  if (page.solid && dy == 0) {
    int xa = x1;
    if (skipFirst) {
      if (x1 == x2) return;
      xa += sx;
    }
    const int lo = std::max(std::min(xa, x2), page.clipX0), hi = std::min(std::max(xa, x2), page.clipX1);
    const int r0 = std::max(y1 - page.rowHalf, page.clipY0);
    const int r1 = std::min(y1 - page.rowHalf + page.rowThickness, page.clipY1);
    for (int y = r0; y <= r1; ++y) RasterRunFill(page.pixel, lo, y, hi);
    return;
  }
  if (page.solid && dx == 0) {
    int ya = y1;
    if (skipFirst) ya += sy;  // dy > 0 here
    const int lo = std::max(std::min(ya, y2), page.clipY0), hi = std::min(std::max(ya, y2), page.clipY1);
    const int c0 = std::max(x1 - page.columnHalf, page.clipX0);
    const int c1 = std::min(x1 - page.columnHalf + page.columnThickness, page.clipX1);
    for (int x = c0; x <= c1; ++x)
      for (int y = lo; y <= hi; ++y) RasterPixelSet(page.pixel, x, y);
    return;
  }
  const bool steep = dx < dy;
  // Steep lines step in y, shallow ones in x; the parallel strokes of a
  // thick line all start from the same pattern state.
  const std::int64_t major = steep ? dy : dx, minor = steep ? dx : dy;
  const int strokes = (steep ? page.columnThickness : page.rowThickness) + 1;
  const int half = steep ? page.columnHalf : page.rowHalf;
  const int unit = steep ? page.dashUnitY : page.dashUnitX;
  const int bit0 = page.patternBit, count0 = page.patternCount;
  for (int k = 0; k < strokes; ++k) {
    page.patternBit = bit0;
    page.patternCount = count0;
    int x = steep ? x1 - half + k : x1, y = steep ? y1 : y1 - half + k;
    std::int64_t err = major / 2;
    for (std::int64_t i = 0; i <= major; ++i) {
      if (i > 0 || !skipFirst) {
        if (PatternOn(page) && x >= page.clipX0 && x <= page.clipX1 && y >= page.clipY0 &&
            y <= page.clipY1)
          RasterPixelSet(page.pixel, x, y);
        PatternAdvance(page, unit);
      }
      err -= minor;
      if (err < 0) {
        err += major;
        if (steep)
          x = std::clamp(x + sx, page.clipX0 - 1, page.clipX1 + 1);
        else
          y = std::clamp(y + sy, page.clipY0 - 1, page.clipY1 + 1);
      }
      if (steep)
        y += sy;
      else
        x += sx;
    }
  }
}

void RasterColourPixel(int x, int y, int rgb) {
  RasterPage& page = CurrentRasterPage();
  int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
  const int option6 = HardcopyOption(6);
  const auto threeBit = [&](int cell) {
    const std::size_t entry = static_cast<std::size_t>(256 * (b / 16) + 16 * (g / 16) + r / 16);
    std::uint32_t v = 0;
    for (int c = 0; c < 3; ++c)
      if (page.ditherTables[c].size() > entry) v |= ((page.ditherTables[c][entry] >> cell) & 1u) << c;
    return v;
  };
  switch (page.bitsPerPixel) {
    case 1: {
      const int cell = Mod(x, 8) + 8 * Mod(y, 4);
      std::uint32_t v = threeBit(cell);
      if (option6 != 0 && (v == 0 || v == 7)) {
        v = 7 - v;
        r = 255 - r, g = 255 - g, b = 255 - b;
      }
      if (r >= 192 || g >= 192 || b >= 192) v += 8;
      RasterPixelSet((kOneBitCells[v] >> cell) & 1u, x, y);
      break;
    }
    case 3: {
      std::uint32_t v = threeBit(Mod(x, 8) + 8 * Mod(y, 4));
      if (option6 != 0 && (v == 0 || v == 7)) v = 7 - v;
      if (page.colourKind == 2) v = 7 - v;
      RasterPixelSet(v, x, y);
      break;
    }
    case 4:
      RasterPixelSet(RasterFourBitOfRgb(rgb), x, y);
      break;
    case 8:
      RasterPixelSet(static_cast<std::uint32_t>(PaletteNearestColour(rgb)), x, y);
      break;
    default:
      RasterPixelSet(static_cast<std::uint32_t>(rgb & 0xFFFFFF), x, y);
      break;
  }
}

void RasterDitherTables() {
  RasterPage& page = CurrentRasterPage();
  for (auto& t : page.ditherTables) t.assign(4096, 0);
  const auto level = [](int i) { return i == 0 ? 0 : 16 * i + 15; };
  for (int k = 0; k < 16; ++k)
    for (int j = 0; j < 16; ++j)
      for (int i = 0; i < 16; ++i) {
        const int r = level(i), g = level(j), b = level(k);
        const std::size_t e = static_cast<std::size_t>(256 * k + 16 * j + i);
        const std::uint32_t red = DitherWord(r / 255.0f, 2);
        const bool grey = std::max({r, g, b}) - std::min({r, g, b}) < 4;
        page.ditherTables[0][e] = red;
        page.ditherTables[1][e] = grey ? red : DitherWord(g / 255.0f, 3);
        page.ditherTables[2][e] = grey ? red : DitherWord(b / 255.0f, 4);
      }
}

void RasterDriver(DriverOperation op) {
  RasterPage& page = CurrentRasterPage();
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  if (IsHalftoneFill(op)) {
    ShapeFill(page, op);
    return;
  }
  switch (op) {
    case DriverOperation::Select:
      HardcopyOptionsReset();
      dp.deviceUnderline = 0;
      dp.deviceStringText = 0;
      dp.textAngles[1] = 0;
      dp.platformLevel[1] = 2;
      dp.deviceTextMaximum[1] = 0;
      dp.trueColour[1] = 1;
      dp.gradientFill[1] = 1;
      break;
    case DriverOperation::BeginPicture:
      Begin(page);
      break;
    case DriverOperation::EndOutput:
      PlotFileClose(2);
      page.words.clear();
      page.words.shrink_to_fit();
      break;
    case DriverOperation::Clear:
      Clear(page);
      break;
    case DriverOperation::ClipRectangle:
      Clip(page);
      break;
    case DriverOperation::Colour:
    case DriverOperation::PaletteReload:
      Colour(page);
      break;
    case DriverOperation::LineType:
      LineTypeSet(page);
      break;
    case DriverOperation::LineWidth:
      LineWidthSet(page);
      break;
    case DriverOperation::Line: {
      dp.pageDirty = -1;
      const int x1 = PixelX(dp.X[0]), y1 = PixelY(dp.Y[0]);
      const int x2 = PixelX(dp.X[1]), y2 = PixelY(dp.Y[1]);
      if (gs.fillRequestHardcopy == 0) {
        RasterLine(x1, y1, x2, y2, x1 == page.lastX && y1 == page.lastY);
        page.lastX = x2, page.lastY = y2;
      } else {
        RasterSpanFill(std::min(x1, x2), std::max(x1, x2), y1);
      }
      break;
    }
    case DriverOperation::Polyline: {
      dp.pageDirty = -1;
      const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
      if (n < 1) break;
      int x = PixelX(dp.pointX[0]), y = PixelY(dp.pointY[0]);
      bool skip = x == page.lastX && y == page.lastY;
      for (int i = 1; i < n; ++i) {
        const int nx = PixelX(dp.pointX[i]), ny = PixelY(dp.pointY[i]);
        RasterLine(x, y, nx, ny, skip);
        skip = true;
        x = nx, y = ny;
      }
      page.lastX = x, page.lastY = y;
      break;
    }
    case DriverOperation::Point: {
      dp.pageDirty = -1;
      const int x = PixelX(dp.X[0]), y = PixelY(dp.Y[0]);
      const int from = std::max(x - page.columnHalf, page.clipX0);
      const int to = std::min(x - page.columnHalf + page.columnThickness, page.clipX1);
      if (y >= page.clipY0 && y <= page.clipY1) RasterRunFill(page.pixel, from, y, to);
      page.lastX = x, page.lastY = y;
      break;
    }
    case DriverOperation::Image:
      dp.pageDirty = -1;
      Image(page);
      break;
    case DriverOperation::SoftwareFill:
      SoftwareFill(page);
      break;
    default:
      break;
  }
}

}  // namespace tk
