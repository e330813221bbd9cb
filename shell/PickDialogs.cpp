#include "shell/PickDialogs.h"

#include <cmath>
#include <string_view>

#include "shell/DialogHelpers.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

using enum tk::EventType;

// The plain real format of these fields: F without a width, which is F15.7.
constexpr std::string_view kPlainReal = "(F15.7)";

constexpr int kOk = 1;
constexpr int kCancel = 2;

// A real field of the current dialog shown as VALUE x SCALE in FORMAT, and
// read back divided by SCALE. The value is taken as it stands: a blank field
// reads as -999 (-9.99 for a fraction shown x 100).
struct RealField {
  int field;
  float* value;
  float scale;
  std::string_view format;
};

void PutReals(std::initializer_list<RealField> fields) {
  for (const RealField& f : fields) tk::WDialogPutReal(f.field, *f.value * f.scale, f.format);
}

void GetReals(std::initializer_list<RealField> fields) {
  for (const RealField& f : fields) {
    float v = 0.0f;
    tk::WDialogGetReal(f.field, v);
    *f.value = f.scale == 1.0f ? v : v / f.scale;
  }
}

void PutChecked(int field, bool value) { tk::WDialogPutCheckBox(field, value ? 1 : 0); }
bool GetChecked(int field) {
  std::int32_t state = 0;
  tk::WDialogGetCheckBox(field, state);
  return (state & 1) != 0;
}

// ---- dialog 106 ----

void PutPickPages(PickParameters& p) {
  tk::WDialogSelect(kSimplePage);
  PutReals({{1025, &p.simple.SVMININC, 100.0f, "(F7.2)"},
            {1026, &p.simple.SVSPIKE, 100.0f, "(F7.2)"},
            {1027, &p.simple.SVPULSE, 1.0f, kPlainReal}});
  tk::WDialogSelect(kHatherlyPage);
  PutReals({{1028, &p.hatherly.HLYNOISE, 100.0f, "(F7.4)"}});
  tk::WDialogSelect(kBoxPage);
  BoxPickParameters& b = p.box;
  PutReals({{1029, &b.BXPERMIN, 1.0f, kPlainReal},
            {1030, &b.BXPERMAX, 1.0f, kPlainReal},
            {1038, &b.BXAVGPCT, 1.0f, kPlainReal},
            {1031, &b.BXTHRESH, 1.0f, kPlainReal},
            {1039, &b.BXTOL, 1.0f, kPlainReal}});
  tk::WDialogPutInteger(1032, b.IBXMAXIMA);
  tk::WDialogPutInteger(1033, b.IBXSTEPS);
  tk::WDialogPutInteger(1040, b.IBXCYCLES);
  PutChecked(1034, b.LBXPOWER);
  PutChecked(1035, b.LBXAVERAGE);
  tk::WDialogSelect(kWaveletPage);
  PutReals({{1059, &p.wavelet.WVMINAMP, 100.0f, kPlainReal},
            {1060, &p.wavelet.WVGROWTH, 100.0f, kPlainReal},
            {1061, &p.wavelet.WVSIDE, 100.0f, kPlainReal}});
}

void GetPickPages(PickParameters& p) {
  tk::WDialogSelect(kSimplePage);
  GetReals({{1025, &p.simple.SVMININC, 100.0f, {}},
            {1026, &p.simple.SVSPIKE, 100.0f, {}},
            {1027, &p.simple.SVPULSE, 1.0f, {}}});
  tk::WDialogSelect(kHatherlyPage);
  GetReals({{1028, &p.hatherly.HLYNOISE, 100.0f, {}}});
  tk::WDialogSelect(kBoxPage);
  BoxPickParameters& b = p.box;
  GetReals({{1029, &b.BXPERMIN, 1.0f, {}},
            {1030, &b.BXPERMAX, 1.0f, {}},
            {1038, &b.BXAVGPCT, 1.0f, {}},
            {1031, &b.BXTHRESH, 1.0f, {}},
            {1039, &b.BXTOL, 1.0f, {}}});
  tk::WDialogGetInteger(1032, b.IBXMAXIMA);
  tk::WDialogGetInteger(1033, b.IBXSTEPS);
  tk::WDialogGetInteger(1040, b.IBXCYCLES);
  b.LBXPOWER = GetChecked(1034);
  b.LBXAVERAGE = GetChecked(1035);
  tk::WDialogSelect(kWaveletPage);
  GetReals({{1059, &p.wavelet.WVMINAMP, 100.0f, {}},
            {1060, &p.wavelet.WVGROWTH, 100.0f, {}},
            {1061, &p.wavelet.WVSIDE, 100.0f, {}}});
  // Blank fields read as the undefined value and leave their error behind.
  (void)tk::WErrorStatusQuery(1);
}

