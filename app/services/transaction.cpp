// The current transaction over the file interface's transaction steps.
#include "app/services/transaction.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {
namespace {

bool active = false;
// The active transaction belongs to a run (RunTransaction) and carries
// this number; 0 for a procedure's own.
std::uint64_t run_serial = 0;
std::uint64_t last_serial = 0;
std::vector<files::FileBlock*> enlisted;
// Commits of runs' transactions made for another procedure that failed,
// kept until the run asks at its next slice.
std::vector<std::pair<std::uint64_t, support::ErrorSnapshot>> run_failures;

void End() {
  active = false;
  run_serial = 0;
  enlisted.clear();
}

bool CommitEnlisted() {
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
      End();
      return false;
    }
  }
  End();
  return true;
}

// Commits a run's open transaction for another procedure, leaving that
// procedure's error state as it was; a failure waits for the run.
void CommitRunForOther() {
  const std::uint64_t serial = run_serial;
  support::PushErrorState();
  support::ClearError();
  if (!CommitEnlisted()) run_failures.emplace_back(serial, support::CurrentError());
  (void)support::PopErrorState();
}

bool FrameFiles(std::initializer_list<DataFile*> files) {
  if (active && run_serial != 0) CommitRunForOther();
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

}  // namespace

bool Logout(std::initializer_list<DataFile*> files) {
  return FrameFiles(files);
}

bool Commit() {
  return CommitEnlisted();
}

void Rollback() {
  if (active && run_serial != 0) {
    CommitRunForOther();
    return;
  }
  for (files::FileBlock* file : enlisted) files::Rollback(*file);
  End();
}

bool TransactionActive() {
  return active;
}

RunTransaction::~RunTransaction() {
  support::PushErrorState();
  (void)Commit();
  (void)support::PopErrorState();
}

bool RunTransaction::Open() const {
  return active && serial_ != 0 && run_serial == serial_;
}

bool RunTransaction::LostChanges() {
  if (serial_ == 0 || Open()) return false;
  const auto failure = std::find_if(run_failures.begin(), run_failures.end(),
                                    [&](const auto& entry) { return entry.first == serial_; });
  if (failure == run_failures.end()) return false;
  support::PostErrorWithText(failure->second.code, failure->second.text);
  run_failures.erase(failure);
  return true;
}

bool RunTransaction::Frame() {
  if (Open()) return true;
  support::ClearError();
  if (active && run_serial == 0) {
    // Another procedure's own change is framed; it ends before it returns,
    // so this does not happen between slices.
    support::PostError(support::kLogoutAlreadyActive);
    return false;
  }
  if (!FrameFiles({&file_})) {
    // Nothing of the run stays open: a LOGOUT that failed part way is
    // undone here rather than left for another procedure to commit.
    support::PushErrorState();
    for (files::FileBlock* file : enlisted) files::Rollback(*file);
    (void)support::PopErrorState();
    End();
    return false;
  }
  serial_ = ++last_serial;
  run_serial = serial_;
  return true;
}

bool RunTransaction::Commit() {
  if (!Open()) return !LostChanges();
  support::ClearError();
  return CommitEnlisted();
}

}  // namespace vaultrix::app
