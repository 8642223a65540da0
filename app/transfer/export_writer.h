// The export run: the passwords file read in record order, and every entry
// of the user written as one line of the chosen fields with their pictures.
//
// Locks: REQUIRES the runtime lock; the passwords file open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/transfer/csv_line.h"
#include "app/transfer/export_fields.h"
#include "app/transfer/text_files.h"

namespace vaultrix::app {

class ExportWriter {
 public:
  // Entries written per timer event.
  static constexpr std::int32_t kRecordsPerSlice = 1000;

  ExportWriter(ExportFile& file, const std::vector<TransferField>& fields, std::string user)
      : file_(file), fields_(fields), user_(std::move(user)) {}

  // To the first entry of the user; false when there is none.
  bool Start();
  // Up to kRecordsPerSlice entries written; false once the entries ended, a
  // write was abandoned or a read failed ("Record Retrieval Error").
  // `percent`: the records read x 100 / the records in the file.
  bool Slice(std::int32_t& percent);

  [[nodiscard]] std::int64_t Written() const { return written_; }

 private:
  bool Read();

  ExportFile& file_;
  const std::vector<TransferField>& fields_;
  std::string user_;
  LineBuilder line_;
  std::int64_t total_ = 0;
  std::int64_t read_ = 0;
  std::int64_t written_ = 0;
};

}  // namespace vaultrix::app
