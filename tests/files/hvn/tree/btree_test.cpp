// The page tree on a real file: searches in all four directions, splits,
// deletions, random churn against a map, reopening, the consistency check,
// and a file that does not grow under churn of constant size.
#include "runtime/files/hvn/tree/btree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <random>
#include <string>

#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/pages/record_kinds.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using vaultrix::testing::ScratchDir;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kScale = 4;
#else
constexpr int kScale = 1;
#endif

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override { Reopen(); }
  void Reopen() {
    file_ = std::make_unique<PageFile>();
    ASSERT_EQ(file_->Open(dir_.Path("t.hvn"), false, true), 0);
  }
  // One operation: Begin, `work`, End.
  template <class F>
  void Operation(F work) {
    ASSERT_EQ(file_->Begin(), 0);
    file_->RaiseLastNumber(1000000);  // the keys carry numbers not issued here
    Tree tree(*file_);
    work(tree);
    ASSERT_EQ(file_->End(), 0);
  }
  std::map<std::string, std::string> Contents(bool backward) {
    std::map<std::string, std::string> out;
    Operation([&](Tree& tree) {
      Record record;
      bool found = false;
      std::string key = backward ? std::string(8, '\xFF') : std::string();
      while (true) {
        ASSERT_EQ(tree.Search(key, backward ? Seek::kBefore : Seek::kAfter, &record, &found), 0);
        if (!found) break;
        out[record.key] = record.data;
        key = record.key;
      }
    });
    return out;
  }
  std::uint64_t FileSize() {
    struct stat info;
    return ::stat(dir_.Path("t.hvn").c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size)
                                                          : 0;
  }

  ScratchDir& dir_ = hvn::testing::FastScratchDir();
  std::unique_ptr<PageFile> file_;
};

std::string KeyOf(std::uint32_t n) {
  return DataKey(1, n);
}

TEST_F(TreeTest, SearchesInEveryDirection) {
  Operation([](Tree& tree) {
    for (std::uint32_t n = 10; n <= 50; n += 10) ASSERT_EQ(tree.Insert({KeyOf(n), "d"}), 0);
  });
  Operation([](Tree& tree) {
    Record record;
    bool found = false;
    ASSERT_EQ(tree.Find(KeyOf(30), &record, &found), 0);
    EXPECT_TRUE(found);
    ASSERT_EQ(tree.Find(KeyOf(31), &record, &found), 0);
    EXPECT_FALSE(found);
    ASSERT_EQ(tree.Search(KeyOf(31), Seek::kAtOrAfter, &record, &found), 0);
    EXPECT_EQ(record.key, KeyOf(40));
    ASSERT_EQ(tree.Search(KeyOf(30), Seek::kAtOrAfter, &record, &found), 0);
    EXPECT_EQ(record.key, KeyOf(30));
    ASSERT_EQ(tree.Search(KeyOf(30), Seek::kAfter, &record, &found), 0);
    EXPECT_EQ(record.key, KeyOf(40));
    ASSERT_EQ(tree.Search(KeyOf(31), Seek::kAtOrBefore, &record, &found), 0);
    EXPECT_EQ(record.key, KeyOf(30));
    ASSERT_EQ(tree.Search(KeyOf(30), Seek::kBefore, &record, &found), 0);
    EXPECT_EQ(record.key, KeyOf(20));
    ASSERT_EQ(tree.Search(KeyOf(10), Seek::kBefore, &record, &found), 0);
    EXPECT_FALSE(found);
    ASSERT_EQ(tree.Search(KeyOf(50), Seek::kAfter, &record, &found), 0);
    EXPECT_FALSE(found);
    // A shorter key that is a prefix of a longer one sorts first.
    ASSERT_EQ(tree.Search(KeyOf(30).substr(0, 5), Seek::kAtOrAfter, &record, &found), 0);
    EXPECT_EQ(record.key, KeyOf(10));
  });
}

TEST_F(TreeTest, SplitsGrowTheTreeAtTheRootAndKeepItsReference) {
  std::int32_t first_root = kNoPage;
  Operation([](Tree& tree) { ASSERT_EQ(tree.Insert({KeyOf(0), std::string(100, 'x')}), 0); });
  first_root = file_->root();
  for (std::uint32_t batch = 0; batch < 20; ++batch) {
    Operation([&](Tree& tree) {
      for (std::uint32_t n = 1; n <= 100; ++n) {
        ASSERT_EQ(tree.Insert({KeyOf(batch * 100 + n), std::string(100 + n, 'a' + n % 26)}), 0);
      }
    });
  }
  EXPECT_EQ(CheckHvnPages(*file_), "");
  Page* root = nullptr;
  ASSERT_EQ(file_->Begin(), 0);
  ASSERT_EQ(file_->Fetch(file_->root(), &root), 0);
  EXPECT_GT(root->content.level, 0);
  file_->Abort();
  EXPECT_EQ(Contents(false).size(), 2001u);
  EXPECT_EQ(Contents(true).size(), 2001u);
  (void)first_root;
}

TEST_F(TreeTest, RandomChurnMatchesAMapAndTheFileStaysBounded) {
  std::mt19937 random(7);
  std::map<std::string, std::string> model;
  std::uint64_t size_after_warmup = 0;
  const int rounds = 300 / kScale;
  for (int round = 0; round < rounds; ++round) {
    Operation([&](Tree& tree) {
      for (int i = 0; i < 20; ++i) {
        const std::uint32_t n = random() % 400;
        const std::size_t size = random() % 4 == 0 ? random() % 6000 : random() % 200;
        if (random() % 2 == 0 || model.size() < 100) {
          std::string data(size, static_cast<char>('a' + random() % 26));
          if (!data.empty()) data[random() % data.size()] = 'Z';
          ASSERT_EQ(tree.Insert({KeyOf(n), data}), 0);
          model[KeyOf(n)] = data;
        } else {
          bool erased = false;
          ASSERT_EQ(tree.Erase(KeyOf(n), &erased), 0);
          EXPECT_EQ(erased, model.erase(KeyOf(n)) == 1);
        }
      }
    });
    if (round % 50 == 49) {
      ASSERT_EQ(CheckHvnPages(*file_), "");
      ASSERT_EQ(Contents(false), model);
      ASSERT_EQ(Contents(true), model);
      Reopen();
    }
    if (round == rounds / 3) size_after_warmup = FileSize();
  }
  ASSERT_EQ(Contents(false), model);
  EXPECT_EQ(CheckHvnFile(dir_.Path("t.hvn")), "");
  // Constant-size churn: the file may settle but not keep growing.
  EXPECT_LT(FileSize(), size_after_warmup * 2 + 64 * 1024);
}

TEST_F(TreeTest, DeletingEverythingEmptiesTheTree) {
  Operation([](Tree& tree) {
    for (std::uint32_t n = 0; n < 500; ++n)
      ASSERT_EQ(tree.Insert({KeyOf(n), std::string(300, 'q')}), 0);
  });
  Operation([](Tree& tree) {
    for (std::uint32_t n = 0; n < 500; ++n) {
      bool erased = false;
      ASSERT_EQ(tree.Erase(KeyOf((n * 7) % 500), &erased), 0);
      ASSERT_TRUE(erased);
    }
  });
  EXPECT_EQ(file_->root(), kNoPage);
  EXPECT_EQ(CheckHvnFile(dir_.Path("t.hvn")), "");
  EXPECT_TRUE(Contents(false).empty());
}

}  // namespace
}  // namespace vaultrix::files::hvn
