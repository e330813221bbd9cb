#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "instruments/DolangIn.h"
#include "shell/Import.h"
#include "tests/instruments/EggDolangFixtures.h"
#include "tests/instruments/ReaderTestBase.h"

namespace {

namespace fx = instrument_fixtures;
using vel::ShotRecord;

std::string Name25(std::string_view name) {
  std::string s(name);
  if (s.size() < 25) s.resize(25, ' ');
  return s;
}
std::string CannotOpen(std::string_view name) {
  return "CANNOT OPEN FILE " + Name25(name);
}
std::string CannotRead(std::string_view name, const char* line5) {
  return "CANNOT READ FILE " + Name25(name) + ";AT LINE " + line5;
}

class DolangTest : public ReaderTest {
 protected:
  static void WriteRecord(const std::string& name, const fx::DolangHeaderText& h, int ntrace,
                          int nsamp) {
    ASSERT_TRUE(fx::WriteDolangRecord(name, h, ntrace, nsamp));
  }
};

TEST(DolangNames, DataFileNames) {
  struct Case {
    const char* header;
    int j;
    const char* want;  // null: refused
  } cases[] = {
      {"LINE4.SDT", 1, "LINE4.S01"},
      {"LINE4.SDT", 2, "LINE4.S02"},
      {"AB.SDT", 7, "AB.S07"},
      {"X.ADT", 99, "X.A99"},
      {"X.CDT", 10, "X.C10"},
      {"X.RDT  ", 3, "X.R03"},
      {"X.DDT", 4, "X.D04"},
      {"DTLINE.SDT", 1, "01LINE.S01"},                  // every DT of the name
      {"A.SDT.SDT", 5, "A.S05.S05"},
      {"run.SDT/DTLINE.SDT", 2, "run.SDT/02LINE.S02"},  // the folder untouched
      {"dir\\B.CDT", 1, "dir\\B.C01"},
      // Only the first 25 characters of the name count.
      {"A_LONG_NAME_OF_MORE_THAN_25_CHARS.SDT", 3, "A_LONG_NAME_OF_MORE_THAN_"},
      {"ABCDEFGHIJKLMNOPQRSTUVWDT.SDT", 3, "ABCDEFGHIJKLMNOPQRSTUVW03"},
      // No DT: every data file is the header file.
      {"LINE4.DAT", 1, "LINE4.DAT"},
      {"run.SDT/LINE4", 1, "run.SDT/LINE4"},
      {"LINE4.sdt", 1, "LINE4.sdt"},
      {"LINE4.SDT", 0, nullptr},
      {"LINE4.SDT", 100, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.header << " " << c.j);
    std::string out;
    const bool ok = vel::DolangDataFileName(c.header, c.j, out);
    EXPECT_EQ(ok, c.want != nullptr);
    if (c.want != nullptr) {
      EXPECT_EQ(out, c.want);
    }
  }
}

TEST_F(DolangTest, Reads24Traces) {
  const fx::DolangHeaderText h;
  WriteRecord("LINE4.SDT", h, 24, 1000);
  ShotRecord rec = Loaded();
  rec.SHOTX = 3.0f;
  int ierr = 99;
  vel::DOLANGIN(rec, "LINE4.SDT", ierr);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(sup::UserMessageCount(), 0);
  ASSERT_EQ(rec.NTRACE, 24);
  ASSERT_EQ(rec.NSAMP, 1000);
  EXPECT_EQ(rec.ISHOT, 17);
  EXPECT_EQ(rec.SAMPINT, 0.5f);  // NINT(499.6) / 1000
  EXPECT_EQ(rec.TDELAY, 0.0f);
  EXPECT_EQ(rec.SPACING, Loaded().SPACING) << "SPACING is left as it was";
  float x = 0.0f;
  for (std::size_t j = 0; j < 24; ++j) {
    x += 2.5f;
    EXPECT_EQ(rec.GEOLOC[j], x);
    EXPECT_EQ(rec.GOFF[j], x - 3.0f);
    EXPECT_EQ(rec.SHOTLOCX[j], 3.0f);
    EXPECT_EQ(rec.ISRCSTN[j], 17);
    EXPECT_EQ(rec.IRCVSTN[j], 17);
  }
  EXPECT_EQ(rec.GEOLOC[23], 60.0f);
  float gmin = 1e30f;
  float gmax = -1e30f;
  for (int j = 1; j <= 24; ++j) {
    const auto t = vel::Trace(rec, j);
    float peak = 0.0f;
    for (int i = 0; i < 1000; ++i) {
      const float want = static_cast<float>(fx::DolangSample(j, i));
      ASSERT_EQ(t[static_cast<std::size_t>(i)], want) << j << " " << i;
      peak = std::max(peak, std::fabs(want));
      gmin = std::min(gmin, want);
      gmax = std::max(gmax, want);
    }
    EXPECT_EQ(rec.TRACEMAX[static_cast<std::size_t>(j - 1)], peak);
  }
  EXPECT_EQ(rec.GMIN, gmin);
  EXPECT_EQ(rec.GMAX, gmax);
  EXPECT_EQ(rec.NAUX, 0);
  EXPECT_EQ(rec.IFXGAIN[0], 1);
}

TEST_F(DolangTest, NoPositiveSpacingKeepsPositionsAtZero) {
  for (const char* s : {"               0.0", "-2.5", ""}) {
    SCOPED_TRACE(s);
    fx::DolangHeaderText h(2, 3);
    h.lines[11] = s;
    WriteRecord("Z.RDT", h, 2, 3);
    ShotRecord rec;
    rec.SPACING = 7.0f;  // as IMPORT carries it over
    int ierr = 0;
    vel::DOLANGIN(rec, "Z.RDT", ierr);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    EXPECT_EQ(rec.GEOLOC, (std::vector<float>{0.0f, 0.0f}));
    EXPECT_EQ(rec.GOFF, (std::vector<float>{0.0f, 0.0f}));
    EXPECT_EQ(rec.SPACING, 7.0f);
  }
}

TEST_F(DolangTest, ShortDataFileFailsAtItsFirstMissingLine) {
  fx::DolangHeaderText h(2, 1000);
  WriteRecord("LINE4.SDT", h, 2, 1000);
  Write("LINE4.S02", fx::DolangData(2, 998));
  ShotRecord rec;
  int ierr = 0;
  vel::DOLANGIN(rec, "LINE4.SDT", ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, CannotRead("LINE4.S02", "  999"));
  EXPECT_EQ(sup::UserMessageCount(), 1);
}

TEST_F(DolangTest, MissingDataFileOfTrace7) {
  fx::DolangHeaderText h(8, 5);
  WriteRecord("AB.SDT", h, 8, 5);
  std::filesystem::remove("AB.S07");
  ShotRecord rec;
  int ierr = 0;
  vel::DOLANGIN(rec, "AB.SDT", ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "CANNOT OPEN FILE AB.S07                   ");
}

TEST_F(DolangTest, DialogButtonAbortsWithoutMessage) {
  fx::DolangHeaderText h(4, 5);
  WriteRecord("AB.SDT", h, 4, 5);
  int polls = 0;
  sup::SetAbortPollHook([&] { return ++polls == 2; });
  ShotRecord held = Loaded();
  std::int32_t recno = 0;
  int ierr = 0;
  vel::IMPORT(held, "AB.SDT", recno, ierr, false, false);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(polls, 2);
  EXPECT_EQ(sup::UserMessageCount(), 0);
  EXPECT_EQ(held.CRECNAME, vel::RecordName("HELD"));
  EXPECT_EQ(held.TRACES, Loaded().TRACES);

  // A button latched before the read is cleared when it starts.
  sup::SetAbortPollHook([] { return true; });
  ASSERT_TRUE(sup::LKILL(0));
  sup::SetAbortPollHook([] { return false; });
  ShotRecord rec;
  vel::DOLANGIN(rec, "AB.SDT", ierr);
  EXPECT_EQ(ierr, 0);
}

TEST_F(DolangTest, ImportReadsTheHeaderFile) {
  fx::DolangHeaderText h(3, 40);
  WriteRecord("SHOT2.SDT", h, 3, 40);
  ShotRecord rec = Loaded();
  std::int32_t recno = 0;
  int ierr = 0;
  vel::IMPORT(rec, "SHOT2.SDT", recno, ierr, false, false);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.IFORMAT, 12);
  EXPECT_EQ(rec.CRECNAME, vel::RecordName("SHOT2"));
  EXPECT_EQ(rec.NTRACE, 3);
  EXPECT_EQ(rec.SHOTX, 0.0f);
  EXPECT_EQ(rec.SAMPINT, 500.0f / 40.0f);
  EXPECT_EQ(vel::Trace(rec, 3)[39], static_cast<float>(fx::DolangSample(3, 39)));
}

