// The list control's table and scroll bar.
#include "platform/drivers/qt/list_view.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QWheelEvent>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableWidget>

#include <algorithm>
#include <cstdlib>

#include "platform/drivers/qt/dialog_units.h"
#include "platform/window_classes.h"

namespace vaultrix::platform::qt {
namespace {

// Vertical dialog units of one character height: one row line.
constexpr int kLineUnits = 8;
// A wheel notch scrolls three lines, as desktop lists do.
constexpr int kWheelStepPerLine = 40;

QStringList CellsOf(const std::string& row) {
  return QString::fromStdString(row).split(QLatin1Char('\t'));
}

int LinesOf(const std::string& text) {
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// The scroll bar's own actions in the window system's terms.
int ScrollActionOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return kSbLineDown;
    case QAbstractSlider::SliderSingleStepSub: return kSbLineUp;
    case QAbstractSlider::SliderPageStepAdd: return kSbPageDown;
    case QAbstractSlider::SliderPageStepSub: return kSbPageUp;
    case QAbstractSlider::SliderToMinimum: return kSbTop;
    case QAbstractSlider::SliderToMaximum: return kSbBottom;
    case QAbstractSlider::SliderMove: return kSbThumbTrack;
    default: return kSbEndScroll;
  }
}

// The engine lays a cell out in character cells; a text pushed to the
// cell's right edge was right-aligned there.
Qt::Alignment AlignmentOf(const QString& cell) {
  const bool leading = !cell.isEmpty() && cell.front() == QLatin1Char(' ');
  const bool trailing = !cell.isEmpty() && cell.back() == QLatin1Char(' ');
  return (leading && !trailing ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

}  // namespace

ListView::ListView(QWidget* parent, std::function<void(std::uint32_t, int)> scrolled,
                   std::function<void(int, int)> resized)
    : QWidget(parent), scrolled_(std::move(scrolled)), resized_(std::move(resized)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  table_ = new QTableWidget(this);
  table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setFrameShape(QFrame::NoFrame);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setMinimumSectionSize(1);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 2);
  QHeaderView* header = table_->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setSectionsClickable(false);  // a header press selects nothing
  header->setHighlightSections(false);
  header->setMinimumSectionSize(4);
  table_->setShowGrid(false);
  table_->installEventFilter(this);
  table_->viewport()->installEventFilter(this);
  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setRange(0, kListScrollRange);
  scroll_->setPageStep(10);
  scroll_->setTracking(true);
  layout->addWidget(table_, 1);
  layout->addWidget(scroll_);
  QObject::connect(scroll_, &QAbstractSlider::actionTriggered, this, [this](int action) {
    if (applying_) return;
    scrolled_(static_cast<std::uint32_t>(ScrollActionOf(action)), scroll_->sliderPosition());
    // The engine sets the thumb; until it does, it stays where it was.
    if (action != QAbstractSlider::SliderMove) scroll_->setSliderPosition(scroll_->value());
  });
  QObject::connect(scroll_, &QAbstractSlider::sliderReleased, this, [this] {
    if (!applying_) scrolled_(static_cast<std::uint32_t>(kSbThumbPosition), scroll_->sliderPosition());
  });
  QObject::connect(header, &QHeaderView::sectionResized, this,
                   [this](int column, int /*old_size*/, int new_size) {
                     if (applying_ || !units_ || !resized_) return;
                     resized_(column, units_->ToUnitsX(new_size));
                   });
}

ListView* ListView::Around(QObject* widget) {
  for (QObject* walk = widget; walk != nullptr; walk = walk->parent()) {
    if (auto* list = dynamic_cast<ListView*>(walk)) return list;
  }
  return nullptr;
}

std::optional<int> ListView::PressedRow(const QWidget* receiver, const QPoint& global) const {
  for (const QObject* walk = receiver; walk != nullptr && walk != this; walk = walk->parent()) {
    if (walk == scroll_) return std::nullopt;
  }
  const QPoint at = table_->viewport()->mapFromGlobal(global);
  if (at.y() < 0) return kListNoRow;  // the header
  const int row = table_->rowAt(at.y());
  return row >= 0 ? row : kListNoRow;
}

bool ListView::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      // The engine moves the selection and scrolls; the table only shows.
      // Tab still moves the focus on.
      const int key = static_cast<QKeyEvent*>(event)->key();
      return watched == table_ && key != Qt::Key_Tab && key != Qt::Key_Backtab;
    }
    case QEvent::Wheel: {
      // Lines up or down as the scroll bar's arrows would ask for them.
      const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
      if (watched == table_->viewport() && delta != 0 && scroll_->isVisible()) {
        const int lines = std::max(1, std::abs(delta) / kWheelStepPerLine);
        for (int i = 0; i < lines; ++i) {
          scrolled_(static_cast<std::uint32_t>(delta > 0 ? kSbLineUp : kSbLineDown),
                    scroll_->value());
        }
      }
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      // Presses reach the engine through the window system (with the row
      // under the pointer); the table neither selects nor drags by itself.
      if (watched != table_->viewport()) return false;
      if (event->type() == QEvent::MouseButtonPress && table_->focusPolicy() != Qt::NoFocus &&
          isEnabled()) {
        table_->setFocus(Qt::MouseFocusReason);
      }
      return true;
    default:
      return false;
  }
}

