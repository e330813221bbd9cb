#include "platform/text/Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <list>
#include <mutex>
#include <numbers>
#include <unordered_map>

#include "platform/Rounding.h"
#include "platform/text/CharMaps_p.h"
#include "platform/text/FontMatch_p.h"

namespace plat {
namespace {

// One FreeType library for the process. Making and freeing faces touches the
// library's own lists, so those calls hold LibraryMutex.
std::mutex& LibraryMutex() {
  static std::mutex m;
  return m;
}

FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return lib;
}

FT_Face OpenFace(const detail::FontFile& file) {
  std::lock_guard lock(LibraryMutex());
  FT_Library lib = Library();
  if (!lib) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(lib, file.path.c_str(), file.index, &face) != 0) return nullptr;
  // Outlines only: bitmap-only faces cannot be scaled, rotated or sheared.
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

void CloseFace(FT_Face face) {
  if (!face) return;
  std::lock_guard lock(LibraryMutex());
  FT_Done_Face(face);
}

// Horizontal shear of synthesised italics, as a 16.16 factor (about 12 degrees).
constexpr FT_Fixed kObliqueShear = 0x3700;

FT_Fixed ToFixed(double v) {
  return static_cast<FT_Fixed>(NearestInt64(v * 65536.0));
}

// Finds the charmaps that text lookups use.
struct Charmaps {
  FT_CharMap unicode = nullptr;
  FT_CharMap msSymbol = nullptr;
  FT_CharMap adobe = nullptr;  // a Type 1 font's own encoding
};

Charmaps FindCharmaps(FT_Face face) {
  Charmaps maps;
  for (int i = 0; i < face->num_charmaps; ++i) {
    FT_CharMap cm = face->charmaps[i];
    switch (cm->encoding) {
      case FT_ENCODING_UNICODE:
        if (!maps.unicode) maps.unicode = cm;
        break;
      case FT_ENCODING_MS_SYMBOL:
        if (!maps.msSymbol) maps.msSymbol = cm;
        break;
      case FT_ENCODING_ADOBE_CUSTOM:
      case FT_ENCODING_ADOBE_STANDARD:
      case FT_ENCODING_ADOBE_LATIN_1:
        if (!maps.adobe) maps.adobe = cm;
        break;
      default:
        break;
    }
  }
  return maps;
}

FT_UInt CharIndex(FT_Face face, FT_CharMap cm, FT_ULong code) {
  if (!cm || FT_Set_Charmap(face, cm) != 0) return 0;
  return FT_Get_Char_Index(face, code);
}

// The glyph a byte of text draws.
FT_UInt MapCode(FT_Face face, const Charmaps& maps, Charset charset, unsigned char c) {
  FT_UInt g = 0;
  if (charset == Charset::Symbol) {
    // A font with its own symbol charmap lays codes out at U+F020-U+F0FF.
    if (maps.msSymbol) {
      g = CharIndex(face, maps.msSymbol, 0xF000u + c);
      if (!g) g = CharIndex(face, maps.msSymbol, c);
      if (g) return g;
    }
    const detail::SymbolCode code = detail::SymbolEncoding(c);
    if (!code.name) return 0;
    // A font whose Unicode charmap has Greek is a text font: look the
    // character up there. Symbol fonts often list their glyphs in the Unicode
    // charmap under the symbol codes instead (so U+00D7 would find the glyph
    // at code 0xD7, the dot operator): there the glyph names are the key.
    const bool unicodeFont = CharIndex(face, maps.unicode, 0x03B1) != 0;
    if (unicodeFont) g = CharIndex(face, maps.unicode, code.unicode);
    if (!g && FT_HAS_GLYPH_NAMES(face)) g = FT_Get_Name_Index(face, code.name);
    if (!g && !unicodeFont) g = CharIndex(face, maps.unicode, code.unicode);
    return g;
  }
  g = CharIndex(face, maps.unicode, detail::Cp1252ToUnicode(c));
  if (!g && maps.msSymbol) g = CharIndex(face, maps.msSymbol, 0xF000u + c);
  if (!g && !maps.unicode && maps.adobe) g = CharIndex(face, maps.adobe, c);
  return g;
}

// Ascent and descent in font units, as the usual text metrics count them.
void VerticalExtent(FT_Face face, const TT_OS2* os2, double& ascent, double& descent) {
  if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  } else if (face->ascender - face->descender > 0) {
    ascent = face->ascender;
    descent = -face->descender;
  } else if (face->bbox.yMax - face->bbox.yMin > 0) {
    ascent = face->bbox.yMax;
    descent = -face->bbox.yMin;
  } else {
    ascent = 0.8 * face->units_per_EM;
    descent = 0.2 * face->units_per_EM;
  }
}

