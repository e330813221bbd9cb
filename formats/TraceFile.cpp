#include "formats/TraceFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "record/RecordNaming.h"
#include "support/Allocation.h"
#include "support/ByteOrder.h"
#include "support/ByteReader.h"
#include "support/FileIO.h"
#include "support/Strings.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kNameChars = 256;
constexpr std::size_t kTagChars = 8;
constexpr std::int32_t kVersion = 1;
/// Files are read and written with 32-bit counts.
constexpr std::uint64_t kMaxFileBytes = static_cast<std::uint64_t>(INT32_MAX);
/// Bytes written or read per transfer.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

constexpr std::string_view kTagMain = "MAINHEAD";
constexpr std::string_view kTagTraces = "TRACES  ";
constexpr std::string_view kTagOptions = "TRPARMS ";
constexpr std::string_view kTagAxes = "TRAXES  ";
constexpr std::string_view kTagEnd = "ENDFILE ";
constexpr std::string_view kNothing = "NOTHING ";

constexpr std::string_view kFilter = "Velloran Binary File|*.TRX|";
constexpr std::string_view kTitle = "Velloran Binary File";
constexpr int kOpenFlags = 42;
constexpr int kSaveAsFlags = 47;

// ---------------------------------------------------------------------------
// The per-trace arrays that the file keeps, in the order they are written.

enum class ElementKind { Real, Int32, Int16 };

struct ArrayRecord {
  std::string_view tag;
  ElementKind kind;
  std::vector<float> ShotRecord::*real = nullptr;
  std::vector<std::int32_t> ShotRecord::*int32 = nullptr;
  std::vector<std::int16_t> ShotRecord::*int16 = nullptr;
  bool afterAxes = false;  // written after the options and the axes
};

constexpr std::size_t ElementBytes(ElementKind k) {
  return k == ElementKind::Int16 ? 2 : 4;
}

const ArrayRecord kArrays[] = {
    {"GEOLOC  ", ElementKind::Real, &ShotRecord::GEOLOC},
    {"GEOLOCY ", ElementKind::Real, &ShotRecord::GEOLOCY},
    {"SHOTLOCX", ElementKind::Real, &ShotRecord::SHOTLOCX},
    {"SHOTLOCY", ElementKind::Real, &ShotRecord::SHOTLOCY},
    {"GEOELE  ", ElementKind::Real, &ShotRecord::GEOELE},
    {"GOFF    ", ElementKind::Real, &ShotRecord::GOFF},
    {"TRACEMAX", ElementKind::Real, &ShotRecord::TRACEMAX},
    {"IBPICK  ", ElementKind::Int32, nullptr, &ShotRecord::IBPICK},
    {"IHICUT  ", ElementKind::Int16, nullptr, nullptr, &ShotRecord::IHICUT},
    {"ILOCUT  ", ElementKind::Int16, nullptr, nullptr, &ShotRecord::ILOCUT},
    {"INOTCH  ", ElementKind::Int16, nullptr, nullptr, &ShotRecord::INOTCH},
    {"IYEAR   ", ElementKind::Int16, nullptr, nullptr, &ShotRecord::IYEAR},
    {"IDAY    ", ElementKind::Int16, nullptr, nullptr, &ShotRecord::IDAY},
    {"IHOUR   ", ElementKind::Int16, nullptr, nullptr, &ShotRecord::IHOUR},
    {"IMINUTE ", ElementKind::Int16, nullptr, nullptr, &ShotRecord::IMINUTE},
    {"ISECOND ", ElementKind::Int16, nullptr, nullptr, &ShotRecord::ISECOND},
    {"ITBASE  ", ElementKind::Int16, nullptr, nullptr, &ShotRecord::ITBASE},
    {"IVSTACK ", ElementKind::Int32, nullptr, &ShotRecord::IVSTACK, nullptr, true},
    {"IFXGAIN ", ElementKind::Int32, nullptr, &ShotRecord::IFXGAIN, nullptr, true},
};

const ArrayRecord* FindArray(std::string_view tag) {
  for (const ArrayRecord& a : kArrays)
    if (a.tag == tag) return &a;
  return nullptr;
}

