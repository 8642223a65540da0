// The fault-injecting environment: counted failures, short writes, simulated
// crashes, and power loss with a chosen subset of unflushed writes.
#include "platform/fault_env.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/platform/scratch_dir.h"

namespace vaultrix::platform {
namespace {

using testing::ScratchDir;

class FaultEnvTest : public ::testing::Test {
 protected:
  std::unique_ptr<File> Open(const std::string& name, OpenMode mode = OpenMode::kCreate) {
    std::unique_ptr<File> file;
    EXPECT_EQ(env_.OpenFile(dir_.Path(name), mode, &file), 0);
    return file;
  }
  static int Write(File& file, std::uint64_t offset, const std::string& text) {
    std::size_t done = 0;
    int error = file.Write(offset, text.data(), text.size(), &done);
    if (error == 0 && done != text.size()) return -1;
    return error;
  }
  static std::string Read(File& file) {
    std::string buffer(1000, '\0');
    std::size_t done = 0;
    EXPECT_EQ(file.Read(0, buffer.data(), buffer.size(), &done), 0);
    buffer.resize(done);
    return buffer;
  }

  ScratchDir dir_;
  FaultEnv env_;
};

TEST_F(FaultEnvTest, PassesCallsThroughAndCountsThem) {
  auto file = Open("f");
  EXPECT_EQ(Write(*file, 0, "abc"), 0);
  EXPECT_EQ(Write(*file, 3, "def"), 0);
  EXPECT_EQ(file->Flush(true), 0);
  EXPECT_EQ(env_.writes(), 2);
  EXPECT_EQ(env_.flushes(), 1);
  EXPECT_EQ(Read(*file), "abcdef");
  EXPECT_EQ(dir_.Get("f"), "abcdef");
}

TEST_F(FaultEnvTest, TheNthWriteOrFlushFailsOnce) {
  env_.FailWrite(2, ENOSPC);
  env_.FailFlush(1, EIO);
  auto first = Open("a");
  auto second = Open("b");
  EXPECT_EQ(Write(*first, 0, "one"), 0);
  EXPECT_EQ(Write(*second, 0, "two"), ENOSPC);  // counts run over all files
  EXPECT_EQ(Write(*second, 0, "three"), 0);
  EXPECT_EQ(first->Flush(false), EIO);
  EXPECT_EQ(first->Flush(false), 0);
  EXPECT_EQ(dir_.Get("b"), "three");
  EXPECT_FALSE(env_.stopped());
}

TEST_F(FaultEnvTest, AShortWriteWritesOnlyItsBeginning) {
  env_.ShortWrite(1, 2);
  auto file = Open("f");
  std::size_t done = 0;
  ASSERT_EQ(file->Write(0, "abcdef", 6, &done), 0);
  EXPECT_EQ(done, 2u);
  EXPECT_EQ(dir_.Get("f"), "ab");
}

TEST_F(FaultEnvTest, StopIsACrashAfterWhichNothingReachesTheDisk) {
  env_.StopAtWrite(3);
  auto file = Open("f");
  EXPECT_EQ(Write(*file, 0, "1"), 0);
  EXPECT_EQ(Write(*file, 1, "2"), 0);
  EXPECT_EQ(Write(*file, 2, "3"), EIO);
  EXPECT_TRUE(env_.stopped());
  EXPECT_EQ(Write(*file, 2, "4"), EIO);
  EXPECT_EQ(file->Truncate(0), EIO);
  EXPECT_EQ(file->Flush(false), EIO);
  std::size_t done = 0;
  char byte;
  EXPECT_EQ(file->Read(0, &byte, 1, &done), EIO);
  EXPECT_EQ(file->Lock(0, 1, LockKind::kShared, LockWait::kTry), EIO);
  std::unique_ptr<File> other;
  EXPECT_EQ(env_.OpenFile(dir_.Path("g"), OpenMode::kCreate, &other), EIO);
  EXPECT_EQ(env_.Remove(dir_.Path("f")), EIO);
  EXPECT_EQ(file->Close(), EIO);
  EXPECT_EQ(dir_.Get("f"), "12");
  EXPECT_FALSE(dir_.Has("g"));
}

TEST_F(FaultEnvTest, StopAtFlushAndCopyGoThroughTheCounts) {
  dir_.Put("src", "source text");
  env_.FailWrite(1, ENOSPC);
  EXPECT_EQ(env_.Copy(dir_.Path("src"), dir_.Path("dst")), ENOSPC);
  env_.StopAtFlush(1);
  EXPECT_EQ(env_.Copy(dir_.Path("src"), dir_.Path("dst")), EIO);
  EXPECT_TRUE(env_.stopped());
}

TEST_F(FaultEnvTest, PowerLossKeepsUnflushedWritesInMemory) {
  dir_.Put("f", "old contents");
  env_.EnablePowerLoss();
  auto file = Open("f");
  auto again = Open("f");
  EXPECT_EQ(Write(*file, 0, "new"), 0);
  EXPECT_EQ(Read(*file), "new contents");
  EXPECT_EQ(Read(*again), "new contents");  // one file, one view
  EXPECT_EQ(dir_.Get("f"), "old contents");
  ASSERT_EQ(file->Truncate(3), 0);
  std::uint64_t size = 0;
  ASSERT_EQ(again->Size(&size), 0);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(env_.PendingWrites().size(), 2u);

  ASSERT_EQ(again->Flush(true), 0);
  EXPECT_EQ(dir_.Get("f"), "new");
  EXPECT_TRUE(env_.PendingWrites().empty());
}

TEST_F(FaultEnvTest, PowerLossAppliesTheChosenSubset) {
  dir_.Put("f", "..........");
  env_.EnablePowerLoss();
  auto file = Open("f");
  auto other = Open("g");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Write(*file, 2 * i, std::to_string(i)), 0);
  EXPECT_EQ(Write(*other, 0, "other"), 0);
  auto pending = env_.PendingWrites();
  ASSERT_EQ(pending.size(), 6u);
  EXPECT_EQ(pending[5].data, "other");
  EXPECT_EQ(pending[1].offset, 2u);

