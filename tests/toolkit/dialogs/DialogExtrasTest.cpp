// The dialog-extras text: reading it (the two texts the program's own
// resources are written like, hostile texts) and its effects on a loaded
// dialog, seen through the field calls.
#include <gtest/gtest.h>

#include <set>

#include "platform/controls/Controls.h"
#include "platform/text/Font.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"
#include "toolkit/dialogs/DialogExtras.h"
#include "toolkit/dialogs/DialogLists.h"

namespace tk {
namespace {

using testing::DialogTest;

constexpr std::string_view kTabsSample =
    "[Tabs] \n"
    " 1036     4   103 \n"
    "  103  Simple Pick Parameters \n"
    "  104  Hatherly Parameters \n"
    "  105  Box Pick Parameters \n"
    "  109  Wavelet Parameters \n"
    "[Ranges] \n"
    "[Formats] \n";

constexpr std::string_view kChecksSample =
    "[Checks] \n"
    " 1046 0 \n"
    "[Ranges] \n"
    " 1196               1      2147483647 \n"
    " 1106               2      2147483647 \n"
    " 1198               2      2147483647 \n"
    " 1199               2      2147483647 \n"
    "[Fonts] \n"
    " 1043    8 Courier New, 400 0 \n"
    "[Formats] \n";

TEST(DialogExtrasParse, TheProgramsTwoSampleTextsRead) {
  DialogExtras x;
  ASSERT_TRUE(ParseDialogExtras(kTabsSample, x)) << DescribeExtrasProblems(x);
  ASSERT_EQ(x.entries.size(), 1u);
  const ExtrasEntry& tabs = x.entries[0];
  EXPECT_EQ(tabs.section, ExtrasSection::Tabs);
  EXPECT_EQ(tabs.field, 1036);
  EXPECT_EQ(tabs.ints, (std::vector<std::int32_t>{4, 103}));
  ASSERT_EQ(tabs.pages.size(), 4u);
  EXPECT_EQ(tabs.pages[0].page, 103);
  EXPECT_EQ(tabs.pages[0].caption, "Simple Pick Parameters");
  EXPECT_EQ(tabs.pages[3].page, 109);
  EXPECT_EQ(tabs.pages[3].caption, "Wavelet Parameters");

  ASSERT_TRUE(ParseDialogExtras(kChecksSample, x)) << DescribeExtrasProblems(x);
  ASSERT_EQ(x.entries.size(), 6u);
  EXPECT_EQ(x.entries[0].section, ExtrasSection::Checks);
  EXPECT_EQ(x.entries[0].ints, std::vector<std::int32_t>{0});
  EXPECT_EQ(x.entries[1].field, 1196);
  EXPECT_EQ(x.entries[1].numbers, (std::vector<double>{1.0, 2147483647.0}));
  const ExtrasEntry& font = x.entries[5];
  EXPECT_EQ(font.section, ExtrasSection::Fonts);
  EXPECT_EQ(font.field, 1043);
  EXPECT_EQ(font.text, "Courier New");
  EXPECT_EQ(font.ints, (std::vector<std::int32_t>{8, 400, 0}));
}

TEST(DialogExtrasParse, SectionLinesOneByOne) {
  DialogExtras x;
  const std::string text =
      "[Ranges] \n 1 0.10000E-008 0.34028E+039 \n"
      "[Colours] \n 1013 000 000 255 256 256 256 \n"
      "[Menus] \n 7 3 2 \n Red \n  Green   \n Blue \n"
      "[Formats] \n 9  (1PG11.4)   \n"
      "[Dialog] \n 1 \n"
      "[Dialog] \n 0 12 1 \n"
      "[Trackbars] \n 5 10 1 5 3 8 \n"
      "[Ranges] additional words \n 2 -5 5 \n";
  ASSERT_TRUE(ParseDialogExtras(text, x)) << DescribeExtrasProblems(x);
  ASSERT_EQ(x.entries.size(), 8u);
  EXPECT_DOUBLE_EQ(x.entries[0].numbers[0], 0.1e-8);
  EXPECT_DOUBLE_EQ(x.entries[0].numbers[1], 0.34028e39);
  EXPECT_EQ(x.entries[1].ints, (std::vector<std::int32_t>{0, 0, 255, 256, 256, 256}));
  EXPECT_EQ(x.entries[2].lines, (std::vector<std::string>{" Red", "  Green", " Blue"}));
  EXPECT_EQ(x.entries[3].text, "(1PG11.4)");
  EXPECT_EQ(x.entries[4].field, 1);
  EXPECT_EQ(x.entries[4].ints, (std::vector<std::int32_t>{0, 0}));
  EXPECT_EQ(x.entries[5].ints, (std::vector<std::int32_t>{12, 1}));
  EXPECT_EQ(x.entries[6].ints, (std::vector<std::int32_t>{10, 1, 5, 3, 8}));
  EXPECT_EQ(x.entries[7].section, ExtrasSection::Ranges);
  EXPECT_EQ(x.entries[7].field, 2);
}

TEST(DialogExtrasParse, HeadersArePrefixesOfTheLine) {
  EXPECT_EQ(ExtrasSectionOf("[Ranges] and more"), ExtrasSection::Ranges);
  EXPECT_EQ(ExtrasSectionOf("   [Flags]"), ExtrasSection::Flags);
  EXPECT_EQ(ExtrasSectionOf("[Ran"), ExtrasSection::None);
  EXPECT_EQ(ExtrasSectionOf("[ranges]"), ExtrasSection::None);
  EXPECT_EQ(ExtrasSectionOf("[Treeviews]"), ExtrasSection::Treeviews);
  EXPECT_EQ(SectionPrefixCompare("[Ranges]", "[Ranges] x"), 0);
  EXPECT_EQ(SectionPrefixCompare("[Ran", "[Ranges]"), 0);
  EXPECT_EQ(SectionPrefixCompare("[A", "[C"), 'A' - 'C');
  EXPECT_EQ(SectionPrefixCompare("a\xE9", "a\x41"), static_cast<signed char>('\xE9') - 'A');
}

TEST(DialogExtrasParse, HostileTextsAreReadSafelyWithTheirLines) {
  struct Case {
    std::string text;
    int problemLine;
    std::string message;  // part of the problem's text
    std::size_t entries;  // entries still read
  };
  const std::vector<Case> cases = {
      {" 1 2 3 \n[Checks] \n 5 1 \n", 1, "before the first section", 1},
      {"[Ranges] \n 5 abc 7 \n 6 1 2 \n", 2, "\"abc\" is not a number", 1},
      {"[Ranges] \n 5 1 \n", 2, "low and a high", 0},
      {"[Checks] \n 99999999999 1 \n", 2, "no field identifier", 0},
      {"[Checks] \n x1 1 \n", 2, "no field identifier", 0},
      {"[Checks] \n[Foo] \n 3 1 \n", 2, "no field identifier", 1},
      {"[Colours] \n 3 1 2 3 4 5 \n", 2, "expected 6 values", 0},
      {"[Lengths] \n 3 12.5 \n", 2, "not an integer", 0},
      {"[Fonts] \n 3 8 Courier New 400 0 \n", 2, "comma", 0},
      {"[Fonts] \n 3 0 Arial, 400 0 \n", 2, "font size", 0},
      {"[Menus] \n 3 -2 1 \n[Checks] \n 4 1 \n", 2, "negative option count", 1},
      {"[Tabs] \n 3 2 101 \n abc Caption \n 102 Next \n", 3, "page identifier", 1},
      {"[Formats] \n 3    \n", 2, "no edit descriptor", 0},
      {"[Checks] \n 3 " + std::string(3000, '1') + "\n 4 1 \n", 2, "cut", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    DialogExtras x;
    EXPECT_FALSE(ParseDialogExtras(c.text, x));
    ASSERT_FALSE(x.problems.empty());
    EXPECT_EQ(x.problems[0].line, c.problemLine);
    EXPECT_NE(x.problems[0].message.find(c.message), std::string::npos) << x.problems[0].message;
    EXPECT_EQ(x.entries.size(), c.entries);
  }
}

TEST(DialogExtrasParse, CountsBeyondTheTextStopAtItsEnd) {
  DialogExtras x;
  // A huge option count takes the lines there are, headers included.
  ASSERT_TRUE(ParseDialogExtras("[Menus] \n 3 2147483647 1 \n A \n[Checks] \n", x));
  ASSERT_EQ(x.entries.size(), 1u);
  EXPECT_EQ(x.entries[0].lines, (std::vector<std::string>{" A", "[Checks]"}));
  // The text ends at its first NUL.
  ASSERT_TRUE(ParseDialogExtras(std::string_view("[Checks] \n 3 1 \n\0 4 1 \n", 22), x));
  EXPECT_EQ(x.entries.size(), 1u);
  ASSERT_TRUE(ParseDialogExtras("", x));
  EXPECT_TRUE(x.entries.empty());
}

TEST(DialogExtrasParse, GridEntriesTakeTheirLabelLinesAlong) {
  res::DialogTemplate t;
  res::DialogControl grid;
  grid.className = "JQXGRID";
  grid.id = 1214;
  grid.style = 0x400;
  t.controls.push_back(grid);
  DialogExtras x;
  const std::string_view text = "[Grids] \n 1214 2 3 140 \n 20 \n 1 \n 2 \n 3 \n[Checks] \n 5 1 \n";
  ASSERT_TRUE(ParseDialogExtras(text, x, &t)) << DescribeExtrasProblems(x);
  ASSERT_EQ(x.entries.size(), 2u);
  EXPECT_EQ(x.entries[0].ints, (std::vector<std::int32_t>{2, 3, 140, 20}));
  EXPECT_EQ(x.entries[0].lines, (std::vector<std::string>{" 1", " 2", " 3"}));
  EXPECT_EQ(x.entries[1].section, ExtrasSection::Checks);
  // Labels that start empty (0x80): the label-width line still belongs to
  // the entry, the lines after it are read as usual (here: grid lines
  // missing values).
  t.controls[0].style = 0x400 | 0x80;
  ASSERT_FALSE(ParseDialogExtras(text, x, &t));
  ASSERT_EQ(x.entries.size(), 2u);
  EXPECT_EQ(x.entries[0].ints, (std::vector<std::int32_t>{2, 3, 140, 20}));
  EXPECT_TRUE(x.entries[0].lines.empty());
  EXPECT_EQ(x.problems.size(), 3u);
  // Without row labels the next line is read as usual.
  t.controls[0].style = 0;
  ASSERT_FALSE(ParseDialogExtras(text, x, &t));
  EXPECT_EQ(x.entries.size(), 2u);  // the grid and " 20 " read as an entry missing values
}

// ---------------------------------------------------------------------------
// Applied at load

constexpr std::string_view kExtrasDialogs = R"(dialog 911 popup
  caption "Automatic picking"
  rect 0 0 300 200
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control SysTabControl32 1036 5 5 290 160 "" WS_VISIBLE | WS_TABSTOP
  control BUTTON 1 10 180 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
  extras
[Tabs] 
 1036     4   103 
  103  Simple Pick Parameters 
  104  Hatherly Parameters 
  105  Box Pick Parameters 
  108  Wavelet Parameters 
[Ranges] 
[Formats] 
  end
end
dialog 103 child
  rect 0 0 200 100
  control REALEDIT 2001 5 5 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
end
dialog 104 child
  rect 0 0 200 100
end
dialog 105 child
  rect 0 0 200 100
end
dialog 915 popup
  rect 0 0 300 200
  control SysTabControl32 1036 5 5 290 160 "" WS_VISIBLE | WS_TABSTOP
  extras
[Tabs] 
 1036 2 999 
 105 Box 
 104 
  end
end
dialog 912 popup
  rect 0 0 200 150
  control BUTTON 1046 5 5 80 10 "Stack" BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP
  control INTEGERSPIN 1196 5 20 40 12 "5" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control INTEGEREDIT 1106 5 35 40 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control EDIT 1043 5 50 150 40 "" ES_MULTILINE | WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control BUTTON 1 10 130 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
  extras
[Checks] 
 1046 0 
[Ranges] 
 1196               1      2147483647 
 1106               2      2147483647 
 1198               2      2147483647 
 1199               2      2147483647 
[Fonts] 
 1043    8 Courier New, 400 0 
[Formats] 
  end
end
dialog 913 popup
  rect 0 0 250 200
  control LISTBOX 1010 5 5 80 60 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control COMBOBOX 1011 90 5 80 60 "" CBS_DROPDOWNLIST | WS_VISIBLE | WS_TABSTOP
  control BUTTON 1012 5 70 80 10 "Checked" BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP
  control EDIT 1013 5 85 80 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control REALEDIT 1014 5 100 80 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control msctls_trackbar32 1015 5 115 100 20 "30" TBS_ENABLESELRANGE | WS_VISIBLE
  control msctls_progress32 1016 5 140 100 10 "7" WS_VISIBLE
  control JQXGRID 1017 110 70 100 60 "" WS_VISIBLE | 0x400
  control BUTTON 1 10 180 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
  extras
[Menus] 
 1010 3 2 
 Red 
 Green 
 Blue 
 1011 2 0 
 Left 
 Right 
[Checks] 
 1012 1 
[Colours] 
 1013 000 000 255 256 256 256 
[Lengths] 
 1013 5 
[Formats] 
 1014 (F8.2) 
[Flags] 
 1010 1 
[Ranges] 
 1015 10 50 
 1016 0 20 
 1014 -5.5 5.5 
 4242 1 2 
[Grids] 
 1017 2 3 140 
 20 
 [Checks] 
 2 
 3 
[Trackbars] 
 1015 5 2 10 20 40 
[Dialog] 
 1 
  end
end
dialog 914 popup
  rect 0 0 200 120
  style WS_CAPTION | WS_THICKFRAME
  control BUTTON -1 2 2 150 100 "Frame" BS_GROUPBOX | WS_VISIBLE
  control LISTBOX 1020 5 10 140 80 "" WS_VISIBLE | WS_BORDER
  control BUTTON 1 160 10 35 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
  control STATIC 1021 5 105 60 8 "Below" SS_LEFT | WS_VISIBLE
  extras
[Dialog] 
 1 1020 0 
  end
end
dialog 917 popup
  rect 0 0 250 200
  control SysTreeView32 1108 5 5 120 150 "" TVS_HASBUTTONS | TVS_LINESATROOT | WS_VISIBLE | WS_BORDER
  control SysTreeView32 1109 130 5 100 150 "" TVS_HASBUTTONS | WS_VISIBLE | WS_BORDER
  extras
[Treeviews] 
 1108 30001 40005 
 1109 0 40005 
  end
end
)";

class DialogExtrasTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("extras-dialogs", kExtrasDialogs, set, error))
        << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
  }
  static ControlRecord& Rec(int id) { return FindField(*CurrentDialog(), id)->rec; }
};

