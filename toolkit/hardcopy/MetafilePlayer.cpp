// Playing Windows and enhanced metafiles onto a drawing context.
#include "toolkit/hardcopy/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/text/Font.h"
#include "platform/text/TextDraw.h"
#include "toolkit/hardcopy/MetafileFormat.h"
#include "toolkit/hardcopy/MetafileRecord.h"

namespace tk {

CanvasContext::CanvasContext(plat::Canvas& canvas) : canvas_(canvas), base_(canvas.ClipRegion()) {}

CanvasContext::~CanvasContext() {
  canvas_.SetClipRegion(base_);
}

void CanvasContext::SetClip(std::optional<plat::Rect> clip) {
  plat::Region region = base_;
  if (clip) region.Intersect(*clip);
  canvas_.SetClipRegion(region);
}

void CanvasContext::Text(const plat::Font& font, plat::Point at, std::string_view text,
                         const plat::TextStyle& style) {
  const plat::Point o = canvas_.Origin();
  const plat::Rect clip = canvas_.ClipRegion().Bounds().Offset(o.x, o.y);
  plat::DrawText(canvas_.Target(), font, {at.x + o.x, at.y + o.y}, text, style, clip);
}

namespace {

using namespace metafile;

// Little-endian reads inside one record; a read past its end fails the
// record (sticky) and gives 0.
class RecordReader {
 public:
  explicit RecordReader(std::span<const std::uint8_t> bytes) : b_(bytes) {}
  bool Ok() const { return ok_; }
  std::size_t Size() const { return b_.size(); }
  bool Has(std::size_t at, std::size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
  std::uint32_t U32(std::size_t at) {
    if (!Has(at, 4)) return Fail();
    return b_[at] | (b_[at + 1] << 8) | (b_[at + 2] << 16) | (std::uint32_t{b_[at + 3]} << 24);
  }
  int I32(std::size_t at) { return static_cast<std::int32_t>(U32(at)); }
  int U16(std::size_t at) {
    if (!Has(at, 2)) return static_cast<int>(Fail());
    return b_[at] | (b_[at + 1] << 8);
  }
  int I16(std::size_t at) { return static_cast<std::int16_t>(U16(at)); }
  int U8(std::size_t at) {
    if (!Has(at, 1)) return static_cast<int>(Fail());
    return b_[at];
  }
  plat::Pixel Colour(std::size_t at) {
    if (!Has(at, 4)) return Fail();
    return plat::Rgb(b_[at], b_[at + 1], b_[at + 2]);
  }
  std::span<const std::uint8_t> Span(std::size_t at, std::size_t n) {
    if (!Has(at, n)) {
      Fail();
      return {};
    }
    return b_.subspan(at, n);
  }

 private:
  std::uint32_t Fail() {
    ok_ = false;
    return 0;
  }
  std::span<const std::uint8_t> b_;
  bool ok_ = true;
};

struct FontObject {
  plat::FontSpec spec;
};
using Object = std::variant<std::monostate, plat::Pen, plat::Brush, FontObject>;

// The mapping from the metafile's logical units onto the target, and the
// state the records set.
class Player {
 public:
  Player(plat::DrawContext& ctx, std::optional<plat::Rect> clip) : ctx_(ctx), baseClip_(clip) {
    ctx_.SetClip(baseClip_);
    ctx_.SetPen(plat::Pen::Solid(plat::Rgb(0, 0, 0)));
    ctx_.SetBrush(plat::Brush::Solid(plat::Rgb(255, 255, 255)));
  }
  ~Player() { ctx_.SetClip(baseClip_); }

  // x' = ox + (x - wx) * sx.
  double ox = 0, oy = 0, wx = 0, wy = 0, sx = 1, sy = 1;

