// The record layer shared by the HP-GL plotter and HP-GL/2 printer drivers.
#include "toolkit/hardcopy/HpglRecords.h"

#include <algorithm>
#include <cmath>

#include "toolkit/core/Conversion.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PlotFile.h"

namespace tk {
namespace {

constexpr int kStream = 2;

void LeadIn() {
  if (DriverParams().recordLeadIn == 1) PlotFileWrite(kStream, " ", 1);
}

// Writes TEXT(1:N) collapsed, after the lead-in.
void WriteCollapsed(std::string_view text, int n) {
  const std::string out = CollapseBlanks(text, n);
  LeadIn();
  PlotFileWriteLine(kStream, out, static_cast<int>(out.size()));
}

int ContentLength(std::string_view record) {
  const std::size_t end = record.find_last_not_of(' ');
  return end == std::string_view::npos ? 0 : static_cast<int>(end + 1);
}

bool AnnotationsOn() {
  return HardcopyOption(18) != 0;
}

}  // namespace

std::string& CommandRecord() {
  static std::string record(kCommandRecordLength, ' ');
  return record;
}

void CommandRecordSet(std::string_view text) {
  std::string& r = CommandRecord();
  r.assign(kCommandRecordLength, ' ');
  r.replace(0, std::min<std::size_t>(text.size(), kCommandRecordLength),
            text.substr(0, std::min<std::size_t>(text.size(), kCommandRecordLength)));
}

void CommandRecordPut(int position, std::string_view field) {
  std::string& r = CommandRecord();
  if (position < 1 || position > kCommandRecordLength) return;
  const std::size_t at = static_cast<std::size_t>(position - 1);
  const std::size_t room = std::min(field.size(), r.size() - at);
  r.replace(at, room, field.substr(0, room));
}

std::string CollapseBlanks(std::string_view text, int n) {
  n = std::clamp(n, 0, static_cast<int>(text.size()));
  std::string out(text.substr(0, static_cast<std::size_t>(std::min(n, 2))));
  bool gap = false, copied = false;
  for (int i = 2; i < n; ++i) {
    const char c = text[static_cast<std::size_t>(i)];
    if (c == ' ') {
      gap = true;
      continue;
    }
    if (gap && copied) out += ' ';
    out += c;
    copied = true;
    gap = false;
  }
  return out;
}

void YYHPREC() {
  const std::string& r = CommandRecord();
  WriteCollapsed(r, ContentLength(r));
}

void YYHPCMD(std::string_view text, int n) {
  n = std::clamp(n, 0, static_cast<int>(text.size()));
  CommandRecordSet(text.substr(0, static_cast<std::size_t>(n)));
  WriteCollapsed(CommandRecord(), std::min(n, kCommandRecordLength));
}

void YYHPXY(std::string_view mnemonic, float x, float y) {
  CommandRecordSet(mnemonic.substr(0, std::min<std::size_t>(mnemonic.size(), 2)));
  CommandRecordPut(3, FormatIntegerField(PlotterUnitX(x), "(I6)"));
  CommandRecordPut(9, FormatIntegerField(PlotterUnitY(y), "(I6)"));
  WriteCollapsed(CommandRecord(), 14);
}

void YYHPLB(std::string_view text, int n) {
  n = std::clamp(n, 0, static_cast<int>(text.size()));
  if (DriverParams().recordLeadIn == 1)
    PlotFileWrite(kStream, " LB", 3);
  else
    PlotFileWrite(kStream, "LB", 2);
  PlotFileWriteLine(kStream, text, n);
}

void YYHPRAW(std::string_view text, int n) {
  n = std::clamp(n, 0, static_cast<int>(text.size()));
  LeadIn();
  PlotFileWriteLine(kStream, text, n);
}

void YYHPVTX(float x, float y) {
  if (!AnnotationsOn()) return;
  CommandRecordSet("SC-9              0");
  CommandRecordPut(6, FormatIntegerField(PlotterUnitX(x), "(I6)"));
  CommandRecordPut(12, FormatIntegerField(PlotterUnitY(y), "(I6)"));
  YYHPREC();
}

void YYHPVTXR(float a, float b) {
  if (!AnnotationsOn()) return;
  CommandRecordSet("SC-9                      0");
  CommandRecordPut(6, FormatRealField(a, "(F10.4)"));
  CommandRecordPut(16, FormatRealField(b, "(F10.4)"));
  YYHPREC();
}

void YYHPNOTE(int k, bool close, int a, int b, int c) {
  if (!AnnotationsOn()) return;
  std::string text = "SC-";
  text += IntegerField(k, k < 10 ? 1 : 2);
  text += IntegerField(a, k == 1 ? 9 : 6);
  text += IntegerField(b, 6);
  text += IntegerField(static_cast<std::int64_t>(c) + 32760, 6);
  if (close) {
    text += " ;";
    text += kWorkingScaling;
  }
  // Every field is written in full, so the record may pass the 50
  // characters of a command record only with numbers no caller sends.
  WriteCollapsed(text, static_cast<int>(text.size()));
}

int FillAnnotationKind(int op) {
  switch (op) {
    case 5:
      return 5;
    case 7:
      return 8;
    case 9:
      return 6;
    case 11:
      return 7;
    case 13:
      return 4;
    case 15:
      return 11;
    default:
      return 0;
  }
}

std::int32_t PlotterUnitX(float x) {
  return static_cast<std::int32_t>(std::trunc(DriverParams().factorX * x));
}

std::int32_t PlotterUnitY(float y) {
  return static_cast<std::int32_t>(std::trunc(DriverParams().factorY * y));
}

std::string IntegerField(std::int64_t value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), ' ');
  return digits;
}

