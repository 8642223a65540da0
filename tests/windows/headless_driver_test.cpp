// The headless driver: dialogs answered from queued answers or by button
// text while open, notifications followed, windows laid out in pixels from
// dialog units, and input reported as a display would report it.
#include "platform/drivers/headless/headless_driver.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/runtime_lock.h"
#include "tests/platform/watchdog.h"

namespace vaultrix::platform::headless {
namespace {

using vaultrix::testing::Watchdog;

WindowCreateParams Params(WindowKind kind, WindowHandle parent, Rect rect, int id = 0) {
  WindowCreateParams params;
  params.kind = kind;
  params.class_name = kind == WindowKind::kControl ? "EDIT" : "WINDOW";
  params.parent = parent;
  params.control_id = id;
  params.style = kWsVisible | (kind == WindowKind::kControl ? 0 : kWsCaption);
  params.rect = rect;
  return params;
}

std::vector<Message> Drain(WindowSystem& system) {
  std::vector<Message> taken;
  Message m;
  while (system.PeekMessage(m, kPmRemove)) taken.push_back(m);
  return taken;
}

TEST(HeadlessDriver, QueuedAnswersAnswerMessageBoxesAndFileDialogsInOrder) {
  WindowSystem system;
  HeadlessDriver driver(system);
  driver.QueueMessageBoxAnswer(MessageBoxAnswer::kNo);
  driver.QueueFileAnswer("/tmp/export.csv");
  driver.QueueFileCancel();
  EXPECT_EQ(system.MessageBox(kNoWindow, {"Vaultrix", "Save changes?",
                                          MessageBoxButtons::kYesNoCancel,
                                          MessageBoxIcon::kQuestion, 1}),
            MessageBoxAnswer::kNo);
  FileDialogRequest save;
  save.kind = FileDialogKind::kSave;
  save.title = "Export";
  save.filters = {{"Text files (*.csv)", "*.csv"}};
  FileDialogResult chosen = system.FileDialog(kNoWindow, save);
  EXPECT_TRUE(chosen.accepted);
  EXPECT_EQ(chosen.path, "/tmp/export.csv");
  EXPECT_FALSE(system.FileDialog(kNoWindow, save).accepted);

  std::vector<DialogRequest> seen = driver.DialogHistory();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].message_box.text, "Save changes?");
  EXPECT_EQ(seen[0].message_box.caption, "Vaultrix");
  EXPECT_EQ(seen[1].file_dialog.title, "Export");
  driver.Pump();
  int opened = 0;
  for (const Notification& n : driver.History()) {
    opened += n.kind == NotificationKind::kDialogOpened ? 1 : 0;
  }
  EXPECT_EQ(opened, 3);
}

TEST(HeadlessDriver, RoutedMessageBoxesReachTheAnswerer) {
  WindowSystem system;
  {
    HeadlessDriver driver(system);
    driver.RouteMessageBoxes();
    driver.QueueMessageBoxAnswer(MessageBoxAnswer::kRetry);
    EXPECT_EQ(ShowMessageBox({"Runtime error", "Window is already open",
                              MessageBoxButtons::kRetryCancel, MessageBoxIcon::kStop, 1}),
              MessageBoxAnswer::kRetry);
    ASSERT_EQ(driver.DialogHistory().size(), 1u);
    EXPECT_EQ(driver.DialogHistory()[0].message_box.caption, "Runtime error");
  }
  // The driver's end gives the platform its previous handler back.
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox({"", "Printed", MessageBoxButtons::kYesNo, MessageBoxIcon::kNone, 2}),
            MessageBoxAnswer::kNo);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("Printed"), std::string::npos);
}

TEST(HeadlessDriver, DefaultButtonPolicyAnswersWhenNothingIsQueued) {
  WindowSystem system;
  HeadlessDriver driver(system);
  driver.SetUnansweredPolicy(UnansweredPolicy::kDefaultButton);
  EXPECT_EQ(system.MessageBox(kNoWindow, {"", "Retry?", MessageBoxButtons::kRetryCancel,
                                          MessageBoxIcon::kExclamation, 2}),
            MessageBoxAnswer::kCancel);
  EXPECT_FALSE(system.FileDialog(kNoWindow, FileDialogRequest{}).accepted);
}

TEST(HeadlessDriver, OpenMessageBoxIsAnsweredByButtonTextFromTheDriversThread) {
  Watchdog watchdog("message box answered by text");
  WindowSystem system;
  HeadlessDriver driver(system);
  MessageBoxAnswer answer = MessageBoxAnswer::kOk;
  bool lock_was_free = false;
  std::thread runtime_thread([&] {
    RuntimeLock lock(system);
    answer = system.MessageBox(kNoWindow, {"Vaultrix", "Delete the entry?",
                                           MessageBoxButtons::kYesNo, MessageBoxIcon::kQuestion,
                                           2});
    lock_was_free = lock.HeldByCurrentThread();  // taken back after the box
    system.EndThread();
  });
  ASSERT_TRUE(driver.WaitForOpenDialog(std::chrono::seconds(50)));
  std::string error;
  EXPECT_FALSE(driver.AnswerMessageBox("Cancel", &error));
  EXPECT_NE(error.find("Yes, No"), std::string::npos) << error;
  EXPECT_FALSE(driver.AnswerFileDialog(std::nullopt, &error));
  EXPECT_EQ(error, "no file dialog is open");
  EXPECT_TRUE(driver.AnswerMessageBox("&yes", &error)) << error;
  runtime_thread.join();
  EXPECT_EQ(answer, MessageBoxAnswer::kYes);
  EXPECT_TRUE(lock_was_free);
  EXPECT_FALSE(driver.AnswerMessageBox("Yes", &error));
  EXPECT_EQ(error, "no message box is open");
}

