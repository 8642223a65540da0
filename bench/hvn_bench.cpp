// The HVN data files side by side with SQLite, on the same disk (a directory
// made in the current directory): a durable single-record ADD of 240-byte
// records, one commit each, against single-row INSERT transactions with
// synchronous=FULL in rollback-journal and WAL mode; a record-order scan of
// 100,000 records against a full table scan; and the file size of those
// 100,000 records (the "file_bytes" counter).
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string>

#include "bench/bench_dir.h"
#include "bench/hvn_load.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"

#if defined(VAULTRIX_HAVE_SQLITE)
#include <sqlite3.h>
#endif

namespace {

using namespace vaultrix::files;

constexpr int kScanRecords = 100000;
constexpr std::uint32_t kTextSize = 236;  // with a LONG: 240 bytes

using vaultrix::bench::BenchDir;

std::unique_ptr<DeclaredFile> Declare(const std::string& name) {
  return FileDeclaration(name)
      .Attributes(0x17)
      .Field(StringField("B:TEXT", kTextSize))
      .Field(FixedField(kTypeLong, "B:NUMBER"))
      .Build(HalverinDriver());
}

std::string RecordText(int i) {
  std::string text(kTextSize, ' ');
  const std::string body = "service " + std::to_string(i) + " user" + std::to_string(i * 7) +
                           " https://example.invalid/" + std::to_string(i);
  text.replace(0, body.size(), body);
  return text;
}

void Fill(DeclaredFile& file, int i) {
  const std::string text = RecordText(i);
  std::memcpy(file.Record(), text.data(), kTextSize);
  std::memcpy(file.Record() + kTextSize, &i, 4);
}

double FileBytes(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? static_cast<double>(info.st_size) : 0;
}

void BM_HvnDurableAdd(benchmark::State& state) {
  BenchDir dir;
  auto file = Declare(dir.Path("add"));
  Create(file->Block());
  Open(file->Block(), 0x42);
  int i = 0;
  for (auto _ : state) {
    Fill(*file, ++i);
    Add(file->Block());
    if (vaultrix::support::ErrorCode() != 0) state.SkipWithError("ADD failed");
  }
  Close(file->Block());
}
BENCHMARK(BM_HvnDurableAdd)->Unit(benchmark::kMicrosecond)->Iterations(300);

// 100,000 records loaded in one commit through the engine beneath the driver.
void LoadHvn(const std::string& name) {
  auto file = Declare(name);
  Create(file->Block());
  (void)vaultrix::bench::LoadHvnRecords(name + ".HVN", "", kScanRecords, kTextSize + 4,
                                        [&](int i, std::uint8_t* record) {
                                          Fill(*file, i);
                                          std::memcpy(record, file->Record(), kTextSize + 4);
                                        });
}

void BM_HvnScan(benchmark::State& state) {
  BenchDir dir;
  LoadHvn(dir.Path("scan"));
  auto file = Declare(dir.Path("scan"));
  Open(file->Block(), 0x42);
  for (auto _ : state) {
    int count = 0;
    Set(file->Block());
    for (Next(file->Block()); vaultrix::support::ErrorCode() == 0; Next(file->Block())) ++count;
    if (count != kScanRecords) state.SkipWithError("wrong count");
  }
  state.counters["file_bytes"] = FileBytes(dir.Path("scan.HVN"));
  Close(file->Block());
}
BENCHMARK(BM_HvnScan)->Unit(benchmark::kMillisecond)->Iterations(5);

#if defined(VAULTRIX_HAVE_SQLITE)
sqlite3* OpenSqlite(const std::string& path, const char* journal) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, (std::string("PRAGMA journal_mode=") + journal).c_str(), nullptr, nullptr,
               nullptr);
  sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
  sqlite3_exec(db,
               "CREATE TABLE IF NOT EXISTS t(id INTEGER PRIMARY KEY, text TEXT, number INTEGER)",
               nullptr, nullptr, nullptr);
  return db;
}

void SqliteInsert(benchmark::State& state, const char* journal) {
  BenchDir dir;
  sqlite3* db = OpenSqlite(dir.Path("add.db"), journal);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t(text, number) VALUES(?, ?)", -1, &insert, nullptr);
  int i = 0;
  for (auto _ : state) {
    const std::string text = RecordText(++i);
    sqlite3_bind_text(insert, 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 2, i);
    if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError("INSERT failed");
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_close(db);
}
void BM_SqliteInsertRollbackJournal(benchmark::State& state) {
  SqliteInsert(state, "DELETE");
}
void BM_SqliteInsertWal(benchmark::State& state) {
  SqliteInsert(state, "WAL");
}
BENCHMARK(BM_SqliteInsertRollbackJournal)->Unit(benchmark::kMicrosecond)->Iterations(300);
BENCHMARK(BM_SqliteInsertWal)->Unit(benchmark::kMicrosecond)->Iterations(300);

void BM_SqliteScan(benchmark::State& state) {
  BenchDir dir;
  sqlite3* db = OpenSqlite(dir.Path("scan.db"), "DELETE");
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t(text, number) VALUES(?, ?)", -1, &insert, nullptr);
  for (int i = 1; i <= kScanRecords; ++i) {
    const std::string text = RecordText(i);
    sqlite3_bind_text(insert, 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 2, i);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(db, "SELECT id, text, number FROM t", -1, &scan, nullptr);
  char record[kTextSize + 4];
  for (auto _ : state) {
    int count = 0;
    while (sqlite3_step(scan) == SQLITE_ROW) {
      // Copy the row out, as a record buffer would receive it.
      const void* text = sqlite3_column_text(scan, 1);
      std::memcpy(record, text, static_cast<std::size_t>(sqlite3_column_bytes(scan, 1)));
      const int number = sqlite3_column_int(scan, 2);
      std::memcpy(record + kTextSize, &number, 4);
      ++count;
    }
    sqlite3_reset(scan);
    benchmark::DoNotOptimize(record);
    if (count != kScanRecords) state.SkipWithError("wrong count");
  }
  sqlite3_finalize(scan);
  state.counters["file_bytes"] = FileBytes(dir.Path("scan.db"));
  sqlite3_close(db);
}
BENCHMARK(BM_SqliteScan)->Unit(benchmark::kMillisecond)->Iterations(5);
#endif

}  // namespace
