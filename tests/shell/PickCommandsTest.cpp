// The Pick menu's commands, Edit Pick Parameters, Select Wavelet and View
// Wavelet on a headless main window with the program's state (the wavelet
// is put into the selected wavelet directly, as the mouse would cut it).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/PickAll.h"
#include "display/TraceAxes.h"
#include "display/TracePlot.h"
#include "display/WaveletPicker.h"
#include "display/WaveletPlot.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/controls/Controls.h"
#include "platform/dialog/Dialog.h"
#include "platform/draw/Surface.h"
#include "platform/testing/Harness.h"
#include "platform/window/Window.h"
#include "shell/ChildWindows.h"
#include "shell/PickCommands.h"
#include "shell/PickDialogs.h"
#include "shell/Velloran.h"
#include "support/PenPlot.h"
#include "tests/shell/ProgramTestSupport.h"
#include "support/UserMessages.h"
#include "tools/sample/SampleShot.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/WindowTargets.h"

namespace {

using vel::Velloran;

class PickCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tk::GraphicsConnectWindows();
    tk::WindowStyleRecord style;
    style.width = 1000;
    style.height = 700;
    tk::WindowOpen(style);
    sup::PenPlotReset();
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
      messages.emplace_back(t);
    });
    app = std::make_unique<Velloran>();
  }
  void TearDown() override {
    sup::SetUserMessageHook({});
    tk::WindowShutdown();
    tk::ResetToolkitForTesting();
  }

  /// The sample shot, loaded, scaled and drawn, every trace with pick 3 as
  /// if set by hand.
  void Load(float sampleInterval = 0.25f, int samples = 512) {
    sample_shot::Model m;
    m.sampleInterval = sampleInterval;
    m.samples = samples;
    sample_shot::Make(app->record, m);
    std::fill(app->record.IBPICK.begin(), app->record.IBPICK.end(), 3);
    app->loaded = true;
    // The pointer over the main window, where the cursor shows.
    harness.MouseMove(tk::WindowClientHandle(tk::kMainWindow), {5, 5});
    harness.DispatchPending();
    vel::SCALETRACES(app->record, app->MainPlotAxes, app->options, false);
    Redraw();
  }
  void Redraw() {
    tk::WindowMakeCurrent(tk::kMainWindow);
    vel::RedrawRecord(app->record, app->MainPlotAxes, app->options, app->tracePlot);
  }
  /// A wavelet of N samples cut from trace 10 at sample 100.
  void SelectWavelet(int n) {
    vel::SelectedWavelet& w = app->picking.wavelet;
    const auto t = vel::Trace(app->record, 10);
    w.samples.assign(t.begin() + 99, t.begin() + 99 + n);
    w.count = n;
    w.sampleInterval = app->record.SAMPINT;
    w.selected = true;
    vel::SCALEWAVE(w.samples, w.sampleInterval, w.count, app->picking.waveletAxes);
  }
  std::vector<plat::Pixel> MainPixels() {
    plat::FlushDrawing();
    const plat::Hwnd frame = tk::WindowFrameHandle(tk::kMainWindow);
    const plat::Hwnd client = tk::WindowClientHandle(tk::kMainWindow);
    const plat::Surface* shown = harness.Shown(frame);
    std::vector<plat::Pixel> out;
    if (shown == nullptr) return out;
    const plat::Rect r = plat::GetClientRect(client);
    const plat::Point o = plat::ScreenToClient(frame, plat::ClientToScreen(client, {0, 0}));
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) out.push_back(shown->Get(o.x + x, o.y + y));
    return out;
  }
  std::vector<plat::CursorShape> CursorChanges() {
    const plat::NativeWindow native =
        plat::GetNativeWindow(tk::WindowFrameHandle(tk::kMainWindow));
    return harness.Backend().Window(native)->cursorChanges;
  }
  /// While the dialog shown waits: FN runs on dialog 106, then button ID.
  void OnPickDialog(std::function<void()> fn, int button) {
    harness.Pause(10).Call([fn = std::move(fn), button] {
      tk::WDialogSelect(vel::kPickParametersDialog);
      if (fn) fn();
      tk::WDialogSelect(vel::kPickParametersDialog);
      plat::ButtonClick(plat::DialogItem(tk::CurrentDialog()->hwnd, button));
    });
    harness.MouseMove(tk::WindowClientHandle(0), {1, 1});
    harness.MouseMove(tk::WindowClientHandle(0), {2, 2});
  }
  static std::string PageText(int page, int field) {
    tk::WDialogSelect(page);
    return plat::GetWindowText(plat::DialogItem(tk::CurrentDialog()->hwnd, field));
  }
  static void SetPageText(int page, int field, const std::string& text) {
    tk::WDialogSelect(page);
    const plat::Hwnd h = plat::DialogItem(tk::CurrentDialog()->hwnd, field);
    plat::SetWindowText(h, text);  // as typed: the text counts as edited
    plat::EditSetModify(h, true);
  }
  /// The picks METHOD gives on the record as it stands.
  std::vector<std::int32_t> ExpectedPicks(std::int32_t method) {
    vel::ShotRecord copy = app->record;
    vel::PickingState state = app->picking;
    state.pulseSamples = method == vel::kPickWavelet
                             ? vel::WaveletPulseSamples(state.wavelet.count)
                             : vel::SimplePulseSamples(state.parameters.simple.SVPULSE,
                                                       copy.SAMPINT);
    state.correlation.assign(static_cast<std::size_t>(copy.NSAMP), 0.0f);
    vel::PickTraces(copy, state, method);
    return copy.IBPICK;
  }

  plat::testing::Harness harness{{1920, 1080}};
  std::unique_ptr<Velloran> app;
  std::vector<std::string> messages;
};

