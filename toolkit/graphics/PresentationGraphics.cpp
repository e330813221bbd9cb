#include "toolkit/graphics/PresentationGraphics.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "toolkit/core/Errors.h"

namespace tk {

namespace {

constexpr int kErrUnitRange = 16;  // "X or Y graphics unit range is invalid"
constexpr int kMaxDataSets = 500;

bool Bit(int options, int b) { return ((options >> b) & 1) != 0; }

bool IsLog(std::string_view type) {
  if (type.size() < 3) return false;
  for (int i = 0; i < 3; ++i)
    if (std::toupper(static_cast<unsigned char>(type[static_cast<std::size_t>(i)])) != "LOG"[i])
      return false;
  return true;
}

}  // namespace

PresentationGraphicsState& Pg() {
  static PresentationGraphicsState s;
  return s;
}

float SafeLog10(float v) { return v == 0 ? -38.0f : std::log10(std::fabs(v)); }

void PgLogTransform() {
  PresentationGraphicsState& s = Pg();
  const bool x = s.logX && s.graphType != 1 && !Bit(s.options, 0) && !Bit(s.options, 6);
  const bool y = s.logY && s.graphType != 2 && !Bit(s.options, 0);
  if (x) {
    s.logX1 = SafeLog10(s.x1);
    s.logX2 = SafeLog10(s.x2);
    s.logSpanX = s.logX2 - s.logX1;
  }
  if (y) {
    s.logY1 = SafeLog10(s.y1);
    s.logY2 = SafeLog10(s.y2);
    s.logSpanY = s.logY2 - s.logY1;
    s.logRadius = SafeLog10(s.polarRadius);
    s.logRadiusShifted = s.logRadius + 38.0f;
  }
}

void IPgArea(float x1, float y1, float x2, float y2) {
  PresentationGraphicsState& s = Pg();
  const auto axis = [](float a, float b, float& first, float& second) {
    if (a == b) {
      first = 0;
      second = 1;
      ReportLibraryError(kErrUnitRange, "IPgArea");
    } else {
      first = a;
      second = b;
    }
  };
  axis(x1, x2, s.x1, s.x2);
  axis(y1, y2, s.y1, s.y2);
  s.spanX = s.x2 - s.x1;
  s.spanY = s.y2 - s.y1;
  s.lowX = std::min(s.x1, s.x2);
  s.highX = std::max(s.x1, s.x2);
  s.lowY = std::min(s.y1, s.y2);
  s.highY = std::max(s.y1, s.y2);
  PgLogTransform();
}

void IPgUnitsZ(float z1, float z2) {
  PresentationGraphicsState& s = Pg();
  if (z1 < z2) {
    s.z1 = z1;
    s.z2 = z2;
  } else {
    s.z1 = 0;
    s.z2 = 1;
    ReportLibraryError(kErrUnitRange, "IPgUnitsZ");
  }
  s.spanZ = s.z2 - s.z1;
}

void IPgUnitsPolar(float r) {
  PresentationGraphicsState& s = Pg();
  if (r > 0) {
    s.polarRadius = r;
  } else {
    s.polarRadius = 1.0f;
    ReportLibraryError(kErrUnitRange, "IPgUnitsPolar");
  }
  PgLogTransform();
}

void PgSubArea(float x1, float y1, float x2, float y2) {
  PresentationGraphicsState& s = Pg();
  if (x1 >= 0 && x1 < 1) s.subArea[0] = x1;
  if (y1 >= 0 && y1 < 1) s.subArea[1] = y1;
  if (x2 > 0 && x2 <= 1) s.subArea[2] = x2;
  if (y2 > 0 && y2 <= 1) s.subArea[3] = y2;
}

void PgAxisTypes(std::string_view xType, std::string_view yType) {
  PresentationGraphicsState& s = Pg();
  s.logX = IsLog(xType) ? 1 : 0;
  s.logY = IsLog(yType) ? 1 : 0;
  PgLogTransform();
}

void PgNewPlotSetup(int graphType, int dataSets, std::span<const std::int32_t> counts, int options,
                    int /*apply: the per-set style defaults are applied by no caller*/) {
  PresentationGraphicsState& s = Pg();
  const auto count = [&](std::size_t i) { return i < counts.size() ? counts[i] : 0; };
  s.dataSets = std::clamp(dataSets, 1, kMaxDataSets);
  const std::int32_t first = std::max(count(0), 1);
  s.graphType = (graphType >= 1 && graphType <= 11) ? graphType : 4;
  const std::size_t sets = static_cast<std::size_t>(s.dataSets);
  if (s.graphType == 3 && s.setRecords.size() < sets) s.setRecords.resize(sets);
  if ((s.graphType == 4 || s.graphType == 6) && s.setValues.size() < sets) s.setValues.resize(sets);

  const int t = s.graphType;
  const bool bit0Kept = t == 1 || t == 2 || t == 5 || t == 6 || t == 7 || t == 8 || t == 10;
  int o = options;
  if (!bit0Kept) o &= ~1;
  if (t == 1 && Bit(o, 5)) o &= ~((1 << 0) | (1 << 10));
  if (Bit(o, 0)) o &= ~(1 << 6);
  s.options = o;
  s.labelChoice = Bit(o, 2) ? 1 : Bit(o, 8) ? 2 : Bit(o, 4) ? 3 : 0;
  s.twoCounts = (Bit(o, 0) && ((t >= 5 && t <= 8) || t == 10)) ? 1 : 0;

  s.counts = {first, 0, 0};
  s.secondFactor = 0.5f;
  if (t == 8 || t == 10 || s.twoCounts) {
    const std::int32_t a = std::max(count(0), 2);
    const std::int32_t b = (t == 6 || t == 7) ? a : std::max(count(1), 2);
    s.counts = {a, b, t == 10 ? std::max(count(2), 2) : 0};
    if (Bit(o, 0) && Bit(o, 9)) {
      s.secondFactor = b < first ? 1.0f - static_cast<float>(b) * 0.5f / static_cast<float>(first)
                                 : static_cast<float>(first) * 0.5f / static_cast<float>(b);
    }
  }
  s.countFactor = std::min(0.25f, 0.6f / static_cast<float>(first));
  PgLogTransform();
}

void PgStateReset() {
  PresentationGraphicsState& s = Pg();
  s.z1 = 0;
  s.z2 = 1;
  s.spanZ = 1;
  s.polarRadius = 1.0f;
  s.subArea = {0.1f, 0.1f, 0.9f, 0.9f};
  s.logX = s.logY = 0;
  IPgArea(0, 0, 1, 1);
  const std::array<std::int32_t, 1> one{1};
  PgNewPlotSetup(4, kMaxDataSets, one, 0);
}

}  // namespace tk
