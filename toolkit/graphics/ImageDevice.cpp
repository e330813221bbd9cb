#include "toolkit/graphics/ImageDevice.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <fstream>

#include "platform/system/Clipboard.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsFileType.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ImageEncode.h"
#include "toolkit/graphics/ImageLoad.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk {

namespace {

ImageTargetFn& TargetSeam() {
  static ImageTargetFn fn;
  return fn;
}

std::string NameUpToNul(std::string_view name) {
  return GraphicsFileName(name, static_cast<int>(name.size()));
}

std::span<const std::uint8_t> AsBytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// Runs the decoder without a report, leaving the error record as it was, and
// maps its outcome to a status.
int DecodeQuietly(const std::string& bytes, std::vector<std::int32_t>& px, std::int32_t& w,
                  std::int32_t& h, int& systemError) {
  const ToolkitErrorState kept = ErrorState();
  ErrorReportModeSet(kReportSilent);
  int status = kImageOk;
  // A device-independent bitmap stored top row first (negative height) is
  // drawn the right way up: decoded as bottom-up, then turned over.
  std::string upright;
  const bool topDown = ImageDataSize(AsBytes(bytes), w, h) && h < 0 && h != INT32_MIN &&
                       GraphicsTypeOfHeader(AsBytes(bytes)) == kGfBmp;
  if (topDown) {
    upright = bytes;
    h = -h;
    for (int i = 0; i < 4; ++i) upright[22 + static_cast<std::size_t>(i)] = static_cast<char>((h >> (8 * i)) & 255);
  }
  const std::string& source = topDown ? upright : bytes;
  if (!ImageDataSize(AsBytes(source), w, h) || h < 0) {
    status = kImageUnsupported;
  } else {
    px.assign(static_cast<std::size_t>(std::int64_t{w} * h), 0);
    bool cut = false;
    status = DecodeImageData(AsBytes(source), px, &cut);
    if (status == kImageZlib) systemError = ErrorState().secondaryStatus;
    // Drawing a picture the file does not hold is a failed read here.
    if (status == kImageOk && cut) status = kImageReadWrite;
    if (topDown)
      for (std::int64_t y = 0; y < h / 2; ++y)
        std::swap_ranges(px.begin() + y * w, px.begin() + (y + 1) * w, px.begin() + (h - 1 - y) * w);
  }
  ErrorState() = kept;
  return status;
}

// The checks of each kind before decoding; 0 when the file may be drawn.
int CheckKind(int kind, const std::string& name, const std::string& bytes, int& systemError) {
  if (kind == kGfBmp) {
    std::vector<std::uint8_t> block;
    std::int64_t offset = 0;
    const int status = BitmapFileLoad(name, block, offset);
    if (status == 1 || status == 2) systemError = errno;
    return status;
  }
  if (kind == kGfPcx) {
    if (bytes.size() < 128) return kImageReadWrite;
    if (bytes[0] != 10 || bytes[2] != 1) return kImageUnsupported;
    return kImageOk;
  }
  return GraphicsTypeOfHeader(AsBytes(bytes)) == kGfPng ? kImageOk : kImageUnsupported;
}

void Draw(plat::Canvas& canvas, const std::optional<plat::Rect>& clip, const plat::Surface& image,
          int left, int top, int right, int bottom, bool stretch) {
  if (stretch) {
    canvas.StretchBlt(left, top, right - left + 1, bottom - top + 1, image, 0, 0, image.Width(),
                      image.Height(), plat::kSrcCopy);
    return;
  }
  if (clip) canvas.SetClipRegion(plat::Region(*clip));
  canvas.BitBlt({left, top}, image.Width(), image.Height(), image, {0, 0}, plat::kSrcCopy);
  if (clip) canvas.ClearClipRegion();
}

plat::Surface SurfaceOf(const std::vector<std::int32_t>& px, std::int32_t w, std::int32_t h) {
  plat::Surface image(w, h);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x)
      image.Set(x, y, RgbToPixel(px[static_cast<std::size_t>(std::int64_t{y} * w + x)]));
  return image;
}

