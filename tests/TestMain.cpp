// The main of every test executable. Tests never need a display: the platform
// layer runs headless unless a test opens an X11 window itself. A wait for
// input that nothing scripted fails the running test with the window state
// instead of hanging it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/testing/Harness.h"

int main(int argc, char** argv) {
  setenv("VELLORAN_HEADLESS", "1", 1);
  ::testing::InitGoogleTest(&argc, argv);
  plat::testing::InstallStarvationReport([](const std::string& what) { ADD_FAILURE() << what; });
  return RUN_ALL_TESTS();
}
