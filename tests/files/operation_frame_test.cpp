// The operation frame, driven through a small driver of the test's own that
// records what reaches it: first-use set-up with its limits and errors,
// posting, the BOF/EOF rule, unserved operations, CLOSE.
#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

#include "runtime/files/dispatch.h"
#include "runtime/files/driver.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/files/file_state.h"
#include "runtime/files/file_state_testing.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/system_error_map.h"

namespace vaultrix::files {
namespace {

struct Seen {
  Operation op;
  FileBlock* file;
  KeyBlock* key;
  KeyBlock* second_key;
  std::int64_t number;
  std::string text;
  bool had_state;
};

std::vector<Seen> seen;
std::int32_t next_answer = 0;

struct Counter : DriverState {
  int calls = 0;
};

std::int32_t FakeDispatch(Operation op, OperationCall& call) {
  seen.push_back({op, call.file, call.key, call.second_key, call.number, call.text,
                  call.file->state != nullptr});
  Counter* counter = DriverStateOf<Counter>(*call.file);
  if (counter == nullptr) counter = &EmplaceDriverState<Counter>(*call.file);
  ++counter->calls;
  switch (op) {
    case Operation::kRecordsFile:
      call.result = 7;
      break;
    case Operation::kName:
      call.text_result = call.file->state->name;
      break;
    case Operation::kSend:
      call.text_result = "was:" + call.text;
      break;
    case Operation::kPositionKey:
      call.text_result = std::string("\x01\x00\x00\x00", 4) + "k";
      break;
    default:
      break;
  }
  return std::exchange(next_answer, 0);
}

// Every operation code except PREVIOUS.
const std::uint8_t kServed[] = {65, 1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 32, 33, 34,
                                36, 37, 38, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53,
                                54, 55, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 71, 72};
const std::uint8_t kTypes[] = {15,   0x01, 0x02, 0x03, 0x06, 0x07, 0x08, 0x09,
                               0x0a, 0x12, 0x13, 0x14, 0x15, 0x1b, 0x16, 0x18};

DriverRegistration MakeDriver() {
  DriverRegistration driver;
  std::strcpy(driver.name, "FAKE");
  driver.description = "Test driver";
  driver.dispatch = &FakeDispatch;
  driver.operations = kServed;
  driver.field_types = kTypes;
  return driver;
}
const DriverRegistration kDriver = MakeDriver();

class OperationFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen.clear();
    next_answer = 0;
    testing::FailStateAllocationAfter(-1);
  }
  // An armed failure must not reach the tests of other suites.
  void TearDown() override { testing::FailStateAllocationAfter(-1); }
};

std::unique_ptr<DeclaredFile> Passwords() {
  return FileDeclaration("Vtrix_P   ")
      .Owner("secret")
      .Attributes(0x17)
      .Field(StringField("P_:User", 30))
      .Field(StringField("P_:Service", 30))
      .Key("P_:KEYSERVICE", kKeyNoCase | kKeyOpt, {"P_:User", "-P_:Service"})
      .Memo("P_:NOTES", 10000)
      .Memo("P_:MORENOTES", 5000)
      .Build(kDriver);
}

TEST_F(OperationFrameTest, FirstUseSetsUpStateFromTheDescriptor) {
  auto file = Passwords();
  FileBlock& block = file->Block();
  EXPECT_EQ(block.state, nullptr);
  Open(block, 0x42);
  ASSERT_EQ(support::ErrorCode(), 0);
  ASSERT_NE(block.state, nullptr);
  const FileState& state = *block.state;
  EXPECT_EQ(state.name, "Vtrix_P");
  EXPECT_EQ(state.owner, "secret");
  EXPECT_TRUE(state.create_allowed);
  EXPECT_TRUE(state.encrypt);
  EXPECT_FALSE(state.oem);
  EXPECT_EQ(state.record_size, 60u);
  ASSERT_EQ(state.keys.size(), 1u);
  ASSERT_EQ(state.keys[0].components.size(), 2u);
  EXPECT_EQ(state.keys[0].components[1].field_index, 1u);
  EXPECT_TRUE(state.keys[0].components[1].descending);
  EXPECT_EQ(state.keys[0].attributes, kKeyNoCase | kKeyOpt);
  ASSERT_EQ(state.memos.size(), 2u);
  ASSERT_NE(file->Memo(0).buffer, nullptr);
  EXPECT_EQ(std::string(file->Memo(0).buffer, 10000), std::string(10000, ' '));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].op, Operation::kOpen);
  EXPECT_EQ(seen[0].number, 0x42);
  EXPECT_TRUE(seen[0].had_state);
}

