// The in-memory data driver of the application's tests.
#include "tests/app/test_data_driver.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <utility>

#include "runtime/files/file_state.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::app::testing {
namespace {

using files::FileBlock;
using files::FileState;
using files::KeyState;
using files::Operation;
using files::OperationCall;

struct Entry {
  std::string value;
  std::uint32_t record = 0;
  friend bool operator<(const Entry& a, const Entry& b) {
    return a.value != b.value ? a.value < b.value : a.record < b.record;
  }
};

struct OpenTable : files::DriverState {
  bool open = false;
  std::uint32_t current = 0;   // record number, 0 = none
  int key = -1;                // -1: record order
  std::optional<Entry> after;  // key order: the next read returns the first entry past this
  std::optional<Entry> from;   // key order: the next read returns the first entry at or past this
  std::uint32_t after_record = 0;  // record order
  std::optional<StoredFile> before_transaction;
};

OpenTable& Table(FileBlock& file) {
  OpenTable* table = files::DriverStateOf<OpenTable>(file);
  if (table == nullptr) table = &files::EmplaceDriverState<OpenTable>(file);
  return *table;
}

bool IsBlank(const std::uint8_t* data, std::uint32_t size) {
  for (std::uint32_t i = 0; i < size; ++i) {
    if (data[i] != ' ' && data[i] != 0) return false;
  }
  return true;
}

// The key value of a record, or nothing when OPT leaves the record out.
std::optional<std::string> KeyValue(const FileState& state, const KeyState& key,
                                    const std::uint8_t* record) {
  std::string value;
  bool all_blank = true;
  for (const files::KeyComponentInfo& component : key.components) {
    const files::FieldInfo& field = state.layout.fields[component.field_index];
    const std::uint8_t* data = record + field.offset;
    all_blank = all_blank && IsBlank(data, field.size);
    for (std::uint32_t i = 0; i < field.size; ++i) {
      char c = static_cast<char>(data[i]);
      if ((key.attributes & files::kKeyNoCase) != 0) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      }
      value.push_back(c);
    }
  }
  if ((key.attributes & files::kKeyOpt) != 0 && all_blank) return std::nullopt;
  return value;
}

