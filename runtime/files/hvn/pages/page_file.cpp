// The open HVN file: header check and repair, page cache, placement in the
// regions, and the commit protocol described in hvn/pages/page_file.h.
#include "runtime/files/hvn/pages/page_file.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/env.h"
#include "platform/guarded_copy.h"
#include "platform/shared_counters.h"
#include "runtime/files/hvn/cipher_file.h"
#include "runtime/files/hvn/pages/record_kinds.h"
#include "runtime/files/hvn/transaction.h"
#include "runtime/files/hvn/tree/btree.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/system_error_map.h"

namespace vaultrix::files::hvn {
namespace {

constexpr std::size_t kCacheLimit = 16384;

}  // namespace

PageFile::~PageFile() {
  if (file_ != nullptr) (void)Close();
}

int PageFile::Fail(int line) {
  fault_line_ = line;
  Invalidate();
  return kInternalErrorCode;
}

int PageFile::IoError(int error) {
  Invalidate();
  return support::ErrorCodeFromErrno(error);
}

void PageFile::Invalidate() {
  Forget();
  if (undo_active_) {
    // An operation of a transaction failed: the changes of the operations
    // before it live only in the dirty pages, which RestoreUndo keeps.
    for (auto it = cache_.begin(); it != cache_.end();) {
      it = it->second->dirty ? std::next(it) : cache_.erase(it);
    }
  } else {
    cache_.clear();
    dirty_refs_.clear();
  }
  dirty_count_ = 0;
  overlay_.clear();
  have_header_ = false;
  free_known_ = false;
  for (auto& set : free_) set.clear();
  released_.clear();
}

int PageFile::Open(const std::string& path, bool read_only, bool create) {
  using platform::OpenMode;
  const OpenMode mode =
      create ? OpenMode::kCreate : (read_only ? OpenMode::kReadOnly : OpenMode::kReadWrite);
  background_walk_.Stop();
  std::unique_ptr<platform::File> file;
  if (int error = platform::CurrentEnv().OpenFile(path, mode, &file); error != 0) {
    return support::ErrorCodeFromErrno(error);
  }
  file_ = MakeCipherFile(std::move(file), cipher_);
  // The transaction control file names files by their canonical path.
  char* canonical = ::realpath(path.c_str(), nullptr);
  path_ = canonical != nullptr ? canonical : path;
  std::free(canonical);
  read_only_ = read_only && !create;
  head_view_ = nullptr;
  view_refused_ = false;
  checked_ = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  named_signal_ =
      file_->Identity(&device, &inode) == 0 ? platform::SharedCounterFor(device, inode) : nullptr;
  quiet_known_ = false;
  share_held_ = 0;
  if (int code = TakeShare(true, !read_only_, false, false); code != 0) {
    (void)file_->Close();
    file_.reset();
    return code;
  }
  slot_ = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(this) >> 4) % kSlotCount;
  Invalidate();
  return 0;
}

int PageFile::Share(std::int32_t access_mode) {
  if (file_ == nullptr) return support::kFileNotOpen;
  const std::int32_t access = access_mode & 0x0F;
  const std::int32_t deny = access_mode & 0xF0;
  return TakeShare(access != 1, access != 0 && !read_only_, deny == 0x10 || deny == 0x30,
                   deny == 0x10 || deny == 0x20);
}

int PageFile::TakeShare(bool reads, bool writes, bool deny_read, bool deny_write) {
  using platform::LockKind;
  const std::pair<std::uint64_t, bool> mine[] = {{kShareReading, reads},
                                                 {kShareWriting, writes},
                                                 {kShareDenyingRead, deny_read},
                                                 {kShareDenyingWrite, deny_write}};
  // What each byte of this open conflicts with when another open holds it.
  const std::pair<std::uint64_t, bool> theirs[] = {{kShareDenyingRead, reads},
                                                   {kShareDenyingWrite, writes},
                                                   {kShareReading, deny_read},
                                                   {kShareWriting, deny_write}};
  for (const auto& [at, wanted] : mine) {
    if (!wanted) continue;
    const int error = file_->Lock(at, 1, LockKind::kShared, platform::LockWait::kTry);
    if (error != 0) return support::ErrorCodeFromErrno(error);
  }
  bool conflict = false;
  for (const auto& [at, wanted] : theirs) {
    bool held = false;
    if (!wanted) continue;
    if (int error = file_->TestLock(at, 1, LockKind::kExclusive, &held); error != 0) {
      return support::ErrorCodeFromErrno(error);
    }
    conflict = conflict || held;
  }
  if (conflict) {
    // Back to what it had: an open that started with nothing keeps nothing.
    for (const auto& [at, wanted] : mine) {
      const bool had = share_held_ & (1u << (at - kShareBase));
      if (wanted && !had) (void)file_->Unlock(at, 1);
    }
    return support::kAccessDenied;
  }
  share_held_ = 0;
  for (const auto& [at, wanted] : mine) {
    if (wanted) {
      share_held_ |= 1u << (at - kShareBase);
    } else {
      (void)file_->Unlock(at, 1);
    }
  }
  return 0;
}

int PageFile::Close() {
  background_walk_.Stop();
  if (locked_) UnlockOperation();
  Invalidate();
  head_view_ = nullptr;
  named_signal_ = nullptr;
  if (file_ == nullptr) return 0;
  const int error = file_->Close();
  file_.reset();
  return error == 0 ? 0 : support::ErrorCodeFromErrno(error);
}

