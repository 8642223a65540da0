// Where a report's pages go. Every page is recorded as a metafile whose
// window is the printer's printable area in printer pixels; at the end of
// the page it is either sent to the printer's job or, when previewing,
// written as a page file (placeable header, then the metafile) into the
// report's private folder and its path appended to the preview queue.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/metafile_recorder.h"
#include "platform/printer.h"

namespace vaultrix::report {

// The application's list of page files, one full path per page in order.
struct PreviewQueue {
  std::vector<std::string> pages;
};

enum class PageResult {
  kOk,
  kRecordTooLarge,  // a record could not be copied into the page
  kWriteFailed,     // the page file or the printer refused the page
};

class PageOutput {
 public:
  // Preview mode when `queue` is not null (then `job` is null).
  PageOutput(platform::PrinterCaps printer, PreviewQueue* queue,
             std::unique_ptr<platform::PrintJob> job);
  ~PageOutput();
  PageOutput(const PageOutput&) = delete;
  PageOutput& operator=(const PageOutput&) = delete;

  const platform::PrinterCaps& printer() const { return printer_; }
  bool page_open() const { return page_.has_value(); }
  int pages_finished() const { return pages_finished_; }

  platform::MetafileRecorder& StartPage();
  platform::MetafileRecorder& page() { return *page_; }
  [[nodiscard]] PageResult EndPage();
  // Ends the printer's document; in preview mode removes the page files and
  // their folder and empties the queue. Answers 0 or an error number.
  int Close();

  // Printer pixels for a position in thousandths of an inch from the sheet's
  // top left (the printable area starts at the physical offsets).
  std::int16_t DeviceX(std::int32_t thousandths) const;
  std::int16_t DeviceY(std::int32_t thousandths) const;

 private:
  [[nodiscard]] PageResult Deliver(const std::vector<std::uint8_t>& metafile);

  platform::PrinterCaps printer_;
  PreviewQueue* queue_;
  std::unique_ptr<platform::PrintJob> job_;
  std::string folder_;  // preview: the private folder, made with the first page
  std::optional<platform::MetafileRecorder> page_;
  int pages_finished_ = 0;
};

// Sends the page files of `queue` to `printer` as one document named
// `document`. Answers 0, or an error number (ENODEV when the printer cannot
// start the document; files that are no page files are skipped).
[[nodiscard]] int PrintPageFiles(const PreviewQueue& queue, platform::Printer& printer,
                                 const std::string& document);

}  // namespace vaultrix::report
