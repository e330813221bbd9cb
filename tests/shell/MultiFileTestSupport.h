#pragma once
// What the tests of the commands over several files share: small records
// whose samples tell them apart, written as SEG-Y or SEG-2 files, the quoted
// list a multiple selection types, a SEG-Y record read back, and the
// program run that also answers folder dialogs and looks for a message.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "formats/Seg2Out.h"
#include "formats/SegyOut.h"
#include "shell/Import.h"
#include "tests/shell/ProgramTestSupport.h"

namespace multi_file_test {

namespace fs = std::filesystem;
using vel::ShotRecord;

// A record of NTRACE traces of NSAMP samples at DT ms whose samples tell the
// record SEED apart.
inline ShotRecord Fixture(std::int32_t ntrace, std::int32_t nsamp, float dt, int seed) {
  ShotRecord r;
  r.CRECNAME = "fixture";
  r.NTRACE = ntrace;
  r.NSAMP = nsamp;
  EXPECT_TRUE(vel::RebuildTraceArrays(r));
  r.SAMPINT = dt;
  r.SPACING = 2.0f;
  for (std::int32_t j = 1; j <= ntrace; ++j) {
    r.GEOLOC[static_cast<std::size_t>(j - 1)] = 2.0f * static_cast<float>(j);
    std::span<float> t = vel::Trace(r, j);
    for (std::size_t k = 0; k < t.size(); ++k)
      t[k] = static_cast<float>(seed * 1000 + j) + std::sin(0.3f * static_cast<float>(k)) * 50.0f;
  }
  return r;
}

// RECORDS written as one SEG-Y file of IEEE floats (little-endian).
inline void WriteSegy(const fs::path& path, const std::vector<ShotRecord>& records) {
  vel::SegyOutOptions o;
  o.format = 5;
  o.bigEndian = false;
  o.batch = true;
  vel::SegyOutState state;
  for (std::size_t i = 0; i < records.size(); ++i) {
    o.writeHeaders = i == 0;
    o.closeAtEnd = i + 1 == records.size();
    int error = 0;
    vel::SEGYOUT(records[i], path.string(), o, error, state);
    ASSERT_EQ(error, 0) << path;
  }
}

inline void WriteSeg2(const fs::path& path, ShotRecord rec) {
  int error = 0;
  vel::SEG2OUT(rec, path.string(), false, 1, true, 0, error);
  ASSERT_EQ(error, 0) << path;
}

inline std::string Quoted(const std::vector<fs::path>& paths) {
  std::string out;
  for (const fs::path& p : paths) out += (out.empty() ? "\"" : " \"") + p.string() + "\"";
  return out;
}

// Record R of the SEG-Y file PATH as the program reads it.
inline ShotRecord ReadSegyRecord(const fs::path& path, std::int32_t r) {
  ShotRecord rec;
  int ierr = 0;
  vel::IMPORT(rec, path.string(), r, ierr, false, true);
  EXPECT_EQ(ierr, 0) << path << " record " << r;
  return rec;
}

class MultiFileTest : public program_test::ProgramTest {
 protected:
  void ChooseFolder(const fs::path& p) { harness_.Answer("folderdialog", p.string()); }
  bool Has(std::string_view text) const {
    for (const std::string& m : messages_)
      if (m.find(text) != std::string::npos) return true;
    return false;
  }
};

}  // namespace multi_file_test