int PageFile::LockOperation() {
  using platform::LockKind;
  using platform::LockWait;
  if (!read_only_) {
    if (int error = file_->Lock(kLockBase, kSlotCount, LockKind::kExclusive, LockWait::kWait)) {
      return support::ErrorCodeFromErrno(error);
    }
    locked_ = true;
    return 0;
  }
  for (std::uint64_t i = 0; i < kSlotCount; ++i) {
    const std::uint64_t slot = (slot_ + i) % kSlotCount;
    // A read-only descriptor can hold only shared locks.
    const int error = file_->Lock(kLockBase + slot, 1, LockKind::kShared, LockWait::kTry);
    if (error == 0) {
      slot_ = slot;
      locked_ = true;
      return 0;
    }
    if (error != platform::kLockConflict) return support::ErrorCodeFromErrno(error);
  }
  if (int error = file_->Lock(kLockBase + slot_, 1, LockKind::kShared, LockWait::kWait)) {
    return support::ErrorCodeFromErrno(error);
  }
  locked_ = true;
  return 0;
}

void PageFile::UnlockOperation() {
  if (!locked_) return;
  locked_ = false;
  if (read_only_) {
    (void)file_->Unlock(kLockBase + slot_, 1);
  } else {
    (void)file_->Unlock(kLockBase, kSlotCount);
  }
}

int PageFile::Begin() {
  if (file_ == nullptr) return support::kFileNotOpen;
  fault_line_ = 0;
  if (in_transaction_) {
    // The lock is held since BeginTransaction: nobody else changed the file.
    StartUndo();
    return 0;
  }
  if (int code = LockOperation(); code != 0) return code;
  if (int code = ReadHeader(); code != 0) {
    UnlockOperation();
    return code;
  }
  // A writer that will place pages needs the free slots; finding them on a
  // large file takes a walk of every index page, done meanwhile.
  if (!free_known_ && !read_only_ && overlay_.empty() &&
      DataEndOffset(committed_header_) >= BackgroundWalkThreshold()) {
    background_walk_.StartFor(*file_, committed_header_);
  }
  EvictIfFull();
  next_new_ = kFirstNewReference;
  return 0;
}

void PageFile::EvictIfFull() {
  if (cache_.size() <= kCacheLimit) return;
  Forget();
  // Leaves go first; the index pages above them are what every search needs.
  for (auto it = cache_.begin(); it != cache_.end();) {
    it = it->second->content.level == 0 ? cache_.erase(it) : std::next(it);
  }
  if (cache_.size() > kCacheLimit / 2) cache_.clear();
  if (cache_.empty()) dirty_refs_.clear();
}

bool PageFile::PeekHeader(std::uint8_t* bytes) {
  if (head_view_ == nullptr && !view_refused_ && committed_header_.committed_end >= kHeaderSize) {
    // A layer that answers every read itself never gives one; a file too
    // short for now may later.
    const int error = file_->MapHead(kHeaderSize, &head_view_);
    if (error != 0) head_view_ = nullptr;
    view_refused_ = error == ENOSYS;
  }
  if (head_view_ != nullptr) {
    // Another process may be writing the header meanwhile: a torn copy
    // differs from every header checked, so it only sends the operation the
    // slow way, under the lock. A file cut short by another program fails
    // the copy instead of ending the process; the locked path then reports
    // it. Pages are read with system calls, which order themselves after
    // this copy.
    peeked_enciphered_ = cipher_ != nullptr;
    return platform::GuardedCopy(bytes, head_view_, kHeaderSize);
  }
  peeked_enciphered_ = false;
  std::size_t done = 0;
  return file_->Read(0, bytes, kHeaderSize, &done) == 0 && done == kHeaderSize;
}

bool PageFile::HeaderIsCommitted(const std::uint8_t* bytes) {
  if (checked_ && std::memcmp(bytes, checked_bytes_.data(), kHeaderSize) == 0) return true;
  // The same cipher at the same offset makes equal stored bytes of equal
  // headers, so only a header that changed is deciphered.
  std::uint8_t plain[kHeaderSize];
  std::memcpy(plain, bytes, kHeaderSize);
  if (peeked_enciphered_ && !cipher_->Decipher(0, plain, kHeaderSize)) return false;
  FileHeader fresh;
  if (!DecodeHeader(plain, plain + kHeaderSize, &fresh) || fresh != committed_header_ ||
      fresh.committed_end != fresh.written_end) {
    return false;
  }
  std::memcpy(checked_bytes_.data(), bytes, kHeaderSize);
  checked_ = true;
  return true;
}

bool PageFile::HeaderStillChecked() {
  if (!checked_) return false;
  std::uint8_t bytes[kHeaderSize];
  return PeekHeader(bytes) && std::memcmp(bytes, checked_bytes_.data(), kHeaderSize) == 0;
}

