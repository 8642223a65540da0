// Caption sizes: measured with the font metrics of the face really used.
#include "platform/drivers/qt/caption_fit.h"

#include <QtGui/QFontMetrics>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionButton>

#include <algorithm>

namespace vaultrix::platform::qt {
namespace {

// Slack inside a button's bevel for the antialiased edges of its first and
// last letters.
constexpr int kBevelSlack = 2;

bool Fits(const QFont& font, const QString& caption, int room) {
  return QFontMetrics(font).horizontalAdvance(caption) <= room;
}

double PointsOf(const QFont& font) {
  if (font.pointSizeF() > 0) return font.pointSizeF();
  // A font sized in pixels: its points at the screen's resolution.
  return QFontMetrics(font).height() * 0.75;
}

QStyleOptionButton ButtonOption(const QAbstractButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  option.icon = button.icon();
  option.iconSize = button.iconSize();
  return option;
}

QString CaptionOf(const QWidget& widget) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
    return ShownCaption(button->text());
  }
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
    return label->buddy() != nullptr ? ShownCaption(label->text()) : label->text();
  }
  return {};
}

}  // namespace

QString ShownCaption(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
    shown.append(text[i]);
  }
  return shown;
}

QFont FittingFont(const QFont& font, const QString& caption, int room) {
  if (caption.isEmpty() || room <= 0 || Fits(font, caption, room)) return font;
  const double points = PointsOf(font);
  QFont smaller = font;
  // Text widths grow nearly in proportion to the size: start from the
  // proportional size and step down while hinting still makes it too wide.
  const double width = QFontMetrics(font).horizontalAdvance(caption);
  double size = std::max(kSmallestCaptionPoints, points * room / width);
  for (;;) {
    smaller.setPointSizeF(size);
    if (size <= kSmallestCaptionPoints || Fits(smaller, caption, room)) return smaller;
    size = std::max(kSmallestCaptionPoints, size - 0.25);
  }
}

int CaptionRoom(const QWidget& widget) {
  const QStyle* style = widget.style();
  if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
    const QStyleOptionButton option = ButtonOption(*button);
    int room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() -
               kBevelSlack;
    if (!button->icon().isNull()) room -= button->iconSize().width() + 4;
    return room;
  }
  if (const auto* check = qobject_cast<const QCheckBox*>(&widget)) {
    const QStyleOptionButton option = ButtonOption(*check);
    return style->subElementRect(QStyle::SE_CheckBoxContents, &option, check).width();
  }
  if (const auto* radio = qobject_cast<const QRadioButton*>(&widget)) {
    const QStyleOptionButton option = ButtonOption(*radio);
    return style->subElementRect(QStyle::SE_RadioButtonContents, &option, radio).width();
  }
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
    if (label->wordWrap() || label->text().contains(QLatin1Char('\n')) ||
        label->textFormat() == Qt::RichText || !label->pixmap().isNull()) {
      return -1;
    }
    return label->contentsRect().width();
  }
  return -1;
}

void FitCaption(QWidget& widget) {
  const int room = CaptionRoom(widget);
  if (room < 0) return;
  const QFont window_font =
      widget.parentWidget() != nullptr ? widget.parentWidget()->font() : QFont();
  const QFont fitting = FittingFont(window_font, CaptionOf(widget), room);
  if (fitting == window_font) {
    // Inherits its window's font again (and follows it when it changes).
    if (widget.testAttribute(Qt::WA_SetFont)) widget.setFont(QFont());
    return;
  }
  if (widget.font() != fitting) widget.setFont(fitting);
}

}  // namespace vaultrix::platform::qt
