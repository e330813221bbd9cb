#include "toolkit/graphics/ImageLoad.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/GraphicsFileType.h"
#include "toolkit/graphics/ImageDevice.h"
#include "toolkit/graphics/PngHelpers.h"

namespace tk {

namespace {

constexpr char kRoutine[] = "IGrLoadImageData";
// The largest picture decoded: 2^28 pixels (1 GiB of packed pixels), so that
// a hostile header cannot ask for more memory than any caller could hold.
constexpr std::uint64_t kMaxPixels = 1ULL << 28;

using Table = std::array<std::int32_t, 256>;

constexpr std::int32_t Pack(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return static_cast<std::int32_t>(r + 256 * g + 65536 * b);
}

// Checked little-endian reading at offsets; reads past the end give 0 and
// clear Ok().
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> b) : b_(b) {}
  std::size_t Size() const { return b_.size(); }
  bool Has(std::uint64_t at, std::uint64_t n) const {
    return at <= b_.size() && n <= b_.size() - at;
  }
  std::uint32_t U8(std::uint64_t at) const { return at < b_.size() ? b_[at] : 0u; }
  std::uint32_t U16(std::uint64_t at) const { return U8(at) | (U8(at + 1) << 8); }
  std::uint32_t U32(std::uint64_t at) const { return U16(at) | (U16(at + 2) << 16); }
  std::uint32_t BE32(std::uint64_t at) const {
    return (U8(at) << 24) | (U8(at + 1) << 16) | (U8(at + 2) << 8) | U8(at + 3);
  }
  const std::uint8_t* At(std::uint64_t at) const { return b_.data() + at; }
  std::span<const std::uint8_t> Span() const { return b_; }

 private:
  std::span<const std::uint8_t> b_;
};

// The caller's pixels, row by row from the top: W x H of them.
struct Picture {
  std::span<std::int32_t> px;
  std::int64_t w = 0, h = 0;
  bool* shortRead = nullptr;  // set when the file ends before the picture
  std::int32_t Cut() const {
    if (shortRead) *shortRead = true;
    return 0;
  }
  void Set(std::int64_t x, std::int64_t rowFromTop, std::int32_t v) const {
    if (x >= 0 && x < w && rowFromTop >= 0 && rowFromTop < h)
      px[static_cast<std::size_t>(rowFromTop * w + x)] = v;
  }
};

// --- BMP ----------------------------------------------------------------

constexpr std::size_t kBmpHeader = 54;

void BmpRle(const Bytes& f, std::uint64_t pos, const Picture& pic, const Table& table, bool rle4) {
  std::int64_t row = 0, col = 0;  // row 0 is the bottom of the picture
  const auto put = [&](std::uint32_t index) {
    if (col < pic.w && row < pic.h) pic.Set(col, pic.h - 1 - row, table[index & 255]);
    ++col;
  };
  for (;;) {
    if (!f.Has(pos, 2)) {
      pic.Cut();
      return;
    }
    const std::uint32_t n = f.U8(pos), c = f.U8(pos + 1);
    pos += 2;
    if (n > 0) {
      for (std::uint32_t i = 0; i < n; ++i) put(rle4 ? ((i % 2 == 0) ? c >> 4 : c & 15) : c);
      continue;
    }
    if (c == 0) {
      ++row;
      col = 0;
    } else if (c == 1) {
      return;
    } else if (c == 2) {
      if (!f.Has(pos, 2)) {
        pic.Cut();
        return;
      }
      col += f.U8(pos);
      row += f.U8(pos + 1);
      pos += 2;
    } else {
      const std::uint64_t bytes = rle4 ? (c + 1) / 2 : c;
      const std::uint64_t padded = bytes + (bytes & 1);
      for (std::uint32_t i = 0; i < c; ++i) {
        if (!f.Has(pos + (rle4 ? i / 2 : i), 1)) {
          pic.Cut();
          return;
        }
        const std::uint32_t b = f.U8(pos + (rle4 ? i / 2 : i));
        put(rle4 ? ((i % 2 == 0) ? b >> 4 : b & 15) : b);
      }
      pos += padded;
    }
    if (row >= pic.h) return;
  }
}