TEST_F(PickCommandsTest, FailureMessagesTable) {
  struct Case {
    const char* name;
    bool loaded;
    vel::CommandHandler command;
    const char* dialogAnswer;  // for dialog 106, or nullptr
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"simple, nothing loaded", false, vel::SimplePickCommand, nullptr, {"PLEASE LOAD TRACES FIRST"}},
      {"Hatherly, nothing loaded", false, vel::HatherlyPickCommand, nullptr,
       {"PLEASE LOAD TRACES FIRST"}},
      {"box, nothing loaded", false, vel::BoxPickCommand, nullptr, {"PLEASE LOAD TRACES FIRST"}},
      {"wavelet, nothing loaded", false, vel::WaveletPickCommand, nullptr,
       {"Please load traces first"}},
      {"wavelet, no wavelet", true, vel::WaveletPickCommand, nullptr,
       {"Please select wavelet first"}},
      {"view, no wavelet", false, vel::ViewWaveletCommand, nullptr,
       {"Please select wavelet first"}},
      {"parameters OK, nothing loaded", false, vel::EditPickParametersCommand, "press 1",
       {"Cannot pick without traces loaded"}},
      {"repick, nothing loaded", false, vel::EditPickParametersCommand, "press 1037",
       {"Cannot pick without traces loaded"}},
      {"parameters cancelled, nothing loaded", false, vel::EditPickParametersCommand, "press 2",
       {}},
      {"select wavelet, nothing loaded", false, vel::SelectWaveletCommand, nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app = std::make_unique<Velloran>();
    if (c.loaded) Load();
    const std::vector<std::int32_t> picks = app->record.IBPICK;
    messages.clear();
    if (c.dialogAnswer != nullptr) harness.Answer("dialog 106", c.dialogAnswer);
    c.command(*app);
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(app->record.IBPICK, picks);
    EXPECT_LT(app->waveletWindow, 1);
    EXPECT_FALSE(app->picking.waveletSelection);
  }
}

