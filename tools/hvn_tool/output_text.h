// Writing stored bytes as output text. Stored texts are single bytes in the
// program's character set; every byte b is shown as the character U+00bb
// (ISO 8859-1), so nothing is lost and each output is valid text of its kind.
#pragma once

#include <string>
#include <string_view>

namespace vaultrix::tools {

// UTF-8 of the bytes read as ISO 8859-1.
[[nodiscard]] std::string Latin1ToUtf8(std::string_view bytes);

// For the text format: UTF-8 with backslash, the control characters and DEL
// written as \\, \n, \r, \t and \xNN, so that every value stays on its line.
[[nodiscard]] std::string TextValue(std::string_view bytes);

// A JSON string literal, quotes included, in plain ASCII: '"' and '\' and
// every byte below 0x20 or from 0x7F escaped, the latter as \u00NN.
[[nodiscard]] std::string JsonString(std::string_view bytes);

// True when `text` is a JSON number as written.
[[nodiscard]] bool IsJsonNumber(std::string_view text);

// One CSV field: UTF-8, quoted (with quotes doubled) when it holds a comma,
// a quote, a line end or a leading or trailing blank.
[[nodiscard]] std::string CsvField(std::string_view bytes);

}  // namespace vaultrix::tools
