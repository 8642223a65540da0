#include "platform/drivers/qt/page_painter.h"

#include <QtGui/QFont>
#include <QtGui/QFontMetrics>

#include "platform/metafile_page.h"
#include "platform/metafile_player.h"
#include "platform/whole_file.h"

namespace vaultrix::platform::qt {
namespace {

class PainterCanvas : public MetafileCanvas {
 public:
  PainterCanvas(QPainter& painter, const QRect& target) : painter_(painter), target_(target) {}

  void Window(std::int16_t x, std::int16_t y, std::int16_t width, std::int16_t height) override {
    if (width <= 0 || height <= 0) return;
    painter_.setWindow(x, y, width, height);
    painter_.setViewport(target_);
  }

  void Text(std::int16_t x, std::int16_t y, const std::string& text, const MetafileFont& font,
            const MetafileRect* clip) override {
    QFont qfont(QString::fromStdString(font.face));
    qfont.setPixelSize(std::max<int>(1, font.height));
    qfont.setWeight(font.weight >= 600 ? QFont::Bold : QFont::Normal);
    painter_.setFont(qfont);
    painter_.setPen(Qt::black);
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (clip != nullptr) {
      painter_.save();
      painter_.setClipRect(QRect(QPoint(clip->left, clip->top), QPoint(clip->right, clip->bottom)));
      painter_.drawText(QPoint(x, y + QFontMetrics(qfont).ascent()), shown);
      painter_.restore();
    } else {
      painter_.drawText(QPoint(x, y + QFontMetrics(qfont).ascent()), shown);
    }
  }

  void Line(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) override {
    painter_.setPen(Qt::black);
    painter_.drawLine(x1, y1, x2, y2);
  }

 private:
  QPainter& painter_;
  QRect target_;
};

}  // namespace

void PaintMetafile(QPainter& painter, std::span<const std::uint8_t> metafile, const QRect& target) {
  painter.save();
  PainterCanvas canvas(painter, target);
  (void)PlayMetafile(metafile, canvas);
  painter.restore();
}

QPixmap PageFilePixmap(const std::string& path, const QSize& size) {
  std::string bytes;
  if (ReadWholeFile(path, kMaxPageFileSize, bytes) != 0) return {};
  PageFileView page;
  if (!ReadPageFile(AsBytes(bytes), &page) || size.isEmpty()) return {};
  QPixmap pixmap(size);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::TextAntialiasing);
  // The metafile covers the printable area; the page box is the whole sheet,
  // so the printable area sits inside it by the printer's offsets. Without
  // them in the file, the area is centred on the sheet.
  const double scale_x = static_cast<double>(size.width()) / std::max(1, page.header.right - page.header.left);
  const double scale_y = static_cast<double>(size.height()) / std::max(1, page.header.bottom - page.header.top);
  struct Extent : MetafileCanvas {
    void Window(std::int16_t, std::int16_t, std::int16_t w, std::int16_t h) override {
      if (w > 0) width = w;
      if (h > 0) height = h;
    }
    void Text(std::int16_t, std::int16_t, const std::string&, const MetafileFont&,
              const MetafileRect*) override {}
    int width = 0, height = 0;
  } extent;
  (void)PlayMetafile(page.metafile, extent);
  // The metafile's units are printer pixels; the page box's are the larger
  // resolution, equal to them on the usual square-pixel printer.
  const int area_w = static_cast<int>(extent.width * scale_x);
  const int area_h = static_cast<int>(extent.height * scale_y);
  const QRect area((size.width() - area_w) / 2, (size.height() - area_h) / 2, area_w, area_h);
  PaintMetafile(painter, page.metafile, area);
  return pixmap;
}

}  // namespace vaultrix::platform::qt
