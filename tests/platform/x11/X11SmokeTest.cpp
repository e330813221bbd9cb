// The X11 backend on a real X server: each test starts a private Xvfb on a
// display it picks itself (-displayfd, so parallel tests never collide),
// opens windows there, reads the screen back with xwd and sends the events a
// window manager, keyboard and mouse would. Skipped when Xvfb or xwd is absent.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend/Backend.h"
#include "platform/backend/x11/X11TestHooks.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"

extern char** environ;

namespace {

using plat::InputEvent;
using Kind = InputEvent::Kind;
using Clock = std::chrono::steady_clock;
using testing_support::Child;
using testing_support::FindProgram;
using testing_support::Screenshot;
using testing_support::Xvfb;

constexpr int kWaitMs = 5000;

struct KeyCase {
  const char* keysym;
  unsigned modifiers;
  int virtualKey;           // 0: no KeyDown/KeyUp expected
  std::uint32_t character;  // 0: no Char expected
};

constexpr const char* kNoXvfb = "Xvfb or xwd is not on PATH: the real X11 window test is skipped";

class X11Smoke : public ::testing::Test {
 protected:
  /// Bits per pixel of the server's screen.
  virtual int ScreenDepth() const { return 24; }

  void SetUp() override {
    const std::string xvfb = FindProgram("Xvfb");
    xwd_ = FindProgram("xwd");
    if (xvfb.empty() || xwd_.empty()) GTEST_SKIP() << kNoXvfb;
    std::string why;
    ASSERT_TRUE(server_.Start(xvfb, ScreenDepth(), why)) << why;
    backend_ = plat::MakeX11Backend(server_.Display());
    ASSERT_NE(backend_, nullptr) << "cannot open " << server_.Display();
  }

  void TearDown() override {
    backend_.reset();
    server_.Stop();
  }

  const std::string& Display() const { return server_.Display(); }

  /// A shown window at AREA whose first Expose has arrived.
  plat::NativeWindow ShownWindow(const plat::Rect& area) {
    const plat::NativeWindow w = backend_->CreateWindow(area, "Velloran smoke test");
    EXPECT_NE(w, 0u);
    backend_->ShowWindow(w, true);
    EXPECT_TRUE(WaitFor(w, Kind::Expose)) << "no Expose after showing the window";
    return w;
  }

  /// The next event of window W of kind KIND, passing over others.
  std::optional<InputEvent> WaitFor(plat::NativeWindow w, Kind kind) {
    const auto end = Clock::now() + std::chrono::milliseconds(kWaitMs);
    InputEvent e;
    while (Clock::now() < end) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (!backend_->NextEvent(e, static_cast<int>(std::max<long long>(left, 1)))) break;
      if (e.window == w && e.kind == kind) return e;
    }
    return std::nullopt;
  }

  /// Events of window W up to and including the first of kind LAST.
  std::vector<InputEvent> EventsUntil(plat::NativeWindow w, Kind last) {
    std::vector<InputEvent> seen;
    const auto end = Clock::now() + std::chrono::milliseconds(kWaitMs);
    InputEvent e;
    while (Clock::now() < end && backend_->NextEvent(e, 200)) {
      if (e.window != w || e.kind == Kind::Expose || e.kind == Kind::FocusIn ||
          e.kind == Kind::FocusOut)
        continue;
      seen.push_back(e);
      if (e.kind == last) break;
    }
    return seen;
  }

  std::optional<Screenshot> TakeScreenshot() {
    Screenshot shot;
    std::string why;
    const bool ok = testing_support::TakeScreenshot(xwd_, Display(), shot, why);
    EXPECT_TRUE(ok) << why;
    if (!ok) return std::nullopt;
    return shot;
  }

  testing_support::TempDir dir_;
  std::string xwd_;
  Xvfb server_;
  std::unique_ptr<plat::Backend> backend_;
};

TEST(X11Backend, NoDisplayGivesNull) {
  EXPECT_EQ(plat::MakeX11Backend("unix:99999"), nullptr);
}

TEST_F(X11Smoke, ScreenSizeNameAndClock) {
  EXPECT_EQ(backend_->Name(), "x11");
  EXPECT_EQ(backend_->ScreenSize(), (plat::Size{800, 600}));
  EXPECT_TRUE(backend_->CanWait());
  const std::uint64_t t0 = backend_->NowMs();
  InputEvent e;
  EXPECT_FALSE(backend_->NextEvent(e, 50));  // nothing happens on an empty screen
  const std::uint64_t waited = backend_->NowMs() - t0;
  EXPECT_GE(waited, 45u);
  EXPECT_LT(waited, 2000u);
  backend_->Beep();
}

