// The eight declarations of the data dictionary and their record buffers.
#include "app/dictionary/data_dictionary.h"

#include <strings.h>

#include <cstring>
#include <string>

#include "runtime/files/file_descriptor.h"

namespace vaultrix::app {

PasswordRecord P_;
PasswordRecord PN_;
PasswordRecord PO_;
PasswordRecord PA_;
UserRecord U_;
UserRecord UA_;
WordRecord W_;
TipRecord TIP{};
UserRecord SavedUserRecord;

namespace {

using files::FileDeclaration;
using files::kKeyDup;
using files::kKeyNoCase;
using files::kKeyOpt;
using files::StringField;

constexpr std::uint8_t kDataFileAttributes =
    files::kFileAttribute01 | files::kFileAttributeEncrypt | files::kFileAttributeCreate |
    files::kFileAttribute10;  // 0x17
constexpr std::uint8_t kTipFileAttributes =
    files::kFileAttributeCreate | files::kFileAttribute08 | files::kFileAttribute10;  // 0x1C

constexpr const char* kPasswordsOwner = "OrbitPlumeCasketNimbleFox";
constexpr const char* kUsersOwner = "MarrowKettleBlueOxenTrail";
constexpr const char* kWordsOwner = "lanternquarryhobbitfernsmoked";

// The fields and memos shared by every passwords layout, under `prefix`
// ("P_", "PN_", ...).
FileDeclaration PasswordFields(const std::string& disk_name, const std::string& prefix,
                               std::uint32_t more_notes_size) {
  const std::string p = prefix + ":";
  return FileDeclaration(disk_name)
      .Owner(kPasswordsOwner)
      .Attributes(kDataFileAttributes)
      .Field(StringField(p + "USER", 30))
      .Field(StringField(p + "SERVICE", 30))
      .Field(StringField(p + "URL", 90))
      .Field(StringField(p + "NAME", 30))
      .Field(StringField(p + "PASSWORD", 30))
      .Field(StringField(p + "CONFIRMPASSWORD", 30))
      .Memo(p + "NOTES", kNotesSize)
      .Memo(p + "MORENOTES", more_notes_size);
}

FileDeclaration CurrentPasswords(const std::string& disk_name, const std::string& prefix) {
  const std::string p = prefix + ":";
  return PasswordFields(disk_name, prefix, kMoreNotesSize)
      .Key(p + "KEYSERVICE", kKeyNoCase | kKeyOpt, {p + "USER", p + "SERVICE", p + "NAME"})
      .Key(p + "KEYNAME", kKeyNoCase | kKeyOpt, {p + "USER", p + "NAME", p + "SERVICE"})
      .Key(p + "KEYURL", kKeyNoCase | kKeyDup, {p + "USER", p + "URL", p + "NAME"})
      .Key(p + "KEYPASSWORD", kKeyNoCase | kKeyOpt | kKeyDup,
           {p + "PASSWORD", p + "NAME", p + "SERVICE"});
}

FileDeclaration OldLayoutPasswords() {
  return PasswordFields("Vtrix_P", "PO_", kOldMoreNotesSize)
      .Key("PO_:KEYSERVICE", kKeyNoCase | kKeyOpt, {"PO_:USER", "PO_:SERVICE", "PO_:NAME"})
      .Key("PO_:KEYURL", kKeyNoCase | kKeyOpt, {"PO_:USER", "PO_:URL", "PO_:NAME"})
      .Key("PO_:KEYNAME", kKeyNoCase | kKeyOpt, {"PO_:USER", "PO_:NAME", "PO_:SERVICE"});
}

FileDeclaration UsersLayout(const std::string& prefix) {
  const std::string p = prefix + ":";
  return FileDeclaration("Vtrix_U")
      .Owner(kUsersOwner)
      .Attributes(kDataFileAttributes)
      .Field(StringField(p + "NAME", 30))
      .Field(StringField(p + "PASSWORD", 25))
      .Field(StringField(p + "CONFIRMPASSWORD", 25))
      .Key(p + "KEYNAME", kKeyNoCase | kKeyOpt, {p + "NAME"});
}

FileDeclaration WordsLayout() {
  return FileDeclaration("vtrix_w.hvn")
      .Owner(kWordsOwner)
      .Attributes(kDataFileAttributes)
      .Field(StringField("W_:WORD", 20))
      .Key("W_:KEYWORD", kKeyNoCase | kKeyOpt, {"W_:WORD"});
}

FileDeclaration TipsLayout() {
  return FileDeclaration("VTRIX_T")
      .Attributes(kTipFileAttributes)
      .Field(files::DecimalField("TIP:TIPID", 11, 0))
      .Key("TIP:KEYTIPID", kKeyNoCase | kKeyOpt | files::kKey10, {"TIP:TIPID"})
      .Memo("TIP:TIPDESC", kTipDescSize);
}

template <class Record>
void Wipe(Record& record) {
  explicit_bzero(&record, sizeof record);
}

void Blank(PasswordRecord& record) {
  Wipe(record);
  record = PasswordRecord{};
}

void Blank(UserRecord& record) {
  Wipe(record);
  record = UserRecord{};
}

}  // namespace

DataFile& Passwords() {
  static DataFile file("Passwords", CurrentPasswords("Vtrix_P", "P_"), &P_,
                             [] { Blank(P_); });
  return file;
}

DataFile& NewPasswords() {
  static DataFile file("Passwords", CurrentPasswords("Vtrix_N", "PN_"), &PN_,
                             [] { Blank(PN_); });
  return file;
}

DataFile& OldPasswords() {
  static DataFile file("Passwords", OldLayoutPasswords(), &PO_, [] { Blank(PO_); });
  return file;
}

DataFile& PasswordsAlias() {
  static DataFile file("Passwords", CurrentPasswords("Vtrix_P", "PA_"), &PA_,
                             [] { Blank(PA_); });
  return file;
}

DataFile& Users() {
  static DataFile file("Users", UsersLayout("U_"), &U_, [] { Blank(U_); });
  return file;
}

DataFile& UsersAlias() {
  static DataFile file("Users", UsersLayout("UA_"), &UA_, [] { Blank(UA_); });
  return file;
}

DataFile& Words() {
  static DataFile file("Words", WordsLayout(), &W_, [] {
    Wipe(W_);
    W_ = WordRecord{};
  });
  return file;
}

DataFile& TipOfTheDay() {
  // Tips hold no secret: the buffer keeps the tip last read for whoever
  // called the tip form, as the other record buffers do while in use.
  static DataFile file("TipOfTheDay", TipsLayout(), &TIP, [] {});
  return file;
}

DataFile& Declaration(std::size_t index) {
  switch (index) {
    case 0:
      return Passwords();
    case 1:
      return NewPasswords();
    case 2:
      return OldPasswords();
    case 3:
      return PasswordsAlias();
    case 4:
      return Users();
    case 5:
      return UsersAlias();
    case 6:
      return Words();
    default:
      return TipOfTheDay();
  }
}

void UseDataDriver(const files::DriverRegistration* driver) {
  for (std::size_t i = 0; i < kDeclarationCount; ++i) Declaration(i).SetDriver(driver);
}

void ClearRecordBuffers() {
  Blank(P_);
  Blank(PN_);
  Blank(PO_);
  Blank(PA_);
  Blank(U_);
  Blank(UA_);
  Blank(SavedUserRecord);
  Wipe(W_);
  W_ = WordRecord{};
  Wipe(TIP);
}

}  // namespace vaultrix::app
