// Changes to one open table's counters (its data records, each key's
// entries) kept in memory and written to the counter records once: at the
// end of each changing operation outside a transaction, and just before a
// transaction commits. An ADD changes five counters; inside a transaction
// of thousands of ADDs each would otherwise be found and rewritten in the
// tree every time, although only its value at the commit is ever stored.
//
// The deltas follow the operations' fate as the pages do: those of a failed
// operation are dropped alone (BeginOperation .. Failed), and a dropped
// transaction drops them all (Drop). Readers of a counter through the table
// add what is pending (Table::ReadCounter), so they see the same count as
// when every change went to the tree at once.
#pragma once

#include <cstdint>
#include <vector>

namespace vaultrix::files::hvn {

class Table;

class CounterDeltas {
 public:
  // A changing operation starts; what it adds until Succeeded or Failed is
  // its own.
  void BeginOperation();
  void Succeeded();
  // Drops the running operation's deltas and takes back what a flush in it
  // took (the tree drops the flushed values with the rest of the operation).
  void Failed();
  // The transaction ended without a commit: nothing pending stands.
  void Drop();

  // False until `kind` had a delta since the table was opened or the last
  // Drop: its counter record is not yet known to exist.
  [[nodiscard]] bool Knows(std::uint8_t kind) const { return Find(kind) != nullptr; }
  void Add(std::uint8_t kind, std::int32_t delta);
  [[nodiscard]] std::int64_t Pending(std::uint8_t kind) const;
  // Forgets the delta of `kind`: its counter was written whole.
  void Clear(std::uint8_t kind);
  [[nodiscard]] bool empty() const;

  // Writes every delta into its counter record through `table` (within
  // the running operation); 5 "Access Denied" when a record is missing.
  [[nodiscard]] int Flush(Table& table);

 private:
  struct Entry {
    std::uint8_t kind = 0;
    std::int64_t pending = 0;  // of the operations that succeeded
    std::int64_t running = 0;  // of the running operation
    std::int64_t saved = 0;    // `pending` when the running operation began
  };
  Entry* Find(std::uint8_t kind);
  [[nodiscard]] const Entry* Find(std::uint8_t kind) const;

  // One entry per counter met; a table has few, so a search beats a map.
  std::vector<Entry> entries_;
};

}  // namespace vaultrix::files::hvn
