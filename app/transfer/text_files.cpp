// The text files of import and export.
#include "app/transfer/text_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "app/program/run.h"
#include "app/services/message.h"
#include "app/transfer/csv_line.h"
#include "platform/whole_file.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {
namespace {

// Lines are gathered and written in blocks of about this size.
constexpr std::size_t kWriteBlock = 64 * 1024;
// An import file is read whole; anything larger is refused rather than
// exhausting memory.
constexpr std::size_t kMaxImportFile = std::size_t{1} << 30;

platform::MessageBoxAnswer FileMessage(
    std::string_view operation, const std::string& name,
    platform::MessageBoxButtons buttons = platform::MessageBoxButtons::kOk,
    int default_button = 1) {
  platform::MessageBoxRequest request;
  request.caption = std::string(operation) + name;
  request.text = PostedErrorText();
  request.buttons = buttons;
  request.icon = platform::MessageBoxIcon::kExclamation;
  request.default_button = default_button;
  return Message(request);
}

bool WriteAll(int fd, std::string_view bytes, std::size_t& written) {
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      support::PostSystemError(n < 0 ? errno : ENOSPC);
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string PostedErrorText() {
  return "Error #" + std::to_string(support::ErrorCode()) + " - " + support::Error();
}

ExportFile::~ExportFile() {
  WipeText(buffer_);
  if (fd_ >= 0) ::close(fd_);
}

bool ExportFile::Choose(platform::WindowHandle owner) {
  platform::FileDialogRequest request;
  request.kind = platform::FileDialogKind::kSave;
  request.title = "Export File";
  request.filters = {{"Export Files", "*.CSV"}, {"All Files", "*.*"}};
  request.file_name = name_;
  request.confirm_overwrite = true;
  const platform::FileDialogResult chosen = AppEngine().System().FileDialog(owner, request);
  if (!chosen.accepted) return false;
  return Create(chosen.path);
}

bool ExportFile::Create(const std::string& path) {
  name_ = path;
  WipeText(buffer_);
  // Room for a whole block and one more line, so that the buffer is never
  // moved (leaving a copy of its text behind) as it fills.
  buffer_.reserve(kWriteBlock + kMaxLineLength + 2);
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    support::PostSystemError(errno);
    (void)FileMessage("Cannot CREATE ", name_);
    return false;
  }
  return true;
}

bool ExportFile::WriteLine(std::string_view line) {
  buffer_ += line;
  buffer_ += "\r\n";
  return buffer_.size() < kWriteBlock || Flush();
}

bool ExportFile::Flush() {
  std::size_t written = 0;
  while (!WriteAll(fd_, buffer_, written)) {
    const platform::MessageBoxAnswer answer =
        FileMessage("Cannot ADD to ", name_, platform::MessageBoxButtons::kRetryCancel, 2);
    if (answer != platform::MessageBoxAnswer::kRetry) {
      WipeText(buffer_);
      return false;
    }
  }
  WipeText(buffer_);
  return true;
}

bool ExportFile::Close() {
  if (fd_ < 0) return true;
  bool ok = buffer_.empty() || Flush();
  if (::close(fd_) != 0 && ok) {
    support::PostSystemError(errno);
    (void)FileMessage("Cannot CLOSE ", name_);
    ok = false;
  }
  fd_ = -1;
  return ok;
}

bool ReadImportFile(const std::string& path, ImportFile& file) {
  file.name = path;
  file.text.clear();
  const int result = platform::ReadWholeFile(path, kMaxImportFile, file.text);
  if (result != 0) {
    support::PostSystemError(result);
    (void)FileMessage("Cannot OPEN ", path);
    return false;
  }
  return true;
}

bool ChooseImportFile(platform::WindowHandle owner, ImportFile& file) {
  platform::FileDialogRequest request;
  request.kind = platform::FileDialogKind::kOpen;
  request.title = "Import File";
  request.filters = {{"Import Files", "*.CSV"}, {"All Files", "*.*"}};
  request.must_exist = true;
  for (;;) {
    const platform::FileDialogResult chosen = AppEngine().System().FileDialog(owner, request);
    if (!chosen.accepted) return false;
    if (!ReadImportFile(chosen.path, file)) return false;
    if (!file.text.empty()) return true;
    platform::MessageBoxRequest empty;
    empty.caption = "Attention!";
    empty.text = "That file is empty!  Please pick another file.";
    empty.icon = platform::MessageBoxIcon::kExclamation;
    (void)Message(empty);
  }
}

}  // namespace vaultrix::app
