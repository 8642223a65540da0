// Crashes in the middle of keyed changes of an owner-protected file: with
// the fault seam stopping at every write and flush of a PUT that moves key
// entries, and at a power loss keeping random writes, the reopened file
// passes the check and reads, through every key, exactly as before or after.
#include <gtest/gtest.h>

#include <set>

#include "platform/env.h"
#include "platform/fault_env.h"
#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/crash_points.h"
#include "tests/files/hvn/keyed_table.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using platform::FaultEnv;
using support::ErrorCode;

constexpr const char* kOwner = "a";

class HvnKeysCrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDamageIsFatal(false);
    path_ = dir_.Path("k");
    auto file = DeclareKeyedTable(path_, kOwner);
    Create(file->Block());
    Open(file->Block(), 0x42);
    for (int i = 1; i <= 60; ++i) {
      PutKeyed(*file, {"name" + std::to_string(i), i % 7, i * 0.25, std::to_string(i) + ".00"});
      Add(file->Block());
      ASSERT_EQ(ErrorCode(), 0);
    }
    Close(file->Block());
    base_ = dir_.Get("k.HVN");
  }
  void TearDown() override { SetDamageIsFatal(true); }

  // Every key read in full, with the key counters.
  std::vector<std::string> State() {
    auto file = DeclareKeyedTable(path_, kOwner);
    Open(file->Block(), 0x42);
    EXPECT_EQ(ErrorCode(), 0);
    std::vector<std::string> out;
    for (std::size_t key = 0; key < 4; ++key) {
      Set(file->Key(key));
      for (Next(file->Block()); ErrorCode() == 0; Next(file->Block())) {
        const KeyedRecord record = GetKeyed(*file);
        out.push_back(std::to_string(key) + ":" + record.name + ":" +
                      std::to_string(record.number) + ":" + record.code);
      }
      out.push_back("records " + std::to_string(Records(file->Key(key))));
    }
    Close(file->Block());
    return out;
  }

  // Moves one record in every key: a new name, number, amount and code.
  void Run(FaultEnv& env) {
    dir_.Put("k.HVN", base_);
    platform::ScopedEnv use(env);
    auto file = DeclareKeyedTable(path_, kOwner);
    Open(file->Block(), 0x42);
    ASSERT_EQ(ErrorCode(), 0);
    PutKeyed(*file, {"name7", 0, 0, "0"});
    Get(file->Block(), file->Key(kKeyName));
    PutKeyed(*file, {"AAA moved", 99, -3.5, "999.00"});
    Put(file->Block());
    Close(file->Block());
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
  std::string base_;
};

TEST_F(HvnKeysCrashTest, CrashAnywhereInAKeyedPutLeavesBeforeOrAfter) {
  dir_.Put("k.HVN", base_);
  const auto before = State();
  FaultEnv measure;
  Run(measure);
  const auto after = State();
  ASSERT_NE(before, after);
  const int writes = measure.writes(), flushes = measure.flushes();
  int saw_before = 0, saw_after = 0;
  auto verify = [&](const std::string& what) {
    ASSERT_EQ(CheckHvnFile(path_ + ".HVN", kOwner), "") << what;
    const auto state = State();
    ASSERT_TRUE(state == before || state == after) << what;
    saw_before += state == before;
    saw_after += state == after;
  };
  AtEveryCrashPoint(writes, flushes, 977, [&](FaultEnv& env) { Run(env); }, verify);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_GT(saw_before, 0);
  EXPECT_GT(saw_after, 0);
}

}  // namespace
}  // namespace vaultrix::files::hvn
