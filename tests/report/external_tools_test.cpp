// Pages checked by software written elsewhere: every preview page converts
// with wmf2svg and shows its entries and page number; a report printed into
// a PDF file reads back with pdftotext.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/report/report_test_support.h"

namespace vaultrix::report {
namespace {

bool HaveTool(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<Entry> Entries(int count) {
  std::vector<Entry> entries;
  for (int i = 1; i <= count; ++i) {
    entries.push_back({"svc" + std::to_string(i) + "x", "https://host" + std::to_string(i),
                       "user" + std::to_string(i), "secret" + std::to_string(i), "note " + std::to_string(i)});
  }
  return entries;
}

using ExternalToolsTest = ReportFixture;

TEST_F(ExternalToolsTest, EveryPageFileConvertsWithWmf2svg) {
  if (!HaveTool("wmf2svg")) GTEST_SKIP() << "wmf2svg (Debian libwmf-bin) is not installed";
  const std::string out = testing::TempDir() + "wmf2svg_pages";
  std::filesystem::create_directories(out);
  PrintEntries(Entries(40), &preview_);
  ASSERT_GE(preview_.pages.size(), 2u);
  int next_entry = 1;
  for (std::size_t page = 0; page < preview_.pages.size(); ++page) {
    const std::string svg = out + "/page" + std::to_string(page + 1) + ".svg";
    ASSERT_EQ(std::system(("wmf2svg -o '" + svg + "' '" + preview_.pages[page] + "' 2>/dev/null").c_str()), 0)
        << "page " << page + 1;
    const std::string text = ReadText(svg);
    EXPECT_NE(text.find("Page    " + std::to_string(page + 1)), std::string::npos) << "page " << page + 1;
    while (text.find(">svc" + std::to_string(next_entry) + "x<") != std::string::npos) ++next_entry;
  }
  EXPECT_EQ(next_entry, 41);
  std::filesystem::remove_all(out);
}

TEST_F(ExternalToolsTest, APreviewPrintedIntoAPdfReadsBackWithPdftotext) {
  if (!HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext (Debian poppler-utils) is not installed";
  const std::string pdf = testing::TempDir() + "report.pdf";
  printer_.SetPdfPath(pdf);
  PrintEntries(Entries(40), &preview_);
  EXPECT_EQ(PrintPreviewPages(*report_), 0);
  CloseReport(*report_);
  printer_.SetPdfPath("");
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
  // Blank runs are kept as pdftotext lays them out; one blank is enough here.
  std::string text = ReadText(pdf + ".txt");
  text.erase(std::unique(text.begin(), text.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
             text.end());
  EXPECT_NE(text.find("Passwords by Service"), std::string::npos);
  for (int i : {1, 20, 40}) {
    EXPECT_NE(text.find("svc" + std::to_string(i) + "x"), std::string::npos) << i;
    EXPECT_NE(text.find("secret" + std::to_string(i)), std::string::npos) << i;
  }
  EXPECT_NE(text.find("Page 3"), std::string::npos);
  std::filesystem::remove(pdf);
  std::filesystem::remove(pdf + ".txt");
}

}  // namespace
}  // namespace vaultrix::report
