// Merge Files: the output names, the gather of one trace position, and the
// command run through the real program on a scripted screen: one output per
// trace position, the smallest trace count and the largest sample count,
// SUSPENS component names, inputs that cannot be merged, and a second record
// left behind by an earlier command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/Seg2In.h"
#include "record/MergeIntervals.h"
#include "shell/FileCommands.h"
#include "shell/MergeFiles.h"
#include "shell/MultiFileCommands.h"
#include "support/Progress.h"
#include "tests/TestSupport.h"
#include "tests/instruments/OyoFpxSuspensFixtures.h"
#include "tests/shell/MultiFileTestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace multi_file_test;
using vel::ShotRecord;

TEST(MergeNames, ProposalStemSuffixAndOutputName) {
  EXPECT_EQ(vel::MergeProposedOutput("/d/v1.2", "shot.a.sg2"), "/d/v1.2/shot");
  EXPECT_EQ(vel::MergeProposedOutput("/d", "noext"), "/d/noext");

  struct Stem {
    const char* name;
    std::size_t length;
  };
  for (const Stem& c : std::vector<Stem>{{"/d/v1.2/shot                 ", 12},
                                         {"/d/out.segyfile", 6},
                                         {"/d/a.b.c", 4},
                                         {"c:\\x.y\\z", 8},
                                         {"plain", 5}})
    EXPECT_EQ(vel::MergeStemLength(c.name), c.length) << c.name;

  struct Suffix {
    std::int32_t i;
    bool suspens, segy;
    const char* want;
  };
  for (const Suffix& c : std::vector<Suffix>{{1, false, false, "001.SG2"},
                                             {42, false, true, "042.SGY"},
                                             {999, false, false, "999.SG2"},
                                             {1000, false, true, "***.SGY"},
                                             {1, true, true, "H1.SG2 "},
                                             {2, true, false, "H1R.SG2"},
                                             {3, true, true, "V1.SG2 "},
                                             {5, true, false, "H2R.SG2"},
                                             {6, true, true, "V2.SG2 "}})
    EXPECT_EQ(vel::MergeSuffix(c.i, c.suspens, c.segy), c.want) << c.i;

  struct Output {
    const char* name;
    std::size_t stem;  // from the name the merge dialog gave
    const char* suffix;
    const char* want;
  };
  // The suffix replaces the seven characters after the stem; those beyond
  // stay behind it. A name the user accepted takes the next suffix at the
  // same place.
  for (const Output& c : std::vector<Output>{
           {"/d/shot", 7, "005.SG2", "/d/shot005.SG2"},
           {"/d/out.segyfile", 6, "001.SG2", "/d/out001.SG2le"},
           {"/d/out.segyfile", 6, "H1.SG2 ", "/d/outH1.SG2 le"},
           {"/d/outH1.SG2", 6, "H1R.SG2", "/d/outH1R.SG2"},
           {"/d/outH1R.SG2", 6, "V1.SG2 ", "/d/outV1.SG2"},
           {"/d/v1.2/shot001.SG2   ", 12, "002.SG2", "/d/v1.2/shot002.SG2"},
           {"/d/x001.SG2", 8, "002.SG2", "/d/x001.002.SG2"}})
    EXPECT_EQ(vel::MergeOutputName(c.name, c.stem, c.suffix), c.want) << c.name;
}