int PageFile::BeginRead() {
  if (file_ == nullptr) return support::kFileNotOpen;
  if (!in_transaction_ && have_header_ && overlay_.empty() && dirty_count_ == 0) {
    std::uint8_t bytes[kHeaderSize];
    if (HeaderStillChecked() || (PeekHeader(bytes) && HeaderIsCommitted(bytes))) {
      // checked_bytes_ now holds the header this read began with.
      fault_line_ = 0;
      lockless_ = true;
      disk_reads_ = 0;
      // Between operations the running header is the committed one; the
      // copy is only for a header that an operation left otherwise.
      if (header_.change_counter != committed_header_.change_counter ||
          header_.root != committed_header_.root ||
          header_.last_number != committed_header_.last_number) {
        header_ = committed_header_;
      }
      EvictIfFull();
      return 0;
    }
  }
  return Begin();
}

int PageFile::EndRead(int code, bool* retry) {
  *retry = false;
  if (!lockless_) {
    Abort();
    return code;
  }
  lockless_ = false;
  if (disk_reads_ == 0 && code == 0) return 0;
  if (!HeaderStillChecked()) {
    Invalidate();
    *retry = true;
  }
  return code;
}

int PageFile::ReadHeader() {
  std::uint8_t bytes[kHeaderSize];
  std::size_t done = 0;
  if (int error = file_->Read(0, bytes, kHeaderSize, &done); error != 0) return IoError(error);
  FileHeader fresh;
  if (done > 0 && have_header_ && overlay_.empty() && DecodeHeader(bytes, bytes + done, &fresh) &&
      fresh == committed_header_ && fresh.committed_end == fresh.written_end) {
    // Unchanged since it was checked: the cached pages stay valid.
    header_ = committed_header_;
    return 0;
  }
  std::uint64_t size = 0;
  if (int error = file_->Size(&size); error != 0) return IoError(error);
  if (done == 0) {
    // An empty file is a new one.
    fresh = FileHeader();
  } else if (!DecodeHeader(bytes, bytes + done, &fresh) || !CheckRegions(fresh) ||
             fresh.committed_end > fresh.written_end ||
             fresh.committed_end < DataEndOffset(fresh) || fresh.written_end > size ||
             fresh.last_number >= kNumberLimit) {
    Invalidate();
    return support::kInvalidDataFile;
  }
  if (!have_header_ || fresh != committed_header_ || fresh.committed_end != fresh.written_end ||
      !overlay_.empty()) {
    Invalidate();
    committed_header_ = fresh;
    checked_ = false;
    header_ = fresh;
    have_header_ = true;
  } else {
    header_ = committed_header_;
  }
  if (fresh.committed_end == fresh.written_end) return 0;
  if (read_only_) {
    // Seen as the pending span would leave it, without touching the file.
    bool discarded = false;
    if (int code = DiscardPending(&discarded); code != 0 || discarded) return code;
    std::map<std::int32_t, std::string> pages;
    if (int code = ReadPendingSpan(&pages); code != 0) return code;
    overlay_ = std::move(pages);
    return 0;
  }
  return Recover();
}

int PageFile::ReadPendingSpan(std::map<std::int32_t, std::string>* pages) {
  std::uint64_t at = committed_header_.committed_end;
  const std::uint64_t end = committed_header_.written_end;
  while (at < end) {
    std::uint8_t head[kUnit];
    std::size_t done = 0;
    if (end - at < kUnit) return Fail(__LINE__);
    if (int error = file_->Read(at, head, kUnit, &done); error != 0) return IoError(error);
    if (done != kUnit) return Fail(__LINE__);
    const std::uint32_t target = Load32(head);
    const std::uint32_t length = RoundUnits(Load16(head + 4)) * kUnit;
    if (length == 0 || length > kMaxPageSize || end - at < length) return Fail(__LINE__);
    if (target < kHeaderSize || (target - kHeaderSize) % kUnit != 0 ||
        target + static_cast<std::uint64_t>(length) > committed_header_.committed_end) {
      return Fail(__LINE__);
    }
    std::string image(length, '\0');
    if (int error = file_->Read(at, image.data(), length, &done); error != 0) {
      return IoError(error);
    }
    if (done != length) return Fail(__LINE__);
    (*pages)[static_cast<std::int32_t>((target - kHeaderSize) / kUnit)] = std::move(image);
    at += length;
  }
  return 0;
}

int PageFile::Recover() {
  bool discarded = false;
  if (int code = DiscardPending(&discarded); code != 0 || discarded) return code;
  std::map<std::int32_t, std::string> pages;
  if (int code = ReadPendingSpan(&pages); code != 0) return code;
  for (const auto& [ref, image] : pages) {
    if (int code = WriteAll(PageOffset(ref), image); code != 0) return code;
  }
  if (int error = file_->Flush(true); error != 0) return IoError(error);
  header_.committed_end = header_.written_end = DataEndOffset(header_);
  if (int code = WriteHeader(); code != 0) return code;
  if (int error = file_->Flush(true); error != 0) return IoError(error);
  committed_header_ = header_;
  checked_ = false;
  // The span is home now: what lies behind the data is of no use (after an
  // interrupted PACK, most of the file).
  (void)file_->Truncate(header_.committed_end);
  return 0;
}

int PageFile::End() {
  if (in_transaction_) {
    EndUndo();
    return 0;
  }
  int code = 0;
  const bool changed = header_ != committed_header_ || dirty_count_ > 0;
  if (changed) code = read_only_ ? support::kAccessDenied : Commit();
  // The space behind the committed data holds only spans already copied
  // home: cutting it off (or failing to) loses nothing.
  if (code == 0 && cut_after_commit_) (void)file_->Truncate(committed_header_.committed_end);
  cut_after_commit_ = false;
  if (code != 0) Invalidate();
  UnlockOperation();
  return code;
}

