// The "ASCII" driver through the operation interface: the application's own
// import/export file, every served operation, 80 for the rest, the
// descriptor limits, options by SEND and by the option text, and the error
// codes and texts that reach ERRORCODE, ERROR and ERRORFILE.
#include "runtime/files/text/driver.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "platform/fault_env.h"
#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "tests/platform/scratch_dir.h"

namespace vaultrix::files {
namespace {

using support::ERROR;
using support::ERRORCODE;
using support::ERRORFILE;
using testing::ScratchDir;

constexpr std::uint32_t kRecordSize = 8000;

// The import/export file: one 8000-character STRING "M::RECORD", CREATE
// allowed, named at run time from an 80-character variable.
class AsciiDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = FileDeclaration("")
                .Attributes(kFileAttribute01 | kFileAttribute10 | kFileAttributeCreate)
                .Field(StringField("M::RECORD", kRecordSize))
                .Build(AsciiDriver());
    UseName("export.csv");
  }
  void UseName(const std::string& name) {
    std::string path = dir_.Path(name);
    std::memset(name_, ' ', sizeof(name_));
    std::memcpy(name_, path.data(), std::min(path.size(), sizeof(name_)));
    file_->SetNameVariable(name_, sizeof(name_));
  }
  FileBlock& Block() { return file_->Block(); }
  std::string Text() const {
    std::string text(reinterpret_cast<const char*>(file_->Record()), kRecordSize);
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }
  void SetRecord(const std::string& text) {
    std::memset(file_->Record(), ' ', kRecordSize);
    std::memcpy(file_->Record(), text.data(), text.size());
  }

  ScratchDir dir_;
  char name_[80];
  std::unique_ptr<DeclaredFile> file_;
};

TEST_F(AsciiDriverTest, ExportThenImportRoundTrip) {
  Create(Block());
  ASSERT_EQ(ERRORCODE(), 0) << ERROR();
  Open(Block(), kAccessReadWrite | kDenyWrite);
  ASSERT_EQ(ERRORCODE(), 0) << ERROR();
  for (const char* line : {"\"Service\",\"User\"", "\"mail\",\"ann\"", ""}) {
    SetRecord(line);
    Add(Block());
    ASSERT_EQ(ERRORCODE(), 0);
  }
  Close(Block());
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(dir_.Get("export.csv"), "\"Service\",\"User\"\r\n\"mail\",\"ann\"\r\n\r\n");
  EXPECT_EQ(dir_.Mode("export.csv") & 0777, 0600u);

  Open(Block(), kAccessReadOnly | kDenyWrite);
  EXPECT_EQ(Bytes(Block()), 34);
  Set(Block());
  std::vector<std::string> lines;
  for (;;) {
    Next(Block());
    if (ERRORCODE() != 0) break;
    lines.push_back(Text());
  }
  EXPECT_EQ(ERRORCODE(), support::kRecordNotAvailable);
  EXPECT_EQ(ERROR(), "Record Not Available");
  EXPECT_EQ(ERRORFILE(), dir_.Path("export.csv"));
  EXPECT_EQ(lines, (std::vector<std::string>{"\"Service\",\"User\"", "\"mail\",\"ann\"", ""}));
  EXPECT_TRUE(Eof(Block()));
  Close(Block());
}

TEST_F(AsciiDriverTest, OperationsItDoesNotServeAnswer80) {
  dir_.Put("export.csv", "a\r\nb\r\n");
  Open(Block(), kAccessReadWrite | kDenyNone);
  Next(Block());
  Next(Block());
  Previous(Block());
  EXPECT_EQ(ERRORCODE(), support::kUnsupportedFileDriverFunction);
  EXPECT_EQ(ERROR(), "Unsupported File Driver Function");
  Delete(Block());
  EXPECT_EQ(ERRORCODE(), 80);
  (void)Records(Block());
  EXPECT_EQ(ERRORCODE(), 80);
  Hold(Block());
  EXPECT_EQ(ERRORCODE(), 80);
  Watch(Block());
  EXPECT_EQ(ERRORCODE(), 80);
  Skip(Block(), 1);
  EXPECT_EQ(ERRORCODE(), 80);
  EXPECT_EQ(Text(), "b");  // nothing moved
}

