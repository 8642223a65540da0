// Fixed-length text fields: a STRING field of n bytes always holds n
// characters, padded with blanks; a blank field is all blanks. These helpers
// work on such fields where they lie in record buffers (a std::span of the
// field's bytes) and on FixedString<N>, the same thing as a value.
//
// Blank-padded comparison treats the shorter text as if blanks followed it,
// so "abc" equals "abc   " and trailing blanks never decide an order. The
// plain form compares bytes as unsigned values (letter case significant); the
// collated form compares the weights of a 256-entry collation table.
//
// These run in the inner loops of browsing and key building: none of them
// allocates.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vaultrix::support {

inline constexpr char kBlank = ' ';

// Length of `text` without its trailing blanks.
[[nodiscard]] std::size_t ClippedLength(std::string_view text);
// `text` without its trailing blanks.
[[nodiscard]] inline std::string_view CLIP(std::string_view text) {
  return text.substr(0, ClippedLength(text));
}
// True when `text` holds nothing but blanks (or nothing).
[[nodiscard]] inline bool IsBlank(std::string_view text) {
  return ClippedLength(text) == 0;
}

// Copies `value` into `field`, cut to the field's length (at a UTF-8
// character boundary) or padded with blanks. `value` may overlap `field`.
void AssignFixed(std::span<char> field, std::string_view value);
// Fills `field` with blanks.
void BlankFixed(std::span<char> field);

// <0, 0 or >0 as `a` sorts before, with or after `b`, blank-padded.
[[nodiscard]] int CompareBlankPadded(std::string_view a, std::string_view b);
[[nodiscard]] bool EqualBlankPadded(std::string_view a, std::string_view b);

using CollationTable = std::array<std::uint8_t, 256>;
// Blank-padded, comparing the weights that `collation` gives each byte.
[[nodiscard]] int CompareBlankPadded(std::string_view a, std::string_view b,
                                     const CollationTable& collation);

inline std::string_view AsText(std::span<const char> field) {
  return std::string_view(field.data(), field.size());
}

// A fixed-length text value of N characters.
template <std::size_t N>
class FixedString {
 public:
  static_assert(N > 0, "a text field holds at least one character");

  FixedString() { data_.fill(kBlank); }
  FixedString(std::string_view value) { Assign(value); }  // NOLINT: converts like the field does
  FixedString& operator=(std::string_view value) {
    Assign(value);
    return *this;
  }

  void Assign(std::string_view value) { AssignFixed(std::span<char>(data_), value); }
  void Clear() { data_.fill(kBlank); }

  static constexpr std::size_t size() { return N; }
  char* data() { return data_.data(); }
  const char* data() const { return data_.data(); }
  std::span<char> Bytes() { return std::span<char>(data_); }
  std::string_view View() const { return std::string_view(data_.data(), N); }
  std::string_view Clipped() const { return CLIP(View()); }
  bool IsBlank() const { return support::IsBlank(View()); }

  char& operator[](std::size_t i) { return data_[i]; }
  char operator[](std::size_t i) const { return data_[i]; }

  friend bool operator==(const FixedString& a, std::string_view b) {
    return EqualBlankPadded(a.View(), b);
  }
  template <std::size_t M>
  friend bool operator==(const FixedString& a, const FixedString<M>& b) {
    return EqualBlankPadded(a.View(), b.View());
  }
  friend int Compare(const FixedString& a, std::string_view b) {
    return CompareBlankPadded(a.View(), b);
  }

 private:
  std::array<char, N> data_;
};

}  // namespace vaultrix::support
