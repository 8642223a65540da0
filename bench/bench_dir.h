// A scratch directory for a benchmark, made in the current directory so that
// file benchmarks measure the disk they are run on; removed with its files.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace vaultrix::bench {

class BenchDir {
 public:
  BenchDir() {
    std::string pattern = (std::filesystem::current_path() / "vaultrix-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~BenchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  BenchDir(const BenchDir&) = delete;
  BenchDir& operator=(const BenchDir&) = delete;
  [[nodiscard]] std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace vaultrix::bench
