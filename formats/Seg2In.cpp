#include "formats/Seg2In.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "record/FreshRecord.h"
#include "support/Allocation.h"
#include "support/ByteOrder.h"
#include "support/ByteReader.h"
#include "support/FileIO.h"
#include "support/Parallel.h"
#include "support/Progress.h"
#include "support/Strings.h"
#include "support/UserMessages.h"
#include "support/Vectorised.h"
#include "toolkit/core/Files.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

// File descriptor block.
constexpr std::size_t kFdbPointerBytes = 4;  // M, unsigned 16-bit
constexpr std::size_t kFdbTraceCount = 6;    // N, signed 16-bit
constexpr std::size_t kFdbTerminators = 8;   // six bytes of terminator sizes and characters
// Trace descriptor block.
constexpr std::size_t kTdbBlockBytes = 2;   // signed 16-bit
constexpr std::size_t kTdbSampleCount = 8;  // signed 32-bit
constexpr std::size_t kTdbFormatCode = 12;  // one byte

/// Entries longer than this are not parsed.
constexpr int kMaxStringChars = 4096;
/// Traces above which the reader shows its own progress dialog.
constexpr int kProgressAbove = 100;
/// Starting values of the range search.
constexpr float kRangeStart = 1.0e30f;
/// A first break at or above this was not given.
constexpr float kNoFirstBreak = 1.0e20f;
/// The file is read, and its samples decoded, in parts of at least this many
/// bytes side by side, at most kMaxParts of them.
constexpr long long kMinPartBytes = 1 << 19;
constexpr int kMaxParts = 4;
/// The parts are taken in chunks of about this many bytes, the next by the
/// first thread free, so that a thread that starts late does not hold the rest up.
constexpr std::size_t kChunkBytes = 1 << 18;

// Messages.
constexpr std::string_view kMsgOpen = "SEG2IN - ERROR OPENING SEG2 FILE";
constexpr std::string_view kMsgFdb = "SEG2IN - ERROR READING SEG2 FILE DESCRIP BLOCK";
constexpr std::string_view kMsgNotSeg2 = "SEG2IN - ERROR, INPUT FILE IS NOT IN SEG2 FORMAT";
constexpr std::string_view kMsgPointerTable =
    "Cannot allocate space for File descriptor trace pointer block";
constexpr std::string_view kMsgPointers = "SEG2IN - ERROR READING SEG2 TRACE POINTER BLOCK";
constexpr std::string_view kMsgFdbString = "SEG2IN - ERROR READING SEG2 FILE BLOCK STRING";
constexpr std::string_view kMsgFdbLong = "File Descriptor Block String longer than 4096 characters";
constexpr std::string_view kMsgTraceStart = "SEG2IN - ERROR SETTING TO BEGINNING OF TRACE BLOCK";
constexpr std::string_view kMsgTdb = "SEG2IN - ERROR READING SEG2 TRACE DESCRIP BLOCK";
constexpr std::string_view kMsgTdbId = "SEG2IN - ERROR, TRACE HEADER BLOCK NOT FOUND";
constexpr std::string_view kMsgFormat = "SEG2IN - ERROR, UNSUPPORTED TRACE FORMAT: ";
constexpr std::string_view kMsgAllocate = "CANNOT ALLOCATE ARRAYS IN SEG2IN";
constexpr std::string_view kMsgEqualLength = "All traces in file must be of equal length";
constexpr std::string_view kMsgTdbString = "SEG2IN - ERROR READING SEG2 TRACE HEADER";
constexpr std::string_view kMsgTdbLong =
    "Trace Descriptor Block String longer than 4096 characters";
constexpr std::string_view kMsgParse = "SEG2IN - ERROR PARSING TRACE DESCRIPTOR BLOCK";
constexpr std::string_view kMsgDataPointer = "SEG2IN - ERROR SETTING TRACE DATA BLOCK POINTER";
constexpr std::string_view kMsgDataShort = "ERROR READING TRACES FROM SEG2 FILE, TRACE:";
constexpr std::string_view kMsgData = "SEG2IN - ERROR READING SEG2 TRACE DATA";
constexpr std::string_view kMsgSwap = "BYTE SWAP ILLEGAL FOR FORMATS 3 AND 5";

/// J right-aligned in five columns, "*****" when it does not fit.
std::string Column5(int j) {
  std::string s = std::to_string(j);
  if (s.size() > 5) return "*****";
  return std::string(5 - s.size(), ' ') + s;
}

/// What stops the read at a trace's descriptor or data block, in the order
/// the read meets them: the descriptor's faults before its strings are read,
/// the data block's after.
enum class BlockFault {
  None,
  Start,        // the pointer lies outside the file
  ShortHeader,  // the descriptor's fixed part runs past the end
  Id,           // the descriptor's block id is wrong
  Format,       // unknown data format code
  DataPointer,  // the data block starts outside the file
  DataShort,    // the data block runs past the end (or its size is unknown)
  Swap,         // a packed block to be byte-swapped
};
constexpr bool IsDataFault(BlockFault f) {
  return f >= BlockFault::DataPointer;
}

