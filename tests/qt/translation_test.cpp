// The Qt driver's translations that need no window: keys and buttons to the
// runtime's codes, filter strings to Qt filters, styles to window hints,
// dialog units of a font.
#include <QtGui/QFontDatabase>
#include <QtGui/QFontInfo>

#include <gtest/gtest.h>

#include "platform/drivers/qt/dialog_units.h"
#include "platform/drivers/qt/file_filters.h"
#include "platform/drivers/qt/key_translation.h"
#include "platform/drivers/qt/window_flags.h"

namespace vaultrix::platform::qt {
namespace {

TEST(KeyTranslation, KeysBecomeVirtualKeysWithModifierExtendedAndLockBits) {
  EXPECT_EQ(VirtualKeyOf(Qt::Key_A, false), 0x41);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_7, false), 0x37);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_7, true), kVkNumpad0 + 7);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F12, false), kVkF1 + 11);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Return, false), kVkReturn);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Enter, true), kVkReturn);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Asterisk, true), kVkMultiply);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_VolumeUp, false), 0);

  // Ctrl+P, as a menu's accelerator holds it.
  EXPECT_EQ(KeyCodeOfKey(Qt::Key_P, Qt::ControlModifier, {}), 0x250);
  EXPECT_EQ(KeyCodeOfKey(Qt::Key_Tab, Qt::ShiftModifier | Qt::AltModifier, {}), 0x509);
  // Navigation keys are extended; with Caps and Num Lock on.
  EXPECT_EQ(KeyCodeOfKey(Qt::Key_Delete, {}, {true, true, false}), 0x2E | 0x800 | 0x1000 | 0x2000);
  EXPECT_EQ(KeyCodeOfKey(Qt::Key_Home, Qt::ShiftModifier, {}) & 0x7FF, 0x124);
  // The pad's Enter and divide are extended, its digits are not.
  EXPECT_EQ(KeyCodeOfKey(Qt::Key_Enter, Qt::KeypadModifier, {}), 0x80D);
  EXPECT_EQ(KeyCodeOfKey(Qt::Key_5, Qt::KeypadModifier, {}), kVkNumpad0 + 5);
  EXPECT_EQ(KeyCodeOfKey(Qt::Key_VolumeUp, {}, {}), 0);
  EXPECT_EQ(KeyCodeOfKey(Qt::Key_ScrollLock, {}, {false, false, true}), 0x91 | 0x4000);
}

TEST(KeyTranslation, MouseButtonsAreOneToSevenAndTheirMessages) {
  EXPECT_EQ(KeyCodeOfMouse(Qt::LeftButton, false, {}, {}), 1);
  EXPECT_EQ(KeyCodeOfMouse(Qt::RightButton, false, {}, {}), 2);
  EXPECT_EQ(KeyCodeOfMouse(Qt::MiddleButton, false, {}, {}), 3);
  EXPECT_EQ(KeyCodeOfMouse(Qt::LeftButton, true, Qt::ShiftModifier, {}), 0x105);
  EXPECT_EQ(KeyCodeOfMouse(Qt::RightButton, true, {}, {}), 6);
  EXPECT_EQ(KeyCodeOfMouse(Qt::MiddleButton, true, Qt::ControlModifier, {}), 0x207);
  EXPECT_EQ(KeyCodeOfMouse(Qt::BackButton, false, {}, {}), 0);

  EXPECT_EQ(ButtonDownMessage(Qt::LeftButton, false), kWmLButtonDown);
  EXPECT_EQ(ButtonDownMessage(Qt::RightButton, true), kWmRButtonDblClk);
  EXPECT_EQ(ButtonDownMessage(Qt::MiddleButton, false), kWmMButtonDown);
  EXPECT_EQ(ButtonUpMessage(Qt::MiddleButton), kWmMButtonUp);
  EXPECT_EQ(ButtonDownMessage(Qt::ForwardButton, false), 0u);
}

TEST(KeyTranslation, AcceleratorTextsNameTheKeyAndItsModifiers) {
  EXPECT_EQ(AcceleratorText(0x250), QStringLiteral("Ctrl+P"));
  EXPECT_EQ(AcceleratorText(0x400 | (kVkF1 + 3)), QStringLiteral("Alt+F4"));
  EXPECT_EQ(AcceleratorText(0x300 | 0x41), QStringLiteral("Ctrl+Shift+A"));
  EXPECT_TRUE(AcceleratorText(0).isEmpty());
  EXPECT_TRUE(AcceleratorText(0x200).isEmpty());
}

TEST(FileFilters, BarSeparatedStringsBecomeQtFiltersInBothCases) {
  const std::vector<FileFilter> filters = ParseFilterString("Export Files|*.CSV|All Files|*.*");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, "Export Files");
  EXPECT_EQ(filters[0].pattern, "*.CSV");
  const QStringList lines = QtFilters(filters);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], QStringLiteral("Export Files (*.CSV *.csv)"));
  EXPECT_EQ(lines[1], QStringLiteral("All Files (*)"));
  EXPECT_EQ(FilterIndexOf(lines, lines[1]), 2);
  EXPECT_EQ(FilterIndexOf(lines, QStringLiteral("Other (*.x)")), 1);

  // Several patterns, a trailing bar, a description listing its patterns.
  const QStringList more = QtFilters(ParseFilterString("Text (*.txt)|*.txt;*.Log|"));
  ASSERT_EQ(more.size(), 1);
  EXPECT_EQ(more[0], QStringLiteral("Text (*.txt *.TXT *.Log *.log *.LOG)"));
  // A description without a pattern is dropped; nothing gives all files.
  EXPECT_TRUE(ParseFilterString("Lonely").empty());
  EXPECT_TRUE(ParseFilterString("").empty());
  EXPECT_EQ(QtFilters({}), QStringList{QStringLiteral("All Files (*)")});
}

