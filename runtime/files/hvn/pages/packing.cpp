// Run-length packing and variable-length numbers.
#include "runtime/files/hvn/pages/packing.h"

#include <algorithm>
#include <cstring>

namespace vaultrix::files::hvn {

void AppendVarNumber(std::string& out, std::uint32_t value) {
  while (value >= 0x80) {
    out.push_back(static_cast<char>((value & 0x7F) | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<char>(value));
}

bool ReadVarNumber(const std::uint8_t*& ptr, const std::uint8_t* limit, std::uint32_t* value) {
  // Writers may spend more bytes on a number than it needs (0x80 0x00 is 0):
  // any length is read, as long as the value fits in 32 bits.
  std::uint64_t result = 0;
  bool too_large = false;
  for (unsigned shift = 0;; shift += 7) {
    if (ptr >= limit) return false;
    const std::uint8_t byte = *ptr++;
    const std::uint64_t bits = byte & 0x7F;
    if (bits != 0) {
      if (shift >= 32) {
        too_large = true;
      } else {
        result |= bits << shift;
      }
    }
    if ((byte & 0x80) == 0) break;
  }
  if (too_large || result > 0xFFFFFFFFu) return false;
  *value = static_cast<std::uint32_t>(result);
  return true;
}

namespace {

std::size_t VarNumberSize(std::size_t value) {
  std::size_t size = 1;
  for (; value >= 0x80; value >>= 7) ++size;
  return size;
}

std::uint8_t* PutVarNumber(std::uint8_t* out, std::size_t value) {
  for (; value >= 0x80; value >>= 7) *out++ = static_cast<std::uint8_t>((value & 0x7F) | 0x80);
  *out++ = static_cast<std::uint8_t>(value);
  return out;
}

// The length of the block of bytes equal to data[at], from `at`.
std::size_t BlockLength(const std::uint8_t* data, std::size_t size, std::size_t at) {
  const std::uint8_t byte = data[at];
  const std::uint64_t pattern = 0x0101010101010101ULL * byte;
  std::size_t end = at + 1;
  for (std::uint64_t word = 0; end + 8 <= size; end += 8) {
    std::memcpy(&word, data + end, 8);
    if (word != pattern) break;
  }
  while (end < size && data[end] == byte) ++end;
  return end - at;
}

}  // namespace

bool PackBytesInto(const std::uint8_t* data, std::size_t size, std::size_t limit,
                   std::string& out) {
  // Room for the whole packed form (at most a few bytes more than the text)
  // or up to the limit, where the packing stops.
  out.resize(std::min(limit, size + size / 64 + 16));
  auto* const begin = reinterpret_cast<std::uint8_t*>(out.data());
  std::uint8_t* at = begin;
  const std::size_t room = out.size();
  std::size_t literal_start = 0;
  bool any_run = false;
  std::size_t i = 0;
  // `i` is always the first byte of a block of equal bytes.
  while (i < size) {
    // A block of four or more starting at i, i + 1 or i + 2 would hold the
    // bytes at i + 2 and i + 3: when they differ, none of them starts a run
    // and i + 3 starts the next block.
    if (i + 3 < size && data[i + 2] != data[i + 3]) {
      i += 3;
      continue;
    }
    const std::size_t run = BlockLength(data, size, i);
    if (run < kMinimumRun) {
      i += run;
      continue;
    }
    any_run = true;
    // The literal stretch includes the run's first byte.
    const std::size_t literal_length = i + 1 - literal_start;
    const std::size_t needed =
        VarNumberSize(literal_length) + literal_length + VarNumberSize(run - 1);
    if (needed > room - static_cast<std::size_t>(at - begin)) {
      out.resize(static_cast<std::size_t>(at - begin));
      return false;
    }
    at = PutVarNumber(at, literal_length);
    std::memcpy(at, data + literal_start, literal_length);
    at = PutVarNumber(at + literal_length, run - 1);
    i += run;
    literal_start = i;
  }
  bool fits = any_run;
  if (fits && literal_start < size) {
    const std::size_t rest = size - literal_start;
    fits = VarNumberSize(rest) + rest <= room - static_cast<std::size_t>(at - begin);
    if (fits) {
      at = PutVarNumber(at, rest);
      std::memcpy(at, data + literal_start, rest);
      at += rest;
    }
  }
  out.resize(static_cast<std::size_t>(at - begin));
  return fits;
}

std::string PackBytes(const std::uint8_t* data, std::size_t size) {
  std::string out;
  if (!PackBytesInto(data, size, static_cast<std::size_t>(-1), out)) out.clear();
  return out;
}

namespace {

// After the last repeat some writers put a literal count of 0 (the steps read
// a count after every repeat); the text may end there or right after the run.
bool EndsAfterRun(const std::uint8_t* ptr, const std::uint8_t* limit) {
  if (ptr == limit) return true;
  std::uint32_t count = 0;
  return ReadVarNumber(ptr, limit, &count) && count == 0 && ptr == limit;
}

}  // namespace

bool UnpackBytes(const std::uint8_t* ptr, const std::uint8_t* limit, std::size_t length,
                 std::string* out) {
  std::size_t written = 0;
  while (true) {
    std::uint32_t literal = 0;
    if (!ReadVarNumber(ptr, limit, &literal)) return false;
    if (literal > static_cast<std::size_t>(limit - ptr) || literal > length - written) return false;
    out->append(reinterpret_cast<const char*>(ptr), literal);
    ptr += literal;
    written += literal;
    if (written == length) return ptr == limit;
    std::uint32_t repeat = 0;
    if (!ReadVarNumber(ptr, limit, &repeat)) return false;
    if (repeat > length - written) return false;
    if (repeat == 0) continue;
    if (written == 0) return false;  // nothing written yet to repeat
    out->append(repeat, out->back());
    written += repeat;
    if (written == length) return EndsAfterRun(ptr, limit);
  }
}

}  // namespace vaultrix::files::hvn
