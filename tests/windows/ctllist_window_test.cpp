// Lists in opened windows, driven through the headless driver: what they
// publish (headers, rows, selection, scroll range), the events their keys,
// characters, scroll bar and clicks raise, and their properties through the
// engine's property interface.
#include "runtime/windows/ctllist_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/windows/window_properties.h"
#include "tests/platform/watchdog.h"
#include "tests/windows/headless_program.h"

namespace vaultrix::windows {
namespace {

using vaultrix::testing::Watchdog;

// Lists 88 dialog units high: 176 pixels, a 16-pixel header line, 10 rows.
constexpr const char* kListWindows = R"(
module "VAULTRIX$vltrx001"
window "PLAIN$WINDOW"
  title "Plain"
  at 0 0 200 130
  list 1
    use string 30
    at 4 4 180 88
    format "80L(2)|M~Service~@s30@80L(2)|M~URL~@s90@"
  button 2 "&OK"
    at 4 100 40 14
window "IMMEDIATE$WINDOW"
  title "Immediate"
  at 0 0 200 130
  list 1
    use string 30
    flags 0x803
    at 4 4 180 88
    format "80L(2)|M~Service~@s30@80L(2)|M~URL~@s90@"
)";

std::vector<std::vector<std::string>> Services(std::initializer_list<const char*> names) {
  std::vector<std::vector<std::string>> rows;
  for (const char* name : names) rows.push_back({name, std::string("www.") + name + ".example"});
  return rows;
}

std::vector<std::vector<std::string>> Numbered(int count, const char* prefix) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= count; ++i) rows.push_back({prefix + std::to_string(i), "u"});
  return rows;
}

constexpr int kF5 = platform::kVkF1 + 4;

// The first line of a dump that starts (after its indentation) with `start`.
std::string LineOf(const std::string& dump, const std::string& start) {
  std::size_t at = 0;
  while (at < dump.size()) {
    std::size_t end = dump.find('\n', at);
    if (end == std::string::npos) end = dump.size();
    std::string line = dump.substr(at, end - at);
    line.erase(0, line.find_first_not_of(' '));
    if (line.rfind(start, 0) == 0) return line;
    at = end + 1;
  }
  return {};
}

class ListWindowTest : public HeadlessProgramTest {
 protected:
  ListWindowTest() : HeadlessProgramTest(kListWindows) { std::memset(use_, ' ', sizeof use_); }

  std::string UseText() override {
    std::string text(use_, sizeof use_);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
  }

  // Opens the window with its list bound to queue_; `body` runs for every event.
  void OpenList(const std::string& structure, std::function<int(WindowObject&)> body = {},
                std::function<void(WindowObject&)> opened = {}) {
    Open(structure, {use_},
         [this, opened](WindowObject& window) {
           EXPECT_TRUE(BindListQueue(engine_, window, 1, &queue_));
           if (opened) opened(window);
         },
         std::move(body));
    Do("focus #1");
    (void)TakeEvents();
  }

  std::string Property(WindowObject& window, std::int32_t number, std::int32_t index = 0) {
    return GetProperty(engine_, &window, 1, number, index);
  }

  Watchdog watchdog_{"list window test"};
  char use_[30];
  TableListQueue queue_;
};

TEST_F(ListWindowTest, ScrollRangeOfFiveRecordsInTenRowsInBothModes) {
  queue_.rows() = Services({"alpha", "beta", "gamma", "delta", "epsilon"});
  std::string items;
  OpenList("PLAIN$WINDOW", {}, [&](WindowObject& w) { items = Property(w, kPropItems); });
  EXPECT_EQ(items, "10");
  const std::string dump = Dump();
  EXPECT_NE(dump.find("  LIST 1 scroll=0 focus\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("    header \"Service"), std::string::npos) << dump;
  EXPECT_NE(dump.find("    row 5 \"epsilon"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("row 6"), std::string::npos) << dump;
}

TEST_F(ListWindowTest, ImmediateListKeepsItsRangeWithFewRecords) {
  queue_.rows() = Services({"alpha", "beta", "gamma", "delta", "epsilon"});
  OpenList("IMMEDIATE$WINDOW");
  EXPECT_NE(Dump().find("  LIST 1 scroll=0 range=0..100 focus\n"), std::string::npos) << Dump();
}

TEST_F(ListWindowTest, NotImmediateListScrollsItselfOverTheQueue) {
  queue_.rows() = Numbered(25, "service ");
  OpenList("PLAIN$WINDOW");
  EXPECT_NE(Dump().find("LIST 1 scroll=0 range=0..15"), std::string::npos) << Dump();
  Do("key Ctrl+PageDown");
  // The last record is chosen and shown at the bottom of the page.
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 0x222, "service 25"}}));
  std::string dump = Dump();
  EXPECT_NE(dump.find("LIST 1 scroll=15 range=0..15"), std::string::npos) << dump;
  EXPECT_NE(dump.find("row 1 \"service 16"), std::string::npos) << dump;
  EXPECT_NE(dump.find("row* 10 \"service 25"), std::string::npos) << dump;
  Do("scroll #1 Top");
  EXPECT_TRUE(TakeEvents().empty()) << "scrolling itself raises nothing";
  EXPECT_NE(Dump().find("row 1 \"service 1 "), std::string::npos) << Dump();
}

