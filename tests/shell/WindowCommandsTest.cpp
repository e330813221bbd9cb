// The refraction window in the shell (opening at its place, redraws without
// a new search, fresh splits after picking, closing, imports), and the
// commands of the child windows and the Help menu: Close, the refraction
// results file, the wavelet file, Print, Contents and About.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "display/Refraction.h"
#include "display/TracePlot.h"
#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "shell/ChildWindows.h"
#include "shell/FileCommands.h"
#include "shell/PickCommands.h"
#include "shell/ProcessCommands.h"
#include "shell/Velloran.h"
#include "shell/WindowCommands.h"
#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "tests/toolkit/hardcopy/HardcopyTestSupport.h"
#include "tools/sample/SampleShot.h"
#include "display/WaveletPlot.h"
#include "toolkit/core/Help.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowTargets.h"

namespace {

namespace fs = std::filesystem;
using enum tk::EventType;
using tk::DriverOperation;

class WindowCommandsTest : public app_dialog_test::AppDialogTest {
 protected:
  void SetUp() override {
    before = fs::current_path();
    tk::GraphicsConnectWindows();
    tk::WindowStyleRecord style;
    style.flags = tk::kWsSystemMenu | tk::kWsStatusBar;
    style.width = 800;
    style.height = 600;
    style.menu = vel::kMainMenu;
    style.title = "Velloran test";
    tk::WindowOpen(style);
    tk::WMenu(vel::kMainMenu);
    sup::PenPlotReset();
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
      messages.emplace_back(t);
    });
    app = std::make_unique<vel::Velloran>();
    app->settings = vel::DefaultSettings(tk::WDisplayQuery(1), tk::WDisplayQuery(2));
    // The sample shot with each trace picked at its first arrival.
    sample_shot::Make(app->record);
    app->record.CRECNAME = "SHOT.01";
    for (std::int32_t j = 1; j <= app->record.NTRACE; ++j) {
      const double offset = std::fabs(app->record.SHOTX - app->record.GEOLOC[static_cast<std::size_t>(j - 1)]);
      app->record.IBPICK[static_cast<std::size_t>(j - 1)] = static_cast<std::int32_t>(
          std::lround(sample_shot::FirstArrival(model, offset) / app->record.SAMPINT));
    }
    app->loaded = true;
    tk::WindowMakeCurrent(tk::kMainWindow);
    vel::ShowNewRecord(app->record, app->MainPlotAxes, app->options);
  }
  void TearDown() override {
    vel::CloseRefractionResultsFile(*app);
    tk::SetDocumentOpener({});
    tk::SetCommandLineForTesting("");
    sup::SetUserMessageHook({});
    // The save dialogs keep the chosen folder as the current one.
    fs::current_path(before);
    AppDialogTest::TearDown();
  }

  void Dispatch(int command, int window = tk::kMainWindow) {
    app->eventWindow = window;
    vel::DispatchCommand(*app, command);
  }
  void Event(tk::EventType type, int window) {
    tk::EventRecord e;
    e.window = window;
    app->eventWindow = window;
    vel::HandleEvent(*app, static_cast<int>(type), e);
  }
  static std::string WindowTitle(int n) { return plat::GetWindowText(tk::WindowFrameHandle(n)); }
  static std::vector<plat::Pixel> Pixels(int n) {
    const auto binding = tk::Targets().peekWindow(n);
    if (!binding || binding->surface == nullptr) return {};
    const auto p = binding->surface->Pixels();
    return {p.begin(), p.end()};
  }

  fs::path before;
  sample_shot::Model model;
  std::unique_ptr<vel::Velloran> app;
  std::vector<std::string> messages;
};

