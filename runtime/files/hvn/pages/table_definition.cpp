// Writing, reading and comparing table definition streams.
#include "runtime/files/hvn/pages/table_definition.h"

#include "runtime/files/file_state.h"
#include "runtime/files/record_layout.h"

namespace vaultrix::files::hvn {
namespace {

constexpr std::uint16_t kBlobMemo = 0x04;

bool IsDecimalType(std::uint8_t type) {
  return type == kTypeDecimal || type == kTypePDecimal;
}
bool IsTextType(std::uint8_t type) {
  return type == kTypeString || type == kTypeCString || type == kTypePString;
}

class Writer {
 public:
  void Byte(std::uint8_t value) { out_.push_back(static_cast<char>(value)); }
  void Word(std::uint32_t value) {
    Byte(static_cast<std::uint8_t>(value));
    Byte(static_cast<std::uint8_t>(value >> 8));
  }
  void Text(const std::optional<std::string>& text) {
    if (!text) {
      Byte(0);
      Byte(1);
      return;
    }
    if (text->empty()) {
      Byte(0);
      Byte(0);
      return;
    }
    out_.append(*text);
    Byte(0);
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

class Reader {
 public:
  Reader(const std::uint8_t* ptr, const std::uint8_t* limit) : ptr_(ptr), limit_(limit) {}
  bool Byte(std::uint8_t* value) {
    if (ptr_ >= limit_) return false;
    *value = *ptr_++;
    return true;
  }
  bool Word(std::uint16_t* value) {
    if (limit_ - ptr_ < 2) return false;
    *value = static_cast<std::uint16_t>(ptr_[0] | (ptr_[1] << 8));
    ptr_ += 2;
    return true;
  }
  bool Text(std::optional<std::string>* text) {
    if (ptr_ >= limit_) return false;
    if (*ptr_ == 0) {
      if (limit_ - ptr_ < 2 || ptr_[1] > 1) return false;
      if (ptr_[1] == 1) {
        text->reset();
      } else {
        *text = std::string();
      }
      ptr_ += 2;
      return true;
    }
    const std::uint8_t* end = ptr_;
    while (end < limit_ && *end != 0) ++end;
    if (end >= limit_) return false;
    *text = std::string(reinterpret_cast<const char*>(ptr_), static_cast<std::size_t>(end - ptr_));
    ptr_ = end + 1;
    return true;
  }

 private:
  const std::uint8_t* ptr_;
  const std::uint8_t* limit_;
};

std::optional<std::string> TextOrAbsent(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace

TableDefinition DefinitionOf(const FileState& state) {
  TableDefinition definition;
  definition.record_size = static_cast<std::uint16_t>(state.record_size);
  for (std::size_t i = 0; i < state.layout.fields.size(); ++i) {
    const FieldInfo& info = state.layout.fields[i];
    DefinedField field;
    field.type = info.type;
    field.offset = static_cast<std::uint16_t>(info.offset);
    field.label = TextOrAbsent(info.label);
    field.element_count = static_cast<std::uint16_t>(info.element_count);
    field.size = static_cast<std::uint16_t>(info.size);
    field.overlay = info.overlay ? 1 : 0;
    field.ordinal = static_cast<std::uint16_t>(i);
    field.places = info.decimal_places;
    field.element_size = static_cast<std::uint8_t>(info.element_size);
    field.element_length = static_cast<std::uint16_t>(info.element_size);
    field.picture = TextOrAbsent(info.picture);
    definition.fields.push_back(std::move(field));
  }
  for (const MemoState& memo : state.memos) {
    DefinedMemo defined;
    if (memo.block != nullptr) {
      defined.external_name = TextOrAbsent(std::string(memo.block->external_name.View()));
      defined.flags = memo.block->flags;
    }
    defined.label = TextOrAbsent(memo.label);
    defined.size = static_cast<std::uint16_t>(memo.size);
    if (defined.flags & kBlobMemo) definition.version = 2;
    definition.memos.push_back(std::move(defined));
  }
  for (const KeyState& key : state.keys) {
    DefinedKey defined;
    if (key.block != nullptr) {
      defined.external_name = TextOrAbsent(std::string(key.block->external_name.View()));
    }
    defined.label = TextOrAbsent(key.label);
    defined.attributes = static_cast<std::uint8_t>(key.attributes);
    // A run-time index is stored as not maintained (0x20) and, when it was
    // declared without components, as such (0x40).
    if ((key.attributes & kKeyRuntimeIndex) != 0) {
      defined.attributes |= 0x20;
      if (key.components.empty()) defined.attributes |= 0x40;
    }
    for (const KeyComponentInfo& component : key.components) {
      defined.components.emplace_back(static_cast<std::uint16_t>(component.field_index),
                                      component.descending ? 1 : 0);
    }
    definition.keys.push_back(std::move(defined));
  }
  return definition;
}

std::string EncodeDefinition(const TableDefinition& definition) {
  Writer out;
  out.Word(definition.version);
  out.Word(definition.record_size);
  out.Word(static_cast<std::uint32_t>(definition.fields.size()));
  out.Word(static_cast<std::uint32_t>(definition.memos.size()));
  out.Word(static_cast<std::uint32_t>(definition.keys.size()));
  for (const DefinedField& field : definition.fields) {
    out.Byte(field.type);
    out.Word(field.offset);
    out.Text(field.label);
    out.Word(field.element_count);
    out.Word(field.size);
    out.Word(field.overlay);
    out.Word(field.ordinal);
    if (IsDecimalType(field.type)) {
      out.Byte(field.places);
      out.Byte(field.element_size);
    } else if (IsTextType(field.type)) {
      out.Word(field.element_length);
      out.Text(field.picture);
    }
  }
  for (const DefinedMemo& memo : definition.memos) {
    out.Text(memo.external_name);
    out.Text(memo.label);
    out.Word(memo.size);
    out.Word(memo.flags);
  }
  for (const DefinedKey& key : definition.keys) {
    out.Text(key.external_name);
    out.Text(key.label);
    out.Byte(key.attributes);
    out.Word(static_cast<std::uint32_t>(key.components.size()));
    for (const auto& [ordinal, descending] : key.components) {
      out.Word(ordinal);
      out.Word(descending);
    }
  }
  return out.Take();
}

bool DecodeDefinition(const std::uint8_t* ptr, const std::uint8_t* limit,
                      TableDefinition* definition) {
  Reader in(ptr, limit);
  std::uint16_t field_count = 0, memo_count = 0, key_count = 0;
  if (!in.Word(&definition->version) || !in.Word(&definition->record_size) ||
      !in.Word(&field_count) || !in.Word(&memo_count) || !in.Word(&key_count)) {
    return false;
  }
  definition->fields.clear();
  definition->memos.clear();
  definition->keys.clear();
  for (std::uint16_t i = 0; i < field_count; ++i) {
    DefinedField field;
    if (!in.Byte(&field.type) || !in.Word(&field.offset) || !in.Text(&field.label) ||
        !in.Word(&field.element_count) || !in.Word(&field.size) || !in.Word(&field.overlay) ||
        !in.Word(&field.ordinal)) {
      return false;
    }
    if (IsDecimalType(field.type)) {
      if (!in.Byte(&field.places) || !in.Byte(&field.element_size)) return false;
    } else if (IsTextType(field.type)) {
      if (!in.Word(&field.element_length) || !in.Text(&field.picture)) return false;
    }
    definition->fields.push_back(std::move(field));
  }
  for (std::uint16_t i = 0; i < memo_count; ++i) {
    DefinedMemo memo;
    if (!in.Text(&memo.external_name) || !in.Text(&memo.label) || !in.Word(&memo.size) ||
        !in.Word(&memo.flags)) {
      return false;
    }
    definition->memos.push_back(std::move(memo));
  }
  for (std::uint16_t i = 0; i < key_count; ++i) {
    DefinedKey key;
    std::uint16_t components = 0;
    if (!in.Text(&key.external_name) || !in.Text(&key.label) || !in.Byte(&key.attributes) ||
        !in.Word(&components)) {
      return false;
    }
    for (std::uint16_t c = 0; c < components; ++c) {
      std::uint16_t ordinal = 0, descending = 0;
      if (!in.Word(&ordinal) || !in.Word(&descending)) return false;
      key.components.emplace_back(ordinal, descending);
    }
    definition->keys.push_back(std::move(key));
  }
  return true;
}

bool DefinitionsMatch(const TableDefinition& stored, const TableDefinition& declared) {
  if (stored.version != declared.version || stored.record_size != declared.record_size ||
      stored.fields.size() != declared.fields.size() ||
      stored.memos.size() != declared.memos.size() || stored.keys.size() != declared.keys.size()) {
    return false;
  }
  for (std::size_t i = 0; i < stored.fields.size(); ++i) {
    const DefinedField& a = stored.fields[i];
    const DefinedField& b = declared.fields[i];
    if (a.type != b.type || a.offset != b.offset || a.element_count != b.element_count ||
        a.size != b.size || a.overlay != b.overlay || a.ordinal != b.ordinal) {
      return false;
    }
    if (IsTextType(a.type) && a.element_length != b.element_length) return false;
  }
  for (std::size_t i = 0; i < stored.memos.size(); ++i) {
    if (stored.memos[i].size != declared.memos[i].size) return false;
  }
  for (std::size_t i = 0; i < stored.keys.size(); ++i) {
    const DefinedKey& a = stored.keys[i];
    const DefinedKey& b = declared.keys[i];
    if ((a.attributes & ~0x10) != (b.attributes & ~0x10) || a.components != b.components) {
      return false;
    }
  }
  return true;
}

}  // namespace vaultrix::files::hvn
