// Batch conversion and Combine run through the real program on a scripted
// screen: output names, overwrite answers, Cancel, byte order, the records
// read back by the program's readers and by segyio, station numbering,
// mismatching records and writer failures.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "formats/Seg2In.h"
#include "formats/Seg2Out.h"
#include "formats/SegyOut.h"
#include "shell/MultiFileCommands.h"
#include "tests/TestSupport.h"
#include "tests/formats/SegyTestSupport.h"
#include "tests/shell/MultiFileTestSupport.h"
#include "tests/shell/ProgramTestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace multi_file_test;
using vel::ShotRecord;

TEST(ConversionNames, StemRecordNumberAndExtension) {
  struct Case {
    const char* name;
    std::int32_t r, n;
    int mode;
    const char* want;
  };
  for (const Case& c : std::vector<Case>{{"east.sgy", 1, 1, 2, "east.SG2"},
                                         {"east.sgy", 2, 3, 2, "east2.SG2"},
                                         {"east.sgy", 9, 9, 1, "east9.SGY"},
                                         {"east.sgy", 7, 10, 1, "east07.SGY"},
                                         {"east.sgy", 99, 99, 1, "east99.SGY"},
                                         {"east.sgy", 1, 100, 1, "east0001.SGY"},
                                         {"east.sgy", 150, 150, 1, "east0150.SGY"},
                                         {"east.sgy", 12, 10000, 2, "east00012.SG2"},
                                         {"shot.12.dat", 1, 1, 2, "shot.SG2"},
                                         {"noext", 3, 4, 1, "noext3.SGY"},
                                         {"low.sg2", 1, 1, 1, "low.SGY"}}) {
    EXPECT_EQ(vel::ConversionOutputName(c.name, c.r, c.n, c.mode), c.want) << c.name;
  }
}

TEST(CombineDetail, NumbersRightJustifiedInTheirFields) {
  EXPECT_EQ(vel::CombineMismatchDetail(1024, 2048, 24, 24, 0.25f, 0.25f),
            "Samples:    1024,   2048 Traces:    24,   24 Dt:     0.2500,    0.2500");
}

