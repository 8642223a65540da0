#include "runtime/report/band_layout.h"

#include <algorithm>
#include <memory>

#include "platform/text_measure.h"

#include "runtime/windows/picture.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/use_variable.h"

namespace vaultrix::report {
namespace {

std::size_t Utf8Length(unsigned char lead) {
  return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// A picture cuts text by bytes; a character cut in half at the end goes.
std::string WholeCharacters(std::string text) {
  std::size_t lead = text.size();
  while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) --lead;
  if (lead == 0) return text;
  const auto first = static_cast<unsigned char>(text[lead - 1]);
  if (first >= 0xC0 && Utf8Length(first) > text.size() - lead + 1) text.resize(lead - 1);
  return text;
}

std::string TrimRight(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string VariableText(const windows::ControlView& control) {
  windows::ControlObject object;
  object.use_address = control.use_address;
  object.use_type = control.use.type;
  object.use_size = control.use.size;
  return windows::UseText(object);
}

std::string DisplayText(const windows::ControlView& control, std::int32_t page_number) {
  windows::Picture picture;
  const bool has_picture = windows::CompilePicture(control.picture, picture);
  if (control.use_address == nullptr) {
    if (!has_picture) return std::to_string(page_number);
    return windows::FormatValue(windows::PictureValue::Long(page_number), picture).str();
  }
  windows::ControlObject object;
  object.use_address = control.use_address;
  object.use_type = control.use.type;
  object.use_size = control.use.size;
  if (!has_picture) return windows::UseText(object);
  if (windows::IsNumericUse(object)) {
    return windows::FormatValue(windows::PictureValue::Long(windows::UseNumber(object)), picture).str();
  }
  const std::string text = windows::UseText(object);
  return WholeCharacters(windows::FormatValue(windows::PictureValue::Text(text), picture).str());
}

}  // namespace

BandFont FontOf(const windows::WindowView& report, const windows::BandView& band) {
  BandFont font;
  const windows::FontView* source =
      band.has_font ? &band.font : report.has_font ? &report.font : nullptr;
  if (source == nullptr) return font;
  if (!source->face.empty()) font.face = std::string(source->face);
  if (source->points > 0) font.points = static_cast<std::int32_t>(source->points);
  if (source->weight > 0) font.weight = source->weight;
  return font;
}

std::int32_t LineHeight(const BandFont& font) { return (font.points * 1000 * 6 / 5 + 71) / 72; }

std::vector<std::string> WrapText(std::string_view text, std::int32_t width, const BandFont& font) {
  const std::shared_ptr<platform::TextMeasure> measure = platform::CurrentTextMeasure();
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t line_end = std::min(text.find('\n', start), text.size());
    std::string_view rest = text.substr(start, line_end - start);
    do {
      // Walk whole characters up to the line's room (one at least),
      // remembering the last blank.
      std::size_t at = 0, last_blank = std::string_view::npos;
      std::int32_t used = 0;
      while (at < rest.size()) {
        const std::size_t length = Utf8Length(static_cast<unsigned char>(rest[at]));
        const std::int32_t advance = measure->CharacterWidth(font, rest.substr(at, length));
        if (at > 0 && used + advance > width) break;
        if (rest[at] == ' ') last_blank = at;
        used += advance;
        at += length;
      }
      at = std::min(at, rest.size());
      std::size_t cut = at, next = at;
      if (at < rest.size() && rest[at] != ' ' && last_blank != std::string_view::npos && last_blank > 0) {
        cut = last_blank;
        next = last_blank + 1;
      } else if (at < rest.size() && rest[at] == ' ') {
        next = at + 1;
      }
      lines.push_back(TrimRight(std::string(rest.substr(0, cut))));
      rest.remove_prefix(next);
    } while (!rest.empty());
    start = line_end + 1;
  }
  while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}

LaidBand LayOutBand(const windows::BandView& band, const BandFont& font, std::int32_t page_number) {
  LaidBand laid;
  std::int32_t growth = 0;
  for (const windows::ControlView& control : band.controls) {
    const windows::Position& at = control.at;
    switch (control.type) {
      case windows::rsc::kString:
      case windows::rsc::kPrompt:
        laid.texts.push_back({at.x, at.y, at.width, at.height, TrimRight(std::string(control.text)), font});
        break;
      case windows::rsc::kValueString:
        laid.texts.push_back(
            {at.x, at.y, at.width, at.height, TrimRight(DisplayText(control, page_number)), font});
        break;
      case windows::rsc::kTextBox: {
        const std::int32_t line_height = LineHeight(font);
        const auto lines = WrapText(VariableText(control), at.width, font);
        for (std::size_t i = 0; i < lines.size(); ++i) {
          const std::int32_t y = at.y + static_cast<std::int32_t>(i) * line_height;
          laid.texts.push_back({at.x, y, at.width, std::max(line_height, i == 0 ? at.height : 0),
                                lines[i], font});
        }
        const auto extra = static_cast<std::int32_t>(lines.size() - 1) * line_height;
        growth = std::max(growth, extra);
        break;
      }
      default: break;
    }
  }
  std::stable_sort(laid.texts.begin(), laid.texts.end(),
                   [](const LaidText& a, const LaidText& b) { return a.y < b.y; });
  laid.height = band.at.height + growth;
  return laid;
}

}  // namespace vaultrix::report
