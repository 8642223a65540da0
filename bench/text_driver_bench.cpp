// Reading and writing a 100 MB text file line by line through the "ASCII"
// driver, as the import and export do: an 8000-byte record, the file opened
// read-only denying writes for reading (QUICKSCAN on) and created, then
// opened denying writes, for writing. The engine alone (without the
// operation frame) is measured beside it.
//
// Rates are of wall-clock time, as the script's figures for other tools are.
// The file is kept at $VAULTRIX_TEXT_BENCH_FILE (default
// $TMPDIR/vaultrix_text_bench.txt) so that bench/text_driver_vs_tools.sh can
// time other tools on the same bytes.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/file_names.h"
#include "runtime/files/text/driver.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/files/text/text_file.h"
#include "runtime/support/error_state.h"

namespace vaultrix::files {
namespace {

constexpr std::uint32_t kRecordSize = 8000;

// 100 MB unless $VAULTRIX_TEXT_BENCH_MB says otherwise (a smaller file keeps
// runs under an instruction-counting profiler short).
std::size_t FileSize() {
  static const std::size_t size = [] {
    const char* megabytes = std::getenv("VAULTRIX_TEXT_BENCH_MB");
    long value = megabytes == nullptr ? 0 : std::strtol(megabytes, nullptr, 10);
    return static_cast<std::size_t>(value > 0 ? value : 100) * 1024 * 1024;
  }();
  return size;
}

std::string BenchPath() {
  const char* path = std::getenv("VAULTRIX_TEXT_BENCH_FILE");
  if (path != nullptr && path[0] != '\0') return path;
  return platform::TempDirectory() + "/vaultrix_text_bench.txt";
}

// Comma-separated lines like an export's, 20 to 200 characters long.
const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> result;
    std::mt19937 random(1);
    const char* words[] = {"mail",
                           "bank",
                           "https://example.org/login",
                           "ann@example.com",
                           "S3cr3t!pw",
                           "notes about this entry",
                           "shop",
                           "router"};
    std::size_t total = 0;
    while (total < FileSize()) {
      std::string line;
      int fields = 2 + random() % 8;
      for (int i = 0; i < fields; ++i) {
        if (i > 0) line += ',';
        line += '"' + std::string(words[random() % std::size(words)]) + '"';
      }
      total += line.size() + 2;
      result.push_back(std::move(line));
    }
    return result;
  }();
  return lines;
}

const std::string& ReadFile() {
  static const std::string path = [] {
    std::string name = BenchPath();
    struct stat info;
    if (::stat(name.c_str(), &info) != 0 || static_cast<std::size_t>(info.st_size) < FileSize() ||
        static_cast<std::size_t>(info.st_size) > FileSize() + 1024) {
      std::ofstream out(name, std::ios::binary | std::ios::trunc);
      for (const auto& line : Lines()) out << line << "\r\n";
    }
    return name;
  }();
  return path;
}

std::unique_ptr<DeclaredFile> Declare(const std::string& name,
                                      std::uint32_t record_size = kRecordSize) {
  return FileDeclaration(name)
      .Attributes(0x15)
      .Field(StringField("M::RECORD", record_size))
      .Build(AsciiDriver());
}

// The argument is the record size: 8000 as the application declares it,
// 1000 and 256 to show the cost per line without clearing a large record
// for each.
void BM_TextDriverRead(benchmark::State& state) {
  auto file = Declare(ReadFile(), static_cast<std::uint32_t>(state.range(0)));
  FileBlock& block = file->Block();
  std::int64_t bytes = 0;
  for (auto _ : state) {
    Open(block, kAccessReadOnly | kDenyWrite);
    bytes = Bytes(block);
    Set(block);
    std::int64_t lines = 0;
    for (;;) {
      Next(block);
      if (support::ErrorCode() != 0) break;
      ++lines;
    }
    if (support::ErrorCode() != 33) state.SkipWithError("read failed");
    Close(block);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_TextDriverRead)
    ->Arg(8000)
    ->Arg(1000)
    ->Arg(256)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

// The operation frame alone: POINTER, which the driver answers from what it
// holds, once per line of the file, so that the time compares with a read.
void BM_TextDriverFrame(benchmark::State& state) {
  auto file = Declare(ReadFile(), 256);
  FileBlock& block = file->Block();
  Open(block, kAccessReadOnly | kDenyWrite);
  const std::size_t lines = Lines().size();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < lines; ++i) sum += Pointer(block);
    benchmark::DoNotOptimize(sum);
  }
  Close(block);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines));
}
BENCHMARK(BM_TextDriverFrame)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_TextEngineRead(benchmark::State& state) {
  const auto record_size = static_cast<std::uint32_t>(state.range(0));
  std::string record(record_size, ' ');
  std::int64_t bytes = 0;
  for (auto _ : state) {
    TextFile file(ReadFile(), record.data(), record_size, false);
    if (file.Open(kAccessReadOnly | kDenyWrite, "") != 0) state.SkipWithError("open failed");
    (void)file.Bytes(&bytes);
    std::int64_t lines = 0;
    while (file.Next() == 0) ++lines;
    (void)file.Close();
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_TextEngineRead)
    ->Arg(8000)
    ->Arg(256)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

// Arguments: the record size, and the deny flags of the open for writing:
// denying writes (0x20) leaves others free to open and LOCK the file, so
// every ADD asks the system whether it is locked; denying all (0x10) leaves
// no one who could.
void BM_TextDriverWrite(benchmark::State& state) {
  const auto record_size = static_cast<std::uint32_t>(state.range(0));
  const auto deny = static_cast<std::int32_t>(state.range(1));
  std::string name = BenchPath() + ".written";
  auto file = Declare(name, record_size);
  FileBlock& block = file->Block();
  std::int64_t bytes = 0;
  for (auto _ : state) {
    Create(block);
    Open(block, kAccessReadWrite | deny);
    for (const auto& line : Lines()) {
      std::memset(file->Record(), ' ', record_size);
      std::memcpy(file->Record(), line.data(), std::min<std::size_t>(line.size(), record_size));
      Add(block);
    }
    if (support::ErrorCode() != 0) state.SkipWithError("write failed");
    bytes = Bytes(block);
    Close(block);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  Remove(block);
}
BENCHMARK(BM_TextDriverWrite)
    ->Args({8000, kDenyWrite})
    ->Args({1000, kDenyWrite})
    ->Args({8000, kDenyAll})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace
}  // namespace vaultrix::files
