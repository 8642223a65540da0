// The base reader: the primary file through the operation frame, in the
// order of the key it was last SET by (or record order), from where that
// SET put it.
#include <string>

#include "runtime/eval/view_reader.h"
#include "runtime/files/dispatch.h"
#include "runtime/files/file_state.h"
#include "runtime/files/reading_order.h"
#include "runtime/support/error_state.h"

namespace vaultrix::eval {
namespace {

using files::Operation;

class BaseReader final : public ViewReader {
 public:
  BaseReader(files::FileBlock& primary, files::KeyBlock* key) : primary_(primary), key_(key) {}

  std::int32_t Start() override { return files::ReestablishReadingOrder(primary_); }

  std::int32_t Read(bool backward) override {
    return Run(backward ? Operation::kPrevious : Operation::kNext);
  }

  std::int32_t Position(std::string* position) override {
    files::OperationCall call = Call();
    files::Dispatch(key_ != nullptr ? Operation::kPositionKey : Operation::kPositionFile, call);
    *position = std::move(call.text_result);
    return support::ErrorCode();
  }

  std::int32_t Reset(std::string_view position) override {
    return Run(key_ != nullptr ? Operation::kResetKey : Operation::kResetFile, position);
  }

  std::int32_t Reget(std::string_view position) override {
    return Run(key_ != nullptr ? Operation::kRegetKey : Operation::kRegetFile, position);
  }

  std::int32_t GetByPointer(std::int64_t pointer) override {
    files::OperationCall call;
    call.file = &primary_;
    call.number = pointer;
    files::Dispatch(Operation::kGetByPointer, call);
    return support::ErrorCode();
  }

  std::int32_t Records(std::int64_t* count) override {
    files::OperationCall call;
    call.file = &primary_;
    *count = files::Dispatch(Operation::kRecordsFile, call);
    return support::ErrorCode();
  }

 private:
  files::OperationCall Call() const {
    files::OperationCall call;
    call.file = &primary_;
    call.key = key_;
    return call;
  }

  std::int32_t Run(Operation op, std::string_view text = {}) {
    files::OperationCall call = Call();
    call.text.assign(text);
    files::Dispatch(op, call);
    return support::ErrorCode();
  }

  files::FileBlock& primary_;
  files::KeyBlock* key_;
};

}  // namespace

std::unique_ptr<ViewReader> MakeBaseReader(files::FileBlock& primary) {
  files::KeyBlock* key =
      primary.state == nullptr ? nullptr : primary.state->reading_order.OrderKey();
  return std::make_unique<BaseReader>(primary, key);
}

}  // namespace vaultrix::eval
