// Which page slots of an HVN file the tree uses: the complement is the free
// space that placement may reuse. The format keeps no list of free slots, so
// they are found by following every index page's child references from the
// root; leaves are never read, since a leaf's slot is known from its parent.
//
// Only the page header and the child references at its front are read of an
// index page: they are stored unpacked ahead of the record area, so neither
// the records nor the run-length packing need decoding. On a large file that
// still means reading every index page once (about 1,700 at 200,000
// entries), so BackgroundUsedSlots does it on its own thread a moment after
// a writer opened the file (once the window that opened it has read its
// first page, and while the user looks at it), from the committed state,
// for the first placement to take.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/file.h"
#include "runtime/files/hvn/pages/header.h"

namespace vaultrix::files::hvn {

// The level of the page at `ref` and, for an index page, its child
// references. Answers 0, or the line of a failed check or a negated errno.
using ChildrenOf =
    std::function<int(std::int32_t ref, int* level, std::vector<std::int32_t>* children)>;

// Marks in `used` (indexed by reference, sized to the end of the data) every
// slot the tree under `header.root` occupies. `children_of` is asked for
// every page reached above the leaves; references at or past
// `first_unplaced` belong to pages not placed yet and take no slot (they are
// asked about all the same). Answers 0, or the line of the check that failed
// (a child outside every region or reached twice, a tree too deep), or what
// `children_of` answered.
[[nodiscard]] int MarkUsedSlots(const FileHeader& header, std::int32_t first_unplaced,
                                const ChildrenOf& children_of, std::vector<bool>* used);

// Reads the children of the page at `ref` as stored in `file`: its header
// and child references only. Answers 0, a negated errno, or the line of a
// failed check (own offset, lengths, level).
[[nodiscard]] int ReadStoredChildren(platform::File& file, const FileHeader& header,
                                     std::int32_t ref, int* level,
                                     std::vector<std::int32_t>* children);

// Files whose data ends before this offset are walked when their free slots
// are first needed, not on a thread: for them a thread costs more than the
// walk. Process-wide; tests lower it.
[[nodiscard]] std::uint32_t BackgroundWalkThreshold();
void SetBackgroundWalkThreshold(std::uint32_t data_end);
// How many placements in this process took a walk done on a thread.
[[nodiscard]] std::uint64_t BackgroundWalksTaken();

// The used slots of the committed state `header` of `file`, found on a
// thread of their own. The file must outlive the walk (Stop ends it).
class BackgroundUsedSlots {
 public:
  BackgroundUsedSlots() = default;
  BackgroundUsedSlots(const BackgroundUsedSlots&) = delete;
  BackgroundUsedSlots& operator=(const BackgroundUsedSlots&) = delete;
  ~BackgroundUsedSlots() { Stop(); }

  // Starts a walk of `header`'s tree unless one for that very header is
  // running or done; a walk of another header is stopped first.
  void StartFor(platform::File& file, const FileHeader& header);
  // Waits for the walk (started at once if it still waits) and hands its
  // result over when it was of `header` and succeeded; false otherwise (the
  // caller walks itself). Either way nothing is left running.
  [[nodiscard]] bool Take(const FileHeader& header, std::vector<bool>* used);
  // Ends a running walk and forgets its result.
  void Stop();

 private:
  struct Walk {
    FileHeader header;
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;                  // under mutex: the result is not wanted
    bool hurry = false;                 // under mutex: the result is wanted now
    std::atomic<bool> stopping{false};  // stop, as the walk checks it page by page
    int result = 0;
    std::vector<bool> used;
    std::thread thread;
    int owner = 0;  // the process that started the thread
  };
  // Wakes the walk: to give up (`stop`) or to start at once.
  void Signal(bool stop);

  std::unique_ptr<Walk> walk_;
};

}  // namespace vaultrix::files::hvn
