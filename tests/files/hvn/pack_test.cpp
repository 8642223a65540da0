// PACK: the keys rebuilt and the file's pages laid out afresh. A file from
// which most records went shrinks to about the size of a fresh file of what
// is left; every record, memo and key entry reads as before, under the same
// record numbers; an owner file stays enciphered; PACK refuses a file that
// another open holds; and a crash or a killed station at any moment of a
// PACK leaves the old file or the packed one.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "platform/fault_env.h"
#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/cipher_file.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/crash_points.h"
#include "tests/files/hvn/keyed_table.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using platform::FaultEnv;
using support::ErrorCode;
namespace codes = support;

// A passwords-like table: three texts, three keys, a memo.
constexpr std::uint32_t kServiceSize = 40, kUserSize = 40, kUrlSize = 90;
constexpr std::uint32_t kUserOffset = kServiceSize, kUrlOffset = kServiceSize + kUserSize;
constexpr std::uint32_t kNotesSize = 2000;

std::unique_ptr<DeclaredFile> DeclarePasswords(const std::string& name,
                                               const std::string& owner = "") {
  return FileDeclaration(name)
      .Owner(owner)
      .Attributes(0x17)
      .Field(StringField("P:SERVICE", kServiceSize))
      .Field(StringField("P:USER", kUserSize))
      .Field(StringField("P:URL", kUrlSize))
      .Key("P:KEYSERVICE", kKeyNoCase, {"P:SERVICE", "P:USER"})
      .Key("P:KEYUSER", kKeyDup | kKeyNoCase, {"P:USER"})
      .Key("P:KEYURL", kKeyDup | kKeyOpt, {"-P:URL"})
      .Memo("P:NOTES", kNotesSize)
      .Build(HalverinDriver());
}

void SetText(DeclaredFile& file, std::uint32_t offset, std::uint32_t size,
             const std::string& text) {
  std::memset(file.Record() + offset, ' ', size);
  std::memcpy(file.Record() + offset, text.data(), std::min<std::size_t>(text.size(), size));
}

