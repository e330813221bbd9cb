// Image loading: BMP, PCX and PNG decoded to packed RGB, against fixtures
// made by ImageMagick (decoded again by ImageMagick for the expected pixels)
// and small files made by hand for the edge cases.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "tests/toolkit/ImageTools.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/ImageLoad.h"

namespace tk::testing {
namespace {

using namespace ::testing_support;

std::string LE16(unsigned v) { return {char(v & 255), char((v >> 8) & 255)}; }
std::string LE32(std::uint32_t v) { return LE16(v & 0xFFFF) + LE16(v >> 16); }
std::string BE32(std::uint32_t v) {
  return {char(v >> 24), char((v >> 16) & 255), char((v >> 8) & 255), char(v & 255)};
}
std::span<const std::uint8_t> Span(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}
constexpr std::int32_t Rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

struct Decoded {
  std::int32_t status = -1;
  std::int32_t w = 0, h = 0;
  std::vector<std::int32_t> px;
};

Decoded Decode(const std::string& file, std::int32_t fill = 0x123456) {
  Decoded d;
  if (!ImageDataSize(Span(file), d.w, d.h)) d.w = d.h = 0;
  d.px.assign(static_cast<std::size_t>(std::max(d.w, 0) * std::max(d.h, 0)), fill);
  d.status = DecodeImageData(Span(file), d.px);
  return d;
}

// BMP with a 40-byte header; TABLE entries of (r, g, b); ROWS as stored.
std::string Bmp(int w, int h, int bits, std::uint32_t compression,
                const std::vector<std::array<int, 3>>& table, const std::string& rows) {
  const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(table.size());
  std::string s = "BM" + LE32(offset + static_cast<std::uint32_t>(rows.size())) + LE32(0) +
                  LE32(offset) + LE32(40) + LE32(static_cast<std::uint32_t>(w)) +
                  LE32(static_cast<std::uint32_t>(h)) + LE16(1) +
                  LE16(static_cast<unsigned>(bits)) + LE32(compression) + LE32(0) + LE32(0) +
                  LE32(0) + LE32(0) + LE32(0);
  for (const auto& c : table) s += {char(c[2]), char(c[1]), char(c[0]), 0};
  return s + rows;
}

std::string PcxHeader(int w, int h, int bits, int planes, int bpl,
                      const std::vector<std::array<int, 3>>& table16 = {}) {
  std::string s(128, '\0');
  s[0] = 10;
  s[1] = 5;
  s[2] = 1;
  s[3] = static_cast<char>(bits);
  s.replace(8, 4, LE16(static_cast<unsigned>(w - 1)) + LE16(static_cast<unsigned>(h - 1)));
  for (std::size_t i = 0; i < table16.size(); ++i)
    for (int k = 0; k < 3; ++k) s[16 + 3 * i + static_cast<std::size_t>(k)] = static_cast<char>(table16[i][static_cast<std::size_t>(k)]);
  s[65] = static_cast<char>(planes);
  s.replace(66, 2, LE16(static_cast<unsigned>(bpl)));
  return s;
}

std::string Chunk(const std::string& type, const std::string& data);
std::string Png(int w, int h, int depth, int type, const std::string& raw,
                const std::string& plte = "", int interlace = 0);

}  // namespace
}  // namespace tk::testing

#include <zlib.h>

