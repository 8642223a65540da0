// The free slots a writer reuses, found by a walk of the index pages either
// when the first placement needs them or ahead of it on a thread: a slot
// the tree uses must never be taken as free (the check and every record
// would show it), and slots let go must be reused (the file would grow).
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <map>
#include <random>
#include <string>

#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/pages/used_slots.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using support::ErrorCode;

class ThresholdScope {
 public:
  explicit ThresholdScope(std::uint32_t threshold) : saved_(BackgroundWalkThreshold()) {
    SetBackgroundWalkThreshold(threshold);
  }
  ~ThresholdScope() { SetBackgroundWalkThreshold(saved_); }
  ThresholdScope(const ThresholdScope&) = delete;
  ThresholdScope& operator=(const ThresholdScope&) = delete;

 private:
  std::uint32_t saved_;
};

// Records of every memo size come and go through two opens of one file
// (each reopened now and then, so its free map is found again from a walk
// of what the other wrote); at the end every record reads back as written,
// the check passes, and the file has not grown past its settled size.
TEST(HvnUsedSlotsTest, WritersReopenedAmidChurnReuseSlotsAndLoseNothing) {
  struct Case {
    const char* name;
    std::uint32_t threshold;
  };
  for (const Case& c : {Case{"walked ahead", 0},
                        Case{"walked when needed", std::numeric_limits<std::uint32_t>::max()}}) {
    SCOPED_TRACE(c.name);
    const ThresholdScope threshold(c.threshold);
    const std::uint64_t taken_before = BackgroundWalksTaken();
    auto& dir = testing::FastScratchDir();
    const std::string path = dir.Path("used");
    auto files = std::array{testing::DeclareTable(path, 2000), testing::DeclareTable(path, 2000)};
    Create(files[0]->Block());
    for (auto& file : files) Open(file->Block(), 0x42);
    std::map<std::int32_t, std::pair<std::string, std::string>> live;  // pointer: name, memo
    std::mt19937 random(11);
    std::uint64_t settled = 0;
    constexpr int kRounds = 1200;
    for (int i = 0; i < kRounds; ++i) {
      auto& file = *files[random() % 2];
      const std::string name = "u" + std::to_string(i);
      const std::string memo(random() % 2000, static_cast<char>('a' + i % 26));
      testing::SetRecord(file, name, i);
      testing::SetMemo(file, memo);
      Add(file.Block());
      ASSERT_EQ(ErrorCode(), 0) << i;
      live[static_cast<std::int32_t>(Pointer(file.Block()))] = {name, memo};
      if (live.size() > 200) {
        auto victim = std::next(live.begin(), static_cast<long>(random() % live.size()));
        Get(file.Block(), victim->first);
        Delete(file.Block());
        ASSERT_EQ(ErrorCode(), 0) << i;
        live.erase(victim);
      }
      if (i % 97 == 0) {
        Close(file.Block());
        Open(file.Block(), 0x42);
        ASSERT_EQ(ErrorCode(), 0) << i;
      }
      if (i == kRounds / 3) settled = testing::SizeOf(path + ".HVN");
    }
    for (const auto& [pointer, entry] : live) {
      Get(files[0]->Block(), pointer);
      ASSERT_EQ(ErrorCode(), 0);
      EXPECT_EQ(testing::NameOf(*files[0]), entry.first);
      EXPECT_EQ(testing::MemoOf(*files[0]), entry.second);
    }
    for (auto& file : files) Close(file->Block());
    EXPECT_LT(testing::SizeOf(path + ".HVN"), settled * 3 / 2 + 64 * 1024);
    EXPECT_EQ(CheckHvnFile(path + ".HVN"), "");
    EXPECT_EQ(BackgroundWalksTaken() > taken_before, c.threshold == 0);
  }
}

}  // namespace
}  // namespace vaultrix::files::hvn
