// vaultrix-hvn check on files whose keys the driver kept itself (no rebuild
// first): sound after a churn of ADD, PUT and DELETE, BUILD and a run-time
// index, with and without an owner password; a key entry removed is named.
#include <gtest/gtest.h>

#include "runtime/files/hvn/table.h"
#include "tests/files/hvn/keyed_table.h"
#include "tests/tools/hvn_tool_test_support.h"

namespace vaultrix::tools {
namespace {

namespace hvn = files::hvn;
using support::ErrorCode;

// Fills the keyed table with a churn of changes; answers the first error.
void Churn(files::DeclaredFile& file) {
  using namespace files;
  Create(file.Block());
  Open(file.Block(), kAccessReadWrite | kDenyNone);
  ASSERT_EQ(ErrorCode(), 0);
  for (int i = 0; i < 300; ++i) {
    hvn::testing::PutKeyed(file, {i % 7 == 0 ? "" : "name" + std::to_string(i), i % 13,
                                  (i % 9) * -0.5, std::to_string(i % 5 == 0 ? 0 : i) + ".00"});
    Add(file.Block());
    ASSERT_EQ(ErrorCode(), 0);
    if (i % 3 == 0) {
      hvn::testing::PutKeyed(file, {"Renamed" + std::to_string(i), i % 4, 1.5, "0"});
      Put(file.Block());
      ASSERT_EQ(ErrorCode(), 0);
    }
    if (i % 5 == 1) {
      Delete(file.Block());
      ASSERT_EQ(ErrorCode(), 0);
    }
  }
  Build(file.Block());
  ASSERT_EQ(ErrorCode(), 0);
  Close(file.Block());
}

TEST(HvnToolKeysTest, CheckPassesOnFilesTheDriverKeptAndNamesARemovedEntry) {
  auto& dir = hvn::testing::FastScratchDir();
  for (const std::string owner : {"", "OrbitPlumeCasketNimbleFox"}) {
    const std::string name = dir.Path(owner.empty() ? "plain" : "owned");
    auto file = hvn::testing::DeclareKeyedTable(name, owner);
    ASSERT_NO_FATAL_FAILURE(Churn(*file));
    std::vector<std::string> arguments = {"check", name + ".HVN"};
    if (!owner.empty()) arguments.insert(arguments.end(), {"--owner", owner});
    const testing::ToolRun check = testing::RunTool(arguments);
    EXPECT_EQ(check.code, 0) << check.out;
  }
  const std::string path = dir.Path("plain.HVN");
  const int code = testing::ChangeRecords(path, [](hvn::PageFile& file, hvn::Tree& tree) {
    std::uint32_t table = 0;
    if (int find = hvn::Table::FindId(file, "UNNAMED", &table); find != 0) return find;
    hvn::Record entry;
    bool found = false;
    const std::string prefix = hvn::KindPrefix(table, hvn::testing::kKeyAmount);
    if (int seek = tree.Search(prefix, hvn::Seek::kAfter, &entry, &found); seek != 0) return seek;
    bool erased = false;
    return tree.Erase(entry.key, &erased);
  });
  ASSERT_EQ(code, 0);
  const testing::ToolRun check = testing::RunTool({"check", path});
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("key T:KEYAMOUNT: no entry for record"), std::string::npos) << check.out;
}

TEST(HvnToolKeysTest, ARunTimeIndexIsLeftToItsBuild) {
  auto& dir = hvn::testing::FastScratchDir();
  const std::string name = dir.Path("indexed");
  auto file = files::FileDeclaration(name)
                  .Attributes(0x17)
                  .Field(files::StringField("T:NAME", hvn::testing::kNameSize))
                  .Field(files::FixedField(files::kTypeLong, "T:NUMBER"))
                  .Key("T:DYNAMIC", files::kKeyRuntimeIndex, {})
                  .Build(files::HalverinDriver());
  files::Create(file->Block());
  files::Open(file->Block(), files::kAccessReadWrite | files::kDenyNone);
  for (int i = 0; i < 5; ++i) {
    hvn::testing::SetRecord(*file, "r" + std::to_string(i), i);
    files::Add(file->Block());
  }
  files::BuildIndex(file->Key(0), "-T:NUMBER");
  ASSERT_EQ(ErrorCode(), 0);
  files::Close(file->Block());
  const testing::ToolRun check = testing::RunTool({"check", name + ".HVN"});
  EXPECT_EQ(check.code, 0) << check.out;
}

}  // namespace
}  // namespace vaultrix::tools