// The clipboard's device-independent bitmap drawn with source copy and no
// clip region: 1095 when there is none, 1066 when it cannot be drawn.
int ClipboardToCanvas(plat::Canvas* canvas, int left, int top, int right, int bottom, bool stretch) {
  const std::optional<std::vector<std::uint8_t>> dib = plat::ClipboardData(plat::kClipBitmap);
  if (!dib) return kImageClipboardEmpty;
  if (!canvas || dib->size() < 40) return kImageTransfer;
  const auto u32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>((*dib)[at] | (*dib)[at + 1] << 8 | (*dib)[at + 2] << 16 |
                                      static_cast<std::uint32_t>((*dib)[at + 3]) << 24);
  };
  // Read as the .BMP file it would be: a file header in front, the pixels
  // after the information header, its colour masks and its colour table.
  const std::uint64_t headerSize = u32(0);
  const std::uint64_t masks = headerSize == 40 && u32(16) == 3 ? 12 : 0;
  const std::uint64_t offset = 14 + headerSize + masks + static_cast<std::uint64_t>(DibColourTableSize(*dib));
  if (headerSize < 40 || offset > 14 + dib->size()) return kImageTransfer;
  std::string file = "BM";
  for (const std::uint64_t v : {std::uint64_t{14} + dib->size(), std::uint64_t{0}, offset})
    for (int i = 0; i < 4; ++i) file += static_cast<char>((v >> (8 * i)) & 255);
  file.append(reinterpret_cast<const char*>(dib->data()), dib->size());
  std::vector<std::int32_t> px;
  std::int32_t w = 0, h = 0;
  int systemError = 0;
  if (DecodeQuietly(file, px, w, h, systemError) != kImageOk) return kImageTransfer;
  Draw(*canvas, std::nullopt, SurfaceOf(px, w, h), left, top, right, bottom, stretch);
  return kImageOk;
}

void ImageToCanvas(plat::Canvas* canvas, const std::optional<plat::Rect>& clip, int kind, int left,
                   int top, int right, int bottom, int stretch, int& status, int& systemError,
                   std::string_view name) {
  status = kImageOk;
  systemError = 0;
  if (kind == 0) {
    status = ClipboardToCanvas(canvas, left, top, right, bottom, stretch != 0);
    return;
  }
  if (kind != kGfBmp && kind != kGfPcx && kind != kGfPng) return;
  const std::string path = NameUpToNul(name);
  std::string bytes;
  errno = 0;
  if (!ReadGraphicsFile(path, bytes)) {
    status = kImageOpenFailed;
    systemError = errno;
    return;
  }
  status = CheckKind(kind, path, bytes, systemError);
  if (status != kImageOk) return;
  std::vector<std::int32_t> px;
  std::int32_t w = 0, h = 0;
  status = DecodeQuietly(bytes, px, w, h, systemError);
  if (status != kImageOk || !canvas) return;
  Draw(*canvas, clip, SurfaceOf(px, w, h), left, top, right, bottom, stretch != 0);
}

// The screen's clip rectangle in pixels, rows from the top.
plat::Rect ScreenClip() {
  const GraphicsState& gs = Gs();
  return {gs.clipPixX0, gs.maxY - gs.clipPixY1, gs.clipPixX1 + 1, gs.maxY - gs.clipPixY0 + 1};
}

bool WriteAll(const std::string& path, const std::string& bytes, int& status, int& systemError) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    status = kImageOpenFailed;
    systemError = errno;
    return false;
  }
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    status = kImageReadWrite;
    systemError = errno;
    return false;
  }
  return true;
}

}  // namespace

void SetImageTargets(ImageTargetFn targets) { TargetSeam() = std::move(targets); }

