// The users' procedures as their callers run them: one procedure on runtime
// thread 1 with the request code set and the user to act on read into U_
// (as a list would have read it), over real data files in a scratch data
// directory, the windows answered through the headless automation and the
// message boxes from a queue of answers (the default button when none).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/dictionary/data_dictionary.h"
#include "platform/drivers/headless/automation.h"
#include "tests/app/frame/frame_test_support.h"

namespace vaultrix::app::testing {

struct StoredUser {
  std::string name;
  std::string password;
};

class UsersTest : public FrameTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the users (and, for the first user, `passwords` entries) before
  // any procedure runs.
  void WriteUsers(const std::vector<StoredUser>& users, int passwords = 0);
  // The users file's records in name order.
  std::vector<StoredUser> ReadUsers();
  // Starts `procedure` with `request` and, unless `user` is empty, that
  // user read into U_ by name; returns once the program is at rest.
  void Call(const std::function<void()>& procedure, std::int32_t request,
            const std::string& user = {});
  // Whether the procedure has returned (waiting a little for its thread to
  // end); its response, and U_ as it left it.
  [[nodiscard]] bool Returned();
  std::int32_t response_ = 0;
  UserRecord left_ = {};

  // User actions; each fails the test when it cannot be done.
  void Type(const std::string& field, const std::string& text);
  void Press(const std::string& button);
  // The captions and texts of the message boxes shown so far.
  [[nodiscard]] std::vector<std::string> Boxes() const;
  // The caption of the topmost window ("" when none is open).
  [[nodiscard]] std::string TopCaption() const;
  void QueueAnswer(platform::MessageBoxAnswer answer) { driver_.QueueMessageBoxAnswer(answer); }

  platform::headless::Automation automation_{driver_, &clock_};
};

}  // namespace vaultrix::app::testing
