// The vaultrix program. Until the application frame is in place the program
// only answers for its version and its command line.
#include <cstdio>
#include <cstring>

#include "vaultrix_version.h"

namespace {

constexpr const char* kUsage =
    "Usage: vaultrix [options]\n"
    "\n"
    "  --data-dir DIR   keep the data files in DIR (default $XDG_DATA_HOME/vaultrix)\n"
    "  --headless       run without a display, driven by a script\n"
    "  --script FILE    the headless script to run (default: standard input)\n"
    "  --version        print the version and exit\n"
    "  --help           print this text and exit\n";

void PrintVersion() { std::printf("Vaultrix %s\n", VAULTRIX_VERSION); }

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      PrintVersion();
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintVersion();
      std::printf("\n%s", kUsage);
      return 0;
    }
  }
  PrintVersion();
  std::printf("The application frame is not built yet; this build checks the runtime only.\n\n%s",
              kUsage);
  return 0;
}
