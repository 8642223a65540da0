// Fuzz target for the import's field parser: arbitrary bytes are read line by
// line and field by field. Nothing may crash or read past the text; the lines
// must take every byte of the file exactly once; no field may exceed its
// limit; and every field that export can write (no trailing blank, no
// carriage return) must read back whole from the line export builds of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/transfer/csv_line.h"
#include "app/transfer/csv_reader.h"

using vaultrix::app::CsvReader;
using vaultrix::app::FieldKind;

namespace {

void CheckRoundTrip(const std::string& value) {
  if ((!value.empty() && value.back() == ' ') || value.find('\r') != std::string::npos) return;
  vaultrix::app::LineBuilder line;
  line.Add(value, "@s2000");
  const std::string text(line.Text());
  CsvReader again(text);
  if (again.NextLine() != text.size()) std::abort();
  if (again.NextField() != FieldKind::kQuoted || again.Field() != value) std::abort();
  if (again.NextField() != FieldKind::kNone) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CsvReader reader(text);
  std::size_t taken = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (const std::size_t bytes = reader.NextLine()) {
    taken += bytes;
    if (taken > size) std::abort();
    for (FieldKind kind = reader.NextField(); kind != FieldKind::kNone; kind = reader.NextField()) {
      if (reader.Field().size() > vaultrix::app::kMaxFieldLength) std::abort();
      if (reader.Field().size() < vaultrix::app::kMaxFieldLength) CheckRoundTrip(reader.Field());
      (void)reader.FieldByPicture("@d2");
    }
  }
  if (taken != size || reader.BytesRead() != size) std::abort();
  return 0;
}
