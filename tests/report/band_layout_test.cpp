// Text boxes wrap by the platform's text measure: the estimate, where every
// character is as wide as any other, and a measure with real widths.
#include <gtest/gtest.h>

#include "platform/text_measure.h"
#include "runtime/report/band_layout.h"

namespace vaultrix::report {
namespace {

// "W" ten times as wide as any other character, as a font would have it.
class WideW final : public platform::TextMeasure {
 public:
  std::int32_t CharacterWidth(const platform::TextFont&, std::string_view character) override {
    return character == "W" ? 100 : 10;
  }
};

TEST(BandLayoutTest, TextWrapsByTheInstalledMeasure) {
  struct Case {
    const char* text;
    std::int32_t width;
    std::vector<std::string> lines;
  };
  const BandFont font;  // Arial 8: the estimate takes 61 thousandths a character
  const std::int32_t estimate =
      platform::EstimatedCharacterWidth({font.face, font.points, font.weight});
  ASSERT_EQ(estimate, 61);
  // With the estimate, "W" and "i" take the same room.
  for (const Case& c : std::initializer_list<Case>{
           {"WWWW iiii", 4 * 61, {"WWWW", "iiii"}},
           {"iiiiiiii", 4 * 61 + 60, {"iiii", "iiii"}},
           {"W", 1, {"W"}},  // one character at least, however narrow the box
       }) {
    EXPECT_EQ(WrapText(c.text, c.width, font), c.lines) << c.text;
  }
  platform::InstallTextMeasure(std::make_shared<WideW>());
  for (const Case& c : std::initializer_list<Case>{
           {"WWWW iiii", 240, {"WW", "WW", "iiii"}},
           {"iiiiiiii", 250, {"iiiiiiii"}},
           {"ab W\xC3\xA9\xC3\xA9", 115, {"ab", "W\xC3\xA9", "\xC3\xA9"}},  // whole characters only
       }) {
    EXPECT_EQ(WrapText(c.text, c.width, font), c.lines) << c.text;
  }
  platform::InstallTextMeasure(nullptr);
  EXPECT_EQ(WrapText("iiiiiiii", 250, font).size(), 2u);
}

}  // namespace
}  // namespace vaultrix::report
