// Reading the environment file (format in environment_file.h).
#include "runtime/support/environment_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/support/ascii_text.h"

namespace vaultrix::support {
namespace {

constexpr std::size_t kEnvironmentFileMax = 1u << 20;

bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\x1A'; }

void ParseLine(std::string_view line, EnvironmentFile& file) {
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  std::string_view key = TrimBlanks(line.substr(0, equals));
  if (key.empty() || key.size() > kEnvironmentKeyMax || key.front() == ';') return;
  std::string_view value = TrimBlanks(line.substr(equals + 1));
  if (value.size() > kEnvironmentValueMax) value = TrimBlanks(value.substr(0, kEnvironmentValueMax));
  file.entries.push_back({std::string(key), std::string(value)});
}

}  // namespace

std::optional<std::string> EnvironmentFile::Find(std::string_view key) const {
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    if (EqualIgnoringAsciiCase(entry->key, key)) return entry->value;
  }
  return std::nullopt;
}

EnvironmentFile ParseEnvironmentFile(const char* data, std::size_t size) {
  EnvironmentFile file;
  std::size_t line_start = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    if (i == size || IsLineEnd(data[i])) {
      if (i > line_start) ParseLine(std::string_view(data + line_start, i - line_start), file);
      line_start = i + 1;
    }
  }
  return file;
}

EnvironmentFile ReadEnvironmentFile(const std::string& path) {
  if (path.empty()) return {};
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string bytes;
  char buffer[8192];
  while (bytes.size() < kEnvironmentFileMax) {
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  close(fd);
  if (bytes.size() > kEnvironmentFileMax) bytes.resize(kEnvironmentFileMax);
  return ParseEnvironmentFile(bytes.data(), bytes.size());
}

}  // namespace vaultrix::support
