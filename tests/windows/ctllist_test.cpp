// The list control's behaviour: the rows that fit, the scroll range in both
// modes, the events of keys, the scroll bar, typed characters and clicks,
// choosing rows into the use variable, alert keys, and its properties.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "runtime/windows/ctllist.h"
#include "runtime/windows/description_view.h"

namespace vaultrix::windows {
namespace {

using namespace list_keys;

constexpr std::string_view kUserList = "80L(2)|M~Name~@s30@";
constexpr std::string_view kBrowser =
    "80L(2)|M~Service~@s30@80L(2)|M~URL~@s90@80L(2)|M~Name~@s30@80L(2)|M~Notes~@s255@";
// 16-pixel lines and a 16-pixel header: 88 dialog units (176 pixels) hold 10 rows.
constexpr std::int32_t kTenRows = 88;

TableListQueue Records(int count) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < count; ++i) rows.push_back({"name" + std::to_string(i)});
  return TableListQueue(std::move(rows));
}

ListControl MakeList(std::uint32_t attributes, std::string_view format = kUserList) {
  ListControl list(attributes);
  EXPECT_TRUE(list.SetFormat(format));
  list.SetHeight(kTenRows);
  return list;
}

std::vector<EventCode> Codes(const ListResponse& response) {
  std::vector<EventCode> codes;
  for (const ListEvent& event : response.events) codes.push_back(event.code);
  return codes;
}

struct TextVariable {
  std::array<char, 10> text{};
  FixedTextUse use{text};
  std::string value() const { return std::string(text.data(), text.size()); }
};

TEST(ListControlTest, RowsThatFitFollowTheHeight) {
  ListControl list = MakeList(0);
  EXPECT_EQ(list.VisibleRows(), 10);
  EXPECT_EQ(list.HeaderHeightPixels(), 16);
  EXPECT_EQ(list.GetProperty(kPropItems, 0), "10");
  list.SetHeight(4);  // less than the header: still one row
  EXPECT_EQ(list.VisibleRows(), 1);
  ASSERT_TRUE(list.SetFormat("80L@s30@/80L@s30@"));  // two lines a row, no header
  list.SetHeight(kTenRows);
  EXPECT_EQ(list.VisibleRows(), 5);
}

TEST(ListControlTest, CreatedFromItsDescription) {
  ControlView view;
  view.type = 0x0E;
  view.flags = 0x803;
  view.at.height = 128;
  view.format = kBrowser;
  const ListControl list = ListControl::FromDescription(view);
  EXPECT_TRUE(list.Immediate());
  EXPECT_EQ(list.format().columns.size(), 4u);
  EXPECT_EQ(list.VisibleRows(), 15);
  EXPECT_EQ(list.GetProperty(kPropFormat, 0), std::string(kBrowser));
}

TEST(ListControlTest, ScrollRangeForFiveRecordsInTenRows) {
  TableListQueue five = Records(5);
  ListControl moving = MakeList(0);
  moving.BindQueue(&five);
  EXPECT_EQ(moving.ScrollRange(), (ListScrollRange{0, 0, false}));
  ListControl immediate = MakeList(0x803);
  immediate.BindQueue(&five);
  EXPECT_EQ(immediate.ScrollRange(), (ListScrollRange{0, 100, true}));

  TableListQueue thirty = Records(30);
  moving.BindQueue(&thirty);
  EXPECT_EQ(moving.ScrollRange(), (ListScrollRange{0, 20, true}));
  // Growing the list until everything fits hides the range again.
  moving.SetHeight(8 + 30 * 8);
  EXPECT_EQ(moving.ScrollRange(), (ListScrollRange{0, 0, false}));
}

