// The text files of import and export: the export file chosen through the
// save dialog, created mode 0600 and written line by line (each line ended by
// CR LF); the import file chosen through the open dialog and read whole. Each
// failure shows its message ("Cannot CREATE ", "Cannot OPEN ", "Cannot ADD
// to ", "Cannot CLOSE " and the file's name as caption, "Error #" with the
// file interface's code and text) and answers false.
//
// Locks: REQUIRES the runtime lock (the dialogs and messages give it up
// while they wait).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/transfer/csv_line.h"
#include "platform/window_system.h"

namespace vaultrix::app {

// "Error #" + code + " - " + text of the error posted last.
[[nodiscard]] std::string PostedErrorText();

class ExportFile {
 public:
  ExportFile() = default;
  ExportFile(const ExportFile&) = delete;
  ExportFile& operator=(const ExportFile&) = delete;
  ~ExportFile();

  // Shows the save dialog ("Export File") and creates the chosen file;
  // false when cancelled or the file cannot be created.
  [[nodiscard]] bool Choose(platform::WindowHandle owner);
  // Creates (or empties) the file at `path`.
  [[nodiscard]] bool Create(const std::string& path);
  // Adds one line. A failed write asks Retry or Abort; false after Abort
  // (the lines written before stay in the file).
  [[nodiscard]] bool WriteLine(std::string_view line);
  // Writes what is buffered and closes; false (after its message) when that
  // fails.
  bool Close();

  [[nodiscard]] const std::string& Name() const { return name_; }

 private:
  [[nodiscard]] bool Flush();

  std::string name_;
  std::string buffer_;
  int fd_ = -1;
};

// The whole import file in memory, wiped when freed.
struct ImportFile {
  ImportFile() = default;
  ImportFile(ImportFile&&) = default;
  ImportFile& operator=(ImportFile&&) = default;
  ~ImportFile() { WipeText(text); }

  std::string name;
  std::string text;
};

// Shows the open dialog ("Import File") until a file with data is chosen
// ("That file is empty!  Please pick another file." otherwise) and reads it;
// false when cancelled or the file cannot be read.
[[nodiscard]] bool ChooseImportFile(platform::WindowHandle owner, ImportFile& file);
// Reads the file at `path`; false (after its message) when it cannot.
[[nodiscard]] bool ReadImportFile(const std::string& path, ImportFile& file);

}  // namespace vaultrix::app
