// The users' list description.
#include "app/users/user_list.h"

#include "app/dictionary/data_dictionary.h"
#include "app/services/standard_warnings.h"
#include "app/users/users.h"

namespace vaultrix::app {

namespace {
constexpr std::int32_t kRecordInsertError = 14;
}  // namespace

BrowseDescription UserListDescription() {
  DataFile& file = Users();
  BrowseDescription description;
  description.file = &file;
  description.orders = {{&file.Key(kFirstKey), "", {}, {}, U_.Name.Bytes(), {}}};
  description.queue_fields = {U_.Name.Bytes()};
  description.clear_record = [] { U_ = UserRecord{}; };
  return description;
}

void EnsureDefaultUser() {
  if (!AddDefaultUserIfEmpty()) (void)ShowWarning(kRecordInsertError);
}

}  // namespace vaultrix::app
