// The typed-ahead key buffer: order kept across the ring's wrap and growth,
// doubling from 16, 534 at the 1025th key, freed when emptied, and Caps Lock
// toggled both ways.
#include "runtime/windows/key_buffer.h"

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "runtime/support/runtime_error.h"

namespace vaultrix::windows {
namespace {

struct ProcessEnded {
  int exit_code;
};

TEST(KeyBuffer, KeepsOrderAcrossWrapAndGrowth) {
  KeyBuffer buffer;
  EXPECT_EQ(buffer.Capacity(), 0u);
  for (int i = 0; i < 10; ++i) buffer.Press(0x41 + i);
  EXPECT_EQ(buffer.Capacity(), 16u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(buffer.Take(), 0x41 + i);
  // The ring wraps, then grows while wrapped.
  for (int i = 0; i < 20; ++i) buffer.Press(0x141 + i);
  EXPECT_EQ(buffer.Size(), 22u);
  EXPECT_EQ(buffer.Capacity(), 32u);
  EXPECT_EQ(buffer.Take(), 0x41 + 8);
  EXPECT_EQ(buffer.Take(), 0x41 + 9);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(buffer.Take(), 0x141 + i);
  EXPECT_EQ(buffer.Take(), std::nullopt);
  EXPECT_EQ(buffer.Capacity(), 0u);  // freed with the last key
}

TEST(KeyBuffer, CapsLockTogglesWhenPressedInAndWhenTakenOut) {
  KeyBuffer buffer;
  buffer.Press(0x14);
  EXPECT_TRUE(buffer.CapsLock());
  buffer.Press(0x41);
  EXPECT_EQ(buffer.Take(), 0x14);
  EXPECT_FALSE(buffer.CapsLock());
  buffer.Press(0x114);  // Shift+Caps Lock is a Caps Lock too
  EXPECT_TRUE(buffer.CapsLock());
}

TEST(KeyBuffer, The1025thKeyIntoAFullBufferIsRuntimeError534) {
  std::vector<platform::MessageBoxRequest> shown;
  platform::MessageBoxHandler previous_box =
      platform::SetMessageBoxHandler([&](const platform::MessageBoxRequest& r) {
        shown.push_back(r);
        return platform::MessageBoxAnswer::kOk;
      });
  support::ProcessExitHandler previous_exit =
      support::SetProcessExitHandler([](int code) { throw ProcessEnded{code}; });
  KeyBuffer buffer;
  for (int i = 0; i < 1024; ++i) buffer.Press(0x30 + i % 10);
  EXPECT_EQ(buffer.Capacity(), 1024u);
  EXPECT_TRUE(shown.empty());
  try {
    buffer.Press(0x0D);
    ADD_FAILURE() << "the 1025th key was taken";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.exit_code, 2);
  }
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Too many keystrokes PRESSed");
  EXPECT_EQ(buffer.Size(), 1024u);
  support::SetProcessExitHandler(previous_exit);
  platform::SetMessageBoxHandler(previous_box);
}

}  // namespace
}  // namespace vaultrix::windows
