// The file option dialogs on a scripted screen: what they show, what OK and
// Cancel give back, and the SEG-Y output dialog's consistency rules.
#include <gtest/gtest.h>

#include <vector>

#include "shell/FileOptions.h"
#include "tests/toolkit/core/WindowTestSupport.h"
#include "toolkit/core/ToolkitState.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/dialogs/Dialogs.h"

namespace {

using namespace vel;

class FileOptionsTest : public tk::testing::ToolkitWindowTest {
 protected:
  void TearDown() override {
    tk::ResetToolkitForTesting();
    ToolkitWindowTest::TearDown();
  }

  static plat::Hwnd Field(int id) {
    tk::LoadedDialog* d = tk::CurrentDialog();
    tk::DialogField* f = d ? tk::FindField(*d, id) : nullptr;
    return f ? f->hwnd : plat::kNoWindow;
  }

  /// Clicks the fields IDS of the dialog on screen one after another, each
  /// once the dialog has handled the one before.
  void ClickInTurn(std::vector<int> ids) {
    clicks_ = std::move(ids);
    harness.Call([this] { ClickFrom(0); });
  }
  void ClickFrom(std::size_t i) {
    if (i >= clicks_.size()) return;
    harness.Click(Field(clicks_[i]), {4, 4});
    if (i + 1 < clicks_.size()) harness.Call([this, i] { ClickFrom(i + 1); });
  }
  std::vector<int> clicks_;

