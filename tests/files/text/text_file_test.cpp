// The text file engine on real files: lines and their ends, byte 26, tabs,
// long lines, clipping, OEM text, positions, rewriting, locks and failures.
#include "runtime/files/text/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/fault_env.h"
#include "runtime/files/file_descriptor.h"
#include "runtime/support/error_codes.h"
#include "tests/platform/scratch_dir.h"

namespace vaultrix::files {
namespace {

using testing::ScratchDir;
namespace codes = support;

constexpr std::int32_t kReadWrite = kAccessReadWrite | kDenyNone;

class TextFileTest : public ::testing::Test {
 protected:
  // A file `name` holding `content`, opened on a record of `size` bytes.
  TextFile& OpenText(const std::string& content, std::uint32_t size = 20,
                     std::int32_t mode = kReadWrite, const std::string& options = "") {
    dir_.Put("t.txt", content);
    record_.assign(size, '?');
    file_ = std::make_unique<TextFile>(dir_.Path("t.txt"), record_.data(), size, oem_);
    EXPECT_EQ(file_->Open(mode, options), 0);
    return *file_;
  }
  // The record without its trailing blanks.
  std::string Text() const { return record_.substr(0, record_.find_last_not_of(' ') + 1); }
  void SetRecord(const std::string& text) {
    record_.assign(record_.size(), ' ');
    record_.replace(0, text.size(), text);
  }
  // Every line NEXT returns from the start.
  std::vector<std::string> AllLines(TextFile& file) {
    std::vector<std::string> lines;
    file.SetStart();
    while (file.Next() == 0) lines.push_back(Text());
    return lines;
  }