TEST(MergeGather, TraceJIsTraceIOfInputJColumnZeroedHeaderFromFirstNorthingFromLast) {
  vel::MergeInputs inputs = {Fixture(3, 10, 0.5f, 1), Fixture(2, 20, 0.25f, 2),
                             Fixture(3, 10, 0.5f, 3)};
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    ShotRecord& r = inputs[k];
    r.SHOTX = 100.0f + static_cast<float>(k);
    r.SHOTY = 200.0f + static_cast<float>(k);
    r.SHOTELEV = 300.0f + static_cast<float>(k);
    r.ISHOT = 7 + static_cast<std::int32_t>(k);
    for (std::size_t t = 0; t < r.IBPICK.size(); ++t) {
      r.IBPICK[t] = static_cast<std::int32_t>(10 * k + t + 1);
      r.CTRCTYPE[t] = "SEISMIC";
      r.IRCVSTN[t] = static_cast<std::int32_t>(1000 * k + t);
      r.STATTOT[t] = 0.5f * static_cast<float>(k + t);
      r.CSRCTEXT[t] = "SOURCE";
    }
  }
  ShotRecord merged;
  merged.NTRACE = 3;
  merged.NSAMP = 20;
  ASSERT_TRUE(vel::RebuildTraceArrays(merged));
  // Samples an earlier component left behind.
  std::fill(merged.TRACES.begin(), merged.TRACES.end(), 9999.0f);

  vel::GatherComponent(merged, inputs, 2);
  EXPECT_EQ(merged.SAMPINT, 0.5f);
  EXPECT_EQ(merged.SHOTX, 100.0f);
  EXPECT_EQ(merged.SHOTELEV, 300.0f);
  EXPECT_EQ(merged.ISHOT, 7);
  EXPECT_EQ(merged.SHOTY, 202.0f);
  float lo = 1e30f, hi = -1e30f;
  for (std::int32_t j = 1; j <= 3; ++j) {
    const ShotRecord& in = inputs[static_cast<std::size_t>(j - 1)];
    const auto col = vel::Trace(std::as_const(merged), j);
    const auto src = vel::Trace(in, 2);
    std::vector<float> want(src.begin(), src.end());
    want.resize(20, 0.0f);
    EXPECT_EQ(std::vector<float>(col.begin(), col.end()), want) << j;
    const auto [mn, mx] = std::minmax_element(want.begin(), want.end());
    lo = std::min(lo, *mn);
    hi = std::max(hi, *mx);
    const auto t = static_cast<std::size_t>(j - 1);
    EXPECT_EQ(merged.TRACEMAX[t], std::max(std::fabs(*mn), std::fabs(*mx))) << j;
    EXPECT_EQ(merged.GEOLOC[t], in.GEOLOC[1]) << j;
    EXPECT_EQ(merged.IBPICK[t], in.IBPICK[1]) << j;
    EXPECT_EQ(merged.IRCVSTN[t], in.IRCVSTN[1]) << j;
    EXPECT_EQ(merged.STATTOT[t], in.STATTOT[1]) << j;
    EXPECT_EQ(merged.CSRCTEXT[t].View(), in.CSRCTEXT[1].View()) << j;
    EXPECT_EQ(merged.CTRCTYPE[t].View(), std::string(12, ' ')) << j;
  }
  EXPECT_EQ(merged.GMIN, lo);
  EXPECT_EQ(merged.GMAX, hi);
}

class MergeTest : public MultiFileTest {
 protected:
  /// Answers the merge dialog: OUTPUT (the proposal when empty) and the
  /// target, then the output format dialog (32-bit floats; IEEE
  /// little-endian with an ASCII text header for SEG-Y).
  void Options(bool segy, const std::string& output = {}) {
    std::string merge = output.empty() ? "" : "1190=" + output + "\n";
    merge += segy ? "1189=1\npress 1" : "1188=1\npress 1";
    harness_.Answer("dialog 130", merge);
    if (segy)
      harness_.Answer("dialog 124", "1242=1\n1174=1\n1178=1\npress 1");
    else
      harness_.Answer("dialog 128", "1169=1\npress 1");
  }
  static std::string Numbered(const std::string& stem, int i, const char* ext) {
    char number[8];
    std::snprintf(number, sizeof number, "%03d", i);
    return stem + number + ext;
  }
  static ShotRecord ReadSeg2(const fs::path& p) {
    ShotRecord back;
    int ierr = 1;
    vel::SEG2IN(back, p.string(), ierr, true);
    EXPECT_EQ(ierr, 0) << p;
    return back;
  }
  static std::vector<float> Column(const ShotRecord& r, std::int32_t j) {
    const auto t = vel::Trace(r, j);
    return {t.begin(), t.end()};
  }
};

