// The password reports end to end on real data files and the headless
// printer: the user's entries previewed page by page and printed, or no
// preview at all for a user without entries.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/reports/print_passwords.h"
#include "app/services/global_codes.h"
#include "platform/drivers/headless/headless_printer.h"
#include "platform/metafile_player.h"
#include "tests/app/users/users_test_support.h"

namespace vaultrix::app {
namespace {

class PrintPasswordsTest : public testing::UsersTest {
 protected:
  // Lets the progress window's timer run until the preview (or nothing) is left.
  void RunReport() {
    std::string error;
    for (int i = 0; i < 200 && TopCaption() != "Report Preview" && !run_.Finished(); ++i) {
      ASSERT_TRUE(automation_.AdvanceClock(20, &error)) << error;
      ASSERT_TRUE(automation_.Settle(&error)) << error;
    }
  }

  // The window-system state of control `number` of the preview window.
  platform::WindowInfo ControlInfo(int number) {
    std::vector<platform::WindowHandle> walk = system_.TopLevelWindows();
    while (!walk.empty()) {
      const platform::WindowHandle handle = walk.back();
      walk.pop_back();
      const auto info = system_.GetWindowInfo(handle);
      if (info && info->kind == platform::WindowKind::kControl && info->control_id == number) {
        return *info;
      }
      for (platform::WindowHandle child : system_.Children(handle)) walk.push_back(child);
    }
    ADD_FAILURE() << "no control " << number;
    return {};
  }

  std::vector<std::string> PageTexts(const std::vector<std::uint8_t>& page) {
    struct Canvas : platform::MetafileCanvas {
      void Text(std::int16_t, std::int16_t, const std::string& text, const platform::MetafileFont&,
                const platform::MetafileRect*) override {
        texts.push_back(text);
      }
      std::vector<std::string> texts;
    } canvas;
    (void)platform::PlayMetafile(page, canvas);
    return canvas.texts;
  }
};

TEST_F(PrintPasswordsTest, EntriesArePreviewedThenPrintedAndThePageFilesGo) {
  WriteUsers({{"Ann", "Not Required"}});
  WritePasswords("Ann", 40);
  platform::HeadlessPrinter& printer = platform::InstallHeadlessPrinter();
  const std::size_t printed_before = printer.Documents().size();
  Call(PrintPasswordsByService, 0);
  RunReport();
  ASSERT_EQ(TopCaption(), "Report Preview") << automation_.Dump();
  const std::string dump = automation_.Dump();
  EXPECT_NE(dump.find("page=816x1056"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\"Page 1 of 3\" \"No Zoom\""), std::string::npos) << dump;

  std::string error;
  ASSERT_TRUE(automation_.Choose({"&View", "&Next Page(s)"}, &error)) << error;
  ASSERT_TRUE(automation_.Settle(&error)) << error;
  EXPECT_NE(automation_.Dump().find("\"Page 2 of 3\" \"No Zoom\""), std::string::npos);
  ASSERT_TRUE(automation_.Choose({"&Zoom", "Page &Width"}, &error)) << error;
  ASSERT_TRUE(automation_.Settle(&error)) << error;
  EXPECT_NE(automation_.Dump().find("\"Page 2 of 3\" \"Zoom (Page Width)\""), std::string::npos)
      << automation_.Dump();

  ASSERT_TRUE(automation_.Choose({"&View", "&Jump to a page"}, &error)) << error;
  ASSERT_TRUE(automation_.Settle(&error)) << error;
  Type("&Page:", "3");
  Press("Jump to the selected page");
  EXPECT_NE(automation_.Dump().find("\"Page 3 of 3\""), std::string::npos) << automation_.Dump();
  ASSERT_TRUE(automation_.Choose({"&View", "&Change Display"}, &error)) << error;
  ASSERT_TRUE(automation_.Settle(&error)) << error;
  Type("Across", "2");
  Press("&OK");
  // Back to thumbnails, two across: pages 3 and (none past the last).
  EXPECT_NE(automation_.Dump().find("\"Page 3 of 3\" \"No Zoom\""), std::string::npos);
  EXPECT_NE(automation_.Dump().find("IMAGE 101 \"\" hidden"), std::string::npos) << automation_.Dump();

  Press("#-14");  // the toolbar's print button
  ASSERT_TRUE(Returned());
  EXPECT_EQ(response_, kRequestCompleted);
  const auto documents = printer.Documents();
  ASSERT_EQ(documents.size(), printed_before + 1);
  EXPECT_EQ(documents.back().name, "Passwords by Service");
  ASSERT_EQ(documents.back().pages.size(), 3u);
  const auto first = PageTexts(documents.back().pages.front());
  EXPECT_NE(std::find(first.begin(), first.end(), "service 0"), first.end());
  // Nothing of the report is left in the temporary directory.
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path())) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(
        "vaultrix-pages-" + std::to_string(::getpid()) + "-"))
        << entry.path();
  }
}

// A click on a thumbnail zooms to page width on its page; a click on the
// zoomed page goes back to the thumbnails. The page spin tells its range.
TEST_F(PrintPasswordsTest, ClicksOnThumbnailsAndTheZoomedPageMoveBetweenThem) {
  WriteUsers({{"Ann", "Not Required"}});
  WritePasswords("Ann", 160);
  Call(PrintPasswordsByService, 0);
  RunReport();
  ASSERT_EQ(TopCaption(), "Report Preview");
  ASSERT_NE(automation_.Dump().find("\"Page 1 of 10\" \"No Zoom\""), std::string::npos)
      << automation_.Dump();
  const platform::WindowInfo page_spin = ControlInfo(-18);
  EXPECT_EQ(page_spin.display.tooltip, "Enter a page number from 1 to 10");
  EXPECT_EQ(page_spin.display.low, 1);  // the range a driver's spin keeps to
  EXPECT_EQ(page_spin.display.high, 10);

  std::string error;
  ASSERT_TRUE(automation_.Choose({"&View", "&Change Display"}, &error)) << error;
  ASSERT_TRUE(automation_.Settle(&error)) << error;
  Type("Across", "4");
  Press("&OK");
  EXPECT_EQ(ControlInfo(-20).text, " 4");  // the toolbar's across spin follows
  const auto click = [&](const char* image) {
    ASSERT_TRUE(automation_.Click(platform::headless::ControlRef::Parse(image),
                                  platform::headless::MouseButton::kLeft, false, &error))
        << error;
    ASSERT_TRUE(automation_.Settle(&error)) << error;
  };
  click("#102");  // the third thumbnail, from 0
  std::string dump = automation_.Dump();
  EXPECT_NE(dump.find("\"Page 3 of 10\" \"Zoom (Page Width)\""), std::string::npos) << dump;
  EXPECT_FALSE(ControlInfo(102).visible);
  // Page width: the zoomed page is as wide as the window.
  const platform::WindowInfo page = ControlInfo(300);
  EXPECT_TRUE(page.visible);
  EXPECT_EQ(page.rect.width, system_.GetWindowInfo(page.parent)->rect.width);
  click("#300");
  dump = automation_.Dump();
  EXPECT_NE(dump.find("\"Page 3 of 10\" \"No Zoom\""), std::string::npos) << dump;
  EXPECT_FALSE(ControlInfo(300).visible);
  EXPECT_TRUE(ControlInfo(100).visible);
}

TEST_F(PrintPasswordsTest, AUserWithoutEntriesGetsNoPreview) {
  WriteUsers({{"Ann", "Not Required"}});
  Call(PrintPasswordsByName, 0);
  RunReport();
  ASSERT_TRUE(Returned());
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace vaultrix::app
