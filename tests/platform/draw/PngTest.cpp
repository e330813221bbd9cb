// PNG files: surfaces survive a round trip; damaged or unsupported files are
// refused and leave the destination as it was.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "platform/draw/Png.h"
#include "tests/TestSupport.h"
#include "tests/platform/draw/DrawTestSupport.h"

namespace plat {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

std::string U32(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

std::string Chunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  const uLong crc =
      crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return U32(static_cast<std::uint32_t>(data.size())) + body + U32(static_cast<std::uint32_t>(crc));
}

std::string Deflate(const std::string& raw) {
  uLongf n = compressBound(static_cast<uLong>(raw.size()));
  std::string out(n, '\0');
  EXPECT_EQ(compress(reinterpret_cast<Bytef*>(out.data()), &n,
                     reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size())),
            Z_OK);
  out.resize(n);
  return out;
}

const std::string kSig = "\x89PNG\r\n\x1a\n";

std::string Ihdr(std::uint32_t w, std::uint32_t h, int colourType, int depth = 8,
                 int interlace = 0) {
  return Chunk("IHDR", U32(w) + U32(h) +
                           std::string{static_cast<char>(depth), static_cast<char>(colourType), 0,
                                       0, static_cast<char>(interlace)});
}

TEST(Png, RoundTripsSurfacesOfAwkwardSizes) {
  TempDir dir;
  for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {37, 23}, {300, 2}}) {
    SCOPED_TRACE(w * 1000 + h);
    const Surface s = testing_draw::Noise(w, h, static_cast<unsigned>(w * 31 + h));
    const std::string path = (dir / "image.png").string();
    ASSERT_TRUE(SavePng(s, path));
    Surface back;
    ASSERT_TRUE(LoadPng(path, back));
    EXPECT_TRUE(back == s);
  }
  // A plain image packs as tightly as deflate can, and still reads back.
  const Surface plain(2000, 700, 0xFFFFFF);
  ASSERT_TRUE(SavePng(plain, (dir / "plain.png").string()));
  Surface back;
  ASSERT_TRUE(LoadPng((dir / "plain.png").string(), back));
  EXPECT_TRUE(back == plain);
  EXPECT_FALSE(SavePng(Surface(), (dir / "empty.png").string()));
  EXPECT_FALSE(SavePng(Surface(2, 2), (dir / "no such folder" / "x.png").string()));
}

TEST(Png, ReadsRgbaWithEveryRowFilter) {
  // 2x5 RGBA, one row per filter type; the bytes after filtering are chosen
  // so every row decodes to the same known pixels.
  const std::uint8_t px[2][4] = {{10, 20, 30, 255}, {200, 150, 100, 0}};
  std::string raw;
  std::uint8_t prev[8] = {};
  for (int filter = 0; filter < 5; ++filter) {
    std::uint8_t cur[8];
    for (int i = 0; i < 8; ++i) cur[i] = px[i / 4][i % 4];
    raw.push_back(static_cast<char>(filter));
    for (int i = 0; i < 8; ++i) {
      const int a = i >= 4 ? cur[i - 4] : 0, b = prev[i], c = i >= 4 ? prev[i - 4] : 0;
      int pred = 0;
      if (filter == 1) pred = a;
      if (filter == 2) pred = b;
      if (filter == 3) pred = (a + b) / 2;
      if (filter == 4) {
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
      }
      raw.push_back(static_cast<char>((cur[i] - pred) & 0xFF));
    }
    std::copy(cur, cur + 8, prev);
  }
  TempDir dir;
  const auto path = dir / "rgba.png";
  WriteFile(path, kSig + Ihdr(2, 5, 6) + Chunk("tEXt", "note") + Chunk("IDAT", Deflate(raw)) +
                      Chunk("IEND", ""));
  Surface s;
  ASSERT_TRUE(LoadPng(path.string(), s));
  ASSERT_EQ(s.Width(), 2);
  ASSERT_EQ(s.Height(), 5);
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(s.Get(0, y), Rgb(10, 20, 30)) << y;
    EXPECT_EQ(s.Get(1, y), Rgb(200, 150, 100)) << y;
  }
}