bool IsKnownTag(std::string_view tag) {
  return tag == kTagMain || tag == kTagTraces || tag == kTagOptions || tag == kTagAxes ||
         tag == kTagEnd || FindArray(tag) != nullptr;
}

// Bytes every file holds whatever its size: the magic, the headers of the
// 23 records that are not per trace (main header, 19 arrays, options, axes,
// end) and the fixed payloads.
constexpr std::uint64_t kFixedBytes = kTrxMagic.size() + 23 * kTrxRecordHeaderBytes +
                                      kMainHeaderBytes + kTrxOptionsBytes + kTrxAxesBytes;
static_assert(kFixedBytes == 776);
static_assert(kTrxOptionsBytes == kStoredDisplayOptionsBytes);

/// Bytes of the per-trace arrays per trace (58).
std::uint64_t ArrayBytesPerTrace() {
  std::uint64_t n = 0;
  for (const ArrayRecord& a : kArrays) n += ElementBytes(a.kind);
  return n;
}

// ---------------------------------------------------------------------------
// Encoding

/// Writes V's first N elements (zeros beyond its end) through W.
template <typename T, typename Put>
void PutArray(const std::vector<T>& v, std::size_t n, Put put) {
  const std::size_t have = std::min(v.size(), n);
  for (std::size_t i = 0; i < have; ++i) put(v[i]);
  for (std::size_t i = have; i < n; ++i) put(T{});
}

void PutHeader(sup::ByteWriter& w, std::string_view tag, std::int32_t index, std::uint64_t length) {
  w.Text(tag, kTagChars);
  w.I32(kVersion);
  w.I32(index);
  w.I32(static_cast<std::int32_t>(length));
}

void PutArrayRecord(sup::ByteWriter& w, const ShotRecord& rec, const ArrayRecord& a,
                    std::size_t n) {
  PutHeader(w, a.tag, 0, ElementBytes(a.kind) * n);
  switch (a.kind) {
    case ElementKind::Real:
      PutArray(rec.*a.real, n, [&w](float v) { w.F32(v); });
      break;
    case ElementKind::Int32:
      PutArray(rec.*a.int32, n, [&w](std::int32_t v) { w.I32(v); });
      break;
    case ElementKind::Int16:
      PutArray(rec.*a.int16, n, [&w](std::int16_t v) { w.I16(v); });
      break;
  }
}

/// The samples of one trace: N floats from SRC (zeros beyond its end).
void PutSamples(sup::ByteWriter& w, std::span<const float> src, std::size_t n) {
  const std::size_t have = std::min(src.size(), n);
  if constexpr (std::endian::native == std::endian::little) {
    if (have > 0) w.Bytes(std::as_bytes(src.first(have)));
  } else {
    for (std::size_t i = 0; i < have; ++i) w.F32(src[i]);
  }
  w.Zeros(4 * (n - have));
}

// ---------------------------------------------------------------------------
// Decoding

std::string Position(std::uint64_t offset) {
  return tk::FormatIntegerField(static_cast<std::int64_t>(offset), "(I8)");
}

struct Decoder {
  std::span<const std::byte> file;
  TrxContents& io;
  std::vector<TrxNotice>& notices;
  std::string tag = std::string(kTagChars, ' ');  // the tag field as it stands
  std::string lastGood = std::string(kNothing);
  bool haveMain = false;

  bool Fail(std::string text) {
    notices.push_back({sup::UserMessageKind::Information, std::move(text)});
    return false;
  }
  bool ReadFailure() {
    return Fail("READ ERROR OR END OF FILE AT BYTE " + Position(file.size()) + " WHILE READING " +
                tag);
  }
  bool Damaged(std::size_t at) {
    return Fail("INVALID DATA AT BYTE " + Position(at) + " WHILE READING " + tag);
  }
  bool AllocationFailure(std::size_t at) {
    return Fail("UNABLE TO ALLOCATE ARRAYS AT BYTE " + Position(at) + " WHILE READING " + tag);
  }

  bool Run();
  bool MainHeader(std::span<const std::byte> payload, std::size_t at);
  bool Samples(std::int32_t index, std::span<const std::byte> payload, std::size_t at);
  void Array(const ArrayRecord& a, std::span<const std::byte> payload);
  void Options(std::span<const std::byte> payload);
  void Axes(std::span<const std::byte> payload);
};

