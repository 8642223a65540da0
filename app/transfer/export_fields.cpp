// The export window's lists.
#include "app/transfer/export_fields.h"

#include <algorithm>
#include <utility>

#include "app/transfer/pictures.h"

namespace vaultrix::app {

ExportFields::ExportFields()
    : all_{{"P_:Service", "@s30"},
           {"P_:URL", "@s90"},
           {"P_:Name", "@s30"},
           {"P_:Password", "@s30"}},
      marks_(all_.size(), false) {}

void ExportFields::MarkOnly(std::size_t row) {
  if (row >= all_.size()) return;
  std::fill(marks_.begin(), marks_.end(), false);
  marks_[row] = true;
  anchor_ = row;
}

void ExportFields::Toggle(std::size_t row) {
  if (row >= all_.size()) return;
  marks_[row] = !marks_[row];
  anchor_ = row;
}

void ExportFields::MarkRange(std::size_t row) {
  if (row >= all_.size()) return;
  const auto [low, high] = std::minmax(row, anchor_);
  for (std::size_t i = 0; i < marks_.size(); ++i) marks_[i] = i >= low && i <= high;
}

std::size_t ExportFields::Add() {
  std::size_t first = std::string::npos;
  for (std::size_t i = 0; i < all_.size(); ++i) {
    if (!marks_[i]) continue;
    const bool present = std::any_of(chosen_.begin(), chosen_.end(), [&](const TransferField& f) {
      return f.name == all_[i].name;
    });
    if (present) continue;
    if (first == std::string::npos) first = chosen_.size();
    chosen_.push_back(all_[i]);
  }
  return first;
}

void ExportFields::Remove(std::size_t row) {
  if (row < chosen_.size()) chosen_.erase(chosen_.begin() + static_cast<std::ptrdiff_t>(row));
}

std::size_t ExportFields::Shift(std::size_t row, bool up) {
  if (row >= chosen_.size()) return row;
  const std::size_t other = up ? row - 1 : row + 1;
  if ((up && row == 0) || other >= chosen_.size()) return row;
  std::swap(chosen_[row], chosen_[other]);
  return other;
}

void ExportFields::SetPicture(std::size_t row, std::string_view picture) {
  if (row < chosen_.size() && !picture.empty()) chosen_[row].picture = std::string(picture);
}

std::string ExportTypeOf(std::string_view picture) {
  switch (KindOfPicture(picture)) {
    case TransferKind::kString:
      return "Alpha-numeric";
    case TransferKind::kNumeric:
      return "Numeric";
    case TransferKind::kFormatted:
      break;
  }
  return std::string(picture);
}

}  // namespace vaultrix::app
