// The font dialog: what it starts from, what the user's choices give back,
// the parts left unchosen, and the sizes and faces it refuses.
#include "platform/dialog/FontDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "platform/controls/Controls.h"
#include "platform/dialog/MessageBox.h"
#include "platform/testing/Harness.h"

namespace plat::testing {
namespace {

class FontDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterControls());
    ClearMessageBoxLog();
  }
  /// Arial, 12 points at 96 pixels per inch, bold italic, underlined, red.
  static ChooseFontValues Start(unsigned more = 0) {
    ChooseFontValues v;
    v.flags = kCfScreenFonts | kCfEffects | kCfTrueTypeOnly | kCfForceFontExist | more;
    v.font.face = "Arial";
    v.font.height = -16;
    v.font.weight = kFontWeightBold;
    v.font.italic = true;
    v.font.underline = true;
    v.colour = 0x0000FF;
    return v;
  }
  Harness harness{{800, 600}};
};

TEST_F(FontDialogTest, OkGivesBackWhatItStartedFromOrWhatWasChosen) {
  struct Case {
    const char* what;
    unsigned flags;
    const char* answer;
    bool face, style, size;
    std::string faceName;
    int weight;
    bool italic, underline, strikeOut;
    int tenths, height;
    std::int32_t colour;
  };
  const Case cases[] = {
      {"untouched", 0, "press 1", true, true, true, "Arial", 700, true, true, false, 120, -16, 0xFF},
      {"mixed parts stay unchosen", kCfNoFaceSel | kCfNoStyleSel | kCfNoSizeSel, "press 1", false,
       false, false, "Arial", 700, true, true, false, 0, -16, 0xFF},
      {"chosen", 0,
       "1136=times new roman\n1137=Regular\n1138=10.5\n1040=1\n1041=0\n1139=Blue\npress 1", true,
       true, true, "Times New Roman", 400, false, false, true, 105, -14, 0xFF0000},
      {"a size of its own", kCfNoSizeSel, "1138= 7 \npress 1", true, true, true, "Arial", 700,
       true, true, false, 70, -9, 0xFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ChooseFontValues v = Start(c.flags);
    harness.Answer("dialog 1543", c.answer);
    ASSERT_TRUE(ChooseFontDialog(kNoWindow, v));
    EXPECT_EQ(v.faceChosen, c.face);
    EXPECT_EQ(v.styleChosen, c.style);
    EXPECT_EQ(v.sizeChosen, c.size);
    EXPECT_EQ(v.font.face, c.faceName);
    EXPECT_EQ(v.font.weight, c.weight);
    EXPECT_EQ(v.font.italic, c.italic);
    EXPECT_EQ(v.font.underline, c.underline);
    EXPECT_EQ(v.strikeOut, c.strikeOut);
    EXPECT_EQ(v.pointSizeTenths, c.tenths);
    EXPECT_EQ(v.font.height, c.height);
    EXPECT_EQ(v.colour, c.colour);
  }
  EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(FontDialogTest, ACustomColourKeepsItsPlace) {
  ChooseFontValues v = Start();
  v.colour = 0x123456;
  harness.Answer("dialog 1543", "press 1");
  ASSERT_TRUE(ChooseFontDialog(kNoWindow, v));
  EXPECT_EQ(v.colour, 0x123456);
}

TEST_F(FontDialogTest, BadSizesAndUnknownFacesAreRefusedAndCancelChangesNothing) {
  struct Case {
    const char* answer;
    const char* message;
  };
  const Case cases[] = {
      {"1138=abc\npress 1\npress 2", "Size must be between 1 and 1638 points."},
      {"1138=0.5\npress 1\npress 2", "Size must be between 1 and 1638 points."},
      {"1138=2000\npress 1\npress 2", "Size must be between 1 and 1638 points."},
      {"1136=No Such Face\npress 1\npress 2",
       "There is no font with that name.\nChoose a font from the list of fonts."},
      {"1136=Courier New\n1138=20\npress 2", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    ClearMessageBoxLog();
    ChooseFontValues v = Start();
    harness.Answer("dialog 1543", c.answer);
    EXPECT_FALSE(ChooseFontDialog(kNoWindow, v));
    EXPECT_EQ(v.font.face, "Arial");
    EXPECT_EQ(v.font.height, -16);
    EXPECT_FALSE(v.sizeChosen);
    if (c.message == nullptr) {
      EXPECT_TRUE(MessageBoxLog().empty());
    } else {
      ASSERT_EQ(MessageBoxLog().size(), 1u);
      EXPECT_EQ(MessageBoxLog()[0].text, c.message);
      EXPECT_EQ(MessageBoxLog()[0].caption, "Font");
    }
  }
}

TEST(FontFaceNamesTest, TheProgramsFacesAndTheInstalledOnesSortedOnce) {
  const std::vector<std::string> all = FontFaceNames(false);
  const std::vector<std::string> trueType = FontFaceNames(true);
  for (const char* face : {"Arial", "Courier New", "Times New Roman", "Symbol"}) {
    EXPECT_NE(std::find(all.begin(), all.end(), face), all.end()) << face;
    EXPECT_NE(std::find(trueType.begin(), trueType.end(), face), trueType.end()) << face;
  }
  const auto lower = [](std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  };
  for (std::size_t i = 1; i < all.size(); ++i) EXPECT_LT(lower(all[i - 1]), lower(all[i]));
  for (const std::string& f : trueType)
    EXPECT_NE(std::find(all.begin(), all.end(), f), all.end()) << f;
}

}  // namespace
}  // namespace plat::testing
