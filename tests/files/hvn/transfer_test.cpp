// REMOVE, COPY and RENAME of HVN files and of tables between files.
#include <gtest/gtest.h>

#include "runtime/files/hvn/check.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

class HvnTransferTest : public ::testing::Test {
 protected:
  std::unique_ptr<DeclaredFile> Filled(const std::string& name, int count) {
    auto file = DeclareTable(name);
    Create(file->Block());
    Open(file->Block(), 0x42);
    for (int i = 1; i <= count; ++i) {
      SetRecord(*file, name.substr(name.size() - 3) + std::to_string(i), i);
      SetMemo(*file, "memo " + std::to_string(i));
      Add(file->Block());
    }
    Close(file->Block());
    return file;
  }
  std::vector<std::string> Contents(const std::string& name) {
    auto file = DeclareTable(name);
    Open(file->Block(), 0x42);
    std::vector<std::string> out;
    if (ErrorCode() != 0) return {"error " + std::to_string(ErrorCode())};
    Set(file->Block());
    for (Next(file->Block()); ErrorCode() == 0; Next(file->Block())) {
      out.push_back(NameOf(*file) + "/" + std::to_string(NumberOf(*file)) + "/" + MemoOf(*file));
    }
    out.push_back("records " + std::to_string(Records(file->Block())));
    Close(file->Block());
    return out;
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
};

TEST_F(HvnTransferTest, RemoveDeletesTheFileWithItsLastTable) {
  auto first = Filled(dir_.Path("f") + "\\!one", 3);
  auto second = Filled(dir_.Path("f") + "\\!two", 2);
  Remove(first->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_TRUE(dir_.Has("f.HVN"));
  EXPECT_EQ(Contents(dir_.Path("f") + "\\!one"), (std::vector<std::string>{"error 2"}));
  EXPECT_EQ(Contents(dir_.Path("f") + "\\!two").size(), 3u);
  EXPECT_EQ(CheckHvnFile(dir_.Path("f.HVN")), "");
  Remove(second->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_FALSE(dir_.Has("f.HVN"));
  Remove(second->Block());
  EXPECT_EQ(ErrorCode(), codes::kFileNotFound);
}

TEST_F(HvnTransferTest, WholeFileCopyAndRename) {
  auto file = Filled(dir_.Path("src"), 4);
  const auto before = Contents(dir_.Path("src"));
  Copy(file->Block(), dir_.Path("copy"));
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Contents(dir_.Path("copy")), before);
  Rename(file->Block(), dir_.Path("moved"));
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_FALSE(dir_.Has("src.HVN"));
  EXPECT_EQ(Contents(dir_.Path("moved")), before);
}

TEST_F(HvnTransferTest, TableCopyRenumbersIntoTheTargetAndReplacesIt) {
  auto source = Filled(dir_.Path("a") + "\\!src", 5);
  auto other = Filled(dir_.Path("b") + "\\!dst", 2);  // raises b's numbers
  const auto before = Contents(dir_.Path("a") + "\\!src");
  Copy(source->Block(), dir_.Path("b") + "\\!dst");
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Contents(dir_.Path("b") + "\\!dst"), before);
  EXPECT_EQ(Contents(dir_.Path("a") + "\\!src"), before);
  EXPECT_EQ(CheckHvnFile(dir_.Path("b.HVN")), "");
  // New records in the target get numbers past the copied ones.
  auto target = DeclareTable(dir_.Path("b") + "\\!dst");
  Open(target->Block(), 0x42);
  SetRecord(*target, "new", 6);
  Add(target->Block());
  ASSERT_EQ(ErrorCode(), 0);
  Close(target->Block());
  EXPECT_EQ(Contents(dir_.Path("b") + "\\!dst").size(), before.size() + 1);
  EXPECT_EQ(CheckHvnFile(dir_.Path("b.HVN")), "");
}

TEST_F(HvnTransferTest, TableRenameMovesAndRefusesAnExistingTarget) {
  auto source = Filled(dir_.Path("a") + "\\!src", 3);
  auto keep = Filled(dir_.Path("a") + "\\!keep", 1);
  auto taken = Filled(dir_.Path("b") + "\\!taken", 1);
  Rename(source->Block(), dir_.Path("b") + "\\!taken");
  EXPECT_EQ(ErrorCode(), codes::kAccessDenied);
  const auto before = Contents(dir_.Path("a") + "\\!src");
  Rename(source->Block(), dir_.Path("b") + "\\!moved");
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Contents(dir_.Path("b") + "\\!moved"), before);
  EXPECT_EQ(Contents(dir_.Path("a") + "\\!src"), (std::vector<std::string>{"error 2"}));
  EXPECT_EQ(Contents(dir_.Path("a") + "\\!keep").size(), 2u);
  EXPECT_EQ(CheckHvnFile(dir_.Path("a.HVN")), "");
  EXPECT_EQ(CheckHvnFile(dir_.Path("b.HVN")), "");
}

}  // namespace
}  // namespace vaultrix::files::hvn
