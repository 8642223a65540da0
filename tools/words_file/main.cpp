// vaultrix-words WORDLIST FOLDER: makes the generator's words file
// "vtrix_w.hvn" in FOLDER from a word list of one word a line, enciphered
// with the words file's owner as the program declares it, and checks that
// the words' record numbers follow one another, as the generator draws
// them by number.
// Exit 0 on success; 1 (and no file left behind) on failure; 2 on bad arguments.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/dictionary/data_dictionary.h"
#include "app/passwords/words_file.h"
#include "app/services/transaction.h"
#include "platform/whole_file.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"
#include "tools/words_file/word_list.h"

namespace {

using namespace vaultrix;

int Fail(const std::string& what) {
  std::fprintf(stderr, "vaultrix-words: %s: %s (%d)\n", what.c_str(),
               support::Error().c_str(), static_cast<int>(support::ErrorCode()));
  files::Close(app::Words().Block());
  ::unlink(app::kWordsFileName);
  return 1;
}

int WriteWordsFile(const std::vector<std::string>& words) {
  files::FileBlock& file = app::Words().Block();
  ::unlink(app::kWordsFileName);
  files::Create(file);
  if (support::ErrorCode() != 0) return Fail("cannot create the words file");
  files::Open(file, 0x42);
  if (support::ErrorCode() != 0) return Fail("cannot open the words file");
  // One transaction for every word: a commit per ADD would sync the file
  // 64,000 times.
  if (!app::Logout({&app::Words()})) return Fail("cannot start the transaction");
  for (const std::string& word : words) {
    app::W_.Word = word;
    files::Add(file);
    if (support::ErrorCode() != 0) {
      app::Rollback();
      return Fail("cannot add \"" + word + "\"");
    }
  }
  if (!app::Commit()) return Fail("cannot commit the words");
  if (files::Records(file) != static_cast<std::int64_t>(words.size())) {
    return Fail("the file does not hold every word");
  }
  app::WordsFileSource source;
  for (std::size_t number = 1; number <= words.size(); ++number) {
    files::Get(file, source.RecordNumber(static_cast<std::int64_t>(number)));
    if (support::ErrorCode() != 0 || app::W_.Word != words[number - 1]) {
      return Fail("record " + std::to_string(number) + " does not read back");
    }
  }
  files::Close(file);
  return support::ErrorCode() == 0 ? 0 : Fail("cannot close the words file");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vaultrix-words WORDLIST FOLDER\n");
    return 2;
  }
  std::string list;
  if (platform::ReadWholeFile(argv[1], 64u << 20, list) != 0) {
    std::fprintf(stderr, "vaultrix-words: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::vector<std::string> words = tools::SelectWords(list);
  if (words.empty()) {
    std::fprintf(stderr, "vaultrix-words: %s holds no usable word\n", argv[1]);
    return 1;
  }
  if (::chdir(argv[2]) != 0) {
    std::fprintf(stderr, "vaultrix-words: cannot enter %s\n", argv[2]);
    return 1;
  }
  app::UseDataDriver(&files::HalverinDriver());
  const int result = WriteWordsFile(words);
  if (result == 0) std::printf("vaultrix-words: %zu words\n", words.size());
  return result;
}
