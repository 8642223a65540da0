// Report pages on the desktop driver: a page file painted for an image
// control (saved as a screenshot), and pages printed through Qt's print
// support into a PDF whose text reads back with pdftotext.
#include <QtCore/QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/drivers/qt/page_painter.h"
#include "platform/drivers/qt/qt_printer.h"
#include "platform/drivers/qt/qt_text_measure.h"
#include "platform/metafile_page.h"
#include "platform/metafile_page_folder.h"
#include "platform/metafile_recorder.h"

namespace vaultrix::platform::qt::testing {
namespace {

std::vector<std::uint8_t> RecordedPage(const PrinterCaps& caps, const std::string& text) {
  MetafileRecorder recorder(static_cast<std::int16_t>(caps.horzres),
                            static_cast<std::int16_t>(caps.vertres));
  recorder.SelectFont({"Arial", static_cast<std::int16_t>(caps.logpixels_y / 6), 700});
  recorder.Text(static_cast<std::int16_t>(caps.logpixels_x / 2),
                static_cast<std::int16_t>(caps.logpixels_y / 2), text, {0, 0, 30000, 30000});
  return recorder.Finish();
}

TEST(QtReportPages, APageFilePaintsForImageControlsAndOthersPaintNothing) {
  std::string folder;
  ASSERT_EQ(CreatePageFolder(&folder), 0);
  const auto header = EncodePlaceableHeader(PageHeaderFor(kLetterAt600Dpi));
  std::string page, short_file;
  ASSERT_EQ(WritePageFile(folder, header, RecordedPage(kLetterAt600Dpi, "Passwords by Service"), &page), 0);
  ASSERT_EQ(WritePageFile(folder, header, {}, &short_file), 0);

  const QPixmap pixmap = PageFilePixmap(page, QSize(408, 528));
  ASSERT_FALSE(pixmap.isNull());
  const QImage image = pixmap.toImage();
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128;
  }
  EXPECT_GT(dark, 50);  // the title's letters
  QDir().mkpath(VAULTRIX_SCREENSHOT_DIR);
  pixmap.save(QStringLiteral(VAULTRIX_SCREENSHOT_DIR "/report_page.png"));

  EXPECT_TRUE(PageFilePixmap(short_file, QSize(408, 528)).isNull());
  RemovePageFolder(folder);
}

TEST(QtReportPages, TheTextMeasureGivesTheFontsOwnWidths) {
  const auto measure = MakeQtTextMeasure();
  const TextFont arial{"Arial", 8, 400};
  const std::int32_t narrow = measure->CharacterWidth(arial, "i");
  const std::int32_t wide = measure->CharacterWidth(arial, "W");
  EXPECT_GT(wide, 2 * narrow);
  // An em of 8 points is 111 thousandths of an inch; no character is wider.
  EXPECT_LE(wide, 111);
  EXPECT_GT(measure->CharacterWidth({"Arial", 16, 400}, "W"), wide);
  EXPECT_GE(measure->CharacterWidth(arial, "\xC3\xA9"), 1);
}

TEST(QtReportPages, PagesPrintIntoAPdfThatReadsBack) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftotext";
  const std::string pdf = std::filesystem::temp_directory_path() / "vaultrix_qt_print.pdf";
  QtPrinter printer;
  printer.Choose("", pdf);
  const PrinterCaps caps = printer.Caps();
  EXPECT_GE(caps.logpixels_x, 300);
  EXPECT_GT(caps.horzres, 0);
  auto job = printer.StartDocument("Passwords by Service");
  ASSERT_NE(job, nullptr);
  EXPECT_EQ(job->PrintPage(RecordedPage(caps, "first-page-entry")), 0);
  EXPECT_EQ(job->PrintPage(RecordedPage(caps, "second-page-entry")), 0);
  EXPECT_EQ(job->Finish(), 0);
  ASSERT_EQ(std::system(("pdftotext '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
  std::ifstream in(pdf + ".txt");
  std::stringstream read;
  read << in.rdbuf();
  const std::string text = read.str();
  EXPECT_NE(text.find("first-page-entry"), std::string::npos);
  EXPECT_NE(text.find("second-page-entry"), std::string::npos);
  // Two pages: pdftotext ends each with a form feed.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 2);
  std::filesystem::remove(pdf);
  std::filesystem::remove(pdf + ".txt");
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing
