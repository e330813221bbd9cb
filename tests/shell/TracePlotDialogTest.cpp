// The trace-plotting dialog and the Properties command.
#include <string>

#include "shell/TracePlotDialog.h"
#include "shell/Velloran.h"
#include "tests/shell/AppDialogTestSupport.h"
#include "toolkit/dialogs/Dialogs.h"

namespace {

using app_dialog_test::AppDialogTest;
using vel::TraceDisplayOptions;

class TracePlotDialogTest : public AppDialogTest {
 protected:
  /// Runs the dialog on OPTS with SCRIPT as the user's answer; the flag.
  std::int32_t Run(TraceDisplayOptions& opts, const std::string& script, float globalMax = 5.0f) {
    harness.Answer("dialog 101", script);
    std::int32_t error = 7;
    vel::TRACEPLOTDLG(opts, error, globalMax);
    return error;
  }
  static float Number(int id) {
    const std::string text = Text(id);
    EXPECT_FALSE(text.empty()) << "field " << id;
    return text.empty() ? 0.0f : std::stof(text);
  }
};

TEST_F(TracePlotDialogTest, FieldsShowTheOptionsAndCancelChangesNothing) {
  TraceDisplayOptions opts;  // the load-time values
  const TraceDisplayOptions before = opts;
  EXPECT_EQ(Run(opts, "1015=9\n1001=0\n1004=1\npress 2", 12.5f), -1);
  EXPECT_EQ(opts, before);

  EXPECT_EQ(Run(opts, "press 2", 12.5f), -1);
  EXPECT_EQ(Text(1015), "2.0");  // one decimal where it holds the value
  EXPECT_EQ(Text(1016), "2.0");
  EXPECT_EQ(Text(1017), "30.");  // AGC window in percent
  EXPECT_FLOAT_EQ(Number(1226), 12.5f);
  EXPECT_FLOAT_EQ(Number(1161), 1.0f);
  for (const int on : {1001, 1002, 1003, 1005, 1010, 1023, 1221}) EXPECT_TRUE(Checked(on)) << on;
  for (const int off : {1004, 1006, 1009, 1011, 1024, 1222, 1225})
    EXPECT_FALSE(Checked(off)) << off;
  EXPECT_EQ(Text(1223), "0");
  EXPECT_EQ(Text(1224), "0");

  // The other choices of each group, and the user's maximum while it is on.
  opts.IGAINMETHOD = 7;
  opts.ITIMELINES = 0;
  opts.LGEOPOS = true;
  opts.LUSERMAX = true;
  opts.USERMAX = 3.0f;
  opts.IFIRSTTRACE = 2;
  opts.ILASTTRACE = 9;
  opts.LVERTICAL = false;
  EXPECT_EQ(Run(opts, "press 2", 12.5f), -1);
  for (const int on : {1006, 1009, 1024, 1222, 1225}) EXPECT_TRUE(Checked(on)) << on;
  EXPECT_FALSE(Checked(1001));
  EXPECT_FLOAT_EQ(Number(1226), 3.0f);
  EXPECT_EQ(Text(1223), "2");
  EXPECT_EQ(Text(1224), "9");

  // Every width and clip the fields accept (0.01 to 100) shows as it is:
  // those one decimal in four columns cannot hold with two.
  opts.TRACEWIDTH = 0.04f;
  opts.TRACECLIP = 100.0f;
  EXPECT_EQ(Run(opts, "press 2"), -1);
  EXPECT_EQ(Text(1015), "0.04");
  EXPECT_EQ(Text(1016), "100.00");
  opts.TRACEWIDTH = 99.5f;
  opts.TRACECLIP = 0.5f;
  EXPECT_EQ(Run(opts, "press 2"), -1);
  EXPECT_EQ(Text(1015), "99.5");
  EXPECT_EQ(Text(1016), "0.5");
}

TEST_F(TracePlotDialogTest, OkWithoutEditsKeepsEveryOption) {
  // Values a single decimal would show wrongly (0.04 as 0.0) survive, and
  // 30 percent reads back as 0.3 exactly.
  for (const float width : {2.0f, 0.04f, 100.0f}) {
    TraceDisplayOptions opts;
    opts.TRACEWIDTH = width;
    opts.TRACECLIP = 0.01f;
    opts.PIXELSIZE = 0.125f;
    opts.USERMAX = 4.0f;
    opts.LUSERMAX = true;
    opts.IFIRSTTRACE = 3;
    opts.ILASTTRACE = 12;
    const TraceDisplayOptions before = opts;
    EXPECT_EQ(Run(opts, "press 1"), 0);
    EXPECT_EQ(opts, before) << width;
    EXPECT_EQ(opts.AGCFRAC, 0.3f);
  }
}

TEST_F(TracePlotDialogTest, OkStoresEveryField) {
  TraceDisplayOptions opts;
  EXPECT_EQ(Run(opts,
                "1015=3.5\n1016=0.5\n1017=50\n1226=123.5\n1161=0.5\n1001=0\n1002=0\n1003=0\n"
                "1225=1\n1004=1\n1011=1\n1024=1\n1222=1\n1223=3\n1224=10\npress 1"),
            0);
  EXPECT_FLOAT_EQ(opts.TRACEWIDTH, 3.5f);
  EXPECT_FLOAT_EQ(opts.TRACECLIP, 0.5f);
  EXPECT_FLOAT_EQ(opts.AGCFRAC, 0.5f);
  EXPECT_FLOAT_EQ(opts.USERMAX, 123.5f);
  EXPECT_FLOAT_EQ(opts.PIXELSIZE, 0.5f);
  EXPECT_FALSE(opts.LVERTICAL);
  EXPECT_FALSE(opts.LVARAREA);
  EXPECT_FALSE(opts.LPLOTPICKS);
  EXPECT_TRUE(opts.LUSERMAX);
  EXPECT_EQ(opts.IGAINMETHOD, 1);
  EXPECT_EQ(opts.ITIMELINES, 3);
  EXPECT_TRUE(opts.LGEOPOS);
  EXPECT_EQ(opts.IFIRSTTRACE, 3);
  EXPECT_EQ(opts.ILASTTRACE, 10);

  // The maximum is stored whatever the check box says.
  EXPECT_EQ(Run(opts, "1225=0\n1226=55\n1023=1\npress 1"), 0);
  EXPECT_FALSE(opts.LUSERMAX);
  EXPECT_FLOAT_EQ(opts.USERMAX, 55.0f);
  EXPECT_FALSE(opts.LGEOPOS);
}

TEST_F(TracePlotDialogTest, TraceRange) {
  struct Case {
    const char* name;
    std::int32_t first, last;  // in the options
    const char* script;
    std::int32_t wantFirst, wantLast;
  };
  const Case cases[] = {
      {"one trace chosen is kept", 0, 0, "1222=1\n1223=5\n1224=5\npress 1", 5, 5},
      {"first above last is all traces", 0, 0, "1222=1\n1223=7\n1224=3\npress 1", 0, 0},
      {"all traces drops the numbers", 2, 9, "1221=1\npress 1", 0, 0},
      // One trace shows as All Traces, with its numbers, so OK drops it.
      {"one trace reopened", 5, 5, "press 1", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TraceDisplayOptions opts;
    opts.IFIRSTTRACE = c.first;
    opts.ILASTTRACE = c.last;
    EXPECT_EQ(Run(opts, c.script), 0);
    EXPECT_EQ(opts.IFIRSTTRACE, c.wantFirst);
    EXPECT_EQ(opts.ILASTTRACE, c.wantLast);
  }
  TraceDisplayOptions opts;
  opts.IFIRSTTRACE = opts.ILASTTRACE = 5;
  EXPECT_EQ(Run(opts, "press 2"), -1);
  EXPECT_TRUE(Checked(1221));
  EXPECT_EQ(Text(1223), "5");
  EXPECT_EQ(Text(1224), "5");
}

TEST_F(TracePlotDialogTest, OkRefusesAWidthOutsideItsRange) {
  TraceDisplayOptions opts;
  LookLater([] {
    plat::SetWindowText(Field(1015), "150");
    plat::EditSetModify(Field(1015), true);
    tk::WDialogSetField(1015);
  });
  ClickLater(1);
  LookLater([] { EXPECT_TRUE(plat::IsWindowVisible(tk::CurrentDialog()->hwnd)) << "still up"; });
  ClickLater(2);
  std::int32_t error = 7;
  vel::TRACEPLOTDLG(opts, error, 5.0f);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(opts, TraceDisplayOptions{});
}

TEST_F(TracePlotDialogTest, NoKnownMaximumLeavesTheFieldBlankAndTheValueAlone) {
  TraceDisplayOptions opts;
  opts.USERMAX = 6.0f;
  EXPECT_EQ(Run(opts, "press 1", 0.0f), 0);
  EXPECT_EQ(Text(1226), "");
  EXPECT_FLOAT_EQ(opts.USERMAX, 6.0f);
}

TEST_F(TracePlotDialogTest, PropertiesCommandEditsTheMainOptions) {
  auto app = std::make_unique<vel::Velloran>();
  vel::ShotRecord& rec = app->record;
  rec.NSAMP = 3;
  rec.NTRACE = 2;
  ASSERT_TRUE(vel::RebuildTraceArrays(rec));
  rec.TRACES = {1.0f, -8.0f, 2.0f, 0.5f, 5.0f, -1.0f};

  // Cancel: nothing changes, the extremes are not recomputed.
  harness.Answer("dialog 101", "1015=4\npress 2");
  vel::DispatchCommand(*app, vel::kCommandProperties);
  EXPECT_EQ(app->options, TraceDisplayOptions{});
  EXPECT_EQ(rec.GMAX, 0.0f);

  // OK with unknown extremes (GMIN >= GMAX) recomputes them.
  harness.Answer("dialog 101", "1015=4\npress 1");
  vel::DispatchCommand(*app, vel::kCommandProperties);
  EXPECT_FLOAT_EQ(app->options.TRACEWIDTH, 4.0f);
  EXPECT_FLOAT_EQ(rec.GMIN, -8.0f);
  EXPECT_FLOAT_EQ(rec.GMAX, 5.0f);
  EXPECT_FLOAT_EQ(rec.TRACEMAX[0], 8.0f);

  // The maximum offered is the larger of |GMIN| and GMAX.
  harness.Answer("dialog 101", "press 2");
  vel::DispatchCommand(*app, vel::kCommandProperties);
  EXPECT_FLOAT_EQ(Number(1226), 8.0f);
}

}  // namespace
