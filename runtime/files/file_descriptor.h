// The compiled description of a file: file block, key blocks and memo blocks.
// A program declares each of its files once, statically; every file
// operation takes the file block (or one of its key blocks) as its handle.
// The fields and their meanings are those of the stored 32-bit layout, in
// the same order; addresses are native pointers. file_declaration.h builds
// these blocks from a readable declaration.
//
//   FileBlock                         KeyBlock                    MemoBlock
//   driver        registration       external_name   text        external_name  text
//   name          text ("Vtrix_P")   label           "P_:KEYNAME" label          "P_:NOTES"
//   options       text ("/TAB=4")    driver_key      0 until use buffer         0 until use
//   owner         text, empty=none   attributes      kKey* bits  driver_memo    driver's entry
//   attributes    kFileAttribute*    component_count             zero           0
//   key_count, memo_count            components      +k / -k     flags          1
//   record_size   bytes              file            owning file size           bytes
//   layout        descriptor bytes   reserved[3]
//   layout_size   bytes readable at layout
//   keys, memos   lists of blocks (keys end with nullptr)
//   record        the one static record buffer
//   state         0 until the first operation; released by CLOSE
#pragma once

#include <cstdint>
#include <string_view>

namespace vaultrix::files {

struct DriverRegistration;
struct FileState;
struct FileBlock;

// A text held elsewhere: address and length. The runtime copies what it
// needs at first use; trailing blanks of a fixed-length name variable are
// not part of the name.
struct TextRef {
  const char* data = nullptr;
  std::uint32_t length = 0;

  [[nodiscard]] std::string_view View() const {
    return data == nullptr ? std::string_view() : std::string_view(data, length);
  }
};

// File attribute bits (FileBlock::attributes).
inline constexpr std::uint8_t kFileAttribute01 = 0x01;  // set on every file; no effect
inline constexpr std::uint8_t kFileAttributeEncrypt = 0x02;
inline constexpr std::uint8_t kFileAttributeCreate = 0x04;  // CREATE allowed
inline constexpr std::uint8_t kFileAttribute08 = 0x08;
inline constexpr std::uint8_t kFileAttribute10 = 0x10;  // set on every file; no effect
inline constexpr std::uint8_t kFileAttributeOem = 0x20;

// Key attribute bits (KeyBlock::attributes).
inline constexpr std::uint32_t kKeyDup = 0x01;     // duplicate values allowed
inline constexpr std::uint32_t kKeyOpt = 0x02;     // records with all components null left out
inline constexpr std::uint32_t kKeyNoCase = 0x04;  // letters enter the key in lower case
inline constexpr std::uint32_t kKey10 = 0x10;
inline constexpr std::uint32_t kKeyRuntimeIndex = 0x4000;  // built at run time, not kept complete

// Access mode of OPEN and SHARE: an access nibble and a deny nibble.
inline constexpr std::int32_t kAccessReadOnly = 0x00;
inline constexpr std::int32_t kAccessWriteOnly = 0x01;
inline constexpr std::int32_t kAccessReadWrite = 0x02;
inline constexpr std::int32_t kDenyCompatibility = 0x00;
inline constexpr std::int32_t kDenyAll = 0x10;
inline constexpr std::int32_t kDenyWrite = 0x20;
inline constexpr std::int32_t kDenyRead = 0x30;
inline constexpr std::int32_t kDenyNone = 0x40;
inline constexpr std::int32_t kAccessCreate = 0x100;  // CREATE opens with 0x142
inline constexpr std::int32_t kAccessNibble = 0x0F;
inline constexpr std::int32_t kDenyNibble = 0xF0;
// OPEN without a mode: read/write, deny write. The application passes 0x42.
inline constexpr std::int32_t kDefaultOpenMode = kAccessReadWrite | kDenyWrite;
inline constexpr std::int32_t kDefaultShareMode = kAccessReadWrite | kDenyNone;

struct KeyBlock {
  TextRef external_name;
  TextRef label;
  void* driver_key = nullptr;  // the driver's entry for this key, null until first use
  std::uint32_t attributes = 0;
  std::uint8_t component_count = 0;
  // One per component: +k field k ascending, -k field k descending; fields
  // are numbered from 1 in record order, the record group not counted.
  const std::int32_t* components = nullptr;
  FileBlock* file = nullptr;
  std::uint8_t reserved[3] = {};
};

struct MemoBlock {
  TextRef external_name;
  TextRef label;
  char* buffer = nullptr;       // allocated blank-filled at first use, freed at CLOSE
  void* driver_memo = nullptr;  // the driver's entry for this memo
  std::uint8_t zero = 0;
  std::uint8_t flags = 1;
  std::uint32_t size = 0;
};

struct FileBlock {
  const DriverRegistration* driver = nullptr;  // its dispatch routine serves every operation
  TextRef name;
  TextRef options;  // driver options, each introduced by "/"
  TextRef owner;    // OWNER password; empty = none
  std::uint8_t attributes = 0;
  std::uint8_t key_count = 0;
  std::uint8_t memo_count = 0;
  std::uint32_t record_size = 0;
  const std::uint8_t* layout = nullptr;  // record layout descriptor (record_layout.h)
  std::uint32_t layout_size = 0;         // bytes readable at layout
  KeyBlock* const* keys = nullptr;       // key_count blocks in declaration order, then nullptr
  MemoBlock* const* memos = nullptr;     // memo_count blocks
  std::uint8_t* record = nullptr;        // the file's one record buffer
  FileState* state = nullptr;            // null until first use (file_state.h)
  std::uint8_t reserved[5] = {};
};

}  // namespace vaultrix::files
