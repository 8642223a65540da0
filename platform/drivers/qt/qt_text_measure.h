// The text measure of the desktop driver: characters measured in the font
// that report pages are painted with (page_painter.cpp: the face by name,
// its size in pixels of the page's resolution), so that text wraps where the
// painted page has room for it.
#pragma once

#include <memory>

#include "platform/text_measure.h"

namespace vaultrix::platform::qt {

[[nodiscard]] std::shared_ptr<TextMeasure> MakeQtTextMeasure();

}  // namespace vaultrix::platform::qt
