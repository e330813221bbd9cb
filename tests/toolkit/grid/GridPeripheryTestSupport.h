#pragma once
// Grids for the file, sort, find and attribute tests: 970 a grid of a text,
// an integer, a check-box and an option column with column headers (template
// 971, capacity 10); 972 a one-cell text grid without headers or labels
// (template 973); 974 a labelled grid with headers of a text, a real and a
// double column (template 975, 8 rows); 976 a grid of a right-aligned text
// column of 20 characters, an INTEGERSPIN column, a REALSPIN column and a
// DOUBLESPIN column (template 977).
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "tests/toolkit/grid/GridTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/grid/GridValues_p.h"

namespace tk::testing {

inline constexpr std::string_view kPeripheryDialogs = R"(dialog 970 popup
  rect 0 0 300 200
  control JQXGRID 2000 5 5 280 150 "" WS_VISIBLE | WS_VSCROLL | 0x0200
  extras
[Grids] 
 2000     4   10   971 
  end
end
dialog 971 popup
  rect 0 0 300 40
  control EDIT 3301 0 0 60 12 "Name" WS_VISIBLE | WS_BORDER
  control INTEGEREDIT 3302 60 0 40 12 "Count" WS_VISIBLE | WS_BORDER
  control BUTTON 3303 100 0 30 12 "On" BS_AUTOCHECKBOX | WS_VISIBLE
  control COMBOBOX 3304 130 0 60 60 "Kind" CBS_DROPDOWNLIST | WS_VISIBLE
  extras
[Menus] 
 3304 3 0 
Geophone 
Hydrophone 
Accelerometer 
  end
end
dialog 972 popup
  rect 0 0 200 100
  control JQXGRID 2100 5 5 150 60 "" WS_VISIBLE
  extras
[Grids] 
 2100     1    1   973 
  end
end
dialog 973 popup
  rect 0 0 100 40
  control EDIT 3401 0 0 60 12 "" WS_VISIBLE | WS_BORDER
  extras
  end
end
dialog 974 popup
  rect 0 0 300 200
  control JQXGRID 2200 5 5 280 150 "" WS_VISIBLE | WS_VSCROLL | 0x0600
  extras
[Grids] 
 2200     3    8   975 
   20 
r1 
r2 
r3 
r4 
r5 
r6 
r7 
r8 
  end
end
dialog 975 popup
  rect 0 0 300 40
  control EDIT 3501 0 0 60 12 "Word" WS_VISIBLE | WS_BORDER
  control REALEDIT 3502 60 0 60 12 "Value" ES_RIGHT | WS_VISIBLE | WS_BORDER
  control DOUBLEEDIT 3503 120 0 60 12 "" WS_VISIBLE | WS_BORDER
  extras
  end
end
dialog 976 popup
  rect 0 0 300 200
  control JQXGRID 2300 5 5 280 150 "" WS_VISIBLE | WS_VSCROLL | 0x0200
  extras
[Grids] 
 2300     4    5   977 
  end
end
dialog 977 popup
  rect 0 0 300 40
  control EDIT 3601 0 0 60 12 "Right" ES_RIGHT | WS_VISIBLE | WS_BORDER
  control INTEGERSPIN 3602 60 0 50 12 "Spin" WS_VISIBLE | WS_BORDER
  control REALSPIN 3603 120 0 50 12 "Real spin" WS_VISIBLE | WS_BORDER
  control DOUBLESPIN 3604 180 0 50 12 "Double spin" WS_VISIBLE | WS_BORDER
  extras
[Lengths] 
 3601 20 
  end
end
)";

class GridPeripheryTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("grid-periphery", kPeripheryDialogs, set, error))
        << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
    ErrorState().reportMode = kReportStatusBar;
    SetErrorDeliveryHook([this](int, const std::string& report) {
      std::smatch m;
      static const std::regex kReport(R"(Routine:\s*(\S+)\s+Error=\s*(\d+))");
      reports_.push_back(std::regex_search(report, m, kReport) ? m[1].str() + " " + m[2].str()
                                                               : report);
    });
  }
  void TearDown() override {
    SetErrorDeliveryHook(nullptr);
    GridTest::TearDown();
  }

  /// The reports made since the last call, as "routine code".
  std::vector<std::string> TakeReports() {
    std::vector<std::string> r;
    r.swap(reports_);
    return r;
  }

  /// Stores TEXT into string cell (COLUMN, ROW), both from 1.
  static void PutText(int field, int column, int row, std::string_view text) {
    int f = field;
    GridStoreCellValue(f, column - 1, row - 1, 0.0, text, "");
    EXPECT_EQ(f, field);
  }
  /// The text of any cell (from 1) as the grid shows it in a file.
  static std::string Cell(int field, int column, int row) {
    const GridRecord* g = FindGrid(field);
    return g ? GridCellText(*g, column - 1, row - 1, 0) : "<no grid>";
  }
  /// Rows 1..N of FIELD, cells joined by "|".
  static std::vector<std::string> Rows(int field, int n) {
    std::vector<std::string> rows;
    const GridRecord* g = FindGrid(field);
    for (int r = 1; r <= n; ++r) {
      std::string line;
      for (int c = 1; g && c <= g->columnCount; ++c) line += (c > 1 ? "|" : "") + Cell(field, c, r);
      rows.push_back(line);
    }
    return rows;
  }

  testing_support::TempDir dir_;

 private:
  std::vector<std::string> reports_;
};

}  // namespace tk::testing