std::int32_t DecodeBmp(const Bytes& f, const Picture& pic) {
  if (!f.Has(0, kBmpHeader)) return pic.Cut();
  const std::uint32_t bits = f.U16(28), compression = f.U32(30), offset = f.U32(10);
  Table table{};
  if (bits <= 8) {
    const std::uint64_t entries =
        std::min<std::uint64_t>(offset > kBmpHeader ? (offset - kBmpHeader) / 4 : 0, 256);
    for (std::uint64_t i = 0; i < entries; ++i) {
      const std::uint64_t at = kBmpHeader + 4 * i;
      if (!f.Has(at, 4)) return pic.Cut();
      table[i] = Pack(f.U8(at + 2), f.U8(at + 1), f.U8(at));
    }
  }
  if (pic.h <= 0) return 0;  // rows stored top first are not decoded
  const bool rle = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
  if (rle) {
    BmpRle(f, offset, pic, table, bits == 4);
    return 0;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return 0;
  const std::uint64_t rowBytes = (static_cast<std::uint64_t>(pic.w) * bits + 31) / 32 * 4;
  for (std::int64_t r = 0; r < pic.h; ++r) {
    const std::uint64_t at = offset + static_cast<std::uint64_t>(r) * rowBytes;
    if (!f.Has(at, rowBytes)) return pic.Cut();
    const std::int64_t y = pic.h - 1 - r;
    for (std::int64_t x = 0; x < pic.w; ++x) {
      const auto ux = static_cast<std::uint64_t>(x);
      std::int32_t v = 0;
      switch (bits) {
        case 1:
          v = table[(f.U8(at + ux / 8) >> (7 - ux % 8)) & 1];
          break;
        case 4:
          v = table[(f.U8(at + ux / 2) >> (ux % 2 == 0 ? 4 : 0)) & 15];
          break;
        case 8:
          v = table[f.U8(at + ux)];
          break;
        case 16: {
          const std::uint32_t p = f.U16(at + 2 * ux);
          v = compression == 3 ? Pack(((p >> 11) & 31) * 8, ((p >> 5) & 63) * 4, (p & 31) * 8)
                               : Pack(((p >> 10) & 31) * 8, ((p >> 5) & 31) * 8, (p & 31) * 8);
          break;
        }
        case 24:
          v = Pack(f.U8(at + 3 * ux + 2), f.U8(at + 3 * ux + 1), f.U8(at + 3 * ux));
          break;
        default:
          v = Pack(f.U8(at + 4 * ux + 2), f.U8(at + 4 * ux + 1), f.U8(at + 4 * ux));
          break;
      }
      pic.Set(x, y, v);
    }
  }
  return 0;
}

// --- PCX ----------------------------------------------------------------

constexpr std::size_t kPcxHeader = 128;

// The run-length stream of a PCX file: a byte with both top bits set counts
// the next byte's repetitions; any other byte stands for itself.
class PcxRuns {
 public:
  PcxRuns(std::span<const std::uint8_t> bytes, std::size_t start) : f_(bytes), pos_(start) {}
  bool Next(std::uint32_t& value) {
    while (left_ == 0) {
      std::uint8_t v = 0;
      int n = 0;
      if (PcxRunRead(f_, pos_, v, n) != 0) return false;
      left_ = static_cast<std::uint32_t>(n);
      value_ = v;
    }
    --left_;
    value = value_;
    return true;
  }

 private:
  std::span<const std::uint8_t> f_;
  std::size_t pos_;
  std::uint32_t left_ = 0, value_ = 0;
};

std::int32_t DecodePcx(const Bytes& f, const Picture& pic) {
  const std::uint32_t bits = f.U8(3), planes = f.U8(65), bpl = f.U16(66);
  const std::uint64_t w = static_cast<std::uint64_t>(pic.w);
  const bool oneBit = bits == 1 && (planes == 1 || planes == 4);
  const bool eightBit = bits == 8 && (planes == 1 || planes == 3);
  if (!oneBit && !eightBit) return kImageUnsupported;
  // Lines shorter than the picture's width cannot be right.
  if (bpl < (oneBit ? (w + 7) / 8 : w)) return kImageUnsupported;
  Table table{};
  std::uint64_t end = f.Size();
  if (bits == 8 && planes == 1) {
    if (f.Size() < kPcxHeader + 769 || f.U8(f.Size() - 769) != 12) {
      ReportLibraryError(kErrReadWrite, kRoutine);
      return kErrReadWrite;
    }
    const std::uint64_t at = f.Size() - 768;
    for (std::size_t i = 0; i < 256; ++i)
      table[i] = Pack(f.U8(at + 3 * i), f.U8(at + 3 * i + 1), f.U8(at + 3 * i + 2));
    end = f.Size() - 769;
  } else if (planes == 4) {
    for (std::size_t i = 0; i < 16; ++i)
      table[i] = Pack(f.U8(16 + 3 * i), f.U8(17 + 3 * i), f.U8(18 + 3 * i));
  }
  if (oneBit) std::fill(pic.px.begin(), pic.px.begin() + pic.w * pic.h, 0);
  PcxRuns runs(f.Span().first(static_cast<std::size_t>(end)), kPcxHeader);
  std::vector<std::uint32_t> line(static_cast<std::size_t>(w));
  for (std::int64_t y = 0; y < pic.h; ++y) {
    std::fill(line.begin(), line.end(), 0u);
    bool cut = false;
    for (std::uint32_t k = 0; k < planes && !cut; ++k) {
      for (std::uint64_t i = 0; i < bpl; ++i) {
        std::uint32_t v = 0;
        if (!runs.Next(v)) {
          cut = true;
          break;
        }
        if (oneBit) {
          for (std::uint64_t j = 0; j < 8; ++j) {
            const std::uint64_t x = i * 8 + j;
            if (x < w && ((v >> (7 - j)) & 1)) line[x] |= 1u << k;
          }
        } else if (i < w) {
          line[i] |= planes == 3 ? v << (8 * k) : v;
        }
      }
    }
    // A line cut off by the end of the file is not stored: what was decoded
    // of it is incomplete in every plane but the first.
    if (cut && planes > 1) return pic.Cut();
    for (std::uint64_t x = 0; x < w; ++x) {
      std::int32_t v = 0;
      if (oneBit && planes == 1) v = line[x] ? 16777215 : 0;
      else if (planes == 4 || planes == 1) v = table[line[x] & 255];
      else v = static_cast<std::int32_t>(line[x]);
      pic.Set(static_cast<std::int64_t>(x), y, v);
    }
    if (cut) return pic.Cut();
  }
  return 0;
}

// --- PNG ----------------------------------------------------------------

std::int32_t DecodePng(const Bytes& f, const Picture& pic) {
  if (!f.Has(0, 33)) return pic.Cut();
  const std::uint32_t depth = f.U8(24), type = f.U8(25), method = f.U8(26), filter = f.U8(27),
                      interlace = f.U8(28);
  const bool palette = type == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8);
  const bool rgb = (type == 2 || type == 6) && (depth == 8 || depth == 16);
  if (method != 0 || filter != 0 || interlace != 0 || (!palette && !rgb)) {
    ReportLibraryError(kImageUnsupported, kRoutine);
    return kImageUnsupported;
  }
  const std::uint64_t w = static_cast<std::uint64_t>(pic.w), h = static_cast<std::uint64_t>(pic.h);
  const std::uint64_t bpp = palette ? 1 : (depth / 8) * (type == 2 ? 3 : 4);
  const std::uint64_t stride = (palette ? (w * depth + 7) / 8 : w * bpp) + 1;
  const std::uint64_t size = stride * h;
  if (size > 0x7FFFFFFF - size / 1000 - 22) {
    ReportLibraryError(kImageUnsupported, kRoutine);
    return kImageUnsupported;
  }
  const std::uint64_t capacity = size + size / 1000 + 22;
  std::vector<std::uint8_t> packed;
  Table table{};  // a palette picture without PLTE is all black
  std::uint64_t pos = 33;
  for (;;) {
    if (!f.Has(pos, 8)) return pic.Cut();
    const std::uint64_t length = f.BE32(pos);
    const std::uint8_t* type4 = f.At(pos + 4);
    const std::span<const std::uint8_t, 4> name(type4, 4);
    pos += 8;
    if (PngChunkTypeIs(name, "IEND")) break;
    const std::uint64_t have = f.Has(pos, length) ? length : f.Size() - pos;
    if (PngChunkTypeIs(name, "IDAT")) {
      if (packed.size() + length > capacity) {
        ReportLibraryError(kErrReadWrite, kRoutine);
        return kErrReadWrite;
      }
      packed.insert(packed.end(), f.At(pos), f.At(pos) + have);
    } else if (PngChunkTypeIs(name, "PLTE")) {
      const std::uint64_t n = std::min<std::uint64_t>(have / 3, 256);
      for (std::uint64_t i = 0; i < n; ++i)
        table[i] = Pack(f.U8(pos + 3 * i), f.U8(pos + 3 * i + 1), f.U8(pos + 3 * i + 2));
    }
    if (have < length) return pic.Cut();  // the chunk is cut off by the end of the file
    pos += length + 4;            // data and CRC (not checked)
  }
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(size));
  std::int32_t produced = static_cast<std::int32_t>(size);
  WUnCompress(std::span<const std::uint8_t>(packed), raw, static_cast<std::int32_t>(packed.size()),
              produced);
  if (produced == 0) return kErrZlib;
  const std::uint64_t rows = static_cast<std::uint64_t>(produced) / stride;
  PngUnfilter(static_cast<std::int64_t>(stride), static_cast<std::int64_t>(rows),
              static_cast<std::int64_t>(bpp), raw);
  for (std::uint64_t y = 0; y < rows; ++y) {
    const std::uint8_t* d = raw.data() + y * stride + 1;
    for (std::uint64_t x = 0; x < w; ++x) {
      std::int32_t v = 0;
      if (palette) {
        const std::uint64_t bit = x * depth;
        const std::uint32_t index = (d[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
        v = table[index];
      } else {
        const std::uint64_t at = x * bpp, step = depth / 8;
        v = Pack(d[at], d[at + step], d[at + 2 * step]);
      }
      pic.Set(static_cast<std::int64_t>(x), static_cast<std::int64_t>(y), v);
    }
  }
  return 0;
}

}  // namespace