void PageFile::Abort() {
  cut_after_commit_ = false;
  if (in_transaction_) {
    RestoreUndo();
    return;
  }
  if (dirty_count_ > 0 || header_ != committed_header_) {
    Forget();
    for (auto it = cache_.begin(); it != cache_.end();) {
      it = it->second->dirty || it->first >= kFirstNewReference ? cache_.erase(it) : std::next(it);
    }
    // Pages that left the tree gave their slots to the free map, and moved
    // or freed pages no longer match the regions: start both afresh.
    if (header_ != committed_header_) Invalidate();
    free_known_ = false;
    for (auto& set : free_) set.clear();
  }
  header_ = committed_header_;
  dirty_count_ = 0;
  dirty_refs_.clear();
  released_.clear();
  UnlockOperation();
}

void PageFile::ForgetLeaves() {
  if (in_transaction_ || dirty_count_ > 0 || undo_active_) return;
  Forget();
  for (auto it = cache_.begin(); it != cache_.end();) {
    it = it->second->content.level == 0 ? cache_.erase(it) : std::next(it);
  }
}

int PageFile::Fetch(std::int32_t ref, Page** page) {
  if (auto it = cache_.find(ref); it != cache_.end()) {
    *page = it->second.get();
    return 0;
  }
  const int units = UnitsAt(header_, ref);
  if (units == 0) return Fail(__LINE__);
  std::string image;
  ++disk_reads_;
  if (auto it = overlay_.find(ref); it != overlay_.end()) {
    image = it->second;
  } else {
    image.assign(static_cast<std::size_t>(units) * kUnit, '\0');
    std::size_t done = 0;
    if (int error = file_->Read(PageOffset(ref), image.data(), image.size(), &done); error != 0) {
      return IoError(error);
    }
    if (done != image.size()) return Fail(__LINE__);
  }
  auto fresh = std::make_unique<Page>();
  fresh->ref = ref;
  fresh->units = units;
  const auto* p = reinterpret_cast<const std::uint8_t*>(image.data());
  if (image.size() != static_cast<std::size_t>(units) * kUnit) return Fail(__LINE__);
  if (int line = DecodePage(p, p + image.size(), static_cast<std::uint32_t>(PageOffset(ref)),
                            &fresh->content);
      line != 0) {
    Wipe(image);
    return Fail(line);
  }
  Wipe(image);
  *page = fresh.get();
  cache_.emplace(ref, std::move(fresh));
  return 0;
}

Page* PageFile::Create(std::uint8_t level) {
  auto fresh = std::make_unique<Page>();
  fresh->ref = next_new_++;
  fresh->content.level = level;
  fresh->dirty = true;
  ++dirty_count_;
  dirty_refs_.push_back(fresh->ref);
  Page* page = fresh.get();
  cache_.emplace(page->ref, std::move(fresh));
  return page;
}

void PageFile::MarkDirty(Page* page) {
  Forget();
  if (undo_active_) SaveForUndo(page);
  if (page->dirty) return;
  page->dirty = true;
  ++dirty_count_;
  dirty_refs_.push_back(page->ref);
  if (placing_ && place_queue_ != nullptr) place_queue_->push_back(page);
}

void PageFile::Discard(Page* page) {
  if (undo_active_) SaveForUndo(page);
  if (page->ref < kFirstNewReference && page->units > 0) {
    if (free_known_) free_[page->units].insert(page->ref);
    released_.push_back(page->ref);
  }
  Forget();
  cache_.erase(page->ref);
}

int PageFile::IssueNumber(std::uint32_t* number) {
  if (read_only_) return Fail(__LINE__);
  const auto next = NextNumber(header_.last_number);
  if (!next) return Fail(__LINE__);
  header_.last_number = *next;
  *number = *next;
  return 0;
}

void PageFile::RaiseLastNumber(std::uint32_t at_least) {
  if (at_least < kNumberLimit && header_.last_number < at_least) header_.last_number = at_least;
}

Page* PageFile::HintedLeaf(const std::string& key, std::size_t* slot) {
  *slot = std::string::npos;
  // The leaf answered from last comes first; a scan asks from its answer.
  for (std::size_t i = 0; i < hints_.size(); ++i) {
    LeafHint& hint = hints_[(next_hint_ + hints_.size() - 1 - i) % hints_.size()];
    if (hint.page == nullptr || hint.generation != generation_) continue;
    const std::vector<Record>& records = hint.page->content.records;
    if (hint.page->content.level != 0 || records.empty()) continue;
    if (hint.slot < records.size() && records[hint.slot].key == key) {
      *slot = hint.slot;
      return hint.page;
    }
    if (key < records.front().key || records.back().key < key) continue;
    return hint.page;
  }
  return nullptr;
}

void PageFile::NoteLeaf(Page* leaf, std::size_t slot) {
  LeafHint& last = hints_[(next_hint_ + hints_.size() - 1) % hints_.size()];
  if (last.page == leaf && last.generation == generation_) {
    last.slot = slot;
    return;
  }
  for (LeafHint& hint : hints_) {
    if (hint.page == leaf) hint.page = nullptr;
  }
  hints_[next_hint_] = {leaf, generation_, slot};
  next_hint_ = (next_hint_ + 1) % hints_.size();
}

