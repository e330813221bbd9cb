// RX2, ANT and DCF readers: channel lists, intervals, record lengths, the
// progress and abort rules, and a table of damaged files through IMPORT.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <string>
#include <vector>

#include "instruments/Rx2AntDcf.h"
#include "shell/Import.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/instruments/FieldFileFixtures.h"
#include "tests/instruments/ReaderTestBase.h"
#include "tests/instruments/SeededDamage.h"

namespace {

namespace fx = instrument_fixtures;
using vel::ShotRecord;

class FieldFileTest : public ReaderTest {
 protected:
  // IMPORT of NAME holding BYTES into a record loaded before.
  ShotRecord Import(const std::string& name, const std::string& bytes, int& ierr) {
    Write(name, bytes);
    ShotRecord rec = Loaded();
    std::int32_t recno = 1;
    ierr = 0;
    sup::ClearUserMessages();
    vel::IMPORT(rec, name, recno, ierr, false, false);
    return rec;
  }
  // Progress and poll calls, in order: "O" open, "P<n>" bar, "A" poll, "C" close.
  std::vector<std::string> Record() {
    events_.clear();
    sup::SetProgressHook({.open = [this](std::string_view) { events_.push_back("O"); },
                          .set = [this](int p) { events_.push_back("P" + std::to_string(p)); },
                          .close = [this] { events_.push_back("C"); }});
    sup::SetAbortPollHook([this] {
      events_.push_back("A");
      return false;
    });
    return {};
  }
  void TearDown() override {
    sup::SetProgressHook({});
    ReaderTest::TearDown();
  }
  std::vector<std::string> events_;
};

TEST(Rx2ChannelList, CountsTheItemsOfTheLastListThatStartsALine) {
  struct Case {
    const char* what;
    std::string header;
    int channels;
  };
  const std::string nul("\0", 1);
  const Case cases[] = {
      {"no list", "EMGS_RXII\nSN: 1\n", 6},
      {"six items, LF alone", "EMGS_RXII\nCI:a b c d e f\n", 6},
      {"three items", "EMGS_RXII\r\nCI: 1 2 3\r\n", 3},
      {"eight items", "EMGS_RXII\nCI:1 2 3 4 5 6 7 8\n", 8},
      {"the later list counts", "CI:a b\nEMGS_RXII\nCI:a b c d\n", 4},
      {"indented: no list", "EMGS_RXII\n  CI:a b\n", 6},
      {"text before it: no list", "EMGS_RXII\nx CI:a b\n", 6},
      {"nothing after the colon", "EMGS_RXII\nCI:\n", 0},
      {"lines ended by NUL", "EMGS_RXII" + nul + "CI:a  b" + nul + "x", 2},
      {"a CR stays in the last item", "CI:a b\r\n", 2},
  };
  for (const Case& c : cases) EXPECT_EQ(vel::Rx2ChannelCount(c.header), c.channels) << c.what;
}

TEST_F(FieldFileTest, Rx2ReadsEveryWholeFrameOfItsChannels) {
  for (int channels : {3, 6, 8}) {
    SCOPED_TRACE(channels);
    fx::Rx2File f;
    f.channels = channels;
    if (channels != 6) {
      std::string list = "CI:";
      for (int c = 1; c <= channels; ++c) list += " ch" + std::to_string(c);
      f.lines.push_back(list);
    }
    f.extra = 4 * channels - 1;  // a partial frame at the end
    int ierr = 0;
    const ShotRecord rec = Import("line.2.many.dots.rx2", f.Bytes(), ierr);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    EXPECT_EQ(rec.IFORMAT, vel::kFormatRx2);
    EXPECT_EQ(rec.NTRACE, channels);
    EXPECT_EQ(rec.NSAMP, f.frames);
    EXPECT_FLOAT_EQ(rec.SAMPINT, 0.02f);
    EXPECT_EQ(rec.CRECNAME.Trimmed(), "line");
    for (int c = 1; c <= channels; ++c)
      for (int i : {0, 99, 100, 999})
        ASSERT_EQ(std::bit_cast<std::uint32_t>(vel::Trace(rec, c)[static_cast<std::size_t>(i)]),
                  std::bit_cast<std::uint32_t>(fx::FieldSample(c, i)));
    // The extremes of the new record alone (the record held before had 0.5 .. 5.5).
    EXPECT_FLOAT_EQ(rec.GMAX, 1000.0f * channels);
    EXPECT_FLOAT_EQ(rec.GMIN, -39.0f);
    EXPECT_FLOAT_EQ(rec.TRACEMAX[0], 1000.0f);
    EXPECT_EQ(rec.IFDBLEN[0], 0);
    EXPECT_FLOAT_EQ(rec.SPACING, -4.0f);  // carried over from the record held
    EXPECT_EQ(rec.ISHOT, 0);
  }
}

TEST_F(FieldFileTest, NamesAreCutTo32CharactersBeforeTheDot) {
  fx::Rx2File f;
  const std::string name = std::string(30, 'n') + "ab.cd.rx2";
  int ierr = 0;
  Write(name, f.Bytes());
  ShotRecord rec;
  vel::RX2IN(rec, "sub\\" + name, ierr);  // a backslash is a folder separator too
  EXPECT_EQ(ierr, -1);                    // no such file under that name
  ierr = 0;
  vel::RX2IN(rec, name, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(rec.CRECNAME.Trimmed(), std::string(30, 'n') + "ab");
}

TEST_F(FieldFileTest, AntIntervalsAndCounts) {
  struct Case {
    const char* interval;
    float sampint;
  };
  for (const Case& c : {Case{"0.0002", 0.2f}, Case{"000200", 200.0f}, Case{"      ", 0.0f},
                        Case{" 0.001", 1.0f}}) {
    SCOPED_TRACE(c.interval);
    fx::AntFile f{.interval = c.interval, .traces = 5, .extra = 2006};
    int ierr = 0;
    const ShotRecord rec = Import("shot.ant", f.Bytes(), ierr);
    ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
    EXPECT_EQ(rec.IFORMAT, vel::kFormatAnt);
    EXPECT_FLOAT_EQ(rec.SAMPINT, c.sampint);
    EXPECT_EQ(rec.NTRACE, 5);  // the partial record is not counted
    EXPECT_EQ(rec.NSAMP, 1000);
    EXPECT_EQ(vel::Trace(rec, 5)[120], 5000.0f);
    EXPECT_EQ(vel::Trace(rec, 2)[999], fx::FieldSample(2, 999));
  }
}

TEST_F(FieldFileTest, DcfRecordLengthGivesTheCounts) {
  fx::DcfFile f{.length = 8112, .traces = 96, .interval = 0.1, .extra = 8111};
  f.sample = [](int j, int i) { return 0.1 * (i + 1) + j; };
  int ierr = 0;
  const ShotRecord rec = Import("shot.dcf", f.Bytes(), ierr);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(rec.IFORMAT, vel::kFormatDcf);
  EXPECT_EQ(rec.NTRACE, 96);
  EXPECT_EQ(rec.NSAMP, 1000);
  EXPECT_EQ(rec.SAMPINT, static_cast<float>(0.1));
  for (int j : {1, 96})
    for (int i : {0, 500, 999})
      EXPECT_EQ(vel::Trace(rec, j)[static_cast<std::size_t>(i)],
                static_cast<float>(0.1 * (i + 1) + j));
  EXPECT_FLOAT_EQ(rec.GMAX, static_cast<float>(100.0 + 96));
}

TEST_F(FieldFileTest, ProgressAboveTheThresholdMovesBeforeOddUnitsOnly) {
  // 100 ANT traces: no dialog, but a poll before every trace.
  Record();
  int ierr = 0;
  (void)Import("hundred.ant", fx::AntFile{.traces = 100}.Bytes(), ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "A"), 100);
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "O"), 0);

  Record();
  (void)Import("many.ant", fx::AntFile{.traces = 101}.Bytes(), ierr);
  ASSERT_EQ(ierr, 0);
  ASSERT_GE(events_.size(), 6u);
  EXPECT_EQ(events_[0], "O");
  EXPECT_EQ(events_[1], "P1");  // before trace 1
  EXPECT_EQ(events_[2], "A");
  EXPECT_EQ(events_[3], "A");   // trace 2: a poll, no bar
  EXPECT_EQ(events_[4], "P3");  // round(300 / 101)
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "A"), 101);
  EXPECT_EQ(std::count_if(events_.begin(), events_.end(),
                          [](const std::string& e) { return e[0] == 'P'; }),
            51);
  EXPECT_EQ(events_.back(), "C");

  // RX2 and DCF show it by their sample count, not their units.
  Record();
  (void)Import("long.dcf", fx::DcfFile{.length = 112 + 8 * 100001, .traces = 2}.Bytes(), ierr);
  ASSERT_EQ(ierr, 0) << sup::LastUserMessage().text;
  EXPECT_EQ(events_, (std::vector<std::string>{"O", "P50", "A", "A", "C"}));
}

