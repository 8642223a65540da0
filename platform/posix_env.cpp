// The real environment: POSIX files with open-file-description locks
// (F_OFD_SETLK), which belong to the open file, so that two opens of one file
// in one process contend like two stations.
#include <fcntl.h>
#include <stdio.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/env.h"
#include "platform/file_names.h"

namespace vaultrix::platform {
namespace {

constexpr mode_t kOwnerOnly = 0600;

class PosixFile final : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    Unmap();
    if (fd_ >= 0) ::close(fd_);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  int Read(std::uint64_t offset, void* buffer, std::size_t size, std::size_t* done) override {
    *done = 0;
    if (fd_ < 0) return EBADF;
    auto* bytes = static_cast<char*>(buffer);
    while (*done < size) {
      ssize_t got = ::pread(fd_, bytes + *done, size - *done, static_cast<off_t>(offset + *done));
      if (got < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (got == 0) break;
      *done += static_cast<std::size_t>(got);
    }
    return 0;
  }

  int Write(std::uint64_t offset, const void* data, std::size_t size, std::size_t* done) override {
    *done = 0;
    if (fd_ < 0) return EBADF;
    const auto* bytes = static_cast<const char*>(data);
    while (*done < size) {
      ssize_t put = ::pwrite(fd_, bytes + *done, size - *done, static_cast<off_t>(offset + *done));
      if (put < 0) {
        if (errno == EINTR) continue;
        // Something was written: report the short write, not the error.
        return *done > 0 ? 0 : errno;
      }
      if (put == 0) break;
      *done += static_cast<std::size_t>(put);
    }
    return 0;
  }

  int Size(std::uint64_t* size) override {
    *size = 0;
    if (fd_ < 0) return EBADF;
    struct stat info;
    if (::fstat(fd_, &info) != 0) return errno;
    *size = static_cast<std::uint64_t>(info.st_size);
    return 0;
  }

  int Truncate(std::uint64_t size) override {
    if (fd_ < 0) return EBADF;
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0 ? 0 : errno;
  }

  int Flush(bool data_only) override {
    if (fd_ < 0) return EBADF;
    int result = data_only ? ::fdatasync(fd_) : ::fsync(fd_);
    return result == 0 ? 0 : errno;
  }

  int Lock(std::uint64_t start, std::uint64_t length, LockKind kind, LockWait wait) override {
    struct flock request = Range(start, length, kind == LockKind::kShared ? F_RDLCK : F_WRLCK);
    return Fcntl(wait == LockWait::kWait ? F_OFD_SETLKW : F_OFD_SETLK, &request);
  }

  int Unlock(std::uint64_t start, std::uint64_t length) override {
    struct flock request = Range(start, length, F_UNLCK);
    return Fcntl(F_OFD_SETLK, &request);
  }

  int TestLock(std::uint64_t start, std::uint64_t length, LockKind kind,
               bool* held_elsewhere) override {
    *held_elsewhere = false;
    struct flock request = Range(start, length, kind == LockKind::kShared ? F_RDLCK : F_WRLCK);
    if (int error = Fcntl(F_OFD_GETLK, &request); error != 0) return error;
    *held_elsewhere = request.l_type != F_UNLCK;
    return 0;
  }

  int MapHead(std::size_t size, const std::uint8_t** view) override {
    *view = nullptr;
    if (fd_ < 0) return EBADF;
    if (view_ == nullptr || view_size_ < size) {
      std::uint64_t have = 0;
      if (int error = Size(&have); error != 0) return error;
      if (have < size) return EINVAL;
      Unmap();
      void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd_, 0);
      if (mapped == MAP_FAILED) return errno;
      view_ = mapped;
      view_size_ = size;
    }
    *view = static_cast<const std::uint8_t*>(view_);
    return 0;
  }