/// The same tests on screens of other depths: 15 and 16 bits (5 or 6 bits a
/// channel, two bytes a pixel), 24 bits and 30 bits (10 bits a channel).
class X11Depths : public X11Smoke, public ::testing::WithParamInterface<int> {
 protected:
  int ScreenDepth() const override { return GetParam(); }

  /// Whether GOT is how this screen shows WANT: exact when the screen keeps
  /// 8 bits a channel, within one step of 5 or 6 bits otherwise.
  testing::AssertionResult Shows(plat::Pixel got, plat::Pixel want) const {
    const int tolerance = GetParam() >= 24 ? 0 : 9;
    const int diffs[] = {plat::RedOf(got) - plat::RedOf(want),
                         plat::GreenOf(got) - plat::GreenOf(want),
                         plat::BlueOf(got) - plat::BlueOf(want)};
    for (int d : diffs)
      if (d > tolerance || d < -tolerance)
        return testing::AssertionFailure()
               << std::hex << "shows 0x" << got << " instead of 0x" << want;
    return testing::AssertionSuccess();
  }
};

INSTANTIATE_TEST_SUITE_P(Screens, X11Depths, testing::Values(15, 16, 24, 30));

TEST(X11Backend, RefusesAScreenWithoutTrueColour) {
  const std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << kNoXvfb;
  Xvfb server;
  std::string why;
  ASSERT_TRUE(server.Start(xvfb, 8, why)) << why;
  EXPECT_EQ(plat::MakeX11Backend(server.Display()), nullptr);
}

TEST_P(X11Depths, PresentShowsTheSurfaceOnScreen) {
  const plat::Rect area{100, 80, 300, 230};  // 200 x 150
  const plat::NativeWindow w = ShownWindow(area);
  struct Block {
    plat::Rect rect;
    plat::Pixel colour;
  };
  const plat::Pixel background = plat::Rgb(30, 30, 30);
  const Block blocks[] = {
      {{10, 10, 60, 50}, plat::Rgb(255, 0, 0)},
      {{70, 10, 120, 50}, plat::Rgb(0, 255, 0)},
      {{130, 10, 190, 50}, plat::Rgb(0, 0, 255)},
      {{10, 70, 190, 140}, plat::Rgb(0x12, 0x34, 0x56)},
  };
  plat::Surface surface(area.Width(), area.Height(), background);
  for (const Block& b : blocks)
    for (int y = b.rect.top; y < b.rect.bottom; ++y)
      for (int x = b.rect.left; x < b.rect.right; ++x) surface.Set(x, y, b.colour);
  backend_->Present(w, surface, surface.Bounds());
  ASSERT_TRUE(plat::x11test::Sync(*backend_));

  auto shot = TakeScreenshot();
  ASSERT_TRUE(shot);
  ASSERT_EQ(shot->width, 800);
  ASSERT_EQ(shot->height, 600);
  auto screen = [&](int x, int y) { return shot->At(area.left + x, area.top + y); };
  for (const Block& b : blocks) {
    SCOPED_TRACE(testing::Message() << "block at " << b.rect.left << "," << b.rect.top);
    const plat::Rect& r = b.rect;
    // Corners inside, the centre, and the pixels just outside each edge.
    EXPECT_TRUE(Shows(screen(r.left, r.top), b.colour));
    EXPECT_TRUE(Shows(screen(r.right - 1, r.bottom - 1), b.colour));
    EXPECT_TRUE(Shows(screen((r.left + r.right) / 2, (r.top + r.bottom) / 2), b.colour));
    EXPECT_TRUE(Shows(screen(r.left - 1, r.top), background));
    EXPECT_TRUE(Shows(screen(r.right, r.top), background));
    EXPECT_TRUE(Shows(screen(r.left, r.top - 1), background));
    EXPECT_TRUE(Shows(screen(r.left, r.bottom), background));
  }
  EXPECT_TRUE(Shows(screen(0, 0), background));
  EXPECT_TRUE(Shows(screen(area.Width() - 1, area.Height() - 1), background));

  // Presenting part of a changed surface updates exactly that part.
  surface.Fill(plat::Rgb(255, 255, 0));
  const plat::Rect part{20, 15, 90, 45};
  backend_->Present(w, surface, part);
  ASSERT_TRUE(plat::x11test::Sync(*backend_));
  shot = TakeScreenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(Shows(screen(part.left, part.top), plat::Rgb(255, 255, 0)));
  EXPECT_TRUE(Shows(screen(part.right - 1, part.bottom - 1), plat::Rgb(255, 255, 0)));
  EXPECT_TRUE(Shows(screen(part.left - 1, part.top), plat::Rgb(255, 0, 0)));
  EXPECT_TRUE(Shows(screen(part.right, part.bottom - 1), plat::Rgb(0, 255, 0)));
  EXPECT_TRUE(Shows(screen(part.left, part.bottom), plat::Rgb(255, 0, 0)));
  EXPECT_TRUE(Shows(screen(150, 100), plat::Rgb(0x12, 0x34, 0x56)));
}

