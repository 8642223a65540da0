// Settings folder, data directory, executable and environment-file paths,
// following the XDG base directory conventions with process-wide overrides.
#include "platform/locations.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace vaultrix::platform {
namespace {

struct Overrides {
  std::mutex mutex;
  std::string settings_folder;
  std::string data_directory;
  std::string executable_path;
};

Overrides& TheOverrides() {
  static Overrides overrides;
  return overrides;
}

std::string ReadOverride(std::string Overrides::*field) {
  Overrides& o = TheOverrides();
  std::lock_guard<std::mutex> lock(o.mutex);
  return o.*field;
}

void WriteOverride(std::string Overrides::*field, const std::string& value) {
  Overrides& o = TheOverrides();
  std::lock_guard<std::mutex> lock(o.mutex);
  o.*field = value;
}

std::string StripTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  // Without HOME the password database still knows the user's home.
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return "/tmp";
}

// $variable when it is an absolute path (relative ones are to be ignored),
// else the home folder followed by `fallback`.
std::string XdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return StripTrailingSlashes(value);
  return StripTrailingSlashes(HomeFolder()) + fallback;
}

}  // namespace

std::string SettingsFolder() {
  std::string folder = ReadOverride(&Overrides::settings_folder);
  if (!folder.empty()) return StripTrailingSlashes(folder);
  return XdgFolder("XDG_CONFIG_HOME", "/.config") + "/vaultrix";
}

std::string DataDirectory(const std::string& data_dir_option) {
  if (!data_dir_option.empty()) return StripTrailingSlashes(data_dir_option);
  std::string folder = ReadOverride(&Overrides::data_directory);
  if (!folder.empty()) return StripTrailingSlashes(folder);
  return XdgFolder("XDG_DATA_HOME", "/.local/share") + "/vaultrix";
}

std::string ExecutablePath() {
  std::string path = ReadOverride(&Overrides::executable_path);
  if (!path.empty()) return path;
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return "";
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() >= (1u << 20)) return "";
    buffer.resize(buffer.size() * 2);
  }
}

std::string EnvironmentFilePath() {
  std::string executable = ExecutablePath();
  if (executable.empty()) return "";
  return executable + ".ENV";
}

std::string DefaultProfilePath() { return SettingsFolder() + "/" + kDefaultProfileName; }

void SetSettingsFolderOverride(const std::string& folder) {
  WriteOverride(&Overrides::settings_folder, folder);
}

void SetDataDirectoryOverride(const std::string& folder) {
  WriteOverride(&Overrides::data_directory, folder);
}

void SetExecutablePathOverride(const std::string& path) {
  WriteOverride(&Overrides::executable_path, path);
}

std::string ResolveNameIgnoringCase(const std::string& folder, const std::string& name) {
  std::string exact = folder + "/" + name;
  struct stat status {};
  if (lstat(exact.c_str(), &status) == 0) return exact;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return exact;
  auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  std::string found;
  while (dirent* entry = readdir(dir)) {
    std::string candidate = entry->d_name;
    if (candidate.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; same && i < name.size(); ++i) same = fold(candidate[i]) == fold(name[i]);
    // Several spellings may exist; take the smallest so the choice is stable.
    if (same && (found.empty() || candidate < found)) found = candidate;
  }
  closedir(dir);
  return found.empty() ? exact : folder + "/" + found;
}

int CreatePrivateFolder(const std::string& folder) {
  if (folder.empty()) return ENOENT;
  // Walk the path from the root so that every missing parent is made 0700 too.
  std::size_t position = 0;
  for (;;) {
    position = folder.find('/', position + 1);
    std::string part = folder.substr(0, position);
    if (!part.empty() && part != "/") {
      if (mkdir(part.c_str(), 0700) != 0) {
        int error = errno;
        if (error != EEXIST) return error;
        struct stat status {};
        if (stat(part.c_str(), &status) != 0) return errno;
        if (!S_ISDIR(status.st_mode)) return ENOTDIR;
      }
    }
    if (position == std::string::npos) return 0;
  }
}

}  // namespace vaultrix::platform