TEST_F(AsciiDriverTest, CreateNeedsTheCreateAttributeAndANAME) {
  auto plain = FileDeclaration(dir_.Path("plain.txt"))
                   .Field(StringField("M::RECORD", 10))
                   .Build(AsciiDriver());
  Create(plain->Block());
  EXPECT_EQ(ERRORCODE(), support::kNoCreateAttribute);
  EXPECT_FALSE(dir_.Has("plain.txt"));

  UseName("");
  std::memset(name_, ' ', sizeof(name_));
  Open(Block());
  EXPECT_EQ(ERRORCODE(), support::kInvalidFilename);
  Close(Block());
  UseName("missing.csv");
  Open(Block());
  EXPECT_EQ(ERRORCODE(), support::kFileNotFound);
  EXPECT_EQ(ERROR(), "File Not Found");
  Close(Block());
  UseName("no-dir/missing.csv");
  Open(Block());
  EXPECT_EQ(ERRORCODE(), support::kPathNotFound);
}

TEST_F(AsciiDriverTest, DescriptorsItCannotServeFailTheFirstOperation) {
  dir_.Put("f.txt", "x\r\n");
  auto with_key = FileDeclaration(dir_.Path("f.txt"))
                      .Field(StringField("K::A", 10))
                      .Key("K::KEYA", 0, {"K::A"})
                      .Build(AsciiDriver());
  Open(with_key->Block());
  EXPECT_EQ(ERRORCODE(), support::kInvalidRecordDeclaration);
  auto with_memo = FileDeclaration(dir_.Path("f.txt"))
                       .Field(StringField("K::A", 10))
                       .Memo("K::NOTES", 100)
                       .Build(AsciiDriver());
  Open(with_memo->Block());
  EXPECT_EQ(ERRORCODE(), support::kInvalidRecordDeclaration);
  auto too_big =
      FileDeclaration(dir_.Path("f.txt")).Field(StringField("K::A", 65536)).Build(AsciiDriver());
  Open(too_big->Block());
  EXPECT_EQ(ERRORCODE(), support::kInvalidRecordDeclaration);
  auto largest =
      FileDeclaration(dir_.Path("f.txt")).Field(StringField("K::A", 65535)).Build(AsciiDriver());
  Share(largest->Block());
  EXPECT_EQ(ERRORCODE(), 0) << ERROR();
  auto number = FileDeclaration(dir_.Path("f.txt"))
                    .Field(StringField("K::A", 10))
                    .Field(FixedField(kTypeLong, "K::N"))
                    .Build(AsciiDriver());
  Open(number->Block());
  EXPECT_EQ(ERRORCODE(), support::kUnsupportedDataTypeInFile);
  FieldDeclaration over = FixedField(kTypeLong, "K::OVER");
  over.has_offset = true;
  over.offset = 0;
  auto overlay = FileDeclaration(dir_.Path("f.txt"))
                     .Field(StringField("K::A", 10))
                     .Field(over)
                     .Build(AsciiDriver());
  Share(overlay->Block());
  EXPECT_EQ(ERRORCODE(), 0) << ERROR();
  Next(overlay->Block());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(overlay->Record()), 10), "x         ");
}

