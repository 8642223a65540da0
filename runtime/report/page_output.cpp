#include "runtime/report/page_output.h"

#include <string.h>

#include <algorithm>
#include <cerrno>

#include "platform/metafile_page.h"
#include "platform/metafile_page_folder.h"
#include "platform/whole_file.h"

namespace vaultrix::report {
namespace {

std::int16_t Clamp16(std::int64_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX));
}

}  // namespace

PageOutput::PageOutput(platform::PrinterCaps printer, PreviewQueue* queue,
                       std::unique_ptr<platform::PrintJob> job)
    : printer_(printer), queue_(queue), job_(std::move(job)) {}

PageOutput::~PageOutput() { Close(); }

platform::MetafileRecorder& PageOutput::StartPage() {
  page_.emplace(Clamp16(printer_.horzres), Clamp16(printer_.vertres));
  return *page_;
}

PageResult PageOutput::EndPage() {
  if (!page_) return PageResult::kOk;
  const bool recorded = page_->ok();
  std::vector<std::uint8_t> metafile = page_->Finish();
  page_.reset();
  ++pages_finished_;
  const PageResult result = !recorded ? PageResult::kRecordTooLarge : Deliver(metafile);
  // The page's texts include passwords.
  explicit_bzero(metafile.data(), metafile.size());
  return result;
}

PageResult PageOutput::Deliver(const std::vector<std::uint8_t>& metafile) {
  if (queue_ == nullptr) {
    return job_ && job_->PrintPage(metafile) == 0 ? PageResult::kOk : PageResult::kWriteFailed;
  }
  if (folder_.empty() && platform::CreatePageFolder(&folder_) != 0) return PageResult::kWriteFailed;
  const auto header = platform::EncodePlaceableHeader(platform::PageHeaderFor(printer_));
  std::string path;
  if (platform::WritePageFile(folder_, header, metafile, &path) != 0) return PageResult::kWriteFailed;
  queue_->pages.push_back(std::move(path));
  return PageResult::kOk;
}

int PageOutput::Close() {
  page_.reset();
  int error = 0;
  if (job_) {
    error = job_->Finish();
    job_.reset();
  }
  if (!folder_.empty()) {
    error = platform::RemovePageFolder(folder_);
    folder_.clear();
    if (queue_ != nullptr) queue_->pages.clear();
  }
  return error;
}

std::int16_t PageOutput::DeviceX(std::int32_t thousandths) const {
  return Clamp16(platform::MulDiv(thousandths, printer_.logpixels_x, 1000) - printer_.offset_x);
}

std::int16_t PageOutput::DeviceY(std::int32_t thousandths) const {
  return Clamp16(platform::MulDiv(thousandths, printer_.logpixels_y, 1000) - printer_.offset_y);
}

int PrintPageFiles(const PreviewQueue& queue, platform::Printer& printer, const std::string& document) {
  std::unique_ptr<platform::PrintJob> job = printer.StartDocument(document);
  if (!job) return ENODEV;
  int error = 0;
  for (const std::string& path : queue.pages) {
    std::string bytes;
    if (platform::ReadWholeFile(path, platform::kMaxPageFileSize, bytes) != 0) continue;
    platform::PageFileView page;
    if (!platform::ReadPageFile(platform::AsBytes(bytes), &page)) continue;
    if (const int sent = job->PrintPage(page.metafile); sent != 0 && error == 0) error = sent;
    explicit_bzero(bytes.data(), bytes.size());
  }
  const int finished = job->Finish();
  return error != 0 ? error : finished;
}

}  // namespace vaultrix::report
