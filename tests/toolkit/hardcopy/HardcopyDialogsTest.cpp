// The hardcopy option dialogs, scripted: what the device and file dialogs
// show, what OK reads back into the options, and what Cancel leaves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/dialog/FileDialog.h"
#include "platform/dialog/MessageBox.h"
#include "tests/TestSupport.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"
#include "tests/toolkit/hardcopy/HardcopyTestSupport.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"
#include "toolkit/hardcopy/ModelTables.h"

namespace tk::testing {
namespace {

using O = DriverOperation;

std::string Padded(std::string s) {
  s.resize(kHardcopyNameLength, ' ');
  return s;
}

std::string Trim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(0, 1);
  return s;
}

/// A driver for every number; as the raster printer, its select-time
/// defaults follow the current model, as the model drivers' do.
class ModelDriver : public RecordingDriver {
 public:
  using RecordingDriver::RecordingDriver;
  void Select() override {
    RecordingDriver::Select();
    if (DriverParams().P1 == -999 || DriverParams().P1 > 0) return;  // the probe
    DriverParams().driverNumber = HardcopyDispatchNumber();
    if (DriverParams().P2 == -998 || HardcopyDispatchNumber() != kDriverRasterPrinter) return;
    const DeviceModelState& m = CurrentDeviceModels();
    HardcopyOptionStore(1, 10 * m.rasterModel + 1);
    HardcopyOptionStore(5, m.printerClass >= 7 ? 1 : 0);
    HardcopyOptionStore(13, std::min(m.qualities, 2));
    HardcopyOptionStore(24, std::min(m.option24Limit, 2));
    DriverParams().rasterQuality = HardcopyOption(13);
  }
};

class HardcopyDialogsTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    ResetToolkitForTesting();
    for (int n = 1; n <= 12; ++n) StandHardcopyDriver(n, &driver);
  }
  void TearDown() override {
    for (int n = 1; n <= 12; ++n) StandHardcopyDriver(n, nullptr);
    HardcopyDriverSelect(O::Select, kDefaultHardcopyDriver);
    DriverParams().driverNumber = 0;
    ResetToolkitForTesting();
    DialogTest::TearDown();
  }
  /// Selects driver N as the option dialog does.
  static void Select(int n) {
    DriverParams().P1 = 0;
    DriverParams().P2 = 0;
    HardcopyDriverSelect(O::Select, n);
  }
  /// Clicks push button ID of the current dialog (in a scripted call).
  static void Press(int id) { plat::PressDialogButton(DialogWindow(), id); }
  /// The user picks the entry TEXT of list or combo FIELD.
  static void Choose(int field, std::string_view text) {
    const plat::Hwnd h = Field(field);
    const bool combo = plat::GetClassName(h) == plat::kComboBoxClass;
    if (combo)
      plat::ComboBoxSetCurSel(h, plat::ComboBoxFindStringExact(h, -1, text));
    else
      plat::ListBoxSetCurSel(h, plat::ListBoxFindStringExact(h, -1, text));
    plat::SendMessage(
        DialogWindow(), plat::Msg::Command,
        plat::MakeWParam(field, combo ? int{plat::kCbnSelChange} : int{plat::kLbnSelChange}),
        static_cast<plat::LParam>(h));
  }
  /// The selected entry's text of list or combo FIELD.
  static std::string Chosen(int field) {
    const plat::Hwnd h = Field(field);
    if (plat::GetClassName(h) == plat::kComboBoxClass)
      return plat::ComboBoxGetText(h, plat::ComboBoxGetCurSel(h)).value_or("");
    return plat::ListBoxGetText(h, plat::ListBoxGetCurSel(h)).value_or("");
  }
  static std::string Shown(int field) { return Trim(Text(field)); }
  static bool Checked(int field) { return plat::ButtonGetCheck(Field(field)) != 0; }

  ModelDriver driver{2};
};