  ScratchDir dir_;
  std::string record_;
  bool oem_ = false;
  std::unique_ptr<TextFile> file_;
};

using Lines = std::vector<std::string>;

TEST_F(TextFileTest, LinesEndAtTheEndOfRecordSequenceOrTheFileEnd) {
  TextFile& file = OpenText("first\r\nsecond\r\n\r\nlast without end");
  EXPECT_EQ(AllLines(file), (Lines{"first", "second", "", "last without end"}));
  // A bare line feed or carriage return is text under the default sequence.
  TextFile& other = OpenText("a\nb\rc\r\n");
  EXPECT_EQ(AllLines(other), (Lines{"a\nb\rc"}));
}

TEST_F(TextFileTest, ReadingPastTheEndGives33AndKeepsTheRecord) {
  TextFile& file = OpenText("only\r\n");
  ASSERT_EQ(file.Next(), 0);
  SetRecord("kept");
  EXPECT_EQ(file.Next(), codes::kRecordNotAvailable);
  EXPECT_EQ(Text(), "kept");
  EXPECT_TRUE(file.Eof());
  file.SetStart();
  EXPECT_FALSE(file.Eof());
}

TEST_F(TextFileTest, ByteTwentySixEndsTheFile) {
  TextFile& file = OpenText("one\r\ntwo\x1A junk after the mark\r\n");
  EXPECT_EQ(AllLines(file), (Lines{"one", "two"}));
  EXPECT_EQ(file.Get(1 + 5 + 3), codes::kRecordNotAvailable);  // at the mark itself
  file.SetStart(1 + 5);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_TRUE(file.Eof());
}

TEST_F(TextFileTest, TabsFollowTheTabOption) {
  struct Case {
    std::string option;
    std::string expected;
  } cases[] = {
      {"", "a       b"},  // to the next multiple of 8
      {"/TAB=0", "ab"},  {"/TAB=-100", "a\tb"}, {"/TAB=-3", "a   b"}, {"/TAB=4", "a   b"},
  };
  for (const auto& c : cases) {
    TextFile& file = OpenText("a\tb\r\n", 20, kReadWrite, c.option);
    ASSERT_EQ(file.Next(), 0);
    EXPECT_EQ(Text(), c.expected) << c.option;
  }
  TextFile& file = OpenText("abcde\tf\t\tg\r\n", 20, kReadWrite, "/TAB=4");
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(Text(), "abcde   f       g");
  // A tab that reaches past the record fills it and the line continues.
  TextFile& narrow = OpenText("abc\tz\r\n", 5);
  EXPECT_EQ(AllLines(narrow), (Lines{"abc", "z"}));
}

TEST_F(TextFileTest, LinesLongerThanTheRecordContinueAsTheNextRecord) {
  std::string long_line(9000, 'x');
  for (int i = 0; i < 9000; ++i) long_line[i] = static_cast<char>('a' + i % 26);
  TextFile& file = OpenText(long_line + "\r\nnext\r\n", 8000);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(record_, long_line.substr(0, 8000));
  EXPECT_EQ(file.Pointer(), 1);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(Text(), long_line.substr(8000));
  EXPECT_EQ(file.Pointer(), 8001);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(Text(), "next");

  // A line exactly as long as the record is one record.
  TextFile& exact = OpenText("12345\r\n67\r\n", 5);
  EXPECT_EQ(AllLines(exact), (Lines{"12345", "67"}));
}

// With one buffer of 512 bytes (a record below 257 bytes, no deny flag)
// the read window's edge lies between bytes 511 and 512 (0-based), after
// five lines of 100 characters: these files put the byte that decides
// there.
TEST_F(TextFileTest, LinesAcrossTheReadWindowsEdge) {
  const std::string five_lines = [] {
    std::string text;
    for (int i = 0; i < 5; ++i) text += std::string(100, 'f') + "\r\n";
    return text;
  }();
  const Lines fs(5, std::string(100, 'f'));
  auto read = [&](const std::string& rest, const std::string& options = "") {
    TextFile& file =
        OpenText(five_lines + rest, 200, kReadWrite, "/QUICKSCAN=ON/FILEBUFFERS=1" + options);
    Lines lines = AllLines(file);
    if (lines.size() < 5 || !std::equal(fs.begin(), fs.end(), lines.begin())) return Lines{"?"};
    return Lines(lines.begin() + 5, lines.end());
  };
  // A carriage return ending one window, its line feed starting the next.
  EXPECT_EQ(read("a\r\nb\r\n"), (Lines{"a", "b"}));
  // A carriage return at the window's end that starts no sequence.
  EXPECT_EQ(read("a\rb\r\n"), (Lines{"a\rb"}));
  // A tab at the window's end, and one at the start of the next.
  EXPECT_EQ(read("a\tb\r\n", "/TAB=-2"), (Lines{"a  b"}));
  EXPECT_EQ(read("ab\tc\r\n", "/TAB=4"), (Lines{"ab  c"}));
  // Byte 26 as the first byte of the next window ends the file there; as
  // the last byte of this one, too.
  EXPECT_EQ(read("ab\x1A\r\nlost\r\n"), (Lines{"ab"}));
  EXPECT_EQ(read("a\x1A\r\nlost\r\n"), (Lines{"a"}));
  // A line whose end-of-record sequence is the window's last two bytes.
  EXPECT_EQ(read("\r\nb\r\n"), (Lines{"", "b"}));
  // A line of 150 bytes starting just before the edge (it is read in two
  // pieces), then a short one whose copy must not keep any of it.
  EXPECT_EQ(read(std::string(150, 'L') + "\r\nsh\r\n"), (Lines{std::string(150, 'L'), "sh"}));
  // A line running from one window through the next and into a third.
  std::string long_line(700, 'x');
  for (std::size_t i = 0; i < long_line.size(); i += 7) long_line[i] = '\t';
  Lines expected_long = read(long_line + "\r\nend\r\n", "/TAB=-100");
  EXPECT_EQ(expected_long,
            (Lines{long_line.substr(0, 200), long_line.substr(200, 200),
                   long_line.substr(400, 200), long_line.substr(600), "end"}));
}

// Whatever the caller leaves in the record, a read leaves the line and
// blanks: after a line that filled the record, after writes into its tail.
TEST_F(TextFileTest, EachReadClearsWhatTheCallerLeftInTheRecord) {
  std::string full(20, 'x');
  TextFile& file = OpenText(full + "\r\nshort\r\n\ta\r\n\x1A", 20);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(record_, full);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(record_, "short" + std::string(15, ' '));
  record_.assign(20, '#');  // the caller's own use of the record
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(record_, std::string(8, ' ') + "a" + std::string(11, ' '));
  // A line that begins with byte 26 ends the file; the record is cleared
  // all the same. Past the end it is left as it is.
  record_.assign(20, '#');
  EXPECT_EQ(file.Next(), codes::kRecordNotAvailable);
  EXPECT_EQ(record_, std::string(20, ' '));
  record_.assign(20, '#');
  EXPECT_EQ(file.Get(1000), codes::kRecordNotAvailable);
  EXPECT_EQ(record_, std::string(20, '#'));
  // The length form fills only its part; the rest is cleared too.
  record_.assign(20, '#');
  ASSERT_EQ(file.Get(23, 3), 0);
  EXPECT_EQ(record_, "sho" + std::string(17, ' '));
}

// A line is copied sixteen bytes at a time while its end is looked for,
// so bytes after it (the next line, or the rest of a line that turns out
// to hold a tab or a lone carriage return) pass through the record: none
// may stay there.
TEST_F(TextFileTest, LinesCopiedInBlocksLeaveNothingBehindThem) {
  const std::string letters = "abcdefghijklmnopqrstuvwxyz";
  TextFile& file = OpenText(letters + "\r\nxy\r\n" + letters.substr(0, 18) + "\rst\r\n" +
                                letters.substr(0, 20) + "\tq\r\n" + letters.substr(0, 17) + "\r\n",
                            40, kReadWrite, "/TAB=0");
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(record_, letters + std::string(14, ' '));
  record_.assign(40, '#');
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(record_, "xy" + std::string(38, ' '));
  EXPECT_EQ(file.Pointer(), 29);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(record_, letters.substr(0, 18) + "\rst" + std::string(19, ' '));
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(record_, letters.substr(0, 20) + "q" + std::string(19, ' '));
  // The length form stops at its length even inside a block.
  ASSERT_EQ(file.Next(17), 0);
  EXPECT_EQ(record_, letters.substr(0, 17) + std::string(23, ' '));
  EXPECT_EQ(file.Next(), codes::kRecordNotAvailable);
}

TEST_F(TextFileTest, EndOfRecordOptionChangesWhereLinesEnd) {
  TextFile& file = OpenText("a\nb\r\nc\n");
  std::string before;
  ASSERT_TRUE(file.Send("ENDOFRECORD=1,10", &before));
  EXPECT_EQ(before, "2,13,10");
  EXPECT_EQ(AllLines(file), (Lines{"a", "b\r", "c"}));
  ASSERT_TRUE(file.Send("endofrecord = 3 , 124, 124, 124", &before));
  EXPECT_EQ(before, "1,10");
  SetRecord("x");
  ASSERT_EQ(file.Add(), 0);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(dir_.Get("t.txt"), "a\nb\r\nc\nx|||");
}

TEST_F(TextFileTest, AddWritesTheClippedRecordAndTheEndOfRecord) {
  TextFile& file = OpenText("", 8000);
  SetRecord("abc");
  ASSERT_EQ(file.Add(), 0);
  EXPECT_EQ(file.Pointer(), 1);
  std::string before;
  ASSERT_TRUE(file.Send("CLIP=OFF", &before));
  EXPECT_EQ(before, "ON");
  ASSERT_EQ(file.Add(), 0);
  EXPECT_EQ(file.Pointer(), 6);
  std::int64_t bytes = 0;
  ASSERT_EQ(file.Bytes(&bytes), 0);
  EXPECT_EQ(bytes, 5 + 8002);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(dir_.Get("t.txt"), "abc\r\n" + record_ + "\r\n");
}

TEST_F(TextFileTest, AddOverwritesAFinalEndOfFileMarkOnce) {
  TextFile& file = OpenText("old\r\n\x1A");
  SetRecord("new");
  ASSERT_EQ(file.Add(), 0);
  SetRecord("\x1A");
  ASSERT_EQ(file.Add(), 0);  // a 26 written now is the text's own
  SetRecord("end");
  ASSERT_EQ(file.Add(), 0);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(dir_.Get("t.txt"), "old\r\nnew\r\n\x1A\r\nend\r\n");
}

TEST_F(TextFileTest, PositionsPointAtLineStarts) {
  TextFile& file = OpenText("aa\r\nbbb\r\ncccc\r\n");
  EXPECT_EQ(file.Pointer(), 0);
  ASSERT_EQ(file.Next(), 0);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(file.Pointer(), 5);
  std::string position = file.Position();
  EXPECT_EQ(position, std::string("\x05\0\0\0", 4));
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(Text(), "cccc");

  ASSERT_EQ(file.Reget(position), 0);
  EXPECT_EQ(Text(), "bbb");
  ASSERT_EQ(file.Get(11), 0);  // any byte position
  EXPECT_EQ(Text(), "ccc");
  ASSERT_EQ(file.Reset(position), 0);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(Text(), "bbb");
  file.SetStart(0);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(Text(), "aa");
  EXPECT_EQ(file.Get(0), codes::kRecordNotAvailable);
  EXPECT_EQ(file.Get(16), codes::kRecordNotAvailable);
}

TEST_F(TextFileTest, PutRewritesTheCurrentLineAndKeepsTheOthers) {
  TextFile& file = OpenText("one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(file.Put(), codes::kRecordNotAvailable);
  ASSERT_EQ(file.Next(), 0);
  ASSERT_EQ(file.Next(), 0);
  SetRecord("TWO");
  ASSERT_EQ(file.Put(), 0);
  SetRecord("a longer second line");
  ASSERT_EQ(file.Put(), 0);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(Text(), "three");
  ASSERT_EQ(file.Get(1), 0);
  SetRecord("1");
  ASSERT_EQ(file.Put(), 0);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(Text(), "a longer second line");
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(dir_.Get("t.txt"), "1\r\na longer second line\r\nthree\r\n");
}

TEST_F(TextFileTest, EmptyAndBytesAndEof) {
  TextFile& file = OpenText("abc\r\n");
  std::int64_t bytes = 0;
  ASSERT_EQ(file.Bytes(&bytes), 0);
  EXPECT_EQ(bytes, 5);
  ASSERT_EQ(file.Next(), 0);
  ASSERT_EQ(file.Empty(), 0);
  ASSERT_EQ(file.Bytes(&bytes), 0);
  EXPECT_EQ(bytes, 0);
  EXPECT_EQ(file.Pointer(), 0);
  EXPECT_TRUE(file.Eof());
  EXPECT_EQ(file.Next(), codes::kRecordNotAvailable);
}

TEST_F(TextFileTest, OemFilesAreConvertedBothWays) {
  oem_ = true;
  TextFile& file = OpenText("Gr\x81\xE1\r\n");
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(Text(), "Gr\xFC\xDF");
  SetRecord("\xE9t\xE9");
  ASSERT_EQ(file.Add(), 0);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(dir_.Get("t.txt"), "Gr\x81\xE1\r\n\x82t\x82\r\n");
}

TEST_F(TextFileTest, OptionsComeFromTheAccessModeThenTheOptionText) {
  TextFile& shared = OpenText("");
  EXPECT_FALSE(shared.options().quick_scan);
  TextFile& denied = OpenText("", 20, kAccessReadOnly | kDenyWrite);
  EXPECT_TRUE(denied.options().quick_scan);
  TextFile& chosen = OpenText("", 20, kReadWrite, "/QUICKSCAN=ON/Clip=off/FILEBUFFERS=3/TAB=2");
  EXPECT_TRUE(chosen.options().quick_scan);
  EXPECT_FALSE(chosen.options().clip);
  EXPECT_EQ(chosen.options().buffer_count, 3u);
  EXPECT_EQ(chosen.options().tab, 2);
  std::string before;
  EXPECT_TRUE(chosen.Send("REGISTER", &before));
  EXPECT_EQ(before, "ASCII");
  EXPECT_TRUE(chosen.Send("FILEBUFFERS", &before));  // asks only
  EXPECT_EQ(before, "3");
  EXPECT_TRUE(chosen.Send("TAB=x-5", &before));
  EXPECT_EQ(before, "2");
  EXPECT_EQ(chosen.options().tab, -5);
  EXPECT_FALSE(chosen.Send("TABS=4", &before));
  EXPECT_FALSE(chosen.Send("XYZ", &before));
  EXPECT_FALSE(chosen.Send("", &before));
}

TEST_F(TextFileTest, ReadOnlyFilesRefuseWrites) {
  TextFile& file = OpenText("line\r\n", 20, kAccessReadOnly | kDenyWrite);
  SetRecord("x");
  EXPECT_EQ(file.Add(), codes::kAccessDenied);
  ASSERT_EQ(file.Next(), 0);
  EXPECT_EQ(file.Put(), codes::kAccessDenied);
  EXPECT_EQ(file.Empty(), codes::kAccessDenied);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(dir_.Get("t.txt"), "line\r\n");
}

TEST_F(TextFileTest, QuickScanGathersAddedLinesUntilTheyAreNeeded) {
  TextFile& file = OpenText("", 20, kAccessReadWrite | kDenyAll);
  ASSERT_TRUE(file.options().quick_scan);
  for (int i = 0; i < 3; ++i) {
    SetRecord("line " + std::to_string(i));
    ASSERT_EQ(file.Add(), 0);
  }
  EXPECT_EQ(dir_.Get("t.txt"), "");  // not written yet
  EXPECT_EQ(AllLines(file), (Lines{"line 0", "line 1", "line 2"}));
  EXPECT_EQ(dir_.Get("t.txt"), "line 0\r\nline 1\r\nline 2\r\n");
}

TEST_F(TextFileTest, OpenCreateAndNameErrors) {
  record_.assign(10, ' ');
  TextFile missing(dir_.Path("missing.txt"), record_.data(), 10, false);
  EXPECT_EQ(missing.Open(kReadWrite, ""), codes::kFileNotFound);
  EXPECT_EQ(missing.Next(), codes::kFileNotOpen);
  TextFile no_dir(dir_.Path("nowhere/x.txt"), record_.data(), 10, false);
  EXPECT_EQ(no_dir.Open(kReadWrite, ""), codes::kPathNotFound);
  EXPECT_EQ(no_dir.Create(), codes::kPathNotFound);
  TextFile unnamed("", record_.data(), 10, false);
  EXPECT_EQ(unnamed.Open(kReadWrite, ""), codes::kInvalidFilename);

  ASSERT_EQ(missing.Create(), 0);
  EXPECT_EQ(dir_.Mode("missing.txt") & 0777, 0600u);
  ASSERT_EQ(missing.Open(kReadWrite, ""), 0);
  EXPECT_EQ(missing.Open(kReadWrite, ""), codes::kFileAlreadyOpen);
  // OPEN is case-insensitive about names that do not exist as written.
  TextFile upper(dir_.Path("MISSING.TXT"), record_.data(), 10, false);
  EXPECT_EQ(upper.Open(kReadWrite, ""), 0);
}

TEST_F(TextFileTest, RemoveRenameAndCopy) {
  TextFile& file = OpenText("data\r\n");
  dir_.Put("other.txt", "other");
  EXPECT_EQ(file.Copy(dir_.Path("copy.txt")), 0);
  EXPECT_EQ(dir_.Get("copy.txt"), "data\r\n");
  EXPECT_EQ(file.Rename(dir_.Path("other.txt")), codes::kAccessDenied);
  EXPECT_EQ(file.Rename(dir_.Path("nowhere/x.txt")), codes::kPathNotFound);
  EXPECT_EQ(file.Rename(""), codes::kInvalidFilename);
  ASSERT_EQ(file.Rename(dir_.Path("renamed.txt")), 0);
  EXPECT_EQ(file.name(), dir_.Path("renamed.txt"));
  ASSERT_EQ(file.Next(), 0);  // still open under the new name
  EXPECT_EQ(Text(), "data");
  ASSERT_EQ(file.Remove(), 0);
  EXPECT_FALSE(dir_.Has("renamed.txt"));
  EXPECT_FALSE(file.is_open());
  EXPECT_EQ(file.Remove(), codes::kFileNotFound);
  EXPECT_EQ(file.Copy(dir_.Path("again.txt")), codes::kFileNotFound);
}

TEST_F(TextFileTest, ALockedFileRefusesOtherWritersAndLocks) {
  TextFile& file = OpenText("x\r\n");
  std::string other_record(20, ' ');
  TextFile other(dir_.Path("t.txt"), other_record.data(), 20, false);
  ASSERT_EQ(other.Open(kReadWrite, ""), 0);

  ASSERT_EQ(file.Lock(-1), 0);
  SetRecord("mine");
  EXPECT_EQ(file.Add(), 0);  // the holder writes
  EXPECT_EQ(other.Add(), codes::kAccessDenied);
  EXPECT_EQ(other.Empty(), codes::kAccessDenied);
  EXPECT_EQ(other.Lock(0), codes::kFileIsAlreadyLocked);
  ASSERT_EQ(other.Next(), 0);  // reading is not refused
  ASSERT_EQ(file.Unlock(), 0);
  EXPECT_EQ(other.Add(), 0);
  EXPECT_EQ(other.Lock(0), 0);
  EXPECT_EQ(file.Add(), codes::kAccessDenied);
}

TEST_F(TextFileTest, DenyFlagsHoldBetweenOpens) {
  TextFile& reader = OpenText("x\r\n", 20, kAccessReadOnly | kDenyWrite);
  std::string other_record(20, ' ');
  TextFile other(dir_.Path("t.txt"), other_record.data(), 20, false);
  EXPECT_EQ(other.Open(kAccessReadWrite | kDenyNone, ""), codes::kAccessDenied);
  EXPECT_FALSE(other.is_open());
  ASSERT_EQ(other.Open(kAccessReadOnly | kDenyNone, ""), 0);  // reading is allowed
  ASSERT_EQ(other.Close(), 0);
  ASSERT_EQ(reader.Close(), 0);

  TextFile& writer = OpenText("x\r\n", 20, kAccessReadWrite | kDenyNone);
  EXPECT_EQ(other.Open(kAccessReadOnly | kDenyWrite, ""), codes::kAccessDenied);
  ASSERT_EQ(other.Open(kAccessReadWrite | kDenyNone, ""), 0);
  EXPECT_EQ(writer.Lock(0), 0);  // the sharing locks lie beyond LOCK's range
  ASSERT_EQ(other.Close(), 0);
  ASSERT_EQ(writer.Close(), 0);

  TextFile& alone = OpenText("x\r\n", 20, kAccessReadWrite | kDenyAll);
  EXPECT_EQ(other.Open(kAccessReadOnly | kDenyNone, ""), codes::kAccessDenied);
  ASSERT_EQ(alone.Close(), 0);
  EXPECT_EQ(other.Open(kAccessReadOnly | kDenyNone, ""), 0);
}

TEST_F(TextFileTest, WriteFailuresArePosted) {
  TextFile& file = OpenText("");
  platform::FaultEnv env;
  platform::ScopedEnv use(env);
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(file.Open(kReadWrite, ""), 0);  // now through the failing Env
  env.ShortWrite(1, 2);
  env.FailWrite(2, ENOSPC);
  SetRecord("abcdef");
  EXPECT_EQ(file.Add(), codes::kAccessDenied);          // short write
  EXPECT_EQ(file.Add(), codes::kSystemErrorBase + 39);  // disk full
  EXPECT_EQ(file.Add(), 0);
  ASSERT_EQ(file.Close(), 0);
  EXPECT_EQ(dir_.Get("t.txt"), "abcdef\r\n");  // no half line stays behind
}

}  // namespace
}  // namespace vaultrix::files
