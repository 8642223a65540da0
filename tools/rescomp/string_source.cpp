#include "tools/rescomp/string_source.h"

#include <cstdio>
#include <limits>

namespace vaultrix::rescomp {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsControl(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

// Reads one entry line; on failure returns false and sets `message`.
bool ReadEntryLine(std::string_view line, StringEntry* entry, std::string* message) {
  std::size_t at = 0;
  bool negative = false;
  if (at < line.size() && line[at] == '-') {
    negative = true;
    ++at;
  }
  std::size_t digits_start = at;
  std::int64_t value = 0;
  while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
    value = value * 10 + (line[at] - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
      *message = "id out of range";
      return false;
    }
    ++at;
  }
  if (at == digits_start) {
    *message = "expected an id";
    return false;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) {
    *message = "id out of range";
    return false;
  }
  entry->id = static_cast<std::int32_t>(value);

  std::size_t blanks_start = at;
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at == blanks_start || at == line.size() || line[at] != '"') {
    *message = "expected blanks and a quoted text after the id";
    return false;
  }
  ++at;
  entry->text.clear();
  for (;;) {
    if (at == line.size()) {
      *message = "text without its closing quote";
      return false;
    }
    char c = line[at++];
    if (c == '"') break;
    if (IsControl(c)) {
      *message = "control character in a text";
      return false;
    }
    if (c == '\\') {
      if (at == line.size() || (line[at] != '"' && line[at] != '\\')) {
        *message = "unknown escape (only \\\" and \\\\ are allowed)";
        return false;
      }
      c = line[at++];
    }
    entry->text += c;
  }
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at != line.size()) {
    *message = "unexpected characters after the text";
    return false;
  }
  if (entry->text.size() > kMaxStringTextLength) {
    *message = "text longer than 65535 bytes";
    return false;
  }
  return true;
}

void PutLittleEndian(std::vector<std::uint8_t>* out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t GetLittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value |= std::uint32_t{bytes[at + i]} << (8 * i);
  return value;
}

// A C++ string literal for `text`: printable ASCII as it is (with `"`, `\`
// and `?` escaped), every other byte as a three-digit octal escape.
std::string Literal(const std::string& text) {
  std::string out = "\"";
  char octal[8];
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\' || c == '?') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      std::snprintf(octal, sizeof octal, "\\%03o", byte);
      out += octal;
    }
  }
  return out + "\"";
}

}  // namespace

bool ReadStringSource(std::string_view source, std::vector<StringEntry>* entries,
                      SourceError* error) {
  entries->clear();
  int line_number = 0;
  while (!source.empty()) {
    ++line_number;
    std::size_t end = source.find('\n');
    std::string_view line = source.substr(0, end);
    source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);

    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first == line.size() || line[first] == '#') continue;

    StringEntry entry;
    std::string message;
    if (!ReadEntryLine(line.substr(first), &entry, &message)) {
      *error = SourceError{line_number, message};
      return false;
    }
    if (!entries->empty() && entry.id <= entries->back().id) {
      *error = SourceError{line_number, entry.id == entries->back().id
                                            ? "id " + std::to_string(entry.id) + " given twice"
                                            : "ids must increase from line to line"};
      return false;
    }
    entries->push_back(std::move(entry));
  }
  return true;
}

std::vector<std::uint8_t> EncodeStringResource(const std::vector<StringEntry>& entries) {
  std::vector<std::uint8_t> out;
  PutLittleEndian(&out, static_cast<std::uint32_t>(entries.size()), 4);
  for (const StringEntry& entry : entries) {
    PutLittleEndian(&out, static_cast<std::uint32_t>(entry.id), 4);
    PutLittleEndian(&out, static_cast<std::uint32_t>(entry.text.size()), 2);
    out.insert(out.end(), entry.text.begin(), entry.text.end());
  }
  return out;
}

bool DecodeStringResource(std::span<const std::uint8_t> bytes,
                          std::vector<StringEntry>* entries) {
  entries->clear();
  if (bytes.size() < 4) return false;
  std::uint32_t count = GetLittleEndian(bytes, 0, 4);
  std::size_t at = 4;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - at < 6) return false;
    StringEntry entry;
    entry.id = static_cast<std::int32_t>(GetLittleEndian(bytes, at, 4));
    std::size_t length = GetLittleEndian(bytes, at + 4, 2);
    at += 6;
    if (bytes.size() - at < length) return false;
    if (!entries->empty() && entry.id <= entries->back().id) return false;
    entry.text.assign(reinterpret_cast<const char*>(bytes.data() + at), length);
    at += length;
    entries->push_back(std::move(entry));
  }
  return at == bytes.size();
}

std::string WriteStringTableSource(const std::vector<StringEntry>& entries) {
  std::string out =
      "// Generated by rescomp from resources/strings.txt: the string table's entries.\n"
      "#include \"runtime/support/string_table.h\"\n\n"
      "namespace vaultrix::support {\n";
  if (entries.empty()) {
    return out + "\nstd::span<const StringTableEntry> StringTableEntries() { return {}; }\n\n" +
           "}  // namespace vaultrix::support\n";
  }
  out += "namespace {\n\nconstexpr StringTableEntry kEntries[] = {\n";
  for (const StringEntry& entry : entries) {
    out += "    {" + std::to_string(entry.id) + ", std::string_view(" + Literal(entry.text) +
           ", " + std::to_string(entry.text.size()) + ")},\n";
  }
  out +=
      "};\n\n}  // namespace\n\n"
      "std::span<const StringTableEntry> StringTableEntries() { return kEntries; }\n\n"
      "}  // namespace vaultrix::support\n";
  return out;
}

}  // namespace vaultrix::rescomp
