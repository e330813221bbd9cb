// Painting a coloured editor: every visible line asks the colouring hook
// and is drawn piece by piece at the control's own positions.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/controls/Controls.h"
#include "platform/controls/RichEdit.h"
#include "platform/testing/Harness.h"
#include "toolkit/core/Windows.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorColour.h"
#include "toolkit/editor/EditorWindow.h"

namespace {

void BM_EditorColouredPaint(benchmark::State& state) {
  plat::testing::Harness harness{{1920, 1080}};
  tk::WindowStyleRecord style;
  style.width = 800;
  style.height = 600;
  tk::WindowOpen(style);
  plat::RegisterControls();
  tk::EditorBuffersAllocate();
  int n = 0;
  tk::WindowOpenChild(n, 7, 10, 10, 900, 700, 0, {}, 0, "Coloured");
  int status = 0;
  tk::EditorMode mode = tk::EditorMode::Modeless;
  tk::EditorOpen(status, mode, 0, tk::kEditorNoMenu | tk::kEditorNoToolbar, 4, 10, -1, {}, {});
  tk::EditorRecord* rec = tk::CurrentEditor();
  std::string text;
  for (int i = 0; i < 2000; ++i)
    text += "shot " + std::to_string(i) + "\tchannel\t24 // picked by hand\r";
  plat::RichEditReplaceSel(rec->textControl, text, false);
  plat::RichEditSetSel(rec->textControl, 0, 0);
  // A hook that colours everything after "//".
  tk::SetEditorColourHook([](int, int, int, int, int* ends, int* starts, int* colours, int& count,
                             std::string_view line) {
    count = 0;
    const std::size_t at = line.find("//");
    if (at == std::string_view::npos) return;
    starts[0] = static_cast<int>(at) + 1;
    ends[0] = static_cast<int>(line.size());
    colours[0] = 0x008000;
    count = 1;
  });
  tk::EditorColourOnFor(*rec);
  harness.DispatchPending();
  for (auto _ : state) {
    plat::InvalidateRect(rec->textControl, std::nullopt, true);
    plat::UpdateWindow(rec->textControl);
  }
  state.SetItemsProcessed(state.iterations());
  tk::SetEditorColourHook({});
  tk::WindowShutdown();
  tk::EditorBuffersRelease();
}

}  // namespace

BENCHMARK(BM_EditorColouredPaint)->UseRealTime()->Unit(benchmark::kMillisecond);