TEST_F(PickCommandsTest, PickCommandsReplaceEveryPickAndLeaveTheFreshPicture) {
  const struct {
    vel::CommandHandler command;
    std::int32_t method;
  } cases[] = {{vel::SimplePickCommand, vel::kPickSimple},
               {vel::HatherlyPickCommand, vel::kPickHatherly},
               {vel::BoxPickCommand, vel::kPickBox},
               {vel::WaveletPickCommand, vel::kPickWavelet}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method);
    app = std::make_unique<Velloran>();
    Load();
    SelectWavelet(40);
    const std::vector<plat::Pixel> handPicks = MainPixels();
    const std::vector<std::int32_t> want = ExpectedPicks(c.method);
    ASSERT_NE(want, app->record.IBPICK);
    app->record.LPICKS = false;
    const std::size_t cursorsBefore = CursorChanges().size();
    c.command(*app);
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_EQ(app->record.IBPICK, want);  // hand picks included, 0 and -1 stored
    EXPECT_TRUE(app->record.LPICKS);
    std::vector<plat::CursorShape> cursors = CursorChanges();
    cursors.erase(cursors.begin(), cursors.begin() + static_cast<std::ptrdiff_t>(cursorsBefore));
    EXPECT_EQ(cursors, (std::vector<plat::CursorShape>{plat::CursorShape::ArrowHourglass,
                                                       plat::CursorShape::Arrow}));
    const std::vector<plat::Pixel> afterPick = MainPixels();
    EXPECT_NE(afterPick, handPicks);
    Redraw();
    EXPECT_EQ(MainPixels(), afterPick) << "the exclusive-or erase and redraw left stray pixels";
  }
}

TEST_F(PickCommandsTest, PulseWidthsForTheSimpleAndWaveletPickers) {
  Load(2.0f, 256);
  vel::SimplePickCommand(*app);
  EXPECT_EQ(app->picking.pulseSamples, 3);  // NINT(1.5) = 2, raised to 3
  Load(0.25f, 512);
  vel::SimplePickCommand(*app);
  EXPECT_EQ(app->picking.pulseSamples, 12);
  for (const auto& [count, np] : {std::pair{17, 5}, std::pair{8, 3}}) {
    SelectWavelet(count);
    vel::WaveletPickCommand(*app);
    EXPECT_EQ(app->picking.pulseSamples, np) << count;
    EXPECT_EQ(app->picking.correlation.size(), 512u);
  }
}