TEST_F(HardcopyDialogsTest, RefusedWithoutADriverAndForTheWindowsPrinter) {
  DriverParams().driverNumber = 0;  // as the toolkit's start leaves it
  DialogStatus().answer = 7;
  WHardcopyOptions(2);
  EXPECT_EQ(LastError(), 46);
  // Without a printer the user is told, and an earlier OK does not print.
  Select(10);
  const std::size_t boxes = plat::MessageBoxLog().size();
  WHardcopyOptions(2);
  EXPECT_EQ(LastError(), 63);
  EXPECT_EQ(WDialogStatusQuery(4), 0);
  ASSERT_EQ(plat::MessageBoxLog().size(), boxes + 1);
  EXPECT_EQ(plat::MessageBoxLog().back().text, "No printer is available");
}

TEST_F(HardcopyDialogsTest, DeviceDialogShowsCentimetresAndReadsThemBack) {
  Select(kDriverPostScript);
  for (auto [code, value] : {std::pair{1, 756}, {2, 540}, {3, 42}, {4, -20}, {5, 1}})
    HardcopyOptionStore(code, value);
  HardcopyFileName() = Padded("out.ps");
  harness.Call([] {
    EXPECT_EQ(Shown(1001), "26.67");
    EXPECT_EQ(Shown(1002), "19.05");
    EXPECT_EQ(Shown(1003), "1.48");
    EXPECT_EQ(Shown(1004), "-0.71");
    EXPECT_EQ(Shown(1206), "Size/Position (cm)");
    EXPECT_EQ(Shown(3002), "Format :");
    EXPECT_EQ(plat::GetWindowText(DialogWindow()), "PostScript Output");
    EXPECT_EQ(Shown(1201), "out.ps");
    EXPECT_EQ(Chosen(1203), "Printer PostScript");
    EXPECT_TRUE(Checked(1209));
    plat::SetWindowText(Field(1001), "20");
    plat::SetWindowText(Field(1002), "15.00");
    plat::SetWindowText(Field(1003), "");  // blank counts as 0
    plat::SetWindowText(Field(1004), "-1.27");
    plat::SetWindowText(Field(1201), "plot.ps");
    Press(1);
  });
  WHardcopyOptions(2);
  EXPECT_EQ(WDialogStatusQuery(4), 1);
  EXPECT_EQ(HardcopyOption(1), 567);  // 20 / 0.0352778 = 566.9
  EXPECT_EQ(HardcopyOption(2), 425);
  EXPECT_EQ(HardcopyOption(3), 0);
  EXPECT_EQ(HardcopyOption(4), -36);
  EXPECT_EQ(HardcopyOption(5), 1);
  EXPECT_EQ(HardcopyFileName(), Padded("plot.ps"));
  EXPECT_EQ(WDialogStatusQuery(3), 0);  // the dialog is gone again
}

TEST_F(HardcopyDialogsTest, DeviceDialogCancelLeavesEverything) {
  Select(kDriverPostScript);
  HardcopyFileName() = Padded("keep.ps");
  DialogStatus().answer = 1;
  harness.Answer("dialog 32098", "1001=1\n1002=2\n1209=1\n1201=other.ps\npress 2");
  WHardcopyOptions(0);
  EXPECT_EQ(WDialogStatusQuery(4), 0);
  EXPECT_EQ(HardcopyOption(1), 540);
  EXPECT_EQ(HardcopyOption(2), 756);
  EXPECT_EQ(HardcopyFileName(), Padded("keep.ps"));
}

TEST_F(HardcopyDialogsTest, OrientationChangeExchangesWidthAndHeight) {
  Select(kDriverHpgl);
  HardcopyOptionStore(5, 0);  // portrait, 540 x 756
  harness.Call([] { plat::ButtonClick(Field(1209)); }).Pause(10).Call([] {
    EXPECT_EQ(Shown(1001), "756.00");
    EXPECT_EQ(Shown(1002), "540.00");
    Press(1);
  });
  WHardcopyOptions(0);
  EXPECT_EQ(HardcopyOption(1), 756);
  EXPECT_EQ(HardcopyOption(2), 540);
  EXPECT_EQ(HardcopyOption(5), 1);
}

