// Mouse presses on a list that name the page row the driver saw (as the
// desktop driver lays its rows out itself), the keys a window or the list
// claims among mouse codes, and column widths that the user drags.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/window_classes.h"
#include "runtime/windows/ctllist_window.h"
#include "runtime/windows/window_properties.h"
#include "tests/platform/watchdog.h"
#include "tests/windows/headless_program.h"

namespace vaultrix::windows {
namespace {

using platform::ListRowParam;
using vaultrix::testing::Watchdog;

// 88 dialog units: a header line and 10 rows in the engine's geometry.
constexpr const char* kWindows = R"(
module "VAULTRIX$vltrx001"
window "PLAIN$WINDOW"
  title "Plain"
  at 0 0 200 130
  list 1
    use string 30
    at 4 4 180 88
    format "40L~Key~@s10@80L(2)|M~Service~@s30@"
  button 2 "&OK"
    at 4 100 40 14
)";

std::vector<std::vector<std::string>> Numbered(int count) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= count; ++i) rows.push_back({"k" + std::to_string(i), "service " + std::to_string(i)});
  return rows;
}

class ListRowClickTest : public HeadlessProgramTest {
 protected:
  ListRowClickTest() : HeadlessProgramTest(kWindows) { std::memset(use_, ' ', sizeof use_); }

  std::string UseText() override {
    std::string text(use_, sizeof use_);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
  }

  void OpenList(int records, std::function<void(WindowObject&)> opened = {}) {
    queue_.rows() = Numbered(records);
    Open("PLAIN$WINDOW", {use_}, [this, opened](WindowObject& window) {
      EXPECT_TRUE(BindListQueue(engine_, window, 1, &queue_));
      list_ = window.FindControl(1)->handle;
      if (opened) opened(window);
    });
    Do("focus #1");
    (void)TakeEvents();
  }

  // A press as the desktop driver reports it: at a pixel that in the
  // engine's own geometry is the header, naming `row` of the page.
  void Press(std::uint32_t message, int row) {
    system_.InjectMouse(list_, message, 3, 2, ListRowParam(row));
  }
  void Click(int row) {
    Press(platform::kWmLButtonDown, row);
    Press(platform::kWmLButtonUp, row);
    Settle();
  }
  void DoubleClick(int row) {
    Click(row);
    Press(platform::kWmLButtonDblClk, row);
    Press(platform::kWmLButtonUp, row);
    Settle();
  }
  std::int64_t ShownSelection() { return system_.GetWindowInfo(list_)->value; }

  Watchdog watchdog_{"list row clicks"};
  char use_[30];
  TableListQueue queue_;
  platform::WindowHandle list_ = platform::kNoWindow;
};

TEST_F(ListRowClickTest, ANamedRowIsChosenAsTheEnginesOwnClickOnItWouldBe) {
  OpenList(25);
  Click(2);
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 1, "k3"}}));
  EXPECT_EQ(ShownSelection(), 2);
  DoubleClick(2);
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventAccepted, 1, 5, "k3"}}))
      << "the first press of a double click finds the row chosen already";
  // The row counts on the page shown: scrolled to the end, row 0 is record 16.
  Do("key Ctrl+PageDown");
  (void)TakeEvents();
  Click(0);
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 1, "k16"}}));
  EXPECT_EQ(ShownSelection(), 0);
  // A right click on another row chooses it and tells as a click does.
  Press(platform::kWmRButtonDown, 3);
  Settle();
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 2, "k19"}}));
  EXPECT_EQ(ShownSelection(), 3);
}

TEST_F(ListRowClickTest, BelowTheLastRecordAndOnTheHeaderNothingIsChosen) {
  OpenList(3);
  Click(1);
  (void)TakeEvents();
  Click(7);  // a row of the page that holds no record
  Click(platform::kListNoRow);
  Press(platform::kWmLButtonDblClk, platform::kListNoRow);
  Settle();
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_EQ(ShownSelection(), 1);
  EXPECT_EQ(UseText(), "k2");
  // A right click off the rows still tells the procedure, for its popup.
  Press(platform::kWmRButtonDown, platform::kListNoRow);
  Settle();
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 2, "k2"}}));
  EXPECT_EQ(ShownSelection(), 1);
}

