// Headless backend: see HeadlessBackend.h.
#include "platform/backend/headless/HeadlessBackend.h"

#include <algorithm>

namespace plat {

HeadlessBackend::HeadlessBackend(Size screen) : screen_(screen) {}

NativeWindow HeadlessBackend::CreateWindow(const Rect& area, std::string_view title) {
  const NativeWindow id = nextId_++;
  NativeState& s = windows_[id];
  s.area = area;
  s.title = std::string(title);
  s.shown.Resize(area.Width(), area.Height());
  return id;
}

void HeadlessBackend::DestroyWindow(NativeWindow w) {
  windows_.erase(w);
  std::erase_if(script_, [w](const Scripted& s) { return s.event.window == w; });
}

void HeadlessBackend::ShowWindow(NativeWindow w, bool visible) {
  if (auto it = windows_.find(w); it != windows_.end()) it->second.visible = visible;
}

void HeadlessBackend::MoveWindow(NativeWindow w, const Rect& area) {
  if (auto it = windows_.find(w); it != windows_.end()) {
    it->second.area = area;
    it->second.shown.Resize(area.Width(), area.Height());
  }
}

void HeadlessBackend::SetTitle(NativeWindow w, std::string_view title) {
  if (auto it = windows_.find(w); it != windows_.end()) it->second.title = std::string(title);
}

void HeadlessBackend::SetOverlay(NativeWindow w) {
  if (auto it = windows_.find(w); it != windows_.end()) it->second.overlay = true;
}

void HeadlessBackend::SetCursor(NativeWindow w, CursorShape shape) {
  if (auto it = windows_.find(w); it != windows_.end()) {
    it->second.cursor = shape;
    it->second.cursorChanges.push_back(shape);
  }
}

void HeadlessBackend::Present(NativeWindow w, const Surface& surface, const Rect& area) {
  auto it = windows_.find(w);
  if (it == windows_.end()) return;
  NativeState& s = it->second;
  if (s.shown.Width() != surface.Width() || s.shown.Height() != surface.Height())
    s.shown.Resize(surface.Width(), surface.Height());
  const Rect r = area.Intersect(surface.Bounds());
  for (int y = r.top; y < r.bottom; ++y)
    std::copy_n(surface.Row(y) + r.left, r.Width(), s.shown.Row(y) + r.left);
  ++s.presents;
}

void HeadlessBackend::Push(const InputEvent& event, std::uint32_t delayMs) {
  const std::uint64_t after = script_.empty() ? now_ : std::max(now_, script_.back().due);
  script_.push_back({event, after + delayMs, {}});
}

void HeadlessBackend::PushMaker(EventMaker make, std::uint32_t delayMs) {
  const std::uint64_t after = script_.empty() ? now_ : std::max(now_, script_.back().due);
  script_.push_back({InputEvent{}, after + delayMs, std::move(make)});
}

bool HeadlessBackend::NextEvent(InputEvent& out, int timeoutMs) {
  for (;;) {
    if (script_.empty()) {
      if (timeoutMs > 0) now_ += static_cast<std::uint64_t>(timeoutMs);
      return false;
    }
    const std::uint64_t due = script_.front().due;
    if (due > now_) {
      // Nothing due yet: the wait passes, up to the timeout.
      if (timeoutMs >= 0 && now_ + static_cast<std::uint64_t>(timeoutMs) < due) {
        now_ += static_cast<std::uint64_t>(timeoutMs);
        return false;
      }
      now_ = due;
    }
    Scripted next = std::move(script_.front());
    script_.pop_front();
    if (!next.make) {
      out = next.event;
      break;
    }
    if (std::optional<InputEvent> made = next.make()) {
      out = *made;
      break;
    }
  }
  switch (out.kind) {
    case InputEvent::Kind::MouseMove:
    case InputEvent::Kind::ButtonDown:
    case InputEvent::Kind::ButtonUp:
    case InputEvent::Kind::DoubleClick:
    case InputEvent::Kind::Wheel:
      if (auto it = windows_.find(out.window); it != windows_.end())
        cursor_ = {it->second.area.left + out.pos.x, it->second.area.top + out.pos.y};
      break;
    case InputEvent::Kind::Resize:
      if (auto it = windows_.find(out.window); it != windows_.end()) {
        Rect& a = it->second.area;
        a = {a.left, a.top, a.left + out.size.width, a.top + out.size.height};
      }
      break;
    case InputEvent::Kind::Move:
      if (auto it = windows_.find(out.window); it != windows_.end()) {
        Rect& a = it->second.area;
        a = a.Offset(out.pos.x - a.left, out.pos.y - a.top);
      }
      break;
    default:
      break;
  }
  return true;
}

void HeadlessBackend::QueueAnswer(std::string_view kind, std::string answer) {
  answers_.emplace_back(std::string(kind), std::move(answer));
}

std::optional<std::string> HeadlessBackend::ScriptedAnswer(std::string_view kind) {
  for (auto it = answers_.begin(); it != answers_.end(); ++it) {
    if (it->first == kind) {
      std::string a = std::move(it->second);
      answers_.erase(it);
      return a;
    }
  }
  return std::nullopt;
}

const HeadlessBackend::NativeState* HeadlessBackend::Window(NativeWindow w) const {
  auto it = windows_.find(w);
  return it == windows_.end() ? nullptr : &it->second;
}

std::unique_ptr<Backend> MakeHeadlessBackend() {
  return std::make_unique<HeadlessBackend>();
}

}  // namespace plat