// Presenting sends only the pixels that changed since the last present, but
// all of an area the server exposed again, whatever the surface holds there.
TEST_P(X11Depths, PresentSendsChangesAndExposedAreas) {
  const plat::Rect area{100, 80, 300, 230};  // 200 x 150
  const plat::NativeWindow w = ShownWindow(area);
  const plat::Pixel grey = plat::Rgb(90, 90, 90), green = plat::Rgb(0, 200, 0);
  plat::Surface surface(area.Width(), area.Height(), grey);
  std::uint64_t before = plat::x11test::PixelsSent(*backend_);
  backend_->Present(w, surface, surface.Bounds());
  EXPECT_EQ(plat::x11test::PixelsSent(*backend_) - before, 200u * 150u);

  before = plat::x11test::PixelsSent(*backend_);
  backend_->Present(w, surface, surface.Bounds());
  EXPECT_EQ(plat::x11test::PixelsSent(*backend_), before) << "unchanged pixels sent again";

  for (int y = 40; y < 45; ++y)
    for (int x = 30; x < 40; ++x) surface.Set(x, y, green);
  backend_->Present(w, surface, surface.Bounds());
  EXPECT_EQ(plat::x11test::PixelsSent(*backend_) - before, 10u * 5u);
  ASSERT_TRUE(plat::x11test::Sync(*backend_));
  auto shot = TakeScreenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(Shows(shot->At(area.left + 35, area.top + 42), green));
  EXPECT_TRUE(Shows(shot->At(area.left + 35, area.top + 46), grey));

  // Another window over part of it, then gone: the server asks for that part
  // again, and it is sent although the surface has not changed.
  const plat::Rect over{150, 100, 250, 200};
  const plat::NativeWindow other = ShownWindow(over);
  backend_->Present(other, plat::Surface(over.Width(), over.Height(), plat::Rgb(200, 0, 0)),
                    {0, 0, over.Width(), over.Height()});
  ASSERT_TRUE(plat::x11test::Sync(*backend_));
  backend_->DestroyWindow(other);
  const auto exposed = WaitFor(w, Kind::Expose);
  ASSERT_TRUE(exposed) << "no Expose where the other window was";
  before = plat::x11test::PixelsSent(*backend_);
  backend_->Present(w, surface, exposed->rect);
  EXPECT_EQ(plat::x11test::PixelsSent(*backend_) - before,
            static_cast<std::uint64_t>(exposed->rect.Width()) * exposed->rect.Height());
  ASSERT_TRUE(plat::x11test::Sync(*backend_));
  shot = TakeScreenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(Shows(shot->At(exposed->rect.left + area.left, exposed->rect.top + area.top), grey));
}

TEST_F(X11Smoke, DeleteRequestBecomesClose) {
  const plat::NativeWindow w = ShownWindow({50, 50, 250, 150});
  const plat::NativeWindow other = ShownWindow({300, 50, 400, 150});
  ASSERT_TRUE(plat::x11test::SendDeleteRequest(Display(), w));
  const auto close = WaitFor(w, Kind::Close);
  ASSERT_TRUE(close) << "no Close after WM_DELETE_WINDOW";
  // The window stays until the program destroys it; afterwards its events stop.
  backend_->DestroyWindow(w);
  ASSERT_TRUE(plat::x11test::SendDeleteRequest(Display(), other));
  const auto otherClose = WaitFor(other, Kind::Close);
  EXPECT_TRUE(otherClose);
  backend_->DestroyWindow(other);
}