TEST(ListControlTest, ImmediateKeysRaiseScrollEvents) {
  ListControl list = MakeList(0x803);
  TableListQueue page = Records(10);
  list.BindQueue(&page);
  const std::int32_t kExtended = 0x800;
  const struct {
    std::int32_t key;
    EventCode code;
  } kCases[] = {
      {kHome, kEventScrollTop},
      {kEnd, kEventScrollBottom},
      {kUp, kEventScrollUp},
      {kDown, kEventScrollDown},
      {kPageUp, kEventPageUp},
      {kPageDown, kEventPageDown},
      {kCtrl | kPageUp, kEventScrollTop},
      {kCtrl | kPageDown | kExtended, kEventScrollBottom},
  };
  for (const auto& c : kCases) {
    const ListResponse response = list.KeyDown(c.key);
    EXPECT_TRUE(response.handled);
    ASSERT_EQ(response.events.size(), 1u) << c.key;
    EXPECT_EQ(response.events[0].code, c.code) << c.key;
    EXPECT_EQ(response.events[0].key_code, c.key);
    EXPECT_TRUE(response.events[0].synchronous);
  }
  EXPECT_EQ(EventName(list.KeyDown(kCtrl | kPageDown).events[0].code), "EVENT:ScrollBottom");
  // The list leaves its selection to the procedure in this mode.
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_FALSE(list.KeyDown(0x41).handled);
  EXPECT_FALSE(list.KeyDown(kAlt | kDown).handled);
}

TEST(ListControlTest, ImmediateScrollBarAndThumb) {
  ListControl list = MakeList(0x803);
  using A = ListScrollAction;
  EXPECT_EQ(Codes(list.Scroll(A::kLineUp)), std::vector<EventCode>{kEventScrollUp});
  EXPECT_EQ(Codes(list.Scroll(A::kLineDown)), std::vector<EventCode>{kEventScrollDown});
  EXPECT_EQ(Codes(list.Scroll(A::kPageUp)), std::vector<EventCode>{kEventPageUp});
  EXPECT_EQ(Codes(list.Scroll(A::kPageDown)), std::vector<EventCode>{kEventPageDown});
  EXPECT_EQ(Codes(list.Scroll(A::kTop)), std::vector<EventCode>{kEventScrollTop});
  EXPECT_EQ(Codes(list.Scroll(A::kBottom)), std::vector<EventCode>{kEventScrollBottom});
  EXPECT_TRUE(list.Scroll(A::kEndScroll).events.empty());

  EXPECT_EQ(Codes(list.Scroll(A::kThumbTrack, 37)), std::vector<EventCode>{kEventScrollTrack});
  EXPECT_EQ(list.GetProperty(kPropVScrollPos, 0), "37");
  EXPECT_EQ(Codes(list.Scroll(A::kThumbPosition, 250)), std::vector<EventCode>{kEventScrollDrag});
  EXPECT_EQ(list.ScrollPosition(), 100);
  EXPECT_EQ(list.SetProperty(kPropVScrollPos, 0, "-5"), PropertyStatus::kOk);
  EXPECT_EQ(list.ScrollPosition(), 0);
  // The procedure hides and shows the bar itself.
  EXPECT_EQ(list.SetProperty(kPropVScrollShown, 0, "0"), PropertyStatus::kOk);
  EXPECT_FALSE(list.ScrollRange().shown);
}

TEST(ListControlTest, ImmediateTypedCharactersLocate) {
  ListControl list = MakeList(0x803);
  const ListResponse response = list.TypeCharacter('m');
  ASSERT_EQ(response.events.size(), 1u);
  EXPECT_EQ(response.events[0].code, kEventLocate);
  EXPECT_EQ(response.events[0].key_character, 'm');
  EXPECT_FALSE(list.TypeCharacter(' ').handled);
  EXPECT_FALSE(list.TypeCharacter('\t').handled);
}

TEST(ListControlTest, ScrollingOverTheQueueItself) {
  ListControl list = MakeList(0);
  TableListQueue queue = Records(30);
  list.BindQueue(&queue);
  using A = ListScrollAction;
  EXPECT_TRUE(list.Scroll(A::kLineDown).events.empty());
  EXPECT_EQ(list.TopRow(), 1);
  (void)list.Scroll(A::kPageDown);
  EXPECT_EQ(list.TopRow(), 11);
  (void)list.Scroll(A::kBottom);
  EXPECT_EQ(list.TopRow(), 20);
  (void)list.Scroll(A::kLineDown);
  EXPECT_EQ(list.TopRow(), 20);
  (void)list.Scroll(A::kThumbTrack, 7);
  EXPECT_EQ(list.ScrollPosition(), 7);
  EXPECT_EQ(list.ProducePage().rows.front().substr(0, 5), "name7");
  (void)list.Scroll(A::kTop);
  EXPECT_EQ(list.TopRow(), 0);
  // A queue that shrinks pulls the first row shown back.
  (void)list.Scroll(A::kBottom);
  queue.rows().resize(12);
  list.QueueChanged();
  EXPECT_EQ(list.TopRow(), 2);
}

