// Arbitrary bytes opened as an HVN file and read through everything the
// driver offers: record order both ways, counts, reads by pointer, then one
// ADD and one DELETE, and the page check. A damaged file must answer 36 or
// 47 (damage is posted as 36 here instead of ending the process); nothing
// may crash, hang or leak.
//
// An input starting with 'P' is a list of patches (offset low byte, offset
// high byte, value) to a sound file of 40 records with memos, so that the
// fuzzer reaches the pages behind a valid header quickly.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/file_names.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_state.h"

namespace {

using namespace vaultrix::files;

const std::string& FuzzPath() {
  static const std::string path =
      vaultrix::platform::TempDirectory() + "/fuzz_hvn_" + std::to_string(::getpid()) + ".HVN";
  return path;
}

std::unique_ptr<DeclaredFile> Declare(const std::string& path) {
  return FileDeclaration(path)
      .Attributes(0x17)
      .Field(StringField("F:NAME", 20))
      .Field(FixedField(kTypeLong, "F:NUMBER"))
      .Memo("F:NOTES", 1000)
      .Build(HalverinDriver());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
}

// A sound file to patch, made once.
const std::string& SoundFile() {
  static const std::string bytes = [] {
    const std::string path = FuzzPath() + ".base.HVN";
    std::remove(path.c_str());
    auto file = Declare(path);
    Create(file->Block());
    Open(file->Block(), 0x42);
    for (int i = 0; i < 40; ++i) {
      std::memset(file->Record(), 'a' + i % 26, 20);
      std::memcpy(file->Record() + 20, &i, 4);
      std::memset(file->Memo(0).buffer, 'm', static_cast<std::size_t>(i * 20));
      Add(file->Block());
    }
    Close(file->Block());
    std::string out;
    if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
      char buffer[4096];
      std::size_t got = 0;
      while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) out.append(buffer, got);
      std::fclose(in);
    }
    std::remove(path.c_str());
    return out;
  }();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hvn::SetDamageIsFatal(false);
  const std::string& path = FuzzPath();
  if (size > 0 && data[0] == 'P' && !SoundFile().empty()) {
    std::string bytes = SoundFile();
    for (std::size_t i = 1; i + 3 <= size; i += 3) {
      const std::size_t offset = (data[i] | (data[i + 1] << 8)) % bytes.size();
      bytes[offset] = static_cast<char>(data[i + 2]);
    }
    WriteFile(path, bytes);
  } else {
    WriteFile(path, std::string(reinterpret_cast<const char*>(data), size));
  }
  auto file = Declare(path);
  Open(file->Block(), 0x42);
  if (vaultrix::support::ErrorCode() == 0) {
    (void)Records(file->Block());
    Set(file->Block());
    for (int i = 0; i < 2000; ++i) {
      Next(file->Block());
      if (vaultrix::support::ErrorCode() != 0) break;
    }
    Set(file->Block());
    for (int i = 0; i < 2000; ++i) {
      Previous(file->Block());
      if (vaultrix::support::ErrorCode() != 0) break;
    }
    for (std::int32_t pointer = 1; pointer < 40; ++pointer) Get(file->Block(), pointer);
    Add(file->Block());
    if (vaultrix::support::ErrorCode() == 0) Delete(file->Block());
    Close(file->Block());
  }
  (void)hvn::CheckHvnFile(path);
  std::remove(path.c_str());
  return 0;
}
