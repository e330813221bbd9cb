#include <gtest/gtest.h>

#include "platform/system/Clipboard.h"

namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

TEST(Clipboard, HoldsSeveralFormatsUntilEmptied) {
  plat::ClipboardEmpty();
  EXPECT_FALSE(plat::ClipboardHasFormat(plat::kClipText));
  EXPECT_FALSE(plat::ClipboardText().has_value());
  ASSERT_TRUE(plat::ClipboardSetData(plat::kClipText, Bytes("a\tb\r\n")));
  ASSERT_TRUE(plat::ClipboardSetData(plat::kClipBitmap, Bytes("DIB")));
  EXPECT_FALSE(plat::ClipboardSetData(0, Bytes("x")));
  EXPECT_EQ(plat::ClipboardText(), "a\tb\r\n");
  EXPECT_EQ(plat::ClipboardData(plat::kClipBitmap), Bytes("DIB"));
  EXPECT_FALSE(plat::ClipboardHasFormat(plat::kClipEnhMetafile));
  // Setting text alone replaces everything else.
  plat::ClipboardSetText("only");
  EXPECT_FALSE(plat::ClipboardHasFormat(plat::kClipBitmap));
  EXPECT_EQ(plat::ClipboardText(), "only");
  plat::ClipboardEmpty();
  EXPECT_FALSE(plat::ClipboardHasFormat(plat::kClipText));
}

TEST(Clipboard, PrivateFormatsKeepTheirNumbers) {
  const unsigned grid = plat::ClipboardRegisterFormat("Velloran grid cells");
  const unsigned other = plat::ClipboardRegisterFormat("Another");
  EXPECT_GE(grid, plat::kClipFirstPrivate);
  EXPECT_NE(grid, other);
  EXPECT_EQ(plat::ClipboardRegisterFormat("Velloran grid cells"), grid);
  EXPECT_EQ(plat::ClipboardRegisterFormat(""), 0u);
}

TEST(Clipboard, TextConvertsToAndFromUtf8) {
  struct Case {
    const char* clip;
    const char* utf8;
  };
  // Latin-1 and "\r\n" in the program, UTF-8 and "\n" between X programs.
  const Case both[] = {{"", ""},
                       {"plain", "plain"},
                       {"two\r\nlines\r\n", "two\nlines\n"},
                       {"\xe9t\xe9 \xb5s", "\xc3\xa9t\xc3\xa9 \xc2\xb5s"}};
  for (const Case& c : both) {
    EXPECT_EQ(plat::ClipTextToUtf8(c.clip), c.utf8) << c.clip;
    EXPECT_EQ(plat::Utf8ToClipText(c.utf8), c.clip) << c.utf8;
  }
  const Case fromUtf8[] = {
      {"?", "\xe2\x82\xac"},          // beyond Latin-1
      {"a?", "a\xc3"},                // cut short
      {"?(", "\xc3("},                // bad continuation
      {"x\r\ny", "x\r\ny"},           // already "\r\n": not doubled
  };
  for (const Case& c : fromUtf8) EXPECT_EQ(plat::Utf8ToClipText(c.utf8), c.clip) << c.utf8;
  EXPECT_EQ(plat::Utf8ToClipText(std::string("a\0b", 3)), "ab");
}

}  // namespace
