#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"

namespace {

class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override { tk::ResetErrorState(); }
  void TearDown() override { tk::ResetErrorState(); }
};

std::string Padded(std::string s, std::size_t n) {
  s.resize(n, ' ');
  return s;
}

// --- Writers ---------------------------------------------------------------

TEST_F(ConversionTest, IntegerDescriptors) {
  struct Case {
    std::int32_t value;
    const char* format;
    const char* field;
  };
  const Case cases[] = {
      {12345, "(I6)", " 12345"},
      {-42, "(I5)", "  -42"},
      {7, "(I2.2)", "07"},
      {-7, "(I4.3)", "-007"},
      {0, "(I3.0)", "   "},
      {0, "(i3)", "  0"},
      {-2147483647 - 1, "(I11)", "-2147483648"},
      {5, "(G8.3)", "       5"},
      {5, " ( I4 ) ", "   5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    std::string text(14, '#');
    tk::IntegerToString(c.value, text, c.format);
    EXPECT_EQ(text, Padded(c.field, 14));
    EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  }
}

TEST_F(ConversionTest, RealDescriptors) {
  struct Case {
    double value;
    const char* format;
    const char* field;
  };
  const Case cases[] = {
      {1234.5, "(1PE8.1)", " 1.2E+03"},
      {1234.5, "(E12.4)", "  0.1234E+04"},
      {-0.00123456, "(E11.4)", "-0.1235E-02"},
      {-0.00123456, "(E10.4)", "-.1235E-02"},
      {0.0, "(E10.3)", " 0.000E+00"},
      {1.5e-120, "(E10.3)", " 0.150-119"},
      {1.5e120, "(1PE10.3)", " 1.500+120"},
      {1.5e120, "(E12.3E3)", "  0.150E+121"},
      {1.5e120, "(E11.3E1)", "***********"},
      {1.5, "(F7.2)", "   1.50"},
      {-1.005, "(F6.1)", "  -1.0"},
      {-0.001, "(F5.1)", "  0.0"},
      {0.5, "(F4.3)", ".500"},
      {3.7, "(F3.0)", " 4."},
      {123.456, "(F6.2)", "123.46"},
      {1234.5, "(F6.2)", "******"},
      {12.5, "(0PF6.1)", "  12.5"},
      {1.25, "(1PF6.1)", "  12.5"},
      {3.14159, "(G15.5E2)", "     3.1416    "},
      {3.14159, "(G12.5)", "  3.1416    "},
      {0.1, "(G12.5)", " 0.10000    "},
      {99999.4, "(G12.5)", "  99999.    "},
      {99999.6, "(G12.5)", " 0.10000E+06"},
      {0.01, "(G12.5)", " 0.10000E-01"},
      {0.0, "(G12.5)", "  0.0000    "},
      {std::numeric_limits<double>::quiet_NaN(), "(F8.2)", "     NaN"},
      {-std::numeric_limits<double>::infinity(), "(E10.3)", " -Infinity"},
      {std::numeric_limits<double>::infinity(), "(F3.1)", "Inf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + std::to_string(c.value));
    tk::EditDescriptor d;
    ASSERT_TRUE(tk::ParseEditDescriptor(c.format, d));
    std::string field;
    ASSERT_TRUE(tk::FormatReal(c.value, d, field));
    EXPECT_EQ(field, c.field);
  }
}

TEST_F(ConversionTest, LogicalTextAndSkipDescriptors) {
  tk::EditDescriptor d;
  std::string field;
  ASSERT_TRUE(tk::ParseEditDescriptor("(L3)", d));
  ASSERT_TRUE(tk::FormatLogical(true, d, field));
  EXPECT_EQ(field, "  T");
  ASSERT_TRUE(tk::ParseEditDescriptor("(A5)", d));
  ASSERT_TRUE(tk::FormatText("AB", d, field));
  EXPECT_EQ(field, "   AB");
  ASSERT_TRUE(tk::FormatText("ABCDEFG", d, field));
  EXPECT_EQ(field, "ABCDE");
  ASSERT_TRUE(tk::ParseEditDescriptor("(A)", d));
  ASSERT_TRUE(tk::FormatText("ABCDEFG", d, field));
  EXPECT_EQ(field, "ABCDEFG");
  ASSERT_TRUE(tk::ParseEditDescriptor("(3X)", d));
  ASSERT_TRUE(tk::FormatText("", d, field));
  EXPECT_EQ(field, "   ");
  EXPECT_FALSE(tk::FormatReal(1.0, d, field));
}

TEST_F(ConversionTest, FieldsForTextFiles) {
  EXPECT_EQ(tk::FormatRealField(12.345, "(F10.2)"), "     12.35");
  EXPECT_EQ(tk::FormatRealField(-1e12, "(F10.2)"), "**********");
  EXPECT_EQ(tk::FormatRealField(1.0, "(I5)"), "");
  EXPECT_EQ(tk::FormatIntegerField(-3, "(I4)"), "  -3");
  EXPECT_EQ(tk::FormatIntegerField(123456, "(I4)"), "****");
  EXPECT_EQ(tk::FormatIntegerField(1, "(F4.1)"), "");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);  // the formatter itself reports nothing
}

TEST_F(ConversionTest, MalformedDescriptors) {
  for (const char* format : {"I4", "(I4", "()", "(Q4)", "(I0)", "(F8)", "(E8)", "(I4.5)",
                             "(F8.2E2)", "(1PI4)", "(L3.1)", "(I4,I5)", "(F8.x)", "(5PE8.2)"}) {
    SCOPED_TRACE(format);
    tk::EditDescriptor d;
    std::string field;
    const bool parsed = tk::ParseEditDescriptor(format, d);
    EXPECT_FALSE(parsed && tk::FormatReal(1.0, d, field));
  }
}

TEST_F(ConversionTest, WriterFailuresGiveTenStarsAndCode18) {
  struct Case {
    const char* name;
    std::size_t length;
    const char* format;
    bool real;
    const char* routine;
  };
  const Case cases[] = {
      {"field overflow", 14, "(I4)", false, "IntegerToString"},
      {"field longer than text", 5, "(I8)", false, "IntegerToString"},
      {"malformed", 14, "(Z4)", false, "IntegerToString"},
      {"I for a real", 14, "(I8)", true, "IRealToString"},
      {"F for an integer", 14, "(F8.2)", false, "IntegerToString"},
      {"real overflow", 14, "(F4.1)", true, "IRealToString"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tk::ResetErrorState();
    std::string text(c.length, 'x');
    if (c.real) {
      tk::IRealToString(12345.0f, text, c.format);
    } else {
      tk::IntegerToString(12345, text, c.format);
    }
    EXPECT_EQ(text, Padded(std::string("**********").substr(0, c.length), c.length));
    EXPECT_EQ(tk::WErrorStatusQuery(1), tk::kErrNumberToString);
    EXPECT_EQ(tk::BuildErrorReport(18, c.routine).substr(0, 8), "Routine:");
  }
}

TEST_F(ConversionTest, FailureIsReportedUnderTheWritersName) {
  tk::ErrorReportModeSet(tk::kReportStdout);
  testing::internal::CaptureStdout();
  std::string text(10, ' ');
  tk::IDoubleToString(1e30, text, "(F6.1)");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " Routine:IDoubleToString Error=  18:Numeric to string conversion error\n");
}

TEST_F(ConversionTest, LeftJustifiedWritersKeepTheirStars) {
  std::string text;
  tk::yyrea2st(1234.5f, text, "(F6.2)");
  EXPECT_EQ(text, "******");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
  tk::yydbl2st(2.5, text, "(F8.3)");
  EXPECT_EQ(text, "2.500");
  tk::yydbl2st(2.5, text, "(F8.3");
  EXPECT_EQ(text, "**********");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 18);
  tk::yyint2st(-17, text);
  EXPECT_EQ(text, "-17");
}

