// The users' procedures' fixture.
#include "tests/app/users/users_test_support.h"

#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app::testing {

void UsersTest::SetUp() {
  FrameTest::SetUp();
  ResetDeclarations();
  UseDataDriver(&files::HalverinDriver());
  ASSERT_EQ(::chdir(scratch_.c_str()), 0);
}

void UsersTest::TearDown() {
  std::string error;
  if (started_ && !run_.Finished()) {
    EXPECT_TRUE(automation_.CloseAll(&error)) << error;
  }
  FrameTest::TearDown();
}

void UsersTest::WriteUsers(const std::vector<StoredUser>& users, int passwords) {
  {
    FileUse file(Users());
    for (const StoredUser& user : users) {
      U_ = UserRecord{};
      U_.Name = user.name;
      U_.Password = user.password;
      U_.ConfirmPassword = user.password;
      files::Add(Users().Block());
      ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
    }
  }
  {
    FileUse file(Passwords());
    for (int i = 0; i < passwords; ++i) {
      P_ = PasswordRecord{};
      P_.User = users.at(0).name;
      P_.Service = "service " + std::to_string(i);
      P_.Name = "login";
      files::Add(Passwords().Block());
      ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
    }
  }
  U_ = UserRecord{};
  ResetDeclarations();
}

std::vector<StoredUser> UsersTest::ReadUsers() {
  std::vector<StoredUser> users;
  FileUse file(Users());
  files::Set(Users().Key(kFirstKey));
  for (files::Next(Users().Block()); support::ErrorCode() == 0; files::Next(Users().Block())) {
    users.push_back({std::string(U_.Name.Clipped()), std::string(U_.Password.Clipped())});
  }
  return users;
}

void UsersTest::Call(const std::function<void()>& procedure, std::int32_t request,
                     const std::string& user) {
  started_ = true;
  run_.Start([this, procedure, request, user] {
    FileUse file(Users());
    if (!user.empty()) {
      U_.Name = user;
      files::Get(Users().Block(), Users().Key(kFirstKey));
      ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
    }
    GlobalRequest = request;
    procedure();
    response_ = GlobalResponse;
    left_ = U_;
  });
  Settle();
}

bool UsersTest::Returned() {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!run_.Finished() && std::chrono::steady_clock::now() < limit) {
    std::this_thread::yield();
  }
  return run_.Finished();
}

void UsersTest::Type(const std::string& field, const std::string& text) {
  std::string error;
  ASSERT_TRUE(automation_.Type(platform::headless::ControlRef::Parse(field), text, &error))
      << error;
  ASSERT_TRUE(automation_.Settle(&error)) << error;
}

void UsersTest::Press(const std::string& button) {
  std::string error;
  ASSERT_TRUE(automation_.Press(platform::headless::ControlRef::Parse(button), &error)) << error;
  ASSERT_TRUE(automation_.Settle(&error)) << error;
}

std::vector<std::string> UsersTest::Boxes() const {
  std::vector<std::string> boxes;
  for (const platform::DialogRequest& dialog : driver_.DialogHistory()) {
    if (dialog.kind != platform::DialogKind::kMessageBox) continue;
    boxes.push_back(dialog.message_box.caption + ": " + dialog.message_box.text);
  }
  return boxes;
}

std::string UsersTest::TopCaption() const {
  const std::vector<platform::WindowHandle> windows = system_.TopLevelWindows();
  return windows.empty() ? std::string() : system_.GetText(windows.back());
}

}  // namespace vaultrix::app::testing
