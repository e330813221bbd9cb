// A real shot record printed to PostScript: the trace plot of a public SEG-2
// file, drawn with the PostScript driver selected, renders in ghostscript.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "formats/Seg2In.h"
#include "tests/TestSupport.h"
#include "tests/display/TracePlotTestSupport.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

namespace vel::testing {
namespace {

TEST_F(TracePlotTest, PublicRecordPrintsAsPostScript) {
  SKIP_WITHOUT_SHARED_DATA();
  const auto source = testing_support::SharedData() / "graphSEG2" / "102.dat";
  if (!std::filesystem::exists(source)) GTEST_SKIP() << "sample absent";
  ShotRecord rec;
  int ierr = 0;
  SEG2IN(rec, source.string(), ierr, false);
  ASSERT_EQ(ierr, 0);
  ASSERT_GT(rec.NTRACE, 0);
  SCALETRACES(rec, axes, options, false);

  tk::StandHardcopyDrivers();
  tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDriverPostScript);
  testing_support::TempDir dir;
  const std::string file = (dir / "record.ps").string();
  std::string name = file;
  name.resize(tk::kHardcopyNameLength, ' ');
  tk::HardcopyFileName() = name;
  sup::PLOTXY(1.0f, 1.0f, sup::kPenStartPage, axes);  // a hardcopy page
  ASSERT_GT(tk::Gs().hardcopyOn, 0);
  PLOTTRACES(rec, axes, options);
  tk::WHardcopySwitch("S");
  tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDefaultHardcopyDriver);

  const std::string ps = testing_support::ReadFile(file);
  ASSERT_GT(ps.size(), 10000u);
  EXPECT_EQ(ps.substr(0, 14), "%!PS-Adobe-3.0");
  EXPECT_NE(ps.find("gsave showpage grestore"), std::string::npos);
  if (std::system("command -v gs > /dev/null 2>&1") != 0) GTEST_SKIP() << "ghostscript not installed";
  EXPECT_EQ(std::system(("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage " + file + " > /dev/null 2>&1").c_str()), 0);
}

}  // namespace
}  // namespace vel::testing
