// The record procedures' LOGOUT against a real passwords file that another
// station (a child process) holds in a transaction of its own: the change
// waits two seconds on the platform clock, then gives up with warning 34 and
// changes nothing; a transaction that ends within the wait lets it through.
// The wait runs on the simulated clock, moved on by the lock-wait hook, so
// nothing here sleeps.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "app/services/open_data_file.h"
#include "app/services/record_procedures.h"
#include "app/services/transaction.h"
#include "platform/clock.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_state.h"
#include "tests/app/test_support.h"

namespace vaultrix::app {
namespace {

constexpr std::int64_t kRetryStepMs = 100;

class LogoutWaitTest : public testing::AppServicesTest {
 protected:
  void SetUp() override {
    AppServicesTest::SetUp();
    ResetDeclarations();
    UseDataDriver(&files::HalverinDriver());
    ASSERT_EQ(::chdir(scratch_.c_str()), 0);
    {
      FileUse passwords(Passwords());  // created silently
      P_ = PasswordRecord{};
      P_.User = "Ann";
      P_.Service = "mail";
      P_.Name = "login";
      files::Add(Passwords().Block());
      ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
    }
    ResetDeclarations();
  }
  void TearDown() override {
    files::hvn::SetLockWaitHook(nullptr);
    if (child_ > 0) {
      Tell('g');
      int status = 0;
      (void)::waitpid(child_, &status, 0);
    }
    AppServicesTest::TearDown();
    ResetDeclarations();
  }

  // Another station: opens the passwords file through a declaration that
  // this process has not opened (an open of its own, as another program's
  // would be), enlists it in a transaction, says 'h', and on 'g' rolls
  // back, says 'd' and ends. While its transaction lasts, no other station
  // can read the file either: the record is read before it starts.
  void StartOtherStation() {
    ASSERT_EQ(::pipe(to_child_), 0);
    ASSERT_EQ(::pipe(from_child_), 0);
    child_ = ::fork();
    ASSERT_GE(child_, 0);
    if (child_ == 0) {
      DataFile& file = PasswordsAlias();
      files::Open(file.Block(), kDataFileAccess);
      files::Logout(file.Block());
      const bool held = support::ErrorCode() == 0;
      char byte = held ? 'h' : 'x';
      (void)::write(from_child_[1], &byte, 1);
      (void)::read(to_child_[0], &byte, 1);
      files::Rollback(file.Block());
      files::Close(file.Block());
      byte = 'd';
      (void)::write(from_child_[1], &byte, 1);
      ::_exit(held ? 0 : 1);
    }
    ASSERT_EQ(Hear(), 'h') << "the other station holds the file";
  }
  void Tell(char byte) { ASSERT_EQ(::write(to_child_[1], &byte, 1), 1); }
  char Hear() {
    char byte = 0;
    return ::read(from_child_[0], &byte, 1) == 1 ? byte : '\0';
  }

  // Reads the one password record into P_.
  void ReadPassword() {
    files::Set(Passwords().Block());
    files::Next(Passwords().Block());
    ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
  }
  std::int64_t Elapsed() const { return clock_.SteadyMilliseconds() - start_; }
  // Every retry of the waiting LOGOUT moves the clock on by one step.
  void OnEveryRetry(std::function<void()> also) {
    files::hvn::SetLockWaitHook([this, also = std::move(also)] {
      clock_.Advance(kRetryStepMs);
      if (also) also();
    });
  }

  platform::SimulatedClock clock_{platform::LocalDateTime{2026, 12, 7, 8, 0, 0, 0}};
  platform::ScopedCurrentClock installed_{clock_};
  std::int64_t start_ = clock_.SteadyMilliseconds();
  pid_t child_ = -1;
  int to_child_[2] = {-1, -1};
  int from_child_[2] = {-1, -1};
};

TEST_F(LogoutWaitTest, AFileHeldLongerThanTwoSecondsCancelsTheChange) {
  FileUse passwords(Passwords());
  ReadPassword();
  StartOtherStation();
  P_.Name = "changed";
  OnEveryRetry(nullptr);
  EXPECT_EQ(UpdatePasswordRecord(), 1);
  EXPECT_GE(Elapsed(), 2000) << "LOGOUT waited two seconds";
  EXPECT_LT(Elapsed(), 2000 + 2 * kRetryStepMs) << "and no longer";
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Transaction Framing Error");
  EXPECT_EQ(boxes_[0].text,
            "Error: (File Is Already Locked (32)) attempting to frame the Update transaction on "
            "Passwords.  Update transaction cancelled.");
  EXPECT_FALSE(TransactionActive());

  Tell('g');
  EXPECT_EQ(Hear(), 'd');
  int status = 0;
  ASSERT_EQ(::waitpid(child_, &status, 0), child_);
  child_ = -1;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ReadPassword();
  EXPECT_TRUE(P_.Name == "login") << "nothing changed";
}

TEST_F(LogoutWaitTest, ATransactionEndingWithinTheWaitLetsTheChangeThrough) {
  FileUse passwords(Passwords());
  ReadPassword();
  StartOtherStation();
  P_.Name = "changed";
  bool told = false;
  OnEveryRetry([&] {
    if (told || Elapsed() < 1500) return;
    told = true;
    Tell('g');
    EXPECT_EQ(Hear(), 'd');  // the other station's transaction has ended
  });
  EXPECT_EQ(UpdatePasswordRecord(), 0);
  EXPECT_TRUE(told);
  EXPECT_LT(Elapsed(), 2000);
  EXPECT_TRUE(boxes_.empty());
  P_ = PasswordRecord{};
  ReadPassword();
  EXPECT_TRUE(P_.Name == "changed");
}

}  // namespace
}  // namespace vaultrix::app
