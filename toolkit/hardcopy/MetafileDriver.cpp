// The metafile driver, the enhanced-metafile slots and the metafile player.
#include "toolkit/hardcopy/MetafileDriver.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <memory>

#include "platform/FixedText.h"
#include "platform/system/Clipboard.h"
#include "platform/system/File.h"
#include "platform/system/Printer.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ImageDevice.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/hardcopy/GdiDrawing_p.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/MetafileFormat.h"
#include "toolkit/hardcopy/MetafilePlayer.h"
#include "toolkit/hardcopy/PrinterAccess.h"
#include "toolkit/hardcopy/WinPrinterDriver.h"

namespace tk {
namespace {

constexpr std::string_view kRoutine = "XXWMF";
constexpr std::string_view kCapabilities = "00000111111111100010011011110";
constexpr int kErrClipboardAccess = 1094;
constexpr int kErrClipboardType = 1095;
// Metafiles and slot surfaces beyond these are refused rather than read or made.
constexpr std::int64_t kMaxMetafileBytes = 256LL << 20;
constexpr int kMaxSlotPixels = 8192;
constexpr int kMaxImageSide = 2048;

int Trunc(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int>(std::clamp(v, -2147483648.0, 2147483647.0));
}

// The picture being recorded by the driver.
struct OpenPicture {
  std::unique_ptr<MetafileRecorder> recorder;
  int kind = 1;  // option 27: 0 plain, 1 placeable, 2 enhanced
  bool clipboard = false;
  int handle = -1;
  std::string name;
  int width = 0, height = 0;  // logical units
  int placeRight = 0, placeBottom = 0;
  // Where an image is drawn before it becomes a bitmap record.
  plat::Surface scratch;
  std::unique_ptr<plat::Canvas> scratchCanvas;
};

OpenPicture& Open() {
  static OpenPicture p;
  return p;
}

// Writes BYTES to the file HANDLE: 0 or the system error.
int WriteAll(int handle, std::span<const std::uint8_t> bytes) {
  std::size_t moved = 0;
  const int err = plat::FileWrite(handle, bytes.data(), bytes.size(), moved);
  if (err != 0) return err;
  return moved == bytes.size() ? 0 : EIO;
}

std::string NameOf(std::string_view text) {
  const std::string_view cut = text.substr(0, text.find('\0'));
  return std::string(plat::TrimRight(cut));
}

void EndOutput();

void Begin() {
  DriverParameters& dp = DriverParams();
  GraphicsState& gs = Gs();
  OpenPicture& m = Open();
  if (dp.P2 > 0) {
    // A picture still open is finished first.
    if (m.recorder) EndOutput();
    const int o27 = HardcopyOption(27);
    m.kind = o27 == 2 ? 2 : o27 == 0 ? 0 : 1;
    const int w720 = std::max(HardcopyOption(1), 1) * 10, h720 = std::max(HardcopyOption(2), 1) * 10;
    m.placeRight = HardcopyOption(1) * 1000 / 72;
    m.placeBottom = HardcopyOption(2) * 1000 / 72;
    if (dp.KX[0] == 0) HardcopyTitle() = plat::Padded(kDefaultDocumentName, kHardcopyTitleLength);
    // A blank name means the clipboard; a chosen name is written whatever
    // the start was given.
    m.name = NameOf(std::string_view(DriverText()).substr(0, kDriverTextLength));
    m.clipboard = m.name.empty();
    if (!m.clipboard) {
      int err = plat::FileOpen(m.name, plat::FileAccess::WriteCreate, m.handle);
      if (err == 0 && m.kind == 1) err = WriteAll(m.handle, PlaceableHeader(m.placeRight, m.placeBottom));
      if (err != 0) {
        plat::FileClose(m.handle);
        m = OpenPicture{};
        ReportFileError(kErrOpen, err, kRoutine);
        gs.hardcopyOn = 0;
        return;
      }
    }
    double pixelsPer720 = 1.0;
    int reference = 720;
    if (m.kind == 2) {
      const EmfReference ref = MetafileReferenceDevice();
      m.width = Trunc(w720 * static_cast<double>(ref.horzRes) * 25.4 / (ref.horzSize * 720.0));
      m.height = Trunc(h720 * static_cast<double>(ref.vertRes) * 25.4 / (ref.vertSize * 720.0));
      const plat::Rect frame{0, 0, w720 * 254 / 72, h720 * 254 / 72};
      const std::string title(plat::TrimRight(HardcopyTitle()));
      m.recorder = MetafileRecorder::Enhanced(ref, frame, MetafileDescription(title), m.width + 1,
                                              m.height + 1);
      pixelsPer720 = static_cast<double>(m.width) / w720;
      reference = ref.logPixelsX;
    } else {
      m.width = w720;
      m.height = h720;
      m.recorder = MetafileRecorder::Windows(w720, h720);
    }
    gdi::MetafileDrawingBegin(m.recorder.get(), m.kind == 2, reference, pixelsPer720);
  }
  dp.factorX = gs.extentX > 0 ? static_cast<float>(m.width / static_cast<double>(gs.extentX)) : 1.0f;
  dp.factorY = gs.extentY > 0 ? static_cast<float>(m.height / static_cast<double>(gs.extentY)) : 1.0f;
}

void EndOutput() {
  OpenPicture& m = Open();
  if (!m.recorder) return;
  gdi::MetafileDrawingEnd();
  std::vector<std::uint8_t> bytes = m.recorder->Close();
  int error = 0, systemError = 0;
  if (m.clipboard) {
    plat::ClipboardEmpty();
    bool ok;
    if (m.kind == 2) {
      ok = plat::ClipboardSetData(plat::kClipEnhMetafile, std::move(bytes));
    } else {
      std::vector<std::uint8_t> picture = PlaceableHeader(m.placeRight, m.placeBottom);
      picture.insert(picture.end(), bytes.begin(), bytes.end());
      ok = plat::ClipboardSetData(plat::kClipMetafile, std::move(picture));
    }
    if (!ok) error = kErrClipboardAccess;
  } else {
    systemError = WriteAll(m.handle, bytes);
    const int closeError = plat::FileClose(m.handle);
    if (systemError == 0) systemError = closeError;
    if (systemError != 0) error = kErrReadWrite;
  }
  m = OpenPicture{};
  if (error == kErrReadWrite)
    ReportFileError(error, systemError, kRoutine);
  else if (error != 0)
    ReportLibraryError(error, kRoutine);
}

// The 20 enhanced-metafile slots: a recording, or the closed bytes; what
// the screen driver draws on a recording slot is kept as pixels and goes
// into the metafile as one bitmap over the whole picture when it closes.
struct EmfSlot {
  std::unique_ptr<MetafileRecorder> recorder;
  std::vector<std::uint8_t> bytes;
  bool closed = false;
  plat::Surface surface;
  bool drawn = false;
  plat::Rect picture{};
};

std::array<EmfSlot, kMetafileSlots>& Slots() {
  static std::array<EmfSlot, kMetafileSlots> s;
  return s;
}

bool SlotIndexValid(int slot) {
  return slot >= 0 && slot < kMetafileSlots;
}

void CloseSlot(EmfSlot& e) {
  if (!e.recorder) return;
  if (e.drawn) e.recorder->Bitmap(e.surface, e.picture);
  e.bytes = e.recorder->Close();
  e.recorder.reset();
  e.closed = true;
}

std::optional<SurfaceBinding> SelectSlot(int number) {
  const int s = number - 1;
  if (!SlotIndexValid(s) || !Slots()[static_cast<std::size_t>(s)].recorder) return std::nullopt;
  EmfSlot& e = Slots()[static_cast<std::size_t>(s)];
  const MetafileSlot& g = MetafileSlotAt(number);
  if (g.width <= 0 || g.height <= 0 || g.width > kMaxSlotPixels || g.height > kMaxSlotPixels)
    return std::nullopt;
  if (e.surface.Width() != g.width || e.surface.Height() != g.height) e.surface.Resize(g.width, g.height);
  e.drawn = true;
  SurfaceBinding b;
  b.surface = &e.surface;
  b.size = {g.width, g.height};
  b.metafile = true;
  return b;
}

// Reads the whole file NAME (at most LIMIT bytes): 0, 1 not opened, 2 short
// or too large; SYSTEM_ERROR the system's code.
int ReadFile(const std::string& name, std::int64_t wanted, std::vector<std::uint8_t>& bytes,
             int& systemError) {
  int handle = -1;
  systemError = plat::FileOpen(name, plat::FileAccess::Read, handle);
  if (systemError != 0) return 1;
  std::int64_t size = 0;
  systemError = plat::FileSize(handle, size);
  if (wanted < 0) wanted = size;
  if (systemError != 0 || wanted <= 0 || wanted > kMaxMetafileBytes || wanted > size) {
    plat::FileClose(handle);
    return 2;
  }
  bytes.resize(static_cast<std::size_t>(wanted));
  std::size_t moved = 0;
  systemError = plat::FileRead(handle, bytes.data(), bytes.size(), moved);
  plat::FileClose(handle);
  if (systemError != 0 || moved != bytes.size()) {
    bytes.clear();
    return 2;
  }
  return 0;
}

// The enhanced metafile's header and record chain up to its end record.
bool EnhancedWellFormed(std::span<const std::uint8_t> b) {
  const auto u32 = [&b](std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16)) |
           (std::uint32_t{b[at + 3]} << 24);
  };
  if (b.size() < 88 || u32(0) != metafile::kEmrHeader || u32(40) != kEmfSignature) return false;
  std::size_t at = 0;
  while (b.size() - at >= 8) {
    const std::uint32_t type = u32(at), size = u32(at + 4);
    if (size < 8 || size % 4 != 0 || size > b.size() - at) return false;
    if (type == metafile::kEmrEof) return true;
    at += size;
  }
  return false;
}

}  // namespace

