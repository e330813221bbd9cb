#pragma once
// An independent reader of binary CGM (ISO 8632-3) as the tests need it: it
// walks every element (header words, long forms and their partitions,
// 16-bit alignment), checks the metafile's structure (BEGIN METAFILE first,
// END METAFILE last, each picture bracketed by BEGIN PICTURE, BEGIN PICTURE
// BODY and END PICTURE, drawing only inside a picture body, only elements
// the declared version has), and renders polylines, polygons, rectangles and
// cell arrays into a grey image.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/RenderBack.h"

namespace tk::testing {

struct CgmElementRead {
  int cls = 0, id = 0;
  std::string params;      // all partitions joined
  std::size_t offset = 0;  // of the header word
  int partitions = 0;
  bool longForm = false;
};

struct CgmRead {
  bool ok = false;
  std::string error;
  std::vector<CgmElementRead> elements;
  int version = 0;
  int pictures = 0;
  int vdcWidth = 0, vdcHeight = 0;
  std::vector<int> Ids(int cls, int id) const {
    std::vector<int> at;
    for (std::size_t i = 0; i < elements.size(); ++i)
      if (elements[i].cls == cls && elements[i].id == id) at.push_back(static_cast<int>(i));
    return at;
  }
  int Count(int cls, int id) const { return static_cast<int>(Ids(cls, id).size()); }
};

inline int CgmWord(const std::string& p, std::size_t at) {
  if (at + 2 > p.size()) return 0;
  const int v = (static_cast<unsigned char>(p[at]) << 8) | static_cast<unsigned char>(p[at + 1]);
  return v >= 32768 ? v - 65536 : v;
}

/// A string parameter at AT (short or long form); AT moves past it.
inline std::string CgmString(const std::string& p, std::size_t& at) {
  if (at >= p.size()) return {};
  std::size_t n = static_cast<unsigned char>(p[at++]);
  if (n == 255) {
    n = static_cast<std::size_t>(CgmWord(p, at)) & 0x7FFF;
    at += 2;
  }
  const std::string s = p.substr(at, std::min(n, p.size() - std::min(at, p.size())));
  at += n;
  return s;
}

// Elements that only version 3 (or later) metafiles may hold.
inline bool CgmVersion3Only(int cls, int id) {
  return cls == 5 && (id == 37 || id == 38 || id == 43);
}

inline CgmRead DecodeCgm(const std::string& bytes) {
  CgmRead r;
  std::size_t at = 0;
  auto fail = [&r](const std::string& why, std::size_t where) {
    r.ok = false;
    r.error = why + " at byte " + std::to_string(where);
    return r;
  };
  auto word = [&bytes](std::size_t i) {
    return (static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1]);
  };
  enum { kBefore, kMetafile, kPictureHead, kPictureBody, kAfter } state = kBefore;
  while (at < bytes.size()) {
    if (at % 2 != 0) return fail("element not on a 16-bit boundary", at);
    if (at + 2 > bytes.size()) return fail("truncated header", at);
    CgmElementRead e;
    e.offset = at;
    const int head = word(at);
    at += 2;
    e.cls = head >> 12;
    e.id = (head >> 5) & 0x7F;
    int length = head & 31;
    bool odd = false;
    if (length == 31) {
      e.longForm = true;
      bool more = true;
      while (more) {
        if (at + 2 > bytes.size()) return fail("truncated partition word", at);
        const int w = word(at);
        at += 2;
        more = (w & 32768) != 0;
        const std::size_t n = static_cast<std::size_t>(w & 32767);
        if (at + n > bytes.size()) return fail("truncated partition", at);
        e.params += bytes.substr(at, n);
        at += n;
        ++e.partitions;
        // Every partition but the last must keep the next word aligned.
        if (n % 2 != 0) {
          if (more) return fail("odd partition with a continuation", at);
          odd = true;
        }
      }
    } else {
      if (at + static_cast<std::size_t>(length) > bytes.size())
        return fail("truncated parameters", at);
      e.params = bytes.substr(at, static_cast<std::size_t>(length));
      at += static_cast<std::size_t>(length);
      e.partitions = 1;
      odd = length % 2 != 0;
    }
    if (odd) {
      if (at >= bytes.size() || bytes[at] != '\0') return fail("missing padding byte", at);
      ++at;
    }
    // Structure.
    const int c = e.cls, id = e.id;
    if (state == kBefore) {
      if (c != 0 || id != 1) return fail("metafile does not start with BEGIN METAFILE", e.offset);
      state = kMetafile;
    } else if (state == kAfter) {
      return fail("element after END METAFILE", e.offset);
    } else if (c == 0 && id == 2) {
      if (state != kMetafile) return fail("END METAFILE inside a picture", e.offset);
      state = kAfter;
    } else if (c == 0 && id == 3) {
      if (state != kMetafile) return fail("BEGIN PICTURE inside a picture", e.offset);
      state = kPictureHead;
      ++r.pictures;
    } else if (c == 0 && id == 4) {
      if (state != kPictureHead) return fail("BEGIN PICTURE BODY outside a picture head", e.offset);
      state = kPictureBody;
    } else if (c == 0 && id == 5) {
      if (state != kPictureBody) return fail("END PICTURE without a picture body", e.offset);
      state = kMetafile;
    } else if (c == 1) {
      if (state != kMetafile || r.pictures != 0)
        return fail("metafile descriptor element after a picture", e.offset);
      if (id == 1) r.version = CgmWord(e.params, 0);
    } else if (c == 2) {
      if (state != kPictureHead) return fail("picture descriptor outside a picture head", e.offset);
      if (id == 6) {
        r.vdcWidth = CgmWord(e.params, 4);
        r.vdcHeight = CgmWord(e.params, 6);
      }
    } else if (c == 3 && id == 1) {
      if (state != kPictureHead && state != kPictureBody)
        return fail("control element outside a picture", e.offset);
    } else if (c >= 3 && c <= 5) {
      if (state != kPictureBody) return fail("drawing outside a picture body", e.offset);
    } else {
      return fail("unknown element class", e.offset);
    }
    if (CgmVersion3Only(c, id) && r.version < 3)
      return fail("version-3 element in a version " + std::to_string(r.version) + " metafile",
                  e.offset);
    r.elements.push_back(std::move(e));
  }
  if (state != kAfter) return fail("no END METAFILE", at);
  r.ok = true;
  return r;
}

