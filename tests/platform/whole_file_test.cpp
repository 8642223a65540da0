// Whole-file reads and atomic replacement: the error paths a settings file
// can meet (missing, too large, a folder or a FIFO in its place).
#include "platform/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace vaultrix::platform {
namespace {

class WholeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vaultrix-wholefile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    ASSERT_EQ(std::system(("rm -rf '" + root_ + "'").c_str()), 0);
  }
  std::string root_;
};

TEST_F(WholeFileTest, ReadReportsMissingTooLargeAndNonRegularFiles) {
  std::string contents = "stale";
  EXPECT_EQ(ReadWholeFile(root_ + "/missing", 100, contents), ENOENT);
  EXPECT_TRUE(contents.empty());

  std::ofstream(root_ + "/big") << std::string(101, 'x');
  EXPECT_EQ(ReadWholeFile(root_ + "/big", 100, contents), EFBIG);
  EXPECT_TRUE(contents.empty());
  EXPECT_EQ(ReadWholeFile(root_ + "/big", 101, contents), 0);
  EXPECT_EQ(contents.size(), 101u);

  EXPECT_EQ(ReadWholeFile(root_, 100, contents), EISDIR);
  ASSERT_EQ(mkfifo((root_ + "/fifo").c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFile(root_ + "/fifo", 100, contents), EINVAL);  // and does not block
}

TEST_F(WholeFileTest, ReplaceWritesTheWholeTextAndLeavesNoTemporaryFile) {
  const std::string path = root_ + "/settings.ini";
  ::umask(0);
  ASSERT_EQ(ReplaceWholeFile(path, std::string("a\0b", 3)), 0);
  std::string contents;
  ASSERT_EQ(ReadWholeFile(path, 100, contents), 0);
  EXPECT_EQ(contents, std::string("a\0b", 3));
  struct stat status {};
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);

  EXPECT_NE(ReplaceWholeFile(root_ + "/no/such/folder/x.ini", "x"), 0);
  // A folder in the file's place is not replaced.
  ASSERT_EQ(mkdir((root_ + "/taken").c_str(), 0700), 0);
  EXPECT_NE(ReplaceWholeFile(root_ + "/taken", "x"), 0);
  std::string listing;
  FILE* pipe = popen(("ls -A '" + root_ + "'").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) listing += buffer;
  pclose(pipe);
  EXPECT_EQ(listing, "settings.ini\ntaken\n");
}

TEST_F(WholeFileTest, ASecondLockOnTheSameFileWaitsForTheFirst) {
  const std::string path = root_ + "/x.ini";
  auto lock = std::make_unique<FileLock>();
  ASSERT_EQ(lock->Acquire(path), 0);
  EXPECT_EQ(lock->Acquire(path), EBUSY);  // one lock object holds one lock

  // Locks belong to the open file, so a second thread of this process must
  // wait as another process would. It records whether the first lock was
  // still held when it got its own.
  std::atomic<bool> first_held{true};
  std::atomic<bool> overlapped{false};
  std::atomic<int> error{-1};
  std::thread second([&] {
    FileLock other;
    error = other.Acquire(path);
    overlapped = first_held.load();
  });
  first_held = false;
  lock.reset();
  second.join();
  EXPECT_EQ(error.load(), 0);
  EXPECT_FALSE(overlapped.load());
}

}  // namespace
}  // namespace vaultrix::platform
