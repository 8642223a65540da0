// Finding the files shipped beside the program.
#include "app/services/shared_files.h"

#include <sys/stat.h>

#include "platform/locations.h"

namespace vaultrix::app {

std::string ExecutableFolder() {
  const std::string executable = platform::ExecutablePath();
  const std::size_t slash = executable.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? std::string("/") : executable.substr(0, slash);
}

std::vector<std::string> SharedFileFolders() {
  const std::string bin = ExecutableFolder();
  if (bin.empty()) return {};
  const std::string prefix = bin == "/" ? std::string() : bin;
  return {prefix + "/share/vaultrix", prefix + "/../share/vaultrix"};
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string FindSharedFile(const std::string& name) {
  if (name.empty()) return "";
  for (const std::string& folder : SharedFileFolders()) {
    const std::string path = platform::ResolveNameIgnoringCase(folder, name);
    if (IsRegularFile(path)) return path;
  }
  return "";
}

}  // namespace vaultrix::app
