// Share modes between opens of one HVN file: deny-all and deny-write refuse
// the opens they exclude with 5, in this process and in another, and CREATE
// refuses to replace a table that is open.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "runtime/files/hvn/check.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

constexpr std::int32_t kReadOnly = kAccessReadOnly;
constexpr std::int32_t kReadWrite = kAccessReadWrite;

class HvnSharingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.Path("shared");
    auto file = DeclareTable(path_);
    Create(file->Block());
    ASSERT_EQ(ErrorCode(), 0);
    Open(file->Block(), kReadWrite | kDenyNone);
    SetRecord(*file, "kept", 1);
    Add(file->Block());
    Close(file->Block());
  }
  // The code an open of the table with `mode` answers; the open stays.
  std::int32_t OpenWith(DeclaredFile& file, std::int32_t mode) {
    Open(file.Block(), mode);
    return ErrorCode();
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
};

TEST_F(HvnSharingTest, DenyAllExcludesEveryOtherOpenUntilItCloses) {
  auto first = DeclareTable(path_);
  auto second = DeclareTable(path_);
  ASSERT_EQ(OpenWith(*first, kReadWrite | kDenyAll), 0);
  EXPECT_EQ(OpenWith(*second, kReadWrite | kDenyNone), codes::kAccessDenied);
  EXPECT_EQ(OpenWith(*second, kReadOnly | kDenyNone), codes::kAccessDenied);
  EXPECT_EQ(OpenWith(*second, kReadOnly | kDenyWrite), codes::kAccessDenied);
  // The refused opens took nothing from the first one.
  SetRecord(*first, "added", 2);
  Add(first->Block());
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(first->Block()), 2);
  Close(first->Block());
  EXPECT_EQ(OpenWith(*second, kReadWrite | kDenyNone), 0);
  // ... and left nothing behind that would refuse a later deny-all.
  Close(second->Block());
  EXPECT_EQ(OpenWith(*first, kReadWrite | kDenyAll), 0);
  Close(first->Block());
}

TEST_F(HvnSharingTest, DenyAllIsRefusedWhileAnotherOpenExists) {
  auto first = DeclareTable(path_);
  auto second = DeclareTable(path_);
  ASSERT_EQ(OpenWith(*first, kReadOnly | kDenyNone), 0);
  EXPECT_EQ(OpenWith(*second, kReadWrite | kDenyAll), codes::kAccessDenied);
  EXPECT_EQ(OpenWith(*second, kReadWrite | kDenyRead), codes::kAccessDenied);
  Set(first->Block());
  Next(first->Block());
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(NameOf(*first), "kept");
  Close(first->Block());
}

TEST_F(HvnSharingTest, DenyWriteLetsReadersInAndKeepsWritersOut) {
  auto guard = DeclareTable(path_);
  auto reader = DeclareTable(path_);
  auto other_guard = DeclareTable(path_);
  auto writer = DeclareTable(path_);
  ASSERT_EQ(OpenWith(*guard, kReadOnly | kDenyWrite), 0);
  EXPECT_EQ(OpenWith(*reader, kReadOnly | kDenyNone), 0);
  EXPECT_EQ(OpenWith(*other_guard, kReadOnly | kDenyWrite), 0);
  EXPECT_EQ(OpenWith(*writer, kReadWrite | kDenyNone), codes::kAccessDenied);
  EXPECT_EQ(OpenWith(*writer, kAccessWriteOnly | kDenyNone), codes::kAccessDenied);
  Close(guard->Block());
  Close(other_guard->Block());
  EXPECT_EQ(OpenWith(*writer, kReadWrite | kDenyNone), 0);
  // A writer is open now: a deny-write open is refused in turn.
  EXPECT_EQ(OpenWith(*guard, kReadOnly | kDenyWrite), codes::kAccessDenied);
  Close(writer->Block());
  Close(reader->Block());
}

TEST_F(HvnSharingTest, CreateRefusesToReplaceAnOpenTable) {
  auto open = DeclareTable(path_);
  ASSERT_EQ(OpenWith(*open, kReadWrite | kDenyNone), 0);
  auto creator = DeclareTable(path_);
  Create(creator->Block());
  EXPECT_EQ(ErrorCode(), codes::kAccessDenied);
  EXPECT_EQ(Records(open->Block()), 1);
  // Another table of the same file may be made meanwhile.
  auto other = DeclareTable(path_ + "\\!other");
  Create(other->Block());
  EXPECT_EQ(ErrorCode(), 0);
  Close(open->Block());
  Create(creator->Block());
  EXPECT_EQ(ErrorCode(), 0);
  ASSERT_EQ(OpenWith(*creator, kReadWrite | kDenyNone), 0);
  EXPECT_EQ(Records(creator->Block()), 0);
  Close(creator->Block());
  // REMOVE leaves an open table, and the file, as they are.
  auto remover = DeclareTable(path_);
  ASSERT_EQ(OpenWith(*open, kReadWrite | kDenyNone), 0);
  SetRecord(*open, "stays", 3);
  Add(open->Block());
  Remove(remover->Block());
  EXPECT_EQ(ErrorCode(), codes::kAccessDenied);
  EXPECT_EQ(Records(open->Block()), 1);
  Close(open->Block());
  // A deny-all open keeps CREATE out of every table of the file.
  ASSERT_EQ(OpenWith(*open, kReadWrite | kDenyAll), 0);
  Create(other->Block());
  EXPECT_EQ(ErrorCode(), codes::kAccessDenied);
  Close(open->Block());
  EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
}

// In a child: opens with `mode`, answers the open's code, and keeps the
// file open until the test lets it go.
[[noreturn]] void HoldOpenInChild(const std::string& path, std::int32_t mode,
                                  Handshake& handshake) {
  auto file = DeclareTable(path);
  Open(file->Block(), mode);
  // The code plus one, so that success is not read as "no answer".
  if (!handshake.AnswerAndWait(static_cast<char>(ErrorCode() + 1))) ::_exit(2);
  Close(file->Block());
  ::_exit(0);
}

TEST_F(HvnSharingTest, ModesHoldBetweenProcesses) {
  struct Case {
    std::int32_t child_mode;
    std::int32_t parent_mode;
    std::int32_t parent_code;
  };
  const Case cases[] = {
      {kReadWrite | kDenyAll, kReadOnly | kDenyNone, codes::kAccessDenied},
      {kReadWrite | kDenyWrite, kReadWrite | kDenyNone, codes::kAccessDenied},
      {kReadWrite | kDenyWrite, kReadOnly | kDenyNone, 0},
      {kReadWrite | kDenyNone, kReadWrite | kDenyAll, codes::kAccessDenied},
      {kReadWrite | kDenyNone, kReadWrite | kDenyNone, 0},
  };
  for (const Case& c : cases) {
    Handshake handshake;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) HoldOpenInChild(path_, c.child_mode, handshake);
    EXPECT_EQ(handshake.Answer(), 1);
    auto file = DeclareTable(path_);
    EXPECT_EQ(OpenWith(*file, c.parent_mode), c.parent_code)
        << std::hex << c.child_mode << " then " << c.parent_mode;
    if (ErrorCode() == 0) Close(file->Block());
    ASSERT_TRUE(handshake.LetGo());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  // Every lock went with the child: a deny-all open succeeds now.
  auto file = DeclareTable(path_);
  EXPECT_EQ(OpenWith(*file, kReadWrite | kDenyAll), 0);
  Close(file->Block());
}

}  // namespace
}  // namespace vaultrix::files::hvn
