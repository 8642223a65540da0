// Lays one band of a report out: the texts its controls show, where they
// go and how tall the band becomes. Positions and sizes are thousandths of
// an inch from the band's top left, as the report's description holds them.
//
// Strings show their text; displays show their variable through their
// picture (so "s20" cuts a longer password), or the page number when they
// have no variable (the page footer); text boxes show their variable's whole
// text, wrapped into lines of the box's width, and the band grows by the
// lines beyond the first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text_measure.h"
#include "runtime/windows/description_view.h"

namespace vaultrix::report {

// A band's font: the face, size and weight pages are painted and measured with.
using BandFont = platform::TextFont;

struct LaidText {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  std::string text;  // UTF-8, trailing blanks removed
  BandFont font;
};

struct LaidBand {
  std::vector<LaidText> texts;  // in order of y
  std::int32_t height = 0;
};

// The report's font, or the band's own when it has one.
[[nodiscard]] BandFont FontOf(const windows::WindowView& report, const windows::BandView& band);

// The height of one wrapped line of text in `font`.
[[nodiscard]] std::int32_t LineHeight(const BandFont& font);

// Splits `text` into lines that fit `width` in `font`, as the platform's
// text measure has them: at line ends, else after the last blank that fits,
// else at the last whole character that fits (one at least).
[[nodiscard]] std::vector<std::string> WrapText(std::string_view text, std::int32_t width,
                                                const BandFont& font);

[[nodiscard]] LaidBand LayOutBand(const windows::BandView& band, const BandFont& font,
                                  std::int32_t page_number);

}  // namespace vaultrix::report