TEST_F(WindowCommandsTest, RefractionWindowOpensRedrawsRefreshesAndCloses) {
  const vel::WindowPlacement place = app->settings.refractionWindow;
  EXPECT_EQ(place.x, tk::NearestInt(0.05 * tk::WDisplayQuery(1)));
  EXPECT_EQ(place.y, -1);
  EXPECT_EQ(place.width, tk::NearestInt(0.4 * tk::WDisplayQuery(1)));
  EXPECT_EQ(place.height, tk::NearestInt(0.4 * tk::WDisplayQuery(2)));

  Dispatch(vel::kCommandRefractionFlat);
  const int n = app->refractionWindow;
  ASSERT_GT(n, 0);
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(tk::CurrentWindow(), tk::kMainWindow);
  EXPECT_EQ(WindowTitle(n), vel::kRefractionTitle);
  // At 5 % of the screen's width, centred vertically, 40 % of the screen.
  const plat::Rect frame = plat::GetWindowRect(tk::WindowFrameHandle(n));
  EXPECT_EQ(frame.left, place.x);
  EXPECT_LE(std::abs((frame.top + frame.bottom) / 2 - tk::WDisplayQuery(2) / 2), 1);
  tk::WindowMakeCurrent(n);
  EXPECT_EQ(tk::WindowQuery(1), place.width);
  EXPECT_EQ(tk::WMenuGetState(vel::kCommandSaveRefraction, 1), 1);  // its own menu, 30004
  tk::WindowMakeCurrent(tk::kMainWindow);
  // The sample's model: 600 m/s over 2400 m/s.
  EXPECT_NEAR(app->refraction.v1, model.upperVelocity, 0.03 * model.upperVelocity);
  EXPECT_NEAR(app->refraction.v2, model.lowerVelocity, 0.03 * model.lowerVelocity);
  EXPECT_NEAR(app->refraction.depth, model.depth, 0.1 * model.depth);
  const vel::RefractionResult first = app->refraction;
  const auto picture = Pixels(n);
  EXPECT_FALSE(picture.empty());

  // An expose redraws with the stored split: no new search, though the
  // picks have moved.
  for (std::int32_t& p : app->record.IBPICK) p += 3;
  Event(kEventExpose, n);
  EXPECT_EQ(app->refraction.directCount, first.directCount);
  EXPECT_EQ(app->refraction.v1, first.v1);
  EXPECT_EQ(app->refraction.v2, first.v2);
  EXPECT_EQ(app->refraction.intercept, first.intercept);

  // A pick command searches again on the new picks.
  app->refraction = {2, 1.0f, 2.0f, 3.0f, 4.0f};
  Dispatch(vel::kCommandSimplePick);
  EXPECT_GT(app->refraction.directCount, 2);
  EXPECT_NEAR(app->refraction.v1, model.upperVelocity, 0.1 * model.upperVelocity);
  EXPECT_EQ(tk::CurrentWindow(), tk::kMainWindow);

  // Close from the main window or from a window that is not the program's
  // child does nothing; from the refraction window it closes and records
  // the place.
  Dispatch(vel::kCommandClose, tk::kMainWindow);
  Dispatch(vel::kCommandClose, 37);
  EXPECT_EQ(app->refractionWindow, n);
  app->settings.refractionWindow.width = 1;
  Dispatch(vel::kCommandClose, n);
  EXPECT_EQ(app->refractionWindow, -1);
  EXPECT_FALSE(tk::WindowSlotInUse(n));
  EXPECT_EQ(app->settings.refractionWindow.width, place.width);
  EXPECT_EQ(app->settings.refractionWindow.state, 1);

  // The close request of the window closes it too.
  Dispatch(vel::kCommandRefractionFlat);
  ASSERT_GT(app->refractionWindow, 0);
  Event(kEventClose, app->refractionWindow);
  EXPECT_EQ(app->refractionWindow, -1);
}

