// The report engine: a report description is opened like a window, filled
// band by band with PRINT, paged with ENDPAGE and closed.
//
// Layout: the page header band stands at its own place at the top of every
// page and the page footer band at its own place at the bottom, showing the
// page number; detail bands flow down the report's detail area (the report's
// own position), each starting where the last ended. A detail band that does
// not fit below the last starts a new page; one taller than a whole detail
// area (a long text box) is cut between lines and continues on the next pages.
//
// Output goes to the installed printer, or, with a preview queue, into one
// page file per page (page_output.h), which CloseReport deletes.
//
// Runtime errors: 525 opening a report that is open; 524 no printer, or the
// printer refuses the document; 523 a record too large for a page; 538 and
// 539 PRINT and ENDPAGE on a window that is not a report.
#pragma once

#include <cstddef>
#include <string>

#include "runtime/report/page_output.h"
#include "runtime/windows/window_resource.h"

namespace vaultrix::report {

inline constexpr std::int32_t kRecordTooLarge = 523;
inline constexpr std::int32_t kPrinterOpenError = 524;
inline constexpr std::int32_t kReportAlreadyOpen = 525;
inline constexpr std::int32_t kPrintNotReport = 538;
inline constexpr std::int32_t kEndPageNotReport = 539;

// Opens `report` (loading its description if needed); pages go to `preview`
// when it is not null, else to the installed printer.
void OpenReport(windows::WindowResource& report, PreviewQueue* preview = nullptr);

// Prints the band at `band` (its index among the description's bands).
void Print(windows::WindowResource& target, std::size_t band);

// Ends the page being filled, if any.
void EndPage(windows::WindowResource& target);

// Ends the last page (if one is open), ends the document, deletes page files.
void CloseReport(windows::WindowResource& report);

[[nodiscard]] bool ReportIsOpen(const windows::WindowResource& report);
// Pages finished since the report was opened.
[[nodiscard]] int PagesFinished(const windows::WindowResource& report);

// The index of the first band of `type` (rsc::kDetailBand, ...), or the
// number of bands when there is none.
[[nodiscard]] std::size_t BandIndex(const windows::WindowResource& report, std::uint8_t type);

// Sends the open report's preview pages to the installed printer as one
// document named after the report's title; runtime error 524 when there is
// no printer. Answers 0 or the error number of a page that failed.
int PrintPreviewPages(windows::WindowResource& report);

}  // namespace vaultrix::report
