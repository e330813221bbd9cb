// The grid of the Shot Header Editor at work: 10000 rows of reals put into
// three columns with one repaint at the end, paging through all rows, the
// grid saved as a CSV file and loaded back, sorted by a column of random
// reals, and copying and pasting all its cells as clipboard text.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include <unistd.h>

#include <string>
#include <vector>

#include "platform/testing/Harness.h"
#include "resources/ResourceFormat.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridFiles.h"
#include "toolkit/grid/GridSortFind.h"
#include "toolkit/grid/GridModel_p.h"

namespace {

constexpr int kRows = 10000;

constexpr std::string_view kDialogs = R"(dialog 8950 popup
  caption "Shot Header Editor"
  rect 0 0 300 220
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control JQXGRID 1107 5 5 260 150 "" WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | 0xD280
  extras
[Grids] 
 1107     4 10000  8951 
  end
end
dialog 8951 popup
  rect 0 0 250 40
  control INTEGEREDIT 3001 0 0 40 12 "Number" ES_READONLY | ES_RIGHT | WS_VISIBLE | WS_BORDER
  control REALEDIT 3002 40 0 60 12 "Easting" ES_RIGHT | WS_VISIBLE | WS_BORDER
  control REALEDIT 3003 100 0 60 12 "Northing" ES_RIGHT | WS_VISIBLE | WS_BORDER
  control REALEDIT 3004 160 0 60 12 "Elevation" ES_RIGHT | WS_VISIBLE | WS_BORDER
  extras
[Formats] 
 3002 (f11.1) 
 3003 (f11.1) 
 3004 (f11.1) 
  end
end
)";

struct ShownGrid {
  plat::testing::Harness harness{{1920, 1080}};
  std::vector<float> values;
  ShownGrid() {
    tk::WindowStyleRecord style;
    style.width = 800;
    style.height = 600;
    tk::WindowOpen(style);
    tk::RegisterGridClasses();
    res::ResourceSet set;
    res::ResourceError error;
    if (res::ParseResourceText("grid-bench", kDialogs, set, error))
      for (const res::DialogTemplate& t : set.dialogs) tk::AddDialogTemplate(t);
    tk::WDialogLoad(8950);
    tk::WDialogShow(0, 0, 0, tk::kShowModeless);
    harness.DispatchPending();
    for (int i = 0; i < kRows; ++i) values.push_back(1000.0f + 2.5f * static_cast<float>(i));
  }
  ~ShownGrid() {
    tk::WDialogUnload();
    tk::ClearDialogTemplates();
    tk::WindowShutdown();
  }
};

void PutRealColumns(benchmark::State& state) {
  ShownGrid grid;
  for (auto _ : state)
    for (int column = 2; column <= 4; ++column)
      tk::WGridPutReal(1107, column, grid.values, kRows, "(F9.1)");
  state.SetItemsProcessed(state.iterations() * 3 * kRows);
}

void PageThroughRows(benchmark::State& state) {
  ShownGrid grid;
  for (int column = 2; column <= 4; ++column)
    tk::WGridPutReal(1107, column, grid.values, kRows, "(F9.1)");
  tk::GridRecord* g = tk::FindGrid(1107);
  int pages = 0;
  for (auto _ : state) {
    pages = 0;
    plat::SendMessage(g->window, plat::Msg::VScroll, plat::MakeWParam(plat::kSbThumbPosition, 0), 0);
    while (g->topRow + g->visibleRows < g->rowCount) {
      plat::SendMessage(g->window, plat::Msg::VScroll, plat::MakeWParam(plat::kSbPageDown, 0), 0);
      ++pages;
    }
  }
  state.SetItemsProcessed(state.iterations() * pages);
}

/// A file in the temporary folder, removed with the object.
struct TempFile {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("velloran-grid-bench-" + std::to_string(::getpid()) + ".csv");
  ~TempFile() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
};

/// The three real columns filled, the number column too.
void FillGrid(ShownGrid& grid) {
  std::vector<std::int32_t> numbers;
  for (int i = 1; i <= kRows; ++i) numbers.push_back(i);
  tk::WGridPutInteger(1107, 1, numbers, kRows);
  for (int column = 2; column <= 4; ++column)
    tk::WGridPutReal(1107, column, grid.values, kRows, "(F9.1)");
}

void SaveCsv(benchmark::State& state) {
  ShownGrid grid;
  FillGrid(grid);
  TempFile file;
  for (auto _ : state) tk::WGridSave(1107, file.path.string());
  state.SetItemsProcessed(state.iterations() * kRows);
}

void LoadCsv(benchmark::State& state) {
  ShownGrid grid;
  FillGrid(grid);
  TempFile file;
  tk::WGridSave(1107, file.path.string());
  for (auto _ : state) tk::WGridLoad(1107, file.path.string());
  state.SetItemsProcessed(state.iterations() * kRows);
}

void SortRandomReals(benchmark::State& state) {
  ShownGrid grid;
  FillGrid(grid);
  std::mt19937 random(11);
  std::uniform_real_distribution<float> dist(-5000.0f, 5000.0f);
  std::vector<float> shuffled(kRows);
  for (auto _ : state) {
    state.PauseTiming();
    for (float& v : shuffled) v = dist(random);
    tk::WGridPutReal(1107, 2, shuffled, kRows, "(F9.1)");
    state.ResumeTiming();
    tk::WGridSort(1107, 2);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(SaveCsv)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadCsv)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SortRandomReals)->Unit(benchmark::kMillisecond)->UseRealTime();

void CopyAllCells(benchmark::State& state) {
  ShownGrid grid;
  for (int column = 2; column <= 4; ++column)
    tk::WGridPutReal(1107, column, grid.values, kRows, "(F9.1)");
  tk::GridRecord* g = tk::FindGrid(1107);
  tk::GridSetSelection(*g, 0, kRows - 1, 0, 3);
  std::size_t length = 0;
  for (auto _ : state) {
    length = tk::GridSelectionText(*g).size();
    benchmark::DoNotOptimize(length);
  }
  state.SetItemsProcessed(state.iterations() * 4 * kRows);
}

void PasteAllCells(benchmark::State& state) {
  ShownGrid grid;
  std::string text;
  for (int i = 0; i < kRows; ++i)
    text += "\t" + std::to_string(grid.values[static_cast<std::size_t>(i)]) + "\t1.5\t-2.25\r\n";
  tk::GridRecord* g = tk::FindGrid(1107);
  for (auto _ : state) {
    g->currentColumn = 0;
    g->currentRow = 0;
    tk::GridPasteText(*g, text);
  }
  state.SetItemsProcessed(state.iterations() * 4 * kRows);
}

BENCHMARK(CopyAllCells)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PasteAllCells)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PutRealColumns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PageThroughRows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