TEST_F(MergeTest, ThreeFilesGiveOneSeg2FilePerTracePosition) {
  const std::vector<ShotRecord> in = {Fixture(4, 50, 0.5f, 1), Fixture(4, 50, 0.5f, 2),
                                      Fixture(4, 50, 0.5f, 3)};
  for (int k = 0; k < 3; ++k) WriteSeg2(dir_ / ("s" + std::to_string(k + 1) + ".sg2"), in[k]);
  Choose(Quoted({dir_ / "s1.sg2", dir_ / "s2.sg2", dir_ / "s3.sg2"}));
  Options(false);
  // The proposal lies in the inputs' folder: bare names land there.
  for (int i = 1; i <= 4; ++i) Choose(Numbered("s1", i, ".SG2"));
  Run({[] { Post(vel::kCommandMerge); }});
  EXPECT_EQ(messages_, std::vector<std::string>{"Merge complete"});
  for (int i = 1; i <= 4; ++i) {
    const ShotRecord out = ReadSeg2(dir_ / Numbered("s1", i, ".SG2"));
    ASSERT_EQ(out.NTRACE, 3) << i;
    for (std::int32_t j = 1; j <= 3; ++j)
      EXPECT_EQ(Column(out, j), Column(in[static_cast<std::size_t>(j - 1)], i)) << i << "/" << j;
  }
  EXPECT_FALSE(fs::exists(dir_ / "s1005.SG2"));
}

// A merge written as SEG-2 is the user's own output, not a batch one: the
// writer shows its own progress window for more than 100 traces.
TEST_F(MergeTest, Seg2OutputShowsTheWritersOwnProgress) {
  std::vector<fs::path> files;
  for (int k = 0; k < 101; ++k) {
    files.push_back(dir_ / ("m" + std::to_string(k + 100) + ".sg2"));
    WriteSeg2(files.back(), Fixture(1, 10, 0.5f, k + 1));
  }
  Choose(Quoted(files));
  Options(false);
  Choose("m100001.SG2");
  std::vector<std::string> opened;
  sup::SetProgressHook({[&opened](std::string_view name) { opened.emplace_back(name); }, {}, {}});
  Run({[] { Post(vel::kCommandMerge); }});
  sup::SetProgressHook({});
  EXPECT_EQ(messages_, std::vector<std::string>{"Merge complete"});
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_NE(opened[0].find("m100001.SG2"), std::string::npos) << opened[0];
  EXPECT_EQ(ReadSeg2(dir_ / "m100001.SG2").NTRACE, 101);
}


TEST_F(MergeTest, SmallestTraceCountAndLargestSampleCountShorterTracesEndInZeros) {
  const ShotRecord wide = Fixture(24, 1000, 0.5f, 1);
  const ShotRecord narrow = Fixture(12, 2000, 0.5f, 2);
  WriteSeg2(dir_ / "wide.sg2", wide);
  WriteSegy(dir_ / "narrow.sgy", {narrow});
  Choose(Quoted({dir_ / "wide.sg2", dir_ / "narrow.sgy"}));
  Options(true);
  for (int i = 1; i <= 12; ++i) Choose(Numbered("wide", i, ".SGY"));
  Run({[] { Post(vel::kCommandMerge); }});
  EXPECT_EQ(messages_, std::vector<std::string>{"Merge complete"});
  for (int i = 1; i <= 12; ++i) {
    const ShotRecord out = ReadSegyRecord(dir_ / Numbered("wide", i, ".SGY"), 1);
    ASSERT_EQ(out.NTRACE, 2) << i;
    ASSERT_EQ(out.NSAMP, 2000) << i;
    std::vector<float> first = Column(wide, i);
    first.resize(2000, 0.0f);
    EXPECT_EQ(Column(out, 1), first) << i;
    EXPECT_EQ(Column(out, 2), Column(narrow, i)) << i;
  }
  EXPECT_FALSE(fs::exists(dir_ / "wide013.SGY"));
}

