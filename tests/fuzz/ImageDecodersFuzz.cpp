// libFuzzer entry for the image decoders and graphics file identification
// (built with VELLORAN_FUZZ and clang); the corpus test replays mutated
// files through the same entry.
#include "tests/fuzz/ImageDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return image_fuzz::FuzzImageDecoders(data, size);
}
