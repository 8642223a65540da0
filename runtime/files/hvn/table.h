// One table of an HVN file, on an open PageFile: finding and creating it by
// name, its definition, its counters, its data records and their memos. Every
// call runs inside an operation of the PageFile (between Begin and End) and
// answers 0 or an error code.
//
// Key entries are records of the same tree (hvn/pages/record_kinds.h); the key
// maintenance that keeps them in step with the data records builds on the
// calls here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/files/hvn/counter_deltas.h"
#include "runtime/files/hvn/tree/btree.h"
#include "runtime/files/hvn/pages/table_definition.h"
#include "runtime/files/hvn/pages/record_kinds.h"

namespace vaultrix::files::hvn {

class Table {
 public:
  // With `deltas`, counter changes wait there for their flush and reads of
  // a counter include them; without, each goes to its counter record at once.
  Table(PageFile& file, std::uint32_t id, CounterDeltas* deltas = nullptr)
      : file_(file), tree_(file), id_(id), deltas_(deltas) {}

  [[nodiscard]] std::uint32_t id() const { return id_; }
  [[nodiscard]] Tree& tree() { return tree_; }

  // The id of the table named `name`; 2 "File Not Found" when there is none.
  [[nodiscard]] static int FindId(PageFile& file, const std::string& name, std::uint32_t* id);
  // True when the file names any table other than `except`.
  [[nodiscard]] static int OtherTableExists(PageFile& file, const std::string& except,
                                            bool* exists);
  // Removes a table of this name with all its records, then makes a new one
  // with its name record, definition and counters (one for the data records,
  // one per key).
  [[nodiscard]] static int Create(PageFile& file, const std::string& name,
                                  const TableDefinition& definition, std::uint32_t* id);
  // Deletes the name record and every record of the table.
  [[nodiscard]] static int Drop(PageFile& file, const std::string& name);

  [[nodiscard]] int ReadDefinition(TableDefinition* definition, bool* valid);

  // Counters: kKindData for the data records, a key number for a key.
  [[nodiscard]] int ReadCounter(std::uint8_t kind, Counter* counter, bool* found);
  // Adds `delta` to the count; 5 "Access Denied" when the counter is missing.
  [[nodiscard]] int AddToCounter(std::uint8_t kind, std::int32_t delta);
  // Replaces the counter record (a count made afresh): a delta waiting for
  // it is dropped.
  [[nodiscard]] int WriteCounter(std::uint8_t kind, const Counter& counter);
  // Adds `delta` to the counter record itself (CounterDeltas' flush).
  [[nodiscard]] int StoreCounterDelta(std::uint8_t kind, std::int64_t delta);

  [[nodiscard]] int Read(std::uint32_t number, std::string* image, bool* found);
  // Writes a record image under a number (new or existing); the image moves
  // into the page.
  [[nodiscard]] int Write(std::uint32_t number, std::string image);
  [[nodiscard]] int Erase(std::uint32_t number, bool* erased);
  // The record number next to `number` in record order; `seek` as in the tree.
  // With `image`, the record found is read too.
  [[nodiscard]] int Step(std::uint32_t number, Seek seek, std::uint32_t* found_number, bool* found,
                         std::string* image = nullptr);

  // Memos of one record: the chunks of memo `memo`, in order.
  [[nodiscard]] int ReadMemoChunks(std::uint32_t number, std::uint8_t memo,
                                   std::vector<std::string>* chunks);
  [[nodiscard]] int WriteMemoChunks(std::uint32_t number, std::uint8_t memo,
                                    const std::vector<std::string>& chunks);
  [[nodiscard]] int EraseMemos(std::uint32_t number);

  // Deletes every record whose key starts with `prefix`.
  [[nodiscard]] static int ErasePrefix(Tree& tree, const std::string& prefix);

 private:
  PageFile& file_;
  Tree tree_;
  std::uint32_t id_;
  CounterDeltas* deltas_;
};

}  // namespace vaultrix::files::hvn
