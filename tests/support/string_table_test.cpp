// The string table and the errno mapping that chooses its system entries.
#include "runtime/support/string_table.h"

#include <cerrno>
#include <span>

#include <gtest/gtest.h>

#include "runtime/support/error_codes.h"
#include "runtime/support/system_error_map.h"

namespace vaultrix::support {
namespace {

TEST(StringTable, FileErrorTextsAreExact) {
  EXPECT_EQ(ErrorTextFor(2), "File Not Found");
  EXPECT_EQ(ErrorTextFor(40), "Creates Duplicate Key");
  EXPECT_EQ(ErrorTextFor(56), "LOGOUT Already Active");
  EXPECT_EQ(ErrorTextFor(65), "Unable To ROLLBACK Transaction");
  EXPECT_EQ(ErrorTextFor(80), "Unsupported File Driver Function");
  EXPECT_EQ(ErrorTextFor(89), "Record Changed By Another Station");
}

TEST(StringTable, RuntimeAndEvaluatorTexts) {
  EXPECT_EQ(ErrorTextFor(523), "Metafile record too large in report");
  EXPECT_EQ(ErrorTextFor(532), "Unable to open MDI window on APPLICATION's thread");
  EXPECT_EQ(ErrorTextFor(542), "Unable to complete operation (system is MODAL)");
  EXPECT_EQ(ErrorTextFor(800), "Invalid expression for EVALUATE");
  EXPECT_EQ(ErrorTextFor(801), "No BIND on variable");
  EXPECT_EQ(ErrorTextFor(802), "Mismatched PUSHSCOPE/POPSCOPE");
}

TEST(StringTable, TrailingBlanksArePartOfTheText) {
  EXPECT_EQ(ErrorTextFor(78), "Invalid Number Of Parameters ");
  EXPECT_EQ(ErrorTextFor(599), "Internal error : hvnbt line ");
  EXPECT_EQ(ErrorTextFor(501), "Internal error 01");
}

TEST(StringTable, EntriesIncreaseAndEachIsFoundByItsId) {
  std::span<const StringTableEntry> entries = StringTableEntries();
  ASSERT_EQ(entries.size(), 153u);  // 62 of the system's own and 91 system errors
  EXPECT_EQ(entries.front().id, 2);
  EXPECT_EQ(entries.back().id, 802);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) {
      EXPECT_LT(entries[i - 1].id, entries[i].id);
    }
    std::optional<std::string_view> text = StringTableText(entries[i].id);
    ASSERT_TRUE(text.has_value()) << entries[i].id;
    EXPECT_EQ(text->data(), entries[i].text.data()) << entries[i].id;
    bool next_is_entry = i + 1 < entries.size() && entries[i + 1].id == entries[i].id + 1;
    EXPECT_EQ(StringTableText(entries[i].id + 1).has_value(), next_is_entry) << entries[i].id + 1;
  }
}

TEST(StringTable, GapsHaveNoEntryAndFallBack) {
  EXPECT_FALSE(StringTableText(1).has_value());
  EXPECT_FALSE(StringTableText(540).has_value());
  EXPECT_FALSE(StringTableText(300).has_value());
  EXPECT_FALSE(StringTableText(392).has_value());
  EXPECT_EQ(ErrorTextFor(392), "Unknown Error Posted : 392");
  EXPECT_EQ(ErrorTextFor(-7), "Unknown Error Posted : -7");
  EXPECT_EQ(ErrorTextFor(0), "");
}

TEST(StringTable, EverySystemEntryHasATextThatFitsTheErrorState) {
  for (std::int32_t code = 301; code <= 391; ++code) {
    std::optional<std::string_view> text = StringTableText(code);
    ASSERT_TRUE(text.has_value()) << code;
    EXPECT_FALSE(text->empty()) << code;
    EXPECT_LE(text->size(), 80u) << code;
  }
  EXPECT_EQ(ErrorTextFor(302), "File Not Found");
  EXPECT_EQ(ErrorTextFor(305), "Access Denied");
  EXPECT_EQ(ErrorTextFor(332), "Sharing Violation");
  EXPECT_EQ(ErrorTextFor(333), "Lock Violation");
  EXPECT_EQ(ErrorTextFor(339), "Handle Disk Full");
  EXPECT_EQ(ErrorTextFor(380), "File Exists");
  EXPECT_EQ(ErrorTextFor(387), "Invalid Parameter");
  EXPECT_EQ(ErrorTextFor(340), "System Error 40");
}

TEST(SystemErrorMap, PosixErrorsMeanWhatCallersExpect) {
  EXPECT_EQ(ErrorCodeFromErrno(ENOENT), 302);
  EXPECT_EQ(ErrorCodeFromErrno(ENOTDIR), 303);
  EXPECT_EQ(ErrorCodeFromErrno(ENAMETOOLONG), 303);
  EXPECT_EQ(ErrorCodeFromErrno(EMFILE), 304);
  EXPECT_EQ(ErrorCodeFromErrno(ENFILE), 304);
  EXPECT_EQ(ErrorCodeFromErrno(EACCES), 305);
  EXPECT_EQ(ErrorCodeFromErrno(EPERM), 305);
  EXPECT_EQ(ErrorCodeFromErrno(EBADF), 306);
  EXPECT_EQ(ErrorCodeFromErrno(ENOMEM), 308);
  EXPECT_EQ(ErrorCodeFromErrno(EXDEV), 317);
  EXPECT_EQ(ErrorCodeFromErrno(EROFS), 319);
  EXPECT_EQ(ErrorCodeFromErrno(EIO), 331);
  EXPECT_EQ(ErrorCodeFromErrno(EBUSY), 332);
  EXPECT_EQ(ErrorCodeFromErrno(EAGAIN), 333);
  EXPECT_EQ(ErrorCodeFromErrno(ENOSPC), 339);
  EXPECT_EQ(ErrorCodeFromErrno(EEXIST), 380);
  EXPECT_EQ(ErrorCodeFromErrno(EINVAL), 387);
  EXPECT_EQ(LockErrorFromErrno(EACCES), 33);
  EXPECT_EQ(LockErrorFromErrno(EAGAIN), 33);
  EXPECT_EQ(LockErrorFromErrno(ENOLCK), 36);
}

TEST(SystemErrorMap, EveryErrnoLandsInsideTheTable) {
  for (int value = 0; value < 200; ++value) {
    std::int32_t number = SystemErrorFromErrno(value);
    EXPECT_TRUE(number >= 1 && number <= kLastSystemErrorNumber) << value;
  }
}

}  // namespace
}  // namespace vaultrix::support