TEST_F(HardcopyDialogsTest, CallersNameIsEditedAndGivenBackKeepingItsSize) {
  Select(kDriverHpgl);
  HardcopyFileName() = Padded("global.plt");
  std::string name = "mine.plt            ";
  harness.Answer("dialog 32098", "1201=yours.plt\npress 1");
  WHardcopyOptions(1, &name);
  EXPECT_EQ(name, "yours.plt           ");
  EXPECT_EQ(HardcopyFileName(), Padded("global.plt"));
}

TEST_F(HardcopyDialogsTest, ModelListSelectsTheDriverAgainWithTheModelsDefaults) {
  RasterPrinterModelSet(28);
  Select(kDriverRasterPrinter);
  std::string chosen(kRasterNameLength, ' ');
  harness.Call([] {
    EXPECT_EQ(plat::GetWindowText(DialogWindow()), "HP/Epson/IBM Printer Output");
    EXPECT_EQ(Shown(3002), "Printer type :");
    EXPECT_EQ(plat::ListBoxGetCount(Field(1203)), 36);
    EXPECT_EQ(Chosen(1203), "HP LaserJet III/4L");
    EXPECT_EQ(plat::ListBoxGetText(Field(1203), 0), "Amstrad DMP 3000");
    Choose(1203, "Epson EX/FX/LX/RX");  // model 5, class 2
  });
  harness.Pause(10).Call([] {
    EXPECT_EQ(Shown(1001), "51.00");  // the new model's default width
    EXPECT_TRUE(Checked(1208));       // and its portrait orientation
    Press(1);
  });
  WHardcopyOptions(0);
  EXPECT_EQ(CurrentDeviceModels().rasterModel, 5);
  EXPECT_EQ(HardcopyOption(1), 51);
  EXPECT_EQ(HardcopyOption(5), 0);
  InfoDeviceName(1, chosen);
  EXPECT_EQ(Trim(chosen), "Epson EX/FX/LX/RX");
}

TEST_F(HardcopyDialogsTest, CancelAfterAModelChangePutsModelOptionsAndNameBack) {
  RasterPrinterModelSet(28);
  Select(kDriverRasterPrinter);
  HardcopyOptionSet(13, 1);
  HardcopyOptionSet(24, 1);
  HardcopyOptionSet(103, 7);
  HardcopyFileName() = Padded("mine.prn");
  const int qualities = CurrentRasterModelLimits().qualities;
  harness.Call([] { Choose(1203, "IBM Graphics Printer"); }).Pause(10).Call([] { Press(2); });
  WHardcopyOptions(0);
  EXPECT_EQ(WDialogStatusQuery(4), 0);
  EXPECT_EQ(CurrentDeviceModels().rasterModel, 28);
  EXPECT_EQ(CurrentDeviceModels().printerClass, 7);
  EXPECT_EQ(CurrentRasterModelLimits().qualities, qualities);
  EXPECT_EQ(HardcopyOption(1), 281);
  EXPECT_EQ(HardcopyOption(13), 1);
  EXPECT_EQ(HardcopyOption(24), 1);
  EXPECT_EQ(HardcopyOption(103), 7);
  EXPECT_EQ(DriverParams().rasterQuality, 1);
  EXPECT_EQ(HardcopyFileName(), Padded("mine.prn"));
}

TEST_F(HardcopyDialogsTest, PostScriptFormatListSetsOption22AndTheExtension) {
  Select(kDriverPostScript);
  HardcopyFileName() = Padded("dir.v2/plot.ps");
  harness.Call([] { Choose(1203, "Encapsulated PostScript"); }).Pause(10).Call([] {
    EXPECT_EQ(Shown(1201), "dir.v2/plot.eps");
    Press(1);
  });
  WHardcopyOptions(0);
  EXPECT_EQ(HardcopyOption(22), 1);
  EXPECT_EQ(HardcopyFileName(), Padded("dir.v2/plot.eps"));
}

