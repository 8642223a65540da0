// An open HVN file: its handle, the in-memory header, the page cache, page
// placement in the regions, the lock regions, and the commit of an update.
//
// Commit protocol. An operation runs between Begin and End; the pages it
// changes stay in the cache, marked dirty, until End commits them:
//   (0) every changed page is encoded and given a slot in the region of its
//       size (a region grows by moving the front page of the region above to
//       a free slot of its own region, the parent's reference updated);
//   (1) the change counter is incremented;
//   (2) the changed pages are written as one block past the end of the data
//       of both the old and the new header (the pending span);
//   (3) flush; the header, showing the pending span, is written; flush;
//   (4) each page of the span is copied to its home slot; flush;
//   (5) the header is written with committed end = written end; flush.
// A changing operation runs under the exclusive lock; a read-only opener
// holds a shared slot instead and never writes. Reads may run without a
// lock while the header stays put (I9).
//
// Invariants (each has a test: I1-I8 in tests/files/hvn/commit_test.cpp, I9
// and I10 in tests/files/hvn/stations_test.cpp):
//   I1 Until the header of step 3 is on the disk, nothing is written inside
//      the data of the old header: the old state stays whole.
//   I2 The pending span is on the disk before the header that names it
//      (flush between steps 2 and 3).
//   I3 The pages copied home are on the disk before the header that says the
//      span is done (the flush of step 4; without it the system could write
//      that header first).
//   I4 A header naming a pending span is completed by the next writer that
//      checks it: the pages are copied home (again) and the ends set equal,
//      which is harmless when step 4 had already run.
//   I5 The header of step 5 is on the disk before the next commit writes a
//      new span, which may overlap the old span (the flush of step 5).
//   I6 After a failed write or flush the file object forgets its cache and
//      header; the next operation reads the header again and repairs.
//   I7 Every operation reads the header first; a moved change counter
//      drops the cached pages.
//   I8 A read-only opener that finds a pending span reads the pending pages
//      in place of their home copies and leaves the file alone.
//   I9 A read without the lock is accepted only when the header read after
//      it equals the header read before it: a commit writes its header
//      (step 3, a new change counter) before it copies any page home, so a
//      page read from the disk in between belongs to the state of that
//      header. A header naming a pending span always takes the lock. The
//      header is read through the file's shared view where it gives one, so
//      this check costs no system call.
//   I10 A read is refused (43) when another open holds the record. A
//      station moves the file's shared counter (platform/shared_counters.h)
//      after each named lock it takes; a reader skips asking the system
//      only while the counter stays where a test of the whole named range
//      found no lock held elsewhere.
//
// Damage found in the file (a page disagreeing with its region, a record walk
// not ending at the unpacked length, references out of range) answers
// kInternalErrorCode with the line of the failed check in fault_line().
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file.h"
#include "runtime/files/hvn/cipher.h"
#include "runtime/files/hvn/pages/header.h"
#include "runtime/files/hvn/pages/page.h"
#include "runtime/files/hvn/pages/used_slots.h"
#include "runtime/files/hvn/tree/leaf_cache.h"

namespace vaultrix::files::hvn {

// Lock regions, far beyond any data.
inline constexpr std::uint64_t kLockBase = 0x80000000;
inline constexpr std::uint64_t kSlotCount = 1024;
inline constexpr std::uint64_t kNamedLockBase = 0x80000400;
// Share-mode bytes, just past the highest named lock (number 0xFE000000).
// Each open holds a shared lock on those that describe it, from OPEN to
// CLOSE: reading, writing, denying reading, denying writing. An open that
// finds a lock held elsewhere on a byte its own access or denial conflicts
// with is refused (5), after taking its own, so two opens racing each other
// cannot both slip through.
inline constexpr std::uint64_t kShareBase = kNamedLockBase + 0xFE000001;
inline constexpr std::uint64_t kShareReading = kShareBase;
inline constexpr std::uint64_t kShareWriting = kShareBase + 1;
inline constexpr std::uint64_t kShareDenyingRead = kShareBase + 2;
inline constexpr std::uint64_t kShareDenyingWrite = kShareBase + 3;
// Table presence, one byte per table id after them: each open of a table
// holds a shared lock on its byte, so CREATE can refuse to replace a table
// that is open.
inline constexpr std::uint64_t kTablePresenceBase = kShareBase + 4;

// The answer of an operation that met damage (see fault_line()).
inline constexpr std::int32_t kInternalErrorCode = 599;

// References at or above this are pages not placed yet.
inline constexpr std::int32_t kFirstNewReference = 0x40000000;

struct Page {
  Page() = default;
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;
  ~Page() {
    Wipe(content.records);
    Wipe(image);
  }