TEST_F(WindowCommandsTest, AClickPickRefreshesTheWindowAndAnImportClosesIt) {
  Dispatch(vel::kCommandRefractionFlat);
  ASSERT_GT(app->refractionWindow, 0);
  app->refraction = {2, 1.0f, 2.0f, 3.0f, 4.0f};
  // A click on trace 5 at 20 ms.
  const sup::GraphAxes& a = app->MainPlotAxes;
  const float pos = 5.0f;  // trace numbers across the frame
  const float t = 20.0f;
  tk::EventRecord e;
  e.window = tk::kMainWindow;
  e.value1 = 1;
  e.x = tk::NearestInt((a.XORIGIN + sup::PLOFX(pos, a)) * 1000.0);
  e.y = 10000 - tk::NearestInt((a.YORIGIN + sup::PLOFY(t, a)) * 1250.0);
  vel::HandleEvent(*app, kEventMouseMove, e);
  e.time = 0;
  vel::HandleEvent(*app, kEventButtonDown, e);
  e.time = 50;
  vel::HandleEvent(*app, kEventButtonUp, e);
  EXPECT_EQ(app->record.IBPICK[4], tk::NearestInt(t / app->record.SAMPINT));
  EXPECT_GT(app->refraction.directCount, 2);
  EXPECT_GT(app->refraction.v1, 100.0f);

  // Importing a record closes the window.
  testing_support::TempDir dir;
  std::string why;
  ASSERT_TRUE(sample_shot::Write((dir / "next.sg2").string(), why)) << why;
  harness.Answer("filedialog", (dir / "next.sg2").string());
  Dispatch(vel::kCommandImport);
  EXPECT_LE(app->refractionWindow, 0);
}

TEST_F(WindowCommandsTest, RefractionResultsFileKeepsItsHeaderOnceAndStaysOpen) {
  testing_support::TempDir dir;
  const fs::path file = dir / "refr.txt";
  app->refraction = {5, 600.0f, 2400.0f, 17.25f, 6.0f};
  harness.Answer("filedialog", file.string());
  Dispatch(vel::kCommandSaveRefraction, 3);
  Dispatch(vel::kCommandSaveRefraction, 3);  // no second question
  std::fflush(app->refractionResultsFile);
  const std::string header(vel::kRefractionResultsHeader);
  ASSERT_EQ(header.size(), 92u);
  const std::string line = "SHOT.01" + std::string(25, ' ') +
                           "    600.0000000   2400.0000000     17.2500000      6.0000000\r\n";
  EXPECT_EQ(testing_support::ReadFile(file), header + "\r\n" + line + line);
  // Close File; the next save asks again, the same file gets one more line.
  Dispatch(vel::kCommandCloseRefractionFile, 3);
  EXPECT_EQ(app->refractionResultsFile, nullptr);
  Dispatch(vel::kCommandCloseRefractionFile, 3);  // nothing open: nothing happens
  harness.Answer("filedialog", file.string());
  Dispatch(vel::kCommandSaveRefraction, 3);
  std::fflush(app->refractionResultsFile);
  EXPECT_EQ(testing_support::ReadFile(file), header + "\r\n" + line + line + line);
  EXPECT_TRUE(messages.empty());
}

TEST_F(WindowCommandsTest, ResultAndWaveletFilesThatCannotBeOpenedOrWritten) {
  testing_support::TempDir dir;
  // A name whose file cannot be made: a link into a folder that is not there.
  const fs::path missing = dir / "dangling.txt";
  fs::create_symlink(dir / "no" / "such.txt", missing);
  harness.Answer("filedialog", missing.string());
  Dispatch(vel::kCommandSaveRefraction, 3);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Cannot open file " + missing.string() +
                             std::string(256 - missing.string().size(), ' ') +
                             "Be sure file is not Read-Only");
  EXPECT_EQ(app->refractionResultsFile, nullptr);
  messages.clear();
  harness.Answer("filedialog", missing.string());
  Dispatch(vel::kCommandSaveWavelet, 4);
  EXPECT_EQ(messages, (std::vector<std::string>{"Cannot open file " + missing.string() +
                                                "Be sure file is not Read-Only"}));
  // A write that fails is told, and the results file closes so that the
  // next save asks again.
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const fs::path full = dir / "full.txt";
  fs::create_symlink("/dev/full", full);
  messages.clear();
  harness.Answer("filedialog", full.string());
  Dispatch(vel::kCommandSaveRefraction, 3);
  EXPECT_EQ(messages, (std::vector<std::string>{"Error writing to file " + full.string() +
                                                ": No space left on device"}));
  EXPECT_EQ(app->refractionResultsFile, nullptr);
  messages.clear();
  app->picking.wavelet = {{1.0f, 2.0f}, 2, 0.5f, false, false, true};
  harness.Answer("filedialog", full.string());
  Dispatch(vel::kCommandSaveWavelet, 4);
  EXPECT_EQ(messages, (std::vector<std::string>{"Error writing to file " + full.string() +
                                                ": No space left on device"}));
}