TEST(ListControlTest, NavigationKeysMoveTheSelection) {
  ListControl list = MakeList(0);
  TableListQueue queue = Records(30);
  TextVariable variable;
  list.BindQueue(&queue);
  list.BindUse(&variable.use);
  ListResponse response = list.KeyDown(kDown);
  EXPECT_EQ(Codes(response), std::vector<EventCode>{kEventNewSelection});
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(variable.value(), "name0     ");
  EXPECT_TRUE(list.KeyDown(kUp).events.empty());  // already on the first: no move
  (void)list.KeyDown(kPageDown);
  EXPECT_EQ(list.Selected(), 10);
  EXPECT_EQ(list.TopRow(), 1);  // scrolled so that the selection shows
  (void)list.KeyDown(kEnd);
  EXPECT_EQ(list.Selected(), 29);
  EXPECT_EQ(list.TopRow(), 20);
  EXPECT_EQ(list.SelectedPageRow(), 9);
  (void)list.KeyDown(kCtrl | kPageUp);
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(list.TopRow(), 0);
  // Ctrl+Page Down goes to the last record, not a page further.
  (void)list.KeyDown(kCtrl | kPageDown);
  EXPECT_EQ(list.Selected(), 29);
}

TEST(ListControlTest, TypedCharacterSearchesTheValueColumnAndWraps) {
  ListControl list = MakeList(0, "40L@s10@40L?@s10@");
  TableListQueue queue({{"1", "apple"}, {"2", "Banana"}, {"3", "cherry"}, {"4", "berry"}});
  TextVariable variable;
  list.BindQueue(&queue);
  list.BindUse(&variable.use);
  EXPECT_EQ(Codes(list.TypeCharacter('b')), std::vector<EventCode>{kEventNewSelection});
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(variable.value(), "Banana    ");
  (void)list.TypeCharacter('B');
  EXPECT_EQ(list.Selected(), 3);
  (void)list.TypeCharacter('b');
  EXPECT_EQ(list.Selected(), 1);  // wrapped past the last record
  const ListResponse none = list.TypeCharacter('z');
  EXPECT_TRUE(none.events.empty());
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_TRUE(list.TypeCharacter('C').events.size() == 1 && list.Selected() == 2);
}

TEST(ListControlTest, ClicksChooseAndAcceptRows) {
  ListControl list = MakeList(0);
  TableListQueue queue = Records(30);
  TextVariable variable;
  list.BindQueue(&queue);
  list.BindUse(&variable.use);
  (void)list.Scroll(ListScrollAction::kLineDown);
  EXPECT_EQ(Codes(list.Click(2, kLeftClick)), std::vector<EventCode>{kEventNewSelection});
  EXPECT_EQ(list.Selected(), 3);
  EXPECT_EQ(variable.value(), "name3     ");
  EXPECT_TRUE(list.Click(2, kLeftClick).events.empty());
  EXPECT_EQ(Codes(list.Click(2, kLeftDoubleClick)), std::vector<EventCode>{kEventAccepted});
  EXPECT_EQ(Codes(list.Click(4, kLeftDoubleClick)),
            (std::vector<EventCode>{kEventNewSelection, kEventAccepted}));
  // A right click always reaches the procedure, with its key code.
  ListResponse right = list.Click(4, kRightClick);
  ASSERT_EQ(right.events.size(), 1u);
  EXPECT_EQ(right.events[0], (ListEvent{kEventNewSelection, kRightClick, '\0', false}));
  TableListQueue empty;
  list.BindQueue(&empty);
  right = list.Click(0, kRightClick);
  EXPECT_EQ(Codes(right), std::vector<EventCode>{kEventNewSelection});
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_TRUE(list.Click(0, kLeftDoubleClick).events.empty());
}

TEST(ListControlTest, EnterAcceptsAndAnEmptyChoiceClearsTheVariable) {
  ListControl list = MakeList(0);
  TableListQueue queue = Records(3);
  TextVariable variable;
  variable.text.fill('x');
  list.BindQueue(&queue);
  list.BindUse(&variable.use);
  EXPECT_EQ(Codes(list.KeyDown(kEnter)), std::vector<EventCode>{kEventAccepted});
  EXPECT_EQ(variable.value(), std::string(10, ' '));
  EXPECT_EQ(list.SetProperty(kPropSelected, 0, "2"), PropertyStatus::kOk);
  EXPECT_EQ(variable.value(), "name1     ");
  EXPECT_EQ(list.GetProperty(kPropSelected, 0), "2");
  EXPECT_EQ(list.SetProperty(kPropSelected, 0, "4"), PropertyStatus::kInvalid);
  EXPECT_EQ(list.SetProperty(kPropSelected, 0, "0"), PropertyStatus::kOk);
  EXPECT_EQ(variable.value(), std::string(10, ' '));
}

