// GeneratePassword: the generator's window, opened from the password form.
// "&Ok" makes a password of the chosen size and type (a size of 0 or a blank
// type selects the control at fault instead); "Fast &Generate" makes one of 6
// to 8 letters and digits whatever the window shows; "Cancel" changes
// nothing. A new password goes into P_:Password and P_:ConfirmPassword and
// onto the clipboard; the caller redisplays its window afterwards.
#pragma once

#include <string_view>

namespace vaultrix::app {

// The window's controls (GENERATEPASSWORD$WINDOW).
inline constexpr int kGenerateSize = 3;
inline constexpr int kGenerateType = 5;
inline constexpr int kGenerateWordRadio = 6;
inline constexpr int kGenerateOk = 10;
inline constexpr int kGenerateFast = 11;
inline constexpr int kGenerateCancel = 12;

inline constexpr std::string_view kNoWordThatSizeText =
    "There are no words that size in the database - a random word has been picked.";
inline constexpr std::string_view kNoWordsFileText =
    "The words file vtrix_w.hvn is missing from the data folder, so no word can be picked.  "
    "Choose another password type, or reinstall the program to restore the file.";

void GeneratePassword();

}  // namespace vaultrix::app
