// The chain of readers that a view builds for each opening: the base
// reader over the primary file in its current reading order, a filter
// reader when a filter is set, an ordering reader when an order list is.
// Every reader reads into the primary file's record buffer and answers
// error codes (0, 33 at the end, or the primary file's error).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/eval/expression.h"
#include "runtime/files/file_descriptor.h"

namespace vaultrix::eval {

class ViewReader {
 public:
  virtual ~ViewReader() = default;
  // Back to the start position: the next NEXT reads the first record, the
  // next PREVIOUS the last.
  [[nodiscard]] virtual std::int32_t Start() = 0;
  // The next record in the direction asked (turning round as needed).
  [[nodiscard]] virtual std::int32_t Read(bool backward) = 0;
  [[nodiscard]] virtual std::int32_t Position(std::string* position) = 0;
  [[nodiscard]] virtual std::int32_t Reset(std::string_view position) = 0;
  [[nodiscard]] virtual std::int32_t Reget(std::string_view position) = 0;
  [[nodiscard]] virtual std::int32_t GetByPointer(std::int64_t pointer) = 0;
  [[nodiscard]] virtual std::int32_t Records(std::int64_t* count) = 0;
  // Start by order values: the next read starts at the records whose first
  // `count` order values equal or follow those of the record buffer now.
  [[nodiscard]] virtual std::int32_t StartAtOrderValues(std::int64_t count) { (void)count; return Start(); }
};

// The primary file as its last SET or RESET established it.
[[nodiscard]] std::unique_ptr<ViewReader> MakeBaseReader(files::FileBlock& primary);

// Passes on the records of `inner` for which `filter` is true. When
// `use_range_stop` is set and the filter pins the leading components of the
// key the primary file reads in, reading jumps to the pinned key range and
// ends at its edge instead of reading every record; the records returned
// are the same.
[[nodiscard]] std::unique_ptr<ViewReader> MakeFilterReader(std::unique_ptr<ViewReader> inner,
                                                           files::FileBlock& primary,
                                                           Expression& filter,
                                                           bool use_range_stop);

// Returns the records of `inner` in the order of `order`.
[[nodiscard]] std::unique_ptr<ViewReader> MakeOrderingReader(std::unique_ptr<ViewReader> inner,
                                                             std::vector<OrderItem>& order);

}  // namespace vaultrix::eval