/// The data block of one trace, checked to hold its samples in its format.
struct DataBlock {
  std::span<const std::byte> bytes;
  int format = 0;
  bool operator==(const DataBlock& o) const {
    return bytes.data() == o.bytes.data() && bytes.size() == o.bytes.size() && format == o.format;
  }
};

/// Checks the trace whose descriptor starts at START in FILE: its fixed part
/// into TDB (when it lies in the file), its data block into DATA (when there
/// is no fault).
BlockFault CheckTrace(std::span<const std::byte> file, std::int64_t start,
                      sup::ByteOrder headerOrder, bool swapSamples, Seg2TraceDescriptor& tdb,
                      DataBlock& data) {
  const std::int64_t fileSize = static_cast<std::int64_t>(file.size());
  if (start < 0 || start > fileSize) return BlockFault::Start;
  const auto header = file.subspan(static_cast<std::size_t>(start));
  if (header.size() < kSeg2BlockHeaderBytes) return BlockFault::ShortHeader;
  if (!DecodeSeg2TraceDescriptor(header, tdb, headerOrder)) return BlockFault::Id;
  if (Seg2DataBytes(tdb.formatCode, 0) < 0) return BlockFault::Format;
  const std::int64_t dataStart = start + tdb.blockBytes;
  if (dataStart < 0 || dataStart > fileSize) return BlockFault::DataPointer;
  const std::int64_t dataBytes = Seg2DataBytes(tdb.formatCode, tdb.sampleCount);
  if (dataBytes < 0 || dataBytes > fileSize - dataStart) return BlockFault::DataShort;
  if (tdb.formatCode == kSeg2Packed20 && swapSamples) return BlockFault::Swap;
  data = {file.subspan(static_cast<std::size_t>(dataStart), static_cast<std::size_t>(dataBytes)),
          tdb.formatCode};
  return BlockFault::None;
}

/// The first trace (1-based) whose descriptor or data block does not lie
/// wholly inside BYTES; 1 when each does on its own (the blocks then overlap).
int FirstShortTrace(std::span<const std::byte> bytes, std::span<const std::int32_t> pointers,
                    sup::ByteOrder headerOrder) {
  for (std::size_t k = 0; k < pointers.size(); ++k) {
    Seg2TraceDescriptor tdb;
    DataBlock data;
    const BlockFault fault = CheckTrace(bytes, pointers[k], headerOrder, false, tdb, data);
    if (fault != BlockFault::None) return static_cast<int>(k) + 1;
  }
  return 1;
}

/// The one failure path of the reader's "SEG2IN - " messages: the text padded
/// to 80 columns and the trace counter.
[[nodiscard]] bool ReadFail(std::string_view message, int trace) {
  std::string text(message);
  if (text.size() < 80) text.resize(80, ' ');
  text += "    TRACE:";
  text += Column5(trace);
  sup::WINMSG(text);
  return false;
}

/// A buffer of bytes about to be overwritten (not cleared first).
struct FileBytes {
  std::unique_ptr<std::byte[]> data;
  std::size_t size = 0;
  std::span<const std::byte> Span() const { return {data.get(), size}; }
};

/// The whole file, or false after the message. Large files are read in parts
/// side by side (positioned reads), which shares out the copy from the
/// system's file cache.
[[nodiscard]] bool ReadWholeFile(std::string_view name, FileBytes& bytes) {
  const int ih = sup::IOPNRLY(name);
  if (ih < 0) return ReadFail(kMsgOpen, 0);
  int size = 0;
  tk::IFileSeek(ih, size, tk::kFromEnd);
  int start = 0;
  tk::IFileSeek(ih, start, tk::kFromStart);
  if (size < 0 || start != 0) {
    sup::ICLSFIL(ih);
    return ReadFail(kMsgFdb, 0);
  }
  bytes.data.reset(new (std::nothrow) std::byte[static_cast<std::size_t>(size)]);
  if (!bytes.data) {
    sup::WINWRN(kMsgAllocate);
    sup::ICLSFIL(ih);
    return false;
  }
  bytes.size = static_cast<std::size_t>(size);
  const int threads = sup::PartsFor(size, kMinPartBytes, kMaxParts);
  const std::size_t chunk = threads > 1 ? kChunkBytes : std::max<std::size_t>(bytes.size, 1);
  const int chunks = static_cast<int>((bytes.size + chunk - 1) / chunk);
  std::atomic<bool> read{true};
  sup::RunParts(
      chunks,
      [&](int c) {
        const std::size_t from = static_cast<std::size_t>(c) * chunk;
        const std::size_t n = std::min(chunk, bytes.size - from);
        if (!sup::ReadBytesAt(ih, std::span<std::byte>(bytes.data.get() + from, n),
                              static_cast<std::int64_t>(from)))
          read.store(false);
      },
      threads);
  sup::ICLSFIL(ih);
  if (!read.load()) return ReadFail(kMsgFdb, 0);
  return true;
}

