// The special password and the automatic first user.
#include "app/users/users.h"

#include "app/services/global_codes.h"

#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {

bool PasswordNotRequired(const UserRecord& user) {
  return user.Password == kNotRequired;
}

bool AddDefaultUserIfEmpty() {
  const std::int64_t records = files::Records(Users().Block());
  if (support::ErrorCode() != 0) return false;
  if (records != 0) return true;
  U_ = UserRecord{};
  U_.Name = kDefaultUserName;
  U_.Password = kNotRequired;
  U_.ConfirmPassword = kNotRequired;
  files::Add(Users().Block());
  return support::ErrorCode() == 0;
}

bool ChooseUser() {
  GlobalRequest = kSelectRecord;
  SelectUsers();
  return GlobalResponse == kRequestCompleted;
}

}  // namespace vaultrix::app