/// The first TARGET.size() bytes of TARGET replaced by PAYLOAD's first bytes:
/// a shorter payload fills the target from its start.
void Overlay(std::span<std::byte> target, std::span<const std::byte> payload) {
  const std::size_t n = std::min(target.size(), payload.size());
  std::memcpy(target.data(), payload.data(), n);
}

bool FiniteAtLeastZero(float v) {
  return std::isfinite(v) && v >= 0.0f;
}

bool Decoder::MainHeader(std::span<const std::byte> payload, std::size_t at) {
  ShotRecord& rec = io.record;
  std::array<std::byte, kMainHeaderBytes> bytes{};
  if (!WriteMainHeader(rec, bytes)) return Damaged(at);
  Overlay(bytes, payload);
  ShotRecord header;
  if (!ReadMainHeader(header, bytes)) return Damaged(at);
  // The counts must be ones the rest of the file can hold: every trace of a
  // trace file brings a record of its samples.
  const std::int64_t ntr = header.NTRACE;
  const std::int64_t ns = header.NSAMP;
  if (ntr < 0 || ns < 0 || header.NAUX < 0 || header.NAUX > header.NTRACE) return Damaged(at);
  // Checked against the whole file: a later main header may stand after the
  // samples it counts.
  const std::uint64_t remaining = file.size();
  const std::uint64_t perTrace = kTrxRecordHeaderBytes + 4 * static_cast<std::uint64_t>(ns);
  if (ntr > 0 && perTrace > remaining / static_cast<std::uint64_t>(ntr)) return Damaged(at);
  if (!FiniteAtLeastZero(header.SAMPINT) || (ns > 0 && ntr > 0 && header.SAMPINT <= 0.0f))
    return Damaged(at);

  if (!ReadMainHeader(rec, bytes)) return Damaged(at);
  rec.LSEGYHDR = false;
  if (!RebuildTraceArrays(rec)) return AllocationFailure(at + payload.size());
  std::fill(rec.SHOTLOCX.begin(), rec.SHOTLOCX.end(), rec.SHOTX);
  std::fill(rec.IFXGAIN.begin(), rec.IFXGAIN.end(), 1);
  std::fill(rec.IVSTACK.begin(), rec.IVSTACK.end(), 1);
  haveMain = true;
  return true;
}

bool Decoder::Samples(std::int32_t index, std::span<const std::byte> payload, std::size_t at) {
  if (!haveMain || index < 1 || index > io.record.NTRACE) return Damaged(at);
  std::span<float> column = Trace(io.record, index);
  const std::size_t n = std::min(column.size(), payload.size() / 4);
  if constexpr (std::endian::native == std::endian::little) {
    if (n > 0) std::memcpy(column.data(), payload.data(), 4 * n);
  } else {
    for (std::size_t i = 0; i < n; ++i)
      column[i] =
          std::bit_cast<float>(sup::LoadU32(payload.data() + 4 * i, sup::ByteOrder::Little));
  }
  return true;
}

template <typename T, typename Get>
void GetArray(std::vector<T>& v, std::span<const std::byte> payload, std::size_t size, Get get) {
  const std::size_t n = std::min(v.size(), payload.size() / size);
  for (std::size_t i = 0; i < n; ++i) v[i] = get(payload.data() + size * i);
}

void Decoder::Array(const ArrayRecord& a, std::span<const std::byte> payload) {
  ShotRecord& rec = io.record;
  const auto le = sup::ByteOrder::Little;
  switch (a.kind) {
    case ElementKind::Real:
      GetArray(rec.*a.real, payload, 4,
               [le](const std::byte* p) { return std::bit_cast<float>(sup::LoadU32(p, le)); });
      break;
    case ElementKind::Int32:
      GetArray(rec.*a.int32, payload, 4,
               [le](const std::byte* p) { return static_cast<std::int32_t>(sup::LoadU32(p, le)); });
      break;
    case ElementKind::Int16:
      GetArray(rec.*a.int16, payload, 2,
               [le](const std::byte* p) { return static_cast<std::int16_t>(sup::LoadU16(p, le)); });
      break;
  }
  if (a.int32 == &ShotRecord::IBPICK) {
    // A pick beyond the last sample points at nothing: read it as no pick.
    for (std::int32_t& pick : rec.IBPICK)
      if (pick > rec.NSAMP) pick = 0;
  }
}

