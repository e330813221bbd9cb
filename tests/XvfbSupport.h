#pragma once
// A private X server for tests that need a real X11 display: Xvfb started on
// a display it picks itself (-displayfd, so parallel tests never collide),
// child processes, and the screen read back with xwd.
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/backend/Backend.h"
#include "platform/draw/Surface.h"

namespace testing_support {

/// The full path of program NAME found on PATH, or empty.
std::string FindProgram(std::string_view name);

/// A child process with its output sent to /dev/null, stopped with the object.
class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Stop(); }

  /// Starts ARGS[0] with ARGS; ENV entries ("NAME=value", or "NAME" to
  /// remove) change the inherited environment. FOLDER, when given, is the
  /// child's current folder; ERRORS, when given, a file that takes its
  /// standard error.
  bool Start(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
             const std::string& folder = {}, const std::string& errors = {});
  /// The exit status (-1 when killed by a signal), or nothing when the child
  /// still runs after TIMEOUT_MS.
  std::optional<int> Wait(int timeoutMs);
  void Stop();

 private:
  pid_t pid_ = -1;
};

/// A private Xvfb with one screen, ended with the object.
class Xvfb {
 public:
  /// Starts the server and waits until it accepts connections; on failure
  /// WHY says what went wrong. With ENDWITHLASTCLIENT the server also ends
  /// when its last client disconnects (so it never outlives a crashed test);
  /// tests whose first client may come and go before the next arrives pass false.
  bool Start(const std::string& program, int depth, std::string& why,
             std::string_view size = "800x600", bool endWithLastClient = true);
  const std::string& Display() const { return display_; }
  void Stop() { server_.Stop(); }

 private:
  Child server_;
  std::string display_;
};

/// The screen as read back from an XWD file: 0x00RRGGBB pixels, rows top down.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<plat::Pixel> pixels;
  plat::Pixel At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height
               ? pixels[static_cast<std::size_t>(y) * width + x]
               : 0xFF000000u;  // no such pixel: matches no colour
  }
};

/// Reads an XWD (X Window Dump, version 7) file of a TrueColor ZPixmap.
bool ParseXwd(const std::string& bytes, Screenshot& out, std::string& why);

/// Takes a screenshot of the whole screen of DISPLAY with xwd.
bool TakeScreenshot(const std::string& xwd, const std::string& display, Screenshot& out,
                    std::string& why);

/// Keeps BACKEND answering the server (selection requests, for one) on a
/// thread of its own while the object lives.
class EventPump {
 public:
  explicit EventPump(plat::Backend& backend)
      : thread_([this, &backend] {
          plat::InputEvent e;
          while (!stop_) backend.NextEvent(e, 20);
        }) {}
  ~EventPump() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace testing_support
