// The consistency check of an HVN file: walks every page from the root and
// reports what is wrong. Used by tests, the crash tests and the data-file
// tool; it opens the file read-only and never changes it.
//
// It checks: the header and regions; each page against its region (length,
// own offset) and its record walk against the unpacked length; the levels;
// that no page is reached twice; that keys are strictly increasing in each
// page and each index record is no greater than every key below it and
// greater than every key below the record before it; that only the root
// is empty; every counter record against the records it counts; and that
// the last issued number is not below any record number or table id.
#pragma once

#include <string>
#include <string_view>

namespace vaultrix::files::hvn {

class PageFile;

// Empty when the file is sound; otherwise one line per problem. `owner`:
// the file's owner password, empty for a plain file.
[[nodiscard]] std::string CheckHvnFile(const std::string& path, std::string_view owner = "");
// The same for a file already open; runs its own Begin and End.
[[nodiscard]] std::string CheckHvnPages(PageFile& file);

}  // namespace vaultrix::files::hvn
