// The words file "vtrix_w.hvn": the generator's word list, supplied with the
// program (made at build time from the system's English word list, installed
// in share/vaultrix/) and never written by it. The program reads it from the
// data directory, where a copy is put at start when none is there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/passwords/generator.h"

namespace vaultrix::app {

inline constexpr const char* kWordsFileName = "vtrix_w.hvn";

// Where a supplied copy may be, in the order looked at: the shared files'
// folders (services/shared_files.h).
[[nodiscard]] std::vector<std::string> WordsFileSources();

// Puts a copy of the first supplied words file of `sources` into `data_dir`
// (mode 0600) when `data_dir` has none. Answers whether `data_dir` holds the
// file afterwards.
bool ProvideWordsFile(const std::string& data_dir,
                      const std::vector<std::string>& sources = WordsFileSources());

// The words file through its declaration W_ (open it first).
// The n-th word is the record numbered n - 1 after the file's first record:
// the file's numbers are issued from one counter that also numbered its
// table, so the first word need not be record 1.
class WordsFileSource final : public WordSource {
 public:
  std::int64_t Count() override;
  std::string Word(std::int64_t number) override;
  [[nodiscard]] std::int32_t RecordNumber(std::int64_t number);

 private:
  std::int64_t first_ = 0;  // the first record's number, 0 until known
};

}  // namespace vaultrix::app
