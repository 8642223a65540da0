// The board of shared counters: one POSIX shared-memory object.
#include "platform/shared_counters.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

namespace vaultrix::platform {
namespace {

constexpr char kBoardName[] = "/vaultrix-counters";
constexpr std::size_t kCounters = 4096;
constexpr std::size_t kBoardSize = kCounters * sizeof(std::atomic<std::uint64_t>);

static_assert(std::atomic<std::uint64_t>::is_always_lock_free,
              "a counter shared between processes must be lock-free");

std::atomic<std::uint64_t>* MapBoard() {
  const int fd = ::shm_open(kBoardName, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  struct stat info;
  // Growing it is harmless when another process did so first: the new
  // bytes read as zero counters either way.
  if (::fstat(fd, &info) != 0 || info.st_uid != ::geteuid() ||
      (static_cast<std::size_t>(info.st_size) < kBoardSize &&
       ::ftruncate(fd, static_cast<off_t>(kBoardSize)) != 0)) {
    ::close(fd);
    return nullptr;
  }
  void* mapped = ::mmap(nullptr, kBoardSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  ::close(fd);
  return mapped == MAP_FAILED ? nullptr : static_cast<std::atomic<std::uint64_t>*>(mapped);
}

}  // namespace

std::atomic<std::uint64_t>* SharedCounterFor(std::uint64_t device, std::uint64_t inode) {
  static std::atomic<std::uint64_t>* const board = MapBoard();
  if (board == nullptr) return nullptr;
  std::uint64_t mixed = (device * 0x9E3779B97F4A7C15ull) ^ (inode * 0xC2B2AE3D27D4EB4Full);
  mixed ^= mixed >> 29;
  return board + mixed % kCounters;
}

}  // namespace vaultrix::platform