TEST_F(ListRowClickTest, ADoubleClickTheWindowClaimsRaisesItsAlertKeyInsteadOfAccepted) {
  OpenList(5, [](WindowObject& window) { window.alert_keys = {5, 2}; });
  DoubleClick(3);
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 1, "k4"},
                                                  {kEventAlertKey, 1, 5, "k4"}}));
  // The window's right button: the list does not move its selection.
  Press(platform::kWmRButtonDown, 0);
  Settle();
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventAlertKey, 1, 2, "k4"}}));
  EXPECT_EQ(ShownSelection(), 3);
}

TEST_F(ListRowClickTest, ADoubleClickTheListClaimsRaisesTheListsAlertKey) {
  OpenList(5, [this](WindowObject& window) {
    SetProperty(engine_, &window, 1, kPropAlertKeys, 1, "5");
  });
  DoubleClick(1);
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 1, "k2"},
                                                  {kEventAlertKey, 1, 5, "k2"}}));
}

TEST_F(ListRowClickTest, ADraggedWidthReachesTheFormatOfResizableColumnsOnly) {
  OpenList(3);
  const std::vector<platform::ListColumnShape> published = system_.GetWindowInfo(list_)->list_columns;
  EXPECT_EQ(published, (std::vector<platform::ListColumnShape>{{40, false}, {80, true}}));
  ASSERT_TRUE(system_.InjectInput(list_, platform::kListColumnWidth, 1, 123));
  ASSERT_TRUE(system_.InjectInput(list_, platform::kListColumnWidth, 0, 70));  // not "M"
  ASSERT_TRUE(system_.InjectInput(list_, platform::kListColumnWidth, 9, 70));  // no such column
  Settle();
  EXPECT_TRUE(TakeEvents().empty()) << "a width raises nothing";
  EXPECT_EQ(system_.GetWindowInfo(list_)->list_columns,
            (std::vector<platform::ListColumnShape>{{40, false}, {123, true}}));
  const ListControl* list = ListOf(*window_->object().FindControl(1));
  ASSERT_NE(list, nullptr);
  // Read while the program waits for input: the format as PROP:Format gives it.
  EXPECT_EQ(list->Format(), "40L~Key~@s10@123L(2)|M~Service~@s30@");
}

TEST(ListControlGeometry, PixelRowsAndUserWidths) {
  ListControl list(0);
  ASSERT_TRUE(list.SetFormat("40L~Key~@s10@80L(2)|M~Service~@s30@"));
  list.SetHeight(88);
  EXPECT_EQ(list.PageRowAtPixel(0), -1) << "the header line";
  EXPECT_EQ(list.PageRowAtPixel(15), -1);
  EXPECT_EQ(list.PageRowAtPixel(16), 0);
  EXPECT_EQ(list.PageRowAtPixel(16 * 3 + 15), 2);
  EXPECT_FALSE(list.ResizeColumn(0, 60)) << "not resizable";
  EXPECT_FALSE(list.ResizeColumn(2, 60));
  EXPECT_FALSE(list.ResizeColumn(-1, 60));
  EXPECT_FALSE(list.ResizeColumn(1, 80)) << "the width it has";
  const std::uint64_t before = list.revision();
  EXPECT_TRUE(list.ResizeColumn(1, 0));
  EXPECT_GT(list.revision(), before);
  EXPECT_EQ(list.GetProperty(kPropColumnWidth, 2), "1") << "never dragged away for good";
  EXPECT_EQ(list.GetProperty(kPropColumnRight, 2), std::to_string(list.format().columns[1].right));
  EXPECT_TRUE(list.ResizeColumn(1, 2000000));
  EXPECT_EQ(list.GetProperty(kPropColumnWidth, 2), std::to_string(kMaxFormatNumber));
}

}  // namespace
}  // namespace vaultrix::windows
