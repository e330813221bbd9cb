// ASCII and CSV tables: the exported text (number format, labels, times,
// positions, continuation lines, failures), the import with a column layout
// (hostile and awkward inputs), and export then import giving back the same
// samples to the export's six significant digits.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include "formats/AsciiIn.h"
#include "formats/AsciiOut.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "toolkit/core/Conversion.h"

namespace {

using namespace vel;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

// Quiet message boxes, an abort poll the test controls, the shared ASCII
// type back at 1 afterwards.
class AsciiFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
    sup::SetAbortPollHook([this] { return ++polls >= abortAfter; });
    IASCTYPE() = 1;
  }
  void TearDown() override {
    sup::SetAbortPollHook({});
    sup::SetUserMessageHook({});
    IASCTYPE() = 1;
  }
  std::string Message() const { return sup::LastUserMessage().text; }

  int polls = 0;
  int abortAfter = std::numeric_limits<int>::max();
  TempDir dir;
};

ShotRecord RandomRecord(std::mt19937& rng, int traces, int samples) {
  ShotRecord rec;
  rec.CRECNAME = "SHOT7";
  rec.NTRACE = traces;
  rec.NSAMP = samples;
  rec.SAMPINT = 0.25f;
  rec.TDELAY = -2.0f;
  EXPECT_TRUE(RebuildTraceArrays(rec));
  std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (float& v : rec.TRACES) v = std::ldexp(mantissa(rng), exponent(rng));
  for (int j = 0; j < traces; ++j) rec.GEOLOC[static_cast<std::size_t>(j)] = 2.5f * j;
  return rec;
}

// The value that the table's text of V reads back as.
float AsWritten(float v) {
  char text[kAsciiValueWidth + 1] = {};
  PutAsciiValue(text, v);
  return std::strtof(text, nullptr);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at));
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// ---------------------------------------------------------------------------
// The number format

TEST(AsciiValue, MatchesTheEditDescriptorFormatter) {
  std::vector<float> values = {0.0f,     12.5f,     -0.002f, 1.0f,        -1.0f,    9.999995f,
                               9.99999f, 99999.95f, FLT_MAX, -FLT_MAX,    FLT_MIN,  1e-45f,
                               -1e-40f,  123456.7f, 1e10f,   -3.4028e38f, 0.099999f};
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
  std::uniform_int_distribution<int> exponent(-140, 127);
  for (int i = 0; i < 20000; ++i) values.push_back(std::ldexp(mantissa(rng), exponent(rng)));
  values.push_back(std::numeric_limits<float>::quiet_NaN());
  values.push_back(std::numeric_limits<float>::infinity());
  values.push_back(-std::numeric_limits<float>::infinity());
  for (const float v : values) {
    char text[kAsciiValueWidth];
    EXPECT_EQ(PutAsciiValue(text, v), text + kAsciiValueWidth);
    EXPECT_EQ(std::string(text, kAsciiValueWidth), tk::FormatRealField(v, "(1PE13.5)"))
        << "value " << v;
  }
  char text[kAsciiValueWidth];
  PutAsciiValue(text, 12.5f);
  EXPECT_EQ(std::string(text, 13), "  1.25000E+01");
  PutAsciiValue(text, -0.002f);
  EXPECT_EQ(std::string(text, 13), " -2.00000E-03");
  PutAsciiValue(text, 0.0f);
  EXPECT_EQ(std::string(text, 13), "  0.00000E+00");
}

