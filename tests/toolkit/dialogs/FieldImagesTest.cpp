// Field images: a bitmap resource and a memory bitmap shown on a push button (its background
// blended into the button face) and on a static field; the failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/window/Window.h"
#include "tests/toolkit/dialogs/DialogTestSupport.h"
#include "toolkit/core/Menus.h"
#include "toolkit/dialogs/DialogLists.h"
#include "toolkit/dialogs/FieldImages.h"
#include "toolkit/graphics/BitmapStore.h"
#include "toolkit/hardcopy/MetafileDriver.h"
#include "toolkit/hardcopy/MetafileRecord.h"
#include "tests/TestSupport.h"

namespace tk {
namespace {

constexpr std::string_view kImageDialog = R"(dialog 921 popup
  caption "Images"
  rect 0 0 200 120
  style WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
  control BUTTON 1401 10 10 60 30 "" BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP
  control STATIC 1402 100 10 60 30 "" SS_LEFT | WS_VISIBLE
  control EDIT 1403 10 60 60 12 "" WS_VISIBLE | WS_TABSTOP | WS_BORDER
  control BUTTON 1 10 95 50 14 "OK" BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP
end
)";

class FieldImagesTest : public testing::DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    res::ResourceSet set;
    res::ResourceError error;
    ASSERT_TRUE(res::ParseResourceText("image-dialog", kImageDialog, set, error)) << error.Text();
    for (const res::DialogTemplate& t : set.dialogs) AddDialogTemplate(t);
    WDialogLoad(921);
    ASSERT_EQ(LastError(), 0);
    BitmapStoreClear();
    // Slot 1: 12 x 8, a red frame of one pixel round blue.
    int slot = 0, status = 0;
    BitmapCreate(slot, 12, 8, 0x0000FF);
    ASSERT_EQ(slot, 1);
    std::vector<std::int32_t> blue(10 * 6, 0xFF0000);
    BitmapPutPixels(0, blue, 1, 1, 10, 6, status);
  }
  void TearDown() override {
    BitmapStoreClear();
    DialogTest::TearDown();
  }
  // The pixel the screen shows at the centre of FIELD, or at client point
  // (DX, DY) when CENTRE is false.
  plat::Pixel ShownAt(int field, int dx = 0, int dy = 0, bool centre = true) {
    harness.DispatchPending();
    plat::FlushDrawing();
    const plat::Hwnd top = DialogWindow();
    const plat::Hwnd h = Field(field);
    const plat::Rect r = plat::GetClientRect(h);
    const plat::Point c = plat::ScreenToClient(
        top, plat::ClientToScreen(h, centre ? plat::Point{(r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2 + dy}
                                : plat::Point{dx, dy}));
    const plat::Surface* s = harness.Shown(top);
    return s ? s->Get(c.x, c.y) : 0;
  }
};

TEST_F(FieldImagesTest, MemoryBitmapOnButtonAndStatic) {
  EXPECT_EQ(FieldImage(1401, kFieldImageMemoryBitmap, 1), 0);
  EXPECT_EQ(FieldImage(1402, kFieldImageMemoryBitmap, 1), 0);
  EXPECT_NE(plat::GetStyle(Field(1401)) & plat::kBsBitmap, 0u);
  EXPECT_EQ(plat::GetStyle(Field(1402)) & plat::kSsTypeMask, plat::kSsBitmap);
  WDialogShow(-1, -1, 0, kShowModeless);
  harness.DispatchPending();
  EXPECT_EQ(ShownAt(1401), plat::Rgb(0, 0, 255));
  // The static shows it from its top-left corner, frame and all.
  EXPECT_EQ(ShownAt(1402, 5, 4, false), plat::Rgb(0, 0, 255));
  EXPECT_EQ(ShownAt(1402, 0, 0, false), plat::Rgb(255, 0, 0));
  // The bitmap kept its own red frame: the copy on the button was blended.
  std::vector<std::int32_t> corner(1);
  int status = -1;
  BitmapGetPixels(0, corner, 0, 0, 0, 0, status);
  EXPECT_EQ(corner[0], 0x0000FF);
}

