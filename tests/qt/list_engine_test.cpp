// A list opened from its description by the event engine, in the Qt driver,
// used with real mouse input: a click on a row chooses that row in the
// engine and the procedure sees the list's events; a double click accepts
// it, or raises the alert key when the window claims it; a press below the
// rows chooses nothing; a column divider dragged in the header changes the
// width in the list's format, for resizable columns only.
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/drivers/headless/window_dump.h"
#include "platform/drivers/qt/list_view.h"
#include "platform/window_classes.h"
#include "runtime/windows/ctllist_window.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_resource.h"
#include "tests/qt/qt_test_support.h"

namespace vaultrix::platform::qt::testing {
namespace {

// 88 dialog units: a header line and 10 rows.
constexpr const char* kDescriptions = R"(
module "VAULTRIX$vltrx001"
window "LIST$WINDOW"
  title "Services"
  at 10 10 200 110
  font "MS Sans Serif" 8
  list 1
    use string 30
    at 4 4 190 88
    format "40L~Key~@s10@80L(2)|M~Service~@s30@"
  button 2 "&OK"
    at 4 94 40 14
)";

struct Seen {
  int event = 0;
  int control = 0;
  std::int32_t key_code = 0;
  std::string use;
  friend bool operator==(const Seen&, const Seen&) = default;
  friend void PrintTo(const Seen& s, std::ostream* out) {
    *out << "{event 0x" << std::hex << s.event << ", control " << std::dec << s.control
         << ", key 0x" << std::hex << s.key_code << std::dec << ", use \"" << s.use << "\"}";
  }
};

class QtListEngineTest : public ::testing::Test {
 protected:
  QtListEngineTest() {
    QtDriverOptions options;
    options.sync_clipboard = false;
    driver_ = std::make_unique<QtDriver>(system_, options);
    std::memset(use_, ' ', sizeof use_);
  }
  ~QtListEngineTest() override {
    if (window_ != kNoWindow) (void)system_.PostMessage(window_, kWmClose);
    if (program_.joinable()) program_.join();
    driver_.reset();
  }

  // Runs the program: the window with its list over `records` numbered
  // records, `alert_keys` the window's, an ACCEPT loop that logs each event.
  void Start(int records, std::vector<std::int32_t> alert_keys = {}) {
    for (int i = 1; i <= records; ++i) {
      queue_.rows().push_back({"k" + std::to_string(i), "service " + std::to_string(i)});
    }
    std::mutex started_mutex;
    bool started = false;
    program_ = std::thread([&, alert_keys] {
      windows::WindowResource resource(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx001",
                                       "LIST$WINDOW", {use_});
      windows::WindowOpen(engine_, resource);
      windows::WindowObject& window = resource.object();
      window.alert_keys = alert_keys;
      (void)windows::BindListQueue(engine_, window, 1, &queue_);
      list_control_ = window.FindControl(1);
      {
        std::lock_guard lock(started_mutex);
        window_ = window.handle;
        list_ = list_control_->handle;
        started = true;
      }
      windows::Accept(engine_, [&] {
        const windows::EventRecord& record = *window.current_event;
        std::string use(use_, sizeof use_);
        while (!use.empty() && use.back() == ' ') use.pop_back();
        std::lock_guard lock(mutex_);
        seen_.push_back({record.Event(), record.control != nullptr ? record.control->number : 0,
                         record.key_code & kKeyCodeMask, use});
        return windows::kBodyDefault;
      });
      windows::WindowClose(engine_, window);
      system_.EndThread();
    });
    Settle([&] {
      std::lock_guard lock(started_mutex);
      return started;
    });
    Settle([&] {
      driver_->Drain();
      view_ = dynamic_cast<ListView*>(driver_->ObjectOf(list_));
      return view_ != nullptr && view_->Table()->rowCount() == std::min(records, 10);
    });
    QWidget* top = driver_->WidgetOf(window_);
    top->activateWindow();
    Settle([&] { return QApplication::activeWindow() == top; });
    (void)TakeEvents();
  }

  // The list's events seen so far (focus and the window's own left out).
  std::vector<Seen> TakeEvents() {
    std::lock_guard lock(mutex_);
    std::vector<Seen> taken;
    for (const Seen& s : seen_) {
      if (s.control == 1 && s.event != windows::kEventSelected) taken.push_back(s);
    }
    seen_.clear();
    return taken;
  }
  // Waits until the procedure has seen `count` list events.
  std::vector<Seen> WaitForEvents(std::size_t count) {
    std::vector<Seen> taken;
    Settle([&] {
      driver_->Drain();
      std::vector<Seen> more = TakeEvents();
      taken.insert(taken.end(), more.begin(), more.end());
      return taken.size() >= count;
    });
    return taken;
  }
  QPoint RowCentre(int row) {
    QTableWidget& table = *view_->Table();
    return table.visualItemRect(table.item(row, 1)).center();
  }

