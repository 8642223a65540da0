// The kinds of record an HVN file holds, and how their keys are built. Every
// table has a 4-byte table id (big-endian); a record's key starts with the
// table id and a kind byte, except the two file-level kinds.
//
//   kind             key                                          data
//   0xF3 data        id(4) F3 number(4, BE)                 9     the record image
//   0..n-1 key entry id(4) key number(1) value [number(4,BE) for DUP keys]
//                                                                 unique keys: number(4, BE)
//   0xF6 counter     id(4) F6 counted kind(1)               6     count(4), build mark(4)
//   0xFA definition  id(4) FA block(2, low byte first)      7     <= 512 bytes of the
//                                                                 definition stream
//   0xFC memo        id(4) FC number(4,BE) memo(1) chunk(2,BE) 12 <= 256 bytes of text
//   0xFE table name  FE name (no terminator)                      table id(4, BE)
//   0xFF transaction FF                                           transaction number(4),
//                                                                 control file name, 0
//
// Counter numbers are stored low byte first. The last issued number (file
// header) feeds record numbers and table ids; it stays below 0xFE000000.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vaultrix::files::hvn {

inline constexpr std::uint8_t kKindData = 0xF3;
inline constexpr std::uint8_t kKindCounter = 0xF6;
inline constexpr std::uint8_t kKindDefinition = 0xFA;
inline constexpr std::uint8_t kKindMemo = 0xFC;
inline constexpr std::uint8_t kKindTableName = 0xFE;
inline constexpr std::uint8_t kKindTransaction = 0xFF;

inline constexpr std::size_t kDataKeySize = 9;
inline constexpr std::size_t kMemoKeySize = 12;
inline constexpr std::size_t kDefinitionBlockSize = 512;
inline constexpr std::size_t kMemoChunkSize = 256;

[[nodiscard]] std::string BigEndian32(std::uint32_t value);
[[nodiscard]] std::uint32_t ReadBigEndian32(std::string_view bytes, std::size_t at);

[[nodiscard]] std::string TablePrefix(std::uint32_t table_id);
[[nodiscard]] std::string KindPrefix(std::uint32_t table_id, std::uint8_t kind);
[[nodiscard]] std::string DataKey(std::uint32_t table_id, std::uint32_t number);
[[nodiscard]] std::string CounterKey(std::uint32_t table_id, std::uint8_t counted_kind);
[[nodiscard]] std::string DefinitionKey(std::uint32_t table_id, std::uint16_t block);
[[nodiscard]] std::string MemoKey(std::uint32_t table_id, std::uint32_t number, std::uint8_t memo,
                                  std::uint16_t chunk);
// All memo chunks of one record share this prefix.
[[nodiscard]] std::string MemoRecordPrefix(std::uint32_t table_id, std::uint32_t number);
[[nodiscard]] std::string TableNameKey(std::string_view name);
[[nodiscard]] std::string TransactionKey();

// The record number of a data key; nullopt when `key` is not one of this
// table's data keys.
[[nodiscard]] std::optional<std::uint32_t> DataKeyNumber(std::string_view key,
                                                         std::uint32_t table_id);

struct Counter {
  std::uint32_t count = 0;
  std::uint32_t build_mark = 0;
};
[[nodiscard]] std::string EncodeCounter(const Counter& counter);
[[nodiscard]] bool DecodeCounter(std::string_view data, Counter* counter);

struct TransactionRecord {
  std::uint32_t number = 0;
  std::string control_file;
};
[[nodiscard]] std::string EncodeTransaction(const TransactionRecord& record);
[[nodiscard]] bool DecodeTransaction(std::string_view data, TransactionRecord* record);

// The next number after `last`, or nullopt when it would reach 0xFE000000.
[[nodiscard]] std::optional<std::uint32_t> NextNumber(std::uint32_t last);

// A file name as the driver is given it: "path[\!table]". Without a table
// part the table is "UNNAMED"; a path without an extension gets ".HVN".
struct TableName {
  std::string path;
  std::string table;
  bool named = false;  // the name carried a "\!" part
};
[[nodiscard]] TableName SplitTableName(std::string_view name);

}  // namespace vaultrix::files::hvn
