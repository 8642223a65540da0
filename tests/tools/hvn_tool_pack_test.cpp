// vaultrix-hvn pack, and the tool's full check (every key against the data
// records) on files packed by it and by the driver's PACK: with and without
// an owner password, the file shrinks and reads as before; pack refuses a
// file the driver holds open.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/files/hvn/keyed_table.h"
#include "tests/tools/hvn_tool_test_support.h"
#include "tools/hvn_tool/commands.h"

namespace vaultrix::tools {
namespace {

namespace hvn = files::hvn;
using support::ErrorCode;

constexpr const char* kOwner = "OrbitPlumeCasketNimbleFox";

// Adds 400 records with memos and deletes three in four; leaves it closed.
void Thin(files::DeclaredFile& file) {
  using namespace files;
  Create(file.Block());
  Open(file.Block(), kAccessReadWrite | kDenyNone);
  ASSERT_EQ(ErrorCode(), 0);
  for (int i = 0; i < 400; ++i) {
    hvn::testing::PutKeyed(file, {"name" + std::to_string(i), i % 13, (i % 9) * -0.5,
                                  std::to_string(i) + ".00"});
    hvn::testing::SetMemo(file, std::string(static_cast<std::size_t>(i % 900), 'm'));
    Add(file.Block());
    ASSERT_EQ(ErrorCode(), 0);
    if (i % 4 != 0) {
      Delete(file.Block());
      ASSERT_EQ(ErrorCode(), 0);
    }
  }
  Close(file.Block());
}

// The names in every key's order, with the memo lengths.
std::vector<std::string> KeyOrders(files::DeclaredFile& file) {
  using namespace files;
  Open(file.Block(), kAccessReadWrite | kDenyNone);
  EXPECT_EQ(ErrorCode(), 0);
  std::vector<std::string> out;
  for (std::size_t key = 0; key < 4; ++key) {
    Set(file.Key(key));
    for (Next(file.Block()); ErrorCode() == 0; Next(file.Block())) {
      out.push_back(hvn::testing::GetKeyed(file).name + "/" +
                    std::to_string(hvn::testing::MemoOf(file).size()));
    }
  }
  Close(file.Block());
  return out;
}

std::vector<std::string> WithOwner(std::vector<std::string> arguments, const std::string& owner) {
  if (!owner.empty()) arguments.insert(arguments.end(), {"--owner", owner});
  return arguments;
}

// Packed by the tool or by the driver's PACK, the file shrinks, passes the
// full check and reads as before.
TEST(HvnToolPackTest, PackShrinksTheFileAndTheCheckFindsNothing) {
  auto& dir = hvn::testing::FastScratchDir();
  for (const bool by_tool : {true, false}) {
    for (const std::string owner : {"", kOwner}) {
      SCOPED_TRACE(std::string(by_tool ? "tool " : "driver ") + owner);
      const std::string name = dir.Path(owner.empty() ? "plain" : "owned");
      std::remove((name + ".HVN").c_str());
      auto file = hvn::testing::DeclareKeyedTable(name, owner);
      ASSERT_NO_FATAL_FAILURE(Thin(*file));
      const auto before = KeyOrders(*file);
      // Four keys of 100 records; the OPT code key leaves out the code 0.
      ASSERT_EQ(before.size(), 399u);
      const std::size_t size_before = hvn::testing::FileBytes(name + ".HVN").size();
      if (by_tool) {
        const testing::ToolRun pack = testing::RunTool(WithOwner({"pack", name + ".HVN"}, owner));
        EXPECT_EQ(pack.code, 0) << pack.err;
        const std::size_t size_after = hvn::testing::FileBytes(name + ".HVN").size();
        EXPECT_NE(pack.out.find("packed: " + std::to_string(size_before) + " bytes before, " +
                                std::to_string(size_after) + " after"),
                  std::string::npos)
            << pack.out;
      } else {
        files::Pack(file->Block());
        ASSERT_EQ(ErrorCode(), 0);
      }
      EXPECT_LT(hvn::testing::FileBytes(name + ".HVN").size() * 2, size_before);
      const testing::ToolRun check = testing::RunTool(WithOwner({"check", name + ".HVN"}, owner));
      EXPECT_EQ(check.code, 0) << check.out;
      EXPECT_EQ(KeyOrders(*file), before);
    }
  }
}

TEST(HvnToolPackTest, RefusedWhileTheDriverHoldsTheFileOpen) {
  auto& dir = hvn::testing::FastScratchDir();
  const std::string name = dir.Path("held");
  auto file = hvn::testing::DeclareKeyedTable(name);
  ASSERT_NO_FATAL_FAILURE(Thin(*file));
  const std::string bytes = hvn::testing::FileBytes(name + ".HVN");
  files::Open(file->Block(), files::kAccessReadOnly | files::kDenyNone);
  ASSERT_EQ(ErrorCode(), 0);
  const testing::ToolRun pack = testing::RunTool({"pack", name + ".HVN"});
  EXPECT_EQ(pack.code, kExitUnreadable);
  EXPECT_NE(pack.err.find("open in another program"), std::string::npos) << pack.err;
  EXPECT_EQ(hvn::testing::FileBytes(name + ".HVN"), bytes);
  files::Close(file->Block());
  EXPECT_EQ(testing::RunTool({"pack", name + ".HVN"}).code, 0);
}

}  // namespace
}  // namespace vaultrix::tools
