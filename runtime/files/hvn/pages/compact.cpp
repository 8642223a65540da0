// Compaction of an HVN file for PACK: every record of the tree is laid out
// again in fresh pages, packed as full as the split rule allows, and the
// pages are placed from the front of the file with no free slot left.
//
// Records keep their keys (and so data records their numbers); only pages
// move. The new layout replaces the whole cache as dirty pages, so the
// commit of the running operation writes it as one pending span past the
// old data: until its header is on the disk the old file stays whole, and
// after it the header check completes the copy home, as for any commit.
#include <algorithm>
#include <functional>

#include "runtime/files/hvn/tree/btree.h"
#include "runtime/files/hvn/pages/page_file.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::files::hvn {
namespace {

// True when a page of `count` records with this size bound needs no split.
bool WithinSplitRule(std::uint32_t bound, std::size_t count) {
  return bound <= kSplitBound && (bound <= kSplitBoundMany || count <= kSplitCount);
}

// Cuts `records` (in key order) into pages at `level`, each as full as the
// split rule allows; a record too large for any page still gets one alone.
std::vector<PageContent> FillPages(std::vector<Record>& records, std::uint8_t level) {
  std::vector<PageContent> pages;
  PageContent page;
  page.level = level;
  std::uint32_t bound = kPageHeaderSize;
  for (Record& record : records) {
    const std::uint32_t size = RecordBound(record, level > 0);
    if (!page.records.empty() && !WithinSplitRule(bound + size, page.records.size() + 1)) {
      pages.push_back(std::move(page));
      page = PageContent();
      page.level = level;
      bound = kPageHeaderSize;
    }
    page.records.push_back(std::move(record));
    bound += size;
  }
  if (!page.records.empty()) pages.push_back(std::move(page));
  records.clear();
  return pages;
}

}  // namespace

bool PageFile::OpenElsewhere() {
  for (std::uint64_t at : {kShareReading, kShareWriting}) {
    bool held = false;
    // When the system cannot tell, the file counts as shared.
    if (file_->TestLock(at, 1, platform::LockKind::kExclusive, &held) != 0 || held) return true;
  }
  return false;
}

int PageFile::Compact() {
  if (file_ == nullptr) return support::kFileNotOpen;
  // Every record in key order, taken out of the pages that held it.
  std::vector<Record> records;
  std::function<int(std::int32_t, int)> collect = [&](std::int32_t ref, int depth) -> int {
    if (depth > kMaxLevel + 1) return Fail(__LINE__);
    Page* page = nullptr;
    if (int code = Fetch(ref, &page); code != 0) return code;
    if (page->content.level == 0) {
      for (Record& record : page->content.records) records.push_back(std::move(record));
      page->content.records.clear();
      return 0;
    }
    const std::vector<std::int32_t> children = page->content.children;
    for (std::int32_t child : children) {
      if (int code = collect(child, depth + 1); code != 0) return code;
    }
    return 0;
  };
  if (header_.root != kNoPage) {
    if (int code = collect(header_.root, 0); code != 0) {
      Wipe(records);
      return code;
    }
  }
  // Leaves, then index levels until one page holds the rest: the root.
  std::vector<std::vector<PageContent>> levels;
  struct WipeOnExit {
    std::vector<std::vector<PageContent>>& levels;
    ~WipeOnExit() {
      for (auto& level : levels) {
        for (PageContent& page : level) Wipe(page.records);
      }
    }
  } wipe_on_exit{levels};
  if (!records.empty()) levels.push_back(FillPages(records, 0));
  while (!levels.empty() && levels.back().size() > 1) {
    if (levels.size() > static_cast<std::size_t>(kMaxLevel)) return Fail(__LINE__);
    std::vector<Record> index;
    for (const PageContent& child : levels.back()) index.push_back({child.records.front().key, {}});
    levels.push_back(FillPages(index, static_cast<std::uint8_t>(levels.size())));
  }
  // Each page's size; child references fill a fixed width, so placeholders
  // give the same size as the references placed below.
  struct Placed {
    std::size_t level;
    std::size_t index;
    int units;
  };
  std::vector<Placed> order;
  for (std::size_t level = 0; level < levels.size(); ++level) {
    for (std::size_t i = 0; i < levels[level].size(); ++i) {
      PageContent& page = levels[level][i];
      if (level > 0) page.children.assign(page.records.size(), 0);
      std::string image = EncodePage(page, 0);
      if (image.empty()) return support::kInvalidRecordDeclaration;
      order.push_back({level, i, static_cast<int>(image.size() / kUnit)});
      Wipe(image);
    }
  }
  // Regions in increasing size from reference 0; leaves first within each,
  // in key order, so that a scan reads forward.
  std::stable_sort(order.begin(), order.end(),
                   [](const Placed& a, const Placed& b) { return a.units < b.units; });
  std::vector<std::vector<std::int32_t>> refs(levels.size());
  for (std::size_t level = 0; level < levels.size(); ++level) {
    refs[level].resize(levels[level].size());
  }
  std::int32_t at = 0;
  std::size_t next = 0;
  for (int k = 1; k <= kMaxUnits; ++k) {
    header_.region_start[k] = at;
    for (; next < order.size() && order[next].units == k; ++next) {
      refs[order[next].level][order[next].index] = at;
      at += k;
    }
    header_.region_end[k] = at;
  }
  if (next != order.size()) return Fail(__LINE__);
  // The pages of a level are the children of the level above, in order.
  for (std::size_t level = 1; level < levels.size(); ++level) {
    std::size_t child = 0;
    for (PageContent& page : levels[level]) {
      for (std::int32_t& ref : page.children) ref = refs[level - 1][child++];
    }
  }
  // The new pages take the place of every cached one.
  Forget();
  cache_.clear();
  dirty_refs_.clear();
  overlay_.clear();
  free_known_ = false;
  for (auto& set : free_) set.clear();
  for (const Placed& placed : order) {
    auto page = std::make_unique<Page>();
    page->ref = refs[placed.level][placed.index];
    page->units = placed.units;
    page->dirty = true;
    dirty_refs_.push_back(page->ref);
    page->content = std::move(levels[placed.level][placed.index]);
    cache_.emplace(page->ref, std::move(page));
  }
  dirty_count_ = order.size();
  header_.root = levels.empty() ? kNoPage : refs.back().front();
  cut_after_commit_ = true;
  return 0;
}

}  // namespace vaultrix::files::hvn
