// The HVN driver's per-file state and its record-order operations: what one
// open table of one file block does for OPEN, ADD, GET, NEXT, PUT, DELETE and
// the rest. Each operation is one operation of the PageFile (Begin .. End),
// so it re-reads the header, commits its changes crash-safely, and holds the
// file's lock only while it runs.
//
// Reading order: after OPEN or SET(file) NEXT starts at the first record and
// PREVIOUS at the last; SET(file, pointer) starts both at that record number;
// after a read they step from the record read. ADD and GET leave the reading
// order where it was. The SET forms of a key read in that key's order
// instead (hvn/key_operations.cpp); ADD, PUT and DELETE keep every key's
// entries in step (hvn/keys.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "runtime/files/file_state.h"
#include "runtime/files/hvn/counter_deltas.h"
#include "runtime/files/hvn/keys.h"
#include "runtime/files/hvn/table.h"
#include "runtime/files/hvn/transaction.h"
#include "runtime/files/hvn/pages/page_file.h"
#include "runtime/support/function_ref.h"

namespace vaultrix::files::hvn {

// Damage found in a file: by default the fatal "Internal error : hvnbt line N";
// a tool or fuzz target may have it posted as 36 "Invalid Data File" instead.
void SetDamageIsFatal(bool fatal);

// Called between the attempts of a waiting HOLD or LOCK, so the user
// interface stays alive; by default it sleeps for 10 milliseconds.
using LockWaitHook = std::function<void()>;
LockWaitHook SetLockWaitHook(LockWaitHook hook);
// Called between the attempts of LOGOUT's wait for another station's
// transaction; without one, the hook above. No operation of the file is under
// way then, so the program's hook may let its other threads run meanwhile.
LockWaitHook SetTransactionWaitHook(LockWaitHook hook);

// The transaction control file name set by SEND "TCF=" (process-wide).
[[nodiscard]] std::string TransactionControlFile();

// Counter changes wait in memory inside a transaction and go to the tree at
// its commit; outside one, at the end of each operation (hvn/counter_deltas.h).
class HvnFile final : public DriverState, private TransactionMember {
 public:
  explicit HvnFile(FileState& state) : state_(state) {}
  // Wipes the key values it kept for the key order (hvn/key_operations.cpp).
  ~HvnFile() override;

  int Create();
  int Open(std::int32_t access_mode);
  int Close();
  // Enlists the file in this process's transaction (hvn/transaction.h).
  int Logout(std::int64_t seconds);

  int Add();
  int Put();
  int PutPointer(std::int64_t pointer);
  int Delete();
  int Get(std::int64_t pointer);
  int Next() { return Read(true); }
  int Previous() { return Read(false); }
  int Skip(std::int64_t count);
  int SetFile();
  int SetFilePointer(std::int64_t pointer);
  int Bof(std::int64_t* result) { return AtEnd(false, result); }
  int Eof(std::int64_t* result) { return AtEnd(true, result); }
  int Pointer(std::int64_t* result);
  int Position(std::string* text);
  int Reset(const std::string& text);
  int Reget(const std::string& text);
  int Records(std::int64_t* result);
  int Bytes(std::int64_t* result);
  int Empty();
  int Send(const std::string& text, std::string* result);
  std::string Name() const { return state_.name; }

  void NoMemo() { no_memo_ = true; }
  void Watch() { watch_requested_ = true; }
  void Hold(std::int64_t seconds) {
    hold_requested_ = true;
    hold_seconds_ = seconds;
  }
  int Release();
  int Lock(std::int64_t seconds);
  int Unlock();

  // Key operations (hvn/key_operations.cpp): `key` is one of the file's key
  // blocks (77 otherwise).
  int GetByKey(const KeyBlock* key);
  int SetFileKey(const KeyBlock* key);
  int SetKey(const KeyBlock* key);
  int SetKeyKey(const KeyBlock* key);
  int SetKeyPointer(const KeyBlock* key, std::int64_t pointer);
  int SetKeyKeyPointer(const KeyBlock* key, std::int64_t pointer);
  int PositionKey(const KeyBlock* key, std::string* text);
  int ResetKey(const KeyBlock* key, const std::string& text);
  int RegetKey(const KeyBlock* key, const std::string& text);
  int RecordsKey(const KeyBlock* key, std::int64_t* result);
  int DuplicateKey(const KeyBlock* key, std::int64_t* result);
  int DuplicateFile(std::int64_t* result);
  // BUILD and PACK (hvn/build.cpp). `components` gives a run-time index its
  // components as text.
  int BuildFile();
  int BuildKey(const KeyBlock* key);
  int BuildIndex(const KeyBlock* key, const std::string* components);
  int Pack();

