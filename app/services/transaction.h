// The current transaction of the application's record procedures: LOGOUT
// enlists the files that a change touches, COMMIT makes the change stand,
// ROLLBACK undoes everything done to the enlisted files since LOGOUT.
// RememberFileError (services/standard_warnings.h) rolls the current transaction back
// after a failed operation.
//
// One transaction at a time: the record procedures run under the runtime
// lock and finish their transaction before they return.
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
void Rollback();

[[nodiscard]] bool TransactionActive();

}  // namespace vaultrix::app
