// The comma-separated field parser.
#include "app/transfer/csv_reader.h"

#include "app/transfer/csv_line.h"
#include "app/transfer/pictures.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string_view TrimEnd(std::string_view text, std::string_view trimmed) {
  const std::size_t last = text.find_last_not_of(trimmed);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

}  // namespace

CsvReader::CsvReader(std::string_view text) : text_(text) {
  if (text_.starts_with(kByteOrderMark)) first_line_ = kByteOrderMark.size();
  Rewind();
}

CsvReader::~CsvReader() {
  WipeText(field_);
}

void CsvReader::Rewind() {
  next_line_ = first_line_;
  line_end_ = first_line_;
  position_ = kUsedUp;
  field_.clear();
  converted_ = false;
}

std::size_t CsvReader::ClosingQuote(std::size_t open) const {
  std::size_t i = open + 1;
  while (i < text_.size()) {
    const std::size_t quote = text_.find('"', i);
    if (quote == std::string_view::npos) return quote;
    if (quote + 1 < text_.size() && text_[quote + 1] == '"') {
      i = quote + 2;
      continue;
    }
    return quote;
  }
  return std::string_view::npos;
}

// Walks the line's fields as NextField will, so that a line break inside a
// quoted field does not end the line.
CsvReader::LineSpan CsvReader::ScanLine(std::size_t start) const {
  const std::size_t size = text_.size();
  auto line_end_at = [&](std::size_t feed, std::size_t field_start) {
    const std::size_t end = feed > field_start && text_[feed - 1] == '\r' ? feed - 1 : feed;
    return LineSpan{end, feed + 1};
  };
  std::size_t pos = start;
  while (pos < size) {
    if (text_[pos] == '"') {
      const std::size_t close = ClosingQuote(pos);
      if (close == std::string_view::npos || close + 1 >= size) return {size, size};
      pos = close + 1;
      if (text_[pos] == '\n') return {pos, pos + 1};
      if (text_[pos] == '\r' && pos + 1 < size && text_[pos + 1] == '\n') return {pos, pos + 2};
      ++pos;  // the separator, unchecked
      continue;
    }
    const std::size_t stop = text_.find_first_of(",\n", pos);
    if (stop == std::string_view::npos) return {size, size};
    if (text_[stop] == '\n') return line_end_at(stop, pos);
    pos = stop + 1;
  }
  return {size, size};
}

std::size_t CsvReader::NextLine() {
  field_.clear();
  converted_ = false;
  if (next_line_ >= text_.size()) {
    position_ = kUsedUp;
    return 0;
  }
  const std::size_t start = next_line_;
  const LineSpan span = ScanLine(start);
  position_ = start;
  line_end_ = span.end;
  next_line_ = span.next;
  return span.next - start;
}

FieldKind CsvReader::NextField() {
  field_.clear();
  converted_ = false;
  if (position_ == kUsedUp || position_ >= line_end_ ||
      IsBlank(text_.substr(position_, line_end_ - position_))) {
    position_ = kUsedUp;
    return FieldKind::kNone;
  }
  if (text_[position_] == '"') {
    const std::size_t close = ClosingQuote(position_);
    if (close == std::string_view::npos || close >= line_end_) {
      TakeQuoted(position_, line_end_);
      field_.resize(TrimEnd(field_, " \r\n").size());
      position_ = kUsedUp;
    } else {
      TakeQuoted(position_, close);
      position_ = close + 2;
    }
    return FieldKind::kQuoted;
  }
  const std::string_view rest = text_.substr(position_, line_end_ - position_);
  const std::size_t comma = rest.find(',');
  if (comma == std::string_view::npos) {
    TakeText(TrimEnd(rest, " "));
    position_ = kUsedUp;
  } else {
    TakeText(rest.substr(0, comma));
    position_ += comma + 1;
  }
  return FieldKind::kUnquoted;
}

// The value between the quotes: doubled quotes read as one, CR LF as LF.
void CsvReader::TakeQuoted(std::size_t open, std::size_t close) {
  std::string value;
  value.reserve(close - open);
  for (std::size_t i = open + 1; i < close; ++i) {
    const char c = text_[i];
    if (c == '"' && i + 1 < close && text_[i + 1] == '"') ++i;
    if (c == '\r' && i + 1 < close && text_[i + 1] == '\n') continue;
    value += c;
  }
  TakeText(value);
}

void CsvReader::TakeText(std::string_view text) {
  field_.assign(CutAtCharacter(text, kMaxFieldLength));
}

void AssignField(std::span<char> target, std::string_view value) {
  support::AssignFixed(target, CutAtCharacter(value, target.size()));
}

const std::string& CsvReader::FieldByPicture(std::string_view picture) {
  if (!converted_ && KindOfPicture(picture) == TransferKind::kFormatted) {
    field_ = ReadDisplayForm(field_, picture);
  }
  converted_ = true;
  return field_;
}

}  // namespace vaultrix::app