std::int32_t MethodOfPage(std::int32_t page) {
  switch (page) {
    case kSimplePage: return kPickSimple;
    case kHatherlyPage: return kPickHatherly;
    case kBoxPage: return kPickBox;
    case kWaveletPage: return kPickWavelet;
    default: return kPickNone;
  }
}

// ---- training dialogs ----

// Rows of three fields (start, end, increment) from FIRST.
void PutRange(int first, TrainingRange& r, float scale, std::string_view format) {
  PutReals({{first, &r.start, scale, format},
            {first + 1, &r.end, scale, format},
            {first + 2, &r.increment, scale, format}});
}
void GetRange(int first, TrainingRange& r, float scale) {
  GetReals({{first, &r.start, scale, {}}, {first + 1, &r.end, scale, {}},
            {first + 2, &r.increment, scale, {}}});
}
void PutRange(int first, const TrainingIntegerRange& r) {
  tk::WDialogPutInteger(first, r.start);
  tk::WDialogPutInteger(first + 1, r.end);
  tk::WDialogPutInteger(first + 2, r.increment);
}
void GetRange(int first, TrainingIntegerRange& r) {
  tk::WDialogGetInteger(first, r.start);
  tk::WDialogGetInteger(first + 1, r.end);
  tk::WDialogGetInteger(first + 2, r.increment);
}

// A modal training dialog: PUT fills it, GET reads it back on OK.
template <class Put, class Get>
void RunTraining(int dialog, std::int32_t& STATUS, Put put, Get get) {
  tk::WDialogLoad(dialog);
  tk::WDialogSelect(dialog);
  put();
  if (ShowModalCentred() != kOk) {
    STATUS = -1;
    return;
  }
  get();
  (void)tk::WErrorStatusQuery(1);
  STATUS = 0;
}

void PutBoxTraining(PickTrainingRanges& r) {
  PutRange(1118, r.bxPerMin, 1.0f, kPlainReal);
  PutRange(1121, r.bxPerMax, 1.0f, kPlainReal);
  PutRange(1124, r.bxSteps);
  PutRange(1127, r.bxMaxima);
  PutChecked(1130, r.bxPowerStart);
  PutChecked(1131, r.bxPowerEnd);
  PutChecked(1132, r.bxAverageStart);
  PutChecked(1133, r.bxAverageEnd);
  PutRange(1134, r.bxAvgPct, 1.0f, kPlainReal);
  PutRange(1137, r.bxThresh, 1.0f, kPlainReal);
  PutRange(1140, r.bxTol, 1.0f, kPlainReal);
  PutRange(1143, r.bxCycles);
}

void GetBoxTraining(PickTrainingRanges& r) {
  GetRange(1118, r.bxPerMin, 1.0f);
  GetRange(1121, r.bxPerMax, 1.0f);
  GetRange(1124, r.bxSteps);
  GetRange(1127, r.bxMaxima);
  r.bxPowerStart = GetChecked(1130);
  r.bxPowerEnd = GetChecked(1131);
  r.bxAverageStart = GetChecked(1132);
  r.bxAverageEnd = GetChecked(1133);
  GetRange(1134, r.bxAvgPct, 1.0f);
  GetRange(1137, r.bxThresh, 1.0f);
  GetRange(1140, r.bxTol, 1.0f);
  GetRange(1143, r.bxCycles);
  (void)tk::WErrorStatusQuery(1);
}

void ShowBoxTrainingCount(const PickTrainingRanges& shown) {
  PickTrainingRanges r = shown;
  GetBoxTraining(r);
  tk::WDialogPutReal(kBoxTrainingCountField, BoxTrainingCount(r), "(1PE13.5)");
}

}  // namespace

void PARMPK(PickParameters& PARS, std::int32_t& METHOD, std::int32_t& STATUS,
            std::int32_t& PAGE) {
  METHOD = kPickNone;
  tk::WDialogLoad(kPickParametersDialog);
  (void)tk::WErrorStatusQuery(1);
  PutPickPages(PARS);
  tk::WDialogSelect(kPickParametersDialog);
  tk::WDialogSetTab(kPickParametersTab, MethodOfPage(PAGE) != kPickNone ? PAGE : kSimplePage);
  const int button = ShowModalCentred();
  if (button != kOk && button != kRepickNowButton) {
    STATUS = -1;
    return;
  }
  tk::WDialogSelect(kPickParametersDialog);
  std::int32_t open = PAGE;
  tk::WDialogGetTab(kPickParametersTab, open);
  if (MethodOfPage(open) != kPickNone) PAGE = open;
  GetPickPages(PARS);
  STATUS = 0;
  if (button == kRepickNowButton) METHOD = MethodOfPage(open);
}

