// How far the automatic picks fall from published manual picks on public
// records (graphSEG2 and PyRefra examples in the shared data folder). The
// figures are printed, not judged: the pickers follow their own rules, not
// the analysts'. Skipped when the shared data folder is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "display/Pickers.h"
#include "formats/Seg2In.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;

enum class PickFormat {
  GraphSeg2,  // one row per trace in trace order: position (m), time (ms)
  PyRefra,    // rows: shot, receiver (= trace), time, lower, upper bound (s)
};

struct PublicRecord {
  const char* file;
  const char* picks;
  PickFormat format;
  int shot;  // PyRefra shot number of the record
};

const PublicRecord kRecords[] = {
    {"graphSEG2/102.dat", "graphSEG2/102.txt", PickFormat::GraphSeg2, 0},
    {"graphSEG2/206.dat", "graphSEG2/206.txt", PickFormat::GraphSeg2, 0},
    {"pyrefra/Rec_00001.seg2", "pyrefra/picks.dat", PickFormat::PyRefra, 1},
    {"pyrefra/Rec_00002.seg2", "pyrefra/picks.dat", PickFormat::PyRefra, 2},
    {"pyrefra/Rec_00011.seg2", "pyrefra/picks.dat", PickFormat::PyRefra, 11},
};

// Published pick times in ms by trace number.
std::map<int, double> ReadPublishedPicks(const fs::path& path, const PublicRecord& r) {
  std::map<int, double> picks;
  std::ifstream in(path);
  std::string line;
  int row = 0;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    if (r.format == PickFormat::GraphSeg2) {
      double position = 0.0, ms = 0.0;
      if (fields >> position >> ms) picks[++row] = ms;
    } else {
      int shot = 0, receiver = 0;
      double seconds = 0.0;
      if (fields >> shot >> receiver >> seconds && shot == r.shot) {
        picks[receiver] = seconds * 1000.0;
      }
    }
  }
  return picks;
}

struct Distances {
  int compared = 0;
  int missing = 0;  // published pick but no automatic one
  std::vector<double> diffMs;
};

void Report(const char* file, const char* picker, const Distances& d) {
  std::vector<double> absMs;
  double signedSum = 0.0;
  int within2 = 0;
  for (const double v : d.diffMs) {
    absMs.push_back(std::fabs(v));
    signedSum += v;
    within2 += std::fabs(v) <= 2.0;
  }
  std::sort(absMs.begin(), absMs.end());
  const std::size_t n = absMs.size();
  const double median = n == 0 ? 0.0 : (absMs[(n - 1) / 2] + absMs[n / 2]) / 2.0;
  double mean = 0.0;
  for (const double v : absMs) mean += v;
  mean = n == 0 ? 0.0 : mean / static_cast<double>(n);
  std::printf(
      "[ pick distance ] %-24s %-8s compared %2d, no pick %2d: median |dt| %6.2f ms, mean |dt| "
      "%6.2f ms, mean dt %+7.2f ms, within 2 ms %3.0f %%\n",
      file, picker, d.compared, d.missing, median, mean,
      n == 0 ? 0.0 : signedSum / static_cast<double>(n),
      n == 0 ? 0.0 : 100.0 * within2 / static_cast<double>(n));
}

TEST(PickersPublicDataTest, DistanceFromPublishedPicks) {
  SKIP_WITHOUT_SHARED_DATA();
  sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
  sup::SetProgressHook({});
  const vel::PickParameters pars;
  Distances allSimple, allHatherly;
  for (const PublicRecord& r : kRecords) {
    SCOPED_TRACE(r.file);
    const fs::path file = testing_support::SharedData() / r.file;
    if (!fs::exists(file)) continue;
    vel::ShotRecord rec;
    int ierr = 99;
    vel::SEG2IN(rec, file.string(), ierr, true);
    ASSERT_EQ(ierr, 0);
    const std::map<int, double> published =
        ReadPublishedPicks(testing_support::SharedData() / r.picks, r);
    ASSERT_FALSE(published.empty());

    // PyRefra counts time from the trigger, which these files put DELAY
    // after the first sample; graphSEG2 from the first sample.
    const double triggerSample = r.format == PickFormat::PyRefra ? rec.TDELAY / rec.SAMPINT : 0.0;

    std::vector<std::int32_t> hatherly(static_cast<std::size_t>(rec.NTRACE), 0);
    for (std::int32_t j = 1; j <= rec.NTRACE; ++j) {
      float noise =
          std::fabs(rec.TRACEMAX[static_cast<std::size_t>(j - 1)]) * pars.hatherly.HLYNOISE;
      vel::PICKHLY(vel::Trace(std::as_const(rec), j), rec.NSAMP, noise,
                   hatherly[static_cast<std::size_t>(j - 1)], 1, rec.NSAMP);
    }
    vel::AutoPickUnpicked(rec, pars.simple);

    Distances simple, hly;
    for (const auto& [trace, ms] : published) {
      if (trace < 1 || trace > rec.NTRACE) continue;
      const double publishedSample = ms / rec.SAMPINT + triggerSample;
      const auto measure = [&](std::int32_t pick, Distances& d, Distances& all) {
        if (pick <= 0) {
          ++d.missing;
          ++all.missing;
          return;
        }
        const double diff = (pick - publishedSample) * rec.SAMPINT;
        ++d.compared;
        ++all.compared;
        d.diffMs.push_back(diff);
        all.diffMs.push_back(diff);
      };
      measure(rec.IBPICK[static_cast<std::size_t>(trace - 1)], simple, allSimple);
      measure(hatherly[static_cast<std::size_t>(trace - 1)], hly, allHatherly);
    }
    Report(r.file, "simple", simple);
    Report(r.file, "Hatherly", hly);
  }
  Report("all records", "simple", allSimple);
  Report("all records", "Hatherly", allHatherly);
  sup::SetUserMessageHook({});
}

}  // namespace
