// Facts about operation codes that the frame needs.
#include "runtime/files/operation.h"

namespace vaultrix::files {

bool IsKeyOperation(Operation op) {
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