TEST(FileFilters, SaveNamesWithoutExtensionGetTheDefaultOne) {
  EXPECT_EQ(WithDefaultExtension(QStringLiteral("/tmp/out"), QStringLiteral("CSV")),
            QStringLiteral("/tmp/out.CSV"));
  EXPECT_EQ(WithDefaultExtension(QStringLiteral("/tmp/out.txt"), QStringLiteral(".CSV")),
            QStringLiteral("/tmp/out.txt"));
  EXPECT_EQ(WithDefaultExtension(QStringLiteral("/tmp/out"), QString()), QStringLiteral("/tmp/out"));
}

TEST(WindowFlags, StoredStylesGiveTheirFramesBoxesAndCaption) {
  // The frame: caption, resizable, system menu, both boxes.
  const FrameLook frame = LookOfStyle(kWsCaption | kWsSysMenu | kWsThickFrame | kWsMinimizeBox |
                                          kWsMaximizeBox,
                                      0);
  EXPECT_EQ(frame.frame, FrameKind::kResizable);
  EXPECT_TRUE(frame.caption && frame.system_menu && frame.minimize_box && frame.maximize_box);
  const Qt::WindowFlags flags = WindowFlagsOf(frame, false);
  EXPECT_TRUE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::FramelessWindowHint));

  // The splash window: no frame, no caption.
  const FrameLook splash = LookOfStyle(kWsPopup, 0);
  EXPECT_EQ(splash.frame, FrameKind::kNone);
  EXPECT_TRUE(WindowFlagsOf(splash, false).testFlag(Qt::FramelessWindowHint));

  // A progress window: dialog frame with caption, no boxes.
  const FrameLook progress = LookOfStyle(kWsCaption, 0);
  EXPECT_FALSE(progress.minimize_box || progress.maximize_box || progress.system_menu);
  const Qt::WindowFlags progress_flags = WindowFlagsOf(progress, true);
  EXPECT_TRUE(progress_flags.testFlag(Qt::SubWindow));
  EXPECT_FALSE(progress_flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(progress_flags.testFlag(Qt::WindowCloseButtonHint));

  // Boxes need a caption to sit in.
  EXPECT_FALSE(LookOfStyle(kWsMinimizeBox | kWsSysMenu | kWsBorder, 0).minimize_box);
  EXPECT_EQ(LookOfStyle(kWsBorder, 0).frame, FrameKind::kSingle);
}

TEST(WindowFlags, ModalIsAPlainWindowMarkedModal) {
  WindowInfo info;
  info.kind = WindowKind::kPlain;
  info.ex_style = kWsExDlgModalFrame;
  EXPECT_TRUE(IsModalWindow(info));
  info.kind = WindowKind::kMdiChild;
  EXPECT_FALSE(IsModalWindow(info));
  info.kind = WindowKind::kPlain;
  info.ex_style = 0;
  EXPECT_FALSE(IsModalWindow(info));
}

TEST(DialogUnits, ComeFromTheFontReallyUsedAndRoundTrip) {
  const QFont font = ChooseFont(FontSpec{"MS Sans Serif", 8, -1});
  // Whatever face stands in is installed and the size is kept.
  EXPECT_TRUE(QFontDatabase::families().contains(font.family())) << font.family().toStdString();
  EXPECT_EQ(font.pointSize(), 8);
  const DialogUnits units(font);
  EXPECT_GT(units.BaseWidth(), 2);
  EXPECT_GT(units.BaseHeight(), units.BaseWidth());
  EXPECT_EQ(units.ToPixelsX(4), units.BaseWidth());
  EXPECT_EQ(units.ToPixelsY(8), units.BaseHeight());
  // A larger font gives larger units.
  const DialogUnits bigger(ChooseFont(FontSpec{"MS Sans Serif", 16, 700}));
  EXPECT_GT(bigger.BaseWidth(), units.BaseWidth());
  EXPECT_GT(bigger.BaseHeight(), units.BaseHeight());
  // Units to pixels and back keep the rectangle.
  const Rect rect{10, 20, 200, 100};
  EXPECT_EQ(units.ToUnits(units.ToPixels(rect)), rect);
  EXPECT_EQ(units.ToPixelsX(-8), -2 * units.BaseWidth());
  // A missing face falls back to an installed one.
  const QFont missing = ChooseFont(FontSpec{"No Such Face 1234", 9, -1});
  EXPECT_NE(QFontInfo(missing).family(), QStringLiteral("No Such Face 1234"));
}

}  // namespace
}  // namespace vaultrix::platform::qt
