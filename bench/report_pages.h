// The report of one user's 10,000 entries ("Passwords by Service") printed
// into preview page files, for the report benchmarks: the printer is a fixed
// 600 dpi Letter profile and the entries are made up.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/printer.h"
#include "runtime/report/report.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_resource.h"

namespace vaultrix::bench {

constexpr int kReportEntries = 10000;

class ReportBenchPrinter : public platform::Printer {
 public:
  platform::PrinterCaps Caps() const override { return platform::kLetterAt600Dpi; }
  std::unique_ptr<platform::PrintJob> StartDocument(const std::string&) override { return nullptr; }
};

struct ReportVariables {
  char service[30], url[90], name[30], password[30], notes[10000];
};

template <std::size_t N>
inline void Fill(char (&field)[N], const std::string& text) {
  std::memset(field, ' ', N);
  std::memcpy(field, text.data(), std::min(text.size(), N));
}

// Prints the whole report into `preview`; the report stays open.
inline void ProduceReport(windows::WindowResource& description, ReportVariables& vars,
                          report::PreviewQueue& preview) {
  report::OpenReport(description, &preview);
  const std::size_t detail = report::BandIndex(description, windows::rsc::kDetailBand);
  for (int i = 0; i < kReportEntries; ++i) {
    const std::string n = std::to_string(i);
    Fill(vars.service, "service " + n);
    Fill(vars.url, "https://www.example.org/login/" + n);
    Fill(vars.name, "user" + n + "@example.org");
    Fill(vars.password, "correct-horse-battery-" + n);
    std::memset(vars.notes, 0, sizeof vars.notes);
    std::snprintf(vars.notes, sizeof vars.notes, "Security question: first pet %d", i);
    report::Print(description, detail);
  }
  report::EndPage(description);
}

struct ReportFixture {
  ReportFixture() {
    platform::InstallPrinter(std::make_shared<ReportBenchPrinter>());
    windows::OpenWindowResource(
        &report, windows::WindowKind::kReport, "VAULTRIX$vltrx010", "PRINTP_:KEYSERVICE$REPORT",
        {vars->service, vars->url, vars->name, vars->password, vars->notes});
  }
  std::unique_ptr<ReportVariables> vars = std::make_unique<ReportVariables>();
  std::unique_ptr<windows::WindowResource> report;
};

}  // namespace vaultrix::bench
