// The export window's two lists as data: "All Fields" with its marks and
// the anchor of Shift ranges, and "Export Fields" in the order they will be
// written, each with its picture.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vaultrix::app {

struct TransferField {
  std::string name;
  std::string picture;
};

class ExportFields {
 public:
  ExportFields();

  [[nodiscard]] const std::vector<TransferField>& All() const { return all_; }
  [[nodiscard]] bool Marked(std::size_t row) const { return marks_[row]; }
  [[nodiscard]] const std::vector<TransferField>& Chosen() const { return chosen_; }

  // A plain click: `row` marked alone, and the anchor of later ranges.
  void MarkOnly(std::size_t row);
  // Ctrl+click or the space bar: the mark of `row` turned over.
  void Toggle(std::size_t row);
  // Shift: the entries from the anchor to `row` marked, none else.
  void MarkRange(std::size_t row);

  // Appends the marked entries not yet chosen; answers the row (in Chosen)
  // of the first one added, or npos when none was.
  std::size_t Add();
  void Remove(std::size_t row);
  // Swaps the chosen entry with the one before (up) or after it; answers
  // its new row.
  std::size_t Shift(std::size_t row, bool up);
  void SetPicture(std::size_t row, std::string_view picture);

 private:
  std::vector<TransferField> all_;
  std::vector<bool> marks_;
  std::vector<TransferField> chosen_;
  std::size_t anchor_ = 0;
};

// The type shown for a picture: "Alpha-numeric", "Numeric" or the picture.
[[nodiscard]] std::string ExportTypeOf(std::string_view picture);

}  // namespace vaultrix::app