TEST_F(DialogExtrasTest, TabPagesAreLoadedAndTheInitialPageSelected) {
  WDialogLoad(911);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(WDialogStatusQuery(3), 911);  // the pages leave the dialog current
  const plat::Hwnd tab = Field(1036);
  ASSERT_EQ(plat::TabGetItemCount(tab), 4);
  EXPECT_EQ(plat::TabGetItemText(tab, 1).value_or(""), "Hatherly Parameters");
  EXPECT_EQ(plat::TabGetItemData(tab, 3), 108);
  EXPECT_EQ(plat::TabGetCurSel(tab), 0);
  // Pages 103-105 take the slots after the dialog; 108 has no template and
  // is passed over.
  EXPECT_EQ(Dm().loadedCount, 4);
  const plat::Rect area = plat::TabAdjustRect(tab, false, plat::GetWindowRect(tab));
  for (int page : {103, 104, 105}) {
    WDialogSelect(page);
    EXPECT_EQ(LastError(), 0);
    EXPECT_EQ(plat::GetWindowRect(DialogWindow()), area);
    EXPECT_FALSE(plat::IsWindowVisible(DialogWindow()));
  }
  // A second load only selects the dialog: its extras are not applied again.
  WDialogLoad(911);
  EXPECT_EQ(plat::TabGetItemCount(Field(1036)), 4);
  EXPECT_EQ(Dm().loadedCount, 4);
}

