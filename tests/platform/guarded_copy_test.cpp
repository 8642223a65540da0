// Copies out of a mapping whose file was emptied fail instead of raising
// SIGBUS; faults outside a copy still end the process.
#include "platform/guarded_copy.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "tests/platform/scratch_dir.h"

namespace vaultrix::platform {
namespace {

class GuardedCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
#if defined(__SANITIZE_THREAD__)
    // The thread checker's own fault handling takes the signal first.
    GTEST_SKIP() << "bus faults are not delivered to the guard under the thread checker";
#endif
    path_ = dir_.Path("mapped");
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd_, 0);
    const std::string bytes(kSize, 'h');
    ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(kSize));
    view_ = ::mmap(nullptr, kSize, PROT_READ, MAP_SHARED, fd_, 0);
    ASSERT_NE(view_, MAP_FAILED);
  }
  void TearDown() override {
    if (view_ != MAP_FAILED) ::munmap(view_, kSize);
    if (fd_ >= 0) ::close(fd_);
  }

  static constexpr std::size_t kSize = 512;
  vaultrix::testing::ScratchDir dir_;
  std::string path_;
  int fd_ = -1;
  void* view_ = MAP_FAILED;
};

TEST_F(GuardedCopyTest, CopiesWhileTheFileHoldsTheBytesAndFailsOnceItIsEmptied) {
  char copy[kSize] = {};
  ASSERT_TRUE(GuardedCopy(copy, view_, kSize));
  EXPECT_EQ(std::string(copy, kSize), std::string(kSize, 'h'));

  ASSERT_EQ(::ftruncate(fd_, 0), 0);
  EXPECT_FALSE(GuardedCopy(copy, view_, kSize));
  // The guard stays armed for the next copy, on this thread as on others.
  EXPECT_FALSE(GuardedCopy(copy, view_, kSize));
  ASSERT_EQ(::ftruncate(fd_, kSize), 0);
  EXPECT_TRUE(GuardedCopy(copy, view_, kSize));
}

TEST_F(GuardedCopyTest, AFaultOutsideACopyStillEndsTheProcess) {
  char copy[kSize] = {};
  ASSERT_TRUE(GuardedCopy(copy, view_, kSize));  // the handler is installed
  ASSERT_EQ(::ftruncate(fd_, 0), 0);
  const volatile char* bytes = static_cast<const volatile char*>(view_);
  EXPECT_DEATH({ (void)bytes[0]; }, "");
}

}  // namespace
}  // namespace vaultrix::platform
