// A data driver for the application's tests: files live in memory (a map by
// name that outlives CLOSE, like a disk), records are read in record order or
// in key order (key values built from the key's components, NOCASE in lower
// case, OPT leaving all-blank records out, unique keys refusing duplicates
// with 40), memos travel with their records, and LOGOUT/COMMIT/ROLLBACK keep a
// copy of each enlisted file to restore.
//
// Any operation can be scripted: its next calls answer the listed codes
// instead of doing the work (kPass lets one call through), so tests reach
// every branch of the procedures above the file interface.
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "runtime/files/driver.h"
#include "runtime/files/operation.h"

namespace vaultrix::app::testing {

inline constexpr std::int32_t kPass = -2;

struct StoredRecord {
  std::vector<std::uint8_t> bytes;
  std::vector<std::string> memos;
  bool live = true;
  std::vector<std::optional<std::string>> key_values;  // one per key, as of the last write
};

struct StoredFile {
  std::vector<StoredRecord> records;  // record number n is records[n - 1]
  std::uint32_t record_size = 0;
  std::vector<std::multiset<std::string>> index;  // per key: the values of the live records
};

struct Call {
  files::Operation op;
  std::string file;  // the file's name
  std::string text;  // the text argument
};

class TestDisk {
 public:
  // The disk, emptied of files, scripts and calls.
  static TestDisk& Reset();
  static TestDisk& Get();

  void Script(files::Operation op, std::initializer_list<std::int32_t> codes);
  // Pops the next scripted answer of `op`; kPass when none is left.
  [[nodiscard]] std::int32_t NextScripted(files::Operation op);

  std::map<std::string, StoredFile> files;  // by name
  std::vector<Call> calls;

  [[nodiscard]] bool Exists(const std::string& name) const { return files.count(name) != 0; }
  [[nodiscard]] std::size_t LiveRecords(const std::string& name) const;
  [[nodiscard]] int CallCount(files::Operation op) const;

 private:
  std::map<files::Operation, std::deque<std::int32_t>> scripts_;
};

[[nodiscard]] const files::DriverRegistration& TestDataDriver();

}  // namespace vaultrix::app::testing