const PageFile::TreePath* PageFile::PathTo(const Page* leaf) const {
  if (leaf != hint_path_leaf_ || hint_path_generation_ != generation_) return nullptr;
  return &hint_path_;
}

void PageFile::NotePath(const Page* leaf, TreePath path) {
  hint_path_ = std::move(path);
  hint_path_leaf_ = leaf;
  hint_path_generation_ = generation_;
}

std::size_t PageFile::ChildSlot(const PageContent& index, const std::string& key) {
  // The last index record not greater than the key; the first child when
  // the key sorts before them all.
  auto it = std::upper_bound(index.records.begin(), index.records.end(), key,
                             [](const std::string& k, const Record& r) { return k < r.key; });
  if (it == index.records.begin()) return 0;
  return static_cast<std::size_t>(it - index.records.begin()) - 1;
}

int PageFile::FindParent(Page* page, Page** parent, std::size_t* slot) {
  *parent = nullptr;
  if (page->ref == header_.root) return 0;
  if (page->content.records.empty() || header_.root == kNoPage) return Fail(__LINE__);
  const std::string& key = page->content.records.front().key;
  Page* at = nullptr;
  if (int code = Fetch(header_.root, &at); code != 0) return code;
  while (at->content.level > page->content.level + 1) {
    if (at->content.children.empty()) return Fail(__LINE__);
    const std::int32_t child = at->content.children[ChildSlot(at->content, key)];
    const int level = at->content.level;
    if (int code = Fetch(child, &at); code != 0) return code;
    if (at->content.level != level - 1) return Fail(__LINE__);
  }
  if (at->content.level != page->content.level + 1 || at->content.children.empty()) {
    return Fail(__LINE__);
  }
  const std::size_t index = ChildSlot(at->content, key);
  if (at->content.children[index] != page->ref) return Fail(__LINE__);
  *parent = at;
  *slot = index;
  return 0;
}

void PageFile::Rekey(Page* page, std::int32_t to) {
  auto node = cache_.extract(page->ref);
  node.key() = to;
  page->ref = to;
  cache_.insert(std::move(node));
}

int PageFile::BuildFreeMap() {
  for (auto& set : free_) set.clear();
  std::vector<bool> used;
  // A walk of the committed state holds for the first placement after it
  // once the slots of the pages that left the tree since are let go: until
  // a placement, pages only join the tree without slots. A file rebuilt
  // meanwhile (PACK) has other regions and is walked afresh.
  const bool same_shape = header_.root == committed_header_.root &&
                          header_.region_start == committed_header_.region_start &&
                          header_.region_end == committed_header_.region_end;
  if (!same_shape) background_walk_.Stop();
  if (same_shape && background_walk_.Take(committed_header_, &used)) {
    for (std::int32_t ref : released_) {
      if (static_cast<std::size_t>(ref) < used.size()) used[static_cast<std::size_t>(ref)] = false;
    }
  } else {
    const ChildrenOf current = [this](std::int32_t ref, int* level,
                                      std::vector<std::int32_t>* children) -> int {
      if (auto cached = cache_.find(ref); cached != cache_.end()) {
        *level = cached->second->content.level;
        *children = cached->second->content.children;
        return 0;
      }
      if (ref >= kFirstNewReference) return __LINE__;
      return ReadStoredChildren(*file_, header_, ref, level, children);
    };
    if (int code = MarkUsedSlots(header_, kFirstNewReference, current, &used); code != 0) {
      return code < 0 ? IoError(-code) : Fail(code);
    }
  }
  for (int k = 1; k <= kMaxUnits; ++k) {
    for (std::int32_t ref = header_.region_start[k]; ref < header_.region_end[k]; ref += k) {
      if (!used[static_cast<std::size_t>(ref)]) free_[k].insert(free_[k].end(), ref);
    }
  }
  free_known_ = true;
  return 0;
}

int PageFile::Allocate(int units, std::int32_t* ref, std::vector<Page*>* queue) {
  if (!free_[units].empty()) {
    *ref = *free_[units].begin();
    free_[units].erase(free_[units].begin());
    return 0;
  }
  return GrowRegion(units, ref, queue);
}

int PageFile::GrowRegion(int k, std::int32_t* ref, std::vector<Page*>* queue) {
  auto next_region = [&]() {
    for (int j = k + 1; j <= kMaxUnits; ++j) {
      if (header_.region_start[j] < header_.region_end[j]) return j;
    }
    return 0;
  };
  if (header_.region_start[k] == header_.region_end[k]) {
    std::int32_t base = 0;
    for (int j = 1; j < k; ++j) {
      if (header_.region_start[j] < header_.region_end[j])
        base = std::max(base, header_.region_end[j]);
    }
    header_.region_start[k] = header_.region_end[k] = base;
  }
  for (int j = next_region(); j != 0; j = next_region()) {
    if (header_.region_start[j] - header_.region_end[k] >= k) break;
    const std::int32_t front = header_.region_start[j];
    if (free_[j].count(front)) {
      free_[j].erase(front);
    } else {
      Page* page = nullptr;
      if (int code = Fetch(front, &page); code != 0) return code;
      std::int32_t to = 0;
      if (int code = Allocate(j, &to, queue); code != 0) return code;
      if (int code = MovePage(page, to, queue); code != 0) return code;
    }
    header_.region_start[j] += j;
    if (header_.region_start[j] == header_.region_end[j]) continue;
  }
  *ref = header_.region_end[k];
  header_.region_end[k] += k;
  if (next_region() == 0) {
    for (int j = k + 1; j <= kMaxUnits; ++j) {
      header_.region_start[j] = header_.region_end[j] = header_.region_end[k];
    }
  }
  if (DataEndReference(header_) >=
      (0x7FFFFFFF - static_cast<std::int32_t>(kHeaderSize)) / 256 / 2) {
    return Fail(__LINE__);
  }
  return 0;
}