void ListView::ShowColumns(const WindowInfo& info, const DialogUnits* units, int columns) {
  QHeaderView* header = table_->horizontalHeader();
  const int shapes = std::min(columns, static_cast<int>(info.list_columns.size()));
  for (int c = 0; c < shapes; ++c) {
    const ListColumnShape& shape = info.list_columns[static_cast<std::size_t>(c)];
    const bool hidden = shape.width <= 0;
    if (header->isSectionHidden(c) != hidden) header->setSectionHidden(c, hidden);
    header->setSectionResizeMode(c, shape.resizable ? QHeaderView::Interactive
                                                    : QHeaderView::Fixed);
    // A width dragged here comes back in whole dialog units: the pixels the
    // user left stay while they mean the same width.
    if (!hidden && units != nullptr && units->ToUnitsX(header->sectionSize(c)) != shape.width) {
      header->resizeSection(c, units->ToPixelsX(shape.width));
    }
  }
}

void ListView::Show(const WindowInfo& info, const DialogUnits* units) {
  applying_ = true;
  if (units != nullptr) {
    units_ = *units;
  } else {
    units_.reset();
  }
  // The column headers are the last header line.
  QStringList headers;
  const QStringList lines = QString::fromStdString(info.text).split(QLatin1Char('\n'),
                                                                    Qt::SkipEmptyParts);
  int header_lines = static_cast<int>(lines.size());
  if (!lines.isEmpty()) {
    headers = lines.back().split(QLatin1Char('\t'));
  } else if (!info.display.header_lines.empty()) {
    headers = CellsOf(info.display.header_lines.back());
    header_lines = static_cast<int>(info.display.header_lines.size());
  }
  int columns = static_cast<int>(headers.size());
  for (const std::string& row : info.rows) columns = std::max(columns, int(CellsOf(row).size()));
  columns = std::max(columns, static_cast<int>(info.list_columns.size()));
  if (table_->columnCount() != columns) table_->setColumnCount(columns);
  table_->horizontalHeader()->setVisible(!headers.isEmpty());
  if (!headers.isEmpty()) {
    for (QString& label : headers) label = label.trimmed();
    table_->setHorizontalHeaderLabels(headers);
  }
  if (units != nullptr) {
    // One character height per line, as the engine counts its page.
    const int line = units->ToPixelsY(kLineUnits);
    const int row_lines = info.rows.empty() ? 1 : LinesOf(info.rows.front());
    table_->verticalHeader()->setDefaultSectionSize(line * row_lines);
    if (!headers.isEmpty()) table_->horizontalHeader()->setFixedHeight(line * header_lines);
  }
  ShowColumns(info, units, columns);
  table_->setRowCount(static_cast<int>(info.rows.size()));
  for (int r = 0; r < static_cast<int>(info.rows.size()); ++r) {
    const QStringList cells = CellsOf(info.rows[static_cast<std::size_t>(r)]);
    for (int c = 0; c < columns; ++c) {
      const QString cell = c < cells.size() ? cells[c] : QString();
      const QString text = cell.trimmed();
      QTableWidgetItem* item = table_->item(r, c);
      if (item == nullptr) {
        item = new QTableWidgetItem(text);
        table_->setItem(r, c, item);
      } else if (item->text() != text) {
        item->setText(text);
      }
      const Qt::Alignment alignment = AlignmentOf(cell);
      if (item->textAlignment() != static_cast<int>(alignment.toInt())) {
        item->setTextAlignment(alignment);
      }
    }
  }
  if (info.value >= 0 && info.value < static_cast<std::int64_t>(info.rows.size())) {
    table_->selectRow(static_cast<int>(info.value));
  } else {
    table_->clearSelection();
  }
  const bool ranged = info.vertical_high > info.vertical_low;
  scroll_->setVisible(ranged);
  if (ranged) {
    scroll_->setRange(info.vertical_low, info.vertical_high);
    // The thumb is as long as a page: the rows shown, or a tenth of the
    // percentage range of a list whose procedure pages it.
    const bool percent = info.vertical_low == 0 && info.vertical_high == kListScrollRange;
    scroll_->setPageStep(percent ? 10 : std::max(1, static_cast<int>(info.rows.size())));
  }
  // A thumb the user holds stays under the pointer until it is let go.
  if (!scroll_->isSliderDown()) scroll_->setValue(info.vertical_scroll);
  applying_ = false;
}

}  // namespace vaultrix::platform::qt
