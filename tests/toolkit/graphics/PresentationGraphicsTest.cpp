// Presentation-graphics set-up: ranges, radius, sub-area, axis types, the
// new-plot set-up and the defaults of a reset.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "toolkit/graphics/PresentationGraphics.h"

namespace tk::testing {
namespace {

class PresentationGraphicsTest : public GraphicsTest {};

TEST_F(PresentationGraphicsTest, RangesKeepTheirOrderAndBadOnesReset) {
  IPgArea(10, 0, 1, 5);
  const auto& s = Pg();
  EXPECT_EQ(s.x1, 10);
  EXPECT_EQ(s.x2, 1);
  EXPECT_EQ(s.spanX, -9);
  EXPECT_EQ(s.lowX, 1);
  EXPECT_EQ(s.highX, 10);
  EXPECT_EQ(s.spanY, 5);

  ResetErrorState();
  ErrorReportModeSet(kReportStatusBar);
  int reports = 0;
  SetErrorDeliveryHook([&](int, const std::string&) { ++reports; });
  IPgArea(3, 3, 3, 4);
  EXPECT_EQ(WErrorStatusQuery(1), 16);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(s.x1, 0);
  EXPECT_EQ(s.x2, 1);
  EXPECT_EQ(s.y1, 3);
  EXPECT_EQ(s.y2, 4);
  ErrorReportModeSet(kReportSilent);
  SetErrorDeliveryHook({});

  IPgUnitsZ(5, 2);
  EXPECT_EQ(WErrorStatusQuery(1), 16);
  EXPECT_EQ(s.z1, 0);
  EXPECT_EQ(s.spanZ, 1);
  IPgUnitsZ(-2, 6);
  EXPECT_EQ(s.spanZ, 8);
  IPgUnitsPolar(0);
  EXPECT_EQ(WErrorStatusQuery(1), 16);
  EXPECT_EQ(s.polarRadius, 1.0f);

  PgSubArea(0.2f, 1.0f, 0.0f, 0.7f);  // y lower 1.0 and x upper 0.0 are ignored
  EXPECT_EQ(s.subArea, (std::array<float, 4>{0.2f, 0.1f, 0.9f, 0.7f}));
}

TEST_F(PresentationGraphicsTest, LogarithmsAndAxisTypes) {
  EXPECT_EQ(SafeLog10(0), -38.0f);
  EXPECT_FLOAT_EQ(SafeLog10(-100), 2.0f);
  IPgArea(1, 10, 1000, 100000);
  IPgUnitsPolar(100);
  PgAxisTypes("log10", "Logarithmic");
  const auto& s = Pg();
  EXPECT_EQ(s.logX, 1);
  EXPECT_FLOAT_EQ(s.logSpanX, 3.0f);
  EXPECT_FLOAT_EQ(s.logY1, 1.0f);
  EXPECT_FLOAT_EQ(s.logSpanY, 4.0f);
  EXPECT_FLOAT_EQ(s.logRadiusShifted, 40.0f);
  PgAxisTypes("lin", "lo");
  EXPECT_EQ(s.logX, 0);
  EXPECT_EQ(s.logY, 0);
}

TEST_F(PresentationGraphicsTest, NewPlotSetup) {
  const auto& s = Pg();
  const std::array<std::int32_t, 3> counts{0, 1, 7};
  PgNewPlotSetup(12, 900, counts);
  EXPECT_EQ(s.graphType, 4);
  EXPECT_EQ(s.dataSets, 500);
  EXPECT_EQ(s.counts[0], 1);
  EXPECT_EQ(s.setValues.size(), 500u);
  // Type 10 reads three counts of at least 2.
  PgNewPlotSetup(10, 3, counts);
  EXPECT_EQ(s.counts, (std::array<std::int32_t, 3>{2, 2, 7}));
  EXPECT_FLOAT_EQ(s.countFactor, 0.25f);
  // The two-count case with bit 9: the second factor from the counts.
  const std::array<std::int32_t, 2> eight{8, 4};
  PgNewPlotSetup(5, 2, eight, (1 << 0) | (1 << 9) | (1 << 6));
  EXPECT_EQ(s.twoCounts, 1);
  EXPECT_EQ(s.options & (1 << 6), 0);  // bit 0 clears bit 6
  EXPECT_FLOAT_EQ(s.secondFactor, 1.0f - 4 * 0.5f / 8);
  EXPECT_FLOAT_EQ(s.countFactor, 0.6f / 8);
  // Bit 0 is dropped for type 3; bit 5 on type 1 clears bits 0 and 10.
  PgNewPlotSetup(3, 600, eight, 1 | (1 << 4));
  EXPECT_EQ(s.options, 1 << 4);
  EXPECT_EQ(s.labelChoice, 3);
  EXPECT_EQ(s.setRecords.size(), 500u);
  PgNewPlotSetup(1, 2, eight, 1 | (1 << 5) | (1 << 10) | (1 << 8));
  EXPECT_EQ(s.options, (1 << 5) | (1 << 8));
  EXPECT_EQ(s.labelChoice, 2);
}

TEST_F(PresentationGraphicsTest, ResetRestoresTheDefaults) {
  IPgArea(5, 6, 7, 8);
  PgSubArea(0.3f, 0.3f, 0.5f, 0.5f);
  const std::array<std::int32_t, 1> two{2};
  PgNewPlotSetup(7, 9, two, 1);
  IGrStateReset();
  const auto& s = Pg();
  EXPECT_EQ(s.subArea, (std::array<float, 4>{0.1f, 0.1f, 0.9f, 0.9f}));
  EXPECT_EQ(s.countFactor, 0.25f);
  EXPECT_EQ(s.graphType, 4);
  EXPECT_EQ(s.dataSets, 500);
  EXPECT_EQ(s.x1, 0);
  EXPECT_EQ(s.y2, 1);
  EXPECT_EQ(s.options, 0);
}

}  // namespace
}  // namespace tk::testing
