// Uniform draws from getrandom.
#include "app/passwords/secure_random.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

namespace vaultrix::app {
namespace {

// Reads from /dev/urandom when getrandom is missing (kernels before 3.17).
bool ReadUrandom(void* out, std::size_t size) {
  const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  auto* bytes = static_cast<unsigned char*>(out);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, bytes + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return done == size;
}

std::uint32_t SystemDraw() {
  std::uint32_t value = 0;
  auto* bytes = reinterpret_cast<unsigned char*>(&value);
  std::size_t done = 0;
  while (done < sizeof value) {
    const ssize_t got = ::getrandom(bytes + done, sizeof value - done, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    done += static_cast<std::size_t>(got);
  }
  if (done == sizeof value || ReadUrandom(&value, sizeof value)) return value;
  // No kernel source at all: the library's device is the last resort.
  static std::random_device device;
  return static_cast<std::uint32_t>(device());
}

}  // namespace

std::int32_t UniformInRange(std::int32_t low, std::int32_t high,
                            const std::function<std::uint32_t()>& next) {
  if (low > high) std::swap(low, high);
  const std::uint64_t span =
      static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low) + 1;
  if (span == 1) return low;
  if (span > 0xFFFFFFFFull) return static_cast<std::int32_t>(next());  // the whole 32 bits
  // The largest multiple of span below 2^32: draws at or above it would make
  // the first (2^32 mod span) values one draw likelier than the rest.
  const std::uint64_t limit = (std::uint64_t{1} << 32) - ((std::uint64_t{1} << 32) % span);
  std::uint64_t draw = next();
  while (draw >= limit) draw = next();
  return static_cast<std::int32_t>(low + static_cast<std::int64_t>(draw % span));
}

std::int32_t SecureRandom(std::int32_t low, std::int32_t high) {
  return UniformInRange(low, high, SystemDraw);
}

}  // namespace vaultrix::app