TEST_F(OperationFrameTest, CloseReleasesStateAndMemoBuffers) {
  auto file = Passwords();
  FileBlock& block = file->Block();
  Open(block);
  Next(block);
  EXPECT_EQ(DriverStateOf<Counter>(block)->calls, 2);
  Close(block);
  EXPECT_EQ(support::ErrorCode(), 0);
  EXPECT_EQ(block.state, nullptr);
  EXPECT_EQ(file->Memo(0).buffer, nullptr);
  EXPECT_EQ(file->Memo(1).buffer, nullptr);
  EXPECT_EQ(seen.back().op, Operation::kClose);
  Open(block);
  EXPECT_EQ(DriverStateOf<Counter>(block)->calls, 1);
}

TEST_F(OperationFrameTest, PostsTheDriversCodeNamingTheFile) {
  auto file = Passwords();
  next_answer = support::kRecordNotAvailable;
  Next(file->Block());
  EXPECT_EQ(support::ERRORCODE(), 33);
  EXPECT_EQ(support::ERROR(), "Record Not Available");
  EXPECT_EQ(support::ERRORFILE(), "Vtrix_P");
  EXPECT_EQ(support::ErrorFileIdentity(), &file->Block());

  next_answer = support::ErrorCodeFromErrno(ENOENT);
  Open(file->Block());
  EXPECT_EQ(support::ERRORCODE(), 302);
  EXPECT_EQ(support::SystemErrorNumber(), 2);

  Set(file->Block());
  EXPECT_EQ(support::ERRORCODE(), 0) << "every operation clears the state first";
}

TEST_F(OperationFrameTest, NothingToPostLeavesWhatTheDriverPosted) {
  auto file = Passwords();
  support::PostError(support::kCreatesDuplicateKey);
  next_answer = kNothingToPost;
  Add(file->Block());
  EXPECT_EQ(support::ERRORCODE(), 0);
}

TEST_F(OperationFrameTest, BofAndEofAnswerOneAfterAnError) {
  auto file = Passwords();
  EXPECT_FALSE(Eof(file->Block()));
  next_answer = support::kFileNotOpen;
  EXPECT_TRUE(Eof(file->Block()));
  next_answer = support::kFileNotOpen;
  EXPECT_TRUE(Bof(file->Block()));
  EXPECT_EQ(support::ERRORCODE(), 37);
}

TEST_F(OperationFrameTest, UnservedOperationAnswersEightyWithoutReachingTheDriver) {
  auto file = Passwords();
  Previous(file->Block());
  EXPECT_EQ(support::ERRORCODE(), 80);
  EXPECT_EQ(support::ERROR(), "Unsupported File Driver Function");
  EXPECT_TRUE(seen.empty());
  EXPECT_NE(file->Block().state, nullptr) << "the set-up still ran";
}

TEST_F(OperationFrameTest, TypedCallsCarryTheirArguments) {
  auto file = Passwords();
  FileBlock& block = file->Block();
  KeyBlock& key = file->Key(0);
  EXPECT_EQ(Records(block), 7);
  EXPECT_EQ(Name(block), "Vtrix_P");
  EXPECT_EQ(Send(block, "FULLBUILD=on"), "was:FULLBUILD=on");
  EXPECT_EQ(Position(key), std::string("\x01\x00\x00\x00k", 5));
  Set(key, key, 12);
  EXPECT_EQ(seen.back().op, Operation::kSetKeyKeyPointer);
  EXPECT_EQ(seen.back().file, &block);
  EXPECT_EQ(seen.back().key, &key);
  EXPECT_EQ(seen.back().second_key, &key);
  EXPECT_EQ(seen.back().number, 12);
  Reset(block, std::string("\x05\x00\x00\x00", 4));
  EXPECT_EQ(seen.back().op, Operation::kResetFile);
  EXPECT_EQ(seen.back().text.size(), 4u);
  Get(block, key);
  EXPECT_EQ(seen.back().op, Operation::kGetByKey);
  EXPECT_EQ(seen.back().key, &key);
  Hold(block, 2);
  EXPECT_EQ(seen.back().op, Operation::kHoldTimed);
  EXPECT_EQ(seen.back().number, 2);
}

TEST_F(OperationFrameTest, KeyOfAnotherFileIsRefused) {
  auto file = Passwords();
  auto other = Passwords();
  Get(file->Block(), other->Key(0));
  EXPECT_EQ(support::ERRORCODE(), support::kInvalidNumberOfParameters);
  Set(file->Key(0), other->Key(0));
  EXPECT_EQ(support::ERRORCODE(), support::kInvalidNumberOfParameters);
  EXPECT_TRUE(seen.empty());
}

// First use fails with `code` and leaves nothing behind.
void ExpectFirstUseFails(DeclaredFile& file, std::int32_t code) {
  seen.clear();
  Open(file.Block());
  EXPECT_EQ(support::ERRORCODE(), code);
  EXPECT_EQ(file.Block().state, nullptr);
  for (std::size_t i = 0; i < file.Block().memo_count; ++i) EXPECT_EQ(file.Memo(i).buffer, nullptr);
  EXPECT_TRUE(seen.empty());
}

