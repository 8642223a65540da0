// LOGOUT waiting for another station's transaction gives the runtime lock up
// while it pauses, as a message box does: the program's other windows run on
// meanwhile. The other station is a child process; the wait runs on the
// simulated clock.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>

#include "app/dictionary/data_dictionary.h"
#include "app/frame/frame.h"
#include "app/options/options.h"
#include "app/services/open_data_file.h"
#include "app/services/transaction.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "tests/app/frame/frame_test_support.h"

namespace vaultrix::app {
namespace {

using namespace std::chrono_literals;

class WaitingLogout : public testing::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    UseDataDriver(&files::HalverinDriver());
    ASSERT_EQ(::chdir(scratch_.c_str()), 0);
    WriteVault({"Ann"}, 1);
  }
  void TearDown() override {
    if (child_ > 0) {
      Tell('g');
      int status = 0;
      (void)::waitpid(child_, &status, 0);
    }
    FrameTest::TearDown();
  }

  // Another station, forked before the program has threads: on 's' it
  // enlists the passwords file in a transaction of its own and says 'h'; on
  // 'g' it rolls back and ends.
  void ForkOtherStation() {
    ASSERT_EQ(::pipe(to_child_), 0);
    ASSERT_EQ(::pipe(from_child_), 0);
    child_ = ::fork();
    ASSERT_GE(child_, 0);
    if (child_ != 0) return;
    char byte = 0;
    (void)::read(to_child_[0], &byte, 1);
    files::Open(Passwords().Block(), kDataFileAccess);
    files::Logout(Passwords().Block());
    byte = support::ErrorCode() == 0 ? 'h' : 'x';
    (void)::write(from_child_[1], &byte, 1);
    (void)::read(to_child_[0], &byte, 1);
    files::Rollback(Passwords().Block());
    files::Close(Passwords().Block());
    ::_exit(0);
  }
  void Tell(char byte) { ASSERT_EQ(::write(to_child_[1], &byte, 1), 1); }
  char Hear() {
    char byte = 0;
    return ::read(from_child_[0], &byte, 1) == 1 ? byte : '\0';
  }

  pid_t child_ = -1;
  int to_child_[2] = {-1, -1};
  int from_child_[2] = {-1, -1};
};

TEST_F(WaitingLogout, LetsTheFramesTimerRunAndGivesUpAfterTwoSeconds) {
  SetOption(kClipboardClearKey, "30");
  ForkOtherStation();
  StartProgram();
  system_.SetClipboardText("secret");
  Advance(1s);
  Tell('s');
  ASSERT_EQ(Hear(), 'h') << "the other station holds the passwords file";

  std::atomic<bool> done{false};
  bool enlisted = true;
  int code = -1;
  UnderLock([&] {
    EXPECT_NE(Start([&] {
                FileUse passwords(PasswordsAlias());
                enlisted = Logout({&PasswordsAlias()});
                code = support::ErrorCode();
                Rollback();
                done = true;
              }),
              0);
  });
  Settle();
  const std::string before = Zone(kZoneCountdown);
  ASSERT_TRUE(before.ends_with(" seconds to clipboard clear")) << before;
  Advance(1s);
  EXPECT_FALSE(done) << "LOGOUT still waits";
  EXPECT_NE(Zone(kZoneCountdown), before) << "the frame's timer went on";
  Advance(1500ms);
  EXPECT_TRUE(done) << "two seconds are up";
  UnderLock([&] {
    EXPECT_FALSE(enlisted);
    EXPECT_EQ(code, support::kFileIsAlreadyLocked);
  });
}

}  // namespace
}  // namespace vaultrix::app
