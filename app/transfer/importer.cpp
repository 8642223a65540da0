// The import run.
#include "app/transfer/importer.h"

#include <algorithm>
#include <span>

#include "app/dictionary/data_dictionary.h"
#include "app/services/message.h"
#include "app/services/transaction.h"
#include "app/transfer/text_files.h"
#include "platform/clock.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"

namespace vaultrix::app {
namespace {

std::span<char> TargetField(std::size_t target) {
  switch (target) {
    case 0:
      return {P_.Service.data(), P_.Service.size()};
    case 1:
      return {P_.URL.data(), P_.URL.size()};
    case 2:
      return {P_.Name.data(), P_.Name.size()};
    case 3:
      return {P_.Password.data(), P_.Password.size()};
    case 4:
      return Passwords().MemoText(kMemoNotes);
    default:
      return Passwords().MemoText(kMemoMoreNotes);
  }
}

void ClearRecord() {
  P_ = PasswordRecord{};
  support::BlankFixed(Passwords().MemoText(kMemoNotes));
  support::BlankFixed(Passwords().MemoText(kMemoMoreNotes));
}

}  // namespace

Importer::Importer(CsvReader& reader, ImportPlan plan)
    : reader_(reader), plan_(std::move(plan)), transaction_(Passwords()) {}

bool Importer::Start() {
  reader_.Rewind();
  if (plan_.strip_header) (void)reader_.NextLine();
  committed_at_ = platform::CurrentClock().SteadyMilliseconds();
  return reader_.NextLine() > 0;
}

bool Importer::Slice(std::int32_t& percent) {
  if (failed_) return false;
  bool lost = false;
  if (!transaction_.Open() && added_ > committed_) {
    // Another window's change committed the adds since the last slice.
    lost = transaction_.LostChanges();
    if (lost) added_ = committed_;
    committed_ = added_;
  }
  if (lost) {
    Fail();
  } else {
    // Without a transaction (another station held the file past the wait)
    // each add stands on its own.
    if (!transaction_.Frame()) support::ClearError();
    bool more = true;
    for (int n = 0; n < kLinesPerSlice && more; ++n) {
      more = AddLine() && reader_.NextLine() > 0;
    }
    const std::int64_t now = platform::CurrentClock().SteadyMilliseconds();
    if (!more || added_ - committed_ >= kCommitAdds || now - committed_at_ >= kCommitMilliseconds) {
      CommitAdds();
    }
    if (!failed_) {
      const std::size_t size = std::max<std::size_t>(reader_.Size(), 1);
      percent = static_cast<std::int32_t>(
          std::min<std::size_t>(reader_.BytesRead() * 100 / size, 100));
      return more;
    }
  }
  platform::MessageBoxRequest request;
  request.caption = "Cannot ADD to Passwords!";
  request.text = failed_text_;
  request.icon = platform::MessageBoxIcon::kExclamation;
  (void)Message(request);
  return false;
}

// The adds since the last commit stand, or (the commit failed) are gone.
void Importer::CommitAdds() {
  if (!transaction_.Commit()) {
    added_ = committed_;
    Fail();
  }
  committed_ = added_;
  committed_at_ = platform::CurrentClock().SteadyMilliseconds();
}

void Importer::Fail() {
  if (!failed_) failed_text_ = PostedErrorText();
  failed_ = true;
  if (transaction_.Open()) return;
  added_ = committed_;  // the changes of a transaction that could not stand
}

void Importer::Finish() {
  CommitAdds();
}

bool Importer::AddLine() {
  ClearRecord();
  for (std::size_t column = 0; column < plan_.pictures.size(); ++column) {
    (void)reader_.NextField();  // a column the line lacks arrives empty
    for (std::size_t target = 0; target < kImportTargets; ++target) {
      if (plan_.targets[target] != static_cast<int>(column)) continue;
      AssignField(TargetField(target), reader_.FieldByPicture(plan_.pictures[column]));
    }
  }
  P_.User = plan_.user;
  P_.ConfirmPassword = P_.Password.View();
  files::Add(Passwords().Block());
  if (support::ErrorCode() == 0) {
    ++added_;
    if (!transaction_.Open()) committed_ = added_;
    return true;
  }
  Fail();
  return false;
}

}  // namespace vaultrix::app
