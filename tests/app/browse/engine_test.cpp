// The browse engine on a real passwords file in the password browser's three
// orders: paging, scrolling and their ends, the first-letter locator, the
// thumb drag, an order change, the empty list, the scroll bar of a page
// that is the whole order, edits through a form, and a filter that fails.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "app/browse/engine.h"
#include "app/browse/password_orders.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"
#include "runtime/support/locale.h"
#include "runtime/windows/event_codes.h"
#include "tests/app/browse/model_surface.h"
#include "tests/app/test_support.h"

namespace vaultrix::app {
namespace {

using Strings = std::vector<std::string>;
constexpr int kList = 1, kInsert = 4, kChange = 5, kDelete = 6;

class BrowseEngineTest : public testing::AppServicesTest {
 protected:
  void SetUp() override {
    AppServicesTest::SetUp();
    UseDataDriver(&files::HalverinDriver());
    ASSERT_EQ(::chdir(scratch_.c_str()), 0);
    use_.emplace(Passwords());
    eval::PUSHSCOPE();
    BindPasswordOrders(ranges_);
  }
  void TearDown() override {
    engine_.reset();
    eval::POPSCOPE();
    use_.reset();
    ResetDeclarations();
    AppServicesTest::TearDown();
  }

  void Add(std::string_view user, std::string_view service, std::string_view url = "",
           std::string_view name = "login") {
    P_ = PasswordRecord{};
    P_.User = user;
    P_.Service = service;
    P_.URL = url;
    P_.Name = name;
    files::Add(Passwords().Block());
    ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
  }
  // `count` entries "svc NN" of Bob (his name in varying case), among
  // entries of two other users.
  void AddNumbered(int count) {
    static const char* kCases[] = {"Bob", "BOB", "bob"};
    for (int i = 0; i < count; ++i) {
      const std::string number = (i < 10 ? "0" : "") + std::to_string(i);
      Add(kCases[i % 3], "svc " + number, "https://" + number);
      Add("ann", "svc " + number);
      Add("Carl", "svc " + number + "x");
    }
  }

  void Open(std::string_view user = "Bob", std::optional<std::string> filter = std::nullopt) {
    U_.Name = user;
    BrowseDescription description = PasswordBrowseDescription(ranges_);
    description.choose_order = [this] { return order_; };
    description.list = kList;
    description.insert_button = kInsert;
    description.change_button = kChange;
    description.delete_button = kDelete;
    description.form = [this] { Form(); };
    if (filter) description.orders[kOrderByService - 1].filter = *filter;
    engine_ = std::make_unique<BrowseEngine>(std::move(description), surface_);
    engine_->RefreshWindow();
    surface_.Pump(*engine_);
  }

  // The form: adds `next_service_` for request 1, deletes the entry in the
  // buffer for 3, leaves `form_response_`.
  void Form() {
    const std::int32_t request = TakeRequest();
    if (request == kInsertRecord && form_response_ == kRequestCompleted) {
      P_.Service = next_service_;
      P_.Name = "login";
      files::Add(Passwords().Block());
      ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
    }
    if (request == kDeleteRecord && form_response_ == kRequestCompleted) {
      files::Get(Passwords().Block(), Passwords().Key(kKeyService));
      files::Delete(Passwords().Block());
      ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
    }
    LeaveResponse(form_response_);
  }

  void Event(int event, std::int32_t key_code = 0, char character = '\0') {
    (void)engine_->TakeEvent({event, kList, key_code, character});
    surface_.Pump(*engine_);
  }
  void Press(int button) {
    (void)engine_->TakeEvent({windows::kEventAccepted, button, 0, '\0'});
    surface_.Pump(*engine_);
  }

  Strings Page(int field = 0) {
    Strings shown;
    BrowseQueue& queue = engine_->Queue();
    for (int row = 1; row <= queue.Records(); ++row) {
      shown.push_back(queue.Row(row).fields[static_cast<std::size_t>(field)]);
    }
    return shown;
  }
  std::string Highlighted() {
    const int row = engine_->CurrentChoice();
    return row == 0 ? "" : engine_->Queue().Row(row).fields[0];
  }
  static Strings Numbered(int first, int last) {
    Strings names;
    for (int i = first; i <= last; ++i)
      names.push_back((i < 10 ? "svc 0" : "svc ") + std::to_string(i));
    return names;
  }

