// The report of one user's 10,000 entries: producing every preview page file,
// and reading and playing the first page back as the preview shows it.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/metafile_page.h"
#include "platform/metafile_player.h"
#include "platform/whole_file.h"
#include "runtime/report/report.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_resource.h"

namespace vaultrix::report {
namespace {

constexpr int kEntries = 10000;

class BenchPrinter : public platform::Printer {
 public:
  platform::PrinterCaps Caps() const override { return platform::kLetterAt600Dpi; }
  std::unique_ptr<platform::PrintJob> StartDocument(const std::string&) override { return nullptr; }
};

struct Variables {
  char service[30], url[90], name[30], password[30], notes[10000];
};

template <std::size_t N>
void Fill(char (&field)[N], const std::string& text) {
  std::memset(field, ' ', N);
  std::memcpy(field, text.data(), std::min(text.size(), N));
}

// Prints the whole report into `preview`; the report stays open.
void ProduceReport(windows::WindowResource& report, Variables& vars, PreviewQueue& preview) {
  OpenReport(report, &preview);
  const std::size_t detail = BandIndex(report, windows::rsc::kDetailBand);
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    Fill(vars.service, "service " + n);
    Fill(vars.url, "https://www.example.org/login/" + n);
    Fill(vars.name, "user" + n + "@example.org");
    Fill(vars.password, "correct-horse-battery-" + n);
    std::memset(vars.notes, 0, sizeof vars.notes);
    std::snprintf(vars.notes, sizeof vars.notes, "Security question: first pet %d", i);
    Print(report, detail);
  }
  EndPage(report);
}

struct Fixture {
  Fixture() {
    platform::InstallPrinter(std::make_shared<BenchPrinter>());
    windows::OpenWindowResource(&report, windows::WindowKind::kReport, "VAULTRIX$vltrx010",
                                "PRINTP_:KEYSERVICE$REPORT",
                                {vars->service, vars->url, vars->name, vars->password, vars->notes});
  }
  std::unique_ptr<Variables> vars = std::make_unique<Variables>();
  std::unique_ptr<windows::WindowResource> report;
};

void BM_ReportAllPageFiles(benchmark::State& state) {
  Fixture fixture;
  std::size_t pages = 0;
  for (auto _ : state) {
    PreviewQueue preview;
    ProduceReport(*fixture.report, *fixture.vars, preview);
    pages = preview.pages.size();
    state.PauseTiming();
    CloseReport(*fixture.report);
    state.ResumeTiming();
  }
  state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_ReportAllPageFiles)->Unit(benchmark::kMillisecond);

class CountingCanvas : public platform::MetafileCanvas {
 public:
  void Text(std::int16_t, std::int16_t, const std::string& text, const platform::MetafileFont&,
            const platform::MetafileRect*) override {
    characters += text.size();
  }
  std::size_t characters = 0;
};

void BM_ReportFirstPreviewPage(benchmark::State& state) {
  Fixture fixture;
  PreviewQueue preview;
  ProduceReport(*fixture.report, *fixture.vars, preview);
  for (auto _ : state) {
    std::string bytes;
    if (platform::ReadWholeFile(preview.pages.front(), platform::kMaxPageFileSize, bytes) != 0) {
      state.SkipWithError("first page unreadable");
      break;
    }
    platform::PageFileView page;
    if (!platform::ReadPageFile(platform::AsBytes(bytes), &page)) {
      state.SkipWithError("first page is no page file");
      break;
    }
    CountingCanvas canvas;
    benchmark::DoNotOptimize(platform::PlayMetafile(page.metafile, canvas));
    benchmark::DoNotOptimize(canvas.characters);
  }
  CloseReport(*fixture.report);
}
BENCHMARK(BM_ReportFirstPreviewPage)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vaultrix::report
