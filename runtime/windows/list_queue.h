// The queue a list control shows: the procedure's in-memory records, seen
// through three operations. The list only reads it; the procedure (or the
// browse engine) fills it and tells the list when it changed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vaultrix::windows {

class ListQueue {
 public:
  virtual ~ListQueue() = default;
  // Records in the queue.
  [[nodiscard]] virtual std::int32_t Records() const = 0;
  // Makes record `n` (from 0) the fetched one; false when there is none.
  [[nodiscard]] virtual bool Fetch(std::int32_t n) = 0;
  // Field `f` (from 0) of the fetched record as text; empty when the record
  // has no such field.
  [[nodiscard]] virtual std::string_view Field(std::int32_t f) const = 0;
};

// A queue of text records held in memory.
class TableListQueue final : public ListQueue {
 public:
  TableListQueue() = default;
  explicit TableListQueue(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}

  [[nodiscard]] std::int32_t Records() const override {
    return static_cast<std::int32_t>(rows_.size());
  }
  [[nodiscard]] bool Fetch(std::int32_t n) override {
    if (n < 0 || n >= Records()) return false;
    fetched_ = n;
    return true;
  }
  [[nodiscard]] std::string_view Field(std::int32_t f) const override {
    if (fetched_ < 0 || fetched_ >= Records()) return {};
    const auto& row = rows_[static_cast<std::size_t>(fetched_)];
    if (f < 0 || f >= static_cast<std::int32_t>(row.size())) return {};
    return row[static_cast<std::size_t>(f)];
  }

  std::vector<std::vector<std::string>>& rows() { return rows_; }

 private:
  std::vector<std::vector<std::string>> rows_;
  std::int32_t fetched_ = -1;
};

}  // namespace vaultrix::windows
