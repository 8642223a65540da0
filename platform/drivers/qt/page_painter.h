// Paints recorded pages with Qt: onto a pixmap for image controls that show
// a report page file, and onto a printer for printing.
#pragma once

#include <QtGui/QPainter>
#include <QtGui/QPixmap>

#include <cstdint>
#include <span>
#include <string>

namespace vaultrix::platform::qt {

// Plays `metafile` onto `painter`, its logical window mapped onto `target`
// (in the painter's device coordinates).
void PaintMetafile(QPainter& painter, std::span<const std::uint8_t> metafile, const QRect& target);

// The page file at `path` drawn on white at `size`, or a null pixmap when the
// file is no page file.
[[nodiscard]] QPixmap PageFilePixmap(const std::string& path, const QSize& size);

}  // namespace vaultrix::platform::qt
