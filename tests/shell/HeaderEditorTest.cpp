// The Shot Header Editor driven as a user drives it: cell moves, typed
// values, buttons, the number prompt, file choices and the geophone layout.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "formats/SegyHeaders.h"
#include "formats/SegyIn.h"
#include "formats/SegyOut.h"
#include "shell/EditCommands.h"
#include "shell/HeaderEditor.h"
#include "shell/Velloran.h"
#include "support/ByteOrder.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"
#include "tests/formats/SegyTestSupport.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/grid/Grid.h"

namespace {

namespace fs = std::filesystem;
using app_dialog_test::AppDialogTest;
using vel::ShotRecord;

constexpr int kGrid = vel::kGeometryGrid;
constexpr int kEasting = 2, kNorthing = 3, kElevation = 4;

/// A record of the receivers given (northings and elevations 0 unless given).
ShotRecord Record(std::vector<float> east, std::vector<float> north = {},
                  std::vector<float> elev = {}) {
  ShotRecord rec;
  rec.NTRACE = static_cast<std::int32_t>(east.size());
  rec.NSAMP = 8;
  rec.SAMPINT = 0.5f;
  EXPECT_TRUE(vel::RebuildTraceArrays(rec));
  rec.GEOLOC = east;
  if (!north.empty()) rec.GEOLOCY = north;
  if (!elev.empty()) rec.GEOELE = elev;
  rec.SPACING = 3.0f;
  return rec;
}

class HeaderEditorTest : public AppDialogTest {
 public:
  void SetUp() override {
    AppDialogTest::SetUp();
    folder = fs::current_path();
    tk::RegisterGridClasses();
    vel::HeaderEditorRemembered() = {};
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
      messages.emplace_back(t);
    });
  }
  void TearDown() override {
    // The file dialogs leave the chosen folder current.
    fs::current_path(folder);
    sup::SetUserMessageHook({});
    tk::SetErrorDeliveryHook({});
    tk::ErrorReportModeSet(tk::kReportSilent);
    AppDialogTest::TearDown();
  }

  /// Runs the editor on REC with the steps queued before; its answer.
  int Edit(ShotRecord& rec, std::int32_t navIndex = 0) {
    std::int32_t nav = 5;
    int ierr = 7;
    vel::HEADEDITDLG(rec, true, navIndex, nav, ierr);
    EXPECT_EQ(nav, 5);
    return ierr;
  }

  /// A moment later, while a dialog waits: FN, in dialog DIALOG.
  void Later(std::function<void()> fn, int dialog = vel::kHeaderEditorDialog) {
    harness.Pause(10).Call([fn = std::move(fn), dialog] {
      tk::WDialogSelect(dialog);
      fn();
    });
    harness.MouseMove(Client(0), {1, 1});
  }
  void Press(int button, int dialog = vel::kHeaderEditorDialog) {
    Later([button] { plat::ButtonClick(Field(button)); }, dialog);
  }
  /// The user moves to grid cell (COLUMN, ROW).
  void MoveTo(int column, int row) {
    Later([=] { tk::WGridSetCell(kGrid, column, row); });
  }
  /// The user types VALUE into grid cell (COLUMN, ROW).
  void Type(int column, int row, float value) {
    Later([=] { tk::WGridPutCellReal(kGrid, column, row, value); });
  }
  /// A look at the editor's grid: column C as shown.
  void LookAtColumn(int c, std::vector<float>& out, int rows) {
    Later([&out, c, rows] {
      out.assign(static_cast<std::size_t>(rows), 0.0f);
      int n = rows;
      tk::WGridReadColumnReal(kGrid, c, out, n);
      out.resize(static_cast<std::size_t>(n));
    });
  }

  fs::path folder;
  testing_support::TempDir dir;
  std::vector<std::string> messages;
};

