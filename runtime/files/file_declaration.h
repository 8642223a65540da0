// Declaring a file without writing its blocks and descriptor by hand. The
// data dictionary states name, owner, attributes, fields, keys and memos; the
// declaration produces the descriptor bytes and the blocks (file_descriptor.h)
// and owns them for as long as the file is declared.
//
//   static auto passwords = FileDeclaration("Vtrix_P")
//       .Owner("...").Attributes(0x17)
//       .Field(StringField("P_:User", 30))
//       .Field(StringField("P_:Service", 30))
//       .Key("P_:KEYSERVICE", kKeyNoCase | kKeyOpt, {"P_:User", "P_:Service"})
//       .Memo("P_:NOTES", 10000)
//       .Build(hvn_driver, record_buffer);
//
// CheckRecordLayout compares a C++ record structure with the descriptor, so a
// test can prove that the structure the code reads is the record the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/files/driver.h"
#include "runtime/files/file_descriptor.h"
#include "runtime/files/record_layout.h"

namespace vaultrix::files {

[[nodiscard]] FieldDeclaration StringField(std::string label, std::uint32_t size);
[[nodiscard]] FieldDeclaration CStringField(std::string label, std::uint32_t size);
[[nodiscard]] FieldDeclaration PStringField(std::string label, std::uint32_t size);
// DECIMAL(digits, places): digits / 2 + 1 bytes.
[[nodiscard]] FieldDeclaration DecimalField(std::string label, std::uint32_t digits,
                                            std::uint8_t places = 0);
// A field of a fixed-size type (kTypeLong, kTypeByte, ...).
[[nodiscard]] FieldDeclaration FixedField(std::uint8_t type, std::string label);
[[nodiscard]] FieldDeclaration GroupField(std::string label, std::vector<FieldDeclaration> fields);

// A declared file: its blocks and everything they point at. Not copyable or
// movable, as the blocks point at each other.
class DeclaredFile {
 public:
  DeclaredFile() = default;
  DeclaredFile(const DeclaredFile&) = delete;
  DeclaredFile& operator=(const DeclaredFile&) = delete;
  ~DeclaredFile();  // closes the file's state if an operation left one

  [[nodiscard]] FileBlock& Block() { return block_; }
  [[nodiscard]] KeyBlock& Key(std::size_t index) { return *keys_[index]; }
  [[nodiscard]] MemoBlock& Memo(std::size_t index) { return *memos_[index]; }
  [[nodiscard]] const std::vector<std::uint8_t>& Descriptor() const { return descriptor_; }
  [[nodiscard]] std::uint8_t* Record() { return block_.record; }

  // Names the file by a variable of the program (for example an 80-character
  // name field): the name is read from it at each first use.
  void SetNameVariable(const char* text, std::uint32_t length);

 private:
  friend class FileDeclaration;
  struct KeyStorage {
    std::string label;
    std::vector<std::int32_t> components;
  };

  FileBlock block_;
  std::string name_, options_, owner_;
  std::vector<std::uint8_t> descriptor_;
  std::vector<std::unique_ptr<KeyBlock>> keys_;
  std::vector<KeyBlock*> key_list_;
  std::vector<std::unique_ptr<KeyStorage>> key_storage_;
  std::vector<std::unique_ptr<MemoBlock>> memos_;
  std::vector<MemoBlock*> memo_list_;
  std::vector<std::unique_ptr<std::string>> memo_labels_;
  std::unique_ptr<std::uint8_t[]> own_record_;
};

class FileDeclaration {
 public:
  explicit FileDeclaration(std::string name);

  FileDeclaration& Owner(std::string owner);
  FileDeclaration& Options(std::string options);
  FileDeclaration& Attributes(std::uint8_t attributes);
  FileDeclaration& Field(FieldDeclaration field);
  // Components by label; a leading "-" makes a component descending.
  FileDeclaration& Key(std::string label, std::uint32_t attributes,
                       std::vector<std::string> components);
  FileDeclaration& Memo(std::string label, std::uint32_t size);

  // The blocks. With a null `record` the declaration owns a zeroed buffer of
  // the record's size; otherwise `record` must hold that many bytes. A key
  // component naming no field is left as 0, which the first operation
  // refuses with 75.
  [[nodiscard]] std::unique_ptr<DeclaredFile> Build(const DriverRegistration& driver,
                                                    std::uint8_t* record = nullptr) const;

  [[nodiscard]] const std::vector<FieldDeclaration>& Fields() const { return fields_; }

 private:
  struct KeyDeclaration {
    std::string label;
    std::uint32_t attributes;
    std::vector<std::string> components;
  };
  struct MemoDeclaration {
    std::string label;
    std::uint32_t size;
  };

  std::string name_, options_, owner_;
  std::uint8_t attributes_ = kFileAttribute01 | kFileAttribute10;
  std::vector<FieldDeclaration> fields_;
  std::vector<KeyDeclaration> keys_;
  std::vector<MemoDeclaration> memos_;
};

// One member of a C++ record structure, as CheckRecordLayout expects it.
struct RecordMember {
  std::string_view label;
  std::size_t offset;
  std::size_t size;
};
#define VAULTRIX_RECORD_MEMBER(Struct, member, label)       \
  ::vaultrix::files::RecordMember {                         \
    label, offsetof(Struct, member), sizeof(Struct::member) \
  }

// Empty when the descriptor's record has `record_size` bytes and every member
// matches the field of its label in offset and size; otherwise what differs.
[[nodiscard]] std::string CheckRecordLayout(const std::vector<std::uint8_t>& descriptor,
                                            std::size_t record_size,
                                            std::initializer_list<RecordMember> members);

}  // namespace vaultrix::files