TEST_F(DolangTest, FolderInTheName) {
  std::filesystem::create_directory("run.SDT");
  fx::DolangHeaderText h(2, 3);
  WriteRecord("run.SDT/DTLINE.SDT", h, 2, 3);
  ShotRecord rec;
  int ierr = 0;
  vel::DOLANGIN(rec, "run.SDT/DTLINE.SDT", ierr);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(vel::Trace(rec, 2)[2], static_cast<float>(fx::DolangSample(2, 2)));
}

TEST_F(DolangTest, HostileRecordsLeaveTheRecordAlone) {
  struct Case {
    const char* name;
    std::function<void(fx::DolangHeaderText&)> edit;
    std::size_t keep;  // header lines written
    int dataLines;     // lines of each data file (-1: no data files)
    std::string message;
  } cases[] = {
      {"header ends at line 1", {}, 0, 5, CannotRead("AB.SDT", "    1")},
      {"header ends at line 7", {}, 6, 5, CannotRead("AB.SDT", "    7")},
      {"header ends at line 12", {}, 11, 5, CannotRead("AB.SDT", "   12")},
      {"count not a number", [](auto& h) { h.lines[4] = "     2x"; }, 12, 5,
       CannotRead("AB.SDT", "    5")},
      {"no traces", [](auto& h) { h.lines[4] = "0"; }, 12, 5, CannotRead("AB.SDT", "    5")},
      {"100 traces", [](auto& h) { h.lines[4] = "100"; }, 12, 5, CannotRead("AB.SDT", "    5")},
      {"negative traces", [](auto& h) { h.lines[4] = "-3"; }, 12, 5, CannotRead("AB.SDT", "    5")},
      {"shot not a number", [](auto& h) { h.lines[5] = "A"; }, 12, 5,
       CannotRead("AB.SDT", "    6")},
      {"record length beyond 32 bits", [](auto& h) { h.lines[7] = "3E9"; }, 12, 5,
       CannotRead("AB.SDT", "    8")},
      {"record length beyond a real", [](auto& h) { h.lines[7] = "1E300"; }, 12, 5,
       CannotRead("AB.SDT", "    8")},
      {"no samples", [](auto& h) { h.lines[8] = "0"; }, 12, 5, CannotRead("AB.SDT", "    9")},
      {"negative samples", [](auto& h) { h.lines[8] = "-5"; }, 12, 5,
       CannotRead("AB.SDT", "    9")},
      {"samples beyond the first data file", [](auto& h) { h.lines[8] = "2147483647"; }, 12, 5,
       CannotRead("AB.S01", "    6")},
      {"first data file missing", {}, 12, -1, CannotOpen("AB.S01")},
      {"spacing not a number", [](auto& h) { h.lines[11] = "2,5"; }, 12, 5,
       CannotRead("AB.SDT", "   12")},
      {"data line not a number", {}, 12, -2, CannotRead("AB.S02", "    3")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& entry : std::filesystem::directory_iterator("."))
      std::filesystem::remove(entry.path());
    fx::DolangHeaderText h(3, 5);
    if (c.edit) c.edit(h);
    Write("AB.SDT", h.Text(c.keep));
    if (c.dataLines != -1) {
      for (int j = 1; j <= 3; ++j) {
        std::string data = fx::DolangData(j, 5);
        if (c.dataLines == -2 && j == 2)
          data.replace(data.find('\n', data.find('\n') + 1) + 1, 1, "x");
        Write("AB.S0" + std::to_string(j), data);
      }
    }
    ShotRecord rec = Loaded();
    std::int32_t recno = 0;
    int ierr = 0;
    sup::ClearUserMessages();
    vel::IMPORT(rec, "AB.SDT", recno, ierr, false, false);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message);
    EXPECT_EQ(sup::UserMessageCount(), 1);
    EXPECT_EQ(rec.TRACES, Loaded().TRACES);
    EXPECT_EQ(rec.CRECNAME, vel::RecordName("HELD"));
    EXPECT_EQ(rec.NTRACE, 2);
  }
}

