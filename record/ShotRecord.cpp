#include "record/ShotRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "support/Allocation.h"
#include "support/Logical.h"
#include "toolkit/core/Rounding.h"

namespace vel {
namespace {

// One step of the rebuild: while everything so far succeeded, release V and
// allocate it for COUNT default (zero or blank) elements; after a failure,
// only release it.
template <typename T, typename A>
void Reallocate(std::vector<T, A>& v, std::size_t count, bool& ok) {
  std::vector<T, A>().swap(v);
  if (!ok) return;
  ok = sup::TryAssign(v, count);
}

// The samples: sized, and zeroed in one pass unless the caller writes them.
void ReallocateSamples(TraceSampleArray& v, std::size_t count, TraceSamples samples, bool& ok) {
  TraceSampleArray().swap(v);
  if (!ok) return;
  ok = sup::TryAllocation([&] { v.resize(count); });
  if (!ok) {
    TraceSampleArray().swap(v);
  } else if (samples == TraceSamples::Zero && count > 0) {
    std::memset(v.data(), 0, count * sizeof(float));
  }
}

template <typename T, typename A>
void Release(std::vector<T, A>& v) {
  std::vector<T, A>().swap(v);
}

template <typename Rec>
auto TraceColumn(Rec& REC, std::int32_t J) -> decltype(std::span(REC.TRACES)) {
  if (J < 1 || J > REC.NTRACE || REC.NSAMP <= 0) return {};
  const auto nsamp = static_cast<std::size_t>(REC.NSAMP);
  const std::size_t start = static_cast<std::size_t>(J - 1) * nsamp;
  if (start > REC.TRACES.size() || nsamp > REC.TRACES.size() - start) return {};
  return std::span(REC.TRACES).subspan(start, nsamp);
}

}  // namespace

bool RebuildTraceArrays(ShotRecord& REC, SegyTraceHeaders segyHeaders, TraceSamples samples) {
  bool ok = REC.NTRACE >= 0 && REC.NSAMP >= 0;
  const std::size_t ntr = ok ? static_cast<std::size_t>(REC.NTRACE) : 0;
  const std::size_t nsamples =
      ok ? static_cast<std::size_t>(static_cast<std::int64_t>(REC.NSAMP) * REC.NTRACE) : 0;
  auto& R = REC;
  ReallocateSamples(R.TRACES, nsamples, samples, ok);
  Reallocate(R.GEOLOC, ntr, ok);
  Reallocate(R.GOFF, ntr, ok);
  Reallocate(R.GEOELE, ntr, ok);
  Reallocate(R.IBPICK, ntr, ok);
  Reallocate(R.TRACEMAX, ntr, ok);
  Reallocate(R.GEOLOCY, ntr, ok);
  if (segyHeaders == SegyTraceHeaders::Allocate) Reallocate(R.ISEGYTRH, ntr, ok);
  Reallocate(R.SHOTLOCX, ntr, ok);
  Reallocate(R.SHOTLOCY, ntr, ok);
  Reallocate(R.CTRCTEXT, ntr, ok);
  for (auto* a : {&R.IHICUT, &R.ILOCUT, &R.INOTCH, &R.IYEAR, &R.IDAY, &R.IHOUR, &R.IMINUTE,
                  &R.ISECOND, &R.ITBASE})
    Reallocate(*a, ntr, ok);
  for (auto* a : {&R.FALIAS,  &R.FALIASS, &R.DATUMEL, &R.DESCALE,  &R.FDBREJ1, &R.FDBREJ2,
                  &R.FDBREJ3, &R.FDBREJ4, &R.FDHICUT, &R.FDHICUTS, &R.FDLOCUT, &R.FDLOCUTS,
                  &R.FHICUT,  &R.FHICUTS, &R.FLOCUT,  &R.FLOCUTS,  &R.FNOTCH,  &R.TSKEW,
                  &R.STATSRC, &R.STATREC, &R.STATTOT, &R.SHOTLOCZ})
    Reallocate(*a, ntr, ok);
  for (auto* a : {&R.IAMPREC, &R.ICDP, &R.ICDPTRC, &R.ICHANNEL, &R.IENDGRP, &R.IFXGAIN, &R.ILINEID,
                  &R.IPOLAR, &R.ISHOTSEQ, &R.ISRCSTN, &R.IRCVSTN, &R.IVSTACK})
    Reallocate(*a, ntr, ok);
  Reallocate(R.CSRCTEXT, ntr, ok);
  Reallocate(R.CTRCTYPE, ntr, ok);
  for (auto* a : {&R.FBREJ1, &R.FBREJ2, &R.FBREJ3, &R.FBREJ4}) Reallocate(*a, ntr, ok);
  return ok;
}

void ReleaseTraceArrays(ShotRecord& REC) {
  Release(REC.ISEGYTRH);
  Release(REC.TRACES);
  ForEachPerTraceArray(REC, [](auto& v) { Release(v); });
}

std::span<float> Trace(ShotRecord& REC, std::int32_t J) {
  return TraceColumn(REC, J);
}
std::span<const float> Trace(const ShotRecord& REC, std::int32_t J) {
  return TraceColumn(REC, J);
}

bool WriteMainHeader(const ShotRecord& REC, std::span<std::byte> out) {
  if (out.size() < kMainHeaderBytes) return false;
  sup::ByteWriter w(out.first(kMainHeaderBytes), sup::ByteOrder::Little);
  w.Text(REC.CRECNAME.View(), 32);
  for (float v : {REC.SAMPINT, REC.SPAREHDR, REC.TDELAY, REC.TUPHOLE, REC.SHOTX, REC.SHOTDEPTH,
                  REC.SHOTELEV, REC.SPACING, REC.GMIN, REC.GMAX})
    w.F32(v);
  w.I32(REC.NSAMP);
  w.I32(REC.NTRACE);
  w.I32(REC.ISHOT);
  w.Text(REC.CUNITS.View(), 4);
  w.I32(sup::ToLogical32(REC.LPICKS));
  w.F32(REC.SHOTY);
  w.I32(sup::ToLogical32(REC.LRADAR));
  w.I32(REC.IFORMAT);
  w.F32(REC.T0NMO);
  w.F32(REC.VNMO);
  w.I32(REC.NAUX);
  w.F32(REC.T0REF);
  w.F32(REC.VREF);
  return w.Ok() && w.Offset() == kMainHeaderBytes;
}

bool ReadMainHeader(ShotRecord& REC, std::span<const std::byte> in) {
  if (in.size() < kMainHeaderBytes) return false;
  sup::ByteReader r(in.first(kMainHeaderBytes), sup::ByteOrder::Little);
  ShotRecord& R = REC;
  R.CRECNAME = r.Text(32);
  for (float* v : {&R.SAMPINT, &R.SPAREHDR, &R.TDELAY, &R.TUPHOLE, &R.SHOTX, &R.SHOTDEPTH,
                   &R.SHOTELEV, &R.SPACING, &R.GMIN, &R.GMAX})
    *v = r.F32();
  R.NSAMP = r.I32();
  R.NTRACE = r.I32();
  R.ISHOT = r.I32();
  R.CUNITS = r.Text(4);
  R.LPICKS = sup::FromLogical32(r.I32());
  R.SHOTY = r.F32();
  R.LRADAR = sup::FromLogical32(r.I32());
  R.IFORMAT = r.I32();
  R.T0NMO = r.F32();
  R.VNMO = r.F32();
  R.NAUX = r.I32();
  R.T0REF = r.F32();
  R.VREF = r.F32();
  return r.Ok();
}

float PickTime(const ShotRecord& REC, std::int32_t index) {
  return static_cast<float>(index) * REC.SAMPINT + REC.TDELAY;
}

std::int32_t PickIndex(const ShotRecord& REC, float t) {
  if (!(REC.SAMPINT > 0.0f)) return 0;
  const float samples = (t - REC.TDELAY) / REC.SAMPINT;
  if (!std::isfinite(samples)) return 0;
  return tk::NearestInt(samples);
}

namespace {

// The display options as a list of 4-byte fields, in their stored order.
constexpr std::size_t kDisplayFieldCount = kTraceDisplayOptionsBytes / 4;
static_assert(kTraceDisplayOptionsBytes == 56 && kStoredDisplayOptionsBytes == 40);

template <typename Opts, typename Visit>
void ForEachDisplayField(Opts& o, std::size_t fields, Visit&& visit) {
  // visit(float&) / visit(int32&) / visit(bool&) in field order, FIELDS of them.
  std::size_t i = 0;
  const auto step = [&](auto& field) {
    if (i++ < fields) visit(field);
  };
  step(o.TRACECLIP);
  step(o.TRACEWIDTH);
  step(o.AGCFRAC);
  step(o.IGAINMETHOD);
  step(o.ITIMELINES);
  step(o.LVERTICAL);
  step(o.LVARAREA);
  step(o.LPLOTPICKS);
  step(o.LGEOPOS);
  step(o.PIXELSIZE);
  step(o.IFIRSTTRACE);
  step(o.ILASTTRACE);
  step(o.LUSERMAX);
  step(o.USERMAX);
}

std::size_t FieldsOf(std::size_t bytes) {
  return std::min(bytes, kTraceDisplayOptionsBytes) / 4;
}

}  // namespace

void WriteTraceDisplayOptions(const TraceDisplayOptions& opts, sup::ByteWriter& w,
                              std::size_t bytes) {
  ForEachDisplayField(opts, FieldsOf(bytes), [&w](const auto& field) {
    using T = std::decay_t<decltype(field)>;
    if constexpr (std::is_same_v<T, float>) {
      w.F32(field);
    } else if constexpr (std::is_same_v<T, bool>) {
      w.I32(sup::ToLogical32(field));
    } else {
      w.I32(field);
    }
  });
}

void ReadTraceDisplayOptions(TraceDisplayOptions& opts, sup::ByteReader& r, std::size_t bytes) {
  TraceDisplayOptions read = opts;
  ForEachDisplayField(read, FieldsOf(bytes), [&r](auto& field) {
    using T = std::decay_t<decltype(field)>;
    if constexpr (std::is_same_v<T, float>) {
      field = r.F32();
    } else if constexpr (std::is_same_v<T, bool>) {
      field = sup::FromLogical32(r.I32());
    } else {
      field = r.I32();
    }
  });
  if (r.Ok()) opts = read;
}

static_assert(kDisplayFieldCount == 14);

}  // namespace vel
