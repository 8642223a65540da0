// A random-access operating-system file and its byte-range locks, as the file
// drivers see it. Files are made by an Env (platform/env.h), so tests can put a
// failing or crash-simulating layer beneath every driver.
//
// Every call answers an error value: 0 for success, otherwise the system's
// error number (errno). Nothing here throws.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace vaultrix::platform {

// How a file is opened. Every file created here gets mode 0600.
enum class OpenMode {
  kReadOnly,     // must exist
  kReadWrite,    // must exist
  kCreate,       // read/write; created when missing, kept as it is otherwise
  kCreateNew,    // read/write; created, and EEXIST when the name is taken
  kCreateEmpty,  // read/write; created when missing, emptied otherwise
};

enum class LockKind { kShared, kExclusive };
enum class LockWait { kTry, kWait };

// The error a try-lock answers when another open file holds a conflicting lock.
inline constexpr int kLockConflict = EAGAIN;

// Length 0 of a lock range means "from start to the end of any possible file".
inline constexpr std::uint64_t kWholeFile = 0;

class File {
 public:
  virtual ~File() = default;

  // Reads up to `size` bytes at `offset`; `*done` says how many arrived (fewer
  // only at the end of the file).
  [[nodiscard]] virtual int Read(std::uint64_t offset, void* buffer, std::size_t size,
                                 std::size_t* done) = 0;
  // Writes `size` bytes at `offset`; `*done` says how many were written. A
  // result of 0 with `*done < size` is a short write (a full disk, a limit).
  [[nodiscard]] virtual int Write(std::uint64_t offset, const void* data, std::size_t size,
                                  std::size_t* done) = 0;
  [[nodiscard]] virtual int Size(std::uint64_t* size) = 0;
  [[nodiscard]] virtual int Truncate(std::uint64_t size) = 0;
  // Makes every write so far durable: the data (and the size) when
  // `data_only`, the data and all metadata otherwise.
  [[nodiscard]] virtual int Flush(bool data_only) = 0;

  // Byte-range locks of this open file. They belong to the open file, not to
  // the process: two opens of one file in one process conflict like two
  // processes. A try-lock held elsewhere answers kLockConflict.
  [[nodiscard]] virtual int Lock(std::uint64_t start, std::uint64_t length, LockKind kind,
                                 LockWait wait) = 0;
  [[nodiscard]] virtual int Unlock(std::uint64_t start, std::uint64_t length) = 0;
  // Sets `*held_elsewhere` when another open file holds a lock that would
  // conflict with taking `kind` on the range.
  [[nodiscard]] virtual int TestLock(std::uint64_t start, std::uint64_t length, LockKind kind,
                                     bool* held_elsewhere) = 0;

  // A read-only view of the file's first `size` bytes that follows the
  // writes of every process as they happen (a shared mapping), so a caller
  // can look at a header without a system call. The file must already hold
  // `size` bytes and must not shrink below them while it stays open. ENOSYS
  // where a layer must see every read (the test layers); the view lives until
  // Close.
  [[nodiscard]] virtual int MapHead(std::size_t size, const std::uint8_t** view) {
    (void)size;
    *view = nullptr;
    return ENOSYS;
  }
  // The device and inode that identify the file's storage.
  [[nodiscard]] virtual int Identity(std::uint64_t* device, std::uint64_t* inode) {
    *device = *inode = 0;
    return ENOSYS;
  }

  // Releases the file and its locks; further calls answer EBADF. The
  // destructor closes a file that is still open and drops the error.
  [[nodiscard]] virtual int Close() = 0;
};

}  // namespace vaultrix::platform
