// ADDs inside one transaction (LOGOUT, N ADDs, COMMIT) on a keyed HVN file
// with three text keys, for N = 1000 and 4000: the time per ADD should not
// grow with the number of changes the transaction already holds.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "bench/bench_dir.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"

namespace {

using namespace vaultrix::files;
using vaultrix::support::ErrorCode;

constexpr std::uint32_t kTextSize = 60;

std::unique_ptr<DeclaredFile> DeclareLogged(const std::string& name) {
  return FileDeclaration(name)
      .Attributes(0x17)
      .Field(StringField("L:SERVICE", kTextSize))
      .Field(StringField("L:USER", kTextSize))
      .Field(StringField("L:URL", kTextSize))
      .Key("L:KEYSERVICE", kKeyNoCase, {"L:SERVICE"})
      .Key("L:KEYUSER", kKeyNoCase | kKeyDup, {"L:USER"})
      .Key("L:KEYURL", kKeyNoCase | kKeyDup, {"L:URL"})
      .Build(HalverinDriver());
}

void SetText(std::uint8_t* at, const std::string& text) {
  std::memset(at, ' ', kTextSize);
  std::memcpy(at, text.data(), std::min<std::size_t>(text.size(), kTextSize));
}

void BM_HvnTransactionAdds(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto dir = std::make_unique<vaultrix::bench::BenchDir>();
    auto file = DeclareLogged(dir->Path("logged"));
    Create(file->Block());
    Open(file->Block(), 0x42);
    (void)Send(file->Block(), "TCF=" + dir->Path("control.tcf"));
    state.ResumeTiming();
    Logout(file->Block());
    for (int i = 0; i < count; ++i) {
      std::uint8_t* record = file->Record();
      SetText(record, "Service " + std::to_string(i * 7919 % 1000003));
      SetText(record + kTextSize, "user" + std::to_string(i % 500));
      SetText(record + 2 * kTextSize, "https://site" + std::to_string(i % 2000) + ".invalid");
      Add(file->Block());
    }
    Commit(file->Block());
    state.PauseTiming();
    if (ErrorCode() != 0 || Records(file->Block()) != count) state.SkipWithError("not committed");
    Close(file->Block());
    file.reset();
    dir.reset();
    state.ResumeTiming();
  }
  // Seconds per ADD, COMMIT included.
  state.counters["per_add"] = benchmark::Counter(
      static_cast<double>(count),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HvnTransactionAdds)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