std::string TextAt(DeclaredFile& file, std::uint32_t offset, std::uint32_t size) {
  std::string text(reinterpret_cast<const char*>(file.Record() + offset), size);
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

void SetNotes(DeclaredFile& file, const std::string& text) {
  MemoBlock& memo = file.Memo(0);
  std::memset(memo.buffer, ' ', memo.size);
  std::memcpy(memo.buffer, text.data(), std::min<std::size_t>(text.size(), memo.size));
}

std::string NotesOf(DeclaredFile& file) {
  MemoBlock& memo = file.Memo(0);
  std::string text(memo.buffer, memo.size);
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

// Record i: its texts and a memo of a length that varies with i (none for
// every fifth, several chunks for some).
void FillEntry(DeclaredFile& file, int i) {
  SetText(file, 0, kServiceSize, "service " + std::to_string(i * 7919 % 10007));
  SetText(file, kUserOffset, kUserSize, "user" + std::to_string(i % 37));
  SetText(file, kUrlOffset, kUrlSize, i % 3 == 0 ? "" : "https://site" + std::to_string(i % 101));
  SetNotes(file, i % 5 == 0 ? "" : std::string(static_cast<std::size_t>(i % 700), 'n') + "#" +
                                       std::to_string(i));
}

std::string Describe(DeclaredFile& file, FileBlock& block) {
  return std::to_string(Pointer(block)) + "|" + TextAt(file, 0, kServiceSize) + "|" +
         TextAt(file, kUserOffset, kUserSize) + "|" + TextAt(file, kUrlOffset, kUrlSize) + "|" +
         NotesOf(file);
}

// Everything a reader can see: record order, then every key in both
// directions, with record numbers, memos and counters.
std::vector<std::string> Contents(DeclaredFile& file) {
  FileBlock& block = file.Block();
  std::vector<std::string> out;
  Set(block);
  for (Next(block); ErrorCode() == 0; Next(block)) out.push_back(Describe(file, block));
  EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
  out.push_back("records " + std::to_string(Records(block)));
  for (std::size_t key = 0; key < 3; ++key) {
    for (bool forward : {true, false}) {
      Set(file.Key(key));
      for (forward ? Next(block) : Previous(block); ErrorCode() == 0;
           forward ? Next(block) : Previous(block)) {
        out.push_back(std::to_string(key) + ":" + Describe(file, block));
      }
      EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
    }
    out.push_back("key records " + std::to_string(Records(file.Key(key))));
  }
  return out;
}

std::uint64_t SizeOf(const std::string& path) {
  return FileBytes(path).size();
}

class HvnPackTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDamageIsFatal(false); }
  void TearDown() override { SetDamageIsFatal(true); }

  // A file of records 1..count, of which those that `keep` refuses are
  // deleted again.
  std::unique_ptr<DeclaredFile> Make(const std::string& name, int count,
                                     const std::function<bool(int)>& keep,
                                     const std::string& owner = "") {
    auto file = DeclarePasswords(dir_.Path(name), owner);
    Create(file->Block());
    Open(file->Block(), 0x42);
    EXPECT_EQ(ErrorCode(), 0);
    std::vector<std::int32_t> gone;
    for (int i = 1; i <= count; ++i) {
      FillEntry(*file, i);
      Add(file->Block());
      EXPECT_EQ(ErrorCode(), 0) << i;
      if (!keep(i)) gone.push_back(static_cast<std::int32_t>(Pointer(file->Block())));
    }
    for (std::int32_t pointer : gone) {
      Get(file->Block(), pointer);
      Delete(file->Block());
      EXPECT_EQ(ErrorCode(), 0) << pointer;
    }
    return file;
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
};

#if defined(__SANITIZE_ADDRESS__)
constexpr int kAdded = 3000;
#else
constexpr int kAdded = 10000;
#endif

bool EveryTenth(int i) {
  return i % 10 == 3;
}

TEST_F(HvnPackTest, ShrinksToAboutAFreshFileAndKeepsEverythingReadable) {
  auto file = Make("big", kAdded, EveryTenth);
  const std::vector<std::string> before = Contents(*file);
  ASSERT_EQ(before[kAdded / 10], "records " + std::to_string(kAdded / 10));
  Close(file->Block());
  const std::uint64_t full_size = SizeOf(dir_.Path("big.HVN"));

  // The same 1,000 records added one by one to a new file.
  auto fresh = DeclarePasswords(dir_.Path("fresh"));
  Create(fresh->Block());
  Open(fresh->Block(), 0x42);
  for (int i = 1; i <= kAdded; ++i) {
    if (!EveryTenth(i)) continue;
    FillEntry(*fresh, i);
    Add(fresh->Block());
    ASSERT_EQ(ErrorCode(), 0);
  }
  Close(fresh->Block());
  const std::uint64_t fresh_size = SizeOf(dir_.Path("fresh.HVN"));

  Open(file->Block(), 0x42);
  Pack(file->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Contents(*file), before);
  Close(file->Block());
  const std::uint64_t packed_size = SizeOf(dir_.Path("big.HVN"));
  EXPECT_LT(packed_size * 5, full_size) << full_size;
  EXPECT_LE(packed_size, fresh_size * 11 / 10) << fresh_size;
  EXPECT_EQ(CheckHvnFile(dir_.Path("big.HVN")), "");

  // Reopened, it reads the same and takes changes of every kind.
  Open(file->Block(), 0x42);
  EXPECT_EQ(Contents(*file), before);
  FillEntry(*file, 20001);
  Add(file->Block());
  EXPECT_EQ(ErrorCode(), 0);
  Get(file->Block(), std::stoi(before[0]));
  EXPECT_EQ(ErrorCode(), 0);
  Delete(file->Block());
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Block()), kAdded / 10);
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(dir_.Path("big.HVN")), "");
}

// The first placement after an open learns the free slots from the index
// pages alone: records added then go into the slots the deleted ones left,
// so the file does not grow, and no page is placed twice.
TEST_F(HvnPackTest, SlotsFreedBeforeAReopenAreUsedAfterIt) {
  auto file = Make("reuse", kAdded, EveryTenth);
  Close(file->Block());
  const std::uint64_t before = SizeOf(dir_.Path("reuse.HVN"));
  Open(file->Block(), 0x42);
  for (int i = kAdded + 1; i <= kAdded + kAdded / 2; ++i) {
    FillEntry(*file, i);
    Add(file->Block());
    ASSERT_EQ(ErrorCode(), 0) << i;
  }
  Close(file->Block());
  EXPECT_LE(SizeOf(dir_.Path("reuse.HVN")), before);
  EXPECT_EQ(CheckHvnFile(dir_.Path("reuse.HVN")), "");
  Open(file->Block(), 0x42);
  EXPECT_EQ(Records(file->Block()), kAdded / 10 + kAdded / 2);
  Close(file->Block());
}

