#pragma once
// Choosing a font file for a logical font through fontconfig.
#include <string>
#include <vector>

#include "platform/text/Font.h"

namespace plat::detail {

struct FontFile {
  std::string path;
  int index = 0;        // face index inside the file
  std::string family;   // the family the file declares
  bool bold = false;    // the file's own weight is bold
  bool italic = false;  // the file's own style is italic or oblique
};

// The font file that best matches SPEC; false when fontconfig has none.
bool FindFontFile(const FontSpec& spec, FontFile& out);

// Every scalable font file fontconfig ranks for SPEC, best first: the ones to
// try in turn when the best match cannot be opened.
std::vector<FontFile> RankFontFiles(const FontSpec& spec);

// The families of the scalable fonts fontconfig knows (TRUE_TYPE_ONLY:
// TrueType files only), unsorted, with repeats.
std::vector<std::string> ListFontFamilies(bool trueTypeOnly);

}  // namespace plat::detail
