// The password browser's three orders as the browse engine takes them:
//
//   order  key            range value (bound name)              order field  locator clears
//   1      P_:KEYURL      BRW1::Sort1:Save:P_:User  (saved)     P_:URL       P_:Name
//   2      P_:KEYNAME     BRW1::Sort2:Save:P_:User  (saved)     P_:Name      P_:Service
//   3      P_:KEYSERVICE  BRW1::Sort3:Reset:U_:Name (U_:Name)   P_:Service   P_:Name
//
// Each shows only the entries whose owner equals its range value, letter
// case ignored. The queue holds Service, URL, Name, Notes and User.
#pragma once

#include "app/browse/description.h"
#include "app/dictionary/data_dictionary.h"

namespace vaultrix::app {

inline constexpr int kOrderByUrl = 1;
inline constexpr int kOrderByName = 2;
inline constexpr int kOrderByService = 3;

// The saved range values of orders 1 and 2; order 3's is U_:Name itself.
struct PasswordRanges {
  Text<30> sort1;
  Text<30> sort2;
};

// Binds the range values under the names the filters use, with the
// passwords record and its memos. REQUIRES: a scope pushed by the caller.
void BindPasswordOrders(PasswordRanges& ranges);

// The description without a window's own parts (choose_order, form, buttons).
// REQUIRES: the passwords file is open (its memo buffers exist).
[[nodiscard]] BrowseDescription PasswordBrowseDescription(PasswordRanges& ranges);

}  // namespace vaultrix::app
