#include "runtime/report/report.h"

#include <map>
#include <memory>
#include <mutex>

#include "runtime/report/band_layout.h"
#include "runtime/support/runtime_error.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::report {
namespace {

struct ReportState {
  std::unique_ptr<PageOutput> output;
  PreviewQueue* preview = nullptr;
  std::int32_t cursor = 0;  // thousandths from the sheet's top: where the next detail band goes
};

std::mutex reports_mutex;
std::map<const windows::WindowResource*, std::unique_ptr<ReportState>> open_reports;

ReportState* Find(const windows::WindowResource& report) {
  std::lock_guard lock(reports_mutex);
  auto found = open_reports.find(&report);
  return found == open_reports.end() ? nullptr : found->second.get();
}

const windows::BandView* BandOf(const windows::WindowView& view, std::uint8_t type) {
  for (const windows::BandView& band : view.bands) {
    if (band.type == type) return &band;
  }
  return nullptr;
}

void DrawTexts(PageOutput& output, const std::vector<LaidText>& texts, std::int32_t left,
               std::int32_t top) {
  platform::MetafileRecorder& page = output.page();
  for (const LaidText& text : texts) {
    if (text.text.empty()) continue;
    const std::int32_t x = left + text.x, y = top + text.y;
    const auto dpi_y = output.printer().logpixels_y;
    page.SelectFont({text.font.face, static_cast<std::int16_t>(text.font.points * dpi_y / 72),
                     static_cast<std::int16_t>(text.font.weight)});
    page.Text(output.DeviceX(x), output.DeviceY(y), text.text,
              {output.DeviceX(x), output.DeviceY(y), output.DeviceX(x + text.width),
               output.DeviceY(y + text.height)});
  }
}

// Header or footer band at its own place on the sheet.
void DrawFixedBand(const windows::WindowView& view, PageOutput& output, std::uint8_t type) {
  const windows::BandView* band = BandOf(view, type);
  if (band == nullptr) return;
  const LaidBand laid = LayOutBand(*band, FontOf(view, *band), output.pages_finished() + 1);
  DrawTexts(output, laid.texts, band->at.x, band->at.y);
}

void StartPage(const windows::WindowView& view, ReportState& state) {
  state.output->StartPage();
  state.cursor = view.at.y;
  DrawFixedBand(view, *state.output, windows::rsc::kHeaderBand);
}

void FinishPage(const windows::WindowView& view, ReportState& state) {
  if (!state.output->page_open()) return;
  DrawFixedBand(view, *state.output, windows::rsc::kFooterBand);
  switch (state.output->EndPage()) {
    case PageResult::kOk: break;
    case PageResult::kRecordTooLarge: support::RuntimeError(kRecordTooLarge);
    case PageResult::kWriteFailed: support::RuntimeError(kPrinterOpenError);
  }
}

void PrintDetail(const windows::WindowView& view, const windows::BandView& band, ReportState& state) {
  const std::int32_t area_top = view.at.y, area_bottom = view.at.y + view.at.height;
  if (!state.output->page_open()) StartPage(view, state);
  const LaidBand laid = LayOutBand(band, FontOf(view, band), state.output->pages_finished() + 1);
  const bool fits_a_page = laid.height <= view.at.height;
  if (state.cursor + laid.height > area_bottom && fits_a_page && state.cursor > area_top) {
    FinishPage(view, state);
    StartPage(view, state);
  }
  // Lines that would pass the area's bottom go on the next page, keeping
  // their distances to each other.
  std::int32_t origin = state.cursor, cut = 0;
  std::vector<LaidText> on_page;
  for (const LaidText& text : laid.texts) {
    if (origin + band.at.y + text.y - cut + text.height > area_bottom && text.y > cut) {
      DrawTexts(*state.output, on_page, view.at.x + band.at.x, origin + band.at.y);
      on_page.clear();
      FinishPage(view, state);
      StartPage(view, state);
      origin = state.cursor;
      cut = text.y;
    }
    LaidText moved = text;
    moved.y -= cut;
    on_page.push_back(std::move(moved));
  }
  DrawTexts(*state.output, on_page, view.at.x + band.at.x, origin + band.at.y);
  state.cursor = origin + laid.height - cut;
}

}  // namespace

void OpenReport(windows::WindowResource& report, PreviewQueue* preview) {
  if (Find(report) != nullptr) support::RuntimeError(kReportAlreadyOpen);
  if (!report.loaded() && report.Load() != windows::ResourceStatus::kOk) {
    support::RuntimeError(kPrinterOpenError, report.structure_name());
  }
  std::shared_ptr<platform::Printer> printer = platform::CurrentPrinter();
  if (!printer) support::RuntimeError(kPrinterOpenError);
  std::unique_ptr<platform::PrintJob> job;
  if (preview == nullptr) {
    job = printer->StartDocument(std::string(report.view().title));
    if (!job) support::RuntimeError(kPrinterOpenError);
  }
  auto state = std::make_unique<ReportState>();
  state->preview = preview;
  state->output = std::make_unique<PageOutput>(printer->Caps(), preview, std::move(job));
  std::lock_guard lock(reports_mutex);
  open_reports[&report] = std::move(state);
}

void Print(windows::WindowResource& target, std::size_t band) {
  if (target.kind() != windows::WindowKind::kReport) support::RuntimeError(kPrintNotReport);
  ReportState* state = Find(target);
  if (state == nullptr) support::RuntimeError(kPrintNotReport, "report not open");
  const windows::WindowView& view = target.view();
  if (band >= view.bands.size()) return;
  const windows::BandView& chosen = view.bands[band];
  if (chosen.type == windows::rsc::kDetailBand) {
    PrintDetail(view, chosen, *state);
    return;
  }
  // Header and footer bands are drawn with every page; printed on their own
  // they appear on the page being filled.
  if (!state->output->page_open()) StartPage(view, *state);
  DrawFixedBand(view, *state->output, chosen.type);
}

void EndPage(windows::WindowResource& target) {
  if (target.kind() != windows::WindowKind::kReport) support::RuntimeError(kEndPageNotReport);
  ReportState* state = Find(target);
  if (state == nullptr) support::RuntimeError(kEndPageNotReport, "report not open");
  FinishPage(target.view(), *state);
}

void CloseReport(windows::WindowResource& report) {
  ReportState* state = Find(report);
  if (state == nullptr) return;
  FinishPage(report.view(), *state);
  std::unique_ptr<ReportState> closing;
  {
    std::lock_guard lock(reports_mutex);
    auto found = open_reports.find(&report);
    closing = std::move(found->second);
    open_reports.erase(found);
  }
  closing->output->Close();
}

bool ReportIsOpen(const windows::WindowResource& report) { return Find(report) != nullptr; }

int PagesFinished(const windows::WindowResource& report) {
  const ReportState* state = Find(report);
  return state == nullptr ? 0 : state->output->pages_finished();
}

std::size_t BandIndex(const windows::WindowResource& report, std::uint8_t type) {
  const auto& bands = report.view().bands;
  for (std::size_t i = 0; i < bands.size(); ++i) {
    if (bands[i].type == type) return i;
  }
  return bands.size();
}

int PrintPreviewPages(windows::WindowResource& report) {
  ReportState* state = Find(report);
  if (state == nullptr || state->preview == nullptr) return 0;
  std::shared_ptr<platform::Printer> printer = platform::CurrentPrinter();
  if (!printer) support::RuntimeError(kPrinterOpenError);
  return PrintPageFiles(*state->preview, *printer, std::string(report.view().title));
}

}  // namespace vaultrix::report