  std::int32_t ref = kNoPage;
  int units = 0;  // the size of the slot it has; 0 while it has none
  bool dirty = false;
  PageContent content;
  // Encoded by the placement of the running commit (own offset and child
  // references rewritten when it is written); empty otherwise.
  std::string image;
};

class PageFile {
 public:
  PageFile() = default;
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;
  ~PageFile();

  // Every later Open enciphers and deciphers the file's transfers with
  // `context` (hvn/cipher_file.h); null for a plain file.
  void UseCipher(std::shared_ptr<const CipherContext> context) { cipher_ = std::move(context); }
  // Opens the operating-system file; `create` makes it when missing. The
  // open reads (and writes unless `read_only`) and denies nothing, until
  // Share says otherwise; 5 when another open denies what this one does.
  [[nodiscard]] int Open(const std::string& path, bool read_only, bool create);
  // Declares this open's access and denial from an access mode (low nibble:
  // 0 read, 1 write, 2 both; high nibble 0x10 deny all, 0x20 deny write,
  // 0x30 deny read, anything else none): 5 "Access Denied" when it
  // conflicts with another open, which then keeps what it had.
  [[nodiscard]] int Share(std::int32_t access_mode);
  [[nodiscard]] int Close();
  [[nodiscard]] bool is_open() const { return file_ != nullptr; }
  [[nodiscard]] bool read_only() const { return read_only_; }

  // Starts an operation: takes the operation's lock and checks the header
  // (repairing an interrupted commit). An empty file reads as a new one.
  [[nodiscard]] int Begin();
  // Ends it: commits changed pages, then releases the lock.
  [[nodiscard]] int End();
  // Ends it dropping every change.
  void Abort();

  // A reading operation. While the header has not moved since the last
  // operation it runs without the lock, on the pages it has cached or reads:
  // EndRead reads the header again when a page came from the disk or the
  // work failed, and asks for a retry (under the lock) when it moved, since
  // a commit may have been copying pages home meanwhile (I9). Otherwise
  // BeginRead is Begin and EndRead releases the lock.
  [[nodiscard]] int BeginRead();
  [[nodiscard]] int EndRead(int code, bool* retry);

  [[nodiscard]] int Fetch(std::int32_t ref, Page** page);
  [[nodiscard]] Page* Create(std::uint8_t level);
  // Called before a page is changed (inside a transaction the page is saved
  // then, so that a failed operation can drop its own changes).
  void MarkDirty(Page* page);
  // The page has left the tree: its slot is free and it leaves the cache.
  void Discard(Page* page);

  [[nodiscard]] std::int32_t root() const { return header_.root; }
  void set_root(std::int32_t ref) { header_.root = ref; }
  // The next record number or table id; kInternalErrorCode when the numbers
  // are used up or the file is read-only.
  [[nodiscard]] int IssueNumber(std::uint32_t* number);
  void RaiseLastNumber(std::uint32_t at_least);

  // Lays the whole tree out afresh within the running operation
  // (hvn/pages/compact.cpp): leaves filled up to the split rule in key order,
  // index pages above them, every page in the lowest slots of its region
  // with no gap between the regions. End then commits it like any change
  // and afterwards cuts off the file behind the data.
  [[nodiscard]] int Compact();
  // True when another open of the file, in this process or another, holds
  // it open.
  [[nodiscard]] bool OpenElsewhere();

  [[nodiscard]] const FileHeader& header() const { return header_; }
  [[nodiscard]] int fault_line() const { return fault_line_; }
  // Reports damage found by a caller at `line`.
  [[nodiscard]] int Damage(int line) { return Fail(line); }
  [[nodiscard]] platform::File* file() { return file_.get(); }
  [[nodiscard]] std::size_t cached_pages() const { return cache_.size(); }
  // Forgets the cached leaves, as the cache does when it is full (the index
  // pages above them stay), so that the next reads of records come from the
  // disk; nothing while changes wait for their commit.
  void ForgetLeaves();