TEST_F(MultiFileTest, ThreeRecordsToSeg2ByteOrderAsChosenAndOneRecordFileWithoutNumber) {
  const std::vector<ShotRecord> recs = {Fixture(4, 50, 0.5f, 1), Fixture(4, 50, 0.5f, 2),
                                        Fixture(4, 50, 0.5f, 3)};
  WriteSegy(dir_ / "east.sgy", recs);
  WriteSegy(dir_ / "shot.12.sgy", {Fixture(3, 20, 1.0f, 9)});
  fs::create_directory(dir_ / "out.d");
  Choose(Quoted({dir_ / "east.sgy", dir_ / "shot.12.sgy"}));
  ChooseFolder(dir_ / "out.d");
  harness_.Answer("dialog 128", "1169=1\n1175=1\npress 1");  // floats, big-endian
  Run({[] { Post(vel::kCommandConvertSeg2); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  for (int r = 1; r <= 3; ++r) {
    const fs::path out = dir_ / "out.d" / ("east" + std::to_string(r) + ".SG2");
    ASSERT_TRUE(fs::exists(out)) << out;
    const std::string bytes = testing_support::ReadFile(out);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x3A);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0x55);
    ShotRecord back;
    int ierr = 1;
    vel::SEG2IN(back, out.string(), ierr, true);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(back.TRACES, recs[static_cast<std::size_t>(r - 1)].TRACES);
  }
  EXPECT_TRUE(fs::exists(dir_ / "out.d" / "shot.SG2"));
  EXPECT_FALSE(fs::exists(dir_ / "out.d" / "east4.SG2"));
}

TEST_F(MultiFileTest, HundredFiftyRecordsToSegyFourDigitsAndNamesCutAt24) {
  std::vector<ShotRecord> recs;
  for (int i = 0; i < 150; ++i) recs.push_back(Fixture(2, 10, 0.25f, i));
  WriteSegy(dir_ / "east.sgy", recs);
  WriteSeg2(dir_ / "averyveryverylongname_xyz.sg2", Fixture(2, 10, 0.25f, 7));
  WriteSeg2(dir_ / "averyveryverylongname_yyz.sg2", Fixture(2, 10, 0.25f, 8));
  Choose(Quoted({dir_ / "east.sgy", dir_ / "averyveryverylongname_xyz.sg2"}));
  ChooseFolder(dir_ / "out");  // a folder that does not exist yet is made
  harness_.Answer("messagebox", "Yes");
  harness_.Answer("dialog 124", "1242=1\n1174=1\n1178=1\npress 1");  // IEEE, little, ASCII
  Run({[] { Post(vel::kCommandConvertSegy); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  for (int r : {1, 75, 150}) {
    char name[32];
    std::snprintf(name, sizeof name, "east%04d.SGY", r);
    ASSERT_TRUE(fs::exists(dir_ / "out" / name)) << name;
    EXPECT_EQ(ReadSegyRecord(dir_ / "out" / name, 1).TRACES,
              recs[static_cast<std::size_t>(r - 1)].TRACES);
  }
  EXPECT_FALSE(fs::exists(dir_ / "out" / "east0151.SGY"));
  // The record name goes into the text header of a record without SEG-Y
  // headers of its own (in capitals): at most 24 characters of it.
  const std::string text = testing_support::ReadFile(dir_ / "out" / "averyveryverylongname_xyz.SGY").substr(0, 3200);
  EXPECT_NE(text.find("AVERYVERYVERYLONGNAME_XY "), std::string::npos) << text.substr(0, 240);
  EXPECT_EQ(text.find("AVERYVERYVERYLONGNAME_XYZ"), std::string::npos);
}

// Two inputs mapping to one output name: a.sg2 first, then a.sgy and b.sgy.
struct OverwriteCase {
  const char* answer;
  int seedOfA;       // which input's samples out/a.SG2 holds at the end
  bool secondAsked;  // b.SG2 already exists: asked again?
  bool bWritten;
};

class OverwriteTest : public MultiFileTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, EachAnswerDoesWhatItSays) {
  const OverwriteCase c = GetParam();
  WriteSeg2(dir_ / "a.sg2", Fixture(2, 10, 0.5f, 1));
  WriteSegy(dir_ / "a.sgy", {Fixture(2, 10, 0.5f, 2)});
  WriteSegy(dir_ / "b.sgy", {Fixture(2, 10, 0.5f, 3)});
  fs::create_directory(dir_ / "out");
  WriteSeg2(dir_ / "out" / "b.SG2", Fixture(2, 10, 0.5f, 4));
  Choose(Quoted({dir_ / "a.sg2", dir_ / "a.sgy", dir_ / "b.sgy"}));
  ChooseFolder(dir_ / "out");
  harness_.Answer("dialog 128", "1169=1\npress 1");
  harness_.Answer("dialog 122", std::string("press ") + c.answer);
  if (c.secondAsked) harness_.Answer("dialog 122", "press 6");
  Run({[] { Post(vel::kCommandConvertSeg2); }});
  const auto seedOf = [](const fs::path& p) {
    ShotRecord back;
    int ierr = 1;
    vel::SEG2IN(back, p.string(), ierr, true);
    return ierr == 0 ? static_cast<int>(back.TRACES[0]) / 1000 : -1;
  };
  EXPECT_EQ(seedOf(dir_ / "out" / "a.SG2"), c.seedOfA) << c.answer;
  EXPECT_EQ(seedOf(dir_ / "out" / "b.SG2"), c.bWritten ? 3 : 4) << c.answer;
}

INSTANTIATE_TEST_SUITE_P(Answers, OverwriteTest,
                         ::testing::Values(OverwriteCase{"6", 2, true, true},
                                           OverwriteCase{"7", 1, true, true},
                                           OverwriteCase{"2", 1, true, true},
                                           OverwriteCase{"1163", 2, false, true}));

TEST_F(MultiFileTest, CancelSkipsTheRestOfTheFileAndTheNextReaderEndsTheRun) {
  WriteSegy(dir_ / "east.sgy", {Fixture(2, 10, 0.5f, 1), Fixture(2, 10, 0.5f, 2),
                                Fixture(2, 10, 0.5f, 3)});
  WriteSeg2(dir_ / "west.sg2", Fixture(2, 10, 0.5f, 4));
  fs::create_directory(dir_ / "out");
  // Cancel is pressed in dialog 102 while the second record is written.
  const fs::path second = dir_ / "out" / "east2.SG2";
  sup::SetAbortPollHook([second] { return fs::exists(second); });
  Choose(Quoted({dir_ / "east.sgy", dir_ / "west.sg2"}));
  ChooseFolder(dir_ / "out");
  harness_.Answer("dialog 128", "1169=1\npress 1");
  Run({[] { Post(vel::kCommandConvertSeg2); }});
  EXPECT_TRUE(fs::exists(dir_ / "out" / "east1.SG2"));
  EXPECT_FALSE(fs::exists(dir_ / "out" / "east3.SG2"));
  EXPECT_FALSE(fs::exists(dir_ / "out" / "west.SG2"));
  EXPECT_FALSE(messages_.empty());
}

TEST_F(MultiFileTest, CancelledDialogsConvertNothing) {
  WriteSegy(dir_ / "east.sgy", {Fixture(2, 10, 0.5f, 1)});
  Choose(Quoted({dir_ / "east.sgy"}));
  harness_.Answer("folderdialog", "Cancel");
  Choose(Quoted({dir_ / "east.sgy"}));
  ChooseFolder(dir_.path());
  harness_.Answer("dialog 128", "press 2");
  Run({[] { Post(vel::kCommandConvertSeg2); }, [] { Post(vel::kCommandConvertSeg2); }});
  EXPECT_FALSE(fs::exists(dir_ / "east.SG2"));
  EXPECT_TRUE(messages_.empty());
}

// Every SEG-2 and SEG-Y record of the shared data that the readers accept and
// the SEG-Y writer's limits allow: to SEG-Y IEEE floats and back unchanged.
TEST_F(MultiFileTest, SharedDataConvertsToSegyAndBack) {
  const fs::path data = testing_support::SharedData();
  if (data.empty()) GTEST_SKIP() << "shared data absent";
  std::map<fs::path, std::vector<fs::path>> byFolder;
  // A file the reader warns about (a text header in neither character set,
  // say) is not a standard file to compare with.
  bool warned = false;
  sup::SetUserMessageHook(
      [&warned](sup::UserMessageKind, std::string_view, std::string_view) { warned = true; });
  for (const auto& e : fs::recursive_directory_iterator(data)) {
    if (!e.is_regular_file()) continue;
    std::string ext = e.path().extension().string();
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext != ".sg2" && ext != ".seg2" && ext != ".sgy" && ext != ".segy" && ext != ".dat")
      continue;
    ShotRecord rec;
    std::int32_t n = 0;
    int ierr = 0;
    warned = false;
    vel::INRECORDS(rec, e.path().string(), ierr, n);
    if (ierr != 0 || n != 1) continue;
    std::int32_t r = 1;
    vel::IMPORT(rec, e.path().string(), r, ierr, false, true);
    if (warned || ierr != 0 || rec.NTRACE <= 0 || rec.NSAMP > 32767 || !(rec.SAMPINT >= 0.001f) ||
        rec.SAMPINT > 32.767f || rec.NAUX != 0)
      continue;
    byFolder[e.path().parent_path()].push_back(e.path());
  }
  sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view text) {
    messages_.emplace_back(text);
  });
  std::vector<std::function<void()>> steps;
  std::vector<std::pair<fs::path, fs::path>> pairs;
  int k = 0;
  for (const auto& [folder, files] : byFolder) {
    // Inputs of one folder whose names share a stem would overwrite each other.
    std::set<std::string> stems;
    std::vector<fs::path> chosen;
    const fs::path out = dir_ / ("out" + std::to_string(k++));
    fs::create_directory(out);
    for (const fs::path& f : files) {
      const std::string name = vel::ConversionOutputName(f.filename().string(), 1, 1, 1);
      if (!stems.insert(name).second) continue;
      chosen.push_back(f);
      pairs.emplace_back(f, out / name);
    }
    Choose(Quoted(chosen));
    ChooseFolder(out);
    harness_.Answer("dialog 124", "1242=1\n1174=1\npress 1");
    steps.push_back([] { Post(vel::kCommandConvertSegy); });
  }
  ASSERT_FALSE(pairs.empty());
  Run(steps);
  // The only word is about a record sampled at 62.5 us (206.dat), once for
  // the conversion that holds it.
  for (const std::string& m : messages_)
    EXPECT_EQ(m.rfind("SEG-Y holds the sample interval in whole microseconds: ", 0), 0u) << m;
  EXPECT_LE(messages_.size(), steps.size());
  for (const auto& [in, out] : pairs) {
    ASSERT_TRUE(fs::exists(out)) << in;
    const ShotRecord a = program_test::ReadByImport(in);
    const ShotRecord b = ReadSegyRecord(out, 1);
    EXPECT_EQ(a.NTRACE, b.NTRACE) << in;
    EXPECT_EQ(a.NSAMP, b.NSAMP) << in;
    EXPECT_EQ(a.TRACES, b.TRACES) << in;
    if (segy_test::SegyioAvailable()) {
      const segy_test::SegyioRead s = segy_test::ReadWithSegyio(out, true);
      ASSERT_TRUE(s.ok) << out;
      EXPECT_EQ(s.traces, a.NTRACE) << out;
      EXPECT_EQ(std::vector<float>(s.data.begin(), s.data.end()),
                std::vector<float>(a.TRACES.begin(), a.TRACES.end()))
          << out;
    }
  }
}

class CombineTest : public MultiFileTest {
 protected:
  // Chooses INPUTS, the output OUT, IEEE little-endian, and the trace-count
  // rule.
  void Answers(const std::vector<fs::path>& inputs, const fs::path& out, bool disallow,
               bool replace = false) {
    Choose(Quoted(inputs));
    Choose(out);
    if (replace) harness_.Answer("messagebox", "Yes");
    harness_.Answer("dialog 124", "1242=1\n1174=1\npress 1");
    harness_.Answer("dialog 147", disallow ? "1238=1\npress 1" : "1237=1\npress 1");
  }
  static int TracesPerRecord(const fs::path& p) {
    const std::string b = testing_support::ReadFile(p);
    return static_cast<unsigned char>(b[3212]) | static_cast<unsigned char>(b[3213]) << 8;
  }
};

TEST_F(CombineTest, SegyOfThreeAndSeg2GiveFourRecordsInOrderNumberedByPlace) {
  const std::vector<ShotRecord> recs = {Fixture(4, 40, 0.5f, 1), Fixture(4, 40, 0.5f, 2),
                                        Fixture(4, 40, 0.5f, 3), Fixture(4, 40, 0.5f, 4)};
  WriteSegy(dir_ / "three.sgy", {recs[0], recs[1], recs[2]});
  WriteSeg2(dir_ / "one.sg2", recs[3]);
  Answers({dir_ / "three.sgy", dir_ / "one.sg2"}, dir_ / "all.sgy", false);
  Run({[] { Post(vel::kCommandCombine); }});
  ASSERT_EQ(messages_, std::vector<std::string>{"Combine complete."});
  ShotRecord rec;
  std::int32_t n = 0;
  int ierr = 0;
  vel::INRECORDS(rec, (dir_ / "all.sgy").string(), ierr, n);
  ASSERT_EQ(ierr, 0);
  ASSERT_EQ(n, 4);
  for (std::int32_t r = 1; r <= 4; ++r) {
    const ShotRecord back = ReadSegyRecord(dir_ / "all.sgy", r);
    EXPECT_EQ(back.TRACES, recs[static_cast<std::size_t>(r - 1)].TRACES) << r;
    EXPECT_EQ(back.ISRCSTN, std::vector<std::int32_t>(4, r)) << r;
    EXPECT_EQ(back.IRCVSTN, std::vector<std::int32_t>(4, r)) << r;
  }
  if (segy_test::SegyioAvailable()) {
    const segy_test::SegyioRead s = segy_test::ReadWithSegyio(dir_ / "all.sgy", true);
    ASSERT_TRUE(s.ok);
    std::vector<float> want;
    for (const ShotRecord& r : recs) want.insert(want.end(), r.TRACES.begin(), r.TRACES.end());
    EXPECT_EQ(s.data, want);
  }
}

