#pragma once
// Allocations that may fail: the one way the program tries to size an array
// (or to run a step that allocates as it goes) and, when memory runs out,
// reports it to the caller, or tells the user, instead of throwing.
//
// A size beyond what a container can hold (std::length_error) counts as
// running out of memory: both come from a count the program could not serve.
#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "support/UserMessages.h"

namespace sup {

/// The standard allocator, except that an element made without a value
/// (resize(n), a vector of n) is left unset where its type allows (numbers):
/// for arrays written in full straight after they are sized, where setting
/// them first would be a pass over memory for nothing. An element given a
/// value (assign(n, v), resize(n, v), a copy) takes it as usual.
template <class T>
struct UnsetAllocator : std::allocator<T> {
  using value_type = T;
  template <class U>
  struct rebind {
    using other = UnsetAllocator<U>;
  };
  UnsetAllocator() noexcept = default;
  template <class U>
  UnsetAllocator(const UnsetAllocator<U>&) noexcept {}  // NOLINT(google-explicit-constructor)
  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
template <class T, class U>
bool operator==(const UnsetAllocator<T>&, const UnsetAllocator<U>&) noexcept {
  return true;
}
/// Arrays of either allocator compare by their elements.
template <class T>
bool operator==(const std::vector<T, UnsetAllocator<T>>& a, const std::vector<T>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

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
template <class T, class A>
[[nodiscard]] bool TryAssign(std::vector<T, A>& v, std::size_t count, const T& value = T{}) {
  if (TryAllocation([&] { v.assign(count, value); })) return true;
  std::vector<T, A>().swap(v);
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