TEST_F(HeaderEditorTest, OpensWithTheRecordAndCancelChangesNothing) {
  ShotRecord rec = Record({0.0f, 10.0f, 20.0f}, {5.0f, 6.0f, 7.0f}, {100.5f, 101.0f, 99.25f});
  rec.SAMPINT = 0.25f;
  rec.TDELAY = -10.0f;
  rec.TUPHOLE = 3.5f;
  rec.SHOTDEPTH = 1.5f;
  rec.ISHOT = 17;
  rec.SHOTX = 1234.5f;
  rec.SHOTY = 5678.5f;
  rec.SHOTELEV = 99.0f;
  rec.NAUX = 1;
  rec.GOFF = {9.0f, 8.0f, 7.0f};
  const ShotRecord before = rec;
  std::vector<std::pair<int, std::string>> shown;
  std::string cell;
  Later([&] {
    for (const int f : {1099, 1100, 1101, 1111, 1102, 1103, 1208, 1104, 1105, 1106, 1227})
      shown.emplace_back(f, Text(f));
    cell.assign(20, ' ');
    tk::WGridGetCellString(kGrid, kElevation, 1, cell);
  });
  Type(kEasting, 2, 55.0f);
  Later([] { tk::WDialogPutString(1102, "99"); });
  Press(2);
  EXPECT_EQ(Edit(rec), -1);
  const std::vector<std::pair<int, std::string>> expected = {
      {1099, "0.250"}, {1100, "-10.000"}, {1101, "3.500"},  {1111, "1.5"},
      {1102, "17"},    {1103, "1234.5"},  {1208, "5678.5"}, {1104, "99.0"},
      {1105, "3"},     {1106, "8"},       {1227, "1"}};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(plat::TrimRight(cell), "100.5");
  EXPECT_EQ(rec.GEOLOC, before.GEOLOC);
  EXPECT_EQ(rec.GEOLOCY, before.GEOLOCY);
  EXPECT_EQ(rec.GEOELE, before.GEOELE);
  EXPECT_EQ(rec.GOFF, before.GOFF);
  EXPECT_EQ(rec.ISHOT, 17);
  EXPECT_EQ(rec.SPACING, before.SPACING);
  EXPECT_TRUE(messages.empty());
}

TEST_F(HeaderEditorTest, OkStoresTheFieldsTheGeometrySpacingAndOffsets) {
  ShotRecord rec = Record({0.0f, 5.0f, 10.0f});
  rec.SHOTX = -2.5f;
  rec.SHOTLOCX = {4.0f, 4.0f, 4.0f};
  Later([] {
    tk::WDialogPutString(1102, "42");
    tk::WDialogPutString(1101, "4");
    tk::WDialogPutString(1104, "30");
  });
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_EQ(rec.ISHOT, 42);
  EXPECT_FLOAT_EQ(rec.TUPHOLE, 4.0f);
  EXPECT_FLOAT_EQ(rec.SHOTELEV, 30.0f);
  EXPECT_FLOAT_EQ(rec.SPACING, 5.0f);
  EXPECT_EQ(rec.GOFF, (std::vector<float>{2.5f, 7.5f, 12.5f}));
  EXPECT_EQ(rec.SHOTLOCX, (std::vector<float>{4.0f, 4.0f, 4.0f})) << "not the editor's";

  // A shot between receivers still gives positive offsets; a typed easting
  // and northing move the spacing.
  rec.SHOTX = 6.0f;
  rec.SHOTY = 0.0f;
  Type(kEasting, 2, 3.0f);
  Type(kNorthing, 2, 4.0f);
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_FLOAT_EQ(rec.SPACING, 5.0f);
  EXPECT_FLOAT_EQ(rec.GOFF[0], 6.0f);
  EXPECT_FLOAT_EQ(rec.GOFF[1], 5.0f);
  EXPECT_FLOAT_EQ(rec.GOFF[2], 4.0f);
  EXPECT_FLOAT_EQ(rec.GEOLOCY[1], 4.0f);

  // Two receivers at one point, and a single receiver.
  ShotRecord same = Record({7.0f, 7.0f});
  Press(1);
  EXPECT_EQ(Edit(same), 0);
  EXPECT_FLOAT_EQ(same.SPACING, 1e-10f);
  ShotRecord one = Record({7.0f});
  Press(1);
  EXPECT_EQ(Edit(one), 0);
  EXPECT_EQ(one.SPACING, 1.0f);
}