TEST_F(DialogExtrasTest, PagesAlreadyLoadedAreFoundAgainAndAnUnknownInitialPageSelectsTheFirst) {
  WDialogLoad(911);
  WDialogLoad(915);
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(Dm().loadedCount, 5);  // 911, its three pages, 915
  const plat::Hwnd tab = Field(1036);
  ASSERT_EQ(plat::TabGetItemCount(tab), 2);
  EXPECT_EQ(plat::TabGetItemText(tab, 0).value_or(""), "Box");
  EXPECT_EQ(plat::TabGetItemText(tab, 1).value_or("?"), "");
  EXPECT_EQ(plat::TabGetCurSel(tab), 0);
}

TEST_F(DialogExtrasTest, ChecksRangesAndFontsOfTheSecondSample) {
  WDialogLoad(912);
  std::int32_t v = 1;
  WDialogGetCheckBox(1046, v);
  EXPECT_EQ(v, 0);
  EXPECT_DOUBLE_EQ(Rec(1196).rangeLow, 1.0);
  EXPECT_DOUBLE_EQ(Rec(1196).rangeHigh, 2147483647.0);
  WDialogPutInteger(1196, 0);
  EXPECT_EQ(LastError(), kErrOutOfRange);
  EXPECT_EQ(Text(1196), "5");
  WDialogPutInteger(1196, 2147483647);
  EXPECT_EQ(LastError(), 0);
  WDialogPutInteger(1106, 1);
  EXPECT_EQ(LastError(), kErrOutOfRange);
  const auto font = plat::GetControlFont(Field(1043));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->Spec().face, "Courier New");
  EXPECT_EQ(font->Spec().height, -11);  // 8 points on a 96-pixel-per-inch screen
  EXPECT_EQ(font->Spec().weight, 400);
  EXPECT_FALSE(font->Spec().italic);
}

