// How import and export treat a field by its picture. The kind of a field is
// the second character of its picture ("@s30" string, "@n10" numeric);
// every other picture (dates, times, patterns, ...) formats the value on
// export and is read back from that display form on import.
#pragma once

#include <string>
#include <string_view>

namespace vaultrix::app {

enum class TransferKind { kString, kNumeric, kFormatted };

[[nodiscard]] TransferKind KindOfPicture(std::string_view picture);

// Export of a formatted field: the value read as a number (0 when it is
// none), shown through the picture, trailing blanks cut. A picture that does
// not compile leaves the value as it is.
[[nodiscard]] std::string FormatForExport(std::string_view value, std::string_view picture);

// Import of a formatted field: the value the display text stands for, as
// plain text (a date's day number, a number's digits). A text the picture
// cannot read, or a picture that does not compile, leaves the text as it is,
// so nothing typed in the file is lost.
[[nodiscard]] std::string ReadDisplayForm(std::string_view text, std::string_view picture);

}  // namespace vaultrix::app
