// Where preview page files live. Pages hold every password of a report in
// plain text, so each report keeps them in a private folder of the temporary
// directory (mode 0700, files 0600, file names starting "MOR"), removed with
// its files when the report closes. The folder's name carries the process id,
// so a later start of the program can remove what a crashed one left behind
// without touching the pages of a copy that still runs.
//
// Every call answers 0 or the system's error number; none throws.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vaultrix::platform {

inline constexpr std::string_view kPageFolderPrefix = "vaultrix-pages-";

// Creates a new private folder in the temporary directory.
[[nodiscard]] int CreatePageFolder(std::string* folder);

// Writes `header` then `body` into a new file "MOR....TMP" of `folder`
// (created exclusively, mode 0600) and names it in `*path`. On failure no
// file is left.
[[nodiscard]] int WritePageFile(const std::string& folder, std::span<const std::uint8_t> header,
                                std::span<const std::uint8_t> body, std::string* path);

// Removes the page files of `folder` and the folder itself.
int RemovePageFolder(const std::string& folder);

// Removes the page folders (and their page files) of this user that belong
// to no running process; answers how many folders were removed.
int RemoveLeftoverPageFolders();

}  // namespace vaultrix::platform
