// Loads every embedded resource file and checks the program's resources as
// a whole: identifiers unique per kind, every reference resolved, and the
// menus, toolbars and texts the program relies on.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "resources/ResourceFormat.h"
#include "resources/Resources.h"

namespace {

using res::MenuItem;

const res::ResourceSet& Loaded() {
  static const res::ResourceSet set = [] {
    res::ResourceSet s;
    res::ResourceError error;
    EXPECT_TRUE(res::LoadEmbeddedResources(s, error)) << error.Text();
    return s;
  }();
  return set;
}

// The entries of a menu as "id" / "-" / "popup:text" strings, depth first.
void Flatten(const std::vector<MenuItem>& items, std::vector<std::string>& out) {
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Kind::Command:
        out.push_back(std::to_string(item.id));
        break;
      case MenuItem::Kind::Separator:
        out.push_back("-");
        break;
      case MenuItem::Kind::Popup:
        out.push_back("popup:" + item.text);
        Flatten(item.items, out);
        out.push_back("end");
        break;
    }
  }
}

std::vector<std::string> Flat(int menuId) {
  std::vector<std::string> out;
  const res::Menu* menu = Loaded().FindMenu(menuId);
  if (menu) Flatten(menu->items, out);
  return out;
}

std::vector<int> Buttons(int toolbarId) {
  std::vector<int> out;
  if (const res::Toolbar* bar = Loaded().FindToolbar(toolbarId)) {
    for (const res::ToolbarButton& b : bar->buttons) out.push_back(b.commandId);
  }
  return out;
}

TEST(ProgramResources, EveryFileReadsAndEveryReferenceResolves) {
  const res::ResourceSet& set = Loaded();
  for (const std::string& p : res::ValidateResourceSet(set)) ADD_FAILURE() << p;
  EXPECT_EQ(&res::ProgramResources(), &res::ProgramResources());
  EXPECT_EQ(res::ProgramResources().menus.size(), set.menus.size());
}

// The problems of a dialog's "[Grids]" lines: each names its grid, the
// column and row counts and an existing column template, once per grid. A
// grid with row labels (style 0x400) has a label-width line after its line
// and, unless its labels start empty (0x80), one label line per row.
std::vector<std::string> GridLineProblems(const res::ResourceSet& set, const res::DialogTemplate& t) {
  std::vector<std::string> problems;
  if (!t.hasExtras) return problems;
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < t.extras.size()) {
    std::size_t end = t.extras.find('\n', start);
    if (end == std::string::npos) end = t.extras.size();
    lines.push_back(t.extras.substr(start, end - start));
    start = end + 1;
  }
  const std::string where = "dialog " + std::to_string(t.id) + " ";
  bool inGrids = false;
  std::set<long> grids;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    if (line[first] == '[') {
      inGrids = line.compare(first, 7, "[Grids]") == 0;
      continue;
    }
    if (!inGrids) continue;
    std::istringstream in(line);
    long field = 0, columns = 0, rows = 0, columnDialog = 0;
    if (!(in >> field >> columns >> rows >> columnDialog)) {
      problems.push_back(where + "grid line without three numbers: '" + line + "'");
      continue;
    }
    if (!grids.insert(field).second)
      problems.push_back(where + "a second grid line for grid " + std::to_string(field));
    if (set.FindDialog(static_cast<int>(columnDialog)) == nullptr)
      problems.push_back(where + "grid " + std::to_string(field) + " names no column template " +
                         std::to_string(columnDialog));
    std::uint32_t style = 0;
    for (const res::DialogControl& c : t.controls)
      if (c.id == field) style = c.style;
    if (style & 0x400) i += 1 + ((style & 0x80) ? 0 : static_cast<std::size_t>(std::max(rows, 0L)));
  }
  return problems;
}

TEST(ProgramResources, EveryGridLineNamesItsCountsAndAnExistingColumnTemplateOnce) {
  const res::ResourceSet& set = Loaded();
  for (const res::DialogTemplate& t : set.dialogs)
    for (const std::string& p : GridLineProblems(set, t)) ADD_FAILURE() << p;
  // The check itself catches the faults it is there for.
  res::ResourceSet bad;
  res::DialogTemplate columns;
  columns.id = 7001;
  bad.dialogs.push_back(columns);
  res::DialogTemplate t;
  t.id = 7000;
  t.hasExtras = true;
  res::DialogControl grid;
  grid.className = "JQXGRID";
  grid.id = 10;
  grid.style = 0x400;
  t.controls.push_back(grid);
  // Grid 10's label lines ("[x", " 9 ") are no entries.
  t.extras = "[Grids] \n 10 2 2 7001 \n 20 \n[x \n 9 \n 11 2 \n 12 1 1 7002 \n 10 2 3 7001 \n";
  bad.dialogs.push_back(t);
  EXPECT_EQ(GridLineProblems(bad, t),
            (std::vector<std::string>{"dialog 7000 grid line without three numbers: ' 11 2 '",
                                      "dialog 7000 grid 12 names no column template 7002",
                                      "dialog 7000 a second grid line for grid 10"}));
}

