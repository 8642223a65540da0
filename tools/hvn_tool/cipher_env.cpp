// Deciphering reads and enciphering writes beneath the page file.
#include "tools/hvn_tool/cipher_env.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace vaultrix::tools {
namespace {

constexpr std::uint64_t kBlock = files::kCipherBlockSize;

class CipherFile final : public platform::File {
 public:
  CipherFile(std::unique_ptr<platform::File> base,
             std::shared_ptr<const files::CipherContext> context)
      : base_(std::move(base)), context_(std::move(context)) {}

  int Read(std::uint64_t offset, void* buffer, std::size_t size, std::size_t* done) override {
    *done = 0;
    const std::uint64_t start = offset - offset % kBlock;
    const std::uint64_t end = (offset + size + kBlock - 1) / kBlock * kBlock;
    std::vector<std::uint8_t> blocks(static_cast<std::size_t>(end - start));
    std::size_t got = 0;
    if (int error = base_->Read(start, blocks.data(), blocks.size(), &got); error != 0) {
      return error;
    }
    // Only whole blocks are deciphered: a short read leaves its tail as read.
    const std::size_t whole = got / kBlock * kBlock;
    if (!context_->Decipher(start, blocks.data(), whole)) return EINVAL;
    const std::size_t skip = static_cast<std::size_t>(offset - start);
    if (got > skip) {
      *done = std::min<std::size_t>(size, got - skip);
      std::memcpy(buffer, blocks.data() + skip, *done);
    }
    explicit_bzero(blocks.data(), blocks.size());
    return 0;
  }

  int Write(std::uint64_t offset, const void* data, std::size_t size, std::size_t* done) override {
    *done = 0;
    if (offset % kBlock != 0 || size % kBlock != 0) return EINVAL;
    std::vector<std::uint8_t> blocks(static_cast<const std::uint8_t*>(data),
                                     static_cast<const std::uint8_t*>(data) + size);
    if (!context_->Encipher(offset, blocks.data(), blocks.size())) return EINVAL;
    return base_->Write(offset, blocks.data(), blocks.size(), done);
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
  int Close() override { return base_->Close(); }

 private:
  std::unique_ptr<platform::File> base_;
  std::shared_ptr<const files::CipherContext> context_;
};

}  // namespace

CipherEnv::CipherEnv(platform::Env& base, std::string_view password)
    : base_(base), context_(files::MakeCipherContext(password)) {}

int CipherEnv::OpenFile(const std::string& name, platform::OpenMode mode,
                        std::unique_ptr<platform::File>* file) {
  std::unique_ptr<platform::File> opened;
  if (int error = base_.OpenFile(name, mode, &opened); error != 0) return error;
  if (context_ == nullptr) {
    *file = std::move(opened);
  } else {
    *file = std::make_unique<CipherFile>(std::move(opened), context_);
  }
  return 0;
}

int CipherEnv::CreateTempFile(std::string* name, std::unique_ptr<platform::File>* file) {
  return base_.CreateTempFile(name, file);
}

}  // namespace vaultrix::tools
