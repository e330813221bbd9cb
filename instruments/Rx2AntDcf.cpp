#include "instruments/Rx2AntDcf.h"

#include <vector>

#include "instruments/ReaderKit.h"
#include "record/RecordNaming.h"
#include "support/ByteReader.h"
#include "support/FieldReader.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

using Outcome = FieldFileOutcome;

constexpr std::size_t kWordChars = 256;       // an RX2 header word is cut to this
constexpr std::size_t kIntervalOffset = 59;   // ANT: the interval field, F6.3 seconds
constexpr std::size_t kIntervalWidth = 6;
constexpr std::size_t kLengthOffset = 4;      // DCF trace header: record length
constexpr std::size_t kDcfIntervalOffset = 24;  // DCF trace header: interval in ms
constexpr float kRx2Interval = 0.02f;          // ms

bool Blank(char c) { return c == ' '; }

// The counts set, the main-header values all three formats give.
void SetCommonHeader(ShotRecord& REC, std::int32_t ntrace, std::int32_t nsamp, float sampint) {
  REC.NTRACE = ntrace;
  REC.NSAMP = nsamp;
  REC.SAMPINT = sampint;
  REC.TDELAY = 0.0f;
  REC.ISHOT = 0;
  REC.IFDBLEN[0] = 0;
  REC.CFDBVAL[0] = sup::FixedString<30>();
}

// Tells the hooks the counts and rebuilds the arrays for them.
[[nodiscard]] bool Allocate(ShotRecord& REC, const FieldFileHooks* hooks, std::int32_t units) {
  if (hooks != nullptr && hooks->start) hooks->start(units);
  // Every sample is written before a decode can succeed.
  if (!RebuildTraceArrays(REC, SegyTraceHeaders::Keep, TraceSamples::Unset)) return false;
  REC.NAUX = 0;
  REC.SHOTY = 0.0f;
  return true;
}

// Before unit I of UNITS: the progress call, then the abort poll.
[[nodiscard]] bool Continue(const FieldFileHooks* hooks, std::int32_t i, std::int32_t units) {
  if (hooks == nullptr) return true;
  if (hooks->beforeUnit) hooks->beforeUnit(i, units);
  return !(hooks->aborted && hooks->aborted());
}

void AmplitudePass(ShotRecord& REC) {
  StartTraceStatistics(REC);
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) TraceStatistics(REC, j);
}

}  // namespace

std::int32_t Rx2ChannelCount(std::string_view header) {
  // Blanks inside a line become "$", so a line is one word once NUL bytes and
  // line feeds are blanks; carriage returns stay inside the word they end.
  std::string text(header.substr(0, rx2::kHeaderBytes));
  for (char& c : text) {
    if (c == ' ')
      c = '$';
    else if (c == '\0' || c == '\n')
      c = ' ';
  }
  std::int32_t channels = rx2::kDefaultChannels;
  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && Blank(text[pos])) ++pos;
    std::size_t end = pos;
    while (end < text.size() && !Blank(text[end])) ++end;
    if (end == pos) break;
    std::string word = text.substr(pos, std::min(end - pos, kWordChars));
    pos = end;
    if (word.compare(0, 3, "CI:") != 0) continue;
    for (char& c : word)
      if (c == '$') c = ' ';
    std::int32_t items = 0;
    for (std::size_t i = 3; i < word.size(); ++i)
      if (!Blank(word[i]) && (i == 3 || Blank(word[i - 1]))) ++items;
    channels = items;
  }
  return channels;
}

