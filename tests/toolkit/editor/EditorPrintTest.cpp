// Printing from the editor: the page set-up, the pages the text fills on a
// fake print system (rendered back with ghostscript), the text's place inside
// the margins on a recorded page, Print Selection, the empty document, and
// the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/RichEdit.h"
#include "platform/dialog/MessageBox.h"
#include "tests/FakePrintSystem.h"
#include "tests/RenderBack.h"
#include "tests/ScopedEnv.h"
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/core/Events.h"
#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorPrint.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk::testing {
namespace {

using testing_support::FakePrintSystem;
using testing_support::ScopedEnv;

// What the pages receive: the text calls with their place, and page breaks
// seen as fills of nothing (the painter draws no background on paper).
class RecordedPage : public plat::DrawContext {
 public:
  struct Call {
    std::string text;
    plat::Point at;
    int height = 0;
  };
  std::vector<Call> texts;
  int fills = 0;

  void SetPen(const plat::Pen&) override {}
  void SetBrush(const plat::Brush&) override {}
  void MoveTo(plat::Point) override {}
  void LineTo(plat::Point) override {}
  void SetPixel(plat::Point, plat::Pixel) override {}
  void Polyline(std::span<const plat::Point>) override {}
  void Polygon(std::span<const plat::Point>) override {}
  void Rectangle(const plat::Rect&) override { ++fills; }
  void Ellipse(const plat::Rect&) override {}
  void Arc(const plat::Rect&, plat::Point, plat::Point) override {}
  void Pie(const plat::Rect&, plat::Point, plat::Point) override {}
  void SetClip(std::optional<plat::Rect>) override {}
  void Text(const plat::Font& font, plat::Point at, std::string_view text,
            const plat::TextStyle&) override {
    texts.push_back({std::string(text), at, font.Metrics().height});
  }
  bool GradientTriangles(std::span<const plat::GradientVertex>,
                         std::span<const std::array<int, 3>>) override {
    return false;
  }
};

// Margins of one inch all round (thousandths of an inch) on the A4 page of
// the fake printer at 300 dots per inch.
constexpr const char* kInchMargins = "1005=1000\n1006=1000\n1007=1000\n1008=1000\npress 1";
const plat::Rect kInchArea{300, 300, 2480 - 300, 3508 - 300};

class EditorPrintTest : public EditorWindowFixture {
 protected:
  void SetUp() override {
    EditorWindowFixture::SetUp();
    EditorKeptPageSetup() = EditorPageSetup{};
  }
  void TearDown() override {
    EditorPrintDrawStandIn(nullptr);
    if (window != 0) WindowCloseChild(window);
    EditorKeptPageSetup() = EditorPageSetup{};
    EditorWindowFixture::TearDown();
  }
  EditorRecord* Open(std::uint32_t flags = 0) {
    WindowOpenChild(window, 7, 10, 10, 500, 300, 0, {}, 0, "Notes");
    int status = -1;
    EditorMode mode = EditorMode::Modeless;
    EditorOpen(status, mode, 0, flags, 0, 0, -1, {}, {});
    EXPECT_EQ(status, 0);
    return CurrentEditor();
  }
  void Put(EditorRecord* rec, const std::string& text) {
    plat::RichEditStreamIn(rec->textControl, plat::RichStream::Plain, text, false);
  }
  /// Lines "line 1" ... that fill exactly PAGES pages of the inch-margin area.
  std::string LinesFor(EditorRecord* rec, int pages) {
    std::string probe;
    for (int k = 1; k <= 400; ++k) probe += "line " + std::to_string(k) + "\r\n";
    Put(rec, probe);
    const int stop = plat::RichEditFormatRange(rec->textControl, nullptr, kInchArea, 300, 0, -1, false);
    const std::string placed = plat::RichEditGetTextRange(rec->textControl, 0, stop);
    const int perPage = static_cast<int>(std::count(placed.begin(), placed.end(), '\r'));
    EXPECT_GT(perPage, 3);
    std::string text;
    for (int k = 1; k <= perPage * (pages - 1) + 1; ++k)
      text += "line " + std::to_string(k) + (k < perPage * (pages - 1) + 1 ? "\r\n" : "");
    return text;
  }
  void Command(int id) {
    plat::PostMessage(Frame(window), plat::Msg::Command, plat::MakeWParam(id, 0), 0);
  }
  /// The next event that is not a repaint or a resize.
  std::pair<int, EventRecord> NextEvent() {
    for (;;) {
      auto e = Wait();
      if (e.first != kEventExpose && e.first != kEventResize) return e;
    }
  }
  int window = 0;
};

TEST_F(EditorPrintTest, AThreePageTextIsOneJobOfThreePagesInsideTheMargins) {
  FakePrintSystem print;
  EditorRecord* rec = Open();
  Put(rec, LinesFor(rec, 3));
  harness.Answer("dialog 1540", kInchMargins);
  Command(kEdPrint);
  const auto [type, event] = NextEvent();
  EXPECT_EQ(type, kEventMenu);
  EXPECT_EQ(event.value1, kEdPrint);
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  const std::string ps = print.Job(0);
  ASSERT_NE(ps.find("%%Pages: 3\n"), std::string::npos);
  EXPECT_TRUE(print.Job(1).empty());
  EXPECT_NE(print.LpArguments().find("-t Untitled Text"), std::string::npos);

  if (!testing_support::GhostscriptPresent()) GTEST_SKIP() << "ghostscript not installed";
  velloran::testing::GreyImage image;
  ASSERT_TRUE(print.RenderJob(0, 75, image));
  // A4 portrait at 75 dpi: the margins are 75 pixels wide.
  ASSERT_GT(image.height, image.width);
  int dark = 0, left = image.width, top = image.height, right = -1, bottom = -1;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.Dark(x, y)) {
        ++dark;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  ASSERT_GT(dark, 100);
  EXPECT_GE(left, 74);
  EXPECT_GE(top, 74);
  EXPECT_LE(right, image.width - 74);
  EXPECT_LE(bottom, image.height - 74);
  EXPECT_LT(left, 90);  // the text starts at the left margin
  EXPECT_LT(top, 95);
  EXPECT_GT(bottom, image.height - 160);  // and fills the page down to the bottom margin
}

TEST_F(EditorPrintTest, ThePagesTakeTheTextInOrderInsideTheArea) {
  FakePrintSystem print;
  RecordedPage page;
  EditorPrintDrawStandIn(&page);
  EditorRecord* rec = Open();
  const std::string text = LinesFor(rec, 2);
  Put(rec, text);
  harness.Answer("dialog 1540", kInchMargins);
  ASSERT_EQ(EditorPrint(*rec, false), 1);
  ASSERT_NE(print.Job(0).find("%%Pages: 2\n"), std::string::npos);
  ASSERT_FALSE(page.texts.empty());
  std::string seen;
  int previousY = 0, pageBreaks = 0;
  for (const RecordedPage::Call& c : page.texts) {
    EXPECT_GE(c.at.x, kInchArea.left) << c.text;
    EXPECT_GE(c.at.y, kInchArea.top) << c.text;
    EXPECT_LE(c.at.y + c.height, kInchArea.bottom) << c.text;
    if (c.at.y < previousY) ++pageBreaks;
    previousY = c.at.y;
    seen += c.text + " ";
  }
  EXPECT_EQ(pageBreaks, 1);
  EXPECT_EQ(page.texts.front().text, "line");
  EXPECT_EQ(page.texts.front().at, (plat::Point{kInchArea.left, kInchArea.top}));
  // Every line printed once, in order.
  std::string expected;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    expected += text.substr(at, end - at) + " ";
    at = end + 2;
  }
  EXPECT_EQ(seen, expected);
}

