// The record procedures and the two things only users need: the check that
// no password belongs to a user about to be deleted, and carrying a user's
// new name to the user's passwords.
#include "app/services/record_procedures.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/services/open_data_file.h"
#include "app/services/standard_warnings.h"
#include "app/services/transaction.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"
#include "runtime/support/locale.h"

namespace vaultrix::app {

namespace {

constexpr std::int32_t kSucceeded = 0;
constexpr std::int32_t kFailed = 1;
constexpr const char* kPasswordsLabel = "Passwords";
constexpr const char* kChangedByAnotherStation = "Record Changed by Another Station";

bool Failed() {
  return support::ErrorCode() != support::kNoError;
}

// Letter case is ignored, as the key and the password browser's filter do.
bool SameUser(std::string_view a, std::string_view b) {
  return support::EqualBlankPadded(support::ToUpper(a), support::ToUpper(b));
}

// The next read of the passwords file in P_:KEYSERVICE order gives the first
// password of `user`, if any: P_ cleared, P_:User the name, Service and Name
// the lowest value.
void SetToFirstPasswordOf(std::string_view user) {
  P_ = PasswordRecord{};
  P_.User = user;
  std::memset(P_.Service.data(), 0, P_.Service.size());
  std::memset(P_.Name.data(), 0, P_.Name.size());
  files::KeyBlock& key = Passwords().Key(kKeyService);
  files::Set(key, key);
}

// Reads the next password; false at the end or on an error, which has been
// shown (warning 35) when `error` is set to true.
bool NextPassword(bool* error) {
  files::Next(Passwords().Block());
  if (support::ErrorCode() == support::kRecordNotAvailable) return false;
  if (Failed()) {
    ShowWarning(35, kPasswordsLabel);
    *error = true;
    return false;
  }
  return true;
}

std::int32_t CheckNoPasswordsOf(std::string_view user) {
  SetToFirstPasswordOf(user);
  bool error = false;
  if (Failed()) {
    ShowWarning(35, kPasswordsLabel);
    return kFailed;
  }
  if (!NextPassword(&error)) return error ? kFailed : kSucceeded;
  if (SameUser(P_.User.View(), user)) {
    ShowWarning(13, kPasswordsLabel);
    return kFailed;
  }
  return kSucceeded;
}

// Finds every password of `old_name` first and changes them afterwards: a
// changed owner moves its record within the key, and a name that only
// changes its letter case would otherwise be met again.
std::int32_t RenamePasswordsOwner(std::string_view old_name, std::string_view new_name) {
  std::vector<std::string> positions;
  SetToFirstPasswordOf(old_name);
  bool error = Failed();
  if (error) ShowWarning(35, kPasswordsLabel);
  while (!error && NextPassword(&error) && SameUser(P_.User.View(), old_name)) {
    positions.push_back(files::Position(Passwords().Block()));
    if (Failed()) {
      ShowWarning(35, kPasswordsLabel);
      error = true;
    }
  }
  if (error) return kFailed;
  for (const std::string& position : positions) {
    files::Reget(Passwords().Block(), position);
    if (Failed()) {
      ShowWarning(35, kPasswordsLabel);
      return kFailed;
    }
    P_.User = new_name;
    files::Put(Passwords().Block());
    if (Failed()) {
      ShowWarning(15, kPasswordsLabel);
      return kFailed;
    }
  }
  return kSucceeded;
}

std::int32_t Enlist(std::string_view operation, DataFile& file, bool with_passwords) {
  const bool enlisted = with_passwords ? Logout({&Users(), &Passwords()}) : Logout({&file});
  if (enlisted) return kSucceeded;
  RememberFileError();
  ShowWarning(34, operation, file.Label());
  return kFailed;
}

std::int32_t Finish(std::string_view operation, DataFile& file) {
  if (Commit()) return kSucceeded;
  RememberFileError();
  ShowWarning(34, operation, file.Label());
  return kFailed;
}

std::int32_t DeleteRecord(DataFile& file, files::KeyBlock& first_key, bool user) {
  const std::string position = files::Position(first_key);
  std::optional<FileUse> passwords;
  if (user) passwords.emplace(Passwords());
  if (Enlist("Delete", file, user) != kSucceeded) return kFailed;
  // The record is read again inside the transaction; one that another
  // station changed or removed since is not deleted.
  files::Reget(first_key, position);
  if (Failed()) {
    RememberFileError();
    ShowWarning(17, file.Label());
    return kFailed;
  }
  if (user && CheckNoPasswordsOf(U_.Name.View()) != kSucceeded) {
    Rollback();
    return kFailed;
  }
  files::Delete(file.Block());
  if (Failed()) {
    RememberFileError();
    ShowWarning(17, file.Label());
    return kFailed;
  }
  return Finish("Delete", file);
}

std::int32_t UpdateRecord(DataFile& file, bool user) {
  std::optional<FileUse> passwords;
  if (user) passwords.emplace(Passwords());
  if (Enlist("Update", file, user) != kSucceeded) return kFailed;
  files::Put(file.Block());
  if (Failed()) {
    RememberFileError();
    const bool changed = SavedError().code == support::kRecordChangedByAnotherStation;
    ShowWarning(
        15, changed ? std::string_view(kChangedByAnotherStation) : std::string_view(file.Label()));
    return kFailed;
  }
  if (user && !(U_.Name == SavedUserRecord.Name) &&
      RenamePasswordsOwner(SavedUserRecord.Name.View(), U_.Name.View()) != kSucceeded) {
    Rollback();
    return kFailed;
  }
  return Finish("Update", file);
}

}  // namespace

std::int32_t DeleteUserRecord() {
  return DeleteRecord(Users(), Users().Key(kFirstKey), true);
}

std::int32_t UpdateUserRecord() {
  return UpdateRecord(Users(), true);
}

std::int32_t DeletePasswordRecord() {
  return DeleteRecord(Passwords(), Passwords().Key(kKeyService), false);
}

std::int32_t UpdatePasswordRecord() {
  return UpdateRecord(Passwords(), false);
}

std::int32_t DeleteTipRecord() {
  return DeleteRecord(TipOfTheDay(), TipOfTheDay().Key(kFirstKey), false);
}

std::int32_t UpdateTipRecord() {
  return UpdateRecord(TipOfTheDay(), false);
}

}  // namespace vaultrix::app