// The average character width in font units: the OS/2 figure, else the mean
// advance of the lower-case letters.
double AverageWidthUnits(FT_Face face, const Charmaps& maps, const TT_OS2* os2) {
  if (os2 && os2->xAvgCharWidth > 0) return os2->xAvgCharWidth;
  double sum = 0.0;
  int n = 0;
  for (unsigned char c = 'a'; c <= 'z'; ++c) {
    FT_Fixed adv = 0;
    const FT_UInt g = MapCode(face, maps, Charset::Ansi, c);
    if (g && FT_Get_Advance(face, g, FT_LOAD_NO_SCALE, &adv) == 0 && adv > 0) {
      sum += static_cast<double>(adv);
      ++n;
    }
  }
  if (n > 0) return sum / n;
  return face->max_advance_width > 0 ? face->max_advance_width * 0.5 : face->units_per_EM * 0.5;
}

}  // namespace

struct Font::Impl {
  FT_Face face = nullptr;
  FT_Int32 loadFlags = 0;
  FT_Render_Mode renderMode = FT_RENDER_MODE_MONO;
  bool emboldenSynth = false;
  bool obliqueSynth = false;
  bool rotated = false;
  FT_Matrix rotation{0x10000, 0, 0, 0x10000};

  ~Impl() { CloseFace(face); }
};

Font::~Font() = default;

int Font::Advance(unsigned char c) const {
  if (!advanceKnown_[c]) {
    int adv = 0;
    if (impl_->face && FT_Load_Glyph(impl_->face, glyphIndex_[c], impl_->loadFlags) == 0)
      adv = static_cast<int>((impl_->face->glyph->advance.x + 32) >> 6);
    if (impl_->emboldenSynth) ++adv;
    advance_[c] = std::max(adv, 0);
    advanceKnown_[c] = true;
  }
  return advance_[c];
}

int Font::TextWidth(std::string_view text) const {
  long long w = 0;
  for (char ch : text) w += Advance(static_cast<unsigned char>(ch));
  return static_cast<int>(std::min<long long>(w, INT32_MAX));
}

Size Font::TextExtent(std::string_view text) const {
  return {TextWidth(text), metrics_.height};
}

std::string Font::GlyphName(std::uint32_t glyph) const {
  FT_Face face = impl_->face;
  if (!face || !FT_HAS_GLYPH_NAMES(face) || glyph >= static_cast<std::uint32_t>(face->num_glyphs))
    return {};
  char name[128] = {};
  if (FT_Get_Glyph_Name(face, glyph, name, sizeof name) != 0) return {};
  return name;
}

const GlyphImage& Font::Glyph(unsigned char c) const {
  if (!glyphs_[c]) LoadGlyph(c);
  return *glyphs_[c];
}

