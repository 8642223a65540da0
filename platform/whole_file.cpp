// Whole-file read, atomic replace and lock files (see whole_file.h).
#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace vaultrix::platform {
namespace {

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t written = write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

int SyncFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = fsync(fd) == 0 ? 0 : errno;
  close(fd);
  // Some file systems cannot sync a folder; the rename itself is done.
  return error == EINVAL ? 0 : error;
}

}  // namespace

int ReadWholeFile(const std::string& path, std::size_t max_size, std::string& contents) {
  contents.clear();
  // O_NONBLOCK keeps a FIFO in the file's place from blocking the open.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat status {};
  if (fstat(fd, &status) != 0) {
    int error = errno;
    close(fd);
    return error;
  }
  if (!S_ISREG(status.st_mode)) {
    close(fd);
    return S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
  }
  char buffer[16384];
  int error = 0;
  for (;;) {
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (count == 0) break;
    if (contents.size() + static_cast<std::size_t>(count) > max_size) {
      error = EFBIG;
      break;
    }
    contents.append(buffer, static_cast<std::size_t>(count));
  }
  close(fd);
  if (error != 0) contents.clear();
  return error;
}

int ReplaceWholeFile(const std::string& path, std::string_view contents) {
  std::string temporary = path + ".XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  int fd = mkostemp(name.data(), O_CLOEXEC);  // mode 0600
  if (fd < 0) return errno;
  int error = 0;
  struct stat existing {};
  if (stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
      fchmod(fd, existing.st_mode & 07777) != 0) {
    error = errno;
  }
  if (error == 0) error = WriteAll(fd, contents);
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(name.data(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(name.data());
    return error;
  }
  return SyncFolder(FolderOf(path));
}

std::string ResolveLink(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

FileLock::~FileLock() {
  if (fd_ >= 0) close(fd_);  // closing the description releases its lock
}

int FileLock::Acquire(const std::string& path) {
  if (fd_ >= 0) return EBUSY;
  std::string lock_path = path + ".lock";
  int fd = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return errno;
  struct flock request {};
  request.l_type = F_WRLCK;
  request.l_whence = SEEK_SET;
  request.l_start = 0;
  request.l_len = 0;
  while (fcntl(fd, F_OFD_SETLKW, &request) != 0) {
    if (errno == EINTR) continue;
    int error = errno;
    close(fd);
    return error;
  }
  fd_ = fd;
  return 0;
}

}  // namespace vaultrix::platform
