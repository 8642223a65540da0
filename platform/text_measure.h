// How wide text is on a page, for laying report text out in its boxes.
// The desktop driver installs a measure taken from the fonts it draws pages
// with; without one (the headless driver, tools) a character is estimated
// at 0.55 of the font's size, an average for proportional faces, and the
// clip rectangle keeps an unusually wide line inside its box.
//
// Threads: the measure is installed by the driver's thread and used by
// runtime threads; a user keeps the measure it took alive by its pointer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vaultrix::platform {

struct TextFont {
  std::string face = "Arial";
  std::int32_t points = 8;
  std::int32_t weight = 400;
};

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // The advance of one character (its UTF-8 bytes) in `font`, in
  // thousandths of an inch; at least 1.
  [[nodiscard]] virtual std::int32_t CharacterWidth(const TextFont& font,
                                                    std::string_view character) = 0;
};

// The estimate: every character 0.55 of the font's size wide.
[[nodiscard]] std::int32_t EstimatedCharacterWidth(const TextFont& font);

// Installs `measure`; null returns to the estimate.
void InstallTextMeasure(std::shared_ptr<TextMeasure> measure);
// The installed measure, or the estimate; never null.
[[nodiscard]] std::shared_ptr<TextMeasure> CurrentTextMeasure();

}  // namespace vaultrix::platform