std::vector<Entry> Entries(const FileState& state, const KeyState& key, const StoredFile& stored) {
  const std::size_t k = static_cast<std::size_t>(&key - state.keys.data());
  std::vector<Entry> entries;
  for (std::uint32_t n = 0; n < stored.records.size(); ++n) {
    const StoredRecord& record = stored.records[n];
    if (record.live && k < record.key_values.size() && record.key_values[k])
      entries.push_back({*record.key_values[k], n + 1});
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

void Unindex(StoredFile& stored, const StoredRecord& record) {
  for (std::size_t k = 0; k < record.key_values.size() && k < stored.index.size(); ++k) {
    if (!record.key_values[k]) continue;
    auto found = stored.index[k].find(*record.key_values[k]);
    if (found != stored.index[k].end()) stored.index[k].erase(found);
  }
}

void StoreRecord(const FileState& state, StoredFile& stored, StoredRecord& record) {
  if (record.live) Unindex(stored, record);
  record.bytes.assign(state.record, state.record + state.record_size);
  record.key_values.clear();
  if (stored.index.size() < state.keys.size()) stored.index.resize(state.keys.size());
  for (std::size_t k = 0; k < state.keys.size(); ++k) {
    record.key_values.push_back(KeyValue(state, state.keys[k], state.record));
    if (record.key_values[k]) stored.index[k].insert(*record.key_values[k]);
  }
}

void SaveMemos(const FileState& state, StoredRecord& record) {
  record.memos.clear();
  for (const files::MemoState& memo : state.memos) {
    record.memos.emplace_back(memo.buffer.get(), memo.size);
  }
}

void LoadRecord(FileState& state, const StoredRecord& record) {
  std::memcpy(state.record, record.bytes.data(), state.record_size);
  for (std::size_t i = 0; i < state.memos.size() && i < record.memos.size(); ++i) {
    std::memcpy(state.memos[i].buffer.get(), record.memos[i].data(), state.memos[i].size);
  }
}

// 40 when the buffer would duplicate a unique key of a record other than `self`.
std::int32_t CheckUnique(const FileState& state, const StoredFile& stored, std::uint32_t self) {
  for (std::size_t k = 0; k < state.keys.size() && k < stored.index.size(); ++k) {
    if ((state.keys[k].attributes & files::kKeyDup) != 0) continue;
    auto value = KeyValue(state, state.keys[k], state.record);
    if (!value) continue;
    std::size_t count = stored.index[k].count(*value);
    if (self != 0) {
      const StoredRecord& own = stored.records[self - 1];
      if (k < own.key_values.size() && own.key_values[k] == value) --count;
    }
    if (count > 0) return support::kCreatesDuplicateKey;
  }
  return support::kNoError;
}

std::int32_t ReadNext(FileState& state, OpenTable& table, StoredFile& stored) {
  if (table.key < 0) {
    for (std::uint32_t n = table.after_record + 1; n <= stored.records.size(); ++n) {
      if (!stored.records[n - 1].live) continue;
      table.after_record = table.current = n;
      LoadRecord(state, stored.records[n - 1]);
      return support::kNoError;
    }
    return support::kRecordNotAvailable;
  }
  for (const Entry& entry :
       Entries(state, state.keys[static_cast<std::size_t>(table.key)], stored)) {
    const bool past = table.from ? !(entry < *table.from) : (!table.after || *table.after < entry);
    if (!past) continue;
    table.from.reset();
    table.after = entry;
    table.current = entry.record;
    LoadRecord(state, stored.records[entry.record - 1]);
    return support::kNoError;
  }
  return support::kRecordNotAvailable;
}

int KeyIndex(const FileState& state, const files::KeyBlock* key) {
  for (std::size_t i = 0; i < state.keys.size(); ++i) {
    if (state.keys[i].block == key) return static_cast<int>(i);
  }
  return -1;
}

std::int32_t Serve(Operation op, OperationCall& call) {
  TestDisk& disk = TestDisk::Get();
  FileBlock& file = *call.file;
  FileState& state = *file.state;
  OpenTable& table = Table(file);
  disk.calls.push_back({op, state.name, call.text});
  const std::int32_t scripted = disk.NextScripted(op);
  if (scripted != kPass) return scripted;

  auto found = disk.files.find(state.name);
  StoredFile* stored = found == disk.files.end() ? nullptr : &found->second;
  switch (op) {
    case Operation::kCreate:
      disk.files[state.name] = StoredFile{{}, state.record_size};
      return support::kNoError;
    case Operation::kOpen:
    case Operation::kShare:
      if (stored == nullptr) return support::kFileNotFound;
      if (table.open) return support::kFileAlreadyOpen;
      table.open = true;
      return support::kNoError;
    case Operation::kRemove:
      if (stored == nullptr) return support::kFileNotFound;
      disk.files.erase(found);
      return support::kNoError;
    case Operation::kRename: {
      if (stored == nullptr) return support::kFileNotFound;
      StoredFile moved = std::move(*stored);
      disk.files.erase(found);
      disk.files[call.text] = std::move(moved);
      return support::kNoError;
    }
    case Operation::kBuildFile:
      return stored == nullptr ? support::kFileNotFound : support::kNoError;
    case Operation::kSend:
      return support::kNoError;
    default:
      break;
  }
  if (!table.open || stored == nullptr) return support::kFileNotOpen;
  switch (op) {
    case Operation::kClose:
      table.open = false;
      return support::kNoError;
    case Operation::kRecordsFile:
      call.result = static_cast<std::int64_t>(disk.LiveRecords(state.name));
      return support::kNoError;
    case Operation::kSetFile:
      table.key = -1;
      table.after_record = 0;
      return support::kNoError;
    case Operation::kSetKey:
    case Operation::kSetKeyKey: {
      table.key = KeyIndex(state, call.key);
      table.after.reset();
      table.from.reset();
      if (op == Operation::kSetKeyKey) {
        auto value = KeyValue(state, state.keys[static_cast<std::size_t>(table.key)], state.record);
        table.from = Entry{value.value_or(std::string()), 0};
      }
      return support::kNoError;
    }
    case Operation::kNext:
      return ReadNext(state, table, *stored);
    case Operation::kGetByPointer: {
      if (call.number < 1 || static_cast<std::size_t>(call.number) > stored->records.size() ||
          !stored->records[static_cast<std::size_t>(call.number) - 1].live) {
        return support::kRecordNotAvailable;
      }
      table.current = static_cast<std::uint32_t>(call.number);
      LoadRecord(state, stored->records[table.current - 1]);
      return support::kNoError;
    }
    case Operation::kPointerFile:
      call.result = table.current;
      return support::kNoError;
    case Operation::kDuplicateKey: {
      // Whether the buffer's value of this key is held by another record.
      const int k = KeyIndex(state, call.key);
      const auto value = KeyValue(state, state.keys[static_cast<std::size_t>(k)], state.record);
      call.result = value && stored->index[static_cast<std::size_t>(k)].count(*value) > 0 ? 1 : 0;
      return support::kNoError;
    }
    case Operation::kAdd: {
      if (std::int32_t code = CheckUnique(state, *stored, 0); code != 0) return code;
      StoredRecord record;
      record.live = false;
      StoreRecord(state, *stored, record);
      record.live = true;
      SaveMemos(state, record);
      stored->records.push_back(std::move(record));
      table.current = static_cast<std::uint32_t>(stored->records.size());
      return support::kNoError;
    }
    case Operation::kPut: {
      if (table.current == 0 || !stored->records[table.current - 1].live) {
        return support::kRecordNotAvailable;
      }
      if (std::int32_t code = CheckUnique(state, *stored, table.current); code != 0) return code;
      StoredRecord& record = stored->records[table.current - 1];
      StoreRecord(state, *stored, record);
      SaveMemos(state, record);
      return support::kNoError;
    }
    case Operation::kDelete:
      if (table.current == 0 || !stored->records[table.current - 1].live) {
        return support::kRecordNotAvailable;
      }
      Unindex(*stored, stored->records[table.current - 1]);
      stored->records[table.current - 1].live = false;
      table.current = 0;
      return support::kNoError;
    case Operation::kPositionKey: {
      if (table.current == 0) return support::kRecordNotAvailable;
      const KeyState& key = state.keys[static_cast<std::size_t>(KeyIndex(state, call.key))];
      std::string position(reinterpret_cast<const char*>(&table.current), 4);
      position += KeyValue(state, key, state.record).value_or(std::string());
      call.text_result = std::move(position);
      return support::kNoError;
    }
    case Operation::kPositionFile:
      if (table.current == 0) return support::kRecordNotAvailable;
      call.text_result.assign(reinterpret_cast<const char*>(&table.current), 4);
      return support::kNoError;
    case Operation::kRegetFile: {
      std::uint32_t number = 0;
      if (call.text.size() != 4) return support::kRecordNotFound;
      std::memcpy(&number, call.text.data(), 4);
      if (number == 0 || number > stored->records.size() || !stored->records[number - 1].live) {
        return support::kRecordNotFound;
      }
      LoadRecord(state, stored->records[number - 1]);
      table.current = number;
      return support::kNoError;
    }
    case Operation::kRegetKey: {
      std::uint32_t number = 0;
      if (call.text.size() < 4) return support::kRecordNotFound;
      std::memcpy(&number, call.text.data(), 4);
      if (number == 0 || number > stored->records.size() || !stored->records[number - 1].live) {
        return support::kRecordNotFound;
      }
      const KeyState& key = state.keys[static_cast<std::size_t>(KeyIndex(state, call.key))];
      auto value = KeyValue(state, key, stored->records[number - 1].bytes.data());
      if (value.value_or(std::string()) != call.text.substr(4)) return support::kRecordNotFound;
      LoadRecord(state, stored->records[number - 1]);
      table.current = number;
      return support::kNoError;
    }
    case Operation::kLogout:
      if (table.before_transaction) return support::kLogoutAlreadyActive;
      table.before_transaction = *stored;
      return support::kNoError;
    case Operation::kCommit:
      table.before_transaction.reset();
      return support::kNoError;
    case Operation::kRollback:
      if (table.before_transaction) *stored = std::move(*table.before_transaction);
      table.before_transaction.reset();
      return support::kNoError;
    default:
      return support::kUnsupportedFileDriverFunction;
  }
}

const std::uint8_t kServed[] = {26, 1,  3,  7,  8,  10, 11, 16, 22, 24, 25, 27, 30, 32,
                                37, 38, 40, 41, 44, 45, 48, 57, 60, 61, 62, 66, 67};
const std::uint8_t kTypes[] = {3, 0x0a, 0x12, 0x16};

files::DriverRegistration MakeDriver() {
  files::DriverRegistration driver;
  std::strcpy(driver.name, "TESTDATA");
  driver.description = "In-memory data files for tests";
  driver.dispatch = &Serve;
  driver.operations = kServed;
  driver.field_types = kTypes;
  return driver;
}

}  // namespace

TestDisk& TestDisk::Get() {
  static TestDisk disk;
  return disk;
}

TestDisk& TestDisk::Reset() {
  TestDisk& disk = Get();
  disk.files.clear();
  disk.calls.clear();
  disk.scripts_.clear();
  return disk;
}

void TestDisk::Script(files::Operation op, std::initializer_list<std::int32_t> codes) {
  auto& queue = scripts_[op];
  queue.insert(queue.end(), codes.begin(), codes.end());
}

std::int32_t TestDisk::NextScripted(files::Operation op) {
  auto found = scripts_.find(op);
  if (found == scripts_.end() || found->second.empty()) return kPass;
  const std::int32_t code = found->second.front();
  found->second.pop_front();
  return code;
}

std::size_t TestDisk::LiveRecords(const std::string& name) const {
  auto found = files.find(name);
  if (found == files.end()) return 0;
  return static_cast<std::size_t>(std::count_if(found->second.records.begin(),
                                                found->second.records.end(),
                                                [](const StoredRecord& r) { return r.live; }));
}

int TestDisk::CallCount(files::Operation op) const {
  return static_cast<int>(
      std::count_if(calls.begin(), calls.end(), [op](const Call& c) { return c.op == op; }));
}

const files::DriverRegistration& TestDataDriver() {
  static const files::DriverRegistration driver = MakeDriver();
  return driver;
}

}  // namespace vaultrix::app::testing
