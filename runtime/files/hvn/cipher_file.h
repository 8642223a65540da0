// The cipher beneath an HVN file's page logic: a File that enciphers every
// block it writes and deciphers every block it reads (hvn/cipher.h), and the
// process's cipher contexts, one per file and owner password, shared by every
// open of the same file while any of them is open.
//
// Transfers are whole 64-byte blocks aligned to offset 0 (the header is 8
// blocks, a page 4 per unit). A read that is not is widened to the blocks
// around it; a write that is not is refused with EINVAL, which the page file
// reports as an I/O error (nothing of it writes so). A short read deciphers
// only the whole blocks that arrived. MapHead gives the header's bytes as
// stored, enciphered, unlike every read.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "runtime/files/hvn/cipher.h"

namespace vaultrix::files {

// `base` seen through `context`; `base` itself when `context` is null.
[[nodiscard]] std::unique_ptr<platform::File> MakeCipherFile(
    std::unique_ptr<platform::File> base, std::shared_ptr<const CipherContext> context);

// The context of `owner` for the file at `path`: made once and shared while
// any open of that file name with that owner holds it; null for an empty
// owner (the file is stored plain). Each context is wiped when the last
// holder lets it go.
[[nodiscard]] std::shared_ptr<const CipherContext> SharedCipherContext(const std::string& path,
                                                                       std::string_view owner);

}  // namespace vaultrix::files
