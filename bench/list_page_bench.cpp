// Producing one visible page of the password browser's list: 30 rows of its
// four columns (service, URL, name, notes), each field formatted by its
// picture, aligned and cut to its column, and the same page published into
// the window system for the display drivers. Goal: under 200 microseconds.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/window_system.h"
#include "runtime/windows/ctllist.h"
#include "runtime/windows/ctllist_window.h"
#include "runtime/windows/event_engine.h"

namespace {

using vaultrix::windows::ListControl;
using vaultrix::windows::TableListQueue;

constexpr std::string_view kBrowserFormat =
    "80L(2)|M~Service~@s30@80L(2)|M~URL~@s90@80L(2)|M~Name~@s30@80L(2)|M~Notes~@s255@";

TableListQueue BrowserPage() {
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < 30; ++i) {
    const std::string n = std::to_string(i);
    std::string service = "Service number " + n;
    std::string url = "https://accounts.example.com/sign-in/" + n + "?return=/home";
    std::string name = "user" + n + "@example.com";
    std::string notes(2000, 'n');  // long notes: the column shows the first 255 characters
    service.resize(30, ' ');       // fixed-length fields, as the page queue holds them
    url.resize(90, ' ');
    name.resize(30, ' ');
    rows.push_back({service, url, name, notes, "owner", std::string(512, '\0')});
  }
  return TableListQueue(std::move(rows));
}

void BM_ListPageOfThirtyRows(benchmark::State& state) {
  ListControl list(0x803);
  if (!list.SetFormat(kBrowserFormat)) state.SkipWithError("format does not parse");
  list.SetHeight(248);  // a 16-pixel header and 30 rows of 16 pixels
  if (list.VisibleRows() != 30) state.SkipWithError("the page is not 30 rows");
  TableListQueue queue = BrowserPage();
  list.BindQueue(&queue);
  for (auto _ : state) {
    auto page = list.ProducePage();
    benchmark::DoNotOptimize(page.rows.data());
  }
}
BENCHMARK(BM_ListPageOfThirtyRows)->Unit(benchmark::kMicrosecond);

// A display that only drains the notifications, as a driver's thread would.
class DrainingDriver final : public vaultrix::platform::DisplayDriver {
 public:
  void NotificationsPending() override {}
  void OpenDialog(const vaultrix::platform::DialogRequest&) override {}
};

// The page formatted and published into the window system (header lines,
// rows, selection, scroll range and position), with a driver attached whose
// notifications are drained: what one refill of the browser's page costs.
// The queue alternates between two pages, so that every pass publishes new
// rows.
void BM_ListPagePublished(benchmark::State& state) {
  namespace p = vaultrix::platform;
  namespace w = vaultrix::windows;
  p::WindowSystem system;
  DrainingDriver driver;
  system.AttachDriver(&driver);
  w::EventEngine engine(system);
  p::WindowCreateParams top;
  top.class_name = "WINDOW";
  w::WindowObject window;
  window.handle = system.CreateWindow(top);
  p::WindowCreateParams child;
  child.kind = p::WindowKind::kControl;
  child.class_name = "LIST";
  child.parent = window.handle;
  child.control_id = 1;
  auto control = std::make_unique<w::ControlObject>();
  control->number = 1;
  control->window = &window;
  control->type = 0x0E;
  control->handle = system.CreateWindow(child);
  w::ControlView view;
  view.flags = 0x803;
  view.format = kBrowserFormat;
  view.at.height = 248;
  w::AttachList(engine, *control, view);
  window.controls.push_back(std::move(control));
  TableListQueue pages[2] = {BrowserPage(), BrowserPage()};
  for (auto& row : pages[1].rows()) row[0][0] = 'X';
  (void)w::BindListQueue(engine, window, 1, &pages[0]);
  int turn = 0;
  for (auto _ : state) {
    turn ^= 1;
    (void)w::BindListQueue(engine, window, 1, &pages[turn]);
    auto drained = system.TakeNotifications();
    benchmark::DoNotOptimize(drained.data());
  }
  if (system.GetWindowInfo(window.controls[0]->handle)->rows.size() != 30) {
    state.SkipWithError("the page is not 30 rows");
  }
  system.AttachDriver(nullptr);
}
BENCHMARK(BM_ListPagePublished)->Unit(benchmark::kMicrosecond);

void BM_ListFormatParseAndWrite(benchmark::State& state) {
  for (auto _ : state) {
    vaultrix::windows::ListFormat format;
    if (!vaultrix::windows::ParseListFormat(kBrowserFormat, &format)) state.SkipWithError("parse");
    auto text = vaultrix::windows::WriteListFormat(format);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_ListFormatParseAndWrite)->Unit(benchmark::kMicrosecond);

}  // namespace