TEST_F(CombineTest, TraceCountsMayVaryUnlessDisallowed) {
  WriteSeg2(dir_ / "a.sg2", Fixture(24, 30, 0.5f, 1));
  WriteSegy(dir_ / "b.sgy", {Fixture(48, 30, 0.5f, 2)});
  Answers({dir_ / "a.sg2", dir_ / "b.sgy"}, dir_ / "free.sgy", false);
  Answers({dir_ / "a.sg2", dir_ / "b.sgy"}, dir_ / "same.sgy", true);
  Run({[] { Post(vel::kCommandCombine); }, [] { Post(vel::kCommandCombine); }});
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[0], "Combine complete.");
  // The first record has no SEG-Y headers of its own: the binary header
  // says one trace per record, so readers see 72 records of one trace.
  EXPECT_EQ(TracesPerRecord(dir_ / "free.sgy"), 1);
  {
    ShotRecord all;
    std::int32_t count = 0;
    int e = 0;
    vel::INRECORDS(all, (dir_ / "free.sgy").string(), e, count);
    EXPECT_EQ(count, 72);
  }
  EXPECT_EQ(messages_[1],
            "All input files must have same number of samples, number of traces and sample "
            "rate\r\n" + (dir_ / "b.sgy").string() + ": \r\n" +
                "Samples:      30,     30 Traces:    24,   48 Dt:     0.5000,    0.5000\r\n\r\n"
                "Combine files aborting here!");
  EXPECT_EQ(messages_[2], "Combine failed!");
  ShotRecord rec;
  std::int32_t n = 0;
  int ierr = 0;
  vel::INRECORDS(rec, (dir_ / "same.sgy").string(), ierr, n);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(rec.NTRACE, 24);
}