  env_.Crash([](const PendingWrite& write, std::size_t index) {
    return index % 2 == 0 && write.data != "other";
  });
  EXPECT_TRUE(env_.stopped());
  EXPECT_EQ(dir_.Get("f"), "0...2...4.");
  EXPECT_EQ(dir_.Get("g"), "");
  EXPECT_EQ(Write(*file, 0, "x"), EIO);
}

TEST_F(FaultEnvTest, AStopInPowerLossModeDropsUnflushedWrites) {
  env_.EnablePowerLoss();
  env_.StopAtFlush(2);
  auto file = Open("f");
  EXPECT_EQ(Write(*file, 0, "durable"), 0);
  ASSERT_EQ(file->Flush(false), 0);
  EXPECT_EQ(Write(*file, 0, "lost!!!"), 0);
  EXPECT_EQ(file->Flush(false), EIO);
  EXPECT_EQ(dir_.Get("f"), "durable");
}

TEST_F(FaultEnvTest, RandomSubsetsAreRepeatableBySeed) {
  auto run = [](std::uint32_t seed) {
    ScratchDir dir;
    FaultEnv env;
    env.EnablePowerLoss();
    std::unique_ptr<File> file;
    EXPECT_EQ(env.OpenFile(dir.Path("f"), OpenMode::kCreate, &file), 0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Write(*file, i, "x"), 0);
    env.Crash(FaultEnv::KeepRandom(seed));
    return dir.Get("f");
  };
  std::string first = run(7);
  EXPECT_EQ(first, run(7));
  EXPECT_NE(first, std::string(16, 'x'));  // some writes were lost
  EXPECT_NE(first.find('x'), std::string::npos);
}

TEST_F(FaultEnvTest, RenameAndRemoveCarryUnflushedWrites) {
  env_.EnablePowerLoss();
  auto file = Open("f");
  EXPECT_EQ(Write(*file, 0, "moved"), 0);
  ASSERT_EQ(env_.Rename(dir_.Path("f"), dir_.Path("g"), false), 0);
  ASSERT_EQ(file->Flush(false), 0);
  EXPECT_EQ(dir_.Get("g"), "moved");

  auto temp = Open("t");
  EXPECT_EQ(Write(*temp, 0, "gone"), 0);
  ASSERT_EQ(env_.Remove(dir_.Path("t")), 0);
  EXPECT_TRUE(env_.PendingWrites().empty());
  env_.Crash(FaultEnv::KeepAll());
  EXPECT_FALSE(dir_.Has("t"));
}

}  // namespace
}  // namespace vaultrix::platform
