// Keys through the file operations: maintenance with the duplicate rule, key
// order from every SET form, GET, POSITION, RESET and REGET by key,
// DUPLICATE, RECORDS of a key, and BUILD.
#include <gtest/gtest.h>

#include "runtime/files/hvn/check.h"
#include "runtime/files/hvn/table.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/keyed_table.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

class HvnKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.Path("keyed");
    file_ = DeclareKeyedTable(path_);
    Create(file_->Block());
    ASSERT_EQ(ErrorCode(), 0);
    Open(file_->Block(), kAccessReadWrite | kDenyNone);
    ASSERT_EQ(ErrorCode(), 0);
  }
  void TearDown() override {
    Close(file_->Block());
    EXPECT_EQ(CheckHvnFile(path_ + ".HVN"), "");
  }
  std::int64_t AddKeyed(const KeyedRecord& record) {
    PutKeyed(*file_, record);
    Add(file_->Block());
    EXPECT_EQ(ErrorCode(), 0) << record.name;
    return Pointer(file_->Block());
  }
  KeyBlock& Key(std::size_t index) { return file_->Key(index); }
  // Names read by NEXT (or PREVIOUS) until 33.
  std::vector<std::string> ReadAll(bool forward) {
    std::vector<std::string> names;
    while (true) {
      forward ? Next(file_->Block()) : Previous(file_->Block());
      if (ErrorCode() != 0) break;
      names.push_back(GetKeyed(*file_).name);
    }
    EXPECT_EQ(ErrorCode(), codes::kRecordNotAvailable);
    return names;
  }
  std::vector<std::int64_t> Pointers(bool forward) {
    std::vector<std::int64_t> pointers;
    while (true) {
      forward ? Next(file_->Block()) : Previous(file_->Block());
      if (ErrorCode() != 0) break;
      pointers.push_back(Pointer(file_->Block()));
    }
    return pointers;
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::string path_;
  std::unique_ptr<DeclaredFile> file_;
};

TEST_F(HvnKeysTest, KeyOrderFromEitherEndAndDescendingReals) {
  AddKeyed({"delta", 4, -1.0, "1.00"});
  AddKeyed({"Alpha", 1, 2.0, "2.00"});
  AddKeyed({"charlie", -3, 0.0, "3.00"});
  AddKeyed({"bravo", 2, -2.0, "4.00"});
  Set(Key(kKeyName));
  EXPECT_EQ(ReadAll(true), (std::vector<std::string>{"Alpha", "bravo", "charlie", "delta"}));
  Set(Key(kKeyName));
  EXPECT_EQ(ReadAll(false), (std::vector<std::string>{"delta", "charlie", "bravo", "Alpha"}));
  Set(Key(kKeyNumber));
  EXPECT_EQ(ReadAll(true), (std::vector<std::string>{"charlie", "Alpha", "bravo", "delta"}));
  Set(Key(kKeyAmount));  // descending: 2.0, 0.0, -1.0, -2.0
  EXPECT_EQ(ReadAll(true), (std::vector<std::string>{"Alpha", "charlie", "delta", "bravo"}));
  EXPECT_EQ(Records(Key(kKeyName)), 4);
  // NEXT past the end leaves the position at the last entry read.
  Set(Key(kKeyName));
  EXPECT_EQ(ReadAll(true).size(), 4u);
  Previous(file_->Block());
  EXPECT_EQ(GetKeyed(*file_).name, "charlie");
}

TEST_F(HvnKeysTest, SkipAndEndsFollowTheKey) {
  for (const char* name : {"e", "c", "a", "d", "b"}) AddKeyed({name, 0, 0, "0"});
  Set(Key(kKeyName));
  Skip(file_->Block(), 2);
  EXPECT_EQ(ErrorCode(), 0);
  Next(file_->Block());
  EXPECT_EQ(GetKeyed(*file_).name, "c");
  Skip(file_->Block(), 10);  // past the end: PREVIOUS reads the last entry
  EXPECT_TRUE(Eof(file_->Block()));
  EXPECT_FALSE(Bof(file_->Block()));
  Previous(file_->Block());
  EXPECT_EQ(GetKeyed(*file_).name, "e");
  Skip(file_->Block(), -10);  // before the start: NEXT reads the first
  EXPECT_TRUE(Bof(file_->Block()));
  Next(file_->Block());
  EXPECT_EQ(GetKeyed(*file_).name, "a");
}

