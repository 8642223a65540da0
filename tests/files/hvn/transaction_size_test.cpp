// Large transactions over a keyed file: hundreds of ADD, PUT and DELETE
// inside one LOGOUT, with operations refused for a duplicate key (40) among
// them, which must drop only their own changes even when they touch pages
// that earlier operations of the transaction changed and split. COMMIT
// leaves exactly the model's records; ROLLBACK leaves the file's bytes as
// they were.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <random>

#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/keyed_table.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kOperations = 400;
#else
constexpr int kOperations = 2500;
#endif

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

class HvnTransactionSizeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDamageIsFatal(false);
    file_ = DeclareKeyedTable(dir_.Path("big"));
    Create(file_->Block());
    Open(file_->Block(), 0x42);
    ASSERT_EQ(ErrorCode(), 0);
    Send(file_->Block(), "TCF=" + dir_.Path("control.tcf"));
    for (int i = 0; i < 150; ++i) ASSERT_EQ(Add(Record("base" + std::to_string(i), i)), 0);
    committed_ = model_;
  }
  void TearDown() override { Close(file_->Block()); }

  // Every record has a code of its own (the unique code key comes last).
  KeyedRecord Record(const std::string& name, std::int32_t number) {
    return {name, number, number * 0.5, std::to_string(++codes_issued_) + ".00"};
  }
  int Add(const KeyedRecord& record) {
    PutKeyed(*file_, record);
    files::Add(file_->Block());
    if (ErrorCode() == 0) model_[Lower(record.name)] = record;
    return ErrorCode();
  }
  bool Clashes(const KeyedRecord& record, const std::string& except) {
    for (const auto& [name, other] : model_) {
      if (name != except && (name == Lower(record.name) || other.code == record.code)) return true;
    }
    return false;
  }
  // Reads the record named `name` by the unique key.
  bool Find(const std::string& name) {
    PutKeyed(*file_, {name, 0, 0, "0"});
    Get(file_->Block(), file_->Key(kKeyName));
    return ErrorCode() == 0;
  }
  const KeyedRecord& Any(std::mt19937& random) {
    auto it = model_.begin();
    std::advance(it, random() % model_.size());
    return it->second;
  }

  // Random operations inside the running transaction, each answer checked.
  // One ADD or PUT in four takes another record's name or code: it is
  // refused, the code only after the entries of the earlier keys changed.
  void Churn(std::uint32_t seed) {
    std::mt19937 random(seed);
    for (int step = 0; step < kOperations; ++step) {
      const int pick = static_cast<int>(random() % 10);
      const bool clash = random() % 4 == 0;
      if (pick < 6 || model_.size() < 20) {
        KeyedRecord record = Record("n" + std::to_string(random() % 100000), step);
        if (clash && random() % 2 == 0) {
          record.name = Any(random).name;
          record.name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(record.name[0])));
        } else if (clash) {
          record.code = Any(random).code;
        }
        const bool refused = Clashes(record, "");
        ASSERT_EQ(Add(record), refused ? codes::kCreatesDuplicateKey : 0) << step;
      } else if (pick < 8) {
        const std::string name = Lower(Any(random).name);
        ASSERT_TRUE(Find(name)) << step;
        Delete(file_->Block());
        ASSERT_EQ(ErrorCode(), 0) << step;
        model_.erase(name);
      } else {
        const std::string name = Lower(Any(random).name);
        ASSERT_TRUE(Find(name)) << step;
        KeyedRecord changed = GetKeyed(*file_);
        changed.number = -step;
        changed.amount = step;
        if (clash && random() % 2 == 0) {
          changed.name = Any(random).name;
        } else if (clash) {
          changed.code = Any(random).code;
        }
        const bool refused = Clashes(changed, name);
        PutKeyed(*file_, changed);
        Put(file_->Block());
        ASSERT_EQ(ErrorCode(), refused ? codes::kCreatesDuplicateKey : 0) << step;
        if (!refused) model_[name] = changed;
      }
    }
  }

  // The records in key order as "name/number", RECORDS last.
  std::vector<std::string> Stored() {
    std::vector<std::string> out;
    Set(file_->Key(kKeyName));
    for (Next(file_->Block()); ErrorCode() == 0; Next(file_->Block())) {
      const KeyedRecord record = GetKeyed(*file_);
      out.push_back(Lower(record.name) + "/" + std::to_string(record.number) + "/" + record.code);
    }
    out.push_back("records " + std::to_string(Records(file_->Block())));
    return out;
  }
  // COMMIT, then the model's records before and after a reopen, and a file
  // that passes the check.
  void CommitAndCheck() {
    Commit(file_->Block());
    ASSERT_EQ(ErrorCode(), 0);
    EXPECT_EQ(Stored(), Expected(model_));
    Close(file_->Block());
    EXPECT_EQ(CheckHvnFile(dir_.Path("big.HVN")), "");
    Open(file_->Block(), 0x42);
    EXPECT_EQ(Stored(), Expected(model_));
  }
  static std::vector<std::string> Expected(const std::map<std::string, KeyedRecord>& model) {
    std::vector<std::string> out;
    for (const auto& [name, record] : model) {
      out.push_back(name + "/" + std::to_string(record.number) + "/" + record.code);
    }
    out.push_back("records " + std::to_string(model.size()));
    return out;
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::unique_ptr<DeclaredFile> file_;
  std::map<std::string, KeyedRecord> model_, committed_;
  int codes_issued_ = 0;
};

