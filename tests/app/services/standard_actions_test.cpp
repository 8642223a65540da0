// The program's standard actions: printer set-up and Help > Contents ask the
// display driver through the window system, and the help document is found
// where the program ships it.
#include "app/services/standard_actions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/locations.h"
#include "platform/window_system.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_object.h"
#include "tests/app/frame/frame_test_support.h"

namespace vaultrix::app {
namespace {

// A driver that answers every dialog at once and notes what it was asked.
class RecordingDriver final : public platform::DisplayDriver {
 public:
  explicit RecordingDriver(platform::WindowSystem& system) : system_(system) {}
  void NotificationsPending() override {}
  void OpenDialog(const platform::DialogRequest& request) override {
    dialogs.push_back(request);
    platform::DialogAnswer answer;
    answer.print = print_answer;
    (void)system_.AnswerDialog(request.id, answer);
  }
  void OpenHelp(const std::string& document, const std::string& keyword) override {
    help.push_back(document + "#" + keyword);
  }

  std::vector<platform::DialogRequest> dialogs;
  std::vector<std::string> help;
  platform::PrintSetupResult print_answer;

 private:
  platform::WindowSystem& system_;
};

class StandardActionsTest : public ::testing::Test {
 protected:
  StandardActionsTest() {
    char pattern[] = "/tmp/vaultrix-actions-XXXXXX";
    folder_ = mkdtemp(pattern);
    platform::SetExecutablePathOverride(folder_ + "/vaultrix");
    system_.AttachDriver(&driver_);
    window_.handle = 77;
    InstallStandardActions(engine_, [this] { return help_file_; });
  }
  ~StandardActionsTest() override {
    system_.AttachDriver(nullptr);
    platform::SetExecutablePathOverride("");
    std::string command = "rm -rf '" + folder_ + "'";
    (void)std::system(command.c_str());
  }
  void Choose(std::int32_t action) { engine_.ActionHandler()(action, window_); }
  void Ship(const std::string& relative) {
    std::ofstream(folder_ + "/" + relative) << "# Vaultrix user guide\n";
  }

