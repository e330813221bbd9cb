#pragma once
// One fuzz input through every SEG-Y decoder: the text header and binary
// header decoders on its start, the trace header decoder in both byte orders,
// the sample decoder for every format code in both byte orders, and the
// sample range over what it decoded, and the decoder that finds the range in
// the same pass, which must agree bit for bit. A decode that claims success must have
// had the bytes it needs and must give what the format allows; anything else
// traps, so the fuzzer and the corpus test both see it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "formats/SegyHeaders.h"
#include "formats/SegyIn.h"

namespace segy_fuzz {

inline void Check(bool holds) {
  if (!holds) __builtin_trap();
}

inline int FuzzSegyDecoders(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  {
    bool ebcdic = size > 0 && (data[0] & 1) != 0;
    bool recognised = false;
    std::string text;
    if (vel::DecodeSegyTextHeader(bytes, ebcdic, recognised, text)) {
      Check(size >= vel::kSegyTextBytes && text.size() == vel::kSegyTextBytes);
      Check(!recognised || text[0] == 'C');
    }
  }
  {
    vel::SegyBinaryHeader bin{};
    bool big = false;
    int badCode = 0;
    const auto outcome = vel::DecodeSegyBinaryHeader(bytes, bin, big, badCode);
    Check((outcome == vel::SegyBinaryOutcome::Short) == (size < vel::kSegyBinaryHeaderBytes));
    if (outcome == vel::SegyBinaryOutcome::Ok) {
      const int format = vel::SegyGet(bin, vel::segy_bin::kFormat);
      Check(format >= 1 && format <= 5);
      Check(big || format != vel::kSegyIbmFloat);
    }
  }
  for (const bool big : {false, true}) {
    vel::SegyTraceHeader h{};
    Check(vel::DecodeSegyTraceHeader(bytes, big, h) == (size >= vel::kSegyTraceHeaderBytes));
  }
  // Samples: as many as the input could hold as 16-bit values, and one more.
  const std::size_t n = std::min<std::size_t>(size / 2 + 1, 1 << 14);
  std::vector<float> out(n);
  std::vector<float> again(n);
  for (const int format : {0, 1, 2, 3, 4, 5, 6}) {
    for (const bool big : {false, true}) {
      for (const std::size_t count : {n, n / 2, std::size_t{0}}) {
        const std::span<float> s(out.data(), count);
        float lo2 = 1.0e30f;
        float hi2 = -1.0e30f;
        const std::span<float> t(again.data(), count);
        const bool fused = vel::DecodeSegySamplesWithRange(bytes, format, big, t, lo2, hi2);
        if (!vel::DecodeSegySamples(bytes, format, big, s)) {
          Check(!fused);
          continue;
        }
        Check(fused);
        Check(count == 0 || std::memcmp(s.data(), t.data(), count * sizeof(float)) == 0);
        Check(format == 1 || format == 2 || format == 3 || format == 5);
        Check(count * static_cast<std::size_t>(vel::SegyBytesPerSample(format)) <= size);
        if (format != 5) {
          for (const float v : s) Check(std::isfinite(v));
        }
        float lo = 1.0e30f;
        float hi = -1.0e30f;
        vel::SegySampleRange(s, lo, hi);
        Check(lo == 1.0e30f || (lo >= -1.0e15f && lo <= 1.0e15f));
        Check(hi == -1.0e30f || (hi >= -1.0e15f && hi <= 1.0e15f));
        Check(std::memcmp(&lo, &lo2, sizeof lo) == 0 && std::memcmp(&hi, &hi2, sizeof hi) == 0);
      }
    }
  }
  return 0;
}

}  // namespace segy_fuzz