namespace tk::testing {
namespace {

std::string Chunk(const std::string& type, const std::string& data) {
  const std::string td = type + data;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(td.data()), static_cast<uInt>(td.size()));
  return BE32(static_cast<std::uint32_t>(data.size())) + td + BE32(static_cast<std::uint32_t>(crc));
}

std::string Png(int w, int h, int depth, int type, const std::string& raw, const std::string& plte,
                int interlace) {
  std::string ihdr = BE32(static_cast<std::uint32_t>(w)) + BE32(static_cast<std::uint32_t>(h));
  ihdr += {char(depth), char(type), 0, 0, char(interlace)};
  uLongf n = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(n, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &n, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  packed.resize(n);
  std::string s = "\x89PNG\r\n\x1A\n" + Chunk("IHDR", ihdr);
  if (!plte.empty()) s += Chunk("PLTE", plte);
  return s + Chunk("IDAT", packed) + Chunk("IEND", "");
}

// --- fixtures made by ImageMagick ----------------------------------------

bool HaveImageMagick() { return image_tools::Have("convert"); }

// A picture of W x H pixels in N colours (2: black and white).
std::string Ppm(int w, int h, int n) {
  std::ostringstream o;
  o << "P6 " << w << " " << h << " 255\n";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int i = (x * 3 + y * 5) % n;
      if (n == 2) {
        const char v = ((x + y) % 2) ? char(255) : char(0);
        o << v << v << v;
      } else {
        o << char(i * 37 % 256) << char(i * 91 % 256) << char(i * 53 % 256);
      }
    }
  return o.str();
}

using image_tools::ToolPixels;

struct ToolCase {
  const char* name;
  int colours;
  const char* options;  // ImageMagick's output options and format
  bool rgb565 = false;
};
void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.name; }

// Each case a picture made by ImageMagick at two widths (one needing row
// padding), decoded by us and by ImageMagick again.
constexpr ToolCase kToolCases[] = {
    {"BMP 1 bit", 2, "-type Bilevel BMP3:"},
    {"BMP 4 bits", 10, "-type Palette BMP3:"},
    {"BMP 8 bits", 20, "-type Palette -compress None BMP3:"},
    {"BMP RLE8", 20, "-type Palette -compress RLE BMP3:"},
    {"BMP RLE8 few colours", 10, "-type Palette -compress RLE BMP3:"},
    {"BMP 24 bits", 20, "-type TrueColor BMP3:"},
    {"PCX 8 bits", 20, "-type Palette PCX:"},
    {"PCX 24 bits", 20, "-type TrueColor PCX:"},
    {"PNG palette 1 bit", 2, "-define png:bit-depth=1 -define png:color-type=3 PNG:"},
    {"PNG palette 2 bits", 2, "-define png:bit-depth=2 -define png:color-type=3 PNG:"},
    {"PNG palette 4 bits", 10, "-define png:bit-depth=4 -define png:color-type=3 PNG:"},
    {"PNG palette 8 bits", 20, "PNG8:"},
    {"PNG RGB 8", 20, "PNG24:"},
    {"PNG RGB 16", 20, "PNG48:"},
    {"PNG RGBA", 20, "PNG32:"},
    {"PNG filter none", 20, "-quality 90 PNG24:"},
    {"PNG filter sub", 20, "-quality 91 PNG24:"},
    {"PNG filter up", 20, "-quality 92 PNG24:"},
    {"PNG filter average", 20, "-quality 93 PNG24:"},
    {"PNG filter paeth", 20, "-quality 94 PNG24:"},
};

class ImageLoadFromImageMagick : public ::testing::TestWithParam<ToolCase> {};

TEST_P(ImageLoadFromImageMagick, DecodesToItsPixels) {
  if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick absent";
  const ToolCase& c = GetParam();
  TempDir dir;
  for (const int width : {13, 16}) {
    SCOPED_TRACE("width " + std::to_string(width));
    const auto src = dir / "src.ppm";
    WriteFile(src, Ppm(width, 7, c.colours));
    const auto out = dir / "out.img";
    std::string opts = c.options;
    const std::size_t colon = opts.rfind(' ');
    const std::string format = colon == std::string::npos ? opts : opts.substr(colon + 1);
    const std::string flags = colon == std::string::npos ? "" : opts.substr(0, colon);
    ASSERT_EQ(std::system(("convert '" + src.string() + "' " + flags + " " + format + "'" +
                           out.string() + "'")
                              .c_str()),
              0);
    int w = 0, h = 0;
    const auto want = ToolPixels(out, w, h);
    ASSERT_EQ(want.size(), static_cast<std::size_t>(width * 7));
    const Decoded d = Decode(ReadFile(out));
    EXPECT_EQ(d.status, 0);
    ASSERT_EQ(d.w, w);
    ASSERT_EQ(d.h, h);
    if (!c.rgb565) {
      EXPECT_EQ(d.px, want);
      continue;
    }
    // ImageMagick widens 5 and 6 bits to 8 by v x 255 / max; we take v x 8, green v x 4.
    for (std::size_t i = 0; i < want.size(); ++i) {
      const int r = want[i] & 255, g = (want[i] >> 8) & 255, b = (want[i] >> 16) & 255;
      const auto to = [](int v, int max, int scale) { return (v * max + 127) / 255 * scale; };
      EXPECT_EQ(d.px[i], Rgb(to(r, 31, 8), to(g, 63, 4), to(b, 31, 8))) << i;
    }
  }
}

