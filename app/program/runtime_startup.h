// Bringing the runtime up before the application's first procedure runs: the
// data directory becomes the current directory (so that data file names
// without a path land there), the locale is read from the default profile
// and the environment file, and RANDOM is seeded from the clock.
#pragma once

#include <string>

namespace vaultrix::app {

struct StartupResult {
  bool ok = false;
  std::string data_dir;  // the directory in use
  std::string error;     // what went wrong when !ok
};

// `data_dir_option` is the --data-dir value, empty for the default. The data
// directory is created (mode 0700) when missing.
[[nodiscard]] StartupResult StartRuntime(const std::string& data_dir_option);

}  // namespace vaultrix::app