  // Transactions. From BeginTransaction to FinishTransaction or
  // RollbackTransaction the file's exclusive lock stays held and operations
  // keep their changes in memory (a failed operation drops only its own:
  // each saves a page the first time it marks it, so its cost follows the
  // pages it changes, not the size of the transaction).
  // PrepareTransaction writes the pending span and its header (steps 0-3)
  // after the caller has recorded the transaction as live in the control
  // file; FinishTransaction copies the pages home (steps 4-5) once the
  // control file says it is finished. A pending span whose tree names a
  // transaction still live in its control file is discarded by the header
  // check, and the header the control file kept is put back.
  [[nodiscard]] int BeginTransaction(std::int64_t timeout_hundredths);
  [[nodiscard]] bool in_transaction() const { return in_transaction_; }
  [[nodiscard]] int PrepareTransaction();
  [[nodiscard]] int FinishTransaction();
  void RollbackTransaction();
  [[nodiscard]] const FileHeader& committed_header() const { return committed_header_; }
  [[nodiscard]] const std::string& path() const { return path_; }

  // Marks table `id` open through this file until it closes.
  [[nodiscard]] int MarkTableOpen(std::uint32_t id);
  // True when another open holds table `id` open.
  [[nodiscard]] bool TableOpenElsewhere(std::uint32_t id);

  // Named locks (LOCK: table id + 1, HOLD: record number + 1).
  [[nodiscard]] int LockNamed(std::uint32_t n, bool wait);
  [[nodiscard]] int UnlockNamed(std::uint32_t n);
  [[nodiscard]] bool NamedHeldElsewhere(std::uint32_t n);

  // A leaf met lately whose records span `key` (its first key <= key <= its
  // last), so a search for `key` needs no descent; nullptr when none is
  // known. `*slot` is the index of the record with exactly that key when it
  // was the answer of the search that noted the leaf, else npos. Any change
  // to the cache forgets them (generation_).
  [[nodiscard]] Page* HintedLeaf(const std::string& key, std::size_t* slot);
  void NoteLeaf(Page* leaf, std::size_t slot);
  // The index pages (and the child slot taken in each) above the leaf a
  // search noted last, so the next leaf is one step away; nullptr when
  // `leaf` is not that leaf or the cache changed since.
  using TreePath = std::vector<std::pair<Page*, std::size_t>>;
  [[nodiscard]] const TreePath* PathTo(const Page* leaf) const;
  void NotePath(const Page* leaf, TreePath path);

  // Moves whenever a cached page may go or change: what points into the
  // cache is good only in the generation it was taken in.
  [[nodiscard]] std::uint64_t generation() const { return generation_; }
  // Data leaves met lately (hvn/tree/leaf_cache.h).
  [[nodiscard]] RecordLeaves& record_leaves() { return record_leaves_; }

  // The index of the child of an index page whose subtree holds `key`.
  [[nodiscard]] static std::size_t ChildSlot(const PageContent& index, const std::string& key);

 private:
  int Fail(int line);
  int IoError(int error);
  void Invalidate();
  int LockOperation();
  int TakeShare(bool reads, bool writes, bool deny_read, bool deny_write);
  void EvictIfFull();
  void UnlockOperation();
  int ReadHeader();
  // Reads the header bytes as they are now: from the shared view when the
  // file gives one (as stored: enciphered in an owner's file), else with a
  // read (plain). False when they cannot be had.
  bool PeekHeader(std::uint8_t* bytes);
  // True when the header bytes of the last PeekHeader are those of
  // committed_header_ with no pending span.
  bool HeaderIsCommitted(const std::uint8_t* bytes);
  // True when the header is still the one HeaderIsCommitted last accepted.
  bool HeaderStillChecked();
  void Forget() { ++generation_; }
  int ReadPendingSpan(std::map<std::int32_t, std::string>* pages);
  int Recover();
  int Commit();
  int Prepare();  // steps 0 to 3
  int Finish();   // steps 4 and 5
  int Place(std::vector<Page*>* queue);
  int BuildFreeMap();
  int Allocate(int units, std::int32_t* ref, std::vector<Page*>* queue);
  int GrowRegion(int units, std::int32_t* ref, std::vector<Page*>* queue);
  int MovePage(Page* page, std::int32_t to, std::vector<Page*>* queue);
  int FindParent(Page* page, Page** parent, std::size_t* slot);
  void Rekey(Page* page, std::int32_t to);
  void TrimRegions();
  int WriteAll(std::uint64_t offset, const std::string& bytes);
  int WriteHeader();

