// The browse engine's page queue: one row per entry the list shows, holding
// the window's queue fields as text and the entry's position in the view.
// Only the rows of one page are ever held.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/windows/list_queue.h"

namespace vaultrix::app {

// The text a queue field holds: the field's bytes without trailing blanks.
// A field may be the first bytes of a longer text (a tip's first 255 bytes),
// cut inside a character; such a half character at its end is left out.
[[nodiscard]] std::string QueueFieldText(std::span<const char> field);

struct BrowseRow {
  std::vector<std::string> fields;  // clipped of trailing blanks
  std::string position;             // the view's position of the entry
};

class BrowseQueue final : public windows::ListQueue {
 public:
  [[nodiscard]] std::int32_t Records() const override {
    return static_cast<std::int32_t>(rows_.size());
  }
  [[nodiscard]] bool Fetch(std::int32_t n) override;
  [[nodiscard]] std::string_view Field(std::int32_t f) const override;

  // Rows count from 1, as procedures number queue records.
  [[nodiscard]] const BrowseRow& Row(std::int32_t n) const {
    return rows_[static_cast<std::size_t>(n - 1)];
  }
  void AddLast(BrowseRow row) { rows_.push_back(std::move(row)); }
  void AddFirst(BrowseRow row) { rows_.push_front(std::move(row)); }
  void RemoveFirst() { rows_.pop_front(); }
  void RemoveLast() { rows_.pop_back(); }
  void Remove(std::int32_t n) { rows_.erase(rows_.begin() + (n - 1)); }
  void Clear() { rows_.clear(); }

 private:
  std::deque<BrowseRow> rows_;
  std::int32_t fetched_ = -1;
};

}  // namespace vaultrix::app
