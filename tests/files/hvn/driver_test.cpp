// The "HALVERIN" driver through the file operations: creating and opening
// tables, the definition check, record-order reading and writing, memos,
// counters, WATCH and HOLD between stations, SEND and unserved operations.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/clock.h"
#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

class HvnDriverTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = dir_.Path("data"); }
  std::unique_ptr<DeclaredFile> Created(const std::string& name) {
    auto file = DeclareTable(name);
    Create(file->Block());
    EXPECT_EQ(ErrorCode(), 0);
    Open(file->Block(), kAccessReadWrite | kDenyNone);
    EXPECT_EQ(ErrorCode(), 0);
    return file;
  }
  void AddRecord(DeclaredFile& file, const std::string& name, std::int32_t number,
                 const std::string& memo = "") {
    SetRecord(file, name, number);
    SetMemo(file, memo);
    Add(file.Block());
    ASSERT_EQ(ErrorCode(), 0);
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
};

TEST_F(HvnDriverTest, CreateNeedsTheAttributeAndAddsTheExtension) {
  auto plain = DeclareTable(path_, kMemoSize, 0x13);
  Create(plain->Block());
  EXPECT_EQ(ErrorCode(), codes::kNoCreateAttribute);
  auto file = Created(path_);
  EXPECT_TRUE(dir_.Has("data.HVN"));
  EXPECT_EQ(dir_.Mode("data.HVN"), 0600u);
  EXPECT_EQ(Records(file->Block()), 0);
  EXPECT_EQ(CheckHvnFile(dir_.Path("data.HVN")), "");
}

TEST_F(HvnDriverTest, AnEmptyFileIsCreatedInto) {
  dir_.Put("data.HVN", "");
  auto file = Created(path_);
  AddRecord(*file, "first", 1);
  EXPECT_EQ(Records(file->Block()), 1);
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(dir_.Path("data.HVN")), "");
}

TEST_F(HvnDriverTest, OpenTellsMissingDamagedAndMismatchedFilesApart) {
  auto missing = DeclareTable(path_);
  Open(missing->Block());
  EXPECT_EQ(ErrorCode(), codes::kFileNotFound);
  dir_.Put("data.HVN", "");  // an empty file is new: no table in it
  Open(missing->Block());
  EXPECT_EQ(ErrorCode(), codes::kFileNotFound);
  dir_.Put("data.HVN", std::string(100, 'x'));
  Open(missing->Block());
  EXPECT_EQ(ErrorCode(), codes::kInvalidDataFile);
  std::remove(dir_.Path("data.HVN").c_str());
  {
    auto file = Created(path_);
    AddRecord(*file, "kept", 1);
    Close(file->Block());
  }
  auto other_memo = DeclareTable(path_, kMemoSize + 1);
  Open(other_memo->Block());
  EXPECT_EQ(ErrorCode(), codes::kInvalidRecordDeclaration);
  // Labels may differ.
  auto relabelled = FileDeclaration(path_)
                        .Attributes(0x17)
                        .Field(StringField("X:OTHER", kNameSize))
                        .Field(FixedField(kTypeLong, "X:NUM"))
                        .Memo("X:MEMO", kMemoSize)
                        .Build(HalverinDriver());
  Open(relabelled->Block());
  EXPECT_EQ(ErrorCode(), 0);
  Open(relabelled->Block());
  EXPECT_EQ(ErrorCode(), codes::kFileAlreadyOpen);
}

