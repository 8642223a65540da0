// Arbitrary bytes opened as an HVN file and read through everything the
// driver offers: record order both ways, counts, reads by pointer, then one
// ADD and one DELETE, and the page check. A damaged file must answer 36 or
// 47 (damage is posted as 36 here instead of ending the process); nothing
// may crash, hang or leak.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/file_names.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/files/hvn_check.h"
#include "runtime/files/hvn_driver.h"
#include "runtime/files/hvn_file.h"
#include "runtime/support/error_state.h"

namespace {

using namespace vaultrix::files;

const std::string& FuzzPath() {
  static const std::string path = vaultrix::platform::TempDirectory() + "/fuzz_hvn_" +
                                  std::to_string(::getpid()) + ".HVN";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hvn::SetDamageIsFatal(false);
  const std::string& path = FuzzPath();
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);
  }
  auto file = FileDeclaration(path)
                  .Attributes(0x17)
                  .Field(StringField("F:NAME", 20))
                  .Field(FixedField(kTypeLong, "F:NUMBER"))
                  .Memo("F:NOTES", 1000)
                  .Build(HalverinDriver());
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