void ImageToDevice(int kind, int target, int left, int top, int right, int bottom, int stretch,
                   int& status, int& systemError, std::string_view name) {
  status = kImageOk;
  systemError = 0;
  plat::Canvas* canvas = nullptr;
  std::optional<plat::Rect> clip;
  if (target == 0) {
    canvas = ScreenDriverCanvas();
    clip = ScreenClip();
  } else if ((target == 10 || target == 11) && TargetSeam()) {
    canvas = TargetSeam()(target, clip);
  } else {
    status = kImageUnsupported;
    return;
  }
  ImageToCanvas(canvas, clip, kind, left, top, right, bottom, stretch, status, systemError, name);
}

void ScreenImageOperation(plat::Canvas* canvas) {
  DriverParameters& dp = DriverParams();
  const plat::Rect clip = ScreenClip();
  // The kind is the file's own type: operation 38 always names a file.
  const std::string path = NameUpToNul(dp.text);
  std::array<std::int32_t, 1> info{};
  GraphicsFileType(path, static_cast<int>(path.size()), info, 1);
  int status = 0, systemError = 0;
  if (info[0] == -1) {
    status = kImageOpenFailed;
  } else {
    const int kind = (info[0] == kGfBmp || info[0] == kGfPcx || info[0] == kGfPng) ? info[0] : -2;
    if (kind == -2) status = kImageUnsupported;
    else
      ImageToCanvas(canvas, clip, kind, clip.left, clip.top, clip.right - 1, clip.bottom - 1, 1,
                    status, systemError, path);
  }
  dp.P2 = status;
  dp.P1 = systemError;
}

void ImageLayerInstall() { ScreenSeams().image = ScreenImageOperation; }

void ImageFromDevice(int kind, int x1, int y1, int x2, int y2, int& status, int& systemError,
                     std::string_view name) {
  status = kImageOk;
  systemError = 0;
  if (kind != 0 && kind != kGfBmp && kind != kGfPcx && kind != kGfPng) return;
  plat::Canvas* canvas = ScreenDriverCanvas();
  const std::int64_t w = std::int64_t{x2} - x1 + 1, h = std::int64_t{y2} - y1 + 1;
  if (!canvas || w <= 0 || h <= 0 || w * h > (1LL << 28)) {
    status = kImageSaveFailed;
    return;
  }
  // The rectangle as a 24-bit page, row 0 at the bottom.
  const ImagePageGeometry g = ImagePageLayout(w, h, 24);
  std::vector<std::uint32_t> words(static_cast<std::size_t>(g.totalWords + 1), 0);
  for (std::int64_t y = 0; y < h; ++y)
    for (std::int64_t x = 0; x < w; ++x) {
      const std::optional<plat::Pixel> p =
          canvas->GetPixel({static_cast<int>(x1 + x), static_cast<int>(y1 + y)});
      words[static_cast<std::size_t>((h - 1 - y) * g.wordsPerRow + x)] =
          static_cast<std::uint32_t>(p ? PixelToRgb(*p) : 0);
    }
  const RasterPageView page{g.width, g.height, 24, g.wordsPerRow, g.wordsPerPlane, words};
  std::string bytes;
  if (kind == 0) {
    // The clipboard takes the bitmap without its 14-byte file header.
    bytes = BmpImageBytes(page, 1);
    plat::ClipboardEmpty();
    if (!plat::ClipboardSetData(plat::kClipBitmap, std::vector<std::uint8_t>(bytes.begin() + 14, bytes.end())))
      status = kImageClipboardBusy;
    return;
  }
  if (kind == kGfBmp) {
    bytes = BmpImageBytes(page, 1);
  } else if (kind == kGfPcx) {
    bytes = PcxImageBytes(page);
  } else {
    const ToolkitErrorState kept = ErrorState();
    ErrorReportModeSet(kReportSilent);
    bytes = PngImageBytes(page);
    if (bytes.empty()) {
      status = kImageZlib;
      systemError = ErrorState().secondaryStatus;
    }
    ErrorState() = kept;
    if (bytes.empty()) return;
  }
  WriteAll(NameUpToNul(name), bytes, status, systemError);
}

