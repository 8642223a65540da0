// Finding, copying and reading the words file.
#include "app/passwords/words_file.h"

#include <sys/stat.h>

#include <cerrno>

#include "app/dictionary/data_dictionary.h"
#include "platform/locations.h"
#include "platform/whole_file.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {
namespace {

// The supplied list is about 64,000 words; anything far larger is not it.
constexpr std::size_t kLargestWordsFile = 64u << 20;

bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

std::vector<std::string> WordsFileSources() {
  std::vector<std::string> sources;
  const std::string executable = platform::ExecutablePath();
  if (!executable.empty()) {
    const std::string bin = FolderOf(executable);
    sources.push_back(bin + "/" + kWordsFileName);
    sources.push_back(bin + "/../share/vaultrix/" + kWordsFileName);
  }
  // Tests and tools run from folders below the build folder.
  const std::string build = VAULTRIX_BUILD_TREE;
  if (!build.empty() && build.front() == '/') sources.push_back(build + "/" + kWordsFileName);
  return sources;
}

bool ProvideWordsFile(const std::string& data_dir, const std::vector<std::string>& sources) {
  const std::string target = data_dir + "/" + kWordsFileName;
  if (IsFile(target)) return true;
  for (const std::string& source : sources) {
    std::string contents;
    if (!IsFile(source) || platform::ReadWholeFile(source, kLargestWordsFile, contents) != 0) {
      continue;
    }
    // A new file gets mode 0600 and appears whole or not at all.
    if (platform::ReplaceWholeFile(target, contents) == 0) return true;
  }
  return false;
}

std::int64_t WordsFileSource::Count() {
  const std::int64_t count = files::Records(Words().Block());
  return support::ErrorCode() == 0 ? count : 0;
}

std::int32_t WordsFileSource::RecordNumber(std::int64_t number) {
  if (first_ == 0) {
    files::Set(Words().Block());
    files::Next(Words().Block());
    first_ = support::ErrorCode() == 0 ? files::Pointer(Words().Block()) : 1;
  }
  return static_cast<std::int32_t>(first_ + number - 1);
}

std::string WordsFileSource::Word(std::int64_t number) {
  files::Get(Words().Block(), RecordNumber(number));
  if (support::ErrorCode() != 0) return {};
  return std::string(W_.Word.Clipped());
}

}  // namespace vaultrix::app
