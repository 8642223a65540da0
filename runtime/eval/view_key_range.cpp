// Finding a filter's key range, encoding key components, and seeking.
#include "runtime/eval/view_key_range.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "runtime/eval/number_text.h"
#include "runtime/files/dispatch.h"
#include "runtime/files/file_state.h"
#include "runtime/files/reading_order.h"
#include "runtime/files/record_layout.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/locale.h"

namespace vaultrix::eval {
namespace {

bool IsIntegerType(std::uint8_t type) {
  return type == files::kTypeByte || type == files::kTypeShort || type == files::kTypeUShort ||
         type == files::kTypeLong || type == files::kTypeULong || type == files::kTypeDate ||
         type == files::kTypeTime;
}
bool IsRealType(std::uint8_t type) {
  return type == files::kTypeSReal || type == files::kTypeReal;
}

void Flatten(Node& node, std::vector<Node*>& terms) {
  Node* left = nullptr;
  Node* right = nullptr;
  if (AsAnd(node, &left, &right)) {
    Flatten(*left, terms);
    Flatten(*right, terms);
  } else {
    terms.push_back(&node);
  }
}

// The variable a side of an equality reads as a key field, and whether it
// reads it case-folded.
const VariableRef* FieldSide(const Node& side, bool* folded) {
  *folded = false;
  if (const VariableRef* variable = AsVariable(side)) return variable;
  if (const Node* argument = AsCaseFold(side)) {
    *folded = true;
    return AsVariable(*argument);
  }
  return nullptr;
}

bool ReadsRecord(const Node& node, const files::FileBlock& file) {
  if (node.Reads(file.record, file.record + file.record_size)) return true;
  for (std::uint32_t i = 0; i < file.memo_count; ++i) {
    if (file.memos != nullptr && node.Reads(file.memos[i], file.memos[i] + 1)) return true;
  }
  return false;
}

// The value side of `term` when it pins the field at [address, size).
Node* PinnedValue(Node& term, const files::FileBlock& file, const KeyRange::Component& component,
                  bool nocase) {
  ComparisonShape shape{};
  if (!AsComparison(term, &shape) || shape.op != BinaryOperator::kEqual) return nullptr;
  const void* address = file.record + component.offset;
  for (int swap = 0; swap < 2; ++swap) {
    Node* field_side = swap == 0 ? shape.left : shape.right;
    Node* value_side = swap == 0 ? shape.right : shape.left;
    bool folded = false;
    const VariableRef* variable = FieldSide(*field_side, &folded);
    if (variable == nullptr || variable->address != address || variable->size != component.size ||
        IsArray(*variable) || ReadsRecord(*value_side, file)) {
      continue;
    }
    const bool text = component.type == files::kTypeString;
    if (text && variable->kind != VariableKind::kString) continue;
    if (folded && (!text || !nocase)) continue;
    if (text != (value_side->Type() == ResultType::kString)) continue;
    return value_side;
  }
  return nullptr;
}

template <class T>
void StoreClamped(double value, std::uint8_t* field) {
  T stored;
  if (!(value == value)) {
    stored = 0;
  } else if (value <= static_cast<double>(std::numeric_limits<T>::lowest())) {
    stored = std::numeric_limits<T>::lowest();
  } else if (value >= static_cast<double>(std::numeric_limits<T>::max())) {
    stored = std::numeric_limits<T>::max();
  } else {
    stored = static_cast<T>(value);
  }
  std::memcpy(field, &stored, sizeof stored);
}

}  // namespace

std::unique_ptr<KeyRange> KeyRange::Analyse(files::FileBlock& primary, Expression& filter) {
  files::FileState* state = primary.state;
  if (state == nullptr || primary.record == nullptr || state->oem) return nullptr;
  files::KeyBlock* key = state->reading_order.OrderKey();
  const files::KeyState* key_state = nullptr;
  for (const files::KeyState& candidate : state->keys) {
    if (candidate.block == key) key_state = &candidate;
  }
  if (key_state == nullptr) return nullptr;
  const bool nocase = (key_state->attributes & files::kKeyNoCase) != 0;
  std::unique_ptr<KeyRange> range(new KeyRange(primary, *key, nocase));
  for (const files::KeyComponentInfo& info : key_state->components) {
    const files::FieldInfo& field = state->layout.fields[info.field_index];
    const bool supported = field.type == files::kTypeString || IsIntegerType(field.type) ||
                           (IsRealType(field.type) && !info.descending);
    if (!supported) return nullptr;
    range->components_.push_back({field.offset, field.size, field.type, info.descending, nullptr});
  }
  std::vector<Node*> terms;
  Flatten(filter.Root(), terms);
  for (Component& component : range->components_) {
    for (Node* term : terms) {
      component.value = PinnedValue(*term, primary, component, nocase);
      if (component.value != nullptr) break;
    }
    if (component.value == nullptr) break;
    ++range->pinned_;
  }
  if (range->pinned_ == 0) return nullptr;
  return range;
}

void KeyRange::Encode(const Component& component, const std::uint8_t* field,
                      std::uint8_t* out) const {
  const std::uint32_t size = component.size;
  if (component.type == files::kTypeString) {
    const support::Locale& locale = support::CurrentLocale();
    for (std::uint32_t i = 0; i < size; ++i) {
      std::uint8_t byte = field[i];
      if (nocase_ && (locale.char_class[byte] & support::kCharUpper) != 0) byte = locale.lower[byte];
      out[i] = locale.collation[byte];
    }
  } else if (component.type == files::kTypeByte || component.type == files::kTypeDate ||
             component.type == files::kTypeTime) {
    std::memcpy(out, field, size);
  } else {
    for (std::uint32_t i = 0; i < size; ++i) out[i] = field[size - 1 - i];  // big-endian
    if (component.type == files::kTypeShort || component.type == files::kTypeLong) {
      out[0] ^= 0x80;
    } else if (IsRealType(component.type)) {
      if ((out[0] & 0x80) != 0) {
        for (std::uint32_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(0xFF - out[i]);
      } else {
        out[0] |= 0x80;
      }
    }
  }
  if (component.descending) {
    for (std::uint32_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(0xFF - out[i]);
  }
}

void KeyRange::WritePinned(const Component& component, std::uint8_t* field) {
  if (component.type == files::kTypeString) {
    const std::string_view text = component.value->Text(scratch_);
    const std::size_t n = std::min<std::size_t>(text.size(), component.size);
    std::memcpy(field, text.data(), n);
    std::memset(field + n, ' ', component.size - n);
    return;
  }
  const double value = component.value->Real();
  switch (component.type) {
    case files::kTypeByte: StoreClamped<std::uint8_t>(value, field); break;
    case files::kTypeShort: StoreClamped<std::int16_t>(value, field); break;
    case files::kTypeUShort: StoreClamped<std::uint16_t>(value, field); break;
    case files::kTypeULong: StoreClamped<std::uint32_t>(value, field); break;
    case files::kTypeSReal: {
      const auto stored = static_cast<float>(value);
      std::memcpy(field, &stored, sizeof stored);
      break;
    }
    case files::kTypeReal: std::memcpy(field, &value, sizeof value); break;
    default: StoreClamped<std::int32_t>(value, field); break;  // LONG, DATE, TIME
  }
}

// Field bytes whose encoding is the smallest (or largest) the component can
// hold.
void KeyRange::WriteExtreme(const Component& component, bool highest, std::uint8_t* field) const {
  if (component.descending) highest = !highest;
  if (component.type == files::kTypeString) {
    std::uint8_t out[1];
    int best = -1;
    std::uint8_t best_byte = 0;
    for (int byte = 0; byte < 256; ++byte) {
      const auto b = static_cast<std::uint8_t>(byte);
      Component ascending = component;
      ascending.descending = false;
      ascending.size = 1;
      Encode(ascending, &b, out);
      if (best < 0 || (highest ? out[0] > best : out[0] < best)) {
        best = out[0];
        best_byte = b;
      }
    }
    std::memset(field, best_byte, component.size);
    return;
  }
  const std::uint8_t fill = highest ? 0xFF : 0x00;
  std::memset(field, fill, component.size);
  if (component.type == files::kTypeShort || component.type == files::kTypeLong) {
    field[component.size - 1] ^= 0x80;  // the sign byte, stored last
  } else if (IsRealType(component.type)) {
    // All ones is a negative NaN, encoded as all zeros; a positive NaN with
    // every other bit set is encoded as all ones.
    std::memset(field, 0xFF, component.size);
    if (highest) field[component.size - 1] = 0x7F;
  }
}

void KeyRange::Refresh() {
  pinned_fields_.clear();
  pinned_encoded_.clear();
  for (std::size_t i = 0; i < pinned_; ++i) {
    const Component& component = components_[i];
    const std::size_t at = pinned_fields_.size();
    pinned_fields_.resize(at + component.size);
    pinned_encoded_.resize(at + component.size);
    WritePinned(component, pinned_fields_.data() + at);
    Encode(component, pinned_fields_.data() + at, pinned_encoded_.data() + at);
  }
}

int KeyRange::Locate() const {
  std::uint8_t encoded[256];
  std::size_t at = 0;
  for (std::size_t i = 0; i < pinned_; ++i) {
    const Component& component = components_[i];
    for (std::uint32_t done = 0; done < component.size;) {
      const std::uint32_t part = std::min<std::uint32_t>(component.size - done, sizeof encoded);
      Component slice = component;
      slice.size = part;
      if (component.type == files::kTypeString) {
        Encode(slice, primary_.record + component.offset + done, encoded);
      } else {
        Encode(component, primary_.record + component.offset, encoded);  // at most 8 bytes
      }
      const int order = std::memcmp(encoded, pinned_encoded_.data() + at + done, part);
      if (order != 0) return order;
      done += part;
    }
    at += component.size;
  }
  return 0;
}

std::int32_t KeyRange::Seek(bool backward) {
  files::FileState* state = primary_.state;
  if (state == nullptr) return support::kFileNotOpen;
  std::size_t at = 0;
  for (std::size_t i = 0; i < components_.size(); ++i) {
    const Component& component = components_[i];
    std::uint8_t* field = primary_.record + component.offset;
    if (i < pinned_) {
      std::memcpy(field, pinned_fields_.data() + at, component.size);
      at += component.size;
    } else {
      WriteExtreme(component, backward, field);
    }
  }
  const files::ReadingOrder saved = state->reading_order;
  files::OperationCall call;
  call.file = &primary_;
  call.key = &key_;
  call.second_key = &key_;
  files::Dispatch(files::Operation::kSetKeyKey, call);
  const std::int32_t code = support::ErrorCode();
  if (primary_.state != nullptr) primary_.state->reading_order = saved;
  return code;
}

}  // namespace vaultrix::eval