int PageFile::MovePage(Page* page, std::int32_t to, std::vector<Page*>* queue) {
  Page* parent = nullptr;
  std::size_t slot = 0;
  if (int code = FindParent(page, &parent, &slot); code != 0) return code;
  const bool was_root = page->ref == header_.root;
  Rekey(page, to);
  if (!page->dirty) {
    page->dirty = true;
    queue->push_back(page);
  }
  if (was_root) {
    header_.root = to;
  } else {
    parent->content.children[slot] = to;
    if (!parent->dirty) {
      parent->dirty = true;
      queue->push_back(parent);
    }
  }
  return 0;
}

int PageFile::Place(std::vector<Page*>* queue) {
  if (!free_known_) {
    if (int code = BuildFreeMap(); code != 0) return code;
  }
  placing_ = true;
  place_queue_ = queue;
  for (std::size_t i = 0; i < queue->size(); ++i) {
    Page* page = (*queue)[i];
    Wipe(page->image);
    page->image = EncodePage(page->content, 0);
    if (page->image.empty()) {
      placing_ = false;
      return support::kInvalidRecordDeclaration;  // a record too large for any page
    }
    const int units = static_cast<int>(page->image.size() / kUnit);
    if (page->ref < kFirstNewReference && page->units == units) continue;
    std::int32_t to = 0;
    if (int code = Allocate(units, &to, queue); code != 0) {
      placing_ = false;
      return code;
    }
    const std::int32_t old_ref = page->ref;
    const int old_units = page->units;
    Page* parent = nullptr;
    std::size_t slot = 0;
    if (int code = FindParent(page, &parent, &slot); code != 0) {
      placing_ = false;
      return code;
    }
    const bool was_root = old_ref == header_.root;
    Rekey(page, to);
    page->units = units;
    if (was_root) {
      header_.root = to;
    } else {
      parent->content.children[slot] = to;
      MarkDirty(parent);
    }
    if (old_ref < kFirstNewReference && old_units > 0) free_[old_units].insert(old_ref);
  }
  placing_ = false;
  place_queue_ = nullptr;
  TrimRegions();
  return 0;
}

void PageFile::TrimRegions() {
  for (int k = 1; k <= kMaxUnits; ++k) {
    while (header_.region_end[k] > header_.region_start[k] &&
           free_[k].count(header_.region_end[k] - k)) {
      free_[k].erase(header_.region_end[k] - k);
      header_.region_end[k] -= k;
    }
  }
}

int PageFile::WriteAll(std::uint64_t offset, const std::string& bytes) {
  std::size_t done = 0;
  if (int error = file_->Write(offset, bytes.data(), bytes.size(), &done); error != 0) {
    return IoError(error);
  }
  if (done != bytes.size()) {
    Invalidate();
    return support::kAccessDenied;
  }
  return 0;
}

int PageFile::WriteHeader() {
  std::string bytes(kHeaderSize, '\0');
  EncodeHeader(header_, reinterpret_cast<std::uint8_t*>(bytes.data()));
  return WriteAll(0, bytes);
}

int PageFile::Commit() {
  if (int code = Prepare(); code != 0) return code;
  return Finish();
}

int PageFile::Prepare() {
  std::vector<Page*>& queue = prepared_pages_;
  queue.clear();
  // Deterministic placement: pages in reference order.
  std::sort(dirty_refs_.begin(), dirty_refs_.end());
  dirty_refs_.erase(std::unique(dirty_refs_.begin(), dirty_refs_.end()), dirty_refs_.end());
  for (std::int32_t ref : dirty_refs_) {
    const auto it = cache_.find(ref);
    if (it != cache_.end() && it->second->dirty) queue.push_back(it->second.get());
  }
  if (int code = Place(&queue); code != 0) return code;  // (0)
  header_.change_counter += 1;                           // (1)
  const std::uint32_t base = std::max(DataEndOffset(header_), DataEndOffset(committed_header_));
  std::string& span = prepared_span_;
  auto& homes = prepared_homes_;  // file offset, span position
  Wipe(span);
  homes.clear();
  for (Page* page : queue) {
    const std::uint64_t home = PageOffset(page->ref);
    std::string& image = page->image;
    if (image.size() != static_cast<std::size_t>(page->units) * kUnit) return Fail(__LINE__);
    // Placement may have moved the page and its children since it encoded it.
    auto* out = reinterpret_cast<std::uint8_t*>(image.data());
    Store32(out, static_cast<std::uint32_t>(home));
    for (std::size_t c = 0; page->content.level > 0 && c < page->content.children.size(); ++c) {
      Store32(out + kPageHeaderSize + 4 * c, static_cast<std::uint32_t>(page->content.children[c]));
    }
    homes.emplace_back(home, span.size());
    span += image;
    Wipe(image);
    std::string().swap(image);
  }
  header_.committed_end = base;
  header_.written_end = static_cast<std::uint32_t>(base + span.size());
  if (int code = WriteAll(base, span); code != 0) return code;            // (2)
  if (int error = file_->Flush(true); error != 0) return IoError(error);  // (3)
  if (int code = WriteHeader(); code != 0) return code;
  if (int error = file_->Flush(true); error != 0) return IoError(error);
  return 0;
}

