#include "platform/text_measure.h"

#include <algorithm>
#include <mutex>

namespace vaultrix::platform {
namespace {

constexpr std::int32_t kCharWidthPerMille = 550;

class EstimatedMeasure final : public TextMeasure {
 public:
  std::int32_t CharacterWidth(const TextFont& font, std::string_view) override {
    return EstimatedCharacterWidth(font);
  }
};

std::mutex& MeasureMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<TextMeasure>& Installed() {
  static std::shared_ptr<TextMeasure> installed;
  return installed;
}

}  // namespace

std::int32_t EstimatedCharacterWidth(const TextFont& font) {
  return std::max<std::int32_t>(1, font.points * kCharWidthPerMille / 72);
}

void InstallTextMeasure(std::shared_ptr<TextMeasure> measure) {
  std::lock_guard lock(MeasureMutex());
  Installed() = std::move(measure);
}

std::shared_ptr<TextMeasure> CurrentTextMeasure() {
  static const std::shared_ptr<TextMeasure> estimate = std::make_shared<EstimatedMeasure>();
  std::lock_guard lock(MeasureMutex());
  return Installed() ? Installed() : estimate;
}

}  // namespace vaultrix::platform
