// Where the program keeps its settings and data on this platform, and where
// its executable and environment file are.
//
//   settings folder   $XDG_CONFIG_HOME/vaultrix/ (default ~/.config/vaultrix/):
//                     WIN.INI (the default profile) and private profiles such as
//                     "VAULTRIX.INI"
//   data directory    --data-dir DIR, else $XDG_DATA_HOME/vaultrix
//                     (default ~/.local/share/vaultrix)
//   executable        /proc/self/exe
//   environment file  the executable's path with ".ENV" appended
//
// Folders the program creates are mode 0700. Every location can be overridden
// (tests, scripted runs) so that nothing touches the real home folder; an
// override is process-wide and set before threads start.
#pragma once

#include <string>

namespace vaultrix::platform {

inline constexpr const char* kDefaultProfileName = "WIN.INI";

// The settings folder, without a trailing "/". Does not create it.
[[nodiscard]] std::string SettingsFolder();

// The data directory: `data_dir_option` when not empty, else the override,
// else the XDG default. Does not create it.
[[nodiscard]] std::string DataDirectory(const std::string& data_dir_option = "");

// The full path of the running executable ("" when it cannot be found).
[[nodiscard]] std::string ExecutablePath();

// The executable's path with ".ENV" appended ("" without an executable path).
[[nodiscard]] std::string EnvironmentFilePath();

// The path of the default profile, WIN.INI in the settings folder.
[[nodiscard]] std::string DefaultProfilePath();

// Overrides; an empty text removes the override.
void SetSettingsFolderOverride(const std::string& folder);
void SetDataDirectoryOverride(const std::string& folder);
void SetExecutablePathOverride(const std::string& path);

// `folder` + "/" + `name`; when no entry of that exact name exists but one
// differs from it only in ASCII letter case, that entry instead, so that
// names find their files as they would on a case-insensitive file system.
[[nodiscard]] std::string ResolveNameIgnoringCase(const std::string& folder,
                                                  const std::string& name);

// Creates `folder` and any missing parents, each new folder with mode 0700.
// Answers 0, or the errno of the failing step (ENOTDIR when a part of the path
// is a file).
[[nodiscard]] int CreatePrivateFolder(const std::string& folder);

}  // namespace vaultrix::platform
