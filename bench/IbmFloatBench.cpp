// IBM hexadecimal float to IEEE over a whole record: 2000 traces of 1000
// samples, stored most significant byte first as in SEG-Y files.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "formats/IbmFloat.h"
#include "support/ByteOrder.h"

namespace {

constexpr int kTraces = 2000;
constexpr int kSamples = 1000;

std::vector<float> RandomRecord() {
  std::mt19937 rng(42);
  std::normal_distribution<float> noise(0.0f, 1000.0f);
  std::vector<float> v(static_cast<std::size_t>(kTraces) * kSamples);
  for (float& x : v) x = noise(rng);
  return v;
}

void BM_IbmToIeeeRecord(benchmark::State& state) {
  const std::vector<float> reals = RandomRecord();
  std::vector<std::uint32_t> ibm(reals.size());
  vel::IeeeToIbmFloat(reals, ibm, static_cast<int>(reals.size()), 0);
  std::vector<float> out(reals.size());
  for (auto _ : state) {
    for (int t = 0; t < kTraces; ++t) {
      const std::size_t at = static_cast<std::size_t>(t) * kSamples;
      vel::IbmToIeeeFloat(std::span<const std::uint32_t>(ibm).subspan(at, kSamples),
                          std::span<float>(out).subspan(at, kSamples), kSamples, 0);
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ibm.size()) * 4);
}
BENCHMARK(BM_IbmToIeeeRecord)->Unit(benchmark::kMillisecond);

void BM_IbmBytesToIeeeRecord(benchmark::State& state) {
  const std::vector<float> reals = RandomRecord();
  std::vector<std::byte> bytes(reals.size() * 4);
  vel::IeeeToIbmBytes(reals, bytes, static_cast<int>(reals.size()), 0);
  std::vector<float> out(reals.size());
  for (auto _ : state) {
    vel::IbmBytesToIeeeFloat(bytes, out, static_cast<int>(out.size()), 0);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_IbmBytesToIeeeRecord)->Unit(benchmark::kMillisecond);

void BM_IeeeToIbmRecord(benchmark::State& state) {
  const std::vector<float> reals = RandomRecord();
  std::vector<std::uint32_t> ibm(reals.size());
  for (auto _ : state) {
    vel::IeeeToIbmFloat(reals, ibm, static_cast<int>(reals.size()), 0);
    benchmark::DoNotOptimize(ibm.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ibm.size()) * 4);
}
BENCHMARK(BM_IeeeToIbmRecord)->Unit(benchmark::kMillisecond);

void BM_F4SwapRecord(benchmark::State& state) {
  std::vector<float> reals = RandomRecord();
  for (auto _ : state) {
    sup::F4SWAP(std::span<float>(reals), static_cast<int>(reals.size()));
    benchmark::DoNotOptimize(reals.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(reals.size()) * 4);
}
BENCHMARK(BM_F4SwapRecord)->Unit(benchmark::kMillisecond);

}  // namespace
