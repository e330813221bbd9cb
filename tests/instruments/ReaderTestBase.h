#pragma once
// Runs each reader test in its own folder with silent message boxes, so bare
// file names work as the Import command passes them and the last message can
// be read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "record/ShotRecord.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"

class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sup::SetUserMessageHook([](sup::UserMessageKind, std::string_view, std::string_view) {});
    sup::ClearUserMessages();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    sup::SetUserMessageHook({});
    sup::SetAbortPollHook({});
    (void)sup::LKILL(1);  // an abort a test raised does not reach the next one
  }
  static void Write(const std::string& name, const std::string& bytes) {
    testing_support::WriteFile(name, bytes);
  }
  static std::string Padded256(std::string_view name) {
    std::string s(name);
    s.resize(256, ' ');
    return s;
  }
  static std::string ReadError(std::string_view name) {
    return "Error reading file " + Padded256(name);
  }
  /// A record as the program might hold it before an import.
  static vel::ShotRecord Loaded() {
    vel::ShotRecord r;
    r.CRECNAME = "HELD";
    r.NTRACE = 2;
    r.NSAMP = 3;
    r.SPACING = -4.0f;
    r.SAMPINT = 0.125f;
    (void)vel::RebuildTraceArrays(r);
    for (std::size_t i = 0; i < r.TRACES.size(); ++i) r.TRACES[i] = static_cast<float>(i) + 0.5f;
    return r;
  }

  testing_support::TempDir dir_;
  std::filesystem::path previous_;
};
