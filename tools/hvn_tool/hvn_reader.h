// The data-file tool's view of one HVN file: the file open for one operation
// of its page file (the header checked once, a pending commit completed or,
// read-only, read around), the tables named in it with their stored
// definitions and counters, and walks over ranges of records. Every call
// answers 0 or the page file's code (an I/O error, 36 for a file that is not
// an HVN file or whose owner password is wrong, kInternalErrorCode for
// damage, with the failed check in fault_line()).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"
#include "runtime/files/hvn/table.h"
#include "runtime/files/hvn/pages/page_file.h"

namespace vaultrix::tools {

struct TableInfo {
  std::string name;
  std::uint32_t id = 0;
  bool definition_valid = false;
  files::hvn::TableDefinition definition;
  // By counted kind: kKindData for the data records, a key number for a key.
  std::map<std::uint8_t, files::hvn::Counter> counters;
};

class HvnReader {
 public:
  HvnReader() = default;
  HvnReader(const HvnReader&) = delete;
  HvnReader& operator=(const HvnReader&) = delete;
  ~HvnReader();

  // Opens `path` (with `owner` as its owner password, empty for none).
  // Writable only for a rebuild.
  [[nodiscard]] int Open(const std::string& path, const std::string& owner, bool writable);
  // Begins the one operation every later call runs in.
  [[nodiscard]] int Begin();
  // Ends it, dropping any change.
  void Abort();
  // Commits what the operation changed and closes the file; `size_after`,
  // when given, receives the file's size then.
  [[nodiscard]] int Commit(std::uint64_t* size_after = nullptr);

  [[nodiscard]] files::hvn::PageFile& file() { return file_; }
  [[nodiscard]] const files::hvn::FileHeader& header() const { return file_.header(); }
  [[nodiscard]] std::uint64_t file_size() const { return file_size_; }

  // Every table named in the file, in name order.
  [[nodiscard]] int ListTables(std::vector<TableInfo>* tables);

  // Calls `visit` for every record whose key starts with `prefix`, in key
  // order, until it answers false.
  [[nodiscard]] int Walk(const std::string& prefix,
                         const std::function<bool(const files::hvn::Record&)>& visit);

  // A sentence for a code answered here, naming the file's failed check for
  // damage.
  [[nodiscard]] std::string Explain(int code) const;

 private:
  std::unique_ptr<platform::Env> env_;
  std::unique_ptr<platform::ScopedEnv> scoped_env_;
  files::hvn::PageFile file_;
  bool begun_ = false;
  std::uint64_t file_size_ = 0;
};

}  // namespace vaultrix::tools
