#include "instruments/ReaderKit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

#include "support/Allocation.h"
#include "support/FieldReader.h"
#include "support/FileIO.h"
#include "support/Numerics.h"
#include "support/Strings.h"
#include "support/UserMessages.h"
#include "toolkit/core/Files.h"

namespace vel {

void C1TOI2(std::span<const std::byte> BYTES, std::span<std::int16_t> OUT, int N) {
  if (N <= 0) return;
  const std::size_t n = std::min({static_cast<std::size_t>(N), BYTES.size(), OUT.size()});
  for (std::size_t k = 0; k < n; ++k) {
    OUT[k] = static_cast<std::int16_t>(static_cast<std::int8_t>(BYTES[k]));
  }
}

void ALLOCTRACEARRAYS(ShotRecord& REC, int& IERR) {
  if (!RebuildTraceArrays(REC)) {
    IERR = -1;
    return;
  }
  REC.NAUX = 0;
  REC.SHOTY = 0.0f;
  std::fill(REC.IFXGAIN.begin(), REC.IFXGAIN.end(), 1);
  std::fill(REC.IVSTACK.begin(), REC.IVSTACK.end(), 1);
  for (auto& text : REC.CTRCTEXT) {
    for (std::size_t i = 0; i < text.Capacity(); ++i) text[i] = '\0';
  }
}

void StartTraceStatistics(ShotRecord& REC) {
  REC.GMIN = 1.0e30f;
  REC.GMAX = -1.0e30f;
}

void TraceStatistics(ShotRecord& REC, std::int32_t J) {
  if (J < 1 || static_cast<std::size_t>(J) > REC.TRACEMAX.size()) return;
  const std::span<const float> trace = Trace(std::as_const(REC), J);
  float tmin = 1.0e30f;
  float tmax = -1.0e30f;
  sup::FINDNX(trace, static_cast<int>(trace.size()), tmin, tmax);
  float peak = std::fabs(tmin);
  if (tmax > peak) peak = std::fabs(tmax);
  REC.TRACEMAX[static_cast<std::size_t>(J) - 1] = peak;
  if (tmin < REC.GMIN) REC.GMIN = tmin;
  if (tmax > REC.GMAX) REC.GMAX = tmax;
}

void FillReceiverPositions(ShotRecord& REC, double first, double step) {
  const std::size_t n = REC.GEOLOC.size();
  for (std::size_t j = 0; j < n; ++j) {
    const double x = first + static_cast<double>(j) * step;
    REC.GEOLOC[j] = instrument::ToFloat(x);
    REC.GOFF[j] = instrument::ToFloat(x - static_cast<double>(REC.SHOTX));
    REC.SHOTLOCX[j] = REC.SHOTX;
  }
}

namespace instrument {

std::int32_t IntField(std::string_view text, std::size_t offset, std::size_t width, bool* readOk) {
  std::int32_t v = 0;
  const bool ok = sup::ReadIntField(sup::FieldAt(text, offset, width), v);
  if (readOk != nullptr) *readOk = ok;
  return v;
}

double RealField(std::string_view text, std::size_t offset, std::size_t width) {
  double v = 0.0;
  if (!sup::ReadRealField(sup::FieldAt(text, offset, width), 0, v)) return 0.0;
  return std::fabs(v) > std::numeric_limits<float>::max() ? 0.0 : v;
}

float ToFloat(double v) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (std::isnan(v)) return std::numeric_limits<float>::quiet_NaN();
  if (v > kMax || v < -kMax) return 0.0f;
  return static_cast<float>(v);
}

void BlankLineEnds(std::string& text, bool etx) {
  const int n = static_cast<int>(text.size());
  sup::RPLCHR(text, n, '\n', ' ');
  sup::RPLCHR(text, n, '\r', ' ');
  if (etx) sup::RPLCHR(text, n, '\x03', ' ');
}

bool ReadWholeFile(std::string_view FNAME, std::vector<std::byte>& bytes, bool& opened) {
  bytes.clear();
  const int handle = sup::IOPNRLY(FNAME);
  opened = handle >= 0;
  if (!opened) return false;
  int size = 0;
  tk::IFileSeek(handle, size, tk::kFromEnd);
  bool ok = size >= 0 && sup::ISETFIL(handle, 0) == 0;
  if (ok) ok = sup::TryAssign(bytes, static_cast<std::size_t>(size));
  if (ok && size > 0) ok = sup::JREDFIL(handle, std::span<std::byte>(bytes), size) == 0;
  sup::ICLSFIL(handle);
  if (!ok) bytes.clear();
  return ok;
}

std::string NameField(std::string_view FNAME) {
  constexpr std::size_t kNameFieldChars = 256;
  std::string name(FNAME);
  if (name.size() < kNameFieldChars) name.resize(kNameFieldChars, ' ');
  return name;
}

std::string ReadErrorMessage(std::string_view FNAME) {
  return "Error reading file " + NameField(FNAME);
}

void ReadFail(int& IERR, std::string_view message) {
  if (!message.empty()) sup::WINMSG(message);
  IERR = -1;
}

void ReportOutcome(Outcome outcome, std::string_view FNAME, int& IERR,
                   std::string_view formatMessage) {
  switch (outcome) {
    case Outcome::Ok:
    case Outcome::PartialTraces:
      return;
    case Outcome::ShortFile:
      return ReadFail(IERR, ReadErrorMessage(FNAME));
    case Outcome::BadFormat:
      return ReadFail(IERR, formatMessage);
    case Outcome::NoMemory:
    case Outcome::Aborted:
      return ReadFail(IERR, {});
  }
}

}  // namespace instrument
}  // namespace vel
