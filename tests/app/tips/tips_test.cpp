// The tip of the day, the tip list and the tip form end to end on real data
// files: which tip the about window shows and what it writes to
// "VAULTRIX.INI", "&Next" and "&Previous" round the tips, the numbering of
// new tips in the form, change and delete through the list, and the tips a
// new data directory starts with.
#include <gtest/gtest.h>

#include "app/dictionary/data_dictionary.h"
#include "app/frame/frame.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/services/window_placement.h"
#include "app/tips/tip_of_day.h"
#include "app/tips/windows.h"
#include "app/tips/tips.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"
#include "runtime/support/profile.h"
#include "tests/app/users/users_test_support.h"

namespace vaultrix::app {
namespace {

using Strings = std::vector<std::string>;

struct StoredTip {
  std::int64_t number;
  std::string text;
  friend bool operator==(const StoredTip&, const StoredTip&) = default;
  friend void PrintTo(const StoredTip& tip, std::ostream* out) {
    *out << tip.number << ":" << tip.text;
  }
};
using Tips = std::vector<StoredTip>;

class TipsTest : public testing::UsersTest {
 protected:
  using testing::FrameTest::Press;
  using testing::UsersTest::Press;

  // Tips numbered as given, with the texts "tip N".
  void WriteTips(const std::vector<std::int64_t>& numbers) {
    {
      FileUse file(TipOfTheDay());
      for (std::int64_t number : numbers) {
        TIP = TipRecord{};
        SetTipNumber(number);
        support::AssignFixed(TipOfTheDay().MemoText(kMemoTipDesc), "tip " + std::to_string(number));
        files::Add(TipOfTheDay().Block());
        ASSERT_EQ(support::ErrorCode(), 0) << support::Error();
      }
    }
    ResetDeclarations();
  }
  Tips ReadTips() {
    Tips tips;
    FileUse file(TipOfTheDay());
    files::Set(TipOfTheDay().Key(kFirstKey));
    for (files::Next(TipOfTheDay().Block()); support::ErrorCode() == 0;
         files::Next(TipOfTheDay().Block())) {
      tips.push_back(
          {TipNumber(), std::string(support::CLIP(support::AsText(TipOfTheDay().MemoText(0))))});
    }
    return tips;
  }
  static std::string Setting(std::string_view key) {
    return support::GetIni(kTipOfDaySection, key, "(missing)", kProgramIniFile);
  }
  static void Set(std::string_view key, std::string_view value) {
    ASSERT_EQ(support::PutIni(kTipOfDaySection, key, value, kProgramIniFile), 0);
  }
  // The about window as the user sees it: the tip, then "<" and ">" for the
  // shown "&Previous" and "&Next" buttons.
  std::string About() {
    const platform::WindowHandle window = Window("About");
    if (window == platform::kNoWindow) return "(closed)";
    std::string seen(support::CLIP(Control(window, kAboutTipText)->text));
    if (Control(window, kAboutPrevious)->visible) seen += " <";
    if (Control(window, kAboutNext)->visible) seen += " >";
    return seen;
  }
  Strings ListRows() {
    Strings rows;
    const auto list = Control(Window("Browse Tips"), kBrowseTipsList);
    if (!list) return {"(no list)"};
    for (const std::string& row : list->rows) rows.emplace_back(support::CLIP(row));
    return rows;
  }
};

TEST_F(TipsTest, TheTipShownFollowsFirstTipAndMovesItOn) {
  struct Case {
    const char* first_tip;  // nullptr: missing
    const char* shown;
    const char* written;
  };
  const Case cases[] = {
      {nullptr, "tip 2 >", "3"},                           // from the first tip of the file
      {"3", "tip 3 < >", "4"},   {"4", "tip 5 < >", "6"},  // a gap: the next tip after it
      {"8", "tip 2 >", "3"},  // past the last tip: the first, "&Previous" hidden
      {"junk", "tip 2 >", "3"},
  };
  WriteTips({2, 3, 5, 7});
  Call(
      [&] {
        for (const Case& c : cases) {
          if (c.first_tip == nullptr) {
            (void)support::DeleteIniKey(kTipOfDaySection, kFirstTipKey, kProgramIniFile);
          } else {
            Set(kFirstTipKey, c.first_tip);
          }
          app::About();
        }
      },
      0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first_tip == nullptr ? "missing" : c.first_tip);
    EXPECT_EQ(About(), c.shown);
    EXPECT_EQ(Setting(kFirstTipKey), c.written);
    Press("&OK");
  }
  ASSERT_TRUE(Returned());
  EXPECT_EQ(Setting(kShowTipKey), "1") << "written back when the window closes";
}

TEST_F(TipsTest, NextAndPreviousGoRoundTheTips) {
  WriteTips({1, 2, 3});
  Set(kFirstTipKey, "3");
  Call(app::About, 0);
  EXPECT_EQ(About(), "tip 3 < >");
  Press("&Next");
  EXPECT_EQ(About(), "tip 1 < >") << "after the last the first; \"&Previous\" shown again";
  EXPECT_EQ(Setting(kFirstTipKey), "2");
  Press("&Previous");
  EXPECT_EQ(About(), "tip 3 < >") << "before the first the last";
  Press("&Previous");
  EXPECT_EQ(About(), "tip 2 < >");
  EXPECT_EQ(Setting(kFirstTipKey), "3");
  Press("&OK");
  ASSERT_TRUE(Returned());
}

// Without tips the window shows an empty tip and neither button; a tip added
// through "&Add Your Own Tips" is shown on return, with "&Next" back.
TEST_F(TipsTest, AnEmptyTipsFileShowsAnEmptyTipWithoutButtons) {
  WriteTips({});
  Set(kShowTipKey, "5");
  Call(app::About, 0);
  EXPECT_EQ(About(), "");
  EXPECT_EQ(Setting(kFirstTipKey), "1");
  Press("&Add Your Own Tips");
  Press("&Insert");
  Type("Tip:", "mine");
  Press("&OK");
  Press("Cancel");
  Press("Cl&ose");
  EXPECT_EQ(About(), "mine >");
  Press("&OK");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(Setting(kFirstTipKey), "2");
  EXPECT_EQ(Setting(kShowTipKey), "1") << "any non-zero value is written back as 1";
}

// Each "&OK" stores the tip typed and numbers the next one; leaving removes
// only the blank tip the form was filling. A cancelled form leaves no trace,
// so the next new tip takes the number it had.
TEST_F(TipsTest, NewTipsAreNumberedOneAfterAnotherInOneForm) {
  WriteTips({4});
  Call(
      [] {
        GlobalRequest = kInsertRecord;
        UpdateTips();
        EXPECT_EQ(GlobalResponse, kRequestCancelled);
        GlobalRequest = kInsertRecord;
        UpdateTips();
        EXPECT_EQ(GlobalResponse, kRequestCompleted);
        EXPECT_EQ(TipNumber(), 7) << "the last tip saved is back in the buffer";
      },
      0);
  ASSERT_EQ(TopCaption(), kAddTipTitle);
  Press("Cancel");
  for (const char* text : {"first", "second", "third"}) {
    Type("Tip:", text);
    Press("&OK");
    ASSERT_EQ(TopCaption(), kAddTipTitle) << "the form stays open for the next tip";
  }
  Press("Cancel");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(ReadTips(), (Tips{{4, "tip 4"}, {5, "first"}, {6, "second"}, {7, "third"}}))
      << "the cancelled tip's number 5 is taken again";
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TipsTest, TheListChangesAndDeletesTipsThroughTheForm) {
  WriteTips({1, 2});
  Call(BrowseTips, 0);
  EXPECT_EQ(ListRows(), (Strings{"tip 1", "tip 2"}));
  Press("&Delete");  // answered with the default button, Cancel
  EXPECT_EQ(ListRows(), (Strings{"tip 1", "tip 2"}));
  QueueAnswer(platform::MessageBoxAnswer::kOk);
  Press("&Delete");
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].substr(0, 14), "Confirm Delete");
  EXPECT_EQ(ListRows(), (Strings{"tip 2"}));
  Press("&Change");
  ASSERT_EQ(TopCaption(), kChangeTipTitle);
  Type("Tip:", std::string(300, 'x'));
  Press("&OK");
  EXPECT_EQ(ListRows(), (Strings{std::string(255, 'x')})) << "the first 255 characters";
  Press("&Change");
  std::string cut_inside(254, 'x');
  for (int i = 0; i < 10; ++i) cut_inside += "\xc3\xb8";  // the 255th byte starts an "ø"
  Type("Tip:", cut_inside);
  Press("&OK");
  EXPECT_EQ(ListRows(), (Strings{std::string(254, 'x')})) << "no half character shown";
  Press("Cl&ose");
  ASSERT_TRUE(Returned());
  EXPECT_EQ(ReadTips(), (Tips{{2, cut_inside}})) << "the whole text stored";
}

TEST_F(TipsTest, TheTipsMenuOpensConsecutiveShippedTipsUnlessSwitchedOff) {
  StartProgram();
  const Tips shipped = ReadTips();
  ASSERT_GE(shipped.size(), 15u) << "a new data directory starts with the shipped tips";
  EXPECT_EQ(shipped.back().number, static_cast<std::int64_t>(shipped.size()));
  for (std::size_t i = 0; i < 2; ++i) {
    Choose(kMenuTips);
    ASSERT_NE(Window("About"), platform::kNoWindow);
    EXPECT_EQ(About().substr(0, 20), shipped[i].text.substr(0, 20)) << "opening " << i + 1;
    Press(Window("About"), kAboutOk);
    Settle();
  }
  Set(kShowTipKey, "0");
  Choose(kMenuTips);
  EXPECT_EQ(Window("About"), platform::kNoWindow);
  EXPECT_EQ(Setting(kFirstTipKey), "3");
}

TEST_F(TipsTest, AnExistingTipsFileIsNotFilledAgain) {
  WriteTips({});
  ProvideShippedTips();
  EXPECT_TRUE(ReadTips().empty()) << "tips the user deleted stay deleted";
}

}  // namespace
}  // namespace vaultrix::app
