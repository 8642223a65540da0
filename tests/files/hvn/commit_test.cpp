// Crash safety of the HVN commit (the invariants at the top of
// runtime/files/hvn/pages/page_file.h): every write and flush of a commit is made the
// point of a crash in turn, with and without a power loss that drops any
// subset of the unflushed writes; the reopened file must pass the page check
// and hold exactly the state before or after the interrupted operation.
#include <gtest/gtest.h>

#include <functional>
#include <set>

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

#if defined(__SANITIZE_ADDRESS__)
constexpr int kSeeds = 3;
#else
constexpr int kSeeds = 8;
#endif

using Operation = std::function<void(DeclaredFile&)>;

class HvnCommitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDamageIsFatal(false);
    path_ = dir_.Path("c");
    auto file = DeclareTable(path_);
    Create(file->Block());
    Open(file->Block(), 0x42);
    for (int i = 1; i <= 40; ++i) {
      SetRecord(*file, "base" + std::to_string(i), i);
      SetMemo(*file,
              std::string(static_cast<std::size_t>(i * 23), static_cast<char>('a' + i % 26)));
      Add(file->Block());
      ASSERT_EQ(ErrorCode(), 0);
    }
    Close(file->Block());
    base_ = dir_.Get("c.HVN");
  }

  // Every record in order with its memo, read through a fresh open (which
  // also repairs a pending span).
  std::vector<std::string> State() {
    auto file = DeclareTable(path_);
    Open(file->Block(), 0x42);
    EXPECT_EQ(ErrorCode(), 0);
    std::vector<std::string> out;
    Set(file->Block());
    while (true) {
      Next(file->Block());
      if (ErrorCode() != 0) break;
      out.push_back(std::to_string(Pointer(file->Block())) + ":" + NameOf(*file) + ":" +
                    std::to_string(NumberOf(*file)) + ":" + MemoOf(*file));
    }
    out.push_back("records " + std::to_string(Records(file->Block())));
    Close(file->Block());
    return out;
  }

  // Runs `operation` on a copy of the base file with `env` beneath it.
  void RunWith(FaultEnv& env, const Operation& operation) {
    dir_.Put("c.HVN", base_);
    ScopedEnv use(env);
    auto file = DeclareTable(path_);
    Open(file->Block(), 0x42);
    ASSERT_EQ(ErrorCode(), 0);
    operation(*file);
    Close(file->Block());
  }

  struct Counts {
    int writes = 0;
    int flushes = 0;
  };
  Counts Measure(const Operation& operation, std::vector<std::string>* after) {
    FaultEnv env;
    RunWith(env, operation);
    Counts counts{env.writes(), env.flushes()};
    *after = State();
    return counts;
  }

  // Crashes `operation` at every write and flush in turn (in power-loss mode
  // with several random subsets too) and checks each outcome.
  void CrashEverywhere(const Operation& operation,
                       const std::set<std::vector<std::string>>& extra = {}) {
    dir_.Put("c.HVN", base_);
    const auto before = State();
    std::vector<std::string> after;
    const Counts counts = Measure(operation, &after);
    ASSERT_GE(counts.flushes, 4);
    std::set<std::vector<std::string>> allowed = extra;
    allowed.insert(before);
    allowed.insert(after);
    int saw_before = 0, saw_after = 0;
    auto verify = [&](const std::string& what) {
      const std::string problems = CheckHvnFile(path_ + ".HVN");
      ASSERT_EQ(problems, "") << what;
      const auto state = State();
      ASSERT_TRUE(allowed.count(state)) << what;
      saw_before += state == before;
      saw_after += state == after;
      ASSERT_EQ(CheckHvnFile(path_ + ".HVN"), "") << what << " after repair";
    };
    for (int n = 1; n <= counts.writes; ++n) {
      FaultEnv env;
      env.StopAtWrite(n);
      RunWith(env, operation);
      ASSERT_NO_FATAL_FAILURE(verify("stop at write " + std::to_string(n)));
    }
    for (int n = 1; n <= counts.flushes; ++n) {
      FaultEnv env;
      env.StopAtFlush(n);
      RunWith(env, operation);
      ASSERT_NO_FATAL_FAILURE(verify("stop at flush " + std::to_string(n)));
    }
    for (int n = 1; n <= counts.flushes; ++n) {
      for (int seed = 1; seed <= kSeeds; ++seed) {
        FaultEnv env;
        env.EnablePowerLoss();
        env.SetCrashSubset(FaultEnv::KeepRandom(static_cast<std::uint32_t>(seed * 131 + n)));
        env.StopAtFlush(n);
        RunWith(env, operation);
        ASSERT_NO_FATAL_FAILURE(
            verify("power loss at flush " + std::to_string(n) + " seed " + std::to_string(seed)));
      }
    }
    EXPECT_GT(saw_before, 0);
    EXPECT_GT(saw_after, 0);
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
  std::string base_;
};