std::string RealField(double value, std::string_view format) {
  return FormatRealField(value, format);
}

bool OpenPlotOutput() {
  const std::int32_t kept = ErrorState().lastError;
  ErrorState().lastError = 0;
  PlotFileOpen(kStream);
  if (ErrorState().lastError != 0 || PlotFileStatus() != 0) {
    Gs().hardcopyOn = 0;
    return false;
  }
  ErrorState().lastError = kept;
  return true;
}

IsotropicScaling WriteIsotropicScaling(float ratio) {
  const GraphicsState& gs = Gs();
  const double denominator = static_cast<double>(HardcopyOption(1)) * gs.areaFracHeight * ratio;
  const double q = denominator > 0
                       ? std::trunc(32760.0 * HardcopyOption(2) * gs.areaFracWidth / denominator)
                       : 32760.0;
  IsotropicScaling s;
  CommandRecordSet(kWorkingScaling);
  if (q > 32760.0) {
    const double p = std::trunc(1073217600.0 / q);
    CommandRecordPut(5, FormatIntegerField(static_cast<std::int64_t>(p), "(I5)"));
    s.radiusScale = 32760.0 / q;
    s.centreXScale = p / 32760.0;
  } else {
    CommandRecordPut(13, FormatIntegerField(static_cast<std::int64_t>(q), "(I5)"));
    s.centreYScale = q / 32760.0;
  }
  YYHPREC();
  return s;
}