  std::optional<FileUse> use_;
  PasswordRanges ranges_;
  testing::ModelSurface surface_;
  std::unique_ptr<BrowseEngine> engine_;
  int order_ = kOrderByService;
  std::string next_service_;
  std::int32_t form_response_ = kRequestCompleted;
};

TEST_F(BrowseEngineTest, ScrollingPagesThroughOneOwnersEntries) {
  AddNumbered(25);
  Open();
  struct Step {
    int event;
    int repeat;
    int first, last;  // the page
    int choice;
  };
  const Step steps[] = {
      {0, 0, 0, 9, 1},
      {windows::kEventScrollDown, 9, 0, 9, 10},   // the highlight moves down the page
      {windows::kEventScrollDown, 1, 1, 10, 10},  // on the last row the page shifts
      {windows::kEventScrollUp, 10, 0, 9, 1},
      {windows::kEventPageDown, 1, 10, 19, 1},
      {windows::kEventPageDown, 1, 15, 24, 6},     // 5 rows could not be read
      {windows::kEventPageDown, 1, 15, 24, 10},    // not beyond the last row
      {windows::kEventScrollDown, 1, 15, 24, 10},  // the last entry: nothing moves
      {windows::kEventScrollTop, 1, 0, 9, 1},
      {windows::kEventPageUp, 1, 0, 9, 1},
      {windows::kEventScrollBottom, 1, 15, 24, 10},
  };
  for (const Step& step : steps) {
    for (int i = 0; i < step.repeat; ++i) Event(step.event);
    SCOPED_TRACE(windows::EventName(step.event));
    EXPECT_EQ(Page(), Numbered(step.first, step.last));
    EXPECT_EQ(engine_->CurrentChoice(), step.choice);
    EXPECT_EQ(surface_.selection, step.choice);
    EXPECT_EQ(P_.Service, Highlighted()) << "the highlighted row is in the buffer";
  }
  EXPECT_TRUE(surface_.bar);
  EXPECT_TRUE(surface_.enabled[kChange] && surface_.enabled[kDelete]);
}

TEST_F(BrowseEngineTest, TheFirstLetterLocatesInTheServiceOrderWhateverTheCase) {
  for (const char* service : {"apple", "Kiwi", "Mango", "melon", "pear", "Quince", "ZEBRA"}) {
    Add("Bob", service);
  }
  Add("ann", "mmm");
  Add("Bob", "lemon", "", "zz");
  surface_.visible = 3;
  Open();
  const struct {
    char letter;
    std::string highlighted;
    Strings page;
  } cases[] = {
      {'m', "Mango", {"Mango", "melon", "pear"}},  {'M', "Mango", {"Mango", "melon", "pear"}},
      {'n', "pear", {"pear", "Quince", "ZEBRA"}},  {'z', "ZEBRA", {"pear", "Quince", "ZEBRA"}},
      {'~', "ZEBRA", {"pear", "Quince", "ZEBRA"}},  // after every entry: the last page
      {'l', "lemon", {"lemon", "Mango", "melon"}},  // the name is cleared, so "zz" is found
  };
  for (const auto& c : cases) {
    Event(windows::kEventLocate, 0, c.letter);
    EXPECT_EQ(Highlighted(), c.highlighted) << c.letter;
    EXPECT_EQ(Page(), c.page) << c.letter;
  }
  Event(windows::kEventLocate, 0, ' ');
  EXPECT_EQ(Highlighted(), "lemon") << "a blank locates nothing";
}

TEST_F(BrowseEngineTest, TheThumbFollowsTheKeyDistributionAndAnOrderChange) {
  // "Aa" to "Tc": the distribution runs from "AA" to "TCZZ" in upper case.
  for (int i = 0; i < 60; ++i) {
    Add(i % 2 == 0 ? "bob" : "Bob", std::string{char('A' + i / 3), char('a' + i % 3)},
        "https://" + std::to_string(100 + i));
  }
  Open();
  ASSERT_EQ(engine_->Distribution().size(), 100u);
  EXPECT_EQ(engine_->Distribution().front(), "AA");
  EXPECT_EQ(engine_->Distribution()[49], "JMIM");
  EXPECT_EQ(engine_->Distribution().back(), "TCZZ") << "padded with the last letter";
  EXPECT_EQ(surface_.thumb, 0) << "the first entry";
  const struct {
    int thumb;
    std::string highlighted;
  } drags[] = {{50, "Ka"}, {100, "Tc"}, {1, "Aa"}, {99, "Ta"}};
  for (const auto& drag : drags) {
    surface_.thumb = drag.thumb;
    Event(windows::kEventScrollDrag);
    EXPECT_EQ(Highlighted(), drag.highlighted) << drag.thumb;
  }
  Event(windows::kEventScrollBottom);
  EXPECT_EQ(surface_.thumb, 100) << "the last entry";

  order_ = kOrderByUrl;  // the URL order takes its owner from the highlighted entry
  engine_->RefreshWindow();
  surface_.Pump(*engine_);
  EXPECT_EQ(support::ToUpper(ranges_.sort1.Clipped()), "BOB");
  EXPECT_EQ(Page(1).front(), "https://100");
  EXPECT_EQ(Page(1).size(), 10u);
  EXPECT_EQ(engine_->Order(), kOrderByUrl);
}

TEST_F(BrowseEngineTest, AnEmptyListLetsOnlyInsertAct) {
  AddNumbered(3);
  Open("Zed");
  EXPECT_EQ(engine_->RecordsInQueue(), 0);
  EXPECT_EQ(engine_->CurrentChoice(), 0);
  EXPECT_FALSE(surface_.enabled[kChange] || surface_.enabled[kDelete]);
  EXPECT_TRUE(P_.Service.IsBlank() && P_.User.IsBlank());
  for (int event :
       {windows::kEventScrollDown, windows::kEventPageDown, windows::kEventScrollBottom}) {
    Event(event);
  }
  Event(windows::kEventLocate, 0, 's');
  EXPECT_EQ(engine_->RecordsInQueue(), 0);
  Event(windows::kEventAlertKey, 0x2E);   // Delete
  Event(windows::kEventAlertKey, 0x20D);  // Ctrl+Enter
  Event(windows::kEventAlertKey, 0x2D);   // Insert
  EXPECT_EQ(surface_.pressed, std::vector<int>{kInsert});
  surface_.popup_answer = 1;
  Event(windows::kEventNewSelection, 2);  // the right button
  EXPECT_EQ(surface_.popups, Strings{"&Insert|~&Change|~&Delete"});
  EXPECT_EQ(surface_.pressed, (std::vector<int>{kInsert, kInsert}));
}

TEST_F(BrowseEngineTest, APageThatIsTheWholeOrderHasNoScrollBar) {
  AddNumbered(10);
  Open();
  EXPECT_EQ(engine_->RecordsInQueue(), 10);
  EXPECT_FALSE(surface_.bar);
  Add("bob", "svc 99");
  engine_->ForceRefresh();
  engine_->RefreshWindow();
  surface_.Pump(*engine_);
  EXPECT_TRUE(surface_.bar);
}

TEST_F(BrowseEngineTest, EditsLocateTheEntryAndKeepThePage) {
  AddNumbered(25);
  Open();
  Event(windows::kEventScrollDown, 3);
  next_service_ = "svc 125";  // between 12 and 13
  Press(kInsert);
  EXPECT_EQ(Highlighted(), "svc 125");
  EXPECT_EQ(Page().front(), "svc 125") << "a page read around the new entry";
  EXPECT_EQ(P_.User.Clipped(), "Bob") << "the insert owner is the range value";

  next_service_ = "zz last";
  Press(kInsert);
  EXPECT_EQ(Highlighted(), "zz last");
  EXPECT_EQ(Page().back(), "zz last") << "the last entry ends the last page";
  EXPECT_EQ(Page().size(), 10u);

  Event(windows::kEventScrollUp);
  const Strings before = Page();
  form_response_ = kRequestCancelled;
  Press(kChange);
  EXPECT_EQ(Page(), before);
  EXPECT_EQ(Highlighted(), "svc 24");

  form_response_ = kRequestCompleted;
  Press(kDelete);
  EXPECT_EQ(Highlighted(), "zz last");
  const Strings after = Page();
  EXPECT_EQ(std::count(after.begin(), after.end(), "svc 24"), 0);
  EXPECT_EQ(Page().size(), 10u);
  EXPECT_EQ(engine_->Response(), kRequestCancelled);
}

TEST_F(BrowseEngineTest, AFilterThatCannotBeSetIsReportedAndIgnored) {
  AddNumbered(2);
  Open("Bob", "UPPER(P_:User = (");
  ASSERT_FALSE(boxes_.empty());
  EXPECT_EQ(boxes_.front().caption, "View Open Error");
  EXPECT_NE(boxes_.front().text.find("Filter and Range Limits ignored."), std::string::npos);
  EXPECT_EQ(engine_->RecordsInQueue(), 6) << "every owner's entries";
  EXPECT_FALSE(surface_.closed);
}

}  // namespace
}  // namespace vaultrix::app
