// The main of every test executable. Tests never need a display: the platform
// layer runs headless unless a test opens an X11 window itself. A wait for
// input that nothing scripted fails the running test with the window state
// instead of hanging it.
//
// Around every test the process-wide state of the layers linked is reset (see
// testing_support::ResetAroundEveryTest), and the test runs in a fresh empty
// current folder of its own, removed afterwards: whatever a test writes
// under a relative name stays out of the build folder and out of the next
// test's way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/testing/Harness.h"
#include "tests/TestSupport.h"

namespace {

class AroundEveryTest : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override {
    testing_support::ResetBetweenTests();
    std::error_code ec;
    start_ = std::filesystem::current_path(ec);
    folder_ = std::make_unique<testing_support::TempDir>();
    std::filesystem::current_path(folder_->path(), ec);
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    std::error_code ec;
    std::filesystem::current_path(start_, ec);
    folder_.reset();
    testing_support::ResetBetweenTests();
  }

 private:
  std::filesystem::path start_;
  std::unique_ptr<testing_support::TempDir> folder_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("VELLORAN_HEADLESS", "1", 1);
  ::testing::InitGoogleTest(&argc, argv);
  plat::testing::InstallStarvationReport([](const std::string& what) { ADD_FAILURE() << what; });
  ::testing::UnitTest::GetInstance()->listeners().Append(new AroundEveryTest);
  return RUN_ALL_TESTS();
}