TEST_F(PickCommandsTest, EditPickParametersShowsOkCancelAndRepickNow) {
  Load();
  const std::vector<std::int32_t> handPicks = app->record.IBPICK;
  std::vector<std::string> shown;
  // The initial values, then OK after an edit on the Hatherly page: the
  // parameters change, the picks do not, and the page is remembered.
  OnPickDialog(
      [&] {
        shown = {PageText(103, 1025), PageText(103, 1026), PageText(104, 1028),
                 PageText(109, 1060), PageText(109, 1059), PageText(109, 1061)};
        SetPageText(104, 1028, "2.5");
        tk::WDialogSelect(vel::kPickParametersDialog);
        tk::WDialogSetTab(vel::kPickParametersTab, vel::kHatherlyPage);
      },
      1);
  vel::EditPickParametersCommand(*app);
  ASSERT_EQ(shown.size(), 6u);
  EXPECT_EQ(shown[0], "4.30");
  EXPECT_EQ(shown[1], "3.30");
  EXPECT_EQ(shown[2], "1.9100");
  EXPECT_FLOAT_EQ(std::stof(shown[3]), 400.0f);
  EXPECT_FLOAT_EQ(std::stof(shown[4]), 10.0f);
  EXPECT_FLOAT_EQ(std::stof(shown[5]), 5.0f);
  EXPECT_FLOAT_EQ(app->picking.parameters.hatherly.HLYNOISE, 0.025f);
  EXPECT_EQ(app->picking.method, vel::kPickNone);
  EXPECT_EQ(app->picking.parameterPage, vel::kHatherlyPage);
  EXPECT_EQ(app->record.IBPICK, handPicks);
  EXPECT_TRUE(messages.empty());

  // Cancel after an edit and a page change: nothing changes, the page
  // remembered stays.
  std::int32_t openedOn = 0;
  OnPickDialog(
      [&] {
        tk::WDialogGetTab(vel::kPickParametersTab, openedOn);
        SetPageText(105, 1029, "99");
        tk::WDialogSelect(vel::kPickParametersDialog);
        tk::WDialogSetTab(vel::kPickParametersTab, vel::kBoxPage);
      },
      2);
  const vel::PickParameters before = app->picking.parameters;
  vel::EditPickParametersCommand(*app);
  EXPECT_EQ(openedOn, vel::kHatherlyPage);
  EXPECT_EQ(app->picking.parameters.box.BXPERMIN, before.box.BXPERMIN);
  EXPECT_EQ(app->picking.parameterPage, vel::kHatherlyPage);
  EXPECT_EQ(app->record.IBPICK, handPicks);

  // Repick Now on the Hatherly page repicks with the Hatherly picker.
  const std::vector<std::int32_t> want = ExpectedPicks(vel::kPickHatherly);
  harness.Answer("dialog 106", "press 1037");
  vel::EditPickParametersCommand(*app);
  EXPECT_EQ(app->picking.method, vel::kPickHatherly);
  EXPECT_EQ(app->record.IBPICK, want);
  EXPECT_NE(app->record.IBPICK, handPicks);

  // Repick Now on the wavelet page (remembered from before) without a wavelet.
  app->picking.parameterPage = vel::kWaveletPage;
  harness.Answer("dialog 106", "press 1037");
  vel::EditPickParametersCommand(*app);
  EXPECT_EQ(messages, std::vector<std::string>{"Please select wavelet first"});
  EXPECT_EQ(app->record.IBPICK, want);
}

TEST_F(PickCommandsTest, BlankFieldsAreStoredAsTheUndefinedValue) {
  vel::PickParameters pars;
  std::int32_t method = 7, status = 7, page = vel::kBoxPage;
  OnPickDialog(
      [] {
        SetPageText(103, 1025, "");
        SetPageText(105, 1029, "");
        SetPageText(105, 1032, "");
        tk::WDialogSelect(105);
        tk::WDialogPutCheckBox(1034, 0);
      },
      vel::kRepickNowButton);
  vel::PARMPK(pars, method, status, page);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(method, vel::kPickBox);
  EXPECT_FLOAT_EQ(pars.simple.SVMININC, -9.99f);
  EXPECT_FLOAT_EQ(pars.box.BXPERMIN, -999.0f);
  EXPECT_EQ(pars.box.IBXMAXIMA, -999);
  EXPECT_FALSE(pars.box.LBXPOWER);
  EXPECT_TRUE(pars.box.LBXAVERAGE);
  EXPECT_FLOAT_EQ(pars.box.BXPERMAX, 15.0f);
  EXPECT_FLOAT_EQ(pars.wavelet.WVGROWTH, 4.0f);
}

TEST_F(PickCommandsTest, SelectWaveletStartsTheSelectionWithZoomOff) {
  Load();
  app->settings.LZOOM = true;
  vel::SelectWaveletCommand(*app);
  EXPECT_EQ(messages, std::vector<std::string>{
                          "To select wavelet:\r\n\r\n1. Hold left button and drag Mouse to place "
                          "elastic box around wavelet to select.\r\n2. Release mouse button to "
                          "view selected wavelet.\r\nNow you can use Wavelet Pick, print wavelet "
                          "or write Wavelet."});
  EXPECT_TRUE(app->picking.waveletSelection);
  EXPECT_TRUE(app->picking.savedZoom);
  EXPECT_FALSE(app->settings.LZOOM);
}

