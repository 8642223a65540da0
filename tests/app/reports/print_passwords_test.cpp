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

TEST_F(PrintPasswordsTest, AUserWithoutEntriesGetsNoPreview) {
  WriteUsers({{"Ann", "Not Required"}});
  Call(PrintPasswordsByName, 0);
  RunReport();
  ASSERT_TRUE(Returned());
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace vaultrix::app
