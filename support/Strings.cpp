#include "support/Strings.h"

#include <array>
#include <cmath>

#include "platform/FixedText.h"
#include "toolkit/core/Conversion.h"

namespace sup {
namespace {

/// The working length: N cut to the buffer's length, 0 when N <= 0.
std::size_t Working(std::size_t length, int n) {
  return n <= 0 ? 0 : std::min(length, static_cast<std::size_t>(n));
}

bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
char ToLower(char c) {
  return IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr std::array<char, 256> MakeEbcdicTable() {
  std::array<char, 256> t{};
  for (auto& c : t) c = ' ';
  for (int i = 0; i < 9; ++i) {
    t[0x81 + i] = static_cast<char>('a' + i);
    t[0x91 + i] = static_cast<char>('j' + i);
    t[0xC1 + i] = static_cast<char>('A' + i);
    t[0xD1 + i] = static_cast<char>('J' + i);
  }
  for (int i = 0; i < 8; ++i) {
    t[0xA2 + i] = static_cast<char>('s' + i);
    t[0xE2 + i] = static_cast<char>('S' + i);
  }
  for (int i = 0; i < 10; ++i) t[0xF0 + i] = static_cast<char>('0' + i);
  const char* row4A = "[.<(+!";
  const char* row5A = "]$*);^";
  for (int i = 0; i < 6; ++i) {
    t[0x4A + i] = row4A[i];
    t[0x5A + i] = row5A[i];
  }
  t[0x60] = '-';
  t[0x61] = '/';
  t[0x6A] = '|';
  t[0x6B] = ',';
  // 0x6C stays a blank; the next four are one code higher than usual, to
  // match the table the SEG-Y writer uses.
  t[0x6D] = '%';
  t[0x6E] = '_';
  t[0x6F] = '>';
  t[0x70] = '?';
  const char* row79 = "':#@'=\"";
  for (int i = 0; i < 7; ++i) t[0x79 + i] = row79[i];
  t[0xC0] = '{';
  t[0xD0] = '}';
  t[0xE0] = '\\';
  return t;
}

constexpr std::array<char, 256> kEbcdicToAscii = MakeEbcdicTable();

}  // namespace

int IFNDPT(std::string_view STR, int N, std::string_view PAT, int NP) {
  const std::size_t n = Working(STR.size(), N);
  const std::size_t np = Working(PAT.size(), NP);
  return static_cast<int>(plat::Find1(STR.substr(0, n), PAT.substr(0, np)));
}

int INDSTR(std::string_view STR, int N) {
  const std::size_t n = Working(STR.size(), N);
  return static_cast<int>(plat::TrimRight(STR.substr(0, n)).size());
}

int IBGSTR(std::string_view STR, int N) {
  const std::size_t n = Working(STR.size(), N);
  const std::string_view s = STR.substr(0, n);
  const std::string_view rest = plat::TrimLeft(s);
  return rest.empty() ? 0 : static_cast<int>(s.size() - rest.size()) + 1;
}

int KNTCHR(std::string_view STR, int N, char CH) {
  const std::size_t n = Working(STR.size(), N);
  return static_cast<int>(
      std::count(STR.begin(), STR.begin() + static_cast<std::ptrdiff_t>(n), CH));
}

void COPSTR(std::string& DST, std::string_view SRC, int N) {
  const std::size_t n = std::min(Working(DST.size(), N), SRC.size());
  // One character at a time from the first: a copy to a lower address in the
  // same buffer is a correct left shift.
  for (std::size_t i = 0; i < n; ++i) DST[i] = SRC[i];
}

void COPCHR(std::string& STR, int N, char CH) {
  std::fill_n(STR.begin(), Working(STR.size(), N), CH);
}

void RPLCHR(std::string& STR, int N, char OLD, char NEW) {
  const std::size_t n = Working(STR.size(), N);
  std::replace(STR.begin(), STR.begin() + static_cast<std::ptrdiff_t>(n), OLD, NEW);
}

void SHFSTR(std::string& STR, int N, int K) {
  const std::size_t n = Working(STR.size(), N);
  if (K == 0 || n == 0) return;
  const std::size_t k = static_cast<std::size_t>(K > 0 ? K : -static_cast<long long>(K));
  if (k >= n) return;
  const auto begin = STR.begin();
  if (K > 0) {
    std::copy_backward(begin, begin + static_cast<std::ptrdiff_t>(n - k),
                       begin + static_cast<std::ptrdiff_t>(n));
    std::fill_n(begin, k, ' ');
  } else {
    std::copy(begin + static_cast<std::ptrdiff_t>(k), begin + static_cast<std::ptrdiff_t>(n),
              begin);
    std::fill_n(begin + static_cast<std::ptrdiff_t>(n - k), k, ' ');
  }
}

void NTRAIL(std::string& STR, int& N, char CH) {
  const std::size_t n = Working(STR.size(), N);
  if (n == 0) return;
  std::size_t used = n;
  while (used > 0 && STR[used - 1] == CH) --used;
  std::fill(STR.begin() + static_cast<std::ptrdiff_t>(used),
            STR.begin() + static_cast<std::ptrdiff_t>(n), ' ');
  if (used > 0) N -= static_cast<int>(n - used);
}

void LCTOUC(std::string& STR, int N) {
  const std::size_t n = Working(STR.size(), N);
  for (std::size_t i = 0; i < n; ++i) {
    if (IsLower(STR[i])) STR[i] = static_cast<char>(STR[i] - 'a' + 'A');
  }
}

void UCTOLC(std::string& STR, int I1, int I2) {
  if (I2 < I1) return;
  const std::size_t first = static_cast<std::size_t>(std::max(I1, 1)) - 1;
  const std::size_t last = Working(STR.size(), I2);
  for (std::size_t i = first; i < last; ++i) STR[i] = ToLower(STR[i]);
}

int NCHRCK(std::string& STR, int N) {
  const std::size_t n = Working(STR.size(), N);
  int replaced = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!NCHRCKKeeps(static_cast<unsigned char>(STR[i]))) {
      STR[i] = ' ';
      ++replaced;
    }
  }
  return replaced;
}

