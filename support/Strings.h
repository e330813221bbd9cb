#pragma once
// Fixed-length, blank-padded texts: the small type that holds them and the
// routines that search, copy, shift, replace and clean them.
//
// A text argument is a std::string whose size is its declared length L,
// together with a working length N; the routines use positions 1..N only and
// never go past L (N is cut to L). Positions are 1-based and 0 means "not
// found". A blank is the space character only. A count of 0 or less does
// nothing and returns 0 (or false). Letter case means ASCII a-z and A-Z.
#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/FixedText.h"

namespace sup {

/// A text of exactly N characters, blank-padded.
template <std::size_t N>
class FixedString {
 public:
  FixedString() { chars_.fill(' '); }
  // Implicit, like the assignment of a text to a fixed-length variable.
  FixedString(std::string_view text) { Assign(text); }    // NOLINT
  FixedString(const char* text) { Assign(text); }         // NOLINT
  FixedString(const std::string& text) { Assign(text); }  // NOLINT

  static constexpr std::size_t Capacity() { return N; }

  /// Length without trailing blanks.
  std::size_t UsedLength() const {
    return plat::TrimRight(View()).size();
  }
  /// The used part, trailing blanks dropped.
  std::string_view Trimmed() const { return std::string_view(chars_.data(), UsedLength()); }
  /// All N characters.
  std::string_view View() const { return std::string_view(chars_.data(), N); }
  std::string Str() const { return std::string(Trimmed()); }

  /// 1-based position of the first occurrence of PATTERN lying wholly inside
  /// the text; 0 when none (or PATTERN is empty).
  std::size_t Find(std::string_view pattern) const {
    return plat::Find1(View(), pattern);
  }

  char& operator[](std::size_t i) { return chars_[i]; }
  char operator[](std::size_t i) const { return chars_[i]; }
  char* data() { return chars_.data(); }
  const char* data() const { return chars_.data(); }

  bool operator==(const FixedString& other) const = default;
  explicit operator std::string_view() const { return View(); }

 private:
  void Assign(std::string_view text) {
    const std::size_t n = std::min(text.size(), N);
    std::copy_n(text.begin(), n, chars_.begin());
    std::fill(chars_.begin() + static_cast<std::ptrdiff_t>(n), chars_.end(), ' ');
  }

  std::array<char, N> chars_;
};

// Searching.
/// Position of the first PAT(1:NP) lying wholly inside STR(1:N); 0 if none.
int IFNDPT(std::string_view STR, int N, std::string_view PAT, int NP);
/// Position of the last non-blank character of STR(1:N); 0 when all blank.
int INDSTR(std::string_view STR, int N);
/// Position of the first non-blank character; 0 when all blank.
int IBGSTR(std::string_view STR, int N);
/// Number of positions of STR(1:N) equal to CH.
int KNTCHR(std::string_view STR, int N, char CH);

// Copying and changing in place.
/// Copies N characters from SRC to DST, first to last, one at a time.
void COPSTR(std::string& DST, std::string_view SRC, int N);
/// Sets STR(1:N) to CH.
void COPCHR(std::string& STR, int N, char CH);
/// Replaces every OLD in STR(1:N) by NEW.
void RPLCHR(std::string& STR, int N, char OLD, char NEW);
/// Shifts STR(1:N) K places right (K > 0) or left (K < 0), blank-filling;
/// nothing when K = 0 or |K| >= N.
void SHFSTR(std::string& STR, int N, int K);
/// Blanks the trailing characters equal to CH, lowering N for each; when all
/// N are CH they all become blanks and N keeps its value.
void NTRAIL(std::string& STR, int& N, char CH);
/// a-z to A-Z in STR(1:N).
void LCTOUC(std::string& STR, int N);
/// A-Z to a-z in positions I1..I2.
void UCTOLC(std::string& STR, int I1, int I2);
/// Blanks every byte outside 32-126, 128-168 and 224-252; how many.
int NCHRCK(std::string& STR, int N);
/// True when NCHRCK keeps character C as it is.
[[nodiscard]] constexpr bool NCHRCKKeeps(unsigned char C) {
  return (C >= 32 && C <= 126) || (C >= 128 && C <= 168) || (C >= 224 && C <= 252);
}
/// NCHRCK without the count.
void CHR_CHK(std::string& STR, int N);

// Words and patterns.
/// Fills WORD(1:NW) with blanks, then copies the next blank-delimited word of
/// STR(1:N) from IPOS on and moves IPOS past it (see the header notes).
void NXTWRD(std::string_view STR, int N, int& IPOS, std::string& WORD, int NW);
/// Replaces every PAT(1:NP) in STR(1:N) by REP(1:NR); the number replaced.
int IRPLPT(std::string& STR, int N, std::string_view PAT, int NP, std::string_view REP, int NR);
/// IRPLPT without the count.
void RPL_PAT(std::string& STR, int N, std::string_view PAT, int NP, std::string_view REP, int NR);
/// Keyword match: KEY's upper-case part is required, its lower-case tail
/// optional (a blank in STR there ends the match with true).
bool LCUQEQ(std::string_view STR, std::string_view KEY, int N);

// Numbers to text.
/// STR := X written with F12.5 (or 1PE12.3 when that does not fit or |X| is
/// below 0.001); ICODE := how many leading characters to show.
void FMTFN(std::string& STR, float X, int& ICODE);

// EBCDIC.
/// Converts STR(1:N) from EBCDIC to ASCII in place; unknown codes become blanks.
void ECD2ASC(std::string& STR, int N);
/// The ASCII character for one EBCDIC code.
char EbcdicToAscii(unsigned char code);

}  // namespace sup
