// A view over a keyed HVN file of 100,000 entries of 10 owners, reading the
// last page (20 entries) of one owner's list in key order through the
// browse filter, as the browse does for "scroll to the bottom": the view
// with its key range stop, beside a plain filter reader stepping over the
// entries of every owner after this one. Unlike view_bench.cpp the file is
// a real one, so the figures include the driver's reads.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "bench/bench_dir.h"
#include "bench/hvn_load.h"
#include "bench/view_last_page.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"

namespace {

using namespace vaultrix;

struct Entry {
  char user[30];
  char service[30];
};

class Fixture {
 public:
  Fixture() {
    file_ = files::FileDeclaration(dir_.Path("entries"))
                .Attributes(0x17)
                .Field(files::StringField("P_:User", 30))
                .Field(files::StringField("P_:Service", 30))
                .Key("P_:KEYSERVICE", files::kKeyNoCase | files::kKeyDup, {"P_:User", "P_:Service"})
                .Build(files::HalverinDriver(), reinterpret_cast<std::uint8_t*>(&record_));
    files::Create(file_->Block());
    std::mt19937 random(7);
    (void)bench::LoadHvnRecords(dir_.Path("entries.HVN"), "", 100000, sizeof(Entry),
                                [&](int i, std::uint8_t* record) {
                                  Entry entry;
                                  std::memset(&entry, ' ', sizeof entry);
                                  const std::string user = "owner" + std::to_string(i % 10);
                                  std::memcpy(entry.user, user.data(), user.size());
                                  for (int c = 0; c < 12; ++c) {
                                    entry.service[c] = static_cast<char>('a' + random() % 26);
                                  }
                                  std::memcpy(record, &entry, sizeof entry);
                                });
    files::Open(file_->Block(), 0x42);
    files::Build(file_->Block());
    eval::ResetSymbolTables();
    (void)eval::BindRecord(file_->Block());
    eval::BIND("BRW1::Sort1:Save:P_:User", eval::Ref(range_));
    range_ = "OWNER2";  // owners 3 to 9 follow it in key order
  }
  ~Fixture() {
    files::Close(file_->Block());
    eval::ResetSymbolTables();
  }
  files::FileBlock& File() { return file_->Block(); }
  files::KeyBlock& Key() { return file_->Key(0); }

 private:
  bench::BenchDir dir_;
  Entry record_{};
  support::FixedString<30> range_;
  std::unique_ptr<files::DeclaredFile> file_;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_HvnViewLastPageOfOneOwner(benchmark::State& state) {
  bench::ReadLastPageByView(state, Shared().File(), Shared().Key());
}
BENCHMARK(BM_HvnViewLastPageOfOneOwner)->Unit(benchmark::kMicrosecond);

void BM_HvnPlainFilterLastPageOfOneOwner(benchmark::State& state) {
  bench::ReadLastPageByPlainFilter(state, Shared().File(), Shared().Key());
}
BENCHMARK(BM_HvnPlainFilterLastPageOfOneOwner)->Unit(benchmark::kMillisecond);

}  // namespace