TEST_F(HvnKeysTest, DuplicatesReadByRecordNumberInBothDirections) {
  const auto first = AddKeyed({"a", 7, 0, "0"});
  AddKeyed({"b", 5, 0, "0"});
  const auto second = AddKeyed({"c", 7, 0, "0"});
  const auto third = AddKeyed({"d", 7, 0, "0"});
  AddKeyed({"e", 9, 0, "0"});
  PutKeyed(*file_, {"", 7, 0, "0"});
  Set(Key(kKeyNumber), Key(kKeyNumber));
  const auto forward = Pointers(true);
  ASSERT_EQ(forward.size(), 4u);
  EXPECT_EQ((std::vector<std::int64_t>(forward.begin(), forward.begin() + 3)),
            (std::vector<std::int64_t>{first, second, third}));
  PutKeyed(*file_, {"", 7, 0, "0"});
  Set(Key(kKeyNumber), Key(kKeyNumber));
  const auto backward = Pointers(false);
  ASSERT_EQ(backward.size(), 4u);  // the three sevens, then the five
  EXPECT_EQ((std::vector<std::int64_t>(backward.begin(), backward.begin() + 3)),
            (std::vector<std::int64_t>{third, second, first}));
  // GET of a DUP key reads the first duplicate.
  PutKeyed(*file_, {"", 7, 0, "0"});
  Get(file_->Block(), Key(kKeyNumber));
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Pointer(file_->Block()), first);
  // SET(key, key, pointer) starts among the duplicates.
  PutKeyed(*file_, {"", 7, 0, "0"});
  Set(Key(kKeyNumber), Key(kKeyNumber), static_cast<std::int32_t>(second));
  EXPECT_EQ(Pointers(true).size(), 3u);
}

TEST_F(HvnKeysTest, UniqueCollisionChangesNothingNotEvenOnDisk) {
  const auto alpha = AddKeyed({"Alpha", 1, 1.0, "1.00"});
  AddKeyed({"beta", 2, 2.0, "2.00"});
  Close(file_->Block());
  const std::string before = FileBytes(path_ + ".HVN");
  Open(file_->Block(), kAccessReadWrite | kDenyNone);
  // NOCASE: the same name in capitals is the same value.
  PutKeyed(*file_, {"ALPHA", 3, 3.0, "3.00"});
  Add(file_->Block());
  EXPECT_EQ(ErrorCode(), codes::kCreatesDuplicateKey);
  // The last key collides after the three before it were changed.
  PutKeyed(*file_, {"gamma", 3, 3.0, "2.00"});
  Add(file_->Block());
  EXPECT_EQ(ErrorCode(), codes::kCreatesDuplicateKey);
  Get(file_->Block(), static_cast<std::int32_t>(alpha));
  PutKeyed(*file_, {"alpha", 5, 5.0, "2.00"});
  Put(file_->Block());
  EXPECT_EQ(ErrorCode(), codes::kCreatesDuplicateKey);
  EXPECT_EQ(Records(file_->Block()), 2);
  for (std::size_t key = 0; key < 4; ++key) EXPECT_EQ(Records(Key(key)), 2) << key;
  Close(file_->Block());
  EXPECT_EQ(FileBytes(path_ + ".HVN"), before);
  Open(file_->Block(), kAccessReadWrite | kDenyNone);
}

TEST_F(HvnKeysTest, PutOfOneFieldMovesOnlyItsKeyAndDeleteRemovesEntries) {
  const auto alpha = AddKeyed({"alpha", 1, 1.0, "1.00"});
  AddKeyed({"beta", 2, 2.0, "2.00"});
  Get(file_->Block(), static_cast<std::int32_t>(alpha));
  // Only the number changes: the unique name and code keys must not see
  // their own entries as duplicates.
  PutKeyed(*file_, {"alpha", 3, 1.0, "1.00"});
  Put(file_->Block());
  EXPECT_EQ(ErrorCode(), 0);
  Set(Key(kKeyNumber));
  EXPECT_EQ(ReadAll(true), (std::vector<std::string>{"beta", "alpha"}));
  // A change of letter case only leaves the NOCASE entry as it is.
  PutKeyed(*file_, {"ALPHA", 3, 1.0, "1.00"});
  Put(file_->Block());
  EXPECT_EQ(ErrorCode(), 0);
  PutKeyed(*file_, {"alpha", 0, 0, "0"});
  Get(file_->Block(), Key(kKeyName));
  EXPECT_EQ(GetKeyed(*file_).name, "ALPHA");
  Delete(file_->Block());
  EXPECT_EQ(ErrorCode(), 0);
  for (std::size_t key = 0; key < 4; ++key) EXPECT_EQ(Records(Key(key)), 1) << key;
  Get(file_->Block(), Key(kKeyName));
  EXPECT_EQ(ErrorCode(), codes::kRecordNotFound);
}