// Every pointer shape comes from the server's cursor font without an X
// error; a window that is gone is passed over.
TEST_F(X11Smoke, EveryPointerShapeIsAServerCursor) {
  const plat::NativeWindow w = ShownWindow({50, 50, 250, 150});
  ::testing::internal::CaptureStderr();
  for (int shape = 0; shape <= static_cast<int>(plat::CursorShape::Hand); ++shape)
    backend_->SetCursor(w, static_cast<plat::CursorShape>(shape));
  backend_->SetCursor(w + 1000, plat::CursorShape::Cross);
  ASSERT_TRUE(plat::x11test::Sync(*backend_));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  backend_->DestroyWindow(w);
}

TEST_F(X11Smoke, MoveAndResizeAreReported) {
  const plat::NativeWindow w = ShownWindow({100, 100, 300, 250});
  backend_->MoveWindow(w, {150, 120, 270, 210});
  const auto resize = WaitFor(w, Kind::Resize);
  ASSERT_TRUE(resize);
  EXPECT_EQ(resize->size, (plat::Size{120, 90}));
  // Resize comes before Move for one change.
  const auto move = WaitFor(w, Kind::Move);
  ASSERT_TRUE(move);
  EXPECT_EQ(move->pos, (plat::Point{150, 120}));
  // Growing shows new pixels, which need painting.
  backend_->MoveWindow(w, {150, 120, 350, 300});
  const auto expose = WaitFor(w, Kind::Expose);
  ASSERT_TRUE(expose);
  EXPECT_FALSE(expose->rect.Empty());
}

TEST_F(X11Smoke, FocusMovesBetweenWindows) {
  const plat::NativeWindow a = ShownWindow({10, 10, 110, 110});
  const plat::NativeWindow b = ShownWindow({200, 10, 300, 110});
  ASSERT_TRUE(plat::x11test::SetInputFocus(Display(), a));
  EXPECT_TRUE(WaitFor(a, Kind::FocusIn));
  ASSERT_TRUE(plat::x11test::SetInputFocus(Display(), b));
  EXPECT_TRUE(WaitFor(a, Kind::FocusOut));
  EXPECT_TRUE(WaitFor(b, Kind::FocusIn));
}

TEST_F(X11Smoke, UncoveringAWindowExposesWhatWasHidden) {
  const plat::NativeWindow below = ShownWindow({100, 100, 300, 300});
  const plat::NativeWindow above = ShownWindow({150, 120, 200, 180});
  backend_->ShowWindow(above, false);
  const auto expose = WaitFor(below, Kind::Expose);
  ASSERT_TRUE(expose);
  EXPECT_EQ(expose->rect, (plat::Rect{50, 20, 100, 80}));
}

TEST_F(X11Smoke, KeysBecomeVirtualKeysAndCharacters) {
  using plat::x11test::kAlt;
  using plat::x11test::kControl;
  using plat::x11test::kShift;
  const KeyCase cases[] = {
      {"a", 0, 'A', 'a'},
      {"a", kShift, 'A', 'A'},
      {"a", kControl, 'A', 0x01},
      {"z", kAlt, 'Z', 'z'},
      {"1", 0, '1', '1'},
      {"1", kShift, '1', '!'},
      {"space", 0, 0x20, ' '},
      {"space", kControl, 0x20, 0},  // types NUL, which is no
                                     // character
      {"Return", 0, 0x0D, 0x0D},
      {"Escape", 0, 0x1B, 0x1B},
      {"Tab", 0, 0x09, 0x09},
      {"BackSpace", 0, 0x08, 0x08},
      {"Delete", 0, 0x2E, 0},
      {"Insert", 0, 0x2D, 0},
      {"Home", 0, 0x24, 0},
      {"End", 0, 0x23, 0},
      {"Prior", 0, 0x21, 0},
      {"Next", 0, 0x22, 0},
      {"Left", 0, 0x25, 0},
      {"Up", 0, 0x26, 0},
      {"Right", 0, 0x27, 0},
      {"Down", 0, 0x28, 0},
      {"F1", 0, 0x70, 0},
      {"F12", 0, 0x7B, 0},
      {"Shift_L", 0, 0x10, 0},
      {"Control_L", 0, 0x11, 0},
      {"Alt_L", 0, 0x12, 0},
      {"KP_Add", 0, 0x6B, '+'},
      {"KP_Multiply", 0, 0x6A, '*'},
      {"minus", 0, 0xBD, '-'},
  };
  const plat::NativeWindow w = ShownWindow({100, 100, 300, 200});
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.keysym << " modifiers " << c.modifiers);
    ASSERT_TRUE(plat::x11test::SendKey(Display(), w, c.keysym, true, c.modifiers));
    ASSERT_TRUE(plat::x11test::SendKey(Display(), w, c.keysym, false, c.modifiers));
    const std::vector<InputEvent> seen = EventsUntil(w, Kind::KeyUp);
    std::vector<InputEvent> expected;
    InputEvent down;
    down.kind = Kind::KeyDown;
    down.virtualKey = c.virtualKey;
    expected.push_back(down);
    if (c.character != 0) {
      InputEvent ch;
      ch.kind = Kind::Char;
      ch.character = c.character;
      expected.push_back(ch);
    }
    InputEvent up = down;
    up.kind = Kind::KeyUp;
    expected.push_back(up);
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
      EXPECT_EQ(seen[i].kind, expected[i].kind) << "event " << i;
      EXPECT_EQ(seen[i].virtualKey, expected[i].virtualKey) << "event " << i;
      EXPECT_EQ(seen[i].character, expected[i].character) << "event " << i;
      EXPECT_EQ(seen[i].alt, (c.modifiers & kAlt) != 0) << "event " << i;
      EXPECT_EQ(seen[i].keyState & (plat::kMkShift | plat::kMkControl),
                ((c.modifiers & kShift) ? plat::kMkShift : 0u) |
                    ((c.modifiers & kControl) ? plat::kMkControl : 0u))
          << "event " << i;
    }
  }
}

