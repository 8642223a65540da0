// Reading and writing record layout descriptors; the format is in the header.
#include "runtime/files/record_layout.h"

#include <algorithm>
#include <cstring>

#include "runtime/support/error_codes.h"

namespace vaultrix::files {
namespace {

constexpr std::int32_t kMalformed = support::kInvalidFieldTypeDescriptor;
constexpr std::uint64_t kMaxFieldBytes = 0x7FFFFFFF;

bool IsTextType(std::uint8_t type) {
  return type >= kTypeString && type <= kTypeAString;
}
bool HasDecimalSize(std::uint8_t type) {
  return type == kTypeDecimal || type == kTypePDecimal;
}

std::uint32_t ReadLittle32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void AppendLittle32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

bool ReadText(const std::uint8_t*& ptr, const std::uint8_t* limit, std::string* text) {
  const void* end = std::memchr(ptr, 0, static_cast<std::size_t>(limit - ptr));
  if (end == nullptr) return false;
  const auto* stop = static_cast<const std::uint8_t*>(end);
  text->assign(reinterpret_cast<const char*>(ptr), static_cast<std::size_t>(stop - ptr));
  ptr = stop + 1;
  return true;
}

void AppendText(std::vector<std::uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

// An open group while parsing: the record itself at the bottom.
struct OpenGroup {
  std::uint32_t remaining;     // entries still to come inside it
  const std::uint8_t* end;     // where its entries end
  std::uint32_t base;          // its offset in the record
  std::uint32_t element_size;  // room for its fields
  std::uint32_t running = 0;   // offset of the next field placed in order
  bool overlay = false;
  int field_index = -1;
};

// Reads the type-dependent size part and the texts of one entry.
bool ReadEntryBody(const std::uint8_t*& p, const std::uint8_t* limit, FieldInfo& field,
                   std::uint32_t* group_entries, std::uint32_t* group_length) {
  const std::uint8_t type = field.type;
  const std::uint8_t flags = field.flags;
  if ((flags & kFieldPicture) != 0 && !IsTextType(type)) return false;
  if (HasDecimalSize(type)) {
    if (limit - p < 2) return false;
    field.size = p[0];
    field.decimal_places = p[1];
    p += 2;
  } else if (IsTextType(type)) {
    if (!ReadCompactInteger(p, limit, &field.size)) return false;
    if ((flags & kFieldPicture) != 0 && !ReadText(p, limit, &field.picture)) return false;
  } else if (type == kTypeGroup) {
    if (limit - p < 12) return false;
    field.size = ReadLittle32(p);
    *group_entries = ReadLittle32(p + 4);
    *group_length = ReadLittle32(p + 8);
    p += 12;
  } else if (type == kTypeSizedByte) {
    if (limit - p < 1) return false;
    field.size = *p++;
  }
  if ((flags & kFieldLabel) != 0 && !ReadText(p, limit, &field.label)) return false;
  if ((flags & kFieldExternalName) != 0 && !ReadText(p, limit, &field.external_name)) return false;
  return true;
}

// Reads the offset and dimensions; fixes size, element count and element size.
bool ReadEntryPlacement(const std::uint8_t*& p, const std::uint8_t* limit, FieldInfo& field,
                        bool* has_offset, std::uint32_t* offset) {
  *has_offset = (field.flags & kFieldOffset) != 0;
  if (*has_offset && !ReadCompactInteger(p, limit, offset)) return false;
  std::uint64_t count = 1;
  if ((field.flags & kFieldDimensions) != 0) {
    if (limit - p < 1) return false;
    const std::uint8_t dimension_count = *p++;
    if (dimension_count == 0) return false;
    for (std::uint8_t i = 0; i < dimension_count; ++i) {
      std::uint32_t dimension = 0;
      if (!ReadCompactInteger(p, limit, &dimension) || dimension == 0) return false;
      count *= dimension;
      if (count > kMaxFieldBytes) return false;
      field.dimensions.push_back(dimension);
    }
  }
  field.element_count = static_cast<std::uint32_t>(count);
  const std::uint32_t fixed = FixedTypeSize(field.type);
  if (fixed != 0) {
    const std::uint64_t size = static_cast<std::uint64_t>(fixed) * count;
    if (size > kMaxFieldBytes) return false;
    field.size = static_cast<std::uint32_t>(size);
  }
  if (field.size % field.element_count != 0) return false;
  field.element_size = field.size / field.element_count;
  if (field.type == kTypeDecimal || field.type == kTypePDecimal) {
    if (field.element_size > 0) {
      field.digits =
          static_cast<std::uint8_t>(std::min<std::uint32_t>(field.element_size * 2 - 1, 255));
    }
  }
  return true;
}

}  // namespace

std::uint32_t FixedTypeSize(std::uint8_t type) {
  switch (type) {
    case kTypeByte:
      return 1;
    case kTypeShort:
    case kTypeUShort:
      return 2;
    case kTypeDate:
    case kTypeTime:
    case kTypeLong:
    case kTypeULong:
    case kTypeSReal:
      return 4;
    case kTypeReal:
      return 8;
    default:
      return 0;
  }
}

bool ReadCompactInteger(const std::uint8_t*& ptr, const std::uint8_t* limit, std::uint32_t* value) {
  if (ptr >= limit) return false;
  const std::uint8_t first = *ptr;
  const int more = (first >> 5) & 3;
  if (limit - ptr < 1 + more) return false;
  std::uint32_t result = first & 0x1F;
  for (int i = 1; i <= more; ++i) result = result * 256 + ptr[i];
  ptr += 1 + more;
  *value = result;
  return true;
}

void AppendCompactInteger(std::vector<std::uint8_t>& out, std::uint32_t value) {
  value = std::min(value, kMaxCompactInteger);
  int more = 0;
  while (more < 3 && (value >> (8 * more)) > 0x1F) ++more;
  out.push_back(static_cast<std::uint8_t>((more << 5) | (value >> (8 * more))));
  for (int i = more - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::int32_t ParseRecordLayout(const std::uint8_t* ptr, const std::uint8_t* limit,
                               RecordLayout* layout) {
  *layout = RecordLayout();
  if (ptr == nullptr || limit < ptr ||
      limit - ptr < static_cast<std::ptrdiff_t>(kLayoutHeaderSize)) {
    return kMalformed;
  }
  if (ptr[0] != kTypeGroup) return kMalformed;
  const std::uint32_t record_size = ReadLittle32(ptr + 2);
  const std::uint32_t total_entries = ReadLittle32(ptr + 6);
  const std::uint32_t length = ReadLittle32(ptr + 10);
  if (length < kLayoutHeaderSize || length > static_cast<std::uint64_t>(limit - ptr))
    return kMalformed;
  // Every entry takes at least two bytes: a count beyond that is a lie.
  if (total_entries > (length - kLayoutHeaderSize) / 2) return kMalformed;
  limit = ptr + length;
  layout->record_size = record_size;
  layout->descriptor_length = length;
  layout->fields.reserve(total_entries);

  std::vector<OpenGroup> open;
  open.push_back({total_entries, limit, 0, record_size});
  const std::uint8_t* p = ptr + kLayoutHeaderSize;
  for (std::uint32_t n = 0; n < total_entries; ++n) {
    while (open.back().remaining == 0) {
      if (open.back().end != p) return kMalformed;
      open.pop_back();
    }
    const std::uint8_t* entry_start = p;
    if (limit - p < 2) return kMalformed;
    FieldInfo field;
    field.type = p[0];
    field.flags = p[1];
    p += 2;
    if ((field.flags & ~0x1F) != 0) return kMalformed;
    std::uint32_t group_entries = 0;
    std::uint32_t group_length = 0;
    bool has_offset = false;
    std::uint32_t offset_in_group = 0;
    if (!ReadEntryBody(p, limit, field, &group_entries, &group_length)) return kMalformed;
    if (!ReadEntryPlacement(p, limit, field, &has_offset, &offset_in_group)) return kMalformed;
    for (OpenGroup& group : open) {
      if (group.remaining == 0) return kMalformed;
      --group.remaining;
    }

    OpenGroup& parent = open.back();
    if (!has_offset) offset_in_group = parent.running;
    if (static_cast<std::uint64_t>(offset_in_group) + field.size > parent.element_size) {
      return kMalformed;
    }
    field.offset = parent.base + offset_in_group;
    field.depth = static_cast<int>(open.size());
    field.parent = parent.field_index;
    field.overlay = parent.overlay;
    if (!layout->fields.empty()) {
      const FieldInfo& previous = layout->fields.back();
      if (previous.depth >= field.depth && field.offset <= previous.offset) field.overlay = true;
    }
    parent.running = std::max(parent.running, offset_in_group + field.size);

    if (field.type == kTypeGroup) {
      if (open.size() > static_cast<std::size_t>(kMaxGroupDepth)) return kMalformed;
      if (group_length < static_cast<std::uint32_t>(p - entry_start) ||
          group_length > static_cast<std::uint64_t>(limit - entry_start)) {
        return kMalformed;
      }
      field.entry_count = group_entries;
      field.descriptor_length = group_length;
      OpenGroup group{group_entries, entry_start + group_length, field.offset, field.element_size};
      group.overlay = field.overlay;
      group.field_index = static_cast<int>(layout->fields.size());
      layout->fields.push_back(std::move(field));
      open.push_back(group);
    } else {
      layout->fields.push_back(std::move(field));
    }
  }
  while (!open.empty()) {
    if (open.back().remaining != 0 || open.back().end != p) return kMalformed;
    open.pop_back();
  }
  return support::kNoError;
}

std::uint32_t DeclaredFieldSize(const FieldDeclaration& field) {
  std::uint64_t element = field.size;
  if (field.type == kTypeGroup && element == 0) {
    std::uint64_t running = 0;
    for (const FieldDeclaration& inner : field.fields) {
      const std::uint64_t at = inner.has_offset ? inner.offset : running;
      running = std::max(running, at + DeclaredFieldSize(inner));
      element = std::max(element, running);
    }
  } else if (element == 0) {
    element = FixedTypeSize(field.type);
  }
  std::uint64_t count = 1;
  for (std::uint32_t dimension : field.dimensions) count *= dimension;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(element * count, kMaxFieldBytes));
}

namespace {

std::uint32_t WriteField(const FieldDeclaration& field, std::vector<std::uint8_t>& out) {
  const bool text = IsTextType(field.type);
  std::uint8_t flags = 0;
  if (!field.external_name.empty()) flags |= kFieldExternalName;
  if (!field.label.empty()) flags |= kFieldLabel;
  if (text && !field.picture.empty()) flags |= kFieldPicture;
  if (field.has_offset) flags |= kFieldOffset;
  if (!field.dimensions.empty()) flags |= kFieldDimensions;
  out.push_back(field.type);
  out.push_back(flags);
  const std::uint32_t size = DeclaredFieldSize(field);
  std::uint32_t entries = 1;
  if (HasDecimalSize(field.type)) {
    out.push_back(static_cast<std::uint8_t>(size));
    out.push_back(field.decimal_places);
  } else if (text) {
    AppendCompactInteger(out, size);
    if ((flags & kFieldPicture) != 0) AppendText(out, field.picture);
  } else if (field.type == kTypeSizedByte) {
    out.push_back(static_cast<std::uint8_t>(size));
  }
  std::vector<std::uint8_t> tail;
  if ((flags & kFieldLabel) != 0) AppendText(tail, field.label);
  if ((flags & kFieldExternalName) != 0) AppendText(tail, field.external_name);
  if (field.has_offset) AppendCompactInteger(tail, field.offset);
  if (!field.dimensions.empty()) {
    tail.push_back(static_cast<std::uint8_t>(field.dimensions.size()));
    for (std::uint32_t dimension : field.dimensions) AppendCompactInteger(tail, dimension);
  }
  if (field.type == kTypeGroup) {
    std::vector<std::uint8_t> inner;
    std::uint32_t inner_entries = 0;
    for (const FieldDeclaration& child : field.fields) inner_entries += WriteField(child, inner);
    const auto length = static_cast<std::uint32_t>(2 + 12 + tail.size() + inner.size());
    AppendLittle32(out, size);
    AppendLittle32(out, inner_entries);
    AppendLittle32(out, length);
    out.insert(out.end(), tail.begin(), tail.end());
    out.insert(out.end(), inner.begin(), inner.end());
    entries += inner_entries;
  } else {
    out.insert(out.end(), tail.begin(), tail.end());
  }
  return entries;
}

}  // namespace

std::vector<std::uint8_t> WriteRecordLayout(const std::vector<FieldDeclaration>& fields) {
  FieldDeclaration record;
  record.type = kTypeGroup;
  record.fields = fields;
  std::vector<std::uint8_t> body;
  std::uint32_t entries = 0;
  for (const FieldDeclaration& field : fields) entries += WriteField(field, body);
  std::vector<std::uint8_t> out;
  out.push_back(kTypeGroup);
  out.push_back(0);
  AppendLittle32(out, DeclaredFieldSize(record));
  AppendLittle32(out, entries);
  AppendLittle32(out, static_cast<std::uint32_t>(kLayoutHeaderSize + body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace vaultrix::files
