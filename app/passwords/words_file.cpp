// Finding, copying and reading the words file.
#include "app/passwords/words_file.h"

#include <cerrno>

#include "app/dictionary/data_dictionary.h"
#include "app/services/shared_files.h"
#include "platform/whole_file.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {
namespace {

// The supplied list is about 64,000 words; anything far larger is not it.
constexpr std::size_t kLargestWordsFile = 64u << 20;

}  // namespace

std::vector<std::string> WordsFileSources() {
  std::vector<std::string> sources;
  for (const std::string& folder : SharedFileFolders()) sources.push_back(folder + "/" + kWordsFileName);
  return sources;
}

bool ProvideWordsFile(const std::string& data_dir, const std::vector<std::string>& sources) {
  const std::string target = data_dir + "/" + kWordsFileName;
  if (IsRegularFile(target)) return true;
  for (const std::string& source : sources) {
    std::string contents;
    if (!IsRegularFile(source) || platform::ReadWholeFile(source, kLargestWordsFile, contents) != 0) {
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
