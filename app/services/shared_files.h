// The files the program reads at run time but never writes (the help
// document, the words file), shipped beside the program rather than kept in
// the data directory.
//
// They are found relative to the running executable, never through a path
// fixed when the program was built, so the same binary works where it was
// built and wherever it is installed:
//
//   EXE_DIR/share/vaultrix/      the build folder: the build copies the
//                                shared files there beside the program
//   EXE_DIR/../share/vaultrix/   an installed program (PREFIX/bin beside
//                                PREFIX/share), and the test programs in the
//                                build folder's tests/ subfolder
#pragma once

#include <string>
#include <vector>

namespace vaultrix::app {

// The folders above, in that order ("" entries never; none when the
// executable's path is unknown).
[[nodiscard]] std::vector<std::string> SharedFileFolders();

// The path of the shared file `name` in the first folder that holds it,
// letter case not significant; "" when none does.
[[nodiscard]] std::string FindSharedFile(const std::string& name);

// The folder that holds the executable ("" when its path is unknown).
[[nodiscard]] std::string ExecutableFolder();

// Whether `path` names a regular file.
[[nodiscard]] bool IsRegularFile(const std::string& path);

}  // namespace vaultrix::app
