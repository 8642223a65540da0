// A failed operation inside a transaction drops its own changes and keeps
// those of the operations before it, also when it split the root, merged
// pages or collapsed the root among pages the transaction changed already.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/tree/btree.h"
#include "runtime/files/hvn/pages/page_file.h"
#include "runtime/files/hvn/pages/record_kinds.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using Contents = std::map<std::string, std::string>;

std::string KeyAt(int n) { return DataKey(1, static_cast<std::uint32_t>(n)) + std::string(120, 'k'); }
std::string DataAt(int n) { return std::string(150, static_cast<char>('a' + n % 26)); }

class HvnTransactionUndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(file_.Open(dir_.Path("u.hvn"), false, true), 0);
    ASSERT_EQ(file_.BeginTransaction(0), 0);
  }
  void TearDown() override { (void)file_.Close(); }

  // One operation of the transaction; `keep` false makes it fail (Abort).
  template <class F>
  void Operation(bool keep, F work) {
    ASSERT_EQ(file_.Begin(), 0);
    file_.RaiseLastNumber(1000000);  // the keys carry numbers not issued here
    Tree tree(file_);
    work(tree);
    if (keep) {
      ASSERT_EQ(file_.End(), 0);
    } else {
      file_.Abort();
    }
  }
  void Insert(Tree& tree, int n) {
    ASSERT_EQ(tree.Insert({KeyAt(n), DataAt(n)}), 0);
    model_[KeyAt(n)] = DataAt(n);
  }
  int RootLevel() {
    Page* root = nullptr;
    if (file_.root() == kNoPage || file_.Fetch(file_.root(), &root) != 0) return -1;
    return root->content.level;
  }
  Contents Read() {
    Contents out;
    Operation(false, [&](Tree& tree) {
      Record record;
      bool found = false;
      std::string key;
      while (tree.Search(key, Seek::kAfter, &record, &found) == 0 && found) {
        out[record.key] = record.data;
        key = record.key;
      }
    });
    return out;
  }

  vaultrix::testing::ScratchDir& dir_ = testing::FastScratchDir();
  PageFile file_;
  Contents model_;
};

TEST_F(HvnTransactionUndoTest, FailedOperationsDropOnlyTheirOwnChanges) {
  Operation(true, [&](Tree& tree) { Insert(tree, 0); });
  // A failing operation that grows the dirty root leaf until it splits.
  Operation(false, [&](Tree& tree) {
    for (int n = 1; RootLevel() == 0 && n < 1000; ++n) {
      ASSERT_EQ(tree.Insert({KeyAt(n), DataAt(n)}), 0);
    }
    ASSERT_EQ(RootLevel(), 1);
  });
  ASSERT_EQ(Read(), model_);
  EXPECT_EQ(RootLevel(), 0);

  // Three levels, each grown by its own kept operation.
  for (int n = 1; RootLevel() < 2 && n < 20000; n += 10) {
    Operation(true, [&](Tree& tree) {
      for (int i = n; i < n + 10; ++i) Insert(tree, i);
    });
  }
  ASSERT_EQ(RootLevel(), 2);
  // A failing operation that erases all but one record: pages merge, empty
  // ones leave the tree and the root collapses, all of them dirty already.
  Operation(false, [&](Tree& tree) {
    for (auto it = std::next(model_.begin()); it != model_.end(); ++it) {
      bool erased = false;
      ASSERT_EQ(tree.Erase(it->first, &erased), 0);
      ASSERT_TRUE(erased);
    }
    ASSERT_EQ(RootLevel(), 0);
  });
  ASSERT_EQ(Read(), model_);
  EXPECT_EQ(RootLevel(), 2);

  // The transaction still commits whole.
  ASSERT_EQ(file_.PrepareTransaction(), 0);
  ASSERT_EQ(file_.FinishTransaction(), 0);
  EXPECT_EQ(Read(), model_);
  EXPECT_EQ(CheckHvnPages(file_), "");
}

TEST_F(HvnTransactionUndoTest, RollbackLeavesTheCommittedTree) {
  file_.RollbackTransaction();
  Operation(true, [&](Tree& tree) {
    for (int n = 0; n < 40; ++n) Insert(tree, n);
  });
  const Contents committed = model_;
  ASSERT_EQ(file_.BeginTransaction(0), 0);
  for (int n = 40; n < 400; n += 20) {
    Operation(true, [&](Tree& tree) {
      for (int i = n; i < n + 20; ++i) Insert(tree, i);
      bool erased = false;
      ASSERT_EQ(tree.Erase(KeyAt(n / 20), &erased), 0);
    });
  }
  EXPECT_NE(Read(), committed);
  file_.RollbackTransaction();
  EXPECT_EQ(Read(), committed);
  EXPECT_EQ(CheckHvnPages(file_), "");
}

}  // namespace
}  // namespace vaultrix::files::hvn
