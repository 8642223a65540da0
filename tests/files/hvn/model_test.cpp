// A model-based test of the HVN driver: thousands of random ADD, PUT, DELETE,
// GET, NEXT, PREVIOUS, SKIP and SET operations with memos of random sizes,
// checked answer by answer against an in-memory model, with the file closed
// and reopened at random points and checked page by page.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>

#include "runtime/files/hvn/check.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kOperations = 1500;
#else
constexpr int kOperations = 6000;
#endif
constexpr std::uint32_t kModelMemoSize = 3000;

struct Entry {
  std::string name;
  std::int32_t number;
  std::string memo;
  friend bool operator==(const Entry&, const Entry&) = default;
};

// The reading order as the driver defines it.
struct ModelCursor {
  enum { kEnds, kAt, kAfterRead } mode = kEnds;
  std::uint32_t anchor = 0;
};

class Model {
 public:
  std::map<std::uint32_t, Entry> records;
  std::uint32_t current = 0;
  ModelCursor cursor;

  // The record NEXT (forward) or PREVIOUS would read; 0 when none.
  std::uint32_t Locate(bool forward) const {
    if (records.empty()) return 0;
    switch (cursor.mode) {
      case ModelCursor::kEnds:
        return forward ? records.begin()->first : records.rbegin()->first;
      case ModelCursor::kAt: {
        if (forward) {
          auto it = records.lower_bound(cursor.anchor);
          return it == records.end() ? 0 : it->first;
        }
        auto it = records.upper_bound(cursor.anchor);
        return it == records.begin() ? 0 : std::prev(it)->first;
      }
      case ModelCursor::kAfterRead: {
        if (forward) {
          auto it = records.upper_bound(cursor.anchor);
          return it == records.end() ? 0 : it->first;
        }
        auto it = records.lower_bound(cursor.anchor);
        return it == records.begin() ? 0 : std::prev(it)->first;
      }
    }
    return 0;
  }
};

class HvnModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.Path("model");
    file_ = DeclareTable(path_, kModelMemoSize);
    Create(file_->Block());
    ASSERT_EQ(ErrorCode(), 0);
    Reopen();
  }
  void Reopen() {
    Close(file_->Block());
    Open(file_->Block(), 0x42);
    ASSERT_EQ(ErrorCode(), 0);
    model_.current = 0;
    model_.cursor = ModelCursor();
  }
  std::string RandomMemo() {
    const int kind = static_cast<int>(random_() % 4);
    if (kind == 0) return "";
    std::size_t size = kind == 1 ? random_() % 40 : random_() % kModelMemoSize;
    std::string memo(size, ' ');
    for (char& c : memo) c = static_cast<char>('a' + random_() % 3);  // runs pack well
    if (kind == 3 && size > 10) memo.replace(size / 2, size / 4, size / 4, 'x');
    return memo.substr(0, memo.find_last_not_of(' ') + 1);
  }
  Entry RandomEntry() {
    return {"n" + std::to_string(random_() % 100000), static_cast<std::int32_t>(random_()),
            RandomMemo()};
  }
  Entry Buffer() { return {NameOf(*file_), NumberOf(*file_), MemoOf(*file_)}; }
  void Load(const Entry& entry) {
    SetRecord(*file_, entry.name, entry.number);
    SetMemo(*file_, entry.memo);
  }
  std::uint32_t RandomPointer() {
    if (model_.records.empty() || random_() % 5 == 0) return 1 + random_() % 5000;
    auto it = model_.records.begin();
    std::advance(it, random_() % model_.records.size());
    return it->first;
  }

  void Step() {
    const int choice = static_cast<int>(random_() % 100);
    if (choice < 25) {  // ADD
      const Entry entry = RandomEntry();
      Load(entry);
      Add(file_->Block());
      ASSERT_EQ(ErrorCode(), 0);
      const auto pointer = static_cast<std::uint32_t>(Pointer(file_->Block()));
      ASSERT_EQ(model_.records.count(pointer), 0u);
      model_.records[pointer] = entry;
      model_.current = pointer;
    } else if (choice < 35) {  // PUT
      const Entry entry = RandomEntry();
      Load(entry);
      Put(file_->Block());
      if (model_.current == 0 || !model_.records.count(model_.current)) {
        ASSERT_EQ(ErrorCode(), codes::kRecordNotAvailable);
      } else {
        ASSERT_EQ(ErrorCode(), 0);
        model_.records[model_.current] = entry;
      }
    } else if (choice < 50) {  // DELETE
      Delete(file_->Block());
      if (model_.current == 0 || !model_.records.count(model_.current)) {
        ASSERT_EQ(ErrorCode(), codes::kRecordNotAvailable);
      } else {
        ASSERT_EQ(ErrorCode(), 0);
        model_.records.erase(model_.current);
        model_.current = 0;
      }
    } else if (choice < 60) {  // GET
      const std::uint32_t pointer = RandomPointer();
      const Entry before = Buffer();
      Get(file_->Block(), static_cast<std::int32_t>(pointer));
      auto it = model_.records.find(pointer);
      if (it == model_.records.end()) {
        ASSERT_EQ(ErrorCode(), codes::kRecordNotFound);
        ASSERT_EQ(Buffer(), before);
      } else {
        ASSERT_EQ(ErrorCode(), 0);
        ASSERT_EQ(Buffer(), it->second);
        model_.current = pointer;
      }
    } else if (choice < 85) {  // NEXT, PREVIOUS
      const bool forward = choice < 73;
      const std::uint32_t expected = model_.Locate(forward);
      const Entry before = Buffer();
      if (forward) {
        Next(file_->Block());
      } else {
        Previous(file_->Block());
      }
      if (expected == 0) {
        ASSERT_EQ(ErrorCode(), codes::kRecordNotAvailable);
        ASSERT_EQ(Buffer(), before);
      } else {
        ASSERT_EQ(ErrorCode(), 0);
        ASSERT_EQ(Pointer(file_->Block()), expected);
        ASSERT_EQ(Buffer(), model_.records[expected]);
        model_.current = expected;
        model_.cursor = {ModelCursor::kAfterRead, expected};
      }
    } else if (choice < 90) {  // SKIP
      const int count = static_cast<int>(random_() % 7) - 3;
      Skip(file_->Block(), count);
      ASSERT_EQ(ErrorCode(), 0);
      for (int i = 0; i < std::abs(count); ++i) {
        const std::uint32_t next = model_.Locate(count > 0);
        model_.cursor.mode = ModelCursor::kAfterRead;
        if (next == 0) {
          model_.cursor.anchor = count > 0 ? 0xFFFFFFFF : 0;
          break;
        }
        model_.cursor.anchor = next;
      }
    } else if (choice < 95) {  // SET forms
      if (random_() % 2 == 0) {
        Set(file_->Block());
        model_.cursor = ModelCursor();
      } else {
        const std::uint32_t pointer = RandomPointer();
        Set(file_->Block(), static_cast<std::int32_t>(pointer));
        model_.cursor = {ModelCursor::kAt, pointer};
      }
      ASSERT_EQ(ErrorCode(), 0);
    } else if (choice < 98) {  // counts and ends
      ASSERT_EQ(Records(file_->Block()), static_cast<std::int64_t>(model_.records.size()));
      ASSERT_EQ(Eof(file_->Block()), model_.Locate(true) == 0);
      ASSERT_EQ(Bof(file_->Block()), model_.Locate(false) == 0);
    } else {
      Reopen();
      ASSERT_EQ(CheckHvnFile(path_ + ".HVN"), "");
    }
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
  std::unique_ptr<DeclaredFile> file_;
  Model model_;
  std::mt19937 random_{20261207};
};

