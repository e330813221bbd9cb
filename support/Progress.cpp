#include "support/Progress.h"

#include <algorithm>
#include <utility>

namespace sup {
namespace {

struct State {
  ProgressHook hook;
  ProgressState progress;
};

State& Get() {
  static State state;
  return state;
}

}  // namespace

void ProgressOpen(std::string_view fileName) {
  State& s = Get();
  s.progress = {true, std::string(fileName), 0};
  if (s.hook.open) s.hook.open(fileName);
}

void ProgressSet(int percent) {
  State& s = Get();
  s.progress.percent = std::clamp(percent, 0, 100);
  if (s.hook.set) s.hook.set(s.progress.percent);
}

void ProgressClose() {
  State& s = Get();
  s.progress.open = false;
  if (s.hook.close) s.hook.close();
}

void SetProgressHook(ProgressHook hook) {
  Get().hook = std::move(hook);
}

const ProgressState& CurrentProgress() {
  return Get().progress;
}

}  // namespace sup
