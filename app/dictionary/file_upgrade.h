// The copy at the heart of UpgradeFiles: a passwords file of the old layout
// (PO_, "Vtrix_P") is copied record by record into a new file of the current
// layout (PN_, "Vtrix_N"), which then takes the old file's place.
//
// The progress window drives it: Start when the window opens, CopySlice on
// every timer event (kRecordsPerSlice records at most), Cancel from its
// "Cancel" button, Finish when the window closes. ProgressText is the text
// the window shows ("0% Completed", the percentage in picture N3 followed by
// "% Completed", "Process Completed"); Percent feeds its progress bar.
//
// Nothing of the old file is lost on the way: a cancelled or failed copy
// removes the partial new file and leaves the old one in place, so the next
// start offers the upgrade again. Only a completed copy removes the old file
// and renames the new one to the old name.
#pragma once

#include <cstdint>
#include <string>

namespace vaultrix::app {

enum class UpgradeState { kNotStarted, kCopying, kCompleted, kCancelled };

class FileUpgrade {
 public:
  static constexpr std::int32_t kRecordsPerSlice = 1000;

  // Opens the old file, creates and opens the new one, counts the old file's
  // records and copies the first. A failure is shown as a warning and leaves
  // the upgrade cancelled.
  void Start();

  // Copies up to kRecordsPerSlice records, fewer when the old file ends.
  void CopySlice();

  void Cancel();

  // Closes both files and, after a completed copy, replaces the old file by
  // the new one; otherwise removes the new one. Answers the response:
  // kRequestCompleted only when the new file took the old one's place.
  [[nodiscard]] std::int32_t Finish();

  [[nodiscard]] UpgradeState State() const { return state_; }
  [[nodiscard]] std::int32_t Percent() const { return percent_; }
  [[nodiscard]] const std::string& ProgressText() const { return progress_text_; }
  [[nodiscard]] std::int64_t Processed() const { return processed_; }
  [[nodiscard]] std::int64_t Total() const { return total_; }

 private:
  // Copies one record; false when the copy has ended (completed or cancelled).
  bool CopyRecord();
  void NoteProgress();
  void Abandon();

  UpgradeState state_ = UpgradeState::kNotStarted;
  std::int64_t total_ = 0;
  std::int64_t processed_ = 0;
  std::int32_t percent_ = 0;
  std::string progress_text_ = "0% Completed";
  bool old_open_ = false;
  bool new_created_ = false;
};

}  // namespace vaultrix::app