enum class ListEnd { Done, Short, Parse };

/// Walks a descriptor string list from R's position, handing every text of
/// more than two characters (terminator removed, unprintable characters
/// blanked) to PARSE. The list ends at the first offset not above LASTOFFSET.
/// Entries longer than 4096 characters are skipped after LONGMESSAGE.
template <class Parse>
ListEnd WalkStrings(sup::ByteReader& r, int lastOffset, int terminatorSize,
                    std::string_view longMessage, Parse&& parse) {
  std::string text;
  for (;;) {
    const int offset = r.U16();
    if (!r.Ok()) return ListEnd::Short;
    if (offset <= lastOffset) return ListEnd::Done;
    const int length = offset - 2;
    if (length > kMaxStringChars) {
      sup::WINMSG(longMessage);
      r.Skip(static_cast<std::size_t>(length));
      if (!r.Ok()) return ListEnd::Short;
      continue;
    }
    const std::span<const std::byte> bytes = r.View(static_cast<std::size_t>(length));
    if (!r.Ok()) return ListEnd::Short;
    const int n = length - terminatorSize;
    if (n > 2) {
      // The text is read in place, and copied only to blank what it cannot show.
      const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      std::string_view shown = raw.substr(0, static_cast<std::size_t>(n));
      if (!std::all_of(shown.begin(), shown.end(),
                       [](char c) { return sup::NCHRCKKeeps(static_cast<unsigned char>(c)); })) {
        text.assign(raw);
        sup::CHR_CHK(text, n);
        shown = std::string_view(text).substr(0, static_cast<std::size_t>(n));
      }
      if (!parse(shown, n)) return ListEnd::Parse;
    }
  }
}

/// Range of one block of decoded values.
inline void Extend(float v, float& lo, float& hi) {
  if (v > hi) hi = v;
  if (v < lo) lo = v;
}

/// Samples of a plain format: each item loaded in ORDER and converted.
template <class Load>
void DecodePlain(const std::byte* p, std::size_t step, std::span<float> out, float& lo, float& hi,
                 Load load) {
  float l = lo, h = hi;
  for (float& o : out) {
    const float v = load(p);
    o = v;
    Extend(v, l, h);
    p += step;
  }
  lo = l;
  hi = h;
}

// Eight lanes at a time for IEEE samples: copied (byte-swapped when asked)
// with their range in one pass.
using U8 = sup::U32x8;
using F8 = sup::F32x8;

/// HI8 raised lane by lane to V where V is greater, LO8 lowered to V where V
/// is smaller (a NaN changes neither): exactly as comparing each sample in
/// turn. The compiler makes one maximum and one minimum instruction of it.
/// By reference, as SwapBytes.
[[gnu::always_inline]] inline void Raise(const F8& v, F8& hi8) {
  hi8 = v > hi8 ? v : hi8;
}
[[gnu::always_inline]] inline void Lower(const F8& v, F8& lo8) {
  lo8 = v < lo8 ? v : lo8;
}
[[gnu::always_inline]] inline void Widen(const F8& v, F8& lo8, F8& hi8) {
  Raise(v, hi8);
  Lower(v, lo8);
}

/// Eight samples from P into OUT and V, byte-swapped when asked.
template <bool Swap>
[[gnu::always_inline]] inline void LoadFloats(const std::byte* p, float* out, F8& v) {
  U8 w;
  std::memcpy(&w, p, sizeof w);
  if constexpr (Swap) sup::SwapBytes(w);
  std::memcpy(out, &w, sizeof w);
  v = reinterpret_cast<F8>(w);
}

