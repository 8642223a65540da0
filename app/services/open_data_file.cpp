// The data-file opener and the open counts.
#include "app/services/open_data_file.h"

#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>

#include <unistd.h>

#include "app/program/halt.h"
#include "app/services/standard_warnings.h"
#include "runtime/files/file_api.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/files/hvn/pages/record_kinds.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {
namespace {

constexpr const char* kRecoverOption = "Recover=10";

}  // namespace

// Made under a temporary name beside it and linked into place once whole
// (created, and filled when `fill` is given), so that a crash meanwhile
// leaves no file (made again at the next start) rather than one that cannot
// be opened or lacks what it was made with. The file's state keeps the name
// it was set up with, so it is let go before and after the name changes.
// Other drivers create in place.
void CreateWhole(DataFile& file, const std::function<bool()>& fill) {
  files::FileBlock& block = file.Block();
  if (block.driver != &files::HalverinDriver()) {
    files::Create(block);
    return;
  }
  const files::TextRef declared = block.name;
  std::string name(declared.View());
  while (!name.empty() && name.back() == ' ') name.pop_back();
  const files::hvn::TableName split = files::hvn::SplitTableName(name);
  const std::string temporary = split.path + ".new";  // an extension of its own
  const std::string temporary_name = split.named ? temporary + "\\!" + split.table : temporary;
  files::Close(block);
  (void)std::remove(temporary.c_str());  // left by a crash while it was made
  block.name = {temporary_name.data(), static_cast<std::uint32_t>(temporary_name.size())};
  files::Create(block);
  bool filled = true;
  if (fill && support::ErrorCode() == support::kNoError) {
    files::Open(block, kDataFileAccess);
    filled = support::ErrorCode() == support::kNoError && fill();
  }
  support::PushErrorState();
  files::Close(block);
  block.name = declared;
  (void)support::PopErrorState();
  if (support::ErrorCode() != support::kNoError || !filled) {
    support::PushErrorState();
    (void)std::remove(temporary.c_str());
    (void)support::PopErrorState();
    return;
  }
  // Linked rather than renamed: a file that another copy of the program made
  // meanwhile is kept (and opened), never replaced by the one made here.
  const int linked = ::link(temporary.c_str(), split.path.c_str()) == 0 ? 0 : errno;
  (void)std::remove(temporary.c_str());
  if (linked != 0 && linked != EEXIST) support::PostSystemError(linked);
}

namespace {

// A missing file: create it, then open it. Failures end the application.
void CreateAndOpen(DataFile& file) {
  CreateWhole(file);
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
