#pragma once
// Grid templates shaped like the program's grids, and a fixture that loads
// them on the headless window system with the grid classes registered.
#include <gtest/gtest.h>

#include <string>

#include "resources/ResourceFormat.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"
#include "toolkit/core/Events.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/grid/GridModel_p.h"

namespace tk::testing {

/// 950 like the Shot Header Editor (grid 1107 on column template 951: an
/// integer "Number" column, read-only, and three real columns "(f11.1)");
/// 952 like the geophone layout (grid 1214 with 60 labelled rows, template
/// 953); 954 a grid of every column type (template 955); 956 a grid naming
/// a template that does not exist; 957 a grid whose labels start empty;
/// 958 a grid keeping its template height; 959 a grid of 100000 rows; 960 a
/// grid narrower than its columns; 961 a grid with its own colours.
inline constexpr std::string_view kGridDialogs = R"(dialog 950 popup
  caption "Shot Header Editor"
  rect 0 0 300 220
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control JQXGRID 1107 5 5 260 150 "" WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | 0xD280
  control BUTTON 1 10 190 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
  extras
[Grids] 
 1107     4 10000   951 
  end
end
dialog 951 popup
  rect 0 0 250 40
  control INTEGEREDIT 3001 0 0 40 12 "Number" ES_READONLY | ES_RIGHT | WS_VISIBLE | WS_BORDER
  control REALEDIT 3002 40 0 60 12 "Easting" ES_RIGHT | WS_VISIBLE | WS_BORDER
  control REALEDIT 3003 100 0 60 12 "Northing" ES_RIGHT | WS_VISIBLE | WS_BORDER
  control REALEDIT 3004 160 0 60 12 "Elevation" ES_RIGHT | WS_VISIBLE | WS_BORDER
  extras
[Formats] 
 3002 (f11.1) 
 3003 (f11.1) 
 3004 (f11.1) 
  end
end
dialog 952 popup
  caption "Geophone layout"
  rect 0 0 200 200
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control JQXGRID 1214 5 5 150 120 "" WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | 0xD600
  extras
[Grids] 
 1214     2    60   953 
   20 
@LABELS@  end
end
dialog 953 popup
  rect 0 0 150 40
  control INTEGEREDIT 3101 0 0 50 12 "No. Spacings" WS_VISIBLE | WS_BORDER
  control REALEDIT 3102 50 0 50 12 "Spacing" WS_VISIBLE | WS_BORDER
  extras
[Formats] 
 3102 (f10.1) 
  end
end
dialog 954 popup
  rect 0 0 300 200
  control JQXGRID 1300 5 5 280 150 "" WS_VISIBLE | WS_VSCROLL | 0x0200
  extras
[Grids] 
 1300     6    5   955 
  end
end
dialog 955 popup
  rect 0 0 300 40
  control EDIT 3201 0 0 40 12 "Text" WS_VISIBLE | WS_BORDER
  control EDIT 3202 40 0 40 12 "Short" WS_VISIBLE | WS_BORDER
  control COMBOBOX 3203 80 0 40 60 "Kind" CBS_DROPDOWNLIST | WS_VISIBLE
  control BUTTON 3204 120 0 30 12 "On" BS_AUTOCHECKBOX | WS_VISIBLE
  control DOUBLEEDIT 3205 150 0 50 12 "Depth" WS_VISIBLE | WS_BORDER
  control REALEDIT 3206 200 0 50 12 "Gain" WS_VISIBLE | WS_BORDER
  extras
[Lengths] 
 3202 20 
[Menus] 
 3203 3 2 
Geophone 
Hydrophone 
Accelerometer 
[Ranges] 
 3206 0 2 
  end
end
dialog 956 popup
  rect 0 0 200 150
  control JQXGRID 1400 5 5 150 100 "" WS_VISIBLE | 0x0200
  extras
[Grids] 
 1400     2    5   999 
  end
end
dialog 957 popup
  rect 0 0 200 150
  control JQXGRID 1500 5 5 150 100 "" WS_VISIBLE | 0x0480
  control EDIT 1501 5 120 60 12 "" WS_VISIBLE | WS_BORDER
  extras
[Grids] 
 1500     2    4   953 
   30 
[Lengths] 
 1501 7 
  end
end
dialog 958 popup
  rect 0 0 300 200
  control JQXGRID 1800 5 5 280 101 "" WS_VISIBLE | WS_VSCROLL | 0x0300
  extras
[Grids] 
 1800     6    5   955 
  end
end
dialog 959 popup
  rect 0 0 300 200
  control JQXGRID 1600 5 5 200 150 "" WS_VISIBLE | WS_VSCROLL | 0x0200
  extras
[Grids] 
 1600     2 100000   953 
  end
end
dialog 960 popup
  rect 0 0 300 200
  control JQXGRID 1900 5 5 40 100 "" WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | 0x0200
  extras
[Grids] 
 1900     6    5   955 
  end
end
dialog 961 popup
  rect 0 0 300 200
  control JQXGRID 1700 5 5 280 150 "" WS_VISIBLE | WS_VSCROLL | 0x0200
  extras
[Grids] 
 1700     6    5   955 
[Colours] 
 1700 255 0 0 0 0 255 
  end
end
)";

/// The grid templates above with the geophone layout's 60 row labels.
inline std::string GridDialogsText() {
  std::string text(kGridDialogs);
  std::string labels;
  for (int i = 1; i <= 60; ++i) labels += std::to_string(i) + " \n";
  text.replace(text.find("@LABELS@"), 8, labels);
  return text;
}

class GridTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    RegisterGridClasses();
    res::ResourceSet set;
    res::ResourceError error;
    const std::string text = GridDialogsText();
    ASSERT_TRUE(res::ParseResourceText("grid-dialogs", text, set, error)) << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
  }

  static std::string GridDialogsText() { return testing::GridDialogsText(); }

  /// Loads and shows DIALOG modelessly with the focus in grid FIELD.
  GridRecord& Open(int dialog, int field) {
    WDialogLoad(dialog);
    WDialogShow(0, 0, 0, kShowModeless);
    harness.DispatchPending();
    GridRecord& g = Grid(field);
    plat::SetFocus(g.window);
    harness.DispatchPending();
    Drain();
    return g;
  }
  /// Takes every event waiting.
  void Drain() {
    int type = 0;
    EventRecord r;
    for (int i = 0; i < 50; ++i) {
      WEventPeek(type, r);
      if (type == kEventNone) return;
    }
  }
  /// The record of grid FIELD of the current dialog.
  static GridRecord& Grid(int field) {
    GridRecord* g = FindGrid(field);
    EXPECT_NE(g, nullptr) << "grid " << field;
    static GridRecord none;
    return g ? *g : none;
  }
};

}  // namespace tk::testing
