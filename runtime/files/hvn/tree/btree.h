// The one B-tree of an HVN file: every record of every table and kind, in
// the order of its key bytes (unsigned, byte by byte; a shorter key that is
// a prefix of a longer one sorts first).
//
// Leaf pages (level 0) hold the records; index pages hold, per child, a copy
// of a key no greater than any key in the child's subtree and greater than
// every key in the subtree before it, and the child's reference. A search
// takes in each page the last record not greater than the key (the floor);
// in an index page it descends into that record's child (the first child
// when the key sorts before them all).
//
// Split rule: after an insertion a page is split when its size bound
// exceeds 15094 bytes, or 4096 bytes while it holds more than 20 records.
// Its middle record and those after it move to a new page at the same
// level, whose first key enters the parent; both halves are checked again.
// The root keeps its reference: when it splits, its records move to a new
// child and it becomes an index page one level higher, so the tree grows
// only at the root. After a deletion an empty page leaves its parent, a
// small leaf merges with its right neighbour when the result stays within
// the split rule, and a root with a single child takes over its content.
//
// Every call answers 0 or the code of PageFile (an I/O error, or
// kInternalErrorCode for damage).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/files/hvn/pages/page_file.h"

namespace vaultrix::files::hvn {

inline constexpr std::uint32_t kSplitBound = 15094;
inline constexpr std::uint32_t kSplitBoundMany = 4096;
inline constexpr std::size_t kSplitCount = 20;

enum class Seek {
  kAtOrAfter,   // the first record not less than the key
  kAfter,       // the first record greater than the key
  kAtOrBefore,  // the last record not greater than the key (the floor)
  kBefore,      // the last record less than the key
};

[[nodiscard]] bool NeedsSplit(const PageContent& page);

class Tree {
 public:
  explicit Tree(PageFile& file) : file_(file) {}

  // The record with exactly this key.
  [[nodiscard]] int Find(const std::string& key, Record* record, bool* found);
  [[nodiscard]] int Search(const std::string& key, Seek seek, Record* record, bool* found);
  // As Search, without a copy: `*record` points into the page cache (nullptr
  // when nothing was found) and stays valid until the tree or the cache
  // changes. A search that falls inside a leaf met lately needs no descent.
  // With `leaf`, the leaf holding the answer.
  [[nodiscard]] int Locate(const std::string& key, Seek seek, const Record** record,
                           Page** leaf = nullptr);
  // Inserts the record, or replaces the data of the record with its key.
  // Taken by value: a record built for the call moves into its page.
  [[nodiscard]] int Insert(Record record);
  [[nodiscard]] int Erase(const std::string& key, bool* erased);
  // Reports damage found by a caller walking the tree.
  [[nodiscard]] int Damage(int line) { return file_.Damage(line); }

 private:
  struct Step {
    Page* page;
    std::size_t slot;
  };
  int LocateIn(const std::string& key, Seek seek, const Record** record, Page** leaf);
  int Descend(const std::string& key, std::vector<Step>* path, Page** leaf);
  int Edge(bool first, std::vector<Step>* path, Page** leaf);
  void NotePath(const Page* leaf, const std::vector<Step>& path);
  // Inserts into a leaf a search has just met, without a descent, moving
  // `record` in; false (nothing done) when there is none or the page would
  // need a split.
  bool InsertIntoHintedLeaf(Record& record);
  int SplitRoot();
  int SplitChild(Page* page, Page* parent, std::size_t slot);
  int RemoveEmpty(std::vector<Step>& path, Page* page);
  int MergeSmall(std::vector<Step>& path, Page* page);
  int CollapseRoot();

  PageFile& file_;
};

}  // namespace vaultrix::files::hvn
