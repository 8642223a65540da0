// The directory of data leaves met lately.
#include "runtime/files/hvnbt_leaves.h"

#include "runtime/files/hvnl3_file.h"
#include "runtime/files/hvnl3_records.h"

namespace vaultrix::files::hvn {
namespace {

std::uint64_t Position(std::uint32_t table, std::uint32_t number) {
  return static_cast<std::uint64_t>(table) << 32 | number;
}

}  // namespace

void RecordLeaves::Renew(std::uint64_t generation) {
  if (generation == generation_) return;
  by_last_.clear();
  generation_ = generation;
}

Page* RecordLeaves::Find(std::uint32_t table, std::uint32_t number, std::uint64_t generation) {
  Renew(generation);
  const auto it = by_last_.lower_bound(Position(table, number));
  if (it == by_last_.end() || it->first >> 32 != table || number < it->second.first) {
    return nullptr;
  }
  return it->second.leaf;
}

void RecordLeaves::Note(Page* leaf, std::uint32_t table, std::uint64_t generation) {
  Renew(generation);
  const std::vector<Record>& records = leaf->content.records;
  if (leaf->content.level != 0 || records.empty()) return;
  const auto first = DataKeyNumber(records.front().key, table);
  const auto last = DataKeyNumber(records.back().key, table);
  if (!first || !last || *last < *first) return;
  by_last_.emplace(Position(table, *last), Span{*first, leaf});
}

}  // namespace vaultrix::files::hvn
