// BUILD beyond the plain rebuild: the build mark that limits a build with
// FULLBUILD off to the records added since the last one, FULLBUILD on, 40
// after a build (or PACK) that met duplicates of a unique key, and the
// run-time indexes: their stored 0x20 and 0x40 bits, left alone by ADD,
// BUILD of the file and PACK, and rebuilt by BUILD of the key itself.
#include <gtest/gtest.h>

#include <functional>

#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/open_file.h"
#include "runtime/files/hvn/keys.h"
#include "runtime/files/hvn/table.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/keyed_table.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

// Runs `change` on the table "UNNAMED" of a closed file, behind the
// driver's back, and commits what it did.
void ChangeBehindTheDriver(const std::string& path,
                           const std::function<void(PageFile&, Table&)>& change) {
  PageFile pages;
  ASSERT_EQ(pages.Open(path, false, false), 0);
  ASSERT_EQ(pages.Begin(), 0);
  std::uint32_t id = 0;
  ASSERT_EQ(Table::FindId(pages, "UNNAMED", &id), 0);
  Table table(pages, id);
  change(pages, table);
  ASSERT_EQ(pages.End(), 0);
  ASSERT_EQ(pages.Close(), 0);
}

// Erases the first (or last) entry of key `key`.
void EraseEntry(const std::string& path, std::uint8_t key, bool first) {
  ChangeBehindTheDriver(path, [&](PageFile&, Table& table) {
    const std::string prefix = KindPrefix(table.id(), key);
    std::string end = prefix;
    end.back() = static_cast<char>(key + 1);
    Record entry;
    bool found = false, erased = false;
    ASSERT_EQ(table.tree().Search(first ? prefix : end, first ? Seek::kAfter : Seek::kBefore,
                                  &entry, &found),
              0);
    ASSERT_TRUE(found && entry.key.compare(0, prefix.size(), prefix) == 0);
    ASSERT_EQ(table.tree().Erase(entry.key, &erased), 0);
    ASSERT_TRUE(erased);
  });
}

class HvnBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.Path("built");
    file_ = DeclareKeyedTable(path_);
    Create(file_->Block());
    Open(file_->Block(), kAccessReadWrite | kDenyNone);
    ASSERT_EQ(ErrorCode(), 0);
  }
  void TearDown() override {
    Close(file_->Block());
    EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
  }
  void AddNamed(const std::string& name) {
    PutKeyed(*file_, {name, 1, 0, "0"});
    Add(file_->Block());
    EXPECT_EQ(ErrorCode(), 0) << name;
  }
  // GET by the name key: its answer.
  std::int32_t GetName(const std::string& name) {
    PutKeyed(*file_, {name, 0, 0, "0"});
    Get(file_->Block(), file_->Key(kKeyName));
    return ErrorCode();
  }
  Counter NameCounter(std::uint32_t* last_number) {
    Counter counter;
    Close(file_->Block());
    ChangeBehindTheDriver(path_ + ".HVN", [&](PageFile& pages, Table& table) {
      bool found = false;
      ASSERT_EQ(table.ReadCounter(kKeyName, &counter, &found), 0);
      ASSERT_TRUE(found);
      *last_number = pages.header().last_number;
    });
    Open(file_->Block(), kAccessReadWrite | kDenyNone);
    return counter;
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
  std::unique_ptr<DeclaredFile> file_;
};

