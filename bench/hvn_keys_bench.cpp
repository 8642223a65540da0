// Keyed HVN files beside SQLite, on the same disk (a directory made in the
// current directory), with records shaped like the passwords file: 240
// bytes, three text keys (a unique NOCASE service key, DUP user and URL
// keys). Durable single-record ADD with the three keys maintained against a
// single-row INSERT with three indexes (rollback journal, synchronous=FULL);
// GET by the unique key at random over 100,000 records (warm) against an
// indexed lookup, one transaction each; an ordered scan through a key
// against an ordered index scan; and the same reads with an owner password.
// The cipher's own throughput beside memcpy is in cipher_bench.cpp.
#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>
#include <random>
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
using vaultrix::support::ErrorCode;

constexpr int kRecords = 100000;
constexpr std::uint32_t kServiceSize = 80, kUserSize = 80, kUrlSize = 76;  // + LONG: 240
constexpr const char* kOwner = "OrbitPlumeCasketNimbleFox";

using vaultrix::bench::BenchDir;

std::unique_ptr<DeclaredFile> Declare(const std::string& name, const std::string& owner) {
  return FileDeclaration(name)
      .Owner(owner)
      .Attributes(0x17)
      .Field(StringField("B:SERVICE", kServiceSize))
      .Field(StringField("B:USER", kUserSize))
      .Field(StringField("B:URL", kUrlSize))
      .Field(FixedField(kTypeLong, "B:NUMBER"))
      .Key("B:KEYSERVICE", kKeyNoCase, {"B:SERVICE"})
      .Key("B:KEYUSER", kKeyNoCase | kKeyDup, {"B:USER"})
      .Key("B:KEYURL", kKeyNoCase | kKeyDup, {"B:URL"})
      .Build(HalverinDriver());
}

struct Texts {
  std::string service, user, url;
};

// Record i's texts; services are unique, users and URLs repeat.
Texts TextsOf(int i) {
  return {"Service " + std::to_string(i * 7919 % 1000003), "user" + std::to_string(i % 5000),
          "https://site" + std::to_string(i % 20000) + ".example.invalid/login"};
}

void Put(std::uint8_t* at, const std::string& text, std::uint32_t size) {
  std::memset(at, ' ', size);
  std::memcpy(at, text.data(), std::min<std::size_t>(text.size(), size));
}

void Fill(DeclaredFile& file, int i) {
  const Texts texts = TextsOf(i);
  std::uint8_t* record = file.Record();
  Put(record, texts.service, kServiceSize);
  Put(record + kServiceSize, texts.user, kUserSize);
  Put(record + kServiceSize + kUserSize, texts.url, kUrlSize);
  std::memcpy(record + kServiceSize + kUserSize + kUrlSize, &i, 4);
}

void DurableAdd(benchmark::State& state, const std::string& owner) {
  BenchDir dir;
  auto file = Declare(dir.Path("add"), owner);
  Create(file->Block());
  Open(file->Block(), 0x42);
  int i = 0;
  for (auto _ : state) {
    Fill(*file, ++i);
    Add(file->Block());
    if (ErrorCode() != 0) state.SkipWithError("ADD failed");
  }
  Close(file->Block());
}
void BM_HvnKeysDurableAdd(benchmark::State& state) {
  DurableAdd(state, "");
}
void BM_HvnKeysDurableAddOwner(benchmark::State& state) {
  DurableAdd(state, kOwner);
}
BENCHMARK(BM_HvnKeysDurableAdd)->Unit(benchmark::kMicrosecond)->Iterations(300);
BENCHMARK(BM_HvnKeysDurableAddOwner)->Unit(benchmark::kMicrosecond)->Iterations(300);

// 100,000 records written in one commit beneath the driver, then their keys
// made by one BUILD; the file stays open for the reads.
class LoadedFile {
 public:
  LoadedFile(const std::string& owner) : file_(Declare(dir_.Path("keys"), owner)) {
    Create(file_->Block());
    const std::string path = dir_.Path("keys.HVN");
    if (!vaultrix::bench::LoadHvnRecords(path, owner, kRecords, 240, [&](int i, std::uint8_t* record) {
          Fill(*file_, i);
          std::memcpy(record, file_->Record(), 240);
        })) {
      return;
    }
    Open(file_->Block(), 0x42);
    (void)Send(file_->Block(), "FULLBUILD=ON");
    Build(file_->Block());
    ok_ = ErrorCode() == 0 && Records(file_->Key(0)) == kRecords;
  }
  ~LoadedFile() { Close(file_->Block()); }
  [[nodiscard]] bool ok() const { return ok_; }
  DeclaredFile& file() { return *file_; }

 private:
  BenchDir dir_;
  std::unique_ptr<DeclaredFile> file_;
  bool ok_ = false;
};

void GetByKey(benchmark::State& state, const std::string& owner) {
  LoadedFile loaded(owner);
  if (!loaded.ok()) {
    state.SkipWithError("load failed");
    return;
  }
  DeclaredFile& file = loaded.file();
  std::mt19937 random(7);
  for (auto _ : state) {
    const int i = 1 + static_cast<int>(random() % kRecords);
    Put(file.Record(), TextsOf(i).service, kServiceSize);
    Get(file.Block(), file.Key(0));
    if (ErrorCode() != 0) state.SkipWithError("GET failed");
  }
}
void BM_HvnKeysGet(benchmark::State& state) {
  GetByKey(state, "");
}
void BM_HvnKeysGetOwner(benchmark::State& state) {
  GetByKey(state, kOwner);
}
BENCHMARK(BM_HvnKeysGet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HvnKeysGetOwner)->Unit(benchmark::kMicrosecond);

