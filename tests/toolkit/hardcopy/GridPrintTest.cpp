// Grid printing on the system printer: the settings sets and their page
// set-up, and print jobs recorded on a drawing context (pages, rows per page
// and column breaks from the fonts, cut columns, headers on the first or
// every page, check marks, the job's name), once through the grid window's
// print command and once end to end through a fake print system.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/FakePrintSystem.h"
#include "tests/RenderBack.h"
#include "tests/toolkit/grid/GridPeripheryTestSupport.h"
#include "tests/toolkit/hardcopy/RecordedDrawContext.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/grid/GridAttributes.h"
#include "toolkit/grid/GridCommands.h"
#include "toolkit/grid/GridEditorWindow.h"
#include "toolkit/grid/GridPrinting.h"
#include "toolkit/hardcopy/GridPrinter.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace tk::testing {
namespace {

using testing_support::FakePrintSystem;
using Texts = std::vector<std::string>;

/// The printer's device context with every page start marked in the record.
class PageMarking : public GridPrinterContext {
 public:
  PageMarking(std::unique_ptr<GridPrinterContext> inner, RecordedContext& record)
      : inner_(std::move(inner)), record_(record) {}
  int ResolutionX() const override { return inner_->ResolutionX(); }
  int ResolutionY() const override { return inner_->ResolutionY(); }
  int PhysicalWidth() const override { return inner_->PhysicalWidth(); }
  int PhysicalHeight() const override { return inner_->PhysicalHeight(); }
  int OffsetX() const override { return inner_->OffsetX(); }
  int OffsetY() const override { return inner_->OffsetY(); }
  void StartDoc(std::string_view name) override { inner_->StartDoc(name); }
  plat::DrawContext* StartPage() override {
    record_.Mark("page");
    return inner_->StartPage();
  }
  void EndPage() override { inner_->EndPage(); }
  bool EndDoc() override { return inner_->EndDoc(); }

 private:
  std::unique_ptr<GridPrinterContext> inner_;
  RecordedContext& record_;
};

/// The print font's measures as the screen font and the scale make them.
struct PrintMeasures {
  int h = 0, em = 0, charWidth = 0;
  std::shared_ptr<const plat::Font> font;
};
PrintMeasures Measure(const GridRecord& g, int scale) {
  plat::FontSpec spec = g.font->Spec();
  const plat::TextMetrics& m = g.font->Metrics();
  spec.height = -((m.height - m.internalLeading) * 300 * scale / (96 * 100));
  spec.width = 0;
  PrintMeasures p;
  p.font = plat::OpenFont(spec);
  p.h = p.font->Metrics().height;
  p.em = p.h - p.font->Metrics().internalLeading;
  p.charWidth = p.font->Metrics().averageCharWidth;
  return p;
}

class GridPrintTest : public GridPeripheryTest {
 protected:
  void SetUp() override {
    GridPeripheryTest::SetUp();
    ScreenDisplaySet(1 << 24, 96);
    ConnectGridPrinting();
    const auto real = GridPrinting().printerContext;
    GridPrinting().printerContext = [this, real](const std::string& destination,
                                                 const std::string& media, bool landscape,
                                                 int copies) -> std::unique_ptr<GridPrinterContext> {
      std::unique_ptr<GridPrinterContext> c = real(destination, media, landscape, copies);
      if (!c) return nullptr;
      return std::make_unique<PageMarking>(std::move(c), recorded);
    };
    PrinterDrawStandIn(&recorded);
  }
  void TearDown() override {
    PrinterDrawStandIn(nullptr);
    GridPrinting() = GridPrintHooks{};
    PrinterInstalled() = 0;
    SetWindowGridField(0, plat::kNoWindow);
    GridPeripheryTest::TearDown();
  }
  /// The texts of each recorded page.
  std::vector<Texts> PageTexts() const {
    std::vector<Texts> pages;
    for (const Call& c : recorded.calls) {
      if (c.what == "page") pages.emplace_back();
      else if (c.what.rfind("text:", 0) == 0 && !pages.empty()) pages.back().push_back(c.what.substr(5));
    }
    return pages;
  }
  /// The first text call of TEXT.
  const Call* TextCall(const std::string& text) const {
    for (const Call& c : recorded.calls)
      if (c.what == "text:" + text) return &c;
    return nullptr;
  }
  /// Every line from A to B drawn ("move" then "line").
  bool HasLine(plat::Point a, plat::Point b) const {
    for (std::size_t i = 1; i < recorded.calls.size(); ++i)
      if (recorded.calls[i - 1].what == "move" && recorded.calls[i].what == "line" &&
          recorded.calls[i - 1].points[0] == a && recorded.calls[i].points[0] == b)
        return true;
    return false;
  }
  std::int32_t Print(int field, int firstColumn, int lastColumn, int firstRow, int lastRow,
                     int which = 1, std::string_view title = "") {
    std::int32_t printed = 9;
    GridPrint(field, printed, firstColumn, lastColumn, firstRow, lastRow, which, title);
    return printed;
  }

