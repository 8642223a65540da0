// The import run.
#include "app/transfer/importer.h"

#include <algorithm>
#include <span>

#include "app/dictionary/data_dictionary.h"
#include "app/services/message.h"
#include "app/services/transaction.h"
#include "app/transfer/text_files.h"
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

bool Importer::Start() {
  reader_.Rewind();
  if (plan_.strip_header) (void)reader_.NextLine();
  return reader_.NextLine() > 0;
}

// A slice's adds are committed together, before the thread waits for its
// next event: the program frames one transaction at a time, and a change
// refused in another window rolls the current transaction back, so a
// transaction must never stay open while other windows run. A crash leaves
// the file as the last commit left it; a failed add, the end of the file or
// a Cancel keeps every entry added before.
bool Importer::Slice(std::int32_t& percent) {
  if (!framed_) {
    framed_ = Logout({&Passwords()});
    if (!framed_) support::ClearError();  // no frame: each add stands on its own
  }
  bool more = true;
  for (int n = 0; n < kLinesPerSlice && more; ++n) {
    more = AddLine() && reader_.NextLine() > 0;
  }
  CommitAdds();
  if (failed_) {
    platform::MessageBoxRequest request;
    request.caption = "Cannot ADD to Passwords!";
    request.text = failed_text_;
    request.icon = platform::MessageBoxIcon::kExclamation;
    (void)Message(request);
    return false;
  }
  const std::size_t size = std::max<std::size_t>(reader_.Size(), 1);
  percent = static_cast<std::int32_t>(std::min<std::size_t>(reader_.BytesRead() * 100 / size, 100));
  return more;
}

void Importer::CommitAdds() {
  if (framed_ && !Commit()) {
    added_ = committed_;
    if (!failed_) failed_text_ = PostedErrorText();
    failed_ = true;
  }
  framed_ = false;
  committed_ = added_;
}

void Importer::Finish() {
  if (framed_) CommitAdds();
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
    return true;
  }
  failed_ = true;
  failed_text_ = PostedErrorText();
  return false;
}

}  // namespace vaultrix::app
