// What a reader keeps between operations (cached pages, the data leaves met
// lately, the entry a key scan stands on, the header bytes last checked)
// against changes made by another open of the file, in this process or in
// another: a scan goes on from where it stood and sees the file as it is
// now, never a deleted record, a record at its old key, or an old image.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "runtime/files/hvn/check.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/keyed_table.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

// Enough records for many data leaves, so reads by number go through the
// leaves met lately rather than one leaf at the edge of the table.
constexpr int kRecords = 600;

std::string NameFor(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "n%04d", i);
  return name;
}

class HvnReadCacheTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    path_ = dir_.Path("cached");
    reader_ = DeclareKeyedTable(path_, GetParam());
    writer_ = DeclareKeyedTable(path_, GetParam());
    Create(reader_->Block());
    ASSERT_EQ(ErrorCode(), 0);
    Open(reader_->Block(), kAccessReadWrite | kDenyNone);
    Open(writer_->Block(), kAccessReadWrite | kDenyNone);
    ASSERT_EQ(ErrorCode(), 0);
    for (int i = 0; i < kRecords; ++i) AddRecord(*writer_, {NameFor(i), i, 1.0, "0"});
  }
  void TearDown() override {
    Close(reader_->Block());
    Close(writer_->Block());
    EXPECT_EQ(CheckHvnFile(path_ + ".HVN", GetParam()), "");
  }

  std::int64_t AddRecord(DeclaredFile& file, const KeyedRecord& record) {
    PutKeyed(file, record);
    Add(file.Block());
    EXPECT_EQ(ErrorCode(), 0) << record.name;
    const std::int64_t pointer = Pointer(file.Block());
    model_[record.name] = {pointer, record.number};
    return pointer;
  }
  // Reads the record named `name` into `file` by the unique key.
  void GetNamed(DeclaredFile& file, const std::string& name) {
    PutKeyed(file, {name, 0, 0, "0"});
    Get(file.Block(), file.Key(kKeyName));
    ASSERT_EQ(ErrorCode(), 0) << name;
  }
  void DeleteNamed(DeclaredFile& file, const std::string& name) {
    GetNamed(file, name);
    Delete(file.Block());
    ASSERT_EQ(ErrorCode(), 0) << name;
    model_.erase(name);
  }
  // Gives the record named `from` a new name and number.
  void ChangeNamed(DeclaredFile& file, const std::string& from, const KeyedRecord& to) {
    GetNamed(file, from);
    const std::int64_t pointer = Pointer(file.Block());
    PutKeyed(file, to);
    Put(file.Block());
    ASSERT_EQ(ErrorCode(), 0) << from;
    model_.erase(from);
    model_[to.name] = {pointer, to.number};
  }
  // The reader's NEXT (or PREVIOUS) until 33, checked record by record
  // against the model: every name read is there, with its pointer and
  // number. Answers the names read.
  std::vector<std::string> ReadOn(bool forward) {
    std::vector<std::string> names;
    while (true) {
      forward ? Next(reader_->Block()) : Previous(reader_->Block());
      if (ErrorCode() != 0) break;
      const KeyedRecord record = GetKeyed(*reader_);
      names.push_back(record.name);
      const auto it = model_.find(record.name);
      if (it == model_.end()) {
        ADD_FAILURE() << "read a record no longer there: " << record.name;
        continue;
      }
      EXPECT_EQ(Pointer(reader_->Block()), it->second.pointer) << record.name;
      EXPECT_EQ(record.number, it->second.number) << record.name;
    }
    EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
    return names;
  }
  // The names the model holds after `name` (before it when backward), in
  // key order.
  std::vector<std::string> ModelAfter(const std::string& name, bool forward) {
    std::vector<std::string> names;
    for (const auto& [held, entry] : model_) {
      if (forward ? held > name : held < name) names.push_back(held);
    }
    if (!forward) std::reverse(names.begin(), names.end());
    return names;
  }
  // Reads the first `count` names through the unique key.
  void ReadFirst(int count) {
    Set(reader_->Key(kKeyName));
    for (int i = 0; i < count; ++i) {
      Next(reader_->Block());
      ASSERT_EQ(ErrorCode(), 0);
      ASSERT_EQ(GetKeyed(*reader_).name, NameFor(i));
    }
  }

  struct Held {
    std::int64_t pointer;
    std::int32_t number;
  };
  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
  std::unique_ptr<DeclaredFile> reader_;
  std::unique_ptr<DeclaredFile> writer_;
  std::map<std::string, Held> model_;  // name -> where and what
};

