#include "toolkit/graphics/ImageEncode.h"

#include <algorithm>
#include <array>
#include <vector>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/PngHelpers.h"

namespace tk {

namespace {


void Put16(std::string& s, std::uint32_t v) {
  s += static_cast<char>(v & 255);
  s += static_cast<char>((v >> 8) & 255);
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
void PutBE32(std::string& s, std::uint32_t v) {
  std::array<std::uint8_t, 4> b{};
  StoreUInt32BE(v, b);
  s.append(reinterpret_cast<const char*>(b.data()), 4);
}

std::uint64_t Width(const RasterPageView& p) { return static_cast<std::uint64_t>(std::max(p.width, 0)); }

// Reading the page; words outside it read as 0.
std::uint32_t Word(const RasterPageView& p, std::int64_t i) {
  return i >= 0 && static_cast<std::uint64_t>(i) < p.words.size() ? p.words[static_cast<std::size_t>(i)] : 0u;
}
std::int64_t RowWord(const RasterPageView& p, std::int64_t row) { return row * p.wordsPerRow; }
bool Bit(const RasterPageView& p, std::int64_t rowWord, int plane, std::uint64_t x) {
  if (x >= Width(p)) return false;
  const std::uint32_t w = Word(p, rowWord + plane * p.wordsPerPlane + static_cast<std::int64_t>(x / 32));
  return ((w >> (x % 32)) & 1) != 0;
}
// Colour number of a 4-bit pixel: plane 3 (third of four) 1, plane 2 2, plane 1 4, plane 4 8.
std::uint32_t Colour4(const RasterPageView& p, std::int64_t rowWord, std::uint64_t x) {
  return (Bit(p, rowWord, 0, x) ? 4u : 0u) + (Bit(p, rowWord, 1, x) ? 2u : 0u) +
         (Bit(p, rowWord, 2, x) ? 1u : 0u) + (Bit(p, rowWord, 3, x) ? 8u : 0u);
}
std::uint32_t Byte8(const RasterPageView& p, std::int64_t rowWord, std::uint64_t x) {
  if (x >= Width(p)) return 0;
  return (Word(p, rowWord + static_cast<std::int64_t>(x / 4)) >> (8 * (x % 4))) & 255;
}
std::uint32_t Rgb24(const RasterPageView& p, std::int64_t rowWord, std::uint64_t x) {
  if (x >= Width(p)) return 0;
  return Word(p, rowWord + static_cast<std::int64_t>(x)) & 0xFFFFFF;
}

// The row's bytes as BMP and PNG lay them out: 1 bit 8 pixels a byte, first
// pixel in the most significant bit; 4 bits two a byte, first in the high
// nibble; 8 bits a byte; 24 bits three bytes, in RGB_ORDER (true: red first).
std::string PackedRow(const RasterPageView& p, std::int64_t row, bool redFirst) {
  const std::int64_t rw = RowWord(p, row);
  const std::uint64_t w = Width(p);
  std::string out;
  switch (p.bitsPerPixel) {
    case 1:
      out.assign((w + 7) / 8, '\0');
      for (std::uint64_t x = 0; x < w; ++x)
        if (Bit(p, rw, 0, x)) out[x / 8] = static_cast<char>(out[x / 8] | (0x80 >> (x % 8)));
      break;
    case 4:
      out.assign((w + 1) / 2, '\0');
      for (std::uint64_t x = 0; x < w; ++x)
        out[x / 2] = static_cast<char>(out[x / 2] | (Colour4(p, rw, x) << (x % 2 == 0 ? 4 : 0)));
      break;
    case 8:
      out.resize(w);
      for (std::uint64_t x = 0; x < w; ++x) out[x] = static_cast<char>(Byte8(p, rw, x));
      break;
    default:
      out.resize(3 * w);
      for (std::uint64_t x = 0; x < w; ++x) {
        const std::uint32_t v = Rgb24(p, rw, x);
        const char r = static_cast<char>(v & 255), g = static_cast<char>((v >> 8) & 255),
                   b = static_cast<char>((v >> 16) & 255);
        out[3 * x] = redFirst ? r : b;
        out[3 * x + 1] = g;
        out[3 * x + 2] = redFirst ? b : r;
      }
      break;
  }
  return out;
}

std::uint32_t TableEntries(int bits) { return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0; }
// Colour I of the page's table as packed RGB.
std::int32_t TableColour(int bits, int i) {
  if (bits == 1) return i == 0 ? 0xFFFFFF : 0;
  return bits == 4 ? PaletteSlot16(i) : PaletteGetRgb(i);
}

std::uint64_t PaddedRow(std::uint64_t bytes) { return (bytes + 3) / 4 * 4; }

// The run-length code of one BMP row (RLE8, or RLE4 with ROW the packed
// nibbles), ending with the end-of-line code.
std::string RleRow(const std::string& row, bool fourBits, std::uint64_t width) {
  const std::uint32_t g = fourBits ? 8 : 4, limit = fourBits ? 247 : 251;
  std::string out;
  std::size_t lastRun = std::string::npos;  // position of the last encoded run
  std::size_t i = 0;
  for (; i + 4 <= row.size(); i += 4) {
    const char b = row[i];
    if (row[i + 1] == b && row[i + 2] == b && row[i + 3] == b) {
      if (lastRun != std::string::npos && lastRun + 2 == out.size() && out[lastRun + 1] == b &&
          static_cast<std::uint8_t>(out[lastRun]) < limit) {
        out[lastRun] = static_cast<char>(static_cast<std::uint8_t>(out[lastRun]) + g);
      } else {
        lastRun = out.size();
        out += static_cast<char>(g);
        out += b;
      }
    } else {
      out += '\0';
      out += static_cast<char>(g);
      out.append(row, i, 4);
    }
  }
  // Under four bytes left: an encoded run of each byte's own pixels (an
  // absolute run would need three or more pixels and bytes past the row).
  for (; i < row.size(); ++i) {
    std::uint32_t pixels = fourBits ? 2 : 1;
    if (fourBits && i + 1 == row.size() && width % 2 == 1) pixels = 1;
    out += static_cast<char>(pixels);
    out += row[i];
  }
  if (out.size() % 2) out += '\0';
  out += std::string("\0\0", 2);
  return out;
}

std::string BmpHeadersImpl(const RasterPageView& p, int type) {
  const int bits = p.bitsPerPixel;
  const std::uint32_t entries = TableEntries(bits);
  const std::uint32_t table = 4 * entries;
  const std::uint64_t rowBytes = bits == 24 ? 3 * Width(p) : (Width(p) * static_cast<std::uint64_t>(bits) + 7) / 8;
  const std::uint64_t fileSize = 54 + table + static_cast<std::uint64_t>(std::max(p.height, 0)) * PaddedRow(rowBytes);
  const bool rle = type == 2 && (bits == 4 || bits == 8);
  std::string s = "BM";
  Put32(s, static_cast<std::uint32_t>(std::min<std::uint64_t>(fileSize, 0xFFFFFFFFu)));
  Put32(s, 0);
  Put32(s, 54 + table);
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(p.width));
  Put32(s, static_cast<std::uint32_t>(p.height));
  Put16(s, 1);
  Put16(s, static_cast<std::uint32_t>(bits));
  Put32(s, rle ? (bits == 4 ? 2u : 1u) : 0u);
  for (int i = 0; i < 5; ++i) Put32(s, 0);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::int32_t c = TableColour(bits, static_cast<int>(i));
    s += static_cast<char>((c >> 16) & 255);
    s += static_cast<char>((c >> 8) & 255);
    s += static_cast<char>(c & 255);
    s += '\0';
  }
  return s;
}

std::string BmpRowImpl(const RasterPageView& p, int type, std::int64_t row) {
  std::string r = PackedRow(p, row, false);
  if (type == 2 && (p.bitsPerPixel == 4 || p.bitsPerPixel == 8))
    return RleRow(r, p.bitsPerPixel == 4, Width(p));
  r.resize(PaddedRow(r.size()), '\0');
  return r;
}

int PcxPlanes(int bits) { return bits == 4 ? 4 : bits == 24 ? 3 : 1; }
int PcxBytesPerLine(const RasterPageView& p) {
  const std::uint64_t w = Width(p);
  std::uint64_t n = (p.bitsPerPixel == 1 || p.bitsPerPixel == 4) ? (w + 7) / 8 : w;
  if (n % 2) ++n;
  return static_cast<int>(std::min<std::uint64_t>(n, 0xFFFF));
}

std::string PcxHeaderImpl(const RasterPageView& p) {
  const int bits = p.bitsPerPixel;
  std::string s(128, '\0');
  s[0] = 10;
  s[1] = bits == 1 ? 3 : 5;
  s[2] = 1;
  s[3] = (bits == 1 || bits == 4) ? 1 : 8;
  std::string f;
  Put16(f, 0);
  Put16(f, 0);
  Put16(f, static_cast<std::uint32_t>(p.width - 1));
  Put16(f, static_cast<std::uint32_t>(p.height - 1));
  Put16(f, 75);
  Put16(f, 75);
  s.replace(4, f.size(), f);
  if (bits == 4)
    for (int i = 0; i < 16; ++i) {
      const std::int32_t c = PaletteSlot16(i);
      s[16 + 3 * i] = static_cast<char>(c & 255);
      s[17 + 3 * i] = static_cast<char>((c >> 8) & 255);
      s[18 + 3 * i] = static_cast<char>((c >> 16) & 255);
    }
  if (bits == 1)  // for the readers that take it: 0 black, 1 white
    for (int i = 3; i < 6; ++i) s[16 + i] = static_cast<char>(255);
  s[65] = static_cast<char>(PcxPlanes(bits));
  std::string g;
  const int bpl = PcxBytesPerLine(p);
  Put16(g, static_cast<std::uint32_t>(bpl));
  Put16(g, 0);
  Put16(g, static_cast<std::uint32_t>(bpl));
  Put16(g, static_cast<std::uint32_t>(p.height));
  s.replace(66, g.size(), g);
  return s;
}

// Page plane order of a PCX line: at 4 bits 3, 2, 1, 4 (0-based 2, 1, 0, 3),
// so that PCX plane values 1, 2, 4, 8 are the colour numbers' bits.
constexpr std::array<int, 4> kPcxPlaneOrder = {2, 1, 0, 3};

std::string PcxLineImpl(const RasterPageView& p, std::int64_t row) {
  std::string out;
  const int planes = PcxPlanes(p.bitsPerPixel), bpl = PcxBytesPerLine(p);
  for (int k = 0; k < planes; ++k)
    PcxRowEncode(p, RowWord(p, row), p.bitsPerPixel == 4 ? kPcxPlaneOrder[static_cast<std::size_t>(k)] : k,
                 bpl - 1, out);
  return out;
}

std::string PcxTrailerImpl(const RasterPageView& p) {
  if (p.bitsPerPixel != 8) return {};
  std::string s(1, '\x0C');
  for (int i = 0; i < 256; ++i) {
    const std::int32_t c = PaletteGetRgb(i);
    s += static_cast<char>(c & 255);
    s += static_cast<char>((c >> 8) & 255);
    s += static_cast<char>((c >> 16) & 255);
  }
  return s;
}

std::string PngChunk(std::string_view type, const std::string& data) {
  std::string s;
  PutBE32(s, static_cast<std::uint32_t>(data.size()));
  const std::size_t from = s.size();
  s.append(type);
  s += data;
  std::uint32_t crc = 0;
  PngChunkCrc(static_cast<std::int64_t>(s.size() - from), crc,
              {reinterpret_cast<const std::uint8_t*>(s.data()) + from, s.size() - from});
  PutBE32(s, crc);
  return s;
}

// Signature and header; PLTE; the compressed image (empty on failure).
std::string PngSignatureAndHeader(const RasterPageView& p) {
  std::string s = "\x89PNG\r\n\x1A\n";
  std::string ihdr;
  PutBE32(ihdr, static_cast<std::uint32_t>(p.width));
  PutBE32(ihdr, static_cast<std::uint32_t>(p.height));
  ihdr += static_cast<char>(std::min(p.bitsPerPixel, 8));
  ihdr += static_cast<char>(p.bitsPerPixel == 24 ? 2 : 3);
  ihdr += std::string(3, '\0');
  return s + PngChunk("IHDR", ihdr);
}
std::string PngPalette(const RasterPageView& p) {
  const std::uint32_t n = TableEntries(p.bitsPerPixel);
  if (n == 0) return {};
  std::string plte;
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::int32_t c = TableColour(p.bitsPerPixel, static_cast<int>(i));
    plte += static_cast<char>(c & 255);
    plte += static_cast<char>((c >> 8) & 255);
    plte += static_cast<char>((c >> 16) & 255);
  }
  return PngChunk("PLTE", plte);
}
std::string PngDataImpl(const RasterPageView& p) {
  std::string raw;
  for (std::int64_t row = p.height - 1; row >= 0; --row) {
    raw += '\0';
    raw += PackedRow(p, row, true);
  }
  const std::uint64_t size = raw.size();
  const std::uint64_t capacity = size + size / 1000 + 22;
  if (capacity > 0x7FFFFFFF) {
    ReportLibraryError(kErrZlib, "WCompress");
    return {};
  }
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(capacity));
  std::int32_t n = static_cast<std::int32_t>(capacity);
  WCompress({reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size()}, packed,
            static_cast<std::int32_t>(size), n);
  if (n <= 0) return {};
  return PngChunk("IDAT", std::string(reinterpret_cast<const char*>(packed.data()),
                                      static_cast<std::size_t>(n))) +
         PngChunk("IEND", "");
}

}  // namespace

