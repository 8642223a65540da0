// The current-environment switch and the copy that every Env shares.
#include "platform/env.h"

#include <sys/stat.h>

#include <atomic>
#include <vector>

#include "platform/file_names.h"

namespace vaultrix::platform {
namespace {

std::atomic<Env*> current_env{nullptr};

constexpr std::size_t kCopyChunk = 64 * 1024;

// Emptying the target first would destroy a file copied onto itself.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first;
  struct stat second;
  return ::stat(ResolveName(a).c_str(), &first) == 0 &&
         ::stat(ResolveName(b).c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace

Env& CurrentEnv() {
  Env* env = current_env.load(std::memory_order_acquire);
  return env != nullptr ? *env : SystemEnv();
}

ScopedEnv::ScopedEnv(Env& env) : previous_(current_env.exchange(&env)) {}

ScopedEnv::~ScopedEnv() {
  current_env.store(previous_);
}

int Env::Copy(const std::string& from, const std::string& to) {
  std::unique_ptr<File> source;
  if (int error = OpenFile(from, OpenMode::kReadOnly, &source); error != 0) return error;
  if (SameFile(from, to)) return EINVAL;
  std::unique_ptr<File> target;
  if (int error = OpenFile(to, OpenMode::kCreateEmpty, &target); error != 0) return error;
  std::vector<char> chunk(kCopyChunk);
  std::uint64_t offset = 0;
  for (;;) {
    std::size_t got = 0;
    if (int error = source->Read(offset, chunk.data(), chunk.size(), &got); error != 0) {
      return error;
    }
    if (got == 0) break;
    std::size_t put = 0;
    if (int error = target->Write(offset, chunk.data(), got, &put); error != 0) return error;
    if (put != got) return ENOSPC;
    offset += got;
  }
  if (int error = target->Flush(false); error != 0) return error;
  if (int error = target->Close(); error != 0) return error;
  return source->Close();
}

}  // namespace vaultrix::platform