TEST_F(MergeTest, ProposalInAFolderHoldingADotAndATypedLongExtension) {
  const fs::path folder = dir_ / "v1.2";
  fs::create_directory(folder);
  WriteSeg2(folder / "shot.a.sg2", Fixture(2, 20, 0.5f, 1));
  WriteSeg2(folder / "b.sg2", Fixture(2, 20, 0.5f, 2));
  // The proposal, as it stands: v1.2/shot001.SG2 and v1.2/shot002.SG2.
  Choose(Quoted({folder / "shot.a.sg2", folder / "b.sg2"}));
  Options(false);
  Choose("shot001.SG2");
  Choose("shot002.SG2");
  // A typed stem with a long extension.
  Choose(Quoted({folder / "shot.a.sg2", folder / "b.sg2"}));
  Options(false, (dir_ / "out.segyfile").string());
  Choose((dir_ / "out001.SG2le").string());
  Choose((dir_ / "out002.SG2le").string());
  Run({[] { Post(vel::kCommandMerge); }, [] { Post(vel::kCommandMerge); }});
  EXPECT_EQ(messages_, (std::vector<std::string>{"Merge complete", "Merge complete"}));
  for (const fs::path& p : {folder / "shot001.SG2", folder / "shot002.SG2",
                            dir_ / "out001.SG2le", dir_ / "out002.SG2le"})
    EXPECT_EQ(ReadSeg2(p).NTRACE, 2) << p;
}

TEST_F(MergeTest, SuspensInputsGiveComponentNamesAndIntervalsAlsoForSegy) {
  namespace fx = instrument_fixtures;
  fx::SuspensFile a;
  fx::SuspensFile b;
  b.shot = "  8";
  testing_support::WriteFile(dir_ / "A.DAT", a.Bytes());
  testing_support::WriteFile(dir_ / "B.DAT", b.Bytes());
  Choose(Quoted({dir_ / "A.DAT", dir_ / "B.DAT"}));
  Options(true);
  const char* components[] = {"H1", "H1R", "V1", "H2", "H2R", "V2"};
  for (const char* c : components) Choose(std::string("A") + c + ".SG2");
  Run({[] { Post(vel::kCommandMerge); }});
  EXPECT_EQ(messages_, std::vector<std::string>{"Merge complete"});
  const vel::MergeIntervals intervals = vel::ShellMergeIntervals();
  ASSERT_NE(intervals.SAMPINTH, intervals.SAMPINTV);
  for (int i = 1; i <= 6; ++i) {
    const fs::path p = dir_ / (std::string("A") + components[i - 1] + ".SG2");
    ASSERT_TRUE(fs::exists(p)) << p;
    const ShotRecord out = ReadSegyRecord(p, 1);
    EXPECT_EQ(out.NTRACE, 2) << p;
    const float want = i == 3 || i == 6 ? intervals.SAMPINTV : intervals.SAMPINTH;
    EXPECT_NEAR(out.SAMPINT, want, 1e-6f) << p;
    EXPECT_EQ(out.TRACES[0], static_cast<float>(fx::SuspensFile::Sample(i, 0))) << p;
  }
}