bool InRange(float v, float lo, float hi) {
  return std::isfinite(v) && v >= lo && v <= hi;
}

void Decoder::Options(std::span<const std::byte> payload) {
  std::array<std::byte, kTrxOptionsBytes> bytes{};
  sup::ByteWriter w(bytes, sup::ByteOrder::Little);
  WriteTraceDisplayOptions(io.options, w, kTrxOptionsBytes);
  Overlay(bytes, payload);
  sup::ByteReader r(bytes, sup::ByteOrder::Little);
  TraceDisplayOptions read = io.options;
  ReadTraceDisplayOptions(read, r, kTrxOptionsBytes);
  // Each stored value is taken only inside the range the trace-plotting
  // dialog allows; otherwise the current value stays.
  TraceDisplayOptions& o = io.options;
  if (InRange(read.TRACECLIP, 0.01f, 100.0f)) o.TRACECLIP = read.TRACECLIP;
  if (InRange(read.TRACEWIDTH, 0.01f, 100.0f)) o.TRACEWIDTH = read.TRACEWIDTH;
  if (InRange(read.AGCFRAC, 0.01f, 1.0f)) o.AGCFRAC = read.AGCFRAC;
  if (read.IGAINMETHOD >= 1 && read.IGAINMETHOD <= 3) o.IGAINMETHOD = read.IGAINMETHOD;
  if (read.ITIMELINES >= 1 && read.ITIMELINES <= 3) o.ITIMELINES = read.ITIMELINES;
  o.LVERTICAL = read.LVERTICAL;
  o.LVARAREA = read.LVARAREA;
  o.LPLOTPICKS = read.LPLOTPICKS;
  o.LGEOPOS = read.LGEOPOS;
  if (InRange(read.PIXELSIZE, 0.001f, 1.0f)) o.PIXELSIZE = read.PIXELSIZE;
}

/// Axes that can frame a plot: finite reals, non-zero cells and scales,
/// division and minor counts and the marker within what the drawing knows.
bool UsableAxes(const sup::GraphAxes& a) {
  for (float v :
       {a.XORIGIN,   a.YORIGIN,     a.XCELL,    a.YCELL,    a.XSTART,   a.YSTART,  a.XSTEP,
        a.YSTEP,     a.XOFFSET,     a.YOFFSET,  a.XSCALE,   a.YSCALE,   a.TICKCAP, a.XDRAWNMIN,
        a.XDRAWNMAX, a.LABELBOTTOM, a.XCLIPMIN, a.XCLIPMAX, a.YCLIPMIN, a.YCLIPMAX})
    if (!std::isfinite(v)) return false;
  if (a.XCELL == 0.0f || a.YCELL == 0.0f || a.XSCALE == 0.0f || a.YSCALE == 0.0f) return false;
  constexpr std::int32_t kMaxDivisions = 1000;
  for (std::int32_t n : {a.NXDIV, a.NYDIV, a.NXMINOR, a.NYMINOR})
    if (n < -kMaxDivisions || n > kMaxDivisions) return false;
  // The frame is drawn on the 10 by 8 plot page: a frame or origin many pages
  // away cannot show a plot on any screen.
  constexpr double kMaxPlotUnits = 100.0;
  for (double v : {static_cast<double>(a.XORIGIN), static_cast<double>(a.YORIGIN),
                   static_cast<double>(a.XCELL) * std::max(a.NXDIV, 1),
                   static_cast<double>(a.YCELL) * std::max(a.NYDIV, 1)})
    if (std::fabs(v) > kMaxPlotUnits) return false;
  return a.IMARKER >= 0 && a.IMARKER <= 11;
}

void Decoder::Axes(std::span<const std::byte> payload) {
  const std::array<std::uint32_t, sup::kGraphAxesWords> words = sup::GraphAxesToWords(io.axes);
  std::array<std::byte, kTrxAxesBytes> bytes{};
  sup::ByteWriter w(bytes, sup::ByteOrder::Little);
  for (std::size_t i = 0; i < kTrxAxesWords; ++i) w.U32(words[i]);
  Overlay(bytes, payload);
  std::array<std::uint32_t, sup::kGraphAxesWords> read = words;
  sup::ByteReader r(bytes, sup::ByteOrder::Little);
  for (std::size_t i = 0; i < kTrxAxesWords; ++i) read[i] = r.U32();
  const sup::GraphAxes axes = sup::GraphAxesFromWords(read);
  if (UsableAxes(axes)) io.axes = axes;
}

