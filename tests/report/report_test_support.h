// A report of the program's own ("Passwords by Service") with its variables,
// printed on the headless printer, and the texts of its pages read back.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/drivers/headless/headless_printer.h"
#include "platform/metafile_page.h"
#include "platform/metafile_player.h"
#include "platform/whole_file.h"
#include "runtime/report/report.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_resource.h"

namespace vaultrix::report {

struct Entry {
  std::string service, url, name, password, notes;
};

// The variables the report's detail band binds, in control order.
struct EntryVariables {
  char service[30], url[90], name[30], password[30], notes[10000];

  void Set(const Entry& entry) {
    Fill(service, entry.service);
    Fill(url, entry.url);
    Fill(name, entry.name);
    Fill(password, entry.password);
    std::memset(notes, 0, sizeof notes);
    std::memcpy(notes, entry.notes.data(), std::min(entry.notes.size(), sizeof notes));
  }
  template <std::size_t N>
  static void Fill(char (&field)[N], const std::string& text) {
    std::memset(field, ' ', N);
    std::memcpy(field, text.data(), std::min(text.size(), N));
  }
};

// The texts of one page, top to bottom.
inline std::vector<std::string> PageTexts(std::span<const std::uint8_t> metafile) {
  struct Canvas : platform::MetafileCanvas {
    void Text(std::int16_t, std::int16_t, const std::string& text, const platform::MetafileFont&,
              const platform::MetafileRect*) override {
      texts.push_back(text);
    }
    std::vector<std::string> texts;
  } canvas;
  (void)platform::PlayMetafile(metafile, canvas);
  return canvas.texts;
}

inline std::vector<std::string> PageFileTexts(const std::string& path) {
  std::string bytes;
  if (platform::ReadWholeFile(path, platform::kMaxPageFileSize, bytes) != 0) return {};
  platform::PageFileView page;
  if (!platform::ReadPageFile(platform::AsBytes(bytes), &page)) return {};
  return PageTexts(page.metafile);
}

// The number of the footer's "Page N" among a page's texts, 0 when none.
inline int PageNumberOf(const std::vector<std::string>& texts) {
  for (const std::string& text : texts) {
    if (text.starts_with("Page ")) return std::atoi(text.c_str() + 5);
  }
  return 0;
}

class ReportFixture : public ::testing::Test {
 protected:
  ReportFixture() : printer_(platform::InstallHeadlessPrinter()) {
    printer_.SetCaps(platform::kLetterAt600Dpi);
    windows::OpenWindowResource(&report_, windows::WindowKind::kReport, "VAULTRIX$vltrx010",
                                "PRINTP_:KEYSERVICE$REPORT",
                                {vars_->service, vars_->url, vars_->name, vars_->password, vars_->notes});
  }
  ~ReportFixture() override {
    if (ReportIsOpen(*report_)) CloseReport(*report_);
  }

  // Opens the report, prints one detail band per entry and ends the last page.
  void PrintEntries(const std::vector<Entry>& entries, PreviewQueue* preview) {
    OpenReport(*report_, preview);
    const std::size_t detail = BandIndex(*report_, windows::rsc::kDetailBand);
    for (const Entry& entry : entries) {
      vars_->Set(entry);
      Print(*report_, detail);
    }
    EndPage(*report_);
  }

  platform::HeadlessPrinter& printer_;
  PreviewQueue preview_;  // outlives the report, which the fixture may close last
  std::unique_ptr<EntryVariables> vars_ = std::make_unique<EntryVariables>();
  std::unique_ptr<windows::WindowResource> report_;
};

}  // namespace vaultrix::report