  plat::Point Map(double x, double y) const {
    return {Round(ox + (x - wx) * sx), Round(oy + (y - wy) * sy)};
  }
  plat::Rect MapBox(int l, int t, int r, int b) const {
    const plat::Point a = Map(l, t), c = Map(r, b);
    return {std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
  }
  // Pens and dashes are kept to sizes a page can show.
  int MapWidth(int w) const {
    if (w <= 1) return 1;
    return std::clamp(Round(w * std::fabs(sx)), 1, kMaxPenWidth);
  }

  bool Store(std::size_t index, Object o) {
    if (index >= kMaxObjects) return false;
    if (objects_.size() <= index) objects_.resize(index + 1);
    objects_[index] = std::move(o);
    return true;
  }
  void Select(std::size_t index) {
    if (index >= objects_.size()) return;
    if (const plat::Pen* p = std::get_if<plat::Pen>(&objects_[index])) {
      plat::Pen pen = *p;
      pen.width = MapWidth(pen.width);
      for (int& d : pen.dashes) d = MapWidth(d);
      ctx_.SetPen(pen);
    } else if (const plat::Brush* b = std::get_if<plat::Brush>(&objects_[index])) {
      ctx_.SetBrush(*b);
    } else if (const FontObject* f = std::get_if<FontObject>(&objects_[index])) {
      plat::FontSpec spec = f->spec;
      spec.height = spec.height < 0 ? -std::max(1, Round(-spec.height * std::fabs(sy)))
                                    : std::max(0, Round(spec.height * std::fabs(sy)));
      spec.width = std::max(0, Round(spec.width * std::fabs(sx)));
      font_ = plat::OpenFont(spec);
    }
  }
  void Delete(std::size_t index) {
    if (index < objects_.size()) objects_[index] = std::monostate{};
  }
  void SelectStock(std::uint32_t which) {
    switch (which & 0xFF) {
      case 5: ctx_.SetBrush(plat::Brush::None()); break;
      case 0: ctx_.SetBrush(plat::Brush::Solid(plat::Rgb(255, 255, 255))); break;
      case 4: ctx_.SetBrush(plat::Brush::Solid(plat::Rgb(0, 0, 0))); break;
      case 8: ctx_.SetPen(plat::Pen::None()); break;
      case 6: ctx_.SetPen(plat::Pen::Solid(plat::Rgb(255, 255, 255))); break;
      case 7: ctx_.SetPen(plat::Pen::Solid(plat::Rgb(0, 0, 0))); break;
      default: break;
    }
  }
  void ClipTo(int l, int t, int r, int b) {
    const plat::Rect box = MapBox(l, t, r, b);
    clip_ = clip_ ? clip_->Intersect(box) : box;
    ctx_.SetClip(baseClip_ ? baseClip_->Intersect(*clip_) : *clip_);
  }
  void ClipReset() {
    clip_.reset();
    ctx_.SetClip(baseClip_);
  }
  void Text(int x, int y, const std::string& text) {
    if (!font_ || text.empty()) return;
    plat::TextStyle style;
    style.colour = textColour;
    style.background = bkColour;
    style.opaque = bkMode == 2;
    const int h = textAlign & 6, v = textAlign & 24;
    style.hAlign = h == kTaCenter ? plat::TextHAlign::Centre
                   : h == kTaRight ? plat::TextHAlign::Right
                                   : plat::TextHAlign::Left;
    style.vAlign = v == kTaBaseline ? plat::TextVAlign::Baseline
                   : v == kTaBottom ? plat::TextVAlign::Bottom
                                    : plat::TextVAlign::Top;
    ctx_.Text(*font_, Map(x, y), text, style);
  }

  plat::DrawContext& ctx_;
  plat::Pixel textColour = plat::Rgb(0, 0, 0), bkColour = plat::Rgb(255, 255, 255);
  int bkMode = 2, textAlign = 0;
  std::vector<bool> windowsSlots;  // Windows-metafile object table in use

 private:
  static constexpr std::size_t kMaxObjects = 65536;
  static constexpr int kMaxPenWidth = 4096;
  static int Round(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::clamp(std::floor(v + 0.5), -1e9, 1e9));
  }
  std::optional<plat::Rect> baseClip_;
  std::optional<plat::Rect> clip_;
  std::vector<Object> objects_;
  std::shared_ptr<const plat::Font> font_;
};

plat::PenStyle PenStyleOf(int code) {
  switch (code & kPsStyleMask) {
    case kPsDash: return plat::PenStyle::Dash;
    case kPsDot: return plat::PenStyle::Dot;
    case kPsDashDot: return plat::PenStyle::DashDot;
    case kPsDashDotDot: return plat::PenStyle::DashDotDot;
    case kPsNull: return plat::PenStyle::Null;
    case kPsUserStyle: return plat::PenStyle::User;
    default: return plat::PenStyle::Solid;
  }
}

plat::Brush BrushOf(int style, plat::Pixel colour, int hatch) {
  if (style == kBsNull) return plat::Brush::None();
  if (style == kBsHatched && hatch >= 0 && hatch <= 5)
    return plat::Brush::Hatched(static_cast<plat::HatchStyle>(hatch), colour);
  return plat::Brush::Solid(colour);
}

// A device-independent bitmap (information header, colour table, rows) of
// 1, 4, 8, 24 or 32 bits without compression, as pixels; nothing for any
// other kind or when the bytes fall short.
std::optional<plat::Surface> DibPixels(std::span<const std::uint8_t> info,
                                       std::span<const std::uint8_t> bits) {
  RecordReader h(info);
  const std::uint32_t headerSize = h.U32(0);
  const int width = h.I32(4), rawHeight = h.I32(8);
  const int bitCount = h.U16(14);
  const std::uint32_t compression = h.U32(16);
  std::uint32_t used = h.U32(32);
  if (!h.Ok() || headerSize < kBitmapInfoHeaderSize || headerSize > info.size() || width <= 0 ||
      rawHeight == 0 || rawHeight == std::numeric_limits<int>::min() || compression != 0)
    return std::nullopt;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
    return std::nullopt;
  const int height = std::abs(rawHeight);
  if (static_cast<long long>(width) * height > (1LL << 26)) return std::nullopt;
  const std::size_t stride = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
  if (bits.size() / stride < static_cast<std::size_t>(height)) return std::nullopt;
  std::vector<plat::Pixel> palette;
  if (bitCount <= 8) {
    if (used == 0 || used > (1u << bitCount)) used = 1u << bitCount;
    if ((info.size() - headerSize) / 4 < used) return std::nullopt;
    for (std::uint32_t i = 0; i < used; ++i) {
      const std::size_t at = headerSize + 4 * i;
      palette.push_back(plat::Rgb(info[at + 2], info[at + 1], info[at]));
    }
  }
  plat::Surface s(width, height);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = bits.data() + stride * static_cast<std::size_t>(y);
    const int target = rawHeight > 0 ? height - 1 - y : y;
    plat::Pixel* out = s.Row(target);
    for (int x = 0; x < width; ++x) {
      if (bitCount == 24 || bitCount == 32) {
        const std::uint8_t* p = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount / 8);
        out[x] = plat::Rgb(p[2], p[1], p[0]);
      } else {
        const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount);
        const int shift = 8 - bitCount - static_cast<int>(bit % 8);
        const std::size_t index = (row[bit / 8] >> shift) & ((1u << bitCount) - 1);
        out[x] = index < palette.size() ? palette[index] : 0;
      }
    }
  }
  return s;
}

