// The refraction window in the shell (opening at its place, redraws without
// a new search, fresh splits after picking, closing, imports), and the
// commands of the child windows and the Help menu: Close, the refraction
// results file, the wavelet file, Print, Contents and About.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "display/PickFiles.h"
#include "display/Refraction.h"
#include "formats/Seg2Out.h"
#include "display/TracePlot.h"
#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "resources/ResourceFormat.h"
#include "shell/ChildWindows.h"
#include "shell/EditCommands.h"
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
    vel::ShowNewRecord(app->record, app->MainPlotAxes, app->options, app->tracePlot);
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

TEST_F(WindowCommandsTest, WaveletWindowOpensAtItsDefaultPlaceWithAStatusBarOfItsOwn) {
  const vel::WindowPlacement place = app->settings.waveletWindow;
  EXPECT_EQ(place.x, tk::NearestInt(0.05 * tk::WDisplayQuery(1)));
  EXPECT_EQ(place.y, -1);
  EXPECT_EQ(place.width, tk::NearestInt(0.4 * tk::WDisplayQuery(1)));
  EXPECT_EQ(place.height, tk::NearestInt(0.4 * tk::WDisplayQuery(2)));

  // The main window's read-out, then the wavelet window over it.
  tk::EventRecord move;
  move.window = tk::kMainWindow;
  move.x = 5000;
  move.y = 5000;
  vel::HandleEvent(*app, kEventMouseMove, move);
  const auto status = [](int window, int part) {
    return plat::StatusBarGetText(tk::WindowStatusBarHandle(window), part - 1);
  };
  const std::string mainTrace = status(tk::kMainWindow, 1);
  ASSERT_NE(mainTrace.find("Trace:"), std::string::npos) << mainTrace;

  vel::WINDOWWV(*app);
  const int n = app->waveletWindow;
  ASSERT_GT(n, 0);
  EXPECT_TRUE(messages.empty()) << messages.front();
  // At 5 % of the screen's width, centred vertically, 40 % of the screen:
  // clear of the main window's menus at the top left.
  const plat::Rect frame = plat::GetWindowRect(tk::WindowFrameHandle(n));
  EXPECT_EQ(frame.left, place.x);
  EXPECT_LE(std::abs((frame.top + frame.bottom) / 2 - tk::WDisplayQuery(2) / 2), 1);
  tk::WindowMakeCurrent(n);
  EXPECT_EQ(tk::WindowQuery(1), place.width);

  // Moves over the wavelet window and commands run while it is current
  // leave its status bar empty and the main window's read-out in place.
  move.window = n;
  vel::HandleEvent(*app, kEventMouseMove, move);
  tk::WindowMakeCurrent(n);
  Dispatch(vel::kCommandKillTrace, n);
  for (int part = 1; part <= 5; ++part) EXPECT_EQ(status(n, part), "") << part;
  EXPECT_EQ(status(tk::kMainWindow, 1), mainTrace);

  // Closing remembers the place it had.
  vel::CLOSEWAVEWIND(*app);
  EXPECT_EQ(app->settings.waveletWindow.x, place.x);
  EXPECT_EQ(app->settings.waveletWindow.y, frame.top);
}

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

