// vaultrix-hvn info: the header, the regions, and each table's definition
// and counters.
#include <iomanip>
#include <sstream>

#include "runtime/files/hvn/pages/record_kinds.h"
#include "tools/hvn_tool/commands.h"
#include "tools/hvn_tool/hvn_reader.h"
#include "tools/hvn_tool/output_text.h"
#include "tools/hvn_tool/record_values.h"
#include "tools/hvn_tool/table_keys.h"

namespace vaultrix::tools {
namespace {

namespace hvn = files::hvn;

std::string HexId(std::uint32_t id) {
  std::ostringstream text;
  text << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << id;
  return text.str();
}

std::string Label(const std::optional<std::string>& label, const std::string& otherwise) {
  return label && !label->empty() ? TextValue(*label) : otherwise;
}

void WriteHeader(const HvnReader& reader, std::ostream& out) {
  const hvn::FileHeader& header = reader.header();
  out << "size: " << reader.file_size() << " bytes\n";
  out << "change counter: " << header.change_counter << "\n";
  out << "last issued number: " << header.last_number << "\n";
  out << "root page: " << header.root << "\n";
  out << "committed end: " << header.committed_end << "\n";
  out << "written end: " << header.written_end
      << (header.written_end != header.committed_end ? " (a page write is pending)" : "") << "\n";
  out << "regions:\n";
  for (int k = 1; k <= hvn::kMaxUnits; ++k) {
    const std::int32_t start = header.region_start[k], end = header.region_end[k];
    if (end <= start) continue;
    out << "  " << k * hvn::kUnit << "-byte pages: " << (end - start) / k << ", at references "
        << start << " to " << end - 1 << "\n";
  }
}

std::string KeyAttributes(std::uint8_t bits) {
  std::string text;
  const auto add = [&](std::uint8_t bit, const char* name) {
    if (bits & bit) text += text.empty() ? name : std::string(" ") + name;
  };
  add(0x01, "DUP");
  add(0x02, "OPT");
  add(0x04, "NOCASE");
  add(0x10, "0x10");
  add(0x20, "NOT-MAINTAINED");
  add(0x40, "NO-COMPONENTS");
  return text.empty() ? "UNIQUE" : text;
}

void WriteDefinition(const hvn::TableDefinition& definition, std::ostream& out) {
  out << "  definition: version " << definition.version << ", record size "
      << definition.record_size << ", " << definition.fields.size() << " fields, "
      << definition.memos.size() << " memos, " << definition.keys.size() << " keys\n";
  for (const hvn::DefinedField& field : definition.fields) {
    out << "  field " << field.ordinal + 1 << ": "
        << Label(field.label, "FIELD" + std::to_string(field.ordinal + 1)) << " "
        << TypeName(field.type) << " offset " << field.offset << " size " << field.size;
    if (field.element_count > 1) out << " elements " << field.element_count;
    if (field.type == files::kTypeDecimal || field.type == files::kTypePDecimal) {
      out << " places " << int{field.places};
    }
    if (field.overlay) out << " over earlier storage";
    out << "\n";
  }
  for (std::size_t m = 0; m < definition.memos.size(); ++m) {
    const hvn::DefinedMemo& memo = definition.memos[m];
    out << "  memo " << m + 1 << ": " << Label(memo.label, "MEMO" + std::to_string(m + 1))
        << " size " << memo.size << ((memo.flags & 0x04) ? " BLOB" : "") << "\n";
  }
  for (std::size_t k = 0; k < definition.keys.size(); ++k) {
    const hvn::DefinedKey& key = definition.keys[k];
    out << "  key " << k + 1 << ": " << TextValue(KeyName(definition, k)) << " "
        << KeyAttributes(key.attributes) << " on";
    for (const auto& [ordinal, descending] : key.components) {
      out << " " << (descending ? "-" : "+");
      if (ordinal < definition.fields.size()) {
        out << Label(definition.fields[ordinal].label, "FIELD" + std::to_string(ordinal + 1));
      } else {
        out << "field " << ordinal + 1 << " (missing)";
      }
    }
    out << "\n";
  }
}

void WriteCounters(const TableInfo& table, std::ostream& out) {
  out << "  counters:";
  if (table.counters.empty()) out << " none";
  out << "\n";
  for (const auto& [kind, counter] : table.counters) {
    out << "    ";
    if (kind == hvn::kKindData) {
      out << "records";
    } else if (table.definition_valid && kind < table.definition.keys.size()) {
      out << "key " << TextValue(KeyName(table.definition, kind));
    } else {
      out << "kind " << int{kind};
    }
    out << ": " << counter.count << " (build mark " << counter.build_mark << ")\n";
  }
}

}  // namespace

int InfoCommand(const ToolOptions& options, std::ostream& out, std::ostream& err) {
  HvnReader reader;
  std::vector<TableInfo> tables;
  int code = reader.Open(options.file, options.owner, false);
  if (code == 0) code = reader.Begin();
  if (code == 0) code = reader.ListTables(&tables);
  if (code != 0) {
    err << "vaultrix-hvn: " << options.file << ": " << reader.Explain(code) << "\n";
    return kExitUnreadable;
  }
  out << "file: " << options.file << "\n";
  WriteHeader(reader, out);
  out << "tables: " << tables.size() << "\n";
  for (const TableInfo& table : tables) {
    out << "table " << TextValue(table.name) << " (id " << HexId(table.id) << ")\n";
    if (table.definition_valid) {
      WriteDefinition(table.definition, out);
    } else {
      out << "  definition: missing or unreadable\n";
    }
    WriteCounters(table, out);
  }
  return kExitOk;
}

}  // namespace vaultrix::tools
