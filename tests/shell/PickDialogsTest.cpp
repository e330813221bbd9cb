// The wavelet-options dialog and the four training dialogs of the picking
// module, on a headless main window with the program's own templates.
#include <string>

#include "shell/PickDialogs.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "toolkit/dialogs/Dialogs.h"

namespace {

using app_dialog_test::AppDialogTest;
using vel::PickTrainingRanges;

class PickDialogsTest : public AppDialogTest {};

TEST_F(PickDialogsTest, WaveletParametersOkReadsBothChecksAndCancelChangesNothing) {
  bool taper = true, normalise = false;
  std::int32_t status = 7;
  harness.Answer("dialog 149", "1253=0\n1252=1\npress 2");
  vel::WAVEPARMDLG(taper, normalise, status);
  EXPECT_EQ(status, -1);
  EXPECT_TRUE(taper);
  EXPECT_FALSE(normalise);
  EXPECT_TRUE(Checked(1252));  // the user's tick, not read back
  harness.Answer("dialog 149", "1253=0\n1252=1\npress 1");
  vel::WAVEPARMDLG(taper, normalise, status);
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(taper);
  EXPECT_TRUE(normalise);
}

TEST_F(PickDialogsTest, ModalTrainingDialogsShowAndReadTheirRanges) {
  PickTrainingRanges r;
  std::int32_t status = 7;
  harness.Answer("dialog 107", "1041=0.5\n1049=4\npress 1");
  vel::SVTRAINDLG(r, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Text(1042), "6.00");  // 0.06 shown x 100
  EXPECT_EQ(Text(1047), "3.00");
  EXPECT_FLOAT_EQ(r.svMinInc.start, 0.005f);
  EXPECT_FLOAT_EQ(r.svMinInc.end, 0.06f);
  EXPECT_FLOAT_EQ(r.svPulse.increment, 4.0f);

  harness.Answer("dialog 111", "1066=9\npress 2");
  vel::HLYTRAINDLG(r, status);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(Text(1067), "30.00");
  EXPECT_FLOAT_EQ(r.hlyNoise.start, 0.0001f);

  harness.Answer("dialog 120", "1150=300\npress 1");
  vel::WVTRAINDLG(r, status);
  EXPECT_EQ(status, 0);
  EXPECT_FLOAT_EQ(std::stof(Text(1151)), 800.0f);  // growth end 8, x 100
  EXPECT_FLOAT_EQ(r.wvGrowth.start, 3.0f);
  EXPECT_FLOAT_EQ(r.wvGrowth.end, 8.0f);
  EXPECT_FLOAT_EQ(r.wvSide.end, 0.5f);
}

TEST_F(PickDialogsTest, BoxTrainingCountsTheCombinations) {
  const PickTrainingRanges initial;
  // 2 x 3 x 3 x 3 x 6 x 6 x 5 = 9720, twice for power and twice for average.
  EXPECT_FLOAT_EQ(vel::BoxTrainingCount(initial), 38880.0f);
  PickTrainingRanges sameChecks = initial;
  sameChecks.bxPowerEnd = false;
  sameChecks.bxCycles = {0, 50, 1};  // the cycles row does not count
  EXPECT_FLOAT_EQ(vel::BoxTrainingCount(sameChecks), 19440.0f);

  // Shown 10 ms after the dialog appears, and again after a change.
  PickTrainingRanges r;
  std::string first, afterChange;
  harness.Pause(50).Call([&] { first = Text(vel::kBoxTrainingCountField); });
  harness.Pause(10).Call([] { plat::ButtonClick(Field(1131)); });  // power end off
  harness.MouseMove(Client(0), {1, 1});  // the loop takes the change
  harness.Pause(10).Call([&] { afterChange = Text(vel::kBoxTrainingCountField); });
  ClickLater(1);
  std::int32_t status = 7;
  vel::BXTRAINDLG(r, status);
  EXPECT_EQ(first, "3.88800E+04");
  EXPECT_EQ(afterChange, "1.94400E+04");
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(r.bxPowerEnd);
  EXPECT_FLOAT_EQ(r.bxTol.end, 25.0f);
  EXPECT_EQ(r.bxMaxima.increment, 5);
  EXPECT_FALSE(plat::IsWindowVisible(tk::CurrentDialog()->hwnd));

  // Cancel keeps the ranges.
  const bool before = r.bxAverageEnd;
  harness.Pause(20).Call([] { plat::ButtonClick(Field(1133)); });
  ClickLater(2);
  vel::BXTRAINDLG(r, status);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(r.bxAverageEnd, before);
}

}  // namespace