TEST_F(FieldImagesTest, BitmapResourceOnStaticAndButton) {
  const std::shared_ptr<plat::Surface> strip = LoadBitmapResource(30102);
  ASSERT_TRUE(strip);
  EXPECT_EQ(FieldImage(1402, kFieldImageBitmap, 30102), 0);
  EXPECT_EQ(FieldImage(1401, kFieldImageBitmap, 30102), 0);
  EXPECT_NE(plat::GetStyle(Field(1401)) & plat::kBsBitmap, 0u);
  WDialogShow(-1, -1, 0, kShowModeless);
  harness.DispatchPending();
  // The static shows the strip from its top-left corner.
  int compared = 0;
  for (int y = 0; y < std::min(strip->Height(), 12); ++y)
    for (int x = 0; x < std::min(strip->Width(), 40); ++x, ++compared)
      ASSERT_EQ(ShownAt(1402, x, y, false), strip->Get(x, y)) << x << "," << y;
  EXPECT_GT(compared, 0);
}

TEST_F(FieldImagesTest, ProgramIconOnStaticAndButton) {
  EXPECT_EQ(FieldImage(1402, kFieldImageIcon, 0), 0);
  EXPECT_EQ(FieldImage(1401, kFieldImageIcon, 0), 0);
  EXPECT_NE(plat::GetStyle(Field(1401)) & plat::kBsBitmap, 0u);
  const std::shared_ptr<const plat::Surface> shown = plat::StaticGetImage(Field(1402));
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->Width(), 32);
  EXPECT_EQ(shown->Height(), 32);
  EXPECT_EQ(FieldImage(1402, kFieldImageIcon, 7), kOpNotFound);  // no icon of that number
}

TEST_F(FieldImagesTest, Failures) {
  EXPECT_EQ(FieldImage(1403, kFieldImageMemoryBitmap, 1), kOpMissing);  // an edit field
  EXPECT_EQ(FieldImage(1499, kFieldImageMemoryBitmap, 1), kOpMissing);
  EXPECT_EQ(FieldImage(1401, kFieldImageMemoryBitmap, 2), kOpNotFound);  // a free slot
  EXPECT_EQ(FieldImage(1401, kFieldImageMemoryBitmap, 0), kOpNotFound);
  EXPECT_EQ(FieldImage(1401, kFieldImageBitmap, 1), kOpNotFound);
}

TEST_F(FieldImagesTest, MetafileSlotOnStatic) {
  // A 40 x 30 enhanced metafile, green all over, loaded into slot 1.
  EmfReference ref{1920, 1440, 508, 381, 96};
  auto rec = MetafileRecorder::Enhanced(ref, {0, 0, 40 * 2540 / 96, 30 * 2540 / 96}, "", 0, 0);
  rec->SetPen(plat::Pen::None());
  rec->SetBrush(plat::Brush::Solid(plat::Rgb(0, 200, 0)));
  rec->Rectangle({0, 0, 41, 31});
  const std::vector<std::uint8_t>& bytes = rec->Close();
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "green.emf", std::string(bytes.begin(), bytes.end()));
  ConnectMetafileSlots();
  int error = -1, system = 0;
  EmfLoad(0, static_cast<std::int64_t>(bytes.size()), error, system, (dir / "green.emf").string());
  ASSERT_EQ(error, 0);
  EXPECT_EQ(FieldImage(1402, kFieldImageMetafile, 1), 0);
  EXPECT_EQ(FieldImage(1401, kFieldImageMetafile, 2), kOpNotFound);  // a free slot
  WDialogShow(-1, -1, 0, kShowModeless);
  harness.DispatchPending();
  EXPECT_EQ(ShownAt(1402, 5, 4, false), plat::Rgb(0, 200, 0));
  MetafileDriverReset();
}

TEST(BlendBitmapTest, TopLeftColourBecomesTheButtonFace) {
  plat::Surface s(3, 2, plat::Rgb(1, 2, 3));
  s.Set(1, 1, plat::Rgb(9, 9, 9));
  BlendBitmapToButtonFace(s);
  EXPECT_EQ(s.Get(0, 0), plat::kColourFace);
  EXPECT_EQ(s.Get(2, 1), plat::kColourFace);
  EXPECT_EQ(s.Get(1, 1), plat::Rgb(9, 9, 9));
  plat::Surface empty;
  BlendBitmapToButtonFace(empty);
}

}  // namespace
}  // namespace tk