bool ImageDataSize(std::span<const std::uint8_t> file, std::int32_t& width, std::int32_t& height) {
  std::array<std::int32_t, 5> info{};
  GraphicsFileTypeOfBytes(file, info, 5);
  width = info[1];
  height = info[2];
  const bool kind = info[0] == kGfBmp || info[0] == kGfPcx || info[0] == kGfPng;
  return kind && width > 0 && height != 0 && height != -1;
}

std::int32_t DecodeImageData(std::span<const std::uint8_t> file, std::span<std::int32_t> pixels,
                             bool* shortRead) {
  if (shortRead) *shortRead = false;
  std::array<std::int32_t, 5> info{};
  GraphicsFileTypeOfBytes(file, info, 5);
  const std::int32_t type = info[0];
  if (type != kGfBmp && type != kGfPcx && type != kGfPng) {
    ReportLibraryError(kImageUnsupported, kRoutine);
    return kImageUnsupported;
  }
  const std::int64_t w = info[1], h = info[2];
  // A BMP stored top row first has a negative height and decodes no rows.
  const bool topDownBmp = type == kGfBmp && h < 0 && h != -1;
  const std::int64_t rows = topDownBmp ? 0 : h;
  if (w <= 0 || (!topDownBmp && h <= 0) ||
      static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(std::max<std::int64_t>(rows, 0)) >
          std::min<std::uint64_t>(kMaxPixels, pixels.size())) {
    ReportLibraryError(kImageUnsupported, kRoutine);
    return kImageUnsupported;
  }
  const Bytes f(file);
  const Picture pic{pixels, w, rows, shortRead};
  switch (type) {
    case kGfBmp:
      return DecodeBmp(f, pic);
    case kGfPcx: {
      const std::int32_t rc = DecodePcx(f, pic);
      if (rc == kImageUnsupported) ReportLibraryError(kImageUnsupported, kRoutine);
      return rc;
    }
    default:
      return DecodePng(f, pic);
  }
}

void IGrLoadImageData(std::string_view name, int nameLength, std::span<std::int32_t> pixels) {
  std::string bytes;
  const std::string path = GraphicsFileName(name, nameLength);
  if (!ReadGraphicsFile(path, bytes)) bytes.clear();  // type -1: not supported
  (void)DecodeImageData({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
                        pixels);
}

}  // namespace tk
