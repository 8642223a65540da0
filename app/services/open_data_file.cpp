// The data-file opener and the open counts.
#include "app/services/open_data_file.h"

#include "app/program/halt.h"
#include "app/services/standard_warnings.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {
namespace {

constexpr const char* kRecoverOption = "Recover=10";

// A missing file: create it, then open it. Failures end the application.
void CreateAndOpen(DataFile& file) {
  files::Create(file.Block());
  if (support::ErrorCode() != support::kNoError) ShowWarning(4, file.Label());
  files::Open(file.Block(), kDataFileAccess);
  if (support::ErrorCode() != support::kNoError) ShowWarning(5, file.Label());
}

// A damaged key: rebuild it when the user agrees, then open again.
void RebuildAndOpen(DataFile& file) {
  if (ShowWarning(2, file.Label()) != kButtonYes) return;
  files::Build(file.Block());
  if (support::ErrorCode() != support::kNoError) {
    ShowWarning(3, file.Label());
    return;
  }
  files::Open(file.Block(), kDataFileAccess);
}

}  // namespace

void OpenDataFile(DataFile& file) {
  files::Open(file.Block(), kDataFileAccess);
  if (support::ErrorCode() == support::kFileIsAlreadyLocked) {
    (void)files::Send(file.Block(), kRecoverOption);
    files::Open(file.Block(), kDataFileAccess);
  }
  switch (support::ErrorCode()) {
    case support::kNoError:
    case support::kFileAlreadyOpen:
      return;
    case support::kFileNotFound:
      CreateAndOpen(file);
      break;
    case support::kInvalidRecordDeclaration:
      ShowWarning(1, file.Label());
      break;
    case support::kKeyFileMustBeRebuilt:
      RebuildAndOpen(file);
      break;
    default:
      break;
  }
  const std::int32_t code = support::ErrorCode();
  if (code != support::kNoError && code != support::kFileAlreadyOpen) {
    ShowWarning(30, file.Label());
    Halt("Disk Error");
  }
}

FileUse::FileUse(DataFile& file) : file_(file) {
  if (file_.OpenCount() == 0) OpenDataFile(file_);
  ++file_.OpenCount();
}

FileUse::~FileUse() {
  if (--file_.OpenCount() != 0) return;
  files::Close(file_.Block());
  // The last use is over: the record it held (a password, as often as not)
  // goes too. CLOSE has freed the memo buffers, wiped.
  file_.WipeRecord();
}

}  // namespace vaultrix::app