TEST(AsciiLabels, EachStyle) {
  struct Case {
    std::int32_t style;
    std::int32_t trace;
    const char* label;
  };
  const Case cases[] = {
      {1, 1, "TRACE1"},         {1, 12, "TRACE12"},      {1, 100, "TRACE100"},
      {1, 1000, "TRACE1000"},   {2, 1, "TRACE00001"},    {2, 12, "TRACE00012"},
      {2, 100, "TRACE00100"},   {2, 1000, "TRACE01000"}, {3, 1, "TRACE  1  "},
      {3, 12, "TRACE  12 "},    {3, 100, "TRACE 100  "}, {3, 1000, "TRACE 1000"},
      {0, 1, "TRACE    1"},     {0, 12, "TRACE   12"},   {7, 100, "TRACE  100"},
      {-1, 1000, "TRACE 1000"}, {4, 5, "TRACE    5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.style) + "/" + std::to_string(c.trace));
    std::string want = c.label;
    if (c.style == 3) want = want.substr(0, 10);
    EXPECT_EQ(AsciiTraceLabel(c.trace, c.style), want);
  }
}

// ---------------------------------------------------------------------------
// The exported text

using AsciiOutTest = AsciiFixture;

TEST_F(AsciiOutTest, LabelTimePositionAndSampleRows) {
  ShotRecord rec;
  rec.NTRACE = 3;
  rec.NSAMP = 3;
  rec.SAMPINT = 0.25f;
  rec.TDELAY = 0.0f;
  ASSERT_TRUE(RebuildTraceArrays(rec));
  for (std::size_t i = 0; i < rec.TRACES.size(); ++i) rec.TRACES[i] = static_cast<float>(i);
  for (std::size_t j = 0; j < 3; ++j) rec.GEOLOC[j] = 10.0f * static_cast<float>(j + 1);

  AsciiExportOptions options{.ILABEL = 2, .LTIMES = true, .LPOSITS = true};
  std::string name = (dir / "t.dat").string();
  int error = 5;
  ASCIIOUT(rec, 0, name, error, options);
  ASSERT_EQ(error, 0);
  auto lines = Lines(ReadFile(name));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "        TIMESTRACE00001   TRACE00002   TRACE00003   ");
  EXPECT_EQ(lines[0].size(), 52u);
  EXPECT_EQ(lines[1], "  0.00000E+00  1.00000E+01  2.00000E+01  3.00000E+01");
  EXPECT_EQ(lines[2], "  2.50000E-01  0.00000E+00  3.00000E+00  6.00000E+00");
  EXPECT_EQ(lines[3], "  5.00000E-01  1.00000E+00  4.00000E+00  7.00000E+00");
  EXPECT_EQ(lines[4], "  7.50000E-01  2.00000E+00  5.00000E+00  8.00000E+00");
  EXPECT_EQ(ReadFile(name).substr(52, 2), "\r\n");

  // Comma-separated, labels without blanks, no times, no positions.
  IASCTYPE() = 2;
  options = {.ILABEL = 1, .LTIMES = false, .LPOSITS = false};
  ASCIIOUT(rec, 0, name, error, options);
  ASSERT_EQ(error, 0);
  lines = Lines(ReadFile(name));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "TRACE1        TRACE2        TRACE3         ");
  EXPECT_EQ(lines[0].size(), 13u * 3 + 4);
  EXPECT_EQ(lines[1], "  0.00000E+00,  3.00000E+00,  6.00000E+00");

  // One trace: times and samples, blank-separated even for CSV, nothing else.
  options = {.ILABEL = 2, .LTIMES = true, .LPOSITS = true};
  ASCIIOUT(rec, 2, name, error, options);
  ASSERT_EQ(error, 0);
  lines = Lines(ReadFile(name));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "  2.50000E-01  3.00000E+00");
  EXPECT_EQ(lines[2], "  7.50000E-01  5.00000E+00");

  // ITRACE beyond the record writes every trace.
  ASCIIOUT(rec, 4, name, error, options);
  EXPECT_EQ(Lines(ReadFile(name)).size(), 5u);
}

