// The directory of data leaves met lately: which leaf spans a record
// number, in which generation of the cache, and what it leaves to the tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "runtime/files/hvn/pages/page_file.h"
#include "runtime/files/hvn/pages/record_kinds.h"

namespace vaultrix::files::hvn {
namespace {

constexpr std::uint32_t kTable = 7;

// A leaf holding data records `first`..`last` of `table`, every `step`th.
std::unique_ptr<Page> DataLeaf(std::uint32_t first, std::uint32_t last, std::uint32_t step = 1,
                               std::uint32_t table = kTable) {
  auto page = std::make_unique<Page>();
  for (std::uint32_t n = first; n <= last; n += step) {
    page->content.records.push_back({DataKey(table, n), "image"});
  }
  return page;
}

TEST(RecordLeavesTest, ALeafAnswersForEveryNumberItSpansInItsGeneration) {
  RecordLeaves leaves;
  auto leaf = DataLeaf(10, 20, 5);  // 10, 15, 20: 11 is spanned though absent
  leaves.Note(leaf.get(), kTable, 1);
  std::uint32_t first = 0;
  for (std::uint32_t n : {10u, 11u, 15u, 20u}) {
    EXPECT_EQ(leaves.Find(kTable, n, 1, &first), leaf.get()) << n;
    EXPECT_EQ(first, 10u);
  }
  EXPECT_EQ(leaves.Find(kTable, 9, 1, &first), nullptr);
  EXPECT_EQ(leaves.Find(kTable, 21, 1, &first), nullptr);
  EXPECT_EQ(leaves.Find(kTable + 1, 15, 1, &first), nullptr);  // another table's numbers
  // Once the cache changed, nothing is known any more.
  EXPECT_EQ(leaves.Find(kTable, 15, 2, &first), nullptr);
  EXPECT_EQ(leaves.size(), 0u);
  EXPECT_EQ(leaves.Find(kTable, 15, 1, &first), nullptr);
}

TEST(RecordLeavesTest, LeavesAtTheEdgeOfTheDataAreLeftToTheTree) {
  RecordLeaves leaves;
  auto edge = DataLeaf(1, 5);
  edge->content.records.push_back({MemoKey(kTable, 1, 0, 0), "memo"});  // the next kind
  auto other = DataLeaf(1, 5, 1, kTable + 1);
  auto index = DataLeaf(1, 5);
  index->content.level = 1;
  auto empty = std::make_unique<Page>();
  for (Page* page : {edge.get(), other.get(), index.get(), empty.get()}) {
    leaves.Note(page, kTable, 1);
  }
  EXPECT_EQ(leaves.size(), 0u);
  std::uint32_t first = 0;
  EXPECT_EQ(leaves.Find(kTable, 3, 1, &first), nullptr);
}

TEST(RecordLeavesTest, ManyLeavesNotedInAnyOrderAreEachFoundOnce) {
  // Leaves of 10 numbers with a gap of 5 between them, noted shuffled and
  // more than once (as a search into a gap notes the leaf before it).
  constexpr std::uint32_t kLeaves = 300;
  std::vector<std::unique_ptr<Page>> pages;
  std::vector<std::uint32_t> order;
  for (std::uint32_t i = 0; i < kLeaves; ++i) {
    pages.push_back(DataLeaf(i * 15 + 1, i * 15 + 10));
    order.push_back(i);
    order.push_back(i);
  }
  std::shuffle(order.begin(), order.end(), std::mt19937(3));
  RecordLeaves leaves;
  for (std::uint32_t i : order) leaves.Note(pages[i].get(), kTable, 4);
  EXPECT_EQ(leaves.size(), kLeaves);
  std::uint32_t first = 0;
  for (std::uint32_t i = 0; i < kLeaves; ++i) {
    EXPECT_EQ(leaves.Find(kTable, i * 15 + 1, 4, &first), pages[i].get());
    EXPECT_EQ(leaves.Find(kTable, i * 15 + 10, 4, &first), pages[i].get());
    EXPECT_EQ(first, i * 15 + 1);
    EXPECT_EQ(leaves.Find(kTable, i * 15 + 12, 4, &first), nullptr);  // in a gap
  }
}

}  // namespace
}  // namespace vaultrix::files::hvn
