// BUILD and PACK of an HVN table: key entries made again from the data
// records.
//
// With FULLBUILD off a key takes only the records numbered from its build
// mark onward (the records added since its last build; entries already
// there are kept); with FULLBUILD on, and always for a run-time index, its
// entries are erased and every record enters again. The counter then holds
// the number of entries and, as build mark, the number after the last one
// issued. Records whose value a unique key already holds for another record
// stay out of it, and the build answers 40 once it is done. Every BUILD
// clears FULLBUILD. A file that is not open is opened for the build and
// closed again.
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::files::hvn {
namespace {

namespace codes = support;

// The entries of key `kind` as the tree holds them: a build that kept the
// entries already there counts them again rather than trust the counter.
int CountEntries(Tree& tree, std::uint32_t table_id, std::uint8_t kind, std::uint32_t* count) {
  const std::string prefix = KindPrefix(table_id, kind);
  std::string key = prefix;
  *count = 0;
  while (true) {
    Record record;
    bool found = false;
    if (int code = tree.Search(key, Seek::kAfter, &record, &found); code != 0) return code;
    if (!found || record.key.compare(0, prefix.size(), prefix) != 0) return 0;
    ++*count;
    key.swap(record.key);
  }
}

// The keys that BUILD of the file and PACK rebuild: all but the run-time
// indexes that are not maintained.
std::vector<std::size_t> MaintainedKeys(const KeySet& keys) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys.Maintained(i)) out.push_back(i);
  }
  return out;
}

}  // namespace

int HvnFile::Rebuild(const std::vector<std::size_t>& keys, bool full, bool compact) {
  full_build_ = false;
  const bool opened_here = !open_;
  if (opened_here) {
    if (int code = Open(kDefaultShareMode); code != 0) return code;
  }
  std::size_t collisions = 0;
  int code = file_.read_only() ? codes::kAccessDenied : 0;
  // Pages that a transaction may still roll back are not laid out anew.
  if (code == 0 && compact && file_.in_transaction()) code = codes::kLogoutAlreadyActive;
  if (code == 0) {
    code = Run([&](Table& table) {
      collisions = 0;
      // Checked under the operation's lock: no other open reads or writes
      // while the whole file is rewritten.
      if (compact && file_.OpenElsewhere()) return codes::kExclusiveAccessRequired;
      std::vector<Counter> counters(keys.size());
      std::uint32_t first = 0xFFFFFFFF;
      for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto kind = static_cast<std::uint8_t>(keys[i]);
        bool found = false;
        if (int read = table.ReadCounter(kind, &counters[i], &found); read != 0) return read;
        if (full || !found) {
          if (int erase = Table::ErasePrefix(table.tree(), KindPrefix(table_id_, kind));
              erase != 0) {
            return erase;
          }
          counters[i] = Counter{};
        }
        first = std::min(first, counters[i].build_mark);
      }
      std::uint32_t number = first;
      Seek seek = Seek::kAtOrAfter;
      while (!keys.empty()) {
        std::string image;
        bool found = false;
        if (int step = table.Step(number, seek, &number, &found, &image); step != 0) return step;
        if (!found) break;
        seek = Seek::kAfter;
        if (image.size() != state_.record_size) return file_.Damage(__LINE__);
        for (std::size_t i = 0; i < keys.size(); ++i) {
          if (number < counters[i].build_mark) continue;
          bool inserted = false, collided = false;
          const auto* record = reinterpret_cast<const std::uint8_t*>(image.data());
          if (int insert = keys_.InsertEntry(table, keys[i], record, number, &inserted, &collided);
              insert != 0) {
            Wipe(image);
            return insert;
          }
          counters[i].count += inserted ? 1 : 0;  // exact for a full build
          collisions += collided ? 1 : 0;
        }
        Wipe(image);
      }
      for (std::size_t i = 0; i < keys.size(); ++i) {
        counters[i].build_mark = file_.header().last_number + 1;
        const auto kind = static_cast<std::uint8_t>(keys[i]);
        if (!full) {
          if (int count = CountEntries(table.tree(), table_id_, kind, &counters[i].count);
              count != 0) {
            return count;
          }
        }
        if (int write = table.WriteCounter(kind, counters[i]); write != 0) return write;
      }
      return compact ? file_.Compact() : 0;
    });
  }
  if (opened_here) {
    const int close = Close();
    if (code == 0) code = close;
  }
  if (code == 0 && collisions > 0) code = codes::kCreatesDuplicateKey;
  return code;
}

int HvnFile::BuildFile() {
  if (int code = EnsureKeys(); code != 0) return code;
  return Rebuild(MaintainedKeys(keys_), full_build_);
}

int HvnFile::BuildKey(const KeyBlock* key) {
  if (int code = EnsureKeys(); code != 0) return code;
  const auto index = keys_.IndexOf(state_, key);
  if (!index) return codes::kUnableToAccessIndex;
  return Rebuild({*index}, full_build_ || !keys_.Maintained(*index));
}

int HvnFile::BuildIndex(const KeyBlock* key, const std::string* components) {
  if (int code = EnsureKeys(); code != 0) return code;
  const auto index = keys_.IndexOf(state_, key);
  if (!index) return codes::kUnableToAccessIndex;
  if (components != nullptr) {
    if (keys_.Maintained(*index)) return codes::kInvalidIndexString;
    if (int code = keys_.SetIndexComponents(state_, *index, *components); code != 0) {
      full_build_ = false;
      return code;
    }
  } else if (keys_.Encoder(*index).Components().empty()) {
    full_build_ = false;
    return codes::kInvalidIndexString;
  }
  return Rebuild({*index}, true);
}

int HvnFile::Pack() {
  if (int code = EnsureKeys(); code != 0) return code;
  return Rebuild(MaintainedKeys(keys_), true, true);
}

}  // namespace vaultrix::files::hvn
