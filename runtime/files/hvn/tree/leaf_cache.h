// Leaves of data records met lately, by table and last record number, so a
// read by record number finds its leaf without a descent from the root. A
// scan through a key reads one data record per entry, in no order of their
// numbers; each read would otherwise descend the whole tree.
//
// A leaf is known only in the generation of the page cache it was noted in
// (PageFile::generation): any change to a cached page, a page leaving the
// cache, or a header moved by another station forgets them all.
#pragma once

#include <cstdint>
#include <vector>

namespace vaultrix::files::hvn {

struct Page;

class RecordLeaves {
 public:
  // The leaf noted in `generation` whose data records of table `table` span
  // `number` (its first record's number <= `number` <= its last's), so that
  // the record is in it when it is anywhere; nullptr when none is known.
  // `*first` is the number of its first record.
  [[nodiscard]] Page* Find(std::uint32_t table, std::uint32_t number, std::uint64_t generation,
                           std::uint32_t* first);
  // Notes `leaf` when its first and last records are data records of
  // `table`; a leaf at the edge of the table's data is left to the tree.
  void Note(Page* leaf, std::uint32_t table, std::uint64_t generation);
  [[nodiscard]] std::size_t size() const { return sorted_.size() + recent_.size(); }

 private:
  struct Span {
    std::uint64_t last;  // table << 32 | the number of the leaf's last record
    std::uint32_t first;
    Page* leaf;
  };
  void Renew(std::uint64_t generation);
  [[nodiscard]] const Span* Spanning(std::uint64_t position) const;

  // Sorted by `last`, searched by halving: a flat array stays in the
  // processor's cache where a tree of nodes would not. New spans wait in
  // `recent_` and join in batches, so noting costs no more than a search.
  std::vector<Span> sorted_;
  std::vector<Span> recent_;
  std::uint64_t generation_ = 0;
};

}  // namespace vaultrix::files::hvn