TEST(ProgramResources, IdentifiersAreUniqueWithinEachKind) {
  const res::ResourceSet& set = Loaded();
  auto unique = [](const char* kind, const auto& items, auto key) {
    std::set<int> seen;
    for (const auto& item : items)
      EXPECT_TRUE(seen.insert(key(item)).second) << kind << " " << key(item);
  };
  unique("dialog", set.dialogs, [](const auto& x) { return x.id; });
  unique("menu", set.menus, [](const auto& x) { return x.id; });
  unique("popupids", set.popupIds, [](const auto& x) { return x.menuId; });
  unique("helptexts", set.helpTexts, [](const auto& x) { return x.menuId; });
  unique("toolbar", set.toolbars, [](const auto& x) { return x.id; });
  unique("string", set.strings, [](const auto& x) { return x.id; });
  unique("command", set.commands, [](const auto& x) { return x.id; });
  std::set<std::string> icons;
  for (const res::Icon& i : set.icons) EXPECT_TRUE(icons.insert(i.name).second) << i.name;
}

TEST(ProgramResources, MenusHaveTheirItemsInOrder) {
  for (int id = 30001; id <= 30010; ++id) EXPECT_NE(Loaded().FindMenu(id), nullptr) << id;
  using V = std::vector<std::string>;
  EXPECT_EQ(Flat(30001), (V{"popup:&File",
                            "40002",
                            "40004",
                            "40003",
                            "-",
                            "40005",
                            "40037",
                            "40036",
                            "40049",
                            "-",
                            "40012",
                            "40026",
                            "40054",
                            "40056",
                            "-",
                            "40011",
                            "40006",
                            "40030",
                            "40055",
                            "40050",
                            "-",
                            "40009",
                            "40023",
                            "-",
                            "40046",
                            "-",
                            "40007",
                            "end",
                            "popup:&Edit",
                            "40008",
                            "40045",
                            "-",
                            "40052",
                            "40053",
                            "40061",
                            "40063",
                            "end",
                            "popup:&View",
                            "40017",
                            "40018",
                            "40048",
                            "-",
                            "40015",
                            "40019",
                            "40020",
                            "40021",
                            "-",
                            "40010",
                            "end",
                            "popup:Pick",
                            "40034",
                            "40033",
                            "40032",
                            "40031",
                            "-",
                            "40028",
                            "40035",
                            "end",
                            "popup:P&rocess",
                            "40029",
                            "40038",
                            "40039",
                            "40040",
                            "-",
                            "40044",
                            "40047",
                            "40059",
                            "-",
                            "40051",
                            "40060",
                            "-",
                            "40025",
                            "end",
                            "popup:&Help",
                            "40103",
                            "40042",
                            "end"}));
  EXPECT_EQ(Flat(30002), (V{"40013", "40014", "-", "40064", "-", "40018", "-", "40010"}));
  EXPECT_EQ(Flat(30003), (V{"40011", "40006", "40030", "40055", "40050"}));
  EXPECT_EQ(Flat(30004), (V{"popup:&File", "40058", "40057", "-", "40046", "-", "40101", "end"}));
  EXPECT_EQ(Flat(30005), (V{"40046", "40018", "40048", "-", "40010"}));
  EXPECT_EQ(Flat(30006), (V{"40046", "40018", "40048"}));
  EXPECT_EQ(Flat(30007), (V{"popup:&View", "40017", "end"}));
  EXPECT_EQ(Flat(30008), (V{"popup:&File", "40004", "-", "40046", "-", "40101", "end",
                            "popup:&View", "40017", "40018", "end"}));
  EXPECT_EQ(Flat(30009), (V{"popup:&Export", "40121", "40065", "40066", "end"}));
  EXPECT_EQ(Flat(30010), (V{"popup:&File", "40068", "-", "40046", "-", "40101", "end"}));
}

