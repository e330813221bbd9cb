// The sample shot a first run opens: written by the program's SEG-2 writer,
// it reads back as a shot of 24 to 48 traces whose automatic picks fall on
// the modelled first arrivals.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "display/Pickers.h"
#include "formats/Seg2In.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"
#include "tools/sample/SampleShot.h"

namespace {

TEST(SampleShot, ReadsBackWithPicksOnTheModelledFirstArrivals) {
  testing_support::TempDir dir;
  const std::string path = (dir.path() / "sample.sg2").string();
  std::string why;
  ASSERT_TRUE(sample_shot::Write(path, why)) << why;

  vel::ShotRecord rec;
  int error = 0;
  vel::SEG2IN(rec, path, error, true);
  ASSERT_EQ(error, 0);
  EXPECT_GE(rec.NTRACE, 24);
  EXPECT_LE(rec.NTRACE, 48);
  const sample_shot::Model model;
  ASSERT_EQ(rec.NTRACE, model.traces);
  ASSERT_EQ(rec.NSAMP, model.samples);

  vel::AutoPickUnpicked(rec, vel::PickParameters{}.simple);
  ASSERT_TRUE(rec.LPICKS);
  // Both branches of the travel-time curve are present: the head wave
  // overtakes the direct wave inside the spread.
  const double nearest = model.spacing, farthest = model.spacing * model.traces;
  EXPECT_NEAR(sample_shot::FirstArrival(model, nearest), nearest / model.upperVelocity * 1000.0,
              1e-9);
  EXPECT_LT(sample_shot::FirstArrival(model, farthest), farthest / model.upperVelocity * 1000.0);
  // The simple picker marks the start of its pulse window, up to one pulse
  // width before the wave rises above its threshold.
  const double within = vel::PickParameters{}.simple.SVPULSE;
  for (int j = 1; j <= rec.NTRACE; ++j) {
    const auto k = static_cast<std::size_t>(j - 1);
    ASSERT_TRUE(vel::HasPick(rec.IBPICK[k])) << "trace " << j;
    const double want = sample_shot::FirstArrival(model, model.spacing * j);
    EXPECT_NEAR(vel::PickTime(rec, rec.IBPICK[k]), want, within) << "trace " << j;
  }
}

TEST(SampleShot, AnUnwritableFolderIsReported) {
  testing_support::TempDir dir;
  std::string why;
  EXPECT_FALSE(sample_shot::Write((dir.path() / "no/such/folder/x.sg2").string(), why));
  EXPECT_FALSE(why.empty());
}

// The tool run as a user would, in a folder of its own: options are answered
// or refused, never taken for the name of the file to write.
TEST(SampleShot, ToolAnswersHelpAndRefusesOptionLikeNames) {
  namespace fs = std::filesystem;
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* written;  // the file the run leaves, or nullptr
  };
  const Case cases[] = {
      {{"--help"}, 0, nullptr},
      {{"-h"}, 0, nullptr},
      {{"-shot.sg2"}, 2, nullptr},
      {{"--"}, 2, nullptr},
      {{}, 2, nullptr},
      {{"a.sg2", "b.sg2"}, 2, nullptr},
      {{"shot.sg2"}, 0, "shot.sg2"},
      {{"./-shot.sg2"}, 0, "-shot.sg2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args.front());
    testing_support::TempDir dir;
    std::vector<std::string> argv{VELLORAN_SAMPLE_EXE};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    testing_support::Child tool;
    ASSERT_TRUE(tool.Start(argv, {}, dir.path().string(), (dir.path() / "errors.txt").string()));
    EXPECT_EQ(tool.Wait(30000), std::optional<int>(c.status));
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir.path()))
      if (e.path().filename() != "errors.txt") left.push_back(e.path().filename().string());
    if (c.written) {
      EXPECT_EQ(left, std::vector<std::string>{c.written});
    } else {
      EXPECT_TRUE(left.empty()) << left.front();
    }
    const std::string errors = testing_support::ReadFile(dir.path() / "errors.txt");
    EXPECT_EQ(errors.find("usage:") != std::string::npos, c.status == 2) << errors;
  }
}

}  // namespace
