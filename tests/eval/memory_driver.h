// An in-memory ordered driver for the view tests and benchmarks. It stands
// in for the indexed driver, which serves the real data files: records live
// in a table per file name, a key's entries are ordered by comparing its
// components (STRING components lower-cased for NOCASE keys, LONG
// components as numbers, descending ones reversed) with the record number
// last, and it serves the SET, NEXT, PREVIOUS, POSITION, RESET, REGET, GET,
// ADD, PUT, DELETE and RECORDS operations that views use, registered and
// called through the operation frame like any driver. It answers 0 to the
// view request, so views over it use the generic engine. It counts the
// entries it steps over, so tests can see how much a view read.
//
// Header-only so that tests and benchmarks can both use it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "runtime/files/driver.h"
#include "runtime/files/file_state.h"
#include "runtime/files/operation.h"
#include "runtime/files/record_layout.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::eval::testing {

struct MemoryTable {
  std::vector<std::vector<std::uint8_t>> records;  // record number n at n - 1
  std::vector<bool> live;
  std::int64_t steps = 0;   // entries stepped over by NEXT and PREVIOUS
  std::int64_t passed = 0;  // HOLD, RELEASE, WATCH calls
  std::int64_t version = 0; // changes with every ADD, PUT and DELETE
};

inline std::map<std::string, MemoryTable>& MemoryTables() {
  static std::map<std::string, MemoryTable> tables;
  return tables;
}

class MemoryCursor final : public files::DriverState {
 public:
  explicit MemoryCursor(files::FileBlock& file) : file_(file), table_(MemoryTables()[file.state->name]) {}

  std::int32_t Dispatch(files::Operation op, files::OperationCall& call) {
    using files::Operation;
    switch (op) {
      case Operation::kOpen:
      case Operation::kShare:
      case Operation::kClose: return 0;
      case Operation::kAdd: {
        table_.records.emplace_back(file_.record, file_.record + file_.record_size);
        table_.live.push_back(true);
        current_ = static_cast<std::int32_t>(table_.records.size());
        ++table_.version;
        return 0;
      }
      case Operation::kPut:
        if (!Live(current_)) return support::kRecordNotAvailable;
        table_.records[current_ - 1].assign(file_.record, file_.record + file_.record_size);
        ++table_.version;
        return 0;
      case Operation::kDelete:
        if (!Live(current_)) return support::kRecordNotAvailable;
        table_.live[current_ - 1] = false;
        ++table_.version;
        return 0;
      case Operation::kHold:
      case Operation::kHoldTimed:
      case Operation::kRelease:
      case Operation::kWatch:
        ++table_.passed;
        return 0;
      case Operation::kGetByPointer:
        return Load(static_cast<std::int32_t>(call.number));
      case Operation::kRecordsFile:
        call.result = std::count(table_.live.begin(), table_.live.end(), true);
        return 0;
      case Operation::kSetFile: return SetOrder(nullptr, kFromEnds);
      case Operation::kSetKey: return SetOrder(call.key, kFromEnds);
      case Operation::kSetKeyKey:
        start_value_ = KeyOf(*call.key, file_.record);
        return SetOrder(call.key, kFromValue);
      case Operation::kNext: return Step(false);
      case Operation::kPrevious: return Step(true);
      case Operation::kPositionFile:
      case Operation::kPositionKey: {
        if (!Live(current_)) return support::kRecordNotAvailable;
        call.text_result.assign(reinterpret_cast<const char*>(&current_), 4);
        if (key_ != nullptr) {
          const std::string key = KeyOf(*key_, table_.records[current_ - 1].data());
          call.text_result += key;
        }
        return 0;
      }
      case Operation::kResetFile:
      case Operation::kResetKey: {
        if (call.text.size() < 4) return support::kRecordNotFound;
        std::memcpy(&start_record_, call.text.data(), 4);
        start_value_ = call.text.substr(4);
        return SetOrder(op == Operation::kResetKey ? call.key : nullptr, kFromEntry);
      }
      case Operation::kRegetFile:
      case Operation::kRegetKey: {
        if (call.text.size() < 4) return support::kRecordNotFound;
        std::int32_t record = 0;
        std::memcpy(&record, call.text.data(), 4);
        return Live(record) ? Load(record) : support::kRecordNotFound;
      }
      case Operation::kViewRequest:
        call.result = 0;
        return 0;
      default:
        return support::kUnsupportedFileDriverFunction;
    }
  }

 private:
  enum Start { kFromEnds, kFromValue, kFromEntry, kStepping };

  bool Live(std::int32_t record) const {
    return record >= 1 && record <= static_cast<std::int32_t>(table_.live.size()) &&
           table_.live[record - 1];
  }

  std::int32_t Load(std::int32_t record) {
    if (!Live(record)) return support::kRecordNotAvailable;
    std::memcpy(file_.record, table_.records[record - 1].data(), file_.record_size);
    current_ = record;
    return 0;
  }

  // The key value as ordered bytes: lower-cased texts for NOCASE, LONGs
  // big-endian with the sign flipped, descending components complemented.
  std::string KeyOf(const files::KeyBlock& key, const std::uint8_t* record) const {
    std::string out;
    for (std::uint8_t c = 0; c < key.component_count; ++c) {
      const std::int32_t number = key.components[c];
      const files::FieldInfo& field = file_.state->layout.fields[std::abs(number) - 1];
      std::string part;
      const std::uint8_t* bytes = record + field.offset;
      if (field.type == files::kTypeLong) {
        std::int32_t value;
        std::memcpy(&value, bytes, 4);
        const std::uint32_t flipped = static_cast<std::uint32_t>(value) ^ 0x80000000u;
        for (int shift = 24; shift >= 0; shift -= 8) part.push_back(static_cast<char>(flipped >> shift));
      } else {
        for (std::uint32_t i = 0; i < field.size; ++i) {
          char ch = static_cast<char>(bytes[i]);
          if ((key.attributes & files::kKeyNoCase) != 0 && ch >= 'A' && ch <= 'Z') ch += 'a' - 'A';
          part.push_back(ch);
        }
      }
      if (number < 0) {
        for (char& ch : part) ch = static_cast<char>(~static_cast<unsigned char>(ch));
      }
      out += part;
    }
    return out;
  }

