// A data record decoded by its table's stored definition: one column per
// element of every field that holds storage of its own (groups and fields
// over earlier storage are left out, their bytes are shown by the fields
// they cover), then one per memo. Values are text; numbers as the runtime
// shows them, texts as their stored bytes (STRING without its trailing
// blanks, CSTRING up to its terminator, PSTRING by its length byte).
#pragma once

#include <string>
#include <vector>

#include "runtime/files/hvn/pages/table_definition.h"

namespace vaultrix::tools {

struct Column {
  std::string name;      // the label, or FIELDn / MEMOn without one; unique
  bool numeric = false;  // the value is a number (JSON writes it bare)
};

[[nodiscard]] std::vector<Column> ColumnsOf(const files::hvn::TableDefinition& definition);

// The values of ColumnsOf for one record image and its memo texts. A field
// that lies beyond the end of a short image gives an empty value.
[[nodiscard]] std::vector<std::string> ValuesOf(const files::hvn::TableDefinition& definition,
                                                const std::string& image,
                                                const std::vector<std::string>& memos);

// The stored name of a field type ("STRING", "LONG", ...; "TYPE 0xNN" else).
[[nodiscard]] std::string TypeName(std::uint8_t type);

}  // namespace vaultrix::tools