TEST(ProgramResources, MainMenuStartsWithEverythingNeedingARecordGreyed) {
  const res::Menu& menu = *Loaded().FindMenu(30001);
  const std::set<int> greyed = {40004, 40003, 40056, 40011, 40006, 40030, 40050, 40046,
                                40045, 40052, 40053, 40061, 40063, 40015, 40019, 40020,
                                40021, 40035, 40044, 40047, 40059, 40051, 40060, 40025};
  std::vector<const std::vector<MenuItem>*> todo{&menu.items};
  std::set<std::string> greyedPopups;
  while (!todo.empty()) {
    const auto* list = todo.back();
    todo.pop_back();
    for (const MenuItem& item : *list) {
      EXPECT_FALSE(item.checked) << item.text;
      if (item.kind == MenuItem::Kind::Popup) {
        todo.push_back(&item.items);
        if (item.greyed) greyedPopups.insert(item.text);
      } else if (item.kind == MenuItem::Kind::Command) {
        EXPECT_EQ(item.greyed, greyed.count(item.id) == 1) << item.id;
      }
    }
  }
  EXPECT_EQ(greyedPopups, (std::set<std::string>{"&View", "Pick", "P&rocess"}));
}

TEST(ProgramResources, ItemTextsAreTheCaptionsUsersSee) {
  const res::ResourceSet& set = Loaded();
  const std::map<int, std::string> main = {{40002, "&Open"},
                                           {40003, "Save &As"},
                                           {40004, "&Save"},
                                           {40005, "&Import"},
                                           {40006, "Export SEG&Y"},
                                           {40007, "E&xit"},
                                           {40008, "Edit &Pick Parameters"},
                                           {40009, "&Convert File(s) to SEG-2"},
                                           {40010, "&Properties"},
                                           {40011, "Export SEG&2"},
                                           {40012, "Mer&ge Files"},
                                           {40015, "Pan &Left"},
                                           {40017, "&Zoom"},
                                           {40018, "&Unzoom"},
                                           {40019, "Pan &Right"},
                                           {40020, "Pan &Up"},
                                           {40021, "Pan &Down"},
                                           {40023, "Con&vert File(s) to SEG-Y"},
                                           {40025, "Refraction (&Flat Layer)"},
                                           {40026, "Com&bine Files"},
                                           {40028, "Select &Wavelet"},
                                           {40029, "&Differentiate"},
                                           {40030, "Export &Picks"},
                                           {40031, "&Wavelet Pick"},
                                           {40032, "&Box Pick"},
                                           {40033, "&Hatherly Pick"},
                                           {40034, "&Simple Pick"},
                                           {40035, "&View Wavelet"},
                                           {40036, "Import &User-Defined Format"},
                                           {40037, "Import &Non-Compliant SEG-Y"},
                                           {40038, "&Integrate"},
                                           {40039, "De&trend"},
                                           {40040, "Remove DC &Level"},
                                           {40042, "&About Velloran"},
                                           {40044, "&Bandpass Filter"},
                                           {40045, "Edit &Shot Header"},
                                           {40046, "&Print"},
                                           {40047, "F&K Filter"},
                                           {40048, "L&astzoom"},
                                           {40049, "Import ASCII File"},
                                           {40050, "Export ASCII File"},
                                           {40051, "&NMO Correction"},
                                           {40052, "&Truncate Traces"},
                                           {40053, "&Resample Traces"},
                                           {40054, "Conca&tenate SEG-Y file"},
                                           {40055, "Export &GRM Format"},
                                           {40056, "Subtract second trace file"},
                                           {40059, "&Spectrum"},
                                           {40060, "&Refraction Interpretation"},
                                           {40061, "Re&move Traces"},
                                           {40063, "&Gain Traces"},
                                           {40103, "&Contents"}};
  for (const auto& [id, text] : main)
    EXPECT_EQ(set.FindMenu(30001)->FindItem(id)->text, text) << id;
  struct Case {
    int menu, id;
    const char* text;
  };
  for (const Case& c : std::vector<Case>{{30002, 40013, "&Kill Trace"},
                                         {30002, 40014, "&Flip Trace"},
                                         {30002, 40064, "&Write Trace as ASCII file"},
                                         {30004, 40058, "Save to File"},
                                         {30004, 40057, "Close File"},
                                         {30004, 40101, "Close"},
                                         {30005, 40048, "&Lastzoom"},
                                         {30008, 40004, "Save to File"},
                                         {30010, 40068, "Save to File"}}) {
    EXPECT_EQ(set.FindMenu(c.menu)->FindItem(c.id)->text, c.text) << c.menu << " " << c.id;
  }
}

