// The shared counter board: one file's stations meet at one counter, and a
// move made in one process is seen in another.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/env.h"
#include "platform/shared_counters.h"
#include "tests/platform/scratch_dir.h"

namespace vaultrix::platform {
namespace {

TEST(SharedCountersTest, OneFileOneCounterSeenAcrossProcesses) {
  vaultrix::testing::ScratchDir dir;
  dir.Put("f", "x");
  std::unique_ptr<File> first, second;
  ASSERT_EQ(SystemEnv().OpenFile(dir.Path("f"), OpenMode::kReadWrite, &first), 0);
  ASSERT_EQ(SystemEnv().OpenFile(dir.Path("f"), OpenMode::kReadOnly, &second), 0);
  std::uint64_t device = 0, inode = 0, device2 = 0, inode2 = 0;
  ASSERT_EQ(first->Identity(&device, &inode), 0);
  ASSERT_EQ(second->Identity(&device2, &inode2), 0);
  std::atomic<std::uint64_t>* counter = SharedCounterFor(device, inode);
  if (counter == nullptr) GTEST_SKIP() << "no shared memory here";
  EXPECT_EQ(SharedCounterFor(device2, inode2), counter);

  const std::uint64_t before = counter->load();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SharedCounterFor(device, inode)->fetch_add(5);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_GE(counter->load() - before, 5u);
}

}  // namespace
}  // namespace vaultrix::platform
