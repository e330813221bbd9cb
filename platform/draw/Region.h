#pragma once
// A clip region: a set of pixels described by rectangles. Rectangles may be
// added overlapping; the region keeps them as disjoint horizontal bands so
// that a pixel is either in it or not, once.
#include <vector>

#include "platform/Geometry.h"

namespace plat {

class Region {
 public:
  Region() = default;
  explicit Region(const Rect& r) { Add(r); }

  /// Adds the pixels of R (union).
  void Add(const Rect& r);
  /// Keeps only the pixels also in R.
  void Intersect(const Rect& r);
  /// Keeps only the pixels also in OTHER.
  void Intersect(const Region& other);
  /// Moves every rectangle by (dx, dy).
  void Offset(int dx, int dy);

  bool Empty() const { return rects_.empty(); }
  bool Contains(Point p) const;
  /// The smallest rectangle holding the region (empty for an empty region).
  Rect Bounds() const;
  /// Disjoint rectangles, sorted by top then left; rectangles of one band
  /// share their top and bottom.
  const std::vector<Rect>& Rects() const { return rects_; }

  friend bool operator==(const Region&, const Region&) = default;

 private:
  void Normalise(std::vector<Rect> input);
  std::vector<Rect> rects_;
};

}  // namespace plat
