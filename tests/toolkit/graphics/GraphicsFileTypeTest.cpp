// Graphics file identification: type codes in their test order, the extents
// of each type, the picture counters, the CGM information and the tokens.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/GraphicsFileType.h"

namespace tk::testing {
namespace {

using namespace ::testing_support;
using Info = std::array<std::int32_t, 6>;

Info Identify(const std::string& bytes, int n = 6) {
  Info info{};
  info.fill(99);
  GraphicsFileTypeOfBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
                          info, n);
  return info;
}

std::string LE16(unsigned v) { return {char(v & 255), char((v >> 8) & 255)}; }
std::string LE32(std::uint32_t v) { return LE16(v & 0xFFFF) + LE16(v >> 16); }
std::string BE16(unsigned v) { return {char((v >> 8) & 255), char(v & 255)}; }
std::string BE32(std::uint32_t v) { return BE16(v >> 16) + BE16(v & 0xFFFF); }
std::string At(std::string s, std::size_t at, const std::string& put) {
  if (s.size() < at + put.size()) s.resize(at + put.size(), '\0');
  s.replace(at, put.size(), put);
  return s;
}

std::string BmpHeader(std::uint32_t infoSize, int w, int h, int bits, std::uint32_t compression) {
  std::string s = "BM";
  s = At(s, 14, LE32(infoSize));
  s = At(s, 18, LE32(static_cast<std::uint32_t>(w)));
  s = At(s, 22, LE32(static_cast<std::uint32_t>(h)));
  s = At(s, 26, LE16(1));
  s = At(s, 28, LE16(static_cast<unsigned>(bits)));
  s = At(s, 30, LE32(compression));
  return At(s, 60, "");
}

std::string PngHeader(std::uint32_t w, std::uint32_t h, int depth, int type, int interlace = 0) {
  std::string s = "\x89PNG\r\n\x1A\n";
  s += BE32(13) + "IHDR" + BE32(w) + BE32(h);
  s += {char(depth), char(type), 0, 0, char(interlace)};
  return s + BE32(0);
}

std::string CgmElement(int cls, int id, const std::string& params) {
  std::string s = BE16(static_cast<unsigned>((cls << 12) | (id << 5) | static_cast<int>(params.size())));
  s += params;
  if (params.size() % 2) s += '\0';
  return s;
}

std::string Cgm(const std::string& body) {
  return CgmElement(0, 1, std::string("\x03" "abc", 4)) + body + CgmElement(0, 2, "");
}

struct TypeCase {
  const char* name;
  std::string bytes;
  Info want;  // items 1-6
};

TEST(GraphicsFileTypeTest, TypesAndExtentsTable) {
  const std::string emf = At(At(At(LE32(1), 24, LE32(0) + LE32(0) + LE32(2539) + LE32(5079)), 40,
                                LE32(0x464D4520u)),
                             80, "");
  const std::string placeable = At(At(LE32(0x9AC6CDD7u), 6,
                                      LE16(0) + LE16(0) + LE16(1439) + LE16(719) + LE16(1440)),
                                   40, "");
  const std::string pcx8 = At(At(At(At(std::string("\x0A\x05\x01\x08", 4), 4,
                                       LE16(0) + LE16(0) + LE16(640) + LE16(479)),
                                    65, "\x01"),
                                 66, LE16(642)),
                              128, "");
  const std::string pic = At(std::string("\x01\0\0\0\x01\0\x08\0\x44\0\0\0\0\x0C", 14), 16,
                             std::string("\0\x60\x30\x00\x01\x02\x03\x04\x60", 9));
  const std::string draw = At(At("Draw", 40, LE32(6400) + LE32(3200)), 60, "");
  const std::vector<TypeCase> cases = {
      {"4 blanks", "    ", {0, -1, -1, -1, -1, -1}},
      {"blanks and NUL only", std::string("  \0\0  \0 ", 8), {0, -1, -1, -1, -1, -1}},
      {"HP-GL without model: no size despite IP",
       "IN; IP    100    100   1115   2131\r\nSP1;\r\n",
       {4, -1, -1, -1, -1, 1}},
      {"HP-GL with model 2 and two pages",
       "  IN; IP      0      0   1020   2041\r\nRO90; IP      0      0   1020   2041\r\nSC-2 9 0 32760\r\n"
       "SC-13 2 0 0\r\nPU0 0;\r\nSC-3 1 0 0\r\nSC-3 2 0 0\r\n",
       {4, 72, 144, 6, 2, 2}},
      {"HP-GL model 6: 8 pens",
       "IN;\r\nSC-13 6 0 0\r\nIN; IP      0      0  10159   7619\r\n",
       {4, 720, 540, 8, 6, 1}},
      {"HP-GL/2 device 3 through a comment",
       "\x1B%0B\r\nCO: my title\r\nIN; IP      0      0   1015   2031\r\nCO\"13 3\"\r\n"
       "CO\"3   1\"\r\nCO\"3   2\"\r\n",
       {5, 72, 144, 2, 3, 2}},
      {"HP-GL/2 device from SC -13", "\x1B%0BIN;\r\nSC-13 12\r\nIP 0 0 1015 1015\r\n",
       {5, 72, 72, 256, 2, 1}},
      {"EPS with its box", "%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox:     0    0  612  792\r\n",
       {10, 612, 792, 1, -1, -1}},
      {"plain PostScript", "%!PS-Adobe-3.0\r\n%%Creator: x\r\n%%BoundingBox: 0 0 1 1\r\n",
       {10, -1, -1, 0, -1, -1}},
      {"DXF extents",
       "  0\r\nSECTION\r\n  2\r\nHEADER\r\n9\r\n$EXTMIN\r\n10\r\n0.0\r\n20\r\n0.0\r\n9\r\n"
       "$EXTMAX\r\n10\r\n8.5\r\n20\r\n11.0\r\n",
       {14, 612, 792, -1, -1, -1}},
      {"DXF extent beyond range leaves -1",
       "0\nSECTION\n2\nHEADER\n9\n$EXTMIN\n10\n0\n20\n0\n9\n$EXTMAX\n10\n1e300\n20\nx\n",
       {14, -1, -1, -1, -1, -1}},
      {"SVG size from line 2 on",
       "<?xml version=\"1.0\"?>\r\n<!DOCTYPE svg SYSTEM \"\">\r\n<svg width=\"640\" height=\"480\">\r\n",
       {16, 640, 480, -1, -1, -1}},
      {"SVG element on line 1 gives no size",
       "<?xml version=\"1.0\"?><!DOCTYPE svg><svg width=\"640\" height=\"480\">\r\n",
       {16, -1, -1, -1, -1, -1}},
      {"PCX 8 bits", pcx8, {2, 641, 480, 256, 5, 8}},
      {"BMP 4-bit RLE", BmpHeader(40, 33, -7, 4, 2), {1, 33, -7, 16, 1, 4}},
      {"BMP 32 bits counts 24, bitfields not compressed", BmpHeader(40, 2, 2, 32, 3),
       {1, 2, 2, 16777216, 0, 32}},
      {"BMP core header not recognised", BmpHeader(12, 2, 2, 8, 0), {0, -1, -1, -1, -1, -1}},
      {"enhanced metafile 0..2539 is 72 points", emf, {3, 72, 144, 2, -1, -1}},
      {"placeable metafile", placeable, {3, 72, 36, 1, -1, -1}},
      {"standard metafile", At(std::string("\x01\x00\x09\x00\x00\x03", 6), 20, ""),
       {3, -1, -1, 0, -1, -1}},
      {"CGM without extent", Cgm(CgmElement(0, 3, "") + CgmElement(0, 5, "")),
       {6, 1000, 1000, 1, -1, -1}},
      {"CGM extent 2000 x 1000",
       Cgm(CgmElement(2, 6, BE16(0) + BE16(0) + BE16(2000) + BE16(1000)) + CgmElement(0, 5, "") +
           CgmElement(0, 5, "")),
       {6, 1000, 500, 2, -1, -1}},
      {"CGM degenerate extent ignored",
       Cgm(CgmElement(2, 6, BE16(0) + BE16(5) + BE16(2000) + BE16(5))), {6, 1000, 1000, 1, -1, -1}},
      {"CGM maximum extent wins, 32-bit VDC integers",
       Cgm(CgmElement(3, 1, BE16(32)) + CgmElement(2, 6, BE32(0) + BE32(0) + BE32(100) + BE32(400)) +
           CgmElement(1, 17, BE32(0) + BE32(0) + BE32(400) + BE32(100))),
       {6, 1000, 250, 1, -1, -1}},
      {"Lotus PIC", pic, {7, 3201, 2312, 2, -1, -1}},
      {"Draw", draw, {8, 10, 5, -1, -1, -1}},
      {"Tektronix", "\x1B[?38h....", {9, -1, -1, -1, -1, -1}},
      {"PCL colour with resolution", "\x1B" "E\x1B*r-3U\x1B*t300R\x1B*v6W s3u1A",
       {11, -1, -1, 8, 300, -1}},
      {"PCL 11 from ESC & a", "\x1B&a0L", {11, -1, -1, 2, -1, -1}},
      {"ESC/P2 12", std::string("\x1B@\x1B(U\x01\x00\x0A\x1Br\x04", 11), {12, -1, -1, 8, 360, -1}},
      {"ESC/P and IBM X24 13", "\x1BU\x01\x1B@", {13, -1, -1, 0, -1, -1}},
      {"PNG grey", PngHeader(5, 6, 8, 0), {15, 5, 6, -1, 0, -1}},
      {"PNG palette depth 4", PngHeader(5, 6, 4, 3), {15, 5, 6, 16, 0, 4}},
      {"PNG RGBA interlaced", PngHeader(5, 6, 8, 6, 1), {15, 5, 6, 16777216, 1, 24}},
      {"PNG width beyond 32 bits signed", PngHeader(0x80000000u, 6, 8, 2), {15, -1, 6, 16777216, 0, 24}},
      // HP-GL is tested before PNG: a PNG signature never starts with "IN".
      {"HP-GL before PCX", "IN\x01\x01", {4, -1, -1, -1, -1, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(Identify(c.bytes), c.want) << c.name;
}

TEST(GraphicsFileTypeTest, ShortFilesCountsAndMissingFiles) {
  EXPECT_EQ(Identify("IN;")[0], -1);
  EXPECT_EQ(Identify("")[0], -1);
  // Only the items asked for are stored; extents need n >= 2.
  Info info{};
  info.fill(99);
  GraphicsFileTypeOfBytes({reinterpret_cast<const std::uint8_t*>("%!PS\n%%BoundingBox: 0 0 5 6\n"), 29},
                          info, 0);
  EXPECT_EQ(info, (Info{10, 99, 99, 99, 99, 99}));
  GraphicsFileTypeOfBytes({reinterpret_cast<const std::uint8_t*>("%!PS\n%%BoundingBox: 0 0 5 6\n"), 29},
                          info, 3);
  EXPECT_EQ(info, (Info{10, 5, 6, 99, 99, 99}));

  ResetErrorState();
  GraphicsFileType("/nonexistent/file.png  ", 23, info, 6);
  EXPECT_EQ(info, (Info{-1, -1, -1, -1, -1, -1}));

  TempDir dir;
  WriteFile(dir / "plot.plt", "IN;\r\nSC-3\r\nCO:\"3 5\"\r\nCO \"3 9\"\r\n");
  const std::string name = (dir / "plot.plt").string();
  std::int32_t count = -7;
  YYCNTHPG(name + "   ", static_cast<int>(name.size()) + 3, count);
  EXPECT_EQ(count, 2);
  WriteFile(dir / "plain.plt", "IN;PU;PD;\r\n");
  const std::string plain = (dir / "plain.plt").string();
  YYCNTHPG(plain, static_cast<int>(plain.size()), count);
  EXPECT_EQ(count, 1);
  count = -7;
  YYCNTHPG("/nonexistent/x.plt", 18, count);
  EXPECT_EQ(count, -7);
  EXPECT_EQ(WErrorStatusQuery(1), kErrOpen);

  // The report mode is restored after a silenced scan.
  ErrorReportModeSet(kReportStdout);
  Identify("IN; IP a b c d\r\nSC-13 zz\r\n");
  EXPECT_EQ(WErrorStatusQuery(4), kReportStdout);
  ErrorReportModeSet(kReportSilent);
}

TEST(GraphicsFileTypeTest, CgmAndPicCountersReportShortFiles) {
  std::int32_t count = 0;
  float aspect = 0;
  const std::string cut = CgmElement(0, 1, "ab") + BE16((2 << 12) | (6 << 5) | 8) + "\0\0";
  EXPECT_FALSE(CgmPictureInfo({reinterpret_cast<const std::uint8_t*>(cut.data()), cut.size()},
                              count, aspect));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(aspect, 1.0f);
  // Long form with a partition: 4 + 4 bytes of one VDC EXTENT.
  const std::string longForm = BE16((2 << 12) | (6 << 5) | 31) + BE16(0x8000 | 4) + BE16(0) +
                               BE16(0) + BE16(4) + BE16(300) + BE16(100) + CgmElement(0, 2, "");
  EXPECT_TRUE(CgmPictureInfo(
      {reinterpret_cast<const std::uint8_t*>(longForm.data()), longForm.size()}, count, aspect));
  EXPECT_FLOAT_EQ(aspect, 3.0f);

  bool shortRead = false;
  const std::string pic = std::string(17, '\0') + "\x60\xE0\x05";
  EXPECT_EQ(CountPicPictures({reinterpret_cast<const std::uint8_t*>(pic.data()), pic.size()},
                             shortRead),
            1);
  EXPECT_TRUE(shortRead);
}

TEST(GraphicsFileTypeTest, TokensAndByteFields) {
  std::string line = "  SC -13   7 x";
  std::string word;
  TokenTakeWord(line, 14, word);
  EXPECT_EQ(word, "SC");
  std::int32_t a = 0, b = 0;
  TokenTakeInteger(line, 14, a);
  TokenTakeInteger(line, 14, b);
  EXPECT_EQ(a, -13);
  EXPECT_EQ(b, 7);
  EXPECT_EQ(line, "             x");
  std::string padded(5, '?');
  TokenTakeWord(line, 14, padded);
  EXPECT_EQ(padded, "x    ");
  std::string blank = "   ";
  word.clear();
  TokenTakeWord(blank, 3, word);
  EXPECT_EQ(word, " ");
  std::string reals = "2.5 1.25D2";
  float f = 0;
  double d = 0;
  TokenTakeReal(reals, 10, f);
  TokenTakeDouble(reals, 10, d);
  EXPECT_FLOAT_EQ(f, 2.5f);
  EXPECT_DOUBLE_EQ(d, 125.0);

  const std::array<std::uint8_t, 4> bytes{0x01, 0x02, 0x83, 0x84};
  std::uint32_t v = 0;
  ReadUIntLE(bytes, 2, v);
  EXPECT_EQ(v, 0x0201u);
  ReadUIntLE(bytes, 4, v);
  EXPECT_EQ(v, 0x84830201u);
  ReadUInt32BE(bytes, v);
  EXPECT_EQ(v, 0x01028384u);
  ReadUInt32BE(std::span(bytes).first(2), v);
  EXPECT_EQ(v, 0x01020000u);
  EXPECT_EQ(CgmParamInteger(bytes, 3, 16), static_cast<std::int16_t>(0x8384));
  EXPECT_EQ(CgmParamInteger(bytes, 1, 32), 0x01028384);
  EXPECT_EQ(CgmParamInteger(bytes, 4, 16), static_cast<std::int16_t>(0x8400));
  EXPECT_EQ(CgmParamInteger(bytes, 0, 16), 0);
  EXPECT_FLOAT_EQ(CgmParamReal(bytes, 1), static_cast<float>(0x01028384));
}

}  // namespace
}  // namespace tk::testing
