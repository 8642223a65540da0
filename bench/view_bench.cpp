// A view over 100,000 entries of 10 owners, reading the last page (20
// entries) of one owner's list in key order, as the browse does for "scroll
// to the bottom": with the key range stop, and with a plain filter reader
// that steps over every other owner's entries after this one's. The file is
// served by the in-memory test driver, so the figures are the view's own
// cost plus the driver's stepping.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "bench/view_last_page.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/support/error_state.h"
#include "tests/eval/memory_driver.h"

namespace {

using namespace vaultrix;

struct Entry {
  char user[30];
  char service[30];
};


class Fixture {
 public:
  Fixture() {
    eval::testing::MemoryTables().clear();
    file_ = files::FileDeclaration("BenchEntries")
                .Field(files::StringField("P_:User", 30))
                .Field(files::StringField("P_:Service", 30))
                .Key("P_:KEYSERVICE", files::kKeyNoCase | files::kKeyDup, {"P_:User", "P_:Service"})
                .Build(eval::testing::MemoryDriver(), reinterpret_cast<std::uint8_t*>(&record_));
    files::Open(file_->Block());
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i) {
      std::memset(&record_, ' ', sizeof record_);
      const std::string user = "owner" + std::to_string(i % 10);
      std::memcpy(record_.user, user.data(), user.size());
      for (int c = 0; c < 12; ++c) record_.service[c] = static_cast<char>('a' + random() % 26);
      files::Add(file_->Block());
    }
    eval::ResetSymbolTables();
    (void)eval::BindRecord(file_->Block());
    eval::BIND("BRW1::Sort1:Save:P_:User", eval::Ref(range_));
    range_ = "OWNER2";  // owners 3 to 9 follow it in key order
  }
  ~Fixture() { eval::ResetSymbolTables(); }

  files::FileBlock& File() { return file_->Block(); }
  files::KeyBlock& Key() { return file_->Key(0); }

 private:
  Entry record_{};
  support::FixedString<30> range_;
  std::unique_ptr<files::DeclaredFile> file_;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}


void BM_ViewLastPageOfOneOwner(benchmark::State& state) {
  bench::ReadLastPageByView(state, Shared().File(), Shared().Key());
}
BENCHMARK(BM_ViewLastPageOfOneOwner)->Unit(benchmark::kMicrosecond);

void BM_PlainFilterLastPageOfOneOwner(benchmark::State& state) {
  bench::ReadLastPageByPlainFilter(state, Shared().File(), Shared().Key());
}
BENCHMARK(BM_PlainFilterLastPageOfOneOwner)->Unit(benchmark::kMicrosecond);

}  // namespace
