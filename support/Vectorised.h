#pragma once
// Kernels compiled twice, for the machine's wider vector unit (AVX2) and for
// the baseline every x86-64 machine has, the wider one used where the
// machine has it (asked once). A kernel is a type whose call operator is
// always inlined, so that each of the two callers below compiles it anew for
// its own instruction set; written in the compiler's vector types it then
// uses the wider registers without further ado.
#include <cstdint>
#include <utility>

namespace sup {

/// True when the machine has AVX2.
[[nodiscard]] bool HasWideVectors();

template <class Kernel, class... Args>
__attribute__((target("avx2"))) void CallKernelWide(Args&&... args) {
  Kernel{}(std::forward<Args>(args)...);
}
template <class Kernel, class... Args>
void CallKernelBase(Args&&... args) {
  Kernel{}(std::forward<Args>(args)...);
}

/// Kernel{}(ARGS...) compiled for AVX2 where the machine has it, else for
/// the baseline.
template <class Kernel, class... Args>
void CallKernel(Args&&... args) {
  if (HasWideVectors()) {
    CallKernelWide<Kernel>(std::forward<Args>(args)...);
  } else {
    CallKernelBase<Kernel>(std::forward<Args>(args)...);
  }
}

/// Eight 32-bit lanes (one AVX2 register; two baseline ones).
using U32x8 = std::uint32_t __attribute__((vector_size(32)));
using I32x8 = std::int32_t __attribute__((vector_size(32)));
using F32x8 = float __attribute__((vector_size(32)));

/// The bytes of each lane reversed, spelt out in shifts (a swap the compiler
/// recognises as such stays scalar). By reference: always inlined, and a
/// vector passed by value would warn of an ABI the program never uses.
[[gnu::always_inline]] inline void SwapBytes(U32x8& v) {
  const U32x8 y = ((v & 0x00FF00FFu) << 8) | ((v >> 8) & 0x00FF00FFu);
  v = (y << 16) | (y >> 16);
}

}  // namespace sup
