// Memo-as-block access of the HVN driver (operations 75 to 78): a memo of the
// record buffer read, written, measured and handed out as a block of bytes,
// without going through a record operation. They work on the memo buffers
// that reads fill and ADD and PUT store; nothing reaches the file.
//
// Arguments (OperationCall): `number` is the memo's number in declaration
// order from 1; `number2` a byte offset from 0; `text` the bytes to write.
//   75 read    the memo's text from the offset to its length (text result)
//   76 write   the text into the memo at the offset
//   77 size    the memo's length: its size with trailing blanks removed
//   78 handle  the address of the memo's buffer
// A memo number outside the file's memos, a negative offset, or a write
// that would pass the memo's size answers 78 "Invalid Number Of Parameters".
#pragma once

#include <cstdint>

#include "runtime/files/file_state.h"
#include "runtime/files/operation.h"

namespace vaultrix::files::hvn {

[[nodiscard]] std::int32_t MemoBlockOperation(Operation op, FileState& state,
                                              OperationCall& call);

}  // namespace vaultrix::files::hvn