TEST_F(HvnDriverTest, RecordOrderReadingBothWays) {
  auto file = Created(path_);
  for (int i = 1; i <= 5; ++i) AddRecord(*file, "r" + std::to_string(i), i);
  Set(file->Block());
  std::vector<std::int32_t> seen;
  while (true) {
    Next(file->Block());
    if (ErrorCode() != 0) break;
    seen.push_back(NumberOf(*file));
  }
  EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
  EXPECT_EQ(seen, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(NumberOf(*file), 5);  // the buffer keeps the last record
  EXPECT_TRUE(Eof(file->Block()));
  Set(file->Block());
  Previous(file->Block());
  EXPECT_EQ(NumberOf(*file), 5);
  const std::int64_t fifth = Pointer(file->Block());
  Previous(file->Block());
  EXPECT_EQ(NumberOf(*file), 4);
  // SET(file, pointer) starts at that record in both directions.
  Set(file->Block(), static_cast<std::int32_t>(fifth));
  Previous(file->Block());
  EXPECT_EQ(NumberOf(*file), 5);
  Set(file->Block(), 0);  // acts as SET(file)
  Skip(file->Block(), 2);
  Next(file->Block());
  EXPECT_EQ(NumberOf(*file), 3);
  Skip(file->Block(), -1);
  Previous(file->Block());
  EXPECT_EQ(NumberOf(*file), 1);
  EXPECT_TRUE(Bof(file->Block()));
  const std::string position = Position(file->Block());
  EXPECT_EQ(position.size(), 4u);
  Next(file->Block());
  Reget(file->Block(), position);
  EXPECT_EQ(NumberOf(*file), 1);
  Reset(file->Block(), position);
  Next(file->Block());
  EXPECT_EQ(NumberOf(*file), 1);
}

TEST_F(HvnDriverTest, PutDeleteGetAndCounters) {
  auto file = Created(path_);
  AddRecord(*file, "one", 1, "first memo");
  const std::int32_t first = static_cast<std::int32_t>(Pointer(file->Block()));
  AddRecord(*file, "two", 2);
  EXPECT_EQ(Records(file->Block()), 2);
  EXPECT_EQ(Bytes(file->Block()), 2 * 24);
  Get(file->Block(), first);
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(NameOf(*file), "one");
  EXPECT_EQ(MemoOf(*file), "first memo");
  SetRecord(*file, "uno", 11);
  SetMemo(*file, "changed memo");
  Put(file->Block());
  ASSERT_EQ(ErrorCode(), 0);
  SetRecord(*file, "", 0);
  Get(file->Block(), first);
  EXPECT_EQ(NameOf(*file), "uno");
  EXPECT_EQ(MemoOf(*file), "changed memo");
  NoMemo(file->Block());
  SetMemo(*file, "untouched");
  Get(file->Block(), first);
  EXPECT_EQ(MemoOf(*file), "untouched");
  Delete(file->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Block()), 1);
  Delete(file->Block());
  EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
  Put(file->Block());
  EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
  Get(file->Block(), first);
  EXPECT_EQ(ErrorCode(), codes::kRecordNotFound);
  // ADD then DELETE of the same record leaves the count as it was.
  AddRecord(*file, "three", 3);
  Delete(file->Block());
  EXPECT_EQ(Records(file->Block()), 1);
  Empty(file->Block());
  EXPECT_EQ(Records(file->Block()), 0);
  Set(file->Block());
  Next(file->Block());
  EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(dir_.Path("data.HVN")), "");
}

TEST_F(HvnDriverTest, TablesOfOneFileAreSeparate) {
  auto users = Created(path_ + "\\!users");
  auto words = Created(path_ + "\\!words");
  auto unnamed = Created(path_);
  AddRecord(*users, "alice", 1);
  AddRecord(*words, "apple", 2);
  AddRecord(*words, "pear", 3);
  EXPECT_EQ(Records(users->Block()), 1);
  EXPECT_EQ(Records(words->Block()), 2);
  EXPECT_EQ(Records(unnamed->Block()), 0);
  Set(users->Block());
  Next(users->Block());
  EXPECT_EQ(NameOf(*users), "alice");
  Next(users->Block());
  EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
  EXPECT_EQ(Send(words->Block(), "PNM=users"), "users");
  EXPECT_EQ(Send(words->Block(), "PNM=nobody"), "");
  // CREATE replaces a table of the same name and leaves the others.
  Close(users->Block());
  Create(users->Block());
  Open(users->Block(), 0x42);
  EXPECT_EQ(Records(users->Block()), 0);
  EXPECT_EQ(Records(words->Block()), 2);
  EXPECT_EQ(CheckHvnFile(dir_.Path("data.HVN")), "");
}