  int Identity(std::uint64_t* device, std::uint64_t* inode) override {
    *device = *inode = 0;
    if (fd_ < 0) return EBADF;
    struct stat info;
    if (::fstat(fd_, &info) != 0) return errno;
    *device = static_cast<std::uint64_t>(info.st_dev);
    *inode = static_cast<std::uint64_t>(info.st_ino);
    return 0;
  }

  int Close() override {
    if (fd_ < 0) return EBADF;
    Unmap();
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  static struct flock Range(std::uint64_t start, std::uint64_t length, short type) {
    struct flock request = {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = static_cast<off_t>(start);
    request.l_len = static_cast<off_t>(length);
    request.l_pid = 0;  // required by OFD locks
    return request;
  }

  int Fcntl(int command, struct flock* request) {
    if (fd_ < 0) return EBADF;
    for (;;) {
      if (::fcntl(fd_, command, request) == 0) return 0;
      if (errno == EINTR) continue;
      // A conflict answers EAGAIN or EACCES depending on the system.
      return (errno == EACCES || errno == EAGAIN) ? kLockConflict : errno;
    }
  }

  void Unmap() {
    if (view_ != nullptr) ::munmap(view_, view_size_);
    view_ = nullptr;
    view_size_ = 0;
  }

  int fd_;
  void* view_ = nullptr;
  std::size_t view_size_ = 0;
};

int OpenFlags(OpenMode mode) {
  switch (mode) {
    case OpenMode::kReadOnly:
      return O_RDONLY;
    case OpenMode::kReadWrite:
      return O_RDWR;
    case OpenMode::kCreate:
      return O_RDWR | O_CREAT;
    case OpenMode::kCreateNew:
      return O_RDWR | O_CREAT | O_EXCL;
    case OpenMode::kCreateEmpty:
      return O_RDWR | O_CREAT | O_TRUNC;
  }
  return O_RDONLY;
}

class PosixEnv final : public Env {
 public:
  int OpenFile(const std::string& name, OpenMode mode, std::unique_ptr<File>* file) override {
    file->reset();
    if (name.empty()) return ENOENT;
    std::string path = ResolveName(name);
    int fd;
    do {
      fd = ::open(path.c_str(), OpenFlags(mode) | O_CLOEXEC, kOwnerOnly);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return errno;
    if (mode == OpenMode::kCreateEmpty && ::fchmod(fd, kOwnerOnly) != 0) {
      int error = errno;
      ::close(fd);
      return error;
    }
    *file = std::make_unique<PosixFile>(fd);
    return 0;
  }

  int CreateTempFile(std::string* name, std::unique_ptr<File>* file) override {
    file->reset();
    std::string pattern = TempDirectory() + "/MORXXXXXX.TMP";
    // mkostemps creates the file exclusively with mode 0600.
    int fd = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
    if (fd < 0) return errno;
    *name = pattern;
    *file = std::make_unique<PosixFile>(fd);
    return 0;
  }

  int Remove(const std::string& name) override {
    if (name.empty()) return ENOENT;
    return ::unlink(ResolveName(name).c_str()) == 0 ? 0 : errno;
  }

  int Rename(const std::string& from, const std::string& to, bool replace) override {
    if (from.empty() || to.empty()) return ENOENT;
    std::string source = ResolveName(from);
    std::string target = ResolveName(to);
    unsigned flags = replace ? 0 : RENAME_NOREPLACE;
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), flags) == 0) return 0;
    if (errno != EINVAL || replace) return errno;
    // A file system without RENAME_NOREPLACE: a hard link refuses an existing
    // target just as well, and the old name is then dropped.
    if (::link(source.c_str(), target.c_str()) != 0) return errno;
    return ::unlink(source.c_str()) == 0 ? 0 : errno;
  }

  bool Exists(const std::string& name) override {
    if (name.empty()) return false;
    struct stat info;
    return ::stat(ResolveName(name).c_str(), &info) == 0;
  }
};

}  // namespace

Env& SystemEnv() {
  static PosixEnv env;
  return env;
}

}  // namespace vaultrix::platform
