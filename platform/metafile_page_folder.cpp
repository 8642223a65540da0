#include "platform/metafile_page_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "platform/file_names.h"

namespace vaultrix::platform {
namespace {

int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return 0;
}

// The process id in a folder name "vaultrix-pages-PID-XXXXXX", 0 when none.
pid_t FolderOwner(std::string_view name) {
  if (!name.starts_with(kPageFolderPrefix)) return 0;
  name.remove_prefix(kPageFolderPrefix.size());
  pid_t pid = 0;
  std::size_t i = 0;
  for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < 100000000; ++i) {
    pid = pid * 10 + (name[i] - '0');
  }
  return i > 0 && i < name.size() && name[i] == '-' ? pid : 0;
}

bool ProcessRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

int CreatePageFolder(std::string* folder) {
  std::string pattern = TempDirectory() + "/" + std::string(kPageFolderPrefix) +
                        std::to_string(::getpid()) + "-XXXXXX";
  // mkdtemp makes the folder with mode 0700.
  if (::mkdtemp(pattern.data()) == nullptr) return errno;
  *folder = pattern;
  return 0;
}

int WritePageFile(const std::string& folder, std::span<const std::uint8_t> header,
                  std::span<const std::uint8_t> body, std::string* path) {
  std::string pattern = folder + "/MORXXXXXX.TMP";
  const int fd = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
  if (fd < 0) return errno;
  int error = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 ? 0 : errno;
  if (error == 0) error = WriteAll(fd, header);
  if (error == 0) error = WriteAll(fd, body);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(pattern.c_str());
    return error;
  }
  *path = pattern;
  return 0;
}

int RemovePageFolder(const std::string& folder) {
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name = entry->d_name;
      if (name.starts_with("MOR")) ::unlink((folder + "/" + std::string(name)).c_str());
    }
    ::closedir(dir);
  }
  return ::rmdir(folder.c_str()) == 0 ? 0 : errno;
}

int RemoveLeftoverPageFolders() {
  const std::string temp = TempDirectory();
  DIR* dir = ::opendir(temp.c_str());
  if (dir == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t owner = FolderOwner(entry->d_name);
    if (owner <= 0 || ProcessRuns(owner)) continue;
    const std::string folder = temp + "/" + entry->d_name;
    struct stat info;
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
      continue;
    }
    if (RemovePageFolder(folder) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

}  // namespace vaultrix::platform