std::string MetafileDescription(std::string_view title) {
  std::string d = "JQX metafile driver";
  d.push_back('\0');
  d += title;
  d.push_back('\0');
  d.push_back('\0');
  return d;
}

EmfReference MetafileReferenceDevice() {
  EmfReference r;
  const PrinterJobSettings& job = CurrentPrinterJob();
  if (job.namesKnown && !job.deviceName.empty()) {
    const plat::PrinterPage page = plat::PrinterPageOf(job.deviceName);
    if (page.dpiX > 0 && page.dpiY > 0 && page.paperWidth > 0 && page.paperHeight > 0) {
      r.horzRes = page.paperWidth;
      r.vertRes = page.paperHeight;
      r.horzSize = std::max(1, Trunc(page.paperWidth * 25.4 / page.dpiX + 0.5));
      r.vertSize = std::max(1, Trunc(page.paperHeight * 25.4 / page.dpiY + 0.5));
      r.logPixelsX = page.dpiX;
      return r;
    }
  }
  // The screen at 96 pixels an inch (sizes whole in millimetres).
  r.horzRes = 1920;
  r.vertRes = 1440;
  r.horzSize = 508;
  r.vertSize = 381;
  r.logPixelsX = 96;
  return r;
}

void XXWMF::Select() {
  DriverParameters& dp = DriverParams();
  if (dp.P1 == -999) {
    dp.P1 = kDriverWindowsMetafile;
    return;
  }
  HardcopyOptionsReset();
  HardcopyOptionStore(1, 756);
  HardcopyOptionStore(2, 540);
  HardcopyOptionStore(27, 1);
  HardcopyOptionStore(29, 0);
  dp.resolutionX = dp.resolutionY = 600;
  dp.deviceColours = 256;
  dp.spoolCapable = 0;
  dp.deviceUnderline = 1;
  dp.deviceStringText = 1;
  dp.trueColour[1] = 1;
  dp.platformLevel[1] = 2;  // the platform belongs to the NT family
  dp.textAngles[1] = 360;
  dp.gradientFill[1] = dp.gradientFill[0];
  dp.deviceTextMaximum[1] = 1.7e38f;
  dp.capabilities[1] = std::string(kCapabilities);
  HardcopyFileName() = std::string(kHardcopyNameLength, ' ');
  dp.driverNumber = kDriverWindowsMetafile;
}

