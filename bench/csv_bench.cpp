// The in-memory halves of import and export: building 100,000 export lines
// of four quoted fields, and parsing a file of 100,000 such lines field by
// field. They are the part of an import or export that is not the data
// file's work; the windows' benchmarks set them beside the whole.
#include <benchmark/benchmark.h>

#include <string>

#include "app/transfer/csv_line.h"
#include "app/transfer/csv_reader.h"

namespace vaultrix::app {
namespace {

constexpr int kLines = 100'000;

struct Entry {
  std::string service, url, name, password;
};

Entry EntryNumber(int i) {
  const std::string n = std::to_string(i);
  return {"Service " + n + "                  ", "https://accounts.example.com/login/" + n,
          "user" + n + "@example.com", "pw\"" + n + ",x!"};
}

std::string ExportFile() {
  std::string file;
  LineBuilder line;
  for (int i = 0; i < kLines; ++i) {
    const Entry e = EntryNumber(i);
    line.Clear();
    line.Add(e.service, "@s30");
    line.Add(e.url, "@s90");
    line.Add(e.name, "@s30");
    line.Add(e.password, "@s30");
    file += line.Text();
    file += "\r\n";
  }
  return file;
}

void BM_CsvBuildLines(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string file = ExportFile();
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.SetItemsProcessed(state.iterations() * kLines);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_CsvBuildLines)->Unit(benchmark::kMillisecond);

void BM_CsvParseLines(benchmark::State& state) {
  const std::string file = ExportFile();
  for (auto _ : state) {
    CsvReader reader(file);
    std::size_t fields = 0;
    while (reader.NextLine() != 0) {
      while (reader.NextField() != FieldKind::kNone) ++fields;
    }
    if (fields != 4u * kLines) state.SkipWithError("fields lost");
  }
  state.SetItemsProcessed(state.iterations() * kLines);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_CsvParseLines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vaultrix::app