// Text on the main window keeps its size after the child windows have been
// shown, resized and closed: the record drawn again is the same picture,
// pixel for pixel, as before any child window was opened.
TEST_F(WindowCommandsTest, TheMainWindowsTextKeepsItsSizeAfterChildWindows) {
  const std::vector<plat::Pixel> fresh = Pixels(tk::kMainWindow);
  ASSERT_FALSE(fresh.empty());
  // The refraction window, made smaller while current.
  Dispatch(vel::kCommandRefractionFlat);
  const int r = app->refractionWindow;
  ASSERT_GT(r, 0);
  tk::WindowMakeCurrent(r);
  tk::WindowReposition(240, 170);
  Event(kEventResize, r);
  Dispatch(vel::kCommandClose, r);
  ASSERT_EQ(app->refractionWindow, -1);
  // The wavelet window, moved and made smaller.
  app->picking.wavelet = {{1.0f, -2.5f, 0.125f, 0.5f}, 4, 0.5f, false, false, true};
  vel::WINDOWWV(*app);
  const int w = app->waveletWindow;
  ASSERT_GT(w, 0);
  vel::RedrawWaveletWindow(*app);
  tk::WindowMakeCurrent(w);
  tk::WindowReposition(210, 205, 30, 40);
  Event(kEventResize, w);
  Event(kEventExpose, w);
  vel::CLOSEWAVEWIND(*app);
  // The main window drawn again.
  tk::WindowMakeCurrent(tk::kMainWindow);
  Event(kEventExpose, tk::kMainWindow);
  const std::vector<plat::Pixel> again = Pixels(tk::kMainWindow);
  ASSERT_EQ(again.size(), fresh.size());
  long differ = 0;
  for (std::size_t i = 0; i < fresh.size(); ++i) differ += fresh[i] != again[i];
  EXPECT_EQ(differ, 0);
}

// An expose of the main window with nothing loaded starts the page: what was
// drawn before is cleared, and nothing is plotted.
TEST_F(WindowCommandsTest, AnExposeWithNothingLoadedClearsTheMainWindow) {
  const auto drawn = Pixels(tk::kMainWindow);
  ASSERT_FALSE(drawn.empty());
  ASSERT_NE(std::adjacent_find(drawn.begin(), drawn.end(), std::not_equal_to<>()), drawn.end())
      << "the record is drawn";
  app->loaded = false;
  Event(kEventExpose, tk::kMainWindow);
  const auto cleared = Pixels(tk::kMainWindow);
  ASSERT_FALSE(cleared.empty());
  EXPECT_EQ(std::adjacent_find(cleared.begin(), cleared.end(), std::not_equal_to<>()),
            cleared.end())
      << "one colour all over";
  app->loaded = true;
}

// With the refraction window open, a pick command chooses the split afresh
// from the new picks; "Repick Now" of the picking dialog repicks without
// touching the refraction window.
TEST_F(WindowCommandsTest, RepickNowLeavesTheRefractionWindowAsItWas) {
  Dispatch(vel::kCommandRefractionFlat);
  ASSERT_GT(app->refractionWindow, 0);
  const vel::RefractionResult marked{2, 1.0f, 2.0f, 3.0f, 4.0f};
  app->refraction = marked;
  harness.Answer("dialog 106", "press 1037");
  vel::EditPickParametersCommand(*app);
  EXPECT_NE(app->picking.method, vel::kPickNone);
  EXPECT_EQ(app->refraction.directCount, marked.directCount);
  EXPECT_EQ(app->refraction.v1, marked.v1);
  EXPECT_EQ(app->refraction.depth, marked.depth);
  Dispatch(vel::kCommandSimplePick);
  EXPECT_GT(app->refraction.directCount, 2);
}