FieldFileOutcome DecodeRx2File(std::span<const std::byte> file, ShotRecord& REC,
                               const FieldFileHooks* hooks) {
  if (file.size() < rx2::kHeaderBytes) return Outcome::ShortHeader;
  const std::int32_t channels = Rx2ChannelCount(
      std::string_view(reinterpret_cast<const char*>(file.data()), rx2::kHeaderBytes));
  if (channels < 1) return Outcome::NoChannels;
  const std::size_t frameBytes = 4 * static_cast<std::size_t>(channels);
  const std::size_t frames = (file.size() - rx2::kHeaderBytes) / frameBytes;
  if (frames < 1) return Outcome::NoData;
  if (frames > static_cast<std::size_t>(INT32_MAX)) return Outcome::NoMemory;
  const auto nsamp = static_cast<std::int32_t>(frames);
  SetCommonHeader(REC, channels, nsamp, kRx2Interval);
  if (!Allocate(REC, hooks, nsamp)) return Outcome::NoMemory;

  sup::ByteReader r(file.subspan(rx2::kHeaderBytes), sup::ByteOrder::Little);
  const auto rows = static_cast<std::size_t>(nsamp);
  for (std::int32_t i = 1; i <= nsamp; ++i) {
    if (!Continue(hooks, i, nsamp)) return Outcome::Aborted;
    float* sample = REC.TRACES.data() + (i - 1);
    for (std::int32_t c = 0; c < channels; ++c) sample[rows * static_cast<std::size_t>(c)] = r.F32();
  }
  AmplitudePass(REC);
  return Outcome::Ok;
}

FieldFileOutcome DecodeAntFile(std::span<const std::byte> file, ShotRecord& REC,
                               const FieldFileHooks* hooks) {
  if (file.size() < ant::kHeaderBytes) return Outcome::ShortHeader;
  const std::string_view header(reinterpret_cast<const char*>(file.data()), ant::kHeaderBytes);
  double seconds = 0.0;
  if (!sup::ReadRealField(sup::FieldAt(header, kIntervalOffset, kIntervalWidth), 3, seconds))
    return Outcome::BadInterval;
  const std::size_t records = (file.size() - ant::kHeaderBytes) / ant::kRecordBytes;
  if (records < 1) return Outcome::NoData;
  const auto ntrace = static_cast<std::int32_t>(std::min<std::size_t>(records, INT32_MAX));
  SetCommonHeader(REC, ntrace, ant::kSamples, instrument::ToFloat(1000.0 * seconds));
  if (!Allocate(REC, hooks, ntrace)) return Outcome::NoMemory;

  StartTraceStatistics(REC);
  for (std::int32_t i = 1; i <= ntrace; ++i) {
    if (!Continue(hooks, i, ntrace)) return Outcome::Aborted;
    const std::size_t at = ant::kHeaderBytes + ant::kRecordBytes * static_cast<std::size_t>(i - 1) +
                           ant::kTraceHeaderBytes;
    sup::ByteReader r(file.subspan(at, 2 * ant::kSamples), sup::ByteOrder::Little);
    for (float& s : Trace(REC, i)) s = static_cast<float>(r.I16());
    TraceStatistics(REC, i);
  }
  return Outcome::Ok;
}

FieldFileOutcome DecodeDcfFile(std::span<const std::byte> file, ShotRecord& REC,
                               const FieldFileHooks* hooks) {
  if (file.size() < dcf::kFileHeaderBytes) return Outcome::ShortHeader;
  if (file.size() < dcf::kFileHeaderBytes + dcf::kTraceHeaderBytes)
    return Outcome::ShortTraceHeader;
  sup::ByteReader h(file.subspan(dcf::kFileHeaderBytes, dcf::kTraceHeaderBytes),
                    sup::ByteOrder::Little);
  h.Seek(kLengthOffset);
  const std::int64_t length = h.I32();
  h.Seek(kDcfIntervalOffset);
  const double interval = h.F64();
  // A record must hold its header and at least one whole sample, and the
  // first one must lie inside the file.
  const auto body = static_cast<std::int64_t>(file.size() - dcf::kFileHeaderBytes);
  const auto headerBytes = static_cast<std::int64_t>(dcf::kTraceHeaderBytes);
  if (length < headerBytes + 8 || (length - headerBytes) % 8 != 0 || length > body)
    return Outcome::ShortTraceHeader;
  const auto nsamp = static_cast<std::int32_t>((length - headerBytes) / 8);
  const auto ntrace = static_cast<std::int32_t>(body / length);
  SetCommonHeader(REC, ntrace, nsamp, instrument::ToFloat(interval));
  if (!Allocate(REC, hooks, ntrace)) return Outcome::NoMemory;

  for (std::int32_t i = 1; i <= ntrace; ++i) {
    if (!Continue(hooks, i, ntrace)) return Outcome::Aborted;
    const std::size_t at = dcf::kFileHeaderBytes +
                           static_cast<std::size_t>(length) * static_cast<std::size_t>(i - 1) +
                           dcf::kTraceHeaderBytes;
    sup::ByteReader r(file.subspan(at, 8 * static_cast<std::size_t>(nsamp)),
                      sup::ByteOrder::Little);
    for (float& s : Trace(REC, i)) s = instrument::ToFloat(r.F64());
  }
  AmplitudePass(REC);
  return Outcome::Ok;
}

