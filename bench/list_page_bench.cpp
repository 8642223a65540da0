// Producing one visible page of the password browser's list: 30 rows of its
// four columns (service, URL, name, notes), each field formatted by its
// picture, aligned and cut to its column. Goal: under 200 microseconds.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "runtime/windows/ctllist.h"

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
