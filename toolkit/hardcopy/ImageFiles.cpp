#include "toolkit/hardcopy/ImageFiles.h"

#include <algorithm>
#include <cmath>

#include "toolkit/core/Errors.h"
#include "toolkit/core/Files.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace tk {

namespace {

constexpr int kOutStream = 2;
constexpr std::int32_t kErrPageTooLarge = 34;

bool Send(const std::string& bytes) {
  PlotFileWrite(kOutStream, bytes, static_cast<int>(bytes.size()));
  return PlotFileStatus() != -1;
}

std::string LittleEndian32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 255);
  return s;
}

}  // namespace

ImagePageGeometry ImagePageFit(std::int64_t width, std::int64_t height, int bits,
                               std::int64_t maxWords,
                               const std::function<bool(std::int64_t words)>& allocate) {
  const auto shrink = [&](const ImagePageGeometry& g) {
    const std::int64_t total = g.totalWords;
    // total x 9 / 10 in integers, without the product overflowing.
    const std::int64_t nine = (total / 10) * 9 + (total % 10) * 9 / 10;
    const double f = std::sqrt(static_cast<double>(total) / static_cast<double>(nine));
    width = static_cast<std::int64_t>(g.width / f);
    height = static_cast<std::int64_t>(g.height / f);
  };
  ImagePageGeometry g = ImagePageLayout(width, height, bits);
  // Far above what could ever be held: the steps are taken at once.
  if (g.totalWords + 1 > maxWords) {
    ReportLibraryError(kErrPageTooLarge, "XXIMAG");
    while (g.totalWords + 1 > maxWords && g.totalWords >= 10) {
      shrink(g);
      g = ImagePageLayout(width, height, bits);
    }
  }
  while (!allocate(g.totalWords + 1)) {
    ReportLibraryError(kErrPageTooLarge, "XXIMAG");
    if (g.totalWords < 10) {  // the factor no longer shrinks: give up on a page
      g = ImagePageLayout(0, 0, bits);
      if (!allocate(1)) break;
      return g;
    }
    shrink(g);
    g = ImagePageLayout(width, height, bits);
  }
  return g;
}

std::string ImagePageFileName(std::string_view name, int page) {
  std::string s(name);
  if (page < 2) return s;
  const std::size_t slash = s.find_last_of("/\\");
  const std::size_t dot = s.rfind('.');
  const std::string tag = "-" + std::to_string(page);
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return s + tag;
  return s.insert(dot, tag);
}

void BmpFileWrite(const RasterPageView& page, int type) {
  if (!Send(BmpHeaderBytes(page, type))) return;
  for (std::int64_t row = 0; row < page.height; ++row)
    if (!Send(BmpRowBytes(page, type, row))) return;
  const std::string end = BmpEndBytes(page, type);
  if (!end.empty()) Send(end);
}

void PcxFileWrite(const RasterPageView& page) {
  if (!Send(PcxHeaderBytes(page))) return;
  std::string pending;
  for (std::int64_t row = page.height - 1; row >= 0; --row) {
    pending += PcxLineBytes(page, row);
    if (pending.size() > 40006) {
      if (!Send(pending)) return;
      pending.clear();
    }
  }
  if (!pending.empty() && !Send(pending)) return;
  const std::string trailer = PcxTrailerBytes(page);
  if (!trailer.empty()) Send(trailer);
}

void PngFileWrite(const RasterPageView& page) {
  if (!Send(PngHeadBytes(page))) return;
  const std::string data = PngDataBytes(page);
  if (data.empty()) {
    PlotFileStatus() = -1;
    return;
  }
  Send(data);
}

void YYBMP2(std::string_view name, int nameLength, int bits) {
  const std::string path(name.substr(0, static_cast<std::size_t>(
                                            std::clamp<int>(nameLength, 0, static_cast<int>(name.size())))));
  IFileHandle h = -1;
  // A file that cannot be opened is left alone, and so is the error record.
  const ToolkitErrorState kept = ErrorState();
  ErrorReportModeSet(kReportSilent);
  IFileOpen(path, kFileReadWrite, h);
  ErrorState() = kept;
  if (h < 0) return;
  int size = 0;
  IFileSeek(h, size, kFromEnd);
  const std::int64_t tableBytes = 4 * (std::int64_t{1} << std::clamp(bits, 0, 8));
  const auto patch = [&](int at, std::int64_t value) {
    int pos = at;
    IFileSeek(h, pos, kFromStart);
    const std::string b = LittleEndian32(static_cast<std::uint32_t>(value));
    int moved = 0;
    IFileWriteChar(h, b, 4, moved);
    if (moved != 4) ReportLibraryError(kErrReadWrite, "YYBMP2");
    return moved == 4;
  };
  if (size >= 0 && patch(2, size)) patch(34, std::max<std::int64_t>(size - 54 - tableBytes, 0));
  IFileClose(h);
}

}  // namespace tk