TEST_F(PickCommandsTest, ViewWaveletOpensTheWaveletWindowAndClosingKeepsItsPlace) {
  Load();
  SelectWavelet(40);
  app->settings.waveletWindow = {30, 40, 0, 0, 1};
  vel::ViewWaveletCommand(*app);
  const int n = app->waveletWindow;
  ASSERT_GT(n, 0);
  EXPECT_EQ(tk::CurrentWindow(), n);
  EXPECT_EQ(app->settings.waveletWindow.width, 200);  // raised and remembered
  EXPECT_EQ(app->settings.waveletWindow.height, 200);
  EXPECT_EQ(tk::WindowQuery(1), 200);
  EXPECT_EQ(plat::GetWindowText(tk::WindowFrameHandle(n)), "Ruduvi Daved Uvozaro");
  EXPECT_EQ(plat::StatusBarGetParts(tk::WindowStatusBarHandle(n)).size(), 5u);
  const plat::Hwnd toolbar = tk::WindowToolbarHandle(n, 1);
  ASSERT_NE(toolbar, plat::kNoWindow);
  std::vector<int> buttons;
  for (int i = 0; i < plat::ToolbarButtonCount(toolbar); ++i)
    if (const auto b = plat::ToolbarGetButton(toolbar, i); b && b->command != 0)
      buttons.push_back(b->command);
  EXPECT_EQ(buttons, (std::vector<int>{40101, 40068, 40046}));
  EXPECT_EQ(tk::WMenuGetState(40068, 1), 1);  // the wavelet menu's Save to File

  // A second View clears and redraws the same window.
  vel::ViewWaveletCommand(*app);
  EXPECT_EQ(app->waveletWindow, n);

  // Closing while maximised keeps the old place and records the state.
  tk::WindowMakeCurrent(n);
  tk::WindowReposition(std::nullopt, std::nullopt, std::nullopt, std::nullopt, tk::kShowMaximised);
  vel::CLOSEWAVEWIND(*app);
  EXPECT_EQ(app->waveletWindow, -1);
  EXPECT_FALSE(tk::WindowSlotInUse(n));
  EXPECT_EQ(app->settings.waveletWindow.x, 30);
  EXPECT_EQ(app->settings.waveletWindow.width, 200);
  EXPECT_EQ(app->settings.waveletWindow.state, tk::kShowMaximised);
  vel::CLOSEWAVEWIND(*app);  // closed: nothing happens
  EXPECT_EQ(app->waveletWindow, -1);
}

}  // namespace

namespace {

namespace fs = std::filesystem;

// The whole program, its loop dispatching the commands from the menu table.
class PickCommandsProgramTest : public program_test::ProgramTest {};

TEST_F(PickCommandsProgramTest, TheMenuCommandsReachTheirHandlers) {
  const fs::path shot = dir_ / "shot.sg2";
  std::string why;
  ASSERT_TRUE(sample_shot::Write(shot.string(), why)) << why;
  // The writer takes the message hook for itself and clears it after.
  sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view text) {
    messages_.emplace_back(text);
  });
  Choose(shot);
  Choose(dir_ / "boxed.trx");
  Run({[] { Post(vel::kCommandWaveletPick); },  // nothing loaded yet
       [] { Post(vel::kCommandImport); },
       [] { Post(vel::kCommandWaveletPick); },
       [] { Post(vel::kCommandViewWavelet); },
       [] { Post(vel::kCommandBoxPick); },
       [] { Post(vel::kCommandSaveAs); }});
  EXPECT_EQ(messages_, (std::vector<std::string>{"Please load traces first",
                                                 "Please select wavelet first",
                                                 "Please select wavelet first"}));
  vel::ShotRecord want = program_test::Imported(shot);
  vel::PickingState state;
  vel::PickTraces(want, state, vel::kPickBox);
  const vel::TrxContents saved = program_test::Decode(dir_ / "boxed.trx");
  EXPECT_EQ(saved.record.IBPICK, want.IBPICK);
  EXPECT_TRUE(saved.record.LPICKS);
}

}  // namespace