TEST_F(MergeTest, InputsThatCannotBeMergedEndItBeforeAnyOutput) {
  WriteSeg2(dir_ / "a.sg2", Fixture(2, 20, 0.5f, 1));
  WriteSeg2(dir_ / "b.sg2", Fixture(2, 20, 0.5f, 2));
  WriteSegy(dir_ / "many.sgy", {Fixture(2, 20, 0.5f, 3), Fixture(2, 20, 0.5f, 4)});
  testing_support::WriteFile(dir_ / "junk.dat", std::string(4000, 'x'));
  // One file; a SEG-Y file of two records (only counted); a file no reader
  // takes; a file gone since it was chosen.
  Choose(Quoted({dir_ / "a.sg2"}));
  Choose(Quoted({dir_ / "a.sg2", dir_ / "many.sgy"}));
  Choose(Quoted({dir_ / "junk.dat", dir_ / "b.sg2"}));
  Choose(Quoted({dir_ / "a.sg2", dir_ / "gone.sg2"}));
  harness_.Answer("messagebox", "Yes");  // the dialog asks before taking a missing file
  const fs::path gone = dir_ / "gone.sg2";
  std::vector<std::function<void()>> steps(4, [] { Post(vel::kCommandMerge); });
  Run(steps);
  const std::string many = (dir_ / "many.sgy").string();
  const std::string junk = (dir_ / "junk.dat").string();
  ASSERT_GE(messages_.size(), 5u);
  EXPECT_EQ(messages_[0], "cannot merge with only one input file");
  EXPECT_EQ(messages_[1], "File not read: \"" + many + "\".\r\nMerge aborted");
  // The reader's own message first, then the merge's.
  EXPECT_EQ(messages_[messages_.size() - 3], "File not read: \"" + junk + "\".\r\nMerge aborted");
  EXPECT_EQ(messages_[messages_.size() - 2].rfind("File not found: \"" + gone.string(), 0), 0u);
  EXPECT_EQ(messages_.back(), "No files available for merging. Merge aborted.");
  EXPECT_FALSE(Has("Merge complete"));
  for (const auto& e : fs::directory_iterator(dir_.path()))
    EXPECT_NE(e.path().extension(), ".SG2") << e.path();
}

TEST_F(MergeTest, AnAbortWhileReadingEndsItBeforeAnyOutput) {
  WriteSeg2(dir_ / "a.sg2", Fixture(2, 20, 0.5f, 1));
  WriteSeg2(dir_ / "b.sg2", Fixture(2, 20, 0.5f, 2));
  WriteSeg2(dir_ / "c.sg2", Fixture(2, 20, 0.5f, 3));
  // Cancel is pressed once the first input has been read: the counting of
  // the three files polls three times, the reader once per trace, then the
  // merge itself.
  int polls = 0;
  sup::SetAbortPollHook([&polls] { return ++polls == 6; });
  Choose(Quoted({dir_ / "a.sg2", dir_ / "b.sg2", dir_ / "c.sg2"}));
  Run({[] { Post(vel::kCommandMerge); }});
  ASSERT_FALSE(messages_.empty());
  EXPECT_EQ(messages_.back(),
            "Reading stopped after: \"" + (dir_ / "a.sg2").string() + "\".\r\nMerge aborted");
  EXPECT_FALSE(Has("Merge complete"));
}

TEST_F(MergeTest, CancelledDialogsEndSilentlyOrAfterTheComponentsWritten) {
  WriteSeg2(dir_ / "a.sg2", Fixture(3, 20, 0.5f, 1));
  WriteSeg2(dir_ / "b.sg2", Fixture(3, 20, 0.5f, 2));
  Choose(Quoted({dir_ / "a.sg2", dir_ / "b.sg2"}));
  harness_.Answer("dialog 130", "press 2");
  Choose(Quoted({dir_ / "a.sg2", dir_ / "b.sg2"}));
  harness_.Answer("dialog 130", "press 1192");  // Browse...
  Choose(Quoted({dir_ / "a.sg2", dir_ / "b.sg2"}));
  harness_.Answer("dialog 130", "1188=1\npress 1");
  harness_.Answer("dialog 128", "press 2");
  Choose(Quoted({dir_ / "a.sg2", dir_ / "b.sg2"}));
  Options(false);
  Choose("a001.SG2");
  Choose("Cancel");
  std::vector<std::function<void()>> steps(4, [] { Post(vel::kCommandMerge); });
  Run(steps);
  EXPECT_EQ(messages_, std::vector<std::string>{"Merge complete"});
  EXPECT_TRUE(fs::exists(dir_ / "a001.SG2"));
  EXPECT_FALSE(fs::exists(dir_ / "a002.SG2"));
}

