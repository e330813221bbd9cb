#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/text/FontMatch_p.h"

namespace plat::detail {
namespace {

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;

// Generic fontconfig family standing in for a missing face.
const char* GenericFamily(FontFamily family) {
  switch (family) {
    case FontFamily::Roman:
      return "serif";
    case FontFamily::Swiss:
      return "sans-serif";
    case FontFamily::Modern:
      return "monospace";
    case FontFamily::Script:
      return "cursive";
    case FontFamily::Decorative:
      return "fantasy";
    case FontFamily::DontCare:
      break;
  }
  return nullptr;
}

const FcChar8* Str(const char* s) {
  return reinterpret_cast<const FcChar8*>(s);
}

PatternPtr MakePattern(const FontSpec& spec) {
  PatternPtr pat(FcPatternCreate());
  if (!pat) return pat;
  // A name with an embedded NUL would be cut short by fontconfig anyway.
  const std::string face = spec.face.substr(0, spec.face.find('\0'));
  if (!face.empty()) FcPatternAddString(pat.get(), FC_FAMILY, Str(face.c_str()));
  // A symbol font for symbol text, whatever face was named, before the generic
  // family: codes of the Symbol encoding mean nothing in a text font.
  if (spec.charset == Charset::Symbol) FcPatternAddString(pat.get(), FC_FAMILY, Str("Symbol"));
  if (const char* generic = GenericFamily(spec.family))
    FcPatternAddString(pat.get(), FC_FAMILY, Str(generic));
  const bool bold = spec.weight >= 600;
  FcPatternAddInteger(pat.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat.get(), FC_SLANT, spec.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat.get(), FcMatchPattern);
  FcDefaultSubstitute(pat.get());
  return pat;
}

bool ReadFontFile(FcPattern* font, FontFile& out) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) return false;
  FcBool scalable = FcTrue;
  if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) return false;
  out.path = reinterpret_cast<const char*>(file);
  int index = 0;
  out.index = FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
  FcChar8* family = nullptr;
  out.family = FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch && family
                   ? reinterpret_cast<const char*>(family)
                   : std::string();
  // The usual configuration marks a regular file chosen for a bold or italic
  // request as emboldened or sheared (and bold or oblique): that is a style
  // the renderer must make, not one the file has.
  FcBool embolden = FcFalse;
  if (FcPatternGetBool(font, FC_EMBOLDEN, 0, &embolden) != FcResultMatch) embolden = FcFalse;
  FcMatrix* matrix = nullptr;
  const bool sheared = FcPatternGetMatrix(font, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix &&
                       matrix->xy != 0.0;
  int weight = FC_WEIGHT_REGULAR;
  out.bold = FcPatternGetInteger(font, FC_WEIGHT, 0, &weight) == FcResultMatch &&
             weight >= FC_WEIGHT_DEMIBOLD && !embolden;
  int slant = FC_SLANT_ROMAN;
  out.italic = FcPatternGetInteger(font, FC_SLANT, 0, &slant) == FcResultMatch &&
               slant != FC_SLANT_ROMAN && !sheared;
  return true;
}

std::mutex& FontconfigMutex() {
  static std::mutex m;
  return m;
}

// Loads the configuration on first use and frees it when the process ends,
// so that leak checkers see fontconfig's own tables released.
void EnsureFontconfig() {
  static const bool ready = [] {
    const bool ok = FcInit() == FcTrue;
    if (ok) std::atexit(FcFini);
    return ok;
  }();
  (void)ready;
}

}  // namespace

bool FindFontFile(const FontSpec& spec, FontFile& out) {
  std::lock_guard lock(FontconfigMutex());
  EnsureFontconfig();
  PatternPtr pat = MakePattern(spec);
  if (!pat) return false;
  FcResult result = FcResultNoMatch;
  PatternPtr best(FcFontMatch(nullptr, pat.get(), &result));
  return best && ReadFontFile(best.get(), out);
}

std::vector<FontFile> RankFontFiles(const FontSpec& spec) {
  std::vector<FontFile> files;
  std::lock_guard lock(FontconfigMutex());
  EnsureFontconfig();
  PatternPtr pat = MakePattern(spec);
  if (!pat) return files;
  FcResult result = FcResultNoMatch;
  FontSetPtr set(FcFontSort(nullptr, pat.get(), FcTrue, nullptr, &result));
  if (!set) return files;
  for (int i = 0; i < set->nfont; ++i) {
    FontFile f;
    if (ReadFontFile(set->fonts[i], f)) files.push_back(std::move(f));
  }
  return files;
}

std::vector<std::string> ListFontFamilies(bool trueTypeOnly) {
  std::vector<std::string> names;
  std::lock_guard lock(FontconfigMutex());
  EnsureFontconfig();
  PatternPtr pat(FcPatternCreate());
  if (!pat) return names;
  FcPatternAddBool(pat.get(), FC_SCALABLE, FcTrue);
  std::unique_ptr<FcObjectSet, void (*)(FcObjectSet*)> objects(
      FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, nullptr), FcObjectSetDestroy);
  if (!objects) return names;
  FontSetPtr set(FcFontList(nullptr, pat.get(), objects.get()));
  if (!set) return names;
  for (int i = 0; i < set->nfont; ++i) {
    FcChar8* format = nullptr;
    if (trueTypeOnly &&
        (FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format) != FcResultMatch ||
         format == nullptr || std::string(reinterpret_cast<const char*>(format)) != "TrueType"))
      continue;
    FcChar8* family = nullptr;
    if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
      names.emplace_back(reinterpret_cast<const char*>(family));
  }
  return names;
}

}  // namespace plat::detail