TEST_F(WindowCommandsTest, WaveletFileStepsByTheWaveletsOwnInterval) {
  EXPECT_EQ(vel::WaveletFileText(std::vector<float>{1.0f, -2.5f, 0.125f}, 3, 0.0f, 0.5f),
            "  5.00000E-01  1.00000E+00\r\n"
            "  1.00000E+00 -2.50000E+00\r\n"
            "  1.50000E+00  1.25000E-01\r\n");
  // Through the command: the record's interval has changed since the cut.
  testing_support::TempDir dir;
  app->picking.wavelet = {{1.0f, -2.5f, 0.125f}, 3, 0.5f, false, false, true};
  app->record.SAMPINT = 2.0f;
  app->record.TDELAY = 0.0f;
  harness.Answer("filedialog", (dir / "w").string());
  Dispatch(vel::kCommandSaveWavelet, 4);
  EXPECT_EQ(testing_support::ReadFile(dir / "w.TXT"), vel::WaveletFileText(app->picking.wavelet.samples, 3, 0.0f, 0.5f));
  // Cancelled: nothing written.
  harness.Answer("filedialog", "Cancel");
  Dispatch(vel::kCommandSaveWavelet, 4);
  EXPECT_EQ(fs::directory_iterator(dir.path())->path().filename(), "w.TXT");
}

TEST_F(WindowCommandsTest, HelpContentsLooksBesideTheProgramIgnoringTheExtensionsCase) {
  EXPECT_EQ(vel::HelpFilePath("/opt/v.1/velloran"), fs::path("/opt/v.1/velloran.HLP"));
  EXPECT_EQ(vel::HelpFilePath("/opt/bin/VELLORAN.exe"), fs::path("/opt/bin/VELLORAN.HLP"));
  // Beside the program's own file (the test program here), under its name.
  std::string own(256, ' ');
  tk::IOsCommandArg(0, own);
  const fs::path program(own.substr(0, own.find_last_not_of(' ') + 1));
  const fs::path help = vel::HelpFilePath(program);
  const fs::path lower = help.parent_path() / (help.stem().string() + ".hlp");
  ASSERT_FALSE(fs::exists(help) || fs::exists(lower));
  std::vector<std::string> opened;
  tk::SetDocumentOpener([&](const std::string& command) {
    opened.push_back(command);
    return 33;
  });
  Dispatch(vel::kCommandHelpContents);
  EXPECT_EQ(messages, (std::vector<std::string>{"HELP FILE NOT FOUND:\r\n" + help.string()}));
  EXPECT_TRUE(opened.empty());
  messages.clear();
  testing_support::WriteFile(lower, "help");
  Dispatch(vel::kCommandHelpContents);
  fs::remove(lower);
  EXPECT_TRUE(messages.empty());
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_NE(opened[0].find(lower.string()), std::string::npos) << opened[0];
}

TEST_F(WindowCommandsTest, AboutShowsItsDialogWithTheIconAndClosesOnOk) {
  // Loaded, the dialog's icon field holds the program's 32 x 32 icon.
  tk::WDialogLoad(vel::kAboutDialog);
  const tk::LoadedDialog* d = tk::CurrentDialog();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(plat::GetWindowText(d->hwnd), "About Velloran");
  int icons = 0;
  for (const plat::Hwnd h : plat::DialogControls(d->hwnd)) {
    if ((plat::GetStyle(h) & plat::kSsTypeMask) != plat::kSsIcon) continue;
    ++icons;
    const auto image = plat::StaticGetImage(h);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 32);
    EXPECT_EQ(image->Height(), 32);
  }
  EXPECT_EQ(icons, 1);
  tk::WDialogUnload();
  // The command shows it modal; OK closes it.
  harness.Answer("dialog " + std::to_string(vel::kAboutDialog), "press 1");
  Dispatch(vel::kCommandAbout);
  EXPECT_EQ(tk::WDialogStatusQuery(1), 1);
  EXPECT_FALSE(plat::IsWindowVisible(tk::CurrentDialog()->hwnd));
}