TEST_F(EditorPrintTest, PrintSelectionPrintsOnlyTheSelectedText) {
  FakePrintSystem print;
  RecordedPage page;
  EditorPrintDrawStandIn(&page);
  EditorRecord* rec = Open();
  Put(rec, "alpha beta\r\ngamma delta");
  plat::RichEditSetSel(rec->textControl, 6, 16);  // "beta", the line end, "gamma"
  harness.Answer("dialog 1540", "press 1");
  Command(kEdPrintSelection);
  const auto [type, event] = NextEvent();
  EXPECT_EQ(event.value1, kEdPrintSelection);
  std::vector<std::string> words;
  for (const RecordedPage::Call& c : page.texts) words.push_back(c.text);
  EXPECT_EQ(words, (std::vector<std::string>{"beta", "gamma"}));
  EXPECT_NE(print.Job(0).find("%%Pages: 1\n"), std::string::npos);
}

TEST_F(EditorPrintTest, AnEmptyDocumentMakesAJobWithoutPagesAndNothingReachesLp) {
  FakePrintSystem print;
  EditorRecord* rec = Open();
  harness.Answer("dialog 1540", "press 1");
  EXPECT_EQ(EditorPrint(*rec, false), 1);
  EXPECT_TRUE(print.LpArguments().empty());
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  // So does Print Selection with nothing selected.
  Put(rec, "some text");
  plat::RichEditSetSel(rec->textControl, 3, 3);
  harness.Answer("dialog 1540", "press 1");
  EXPECT_EQ(EditorPrint(*rec, true), 1);
  EXPECT_TRUE(print.LpArguments().empty());
}