// Takes the first entry of `key` out of the file behind the driver's back.
void EraseFirstEntry(const std::string& path, std::size_t key) {
  PageFile pages;
  ASSERT_EQ(pages.Open(path, false, false), 0);
  ASSERT_EQ(pages.Begin(), 0);
  std::uint32_t id = 0;
  ASSERT_EQ(Table::FindId(pages, "UNNAMED", &id), 0);
  Tree tree(pages);
  Record entry;
  bool found = false, erased = false;
  ASSERT_EQ(tree.Search(KindPrefix(id, static_cast<std::uint8_t>(key)), Seek::kAfter, &entry,
                        &found),
            0);
  ASSERT_TRUE(found);
  ASSERT_EQ(tree.Erase(entry.key, &erased), 0);
  ASSERT_EQ(pages.End(), 0);
  ASSERT_EQ(pages.Close(), 0);
}

TEST_F(HvnKeysTest, PutOfOtherFieldsLeavesAKeysEntryAlone) {
  const auto pointer = AddKeyed({"alpha", 1, 1.0, "1.00"});
  Close(file_->Block());
  ASSERT_NO_FATAL_FAILURE(EraseFirstEntry(path_ + ".HVN", kKeyName));
  Open(file_->Block(), kAccessReadWrite | kDenyNone);
  Get(file_->Block(), static_cast<std::int32_t>(pointer));
  PutKeyed(*file_, {"alpha", 2, 2.0, "2.00"});
  Put(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  // Had PUT rewritten the name's entry, GET by name would find it again.
  Get(file_->Block(), Key(kKeyName));
  EXPECT_EQ(ErrorCode(), codes::kRecordNotFound);
  // BUILD brings it back (and the check at the end passes again).
  Build(Key(kKeyName));
  EXPECT_EQ(ErrorCode(), 0);
  Get(file_->Block(), Key(kKeyName));
  EXPECT_EQ(ErrorCode(), 0);
}

TEST_F(HvnKeysTest, OptLeavesOutNullValuesOnly) {
  AddKeyed({"", 1, 0, "0"});        // blank name, zero code: out of both OPT keys
  AddKeyed({"named", 2, 0, "0"});   // out of the code key only
  AddKeyed({"", 3, 0, "5.00"});     // out of the name key only
  EXPECT_EQ(Records(Key(kKeyName)), 1);
  EXPECT_EQ(Records(Key(kKeyCode)), 1);
  EXPECT_EQ(Records(Key(kKeyNumber)), 3);
  Set(Key(kKeyNumber));
  EXPECT_EQ(Pointers(true).size(), 3u);
  // Two records left out of a unique OPT key do not collide.
  AddKeyed({"", 4, 0, "0"});
  // DUPLICATE: 0 for a value the OPT key leaves out, 1 for a held value of
  // another record, 0 for the current record's own value.
  PutKeyed(*file_, {"", 9, 0, "0"});
  EXPECT_FALSE(Duplicate(Key(kKeyName)));
  PutKeyed(*file_, {"NAMED", 9, 0, "0"});
  EXPECT_TRUE(Duplicate(Key(kKeyName)));
  EXPECT_TRUE(Duplicate(file_->Block()));
  EXPECT_FALSE(Duplicate(Key(kKeyNumber)));  // DUP keys never duplicate
  Get(file_->Block(), Key(kKeyName));
  EXPECT_FALSE(Duplicate(Key(kKeyName)));
  EXPECT_FALSE(Duplicate(file_->Block()));
}

TEST_F(HvnKeysTest, SetFormsPositionResetAndReget) {
  std::vector<std::int64_t> pointers;
  for (const char* name : {"a", "b", "c", "d", "e"}) pointers.push_back(AddKeyed({name, 0, 0, "0"}));
  PutKeyed(*file_, {"c", 0, 0, "0"});
  Set(Key(kKeyName), Key(kKeyName));
  EXPECT_EQ(ReadAll(false), (std::vector<std::string>{"c", "b", "a"}));
  PutKeyed(*file_, {"bb", 0, 0, "0"});  // between values: the next one up
  Set(Key(kKeyName), Key(kKeyName));
  EXPECT_EQ(ReadAll(true), (std::vector<std::string>{"c", "d", "e"}));
  // SET(key, pointer) starts at that record's entry; 0 acts as SET(key).
  Set(Key(kKeyName), static_cast<std::int32_t>(pointers[3]));
  EXPECT_EQ(ReadAll(true), (std::vector<std::string>{"d", "e"}));
  Set(Key(kKeyName), 0);
  EXPECT_EQ(ReadAll(false).size(), 5u);
  // SET(file, key): record order from the record found through the key.
  PutKeyed(*file_, {"b", 0, 0, "0"});
  Set(file_->Block(), Key(kKeyName));
  EXPECT_EQ(ReadAll(true), (std::vector<std::string>{"b", "c", "d", "e"}));

  PutKeyed(*file_, {"c", 0, 0, "0"});
  Get(file_->Block(), Key(kKeyName));
  const std::string position = Position(Key(kKeyName));
  EXPECT_EQ(position.size(), 4u + kNameSize);
  Set(Key(kKeyNumber));
  Reset(Key(kKeyName), position);
  EXPECT_EQ(ReadAll(true), (std::vector<std::string>{"c", "d", "e"}));
  Reget(Key(kKeyName), position);
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(GetKeyed(*file_).name, "c");
  Delete(file_->Block());
  Reget(Key(kKeyName), position);
  EXPECT_EQ(ErrorCode(), codes::kRecordNotFound);
  // A record number in the text that does not match the entry: 35 too.
  PutKeyed(*file_, {"d", 0, 0, "0"});
  Get(file_->Block(), Key(kKeyName));
  std::string wrong = Position(Key(kKeyName));
  wrong[3] = static_cast<char>(wrong[3] + 1);
  Reget(Key(kKeyName), wrong);
  EXPECT_EQ(ErrorCode(), codes::kRecordNotFound);
}

TEST_F(HvnKeysTest, BuildRestoresKeysAndReportsDuplicates) {
  for (int i = 0; i < 30; ++i) {
    AddKeyed({"n" + std::to_string(i), i % 3, i * 1.5, std::to_string(i + 1) + ".00"});
  }
  EXPECT_EQ(Send(file_->Block(), "fullbuild=on"), "OFF");
  Build(file_->Block());
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Send(file_->Block(), "FULLBUILD"), "OFF");  // BUILD cleared it
  for (std::size_t key = 0; key < 4; ++key) EXPECT_EQ(Records(Key(key)), 30) << key;
  Build(Key(kKeyAmount));
  EXPECT_EQ(ErrorCode(), 0);
  Set(Key(kKeyAmount));
  const auto names = ReadAll(true);
  ASSERT_EQ(names.size(), 30u);
  EXPECT_EQ(names.front(), "n29");
  // BUILD of a file that is not open opens and closes it.
  Close(file_->Block());
  Build(file_->Block());
  EXPECT_EQ(ErrorCode(), 0);
  Open(file_->Block(), kAccessReadWrite | kDenyNone);
  EXPECT_EQ(ErrorCode(), 0);
}

