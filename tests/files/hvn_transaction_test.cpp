// Transactions over two HVN files: COMMIT and ROLLBACK, the LOGOUT rules,
// and a crash at every write and flush of a COMMIT (with power losses that
// drop unflushed writes): afterwards both files hold the state before the
// transaction, or both the state after it.
#include <gtest/gtest.h>

#include <set>

#include "platform/clock.h"
#include "platform/fault_env.h"
#include "runtime/files/hvn_check.h"
#include "runtime/files/hvn_file.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn_test_support.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using platform::FaultEnv;
using platform::ScopedEnv;
using support::ErrorCode;
namespace codes = support;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kSeeds = 2;
#else
constexpr int kSeeds = 6;
#endif

class HvnTransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDamageIsFatal(false);
    for (const char* name : {"a", "b"}) {
      auto file = DeclareTable(dir_.Path(name));
      Create(file->Block());
      Open(file->Block(), 0x42);
      for (int i = 1; i <= 10; ++i) {
        SetRecord(*file, std::string(name) + std::to_string(i), i);
        SetMemo(*file, std::string(static_cast<std::size_t>(i * 30), 'x'));
        Add(file->Block());
      }
      Send(file->Block(), "TCF=" + dir_.Path("control.tcf"));
      Close(file->Block());
    }
    base_a_ = dir_.Get("a.HVN");
    base_b_ = dir_.Get("b.HVN");
  }
  void Restore() {
    dir_.Put("a.HVN", base_a_);
    dir_.Put("b.HVN", base_b_);
    std::remove(dir_.Path("control.tcf").c_str());
  }
  std::vector<std::string> State(const std::string& name, std::int32_t mode = 0x42) {
    auto file = DeclareTable(dir_.Path(name));
    Open(file->Block(), mode);
    EXPECT_EQ(ErrorCode(), 0);
    std::vector<std::string> out;
    Set(file->Block());
    for (Next(file->Block()); ErrorCode() == 0; Next(file->Block())) {
      out.push_back(NameOf(*file) + "/" + std::to_string(NumberOf(*file)) + "/" + MemoOf(*file));
    }
    out.push_back("records " + std::to_string(Records(file->Block())));
    Close(file->Block());
    return out;
  }
  // The transaction: an ADD in a, a PUT and a DELETE in b.
  void Transaction(bool commit) {
    auto a = DeclareTable(dir_.Path("a"));
    auto b = DeclareTable(dir_.Path("b"));
    Open(a->Block(), 0x42);
    Open(b->Block(), 0x42);
    Logout(a->Block());
    Logout(b->Block());
    SetRecord(*a, "in transaction", 77);
    SetMemo(*a, std::string(500, 't'));
    Add(a->Block());
    Get(b->Block(), 3);
    SetRecord(*b, "changed", -3);
    Put(b->Block());
    Get(b->Block(), 5);
    Delete(b->Block());
    if (commit) {
      Commit(a->Block());
    } else {
      Rollback(a->Block());
    }
    result_ = ErrorCode();
    Close(a->Block());
    Close(b->Block());
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string base_a_, base_b_;
  std::int32_t result_ = 0;
};

TEST_F(HvnTransactionTest, CommitAppliesAndRollbackDropsEverything) {
  const auto before_a = State("a"), before_b = State("b");
  Transaction(false);
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(State("a"), before_a);
  EXPECT_EQ(State("b"), before_b);
  Transaction(true);
  EXPECT_EQ(result_, 0);
  EXPECT_EQ(State("a").size(), before_a.size() + 1);
  EXPECT_EQ(State("b").size(), before_b.size() - 1);
  EXPECT_EQ(CheckHvnFile(dir_.Path("a.HVN")), "");
  EXPECT_EQ(CheckHvnFile(dir_.Path("b.HVN")), "");
}

TEST_F(HvnTransactionTest, LogoutRules) {
  auto a = DeclareTable(dir_.Path("a"));
  Open(a->Block(), 0x42);
  auto other = DeclareTable(dir_.Path("a"));
  Open(other->Block(), 0x42);  // before the transaction holds the file
  Commit(a->Block());
  EXPECT_EQ(ErrorCode(), codes::kUnableToLogTransaction);
  Rollback(a->Block());
  EXPECT_EQ(ErrorCode(), codes::kUnableToRollbackTransaction);
  Logout(a->Block());
  ASSERT_EQ(ErrorCode(), 0);
  Logout(a->Block());
  EXPECT_EQ(ErrorCode(), codes::kLogoutAlreadyActive);
  // Another station waits for the transaction at most its timeout.
  platform::SimulatedClock clock({2026, 1, 1, 12, 0, 0, 0});
  platform::ScopedCurrentClock use(clock);
  auto previous = SetLockWaitHook([&] { clock.Advance(200); });
  Logout(other->Block());
  EXPECT_EQ(ErrorCode(), codes::kFileIsAlreadyLocked);
  SetLockWaitHook(previous);
  Rollback(a->Block());
  EXPECT_EQ(ErrorCode(), 0);
}

TEST_F(HvnTransactionTest, CrashAnywhereInCommitLeavesAllOrNothing) {
  Restore();
  const auto before = std::make_pair(State("a"), State("b"));
  Restore();
  FaultEnv counter;
  {
    ScopedEnv use(counter);
    Transaction(true);
  }
  ASSERT_EQ(result_, 0);
  const auto after = std::make_pair(State("a"), State("b"));
  const int writes = counter.writes(), flushes = counter.flushes();
  int saw_before = 0, saw_after = 0;
  auto verify = [&](const std::string& what) {
    // A read-only opener sees what the repair will leave, and changes nothing.
    const auto seen = std::make_pair(State("a", kAccessReadOnly | kDenyNone),
                                     State("b", kAccessReadOnly | kDenyNone));
    const auto state = std::make_pair(State("a"), State("b"));
    ASSERT_EQ(seen, state) << what;
    ASSERT_TRUE(state == before || state == after) << what;
    saw_before += state == before;
    saw_after += state == after;
    ASSERT_EQ(CheckHvnFile(dir_.Path("a.HVN")), "") << what;
    ASSERT_EQ(CheckHvnFile(dir_.Path("b.HVN")), "") << what;
  };
  for (int n = 1; n <= writes; ++n) {
    Restore();
    FaultEnv env;
    env.StopAtWrite(n);
    {
      ScopedEnv use(env);
      Transaction(true);
    }
    ASSERT_NO_FATAL_FAILURE(verify("stop at write " + std::to_string(n)));
  }
  for (int n = 1; n <= flushes; ++n) {
    for (int seed = 0; seed <= kSeeds; ++seed) {
      Restore();
      FaultEnv env;
      if (seed > 0) {
        env.EnablePowerLoss();
        env.SetCrashSubset(FaultEnv::KeepRandom(static_cast<std::uint32_t>(seed * 977 + n)));
      }
      env.StopAtFlush(n);
      {
        ScopedEnv use(env);
        Transaction(true);
      }
      ASSERT_NO_FATAL_FAILURE(
          verify("stop at flush " + std::to_string(n) + " seed " + std::to_string(seed)));
    }
  }
  EXPECT_GT(saw_before, 0);
  EXPECT_GT(saw_after, 0);
}

}  // namespace
}  // namespace vaultrix::files::hvn