TEST(ProgramResources, PopupIdsNameTheMenuBarsPopups) {
  const res::ResourceSet& set = Loaded();
  struct Case {
    int menu, id;
    const char* text;
  };
  for (const Case& c : std::vector<Case>{{30001, 40001, "&File"},
                                         {30001, 40022, "&Edit"},
                                         {30001, 40016, "&View"},
                                         {30001, 40027, "Pick"},
                                         {30001, 40024, "P&rocess"},
                                         {30001, 40041, "&Help"},
                                         {30004, 40001, "&File"},
                                         {30007, 40016, "&View"},
                                         {30008, 40001, "&File"},
                                         {30008, 40016, "&View"},
                                         {30009, 40067, "&Export"},
                                         {30010, 40001, "&File"}}) {
    const res::MenuPopupIds* ids = set.FindPopupIds(c.menu);
    ASSERT_NE(ids, nullptr) << c.menu;
    const res::PopupIdRecord* found = nullptr;
    for (const auto& r : ids->records) found = r.commandId == c.id ? &r : found;
    ASSERT_NE(found, nullptr) << c.menu << " " << c.id;
    const MenuItem* popup = res::MenuPopupIds::Resolve(*set.FindMenu(c.menu), found->path);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->text, c.text);
  }
  for (int menu : {30002, 30003, 30005, 30006}) {
    ASSERT_NE(set.FindPopupIds(menu), nullptr) << menu;
    EXPECT_TRUE(set.FindPopupIds(menu)->records.empty()) << menu;
  }
}

TEST(ProgramResources, HelpTextsAreThoseTheStatusBarShows) {
  const res::ResourceSet& set = Loaded();
  struct Case {
    int menu, id;
    const char* text;
  };
  for (const Case& c : std::vector<Case>{
           {30001, 40002, "Opens Velloran file with .TRX extension"},
           {30001, 40024, "Processing and Interpretation"},
           {30001, 40056, "Import second file of identical structure and subtract from existing."},
           {30002, 40064, "Write this trace out as an ASCII file"},
           {30003, 40055, "Export pick information to QUORIL GRM format"},
           {30004, 40057, "Close file so new one is opened on next save"},
           {30005, 40010, "Edit trace plotting properties"},
           {30006, 40018, "Autoscale Graph"},
           {30007, 40017, "Enable zoom select"},
           {30008, 40004, "Save Spectrum  to ASCII file"},
           {30009, 40121, "Export graphics as DXF file"},
           {30010, 40068, "Save Wavelet to ASCII file"}}) {
    const res::HelpTexts* help = set.FindHelpTexts(c.menu);
    ASSERT_NE(help, nullptr) << c.menu;
    ASSERT_NE(help->Find(c.id), nullptr) << c.menu << " " << c.id;
    EXPECT_EQ(*help->Find(c.id), c.text);
  }
  EXPECT_EQ(set.FindHelpTexts(30001)->Find(40001), nullptr);  // the File pop-up has none
  EXPECT_EQ(set.FindHelpTexts(30001)->entries.size(), 45u);
}

TEST(ProgramResources, ToolbarsCarryTheirButtonsAndBitmaps) {
  using V = std::vector<int>;
  EXPECT_EQ(Buttons(30102), (V{40002, 40005, 40004, 40102, 40046, 0,     40045, 0,     40017, 40048,
                               40018, 0,     40010, 0,     40015, 40019, 40021, 40020, 0,     40044,
                               40047, 40059, 0,     40051, 40060, 0,     40025, 0,     40103}));
  EXPECT_EQ(Buttons(30101), (V{40101, 0, 1230, 40057, 0, 40046}));
  EXPECT_EQ(Buttons(30103), (V{40101, 0, 40004, 0, 40046, 0, 40017, 40018}));
  EXPECT_EQ(Buttons(30104), (V{40101, 0, 40068, 0, 40046}));

  const res::ResourceSet& set = Loaded();
  for (const res::Toolbar& bar : set.toolbars) {
    EXPECT_EQ(bar.imageWidth, 16);
    EXPECT_EQ(bar.imageHeight, 16);
    int images = 0;
    for (const res::ToolbarButton& b : bar.buttons) {
      if (b.commandId == 0) continue;
      const res::Icon* icon = set.FindIcon(b.icon);
      ASSERT_NE(icon, nullptr) << b.icon;
      for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
          ASSERT_EQ(bar.bitmap.At(images * 16 + x, y), icon->image.At(x, y)) << b.icon;
        }
      }
      ++images;
    }
    EXPECT_EQ(bar.bitmap.width, images * 16) << bar.id;
    EXPECT_EQ(bar.bitmap.height, 16);
  }
  EXPECT_EQ(set.FindToolbar(30102)->bitmap.width, 21 * 16);
}