TEST(HeadlessDriver, WindowsAreLaidOutInPixelsFromDialogUnits) {
  WindowSystem system;
  HeadlessDriver driver(system);
  const WindowHandle top = system.CreateWindow(Params(WindowKind::kPlain, kNoWindow, {10, 20, 200, 100}));
  const WindowHandle field = system.CreateWindow(Params(WindowKind::kControl, top, {8, 4, 40, 12}, 7));
  EXPECT_EQ(ScreenRect(system, top), (PixelRect{20, 40, 400, 200}));
  // Below the caption bar of the window.
  EXPECT_EQ(ScreenRect(system, field), (PixelRect{36, 68, 80, 24}));
  EXPECT_EQ(WindowAt(system, 36, 68), field);
  EXPECT_EQ(WindowAt(system, 35, 68), top);
  EXPECT_EQ(WindowAt(system, 5, 5), kNoWindow);
  system.ShowWindow(field, kSwHide);
  EXPECT_EQ(WindowAt(system, 36, 68), top);

  driver.Pump();
  ASSERT_GE(driver.History().size(), 3u);
  EXPECT_EQ(driver.History()[0].kind, NotificationKind::kCreated);
  EXPECT_EQ(driver.History()[0].window, top);
  EXPECT_EQ(driver.History().back().kind, NotificationKind::kVisible);
}

TEST(HeadlessDriver, ClicksMoveTheFocusAndKeysFollowIt) {
  WindowSystem system;
  HeadlessDriver driver(system);
  const WindowHandle top = system.CreateWindow(Params(WindowKind::kPlain, kNoWindow, {0, 0, 200, 100}));
  const WindowHandle name = system.CreateWindow(Params(WindowKind::kControl, top, {4, 4, 40, 12}, 1));
  const WindowHandle note = system.CreateWindow(Params(WindowKind::kControl, top, {4, 20, 40, 12}, 2));
  Drain(system);

  ASSERT_TRUE(driver.Click(note));
  EXPECT_EQ(system.GetFocus(), note);
  driver.TypeText("Ab1");
  driver.PressKey(kVkF1 + 1, kCtrl);
  std::vector<Message> got = Drain(system);
  std::string typed;
  std::vector<std::uint32_t> mouse;
  std::vector<std::pair<std::uint32_t, std::uintptr_t>> keys;
  for (const Message& m : got) {
    if (m.message == kWmChar && m.window == note) typed.push_back(static_cast<char>(m.wparam));
    if (m.message >= kWmLButtonDown && m.message <= kWmLButtonUp) {
      mouse.push_back(m.message);
      EXPECT_EQ(PointX(m.lparam), 40);  // the centre, in client pixels
      EXPECT_EQ(PointY(m.lparam), 12);
    }
    if ((m.message == kWmKeyDown || m.message == kWmKeyUp) &&
        (m.wparam == static_cast<std::uintptr_t>(kVkControl) ||
         m.wparam == static_cast<std::uintptr_t>(kVkF1 + 1))) {
      keys.emplace_back(m.message, m.wparam);
    }
  }
  EXPECT_EQ(typed, "Ab1");
  EXPECT_EQ(mouse, (std::vector<std::uint32_t>{kWmLButtonDown, kWmLButtonUp}));
  // Ctrl is held around the key.
  using Key = std::pair<std::uint32_t, std::uintptr_t>;
  EXPECT_EQ(keys, (std::vector<Key>{{kWmKeyDown, kVkControl},
                                    {kWmKeyDown, kVkF1 + 1},
                                    {kWmKeyUp, kVkF1 + 1},
                                    {kWmKeyUp, kVkControl}}));
  EXPECT_EQ(system.GetKeyState(kVkControl) & 0x8000, 0);

  // A disabled control takes clicks but not the focus.
  system.EnableWindow(name, false);
  ASSERT_TRUE(driver.ClickAt(8 + 2, 8 + 20 + 2, MouseButton::kLeft, true));
  EXPECT_EQ(system.GetFocus(), note);
  got = Drain(system);
  ASSERT_FALSE(got.empty());
  int double_clicks = 0;
  for (const Message& m : got) double_clicks += (m.message == kWmLButtonDblClk && m.window == name) ? 1 : 0;
  EXPECT_EQ(double_clicks, 1);

  ASSERT_TRUE(driver.Command(top, 0x4005));
  got = Drain(system);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, kWmCommand);
  EXPECT_EQ(got[0].wparam, 0x4005u);
}

}  // namespace
}  // namespace vaultrix::platform::headless
