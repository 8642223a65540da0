// Reading the text driver's option texts.
#include "runtime/files/text/options.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace vaultrix::files {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\0')) {
    text.remove_suffix(1);
  }
  return text;
}

bool SameName(std::string_view given, std::string_view name) {
  if (given.size() != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(given[i])) != name[i]) return false;
  }
  return true;
}

// The numbers of a value, each found by skipping what is not a digit (nor,
// with `signed_numbers`, a minus sign directly before a digit).
std::vector<std::int64_t> Numbers(std::string_view value, bool signed_numbers) {
  std::vector<std::int64_t> numbers;
  std::size_t i = 0;
  while (i < value.size()) {
    bool negative = false;
    if (!std::isdigit(static_cast<unsigned char>(value[i]))) {
      if (signed_numbers && value[i] == '-' && i + 1 < value.size() &&
          std::isdigit(static_cast<unsigned char>(value[i + 1]))) {
        negative = true;
      } else {
        ++i;
        continue;
      }
      ++i;
    }
    std::int64_t number = 0;
    while (i < value.size() && std::isdigit(static_cast<unsigned char>(value[i]))) {
      if (number < 1000000000) number = number * 10 + (value[i] - '0');
      ++i;
    }
    numbers.push_back(negative ? -number : number);
  }
  return numbers;
}

std::optional<bool> OnOff(std::string_view value) {
  value = Trim(value);
  if (value.size() >= 2 && std::toupper(static_cast<unsigned char>(value[0])) == 'O') {
    char second = static_cast<char>(std::toupper(static_cast<unsigned char>(value[1])));
    if (second == 'N') return true;
    if (second == 'F') return false;
  }
  return std::nullopt;
}

std::string EndOfRecordText(const std::string& sequence) {
  std::string text = std::to_string(sequence.size());
  for (char c : sequence) {
    // Appended in two steps: "," + to_string(...) trips a false -Wrestrict
    // of GCC 12 at -O3.
    text += ',';
    text += std::to_string(static_cast<unsigned char>(c));
  }
  return text;
}

}  // namespace

bool ApplyTextOption(std::string_view text, TextOptions& options, std::string* before) {
  text = Trim(text);
  while (!text.empty() && text.front() == '/') text.remove_prefix(1);
  std::size_t equals = text.find('=');
  std::string_view name = Trim(text.substr(0, equals));
  bool has_value = equals != std::string_view::npos;
  std::string_view value = has_value ? text.substr(equals + 1) : std::string_view();
  if (name.empty()) return false;

  switch (std::toupper(static_cast<unsigned char>(name[0]))) {
    case 'F': {
      if (!SameName(name, "FILEBUFFERS")) return false;
      *before = std::to_string(options.buffer_count);
      auto numbers = Numbers(value, false);
      if (has_value && !numbers.empty()) {
        options.buffer_count =
            static_cast<std::uint32_t>(std::clamp<std::int64_t>(numbers[0], 1, kMaxFileBuffers));
      }
      return true;
    }
    case 'Q': {
      if (!SameName(name, "QUICKSCAN")) return false;
      *before = options.quick_scan ? "ON" : "OFF";
      if (auto on = OnOff(value); has_value && on) options.quick_scan = *on;
      return true;
    }
    case 'E': {
      if (!SameName(name, "ENDOFRECORD")) return false;
      *before = EndOfRecordText(options.end_of_record);
      auto numbers = Numbers(value, false);
      if (!has_value || numbers.empty()) return true;
      std::int64_t count = numbers[0];
      if (count < 0 || count > static_cast<std::int64_t>(kMaxEndOfRecord) ||
          static_cast<std::int64_t>(numbers.size()) < count + 1) {
        return true;  // an incomplete sequence changes nothing
      }
      std::string sequence;
      for (std::int64_t i = 1; i <= count; ++i) {
        if (numbers[i] > 255) return true;
        sequence += static_cast<char>(numbers[i]);
      }
      options.end_of_record = sequence;
      return true;
    }
    case 'C': {
      if (!SameName(name, "CLIP")) return false;
      *before = options.clip ? "ON" : "OFF";
      if (auto on = OnOff(value); has_value && on) options.clip = *on;
      return true;
    }
    case 'T': {
      if (!SameName(name, "TAB")) return false;
      *before = std::to_string(options.tab);
      auto numbers = Numbers(value, true);
      if (has_value && !numbers.empty()) {
        options.tab = static_cast<std::int32_t>(std::clamp<std::int64_t>(numbers[0], -1000, 1000));
      }
      return true;
    }
    case 'R': {
      if (!SameName(name, "REGISTER")) return false;
      *before = "ASCII";
      return true;
    }
    default:
      return false;
  }
}

void ApplyOptionText(std::string_view option_text, TextOptions& options) {
  std::string ignored;
  while (!option_text.empty()) {
    std::size_t slash = option_text.find('/', 1);
    std::string_view option = option_text.substr(0, slash);
    (void)ApplyTextOption(option, options, &ignored);  // REGISTER changes nothing
    if (slash == std::string_view::npos) break;
    option_text.remove_prefix(slash);
  }
}

}  // namespace vaultrix::files