int PageFile::Finish() {
  std::string& span = prepared_span_;
  auto& homes = prepared_homes_;
  std::sort(homes.begin(), homes.end());
  for (std::size_t i = 0; i < homes.size();) {  // (4)
    // Neighbouring home slots go out in one write.
    std::string run;
    std::uint64_t end = homes[i].first;
    std::size_t j = i;
    for (; j < homes.size() && homes[j].first == end; ++j) {
      const auto* p = reinterpret_cast<const std::uint8_t*>(span.data() + homes[j].second);
      const std::size_t length = static_cast<std::size_t>(RoundUnits(Load16(p + 4)) * kUnit);
      run.append(span, homes[j].second, length);
      end += length;
    }
    if (int code = WriteAll(homes[i].first, run); code != 0) return code;
    Wipe(run);
    i = j;
  }
  Wipe(span);
  if (int error = file_->Flush(true); error != 0) return IoError(error);
  header_.committed_end = header_.written_end = DataEndOffset(header_);  // (5)
  if (int code = WriteHeader(); code != 0) return code;
  if (int error = file_->Flush(true); error != 0) return IoError(error);
  for (Page* page : prepared_pages_) page->dirty = false;
  prepared_pages_.clear();
  released_.clear();
  dirty_refs_.clear();
  homes.clear();
  dirty_count_ = 0;
  committed_header_ = header_;
  checked_ = false;
  return 0;
}

int PageFile::DiscardPending(bool* discarded) {
  *discarded = false;
  // The transaction record of the pending state, if any.
  if (int code = ReadPendingSpan(&overlay_); code != 0) return code;
  Record record;
  bool found = false;
  int code = 0;
  if (header_.root != kNoPage) {
    Tree tree(*this);
    code = tree.Find(TransactionKey(), &record, &found);
  }
  Forget();
  cache_.clear();
  dirty_refs_.clear();
  overlay_.clear();
  if (code != 0) return code;
  TransactionRecord transaction;
  FileHeader old_header;
  if (!found || !DecodeTransaction(record.data, &transaction) ||
      !FindLiveTransaction(transaction.control_file, transaction.number, path_, &old_header)) {
    return 0;
  }
  // Not committed: the old state is still at home; put its header back
  // (a read-only opener only reads by it).
  header_ = old_header;
  header_.committed_end = header_.written_end = DataEndOffset(header_);
  if (!read_only_) {
    if (int write = WriteHeader(); write != 0) return write;
    if (int error = file_->Flush(true); error != 0) return IoError(error);
  }
  committed_header_ = header_;
  checked_ = false;
  *discarded = true;
  return 0;
}

void PageFile::StartUndo() {
  EndUndo();
  undo_active_ = true;
  undo_first_new_ = next_new_;
  undo_dirty_count_ = dirty_count_;
  undo_header_ = header_;
}

void PageFile::SaveForUndo(Page* page) {
  // Pages the operation created have nothing to save; a page is saved once,
  // before its first change.
  if (page->ref >= undo_first_new_) return;
  auto [it, fresh] = undo_.try_emplace(page->ref);
  if (!fresh) return;
  SavedPage& saved = it->second;
  saved.was_dirty = page->dirty;
  if (!page->dirty) return;
  saved.units = page->units;
  saved.level = page->content.level;
  saved.children = page->content.children;
  const std::vector<Record>& records = page->content.records;
  saved.count = records.size();
  std::size_t size = 0;
  for (const Record& record : records) size += 8 + record.key.size() + record.data.size();
  std::string& flat = saved.records;
  flat.resize(size);
  char* out = flat.data();
  auto put = [&out](const std::string& bytes) {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    std::memcpy(out, &length, 4);
    std::memcpy(out + 4, bytes.data(), bytes.size());
    out += 4 + bytes.size();
  };
  for (const Record& record : records) {
    put(record.key);
    put(record.data);
  }
}

namespace {

// The records SaveForUndo flattened.
std::vector<Record> Unflatten(const std::string& flat, std::size_t count) {
  std::vector<Record> records(count);
  const char* in = flat.data();
  auto take = [&in](std::string& bytes) {
    std::uint32_t length = 0;
    std::memcpy(&length, in, 4);
    bytes.assign(in + 4, length);
    in += 4 + length;
  };
  for (Record& record : records) {
    take(record.key);
    take(record.data);
  }
  return records;
}

}  // namespace

void PageFile::EndUndo() {
  undo_active_ = false;
  undo_.clear();
}