bool Decoder::Run() {
  if (file.size() < kTrxMagic.size()) return ReadFailure();
  if (std::memcmp(file.data(), kTrxMagic.data(), kTrxMagic.size()) != 0)
    return Fail("File is not Morvane Trace file");
  std::size_t at = kTrxMagic.size();
  for (;;) {
    const std::size_t left = file.size() - at;
    if (left >= kTagChars) tag.assign(reinterpret_cast<const char*>(file.data() + at), kTagChars);
    if (left < kTrxRecordHeaderBytes) return ReadFailure();
    sup::ByteReader h(file.subspan(at + kTagChars, 12), sup::ByteOrder::Little);
    const std::int32_t version = h.I32();
    const std::int32_t index = h.I32();
    const std::int32_t length = h.I32();
    at += kTrxRecordHeaderBytes;
    if (length < 0) return Damaged(at);
    if (static_cast<std::size_t>(length) > file.size() - at) return ReadFailure();
    const std::span<const std::byte> payload = file.subspan(at, static_cast<std::size_t>(length));
    const std::size_t payloadAt = at;
    at += payload.size();

    if (tag == kTagEnd) {
      if (!haveMain) return Damaged(payloadAt);
      return true;
    }
    if (!IsKnownTag(tag)) {
      std::string shown = tag;
      sup::NCHRCK(shown, static_cast<int>(shown.size()));
      notices.push_back(
          {sup::UserMessageKind::Warning,
           "DON'T KNOW HOW TO READ " + shown + ". LAST SUCCESSFUL READ WAS " + lastGood});
      continue;
    }
    if (version != kVersion) {
      notices.push_back({sup::UserMessageKind::Information, "SKIPPING NEW VERSION: " + tag});
      continue;
    }
    if (tag == kTagMain) {
      if (!MainHeader(payload, payloadAt)) return false;
    } else if (tag == kTagTraces) {
      if (!Samples(index, payload, payloadAt)) return false;
    } else if (tag == kTagOptions) {
      Options(payload);
    } else if (tag == kTagAxes) {
      Axes(payload);
    } else {
      if (!haveMain) return Damaged(payloadAt);
      Array(*FindArray(tag), payload);
    }
    lastGood = tag;
  }
}

// ---------------------------------------------------------------------------
// Files

using plat::Padded;

void OpenFailure(std::string_view name) {
  sup::WINMSG("CANNOT OPEN FILE: " + std::string(plat::TrimRight(name)) + " Be sure existing file is not read-only");
}

/// The name after its last "/" or "\".
std::string BareName(std::string_view name) {
  const std::size_t at = name.find_last_of("/\\");
  return std::string(at == std::string_view::npos ? name : name.substr(at + 1));
}

/// NAME, or the file already in its folder whose name differs from it only
/// in letter case (the first of them in name order), so that saving over a
/// file never leaves a second copy beside it under another case.
std::string ExistingNameInAnyCase(const std::string& name) {
  std::error_code ec;
  if (fs::exists(fs::path(name), ec)) return name;
  const std::size_t cut = name.find_last_of('/');
  const std::string folder = cut == std::string::npos ? "." : name.substr(0, cut + 1);
  const std::string bare = cut == std::string::npos ? name : name.substr(cut + 1);
  const auto lower = [](std::string t) {
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
  };
  const std::string wanted = lower(bare);
  std::string found;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    std::error_code kind;
    if (lower(entry) != wanted || !it->is_regular_file(kind)) continue;
    if (found.empty() || entry < found) found = entry;
  }
  if (found.empty()) return name;
  return cut == std::string::npos ? found : name.substr(0, cut + 1) + found;
}

/// A target the user may not write: an existing file that is not writable
/// for this process, or that carries no write permission for its owner (the
/// read-only mark, which even a privileged user is held to here).
bool IsReadOnly(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return ::access(path.c_str(), W_OK) != 0 || (st.st_mode & S_IWUSR) == 0;
}