// --- Readers ---------------------------------------------------------------

TEST_F(ConversionTest, IntegerReader) {
  struct Case {
    const char* text;
    std::int32_t value;
    int code;
  };
  const Case cases[] = {
      {"-42 and more", -42, 0},
      {"   +17   ", 17, 0},
      {"2147483647", 2147483647, 0},
      {"-2147483647", -2147483647, 0},
      {"2147483648", 0, 4},
      {"3000000000", 0, 4},
      {"00000000001", 0, 4},
      {"12a", 0, 12},
      {"1-2", 0, 12},
      {"        ", 0, 10},
      {"", 0, 10},
      {"-", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::int32_t v = 99;
    tk::IStringToInteger(c.text, v);
    EXPECT_EQ(v, c.value);
    EXPECT_EQ(tk::WErrorStatusQuery(1), c.code);
  }
}

TEST_F(ConversionTest, RealReaders) {
  struct Case {
    const char* text;
    double single;
    int singleCode;
    double dbl;
    int doubleCode;
  };
  const Case cases[] = {
      {"1.5e3", 1500, 0, 1500, 0},
      {"1.5E3", 1500, 0, 1500, 0},
      {"1.5d3", 0, 12, 1500, 0},
      {"1.5D-3", 0, 12, 1.5e-3, 0},
      {"2.5-105", 0, 0, 2.5e-105, 0},
      {"2.5+005", 2.5e5, 0, 2.5e5, 0},
      {"-2.5-105", 0, 0, -2.5e-105, 0},
      {"-1.5+100", 0, 4, -1.5e100, 0},
      {"-1234", -1234, 0, -1234, 0},
      {"-1.5", -1.5, 0, -1.5, 0},
      {"  -.25  a b", -0.25, 0, -0.25, 0},
      {"1.2.3", 0, 11, 0, 11},
      {"1e5.0", 0, 12, 0, 12},
      {"1.5 Hello", 0, 12, 0, 12},
      {"+", 0, 0, 0, 0},
      {".", 0, 0, 0, 0},
      {"", 0, 10, 0, 10},
      {"1e39", 0, 4, 1e39, 0},
      {"3.5e38", 0, 4, 3.5e38, 0},
      {"3.4e38", 3.4e38, 0, 3.4e38, 0},
      {"0e999", 0, 0, 0, 0},
      {"1e-50", 0, 0, 1e-50, 0},
      {"1e400", 0, 4, 0, 4},
      {"1.8e308", 0, 4, 0, 4},
      {"12x", 0, 12, 0, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    float f = 99.0f;
    tk::IStringToReal(c.text, f);
    EXPECT_EQ(f, static_cast<float>(c.single));
    EXPECT_EQ(tk::WErrorStatusQuery(1), c.singleCode);
    double d = 99.0;
    tk::IStringToReal(c.text, d);
    EXPECT_DOUBLE_EQ(d, c.dbl);
    EXPECT_EQ(tk::WErrorStatusQuery(1), c.doubleCode);
  }
}

TEST_F(ConversionTest, SinglePrecisionRoundTripsAcrossMagnitudesAndDescriptors) {
  std::mt19937 rng(20261210);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-37, 37);
  for (int i = 0; i < 4000; ++i) {
    float v = static_cast<float>(mantissa(rng) * std::pow(10.0, exponent(rng)));
    if (i % 2) v = -v;
    if (!std::isfinite(v) || v == 0.0f) continue;
    for (const char* format : {"(1PE16.8)", "(E16.9)", "(G17.9E2)", "(E17.9E3)"}) {
      std::string text(20, ' ');
      tk::IRealToString(v, text, format);
      float back = 0.0f;
      tk::IStringToReal(text, back);
      ASSERT_EQ(std::bit_cast<std::uint32_t>(back), std::bit_cast<std::uint32_t>(v))
          << format << " " << text;
    }
  }
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
}

TEST_F(ConversionTest, DoublePrecisionRoundTripsAcrossMagnitudes) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-300, 300);
  for (int i = 0; i < 4000; ++i) {
    const double v = (i % 2 ? -1 : 1) * mantissa(rng) * std::pow(10.0, exponent(rng));
    for (const char* format : {"(1PE25.16)", "(E25.17)", "(E26.17E3)"}) {
      std::string text(30, ' ');
      tk::IDoubleToString(v, text, format);
      double back = 0.0;
      tk::IStringToReal(text, back);
      ASSERT_EQ(back, v) << format << " " << text;
    }
  }
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
}