TEST_F(FieldFileTest, ACancelStopsTheRead) {
  int polls = 0;
  sup::SetAbortPollHook([&] { return ++polls == 4; });
  int ierr = 0;
  const ShotRecord rec = Import("stop.ant", fx::AntFile{.traces = 10}.Bytes(), ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(sup::LastUserMessage().text, "INPUT TERMINATED BY USER");
  EXPECT_EQ(rec.CRECNAME.Trimmed(), "HELD");
}

TEST_F(FieldFileTest, DamagedFilesLeaveTheRecordHeld) {
  const auto rx2 = [](std::vector<std::string> lines, int frames, int extra = 0) {
    fx::Rx2File f;
    if (!lines.empty()) f.lines = std::move(lines);
    f.frames = frames;
    f.extra = extra;
    return f.Bytes();
  };
  const auto dcfLength = [](std::int32_t length) {
    std::string s = fx::DcfFile{.traces = 1}.Bytes();
    std::string l;
    fx::PutLE(l, static_cast<std::uint32_t>(length), 4);
    s.replace(12, 4, l);
    return s;
  };
  struct Case {
    const char* what;
    const char* name;
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"RX2 header short", "a.rx2", rx2({}, 1).substr(0, 4095), "Error reading 4096 byte header"},
      {"RX2 CI: alone", "b.rx2", rx2({"EMGS_RXII", "CI:"}, 10), "Error reading 4096 byte header"},
      {"RX2 no whole frame", "c.rx2", rx2({}, 0, 23), "Error reading data"},
      {"ANT header short", "a.ant", "HV: only this", "Error reading 100 byte header"},
      {"ANT interval", "b.ant", fx::AntFile{.interval = "0.0x02"}.Bytes(),
       "Error reading sample interval"},
      {"ANT no whole record", "c.ant", fx::AntFile{.traces = 0, .extra = 2006}.Bytes(),
       "Error reading current header"},
      {"DCF header short", "a.dcf", "GTMH", "Error reading 8 byte header"},
      {"DCF trace header short", "b.dcf", fx::DcfFile{}.Bytes().substr(0, 119),
       "Error reading 112 byte header"},
      {"DCF L below 120", "c.dcf", dcfLength(112), "Error reading 112 byte header"},
      {"DCF L not 112 + 8n", "d.dcf", dcfLength(125), "Error reading 112 byte header"},
      {"DCF L beyond the file", "e.dcf", dcfLength(112 + 8 * 501),
       "Error reading 112 byte header"},
      {"DCF L negative", "f.dcf", dcfLength(-8), "Error reading 112 byte header"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sup::ClearUserMessages();
    int ierr = 0;
    const ShotRecord rec = Import(c.name, c.bytes, ierr);
    EXPECT_EQ(ierr, -1);
    EXPECT_EQ(sup::LastUserMessage().text, c.message);
    EXPECT_EQ(rec.CRECNAME.Trimmed(), "HELD");
    EXPECT_EQ(rec.NTRACE, 2);
    EXPECT_EQ(vel::Trace(rec, 2)[2], 5.5f);
  }
  ShotRecord rec;
  int ierr = 0;
  vel::RX2IN(rec, "missing.rx2", ierr);
  EXPECT_EQ(sup::LastUserMessage().text, "ERROR OPENING RX2 INPUT FILE");
  vel::ANTIN(rec, "missing.ant", ierr);
  EXPECT_EQ(sup::LastUserMessage().text, "ERROR OPENING RX2 INPUT FILE");
  vel::DCFIN(rec, "missing.dcf", ierr);
  EXPECT_EQ(sup::LastUserMessage().text, "ERROR OPENING DCF INPUT FILE");
  EXPECT_EQ(ierr, -1);
}

TEST(FieldFileDamage, DecodersSurviveDamagedCopies) {
  fx::Rx2File rx2;
  rx2.lines.push_back("CI:a b c");
  rx2.frames = 20;
  instrument_fixtures::RunSeededDamage(
      {rx2.Bytes(), fx::AntFile{.traces = 3}.Bytes(), fx::DcfFile{.traces = 3}.Bytes()}, 4200,
      600, 17);
}

}  // namespace
