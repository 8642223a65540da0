// The message box slot: default answers and handler replacement.
#include "platform/message_box.h"

#include <gtest/gtest.h>

namespace vaultrix::platform {
namespace {

TEST(MessageBox, DefaultButtonAnswersByPositionInTheSet) {
  EXPECT_EQ(DefaultAnswer(MessageBoxButtons::kYesNo, 1), MessageBoxAnswer::kYes);
  EXPECT_EQ(DefaultAnswer(MessageBoxButtons::kYesNo, 2), MessageBoxAnswer::kNo);
  EXPECT_EQ(DefaultAnswer(MessageBoxButtons::kYesNoCancel, 3), MessageBoxAnswer::kCancel);
  EXPECT_EQ(DefaultAnswer(MessageBoxButtons::kAbortRetryIgnore, 2), MessageBoxAnswer::kRetry);
  EXPECT_EQ(DefaultAnswer(MessageBoxButtons::kOkCancel, 3), MessageBoxAnswer::kOk);
  EXPECT_EQ(DefaultAnswer(MessageBoxButtons::kRetryCancel, 0), MessageBoxAnswer::kRetry);
}

TEST(MessageBox, HeadlessDefaultPrintsAndAnswersDefault) {
  MessageBoxRequest request{"Caption", "Some text", MessageBoxButtons::kYesNo,
                            MessageBoxIcon::kQuestion, 2};
  ::testing::internal::CaptureStderr();
  MessageBoxAnswer answer = ShowMessageBox(request);
  std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, MessageBoxAnswer::kNo);
  EXPECT_NE(printed.find("Caption"), std::string::npos);
  EXPECT_NE(printed.find("Some text"), std::string::npos);
}

TEST(MessageBox, InstalledHandlerAnswersUntilRestored) {
  int calls = 0;
  MessageBoxHandler previous = SetMessageBoxHandler([&](const MessageBoxRequest& r) {
    ++calls;
    EXPECT_EQ(r.text, "Delete?");
    return MessageBoxAnswer::kCancel;
  });
  EXPECT_EQ(ShowMessageBox({"", "Delete?", MessageBoxButtons::kYesNoCancel}),
            MessageBoxAnswer::kCancel);
  EXPECT_EQ(calls, 1);
  SetMessageBoxHandler(previous);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox({"", "Delete?", MessageBoxButtons::kYesNoCancel}),
            MessageBoxAnswer::kYes);
  (void)::testing::internal::GetCapturedStderr();
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vaultrix::platform
