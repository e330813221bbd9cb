#include <gtest/gtest.h>

#include "support/Strings.h"

namespace {

using sup::FixedString;

TEST(FixedString, AssignmentPadsUsedLengthTrimsFindIsOneBased) {
  FixedString<8> s = "AB";
  EXPECT_EQ(s.View(), "AB      ");
  EXPECT_EQ(s.UsedLength(), 2u);
  EXPECT_EQ(s.Trimmed(), "AB");
  s = "ABCDEFGHIJ";
  EXPECT_EQ(s.View(), "ABCDEFGH");
  EXPECT_EQ(s.Find("CD"), 3u);
  EXPECT_EQ(s.Find("XY"), 0u);
  EXPECT_EQ(s.Find(""), 0u);
  EXPECT_EQ(s.Find("ABCDEFGHI"), 0u);
  FixedString<4> blank;
  EXPECT_EQ(blank.UsedLength(), 0u);
  EXPECT_EQ(FixedString<3>("x"), FixedString<3>("x  "));
}

TEST(Strings, Searching) {
  EXPECT_EQ(sup::IFNDPT("ABCABC", 6, "BC", 2), 2);
  EXPECT_EQ(sup::IFNDPT("ABCABC", 2, "BC", 2), 0);
  EXPECT_EQ(sup::IFNDPT("AB", 2, "ABC", 3), 0);
  EXPECT_EQ(sup::IFNDPT("ABCABC", 0, "BC", 2), 0);
  EXPECT_EQ(sup::IFNDPT("ABCABC", 99, "CA", 2), 3);  // N cut to the buffer
  EXPECT_EQ(sup::INDSTR("    ", 4), 0);
  EXPECT_EQ(sup::INDSTR("AB  ", 4), 2);
  EXPECT_EQ(sup::INDSTR("AB  X", 4), 2);
  EXPECT_EQ(sup::IBGSTR("  AB", 4), 3);
  EXPECT_EQ(sup::IBGSTR("    ", 4), 0);
  EXPECT_EQ(sup::KNTCHR("A.B.C", 5, '.'), 2);
  EXPECT_EQ(sup::KNTCHR("A.B.C", -1, '.'), 0);
}

TEST(Strings, CopyingAndChanging) {
  std::string s = "ABCDE";
  sup::COPSTR(s, std::string_view(s).substr(2), 3);  // left shift in one buffer
  EXPECT_EQ(s, "CDEDE");
  sup::COPCHR(s, 2, '*');
  EXPECT_EQ(s, "**EDE");
  sup::RPLCHR(s, 5, 'E', 'x');
  EXPECT_EQ(s, "**xDx");
  std::string low = "abCdz9";
  sup::LCTOUC(low, 4);
  EXPECT_EQ(low, "ABCDz9");
  sup::UCTOLC(low, 2, 3);
  EXPECT_EQ(low, "AbcDz9");
  sup::UCTOLC(low, 3, 2);
  EXPECT_EQ(low, "AbcDz9");
}

TEST(Strings, Shifts) {
  struct Case {
    int k;
    const char* expected;
  };
  const Case cases[] = {{2, "  ABC"}, {-2, "CDE  "}, {5, "ABCDE"}, {-5, "ABCDE"}, {0, "ABCDE"}};
  for (const Case& c : cases) {
    std::string s = "ABCDE";
    sup::SHFSTR(s, 5, c.k);
    EXPECT_EQ(s, c.expected) << c.k;
  }
}

TEST(Strings, TrailingCharacters) {
  std::string s = "1.500";
  int n = 5;
  sup::NTRAIL(s, n, '0');
  EXPECT_EQ(s, "1.5  ");
  EXPECT_EQ(n, 3);
  sup::NTRAIL(s, n, '.');
  EXPECT_EQ(s, "1.5  ");
  EXPECT_EQ(n, 3);
  std::string zeros = "000";
  n = 3;
  sup::NTRAIL(zeros, n, '0');
  EXPECT_EQ(zeros, "   ");
  EXPECT_EQ(n, 3);
}

TEST(Strings, CharacterCheck) {
  std::string s =
      "A\tB\x7F"
      "\x80\xA8\xA9\xDF\xE0\xFC\xFD";
  EXPECT_EQ(sup::NCHRCK(s, static_cast<int>(s.size())), 5);
  EXPECT_EQ(s, "A B \x80\xA8  \xE0\xFC ");
}

TEST(Strings, NextWord) {
  const std::string text = "  ONE TWO";
  int ipos = 1;
  std::string word(5, 'x');
  sup::NXTWRD(text, 9, ipos, word, 5);
  EXPECT_EQ(word, "ONE  ");
  EXPECT_EQ(ipos, 7);
  sup::NXTWRD(text, 9, ipos, word, 5);
  EXPECT_EQ(word, "TWO  ");
  EXPECT_EQ(ipos, 10);
  sup::NXTWRD(text, 9, ipos, word, 5);
  EXPECT_EQ(word, "     ");
  EXPECT_EQ(ipos, 10);
  std::string small(2, ' ');
  ipos = 1;
  sup::NXTWRD("LONGWORD", 8, ipos, small, 2);
  EXPECT_EQ(small, "LO");
  EXPECT_EQ(ipos, 9);
}

TEST(Strings, ReplacePatterns) {
  struct Case {
    const char* text;
    const char* pat;
    const char* rep;
    const char* expected;
    int count;
  };
  const Case cases[] = {
      {"A.B.C  ", ".", ", ", "A, B, C", 2},
      {"A.B.C  ", ".", "", "ABC    ", 2},
      {"AB..", "..", "", "AB  ", 1},
      {"XAXBX", "X", "YY", "YYAYYB", 2},  // 6 characters: the growing tail is cut
      {"ABC", "Q", "R", "ABC", 0},
      {"A      ", "  ", "", "A      ", 1},  // a pattern of blanks ends, never loops
      {"A  B  ", "  ", "", "AB    ", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string s = c.text;
    if (std::string_view(c.text) == "XAXBX") s += ' ';
    const int count = sup::IRPLPT(s, static_cast<int>(s.size()), c.pat,
                                  static_cast<int>(std::string_view(c.pat).size()), c.rep,
                                  static_cast<int>(std::string_view(c.rep).size()));
    EXPECT_EQ(s, c.expected);
    EXPECT_EQ(count, c.count);
  }
}

TEST(Strings, KeywordMatch) {
  struct Case {
    const char* str;
    const char* key;
    bool match;
  };
  const Case cases[] = {
      {"OPEN", "Open", true},     {"Open", "Open", true},    {"Op", "Open", true},
      {"O", "Open", true},        {"OPENED", "Open", false}, {"open", "Open", false},
      {"SAVEAS", "SaveAs", true}, {"SAVE", "Save", true},    {"SAVE", "SaveAs", false},
      {"SAVEAS", "Save", false},
  };
  for (const Case& c : cases) {
    const sup::FixedString<10> str = c.str, key = c.key;
    EXPECT_EQ(sup::LCUQEQ(str.View(), key.View(), 10), c.match) << c.str << " " << c.key;
  }
}

TEST(Strings, NumberDisplayWidth) {
  struct Case {
    float x;
    const char* text;
    int code;
  };
  const Case cases[] = {
      {0.0f, "     0.00000", 8},     {1234.56789f, "  1234.56787", 8}, {99.5f, "    99.50000", 9},
      {0.5f, "     0.50000", 10},    {0.05f, "     0.05000", 11},      {0.005f, "     0.00500", 12},
      {0.0005f, "   5.000E-04", 12}, {1.0e9f, "   1.000E+09", 12},     {-100.0f, "  -100.00000", 8},
      {-99.5f, "   -99.50000", 9},
  };
  for (const Case& c : cases) {
    std::string s(12, ' ');
    int code = 0;
    sup::FMTFN(s, c.x, code);
    EXPECT_EQ(s, c.text) << c.x;
    EXPECT_EQ(code, c.code) << c.x;
  }
}

TEST(Strings, EbcdicToAscii) {
  std::string s = "\xC8\x85\x93\x93\x96";
  sup::ECD2ASC(s, 5);
  EXPECT_EQ(s, "Hello");
  struct Case {
    unsigned char code;
    char ascii;
  };
  const Case cases[] = {{0xD0, '}'}, {0xE0, '\\'}, {0xC0, '{'}, {0x40, ' '}, {0xF7, '7'},
                        {0xA9, 'z'}, {0xE9, 'Z'},  {0x4B, '.'}, {0x6C, ' '}, {0x6D, '%'},
                        {0x70, '?'}, {0x7D, '\''}, {0x7F, '"'}, {0x6A, '|'}, {0x00, ' '},
                        {0xFF, ' '}, {0x5F, '^'},  {0x7C, '@'}};
  for (const Case& c : cases) EXPECT_EQ(sup::EbcdicToAscii(c.code), c.ascii) << int(c.code);
}

}  // namespace