// Test names from the case names: letters and digits only.
std::string ToolCaseName(const ::testing::TestParamInfo<ToolCase>& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p)
    if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ImageLoadFromImageMagick, ::testing::ValuesIn(kToolCases),
                         ToolCaseName);

// --- edge cases made by hand ---------------------------------------------

TEST(ImageLoadTest, BmpRunLengthDeltasRowsAndClipping) {
  const std::vector<std::array<int, 3>> table = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  const std::int32_t K = 0x123456, R = Rgb(255, 0, 0), G = Rgb(0, 255, 0), B = Rgb(0, 0, 255);
  // RLE8, 4 x 3: bottom row "2 red, delta (1, 1)", then "1 green" on the
  // middle row at column 3, an absolute run of 3 padded to 4 on the top row,
  // and a run of 9 that would run past the width.
  std::string rle8;
  rle8 += std::string("\x02\x01", 2) + std::string("\x00\x02\x01\x01", 4) +
          std::string("\x01\x02", 2) + std::string("\x00\x00", 2) +
          std::string("\x00\x03\x03\x02\x01\x00", 6) + std::string("\x09\x02", 2) +
          std::string("\x00\x01", 2);
  Decoded d = Decode(Bmp(4, 3, 8, 1, table, rle8), K);
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{B, G, R, G,   // top row: absolute run, then 9 x green cut at width
                                             K, K, K, G,   // middle: the delta skipped columns 0-2
                                             R, R, K, K}));  // bottom: 2 red, rest skipped
  // RLE4: nibbles alternate high first; an absolute run of 3 nibbles is 2 bytes.
  std::string rle4 = std::string("\x03\x12", 2) + std::string("\x00\x00", 2) +
                     std::string("\x00\x03\x31\x20", 4) + std::string("\x00\x01", 2);
  d = Decode(Bmp(4, 2, 4, 2, table, rle4), K);
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{B, R, G, K, R, G, R, K}));
  // A delta past the picture ends the storing, never writes outside.
  std::string far = std::string("\x00\x02\xFF\xFF", 4) + std::string("\x05\x01", 2);
  d = Decode(Bmp(4, 2, 8, 1, table, far), K);
  EXPECT_EQ(d.px, std::vector<std::int32_t>(8, K));

  // 16 bits: 5-5-5 without compression, 5-6-5 with bitfields, each field x 8, green x 4 in 5-6-5.
  const std::uint16_t p555 = (31 << 10) | (1 << 5) | 2, p565 = (1 << 11) | (63 << 5) | 3;
  d = Decode(Bmp(1, 1, 16, 0, {}, LE16(p555) + LE16(0)));
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{Rgb(248, 8, 16)}));
  d = Decode(Bmp(1, 1, 16, 3, {}, LE16(p565) + LE16(0)));
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{Rgb(8, 252, 24)}));
  // 32 bits: blue, green, red, unused.
  d = Decode(Bmp(1, 1, 32, 0, {}, std::string("\x01\x02\x03\x04", 4)));
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{Rgb(3, 2, 1)}));
  // A negative height (rows top first) decodes no rows.
  std::vector<std::int32_t> px(4, K);
  EXPECT_EQ(DecodeImageData(Span(Bmp(2, -2, 24, 0, {}, std::string(16, '\x7F'))), px), 0);
  EXPECT_EQ(px, std::vector<std::int32_t>(4, K));
}