/// Renders the picture elements of R into an image of WIDTH x HEIGHT
/// pixels, a VDC point (x, y) landing at column x / SCALE_X and row
/// HEIGHT - 1 - y / SCALE_Y (lines one pixel wide).
inline velloran::testing::GreyImage RenderCgm(const CgmRead& r, int width, int height,
                                              double scaleX, double scaleY) {
  velloran::testing::GreyImage img;
  img.width = width;
  img.height = height;
  img.grey.assign(static_cast<std::size_t>(width) * height, 255);
  auto grey = [](int r0, int g0, int b0) {
    return static_cast<std::uint8_t>(std::clamp(0.3 * r0 + 0.59 * g0 + 0.11 * b0, 0.0, 255.0));
  };
  auto colourAt = [&](const std::string& p, std::size_t at) {
    if (at + 3 > p.size()) return std::uint8_t{0};
    return grey(static_cast<unsigned char>(p[at]), static_cast<unsigned char>(p[at + 1]),
                static_cast<unsigned char>(p[at + 2]));
  };
  auto plot = [&](double x, double y, std::uint8_t v) {
    const int col = static_cast<int>(std::floor(x)), row = height - 1 - static_cast<int>(std::floor(y));
    if (img.Inside(col, row)) img.grey[static_cast<std::size_t>(row) * width + col] = v;
  };
  auto line = [&](double x0, double y0, double x1, double y1, std::uint8_t v) {
    const int steps = static_cast<int>(std::max(std::abs(x1 - x0), std::abs(y1 - y0))) * 2 + 1;
    for (int i = 0; i <= steps; ++i) {
      const double t = static_cast<double>(i) / steps;
      plot(x0 + t * (x1 - x0), y0 + t * (y1 - y0), v);
    }
  };
  auto points = [&](const std::string& p, std::size_t from) {
    std::vector<std::pair<double, double>> pts;
    for (std::size_t i = from; i + 4 <= p.size(); i += 4)
      pts.emplace_back(CgmWord(p, i) / scaleX, CgmWord(p, i + 2) / scaleY);
    return pts;
  };
  auto fill = [&](const std::vector<std::pair<double, double>>& pts, std::uint8_t v) {
    if (pts.size() < 3) return;
    for (int row = 0; row < height; ++row) {
      const double y = height - 1 - row + 0.5;
      std::vector<double> xs;
      for (std::size_t i = 0; i < pts.size(); ++i) {
        auto [xa, ya] = pts[i];
        auto [xb, yb] = pts[(i + 1) % pts.size()];
        if ((ya <= y && yb > y) || (yb <= y && ya > y)) xs.push_back(xa + (y - ya) * (xb - xa) / (yb - ya));
      }
      std::sort(xs.begin(), xs.end());
      for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
        for (int col = static_cast<int>(std::ceil(xs[i] - 0.5)); col <= static_cast<int>(xs[i + 1] - 0.5); ++col)
          plot(col, y, v);
    }
  };
  std::uint8_t lineGrey = 0, fillGrey = 0;
  for (const CgmElementRead& e : r.elements) {
    const std::string& p = e.params;
    if (e.cls == 5 && e.id == 4) lineGrey = colourAt(p, 0);
    if (e.cls == 5 && e.id == 23) fillGrey = colourAt(p, 0);
    if (e.cls == 4 && e.id == 1) {
      const auto pts = points(p, 0);
      for (std::size_t i = 0; i + 1 < pts.size(); ++i)
        line(pts[i].first, pts[i].second, pts[i + 1].first, pts[i + 1].second, lineGrey);
      if (pts.size() == 1) plot(pts[0].first, pts[0].second, lineGrey);
    }
    if (e.cls == 4 && e.id == 7) fill(points(p, 0), fillGrey);
    if (e.cls == 4 && e.id == 11) {
      const auto pts = points(p, 0);
      if (pts.size() == 2)
        fill({pts[0], {pts[1].first, pts[0].second}, pts[1], {pts[0].first, pts[1].second}}, fillGrey);
    }
    if (e.cls == 4 && e.id == 9 && p.size() >= 20) {
      const double px = CgmWord(p, 0), py = CgmWord(p, 2), qx = CgmWord(p, 4), qy = CgmWord(p, 6);
      const int nx = CgmWord(p, 12), ny = CgmWord(p, 14);
      std::size_t at = 20;
      for (int row = 0; row < ny && nx > 0; ++row) {
        int col = 0;
        const std::size_t start = at;
        while (col < nx && at + 5 <= p.size()) {
          const int count = CgmWord(p, at);
          const std::uint8_t v = colourAt(p, at + 2);
          at += 5;
          for (int k = 0; k < count && col < nx; ++k, ++col) {
            const double x0 = px + (qx - px) * col / nx, x1 = px + (qx - px) * (col + 1) / nx;
            const double y0 = py + (qy - py) * row / ny, y1 = py + (qy - py) * (row + 1) / ny;
            fill({{x0 / scaleX, y0 / scaleY}, {x1 / scaleX, y0 / scaleY},
                  {x1 / scaleX, y1 / scaleY}, {x0 / scaleX, y1 / scaleY}},
                 v);
          }
        }
        if ((at - start) % 2 != 0) ++at;
      }
    }
  }
  return img;
}

}  // namespace tk::testing
