// Encoding of key values and building of key entries (hvn/key_value.h).
#include "runtime/files/hvn/key_value.h"

#include <algorithm>
#include <cstring>

#include "platform/oem_charset.h"
#include "runtime/files/record_layout.h"
#include "runtime/support/locale.h"

namespace vaultrix::files {
namespace {

using Byte = std::uint8_t;
using TextMap = std::array<Byte, 256>;

Byte Fold(const support::Locale& locale, Byte c, bool no_case) {
  return no_case && (locale.char_class[c] & support::kCharUpper) != 0 ? locale.lower[c] : c;
}

TextMap PlainTextMap(const support::Locale& locale, bool no_case) {
  TextMap map;
  for (int c = 0; c < 256; ++c) {
    map[c] = locale.collation[Fold(locale, static_cast<Byte>(c), no_case)];
  }
  return map;
}

// OEM bytes weigh as their equals in the program's character set; those
// without an equal follow all of them in code order. The weights are then
// packed into 0..255 keeping equal ones equal.
TextMap OemTextMap(const support::Locale& locale, bool no_case) {
  std::array<int, 256> rank_key;
  for (int c = 0; c < 256; ++c) {
    const Byte ansi = platform::OemToAnsiChar(static_cast<Byte>(c));
    const bool has_equal = platform::AnsiToOemChar(ansi) == c;
    rank_key[c] = has_equal ? locale.collation[Fold(locale, ansi, no_case)] : 256 + c;
  }
  std::array<int, 256> sorted = rank_key;
  std::sort(sorted.begin(), sorted.end());
  const auto distinct_end = std::unique(sorted.begin(), sorted.end());
  TextMap map;
  for (int c = 0; c < 256; ++c) {
    map[c] = static_cast<Byte>(std::lower_bound(sorted.begin(), distinct_end, rank_key[c]) -
                               sorted.begin());
  }
  return map;
}

bool AllBytesEqual(const Byte* field, std::uint32_t size, Byte value) {
  for (std::uint32_t i = 0; i < size; ++i) {
    if (field[i] != value) return false;
  }
  return true;
}

bool IsNullComponent(Byte type, const Byte* field, std::uint32_t size) {
  switch (type) {
    case kTypeString:
    case kTypeGroup:
      return AllBytesEqual(field, size, ' ');
    case kTypeCString:
    case kTypePString:
      return size == 0 || field[0] == 0;
    default:
      return AllBytesEqual(field, size, 0);
  }
}

void Reverse(const Byte* field, std::uint32_t size, Byte* out) {
  for (std::uint32_t i = 0; i < size; ++i) out[i] = field[size - 1 - i];
}

void Complement(Byte* out, std::uint32_t size) {
  for (std::uint32_t i = 0; i < size; ++i) out[i] = static_cast<Byte>(0xFF - out[i]);
}

void MapText(const TextMap& map, const Byte* text, std::uint32_t size, Byte* out) {
  for (std::uint32_t i = 0; i < size; ++i) out[i] = map[text[i]];
}

// A text of `length` bytes padded with zero bytes to the field size.
void MapPaddedText(const TextMap& map, const Byte* text, std::uint32_t length, std::uint32_t size,
                   Byte* out) {
  MapText(map, text, length, out);
  std::memset(out + length, map[0], size - length);
}

void EncodeFloat(const Byte* field, std::uint32_t size, Byte* out) {
  Reverse(field, size, out);
  if ((out[0] & 0x80) != 0) {
    Complement(out, size);
  } else {
    out[0] |= 0x80;
  }
}

void EncodeDecimal(const Byte* field, std::uint32_t size, Byte* out) {
  std::memcpy(out, field, size);
  if ((out[0] & 0xF0) != 0) {
    out[0] &= 0x0F;
    Complement(out, size);
  }
  out[0] ^= 0x80;
}

}  // namespace

int CompareKeyBytes(const std::uint8_t* a, std::size_t a_size, const std::uint8_t* b,
                    std::size_t b_size) {
  const std::size_t common = std::min(a_size, b_size);
  if (common > 0) {
    const int order = std::memcmp(a, b, common);
    if (order != 0) return order;
  }
  return a_size < b_size ? -1 : (a_size > b_size ? 1 : 0);
}

void StoreBigEndian32(std::uint32_t value, std::uint8_t* out) {
  out[0] = static_cast<Byte>(value >> 24);
  out[1] = static_cast<Byte>(value >> 16);
  out[2] = static_cast<Byte>(value >> 8);
  out[3] = static_cast<Byte>(value);
}

std::uint32_t LoadBigEndian32(const std::uint8_t* in) {
  return (std::uint32_t{in[0]} << 24) | (std::uint32_t{in[1]} << 16) | (std::uint32_t{in[2]} << 8) |
         std::uint32_t{in[3]};
}

std::optional<std::uint32_t> EntryRecordNumber(const std::uint8_t* key, std::size_t key_size,
                                               const std::uint8_t* data, std::size_t data_size) {
  if (key_size + data_size < kRecordNumberSize) return std::nullopt;
  Byte last[kRecordNumberSize];
  // The last four bytes may straddle key and data.
  for (std::size_t i = 0; i < kRecordNumberSize; ++i) {
    const std::size_t from_end = kRecordNumberSize - i;  // 4, 3, 2, 1
    last[i] =
        from_end <= data_size ? data[data_size - from_end] : key[key_size - (from_end - data_size)];
  }
  return LoadBigEndian32(last);
}

std::optional<KeyValueEncoder> KeyValueEncoder::Make(const FileState& state, const KeyState& key,
                                                     std::uint8_t key_number) {
  KeyValueEncoder encoder;
  encoder.attributes_ = key.attributes;
  encoder.key_number_ = key_number;
  for (const KeyComponentInfo& info : key.components) {
    if (info.field_index >= state.layout.fields.size()) return std::nullopt;
    const FieldInfo& field = state.layout.fields[info.field_index];
    if (field.offset > state.record_size || field.size > state.record_size - field.offset) {
      return std::nullopt;
    }
    encoder.components_.push_back({field.type, field.offset, field.size, info.descending});
    encoder.value_size_ += field.size;
  }
  const support::Locale& locale = support::CurrentLocale();
  const bool no_case = (key.attributes & kKeyNoCase) != 0;
  encoder.text_map_ = state.oem ? OemTextMap(locale, no_case) : PlainTextMap(locale, no_case);
  return encoder;
}

void KeyValueEncoder::EncodeComponent(const Component& component, const std::uint8_t* field,
                                      std::uint8_t* out) const {
  const std::uint32_t size = component.size;
  switch (component.type) {
    case kTypeString:
      MapText(text_map_, field, size, out);
      break;
    case kTypeCString: {
      const void* end = std::memchr(field, 0, size);
      const auto length =
          end == nullptr ? size : static_cast<std::uint32_t>(static_cast<const Byte*>(end) - field);
      MapPaddedText(text_map_, field, length, size, out);
      break;
    }
    case kTypePString:
      if (size == 0) break;
      MapPaddedText(text_map_, field + 1, std::min<std::uint32_t>(field[0], size - 1), size, out);
      break;
    case kTypeUShort:
    case kTypeULong:
      Reverse(field, size, out);
      break;
    case kTypeShort:
    case kTypeLong:
      Reverse(field, size, out);
      if (size > 0) out[0] ^= 0x80;
      break;
    case kTypeSReal:
    case kTypeReal:
      if (size > 0) EncodeFloat(field, size, out);
      break;
    case kTypeDecimal:
      if (size > 0) EncodeDecimal(field, size, out);
      break;
    default:
      std::memcpy(out, field, size);
      break;
  }
  if (component.descending) Complement(out, size);
}

void KeyValueEncoder::EncodeValue(const std::uint8_t* record, std::uint8_t* out) const {
  for (const Component& component : components_) {
    EncodeComponent(component, record + component.offset, out);
    out += component.size;
  }
}

std::vector<std::uint8_t> KeyValueEncoder::EncodeValue(const std::uint8_t* record) const {
  std::vector<std::uint8_t> value(value_size_);
  EncodeValue(record, value.data());
  return value;
}

bool KeyValueEncoder::AllComponentsNull(const std::uint8_t* record) const {
  for (const Component& component : components_) {
    if (!IsNullComponent(component.type, record + component.offset, component.size)) return false;
  }
  return true;
}

bool KeyValueEncoder::LeavesOut(const std::uint8_t* record) const {
  return IsOpt() && !components_.empty() && AllComponentsNull(record);
}

void KeyValueEncoder::WritePrefix(std::uint32_t table_id, std::uint8_t* out) const {
  StoreBigEndian32(table_id, out);
  out[4] = key_number_;
}

bool KeyValueEncoder::BuildEntry(std::uint32_t table_id, const std::uint8_t* record,
                                 std::uint32_t record_number, KeyEntry& entry) const {
  entry.key.clear();
  entry.data.clear();
  if (LeavesOut(record)) return false;
  entry.key.resize(EntryKeySize());
  WritePrefix(table_id, entry.key.data());
  EncodeValue(record, entry.key.data() + kKeyEntryPrefixSize);
  if (IsDup()) {
    StoreBigEndian32(record_number, entry.key.data() + kKeyEntryPrefixSize + value_size_);
  } else {
    entry.data.resize(kRecordNumberSize);
    StoreBigEndian32(record_number, entry.data.data());
  }
  return true;
}

std::vector<std::uint8_t> KeyValueEncoder::SearchKey(
    std::uint32_t table_id, const std::uint8_t* value,
    std::optional<std::uint32_t> record_number) const {
  const bool complete = IsDup() && record_number.has_value();
  std::vector<std::uint8_t> key(kKeyEntryPrefixSize + value_size_ +
                                (complete ? kRecordNumberSize : 0));
  WritePrefix(table_id, key.data());
  if (value_size_ > 0) std::memcpy(key.data() + kKeyEntryPrefixSize, value, value_size_);
  if (complete) StoreBigEndian32(*record_number, key.data() + kKeyEntryPrefixSize + value_size_);
  return key;
}

bool KeyValueEncoder::Owns(std::uint32_t table_id, const std::uint8_t* key,
                           std::size_t key_size) const {
  if (key_size < kKeyEntryPrefixSize) return false;
  Byte prefix[kKeyEntryPrefixSize];
  WritePrefix(table_id, prefix);
  return std::memcmp(prefix, key, kKeyEntryPrefixSize) == 0;
}

bool KeyValueEncoder::HoldsValue(const std::uint8_t* key, std::size_t key_size,
                                 const std::uint8_t* value) const {
  if (key_size < kKeyEntryPrefixSize + value_size_) return false;
  return value_size_ == 0 || std::memcmp(key + kKeyEntryPrefixSize, value, value_size_) == 0;
}

}  // namespace vaultrix::files
