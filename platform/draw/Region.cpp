#include "platform/draw/Region.h"

#include <algorithm>

namespace plat {

void Region::Add(const Rect& r) {
  if (r.Empty()) return;
  std::vector<Rect> all = rects_;
  all.push_back(r);
  Normalise(std::move(all));
}

void Region::Intersect(const Rect& r) {
  std::vector<Rect> kept;
  for (const Rect& x : rects_) {
    const Rect i = x.Intersect(r);
    if (!i.Empty()) kept.push_back(i);
  }
  Normalise(std::move(kept));
}

void Region::Intersect(const Region& other) {
  std::vector<Rect> kept;
  for (const Rect& a : rects_)
    for (const Rect& b : other.rects_) {
      const Rect i = a.Intersect(b);
      if (!i.Empty()) kept.push_back(i);
    }
  Normalise(std::move(kept));
}

void Region::Offset(int dx, int dy) {
  for (Rect& r : rects_) r = r.Offset(dx, dy);
}

bool Region::Contains(Point p) const {
  for (const Rect& r : rects_)
    if (r.Contains(p)) return true;
  return false;
}

Rect Region::Bounds() const {
  Rect b;
  for (const Rect& r : rects_) b = b.Union(r);
  return b;
}

// Cuts the plane into bands at every top and bottom edge; in each band the
// covered x intervals are merged, and a band equal to the one above it is
// joined to it.
void Region::Normalise(std::vector<Rect> input) {
  std::erase_if(input, [](const Rect& r) { return r.Empty(); });
  std::vector<int> ys;
  for (const Rect& r : input) {
    ys.push_back(r.top);
    ys.push_back(r.bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  std::vector<Rect> out;
  std::vector<std::pair<int, int>> spans, previous;
  std::size_t previousStart = 0;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    const int top = ys[i], bottom = ys[i + 1];
    spans.clear();
    for (const Rect& r : input)
      if (r.top <= top && r.bottom >= bottom) spans.emplace_back(r.left, r.right);
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& s : spans) {
      if (!merged.empty() && s.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, s.second);
      else
        merged.push_back(s);
    }
    const bool joins = !merged.empty() && merged == previous && previousStart < out.size() &&
                       out.back().bottom == top;
    if (joins) {
      for (std::size_t k = previousStart; k < out.size(); ++k) out[k].bottom = bottom;
    } else {
      previousStart = out.size();
      for (const auto& s : merged) out.push_back({s.first, top, s.second, bottom});
    }
    previous = std::move(merged);
  }
  rects_ = std::move(out);
}

}  // namespace plat