void CHR_CHK(std::string& STR, int N) {
  (void)NCHRCK(STR, N);
}

void NXTWRD(std::string_view STR, int N, int& IPOS, std::string& WORD, int NW) {
  const std::size_t nw = Working(WORD.size(), NW);
  std::fill_n(WORD.begin(), nw, ' ');
  const std::size_t n = Working(STR.size(), N);
  if (IPOS < 1 || static_cast<std::size_t>(IPOS) > n) return;
  const std::string_view s = STR.substr(0, n);
  const auto start = s.find_first_not_of(' ', static_cast<std::size_t>(IPOS) - 1);
  if (start == std::string_view::npos) return;
  const auto blank = s.find(' ', start);
  const std::size_t end = blank == std::string_view::npos ? n : blank + 1;  // past the blank
  std::copy_n(s.begin() + static_cast<std::ptrdiff_t>(start), std::min(end - start, nw),
              WORD.begin());
  IPOS = static_cast<int>(end) + 1;
}

int IRPLPT(std::string& STR, int N, std::string_view PAT, int NP, std::string_view REP, int NR) {
  const std::size_t n = Working(STR.size(), N);
  const std::size_t np = Working(PAT.size(), NP);
  const std::size_t nr = Working(REP.size(), NR);
  if (n == 0 || np == 0) return 0;
  int count = 0;
  std::size_t pos = 1;
  // No text of N characters needs more than N + 1 passes; the cap is a
  // guard against looping, never the normal way out.
  for (std::size_t pass = 0; pass <= n && pos <= n; ++pass) {
    const std::string_view tail(STR.data() + pos - 1, n - pos + 1);
    const int found = IFNDPT(tail, static_cast<int>(tail.size()), PAT, static_cast<int>(np));
    if (found == 0) break;
    ++count;
    pos += static_cast<std::size_t>(found) - 1;
    const std::size_t tailLength = n - pos + 1;
    if (nr == 0 && tailLength == np) {
      // An occurrence at the very end: nothing is left to shift into its place.
      std::fill_n(STR.begin() + static_cast<std::ptrdiff_t>(pos - 1), np, ' ');
      break;
    }
    if (nr != np) {
      std::string shifted(STR.substr(pos - 1, tailLength));
      SHFSTR(shifted, static_cast<int>(tailLength), static_cast<int>(nr) - static_cast<int>(np));
      std::copy(shifted.begin(), shifted.end(), STR.begin() + static_cast<std::ptrdiff_t>(pos - 1));
    }
    const std::size_t l = std::min(nr, tailLength);
    std::copy_n(REP.begin(), l, STR.begin() + static_cast<std::ptrdiff_t>(pos - 1));
    pos += l;
    // A removal that left only blanks behind has nothing more to change; a
    // pattern of blanks would otherwise be found there again and again.
    if (nr < np && pos <= n &&
        std::string_view(STR).substr(pos - 1, n - pos + 1).find_first_not_of(' ') ==
            std::string_view::npos) {
      break;
    }
  }
  return count;
}

void RPL_PAT(std::string& STR, int N, std::string_view PAT, int NP, std::string_view REP, int NR) {
  (void)IRPLPT(STR, N, PAT, NP, REP, NR);
}

bool LCUQEQ(std::string_view STR, std::string_view KEY, int N) {
  const std::size_t n = std::min(Working(STR.size(), N), KEY.size());
  if (n == 0) return false;
  for (std::size_t i = 0; i < n; ++i) {
    const char k = KEY[i];
    if (IsLower(k)) {
      if (STR[i] == ' ') return true;
      if (ToLower(STR[i]) != k) return false;
    } else if (STR[i] != k) {
      return false;
    }
  }
  return true;
}

void FMTFN(std::string& STR, float X, int& ICODE) {
  constexpr int kWidth = 12;
  if (STR.size() < kWidth) STR.resize(kWidth, ' ');
  auto put = [&STR](const std::string& field) {
    std::fill(STR.begin(), STR.end(), ' ');
    std::copy(field.begin(), field.end(), STR.begin());
  };
  const std::string fixed = tk::FormatRealField(X, "(F12.5)");
  const std::string exponent = tk::FormatRealField(X, "(1PE12.3)");
  const float a = std::fabs(X);
  if (fixed.find('*') != std::string::npos) {
    put(exponent);
    ICODE = kWidth;
    return;
  }
  put(fixed);
  // Magnitudes of 100 and more: the sign and at least three digits before the point.
  const int firstNonBlank = static_cast<int>(fixed.find_first_not_of(' ')) + 1;
  const int bound = fixed.find('-') != std::string::npos ? 3 : 4;
  if (X == 0.0f || firstNonBlank <= bound) {
    ICODE = 8;
  } else if (a < 0.001f) {
    put(exponent);
    ICODE = kWidth;
  } else if (a >= 1.0f) {
    ICODE = 9;
  } else if (a >= 0.1f) {
    ICODE = 10;
  } else if (a >= 0.01f) {
    ICODE = 11;
  } else {
    ICODE = 12;
  }
}

char EbcdicToAscii(unsigned char code) {
  return kEbcdicToAscii[code];
}

void ECD2ASC(std::string& STR, int N) {
  const std::size_t n = Working(STR.size(), N);
  for (std::size_t i = 0; i < n; ++i) STR[i] = EbcdicToAscii(static_cast<unsigned char>(STR[i]));
}

}  // namespace sup