void Font::LoadGlyph(unsigned char c) const {
  auto img = std::make_unique<GlyphImage>();
  FT_Face face = impl_->face;
  if (face && FT_Load_Glyph(face, glyphIndex_[c], impl_->loadFlags) == 0) {
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (impl_->emboldenSynth) FT_Outline_EmboldenXY(&slot->outline, 64, 0);
      if (impl_->obliqueSynth) {
        FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
      }
      if (impl_->rotated) FT_Outline_Transform(&slot->outline, &impl_->rotation);
    }
    if (FT_Render_Glyph(slot, impl_->renderMode) == 0) {
      const FT_Bitmap& bm = slot->bitmap;
      const int w = static_cast<int>(bm.width), h = static_cast<int>(bm.rows);
      const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
      if (bm.buffer && w > 0 && h > 0 && (mono || bm.pixel_mode == FT_PIXEL_MODE_GRAY)) {
        img->left = slot->bitmap_left;
        img->top = -slot->bitmap_top;
        img->width = w;
        img->height = h;
        img->coverage.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
        const int pitch = std::abs(bm.pitch);
        for (int y = 0; y < h; ++y) {
          const unsigned char* src =
              bm.buffer + static_cast<std::ptrdiff_t>(bm.pitch >= 0 ? y : h - 1 - y) * pitch;
          std::uint8_t* dst = img->coverage.data() + static_cast<std::size_t>(y) * w;
          for (int x = 0; x < w; ++x)
            dst[x] = mono ? ((src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0) : src[x];
        }
      }
    }
  }
  glyphs_[c] = std::move(img);
}

namespace {

struct SpecHash {
  std::size_t operator()(const FontSpec& s) const {
    std::size_t h = std::hash<std::string>()(s.face);
    auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); };
    mix(static_cast<std::size_t>(s.height));
    mix(static_cast<std::size_t>(s.width));
    mix(static_cast<std::size_t>(s.angle));
    mix(static_cast<std::size_t>(s.weight));
    mix((s.italic ? 1u : 0u) | (s.underline ? 2u : 0u) | (s.antialias ? 4u : 0u));
    mix(static_cast<std::size_t>(s.charset));
    mix(static_cast<std::size_t>(s.family));
    return h;
  }
};

// Most recently used fonts first.
struct FontCache {
  std::mutex mutex;
  std::list<std::shared_ptr<const Font>> order;
  std::unordered_map<FontSpec, std::list<std::shared_ptr<const Font>>::iterator, SpecHash> index;
};

FontCache& Cache() {
  static FontCache* cache = new FontCache;  // kept to the end: fonts may outlive statics
  return *cache;
}

FT_Face OpenBestFace(const FontSpec& spec, detail::FontFile& chosen) {
  detail::FontFile best;
  if (detail::FindFontFile(spec, best)) {
    if (FT_Face face = OpenFace(best)) {
      chosen = std::move(best);
      return face;
    }
  }
  for (detail::FontFile& f : detail::RankFontFiles(spec)) {
    if (FT_Face face = OpenFace(f)) {
      chosen = std::move(f);
      return face;
    }
  }
  return nullptr;
}

}  // namespace

