// Record buffers of the vault's files are wiped when the last procedure using
// the file ends; the memo buffers go with the file's state at CLOSE.
#include <gtest/gtest.h>

#include <cstring>

#include "app/dictionary/data_dictionary.h"
#include "app/services/open_data_file.h"
#include "tests/app/test_support.h"

namespace vaultrix::app {
namespace {

template <class Record>
bool Cleared(const Record& record) {
  const Record cleared{};
  return std::memcmp(&record, &cleared, sizeof record) == 0;
}

class RecordWipeTest : public testing::AppServicesTest {};

TEST_F(RecordWipeTest, TheLastUseToEndWipesTheRecordAndDropsTheMemos) {
  {
    FileUse passwords(Passwords());
    FileUse users(Users());
    {
      FileUse inner(Passwords());
      P_.Password = "hunter2";
      U_.Password = "letmein";
      const std::span<char> notes = Passwords().MemoText(kMemoNotes);
      ASSERT_FALSE(notes.empty());
      std::memcpy(notes.data(), "secret notes", 12);
    }
    EXPECT_TRUE(P_.Password == "hunter2") << "another use still holds the file";
  }
  EXPECT_TRUE(Cleared(P_));
  EXPECT_TRUE(Cleared(U_));
  EXPECT_TRUE(Passwords().MemoText(kMemoNotes).empty()) << "freed with the file's state";
}

}  // namespace
}  // namespace vaultrix::app
