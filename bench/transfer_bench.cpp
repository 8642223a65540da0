// Import and export of 100,000 entries of four quoted fields, whole: the
// import run adding every line of a file to one user's list in the
// passwords file (25 lines per slice, as the progress window runs it), and
// the export run writing one user's 100,000 entries to a file. Beside them
// the sqlite3 command-line tool on the same disk in the same run: `.import`
// of the same file into a table with four indexes like the passwords file's
// keys (journal_mode=DELETE, synchronous=FULL), and `.mode csv` output of the
// same rows. Each figure is one whole run (wall time); the import also
// reports its longest slice (`longest_slice_ms`), the longest the progress
// window goes without an event, commits included.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/dictionary/data_dictionary.h"
#include "app/transfer/csv_reader.h"
#include "app/transfer/export_writer.h"
#include "app/transfer/importer.h"
#include "bench/bench_dir.h"
#include "bench/hvn_load.h"
#include "platform/whole_file.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_state.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"

namespace {

using namespace vaultrix;

constexpr int kEntries = 100'000;
constexpr const char* kOwner = "owner";

std::string Field(const char* prefix, int i) {
  return prefix + std::to_string(i);
}

std::string ImportText() {
  std::string text;
  for (int i = 0; i < kEntries; ++i) {
    text += "\"" + Field("Service ", i) + "\",\"" +
            Field("https://accounts.example.com/login/", i) + "\",\"" + Field("user", i) +
            "@example.com\",\"" + Field("pw!", i) + "\"\r\n";
  }
  return text;
}

// The passwords file in a scratch directory made the current one.
class Vault {
 public:
  Vault() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.Path(""));
    app::UseDataDriver(&files::HalverinDriver());
    files::Create(app::Passwords().Block());
  }
  ~Vault() {
    files::Close(app::Passwords().Block());
    files::ReleaseFileState(app::Passwords().Block());
    app::UseDataDriver(nullptr);
    std::filesystem::current_path(previous_);
  }
  void Open() { files::Open(app::Passwords().Block(), 0x42); }
  [[nodiscard]] std::string Path(const std::string& name) const { return dir_.Path(name); }

 private:
  bench::BenchDir dir_;
  std::filesystem::path previous_;
};

