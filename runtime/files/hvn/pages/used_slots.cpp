#include "runtime/files/hvn/pages/used_slots.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>
#include <system_error>

#include "runtime/files/hvn/pages/page.h"

namespace vaultrix::files::hvn {
namespace {

// The page size at a reference, by a binary search over the non-empty
// regions (they lie in increasing k without overlap): the walk asks it for
// every leaf of the file.
class RegionIndex {
 public:
  explicit RegionIndex(const FileHeader& header) {
    for (int k = 1; k <= kMaxUnits; ++k) {
      if (header.region_start[k] < header.region_end[k]) {
        regions_.push_back({header.region_start[k], header.region_end[k], k});
      }
    }
  }

  [[nodiscard]] int UnitsAt(std::int32_t ref) const {
    auto it = std::upper_bound(regions_.begin(), regions_.end(), ref,
                               [](std::int32_t r, const Region& region) { return r < region.end; });
    if (it == regions_.end() || ref < it->start) return 0;
    return (ref - it->start) % it->units == 0 ? it->units : 0;
  }

 private:
  struct Region {
    std::int32_t start;
    std::int32_t end;
    int units;
  };
  std::vector<Region> regions_;
};

// The bytes read of an index page at first: its header and up to 124 child
// references, a whole number of cipher blocks.
constexpr std::size_t kFirstRead = 512;

// How long a walk waits before it starts (hvn/pages/used_slots.h).
constexpr std::chrono::milliseconds kWalkDelay{50};

std::atomic<std::uint32_t> background_walk_threshold{4u << 20};
std::atomic<std::uint64_t> background_walks_taken{0};

}  // namespace

std::uint32_t BackgroundWalkThreshold() {
  return background_walk_threshold.load(std::memory_order_relaxed);
}

void SetBackgroundWalkThreshold(std::uint32_t data_end) {
  background_walk_threshold.store(data_end, std::memory_order_relaxed);
}

std::uint64_t BackgroundWalksTaken() {
  return background_walks_taken.load(std::memory_order_relaxed);
}

int MarkUsedSlots(const FileHeader& header, std::int32_t first_unplaced,
                  const ChildrenOf& children_of, std::vector<bool>* used) {
  const RegionIndex regions(header);
  used->assign(static_cast<std::size_t>(DataEndReference(header)), false);
  if (header.root == kNoPage) return 0;
  struct Pending {
    std::int32_t ref;
    int depth;
    bool leaf;
  };
  std::vector<Pending> pending{{header.root, 0, false}};
  std::vector<std::int32_t> children;
  while (!pending.empty()) {
    const Pending at = pending.back();
    pending.pop_back();
    if (at.depth > kMaxLevel + 1) return __LINE__;
    if (at.ref < first_unplaced) {
      const auto slot = static_cast<std::size_t>(at.ref);
      if (regions.UnitsAt(at.ref) == 0 || slot >= used->size() || (*used)[slot]) return __LINE__;
      (*used)[slot] = true;
      // A placed leaf is known from its parent alone.
      if (at.leaf) continue;
    }
    int level = 0;
    if (int code = children_of(at.ref, &level, &children); code != 0) return code;
    if (level == 0) continue;
    for (std::int32_t child : children) pending.push_back({child, at.depth + 1, level == 1});
  }
  return 0;
}

int ReadStoredChildren(platform::File& file, const FileHeader& header, std::int32_t ref, int* level,
                       std::vector<std::int32_t>* children) {
  children->clear();
  const int units = UnitsAt(header, ref);
  if (units == 0) return __LINE__;
  const std::size_t size = static_cast<std::size_t>(units) * kUnit;
  std::uint8_t bytes[kMaxPageSize];
  std::size_t want = std::min(size, kFirstRead);
  // Child references and lengths are no secret, but the first records ride
  // along in the same blocks: wiped on every way out.
  struct WipeOnExit {
    std::uint8_t* bytes;
    const std::size_t& length;
    ~WipeOnExit() { ::explicit_bzero(bytes, length); }
  } wipe{bytes, want};
  std::size_t done = 0;
  if (int error = file.Read(PageOffset(ref), bytes, want, &done); error != 0) return -error;
  if (done != want) return __LINE__;
  PageHead fixed;
  if (int line = DecodePageHead(bytes, size, static_cast<std::uint32_t>(PageOffset(ref)), &fixed);
      line != 0) {
    return line;
  }
  *level = fixed.level;
  if (fixed.level == 0) return 0;
  const std::size_t head = fixed.head;
  const std::uint32_t count = fixed.count;
  if (head > want) {
    // Many children: the rest of the page, whole blocks from where the
    // first read stopped.
    if (int error = file.Read(PageOffset(ref) + want, bytes + want, size - want, &done);
        error != 0) {
      return -error;
    }
    if (done != size - want) return __LINE__;
    want = size;
  }
  children->reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    children->push_back(static_cast<std::int32_t>(Load32(bytes + kPageHeaderSize + 4 * i)));
  }
  return 0;
}

void BackgroundUsedSlots::StartFor(platform::File& file, const FileHeader& header) {
  if (walk_ != nullptr && walk_->header == header) return;
  Stop();
  walk_ = std::make_unique<Walk>();
  walk_->header = header;
  walk_->owner = static_cast<int>(::getpid());
  Walk* walk = walk_.get();
  // Without a thread (the system has none to give) the placement walks.
  try {
    walk->thread = std::thread([walk, &file] {
      {
        // The window that opened the file reads its first page now: the walk
        // waits for that (and for the user, who is slower), unless a
        // placement needs it at once.
        std::unique_lock<std::mutex> lock(walk->mutex);
        walk->wake.wait_for(lock, kWalkDelay, [walk] { return walk->stop || walk->hurry; });
      }
      const ChildrenOf stored = [walk, &file](std::int32_t ref, int* level,
                                              std::vector<std::int32_t>* children) {
        if (walk->stopping.load(std::memory_order_relaxed)) return -ECANCELED;
        return ReadStoredChildren(file, walk->header, ref, level, children);
      };
      // The committed state has no pages waiting for a slot.
      walk->result = MarkUsedSlots(walk->header, std::numeric_limits<std::int32_t>::max(), stored,
                                   &walk->used);
    });
  } catch (const std::system_error&) {
    walk_.reset();
  }
}

void BackgroundUsedSlots::Signal(bool stop) {
  {
    const std::lock_guard<std::mutex> lock(walk_->mutex);
    (stop ? walk_->stop : walk_->hurry) = true;
  }
  if (stop) walk_->stopping = true;
  walk_->wake.notify_all();
}

bool BackgroundUsedSlots::Take(const FileHeader& header, std::vector<bool>* used) {
  if (walk_ == nullptr) return false;
  const bool same = walk_->header == header;
  Signal(!same);
  if (walk_->owner != static_cast<int>(::getpid())) {
    // A forked child: the thread lives on in the parent only.
    (void)walk_.release();
    return false;
  }
  walk_->thread.join();
  const bool taken = same && walk_->result == 0;
  if (taken) {
    used->swap(walk_->used);
    background_walks_taken.fetch_add(1, std::memory_order_relaxed);
  }
  walk_.reset();
  return taken;
}

void BackgroundUsedSlots::Stop() {
  if (walk_ == nullptr) return;
  if (walk_->owner != static_cast<int>(::getpid())) {
    (void)walk_.release();
    return;
  }
  Signal(true);
  walk_->thread.join();
  walk_.reset();
}

}  // namespace vaultrix::files::hvn