TEST_F(HeaderEditorTest, AddToAndMultiplyByWorkFromTheCurrentCellDown) {
  const std::vector<float> start = {1, 2, 3, 4, 5, 6};
  struct Case {
    const char* what;
    std::function<void(HeaderEditorTest&)> place;  // where the user is
    int button;
    const char* answer;
    std::vector<float> east, north;
    const char* message;
  };
  const std::vector<float> same = start;
  const Case cases[] = {
      {"add 10 in column 3 from row 4",
       [](HeaderEditorTest& t) { t.MoveTo(kNorthing, 4); },
       1115,
       "1062=10\npress 1",
       same,
       {1, 2, 3, 14, 15, 16},
       nullptr},
      {"multiply column 2 from row 5",
       [](HeaderEditorTest& t) { t.MoveTo(kEasting, 5); },
       1116,
       "1062=-2\npress 1",
       {1, 2, 3, 4, -10, -12},
       same,
       nullptr},
      {"the prompt cancelled", [](HeaderEditorTest& t) { t.MoveTo(kEasting, 1); }, 1115,
       "1062=10\npress 2", same, same, nullptr},
      {"column 1 asks and changes nothing", [](HeaderEditorTest& t) { t.MoveTo(1, 2); }, 1115,
       "1062=10\npress 1", same, same, nullptr},
      {"the focus went to a header field",
       [](HeaderEditorTest& t) {
         t.MoveTo(kNorthing, 4);
         t.Later([] { tk::WDialogSetField(1102); });
       },
       1115, nullptr, same, same, "Must be inside geometry grid to add or multiply"},
      {"no cell yet", [](HeaderEditorTest&) {}, 1116, nullptr, same, same,
       "Must be inside geometry grid to add or multiply"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ShotRecord rec = Record(start, start);
    messages.clear();
    c.place(*this);
    if (c.answer) harness.Answer("dialog 118", c.answer);
    Press(c.button);
    Press(1);
    EXPECT_EQ(Edit(rec), 0);
    EXPECT_EQ(rec.GEOLOC, c.east);
    EXPECT_EQ(rec.GEOLOCY, c.north);
    if (c.message) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0], c.message);
    } else {
      EXPECT_TRUE(messages.empty());
    }
  }
}

TEST_F(HeaderEditorTest, TheNumbersEnteredAreProposedAgainWithinTheRun) {
  ShotRecord rec = Record({0, 0, 0});
  MoveTo(kElevation, 1);
  harness.Answer("dialog 118", "1062=2.5\npress 1");
  Press(1115);
  Press(2);
  EXPECT_EQ(Edit(rec), -1);
  EXPECT_EQ(vel::HeaderEditorRemembered().addValue, 2.5f) << "kept after Cancel";
  // The next opening: the prompt proposes 2.5, so OK without typing adds it.
  MoveTo(kElevation, 2);
  harness.Answer("dialog 118", "press 1");
  Press(1115);
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_EQ(rec.GEOELE, (std::vector<float>{0.0f, 2.5f, 2.5f}));
  EXPECT_EQ(vel::HeaderEditorRemembered().multiplyValue, 1.0f);
}

TEST_F(HeaderEditorTest, GeometryFilesSaveAndOpenBack) {
  ShotRecord rec = Record({0.0f, 10.0f, 20.0f}, {5.0f, 5.0f, 5.0f}, {100.5f, 101.0f, 99.25f});
  const fs::path p = dir / "line.GEO";
  // Save Geometry without a name asks for one and says nothing; a second
  // Save writes to the same file and says so.
  harness.Answer("filedialog", p.string());
  Press(1113);
  Type(kElevation, 3, 7.0f);
  Press(1113);
  Press(2);
  EXPECT_EQ(Edit(rec), -1);
  EXPECT_EQ(testing_support::ReadFile(p),
            "      0.00    100.50      5.00\r\n"
            "     10.00    101.00      5.00\r\n"
            "     20.00      7.00      5.00\r\n");
  EXPECT_EQ(messages, (std::vector<std::string>{p.string() + " Saved"}));

  // Save Geometry As always asks and never says "Saved".
  messages.clear();
  const fs::path q = dir / "copy.GEO";
  harness.Answer("filedialog", q.string());
  Press(1114);
  Press(2);
  EXPECT_EQ(Edit(rec), -1);
  EXPECT_EQ(testing_support::ReadFile(q).substr(0, 32), "      0.00    100.50      5.00\r\n");
  EXPECT_TRUE(messages.empty());

  // Open Geometry fills the grid; OK takes it into the record.
  ShotRecord other = Record({1, 1, 1}, {1, 1, 1}, {1, 1, 1});
  harness.Answer("filedialog", p.string());
  Press(1112);
  Press(1);
  EXPECT_EQ(Edit(other), 0);
  EXPECT_EQ(other.GEOLOC, rec.GEOLOC);
  EXPECT_EQ(other.GEOLOCY, rec.GEOLOCY);
  EXPECT_EQ(other.GEOELE, (std::vector<float>{100.5f, 101.0f, 7.0f}));
  EXPECT_TRUE(messages.empty());

  // A file of fewer lines than traces fills the first rows only.
  testing_support::WriteFile(dir / "short.GEO", "      1.00      2.00      3.00\r\n");
  ShotRecord four = Record({9, 9, 9, 9}, {9, 9, 9, 9}, {9, 9, 9, 9});
  harness.Answer("filedialog", (dir / "short.GEO").string());
  Press(1112);
  Press(1);
  EXPECT_EQ(Edit(four), 0);
  EXPECT_EQ(four.GEOLOC, (std::vector<float>{1, 9, 9, 9}));
  EXPECT_EQ(four.GEOELE, (std::vector<float>{2, 9, 9, 9}));
  EXPECT_EQ(four.GEOLOCY, (std::vector<float>{3, 9, 9, 9}));
}

