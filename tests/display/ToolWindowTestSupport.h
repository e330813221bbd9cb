#pragma once
// A headless main window like the program's (menu 30001, a status bar of
// five parts) for the tools with windows of their own, with the messages the
// tools show collected.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "tests/toolkit/hardcopy/HardcopyTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowTargets.h"
#include "toolkit/hardcopy/HardcopyOptions.h"

namespace tool_window_test {

class ToolWindowTest : public app_dialog_test::AppDialogTest {
 protected:
  void SetUp() override {
    tk::GraphicsConnectWindows();
    tk::WindowStyleRecord style;
    style.flags = tk::kWsSystemMenu | tk::kWsStatusBar;
    style.width = 800;
    style.height = 600;
    style.menu = 30001;
    style.title = "Velloran test";
    tk::WindowOpen(style);
    constexpr int kWidths[] = {1000, 1500, 1500, 1500, 5000};
    tk::WindowStatusParts(5, kWidths);
    sup::PenPlotReset();
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
      messages.emplace_back(t);
    });
  }
  void TearDown() override {
    sup::SetUserMessageHook({});
    AppDialogTest::TearDown();
  }

  // The pixels WINDOW shows on the headless screen; empty when it shows none.
  std::vector<plat::Pixel> Shown(int window) {
    const plat::Surface* s = harness.Shown(tk::WindowFrameHandle(window));
    return s != nullptr ? std::vector<plat::Pixel>(s->Pixels().begin(), s->Pixels().end())
                        : std::vector<plat::Pixel>{};
  }

  std::vector<plat::Pixel> MainPixels() { return Shown(tk::kMainWindow); }

  std::vector<std::string> messages;
};

// A recording driver standing in for the PostScript driver while it lives,
// and selected: what a tool's Print sends, with the hardcopy line width at
// each drawing operation.
class RecordedPrinter : public tk::testing::RecordingDriver {
 public:
  static constexpr int kDriver = 2;
  RecordedPrinter() : RecordingDriver(kDriver), keptReselect_(tk::HardcopyHooks().selectForReset) {
    // The graphics reset after printing reselects the driver as the toolkit's
    // start wires it, keeping the user's options or not.
    tk::HardcopyHooks().selectForReset = tk::HardcopySelectForReset;
    tk::StandHardcopyDriver(kDriver, this);
    tk::DriverParams().P1 = 0;
    tk::DriverParams().P2 = 0;
    tk::HardcopyDriverSelect(tk::DriverOperation::Select, kDriver);
  }
  ~RecordedPrinter() override {
    tk::StandHardcopyDriver(kDriver, nullptr);
    tk::HardcopyDriverSelect(tk::DriverOperation::Select, tk::kDefaultHardcopyDriver);
    tk::HardcopyHooks().selectForReset = keptReselect_;
  }
  RecordedPrinter(const RecordedPrinter&) = delete;
  RecordedPrinter& operator=(const RecordedPrinter&) = delete;

  void Draw(tk::DriverOperation op) override {
    drawnWidths.push_back(tk::Gs().hardcopyLineWidth);
    RecordingDriver::Draw(op);
  }
  // Pages begun, outputs ended and filled shapes drawn.
  int Pages() const { return Count([](const tk::testing::RecordedOp& r) { return r.op == tk::DriverOperation::BeginPicture && r.P2 > 0; }); }
  int Ends() const { return Count([](const tk::testing::RecordedOp& r) { return r.op == tk::DriverOperation::EndOutput; }); }
  int Fills() const {
    return Count([](const tk::testing::RecordedOp& r) {
      const int op = static_cast<int>(r.op);
      return op >= static_cast<int>(tk::DriverOperation::TrapeziumHalftone) &&
             op <= static_cast<int>(tk::DriverOperation::PolygonSolid);
    });
  }

  std::vector<int> drawnWidths;

 private:
  std::function<void(bool)> keptReselect_;

  template <class Test>
  int Count(Test test) const {
    int n = 0;
    for (const tk::testing::RecordedOp& r : ops) n += test(r) ? 1 : 0;
    return n;
  }
};

}  // namespace tool_window_test