TEST(ListControlTest, AlertKeysComeFirst) {
  ListControl list = MakeList(0x803);
  TableListQueue queue = Records(5);
  list.BindQueue(&queue);
  ASSERT_EQ(list.SetProperty(kPropAlertKeys, 1, std::to_string(0x2D)), PropertyStatus::kOk);
  ASSERT_EQ(list.SetProperty(kPropAlertKeys, 2, std::to_string(kCtrl | kEnter)),
            PropertyStatus::kOk);
  ASSERT_EQ(list.SetProperty(kPropAlertKeys, 3, std::to_string(kLeftDoubleClick)),
            PropertyStatus::kOk);
  EXPECT_EQ(list.GetProperty(kPropAlertKeys, 2), std::to_string(kCtrl | kEnter));
  EXPECT_EQ(Codes(list.KeyDown(0x2D | 0x800)), std::vector<EventCode>{kEventAlertKey});
  EXPECT_EQ(Codes(list.KeyDown(kCtrl | kEnter)), std::vector<EventCode>{kEventAlertKey});
  // A double click chooses its row first, then raises the alert instead of accepting.
  EXPECT_EQ(Codes(list.Click(3, kLeftDoubleClick)),
            (std::vector<EventCode>{kEventNewSelection, kEventAlertKey}));
  EXPECT_EQ(list.Selected(), 3);
  EXPECT_EQ(Codes(list.KeyDown(kEnter)), std::vector<EventCode>{kEventAccepted});
}

TEST(ListControlTest, TreeRowsExpandAndContract) {
  ListControl list = MakeList(0, "80LT(LB)@s30@");
  TableListQueue queue(std::vector<std::vector<std::string>>{{"root", "1"}, {"leaf", "2"}});
  list.BindQueue(&queue);
  EXPECT_TRUE(list.KeyDown(kRight).events.empty());  // nothing chosen yet
  (void)list.Click(1, kLeftClick);
  EXPECT_EQ(Codes(list.KeyDown(kRight | 0x800)), std::vector<EventCode>{kEventExpanded});
  EXPECT_EQ(Codes(list.KeyDown(kLeft)), std::vector<EventCode>{kEventContracted});
  ListControl flat = MakeList(0);
  EXPECT_FALSE(flat.KeyDown(kRight).handled);
}

TEST(ListControlTest, FormatPropertyReadsBackWhatWasWritten) {
  ListControl list = MakeList(0);
  const std::string import =
      "65L(1)M~Target Field~S(75)@s50@8C~=~@s1@65L(1)~Import Field~S(75)@s50@";
  EXPECT_EQ(list.SetProperty(kPropFormat, 0, import), PropertyStatus::kOk);
  EXPECT_EQ(list.GetProperty(kPropFormat, 0), import);
  EXPECT_EQ(list.SetProperty(kPropFormat, 0, "65L(1"), PropertyStatus::kInvalid);
  EXPECT_EQ(list.GetProperty(kPropFormat, 0), import);
  EXPECT_EQ(list.GetProperty(kPropColumnCount, 0), "3");
  EXPECT_EQ(list.GetProperty(kPropColumnHeader, 2), "=");
  EXPECT_EQ(list.GetProperty(kPropColumnAlign, 2), "C");
  EXPECT_EQ(list.GetProperty(kPropColumnScrollWidth, 3), "75");
  EXPECT_EQ(list.GetProperty(kPropColumnRight, 1), "130");
  EXPECT_EQ(list.GetProperty(kPropColumnHeader, 4), "");
  EXPECT_EQ(list.GetProperty(0x7C00, 0), std::nullopt);
  EXPECT_EQ(list.SetProperty(0x7C00, 0, "x"), PropertyStatus::kNotListProperty);
}