TEST_F(HvnTransactionSizeTest, CommittedLargeTransactionReadsBackExactly) {
  auto other = DeclareKeyedTable(dir_.Path("big"));  // another station
  Open(other->Block(), 0x42);
  Logout(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  Churn(11);
  // Inside the transaction the file already reads as the model; the other
  // station still sees what was committed.
  EXPECT_EQ(Stored(), Expected(model_));
  EXPECT_EQ(Records(other->Block()), static_cast<std::int64_t>(committed_.size()));
  ASSERT_EQ(committed_.count(model_.rbegin()->first), 0u);
  PutKeyed(*other, {model_.rbegin()->second.name, 0, 0, "0"});
  Get(other->Block(), other->Key(kKeyName));
  EXPECT_EQ(ErrorCode(), codes::kRecordNotFound);
  CommitAndCheck();
  EXPECT_EQ(Records(other->Block()), static_cast<std::int64_t>(model_.size()));
  Close(other->Block());
}

TEST_F(HvnTransactionSizeTest, EveryAddFollowedByARefusedOneFromAnEmptyFile) {
  // From one page to a tree of several levels inside the transaction: the
  // refused ADDs change and split pages that the ADDs before them changed.
  Close(file_->Block());
  std::remove(dir_.Path("big.HVN").c_str());
  Create(file_->Block());
  Open(file_->Block(), 0x42);
  model_.clear();
  Logout(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  for (int i = 0; i < kOperations; ++i) {
    ASSERT_EQ(Add(Record("r" + std::to_string(i * 7919 % 100003), i)), 0) << i;
    KeyedRecord refused = Record("s" + std::to_string(i), -i);
    refused.code = model_.begin()->second.code;
    ASSERT_EQ(Add(refused), codes::kCreatesDuplicateKey) << i;
  }
  CommitAndCheck();
}

TEST_F(HvnTransactionSizeTest, RolledBackLargeTransactionLeavesTheFileAsItWas) {
  const std::string before = FileBytes(dir_.Path("big.HVN"));
  Logout(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  Churn(12);
  ASSERT_NE(model_.size(), committed_.size());
  Rollback(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Stored(), Expected(committed_));
  Close(file_->Block());
  EXPECT_EQ(FileBytes(dir_.Path("big.HVN")), before);
  Open(file_->Block(), 0x42);
}

}  // namespace
}  // namespace vaultrix::files::hvn