TEST(ImageLoadTest, PcxPlanesAndOddWidths) {
  const std::int32_t W = 16777215;
  // 1 bit, width 10: 2 bytes per line, set bits are white.
  std::string one = PcxHeader(10, 2, 1, 1, 2) + std::string("\xC1\xA0\x40", 3) + "\xC2\xFF";
  Decoded d = Decode(one, 5);
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{W, 0, W, 0, 0, 0, 0, 0, 0, W,  //
                                             W, W, W, W, W, W, W, W, W, W}));
  // Four 1-bit planes: plane k adds 2^k; the header's 16 colours.
  std::vector<std::array<int, 3>> t16(16);
  for (int i = 0; i < 16; ++i) t16[static_cast<std::size_t>(i)] = {i, 2 * i, 3 * i};
  std::string four = PcxHeader(3, 1, 1, 4, 2, t16) +
                     std::string("\x80\x00\x40\x00\x20\x00\xC1\xE0\x00", 9);
  d = Decode(four);
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{Rgb(9, 18, 27), Rgb(10, 20, 30), Rgb(12, 24, 36)}));
  // 24 bits, width 3 with 4 bytes per line: the padding of each plane is skipped.
  std::string rgb = PcxHeader(3, 2, 8, 3, 4) +
                    std::string("\x01\x02\x03\x00\x04\x05\x06\x00\x07\x08\x09\x00", 12) +
                    "\xC4\x0A\xC4\x0B\xC4\x0C";
  d = Decode(rgb);
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{Rgb(1, 4, 7), Rgb(2, 5, 8), Rgb(3, 6, 9),
                                             Rgb(10, 11, 12), Rgb(10, 11, 12), Rgb(10, 11, 12)}));
  // 8 bits without the palette marker: error 2 and nothing decoded.
  ResetErrorState();
  std::string eight = PcxHeader(2, 1, 8, 1, 2) + "\x01\x02" + std::string(769, '\0');
  d = Decode(eight, 5);
  EXPECT_EQ(d.status, kErrReadWrite);
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{5, 5}));
  eight[130] = 12;
  eight[130 + 1 + 3 * 2] = 9;
  d = Decode(eight, 5);
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{0, Rgb(9, 0, 0)}));
}

TEST(ImageLoadTest, PngPaletteRowsAndMissingPalette) {
  // 1 bit, width 10: two bytes a row, the low six bits of the second ignored.
  const std::string plte = std::string("\x00\x00\x00\xFF\xFF\xFF", 6);
  std::string raw = std::string("\x00\xA5\xFF", 3) + std::string("\x00\x00\x7F", 3);
  Decoded d = Decode(Png(10, 2, 1, 3, raw, plte));
  const std::int32_t W = Rgb(255, 255, 255);
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{W, 0, W, 0, 0, W, 0, W, W, W,  //
                                             0, 0, 0, 0, 0, 0, 0, 0, 0, W}));
  // Without PLTE every index is black, also after a call that had a palette.
  d = Decode(Png(2, 1, 8, 3, std::string("\x00\x01\x00", 3)), 5);
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{0, 0}));
  // A 16-bit sample is its high byte; alpha is dropped.
  d = Decode(Png(1, 1, 16, 6, std::string("\x00\x12\xFF\x34\xFF\x56\xFF\x00\x00", 9)));
  EXPECT_EQ(d.px, (std::vector<std::int32_t>{Rgb(0x12, 0x34, 0x56)}));
}

struct BadCase {
  const char* name;
  std::string file;
  std::int32_t status;
};

