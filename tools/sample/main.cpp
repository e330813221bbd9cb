// velloran_sample: writes the synthetic refraction shot that a first run of
// the program opens. Usage: velloran_sample OUTPUT.sg2
#include <cstdio>
#include <string>
#include <string_view>

#include "tools/sample/SampleShot.h"

namespace {

constexpr const char* kUsage =
    "usage: velloran_sample OUTPUT.sg2\n"
    "Writes a synthetic refraction shot record as a SEG-2 file named OUTPUT.sg2.\n"
    "A name that starts with \"-\" is taken for an option; write ./NAME for such a file.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2) {
    const std::string_view arg = argv[1];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg.starts_with("-")) {
      std::fprintf(stderr, "velloran_sample: unknown option %s\n%s", argv[1], kUsage);
      return 2;
    }
  }
  if (argc != 2 || argv[1][0] == '\0') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string why;
  if (!sample_shot::Write(argv[1], why)) {
    std::fprintf(stderr, "velloran_sample: %s\n", why.c_str());
    return 1;
  }
  return 0;
}