TEST_F(ConversionTest, FixedPointRoundTripWithinItsDecimals) {
  for (double v : {0.0, 1.0, -1.0, 0.125, 123.456, -98765.4321, 1e6 + 0.5}) {
    std::string text(20, ' ');
    tk::IDoubleToString(v, text, "(F20.4)");
    double back = 0.0;
    tk::IStringToReal(text, back);
    EXPECT_NEAR(back, v, 0.5e-4) << text;
  }
}

// --- Quiet forms -------------------------------------------------------------

TEST_F(ConversionTest, QuietFormsLeaveTheErrorStateAlone) {
  tk::ErrorReportModeSet(tk::kReportStdout);
  tk::ErrorState().lastError = 1006;
  testing::internal::CaptureStdout();
  double d = 5;
  int valid = 7;
  tk::ParseDoubleChecked(d, valid, "letters");
  EXPECT_EQ(d, 0.0);
  EXPECT_EQ(valid, 0);
  tk::ParseDoubleChecked(d, valid, std::string("2.5\0junk", 8));
  EXPECT_EQ(d, 2.5);
  EXPECT_EQ(valid, 1);
  tk::ParseDoubleQuiet(d, "1.5d2   ");
  EXPECT_EQ(d, 150.0);
  float f = 1;
  tk::ParseRealQuiet(f, "1.5d2");
  EXPECT_EQ(f, 0.0f);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 1006);
  EXPECT_EQ(tk::WErrorStatusQuery(4), tk::kReportStdout);
}