TEST_F(HardcopyDialogsTest, BrowsePutsTheChosenNameIntoTheNameField) {
  ::testing_support::TempDir dir;
  const std::string chosen = (dir.path() / "chosen.plt").string();
  Select(kDriverHpgl2);
  harness.Answer(plat::kFileDialogAnswer, chosen);
  harness.Call([] { Press(1202); }).Pause(10).Call([&] {
    EXPECT_EQ(Shown(1201), chosen);
    Press(1);
  });
  WHardcopyOptions(0);
  EXPECT_EQ(WDialogStatusQuery(4), 1);
  EXPECT_EQ(Trim(HardcopyFileName()), chosen);
}

TEST_F(HardcopyDialogsTest, MoreOptionsDialogFollowsDriverAndPrinterClass) {
  struct Case {
    int driver, model, dialog;
  };
  const Case cases[] = {
      {kDriverHpgl, 0, 32001},           {kDriverPostScript, 0, 32002},
      {kDriverHpgl2, 0, 32012},          {kDriverRasterPrinter, 2, 32023},   // class 1
      {kDriverRasterPrinter, 36, 32023},                                     // class 6
      {kDriverRasterPrinter, 28, 32024}, {kDriverRasterPrinter, 29, 32024},  // 7, 11 as 7
      {kDriverRasterPrinter, 14, 32022}, {kDriverRasterPrinter, 21, 32021},  // 8 mono, colour
      {kDriverRasterPrinter, 35, 32021}, {kDriverRasterPrinter, 13, 32025},  // 7 colour, 9
      {kDriverRasterPrinter, 30, 32025},                                     // class 10
  };
  for (const Case& c : cases) {
    if (c.model) RasterPrinterModelSet(c.model);
    EXPECT_EQ(HardcopyMoreOptionsDialog(c.driver), c.dialog) << c.driver << " " << c.model;
  }
}

TEST_F(HardcopyDialogsTest, MoreOptionsChangesKeptOnOkAndUndoneByCancel) {
  Select(kDriverPostScript);
  for (const int answer : {1, 2}) {
    HardcopyOptionStore(16, 255);
    HardcopyOptionStore(15, 1);
    harness.Answer("dialog 32002", "1016=100\n1015=0\npress 1");
    harness.Call([] { Press(1207); }).Pause(10).Call([answer] { Press(answer); });
    WHardcopyOptions(0);
    EXPECT_EQ(HardcopyOption(16), answer == 1 ? 100 : 255);
    EXPECT_EQ(HardcopyOption(15), answer == 1 ? 0 : 1);
  }
}

TEST_F(HardcopyDialogsTest, RasterMoreOptionsListQualitiesAndCompressionOfTheModel) {
  RasterPrinterModelSet(28);  // 300, 150, 100, 75 dots per inch; option-24 limit 2
  Select(kDriverRasterPrinter);
  HardcopyOptionSet(13, 2);
  HardcopyOptionSet(19, 3);
  harness.Call([] {
    EXPECT_EQ(plat::ComboBoxGetCount(Field(1013)), 4);
    EXPECT_EQ(Chosen(1013), "150 dpi");
    EXPECT_EQ(plat::ComboBoxGetCount(Field(1024)), 3);
    EXPECT_EQ(Chosen(1024), "TIFF (PackBits)");
    EXPECT_EQ(plat::ComboBoxGetCurSel(Field(1019)), 3);
    Choose(1013, "300 dpi");
    Choose(1024, "Run-length");
    Choose(1019, "Eject every page");
    Press(1);
  });
  std::string name(1, ' ');
  HardcopyDialogFile(2, name, 32024, kHardcopyMoreOptions, false);
  EXPECT_EQ(WDialogStatusQuery(4), 1);
  EXPECT_EQ(HardcopyOption(13), 1);
  EXPECT_EQ(DriverParams().rasterQuality, 1);
  EXPECT_EQ(HardcopyOption(24), 1);
  EXPECT_EQ(HardcopyOption(19), 1);
}