TEST(ProgramResources, EveryIconIsItsOwnPictureAndDrawsSomething) {
  const res::ResourceSet& set = Loaded();
  for (std::size_t i = 0; i < set.icons.size(); ++i) {
    const res::Icon& icon = set.icons[i];
    int drawn = 0;
    for (std::uint32_t p : icon.image.pixels) drawn += p != res::kButtonFace;
    EXPECT_GT(drawn, 20) << icon.name;
    for (std::size_t j = 0; j < i; ++j) {
      EXPECT_NE(icon.image, set.icons[j].image) << icon.name << " " << set.icons[j].name;
    }
  }
  // Commands that share a button share its picture, and different commands
  // have different pictures.
  std::map<int, std::string> iconOf;
  for (const res::Toolbar& bar : set.toolbars) {
    for (const res::ToolbarButton& b : bar.buttons) {
      if (b.commandId == 0) continue;
      auto [it, fresh] = iconOf.emplace(b.commandId, b.icon);
      EXPECT_EQ(it->second, b.icon) << b.commandId;
    }
  }
  std::set<std::string> distinct;
  for (const auto& [id, icon] : iconOf) EXPECT_TRUE(distinct.insert(icon).second) << icon;
}

TEST(ProgramResources, EveryButtonHasItsTooltip) {
  const res::ResourceSet& set = Loaded();
  const std::map<int, std::string> tips = {
      {1230, "Save results to ASCII File"},
      {40002, "Open Velloran File"},
      {40004, "Save"},
      {40005, "Import Trace Data"},
      {40010, "View Properties"},
      {40015, "Pan Left"},
      {40017, "Toggle Zoom mode"},
      {40018, "Autoscale Graphics"},
      {40019, "Pan Right"},
      {40020, "Pan Up"},
      {40021, "Pan Down"},
      {40025, "Interpret first breaks as flat 2-layer refraction model"},
      {40044, "Bandpass Filter"},
      {40045, "Edit Shot Header"},
      {40046, "Print Graphic"},
      {40047, "F-K Filter"},
      {40048, "Return to previous graphic scaling"},
      {40051, "Display NMO velocity curve on data"},
      {40057, "Close ASCII file so new one is opened on next Save"},
      {40059, "Display spectrum of displayed trace section"},
      {40060, "Display flat refraction velocity curve on data"},
      {40068, "Save Wavelet to ASCII File"},
      {40101, "Close Window"},
      {40102, "Export to SEG-2 or SEG-Y format"},
      {40103, "Help File Contents"}};
  EXPECT_EQ(set.strings.size(), tips.size());
  for (const auto& [id, text] : tips) {
    ASSERT_NE(set.FindString(id), nullptr) << id;
    EXPECT_EQ(*set.FindString(id), text);
    EXPECT_LT(text.size(), 80u);  // the tooltip buffer holds 79 characters
  }
}

TEST(ProgramResources, CommandListCoversTheDispatchRange) {
  const res::ResourceSet& set = Loaded();
  // Identifiers with a handler in the main loop's table.
  const std::set<int> handled = {
      40002, 40003, 40004, 40005, 40006, 40007, 40008, 40009, 40010, 40011, 40012, 40013,
      40014, 40015, 40017, 40018, 40019, 40020, 40021, 40023, 40025, 40026, 40028, 40029,
      40030, 40031, 40032, 40033, 40034, 40035, 40036, 40037, 40038, 40039, 40040, 40042,
      40044, 40045, 40046, 40047, 40048, 40049, 40050, 40051, 40052, 40053, 40054, 40055,
      40056, 40057, 40058, 40059, 40060, 40061, 40063, 40064, 40068, 40101, 40102, 40103};
  for (int id : handled) {
    const res::CommandEntry* c = set.FindCommand(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_TRUE(c->use == res::CommandUse::Command || c->use == res::CommandUse::Button) << id;
  }
  for (const res::CommandEntry& c : set.commands) {
    bool isHandled = handled.count(c.id) == 1;
    EXPECT_EQ(isHandled, c.use == res::CommandUse::Command || c.id == 40102) << c.id;
  }
}

}  // namespace