void XXWMF::Output(DriverOperation op) {
  gdi::UseMetafileDrawing();
  switch (op) {
    case DriverOperation::BeginPicture: Begin(); break;
    case DriverOperation::EndOutput: EndOutput(); break;
    case DriverOperation::EndPage: DriverParams().pageDirty = 0; break;
    default: break;
  }
}

void XXWMF::Draw(DriverOperation op) {
  gdi::UseMetafileDrawing();
  gdi::DrawOperations(op);
}

void XXWMF::Attribute(DriverOperation op) {
  gdi::UseMetafileDrawing();
  gdi::AttributeOperations(op);
}

void XXWMF::Text(DriverOperation op) {
  gdi::UseMetafileDrawing();
  gdi::TextOperations(op);
}

plat::Canvas* MetafileImageTarget(int target, std::optional<plat::Rect>& clip) {
  OpenPicture& m = Open();
  if (target != kDriverWindowsMetafile || !m.scratchCanvas) return nullptr;
  clip.reset();
  return m.scratchCanvas.get();
}

void MetafileImage(int kind, int left, int top, int right, int bottom, std::string_view name,
                   int& status, int& systemError) {
  OpenPicture& m = Open();
  status = systemError = 0;
  const int w = right - left, h = bottom - top;
  if (!m.recorder || w <= 0 || h <= 0) return;
  // Large pictures are drawn smaller and stretched back by the metafile.
  const double scale = std::min(1.0, static_cast<double>(kMaxImageSide) / std::max(w, h));
  const int sw = std::max(1, Trunc(w * scale)), sh = std::max(1, Trunc(h * scale));
  m.scratch = plat::Surface(sw, sh);
  m.scratchCanvas = std::make_unique<plat::Canvas>(m.scratch);
  ImageToDevice(kind, kDriverWindowsMetafile, 0, 0, sw, sh, 1, status, systemError, name);
  m.scratchCanvas.reset();
  if (status == 0) m.recorder->Bitmap(m.scratch, {left, top, right, bottom});
  m.scratch = plat::Surface();
}

