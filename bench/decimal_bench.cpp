// Speed of the value conversions that run for every field of every record a
// browse or report shows: packed decimal to and from text and double, and
// blank-padded comparison of text fields.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "runtime/support/decimal.h"
#include "runtime/support/fixed_string.h"

namespace {

using vaultrix::support::Decimal;

constexpr int kValueCount = 1024;

// Packed fields of `size` bytes with 2 places, filled with random values.
std::vector<std::array<std::uint8_t, 16>> PackedValues(int size) {
  std::mt19937_64 rng(42);
  std::vector<std::array<std::uint8_t, 16>> values(kValueCount);
  const int digits = vaultrix::support::PackedDigits(size);
  for (auto& field : values) {
    std::string text = rng() % 2 ? "-" : "";
    for (int i = 0; i < digits; ++i) {
      if (i == digits - 2) text += '.';
      text += static_cast<char>('0' + rng() % 10);
    }
    if (!vaultrix::support::TextToPacked(text, field.data(), size, 2)) std::abort();
  }
  return values;
}

void BM_DecimalPackedToText(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const auto values = PackedValues(size);
  char text[Decimal::kMaxTextLength];
  std::size_t i = 0;
  for (auto _ : state) {
    const auto value = vaultrix::support::LoadPacked(values[i++ % kValueCount].data(), size, 2);
    benchmark::DoNotOptimize(value->ToChars(text));
  }
}
BENCHMARK(BM_DecimalPackedToText)->Arg(6)->Arg(16);

void BM_DecimalTextToPacked(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const auto values = PackedValues(size);
  std::vector<std::string> texts;
  for (const auto& field : values) {
    texts.push_back(*vaultrix::support::PackedToText(field.data(), size, 2));
  }
  std::array<std::uint8_t, 16> out{};
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        vaultrix::support::TextToPacked(texts[i++ % kValueCount], out.data(), size, 2));
  }
}
BENCHMARK(BM_DecimalTextToPacked)->Arg(6)->Arg(16);

void BM_DecimalPackedToDouble(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const auto values = PackedValues(size);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        vaultrix::support::PackedToDouble(values[i++ % kValueCount].data(), size, 2));
  }
}
BENCHMARK(BM_DecimalPackedToDouble)->Arg(6)->Arg(16);

void BM_DecimalDoubleToPacked(benchmark::State& state) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> distribution(-1e6, 1e6);
  std::vector<double> values(kValueCount);
  for (double& value : values) value = distribution(rng);
  std::array<std::uint8_t, 16> out{};
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        vaultrix::support::DoubleToPacked(values[i++ % kValueCount], out.data(), 6, 2));
  }
}
BENCHMARK(BM_DecimalDoubleToPacked);

// Two 90-character fields that differ only in their padding, as a browse
// filter compares them.
void BM_FixedStringCompare(benchmark::State& state) {
  const std::string a = std::string("https://example.org/login") + std::string(65, ' ');
  const std::string b = std::string("https://example.org/login") + std::string(40, ' ');
  for (auto _ : state) {
    benchmark::DoNotOptimize(vaultrix::support::CompareBlankPadded(a, b));
  }
}
BENCHMARK(BM_FixedStringCompare);

void BM_FixedStringClip(benchmark::State& state) {
  const std::string field = std::string("a service name") + std::string(76, ' ');
  for (auto _ : state) benchmark::DoNotOptimize(vaultrix::support::CLIP(field));
}
BENCHMARK(BM_FixedStringClip);

}  // namespace