TEST_P(HvnReadCacheTest, AKeyScanGoesOnThroughChangesOfAnotherOpen) {
  ReadFirst(100);  // the reader stands on n0099, its pages cached
  DeleteNamed(*writer_, NameFor(100));  // the entry after the reader's
  DeleteNamed(*writer_, NameFor(99));   // and the one it stands on
  ChangeNamed(*writer_, NameFor(150), {"m0150", 150, 1.0, "0"});  // moved behind it
  ChangeNamed(*writer_, NameFor(10), {"n0099x", 10, 1.0, "0"});   // moved just ahead
  ChangeNamed(*writer_, NameFor(200), {NameFor(200), -200, 1.0, "0"});  // same key, new data
  AddRecord(*writer_, {"n0100a", 9000, 1.0, "0"});
  for (int i = 0; i < 300; ++i) {  // enough to split the leaves the reader knows
    AddRecord(*writer_, {"p" + NameFor(i), 10000 + i, 1.0, "0"});
  }
  const std::vector<std::string> read = ReadOn(true);
  EXPECT_EQ(read, ModelAfter(NameFor(99), true));
  ASSERT_FALSE(read.empty());
  EXPECT_EQ(read.front(), "n0099x");
}

TEST_P(HvnReadCacheTest, AKeyScanBackwardSkipsWhatWasDeletedBehindIt) {
  ReadFirst(300);
  Previous(reader_->Block());  // back on n0298
  ASSERT_EQ(ErrorCode(), 0);
  for (int i = 250; i < 299; ++i) DeleteNamed(*writer_, NameFor(i));
  ChangeNamed(*writer_, NameFor(10), {"n0400x", 10, 1.0, "0"});  // moved ahead of it
  EXPECT_EQ(ReadOn(false), ModelAfter(NameFor(298), false));
}

TEST_P(HvnReadCacheTest, ReadsByNumberSeeTheRecordAsItIsNow) {
  // Every record read once in the order of the key, so the reader knows
  // the data leaves; then changed, deleted and moved around by the writer.
  Set(reader_->Key(kKeyName));
  ASSERT_EQ(ReadOn(true).size(), static_cast<std::size_t>(kRecords));
  const std::int64_t deleted = model_.at(NameFor(300)).pointer;
  const std::int64_t changed = model_.at(NameFor(301)).pointer;
  DeleteNamed(*writer_, NameFor(300));
  ChangeNamed(*writer_, NameFor(301), {NameFor(301), 4242, 1.0, "0"});
  Get(reader_->Block(), static_cast<std::int32_t>(deleted));
  EXPECT_EQ(ErrorCode(), codes::kRecordNotFound);
  Get(reader_->Block(), static_cast<std::int32_t>(changed));
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(GetKeyed(*reader_).number, 4242);
  // The writer's own reads by number after its changes.
  Get(writer_->Block(), static_cast<std::int32_t>(deleted));
  EXPECT_EQ(ErrorCode(), codes::kRecordNotFound);
  Get(writer_->Block(), static_cast<std::int32_t>(changed));
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(GetKeyed(*writer_).number, 4242);
  // Every record still there reads by its number, in a scattered order.
  for (int step = 0; step < kRecords; ++step) {
    const std::string name = NameFor(step * 7 % kRecords);
    const auto it = model_.find(name);
    if (it == model_.end()) continue;
    Get(reader_->Block(), static_cast<std::int32_t>(it->second.pointer));
    ASSERT_EQ(ErrorCode(), 0) << name;
    EXPECT_EQ(GetKeyed(*reader_).name, name);
    EXPECT_EQ(GetKeyed(*reader_).number, it->second.number);
  }
}

TEST_P(HvnReadCacheTest, AScanGoesOnThroughChangesOfAnotherProcess) {
  ReadFirst(100);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Its own open of the file, in its own process.
    auto file = DeclareKeyedTable(path_, GetParam());
    Open(file->Block(), kAccessReadWrite | kDenyNone);
    bool ok = ErrorCode() == 0;
    for (int i = 100; i < 200 && ok; i += 2) {
      PutKeyed(*file, {NameFor(i), 0, 0, "0"});
      Get(file->Block(), file->Key(kKeyName));
      Delete(file->Block());
      ok = ErrorCode() == 0;
    }
    PutKeyed(*file, {NameFor(201), 0, 0, "0"});
    Get(file->Block(), file->Key(kKeyName));
    PutKeyed(*file, {"n0000x", -201, 1.0, "0"});  // moved behind the reader
    Put(file->Block());
    ok = ok && ErrorCode() == 0;
    Close(file->Block());
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int i = 100; i < 200; i += 2) model_.erase(NameFor(i));
  model_["n0000x"] = {model_.at(NameFor(201)).pointer, -201};
  model_.erase(NameFor(201));
  EXPECT_EQ(ReadOn(true), ModelAfter(NameFor(99), true));
}

INSTANTIATE_TEST_SUITE_P(PlainAndOwner, HvnReadCacheTest,
                         ::testing::Values("", "OrbitPlumeCasketNimbleFox"),
                         [](const auto& param_info) {
                           return std::string(param_info.param).empty() ? "Plain" : "Owner";
                         });

}  // namespace
}  // namespace vaultrix::files::hvn
