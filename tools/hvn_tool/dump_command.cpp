// vaultrix-hvn dump: every data record of each table (or one), decoded by
// the table's stored definition, memos included, as text, JSON or CSV.
#include <cstring>

#include "runtime/files/hvn/pages/record_kinds.h"
#include "tools/hvn_tool/commands.h"
#include "tools/hvn_tool/hvn_reader.h"
#include "tools/hvn_tool/output_text.h"
#include "tools/hvn_tool/record_values.h"

namespace vaultrix::tools {
namespace {

namespace hvn = files::hvn;

constexpr std::uint16_t kBlobMemo = 0x04;

// The memo texts of record `number`: chunks in order; a BLOB memo's first
// chunk starts with its total length.
int ReadMemos(HvnReader& reader, const TableInfo& table, std::uint32_t number,
              std::vector<std::string>* memos) {
  hvn::Table access(reader.file(), table.id);
  memos->clear();
  for (std::size_t m = 0; m < table.definition.memos.size(); ++m) {
    std::vector<std::string> chunks;
    if (int code = access.ReadMemoChunks(number, static_cast<std::uint8_t>(m), &chunks)) {
      return code;
    }
    std::string text;
    for (const std::string& chunk : chunks) text += chunk;
    if ((table.definition.memos[m].flags & kBlobMemo) && text.size() >= 4) {
      std::uint32_t length = 0;
      std::memcpy(&length, text.data(), 4);
      text = text.substr(4, length);
    }
    memos->push_back(std::move(text));
  }
  return 0;
}

class Writer {
 public:
  Writer(DumpFormat format, std::ostream& out) : format_(format), out_(out) {}

  void Begin() {
    if (format_ == DumpFormat::kJson) out_ << "{\"tables\": [";
  }
  void Table(const TableInfo& table, const std::vector<Column>& columns) {
    columns_ = &columns;
    first_record_ = true;
    switch (format_) {
      case DumpFormat::kText:
        out_ << "table " << TextValue(table.name) << "\n";
        break;
      case DumpFormat::kJson:
        out_ << (first_table_ ? "\n" : ",\n") << "{\"name\": " << JsonString(table.name)
             << ", \"records\": [";
        break;
      case DumpFormat::kCsv:
        out_ << "RECORD";
        for (const Column& column : columns) out_ << "," << CsvField(column.name);
        out_ << "\n";
        break;
    }
    first_table_ = false;
  }
  void Record(std::uint32_t number, const std::vector<std::string>& values) {
    const std::vector<Column>& columns = *columns_;
    switch (format_) {
      case DumpFormat::kText:
        out_ << "record " << number << "\n";
        for (std::size_t i = 0; i < columns.size(); ++i) {
          out_ << "  " << TextValue(columns[i].name) << ": " << TextValue(values[i]) << "\n";
        }
        break;
      case DumpFormat::kJson:
        out_ << (first_record_ ? "\n" : ",\n") << "  {\"RECORD\": " << number;
        for (std::size_t i = 0; i < columns.size(); ++i) {
          out_ << ", " << JsonString(columns[i].name) << ": ";
          if (columns[i].numeric && values[i].empty()) {
            out_ << "null";
          } else if (columns[i].numeric && IsJsonNumber(values[i])) {
            out_ << values[i];
          } else {
            out_ << JsonString(values[i]);
          }
        }
        out_ << "}";
        break;
      case DumpFormat::kCsv:
        out_ << number;
        for (const std::string& value : values) out_ << "," << CsvField(value);
        out_ << "\n";
        break;
    }
    first_record_ = false;
  }
  void EndTable() {
    if (format_ == DumpFormat::kJson) out_ << (first_record_ ? "]}" : "\n]}");
  }
  void End() {
    if (format_ == DumpFormat::kJson) out_ << "\n]}\n";
  }

 private:
  DumpFormat format_;
  std::ostream& out_;
  const std::vector<Column>* columns_ = nullptr;
  bool first_table_ = true;
  bool first_record_ = true;
};

int DumpTable(HvnReader& reader, const TableInfo& table, Writer& writer) {
  const std::vector<Column> columns = ColumnsOf(table.definition);
  writer.Table(table, columns);
  int failure = 0;
  int code = reader.Walk(hvn::KindPrefix(table.id, hvn::kKindData), [&](const hvn::Record& record) {
    const auto number = hvn::DataKeyNumber(record.key, table.id);
    if (!number) return true;
    std::vector<std::string> memos;
    if ((failure = ReadMemos(reader, table, *number, &memos)) != 0) return false;
    writer.Record(*number, ValuesOf(table.definition, record.data, memos));
    return true;
  });
  writer.EndTable();
  return code != 0 ? code : failure;
}

}  // namespace

int DumpCommand(const ToolOptions& options, std::ostream& out, std::ostream& err) {
  HvnReader reader;
  std::vector<TableInfo> tables;
  int code = reader.Open(options.file, options.owner, false);
  if (code == 0) code = reader.Begin();
  if (code == 0) code = reader.ListTables(&tables);
  if (code != 0) {
    err << "vaultrix-hvn: " << options.file << ": " << reader.Explain(code) << "\n";
    return kExitUnreadable;
  }
  std::vector<const TableInfo*> chosen;
  for (const TableInfo& table : tables) {
    if (options.table.empty() || table.name == options.table) chosen.push_back(&table);
  }
  if (!options.table.empty() && chosen.empty()) {
    err << "vaultrix-hvn: " << options.file << ": no table named " << TextValue(options.table)
        << "; its tables:";
    for (const TableInfo& table : tables) err << " " << TextValue(table.name);
    err << "\n";
    return kExitUsage;
  }
  if (options.format == DumpFormat::kCsv && chosen.size() > 1) {
    err << "vaultrix-hvn: " << options.file << " holds " << chosen.size()
        << " tables; CSV shows one: choose it with --table NAME\n";
    return kExitUsage;
  }
  for (const TableInfo* table : chosen) {
    if (!table->definition_valid) {
      err << "vaultrix-hvn: " << options.file << ": table " << TextValue(table->name)
          << " has no readable definition\n";
      return kExitUnreadable;
    }
  }
  Writer writer(options.format, out);
  writer.Begin();
  for (const TableInfo* table : chosen) {
    if ((code = DumpTable(reader, *table, writer)) != 0) {
      err << "vaultrix-hvn: " << options.file << ": " << reader.Explain(code) << "\n";
      return kExitUnreadable;
    }
  }
  writer.End();
  return kExitOk;
}

}  // namespace vaultrix::tools
