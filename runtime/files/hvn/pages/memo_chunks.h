// Memo text stored as 0xFC chunk records (hvn/pages/record_kinds.h). Shared by the
// reader and the writer.
//
// A memo's stored length is its declared size with trailing blanks removed
// (BLOB memos: their own length, carried as 4 bytes at the front of the first
// chunk). The text is cut into chunks of 256 bytes numbered from 0; an empty
// memo has no chunk. With the OEM attribute each chunk is converted from ANSI
// to OEM as it is stored and back when it is read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vaultrix::files::hvn {

// The length of `buffer` without its trailing blanks.
[[nodiscard]] std::size_t LengthWithoutTrailingBlanks(const char* buffer, std::size_t size);

// The chunks of a text memo held in a buffer of `size` bytes.
[[nodiscard]] std::vector<std::string> SplitMemo(const char* buffer, std::size_t size, bool oem);

// Appends one stored chunk to the memo buffer at `*done`, converting it from
// OEM when asked. False when the chunk would pass the buffer's end (the check
// "done+len <= limit").
[[nodiscard]] bool AppendMemoChunk(std::string_view chunk, char* buffer, std::size_t limit,
                                   std::size_t* done, bool oem);

}  // namespace vaultrix::files::hvn
