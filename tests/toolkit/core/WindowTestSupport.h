#pragma once
// A fresh headless window system with the toolkit's main window open.
#include <gtest/gtest.h>

#include "platform/testing/Harness.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Windows.h"

namespace tk::testing {

class ToolkitWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowStyleRecord style;
    style.x = 100;
    style.y = 50;
    style.width = 800;
    style.height = 600;
    style.title = "Velloran test   ";
    WindowOpen(style);
  }
  void TearDown() override { WindowShutdown(); }

  plat::Hwnd Client(int n) const { return WindowClientHandle(n); }
  plat::Hwnd Frame(int n) const { return WindowFrameHandle(n); }

  /// The next event of the real wait.
  std::pair<int, EventRecord> Wait() {
    int type = 0;
    EventRecord r;
    WEventWait(type, r);
    return {type, r};
  }

  plat::testing::Harness harness{{1920, 1080}};
};

}  // namespace tk::testing
