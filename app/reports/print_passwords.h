// The three password reports (File > "&Print"): one user's entries ordered
// by service, by URL or by name. Each asks for the user with SelectUsers,
// produces its pages into a preview in slices on the timer events of a
// progress window ("Cancel" stops it), shows them with ReportPreview and
// prints them when the preview answers completed. Each runs on a thread of
// its own, started by the frame.
#pragma once

namespace vaultrix::app {

enum class PasswordReport { kByService, kByUrl, kByName };

void PrintPasswords(PasswordReport report);

inline void PrintPasswordsByService() { PrintPasswords(PasswordReport::kByService); }
inline void PrintPasswordsByUrl() { PrintPasswords(PasswordReport::kByUrl); }
inline void PrintPasswordsByName() { PrintPasswords(PasswordReport::kByName); }

}  // namespace vaultrix::app
