// The instrument fuzz entry over a seeded corpus: valid fixtures of each
// format, mutated by bit flips, byte runs, digit fields and cuts, for a bounded
// number of iterations; then every kept crasher under tests/fuzz/crashers.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "tests/fuzz/InstrumentDecoders.h"
#include "tests/instruments/EggDolangFixtures.h"
#include "tests/instruments/InstrumentFixtures.h"

namespace {

namespace fx = instrument_fixtures;

void FuzzOne(const std::string& s) {
  instrument_fuzz::FuzzInstrumentDecoders(reinterpret_cast<const std::uint8_t*>(s.data()),
                                          s.size());
}

std::string Mutate(std::string s, std::mt19937& rng) {
  auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n == 0 ? 0 : n - 1)(rng);
  };
  const int edits = 1 + static_cast<int>(pick(4));
  for (int e = 0; e < edits && !s.empty(); ++e) {
    switch (pick(5)) {
      case 0:  // flip a bit
        s[pick(s.size())] ^= static_cast<char>(1 << pick(8));
        break;
      case 1: {  // a random byte run
        const std::size_t at = pick(s.size());
        for (std::size_t k = at; k < std::min(s.size(), at + 1 + pick(8)); ++k)
          s[k] = static_cast<char>(pick(256));
        break;
      }
      case 2: {  // digits, signs, points and blanks into the header
        static const char kChars[] = "0123456789 -+.Ee7WL\r\n\x03";
        const std::size_t at = pick(std::min<std::size_t>(s.size(), 700));
        for (std::size_t k = at; k < std::min(s.size(), at + 1 + pick(6)); ++k)
          s[k] = kChars[pick(sizeof kChars - 1)];
        break;
      }
      case 3:  // cut
        s.resize(pick(s.size() + 1));
        break;
      default:  // grow
        s.append(pick(64), static_cast<char>(pick(256)));
        break;
    }
  }
  return s;
}

TEST(InstrumentFuzz, SeededCorpus) {
  const std::vector<std::string> seeds = {
      fx::Abem(3).Bytes(),
      fx::Abem(1).Bytes(),
      fx::Bison1(3, 40).Bytes(),
      fx::Bison1(2, 990).Bytes(),
      fx::Bison2('W', 3, 20).Bytes(),
      fx::Bison2('L', 2, 9, true).Bytes(),
      fx::Bison2('X', 3, 9).Bytes(),
      fx::Egg(0, 2, 30).Bytes(),
      fx::Egg(1, 3, 1024).Bytes(),
      fx::DolangHeaderText(3, 20).Text(),
      fx::DolangData(1, 30),
      std::string(),
  };
  std::mt19937 rng(20261210);
  for (const auto& s : seeds) FuzzOne(s);
  for (int i = 0; i < 20000; ++i)
    FuzzOne(Mutate(seeds[static_cast<std::size_t>(i) % seeds.size()], rng));
}

TEST(InstrumentFuzz, KeptCrashers) {
  const auto dir = std::filesystem::path(VELLORAN_SOURCE_DIR) / "tests" / "fuzz" / "crashers";
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no crashers kept";
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() == ".md") continue;
    SCOPED_TRACE(entry.path().filename().string());
    FuzzOne(testing_support::ReadFile(entry.path()));
  }
}

}  // namespace