void WAVEPARMDLG(bool& TAPER, bool& NORMALISE, std::int32_t& STATUS) {
  tk::WDialogLoad(kWaveletParametersDialog);
  tk::WDialogSelect(kWaveletParametersDialog);
  PutChecked(1253, TAPER);
  PutChecked(1252, NORMALISE);
  if (ShowModalCentred() != kOk) {
    STATUS = -1;
    return;
  }
  TAPER = GetChecked(1253);
  NORMALISE = GetChecked(1252);
  STATUS = 0;
}

float BoxTrainingCount(const PickTrainingRanges& R) {
  const auto steps = [](const TrainingRange& r) { return (r.end - r.start) / r.increment + 1.0f; };
  const auto intSteps = [](const TrainingIntegerRange& r) {
    // A zero increment counts the start alone.
    return r.increment == 0 ? 1.0f : static_cast<float>((r.end - r.start) / r.increment + 1);
  };
  float n = steps(R.bxPerMin) * steps(R.bxPerMax) * intSteps(R.bxSteps) * intSteps(R.bxMaxima) *
            steps(R.bxAvgPct) * steps(R.bxThresh) * steps(R.bxTol);
  if (R.bxPowerStart != R.bxPowerEnd) n *= 2.0f;
  if (R.bxAverageStart != R.bxAverageEnd) n *= 2.0f;
  return n;
}

void SVTRAINDLG(PickTrainingRanges& R, std::int32_t& STATUS) {
  RunTraining(
      kSimpleTrainingDialog, STATUS,
      [&] {
        PutRange(1041, R.svMinInc, 100.0f, "(F7.2)");
        PutRange(1044, R.svSpike, 100.0f, "(F7.2)");
        PutRange(1047, R.svPulse, 1.0f, "(F7.2)");
      },
      [&] {
        GetRange(1041, R.svMinInc, 100.0f);
        GetRange(1044, R.svSpike, 100.0f);
        GetRange(1047, R.svPulse, 1.0f);
      });
}

void HLYTRAINDLG(PickTrainingRanges& R, std::int32_t& STATUS) {
  RunTraining(
      kHatherlyTrainingDialog, STATUS, [&] { PutRange(1066, R.hlyNoise, 100.0f, "(F7.2)"); },
      [&] { GetRange(1066, R.hlyNoise, 100.0f); });
}

void WVTRAINDLG(PickTrainingRanges& R, std::int32_t& STATUS) {
  RunTraining(
      kWaveletTrainingDialog, STATUS,
      [&] {
        PutRange(1147, R.wvMinAmp, 100.0f, kPlainReal);
        PutRange(1150, R.wvGrowth, 100.0f, kPlainReal);
        PutRange(1153, R.wvSide, 100.0f, kPlainReal);
      },
      [&] {
        GetRange(1147, R.wvMinAmp, 100.0f);
        GetRange(1150, R.wvGrowth, 100.0f);
        GetRange(1153, R.wvSide, 100.0f);
      });
}

void BXTRAINDLG(PickTrainingRanges& R, std::int32_t& STATUS) {
  STATUS = -1;
  tk::WDialogLoad(kBoxTrainingDialog);
  tk::WDialogSelect(kBoxTrainingDialog);
  PutBoxTraining(R);
  tk::WDialogShow(-1, -1, 0, tk::kShowSemiModeless);
  tk::WEventTypeSwitch(kEventFieldChanged, 1);
  // One tick shortly after the dialog shows fills in the count.
  constexpr int kCountTimer = 1;
  tk::WEventTimerSet(10, kCountTimer);
  bool timing = true;
  for (;;) {
    int type = 0;
    tk::EventRecord e;
    tk::WEventWait(type, e);
    if (type == 0 && !tk::MainWindowOpen()) break;  // the window system has gone
    if (type == kEventClose && (e.window < 0 || e.window == tk::kMainWindow)) break;
    if (type == kEventTimer && timing) {
      tk::WEventTimerSet(0, kCountTimer);
      timing = false;
      tk::WDialogSelect(kBoxTrainingDialog);
      ShowBoxTrainingCount(R);
      continue;
    }
    if (e.window != kBoxTrainingDialog) continue;
    tk::WDialogSelect(kBoxTrainingDialog);
    if (type == kEventFieldChanged) {
      // The count's own field changes when the count is shown.
      if (e.value1 != kBoxTrainingCountField) ShowBoxTrainingCount(R);
    } else if (type == kEventPushButton && e.value1 == kOk) {
      GetBoxTraining(R);
      STATUS = 0;
      break;
    } else if (type == kEventPushButton && e.value1 == kCancel) {
      break;
    }
  }
  if (timing) tk::WEventTimerSet(0, kCountTimer);
  tk::WEventTypeSwitch(kEventFieldChanged, 0);
  tk::WDialogSelect(kBoxTrainingDialog);
  tk::WDialogHide();
}

}  // namespace vel
