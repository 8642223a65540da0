// Pictures on the list control's hot path: formatting and reading back a 30-character string
// ("@s30"), a 9.2 number ("@n9.2") and a long-form date ("@D4"). Goal: under 200 ns a call.
#include <benchmark/benchmark.h>

#include "runtime/support/dates.h"
#include "runtime/support/decimal.h"
#include "runtime/windows/picture.h"

namespace vaultrix::windows {
namespace {

Picture Compiled(const char* text) {
  Picture picture;
  if (!CompilePicture(text, picture)) std::abort();
  return picture;
}

void BM_PictureFormatString30(benchmark::State& state) {
  Picture picture = Compiled("@s30");
  PictureValue value = PictureValue::Text("https://accounts.example.com/");
  for (auto _ : state) benchmark::DoNotOptimize(FormatValue(value, picture));
}
BENCHMARK(BM_PictureFormatString30);

void BM_PictureDeformatString30(benchmark::State& state) {
  Picture picture = Compiled("@s30");
  DeformattedValue value;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DeformatValue("https://accounts.example.com/ ", picture, value));
  }
}
BENCHMARK(BM_PictureDeformatString30);

void BM_PictureFormatNumber92Decimal(benchmark::State& state) {
  Picture picture = Compiled("@n9.2");
  PictureValue value = PictureValue::FromDecimal(*support::Decimal::Parse("1234.56"));
  for (auto _ : state) benchmark::DoNotOptimize(FormatValue(value, picture));
}
BENCHMARK(BM_PictureFormatNumber92Decimal);

void BM_PictureFormatNumber92Double(benchmark::State& state) {
  Picture picture = Compiled("@n9.2");
  PictureValue value = PictureValue::Real(1234.56);
  for (auto _ : state) benchmark::DoNotOptimize(FormatValue(value, picture));
}
BENCHMARK(BM_PictureFormatNumber92Double);

void BM_PictureDeformatNumber92(benchmark::State& state) {
  Picture picture = Compiled("@n9.2");
  DeformattedValue value;
  for (auto _ : state) benchmark::DoNotOptimize(DeformatValue(" 1,234.56", picture, value));
}
BENCHMARK(BM_PictureDeformatNumber92);

void BM_PictureFormatDateD4(benchmark::State& state) {
  Picture picture = Compiled("D4");
  PictureValue value = PictureValue::Long(support::CivilToDate(1996, 7, 4));
  for (auto _ : state) benchmark::DoNotOptimize(FormatValue(value, picture));
}
BENCHMARK(BM_PictureFormatDateD4);

void BM_PictureDeformatDateD4(benchmark::State& state) {
  Picture picture = Compiled("D4");
  DeformattedValue value;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DeformatValue("July       4, 1996", picture, value));
  }
}
BENCHMARK(BM_PictureDeformatDateD4);

}  // namespace
}  // namespace vaultrix::windows