void PageFile::RestoreUndo() {
  // Outside an operation there is nothing of its own to drop.
  if (!undo_active_) return;
  const bool changed = !undo_.empty() || next_new_ != undo_first_new_;
  if (changed) {
    Forget();
    for (std::int32_t ref = undo_first_new_; ref < next_new_; ++ref) cache_.erase(ref);
    next_new_ = undo_first_new_;
    for (auto& [ref, saved] : undo_) {
      if (!saved.was_dirty) {
        cache_.erase(ref);  // read again from the disk when needed
        continue;
      }
      std::unique_ptr<Page>& page = cache_[ref];
      if (page == nullptr) page = std::make_unique<Page>();
      Wipe(page->content.records);
      page->ref = ref;
      page->units = saved.units;
      page->dirty = true;
      page->content.level = saved.level;
      page->content.children = std::move(saved.children);
      page->content.records = Unflatten(saved.records, saved.count);
    }
    // Pages that left the tree gave their slots to the free map: the next
    // placement builds it afresh. Those the operation let go are back.
    free_known_ = false;
    for (auto& set : free_) set.clear();
    std::erase_if(released_, [this](std::int32_t ref) { return undo_.count(ref) != 0; });
  }
  EndUndo();
  dirty_count_ = undo_dirty_count_;
  header_ = undo_header_;
}

int PageFile::BeginTransaction(std::int64_t timeout_hundredths) {
  if (file_ == nullptr) return support::kFileNotOpen;
  if (read_only_) return support::kAccessDenied;
  if (in_transaction_) return support::kLogoutAlreadyActive;
  const std::int64_t start = platform::CurrentClock().SteadyMilliseconds() / 10;
  while (true) {
    const int error = file_->Lock(kLockBase, kSlotCount, platform::LockKind::kExclusive,
                                  platform::LockWait::kTry);
    if (error == 0) break;
    if (error != platform::kLockConflict) return support::ErrorCodeFromErrno(error);
    if (platform::CurrentClock().SteadyMilliseconds() / 10 - start >= timeout_hundredths) {
      return support::kFileIsAlreadyLocked;
    }
    WaitForOtherTransaction();
  }
  locked_ = true;
  if (int code = ReadHeader(); code != 0) {
    UnlockOperation();
    return code;
  }
  in_transaction_ = true;
  EndUndo();
  return 0;
}

int PageFile::PrepareTransaction() {
  if (!in_transaction_) return support::kUnableToLogTransaction;
  const int code = (header_ != committed_header_ || dirty_count_ > 0) ? Prepare() : 0;
  if (code != 0) {
    in_transaction_ = false;
    Invalidate();
    UnlockOperation();
  }
  return code;
}

int PageFile::FinishTransaction() {
  if (!in_transaction_) return support::kUnableToLogTransaction;
  in_transaction_ = false;
  const int code = prepared_pages_.empty() && header_ == committed_header_ ? 0 : Finish();
  if (code != 0) Invalidate();
  UnlockOperation();
  return code;
}

void PageFile::RollbackTransaction() {
  if (!in_transaction_) return;
  in_transaction_ = false;
  EndUndo();
  Invalidate();
  UnlockOperation();
}

int PageFile::LockNamed(std::uint32_t n, bool wait) {
  const int error =
      file_->Lock(kNamedLockBase + n, 1,
                  read_only_ ? platform::LockKind::kShared : platform::LockKind::kExclusive,
                  wait ? platform::LockWait::kWait : platform::LockWait::kTry);
  if (error == platform::kLockConflict) return -1;
  if (error != 0) return support::ErrorCodeFromErrno(error);
  // After the lock is in place, so that a station that read the counter
  // before this and found no lock held reads a new value next time.
  if (named_signal_ != nullptr) named_signal_->fetch_add(1, std::memory_order_acq_rel);
  return 0;
}

int PageFile::MarkTableOpen(std::uint32_t id) {
  const int error = file_->Lock(kTablePresenceBase + id, 1, platform::LockKind::kShared,
                                platform::LockWait::kTry);
  return error == 0 ? 0 : support::ErrorCodeFromErrno(error);
}

bool PageFile::TableOpenElsewhere(std::uint32_t id) {
  bool held = false;
  // When the system cannot tell, the table counts as open: CREATE then
  // refuses rather than dropping records another station may be using.
  if (file_->TestLock(kTablePresenceBase + id, 1, platform::LockKind::kExclusive, &held) != 0) {
    return true;
  }
  return held;
}

int PageFile::UnlockNamed(std::uint32_t n) {
  const int error = file_->Unlock(kNamedLockBase + n, 1);
  return error == 0 ? 0 : support::ErrorCodeFromErrno(error);
}

bool PageFile::NamedHeldElsewhere(std::uint32_t n) {
  bool held = false;
  if (named_signal_ != nullptr) {
    // No station has taken a named lock since one check of the whole range
    // found none held elsewhere: nothing to ask the system.
    const std::uint64_t signal = named_signal_->load(std::memory_order_acquire);
    if (quiet_known_ && signal == quiet_at_) return false;
    if (file_->TestLock(kNamedLockBase, kShareBase - kNamedLockBase, platform::LockKind::kExclusive,
                        &held) == 0 &&
        !held) {
      quiet_at_ = signal;
      quiet_known_ = true;
      return false;
    }
    quiet_known_ = false;
  }
  if (file_->TestLock(kNamedLockBase + n, 1, platform::LockKind::kExclusive, &held) != 0) {
    return false;
  }
  return held;
}

}  // namespace vaultrix::files::hvn
