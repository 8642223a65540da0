// vaultrix-hvn rebuild and pack. rebuild: the entries of every maintained key of every table
// are removed and made again from the data records, and each key's counter
// set to what it holds. A unique key keeps the first record (by record
// number) of values that several records hold; the others are listed and
// the command answers kExitProblems, as BUILD answers 40. pack: the same,
// then every page laid out afresh and the file cut to its data, as PACK
// does; refused while another program holds the file open.
#include "runtime/files/hvn/pages/record_kinds.h"
#include "tools/hvn_tool/commands.h"
#include "tools/hvn_tool/hvn_reader.h"
#include "tools/hvn_tool/output_text.h"
#include "tools/hvn_tool/table_keys.h"

namespace vaultrix::tools {
namespace {

namespace hvn = files::hvn;

int RebuildKey(HvnReader& reader, const TableInfo& table, const KeyPlan& plan,
               const ExpectedKey& expected) {
  hvn::Tree tree(reader.file());
  if (int code = hvn::Table::ErasePrefix(tree, hvn::KindPrefix(table.id, plan.number))) {
    return code;
  }
  for (const auto& [key, data] : expected.entries) {
    if (int code = tree.Insert({key, data}); code != 0) return code;
  }
  // Every record up to the last issued number is in the key now.
  const hvn::Counter counter{static_cast<std::uint32_t>(expected.entries.size()),
                             reader.header().last_number + 1};
  return tree.Insert({hvn::CounterKey(table.id, plan.number), hvn::EncodeCounter(counter)});
}

int RebuildTable(HvnReader& reader, const TableInfo& table, std::ostream& out, bool* duplicates) {
  const std::string name = "table " + TextValue(table.name);
  if (!table.definition_valid) {
    out << name << ": definition missing or unreadable; keys left as they are\n";
    *duplicates = true;
    return 0;
  }
  const std::vector<KeyPlan> plans = PlanKeys(table.definition);
  std::vector<ExpectedKey> expected;
  std::vector<std::uint32_t> short_records;
  std::uint32_t data_records = 0;
  if (int code = ExpectedEntries(reader, table, plans, &expected, &short_records, &data_records)) {
    return code;
  }
  for (std::uint32_t number : short_records) {
    out << name << ": record " << number
        << " has a length other than the record size; left out of the keys\n";
  }
  for (const KeyPlan& plan : plans) {
    const std::string what = name + " key " + TextValue(plan.label);
    if (!plan.maintained) {
      out << what << ": run-time index, not rebuilt\n";
      continue;
    }
    if (!plan.encoder) {
      out << what << ": its components do not fit the record; not rebuilt\n";
      *duplicates = true;
      continue;
    }
    const ExpectedKey& entries = expected[plan.number];
    if (int code = RebuildKey(reader, table, plan, entries); code != 0) return code;
    out << what << ": " << entries.entries.size() << " entries\n";
    for (const auto& [record, earlier] : entries.collisions) {
      out << what << ": record " << record << " left out, its value is record " << earlier
          << "'s\n";
      *duplicates = true;
    }
  }
  return 0;
}

// Rebuilds every table's keys and, for `pack`, lays the file out afresh.
int RebuildFile(const ToolOptions& options, bool pack, std::ostream& out, std::ostream& err) {
  HvnReader reader;
  std::vector<TableInfo> tables;
  int code = reader.Open(options.file, options.owner, true);
  if (code == 0) code = reader.Begin();
  if (code == 0 && pack && reader.file().OpenElsewhere()) {
    reader.Abort();
    err << "vaultrix-hvn: " << options.file
        << ": the file is open in another program; close it there first\n";
    return kExitUnreadable;
  }
  const std::uint64_t size_before = reader.file_size();
  if (code == 0) code = reader.ListTables(&tables);
  bool problems = false;
  for (const TableInfo& table : tables) {
    if (code == 0) code = RebuildTable(reader, table, out, &problems);
  }
  if (code == 0 && pack) code = reader.file().Compact();
  std::uint64_t size_after = 0;
  if (code == 0) code = reader.Commit(&size_after);
  if (code != 0) {
    err << "vaultrix-hvn: " << options.file << ": " << reader.Explain(code) << "\n";
    return kExitUnreadable;
  }
  if (pack) out << "packed: " << size_before << " bytes before, " << size_after << " after\n";
  return problems ? kExitProblems : kExitOk;
}

}  // namespace

int RebuildCommand(const ToolOptions& options, std::ostream& out, std::ostream& err) {
  return RebuildFile(options, false, out, err);
}

int PackCommand(const ToolOptions& options, std::ostream& out, std::ostream& err) {
  return RebuildFile(options, true, out, err);
}

}  // namespace vaultrix::tools