TEST_F(ListWindowTest, ImmediateKeysAndScrollBarRaiseScrollEventsAtOnce) {
  queue_.rows() = Numbered(10, "page one ");
  std::vector<int> modal_counts;
  OpenList("IMMEDIATE$WINDOW", [&](WindowObject& window) {
    const int event = window.current_event->Event();
    modal_counts.push_back(engine_.ModalCount());
    if (event == kEventScrollDown) {
      queue_.rows() = Numbered(10, "page two ");  // the procedure refills the page
    }
    return kBodyDefault;
  });
  modal_counts.clear();
  Do("key Ctrl+PageDown PageDown Ctrl+PageUp Home End Up Down");
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventScrollBottom, 1, 0x222, ""},
                                                  {kEventPageDown, 1, 0x22, ""},
                                                  {kEventScrollTop, 1, 0x221, ""},
                                                  {kEventScrollTop, 1, 0x24, ""},
                                                  {kEventScrollBottom, 1, 0x23, ""},
                                                  {kEventScrollUp, 1, 0x26, ""},
                                                  {kEventScrollDown, 1, 0x28, ""}}));
  EXPECT_EQ(modal_counts, std::vector<int>(7, 1)) << "keys are delivered synchronously";
  // The body's refill is shown without a word from the procedure.
  EXPECT_NE(Dump().find("row 1 \"page two 1 "), std::string::npos) << Dump();

  Do("scroll #1 LineDown");
  Do("scroll #1 PageUp");
  Do("scroll #1 Bottom");
  Do("thumb #1 40");
  const std::vector<SeenEvent> bar = TakeEvents();
  ASSERT_EQ(bar.size(), 4u);
  EXPECT_EQ(bar[0].event, kEventScrollDown);
  EXPECT_EQ(bar[1].event, kEventPageUp);
  EXPECT_EQ(bar[2].event, kEventScrollBottom);
  EXPECT_EQ(bar[3].event, kEventScrollDrag);
  EXPECT_NE(Dump().find("LIST 1 scroll=40 range=0..100"), std::string::npos) << Dump();
  Do("chars k");
  const std::vector<SeenEvent> locate = TakeEvents();
  ASSERT_EQ(locate.size(), 1u);
  EXPECT_EQ(locate[0].event, kEventLocate);
  EXPECT_EQ(locate[0].control, 1);
  CloseProgram();
}

TEST_F(ListWindowTest, TypedCharacterFindsTheNextRecordWrapping) {
  queue_.rows() = Services({"Alpha", "beta", "apple", "Cherry"});
  OpenList("PLAIN$WINDOW");
  Do("pick #1 3");
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 1, "apple"}}));
  Do("chars a");  // from the row after "apple", round to the first
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 'A', "Alpha"}}));
  EXPECT_NE(Dump().find("row* 1 \"Alpha"), std::string::npos) << Dump();
  Do("chars A");
  EXPECT_EQ(TakeEvents(),
            (std::vector<SeenEvent>{{kEventNewSelection, 1, 0x100 | 'A', "apple"}}));
  Do("chars z");
  EXPECT_TRUE(TakeEvents().empty()) << "no record starts with z";
  EXPECT_NE(Dump().find("row* 3 \"apple"), std::string::npos) << Dump();
}

TEST_F(ListWindowTest, ChoosingRowsStoresTheValueBeforeTheEvents) {
  queue_.rows() = Services({"alpha", "beta", "gamma"});
  OpenList("PLAIN$WINDOW");
  Do("pick #1 \"beta\" double");
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 1, "beta"},
                                                  {kEventAccepted, 1, 5, "beta"}}));
  Do("pick #1 2 right");
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 2, "beta"}}))
      << "a right click tells the procedure even on the chosen row";
  Do("key Down Enter");
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventNewSelection, 1, 0x28, "gamma"},
                                                  {kEventAccepted, 1, 0x0D, "gamma"}}));
  std::string error;
  EXPECT_FALSE(automation().PickRow(platform::headless::ControlRef::Parse("#1"), 4,
                                    platform::headless::RowClick::kClick, &error));
  EXPECT_EQ(error, "the list shows 3 rows; no row 4");
}

TEST_F(ListWindowTest, PropertiesReachTheListAndWhatItShows) {
  queue_.rows() = Numbered(30, "entry ");
  std::string format_before;
  std::string position;
  std::string selected;
  OpenList(
      "PLAIN$WINDOW",
      [&](WindowObject& window) {
        if (window.current_event->Event() == kEventAlertKey) {
          position = Property(window, kPropVScrollPos);
          selected = Property(window, kPropSelected);
        }
        return kBodyDefault;
      },
      [&](WindowObject& window) {
        format_before = Property(window, kPropFormat);
        SetProperty(engine_, &window, 1, kPropFormat, 0, "60R~Name~@s20@");
        SetProperty(engine_, &window, 1, kPropVScrollPos, 0, "7");
        SetProperty(engine_, &window, 1, kPropSelected, 0, "9");
        SetProperty(engine_, &window, 1, kPropAlertKeys, 1, std::to_string(kF5));
      });
  EXPECT_EQ(format_before, "80L(2)|M~Service~@s30@80L(2)|M~URL~@s90@");
  const std::string dump = Dump();
  // One right-aligned column of 15 characters; the list scrolled to record 8.
  EXPECT_EQ(LineOf(dump, "header"), "header \"           Name\"") << dump;
  EXPECT_EQ(LineOf(dump, "row 1 "), "row 1 \"        entry 8\"") << dump;
  EXPECT_EQ(LineOf(dump, "row* "), "row* 2 \"        entry 9\"") << dump;
  Do("key F5");
  EXPECT_EQ(TakeEvents(), (std::vector<SeenEvent>{{kEventAlertKey, 1, kF5, "entry 9"}}));
  CloseProgram();
  EXPECT_EQ(position, "7");
  EXPECT_EQ(selected, "9");
}

}  // namespace
}  // namespace vaultrix::windows