std::shared_ptr<const Font> OpenFont(const FontSpec& spec) {
  FontCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  if (auto it = cache.index.find(spec); it != cache.index.end()) {
    cache.order.splice(cache.order.begin(), cache.order, it->second);
    return *it->second;
  }

  detail::FontFile file;
  FT_Face face = OpenBestFace(spec, file);
  if (!face) return nullptr;

  std::shared_ptr<Font> font(new Font);
  font->spec_ = spec;
  font->impl_ = std::make_unique<Font::Impl>();
  Font::Impl& impl = *font->impl_;
  impl.face = face;
  font->filePath_ = file.path;
  font->familyName_ = file.family;

  const Charmaps maps = FindCharmaps(face);
  for (int c = 0; c < 256; ++c)
    font->glyphIndex_[c] = MapCode(face, maps, spec.charset, static_cast<unsigned char>(c));

  // Sizes: the em height from the height convention, the horizontal em from
  // the requested average width.
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version == 0xFFFF) os2 = nullptr;
  const double upem = face->units_per_EM;
  double ascentUnits = 0.0, descentUnits = 0.0;
  VerticalExtent(face, os2, ascentUnits, descentUnits);
  const double maxPx = kMaxFontPixels;
  double em = kDefaultFontEmHeight;
  if (spec.height < 0)
    em = -static_cast<double>(spec.height);
  else if (spec.height > 0)
    em = spec.height * upem / (ascentUnits + descentUnits);
  em = std::clamp(em, 1.0, maxPx);
  const double avgUnits = AverageWidthUnits(face, maps, os2);
  double emX = em;
  if (spec.width > 0) emX = std::clamp(spec.width * upem / avgUnits, 1.0, maxPx);
  FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(NearestInt64(emX * 64.0)),
                   static_cast<FT_F26Dot6>(NearestInt64(em * 64.0)), 72, 72);
  const double xs = face->size->metrics.x_scale / 65536.0 / 64.0;  // pixels per font unit
  const double ys = face->size->metrics.y_scale / 65536.0 / 64.0;

  impl.emboldenSynth = spec.weight >= 600 && !file.bold;
  impl.obliqueSynth = spec.italic && !file.italic;
  impl.loadFlags =
      FT_LOAD_NO_BITMAP | (spec.antialias ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
  impl.renderMode = spec.antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;

  TextMetrics& m = font->metrics_;
  m.ascent = NearestInt(ascentUnits * ys);
  m.descent = NearestInt(descentUnits * ys);
  // A cell height asked for is the cell height given.
  if (spec.height > 0 && spec.height <= kMaxFontPixels) m.descent = spec.height - m.ascent;
  m.descent = std::max(m.descent, 0);
  m.height = m.ascent + m.descent;
  m.internalLeading = std::max(0, m.height - NearestInt(upem * ys));
  m.averageCharWidth = std::max(1, NearestInt(avgUnits * xs));
  m.maxCharWidth = std::max(m.averageCharWidth, NearestInt(face->max_advance_width * xs));
  if (impl.emboldenSynth) {
    ++m.averageCharWidth;
    ++m.maxCharWidth;
  }

  // The underline: its top edge below the base line, kept inside the descent.
  const double ulThick = face->underline_thickness > 0 ? face->underline_thickness : upem / 14.0;
  const double ulCentre = face->underline_position < 0 ? -face->underline_position : upem / 10.0;
  font->underlineThickness_ = std::max(1, NearestInt(ulThick * ys));
  // At least one clear row between the letters and the line when it fits.
  int ulTop = std::max(1, NearestInt(ulCentre * ys - ulThick * ys / 2.0));
  ulTop = std::min(ulTop, m.descent - font->underlineThickness_);
  font->underlineOffset_ = std::max(ulTop, 0);

  // The angle, counter-clockwise, with exact quarter turns.
  const int tenths = ((spec.angle % 3600) + 3600) % 3600;
  const double radians = tenths * std::numbers::pi / 1800.0;
  double cosA = std::cos(radians), sinA = std::sin(radians);
  if (tenths % 900 == 0) {
    static constexpr double kCos[] = {1, 0, -1, 0}, kSin[] = {0, 1, 0, -1};
    cosA = kCos[tenths / 900];
    sinA = kSin[tenths / 900];
  }
  font->angleTenths_ = tenths;
  font->cos_ = cosA;
  font->sin_ = sinA;
  impl.rotated = tenths != 0;
  impl.rotation = FT_Matrix{ToFixed(cosA), ToFixed(-sinA), ToFixed(sinA), ToFixed(cosA)};

  cache.order.push_front(font);
  cache.index.emplace(spec, cache.order.begin());
  while (cache.order.size() > kFontCacheCapacity) {
    cache.index.erase(cache.order.back()->Spec());
    cache.order.pop_back();
  }
  return font;
}

std::size_t FontCacheSize() {
  FontCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  return cache.order.size();
}

std::vector<std::string> FontFaceNames(bool trueTypeOnly) {
  std::vector<std::string> names = detail::ListFontFamilies(trueTypeOnly);
  for (const char* face : {"Arial", "Courier New", "Times New Roman", "Symbol"}) names.emplace_back(face);
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  std::sort(names.begin(), names.end(),
            [&](const std::string& a, const std::string& b) { return lower(a) < lower(b); });
  names.erase(std::unique(names.begin(), names.end(),
                          [&](const std::string& a, const std::string& b) { return lower(a) == lower(b); }),
              names.end());
  return names;
}

}  // namespace plat
