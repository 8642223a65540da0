// The report preview's first page: from ReportPreview's start on runtime
// thread 1, over the page files of the 10,000-entry report, until the first
// page (its first thumbnail) is on the display: published to the headless
// driver and taken by it, or painted into its widget by the Qt driver on the
// offscreen platform. Closing the preview is not measured.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/program/run.h"
#include "app/reports/report_preview.h"
#include "bench/bench_dir.h"
#include "bench/report_pages.h"
#include "platform/drivers/headless/headless_driver.h"
#include "platform/locations.h"
#include "runtime/windows/event_codes.h"

#if defined(VAULTRIX_HAVE_QT)
#include <QtCore/QCoreApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>

#include "platform/drivers/qt/qt_driver.h"
#endif

namespace vaultrix::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kExitButton = -15;      // the preview's toolbar "Exit"
constexpr int kFirstThumbnail = 100;  // the image control of the first thumbnail

// The page files of the report, kept until the benchmark ends, and a
// settings folder of its own, so that the preview's placement is not
// written into the user's.
class PreviewPages {
 public:
  PreviewPages() {
    platform::SetSettingsFolderOverride(dir_.Path("settings"));
    ProduceReport(*fixture_.report, *fixture_.vars, queue_);
  }
  ~PreviewPages() {
    report::CloseReport(*fixture_.report);
    platform::SetSettingsFolderOverride("");
  }
  [[nodiscard]] const report::PreviewQueue& Queue() const { return queue_; }

 private:
  BenchDir dir_;
  ReportFixture fixture_;
  report::PreviewQueue queue_;
};

// Thread 1 opens the preview again each time it is left, noting when.
class PreviewLoop {
 public:
  PreviewLoop(platform::WindowSystem& system, const report::PreviewQueue& pages)
      : system_(system), run_(system) {
    run_.Start([this, &pages] {
      while (!stop_.load()) {
        opened_at_.store(Clock::now().time_since_epoch().count());
        openings_.fetch_add(1);
        app::ReportPreview(pages);
      }
    });
  }
  ~PreviewLoop() {
    // An exit posted before the last preview's window is open would be lost.
    (void)system_.WaitUntilIdle(std::chrono::seconds(60));
    stop_.store(true);
    Exit();
    run_.Wait();
  }
  // Leaves the shown preview, as its "Exit" button does, and answers the
  // number of openings so far.
  int Exit() {
    const int openings = openings_.load();
    run_.Lock().Acquire();
    windows::PostEvent(run_.Engine(), windows::kEventAccepted, kExitButton, 1);
    run_.Lock().Release();
    return openings;
  }
  [[nodiscard]] bool OpenedAgain(int openings_before) const {
    return openings_.load() > openings_before;
  }
  [[nodiscard]] double SecondsSinceOpened() const {
    const Clock::time_point opened{Clock::duration(opened_at_.load())};
    return std::chrono::duration<double>(Clock::now() - opened).count();
  }

 private:
  platform::WindowSystem& system_;
  app::ProgramRun run_;
  std::atomic<bool> stop_{false};
  std::atomic<Clock::rep> opened_at_{0};
  std::atomic<int> openings_{0};
};

// The handle of the first thumbnail of the open preview, none when it has none.
platform::WindowHandle FirstThumbnail(const platform::WindowSystem& system) {
  for (platform::WindowHandle window : system.TopLevelWindows()) {
    if (system.GetText(window) != "Report Preview") continue;
    for (platform::WindowHandle child : system.Children(window)) {
      const auto info = system.GetWindowInfo(child);
      if (info && info->control_id == kFirstThumbnail && !info->display.image.empty()) return child;
    }
  }
  return platform::kNoWindow;
}

void BM_ReportPreviewFirstPageHeadless(benchmark::State& state) {
  PreviewPages pages;
  platform::WindowSystem system;
  platform::headless::HeadlessDriver driver(system);
  PreviewLoop loop(system, pages.Queue());
  for (auto _ : state) {
    // The preview waits for input once its first display is out.
    if (!system.WaitUntilIdle(std::chrono::seconds(60))) {
      state.SkipWithError("the preview did not come to rest");
      break;
    }
    driver.Pump();
    state.SetIterationTime(loop.SecondsSinceOpened());
    if (FirstThumbnail(system) == platform::kNoWindow) {
      state.SkipWithError("no page shown");
      break;
    }
    driver.ClearHistory();
    const int openings = loop.Exit();
    while (!loop.OpenedAgain(openings)) std::this_thread::yield();
  }
  state.counters["pages"] = static_cast<double>(pages.Queue().pages.size());
}
BENCHMARK(BM_ReportPreviewFirstPageHeadless)->UseManualTime()->Unit(benchmark::kMillisecond);

#if defined(VAULTRIX_HAVE_QT)

QApplication& Application() {
  static int argc = 1;
  static char name[] = "vaultrix_bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(argc, argv);
  return application;
}

// The first thumbnail's widget once the page is painted into it.
QLabel* PaintedThumbnail(const platform::WindowSystem& system, platform::qt::QtDriver& driver) {
  const platform::WindowHandle thumbnail = FirstThumbnail(system);
  if (thumbnail == platform::kNoWindow) return nullptr;
  auto* label = qobject_cast<QLabel*>(driver.ObjectOf(thumbnail));
  return label != nullptr && label->isVisible() && !label->pixmap().isNull() ? label : nullptr;
}

void BM_ReportPreviewFirstPageQt(benchmark::State& state) {
  Application();
  PreviewPages pages;
  platform::WindowSystem system;
  platform::qt::QtDriverOptions options;
  options.sync_clipboard = false;
  platform::qt::QtDriver driver(system, options);
  PreviewLoop loop(system, pages.Queue());
  const auto pump_until = [&](const std::function<bool()>& done) {
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(60);
    while (!done() && Clock::now() < limit) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return done();
  };
  for (auto _ : state) {
    QLabel* painted = nullptr;
    if (!pump_until([&] { return (painted = PaintedThumbnail(system, driver)) != nullptr; })) {
      state.SkipWithError("no page painted");
      break;
    }
    painted->repaint();  // the pixmap drawn on the widget, not only made
    state.SetIterationTime(loop.SecondsSinceOpened());
    const int openings = loop.Exit();
    (void)pump_until([&] { return loop.OpenedAgain(openings); });
  }
  state.counters["pages"] = static_cast<double>(pages.Queue().pages.size());
}
BENCHMARK(BM_ReportPreviewFirstPageQt)->UseManualTime()->Unit(benchmark::kMillisecond);

#endif

}  // namespace
}  // namespace vaultrix::bench