// Picks a file may hold beyond the trace (and below 1) are drawn, exported
// and interpreted without harm.
TEST_F(WindowCommandsTest, PicksBeyondTheTraceAreTakenSafely) {
  vel::ShotRecord& rec = app->record;
  rec.IBPICK[0] = rec.NSAMP + 50;
  rec.IBPICK[1] = -5;
  rec.IBPICK[2] = 1 << 30;
  rec.LPICKS = true;
  app->options.LPLOTPICKS = true;
  vel::ShowNewRecord(rec, app->MainPlotAxes, app->options);
  Dispatch(vel::kCommandRefractionFlat);
  EXPECT_GT(app->refractionWindow, 0);
  Event(kEventExpose, tk::kMainWindow);
  testing_support::TempDir dir;
  int ierr = 0;
  vel::PICKOUT(rec, (dir / "p.pck").string(), app->settings.pickExport, ierr);
  EXPECT_EQ(ierr, 0);
  // A break time too long for its SEG-2 field is refused with the writer's
  // message; one a little beyond the trace is written.
  vel::SEG2OUT(rec, (dir / "p.sg2").string(), false, 1, true, 0, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(messages.back(), "SEG2OUT - ERROR FORMATTING NUMBER");
  rec.IBPICK[2] = rec.NSAMP * 2;
  vel::SEG2OUT(rec, (dir / "p.sg2").string(), false, 1, true, 0, ierr);
  EXPECT_EQ(ierr, 0);
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
  EXPECT_EQ(vel::HelpFilePath("/opt/v.1/velloran"), fs::path("/opt/v.1/velloran.html"));
  EXPECT_EQ(vel::HelpFilePath("/opt/bin/VELLORAN.exe"), fs::path("/opt/bin/VELLORAN.html"));
  // Beside the program's own file (the test program here), under its name.
  std::string own(256, ' ');
  tk::IOsCommandArg(0, own);
  const fs::path program(own.substr(0, own.find_last_not_of(' ') + 1));
  const fs::path help = vel::HelpFilePath(program);
  const fs::path lower = help.parent_path() / (help.stem().string() + ".HTML");
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

// The help the build installs beside the program: found by Help > Contents
// under the program's name, and speaking of every command of the menus (by
// its caption and its help text) and of every dialog (by its caption).
TEST_F(WindowCommandsTest, TheInstalledHelpCoversEveryCommandAndDialog) {
  const fs::path program(VELLORAN_EXE);
  const fs::path help = vel::HelpFilePath(program);
  EXPECT_EQ(help, program.parent_path() / "velloran.html");
  ASSERT_TRUE(fs::is_regular_file(help)) << help;
  const std::string text = testing_support::ReadFile(help);
  // The page's own spelling of a resource text: mnemonics dropped, "&" as
  // the entity HTML writes, runs of blanks as one.
  const auto inHtml = [](std::string t) {
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (t[i] == '&' && i + 1 < t.size() && t[i + 1] != ' ') continue;
      if (t[i] == '&') {
        out += "&amp;";
        continue;
      }
      if (t[i] == ' ' && !out.empty() && out.back() == ' ') continue;
      out += t[i];
    }
    return out;
  };
  // The page's text with line breaks and runs of blanks as one blank.
  std::string flat;
  for (const char c : text) {
    const char d = c == '\n' ? ' ' : c;
    if (d == ' ' && !flat.empty() && flat.back() == ' ') continue;
    flat += d;
  }
  const res::ResourceSet& set = res::ProgramResources();
  std::vector<std::string> missing;
  const auto expect = [&](const std::string& what) {
    if (!what.empty() && flat.find(what) == std::string::npos) missing.push_back(what);
  };
  // Menu 30009 is loaded by nothing; 30005-30007 are the filter tools'.
  for (const int id : {30001, 30002, 30003, 30004, 30005, 30006, 30008, 30010}) {
    const res::Menu* menu = set.FindMenu(id);
    ASSERT_NE(menu, nullptr) << id;
    std::vector<const res::MenuItem*> items;
    for (const res::MenuItem& item : menu->items) items.push_back(&item);
    while (!items.empty()) {
      const res::MenuItem* item = items.back();
      items.pop_back();
      for (const res::MenuItem& inner : item->items) items.push_back(&inner);
      if (item->kind == res::MenuItem::Kind::Command) expect(inHtml(item->text));
    }
  }
  for (const res::HelpTexts& block : set.helpTexts)
    if (block.menuId != 30009)
      for (const res::HelpText& entry : block.entries) expect(inHtml(entry.text));
  for (const res::DialogTemplate& dialog : set.dialogs) expect(inHtml(dialog.caption));
  std::string list;
  for (const std::string& m : missing) list += "\n  " + m;
  EXPECT_TRUE(missing.empty()) << missing.size() << " texts missing:" << list;
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