TEST_F(EditorPrintTest, TheSetUpIsKeptBetweenPrintsAndCancelPrintsNothing) {
  FakePrintSystem print;
  EditorRecord* rec = Open();
  Put(rec, "text");
  harness.Answer("dialog 1540", "1005=1500\n1002=Letter\npress 1");
  ASSERT_EQ(EditorPrint(*rec, false), 1);
  EXPECT_EQ(EditorKeptPageSetup().values.left, 1500);
  EXPECT_EQ(EditorKeptPageSetup().values.media, "Letter");
  EXPECT_NE(print.LpArguments().find("media=Letter"), std::string::npos);
  harness.Answer("dialog 1540", "1005=10\npress 2");
  EXPECT_EQ(EditorPrint(*rec, false), 0);
  EXPECT_EQ(EditorKeptPageSetup().values.left, 1500);
  EXPECT_TRUE(print.Job(1).empty());
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

TEST_F(EditorPrintTest, WithoutAPrinterOrRoomOnThePageTheUserIsTold) {
  struct Case {
    const char* what;
    bool printSystem;
    const char* answer;
  };
  for (const Case& c : {Case{"no print system", false, "press 1"},
                        Case{"margins wider than the paper", true, "1005=5000\n1007=5000\npress 1"}}) {
    SCOPED_TRACE(c.what);
    std::optional<FakePrintSystem> print;
    std::optional<ScopedEnv> path;
    if (c.printSystem)
      print.emplace();
    else
      path.emplace("PATH", "/nonexistent");
    plat::PrinterQueriesResume();
    EditorKeptPageSetup() = EditorPageSetup{};
    EditorRecord* rec = Open();
    Put(rec, "text");
    plat::ClearMessageBoxLog();
    harness.Answer("dialog 1540", c.answer);
    EXPECT_EQ(EditorPrint(*rec, false), 0);
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_EQ(plat::MessageBoxLog()[0].text, "Unable to print text");
    EXPECT_EQ(plat::MessageBoxLog()[0].caption, "Print Error");
    if (print) {
      EXPECT_TRUE(print->LpArguments().empty());
    }
    WindowCloseChild(window);
    window = 0;
  }
}

TEST_F(EditorPrintTest, PrintingByTheApplicationOnlyRaisesTheEvent) {
  EditorRecord* rec = Open(kEditorPrintByApplication);
  Put(rec, "text");
  for (int id : {kEdPrint, kEdPrintSelection}) {
    Command(id);  // no page set-up is asked: nothing is scripted for it
    const auto [type, event] = NextEvent();
    EXPECT_EQ(type, kEventMenu);
    EXPECT_EQ(event.value1, id);
  }
}

}  // namespace
}  // namespace tk::testing