void EmfCreate(int slot, int width, int height, int& outWidth, int& outHeight) {
  outWidth = outHeight = 0;
  if (!SlotIndexValid(slot) || width <= 0 || height <= 0 || width > 32767 || height > 32767) return;
  EmfSlot& e = Slots()[static_cast<std::size_t>(slot)];
  if (e.recorder || e.closed) EmfDelete(slot);
  const EmfReference ref = MetafileReferenceDevice();
  outWidth = Trunc(width * static_cast<double>(ref.horzRes) * 254 / (ref.horzSize * 720.0));
  outHeight = Trunc(height * static_cast<double>(ref.vertRes) * 254 / (ref.vertSize * 720.0));
  const plat::Rect frame{0, 0, width * 2540 / 72, height * 2540 / 72};
  e.recorder = MetafileRecorder::Enhanced(ref, frame, "", 0, 0);
  e.picture = {0, 0, outWidth, outHeight};
  MetafileSlot& g = MetafileSlotAt(slot + 1);
  g = MetafileSlot{};
  g.kind = 3;
  g.inUse = 1;
  g.width = outWidth;
  g.height = outHeight;
  g.first = width;
  g.second = height;
}

void EmfDelete(int slot) {
  if (!SlotIndexValid(slot)) return;
  const GraphicsState& gs = Gs();
  // The screen driver must not keep drawing on a surface that goes.
  if (gs.drawableKind == kDrawMetafile && gs.drawableNumber == slot + 1) ScreenSurfaceRelease();
  Slots()[static_cast<std::size_t>(slot)] = EmfSlot{};
  MetafileSlotAt(slot + 1) = MetafileSlot{};
}

void EmfLoad(int slot, std::int64_t fileSize, int& error, int& systemError, std::string_view name) {
  error = systemError = 0;
  if (!SlotIndexValid(slot)) {
    error = 1;
    return;
  }
  EmfDelete(slot);
  std::vector<std::uint8_t> bytes;
  error = ReadFile(NameOf(name), fileSize, bytes, systemError);
  if (error == 0 && !EnhancedWellFormed(bytes)) error = 2;
  if (error != 0) return;
  EmfSlot& e = Slots()[static_cast<std::size_t>(slot)];
  e.bytes = std::move(bytes);
  e.closed = true;
  MetafileSlot& g = MetafileSlotAt(slot + 1);
  g.kind = 3;
  g.inUse = 1;
}

void EmfPlay(int slot, int left, int top, int right, int bottom) {
  if (!SlotIndexValid(slot)) return;
  EmfSlot& e = Slots()[static_cast<std::size_t>(slot)];
  CloseSlot(e);
  plat::Canvas* canvas = ScreenDriverCanvas();
  if (!e.closed || !canvas || right <= left || bottom <= top) return;
  CanvasContext ctx(*canvas);
  (void)PlayEnhancedMetafile(e.bytes, ctx, {left, top, right, bottom});
}

void EmfCopyToFile(int slot, int& error, int& systemError, std::string_view name) {
  error = systemError = 0;
  if (!SlotIndexValid(slot) || (!Slots()[static_cast<std::size_t>(slot)].recorder &&
                                !Slots()[static_cast<std::size_t>(slot)].closed)) {
    error = 1;
    return;
  }
  EmfSlot& e = Slots()[static_cast<std::size_t>(slot)];
  CloseSlot(e);
  int handle = -1;
  systemError = plat::FileOpen(NameOf(name), plat::FileAccess::WriteCreate, handle);
  if (systemError == 0) systemError = WriteAll(handle, e.bytes);
  const int closeError = plat::FileClose(handle);
  if (systemError == 0) systemError = closeError;
  if (systemError != 0) error = 1;
}

void EmfSurfaceSetup(int slot, int width, int height, int& error) {
  error = 1;
  if (!SlotIndexValid(slot) || !Slots()[static_cast<std::size_t>(slot)].recorder) return;
  if (width <= 0 || height <= 0 || width > kMaxSlotPixels || height > kMaxSlotPixels) return;
  MetafileSlot& g = MetafileSlotAt(slot + 1);
  g.width = width;
  g.height = height;
  IGrSelect(kDrawMetafile, slot + 1);
  const GraphicsState& gs = Gs();
  if (gs.drawableKind == kDrawMetafile && gs.drawableNumber == slot + 1) error = 0;
}