template <bool Swap>
[[gnu::always_inline]] inline void FloatsWithRange(const std::byte* p, float* out, std::size_t n,
                                                   float& lo, float& hi) {
  const float l0 = lo, h0 = hi;
  // Four ranges side by side, so that each comparison need not wait for the
  // one before (the range is the same whichever order the samples come in;
  // only the sign of a zero mark depends on it, see below).
  constexpr int kWays = 4;
  F8 l8[kWays], h8[kWays];
  for (int a = 0; a < kWays; ++a) {
    l8[a] = F8{l0, l0, l0, l0, l0, l0, l0, l0};
    h8[a] = F8{h0, h0, h0, h0, h0, h0, h0, h0};
  }
  std::size_t k = 0;
  F8 v;
  for (; k + 8 * kWays <= n; k += 8 * kWays) {
    for (int a = 0; a < kWays; ++a) {
      LoadFloats<Swap>(p + 4 * (k + 8 * a), out + k + 8 * a, v);
      Widen(v, l8[a], h8[a]);
    }
  }
  for (; k + 8 <= n; k += 8) {
    LoadFloats<Swap>(p + 4 * k, out + k, v);
    Widen(v, l8[0], h8[0]);
  }
  for (int a = 1; a < kWays; ++a) {
    Lower(l8[a], l8[0]);
    Raise(h8[a], h8[0]);
  }
  float l = lo, h = hi;
  for (int i = 0; i < 8; ++i) {
    const float lane = l8[0][i];
    if (lane < l) l = lane;
  }
  for (int i = 0; i < 8; ++i) {
    const float lane = h8[0][i];
    if (lane > h) h = lane;
  }
  for (; k < n; ++k) {
    std::uint32_t w;
    std::memcpy(&w, p + 4 * k, sizeof w);
    if constexpr (Swap) w = sup::ByteSwap32(w);
    const float v = std::bit_cast<float>(w);
    out[k] = v;
    Extend(v, l, h);
  }
  // The lanes meet the samples out of order: a zero mark may carry the sign
  // of another zero than the first, so it is sought again in order.
  if (l == 0.0f || h == 0.0f) {
    l = lo;
    h = hi;
    for (std::size_t i = 0; i < n; ++i) Extend(out[i], l, h);
  }
  lo = l;
  hi = h;
}

template <bool Swap>
struct FloatsKernel {
  [[gnu::always_inline]] void operator()(const std::byte* p, float* out, std::size_t n, float& lo,
                                         float& hi) const {
    FloatsWithRange<Swap>(p, out, n, lo, hi);
  }
};
// The machine's wider vector unit where it has one.
template <bool Swap>
void DecodeFloats(const std::byte* p, std::span<float> out, float& lo, float& hi) {
  sup::CallKernel<FloatsKernel<Swap>>(p, out.data(), out.size(), lo, hi);
}

/// Four samples per 10-byte group: a little-endian word of four unsigned
/// exponents (low nibble first), then four little-endian mantissas.
void DecodePacked20(const std::byte* p, std::span<float> out, float& lo, float& hi) {
  float l = lo, h = hi;
  const std::size_t n = out.size();
  for (std::size_t i = 0; i < n; i += 4, p += 10) {
    const unsigned exponents = sup::LoadU16(p, sup::ByteOrder::Little);
    const std::size_t inGroup = std::min<std::size_t>(4, n - i);
    for (std::size_t k = 0; k < inGroup; ++k) {
      const int e = static_cast<int>((exponents >> (4 * k)) & 0xFu);
      const int m = static_cast<std::int16_t>(sup::LoadU16(p + 2 + 2 * k, sup::ByteOrder::Little));
      // One's-complement mantissa: the negative values sit one below.
      const std::int64_t scaled = static_cast<std::int64_t>(m < 0 ? m + 1 : m) << e;
      const float v = static_cast<float>(scaled);
      out[i + k] = v;
      Extend(v, l, h);
    }
  }
  lo = l;
  hi = h;
}

}  // namespace

std::int64_t Seg2DataBytes(int IFMT, std::int64_t NS) {
  if (NS < 0) return -1;
  switch (IFMT) {
    case kSeg2Int16:
      return 2 * NS;
    case kSeg2Int32:
    case kSeg2Float32:
      return 4 * NS;
    case kSeg2Packed20:
      return (NS + 3) / 4 * 10;
    default:
      return -1;
  }
}

namespace {

/// True when the headers of FILE make sense read in ORDER: a non-negative
/// trace count whose pointers fit in a pointer sub-block that lies inside the
/// file, and a first trace pointer at a whole trace descriptor header whose
/// id reads 0x4422 in that order (bytes 22 44 little-endian, 44 22 big-endian).
bool HeadersFit(std::span<const std::byte> file, sup::ByteOrder order) {
  sup::ByteReader r(file, order);
  r.Seek(kFdbPointerBytes);
  const std::int64_t pointerBytes = r.U16();
  r.Seek(kFdbTraceCount);
  const std::int64_t traces = r.I16();
  const std::int64_t size = static_cast<std::int64_t>(file.size());
  if (!r.Ok() || traces < 0 || traces * 4 > pointerBytes ||
      static_cast<std::int64_t>(kSeg2BlockHeaderBytes) + pointerBytes > size)
    return false;
  if (traces == 0) return true;
  r.Seek(kSeg2BlockHeaderBytes);
  const std::int64_t first = r.I32();
  if (!r.Ok() || first < 0 || first > size - static_cast<std::int64_t>(kSeg2BlockHeaderBytes))
    return false;
  r.Seek(static_cast<std::size_t>(first));
  return r.U16() == 0x4422 && r.Ok();
}

}  // namespace

