// vaultrix-hvn check: every page (the engine's consistency check), then per
// table its definition, its counters, its records against the record size,
// and every key's entries against the entries its data records call for.
#include <set>
#include <sstream>

#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/pages/record_kinds.h"
#include "tools/hvn_tool/commands.h"
#include "tools/hvn_tool/hvn_reader.h"
#include "tools/hvn_tool/output_text.h"
#include "tools/hvn_tool/table_keys.h"

namespace vaultrix::tools {
namespace {

namespace hvn = files::hvn;

// Problems of one kind listed before the rest are summed up.
constexpr std::size_t kListedPerKind = 10;

class Problems {
 public:
  void Add(const std::string& text) { lines_.push_back(text); }
  // Lists the first few of `items`, then how many more there were.
  void AddMany(const std::vector<std::string>& items) {
    for (std::size_t i = 0; i < items.size() && i < kListedPerKind; ++i) Add(items[i]);
    if (items.size() > kListedPerKind) {
      Add("... and " + std::to_string(items.size() - kListedPerKind) + " more like the above");
    }
  }
  [[nodiscard]] const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

std::string RecordNumberOf(const std::string& key, const std::string& data) {
  const auto number =
      files::EntryRecordNumber(reinterpret_cast<const std::uint8_t*>(key.data()), key.size(),
                               reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  return number ? std::to_string(*number) : "?";
}

void CheckCounter(const TableInfo& table, std::uint8_t kind, const std::string& what,
                  std::size_t actual, Problems& problems) {
  const auto counter = table.counters.find(kind);
  if (counter == table.counters.end()) {
    problems.Add(what + ": counter record missing");
  } else if (counter->second.count != actual) {
    problems.Add(what + ": counter says " + std::to_string(counter->second.count) + ", found " +
                 std::to_string(actual));
  }
}

int CheckKey(HvnReader& reader, const TableInfo& table, const KeyPlan& plan,
             const ExpectedKey& expected, const std::string& what, Problems& problems) {
  std::vector<std::string> stray, wrong;
  std::set<std::string> seen;
  int code = reader.Walk(hvn::KindPrefix(table.id, plan.number), [&](const hvn::Record& record) {
    seen.insert(record.key);
    const auto at = expected.entries.find(record.key);
    if (at == expected.entries.end()) {
      stray.push_back(what + ": entry for record " + RecordNumberOf(record.key, record.data) +
                      " matches no data record");
    } else if (at->second != record.data) {
      wrong.push_back(what + ": entry names record " + RecordNumberOf(record.key, record.data) +
                      " instead of " + RecordNumberOf(at->first, at->second));
    }
    return true;
  });
  if (code != 0) return code;
  std::vector<std::string> missing, duplicates;
  for (const auto& [key, data] : expected.entries) {
    if (!seen.count(key))
      missing.push_back(what + ": no entry for record " + RecordNumberOf(key, data));
  }
  for (const auto& [record, earlier] : expected.collisions) {
    duplicates.push_back(what + ": records " + std::to_string(earlier) + " and " +
                         std::to_string(record) + " hold the same value of a unique key");
  }
  problems.AddMany(stray);
  problems.AddMany(wrong);
  problems.AddMany(missing);
  problems.AddMany(duplicates);
  CheckCounter(table, plan.number, what, seen.size(), problems);
  return 0;
}

// Memo chunks: each belongs to a data record and a declared memo, chunks
// are numbered from 0 without gaps, none holds more than 256 bytes, and a
// text memo's chunks fit its declared size.
int CheckMemos(HvnReader& reader, const TableInfo& table, const std::string& name,
               Problems& problems) {
  std::vector<std::string> found;
  hvn::Table access(reader.file(), table.id);
  std::string last_owner;  // record number and memo of the chunk before
  std::uint32_t next_chunk = 0, total = 0;
  int failure = 0;
  const int code =
      reader.Walk(hvn::KindPrefix(table.id, hvn::kKindMemo), [&](const hvn::Record& record) {
        if (record.key.size() != hvn::kMemoKeySize) {
          found.push_back(name + ": memo chunk with a malformed key");
          return true;
        }
        const std::uint32_t number = hvn::ReadBigEndian32(record.key, 5);
        const auto memo = static_cast<std::uint8_t>(record.key[9]);
        const auto chunk =
            static_cast<std::uint32_t>((static_cast<std::uint8_t>(record.key[10]) << 8) |
                                       static_cast<std::uint8_t>(record.key[11]));
        const std::string where =
            name + " record " + std::to_string(number) + " memo " + std::to_string(memo + 1);
        const std::string owner = record.key.substr(5, 5);
        if (owner != last_owner) {
          last_owner = owner;
          next_chunk = 0;
          total = 0;
          std::string image;
          bool exists = false;
          if ((failure = access.Read(number, &image, &exists)) != 0) return false;
          if (!exists) found.push_back(where + ": memo text of a record that does not exist");
          if (memo >= table.definition.memos.size()) found.push_back(where + ": no such memo");
        }
        if (chunk != next_chunk)
          found.push_back(where + ": chunk " + std::to_string(chunk) + " where chunk " +
                          std::to_string(next_chunk) + " was due");
        next_chunk = chunk + 1;
        total += static_cast<std::uint32_t>(record.data.size());
        if (record.data.size() > hvn::kMemoChunkSize) {
          found.push_back(where + ": chunk " + std::to_string(chunk) + " holds more than " +
                          std::to_string(hvn::kMemoChunkSize) + " bytes");
        } else if (memo < table.definition.memos.size() &&
                   !(table.definition.memos[memo].flags & 0x04) &&
                   total > table.definition.memos[memo].size) {
          found.push_back(where + ": text longer than the memo's size " +
                          std::to_string(table.definition.memos[memo].size));
        }
        return true;
      });
  problems.AddMany(found);
  return code != 0 ? code : failure;
}

int CheckTable(HvnReader& reader, const TableInfo& table, Problems& problems) {
  const std::string name = "table " + TextValue(table.name);
  if (!table.definition_valid) {
    problems.Add(name + ": definition missing or unreadable");
    return 0;
  }
  const std::vector<KeyPlan> plans = PlanKeys(table.definition);
  std::vector<ExpectedKey> expected;
  std::vector<std::uint32_t> short_records;
  std::uint32_t data_records = 0;
  if (int code = ExpectedEntries(reader, table, plans, &expected, &short_records, &data_records)) {
    return code;
  }
  CheckCounter(table, hvn::kKindData, name + " records", data_records, problems);
  std::vector<std::string> cut;
  for (std::uint32_t number : short_records) {
    std::string image;
    bool found = false;
    hvn::Table access(reader.file(), table.id);
    if (int code = access.Read(number, &image, &found); code != 0) return code;
    cut.push_back(name + ": record " + std::to_string(number) + " holds " +
                  std::to_string(image.size()) + " bytes, the record size is " +
                  std::to_string(table.definition.record_size));
  }
  problems.AddMany(cut);
  if (int code = CheckMemos(reader, table, name, problems); code != 0) return code;
  for (const KeyPlan& plan : plans) {
    const std::string what = name + " key " + TextValue(plan.label);
    if (!plan.maintained) continue;
    if (!plan.encoder) {
      problems.Add(what + ": its components do not fit the record");
      continue;
    }
    if (int code = CheckKey(reader, table, plan, expected[plan.number], what, problems)) {
      return code;
    }
  }
  return 0;
}

}  // namespace

int CheckCommand(const ToolOptions& options, std::ostream& out, std::ostream& err) {
  HvnReader reader;
  int code = reader.Open(options.file, options.owner, false);
  // A file whose header cannot be read is no file to list problems of.
  if (code == 0) code = reader.Begin();
  if (code != 0) {
    err << "vaultrix-hvn: " << options.file << ": " << reader.Explain(code) << "\n";
    return kExitUnreadable;
  }
  reader.Abort();
  Problems problems;
  // The page walk answers counters by their raw keys; the tables' own
  // checks below name them.
  std::istringstream pages(hvn::CheckHvnPages(reader.file()));
  for (std::string line; std::getline(pages, line);) {
    if (line.rfind("counter ", 0) == 0) continue;
    const std::string damage = "code " + std::to_string(hvn::kInternalErrorCode) + " line ";
    if (const std::size_t at = line.find(damage); at != std::string::npos) {
      line.replace(at, damage.size(), "damaged (internal check hvnbt line ");
      line += ")";
    }
    problems.Add(line);
  }
  std::vector<TableInfo> tables;
  code = reader.Begin();
  if (code == 0) code = reader.ListTables(&tables);
  for (const TableInfo& table : tables) {
    if (code == 0) code = CheckTable(reader, table, problems);
  }
  if (code != 0) problems.Add("cannot read on: " + reader.Explain(code));
  if (problems.lines().empty()) {
    out << options.file << ": no problems found (" << tables.size()
        << (tables.size() == 1 ? " table)\n" : " tables)\n");
    return kExitOk;
  }
  const std::size_t count = problems.lines().size();
  out << options.file << ": " << count << (count == 1 ? " problem\n" : " problems\n");
  for (const std::string& line : problems.lines()) out << "  " << line << "\n";
  return kExitProblems;
}

}  // namespace vaultrix::tools
