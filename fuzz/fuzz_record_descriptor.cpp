// Arbitrary bytes as a record layout descriptor, set up as a file's state at
// its first operation. The first four bytes choose a key over up to three
// fields (signed field numbers); the rest is the descriptor. The only
// acceptable outcomes are a set-up state or an error code, with nothing left
// allocated after CLOSE.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "runtime/files/dispatch.h"
#include "runtime/files/driver.h"
#include "runtime/files/file_state.h"
#include "runtime/support/error_state.h"

namespace {

using vaultrix::files::DriverRegistration;
using vaultrix::files::FileBlock;
using vaultrix::files::KeyBlock;
using vaultrix::files::MemoBlock;
using vaultrix::files::Operation;
using vaultrix::files::OperationCall;

std::int32_t AnswerEverything(Operation, OperationCall&) {
  return 0;
}

const std::uint8_t kServed[] = {2, 7, 25};
const std::uint8_t kTypes[] = {15,   0x01, 0x02, 0x03, 0x06, 0x07, 0x08, 0x09,
                               0x0a, 0x12, 0x13, 0x14, 0x15, 0x1b, 0x16, 0x18};

DriverRegistration MakeDriver() {
  DriverRegistration driver;
  std::strcpy(driver.name, "FUZZ");
  driver.dispatch = &AnswerEverything;
  driver.operations = kServed;
  driver.field_types = kTypes;
  return driver;
}

const DriverRegistration kDriver = MakeDriver();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const int component_count = data[0] % 4;
  std::int32_t components[3];
  for (int i = 0; i < 3; ++i) components[i] = static_cast<std::int8_t>(data[1 + i]);
  data += 4;
  size -= 4;

  // An exact-size copy, so any read past the end is caught.
  std::unique_ptr<std::uint8_t[]> descriptor(new std::uint8_t[size > 0 ? size : 1]);
  if (size > 0) std::memcpy(descriptor.get(), data, size);
  std::uint32_t record_size = 0;
  if (size >= 6) std::memcpy(&record_size, data + 2, 4);
  std::vector<std::uint8_t> record(record_size <= 65536 ? record_size : 0);

  static const char kName[] = "fuzzed";
  static const char kKeyLabel[] = "F:KEY";
  FileBlock file;
  file.driver = &kDriver;
  file.name = {kName, sizeof kName - 1};
  KeyBlock key;
  key.label = {kKeyLabel, sizeof kKeyLabel - 1};
  key.component_count = static_cast<std::uint8_t>(component_count);
  key.components = components;
  key.file = &file;
  KeyBlock* keys[] = {&key, nullptr};
  MemoBlock memo;
  memo.size = 100;
  MemoBlock* memos[] = {&memo};
  file.key_count = component_count > 0 ? 1 : 0;
  file.keys = keys;
  file.memo_count = 1;
  file.memos = memos;
  file.record_size = record_size;
  file.layout = descriptor.get();
  file.layout_size = static_cast<std::uint32_t>(size);
  file.record = record.data();

  OperationCall open;
  open.file = &file;
  open.number = 0x42;
  vaultrix::files::Dispatch(Operation::kOpen, open);
  const bool set_up = vaultrix::support::ErrorCode() == 0;
  if (set_up != (file.state != nullptr)) __builtin_trap();
  if (!set_up && memo.buffer != nullptr) __builtin_trap();
  OperationCall close;
  close.file = &file;
  vaultrix::files::Dispatch(Operation::kClose, close);
  if (file.state != nullptr || memo.buffer != nullptr) __builtin_trap();
  return 0;
}
