// Record keys of every kind, counters, transaction records and table names.
#include "runtime/files/hvn/pages/record_kinds.h"

#include "runtime/files/hvn/pages/header.h"

namespace vaultrix::files::hvn {

std::string BigEndian32(std::uint32_t value) {
  std::string out(4, '\0');
  StoreBig32(reinterpret_cast<std::uint8_t*>(out.data()), value);
  return out;
}

std::uint32_t ReadBigEndian32(std::string_view bytes, std::size_t at) {
  if (bytes.size() < at + 4) return 0;
  return LoadBig32(reinterpret_cast<const std::uint8_t*>(bytes.data() + at));
}

std::string TablePrefix(std::uint32_t table_id) {
  return BigEndian32(table_id);
}

std::string KindPrefix(std::uint32_t table_id, std::uint8_t kind) {
  std::string key = BigEndian32(table_id);
  key.push_back(static_cast<char>(kind));
  return key;
}

std::string DataKey(std::uint32_t table_id, std::uint32_t number) {
  return KindPrefix(table_id, kKindData) + BigEndian32(number);
}

std::string CounterKey(std::uint32_t table_id, std::uint8_t counted_kind) {
  std::string key = KindPrefix(table_id, kKindCounter);
  key.push_back(static_cast<char>(counted_kind));
  return key;
}

std::string DefinitionKey(std::uint32_t table_id, std::uint16_t block) {
  std::string key = KindPrefix(table_id, kKindDefinition);
  key.push_back(static_cast<char>(block & 0xFF));
  key.push_back(static_cast<char>(block >> 8));
  return key;
}

std::string MemoRecordPrefix(std::uint32_t table_id, std::uint32_t number) {
  return KindPrefix(table_id, kKindMemo) + BigEndian32(number);
}

std::string MemoKey(std::uint32_t table_id, std::uint32_t number, std::uint8_t memo,
                    std::uint16_t chunk) {
  std::string key = MemoRecordPrefix(table_id, number);
  key.push_back(static_cast<char>(memo));
  key.push_back(static_cast<char>(chunk >> 8));
  key.push_back(static_cast<char>(chunk & 0xFF));
  return key;
}

std::string TableNameKey(std::string_view name) {
  std::string key(1, static_cast<char>(kKindTableName));
  key.append(name);
  return key;
}

std::string TransactionKey() {
  return std::string(1, static_cast<char>(kKindTransaction));
}

std::optional<std::uint32_t> DataKeyNumber(std::string_view key, std::uint32_t table_id) {
  if (key.size() != kDataKeySize || ReadBigEndian32(key, 0) != table_id ||
      static_cast<std::uint8_t>(key[4]) != kKindData) {
    return std::nullopt;
  }
  return ReadBigEndian32(key, 5);
}

std::string EncodeCounter(const Counter& counter) {
  std::string out(8, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(out.data());
  Store32(p, counter.count);
  Store32(p + 4, counter.build_mark);
  return out;
}

bool DecodeCounter(std::string_view data, Counter* counter) {
  if (data.size() != 8) return false;
  const auto* p = reinterpret_cast<const std::uint8_t*>(data.data());
  counter->count = Load32(p);
  counter->build_mark = Load32(p + 4);
  return true;
}

std::string EncodeTransaction(const TransactionRecord& record) {
  std::string out(4, '\0');
  Store32(reinterpret_cast<std::uint8_t*>(out.data()), record.number);
  out.append(record.control_file);
  out.push_back('\0');
  return out;
}

bool DecodeTransaction(std::string_view data, TransactionRecord* record) {
  // The name ends at its first zero; what a writer left after it is not part
  // of the name.
  const std::size_t terminator = data.find('\0', 4);
  if (data.size() < 5 || terminator == std::string_view::npos) return false;
  record->number = Load32(reinterpret_cast<const std::uint8_t*>(data.data()));
  record->control_file.assign(data.substr(4, terminator - 4));
  return true;
}

std::optional<std::uint32_t> NextNumber(std::uint32_t last) {
  if (last + 1 >= kNumberLimit || last >= kNumberLimit) return std::nullopt;
  return last + 1;
}

TableName SplitTableName(std::string_view name) {
  TableName result;
  const std::size_t mark = name.find("\\!");
  std::string_view path = name;
  if (mark != std::string_view::npos) {
    result.table.assign(name.substr(mark + 2));
    result.named = true;
    path = name.substr(0, mark);
  }
  if (result.table.empty()) result.table = "UNNAMED";
  result.path.assign(path);
  const std::size_t slash = result.path.find_last_of("/\\");
  const std::size_t dot = result.path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    result.path += ".HVN";
  }
  return result;
}

}  // namespace vaultrix::files::hvn