TEST_F(DolangTest, MissingHeaderAndNameWithoutMark) {
  ShotRecord rec;
  int ierr = 0;
  vel::DOLANGIN(rec, "NONE.SDT", ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, CannotOpen("NONE.SDT"));

  // A name without "DT" makes every data file the header file itself: its
  // first line is text, not a sample.
  fx::DolangHeaderText h(1, 2);
  Write("PLAIN.TXT", h.Text());
  vel::DOLANGIN(rec, "PLAIN.TXT", ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, CannotRead("PLAIN.TXT", "    1"));

  // Only the first 25 characters of the name are used.
  const std::string longName = "A_LONG_NAME_OF_MORE_THAN_25_CHARS.SDT";
  vel::DOLANGIN(rec, longName, ierr);
  EXPECT_EQ(sup::LastUserMessage().text, "CANNOT OPEN FILE " + longName.substr(0, 25));
}

TEST(DolangDecoders, HeaderAndTraceOnText) {
  const fx::DolangHeaderText h(24, 1000);
  vel::DolangHeader out;
  std::int32_t line = 0;
  int asked = 0;
  auto size = [&]() -> std::int64_t {
    ++asked;
    return 1000;
  };
  ASSERT_EQ(vel::DecodeDolangHeader(h.Text(), size, out, line), vel::DolangHeaderStatus::Ok);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(out.recordLength, 500);
  EXPECT_EQ(out.spacing, 2.5f);
  // LF-only lines and a last line without its end.
  std::string lf = h.Text();
  std::erase(lf, '\r');
  lf.pop_back();
  EXPECT_EQ(vel::DecodeDolangHeader(lf, size, out, line), vel::DolangHeaderStatus::Ok);
  EXPECT_EQ(vel::DecodeDolangHeader(
                h.Text(), [] { return std::int64_t{999}; }, out, line),
            vel::DolangHeaderStatus::ShortDataFile);
  EXPECT_EQ(line, 9);
  EXPECT_EQ(vel::DecodeDolangHeader(
                h.Text(), [] { return std::int64_t{-1}; }, out, line),
            vel::DolangHeaderStatus::NoDataFile);

  std::vector<float> trace(4);
  EXPECT_TRUE(
      vel::DecodeDolangTrace("1\r\n  -2.5\n3E2\n                   4trailing", trace, line));
  EXPECT_EQ(trace, (std::vector<float>{1.0f, -2.5f, 300.0f, 4.0f}));
  EXPECT_FALSE(vel::DecodeDolangTrace("1\n2\n", trace, line));
  EXPECT_EQ(line, 3);
  EXPECT_FALSE(vel::DecodeDolangTrace("1\n2\n1E39\n4\n", trace, line));
  EXPECT_EQ(line, 3);
}

}  // namespace
