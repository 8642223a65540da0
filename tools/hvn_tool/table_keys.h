// The keys of one table as its stored definition declares them, and the key
// entries its data records call for: what `check` compares with the entries
// the file holds and what `rebuild` writes. Files with the OEM attribute are
// not told apart by the stored definition; their text keys are encoded with
// the plain text map.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "runtime/files/hvn/key_value.h"
#include "tools/hvn_tool/hvn_reader.h"

namespace vaultrix::tools {

struct KeyPlan {
  std::uint8_t number = 0;
  std::string label;
  bool maintained = false;                        // false for run-time indexes (0x20, 0x40)
  std::optional<files::KeyValueEncoder> encoder;  // none when the definition is unusable
};

struct ExpectedKey {
  std::map<std::string, std::string> entries;  // entry key -> data
  // Records whose value a unique key already holds for an earlier record.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> collisions;  // record, earlier record
};

[[nodiscard]] std::vector<KeyPlan> PlanKeys(const files::hvn::TableDefinition& definition);

// Reads every data record of `table` and builds the entries of each key of
// `plans` (indexed like it; keys not maintained stay empty). Records whose
// length is not the record size are left out and listed in `short_records`.
[[nodiscard]] int ExpectedEntries(HvnReader& reader, const TableInfo& table,
                                  const std::vector<KeyPlan>& plans,
                                  std::vector<ExpectedKey>* expected,
                                  std::vector<std::uint32_t>* short_records,
                                  std::uint32_t* data_records);

// The label of a key for messages: its label, else "KEYn".
[[nodiscard]] std::string KeyName(const files::hvn::TableDefinition& definition, std::size_t index);

}  // namespace vaultrix::tools