TEST_F(HardcopyDialogsTest, FileDialogsShowTheirOptionsAndReadThemBack) {
  struct Case {
    int driver;
    std::vector<std::pair<int, int>> before;  // options set first
    std::string script;
    std::vector<std::pair<int, int>> after;
  };
  const Case cases[] = {
      {kDriverSvg,
       {{1, 800}, {2, 600}, {6, 2}, {9, 5}, {10, 1}, {11, 2}},
       "1001=1024\n1006=Invert every colour\n1009=12\n1011=Butt\npress 1",
       {{1, 1024}, {2, 600}, {6, 1}, {9, 12}, {10, 1}, {11, 0}}},
      {kDriverBitImage,
       {{1, 640}, {2, 480}, {5, 0}, {23, 8}, {26, 0}},
       "1002=200\n1005=Landscape\n1023=24 (true colour)\n1026=BMP\npress 1",
       {{1, 640}, {2, 200}, {5, 1}, {23, 24}, {26, 1}}},
      {kDriverDxf,
       {{1, 756}, {2, 540}, {12, 80}, {23, 8}},
       "1001=5.00\n1012=250\n1023=4 (14 colours)\npress 1",
       {{1, 360}, {2, 540}, {12, 250}, {23, 4}}},
      {kDriverCgm,
       {{1, 756}, {2, 540}, {28, 2}},
       "1028=CGM font names\n1010=Bevel\npress 1",
       {{1, 756}, {2, 540}, {28, 0}, {10, 2}}},
      {kDriverWindowsMetafile,
       {{27, 1}, {29, 0}},
       "1027=Enhanced metafile\n1029=1\npress 1",
       {{27, 2}, {29, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.driver);
    Select(c.driver);
    for (auto [code, value] : c.before) HardcopyOptionStore(code, value);
    HardcopyFileName() = Padded("out.dat");
    harness.Answer("dialog " + std::to_string(32000 + c.driver), c.script);
    WHardcopyOptions(1);  // inches
    EXPECT_EQ(WDialogStatusQuery(4), 1);
    for (auto [code, value] : c.after) EXPECT_EQ(HardcopyOption(code), value) << code;
  }
}

TEST_F(HardcopyDialogsTest, FileDialogShowsLengthsInItsUnitAndSizesInPixels) {
  Select(kDriverCgm);
  HardcopyOptionStore(1, 756);
  HardcopyOptionStore(6, 2);
  harness.Call([] {
    EXPECT_EQ(Shown(1001), "10.50");
    EXPECT_EQ(Shown(1206), "Size (ins)");
    EXPECT_EQ(Chosen(1006), "Exchange black and white");
    Press(1);
  });
  WHardcopyOptions(1);
  EXPECT_EQ(HardcopyOption(1), 756);
  EXPECT_EQ(HardcopyOption(6), 2);

  Select(kDriverBitImage);
  harness.Call([] {
    EXPECT_EQ(Shown(1001), "540");  // pixels for this driver
    EXPECT_EQ(Shown(1206), "Size (pixels)");
    EXPECT_EQ(Chosen(1023), "8 (256 colours)");
    EXPECT_EQ(Chosen(1026), "PCX");
    Press(2);
  });
  HardcopyOptionStore(23, 8);
  HardcopyOptionStore(26, 0);
  WHardcopyOptions(3);
  EXPECT_EQ(WDialogStatusQuery(4), 0);
}

TEST_F(HardcopyDialogsTest, ImageTypeChangeGivesTheNameItsExtension) {
  Select(kDriverBitImage);
  HardcopyOptionStore(26, 0);
  HardcopyFileName() = Padded("pics/plot.pcx");
  harness.Answer("dialog 32006", "1026=PNG\npress 1");
  WHardcopyOptions(2);
  EXPECT_EQ(HardcopyOption(26), 3);
  EXPECT_EQ(HardcopyFileName(), Padded("pics/plot.png"));
}

TEST_F(HardcopyDialogsTest, MetafileGoesToTheClipboardWithABlankName) {
  Select(kDriverWindowsMetafile);
  HardcopyFileName() = Padded("pic.wmf");
  harness.Call([] {
    EXPECT_TRUE(Checked(1211));
    plat::ButtonClick(Field(1210));
    Press(1);
  });
  WHardcopyOptions(2);
  EXPECT_EQ(HardcopyFileName(), Padded(""));
  harness.Call([] {
    EXPECT_TRUE(Checked(1210));
    Press(2);
  });
  WHardcopyOptions(2);
}

TEST_F(HardcopyDialogsTest, FileDialogCancelLeavesOptionsAndName) {
  Select(kDriverCgm);
  HardcopyOptionStore(28, 2);
  HardcopyFileName() = Padded("a.cgm");
  harness.Answer("dialog 32009", "1028=CGM font names\n1001=1\n1201=b.cgm\npress 2");
  WHardcopyOptions(2);
  EXPECT_EQ(WDialogStatusQuery(4), 0);
  EXPECT_EQ(HardcopyOption(28), 2);
  EXPECT_EQ(HardcopyOption(1), 540);
  EXPECT_EQ(HardcopyFileName(), Padded("a.cgm"));
}

TEST_F(HardcopyDialogsTest, NumericFieldsRefuseOutOfRangeNumbers) {
  struct Case {
    int dialog, field;
    std::string text;
  };
  Select(kDriverHpgl);
  const Case cases[] = {{32002, 1016, "300"}, {32002, 1016, "9"},  {32002, 1008, "0"},
                        {32001, 1021, "128"}, {32001, 1012, "99"}, {32012, 1009, "0"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const int before = HardcopyOption(c.field - 1000);
    // OK is refused while the number is out of range; Cancel then ends it.
    harness.Answer("dialog " + std::to_string(c.dialog),
                   std::to_string(c.field) + "=" + c.text + "\npress 1\npress 2");
    std::string name(1, ' ');
    HardcopyDialogFile(0, name, c.dialog, kHardcopyMoreOptions, false);
    EXPECT_EQ(WDialogStatusQuery(4), 0);
    EXPECT_EQ(HardcopyOption(c.field - 1000), before);
  }
}

TEST_F(HardcopyDialogsTest, NegativeUnitDisablesColourAndLineStyleFields) {
  Select(kDriverCgm);
  harness.Call([] {
    for (int field : {1006, 1009, 1010, 1011})
      EXPECT_EQ(WDialogFieldInfo(field, 6), kFieldDisabled) << field;
    EXPECT_EQ(WDialogFieldInfo(1028, 6), kFieldEnabled);
    EXPECT_EQ(Shown(1206), "Size (mm)");
    Press(1);
  });
  WHardcopyOptions(-3);
}

TEST_F(HardcopyDialogsTest, AbsentUnitFollowsTheLocale) {
  int system = 0;
  LocaleMeasureSystem(system);
  Select(kDriverHpgl);
  harness.Call([system] {
    EXPECT_EQ(Shown(1206), system == 1 ? "Size/Position (inches)" : "Size/Position (cm)");
    Press(2);
  });
  WHardcopyOptions();
}

TEST_F(HardcopyDialogsTest, MissingTemplateChangesNothing) {
  Select(kDriverCgm);
  DialogStatus().answer = 1;
  std::string name = "x.cgm";
  HardcopyDialogFile(0, name, 32007, kHardcopyFileOutput, false);
  EXPECT_EQ(LastError(), kErrNoTemplate);
  EXPECT_EQ(WDialogStatusQuery(4), 1);
  EXPECT_EQ(name, "x.cgm");
}

}  // namespace
}  // namespace tk::testing
