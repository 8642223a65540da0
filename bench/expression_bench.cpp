// The browse filter compiled once and evaluated per candidate record, over
// 30-character names: the inner loop of filtered reading.
#include <benchmark/benchmark.h>

#include "runtime/eval/expression.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/support/fixed_string.h"

namespace {

using namespace vaultrix;

constexpr const char* kBrowseFilter = "UPPER(P_:User) = UPPER(BRW1::Sort1:Save:P_:User)";

void BM_BrowseFilterEvaluate(benchmark::State& state) {
  eval::ResetSymbolTables();
  support::FixedString<30> user{"alexander montgomery-smithson"};
  support::FixedString<30> range{"Alexander Montgomery-Smithson"};
  eval::BIND("P_:User", eval::Ref(user));
  eval::BIND("BRW1::Sort1:Save:P_:User", eval::Ref(range));
  auto filter = eval::Compile(kBrowseFilter);
  if (filter == nullptr) {
    state.SkipWithError("filter does not compile");
    return;
  }
  bool passes = false;
  for (auto _ : state) {
    passes = filter->EvaluateTruth();
    benchmark::DoNotOptimize(passes);
  }
  if (!passes) state.SkipWithError("filter should pass");
  eval::ResetSymbolTables();
}
BENCHMARK(BM_BrowseFilterEvaluate);

void BM_BrowseFilterCompile(benchmark::State& state) {
  eval::ResetSymbolTables();
  support::FixedString<30> user, range;
  eval::BIND("P_:User", eval::Ref(user));
  eval::BIND("BRW1::Sort1:Save:P_:User", eval::Ref(range));
  for (auto _ : state) {
    auto filter = eval::Compile(kBrowseFilter);
    benchmark::DoNotOptimize(filter);
  }
  eval::ResetSymbolTables();
}
BENCHMARK(BM_BrowseFilterCompile);

}  // namespace
