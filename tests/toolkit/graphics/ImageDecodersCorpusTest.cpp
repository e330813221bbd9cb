// The image fuzz entry over files our writers make, every prefix of them and
// seeded byte mutations: no decoder writes outside its array or crashes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/ImageDecoders.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/hardcopy/ImageFiles.h"

namespace tk::testing {
namespace {

std::vector<std::string> Seeds() {
  PaletteLoadDefault();
  std::vector<std::string> seeds;
  for (const int bits : {1, 4, 8, 24}) {
    const ImagePageGeometry g = ImagePageLayout(13, 5, bits);
    std::vector<std::uint32_t> words(static_cast<std::size_t>(g.totalWords + 1));
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint32_t>(i * 2654435761u);
    const RasterPageView page{g.width, g.height, bits, g.wordsPerRow, g.wordsPerPlane, words};
    seeds.push_back(BmpImageBytes(page, 1));
    seeds.push_back(BmpImageBytes(page, 2));
    seeds.push_back(PcxImageBytes(page));
    seeds.push_back(PngImageBytes(page));
  }
  return seeds;
}

void Feed(const std::string& s) {
  image_fuzz::FuzzImageDecoders(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

TEST(ImageDecodersCorpusTest, PrefixesAndMutationsStayInside) {
  std::mt19937 rng(43);
  for (const std::string& seed : Seeds()) {
    for (std::size_t n = 0; n <= seed.size(); n += 7) Feed(seed.substr(0, n));
    for (int round = 0; round < 200; ++round) {
      std::string m = seed;
      const int flips = 1 + static_cast<int>(rng() % 4);
      for (int k = 0; k < flips; ++k) {
        // Mostly the headers, where sizes and counts live.
        const std::size_t at = (rng() % 3 == 0) ? rng() % m.size() : rng() % std::min<std::size_t>(m.size(), 140);
        m[at] = static_cast<char>(rng() % 4 == 0 ? 0xFF : rng());
      }
      Feed(m);
    }
  }
}

}  // namespace
}  // namespace tk::testing
