// The device model tables and the setters that choose the current models.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/core/Errors.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ModelTables.h"

namespace tk::testing {
namespace {

class ModelTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetToolkitForTesting();
    ResetErrorState();
  }
  void TearDown() override {
    ResetToolkitForTesting();
    ResetErrorState();
  }
};

TEST_F(ModelTablesTest, InvalidRasterModelsBecomeDefault) {
  for (int model : {27, 39, 0, 1, -5}) {
    SCOPED_TRACE(model);
    ResetToolkitForTesting();
    RasterPrinterModelSet(model);
    const DeviceModelState& s = CurrentDeviceModels();
    EXPECT_EQ(s.rasterModel, 28);
    EXPECT_FALSE(s.rasterChosen);
    EXPECT_EQ(s.printerClass, 7);
    EXPECT_EQ(s.resolutions, (std::array<std::int32_t, 4>{300, 150, 100, 75}));
    EXPECT_EQ(s.hpgl2Device, 1);
    EXPECT_EQ(CurrentRasterModelLimits().qualities, 4);
    EXPECT_EQ(CurrentRasterModelLimits().option24Limit, 2);
  }
}

TEST_F(ModelTablesTest, ClassesFromCodes) {
  struct Case {
    int model, cls, planes, kind, limit, qualities, res1, pins, step, hpgl2;
  };
  const Case cases[] = {
      {29, 7, 1, 0, 2, 4, 600, 1, 23, 3},  {38, 7, 3, 2, 2, 4, 600, 1, 23, 5},
      {36, 6, 1, 0, 1, 3, 720, 1, 23, 0},  {2, 1, 1, 0, 0, 3, 240, 8, 23, 0},
      {9, 3, 1, 0, 0, 2, 160, 8, 22, 0},   {19, 4, 1, 0, 0, 4, 360, 24, 29, 0},
      {17, 5, 1, 0, 0, 4, 360, 24, 24, 0}, {13, 9, 3, 1, 1, 2, 180, 1, 23, 0},
      {33, 8, 3, 2, 2, 3, 300, 1, 23, 0},  {34, 8, 1, 0, 2, 3, 300, 1, 23, 0},
      {32, 8, 3, 2, 2, 4, 300, 1, 23, 2},  {35, 7, 3, 2, 2, 4, 300, 1, 23, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    ResetToolkitForTesting();
    RasterPrinterModelSet(c.model);
    const DeviceModelState& s = CurrentDeviceModels();
    EXPECT_EQ(s.rasterModel, c.model);
    EXPECT_TRUE(s.rasterChosen);
    EXPECT_EQ(s.printerClass, c.cls);
    EXPECT_EQ(s.colourPlanes, c.planes);
    EXPECT_EQ(s.colourKind, c.kind);
    EXPECT_EQ(s.option24Limit, c.limit);
    EXPECT_EQ(s.qualities, c.qualities);
    EXPECT_EQ(s.resolutions[0], c.res1);
    EXPECT_EQ(s.pins, c.pins);
    EXPECT_EQ(s.lineStep, c.step);
    EXPECT_EQ(s.hpgl2Device, c.hpgl2);
    EXPECT_EQ(CurrentRasterModelLimits().qualities, c.qualities);
  }
}

TEST_F(ModelTablesTest, DeskJet540CodesMatchTheirNames) {
  EXPECT_EQ(kRasterPrinterModels[33].name, "HP DeskJet 540 colour");
  EXPECT_EQ(kRasterPrinterModels[33].code.substr(0, 4), "53C2");
  EXPECT_EQ(kRasterPrinterModels[34].name, "HP DeskJet 540 mono");
  EXPECT_EQ(kRasterPrinterModels[34].code.substr(0, 4), "51M2");
}

TEST_F(ModelTablesTest, ChosenHpgl2DeviceIsNotDerived) {
  Hpgl2DeviceSet(4);
  RasterPrinterModelSet(29);
  EXPECT_EQ(CurrentDeviceModels().hpgl2Device, 4);
  Hpgl2DeviceSet(0);  // derives from the raster model
  EXPECT_EQ(CurrentDeviceModels().hpgl2Device, 3);
}

TEST_F(ModelTablesTest, PlotterModels) {
  PlotterModelSet(7);
  EXPECT_EQ(CurrentDeviceModels().plotterModel, 7);
  EXPECT_TRUE(CurrentDeviceModels().plotterChosen);
  PlotterModelSet(12);
  EXPECT_EQ(CurrentDeviceModels().plotterModel, 1);
  EXPECT_EQ(CurrentDeviceModels().hpgl2Device, 2);
  EXPECT_TRUE(CurrentDeviceModels().hpgl2Chosen);
  PlotterModelSet(16);
  EXPECT_EQ(CurrentDeviceModels().plotterModel, 1);
  EXPECT_EQ(CurrentDeviceModels().hpgl2Device, 2);
}

TEST_F(ModelTablesTest, ConfiguredOrder) {
  struct Case {
    int printer, plotter, hpgl2, device;
  };
  const Case cases[] = {
      {0, 13, 0, 3}, {29, 0, 0, 3}, {10, 0, 0, 1}, {0, 0, 0, 1}, {29, 12, 5, 5}, {38, 3, 0, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.printer << " " << c.plotter << " " << c.hpgl2);
    ResetToolkitForTesting();
    HardcopyDeviceModels models;
    models.rasterPrinterModel = c.printer;
    models.plotterModel = c.plotter;
    models.hpgl2Device = c.hpgl2;
    ApplyConfiguredDeviceModels(models);
    EXPECT_EQ(CurrentDeviceModels().hpgl2Device, c.device);
  }
}

TEST_F(ModelTablesTest, ScreenDumpDefaults) {
  RasterPrinterModelSet(13);  // option-24 limit 1
  ScreenDumpDefaults(2);
  const ScreenDumpSettings& d = CurrentScreenDump();
  EXPECT_EQ(d.driver, 2);
  EXPECT_EQ(d.options[1], 756);
  EXPECT_EQ(d.options[2], 540);
  EXPECT_EQ(d.options[3], 42);
  EXPECT_EQ(d.options[4], -20);
  EXPECT_EQ(d.options[5], 1);
  EXPECT_EQ(d.options[19], 3);
  EXPECT_EQ(d.options[24], 1);
  EXPECT_EQ(d.fileName, "parvdump.ps");
  ScreenDumpDefaults(5);
  EXPECT_EQ(CurrentScreenDump().driver, 10);
  EXPECT_EQ(CurrentScreenDump().windowsPrinterAvailable, 0);
}

TEST_F(ModelTablesTest, InfoDeviceName) {
  RasterPrinterModelSet(6);
  std::string name(27, '?');
  InfoDeviceName(1, name);
  EXPECT_EQ(name, "Epson EX/FX/LX/RX   (wide) ");
  EXPECT_EQ(ErrorState().lastError, 0);

  Hpgl2DeviceSet(2);
  name.assign(31, '?');
  InfoDeviceName(3, name);
  EXPECT_EQ(name, "HP DJet 1200C/1600C, Color LJet");

  name.assign(40, '?');
  InfoDeviceName(9, name);
  EXPECT_EQ(name, std::string(40, ' '));

  name.assign(10, '?');
  InfoDeviceName(2, name);
  EXPECT_EQ(name, "Generic HP");
  EXPECT_EQ(ErrorState().lastError, 1023);
}

TEST_F(ModelTablesTest, TablesAreComplete) {
  for (int m = 2; m <= 38; ++m) {
    if (m == 27) continue;
    EXPECT_LE(kRasterPrinterModels[m].name.size(), kRasterNameLength) << m;
    EXPECT_EQ(kRasterPrinterModels[m].code.size(), 5u) << m;
  }
  for (int m = 1; m <= 10; ++m) EXPECT_EQ(kPlotterModels[m].name.size(), 26u + (m == 1)) << m;
  EXPECT_EQ(kRasterPrinterListOrder.size(), 36u);
}

}  // namespace
}  // namespace tk::testing
