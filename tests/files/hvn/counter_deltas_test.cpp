// Counters inside a transaction, whose changes wait in memory until the
// commit: RECORDS of the file and of each key agree with the entries at
// every step (failed ADDs, PUT, DELETE, EMPTY, BUILD included), and at every
// commit point the stored counters pass the check; a roll back or a CLOSE
// leaves the counters of the last commit.
#include <gtest/gtest.h>

#include <array>

#include "runtime/files/hvn/check.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/keyed_table.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

// Records of the file, then of each key.
using Counts = std::array<std::int64_t, 5>;

class HvnCounterDeltasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.Path("counted");
    file_ = DeclareKeyedTable(path_);
    Create(file_->Block());
    Open(file_->Block(), kAccessReadWrite | kDenyNone);
    Send(file_->Block(), "TCF=" + dir_.Path("control.tcf"));
    ASSERT_EQ(ErrorCode(), 0);
  }
  void TearDown() override {
    Close(file_->Block());
    EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
  }
  int AddKeyed(const KeyedRecord& record) {
    PutKeyed(*file_, record);
    Add(file_->Block());
    return ErrorCode();
  }
  Counts Read() {
    Counts counts{Records(file_->Block())};
    for (std::size_t key = 0; key < 4; ++key) counts[key + 1] = Records(file_->Key(key));
    return counts;
  }
  void Logout() {
    files::Logout(file_->Block(), 1);
    ASSERT_EQ(ErrorCode(), 0);
  }
  void Commit() {
    files::Commit(file_->Block());
    ASSERT_EQ(ErrorCode(), 0);
    EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
  std::unique_ptr<DeclaredFile> file_;
};

TEST_F(HvnCounterDeltasTest, CountsFollowEveryStepAndCommitWhole) {
  // Name and code keys are OPT: blank names and zero codes have no entry.
  Logout();
  ASSERT_EQ(AddKeyed({"alpha", 1, 1.0, "1.00"}), 0);
  const auto alpha = static_cast<std::int32_t>(Pointer(file_->Block()));
  ASSERT_EQ(AddKeyed({"bravo", 2, 2.0, "2.00"}), 0);
  const auto bravo = static_cast<std::int32_t>(Pointer(file_->Block()));
  ASSERT_EQ(AddKeyed({"", 3, 3.0, "0"}), 0);
  EXPECT_EQ(Read(), (Counts{3, 2, 3, 3, 2}));
  // Fails at the last key, after three keys counted their new entries.
  EXPECT_EQ(AddKeyed({"charlie", 4, 4.0, "2.00"}), codes::kCreatesDuplicateKey);
  EXPECT_EQ(Read(), (Counts{3, 2, 3, 3, 2}));
  Commit();
  EXPECT_EQ(Read(), (Counts{3, 2, 3, 3, 2}));

  // PUT takes the name's entry away, DELETE one record with all of its.
  Logout();
  Get(file_->Block(), alpha);
  PutKeyed(*file_, {"", 1, 1.0, "1.00"});
  Put(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  Get(file_->Block(), bravo);
  Delete(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Read(), (Counts{2, 0, 2, 2, 1}));
  Commit();

  // Rolled back and closed transactions leave the last commit's counts.
  Logout();
  ASSERT_EQ(AddKeyed({"delta", 5, 5.0, "5.00"}), 0);
  files::Rollback(file_->Block());
  EXPECT_EQ(Read(), (Counts{2, 0, 2, 2, 1}));
  Logout();
  ASSERT_EQ(AddKeyed({"echo", 6, 6.0, "6.00"}), 0);
  Close(file_->Block());
  Open(file_->Block(), kAccessReadWrite | kDenyNone);
  EXPECT_EQ(Read(), (Counts{2, 0, 2, 2, 1}));

  // EMPTY and BUILD write whole counts over the deltas before them.
  Logout();
  ASSERT_EQ(AddKeyed({"foxtrot", 7, 7.0, "7.00"}), 0);
  Empty(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Read(), (Counts{0, 0, 0, 0, 0}));
  ASSERT_EQ(AddKeyed({"golf", 8, 8.0, "8.00"}), 0);
  ASSERT_EQ(AddKeyed({"hotel", 9, 9.0, "9.00"}), 0);
  Send(file_->Block(), "FULLBUILD=ON");
  Build(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  ASSERT_EQ(AddKeyed({"india", 10, 10.0, "10.00"}), 0);
  EXPECT_EQ(Read(), (Counts{3, 3, 3, 3, 3}));
  Commit();
  EXPECT_EQ(Read(), (Counts{3, 3, 3, 3, 3}));
}

}  // namespace
}  // namespace vaultrix::files::hvn