// Subtract leaves its file's header in the second record: auxiliary traces,
// kept SEG-Y headers, SEG-2 file strings. None of it reaches the outputs.
TEST_F(MergeTest, WhatAnEarlierCommandLeftInTheSecondRecordStaysOut) {
  ShotRecord aux = Fixture(3, 20, 0.5f, 9);
  aux.NTRACE = 2;
  aux.NAUX = 1;
  WriteSegy(dir_ / "aux.sgy", {aux});
  ShotRecord strings = Fixture(2, 20, 0.5f, 8);
  strings.IFDBLEN[3] = 7;  // COMPANY
  strings.CFDBVAL[3] = "STALECO";
  WriteSeg2(dir_ / "strings.sg2", strings);
  const ShotRecord a = Fixture(2, 20, 0.5f, 1);
  WriteSeg2(dir_ / "a.sg2", a);
  WriteSeg2(dir_ / "b.sg2", Fixture(2, 20, 0.5f, 2));
  Choose(dir_ / "a.sg2");
  Choose(dir_ / "aux.sgy");
  Choose(Quoted({dir_ / "a.sg2", dir_ / "b.sg2"}));
  Options(true);
  Choose("a001.SGY");
  Choose("a002.SGY");
  Choose(dir_ / "strings.sg2");
  Choose(Quoted({dir_ / "a.sg2", dir_ / "b.sg2"}));
  Options(false);
  Choose("a001.SG2");
  Choose("a002.SG2");
  Run({[] { Post(vel::kCommandImport); }, [] { Post(vel::kCommandSubtract); },
       [] { Post(vel::kCommandMerge); }, [] { Post(vel::kCommandSubtract); },
       [] { Post(vel::kCommandMerge); }});
  EXPECT_EQ(messages_, (std::vector<std::string>{"Merge complete", "Merge complete"}));
  messages_.clear();
  for (int i = 1; i <= 2; ++i) {
    const fs::path p = dir_ / Numbered("a", i, ".SGY");
    const std::string bytes = testing_support::ReadFile(p);
    ASSERT_GT(bytes.size(), 3216u);
    EXPECT_EQ(bytes[3214] | bytes[3215], 0) << "auxiliary traces in " << p;
    const ShotRecord out = ReadSegyRecord(p, 1);
    EXPECT_EQ(out.NTRACE, 2) << p;
    EXPECT_EQ(Column(out, 1), Column(a, i)) << p;
    EXPECT_NE(bytes.find("LINE  A "), std::string::npos) << bytes.substr(80, 80);
    const fs::path q = dir_ / Numbered("a", i, ".SG2");
    EXPECT_EQ(testing_support::ReadFile(q).find("STALECO"), std::string::npos) << q;
    EXPECT_EQ(ReadSeg2(q).NTRACE, 2) << q;
  }
  EXPECT_TRUE(messages_.empty()) << messages_.front();
}

// Three shot records of a refraction line: 60 common-channel files of three
// traces each.
TEST_F(MergeTest, SharedShotRecordsBecomeSixtyChannelGathers) {
  const fs::path data = testing_support::SharedData();
  const fs::path folder = data / "pyrefra";
  const std::vector<fs::path> shots = {folder / "Rec_00001.seg2", folder / "Rec_00002.seg2",
                                       folder / "Rec_00011.seg2"};
  if (data.empty() || !std::all_of(shots.begin(), shots.end(),
                                   [](const fs::path& p) { return fs::exists(p); }))
    GTEST_SKIP() << "shared data absent";
  Choose(Quoted(shots));
  // The inputs' folder is not ours to write: the stem goes here.
  const std::string stem = (dir_ / "Rec_00001").string();
  Options(false, stem);
  for (int i = 1; i <= 61; ++i) Choose(Numbered(stem, i, ".SG2"));
  Run({[] { Post(vel::kCommandMerge); }});
  EXPECT_EQ(messages_, std::vector<std::string>{"Merge complete"});
  for (int i = 1; i <= 60; ++i) {
    const ShotRecord out = ReadSeg2(Numbered(stem, i, ".SG2"));
    EXPECT_EQ(out.NTRACE, 3) << i;
  }
  EXPECT_FALSE(fs::exists(Numbered(stem, 61, ".SG2")));
  const ShotRecord second = program_test::ReadByImport(shots[1]);
  EXPECT_EQ(Column(ReadSeg2(Numbered(stem, 5, ".SG2")), 2), Column(second, 5));
}

}  // namespace
