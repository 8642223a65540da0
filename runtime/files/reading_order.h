// The reading order last established on a file: which SET (or RESET) form
// the file was last given, with its arguments, and the record buffer as it
// was then for the forms that take their start value from it. The operation
// frame records it after every successful SET and RESET, so that readers
// built on the file later (views) can re-establish the same order and start
// point without the driver's help.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/files/operation.h"

namespace vaultrix::files {

struct ReadingOrder {
  bool established = false;
  Operation operation = Operation::kSetFile;  // 41..47, 63 or 64
  KeyBlock* key = nullptr;                    // the key of the key forms
  KeyBlock* start_key = nullptr;              // SET(key, key[, pointer]) and SET(file, key)
  std::int64_t pointer = 0;
  std::string position;                       // RESET forms
  std::vector<std::uint8_t> start_record;     // the record buffer at SET time (value forms)

  // The key whose order the file reads in; null for record order.
  [[nodiscard]] KeyBlock* OrderKey() const;
  ~ReadingOrder();  // the saved record may hold secrets: wiped
};

// Called by the operation frame after `op` succeeded on call.file.
void RecordReadingOrder(Operation op, const OperationCall& call);

// Issues the recorded SET or RESET again on `file` (the record buffer gets
// the saved start record first). Answers the operation's error code. A file
// never SET reads in record order from either end (SET file).
[[nodiscard]] std::int32_t ReestablishReadingOrder(FileBlock& file);

}  // namespace vaultrix::files
