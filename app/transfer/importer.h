// The import run: each line of the file becomes one password entry of the
// user. Every entry starts blank; the targets assigned to a column take its
// field (cut to their size at a character boundary), `P_:User` the user and
// `P_:ConfirmPassword` the password. A failed add shows "Cannot ADD to
// Passwords!" and ends the run; the entries added before it stay.
//
// The adds run in one transaction that stays open across slices and is
// committed every kCommitAdds entries or kCommitMilliseconds, at the end, at
// a Cancel (Finish) and before a failure is shown: a crash leaves the file
// as the last commit left it, and few durable commits keep a long import
// fast. Another window's change meanwhile commits it first
// (services/transaction.h).
//
// Locks: REQUIRES the runtime lock; the passwords file open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/services/transaction.h"
#include "app/transfer/csv_reader.h"

namespace vaultrix::app {

// The six targets of an import, in the target list's order.
inline constexpr std::size_t kImportTargets = 6;
inline constexpr const char* kImportTargetNames[kImportTargets] = {
    "P_:Service", "P_:URL", "P_:Name", "P_:Password", "P_:Notes", "P_:MoreNotes"};
inline constexpr int kUnassigned = -1;

struct ImportPlan {
  std::vector<std::string> pictures;  // one per column of the file
  int targets[kImportTargets] = {kUnassigned, kUnassigned, kUnassigned,
                                 kUnassigned, kUnassigned, kUnassigned};  // column, from 0
  bool strip_header = false;
  std::string user;
};

class Importer {
 public:
  // Lines taken per timer event.
  static constexpr int kLinesPerSlice = 25;
  // A commit follows when this many entries or this much time passed since
  // the last one (the program's clock).
  static constexpr std::int64_t kCommitAdds = 25'000;
  static constexpr std::int64_t kCommitMilliseconds = 1'000;

  Importer(CsvReader& reader, ImportPlan plan);
  Importer(const Importer&) = delete;
  Importer& operator=(const Importer&) = delete;
  ~Importer() { Finish(); }

  // Back to the first data line; false when the file holds none.
  bool Start();
  // Up to kLinesPerSlice lines added; false once the file ended or an add
  // failed. `percent`: bytes taken x 100 / the file's size.
  bool Slice(std::int32_t& percent);

  // Commits the entries added since the last commit (the end of the run,
  // a Cancel).
  void Finish();

  [[nodiscard]] std::int64_t Added() const { return added_; }
  [[nodiscard]] bool Failed() const { return failed_; }

 private:
  bool AddLine();
  void CommitAdds();

  void Fail();

  CsvReader& reader_;
  ImportPlan plan_;
  RunTransaction transaction_;
  std::int64_t added_ = 0;
  std::int64_t committed_ = 0;
  std::int64_t committed_at_ = 0;  // milliseconds of the program's clock
  bool failed_ = false;
  std::string failed_text_;
};

}  // namespace vaultrix::app