  [[nodiscard]] bool is_open() const { return open_; }
  [[nodiscard]] PageFile& page_file() { return file_; }

 private:
  enum class Cursor { kEnds, kAt, kAfterRead };

  // A record read in an operation, put into the buffers only once the
  // operation has succeeded.
  struct Fetched {
    Fetched() = default;
    Fetched(const Fetched&) = delete;
    Fetched& operator=(const Fetched&) = delete;
    ~Fetched() { Clear(); }
    // Wipes what it holds; the storage stays for the next read.
    void Clear() {
      number = 0;
      memo_count = 0;
      Wipe(image);
      for (auto& memo : memos) Wipe(memo);
    }
    std::uint32_t number = 0;
    std::string image;
    std::vector<std::string> memos;  // whole memo buffers, blank padded
    std::size_t memo_count = 0;      // memos read (none under NOMEMO)
  };

  // TransactionMember: the counters' deltas are written before the commit.
  int BeforeCommit() override;
  void Dropped() override { counters_.Drop(); }

  // Runs `work` as one operation of the page file.
  int Run(const std::function<int(Table&)>& work);
  // Runs `work`, which must change nothing, as a reading operation.
  int RunRead(support::FunctionRef<int(Table&)> work);
  int Translate(int code);
  int Read(bool forward);
  // Reads record `number` (and its memos unless NOMEMO) into `out`; `known`
  // holds the stored record when the caller has read it already.
  int Fetch(Table& table, std::uint32_t number, std::string* known, Fetched* out);
  void Apply(Fetched& fetched);
  int ReadWithHold(support::FunctionRef<int(Table&, std::uint32_t*, std::string*)> locate);
  // Stores the memos of record `number`; `fresh`: a number just issued,
  // which has no chunks to erase.
  int WriteMemos(Table& table, std::uint32_t number, bool fresh);
  int AtEnd(bool forward, std::int64_t* result);
  int Locate(Table& table, bool forward, std::uint32_t* number, bool* found,
             std::string* image = nullptr);
  void ReleaseHold();
  void ClearRequests();
  // Key order (hvn/key_operations.cpp).
  int KeyIndex(const KeyBlock* key, std::size_t* index) const;
  int LocateInKey(Table& table, bool forward, std::uint32_t* number, bool* found);
  int StartKeyOrder(std::size_t key, const std::uint8_t* record,
                    std::optional<std::uint32_t> number);
  int EnsureKeys();
  int RemoveKeyEntries(Table& table, std::uint32_t number);
  // `compact`: PACK, which then lays the file's pages out afresh.
  int Rebuild(const std::vector<std::size_t>& keys, bool full, bool compact = false);

  FileState& state_;
  PageFile file_;
  TableName name_;
  std::uint32_t table_id_ = 0;
  bool open_ = false;
  std::uint32_t current_ = 0;
  Cursor cursor_ = Cursor::kEnds;
  std::uint32_t anchor_ = 0;
  bool no_memo_ = false;
  bool watch_requested_ = false;
  std::optional<std::string> watched_;  // the stored image at the watched read
  std::uint32_t watched_number_ = 0;
  bool hold_requested_ = false;
  std::int64_t hold_seconds_ = -1;
  std::uint32_t held_ = 0;  // record number held, 0 when none
  bool table_locked_ = false;
  bool full_build_ = false;
  KeySet keys_;
  bool keys_ready_ = false;
  CounterDeltas counters_;
  int order_key_ = -1;                        // the key NEXT follows; -1: record order
  std::vector<std::uint8_t> start_value_;     // kAt in key order: the start value
  std::optional<std::uint32_t> start_number_;  // and record number (DUP keys)
  std::string key_anchor_;                    // kAfterRead in key order: the entry read
  std::string located_entry_;                 // the entry the last LocateInKey found
  // Kept from read to read so that reading allocates nothing.
  Fetched fetched_;
  std::string located_;
  std::vector<std::string> chunks_;
};

}  // namespace vaultrix::files::hvn
