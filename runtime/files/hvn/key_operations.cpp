// The HVN driver's operations on keys: GET by key, the SET forms in key
// order, NEXT and PREVIOUS through a key, POSITION, RESET and REGET by key,
// RECORDS and DUPLICATE of a key.
//
// Key order: after SET(key) NEXT starts at the key's first entry and
// PREVIOUS at its last; after SET(key, key) at the first entry not less than
// the buffer's value, and the last not greater than it (a DUP key's start
// completed with record number 0 and 0xFFFFFFFF, so that every duplicate of
// the value is read in either direction); SET(key, key, pointer) and
// RESET(key) complete it with the record number given. After a read, NEXT
// and PREVIOUS step from the entry read. An entry of another key or table
// ends the sequence with 33.
#include <string.h>

#include <algorithm>
#include <cstring>

#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::files::hvn {
namespace {

namespace codes = support;

const std::uint8_t* BytesOf(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

// The first five bytes of key `key`'s entries; those of the next key number
// sort after every entry of this one.
std::string KeyPrefix(std::uint32_t table_id, std::size_t key) {
  return KindPrefix(table_id, static_cast<std::uint8_t>(key));
}

}  // namespace

HvnFile::~HvnFile() {
  // The transaction must not keep an open that is gone.
  if (open_) LeaveTransaction(file_);
  Wipe(key_anchor_);
  Wipe(located_entry_);
  if (!start_value_.empty()) ::explicit_bzero(start_value_.data(), start_value_.size());
}

int HvnFile::EnsureKeys() {
  if (keys_ready_) return 0;
  if (int code = keys_.Prepare(state_); code != 0) return code;
  keys_ready_ = true;
  return 0;
}

int HvnFile::KeyIndex(const KeyBlock* key, std::size_t* index) const {
  if (!open_) return codes::kFileNotOpen;
  const auto found = keys_.IndexOf(state_, key);
  if (!found) return codes::kUnableToAccessIndex;
  *index = *found;
  return 0;
}

int HvnFile::RemoveKeyEntries(Table& table, std::uint32_t number) {
  std::string stored;
  bool found = false;
  if (int code = table.Read(number, &stored, &found); code != 0) return code;
  if (!found) return 0;
  if (stored.size() != state_.record_size) return file_.Damage(__LINE__);
  const int code = keys_.Maintain(table, BytesOf(stored), nullptr, number);
  Wipe(stored);
  return code;
}

int HvnFile::LocateInKey(Table& table, bool forward, std::uint32_t* number, bool* found) {
  const auto key = static_cast<std::size_t>(order_key_);
  const KeyValueEncoder& encoder = keys_.Encoder(key);
  std::string search;
  const std::string* from = &search;
  Seek seek;
  switch (cursor_) {
    case Cursor::kEnds:
      // Entries are longer than the prefix: after this key's prefix comes
      // its first entry, before the next key's prefix its last.
      search = KeyPrefix(table_id_, forward ? key : key + 1);
      seek = forward ? Seek::kAfter : Seek::kBefore;
      break;
    case Cursor::kAt:
      search = AsKey(encoder.SearchKey(
          table_id_, start_value_.data(),
          start_number_.value_or(forward ? kFirstRecordNumber : kLastRecordNumber)));
      seek = forward ? Seek::kAtOrAfter : Seek::kAtOrBefore;
      break;
    case Cursor::kAfterRead:
    default:
      // A search from the entry read: the leaf that held it answers without
      // a descent while the cache has not changed (Tree::Locate); an entry
      // since deleted or moved by anyone is not found again, its neighbour is.
      from = &key_anchor_;
      seek = forward ? Seek::kAfter : Seek::kBefore;
      break;
  }
  const Record* record = nullptr;
  if (int code = table.tree().Locate(*from, seek, &record); code != 0) return code;
  *found = record != nullptr && encoder.Owns(table_id_, BytesOf(record->key), record->key.size());
  if (!*found) {
    // Past either end: NEXT and PREVIOUS go on from the end reached.
    located_entry_ = KeyPrefix(table_id_, forward ? key + 1 : key);
    return 0;
  }
  const auto entry_number = EntryRecordNumber(BytesOf(record->key), record->key.size(),
                                              BytesOf(record->data), record->data.size());
  if (!entry_number) return file_.Damage(__LINE__);
  *number = *entry_number;
  located_entry_.assign(record->key);
  return 0;
}

int HvnFile::GetByKey(const KeyBlock* key) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  const std::vector<std::uint8_t> value = keys_.Encoder(index).EncodeValue(state_.record);
  return ReadWithHold([&](Table& table, std::uint32_t* number, std::string*) {
    bool found = false;
    if (int code = keys_.FindValue(table, index, value, number, &found); code != 0) return code;
    return found ? 0 : codes::kRecordNotFound;
  });
}

int HvnFile::StartKeyOrder(std::size_t key, const std::uint8_t* record,
                           std::optional<std::uint32_t> number) {
  order_key_ = static_cast<int>(key);
  if (record == nullptr) {
    cursor_ = Cursor::kEnds;
    return 0;
  }
  cursor_ = Cursor::kAt;
  start_value_ = keys_.Encoder(key).EncodeValue(record);
  start_number_ = number;
  return 0;
}

int HvnFile::SetKey(const KeyBlock* key) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  return StartKeyOrder(index, nullptr, std::nullopt);
}

int HvnFile::SetKeyKey(const KeyBlock* key) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  return StartKeyOrder(index, state_.record, std::nullopt);
}

int HvnFile::SetKeyKeyPointer(const KeyBlock* key, std::int64_t pointer) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  const auto number = static_cast<std::uint32_t>(std::clamp<std::int64_t>(pointer, 0, 0xFFFFFFFF));
  return StartKeyOrder(index, state_.record, number);
}

