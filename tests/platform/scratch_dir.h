// A fresh directory under the temporary directory for one test, removed with
// everything in it at the end; with small helpers to put and read whole files.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/file_names.h"

namespace vaultrix::testing {

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = platform::TempDirectory() + "/vaultrix-test-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

  void Put(const std::string& name, const std::string& content) const {
    std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
    out << content;
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  bool Has(const std::string& name) const {
    struct stat info;
    return ::stat(Path(name).c_str(), &info) == 0;
  }
  unsigned Mode(const std::string& name) const {
    struct stat info;
    if (::stat(Path(name).c_str(), &info) != 0) return 0;
    return info.st_mode & 07777;
  }

 private:
  std::string path_;
};

}  // namespace vaultrix::testing