TEST_F(X11Smoke, MouseButtonsWheelAndMotion) {
  const plat::Rect area{120, 90, 320, 240};
  const plat::NativeWindow w = ShownWindow(area);
  struct ButtonCase {
    int xButton;
    unsigned modifiers;
    std::vector<Kind> kinds;  // before the closing MouseMove
    plat::MouseButton button;
    unsigned downState;  // keyState of the first event
    int wheel;
  };
  const ButtonCase cases[] = {
      {1, 0, {Kind::ButtonDown, Kind::ButtonUp}, plat::MouseButton::Left, plat::kMkLButton, 0},
      {2, 0, {Kind::ButtonDown, Kind::ButtonUp}, plat::MouseButton::Middle, plat::kMkMButton, 0},
      {3, 0, {Kind::ButtonDown, Kind::ButtonUp}, plat::MouseButton::Right, plat::kMkRButton, 0},
      {1,
       plat::x11test::kShift,
       {Kind::ButtonDown, Kind::ButtonUp},
       plat::MouseButton::Left,
       plat::kMkLButton | plat::kMkShift,
       0},
      {3,
       plat::x11test::kControl,
       {Kind::ButtonDown, Kind::ButtonUp},
       plat::MouseButton::Right,
       plat::kMkRButton | plat::kMkControl,
       0},
      {4, 0, {Kind::Wheel}, plat::MouseButton::None, 0, 120},
      {5, 0, {Kind::Wheel}, plat::MouseButton::None, 0, -120},
  };
  const plat::Point at{30, 40}, end{55, 65};
  for (const ButtonCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "X button " << c.xButton << " modifiers " << c.modifiers);
    ASSERT_TRUE(plat::x11test::SendButton(Display(), w, c.xButton, at, true, c.modifiers));
    ASSERT_TRUE(plat::x11test::SendButton(Display(), w, c.xButton, at, false, c.modifiers));
    ASSERT_TRUE(plat::x11test::SendMotion(Display(), w, end));
    const std::vector<InputEvent> seen = EventsUntil(w, Kind::MouseMove);
    ASSERT_EQ(seen.size(), c.kinds.size() + 1);
    for (std::size_t i = 0; i < c.kinds.size(); ++i) {
      EXPECT_EQ(seen[i].kind, c.kinds[i]) << "event " << i;
      EXPECT_EQ(seen[i].pos, at) << "event " << i;
      EXPECT_EQ(seen[i].button, c.button) << "event " << i;
      EXPECT_EQ(seen[i].wheelDelta, c.wheel) << "event " << i;
    }
    EXPECT_EQ(seen[0].keyState, c.downState);
    // After the release no button is held; the modifiers still are.
    EXPECT_EQ(seen[c.kinds.size() - 1].keyState &
                  (plat::kMkLButton | plat::kMkMButton | plat::kMkRButton),
              c.xButton <= 3 ? 0u : c.downState);
    EXPECT_EQ(seen.back().pos, end);
    EXPECT_EQ(seen.back().keyState, 0u);
    EXPECT_EQ(backend_->CursorPos(), (plat::Point{area.left + end.x, area.top + end.y}));
  }
}

}  // namespace