  FakePrintSystem print;
  RecordedContext recorded;
};

TEST_F(GridPrintTest, SettingsStartFromTheDefaultPrinter) {
  struct Case {
    std::string options;
    std::vector<int> expected;  // the five options and the scale
  };
  for (const Case& c : {Case{"media=A4", {1, 1, 1, 1, 1, 100}},
                        Case{"ColorModel=Gray", {1, 1, 1, 0, 0, 100}}}) {
    print.Options(c.options);
    GridPageSetupForget();
    for (int which : {1, 2}) {
      std::int32_t o[5], scale = 0;
      GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], scale, which);
      EXPECT_EQ((std::vector<int>{o[0], o[1], o[2], o[3], o[4], scale}), c.expected) << c.options;
    }
  }
  // The locale is metric: an inch of margin in hundredths of a millimetre.
  const GridPrintSettings& s = GridPrintSettingsOf(2);
  EXPECT_TRUE(s.pageSetup.metric);
  EXPECT_EQ(s.pageSetup.printer, "office");
  EXPECT_EQ((std::vector<int>{s.pageSetup.left, s.pageSetup.top, s.pageSetup.right,
                              s.pageSetup.bottom, s.paperWidth, s.paperHeight}),
            (std::vector<int>{2540, 2540, 2540, 2540, 21000, 29700}));
  // The two sets are independent; an option is on only when it is 1.
  GridPrintOptionsSet(0, 2, 1, 1, 0, 250, 1);
  std::int32_t o[5], scale = 0;
  GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], scale, 1);
  EXPECT_EQ((std::vector<int>{o[0], o[1], o[2], o[3], o[4], scale}),
            (std::vector<int>{0, 0, 1, 1, 0, 250}));
  GridPrintOptionsGet(o[0], o[1], o[2], o[3], o[4], scale, 2);
  EXPECT_EQ(scale, 100);
}

