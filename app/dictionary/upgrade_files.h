// UpgradeFiles: the one-time upgrade of a passwords file of the old layout,
// run by the main program when opening the passwords file answers 47. Its
// progress window copies 1000 records per timer event (dictionary/file_upgrade.h does
// the copy) and shows the percentage done; "Cancel" stops it and keeps the old
// file as it was. Leaves the response code: completed only when the new file
// took the old one's place.
#pragma once

namespace vaultrix::app {

inline constexpr int kUpgradeProgress = 1;
inline constexpr int kUpgradePercentText = 2;
inline constexpr int kUpgradeText = 3;
inline constexpr int kUpgradeCancel = 4;

void UpgradeFiles();

}  // namespace vaultrix::app
