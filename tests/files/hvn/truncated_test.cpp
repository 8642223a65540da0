// A data file cut short by another program while it is open: the next
// operations answer errors, and the process lives on.
#include <gtest/gtest.h>
#include <unistd.h>

#include "runtime/support/error_codes.h"
#include "tests/files/hvn/test_support.h"

namespace vaultrix::files::hvn {
namespace {

using namespace testing;

TEST(HvnTruncatedTest, AFileEmptiedUnderAnOpenAnswersErrorsInsteadOfCrashing) {
  vaultrix::testing::ScratchDir& dir = FastScratchDir();
  const std::string path = dir.Path("cut");
  auto file = DeclareTable(path);
  Create(file->Block());
  Open(file->Block(), kAccessReadWrite | kDenyNone);
  for (std::int32_t n = 1; n <= 3; ++n) {
    SetRecord(*file, "record", n);
    Add(file->Block());
  }
  Set(file->Block());
  Next(file->Block());
  ASSERT_EQ(support::ErrorCode(), 0);
  ASSERT_EQ(NumberOf(*file), 1);

  // The table's file takes the driver's extension when the name has none.
  ASSERT_EQ(::truncate((path + ".HVN").c_str(), 0), 0);
  Next(file->Block());
  EXPECT_NE(support::ErrorCode(), 0);
  Set(file->Block());
  Next(file->Block());
  EXPECT_NE(support::ErrorCode(), 0);
  Close(file->Block());
}

}  // namespace
}  // namespace vaultrix::files::hvn
