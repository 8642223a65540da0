// Decoding record images field by field.
#include "tools/hvn_tool/record_values.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "runtime/files/record_layout.h"
#include "runtime/support/dates.h"
#include "runtime/support/decimal.h"
#include "runtime/support/times.h"

namespace vaultrix::tools {
namespace {

using files::hvn::DefinedField;
using files::hvn::TableDefinition;

bool Shown(const DefinedField& field) {
  return field.type != files::kTypeGroup && field.overlay == 0;
}

std::uint32_t ElementCount(const DefinedField& field) {
  return field.element_count == 0 ? 1 : field.element_count;
}

bool IsNumeric(std::uint8_t type) {
  switch (type) {
    case files::kTypeByte:
    case files::kTypeShort:
    case files::kTypeUShort:
    case files::kTypeLong:
    case files::kTypeULong:
    case files::kTypeSReal:
    case files::kTypeReal:
    case files::kTypeDecimal:
    case files::kTypePDecimal:
      return true;
    default:
      return false;
  }
}

template <class T>
T LoadAs(const std::uint8_t* p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

std::string Real(double value, int digits) {
  if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  return text;
}

std::string DateText(std::int32_t date) {
  if (date == 0) return "";
  if (auto civil = support::DateToCivil(date)) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", civil->year, civil->month, civil->day);
    return text;
  }
  return std::to_string(date);
}

std::string TimeText(std::int32_t time) {
  if (time == 0) return "";
  if (auto parts = support::TimeToParts(time)) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%02d", parts->hour, parts->minute,
                  parts->second, parts->hundredths);
    return text;
  }
  return std::to_string(time);
}

std::string Hex(const std::uint8_t* p, std::size_t size) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out.push_back(digits[p[i] >> 4]);
    out.push_back(digits[p[i] & 15]);
  }
  return out;
}

std::string Text(const std::uint8_t* p, std::size_t size, std::uint8_t type) {
  const char* chars = reinterpret_cast<const char*>(p);
  if (type == files::kTypeCString) {
    const void* end = std::memchr(p, 0, size);
    return std::string(chars, end ? static_cast<const std::uint8_t*>(end) - p : size);
  }
  if (type == files::kTypePString) {
    if (size == 0) return "";
    return std::string(chars + 1, std::min<std::size_t>(p[0], size - 1));
  }
  std::string text(chars, size);
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

// One element of `size` bytes at `p`.
std::string Element(const DefinedField& field, const std::uint8_t* p, std::size_t size) {
  const auto fits = [&](std::size_t need) { return size >= need; };
  switch (field.type) {
    case files::kTypeByte:
      return std::to_string(p[0]);
    case files::kTypeShort:
      return fits(2) ? std::to_string(LoadAs<std::int16_t>(p)) : "";
    case files::kTypeUShort:
      return fits(2) ? std::to_string(LoadAs<std::uint16_t>(p)) : "";
    case files::kTypeLong:
      return fits(4) ? std::to_string(LoadAs<std::int32_t>(p)) : "";
    case files::kTypeULong:
      return fits(4) ? std::to_string(LoadAs<std::uint32_t>(p)) : "";
    case files::kTypeDate:
      return fits(4) ? DateText(LoadAs<std::int32_t>(p)) : "";
    case files::kTypeTime:
      return fits(4) ? TimeText(LoadAs<std::int32_t>(p)) : "";
    case files::kTypeSReal:
      return fits(4) ? Real(LoadAs<float>(p), 9) : "";
    case files::kTypeReal:
      return fits(8) ? Real(LoadAs<double>(p), 17) : "";
    case files::kTypeDecimal:
    case files::kTypePDecimal: {
      auto text = support::PackedToText(p, static_cast<int>(size), field.places);
      return text ? *text : "?" + Hex(p, size);
    }
    case files::kTypeString:
    case files::kTypeCString:
    case files::kTypePString:
    case files::kTypeAString:
      return Text(p, size, field.type);
    default:
      return Hex(p, size);
  }
}

}  // namespace

std::string TypeName(std::uint8_t type) {
  switch (type) {
    case files::kTypeByte:
      return "BYTE";
    case files::kTypeShort:
      return "SHORT";
    case files::kTypeUShort:
      return "USHORT";
    case files::kTypeDate:
      return "DATE";
    case files::kTypeTime:
      return "TIME";
    case files::kTypeLong:
      return "LONG";
    case files::kTypeULong:
      return "ULONG";
    case files::kTypeSReal:
      return "SREAL";
    case files::kTypeReal:
      return "REAL";
    case files::kTypeDecimal:
      return "DECIMAL";
    case files::kTypePDecimal:
      return "PDECIMAL";
    case files::kTypeString:
      return "STRING";
    case files::kTypeCString:
      return "CSTRING";
    case files::kTypePString:
      return "PSTRING";
    case files::kTypeAString:
      return "ASTRING";
    case files::kTypeGroup:
      return "GROUP";
    default: {
      char text[16];
      std::snprintf(text, sizeof text, "TYPE 0x%02X", type);
      return text;
    }
  }
}

std::vector<Column> ColumnsOf(const TableDefinition& definition) {
  std::vector<Column> columns;
  std::set<std::string> taken{"RECORD"};
  const auto add = [&](std::string name, bool numeric) {
    std::string unique = name;
    for (int n = 2; !taken.insert(unique).second; ++n) unique = name + "#" + std::to_string(n);
    columns.push_back({unique, numeric});
  };
  for (const DefinedField& field : definition.fields) {
    if (!Shown(field)) continue;
    const std::string base = field.label && !field.label->empty()
                                 ? *field.label
                                 : "FIELD" + std::to_string(field.ordinal + 1);
    const std::uint32_t count = ElementCount(field);
    for (std::uint32_t i = 0; i < count; ++i) {
      add(count == 1 ? base : base + "[" + std::to_string(i + 1) + "]", IsNumeric(field.type));
    }
  }
  for (std::size_t m = 0; m < definition.memos.size(); ++m) {
    const auto& label = definition.memos[m].label;
    add(label && !label->empty() ? *label : "MEMO" + std::to_string(m + 1), false);
  }
  return columns;
}

std::vector<std::string> ValuesOf(const TableDefinition& definition, const std::string& image,
                                  const std::vector<std::string>& memos) {
  std::vector<std::string> values;
  const auto* record = reinterpret_cast<const std::uint8_t*>(image.data());
  for (const DefinedField& field : definition.fields) {
    if (!Shown(field)) continue;
    const std::uint32_t count = ElementCount(field);
    const std::size_t element = field.size / count;
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::size_t at = field.offset + i * element;
      if (element == 0 || at + element > image.size()) {
        values.emplace_back();
      } else {
        values.push_back(Element(field, record + at, element));
      }
    }
  }
  for (std::size_t m = 0; m < definition.memos.size(); ++m) {
    values.push_back(m < memos.size() ? memos[m] : std::string());
  }
  return values;
}

}  // namespace vaultrix::tools
