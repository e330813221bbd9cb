// A grid window on a private Xvfb: a child window turned into a grid editor
// shows its menu bar, toolbar, the copied grid with headers and row labels,
// and the row and column read-outs. Skipped when Xvfb is absent.
// VELLORAN_GRID_WINDOW_SHOT names a file the screen is also written to (XWD).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/backend/Backend.h"
#include "platform/backend/x11/X11TestHooks.h"
#include "platform/controls/Controls.h"
#include "platform/window/Window.h"
#include "resources/ResourceFormat.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"
#include "tests/toolkit/grid/GridPeripheryTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/grid/GridEditorWindow.h"

namespace tk {
namespace {

void PaintAll(plat::Backend& x11) {
  plat::Message m;
  while (plat::PeekMessage(m, plat::kNoWindow, plat::Msg::Null, plat::Msg::Null,
                           plat::PeekMode::Remove))
    plat::DispatchMessage(m);
  plat::FlushDrawing();
  ASSERT_TRUE(plat::x11test::Sync(x11));
}

TEST(GridEditorWindowX11, AGridWindowShowsItsBarsAndTheCopiedGrid) {
  const std::string xvfb = testing_support::FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not on PATH";
  testing_support::Xvfb server;
  std::string why;
  ASSERT_TRUE(server.Start(xvfb, 24, why, "1024x768", false)) << why;
  std::unique_ptr<plat::Backend> backend = plat::MakeX11Backend(server.Display());
  ASSERT_TRUE(backend);
  plat::Backend* x11 = backend.get();
  plat::Init(std::move(backend));

  WindowStyleRecord style;
  style.x = 0;
  style.y = 0;
  style.width = 300;
  style.height = 200;
  style.title = "Velloran";
  WindowOpen(style);
  RegisterGridClasses();
  for (const std::string& text :
       {testing::GridDialogsText(), std::string(testing::kPeripheryDialogs)}) {
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("grids", text, set, error)) << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
  }
  WDialogLoad(974);
  WGridPutCellDouble(2200, 3, 2, 12.75);
  WGridPutCellReal(2200, 2, 1, 3.5f);

  int n = 0;
  WindowOpenChild(n, 7 | kWsStatusBar, 320, 40, 680, 600, 0, {}, 0, "Grid Editor");
  ASSERT_GT(n, 0);
  int status = -1, mode = kGridWindowModeless;
  GridWindowOpen(status, 2200, mode, 0, 0, -1, {}, {});
  ASSERT_EQ(status, 0);
  GridWindowRecord* rec = GridWindowOf(n);
  ASSERT_NE(rec, nullptr);
  {
    int f = 0;
    GridStoreCellValue(f, 0, 0, 0.0, "first", "");
    GridStoreCellValue(f, 0, 2, 0.0, "third", "");
  }
  WGridSetCell(0, 2, 3);
  PaintAll(*x11);

  EXPECT_TRUE(plat::IsWindowVisible(rec->window));
  EXPECT_NE(plat::GetMenu(rec->window), plat::kNoMenu);
  EXPECT_EQ(plat::StatusBarGetText(rec->statusBar, 1), "\t\t3");
  EXPECT_EQ(plat::StatusBarGetText(rec->statusBar, 3), "\t\t2");
  // The window was shrunk to the grid: the grid's last column ends at the
  // client area's right edge, give or take its frame and scroll bar.
  const GridRecord* g = GridWindowGrid(*rec);
  ASSERT_NE(g, nullptr);
  const plat::Rect client = plat::GetClientRect(WindowClientHandle(n));
  EXPECT_LT(client.Width(), 680);

  const std::string xwd = testing_support::FindProgram("xwd");
  if (!xwd.empty()) {
    // The toolbar's first button face and the grid's white cells show (the
    // server's exposures may come a little after the window is mapped).
    const plat::Rect button = plat::ToolbarGetButtonRect(rec->toolbar, kGwNew);
    const plat::Point face = plat::ClientToScreen(rec->toolbar, {button.left + 2, button.top + 2});
    const plat::Point cell =
        plat::ClientToScreen(g->cellArea, {GridColumnLine(*g, 0) + 3, 3 * g->rowHeight});
    testing_support::Screenshot shot;
    for (int attempt = 0; attempt < 20; ++attempt) {
      ASSERT_TRUE(testing_support::TakeScreenshot(xwd, server.Display(), shot, why)) << why;
      if (shot.At(cell.x, cell.y) == plat::Rgb(255, 255, 255)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      PaintAll(*x11);
    }
    EXPECT_EQ(shot.At(face.x, face.y), plat::kColourFace);
    EXPECT_EQ(shot.At(cell.x, cell.y), plat::Rgb(255, 255, 255));
    if (const char* out = std::getenv("VELLORAN_GRID_WINDOW_SHOT")) {
      const std::string cmd = xwd + " -root -display " + server.Display() + " -out " + out;
      EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
  }

  ResetToolkitForTesting();
  ClearDialogTemplates();
  WindowShutdown();
  plat::Discard();
  server.Stop();
}

}  // namespace
}  // namespace tk
