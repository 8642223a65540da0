// The controls of the three tips windows as their descriptions number them,
// and the texts the tip form shows.
#pragma once

#include <string_view>

namespace vaultrix::app {

// "ABOUT$WINDOW" (module vltrx015).
inline constexpr int kAboutTipText = 3;
inline constexpr int kAboutOk = 4;
inline constexpr int kAboutNext = 5;
inline constexpr int kAboutPrevious = 6;
inline constexpr int kAboutAddTips = 7;

// "BROWSETIPS$QUICKWINDOW" (module vltrx017).
inline constexpr int kBrowseTipsList = 1;
inline constexpr int kBrowseTipsInsert = 2;
inline constexpr int kBrowseTipsChange = 3;
inline constexpr int kBrowseTipsDelete = 4;
inline constexpr int kBrowseTipsClose = 5;

// "UPDATETIPS$QUICKWINDOW" (module vltrx018).
inline constexpr int kUpdateTipsText = 2;
inline constexpr int kUpdateTipsOk = 3;
inline constexpr int kUpdateTipsCancel = 4;

inline constexpr std::string_view kAddTipTitle = "Add Tip";
inline constexpr std::string_view kChangeTipTitle = "Change Tip";
// The tip key as the duplicate-key warning names it.
inline constexpr std::string_view kTipKeyName = "TIP:KeyTipID";

}  // namespace vaultrix::app