  ProgramDescriptions descriptions_{kDescriptions};
  WindowSystem system_;
  windows::EventEngine engine_{system_};
  std::unique_ptr<QtDriver> driver_;
  char use_[30];
  windows::TableListQueue queue_;
  std::thread program_;
  std::mutex mutex_;
  std::vector<Seen> seen_;
  WindowHandle window_ = kNoWindow;
  WindowHandle list_ = kNoWindow;
  windows::ControlObject* list_control_ = nullptr;
  ListView* view_ = nullptr;
};

TEST_F(QtListEngineTest, ClicksChooseTheRowTheUserSeesAndADoubleClickAcceptsIt) {
  Watchdog watchdog("list clicks in the desktop driver");
  Start(25);
  QTableWidget& table = *view_->Table();
  // The page the engine counts is the page shown: rows one line high, all
  // ten inside the table.
  const DialogUnits* units = driver_->Mirror().UnitsOf(window_);
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(table.rowHeight(0), units->ToPixelsY(8));
  EXPECT_LE(table.visualItemRect(table.item(9, 0)).bottom(), table.viewport()->height());

  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, RowCentre(6));
  EXPECT_EQ(WaitForEvents(1),
            (std::vector<Seen>{{windows::kEventNewSelection, 1, 1, "k7"}}));
  Settle([&] { driver_->Drain(); return table.item(6, 0)->isSelected(); });
  EXPECT_EQ(system_.GetWindowInfo(list_)->value, 6);
  const std::string dump = headless::DumpWindows(system_);
  EXPECT_NE(dump.find("row* 7 \"k7"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("row* 1 "), std::string::npos) << dump;
  EXPECT_EQ(system_.GetFocus(), list_);
  EXPECT_EQ(QApplication::focusWidget(), &table) << "keys go on to the list after a click";

  QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, RowCentre(6));
  EXPECT_EQ(WaitForEvents(1), (std::vector<Seen>{{windows::kEventAccepted, 1, 5, "k7"}}));

  // Scrolled by the bar's lower arrow, the same place is the next record,
  // and the chosen one moved up with its row.
  QScrollBar& bar = *view_->ScrollBar();
  ASSERT_TRUE(bar.isVisible());
  EXPECT_EQ(bar.maximum(), 15);
  EXPECT_EQ(bar.pageStep(), 10);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, bar.height() - 3));
  Settle([&] { driver_->Drain(); return table.item(0, 0)->text() == QStringLiteral("k2"); });
  EXPECT_EQ(bar.value(), 1);
  EXPECT_TRUE(table.item(5, 0)->isSelected());
  EXPECT_TRUE(TakeEvents().empty()) << "the bar's press is no click on a row";
  QTest::mouseClick(table.viewport(), Qt::RightButton, {}, RowCentre(6));
  EXPECT_EQ(WaitForEvents(1), (std::vector<Seen>{{windows::kEventNewSelection, 1, 2, "k8"}}));
}

TEST_F(QtListEngineTest, BelowTheRowsNothingIsChosenAndAClaimedDoubleClickAlerts) {
  Watchdog watchdog("list presses off the rows, claimed double click");
  Start(3, {5});
  QTableWidget& table = *view_->Table();
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, RowCentre(1));
  EXPECT_EQ(WaitForEvents(1), (std::vector<Seen>{{windows::kEventNewSelection, 1, 1, "k2"}}));
  const QPoint below(RowCentre(2).x(), table.viewport()->height() - 2);
  ASSERT_EQ(table.rowAt(below.y()), -1);
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, below);
  QTest::mouseClick(table.horizontalHeader()->viewport(), Qt::LeftButton, {},
                    QPoint(4, table.horizontalHeader()->height() / 2));
  // The window claims the double click: its alert key, not Accepted. (A
  // user's double click begins with a click, which QTest leaves out.)
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, RowCentre(2));
  QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, RowCentre(2));
  EXPECT_EQ(WaitForEvents(2), (std::vector<Seen>{{windows::kEventNewSelection, 1, 1, "k3"},
                                                 {windows::kEventAlertKey, 1, 5, "k3"}}));
  EXPECT_EQ(system_.GetWindowInfo(list_)->value, 2);
}

TEST_F(QtListEngineTest, AColumnDividerDraggedChangesTheFormatOfResizableColumns) {
  Watchdog watchdog("list column widths");
  Start(3);
  QTableWidget& table = *view_->Table();
  QHeaderView& header = *table.horizontalHeader();
  const DialogUnits* units = driver_->Mirror().UnitsOf(window_);
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(header.sectionSize(0), units->ToPixelsX(40));
  EXPECT_EQ(header.sectionSize(1), units->ToPixelsX(80));
  EXPECT_EQ(header.sectionResizeMode(0), QHeaderView::Fixed) << "no M: not resizable";
  EXPECT_EQ(header.sectionResizeMode(1), QHeaderView::Interactive);

  // Drag the right edge of "Service" 30 pixels to the right.
  const auto drag = [&](int column, int by) {
    const QPoint from(header.sectionViewportPosition(column) + header.sectionSize(column) - 1,
                      header.height() / 2);
    const QPoint to = from + QPoint(by, 0);
    QWidget* target = header.viewport();
    QTest::mousePress(target, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), target->mapToGlobal(QPointF(to)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QTest::mouseRelease(target, Qt::LeftButton, {}, to);
  };
  const int dragged = header.sectionSize(1) + 30;
  drag(1, 30);
  const int expected = units->ToUnitsX(dragged);
  ASSERT_GT(expected, 80);
  Settle([&] {
    driver_->Drain();
    const std::vector<ListColumnShape> columns = system_.GetWindowInfo(list_)->list_columns;
    return columns.size() == 2 && columns[1].width == expected;
  });
  // The engine's table has it (read while the program waits for input).
  EXPECT_EQ(windows::ListOf(*list_control_)->Format(),
            "40L~Key~@s10@" + std::to_string(expected) + "L(2)|M~Service~@s30@");
  EXPECT_EQ(header.sectionSize(1), dragged) << "the user's pixels stay";

  // The first column does not move.
  drag(0, 25);
  QCoreApplication::processEvents();
  driver_->Drain();
  EXPECT_EQ(header.sectionSize(0), units->ToPixelsX(40));
  EXPECT_EQ(system_.GetWindowInfo(list_)->list_columns[0].width, 40);
  EXPECT_TRUE(TakeEvents().empty()) << "widths and header presses raise nothing";
}

}  // namespace
}  // namespace vaultrix::platform::qt::testing
