// velloran_sample: writes the synthetic refraction shot that a first run of
// the program opens. Usage: velloran_sample OUTPUT.sg2
#include <cstdio>
#include <string>

#include "tools/sample/SampleShot.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velloran_sample OUTPUT.sg2\n");
    return 2;
  }
  std::string why;
  if (!sample_shot::Write(argv[1], why)) {
    std::fprintf(stderr, "velloran_sample: %s\n", why.c_str());
    return 1;
  }
  return 0;
}
