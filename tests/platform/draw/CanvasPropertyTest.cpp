// Properties every primitive keeps: drawn twice in exclusive-or mode it
// leaves the surface as it was; it changes each pixel at most once; a clip
// region confines it without changing what it draws inside.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/draw/Canvas.h"
#include "tests/platform/draw/DrawTestSupport.h"

namespace plat {
namespace {

using testing_draw::Noise;

struct Figure {
  const char* name;
  std::function<void(Canvas&)> draw;
};

const Point kZigzag[] = {{5, 5}, {50, 10}, {10, 40}, {5, 5}, {60, 60}, {61, 20}, {30, 22}};
const Point kStar[] = {{32, 2}, {44, 60}, {2, 20}, {62, 22}, {18, 60}};

std::vector<Figure> Figures() {
  auto pen = [](Canvas& c, Pen p) { c.SetPen(p); };
  return {
      {"line",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0x11AA33));
         c.MoveTo({3, 5});
         c.LineTo({60, 41});
       }},
      {"steep line off the surface",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0x2040F0));
         c.MoveTo({10, -200});
         c.LineTo({30, 900});
       }},
      {"polyline",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xFF8000));
         c.Polyline(kZigzag);
       }},
      {"dashed polyline, opaque gaps",
       [&](Canvas& c) {
         pen(c, Pen::Styled(PenStyle::Dash, 0x00FF00));
         c.SetBkMode(BkMode::Opaque);
         c.SetBkColour(0x0000FF);
         c.Polyline(kZigzag);
       }},
      {"dash-dot-dot line pair",
       [&](Canvas& c) {
         pen(c, Pen::Styled(PenStyle::DashDotDot, 0x00FF00));
         c.SetBkMode(BkMode::Transparent);
         c.MoveTo({1, 60});
         c.LineTo({40, 3});
         c.LineTo({63, 50});
       }},
      {"user style",
       [&](Canvas& c) {
         pen(c, Pen::User({5, 2, 1, 2}, 0x808000));
         c.Polyline(kZigzag);
       }},
      {"wide polyline",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xABCDEF, 5));
         c.Polyline(kZigzag);
       }},
      {"wide dashed polyline",
       [&](Canvas& c) {
         pen(c, Pen::Styled(PenStyle::DashDot, 0xABCDEF, 4));
         c.Polyline(kZigzag);
       }},
      {"wide line",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0x102030, 6));
         c.MoveTo({8, 50});
         c.LineTo({55, 12});
       }},
      {"polygon, alternate",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xFF0000));
         c.SetBrush(Brush::Solid(0x00FFFF));
         c.Polygon(kStar);
       }},
      {"polygon, winding, hatched",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xFF0000));
         c.SetFillMode(FillMode::Winding);
         c.SetBkMode(BkMode::Transparent);
         c.SetBrush(Brush::Hatched(HatchStyle::DiagonalCross, 0x00FF7F));
         c.Polygon(kStar);
       }},
      {"polygon, null pen, halftone",
       [&](Canvas& c) {
         pen(c, Pen::None());
         c.SetBrush(Brush::Halftone(0xFFFFFF, 0x123456));
         c.Polygon(kStar);
       }},
      {"polygon, wide dashed pen",
       [&](Canvas& c) {
         pen(c, Pen::Styled(PenStyle::Dash, 0x4080C0, 3));
         c.SetBrush(Brush::Solid(0x0F0F0F));
         c.Polygon(kStar);
       }},
      {"rectangle",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0x0000FF));
         c.SetBrush(Brush::Solid(0xF0E0D0));
         c.Rectangle({4, 6, 50, 41});
       }},
      {"rectangle, wide pen",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0x0000FF, 4));
         c.Rectangle({4, 6, 50, 41});
       }},
      {"rectangle, dotted pen",
       [&](Canvas& c) {
         pen(c, Pen::Styled(PenStyle::Dot, 0x0000FF));
         c.Rectangle({4, 6, 50, 41});
       }},
      {"rectangle, null pen",
       [&](Canvas& c) {
         pen(c, Pen::None());
         c.Rectangle({-4, 6, 50, 80});
       }},
      {"ellipse",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0x0000FF));
         c.SetBrush(Brush::Solid(0xF0E0D0));
         c.Ellipse({3, 7, 58, 44});
       }},
      {"ellipse, wide pen, no brush",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0x00AAFF, 4));
         c.SetBrush(Brush::None());
         c.Ellipse({-10, 7, 58, 70});
       }},
      {"ellipse, null pen",
       [&](Canvas& c) {
         pen(c, Pen::None());
         c.Ellipse({3, 7, 58, 44});
       }},
      {"arc",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xFF00FF));
         c.Arc({3, 7, 58, 44}, {60, 10}, {2, 40});
       }},
      {"wide arc",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xFF00FF, 3));
         c.Arc({3, 7, 58, 44}, {2, 40}, {60, 10});
       }},
      {"pie",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xFF00FF));
         c.Pie({3, 7, 58, 44}, {60, 10}, {2, 40});
       }},
      {"pie, wide sweep",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xFF00FF, 2));
         c.Pie({3, 7, 58, 44}, {2, 40}, {60, 10});
       }},
      {"chord",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xFF00FF));
         c.Chord({3, 7, 58, 44}, {60, 30}, {10, 3});
       }},
      {"chord, wide sweep",
       [&](Canvas& c) {
         pen(c, Pen::Solid(0xFF00FF));
         c.Chord({3, 7, 58, 44}, {10, 3}, {60, 30});
       }},
      {"dashed ellipse, opaque gaps",
       [&](Canvas& c) {
         pen(c, Pen::Styled(PenStyle::Dash, 0xFF00FF));
         c.SetBkMode(BkMode::Opaque);
         c.SetBkColour(0x00FFFF);
         c.SetBrush(Brush::Solid(0x808080));
         c.Ellipse({-5, 7, 58, 44});
       }},
      {"dotted pie over a hatch",
       [&](Canvas& c) {
         pen(c, Pen::Styled(PenStyle::Dot, 0xFF00FF));
         c.SetBkMode(BkMode::Transparent);
         c.SetBrush(Brush::Hatched(HatchStyle::Vertical, 0x00FF00));
         c.Pie({3, 7, 58, 44}, {2, 40}, {60, 10});
       }},
      {"dash-dot arc",
       [&](Canvas& c) {
         pen(c, Pen::Styled(PenStyle::DashDot, 0xFF00FF));
         c.Arc({3, 7, 58, 70}, {60, 10}, {2, 40});
       }},
      {"pixels",
       [&](Canvas& c) {
         c.SetPixel({3, 3}, 0x445566);
         c.SetPixel({200, 3}, 0x445566);
       }},
      {"pattern blit",
       [&](Canvas& c) {
         c.SetBrush(Brush::Halftone(0xFF0000, 0x00FF00));
         c.PatBlt({5, 5, 70, 30}, kPatInvert);
       }},
      {"destination invert",
       [&](Canvas& c) {
         c.PatBlt({-5, 20, 30, 70}, kDstInvert);
       }},
  };
}

