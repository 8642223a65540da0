// The ordering reader: reads every record of the reader beneath it once,
// keeps each record's position and order values, sorts them by the order
// list (stable, so equal values keep the order beneath), and then walks
// that list, re-reading each record by its position.
#include <algorithm>
#include <cstdint>
#include <variant>

#include "runtime/eval/view_reader.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/fixed_string.h"
#include "runtime/support/locale.h"

namespace vaultrix::eval {
namespace {

using OrderValue = std::variant<double, std::string>;

struct Entry {
  std::string position;
  std::vector<OrderValue> values;
};

int CompareValues(const OrderValue& a, const OrderValue& b) {
  if (a.index() == 1 && b.index() == 1) {
    return support::CompareBlankPadded(std::get<1>(a), std::get<1>(b),
                                       support::CurrentLocale().collation);
  }
  const double x = a.index() == 0 ? std::get<0>(a) : 0.0;
  const double y = b.index() == 0 ? std::get<0>(b) : 0.0;
  return x < y ? -1 : (y < x ? 1 : 0);
}

class OrderingReader final : public ViewReader {
 public:
  OrderingReader(std::unique_ptr<ViewReader> inner, std::vector<OrderItem>& order)
      : inner_(std::move(inner)), order_(order) {}
  ~OrderingReader() override { Forget(); }

  std::int32_t Start() override {
    loaded_ = false;
    current_ = -1;
    next_ = kFromEnds;
    return inner_->Start();
  }

  std::int32_t Read(bool backward) override {
    if (const std::int32_t code = Load(); code != support::kNoError) return code;
    const auto count = static_cast<std::int64_t>(entries_.size());
    std::int64_t index;
    if (next_ == kFromEnds) {
      index = backward ? count - 1 : 0;
    } else if (next_ >= 0) {
      index = backward ? next_ - (start_after_ ? 1 : 0) : next_;
    } else {
      index = backward ? current_ - 1 : current_ + 1;
    }
    next_ = -1;
    start_after_ = false;
    if (index < 0 || index >= count) {
      current_ = index < 0 ? -1 : count;
      return support::kRecordNotAvailable;
    }
    current_ = index;
    return inner_->Reget(entries_[static_cast<std::size_t>(index)].position);
  }

  std::int32_t Position(std::string* position) override {
    if (current_ < 0 || current_ >= static_cast<std::int64_t>(entries_.size())) {
      position->clear();
      return support::kRecordNotAvailable;
    }
    *position = entries_[static_cast<std::size_t>(current_)].position;
    return support::kNoError;
  }

  // The next read in either direction returns the record at the position.
  std::int32_t Reset(std::string_view position) override {
    if (const std::int32_t code = Load(); code != support::kNoError) return code;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].position == position) {
        next_ = static_cast<std::int64_t>(i);
        return support::kNoError;
      }
    }
    return support::kRecordNotFound;
  }

  std::int32_t Reget(std::string_view position) override { return inner_->Reget(position); }
  std::int32_t GetByPointer(std::int64_t pointer) override { return inner_->GetByPointer(pointer); }
  std::int32_t Records(std::int64_t* count) override { return inner_->Records(count); }

  // The first entry whose leading `count` values are not before those of
  // the record buffer now; backward reads start at the entry before it.
  std::int32_t StartAtOrderValues(std::int64_t count) override {
    const std::size_t n = static_cast<std::size_t>(
        std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(order_.size())));
    Entry wanted = ValuesNow(n);
    if (const std::int32_t code = Load(); code != support::kNoError) return code;
    current_ = -1;
    if (n == 0) {
      next_ = kFromEnds;
      return support::kNoError;
    }
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
      return Compare(entry, wanted, n) >= 0;
    });
    next_ = found - entries_.begin();
    start_after_ = true;
    return support::kNoError;
  }

 private:
  static constexpr std::int64_t kFromEnds = -2;

  Entry ValuesNow(std::size_t n) {
    Entry entry;
    for (std::size_t i = 0; i < n; ++i) {
      Expression& expression = *order_[i].expression;
      if (expression.Type() == ResultType::kString) {
        entry.values.emplace_back(std::string(expression.EvaluateText()));
      } else {
        entry.values.emplace_back(expression.EvaluateReal());
      }
    }
    return entry;
  }

  int Compare(const Entry& a, const Entry& b, std::size_t n) const {
    for (std::size_t i = 0; i < n; ++i) {
      const int order = CompareValues(a.values[i], b.values[i]);
      if (order != 0) return order_[i].descending ? -order : order;
    }
    return 0;
  }

  // Order values may be secret fields.
  void Forget() {
    for (Entry& entry : entries_) {
      WipeString(entry.position);
      for (OrderValue& value : entry.values) {
        if (value.index() == 1) WipeString(std::get<1>(value));
      }
    }
    entries_.clear();
  }

  std::int32_t Load() {
    if (loaded_) return support::kNoError;
    Forget();
    std::int32_t code = inner_->Start();
    while (code == support::kNoError) {
      code = inner_->Read(false);
      if (code != support::kNoError) break;
      Entry entry = ValuesNow(order_.size());
      code = inner_->Position(&entry.position);
      entries_.push_back(std::move(entry));
    }
    if (code != support::kRecordNotAvailable) return code;
    std::stable_sort(entries_.begin(), entries_.end(), [&](const Entry& a, const Entry& b) {
      return Compare(a, b, order_.size()) < 0;
    });
    loaded_ = true;
    return support::kNoError;
  }

  std::unique_ptr<ViewReader> inner_;
  std::vector<OrderItem>& order_;
  std::vector<Entry> entries_;
  bool loaded_ = false;
  std::int64_t current_ = -1;
  std::int64_t next_ = kFromEnds;  // >= 0: the next read starts at that entry
  bool start_after_ = false;
};

}  // namespace

std::unique_ptr<ViewReader> MakeOrderingReader(std::unique_ptr<ViewReader> inner,
                                               std::vector<OrderItem>& order) {
  return std::make_unique<OrderingReader>(std::move(inner), order);
}

}  // namespace vaultrix::eval