TEST_F(HeaderEditorTest, ASaveThatCannotBeDoneIsToldAndKeepsTheOldFile) {
  ShotRecord rec = Record({0.0f, 10.0f});
  const fs::path p = dir / "kept.GEO";
  testing_support::WriteFile(p, "old\r\n");
  harness.Answer("filedialog", p.string());
  harness.Answer("messagebox", "Yes");  // replace the existing file
  Press(1114);
  Type(kEasting, 2, 12345678.0f);  // beyond F10.2
  Press(1113);
  Press(2);
  EXPECT_EQ(Edit(rec), -1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("TRACE 2"), std::string::npos) << messages[0];
  EXPECT_EQ(messages[0].find("Saved"), std::string::npos) << messages[0];
  EXPECT_NE(testing_support::ReadFile(p), "old\r\n") << "the first save wrote it";
  const std::string first = testing_support::ReadFile(p);

  // A folder that does not exist: told by name, nothing said to be saved.
  messages.clear();
  const fs::path missing = dir / "no" / "such.GEO";
  harness.Answer("filedialog", missing.string());
  Press(1114);
  Press(2);
  EXPECT_EQ(Edit(rec), -1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(missing.string()), std::string::npos) << messages[0];
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(testing_support::ReadFile(p), first);
}

TEST_F(HeaderEditorTest, GeneratedLayouts) {
  const std::vector<std::int32_t> counts = {2, 2};
  const std::vector<float> spacings = {1.0f, 2.0f};
  struct Case {
    std::int32_t type;
    std::int32_t rows;
    std::vector<float> eastings;
  };
  const Case cases[] = {
      {2, 2, {0, 1, 2, 4, 6, 8, 10, 12, 14, 16, 17, 18}},
      {3, 2, {0, 1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20}},
      {1, 0, {0, 2.5, 5, 7.5, 10, 12.5, 15, 17.5, 20, 22.5, 25, 27.5}},
      {2, 0, {0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
      {3, 0, {0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    std::vector<float> x(12, -1.0f);
    x[0] = 0.0f;
    vel::GenerateLayout(x, c.type, 2.5f, counts, spacings, c.rows);
    EXPECT_EQ(x, c.eastings);
  }
  // Symmetric: an odd number of spacings keeps the centre at the last
  // spacing; a table longer than the spread stops where the ends meet.
  std::vector<float> x = {10, 0, 0, 0};
  vel::GenerateLayout(x, 2, 0, counts, spacings, 2);
  EXPECT_EQ(x, (std::vector<float>{10, 11, 13, 14}));
  const std::vector<std::int32_t> huge = {2147483647, 5};
  x = {0, 0, 0};
  vel::GenerateLayout(x, 3, 0, huge, spacings, 2);
  EXPECT_EQ(x, (std::vector<float>{0, 1, 2}));
  x = {0, 0, 0, 0};
  vel::GenerateLayout(x, 2, 0, std::vector<std::int32_t>{-3, 1}, spacings, 2);
  EXPECT_EQ(x, (std::vector<float>{0, 2, 4, 6}));
  x = {5};
  vel::GenerateLayout(x, 1, 3, counts, spacings, 2);
  EXPECT_EQ(x, (std::vector<float>{5}));
}

TEST_F(HeaderEditorTest, CreateGeometryFromTheLayoutDialog) {
  std::vector<float> twelve(12, 0.0f);
  std::vector<float> north(12, 3.0f);
  ShotRecord rec = Record(twelve, north);
  rec.GEOLOC[0] = 0.0f;
  constexpr int kLayout = vel::kGeophoneLayoutDialog;
  Press(1209);
  Press(1211, kLayout);  // symmetric tapered spread
  std::string label;
  Later(
      [&label] {
        label = Text(1216);
        tk::WGridPutCellInteger(vel::kLayoutGrid, 1, 1, 2);
        tk::WGridPutCellReal(vel::kLayoutGrid, 2, 1, 1.0f);
        tk::WGridPutCellInteger(vel::kLayoutGrid, 1, 2, 2);
        tk::WGridPutCellReal(vel::kLayoutGrid, 2, 2, 2.0f);
        tk::WGridPutCellInteger(vel::kLayoutGrid, 1, 3, 7);  // no spacing: the table ends
      },
      kLayout);
  Press(1, kLayout);
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_EQ(label, "Center of Spread^");
  EXPECT_EQ(rec.GEOLOC, (std::vector<float>{0, 1, 2, 4, 6, 8, 10, 12, 14, 16, 17, 18}));
  EXPECT_EQ(rec.GEOLOCY, north);
  const vel::HeaderEditorMemory& m = vel::HeaderEditorRemembered();
  EXPECT_EQ(m.layoutType, 2);
  EXPECT_EQ(m.spreadRows, 2);
  EXPECT_EQ(m.layoutSpacing, 3.0f) << "taken from the record's spacing";

  // The next opening shows the remembered type and table; as asymmetric.
  std::int32_t shownCount = 0;
  bool symmetricChecked = false;
  Press(1209);
  Later(
      [&] {
        symmetricChecked = Checked(1211);
        tk::WGridGetCellInteger(vel::kLayoutGrid, 1, 2, shownCount);
      },
      kLayout);
  Press(1212, kLayout);
  Later([&label] { label = Text(1216); }, kLayout);
  Press(1, kLayout);
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_TRUE(symmetricChecked);
  EXPECT_EQ(shownCount, 2);
  EXPECT_EQ(label, "End of Spread^");
  EXPECT_EQ(rec.GEOLOC, (std::vector<float>{0, 1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20}));

  // Constant spacing 2.5; Cancel in the layout dialog changes nothing.
  Press(1209);
  Press(1210, kLayout);
  Later([] { tk::WDialogPutString(1213, "2.5"); }, kLayout);
  Press(1, kLayout);
  Press(1209);
  Later([] { tk::WDialogPutString(1213, "100"); }, kLayout);
  Press(2, kLayout);
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_EQ(rec.GEOLOC,
            (std::vector<float>{0, 2.5, 5, 7.5, 10, 12.5, 15, 17.5, 20, 22.5, 25, 27.5}));
  EXPECT_EQ(m.layoutSpacing, 2.5f);
  EXPECT_EQ(m.spreadRows, 0) << "OK with constant spacing forgets the table";

  // A tapered spread with an empty table closes and changes nothing.
  Press(1209);
  Press(1212, kLayout);
  Later([] { tk::WGridPutCellInteger(vel::kLayoutGrid, 1, 1, 2); }, kLayout);
  Later([] { tk::WGridClearCell(vel::kLayoutGrid, 2, 1); }, kLayout);
  Press(1, kLayout);
  Press(1);
  const std::vector<float> before = rec.GEOLOC;
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_EQ(rec.GEOLOC, before);
}

// After the layout dialog the editor takes field changes again: a cell
// moved to then is the one Add To works on.
TEST_F(HeaderEditorTest, TheEditorTakesFieldChangesAgainAfterTheLayoutDialog) {
  ShotRecord rec = Record({0, 1, 2, 3});
  Press(1209);
  Press(2, vel::kGeophoneLayoutDialog);
  MoveTo(kEasting, 3);
  harness.Answer("dialog 118", "1062=100\npress 1");
  Press(1115);
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_EQ(rec.GEOLOC, (std::vector<float>{0, 1, 102, 103}));
  EXPECT_TRUE(messages.empty());
}

// A close request that ends the layout dialog ends the editor as Cancel.
TEST_F(HeaderEditorTest, ACloseRequestInTheLayoutDialogCancelsTheEditor) {
  ShotRecord rec = Record({0, 1, 2, 3});
  const ShotRecord before = rec;
  Press(1209);
  // The window system asks the main window to close (its frame is disabled
  // while the editor is up, so no user could).
  Later([] { plat::PostMessage(tk::WindowFrameHandle(tk::kMainWindow), plat::Msg::Close); },
        vel::kGeophoneLayoutDialog);
  EXPECT_EQ(Edit(rec), -1);
  EXPECT_EQ(rec.GEOLOC, before.GEOLOC);
}

TEST_F(HeaderEditorTest, ThePlainKeyboardEditorLoadsForAPositiveIndex) {
  ShotRecord rec = Record({0, 1});
  int shownDialog = 0;
  Later([&] { shownDialog = tk::CurrentDialog() ? tk::CurrentDialog()->rec.identifier : 0; },
        vel::kHeaderEditorPlainDialog);
  Type(kEasting, 2, 4.0f);
  Press(1, vel::kHeaderEditorPlainDialog);
  std::int32_t nav = 0;
  int ierr = 7;
  vel::HEADEDITDLG(rec, false, 1, nav, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(shownDialog, vel::kHeaderEditorPlainDialog);
  EXPECT_EQ(rec.GEOLOC[1], 4.0f) << "typed into the editor's own grid";
}

TEST_F(HeaderEditorTest, MoreTracesThanTheGridHolds) {
  std::vector<std::string> reports;
  tk::SetErrorDeliveryHook([&](int, const std::string& r) { reports.push_back(r); });
  tk::ErrorReportModeSet(tk::kReportStatusBar);
  std::vector<float> east(10005);
  for (std::size_t j = 0; j < east.size(); ++j) east[j] = static_cast<float>(j);
  ShotRecord rec = Record(east);
  std::vector<float> shown;
  LookAtColumn(kEasting, shown, 10005);
  Type(kEasting, 10000, -1.0f);
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_EQ(shown.size(), 10000u);
  EXPECT_EQ(shown.back(), 9999.0f);
  EXPECT_EQ(rec.GEOLOC[9999], -1.0f);
  EXPECT_EQ(rec.GEOLOC[10000], 10000.0f);
  EXPECT_EQ(rec.GEOLOC[10004], 10004.0f);
  EXPECT_EQ(rec.GOFF[10004], 10004.0f);
  for (const std::string& r : reports) EXPECT_EQ(r.find("1018"), std::string::npos) << r;

  // A geometry file reaches the receivers beyond the grid.
  std::string text;
  for (int j = 0; j < 10005; ++j) text += "      1.00      2.00      3.00\r\n";
  testing_support::WriteFile(dir / "big.GEO", text);
  harness.Answer("filedialog", (dir / "big.GEO").string());
  Press(1112);
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  EXPECT_EQ(rec.GEOLOC[10004], 1.0f);
  EXPECT_EQ(rec.GEOLOCY[10004], 3.0f);
}

// The columns take the editor's "(F9.1)" for good: a value too wide for it
// shows as stars, also after Open Geometry puts without a format.
TEST_F(HeaderEditorTest, TheGridColumnsKeepTheEditorsFormat) {
  ShotRecord rec = Record({12345678.0f, 1.0f});
  testing_support::WriteFile(dir / "g.GEO", "123456789\r\n");
  std::string before(20, ' '), after(20, ' ');
  Later([&] { tk::WGridGetCellString(kGrid, kEasting, 1, before); });
  harness.Answer("filedialog", (dir / "g.GEO").string());
  Press(1112);
  Type(kEasting, 2, 12345678.0f);
  Later([&] { tk::WGridGetCellString(kGrid, kEasting, 2, after); });
  Press(2);
  EXPECT_EQ(Edit(rec), -1);
  EXPECT_EQ(plat::TrimRight(before), "*********");
  EXPECT_EQ(plat::TrimRight(after), "*********");
}

TEST_F(HeaderEditorTest, CoordinateScalarsOfTheStoredHeaders) {
  struct Case {
    std::int16_t scalar;
    std::int32_t stored;
  };
  for (const Case& c : {Case{-100, 130000}, Case{0, 1300}, Case{10, 130}}) {
    SCOPED_TRACE(c.scalar);
    ShotRecord rec = Record({0, 10});
    rec.ISEGYTRH.assign(2, vel::SegyTraceHeader{});
    for (auto& h : rec.ISEGYTRH) vel::SegyPut(h, vel::segy_trc::kCoordinateScalar, c.scalar);
    rec.LSEGYHDR = true;
    rec.TUPHOLE = 40.0f;  // 40000 microseconds: beyond the 16-bit field
    messages.clear();
    Type(kEasting, 1, 1300.0f);
    Press(1);
    EXPECT_EQ(Edit(rec), 0);
    EXPECT_EQ(vel::SegyTrcI32(rec.ISEGYTRH[0], 81), c.stored);
    EXPECT_EQ(vel::SegyTrcI16(rec.ISEGYTRH[0], 95), 32767);
    ASSERT_EQ(messages.size(), 1u) << "one warning for the record";
    ShotRecord back = rec;
    vel::ApplySegyTraceHeader(back, 1, rec.ISEGYTRH[0]);
    EXPECT_EQ(back.GEOLOC[0], 1300.0f);
  }
}

// A public SEG-Y record read with its headers, its coordinate scalar set to
// -100: an edited receiver easting reaches bytes 81-84 of the file written,
// and segyio reads it back through the scalar.
TEST_F(HeaderEditorTest, AnEditedEastingReachesTheSegyFileWritten) {
  SKIP_WITHOUT_SHARED_DATA();
  const fs::path src = testing_support::SharedData() / "segyio/small.sgy";
  std::string bytes = testing_support::ReadFile(src);
  ASSERT_GT(bytes.size(), 3600u + 240u);
  const std::int32_t samples =
      (static_cast<unsigned char>(bytes[3220]) << 8) | static_cast<unsigned char>(bytes[3221]);
  const std::size_t traceBytes = 240 + 4 * static_cast<std::size_t>(samples);
  for (std::size_t at = 3600; at + traceBytes <= bytes.size(); at += traceBytes) {
    bytes[at + 70] = static_cast<char>(0xFF);  // -100, big-endian
    bytes[at + 71] = static_cast<char>(0x9C);
  }
  const fs::path copy = dir / "scaled.sgy";
  testing_support::WriteFile(copy, bytes);
  ShotRecord rec;
  int recno = 1;
  int error = 0;
  vel::SEGYIN(rec, copy.string(), recno, error, {});
  ASSERT_EQ(error, 0);
  ASSERT_TRUE(rec.LSEGYHDR);
  Type(kEasting, 1, 1300.0f);
  Press(1);
  EXPECT_EQ(Edit(rec), 0);
  const fs::path out = dir / "out.sgy";
  vel::SegyOutOptions o;
  o.format = vel::kSegyIeeeFloat;
  vel::SEGYOUT(rec, out.string(), o, error);
  ASSERT_EQ(error, 0);
  const std::string written = testing_support::ReadFile(out);
  ASSERT_GT(written.size(), 3600u + 84u);
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(written[3600 + i]); };
  const std::int32_t x =
      static_cast<std::int32_t>((byte(80) << 24) | (byte(81) << 16) | (byte(82) << 8) | byte(83));
  EXPECT_EQ(x, 130000);
  if (!segy_test::SegyioAvailable()) GTEST_SKIP() << "segyio not available";
  const segy_test::SegyioRead r =
      segy_test::ReadWithSegyio(out, false, {"GroupX", "SourceGroupScalar"});
  ASSERT_TRUE(r.ok);
  ASSERT_FALSE(r.fields.at("GroupX").empty());
  EXPECT_EQ(r.fields.at("GroupX")[0], 130000);
  EXPECT_EQ(r.fields.at("SourceGroupScalar")[0], -100);
  EXPECT_DOUBLE_EQ(static_cast<double>(r.fields.at("GroupX")[0]) /
                       -static_cast<double>(r.fields.at("SourceGroupScalar")[0]),
                   1300.0);
}

TEST_F(HeaderEditorTest, EditShotHeaderCommand) {
  vel::Velloran app;
  vel::EditShotHeaderCommand(app);
  EXPECT_EQ(messages, (std::vector<std::string>{"PLEASE LOAD TRACES FIRST"}));
  app.loaded = true;
  app.record = Record({0, 4});
  Later([] { tk::WDialogPutString(1102, "8"); });
  Press(1);
  vel::EditShotHeaderCommand(app);
  EXPECT_EQ(app.record.ISHOT, 8);
  EXPECT_FLOAT_EQ(app.record.SPACING, 4.0f);
}

}  // namespace