void BM_TransferImport(benchmark::State& state) {
  const std::string text = ImportText();
  for (auto _ : state) {
    state.PauseTiming();
    {
      Vault vault;
      vault.Open();
      app::CsvReader reader(text);
      app::ImportPlan plan;
      plan.pictures = {"@S1000", "@S1000", "@S1000", "@S1000"};
      for (int t = 0; t < 4; ++t) plan.targets[t] = t;
      plan.user = kOwner;
      app::Importer importer(reader, plan);
      state.ResumeTiming();
      std::int32_t percent = 0;
      double longest = 0;
      if (importer.Start()) {
        for (bool more = true; more;) {
          const auto start = std::chrono::steady_clock::now();
          more = importer.Slice(percent);
          longest = std::max(longest, std::chrono::duration<double, std::milli>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
        }
      }
      state.PauseTiming();
      state.counters["longest_slice_ms"] = longest;
      if (importer.Added() != kEntries) state.SkipWithError("not every line was added");
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_TransferImport)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_TransferExport(benchmark::State& state) {
  Vault vault;
  const bool loaded =
      bench::LoadHvnRecords("Vtrix_P.HVN", std::string(app::Passwords().Block().owner.View()),
                            kEntries, sizeof(app::PasswordRecord), [](int i, std::uint8_t* record) {
                              app::PasswordRecord entry;
                              entry.User = kOwner;
                              entry.Service = Field("Service ", i);
                              entry.URL = Field("https://accounts.example.com/login/", i);
                              entry.Name = Field("user", i) + "@example.com";
                              entry.Password = Field("pw!", i);
                              std::memcpy(record, &entry, sizeof entry);
                            });
  vault.Open();
  (void)files::Send(app::Passwords().Block(), "FULLBUILD=ON");
  files::Build(app::Passwords().Block());
  if (!loaded || support::ErrorCode() != 0) {
    state.SkipWithError("the passwords file could not be made");
    return;
  }
  const std::vector<app::TransferField> fields = {
      {"P_:Service", "@s30"}, {"P_:URL", "@s90"}, {"P_:Name", "@s30"}, {"P_:Password", "@s30"}};
  for (auto _ : state) {
    app::ExportFile file;
    if (!file.Create(vault.Path("out.csv"))) state.SkipWithError("no export file");
    app::ExportWriter writer(file, fields, kOwner);
    std::int32_t percent = 0;
    if (writer.Start()) {
      while (writer.Slice(percent)) {
      }
    }
    (void)file.Close();
    if (writer.Written() != kEntries) state.SkipWithError("not every entry was written");
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_TransferExport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

constexpr const char* kSqliteTable =
    "PRAGMA journal_mode=DELETE;\n"
    "PRAGMA synchronous=FULL;\n"
    "CREATE TABLE p(user TEXT, service TEXT, url TEXT, name TEXT, password TEXT);\n"
    "CREATE UNIQUE INDEX k1 ON p(user, service COLLATE NOCASE, name COLLATE NOCASE);\n"
    "CREATE UNIQUE INDEX k2 ON p(user, name COLLATE NOCASE, service COLLATE NOCASE);\n"
    "CREATE INDEX k3 ON p(user, url COLLATE NOCASE, name COLLATE NOCASE);\n"
    "CREATE INDEX k4 ON p(password COLLATE NOCASE, name COLLATE NOCASE, "
    "service COLLATE NOCASE);\n"
    "CREATE TEMP VIEW v AS SELECT service, url, name, password FROM p;\n";

// Runs the sqlite3 tool on `database` with `script` as its input.
bool Sqlite3(const std::string& database, const std::string& script_path,
             const std::string& script) {
  if (platform::ReplaceWholeFile(script_path, script) != 0) return false;
  const std::string command = "sqlite3 '" + database + "' < '" + script_path + "' > /dev/null";
  return std::system(command.c_str()) == 0;
}

// The import file with the owner as a first column, so that the table holds
// what the passwords file holds.
std::string SqliteImportText() {
  std::string text;
  for (int i = 0; i < kEntries; ++i) {
    text += std::string(kOwner) + ",\"" + Field("Service ", i) + "\",\"" +
            Field("https://accounts.example.com/login/", i) + "\",\"" + Field("user", i) +
            "@example.com\",\"" + Field("pw!", i) + "\"\n";
  }
  return text;
}

void BM_Sqlite3CliImport(benchmark::State& state) {
  if (std::system("command -v sqlite3 > /dev/null") != 0) {
    state.SkipWithError("the sqlite3 tool is not installed");
    return;
  }
  bench::BenchDir dir;
  const std::string csv = dir.Path("in.csv");
  (void)platform::ReplaceWholeFile(csv, SqliteImportText());
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(dir.Path("p.db"));
    (void)Sqlite3(dir.Path("p.db"), dir.Path("create.sql"), kSqliteTable);
    state.ResumeTiming();
    if (!Sqlite3(dir.Path("p.db"), dir.Path("import.sql"),
                 "PRAGMA synchronous=FULL;\n.mode csv\n.import '" + csv + "' p\n")) {
      state.SkipWithError("sqlite3 failed");
    }
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_Sqlite3CliImport)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_Sqlite3CliExport(benchmark::State& state) {
  if (std::system("command -v sqlite3 > /dev/null") != 0) {
    state.SkipWithError("the sqlite3 tool is not installed");
    return;
  }
  bench::BenchDir dir;
  const std::string csv = dir.Path("in.csv");
  (void)platform::ReplaceWholeFile(csv, SqliteImportText());
  (void)Sqlite3(dir.Path("p.db"), dir.Path("create.sql"),
                std::string(kSqliteTable) + ".mode csv\n.import '" + csv + "' p\n");
  for (auto _ : state) {
    if (!Sqlite3(dir.Path("p.db"), dir.Path("export.sql"),
                 ".mode csv\n.output '" + dir.Path("out.csv") +
                     "'\nSELECT service, url, name, password FROM p WHERE user = '" + kOwner +
                     "';\n")) {
      state.SkipWithError("sqlite3 failed");
    }
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_Sqlite3CliExport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
