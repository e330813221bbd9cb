// The public SEG-Y files of the shared data folder, each with its outcome:
// read and equal to segyio (or to the .npy reference), read after a scripted
// answer, or refused with its message.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>

#include "formats/SegyHeaders.h"
#include "formats/SegyIn.h"
#include "support/ByteOrder.h"
#include "tests/TestSupport.h"
#include "tests/formats/SegyTestSupport.h"

namespace {

using segy_test::ScriptedDialogs;
namespace fs = std::filesystem;

enum class Reference {
  Segyio,      // segyio's samples of the same file, exactly
  LittleIeee,  // the sample bytes taken as little-endian IEEE singles
  Npy,         // the .npy file next to it
  Format5msb,  // segyio's samples of multiformats/Format5msb.sgy
  None,        // counts only
};

struct Row {
  const char* file;
  const char* note;  // what the row shows
  vel::SegyInOptions options;
  std::deque<int> answers;   // scripted prompt answers
  int editFormat = 0;        // non-compliant: the format answered in the editor
  int error = 0;             // expected error flag
  const char* message = "";  // expected last message (substring), "" none
  int traces = 0;            // NTRACE + NAUX after a read
  int naux = 0;
  Reference ref = Reference::None;
  bool littleEndian = false;  // the file's byte order (for segyio)
};

vel::SegyInOptions Compliant() {
  return {};
}
vel::SegyInOptions Joined() {
  vel::SegyInOptions o;
  o.joinAll = true;
  return o;
}
vel::SegyInOptions NonCompliant() {
  vel::SegyInOptions o;
  o.compliant = false;
  return o;
}

// clang-format off
const Row kRows[] = {
    {"segyio/small.sgy", "trace headers hold 0 samples and interval: the binary header's values",
     Compliant(), {}, 0, 0, "", 25, 0, Reference::Segyio},
    {"segyio/small-lsb.sgy",
     "little-endian with code 1 is read as IEEE singles (segyio reads IBM words there)", Compliant(),
     {}, 0, 0, "", 25, 0, Reference::LittleIeee, true},
    {"segyio/text-embed-null.sgy", "NUL inside the text header", Compliant(), {}, 0, 0, "", 25, 0,
     Reference::Segyio},
    {"segyio/1x1.sgy", "4 traces of 10 samples", Compliant(), {}, 0, 0, "", 4, 0, Reference::Segyio},
    {"segyio/tiny.sgy", "6 records of 1 trace: the record prompt answered 3", Compliant(), {3}, 0, 0,
     "", 1, 0, Reference::None},
    {"first-arrival-picker/shot_00846m_stacked.sgy", "48 records of one trace joined", Joined(), {},
     0, 0, "", 48, 0, Reference::Segyio},
    {"first_breaks_picking/real_gather.sgy",
     "no trace count and an all-zero text header: the count prompt answered 96", Compliant(), {96},
     0, 0, "3200 BYTE HEADER IS NEITHER ASCII OR EBCDIC.", 96, 0, Reference::Segyio},
    {"segyio/delay-scalar.sgy", "no trace count: prompt answered 1", Compliant(), {1}, 0, 0, "", 1,
     0, Reference::Segyio},
    {"segyio/shot-gather.sgy",
     "61 data and 61 auxiliary traces declared, 61 present: the 61 are kept", Compliant(), {}, 0, 0,
     "ERROR READING SEGY TRACE HEADER", 61, 0, Reference::Segyio},
    {"obspy/segy/ld0042_file_00018.sgy_first_trace", "big-endian IBM", Compliant(), {}, 0, 0, "",
     1, 0, Reference::Npy},
    {"obspy/segy/example.y_first_trace", "16-bit integers; 2192 traces declared, 1 present",
     Compliant(), {}, 0, 0, "ERROR READING SEGY TRACE HEADER", 1, 0, Reference::Npy},
    {"obspy/segy/1.sgy_first_trace", "32-bit integers; 24 traces declared, 1 present", Compliant(),
     {}, 0, 0, "ERROR READING SEGY TRACE HEADER", 1, 0, Reference::Npy},
    {"obspy/segy/one_trace_year_11.sgy", "two-digit year 11", Compliant(), {}, 0, 0,
     "ERROR READING SEGY TRACE HEADER", 1, 0, Reference::Npy},
    {"obspy/segy/one_trace_year_99.sgy", "two-digit year 99", Compliant(), {}, 0, 0,
     "ERROR READING SEGY TRACE HEADER", 1, 0, Reference::Npy},
    {"obspy/segy/00001034.sgy_first_trace",
     "little-endian code 1 read as IEEE (the .npy holds the IBM values)", Compliant(), {}, 0, 0,
     "ERROR READING SEGY TRACE HEADER", 1, 0, Reference::LittleIeee, true},
    {"obspy/segy/planes.segy_first_trace", "little-endian code 1 read as IEEE", Compliant(), {}, 0,
     0, "", 1, 0, Reference::LittleIeee, true},
    {"obspy/segy-pr3259/good_sin_wave.sgy", "3 traces of 16666 samples", Compliant(), {}, 0, 0, "",
     3, 0, Reference::Npy},
    {"segyio/multiformats/Format1msb.sgy", "non-compliant, IBM, 75 samples", NonCompliant(), {414},
     1, 0, "", 414, 0, Reference::Format5msb},
    {"segyio/multiformats/Format2msb.sgy", "non-compliant, 32-bit integers", NonCompliant(), {414},
     2, 0, "", 414, 0, Reference::Format5msb},
    {"segyio/multiformats/Format3msb.sgy", "non-compliant, 16-bit integers", NonCompliant(), {414},
     3, 0, "", 414, 0, Reference::Format5msb},
    {"segyio/multiformats/Format5msb.sgy",
     "non-compliant, floating point answered: the binary header's code 5 makes it IEEE",
     NonCompliant(), {414}, 1, 0, "", 414, 0, Reference::Format5msb},
    {"segyio/multiformats/Format2lsb.sgy", "non-compliant little-endian 32-bit", NonCompliant(),
     {414}, 2, 0, "", 414, 0, Reference::Format5msb, true},
    {"segyio/multiformats/Format3lsb.sgy", "non-compliant little-endian 16-bit", NonCompliant(),
     {414}, 3, 0, "", 414, 0, Reference::Format5msb, true},
    {"segyio/multiformats/Format5lsb.sgy", "non-compliant little-endian IEEE", NonCompliant(), {414},
     1, 0, "", 414, 0, Reference::Format5msb, true},
    {"segyio/multiformats/Format4msb.sgy", "format 4 is refused", Compliant(), {414}, 0, -1,
     "SEG-Y FORMAT NUMBER 4 IS UNSUPPORTED", 0, 0, Reference::None},
    {"segyio/broken.sgy", "text fills the first trace header, its samples cut", Compliant(), {}, 0,
     -1, "END OF FILE HAS BEEN REACHED WHILE READING TRACES", 0, 0, Reference::None},
    {"segyio/text.sgy", "headers only", Compliant(), {}, 0, -1, "ERROR READING SEGY TRACE HEADER", 0,
     0, Reference::None},
    {"segyio/interval-neg-bin-neg-trace.sgy", "negative sample interval", Compliant(), {}, 0, -1,
     "Traces have zero sample rate!", 0, 0, Reference::None},
    {"segyio/increment.sgy", "negative trace count: the count prompt cancelled", Compliant(), {}, 0,
     -1, "", 0, 0, Reference::None},
    {"segyio/decrement.sgy", "65527 traces of 65527 samples declared: trace 1's samples cut",
     Compliant(), {}, 0, -1, "END OF FILE HAS BEEN REACHED WHILE READING TRACES", 0, 0,
     Reference::None},
    {"segyio/f3.sgy",
     "trace headers say 462 samples, the binary header 75: 462 leaves no whole traces, 75 is read; "
     "the count prompt answered with its proposal",
     Compliant(), {414}, 0, 0, "All traces must have same number of samples     75 vs    462", 414,
     0, Reference::Segyio},
    {"segyio/multiformats/Format1msb.sgy", "f3 as IBM singles, compliant", Compliant(), {414}, 0, 0,
     "", 414, 0, Reference::Segyio},
    {"segyio/multiformats/Format2msb.sgy", "f3 as 32-bit integers, compliant", Compliant(), {414}, 0,
     0, "", 414, 0, Reference::Segyio},
    {"segyio/multiformats/Format5msb.sgy", "f3 as IEEE singles, compliant", Compliant(), {414}, 0, 0,
     "", 414, 0, Reference::Segyio},
    {"segyio/multiformats/Format6msb.sgy", "sample codes beyond 1-5 are refused", Compliant(), {},
     0, -1, "ERROR READING MAIN SEGY HEADER BLOCK", 0, 0, Reference::None},
    {"segyio/multiformats/Format8msb.sgy", "sample codes beyond 1-5 are refused", Compliant(), {},
     0, -1, "ERROR READING MAIN SEGY HEADER BLOCK", 0, 0, Reference::None},
    {"segyio/multiformats/Format9msb.sgy", "sample codes beyond 1-5 are refused", Compliant(), {},
     0, -1, "ERROR READING MAIN SEGY HEADER BLOCK", 0, 0, Reference::None},
    {"segyio/multiformats/Format10msb.sgy", "sample codes beyond 1-5 are refused", Compliant(), {},
     0, -1, "ERROR READING MAIN SEGY HEADER BLOCK", 0, 0, Reference::None},
    {"segyio/multiformats/Format11msb.sgy", "sample codes beyond 1-5 are refused", Compliant(), {},
     0, -1, "ERROR READING MAIN SEGY HEADER BLOCK", 0, 0, Reference::None},
    {"segyio/multiformats/Format12msb.sgy", "sample codes beyond 1-5 are refused", Compliant(), {},
     0, -1, "ERROR READING MAIN SEGY HEADER BLOCK", 0, 0, Reference::None},
    {"segyio/interval-neg-bin-pos-trace.sgy", "the trace header's positive interval", Compliant(),
     {}, 0, 0, "", 1, 0, Reference::Segyio},
    {"segyio/interval-pos-bin-neg-trace.sgy", "the trace header's negative interval", Compliant(),
     {}, 0, -1, "Traces have zero sample rate!", 0, 0, Reference::None},
    {"segyio/stanzas-known-count.sgy", "extended text headers", Compliant(), {}, 0, -1,
     "END OF FILE HAS BEEN REACHED WHILE READING TRACES", 0, 0,
     Reference::None},
    {"segyio/stanzas-unknown-count.sgy", "extended text headers, count unknown", Compliant(), {},
     0, -1, "END OF FILE HAS BEEN REACHED WHILE READING TRACES", 0, 0, Reference::None},
    {"segyio/multi-text.sgy", "no trace count: the count prompt cancelled", Compliant(), {}, 0, -1,
     "", 0, 0, Reference::None},
    {"segyio/long.sgy",
     "60000 samples read unsigned; the second trace header holds samples: the first trace is kept",
     Compliant(), {}, 0, 0, "All traces must have same number of samples  60000 vs   1975", 1, 0,
     Reference::None},
};
// clang-format on

std::vector<float> LittleIeeeSamples(const fs::path& p, int traces, int ns) {
  const std::string raw = testing_support::ReadFile(p);
  std::vector<float> v;
  for (int i = 0; i < traces; ++i) {
    for (int k = 0; k < ns; ++k) {
      const std::size_t at = 3600 + static_cast<std::size_t>(i) * (240 + 4 * ns) + 240 + 4 * k;
      if (at + 4 > raw.size()) return v;
      v.push_back(std::bit_cast<float>(sup::LoadU32(
          reinterpret_cast<const std::byte*>(raw.data()) + at, sup::ByteOrder::Little)));
    }
  }
  return v;
}

TEST(SegyInFiles, EveryPublicFileHasItsOutcome) {
  SKIP_WITHOUT_SHARED_DATA();
  if (!segy_test::SegyioAvailable()) GTEST_SKIP() << "segyio not available";
  const fs::path root = testing_support::SharedData();
  const auto f5 = segy_test::ReadWithSegyio(root / "segyio/multiformats/Format5msb.sgy", false);
  ASSERT_TRUE(f5.ok);
  for (const Row& row : kRows) {
    SCOPED_TRACE(std::string(row.file) + ": " + row.note);
    const fs::path path = root / row.file;
    if (!fs::exists(path)) continue;
    vel::SegyInState state;
    const int editFormat = row.editFormat;
    ScriptedDialogs dialogs(row.answers, [editFormat](vel::ShotRecord& R, int&, int& format) {
      R.SAMPINT = 4.0f;
      R.NSAMP = 75;
      format = editFormat == 0 ? 1 : editFormat;
      return true;
    });
    vel::ShotRecord rec;
    rec.NTRACE = 7;
    int recno = 1;
    int error = 99;
    vel::SEGYIN(rec, path.string(), recno, error, row.options, state);
    EXPECT_EQ(error, row.error);
    if (*row.message != '\0') {
      EXPECT_NE(sup::LastUserMessage().text.find(row.message), std::string::npos)
          << sup::LastUserMessage().text;
    }
    if (row.error != 0) {
      EXPECT_EQ(rec.NTRACE, 7) << "a failed read leaves the record as it was";
      continue;
    }
    EXPECT_EQ(rec.NTRACE + rec.NAUX, row.traces);
    EXPECT_EQ(rec.NAUX, row.naux);
    const int n = rec.NTRACE + rec.NAUX;
    std::vector<float> expected;
    switch (row.ref) {
      case Reference::Segyio: {
        const auto s = segy_test::ReadWithSegyio(path, row.littleEndian);
        ASSERT_TRUE(s.ok);
        EXPECT_EQ(s.samples, rec.NSAMP);
        if (s.samples > 1) {
          EXPECT_FLOAT_EQ(static_cast<float>(s.dt), rec.SAMPINT);
        }
        expected = s.data;
        break;
      }
      case Reference::LittleIeee:
        expected = LittleIeeeSamples(path, n, rec.NSAMP);
        break;
      case Reference::Npy:
        expected = segy_test::LoadNpy(fs::path(path.string() + ".npy"));
        break;
      case Reference::Format5msb:
        expected = f5.data;
        break;
      case Reference::None:
        break;
    }
    if (row.ref == Reference::None) continue;
    std::size_t count = static_cast<std::size_t>(n) * static_cast<std::size_t>(rec.NSAMP);
    // The .npy references hold the first trace only.
    if (row.ref == Reference::Npy) count = std::min(count, expected.size());
    ASSERT_GE(expected.size(), count);
    ASSERT_GE(rec.TRACES.size(), count);
    std::size_t differ = 0;
    for (std::size_t k = 0; k < count; ++k) {
      if (std::bit_cast<std::uint32_t>(rec.TRACES[k]) !=
              std::bit_cast<std::uint32_t>(expected[k]) &&
          rec.TRACES[k] != expected[k]) {
        ++differ;
      }
    }
    EXPECT_EQ(differ, 0u);
  }
}

TEST(SegyInFiles, PromptsAndNames) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path root = testing_support::SharedData();
  vel::SegyInState state;
  {
    ScriptedDialogs dialogs({96});
    vel::ShotRecord rec;
    int recno = 1;
    int error = 0;
    vel::SEGYIN(rec, (root / "first_breaks_picking/real_gather.sgy").string(), recno, error, {});
    ASSERT_EQ(error, 0);
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0], "NUMBER OF TRACES MUST BE POSITIVE:");
    EXPECT_EQ(dialogs.defaults[0], 96) << "the proposal from the file size";
  }
  {
    ScriptedDialogs dialogs({3});
    vel::ShotRecord rec;
    int recno = 1;
    int error = 0;
    vel::SEGYIN(rec, (root / "segyio/tiny.sgy").string(), recno, error, {}, state);
    ASSERT_EQ(error, 0);
    EXPECT_EQ(dialogs.prompts.at(0), "Record sequence number to read (1:     6):");
    EXPECT_EQ(recno, 3);
    EXPECT_EQ(rec.CRECNAME.Trimmed(), "tiny-3");
    EXPECT_EQ(state.selectedRecord, 3);
    const auto s = segy_test::ReadWithSegyio(root / "segyio/tiny.sgy", false);
    if (s.ok) {
      ASSERT_EQ(s.samples, rec.NSAMP);
      for (int k = 0; k < rec.NSAMP; ++k)
        EXPECT_EQ(rec.TRACES[static_cast<std::size_t>(k)],
                  s.data[static_cast<std::size_t>(2 * rec.NSAMP + k)]);
    }
  }
  {
    ScriptedDialogs dialogs;
    vel::ShotRecord rec;
    int recno = 0;
    int error = 0;
    vel::SegyInOptions count;
    count.countOnly = true;
    vel::SEGYIN(rec, (root / "first-arrival-picker/shot_00846m_stacked.sgy").string(), recno, error,
                count);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(recno, 48);
    EXPECT_TRUE(rec.TRACES.empty());
  }
}

