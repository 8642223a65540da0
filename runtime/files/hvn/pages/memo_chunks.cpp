// Cutting memo text into chunks and putting it back together.
#include "runtime/files/hvn/pages/memo_chunks.h"

#include <cstring>

#include "platform/oem_charset.h"
#include "runtime/files/hvn/pages/record_kinds.h"

namespace vaultrix::files::hvn {

std::size_t LengthWithoutTrailingBlanks(const char* buffer, std::size_t size) {
  // Memo buffers are large and mostly blank: whole blocks are compared
  // first (memcmp is vectorised), the last one byte by byte.
  static const std::string kBlanks(256, ' ');
  std::size_t length = size;
  while (length >= kBlanks.size() &&
         std::memcmp(buffer + length - kBlanks.size(), kBlanks.data(), kBlanks.size()) == 0) {
    length -= kBlanks.size();
  }
  while (length > 0 && buffer[length - 1] == ' ') --length;
  return length;
}

std::vector<std::string> SplitMemo(const char* buffer, std::size_t size, bool oem) {
  const std::size_t length = LengthWithoutTrailingBlanks(buffer, size);
  std::vector<std::string> chunks;
  for (std::size_t at = 0; at < length; at += kMemoChunkSize) {
    std::string chunk(buffer + at, std::min(kMemoChunkSize, length - at));
    if (oem) platform::AnsiToOem(chunk.data(), chunk.size());
    chunks.push_back(std::move(chunk));
  }
  return chunks;
}

bool AppendMemoChunk(std::string_view chunk, char* buffer, std::size_t limit, std::size_t* done,
                     bool oem) {
  if (*done > limit || chunk.size() > limit - *done) return false;
  std::memcpy(buffer + *done, chunk.data(), chunk.size());
  if (oem) platform::OemToAnsi(buffer + *done, chunk.size());
  *done += chunk.size();
  return true;
}

}  // namespace vaultrix::files::hvn
