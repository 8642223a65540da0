// File dialog filters. Programs give them as one string of description and
// pattern pairs separated by "|" ("Export Files|*.CSV|All Files|*.*");
// Qt wants one "Description (pattern pattern)" line per filter. Patterns
// match without regard to case, as they did where the program comes from,
// so each pattern is offered in both cases.
#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <string_view>
#include <vector>

#include "platform/display_driver.h"

namespace vaultrix::platform::qt {

// Splits a "|"-separated filter string into filters. A description without
// a pattern is dropped; an empty string gives no filters.
[[nodiscard]] std::vector<FileFilter> ParseFilterString(std::string_view text);

// One Qt filter line per filter; none gives "All Files (*)".
[[nodiscard]] QStringList QtFilters(const std::vector<FileFilter>& filters);

// The 1-based index of `qt_filter` among the lines QtFilters made; 1 when
// it is not one of them.
[[nodiscard]] int FilterIndexOf(const QStringList& qt_filters, const QString& qt_filter);

// The chosen path with the default extension appended when the name has no
// extension of its own (a save dialog's rule).
[[nodiscard]] QString WithDefaultExtension(const QString& path, const QString& extension);

}  // namespace vaultrix::platform::qt