// A write that failed at POSITION; ERROR, the system's error number, says why
// (a full disk is a full disk), and without one the old hint stands.
void WriteFailure(std::uint64_t position, int error = 0) {
  if (error != 0) {
    sup::WINMSG("WRITE ERROR AT BYTE " + Position(position) + ": " + plat::SystemErrorText(error));
    return;
  }
  sup::WINMSG("WRITE ERROR AT BYTE " + Position(position) + ": " + Position(0) +
              " Be sure existing file is not read-only");
}

}  // namespace

TrxMode TrxModeOf(std::string_view MODE) {
  const std::string mode = Padded(MODE, 10);
  if (sup::LCUQEQ(mode, "Open      ", 10)) return TrxMode::Open;
  if (sup::LCUQEQ(mode, "Save      ", 10)) return TrxMode::Save;
  if (sup::LCUQEQ(mode, "RELOAD    ", 10)) return TrxMode::Reload;
  return TrxMode::SaveAs;
}

std::uint64_t TraceFileBytes(std::int64_t NTRACE, std::int64_t NSAMP) {
  const auto n = static_cast<std::uint64_t>(std::max<std::int64_t>(NTRACE, 0));
  const auto m = static_cast<std::uint64_t>(std::max<std::int64_t>(NSAMP, 0));
  return kFixedBytes + n * (ArrayBytesPerTrace() + kTrxRecordHeaderBytes) + 4 * n * m;
}

bool EncodeTraceFile(const ShotRecord& REC, const sup::GraphAxes& AXES,
                     const TraceDisplayOptions& OPTS, std::vector<std::byte>& out) {
  const std::int64_t ntr = std::max<std::int32_t>(REC.NTRACE, 0);
  const std::int64_t ns = std::max<std::int32_t>(REC.NSAMP, 0);
  // 4 NSAMP must fit a payload length, and the whole file a 32-bit count.
  if (ns > INT32_MAX / 4) return false;
  const std::uint64_t total = TraceFileBytes(ntr, ns);
  if (ntr > INT32_MAX / 8 || total > kMaxFileBytes) return false;
  if (!sup::TryAssign(out, total, std::byte{0})) return false;
  const auto n = static_cast<std::size_t>(ntr);
  const auto m = static_cast<std::size_t>(ns);
  sup::ByteWriter w(out, sup::ByteOrder::Little);
  w.Text(kTrxMagic, kTrxMagic.size());
  PutHeader(w, kTagMain, 0, kMainHeaderBytes);
  std::array<std::byte, kMainHeaderBytes> header{};
  if (!WriteMainHeader(REC, header)) return false;
  w.Bytes(header);
  for (const ArrayRecord& a : kArrays)
    if (!a.afterAxes) PutArrayRecord(w, REC, a, n);
  for (std::size_t j = 1; j <= n; ++j) {
    PutHeader(w, kTagTraces, static_cast<std::int32_t>(j), 4 * m);
    const std::span<const float> all(REC.TRACES);
    const std::size_t start = std::min((j - 1) * m, all.size());
    PutSamples(w, all.subspan(start, std::min(m, all.size() - start)), m);
  }
  PutHeader(w, kTagOptions, 0, kTrxOptionsBytes);
  WriteTraceDisplayOptions(OPTS, w, kTrxOptionsBytes);
  PutHeader(w, kTagAxes, 0, kTrxAxesBytes);
  const auto words = sup::GraphAxesToWords(AXES);
  for (std::size_t i = 0; i < kTrxAxesWords; ++i) w.U32(words[i]);
  for (const ArrayRecord& a : kArrays)
    if (a.afterAxes) PutArrayRecord(w, REC, a, n);
  PutHeader(w, kTagEnd, 0, 0);
  return w.Ok() && w.Offset() == out.size();
}

bool DecodeTraceFile(std::span<const std::byte> file, TrxContents& io,
                     std::vector<TrxNotice>& notices) {
  Decoder d{file, io, notices};
  return d.Run();
}