class PrintTest : public WindowCommandsTest {
 protected:
  void SetUp() override {
    WindowCommandsTest::SetUp();
    tk::StandHardcopyDriver(kDriver, &driver);
    tk::DriverParams().P1 = 0;
    tk::DriverParams().P2 = 0;
    tk::HardcopyDriverSelect(DriverOperation::Select, kDriver);
  }
  void TearDown() override {
    tk::StandHardcopyDriver(kDriver, nullptr);
    tk::HardcopyDriverSelect(DriverOperation::Select, tk::kDefaultHardcopyDriver);
    WindowCommandsTest::TearDown();
  }
  // Prints from WINDOW, the options dialog answered with BUTTON.
  void Print(int window, int button = 1) {
    driver.ops.clear();
    harness.Answer("dialog " + std::to_string(tk::kHardcopyDeviceDialog), "press " + std::to_string(button));
    Dispatch(vel::kCommandPrint, window);
  }
  int Count(DriverOperation op) const {
    int n = 0;
    for (const auto& r : driver.ops) n += r.op == op;
    return n;
  }
  // Pages begun (a begin with P2 <= 0 only tells the driver of a new size).
  int Pages() const {
    int n = 0;
    for (const auto& r : driver.ops) n += r.op == DriverOperation::BeginPicture && r.P2 > 0;
    return n;
  }
  static constexpr int kDriver = 2;
  tk::testing::RecordingDriver driver{kDriver};
};

TEST_F(PrintTest, EachWindowPrintsItsPictureAndTheScreenComesBack) {
  Dispatch(vel::kCommandRefractionFlat);
  ASSERT_GT(app->refractionWindow, 0);
  app->picking.wavelet = {{0.0f, 1.0f, -1.0f, 0.5f}, 4, 0.25f, false, false, true};
  vel::SCALEWAVE(app->picking.wavelet.samples, 0.25f, 4, app->picking.waveletAxes);
  vel::WINDOWWV(*app);
  ASSERT_GT(app->waveletWindow, 0);
  const vel::RefractionResult before = app->refraction;
  for (const int window : {tk::kMainWindow, app->refractionWindow, app->waveletWindow}) {
    SCOPED_TRACE(window);
    const auto screen = Pixels(tk::kMainWindow);
    Print(window);
    EXPECT_EQ(Pages(), 1);
    EXPECT_GT(Count(DriverOperation::Polyline) + Count(DriverOperation::Line), 10);
    EXPECT_EQ(Count(DriverOperation::EndOutput), 1);
    EXPECT_EQ(tk::Gs().hardcopyOn, 0);
    EXPECT_NE(tk::Gs().screenOn, 0);
    EXPECT_EQ(Pixels(tk::kMainWindow), screen);  // the screen is left alone
  }
  EXPECT_EQ(app->refraction.directCount, before.directCount);  // printed as shown
  EXPECT_TRUE(messages.empty());

  // The wavelet window without a selection: the message, an empty output.
  app->picking.wavelet.selected = false;
  Print(app->waveletWindow);
  EXPECT_EQ(messages, (std::vector<std::string>{"Please select wavelet first"}));
  EXPECT_EQ(Count(DriverOperation::Line) + Count(DriverOperation::Polyline), 0);
  // A cancelled options dialog prints nothing.
  Print(tk::kMainWindow, 2);
  EXPECT_EQ(Pages(), 0);
  EXPECT_EQ(Count(DriverOperation::Line) + Count(DriverOperation::Polyline), 0);
}

}  // namespace