  std::string folder_;
  platform::WindowSystem system_;
  windows::EventEngine engine_{system_};
  RecordingDriver driver_{system_};
  windows::WindowObject window_;
  std::string help_file_ = "Vaultrix.HLP";
};

TEST_F(StandardActionsTest, PrinterSetUpAsksTheDriverAndKeepsAnAcceptedChoice) {
  driver_.print_answer = {true, "Office laser", ""};
  Choose(windows::rsc::kActionPrintSetup);
  ASSERT_EQ(driver_.dialogs.size(), 1u);
  EXPECT_EQ(driver_.dialogs[0].kind, platform::DialogKind::kPrintSetup);
  EXPECT_EQ(driver_.dialogs[0].owner, 77u) << "owned by the window whose item was chosen";
  EXPECT_TRUE(ChosenPrinter().accepted);
  EXPECT_EQ(ChosenPrinter().printer, "Office laser");

  driver_.print_answer = {};  // cancelled: the earlier choice stands
  Choose(windows::rsc::kActionPrintSetup);
  EXPECT_EQ(driver_.dialogs.size(), 2u);
  EXPECT_EQ(ChosenPrinter().printer, "Office laser");

  driver_.print_answer = {true, "", folder_ + "/out.pdf"};
  Choose(windows::rsc::kActionPrintSetup);
  EXPECT_EQ(ChosenPrinter().pdf_path, folder_ + "/out.pdf");
  EXPECT_EQ(ChosenPrinter().printer, "");
  EXPECT_TRUE(driver_.help.empty());
}

TEST_F(StandardActionsTest, HelpContentsOpensTheShippedDocumentAtItsStart) {
  Ship("vaultrix.MD");  // letter case is not significant
  Choose(windows::rsc::kActionHelpContents);
  ASSERT_EQ(driver_.help.size(), 1u);
  EXPECT_EQ(driver_.help[0], folder_ + "/vaultrix.MD#");
  EXPECT_TRUE(driver_.dialogs.empty());
}

TEST_F(StandardActionsTest, TheDocumentIsFoundInTheHelpFolderOrAmongTheSharedFiles) {
  ASSERT_EQ(mkdir((folder_ + "/help").c_str(), 0700), 0);
  Ship("help/Vaultrix.md");
  EXPECT_EQ(HelpDocumentPath("Vaultrix.HLP"), folder_ + "/help/Vaultrix.md");
  EXPECT_EQ(HelpDocumentPath("C:\\WINDOWS\\Vaultrix.HLP"), folder_ + "/help/Vaultrix.md");
  EXPECT_EQ(HelpDocumentPath("Other.HLP"), "");
  EXPECT_EQ(HelpDocumentPath(""), "");

  // Installed: PREFIX/bin/vaultrix reads PREFIX/share/vaultrix/; the build
  // folder's program reads the copy the build puts in its share/vaultrix/.
  for (const char* folder : {"/share", "/share/vaultrix", "/bin"}) {
    ASSERT_EQ(mkdir((folder_ + folder).c_str(), 0700), 0) << folder;
  }
  Ship("share/vaultrix/VAULTRIX.md");
  platform::SetExecutablePathOverride(folder_ + "/bin/vaultrix");
  EXPECT_EQ(HelpDocumentPath("Vaultrix.HLP"), folder_ + "/bin/../share/vaultrix/VAULTRIX.md");
  platform::SetExecutablePathOverride(folder_ + "/vaultrix");
  EXPECT_EQ(HelpDocumentPath("Other.HLP"), "");
  ASSERT_EQ(std::remove((folder_ + "/help/Vaultrix.md").c_str()), 0);
  EXPECT_EQ(HelpDocumentPath("Vaultrix.HLP"), folder_ + "/share/vaultrix/VAULTRIX.md");
  // Nothing is looked for where the program was built.
  platform::SetExecutablePathOverride("/nonexistent/vaultrix");
  EXPECT_EQ(HelpDocumentPath("Vaultrix.HLP"), "");
}

TEST_F(StandardActionsTest, AMissingDocumentIsReportedAndNoHelpFileDoesNothing) {
  help_file_ = "Missing.HLP";
  Choose(windows::rsc::kActionHelpContents);
  EXPECT_TRUE(driver_.help.empty());
  ASSERT_EQ(driver_.dialogs.size(), 1u) << "a message box, asked of the driver";
  EXPECT_EQ(driver_.dialogs[0].kind, platform::DialogKind::kMessageBox);
  EXPECT_EQ(driver_.dialogs[0].message_box.text,
            "The help document for Missing.HLP cannot be found.");

  help_file_.clear();  // before the main program names it
  Choose(windows::rsc::kActionHelpContents);
  Choose(windows::rsc::kActionWindowList);  // the driver's, not the program's
  EXPECT_EQ(driver_.dialogs.size(), 1u);
  EXPECT_TRUE(driver_.help.empty());
}

// The real frame: File > "Print &Setup ..." chosen as a display reports it
// reaches the printer set-up dialog through the program's handler.
class FramePrintSetupTest : public testing::FrameTest {};

TEST_F(FramePrintSetupTest, TheFileMenusPrintSetupOpensThePrinterDialog) {
  StartProgram();
  // The dialog stays open until the test answers it.
  driver_.SetUnansweredPolicy(platform::headless::UnansweredPolicy::kWait);
  const std::optional<platform::WindowInfo> item = Control(Frame(), -7);
  ASSERT_TRUE(item.has_value());
  (void)system_.InjectInput(Frame(), platform::kWmCommand, static_cast<std::uint32_t>(-7) & 0xFFFF,
                            static_cast<std::intptr_t>(item->handle));
  Settle();
  const std::vector<platform::DialogRequest> open = system_.OpenDialogs();
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].kind, platform::DialogKind::kPrintSetup);
  EXPECT_EQ(open[0].owner, Frame());
  platform::DialogAnswer answer;
  answer.print = {true, "", "/tmp/vaultrix-report.pdf"};
  ASSERT_TRUE(system_.AnswerDialog(open[0].id, answer));
  Settle();
  EXPECT_EQ(ChosenPrinter().pdf_path, "/tmp/vaultrix-report.pdf");
}

}  // namespace
}  // namespace vaultrix::app