TEST_F(HvnDriverTest, MemosOfManyChunksAndTheLimit) {
  auto file = Created(path_);
  std::string long_memo;
  for (std::uint32_t i = 0; i < kMemoSize; ++i)
    long_memo.push_back(static_cast<char>('a' + i % 26));
  AddRecord(*file, "long", 1, long_memo);
  const std::int32_t pointer = static_cast<std::int32_t>(Pointer(file->Block()));
  SetMemo(*file, "");
  Get(file->Block(), pointer);
  EXPECT_EQ(MemoOf(*file), long_memo);
  // A shorter memo leaves no stale chunk behind.
  SetMemo(*file, "short");
  Put(file->Block());
  Get(file->Block(), pointer);
  EXPECT_EQ(MemoOf(*file), "short");
}

TEST_F(HvnDriverTest, WatchSeesAnotherStationsChange) {
  auto mine = Created(path_);
  AddRecord(*mine, "shared", 1);
  const std::int32_t pointer = static_cast<std::int32_t>(Pointer(mine->Block()));
  auto theirs = DeclareTable(path_);
  Open(theirs->Block(), 0x42);
  ASSERT_EQ(ErrorCode(), 0);
  Watch(mine->Block());
  Get(mine->Block(), pointer);
  Get(theirs->Block(), pointer);
  SetRecord(*theirs, "theirs", 2);
  Put(theirs->Block());
  ASSERT_EQ(ErrorCode(), 0);
  SetRecord(*mine, "mine", 3);
  Put(mine->Block());
  EXPECT_EQ(ErrorCode(), codes::kRecordChangedByAnotherStation);
  Get(mine->Block(), pointer);
  EXPECT_EQ(NameOf(*mine), "theirs");
  // After another station deleted it: 33.
  Watch(mine->Block());
  Get(mine->Block(), pointer);
  Delete(theirs->Block());
  Put(mine->Block());
  EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
}

TEST_F(HvnDriverTest, HoldMakesOtherStationsWaitAndTimesOutWith43) {
  auto mine = Created(path_);
  AddRecord(*mine, "held", 1);
  const std::int32_t pointer = static_cast<std::int32_t>(Pointer(mine->Block()));
  auto theirs = DeclareTable(path_);
  Open(theirs->Block(), 0x42);
  Hold(mine->Block());
  Get(mine->Block(), pointer);
  ASSERT_EQ(ErrorCode(), 0);
  Get(theirs->Block(), pointer);
  EXPECT_EQ(ErrorCode(), codes::kRecordIsAlreadyHeld);
  SetRecord(*theirs, "x", 0);
  Put(theirs->Block(), pointer);
  EXPECT_EQ(ErrorCode(), codes::kAccessDenied);

  platform::SimulatedClock clock({2026, 1, 1, 12, 0, 0, 0});
  platform::ScopedCurrentClock use(clock);
  int waits = 0;
  auto previous = SetLockWaitHook([&] {
    ++waits;
    clock.Advance(100);
  });
  Hold(theirs->Block(), 2);
  Get(theirs->Block(), pointer);
  EXPECT_EQ(ErrorCode(), codes::kRecordIsAlreadyHeld);
  EXPECT_GE(waits, 20);
  EXPECT_LE(waits, 22);
  // Released: the waiting HOLD gets it.
  SetLockWaitHook([&] { Release(mine->Block()); });
  Hold(theirs->Block());
  Get(theirs->Block(), pointer);
  EXPECT_EQ(ErrorCode(), 0);
  Get(mine->Block(), pointer);
  EXPECT_EQ(ErrorCode(), codes::kRecordIsAlreadyHeld);
  SetLockWaitHook(previous);
}

