// REMOVE, COPY and RENAME of HVN files and tables.
//
// REMOVE deletes the table's name record; when no other table is named in
// the file the operating-system file is deleted, otherwise every record of
// the table is.
//
// COPY and RENAME to a name without a "\!" table part copy or rename the
// operating-system file as a whole. To a name with a table part they copy
// every record of the source table in key order into the target table: data
// and memo records get new numbers (the source number plus the target's last
// issued number), key entries get their record number rewritten, counters'
// build marks move by the same offset, and the target's last issued number
// is raised past the highest number used. COPY replaces an existing target
// table; RENAME fails with 5 when the target table exists, and deletes the
// source table once the copy is committed.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/files/file_state.h"

namespace vaultrix::files::hvn {

[[nodiscard]] int RemoveTable(const FileState& state);
[[nodiscard]] int CopyTable(const FileState& state, const std::string& new_name, bool rename);

}  // namespace vaultrix::files::hvn