TEST(CanvasProperty, ExclusiveOrTwiceRestoresTheSurface) {
  for (const Figure& f : Figures()) {
    if (std::string(f.name) == "pixels") continue;  // setting a pixel ignores the raster operation
    SCOPED_TRACE(f.name);
    const Surface before = Noise(64, 64, 7);
    Surface s = before;
    Canvas canvas(s);
    for (int pass = 0; pass < 2; ++pass) {
      canvas.SetRop2(Rop2::XorPen);
      f.draw(canvas);
    }
    EXPECT_TRUE(s == before);
  }
}

TEST(CanvasProperty, EveryPrimitiveChangesEachPixelOnce) {
  // On black, exclusive-or gives the same picture as copy only when no pixel
  // is painted twice within one call.
  for (const Figure& f : Figures()) {
    if (std::string(f.name).find("blit") != std::string::npos ||
        std::string(f.name) == "destination invert" || std::string(f.name) == "pixels")
      continue;  // blits define their own operation
    SCOPED_TRACE(f.name);
    Surface copied(64, 64, 0), xored(64, 64, 0);
    Canvas a(copied), b(xored);
    f.draw(a);
    b.SetRop2(Rop2::XorPen);
    f.draw(b);
    EXPECT_TRUE(copied == xored);
    EXPECT_FALSE(copied == Surface(64, 64, 0));
  }
}

TEST(CanvasProperty, ClipRegionConfinesEveryPrimitive) {
  const Point origin{7, 5};
  const Rect clip{-3, -2, 50, 45};
  Region region;
  region.Add({0, 0, 20, 30});
  region.Add({25, 10, 40, 50});
  region.Add({10, 35, 60, 40});
  region.Add({15, 20, 30, 38});  // overlaps the others
  std::vector<Figure> figures = Figures();
  figures.push_back({"fill rectangle", [](Canvas& c) {
                       c.FillRect({-10, -10, 100, 100}, Brush::Hatched(HatchStyle::Cross, 0xFF));
                     }});
  figures.push_back({"bit blit", [](Canvas& c) {
                       const Surface src = Noise(40, 40, 3);
                       c.BitBlt({-5, -5}, 40, 40, src, {0, 0}, kSrcInvert);
                     }});
  figures.push_back({"stretch blit", [](Canvas& c) {
                       const Surface src = Noise(9, 7, 4);
                       c.StretchBlt(60, -4, -70, 70, src, 0, 0, 9, 7, kSrcCopy);
                     }});
  figures.push_back(
      {"gradient", [](Canvas& c) {
         c.GradientFillRect({-3, -3, 70, 70}, 0, 0xFFFFFF, GradientDirection::Vertical);
         const GradientVertex v[] = {{0, 0, 0xFF0000}, {80, 10, 0xFF00}, {20, 70, 0xFF}};
         const std::array<int, 3> t[] = {{0, 1, 2}};
         EXPECT_TRUE(c.GradientFillTriangles(v, t));
       }});
  for (const Figure& f : figures) {
    SCOPED_TRACE(f.name);
    const Surface before = Noise(72, 72, 11);
    Surface free = before, clipped = before;
    Canvas a(free, origin);
    f.draw(a);
    Canvas b(clipped, origin, clip);
    b.SetClipRegion(region);
    f.draw(b);
    int inside = 0;
    for (int y = 0; y < 72; ++y)
      for (int x = 0; x < 72; ++x) {
        const Point c{x - origin.x, y - origin.y};
        const bool in = clip.Contains(c) && region.Contains(c);
        inside += in;
        ASSERT_EQ(clipped.Get(x, y), in ? free.Get(x, y) : before.Get(x, y))
            << "at " << x << "," << y << (in ? " inside" : " outside");
      }
    EXPECT_GT(inside, 0);
  }
}

TEST(CanvasProperty, FloodFillStaysInsideTheClip) {
  Surface s(40, 40, 0xFFFFFF);
  Canvas c(s, {}, {5, 5, 30, 30});
  c.SetBrush(Brush::Solid(0xFF0000));
  EXPECT_TRUE(c.FloodFill({10, 10}, 0xFFFFFF, FloodFillType::Surface));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(s.Get(x, y), (Rect{5, 5, 30, 30}.Contains({x, y}) ? 0xFF0000u : 0xFFFFFFu));
}

}  // namespace
}  // namespace plat