void OrderedScan(benchmark::State& state, const std::string& owner) {
  LoadedFile loaded(owner);
  if (!loaded.ok()) {
    state.SkipWithError("load failed");
    return;
  }
  DeclaredFile& file = loaded.file();
  for (auto _ : state) {
    int count = 0;
    Set(file.Key(0));
    for (Next(file.Block()); ErrorCode() == 0; Next(file.Block())) ++count;
    if (count != kRecords) state.SkipWithError("wrong count");
  }
}
void BM_HvnKeysOrderedScan(benchmark::State& state) {
  OrderedScan(state, "");
}
void BM_HvnKeysOrderedScanOwner(benchmark::State& state) {
  OrderedScan(state, kOwner);
}
BENCHMARK(BM_HvnKeysOrderedScan)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_HvnKeysOrderedScanOwner)->Unit(benchmark::kMillisecond)->Iterations(5);

#if defined(VAULTRIX_HAVE_SQLITE)
sqlite3* OpenKeyedSqlite(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  for (const char* sql :
       {"PRAGMA journal_mode=DELETE", "PRAGMA synchronous=FULL",
        "CREATE TABLE t(id INTEGER PRIMARY KEY, service TEXT, user TEXT, url TEXT, number INT)",
        "CREATE UNIQUE INDEX t_service ON t(service COLLATE NOCASE)",
        "CREATE INDEX t_user ON t(user COLLATE NOCASE)",
        "CREATE INDEX t_url ON t(url COLLATE NOCASE)"}) {
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  }
  return db;
}

// Binds record i's row, texts padded to their field sizes as the HVN
// record holds them.
void BindRow(sqlite3_stmt* insert, int i) {
  const Texts texts = TextsOf(i);
  auto bind = [&](int column, std::string text, std::uint32_t size) {
    text.resize(size, ' ');
    sqlite3_bind_text(insert, column, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
  };
  bind(1, texts.service, kServiceSize);
  bind(2, texts.user, kUserSize);
  bind(3, texts.url, kUrlSize);
  sqlite3_bind_int(insert, 4, i);
}

constexpr const char* kInsert = "INSERT INTO t(service, user, url, number) VALUES(?, ?, ?, ?)";

void BM_SqliteKeysInsert(benchmark::State& state) {
  BenchDir dir;
  sqlite3* db = OpenKeyedSqlite(dir.Path("add.db"));
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, kInsert, -1, &insert, nullptr);
  int i = 0;
  for (auto _ : state) {
    BindRow(insert, ++i);
    if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError("INSERT failed");
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_close(db);
}
BENCHMARK(BM_SqliteKeysInsert)->Unit(benchmark::kMicrosecond)->Iterations(300);

class LoadedDb {
 public:
  LoadedDb() : db_(OpenKeyedSqlite(dir_.Path("keys.db"))) {
    sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db_, kInsert, -1, &insert, nullptr);
    for (int i = 1; i <= kRecords; ++i) {
      BindRow(insert, i);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  }
  ~LoadedDb() { sqlite3_close(db_); }
  sqlite3* db() { return db_; }

 private:
  BenchDir dir_;
  sqlite3* db_;
};

// Copies a row out, as a record buffer would receive it.
void CopyRow(sqlite3_stmt* row, std::uint8_t* record) {
  std::uint32_t at = 0;
  for (int column = 0; column < 3; ++column) {
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(row, column));
    std::memcpy(record + at, sqlite3_column_text(row, column), size);
    at += column == 2 ? kUrlSize : kServiceSize;
  }
  const int number = sqlite3_column_int(row, 3);
  std::memcpy(record + at, &number, 4);
}

void BM_SqliteKeysGet(benchmark::State& state) {
  LoadedDb loaded;
  sqlite3_stmt* lookup = nullptr;
  sqlite3_prepare_v2(loaded.db(),
                     "SELECT service, user, url, number FROM t WHERE service = ? COLLATE NOCASE",
                     -1, &lookup, nullptr);
  std::mt19937 random(7);
  std::uint8_t record[240];
  for (auto _ : state) {
    std::string service = TextsOf(1 + static_cast<int>(random() % kRecords)).service;
    service.resize(kServiceSize, ' ');
    sqlite3_bind_text(lookup, 1, service.data(), static_cast<int>(service.size()),
                      SQLITE_TRANSIENT);
    if (sqlite3_step(lookup) != SQLITE_ROW) state.SkipWithError("lookup failed");
    CopyRow(lookup, record);
    sqlite3_reset(lookup);
    benchmark::DoNotOptimize(record);
  }
  sqlite3_finalize(lookup);
}
BENCHMARK(BM_SqliteKeysGet)->Unit(benchmark::kMicrosecond);

void BM_SqliteKeysOrderedScan(benchmark::State& state) {
  LoadedDb loaded;
  sqlite3_stmt* scan = nullptr;
  sqlite3_prepare_v2(loaded.db(),
                     "SELECT service, user, url, number FROM t ORDER BY service COLLATE NOCASE",
                     -1, &scan, nullptr);
  std::uint8_t record[240];
  for (auto _ : state) {
    int count = 0;
    while (sqlite3_step(scan) == SQLITE_ROW) {
      CopyRow(scan, record);
      ++count;
    }
    sqlite3_reset(scan);
    benchmark::DoNotOptimize(record);
    if (count != kRecords) state.SkipWithError("wrong count");
  }
  sqlite3_finalize(scan);
}
BENCHMARK(BM_SqliteKeysOrderedScan)->Unit(benchmark::kMillisecond)->Iterations(5);
#endif

}  // namespace
