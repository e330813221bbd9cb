// Windows and enhanced metafile records from drawing calls.
#include "toolkit/hardcopy/MetafileRecord.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "toolkit/hardcopy/MetafileFormat.h"

namespace tk {
namespace {

using namespace metafile;

int Clamp16(int v) {
  return std::clamp(v, -32768, 32767);
}

plat::Rect PointBounds(std::span<const plat::Point> points) {
  plat::Rect r{std::numeric_limits<int>::max(), std::numeric_limits<int>::max(),
               std::numeric_limits<int>::min(), std::numeric_limits<int>::min()};
  for (const plat::Point& p : points) {
    r.left = std::min(r.left, p.x);
    r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x);
    r.bottom = std::max(r.bottom, p.y);
  }
  if (points.empty()) r = {};
  return r;
}

int PenStyleCode(plat::PenStyle s) {
  switch (s) {
    case plat::PenStyle::Solid: return kPsSolid;
    case plat::PenStyle::Dash: return kPsDash;
    case plat::PenStyle::Dot: return kPsDot;
    case plat::PenStyle::DashDot: return kPsDashDot;
    case plat::PenStyle::DashDotDot: return kPsDashDotDot;
    case plat::PenStyle::Null: return kPsNull;
    case plat::PenStyle::User: return kPsUserStyle;
  }
  return kPsSolid;
}

bool SamePen(const plat::Pen& a, const plat::Pen& b) {
  return a.style == b.style && a.width == b.width && a.colour == b.colour && a.dashes == b.dashes;
}

bool SameBrush(const plat::Brush& a, const plat::Brush& b) {
  if (a.kind != b.kind) return false;
  if (a.kind == plat::Brush::Kind::Null) return true;
  return a.colour == b.colour && a.background == b.background && a.hatch == b.hatch &&
         a.pattern == b.pattern;
}

// A pattern brush has no counterpart here: its two colours are averaged.
plat::Pixel BrushColour(const plat::Brush& b) {
  if (b.kind != plat::Brush::Kind::Pattern) return b.colour;
  return plat::Rgb((plat::RedOf(b.colour) + plat::RedOf(b.background)) / 2,
                   (plat::GreenOf(b.colour) + plat::GreenOf(b.background)) / 2,
                   (plat::BlueOf(b.colour) + plat::BlueOf(b.background)) / 2);
}

}  // namespace

std::uint16_t PlaceableChecksum(int right, int bottom, int unitsPerInch) {
  const std::vector<std::uint8_t> h = PlaceableHeader(right, bottom, unitsPerInch);
  return static_cast<std::uint16_t>(h[20] | (h[21] << 8));
}

std::vector<std::uint8_t> PlaceableHeader(int right, int bottom, int unitsPerInch) {
  std::vector<std::uint8_t> h(kPlaceableHeaderSize, 0);
  const auto put16 = [&h](std::size_t at, int v) {
    h[at] = static_cast<std::uint8_t>(v & 0xFF);
    h[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  };
  put16(0, static_cast<int>(kPlaceableKey & 0xFFFF));
  put16(2, static_cast<int>(kPlaceableKey >> 16));
  put16(10, Clamp16(right));
  put16(12, Clamp16(bottom));
  put16(14, Clamp16(unitsPerInch));
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < 20; i += 2) sum ^= static_cast<std::uint16_t>(h[i] | (h[i + 1] << 8));
  put16(20, sum);
  return h;
}

std::unique_ptr<MetafileRecorder> MetafileRecorder::Windows(int width, int height) {
  std::unique_ptr<MetafileRecorder> m(new MetafileRecorder());
  m->width_ = width;
  m->height_ = height;
  m->bytes_.assign(kWmfHeaderSize, 0);
  m->Simple16(kMetaSetMapMode, {8});
  m->Simple16(kMetaSetWindowOrg, {0, 0});
  m->Simple16(kMetaSetWindowExt, {Clamp16(height + 1), Clamp16(width + 1)});
  m->Simple16(kMetaSetBkMode, {1, 0});
  m->bkMode_ = 1;
  return m;
}

