// Captions fitted to their controls: the caption as it shows, and the size
// of the window's font it fits in (the controls themselves: qt_driver_test).
#include <QtGui/QFontMetrics>

#include <gtest/gtest.h>

#include "platform/drivers/qt/caption_fit.h"

namespace vaultrix::platform::qt::testing {
namespace {

TEST(CaptionFit, ShownCaptionsLoseTheirMarks) {
  EXPECT_EQ(ShownCaption(QStringLiteral("&Save")), QStringLiteral("Save"));
  EXPECT_EQ(ShownCaption(QStringLiteral("Salt && &Pepper")), QStringLiteral("Salt & Pepper"));
  EXPECT_EQ(ShownCaption(QStringLiteral("Last&")), QStringLiteral("Last&"));
  EXPECT_EQ(ShownCaption(QString()), QString());
}

TEST(CaptionFit, ACaptionTooWideGetsTheLargestSizeThatFits) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPointSize(8);
  const QString caption = QStringLiteral("Paste Password");
  const int natural = QFontMetrics(font).horizontalAdvance(caption);
  EXPECT_EQ(FittingFont(font, caption, natural + 10), font) << "it fits: unchanged";
  EXPECT_EQ(FittingFont(font, QString(), 1), font);

  const int room = natural * 3 / 4;
  const QFont fitted = FittingFont(font, caption, room);
  EXPECT_LT(fitted.pointSizeF(), 8.0);
  EXPECT_EQ(fitted.family(), font.family()) << "the same face, smaller";
  EXPECT_LE(QFontMetrics(fitted).horizontalAdvance(caption), room);
  QFont larger = fitted;
  larger.setPointSizeF(fitted.pointSizeF() + 1.0);
  EXPECT_GT(QFontMetrics(larger).horizontalAdvance(caption), room) << "no smaller than needed";

  EXPECT_EQ(FittingFont(font, caption, 3).pointSizeF(), kSmallestCaptionPoints)
      << "never below the smallest readable size";
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing
