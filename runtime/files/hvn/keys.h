// The keys of one open HVN table and the maintenance that keeps their entries
// in step with the data records. Each key's entries are records of the file's
// single tree (hvn/key_value.h gives their layout); each key has a counter
// record holding its number of entries and its build mark.
//
// Maintenance (ADD, PUT, DELETE) runs over the keys in declaration order,
// skipping run-time indexes, which ADD, PUT and DELETE do not keep complete:
// the old entry (from the stored record) and the new one (from the buffer)
// are built; equal entries change nothing; a new entry of a unique key whose
// value is already held fails the operation with 40. The caller runs the
// maintenance inside one operation of the page file and aborts that
// operation on failure, which drops every key change made so far together
// with the rest: nothing changes, in memory or on the disk.
//
// A run-time index (key attribute 0x4000) is stored with the attribute 0x20
// (not maintained) and, when declared without components, 0x40; its
// components may be given as text when it is built (ParseIndexComponents).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/files/file_state.h"
#include "runtime/files/hvn/key_value.h"
#include "runtime/files/hvn/table.h"

namespace vaultrix::files::hvn {

inline constexpr std::uint32_t kKeyNotMaintained = 0x20;
inline constexpr std::uint32_t kKeyWithoutComponents = 0x40;

class KeySet {
 public:
  // Builds the encoder of every key of `state`: 75 when a component names
  // no usable field.
  [[nodiscard]] int Prepare(const FileState& state);

  [[nodiscard]] std::size_t size() const { return keys_.size(); }
  // The index of `block` among the file's keys; nullopt for a key of
  // another file.
  [[nodiscard]] std::optional<std::size_t> IndexOf(const FileState& state,
                                                   const KeyBlock* block) const;
  [[nodiscard]] const KeyValueEncoder& Encoder(std::size_t key) const { return keys_[key].encoder; }
  // False for run-time indexes.
  [[nodiscard]] bool Maintained(std::size_t key) const { return keys_[key].maintained; }
  // Gives a run-time index the components of `text` (ParseIndexComponents);
  // 76 when the text names none or a field that cannot be a component.
  [[nodiscard]] int SetIndexComponents(const FileState& state, std::size_t key,
                                       std::string_view text);

  // Replaces the entries of `old_record` (null for ADD) by those of
  // `new_record` (null for DELETE) for record `number` in every maintained
  // key; 40 on a unique key collision (the caller aborts the operation).
  [[nodiscard]] int Maintain(Table& table, const std::uint8_t* old_record,
                             const std::uint8_t* new_record, std::uint32_t number);

  // The record holding `value` in `key`: exactly for a unique key, the first
  // duplicate for a DUP key. `found` false when there is none.
  [[nodiscard]] int FindValue(Table& table, std::size_t key, const std::vector<std::uint8_t>& value,
                              std::uint32_t* number, bool* found) const;

  // Inserts the entry of `record` (number `number`) into `key`: `inserted`
  // false when OPT leaves it out or the entry is there already, `collided`
  // when a unique key holds the value for another record.
  [[nodiscard]] int InsertEntry(Table& table, std::size_t key, const std::uint8_t* record,
                                std::uint32_t number, bool* inserted, bool* collided) const;

 private:
  struct Key {
    KeyValueEncoder encoder;
    bool maintained = true;
  };
  int Replace(Table& table, const Key& key, const std::uint8_t* old_record,
              const std::uint8_t* new_record, std::uint32_t number);
  // Puts `new_entry` in and takes `old_entry` out (either may be null).
  int ReplaceEntry(Table& table, const KeyValueEncoder& encoder, const KeyEntry* old_entry,
                   const KeyEntry* new_entry, std::uint32_t number);

  std::vector<Key> keys_;
  // The entries Replace builds, their storage kept from call to call and
  // wiped after each (they hold the records' values).
  KeyEntry old_entry_;
  KeyEntry new_entry_;
};

// Reads a run-time index's component text: fields separated by commas, each
// named by its label (without regard to case; the prefix before ":" may be
// left out) and led by "+" (ascending, the default) or "-" (descending).
// nullopt when the text is empty or names an unknown field, an array or a
// group.
[[nodiscard]] std::optional<std::vector<KeyComponentInfo>> ParseIndexComponents(
    const RecordLayout& layout, std::string_view text);

// Key bytes as the tree holds them.
[[nodiscard]] inline std::string AsKey(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace vaultrix::files::hvn
