// The resource text parser: what it reads, the exact message for each kind of
// malformed text, the checks across a set, and the dialog template round trip.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/ResourceFormat.h"

namespace {

struct File {
  const char* name;
  const char* text;
};

// Reads FILES in order and finishes the set; "" on success, else the error text.
std::string Load(const std::vector<File>& files, res::ResourceSet& set) {
  res::ResourceError error;
  for (const File& f : files) {
    if (!res::ParseResourceText(f.name, f.text, set, error)) return error.Text();
  }
  if (!res::FinishResourceSet(set, error)) return error.Text();
  return "";
}

std::string Load(const std::vector<File>& files) {
  res::ResourceSet set;
  return Load(files, set);
}

const char* const kPalette = "palette\n . 192 192 192\n k 0 0 0\nend\n";

TEST(ResourceFormat, ReadsMenusWithNestingStatesEscapesCommentsAndCrLf) {
  res::ResourceSet set;
  ASSERT_EQ(Load({{"m.txt",
                   "# a comment line\r\n"
                   "menu 30001   # trailing comment\r\n"
                   "  popup \"&File\" greyed\r\n"
                   "    item 40002 \"&Open\\tCtrl+O\" checked greyed\r\n"
                   "\r\n"
                   "    separator\r\n"
                   "    popup \"&Recent\"\r\n"
                   "      item 40099 \"Say \\\"hi\\\" \\\\ # not a comment\"\r\n"
                   "    end\r\n"
                   "  end\r\n"
                   "  item 40007 \"E&xit\"\r\n"
                   "end\r\n"}},
                 set),
            "");
  ASSERT_EQ(set.menus.size(), 1u);
  const res::Menu& m = set.menus[0];
  EXPECT_EQ(m.id, 30001);
  ASSERT_EQ(m.items.size(), 2u);
  const res::MenuItem& file = m.items[0];
  EXPECT_EQ(file.kind, res::MenuItem::Kind::Popup);
  EXPECT_EQ(file.text, "&File");
  EXPECT_TRUE(file.greyed);
  EXPECT_FALSE(file.checked);
  ASSERT_EQ(file.items.size(), 3u);
  EXPECT_EQ(file.items[0].id, 40002);
  EXPECT_EQ(file.items[0].text, "&Open\tCtrl+O");
  EXPECT_TRUE(file.items[0].checked);
  EXPECT_TRUE(file.items[0].greyed);
  EXPECT_EQ(file.items[0].place.line, 4);
  EXPECT_EQ(file.items[1].kind, res::MenuItem::Kind::Separator);
  EXPECT_EQ(file.items[2].items.at(0).text, "Say \"hi\" \\ # not a comment");
  EXPECT_EQ(m.items[1].text, "E&xit");
  EXPECT_EQ(m.FindItem(40099), &file.items[2].items[0]);
  EXPECT_EQ(m.FindItem(12345), nullptr);
  EXPECT_EQ(res::MenuPopupIds::Resolve(m, {1, 3}), &file.items[2]);
  EXPECT_EQ(res::MenuPopupIds::Resolve(m, {1, 1}), nullptr);  // a command item
  EXPECT_EQ(res::MenuPopupIds::Resolve(m, {3}), nullptr);     // past the end
  EXPECT_EQ(res::MenuPopupIds::Resolve(m, {0}), nullptr);
}

TEST(ResourceFormat, BuildsToolbarBitmapsFromIcons) {
  res::ResourceSet set;
  ASSERT_EQ(
      Load({{"t.txt", "toolbar 7 2 2\n button 5 a\n separator\n button 6 b\n button 5 a\nend\n"},
            {"i.txt", kPalette},
            {"j.txt", "icon a\n k.\n .k\nend\nicon b\n kk\n ..\nend\n"}},
           set),
      "");
  const res::Toolbar& bar = *set.FindToolbar(7);
  ASSERT_EQ(bar.buttons.size(), 4u);
  EXPECT_EQ(bar.buttons[1].commandId, 0);
  EXPECT_EQ(bar.bitmap.width, 6);
  EXPECT_EQ(bar.bitmap.height, 2);
  const std::uint32_t k = 0, f = res::kButtonFace;
  EXPECT_EQ(bar.bitmap.pixels, (std::vector<std::uint32_t>{k, f, k, k, k, f,  //
                                                           f, k, f, f, f, k}));
  EXPECT_TRUE(set.pendingIcons.empty());
}

struct BadCase {
  const char* name;
  const char* text;
  const char* message;
};

TEST(ResourceFormat, MalformedTextGivesFileLineAndMessage) {
  const BadCase cases[] = {
      {"unknown keyword", "bogus 1\n", "b.txt:1: unknown resource keyword \"bogus\""},
      {"text at top level", "\n\"menu\"\n", "b.txt:2: expected a resource keyword, found \"menu\""},
      {"missing identifier", "menu\n", "b.txt:1: expected a menu identifier"},
      {"word for identifier", "menu main\n", "b.txt:1: expected a menu identifier, found \"main\""},
      {"identifier too large", "menu 70000\nend\n",
       "b.txt:1: expected a menu identifier from 1 to 65535, found 70000"},
      {"identifier zero", "strings\n 0 \"x\"\nend\n",
       "b.txt:2: expected a string identifier from 1 to 65535, found 0"},
      {"huge number", "menu 99999999999999999999\nend\n",
       "b.txt:1: expected a menu identifier, found \"99999999999999999999\""},
      {"extra token", "menu 30001 2\nend\n", "b.txt:1: unexpected \"2\" after the menu identifier"},
      {"no end", "menu 30001\n item 40002 \"x\"\n", "b.txt:1: no \"end\" for menu 30001"},
      {"pop-up left open", "menu 30001\n popup \"&File\"\n item 1 \"a\"\nend\n",
       "b.txt:1: no \"end\" for menu 30001"},
      {"text not closed", "menu 30001\n item 40002 \"&Open\nend\n",
       "b.txt:2: text not closed by \""},
      {"unknown escape", "menu 30001\n item 40002 \"a\\qb\"\nend\n",
       "b.txt:2: unknown escape \"\\q\" in text"},
      {"item without text", "menu 30001\n item 40002 Open\nend\n",
       "b.txt:2: expected the item text in double quotes, found \"Open\""},
      {"unknown state", "menu 30001\n item 40002 \"x\" grey\nend\n",
       "b.txt:2: unexpected \"grey\" after the item text"},
      {"unknown menu line", "menu 30001\n frob\nend\n", "b.txt:2: unknown menu line \"frob\""},
      {"separator with text", "menu 30001\n separator \"x\"\nend\n",
       "b.txt:2: unexpected \"x\" after \"separator\""},
      {"pop-ups too deep",
       "menu 1\n popup \"1\"\n popup \"2\"\n popup \"3\"\n popup \"4\"\n popup \"5\"\n"
       " popup \"6\"\n popup \"7\"\n popup \"8\"\n",
       "b.txt:9: pop-ups nested deeper than 7"},
      {"position missing", "popupids 30001\n 40001\nend\n", "b.txt:2: expected a position"},
      {"position zero", "popupids 30001\n 40001 0\nend\n",
       "b.txt:2: expected a position from 1 to 255, found 0"},
      {"help text twice", "helptexts 30001\n 40002 \"a\"\n 40002 \"b\"\nend\n",
       "b.txt:3: second help text for 40002 in helptexts 30001 (first at b.txt:2)"},
      {"help text missing", "helptexts 30001\n 40002\nend\n",
       "b.txt:2: expected a help text in double quotes"},
      {"string without text", "strings\n 5 x\nend\n",
       "b.txt:2: expected a string in double quotes, found \"x\""},
      {"unknown use", "commands\n 40002 handler Open\nend\n",
       "b.txt:2: use must be \"command\", \"popup\", \"button\" or \"inert\", found \"handler\""},
      {"command without name", "commands\n 40002 command\nend\n",
       "b.txt:2: expected a command name"},
      {"toolbar without height", "toolbar 30102 16\n", "b.txt:1: expected an image height"},
      {"image too wide", "toolbar 30102 65 16\nend\n",
       "b.txt:1: expected an image width from 1 to 64, found 65"},
      {"button without icon", "toolbar 30102 16 16\n button 40002\nend\n",
       "b.txt:2: expected an icon name"},
      {"unknown toolbar line", "toolbar 30102 16 16\n gap\nend\n",
       "b.txt:2: unknown toolbar line \"gap\""},
      {"long colour key", "palette\n ab 1 2 3\nend\n",
       "b.txt:2: a colour key is one character, found \"ab\""},
      {"colour out of range", "palette\n x 1 2 256\nend\n",
       "b.txt:2: expected blue from 0 to 255, found 256"},
      {"colour key twice", "palette\n x 1 2 3\n x 4 5 6\nend\n",
       "b.txt:3: colour key \"x\" defined twice (first at b.txt:2)"},
      {"ragged icon", "icon a\n ..\n ...\nend\n",
       "b.txt:3: icon row of 3 pixels, the first row has 2"},
      {"icon without end", "icon a\n ..\n", "b.txt:1: no \"end\" for icon \"a\""},
      {"dialog kind", "dialog 101 modal\n",
       "b.txt:1: dialog kind must be \"popup\" or \"child\", found \"modal\""},
      {"dialog without rect", "dialog 101 popup\n caption \"x\"\nend\n",
       "b.txt:1: dialog 101 has no \"rect\" line"},
      {"second caption", "dialog 101 popup\n caption \"x\"\n caption \"y\"\nend\n",
       "b.txt:3: second \"caption\" line in dialog 101"},
      {"negative width", "dialog 101 popup\n rect 0 0 -5 10\nend\n",
       "b.txt:2: expected a width from 0 to 32767, found -5"},
      {"unknown style", "dialog 101 popup\n style WS_CAPTION | WS_FOO\nend\n",
       "b.txt:2: unknown style \"WS_FOO\""},
      {"dangling bar", "dialog 101 popup\n style WS_CAPTION |\nend\n", "b.txt:2: expected a style"},
      {"style too large", "dialog 101 popup\n style 0x100000000\nend\n",
       "b.txt:2: expected a style from 0 to 0xFFFFFFFF, found 0x100000000"},
      {"control without text", "dialog 101 popup\n control BUTTON 1 0 0 10 10 BS_PUSHBUTTON\nend\n",
       "b.txt:2: expected the control text in double quotes, found \"BS_PUSHBUTTON\""},
      {"control identifier", "dialog 101 popup\n control STATIC -2 0 0 10 10 \"\"\nend\n",
       "b.txt:2: expected a field identifier from -1 to 65535, found -2"},
      {"control style junk",
       "dialog 101 popup\n control STATIC -1 0 0 10 10 \"\" SS_LEFT SS_RIGHT\nend\n",
       "b.txt:2: unexpected \"SS_RIGHT\" after the style"},
      {"unknown dialog line", "dialog 101 popup\n button 1\nend\n",
       "b.txt:2: unknown dialog line \"button\""},
      {"extras without end", "dialog 101 popup\n rect 0 0 1 1\n extras\n[Ranges] \n",
       "b.txt:1: no \"end\" for dialog 101"},
      {"second extras", "dialog 101 popup\n extras\n end\n extras\n end\nend\n",
       "b.txt:4: second \"extras\" in dialog 101"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Load({{"b.txt", c.text}}), c.message);
  }
}

TEST(ResourceFormat, ReadsAcceleratorTablesWithModifiersAndNamedKeys) {
  res::ResourceSet set;
  ASSERT_EQ(Load({{"a.txt",
                   "commands\n  10 command Open\n  11 command Find\n  12 command Gone\nend\n"
                   "accelerators 30001\n"
                   "  10 Ctrl+O\n"
                   "  11 shift+f2\n"
                   "  12 Ctrl+Alt+Del\n"
                   "  11 F24\n"
                   "  10 PgDn\n"
                   "  10 7\n"
                   "end\n"
                   "menu 1\n  item 10 \"a\"\n  item 11 \"b\"\n  item 12 \"c\"\nend\n"}},
                 set),
            "");
  const res::AcceleratorTable* t = set.FindAccelerators(30001);
  ASSERT_NE(t, nullptr);
  struct Want {
    int command;
    bool control, shift, alt;
    int key;
  };
  const Want want[] = {{10, true, false, false, 'O'},  {11, false, true, false, 0x71},
                       {12, true, false, true, 0x2E},  {11, false, false, false, 0x87},
                       {10, false, false, false, 0x22}, {10, false, false, false, '7'}};
  ASSERT_EQ(t->entries.size(), std::size(want));
  for (std::size_t i = 0; i < t->entries.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(t->entries[i].commandId, want[i].command);
    EXPECT_EQ(t->entries[i].control, want[i].control);
    EXPECT_EQ(t->entries[i].shift, want[i].shift);
    EXPECT_EQ(t->entries[i].alt, want[i].alt);
    EXPECT_EQ(t->entries[i].key, want[i].key);
    EXPECT_EQ(t->entries[i].place.line, static_cast<int>(i) + 7);
  }
  EXPECT_EQ(set.FindAccelerators(30002), nullptr);
  EXPECT_TRUE(res::ValidateResourceSet(set).empty());
}

TEST(ResourceFormat, MalformedAcceleratorsAreRefused) {
  const BadCase cases[] = {
      {"unknown key", "accelerators 1\n 10 Ctrl+F25\nend\n",
       "b.txt:2: \"Ctrl+F25\": unknown key \"F25\""},
      {"no key", "accelerators 1\n 10\nend\n", "b.txt:2: expected a key"},
      {"modifier alone", "accelerators 1\n 10 Ctrl+\nend\n",
       "b.txt:2: \"Ctrl+\": unknown key \"Ctrl+\""},
      {"unknown modifier", "accelerators 1\n 10 Meta+A\nend\n",
       "b.txt:2: \"Meta+A\": \"Meta\" is no modifier (Ctrl, Shift, Alt), or it is given twice"},
      {"modifier twice", "accelerators 1\n 10 Ctrl+ctrl+A\nend\n",
       "b.txt:2: \"Ctrl+ctrl+A\": \"ctrl\" is no modifier (Ctrl, Shift, Alt), or it is given twice"},
      {"same key twice", "accelerators 1\n 10 Ctrl+A\n 11 ctrl+a\nend\n",
       "b.txt:3: second entry for ctrl+a in accelerators 1 (first at b.txt:2)"},
      {"extra token", "accelerators 1\n 10 Ctrl+A x\nend\n", "b.txt:2: unexpected \"x\" after the key"},
      {"no end", "accelerators 1\n 10 Ctrl+A\n", "b.txt:1: no \"end\" for accelerators 1"},
      {"second table", "accelerators 1\nend\naccelerators 1\nend\n",
       "b.txt:3: accelerators 1 defined twice (first at b.txt:1)"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Load({{"b.txt", c.text}}), c.message);
  }
  res::ResourceSet set;
  ASSERT_EQ(Load({{"v.txt", "commands\n 10 command Open\nend\naccelerators 5\n 10 A\n 99 B\nend\n"}},
                 set),
            "");
  const std::vector<std::string> problems = res::ValidateResourceSet(set);
  EXPECT_NE(std::find(problems.begin(), problems.end(),
                      "v.txt:6: accelerators 5: 99 is not in the command list"),
            problems.end());
}

TEST(ResourceFormat, FinishingReportsDuplicatesAndBrokenIcons) {
  const std::string pal = kPalette;
  struct Case {
    const char* name;
    std::vector<File> files;
    const char* message;
  };
  const Case cases[] = {
      {"menu twice",
       {{"a.txt", "menu 1\nend\n"}, {"b.txt", "\nmenu 1\nend\n"}},
       "b.txt:2: menu 1 defined twice (first at a.txt:1)"},
      {"dialog twice",
       {{"a.txt", "dialog 5 popup\n rect 0 0 1 1\nend\ndialog 5 child\n rect 0 0 1 1\nend\n"}},
       "a.txt:4: dialog 5 defined twice (first at a.txt:1)"},
      {"toolbar twice",
       {{"a.txt", "toolbar 2 1 1\nend\ntoolbar 2 1 1\nend\n"}},
       "a.txt:3: toolbar 2 defined twice (first at a.txt:1)"},
      {"string twice",
       {{"a.txt", "strings\n 9 \"a\"\nend\nstrings\n 9 \"b\"\nend\n"}},
       "a.txt:5: string 9 defined twice (first at a.txt:2)"},
      {"command twice",
       {{"a.txt", "commands\n 9 command A\n 9 popup B\nend\n"}},
       "a.txt:3: command 9 defined twice (first at a.txt:2)"},
      {"popupids twice",
       {{"a.txt", "popupids 1\nend\npopupids 1\nend\n"}},
       "a.txt:3: popupids 1 defined twice (first at a.txt:1)"},
      {"helptexts twice",
       {{"a.txt", "helptexts 1\nend\nhelptexts 1\nend\n"}},
       "a.txt:3: helptexts 1 defined twice (first at a.txt:1)"},
      {"icon twice",
       {{"a.txt", kPalette}, {"b.txt", "icon x\n k\nend\nicon x\n .\nend\n"}},
       "b.txt:4: icon \"x\" defined twice (first at b.txt:1)"},
      {"empty icon", {{"a.txt", "icon x\nend\n"}}, "a.txt:1: icon \"x\" is empty"},
      {"colour not in palette",
       {{"a.txt", kPalette}, {"b.txt", "icon x\n kk\n\n kz\nend\n"}},
       "b.txt:4: icon \"x\": colour key \"z\" is not in the palette"},
      {"missing icon",
       {{"a.txt", "toolbar 2 1 1\n button 3 nothing\nend\n"}},
       "a.txt:2: no icon \"nothing\""},
      {"icon of wrong size",
       {{"a.txt", kPalette}, {"b.txt", "icon x\n kk\nend\ntoolbar 2 1 1\n button 3 x\nend\n"}},
       "b.txt:5: icon \"x\" is 2 x 1, toolbar 2 needs 1 x 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Load(c.files), c.message);
  }
  // The same number may name a menu, its toolbar, its pop-up identifiers and its help texts.
  EXPECT_EQ(Load({{"a.txt", kPalette},
                  {"b.txt",
                   "menu 30001\nend\ntoolbar 30001 1 1\nend\npopupids 30001\nend\n"
                   "helptexts 30001\nend\ndialog 30001 popup\n rect 0 0 1 1\nend\n"}}),
            "");
}

TEST(ResourceFormat, ValidationNamesEveryBrokenReference) {
  res::ResourceSet set;
  ASSERT_EQ(Load({{"v.txt",
                   "commands\n"                          // 1
                   "  10 command Open\n"                 // 2
                   "  11 popup File\n"                   // 3
                   "  12 button Export\n"                // 4
                   "  13 command NeverUsed\n"            // 5
                   "  14 popup NamesNothing\n"           // 6
                   "  15 button NoToolbar\n"             // 7
                   "  16 command ButtonOnly\n"           // 8
                   "end\n"                               // 9
                   "menu 1\n"                            // 10
                   "  popup \"&File\"\n"                 // 11
                   "    item 10 \"&Open\"\n"             // 12
                   "    item 99 \"Unknown\"\n"           // 13
                   "    item 11 \"Popup id as item\"\n"  // 14
                   "    item 12 \"Button as item\"\n"    // 15
                   "  end\n"                             // 16
                   "end\n"                               // 17
                   "popupids 1\n"                        // 18
                   "  11 1\n"                            // 19
                   "  10 2\n"                            // 20
                   "end\n"                               // 21
                   "popupids 2\n"                        // 22
                   "end\n"                               // 23
                   "helptexts 1\n"                       // 24
                   "  10 \"Opens\"\n"                    // 25
                   "  11 \"File menu\"\n"                // 26
                   "  77 \"Nothing\"\n"                  // 27
                   "end\n"                               // 28
                   "helptexts 3\n"                       // 29
                   "end\n"                               // 30
                   "strings\n"                           // 31
                   "  10 \"Open\"\n"                     // 32
                   "  55 \"Stray\"\n"                    // 33
                   "end\n"                               // 34
                   "palette\n . 192 192 192\nend\n"      // 35-37
                   "icon i\n .\nend\n"                   // 38-40
                   "toolbar 1 1 1\n"                     // 41
                   "  button 10 i\n"                     // 42
                   "  separator\n"                       // 43
                   "  button 98 i\n"                     // 44
                   "  button 16 i\n"                     // 45
                   "  button 11 i\n"                     // 46
                   "end\n"                               // 47
                   "dialog 101 popup\n"                  // 48
                   "  rect 0 0 100 50\n"                 // 49
                   "  control STATIC -1 0 0 10 10 \"a\"\n"
                   "  control STATIC -1 0 0 10 10 \"b\"\n"
                   "  control EDIT 1001 0 0 10 10 \"\"\n"  // 52
                   "  control EDIT 1001 0 0 10 10 \"\"\n"  // 53
                   "end\n"}},
                 set),
            "");
  const std::vector<std::string> expected = {
      "v.txt:13: menu 1: command 99 is not in the command list",
      "v.txt:14: menu 1: command 11 is listed as no menu item (v.txt:3)",
      "v.txt:15: menu 1: command 12 is listed as no menu item (v.txt:4)",
      "v.txt:20: popupids 1: 10 is not a pop-up identifier of the command list",
      "v.txt:20: popupids 1: the path of 10 leads to no pop-up of menu 1",
      "v.txt:22: popupids 2: no such menu",
      "v.txt:27: helptexts 1: 77 is no item or pop-up of menu 1",
      "v.txt:29: helptexts 3: no such menu",
      "v.txt:44: toolbar 1: button 98 is not in the command list",
      "v.txt:44: toolbar 1: button 98 has no tooltip string",
      "v.txt:45: toolbar 1: button 16 is no menu item",
      "v.txt:45: toolbar 1: button 16 has no tooltip string",
      "v.txt:46: toolbar 1: button 11 is listed as no command or button (v.txt:3)",
      "v.txt:46: toolbar 1: button 11 has no tooltip string",
      "v.txt:33: string 55 names no command",
      "v.txt:4: command 12 (Export) is on no toolbar",
      "v.txt:4: command 12 (Export) is a menu item too",
      "v.txt:5: command 13 (NeverUsed) is in no menu",
      "v.txt:6: command 14 (NamesNothing) names no pop-up",
      "v.txt:7: command 15 (NoToolbar) is on no toolbar",
      "v.txt:8: command 16 (ButtonOnly) is in no menu",
      "v.txt:53: dialog 101: field 1001 used twice (first at v.txt:52)",
  };
  EXPECT_EQ(res::ValidateResourceSet(set), expected);
}

// A dialog with a field of every kind the toolkit knows, texts that need
// escapes, and extras text whose blanks matter.
const char* const kEveryFieldKind =
    "dialog 132 child\n"
    "  caption \"Bandpass \\\"filter\\\" frequencies\"\n"
    "  rect -5 7 220 120\n"
    "  font 8 \"MS Sans Serif\"\n"
    "  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | 0x4\n"
    "  control BUTTON 1 10 100 50 14 \"OK\" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP\n"
    "  control BUTTON 2 70 100 50 14 \"Cancel\" BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP\n"
    "  control BUTTON 1046 10 10 60 10 \"&Remove delay\" BS_AUTOCHECKBOX | WS_VISIBLE\n"
    "  control BUTTON 1047 10 20 60 10 \"Little\" BS_AUTORADIOBUTTON | WS_GROUP | WS_VISIBLE\n"
    "  control BUTTON 1048 10 30 60 10 \"Big\" BS_AUTORADIOBUTTON | WS_VISIBLE\n"
    "  control BUTTON -1 5 5 100 40 \"Byte order\" BS_GROUPBOX | WS_VISIBLE\n"
    "  control BUTTON 1049 110 5 16 16 \"\" BS_BITMAP | WS_VISIBLE\n"
    "  control STATIC -1 10 45 60 8 \"Low Cut From\\tHz\" SS_LEFT | WS_VISIBLE\n"
    "  control STATIC -1 10 55 100 1 \"\" SS_ETCHEDHORZ | WS_VISIBLE\n"
    "  control STATIC 1050 10 57 100 20 \"line 1\\nline 2 \\\\ end\" SS_RIGHT | SS_NOTIFY\n"
    "  control EDIT 1051 80 45 40 12 \"\" ES_AUTOHSCROLL | ES_MULTILINE | WS_BORDER | WS_TABSTOP | "
    "WS_VISIBLE\n"
    "  control REALSPIN 1025 80 60 40 12 \"10.0\" ES_RIGHT | WS_BORDER | WS_VISIBLE\n"
    "  control INTEGEREDIT 1196 80 75 40 12 \"1\" ES_READONLY | WS_VISIBLE\n"
    "  control msctls_updown32 -1 120 60 10 12 \"\" UDS_ALIGNRIGHT | UDS_ARROWKEYS\n"
    "  control LISTBOX 1052 130 10 60 40 \"\" LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL | "
    "WS_VISIBLE\n"
    "  control COMBOBOX 1053 130 55 60 60 \"\" CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE\n"
    "  control msctls_trackbar32 1054 130 70 60 12 \"5\" TBS_AUTOTICKS | TBS_ENABLESELRANGE\n"
    "  control msctls_progress32 1021 10 85 100 8 \"0\" PBS_SMOOTH | WS_VISIBLE\n"
    "  control SYSTABCONTROL32 1036 5 5 210 90 \"\" WS_TABSTOP | WS_VISIBLE\n"
    "  control SysTreeView32 1055 130 85 60 30 \"\" TVS_HASBUTTONS | TVS_HASLINES | WS_BORDER\n"
    "  control SysHeader32 1056 0 0 10 10 \"\"\n"
    "  control SCROLLBAR -1 210 110 10 10 \" \" SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN\n"
    "  extras\n"
    "[Tabs] \n"
    " 1036     4   103 \n"
    "  103  Simple Pick Parameters \n"
    "\n"
    "[Fonts] \n"
    " 1043    8 Courier New, 400 0 \n"
    "  end\n"
    "end\n";

TEST(ResourceFormat, DialogTemplateCarriesEveryFieldKindAndRoundTrips) {
  res::ResourceSet set;
  ASSERT_EQ(Load({{"dialogs/132.txt", kEveryFieldKind}}, set), "");
  const res::DialogTemplate& d = *set.FindDialog(132);
  EXPECT_EQ(d.kind, res::DialogKind::Child);
  EXPECT_EQ(d.caption, "Bandpass \"filter\" frequencies");
  EXPECT_EQ(d.x, -5);
  EXPECT_EQ(d.y, 7);
  EXPECT_EQ(d.width, 220);
  EXPECT_EQ(d.height, 120);
  EXPECT_EQ(d.fontPoints, 8);
  EXPECT_EQ(d.fontFace, "MS Sans Serif");
  EXPECT_EQ(d.style, 0x00C80000u | 0x80u | 0x40u | 0x4u);
  ASSERT_EQ(d.controls.size(), 22u);
  const res::DialogControl& check = d.controls[2];
  EXPECT_EQ(check.className, "BUTTON");
  EXPECT_EQ(check.id, 1046);
  EXPECT_EQ(check.text, "&Remove delay");
  EXPECT_EQ(check.style, 0x10000003u);
  EXPECT_EQ(check.style & 3u, 3u);  // an auto check box, as the field logic tests it
  EXPECT_EQ(d.controls[3].style & 9u, 9u);
  EXPECT_EQ(d.controls[5].id, -1);
  EXPECT_EQ(d.controls[5].style & 7u, 7u);
  EXPECT_EQ(d.controls[7].text, "Low Cut From\tHz");
  EXPECT_EQ(d.controls[9].text, "line 1\nline 2 \\ end");
  EXPECT_EQ(d.controls[9].style, 0x102u);  // neither visible nor numbered otherwise
  EXPECT_EQ(d.controls[11].className, "REALSPIN");
  EXPECT_EQ(d.controls[11].x, 80);
  EXPECT_EQ(d.controls[11].y, 60);
  EXPECT_EQ(d.controls[11].width, 40);
  EXPECT_EQ(d.controls[11].height, 12);
  EXPECT_EQ(d.controls[20].style, 0u);  // no style written
  EXPECT_EQ(d.controls[21].text, " ");
  EXPECT_TRUE(d.hasExtras);
  EXPECT_EQ(d.extras,
            "[Tabs] \n 1036     4   103 \n  103  Simple Pick Parameters \n\n[Fonts] \n"
            " 1043    8 Courier New, 400 0 \n");

  const std::string written = res::FormatDialog(d);
  res::ResourceSet again;
  ASSERT_EQ(Load({{"dialogs/132.txt", written.c_str()}}, again), "") << written;
  EXPECT_EQ(*again.FindDialog(132), d) << written;
  EXPECT_EQ(res::FormatDialog(*again.FindDialog(132)), written);
}

TEST(ResourceFormat, DialogWithoutOptionalPartsRoundTrips) {
  res::ResourceSet set;
  ASSERT_EQ(Load({{"d.txt",
                   "dialog 101 popup\n rect 0 0 10 10\nend\n"
                   "dialog 102 popup\n rect 0 0 10 10\n extras\n end\nend\n"}},
                 set),
            "");
  for (int id : {101, 102}) {
    const res::DialogTemplate& d = *set.FindDialog(id);
    EXPECT_EQ(d.hasExtras, id == 102);
    EXPECT_TRUE(d.extras.empty());
    EXPECT_EQ(d.fontPoints, 0);
    res::ResourceSet again;
    ASSERT_EQ(Load({{"d.txt", res::FormatDialog(d).c_str()}}, again), "");
    EXPECT_EQ(*again.FindDialog(id), d);
  }
}

TEST(ResourceFormat, StyleNamesHaveTheirStandardValues) {
  struct Case {
    const char* name;
    std::uint32_t value;
  };
  for (const Case& c :
       {Case{"WS_CHILD", 0x40000000}, Case{"WS_VISIBLE", 0x10000000}, Case{"WS_TABSTOP", 0x10000},
        Case{"WS_GROUP", 0x20000}, Case{"DS_MODALFRAME", 0x80}, Case{"BS_GROUPBOX", 7},
        Case{"SS_ETCHEDVERT", 0x11}, Case{"ES_READONLY", 0x800}, Case{"TBS_ENABLESELRANGE", 0x20},
        Case{"SBS_SIZEGRIP", 0x10}}) {
    std::uint32_t v = 1234;
    EXPECT_TRUE(res::StyleValue(c.name, v)) << c.name;
    EXPECT_EQ(v, c.value) << c.name;
  }
  std::uint32_t v = 0;
  EXPECT_FALSE(res::StyleValue("ws_child", v));
  EXPECT_FALSE(res::StyleValue("", v));
}

TEST(ResourceFormat, ErrorTextWithoutLine) {
  res::ResourceError e{"menus.txt", 0, "broken"};
  EXPECT_EQ(e.Text(), "menus.txt: broken");
  e.line = 3;
  EXPECT_EQ(e.Text(), "menus.txt:3: broken");
}

}  // namespace