TEST_F(HvnModelTest, RandomOperationsAgreeWithTheModel) {
  for (int i = 0; i < kOperations; ++i) {
    ASSERT_NO_FATAL_FAILURE(Step()) << "operation " << i;
  }
  // Enough records for a tree of several levels and many page sizes.
  EXPECT_GT(model_.records.size(), 150u);
  Reopen();
  EXPECT_EQ(Records(file_->Block()), static_cast<std::int64_t>(model_.records.size()));
  Close(file_->Block());
  EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
}

}  // namespace
}  // namespace vaultrix::files::hvn

namespace vaultrix::files::hvn {
namespace {

// ADD and DELETE of constant volume, with ever new record numbers: the
// file settles instead of growing.
TEST(HvnChurnTest, ConstantVolumeChurnDoesNotGrowTheFile) {
  auto& dir = testing::FastScratchDir();
  const std::string path = dir.Path("churn");
  auto file = testing::DeclareTable(path, 2000);
  Create(file->Block());
  Open(file->Block(), 0x42);
  std::vector<std::int32_t> live;
  std::mt19937 random(5);
  std::uint64_t settled = 0;
  const int rounds = kOperations / 2;
  for (int i = 0; i < rounds; ++i) {
    testing::SetRecord(*file, "c" + std::to_string(i), i);
    testing::SetMemo(*file, std::string(random() % 2000, 'k'));
    Add(file->Block());
    ASSERT_EQ(support::ErrorCode(), 0);
    live.push_back(static_cast<std::int32_t>(Pointer(file->Block())));
    if (live.size() > 150) {
      const std::size_t victim = random() % live.size();
      Get(file->Block(), live[victim]);
      Delete(file->Block());
      ASSERT_EQ(support::ErrorCode(), 0);
      live.erase(live.begin() + static_cast<std::ptrdiff_t>(victim));
    }
    if (i == rounds / 3) settled = testing::SizeOf(path + ".HVN");
  }
  EXPECT_EQ(Records(file->Block()), 150);
  Close(file->Block());
  EXPECT_LT(testing::SizeOf(path + ".HVN"), settled * 3 / 2 + 64 * 1024);
  EXPECT_EQ(CheckHvnFile(path + ".HVN"), "");
}

}  // namespace
}  // namespace vaultrix::files::hvn