TEST_F(HvnPackTest, RecordNumbersAndKeyPositionsHeldByCallersStayValid) {
  auto file = Make("numbers", 300, [](int i) { return i % 4 == 0; });
  std::vector<std::pair<std::int32_t, std::string>> records;
  Set(file->Block());
  for (Next(file->Block()); ErrorCode() == 0; Next(file->Block())) {
    records.emplace_back(static_cast<std::int32_t>(Pointer(file->Block())),
                         Describe(*file, file->Block()));
  }
  ASSERT_EQ(records.size(), 75u);
  Set(file->Key(0));
  Next(file->Block());
  Next(file->Block());
  ASSERT_EQ(ErrorCode(), 0);
  const std::string second = Describe(*file, file->Block());
  const std::string position = Position(file->Key(0));
  const std::string file_position = Position(file->Block());
  Pack(file->Block());
  ASSERT_EQ(ErrorCode(), 0);
  Reget(file->Key(0), position);
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Describe(*file, file->Block()), second);
  Reget(file->Block(), file_position);
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Describe(*file, file->Block()), second);
  for (const auto& [pointer, described] : records) {
    Get(file->Block(), pointer);
    ASSERT_EQ(ErrorCode(), 0) << pointer;
    EXPECT_EQ(Describe(*file, file->Block()), described);
  }
  // The numbers of deleted records stay unused.
  Get(file->Block(), records[0].first + 1);
  EXPECT_EQ(ErrorCode(), codes::kRecordNotFound);
  FillEntry(*file, 5000);
  Add(file->Block());
  EXPECT_GT(Pointer(file->Block()), records.back().first);
  Close(file->Block());
}

TEST_F(HvnPackTest, EmptyTablesAndEmptiedTables) {
  auto file = DeclarePasswords(dir_.Path("empty"));
  Create(file->Block());
  Open(file->Block(), 0x42);
  Pack(file->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Block()), 0);
  Set(file->Key(0));
  Next(file->Block());
  EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(dir_.Path("empty.HVN")), "");
  const std::uint64_t empty_size = SizeOf(dir_.Path("empty.HVN"));

  auto emptied = Make("emptied", 500, [](int) { return false; });
  Pack(emptied->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Contents(*emptied).size(), 4u);  // the counters alone
  Close(emptied->Block());
  EXPECT_EQ(CheckHvnFile(dir_.Path("emptied.HVN")), "");
  EXPECT_LE(SizeOf(dir_.Path("emptied.HVN")), empty_size);

  // Packed twice, and then used, it is still sound.
  Open(emptied->Block(), 0x42);
  Pack(emptied->Block());
  EXPECT_EQ(ErrorCode(), 0);
  FillEntry(*emptied, 1);
  Add(emptied->Block());
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(emptied->Key(1)), 1);
  Close(emptied->Block());
  EXPECT_EQ(CheckHvnFile(dir_.Path("emptied.HVN")), "");
}

TEST_F(HvnPackTest, AnOwnerFileStaysEncipheredAndNeedsItsPassword) {
  const std::string owner = "OrbitPlumeCasketNimbleFox";
  auto file = Make("owned", 400, [](int i) { return i % 3 == 0; }, owner);
  const auto before = Contents(*file);
  Pack(file->Block());
  ASSERT_EQ(ErrorCode(), 0);
  Close(file->Block());
  const std::string bytes = FileBytes(dir_.Path("owned.HVN"));
  EXPECT_EQ(bytes.find("hAlV"), std::string::npos);
  EXPECT_EQ(bytes.find("service"), std::string::npos);
  EXPECT_EQ(bytes.find("nnnnnnnn"), std::string::npos);
  EXPECT_EQ(CheckHvnFile(dir_.Path("owned.HVN"), owner), "");
  EXPECT_NE(CheckHvnFile(dir_.Path("owned.HVN")), "");

  auto again = DeclarePasswords(dir_.Path("owned"), owner);
  Open(again->Block(), 0x42);
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Contents(*again), before);
  Close(again->Block());
  auto wrong = DeclarePasswords(dir_.Path("owned"), "orbit");
  Open(wrong->Block(), 0x42);
  EXPECT_EQ(ErrorCode(), codes::kInvalidDataFile);
}