TEST_F(OperationFrameTest, RecordSizeLimit) {
  auto fits = FileDeclaration("big").Field(StringField("B:DATA", 15104)).Build(kDriver);
  Open(fits->Block());
  EXPECT_EQ(support::ERRORCODE(), 0);
  auto too_big = FileDeclaration("big").Field(StringField("B:DATA", 15105)).Build(kDriver);
  ExpectFirstUseFails(*too_big, 47);
}

TEST_F(OperationFrameTest, MemoSizeLimit) {
  auto fits =
      FileDeclaration("m").Field(StringField("M:X", 1)).Memo("M:NOTES", 64000).Build(kDriver);
  Open(fits->Block());
  EXPECT_EQ(support::ERRORCODE(), 0);
  auto too_big = FileDeclaration("m")
                     .Field(StringField("M:X", 1))
                     .Memo("M:SMALL", 10)
                     .Memo("M:NOTES", 64001)
                     .Build(kDriver);
  ExpectFirstUseFails(*too_big, 47);
}

TEST_F(OperationFrameTest, KeyCountLimit) {
  FileDeclaration many("k");
  many.Field(StringField("K:X", 1));
  for (int i = 0; i < 240; ++i) many.Key("K:KEY" + std::to_string(i), kKeyDup, {"K:X"});
  auto fits = many.Build(kDriver);
  Open(fits->Block());
  EXPECT_EQ(support::ERRORCODE(), 0);
  many.Key("K:ONEMORE", kKeyDup, {"K:X"});
  auto too_many = many.Build(kDriver);
  ExpectFirstUseFails(*too_many, 47);
}

TEST_F(OperationFrameTest, UnsupportedTypeRefusedUnlessOverlaid) {
  FieldDeclaration date = FixedField(kTypeDate, "D:WHEN");
  auto plain = FileDeclaration("d").Field(date).Build(kDriver);
  ExpectFirstUseFails(*plain, 79);

  date.has_offset = true;
  date.offset = 0;
  auto overlaid =
      FileDeclaration("d").Field(FixedField(kTypeLong, "D:RAW")).Field(date).Build(kDriver);
  Open(overlaid->Block());
  EXPECT_EQ(support::ERRORCODE(), 0);
}

TEST_F(OperationFrameTest, KeyComponentsMustBeSingleFields) {
  FieldDeclaration array = StringField("A:CODES", 2);
  array.dimensions = {3};
  auto on_array = FileDeclaration("a")
                      .Field(array)
                      .Key("A:KEYCODES", 0, {"A:CODES"})
                      .Memo("A:NOTES", 100)
                      .Build(kDriver);
  ExpectFirstUseFails(*on_array, 75);
  auto unknown =
      FileDeclaration("a").Field(StringField("A:X", 1)).Key("A:K", 0, {"A:Y"}).Build(kDriver);
  ExpectFirstUseFails(*unknown, 75);
}

TEST_F(OperationFrameTest, DescriptorAndRecordSizeMustAgree) {
  auto file = Passwords();
  file->Block().record_size = 61;
  ExpectFirstUseFails(*file, 47);
  file->Block().record_size = 60;
  file->Block().layout_size = 20;
  ExpectFirstUseFails(*file, 75);
}

TEST_F(OperationFrameTest, AllocationFailureAtEveryStepFreesEverything) {
  auto file = Passwords();
  // The set-up allocates the state, the layout, one key and two memos.
  for (int n = 0; n < 5; ++n) {
    testing::FailStateAllocationAfter(n);
    ExpectFirstUseFails(*file, support::kInsufficientMemory);
  }
  testing::FailStateAllocationAfter(5);
  Open(file->Block());
  EXPECT_EQ(support::ERRORCODE(), 0);
}

// The served operations as a bit set answer exactly as the byte list does,
// at the edges of each 64-bit word too.
TEST(DriverRegistration, CachedServedOperationsAnswerAsTheList) {
  const std::uint8_t list[] = {7, 0, 1, 63, 64, 127, 128, 255};
  DriverRegistration listed;
  listed.operations = list;
  DriverRegistration cached = listed;
  CacheServedOperations(cached);
  for (std::int32_t code = -1; code <= 256; ++code) {
    const auto op = static_cast<Operation>(code);
    EXPECT_EQ(ServesOperation(cached, op), ServesOperation(listed, op)) << code;
  }
  EXPECT_TRUE(ServesOperation(cached, static_cast<Operation>(64)));
  EXPECT_FALSE(ServesOperation(cached, static_cast<Operation>(65)));
  EXPECT_FALSE(ServesOperation(cached, static_cast<Operation>(256)));
  DriverRegistration none;
  CacheServedOperations(none);
  EXPECT_FALSE(ServesOperation(none, Operation::kAdd));
}

}  // namespace
}  // namespace vaultrix::files
