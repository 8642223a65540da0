// The key range of a filter: when a filter's top-level AND terms hold
// equalities that pin the leading components of the key the primary file
// reads in (such as UPPER(P_:User) = UPPER(Range) on a NOCASE key led by
// P_:User), every record that passes lies in one contiguous run of key
// entries. The filter reader then jumps to that run and stops at its edge.
//
// A term pins a component when one side reads the component's field
// (directly, or through UPPER or LOWER on a NOCASE key), the other side
// reads nothing of the record or its memos, and the two sides are of the
// same kind (a text field against a string, a number field against a
// number). Components are compared by the ordered key encoding that the
// indexed driver uses: texts through the locale's case and collation
// tables, integers big-endian with the sign bit flipped, reals as ordered
// bytes; a descending component complemented.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/eval/expression.h"
#include "runtime/files/file_descriptor.h"

namespace vaultrix::eval {

class KeyRange {
 public:
  // Null when the filter pins no leading component of the reading key, or
  // the key's field types are not ones the range can encode.
  [[nodiscard]] static std::unique_ptr<KeyRange> Analyse(files::FileBlock& primary,
                                                         Expression& filter);

  // Evaluates the pinned values now (once per read).
  void Refresh();
  // Where the record in the buffer lies against the range: <0 before it,
  // 0 inside, >0 after it (in ascending key order).
  [[nodiscard]] int Locate() const;
  // SETs the primary file to the first (forward) or last (backward) entry
  // of the range, leaving its recorded reading order as it was. Answers
  // the SET's error code.
  [[nodiscard]] std::int32_t Seek(bool backward);

  struct Component {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    std::uint8_t type = 0;
    bool descending = false;
    Node* value = nullptr;  // pinned components only
  };

 private:
  KeyRange(files::FileBlock& primary, files::KeyBlock& key, bool nocase)
      : primary_(primary), key_(key), nocase_(nocase) {}

  void Encode(const Component& component, const std::uint8_t* field, std::uint8_t* out) const;
  void WritePinned(const Component& component, std::uint8_t* field);
  void WriteExtreme(const Component& component, bool highest, std::uint8_t* field) const;

  files::FileBlock& primary_;
  files::KeyBlock& key_;
  bool nocase_;
  std::vector<Component> components_;  // every key component, the pinned ones first
  std::size_t pinned_ = 0;
  std::vector<std::uint8_t> pinned_fields_;   // the pinned values as field bytes
  std::vector<std::uint8_t> pinned_encoded_;  // and encoded
  std::string scratch_;
};

}  // namespace vaultrix::eval
