// The application's halt without a handler of the test's own: the text in a
// stop box, then the end of the process with the halt's exit code.
#include "app/program/halt.h"

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "runtime/support/runtime_error.h"

namespace vaultrix::app {
namespace {

struct ProcessEnded {
  int exit_code;
};

TEST(HaltTest, ShowsTheTextAndEndsTheProcess) {
  std::vector<platform::MessageBoxRequest> boxes;
  auto previous_box = platform::SetMessageBoxHandler([&](const platform::MessageBoxRequest& r) {
    boxes.push_back(r);
    return platform::MessageBoxAnswer::kOk;
  });
  auto previous_exit = support::SetProcessExitHandler([](int code) { throw ProcessEnded{code}; });
  try {
    Halt("Disk Error");
    ADD_FAILURE() << "Halt returned";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.exit_code, kHaltExitCode);
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Vaultrix");
  EXPECT_EQ(boxes[0].text, "Disk Error");
  EXPECT_EQ(boxes[0].icon, platform::MessageBoxIcon::kStop);

  // A handler that returns does not keep the process alive.
  bool handled = false;
  SetHaltHandler([&](const std::string&) { handled = true; });
  EXPECT_THROW(Halt("Invalid File!"), ProcessEnded);
  EXPECT_TRUE(handled);
  EXPECT_EQ(boxes.size(), 1u) << "the handler replaces the box";
  SetHaltHandler(nullptr);
  support::SetProcessExitHandler(previous_exit);
  platform::SetMessageBoxHandler(previous_box);
}

}  // namespace
}  // namespace vaultrix::app
