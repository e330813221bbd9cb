#include "shell/Import.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <span>
#include <vector>

#include "formats/Seg2In.h"
#include "formats/SegyIn.h"
#include "instruments/Abem.h"
#include "instruments/Bison.h"
#include "instruments/Bison2.h"
#include "instruments/DolangIn.h"
#include "instruments/Egg.h"
#include "instruments/FpxIn.h"
#include "instruments/Oyo.h"
#include "instruments/Rx2AntDcf.h"
#include "instruments/SuspensIn.h"
#include "platform/FixedText.h"
#include "platform/system/File.h"
#include "record/FreshRecord.h"
#include "record/MergeIntervals.h"
#include "record/RecordNaming.h"
#include "shell/PromptDialogs.h"
#include "support/ByteOrder.h"
#include "support/FileIO.h"
#include "support/Strings.h"
#include "support/ProgramState.h"
#include "support/UserMessages.h"
#include "toolkit/core/WindowUnits.h"

namespace vel {
namespace {

/// Bytes of a file that detection looks at, and characters of a file name.
constexpr std::size_t kProbeBytes = 3200;
constexpr std::size_t kNameChars = 256;
/// Characters of the name that the ".TF " and Dolang tests look at.
constexpr std::size_t kShortNameChars = 16;

/// What detection sees of one file: its first bytes (blank-filled past the
/// end) and its name blank-padded to 256 characters.
struct Probe {
  std::string bytes;
  std::string name;
};

using plat::Padded;

/// PATTERN lies wholly inside the first N bytes of TEXT.
bool Within(std::string_view text, std::size_t n, std::string_view pattern) {
  return text.substr(0, std::min(n, text.size())).find(pattern) != std::string_view::npos;
}
/// The first occurrence of PATTERN inside the first N bytes starts at byte P
/// (1-based).
bool FirstAt(std::string_view text, std::size_t n, std::string_view pattern, std::size_t p) {
  return text.substr(0, std::min(n, text.size())).find(pattern) == p - 1;
}
bool StartsWith(std::string_view text, std::string_view pattern) {
  return text.starts_with(pattern);
}

bool IsSegyText(std::string_view bytes) {
  return StartsWith(bytes, "C 1") || StartsWith(bytes, "C01");
}

int EggLayout(const Probe& p) {
  // Bytes 301-308: a little-endian double, the sample interval in seconds of
  // the second header layout.
  std::uint64_t bits = 0;
  for (int k = 7; k >= 0; --k)
    bits = (bits << 8) | static_cast<unsigned char>(p.bytes[300 + static_cast<std::size_t>(k)]);
  const double v = std::bit_cast<double>(bits);
  return (v >= 1e-5 && v <= 0.01) ? kFormatEgg1197 : kFormatEgg985;  // NaN fails both
}

// ---------------------------------------------------------------------------
// Readers as the dispatch calls them.

void ImportSeg2(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  SEG2IN(REC, FNAME, a.IERR, a.LFIRST);
}
void ImportAbem(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  ABEMIN(REC, FNAME, a.IERR, a.LFIRST);
}
void ImportBison1(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  BISON(REC, FNAME, a.IERR, a.LFIRST);
}
void ImportBison2(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  BISON2(REC, FNAME, a.IERR, a.LFIRST);
}
void ImportEgg985(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  EGG(REC, FNAME, a.IERR, a.LFIRST, 0);
}
void ImportEgg1197(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  EGG(REC, FNAME, a.IERR, a.LFIRST, 1);
}
void ImportDolang(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  DOLANGIN(REC, FNAME, a.IERR);
}

// A detected SEG-Y file: compliant; Merge only counts (its progress bar),
// Combine and batch read the selected record.
void ReadSegy(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  UseProgramReaderDialogs();
  SegyInOptions o;
  o.countOnly = a.LFIRST;
  o.selectRecord = a.LSECOND;
  int recno = a.IRECNO;
  SEGYIN(REC, FNAME, recno, a.IERR, o, SegyReaderState());
  a.IRECNO = recno;
}

void CountSegy(ShotRecord& REC, const SegyInFile& FILE, std::string_view FNAME,
               std::int32_t& NRECORDS, int& IERR) {
  UseProgramReaderDialogs();
  SegyInOptions o;
  o.countOnly = true;
  int count = NRECORDS;
  SEGYIN(REC, FILE, FNAME, count, IERR, o, SegyReaderState());
  NRECORDS = count;
}
void ImportOyo(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  OYOIN(REC, FNAME, a.IERR, a.LFIRST);
}
void ImportFpx(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  FPIXIN(REC, FNAME, a.IERR);
}
void ImportSuspens(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  SUSPENSIN(REC, FNAME, a.IERR, ShellMergeIntervals());
}
void ImportRx2(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  a.IERR = 0;  // the reader only ever sets -1
  RX2IN(REC, FNAME, a.IERR);
}
void ImportAnt(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  a.IERR = 0;  // the reader only ever sets -1
  ANTIN(REC, FNAME, a.IERR);
}
void ImportDcf(ShotRecord& REC, std::string_view FNAME, ImportArguments& a) {
  a.IERR = 0;  // the reader only ever sets -1
  DCFIN(REC, FNAME, a.IERR);
}

// The tests, each giving its code or 0.
int C1Header(const Probe& p) {
  return IsSegyText(p.bytes) ? kFormatSegy : 0;
}
int Seg2Id(const Probe& p) {
  return StartsWith(p.bytes, ":U") || StartsWith(p.bytes, "U:") ? kFormatSeg2 : 0;
}
int AbemId(const Probe& p) {
  return StartsWith(p.bytes, "ABEM") ? kFormatAbem : 0;
}
int Bison1Id(const Probe& p) {
  return FirstAt(p.bytes, 40, "BISON-1", 29) ? kFormatBison1 : 0;
}
int Bison2Id(const Probe& p) {
  return FirstAt(p.bytes, 140, "BISON-2", 118) ? kFormatBison2 : 0;
}
int EggId(const Probe& p) {
  return p.bytes.compare(288, 2, "12") == 0 ? EggLayout(p) : 0;
}
int Geometrics2401Id(const Probe& p) {
  return StartsWith(p.bytes, "GE") ? kFormatEggGeometrics2401 : 0;
}
int OyoId(const Probe& p) {
  return Within(p.bytes, kProbeBytes, "OYO") ? kFormatOyo : 0;
}
int ScintrexId(const Probe& p) {
  return FirstAt(p.bytes, 140, "Scintrex-1", 80) ? kFormatScintrexS2 : 0;
}
int TfName(const Probe& p) {
  return Within(p.name, kShortNameChars, ".TF ") ? kFormatMultiplexedTf : 0;
}
int FpxNameAndId(const Probe& p) {
  const bool named = Within(p.name, kNameChars, ".FPX") || Within(p.name, kNameChars, ".fpx");
  return named && p.bytes[0] == '\0' && p.bytes[1] == '\x14' ? kFormatFpx : 0;
}
int SuspensId(const Probe& p) {
  return FirstAt(p.bytes, 14, "SUSPENS", 6) ? kFormatSuspens : 0;
}
int Rx2Id(const Probe& p) {
  return Within(p.bytes, kProbeBytes, "EMGS_RXII") ? kFormatRx2 : 0;
}
int AntId(const Probe& p) {
  return StartsWith(p.bytes, "HV:") ? kFormatAnt : 0;
}
int DcfId(const Probe& p) {
  return StartsWith(p.bytes, "GTMH") ? kFormatDcf : 0;
}
int DolangName(const Probe& p) {
  for (std::string_view ext : {".SDT", ".ADT", ".CDT", ".RDT", ".DDT"})
    if (Within(p.name, kShortNameChars, ext)) return kFormatDolang;
  return 0;
}
int EbcdicC1Header(const Probe& p) {
  std::string card = p.bytes.substr(0, 80);
  sup::ECD2ASC(card, 80);
  return IsSegyText(card) ? kFormatSegy : 0;
}
int SgyName(const Probe& p) {
  return Within(p.name, kNameChars, ".SGY") || Within(p.name, kNameChars, ".sgy") ? kFormatSegy : 0;
}
int Never(const Probe&) {
  return 0;
}

/// One row of the table: the test that recognises a format (applied in table
/// order; it returns the code, or 0 when it does not hold) and what the
/// dispatch does with the code: call the reader, refuse with a message, or,
/// while the reader is not built, say so.
struct ImportFormat {
  FileFormatCode code;
  int (*detect)(const Probe&);
  ImportReader read = nullptr;    // null: refused, or not available yet
  std::string_view refusal = {};  // the refused formats' message
  RecordCounter count = nullptr;  // SEG-Y only: counts records for INRECORDS
};

// The tests in the order they are applied; the first that holds wins. A code
// that several tests give is served by its first row.
constexpr ImportFormat kImportFormats[] = {
    {.code = kFormatSegy, .detect = C1Header, .read = ReadSegy, .count = CountSegy},
    {.code = kFormatSeg2, .detect = Seg2Id, .read = ImportSeg2},
    {.code = kFormatAbem, .detect = AbemId, .read = ImportAbem},
    {.code = kFormatBison1, .detect = Bison1Id, .read = ImportBison1},
    {.code = kFormatBison2, .detect = Bison2Id, .read = ImportBison2},
    {.code = kFormatEgg985, .detect = EggId, .read = ImportEgg985},  // gives 4 or 5
    {.code = kFormatEggGeometrics2401,
     .detect = Geometrics2401Id,
     .refusal = "EG&G Geometrics 2401 FORMAT NOT YET SUPPORTED"},
    {.code = kFormatOyo, .detect = OyoId, .read = ImportOyo},
    {.code = kFormatScintrexS2,
     .detect = ScintrexId,
     .refusal = "SCINTREX S-2 Echo FORMAT NOT YET SUPPORTED"},
    {.code = kFormatMultiplexedTf,
     .detect = TfName,
     .refusal = "multiplexed .TF format FORMAT NOT YET SUPPORTED"},
    {.code = kFormatFpx, .detect = FpxNameAndId, .read = ImportFpx},
    {.code = kFormatSuspens, .detect = SuspensId, .read = ImportSuspens},
    {.code = kFormatRx2, .detect = Rx2Id, .read = ImportRx2},
    {.code = kFormatAnt, .detect = AntId, .read = ImportAnt},
    {.code = kFormatDcf, .detect = DcfId, .read = ImportDcf},
    {.code = kFormatDolang, .detect = DolangName, .read = ImportDolang},
    {.code = kFormatSegy, .detect = EbcdicC1Header},
    {.code = kFormatSegy, .detect = SgyName},
    // The EG&G test above also gives the second header layout; its reader
    // call is served here.
    {.code = kFormatEgg1197, .detect = Never, .read = ImportEgg1197},
};

/// The table row that serves CODE: the first with that code (the SEG-Y tests
/// stand in three rows; the first carries its reader).
const ImportFormat* RowOf(std::int32_t code) {
  for (const ImportFormat& f : kImportFormats)
    if (f.code == code) return &f;
  return nullptr;
}

std::int32_t g_lastDetected = kFormatUnknown;

/// Tells the user that the reader of CODE is not part of this build yet.
void NotAvailable(std::int32_t code) {
  std::string text(ToString(static_cast<FileFormatCode>(code)));
  text += " FORMAT READER NOT AVAILABLE YET";
  sup::WINMSG(text);
}

}  // namespace

namespace {

/// A file opened for detection, closed when it goes; its first bytes as read.
struct OpenedInput {
  int handle = -1;
  std::int64_t size = 0;
  std::vector<std::byte> lead;
  OpenedInput() = default;
  OpenedInput(const OpenedInput&) = delete;
  OpenedInput& operator=(const OpenedInput&) = delete;
  ~OpenedInput() {
    if (handle >= 0) sup::ICLSFIL(handle);
  }
};

/// Opens FNAME and reads its first bytes: the probe's, or with SEGYLEAD
/// those the SEG-Y reader starts from when they are more. False after
/// "UNABLE TO OPEN FILE: " and the padded name.
bool OpenInput(std::string_view FNAME, bool segyLead, OpenedInput& in) {
  in.handle = sup::IOPNRLY(FNAME);
  if (in.handle < 0) {
    sup::WINMSG("UNABLE TO OPEN FILE: " + Padded(FNAME, kNameChars));
    return false;
  }
  if (segyLead && plat::FileSize(in.handle, in.size) != 0) in.size = 0;
  in.lead.resize(segyLead ? std::max(kProbeBytes, SegyInLeadBytes(in.size)) : kProbeBytes);
  // A shorter file leaves the rest unread; how much was read does not matter
  // to detection.
  const int status =
      sup::JREDFIL(in.handle, std::span<std::byte>(in.lead), static_cast<int>(in.lead.size()));
  const std::size_t moved = status >= 0 && static_cast<std::size_t>(status) <= in.lead.size()
                                ? in.lead.size() - static_cast<std::size_t>(status)
                                : 0;
  in.lead.resize(moved);
  return true;
}

/// The format of the file FNAME whose first bytes are LEAD, by the table's
/// tests; 0 after "UNABLE TO IDENTIFY FORMAT FOR FILE " and the padded name.
std::int32_t DetectFormat(std::string_view FNAME, std::span<const std::byte> lead) {
  Probe probe{std::string(kProbeBytes, ' '), Padded(FNAME, kNameChars)};
  const std::size_t n = std::min(lead.size(), kProbeBytes);
  if (n > 0) std::memcpy(probe.bytes.data(), lead.data(), n);
  for (const ImportFormat& f : kImportFormats) {
    if (const int code = f.detect(probe); code != 0) return code;
  }
  sup::WINMSG("UNABLE TO IDENTIFY FORMAT FOR FILE " + probe.name);
  return kFormatUnknown;
}

}  // namespace

std::int32_t ISEISFT(std::string_view FNAME) {
  OpenedInput in;
  if (!OpenInput(FNAME, false, in)) return kFormatCannotOpen;
  return DetectFormat(FNAME, in.lead);
}

void IMPORT(ShotRecord& REC, std::string_view FNAME, std::int32_t& IRECNO, int& IERR, bool LFIRST,
            bool LSECOND) {
  IERR = -1;
  const std::int32_t code = ISEISFT(FNAME);
  g_lastDetected = code;
  if (code == kFormatCannotOpen) return;
  if (code == kFormatUnknown) {
    sup::WINMSG("UNKNOWN OR (as yet) UNSUPPORTED FORMAT");
    return;
  }
  const ImportFormat* row = RowOf(code);
  if (row == nullptr || row->read == nullptr) {
    if (row != nullptr && !row->refusal.empty()) {
      sup::WINMSG(row->refusal);
      REC.IFORMAT = code;  // the record's data stay; the code says what was refused
    } else {
      NotAvailable(code);
    }
    return;
  }
  // The read goes into a fresh record and replaces REC only on success. Against
  // the older in-place rule this means: a failed read does not set IFORMAT
  // (a refused format does, above); the radar flag and the SEG-Y trace headers of the record held
  // before are not carried into the new one (LSEGYHDR starts false, as the
  // dispatch wants it before every read); the trace spacing is carried over,
  // so a SEG-2 file with receiver positions keeps it as the reader's
  // geometry step intends.
  ReadThenCommit(REC, ReadStart::Spacing, [&](ShotRecord& fresh) {
    fresh.CRECNAME = RecordNameOfFile(FNAME);
    ImportArguments args{IRECNO, IERR, LFIRST, LSECOND};
    tk::WCursorShape(tk::kCursorHourglass);
    row->read(fresh, FNAME, args);
    tk::WCursorShape(tk::kCursorArrow);
    if (IERR != 0) return false;
    fresh.IFORMAT = code;
    return true;
  });
  if (IERR != 0) IERR = -1;
}

void INRECORDS(ShotRecord& REC, std::string_view FNAME, int& IERR, std::int32_t& NRECORDS) {
  // One open serves the detection and the count: the first bytes read for
  // the one are those the SEG-Y reader starts from (a small file whole).
  OpenedInput in;
  const std::int32_t code =
      OpenInput(FNAME, true, in) ? DetectFormat(FNAME, in.lead) : kFormatCannotOpen;
  g_lastDetected = code;
  if (code == kFormatCannotOpen) {
    IERR = -1;
    return;
  }
  NRECORDS = 1;
  IERR = 0;
  if (code != kFormatSegy) return;
  const ImportFormat* row = RowOf(code);
  if (row == nullptr || row->count == nullptr) {
    NotAvailable(code);
    IERR = -1;
    return;
  }
  std::int32_t count = NRECORDS;
  const SegyInFile file{in.handle, in.size, in.lead};
  // With one record the counter has read it; with several nothing was read.
  ReadThenCommit(REC, ReadStart::Spacing, [&](ShotRecord& fresh) {
    fresh.CRECNAME = RecordNameOfFile(FNAME);
    tk::WCursorShape(tk::kCursorHourglass);
    row->count(fresh, file, FNAME, count, IERR);
    tk::WCursorShape(tk::kCursorArrow);
    if (IERR != 0 || count > 1) return false;
    fresh.IFORMAT = code;
    return true;
  });
  if (IERR != 0) {
    IERR = -1;
    return;
  }
  NRECORDS = count;
}

SegyInState& SegyReaderState() {
  static SegyInState state;
  return state;
}

std::int32_t LastDetectedFormat() {
  return g_lastDetected;
}

namespace {
const bool kRegistered = sup::RegisterProgramReset(sup::ProgramLayer::Shell, [] {
  g_lastDetected = kFormatUnknown;
  SegyReaderState() = SegyInState{};
});
}  // namespace

}  // namespace vel
