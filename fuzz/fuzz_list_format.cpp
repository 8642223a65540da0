// Fuzz target for list format strings: arbitrary texts are parsed; every text
// that parses is written back, and the written text must parse to the same
// table and write to the same text again. Nothing may crash or leak, and a
// page of the table must format without trouble.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/windows/list_format.h"
#include "runtime/windows/list_page.h"

using vaultrix::windows::ListFormat;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  ListFormat format;
  if (!vaultrix::windows::ParseListFormat(text, text + size, &format)) {
    if (!format.columns.empty() || !format.groups.empty()) std::abort();
    return 0;
  }
  const std::string written = vaultrix::windows::WriteListFormat(format);
  ListFormat again;
  if (!vaultrix::windows::ParseListFormat(written, &again)) std::abort();
  if (!(again == format)) std::abort();
  if (vaultrix::windows::WriteListFormat(again) != written) std::abort();

  // Columns may be very wide: keep the page to the first few and one row.
  if (format.columns.size() > 16) return 0;
  for (const auto& column : format.columns) {
    if (column.width > 4000) return 0;
  }
  vaultrix::windows::LayOutListColumns(format, {});
  std::vector<std::string> fields;
  for (int i = 0; i < format.FieldCount() && i < 64; ++i) fields.push_back(std::string(text, size));
  vaultrix::windows::TableListQueue queue(std::vector<std::vector<std::string>>{fields});
  vaultrix::windows::ListPageRequest request;
  request.format = &format;
  request.visible_rows = 2;
  const auto page = vaultrix::windows::ProduceListPage(request, queue);
  (void)page;
  return 0;
}
