// Several processes on one HVN file: concurrent writers on a deny-none file
// lose nothing, and a writer killed at a random moment leaves a sound file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>

#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kPerProcess = 250;
constexpr int kScans = 60;
#else
constexpr int kPerProcess = 2500;
constexpr int kScans = 300;
#endif

// In a child: adds `count` records named after `station`; exits 0 when all
// went in.
[[noreturn]] void AddInChild(const std::string& path, int station, int count) {
  auto file = DeclareTable(path);
  Open(file->Block(), 0x42);
  int failures = ErrorCode() != 0;
  for (int i = 0; i < count && failures == 0; ++i) {
    SetRecord(*file, "s" + std::to_string(station), i);
    SetMemo(*file, i % 10 == 0 ? std::string(300, 'm') : "");
    Add(file->Block());
    failures += ErrorCode() != 0;
  }
  Close(file->Block());
  ::_exit(failures == 0 ? 0 : 1);
}

class HvnStationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.Path("shared");
    auto file = DeclareTable(path_);
    Create(file->Block());
    ASSERT_EQ(ErrorCode(), 0);
  }
  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
};

TEST_F(HvnStationsTest, FourWritersAtOnceLoseNothing) {
  std::vector<pid_t> children;
  for (int station = 0; station < 4; ++station) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) AddInChild(path_, station, kPerProcess);
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto file = DeclareTable(path_);
  Open(file->Block(), 0x42);
  EXPECT_EQ(Records(file->Block()), 4 * kPerProcess);
  std::set<std::pair<std::string, std::int32_t>> seen;
  Set(file->Block());
  for (Next(file->Block()); ErrorCode() == 0; Next(file->Block())) {
    seen.insert({NameOf(*file), NumberOf(*file)});
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(4 * kPerProcess));
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
}

std::string GenerationMemo(std::int32_t generation) {
  return std::string(static_cast<std::size_t>(50 + generation % 700),
                     static_cast<char>('a' + generation % 26));
}

// I9: a reader without the lock, while another process rewrites records
// whose pages change size, sees every record whole: name, number and memo
// from one and the same PUT.
TEST_F(HvnStationsTest, ReadersSeeWholeRecordsWhileAnotherStationWrites) {
  constexpr int kRecords = 60;
  {
    auto file = DeclareTable(path_);
    Open(file->Block(), 0x42);
    for (int i = 0; i < kRecords; ++i) {
      SetRecord(*file, "g0", 0);
      SetMemo(*file, GenerationMemo(0));
      Add(file->Block());
    }
    Close(file->Block());
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto file = DeclareTable(path_);
    Open(file->Block(), 0x42);
    for (std::int32_t generation = 1;; ++generation) {
      Set(file->Block());
      for (Next(file->Block()); ErrorCode() == 0; Next(file->Block())) {
        SetRecord(*file, "g" + std::to_string(generation), generation);
        SetMemo(*file, GenerationMemo(generation));
        Put(file->Block());
        if (ErrorCode() != 0) ::_exit(1);
      }
    }
  }
  auto file = DeclareTable(path_);
  Open(file->Block(), kAccessReadOnly | kDenyNone);
  int scans = 0;
  std::int32_t highest = 0;
  // Reads can outrun the writer's first pass: scan on until it has made a
  // second generation (within a generous bound).
  for (; scans < kScans || (highest <= 1 && scans < kScans * 1000); ++scans) {
    int count = 0;
    Set(file->Block());
    for (Next(file->Block()); ErrorCode() == 0; Next(file->Block())) {
      ++count;
      const std::int32_t generation = NumberOf(*file);
      highest = std::max(highest, generation);
      ASSERT_EQ(NameOf(*file), "g" + std::to_string(generation));
      ASSERT_EQ(MemoOf(*file), GenerationMemo(generation));
    }
    ASSERT_EQ(ErrorCode(), support::kRecordNotAvailable);
    ASSERT_EQ(count, kRecords);
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_GT(highest, 1);  // the writer did write meanwhile
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
}

// I10: a reader that found no record held skips asking the system until some
// station takes a named lock; a HOLD taken after its last read must still
// stop it, in another open of this process and in another process.
TEST_F(HvnStationsTest, AHoldTakenBetweenTwoReadsStopsTheSecond) {
  auto reader = DeclareTable(path_);
  Open(reader->Block(), 0x42);
  std::vector<std::int32_t> pointers;
  for (int i = 1; i <= 3; ++i) {
    SetRecord(*reader, "r" + std::to_string(i), i);
    Add(reader->Block());
    pointers.push_back(static_cast<std::int32_t>(Pointer(reader->Block())));
  }
  const std::int32_t pointer = pointers[1];
  Get(reader->Block(), pointer);
  ASSERT_EQ(ErrorCode(), 0);

  auto holder = DeclareTable(path_);
  Open(holder->Block(), 0x42);
  Hold(holder->Block());
  Get(holder->Block(), pointer);
  ASSERT_EQ(ErrorCode(), 0);
  Get(reader->Block(), pointer);
  EXPECT_EQ(ErrorCode(), support::kRecordIsAlreadyHeld);
  Release(holder->Block());
  Get(reader->Block(), pointer);
  EXPECT_EQ(ErrorCode(), 0);

  Handshake handshake;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto file = DeclareTable(path_);
    Open(file->Block(), 0x42);
    Hold(file->Block());
    Get(file->Block(), pointer);
    ::_exit(handshake.AnswerAndWait(ErrorCode() == 0 ? 'y' : 'n') ? 0 : 2);
  }
  ASSERT_EQ(handshake.Answer(), 'y');
  Set(reader->Block());
  Next(reader->Block());
  EXPECT_EQ(ErrorCode(), 0);
  Next(reader->Block());
  EXPECT_EQ(ErrorCode(), support::kRecordIsAlreadyHeld);
  ASSERT_TRUE(handshake.LetGo());
  int status = 0;
  ::waitpid(child, &status, 0);
  // The child's end released its hold.
  Get(reader->Block(), pointer);
  EXPECT_EQ(ErrorCode(), 0);
  Close(reader->Block());
  Close(holder->Block());
}

TEST_F(HvnStationsTest, AWriterKilledAtRandomLeavesASoundFile) {
  std::mt19937 random(99);
  for (int round = 0; round < 5; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) AddInChild(path_, round, 1000000);
    ::usleep(static_cast<useconds_t>(20000 + random() % 80000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    auto file = DeclareTable(path_);
    Open(file->Block(), 0x42);
    ASSERT_EQ(ErrorCode(), 0);
    std::int64_t count = 0;
    Set(file->Block());
    for (Next(file->Block()); ErrorCode() == 0; Next(file->Block())) ++count;
    EXPECT_EQ(Records(file->Block()), count);
    Close(file->Block());
    ASSERT_EQ(CheckHvnFile(path_ + ".HVN"), "") << "round " << round;
  }
}

}  // namespace
}  // namespace vaultrix::files::hvn
