// The "HALVERIN" driver's registration and dispatch routine.
#include "runtime/files/hvn/driver.h"

#include <algorithm>
#include <typeinfo>

#include "runtime/files/file_state.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/files/hvn/memo_block.h"
#include "runtime/files/hvn/transaction.h"
#include "runtime/files/hvn/transfer.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::files {
namespace {

using hvn::HvnFile;

// The 66 operation codes the driver registers, led by their count.
constexpr std::uint8_t kOperations[] = {
    66, 1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
    23, 24, 25, 26, 27, 28, 30, 31, 32, 33, 34, 36, 37, 38, 40, 41, 42, 43, 44, 45, 46, 47, 48,
    49, 50, 52, 54, 57, 58, 60, 61, 62, 63, 64, 65, 66, 67, 71, 72, 74, 75, 76, 77, 78};
constexpr std::uint8_t kFieldTypes[] = {15,   0x01, 0x02, 0x03, 0x06, 0x07, 0x08, 0x09,
                                        0x0a, 0x12, 0x13, 0x14, 0x15, 0x1b, 0x16, 0x18};

HvnFile& FileOf(FileBlock& block) {
  // Every operation comes through here: an exact type test costs less than a
  // cast searching the class tree, and HvnFile is final.
  DriverState* state = block.state->driver_state.get();
  if (state != nullptr && typeid(*state) == typeid(HvnFile)) return static_cast<HvnFile&>(*state);
  return EmplaceDriverState<HvnFile>(block, *block.state);
}

// Runs a numeric query and moves its answer into the call.
template <class Query>
std::int32_t ResultOf(Query query, OperationCall& call) {
  std::int64_t value = 0;
  const std::int32_t code = query(&value);
  if (code == 0) call.result = value;
  return code;
}

}  // namespace

const DriverRegistration& HalverinDriver() {
  static const DriverRegistration driver = [] {
    DriverRegistration registration;
    std::copy_n("HALVERIN", 8, registration.name);
    registration.library_file_name = "MV2HVN16.DLL";
    registration.description = "Halverin (HVN) Driver 1.00";
    registration.dispatch = &HalverinDispatch;
    registration.operations = kOperations;
    registration.field_types = kFieldTypes;
    return registration;
  }();
  return driver;
}

std::int32_t HalverinDispatch(Operation op, OperationCall& call) {
  if (call.file == nullptr || call.file->state == nullptr) return support::kFileNotOpen;
  HvnFile& file = FileOf(*call.file);
  switch (op) {
    case Operation::kCreate:
      return file.Create();
    case Operation::kOpen:
    case Operation::kShare:
      return file.Open(static_cast<std::int32_t>(call.number));
    case Operation::kClose:
      return file.Close();
    case Operation::kAdd:
    case Operation::kAppend:
      return file.Add();
    case Operation::kPut:
      return file.Put();
    case Operation::kPutPointer:
      return file.PutPointer(call.number);
    case Operation::kDelete:
      return file.Delete();
    case Operation::kGetByPointer:
    case Operation::kGetKeyPointer:
      return file.Get(call.number);
    case Operation::kSetFile:
      return file.SetFile();
    case Operation::kSetFilePointer:
      return file.SetFilePointer(call.number);
    case Operation::kNext:
      return file.Next();
    case Operation::kPrevious:
      return file.Previous();
    case Operation::kSkip:
      return file.Skip(call.number);
    case Operation::kBof:
      return ResultOf([&](std::int64_t* v) { return file.Bof(v); }, call);
    case Operation::kEof:
      return ResultOf([&](std::int64_t* v) { return file.Eof(v); }, call);
    case Operation::kPointerFile:
    case Operation::kPointerKey:
      return ResultOf([&](std::int64_t* v) { return file.Pointer(v); }, call);
    case Operation::kPositionFile:
      return file.Position(&call.text_result);
    case Operation::kResetFile:
      return file.Reset(call.text);
    case Operation::kRegetFile:
      return file.Reget(call.text);
    case Operation::kRecordsFile:
      return ResultOf([&](std::int64_t* v) { return file.Records(v); }, call);
    case Operation::kBytes:
      return ResultOf([&](std::int64_t* v) { return file.Bytes(v); }, call);
    case Operation::kEmpty:
      return file.Empty();
    case Operation::kNoMemo:
      file.NoMemo();
      return 0;
    case Operation::kWatch:
      file.Watch();
      return 0;
    case Operation::kHold:
      file.Hold(-1);
      return 0;
    case Operation::kHoldTimed:
      file.Hold(std::max<std::int64_t>(0, call.number));
      return 0;
    case Operation::kRelease:
      return file.Release();
    case Operation::kLock:
      return file.Lock(-1);
    case Operation::kLockTimed:
      return file.Lock(std::max<std::int64_t>(0, call.number));
    case Operation::kUnlock:
      return file.Unlock();
    case Operation::kName:
      call.text_result = file.Name();
      return 0;
    case Operation::kSend:
      return file.Send(call.text, &call.text_result);
    case Operation::kRemove:
      if (file.is_open()) return support::kFileAlreadyOpen;
      return hvn::RemoveTable(*call.file->state);
    case Operation::kCopy:
    case Operation::kRename:
      if (file.is_open()) return support::kFileAlreadyOpen;
      return hvn::CopyTable(*call.file->state, call.text, op == Operation::kRename);
    case Operation::kLogout:
      return file.Logout(call.number);
    case Operation::kCommit:
      return hvn::CommitTransaction();
    case Operation::kRollback:
      return hvn::RollbackTransaction();
    case Operation::kGetByKey:
      return file.GetByKey(call.key);
    case Operation::kSetFileKey:
      return file.SetFileKey(call.key);
    case Operation::kSetKey:
      return file.SetKey(call.key);
    case Operation::kSetKeyKey:
      return file.SetKeyKey(call.key);
    case Operation::kSetKeyPointer:
      return file.SetKeyPointer(call.key, call.number);
    case Operation::kSetKeyKeyPointer:
      return file.SetKeyKeyPointer(call.key, call.number);
    case Operation::kPositionKey:
      return file.PositionKey(call.key, &call.text_result);
    case Operation::kResetKey:
      return file.ResetKey(call.key, call.text);
    case Operation::kRegetKey:
      return file.RegetKey(call.key, call.text);
    case Operation::kRecordsKey:
      return ResultOf([&](std::int64_t* v) { return file.RecordsKey(call.key, v); }, call);
    case Operation::kDuplicateKey:
      return ResultOf([&](std::int64_t* v) { return file.DuplicateKey(call.key, v); }, call);
    case Operation::kDuplicateFile:
      return ResultOf([&](std::int64_t* v) { return file.DuplicateFile(v); }, call);
    case Operation::kBuildFile:
      return file.BuildFile();
    case Operation::kBuildKey:
      return file.BuildKey(call.key);
    case Operation::kBuildIndex:
      return file.BuildIndex(call.key, nullptr);
    case Operation::kBuildDynamicIndex:
      return file.BuildIndex(call.key, &call.text);
    case Operation::kPack:
      return file.Pack();
    case Operation::kMemoRead:
    case Operation::kMemoWrite:
    case Operation::kMemoSize:
    case Operation::kMemoHandle:
      if (!file.is_open()) return support::kFileNotOpen;
      return hvn::MemoBlockOperation(op, *call.file->state, call);
    case Operation::kViewRequest:
      call.result = 0;
      return 0;
    default:
      return support::kUnsupportedFileDriverFunction;
  }
}

}  // namespace vaultrix::files
