// Printer access over the platform printer.
#include "toolkit/hardcopy/PrinterAccess.h"

#include <cerrno>
#include <cfenv>
#include <cstring>

#include "toolkit/core/ToolkitState.h"

namespace tk {
namespace {

// Without a printer the queries fail with "no such device".
constexpr int kNoPrinterError = ENODEV;

struct DumpDocument {
  std::unique_ptr<PrinterContext> context;
  int pageWidth = 0;   // pixels
  int pageHeight = 0;  // pixels
};

DumpDocument& Dump() {
  static DumpDocument d;
  return d;
}

plat::DrawContext*& StandIn() {
  static plat::DrawContext* context = nullptr;
  return context;
}

std::fenv_t& SavedEnvironment() {
  static std::fenv_t env;
  return env;
}

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::string MediaOfPaper(int code) {
  switch (code) {
    case kPaperLetter: return "Letter";
    case kPaperLegal: return "Legal";
    case kPaperA3: return "A3";
    case kPaperA4: return "A4";
    default: return {};
  }
}

}  // namespace

void PrinterJobSettings::ResetOverrides() {
  paperSize = paperLength = paperWidth = scale = defaultSource = printQuality = colour = duplex =
      yResolution = trueTypeOption = collate = -1;
  mediaType = ditherType = 99999;
}

PrinterJobSettings& CurrentPrinterJob() {
  static PrinterJobSettings settings;
  return settings;
}

void FpuGuardBegin() {
  std::fegetenv(&SavedEnvironment());
}

void FpuGuardEnd() {
  std::fesetenv(&SavedEnvironment());
}

std::string DefaultPrinterEntry() {
  std::string destination;
  if (!plat::PrinterDefaultDestination(destination)) return {};
  return destination + ",lp," + destination;
}

bool DefaultPrinterParse(std::string_view entry, PrinterJobSettings& settings) {
  if (entry.empty()) return false;
  std::string fields[3];
  int field = 0;
  std::size_t i = 0;
  while (i < entry.size()) {
    if (entry[i] == ',' && field < 2) {
      ++field;
      ++i;
      while (i < entry.size() && entry[i] == ' ') ++i;
      continue;
    }
    fields[field] += entry[i];
    ++i;
  }
  settings.deviceName = fields[0];
  if (field >= 1) settings.driverName = fields[1];
  if (field >= 2) settings.portName = fields[2];
  settings.namesKnown = true;
  return true;
}

int DefaultPrinter() {
  return DefaultPrinterParse(DefaultPrinterEntry(), CurrentPrinterJob()) ? 1 : 0;
}

void PrinterPageInfo(int& longSide, int& shortSide, int& width, int& height, int& left, int& top,
                     int& orientation, int& copies, int& colours, int& error) {
  longSide = shortSide = width = height = left = top = orientation = copies = colours = error = 0;
  PrinterJobSettings& s = CurrentPrinterJob();
  if (!s.namesKnown) {
    if (DefaultPrinter() == 0) {
      error = kNoPrinterError;
      return;
    }
    s.pageSetupDone = false;
  }
  if (s.deviceName.empty() || !plat::PrintCommandPresent()) {
    error = kNoPrinterError;
    return;
  }
  const plat::PrinterPage page = plat::PrinterPageOf(s.deviceName);
  const int w = page.paperWidth * 72 / std::max(page.dpiX, 1);
  const int h = page.paperHeight * 72 / std::max(page.dpiY, 1);
  longSide = std::max(w, h);
  shortSide = std::min(w, h);
  width = longSide - 144;
  height = shortSide - 144;
  left = top = 72;
  orientation = 1;
  copies = 1;
  colours = page.colours;
  s.ResetOverrides();
}

std::vector<std::string> PrinterOverrideOptions(const PrinterJobSettings& s, std::string& media) {
  std::vector<std::string> options;
  media.clear();
  if (s.paperSize != -1) media = MediaOfPaper(s.paperSize);
  if (s.colour == 1) options.emplace_back("print-color-mode=monochrome");
  if (s.colour == 2) options.emplace_back("print-color-mode=color");
  if (s.duplex == 1) options.emplace_back("sides=one-sided");
  if (s.duplex == 2) options.emplace_back("sides=two-sided-long-edge");
  if (s.duplex == 3) options.emplace_back("sides=two-sided-short-edge");
  if (s.collate == 0) options.emplace_back("collate=false");
  if (s.collate == 1) options.emplace_back("collate=true");
  return options;
}

PrinterContext::PrinterContext(plat::PrinterPage page, plat::PrintJobSettings settings,
                               bool landscape)
    : job_(std::move(page), std::move(settings), landscape) {}

void PrinterContext::StartDoc(std::string_view name) {
  plat::PrintJobSettings settings = job_.Settings();
  settings.title = std::string(name);
  job_ = plat::PrintJob(job_.Page(), settings, job_.Landscape());
}

void PrinterContext::StartPage() {
  plat::Surface& page = job_.StartPage();
  draw_ = std::make_unique<plat::CanvasDrawContext>(
      page, plat::Point{-windowOrigin_.x, -windowOrigin_.y});
  pageOpen_ = true;
}

plat::DrawContext* PrinterContext::Draw() {
  if (!pageOpen_) return nullptr;
  if (StandIn()) return StandIn();
  return draw_.get();
}

plat::PrintJobResult PrinterContext::EndDoc() {
  pageOpen_ = false;
  draw_.reset();
  return job_.Submit();
}

void PrinterDrawStandIn(plat::DrawContext* context) {
  StandIn() = context;
}

std::int16_t PaperCodeOfMedia(std::string_view media) {
  if (media == "Letter") return kPaperLetter;
  if (media == "Legal") return kPaperLegal;
  if (media == "A3") return kPaperA3;
  return kPaperA4;
}

std::unique_ptr<PrinterContext> PrinterDC(int orientation, int copies) {
  return PrinterDC(CurrentPrinterJob(), orientation, copies);
}

std::unique_ptr<PrinterContext> PrinterDC(const PrinterJobSettings& s, int orientation,
                                          int copies) {
  if (s.deviceName.empty() || !plat::PrintCommandPresent()) return nullptr;
  plat::PrinterPage page = plat::PrinterPageOf(s.deviceName);
  plat::PrintJobSettings settings;
  settings.destination = s.deviceName;
  settings.copies = copies;
  settings.options = PrinterOverrideOptions(s, settings.media);
  if (!settings.media.empty()) {
    page.media = settings.media;
    plat::MediaPixels(page.media, page.dpiX, page.paperWidth, page.paperHeight);
  }
  // The orientation lies in the shape of the pages; the print system is not
  // asked to turn them.
  return std::make_unique<PrinterContext>(page, settings, orientation != 0);
}

void PrinterStartDoc(int pageWidth, int pageHeight, int leftMargin, int topMargin, int& error,
                     int orientation, int copies, std::string_view documentName) {
  DumpDocument& d = Dump();
  error = 1;
  d.context = PrinterDC(orientation, copies);
  if (!d.context) return;
  std::string_view name = documentName.substr(0, documentName.find('\0'));
  d.context->StartDoc(name);
  error = 0;
  const int rx = d.context->ResolutionX(), ry = d.context->ResolutionY();
  d.context->SetWindowOrigin(
      {d.context->OffsetX() - leftMargin * rx / 72, d.context->OffsetY() - topMargin * ry / 72});
  d.pageWidth = pageWidth * rx / 72;
  d.pageHeight = pageHeight * ry / 72;
  d.context->StartPage();
}

std::vector<std::uint8_t> ScreenDib(const plat::Surface& screen, const plat::Rect& area) {
  const int width = std::max(area.Width(), 0), height = std::max(area.Height(), 0);
  const std::size_t row = (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4;
  std::vector<std::uint8_t> dib(40 + row * static_cast<std::size_t>(height), 0);
  Put32(dib, 0, 40);
  Put32(dib, 4, static_cast<std::uint32_t>(width));
  Put32(dib, 8, static_cast<std::uint32_t>(height));
  Put16(dib, 12, 1);
  Put16(dib, 14, 24);
  Put32(dib, 20, static_cast<std::uint32_t>(row * static_cast<std::size_t>(height)));
  for (int y = 0; y < height; ++y) {
    std::uint8_t* out = dib.data() + 40 + row * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const plat::Pixel p = screen.Get(area.left + x, area.top + y);
      out[3 * x] = static_cast<std::uint8_t>(plat::BlueOf(p));
      out[3 * x + 1] = static_cast<std::uint8_t>(plat::GreenOf(p));
      out[3 * x + 2] = static_cast<std::uint8_t>(plat::RedOf(p));
    }
  }
  return dib;
}

int printing::DibColourTableSize(std::span<const std::uint8_t> header) {
  if (header.size() < 12) return 0;
  const std::uint32_t size = Le32(header, 0);
  if (size == 40 && header.size() >= 40) {
    switch (Le16(header, 14)) {
      case 1: return 8;
      case 4: return 64;
      case 8: return 1024;
      case 24: return static_cast<int>(std::min<std::uint32_t>(Le32(header, 32), 1u << 24) * 4);
      default: return 0;
    }
  }
  if (size == 12) {
    switch (Le16(header, 10)) {
      case 1: return 6;
      case 4: return 48;
      case 8: return 768;
      default: return 0;  // a core header has no colours-used count
    }
  }
  return 0;
}

void PrinterDumpScreen(const plat::Surface& screen, int left, int top, int right, int bottom,
                       int& error) {
  DumpDocument& d = Dump();
  error = 1;
  if (!d.context || !d.context->PageOpen()) return;
  const plat::Rect area{left, top, right + 1, bottom + 1};
  if (area.Empty()) return;
  const std::vector<std::uint8_t> dib = ScreenDib(screen, area);
  const int width = area.Width(), height = area.Height();
  const std::size_t row = (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4;
  const std::size_t bits = 40 + static_cast<std::size_t>(printing::DibColourTableSize(dib));
  // The bitmap back into pixels, stretched over the page.
  plat::Surface image(width, height);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = dib.data() + bits + row * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) image.Set(x, y, plat::Rgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]));
  }
  plat::Surface* page = d.context->CurrentPage();
  if (!page) return;
  const plat::Point o = d.context->WindowOrigin();
  plat::Canvas canvas(*page, {-o.x, -o.y});
  canvas.StretchBlt(0, 0, d.pageWidth, d.pageHeight, image, 0, 0, width, height,
                    plat::kSrcCopy);
  error = 0;
}

plat::PrintJobResult PrinterEndDoc() {
  DumpDocument& d = Dump();
  plat::PrintJobResult result;
  if (!d.context) return result;
  d.context->EndPage();
  result = d.context->EndDoc();
  d.context.reset();
  return result;
}

std::int32_t& WindowsPrinterAvailable() {
  static std::int32_t available = 0;
  return available;
}
std::int32_t& PaperWidth() {
  static std::int32_t v = 0;
  return v;
}
std::int32_t& PaperHeight() {
  static std::int32_t v = 0;
  return v;
}
std::int32_t& PrinterInstalled() {
  static std::int32_t v = 0;
  return v;
}

namespace {

// The printer chosen and what start-up learnt of it; part of the one reset
// for tests, so that each start asks the print system afresh.
void ResetPrinterAccess() {
  CurrentPrinterJob() = PrinterJobSettings{};
  WindowsPrinterAvailable() = 0;
  PaperWidth() = 0;
  PaperHeight() = 0;
  PrinterInstalled() = 0;
}
[[maybe_unused]] const bool kResetRegistered =
    RegisterToolkitReset(ToolkitLayer::Hardcopy, ResetPrinterAccess);

}  // namespace

}  // namespace tk
