#include "toolkit/hardcopy/ImageDriver.h"

#include <algorithm>
#include <new>
#include <string_view>

#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ImageFiles.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/RasterPage.h"

namespace tk {

namespace {

constexpr std::string_view kCapabilities = "00000111111111110010011111000";
constexpr int kStream = 2;
constexpr float kResolution = 150.0f;

int PageBits() {
  const int bits = HardcopyOption(23);
  return bits == 1 || bits == 4 || bits == 24 ? bits : 8;
}

/// The value a cleared page holds: white paper. At 8 bits the palette entry
/// nearest to white (the pen palette makes entry 0 black), at 4 bits colour 0
/// of the 16-colour table, at 24 bits white itself; a 1-bit page has no ink.
std::uint32_t PaperValue(int bits) {
  switch (bits) {
    case 8: {
      const auto n = static_cast<std::uint32_t>(PaletteNearestColour(0xFFFFFF) & 0xFF);
      return n * 0x01010101u;
    }
    case 24:
      return 0xFFFFFFFFu;
    default:
      return 0;
  }
}

std::string Trimmed(std::string_view text) {
  const std::size_t end = text.find_last_not_of(" \0", std::string_view::npos, 2);
  return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}

}  // namespace

RasterPageView ImagePageView(const RasterPage& page) {
  return {page.width, page.height, page.bitsPerPixel, page.wordsPerRow, page.wordsPerPlane,
          page.words};
}

void XXIMAG::Select() {
  DriverParameters& dp = DriverParams();
  if (dp.P1 == -999) {
    dp.P1 = kDriverBitImage;
    return;
  }
  RasterDriver(DriverOperation::Select);
  HardcopyOptionStore(1, 640);
  HardcopyOptionStore(2, 480);
  HardcopyOptionStore(5, 0);
  HardcopyOptionStore(23, 8);
  HardcopyOptionStore(26, 0);
  dp.spoolCapable = 0;
  dp.deviceColours = 256;
  dp.capabilities[1] = std::string(kCapabilities);
  HardcopyFileName() = "parvplot.pcx";
  HardcopyFileName().resize(kHardcopyNameLength, ' ');
  dp.driverNumber = kDriverBitImage;
}

void XXIMAG::Begin() {
  DriverParameters& dp = DriverParams();
  if (dp.P2 <= 0) {
    RasterDriver(DriverOperation::BeginPicture);
    return;
  }
  const int bits = PageBits();
  HardcopyOptionStore(6, 0);
  if (bits == 1) dp.trueColour[1] = 0;
  RasterPage& page = CurrentRasterPage();
  page.words.clear();
  page.words.shrink_to_fit();
  page.bitsPerPixel = bits;
  page.planes = bits == 4 ? 4 : 1;
  page.resolutionX = page.resolutionY = kResolution;
  page.colourKind = 0;
  page.background = PaperValue(bits);
  const ImagePageGeometry g = ImagePageFit(
      HardcopyOption(1), HardcopyOption(2), bits, kRasterPageWordCap, [&page](std::int64_t words) {
        page.words.clear();
        page.words.shrink_to_fit();
        try {
          page.words.assign(static_cast<std::size_t>(words), page.background);
        } catch (const std::bad_alloc&) {
          return false;
        }
        return true;
      });
  page.width = g.width;
  page.height = g.height;
  if (!page.Size()) {
    // No page at all: nothing is drawn and nothing written.
    page.width = page.height = 0;
    page.wordsPerRow = page.wordsPerPlane = page.totalWords = 0;
  }
  page.usableWords = page.totalWords;
  outputName_ = Trimmed(DriverText());
  pagesWritten_ = 0;
  RasterDriver(DriverOperation::BeginPicture);
  RasterDriver(DriverOperation::Clear);
}

bool XXIMAG::OpenPageFile(int n) {
  if (n < 2) return true;
  PlotFileClose(kStream);
  PatchPage(n - 1);
  std::string& text = DriverText();
  const std::string kept = text;
  text = ImagePageFileName(outputName_, n);
  text.resize(std::max<std::size_t>(text.size(), kDriverTextLength), ' ');
  PlotFileOpen(kStream);
  text = kept;
  return PlotFileStatus() == 0;
}

void XXIMAG::PatchPage(int n) const {
  const int bits = CurrentRasterPage().bitsPerPixel;
  if (n < 1 || pageType_ != 2 || (bits != 4 && bits != 8) || PlotFileStatus() == -1) return;
  const std::string name = ImagePageFileName(outputName_, n);
  YYBMP2(name, static_cast<int>(name.size()), bits);
}

void XXIMAG::EndPage() {
  DriverParameters& dp = DriverParams();
  if (!dp.pageDirty) return;
  RasterPage& page = CurrentRasterPage();
  dp.pageDirty = 0;
  if (page.width <= 0 || page.height <= 0 || page.words.empty()) return;
  const int n = pagesWritten_ + 1;
  if (OpenPageFile(n)) {
    pagesWritten_ = n;
    pageType_ = HardcopyOption(26);
    const RasterPageView view = ImagePageView(page);
    switch (pageType_) {
      case 1:
      case 2:
        BmpFileWrite(view, pageType_);
        break;
      case 3:
        PngFileWrite(view);
        break;
      default:
        PcxFileWrite(view);
        break;
    }
  }
  RasterDriver(DriverOperation::Clear);
}

void XXIMAG::EndOutput() {
  RasterDriver(DriverOperation::EndOutput);
  PatchPage(pagesWritten_);
  pagesWritten_ = 0;
}

void XXIMAG::Output(DriverOperation op) {
  switch (op) {
    case DriverOperation::BeginPicture:
      Begin();
      break;
    case DriverOperation::EndPage:
      EndPage();
      break;
    case DriverOperation::EndOutput:
      EndOutput();
      break;
    default:
      RasterDriver(op);
      break;
  }
}

void XXIMAG::Draw(DriverOperation op) { RasterDriver(op); }
void XXIMAG::Attribute(DriverOperation op) { RasterDriver(op); }
void XXIMAG::Text(DriverOperation op) { RasterDriver(op); }

}  // namespace tk
