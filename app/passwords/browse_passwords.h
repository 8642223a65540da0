// BrowsePasswords: the current user's password entries in three orders (tabs
// "Ser&vice", "U&RL", "N&ame"), on the browse engine, on a thread of its own.
// It logs a user in when it opens (the toolbar's quick user slot with the
// password prompt, else the user picker), edits through UpdatePasswords,
// copies any field of the highlighted entry to the clipboard, shows and
// filters the clipboard text, opens DisplayAll and switches to the list of
// another user. Several may be open at once, each with its own order.
#pragma once

#include <string>
#include <string_view>

namespace vaultrix::app {

// Controls of "BROWSEPASSWORDS$QUICKWINDOW".
inline constexpr int kBrowserList = 1;
inline constexpr int kBrowserSheet = 2;
inline constexpr int kBrowserOtherUser = 3;
inline constexpr int kBrowserInsert = 4;
inline constexpr int kBrowserChange = 5;
inline constexpr int kBrowserDelete = 6;
inline constexpr int kBrowserClose = 7;
inline constexpr int kBrowserCopyName = 9;
inline constexpr int kBrowserCopyPassword = 10;
inline constexpr int kBrowserCopyUrl = 11;
inline constexpr int kBrowserCopyNotes = 12;
inline constexpr int kBrowserCopyMoreNotes = 13;
inline constexpr int kBrowserCopyService = 14;
inline constexpr int kBrowserClipboard = 16;
inline constexpr int kBrowserClipboardPrompt = 17;

inline constexpr std::string_view kBrowserCaption = "Passwords - ";
inline constexpr std::string_view kBrowserPopup =
    "&Insert|&Change|&Delete|-|Copy &Name|Copy &Password|Copy &URL|Copy No&tes|"
    "Copy &More Notes|Copy &Service|-|&Filter Clipboard|-|Display &All";

// The clipboard text cleaned up: control characters and everything that sorts
// after "Z" in upper case dropped, trailing blanks cut, runs of blanks made one.
[[nodiscard]] std::string FilterBrowserClipboard(std::string_view text);

void BrowsePasswords();

}  // namespace vaultrix::app
