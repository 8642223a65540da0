// The tips Vaultrix starts with, and their writing into a new data
// directory's tips file. They are numbered from 1 in the order below.
#include <array>
#include <string_view>

#include "app/dictionary/data_dictionary.h"
#include "app/services/open_data_file.h"
#include "app/services/standard_warnings.h"
#include "app/tips/tip_of_day.h"
#include "app/tips/tips.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {
namespace {

constexpr std::int32_t kRecordInsertError = 14;

// Plain ASCII, each well under the 1000 characters a tip holds.
constexpr std::array<std::string_view, 20> kShippedTips = {
    "Welcome to Vaultrix. Choose File > Passwords (or the Passwords button of the toolbar) to "
    "see your list of entries: service, URL, login name, password and notes, kept in encrypted "
    "data files and protected by your own login password.",

    "Copy a password instead of typing it: the copy buttons of the password list and of the "
    "password form put the field on the clipboard, ready to paste into the login page of the "
    "service.",

    "Vaultrix can empty the clipboard for you. In Edit > Options, set \"Clear clipboard "
    "contents after how many seconds\" (0 turns it off). A password you copied is then gone "
    "from the clipboard after that many seconds.",

    "Leaving your desk? In Edit > Options, \"Close after how many minutes of inactivity\" "
    "makes Vaultrix close by itself when nobody has used it for that long. A window counts "
    "down ten seconds first; press its Cancel button to keep Vaultrix open.",

    "Edit > Options > \"Hide Clipboard Contents\" stops the password windows from showing what "
    "is on the clipboard, so a copied password is not on the screen for anyone looking over "
    "your shoulder.",

    "In any list, press Insert to add an entry, Delete to delete the highlighted one, and "
    "Ctrl+Enter or a double click to change it. A right click opens a small menu with the same "
    "three choices.",

    "Looking for an entry? Type its first letter in the list: the highlight jumps to the first "
    "entry that begins with that letter, or the next one after it. The tabs of the password "
    "list sort it by service, by URL or by login name.",

    "Page Up, Page Down, Home and End move through a long list a page at a time or straight "
    "to its ends; the scroll bar's thumb can be dragged to a place in the alphabet.",

    "Need a new password? \"Generate New Password\" in the password form makes one of the length "
    "you choose (3 to 32 characters) and puts it in the password fields and on the clipboard.",

    "The generator has four types: Word (a real word of the chosen length from the word "
    "list), Alphabet Only (lower-case letters), Alphanumeric (letters and digits) and All "
    "Characters (letters, digits and the marks !@#$%&*(). Longer passwords of more kinds of "
    "character are harder to guess.",

    "Coming from another password program? Export its list as comma-separated text (CSV) and "
    "choose File > Import. You pick the user the entries belong to, then assign each column "
    "of the file to a Vaultrix field; Auto assigns the columns whose names the header line "
    "holds.",

    "File > Export writes one user's entries to a comma-separated text file, for a spreadsheet "
    "or another program. Remember that the exported file is plain text: your passwords are "
    "readable in it. Delete it when you no longer need it.",

    "Each person who uses this computer can have a user of his own in File > User Setup, with "
    "his own login password and his own list of entries. The toolbar's User buttons open the "
    "lists of the first users directly.",

    "A user whose password is \"Not Required\" is never asked for a password. That is handy on "
    "a computer only you can reach, but anyone who can start Vaultrix there can then read that "
    "user's list.",

    "Where is my data? The data files live in ~/.local/share/vaultrix (or "
    "$XDG_DATA_HOME/vaultrix, or the folder given with --data-dir). The settings, such as "
    "these tips' place and the window positions, are in ~/.config/vaultrix.",

    "Back up your vault: while Vaultrix is closed, copy the whole data folder "
    "(~/.local/share/vaultrix) to a backup disk. To restore, copy it back the same way. The "
    "files stay encrypted in the copy.",

    "Security: the entries are enciphered in the data files, and every file Vaultrix creates "
    "can be read and written by your own account only. Vaultrix cannot protect you from "
    "someone who knows your login password, so choose a long one and do not write it down "
    "next to the computer.",

    "Print your list with File > Print, by service, by URL or by name. The preview shows the "
    "pages before anything is printed. Keep a printed list as safe as the passwords on it.",

    "The vaultrix-hvn tool checks and repairs the data files without the program: "
    "\"vaultrix-hvn check FILE\" walks a file page by page, \"vaultrix-hvn rebuild FILE\" "
    "remakes its keys.",

    "These tips are yours to change. Press \"Add Your Own Tips\" to add, change or delete "
    "tips; a tip can hold up to 1000 characters. If you would rather not see them, set "
    "ShowTip=0 in section [TipOfDay] of VAULTRIX.INI.",
};

bool AddShippedTips() {
  DataFile& tips = TipOfTheDay();
  std::int64_t number = 0;
  for (std::string_view text : kShippedTips) {
    TIP = TipRecord{};
    SetTipNumber(++number);
    support::AssignFixed(tips.MemoText(kMemoTipDesc), text);
    files::Add(tips.Block());
    if (support::ErrorCode() != support::kNoError) {
      (void)ShowWarning(kRecordInsertError);
      return false;
    }
  }
  return true;
}

}  // namespace

void ProvideShippedTips() {
  DataFile& tips = TipOfTheDay();
  if (tips.OpenCount() != 0) return;
  files::Open(tips.Block(), kDataFileAccess);
  const std::int32_t code = support::ErrorCode();
  files::Close(tips.Block());
  support::ClearError();
  // Any other failure is OpenDataFile's to report when the tips are used.
  if (code != support::kFileNotFound) return;
  // Filled before it appears: a tips file, even an empty one, is never
  // filled again, so a crash must not leave one without its tips.
  CreateWhole(tips, AddShippedTips);
  support::ClearError();
  TIP = TipRecord{};
  tips.WipeRecord();
}

}  // namespace vaultrix::app