TEST(HvnRuntimeIndexTest, ComponentsAsTextAndDuplicatesAfterBuild) {
  auto& dir = FastScratchDir();
  const std::string path = dir.Path("indexed");
  auto file = FileDeclaration(path)
                  .Attributes(0x17)
                  .Field(StringField("T:NAME", kNameSize))
                  .Field(FixedField(kTypeLong, "T:NUMBER"))
                  .Key("T:BYNAME", 0, {"T:NAME"})
                  .Key("T:DYNAMIC", kKeyRuntimeIndex, {})
                  .Build(HalverinDriver());
  Create(file->Block());
  Open(file->Block(), kAccessReadWrite | kDenyNone);
  ASSERT_EQ(ErrorCode(), 0);
  for (int i = 0; i < 6; ++i) {
    SetRecord(*file, "r" + std::to_string(i), 10 - (i % 5));
    Add(file->Block());
    ASSERT_EQ(ErrorCode(), 0);
  }
  // Not maintained by ADD: empty until built.
  EXPECT_EQ(Records(file->Key(1)), 0);
  BuildIndex(file->Key(1));
  EXPECT_EQ(ErrorCode(), codes::kInvalidIndexString);  // no components yet
  BuildIndex(file->Key(1), "T:NUMBER, nosuchfield");
  EXPECT_EQ(ErrorCode(), codes::kInvalidIndexString);
  BuildIndex(file->Key(1), "-number,+T:name");
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Key(1)), 6);
  Set(file->Key(1));
  Next(file->Block());
  EXPECT_EQ(NumberOf(*file), 10);
  // A unique index over values held twice: built, and 40 after.
  BuildIndex(file->Key(1), "T:NUMBER");
  EXPECT_EQ(ErrorCode(), codes::kCreatesDuplicateKey);
  EXPECT_EQ(Records(file->Key(1)), 5);
  // ADD does not keep it.
  SetRecord(*file, "new", 99);
  Add(file->Block());
  EXPECT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Records(file->Key(1)), 5);
  Close(file->Block());
  Open(file->Block(), kAccessReadWrite | kDenyNone);
  EXPECT_EQ(ErrorCode(), 0);  // the stored definition still matches
  Close(file->Block());
  EXPECT_EQ(CheckHvnFile(path + ".HVN"), "");
}

}  // namespace
}  // namespace vaultrix::files::hvn