TEST_F(HvnPackTest, RefusedWhileAnotherOpenHoldsTheFile) {
  auto file = Make("shared", 50, [](int i) { return i % 2 == 0; });
  const std::string original = FileBytes(dir_.Path("shared.HVN"));
  auto other = DeclarePasswords(dir_.Path("shared"));
  Open(other->Block(), kAccessReadOnly | kDenyNone);
  ASSERT_EQ(ErrorCode(), 0);
  Pack(file->Block());
  EXPECT_EQ(ErrorCode(), codes::kExclusiveAccessRequired);
  EXPECT_EQ(FileBytes(dir_.Path("shared.HVN")), original);
  // The refusal leaves both opens working.
  EXPECT_EQ(Records(other->Block()), 25);
  Get(file->Block(), 3);
  EXPECT_EQ(ErrorCode(), 0);
  Close(other->Block());
  Pack(file->Block());
  EXPECT_EQ(ErrorCode(), 0);

  // Not inside a transaction, and not through a read-only open.
  Logout(file->Block());
  ASSERT_EQ(ErrorCode(), 0);
  Pack(file->Block());
  EXPECT_EQ(ErrorCode(), codes::kLogoutAlreadyActive);
  Rollback(file->Block());
  Close(file->Block());
  Open(file->Block(), kAccessReadOnly | kDenyNone);
  Pack(file->Block());
  EXPECT_EQ(ErrorCode(), codes::kAccessDenied);
  Close(file->Block());
  // A file that is not open is opened for the PACK and closed again.
  Pack(file->Block());
  EXPECT_EQ(ErrorCode(), 0);
  (void)Records(file->Block());
  EXPECT_EQ(ErrorCode(), codes::kFileNotOpen);
  EXPECT_EQ(CheckHvnFile(dir_.Path("shared.HVN")), "");
}

TEST_F(HvnPackTest, OtherTablesOfTheFileKeepTheirRecords) {
  auto first = DeclarePasswords(dir_.Path("multi") + "\\!first");
  auto second = DeclarePasswords(dir_.Path("multi") + "\\!second");
  Create(first->Block());
  Create(second->Block());
  Open(first->Block(), 0x42);
  Open(second->Block(), 0x42);
  for (int i = 1; i <= 200; ++i) {
    FillEntry(*first, i);
    Add(first->Block());
    FillEntry(*second, 1000 + i);
    Add(second->Block());
    ASSERT_EQ(ErrorCode(), 0);
  }
  for (int i = 0; i < 150; ++i) {
    Set(first->Block());
    Next(first->Block());
    Delete(first->Block());
  }
  const auto second_before = Contents(*second);
  Close(second->Block());
  Pack(first->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(first->Block()), 50);
  Close(first->Block());
  Open(second->Block(), 0x42);
  EXPECT_EQ(Contents(*second), second_before);
  Close(second->Block());
  EXPECT_EQ(CheckHvnFile(dir_.Path("multi.HVN")), "");
}

// The crash tests: a file of 120 records of which two thirds are deleted.
class HvnPackCrashTest : public HvnPackTest {
 protected:
  void SetUp() override {
    HvnPackTest::SetUp();
    auto file = Make("crash", 120, [](int i) { return i % 3 == 1; }, kOwner);
    before_ = Contents(*file);
    Close(file->Block());
    base_ = dir_.Get("crash.HVN");
  }
  std::vector<std::string> State() {
    auto file = DeclarePasswords(dir_.Path("crash"), kOwner);
    Open(file->Block(), 0x42);
    EXPECT_EQ(ErrorCode(), 0);
    auto out = Contents(*file);
    Close(file->Block());
    return out;
  }
  // Where the data of the file ends, after the header check has completed
  // any commit left pending.
  std::uint32_t DataEnd() {
    const std::string path = dir_.Path("crash.HVN");
    PageFile file;
    file.UseCipher(SharedCipherContext(path, kOwner));
    if (file.Open(path, false, false) != 0 || file.Begin() != 0) return 0;
    const std::uint32_t end = file.header().committed_end;
    file.Abort();
    (void)file.Close();
    return end;
  }
  void PackUnder(FaultEnv& env) {
    dir_.Put("crash.HVN", base_);
    platform::ScopedEnv use(env);
    auto file = DeclarePasswords(dir_.Path("crash"), kOwner);
    Open(file->Block(), 0x42);
    Pack(file->Block());
    Close(file->Block());
  }

