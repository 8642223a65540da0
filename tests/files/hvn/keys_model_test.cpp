// A model-based test of the keys: random ADD, PUT, DELETE, GET by key, SET in
// key order with NEXT and PREVIOUS, DUPLICATE and RECORDS of a key over the
// keyed table (a unique NOCASE OPT text key, a DUP number key, a descending
// DUP real key and a unique OPT decimal key), checked against a model after
// every step, with and without an owner password, across reopen, BUILD and
// PACK.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <tuple>

#include "runtime/files/hvn/check.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/keyed_table.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kOperations = 800;
#else
constexpr int kOperations = 3000;
#endif

// Where an entry stands in its key: text, number, record number (the last
// only for DUP keys; 0 for unique ones).
using Order = std::tuple<std::string, double, std::uint32_t>;
constexpr bool kDupKey[] = {false, true, true, false};

std::string Lower(std::string text) {
  text.resize(kNameSize, ' ');
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

double CodeValue(const std::string& code) { return std::stod(code); }

// The entry of `record` (number `number`) in `key`; nullopt when OPT leaves
// it out.
std::optional<Order> EntryOf(std::size_t key, const KeyedRecord& record, std::uint32_t number) {
  switch (key) {
    case kKeyName:
      if (record.name.empty()) return std::nullopt;
      return Order{Lower(record.name), 0, 0};
    case kKeyNumber:
      return Order{"", record.number, number};
    case kKeyAmount:
      return Order{"", -record.amount, number};
    default:
      if (CodeValue(record.code) == 0) return std::nullopt;
      return Order{"", CodeValue(record.code), 0};
  }
}

class KeyModel {
 public:
  std::map<std::uint32_t, KeyedRecord> records;

  std::vector<std::pair<Order, std::uint32_t>> Entries(std::size_t key) const {
    std::vector<std::pair<Order, std::uint32_t>> entries;
    for (const auto& [number, record] : records) {
      if (auto entry = EntryOf(key, record, number)) entries.emplace_back(*entry, number);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  }
  // The record already holding a unique value of `record`, 0 when none.
  std::uint32_t Collision(const KeyedRecord& record, std::uint32_t self) const {
    for (std::size_t key : {kKeyName, kKeyCode}) {
      const auto entry = EntryOf(key, record, self);
      if (!entry) continue;
      for (const auto& [number, other] : records) {
        if (number != self && EntryOf(key, other, number) == entry) return number;
      }
    }
    return 0;
  }
};

// The key-order cursor as the driver defines it.
struct KeyCursor {
  enum { kEnds, kAt, kAfterRead } mode = kEnds;
  std::size_t key = 0;
  Order anchor;
};

class HvnKeysModelTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    path_ = dir_.Path("keymodel");
    file_ = DeclareKeyedTable(path_, GetParam());
    Create(file_->Block());
    ASSERT_EQ(ErrorCode(), 0);
    Reopen();
  }
  void Reopen() {
    Close(file_->Block());
    Open(file_->Block(), 0x42);
    ASSERT_EQ(ErrorCode(), 0);
    current_ = 0;
    cursor_.reset();
  }
  KeyedRecord RandomRecord() {
    static const char* kNames[] = {"alpha", "Bravo", "charlie", "delta", "echo", "foxtrot",
                                   "golf", "hotel", "india", "juliet", "kilo", "lima"};
    KeyedRecord record;
    if (random_() % 8 != 0) {
      record.name = std::string(kNames[random_() % 12]) + std::to_string(random_() % 25);
      for (char& c : record.name) {
        if (random_() % 4 == 0) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      }
    }
    record.number = static_cast<std::int32_t>(random_() % 11) - 5;
    record.amount = (static_cast<double>(random_() % 21) - 10) * 0.5;
    record.code = std::to_string(random_() % 150) + ".00";
    return record;
  }
  std::uint32_t RandomNumber() {
    if (model_.records.empty()) return 1;
    auto it = model_.records.begin();
    std::advance(it, random_() % model_.records.size());
    return it->first;
  }
  void ExpectBuffer(std::uint32_t number) {
    const KeyedRecord got = GetKeyed(*file_);
    const KeyedRecord& want = model_.records.at(number);
    ASSERT_EQ(got.name, want.name);
    ASSERT_EQ(got.number, want.number);
    ASSERT_EQ(got.amount, want.amount);
    ASSERT_EQ(CodeValue(got.code), CodeValue(want.code));
    ASSERT_EQ(Pointer(file_->Block()), number);
  }

  // The record NEXT or PREVIOUS reads in key order; 0 for none.
  std::pair<std::uint32_t, Order> Locate(bool forward) const {
    const auto entries = model_.Entries(cursor_->key);
    const Order& at = cursor_->anchor;
    if (forward) {
      for (const auto& [order, number] : entries) {
        const bool past = cursor_->mode == KeyCursor::kEnds ||
                          (cursor_->mode == KeyCursor::kAt ? order >= at : order > at);
        if (past) return {number, order};
      }
    } else {
      for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const bool past = cursor_->mode == KeyCursor::kEnds ||
                          (cursor_->mode == KeyCursor::kAt ? it->first <= at : it->first < at);
        if (past) return {it->second, it->first};
      }
    }
    return {0, {}};
  }

  void Write(bool add) {
    const KeyedRecord record = RandomRecord();
    PutKeyed(*file_, record);
    const std::uint32_t self = add ? 0 : current_;
    add ? Add(file_->Block()) : Put(file_->Block());
    if (!add && (current_ == 0 || !model_.records.count(current_))) {
      ASSERT_EQ(ErrorCode(), codes::kRecordNotAvailable);
    } else if (model_.Collision(record, self) != 0) {
      ASSERT_EQ(ErrorCode(), codes::kCreatesDuplicateKey);
    } else {
      ASSERT_EQ(ErrorCode(), 0);
      if (add) current_ = static_cast<std::uint32_t>(Pointer(file_->Block()));
      model_.records[current_] = record;
    }
  }

  void GetByKey() {
    const std::size_t key = random_() % 4;
    const std::uint32_t source = RandomNumber();
    KeyedRecord probe = model_.records.count(source) ? model_.records[source] : RandomRecord();
    if (random_() % 3 == 0) probe = RandomRecord();
    PutKeyed(*file_, probe);
    Get(file_->Block(), file_->Key(key));
    std::uint32_t expected = 0;
    const auto wanted = EntryOf(key, probe, 0);
    for (const auto& [order, number] : model_.Entries(key)) {
      Order value = order;
      std::get<2>(value) = 0;
      if (wanted && value == *wanted) {
        expected = number;
        break;
      }
    }
    if (!wanted) {
      // A value OPT leaves out has no entry to find.
      ASSERT_EQ(ErrorCode(), codes::kRecordNotFound);
      return;
    }
    if (expected == 0) {
      ASSERT_EQ(ErrorCode(), codes::kRecordNotFound);
    } else {
      ASSERT_EQ(ErrorCode(), 0);
      ASSERT_NO_FATAL_FAILURE(ExpectBuffer(expected));
      current_ = expected;
    }
  }

  void SetOrder() {
    const std::size_t key = random_() % 4;
    cursor_ = KeyCursor{KeyCursor::kEnds, key, {}};
    const int form = static_cast<int>(random_() % 3);
    if (form == 0) {
      Set(file_->Key(key));
    } else {
      const KeyedRecord probe =
          random_() % 2 == 0 && !model_.records.empty() ? model_.records[RandomNumber()]
                                                        : RandomRecord();
      // A value OPT leaves out still starts the order where it would sort.
      auto value = EntryOf(key, probe, 0);
      if (!value) value = key == kKeyName ? Order{Lower(""), 0, 0} : Order{"", 0, 0};
      PutKeyed(*file_, probe);
      const bool with_pointer = form == 2 && kDupKey[key];
      const std::uint32_t pointer = with_pointer ? RandomNumber() : 0;
      if (with_pointer) {
        Set(file_->Key(key), file_->Key(key), static_cast<std::int32_t>(pointer));
        std::get<2>(*value) = pointer;
      } else {
        Set(file_->Key(key), file_->Key(key));
      }
      cursor_->mode = KeyCursor::kAt;
      cursor_->anchor = *value;
      dup_completion_ = kDupKey[key] && !with_pointer;
    }
    ASSERT_EQ(ErrorCode(), 0);
  }

  void Read(bool forward) {
    if (!cursor_) return;
    KeyCursor saved = *cursor_;
    if (cursor_->mode == KeyCursor::kAt && dup_completion_) {
      std::get<2>(cursor_->anchor) = forward ? 0 : 0xFFFFFFFF;
    }
    const auto [expected, order] = Locate(forward);
    *cursor_ = saved;
    forward ? Next(file_->Block()) : Previous(file_->Block());
    if (expected == 0) {
      ASSERT_EQ(ErrorCode(), codes::kRecordNotAvailable);
      return;
    }
    ASSERT_EQ(ErrorCode(), 0);
    ASSERT_NO_FATAL_FAILURE(ExpectBuffer(expected));
    current_ = expected;
    cursor_ = KeyCursor{KeyCursor::kAfterRead, cursor_->key, order};
  }

  void Counts() {
    for (std::size_t key = 0; key < 4; ++key) {
      ASSERT_EQ(Records(file_->Key(key)), static_cast<std::int64_t>(model_.Entries(key).size()));
    }
    const KeyedRecord probe = RandomRecord();
    PutKeyed(*file_, probe);
    const std::uint32_t other = model_.Collision(probe, current_);
    ASSERT_EQ(Duplicate(file_->Block()), other != 0);
  }

  void Step() {
    const int choice = static_cast<int>(random_() % 100);
    if (choice < 22) {
      ASSERT_NO_FATAL_FAILURE(Write(true));
    } else if (choice < 32) {
      ASSERT_NO_FATAL_FAILURE(Write(false));
    } else if (choice < 40) {
      Delete(file_->Block());
      if (current_ == 0 || !model_.records.count(current_)) {
        ASSERT_EQ(ErrorCode(), codes::kRecordNotAvailable);
      } else {
        ASSERT_EQ(ErrorCode(), 0);
        model_.records.erase(current_);
        current_ = 0;
      }
    } else if (choice < 50) {
      ASSERT_NO_FATAL_FAILURE(GetByKey());
    } else if (choice < 58) {
      ASSERT_NO_FATAL_FAILURE(SetOrder());
    } else if (choice < 92) {
      ASSERT_NO_FATAL_FAILURE(Read(choice < 78));
    } else if (choice < 97) {
      ASSERT_NO_FATAL_FAILURE(Counts());
    } else if (choice < 99) {
      Reopen();
      ASSERT_EQ(CheckHvnFile(path_ + ".HVN", GetParam()), "");
    } else if (random_() % 3 != 0) {
      if (random_() % 2 == 0) (void)Send(file_->Block(), "FULLBUILD=ON");
      Build(file_->Block());
      ASSERT_EQ(ErrorCode(), 0);
      ASSERT_NO_FATAL_FAILURE(Counts());
    } else {
      // Pages move, records and reading positions stay.
      Pack(file_->Block());
      ASSERT_EQ(ErrorCode(), 0);
      ++packs_;
      ASSERT_NO_FATAL_FAILURE(Counts());
      ASSERT_EQ(CheckHvnFile(path_ + ".HVN", GetParam()), "");
    }
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
  std::unique_ptr<DeclaredFile> file_;
  KeyModel model_;
  std::uint32_t current_ = 0;
  std::optional<KeyCursor> cursor_;
  bool dup_completion_ = false;
  int packs_ = 0;
  std::mt19937 random_{20261208};
};

TEST_P(HvnKeysModelTest, RandomOperationsAgreeWithTheModel) {
  for (int i = 0; i < kOperations; ++i) {
    ASSERT_NO_FATAL_FAILURE(Step()) << "operation " << i;
  }
  EXPECT_GT(model_.records.size(), 50u);
  EXPECT_GT(packs_, 0);
  Reopen();
  ASSERT_NO_FATAL_FAILURE(Counts());
  Close(file_->Block());
  EXPECT_EQ(CheckHvnFile(path_ + ".HVN", GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(PlainAndOwner, HvnKeysModelTest, ::testing::Values("", "a"),
                         [](const ::testing::TestParamInfo<std::string>& param_info) {
                           return param_info.param.empty() ? std::string("Plain")
                                                     : std::string("Owner");
                         });

}  // namespace
}  // namespace vaultrix::files::hvn