TEST_F(AsciiOutTest, ThousandTracesAndTheLimit) {
  ShotRecord rec;
  rec.NTRACE = 1000;
  rec.NSAMP = 2;
  rec.SAMPINT = 1.0f;
  ASSERT_TRUE(RebuildTraceArrays(rec));
  for (std::size_t i = 0; i < rec.TRACES.size(); ++i) rec.TRACES[i] = static_cast<float>(i);
  for (const std::int32_t type : {1, 2}) {
    IASCTYPE() = type;
    AsciiExportOptions options{.ILABEL = 4, .LTIMES = true, .LPOSITS = false};
    std::string name = (dir / "k.csv").string();
    int error = 5;
    ASCIIOUT(rec, 0, name, error, options);
    ASSERT_EQ(error, 0);
    const auto lines = Lines(ReadFile(name));
    ASSERT_EQ(lines.size(), 4u);  // each row: 1000 values, then the last one
    const std::size_t sep = type == 1 ? 0 : 1;
    EXPECT_EQ(lines[0].size(), 1000u * 13 + 999 * sep);
    EXPECT_EQ(lines[1].size(), 13u + sep);
    EXPECT_EQ(lines[1], std::string(sep, ',') + "  1.99800E+03");
  }

  rec.NTRACE = 1001;
  ASSERT_TRUE(RebuildTraceArrays(rec));
  AsciiExportOptions options;
  std::string name = (dir / "big.dat").string();
  int error = 0;
  ASCIIOUT(rec, 0, name, error, options);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(Message(), "ASCIII file output limited to 1000 traces.");
  EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(AsciiOutTest, EveryFailureSetsTheFlagAndSaysSo) {
  std::mt19937 rng(3);
  const ShotRecord rec = RandomRecord(rng, 4, 300);
  struct Case {
    std::string name;
    std::string message;
  };
  const Case cases[] = {
      {(dir / "missing" / "x.dat").string(),
       "CANNOT OPEN FILE: " + (dir / "missing/x.dat").string()},
      {dir.path().string(), "CANNOT OPEN FILE: " + dir.path().string()},
      // What failed, then the system's reason.
      {"/dev/full", "/dev/full: No space left on device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool labels : {true, false}) {
      sup::ClearUserMessages();
      AsciiExportOptions options{.ILABEL = labels ? 1 : 4, .LTIMES = true, .LPOSITS = true};
      std::string name = c.name;
      int error = 0;
      ASCIIOUT(rec, 0, name, error, options);
      EXPECT_EQ(error, -1);
      EXPECT_EQ(Message(), c.message);
      EXPECT_EQ(sup::UserMessageCount(), c.name == "/dev/full" ? 2 : 1);
    }
  }
}

// ---------------------------------------------------------------------------
// Export, then import with the same layout

TEST_F(AsciiOutTest, ExportThenImportGivesTheSamples) {
  struct Case {
    const char* name;
    std::int32_t type;  // 1 blanks, 2 commas
    AsciiExportOptions options;
    int traces;
    int samples;
  };
  const Case cases[] = {
      {"flat plain", 1, {.ILABEL = 4, .LTIMES = false, .LPOSITS = false}, 24, 500},
      {"flat times", 1, {.ILABEL = 4, .LTIMES = true, .LPOSITS = false}, 5, 64},
      {"flat labels", 1, {.ILABEL = 0, .LTIMES = false, .LPOSITS = false}, 12, 33},
      {"flat blank labels", 1, {.ILABEL = 3, .LTIMES = true, .LPOSITS = true}, 7, 20},
      {"flat positions", 1, {.ILABEL = 4, .LTIMES = false, .LPOSITS = true}, 3, 10},
      {"csv plain", 2, {.ILABEL = 4, .LTIMES = false, .LPOSITS = false}, 24, 500},
      {"csv all", 2, {.ILABEL = 2, .LTIMES = true, .LPOSITS = true}, 9, 41},
      {"csv labels", 2, {.ILABEL = 1, .LTIMES = true, .LPOSITS = false}, 1, 7},
      {"txt positions", 3, {.ILABEL = 4, .LTIMES = true, .LPOSITS = true}, 2, 3},
      {"1000 traces", 1, {.ILABEL = 1, .LTIMES = false, .LPOSITS = false}, 1000, 6},
      {"1000 traces csv", 2, {.ILABEL = 2, .LTIMES = false, .LPOSITS = true}, 1000, 4},
      {"one sample", 1, {.ILABEL = 4, .LTIMES = true, .LPOSITS = false}, 3, 1},
  };
  std::mt19937 rng(11);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ShotRecord out = RandomRecord(rng, c.traces, c.samples);
    IASCTYPE() = c.type;
    AsciiExportOptions options = c.options;
    std::string name = (dir / "table.txt").string();
    int error = 5;
    ASCIIOUT(out, 0, name, error, options);
    ASSERT_EQ(error, 0);

    AsciiColumnLayout layout;
    layout.ICOL1 = c.options.LTIMES ? 2 : 1;
    layout.ICOLINC = 1;
    layout.NTRIN = c.traces;
    layout.NSIN = c.samples + 10;
    // The position row is numeric: start below it (and the label row).
    layout.IROW1 = c.options.LPOSITS ? (c.options.ILABEL != 4 ? 3 : 2) : 0;
    layout.TFIRST = out.TDELAY + out.SAMPINT;
    layout.TSTEP = out.SAMPINT;

    ShotRecord in;
    in.SHOTX = 77.0f;  // fields the table does not hold keep their values
    ReadAsciiTable(in, name, layout, error);
    ASSERT_EQ(error, 0) << Message();
    EXPECT_EQ(in.NTRACE, c.traces);
    EXPECT_EQ(in.NSAMP, c.samples);
    EXPECT_EQ(in.SAMPINT, out.SAMPINT);
    EXPECT_FLOAT_EQ(in.TDELAY, out.TDELAY);
    EXPECT_EQ(in.SHOTX, 77.0f);
    EXPECT_EQ(in.CRECNAME.Trimmed(), "table");
    ASSERT_EQ(in.TRACES.size(), out.TRACES.size());
    int differences = 0;
    for (std::size_t i = 0; i < in.TRACES.size(); ++i) {
      if (in.TRACES[i] != AsWritten(out.TRACES[i]) && ++differences < 5)
        ADD_FAILURE() << "sample " << i << ": " << in.TRACES[i] << " vs " << out.TRACES[i];
      EXPECT_LE(std::fabs(in.TRACES[i] - out.TRACES[i]), 5e-6f * std::fabs(out.TRACES[i]));
    }
    EXPECT_EQ(in.GEOLOC.back(), static_cast<float>(c.traces));
    EXPECT_EQ(in.ISEGYTRH.size(), static_cast<std::size_t>(c.traces));
  }
}

