// Small files handled as a whole: read all of one, replace one atomically, and
// serialise the writers of one through a lock file. Settings files rely on
// these; readers never see a half-written file because a file is only ever
// replaced by renaming a complete, synced copy over it.
//
// Every function answers 0 or an errno value and never throws.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vaultrix::platform {

// Reads the whole file into `contents`. ENOENT when it does not exist, EFBIG
// when it holds more than `max_size` bytes (`contents` is then empty).
[[nodiscard]] int ReadWholeFile(const std::string& path, std::size_t max_size,
                                std::string& contents);

// Replaces the file's contents: writes a temporary file in the same folder,
// syncs it, renames it over `path` and syncs the folder. A new file gets mode
// 0600; an existing one keeps its permission bits.
[[nodiscard]] int ReplaceWholeFile(const std::string& path, std::string_view contents);

// The target of `path` when it is a symbolic link that resolves, else `path`.
[[nodiscard]] std::string ResolveLink(const std::string& path);

// An exclusive lock on "<path>.lock", held from a successful Acquire() until
// destruction. The lock is an open-file-description lock, so two threads of one
// process exclude each other as two processes do. The lock file is created
// mode 0600 and left in place (removing it would let a waiter lock a stale
// file). A child forked while the lock is held shares the open file and so
// keeps the lock until it exits or closes its copy.
class FileLock {
 public:
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  // Waits for the lock.
  [[nodiscard]] int Acquire(const std::string& path);

 private:
  int fd_ = -1;
};

}  // namespace vaultrix::platform