void AddOne(DeclaredFile& file) {
  SetRecord(file, "added", 99);
  SetMemo(file, std::string(700, 'm'));
  Add(file.Block());
}

void PutFifth(DeclaredFile& file) {
  Get(file.Block(), 6);  // the table id took number 1
  SetRecord(file, "changed", -5);
  SetMemo(file, "a new memo " + std::string(600, 'q'));
  Put(file.Block());
}

void DeleteSeventh(DeclaredFile& file) {
  Get(file.Block(), 8);
  Delete(file.Block());
}

// I1, I2, I4: a crash anywhere in ADD, PUT or DELETE leaves the state before
// or after it, and the next opener completes a pending span.
TEST_F(HvnCommitTest, CrashAnywhereInAddLeavesBeforeOrAfter) {
  CrashEverywhere(AddOne);
}
TEST_F(HvnCommitTest, CrashAnywhereInPutLeavesBeforeOrAfter) {
  CrashEverywhere(PutFifth);
}
TEST_F(HvnCommitTest, CrashAnywhereInDeleteLeavesBeforeOrAfter) {
  CrashEverywhere(DeleteSeventh);
}

// I3, I5: two commits in a row; a power loss in the second may drop any
// unflushed write, including the final header of the first.
TEST_F(HvnCommitTest, PowerLossAcrossTwoCommits) {
  dir_.Put("c.HVN", base_);
  std::vector<std::string> middle;
  (void)Measure(AddOne, &middle);
  CrashEverywhere(
      [](DeclaredFile& file) {
        AddOne(file);
        DeleteSeventh(file);
      },
      {middle});
}

// I4: a header naming a pending span is repaired by the next writer: both
// ends equal afterwards and the state is the new one.
TEST_F(HvnCommitTest, PendingSpanIsCopiedHomeAtTheNextOpen) {
  FaultEnv env;
  env.StopAtWrite(3);  // span, header, then the first copy home
  RunWith(env, PutFifth);
  const std::string damaged = dir_.Get("c.HVN");
  FileHeader header;
  const auto* p = reinterpret_cast<const std::uint8_t*>(damaged.data());
  ASSERT_TRUE(DecodeHeader(p, p + damaged.size(), &header));
  EXPECT_LT(header.committed_end, header.written_end);

  // I8: a read-only opener sees the new state and changes nothing.
  auto reader = DeclareTable(path_);
  Open(reader->Block(), kAccessReadOnly | kDenyNone);
  ASSERT_EQ(ErrorCode(), 0);
  Get(reader->Block(), 6);
  EXPECT_EQ(NameOf(*reader), "changed");
  Close(reader->Block());
  EXPECT_EQ(dir_.Get("c.HVN"), damaged);

  const auto state = State();  // a writer opens: repair
  const std::string repaired = dir_.Get("c.HVN");
  p = reinterpret_cast<const std::uint8_t*>(repaired.data());
  ASSERT_TRUE(DecodeHeader(p, p + repaired.size(), &header));
  EXPECT_EQ(header.committed_end, header.written_end);
  EXPECT_NE(
      std::find(state.begin(), state.end(), "6:changed:-5:a new memo " + std::string(600, 'q')),
      state.end());
  EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
}

// I6: after a failed write the station forgets what it cached and carries
// on with what the disk holds.
TEST_F(HvnCommitTest, AFailedWriteLeavesAUsableStation) {
  dir_.Put("c.HVN", base_);
  const auto before = State();
  FaultEnv env;
  env.FailWrite(1, ENOSPC);
  ScopedEnv use(env);
  auto file = DeclareTable(path_);
  Open(file->Block(), 0x42);
  AddOne(*file);
  EXPECT_EQ(ErrorCode(), support::kSystemErrorBase + 39);
  EXPECT_EQ(Records(file->Block()), 40);
  AddOne(*file);
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Block()), 41);
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
}

// I7: a change by another station drops this station's cached pages.
TEST_F(HvnCommitTest, AnotherStationsCommitIsSeenAtTheNextOperation) {
  dir_.Put("c.HVN", base_);
  auto first = DeclareTable(path_);
  auto second = DeclareTable(path_);
  Open(first->Block(), 0x42);
  Open(second->Block(), 0x42);
  Get(first->Block(), 6);
  EXPECT_EQ(NameOf(*first), "base5");
  Get(second->Block(), 6);
  SetRecord(*second, "other station", 1);
  Put(second->Block());
  Get(first->Block(), 6);
  EXPECT_EQ(NameOf(*first), "other station");
  EXPECT_EQ(Records(first->Block()), 40);
}

}  // namespace
}  // namespace vaultrix::files::hvn
