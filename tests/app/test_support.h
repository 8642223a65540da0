// What the application's service tests share: message boxes recorded and
// answered from a script, the halt turned into an exception the test catches,
// the in-memory data driver serving every declaration, and the settings
// folder in a scratch directory.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/program/halt.h"
#include "platform/message_box.h"

namespace vaultrix::app::testing {

struct Halted {
  std::string text;
};

class AppServicesTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Answers of the next message boxes, in order; the default button after.
  void Answer(std::initializer_list<platform::MessageBoxAnswer> answers);
  // Closes and forgets every declaration's state and open count.
  void ResetDeclarations();
  // An old-layout passwords file of `count` records, written through PO_
  // (notes "notes N", more notes of 1000 'm', passwords "pwN").
  void WriteOldPasswordsFile(int count);

  std::vector<platform::MessageBoxRequest> boxes_;
  std::deque<platform::MessageBoxAnswer> answers_;
  std::string scratch_;

 private:
  platform::MessageBoxHandler previous_box_;
  HaltHandler previous_halt_;
};

}  // namespace vaultrix::app::testing
