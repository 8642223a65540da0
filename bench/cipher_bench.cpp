// Throughput of the page cipher beside memcpy over the same buffer: every
// transfer of an owner-protected file runs through it, so its cost is paid on
// every page read and (twice) on every page written.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "runtime/files/hvn/cipher.h"

namespace {

using vaultrix::files::CipherContext;

std::vector<std::uint8_t> RandomBuffer(std::size_t size) {
  std::mt19937 rng(1);
  std::vector<std::uint8_t> buffer(size);
  for (std::uint8_t& b : buffer) b = static_cast<std::uint8_t>(rng());
  return buffer;
}

void SetBytes(benchmark::State& state, std::size_t size) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(size));
}

void BM_CipherEncipher(benchmark::State& state) {
  const std::size_t size = static_cast<std::size_t>(state.range(0));
  const CipherContext context("OrbitPlumeCasketNimbleFox");
  std::vector<std::uint8_t> buffer = RandomBuffer(size);
  for (auto _ : state) {
    benchmark::DoNotOptimize(context.Encipher(0, buffer.data(), buffer.size()));
    benchmark::ClobberMemory();
  }
  SetBytes(state, size);
}
BENCHMARK(BM_CipherEncipher)->Arg(4096)->Arg(1 << 20);

void BM_CipherDecipher(benchmark::State& state) {
  const std::size_t size = static_cast<std::size_t>(state.range(0));
  const CipherContext context("OrbitPlumeCasketNimbleFox");
  std::vector<std::uint8_t> buffer = RandomBuffer(size);
  for (auto _ : state) {
    benchmark::DoNotOptimize(context.Decipher(0, buffer.data(), buffer.size()));
    benchmark::ClobberMemory();
  }
  SetBytes(state, size);
}
BENCHMARK(BM_CipherDecipher)->Arg(4096)->Arg(1 << 20);

// The yardstick: copying the same buffer once.
void BM_CipherMemcpy(benchmark::State& state) {
  const std::size_t size = static_cast<std::size_t>(state.range(0));
  const std::vector<std::uint8_t> source = RandomBuffer(size);
  std::vector<std::uint8_t> target(size);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), size);
    benchmark::ClobberMemory();
  }
  SetBytes(state, size);
}
BENCHMARK(BM_CipherMemcpy)->Arg(4096)->Arg(1 << 20);

}  // namespace