sup::ByteOrder Seg2HeaderOrder(std::span<const std::byte> file) {
  if (file.size() < 2 || static_cast<std::uint8_t>(file[0]) != 0x3A ||
      static_cast<std::uint8_t>(file[1]) != 0x55)
    return sup::ByteOrder::Little;
  if (HeadersFit(file, sup::ByteOrder::Little) || !HeadersFit(file, sup::ByteOrder::Big))
    return sup::ByteOrder::Little;
  return sup::ByteOrder::Big;
}

bool DecodeSeg2FileDescriptor(std::span<const std::byte> bytes, Seg2FileDescriptor& out) {
  if (bytes.size() < kSeg2BlockHeaderBytes) return false;
  const auto b0 = static_cast<std::uint8_t>(bytes[0]), b1 = static_cast<std::uint8_t>(bytes[1]);
  if (b0 == 0x55 && b1 == 0x3A) {
    out.swapSamples = false;
  } else if (b0 == 0x3A && b1 == 0x55) {
    out.swapSamples = true;
  } else {
    return false;
  }
  out.headerOrder = Seg2HeaderOrder(bytes);
  sup::ByteReader r(bytes, out.headerOrder);
  r.Seek(kFdbPointerBytes);
  out.pointerBytes = r.U16();
  r.Seek(kFdbTraceCount);
  out.traceCount = r.I16();
  r.Seek(kFdbTerminators);
  Seg2Terminators& t = out.terminators;
  t.stringTerminatorSize = r.U8();
  t.stringTerminator[0] = static_cast<char>(r.U8());
  t.stringTerminator[1] = static_cast<char>(r.U8());
  t.lineTerminatorSize = r.U8();
  t.lineTerminator[0] = static_cast<char>(r.U8());
  t.lineTerminator[1] = static_cast<char>(r.U8());
  return r.Ok();
}

bool DecodeSeg2TraceDescriptor(std::span<const std::byte> bytes, Seg2TraceDescriptor& out,
                               sup::ByteOrder order) {
  if (bytes.size() < kSeg2BlockHeaderBytes) return false;
  sup::ByteReader r(bytes, order);
  if (r.U16() != 0x4422) return false;
  r.Seek(kTdbBlockBytes);
  out.blockBytes = r.I16();
  r.Seek(kTdbSampleCount);
  out.sampleCount = r.I32();
  r.Seek(kTdbFormatCode);
  out.formatCode = r.U8();
  return r.Ok();
}

bool DecodeSeg2Samples(std::span<const std::byte> BUF, int IFMT, std::int32_t NS, bool LSWAP,
                       std::span<float> out, float& lo, float& hi) {
  const std::int64_t need = Seg2DataBytes(IFMT, NS);
  if (need < 0 || static_cast<std::uint64_t>(need) > BUF.size() ||
      static_cast<std::size_t>(NS) > out.size())
    return false;
  const std::span<float> dst = out.first(static_cast<std::size_t>(NS));
  const std::byte* p = BUF.data();
  const sup::ByteOrder order = LSWAP ? sup::ByteOrder::Big : sup::ByteOrder::Little;
  switch (IFMT) {
    case kSeg2Int16:
      DecodePlain(p, 2, dst, lo, hi, [order](const std::byte* q) {
        return static_cast<float>(static_cast<std::int16_t>(sup::LoadU16(q, order)));
      });
      return true;
    case kSeg2Int32:
      DecodePlain(p, 4, dst, lo, hi, [order](const std::byte* q) {
        return static_cast<float>(static_cast<std::int32_t>(sup::LoadU32(q, order)));
      });
      return true;
    case kSeg2Float32:
      if (order == sup::kNativeOrder) {
        DecodeFloats<false>(p, dst, lo, hi);
      } else {
        DecodeFloats<true>(p, dst, lo, hi);
      }
      return true;
    case kSeg2Packed20:
      if (LSWAP) return false;
      DecodePacked20(p, dst, lo, hi);
      return true;
    default:
      return false;
  }
}

namespace {

/// TRACEMAX(J), GMIN and GMAX from the range LO..HI of trace J's samples.
void NoteTraceRange(ShotRecord& REC, int J, float lo, float hi) {
  REC.TRACEMAX[static_cast<std::size_t>(J - 1)] = hi > std::fabs(lo) ? hi : std::fabs(lo);
  if (lo < REC.GMIN) REC.GMIN = lo;
  if (hi > REC.GMAX) REC.GMAX = hi;
}

}  // namespace

void DECODETRACE(ShotRecord& REC, std::span<const std::byte> BUF, int J, int IFMT, int NS,
                 bool LSWAP, int& IERR) {
  IERR = 0;
  if (IFMT == kSeg2Packed20 && LSWAP) {
    sup::WINWRN(kMsgSwap);
    IERR = -1;
    return;
  }
  float lo = kRangeStart, hi = -kRangeStart;
  const std::span<float> column = Trace(REC, J);
  if (NS != REC.NSAMP || !DecodeSeg2Samples(BUF, IFMT, NS, LSWAP, column, lo, hi)) {
    IERR = -1;
    return;
  }
  NoteTraceRange(REC, J, lo, hi);
}