// ---------------------------------------------------------------------------
// The import

using AsciiInTest = AsciiFixture;

AsciiColumnLayout Layout(std::int32_t col1, std::int32_t step, std::int32_t traces,
                         std::int32_t samples, std::int32_t row1 = 0) {
  AsciiColumnLayout l;
  l.ICOL1 = col1;
  l.ICOLINC = step;
  l.NTRIN = traces;
  l.NSIN = samples;
  l.IROW1 = row1;
  l.TFIRST = 0.5f;
  l.TSTEP = 0.25f;
  return l;
}

TEST_F(AsciiInTest, RowsColumnsAndLayouts) {
  struct Case {
    const char* name;
    std::string text;
    AsciiColumnLayout layout;
    std::vector<std::vector<float>> traces;  // expected, trace by trace
  };
  std::string longRow;
  for (int i = 0; i < 3000; ++i) longRow += std::to_string(i) + (i % 3 ? "    " : ",\t");
  std::vector<float> longFirst(1, 0.0f), longLast(1, 2999.0f);
  const Case cases[] = {
      {"header dropped, empty field no column",
       "TIME,TRACE1,TRACE2\n0.0,1.5,,2.5\n",
       Layout(2, 1, 2, 10),
       {{1.5f}, {2.5f}}},
      {"every other column",
       "0 1 9 2 9 3\n0 1 9 2 9\n0 4 9 5 9 6\n",
       Layout(2, 2, 3, 10),
       {{1, 4}, {2, 5}, {3, 6}}},
      {"start row skips blank lines too", "\n\n7\n8\n", Layout(1, 1, 1, 10, 3), {{7, 8}}},
      {"unchecked start row skips nothing", "x\n1\n2\n", Layout(1, 1, 1, 10, -3), {{1, 2}}},
      {"samples cut the rows", "1\n2\n3\n4\n5\n6\n", Layout(1, 1, 1, 5), {{1, 2, 3, 4, 5}}},
      {"tabs, CR LF, quotes, last line without LF",
       "\"1\"\t2\r\n3\t\"4\"\r\n5 6",
       Layout(1, 1, 2, 9),
       {{1, 3, 5}, {2, 4, 6}}},
      {"text in a needed column drops the row", "1 a\n2 3\n4 5x\n", Layout(1, 1, 2, 9), {{2}, {3}}},
      {"long words read from their first 20 characters",
       "1234567890123456789012345\n-1.5D2\n",
       Layout(1, 1, 1, 9),
       {{1.23456789012345678e19f, -150.0f}}},
      {"a line of 3000 values", longRow + "\n", Layout(1, 2999, 2, 9), {longFirst, longLast}},
      {"controls and high characters separate",
       "1\x01"
       "2\xff"
       "3\n",
       Layout(1, 1, 3, 9),
       {{1}, {2}, {3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = dir / "in.csv";
    WriteFile(path, c.text);
    ShotRecord rec;
    int error = 5;
    ReadAsciiTable(rec, path.string(), c.layout, error);
    ASSERT_EQ(error, 0) << Message();
    ASSERT_EQ(rec.NTRACE, static_cast<std::int32_t>(c.traces.size()));
    for (std::size_t j = 0; j < c.traces.size(); ++j) {
      const auto got = Trace(rec, static_cast<std::int32_t>(j + 1));
      EXPECT_EQ(std::vector<float>(got.begin(), got.end()), c.traces[j]) << "trace " << j + 1;
    }
    EXPECT_EQ(rec.SAMPINT, 0.25f);
    EXPECT_EQ(rec.TDELAY, 0.25f);
    EXPECT_EQ(rec.CRECNAME.Trimmed(), "in");
  }
}

TEST_F(AsciiInTest, FailuresLeaveTheRecordAsItWas) {
  const std::string name = (dir / "bad.txt").string();
  AsciiColumnLayout nanStep = Layout(1, 1, 1, 5);
  nanStep.TSTEP = std::numeric_limits<float>::quiet_NaN();
  AsciiColumnLayout zeroStep = Layout(1, 1, 1, 5);
  zeroStep.TSTEP = 0.0f;
  AsciiColumnLayout hugeFirst = Layout(1, 1, 1, 5);
  hugeFirst.TFIRST = std::numeric_limits<float>::infinity();
  struct Case {
    const char* name;
    std::string text;
    AsciiColumnLayout layout;
    std::string message;
  };
  const Case cases[] = {
      {"empty file", "", Layout(1, 1, 1, 5), "NO DATA ROWS FOUND IN FILE: " + name},
      {"only a header", "TIME TRACE1\n", Layout(1, 1, 1, 5), "NO DATA ROWS FOUND IN FILE: " + name},
      {"rows too short", "1 2\n3 4\n", Layout(1, 1, 3, 5), "NO DATA ROWS FOUND IN FILE: " + name},
      {"binary", std::string("\0\x01\x02\xfe\n\0\0", 7), Layout(1, 1, 1, 5),
       "NO DATA ROWS FOUND IN FILE: " + name},
      {"start row past the end", "1\n2\n", Layout(1, 1, 1, 5, 3),
       "NO DATA ROWS FOUND IN FILE: " + name},
      {"no traces", "1\n", Layout(1, 1, 0, 5), "NUMBER OF TRACES MUST BE 1 OR MORE"},
      {"negative traces", "1\n", Layout(1, 1, -4, 5), "NUMBER OF TRACES MUST BE 1 OR MORE"},
      {"no samples", "1\n", Layout(1, 1, 1, 0), "SAMPLES PER TRACE MUST BE 1 OR MORE"},
      {"column 0", "1\n", Layout(0, 1, 1, 5), "COLUMN FOR TRACE 1 MUST BE 1 OR MORE"},
      {"increment 0", "1\n", Layout(1, 0, 1, 5), "COLUMN INCREMENT MUST BE 1 OR MORE"},
      {"columns beyond 32 bits", "1\n", Layout(2147483647, 2147483647, 3, 5),
       "TRACE COLUMNS BEYOND COLUMN 2147483647"},
      {"time step NaN", "1\n", nanStep, "TIME INCREMENT MUST BE ABOVE 0"},
      {"time step 0", "1\n", zeroStep, "TIME INCREMENT MUST BE ABOVE 0"},
      {"first time infinite", "1\n", hugeFirst, "FIRST TIME MUST BE A NUMBER"},
  };
  std::mt19937 rng(5);
  const ShotRecord before = RandomRecord(rng, 3, 8);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(name, c.text);
    ShotRecord rec = before;
    sup::ClearUserMessages();
    int error = 0;
    ReadAsciiTable(rec, name, c.layout, error);
    EXPECT_EQ(error, -1);
    EXPECT_EQ(Message(), c.message);
    EXPECT_EQ(rec.CRECNAME.Trimmed(), before.CRECNAME.Trimmed());
    EXPECT_EQ(rec.NTRACE, before.NTRACE);
    EXPECT_EQ(rec.NSAMP, before.NSAMP);
    EXPECT_EQ(rec.TRACES, before.TRACES);
  }

  ShotRecord rec = before;
  int error = 0;
  ReadAsciiTable(rec, (dir / "none.txt").string(), Layout(1, 1, 1, 5), error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(Message(), "CANNOT OPEN FILE: " + (dir / "none.txt").string());
  EXPECT_EQ(rec.TRACES, before.TRACES);

  // A read the user abandons says nothing more and changes nothing.
  WriteFile(name, "1\n2\n3\n4\n");
  abortAfter = 2;
  sup::ClearUserMessages();
  ReadAsciiTable(rec, name, Layout(1, 1, 1, 5), error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(sup::UserMessageCount(), 0);
  EXPECT_EQ(polls, 2);
  EXPECT_EQ(rec.TRACES, before.TRACES);
  EXPECT_EQ(rec.NSAMP, before.NSAMP);
}

TEST_F(AsciiInTest, ReadOnlyTableAndRecordFields) {
  const auto path = dir / "LINE1.SHOT5.dat";
  WriteFile(path, "1 -3\n2 0\n");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  ShotRecord rec;
  rec.LSEGYHDR = true;
  rec.SHOTY = 9.0f;
  rec.ISHOT = 42;
  int error = 0;
  ReadAsciiTable(rec, path.string(), Layout(1, 1, 2, 2), error);
  ASSERT_EQ(error, 0) << Message();
  EXPECT_EQ(rec.CRECNAME.Trimmed(), "LINE1");
  EXPECT_EQ(rec.SHOTY, 0.0f);
  EXPECT_EQ(rec.ISHOT, 42);
  EXPECT_FALSE(rec.LSEGYHDR);
  EXPECT_EQ(rec.GEOLOC, (std::vector<float>{1.0f, 2.0f}));
  EXPECT_EQ(rec.GEOELE, (std::vector<float>{0.0f, 0.0f}));
  EXPECT_EQ(rec.TRACEMAX, (std::vector<float>{2.0f, 3.0f}));
  EXPECT_EQ(rec.GMIN, -3.0f);
  EXPECT_EQ(rec.GMAX, 2.0f);
}

}  // namespace
