#pragma once
// The headless backend: a screen of a chosen size without pixels of its own,
// native windows that remember what was presented to them, scripted input
// and a virtual clock. The clock moves on only when a wait finds no scripted
// input due, so timers behave the same in every run.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/backend/Backend.h"

namespace plat {

class HeadlessBackend final : public Backend {
 public:
  explicit HeadlessBackend(Size screen = {1920, 1080});

  std::string_view Name() const override { return "headless"; }
  Size ScreenSize() const override { return screen_; }
  NativeWindow CreateWindow(const Rect& area, std::string_view title) override;
  void DestroyWindow(NativeWindow w) override;
  void ShowWindow(NativeWindow w, bool visible) override;
  void MoveWindow(NativeWindow w, const Rect& area) override;
  void SetTitle(NativeWindow w, std::string_view title) override;
  void SetOverlay(NativeWindow w) override;
  void Present(NativeWindow w, const Surface& surface, const Rect& area) override;
  bool NextEvent(InputEvent& out, int timeoutMs) override;
  bool CanWait() const override { return !script_.empty(); }
  std::uint64_t NowMs() override { return now_; }
  Point CursorPos() const override { return cursor_; }
  void Beep() override { ++beeps_; }
  void SetCursor(NativeWindow w, CursorShape shape) override;
  std::optional<std::string> ScriptedAnswer(std::string_view kind) override;

  // --- scripting ---
  void SetScreenSize(Size screen) { screen_ = screen; }
  /// Queues EVENT to come DELAYMS after the one queued before it (or after
  /// now when nothing is queued).
  void Push(const InputEvent& event, std::uint32_t delayMs = 0);
  /// Queues an entry whose event MAKE gives when the entry is reached (so it
  /// can aim at windows that exist only then); nullopt gives no event.
  using EventMaker = std::function<std::optional<InputEvent>()>;
  void PushMaker(EventMaker make, std::uint32_t delayMs = 0);
  std::size_t Pending() const { return script_.size(); }
  void ClearScript() { script_.clear(); }
  /// Queues an answer for the next question of KIND ("messagebox", "file", ...).
  void QueueAnswer(std::string_view kind, std::string answer);
  void ClearAnswers() { answers_.clear(); }
  /// Moves the clock on, as a wait would.
  void Advance(std::uint32_t ms) { now_ += ms; }

  // --- read-back ---
  struct NativeState {
    Rect area;  // screen pixels
    std::string title;
    bool visible = false;
    bool overlay = false;  // unframed pop-up
    Surface shown;         // what has been presented
    int presents = 0;
    CursorShape cursor = CursorShape::Arrow;  // the shape shown over it now
    std::vector<CursorShape> cursorChanges;   // every shape set, in order
  };
  /// Null when W is not a live window.
  const NativeState* Window(NativeWindow w) const;
  int Beeps() const { return beeps_; }

 private:
  struct Scripted {
    InputEvent event;
    std::uint64_t due = 0;
    EventMaker make;  // when set, makes the event at its turn
  };
  Size screen_;
  std::uint64_t now_ = 0;
  Point cursor_;
  NativeWindow nextId_ = 1;
  std::map<NativeWindow, NativeState> windows_;
  std::deque<Scripted> script_;
  std::deque<std::pair<std::string, std::string>> answers_;
  int beeps_ = 0;
};

}  // namespace plat
