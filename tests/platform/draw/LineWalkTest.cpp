// Lines against a plain Bresenham reference: the canvas skips the parts of a
// line outside the clip without walking them, and must still light exactly
// the pixels (and dash positions) the full walk would.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

#include "platform/draw/Canvas.h"

namespace plat {
namespace {

// Every pixel of the line A-B, B excluded, in order; ties step the minor axis late.
std::vector<Point> Reference(Point a, Point b) {
  std::vector<Point> out;
  const int dx = b.x - a.x, dy = b.y - a.y;
  const int adx = std::abs(dx), ady = std::abs(dy);
  const int n = std::max(adx, ady);
  for (int i = 0; i < n; ++i) {
    // Minor offset: the nearest to i * minor / major, halves rounded down.
    const long long major = n, minor = adx >= ady ? ady : adx;
    const long long m = (2 * minor * i + major - 1) / (2 * major);
    const int mx = adx >= ady ? i : static_cast<int>(m), my = adx >= ady ? static_cast<int>(m) : i;
    out.push_back({a.x + (dx < 0 ? -mx : mx), a.y + (dy < 0 ? -my : my)});
  }
  return out;
}

TEST(LineWalk, ClippedLinesLightTheReferencePixels) {
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> far(-400, 460), near(-5, 70), size(0, 64);
  for (int round = 0; round < 2000; ++round) {
    const bool longLine = round % 2 == 0;
    const Point a{longLine ? far(rng) : near(rng), longLine ? far(rng) : near(rng)};
    const Point b{longLine ? far(rng) : near(rng), longLine ? far(rng) : near(rng)};
    const int l = size(rng) - 4, t = size(rng) - 4;
    const Rect clip{l, t, l + size(rng), t + size(rng)};
    const bool dotted = round % 3 == 0;
    Surface s(64, 64, 0);
    Canvas c(s, {}, clip);
    c.SetPen(dotted ? Pen::Styled(PenStyle::Dot, 0xFFFFFF) : Pen::Solid(0xFFFFFF));
    c.SetBkMode(BkMode::Transparent);
    c.MoveTo(a);
    c.LineTo(b);
    Surface want(64, 64, 0);
    const std::vector<Point> pixels = Reference(a, b);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      const Point p = pixels[i];
      if (dotted && (i % 6) >= 3) continue;  // dots: 3 on, 3 off
      if (clip.Contains(p)) want.Set(p.x, p.y, 0xFFFFFF);
    }
    ASSERT_TRUE(s == want) << "round " << round << ": (" << a.x << "," << a.y << ")-(" << b.x << ","
                           << b.y << ")";
  }
}

// Segments must leave the surface, the current position and the dash
// position exactly as MoveTo, LineTo and SetPixel per segment would.
TEST(LineWalk, SegmentsDrawAsEachSegmentAlone) {
  struct Case {
    const char* name;
    Pen pen;
    Rop2 rop;
    bool endPixels;
    Rect clip;
  };
  const Case cases[] = {
      {"solid", Pen::Solid(0x123456), Rop2::CopyPen, true, {0, 0, 64, 64}},
      {"solid clipped", Pen::Solid(0x123456), Rop2::CopyPen, true, {5, 9, 40, 50}},
      {"solid no ends", Pen::Solid(0x123456), Rop2::CopyPen, false, {0, 0, 64, 64}},
      {"exclusive-or", Pen::Solid(0x00FF00), Rop2::XorPen, false, {0, 0, 64, 64}},
      {"dotted", Pen::Styled(PenStyle::Dot, 0xFFFFFF), Rop2::CopyPen, true, {0, 0, 64, 64}},
      {"wide", Pen::Solid(0xFF0000, 3), Rop2::CopyPen, true, {0, 0, 64, 64}},
      {"no pen", Pen::None(), Rop2::CopyPen, true, {0, 0, 64, 64}},
  };
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-10, 73);
  for (const Case& c : cases) {
    for (int round = 0; round < 50; ++round) {
      std::vector<Point> points(static_cast<std::size_t>(round % 7) + 1);
      for (Point& p : points) p = {coord(rng), coord(rng)};
      if (points.size() > 2) points[2] = points[1];  // a segment of no length
      const Pixel end = 0xABCDEF;
      Surface want(64, 64, 0x808080), got(64, 64, 0x808080);
      Canvas one(want, {}, c.clip), batch(got, {}, c.clip);
      for (Canvas* canvas : {&one, &batch}) {
        canvas->SetPen(c.pen);
        canvas->SetRop2(c.rop);
        canvas->SetBkMode(BkMode::Transparent);
      }
      for (std::size_t i = 1; i < points.size(); ++i) {
        one.MoveTo(points[i - 1]);
        one.LineTo(points[i]);
        if (c.endPixels) one.SetPixel(points[i], end);
      }
      if (points.size() == 1) one.MoveTo(points[0]);
      batch.Segments(points, c.endPixels ? std::optional<Pixel>(end) : std::nullopt);
      ASSERT_TRUE(got == want) << c.name << " round " << round;
      EXPECT_EQ(batch.CurrentPosition(), one.CurrentPosition()) << c.name;
      // The dash position carries on alike.
      one.LineTo({63, 0});
      batch.LineTo({63, 0});
      ASSERT_TRUE(got == want) << c.name << " round " << round << " after a further line";
    }
  }
}

}  // namespace
}  // namespace plat
