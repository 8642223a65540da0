// Memo-as-block operations of the HVN driver: a memo written as blocks at
// offsets is stored by ADD like any memo, read back as a block after a GET,
// measured without its trailing blanks, and bad memo numbers and offsets are
// refused.
#include <gtest/gtest.h>

#include "runtime/files/dispatch.h"
#include "runtime/support/error_codes.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;
using support::ErrorCode;
namespace codes = support;

class HvnMemoBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = DeclareTable(dir_.Path("memos"));
    Create(file_->Block());
    Open(file_->Block(), kAccessReadWrite | kDenyNone);
    ASSERT_EQ(ErrorCode(), 0);
  }
  // Runs one memo-block operation; ErrorCode() then holds its code.
  OperationCall Call(Operation op, std::int64_t memo, std::int64_t offset = 0,
                     std::string text = "") {
    OperationCall call;
    call.file = &file_->Block();
    call.number = memo;
    call.number2 = offset;
    call.text = std::move(text);
    Dispatch(op, call);
    return call;
  }

  vaultrix::testing::ScratchDir& dir_ = FastScratchDir();
  std::unique_ptr<DeclaredFile> file_;
};

TEST_F(HvnMemoBlockTest, BlocksWrittenAreStoredAndReadBack) {
  SetRecord(*file_, "blocks", 1);
  SetMemo(*file_, "");
  const std::string first(256, 'a');
  const std::string second = "tail of the memo";
  Call(Operation::kMemoWrite, 1, 0, first);
  ASSERT_EQ(ErrorCode(), 0);
  Call(Operation::kMemoWrite, 1, 300, second);
  ASSERT_EQ(ErrorCode(), 0);
  const std::string expected = first + std::string(44, ' ') + second;
  EXPECT_EQ(Call(Operation::kMemoSize, 1).result, static_cast<std::int64_t>(expected.size()));
  Add(file_->Block());
  ASSERT_EQ(ErrorCode(), 0);
  const auto pointer = static_cast<std::int32_t>(Pointer(file_->Block()));

  SetMemo(*file_, "");
  EXPECT_EQ(Call(Operation::kMemoSize, 1).result, 0);
  EXPECT_EQ(Call(Operation::kMemoRead, 1).text_result, "");
  Get(file_->Block(), pointer);
  ASSERT_EQ(ErrorCode(), 0);
  EXPECT_EQ(Call(Operation::kMemoRead, 1).text_result, expected);
  EXPECT_EQ(Call(Operation::kMemoRead, 1, 300).text_result, second);
  EXPECT_EQ(Call(Operation::kMemoRead, 1, 5000).text_result, "");
  EXPECT_EQ(Call(Operation::kMemoHandle, 1).result,
            static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(file_->Memo(0).buffer)));
}

TEST_F(HvnMemoBlockTest, BadNumbersAndOffsetsAreRefused) {
  for (std::int64_t memo : {0, 2, -1}) {
    Call(Operation::kMemoSize, memo);
    EXPECT_EQ(ErrorCode(), codes::kInvalidNumberOfParameters) << memo;
  }
  Call(Operation::kMemoRead, 1, -1);
  EXPECT_EQ(ErrorCode(), codes::kInvalidNumberOfParameters);
  // The last byte fits; one more does not, and nothing is written.
  SetMemo(*file_, "");
  Call(Operation::kMemoWrite, 1, kMemoSize - 1, "z");
  EXPECT_EQ(ErrorCode(), 0);
  Call(Operation::kMemoWrite, 1, kMemoSize - 1, "zz");
  EXPECT_EQ(ErrorCode(), codes::kInvalidNumberOfParameters);
  EXPECT_EQ(MemoOf(*file_), std::string(kMemoSize - 1, ' ') + "z");
  Close(file_->Block());
  Call(Operation::kMemoSize, 1);
  EXPECT_EQ(ErrorCode(), codes::kFileNotOpen);
}

}  // namespace
}  // namespace vaultrix::files::hvn
