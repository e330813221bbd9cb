// Drawing speed: the trace display redraws tens of thousands of short
// polyline segments and fills wiggle areas as polygons.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/draw/Canvas.h"

namespace {

using plat::Point;

// TRACES polylines of POINTS points each: one pixel across per sample, a few
// pixels of wiggle, like seismic traces drawn side by side.
std::vector<std::vector<Point>> Traces(int traces, int points, int width, int height) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> wiggle(-6, 6);
  std::vector<std::vector<Point>> all;
  for (int t = 0; t < traces; ++t) {
    std::vector<Point> line;
    const int base = 10 + (t * (width - 20)) / traces;
    for (int i = 0; i < points; ++i)
      line.push_back({base + wiggle(rng), (i * (height - 1)) / points});
    all.push_back(std::move(line));
  }
  return all;
}

void BM_PolylineMillionSegments(benchmark::State& state) {
  plat::Surface s(1920, 1080);
  plat::Canvas c(s);
  c.SetPen(plat::Pen::Solid(0));
  c.SetRop2(state.range(0) ? plat::Rop2::XorPen : plat::Rop2::CopyPen);
  const auto traces = Traces(1000, 1001, 1920, 1080);
  for (auto _ : state) {
    for (const auto& t : traces) c.Polyline(t);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1000 * 1000);
  state.SetLabel(state.range(0) ? "exclusive-or" : "copy");
}
BENCHMARK(BM_PolylineMillionSegments)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LineToMillionSegments(benchmark::State& state) {
  plat::Surface s(1920, 1080);
  plat::Canvas c(s, {}, {0, 0, 1900, 1060});  // lines crossing the clip edge take the checked path
  c.SetPen(plat::Pen::Solid(0x0000FF));
  const auto traces = Traces(1000, 1001, 1920, 1080);
  for (auto _ : state) {
    for (const auto& t : traces) {
      c.MoveTo(t[0]);
      for (std::size_t i = 1; i < t.size(); ++i) c.LineTo(t[i]);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1000 * 1000);
}
BENCHMARK(BM_LineToMillionSegments)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WiggleAreaPolygons(benchmark::State& state) {
  plat::Surface s(1920, 1080);
  plat::Canvas c(s);
  c.SetPen(plat::Pen::None());
  c.SetBrush(plat::Brush::Solid(0));
  // Each trace's positive lobes closed against its zero line: 200 polygons of 1000 points.
  auto traces = Traces(200, 1000, 1920, 1080);
  for (auto& t : traces) {
    const int zero = t[0].x;
    for (Point& p : t) p.x = std::max(p.x, zero) + 4;
    t.push_back({zero, t.back().y});
    t.push_back({zero, t.front().y});
  }
  for (auto _ : state) {
    for (const auto& t : traces) c.Polygon(t);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_WiggleAreaPolygons)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LargeEllipseAndPolygon(benchmark::State& state) {
  plat::Surface s(1920, 1080);
  plat::Canvas c(s);
  c.SetPen(plat::Pen::Solid(0));
  c.SetBrush(plat::Brush::Halftone(0xFF0000, 0x0000FF));
  const Point star[] = {{960, 20}, {1500, 1060}, {100, 300}, {1820, 300}, {420, 1060}};
  for (auto _ : state) {
    c.Ellipse({100, 50, 1800, 1050});
    c.SetFillMode(plat::FillMode::Winding);
    c.Polygon(star);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LargeEllipseAndPolygon)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
