// The "ASCII" driver's registration and its dispatch routine: each operation
// code becomes one call of the file's TextFile, created at its first use.
#include "runtime/files/text/driver.h"

#include <algorithm>
#include <memory>
#include <new>
#include <typeinfo>

#include "runtime/files/file_state.h"
#include "runtime/files/text/text_file.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::files {
namespace {

constexpr std::uint8_t kOperations[] = {32, 1,  51, 4,  59, 52, 14, 7,  9,  10, 13,
                                        29, 53, 16, 20, 21, 23, 24, 25, 27, 61, 30,
                                        54, 55, 66, 37, 38, 63, 60, 41, 43, 48, 50};
constexpr std::uint8_t kFieldTypes[] = {2, kTypeString, kTypeGroup};

struct TextDriverState final : DriverState {
  TextDriverState(const FileState& state)
      : file(state.name, reinterpret_cast<char*>(state.record), state.record_size, state.oem) {}
  TextFile file;
};

// Every operation looks the engine up, so the state's exact type is
// compared instead of a dynamic_cast (the same answer for a final class).
TextFile& TextFileOf(FileBlock& block) {
  DriverState* state = block.state->driver_state.get();
  if (state != nullptr && typeid(*state) == typeid(TextDriverState)) {
    return static_cast<TextDriverState*>(state)->file;
  }
  return EmplaceDriverState<TextDriverState>(block, *block.state).file;
}

std::uint32_t LengthArgument(std::int64_t length, std::uint32_t record_size) {
  if (length <= 0 || length > record_size) return record_size;
  return static_cast<std::uint32_t>(length);
}

std::int32_t Serve(Operation op, OperationCall& call);

}  // namespace

const DriverRegistration& AsciiDriver() {
  static const DriverRegistration driver = [] {
    DriverRegistration registration;
    std::copy_n("ASCII", 5, registration.name);
    registration.library_file_name = "MV2ASC16.DLL";
    registration.description = "Ascii File Driver 1.0";
    registration.dispatch = &AsciiDispatch;
    registration.limits.max_record_size = 65535;
    registration.limits.max_keys = 0;
    registration.limits.max_memos = 0;
    registration.operations = kOperations;
    registration.field_types = kFieldTypes;
    CacheServedOperations(registration);
    return registration;
  }();
  return driver;
}

std::int32_t AsciiDispatch(Operation op, OperationCall& call) {
  // The buffers grow with the record and FILEBUFFERS; running out of memory
  // is an error code like any other, never an exception out of the driver.
  try {
    return Serve(op, call);
  } catch (const std::bad_alloc&) {
    return support::kInsufficientMemory;
  }
}

namespace {

std::int32_t Serve(Operation op, OperationCall& call) {
  if (call.file == nullptr || call.file->state == nullptr) return support::kFileNotOpen;
  FileState& state = *call.file->state;
  TextFile& file = TextFileOf(*call.file);
  const std::uint32_t record_size = state.record_size;
  switch (op) {
    case Operation::kOpen:
    case Operation::kShare:
      return file.Open(static_cast<std::int32_t>(call.number), state.options);
    case Operation::kCreate:
      if (!state.create_allowed) return support::kNoCreateAttribute;
      return file.Create();
    case Operation::kClose:
      return file.Close();
    case Operation::kSetFile:
      file.SetStart();
      return 0;
    case Operation::kSetFilePointer:
      file.SetStart(call.number);
      return 0;
    case Operation::kNext:
      return file.Next();
    case Operation::kGetByPointer:
      return file.Get(call.number);
    case Operation::kGetLength:
      return file.Get(call.number, LengthArgument(call.number2, record_size));
    case Operation::kRegetFile:
      return file.Reget(call.text);
    case Operation::kResetFile:
      return file.Reset(call.text);
    case Operation::kPointerFile:
      call.result = file.Pointer();
      return 0;
    case Operation::kPositionFile:
      call.text_result = file.Position();
      return 0;
    case Operation::kAdd:
    case Operation::kAppend:
      return file.Add();
    case Operation::kAddLength:
    case Operation::kAppendLength:
      return file.Add(LengthArgument(call.number, record_size));
    case Operation::kPut:
      return file.Put();
    case Operation::kPutPointer:
      if (std::int32_t result = file.Locate(call.number); result != 0) return result;
      return file.Put();
    case Operation::kPutLength:
      if (std::int32_t result = file.Locate(call.number); result != 0) return result;
      return file.Put(LengthArgument(call.number2, record_size));
    case Operation::kBytes:
      return file.Bytes(&call.result);
    case Operation::kEof:
      call.result = file.Eof() ? 1 : 0;
      return 0;
    case Operation::kEmpty:
      return file.Empty();
    case Operation::kFlush:
      return file.Flush();
    case Operation::kLock:
      return file.Lock(-1);
    case Operation::kLockTimed:
      return file.Lock(static_cast<std::int32_t>(std::max<std::int64_t>(0, call.number)));
    case Operation::kUnlock:
      return file.Unlock();
    case Operation::kName:
      call.text_result = file.name();
      return 0;
    case Operation::kSend:
      (void)file.Send(call.text, &call.text_result);
      return 0;
    case Operation::kRemove:
      return file.Remove();
    case Operation::kRename:
      return file.Rename(call.text);
    case Operation::kCopy:
      return file.Copy(call.text);
    default:
      return support::kUnsupportedFileDriverFunction;
  }
}

}  // namespace

}  // namespace vaultrix::files