TEST_F(GridPrintTest, UnitSwitchConvertsTheHeldLengthsAndDrifts) {
  const GridPrintSettings& s = GridPrintSettingsOf(1);
  harness.Answer("dialog 1540", "press 2");
  GridPrintPageDialog(1, 1);  // to inches: 2540 / 2.54065
  EXPECT_FALSE(s.pageSetup.metric);
  EXPECT_EQ(s.pageSetup.left, 999);
  EXPECT_EQ(s.paperWidth, 8265);
  GridPrintSetPage(3, 72, 1);  // an inch
  EXPECT_EQ(s.pageSetup.left, 1000);
  harness.Answer("dialog 1540", "press 2");
  GridPrintPageDialog(2, 1);
  EXPECT_TRUE(s.pageSetup.metric);
  EXPECT_EQ(s.pageSetup.left, 2540);
  harness.Answer("dialog 1540", "press 2");
  GridPrintPageDialog(0, 1);
  EXPECT_EQ(s.pageSetup.left, 999);
  // The locale's unit is metric; confirming keeps the dialog's values.
  harness.Answer("dialog 1540", "1002=Letter\n1005=1500\npress 1");
  GridPrintPageDialog(-1, 1);
  EXPECT_TRUE(s.pageSetup.metric);
  EXPECT_EQ(s.pageSetup.left, 1500);
  EXPECT_EQ(s.pageSetup.media, "Letter");
  EXPECT_EQ(s.paperWidth, 21590);
  EXPECT_EQ((std::vector<int>{s.minLeft, s.minTop, s.minRight, s.minBottom}),
            (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(GridPrintSettingsOf(2).pageSetup.left, 2540);  // the other set is untouched
}

TEST_F(GridPrintTest, SetPageItemsTakePoints) {
  struct Case {
    int item, value;
    std::vector<int> expected;  // left, top, right, bottom, paper width and height, landscape
  };
  const Case cases[] = {
      {3, 36, {1270, 2540, 2540, 2540, 21000, 29700, 0}},
      {4, 72, {2540, 2540, 2540, 2540, 21000, 29700, 0}},
      {1, 360, {2540, 2540, 5760, 2540, 21000, 29700, 0}},   // 5 inches wide
      {2, 720, {2540, 2540, 2540, 1760, 21000, 29700, 0}},   // 10 inches high
      {5, 2, {2540, 2540, 2540, 2540, 29700, 21000, 1}},
      {5, 1, {2540, 2540, 2540, 2540, 21000, 29700, 0}},
      {5, 9, {2540, 2540, 2540, 2540, 21000, 29700, 0}},
      {7, 72, {2540, 2540, 2540, 2540, 21000, 29700, 0}},
  };
  for (const Case& c : cases) {
    GridPageSetupForget();
    GridPrintSetPage(c.item, c.value, 2);
    const GridPrintSettings& s = GridPrintSettingsOf(2);
    EXPECT_EQ((std::vector<int>{s.pageSetup.left, s.pageSetup.top, s.pageSetup.right,
                                s.pageSetup.bottom, s.paperWidth, s.paperHeight,
                                s.pageSetup.landscape ? 1 : 0}),
              c.expected)
        << c.item << " " << c.value;
  }
  // Orientations 3 and 4 turn the margin box: right - left and bottom - top change places.
  GridPageSetupForget();
  GridPrintSetPage(3, 0, 2);
  GridPrintSetPage(4, 0, 2);
  GridPrintSetPage(2, 0, 2);  // bottom = paper height: the box is taller than wide
  const GridPrintSettings& s = GridPrintSettingsOf(2);
  GridPrintSetPage(5, 4, 2);
  EXPECT_EQ((std::vector<int>{s.pageSetup.right, s.pageSetup.bottom}), (std::vector<int>{29700, 2540}));
  EXPECT_TRUE(s.pageSetup.landscape);
  GridPrintSetPage(5, 3, 2);
  EXPECT_EQ((std::vector<int>{s.pageSetup.right, s.pageSetup.bottom}), (std::vector<int>{2540, 29700}));
  EXPECT_FALSE(s.pageSetup.landscape);
}

TEST_F(GridPrintTest, RowsPerPageFollowThePitchAndHeadersOnTheFirstPageOnly) {
  WDialogLoad(974);
  const GridRecord& g = Grid(2200);
  for (int r = 1; r <= 8; ++r) PutText(2200, 1, r, "w" + std::to_string(r));
  const PrintMeasures m = Measure(g, 100);
  const int pitch = m.h * 3 / 2;
  // A printed height of four and a half rows: three rows under the header.
  GridPrintSetPage(2, (4 * pitch + pitch / 2) * 72 / 300 + 1, 1);
  for (const bool repeat : {true, false}) {
    recorded.calls.clear();
    GridPrintOptionsSet(1, 1, repeat ? 1 : 0, 1, 1, 100, 1);
    ASSERT_EQ(Print(2200, 0, 2, 0, 7), 1);
    const GridPrintSettings& s = GridPrintSettingsOf(1);
    ASSERT_EQ((s.bottomEdge - s.topEdge) / pitch - 1, 3);
    const std::vector<Texts> pages = PageTexts();
    if (repeat) {
      EXPECT_EQ(pages, (std::vector<Texts>{{"r1", "r2", "r3", "Word", "w1", "w2", "w3", "Value"},
                                           {"r4", "r5", "r6", "Word", "w4", "w5", "w6", "Value"},
                                           {"r7", "r8", "Word", "w7", "w8", "Value"}}));
    } else {
      EXPECT_EQ(pages, (std::vector<Texts>{{"r1", "r2", "r3", "Word", "w1", "w2", "w3", "Value"},
                                           {"w4", "w5", "w6", "w7"},
                                           {"w8"}}));
      // Without the header the first row stands a quarter line below the top.
      EXPECT_EQ(TextCall("w4")->points[0].y, s.topEdge + m.h / 4);
    }
    EXPECT_EQ(TextCall("w2")->points[0].y, s.topEdge + m.h / 4 + m.h * 3 / 2 + pitch);
  }
}

TEST_F(GridPrintTest, ColumnsThatDoNotFitStartANewPage) {
  WDialogLoad(974);
  const GridRecord& g = Grid(2200);
  int f = 2200;
  GridSetColumnCaption(f, 3, "Extra");
  PutText(2200, 1, 1, "a rather long word for a column");
  WGridRows(2200, 2);
  const PrintMeasures m = Measure(g, 100);
  const auto scaled = [](int pixels) { return pixels * 300 / 96; };
  const int label = std::max(scaled(g.labelWidth), m.font->TextWidth("r8") + m.charWidth);
  const int w0 = std::max(scaled(g.columns[0].width),
                          m.font->TextWidth("a rather long word for a column") + m.charWidth);
  const int w1 = std::max(scaled(g.columns[1].width), m.charWidth);
  const int w2 = std::max(scaled(g.columns[2].width), m.charWidth);
  // Room for the labels, the first two columns and half the third.
  GridPrintSetPage(1, (label + w0 + w1 + w2 / 2) * 72 / 300, 1);
  ASSERT_EQ(Print(2200, 0, 2, 0, 1), 1);
  const GridPrintSettings& s = GridPrintSettingsOf(1);
  EXPECT_EQ(PageTexts(), (std::vector<Texts>{{"r1", "r2", "Word", "a rather long word for a column",
                                              "Value"},
                                             {"r1", "r2", "Extra"}}));
  EXPECT_EQ(TextCall("a rather long word for a column")->points[0].x,
            s.leftEdge + label + m.charWidth / 2);
  const int bottom = s.topEdge + m.h * 3 / 2 + 2 * (m.h * 3 / 2);
  EXPECT_TRUE(HasLine({s.leftEdge + label + w0 + w1, s.topEdge}, {s.leftEdge + label + w0 + w1, bottom}));
  // The third column's header is centred over it on the second page.
  EXPECT_EQ(TextCall("Extra")->points[0].x,
            s.leftEdge + label + (w2 - m.font->TextWidth("Extra")) / 2);
}

TEST_F(GridPrintTest, ASingleColumnWiderThanThePageIsCutToIt) {
  WDialogLoad(972);
  const std::string wide(120, 'W');
  PutText(2100, 1, 1, wide);
  GridPrintSetPage(1, 72, 1);  // an inch wide: pixels 300 to 600
  ASSERT_EQ(Print(2100, 0, 0, 0, 0), 1);
  EXPECT_EQ(PageTexts(), (std::vector<Texts>{{wide}}));
  const Call* text = TextCall(wide);
  ASSERT_TRUE(text->clip.has_value());
  EXPECT_EQ(text->clip->left, 301);
  EXPECT_EQ(text->clip->right, 601);
  const GridPrintSettings& s = GridPrintSettingsOf(1);
  EXPECT_EQ((std::vector<int>{s.leftEdge, s.rightEdge}), (std::vector<int>{300, 600}));
  // The table closes at the right edge.
  const Call* top = nullptr;
  for (std::size_t i = 1; i < recorded.calls.size(); ++i)
    if (recorded.calls[i].what == "line" && recorded.calls[i].points[0].y == s.topEdge)
      top = &recorded.calls[i];
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->points[0].x, 600);
}

TEST_F(GridPrintTest, CheckBoxesPrintAsCheckMarksAndCrossesInTheTextColour) {
  WDialogLoad(970);
  WGridRows(2000, 2);
  WGridPutCellCheckBox(2000, 3, 1, 1);
  WGridPutCellCheckBox(2000, 3, 2, 0);
  int f = 2000;
  GridSetColumnColours(f, 2, 200, 0, 0, -1, -1, -1);
  for (const auto& [colours, pen] : {std::pair{1, plat::Rgb(200, 0, 0)}, std::pair{0, plat::Rgb(0, 0, 0)}}) {
    recorded.calls.clear();
    GridPrintOptionsSet(1, 1, 1, colours, colours, 100, 1);
    ASSERT_EQ(Print(2000, 2, 2, 0, 1), 1);
    ASSERT_EQ(recorded.Count("polyline"), 1);  // the check mark
    EXPECT_EQ(recorded.Last("polyline")->pen.colour, pen);
    int cross = 0;
    for (const Call& c : recorded.calls)
      if (c.what == "line" && c.pen.colour == pen && c.pen.width >= 1 && c.clip.has_value()) ++cross;
    EXPECT_EQ(cross, 2);
    const Call* mark = recorded.Last("polyline");
    const GridPrintSettings& s = GridPrintSettingsOf(1);
    EXPECT_GT(mark->points[0].x, s.leftEdge);
  }
  // The column's own text never prints as a character.
  EXPECT_EQ(PageTexts(), (std::vector<Texts>{{"On"}}));
}

TEST_F(GridPrintTest, CellsPrintTheirOwnColoursOrTheirColumnsWhenAsked) {
  WDialogLoad(974);
  PutText(2200, 1, 2, "own");
  WGridPutCellReal(2200, 2, 1, 2.5f);
  int f = 2200;
  GridSetColumnColours(f, 1, 0, 0, 160, 230, 230, 230);
  GridSetCellColours(f, 0, 1, 255, 0, 0, 200, 200, 255);
  struct Case {
    int text, back;
    plat::Pixel ownText, columnText;
    std::vector<plat::Pixel> backgrounds;
  };
  const plat::Pixel black = plat::Rgb(0, 0, 0);
  const Case cases[] = {
      {1, 1, plat::Rgb(255, 0, 0), plat::Rgb(0, 0, 160),
       {plat::Rgb(200, 200, 255), plat::Rgb(230, 230, 230), plat::Rgb(230, 230, 230)}},
      {1, 0, plat::Rgb(255, 0, 0), plat::Rgb(0, 0, 160), {}},
      {0, 0, black, black, {}},
  };
  for (const Case& c : cases) {
    recorded.calls.clear();
    GridPrintOptionsSet(1, 1, 1, c.text, c.back, 100, 1);
    ASSERT_EQ(Print(2200, 0, 1, 0, 1), 1);
    EXPECT_EQ(TextCall("own")->colour, c.ownText);
    EXPECT_EQ(TextCall("2.5000")->colour, c.columnText);
    EXPECT_EQ(TextCall("Word")->colour, black);
    std::vector<plat::Pixel> painted;
    for (const Call& call : recorded.calls)
      if (call.what == "rectangle") painted.push_back(call.brush.colour);
    EXPECT_EQ(painted, c.backgrounds) << c.text << c.back;
  }
}

TEST_F(GridPrintTest, NothingPrintsWhenNoRowFitsOrNothingIsInTheBlock) {
  WDialogLoad(972);
  PutText(2100, 1, 1, "cell");
  GridPrintSetPage(2, 1, 1);  // a printed height of one point
  EXPECT_EQ(Print(2100, 0, 0, 0, 0), 0);
  GridPageSetupForget();
  EXPECT_EQ(Print(2100, 1, 3, 0, 0), 0);  // no such column
  EXPECT_EQ(Print(2100, 0, 0, 4, 9), 0);  // no such row
  EXPECT_EQ(recorded.Count("page"), 0);
  EXPECT_EQ(print.LpArguments(), "");
  // Without a printer there is no device context.
  GridPrinting().printerContext = nullptr;
  EXPECT_EQ(Print(2100, 0, 0, 0, 0), 0);
}

TEST_F(GridPrintTest, TheJobIsNamedAfterTheGridWindowsFileOrTheTitle) {
  WDialogLoad(972);
  PutText(2100, 1, 1, "cell");
  SetWindowGridField(0, Grid(2100).window);
  struct Case {
    int which;
    std::string file, title, name;
  };
  const Case cases[] = {{2, "survey.csv", "ignored", "survey.csv"},
                        {2, "", "ignored", "Untitled Grid"},
                        {1, "survey.csv", "Receivers  ", "Receivers"},
                        {1, "", std::string("\0", 1), "Untitled Grid"}};
  int job = 0;
  for (const Case& c : cases) {
    GridWindowTextsOf(0).file = c.file;
    ASSERT_EQ(Print(0, 0, 0, 0, 0, c.which, c.title), 1);
    const std::string ps = print.Job(job++);
    EXPECT_NE(ps.find("%%Title: (" + c.name + ")\n"), std::string::npos) << c.name;
  }
}

TEST_F(GridPrintTest, TheGridWindowPrintsTheSelectedBlock) {
  WDialogLoad(970);
  WGridRows(2000, 5);
  for (int r = 1; r <= 5; ++r) {
    PutText(2000, 1, r, "t" + std::to_string(r));
    WGridPutCellInteger(2000, 2, r, 10 * r);
  }
  int window = 0;
  WindowOpenChild(window, 7 | kWsStatusBar, 10, 10, 900, 700, 0, {}, 0, "Grid");
  int status = -1, mode = kGridWindowModeless;
  GridWindowOpen(status, 2000, mode, 0, 0, -1, {}, {});
  ASSERT_EQ(status, 0);
  GridWindowRecord* rec = GridWindowOf(window);
  ASSERT_NE(rec, nullptr);
  GridWindowTextsOf(window).file = "survey.csv";
  PrinterInstalled() = 1;
  // Columns 1 and 2, rows 3 to 5 (counted from 1).
  GridSetSelection(*GridWindowGrid(*rec), 2, 4, 0, 1);
  harness.Answer("dialog 32112", "press 1");
  EXPECT_TRUE(GridWindowCommand(*rec, kGwPrintSelection));
  EXPECT_EQ(PageTexts(),
            (std::vector<Texts>{{"Name", "t3", "t4", "t5", "Count", "30", "40", "50"}}));
  EXPECT_NE(print.LpArguments().find("-t survey.csv "), std::string::npos);
  // Print prints the whole grid.
  recorded.calls.clear();
  harness.Answer("dialog 32112", "press 1");
  EXPECT_TRUE(GridWindowCommand(*rec, kGwPrint));
  ASSERT_EQ(PageTexts().size(), 1u);
  // Four headers, five texts and five numbers; the check boxes print as
  // marks and no option is chosen.
  EXPECT_EQ(PageTexts()[0].size(), 14u);
}

TEST_F(GridPrintTest, EndToEndThroughThePrintSystem) {
  if (!testing_support::GhostscriptPresent()) GTEST_SKIP() << "ghostscript not installed";
  PrinterDrawStandIn(nullptr);
  WDialogLoad(974);
  for (int r = 1; r <= 8; ++r) PutText(2200, 1, r, "WWWWWW");
  ASSERT_EQ(Print(2200, 0, 2, 0, 7), 1);
  const std::string ps = print.Job(0);
  ASSERT_NE(ps.find("%%Pages: 1\n"), std::string::npos);
  velloran::testing::GreyImage image;
  ASSERT_TRUE(print.RenderJob(0, 300, image));
  const GridRecord& g = Grid(2200);
  const PrintMeasures m = Measure(g, 100);
  const GridPrintSettings& s = GridPrintSettingsOf(1);
  // At the printer's resolution: the margin is white, the label column's
  // left rule and the first cell's text are dark.
  EXPECT_GT(image.At(150, 150), 192);
  int rule = 255, ink = 0;
  const int rowsTop = s.topEdge + m.h * 3 / 2;
  for (int y = rowsTop + 2; y < rowsTop + 10; ++y) rule = std::min(rule, static_cast<int>(image.At(s.leftEdge, y)));
  EXPECT_LT(rule, 128);
  const int labelWidth = std::max(g.labelWidth * 300 / 96, m.font->TextWidth("r8") + m.charWidth);
  for (int y = rowsTop; y < rowsTop + m.h * 3 / 2; ++y)
    for (int x = s.leftEdge + labelWidth + 2; x < s.leftEdge + labelWidth + 180; ++x)
      if (image.At(x, y) < 96) ++ink;
  EXPECT_GT(ink, 20);
}

}  // namespace
}  // namespace tk::testing
