#pragma once
// A headless main window like the program's (menu 30001, a status bar of
// five parts) for the tools with windows of their own, with the messages the
// tools show collected.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/WindowTargets.h"

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

  std::vector<std::string> messages;
};

}  // namespace tool_window_test
