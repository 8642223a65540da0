// Memo-as-block access on the memo buffers of a file state.
#include "runtime/files/hvn/memo_block.h"

#include <cstring>

#include "runtime/files/hvn/pages/memo_chunks.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::files::hvn {

std::int32_t MemoBlockOperation(Operation op, FileState& state, OperationCall& call) {
  if (call.number < 1 || static_cast<std::uint64_t>(call.number) > state.memos.size() ||
      call.number2 < 0) {
    return support::kInvalidNumberOfParameters;
  }
  MemoState& memo = state.memos[static_cast<std::size_t>(call.number - 1)];
  const char* buffer = memo.buffer.get();
  const std::size_t length = LengthWithoutTrailingBlanks(buffer, memo.size);
  const auto offset = static_cast<std::uint64_t>(call.number2);
  switch (op) {
    case Operation::kMemoSize:
      call.result = static_cast<std::int64_t>(length);
      return 0;
    case Operation::kMemoHandle:
      call.result = static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(buffer));
      return 0;
    case Operation::kMemoRead:
      if (offset < length) call.text_result.assign(buffer + offset, length - offset);
      return 0;
    case Operation::kMemoWrite:
      if (offset > memo.size || call.text.size() > memo.size - offset) {
        return support::kInvalidNumberOfParameters;
      }
      std::memcpy(memo.buffer.get() + offset, call.text.data(), call.text.size());
      return 0;
    default:
      return support::kUnsupportedFileDriverFunction;
  }
}

}  // namespace vaultrix::files::hvn
