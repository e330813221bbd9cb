// libFuzzer entry for the instrument decoders (built with VELLORAN_FUZZ and
// clang). Crashers found here are kept under tests/fuzz/crashers/ and
// replayed by the corpus test.
#include "tests/fuzz/InstrumentDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return instrument_fuzz::FuzzInstrumentDecoders(data, size);
}
