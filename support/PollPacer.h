#pragma once
// Pacing of a long loop's progress display and cancel poll by wall time: a
// loop that steps through traces, rows or files asks Due() after each step
// and sets its bar and polls for Cancel only when it answers true. Polling
// the window system costs a round trip to the display, far more than a step
// of most loops; once every kPollInterval still answers a Cancel within a
// tenth of a second.
#include <chrono>

namespace sup {

/// Least wall time between two progress updates or cancel polls of a loop.
inline constexpr std::chrono::milliseconds kPollInterval{50};

class PollPacer {
 public:
  using Clock = std::chrono::steady_clock;
  PollPacer() : interval_(kPollInterval) {}
  explicit PollPacer(Clock::duration interval) : interval_(interval) {}

  /// True on the first call (after construction or Restart) and then once
  /// INTERVAL has passed since the last true answer.
  bool Due() {
    const Clock::time_point now = Clock::now();
    if (started_ && now - last_ < interval_) return false;
    started_ = true;
    last_ = now;
    return true;
  }
  /// The next Due() answers true.
  void Restart() { started_ = false; }

 private:
  Clock::duration interval_;
  Clock::time_point last_{};
  bool started_ = false;
};

}  // namespace sup
