// Parsing and editing INI text (syntax in ini_file.h).
#include "runtime/support/ini_file.h"

#include <algorithm>

#include "runtime/support/ascii_text.h"

namespace vaultrix::support {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool SameName(std::string_view a, std::string_view b) {
  return EqualIgnoringAsciiCase(TrimBlanks(a), TrimBlanks(b));
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

bool IsValidIniSectionName(std::string_view section) {
  section = TrimBlanks(section);
  return !section.empty() && !HasLineBreakOrNul(section) &&
         section.find(']') == std::string_view::npos;
}

bool IsValidIniKeyName(std::string_view key) {
  key = TrimBlanks(key);
  return !key.empty() && !HasLineBreakOrNul(key) && key.find('=') == std::string_view::npos &&
         key.front() != '[' && key.front() != ';';
}

bool IsValidIniValue(std::string_view value) { return !HasLineBreakOrNul(value); }

IniDocument::Line IniDocument::ParseLine(std::string text, bool first_line) {
  Line line;
  std::string_view view = text;
  if (first_line && view.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    view.remove_prefix(kByteOrderMark.size());
  }
  view = TrimBlanks(view);
  if (!view.empty() && view.front() == '[') {
    std::string_view name = view.substr(1);
    name = name.substr(0, name.find(']'));
    line.kind = LineKind::kSection;
    line.name = TrimBlanks(name);
  } else if (!view.empty() && view.front() != ';') {
    std::size_t equals = view.find('=');
    if (equals != std::string_view::npos && !TrimBlanks(view.substr(0, equals)).empty()) {
      line.kind = LineKind::kKey;
      line.name = TrimBlanks(view.substr(0, equals));
      line.value = TrimBlanks(view.substr(equals + 1));
    }
  }
  line.text = std::move(text);
  return line;
}

IniDocument IniDocument::Parse(const char* data, std::size_t size) {
  IniDocument document;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < size) {
    char c = data[i];
    if (c != '\n' && c != '\r') {
      ++i;
      continue;
    }
    document.lines_.push_back(ParseLine(std::string(data + start, i - start), start == 0));
    i += (c == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
    start = i;
  }
  if (start < size) {
    document.lines_.push_back(ParseLine(std::string(data + start, size - start), start == 0));
  }
  return document;
}

std::size_t IniDocument::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection && SameName(lines_[i].name, section)) return i;
  }
  return std::string::npos;
}

std::size_t IniDocument::SectionEnd(std::size_t header) const {
  std::size_t end = header + 1;
  while (end < lines_.size() && lines_[end].kind != LineKind::kSection) ++end;
  return end;
}

std::optional<std::string> IniDocument::Get(std::string_view section,
                                            std::string_view key) const {
  std::size_t header = FindSection(section);
  if (header == std::string::npos) return std::nullopt;
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == LineKind::kKey && SameName(lines_[i].name, key)) return lines_[i].value;
  }
  return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string_view clean_key = TrimBlanks(key);
  std::string_view clean_value = TrimBlanks(value);
  std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    // A new section goes at the end, set off from the text before it by an empty line.
    if (!lines_.empty() && !TrimBlanks(lines_.back().text).empty()) lines_.push_back(ParseLine("", false));
    lines_.push_back(ParseLine("[" + std::string(TrimBlanks(section)) + "]", lines_.empty()));
    lines_.push_back(ParseLine(std::string(clean_key) + "=" + std::string(clean_value), false));
    return;
  }
  std::size_t end = SectionEnd(header);
  std::size_t insert_at = header + 1;
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind != LineKind::kKey) continue;
    if (SameName(lines_[i].name, key)) {
      lines_[i] = ParseLine(lines_[i].name + "=" + std::string(clean_value), i == 0);
      return;
    }
    insert_at = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at),
                ParseLine(std::string(clean_key) + "=" + std::string(clean_value), false));
}

bool IniDocument::DeleteKey(std::string_view section, std::string_view key) {
  std::size_t header = FindSection(section);
  if (header == std::string::npos) return false;
  auto first = lines_.begin() + static_cast<std::ptrdiff_t>(header + 1);
  auto last = lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header));
  auto kept = std::remove_if(first, last, [&](const Line& line) {
    return line.kind == LineKind::kKey && SameName(line.name, key);
  });
  if (kept == last) return false;
  lines_.erase(kept, last);
  return true;
}

bool IniDocument::DeleteSection(std::string_view section) {
  bool removed = false;
  for (std::size_t header = FindSection(section); header != std::string::npos;
       header = FindSection(section)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
    removed = true;
  }
  return removed;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  std::size_t header = FindSection(section);
  if (header == std::string::npos) return keys;
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind != LineKind::kKey) continue;
    bool seen = std::any_of(keys.begin(), keys.end(),
                            [&](const std::string& k) { return SameName(k, lines_[i].name); });
    if (!seen) keys.push_back(lines_[i].name);
  }
  return keys;
}

std::vector<std::string> IniDocument::Sections() const {
  std::vector<std::string> sections;
  for (const Line& line : lines_) {
    if (line.kind != LineKind::kSection) continue;
    bool seen = std::any_of(sections.begin(), sections.end(),
                            [&](const std::string& s) { return SameName(s, line.name); });
    if (!seen) sections.push_back(line.name);
  }
  return sections;
}

std::string IniDocument::Text() const {
  std::string text;
  for (const Line& line : lines_) {
    text += line.text;
    text += '\n';
  }
  return text;
}

}  // namespace vaultrix::support
