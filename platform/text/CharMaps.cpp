#include <array>

#include "platform/text/CharMaps_p.h"

namespace plat::detail {
namespace {

constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// Codes 0x20-0x7E.
constexpr std::array<SymbolCode, 95> kSymbolLow = {{
    {"space", 0x0020},      {"exclam", 0x0021},       {"universal", 0x2200},
    {"numbersign", 0x0023}, {"existential", 0x2203},  {"percent", 0x0025},
    {"ampersand", 0x0026},  {"suchthat", 0x220B},     {"parenleft", 0x0028},
    {"parenright", 0x0029}, {"asteriskmath", 0x2217}, {"plus", 0x002B},
    {"comma", 0x002C},      {"minus", 0x2212},        {"period", 0x002E},
    {"slash", 0x002F},      {"zero", 0x0030},         {"one", 0x0031},
    {"two", 0x0032},        {"three", 0x0033},        {"four", 0x0034},
    {"five", 0x0035},       {"six", 0x0036},          {"seven", 0x0037},
    {"eight", 0x0038},      {"nine", 0x0039},         {"colon", 0x003A},
    {"semicolon", 0x003B},  {"less", 0x003C},         {"equal", 0x003D},
    {"greater", 0x003E},    {"question", 0x003F},     {"congruent", 0x2245},
    {"Alpha", 0x0391},      {"Beta", 0x0392},         {"Chi", 0x03A7},
    {"Delta", 0x0394},      {"Epsilon", 0x0395},      {"Phi", 0x03A6},
    {"Gamma", 0x0393},      {"Eta", 0x0397},          {"Iota", 0x0399},
    {"theta1", 0x03D1},     {"Kappa", 0x039A},        {"Lambda", 0x039B},
    {"Mu", 0x039C},         {"Nu", 0x039D},           {"Omicron", 0x039F},
    {"Pi", 0x03A0},         {"Theta", 0x0398},        {"Rho", 0x03A1},
    {"Sigma", 0x03A3},      {"Tau", 0x03A4},          {"Upsilon", 0x03A5},
    {"sigma1", 0x03C2},     {"Omega", 0x03A9},        {"Xi", 0x039E},
    {"Psi", 0x03A8},        {"Zeta", 0x0396},         {"bracketleft", 0x005B},
    {"therefore", 0x2234},  {"bracketright", 0x005D}, {"perpendicular", 0x22A5},
    {"underscore", 0x005F}, {"radicalex", 0x203E},    {"alpha", 0x03B1},
    {"beta", 0x03B2},       {"chi", 0x03C7},          {"delta", 0x03B4},
    {"epsilon", 0x03B5},    {"phi", 0x03C6},          {"gamma", 0x03B3},
    {"eta", 0x03B7},        {"iota", 0x03B9},         {"phi1", 0x03D5},
    {"kappa", 0x03BA},      {"lambda", 0x03BB},       {"mu", 0x03BC},
    {"nu", 0x03BD},         {"omicron", 0x03BF},      {"pi", 0x03C0},
    {"theta", 0x03B8},      {"rho", 0x03C1},          {"sigma", 0x03C3},
    {"tau", 0x03C4},        {"upsilon", 0x03C5},      {"omega1", 0x03D6},
    {"omega", 0x03C9},      {"xi", 0x03BE},           {"psi", 0x03C8},
    {"zeta", 0x03B6},       {"braceleft", 0x007B},    {"bar", 0x007C},
    {"braceright", 0x007D}, {"similar", 0x223C},
}};

// Codes 0xA0-0xFE.
constexpr std::array<SymbolCode, 95> kSymbolHigh = {{
    {"Euro", 0x20AC},           {"Upsilon1", 0x03D2},       {"minute", 0x2032},
    {"lessequal", 0x2264},      {"fraction", 0x2044},       {"infinity", 0x221E},
    {"florin", 0x0192},         {"club", 0x2663},           {"diamond", 0x2666},
    {"heart", 0x2665},          {"spade", 0x2660},          {"arrowboth", 0x2194},
    {"arrowleft", 0x2190},      {"arrowup", 0x2191},        {"arrowright", 0x2192},
    {"arrowdown", 0x2193},      {"degree", 0x00B0},         {"plusminus", 0x00B1},
    {"second", 0x2033},         {"greaterequal", 0x2265},   {"multiply", 0x00D7},
    {"proportional", 0x221D},   {"partialdiff", 0x2202},    {"bullet", 0x2022},
    {"divide", 0x00F7},         {"notequal", 0x2260},       {"equivalence", 0x2261},
    {"approxequal", 0x2248},    {"ellipsis", 0x2026},       {"arrowvertex", 0x23D0},
    {"arrowhorizex", 0x23AF},   {"carriagereturn", 0x21B5}, {"aleph", 0x2135},
    {"Ifraktur", 0x2111},       {"Rfraktur", 0x211C},       {"weierstrass", 0x2118},
    {"circlemultiply", 0x2297}, {"circleplus", 0x2295},     {"emptyset", 0x2205},
    {"intersection", 0x2229},   {"union", 0x222A},          {"propersuperset", 0x2283},
    {"reflexsuperset", 0x2287}, {"notsubset", 0x2284},      {"propersubset", 0x2282},
    {"reflexsubset", 0x2286},   {"element", 0x2208},        {"notelement", 0x2209},
    {"angle", 0x2220},          {"gradient", 0x2207},       {"registerserif", 0x00AE},
    {"copyrightserif", 0x00A9}, {"trademarkserif", 0x2122}, {"product", 0x220F},
    {"radical", 0x221A},        {"dotmath", 0x22C5},        {"logicalnot", 0x00AC},
    {"logicaland", 0x2227},     {"logicalor", 0x2228},      {"arrowdblboth", 0x21D4},
    {"arrowdblleft", 0x21D0},   {"arrowdblup", 0x21D1},     {"arrowdblright", 0x21D2},
    {"arrowdbldown", 0x21D3},   {"lozenge", 0x25CA},        {"angleleft", 0x2329},
    {"registersans", 0x00AE},   {"copyrightsans", 0x00A9},  {"trademarksans", 0x2122},
    {"summation", 0x2211},      {"parenlefttp", 0x239B},    {"parenleftex", 0x239C},
    {"parenleftbt", 0x239D},    {"bracketlefttp", 0x23A1},  {"bracketleftex", 0x23A2},
    {"bracketleftbt", 0x23A3},  {"bracelefttp", 0x23A7},    {"braceleftmid", 0x23A8},
    {"braceleftbt", 0x23A9},    {"braceex", 0x23AA},        {nullptr, 0},
    {"angleright", 0x232A},     {"integral", 0x222B},       {"integraltp", 0x2320},
    {"integralex", 0x23AE},     {"integralbt", 0x2321},     {"parenrighttp", 0x239E},
    {"parenrightex", 0x239F},   {"parenrightbt", 0x23A0},   {"bracketrighttp", 0x23A4},
    {"bracketrightex", 0x23A5}, {"bracketrightbt", 0x23A6}, {"bracerighttp", 0x23AB},
    {"bracerightmid", 0x23AC},  {"bracerightbt", 0x23AD},
}};

}  // namespace

char32_t Cp1252ToUnicode(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kCp1252High[c - 0x80];
  return c;
}

SymbolCode SymbolEncoding(unsigned char c) {
  if (c >= 0x20 && c <= 0x7E) return kSymbolLow[c - 0x20];
  if (c >= 0xA0 && c <= 0xFE) return kSymbolHigh[c - 0xA0];
  return {nullptr, 0};
}

}  // namespace plat::detail
