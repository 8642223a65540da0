// Table-level records: names, definitions, counters, data and memos.
#include "runtime/files/hvn/table.h"

#include <algorithm>

#include "runtime/support/error_codes.h"

namespace vaultrix::files::hvn {
namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

int Table::FindId(PageFile& file, const std::string& name, std::uint32_t* id) {
  Tree tree(file);
  Record record;
  bool found = false;
  if (int code = tree.Find(TableNameKey(name), &record, &found); code != 0) return code;
  if (!found) return support::kFileNotFound;
  if (record.data.size() != 4) return file.Damage(__LINE__);
  *id = ReadBigEndian32(record.data, 0);
  return 0;
}

int Table::OtherTableExists(PageFile& file, const std::string& except, bool* exists) {
  Tree tree(file);
  *exists = false;
  std::string key = TableNameKey("");
  while (true) {
    Record record;
    bool found = false;
    if (int code = tree.Search(key, Seek::kAfter, &record, &found); code != 0) return code;
    if (!found || record.key.empty() ||
        static_cast<std::uint8_t>(record.key[0]) != kKindTableName) {
      return 0;
    }
    if (record.key != TableNameKey(except)) {
      *exists = true;
      return 0;
    }
    key = record.key;
  }
}

int Table::ErasePrefix(Tree& tree, const std::string& prefix) {
  while (true) {
    Record record;
    bool found = false;
    if (int code = tree.Search(prefix, Seek::kAtOrAfter, &record, &found); code != 0) return code;
    if (!found || !StartsWith(record.key, prefix)) return 0;
    bool erased = false;
    if (int code = tree.Erase(record.key, &erased); code != 0) return code;
    if (!erased) return tree.Damage(__LINE__);  // found by one search, missed by another
  }
}

int Table::Drop(PageFile& file, const std::string& name) {
  std::uint32_t id = 0;
  const int code = FindId(file, name, &id);
  if (code == support::kFileNotFound) return 0;
  if (code != 0) return code;
  Tree tree(file);
  bool erased = false;
  if (int erase = tree.Erase(TableNameKey(name), &erased); erase != 0) return erase;
  return ErasePrefix(tree, TablePrefix(id));
}

int Table::Create(PageFile& file, const std::string& name, const TableDefinition& definition,
                  std::uint32_t* id) {
  if (int code = Drop(file, name); code != 0) return code;
  if (int code = file.IssueNumber(id); code != 0) return code;
  Tree tree(file);
  if (int code = tree.Insert({TableNameKey(name), BigEndian32(*id)}); code != 0) return code;
  const std::string stream = EncodeDefinition(definition);
  for (std::size_t at = 0, block = 0; at < stream.size(); at += kDefinitionBlockSize, ++block) {
    const Record record{DefinitionKey(*id, static_cast<std::uint16_t>(block)),
                        stream.substr(at, kDefinitionBlockSize)};
    if (int code = tree.Insert(record); code != 0) return code;
  }
  if (int code = tree.Insert({CounterKey(*id, kKindData), EncodeCounter({})}); code != 0) {
    return code;
  }
  for (std::size_t key = 0; key < definition.keys.size(); ++key) {
    const Record record{CounterKey(*id, static_cast<std::uint8_t>(key)), EncodeCounter({})};
    if (int code = tree.Insert(record); code != 0) return code;
  }
  return 0;
}

int Table::ReadDefinition(TableDefinition* definition, bool* valid) {
  std::string stream;
  const std::string prefix = KindPrefix(id_, kKindDefinition);
  std::string key = prefix;
  for (std::uint16_t block = 0;; ++block) {
    Record record;
    bool found = false;
    if (int code = tree_.Find(DefinitionKey(id_, block), &record, &found); code != 0) return code;
    if (!found) break;
    stream += record.data;
    if (block == 0xFFFF) break;
  }
  const auto* p = reinterpret_cast<const std::uint8_t*>(stream.data());
  *valid = !stream.empty() && DecodeDefinition(p, p + stream.size(), definition);
  return 0;
}

int Table::ReadCounter(std::uint8_t kind, Counter* counter, bool* found) {
  Record record;
  if (int code = tree_.Find(CounterKey(id_, kind), &record, found); code != 0) return code;
  if (*found && !DecodeCounter(record.data, counter)) return file_.Damage(__LINE__);
  if (*found && deltas_ != nullptr) {
    counter->count = static_cast<std::uint32_t>(counter->count + deltas_->Pending(kind));
  }
  return 0;
}

int Table::AddToCounter(std::uint8_t kind, std::int32_t delta) {
  if (deltas_ == nullptr) return StoreCounterDelta(kind, delta);
  if (!deltas_->Knows(kind)) {
    // Missing is found now, by the operation that needs the counter, not by
    // the flush of a later one.
    const std::string key = CounterKey(id_, kind);
    const Record* record = nullptr;
    if (int code = tree_.Locate(key, Seek::kAtOrBefore, &record); code != 0) return code;
    if (record == nullptr || record->key != key) return support::kAccessDenied;
  }
  deltas_->Add(kind, delta);
  return 0;
}

int Table::WriteCounter(std::uint8_t kind, const Counter& counter) {
  if (int code = tree_.Insert({CounterKey(id_, kind), EncodeCounter(counter)}); code != 0) {
    return code;
  }
  if (deltas_ != nullptr) deltas_->Clear(kind);
  return 0;
}

int Table::StoreCounterDelta(std::uint8_t kind, std::int64_t delta) {
  const std::string key = CounterKey(id_, kind);
  const Record* record = nullptr;
  if (int code = tree_.Locate(key, Seek::kAtOrBefore, &record); code != 0) return code;
  if (record == nullptr || record->key != key) return support::kAccessDenied;
  Counter counter;
  if (!DecodeCounter(record->data, &counter)) return file_.Damage(__LINE__);
  // Counts wrap as 32-bit numbers, the same however the deltas were summed.
  counter.count = static_cast<std::uint32_t>(counter.count + delta);
  return tree_.Insert({key, EncodeCounter(counter)});
}

int Table::Read(std::uint32_t number, std::string* image, bool* found) {
  const std::string key = DataKey(id_, number);
  const Record* record = nullptr;
  RecordLeaves& leaves = file_.record_leaves();
  std::uint32_t first = 0;
  if (Page* leaf = leaves.Find(id_, number, file_.generation(), &first); leaf != nullptr) {
    // The leaf spans the number: the record is in it or nowhere; where no
    // number before it is missing, at its offset from the first.
    const std::vector<Record>& records = leaf->content.records;
    const std::size_t guess = number - first;
    if (guess < records.size() && records[guess].key == key) {
      record = &records[guess];
    } else {
      const auto it =
          std::lower_bound(records.begin(), records.end(), key,
                           [](const Record& r, const std::string& k) { return r.key < k; });
      if (it != records.end()) record = &*it;
    }
  } else {
    Page* leaf_found = nullptr;
    if (int code = tree_.Locate(key, Seek::kAtOrBefore, &record, &leaf_found); code != 0) {
      return code;
    }
    if (leaf_found != nullptr) leaves.Note(leaf_found, id_, file_.generation());
  }
  *found = record != nullptr && record->key == key;
  if (*found) image->assign(record->data);
  return 0;
}

int Table::Write(std::uint32_t number, std::string image) {
  return tree_.Insert({DataKey(id_, number), std::move(image)});
}

int Table::Erase(std::uint32_t number, bool* erased) {
  return tree_.Erase(DataKey(id_, number), erased);
}

int Table::Step(std::uint32_t number, Seek seek, std::uint32_t* found_number, bool* found,
                std::string* image) {
  const Record* record = nullptr;
  if (int code = tree_.Locate(DataKey(id_, number), seek, &record); code != 0) return code;
  const auto data_number =
      record == nullptr ? std::nullopt : DataKeyNumber(record->key, id_);
  *found = data_number.has_value();
  if (*found) *found_number = *data_number;
  if (*found && image != nullptr) image->assign(record->data);
  return 0;
}

int Table::ReadMemoChunks(std::uint32_t number, std::uint8_t memo,
                          std::vector<std::string>* chunks) {
  chunks->clear();
  std::string prefix = MemoRecordPrefix(id_, number);
  prefix.push_back(static_cast<char>(memo));
  std::string key = prefix;
  Seek seek = Seek::kAtOrAfter;
  while (true) {
    const Record* record = nullptr;
    if (int code = tree_.Locate(key, seek, &record); code != 0) return code;
    if (record == nullptr || !StartsWith(record->key, prefix)) return 0;
    if (record->key.size() != kMemoKeySize) return file_.Damage(__LINE__);
    chunks->push_back(record->data);
    key = record->key;
    seek = Seek::kAfter;
  }
}

int Table::WriteMemoChunks(std::uint32_t number, std::uint8_t memo,
                           const std::vector<std::string>& chunks) {
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    const Record record{MemoKey(id_, number, memo, static_cast<std::uint16_t>(i)), chunks[i]};
    if (int code = tree_.Insert(record); code != 0) return code;
  }
  return 0;
}

int Table::EraseMemos(std::uint32_t number) {
  return ErasePrefix(tree_, MemoRecordPrefix(id_, number));
}

}  // namespace vaultrix::files::hvn
