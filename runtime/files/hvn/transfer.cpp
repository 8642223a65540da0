// Removing, copying and renaming HVN files and tables.
#include "runtime/files/hvn/transfer.h"

#include <vector>

#include "platform/env.h"
#include "runtime/files/hvn/cipher_file.h"
#include "runtime/files/hvn/table.h"
#include "runtime/files/hvn/pages/page_file.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/system_error_map.h"

namespace vaultrix::files::hvn {
namespace {

namespace codes = support;

int FileError(int code) {
  if (code == codes::kSystemErrorBase + 2) return codes::kFileNotFound;
  if (code == codes::kSystemErrorBase + 3) return codes::kPathNotFound;
  return code;
}

// Every record of table `id`, in key order.
int ReadTable(PageFile& file, std::uint32_t id, std::vector<Record>* records) {
  Tree tree(file);
  const std::string prefix = TablePrefix(id);
  std::string key = prefix;
  Seek seek = Seek::kAtOrAfter;
  while (true) {
    Record record;
    bool found = false;
    if (int code = tree.Search(key, seek, &record, &found); code != 0) return code;
    if (!found || record.key.compare(0, prefix.size(), prefix) != 0) return 0;
    key = record.key;
    seek = Seek::kAfter;
    records->push_back(std::move(record));
  }
}

std::uint32_t Shift(std::string& bytes, std::size_t at, std::uint32_t offset) {
  const std::uint32_t number = ReadBigEndian32(bytes, at) + offset;
  bytes.replace(at, 4, BigEndian32(number));
  return number;
}

// The record under the target's id, with its numbers moved by `offset`.
Record Translate(Record record, std::uint32_t target, std::uint32_t offset,
                 const TableDefinition& definition, std::uint32_t* highest) {
  record.key.replace(0, 4, BigEndian32(target));
  const auto kind = static_cast<std::uint8_t>(record.key[4]);
  auto note = [&](std::uint32_t n) { *highest = std::max(*highest, n); };
  if ((kind == kKindData || kind == kKindMemo) && record.key.size() >= 9) {
    note(Shift(record.key, 5, offset));
  } else if (kind == kKindCounter && record.data.size() == 8) {
    Counter counter;
    if (DecodeCounter(record.data, &counter) && counter.build_mark != 0) {
      counter.build_mark += offset;
      record.data = EncodeCounter(counter);
    }
  } else if (kind < kKindData && kind < definition.keys.size()) {
    const bool dup = (definition.keys[kind].attributes & 0x01) != 0;
    if (dup && record.key.size() >= 9) {
      note(Shift(record.key, record.key.size() - 4, offset));
    } else if (!dup && record.data.size() == 4) {
      note(Shift(record.data, 0, offset));
    }
  }
  return record;
}

}  // namespace

int RemoveTable(const FileState& state) {
  const TableName name = SplitTableName(state.name);
  PageFile file;
  file.UseCipher(SharedCipherContext(name.path, state.owner));
  if (int code = file.Open(name.path, false, false); code != 0) return FileError(code);
  bool delete_file = false;
  int code = file.Begin();
  if (code == 0) {
    std::uint32_t id = 0;
    Tree tree(file);
    bool erased = false;
    bool others = false;
    code = Table::FindId(file, name.table, &id);
    // A table that another open uses stays, as CREATE leaves it.
    if (code == 0 && file.TableOpenElsewhere(id)) code = codes::kAccessDenied;
    if (code == 0) code = tree.Erase(TableNameKey(name.table), &erased);
    if (code == 0) code = Table::OtherTableExists(file, name.table, &others);
    if (code == 0 && !others) {
      delete_file = true;
      file.Abort();
    } else {
      if (code == 0) code = Table::ErasePrefix(tree, TablePrefix(id));
      if (code == 0) {
        code = file.End();
      } else {
        file.Abort();
      }
    }
  }
  (void)file.Close();
  if (code == 0 && delete_file) {
    if (int error = platform::CurrentEnv().Remove(name.path); error != 0) {
      return support::ErrorCodeFromErrno(error);
    }
  }
  return code == kInternalErrorCode ? codes::kInvalidDataFile : code;
}

int CopyTable(const FileState& state, const std::string& new_name, bool rename) {
  const TableName source = SplitTableName(state.name);
  const TableName target = SplitTableName(new_name);
  if (new_name.empty()) return codes::kInvalidFilename;
  if (!target.named) {
    platform::Env& env = platform::CurrentEnv();
    const int error =
        rename ? env.Rename(source.path, target.path, false) : env.Copy(source.path, target.path);
    return error == 0 ? 0 : FileError(support::ErrorCodeFromErrno(error));
  }
  // Read the source table.
  std::vector<Record> records;
  TableDefinition definition;
  {
    PageFile file;
    file.UseCipher(SharedCipherContext(source.path, state.owner));
    if (int code = file.Open(source.path, true, false); code != 0) return FileError(code);
    int code = file.Begin();
    std::uint32_t id = 0;
    if (code == 0) {
      code = Table::FindId(file, source.table, &id);
      bool valid = false;
      Table table(file, id);
      if (code == 0) code = table.ReadDefinition(&definition, &valid);
      if (code == 0 && !valid) code = codes::kInvalidDataFile;
      if (code == 0) code = ReadTable(file, id, &records);
      file.Abort();
    }
    (void)file.Close();
    if (code != 0) return code == kInternalErrorCode ? codes::kInvalidDataFile : code;
  }
  // Write the target table.
  {
    PageFile file;
    file.UseCipher(SharedCipherContext(target.path, state.owner));
    if (int code = file.Open(target.path, false, true); code != 0) return FileError(code);
    int code = file.Begin();
    if (code == 0) {
      std::uint32_t existing = 0;
      const int found = Table::FindId(file, target.table, &existing);
      if (found == 0 && rename) code = codes::kAccessDenied;
      if (found != 0 && found != codes::kFileNotFound) code = found;
      if (code == 0) code = Table::Drop(file, target.table);
      std::uint32_t id = 0;
      if (code == 0) code = file.IssueNumber(&id);
      Tree tree(file);
      if (code == 0) code = tree.Insert({TableNameKey(target.table), BigEndian32(id)});
      const std::uint32_t offset = file.header().last_number;
      std::uint32_t highest = 0;
      for (std::size_t i = 0; code == 0 && i < records.size(); ++i) {
        code = tree.Insert(Translate(records[i], id, offset, definition, &highest));
      }
      file.RaiseLastNumber(highest);
      if (code == 0) {
        code = file.End();
      } else {
        file.Abort();
      }
    }
    (void)file.Close();
    for (Record& record : records) {
      Wipe(record.key);
      Wipe(record.data);
    }
    if (code != 0) return code == kInternalErrorCode ? codes::kInvalidDataFile : code;
  }
  if (!rename) return 0;
  return RemoveTable(state);
}

}  // namespace vaultrix::files::hvn