  void StartUndo();
  void SaveForUndo(Page* page);
  void EndUndo();
  void RestoreUndo();
  int DiscardPending(bool* discarded);

  std::unique_ptr<platform::File> file_;
  std::shared_ptr<const CipherContext> cipher_;
  std::string path_;
  bool read_only_ = false;
  bool in_transaction_ = false;
  // The running operation of a transaction: the pages it marked, as they
  // were before it, and what else it may have moved.
  // A saved page's records are kept as one flat string (each key and data
  // led by its length), so that saving costs one allocation, not two per
  // record: every operation of a long transaction saves the pages it marks.
  struct SavedPage {
    SavedPage() = default;
    SavedPage(const SavedPage&) = delete;
    SavedPage& operator=(const SavedPage&) = delete;
    ~SavedPage() { Wipe(records); }
    bool was_dirty = false;  // a clean page is read again from the disk
    int units = 0;
    std::uint8_t level = 0;
    std::size_t count = 0;
    std::vector<std::int32_t> children;
    std::string records;
  };
  bool undo_active_ = false;
  std::unordered_map<std::int32_t, SavedPage> undo_;
  std::int32_t undo_first_new_ = kFirstNewReference;  // pages it created are at or past it
  std::size_t undo_dirty_count_ = 0;
  FileHeader undo_header_;
  bool locked_ = false;
  std::uint64_t slot_ = 0;  // the shared slot a read-only opener holds
  bool have_header_ = false;
  FileHeader header_;            // as the running operation sees it
  FileHeader committed_header_;  // as the disk holds it
  std::unordered_map<std::int32_t, std::unique_ptr<Page>> cache_;
  std::map<std::int32_t, std::string> overlay_;  // read-only: pending pages by reference
  bool free_known_ = false;
  BackgroundUsedSlots background_walk_;  // of the committed state, while the free map is unknown
  // The slots of the pages that left the tree since the last commit: a walk
  // of the committed state still counts them as used.
  std::vector<std::int32_t> released_;
  std::set<std::int32_t> free_[kMaxUnits + 1];
  std::int32_t next_new_ = kFirstNewReference;
  std::size_t dirty_count_ = 0;  // pages made dirty since the last commit
  // The references of the pages made dirty since the last commit (some may
  // have left the cache since, a reference may repeat): a commit finds its
  // pages here, not by a walk through the whole cache.
  std::vector<std::int32_t> dirty_refs_;
  std::vector<Page*> prepared_pages_;  // between Prepare and Finish
  std::string prepared_span_;
  std::vector<std::pair<std::uint64_t, std::size_t>> prepared_homes_;
  bool lockless_ = false;                    // the running read holds no lock
  std::size_t disk_reads_ = 0;               // pages read from the disk by the running read
  const std::uint8_t* head_view_ = nullptr;  // the file's shared view of its header
  bool view_refused_ = false;
  bool peeked_enciphered_ = false;  // the last PeekHeader gave stored, enciphered bytes
  // The last header bytes found to match committed_header_, as PeekHeader
  // gave them; checked_ falls
  // whenever committed_header_ changes.
  std::array<std::uint8_t, kHeaderSize> checked_bytes_{};
  bool checked_ = false;
  std::uint64_t generation_ = 0;  // moves whenever a cached page may go or change
  struct LeafHint {
    Page* page = nullptr;
    std::uint64_t generation = 0;
    std::size_t slot = 0;  // the record last answered from it
  };
  std::array<LeafHint, 4> hints_{};
  RecordLeaves record_leaves_;
  TreePath hint_path_;
  const Page* hint_path_leaf_ = nullptr;
  std::uint64_t hint_path_generation_ = 0;
  std::size_t next_hint_ = 0;
  // Named locks: a counter every station moves after taking one, and its
  // value when a check last found none held elsewhere.
  std::atomic<std::uint64_t>* named_signal_ = nullptr;
  std::uint64_t quiet_at_ = 0;
  bool quiet_known_ = false;
  unsigned share_held_ = 0;        // the share-mode bytes this open holds, bit k for kShareBase + k
  bool cut_after_commit_ = false;  // set by Compact for the running operation
  bool placing_ = false;
  std::vector<Page*>* place_queue_ = nullptr;
  int fault_line_ = 0;
};

}  // namespace vaultrix::files::hvn