  static int CompareBytes(const std::string& a, const std::string& b) {
    const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (order != 0) return order;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
  }

  // The live entries in the current order, rebuilt when the table changed.
  void Refresh() {
    if (cached_version_ == table_.version && cached_key_ == key_ && cached_valid_) return;
    std::vector<std::pair<std::string, std::int32_t>> entries;
    for (std::int32_t r = 1; r <= static_cast<std::int32_t>(table_.live.size()); ++r) {
      if (!table_.live[r - 1]) continue;
      entries.emplace_back(key_ == nullptr ? std::string() : KeyOf(*key_, table_.records[r - 1].data()), r);
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      const int order = CompareBytes(a.first, b.first);
      return order != 0 ? order < 0 : a.second < b.second;
    });
    keys_.clear();
    ordered_.clear();
    for (auto& entry : entries) {
      keys_.push_back(std::move(entry.first));
      ordered_.push_back(entry.second);
    }
    cached_version_ = table_.version;
    cached_key_ = key_;
    cached_valid_ = true;
    index_ = -1;
  }

  std::int32_t SetOrder(files::KeyBlock* key, Start start) {
    key_ = key;
    start_ = start;
    return 0;
  }

  // Entry i sorts before the start (value, or value and record number).
  bool Before(std::int64_t i) const {
    const int order = CompareBytes(keys_[static_cast<std::size_t>(i)], start_value_);
    if (order != 0) return order < 0;
    return start_ == kFromEntry && ordered_[static_cast<std::size_t>(i)] < start_record_;
  }
  bool After(std::int64_t i) const {
    const int order = CompareBytes(keys_[static_cast<std::size_t>(i)], start_value_);
    if (order != 0) return order > 0;
    return start_ == kFromEntry && ordered_[static_cast<std::size_t>(i)] > start_record_;
  }

  std::int32_t Step(bool backward) {
    Refresh();
    const auto count = static_cast<std::int64_t>(ordered_.size());
    std::int64_t index = -1;
    if (start_ == kStepping) {
      if (index_ < 0 || index_ >= count || ordered_[static_cast<std::size_t>(index_)] != current_) {
        const auto at = std::find(ordered_.begin(), ordered_.end(), current_);
        if (at == ordered_.end()) return support::kRecordNotAvailable;
        index_ = at - ordered_.begin();
      }
      index = index_ + (backward ? -1 : 1);
    } else if (start_ == kFromEnds) {
      index = backward ? count - 1 : 0;
    } else if (key_ == nullptr) {  // record order from a record number
      const auto at = std::lower_bound(ordered_.begin(), ordered_.end(), start_record_);
      index = at - ordered_.begin();
      if (backward && (at == ordered_.end() || *at != start_record_)) --index;
    } else if (!backward) {  // the first entry not before the start
      std::int64_t low = 0, high = count;
      while (low < high) {
        const std::int64_t mid = (low + high) / 2;
        if (Before(mid)) low = mid + 1; else high = mid;
      }
      index = low;
    } else {  // the last entry not after it
      std::int64_t low = 0, high = count;
      while (low < high) {
        const std::int64_t mid = (low + high) / 2;
        if (After(mid)) high = mid; else low = mid + 1;
      }
      index = low - 1;
    }
    start_ = kStepping;
    if (index < 0 || index >= count) {
      start_ = kFromEnds;
      return support::kRecordNotAvailable;
    }
    ++table_.steps;
    const std::int32_t code = Load(ordered_[static_cast<std::size_t>(index)]);
    index_ = index;
    return code;
  }

  files::FileBlock& file_;
  MemoryTable& table_;
  files::KeyBlock* key_ = nullptr;
  Start start_ = kFromEnds;
  std::string start_value_;
  std::int32_t start_record_ = 0;
  std::int32_t current_ = 0;
  std::vector<std::int32_t> ordered_;
  std::vector<std::string> keys_;
  std::int64_t index_ = -1;
  std::int64_t cached_version_ = -1;
  files::KeyBlock* cached_key_ = nullptr;
  bool cached_valid_ = false;
};

inline std::int32_t MemoryDispatch(files::Operation op, files::OperationCall& call) {
  files::FileBlock& file = *call.file;
  auto* cursor = files::DriverStateOf<MemoryCursor>(file);
  if (cursor == nullptr) cursor = &files::EmplaceDriverState<MemoryCursor>(file, file);
  return cursor->Dispatch(op, call);
}

inline const files::DriverRegistration& MemoryDriver() {
  static const std::array<std::uint8_t, 25> kOperations = {
      24, 74, 1, 7, 11, 16, 18, 19, 24, 25, 30, 31, 32, 36, 41, 44, 45, 48, 58, 61, 62, 63, 64, 66, 67};
  static const std::array<std::uint8_t, 4> kTypes = {3, files::kTypeString, files::kTypeLong,
                                                     files::kTypeShort};
  static const files::DriverRegistration registration = [] {
    files::DriverRegistration r;
    std::memcpy(r.name, "MEMORY", 6);
    r.dispatch = &MemoryDispatch;
    r.operations = kOperations.data();
    r.field_types = kTypes.data();
    return r;
  }();
  return registration;
}

}  // namespace vaultrix::eval::testing
