// Waiting on a backend that can always wait (as a display can): the wait
// lasts until the next timer is due, and drawn areas are shown before it.
#include <gtest/gtest.h>

#include <deque>

#include "platform/window/Window.h"

namespace plat {
namespace {

class WaitingBackend final : public Backend {
 public:
  std::vector<std::string> calls;
  std::deque<InputEvent> events;
  std::uint64_t now = 1000;

  std::string_view Name() const override { return "waiting"; }
  Size ScreenSize() const override { return {800, 600}; }
  NativeWindow CreateWindow(const Rect&, std::string_view) override { return 5; }
  void DestroyWindow(NativeWindow) override {}
  void ShowWindow(NativeWindow, bool) override {}
  void MoveWindow(NativeWindow, const Rect&) override {}
  void SetTitle(NativeWindow, std::string_view) override {}
  void Present(NativeWindow, const Surface&, const Rect& area) override {
    calls.push_back("present " + std::to_string(area.Width()) + "x" +
                    std::to_string(area.Height()));
  }
  bool NextEvent(InputEvent& out, int timeoutMs) override {
    calls.push_back("wait " + std::to_string(timeoutMs));
    if (timeoutMs == 0 || events.empty()) {
      if (timeoutMs > 0) now += static_cast<std::uint64_t>(timeoutMs);
      return false;
    }
    out = events.front();
    events.pop_front();
    return true;
  }
  bool CanWait() const override { return true; }
  std::uint64_t NowMs() override { return now; }
  Point CursorPos() const override { return {}; }
};

TEST(WaitTest, WaitsUntilTheNextTimerAfterShowingWhatWasDrawn) {
  auto owned = std::make_unique<WaitingBackend>();
  WaitingBackend* backend = owned.get();
  Init(std::move(owned));
  RegisterWindowClass({"Plain", DefWindowProc, 0, Rgb(0, 0, 0)});
  const Hwnd h =
      CreateWindow({.className = "Plain", .style = kStyleVisible, .rect = {0, 0, 30, 20}});
  SetTimer(h, 1, 40);
  InputEvent close;
  close.kind = InputEvent::Kind::Close;
  close.window = 5;
  backend->events.push_back(close);

  Message m;
  ASSERT_TRUE(GetMessage(m));  // Paint first
  DispatchMessage(m);
  ASSERT_TRUE(GetMessage(m));
  EXPECT_EQ(m.msg, Msg::Close);
  ASSERT_TRUE(GetMessage(m));
  EXPECT_EQ(m.msg, Msg::Timer);
  EXPECT_EQ(m.time, 1040u);
  EXPECT_EQ(backend->calls, (std::vector<std::string>{"wait 0", "wait 0", "present 30x20",
                                                      "wait 40", "wait 0", "wait 40", "wait 0"}));
  Discard();
}

}  // namespace
}  // namespace plat
