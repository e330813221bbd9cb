// A grid's block and the X11 CLIPBOARD selection on a private Xvfb: a copied
// block is offered to other X programs, and a paste takes the text another
// X program put there. Skipped when Xvfb is absent. VELLORAN_GRID_SHOT names
// a file the screen with the selected block is also written to (XWD).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "platform/backend/Backend.h"
#include "platform/backend/x11/X11TestHooks.h"
#include "platform/window/Window.h"
#include "resources/ResourceFormat.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"
#include "tests/toolkit/grid/GridTestSupport.h"
#include "toolkit/core/ToolkitState.h"

namespace tk {
namespace {

using Pump = testing_support::EventPump;

/// Paints whatever waits to be painted and shows it on the server.
void PaintAll(plat::Backend& x11) {
  plat::Message m;
  while (plat::PeekMessage(m, plat::kNoWindow, plat::Msg::Null, plat::Msg::Null,
                           plat::PeekMode::Remove))
    plat::DispatchMessage(m);
  plat::FlushDrawing();
  ASSERT_TRUE(plat::x11test::Sync(x11));
}

TEST(GridClipboardX11, CopiedBlocksReachOtherProgramsAndTheirTextIsPasted) {
  const std::string xvfb = testing_support::FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not on PATH";
  testing_support::Xvfb server;
  std::string why;
  ASSERT_TRUE(server.Start(xvfb, 24, why, "800x600", false)) << why;
  std::unique_ptr<plat::Backend> backend = plat::MakeX11Backend(server.Display());
  std::unique_ptr<plat::Backend> other = plat::MakeX11Backend(server.Display());
  ASSERT_TRUE(backend && other);
  plat::Backend* x11 = backend.get();
  plat::Init(std::move(backend));

  WindowStyleRecord style;
  style.width = 640;
  style.height = 480;
  style.title = "Velloran";
  WindowOpen(style);
  RegisterGridClasses();
  res::ResourceSet set;
  res::ResourceError error;
  ASSERT_TRUE(res::ParseResourceText("grid-dialogs", testing::GridDialogsText(), set, error))
      << error.Text();
  for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
  WDialogLoad(950);
  WDialogShow(0, 0, 0, kShowModeless);
  PaintAll(*x11);
  GridRecord* g = FindGrid(1107);
  ASSERT_NE(g, nullptr);
  WGridPutCellReal(1107, 2, 1, 100.0f);
  WGridPutCellReal(1107, 3, 1, 200.0f);
  WGridPutCellReal(1107, 2, 2, 300.0f);
  WGridPutCellReal(1107, 3, 2, 400.0f);

  // The copied block is offered on CLIPBOARD, its rows ended the X way.
  plat::SetFocus(g->window);
  GridSetSelection(*g, 0, 1, 1, 2);
  ASSERT_TRUE(GridCopySelection(*g));
  // On the screen the block shows selected while the grid has the focus.
  PaintAll(*x11);
  const std::string xwd = testing_support::FindProgram("xwd");
  if (!xwd.empty()) {
    testing_support::Screenshot shot;
    ASSERT_TRUE(testing_support::TakeScreenshot(xwd, server.Display(), shot, why)) << why;
    const plat::Point cell = plat::ClientToScreen(g->cellArea, {GridColumnLine(*g, 2) + 3, 3});
    EXPECT_EQ(shot.At(cell.x, cell.y), plat::kColourSelection);
    if (const char* out = std::getenv("VELLORAN_GRID_SHOT")) {
      const std::string cmd = xwd + " -root -display " + server.Display() + " -out " + out;
      EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
  }
  EXPECT_TRUE(x11->ClipboardIsOurs());
  {
    Pump answering(*x11);
    EXPECT_EQ(other->ForeignClipboardText(), "100.0\t200.0\n300.0\t400.0");
  }

  // Another program copies a block: its text is pasted at the current cell.
  other->ClaimClipboard("1.5\t2.5\n3.5\t4.5\n");
  for (int i = 0; i < 100 && x11->ClipboardIsOurs(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  GridSetCurrentCell(*g, 1, 4, false, false);
  {
    Pump answering(*other);
    EXPECT_EQ(GridClipboardKind(), 2);
    ASSERT_TRUE(GridPasteTargetWritable(*g));
    GridPasteClipboard(*g);
  }
  float v = 0.0f;
  WGridGetCellReal(1107, 2, 5, v);
  EXPECT_EQ(v, 1.5f);
  WGridGetCellReal(1107, 3, 6, v);
  EXPECT_EQ(v, 4.5f);

  ResetToolkitForTesting();
  ClearDialogTemplates();
  WindowShutdown();
  other.reset();
  plat::Discard();
  server.Stop();
}

}  // namespace
}  // namespace tk