TEST(Png, RefusesDamagedAndUnsupportedFilesLeavingTheSurface) {
  TempDir dir;
  const Surface original = testing_draw::Noise(9, 4, 77);
  const auto good = dir / "good.png";
  ASSERT_TRUE(SavePng(original, good.string()));
  const std::string bytes = ReadFile(good);
  const std::string rowsOf2x1 = std::string("\0\1\2\3\4\5\6", 7);

  std::vector<std::pair<std::string, std::string>> cases;
  for (std::size_t keep : {std::size_t{0}, std::size_t{7}, std::size_t{8}, std::size_t{20},
                           std::size_t{33}, bytes.size() - 13, bytes.size() - 1})
    cases.emplace_back("cut to " + std::to_string(keep), bytes.substr(0, keep));
  std::string badCrc = bytes;
  badCrc[29] = static_cast<char>(badCrc[29] ^ 1);
  cases.emplace_back("header checksum wrong", badCrc);
  std::string badData = bytes;
  badData[45] = static_cast<char>(badData[45] ^ 0x55);
  cases.emplace_back("image data damaged", badData);
  cases.emplace_back("not a PNG", "GIF89a and so on");
  cases.emplace_back("huge size", kSig + Ihdr(0x7FFFFFFF, 0x7FFFFFFF, 2) +
                                      Chunk("IDAT", Deflate(rowsOf2x1)) + Chunk("IEND", ""));
  cases.emplace_back(
      "size far beyond the data",
      kSig + Ihdr(16000, 16000, 2) + Chunk("IDAT", Deflate(rowsOf2x1)) + Chunk("IEND", ""));
  cases.emplace_back("zero width",
                     kSig + Ihdr(0, 1, 2) + Chunk("IDAT", Deflate(rowsOf2x1)) + Chunk("IEND", ""));
  cases.emplace_back("palette image",
                     kSig + Ihdr(2, 1, 3) + Chunk("IDAT", Deflate(rowsOf2x1)) + Chunk("IEND", ""));
  cases.emplace_back(
      "16-bit", kSig + Ihdr(2, 1, 2, 16) + Chunk("IDAT", Deflate(rowsOf2x1)) + Chunk("IEND", ""));
  cases.emplace_back("interlaced", kSig + Ihdr(2, 1, 2, 8, 1) + Chunk("IDAT", Deflate(rowsOf2x1)) +
                                       Chunk("IEND", ""));
  cases.emplace_back("too little data",
                     kSig + Ihdr(3, 1, 2) + Chunk("IDAT", Deflate(rowsOf2x1)) + Chunk("IEND", ""));
  cases.emplace_back("too much data",
                     kSig + Ihdr(1, 1, 2) + Chunk("IDAT", Deflate(rowsOf2x1)) + Chunk("IEND", ""));
  cases.emplace_back("unknown filter",
                     kSig + Ihdr(2, 1, 2) +
                         Chunk("IDAT", Deflate(std::string("\7\1\2\3\4\5\6", 7))) +
                         Chunk("IEND", ""));
  cases.emplace_back("no header", kSig + Chunk("IDAT", Deflate(rowsOf2x1)) + Chunk("IEND", ""));
  cases.emplace_back("no end", kSig + Ihdr(2, 1, 2) + Chunk("IDAT", Deflate(rowsOf2x1)));
  cases.emplace_back("unknown critical chunk", kSig + Ihdr(2, 1, 2) + Chunk("ABCD", "") +
                                                   Chunk("IDAT", Deflate(rowsOf2x1)) +
                                                   Chunk("IEND", ""));
  cases.emplace_back("chunk longer than the file",
                     kSig + U32(0xFFFFFFF0) + "IHDR" + std::string(20, '\0'));
  // The well-formed 2x1 file the cases above spoil is read.
  const auto ok = dir / "ok.png";
  WriteFile(ok, kSig + Ihdr(2, 1, 2) + Chunk("IDAT", Deflate(rowsOf2x1)) + Chunk("IEND", ""));
  Surface two;
  ASSERT_TRUE(LoadPng(ok.string(), two));
  EXPECT_EQ(two.Get(1, 0), Rgb(4, 5, 6));

  for (const auto& [name, content] : cases) {
    SCOPED_TRACE(name);
    const auto path = dir / "bad.png";
    WriteFile(path, content);
    Surface keep = original;
    EXPECT_FALSE(LoadPng(path.string(), keep));
    EXPECT_TRUE(keep == original);
  }
  Surface keep = original;
  EXPECT_FALSE(LoadPng((dir / "missing.png").string(), keep));
}

}  // namespace
}  // namespace plat