TEST_F(CombineTest, IntervalsAreComparedExactly) {
  // SEG-2 keeps the interval as a real (SEG-Y in whole microseconds).
  WriteSeg2(dir_ / "a.sg2", Fixture(2, 30, 0.25f, 1));
  WriteSeg2(dir_ / "b.sg2", Fixture(2, 30, 0.2500001f, 2));
  Answers({dir_ / "a.sg2", dir_ / "b.sg2"}, dir_ / "c.sgy", false);
  Run({[] { Post(vel::kCommandCombine); }});
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_NE(messages_[0].find("same number of samples and sample rate"), std::string::npos);
  EXPECT_EQ(messages_[1], "Combine failed!");
}

TEST_F(CombineTest, OneFileOrAMissingOneEndsBeforeAnythingIsWritten) {
  WriteSegy(dir_ / "a.sgy", {Fixture(2, 30, 0.5f, 1)});
  Choose(Quoted({dir_ / "a.sgy"}));
  Run({[] { Post(vel::kCommandCombine); }});
  EXPECT_EQ(messages_, std::vector<std::string>{"cannot combine with only one input file"});
}

TEST_F(CombineTest, AWriterFailureEndsTheRunAsFailed) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  WriteSegy(dir_ / "a.sgy", {Fixture(2, 30, 0.5f, 1)});
  WriteSegy(dir_ / "b.sgy", {Fixture(2, 30, 0.5f, 2)});
  // A file whose writes fail once it is open; replacing it is confirmed.
  fs::create_symlink("/dev/full", dir_ / "full.sgy");
  Answers({dir_ / "a.sgy", dir_ / "b.sgy"}, dir_ / "full.sgy", false, true);
  Run({[] { Post(vel::kCommandCombine); }});
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[0].rfind("SEGYOUT - ", 0), 0u) << messages_[0];
  EXPECT_EQ(messages_[1], (dir_ / "full.sgy").string() + ": No space left on device");
  EXPECT_EQ(messages_[2], "Combine failed!");
}

class SubtractTest : public MultiFileTest {};

