// The directory of data leaves met lately.
#include "runtime/files/hvn/tree/leaf_cache.h"

#include <algorithm>

#include "runtime/files/hvn/pages/page_file.h"
#include "runtime/files/hvn/pages/record_kinds.h"

namespace vaultrix::files::hvn {
namespace {

std::uint64_t Position(std::uint32_t table, std::uint32_t number) {
  return static_cast<std::uint64_t>(table) << 32 | number;
}

}  // namespace

constexpr std::size_t kRecentSpans = 64;

void RecordLeaves::Renew(std::uint64_t generation) {
  if (generation == generation_) return;
  sorted_.clear();
  recent_.clear();
  generation_ = generation;
}

const RecordLeaves::Span* RecordLeaves::Spanning(std::uint64_t position) const {
  // Spans never overlap: the one with the least last at or past the
  // position is the only candidate in each array.
  const auto it = std::lower_bound(sorted_.begin(), sorted_.end(), position,
                                   [](const Span& span, std::uint64_t p) { return span.last < p; });
  const auto within = [&](const Span& span) {
    return span.last >= position && span.last >> 32 == position >> 32 &&
           span.first <= static_cast<std::uint32_t>(position);
  };
  if (it != sorted_.end() && within(*it)) return &*it;
  for (const Span& span : recent_) {
    if (within(span)) return &span;
  }
  return nullptr;
}

Page* RecordLeaves::Find(std::uint32_t table, std::uint32_t number, std::uint64_t generation,
                         std::uint32_t* first) {
  Renew(generation);
  const Span* span = Spanning(Position(table, number));
  if (span == nullptr) return nullptr;
  *first = span->first;
  return span->leaf;
}

void RecordLeaves::Note(Page* leaf, std::uint32_t table, std::uint64_t generation) {
  Renew(generation);
  const std::vector<Record>& records = leaf->content.records;
  if (leaf->content.level != 0 || records.empty()) return;
  const auto first = DataKeyNumber(records.front().key, table);
  const auto last = DataKeyNumber(records.back().key, table);
  if (!first || !last || *last < *first) return;
  const std::uint64_t position = Position(table, *last);
  // A search for a number in the gap before a leaf ends in the leaf before
  // the gap, which may be known already.
  if (Spanning(position) != nullptr) return;
  recent_.push_back({position, *first, leaf});
  if (recent_.size() < kRecentSpans) return;
  const auto by_last = [](const Span& a, const Span& b) { return a.last < b.last; };
  std::sort(recent_.begin(), recent_.end(), by_last);
  const auto middle = static_cast<std::ptrdiff_t>(sorted_.size());
  sorted_.insert(sorted_.end(), recent_.begin(), recent_.end());
  std::inplace_merge(sorted_.begin(), sorted_.begin() + middle, sorted_.end(), by_last);
  recent_.clear();
}

}  // namespace vaultrix::files::hvn
