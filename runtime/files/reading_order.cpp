// Recording and re-establishing a file's reading order.
#include "runtime/files/reading_order.h"

#include <cstring>

#include "runtime/files/dispatch.h"
#include "runtime/files/file_state.h"
#include "runtime/support/error_state.h"

namespace vaultrix::files {
namespace {

bool TakesStartValue(Operation op) {
  return op == Operation::kSetFileKey || op == Operation::kSetKeyKey ||
         op == Operation::kSetKeyKeyPointer;
}

}  // namespace

KeyBlock* ReadingOrder::OrderKey() const {
  if (!established) return nullptr;
  switch (operation) {
    case Operation::kSetKey:
    case Operation::kSetKeyKey:
    case Operation::kSetKeyPointer:
    case Operation::kSetKeyKeyPointer:
    case Operation::kResetKey:
      return key;
    default:
      return nullptr;
  }
}

ReadingOrder::~ReadingOrder() {
  if (!start_record.empty()) explicit_bzero(start_record.data(), start_record.size());
}

void RecordReadingOrder(Operation op, const OperationCall& call) {
  const bool is_set = op >= Operation::kSetFile && op <= Operation::kSetKeyKeyPointer;
  const bool is_reset = op == Operation::kResetFile || op == Operation::kResetKey;
  if ((!is_set && !is_reset) || call.file == nullptr || call.file->state == nullptr) return;
  ReadingOrder& order = call.file->state->reading_order;
  order.established = true;
  order.operation = op;
  order.key = call.key;
  order.start_key = op == Operation::kSetFileKey ? call.key : call.second_key;
  order.pointer = call.number;
  order.position = is_reset ? call.text : std::string();
  if (!order.start_record.empty()) explicit_bzero(order.start_record.data(), order.start_record.size());
  order.start_record.clear();
  if (TakesStartValue(op) && call.file->record != nullptr) {
    order.start_record.assign(call.file->record, call.file->record + call.file->record_size);
  }
}

std::int32_t ReestablishReadingOrder(FileBlock& file) {
  OperationCall call;
  call.file = &file;
  if (file.state == nullptr || !file.state->reading_order.established) {
    Dispatch(Operation::kSetFile, call);
    return support::ErrorCode();
  }
  // The call takes its own copies: the SET below records the order again.
  const ReadingOrder& saved = file.state->reading_order;
  const Operation op = saved.operation;
  call.key = saved.key;
  call.second_key = saved.start_key;
  call.number = saved.pointer;
  call.text = saved.position;
  if (op == Operation::kSetFileKey) call.second_key = nullptr;
  if (TakesStartValue(op) && file.record != nullptr &&
      saved.start_record.size() == file.record_size) {
    std::memcpy(file.record, saved.start_record.data(), file.record_size);
  }
  Dispatch(op, call);
  return support::ErrorCode();
}

}  // namespace vaultrix::files
