// Windows: creation, destruction of children and owned windows with their
// procedures told, subclassing chains, the thread rule for destruction, and
// the state controls keep here.
#include <gtest/gtest.h>

#include "platform/window_system.h"
#include "tests/platform/watchdog.h"
#include "tests/platform/window_thread.h"

namespace vaultrix::platform {
namespace {

using testing::Watchdog;
using testing::WindowThread;

struct Recorder {
  std::vector<std::pair<WindowHandle, std::uint32_t>> calls;
  WindowProc Procedure() {
    return [this](WindowSystem& system, const Message& m) -> std::intptr_t {
      calls.emplace_back(m.window, m.message);
      return WindowSystem::DefaultWindowProc(system, m);
    };
  }
  int Count(WindowHandle window, std::uint32_t message) const {
    int n = 0;
    for (auto& [w, msg] : calls) n += (w == window && msg == message) ? 1 : 0;
    return n;
  }
};

WindowCreateParams Params(WindowKind kind, WindowHandle parent, WindowProc procedure,
                          int id = 0) {
  WindowCreateParams params;
  params.kind = kind;
  params.class_name = kind == WindowKind::kControl ? "BUTTON" : "WINDOW";
  params.parent = parent;
  params.control_id = id;
  params.style = kWsVisible;
  params.rect = {0, 0, 50, 14};
  params.procedure = std::move(procedure);
  return params;
}

TEST(Windows, CreateCallsTheProcedureAndMinusOneRefusesTheWindow) {
  WindowSystem system;
  Recorder recorder;
  const WindowHandle window = system.CreateWindow(Params(WindowKind::kPlain, kNoWindow, recorder.Procedure()));
  ASSERT_NE(window, kNoWindow);
  EXPECT_EQ(recorder.Count(window, kWmCreate), 1);

  WindowCreateParams refused = Params(WindowKind::kPlain, kNoWindow,
                                      [](WindowSystem&, const Message& m) -> std::intptr_t {
                                        return m.message == kWmCreate ? -1 : 0;
                                      });
  EXPECT_EQ(system.CreateWindow(refused), kNoWindow);
  EXPECT_EQ(system.TopLevelWindows(), (std::vector<WindowHandle>{window}));
  // Child kinds need a parent; an MDI child needs an MDI client.
  EXPECT_EQ(system.CreateWindow(Params(WindowKind::kControl, kNoWindow, {})), kNoWindow);
  EXPECT_EQ(system.CreateWindow(Params(WindowKind::kMdiChild, window, {})), kNoWindow);
}

TEST(Windows, DestroyTakesChildrenAndOwnedWindowsWithIt) {
  WindowSystem system;
  Recorder recorder;
  const WindowHandle top = system.CreateWindow(Params(WindowKind::kPlain, kNoWindow, recorder.Procedure()));
  const WindowHandle child = system.CreateWindow(Params(WindowKind::kControl, top, recorder.Procedure(), 5));
  WindowCreateParams dialog = Params(WindowKind::kPlain, kNoWindow, recorder.Procedure());
  dialog.owner = top;
  const WindowHandle owned = system.CreateWindow(dialog);
  ASSERT_NE(owned, kNoWindow);
  EXPECT_EQ(system.OwnedWindows(top), (std::vector<WindowHandle>{owned}));
  EXPECT_EQ(system.ChildById(top, 5), child);

  ASSERT_TRUE(system.DestroyWindow(top));
  EXPECT_FALSE(system.IsWindow(top));
  EXPECT_FALSE(system.IsWindow(child));
  EXPECT_FALSE(system.IsWindow(owned));
  EXPECT_TRUE(system.TopLevelWindows().empty());
  // Owned windows hear of their end before their owner, children after their parent.
  std::vector<WindowHandle> destroyed;
  for (auto& [w, msg] : recorder.calls) {
    if (msg == kWmDestroy) destroyed.push_back(w);
  }
  EXPECT_EQ(destroyed, (std::vector<WindowHandle>{owned, top, child}));
  EXPECT_FALSE(system.DestroyWindow(top));
}

TEST(Windows, OnlyTheOwningThreadDestroysAWindow) {
  Watchdog watchdog("destroy from another thread");
  WindowSystem system;
  WindowThread other(system);
  const WindowHandle window = other.MakeWindow(Params(WindowKind::kPlain, kNoWindow, {}));
  EXPECT_FALSE(system.DestroyWindow(window));
  EXPECT_TRUE(system.IsWindow(window));
  bool destroyed = false;
  other.Run([&] { destroyed = system.DestroyWindow(window); });
  EXPECT_TRUE(destroyed);
}

TEST(Windows, DestroyingTheFrameTellsChildrenOnOtherThreadsOnTheirThreads) {
  Watchdog watchdog("frame destroyed with a child of another thread");
  WindowSystem system;
  const WindowHandle frame = system.CreateWindow(Params(WindowKind::kFrame, kNoWindow, {}));
  const WindowHandle client = system.CreateWindow(Params(WindowKind::kMdiClient, frame, {}));
  WindowThread other(system);
  const WindowHandle child = other.MakeWindow(Params(WindowKind::kMdiChild, client, {}));
  ASSERT_NE(child, kNoWindow);
  EXPECT_EQ(system.WindowThread(child), other.Id());
  ASSERT_TRUE(system.DestroyWindow(frame));
  EXPECT_FALSE(system.IsWindow(child));
  EXPECT_FALSE(system.IsWindow(client));
  int destroys = 0;
  for (const Message& m : other.Calls()) destroys += (m.window == child && m.message == kWmDestroy) ? 1 : 0;
  EXPECT_EQ(destroys, 1);
}

TEST(Windows, ThreadEndDestroysItsWindows) {
  Watchdog watchdog("thread end");
  WindowSystem system;
  WindowHandle window = kNoWindow;
  {
    WindowThread other(system);
    window = other.MakeWindow(Params(WindowKind::kPlain, kNoWindow, {}));
    ASSERT_TRUE(system.IsWindow(window));
  }
  EXPECT_FALSE(system.IsWindow(window));
}

TEST(Windows, SubclassingHookSeesMessagesFirstAndChains) {
  WindowSystem system;
  Recorder original;
  const WindowHandle window = system.CreateWindow(Params(WindowKind::kPlain, kNoWindow, original.Procedure()));
  std::vector<std::uint32_t> hooked;
  WindowProc previous;
  previous = system.SubclassWindow(window, [&](WindowSystem& s, const Message& m) -> std::intptr_t {
    hooked.push_back(m.message);
    // The hook answers message 17 itself; everything else goes on.
    if (m.message == kWmQueryEndSession) return 0;
    return previous(s, m);
  });
  ASSERT_TRUE(previous);
  EXPECT_EQ(system.SendMessage(window, kWmQueryEndSession), 0);
  EXPECT_EQ(original.Count(window, kWmQueryEndSession), 0);
  system.SendMessage(window, kWmEndSession, 1);
  EXPECT_EQ(original.Count(window, kWmEndSession), 1);
  EXPECT_EQ(hooked, (std::vector<std::uint32_t>{kWmQueryEndSession, kWmEndSession}));
  // The default procedure: text through kWmSetText, kWmClose destroys.
  const char* text = "Renamed";
  system.SendMessage(window, kWmSetText, 0, reinterpret_cast<std::intptr_t>(text));
  EXPECT_EQ(system.GetText(window), "Renamed");
  system.SendMessage(window, kWmClose);
  EXPECT_FALSE(system.IsWindow(window));
}

TEST(Windows, AnEntrysTextLimitCutsAtACharacterBoundary) {
  WindowSystem system;
  const WindowHandle top = system.CreateWindow(Params(WindowKind::kPlain, kNoWindow, {}));
  const WindowHandle entry = system.CreateWindow(Params(WindowKind::kControl, top, {}, 3));
  const struct {
    std::size_t limit;
    std::string text, kept;
  } cases[] = {
      {0, "no limit at all", "no limit at all"},
      {5, "abcdefg", "abcde"},
      {5, "abcd\xc3\x86", "abcd"},                    // "Æ" would end past the limit
      {6, "abcd\xc3\x86", "abcd\xc3\x86"},
      {5, "ab\xe2\x82\xac!", "ab\xe2\x82\xac"},           // three bytes, whole
      {4, "ab\xe2\x82\xac", "ab"},
      {4, "a\xf0\x9f\x98\x80", "a"},                     // four bytes
      {2, "\x80\x80\x80\x80\x80", "\x80\x80"},  // no character starts anywhere: bytes
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(system.SetTextLimit(entry, c.limit));
    system.SetText(entry, c.text);
    EXPECT_EQ(system.GetText(entry), c.kept) << c.limit << " " << c.text;
  }
  EXPECT_EQ(system.GetWindowInfo(entry)->text_limit, 2u);
}

TEST(Windows, ControlStateIsKeptAndMovesAreReportedToTheThread) {
  WindowSystem system;
  const WindowHandle top = system.CreateWindow(Params(WindowKind::kPlain, kNoWindow, {}));
  const WindowHandle list = system.CreateWindow(Params(WindowKind::kControl, top, {}, 3));
  system.SetRows(list, {"alpha", "beta"});
  system.SetValue(list, 2);
  system.SetCheck(list, 1);
  system.SetScroll(list, 4, 1);
  system.EnableWindow(list, false);
  system.ShowWindow(list, kSwHide);
  std::optional<WindowInfo> info = system.GetWindowInfo(list);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->rows, (std::vector<std::string>{"alpha", "beta"}));
  EXPECT_EQ(info->value, 2);
  EXPECT_EQ(info->check, 1);
  EXPECT_EQ(info->vertical_scroll, 4);
  EXPECT_FALSE(info->enabled);
  EXPECT_FALSE(info->visible);
  EXPECT_EQ(info->style & kWsDisabled, kWsDisabled);

  Message m;
  while (system.PeekMessage(m, kPmRemove)) {
  }
  system.MoveWindow(top, {5, 6, 70, 80});
  system.ShowWindow(top, kSwShowMaximized);
  std::vector<std::pair<std::uint32_t, std::uintptr_t>> got;
  while (system.PeekMessage(m, kPmRemove)) got.emplace_back(m.message, m.wparam);
  EXPECT_EQ(got, (std::vector<std::pair<std::uint32_t, std::uintptr_t>>{
                     {kWmMove, 0}, {kWmSize, kSizeRestored}, {kWmSize, kSizeMaximized}}));
  EXPECT_EQ(system.GetWindowInfo(top)->show_state, ShowState::kMaximized);
}

}  // namespace
}  // namespace vaultrix::platform
