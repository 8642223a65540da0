// Opening data files with the application's policy, and the shared open
// counts through which procedures use them.
//
// OpenDataFile opens a file read/write, deny none (42 hex):
//   32 (locked)      sends "Recover=10" to the driver and opens again;
//   0, 52            done (52: the file is already open);
//   2 (not found)    creates the file, then opens it; a failure shows warning
//                    4 (creating) or 5 (opening), which end the application;
//   47 (layout)      warning 1, which ends the application;
//   46 (bad key)     warning 2 asks to rebuild; No ends the application, Yes
//                    rebuilds the keys (warning 3 and the end on failure) and
//                    opens again;
//   anything left    warning 30, then the application halts with "Disk Error".
// It returns only with the file open.
#pragma once

#include <cstdint>
#include <functional>

#include "app/dictionary/data_file.h"

namespace vaultrix::app {

inline constexpr std::int32_t kDataFileAccess = 0x42;

void OpenDataFile(DataFile& file);

// Makes the missing `file` whole before it appears under its name: created
// under a temporary name, filled there by `fill` when one is given (false:
// the file is given up), then linked into place, so that a crash meanwhile
// leaves no file rather than an unreadable or half-filled one. A file that
// another copy of the program made meanwhile is kept. Errors stay posted.
void CreateWhole(DataFile& file, const std::function<bool()>& fill = {});

// One procedure's use of a data file: opens it through OpenDataFile when its
// open count is 0 and counts the use; the last use to end closes the file and
// wipes its record buffer.
class FileUse {
 public:
  explicit FileUse(DataFile& file);
  ~FileUse();
  FileUse(const FileUse&) = delete;
  FileUse& operator=(const FileUse&) = delete;

 private:
  DataFile& file_;
};

}  // namespace vaultrix::app
