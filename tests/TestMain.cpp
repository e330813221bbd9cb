// The main of every test executable. Tests never need a display: the platform
// layer runs headless unless a test opens an X11 window itself.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("VELLORAN_HEADLESS", "1", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