TEST_F(SubtractTest, AFileFromItselfLeavesZerosWithTheOldTraceMaxima) {
  WriteSeg2(dir_ / "a.sg2", Fixture(4, 30, 0.5f, 1));
  const ShotRecord before = program_test::Imported(dir_ / "a.sg2");
  Choose(dir_ / "a.sg2");
  Choose(dir_ / "a.sg2");
  Choose(dir_ / "after.trx");
  Run({[] { Post(vel::kCommandImport); }, [] { Post(vel::kCommandSubtract); },
       [] { Post(vel::kCommandSaveAs); }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  const vel::TrxContents c = program_test::Decode(dir_ / "after.trx");
  EXPECT_EQ(c.record.TRACES, std::vector<float>(before.TRACES.size(), 0.0f));
  EXPECT_EQ(c.record.TRACEMAX, before.TRACEMAX);
  EXPECT_EQ(c.record.IBPICK, before.IBPICK);
}

TEST_F(SubtractTest, ADifferentStructureIsToldAndTheRecordStays) {
  WriteSeg2(dir_ / "wide.sg2", Fixture(48, 30, 0.5f, 1));
  WriteSeg2(dir_ / "narrow.sg2", Fixture(24, 30, 0.5f, 2));
  WriteSeg2(dir_ / "long.sg2", Fixture(48, 60, 0.5f, 2));
  WriteSeg2(dir_ / "fast.sg2", Fixture(48, 30, 0.25f, 2));
  const ShotRecord before = program_test::Imported(dir_ / "wide.sg2");
  Choose(dir_ / "wide.sg2");
  for (const char* f : {"narrow.sg2", "long.sg2", "fast.sg2"}) Choose(dir_ / f);
  Choose(dir_ / "after.trx");
  Run({[] { Post(vel::kCommandImport); }, [] { Post(vel::kCommandSubtract); },
       [] { Post(vel::kCommandSubtract); }, [] { Post(vel::kCommandSubtract); },
       [] { Post(vel::kCommandSaveAs); }});
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[0], "Number of traces does not match.");
  EXPECT_EQ(messages_[1], "Number of samples does not match.");
  EXPECT_EQ(messages_[2], "Sample rate does not match.");
  const vel::TrxContents c = program_test::Decode(dir_ / "after.trx");
  EXPECT_EQ(c.record.TRACES, before.TRACES);
}

class ConcatenateTest : public MultiFileTest {};

TEST_F(ConcatenateTest, EveryRecordJoinedIntoOneNamedAfterTheFile) {
  const std::vector<ShotRecord> recs = {Fixture(3, 20, 0.5f, 1), Fixture(3, 20, 0.5f, 2),
                                        Fixture(3, 20, 0.5f, 3)};
  WriteSegy(dir_ / "three.sgy", recs);
  std::string title;
  Choose(dir_ / "three.sgy");
  harness_.Answer("dialog 116", "press 1");
  Choose(dir_ / "after.trx");
  Run({[] { Post(vel::kCommandConcatenate); },
       [&] {
         title = Title();
         Post(vel::kCommandSaveAs);
       }});
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  EXPECT_EQ(title, TitleOf("three"));
  const vel::TrxContents c = program_test::Decode(dir_ / "after.trx");
  EXPECT_EQ(c.record.NTRACE, 9);
  std::vector<float> all;
  for (const ShotRecord& r : recs) all.insert(all.end(), r.TRACES.begin(), r.TRACES.end());
  EXPECT_EQ(c.record.TRACES, all);
}

TEST_F(ConcatenateTest, CancelInTheHeaderEditorOrAFailedReadKeepsTheRecordAndTitle) {
  WriteSeg2(dir_ / "a.sg2", Fixture(4, 30, 0.5f, 1));
  WriteSegy(dir_ / "three.sgy", {Fixture(3, 20, 0.5f, 1), Fixture(3, 20, 0.5f, 2)});
  testing_support::WriteFile(dir_ / "bad.sgy", std::string(3000, 'x'));
  const ShotRecord before = program_test::Imported(dir_ / "a.sg2");
  std::string title;
  Choose(dir_ / "a.sg2");
  Choose(dir_ / "three.sgy");
  harness_.Answer("dialog 116", "press 2");
  Choose(dir_ / "bad.sgy");
  Choose(dir_ / "after.trx");
  Run({[] { Post(vel::kCommandImport); }, [] { Post(vel::kCommandConcatenate); },
       [] { Post(vel::kCommandConcatenate); },
       [&] {
         title = Title();
         Post(vel::kCommandSaveAs);
       }});
  EXPECT_EQ(title, TitleOf("a"));
  EXPECT_EQ(messages_.size(), 1u);  // the reader's own message for the short file
  const vel::TrxContents c = program_test::Decode(dir_ / "after.trx");
  EXPECT_EQ(c.record.TRACES, before.TRACES);
}

}  // namespace