  static constexpr const char* kOwner = "a";
  std::vector<std::string> before_;
  std::string base_;
};

TEST_F(HvnPackCrashTest, CrashAtAnyWriteOrFlushLeavesTheOldOrThePackedFile) {
  FaultEnv measure;
  PackUnder(measure);
  const std::uint64_t packed_size = SizeOf(dir_.Path("crash.HVN"));
  ASSERT_LT(packed_size, base_.size());
  ASSERT_EQ(State(), before_);
  const int writes = measure.writes(), flushes = measure.flushes();
  ASSERT_GT(writes, 2);
  const std::uint32_t packed_end = DataEnd();
  dir_.Put("crash.HVN", base_);
  const std::uint32_t old_end = DataEnd();
  ASSERT_LT(packed_end, old_end);
  int saw_old = 0, saw_packed = 0, saw_cut = 0;
  auto verify = [&](const std::string& what) {
    ASSERT_EQ(CheckHvnFile(dir_.Path("crash.HVN"), kOwner), "") << what;
    ASSERT_EQ(State(), before_) << what;
    const std::uint32_t end = DataEnd();
    ASSERT_TRUE(end == old_end || end == packed_end) << what << ": " << end;
    saw_old += end == old_end;
    saw_packed += end == packed_end;
    // A commit completed by the next opener is cut to its data as well.
    saw_cut += end == packed_end && SizeOf(dir_.Path("crash.HVN")) == packed_end;
  };
  AtEveryCrashPoint(writes, flushes, 131, [&](FaultEnv& env) { PackUnder(env); }, verify);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_GT(saw_old, 0);
  EXPECT_GT(saw_packed, 0);
  EXPECT_GT(saw_cut, 0);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr int kKillRounds = 6;
#else
constexpr int kKillRounds = 20;
#endif

// Packs over and over, changing the file in between, and reports after
// each PACK how many it has done.
[[noreturn]] void PackInChild(const std::string& path, const std::string& owner, int report) {
  SetDamageIsFatal(false);
  auto file = DeclarePasswords(path, owner);
  Open(file->Block(), 0x42);
  if (ErrorCode() != 0) ::_exit(1);
  for (std::int32_t round = 1;; ++round) {
    Pack(file->Block());
    if (ErrorCode() != 0) ::_exit(2);
    if (::write(report, &round, sizeof round) != sizeof round) ::_exit(3);
  }
}

TEST_F(HvnPackCrashTest, AStationKilledDuringPackLeavesASoundFile) {
  std::mt19937 random(2026);
  for (int round = 0; round < kKillRounds; ++round) {
    dir_.Put("crash.HVN", base_);
    int pipe_ends[2];
    ASSERT_EQ(::pipe(pipe_ends), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipe_ends[0]);
      PackInChild(dir_.Path("crash"), kOwner, pipe_ends[1]);
    }
    ::close(pipe_ends[1]);
    // Killed in its first PACK now and then, in a later one otherwise.
    if (round % 3 != 0) {
      std::int32_t done = 0;
      ASSERT_EQ(::read(pipe_ends[0], &done, sizeof done), static_cast<ssize_t>(sizeof done));
    }
    volatile std::uint32_t spin = random() % 4000000;
    while (spin > 0) spin = spin - 1;
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << status;
    ::close(pipe_ends[0]);
    const std::string what = "round " + std::to_string(round);
    ASSERT_EQ(CheckHvnFile(dir_.Path("crash.HVN"), kOwner), "") << what;
    ASSERT_EQ(State(), before_) << what;
    ASSERT_EQ(CheckHvnFile(dir_.Path("crash.HVN"), kOwner), "") << what;
  }
}

}  // namespace
}  // namespace vaultrix::files::hvn