TEST_F(DialogExtrasTest, EverySectionActsOnItsKindOfField) {
  WDialogLoad(913);
  EXPECT_EQ(LastError(), 0);
  // Menus: the options in order, the initial one selected (0: none).
  EXPECT_EQ(plat::ListBoxGetCount(Field(1010)), 3);
  EXPECT_EQ(plat::ListBoxGetText(Field(1010), 2).value_or(""), " Blue");
  EXPECT_EQ(plat::ListBoxGetCurSel(Field(1010)), 1);
  EXPECT_EQ(plat::ComboBoxGetCount(Field(1011)), 2);
  EXPECT_EQ(plat::ComboBoxGetCurSel(Field(1011)), -1);
  std::int32_t v = 0;
  WDialogGetCheckBox(1012, v);
  EXPECT_EQ(v, 1);
  // Colours: blue text on the default background.
  EXPECT_EQ(Rec(1013).textColour, 255 * 65536);
  EXPECT_EQ(Rec(1013).backgroundColour, -1);
  EXPECT_EQ(Rec(1013).maxLength, 5);
  EXPECT_EQ(plat::EditGetLimit(Field(1013)), 5);
  // Formats: the field's descriptor for puts without one.
  WDialogPutReal(1014, 3.14159f);
  EXPECT_EQ(Text(1014), "3.14");
  WDialogPutReal(1014, 6.0f);
  EXPECT_EQ(LastError(), kErrOutOfRange);
  EXPECT_EQ(Rec(1010).flags, 1);
  // Trackbar and progress bar: range and the position from the template text.
  EXPECT_EQ(WDialogFieldInfo(1015, 7), 10);
  EXPECT_EQ(WDialogFieldInfo(1015, 8), 50);
  EXPECT_EQ(plat::TrackbarGetPos(Field(1015)), 30);
  EXPECT_EQ(plat::TrackbarGetSel(Field(1015)).value_or(std::pair{0, 0}), (std::pair{20, 40}));
  EXPECT_EQ(plat::ProgressGetRange(Field(1016)), (std::pair{0, 20}));
  EXPECT_EQ(plat::ProgressGetPos(Field(1016)), 7);
  // The grid's label lines went with it: " [Checks] " was a label.
  EXPECT_EQ(Dm().table[1]->rec.resizable, 1);
  EXPECT_EQ(Dm().table[1]->rec.stretchField, 0);
}

