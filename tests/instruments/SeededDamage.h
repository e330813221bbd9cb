#pragma once
// Damaged copies of valid fixtures through the instrument fuzz entry: header
// bytes overwritten with digits, signs, blanks, ETX and tag letters, binary
// fields with random bytes, and cuts. The entry traps on any record that a
// decoder reports as read but whose arrays do not match its counts.
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/InstrumentDecoders.h"

namespace instrument_fixtures {

inline void RunSeededDamage(const std::vector<std::string>& seeds, std::size_t headerBytes,
                            int rounds, unsigned seed) {
  std::mt19937 rng(seed);
  const auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n == 0 ? 0 : n - 1)(rng);
  };
  const auto run = [](const std::string& s) {
    instrument_fuzz::FuzzInstrumentDecoders(reinterpret_cast<const std::uint8_t*>(s.data()),
                                            s.size());
  };
  static const char kChars[] = "0123456789 -+.xFPOY\x03\r\n";
  for (int i = 0; i < rounds; ++i) {
    std::string s = seeds[static_cast<std::size_t>(i) % seeds.size()];
    for (int e = 0, n = 1 + static_cast<int>(pick(4)); e < n && !s.empty(); ++e) {
      const std::size_t at = pick(std::min(s.size(), headerBytes));
      switch (pick(3)) {
        case 0:
          s[at] = kChars[pick(sizeof kChars - 1)];
          break;
        case 1:
          s[at] = static_cast<char>(pick(256));
          break;
        default:
          s.resize(pick(s.size() + 1));
          break;
      }
    }
    run(s);
  }
}

}  // namespace instrument_fixtures
