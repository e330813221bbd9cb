#pragma once
// ImageMagick as the independent decoder of the image tests: whether it is
// installed, and its own decoding of a file as packed RGB pixels.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace image_tools {

inline bool Have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

/// ImageMagick's decoding of PATH (rows from the top), with its size; empty
/// when it cannot decode the file.
inline std::vector<std::int32_t> ToolPixels(const std::filesystem::path& path, int& w, int& h) {
  const std::string out = path.string() + ".check.ppm";
  if (std::system(("convert '" + path.string() + "' -depth 8 ppm:'" + out + "' 2>/dev/null").c_str()) != 0)
    return {};
  std::istringstream in(testing_support::ReadFile(out));
  std::string magic;
  int maxv = 0;
  in >> magic >> w >> h >> maxv;
  in.get();
  std::vector<std::int32_t> px;
  for (int i = 0; i < w * h; ++i) {
    const int r = static_cast<unsigned char>(in.get()), g = static_cast<unsigned char>(in.get()),
              b = static_cast<unsigned char>(in.get());
    px.push_back(r + 256 * g + 65536 * b);
  }
  return px;
}

}  // namespace image_tools
