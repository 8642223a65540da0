// The password prompt: one attempt, letter case significant, "Not Required"
// only in exactly that spelling, and the buffer left holding the user's own
// record whatever was typed.
#include <gtest/gtest.h>

#include "app/services/global_codes.h"
#include "app/users/windows.h"
#include "app/users/users.h"
#include "tests/app/users/users_test_support.h"

namespace vaultrix::app {
namespace {

using testing::UsersTest;

struct PromptCase {
  const char* stored;
  const char* typed;  // nullptr: no prompt is expected
  const char* button;
  std::int32_t response;
  bool denied;  // "Invalid password" shown
  friend void PrintTo(const PromptCase& c, std::ostream* out) {
    *out << "stored \"" << c.stored << "\" typed \"" << (c.typed ? c.typed : "(no prompt)") << "\" "
         << c.button;
  }
};

class ConfirmPasswordTest : public UsersTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(ConfirmPasswordTest, AnswersAfterOneAttempt) {
  const PromptCase& c = GetParam();
  WriteUsers({{"Ann", c.stored}});
  Call(ConfirmPassword, 0, "Ann");
  if (c.typed != nullptr) {
    ASSERT_EQ(TopCaption(), "Security Check");
    Type("Confirm Password:", c.typed);
    Press(c.button);
  }
  ASSERT_TRUE(Returned()) << "one attempt per call";
  EXPECT_EQ(response_, c.response);
  const std::vector<std::string> denied = {"Access Denied: Invalid password"};
  EXPECT_EQ(Boxes(), c.denied ? denied : std::vector<std::string>{});
  EXPECT_EQ(left_.Name, "Ann");
  EXPECT_EQ(left_.ConfirmPassword, c.stored) << "no typed guess stays in the buffer";
}

INSTANTIATE_TEST_SUITE_P(
    Users, ConfirmPasswordTest,
    ::testing::Values(PromptCase{"secret", "secret", "OK", kRequestCompleted, false},
                      PromptCase{"secret", "Secret", "OK", kRequestCancelled, true},
                      PromptCase{"secret", "", "OK", kRequestCancelled, true},
                      PromptCase{"secret", "secret", "Cancel", kRequestCancelled, false},
                      PromptCase{"Not Required", nullptr, "", kRequestCompleted, false},
                      // The special value in another letter case is an ordinary password.
                      PromptCase{"not required", "", "OK", kRequestCancelled, true},
                      PromptCase{"not required", "not required", "OK", kRequestCompleted, false}));

}  // namespace
}  // namespace vaultrix::app
