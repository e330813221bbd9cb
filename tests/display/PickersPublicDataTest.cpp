// How far the automatic picks (simple, Hatherly, box, and wavelet with a
// wavelet cut where the analyst picked a reference trace) fall from
// published manual picks on public records (graphSEG2, PyRefra and Refrapy
// examples in the shared data folder). The figures are printed, not judged:
// the pickers follow their own rules, not the analysts'. Skipped when the
// shared data folder is absent.
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

#include "display/PickAll.h"
#include "display/Pickers.h"
#include "display/WaveletPicker.h"
#include "formats/Seg2In.h"
#include "support/Progress.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;

enum class PickFormat {
  GraphSeg2,  // one row per trace in trace order: position (m), time (ms)
  PyRefra,    // rows: shot, receiver (= trace), time, lower, upper bound (s)
  Unified,    // pyGIMLi unified format: sensor x y, then shot, sensor, time (s)
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
    {"refrapy/field_example_02_1.dat", "refrapy/field_example_02.sgt", PickFormat::Unified, 1},
};

// Unified-format picks of shot SHOT by trace: each trace is the sensor at
// its receiver position.
std::map<int, double> ReadUnifiedPicks(const fs::path& path, int shot,
                                       const vel::ShotRecord& rec) {
  std::map<int, double> picks;
  std::ifstream in(path);
  std::string line;
  std::vector<double> sensorX;
  int sensors = -1;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    if (sensors < 0) {
      fields >> sensors;
      continue;
    }
    if (static_cast<int>(sensorX.size()) < sensors) {
      double x = 0.0;
      if (fields >> x) sensorX.push_back(x);
      continue;
    }
    int s = 0, g = 0;
    double seconds = 0.0;
    if (!(fields >> s >> g >> seconds) || s != shot || g < 1 ||
        g > static_cast<int>(sensorX.size()))
      continue;
    for (std::int32_t j = 1; j <= rec.NTRACE; ++j)
      if (std::fabs(rec.GEOLOC[static_cast<std::size_t>(j - 1)] - sensorX[g - 1]) < 0.01)
        picks[j] = seconds * 1000.0;
  }
  return picks;
}

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
  constexpr const char* kPickers[] = {"simple", "Hatherly", "box", "wavelet"};
  Distances all[4];
  for (const PublicRecord& r : kRecords) {
    SCOPED_TRACE(r.file);
    const fs::path file = testing_support::SharedData() / r.file;
    if (!fs::exists(file)) continue;
    vel::ShotRecord rec;
    int ierr = 99;
    vel::SEG2IN(rec, file.string(), ierr, true);
    ASSERT_EQ(ierr, 0);
    const fs::path pickFile = testing_support::SharedData() / r.picks;
    const std::map<int, double> published = r.format == PickFormat::Unified
                                                 ? ReadUnifiedPicks(pickFile, r.shot, rec)
                                                 : ReadPublishedPicks(pickFile, r);
    ASSERT_FALSE(published.empty());

    // PyRefra counts time from the trigger, which these files put DELAY
    // after the first sample; graphSEG2 from the first sample.
    const double triggerSample = r.format != PickFormat::GraphSeg2 ? rec.TDELAY / rec.SAMPINT : 0.0;

    // The picks of each picker by trace, through the same run the Pick
    // menu makes. The wavelet: about 10 ms from the analyst's pick of the
    // trace with the median pick time, as a user would cut it by eye.
    vel::PickingState state;
    state.pulseSamples = vel::SimplePulseSamples(pars.simple.SVPULSE, rec.SAMPINT);
    std::vector<std::pair<double, int>> byTime;
    for (const auto& [trace, ms] : published)
      if (trace >= 1 && trace <= rec.NTRACE) byTime.emplace_back(ms, trace);
    ASSERT_FALSE(byTime.empty());
    std::sort(byTime.begin(), byTime.end());
    const auto [refMs, refTrace] = byTime[byTime.size() / 2];
    const std::int32_t length = std::max(8, static_cast<std::int32_t>(10.0 / rec.SAMPINT));
    const auto from = static_cast<std::int32_t>(refMs / rec.SAMPINT + triggerSample) - 1;
    const auto ref = vel::Trace(std::as_const(rec), refTrace);
    ASSERT_LE(from + length, static_cast<std::int32_t>(ref.size()));
    state.wavelet.samples.assign(ref.begin() + std::max(from, 0),
                                 ref.begin() + std::max(from, 0) + length);
    state.wavelet.count = length;
    state.wavelet.selected = true;
    std::vector<std::int32_t> picks[4];
    for (int m = 0; m < 4; ++m) {
      vel::ShotRecord copy = rec;
      if (m == 3) {
        state.pulseSamples = vel::WaveletPulseSamples(length);
        state.correlation.assign(static_cast<std::size_t>(rec.NSAMP), 0.0f);
      }
      vel::PickTraces(copy, state, m + 1);
      picks[m] = copy.IBPICK;
    }

    Distances one[4];
    for (const auto& [trace, ms] : published) {
      if (trace < 1 || trace > rec.NTRACE) continue;
      const double publishedSample = ms / rec.SAMPINT + triggerSample;
      for (int m = 0; m < 4; ++m) {
        const std::int32_t pick = picks[m][static_cast<std::size_t>(trace - 1)];
        if (pick <= 0) {
          ++one[m].missing;
          ++all[m].missing;
          continue;
        }
        const double diff = (pick - publishedSample) * rec.SAMPINT;
        ++one[m].compared;
        ++all[m].compared;
        one[m].diffMs.push_back(diff);
        all[m].diffMs.push_back(diff);
      }
    }
    for (int m = 0; m < 4; ++m) Report(r.file, kPickers[m], one[m]);
  }
  for (int m = 0; m < 4; ++m) Report("all records", kPickers[m], all[m]);
  sup::SetUserMessageHook({});
}

}  // namespace
