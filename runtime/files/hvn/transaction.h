// Transactions over HVN files: LOGOUT enlists a file, COMMIT makes every
// change of the enlisted files durable at once, ROLLBACK drops them.
//
// The transaction control file (SEND "TCF=", by default "halverin.tcf" in
// the data directory) is itself an HVN file. Its records, one per enlisted
// file of a live transaction:
//   key   transaction number (4, big-endian), the file's canonical path
//   data  'L', then the file's header as it was before the transaction (512)
// COMMIT
//   1. draws the transaction number from the control file's last issued
//      number and writes the records (durable): the transaction is live;
//   2. in every file writes the 0xFF record (number, control file name) and
//      the pending span with its header (commit steps 0-3);
//   3. deletes the records (durable): the transaction is finished;
//   4. in every file copies the pages home (steps 4-5) and releases it.
// A crash before 3 leaves pending spans that the header check discards (the
// old header comes back from the control file); after 3 it applies them.
// Until COMMIT the changes live only in memory, so a crash before it, or
// ROLLBACK, leaves the files as they were. What an open keeps in memory
// beside the pages (its counters' deltas) goes into its file's tree just
// before step 2, in the operation that writes the 0xFF record.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/files/hvn/pages/header.h"

namespace vaultrix::files::hvn {

class PageFile;

// An open's own part of the transaction, beside its file's pages.
class TransactionMember {
 public:
  // Writes what the open kept back into the file's tree; runs inside an
  // operation of the file, before the commit writes its pages.
  [[nodiscard]] virtual int BeforeCommit() = 0;
  // The transaction ended without a commit (ROLLBACK, CLOSE, a failure).
  virtual void Dropped() = 0;

 protected:
  ~TransactionMember() = default;
};

// Enlists `file`, waiting at most `seconds` for another station's
// transaction on it: 32 when it does not end in time, 56 when the file is
// enlisted already. `member` (optional) takes part as described above.
[[nodiscard]] int EnlistInTransaction(PageFile& file, std::int64_t seconds,
                                      TransactionMember* member = nullptr);
// 48 "Unable To Log Transaction" when no transaction is active or the
// control file cannot be written (the changes are then dropped).
[[nodiscard]] int CommitTransaction();
// 65 "Unable To ROLLBACK Transaction" when no transaction is active.
[[nodiscard]] int RollbackTransaction();
// Drops the whole transaction when `file` takes part in it (CLOSE).
void LeaveTransaction(PageFile& file);

// True when `control_file` holds transaction `number` as live for the file
// at `path`; `old_header` then receives the header to put back.
[[nodiscard]] bool FindLiveTransaction(const std::string& control_file, std::uint32_t number,
                                       const std::string& path, FileHeader* old_header);

// One pause between the attempts of LOGOUT's wait for another station's
// transaction (hvn/open_file.h's transaction hook).
void WaitForOtherTransaction();

}  // namespace vaultrix::files::hvn
