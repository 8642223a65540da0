// The list control's table and scroll bar.
#include "platform/drivers/qt/list_view.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableWidget>

#include "platform/window_classes.h"

namespace vaultrix::platform::qt {
namespace {

QStringList CellsOf(const std::string& row) {
  return QString::fromStdString(row).split(QLatin1Char('\t'));
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

}  // namespace

ListView::ListView(QWidget* parent, std::function<void(std::uint32_t, int)> scrolled,
                   std::function<void(int, bool)> picked)
    : QWidget(parent), scrolled_(std::move(scrolled)), picked_(std::move(picked)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  table_ = new QTableWidget(this);
  table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 2);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
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
    case QEvent::Wheel:
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (watched != table_->viewport()) return false;
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const int row = table_->rowAt(mouse->position().toPoint().y());
      if (row >= 0) picked_(row, event->type() == QEvent::MouseButtonDblClick);
      return false;
    }
    default:
      return false;
  }
}

void ListView::Show(const WindowInfo& info) {
  applying_ = true;
  // The column headers are the last header line.
  QStringList headers;
  const QStringList lines = QString::fromStdString(info.text).split(QLatin1Char('\n'),
                                                                    Qt::SkipEmptyParts);
  if (!lines.isEmpty()) {
    headers = lines.back().split(QLatin1Char('\t'));
  } else if (!info.display.header_lines.empty()) {
    headers = CellsOf(info.display.header_lines.back());
  }
  int columns = static_cast<int>(headers.size());
  for (const std::string& row : info.rows) columns = std::max(columns, int(CellsOf(row).size()));
  if (table_->columnCount() != columns) table_->setColumnCount(columns);
  table_->horizontalHeader()->setVisible(!headers.isEmpty());
  if (!headers.isEmpty()) table_->setHorizontalHeaderLabels(headers);
  table_->setRowCount(static_cast<int>(info.rows.size()));
  for (int r = 0; r < static_cast<int>(info.rows.size()); ++r) {
    const QStringList cells = CellsOf(info.rows[static_cast<std::size_t>(r)]);
    for (int c = 0; c < columns; ++c) {
      const QString text = c < cells.size() ? cells[c].trimmed() : QString();
      QTableWidgetItem* item = table_->item(r, c);
      if (item == nullptr) {
        table_->setItem(r, c, new QTableWidgetItem(text));
      } else if (item->text() != text) {
        item->setText(text);
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
  if (ranged) scroll_->setRange(info.vertical_low, info.vertical_high);
  scroll_->setValue(info.vertical_scroll);
  applying_ = false;
}

}  // namespace vaultrix::platform::qt
