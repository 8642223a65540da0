// Transactions over two HVN files: COMMIT and ROLLBACK, the LOGOUT rules,
// and a crash at every write and flush of a COMMIT (with power losses that
// drop unflushed writes), and a station killed at random moments of its
// transactions: afterwards both files hold the state before the
// transaction, or both the state after it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>

#include "platform/clock.h"
#include "platform/fault_env.h"
#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using platform::FaultEnv;
using platform::ScopedEnv;
using support::ErrorCode;
namespace codes = support;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kSeeds = 2;
constexpr int kKillRounds = 12;
#else
constexpr int kSeeds = 6;
constexpr int kKillRounds = 40;
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

// Generation g of the two files: a's first record has number g + 1 and a
// holds "t1" to "tg"; b's first record has number g + 1 and b holds "tg".
void NextGeneration(DeclaredFile& a, DeclaredFile& b, std::int32_t g) {
  Logout(a.Block());
  Logout(b.Block());
  Set(a.Block());
  Next(a.Block());
  SetRecord(a, "a1", g + 2);
  Put(a.Block());
  SetRecord(a, "t" + std::to_string(g + 1), g + 1);
  SetMemo(a, std::string(static_cast<std::size_t>(g % 700), 'g'));
  Add(a.Block());
  Set(b.Block());
  Next(b.Block());
  SetRecord(b, "b1", g + 2);
  Put(b.Block());
  for (Next(b.Block()); ErrorCode() == 0; Next(b.Block())) {
    if (NameOf(b) == "t" + std::to_string(g)) Delete(b.Block());
  }
  SetRecord(b, "t" + std::to_string(g + 1), g + 1);
  Add(b.Block());
  Commit(a.Block());
}

// In a child: moves the files from generation to generation, one
// transaction each, and reports every committed generation on `report`.
[[noreturn]] void TransactionsInChild(const std::string& dir, int report) {
  auto a = DeclareTable(dir + "/a");
  auto b = DeclareTable(dir + "/b");
  Open(a->Block(), 0x42);
  Open(b->Block(), 0x42);
  Set(a->Block());
  Next(a->Block());
  std::int32_t g = NumberOf(*a) - 1;
  while (ErrorCode() == 0) {
    NextGeneration(*a, *b, g);
    if (ErrorCode() != 0) ::_exit(1);
    ++g;
    if (::write(report, &g, sizeof g) != sizeof g) ::_exit(2);
  }
  ::_exit(3);
}

TEST_F(HvnTransactionTest, AStationKilledAtRandomInItsTransactionsLeavesAllOrNothing) {
  std::mt19937 random(4242);
  std::int32_t committed = 0;
  // About one round in four finds a pending span to discard or copy home.
  for (int round = 0; round < kKillRounds; ++round) {
    int pipe_ends[2];
    ASSERT_EQ(::pipe(pipe_ends), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipe_ends[0]);
      TransactionsInChild(dir_.Path(""), pipe_ends[1]);
    }
    ::close(pipe_ends[1]);
    // A few commits in, then at a random moment of a later transaction.
    const int wait_for = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < wait_for; ++i) {
      ASSERT_EQ(::read(pipe_ends[0], &committed, sizeof committed),
                static_cast<ssize_t>(sizeof committed));
    }
    volatile std::uint32_t spin = random() % 40000000;
    while (spin > 0) spin = spin - 1;
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << status;
    for (std::int32_t g = 0; ::read(pipe_ends[0], &g, sizeof g) == sizeof g;) committed = g;
    ::close(pipe_ends[0]);

    const std::string what = "round " + std::to_string(round);

    const auto seen_a = State("a", kAccessReadOnly | kDenyNone);
    const auto a = State("a");
    const auto b = State("b");
    ASSERT_EQ(seen_a, a) << what;
    // The generation found is the last one reported, or the one whose
    // COMMIT was done when the child died before reporting it.
    const std::int32_t g = std::stoi(a[0].substr(3, a[0].find('/', 3) - 3)) - 1;
    ASSERT_TRUE(g == committed || g == committed + 1) << what << ": " << g << " vs " << committed;
    ASSERT_EQ(a.size(), 10u + g + 1) << what;
    for (std::int32_t t = 1; t <= g; ++t) {
      ASSERT_EQ(a[9 + t].substr(0, a[9 + t].find('/')), "t" + std::to_string(t)) << what;
    }
    ASSERT_EQ(a.back(), "records " + std::to_string(10 + g)) << what;
    ASSERT_EQ(b[0].substr(0, b[0].find('/', 3)), "b1/" + std::to_string(g + 1)) << what;
    ASSERT_EQ(b.size(), 12u) << what;
    ASSERT_EQ(b[10].substr(0, b[10].find('/')), "t" + std::to_string(g)) << what;
    ASSERT_EQ(CheckHvnFile(dir_.Path("a.HVN")), "") << what;
    ASSERT_EQ(CheckHvnFile(dir_.Path("b.HVN")), "") << what;
    committed = g;
  }
}

}  // namespace
}  // namespace vaultrix::files::hvn