ImagePageGeometry ImagePageLayout(std::int64_t width, std::int64_t height, int bits) {
  ImagePageGeometry g;
  g.width = static_cast<std::int32_t>(std::clamp<std::int64_t>(width, 0, 0x7FFFFFFF));
  g.height = static_cast<std::int32_t>(std::clamp<std::int64_t>(height, 0, 0x7FFFFFFF));
  g.bitsPerPixel = bits;
  g.planes = bits == 4 ? 4 : 1;
  g.pixelsPerWord = (bits == 1 || bits == 4) ? 32 : bits == 8 ? 4 : 1;
  g.wordsPerRow = (std::int64_t{g.width} + g.pixelsPerWord - 1) / g.pixelsPerWord;
  g.wordsPerPlane = g.wordsPerRow * g.height;
  g.totalWords = g.wordsPerPlane * g.planes;
  return g;
}

void PcxRowEncode(const RasterPageView& p, std::int64_t rowWord, int plane, int bytesPerLineM1,
                  std::string& out) {
  const std::uint64_t n = static_cast<std::uint64_t>(std::max(bytesPerLineM1, -1) + 1);
  const auto byteAt = [&](std::uint64_t i) -> std::uint32_t {
    switch (p.bitsPerPixel) {
      case 1:
      case 4: {
        std::uint32_t v = 0;
        for (std::uint64_t j = 0; j < 8; ++j)
          if (Bit(p, rowWord, p.bitsPerPixel == 1 ? 0 : plane, i * 8 + j)) v |= 128u >> j;
        // A 1-bit PCX has no palette of its own: its readers take 0 as black
        // and 1 as white, so the ink (page bit 1) is written as 0.
        if (p.bitsPerPixel == 1) v = ~v & 0xFFu;
        return v;
      }
      case 8:
        return Byte8(p, rowWord, i);
      default:
        return (Rgb24(p, rowWord, i) >> (8 * plane)) & 255;
    }
  };
  std::uint64_t i = 0;
  while (i < n) {
    const std::uint32_t v = byteAt(i);
    std::uint64_t run = 1;
    while (i + run < n && run < 63 && byteAt(i + run) == v) ++run;
    if (run > 1 || v >= 0xC0) out += static_cast<char>(0xC0 + run);
    out += static_cast<char>(v);
    i += run;
  }
}

