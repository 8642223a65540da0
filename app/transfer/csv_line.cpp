// The export line builder.
#include "app/transfer/csv_line.h"

#include <string.h>

#include "app/transfer/pictures.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {
namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string HeaderName(std::string_view value) {
  std::string name(value);
  if (name.find('[') == std::string::npos) return name;
  for (char& c : name) {
    if (c == ',' || c == '[') c = '_';
    if (c == ']') c = ' ';
  }
  return name;
}

// A bare value that would read back as more than one field, or as a quoted
// one, is written quoted instead, so that a numeric picture on a text field
// cannot cut the record apart.
bool NeedsQuotes(std::string_view text) {
  return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

std::string_view TrimLeadingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

}  // namespace

std::string_view CutAtCharacter(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t end = max_bytes;
  while (end > 0 && IsContinuationByte(text[end])) --end;
  return text.substr(0, end);
}

void WipeText(std::string& text) {
  explicit_bzero(text.data(), text.size());
  text.clear();
}

void LineBuilder::Clear() {
  WipeText(line_);
  fields_ = 0;
}

void LineBuilder::Add(std::string_view value, std::string_view picture, bool header) {
  if (fields_++ > 0) Append(",");
  switch (KindOfPicture(picture)) {
    case TransferKind::kString:
      if (header) {
        AppendQuoted(HeaderName(value));
      } else {
        AppendQuoted(value);
      }
      return;
    case TransferKind::kNumeric: {
      const std::string_view number = support::CLIP(TrimLeadingBlanks(value));
      if (NeedsQuotes(number)) {
        AppendQuoted(number);
      } else {
        Append(number);
      }
      return;
    }
    case TransferKind::kFormatted:
      AppendQuoted(FormatForExport(value, picture));
      return;
  }
}

void LineBuilder::AppendQuoted(std::string_view value) {
  std::string quoted = "\"";
  for (char c : support::CLIP(value)) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  quoted += '"';
  Append(quoted);
}

void LineBuilder::Append(std::string_view text) {
  line_ += CutAtCharacter(text, kMaxLineLength - line_.size());
}

}  // namespace vaultrix::app
