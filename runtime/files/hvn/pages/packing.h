// Run-length packing of HVN pages and the variable-length numbers it uses.
// Shared by the reader and the writer.
//
// Variable-length number: the low 7 bits first; every byte but the last has
// 0x80 added.  0x05 is 5; 0x80 0x01 is 128; 0xFF 0x7F is 16383.
//
// Packed text, unpacking until `length` bytes are out:
//   1. a number n, then n literal bytes;
//   2. stop when `length` bytes are out;
//   3. a number m: the last byte written, m more times; back to 1.
// Packing: runs of 4 or more equal bytes are packed; the literal stretch
// before a run includes the run's first byte and the repeat count is the run
// length minus 1; the text after the last run is a final literal stretch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vaultrix::files::hvn {

inline constexpr std::size_t kMinimumRun = 4;

void AppendVarNumber(std::string& out, std::uint32_t value);

// Reads a number at *ptr, however many bytes it takes; false when it runs
// past `limit` or its value needs more than 32 bits.
[[nodiscard]] bool ReadVarNumber(const std::uint8_t*& ptr, const std::uint8_t* limit,
                                 std::uint32_t* value);

// The packed form of [data, data + size); empty when the text holds no run of
// kMinimumRun equal bytes.
[[nodiscard]] std::string PackBytes(const std::uint8_t* data, std::size_t size);
// The same into `out` (its storage kept from call to call): false when the
// text holds no run or the packed form grows past `limit` bytes, where the
// packing stops.
[[nodiscard]] bool PackBytesInto(const std::uint8_t* data, std::size_t size, std::size_t limit,
                                 std::string& out);

// Unpacks [ptr, limit) into exactly `length` bytes appended to `out`. The
// text ends where `length` is reached, or after a closing run with one
// literal count of 0. False for packed text that is damaged, would produce
// more or fewer bytes, or holds anything else past its end.
[[nodiscard]] bool UnpackBytes(const std::uint8_t* ptr, const std::uint8_t* limit,
                               std::size_t length, std::string* out);

}  // namespace vaultrix::files::hvn
