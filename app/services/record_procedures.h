// The record procedures: every change of a user, password or tip record that
// a form makes goes through one of these, inside a transaction over the files
// the change touches, so that a failure leaves the files as they were.
// Each answers 0 on success, 1 on failure after it has told the user with a
// standard warning.
//
//   procedure             record  transaction over    checks
//   DeleteUserRecord      U_      Users, Passwords    no password may belong to the user (13)
//   UpdateUserRecord      U_      Users, Passwords    a new name is carried to the user's passwords
//   DeletePasswordRecord  P_      Passwords
//   UpdatePasswordRecord  P_      Passwords
//   DeleteTipRecord       TIP     TipOfTheDay
//   UpdateTipRecord       TIP     TipOfTheDay
//
// A user's passwords are those whose P_:User equals the user's name ignoring
// letter case, as the password browser shows them.
#pragma once

#include <cstdint>

#include "app/dictionary/data_dictionary.h"

namespace vaultrix::app {

[[nodiscard]] std::int32_t DeleteUserRecord();
[[nodiscard]] std::int32_t UpdateUserRecord();
[[nodiscard]] std::int32_t DeletePasswordRecord();
[[nodiscard]] std::int32_t UpdatePasswordRecord();
[[nodiscard]] std::int32_t DeleteTipRecord();
[[nodiscard]] std::int32_t UpdateTipRecord();

}  // namespace vaultrix::app