TEST_F(DialogExtrasTest, ResizeLayoutGrowsTheStretchFieldAndMovesTheOthers) {
  WDialogLoad(914);
  LoadedDialog& d = *CurrentDialog();
  EXPECT_EQ(d.rec.stretchField, 1020);
  EXPECT_EQ(Rec(1020).resizeFlags, 2 | 8);
  EXPECT_EQ(Rec(-1).resizeFlags, 2 | 8);  // the frame around it grows along
  EXPECT_EQ(Rec(1).resizeFlags, 1 | 2);   // right of it: moves
  EXPECT_EQ(Rec(1021).resizeFlags, 4 | 8);
  const plat::Rect list = plat::GetWindowRect(Field(1020));
  const plat::Rect ok = plat::GetWindowRect(Field(1));
  const plat::Rect below = plat::GetWindowRect(Field(1021));
  plat::Rect r = plat::GetWindowRect(d.hwnd);
  plat::MoveWindow(d.hwnd, {r.left, r.top, r.right + 40, r.bottom + 30});
  EXPECT_EQ(plat::GetWindowRect(Field(1020)),
            (plat::Rect{list.left, list.top, list.right + 40, list.bottom + 30}));
  EXPECT_EQ(plat::GetWindowRect(Field(1)), ok.Offset(40, 0));
  EXPECT_EQ(plat::GetWindowRect(Field(1021)), below.Offset(0, 30));
  // The size grip sits in the corner.
  const plat::Rect c = plat::GetClientRect(d.hwnd);
  bool grip = false;
  for (const DialogField& f : d.fields)
    if (SameClass(f.className, plat::kScrollBarClass))
      grip = plat::GetWindowRect(f.hwnd).right == c.right &&
             plat::GetWindowRect(f.hwnd).bottom == c.bottom;
  EXPECT_TRUE(grip);
}

