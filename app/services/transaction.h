// The current transaction of the application's record procedures: LOGOUT
// enlists the files that a change touches, COMMIT makes the change stand,
// ROLLBACK undoes everything done to the enlisted files since LOGOUT.
// RememberFileError (services/standard_warnings.h) rolls the current transaction back
// after a failed operation.
//
// One transaction at a time: the record procedures run under the runtime
// lock and finish their transaction before they return. The one exception
// is a run that spans many events (the import, RunTransaction below): its
// transaction stays open between the run's slices, while other windows run.
// When another procedure frames a change of its own (Logout) or rolls back
// after a failure (Rollback) meanwhile, the run's transaction is committed
// first, never rolled back nor in the way: the run's changes are whole
// between its slices. The run frames a new one at its next slice.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "app/dictionary/data_file.h"

namespace vaultrix::app {

// How long LOGOUT waits for each file held by another station's transaction.
inline constexpr std::int32_t kLogoutSeconds = 2;

// Enlists `files` in a new transaction, waiting kLogoutSeconds for each. On failure the error of the failing
// LOGOUT is posted and the files enlisted before it stay in the transaction,
// for RememberFileError or Rollback to undo. False also when a transaction is
// already active (56, "LOGOUT Already Active").
[[nodiscard]] bool Logout(std::initializer_list<DataFile*> files);

// Commits every enlisted file and ends the transaction. False when a commit
// failed; its error stays posted and that file and the ones not yet committed
// are rolled back.
[[nodiscard]] bool Commit();

// Rolls every enlisted file back and ends the transaction; nothing when no
// transaction is active. The error state is left as the last roll back posted.
// A run's transaction is committed instead (see above).
void Rollback();

[[nodiscard]] bool TransactionActive();

// The transaction of a run over one file that spans many events. Frame
// before the run's changes of a slice, Commit when the run decides (every
// so many changes, at its end, at a Cancel, before it reports a failure).
// Destroying it commits what is still open.
class RunTransaction {
 public:
  explicit RunTransaction(DataFile& file) : file_(file) {}
  RunTransaction(const RunTransaction&) = delete;
  RunTransaction& operator=(const RunTransaction&) = delete;
  ~RunTransaction();

  // Opens the run's transaction unless it is still open. False, with the
  // error posted, when LOGOUT failed (nothing is framed then).
  [[nodiscard]] bool Frame();
  // Commits the run's transaction when it is open. False, with the error
  // posted, when this commit or one made for another procedure failed.
  [[nodiscard]] bool Commit();
  // True while the transaction this run framed last is still open.
  [[nodiscard]] bool Open() const;
  // Once the run's transaction was closed by another procedure: true, with
  // the error posted, when that commit failed (the run's changes since its
  // last commit are gone); false when they stand.
  [[nodiscard]] bool LostChanges();

 private:

  DataFile& file_;
  std::uint64_t serial_ = 0;  // the number of the transaction it framed last
};

}  // namespace vaultrix::app