namespace {

enum class Format { Rx2, Ant, Dcf };

std::string MessageOf(Outcome outcome, Format format) {
  switch (outcome) {
    case Outcome::Ok:
      return {};
    case Outcome::ShortHeader:
      return format == Format::Rx2   ? "Error reading 4096 byte header"
             : format == Format::Ant ? "Error reading 100 byte header"
                                     : "Error reading 8 byte header";
    case Outcome::ShortTraceHeader:
      return "Error reading 112 byte header";
    case Outcome::BadInterval:
      return "Error reading sample interval";
    case Outcome::NoChannels:
      return "Error reading 4096 byte header";
    case Outcome::NoData:
      return format == Format::Ant ? "Error reading current header" : "Error reading data";
    case Outcome::NoMemory:
      return "Error allocating data arrays";
    case Outcome::Aborted:
      return "INPUT TERMINATED BY USER";
  }
  return {};
}

// The frame the three readers share: open and read the file, name the
// record, the progress dialog above the format's threshold with its bar
// moved before odd units, the abort poll before every unit, the messages.
void ReadFieldFile(ShotRecord& REC, std::string_view FNAME, int& IERR, Format format) {
  std::vector<std::byte> file;
  bool opened = false;
  if (!instrument::ReadWholeFile(FNAME, file, opened)) {
    if (!opened)
      return instrument::ReadFail(IERR, format == Format::Dcf ? "ERROR OPENING DCF INPUT FILE"
                                                              : "ERROR OPENING RX2 INPUT FILE");
    file.clear();  // an unreadable file is as short as an empty one
  }
  REC.CRECNAME = RecordNameOfFile(FNAME);
  // A latch left set by an earlier poll must not stop this read before it starts.
  (void)sup::LKILL(1);
  bool shown = false;
  FieldFileHooks hooks;
  hooks.start = [&](std::int32_t) {
    shown = format == Format::Ant ? REC.NTRACE > 100 : REC.NSAMP > 100000;
    if (!shown) return;
    sup::ProgressOpen(FNAME);
    (void)sup::LKILL(1);
  };
  hooks.beforeUnit = [&](std::int32_t i, std::int32_t units) {
    if (shown && i % 2 == 1) sup::ProgressSet(tk::NearestInt(100.0 * i / units));
  };
  hooks.aborted = [] { return sup::LKILL(0); };
  const Outcome outcome = format == Format::Rx2   ? DecodeRx2File(file, REC, &hooks)
                          : format == Format::Ant ? DecodeAntFile(file, REC, &hooks)
                                                  : DecodeDcfFile(file, REC, &hooks);
  if (shown) {
    sup::ProgressClose();
    (void)sup::LKILL(1);
  }
  if (outcome != Outcome::Ok) instrument::ReadFail(IERR, MessageOf(outcome, format));
}

}  // namespace

void RX2IN(ShotRecord& REC, std::string_view FNAME, int& IERR) {
  ReadFieldFile(REC, FNAME, IERR, Format::Rx2);
}
void ANTIN(ShotRecord& REC, std::string_view FNAME, int& IERR) {
  ReadFieldFile(REC, FNAME, IERR, Format::Ant);
}
void DCFIN(ShotRecord& REC, std::string_view FNAME, int& IERR) {
  ReadFieldFile(REC, FNAME, IERR, Format::Dcf);
}

}  // namespace vel
