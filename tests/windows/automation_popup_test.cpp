// POPUP through the headless driver: the menu text's items as the dump shows
// them (separators not numbered, disabled and checked items marked), chosen
// by text, by number or dismissed through script lines and the C++ API, and
// the runtime's own guard against an answer that names no choosable item.
#include <gtest/gtest.h>

#include <string>

#include "runtime/windows/popup.h"
#include "runtime/windows/window_properties.h"
#include "tests/platform/watchdog.h"
#include "tests/windows/headless_program.h"

namespace vaultrix::windows {
namespace {

constexpr const char* kPopupWindow = R"(
module "VAULTRIX$vltrx001"

window "POPPER$WINDOW"
  title "Popper"
  at 10 10 200 60
  button 1 "&Menu"
    at 4 4 40 14
  string 2 ""
    at 4 24 100 10
)";

class PopupTest : public HeadlessProgramTest {
 protected:
  PopupTest() : HeadlessProgramTest(kPopupWindow) {
    Open("POPPER$WINDOW", {}, {}, [this](WindowObject& window) {
      const EventRecord& event = *window.current_event;
      if (event.Event() == kEventAccepted && event.control != nullptr &&
          event.control->number == 1) {
        const int chosen = Popup(engine_, menu_text_);
        SetProperty(engine_, &window, 2, kPropText, 0, "chose " + std::to_string(chosen));
      }
      return kBodyDefault;
    });
  }

  // Runs a line that must fail and answers its reason.
  std::string Fails(const std::string& line) {
    std::string error;
    EXPECT_FALSE(script_.RunLine(line, &error)) << line;
    return error;
  }

  std::string menu_text_ = "&Insert|~&Change|-|+~Page &Width|+100%|Copy &Name";
  testing::Watchdog watchdog_{"popup"};
};

TEST_F(PopupTest, ItemsAreDumpedAndChosenByTextNumberOrDismissed) {
  Do("press \"&Menu\"");
  const std::string dump = Dump();
  EXPECT_NE(dump.find("popup\n"
                      "  item 1 \"&Insert\"\n"
                      "  item 2 \"&Change\" disabled\n"
                      "  separator\n"
                      "  item 3 \"Page &Width\" checked disabled\n"
                      "  item 4 \"100%\" checked\n"
                      "  item 5 \"Copy &Name\"\n"),
            std::string::npos)
      << dump;
  EXPECT_EQ(Fails("popup \"&Change\""), "popup item \"&Change\" is disabled");
  EXPECT_EQ(Fails("popup \"Delete\""), "the popup has no item \"Delete\"");
  Do("popup \"copy name \"");  // '&', case and trailing blanks do not matter
  Do("expect \"STRING 2 \\\"chose 5\\\"\"");
  Do("expect-not \"popup\"");

  Do("press \"&Menu\"");
  Do("popup #4");
  Do("expect \"chose 4\"");
  Do("press \"&Menu\"");
  Do("popup-cancel");
  Do("expect \"chose 0\"");
  EXPECT_EQ(Fails("popup-cancel"), "no popup menu is open");

  // The same through the C++ API.
  Do("press \"&Menu\"");
  std::string error;
  ASSERT_TRUE(automation().ChoosePopupItem(platform::headless::ControlRef::Parse("&insert"),
                                           &error))
      << error;
  Do("expect \"chose 1\"");
}

TEST_F(PopupTest, AnAnswerNamingNoChoosableItemCountsAsDismissed) {
  for (const int answer : {2, 3, 6, -1}) {  // disabled, disabled, past the end, nonsense
    Do("press \"&Menu\"");
    std::vector<platform::DialogRequest> open = system_.OpenDialogs();
    ASSERT_EQ(open.size(), 1u);
    platform::DialogAnswer given;
    given.popup_item = answer;
    ASSERT_TRUE(system_.AnswerDialog(open.front().id, given));
    Settle();
    EXPECT_NE(Dump().find("chose 0"), std::string::npos) << "answer " << answer;
  }
  menu_text_.clear();  // nothing to show: no popup at all
  Do("press \"&Menu\"");
  EXPECT_TRUE(system_.OpenDialogs().empty());
  EXPECT_NE(Dump().find("chose 0"), std::string::npos);
}

}  // namespace
}  // namespace vaultrix::windows