TEST(SegyInFiles, TruncatedCopiesEndWithAMessage) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path root = testing_support::SharedData();
  const std::string whole = testing_support::ReadFile(root / "segyio/small.sgy");
  ASSERT_EQ(whole.size(), 14600u);
  testing_support::TempDir dir;
  struct Cut {
    std::size_t length;
    int error;
    int traces;
    const char* message;
  };
  const std::size_t block = 240 + 50 * 4;
  const Cut cuts[] = {
      {0, -1, 0, "ERROR READING MAIN SEGY HEADER BLOCK"},
      {100, -1, 0, "ERROR READING MAIN SEGY HEADER BLOCK"},
      {3599, -1, 0, "ERROR READING MAIN SEGY HEADER BLOCK"},
      {3600, -1, 0, "ERROR READING SEGY TRACE HEADER"},
      {3600 + 100, -1, 0, "ERROR READING SEGY TRACE HEADER"},
      {3600 + 239, -1, 0, "ERROR READING SEGY TRACE HEADER"},
      {3600 + block - 1, -1, 0, "END OF FILE HAS BEEN REACHED WHILE READING TRACES"},
      {3600 + 9 * block + 100, 0, 9, "ERROR READING SEGY TRACE HEADER"},
      {3600 + 9 * block + 300, -1, 0, "END OF FILE HAS BEEN REACHED WHILE READING TRACES"},
      {3600 + 24 * block, 0, 24, "ERROR READING SEGY TRACE HEADER"},
      {3600 + 24 * block + 240, -1, 0, "END OF FILE HAS BEEN REACHED WHILE READING TRACES"},
      {3600 + 25 * block - 1, -1, 0, "END OF FILE HAS BEEN REACHED WHILE READING TRACES"},
  };
  for (const Cut& c : cuts) {
    SCOPED_TRACE(c.length);
    const auto p = dir / "cut.sgy";
    testing_support::WriteFile(p, whole.substr(0, c.length));
    ScriptedDialogs dialogs;
    vel::ShotRecord rec;
    rec.NTRACE = 5;
    int recno = 1;
    int error = 0;
    vel::SEGYIN(rec, p.string(), recno, error, {});
    EXPECT_EQ(error, c.error);
    // One message, the reader's own, and nothing else.
    EXPECT_EQ(sup::UserMessageCount(), 1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message);
    if (c.error != 0) {
      EXPECT_EQ(rec.NTRACE, 5) << "the held record stays as it was";
      continue;
    }
    EXPECT_EQ(rec.NTRACE, c.traces);
    EXPECT_EQ(rec.NAUX, 0);
    EXPECT_TRUE(rec.LSEGYHDR);
    EXPECT_GT(rec.SPACING, 0.0f);
    EXPECT_EQ(vel::SegyBinI16(rec.ISEGYBIN, 3213), c.traces);
    EXPECT_EQ(vel::SegyBinI16(rec.ISEGYBIN, 3215), 0);
  }
}

}  // namespace

#include "shell/Import.h"

namespace {

TEST(SegyInFiles, ImportAndRecordCountGoThroughTheReader) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path root = testing_support::SharedData();
  ScriptedDialogs quiet;
  vel::ShotRecord rec;
  std::int32_t recno = 0;
  int error = 99;
  vel::IMPORT(rec, (root / "segyio/small.sgy").string(), recno, error, false, false);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(rec.NTRACE, 25);
  EXPECT_EQ(rec.IFORMAT, vel::kFormatSegy);
  std::int32_t count = 0;
  vel::INRECORDS(rec, (root / "first-arrival-picker/shot_00846m_stacked.sgy").string(), error,
                 count);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(count, 48);
  EXPECT_EQ(rec.NTRACE, 25) << "several records: nothing read";
  recno = 7;
  vel::IMPORT(rec, (root / "first-arrival-picker/shot_00846m_stacked.sgy").string(), recno, error,
              false, true);
  ASSERT_EQ(error, 0);
  EXPECT_EQ(rec.NTRACE, 1);
  EXPECT_EQ(recno, 7);
}

}  // namespace
