// Runtime start-up, in the order later modules rely on: the folder first
// (every relative file name depends on it), then the locale (comparisons and
// pictures read it), then the random generator, and last the
// evaluator's FORMAT and DEFORMAT, which format through display pictures.
#include "app/program/runtime_startup.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/passwords/words_file.h"
#include "platform/locations.h"
#include "runtime/support/locale.h"
#include "runtime/support/random.h"
#include "runtime/windows/evaluator_pictures.h"

namespace vaultrix::app {

StartupResult StartRuntime(const std::string& data_dir_option) {
  StartupResult result;
  result.data_dir = platform::DataDirectory(data_dir_option);
  if (result.data_dir.empty()) {
    result.error = "no data directory: set HOME, XDG_DATA_HOME or --data-dir";
    return result;
  }
  if (const int failure = platform::CreatePrivateFolder(result.data_dir); failure != 0) {
    result.error = "cannot create the data directory " + result.data_dir + ": " +
                   std::strerror(failure);
    return result;
  }
  if (::chdir(result.data_dir.c_str()) != 0) {
    result.error = "cannot enter the data directory " + result.data_dir + ": " +
                   std::strerror(errno);
    return result;
  }
  // The generator's word list ships with the program; the data directory
  // gets its own copy the first time. Without one the generator says so.
  (void)ProvideWordsFile(result.data_dir);
  support::InitialiseLocale();
  support::SeedRandomFromClock();
  windows::InstallEvaluatorPictures();
  result.ok = true;
  return result;
}

}  // namespace vaultrix::app