std::shared_ptr<plat::Surface> EmfSlotImage(int number) {
  const std::vector<std::uint8_t> bytes = EmfSlotBytes(number - 1);
  if (bytes.size() < 88) return nullptr;
  // The picture's size: the header's bounds, inclusive.
  const auto i32 = [&bytes](std::size_t at) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) |
                                                                (bytes[at + 2] << 16)) |
                                     (std::uint32_t{bytes[at + 3]} << 24));
  };
  const std::int64_t w = std::int64_t{i32(16)} - i32(8) + 1, h = std::int64_t{i32(20)} - i32(12) + 1;
  if (w <= 0 || h <= 0 || w > kMaxSlotPixels || h > kMaxSlotPixels) return nullptr;
  auto image = std::make_shared<plat::Surface>(static_cast<int>(w), static_cast<int>(h));
  plat::CanvasDrawContext ctx(*image, {});
  if (!PlayEnhancedMetafile(bytes, ctx, {0, 0, static_cast<int>(w), static_cast<int>(h)})) return nullptr;
  return image;
}

std::vector<std::uint8_t> EmfSlotBytes(int slot) {
  if (!SlotIndexValid(slot)) return {};
  EmfSlot& e = Slots()[static_cast<std::size_t>(slot)];
  CloseSlot(e);
  return e.bytes;
}

void MetafilePlay(int kind, int left, int top, int right, int bottom, int target, int& error,
                  std::string_view name, int source) {
  error = 0;
  std::vector<std::uint8_t> bytes;
  bool enhanced = kind == 2;
  if (source == 1) {
    if (!plat::ClipboardHasFormat(plat::kClipEnhMetafile)) {
      error = kErrClipboardType;
      return;
    }
    std::optional<std::vector<std::uint8_t>> data = plat::ClipboardData(plat::kClipEnhMetafile);
    if (!data) {
      error = kErrClipboardAccess;
      return;
    }
    bytes = std::move(*data);
    enhanced = true;
  } else {
    int systemError = 0;
    error = ReadFile(NameOf(name), -1, bytes, systemError);
    if (error != 0) return;
  }
  std::span<const std::uint8_t> picture(bytes);
  if (!enhanced && kind == 1) {
    // The placeable header is skipped; a file shorter than it is bad data.
    if (picture.size() < static_cast<std::size_t>(kPlaceableHeaderSize)) {
      error = 2;
      return;
    }
    picture = picture.subspan(kPlaceableHeaderSize);
  }
  // An empty rectangle would divide by zero: nothing is played.
  if (right <= left || bottom <= top) return;
  const plat::Rect dest{left, top, right, bottom};
  std::optional<plat::Rect> clip;
  std::unique_ptr<CanvasContext> canvasContext;
  plat::DrawContext* ctx = nullptr;
  if (target == 0) {
    if (plat::Canvas* c = ScreenDriverCanvas()) ctx = (canvasContext = std::make_unique<CanvasContext>(*c)).get();
  } else if (target == kDriverWindowsPrinter) {
    if (plat::Canvas* c = WinPrinterImageTarget(target, clip))
      ctx = (canvasContext = std::make_unique<CanvasContext>(*c)).get();
  } else if (target == kDriverWindowsMetafile) {
    ctx = Open().recorder.get();
  }
  if (!ctx) {
    error = 1;
    return;
  }
  const bool ok = enhanced ? PlayEnhancedMetafile(picture, *ctx, dest, clip)
                           : PlayWindowsMetafile(picture, *ctx, dest, clip);
  if (!ok) error = 2;
}

void ConnectMetafileSlots() {
  GraphicsTargets t = Targets();
  t.selectMetafile = SelectSlot;
  t.destroyMetafile = [](int number) { EmfDelete(number - 1); };
  t.metafileImage = EmfSlotImage;
  SetGraphicsTargets(std::move(t));
}

void MetafileDriverReset() {
  OpenPicture& m = Open();
  if (m.recorder) {
    gdi::MetafileDrawingEnd();
    plat::FileClose(m.handle);
  }
  m = OpenPicture{};
  for (int s = 0; s < kMetafileSlots; ++s)
    if (Slots()[static_cast<std::size_t>(s)].recorder || Slots()[static_cast<std::size_t>(s)].closed)
      EmfDelete(s);
}

}  // namespace tk
