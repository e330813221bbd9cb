// Damaged resource text never crashes the parser: every cut and random byte
// change of the program's own files either reads or fails with a message on
// a line of the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "resources/ResourceFormat.h"
#include "resources/Resources.h"

namespace {

void ParseDamaged(std::string_view name, const std::string& text) {
  res::ResourceSet set;
  res::ResourceError error;
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  bool ok = res::ParseResourceText(name, text, set, error);
  if (ok) ok = res::FinishResourceSet(set, error);
  if (ok) {
    (void)res::ValidateResourceSet(set);
    return;
  }
  EXPECT_FALSE(error.message.empty());
  EXPECT_EQ(error.file, name);
  EXPECT_GE(error.line, 1);
  EXPECT_LE(error.line, lines);
}

TEST(ResourceRobustness, CutAndChangedFilesFailCleanly) {
  std::mt19937 rng(20261210);
  const std::string noise = std::string("\0\r\n\t \"\\|#-0x9end", 16) + "\xff";
  for (std::string_view name : res::Names()) {
    if (!name.ends_with(".txt")) continue;
    SCOPED_TRACE(std::string(name));
    const std::string text(res::Find(name));
    for (std::size_t cut = 0; cut < text.size(); cut += 1 + text.size() / 97) {
      ParseDamaged(name, text.substr(0, cut));
    }
    for (int i = 0; i < 150; ++i) {
      std::string damaged = text;
      std::uniform_int_distribution<std::size_t> at(0, damaged.size() - 1);
      std::uniform_int_distribution<std::size_t> pick(0, noise.size() - 1);
      for (int n = 0; n < 3; ++n) damaged[at(rng)] = noise[pick(rng)];
      ParseDamaged(name, damaged);
    }
  }
}

}  // namespace
