// Line colouring, checked by the pixels of the headless screen.
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "platform/controls/RichEdit.h"
#include "tests/toolkit/editor/EditorTestSupport.h"
#include "toolkit/editor/EditorColour.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk::testing {
namespace {

class EditorColourTest : public EditorWindowFixture {
 protected:
  void SetUp() override {
    EditorWindowFixture::SetUp();
    WindowOpenChild(window, 7, 10, 10, 400, 200, 0, {}, 0, "Coloured");
    int status = -1;
    EditorMode mode = EditorMode::Modeless;
    EditorOpen(status, mode, 0, kEditorNoToolbar | kEditorNoMenu, 4, 12, -1, {}, {});
    rec = CurrentEditor();
    ASSERT_NE(rec, nullptr);
    plat::RichEditReplaceSel(rec->textControl, "abc\tdef\rsecond line", true);
    EditorColourOn();
  }
  void TearDown() override {
    SetEditorColourHook({});
    EditorWindowFixture::TearDown();
  }

  /// How many pixels of the text control show colour P.
  int Count(plat::Pixel p) {
    plat::InvalidateRect(rec->textControl, std::nullopt, true);
    harness.DispatchPending();
    const plat::Hwnd top = plat::GetTopLevel(rec->textControl);
    const plat::Surface* shown = harness.Shown(top);
    if (shown == nullptr) return -1;
    const plat::Point o = plat::ClientToScreen(rec->textControl, {0, 0});
    const plat::Point t = plat::ClientToScreen(top, {0, 0});
    const plat::Rect r = plat::GetClientRect(rec->textControl).Offset(o.x - t.x, o.y - t.y);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += shown->Get(x, y) == p ? 1 : 0;
    return n;
  }

  int window = 0;
  EditorRecord* rec = nullptr;
};

constexpr plat::Pixel kRed = plat::Rgb(255, 0, 0);

TEST_F(EditorColourTest, TheDefaultHookPaintsWindowTextAndTheSelectionOnlyAtTabsAndLineEnds) {
  EXPECT_TRUE(rec->colouring);
  EXPECT_GT(Count(plat::kColourText), 0);
  EXPECT_EQ(Count(plat::kColourSelection), 0);
  EXPECT_EQ(Count(kRed), 0);
  // Letters alone selected: nothing shows.
  plat::RichEditSetSel(rec->textControl, 0, 2);
  EXPECT_EQ(Count(plat::kColourSelection), 0);
  // A selected tab shows; so does a selected line end.
  plat::RichEditSetSel(rec->textControl, 2, 4);
  const int tab = Count(plat::kColourSelection);
  EXPECT_GT(tab, 0);
  plat::RichEditSetSel(rec->textControl, 6, 8);
  EXPECT_GT(Count(plat::kColourSelection), 0);
  // The whole text selected shows in the highlight colours.
  plat::RichEditSetSel(rec->textControl, 0, -1);
  EXPECT_GT(Count(plat::kColourSelection), 4 * tab);
}

TEST_F(EditorColourTest, AHookRangePaintsItsColourAndMinusOneTheHighlight) {
  struct Seen {
    int window, first, last;
    std::string line;
  };
  std::vector<Seen> seen;
  int colour = 255;
  SetEditorColourHook([&](int w, int first, int last, int max, int* ends, int* starts,
                          int* colours, int& count, std::string_view line) {
    seen.push_back({w, first, last, std::string(line)});
    EXPECT_EQ(max, kEditorColourRanges);
    starts[0] = 1;
    ends[0] = static_cast<int>(line.size());
    colours[0] = colour;
    count = 1;
  });
  plat::RichEditSetSel(rec->textControl, 1, 2);
  EXPECT_GT(Count(kRed), 0);
  EXPECT_EQ(Count(plat::kColourText), 0);
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0].window, window);
  EXPECT_EQ(seen[0].line, "abc\tdef");
  EXPECT_EQ(seen[0].first, 2);
  EXPECT_EQ(seen[0].last, 2);
  EXPECT_EQ(seen[1].line, "second line");
  EXPECT_EQ(seen[1].first, -1);
  // Colour -1 paints the range in the highlight colours.
  colour = -1;
  EXPECT_GT(Count(plat::kColourSelection), 0);
  EXPECT_EQ(Count(kRed), 0);
}

TEST_F(EditorColourTest, HostileRangesAreKeptInsideTheLine) {
  SetEditorColourHook([](int, int, int, int, int* ends, int* starts, int* colours, int& count,
                         std::string_view) {
    starts[0] = -50;
    ends[0] = 1000;
    colours[0] = 255;
    starts[1] = 3;  // overlaps the first
    ends[1] = 2;
    colours[1] = -1;
    count = 5000;
  });
  EXPECT_GT(Count(kRed), 0);
}

}  // namespace
}  // namespace tk::testing
