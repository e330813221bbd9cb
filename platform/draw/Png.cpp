#include "platform/draw/Png.h"

#include "platform/draw/PngBytes.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace plat {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Largest image read: keeps the decoded buffer within reason for hostile headers.
constexpr std::uint64_t kMaxPixels = 1ULL << 28;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutU32(out, PngCrc({out.data() + typeAt, data.size() + 4}));
}

// Bounds-checked big-endian reading over the file's bytes; a read past the
// end fails and keeps failing.
class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t>& b) : b_(b) {}
  bool Ok() const { return ok_; }
  std::size_t Left() const { return b_.size() - pos_; }
  std::uint32_t U32() {
    if (!ok_ || Left() < 4) return Fail();
    const std::uint32_t v = (std::uint32_t{b_[pos_]} << 24) | (std::uint32_t{b_[pos_ + 1]} << 16) |
                            (std::uint32_t{b_[pos_ + 2]} << 8) | b_[pos_ + 3];
    pos_ += 4;
    return v;
  }
  const std::uint8_t* Bytes(std::size_t n) {
    if (!ok_ || Left() < n) {
      Fail();
      return nullptr;
    }
    const std::uint8_t* p = b_.data() + pos_;
    pos_ += n;
    return p;
  }

 private:
  std::uint32_t Fail() {
    ok_ = false;
    return 0;
  }
  const std::vector<std::uint8_t>& b_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace

bool SavePng(const Surface& surface, const std::string& path) {
  const int w = surface.Width(), h = surface.Height();
  if (w <= 0 || h <= 0) return false;
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(h) * (1 + 3 * static_cast<std::size_t>(w)));
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);  // filter: none
    const Pixel* row = surface.Row(y);
    for (int x = 0; x < w; ++x) {
      raw.push_back(static_cast<std::uint8_t>(RedOf(row[x])));
      raw.push_back(static_cast<std::uint8_t>(GreenOf(row[x])));
      raw.push_back(static_cast<std::uint8_t>(BlueOf(row[x])));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(packedSize);
  if (compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())) != Z_OK)
    return false;
  packed.resize(packedSize);

  std::vector<std::uint8_t> file(kSignature.begin(), kSignature.end());
  std::vector<std::uint8_t> ihdr;
  PutU32(ihdr, static_cast<std::uint32_t>(w));
  PutU32(ihdr, static_cast<std::uint32_t>(h));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
  PutChunk(file, "IHDR", ihdr);
  PutChunk(file, "IDAT", packed);
  PutChunk(file, "IEND", {});

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  out.close();
  return static_cast<bool>(out);
}

bool LoadPng(const std::string& path, Surface& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  Reader r(bytes);
  const std::uint8_t* sig = r.Bytes(kSignature.size());
  if (!sig || !std::equal(kSignature.begin(), kSignature.end(), sig)) return false;

  std::uint32_t width = 0, height = 0;
  int channels = 0;
  bool haveHeader = false, ended = false;
  std::vector<std::uint8_t> packed;
  while (!ended) {
    const std::uint32_t length = r.U32();
    const std::uint8_t* typeAndData = r.Bytes(4);
    if (!r.Ok() || length > r.Left()) return false;
    const std::uint8_t* data = r.Bytes(length);
    const std::uint32_t crc = r.U32();
    if (!r.Ok()) return false;
    if (PngCrcMore(PngCrc({typeAndData, 4}), {data, length}) != crc) return false;
    const std::string type(reinterpret_cast<const char*>(typeAndData), 4);
    if (type == "IHDR") {
      if (haveHeader || length != 13) return false;
      const std::vector<std::uint8_t> header(data, data + 13);
      Reader h(header);
      width = h.U32();
      height = h.U32();
      const std::uint8_t* f = h.Bytes(5);
      if (!f || width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return false;
      if (static_cast<std::uint64_t>(width) * height > kMaxPixels) return false;
      if (f[0] != 8 || (f[1] != 2 && f[1] != 6) || f[2] != 0 || f[3] != 0 || f[4] != 0)
        return false;
      channels = f[1] == 2 ? 3 : 4;
      haveHeader = true;
    } else if (type == "IDAT") {
      if (!haveHeader) return false;
      packed.insert(packed.end(), data, data + length);
    } else if (type == "IEND") {
      ended = true;
    } else if (!(typeAndData[0] & 0x20)) {
      return false;  // an unknown critical chunk
    }
  }
  if (!haveHeader) return false;

  const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  const std::size_t expected = static_cast<std::size_t>(height) * (stride + 1);
  // Deflate packs at most about 1032 to 1: a header promising far more than
  // the data can hold is refused before the buffer is made.
  if (expected / 1032 > packed.size()) return false;
  std::vector<std::uint8_t> raw(expected);
  uLongf rawSize = static_cast<uLongf>(expected);
  if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
      rawSize != expected)
    return false;

  if (!PngFilterTypesKnown(raw, stride + 1, height)) return false;
  PngUnfilterInPlace(raw, stride + 1, height, static_cast<std::size_t>(channels));
  Surface image(static_cast<int>(width), static_cast<int>(height), 0);
  const std::size_t bpp = static_cast<std::size_t>(channels);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* line = raw.data() + static_cast<std::size_t>(y) * (stride + 1) + 1;
    Pixel* row = image.Row(static_cast<int>(y));
    for (std::uint32_t x = 0; x < width; ++x)
      row[x] = Rgb(line[x * bpp], line[x * bpp + 1], line[x * bpp + 2]);
  }
  out = std::move(image);
  return true;
}

}  // namespace plat
