// File operations: their codes and how their arguments and results travel
// between the runtime and a driver.
//
// A driver is one dispatch routine:
//
//   std::int32_t Dispatch(Operation op, OperationCall& call);
//
// The runtime's operation frame (dispatch.h) has cleared the error state and
// set up the file's state before it calls the driver. The driver answers
//   0                 success;
//   an error code     the frame posts it; an operating-system failure is
//                     support::ErrorCodeFromErrno(errno), 301..391;
//   kNothingToPost    the driver posted the outcome itself, or there is none.
// Numeric results (RECORDS, POINTER, BOF, DUPLICATE, ...) go into
// call.result, text results (NAME, POSITION, SEND, property reads) into
// call.text_result. An operation the driver does not serve answers 80.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/files/file_descriptor.h"

namespace vaultrix::files {

enum class Operation : std::int32_t {
  kAdd = 1,
  kBof = 2,
  kBuildFile = 3,
  kAppend = 4,
  kBuildKey = 5,
  kBuildIndex = 6,
  kClose = 7,
  kRollback = 8,  // transaction: roll back
  kCopy = 9,
  kCreate = 10,
  kDelete = 11,
  kDuplicateFile = 12,
  kEmpty = 13,
  kEof = 14,
  kGetByKey = 15,       // file, key
  kGetByPointer = 16,   // file, pointer
  kGetKeyPointer = 17,  // key, pointer
  kHold = 18,
  kHoldTimed = 19,  // file, seconds
  kLock = 20,
  kLockTimed = 21,  // file, seconds
  kLogout = 22,     // transaction: enlist the file
  kName = 23,
  kNext = 24,
  kOpen = 25,  // file, access mode
  kPack = 26,
  kPointerFile = 27,
  kPointerKey = 28,
  kFlush = 29,
  kPut = 30,
  kPrevious = 31,
  kRecordsFile = 32,
  kRecordsKey = 33,
  kBuildDynamicIndex = 34,  // index, component text
  kRelease = 36,
  kRemove = 37,
  kRename = 38,  // file, new name
  kCommit = 40,  // transaction: commit
  kSetFile = 41,
  kSetFileKey = 42,      // file, key
  kSetFilePointer = 43,  // file, pointer
  kSetKey = 44,
  kSetKeyKey = 45,         // key, key
  kSetKeyPointer = 46,     // key, pointer
  kSetKeyKeyPointer = 47,  // key, key, pointer
  kShare = 48,             // file, access mode
  kSkip = 49,              // file, count
  kUnlock = 50,
  kAddLength = 51,  // file, length
  kBytes = 52,
  kGetLength = 53,   // file, pointer, length
  kPutPointer = 54,  // file, pointer
  kPutLength = 55,   // file, pointer, length
  kDuplicateKey = 57,
  kWatch = 58,
  kAppendLength = 59,  // file, length
  kSend = 60,          // file, text
  kPositionFile = 61,
  kPositionKey = 62,
  kResetFile = 63,  // file, position text
  kResetKey = 64,   // key, position text
  kNoMemo = 65,
  kRegetFile = 66,      // file, position text
  kRegetKey = 67,       // key, position text
  kPropertyWrite = 71,  // object, property number, value text
  kPropertyRead = 72,   // object, property number
  kViewRequest = 74,
  kMemoRead = 75,  // file, memo number, ...
  kMemoWrite = 76,
  kMemoSize = 77,
  kMemoHandle = 78,
  kPropertyReadIndexed = 79,  // object, property number, index
  kViewSkip = 81,
};

inline constexpr std::int32_t kNothingToPost = -1;

// The arguments and results of one operation.
struct OperationCall {
  FileBlock* file = nullptr;       // the file; for key operations the key's file
  KeyBlock* key = nullptr;         // key operations: the key named first
  KeyBlock* second_key = nullptr;  // SET(key, key[, pointer]): the key giving the start value
  std::int64_t number = 0;  // access mode, pointer, seconds, count, property or memo number, length
  std::int64_t number2 = 0;  // a second number: the length of 53/55, a property index
  std::string
      text;  // the text argument (new name, position, SEND text, value); c_str() is zero-terminated
  std::int64_t result = 0;  // numeric result
  std::string text_result;  // text result
};

using DriverDispatch = std::int32_t (*)(Operation op, OperationCall& call);

// Operations whose first argument is a key block. (Inline: the frame asks
// on every operation.)
[[nodiscard]] constexpr bool IsKeyOperation(Operation op) {
  switch (op) {
    case Operation::kBuildKey:
    case Operation::kBuildIndex:
    case Operation::kBuildDynamicIndex:
    case Operation::kGetKeyPointer:
    case Operation::kPointerKey:
    case Operation::kRecordsKey:
    case Operation::kSetKey:
    case Operation::kSetKeyKey:
    case Operation::kSetKeyPointer:
    case Operation::kSetKeyKeyPointer:
    case Operation::kDuplicateKey:
    case Operation::kPositionKey:
    case Operation::kResetKey:
    case Operation::kRegetKey:
      return true;
    default:
      return false;
  }
}

}  // namespace vaultrix::files