TEST_F(AsciiDriverTest, OptionsBySendAndByTheOptionText) {
  dir_.Put("tabs.txt", "a\tb\nc\n");
  auto tabs = FileDeclaration(dir_.Path("tabs.txt"))
                  .Options("/TAB=0/ENDOFRECORD=1,10")
                  .Field(StringField("T::LINE", 20))
                  .Build(AsciiDriver());
  Open(tabs->Block());
  Next(tabs->Block());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(tabs->Record()), 3), "ab ");
  EXPECT_EQ(Send(tabs->Block(), "TAB=-100"), "0");
  EXPECT_EQ(Send(tabs->Block(), "TAB"), "-100");
  EXPECT_EQ(Send(tabs->Block(), "ENDOFRECORD"), "1,10");
  // OPEN's default mode denies writes, which turns QUICKSCAN on.
  EXPECT_EQ(Send(tabs->Block(), "QUICKSCAN=off"), "ON");
  EXPECT_EQ(Send(tabs->Block(), "quickscan"), "OFF");
  EXPECT_EQ(Send(tabs->Block(), "FILEBUFFERS=2"), "16");
  EXPECT_EQ(Send(tabs->Block(), "CLIP=OFF"), "ON");
  EXPECT_EQ(Send(tabs->Block(), "REGISTER"), "ASCII");
  EXPECT_EQ(Send(tabs->Block(), "NOSUCHOPTION=1"), "");
  EXPECT_EQ(ERRORCODE(), 0);
  Set(tabs->Block());
  Next(tabs->Block());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(tabs->Record()), 4), "a\tb ");
}

TEST_F(AsciiDriverTest, PositionsPointerResetRegetAndGet) {
  dir_.Put("export.csv", "one\r\ntwo\r\nthree\r\n");
  Open(Block());
  EXPECT_EQ(Pointer(Block()), 0);
  Next(Block());
  Next(Block());
  EXPECT_EQ(Pointer(Block()), 6);
  std::string position = Position(Block());
  EXPECT_EQ(position.size(), 4u);
  Next(Block());
  Reget(Block(), position);
  EXPECT_EQ(Text(), "two");
  Reset(Block(), position);
  Next(Block());
  EXPECT_EQ(Text(), "two");
  Get(Block(), 11);
  EXPECT_EQ(Text(), "three");
  Get(Block(), 2, 1);  // length form: one byte
  EXPECT_EQ(Text(), "n");
  Set(Block(), 6);
  Next(Block());
  EXPECT_EQ(Text(), "two");
  Get(Block(), 100);
  EXPECT_EQ(ERRORCODE(), support::kRecordNotAvailable);
  EXPECT_EQ(files::Name(Block()), dir_.Path("export.csv"));
}

TEST_F(AsciiDriverTest, PutAddLengthFormsFlushAndEmpty) {
  dir_.Put("export.csv", "one\r\ntwo\r\n");
  Open(Block());
  SetRecord("TWO");
  Put(Block(), 6);  // makes the line at 6 current, then rewrites it
  ASSERT_EQ(ERRORCODE(), 0) << ERROR();
  SetRecord("ONE and more");
  Put(Block(), 1, 3);
  ASSERT_EQ(ERRORCODE(), 0) << ERROR();
  SetRecord("appended");
  Append(Block(), 3);
  Add(Block(), 6);
  Flush(Block());
  ASSERT_EQ(ERRORCODE(), 0) << ERROR();
  EXPECT_EQ(dir_.Get("export.csv"), "ONE\r\nTWO\r\napp\r\nappend\r\n");
  // The plain forms: APPEND adds the whole record; PUT rewrites the line
  // read last.
  SetRecord("last");
  Append(Block());
  Set(Block(), 6);
  Next(Block());
  SetRecord("second");
  Put(Block());
  ASSERT_EQ(ERRORCODE(), 0) << ERROR();
  Flush(Block());
  EXPECT_EQ(dir_.Get("export.csv"), "ONE\r\nsecond\r\napp\r\nappend\r\nlast\r\n");
  Empty(Block());
  EXPECT_EQ(Bytes(Block()), 0);
  EXPECT_EQ(dir_.Get("export.csv"), "");
}

TEST_F(AsciiDriverTest, RemoveRenameAndCopyTheFile) {
  dir_.Put("export.csv", "x\r\n");
  Copy(Block(), dir_.Path("copy.csv"));
  EXPECT_EQ(ERRORCODE(), 0) << ERROR();
  EXPECT_EQ(dir_.Get("copy.csv"), "x\r\n");
  Rename(Block(), dir_.Path("copy.csv"));
  EXPECT_EQ(ERRORCODE(), support::kAccessDenied);
  Rename(Block(), dir_.Path("moved.csv"));
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(files::Name(Block()), dir_.Path("moved.csv"));
  Remove(Block());
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_FALSE(dir_.Has("moved.csv"));
  Remove(Block());
  EXPECT_EQ(ERRORCODE(), support::kFileNotFound);
  // Any other failure to delete is 5.
  ASSERT_EQ(::mkdir(dir_.Path("folder").c_str(), 0700), 0);
  dir_.Put("folder/inside.csv", "x\r\n");
  Close(Block());  // the name is taken again at the next first use
  UseName("folder");
  Remove(Block());
  EXPECT_EQ(ERRORCODE(), support::kAccessDenied);
  EXPECT_TRUE(dir_.Has("folder/inside.csv"));
}

TEST_F(AsciiDriverTest, LockAndUnlockAgainstAnotherOpen) {
  dir_.Put("export.csv", "");
  auto other = FileDeclaration(dir_.Path("export.csv"))
                   .Field(StringField("O::LINE", 10))
                   .Build(AsciiDriver());
  Share(Block());
  Share(other->Block());
  Lock(Block());
  ASSERT_EQ(ERRORCODE(), 0);
  Lock(other->Block(), 0);
  EXPECT_EQ(ERRORCODE(), support::kFileIsAlreadyLocked);
  EXPECT_EQ(ERROR(), "File Is Already Locked");
  Add(other->Block());
  EXPECT_EQ(ERRORCODE(), support::kAccessDenied);
  Unlock(Block());
  Lock(other->Block(), 0);
  EXPECT_EQ(ERRORCODE(), 0);

  // An open that denies writing keeps a writer out.
  auto reader = FileDeclaration(dir_.Path("export.csv"))
                    .Field(StringField("R::LINE", 10))
                    .Build(AsciiDriver());
  Open(reader->Block(), kAccessReadOnly | kDenyWrite);
  EXPECT_EQ(ERRORCODE(), support::kAccessDenied);
  Close(other->Block());
  Close(Block());
  Open(reader->Block(), kAccessReadOnly | kDenyWrite);
  EXPECT_EQ(ERRORCODE(), 0);
  Share(Block());
  EXPECT_EQ(ERRORCODE(), support::kAccessDenied);
}

TEST_F(AsciiDriverTest, SystemFailuresArePostedAsThreeHundredPlusTheirNumber) {
  Create(Block());
  platform::FaultEnv env;
  platform::ScopedEnv use(env);
  Open(Block(), kAccessReadWrite | kDenyNone);
  env.FailWrite(1, ENOSPC);
  SetRecord("line");
  Add(Block());
  EXPECT_EQ(ERRORCODE(), support::kSystemErrorBase + 39);
  EXPECT_EQ(ERROR(), "Handle Disk Full");
  EXPECT_EQ(support::SystemErrorNumber(), 39);
  env.Stop();
  Next(Block());
  EXPECT_EQ(ERRORCODE(), support::kSystemErrorBase + 31);
  EXPECT_TRUE(Eof(Block()));  // 1 also on error
  Close(Block());             // before the Env goes
}

TEST_F(AsciiDriverTest, OperationsBeforeOpenAnswer37) {
  Next(Block());
  EXPECT_EQ(ERRORCODE(), support::kFileNotOpen);
  Add(Block());
  EXPECT_EQ(ERRORCODE(), support::kFileNotOpen);
  Close(Block());
  EXPECT_EQ(ERRORCODE(), support::kFileNotOpen);
}

}  // namespace
}  // namespace vaultrix::files
