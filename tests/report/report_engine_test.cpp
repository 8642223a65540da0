// The report engine on the program's own report: pagination, page files and
// their lifetime, printing, and the runtime errors of misuse.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/message_box.h"
#include "platform/metafile_page_folder.h"
#include "runtime/support/runtime_error.h"
#include "tests/report/report_test_support.h"

namespace vaultrix::report {
namespace {

std::vector<Entry> NumberedEntries(int count) {
  std::vector<Entry> entries;
  for (int i = 1; i <= count; ++i) {
    const std::string n = std::to_string(i);
    entries.push_back({"service-" + n, "https://example.org/" + n, "name-" + n, "pw-" + n, ""});
  }
  return entries;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

using ReportEngineTest = ReportFixture;

TEST_F(ReportEngineTest, PreviewWritesOnePrivatePageFilePerPageInOrderAndCloseDeletesThem) {
  PreviewQueue& preview = preview_;
  PrintEntries(NumberedEntries(60), &preview);
  ASSERT_GE(preview.pages.size(), 2u);
  EXPECT_EQ(static_cast<int>(preview.pages.size()), PagesFinished(*report_));

  const std::string folder = std::filesystem::path(preview.pages[0]).parent_path();
  EXPECT_EQ(ModeOf(folder), 0700u);
  int next_entry = 1;
  for (std::size_t page = 0; page < preview.pages.size(); ++page) {
    const std::string& path = preview.pages[page];
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_TRUE(std::filesystem::path(path).filename().string().starts_with("MOR"));
    const auto texts = PageFileTexts(path);
    EXPECT_TRUE(Contains(texts, "Passwords by Service"));
    EXPECT_EQ(PageNumberOf(texts), static_cast<int>(page + 1));
    // Entries continue from page to page without loss.
    while (Contains(texts, "service-" + std::to_string(next_entry))) ++next_entry;
  }
  EXPECT_EQ(next_entry, 61);

  const std::vector<std::string> pages = preview.pages;
  CloseReport(*report_);
  EXPECT_TRUE(preview.pages.empty());
  for (const auto& path : pages) EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(ReportEngineTest, LongNotesWrapAcrossPagesAndLongPasswordsAreCut) {
  std::string notes;
  for (int i = 0; notes.size() < 9990; ++i) notes += "word" + std::to_string(i) + " ";
  PreviewQueue& preview = preview_;
  // The second password's 20th byte is the first half of its last "\xC3\xA9".
  std::string accented = "a";
  for (int i = 0; i < 10; ++i) accented += "\xC3\xA9";
  PrintEntries({{"first", "u", "n", "abcdefghijklmnopqrstuvwxyz", notes},
                {"second", "", "", accented, ""}},
               &preview);
  ASSERT_GE(preview.pages.size(), 3u);
  std::string printed;
  for (const auto& path : preview.pages) {
    for (const auto& text : PageFileTexts(path)) {
      if (text.starts_with("word")) printed += text + " ";
    }
  }
  EXPECT_EQ(printed, notes);
  const auto first = PageFileTexts(preview.pages.front());
  EXPECT_TRUE(Contains(first, "abcdefghijklmnopqrst"));
  const auto last = PageFileTexts(preview.pages.back());
  EXPECT_TRUE(Contains(last, "second"));
  EXPECT_TRUE(Contains(last, accented.substr(0, 19))) << "a character is never cut in half";
}

TEST_F(ReportEngineTest, WithoutPreviewPagesGoToThePrinterAndPrintingAPreviewSendsItsPages) {
  const std::size_t before = printer_.Documents().size();
  PrintEntries(NumberedEntries(5), nullptr);
  CloseReport(*report_);
  PreviewQueue& preview = preview_;
  PrintEntries(NumberedEntries(5), &preview);
  EXPECT_EQ(PrintPreviewPages(*report_), 0);
  CloseReport(*report_);

  const auto documents = printer_.Documents();
  ASSERT_EQ(documents.size(), before + 2);
  for (std::size_t i = before; i < documents.size(); ++i) {
    EXPECT_EQ(documents[i].name, "Passwords by Service");
    ASSERT_EQ(documents[i].pages.size(), 1u);
    EXPECT_TRUE(Contains(PageTexts(documents[i].pages[0]), "service-5"));
  }
}

TEST_F(ReportEngineTest, MisuseIsARuntimeError) {
  struct Ended {};
  std::vector<std::string> shown;
  auto previous_box = platform::SetMessageBoxHandler([&](const platform::MessageBoxRequest& r) {
    shown.push_back(r.text);
    return platform::MessageBoxAnswer::kOk;
  });
  auto previous_exit = support::SetProcessExitHandler([](int) { throw Ended{}; });
  std::unique_ptr<windows::WindowResource> window;
  windows::OpenWindowResource(&window, windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx010",
                              "PRINTP_:KEYSERVICE$PROGRESSWINDOW");
  PreviewQueue& preview = preview_;
  OpenReport(*report_, &preview);
  EXPECT_THROW(OpenReport(*report_, &preview), Ended);
  EXPECT_THROW(Print(*window, 0), Ended);
  EXPECT_THROW(EndPage(*window), Ended);
  CloseReport(*report_);
  printer_.SetRefuse(true);
  EXPECT_THROW(OpenReport(*report_, nullptr), Ended);
  printer_.SetRefuse(false);
  platform::InstallPrinter(nullptr);
  EXPECT_THROW(OpenReport(*report_, &preview), Ended);
  platform::InstallHeadlessPrinter();
  support::SetProcessExitHandler(previous_exit);
  platform::SetMessageBoxHandler(previous_box);
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "Report is already open", "PRINT must only be called for reports",
                       "ENDPAGE must only be called for reports",
                       "Unexpected error opening printer device",
                       "Unexpected error opening printer device"}));
}

TEST(PageFolderTest, LeftoversOfEndedProcessesAreRemovedOthersKept) {
  const std::string temp = testing::TempDir() + "page_folders";
  std::filesystem::create_directories(temp);
  setenv("TMPDIR", temp.c_str(), 1);
  const std::string dead = temp + "/vaultrix-pages-99999999-abcdef";
  const std::string mine = temp + "/vaultrix-pages-" + std::to_string(::getpid()) + "-abcdef";
  const std::string other = temp + "/unrelated-99999999-x";
  for (const auto& folder : {dead, mine, other}) {
    std::filesystem::create_directories(folder);
    std::string ignored;
    ASSERT_EQ(platform::WritePageFile(folder, {}, {}, &ignored), 0);
  }
  EXPECT_EQ(platform::RemoveLeftoverPageFolders(), 1);
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_TRUE(std::filesystem::exists(mine));
  EXPECT_TRUE(std::filesystem::exists(other));
  std::filesystem::remove_all(temp);
}

}  // namespace
}  // namespace vaultrix::report
