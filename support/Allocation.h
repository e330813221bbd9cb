#pragma once
// Allocations that may fail: the one way the program tries to size an array
// (or to run a step that allocates as it goes) and, when memory runs out,
// reports it to the caller, or tells the user, instead of throwing.
//
// A size beyond what a container can hold (std::length_error) counts as
// running out of memory: both come from a count the program could not serve.
#include <cstddef>
#include <new>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "support/UserMessages.h"

namespace sup {

/// Runs WORK, which may allocate; false when it ran out of memory.
template <class Work>
[[nodiscard]] bool TryAllocation(Work&& work) {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return false;
}

/// V := COUNT copies of VALUE. When memory runs out, V is emptied with its
/// memory released and the result is false.
template <class T>
[[nodiscard]] bool TryAssign(std::vector<T>& v, std::size_t count, const T& value = T{}) {
  if (TryAllocation([&] { v.assign(count, value); })) return true;
  std::vector<T>().swap(v);
  return false;
}

/// TryAssign that, when memory runs out, tells the user MESSAGE in a warning
/// box before it returns false.
template <class T>
[[nodiscard]] bool AssignOrTell(std::vector<T>& v, std::size_t count, std::string_view message) {
  if (TryAssign(v, count)) return true;
  WINWRN(message);
  return false;
}

}  // namespace sup