TEST_F(HvnDriverTest, LockBetweenStations) {
  auto mine = Created(path_);
  auto theirs = DeclareTable(path_);
  Open(theirs->Block(), 0x42);
  Lock(mine->Block());
  ASSERT_EQ(ErrorCode(), 0);
  platform::SimulatedClock clock({2026, 1, 1, 12, 0, 0, 0});
  platform::ScopedCurrentClock use(clock);
  auto previous = SetLockWaitHook([&] { clock.Advance(500); });
  Lock(theirs->Block(), 1);
  EXPECT_EQ(ErrorCode(), codes::kFileIsAlreadyLocked);
  Unlock(mine->Block());
  Lock(theirs->Block(), 1);
  EXPECT_EQ(ErrorCode(), 0);
  SetLockWaitHook(previous);
}

TEST_F(HvnDriverTest, SendOptionsAndUnservedOperations) {
  auto file = Created(path_);
  EXPECT_EQ(Send(file->Block(), "REGISTER"), "HALVERIN");
  EXPECT_EQ(Send(file->Block(), "QUICKSCAN=on"), "");
  EXPECT_EQ(Send(file->Block(), "FULLBUILD"), "OFF");
  EXPECT_EQ(Send(file->Block(), "fullbuild=on"), "OFF");
  EXPECT_EQ(Send(file->Block(), "FULLBUILD"), "ON");
  EXPECT_EQ(Send(file->Block(), "TCF=/tmp/other.tcf"), "");
  EXPECT_EQ(TransactionControlFile(), "/tmp/other.tcf");
  EXPECT_EQ(Send(file->Block(), "tcf=lower.tcf"), "");
  EXPECT_EQ(TransactionControlFile(), "/tmp/other.tcf");
  Flush(file->Block());
  EXPECT_EQ(ErrorCode(), codes::kUnsupportedFileDriverFunction);
  EXPECT_EQ(Name(file->Block()), path_);
}

TEST_F(HvnDriverTest, ReadOnlyOpenerReadsAndRefusesWrites) {
  {
    auto file = Created(path_);
    AddRecord(*file, "ro", 7);
  }
  auto reader = DeclareTable(path_);
  Open(reader->Block(), kAccessReadOnly | kDenyNone);
  ASSERT_EQ(ErrorCode(), 0);
  Set(reader->Block());
  Next(reader->Block());
  EXPECT_EQ(NumberOf(*reader), 7);
  Add(reader->Block());
  EXPECT_EQ(ErrorCode(), codes::kAccessDenied);
}

}  // namespace
}  // namespace vaultrix::files::hvn

namespace vaultrix::files::hvn {
namespace {

// A record that no page can hold, even packed, is refused and changes nothing.
TEST(HvnLimitsTest, ARecordTooLargeForAnyPageIsRefused) {
  auto& dir = testing::FastScratchDir();
  auto file = FileDeclaration(dir.Path("big"))
                  .Attributes(0x17)
                  .Field(StringField("B:TEXT", 15100))
                  .Build(HalverinDriver());
  Create(file->Block());
  Open(file->Block(), 0x42);
  ASSERT_EQ(support::ErrorCode(), 0);
  for (std::uint32_t i = 0; i < 15100; ++i)
    file->Record()[i] = static_cast<std::uint8_t>(i * 131 + i / 7);
  Add(file->Block());
  EXPECT_EQ(support::ErrorCode(), support::kInvalidRecordDeclaration);
  EXPECT_EQ(Records(file->Block()), 0);
  // The same size packs into a page when the record has runs.
  std::memset(file->Record(), ' ', 15100);
  Add(file->Block());
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(Records(file->Block()), 1);
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(dir.Path("big.HVN")), "");
}

}  // namespace
}  // namespace vaultrix::files::hvn
