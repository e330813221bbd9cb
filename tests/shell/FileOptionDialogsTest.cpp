// The SEG-Y and SEG-2 option dialogs.
#include "shell/FileOptionDialogs.h"
#include "tests/shell/AppDialogTestSupport.h"

namespace {

using app_dialog_test::AppDialogTest;
using FileOptionDialogTest = AppDialogTest;

struct SegyOut {
  std::int32_t format = 0;  // the values at program start
  bool msb = false;
  bool ebcdic = true;
};

TEST_F(FileOptionDialogTest, SegyOutputFirstOpeningAndCancel) {
  SegyOut o;
  std::int32_t error = 0;
  harness.Answer("dialog 124", "1242=1\n1178=1\npress 2");
  vel::SEGYOUTPUTDLG(o.format, o.msb, o.ebcdic, error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(o.format, 0);
  EXPECT_TRUE(o.msb);  // set on opening with IBM float, kept by Cancel
  EXPECT_TRUE(o.ebcdic);

  harness.Answer("dialog 124", "press 2");
  vel::SEGYOUTPUTDLG(o.format, o.msb, o.ebcdic, error);
  for (const int on : {1169, 1175, 1173}) EXPECT_TRUE(Checked(on)) << on;
  for (const int off : {1170, 1171, 1241, 1242, 1174, 1178}) EXPECT_FALSE(Checked(off)) << off;
  EXPECT_FALSE(Enabled(1241));

  // The SEG-2 dialog shares the byte order: it opens most significant first.
  bool removeDelay = false;
  harness.Answer("dialog 128", "press 2");
  vel::SEG2OUTPUTDLG(o.format, o.msb, removeDelay, error);
  EXPECT_TRUE(Checked(1175));
  EXPECT_TRUE(Checked(1169));
}

TEST_F(FileOptionDialogTest, SegyOutputKeepsIbmFloatsBigEndian) {
  SegyOut o;
  std::int32_t error = 0;
  // Choosing IBM float selects big-endian; then little-endian switches to IEEE.
  o.format = 2;
  o.msb = false;
  ClickLater(1169);
  LookLater([] {
    EXPECT_TRUE(Checked(1175));
    EXPECT_TRUE(Checked(1169));
  });
  ClickLater(1174);
  LookLater([] {
    EXPECT_TRUE(Checked(1242));
    EXPECT_TRUE(Checked(1174));
  });
  ClickLater(1178);
  ClickLater(1);
  vel::SEGYOUTPUTDLG(o.format, o.msb, o.ebcdic, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(o.format, 5);
  EXPECT_FALSE(o.msb);
  EXPECT_FALSE(o.ebcdic);

  // IEEE float reopens chosen; the SEG-2 dialog, sharing the code, shows 16-bit.
  harness.Answer("dialog 124", "press 2");
  vel::SEGYOUTPUTDLG(o.format, o.msb, o.ebcdic, error);
  EXPECT_TRUE(Checked(1242));
  EXPECT_TRUE(Checked(1178));
  EXPECT_TRUE(Checked(1174));
  bool removeDelay = false;
  harness.Answer("dialog 128", "press 2");
  vel::SEG2OUTPUTDLG(o.format, o.msb, removeDelay, error);
  EXPECT_TRUE(Checked(1171));

  // Whatever the byte-order buttons show, OK with IBM float stores big-endian.
  o = SegyOut{.format = 1, .msb = true, .ebcdic = true};
  harness.Answer("dialog 124", "1174=1\n1169=1\npress 1");
  vel::SEGYOUTPUTDLG(o.format, o.msb, o.ebcdic, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(o.format, 1);
  EXPECT_TRUE(o.msb);

  // The integer formats keep the byte order chosen.
  for (const auto& [button, format] : {std::pair{1170, 2}, std::pair{1171, 3}}) {
    o = SegyOut{.format = 5, .msb = true, .ebcdic = true};
    harness.Answer("dialog 124", std::to_string(button) + "=1\n1174=1\n1173=1\npress 1");
    vel::SEGYOUTPUTDLG(o.format, o.msb, o.ebcdic, error);
    EXPECT_EQ(o.format, format);
    EXPECT_FALSE(o.msb);
    EXPECT_TRUE(o.ebcdic);
  }
}

TEST_F(FileOptionDialogTest, Seg2Output) {
  std::int32_t format = 9;
  bool msb = true;
  bool removeDelay = true;
  std::int32_t error = 0;
  harness.Answer("dialog 128", "1169=1\n1174=1\n1193=0\npress 2");
  vel::SEG2OUTPUTDLG(format, msb, removeDelay, error);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(format, 9);
  EXPECT_TRUE(msb);
  EXPECT_TRUE(removeDelay);

  harness.Answer("dialog 128", "press 2");
  vel::SEG2OUTPUTDLG(format, msb, removeDelay, error);
  EXPECT_TRUE(Checked(1171));  // 3 or more: 16-bit
  EXPECT_TRUE(Checked(1175));
  EXPECT_TRUE(Checked(1193));

  harness.Answer("dialog 128", "1170=1\n1174=1\n1193=0\npress 1");
  vel::SEG2OUTPUTDLG(format, msb, removeDelay, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(format, 2);
  EXPECT_FALSE(msb);
  EXPECT_FALSE(removeDelay);

  format = 0;
  harness.Answer("dialog 128", "press 1");
  vel::SEG2OUTPUTDLG(format, msb, removeDelay, error);
  EXPECT_EQ(format, 1);  // 1 or less shows 32-bit float
}

TEST_F(FileOptionDialogTest, NonCompliantSegyInput) {
  bool text = false, binary = true, traceHeaders = false, msb = true;
  std::int32_t error = 0;
  harness.Answer("dialog 125", "1179=1\n1183=1\npress 2");
  vel::SEGYINPUTDLG(text, binary, traceHeaders, msb, error);
  EXPECT_EQ(error, -1);
  EXPECT_FALSE(text);
  EXPECT_TRUE(binary);
  EXPECT_TRUE(msb);

  harness.Answer("dialog 125", "press 2");
  vel::SEGYINPUTDLG(text, binary, traceHeaders, msb, error);
  EXPECT_FALSE(Checked(1179));
  EXPECT_TRUE(Checked(1180));
  EXPECT_FALSE(Checked(1182));
  EXPECT_TRUE(Checked(1184));

  harness.Answer("dialog 125", "1179=1\n1180=0\n1182=1\n1183=1\npress 1");
  vel::SEGYINPUTDLG(text, binary, traceHeaders, msb, error);
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(text);
  EXPECT_FALSE(binary);
  EXPECT_TRUE(traceHeaders);
  EXPECT_FALSE(msb);
}

}  // namespace
