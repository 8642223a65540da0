// The sample script (sample_app.vscript) against the sample application
// (sample_app.vwin, compiled here as the program's resources): typing,
// buttons, a rejected entry, list rows, the clipboard, the timer on the
// simulated clock, a message box and the menu, checked through the dump; and
// a script that fails names its line and still closes the program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/windows/ctllist_window.h"
#include "runtime/windows/window_properties.h"
#include "tests/platform/watchdog.h"
#include "tests/windows/headless_program.h"

namespace vaultrix::windows {
namespace {

std::string ReadSource(const std::string& name) {
  std::ifstream in(std::string(VAULTRIX_SOURCE_DIR) + "/tests/windows/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::string& SampleWindows() {
  static const std::string source = ReadSource("sample_app.vwin");
  return source;
}

std::string Trimmed(const char* field, std::size_t size) {
  std::string text(field, size);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

class SampleScriptTest : public HeadlessProgramTest {
 protected:
  SampleScriptTest() : HeadlessProgramTest(SampleWindows().c_str()) {
    std::memset(name_, ' ', sizeof name_);
    std::memset(picked_, ' ', sizeof picked_);
  }

  // The sample application's procedure, one event at a time.
  int Body(WindowObject& window) {
    const EventRecord& event = *window.current_event;
    const int control = event.control != nullptr ? event.control->number : 0;
    switch (event.Event()) {
      case kEventNotify:
        if (busy_) PostEvent(engine_, kEventNotify, 0, 0);  // never idle
        break;
      case kEventTimer:
        if (busy_) PostEvent(engine_, kEventNotify, 0, 0);
        SetProperty(engine_, &window, 0, kPropStatusText, 2,
                    std::to_string(++ticks_) + " ticks");
        break;
      case kEventRejected:
        if (control == 4) {
          age_rejected_ = true;
          Show(window, "The age is not a number");
        }
        break;
      case kEventAccepted:
        Accepted(window, control);
        break;
      default:
        break;
    }
    return kBodyDefault;
  }

  void Accepted(WindowObject& window, int control) {
    const std::string name = Trimmed(name_, sizeof name_);
    if (control == 4) age_rejected_ = false;
    if (control == 5 && !age_rejected_) {
      Show(window, "Hello, " + name + " (" + std::to_string(age_) + ")");
      names_.rows().push_back({name, std::to_string(age_)});
    } else if (control == 6) {
      system_.SetClipboardText(Trimmed(picked_, sizeof picked_));
    } else if (control == -1) {
      const platform::MessageBoxAnswer answer = system_.MessageBox(
          window.handle, {"Greeter", "Clear the list?", platform::MessageBoxButtons::kYesNo,
                          platform::MessageBoxIcon::kQuestion, 1});
      if (answer == platform::MessageBoxAnswer::kYes) names_.rows().clear();
    } else if (control == -10) {
      (void)system_.PostMessage(window.handle, platform::kWmClose);
    }
  }

  void Show(WindowObject& window, const std::string& text) {
    SetProperty(engine_, &window, 7, kPropText, 0, text);
  }

  void Start() {
    Open("GREETER$WINDOW", {name_, &age_, picked_},
         [this](WindowObject& window) { (void)BindListQueue(engine_, window, 8, &names_); },
         [this](WindowObject& window) { return Body(window); });
  }

  // Runs a script and answers its exit code; its output goes to *out.
  int RunScript(const std::string& text, std::string* out, std::string* err) {
    std::istringstream script(text);
    std::ostringstream output;
    std::ostringstream errors;
    platform::headless::ScriptRunner runner(automation(), output);
    const int code = runner.Run(script, errors);
    *out = output.str();
    *err = errors.str();
    return code;
  }

  testing::Watchdog watchdog_{"sample script"};
  char name_[20];
  std::int32_t age_ = 0;
  char picked_[20];
  int ticks_ = 0;
  bool age_rejected_ = false;
  std::atomic<bool> busy_{false};
  TableListQueue names_;
};

TEST_F(SampleScriptTest, SampleScriptRunsToTheEndAndClosesTheProgram) {
  Start();
  std::string out;
  std::string err;
  EXPECT_EQ(RunScript(ReadSource("sample_app.vscript"), &out, &err), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_TRUE(session_.Join(std::chrono::seconds(20))) << "the menu's Exit ended the program";
  EXPECT_EQ(out, ReadSource("sample_app.dump"));
}

TEST_F(SampleScriptTest, AFailingLineIsNamedAndTheProgramStillCloses) {
  Start();
  std::string out;
  std::string err;
  EXPECT_EQ(RunScript("type \"&Name:\" \"Ada\"\n\npress \"&Send\"\ndump\n", &out, &err), 1);
  EXPECT_EQ(err, "line 3: no button \"&Send\" is shown\n");
  EXPECT_EQ(out, "") << "nothing after the failing line runs";
  EXPECT_TRUE(session_.Join(std::chrono::seconds(20)));
}

TEST_F(SampleScriptTest, ChecksThatDoNotHoldFailTheScript) {
  Start();
  std::string out;
  std::string err;
  EXPECT_EQ(RunScript("# checks\nexpect-clipboard \"x\"\n", &out, &err), 1);
  EXPECT_EQ(err, "line 2: the clipboard holds nothing, not \"x\"\n");
}

TEST_F(SampleScriptTest, AProgramThatNeverSettlesFailsTheLineAfterTheLimit) {
  busy_ = true;
  Start();
  std::string error;
  ASSERT_TRUE(script_.RunLine("limit 100", &error)) << error;
  ASSERT_TRUE(script_.RunLine("advance 1000", &error)) << error;  // the timer starts the spin
  EXPECT_FALSE(script_.RunLine("wait", &error));
  EXPECT_EQ(error, "the program did not settle within 100 ms");
  busy_ = false;
  ASSERT_TRUE(script_.RunLine("limit 20000", &error)) << error;
}

}  // namespace
}  // namespace vaultrix::windows
