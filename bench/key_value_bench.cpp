// Cost of building key entries: every ADD, PUT and DELETE builds the old and
// new entry of each key, and every GET and SET by key builds a search key.
// Measured on the passwords file's key over user, service and name.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/files/file_declaration.h"
#include "runtime/files/hvn/key_value.h"

namespace {

namespace files = vaultrix::files;

void BM_KeyEntryOfPasswordRecord(benchmark::State& state) {
  const std::vector<std::uint8_t> descriptor = files::WriteRecordLayout(
      {files::StringField("P_:User", 30), files::StringField("P_:Service", 30),
       files::StringField("P_:URL", 90), files::StringField("P_:Name", 30),
       files::StringField("P_:Password", 30), files::StringField("P_:ConfirmPassword", 30)});
  files::FileState file;
  if (files::ParseRecordLayout(descriptor.data(), descriptor.data() + descriptor.size(),
                               &file.layout) != 0) {
    state.SkipWithError("layout");
    return;
  }
  file.record_size = file.layout.record_size;
  files::KeyState key;
  key.attributes = static_cast<std::uint32_t>(state.range(0));
  key.components = {{0, false}, {1, false}, {3, false}};
  const auto encoder = files::KeyValueEncoder::Make(file, key, 0);
  std::vector<std::uint8_t> record(file.record_size, ' ');
  std::memcpy(record.data(), "Alice", 5);
  std::memcpy(record.data() + 30, "Mail Server", 11);
  std::memcpy(record.data() + 150, "alice.smith", 11);
  files::KeyEntry entry;
  std::uint32_t record_number = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(encoder->BuildEntry(1, record.data(), record_number++, entry));
    benchmark::DoNotOptimize(entry.key.data());
  }
}
BENCHMARK(BM_KeyEntryOfPasswordRecord)
    ->Arg(files::kKeyNoCase | files::kKeyOpt)
    ->Arg(files::kKeyNoCase | files::kKeyDup);

}  // namespace
