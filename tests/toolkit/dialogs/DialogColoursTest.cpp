// Fields painted in the colours of their dialog's extras.
#include <gtest/gtest.h>

#include <map>

#include "platform/controls/Controls.h"
#include "platform/window/Window.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"

namespace tk {
namespace {

using testing::DialogTest;

class DialogColoursTest : public DialogTest {
 protected:
  /// How many pixels of each colour field ID shows.
  static std::map<plat::Pixel, int> Colours(int id) {
    const plat::PaintContext ctx = plat::GetDrawContext(Field(id));
    const plat::Rect r = plat::GetClientRect(Field(id));
    std::map<plat::Pixel, int> count;
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x)
        ++count[ctx.surface->Get(ctx.origin.x + x, ctx.origin.y + y) & 0xFFFFFF];
    return count;
  }
};

// The SEG-Y output dialog: its warning red on yellow, its hint blue on the
// dialog's grey, the other fields as always.
TEST_F(DialogColoursTest, SegyOutputWarningReadsRedOnYellow) {
  WDialogLoad(124);
  WDialogShow(-1, -1, 0, kShowModeless);
  harness.DispatchPending();
  ASSERT_EQ(LastError(), 0);
  const plat::Pixel red = plat::Rgb(255, 0, 0) & 0xFFFFFF, yellow = plat::Rgb(255, 255, 0) & 0xFFFFFF;
  const plat::Pixel blue = plat::Rgb(0, 0, 255) & 0xFFFFFF, black = plat::kColourText & 0xFFFFFF;
  const plat::Pixel face = plat::kColourFace & 0xFFFFFF;

  ASSERT_EQ(plat::GetWindowText(Field(1030)), "Note: 32-bit IBM Float must be Big Endian!");
  std::map<plat::Pixel, int> warning = Colours(1030);
  EXPECT_GT(warning[red], 20);
  EXPECT_GT(warning[yellow], warning[red]);
  EXPECT_EQ(warning[black], 0);
  EXPECT_EQ(warning[face], 0);

  std::map<plat::Pixel, int> hint = Colours(1013);
  EXPECT_GT(hint[blue], 20);
  EXPECT_GT(hint[face], hint[blue]);
  EXPECT_EQ(hint[black], 0);

  std::map<plat::Pixel, int> radio = Colours(1173);  // no colours of its own
  EXPECT_GT(radio[black], 20);
  EXPECT_EQ(radio[red] + radio[yellow] + radio[blue], 0);
}

// Which colours a field gets from its text and background colours: the one
// not given is the system's, by the kind of field.
TEST_F(DialogColoursTest, TheColourNotGivenIsTheSystemsForTheKindOfField) {
  WDialogLoad(901);
  LoadedDialog* d = CurrentDialog();
  ASSERT_NE(d, nullptr);
  constexpr std::int32_t kGreen = 0x00FF00, kNavy = 0x800000;  // red + 256 green + 65536 blue
  struct Case {
    int field;
    std::int32_t text, background;
    bool answered;
    plat::Pixel wantText, wantBackground;
  };
  const Case cases[] = {
      {1001, kGreen, -1, true, plat::Rgb(0, 255, 0), plat::kColourWindow},  // an edit
      {1004, kGreen, -1, true, plat::Rgb(0, 255, 0), plat::kColourFace},    // a button
      {1008, -1, kNavy, true, plat::kColourText, plat::Rgb(0, 0, 128)},     // a static
      {1008, -1, -1, false, plat::Rgb(1, 2, 3), plat::Rgb(4, 5, 6)},        // none: as offered
  };
  for (const Case& c : cases) {
    DialogField* f = FindField(*d, c.field);
    ASSERT_NE(f, nullptr);
    f->rec.textColour = c.text;
    f->rec.backgroundColour = c.background;
    plat::ControlColours colours{f->hwnd, plat::Rgb(1, 2, 3), plat::Rgb(4, 5, 6)};
    EXPECT_EQ(plat::SendMessage(d->hwnd, plat::Msg::CtlColourStatic, 0,
                                reinterpret_cast<plat::LParam>(&colours)),
              c.answered ? 1 : 0)
        << c.field;
    EXPECT_EQ(colours.text, c.wantText) << c.field;
    EXPECT_EQ(colours.background, c.wantBackground) << c.field;
  }
  // A window inside a field (the edit part of a combo box) gets the field's.
  DialogField* edit = FindField(*d, 1001);
  edit->rec.textColour = kGreen;
  edit->rec.backgroundColour = -1;
  const plat::Hwnd part = plat::CreateWindow(
      {.className = plat::kStaticClass, .style = plat::kStyleChild, .parent = edit->hwnd});
  ASSERT_NE(part, plat::kNoWindow);
  plat::ControlColours inner{part, plat::Rgb(1, 2, 3), plat::Rgb(4, 5, 6)};
  EXPECT_TRUE(DialogControlColours(d->hwnd, plat::Msg::CtlColourEdit, inner, part));
  EXPECT_EQ(inner.text, plat::Rgb(0, 255, 0));
  EXPECT_EQ(inner.background, plat::kColourWindow);
  plat::DestroyWindow(part);

  // A window that is no field of the dialog gets nothing.
  plat::ControlColours stranger{DialogWindow(), plat::Rgb(1, 2, 3), plat::Rgb(4, 5, 6)};
  EXPECT_FALSE(DialogControlColours(d->hwnd, plat::Msg::CtlColourEdit, stranger, plat::kNoWindow));
  EXPECT_EQ(stranger.text, plat::Rgb(1, 2, 3));
}

}  // namespace
}  // namespace tk
