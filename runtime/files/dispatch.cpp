// The operation frame around every driver call.
#include "runtime/files/dispatch.h"

#include "runtime/files/driver.h"
#include "runtime/files/file_state.h"
#include "runtime/files/reading_order.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::files {
namespace {

bool NeedsKey(Operation op) {
  return IsKeyOperation(op) || op == Operation::kGetByKey || op == Operation::kSetFileKey;
}

bool NeedsSecondKey(Operation op) {
  return op == Operation::kSetKeyKey || op == Operation::kSetKeyKeyPointer;
}

bool AnswersEndFlag(Operation op) {
  return op == Operation::kBof || op == Operation::kEof;
}

void Post(std::int32_t code, const FileBlock* file) {
  if (file == nullptr) {
    support::PostError(code);
  } else {
    support::PostError(code, ErrorFileOf(*file));
  }
}

}  // namespace

support::ErrorFileRef ErrorFileOf(const FileBlock& file) {
  if (file.state != nullptr) return {&file, file.state->name};
  std::string_view name = file.name.View();
  while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.remove_suffix(1);
  return {&file, name};
}

std::int64_t Dispatch(Operation op, OperationCall& call) {
  support::ClearError();
  call.result = 0;
  call.text_result.clear();
  if (IsKeyOperation(op)) call.file = call.key == nullptr ? nullptr : call.key->file;
  FileBlock* file = call.file;
  std::int32_t code = support::kNoError;
  if (file == nullptr || file->driver == nullptr || file->driver->dispatch == nullptr) {
    code = support::kUnsupportedFileDriverFunction;
  } else if ((NeedsKey(op) && (call.key == nullptr || call.key->file != file)) ||
             (NeedsSecondKey(op) &&
              (call.second_key == nullptr || call.second_key->file != file))) {
    code = support::kInvalidNumberOfParameters;
  } else if (file->state == nullptr) {
    code = InitialiseFileState(*file);
  }
  if (code == support::kNoError) {
    code = ServesOperation(*file->driver, op) ? file->driver->dispatch(op, call)
                                              : support::kUnsupportedFileDriverFunction;
  }
  if (code > 0) Post(code, file);
  if (code == support::kNoError ||
      (code == kNothingToPost && support::ErrorCode() == support::kNoError)) {
    RecordReadingOrder(op, call);
  }
  if (AnswersEndFlag(op) && support::ErrorCode() != support::kNoError) call.result = 1;
  if (op == Operation::kClose && file != nullptr && file->state != nullptr) ReleaseFileState(*file);
  return call.result;
}

}  // namespace vaultrix::files
