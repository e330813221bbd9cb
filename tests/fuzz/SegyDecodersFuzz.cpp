// libFuzzer entry for the SEG-Y decoders (built with VELLORAN_FUZZ and
// clang); the corpus test replays a seeded corpus through the same entry.
#include "tests/fuzz/SegyDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return segy_fuzz::FuzzSegyDecoders(data, size);
}
