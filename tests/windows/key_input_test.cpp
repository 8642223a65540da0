// Keys on an open window: the keys its key table takes are published to the
// window system as they change (so a display driver keeps them from its
// widgets), and each key is translated with the modifiers held when it was
// pressed, however late the window gets round to it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window_classes.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/key_table.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"
#include "tests/platform/watchdog.h"
#include "tests/windows/window_test_support.h"

namespace vaultrix::windows {
namespace {

using platform::kKeyAlt;
using platform::kKeyCtrl;
using platform::kKeyShift;
using platform::kVkA;
using platform::kVkF1;

constexpr const char* kKeyWindows = R"(
module "VAULTRIX$keytest"

window "KEYS$WINDOW"
  title "Keys"
  menubar
    menu "&Edit"
      item -1 "&Find"
        key 0x246
  entry 1
    use string 20
)";

class KeyInputTest : public EngineFixture {
 protected:
  KeyInputTest() {
    platform::AddResourceModule(CompiledModule(kKeyWindows, "keytest", "KEYTEST_RSC"));
    std::unique_ptr<WindowResource> window;
    OpenWindowResource(&window, WindowKind::kPlainWindow, "VAULTRIX$keytest", "KEYS$WINDOW",
                       {text_});
    windows_.push_back(std::move(window));
    WindowOpen(engine_, *windows_.back());
  }

  WindowObject& Window() { return windows_.back()->object(); }
  void Alert(int index, std::int32_t key_code) {
    SetProperty(engine_, nullptr, 0, kPropAlertKey, index, std::to_string(key_code));
  }
  [[nodiscard]] bool Claims(std::int32_t key_code) {
    return system_.ClaimsKey(Window().handle, key_code);
  }
  void Press(int virtual_key, int modifier_key = 0) {
    if (modifier_key != 0) system_.InjectKey(modifier_key, true);
    system_.InjectKey(virtual_key, true);
    system_.InjectKey(virtual_key, false);
    if (modifier_key != 0) system_.InjectKey(modifier_key, false);
  }

  char text_[20] = {};
};

TEST_F(KeyInputTest, AlertKeysSetAndClearedWhileOpenAreClaimedAndReleased) {
  EXPECT_TRUE(Claims(0x246)) << "the menu's accelerator, from the start";
  EXPECT_FALSE(Claims(kVkF1 + 1));

  Alert(1, kVkF1 + 1);
  Alert(3, kKeyCtrl | (kVkF1 + 2));
  EXPECT_TRUE(Claims(kVkF1 + 1));
  EXPECT_TRUE(Claims(kKeyCtrl | (kVkF1 + 2)));
  EXPECT_FALSE(Claims(kVkF1 + 2)) << "the key without its Ctrl stays the widget's";
  EXPECT_FALSE(Claims(0)) << "the gap left at index 2 claims nothing";

  Alert(1, 0);  // cleared
  EXPECT_FALSE(Claims(kVkF1 + 1));
  EXPECT_TRUE(Claims(kKeyCtrl | (kVkF1 + 2)));
  EXPECT_TRUE(Claims(0x246)) << "accelerators outlive the alert keys";
  Alert(3, kVkF1 + 5);  // replaced
  EXPECT_FALSE(Claims(kKeyCtrl | (kVkF1 + 2)));
  EXPECT_TRUE(Claims(kVkF1 + 5));
}

TEST_F(KeyInputTest, ABurstOfKeysKeepsEachKeysModifiers) {
  constexpr std::int32_t kDone = kVkF1 + 8;
  std::vector<std::int32_t> codes;
  vaultrix::testing::Watchdog watchdog("a burst of keys");
  Accept(engine_, [&] {
    const EventRecord& e = *Window().current_event;
    if (e.Event() == kEventOpenWindow) {
      Alert(1, kKeyShift | kVkA);
      Alert(2, kKeyCtrl | (kVkA + 1));
      Alert(3, kKeyAlt | (kVkA + 2));
      Alert(4, kVkA + 3);
      Alert(5, kKeyCtrl | kKeyShift | (kVkA + 4));
      Alert(6, kDone);
      // All queued before the window reads the first: by then every
      // modifier is up again.
      Press(kVkA, platform::kVkShift);
      Press(kVkA + 1, platform::kVkControl);
      Press(kVkA + 2, platform::kVkMenu);
      Press(kVkA + 3);
      system_.InjectKey(platform::kVkShift, true);
      Press(kVkA + 4, platform::kVkControl);
      system_.InjectKey(platform::kVkShift, false);
      Press(kDone);
    }
    if (e.Event() == kEventAlertKey) {
      if (KeyCode(engine_) == kDone) {
        PostEvent(engine_, kEventCloseWindow, 0, 0);
      } else {
        codes.push_back(KeyCode(engine_));
      }
    }
    return kBodyDefault;
  });
  const std::vector<std::int32_t> expected = {kKeyShift | kVkA, kKeyCtrl | (kVkA + 1),
                                              kKeyAlt | (kVkA + 2), kVkA + 3,
                                              kKeyCtrl | kKeyShift | (kVkA + 4)};
  EXPECT_EQ(codes, expected);
}

TEST_F(KeyInputTest, TranslationPrefersTheMessagesKeyboardToThePresentOne) {
  system_.SetLockKey(platform::kVkCapital, true);
  system_.InjectKey(platform::kVkControl, true);
  platform::Message key{Window().handle, platform::kWmKeyDown, 'X', 0, 0,
                        platform::kKeyStateKnown | platform::kKeyStateShift};
  TranslateKeyboard(engine_, 1, key);
  EXPECT_EQ(engine_.Thread(1)->last_key_code, kKeyShift | 'X') << "neither Ctrl nor Caps Lock";

  key.key_state = 0;  // posted as a number: the keyboard now
  TranslateKeyboard(engine_, 1, key);
  EXPECT_EQ(engine_.Thread(1)->last_key_code, 0x1000 | kKeyCtrl | 'X');

  platform::Message click{Window().handle, platform::kWmLButtonDblClk, 0, 0, 0,
                          platform::kKeyStateKnown | platform::kKeyStateAlt};
  TranslateKeyboard(engine_, 1, click);
  EXPECT_EQ(engine_.Thread(1)->last_key_code, kKeyAlt | 5);
  system_.InjectKey(platform::kVkControl, false);
}

}  // namespace
}  // namespace vaultrix::windows
