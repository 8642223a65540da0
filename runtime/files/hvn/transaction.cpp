// The transaction of this process over its enlisted HVN files.
#include "runtime/files/hvn/transaction.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "runtime/files/hvn/open_file.h"
#include "runtime/files/hvn/table.h"
#include "runtime/files/hvn/pages/page_file.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::files::hvn {
namespace {

namespace codes = support;

struct Enlistment {
  PageFile* file;
  TransactionMember* member;
};

// Never destroyed: an open file closed or destroyed at the program's exit
// still asks it.
std::vector<Enlistment>& Enlisted() {
  static auto* files = new std::vector<Enlistment>();
  return *files;
}

void DropAll() {
  for (const Enlistment& enlisted : Enlisted()) {
    enlisted.file->RollbackTransaction();
    if (enlisted.member != nullptr) enlisted.member->Dropped();
  }
  Enlisted().clear();
}

bool IsEnlisted(const PageFile& file) {
  const auto& files = Enlisted();
  return std::any_of(files.begin(), files.end(),
                     [&](const Enlistment& enlisted) { return enlisted.file == &file; });
}

std::string ControlKey(std::uint32_t number, const std::string& path) {
  return BigEndian32(number) + path;
}

// Writes the live records of a new transaction; its number in `number`.
int MarkLive(const std::string& control, std::uint32_t* number) {
  PageFile file;
  if (file.Open(control, false, true) != 0) return codes::kUnableToLogTransaction;
  int code = file.Begin();
  if (code == 0) {
    Tree tree(file);
    code = file.IssueNumber(number);
    for (const Enlistment& enlisted : Enlisted()) {
      if (code != 0) break;
      std::string data = "L" + std::string(kHeaderSize, '\0');
      EncodeHeader(enlisted.file->committed_header(),
                   reinterpret_cast<std::uint8_t*>(data.data() + 1));
      code = tree.Insert({ControlKey(*number, enlisted.file->path()), data});
    }
    if (code == 0) {
      code = file.End();
    } else {
      file.Abort();
    }
  }
  (void)file.Close();
  return code == 0 ? 0 : codes::kUnableToLogTransaction;
}

int MarkFinished(const std::string& control, std::uint32_t number) {
  PageFile file;
  if (file.Open(control, false, false) != 0) return codes::kUnableToLogTransaction;
  int code = file.Begin();
  if (code == 0) {
    Tree tree(file);
    code = Table::ErasePrefix(tree, BigEndian32(number));
    if (code == 0) {
      code = file.End();
    } else {
      file.Abort();
    }
  }
  (void)file.Close();
  return code == 0 ? 0 : codes::kUnableToLogTransaction;
}

}  // namespace

int EnlistInTransaction(PageFile& file, std::int64_t seconds, TransactionMember* member) {
  if (IsEnlisted(file)) return codes::kLogoutAlreadyActive;
  const std::int64_t limit = seconds < 0 ? 0 : seconds * 100;
  if (int code = file.BeginTransaction(limit); code != 0) return code;
  Enlisted().push_back({&file, member});
  return 0;
}

int CommitTransaction() {
  auto& files = Enlisted();
  if (files.empty()) return codes::kUnableToLogTransaction;
  const std::string control = TransactionControlFile();
  std::uint32_t number = 0;
  if (int code = MarkLive(control, &number); code != 0) {
    DropAll();
    return code;
  }
  for (const Enlistment& enlisted : files) {
    PageFile* file = enlisted.file;
    int code = file->Begin();
    if (code == 0) {
      if (enlisted.member != nullptr) code = enlisted.member->BeforeCommit();
      Tree tree(*file);
      if (code == 0) code = tree.Insert({TransactionKey(), EncodeTransaction({number, control})});
      if (code == 0) {
        code = file->End();
      } else {
        file->Abort();
      }
    }
    if (code == 0) code = file->PrepareTransaction();
    if (code != 0) {
      // The transaction stays live in the control file: every pending span
      // written so far is discarded by the next header check.
      DropAll();
      return code == kInternalErrorCode ? codes::kUnableToLogTransaction : code;
    }
  }
  if (int code = MarkFinished(control, number); code != 0) {
    DropAll();
    return code;
  }
  int result = 0;
  for (const Enlistment& enlisted : files) {
    const int code = enlisted.file->FinishTransaction();
    if (result == 0) result = code;
  }
  files.clear();
  return result;
}

int RollbackTransaction() {
  if (Enlisted().empty()) return codes::kUnableToRollbackTransaction;
  DropAll();
  return 0;
}

void LeaveTransaction(PageFile& file) {
  if (IsEnlisted(file)) DropAll();
}

bool FindLiveTransaction(const std::string& control_file, std::uint32_t number,
                         const std::string& path, FileHeader* old_header) {
  // The name comes from a file that may be damaged: only a regular file
  // can be a control file (a pipe or device would block or never end).
  std::error_code error;
  if (!std::filesystem::is_regular_file(control_file, error)) return false;
  PageFile file;
  if (file.Open(control_file, true, false) != 0) return false;
  bool live = false;
  if (file.Begin() == 0) {
    Tree tree(file);
    Record record;
    bool found = false;
    if (tree.Find(ControlKey(number, path), &record, &found) == 0 && found &&
        record.data.size() == 1 + kHeaderSize && record.data[0] == 'L') {
      const auto* p = reinterpret_cast<const std::uint8_t*>(record.data.data() + 1);
      live = DecodeHeader(p, p + kHeaderSize, old_header) && CheckRegions(*old_header);
    }
    file.Abort();
  }
  (void)file.Close();
  return live;
}

}  // namespace vaultrix::files::hvn
