// Case-insensitive name lookup and the temporary directory.
#include "platform/file_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

namespace vaultrix::platform {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool PathExists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `directory` that matches `component` ignoring case.
std::optional<std::string> FindNoCase(const std::string& directory, const std::string& component) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = ::readdir(dir)) {
    std::string entry_name = entry->d_name;
    if (entry_name == "." || entry_name == "..") continue;
    if (EqualNoCase(entry_name, component) && (!found || entry_name < *found)) {
      found = entry_name;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::string ResolveName(const std::string& name) {
  if (name.empty() || PathExists(name)) return name;
  // Walk the components; `resolved` names something that exists until a
  // component matches nothing, after which the rest is kept as written (so a
  // file about to be created lands in the directory that was found).
  std::string resolved = name[0] == '/' ? "/" : "";
  std::size_t pos = name[0] == '/' ? 1 : 0;
  bool lost = false;
  while (pos <= name.size()) {
    std::size_t slash = name.find('/', pos);
    if (slash == std::string::npos) slash = name.size();
    std::string component = name.substr(pos, slash - pos);
    if (!component.empty()) {
      std::string directory = resolved;
      std::string candidate = resolved + component;
      if (!lost && !PathExists(candidate) && component != "." && component != "..") {
        if (auto match = FindNoCase(directory, component)) {
          candidate = resolved + *match;
        } else {
          lost = true;
        }
      }
      resolved = candidate;
    }
    if (slash < name.size()) resolved += '/';
    pos = slash + 1;
  }
  return resolved;
}

std::string TempDirectory() {
  const char* dir = std::getenv("TMPDIR");
  std::string result = (dir != nullptr && dir[0] != '\0') ? dir : "/tmp";
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

}  // namespace vaultrix::platform
