// Runtime errors and fatal internal errors: what the box shows and how the
// process ends.
#include "runtime/support/runtime_error.h"

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::support {
namespace {

struct ProcessEnded {
  int exit_code;
};

class RuntimeErrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_box_ = platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& r) {
      shown_.push_back(r);
      return platform::MessageBoxAnswer::kOk;
    });
    previous_exit_ = SetProcessExitHandler([](int code) { throw ProcessEnded{code}; });
  }
  void TearDown() override {
    platform::SetMessageBoxHandler(previous_box_);
    SetProcessExitHandler(previous_exit_);
  }

  std::vector<platform::MessageBoxRequest> shown_;
  platform::MessageBoxHandler previous_box_;
  ProcessExitHandler previous_exit_;
};

TEST_F(RuntimeErrorTest, ShowsStopBoxWithDetailAndEndsWithTwo) {
  try {
    RuntimeError(kOperationSystemIsModal, "CTLTEXT");
    FAIL() << "RuntimeError returned";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.exit_code, 2);
  }
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].caption, "Runtime error");
  EXPECT_EQ(shown_[0].icon, platform::MessageBoxIcon::kStop);
  EXPECT_EQ(shown_[0].buttons, platform::MessageBoxButtons::kOk);
  EXPECT_EQ(shown_[0].text, "Unable to complete operation (system is MODAL) : CTLTEXT");
}

TEST_F(RuntimeErrorTest, NoDetailMeansNoSeparator) {
  EXPECT_THROW(RuntimeError(kWindowIsAlreadyOpen), ProcessEnded);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "Window is already open");
  EXPECT_EQ(RuntimeErrorText(kInternalError01, "CTLUSE"), "Internal error 01 : CTLUSE");
}

TEST_F(RuntimeErrorTest, EngineCheckRecordsItsLine) {
  int line = 0;
  try {
    line = __LINE__ + 1;
    VAULTRIX_ENGINE_CHECK(1 + 1 == 3);
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.exit_code, kInternalErrorExitCode);
  }
  EXPECT_EQ(LastInternalErrorLine(), line);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "Internal error : hvnbt line " + std::to_string(line));
  VAULTRIX_ENGINE_CHECK(true);
  EXPECT_EQ(shown_.size(), 1u);
}

TEST(RuntimeErrorDeathTest, DefaultHandlersPrintAndExitWithTwo) {
  EXPECT_EXIT(RuntimeError(kReportIsAlreadyOpen, "PRINTP_:KEYSERVICE$REPORT"),
              ::testing::ExitedWithCode(2),
              "\\[Runtime error\\] Report is already open : PRINTP_:KEYSERVICE\\$REPORT");
  EXPECT_EXIT(FatalInternalError(412), ::testing::ExitedWithCode(3),
              "Internal error : hvnbt line 412");
}

}  // namespace
}  // namespace vaultrix::support