  /// The checked position of the group of FIRST in dialog ID.
  static std::int32_t Position(int id, int first) {
    tk::WDialogSelect(id);
    std::int32_t p = 0;
    tk::WDialogGetRadioButton(first, p);
    return p;
  }
};

TEST_F(FileOptionsTest, SegyOutputKeepsIbmFloatBigEndian) {
  FileOptionState o;
  int ierr = 0;
  // First use, cancelled: IBM float is chosen, and big-endian already stays.
  harness.Answer("dialog 124", "press 2");
  SEGYOUTPUTDLG(o.IOUTFMT, o.LMSBFIRST, o.LEBCDIC, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(o.IOUTFMT, 0);
  EXPECT_TRUE(o.LMSBFIRST);
  EXPECT_EQ(Position(kDialogSegyOutput, 1169), 1);
  EXPECT_EQ(Position(kDialogSegyOutput, 1174), 2);
  EXPECT_EQ(Position(kDialogSegyOutput, 1173), 1);  // EBCDIC

  // Little-endian clicked while IBM float is chosen switches to IEEE float.
  o.LMSBFIRST = false;
  o.IOUTFMT = 1;
  ClickInTurn({1174, 1});
  SEGYOUTPUTDLG(o.IOUTFMT, o.LMSBFIRST, o.LEBCDIC, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(o.IOUTFMT, 5);
  EXPECT_FALSE(o.LMSBFIRST);
  EXPECT_TRUE(o.LEBCDIC);

  // IBM float clicked selects big-endian; OK keeps it whatever the buttons say.
  ClickInTurn({1178, 1169, 1});
  SEGYOUTPUTDLG(o.IOUTFMT, o.LMSBFIRST, o.LEBCDIC, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(o.IOUTFMT, 1);
  EXPECT_TRUE(o.LMSBFIRST);
  EXPECT_FALSE(o.LEBCDIC);
  int on = -1;
  tk::EventTypeEnabled(10, on);
  EXPECT_EQ(on, 0);  // field-changed events are off again
}

TEST_F(FileOptionsTest, SharedFormatValueOpensTheSeg2DialogOnItsThirdButton) {
  std::int32_t format = 5;  // IEEE float chosen in the SEG-Y dialog
  bool msb = true;
  bool removeDelay = false;
  int ierr = 0;
  harness.Answer("dialog 128", "1193=1\npress 1");
  SEG2OUTPUTDLG(format, msb, removeDelay, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(format, 3);  // shown as 16-bit integer
  EXPECT_TRUE(msb);
  EXPECT_TRUE(removeDelay);

  harness.Answer("dialog 128", "1169=1\n1174=1\n1193=0\npress 2");
  SEG2OUTPUTDLG(format, msb, removeDelay, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(format, 3);
  EXPECT_TRUE(msb);
  EXPECT_TRUE(removeDelay);
}

TEST_F(FileOptionsTest, UserImportFirstShowsZerosFloatAndLsbFirst) {
  FileOptionState o;
  int ierr = 0;
  harness.Answer("dialog 123", "press 1");
  USERIMPORTDLG(o.POSFIRST, o.POSINCR, o.IHDRBYTES, o.ITRHBYTES, o.NTRREAD, o.NSAMPREAD, o.ITRSTART,
                o.IUSERFMT, o.LMSBFIRST, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(o.IHDRBYTES, 0);
  EXPECT_EQ(o.POSFIRST, 0.0f);
  EXPECT_EQ(o.IUSERFMT, 1);
  EXPECT_FALSE(o.LMSBFIRST);

  harness.Answer("dialog 123",
                 "1164=3600\n1165=240\n1166=24\n1167=1000\n1168=2\n1176=10.5\n1177=2.5\n"
                 "1171=1\n1175=1\npress 1");
  USERIMPORTDLG(o.POSFIRST, o.POSINCR, o.IHDRBYTES, o.ITRHBYTES, o.NTRREAD, o.NSAMPREAD, o.ITRSTART,
                o.IUSERFMT, o.LMSBFIRST, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(o.IHDRBYTES, 3600);
  EXPECT_EQ(o.ITRHBYTES, 240);
  EXPECT_EQ(o.NTRREAD, 24);
  EXPECT_EQ(o.NSAMPREAD, 1000);
  EXPECT_EQ(o.ITRSTART, 2);
  EXPECT_FLOAT_EQ(o.POSFIRST, 10.5f);
  EXPECT_FLOAT_EQ(o.POSINCR, 2.5f);
  EXPECT_EQ(o.IUSERFMT, 3);
  EXPECT_TRUE(o.LMSBFIRST);

  // Cancel leaves everything, and the next opening shows the last answer.
  harness.Answer("dialog 123", "1166=7\npress 2");
  FileOptionState kept = o;
  USERIMPORTDLG(o.POSFIRST, o.POSINCR, o.IHDRBYTES, o.ITRHBYTES, o.NTRREAD, o.NSAMPREAD, o.ITRSTART,
                o.IUSERFMT, o.LMSBFIRST, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(o.NTRREAD, kept.NTRREAD);
  EXPECT_EQ(o.IUSERFMT, kept.IUSERFMT);
}

TEST_F(FileOptionsTest, SegyInputStandardOverwriteAndMerge) {
  FileOptionState o;
  int ierr = 0;
  harness.Answer("dialog 125", "1179=1\n1182=1\n1184=1\npress 1");
  SEGYINPUTDLG(o.LREADTEXT, o.LREADBIN, o.LUSETRHDR, o.LINMSB, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_TRUE(o.LREADTEXT);
  EXPECT_FALSE(o.LREADBIN);
  EXPECT_TRUE(o.LUSETRHDR);
  EXPECT_TRUE(o.LINMSB);

  bool disallow = false;
  harness.Answer("dialog 147", "1238=1\npress 1");
  SEGYSTANDARDDLG(disallow, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_TRUE(disallow);

  std::int32_t answer = 0;
  harness.Answer("dialog 122", "press 1163");
  OWRITEDLG("shot12.sg2", answer);
  EXPECT_EQ(answer, kOverwriteYesToAll);

  std::string stem = "line";
  std::int32_t merge = 1;
  std::string label(40, ' ');
  harness.Answer("dialog 130", "1190=out\n1189=1\npress 1");
  MERGEDLG(stem, merge, 14, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(stem.substr(0, 4), "out ");
  EXPECT_EQ(merge, 2);
  tk::WDialogSelect(kDialogMerge);
  tk::WDialogGetString(1191, label);
  EXPECT_EQ(label.substr(0, 24), "H1, H1R, V1, H2, H2R, V2");

  harness.Answer("dialog 130", "1190=other\npress 1192");  // Browse ends as Cancel
  MERGEDLG(stem, merge, 9, ierr);
  EXPECT_EQ(ierr, -1);
  EXPECT_EQ(stem.substr(0, 4), "out ");
  tk::WDialogSelect(kDialogMerge);
  label.assign(40, ' ');
  tk::WDialogGetString(1191, label);
  EXPECT_EQ(label.substr(0, 19), "Trc001, Trc002, ...");
}

}  // namespace