int HvnFile::SetKeyPointer(const KeyBlock* key, std::int64_t pointer) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  if (pointer <= 0) return StartKeyOrder(index, nullptr, std::nullopt);
  // The start is the entry of that record: its value as stored.
  std::string stored;
  const int code = RunRead([&](Table& table) {
    bool found = false;
    if (pointer >= kNumberLimit) return codes::kRecordNotFound;
    if (int read = table.Read(static_cast<std::uint32_t>(pointer), &stored, &found); read != 0) {
      return read;
    }
    if (!found) return codes::kRecordNotFound;
    return stored.size() == state_.record_size ? 0 : file_.Damage(__LINE__);
  });
  if (code == 0) StartKeyOrder(index, BytesOf(stored), static_cast<std::uint32_t>(pointer));
  Wipe(stored);
  return code;
}

int HvnFile::SetFileKey(const KeyBlock* key) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  const KeyValueEncoder& encoder = keys_.Encoder(index);
  const std::vector<std::uint8_t> value = encoder.EncodeValue(state_.record);
  // Record order from the record of the first entry not less than the
  // value; past the end when there is none.
  std::uint32_t start = 0xFFFFFFFF;
  const int code = RunRead([&](Table& table) {
    Record record;
    bool found = false;
    const std::string search =
        AsKey(encoder.SearchKey(table_id_, value.data(), kFirstRecordNumber));
    if (int seek = table.tree().Search(search, Seek::kAtOrAfter, &record, &found); seek != 0) {
      return seek;
    }
    start = 0xFFFFFFFF;
    if (!found || !encoder.Owns(table_id_, BytesOf(record.key), record.key.size())) return 0;
    const auto number = EntryRecordNumber(BytesOf(record.key), record.key.size(),
                                          BytesOf(record.data), record.data.size());
    if (!number) return file_.Damage(__LINE__);
    start = *number;
    return 0;
  });
  if (code != 0) return code;
  return SetFilePointer(start);
}

int HvnFile::PositionKey(const KeyBlock* key, std::string* text) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  // The value of the current record as stored; the buffer's when it is gone.
  std::string stored;
  if (current_ != 0) {
    const int code = RunRead([&](Table& table) {
      bool found = false;
      if (int read = table.Read(current_, &stored, &found); read != 0) return read;
      if (!found || stored.size() != state_.record_size) stored.clear();
      return 0;
    });
    if (code != 0) return code;
  }
  const std::uint8_t* record = stored.empty() ? state_.record : BytesOf(stored);
  const std::vector<std::uint8_t> value = keys_.Encoder(index).EncodeValue(record);
  Wipe(stored);
  *text = BigEndian32(current_);
  text->append(value.begin(), value.end());
  return 0;
}

int HvnFile::ResetKey(const KeyBlock* key, const std::string& text) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  const KeyValueEncoder& encoder = keys_.Encoder(index);
  if (text.size() != kRecordNumberSize + encoder.ValueSize()) return codes::kRecordNotFound;
  order_key_ = static_cast<int>(index);
  cursor_ = Cursor::kAt;
  start_value_.assign(text.begin() + kRecordNumberSize, text.end());
  start_number_ = ReadBigEndian32(text, 0);
  return 0;
}

int HvnFile::RegetKey(const KeyBlock* key, const std::string& text) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  const KeyValueEncoder& encoder = keys_.Encoder(index);
  if (text.size() != kRecordNumberSize + encoder.ValueSize()) return codes::kRecordNotFound;
  const std::uint32_t wanted = ReadBigEndian32(text, 0);
  const std::string entry =
      AsKey(encoder.SearchKey(table_id_, BytesOf(text) + kRecordNumberSize, wanted));
  return ReadWithHold([&](Table& table, std::uint32_t* number, std::string*) {
    Record record;
    bool found = false;
    if (int code = table.tree().Find(entry, &record, &found); code != 0) return code;
    if (!found) return codes::kRecordNotFound;
    const auto entry_number = EntryRecordNumber(BytesOf(record.key), record.key.size(),
                                                BytesOf(record.data), record.data.size());
    if (entry_number != wanted) return codes::kRecordNotFound;
    *number = wanted;
    return 0;
  });
}

int HvnFile::RecordsKey(const KeyBlock* key, std::int64_t* result) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  return RunRead([&](Table& table) {
    Counter counter;
    bool found = false;
    const auto kind = static_cast<std::uint8_t>(index);
    if (int code = table.ReadCounter(kind, &counter, &found); code != 0) return code;
    *result = found ? counter.count : 0;
    return 0;
  });
}

int HvnFile::DuplicateKey(const KeyBlock* key, std::int64_t* result) {
  std::size_t index = 0;
  if (int code = KeyIndex(key, &index); code != 0) return code;
  *result = 0;
  const KeyValueEncoder& encoder = keys_.Encoder(index);
  if (encoder.IsDup() || encoder.LeavesOut(state_.record)) return 0;
  const std::vector<std::uint8_t> value = encoder.EncodeValue(state_.record);
  return RunRead([&](Table& table) {
    std::uint32_t number = 0;
    bool found = false;
    if (int code = keys_.FindValue(table, index, value, &number, &found); code != 0) return code;
    *result = found && number != current_ ? 1 : 0;
    return 0;
  });
}

int HvnFile::DuplicateFile(std::int64_t* result) {
  if (!open_) return codes::kFileNotOpen;
  *result = 0;
  for (std::size_t i = 0; i < state_.keys.size() && *result == 0; ++i) {
    if (!keys_.Maintained(i)) continue;
    if (int code = DuplicateKey(state_.keys[i].block, result); code != 0) return code;
  }
  return 0;
}

}  // namespace vaultrix::files::hvn
