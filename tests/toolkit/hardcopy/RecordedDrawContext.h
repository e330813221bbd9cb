#pragma once
// A drawing context that records what a printer driver or a print job
// draws on it, with the pen, brush and clip in force at each call.
#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/draw/DrawContext.h"

namespace tk::testing {

struct Call {
  std::string what;
  plat::Pen pen;
  plat::Brush brush;
  std::vector<plat::Point> points;
  plat::Rect box;
  plat::Pixel colour = 0;
  std::optional<plat::Rect> clip;
};

class RecordedContext : public plat::DrawContext {
 public:
  std::vector<Call> calls;
  std::optional<plat::Rect> clip;

  void SetPen(const plat::Pen& pen) override { pen_ = pen; }
  void SetBrush(const plat::Brush& brush) override { brush_ = brush; }
  void MoveTo(plat::Point p) override { Add("move", {p}); }
  void LineTo(plat::Point p) override { Add("line", {p}); }
  void SetPixel(plat::Point p, plat::Pixel c) override { Add("pixel", {p}).colour = c; }
  void Polyline(std::span<const plat::Point> p) override { Add("polyline", {p.begin(), p.end()}); }
  void Polygon(std::span<const plat::Point> p) override { Add("polygon", {p.begin(), p.end()}); }
  void Rectangle(const plat::Rect& r) override { Add("rectangle", {}).box = r; }
  void Ellipse(const plat::Rect& r) override { Add("ellipse", {}).box = r; }
  void Arc(const plat::Rect& r, plat::Point s, plat::Point e) override { Add("arc", {s, e}).box = r; }
  void Pie(const plat::Rect& r, plat::Point s, plat::Point e) override { Add("pie", {s, e}).box = r; }
  void SetClip(std::optional<plat::Rect> c) override { clip = c; }
  void Text(const plat::Font&, plat::Point at, std::string_view text,
            const plat::TextStyle& style) override {
    Call& c = Add("text:" + std::string(text), {at});
    c.colour = style.colour;
  }
  bool GradientTriangles(std::span<const plat::GradientVertex> vertices,
                         std::span<const std::array<int, 3>> triangles) override {
    Call& c = Add("gradient", {});
    for (const plat::GradientVertex& v : vertices) {
      c.points.push_back({v.x, v.y});
      gradientColours.push_back(v.colour);
    }
    gradientTriangles.assign(triangles.begin(), triangles.end());
    return acceptGradients;
  }
  int Count(const std::string& what) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [&what](const Call& c) { return c.what == what; }));
  }
  bool acceptGradients = false;
  std::vector<plat::Pixel> gradientColours;
  std::vector<std::array<int, 3>> gradientTriangles;
  const Call* Last(const std::string& what) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
      if (it->what == what) return &*it;
    return nullptr;
  }
  /// Notes a mark (a page start, say) among the calls.
  void Mark(std::string what) { Add(std::move(what), {}); }

 private:
  Call& Add(std::string what, std::vector<plat::Point> points) {
    calls.push_back({std::move(what), pen_, brush_, std::move(points), {}, 0, clip});
    return calls.back();
  }
  plat::Pen pen_;
  plat::Brush brush_;
};

}  // namespace tk::testing
