// The page cipher of HVN files that have an OWNER password. The driver
// enciphers every byte it writes and deciphers every byte it reads (header,
// pages, pending page copies), below the page logic, so nothing in such a
// file, not even the header's magic, is readable without the password.
//
// Stored layout: the file is a sequence of 64-byte blocks from offset 0; the
// 512-byte header is 8 blocks, a page of k units 4k blocks. A block is read
// as 16 little-endian 32-bit words D[0..15]:
//
//   | file offset   | bytes | content                                   |
//   |---------------|-------|-------------------------------------------|
//   | 64n + 4w      | 4     | word w of block n, enciphered on its own  |
//
// Every block is enciphered alone with the same context: there is no chaining
// and no per-block state, so any whole-block span can be transformed without
// the rest of the file.
//
// Context: 16 words K[0..15] made from the password text s (n bytes and its
// terminating zero): byte (i * 17) % 64 of the context is
// (s[(i + 1) % (n + 1)] + i) % 256 for i = 0..63; the 64 bytes are read as
// little-endian words and then enciphered twice as a block with themselves as
// the key, each step reading the key word as already changed by earlier steps.
//
// Encipher, for i = 0..15: k = K[i], j = k & 15, a = D[i], b = D[j];
//   D[j] = ((b & k) | (a & ~k)) + k;  D[i] = ((a & k) | (b & ~k)) + k.
// Decipher undoes the steps for i = 15..0. When j == i a step adds k to D[i].
//
// Choices of this implementation:
// - An empty OWNER text makes no context (MakeCipherContext answers null) and
//   the file is stored plain.
// - The context is wiped (explicit_bzero) when it is destroyed.
// - The password is taken whole, as the OWNER text's length gives it: no case
//   folding, no trimming; a zero byte inside it is a byte like any other.
// - A span that does not start on a block boundary or whose length is not a
//   whole number of blocks is refused untouched; the driver reports it as an
//   internal error.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace vaultrix::files {

inline constexpr std::size_t kCipherBlockSize = 64;
inline constexpr std::size_t kCipherWords = 16;

class CipherContext {
 public:
  explicit CipherContext(std::string_view password);
  ~CipherContext();
  CipherContext(const CipherContext&) = delete;
  CipherContext& operator=(const CipherContext&) = delete;

  // The 16 key words, for inspection by tests and the data-file tool.
  [[nodiscard]] const std::array<std::uint32_t, kCipherWords>& Words() const { return words_; }

  // One 64-byte block, in place.
  void EncipherBlock(std::uint8_t* block) const;
  void DecipherBlock(std::uint8_t* block) const;

  // Whole blocks of the file from `file_offset`, in place. False, and the
  // bytes untouched, when the offset or the length is not a multiple of 64.
  [[nodiscard]] bool Encipher(std::uint64_t file_offset, std::uint8_t* data,
                              std::size_t length) const;
  [[nodiscard]] bool Decipher(std::uint64_t file_offset, std::uint8_t* data,
                              std::size_t length) const;

 private:
  static constexpr std::size_t kBatch = 4;
  void EncipherBatch(std::uint8_t* blocks) const;
  void DecipherBatch(std::uint8_t* blocks) const;

  std::array<std::uint32_t, kCipherWords> words_{};
  // Per step i: the partner word index j = K[i] & 15, kept beside the words so
  // that the block loops need no shifts or masks.
  std::array<std::uint8_t, kCipherWords> partners_{};
};

// The context for a file's OWNER text; null when the text is empty (the file
// is stored plain).
[[nodiscard]] std::unique_ptr<CipherContext> MakeCipherContext(std::string_view owner);

}  // namespace vaultrix::files
