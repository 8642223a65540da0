// Captions fitted to their controls: a button, check box, radio button or
// prompt whose caption is wider than the place the engine gave it (in a
// face that stands in for the design's) shows it in a smaller size of its
// window's font, whole, while its geometry stays the engine's; captions
// that fit keep the window's font.
#include <QtGui/QFontMetrics>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include <gtest/gtest.h>

#include <memory>

#include "platform/drivers/qt/caption_fit.h"
#include "platform/window_classes.h"
#include "tests/qt/qt_test_support.h"

namespace vaultrix::platform::qt::testing {
namespace {

bool WholeCaptionShows(const QWidget& widget, const QString& caption) {
  return QFontMetrics(widget.font()).horizontalAdvance(ShownCaption(caption)) <=
         CaptionRoom(widget);
}

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

class CaptionFitDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    thread_ = std::make_unique<WindowThread>(system_);
    QtDriverOptions options;
    options.sync_clipboard = false;
    driver_ = std::make_unique<QtDriver>(system_, options);
  }
  void TearDown() override {
    thread_.reset();
    driver_.reset();
  }
  WindowHandle MakeControl(const WindowCreateParams& params) {
    WindowHandle window = kNoWindow;
    thread_->Run([&] { window = system_.CreateWindow(params); });
    return window;
  }
  template <typename T>
  T* Shown(WindowHandle window) {
    Settle([&] {
      driver_->Drain();
      return dynamic_cast<T*>(driver_->ObjectOf(window)) != nullptr;
    });
    return dynamic_cast<T*>(driver_->ObjectOf(window));
  }

  WindowSystem system_;
  std::unique_ptr<WindowThread> thread_;
  std::unique_ptr<QtDriver> driver_;
};

TEST_F(CaptionFitDriverTest, CaptionsShowWholeInTheEnginesGeometry) {
  Watchdog watchdog("captions fitted");
  const WindowHandle window = thread_->MakeWindow(
      Window(WindowKind::kPlain, "WINDOW", "Passwords", {10, 10, 200, 100}, kDialogStyle));
  // As the passwords form places them: 44 by 12 dialog units.
  const WindowHandle paste =
      MakeControl(Control("BUTTON", "Paste Password", {100, 4, 44, 12}, window, 1));
  const WindowHandle ok = MakeControl(Control("BUTTON", "&OK", {150, 4, 40, 12}, window, 2));
  const WindowHandle check = MakeControl(
      Control("CHECK", "Skip Copy/Paste Buttons when tabbing", {4, 20, 130, 10}, window, 3));
  const WindowHandle radio =
      MakeControl(Control("RADIO", "All Characters and Digits", {4, 34, 90, 10}, window, 4));
  const WindowHandle prompt =
      MakeControl(Control("PROMPT", "Confirm Password:", {4, 48, 55, 10}, window, 5));
  const WindowHandle data =
      MakeControl(Control("STRING", "A long value shown as it is", {4, 62, 40, 10}, window, 6));

  auto* paste_button = Shown<QPushButton>(paste);
  auto* ok_button = Shown<QPushButton>(ok);
  auto* check_box = Shown<QCheckBox>(check);
  auto* radio_button = Shown<QRadioButton>(radio);
  auto* prompt_label = Shown<QLabel>(prompt);
  auto* data_label = Shown<QLabel>(data);
  ASSERT_TRUE(paste_button && ok_button && check_box && radio_button && prompt_label &&
              data_label);
  const QWidget* top = driver_->WidgetOf(window);
  const QFont window_font = top->font();
  const DialogUnits* units = driver_->Mirror().UnitsOf(window);
  ASSERT_NE(units, nullptr);

  // The stand-in face would cut these off at the window's size.
  EXPECT_GT(QFontMetrics(window_font).horizontalAdvance(QStringLiteral("Paste Password")),
            CaptionRoom(*paste_button));
  EXPECT_TRUE(WholeCaptionShows(*paste_button, QStringLiteral("Paste Password")));
  EXPECT_TRUE(WholeCaptionShows(*check_box, check_box->text()));
  EXPECT_TRUE(WholeCaptionShows(*radio_button, radio_button->text()));
  EXPECT_TRUE(WholeCaptionShows(*prompt_label, prompt_label->text()));
  EXPECT_LT(paste_button->font().pointSizeF(), window_font.pointSizeF());
  EXPECT_EQ(paste_button->geometry(), units->ToPixels({100, 4, 44, 12}))
      << "the place stays the engine's";
  EXPECT_EQ(check_box->geometry(), units->ToPixels({4, 20, 130, 10}));

  // A caption that fits, and a string's data, keep the window's font.
  EXPECT_EQ(ok_button->font(), window_font);
  EXPECT_FALSE(ok_button->testAttribute(Qt::WA_SetFont));
  EXPECT_EQ(data_label->font(), window_font);

  // A shorter caption, or a wider place, gives the window's font back.
  thread_->Run([&] { (void)system_.SetText(paste, "Paste"); });
  Settle([&] { driver_->Drain(); return paste_button->text() == QStringLiteral("Paste"); });
  EXPECT_EQ(paste_button->font(), window_font);
  thread_->Run([&] { (void)system_.SetText(ok, "Generate a New Password Now"); });
  Settle([&] { driver_->Drain(); return ok_button->font() != window_font; });
  thread_->Run([&] { (void)system_.MoveWindow(ok, {4, 76, 190, 12}); });
  Settle([&] { driver_->Drain(); return ok_button->font() == window_font; });
  EXPECT_TRUE(WholeCaptionShows(*ok_button, ok_button->text()));
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing
