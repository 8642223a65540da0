// The block transform and context set-up of hvn/cipher.h.
#include "runtime/files/hvn/cipher.h"

#include <bit>
#include <cstring>

#include <strings.h>

namespace vaultrix::files {
namespace {

using WordBlock = std::array<std::uint32_t, kCipherWords>;

void LoadWords(const std::uint8_t* bytes, WordBlock& words) {
  std::memcpy(words.data(), bytes, kCipherBlockSize);
  if constexpr (std::endian::native == std::endian::big) {
    for (std::uint32_t& w : words) w = __builtin_bswap32(w);
  }
}

void StoreWords(const WordBlock& words, std::uint8_t* bytes) {
  std::memcpy(bytes, words.data(), kCipherBlockSize);
  if constexpr (std::endian::native == std::endian::big) {
    for (std::size_t w = 0; w < kCipherWords; ++w) {
      const std::uint32_t swapped = __builtin_bswap32(words[w]);
      std::memcpy(bytes + 4 * w, &swapped, 4);
    }
  }
}

// One forward step on word i; both words are read before either is written.
inline void EncipherStep(WordBlock& data, std::size_t i, std::uint32_t k, std::size_t j) {
  const std::uint32_t a = data[i];
  const std::uint32_t b = data[j];
  data[j] = ((b & k) | (a & ~k)) + k;
  data[i] = ((a & k) | (b & ~k)) + k;
}

inline void DecipherStep(WordBlock& data, std::size_t i, std::uint32_t k, std::size_t j) {
  const std::uint32_t p = data[i] - k;
  const std::uint32_t q = data[j] - k;
  data[i] = (p & k) | (q & ~k);
  data[j] = (q & k) | (p & ~k);
}

// The set-up's pass: the block is its own key, and each step takes the key
// word as the earlier steps left it.
void EncipherWithItself(WordBlock& words) {
  for (std::size_t i = 0; i < kCipherWords; ++i) {
    const std::uint32_t k = words[i];
    EncipherStep(words, i, k, k & 15);
  }
}

bool IsWholeBlocks(std::uint64_t file_offset, std::size_t length) {
  return file_offset % kCipherBlockSize == 0 && length % kCipherBlockSize == 0;
}

}  // namespace

CipherContext::CipherContext(std::string_view password) {
  // The password followed by its terminating zero, read from its second byte
  // round and round.
  const std::size_t cycle = password.size() + 1;
  std::uint8_t bytes[kCipherBlockSize];
  for (std::size_t i = 0; i < kCipherBlockSize; ++i) {
    const std::size_t at = (i + 1) % cycle;
    const std::uint8_t c = at < password.size() ? static_cast<std::uint8_t>(password[at]) : 0;
    bytes[(i * 17) % kCipherBlockSize] = static_cast<std::uint8_t>(c + i);
  }
  LoadWords(bytes, words_);
  explicit_bzero(bytes, sizeof bytes);
  EncipherWithItself(words_);
  EncipherWithItself(words_);
  for (std::size_t i = 0; i < kCipherWords; ++i) {
    partners_[i] = static_cast<std::uint8_t>(words_[i] & 15);
  }
}

CipherContext::~CipherContext() {
  explicit_bzero(words_.data(), sizeof(std::uint32_t) * words_.size());
  explicit_bzero(partners_.data(), partners_.size());
}

void CipherContext::EncipherBlock(std::uint8_t* block) const {
  WordBlock data;
  LoadWords(block, data);
  for (std::size_t i = 0; i < kCipherWords; ++i) EncipherStep(data, i, words_[i], partners_[i]);
  StoreWords(data, block);
}

void CipherContext::DecipherBlock(std::uint8_t* block) const {
  WordBlock data;
  LoadWords(block, data);
  for (std::size_t i = kCipherWords; i-- > 0;) DecipherStep(data, i, words_[i], partners_[i]);
  StoreWords(data, block);
}

// Spans are transformed kBatch blocks at a time, step by step across the
// blocks: the blocks are independent, so their steps overlap in the CPU
// where one block's steps would wait on each other.
void CipherContext::EncipherBatch(std::uint8_t* blocks) const {
  WordBlock data[kBatch];
  for (std::size_t b = 0; b < kBatch; ++b) LoadWords(blocks + b * kCipherBlockSize, data[b]);
  for (std::size_t i = 0; i < kCipherWords; ++i) {
    const std::uint32_t k = words_[i];
    const std::size_t j = partners_[i];
    for (std::size_t b = 0; b < kBatch; ++b) EncipherStep(data[b], i, k, j);
  }
  for (std::size_t b = 0; b < kBatch; ++b) StoreWords(data[b], blocks + b * kCipherBlockSize);
}

void CipherContext::DecipherBatch(std::uint8_t* blocks) const {
  WordBlock data[kBatch];
  for (std::size_t b = 0; b < kBatch; ++b) LoadWords(blocks + b * kCipherBlockSize, data[b]);
  for (std::size_t i = kCipherWords; i-- > 0;) {
    const std::uint32_t k = words_[i];
    const std::size_t j = partners_[i];
    for (std::size_t b = 0; b < kBatch; ++b) DecipherStep(data[b], i, k, j);
  }
  for (std::size_t b = 0; b < kBatch; ++b) StoreWords(data[b], blocks + b * kCipherBlockSize);
}

bool CipherContext::Encipher(std::uint64_t file_offset, std::uint8_t* data,
                             std::size_t length) const {
  if (!IsWholeBlocks(file_offset, length)) return false;
  constexpr std::size_t kBatchBytes = kBatch * kCipherBlockSize;
  std::size_t at = 0;
  for (; at + kBatchBytes <= length; at += kBatchBytes) EncipherBatch(data + at);
  for (; at < length; at += kCipherBlockSize) EncipherBlock(data + at);
  return true;
}

bool CipherContext::Decipher(std::uint64_t file_offset, std::uint8_t* data,
                             std::size_t length) const {
  if (!IsWholeBlocks(file_offset, length)) return false;
  constexpr std::size_t kBatchBytes = kBatch * kCipherBlockSize;
  std::size_t at = 0;
  for (; at + kBatchBytes <= length; at += kBatchBytes) DecipherBatch(data + at);
  for (; at < length; at += kCipherBlockSize) DecipherBlock(data + at);
  return true;
}

std::unique_ptr<CipherContext> MakeCipherContext(std::string_view owner) {
  if (owner.empty()) return nullptr;
  return std::make_unique<CipherContext>(owner);
}

}  // namespace vaultrix::files