std::unique_ptr<MetafileRecorder> MetafileRecorder::Enhanced(const EmfReference& reference,
                                                             const plat::Rect& frame,
                                                             std::string_view description,
                                                             int windowWidth, int windowHeight) {
  std::unique_ptr<MetafileRecorder> m(new MetafileRecorder());
  m->enhanced_ = true;
  m->geometric_ = true;
  m->reference_ = reference;
  m->frame_ = frame;
  const auto toPixels = [](int hundredths, int res, int mm) {
    return mm > 0 ? static_cast<int>(static_cast<long long>(hundredths) * res / (mm * 100LL)) : 0;
  };
  m->width_ = toPixels(frame.right - frame.left, reference.horzRes, reference.horzSize);
  m->height_ = toPixels(frame.bottom - frame.top, reference.vertRes, reference.vertSize);
  // The header: fields filled at the close, the description behind it.
  m->Begin(kEmrHeader);
  m->bytes_.resize(m->bytes_.size() + kEmfHeaderSize - 8, 0);
  if (!description.empty()) {
    const std::size_t at = m->bytes_.size();
    for (char c : description) m->U16(static_cast<unsigned char>(c));
    while (m->bytes_.size() % 4 != 0) m->U8(0);
    const auto put32 = [&m](std::size_t off, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) m->bytes_[off + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(60, static_cast<std::uint32_t>(description.size()));
    put32(64, static_cast<std::uint32_t>(at));
  }
  m->End();
  if (windowWidth > 0 && windowHeight > 0) m->Simple32(kEmrSetWindowExtEx, {windowWidth, windowHeight});
  m->Simple32(kEmrSetBkMode, {1});
  m->bkMode_ = 1;
  return m;
}

void MetafileRecorder::U16(int v) {
  bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
  bytes_.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void MetafileRecorder::U32(std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void MetafileRecorder::Colour(plat::Pixel p) {
  U8(plat::RedOf(p));
  U8(plat::GreenOf(p));
  U8(plat::BlueOf(p));
  U8(0);
}

void MetafileRecorder::Point(plat::Point p) {
  if (enhanced_) {
    I32(p.x);
    I32(p.y);
  } else {
    U16(Clamp16(p.x));
    U16(Clamp16(p.y));
  }
}

// Rectangles: left, top, right, bottom in an enhanced metafile; bottom,
// right, top, left in a Windows metafile.
void MetafileRecorder::Box(const plat::Rect& r) {
  if (enhanced_) {
    I32(r.left);
    I32(r.top);
    I32(r.right);
    I32(r.bottom);
  } else {
    U16(Clamp16(r.bottom));
    U16(Clamp16(r.right));
    U16(Clamp16(r.top));
    U16(Clamp16(r.left));
  }
}

void MetafileRecorder::Begin(std::uint32_t type) {
  recordStart_ = bytes_.size();
  if (enhanced_) {
    U32(type);
    U32(0);
  } else {
    U32(0);
    U16(static_cast<int>(type));
  }
}

void MetafileRecorder::End() {
  if (bytes_.size() % 2 != 0) U8(0);
  if (enhanced_)
    while (bytes_.size() % 4 != 0) U8(0);
  const std::size_t size = bytes_.size() - recordStart_;
  const std::uint32_t value = enhanced_ ? static_cast<std::uint32_t>(size) : static_cast<std::uint32_t>(size / 2);
  const std::size_t at = recordStart_ + (enhanced_ ? 4 : 0);
  for (int i = 0; i < 4; ++i) bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  maxRecordWords_ = std::max(maxRecordWords_, size / 2);
  ++records_;
}

void MetafileRecorder::Simple16(int function, std::initializer_list<int> words) {
  if (closed_) return;
  Begin(static_cast<std::uint32_t>(function));
  for (int w : words) U16(w);
  End();
}

void MetafileRecorder::Simple32(std::uint32_t type, std::initializer_list<int> values) {
  if (closed_) return;
  Begin(type);
  for (int v : values) I32(v);
  End();
}

int MetafileRecorder::NewObject() {
  auto it = std::find(objects_.begin(), objects_.end(), false);
  int index;
  if (it == objects_.end()) {
    objects_.push_back(true);
    index = static_cast<int>(objects_.size()) - 1;
  } else {
    *it = true;
    index = static_cast<int>(it - objects_.begin());
  }
  maxObjects_ = std::max(maxObjects_, static_cast<int>(objects_.size()));
  // Enhanced metafiles keep index 0 for the metafile itself.
  return enhanced_ ? index + 1 : index;
}

void MetafileRecorder::DeleteObject(int& index) {
  if (index < 0) return;
  if (enhanced_)
    Simple32(kEmrDeleteObject, {index});
  else
    Simple16(kMetaDeleteObject, {index});
  const int slot = enhanced_ ? index - 1 : index;
  if (slot >= 0 && slot < static_cast<int>(objects_.size())) objects_[static_cast<std::size_t>(slot)] = false;
  index = -1;
}

void MetafileRecorder::SetPen(const plat::Pen& pen) {
  if (closed_ || (penKnown_ && SamePen(pen, pen_))) return;
  pen_ = pen;
  penKnown_ = true;
  const int index = NewObject();
  const int width = std::max(pen.width, pen.style == plat::PenStyle::Null ? 1 : 0);
  if (enhanced_ && geometric_ && pen.style != plat::PenStyle::Null &&
      (pen.width > 1 || pen.style == plat::PenStyle::User)) {
    Begin(kEmrExtCreatePen);
    I32(index);
    for (int i = 0; i < 4; ++i) U32(0);  // no brush bitmap
    U32(static_cast<std::uint32_t>(kPsGeometric | kPsEndcapSquare | kPsJoinBevel | PenStyleCode(pen.style)));
    U32(static_cast<std::uint32_t>(width));
    U32(0);  // solid brush
    Colour(pen.colour);
    U32(0);
    const bool user = pen.style == plat::PenStyle::User;
    U32(user ? static_cast<std::uint32_t>(pen.dashes.size()) : 0);
    if (user)
      for (int d : pen.dashes) U32(static_cast<std::uint32_t>(std::max(d, 1)));
    End();
  } else if (enhanced_) {
    const int style = pen.style == plat::PenStyle::User ? kPsDash : PenStyleCode(pen.style);
    Simple32(kEmrCreatePen, {index, style, width, 0, 0});
    // The colour occupies the last field.
    for (int i = 0; i < 4; ++i) bytes_[bytes_.size() - 4 + static_cast<std::size_t>(i)] = 0;
    bytes_[bytes_.size() - 4] = static_cast<std::uint8_t>(plat::RedOf(pen.colour));
    bytes_[bytes_.size() - 3] = static_cast<std::uint8_t>(plat::GreenOf(pen.colour));
    bytes_[bytes_.size() - 2] = static_cast<std::uint8_t>(plat::BlueOf(pen.colour));
  } else {
    Begin(kMetaCreatePenIndirect);
    U16(pen.style == plat::PenStyle::User ? kPsDash : PenStyleCode(pen.style));
    U16(Clamp16(width));
    U16(0);
    Colour(pen.colour);
    End();
  }
  if (enhanced_)
    Simple32(kEmrSelectObject, {index});
  else
    Simple16(kMetaSelectObject, {index});
  DeleteObject(penObject_);
  penObject_ = index;
}

void MetafileRecorder::SetBrush(const plat::Brush& brush) {
  if (closed_ || (brushKnown_ && SameBrush(brush, brush_))) return;
  brush_ = brush;
  brushKnown_ = true;
  const int index = NewObject();
  int style = kBsSolid, hatch = 0;
  if (brush.kind == plat::Brush::Kind::Null) style = kBsNull;
  if (brush.kind == plat::Brush::Kind::Hatch) {
    style = kBsHatched;
    hatch = static_cast<int>(brush.hatch);
  }
  Begin(enhanced_ ? kEmrCreateBrushIndirect : kMetaCreateBrushIndirect);
  if (enhanced_) {
    I32(index);
    U32(static_cast<std::uint32_t>(style));
    Colour(BrushColour(brush));
    U32(static_cast<std::uint32_t>(hatch));
  } else {
    U16(style);
    Colour(BrushColour(brush));
    U16(hatch);
  }
  End();
  if (enhanced_)
    Simple32(kEmrSelectObject, {index});
  else
    Simple16(kMetaSelectObject, {index});
  DeleteObject(brushObject_);
  brushObject_ = index;
}

void MetafileRecorder::SetRop2(int rop2) {
  if (enhanced_)
    Simple32(kEmrSetRop2, {rop2});
  else
    Simple16(kMetaSetRop2, {rop2, 0});
}

void MetafileRecorder::MoveTo(plat::Point p) {
  if (enhanced_)
    Simple32(kEmrMoveToEx, {p.x, p.y});
  else
    Simple16(kMetaMoveTo, {Clamp16(p.y), Clamp16(p.x)});
}

void MetafileRecorder::LineTo(plat::Point p) {
  if (enhanced_)
    Simple32(kEmrLineTo, {p.x, p.y});
  else
    Simple16(kMetaLineTo, {Clamp16(p.y), Clamp16(p.x)});
}

void MetafileRecorder::SetPixel(plat::Point p, plat::Pixel colour) {
  if (closed_) return;
  if (enhanced_) {
    Begin(kEmrSetPixelV);
    I32(p.x);
    I32(p.y);
  } else {
    Begin(kMetaSetPixel);
  }
  Colour(colour);
  if (!enhanced_) {
    U16(Clamp16(p.y));
    U16(Clamp16(p.x));
  }
  End();
}

void MetafileRecorder::Points(std::uint32_t emfType, int wmfFunction,
                              std::span<const plat::Point> points) {
  if (closed_ || points.empty()) return;
  // A Windows metafile counts its points in one word: longer lists are split,
  // a polyline's pieces sharing their joining point.
  if (!enhanced_ && points.size() > 32767) {
    if (wmfFunction == kMetaPolyline) {
      std::size_t at = 0;
      while (at + 1 < points.size()) {
        const std::size_t n = std::min<std::size_t>(32767, points.size() - at);
        Points(emfType, wmfFunction, points.subspan(at, n));
        at += n - 1;
      }
      return;
    }
    points = points.first(32767);
  }
  Begin(enhanced_ ? emfType : static_cast<std::uint32_t>(wmfFunction));
  if (enhanced_) {
    Box(PointBounds(points));
    U32(static_cast<std::uint32_t>(points.size()));
  } else {
    U16(static_cast<int>(points.size()));
  }
  for (const plat::Point& p : points) Point(p);
  End();
}

void MetafileRecorder::Polyline(std::span<const plat::Point> points) {
  Points(kEmrPolyline, kMetaPolyline, points);
}

void MetafileRecorder::Polygon(std::span<const plat::Point> points) {
  Points(kEmrPolygon, kMetaPolygon, points);
}

void MetafileRecorder::Rectangle(const plat::Rect& box) {
  if (closed_) return;
  Begin(enhanced_ ? kEmrRectangle : kMetaRectangle);
  Box(box);
  End();
}

void MetafileRecorder::Ellipse(const plat::Rect& box) {
  if (closed_) return;
  Begin(enhanced_ ? kEmrEllipse : kMetaEllipse);
  Box(box);
  End();
}

void MetafileRecorder::Arc(const plat::Rect& box, plat::Point start, plat::Point end) {
  ArcLike(kEmrArc, kMetaArc, box, start, end);
}

void MetafileRecorder::Pie(const plat::Rect& box, plat::Point start, plat::Point end) {
  ArcLike(kEmrPie, kMetaPie, box, start, end);
}

// Arcs and pies share one layout: EMF box, start, end; WMF end, start (y
// before x), box.
void MetafileRecorder::ArcLike(std::uint32_t emfType, std::uint32_t wmfType, const plat::Rect& box,
                               plat::Point start, plat::Point end) {
  if (closed_) return;
  Begin(enhanced_ ? emfType : wmfType);
  if (enhanced_) {
    Box(box);
    Point(start);
    Point(end);
  } else {
    U16(Clamp16(end.y));
    U16(Clamp16(end.x));
    U16(Clamp16(start.y));
    U16(Clamp16(start.x));
    Box(box);
  }
  End();
}

// A Windows metafile has no way back from a clip short of restoring the
// whole context, so only enhanced metafiles record clipping.
void MetafileRecorder::SetClip(std::optional<plat::Rect> clip) {
  if (closed_ || !enhanced_) return;
  Simple32(kEmrExtSelectClipRgn, {0, kRgnCopy});
  if (clip) Simple32(kEmrIntersectClipRect, {clip->left, clip->top, clip->right, clip->bottom});
}

void MetafileRecorder::FitFont(const plat::Font& font) {
  const plat::FontSpec& spec = font.Spec();
  if (fontKnown_ && spec == font_) return;
  font_ = spec;
  fontKnown_ = true;
  const int index = NewObject();
  const int family = static_cast<int>(spec.family) << 4;
  if (enhanced_) {
    Begin(kEmrExtCreateFontIndirectW);
    I32(index);
    for (int v : {spec.height, spec.width, spec.angle, spec.angle, spec.weight}) I32(v);
  } else {
    Begin(kMetaCreateFontIndirect);
    for (int v : {spec.height, spec.width, spec.angle, spec.angle, spec.weight}) U16(Clamp16(v));
  }
  U8(spec.italic ? 1 : 0);
  U8(spec.underline ? 1 : 0);
  U8(0);
  U8(static_cast<int>(spec.charset));
  U8(0);
  U8(0);
  U8(0);
  U8(family);
  for (std::size_t i = 0; i < kFaceNameChars; ++i) {
    const int c = i + 1 < kFaceNameChars && i < spec.face.size() ? static_cast<unsigned char>(spec.face[i]) : 0;
    if (enhanced_)
      U16(c);
    else
      U8(c);
  }
  End();
  if (enhanced_)
    Simple32(kEmrSelectObject, {index});
  else
    Simple16(kMetaSelectObject, {index});
  DeleteObject(fontObject_);
  fontObject_ = index;
}

void MetafileRecorder::FitTextState(const plat::TextStyle& style) {
  int align = kTaBaseline;
  if (style.vAlign == plat::TextVAlign::Top) align = kTaTop;
  if (style.vAlign == plat::TextVAlign::Bottom) align = kTaBottom;
  if (style.hAlign == plat::TextHAlign::Centre) align |= kTaCenter;
  if (style.hAlign == plat::TextHAlign::Right) align |= kTaRight;
  if (align != textAlign_) {
    textAlign_ = align;
    if (enhanced_)
      Simple32(kEmrSetTextAlign, {align});
    else
      Simple16(kMetaSetTextAlign, {align, 0});
  }
  const auto colourRecord = [this](std::uint32_t emf, int wmf, plat::Pixel c) {
    Begin(enhanced_ ? emf : static_cast<std::uint32_t>(wmf));
    Colour(c);
    End();
  };
  if ((style.colour & 0xFFFFFF) != textColour_) {
    textColour_ = style.colour & 0xFFFFFF;
    colourRecord(kEmrSetTextColor, kMetaSetTextColor, style.colour);
  }
  const int mode = style.opaque ? 2 : 1;
  if (mode != bkMode_) {
    bkMode_ = mode;
    if (enhanced_)
      Simple32(kEmrSetBkMode, {mode});
    else
      Simple16(kMetaSetBkMode, {mode, 0});
  }
  if (style.opaque && (style.background & 0xFFFFFF) != bkColour_) {
    bkColour_ = style.background & 0xFFFFFF;
    colourRecord(kEmrSetBkColor, kMetaSetBkColor, style.background);
  }
}

void MetafileRecorder::Text(const plat::Font& font, plat::Point at, std::string_view text,
                            const plat::TextStyle& style) {
  if (closed_ || text.empty()) return;
  FitFont(font);
  FitTextState(style);
  if (!enhanced_) {
    const std::size_t n = std::min<std::size_t>(text.size(), 32767);
    Begin(kMetaExtTextOut);
    U16(Clamp16(at.y));
    U16(Clamp16(at.x));
    U16(static_cast<int>(n));
    U16(0);
    for (std::size_t i = 0; i < n; ++i) U8(static_cast<unsigned char>(text[i]));
    if (n % 2 != 0) U8(0);
    End();
    return;
  }
  // EMR_EXTTEXTOUTW: the characters as UTF-16 with their advances.
  const int width = font.TextWidth(text);
  Begin(kEmrExtTextOutW);
  Box({at.x, at.y - font.Metrics().ascent, at.x + width, at.y + font.Metrics().descent});
  U32(1);  // compatible graphics mode
  const float scale = 1.0f;
  std::uint32_t bits;
  static_assert(sizeof(bits) == sizeof(scale));
  std::memcpy(&bits, &scale, sizeof bits);
  U32(bits);
  U32(bits);
  Point(at);
  U32(static_cast<std::uint32_t>(text.size()));
  const std::uint32_t offString = kEmrExtTextOutFixed;
  const std::uint32_t stringBytes = static_cast<std::uint32_t>((text.size() * 2 + 3) / 4 * 4);
  U32(offString);
  U32(0);      // options
  Box({0, 0, -1, -1});
  U32(offString + stringBytes);
  for (char c : text) U16(static_cast<unsigned char>(c));
  while ((bytes_.size() - recordStart_) % 4 != 0) U8(0);
  for (char c : text) U32(static_cast<std::uint32_t>(font.Advance(static_cast<unsigned char>(c))));
  End();
}

bool MetafileRecorder::GradientTriangles(std::span<const plat::GradientVertex> vertices,
                                         std::span<const std::array<int, 3>> triangles) {
  if (closed_ || !enhanced_) return false;
  for (const std::array<int, 3>& t : triangles)
    for (int v : t)
      if (v < 0 || v >= static_cast<int>(vertices.size())) return false;
  std::vector<plat::Point> points;
  for (const plat::GradientVertex& v : vertices) points.push_back({v.x, v.y});
  Begin(kEmrGradientFill);
  Box(PointBounds(points));
  U32(static_cast<std::uint32_t>(vertices.size()));
  U32(static_cast<std::uint32_t>(triangles.size()));
  U32(kGradientFillTriangle);
  for (const plat::GradientVertex& v : vertices) {
    I32(v.x);
    I32(v.y);
    U16(plat::RedOf(v.colour) << 8);
    U16(plat::GreenOf(v.colour) << 8);
    U16(plat::BlueOf(v.colour) << 8);
    U16(0);
  }
  for (const std::array<int, 3>& t : triangles)
    for (int v : t) U32(static_cast<std::uint32_t>(v));
  End();
  return true;
}

void MetafileRecorder::Dib(const plat::Surface& pixels, std::vector<std::uint8_t>& info,
                           std::vector<std::uint8_t>& bits) const {
  const int w = pixels.Width(), h = pixels.Height();
  const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
  info.assign(kBitmapInfoHeaderSize, 0);
  const auto put = [&info](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) info[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(0, kBitmapInfoHeaderSize, 4);
  put(4, static_cast<std::uint32_t>(w), 4);
  put(8, static_cast<std::uint32_t>(h), 4);
  put(12, 1, 2);
  put(14, 24, 2);
  put(20, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(h)), 4);
  bits.assign(stride * static_cast<std::size_t>(h), 0);
  for (int y = 0; y < h; ++y) {
    const plat::Pixel* row = pixels.Row(h - 1 - y);
    std::uint8_t* out = bits.data() + stride * static_cast<std::size_t>(y);
    for (int x = 0; x < w; ++x) {
      out[3 * x] = static_cast<std::uint8_t>(plat::BlueOf(row[x]));
      out[3 * x + 1] = static_cast<std::uint8_t>(plat::GreenOf(row[x]));
      out[3 * x + 2] = static_cast<std::uint8_t>(plat::RedOf(row[x]));
    }
  }
}

void MetafileRecorder::Bitmap(const plat::Surface& pixels, const plat::Rect& dest) {
  if (closed_ || pixels.Width() <= 0 || pixels.Height() <= 0) return;
  std::vector<std::uint8_t> info, bits;
  Dib(pixels, info, bits);
  const int w = pixels.Width(), h = pixels.Height();
  if (enhanced_) {
    Begin(kEmrStretchDiBits);
    Box({dest.left, dest.top, dest.right - 1, dest.bottom - 1});
    for (int v : {dest.left, dest.top, 0, 0, w, h}) I32(v);
    U32(kEmrStretchDiBitsFixed);
    U32(static_cast<std::uint32_t>(info.size()));
    U32(static_cast<std::uint32_t>(kEmrStretchDiBitsFixed + info.size()));
    U32(static_cast<std::uint32_t>(bits.size()));
    U32(0);
    U32(plat::kSrcCopy);
    I32(dest.Width());
    I32(dest.Height());
  } else {
    Begin(kMetaStretchDib);
    U32(plat::kSrcCopy);
    U16(0);
    for (int v : {h, w, 0, 0, dest.Height(), dest.Width(), dest.top, dest.left}) U16(Clamp16(v));
  }
  bytes_.insert(bytes_.end(), info.begin(), info.end());
  bytes_.insert(bytes_.end(), bits.begin(), bits.end());
  End();
}

const std::vector<std::uint8_t>& MetafileRecorder::Close() {
  if (closed_) return bytes_;
  const auto put = [this](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  if (enhanced_) {
    Simple32(kEmrEof, {0, 16, 20});
    put(8, 0, 4);
    put(12, 0, 4);
    put(16, static_cast<std::uint32_t>(std::max(width_ - 1, 0)), 4);
    put(20, static_cast<std::uint32_t>(std::max(height_ - 1, 0)), 4);
    put(24, static_cast<std::uint32_t>(frame_.left), 4);
    put(28, static_cast<std::uint32_t>(frame_.top), 4);
    put(32, static_cast<std::uint32_t>(frame_.right), 4);
    put(36, static_cast<std::uint32_t>(frame_.bottom), 4);
    put(40, kEmfSignature, 4);
    put(44, 0x10000, 4);
    put(48, static_cast<std::uint32_t>(bytes_.size()), 4);
    put(52, static_cast<std::uint32_t>(records_), 4);
    put(56, static_cast<std::uint32_t>(std::min(maxObjects_ + 1, 65535)), 2);
    put(72, static_cast<std::uint32_t>(reference_.horzRes), 4);
    put(76, static_cast<std::uint32_t>(reference_.vertRes), 4);
    put(80, static_cast<std::uint32_t>(reference_.horzSize), 4);
    put(84, static_cast<std::uint32_t>(reference_.vertSize), 4);
    put(100, static_cast<std::uint32_t>(reference_.horzSize * 1000), 4);
    put(104, static_cast<std::uint32_t>(reference_.vertSize * 1000), 4);
  } else {
    Simple16(kMetaEof, {});
    put(0, 1, 2);  // the type files carry too
    put(2, kWmfHeaderSize / 2, 2);
    put(4, 0x0300, 2);
    put(6, static_cast<std::uint32_t>(bytes_.size() / 2), 4);
    put(10, static_cast<std::uint32_t>(std::min(maxObjects_, 65535)), 2);
    put(12, static_cast<std::uint32_t>(maxRecordWords_), 4);
    put(16, 0, 2);
  }
  closed_ = true;
  return bytes_;
}

}  // namespace tk
