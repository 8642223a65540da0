// Byte-range locks: they belong to the open file, so two opens in one process
// contend like two stations, and a lock held by another process is seen too.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "platform/env.h"
#include "tests/platform/scratch_dir.h"

namespace vaultrix::platform {
namespace {

using testing::ScratchDir;

// The lock regions of the data files lie far beyond the data.
constexpr std::uint64_t kSlots = 0x80000000;

class FileLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Put("shared", "data");
    ASSERT_EQ(SystemEnv().OpenFile(dir_.Path("shared"), OpenMode::kReadWrite, &first_), 0);
    ASSERT_EQ(SystemEnv().OpenFile(dir_.Path("shared"), OpenMode::kReadWrite, &second_), 0);
  }

  ScratchDir dir_;
  std::unique_ptr<File> first_;
  std::unique_ptr<File> second_;
};

TEST_F(FileLockTest, TwoOpensInOneProcessContend) {
  ASSERT_EQ(first_->Lock(kSlots, 1024, LockKind::kExclusive, LockWait::kTry), 0);
  EXPECT_EQ(second_->Lock(kSlots + 5, 1, LockKind::kShared, LockWait::kTry), kLockConflict);
  EXPECT_EQ(second_->Lock(kSlots + 1023, 2, LockKind::kExclusive, LockWait::kTry), kLockConflict);
  // The range next to it is free.
  EXPECT_EQ(second_->Lock(kSlots + 1024, 1, LockKind::kExclusive, LockWait::kTry), 0);
  // The holder itself may take the range again (or change its kind).
  EXPECT_EQ(first_->Lock(kSlots, 1024, LockKind::kShared, LockWait::kTry), 0);
  EXPECT_EQ(second_->Lock(kSlots + 5, 1, LockKind::kShared, LockWait::kTry), 0);
  EXPECT_EQ(second_->Lock(kSlots + 6, 1, LockKind::kExclusive, LockWait::kTry), kLockConflict);

  ASSERT_EQ(first_->Unlock(kSlots, 1024), 0);
  EXPECT_EQ(second_->Lock(kSlots + 6, 1, LockKind::kExclusive, LockWait::kTry), 0);
  EXPECT_EQ(second_->Lock(kSlots, 1024, LockKind::kExclusive, LockWait::kWait), 0);
}

TEST_F(FileLockTest, SharedLocksCoexist) {
  ASSERT_EQ(first_->Lock(kSlots + 3, 1, LockKind::kShared, LockWait::kTry), 0);
  EXPECT_EQ(second_->Lock(kSlots + 3, 1, LockKind::kShared, LockWait::kTry), 0);
  EXPECT_EQ(second_->Lock(kSlots, 1024, LockKind::kExclusive, LockWait::kTry), kLockConflict);
}

TEST_F(FileLockTest, TestLockSeesOnlyOtherHolders) {
  bool held = true;
  ASSERT_EQ(first_->Lock(0, kWholeFile, LockKind::kExclusive, LockWait::kTry), 0);
  ASSERT_EQ(first_->TestLock(0, kWholeFile, LockKind::kExclusive, &held), 0);
  EXPECT_FALSE(held);
  ASSERT_EQ(second_->TestLock(100, 1, LockKind::kShared, &held), 0);
  EXPECT_TRUE(held);
  ASSERT_EQ(first_->Unlock(0, kWholeFile), 0);
  ASSERT_EQ(second_->TestLock(100, 1, LockKind::kExclusive, &held), 0);
  EXPECT_FALSE(held);
}

TEST_F(FileLockTest, ClosingAFileReleasesItsLocks) {
  ASSERT_EQ(first_->Lock(kSlots, 1024, LockKind::kExclusive, LockWait::kTry), 0);
  ASSERT_EQ(first_->Close(), 0);
  EXPECT_EQ(second_->Lock(kSlots, 1024, LockKind::kExclusive, LockWait::kTry), 0);
  EXPECT_EQ(first_->Lock(0, 1, LockKind::kShared, LockWait::kTry), EBADF);
}

// A child process takes the lock and holds it until told over a pipe.
TEST_F(FileLockTest, LockHeldByAnotherProcessConflictsUntilReleased) {
  int to_child[2];
  int to_parent[2];
  ASSERT_EQ(::pipe(to_child), 0);
  ASSERT_EQ(::pipe(to_parent), 0);
  std::string path = dir_.Path("shared");
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::unique_ptr<File> file;
    char signal = 'x';
    if (SystemEnv().OpenFile(path, OpenMode::kReadWrite, &file) != 0 ||
        file->Lock(kSlots + 1024 + 7, 1, LockKind::kExclusive, LockWait::kTry) != 0) {
      ::_exit(1);
    }
    if (::write(to_parent[1], &signal, 1) != 1 || ::read(to_child[0], &signal, 1) != 1) ::_exit(2);
    if (file->Unlock(kSlots + 1024 + 7, 1) != 0) ::_exit(3);
    ::_exit(::write(to_parent[1], &signal, 1) == 1 ? 0 : 4);
  }
  char signal = 0;
  ASSERT_EQ(::read(to_parent[0], &signal, 1), 1);
  EXPECT_EQ(first_->Lock(kSlots + 1024 + 7, 1, LockKind::kShared, LockWait::kTry), kLockConflict);
  bool held = false;
  ASSERT_EQ(first_->TestLock(kSlots + 1024 + 7, 1, LockKind::kShared, &held), 0);
  EXPECT_TRUE(held);
  EXPECT_EQ(first_->Lock(kSlots + 1024 + 8, 1, LockKind::kExclusive, LockWait::kTry), 0);

  ASSERT_EQ(::write(to_child[1], "go", 1), 1);
  // The waiting form returns once the child lets go.
  EXPECT_EQ(first_->Lock(kSlots + 1024 + 7, 1, LockKind::kExclusive, LockWait::kWait), 0);
  ASSERT_EQ(::read(to_parent[0], &signal, 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(FileLockTest, ALockDiesWithItsProcess) {
  int to_parent[2];
  ASSERT_EQ(::pipe(to_parent), 0);
  std::string path = dir_.Path("shared");
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::unique_ptr<File> file;
    if (SystemEnv().OpenFile(path, OpenMode::kReadWrite, &file) != 0 ||
        file->Lock(kSlots, 1024, LockKind::kExclusive, LockWait::kTry) != 0) {
      ::_exit(1);
    }
    ::_exit(::write(to_parent[1], "x", 1) == 1 ? 0 : 2);  // ends without unlocking
  }
  char signal = 0;
  ASSERT_EQ(::read(to_parent[0], &signal, 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(first_->Lock(kSlots, 1024, LockKind::kExclusive, LockWait::kTry), 0);
}

}  // namespace
}  // namespace vaultrix::platform