TEST(ImageLoadTest, UnsupportedAndHostileFiles) {
  const std::string rgbRow = std::string("\x00\x01\x02\x03", 4);
  const std::vector<BadCase> cases = {
      {"GIF", "GIF89a\x01\x00\x01\x00\x00\x00\x00", 27},
      {"JPEG", "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00", 27},
      {"interlaced PNG", Png(1, 1, 8, 2, rgbRow, "", 1), 27},
      {"grey PNG", Png(1, 1, 8, 0, std::string("\x00\x01", 2)), 27},
      {"RGB at depth 4", Png(1, 1, 4, 2, rgbRow), 27},
      {"palette at depth 16", Png(1, 1, 16, 3, rgbRow), 27},
      {"PNG of 2^31 x 2^31", Png(0x7FFFFFFF, 0x7FFFFFFF, 8, 2, rgbRow), 27},
      {"BMP wider than the caller's array can hold", Bmp(1 << 30, 1 << 20, 24, 0, {}, ""), 27},
      {"PCX bytes per line below the width", PcxHeader(100, 1, 8, 1, 10) + std::string(800, '\x0C'),
       27},
      {"PCX of 2 bits", PcxHeader(4, 1, 2, 1, 2) + "\x00\x00", 27},
  };
  std::vector<std::int32_t> px(64, 7);
  for (const auto& c : cases) {
    ResetErrorState();
    EXPECT_EQ(DecodeImageData(Span(c.file), px), c.status) << c.name;
    EXPECT_EQ(WErrorStatusQuery(1), c.status) << c.name;
    EXPECT_EQ(px, std::vector<std::int32_t>(64, 7)) << c.name;
  }
  // IDAT beyond the buffer sized from the header: error 2.
  std::string big = Png(1, 1, 8, 2, rgbRow);
  const std::size_t iend = big.size() - 12;
  big.insert(iend, Chunk("IDAT", std::string(64, 'x')));
  ResetErrorState();
  EXPECT_EQ(DecodeImageData(Span(big), px), kErrReadWrite);
  // Damaged compressed data: 1044 from the expander.
  std::string damaged = Png(1, 1, 8, 2, rgbRow);
  damaged[damaged.size() - 12 - 12] ^= 0x55;
  EXPECT_EQ(DecodeImageData(Span(damaged), px), kErrZlib);
}

TEST(ImageLoadTest, TruncatedFilesEndSilently) {
  const std::vector<std::array<int, 3>> table = {{0, 0, 0}, {255, 255, 255}};
  const std::vector<std::string> whole = {
      Bmp(4, 4, 8, 0, table, std::string(16, '\x01')),
      Bmp(4, 4, 8, 1, table, std::string("\x04\x01\x00\x00\x04\x01\x00\x00\x04\x01\x00\x01", 12)),
      PcxHeader(4, 4, 8, 3, 4) + std::string(48, '\x05'),
      PcxHeader(4, 4, 1, 1, 2) + std::string(8, '\x55'),
      Png(4, 4, 8, 2, std::string(4 * 13, '\x02')),
  };
  for (const auto& file : whole) {
    for (std::size_t n = 1; n < file.size(); n += 3) {
      std::vector<std::int32_t> px(16, 7);
      ResetErrorState();
      bool cut = false;
      const std::int32_t rc = DecodeImageData(Span(file.substr(0, n)), px, &cut);
      // Cut inside the header the type or size is unknown (27); later cuts
      // are silent, but known to the caller that asks.
      if (rc != 0) {
        EXPECT_EQ(rc, 27) << n;
      } else if (n + 4 <= file.size()) {  // a PNG's last CRC is not needed
        EXPECT_TRUE(cut) << n << " of " << file.size();
        EXPECT_EQ(WErrorStatusQuery(1), 0) << n;
      }
    }
    std::vector<std::int32_t> px(16, 7);
    bool cut = true;
    EXPECT_EQ(DecodeImageData(Span(file), px, &cut), 0);
    EXPECT_FALSE(cut);
  }
}

TEST(ImageLoadTest, LoadsByNameAndReportsMissingFiles) {
  TempDir dir;
  WriteFile(dir / "a.png", Png(2, 1, 8, 2, std::string("\x00\x01\x02\x03\x04\x05\x06", 7)));
  const std::string name = (dir / "a.png").string();
  std::vector<std::int32_t> px(2, 0);
  IGrLoadImageData(name + "  ", static_cast<int>(name.size()) + 2, px);
  EXPECT_EQ(px, (std::vector<std::int32_t>{Rgb(1, 2, 3), Rgb(4, 5, 6)}));
  ResetErrorState();
  IGrLoadImageData("/nonexistent.png", 16, px);
  EXPECT_EQ(WErrorStatusQuery(1), 27);
}

}  // namespace
}  // namespace tk::testing
