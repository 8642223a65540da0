// A keyed table for the key tests: T:NAME (STRING 20), T:NUMBER (LONG),
// T:AMOUNT (REAL), T:CODE (DECIMAL 7,2) and the memo T:NOTES, with the keys
//   0 T:KEYNAME    unique, NOCASE, OPT   +T:NAME
//   1 T:KEYNUMBER  DUP                   +T:NUMBER
//   2 T:KEYAMOUNT  DUP                   -T:AMOUNT (descending)
//   3 T:KEYCODE    unique, OPT           +T:CODE
// The model test and the key tests share it.
#pragma once

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/support/decimal.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn::testing {

inline constexpr std::size_t kNameOffset = 0;
inline constexpr std::size_t kNumberOffset = 20;
inline constexpr std::size_t kAmountOffset = 24;
inline constexpr std::size_t kCodeOffset = 32;
inline constexpr std::size_t kCodeSize = 4;
inline constexpr std::size_t kKeyName = 0, kKeyNumber = 1, kKeyAmount = 2, kKeyCode = 3;

struct KeyedRecord {
  std::string name;  // blank padded to 20 when stored
  std::int32_t number = 0;
  double amount = 0;
  std::string code = "0";  // decimal text, 2 places
};

// The bytes of a file as the disk holds them.
inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline std::unique_ptr<DeclaredFile> DeclareKeyedTable(const std::string& name,
                                                       const std::string& owner = "") {
  return FileDeclaration(name)
      .Owner(owner)
      .Attributes(0x17)
      .Field(StringField("T:NAME", kNameSize))
      .Field(FixedField(kTypeLong, "T:NUMBER"))
      .Field(FixedField(kTypeReal, "T:AMOUNT"))
      .Field(DecimalField("T:CODE", 7, 2))
      .Key("T:KEYNAME", kKeyNoCase | kKeyOpt, {"T:NAME"})
      .Key("T:KEYNUMBER", kKeyDup, {"T:NUMBER"})
      .Key("T:KEYAMOUNT", kKeyDup, {"-T:AMOUNT"})
      .Key("T:KEYCODE", kKeyOpt, {"T:CODE"})
      .Memo("T:NOTES", kMemoSize)
      .Build(HalverinDriver());
}

inline void PutKeyed(DeclaredFile& file, const KeyedRecord& record) {
  std::uint8_t* buffer = file.Record();
  std::memset(buffer + kNameOffset, ' ', kNameSize);
  std::memcpy(buffer + kNameOffset, record.name.data(),
              std::min<std::size_t>(record.name.size(), kNameSize));
  std::memcpy(buffer + kNumberOffset, &record.number, sizeof record.number);
  std::memcpy(buffer + kAmountOffset, &record.amount, sizeof record.amount);
  (void)support::TextToPacked(record.code, buffer + kCodeOffset, kCodeSize, 2);
}

inline KeyedRecord GetKeyed(DeclaredFile& file) {
  const std::uint8_t* buffer = file.Record();
  KeyedRecord record;
  record.name.assign(reinterpret_cast<const char*>(buffer + kNameOffset), kNameSize);
  record.name.erase(record.name.find_last_not_of(' ') + 1);
  std::memcpy(&record.number, buffer + kNumberOffset, sizeof record.number);
  std::memcpy(&record.amount, buffer + kAmountOffset, sizeof record.amount);
  record.code = support::PackedToText(buffer + kCodeOffset, kCodeSize, 2).value_or("?");
  return record;
}

}  // namespace vaultrix::files::hvn::testing