void YYHPARC(int op, const ArcForm& form) {
  const GraphicsState& gs = Gs();
  DriverParameters& dp = DriverParams();
  const bool wedge = gs.fillStyle != kFillOutline || gs.hatchDensity <= 2;
  if (wedge || op == 13) {
    YYHPXY("PU", dp.X[0], dp.Y[0]);
    if (form.afterPenUp) form.afterPenUp();
  }
  const IsotropicScaling s = WriteIsotropicScaling(1.0f);
  const double r = dp.X[1] * s.radiusScale * dp.factorX;
  if (wedge) {
    CommandRecordSet(op == 13 ? "WG" : "EW");
    CommandRecordPut(3, FormatIntegerField(static_cast<std::int64_t>(std::trunc(r)), "(I6)"));
    CommandRecordPut(9, FormatRealField(dp.X[3], "(F7.1)"));
    CommandRecordPut(16, FormatRealField(dp.Y[3], "(F7.1)"));
    YYHPREC();
    dp.penLastX = dp.X[0];
    dp.penLastY = dp.Y[0];
  } else {
    const double cx = std::trunc(dp.X[0] * s.centreXScale * dp.factorX);
    const double cy = std::trunc(dp.Y[0] * s.centreYScale * dp.factorY);
    CommandRecordSet("PU");
    CommandRecordPut(
        3, FormatIntegerField(static_cast<std::int64_t>(std::trunc(cx + r * std::cos(dp.X[2]))),
                              "(I6)"));
    CommandRecordPut(
        9, FormatIntegerField(static_cast<std::int64_t>(std::trunc(cy + r * std::sin(dp.X[2]))),
                              "(I6)"));
    YYHPREC();
    YYHPCMD(form.penDown, static_cast<int>(form.penDown.size()));
    CommandRecordSet("AA");
    CommandRecordPut(3, FormatIntegerField(static_cast<std::int64_t>(cx), "(I6)"));
    CommandRecordPut(9, FormatIntegerField(static_cast<std::int64_t>(cy), "(I6)"));
    CommandRecordPut(15, FormatRealField(dp.Y[3], "(F7.1)"));
    YYHPREC();
    dp.penLastX = dp.X[0] + dp.X[1] * std::cos(dp.Y[2]);
    dp.penLastY = dp.Y[0] + dp.Y[1] * std::sin(dp.Y[2]);
  }
  YYHPCMD(kWorkingScaling, static_cast<int>(kWorkingScaling.size()));
}

void WriteClipWindow(double u, const ScalingPoints& p) {
  const GraphicsState& gs = Gs();
  const double width = gs.width > 0 ? gs.width : 1, height = gs.height > 0 ? gs.height : 1;
  const double ux = HardcopyOption(1) * u / width, uy = HardcopyOption(2) * u / height;
  const auto t = [](double v) { return static_cast<std::int64_t>(std::trunc(v)); };
  const std::int64_t x1 = t(ux * gs.clipX0) + p.p1x, y1 = t(uy * gs.clipY0) + p.p1y;
  const std::int64_t x2 = std::min<std::int64_t>(t(ux * gs.clipX1 + 0.99) + p.p1x, p.p2x);
  const std::int64_t y2 = std::min<std::int64_t>(t(uy * gs.clipY1 + 0.99) + p.p1y, p.p2y);
  YYHPCMD("SC", 2);
  CommandRecordSet("IW");
  CommandRecordPut(3, FormatIntegerField(x1, "(I7)"));
  CommandRecordPut(10, FormatIntegerField(y1, "(I7)"));
  CommandRecordPut(17, FormatIntegerField(x2, "(I7)"));
  CommandRecordPut(24, FormatIntegerField(y2, "(I7)"));
  YYHPREC();
  YYHPCMD(kWorkingScaling, static_cast<int>(kWorkingScaling.size()));
}

void WriteInitialisation(bool rotate, const ScalingPoints& p) {
  const auto points = [&](int from) {
    CommandRecordPut(from, FormatIntegerField(p.p1x, "(I7)"));
    CommandRecordPut(from + 7, FormatIntegerField(p.p1y, "(I7)"));
    CommandRecordPut(from + 14, FormatIntegerField(p.p2x, "(I7)"));
    CommandRecordPut(from + 21, FormatIntegerField(p.p2y, "(I7)"));
  };
  CommandRecordSet("IN; IP");
  points(7);
  YYHPREC();
  // The stored text is "RO 90; IP"; without the rotation its "9" is blanked.
  CommandRecordSet(rotate ? "RO 90; IP" : "RO  0; IP");
  points(10);
  YYHPREC();
}