TEST_F(HvnBuildTest, WithoutFullBuildOnlyRecordsFromTheBuildMarkEnter) {
  for (const char* name : {"a", "b", "c", "d", "e"}) AddNamed(name);
  Build(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  std::uint32_t last = 0;
  const Counter built = NameCounter(&last);
  EXPECT_EQ(built.count, 5u);
  EXPECT_EQ(built.build_mark, last + 1);
  AddNamed("f");  // numbered from the build mark onward
  Close(file_->Block());
  // Entries of "a" (before the mark) and "f" (after it) go missing.
  ASSERT_NO_FATAL_FAILURE(EraseEntry(path_ + ".HVN", kKeyName, true));
  ASSERT_NO_FATAL_FAILURE(EraseEntry(path_ + ".HVN", kKeyName, false));
  Open(file_->Block(), kAccessReadWrite | kDenyNone);
  EXPECT_EQ(GetName("a"), codes::kRecordNotFound);
  EXPECT_EQ(GetName("f"), codes::kRecordNotFound);

  EXPECT_EQ(Send(file_->Block(), "FULLBUILD"), "OFF");
  Build(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(GetName("f"), 0);
  EXPECT_EQ(GetName("a"), codes::kRecordNotFound);
  EXPECT_EQ(Records(file_->Key(kKeyName)), 5);  // counted again, not trusted
  const Counter again = NameCounter(&last);
  EXPECT_EQ(again.build_mark, last + 1);

  EXPECT_EQ(Send(file_->Block(), "FULLBUILD=on"), "OFF");
  Build(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Send(file_->Block(), "FULLBUILD"), "OFF");
  EXPECT_EQ(GetName("a"), 0);
  EXPECT_EQ(Records(file_->Key(kKeyName)), 6);
  Set(file_->Key(kKeyName));
  Next(file_->Block());
  EXPECT_EQ(GetKeyed(*file_).name, "a");
}

TEST_F(HvnBuildTest, ABuildOrPackThatMeetsDuplicatesAnswers40AfterIt) {
  for (const char* name : {"a", "b", "c"}) AddNamed(name);
  Close(file_->Block());
  ASSERT_NO_FATAL_FAILURE(EraseEntry(path_ + ".HVN", kKeyName, true));
  Open(file_->Block(), kAccessReadWrite | kDenyNone);
  AddNamed("A");  // NOCASE: the value of "a", whose entry is gone
  EXPECT_EQ(Send(file_->Block(), "FULLBUILD=ON"), "OFF");
  Build(file_->Key(kKeyName));
  EXPECT_EQ(ErrorCode(), codes::kCreatesDuplicateKey);
  // Built nevertheless: one of the two holds the value, the other stays out.
  EXPECT_EQ(Records(file_->Key(kKeyName)), 3);
  EXPECT_EQ(Records(file_->Block()), 4);
  EXPECT_EQ(Records(file_->Key(kKeyNumber)), 4);
  EXPECT_EQ(Send(file_->Block(), "FULLBUILD"), "OFF");
  Pack(file_->Block());
  EXPECT_EQ(ErrorCode(), codes::kCreatesDuplicateKey);
  EXPECT_EQ(Records(file_->Key(kKeyName)), 3);
  Close(file_->Block());
  EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
  Open(file_->Block(), kAccessReadWrite | kDenyNone);
  // Once one of the two goes, the build succeeds.
  EXPECT_EQ(GetName("a"), 0);
  Delete(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  Pack(file_->Block());
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file_->Key(kKeyName)), 3);
}

TEST(HvnRunTimeIndexBuildTest, StoredBitsAndWhatLeavesThemAlone) {
  auto& dir = FastScratchDir();
  const std::string path = dir.Path("runtime");
  auto file = FileDeclaration(path)
                  .Attributes(0x17)
                  .Field(StringField("T:NAME", kNameSize))
                  .Field(FixedField(kTypeLong, "T:NUMBER"))
                  .Key("T:BYNAME", kKeyNoCase, {"T:NAME"})
                  .Key("T:BYNUMBER", kKeyRuntimeIndex | kKeyDup, {"-T:NUMBER"})
                  .Key("T:FREE", kKeyRuntimeIndex | kKeyDup, {})
                  .Build(HalverinDriver());
  Create(file->Block());
  ASSERT_EQ(ErrorCode(), 0);
  // Stored as not maintained (0x20), and without components (0x40).
  ChangeBehindTheDriver(path + ".HVN", [](PageFile&, Table& table) {
    TableDefinition stored;
    bool valid = false;
    ASSERT_EQ(table.ReadDefinition(&stored, &valid), 0);
    ASSERT_TRUE(valid);
    ASSERT_EQ(stored.keys.size(), 3u);
    EXPECT_EQ(stored.keys[0].attributes & 0x60, 0);
    EXPECT_EQ(stored.keys[1].attributes & 0x60, 0x20);
    EXPECT_EQ(stored.keys[2].attributes & 0x60, 0x60);
  });
  Open(file->Block(), kAccessReadWrite | kDenyNone);
  ASSERT_EQ(ErrorCode(), 0);
  for (int i = 1; i <= 4; ++i) {
    SetRecord(*file, "r" + std::to_string(i), i);
    Add(file->Block());
    ASSERT_EQ(ErrorCode(), 0);
  }
  EXPECT_EQ(Records(file->Key(1)), 0);
  BuildIndex(file->Key(1));  // the declared components
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Key(1)), 4);
  for (const char* bad : {"", "T:NOPE", "+", "T:NAME,,T:NUMBER"}) {
    BuildIndex(file->Key(2), bad);
    EXPECT_EQ(ErrorCode(), codes::kInvalidIndexString) << bad;
  }
  BuildIndex(file->Key(2));
  EXPECT_EQ(ErrorCode(), codes::kInvalidIndexString);  // no components at all
  BuildIndex(file->Key(2), "name");
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Key(2)), 4);
  // Neither ADD, nor BUILD of the file, nor PACK completes them.
  SetRecord(*file, "r5", 5);
  Add(file->Block());
  EXPECT_EQ(Send(file->Block(), "FULLBUILD=on"), "OFF");
  Build(file->Block());
  EXPECT_EQ(ErrorCode(), 0);
  Pack(file->Block());
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Key(0)), 5);
  EXPECT_EQ(Records(file->Key(1)), 4);
  EXPECT_EQ(Records(file->Key(2)), 4);
  Set(file->Key(1));
  Next(file->Block());
  EXPECT_EQ(NumberOf(*file), 4);  // descending
  // BUILD of the index itself takes every record.
  Build(file->Key(1));
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Key(1)), 5);
  Set(file->Key(1));
  Next(file->Block());
  EXPECT_EQ(NumberOf(*file), 5);
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(path + ".HVN"), "");
}

}  // namespace
}  // namespace vaultrix::files::hvn
