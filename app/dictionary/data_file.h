// One file declaration of the data dictionary as procedures use it: its
// compiled blocks, the label that warnings name it by ("Passwords"), and its
// open count, the number of procedures using it right now (a procedure opens
// the file through OpenDataFile when the count is 0 and closes it when its
// own use brings the count back to 0; see FileUse in services/open_data_file.h).
//
// Every declaration shares its record buffer with all threads; the memo
// buffers belong to the file's state, so they exist from the file's first
// operation until CLOSE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "runtime/files/driver.h"
#include "runtime/files/file_declaration.h"

namespace vaultrix::app {

class DataFile {
 public:
  // `record` is the declaration's record buffer, of the declared record size;
  // `wipe_record` wipes it and leaves it as a cleared record.
  DataFile(std::string label, const files::FileDeclaration& declaration, void* record,
           void (*wipe_record)());
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  [[nodiscard]] const std::string& Label() const { return label_; }
  [[nodiscard]] files::FileBlock& Block() { return declared_->Block(); }
  [[nodiscard]] files::KeyBlock& Key(std::size_t index) { return declared_->Key(index); }
  [[nodiscard]] files::MemoBlock& Memo(std::size_t index) { return declared_->Memo(index); }
  [[nodiscard]] const std::vector<std::uint8_t>& Descriptor() const {
    return declared_->Descriptor();
  }

  // The memo's buffer; empty while the file has no state (before its first
  // operation and after CLOSE).
  [[nodiscard]] std::span<char> MemoText(std::size_t index);

  // The driver that serves the file. It may only change while the file has no
  // state; null leaves every operation answering 80.
  void SetDriver(const files::DriverRegistration* driver);

  [[nodiscard]] std::int32_t& OpenCount() { return open_count_; }

  // Wipes the record buffer: when the last procedure using the file ends and
  // at shut-down, so that no record read from the vault stays in memory.
  void WipeRecord() { wipe_record_(); }

 private:
  std::string label_;
  void (*wipe_record_)();
  std::unique_ptr<files::DeclaredFile> declared_;
  std::int32_t open_count_ = 0;
};

}  // namespace vaultrix::app
