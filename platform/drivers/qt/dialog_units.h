// Dialog units of a window's font. A horizontal dialog unit is a quarter of
// the font's average character width, a vertical one an eighth of its
// height; both are measured on the font really used, so a window keeps its
// proportions when its face is missing and a fallback stands in for it.
#pragma once

#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QFont>

#include "platform/window_system.h"

namespace vaultrix::platform::qt {

// A font as a window description names it.
struct FontSpec {
  std::string face = "MS Sans Serif";
  int points = 8;
  int weight = -1;  // -1 default, 400 normal, 700 bold
};

// The font to show `spec` with: the face itself when installed, else the
// first installed face of a list of faces with close metrics, else the
// desktop's sans-serif face.
[[nodiscard]] QFont ChooseFont(const FontSpec& spec);

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  // Base units in pixels: average character width and character height.
  [[nodiscard]] int BaseWidth() const { return base_width_; }
  [[nodiscard]] int BaseHeight() const { return base_height_; }
  [[nodiscard]] int ToPixelsX(int units) const;
  [[nodiscard]] int ToPixelsY(int units) const;
  [[nodiscard]] int ToUnitsX(int pixels) const;
  [[nodiscard]] int ToUnitsY(int pixels) const;
  [[nodiscard]] QRect ToPixels(const Rect& rect) const;
  [[nodiscard]] Rect ToUnits(const QRect& rect) const;

 private:
  int base_width_ = 8;
  int base_height_ = 16;
};

}  // namespace vaultrix::platform::qt
