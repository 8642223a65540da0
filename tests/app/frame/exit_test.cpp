// What the program leaves behind when it ends, however it ends: File > Exit,
// the automatic close-down, or the platform's end of the session. Neither its
// text on the clipboard nor any record or clipboard text in its memory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/dictionary/data_dictionary.h"
#include "app/frame/frame.h"
#include "app/options/options.h"
#include "tests/app/frame/frame_test_support.h"

namespace vaultrix::app {
namespace {

using namespace std::chrono_literals;

enum class Way { kExit, kAutomaticClose, kSessionEnd };

struct Ending {
  const char* name;
  Way way;
  bool outside_text_after;  // another program copies a text after ours
};

class ProgramEnd : public testing::FrameTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(ProgramEnd, TakesItsOwnClipboardTextAwayAndLeavesAnyOther) {
  const Ending& ending = GetParam();
  WriteVault({"Ann"}, 1);
  SetOption(kInactivityKey, "1");
  StartProgram();
  system_.SetClipboardText("  pass word  ");
  Choose(kMenuFilterClipboard);  // the program's own text from here
  ASSERT_EQ(Clipboard(), "pass word");
  if (ending.outside_text_after) system_.SetClipboardText("pass word");
  switch (ending.way) {
    case Way::kExit: Choose(kMenuExit); break;
    case Way::kAutomaticClose: Advance(75s); break;  // a quiet minute, then ten seconds
    case Way::kSessionEnd:
      (void)system_.SendMessage(Frame(), platform::kWmEndSession, 1);
      Settle();
      break;
  }
  run_.Wait();
  ASSERT_TRUE(run_.Finished());
  if (ending.outside_text_after) {
    EXPECT_EQ(system_.GetClipboardText(), "pass word");
  } else {
    EXPECT_FALSE(system_.GetClipboardText().has_value());
  }
  const UserRecord no_user{};
  EXPECT_EQ(std::memcmp(&UA_, &no_user, sizeof UA_), 0) << "the frame's user record";
  EXPECT_TRUE(ClipboardDisplay.Clipped().empty());
}

INSTANTIATE_TEST_SUITE_P(Endings, ProgramEnd,
                         ::testing::Values(Ending{"Exit", Way::kExit, false},
                                           Ending{"ExitAfterAnotherCopy", Way::kExit, true},
                                           Ending{"AutomaticClose", Way::kAutomaticClose, false},
                                           Ending{"SessionEnd", Way::kSessionEnd, false}),
                         [](const ::testing::TestParamInfo<Ending>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace vaultrix::app