TEST_F(ConversionTest, QuietIntegerTruncatesAndRefusesOutOfRange) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"12.9", 12}, {"-12.9", -12}, {"3e9", 0}, {"-3e9", 0}, {"2147483520", 2147483520},
      {"abc", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::int32_t v = 99;
    tk::ParseIntegerQuiet(v, c.text);
    EXPECT_EQ(v, c.value);
  }
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
}

TEST_F(ConversionTest, Normalisers) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case integers[] = {{"  12.7  ", "12"},
                           {"-0.5", "0"},
                           {"1e20", "0"},
                           {"x", "0"},
                           {std::string_view("42\0  ", 5).data(), "42"}};
  for (const Case& c : integers) {
    std::string text = c.in;
    tk::NormaliseIntegerText(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
  std::string text = " 3.14159 ";
  tk::NormaliseRealText(text, "(G15.5E2)");
  EXPECT_EQ(text, "3.1416");
  text = "abc";
  tk::NormaliseDoubleText(text, "(F8.3)");
  EXPECT_EQ(text, "0.000");
  EXPECT_EQ(tk::WErrorStatusQuery(1), 0);
}

// --- Text helpers ------------------------------------------------------------

TEST_F(ConversionTest, JustifyString) {
  struct Case {
    const char* in;
    const char* mode;
    const char* out;
  };
  const Case cases[] = {
      {"  AB   ", "C", "  AB   "}, {"AB     ", "x", "  AB   "}, {"   AB  ", "l", "AB     "},
      {" AB    ", "R", "     AB"}, {"       ", "L", "       "}, {"ABCDEFG", "R", "ABCDEFG"},
      {"A B    ", "r", "    A B"},
  };
  for (const Case& c : cases) {
    std::string text = c.in;
    tk::JustifyString(text, c.mode);
    EXPECT_EQ(text, c.out) << c.in << "|" << c.mode;
  }
}

TEST_F(ConversionTest, SmallTextHelpers) {
  EXPECT_EQ(tk::FirstNonBlank(std::string(" \0 x", 4)), 4);
  EXPECT_EQ(tk::FirstNonBlank("   "), 0);
  int first = -1, last = -1;
  tk::NextWordBounds("  ab cd", first, last);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(last, 4);
  tk::NextWordBounds("    ", first, last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 0);
  std::string s = "aB1z";
  tk::UpperCaseInPlace(s);
  EXPECT_EQ(s, "AB1Z");
  tk::LowerCaseInPlace(s);
  EXPECT_EQ(s, "ab1z");
  EXPECT_EQ(tk::UnsignedCharCode('\xE9'), 233);
  EXPECT_EQ(tk::CStringTrimmedLength(std::string("ab  \0cd", 7)), 2);
  EXPECT_EQ(tk::CStringWordLength("abc def"), 3);
  std::string field;
  tk::CStringToField(std::string("abc\0zz", 6), field, 5);
  EXPECT_EQ(field, "abc  ");
  tk::CStringToField("abcdef", field, 3);
  EXPECT_EQ(field, "abc");
}

TEST_F(ConversionTest, ParseDecimalIntegerNeverOverflows) {
  struct Case {
    const char* text;
    std::int32_t value;
    int code;
  };
  const Case cases[] = {
      {"123abc", 123, 0},
      {"-45", -45, 0},
      {"xyz", 0, 0},
      {"2147483647", 2147483647, 0},
      {"-2147483648", -2147483647 - 1, 0},
      {"2147483648", 0, 4},
      {"-2147483649", 0, 4},
      {"99999999999999999999999999", 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(tk::ParseDecimalInteger(c.text), c.value);
    EXPECT_EQ(tk::WErrorStatusQuery(1), c.code);
  }
}

}  // namespace
