// Arbitrary file contents and option texts through the "ASCII" driver: every
// served operation must end in an error code, never in a crash or a read
// past a buffer.
//
// Input: byte 0 picks the record size, byte 1 the access mode, then the
// option text up to the first zero byte, then the file's contents.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_names.h"
#include "runtime/files/text/driver.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/support/error_state.h"

namespace {

using namespace vaultrix::files;

std::string scratch_dir;

void RemoveScratch() {
  std::error_code ignored;
  std::filesystem::remove_all(scratch_dir, ignored);
}

const std::string& ScratchPath() {
  static const std::string path = [] {
    scratch_dir = vaultrix::platform::TempDirectory() + "/vaultrix-fuzz-XXXXXX";
    if (::mkdtemp(scratch_dir.data()) == nullptr) abort();
    std::atexit(RemoveScratch);
    return scratch_dir + "/input.txt";
  }();
  return path;
}

constexpr std::uint32_t kRecordSizes[] = {1, 2, 3, 7, 16, 80, 255, 8000};
constexpr std::int32_t kModes[] = {0x42, 0x22, 0x20, 0x12, 0x40, 0x02};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::uint32_t record_size = kRecordSizes[data[0] % std::size(kRecordSizes)];
  std::int32_t mode = kModes[data[1] % std::size(kModes)];
  const char* rest = reinterpret_cast<const char*>(data + 2);
  std::size_t rest_size = size - 2;
  const void* zero = std::memchr(rest, 0, rest_size);
  std::size_t option_size = zero ? static_cast<const char*>(zero) - rest : rest_size;
  std::string options(rest, option_size);
  std::string contents =
      zero ? std::string(rest + option_size + 1, rest_size - option_size - 1) : std::string();
  {
    std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
    out << contents;
  }

  auto file = FileDeclaration(ScratchPath())
                  .Options(options)
                  .Attributes(0x15)
                  .Field(StringField("F::LINE", record_size))
                  .Build(AsciiDriver());
  FileBlock& block = file->Block();
  Open(block, mode);
  if (vaultrix::support::ErrorCode() != 0) return 0;
  (void)Send(block, options);
  (void)Bytes(block);
  std::string first_position;
  for (int i = 0; i < 4096; ++i) {
    Next(block);
    if (vaultrix::support::ErrorCode() != 0) break;
    if (i == 1) first_position = Position(block);
    (void)Eof(block);
  }
  Reget(block, first_position);
  Get(block, static_cast<std::int32_t>(contents.size() / 2 + 1));
  Put(block);
  Add(block);
  Set(block, static_cast<std::int32_t>(contents.size() / 3));
  Next(block);
  Put(block);
  (void)Pointer(block);
  Close(block);
  return 0;
}
