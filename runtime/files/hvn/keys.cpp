// Key entries kept in step with the data records, and run-time index
// components read from text.
#include "runtime/files/hvn/keys.h"

#include <string.h>

#include <cctype>

#include "runtime/support/error_codes.h"
#include "runtime/support/locale.h"

namespace vaultrix::files::hvn {
namespace {

namespace codes = support;

bool LabelMatches(const std::string& label, std::string_view name) {
  if (support::CompareStringsNoCase(label, name) == 0) return true;
  const std::size_t colon = label.rfind(':');
  return colon != std::string::npos &&
         support::CompareStringsNoCase(std::string_view(label).substr(colon + 1), name) == 0;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

// The record number an entry names, or nullopt when it is too short.
std::optional<std::uint32_t> NumberOf(const Record& record) {
  return EntryRecordNumber(reinterpret_cast<const std::uint8_t*>(record.key.data()),
                           record.key.size(),
                           reinterpret_cast<const std::uint8_t*>(record.data.data()),
                           record.data.size());
}

std::string AsData(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::optional<std::vector<KeyComponentInfo>> ParseIndexComponents(const RecordLayout& layout,
                                                                  std::string_view text) {
  std::vector<KeyComponentInfo> components;
  while (true) {
    const std::size_t comma = text.find(',');
    std::string_view item = Trim(text.substr(0, comma));
    bool descending = false;
    if (!item.empty() && (item.front() == '+' || item.front() == '-')) {
      descending = item.front() == '-';
      item = Trim(item.substr(1));
    }
    if (item.empty()) return std::nullopt;
    std::optional<std::uint32_t> index;
    for (std::uint32_t i = 0; i < layout.fields.size() && !index; ++i) {
      if (LabelMatches(layout.fields[i].label, item)) index = i;
    }
    if (!index) return std::nullopt;
    const FieldInfo& field = layout.fields[*index];
    if (field.element_count >= 2 || field.type == kTypeGroup) return std::nullopt;
    components.push_back({*index, descending});
    if (comma == std::string_view::npos) return components;
    text = text.substr(comma + 1);
  }
}

int KeySet::Prepare(const FileState& state) {
  keys_.clear();
  for (std::size_t i = 0; i < state.keys.size(); ++i) {
    auto encoder = KeyValueEncoder::Make(state, state.keys[i], static_cast<std::uint8_t>(i));
    if (!encoder) return codes::kInvalidFieldTypeDescriptor;
    const std::uint32_t attributes = state.keys[i].attributes;
    const bool runtime = (attributes & (kKeyRuntimeIndex | kKeyNotMaintained)) != 0;
    keys_.push_back({std::move(*encoder), !runtime});
  }
  return 0;
}

std::optional<std::size_t> KeySet::IndexOf(const FileState& state, const KeyBlock* block) const {
  for (std::size_t i = 0; i < state.keys.size() && i < keys_.size(); ++i) {
    if (state.keys[i].block == block) return i;
  }
  return std::nullopt;
}

int KeySet::SetIndexComponents(const FileState& state, std::size_t key, std::string_view text) {
  auto components = ParseIndexComponents(state.layout, text);
  if (!components) return codes::kInvalidIndexString;
  KeyState declared = {nullptr, state.keys[key].label, state.keys[key].attributes,
                       std::move(*components)};
  auto encoder = KeyValueEncoder::Make(state, declared, static_cast<std::uint8_t>(key));
  if (!encoder) return codes::kInvalidIndexString;
  keys_[key].encoder = std::move(*encoder);
  return 0;
}

namespace {

void WipeEntry(KeyEntry& entry) {
  if (!entry.key.empty()) ::explicit_bzero(entry.key.data(), entry.key.size());
  if (!entry.data.empty()) ::explicit_bzero(entry.data.data(), entry.data.size());
}

}  // namespace

int KeySet::Replace(Table& table, const Key& key, const std::uint8_t* old_record,
                    const std::uint8_t* new_record, std::uint32_t number) {
  const KeyValueEncoder& encoder = key.encoder;
  KeyEntry& old_entry = old_entry_;
  KeyEntry& new_entry = new_entry_;
  const bool had = old_record != nullptr &&
                   encoder.BuildEntry(table.id(), old_record, number, old_entry);
  const bool has = new_record != nullptr &&
                   encoder.BuildEntry(table.id(), new_record, number, new_entry);
  const int code = had && has && old_entry == new_entry
                       ? 0
                       : ReplaceEntry(table, encoder, had ? &old_entry : nullptr,
                                      has ? &new_entry : nullptr, number);
  WipeEntry(old_entry);
  WipeEntry(new_entry);
  return code;
}

int KeySet::ReplaceEntry(Table& table, const KeyValueEncoder& encoder, const KeyEntry* old_entry,
                         const KeyEntry* new_entry, std::uint32_t number) {
  const std::uint8_t kind = encoder.KeyNumber();
  if (new_entry != nullptr) {
    Record entry{AsKey(new_entry->key), AsData(new_entry->data)};
    const Record* existing = nullptr;
    int code = table.tree().Locate(entry.key, Seek::kAtOrBefore, &existing);
    const bool found = code == 0 && existing != nullptr && existing->key == entry.key;
    // A DUP entry names its record in its key: finding it means it is there.
    if (found && !encoder.IsDup()) code = codes::kCreatesDuplicateKey;
    if (code == 0 && !found) {
      code = table.tree().Insert(std::move(entry));
      if (code == 0) code = table.AddToCounter(kind, 1);
    }
    Wipe(entry.key);  // left here unless it moved into the tree
    Wipe(entry.data);
    if (code != 0) return code;
  }
  if (old_entry != nullptr) {
    std::string old_key = AsKey(old_entry->key);
    const Record* existing = nullptr;
    int code = table.tree().Locate(old_key, Seek::kAtOrBefore, &existing);
    // An entry missing, or a unique entry naming another record, is left
    // alone: the check and BUILD repair keys that fell out of step.
    if (code == 0 && existing != nullptr && existing->key == old_key &&
        NumberOf(*existing) == number) {
      bool erased = false;
      code = table.tree().Erase(old_key, &erased);
      if (code == 0) code = table.AddToCounter(kind, -1);
    }
    Wipe(old_key);
    return code;
  }
  return 0;
}

int KeySet::Maintain(Table& table, const std::uint8_t* old_record, const std::uint8_t* new_record,
                     std::uint32_t number) {
  for (const Key& key : keys_) {
    if (!key.maintained) continue;
    if (int code = Replace(table, key, old_record, new_record, number); code != 0) return code;
  }
  return 0;
}

int KeySet::FindValue(Table& table, std::size_t key, const std::vector<std::uint8_t>& value,
                      std::uint32_t* number, bool* found) const {
  const KeyValueEncoder& encoder = keys_[key].encoder;
  Record record;
  const std::string search = AsKey(encoder.SearchKey(table.id(), value.data()));
  if (encoder.IsDup()) {
    if (int code = table.tree().Search(search, Seek::kAtOrAfter, &record, found); code != 0) {
      return code;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.key.data());
    *found = *found && encoder.Owns(table.id(), bytes, record.key.size()) &&
             record.key.size() == encoder.EntryKeySize() &&
             encoder.HoldsValue(bytes, record.key.size(), value.data());
  } else {
    if (int code = table.tree().Find(search, &record, found); code != 0) return code;
  }
  if (!*found) return 0;
  const auto entry_number = NumberOf(record);
  if (!entry_number) return table.tree().Damage(__LINE__);
  *number = *entry_number;
  return 0;
}

int KeySet::InsertEntry(Table& table, std::size_t key, const std::uint8_t* record,
                        std::uint32_t number, bool* inserted, bool* collided) const {
  *inserted = false;
  *collided = false;
  const KeyValueEncoder& encoder = keys_[key].encoder;
  KeyEntry entry;
  if (!encoder.BuildEntry(table.id(), record, number, entry)) return 0;
  Record existing;
  bool found = false;
  const std::string entry_key = AsKey(entry.key);
  if (int code = table.tree().Find(entry_key, &existing, &found); code != 0) return code;
  if (found) {
    *collided = NumberOf(existing) != number;
    return 0;
  }
  *inserted = true;
  return table.tree().Insert({entry_key, AsData(entry.data)});
}

}  // namespace vaultrix::files::hvn
