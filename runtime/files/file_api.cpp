// The typed file operations: each fills an OperationCall and dispatches it.
#include "runtime/files/file_api.h"

#include "runtime/files/dispatch.h"

namespace vaultrix::files {
namespace {

struct Args {
  std::int64_t number = 0;
  std::int64_t number2 = 0;
  std::string_view text;
  KeyBlock* second_key = nullptr;
};

OperationCall MakeCall(FileBlock* file, KeyBlock* key, const Args& args) {
  OperationCall call;
  call.file = file;
  call.key = key;
  call.second_key = args.second_key;
  call.number = args.number;
  call.number2 = args.number2;
  if (!args.text.empty()) call.text.assign(args.text);
  return call;
}

std::int64_t Run(Operation op, FileBlock& file, const Args& args = {}) {
  OperationCall call = MakeCall(&file, nullptr, args);
  return Dispatch(op, call);
}

std::int64_t Run(Operation op, KeyBlock& key, const Args& args = {}) {
  OperationCall call = MakeCall(key.file, &key, args);
  return Dispatch(op, call);
}

std::string RunText(Operation op, FileBlock& file, const Args& args = {}) {
  OperationCall call = MakeCall(&file, nullptr, args);
  Dispatch(op, call);
  return std::move(call.text_result);
}

std::string RunText(Operation op, KeyBlock& key, const Args& args = {}) {
  OperationCall call = MakeCall(key.file, &key, args);
  Dispatch(op, call);
  return std::move(call.text_result);
}

}  // namespace

void Open(FileBlock& file, std::int32_t access_mode) {
  Run(Operation::kOpen, file, {.number = access_mode});
}
void Share(FileBlock& file, std::int32_t access_mode) {
  Run(Operation::kShare, file, {.number = access_mode});
}
void Create(FileBlock& file) {
  Run(Operation::kCreate, file);
}
void Close(FileBlock& file) {
  Run(Operation::kClose, file);
}

void Set(FileBlock& file) {
  Run(Operation::kSetFile, file);
}
void Set(FileBlock& file, KeyBlock& key) {
  OperationCall call = MakeCall(&file, &key, {});
  Dispatch(Operation::kSetFileKey, call);
}
void Set(FileBlock& file, std::int32_t pointer) {
  Run(Operation::kSetFilePointer, file, {.number = pointer});
}
void Set(KeyBlock& key) {
  Run(Operation::kSetKey, key);
}
void Set(KeyBlock& key, KeyBlock& start_key) {
  Run(Operation::kSetKeyKey, key, {.second_key = &start_key});
}
void Set(KeyBlock& key, std::int32_t pointer) {
  Run(Operation::kSetKeyPointer, key, {.number = pointer});
}
void Set(KeyBlock& key, KeyBlock& start_key, std::int32_t pointer) {
  Run(Operation::kSetKeyKeyPointer, key, {.number = pointer, .second_key = &start_key});
}

void Next(FileBlock& file) {
  Run(Operation::kNext, file);
}
void Previous(FileBlock& file) {
  Run(Operation::kPrevious, file);
}
void Skip(FileBlock& file, std::int32_t count) {
  Run(Operation::kSkip, file, {.number = count});
}

void Add(FileBlock& file) {
  Run(Operation::kAdd, file);
}
void Add(FileBlock& file, std::int32_t length) {
  Run(Operation::kAddLength, file, {.number = length});
}
void Append(FileBlock& file) {
  Run(Operation::kAppend, file);
}
void Append(FileBlock& file, std::int32_t length) {
  Run(Operation::kAppendLength, file, {.number = length});
}
void Put(FileBlock& file) {
  Run(Operation::kPut, file);
}
void Put(FileBlock& file, std::int32_t pointer) {
  Run(Operation::kPutPointer, file, {.number = pointer});
}
void Put(FileBlock& file, std::int32_t pointer, std::int32_t length) {
  Run(Operation::kPutLength, file, {.number = pointer, .number2 = length});
}
void Delete(FileBlock& file) {
  Run(Operation::kDelete, file);
}

void Get(FileBlock& file, KeyBlock& key) {
  OperationCall call = MakeCall(&file, &key, {});
  Dispatch(Operation::kGetByKey, call);
}
void Get(FileBlock& file, std::int32_t pointer) {
  Run(Operation::kGetByPointer, file, {.number = pointer});
}
void Get(FileBlock& file, std::int32_t pointer, std::int32_t length) {
  Run(Operation::kGetLength, file, {.number = pointer, .number2 = length});
}
void Get(KeyBlock& key, std::int32_t pointer) {
  Run(Operation::kGetKeyPointer, key, {.number = pointer});
}

std::string Position(FileBlock& file) {
  return RunText(Operation::kPositionFile, file);
}
std::string Position(KeyBlock& key) {
  return RunText(Operation::kPositionKey, key);
}
void Reset(FileBlock& file, std::string_view position) {
  Run(Operation::kResetFile, file, {.text = position});
}
void Reset(KeyBlock& key, std::string_view position) {
  Run(Operation::kResetKey, key, {.text = position});
}
void Reget(FileBlock& file, std::string_view position) {
  Run(Operation::kRegetFile, file, {.text = position});
}
void Reget(KeyBlock& key, std::string_view position) {
  Run(Operation::kRegetKey, key, {.text = position});
}

std::int64_t Records(FileBlock& file) {
  return Run(Operation::kRecordsFile, file);
}
std::int64_t Records(KeyBlock& key) {
  return Run(Operation::kRecordsKey, key);
}
std::int64_t Bytes(FileBlock& file) {
  return Run(Operation::kBytes, file);
}
std::int64_t Pointer(FileBlock& file) {
  return Run(Operation::kPointerFile, file);
}
std::int64_t Pointer(KeyBlock& key) {
  return Run(Operation::kPointerKey, key);
}
bool Bof(FileBlock& file) {
  return Run(Operation::kBof, file) != 0;
}
bool Eof(FileBlock& file) {
  return Run(Operation::kEof, file) != 0;
}
bool Duplicate(FileBlock& file) {
  return Run(Operation::kDuplicateFile, file) != 0;
}
bool Duplicate(KeyBlock& key) {
  return Run(Operation::kDuplicateKey, key) != 0;
}
std::string Name(FileBlock& file) {
  return RunText(Operation::kName, file);
}
std::string Send(FileBlock& file, std::string_view text) {
  return RunText(Operation::kSend, file, {.text = text});
}

void Hold(FileBlock& file) {
  Run(Operation::kHold, file);
}
void Hold(FileBlock& file, std::int32_t seconds) {
  Run(Operation::kHoldTimed, file, {.number = seconds});
}
void Release(FileBlock& file) {
  Run(Operation::kRelease, file);
}
void Watch(FileBlock& file) {
  Run(Operation::kWatch, file);
}
void NoMemo(FileBlock& file) {
  Run(Operation::kNoMemo, file);
}
void Lock(FileBlock& file) {
  Run(Operation::kLock, file);
}
void Lock(FileBlock& file, std::int32_t seconds) {
  Run(Operation::kLockTimed, file, {.number = seconds});
}
void Unlock(FileBlock& file) {
  Run(Operation::kUnlock, file);
}

void Empty(FileBlock& file) {
  Run(Operation::kEmpty, file);
}
void Remove(FileBlock& file) {
  Run(Operation::kRemove, file);
}
void Rename(FileBlock& file, std::string_view new_name) {
  Run(Operation::kRename, file, {.text = new_name});
}
void Copy(FileBlock& file, std::string_view new_name) {
  Run(Operation::kCopy, file, {.text = new_name});
}
void Build(FileBlock& file) {
  Run(Operation::kBuildFile, file);
}
void Build(KeyBlock& key) {
  Run(Operation::kBuildKey, key);
}
void BuildIndex(KeyBlock& index) {
  Run(Operation::kBuildIndex, index);
}
void BuildIndex(KeyBlock& index, std::string_view components) {
  Run(Operation::kBuildDynamicIndex, index, {.text = components});
}
void Pack(FileBlock& file) {
  Run(Operation::kPack, file);
}
void Flush(FileBlock& file) {
  Run(Operation::kFlush, file);
}

void Logout(FileBlock& file) {
  Run(Operation::kLogout, file);
}
void Logout(FileBlock& file, std::int32_t seconds) {
  Run(Operation::kLogout, file, {.number = seconds});
}
void Commit(FileBlock& file) {
  Run(Operation::kCommit, file);
}
void Rollback(FileBlock& file) {
  Run(Operation::kRollback, file);
}

void SetProperty(FileBlock& file, std::int32_t property, std::string_view value) {
  Run(Operation::kPropertyWrite, file, {.number = property, .text = value});
}
std::string GetProperty(FileBlock& file, std::int32_t property) {
  return RunText(Operation::kPropertyRead, file, {.number = property});
}

}  // namespace vaultrix::files