TEST(ListControlTest, ColumnPropertiesRewriteTheFormat) {
  ListControl list = MakeList(0, "80L(2)|M~Name~@s30@40L@s5@");
  EXPECT_EQ(list.SetProperty(kPropColumnWidth, 1, "120"), PropertyStatus::kOk);
  EXPECT_EQ(list.SetProperty(kPropColumnHeaderAlign, 1, "R"), PropertyStatus::kOk);
  EXPECT_EQ(list.SetProperty(kPropColumnPicture, 2, "@n5"), PropertyStatus::kOk);
  EXPECT_EQ(list.SetProperty(kPropColumnField, 2, "7"), PropertyStatus::kOk);
  EXPECT_EQ(list.SetProperty(kPropColumnValue, 2, "1"), PropertyStatus::kOk);
  EXPECT_EQ(list.SetProperty(kPropColumnResizable, 1, "0"), PropertyStatus::kOk);
  EXPECT_EQ(list.GetProperty(kPropFormat, 0), "120L(2)|~Name~R@s30@40L#7#@n5@?");
  EXPECT_EQ(list.format().ValueColumn(), 1);
  EXPECT_EQ(list.SetProperty(kPropColumnScrollWidth, 2, "60"), PropertyStatus::kOk);
  EXPECT_EQ(list.GetProperty(kPropFormat, 0), "120L(2)|~Name~R@s30@40LS(60)#7#@n5@?");
  EXPECT_EQ(list.GetProperty(kPropColumnRight, 1), "240");
  // Values no format could carry are refused.
  EXPECT_EQ(list.SetProperty(kPropColumnHeader, 1, "a~b"), PropertyStatus::kInvalid);
  EXPECT_EQ(list.SetProperty(kPropColumnPicture, 1, "@s3@x"), PropertyStatus::kInvalid);
  EXPECT_EQ(list.SetProperty(kPropColumnWidth, 3, "10"), PropertyStatus::kInvalid);
  EXPECT_EQ(list.SetProperty(kPropColumnWidth, 1, "wide"), PropertyStatus::kInvalid);
  EXPECT_EQ(list.SetProperty(kPropColumnLeft, 1, "3"), PropertyStatus::kInvalid);
  ListFormat again;
  ASSERT_TRUE(ParseListFormat(*list.GetProperty(kPropFormat, 0), &again));
  LayOutListColumns(again, list.metrics());
  EXPECT_EQ(again, list.format());
}

TEST(ListControlTest, GroupProperties) {
  ListControl list = MakeList(0, "[40L~A~@s5@40L~B~@s5@]~AB~10L@s1@");
  EXPECT_EQ(list.GetProperty(kPropGroupHeader, 1), "AB");
  EXPECT_EQ(list.GetProperty(kPropGroupColumns, 1), "2");
  EXPECT_EQ(list.GetProperty(kPropColumnGroup, 3), "2");
  EXPECT_EQ(list.SetProperty(kPropGroupWidth, 1, "90"), PropertyStatus::kOk);
  EXPECT_EQ(list.SetProperty(kPropGroupHeader, 1, "Both"), PropertyStatus::kOk);
  EXPECT_EQ(list.SetProperty(kPropGroupHeader, 2, "x"), PropertyStatus::kInvalid);
  EXPECT_EQ(list.GetProperty(kPropFormat, 0), "[40L~A~@s5@40L~B~@s5@](90)~Both~10L@s1@");
  EXPECT_EQ(list.HeaderHeightPixels(), 32);  // the group's line and the columns' line
}

TEST(EventCodesTest, NamesAndCodes) {
  EXPECT_EQ(EventName(kEventScrollBottom), "EVENT:ScrollBottom");
  EXPECT_EQ(EventName(kEventScrollDrag), "EVENT:ScrollDrag");
  EXPECT_EQ(EventName(kEventIconized), "EVENT:Iconized");
  EXPECT_EQ(EventName(kEventScrollTrack), "");
  EXPECT_EQ(EventName(0x207), "");
  EXPECT_EQ(EventByName("event:newselection"), kEventNewSelection);
  EXPECT_EQ(EventByName("EVENT:DDEpoke"), kEventDdePoke);
  EXPECT_EQ(EventByName("EVENT:Nothing"), 0);
  EXPECT_TRUE(IsFieldEvent(kEventSelected));
  EXPECT_TRUE(IsFieldEvent(kEventScrollTrack));
  EXPECT_FALSE(IsFieldEvent(kEventTimer));
}

}  // namespace
}  // namespace vaultrix::windows