namespace {

/// The progress display of one read: the reader's own dialog, the caller's
/// bar in batch mode, or nothing.
class ProgressDisplay {
 public:
  ProgressDisplay(std::string_view fileName, int traces, bool batch)
      : on_(batch || traces > kProgressAbove), own_(!batch && traces > kProgressAbove) {
    if (own_) {
      sup::ProgressOpen(fileName);
      (void)sup::LKILL(1);
    }
  }
  ~ProgressDisplay() {
    if (own_) {
      sup::ProgressClose();
      (void)sup::LKILL(1);
    }
  }
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  void Trace(int j, int traces) const {
    if (on_) sup::ProgressSet(tk::NearestInt(100.0 * j / traces));
  }

 private:
  bool on_;
  bool own_;
};

/// Stores trace J's first break (seconds) as a sample index when it falls on
/// a sample of the trace; computed in double, nothing stored otherwise.
void StorePick(ShotRecord& rec, std::size_t j, float firstBreak) {
  if (!(firstBreak < 1.0e10f) || rec.SAMPINT == 0.0f) return;
  const double index = (1000.0 * firstBreak - rec.TDELAY) / rec.SAMPINT;
  std::int32_t r = 0;
  if (tk::NearestIntChecked(index, r) && r >= 1 && r <= rec.NSAMP) rec.IBPICK[j] = r;
}

/// The range of one trace's samples.
struct Range {
  float lo = kRangeStart;
  float hi = -kRangeStart;
};

/// Decodes BLOCK into SAMPLES (the trace's column) and its range into RANGE;
/// notes in DONE what was decoded.
void DecodeBlock(const DataBlock& block, bool swap, std::span<float> samples, Range& range,
                 DataBlock& done) {
  // Cannot fail: the block was checked against its format and size.
  (void)DecodeSeg2Samples(block.bytes, block.format, static_cast<std::int32_t>(samples.size()),
                          swap, samples, range.lo, range.hi);
  done = block;
}

/// The column of trace K + 1 (0-based K) of samples laid out NSAMP a trace.
std::span<float> Column(float* samples, std::size_t k, std::int32_t nsamp) {
  return {samples + k * static_cast<std::size_t>(nsamp), static_cast<std::size_t>(nsamp)};
}

/// Traces of NSAMP samples decoded as one chunk when THREADS share the work.
std::size_t TracesPerChunk(std::int32_t nsamp, int threads) {
  if (threads <= 1) return std::numeric_limits<std::size_t>::max() / 2;
  return std::max<std::size_t>(1, kChunkBytes / (4 * static_cast<std::size_t>(std::max(nsamp, 1))));
}

/// The traces of BLOCKS (trace 1 first) not already decoded as DONE says,
/// decoded into REC's columns, shared out between threads; then the ranges
/// noted in trace order.
void DecodeTraces(ShotRecord& REC, std::span<const DataBlock> blocks, std::span<DataBlock> done,
                  std::span<Range> ranges, bool swap) {
  const std::size_t n = blocks.size();
  std::size_t missing = 0;
  for (std::size_t k = 0; k < n; ++k) missing += done[k] == blocks[k] ? 0 : 1;
  if (missing > 0) {
    const long long bytes = static_cast<long long>(missing) * REC.NSAMP * 4;
    const int threads = sup::PartsFor(bytes, kMinPartBytes, kMaxParts);
    float* samples = REC.TRACES.data();
    const std::int32_t nsamp = REC.NSAMP;
    const std::size_t per = TracesPerChunk(nsamp, threads);
    sup::RunParts(
        static_cast<int>((n + per - 1) / per),
        [&](int c) {
          const std::size_t from = static_cast<std::size_t>(c) * per;
          for (std::size_t k = from; k < std::min(n, from + per); ++k) {
            if (done[k] == blocks[k]) continue;
            ranges[k] = Range{};
            DecodeBlock(blocks[k], swap, Column(samples, k, nsamp), ranges[k], done[k]);
          }
        },
        threads);
  }
  for (std::size_t k = 0; k < n; ++k)
    NoteTraceRange(REC, static_cast<int>(k) + 1, ranges[k].lo, ranges[k].hi);
}

/// The read itself, into REC; false after the user has been told.
bool ReadSeg2(ShotRecord& REC, std::string_view FNAME, bool LBATCH) {
  (void)sup::LKILL(1);
  REC.GMIN = kRangeStart;
  REC.GMAX = -kRangeStart;

  FileBytes file;
  if (!ReadWholeFile(FNAME, file)) return false;
  const std::span<const std::byte> bytes = file.Span();
  const std::int64_t fileSize = static_cast<std::int64_t>(bytes.size());

  if (bytes.size() < kSeg2BlockHeaderBytes) return ReadFail(kMsgFdb, 0);
  Seg2FileDescriptor fdb;
  if (!DecodeSeg2FileDescriptor(bytes, fdb)) return ReadFail(kMsgNotSeg2, 0);
  SEG2TERMINATORS() = fdb.terminators;
  const int terminatorSize = fdb.terminators.stringTerminatorSize;

  // The trace count must be non-negative and each trace must have a whole
  // pointer inside the pointer sub-block, which must lie inside the file.
  const std::int64_t pointerBytes = fdb.pointerBytes;
  const std::int64_t traces = fdb.traceCount;
  if (traces < 0 || traces * 4 > pointerBytes ||
      static_cast<std::int64_t>(kSeg2BlockHeaderBytes) + pointerBytes > fileSize)
    return ReadFail(kMsgPointers, 0);
  std::vector<std::int32_t> pointers;
  if (!sup::AssignOrTell(pointers, static_cast<std::size_t>(traces), kMsgPointerTable))
    return false;
  sup::ByteReader r(bytes, fdb.headerOrder);
  r.Seek(kSeg2BlockHeaderBytes);
  for (auto& p : pointers) p = r.I32();
  if (!r.Ok()) return ReadFail(kMsgPointers, 0);

  // File descriptor strings.
  REC.IFDBLEN.fill(0);
  REC.CFDBVAL.fill(sup::FixedString<30>());
  REC.CUNITS = sup::FixedString<4>();
  REC.CNOTE = sup::FixedString<500>();
  r.Seek(kSeg2BlockHeaderBytes + static_cast<std::size_t>(pointerBytes));
  const ListEnd fdbEnd =
      WalkStrings(r, 2, terminatorSize, kMsgFdbLong, [&](std::string_view text, int n) {
        int ierr = 0;
        FDBPARSE(text, n, ierr, REC);
        return true;
      });
  if (fdbEnd != ListEnd::Done) return ReadFail(kMsgFdbString, 0);

  REC.NTRACE = static_cast<std::int32_t>(traces);
  const int ntrace = REC.NTRACE;
  const auto ntr = static_cast<std::size_t>(ntrace);

  const ProgressDisplay progress(FNAME, ntrace, LBATCH);
  bool receiverLocations = false;
  std::vector<DataBlock> blocks;  // as the walk below checks them
  std::vector<DataBlock> done;    // as decoded
  std::vector<Range> ranges;
  if (!sup::AssignOrTell(blocks, ntr, kMsgAllocate) ||
      !sup::AssignOrTell(done, ntr, kMsgAllocate) || !sup::AssignOrTell(ranges, ntr, kMsgAllocate))
    return false;

  // A sample count the first trace may set: every trace needs a data block of
  // its own, so a count whose smallest possible blocks (2 bytes a sample) for
  // all traces cannot fit in the file is damage.
  const auto countFits = [&](std::int32_t ns) {
    return ns >= 0 && static_cast<std::int64_t>(ns) * 2 * ntrace <= fileSize;
  };

  // The walk over the traces in file order: progress, checks, messages and
  // descriptor strings; the data blocks are noted for decoding.
  bool allocated = false;
  const auto walk = [&]() -> bool {
    for (int j = 1; j <= ntrace; ++j) {
      const std::size_t jj = static_cast<std::size_t>(j - 1);
      progress.Trace(j, ntrace);
      if (sup::LKILL(0)) return ReadFail(kMsgTraceStart, j);

      const std::int64_t start = pointers[jj];
      Seg2TraceDescriptor tdb;
      DataBlock data;
      const BlockFault fault =
          CheckTrace(bytes, start, fdb.headerOrder, fdb.swapSamples, tdb, data);
      switch (fault) {
        case BlockFault::Start:
          return ReadFail(kMsgTraceStart, j);
        case BlockFault::ShortHeader:
          return ReadFail(kMsgTdb, j);
        case BlockFault::Id:
          return ReadFail(kMsgTdbId, j);
        case BlockFault::Format:
          return ReadFail(std::string(kMsgFormat) + static_cast<char>(tdb.formatCode), j);
        default:
          break;
      }

      const std::int32_t ns = tdb.sampleCount;
      if (j == 1) {
        if (!countFits(ns)) {
          const int shortTrace = FirstShortTrace(bytes, pointers, fdb.headerOrder);
          sup::WINWRN(std::string(kMsgDataShort) + Column5(shortTrace));
          return ReadFail(kMsgData, shortTrace);
        }
        if (!allocated) {
          REC.NSAMP = ns;
          // Every sample is written: the read either decodes every trace in
          // full or fails (and the record is then dropped).
          if (!RebuildTraceArrays(REC, SegyTraceHeaders::Keep, TraceSamples::Unset)) {
            sup::WINWRN(kMsgAllocate);
            return false;
          }
          REC.NAUX = 0;
        }
      } else if (ns != REC.NSAMP) {
        sup::WINMSG(kMsgEqualLength);
        return false;
      }

      // Trace descriptor strings.
      float firstBreak = kNoFirstBreak;
      r.Seek(static_cast<std::size_t>(start) + kSeg2BlockHeaderBytes);
      bool parsed = true;
      const ListEnd tdbEnd =
          WalkStrings(r, 4, terminatorSize, kMsgTdbLong, [&](std::string_view text, int n) {
            int ierr = 0;
            TDBPARSE(REC, text, j, n, firstBreak, receiverLocations, ierr);
            parsed = ierr == 0;
            return parsed;
          });
      if (tdbEnd == ListEnd::Parse) return ReadFail(kMsgParse, j);
      if (tdbEnd == ListEnd::Short) return ReadFail(kMsgTdbString, j);
      StorePick(REC, jj, firstBreak);

      // Data block.
      switch (fault) {
        case BlockFault::DataPointer:
          return ReadFail(kMsgDataPointer, j);
        case BlockFault::DataShort:
          sup::WINWRN(std::string(kMsgDataShort) + Column5(j));
          return ReadFail(kMsgData, j);
        case BlockFault::Swap:
          sup::WINWRN(kMsgSwap);
          return ReadFail(kMsgData, j);
        default:
          break;
      }
      blocks[jj] = data;
    }
    return true;
  };

  // Where the first trace sets a sample count the read can take, the arrays
  // are allocated at once and the samples decoded by other threads while
  // this one walks the traces: each decodes the traces of its share that the
  // walk will find sound (the same checks). Whatever the walk finds
  // otherwise is decoded after it, so the record is the same either way.
  bool walked = false;
  if (ntrace > 0) {
    Seg2TraceDescriptor tdb;
    DataBlock data;
    const BlockFault fault =
        CheckTrace(bytes, pointers[0], fdb.headerOrder, fdb.swapSamples, tdb, data);
    if ((fault == BlockFault::None || IsDataFault(fault)) && countFits(tdb.sampleCount)) {
      REC.NSAMP = tdb.sampleCount;
      allocated = RebuildTraceArrays(REC, SegyTraceHeaders::Keep, TraceSamples::Unset);
      REC.NAUX = 0;
    }
    if (allocated) {
      const std::int32_t nsamp = REC.NSAMP;
      float* samples = REC.TRACES.data();
      const int threads =
          sup::PartsFor(static_cast<long long>(ntrace) * nsamp * 4, kMinPartBytes, kMaxParts);
      const std::size_t per = std::min(TracesPerChunk(nsamp, threads), ntr);
      const auto chunks = static_cast<int>((ntr + per - 1) / per);
      sup::RunParts(
          1 + chunks,
          [&](int p) {
            if (p == 0) {
              walked = walk();
              return;
            }
            const std::size_t from = static_cast<std::size_t>(p - 1) * per;
            const std::size_t to = std::min(ntr, from + per);
            for (std::size_t k = from; k < to; ++k) {
              Seg2TraceDescriptor t;
              DataBlock b;
              if (CheckTrace(bytes, pointers[k], fdb.headerOrder, fdb.swapSamples, t, b) ==
                      BlockFault::None &&
                  t.sampleCount == nsamp)
                DecodeBlock(b, fdb.swapSamples, Column(samples, k, nsamp), ranges[k], done[k]);
            }
          },
          1 + threads);
    } else {
      walked = walk();
    }
  } else {
    walked = walk();
  }
  if (!walked) return false;
  DecodeTraces(REC, blocks, done, ranges, fdb.swapSamples);

  // Geometry: positions by trace number when no trace gave one; a spacing
  // from the receiver span when the record has none; otherwise it is kept.
  if (!receiverLocations) {
    for (int j = 1; j <= ntrace; ++j) REC.GEOLOC[static_cast<std::size_t>(j - 1)] = j;
    REC.SPACING = 1.0f;
  }
  if (REC.SPACING <= 0.0f && ntrace > 1)
    REC.SPACING = std::fabs(REC.GEOLOC[static_cast<std::size_t>(ntrace - 1)] - REC.GEOLOC[0]) /
                  static_cast<float>(ntrace - 1);
  return true;
}

}  // namespace

void SEG2IN(ShotRecord& REC, std::string_view FNAME, int& IERR, bool LBATCH) {
  // The read fills a fresh record holding REC's values (not its traces) and
  // replaces REC only when it succeeds, so a failed or abandoned read leaves
  // the record as it was.
  const bool read = ReadThenCommit(REC, ReadStart::Scalars,
                                   [&](ShotRecord& work) { return ReadSeg2(work, FNAME, LBATCH); });
  IERR = read ? 0 : -1;
}

}  // namespace vel
