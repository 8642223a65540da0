// The HVN driver's record-order operations on one open table.
#include "runtime/files/hvn/open_file.h"

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "runtime/files/hvn/cipher_file.h"
#include "runtime/files/hvn/transaction.h"
#include "runtime/files/hvn/pages/memo_chunks.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/runtime_error.h"

namespace vaultrix::files::hvn {
namespace {

namespace codes = support;

std::atomic<bool> damage_is_fatal{true};
std::mutex hook_mutex;
LockWaitHook& Hook() {
  static LockWaitHook hook;
  return hook;
}
LockWaitHook& TransactionHook() {
  static LockWaitHook hook;
  return hook;
}
std::mutex control_file_mutex;
std::string& ControlFile() {
  static std::string name = "halverin.tcf";
  return name;
}

void WaitBeforeRetry() {
  LockWaitHook hook;
  {
    std::lock_guard lock(hook_mutex);
    hook = Hook();
  }
  if (hook) {
    hook();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::int64_t NowHundredths() {
  return platform::CurrentClock().SteadyMilliseconds() / 10;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

int OpenError(int code) {
  // A missing file or directory reads as the file errors OPEN is known by.
  if (code == codes::kSystemErrorBase + 2) return codes::kFileNotFound;
  if (code == codes::kSystemErrorBase + 3) return codes::kPathNotFound;
  return code;
}

}  // namespace

void SetDamageIsFatal(bool fatal) {
  damage_is_fatal.store(fatal);
}

void WaitForOtherTransaction() {
  LockWaitHook hook;
  {
    std::lock_guard lock(hook_mutex);
    hook = TransactionHook();
  }
  if (hook) {
    hook();
  } else {
    WaitBeforeRetry();
  }
}

LockWaitHook SetLockWaitHook(LockWaitHook hook) {
  std::lock_guard lock(hook_mutex);
  return std::exchange(Hook(), std::move(hook));
}

LockWaitHook SetTransactionWaitHook(LockWaitHook hook) {
  std::lock_guard lock(hook_mutex);
  return std::exchange(TransactionHook(), std::move(hook));
}

std::string TransactionControlFile() {
  std::lock_guard lock(control_file_mutex);
  return ControlFile();
}

int HvnFile::Translate(int code) {
  if (code != kInternalErrorCode) return code;
  if (damage_is_fatal.load()) support::FatalInternalError(file_.fault_line());
  return codes::kInvalidDataFile;
}

int HvnFile::Run(const std::function<int(Table&)>& work) {
  if (!open_) return codes::kFileNotOpen;
  if (int code = file_.Begin(); code != 0) return Translate(code);
  counters_.BeginOperation();
  Table table(file_, table_id_, &counters_);
  int code = work(table);
  if (code == 0 && !file_.in_transaction()) code = counters_.Flush(table);
  if (code != 0) {
    counters_.Failed();
    file_.Abort();
    return Translate(code);
  }
  counters_.Succeeded();
  return Translate(file_.End());
}

int HvnFile::BeforeCommit() {
  Table table(file_, table_id_, &counters_);
  return counters_.Flush(table);
}

int HvnFile::Create() {
  if (!state_.create_allowed) return codes::kNoCreateAttribute;
  if (state_.name.empty()) return codes::kInvalidFilename;
  const TableName name = SplitTableName(state_.name);
  PageFile file;
  file.UseCipher(SharedCipherContext(name.path, state_.owner));
  if (int code = file.Open(name.path, false, true); code != 0) return OpenError(code);
  int code = file.Begin();
  if (code == 0) {
    // CREATE replaces the table only while no open, here or elsewhere, uses it.
    std::uint32_t id = 0;
    code = Table::FindId(file, name.table, &id);
    if (code == 0 && file.TableOpenElsewhere(id)) {
      code = codes::kAccessDenied;
    } else if (code == 0 || code == codes::kFileNotFound) {
      code = Table::Create(file, name.table, DefinitionOf(state_), &id);
    }
    if (code == 0) {
      code = file.End();
    } else {
      file.Abort();
    }
  }
  const int close = file.Close();
  if (code == kInternalErrorCode) {
    if (damage_is_fatal.load()) support::FatalInternalError(file.fault_line());
    return codes::kInvalidDataFile;
  }
  return code != 0 ? code : close;
}

int HvnFile::Open(std::int32_t access_mode) {
  if (open_) return codes::kFileAlreadyOpen;
  if (state_.name.empty()) return codes::kInvalidFilename;
  if (int code = EnsureKeys(); code != 0) return code;
  name_ = SplitTableName(state_.name);
  const bool read_only = (access_mode & kAccessNibble) == kAccessReadOnly;
  file_.UseCipher(SharedCipherContext(name_.path, state_.owner));
  if (int code = file_.Open(name_.path, read_only, false); code != 0) return OpenError(code);
  if (int code = file_.Share(access_mode); code != 0) {
    (void)file_.Close();
    return code;
  }
  int code = file_.Begin();
  if (code == 0) {
    code = Table::FindId(file_, name_.table, &table_id_);
    if (code == 0) code = file_.MarkTableOpen(table_id_);
    if (code == 0) {
      Table table(file_, table_id_);
      TableDefinition stored;
      bool valid = false;
      code = table.ReadDefinition(&stored, &valid);
      if (code == 0 && !valid) code = codes::kInvalidDataFile;
      if (code == 0 && !DefinitionsMatch(stored, DefinitionOf(state_))) {
        code = codes::kInvalidRecordDeclaration;
      }
    }
    file_.Abort();
  }
  if (code != 0) {
    (void)file_.Close();
    return Translate(code);
  }
  open_ = true;
  counters_.Drop();
  current_ = 0;
  cursor_ = Cursor::kEnds;
  order_key_ = -1;
  ClearRequests();
  return 0;
}

int HvnFile::Logout(std::int64_t seconds) {
  if (!open_) return codes::kFileNotOpen;
  return Translate(EnlistInTransaction(file_, seconds, this));
}

int HvnFile::Close() {
  if (!open_) return codes::kFileNotOpen;
  LeaveTransaction(file_);
  ReleaseHold();
  if (table_locked_) (void)Unlock();
  open_ = false;
  return file_.Close();
}

int HvnFile::WriteMemos(Table& table, std::uint32_t number, bool fresh) {
  // A number just issued has no memo chunks yet.
  if (!fresh) {
    if (int code = table.EraseMemos(number); code != 0) return code;
  }
  for (std::size_t i = 0; i < state_.memos.size(); ++i) {
    const MemoState& memo = state_.memos[i];
    auto chunks = SplitMemo(memo.buffer.get(), memo.size, state_.oem);
    const int code = table.WriteMemoChunks(number, static_cast<std::uint8_t>(i), chunks);
    for (auto& chunk : chunks) Wipe(chunk);
    if (code != 0) return code;
  }
  return 0;
}

int HvnFile::Add() {
  if (!open_) return codes::kFileNotOpen;
  if (file_.read_only()) return codes::kAccessDenied;
  std::uint32_t number = 0;
  const int code = Run([&](Table& table) {
    if (int issue = file_.IssueNumber(&number); issue != 0) return issue;
    if (int keys = keys_.Maintain(table, nullptr, state_.record, number); keys != 0) return keys;
    std::string image(reinterpret_cast<const char*>(state_.record), state_.record_size);
    if (int write = table.Write(number, std::move(image)); write != 0) return write;
    if (int count = table.AddToCounter(kKindData, 1); count != 0) return count;
    return WriteMemos(table, number, true);
  });
  if (code == 0) current_ = number;
  return code;
}

int HvnFile::Put() {
  if (!open_) return codes::kFileNotOpen;
  if (current_ == 0) return codes::kRecordNotAvailable;
  if (file_.read_only()) return codes::kAccessDenied;
  if (held_ != current_ && file_.NamedHeldElsewhere(current_ + 1)) return codes::kAccessDenied;
  const int code = Run([&](Table& table) {
    std::string stored;
    bool found = false;
    if (int read = table.Read(current_, &stored, &found); read != 0) return read;
    if (!found) return codes::kRecordNotAvailable;
    if (watched_ && watched_number_ == current_ && *watched_ != stored) {
      Wipe(stored);
      return codes::kRecordChangedByAnotherStation;
    }
    std::string image(reinterpret_cast<const char*>(state_.record), state_.record_size);
    if (image != stored) {
      const auto* old_record = reinterpret_cast<const std::uint8_t*>(stored.data());
      if (int keys = keys_.Maintain(table, old_record, state_.record, current_); keys != 0) {
        Wipe(image);
        Wipe(stored);
        return keys;
      }
      if (int write = table.Write(current_, std::move(image)); write != 0) return write;
    }
    Wipe(image);
    Wipe(stored);
    return WriteMemos(table, current_, false);
  });
  if (code == 0) {
    ReleaseHold();
    watched_.reset();
  }
  return code;
}

int HvnFile::PutPointer(std::int64_t pointer) {
  if (pointer <= 0 || pointer >= kNumberLimit) return codes::kRecordNotAvailable;
  current_ = static_cast<std::uint32_t>(pointer);
  return Put();
}

int HvnFile::Delete() {
  if (!open_) return codes::kFileNotOpen;
  if (current_ == 0) return codes::kRecordNotAvailable;
  if (file_.read_only()) return codes::kAccessDenied;
  if (held_ != current_ && file_.NamedHeldElsewhere(current_ + 1)) {
    return codes::kRecordNotAvailable;
  }
  const int code = Run([&](Table& table) {
    bool erased = false;
    if (int keys = RemoveKeyEntries(table, current_); keys != 0) return keys;
    if (int erase = table.Erase(current_, &erased); erase != 0) return erase;
    if (!erased) return codes::kRecordNotAvailable;
    if (int memos = table.EraseMemos(current_); memos != 0) return memos;
    return table.AddToCounter(kKindData, -1);
  });
  if (code == 0) {
    if (held_ == current_) ReleaseHold();
    current_ = 0;
  }
  return code;
}

int HvnFile::Fetch(Table& table, std::uint32_t number, std::string* known, Fetched* out) {
  out->number = number;
  if (known != nullptr && !known->empty()) {
    out->image.swap(*known);
  } else {
    bool found = false;
    if (int code = table.Read(number, &out->image, &found); code != 0) return code;
    if (!found) return codes::kRecordNotFound;
  }
  if (out->image.size() != state_.record_size) return file_.Damage(__LINE__);
  if (no_memo_) return 0;
  if (out->memos.size() < state_.memos.size()) out->memos.resize(state_.memos.size());
  for (std::size_t i = 0; i < state_.memos.size(); ++i) {
    const MemoState& memo = state_.memos[i];
    if (int code = table.ReadMemoChunks(number, static_cast<std::uint8_t>(i), &chunks_);
        code != 0) {
      return code;
    }
    std::string& text = out->memos[i];
    text.assign(memo.size, ' ');
    out->memo_count = i + 1;
    std::size_t done = 0;
    bool fits = true;
    for (auto& chunk : chunks_) {
      fits = fits && AppendMemoChunk(chunk, text.data(), memo.size, &done, state_.oem);
      Wipe(chunk);
    }
    if (!fits) return file_.Damage(__LINE__);  // "done+len <= limit"
  }
  return 0;
}

void HvnFile::Apply(Fetched& fetched) {
  std::memcpy(state_.record, fetched.image.data(), fetched.image.size());
  for (std::size_t i = 0; i < fetched.memo_count && i < state_.memos.size(); ++i) {
    std::memcpy(state_.memos[i].buffer.get(), fetched.memos[i].data(), state_.memos[i].size);
  }
  if (watch_requested_) {
    watched_ = fetched.image;
    watched_number_ = fetched.number;
  }
  current_ = fetched.number;
}

int HvnFile::RunRead(support::FunctionRef<int(Table&)> work) {
  if (!open_) return codes::kFileNotOpen;
  // A first attempt without the lock; when the file changed meanwhile (or
  // the attempt met trouble while it did), once more under the lock.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int begin = attempt == 0 ? file_.BeginRead() : file_.Begin();
    if (begin != 0) return Translate(begin);
    Table table(file_, table_id_, &counters_);
    bool retry = false;
    const int code = file_.EndRead(work(table), &retry);
    if (!retry) return Translate(code);
  }
  return codes::kAccessDenied;
}

int HvnFile::ReadWithHold(
    support::FunctionRef<int(Table&, std::uint32_t*, std::string*)> locate) {
  if (!open_) return codes::kFileNotOpen;
  const std::int64_t start = hold_requested_ ? NowHundredths() : 0;
  int code = 0;
  while (true) {
    code = RunRead([&](Table& table) {
      fetched_.Clear();
      Wipe(located_);
      std::uint32_t number = 0;
      if (int found = locate(table, &number, &located_); found != 0) return found;
      if (hold_requested_) {
        if (held_ != number) {
          const int lock = file_.LockNamed(number + 1, false);
          if (lock == -1) return codes::kRecordIsAlreadyHeld;
          if (lock != 0) return lock;
          ReleaseHold();
          held_ = number;
        }
      } else if (held_ != number && file_.NamedHeldElsewhere(number + 1)) {
        return codes::kRecordIsAlreadyHeld;
      }
      return Fetch(table, number, &located_, &fetched_);
    });
    if (code == 0) Apply(fetched_);
    fetched_.Clear();
    Wipe(located_);
    if (code != codes::kRecordIsAlreadyHeld || !hold_requested_) break;
    if (hold_seconds_ >= 0 && NowHundredths() - start > hold_seconds_ * 100) break;
    WaitBeforeRetry();
  }
  ClearRequests();
  return code;
}

int HvnFile::Get(std::int64_t pointer) {
  return ReadWithHold([&](Table&, std::uint32_t* number, std::string*) {
    if (pointer <= 0 || pointer >= kNumberLimit) return codes::kRecordNotFound;
    *number = static_cast<std::uint32_t>(pointer);
    return 0;
  });
}

int HvnFile::Locate(Table& table, bool forward, std::uint32_t* number, bool* found,
                    std::string* image) {
  if (order_key_ >= 0) return LocateInKey(table, forward, number, found);
  switch (cursor_) {
    case Cursor::kEnds:
      return forward ? table.Step(0, Seek::kAtOrAfter, number, found, image)
                     : table.Step(0xFFFFFFFF, Seek::kAtOrBefore, number, found, image);
    case Cursor::kAt:
      return table.Step(anchor_, forward ? Seek::kAtOrAfter : Seek::kAtOrBefore, number, found,
                        image);
    case Cursor::kAfterRead:
      return table.Step(anchor_, forward ? Seek::kAfter : Seek::kBefore, number, found, image);
  }
  return 0;
}

int HvnFile::Read(bool forward) {
  std::uint32_t read = 0;
  const int code = ReadWithHold([&](Table& table, std::uint32_t* number, std::string* image) {
    bool found = false;
    if (int step = Locate(table, forward, number, &found, image); step != 0) return step;
    if (!found) return codes::kRecordNotAvailable;
    read = *number;
    return 0;
  });
  if (code == 0) {
    cursor_ = Cursor::kAfterRead;
    anchor_ = read;
    key_anchor_ = located_entry_;
  }
  return code;
}

int HvnFile::Skip(std::int64_t count) {
  return Run([&](Table& table) {
    const bool forward = count >= 0;
    for (std::int64_t i = 0; i < (forward ? count : -count); ++i) {
      std::uint32_t number = 0;
      bool found = false;
      if (int code = Locate(table, forward, &number, &found); code != 0) return code;
      cursor_ = Cursor::kAfterRead;
      key_anchor_ = located_entry_;
      if (!found) {
        anchor_ = forward ? 0xFFFFFFFF : 0;
        break;
      }
      anchor_ = number;
    }
    return 0;
  });
}

int HvnFile::SetFile() {
  if (!open_) return codes::kFileNotOpen;
  cursor_ = Cursor::kEnds;
  order_key_ = -1;
  return 0;
}

int HvnFile::SetFilePointer(std::int64_t pointer) {
  if (!open_) return codes::kFileNotOpen;
  if (pointer <= 0) return SetFile();
  cursor_ = Cursor::kAt;
  order_key_ = -1;
  anchor_ = pointer >= 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<std::uint32_t>(pointer);
  return 0;
}

int HvnFile::AtEnd(bool forward, std::int64_t* result) {
  *result = 1;
  return RunRead([&](Table& table) {
    std::uint32_t number = 0;
    bool found = false;
    if (int code = Locate(table, forward, &number, &found); code != 0) return code;
    *result = found ? 0 : 1;
    return 0;
  });
}

int HvnFile::Pointer(std::int64_t* result) {
  if (!open_) return codes::kFileNotOpen;
  *result = current_;
  return 0;
}

int HvnFile::Position(std::string* text) {
  if (!open_) return codes::kFileNotOpen;
  *text = BigEndian32(current_);
  return 0;
}

int HvnFile::Reset(const std::string& text) {
  if (!open_) return codes::kFileNotOpen;
  if (text.size() < 4) return codes::kRecordNotFound;
  return SetFilePointer(ReadBigEndian32(text, 0));
}

int HvnFile::Reget(const std::string& text) {
  if (!open_) return codes::kFileNotOpen;
  if (text.size() < 4) return codes::kRecordNotFound;
  return Get(ReadBigEndian32(text, 0));
}

int HvnFile::Records(std::int64_t* result) {
  return RunRead([&](Table& table) {
    Counter counter;
    bool found = false;
    if (int code = table.ReadCounter(kKindData, &counter, &found); code != 0) return code;
    *result = found ? counter.count : 0;
    return 0;
  });
}

int HvnFile::Bytes(std::int64_t* result) {
  std::int64_t records = 0;
  if (int code = Records(&records); code != 0) return code;
  *result = records * state_.record_size;
  return 0;
}

int HvnFile::Empty() {
  if (!open_) return codes::kFileNotOpen;
  if (file_.read_only()) return codes::kAccessDenied;
  const int code = Run([&](Table& table) {
    for (std::uint8_t kind : {kKindData, kKindMemo}) {
      if (int erase = Table::ErasePrefix(table.tree(), KindPrefix(table_id_, kind)); erase != 0) {
        return erase;
      }
    }
    for (std::size_t key = 0; key < state_.keys.size(); ++key) {
      const std::string prefix = KindPrefix(table_id_, static_cast<std::uint8_t>(key));
      if (int erase = Table::ErasePrefix(table.tree(), prefix); erase != 0) return erase;
    }
    for (std::size_t kind = 0; kind <= state_.keys.size(); ++kind) {
      const std::uint8_t counted =
          kind == state_.keys.size() ? kKindData : static_cast<std::uint8_t>(kind);
      Counter counter;
      bool found = false;
      if (int read = table.ReadCounter(counted, &counter, &found); read != 0) return read;
      if (!found) continue;
      counter.count = 0;
      if (int write = table.WriteCounter(counted, counter); write != 0) return write;
    }
    return 0;
  });
  if (code == 0) current_ = 0;
  return code;
}

int HvnFile::Send(const std::string& text, std::string* result) {
  result->clear();
  if (text == "REGISTER") {
    *result = "HALVERIN";
    return 0;
  }
  if (const std::size_t at = text.find("TCF="); at != std::string::npos) {
    std::lock_guard lock(control_file_mutex);
    ControlFile() = text.substr(at + 4);
    return 0;
  }
  if (text.size() >= 9 && EqualsNoCase(std::string_view(text).substr(0, 9), "FULLBUILD")) {
    *result = full_build_ ? "ON" : "OFF";
    if (text.size() >= 10 && text[9] == '=') {
      full_build_ = text.size() >= 12 && EqualsNoCase(std::string_view(text).substr(10, 2), "ON");
    }
    return 0;
  }
  if (const std::size_t at = text.find("PNM="); at != std::string::npos) {
    const std::string wanted = text.substr(at + 4);
    std::uint32_t id = 0;
    const int code = Run([&](Table&) {
      const int find = Table::FindId(file_, wanted, &id);
      return find == codes::kFileNotFound ? 0 : find;
    });
    if (code == 0 && id != 0) *result = wanted;
    return 0;
  }
  return 0;
}

void HvnFile::ReleaseHold() {
  if (held_ == 0) return;
  if (file_.is_open()) (void)file_.UnlockNamed(held_ + 1);
  held_ = 0;
}

int HvnFile::Release() {
  if (!open_) return codes::kFileNotOpen;
  ReleaseHold();
  return 0;
}

int HvnFile::Lock(std::int64_t seconds) {
  if (!open_) return codes::kFileNotOpen;
  if (table_locked_) return 0;
  const std::int64_t start = NowHundredths();
  while (true) {
    const int code = file_.LockNamed(table_id_ + 1, false);
    if (code == 0) {
      table_locked_ = true;
      return 0;
    }
    if (code != -1) return code;
    if (seconds >= 0 && NowHundredths() - start >= seconds * 100) {
      return codes::kFileIsAlreadyLocked;
    }
    WaitBeforeRetry();
  }
}

int HvnFile::Unlock() {
  if (!open_) return codes::kFileNotOpen;
  if (!table_locked_) return 0;
  table_locked_ = false;
  return file_.UnlockNamed(table_id_ + 1);
}

void HvnFile::ClearRequests() {
  hold_requested_ = false;
  hold_seconds_ = -1;
  watch_requested_ = false;
  no_memo_ = false;
}

}  // namespace vaultrix::files::hvn
