// The script language's pieces without a program: splitting lines (quotes,
// escapes, comments against control numbers), key names with modifiers,
// quoting in the dump, and the window system's state as the dump shows it.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/drivers/headless/automation.h"
#include "platform/drivers/headless/script.h"
#include "platform/drivers/headless/window_dump.h"

namespace vaultrix::platform::headless {
namespace {

std::vector<std::string> Texts(std::string_view line) {
  std::vector<ScriptWord> words;
  std::string error;
  EXPECT_TRUE(SplitScriptLine(line, &words, &error)) << error;
  std::vector<std::string> texts;
  for (const ScriptWord& w : words) texts.push_back((w.quoted ? "q:" : "") + w.text);
  return texts;
}

TEST(ScriptLines, QuotesEscapesAndComments) {
  EXPECT_EQ(Texts("type \"&Name:\" \"a \\\"b\\\" \\\\ \\t\\x41\"  # set it"),
            (std::vector<std::string>{"type", "q:&Name:", "q:a \"b\" \\ \tA"}));
  EXPECT_EQ(Texts("pick #8 3 right"), (std::vector<std::string>{"pick", "#8", "3", "right"}));
  EXPECT_EQ(Texts("press #-10"), (std::vector<std::string>{"press", "#-10"}));
  EXPECT_EQ(Texts("expect \"a # b\" # comment"), (std::vector<std::string>{"expect", "q:a # b"}));
  EXPECT_TRUE(Texts("   # only a comment").empty());
  EXPECT_TRUE(Texts("\r").empty()) << "CR LF line ends";

  std::vector<ScriptWord> words;
  std::string error;
  EXPECT_FALSE(SplitScriptLine("type \"open", &words, &error));
  EXPECT_EQ(error, "a quoted text is not closed");
  EXPECT_FALSE(SplitScriptLine("type \"\\x4\"", &words, &error));
  EXPECT_EQ(error, "\\x needs two hexadecimal digits");
  EXPECT_FALSE(SplitScriptLine("type \"\\q\"", &words, &error));
  EXPECT_FALSE(SplitScriptLine("type \"ends\\", &words, &error));
}

TEST(ScriptLines, KeysWithModifiers) {
  const std::optional<KeyPress> bottom = ParseKey("Ctrl+PageDown");
  ASSERT_TRUE(bottom);
  EXPECT_EQ(bottom->virtual_key, kVkNext);
  EXPECT_EQ(bottom->modifiers, kCtrl);
  EXPECT_EQ(bottom->character, 0);
  const std::optional<KeyPress> capital = ParseKey("A");
  ASSERT_TRUE(capital);
  EXPECT_EQ(capital->virtual_key, 'A');
  EXPECT_EQ(capital->modifiers, kShift);
  EXPECT_EQ(capital->character, 'A');
  const std::optional<KeyPress> f12 = ParseKey("shift+alt+f12");
  ASSERT_TRUE(f12);
  EXPECT_EQ(f12->virtual_key, kVkF1 + 11);
  EXPECT_EQ(f12->modifiers, kShift | kAlt);
  const std::optional<KeyPress> plus = ParseKey("Ctrl++");
  ASSERT_TRUE(plus);
  EXPECT_EQ(plus->virtual_key, kVkPacket);
  EXPECT_EQ(plus->modifiers, kCtrl);
  EXPECT_EQ(ParseKey("Enter")->character, '\r');
  EXPECT_FALSE(ParseKey("Hyper+A"));
  EXPECT_FALSE(ParseKey("F25"));
  EXPECT_FALSE(ParseKey("PgDn"));
  EXPECT_FALSE(ParseKey(""));
  EXPECT_EQ(ParseScrollAction("pagedown"), kSbPageDown);
  EXPECT_FALSE(ParseScrollAction("Thumb"));
}

TEST(ScriptLines, BadCommandsAndArgumentsSayWhy) {
  WindowSystem system;
  HeadlessDriver driver(system);
  Automation automation(driver, nullptr);
  std::ostringstream out;
  ScriptRunner runner(automation, out);
  std::string error;
  EXPECT_FALSE(runner.RunLine("frobnicate", &error));
  EXPECT_EQ(error, "unknown command \"frobnicate\"");
  EXPECT_FALSE(runner.RunLine("advance soon", &error));
  EXPECT_EQ(error, "usage: advance MILLISECONDS");
  EXPECT_FALSE(runner.RunLine("advance 10", &error));
  EXPECT_EQ(error, "the clock is not simulated");
  EXPECT_FALSE(runner.RunLine("key Ctrl+Nothing", &error));
  EXPECT_EQ(error, "unknown key \"Ctrl+Nothing\"");
  EXPECT_FALSE(runner.RunLine("pick #3 \"x\" triple", &error));
  EXPECT_FALSE(runner.RunLine("answer Yes", &error));
  EXPECT_EQ(error, "no message box is open");
  EXPECT_FALSE(runner.RunLine("choose \"&File\"", &error));
  EXPECT_EQ(error, "no menu bar is shown");
  EXPECT_TRUE(runner.RunLine("close", &error)) << error;
  EXPECT_FALSE(runner.RunLine("dump", &error));
  EXPECT_EQ(error, "the program has been closed");
}

TEST(WindowDump, WindowsControlsListsAndDialogsInAStableForm) {
  WindowSystem system;
  WindowCreateParams top;
  top.class_name = "WINDOW";
  top.text = "Caf\xE9 \"list\"";
  top.style = kWsVisible | kWsCaption;
  const WindowHandle window = system.CreateWindow(top);
  WindowCreateParams list;
  list.kind = WindowKind::kControl;
  list.class_name = "LIST";
  list.parent = window;
  list.control_id = 3;
  list.style = kWsVisible;
  const WindowHandle rows = system.CreateWindow(list);
  (void)system.SetText(rows, "Name\tAge\nfirst\tsecond");
  (void)system.SetRows(rows, {"a\t1", "b\t2"});
  (void)system.SetValue(rows, 1);
  (void)system.SetScrollRange(rows, 0, 100);
  (void)system.SetScroll(rows, 40, 0);
  WindowCreateParams button = list;
  button.class_name = "BUTTON";
  button.text = "&OK";
  button.control_id = 4;
  const WindowHandle ok = system.CreateWindow(button);
  (void)system.EnableWindow(ok, false);
  (void)system.SetFocus(rows);
  EXPECT_EQ(DumpWindows(system),
            "window \"Caf\\xE9 \\\"list\\\"\" window active\n"
            "  LIST 3 scroll=40 range=0..100 focus\n"
            "    header \"Name\\tAge\"\n"
            "    header \"first\\tsecond\"\n"
            "    row 1 \"a\\t1\"\n"
            "    row* 2 \"b\\t2\"\n"
            "  BUTTON 4 \"&OK\" disabled\n");
}

}  // namespace
}  // namespace vaultrix::platform::headless