TEST_F(DialogExtrasTest, HostileExtrasLoadTheDialogWithTheLinesThatRead) {
  res::DialogTemplate t;
  t.id = 916;
  t.width = 100;
  t.height = 60;
  res::DialogControl box;
  box.className = "BUTTON";
  box.id = 1046;
  box.width = 80;
  box.height = 10;
  box.text = "Stack";
  box.style = 0x3 | 0x10000000;
  t.controls.push_back(box);
  t.hasExtras = true;
  t.extras = " 1046 1 \n[Ranges] \n 1046 1e999999 x \n[Tabs] \n 1046 1 5 \n" +
             std::string(5000, '7') + "\n[Fonts] \n 1046 99999 Arial 1 \n[Checks] \n 1046 1 \n";
  AddDialogTemplate(t);
  ErrorState().reportMode = kReportSilent;
  WDialogLoad(916);
  EXPECT_EQ(LastError(), 0);
  std::int32_t v = 0;
  WDialogGetCheckBox(1046, v);
  EXPECT_EQ(v, 1);
}

TEST_F(DialogExtrasTest, ADialogWithoutExtrasKeepsItsTemplateDefaults) {
  WDialogLoad(901);
  EXPECT_DOUBLE_EQ(Rec(1003).rangeLow, 1000.0);
  EXPECT_DOUBLE_EQ(Rec(1003).rangeHigh, -1000.0);
  EXPECT_FALSE(Rec(1003).format.has_value());
}

