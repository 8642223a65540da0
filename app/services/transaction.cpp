// The current transaction over the file interface's transaction steps.
#include "app/services/transaction.h"

#include <vector>

#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {
namespace {

bool active = false;
std::vector<files::FileBlock*> enlisted;

}  // namespace

bool Logout(std::initializer_list<DataFile*> files) {
  if (active) {
    support::PostError(support::kLogoutAlreadyActive);
    return false;
  }
  active = true;
  enlisted.clear();
  for (DataFile* file : files) {
    files::Logout(file->Block(), kLogoutSeconds);
    if (support::ErrorCode() != support::kNoError) return false;
    enlisted.push_back(&file->Block());
  }
  return true;
}

bool Commit() {
  for (std::size_t i = 0; i < enlisted.size(); ++i) {
    files::Commit(*enlisted[i]);
    // A driver whose transaction spans all its files (the data files'
    // driver) ends it at the first COMMIT; the files after it then have no
    // transaction left and answer 48, which is no failure.
    if (i > 0 && support::ErrorCode() == support::kUnableToLogTransaction) {
      support::ClearError();
      continue;
    }
    if (support::ErrorCode() != support::kNoError) {
      support::PushErrorState();
      for (std::size_t j = i; j < enlisted.size(); ++j) files::Rollback(*enlisted[j]);
      (void)support::PopErrorState();
      active = false;
      enlisted.clear();
      return false;
    }
  }
  active = false;
  enlisted.clear();
  return true;
}

void Rollback() {
  for (files::FileBlock* file : enlisted) files::Rollback(*file);
  active = false;
  enlisted.clear();
}

bool TransactionActive() {
  return active;
}

}  // namespace vaultrix::app