bool ReadTraceFileBytes(std::string_view NAME, std::vector<std::byte>& bytes) {
  const std::string name(plat::TrimRight(NAME));
  const int ih = sup::IOPNRLY(name);
  if (ih < 0) {
    OpenFailure(name);
    return false;
  }
  int size = 0;
  tk::IFileSeek(ih, size, tk::kFromEnd);
  bool ok = size >= 0 && sup::ISETFIL(ih, 0) == 0;
  if (ok) ok = sup::TryAssign(bytes, static_cast<std::size_t>(size), std::byte{0});
  for (std::size_t at = 0; ok && at < bytes.size(); at += kChunkBytes) {
    const int n = static_cast<int>(std::min(kChunkBytes, bytes.size() - at));
    ok = sup::JREDFIL(ih, std::span(bytes).subspan(at, static_cast<std::size_t>(n)), n) == 0;
  }
  sup::ICLSFIL(ih);
  if (!ok) OpenFailure(name);
  return ok;
}

void WriteTraceFileBytes(std::string_view NAME, std::span<const std::byte> bytes, int& IERR) {
  IERR = -1;
  const std::string target(plat::TrimRight(NAME));
  if (IsReadOnly(target)) {
    OpenFailure(target);
    return;
  }
  const plat::ReplaceResult r = plat::ReplaceFileContents(target, bytes.data(), bytes.size());
  if (!r.opened) {
    OpenFailure(target);
    return;
  }
  if (r.error != 0) {
    WriteFailure(r.written, r.error);
    return;
  }
  IERR = 0;
}

void BIOVELLN(ShotRecord& REC, sup::GraphAxes& AXES, TraceDisplayOptions& OPTS,
              std::string_view MODE, std::string& NAME, int& IERR) {
  IERR = -1;
  const TrxMode mode = TrxModeOf(MODE);
  RecordName newName = REC.CRECNAME;
  switch (mode) {
    case TrxMode::Save:
      NAME = Padded(ExistingNameInAnyCase(std::string(REC.CRECNAME.Trimmed()) + ".TRX"),
                    kNameChars);
      break;
    case TrxMode::Open:
    case TrxMode::SaveAs: {
      std::string chosen(kNameChars, ' ');
      tk::WSelectFile(kFilter, mode == TrxMode::Open ? kOpenFlags : kSaveAsFlags, chosen, kTitle);
      if (tk::WDialogStatusQuery(4) != 1) return;
      NAME = Padded(BareName(plat::TrimRight(chosen)), kNameChars);
      newName = RecordNameOfFile(plat::TrimRight(NAME));
      break;
    }
    case TrxMode::Reload:
      break;
  }
  const std::string name(plat::TrimRight(NAME));
  if (name.empty()) return;

  if (mode == TrxMode::Save || mode == TrxMode::SaveAs) {
    std::vector<std::byte> bytes;
    bool encoded = false;
    if (mode == TrxMode::SaveAs && !(newName == REC.CRECNAME)) {
      // The record is written under its new name, which it keeps once the
      // file is complete.
      const RecordName held = REC.CRECNAME;
      REC.CRECNAME = newName;
      encoded = EncodeTraceFile(REC, AXES, OPTS, bytes);
      REC.CRECNAME = held;
    } else {
      encoded = EncodeTraceFile(REC, AXES, OPTS, bytes);
    }
    if (!encoded) {
      WriteFailure(0);
      return;
    }
    WriteTraceFileBytes(name, bytes, IERR);
    if (IERR == 0) REC.CRECNAME = newName;
    return;
  }

  std::error_code ec;
  if (!fs::exists(fs::path(name), ec)) {
    sup::WINMSG("CANNOT FIND FILE: " + Padded(name, kNameChars));
    return;
  }
  std::vector<std::byte> bytes;
  if (!ReadTraceFileBytes(name, bytes)) return;
  auto contents = std::make_unique<TrxContents>();
  contents->axes = AXES;
  contents->options = OPTS;
  std::vector<TrxNotice> notices;
  const bool ok = DecodeTraceFile(bytes, *contents, notices);
  for (const TrxNotice& n : notices) {
    if (n.kind == sup::UserMessageKind::Warning) {
      sup::WINWRN(n.text);
    } else {
      sup::WINMSG(n.text);
    }
  }
  if (!ok) return;
  REC = std::move(contents->record);
  AXES = contents->axes;
  OPTS = contents->options;
  IERR = 0;
}

}  // namespace vel
