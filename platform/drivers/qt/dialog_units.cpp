// Font choice and dialog-unit arithmetic. Conversions round to the nearest
// pixel or unit, so a rectangle converted back and forth stays put.
#include "platform/drivers/qt/dialog_units.h"

#include <QtCore/QStringList>
#include <QtGui/QFontDatabase>
#include <QtGui/QFontInfo>
#include <QtGui/QFontMetrics>

#include <algorithm>
#include <array>

namespace vaultrix::platform::qt {
namespace {

// Faces whose widths are close to the classic dialog face, best first.
constexpr std::array<const char*, 6> kFallbackFaces{
    "MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "Arial", "DejaVu Sans"};

int Rounded(long long numerator, long long denominator) {
  if (denominator <= 0) return 0;
  const long long half = denominator / 2;
  return static_cast<int>(numerator >= 0 ? (numerator + half) / denominator
                                         : -((-numerator + half) / denominator));
}

bool Installed(const QString& face) {
  return QFontDatabase::families().contains(face, Qt::CaseInsensitive);
}

}  // namespace

QFont ChooseFont(const FontSpec& spec) {
  QString face = QString::fromStdString(spec.face);
  if (!Installed(face)) {
    face.clear();
    for (const char* candidate : kFallbackFaces) {
      if (Installed(QString::fromLatin1(candidate))) {
        face = QString::fromLatin1(candidate);
        break;
      }
    }
  }
  QFont font = face.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont) : QFont(face);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(spec.points > 0 ? spec.points : 8);
  if (spec.weight >= 700) font.setBold(true);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString alphabet =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  base_width_ = std::max(1, Rounded(metrics.horizontalAdvance(alphabet), 52));
  base_height_ = std::max(1, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const {
  return Rounded(static_cast<long long>(units) * base_width_, 4);
}

int DialogUnits::ToPixelsY(int units) const {
  return Rounded(static_cast<long long>(units) * base_height_, 8);
}

int DialogUnits::ToUnitsX(int pixels) const {
  return Rounded(static_cast<long long>(pixels) * 4, base_width_);
}

int DialogUnits::ToUnitsY(int pixels) const {
  return Rounded(static_cast<long long>(pixels) * 8, base_height_);
}

QRect DialogUnits::ToPixels(const Rect& rect) const {
  return QRect(ToPixelsX(rect.x), ToPixelsY(rect.y), ToPixelsX(rect.width),
               ToPixelsY(rect.height));
}

Rect DialogUnits::ToUnits(const QRect& rect) const {
  return Rect{ToUnitsX(rect.x()), ToUnitsY(rect.y()), ToUnitsX(rect.width()),
              ToUnitsY(rect.height())};
}

}  // namespace vaultrix::platform::qt
