#pragma once
// Runs the real program on a scripted headless screen: the fixture starts
// vel::VELLORAN with its settings in a temporary folder, takes each script
// step once the previous one has been handled, and collects the messages
// shown. Also the helpers that read back what a command left.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "display/Pickers.h"
#include "formats/TraceFile.h"
#include "platform/testing/Harness.h"
#include "platform/window/Window.h"
#include "shell/FileCommands.h"
#include "shell/Import.h"
#include "shell/Velloran.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Startup.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/Windows.h"

namespace program_test {

namespace fs = std::filesystem;

/// The program run in a temporary folder; file dialogs and other questions
/// are answered from the harness script.
class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() : before_(fs::current_path()) {
    tk::ResetToolkitForTesting();
    tk::SetCommandLineForTesting("velloran");
    setup_.settings.files = vel::SettingsFilesFor("velloran", dir_.path());
    setup_.settings.currentDirectory = [this] { return dir_.path().string(); };
    setup_.settings.changeDirectory = [](const std::string&) { return true; };
    setup_.debugFile = dir_ / "velloran.dbg";
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view text) {
      messages_.emplace_back(text);
    });
    // The readers' abort poll would take the script's next step while a
    // command still runs; nothing here aborts a read.
    sup::SetAbortPollHook([] { return false; });
  }
  ~ProgramTest() override {
    sup::SetUserMessageHook({});
    sup::SetAbortPollHook({});
    tk::SetCommandLineForTesting("");
    tk::ResetToolkitForTesting();
    fs::current_path(before_);
  }

  /// Runs the program: each step once the previous one has been handled
  /// (a step usually posts one command), then Exit.
  void Run(std::vector<std::function<void()>> steps) {
    steps_ = std::move(steps);
    steps_.push_back([] { Post(vel::kCommandExit); });
    harness_.Call([this] { StepFrom(0); });
    EXPECT_EQ(vel::VELLORAN(setup_), 0);
  }
  void StepFrom(std::size_t i) {
    if (i >= steps_.size()) return;
    steps_[i]();
    // An input event ends the script's turn, so the loop handles the command
    // posted before the next step runs.
    harness_.MouseMove(tk::WindowClientHandle(tk::kMainWindow), {5, 5});
    if (i + 1 < steps_.size()) harness_.Call([this, i] { StepFrom(i + 1); });
  }
  std::vector<std::function<void()>> steps_;

  static void Post(int command) {
    plat::PostMessage(tk::WindowFrameHandle(tk::kMainWindow), plat::Msg::Command, command);
  }
  static std::string Title() { return plat::GetWindowText(tk::WindowFrameHandle(tk::kMainWindow)); }
  static std::string TitleOf(std::string_view name) {
    vel::ShotRecord r;
    r.CRECNAME = name;
    return vel::RecordTitle(r);
  }
  /// Answers the next file dialog with PATH.
  void Choose(const fs::path& path) { harness_.Answer("filedialog", path.string()); }

  fs::path before_;
  testing_support::TempDir dir_;
  plat::testing::Harness harness_{{1920, 1080}};
  vel::VelloranSetup setup_;
  std::vector<std::string> messages_;
};

/// The record, options and axes of a trace file.
inline vel::TrxContents Decode(const fs::path& p) {
  const std::string text = testing_support::ReadFile(p);
  std::vector<std::byte> bytes(text.size());
  std::memcpy(bytes.data(), text.data(), text.size());
  vel::TrxContents c;
  std::vector<vel::TrxNotice> notices;
  EXPECT_TRUE(vel::DecodeTraceFile(bytes, c, notices)) << p;
  return c;
}

/// The record as IMPORT reads PATH, with the reader's own picks only.
inline vel::ShotRecord ReadByImport(const fs::path& path) {
  vel::ShotRecord rec;
  std::int32_t n = 0;
  int ierr = 0;
  vel::IMPORT(rec, path.string(), n, ierr, false, false);
  EXPECT_EQ(ierr, 0) << path;
  return rec;
}

/// REC as IMPORT reads PATH, with the picks the import adds.
inline vel::ShotRecord Imported(const fs::path& path) {
  vel::ShotRecord rec = ReadByImport(path);
  vel::AutoPickUnpicked(rec, vel::PickParameters{}.simple);
  return rec;
}

inline void ExpectSameRecord(const vel::ShotRecord& a, const vel::ShotRecord& b) {
  EXPECT_EQ(a.NTRACE, b.NTRACE);
  EXPECT_EQ(a.NSAMP, b.NSAMP);
  EXPECT_EQ(a.SAMPINT, b.SAMPINT);
  EXPECT_EQ(a.TDELAY, b.TDELAY);
  EXPECT_EQ(a.TRACES, b.TRACES);
  EXPECT_EQ(a.IBPICK, b.IBPICK);
  EXPECT_EQ(a.GEOLOC, b.GEOLOC);
  EXPECT_EQ(a.TRACEMAX, b.TRACEMAX);
}

}  // namespace program_test