std::string BmpHeaderBytes(const RasterPageView& page, int type) { return BmpHeadersImpl(page, type); }
std::string BmpRowBytes(const RasterPageView& page, int type, std::int64_t row) {
  return BmpRowImpl(page, type, row);
}
std::string BmpEndBytes(const RasterPageView& page, int type) {
  return type == 2 && (page.bitsPerPixel == 4 || page.bitsPerPixel == 8) ? std::string("\0\1", 2)
                                                                         : std::string();
}
std::string PcxHeaderBytes(const RasterPageView& page) { return PcxHeaderImpl(page); }
std::string PcxLineBytes(const RasterPageView& page, std::int64_t row) { return PcxLineImpl(page, row); }
std::string PcxTrailerBytes(const RasterPageView& page) { return PcxTrailerImpl(page); }
std::string PngHeadBytes(const RasterPageView& page) {
  return PngSignatureAndHeader(page) + PngPalette(page);
}
std::string PngDataBytes(const RasterPageView& page) { return PngDataImpl(page); }

std::string BmpImageBytes(const RasterPageView& page, int type) {
  std::string s = BmpHeaderBytes(page, type);
  for (std::int64_t row = 0; row < page.height; ++row) s += BmpRowBytes(page, type, row);
  return s + BmpEndBytes(page, type);
}

std::string PcxImageBytes(const RasterPageView& page) {
  std::string s = PcxHeaderBytes(page);
  for (std::int64_t row = page.height - 1; row >= 0; --row) s += PcxLineBytes(page, row);
  return s + PcxTrailerBytes(page);
}

std::string PngImageBytes(const RasterPageView& page) {
  std::string data = PngDataBytes(page);
  if (data.empty()) return {};
  return PngHeadBytes(page) + data;
}

}  // namespace tk
