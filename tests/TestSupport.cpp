#include "tests/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>
#include <unistd.h>

namespace testing_support {

std::filesystem::path SharedData() {
  if (const char* env = std::getenv("VELLORAN_SHARED_DATA")) {
    std::filesystem::path p(env);
    return std::filesystem::is_directory(p) ? p : std::filesystem::path();
  }
  std::filesystem::path p(VELLORAN_SHARED_DATA);
  std::error_code ec;
  return std::filesystem::is_directory(p, ec) ? std::filesystem::canonical(p, ec)
                                              : std::filesystem::path();
}

namespace {

std::vector<std::function<void()>>& AroundEveryTest() {
  static std::vector<std::function<void()>> resets;
  return resets;
}

}  // namespace

bool ResetAroundEveryTest(std::function<void()> reset) {
  AroundEveryTest().push_back(std::move(reset));
  return true;
}

void ResetBetweenTests() {
  for (const std::function<void()>& reset : AroundEveryTest()) reset();
}

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "velloran-test-XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) std::abort();
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace testing_support
