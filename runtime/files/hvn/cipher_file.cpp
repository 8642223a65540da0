// Deciphering reads and enciphering writes beneath the page file, and the
// shared contexts.
#include "runtime/files/hvn/cipher_file.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace vaultrix::files {
namespace {

constexpr std::uint64_t kBlock = kCipherBlockSize;
// Writes are enciphered through a buffer of this size, kept by the file: a
// commit writes megabytes, which a fresh buffer would have to fault in.
constexpr std::size_t kWriteChunk = 256 * 1024;
static_assert(kWriteChunk % kBlock == 0);

class CipherFile final : public platform::File {
 public:
  CipherFile(std::unique_ptr<platform::File> base, std::shared_ptr<const CipherContext> context)
      : base_(std::move(base)), context_(std::move(context)) {}

  int Read(std::uint64_t offset, void* buffer, std::size_t size, std::size_t* done) override {
    *done = 0;
    if (offset % kBlock == 0 && size % kBlock == 0) {
      // The page file's own transfers: deciphered where they land.
      auto* bytes = static_cast<std::uint8_t*>(buffer);
      if (int error = base_->Read(offset, bytes, size, done); error != 0) return error;
      return context_->Decipher(offset, bytes, *done / kBlock * kBlock) ? 0 : EINVAL;
    }
    const std::uint64_t start = offset - offset % kBlock;
    const std::uint64_t end = (offset + size + kBlock - 1) / kBlock * kBlock;
    std::vector<std::uint8_t> blocks(static_cast<std::size_t>(end - start));
    std::size_t got = 0;
    if (int error = base_->Read(start, blocks.data(), blocks.size(), &got); error != 0) {
      return error;
    }
    const std::size_t whole = got / kBlock * kBlock;
    if (!context_->Decipher(start, blocks.data(), whole)) return EINVAL;
    const std::size_t skip = static_cast<std::size_t>(offset - start);
    if (whole > skip) {
      *done = std::min<std::size_t>(size, whole - skip);
      std::memcpy(buffer, blocks.data() + skip, *done);
    }
    explicit_bzero(blocks.data(), blocks.size());
    return 0;
  }

  int Write(std::uint64_t offset, const void* data, std::size_t size, std::size_t* done) override {
    *done = 0;
    if (offset % kBlock != 0 || size % kBlock != 0) return EINVAL;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (size > 0) chunk_.resize(std::min(size, kWriteChunk));
    while (*done < size) {
      const std::size_t length = std::min(size - *done, kWriteChunk);
      std::memcpy(chunk_.data(), bytes + *done, length);
      if (!context_->Encipher(offset + *done, chunk_.data(), length)) return EINVAL;
      std::size_t written = 0;
      const int error = base_->Write(offset + *done, chunk_.data(), length, &written);
      *done += written;
      if (error != 0) return error;
      if (written != length) return 0;
    }
    return 0;
  }

  int Size(std::uint64_t* size) override { return base_->Size(size); }
  int Truncate(std::uint64_t size) override { return base_->Truncate(size); }
  int Flush(bool data_only) override { return base_->Flush(data_only); }
  int Lock(std::uint64_t start, std::uint64_t length, platform::LockKind kind,
           platform::LockWait wait) override {
    return base_->Lock(start, length, kind, wait);
  }
  int Unlock(std::uint64_t start, std::uint64_t length) override {
    return base_->Unlock(start, length);
  }
  int TestLock(std::uint64_t start, std::uint64_t length, platform::LockKind kind,
               bool* held_elsewhere) override {
    return base_->TestLock(start, length, kind, held_elsewhere);
  }
  // The view shows the header as stored, enciphered: the page file compares
  // it with the stored bytes it checked last and deciphers only a changed one.
  int MapHead(std::size_t size, const std::uint8_t** view) override {
    return base_->MapHead(size, view);
  }
  int Identity(std::uint64_t* device, std::uint64_t* inode) override {
    return base_->Identity(device, inode);
  }
  int Close() override { return base_->Close(); }

 private:
  std::unique_ptr<platform::File> base_;
  std::shared_ptr<const CipherContext> context_;
  std::vector<std::uint8_t> chunk_;  // enciphered bytes only
};

struct SharedContext {
  std::string owner;  // wiped when the entry goes
  std::weak_ptr<const CipherContext> context;
};

std::mutex contexts_mutex;
std::map<std::string, SharedContext>& Contexts() {
  static std::map<std::string, SharedContext> contexts;
  return contexts;
}

std::string CanonicalPath(const std::string& path) {
  char* canonical = ::realpath(path.c_str(), nullptr);
  std::string result = canonical != nullptr ? canonical : path;
  std::free(canonical);
  return result;
}

}  // namespace

std::unique_ptr<platform::File> MakeCipherFile(std::unique_ptr<platform::File> base,
                                               std::shared_ptr<const CipherContext> context) {
  if (context == nullptr) return base;
  return std::make_unique<CipherFile>(std::move(base), std::move(context));
}

std::shared_ptr<const CipherContext> SharedCipherContext(const std::string& path,
                                                         std::string_view owner) {
  if (owner.empty()) return nullptr;
  std::lock_guard lock(contexts_mutex);
  auto& contexts = Contexts();
  for (auto it = contexts.begin(); it != contexts.end();) {
    if (it->second.context.expired()) {
      explicit_bzero(it->second.owner.data(), it->second.owner.size());
      it = contexts.erase(it);
    } else {
      ++it;
    }
  }
  SharedContext& entry = contexts[CanonicalPath(path)];
  if (auto held = entry.context.lock(); held != nullptr && entry.owner == owner) return held;
  std::shared_ptr<const CipherContext> made = MakeCipherContext(owner);
  explicit_bzero(entry.owner.data(), entry.owner.size());
  entry.owner = std::string(owner);
  entry.context = made;
  return made;
}

}  // namespace vaultrix::files
