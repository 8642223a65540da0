// Copying an old-layout passwords file into the current layout, in slices.
#include "app/dictionary/file_upgrade.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "app/dictionary/data_dictionary.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/services/standard_warnings.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"
#include "runtime/windows/picture.h"

namespace vaultrix::app {
namespace {

constexpr const char* kPasswordsLabel = "Passwords";

bool Failed() {
  return support::ErrorCode() != support::kNoError;
}

std::string PercentText(std::int32_t percent) {
  windows::Picture picture;
  if (!windows::CompilePicture("@N3", picture)) return std::to_string(percent) + "% Completed";
  return windows::FormatValue(windows::PictureValue::Long(percent), picture).str() + "% Completed";
}

// Copies a memo into another, cut or blank padded to the target's size.
void CopyMemo(std::span<char> from, std::span<char> to) {
  support::AssignFixed(to, std::string_view(from.data(), from.size()));
}

}  // namespace

void FileUpgrade::Start() {
  DataFile& old_file = OldPasswords();
  DataFile& new_file = NewPasswords();
  files::Open(old_file.Block(), kDataFileAccess);
  old_open_ = !Failed();
  if (old_open_) {
    files::Create(new_file.Block());
    new_created_ = !Failed();
  }
  if (new_created_) files::Open(new_file.Block(), kDataFileAccess);
  if (!Failed()) files::Set(old_file.Block());
  if (!Failed()) total_ = files::Records(old_file.Block());
  if (Failed()) {
    ShowWarning(30, kPasswordsLabel);
    state_ = UpgradeState::kCancelled;
    return;
  }
  state_ = UpgradeState::kCopying;
  CopyRecord();
}

void FileUpgrade::CopySlice() {
  for (std::int32_t i = 0; i < kRecordsPerSlice && state_ == UpgradeState::kCopying; ++i) {
    if (!CopyRecord()) break;
  }
}

void FileUpgrade::Cancel() {
  if (state_ == UpgradeState::kCopying || state_ == UpgradeState::kNotStarted) {
    state_ = UpgradeState::kCancelled;
  }
}

bool FileUpgrade::CopyRecord() {
  if (state_ != UpgradeState::kCopying) return false;
  DataFile& old_file = OldPasswords();
  DataFile& new_file = NewPasswords();
  files::Next(old_file.Block());
  if (support::ErrorCode() == support::kRecordNotAvailable) {
    state_ = UpgradeState::kCompleted;
    progress_text_ = "Process Completed";
    return false;
  }
  if (Failed()) {
    ShowWarning(35, kPasswordsLabel);
    state_ = UpgradeState::kCancelled;
    return false;
  }
  ++processed_;
  NoteProgress();
  CopyMemo(old_file.MemoText(kMemoNotes), new_file.MemoText(kMemoNotes));
  CopyMemo(old_file.MemoText(kMemoMoreNotes), new_file.MemoText(kMemoMoreNotes));
  PN_ = PO_;
  files::Add(new_file.Block());
  if (Failed()) {
    ShowWarning(14);
    state_ = UpgradeState::kCancelled;
    return false;
  }
  return true;
}

void FileUpgrade::NoteProgress() {
  if (total_ <= 0) return;
  const auto percent =
      static_cast<std::int32_t>(std::min<std::int64_t>(processed_ * 100 / total_, 100));
  if (percent == percent_) return;
  percent_ = percent;
  if (percent_ < 100) progress_text_ = PercentText(percent_);
}

void FileUpgrade::Abandon() {
  if (new_created_) files::Remove(NewPasswords().Block());
  state_ = UpgradeState::kCancelled;
}

std::int32_t FileUpgrade::Finish() {
  if (old_open_) files::Close(OldPasswords().Block());
  if (new_created_) files::Close(NewPasswords().Block());
  if (state_ != UpgradeState::kCompleted) {
    Abandon();
    return kRequestCancelled;
  }
  files::Remove(OldPasswords().Block());
  if (Failed()) {
    ShowWarning(30, kPasswordsLabel);
    Abandon();
    return kRequestCancelled;
  }
  files::Rename(NewPasswords().Block(), Passwords().Block().name.View());
  if (Failed()) {
    // The copy stays under the new file's name, where it can still be found.
    ShowWarning(30, kPasswordsLabel);
    state_ = UpgradeState::kCancelled;
    return kRequestCancelled;
  }
  return kRequestCompleted;
}

}  // namespace vaultrix::app