std::string Narrow16(std::span<const std::uint8_t> utf16) {
  std::string s;
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    const int c = utf16[i] | (utf16[i + 1] << 8);
    s.push_back(c < 256 ? static_cast<char>(c) : '?');
  }
  return s;
}

// One enhanced-metafile record; false for bad data.
bool EnhancedRecord(Player& p, std::uint32_t type, RecordReader& r) {
  plat::DrawContext& ctx = p.ctx_;
  switch (type) {
    case kEmrSetBkMode: p.bkMode = r.I32(8); break;
    case kEmrSetTextAlign: p.textAlign = r.I32(8); break;
    case kEmrSetTextColor: p.textColour = r.Colour(8); break;
    case kEmrSetBkColor: p.bkColour = r.Colour(8); break;
    case kEmrMoveToEx: ctx.MoveTo(p.Map(r.I32(8), r.I32(12))); break;
    case kEmrLineTo: ctx.LineTo(p.Map(r.I32(8), r.I32(12))); break;
    case kEmrSetPixelV: ctx.SetPixel(p.Map(r.I32(8), r.I32(12)), r.Colour(16)); break;
    case kEmrPolyline:
    case kEmrPolygon: {
      const std::uint32_t n = r.U32(24);
      if (!r.Ok() || n > (r.Size() - 28) / 8) return false;
      std::vector<plat::Point> pts;
      pts.reserve(n);
      for (std::uint32_t i = 0; i < n; ++i) pts.push_back(p.Map(r.I32(28 + 8 * i), r.I32(32 + 8 * i)));
      if (type == kEmrPolyline)
        ctx.Polyline(pts);
      else
        ctx.Polygon(pts);
      break;
    }
    case kEmrRectangle:
    case kEmrEllipse: {
      const plat::Rect b = p.MapBox(r.I32(8), r.I32(12), r.I32(16), r.I32(20));
      if (!r.Ok()) return false;
      if (type == kEmrRectangle)
        ctx.Rectangle(b);
      else
        ctx.Ellipse(b);
      break;
    }
    case kEmrArc:
    case kEmrPie: {
      const plat::Rect b = p.MapBox(r.I32(8), r.I32(12), r.I32(16), r.I32(20));
      const plat::Point s = p.Map(r.I32(24), r.I32(28)), e = p.Map(r.I32(32), r.I32(36));
      if (!r.Ok()) return false;
      if (type == kEmrArc)
        ctx.Arc(b, s, e);
      else
        ctx.Pie(b, s, e);
      break;
    }
    case kEmrCreatePen: {
      const std::uint32_t index = r.U32(8);
      const plat::Pen pen{PenStyleOf(r.I32(12)), std::max(r.I32(16), 1), r.Colour(24), {}};
      if (!r.Ok() || !p.Store(index, pen)) return false;
      break;
    }
    case kEmrExtCreatePen: {
      const std::uint32_t index = r.U32(8);
      const int style = r.I32(28);
      plat::Pen pen{PenStyleOf(style), std::max(r.I32(32), 1), r.Colour(40), {}};
      const std::uint32_t n = r.U32(48);
      if (!r.Ok()) return false;
      if (pen.style == plat::PenStyle::User) {
        if (n == 0 || n > 16 || !r.Has(52, 4 * static_cast<std::size_t>(n))) return false;
        for (std::uint32_t i = 0; i < n; ++i) pen.dashes.push_back(std::clamp(r.I32(52 + 4 * i), 1, 1 << 16));
      }
      if (!p.Store(index, pen)) return false;
      break;
    }
    case kEmrCreateBrushIndirect: {
      const std::uint32_t index = r.U32(8);
      const plat::Brush b = BrushOf(r.I32(12), r.Colour(16), r.I32(20));
      if (!r.Ok() || !p.Store(index, b)) return false;
      break;
    }
    case kEmrExtCreateFontIndirectW: {
      const std::uint32_t index = r.U32(8);
      FontObject f;
      f.spec.height = r.I32(12);
      f.spec.width = std::clamp(r.I32(16), 0, 1 << 16);
      f.spec.angle = r.I32(20) % 3600;
      f.spec.weight = std::clamp(r.I32(28), 0, 1000);
      f.spec.italic = r.U8(32) != 0;
      f.spec.underline = r.U8(33) != 0;
      f.spec.charset = static_cast<plat::Charset>(std::clamp(r.U8(35), 0, 2));
      f.spec.family = static_cast<plat::FontFamily>(std::clamp(r.U8(39) >> 4, 0, 5));
      f.spec.face = Narrow16(r.Span(40, 2 * kFaceNameChars));
      f.spec.face = f.spec.face.substr(0, f.spec.face.find('\0'));
      if (!r.Ok() || f.spec.height == std::numeric_limits<int>::min() || !p.Store(index, f)) return false;
      break;
    }
    case kEmrSelectObject: {
      const std::uint32_t index = r.U32(8);
      if (!r.Ok()) return false;
      if (index & kStockObject)
        p.SelectStock(index);
      else
        p.Select(index);
      break;
    }
    case kEmrDeleteObject: p.Delete(r.U32(8)); break;
    case kEmrIntersectClipRect: p.ClipTo(r.I32(8), r.I32(12), r.I32(16), r.I32(20)); break;
    case kEmrExtSelectClipRgn:
      // Only the reset (no region data) is ours; other regions leave the clip.
      if (r.U32(8) == 0) p.ClipReset();
      break;
    case kEmrExtTextOutW: {
      const int x = r.I32(36), y = r.I32(40);
      const std::uint32_t chars = r.U32(44), offString = r.U32(48);
      if (!r.Ok() || chars > r.Size() / 2) return false;
      const std::span<const std::uint8_t> text = r.Span(offString, 2 * static_cast<std::size_t>(chars));
      if (!r.Ok()) return false;
      p.Text(x, y, Narrow16(text));
      break;
    }
    case kEmrStretchDiBits: {
      const int x = r.I32(24), y = r.I32(28);
      const std::uint32_t offBmi = r.U32(48), cbBmi = r.U32(52), offBits = r.U32(56), cbBits = r.U32(60);
      const int cx = r.I32(72), cy = r.I32(76);
      if (!r.Ok()) return false;
      const auto info = r.Span(offBmi, cbBmi);
      const auto bits = r.Span(offBits, cbBits);
      if (!r.Ok()) return false;
      const std::optional<plat::Surface> pixels = DibPixels(info, bits);
      if (!pixels) return false;
      const plat::Point a = p.Map(x, y), b = p.Map(static_cast<double>(x) + cx, static_cast<double>(y) + cy);
      ctx.Bitmap(*pixels, {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
      break;
    }
    case kEmrGradientFill: {
      const std::uint32_t nv = r.U32(24), nt = r.U32(28), mode = r.U32(32);
      if (!r.Ok() || nv > r.Size() / 16 || nt > r.Size() / 12 ||
          !r.Has(36, 16 * static_cast<std::size_t>(nv) + 12 * static_cast<std::size_t>(nt)))
        return false;
      if (mode != kGradientFillTriangle) break;
      std::vector<plat::GradientVertex> v;
      for (std::uint32_t i = 0; i < nv; ++i) {
        const std::size_t at = 36 + 16 * static_cast<std::size_t>(i);
        const plat::Point pt = p.Map(r.I32(at), r.I32(at + 4));
        v.push_back({pt.x, pt.y, plat::Rgb(r.U16(at + 8) >> 8, r.U16(at + 10) >> 8, r.U16(at + 12) >> 8)});
      }
      std::vector<std::array<int, 3>> t;
      for (std::uint32_t i = 0; i < nt; ++i) {
        const std::size_t at = 36 + 16 * static_cast<std::size_t>(nv) + 12 * static_cast<std::size_t>(i);
        std::array<int, 3> tri{};
        for (std::size_t k = 0; k < 3; ++k) {
          const std::uint32_t index = r.U32(at + 4 * k);
          if (index >= nv) return false;
          tri[k] = static_cast<int>(index);
        }
        t.push_back(tri);
      }
      (void)ctx.GradientTriangles(v, t);
      break;
    }
    default: break;  // records we do not make are skipped
  }
  return r.Ok();
}

// One Windows-metafile record (parameters from offset 6); false for bad data.
bool WindowsRecord(Player& p, int function, RecordReader& r) {
  plat::DrawContext& ctx = p.ctx_;
  std::vector<bool>& inUse = p.windowsSlots;
  // Objects take the lowest free index, as the format defines it.
  const auto newIndex = [&inUse]() -> std::size_t {
    auto it = std::find(inUse.begin(), inUse.end(), false);
    if (it != inUse.end()) {
      *it = true;
      return static_cast<std::size_t>(it - inUse.begin());
    }
    inUse.push_back(true);
    return inUse.size() - 1;
  };
  switch (function) {
    case kMetaSetBkMode: p.bkMode = r.U16(6); break;
    case kMetaSetTextAlign: p.textAlign = r.U16(6); break;
    case kMetaSetTextColor: p.textColour = r.Colour(6); break;
    case kMetaSetBkColor: p.bkColour = r.Colour(6); break;
    case kMetaMoveTo: ctx.MoveTo(p.Map(r.I16(8), r.I16(6))); break;
    case kMetaLineTo: ctx.LineTo(p.Map(r.I16(8), r.I16(6))); break;
    case kMetaSetPixel: ctx.SetPixel(p.Map(r.I16(12), r.I16(10)), r.Colour(6)); break;
    case kMetaPolyline:
    case kMetaPolygon: {
      const int n = r.I16(6);
      if (!r.Ok() || n < 0 || static_cast<std::size_t>(n) > (r.Size() - 8) / 4) return false;
      std::vector<plat::Point> pts;
      for (int i = 0; i < n; ++i) pts.push_back(p.Map(r.I16(8 + 4 * i), r.I16(10 + 4 * i)));
      if (function == kMetaPolyline)
        ctx.Polyline(pts);
      else
        ctx.Polygon(pts);
      break;
    }
    case kMetaRectangle:
    case kMetaEllipse: {
      const plat::Rect b = p.MapBox(r.I16(12), r.I16(10), r.I16(8), r.I16(6));
      if (!r.Ok()) return false;
      if (function == kMetaRectangle)
        ctx.Rectangle(b);
      else
        ctx.Ellipse(b);
      break;
    }
    case kMetaArc:
    case kMetaPie: {
      const plat::Point e = p.Map(r.I16(8), r.I16(6)), s = p.Map(r.I16(12), r.I16(10));
      const plat::Rect b = p.MapBox(r.I16(20), r.I16(18), r.I16(16), r.I16(14));
      if (!r.Ok()) return false;
      if (function == kMetaArc)
        ctx.Arc(b, s, e);
      else
        ctx.Pie(b, s, e);
      break;
    }
    case kMetaCreatePenIndirect: {
      const plat::Pen pen{PenStyleOf(r.U16(6)), std::max(r.I16(8), 1), r.Colour(12), {}};
      if (!r.Ok() || inUse.size() >= 65536 || !p.Store(newIndex(), pen)) return false;
      break;
    }
    case kMetaCreateBrushIndirect: {
      const plat::Brush b = BrushOf(r.U16(6), r.Colour(8), r.U16(12));
      if (!r.Ok() || inUse.size() >= 65536 || !p.Store(newIndex(), b)) return false;
      break;
    }
    case kMetaCreateFontIndirect: {
      FontObject f;
      f.spec.height = r.I16(6);
      f.spec.width = std::max(r.I16(8), 0);
      f.spec.angle = r.I16(10) % 3600;
      f.spec.weight = std::clamp(r.I16(14), 0, 1000);
      f.spec.italic = r.U8(16) != 0;
      f.spec.underline = r.U8(17) != 0;
      f.spec.charset = static_cast<plat::Charset>(std::clamp(r.U8(19), 0, 2));
      f.spec.family = static_cast<plat::FontFamily>(std::clamp(r.U8(23) >> 4, 0, 5));
      if (!r.Ok()) return false;
      for (std::size_t i = 24; i < r.Size() && i < 24 + kFaceNameChars && r.U8(i) != 0; ++i)
        f.spec.face.push_back(static_cast<char>(r.U8(i)));
      if (inUse.size() >= 65536 || !p.Store(newIndex(), f)) return false;
      break;
    }
    case kMetaSelectObject: p.Select(static_cast<std::size_t>(r.U16(6))); break;
    case kMetaDeleteObject: {
      const std::size_t index = static_cast<std::size_t>(r.U16(6));
      p.Delete(index);
      if (index < inUse.size()) inUse[index] = false;
      break;
    }
    case kMetaIntersectClipRect: p.ClipTo(r.I16(12), r.I16(10), r.I16(8), r.I16(6)); break;
    case kMetaExtTextOut: {
      const int y = r.I16(6), x = r.I16(8), n = r.I16(10), options = r.U16(12);
      std::size_t at = 14 + ((options & 0x06) != 0 ? 8 : 0);
      if (!r.Ok() || n < 0) return false;
      const auto text = r.Span(at, static_cast<std::size_t>(n));
      if (!r.Ok()) return false;
      p.Text(x, y, std::string(text.begin(), text.end()));
      break;
    }
    case kMetaTextOut: {
      const int n = r.I16(6);
      if (!r.Ok() || n < 0) return false;
      const std::size_t padded = (static_cast<std::size_t>(n) + 1) / 2 * 2;
      const auto text = r.Span(8, static_cast<std::size_t>(n));
      const int y = r.I16(8 + padded), x = r.I16(10 + padded);
      if (!r.Ok()) return false;
      p.Text(x, y, std::string(text.begin(), text.end()));
      break;
    }
    case kMetaStretchDib: {
      const int srcH = r.I16(12), srcW = r.I16(14);
      const int dh = r.I16(20), dw = r.I16(22), dy = r.I16(24), dx = r.I16(26);
      (void)srcH;
      (void)srcW;
      if (!r.Ok() || r.Size() < 28) return false;
      const auto dib = r.Span(28, r.Size() - 28);
      RecordReader info(dib);
      const std::uint32_t headerSize = info.U32(0);
      const int bitCount = info.U16(14);
      std::uint32_t used = info.U32(32);
      if (!info.Ok() || headerSize < kBitmapInfoHeaderSize || headerSize > dib.size()) return false;
      if (bitCount <= 8 && (used == 0 || used > (1u << bitCount))) used = bitCount <= 8 ? 1u << bitCount : 0;
      const std::size_t table = bitCount <= 8 ? 4 * static_cast<std::size_t>(used) : 0;
      if (table > dib.size() - headerSize) return false;
      const std::optional<plat::Surface> pixels =
          DibPixels(dib.first(headerSize + table), dib.subspan(headerSize + table));
      if (!pixels) return false;
      const plat::Point a = p.Map(dx, dy), b = p.Map(dx + dw, dy + dh);
      ctx.Bitmap(*pixels, {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
      break;
    }
    default: break;
  }
  return r.Ok();
}

bool Empty(const plat::Rect& dest) {
  return dest.right <= dest.left || dest.bottom <= dest.top;
}

}  // namespace

bool PlayEnhancedMetafile(std::span<const std::uint8_t> bytes, plat::DrawContext& ctx,
                          const plat::Rect& dest, std::optional<plat::Rect> clip) {
  RecordReader h(bytes);
  const std::uint32_t type = h.U32(0), headerSize = h.U32(4);
  const int frameL = h.I32(24), frameT = h.I32(28), frameR = h.I32(32), frameB = h.I32(36);
  const std::uint32_t signature = h.U32(40), total = h.U32(48);
  const int horzRes = h.I32(72), vertRes = h.I32(76), horzSize = h.I32(80), vertSize = h.I32(84);
  if (!h.Ok() || type != kEmrHeader || signature != kEmfSignature || headerSize < 88 ||
      headerSize > bytes.size() || headerSize % 4 != 0 || total > bytes.size() || total < headerSize)
    return false;
  const double frameW = static_cast<double>(frameR) - frameL, frameH = static_cast<double>(frameB) - frameT;
  if (Empty(dest) || frameW <= 0 || frameH <= 0 || horzRes <= 0 || vertRes <= 0 || horzSize <= 0 ||
      vertSize <= 0)
    return false;
  Player p(ctx, clip);
  // Logical units are reference pixels: to 0.01 mm, then onto DEST.
  const double pxToFrameX = horzSize * 100.0 / horzRes, pxToFrameY = vertSize * 100.0 / vertRes;
  p.sx = pxToFrameX * (dest.right - dest.left) / frameW;
  p.sy = pxToFrameY * (dest.bottom - dest.top) / frameH;
  p.ox = dest.left - frameL / pxToFrameX * p.sx;
  p.oy = dest.top - frameT / pxToFrameY * p.sy;
  std::size_t at = headerSize;
  while (at < total) {
    RecordReader head(bytes.subspan(at, total - at));
    const std::uint32_t rt = head.U32(0), size = head.U32(4);
    if (!head.Ok() || size < 8 || size % 4 != 0 || size > total - at) return false;
    if (rt == kEmrEof) return true;
    RecordReader r(bytes.subspan(at, size));
    if (!EnhancedRecord(p, rt, r)) return false;
    at += size;
  }
  return false;  // no end record
}

bool PlayWindowsMetafile(std::span<const std::uint8_t> bytes, plat::DrawContext& ctx,
                         const plat::Rect& dest, std::optional<plat::Rect> clip) {
  RecordReader h(bytes);
  const int type = h.U16(0), headerWords = h.U16(2);
  if (!h.Ok() || (type != 1 && type != 2) || headerWords != kWmfHeaderSize / 2 || Empty(dest))
    return false;
  Player p(ctx, clip);
  double extX = dest.right - dest.left + 1, extY = dest.bottom - dest.top + 1;
  double orgX = 0, orgY = 0;
  const auto remap = [&] {
    if (extX == 0 || extY == 0) return false;
    p.wx = orgX;
    p.wy = orgY;
    p.ox = dest.left;
    p.oy = dest.top;
    p.sx = (dest.right - dest.left + 1) / extX;
    p.sy = (dest.bottom - dest.top + 1) / extY;
    return true;
  };
  (void)remap();
  std::size_t at = kWmfHeaderSize;
  while (at < bytes.size()) {
    RecordReader head(bytes.subspan(at));
    const std::uint32_t words = head.U32(0);
    const int function = head.U16(4);
    if (!head.Ok() || words < 3 || words > (bytes.size() - at) / 2) return false;
    if (function == kMetaEof) return true;
    RecordReader r(bytes.subspan(at, 2 * static_cast<std::size_t>(words)));
    if (function == kMetaSetWindowOrg || function == kMetaSetWindowExt) {
      const int y = r.I16(6), x = r.I16(8);
      if (!r.Ok()) return false;
      if (function == kMetaSetWindowOrg) {
        orgX = x;
        orgY = y;
      } else {
        extX = x;
        extY = y;
      }
      // A zero extent would divide by zero: nothing is played from it on.
      if (!remap()) return false;
    } else if (!WindowsRecord(p, function, r)) {
      return false;
    }
    at += 2 * static_cast<std::size_t>(words);
  }
  return false;  // no end record
}

}  // namespace tk
