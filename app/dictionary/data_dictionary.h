// The vault's data dictionary: eight file declarations on four disk files,
// each with its record buffer, its keys and memos and its open count.
//
//   declaration       prefix  disk name      owner  attributes  record  keys  memos
//   Passwords()       P_      "Vtrix_P"      yes    0x17        240     4     2
//   NewPasswords()    PN_     "Vtrix_N"      yes    0x17        240     4     2   upgrade target
//   OldPasswords()    PO_     "Vtrix_P"      yes    0x17        240     3     2   upgrade source
//   PasswordsAlias()  PA_     "Vtrix_P"      yes    0x17        240     4     2   the frame's
//   Users()           U_      "Vtrix_U"      yes    0x17         80     1     0
//   UsersAlias()      UA_     "Vtrix_U"      yes    0x17         80     1     0   the frame's
//   Words()           W_      "vtrix_w.hvn"  yes    0x17         20     1     0
//   TipOfTheDay()     TIP     "VTRIX_T"      none   0x1C          6     1     1
//
// The aliases and the old and new declarations let two procedures hold
// different records of one disk file, and let the old passwords layout (more
// notes of 1000 characters, URL key unique and optional, no password key) be
// read. Opening a passwords file of the old layout with the current
// declaration fails with 47.
//
// Record buffers are plain globals named by their prefix (P_.Service is the
// field the system calls P_:Service); labels inside the descriptors keep the
// system's text ("P_:SERVICE", "P_:KEYSERVICE", "P_:NOTES").
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/dictionary/data_file.h"
#include "runtime/files/driver.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {

template <std::size_t N>
using Text = support::FixedString<N>;

// Passwords, and identically PN_, PO_ and PA_.
struct PasswordRecord {
  Text<30> User;  // the owning user's U_:Name
  Text<30> Service;
  Text<90> URL;
  Text<30> Name;  // the login name at the service
  Text<30> Password;
  Text<30> ConfirmPassword;
};
static_assert(sizeof(PasswordRecord) == 240);

// Users and UA_.
struct UserRecord {
  Text<30> Name;
  Text<25> Password;  // or "Not Required"
  Text<25> ConfirmPassword;
};
static_assert(sizeof(UserRecord) == 80);

struct WordRecord {
  Text<20> Word;
};
static_assert(sizeof(WordRecord) == 20);

// TIP:TipID is a packed DECIMAL(11) of 6 bytes (support/decimal.h reads it).
struct TipRecord {
  std::uint8_t TipID[6];
};
static_assert(sizeof(TipRecord) == 6);

// The record buffers, shared by all threads.
extern PasswordRecord P_;
extern PasswordRecord PN_;
extern PasswordRecord PO_;
extern PasswordRecord PA_;
extern UserRecord U_;
extern UserRecord UA_;
extern WordRecord W_;
extern TipRecord TIP;
// The user record as the user form read it, before the user changed it;
// UpdateUserRecord compares the name against it.
extern UserRecord SavedUserRecord;

// Keys of P_, PN_ and PA_, in declaration order.
inline constexpr std::size_t kKeyService = 0;   // User, Service, Name; NOCASE OPT
inline constexpr std::size_t kKeyName = 1;      // User, Name, Service; NOCASE OPT
inline constexpr std::size_t kKeyUrl = 2;       // User, URL, Name; NOCASE DUP
inline constexpr std::size_t kKeyPassword = 3;  // Password, Name, Service; NOCASE OPT DUP
// Keys of the old layout PO_.
inline constexpr std::size_t kOldKeyService = 0;
inline constexpr std::size_t kOldKeyUrl = 1;
inline constexpr std::size_t kOldKeyName = 2;
// Memos of every passwords declaration.
inline constexpr std::size_t kMemoNotes = 0;
inline constexpr std::size_t kMemoMoreNotes = 1;
// The one key of U_, UA_, W_ and TIP, and the one memo of TIP.
inline constexpr std::size_t kFirstKey = 0;
inline constexpr std::size_t kMemoTipDesc = 0;

inline constexpr std::size_t kNotesSize = 10000;
inline constexpr std::size_t kMoreNotesSize = 5000;
inline constexpr std::size_t kOldMoreNotesSize = 1000;
inline constexpr std::size_t kTipDescSize = 1000;

[[nodiscard]] DataFile& Passwords();
[[nodiscard]] DataFile& NewPasswords();
[[nodiscard]] DataFile& OldPasswords();
[[nodiscard]] DataFile& PasswordsAlias();
[[nodiscard]] DataFile& Users();
[[nodiscard]] DataFile& UsersAlias();
[[nodiscard]] DataFile& Words();
[[nodiscard]] DataFile& TipOfTheDay();

// The eight declarations, in the order of the table above.
// REQUIRES: index < kDeclarationCount.
inline constexpr std::size_t kDeclarationCount = 8;
[[nodiscard]] DataFile& Declaration(std::size_t index);

// Makes `driver` serve every declaration (the HVN driver in the program, a
// test's driver in tests). REQUIRES: no declaration has a file state.
void UseDataDriver(const files::DriverRegistration* driver);

// Wipes and blanks every record buffer and the saved user record (TIP to
// zero): at shut-down, so that no password stays in memory, and between tests.
void ClearRecordBuffers();

}  // namespace vaultrix::app