void WriteCommand(std::string_view text) {
  YYHPCMD(text, static_cast<int>(text.size()));
}

ScalingPoints PlotScalingPoints(double u) {
  const auto t = [](double v) { return static_cast<std::int32_t>(std::trunc(v)); };
  const double x = HardcopyOption(3), y = HardcopyOption(4);
  return {t(x * u), t(y * u), t((x + HardcopyOption(1)) * u), t((y + HardcopyOption(2)) * u)};
}

void DescribePlotFileDriver(std::int32_t deviceStringText) {
  DriverParameters& dp = DriverParams();
  dp.spoolCapable = 1;
  dp.textAngles[1] = 360;
  dp.platformLevel[1] = 2;
  dp.trueColour[1] = 0;
  dp.gradientFill[1] = 0;
  dp.deviceUnderline = 0;
  dp.deviceStringText = deviceStringText;
  dp.deviceTextMaximum[1] = 1.7e38f;
  std::string name = "parvplot.plt";
  name.resize(kHardcopyNameLength, ' ');
  HardcopyFileName() = name;
}

void PenUpUnlessAt(float x, float y) {
  const DriverParameters& dp = DriverParams();
  if (x != dp.penLastX || y != dp.penLastY) YYHPXY("PU", x, y);
}

void WriteLineOperation(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  const std::size_t end = op == DriverOperation::Line ? 1 : 0;
  PenUpUnlessAt(dp.X[0], dp.Y[0]);
  YYHPXY("PD", dp.X[end], dp.Y[end]);
  dp.penLastX = dp.X[end];
  dp.penLastY = dp.Y[end];
}

void WriteDeviceFilledShape(int op) {
  DriverParameters& dp = DriverParams();
  YYHPXY("PU", dp.X[0], dp.Y[0]);
  if (op == 9) {
    YYHPXY("RA", dp.X[1], dp.Y[1]);
  } else {
    WriteCommand("PM0");
    for (std::size_t i = 1; i < (op == 7 ? 4u : 3u); ++i) YYHPXY("PD", dp.X[i], dp.Y[i]);
    WriteCommand("PM2;FP");
  }
  dp.penLastX = dp.X[0];
  dp.penLastY = dp.Y[0];
}

void WriteCircle(bool filled, void (*afterPenUp)()) {
  DriverParameters& dp = DriverParams();
  YYHPXY("PU", dp.X[0], dp.Y[0]);
  if (afterPenUp) afterPenUp();
  const IsotropicScaling s = WriteIsotropicScaling(dp.X[2]);
  if (filled) WriteCommand("PM0");
  YYHPXY("CI", static_cast<float>(dp.X[1] * s.radiusScale), 0.0f);
  if (filled) WriteCommand("PM2;FP");
  dp.penLastX = dp.X[0];
  dp.penLastY = dp.Y[0];
  WriteCommand(kWorkingScaling);
}

void WriteLineType(const std::array<std::string, 8>& table) {
  CommandRecordSet("LT");
  CommandRecordPut(3, table[static_cast<std::size_t>(std::clamp(Gs().lineType, 0, 7))]);
  YYHPREC();
}

void WriteTextDirection() {
  const TextAttributes& t = Gs().text;
  CommandRecordSet("DI");
  CommandRecordPut(3, FormatRealField(t.cosA, "(F6.3)"));
  CommandRecordPut(10, FormatRealField(t.qSinA, "(F6.3)"));
  YYHPREC();
}

void LabelAnchor(float& x, float& y) {
  const TextAttributes& t = Gs().text;
  const DriverParameters& dp = DriverParams();
  const bool font0 = t.spacingMode == 0;
  const float a = font0 ? 0.22f : 0.0f, b = font0 ? 0.22f : 0.3f;
  x = dp.X[0] + a * t.passWCos + b * t.passHSinQ;
  y = dp.Y[0] + a * t.passWQSin - b * t.passHCos;
}

}  // namespace tk