std::int32_t DibColourTableSize(std::span<const std::uint8_t> header) {
  const auto u = [&](std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
      v = (v << 8) | (at + static_cast<std::size_t>(i) < header.size() ? header[at + static_cast<std::size_t>(i)] : 0u);
    return v;
  };
  const std::uint32_t size = u(0, 4);
  if (size == 12) {
    const std::uint32_t bits = u(10, 2);
    return bits == 1 ? 6 : bits == 4 ? 48 : bits == 8 ? 768 : 0;
  }
  const std::uint32_t bits = u(14, 2), used = u(32, 4);
  if (bits != 1 && bits != 4 && bits != 8) return 0;
  if (used != 0) return used <= 256 ? static_cast<std::int32_t>(used * 4) : 1024;
  return bits == 1 ? 8 : bits == 4 ? 64 : 1024;
}

int BitmapFileLoad(const std::string& name, std::vector<std::uint8_t>& block,
                   std::int64_t& rowsOffset) {
  std::string bytes;
  if (!ReadGraphicsFile(name, bytes)) return kImageOpenFailed;
  const std::span<const std::uint8_t> f = AsBytes(bytes);
  // What the file holds of its signature decides first: another format is
  // not supported, however short.
  if (f.size() >= 2 && (f[0] != 'B' || f[1] != 'M')) return kImageUnsupported;
  if (f.size() < 14) return kImageReadWrite;
  const auto u = [&](std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | f[at + static_cast<std::size_t>(i)];
    return v;
  };
  if (f.size() < 14 + 40) return kImageUnsupported;
  const std::uint32_t headerSize = u(14, 4);
  if (headerSize < 40 || headerSize > f.size() - 14) return kImageUnsupported;
  const std::uint32_t bits = u(28, 2), used = u(46, 4);
  const std::int64_t width = static_cast<std::int32_t>(u(18, 4)),
                     height = static_cast<std::int32_t>(u(22, 4));
  if (used > 256) return kImageUnsupported;
  const std::uint64_t colours = used != 0 ? used : (bits <= 8 ? (1u << bits) : 0u);
  std::uint64_t imageSize = u(34, 4);
  if (imageSize == 0) {
    if (width <= 0 || bits == 0 || bits > 32) return kImageUnsupported;
    imageSize = (static_cast<std::uint64_t>(bits) * static_cast<std::uint64_t>(width) + 31) / 32 *
                4 * static_cast<std::uint64_t>(height < 0 ? -height : height);
  }
  const std::uint64_t tableAt = 14 + std::uint64_t{headerSize};
  const std::uint64_t pixelOffset = u(10, 4) != 0 ? u(10, 4) : tableAt + 4 * colours;
  // Everything the block holds must be in the file: a short file is a
  // failed read, and no size taken from it allocates more than it has.
  if (tableAt + 4 * colours > f.size() || pixelOffset > f.size() ||
      imageSize > f.size() - pixelOffset)
    return kImageReadWrite;
  block.assign(f.begin() + 14, f.begin() + static_cast<std::ptrdiff_t>(tableAt + 4 * colours));
  if (used == 0) {
    const std::uint32_t c = static_cast<std::uint32_t>(colours);
    for (int i = 0; i < 4; ++i) block[32 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c >> (8 * i));
  }
  rowsOffset = static_cast<std::int64_t>(block.size());
  block.insert(block.end(), f.begin() + static_cast<std::ptrdiff_t>(pixelOffset),
               f.begin() + static_cast<std::ptrdiff_t>(pixelOffset + imageSize));
  return kImageOk;
}

int PcxRunRead(std::span<const std::uint8_t> file, std::size_t& pos, std::uint8_t& value,
               int& count) {
  if (pos >= file.size()) return kImageReadWrite;
  const std::uint8_t b = file[pos++];
  if (b < 192) {
    value = b;
    count = 1;
    return 0;
  }
  if (pos >= file.size()) return kImageReadWrite;
  count = b & 63;
  value = file[pos++];
  return 0;
}

int PcxRunWrite(std::uint8_t value, int count, std::string& out) {
  count = std::clamp(count, 1, 63);
  if (count != 1 || value >= 192) out += static_cast<char>(192 + count);
  out += static_cast<char>(value);
  return 0;
}

}  // namespace tk
