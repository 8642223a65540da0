// The error state: posting, reading back, the system-error form and the
// stack of saved states.
#include "runtime/support/error_state.h"

#include <atomic>
#include <cerrno>
#include <thread>

#include <gtest/gtest.h>

#include "runtime/support/error_codes.h"

namespace vaultrix::support {
namespace {

TEST(ErrorState, PostThenClearRoundTrip) {
  int file_block = 0;
  PostError(kRecordNotAvailable, {&file_block, "Vtrix_P"});
  EXPECT_EQ(ERRORCODE(), 33);
  EXPECT_EQ(ERROR(), "Record Not Available");
  EXPECT_EQ(ERRORFILE(), "Vtrix_P");
  EXPECT_EQ(ErrorFileIdentity(), &file_block);
  EXPECT_EQ(SystemErrorNumber(), 0);

  ClearError();
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(ERROR(), "");
  EXPECT_EQ(ErrorPadded(), std::string(80, ' '));
  EXPECT_EQ(ERRORFILE(), "");
  EXPECT_EQ(ErrorFileIdentity(), nullptr);
}

TEST(ErrorState, TrailingBlankOfEntryIsKept) {
  PostError(kInvalidNumberOfParameters);
  EXPECT_EQ(ERROR(), "Invalid Number Of Parameters ");
}

TEST(ErrorState, UnknownCodeGetsFallbackText) {
  PostError(1234);
  EXPECT_EQ(ERRORCODE(), 1234);
  EXPECT_EQ(ERROR(), "Unknown Error Posted : 1234");
}

TEST(ErrorState, SystemErrorPostsThreeHundredPlusMappedNumber) {
  PostSystemError(ENOENT, {nullptr, "missing.txt"});
  EXPECT_EQ(ERRORCODE(), 302);
  EXPECT_EQ(SystemErrorNumber(), 2);
  EXPECT_EQ(ERROR(), "File Not Found");
  EXPECT_EQ(ERRORFILE(), "missing.txt");

  PostSystemError(EACCES);
  EXPECT_EQ(ERRORCODE(), 305);
  EXPECT_EQ(ERROR(), "Access Denied");
  EXPECT_EQ(ERRORFILE(), "");
}

TEST(ErrorState, CallerTextIsCutToEightyCharacters) {
  PostErrorWithText(kMismatchedScope, "Mismatched POPSCOPE");
  EXPECT_EQ(ERRORCODE(), 802);
  EXPECT_EQ(ERROR(), "Mismatched POPSCOPE");

  PostErrorWithText(1, std::string(100, 'x'));
  EXPECT_EQ(ERROR().size(), kErrorTextLength);
  EXPECT_EQ(ErrorPadded().size(), kErrorTextLength);
}

TEST(ErrorState, PushAndPopRestoreNestedStates) {
  PostError(kFileNotFound, {nullptr, "outer"});
  PushErrorState();
  PostSystemError(EBUSY, {nullptr, "inner"});
  PushErrorState();
  ClearError();
  EXPECT_EQ(SavedErrorStateCount(), 2u);

  ASSERT_TRUE(PopErrorState());
  EXPECT_EQ(ERRORCODE(), 332);
  EXPECT_EQ(ERROR(), "Sharing Violation");
  EXPECT_EQ(SystemErrorNumber(), 32);
  ASSERT_TRUE(PopErrorState());
  EXPECT_EQ(ERRORCODE(), 2);
  EXPECT_EQ(ERRORFILE(), "outer");

  EXPECT_FALSE(PopErrorState());
  EXPECT_EQ(ERRORCODE(), 2);
}

}  // namespace
}  // namespace vaultrix::support

namespace vaultrix::support {
namespace {

// A reader on another thread never sees the code of one post with the text
// or file of another.
TEST(ErrorState, ReaderOnAnotherThreadSeesWholeStates) {
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done.load()) {
      ErrorSnapshot snapshot = CurrentError();
      const bool whole =
          (snapshot.code == 0 && snapshot.text.empty()) ||
          (snapshot.code == 2 && snapshot.text == "File Not Found" && snapshot.file_name == "a") ||
          (snapshot.code == 33 && snapshot.text == "Record Not Available" &&
           snapshot.file_name == "bb");
      if (!whole) ++torn;
    }
  });
  for (int i = 0; i < 20000; ++i) {
    PostError(i % 2 == 0 ? kFileNotFound : kRecordNotAvailable, {nullptr, i % 2 == 0 ? "a" : "bb"});
  }
  done = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0);
}

}  // namespace
}  // namespace vaultrix::support
