// Copies out of a shared file mapping without dying when the file underneath
// has been cut short by another program: touching a mapped page past the
// file's end raises SIGBUS, which here turns into a failed copy instead of
// the end of the process.
#pragma once

#include <cstddef>

namespace vaultrix::platform {

// Copies `size` bytes from the mapping at `source` to `target`; false when a
// page of the source no longer has file storage behind it (the target then
// holds an unspecified part of the bytes). Safe on any thread.
[[nodiscard]] bool GuardedCopy(void* target, const void* source, std::size_t size);

}  // namespace vaultrix::platform