TEST(ProgramDialogExtras, EveryTemplatesExtrasRead) {
  for (const res::DialogTemplate& t : res::ProgramResources().dialogs) {
    if (!t.hasExtras) continue;
    DialogExtras x;
    EXPECT_TRUE(ParseDialogExtras(t.extras, x, &t)) << "dialog " << t.id << ":\n"
                                                    << DescribeExtrasProblems(x);
    // Every grid entry: its counts and an existing column template, once per grid.
    std::set<std::int32_t> grids;
    for (const ExtrasEntry& e : x.entries) {
      if (e.section != ExtrasSection::Grids) continue;
      ASSERT_GE(e.ints.size(), 3u) << "dialog " << t.id << " line " << e.line;
      EXPECT_NE(res::ProgramResources().FindDialog(e.ints[2]), nullptr)
          << "dialog " << t.id << " grid " << e.field << " column template " << e.ints[2];
      EXPECT_TRUE(grids.insert(e.field).second) << "dialog " << t.id << " grid " << e.field;
    }
  }
}

}  // namespace
TEST_F(DialogExtrasTest, TreeviewsFillATreeFromAMenuAndSelectTheInitialItem) {
  WDialogLoad(917);
  EXPECT_EQ(LastError(), 0);
  const plat::Hwnd tree = Field(1108);
  using plat::TreeRelation;
  // The pop-ups are the root items, with their identifiers and captions.
  const plat::TreeItem file = plat::TreeViewGetNextItem(tree, plat::kTreeNone, TreeRelation::Root);
  ASSERT_NE(file, plat::kTreeNone);
  EXPECT_EQ(plat::TreeViewGetItemText(tree, file).value_or(""), "&File");
  EXPECT_EQ(plat::TreeViewGetItemData(tree, file), 40001);
  const plat::TreeItem edit = plat::TreeViewGetNextItem(tree, file, TreeRelation::Next);
  EXPECT_EQ(plat::TreeViewGetItemText(tree, edit).value_or(""), "&Edit");
  // A pop-up's items are its children, in menu order; separators add nothing.
  const plat::TreeItem open = plat::TreeViewGetNextItem(tree, file, TreeRelation::Child);
  EXPECT_EQ(plat::TreeViewGetItemText(tree, open).value_or(""), "&Open");
  EXPECT_EQ(plat::TreeViewGetItemData(tree, open), 40002);
  plat::TreeItem import = open;
  for (int k = 0; k < 3; ++k) import = plat::TreeViewGetNextItem(tree, import, TreeRelation::Next);
  EXPECT_EQ(plat::TreeViewGetItemData(tree, import), 40005);
  EXPECT_EQ(plat::TreeViewGetNextItem(tree, plat::kTreeNone, TreeRelation::Selection), import);
  std::int32_t id = 0;
  EXPECT_EQ(TreeItemSelected(1108, id), 0);
  EXPECT_EQ(id, 40005);
  EXPECT_EQ(WDialogStatusQuery(3), 917);
  // Menu 0 leaves its tree empty.
  EXPECT_EQ(plat::TreeViewGetCount(Field(1109)), 0);
}

}  // namespace tk
