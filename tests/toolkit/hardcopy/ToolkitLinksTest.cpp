// Toolkit start-up joins its layers: the graphics layer starts with the main
// window, and an abnormal exit shows its message in a box once it can. One
// reset for tests returns every sub-folder's state to its start.
#include <gtest/gtest.h>

#include "platform/dialog/MessageBox.h"
#include "platform/testing/Harness.h"
#include "platform/window/Window.h"
#include "toolkit/core/AbnormalExit.h"
#include "toolkit/core/DialogStatus.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/core/Windows.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/ToolkitStart.h"

namespace tk {
namespace {

class ToolkitLinksTest : public ::testing::Test {
 protected:
  ToolkitLinksTest() { ResetToolkitForTesting(); }
  ~ToolkitLinksTest() override {
    WindowShutdown();
    SetAbnormalExitHooks(nullptr, nullptr);
    ResetToolkitForTesting();
  }
  plat::testing::Harness harness_{{1024, 768}};
};

TEST_F(ToolkitLinksTest, GraphicsStartsWhenTheMainWindowOpens) {
  WToolkitStart();
  Gs().aspectRatio = 0;
  Gs().displayPaletteSize = 0;
  WindowStyleRecord style;
  style.width = 400;
  style.height = 300;
  WindowOpen(style);
  EXPECT_FLOAT_EQ(Gs().aspectRatio, 400.0f / 300.0f);  // the window's drawable
  EXPECT_EQ(Gs().displayPaletteSize, 256);
  EXPECT_EQ(Gs().drawableKind, kDrawWindow);
}

TEST_F(ToolkitLinksTest, EditorBuffersAreMadeAtStartAndFreedWithTheirWindowAndAtShutdown) {
  WToolkitStart();
  WindowOpen(WindowStyleRecord{});
  int child = 0;
  WindowOpenChild(child);
  ASSERT_GT(child, 0);
  for (const int w : {child, 0}) {
    EditorBufferSetName(w, 1, "kept.txt");
    EditorBuffer(w, 1)->savedText = "text";
  }
  WindowCloseChild(child);
  EXPECT_FALSE(EditorBuffer(child, 1)->nameSet);
  EXPECT_TRUE(EditorBuffer(child, 1)->savedText.empty());
  EXPECT_TRUE(EditorBuffer(0, 1)->nameSet);
  WindowShutdown();
  EXPECT_EQ(EditorBuffer(0, 1), nullptr);
}

TEST_F(ToolkitLinksTest, AbnormalExitShowsABoxOnceTheMainWindowIsOpen) {
  int exitCode = -1;
  SetAbnormalExitHooks(nullptr, [&](int code) { exitCode = code; });
  WToolkitStart();
  const std::size_t before = plat::MessageBoxLog().size();
  AbnormalExit("no window yet", 2);  // goes to standard error
  EXPECT_EQ(exitCode, 2);
  EXPECT_EQ(plat::MessageBoxLog().size(), before);

  WindowOpen(WindowStyleRecord{});
  harness_.Answer("messagebox", "OK");
  AbnormalExit("gone wrong", 3);
  EXPECT_EQ(exitCode, 3);
  ASSERT_EQ(plat::MessageBoxLog().size(), before + 1);
  EXPECT_EQ(plat::MessageBoxLog().back().caption, "Parvendrite");
  EXPECT_EQ(plat::MessageBoxLog().back().text, "Abnormal exit (code 3) : gone wrong");
}

TEST_F(ToolkitLinksTest, OneResetReturnsEverySubFolderToItsStart) {
  WToolkitStart();
  ErrorState().lastError = 16;
  WEventTypeSwitch(kEventMouseMove, 1);
  DialogStatus().answer = 1;
  HardcopyDriverSelect(DriverOperation::Select, 5);  // a number no driver answers
  RasterPrinterModelSet(5);

  ResetToolkitForTesting();
  EXPECT_FALSE(ToolkitStart().started);
  EXPECT_EQ(ErrorState().lastError, 0);
  int moves = -1;
  EventTypeEnabled(kEventMouseMove, moves);
  EXPECT_EQ(moves, 0);
  EXPECT_EQ(DialogStatus().answer, 0);
  EXPECT_EQ(HardcopyDispatchNumber(), kDefaultHardcopyDriver);
  EXPECT_FALSE(CurrentDeviceModels().rasterChosen);
  EXPECT_EQ(CurrentDeviceModels().rasterModel, kRasterModelDefault);
}

}  // namespace
}  // namespace tk
