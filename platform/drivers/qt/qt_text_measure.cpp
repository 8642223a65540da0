#include "platform/drivers/qt/qt_text_measure.h"

#include <QtGui/QFont>
#include <QtGui/QFontMetricsF>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

namespace vaultrix::platform::qt {
namespace {

// A font at a size of one em per thousandth of an inch of its height: its
// advances in pixels are thousandths of an inch. Measured once per font and
// character; report texts are mostly ASCII, which is kept in a table.
struct MeasuredFont {
  explicit MeasuredFont(const TextFont& text_font) : metrics(FontOf(text_font)) { ascii.fill(0); }

  static QFont FontOf(const TextFont& text_font) {
    QFont font(QString::fromStdString(text_font.face));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(text_font.points * 1000.0 / 72))));
    font.setWeight(text_font.weight >= 600 ? QFont::Bold : QFont::Normal);
    return font;
  }

  std::int32_t Width(std::string_view character) {
    const bool is_ascii = character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80;
    if (is_ascii && ascii[static_cast<unsigned char>(character[0])] != 0) {
      return ascii[static_cast<unsigned char>(character[0])];
    }
    const QString text =
        QString::fromUtf8(character.data(), static_cast<qsizetype>(character.size()));
    const auto width = std::max<std::int32_t>(
        1, static_cast<std::int32_t>(std::lround(metrics.horizontalAdvance(text))));
    if (is_ascii) ascii[static_cast<unsigned char>(character[0])] = width;
    return width;
  }

  QFontMetricsF metrics;
  std::array<std::int32_t, 128> ascii{};
};

class QtTextMeasure final : public TextMeasure {
 public:
  std::int32_t CharacterWidth(const TextFont& font, std::string_view character) override {
    std::lock_guard lock(mutex_);
    auto key = std::make_tuple(font.face, font.points, font.weight >= 600);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) it = fonts_.emplace(std::move(key), MeasuredFont(font)).first;
    return it->second.Width(character);
  }

 private:
  std::mutex mutex_;
  std::map<std::tuple<std::string, std::int32_t, bool>, MeasuredFont> fonts_;
};

}  // namespace

std::shared_ptr<TextMeasure> MakeQtTextMeasure() {
  return std::make_shared<QtTextMeasure>();
}

}  // namespace vaultrix::platform::qt
