// The report of one user's 10,000 entries: producing every preview page file,
// and reading and playing the first page back as the preview shows it.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/report_pages.h"
#include "platform/metafile_page.h"
#include "platform/metafile_player.h"
#include "platform/whole_file.h"

namespace vaultrix::report {
namespace {

using Fixture = vaultrix::bench::ReportFixture;
using vaultrix::bench::ProduceReport;

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
